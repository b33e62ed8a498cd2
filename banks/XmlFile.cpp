#include "XmlFile.h"

#include <cstddef>

#include "LProcess.h"
#include "LUtf.h"

namespace {

struct EncodingSignature {
    const char* start;
    std::size_t length;
    std::size_t unitWidth;
};

// The first bytes by which the XML parser tells UTF-32 ("<") and UTF-16 ("<?", or a
// byte order mark) apart from the encodings of single bytes.
constexpr EncodingSignature kWideEncodings[] = {
    {"\0\0\0<", 4, 4}, {"<\0\0\0", 4, 4}, {"\0\0<\0", 4, 4},  {"\0<\0\0", 4, 4},
    {"<\0?\0", 4, 2},  {"\0<\0?", 4, 2},  {"\xFE\xFF", 2, 2}, {"\xFF\xFE", 2, 2},
};

std::size_t CodeUnitWidth(const std::string& bytes) {
    for (const auto& encoding : kWideEncodings) {
        if (bytes.compare(0, encoding.length, encoding.start, encoding.length) == 0) {
            return encoding.unitWidth;
        }
    }
    return 1;
}

std::u16string Decimal(std::uint32_t value) {
    return Utf16FromUtf8(std::to_string(value).c_str());
}

}  // namespace

bool HoldsNullCharacter(const std::string& bytes) {
    const std::size_t width = CodeUnitWidth(bytes);
    for (std::size_t unit = 0; unit + width <= bytes.size(); unit += width) {
        if (bytes.find_first_not_of('\0', unit) >= unit + width) {
            return true;
        }
    }
    return false;
}

std::u16string TemporaryFileName(const LChar* path, std::uint32_t attempt) {
    return std::u16string(path) + u"." + Decimal(LProcessId()) + u"-" + Decimal(attempt) + u".new";
}
