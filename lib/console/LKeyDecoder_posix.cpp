#include "LKeyDecoder_posix.h"

#include "LUtf.h"

namespace keyboard {
namespace {

constexpr char kEscape = '\x1b';

struct Key {
    int32_t prefix;
    int32_t code;
};

constexpr Key kUp{kExtendedKey, 72}, kDown{kExtendedKey, 80}, kRight{kExtendedKey, 77},
    kLeft{kExtendedKey, 75}, kHome{kExtendedKey, 71}, kEnd{kExtendedKey, 79},
    kInsert{kExtendedKey, 82}, kDelete{kExtendedKey, 83}, kPageUp{kExtendedKey, 73},
    kPageDown{kExtendedKey, 81}, kIgnored{kExtendedKey, kIgnoredKey};

// F1 to F10 come as 0 and 59 to 68, F11 and F12 as 0xE0 and 133, 134.
constexpr Key FunctionKey(int32_t number) {
    return number <= 10 ? Key{0, 58 + number} : Key{kExtendedKey, 122 + number};
}

// The key of a CSI or SS3 sequence by its final byte (ESC [ A, ESC [ 1 ; 5 A, ESC O P).
Key KeyOfFinal(char final) {
    static const char kFinals[] = "ABCDHFPQRS";
    static const Key kKeys[] = {
        kUp,  kDown,          kRight,         kLeft,          kHome,
        kEnd, FunctionKey(1), FunctionKey(2), FunctionKey(3), FunctionKey(4)};
    for (std::size_t i = 0; i < sizeof kKeys / sizeof kKeys[0]; ++i) {
        if (kFinals[i] == final) {
            return kKeys[i];
        }
    }
    return kIgnored;
}

// The key of ESC [ number ~, whatever modifiers follow the number.
Key KeyOfNumber(int32_t number) {
    static const Key kEditing[] = {kHome, kInsert, kDelete, kEnd, kPageUp, kPageDown, kHome, kEnd};
    if (number >= 1 && number <= 8) {
        return kEditing[number - 1];
    }
    if (number >= 11 && number <= 15) {
        return FunctionKey(number - 10);
    }
    if (number >= 17 && number <= 21) {
        return FunctionKey(number - 11);
    }
    return number == 23 || number == 24 ? FunctionKey(number - 12) : kIgnored;
}

bool InRange(char byte, int first, int last) {
    auto value = static_cast<unsigned char>(byte);
    return value >= first && value <= last;
}

void Push(const Key& key, std::vector<int32_t>& codes) {
    codes.push_back(key.prefix);
    codes.push_back(key.code);
}

// One character: its UTF-16 units, from as many bytes as its UTF-8 lead byte asks
// for and the bytes that follow continue it.
std::size_t DecodeCharacter(const std::string& bytes, std::size_t at, bool complete,
                            std::vector<int32_t>& codes) {
    auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) {
        // The terminal's Backspace is DEL; a line typed before the program set the
        // terminal's modes ends in LF, where the console would give Enter.
        codes.push_back(lead == 0x7F ? 8 : lead == '\n' ? 13 : lead);
        return 1;
    }
    const std::size_t wanted = Utf8SequenceLength(lead);
    std::size_t length = 1;
    while (length < wanted && at + length < bytes.size() &&
           InRange(bytes[at + length], 0x80, 0xBF)) {
        ++length;
    }
    if (length < wanted && at + length == bytes.size() && !complete) {
        return 0;
    }
    for (char16_t unit : Utf16FromUtf8(bytes.data() + at, length)) {
        codes.push_back(unit);
    }
    return length;
}

constexpr std::size_t kWaitForMore = static_cast<std::size_t>(-1);

// The three bytes of an X10 mouse report after its ESC [ M, which a program that
// crashed may have left switched on; in UTF-8 mouse mode each may be a two-byte
// character. How many bytes they take, or kWaitForMore.
std::size_t MouseReportRest(const std::string& bytes, std::size_t at, bool complete) {
    std::size_t end = at;
    for (int unit = 0; unit < 3; ++unit) {
        if (end == bytes.size()) {
            return complete ? end - at : kWaitForMore;
        }
        const bool twoBytes = InRange(bytes[end], 0xC2, 0xDF);
        if (twoBytes && end + 1 == bytes.size() && !complete) {
            return kWaitForMore;
        }
        end += twoBytes && end + 1 < bytes.size() && InRange(bytes[end + 1], 0x80, 0xBF) ? 2 : 1;
    }
    return end - at;
}

// ESC [, parameters, intermediates and a final byte. The Linux console's F1 to F5
// are ESC [ [ A to ESC [ [ E.
std::size_t DecodeCsi(const std::string& bytes, std::size_t escape, bool complete,
                      std::vector<int32_t>& codes) {
    const std::size_t start = escape + 2;
    std::size_t at = start;
    if (at < bytes.size() && bytes[at] == '[') {
        if (at + 1 == bytes.size() && !complete) {
            return 0;
        }
        const bool named = at + 1 < bytes.size() && InRange(bytes[at + 1], 'A', 'E');
        Push(named ? FunctionKey(bytes[at + 1] - 'A' + 1) : kIgnored, codes);
        return at + 2 - escape;
    }
    while (at < bytes.size() && InRange(bytes[at], 0x30, 0x3F)) {
        ++at;
    }
    const std::size_t parametersEnd = at;
    while (at < bytes.size() && InRange(bytes[at], 0x20, 0x2F)) {
        ++at;
    }
    if (at == bytes.size() && !complete) {
        return 0;
    }
    if (at == bytes.size() || !InRange(bytes[at], 0x40, 0x7E)) {
        // Cut short, or broken off by a byte that belongs to no sequence, which is then
        // read as what it is.
        Push(kIgnored, codes);
        return at - escape;
    }
    if (at == start && bytes[at] == 'M') {
        const std::size_t rest = MouseReportRest(bytes, at + 1, complete);
        if (rest == kWaitForMore) {
            return 0;
        }
        Push(kIgnored, codes);
        return at + 1 + rest - escape;
    }
    Key key = kIgnored;
    // Private parameters (mouse reports and the like) and intermediates name no key.
    if (parametersEnd == at && (parametersEnd == start || InRange(bytes[start], '0', ';'))) {
        int32_t number = 0;
        for (std::size_t i = start; i < parametersEnd && InRange(bytes[i], '0', '9'); ++i) {
            number = number < 1000 ? number * 10 + (bytes[i] - '0') : number;
        }
        key = bytes[at] == '~' ? KeyOfNumber(number) : KeyOfFinal(bytes[at]);
    }
    Push(key, codes);
    return at + 1 - escape;
}

// ESC O and one byte: the cursor and function keys, and the keypad when a program
// left the terminal in its application mode.
void PushSs3(char final, std::vector<int32_t>& codes) {
    static const char kKeypad[] = "*+,-./0123456789";
    if (InRange(final, 'j', 'y')) {
        codes.push_back(kKeypad[final - 'j']);
    } else if (final == 'M') {
        codes.push_back(13);
    } else {
        Push(KeyOfFinal(final), codes);
    }
}

std::size_t DecodeOne(const std::string& bytes, std::size_t at, bool complete,
                      std::vector<int32_t>& codes);

std::size_t DecodeEscape(const std::string& bytes, std::size_t at, bool complete,
                         std::vector<int32_t>& codes) {
    if (at + 1 == bytes.size()) {
        if (!complete) {
            return 0;
        }
        codes.push_back(kEscape);
        return 1;
    }
    const char next = bytes[at + 1];
    if (next == '[') {
        return DecodeCsi(bytes, at, complete, codes);
    }
    if (next == 'O' && at + 2 < bytes.size() && InRange(bytes[at + 2], 0x40, 0x7E)) {
        PushSs3(bytes[at + 2], codes);
        return 3;
    }
    if (next == 'O' && at + 2 == bytes.size() && !complete) {
        return 0;
    }
    std::size_t end = at + 1;
    if (InRange(next, 0x20, 0x2F)) {
        // ESC, intermediates and a final byte: no key of the keyboard's.
        while (end < bytes.size() && InRange(bytes[end], 0x20, 0x2F)) {
            ++end;
        }
        if (end == bytes.size() && !complete) {
            return 0;
        }
        end += end < bytes.size() && InRange(bytes[end], 0x30, 0x7E) ? 1 : 0;
    } else {
        // Alt and a key, which may itself be a sequence: the key, whole, is passed over.
        std::vector<int32_t> keyCodes;
        const std::size_t length = DecodeOne(bytes, at + 1, complete, keyCodes);
        if (length == 0) {
            return 0;
        }
        end = at + 1 + length;
    }
    Push(kIgnored, codes);
    return end - at;
}

std::size_t DecodeOne(const std::string& bytes, std::size_t at, bool complete,
                      std::vector<int32_t>& codes) {
    return bytes[at] == kEscape ? DecodeEscape(bytes, at, complete, codes)
                                : DecodeCharacter(bytes, at, complete, codes);
}

}  // namespace

std::size_t DecodeKeys(const std::string& bytes, bool complete, std::vector<int32_t>& codes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t used = DecodeOne(bytes, at, complete, codes);
        if (used == 0) {
            break;
        }
        at += used;
    }
    return at;
}

}  // namespace keyboard
