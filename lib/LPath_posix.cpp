#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "LPath.h"
#include "LScopeExit.h"
#include "LUtf.h"

const LChar kPathSeparator = u'/';

namespace {

using ProgramHeader = ElfW(Phdr);

// The loaded object that holds this code (the program, or a test program): where it
// was loaded and its program headers, as the dynamic loader read them from its file.
struct Image {
    ElfW(Addr) bias = 0;
    const ProgramHeader* headers = nullptr;
    ElfW(Half) count = 0;
};

int FindImage(dl_phdr_info* info, size_t, void* found) {
    const auto code = reinterpret_cast<ElfW(Addr)>(&FindImage);
    for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
        const ProgramHeader& segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_LOAD &&
            code - info->dlpi_addr - segment.p_vaddr < segment.p_memsz) {
            *static_cast<Image*>(found) = {info->dlpi_addr, info->dlpi_phdr, info->dlpi_phnum};
            return 1;
        }
    }
    return 0;
}

bool ReadAt(int fd, void* into, size_t size, off_t at) {
    return pread(fd, into, size, at) == static_cast<ssize_t>(size);
}

// Whether a file is the one the image was loaded from: the same program headers and
// notes (among them the build id). A dynamic loader's file, or a copy of one, has
// others.
bool HoldsImage(int fd, const Image& image) {
    ElfW(Ehdr) header;
    const size_t size = image.count * sizeof(ProgramHeader);
    std::vector<ProgramHeader> headers(image.count);
    if (!ReadAt(fd, &header, sizeof header, 0) || header.e_phnum != image.count ||
        header.e_phentsize != sizeof(ProgramHeader) ||
        !ReadAt(fd, headers.data(), size, static_cast<off_t>(header.e_phoff)) ||
        std::memcmp(headers.data(), image.headers, size) != 0) {
        return false;
    }
    for (const ProgramHeader& segment : headers) {
        if (segment.p_type != PT_NOTE) {
            continue;
        }
        std::string note(segment.p_filesz, '\0');
        const auto loaded = reinterpret_cast<const void*>(image.bias + segment.p_vaddr);
        if (!ReadAt(fd, note.data(), note.size(), static_cast<off_t>(segment.p_offset)) ||
            std::memcmp(note.data(), loaded, note.size()) != 0) {
            return false;
        }
    }
    return true;
}

bool HoldsImage(const std::string& path, const Image& image) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    LScopeExit closing([fd] { close(fd); });
    return HoldsImage(fd, image);
}

bool ReadLink(const char* link, std::string& target) {
    std::string text(4096, '\0');
    const ssize_t length = readlink(link, text.data(), text.size());
    if (length <= 0 || static_cast<size_t>(length) >= text.size()) {
        return false;
    }
    target.assign(text.data(), static_cast<size_t>(length));
    return true;
}

// Whether two names lead to one file. The device numbers come from stat() for both:
// those in /proc/self/maps are of another kind on btrfs (the file system's, not the
// subvolume's).
bool SameFile(const std::string& path, const char* other) {
    struct stat one;
    struct stat two;
    return stat(path.c_str(), &one) == 0 && stat(other, &two) == 0 && one.st_dev == two.st_dev &&
           one.st_ino == two.st_ino;
}

// The name of the file mapped at an address, byte for byte, as the kernel gives it in
// /proc/self/map_files (its list of mappings writes a line break as "\012").
bool MappedFileName(ElfW(Addr) address, std::string& name) {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        unsigned long start = 0;
        unsigned long end = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx", &start, &end) == 2 && start <= address &&
            address < end) {
            char link[64];
            std::snprintf(link, sizeof link, "/proc/self/map_files/%lx-%lx", start, end);
            return ReadLink(link, name);
        }
    }
    return false;
}

bool ProgramFile(std::string& path) {
    Image image;
    if (dl_iterate_phdr(FindImage, &image) == 0) {
        return false;
    }
    // Started as itself, also from an open descriptor (fexecve, /proc/PID/fd/N): the
    // file the kernel ran, if its name still leads to it.
    if (HoldsImage("/proc/self/exe", image) && ReadLink("/proc/self/exe", path) &&
        SameFile(path, "/proc/self/exe")) {
        return true;
    }
    // Started through the dynamic loader (ld.so ./Kavro, as from a stick mounted
    // noexec), which the kernel ran instead: the file mapped for this code, if its name
    // leads to it. A program that may be run but not read is known by being the file
    // that the kernel ran.
    return MappedFileName(reinterpret_cast<ElfW(Addr)>(&ProgramFile), path) &&
           (HoldsImage(path, image) || SameFile(path, "/proc/self/exe"));
}

}  // namespace

bool LProgramFilePath(LString& into) {
    std::string path;
    if (!ProgramFile(path)) {
        into.Empty();
        return false;
    }
    into.Assign(Utf16FromPathBytes(path.data(), path.size()).c_str());
    return true;
}

// Linux takes every path its calls can take as it is.
std::u16string LLongPathForm(const LChar* path) {
    return path != nullptr ? path : u"";
}
