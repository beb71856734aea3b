// Small text helpers shared by the interpreter's units. Names and keywords
// compare with ASCII case folding, as the rest of the program does.
#pragma once

#include "TextUtils.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace fs_common {

inline char UpChar(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }

inline std::string Upper(std::string_view s) { return ::UpperCase(s); }
inline std::string Lower(std::string_view s) { return ::LowerCase(s); }
inline bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpChar(a[i]) != UpChar(b[i])) return false;
    return true;
}
inline int CompareName(std::string_view a, std::string_view b)
{
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = (unsigned char)UpChar(a[i]), y = (unsigned char)UpChar(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Appends the UTF-8 form of a code point; invalid ones become '?'.
inline void AppendCodePoint(std::string& s, uint32_t cp)
{
    if (cp < 0x80) {
        s += char(cp);
    } else if (cp < 0x800) {
        s += char(0xC0 | (cp >> 6));
        s += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        if (cp >= 0xD800 && cp < 0xE000) { s += '?'; return; }
        s += char(0xE0 | (cp >> 12));
        s += char(0x80 | ((cp >> 6) & 0x3F));
        s += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x110000) {
        s += char(0xF0 | (cp >> 18));
        s += char(0x80 | ((cp >> 12) & 0x3F));
        s += char(0x80 | ((cp >> 6) & 0x3F));
        s += char(0x80 | (cp & 0x3F));
    } else {
        s += '?';
    }
}

}  // namespace fs_common
