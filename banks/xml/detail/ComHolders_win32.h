#pragma once

#include <oleauto.h>
#include <windows.h>

#include <string>

#include "LString.h"
#include "XmlDocument.h"

// Holders that give back what COM hands out when they go out of scope: an
// interface pointer, a counted string, a variant.

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(ComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = other.p_;
            other.p_ = nullptr;
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // For out arguments: releases what is held, then lends the slot.
    T** Put() {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    void Reset() {
        if (p_ != nullptr) {
            p_->Release();
            p_ = nullptr;
        }
    }

private:
    T* p_ = nullptr;
};

// A counted wide string made from a zero-terminated one. A null text counts as
// empty, so that only a failed allocation yields no string.
class ComString {
public:
    explicit ComString(const LChar* text)
        : bstr_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text),
                                  static_cast<UINT>(LTextLength(text)))) {
        if (bstr_ == nullptr) {
            throw XmlOutOfMemory();
        }
    }
    ~ComString() { SysFreeString(bstr_); }
    ComString(const ComString&) = delete;
    ComString& operator=(const ComString&) = delete;

    BSTR Get() const { return bstr_; }
    // Hands the string over to the caller, who frees it.
    BSTR Detach() {
        BSTR bstr = bstr_;
        bstr_ = nullptr;
        return bstr;
    }

private:
    BSTR bstr_;
};

// A counted string that COM hands out, freed when the holder goes.
class ComReceivedString {
public:
    ComReceivedString() = default;
    ~ComReceivedString() { SysFreeString(bstr_); }
    ComReceivedString(const ComReceivedString&) = delete;
    ComReceivedString& operator=(const ComReceivedString&) = delete;

    // For out arguments: frees what is held, then lends the slot.
    BSTR* Put() {
        SysFreeString(bstr_);
        bstr_ = nullptr;
        return &bstr_;
    }
    // The text; empty for no string.
    std::u16string Text() const {
        return std::u16string(reinterpret_cast<const char16_t*>(bstr_), SysStringLen(bstr_));
    }

private:
    BSTR bstr_ = nullptr;
};

class ComVariant {
public:
    ComVariant() { VariantInit(&v_); }
    ~ComVariant() { VariantClear(&v_); }
    ComVariant(const ComVariant&) = delete;
    ComVariant& operator=(const ComVariant&) = delete;

    static ComVariant FromInt32(int32_t value) {
        ComVariant variant;
        variant.v_.vt = VT_I4;
        variant.v_.lVal = value;
        return variant;
    }
    static ComVariant FromText(const LChar* text) {
        ComString bstr(text);
        ComVariant variant;
        variant.v_.vt = VT_BSTR;
        variant.v_.bstrVal = bstr.Detach();
        return variant;
    }

    // Holds a reference of its own on the object.
    static ComVariant FromUnknown(IUnknown* object) {
        ComVariant variant;
        object->AddRef();
        variant.v_.vt = VT_UNKNOWN;
        variant.v_.punkVal = object;
        return variant;
    }

    const VARIANT& Get() const { return v_; }
    // For out arguments: clears what is held, then lends the variant.
    VARIANT* Put() {
        VariantClear(&v_);
        return &v_;
    }

private:
    // Only the factories move, and a fresh variant owns nothing else.
    ComVariant(ComVariant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }

    VARIANT v_;
};
