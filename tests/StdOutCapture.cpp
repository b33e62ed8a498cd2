#include "StdOutCapture.h"

#include <unistd.h>

#include <cstdlib>

#include "TempFolder.h"

namespace {

// One folder of this process's own for every capture. The C runtime's tmpfile()
// names its files in a shared folder and, under Wine, fails now and then when
// another test program picks the same name at the same moment.
std::string CaptureFileName() {
    static const TempFolder folder("kavro-stdout-");
    if (folder.Path().empty()) {
        return {};
    }
    return (folder.Path() / "stdout.bin").string();
}

}  // namespace

StdOutCapture::StdOutCapture() : file_(nullptr), saved_(-1) {
    const std::string name = CaptureFileName();
    if (!name.empty()) {
        file_ = std::fopen(name.c_str(), "w+b");
    }
    // Carrying on would compare the test's expectation with an empty capture,
    // which passes wherever no output is expected.
    if (file_ == nullptr) {
        std::fputs("Cannot make a file to capture standard output in.\n", stderr);
        std::abort();
    }
    std::fflush(stdout);
    saved_ = dup(1);
    if (saved_ < 0 || dup2(fileno(file_), 1) < 0) {
        std::fputs("Cannot redirect standard output into the capture file.\n", stderr);
        std::abort();
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
