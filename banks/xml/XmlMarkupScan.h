#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A document's characters as far as markup goes, over its bytes in one encoding
// whose ASCII characters are code units of their own: UTF-8 (also text converted
// to it) or UTF-16 in either byte order. Each ASCII character reads as itself, every
// other one as kOther; Unit gives a code unit's whole value, for names.
class MarkupView {
public:
    static constexpr char kOther = '\x80';

    // unitWidth 1 or 2; lowByte: where in a code unit its lowest byte lies.
    MarkupView(const std::string& bytes, std::size_t unitWidth, std::size_t lowByte)
        : bytes_(bytes),
          unitWidth_(unitWidth),
          lowByte_(lowByte),
          size_(bytes.size() / unitWidth) {}

    std::size_t Size() const { return size_; }

    uint32_t Unit(std::size_t at) const {
        if (at >= size_) {
            return 0;
        }
        const std::size_t unit = at * unitWidth_;
        uint32_t value = 0;
        for (std::size_t i = 0; i < unitWidth_; ++i) {
            const std::size_t byte = unitWidth_ == 1 ? 0 : (lowByte_ == 0 ? i : unitWidth_ - 1 - i);
            value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes_[unit + byte]))
                     << (8 * i);
        }
        return value;
    }

    char operator[](std::size_t at) const {
        const uint32_t unit = Unit(at);
        return unit < 0x80 ? static_cast<char>(unit) : kOther;
    }

    bool At(std::size_t at, const char* text) const {
        for (std::size_t i = 0; text[i] != 0; ++i) {
            if ((*this)[at + i] != text[i]) {
                return false;
            }
        }
        return true;
    }

    // Just past the next `text` from `at`, or the end.
    std::size_t Past(std::size_t at, const char* text) const;

private:
    const std::string& bytes_;
    std::size_t unitWidth_;
    std::size_t lowByte_;
    std::size_t size_;
};

inline bool IsXmlSpace(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

// Whether the markup from `start` on stays within the limits of XmlMarkupLimits.h: counted
// on the characters a parser reads, in one pass.
bool MarkupWithinLimits(const MarkupView& view, std::size_t start);
