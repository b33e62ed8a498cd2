#pragma once

#include <cstdint>

#include "LHeap.h"

// One UTF-16 code unit on every platform (wchar_t is 32-bit on Linux).
using LChar = char16_t;

// Growable zero-terminated UTF-16 string on a chosen heap. Sizes, lengths and
// indices count characters. Every character past the in-use size is zero.
class LString {
public:
    explicit LString(LHeapHandle heap = nullptr);
    explicit LString(const LChar* text, LHeapHandle heap = nullptr);
    LString(const LString& other, LHeapHandle heap = nullptr);
    virtual ~LString();

    LString& operator=(const LString& other) { return Assign(other); }

    LString& SetSize(int32_t size);
    LString& Assign(const LString& other);
    LString& Assign(const LChar* text);
    LString& Append(const LString& other);
    LString& Append(const LChar* text);
    LString& AppendChar(LChar ch);
    LString& Empty();
    // Room for n characters and a zero; the caller writes, then calls SetLength(-1).
    LChar* GetBuffer(int32_t n);
    LString& SetLength(int32_t n);

    int32_t GetLength() const { return length_; }
    int32_t GetSize() const { return size_; }
    int32_t GetCapacity() const { return capacity_; }
    const LChar* GetText() const { return buffer_ != nullptr ? buffer_ : &emptyText_; }
    LChar GetAt(int32_t index) const { return buffer_[index]; }

    int32_t CompareNoCase(const LChar* text, int32_t n) const;
    int32_t ToInteger() const;
    int32_t Find(int32_t count, LChar ch, int32_t start) const;
    int32_t FindReverse(int32_t count, LChar ch, int32_t start) const;

    LString Left(int32_t n) const;
    LString Mid(int32_t start, int32_t count) const;
    LString Mid(int32_t start) const;
    LString Right(int32_t n) const;

private:
    // Where a text lies in this string's buffer, in characters; -1 when elsewhere.
    int32_t OffsetOf(const LChar* text) const;
    LString& CopyFrom(const LChar* text, int32_t size, int32_t length);

    LChar* buffer_ = nullptr;
    int32_t size_ = 0;
    int32_t capacity_ = 0;
    int32_t length_ = 0;
    LHeapHandle heap_;
    void* auxiliary_ = nullptr;
    LChar emptyText_ = 0;
};

// A copy of the string followed by the text; the text is ignored when null or empty.
LString Concat(const LString& string, const LChar* text);

// '0' to '9' only: the digits of other scripts are not read as numbers.
bool IsAsciiDigit(int32_t ch);

// Number of characters before the terminating zero; 0 for null.
int32_t LTextLength(const LChar* text);
