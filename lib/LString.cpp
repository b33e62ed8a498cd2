#include "LString.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {
constexpr int32_t kMaxSize = 0x7FFFFFFF;

void CopyChars(LChar* to, const LChar* from, int32_t count) {
    if (count > 0) {
        std::memmove(to, from, static_cast<std::size_t>(count) * sizeof(LChar));
    }
}

void ZeroChars(LChar* at, int32_t count) {
    if (count > 0) {
        std::memset(at, 0, static_cast<std::size_t>(count) * sizeof(LChar));
    }
}

std::size_t Bytes(int32_t chars) {
    return static_cast<std::size_t>(chars) * sizeof(LChar);
}

// Sizes are 32-bit; a request past that cannot be met and fails like an allocation.
int32_t CheckedSize(int64_t size) {
    if (size > kMaxSize) {
        throw std::bad_alloc();
    }
    return static_cast<int32_t>(size);
}

LChar FoldAsciiUpper(LChar ch) {
    return (ch >= u'A' && ch <= u'Z') ? static_cast<LChar>(ch - u'A' + u'a') : ch;
}

// White space as the Unicode classification has it: the C0 controls tab to carriage
// return, space, no-break space, and the separators above U+00FF.
bool IsWhiteSpace(LChar ch) {
    if ((ch >= 0x09 && ch <= 0x0D) || ch == 0x20 || ch == 0xA0) {
        return true;
    }
    if (ch <= 0xFF) {
        return false;
    }
    return ch == 0x1680 || (ch >= 0x2000 && ch <= 0x200A) || ch == 0x2028 || ch == 0x2029 ||
           ch == 0x202F || ch == 0x205F || ch == 0x3000;
}
}  // namespace

int32_t LTextLength(const LChar* text) {
    int32_t length = 0;
    if (text != nullptr) {
        while (text[length] != 0) {
            ++length;
        }
    }
    return length;
}

LString::LString(LHeapHandle heap) : heap_(heap != nullptr ? heap : LHeapProcess()) {}

LString::LString(const LChar* text, LHeapHandle heap) : LString(heap) {
    int32_t length = LTextLength(text);
    if (length > 0) {
        CopyFrom(text, CheckedSize(int64_t{length} + 1), length);
    }
}

LString::LString(const LString& other, LHeapHandle heap) : LString(heap) {
    CopyFrom(other.GetText(), other.size_, other.length_);
}

LString::~LString() {
    if (buffer_ != nullptr) {
        LHeapFree(heap_, buffer_);
    }
    if (auxiliary_ != nullptr) {
        LHeapFree(heap_, auxiliary_);
    }
}

int32_t LString::OffsetOf(const LChar* text) const {
    auto at = reinterpret_cast<std::uintptr_t>(text);
    auto begin = reinterpret_cast<std::uintptr_t>(buffer_);
    if (buffer_ == nullptr || at < begin || at >= begin + Bytes(capacity_)) {
        return -1;
    }
    return static_cast<int32_t>((at - begin) / sizeof(LChar));
}

LString& LString::CopyFrom(const LChar* text, int32_t size, int32_t length) {
    // A text from this string's own buffer goes to the front first: resizing zeroes
    // what lies past the new size, which may be where the text was.
    if (OffsetOf(text) >= 0) {
        CopyChars(buffer_, text, size);
        text = buffer_;
    }
    SetSize(size);
    if (buffer_ != nullptr && text != buffer_) {
        CopyChars(buffer_, text, size);
    }
    length_ = length;
    return *this;
}

LString& LString::SetSize(int32_t size) {
    if (size <= 0) {
        if (buffer_ != nullptr) {
            LHeapFree(heap_, buffer_);
        }
        buffer_ = nullptr;
        size_ = 0;
        capacity_ = 0;
        // No buffer, no text: a length left behind would be read through null.
        length_ = 0;
        return *this;
    }
    if (buffer_ == nullptr) {
        buffer_ = static_cast<LChar*>(LHeapAlloc(heap_, Bytes(size)));
        size_ = capacity_ = size;
        return *this;
    }
    if (size <= capacity_) {
        if (size > size_) {
            ZeroChars(buffer_ + size_, size - size_);
        } else {
            ZeroChars(buffer_ + size, size_ - size);
        }
        size_ = size;
        // A size that cuts into the text cuts the text too, so that it still ends
        // with a zero inside the size.
        if (length_ >= size_) {
            length_ = size_ - 1;
            buffer_[length_] = 0;
        }
        return *this;
    }
    int32_t increment = size_ / 8;
    if (increment < 4) {
        increment = 4;
    } else if (increment > 1024) {
        increment = 1024;
    }
    int64_t capacity = int64_t{capacity_} + increment;
    if (size >= capacity) {
        capacity = int64_t{size} + 1;
    }
    int32_t newCapacity = CheckedSize(capacity);
    buffer_ =
        static_cast<LChar*>(LHeapReAlloc(heap_, buffer_, Bytes(capacity_), Bytes(newCapacity)));
    ZeroChars(buffer_ + size_, size - size_);
    size_ = size;
    capacity_ = newCapacity;
    return *this;
}

LString& LString::Assign(const LString& other) {
    return CopyFrom(other.GetText(), other.size_, other.length_);
}

LString& LString::Assign(const LChar* text) {
    int32_t length = LTextLength(text);
    if (length == 0) {
        SetSize(0);
        length_ = 0;
        return *this;
    }
    return CopyFrom(text, CheckedSize(int64_t{length} + 1), length);
}

