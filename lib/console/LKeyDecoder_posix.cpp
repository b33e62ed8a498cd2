#include "LKeyDecoder_posix.h"

#include "LUtf.h"

namespace keyboard {
namespace {

constexpr char32_t kEsc = 0x1B;
constexpr char32_t kCancel = 0x18;
constexpr char32_t kSubstitute = 0x1A;
constexpr char32_t kBell = 0x07;
constexpr char32_t kDelete = 0x7F;
constexpr char32_t kCsi = 0x9B;
constexpr char32_t kSs3 = 0x8F;
constexpr char32_t kDcs = 0x90;
constexpr char32_t kSos = 0x98;
constexpr char32_t kSt = 0x9C;
constexpr char32_t kOsc = 0x9D;
constexpr char32_t kPm = 0x9E;
constexpr char32_t kApc = 0x9F;

// Parameters past these are no key's: the sequence is consumed and dropped.
constexpr int32_t kMostParameterBytes = 32;
constexpr int32_t kNumberCap = 10000;

struct Key {
    int32_t prefix;
    int32_t code;
};
constexpr Key kNoKey{-1, -1};

constexpr Key kUp{kExtendedKey, 72}, kDown{kExtendedKey, 80}, kRight{kExtendedKey, 77},
    kLeft{kExtendedKey, 75}, kHome{kExtendedKey, 71}, kEnd{kExtendedKey, 79},
    kInsert{kExtendedKey, 82}, kDeleteKey{kExtendedKey, 83}, kPageUp{kExtendedKey, 73},
    kPageDown{kExtendedKey, 81};

// F1 to F10 come as 0 and 59 to 68, F11 and F12 as 0xE0 and 133, 134.
constexpr Key FunctionKey(int32_t number) {
    return number <= 10 ? Key{kFunctionKey, 58 + number} : Key{kExtendedKey, 122 + number};
}

// The key of a CSI or SS3 sequence by its final byte (ESC [ A, ESC [ 1 ; 5 A, ESC O P).
Key KeyOfFinal(char32_t final) {
    static const char kFinals[] = "ABCDHFPQRS";
    static const Key kKeys[] = {
        kUp,  kDown,          kRight,         kLeft,          kHome,
        kEnd, FunctionKey(1), FunctionKey(2), FunctionKey(3), FunctionKey(4)};
    for (std::size_t i = 0; i < sizeof kKeys / sizeof kKeys[0]; ++i) {
        if (static_cast<char32_t>(kFinals[i]) == final) {
            return kKeys[i];
        }
    }
    return kNoKey;
}

// The key of ESC [ number ~, whatever modifiers follow the number.
Key KeyOfNumber(int32_t number) {
    static const Key kEditing[] = {kHome,   kInsert,   kDeleteKey, kEnd,
                                   kPageUp, kPageDown, kHome,      kEnd};
    if (number >= 1 && number <= 8) {
        return kEditing[number - 1];
    }
    if (number >= 11 && number <= 15) {
        return FunctionKey(number - 10);
    }
    if (number >= 17 && number <= 21) {
        return FunctionKey(number - 11);
    }
    return number == 23 || number == 24 ? FunctionKey(number - 12) : kNoKey;
}

bool InRange(char32_t unit, char32_t first, char32_t last) {
    return unit >= first && unit <= last;
}

bool IsC0(char32_t unit) {
    return unit < 0x20;
}

bool IsC1(char32_t unit) {
    return InRange(unit, 0x80, 0x9F);
}

}  // namespace

void KeyDecoder::Emit(int32_t prefix, int32_t code, std::vector<int32_t>& codes) {
    if (!alt_) {
        codes.push_back(prefix);
        codes.push_back(code);
    }
}

void KeyDecoder::Start(State state) {
    state_ = state;
    number_ = 0;
    parameters_ = 0;
    privateMarker_ = false;
    intermediates_ = false;
}

void KeyDecoder::Feed(const char* bytes, std::size_t count, std::vector<int32_t>& codes) {
    for (std::size_t i = 0; i < count; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (state_ == State::kMouse) {
            // Raw bytes, or in UTF-8 mouse mode two-byte characters: one unit each.
            if (utf8Raw_) {
                utf8Raw_ = false;
                if (InRange(byte, 0x80, 0xBF)) {
                    state_ = --mouseUnitsLeft_ > 0 ? State::kMouse : State::kGround;
                    continue;
                }
                // The lead byte was a unit of its own.
                state_ = --mouseUnitsLeft_ > 0 ? State::kMouse : State::kGround;
                if (state_ != State::kMouse) {
                    Feed(bytes + i, 1, codes);
                    continue;
                }
            }
            if (InRange(byte, 0xC2, 0xDF)) {
                utf8Raw_ = true;
            } else {
                state_ = --mouseUnitsLeft_ > 0 ? State::kMouse : State::kGround;
            }
            continue;
        }
        if (utf8Left_ > 0) {
            if (InRange(byte, 0x80, 0xBF)) {
                utf8_ = (utf8_ << 6) | (byte & 0x3F);
                // An overlong form is no UTF-8: a digit written so is no digit.
                if (--utf8Left_ == 0 && utf8_ >= utf8Least_) {
                    Unit(utf8_, codes);
                }
                continue;
            }
            // A character broken off: dropped, and the byte read anew.
            utf8Left_ = 0;
        }
        const std::size_t length = Utf8SequenceLength(byte);
        if (byte < 0x80) {
            Unit(byte, codes);
        } else if (length > 1 && byte >= 0xC2 && byte <= 0xF4) {
            static const char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
            utf8_ = byte & (0x7F >> length);
            utf8Left_ = static_cast<int32_t>(length) - 1;
            utf8Least_ = kLeast[length];
        }
        // Any other byte is no UTF-8, and is ignored.
    }
}

void KeyDecoder::Flush(std::vector<int32_t>& codes) {
    if (state_ == State::kEscape && !alt_) {
        codes.push_back(keyboard::kEscape);
    }
    state_ = State::kGround;
    alt_ = false;
    utf8Left_ = 0;
    utf8Raw_ = false;
}

// One character, in whatever state the decoder is.
void KeyDecoder::Unit(char32_t unit, std::vector<int32_t>& codes) {
    // Surrogates are no characters.
    if (IsSurrogate(unit) || unit > 0x10FFFF) {
        return;
    }
    switch (state_) {
        case State::kGround:
            Ground(unit, codes);
            return;
        case State::kString:
            if (unit == kEsc) {
                state_ = State::kStringEscape;
            } else if (unit == kSt || (unit == kBell && oscString_) || unit == kCancel ||
                       unit == kSubstitute) {
                state_ = State::kGround;
            } else if (IsC0(unit) || IsC1(unit)) {
                Control(unit, codes);
            }
            return;
        case State::kStringEscape:
            if (unit == u'\\') {
                state_ = State::kGround;
                return;
            }
            // The string is cut short by another sequence.
            Start(State::kEscape);
            alt_ = false;
            break;
        default:
            break;
    }
    if (unit == kDelete) {
        return;  // ignored inside a sequence
    }
    if (IsC0(unit) || IsC1(unit) || unit >= 0xA0) {
        if (!(state_ == State::kEscape && unit >= 0xA0)) {
            Control(unit, codes);
            return;
        }
    }
    switch (state_) {
        case State::kEscape:
            Escape(unit);
            return;
        case State::kEscapeIntermediate:
            if (!InRange(unit, 0x20, 0x2F)) {
                state_ = State::kGround;  // ESC, intermediates, a final: no key
                alt_ = false;
            }
            return;
        case State::kLinuxFunctionKey:
            state_ = State::kGround;
            if (InRange(unit, u'A', u'E')) {
                const Key key = FunctionKey(static_cast<int32_t>(unit - u'A') + 1);
                Emit(key.prefix, key.code, codes);
                alt_ = false;
            } else {
                alt_ = false;
                Ground(unit, codes);
            }
            return;
        default:
            Sequence(unit, codes);
            return;
    }
}

// A control or a character that no sequence takes: what was pending is dropped, and
// the unit is read as it is (CAN and SUB only cancel).
void KeyDecoder::Control(char32_t unit, std::vector<int32_t>& codes) {
    const bool doubledEscape = unit == kEsc && state_ == State::kEscape;
    state_ = State::kGround;
    alt_ = false;
    if (doubledEscape) {
        // ESC ESC [ A and the like: Alt and a key.
        Start(State::kEscape);
        alt_ = true;
        return;
    }
    if (unit != kCancel && unit != kSubstitute) {
        Ground(unit, codes);
    }
}

void KeyDecoder::Ground(char32_t unit, std::vector<int32_t>& codes) {
    switch (unit) {
        case kEsc:
            Start(State::kEscape);
            alt_ = false;
            return;
        case kCsi:
            Start(State::kCsi);
            return;
        case kSs3:
            Start(State::kSs3);
            return;
        case kOsc:
        case kDcs:
        case kSos:
        case kPm:
        case kApc:
            Start(State::kString);
            oscString_ = unit == kOsc;
            return;
        case kDelete:
            // The terminal's Backspace.
            codes.push_back(kBackspace);
            return;
        case u'\n':
            // A line typed before the program set the terminal's modes ends in LF,
            // where the console gives Enter.
            codes.push_back(kEnter);
            return;
        default:
            break;
    }
    if (IsC1(unit)) {
        return;
    }
    std::u16string units;
    AppendUtf16(units, unit);
    for (char16_t part : units) {
        codes.push_back(part);
    }
}

void KeyDecoder::Escape(char32_t unit) {
    switch (unit) {
        case u'[':
            Start(State::kCsi);
            return;
        case u'O':
            Start(State::kSs3);
            return;
        case u']':
        case u'P':
        case u'X':
        case u'^':
        case u'_':
            Start(State::kString);
            oscString_ = unit == u']';
            return;
        default:
            break;
    }
    if (InRange(unit, 0x20, 0x2F)) {
        state_ = State::kEscapeIntermediate;
        return;
    }
    // ESC \ (a lone ST), or Alt and a key: none of the prompt's.
    state_ = State::kGround;
    alt_ = false;
}

void KeyDecoder::Sequence(char32_t unit, std::vector<int32_t>& codes) {
    if (InRange(unit, 0x30, 0x3F)) {
        if (parameters_ == 0 && InRange(unit, 0x3C, 0x3F)) {
            privateMarker_ = true;
        }
        if (intermediates_) {
            privateMarker_ = true;  // parameters after intermediates: no key's
        }
        if (InRange(unit, u'0', u'9') && number_ >= 0) {
            number_ = number_ * 10 + static_cast<int32_t>(unit - u'0');
            number_ = number_ > kNumberCap ? kNumberCap : number_;
        } else if ((unit == u';' || unit == u':') && number_ >= 0) {
            number_ = -number_ - 1;  // the first number is complete: kept negated
        }
        parameters_ += parameters_ <= kMostParameterBytes ? 1 : 0;
        return;
    }
    if (InRange(unit, 0x20, 0x2F)) {
        intermediates_ = true;
        return;
    }
    Final(unit, codes);
}

void KeyDecoder::Final(char32_t final, std::vector<int32_t>& codes) {
    const bool csi = state_ == State::kCsi;
    const int32_t number = number_ < 0 ? -number_ - 1 : number_;
    const bool plain = parameters_ == 0 && !intermediates_;
    const bool named = !privateMarker_ && !intermediates_ && parameters_ <= kMostParameterBytes;
    state_ = State::kGround;
    if (csi && plain && final == u'M') {
        Start(State::kMouse);
        mouseUnitsLeft_ = 3;
        alt_ = false;
        return;
    }
    if (csi && plain && final == u'[') {
        state_ = State::kLinuxFunctionKey;
        return;
    }
    Key key = kNoKey;
    if (!named) {
        // a private, intermediate or over-long sequence: no key
    } else if (csi) {
        key = final == u'~' ? KeyOfNumber(number) : KeyOfFinal(final);
    } else if (InRange(final, u'j', u'y')) {
        // The keypad in application mode: ESC O p to y are its digits.
        static const char kKeypad[] = "*+,-./0123456789";
        if (parameters_ == 0 && !alt_) {
            codes.push_back(kKeypad[final - u'j']);
        }
    } else if (final == u'M') {
        if (parameters_ == 0 && !alt_) {
            codes.push_back(kEnter);
        }
    } else {
        key = KeyOfFinal(final);
    }
    if (key.prefix >= 0) {
        Emit(key.prefix, key.code, codes);
    }
    alt_ = false;
}

std::size_t DecodeKeys(const std::string& bytes, bool complete, std::vector<int32_t>& codes) {
    KeyDecoder decoder;
    std::size_t keyStart = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!decoder.Pending()) {
            keyStart = i;
        }
        decoder.Feed(&bytes[i], 1, codes);
    }
    if (complete) {
        decoder.Flush(codes);
        return bytes.size();
    }
    return decoder.Pending() ? keyStart : bytes.size();
}

}  // namespace keyboard
