// The disc list from arbitrary argument vectors, checked against the command line's
// rules written plainly: the input is the arguments as Linux hands them over, UTF-8
// texts separated by NUL bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CDiscList.h"
#include "FuzzCheck.h"
#include "LUtf.h"
#include "StdOutCapture.h"
#include "TextModel.h"

namespace {

struct Expected {
    bool valid = false;
    std::vector<int32_t> discs;
};

// A number of an argument: unreadable when it reads as 0, when its digits exceed
// 32 bits, or when it names a disc beyond the last slot of bank 127.
bool ReadNumber(const std::u16string& text, int32_t& number) {
    std::size_t first = text.find_first_of(u"0123456789");
    if (first == std::u16string::npos) {
        return false;
    }
    uint64_t digits = 0;
    for (std::size_t i = first; i < text.size() && ModelIsDigit(text[i]); ++i) {
        digits = digits * 10 + static_cast<uint64_t>(text[i] - u'0');
        if (digits > 0x7FFFFFFF) {
            return false;
        }
    }
    number = ModelToInteger(text);
    return number != 0 && number <= 19050;
}

Expected Model(const std::vector<std::u16string>& arguments) {
    Expected expected;
    if (arguments.empty()) {
        return expected;
    }
    for (const auto& argument : arguments) {
        std::size_t minus = argument.find(u'-');
        int32_t first = 0;
        int32_t last = 0;
        if (minus == std::u16string::npos) {
            if (!ReadNumber(argument, first)) {
                return expected;
            }
            last = first;
        } else if (!ReadNumber(argument.substr(0, minus), first) ||
                   !ReadNumber(argument.substr(minus + 1), last)) {
            return expected;
        }
        for (int64_t disc = first; disc <= last; ++disc) {
            expected.discs.push_back(static_cast<int32_t>(disc));
        }
    }
    expected.valid = true;
    return expected;
}

std::vector<std::u16string> Arguments(const uint8_t* data, std::size_t size) {
    std::vector<std::u16string> arguments;
    if (size == 0) {
        return arguments;
    }
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    for (;;) {
        std::size_t end = bytes.find('\0', start);
        arguments.push_back(Utf16FromUtf8(bytes.substr(start, end - start).c_str()));
        if (end == std::string::npos) {
            return arguments;
        }
        start = end + 1;
    }
}

struct Built {
    bool valid;
    std::vector<int32_t> discs;
    std::string output;
};

Built Build(const std::vector<std::u16string>& arguments) {
    std::vector<const LChar*> argv{u"/opt/kavro/Kavro"};
    for (const auto& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    argv.push_back(nullptr);
    StdOutCapture capture;
    CDiscList list(static_cast<int32_t>(argv.size() - 1), argv.data());
    Built built{list.IsValid(), {}, capture.Finish()};
    for (LPosition p = list.GetHeadPosition(); p != nullptr;) {
        built.discs.push_back(list.GetNext(p));
    }
    FuzzCheck(list.GetCount() == static_cast<int32_t>(built.discs.size()), "count");
    return built;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const std::string usage = Build({}).output;
    std::vector<std::u16string> arguments = Arguments(data, size);
    Built built = Build(arguments);
    Expected expected = Model(arguments);
    FuzzCheck(built.valid == expected.valid, "valid flag");
    // Discs appended before a rejected argument stay there, never to be selected.
    FuzzCheck(built.discs == expected.discs, "disc list");
    FuzzCheck(built.output == (expected.valid ? "" : usage), "usage text written once");
    return 0;
}