LString& LString::Append(const LString& other) {
    if (other.buffer_ == nullptr) {
        return *this;
    }
    // Read before resizing: other may be this string.
    int32_t otherSize = other.size_;
    int32_t otherLength = other.length_;
    SetSize(CheckedSize(int64_t{length_} + otherSize));
    CopyChars(buffer_ + length_, other.buffer_, otherSize);
    length_ += otherLength;
    return *this;
}

LString& LString::Append(const LChar* text) {
    int32_t added = LTextLength(text);
    if (added == 0) {
        return *this;
    }
    // The text may lie in this string's own buffer, which growing can move.
    int32_t offset = OffsetOf(text);
    SetSize(CheckedSize(int64_t{length_} + 1 + added));
    CopyChars(buffer_ + length_, offset >= 0 ? buffer_ + offset : text, added);
    length_ += added;
    buffer_[length_] = 0;
    return *this;
}

LString& LString::AppendChar(LChar ch) {
    SetSize(CheckedSize(int64_t{length_} + 2));
    buffer_[length_] = ch;
    ++length_;
    return *this;
}

LString& LString::Empty() {
    SetSize(0);
    length_ = 0;
    return *this;
}

LChar* LString::GetBuffer(int32_t n) {
    if (n <= 0) {
        n = length_;
    }
    SetSize(CheckedSize(int64_t{n} + 1));
    length_ = n;
    return buffer_;
}

LString& LString::SetLength(int32_t n) {
    if (buffer_ == nullptr) {
        return *this;
    }
    if (n < 0) {
        int32_t length = 0;
        while (length < size_ - 1 && buffer_[length] != 0) {
            ++length;
        }
        SetSize(length + 1);
        // The writer may have filled the last slot; the text must still end in a zero.
        buffer_[length] = 0;
        length_ = length;
        return *this;
    }
    // Growing the length is never asked for; it is given zeros so that the text
    // still ends inside the buffer.
    SetSize(CheckedSize(int64_t{n} + 1));
    buffer_[n] = 0;
    length_ = n;
    return *this;
}

int32_t LString::CompareNoCase(const LChar* text, int32_t n) const {
    const LChar* own = GetText();
    const LChar* other = text != nullptr ? text : &emptyText_;
    if (length_ == 0 && other[0] == 0) {
        return 0;
    }
    if (n == 0) {
        return 0;
    }
    for (int32_t i = 0;; ++i) {
        int32_t a = FoldAsciiUpper(own[i]);
        int32_t b = FoldAsciiUpper(other[i]);
        if (a != b || own[i] == 0 || (n > 0 && i == n - 1)) {
            return a - b;
        }
    }
}

int32_t LString::ToInteger() const {
    if (length_ == 0) {
        return 0;
    }
    const LChar* text = buffer_;
    int32_t first = 0;
    while (text[first] != 0 && !IsAsciiDigit(text[first])) {
        ++first;
    }
    if (text[first] == 0) {
        return 0;
    }
    int32_t end = first;
    while (IsAsciiDigit(text[end])) {
        ++end;
    }
    // Unsigned arithmetic: the value wraps modulo 2^32, and the bank table's numbers
    // are read so (Bank="4294967301" is bank 5).
    uint32_t value = 0;
    uint32_t factor = 1;
    for (int32_t i = end - 1; i >= first; --i) {
        value += static_cast<uint32_t>(text[i] - u'0') * factor;
        factor *= 10;
    }
    int32_t before = first - 1;
    while (before >= 0 && IsWhiteSpace(text[before])) {
        --before;
    }
    if (before >= 0 && text[before] == u'-') {
        value = 0u - value;
    }
    return static_cast<int32_t>(value);
}

int32_t LString::Find(int32_t count, LChar ch, int32_t start) const {
    if (start < 0) {
        start = 0;
    }
    if (start >= length_) {
        return -1;
    }
    if (count < 0) {
        count = 1;
    }
    if (count == 0) {
        return -1;
    }
    for (int32_t i = start; buffer_[i] != 0; ++i) {
        if (buffer_[i] == ch && --count == 0) {
            return i;
        }
    }
    return -1;
}

int32_t LString::FindReverse(int32_t count, LChar ch, int32_t start) const {
    if (start >= length_ || start < 0) {
        start = -1;
    }
    if (count < 0) {
        count = 1;
    }
    if (count == 0 || length_ == 0 || start == 0) {
        return -1;
    }
    for (int32_t i = (start == -1 ? length_ : start); i >= 0; --i) {
        if (buffer_[i] == ch && --count == 0) {
            return i;
        }
    }
    return -1;
}

LString LString::Left(int32_t n) const {
    if (n < 0) {
        n = 0;
    } else if (n > length_) {
        n = length_;
    }
    return Mid(0, n);
}

LString LString::Mid(int32_t start, int32_t count) const {
    LString result;
    if (start < 0) {
        start = 0;
    }
    if (count < 0) {
        count = 0;
    }
    if (start < length_ && count > 0) {
        if (count > length_ - start) {
            count = length_ - start;
        }
        result.CopyFrom(buffer_ + start, count + 1, count);
        result.buffer_[count] = 0;
    }
    return result;
}

LString LString::Mid(int32_t start) const {
    int64_t count = int64_t{length_} - start;
    return Mid(start, count > kMaxSize ? kMaxSize : static_cast<int32_t>(count));
}

LString LString::Right(int32_t n) const {
    if (n < 0) {
        n = 0;
    } else if (n > length_) {
        n = length_;
    }
    return Mid(length_ - n, n);
}

LString Concat(const LString& string, const LChar* text) {
    LString result(string);
    result.Append(text);
    return result;
}

bool IsAsciiDigit(int32_t ch) {
    return ch >= u'0' && ch <= u'9';
}
