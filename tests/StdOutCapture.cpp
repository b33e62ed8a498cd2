#include "StdOutCapture.h"

#include <unistd.h>

StdOutCapture::StdOutCapture() : file_(std::tmpfile()), saved_(-1) {
    std::fflush(stdout);
    if (file_ != nullptr) {
        saved_ = dup(1);
        dup2(fileno(file_), 1);
    }
}

StdOutCapture::~StdOutCapture() {
    Finish();
}

std::string StdOutCapture::Finish() {
    std::string bytes;
    if (file_ == nullptr) {
        return bytes;
    }
    std::fflush(stdout);
    dup2(saved_, 1);
    close(saved_);
    std::rewind(file_);
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file_)) > 0) {
        bytes.append(chunk, n);
    }
    std::fclose(file_);
    file_ = nullptr;
    return bytes;
}
