#include <mlang.h>
#include <windows.h>

#include <climits>

#include "ComHolders_win32.h"
#include "LUtf.h"
#include "XmlEncoding.h"

namespace {

// MLang, which maps the names of encodings to code pages as the DOM does; its class
// and interface spelled out, as the DOM's are.
constexpr CLSID kMultiLanguageClass = {
    0x275C23E2, 0x3747, 0x11D0, {0x9F, 0xEA, 0x00, 0xAA, 0x00, 0x3F, 0x86, 0x46}};
constexpr IID kMultiLanguage2Interface = {
    0xDCCFC164, 0x2B38, 0x11D2, {0xB7, 0xEC, 0x00, 0xC0, 0x4F, 0x8F, 0x5D, 0x9A}};

bool CodePageOf(const std::string& encoding, UINT& codePage) {
    ComPtr<IMultiLanguage2> languages;
    if (FAILED(CoCreateInstance(kMultiLanguageClass, nullptr, CLSCTX_INPROC_SERVER,
                                kMultiLanguage2Interface, languages.PutVoid())) ||
        !languages) {
        return false;
    }
    const std::u16string name = Utf16FromUtf8(encoding.c_str());
    ComString charset(name.c_str());
    MIMECSETINFO info{};
    if (languages->GetCharsetInfo(charset.Get(), &info) != S_OK) {
        return false;
    }
    codePage = info.uiInternetEncoding;
    return true;
}

// Invalid bytes fail the conversion where the code page lets them be told; a few
// code pages (UTF-7, the ISO-2022 ones) take no flags at all.
int Convert(UINT codePage, const std::string& bytes, wchar_t* out, int room) {
    const int size = static_cast<int>(bytes.size());
    int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, out, room);
    if (length == 0 && GetLastError() == ERROR_INVALID_FLAGS) {
        length = MultiByteToWideChar(codePage, 0, bytes.data(), size, out, room);
    }
    return length;
}

}  // namespace

bool ConvertToUtf8(const std::string& encoding, const std::string& bytes, std::string& utf8) {
    UINT codePage = 0;
    if (bytes.size() > INT_MAX / 2 || !CodePageOf(encoding, codePage)) {
        return false;
    }
    if (bytes.empty()) {
        utf8.clear();
        return true;
    }
    const int length = Convert(codePage, bytes, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    std::u16string text(static_cast<std::size_t>(length), u'\0');
    if (Convert(codePage, bytes, reinterpret_cast<wchar_t*>(&text[0]), length) != length) {
        return false;
    }
    utf8 = Utf8FromUtf16(text.data(), text.size());
    return true;
}
