#include "TextUtils.h"
#include "Exceptions.h"
#include "Streams.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// ---- UTF-8 decoding -----------------------------------------------------------

constexpr uint32_t kBad = 0xFFFFFFFFu;

// Decodes the code point at s[i] and advances i; kBad (one byte consumed)
// for a byte that does not start a well-formed sequence.
uint32_t NextCodePoint(std::string_view s, size_t& i)
{
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) { ++i; return c; }
    int len;
    uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) { len = 2; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { len = 3; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { len = 4; cp = c & 0x07; }
    else { ++i; return kBad; }
    if (i + len > s.size()) { ++i; return kBad; }
    for (int k = 1; k < len; ++k) {
        unsigned char t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80) { ++i; return kBad; }
        cp = (cp << 6) | (t & 0x3F);
    }
    // Overlong forms, surrogates and values beyond the last plane.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kBad;
    }
    i += len;
    return cp;
}

// Length of the character starting at s[i] (1 for a stray byte).
size_t CharLen(std::string_view s, size_t i)
{
    size_t j = i;
    NextCodePoint(s, j);
    return j - i;
}

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// ---- GBK tables -------------------------------------------------------------------
// Built once from glibc's converter, so that converting, measuring and
// comparing never pay for iconv again and are safe from any thread.

struct GbkTables {
    std::vector<uint16_t> Enc;   // BMP code point -> GBK code (1 or 2 bytes), 0 = none
    std::vector<uint32_t> Dec;   // (lead << 8 | trail) -> code point, 0 = none
};

const GbkTables& Tables()
{
    static GbkTables t;
    static std::once_flag once;
    std::call_once(once, [] {
        t.Enc.assign(0x10000, 0);
        t.Dec.assign(0x10000, 0);
        iconv_t cd = iconv_open("UTF-8", "GBK");
        if (cd == (iconv_t)-1) return;   // ASCII still works below
        auto decode = [&](const char* in, size_t inLen) -> uint32_t {
            char outBuf[8];
            char* ip = const_cast<char*>(in);
            char* op = outBuf;
            size_t il = inLen, ol = sizeof outBuf;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &ip, &il, &op, &ol) == (size_t)-1 || il != 0) return 0;
            std::string_view u(outBuf, op - outBuf);
            size_t i = 0;
            uint32_t cp = NextCodePoint(u, i);
            return (cp == kBad || i != u.size() || cp > 0xFFFF) ? 0 : cp;
        };
        for (int b = 0x80; b <= 0xFF; ++b) {
            char in[1] = {char(b)};
            if (uint32_t cp = decode(in, 1)) {
                t.Dec[b] = cp;
                if (!t.Enc[cp]) t.Enc[cp] = uint16_t(b);
            }
        }
        for (int lead = 0x81; lead <= 0xFE; ++lead)
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail == 0x7F) continue;
                char in[2] = {char(lead), char(trail)};
                if (uint32_t cp = decode(in, 2)) {
                    t.Dec[(lead << 8) | trail] = cp;
                    // The first code wins where two decode to the same character.
                    if (!t.Enc[cp]) t.Enc[cp] = uint16_t((lead << 8) | trail);
                }
            }
        iconv_close(cd);
    });
    return t;
}

// GBK code of a code point: 0..0x7F as is, 0 when GBK cannot hold it
// (NUL is handled by the callers).
inline uint16_t GbkCode(uint32_t cp)
{
    if (cp < 0x80) return uint16_t(cp);
    if (cp > 0xFFFF) return 0;
    return Tables().Enc[cp];
}

inline int GbkCodeLen(uint16_t code) { return code > 0xFF ? 2 : 1; }

// Sort key bytes of one character: its GBK bytes; characters GBK lacks get
// 0xFF and their code point (0xFF never leads a GBK character, so they sort
// after all of them and stay distinct from each other). Stray bytes sort as
// 0xFF 0xFF 0xFF byte, after everything.
int KeyBytes(uint32_t cp, unsigned char stray, bool fold, unsigned char out[4])
{
    if (cp == kBad) {
        out[0] = 0xFF; out[1] = 0xFF; out[2] = 0xFF; out[3] = stray;
        return 4;
    }
    if (cp < 0x80) {
        unsigned char c = static_cast<unsigned char>(cp);
        if (fold && c >= 'a' && c <= 'z') c = c - 'a' + 'A';
        out[0] = c;
        return 1;
    }
    uint16_t code = GbkCode(cp);
    if (code) {
        if (code > 0xFF) { out[0] = code >> 8; out[1] = code & 0xFF; return 2; }
        out[0] = static_cast<unsigned char>(code);
        return 1;
    }
    out[0] = 0xFF; out[1] = (cp >> 16) & 0xFF; out[2] = (cp >> 8) & 0xFF; out[3] = cp & 0xFF;
    return 4;
}

// Streams the sort key of a text one byte at a time.
class KeyReader {
public:
    KeyReader(std::string_view s, bool fold) : FS(s), FFold(fold) {}
    // -1 at the end.
    int Next()
    {
        if (FPos == FLen) {
            if (FI >= FS.size()) return -1;
            unsigned char stray = static_cast<unsigned char>(FS[FI]);
            uint32_t cp = NextCodePoint(FS, FI);
            FLen = KeyBytes(cp, stray, FFold, FBuf);
            FPos = 0;
        }
        return FBuf[FPos++];
    }
private:
    std::string_view FS;
    bool FFold;
    size_t FI = 0;
    unsigned char FBuf[4];
    int FPos = 0, FLen = 0;
};

int CompareKeys(std::string_view a, std::string_view b, bool fold)
{
    // ASCII prefix: the key is the byte itself (folded).
    size_t i = 0, n = std::min(a.size(), b.size());
    while (i < n) {
        unsigned char x = a[i], y = b[i];
        if (x >= 0x80 || y >= 0x80) break;
        if (fold) {
            if (x >= 'a' && x <= 'z') x -= 32;
            if (y >= 'a' && y <= 'z') y -= 32;
        }
        if (x != y) return int(x) - int(y);
        ++i;
    }
    KeyReader ra(a.substr(i), fold), rb(b.substr(i), fold);
    for (;;) {
        int x = ra.Next(), y = rb.Next();
        if (x != y) {
            if (x < 0) return -1;
            if (y < 0) return 1;
            return x - y;
        }
        if (x < 0) return 0;
    }
}

inline int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// Case pairs GBK holds in both cases; the same UTF-8 length on both sides,
// so byte positions survive case mapping.
uint32_t ToUpperCp(uint32_t cp)
{
    if (cp >= 'a' && cp <= 'z') return cp - 32;
    if (cp >= 0x3B1 && cp <= 0x3C9 && cp != 0x3C2) return cp - 0x20;   // Greek
    if (cp >= 0x430 && cp <= 0x44F) return cp - 0x20;                  // Cyrillic
    if (cp == 0x451) return 0x401;
    if (cp >= 0xFF41 && cp <= 0xFF5A) return cp - 0x20;                // full-width Latin
    return cp;
}

uint32_t ToLowerCp(uint32_t cp)
{
    if (cp >= 'A' && cp <= 'Z') return cp + 32;
    if (cp >= 0x391 && cp <= 0x3A9 && cp != 0x3A2) return cp + 0x20;
    if (cp >= 0x410 && cp <= 0x42F) return cp + 0x20;
    if (cp == 0x401) return 0x451;
    if (cp >= 0xFF21 && cp <= 0xFF3A) return cp + 0x20;
    return cp;
}

template <class F> std::string MapCodePoints(std::string_view s, F f)
{
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        size_t start = i;
        uint32_t cp = NextCodePoint(s, i);
        if (cp == kBad) { out += s[start]; continue; }   // stray bytes kept as they are
        AppendUtf8(out, f(cp));
    }
    return out;
}

std::string AsciiMap(std::string_view s, bool upper)
{
    std::string r(s);
    for (char& c : r) {
        if (upper && c >= 'a' && c <= 'z') c -= 32;
        else if (!upper && c >= 'A' && c <= 'Z') c += 32;
    }
    return r;
}

inline bool IsDelim(char c) { return c == '/' || c == '\\'; }

std::string Normalize(std::string_view name)
{
    std::string r(name);
    std::replace(r.begin(), r.end(), '\\', '/');
    return r;
}

// Index of the last delimiter, or npos.
size_t LastDelim(std::string_view s)
{
    for (size_t i = s.size(); i-- > 0;)
        if (IsDelim(s[i])) return i;
    return std::string_view::npos;
}

} // namespace

// ---- GBK ------------------------------------------------------------------------

std::string Utf8ToGbk(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        uint32_t cp = NextCodePoint(utf8, i);
        if (cp == kBad) { out += '?'; continue; }
        if (cp == 0) { out += '\0'; continue; }
        uint16_t code = GbkCode(cp);
        if (!code) out += '?';
        else if (code > 0xFF) { out += char(code >> 8); out += char(code & 0xFF); }
        else out += char(code);
    }
    return out;
}

std::string GbkToUtf8(std::string_view gbk)
{
    const GbkTables& t = Tables();
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    size_t i = 0;
    while (i < gbk.size()) {
        unsigned char c = gbk[i];
        if (c < 0x80) { out += char(c); ++i; continue; }
        if (c >= 0x81 && c <= 0xFE && i + 1 < gbk.size()) {
            unsigned char d = gbk[i + 1];
            if (uint32_t cp = t.Dec[(c << 8) | d]) { AppendUtf8(out, cp); i += 2; continue; }
        }
        if (uint32_t cp = t.Dec[c]; cp && c < 0x81) { AppendUtf8(out, cp); ++i; continue; }
        // A lead byte whose trail is not a GBK trail: the lead alone is bad,
        // the next byte is looked at afresh (it may be ASCII).
        out += '?';
        ++i;
    }
    return out;
}

bool IsValidGbk(std::string_view gbk)
{
    const GbkTables& t = Tables();
    size_t i = 0;
    while (i < gbk.size()) {
        unsigned char c = gbk[i];
        if (c < 0x80) { ++i; continue; }
        if (c >= 0x81 && c <= 0xFE && i + 1 < gbk.size() && t.Dec[(c << 8) | (unsigned char)gbk[i + 1]]) {
            i += 2;
            continue;
        }
        if (c == 0x80 && t.Dec[c]) { ++i; continue; }
        return false;
    }
    return true;
}

TMbcsByteType ByteType(std::string_view gbk, int index)
{
    if (index < 1 || size_t(index) > gbk.size()) return mbSingleByte;
    size_t target = size_t(index) - 1;
    size_t i = 0;
    while (i < target) {
        if (IsGbkLeadByte(static_cast<unsigned char>(gbk[i]))) {
            if (i + 1 == target) return mbTrailByte;
            i += 2;
        } else {
            ++i;
        }
    }
    return IsGbkLeadByte(static_cast<unsigned char>(gbk[target])) ? mbLeadByte : mbSingleByte;
}

bool IsValidUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size())
        if (NextCodePoint(s, i) == kBad) return false;
    return true;
}

int GbkLength(std::string_view utf8)
{
    int n = 0;
    size_t i = 0;
    while (i < utf8.size()) {
        uint32_t cp = NextCodePoint(utf8, i);
        if (cp == kBad || cp < 0x80) { ++n; continue; }
        uint16_t code = GbkCode(cp);
        n += code ? GbkCodeLen(code) : 1;   // '?' in the 8-bit form
    }
    return n;
}

std::string GbkTruncate(std::string_view utf8, int maxBytes)
{
    return GbkCopy(utf8, 1, maxBytes);
}

std::string GbkCopy(std::string_view utf8, int index, int count)
{
    if (index < 1) index = 1;   // as Copy does with a low start
    if (count <= 0) return {};
    long long from = index - 1, to = from + (long long)count;   // byte window [from, to)
    long long pos = 0;
    std::string out;
    size_t i = 0;
    while (i < utf8.size() && pos < to) {
        size_t start = i;
        uint32_t cp = NextCodePoint(utf8, i);
        int len = 1;
        if (cp != kBad && cp >= 0x80) {
            uint16_t code = GbkCode(cp);
            len = code ? GbkCodeLen(code) : 1;
        }
        if (pos >= from && pos + len <= to) out.append(utf8.substr(start, i - start));
        pos += len;
    }
    return out;
}

// ---- UTF-16 -------------------------------------------------------------------

std::u16string Utf8ToUtf16(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        uint32_t cp = NextCodePoint(utf8, i);
        if (cp == kBad) cp = 0xFFFD;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size() * 3);
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

// ---- comparison -------------------------------------------------------------------

int CompareStr(std::string_view s1, std::string_view s2) { return CompareKeys(s1, s2, false); }
int CompareText(std::string_view s1, std::string_view s2) { return CompareKeys(s1, s2, true); }
bool SameStr(std::string_view s1, std::string_view s2) { return s1 == s2; }
bool SameText(std::string_view s1, std::string_view s2) { return CompareKeys(s1, s2, true) == 0; }
int AnsiCompareStr(std::string_view s1, std::string_view s2) { return Sign(CompareKeys(s1, s2, false)); }
int AnsiCompareText(std::string_view s1, std::string_view s2) { return Sign(CompareKeys(s1, s2, true)); }
bool AnsiSameStr(std::string_view s1, std::string_view s2) { return s1 == s2; }
bool AnsiSameText(std::string_view s1, std::string_view s2) { return CompareKeys(s1, s2, true) == 0; }

// ---- case -----------------------------------------------------------------------

std::string UpperCase(std::string_view s) { return AsciiMap(s, true); }
std::string LowerCase(std::string_view s) { return AsciiMap(s, false); }
std::string AnsiUpperCase(std::string_view s) { return MapCodePoints(s, ToUpperCp); }
std::string AnsiLowerCase(std::string_view s) { return MapCodePoints(s, ToLowerCp); }

// ---- trimming, replacing, quoting ----------------------------------------------------

std::string Trim(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return std::string(s.substr(b, e - b));
}

std::string TrimLeft(std::string_view s)
{
    size_t b = 0;
    while (b < s.size() && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s)
{
    size_t e = s.size();
    while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return std::string(s.substr(0, e));
}

std::string StringReplace(std::string_view s, std::string_view oldPattern,
                          std::string_view newPattern, TReplaceFlags flags)
{
    if (oldPattern.empty()) return std::string(s);
    bool all = flags.Contains(rfReplaceAll);
    // Case mapping keeps byte lengths, so positions found in the folded
    // copies are positions in the original.
    std::string hay, pat;
    std::string_view h = s, p = oldPattern;
    if (flags.Contains(rfIgnoreCase)) {
        hay = AnsiUpperCase(s);
        pat = AnsiUpperCase(oldPattern);
        h = hay;
        p = pat;
    }
    std::string out;
    size_t from = 0;
    while (from <= h.size()) {
        size_t at = h.find(p, from);
        // A match must start on a character boundary of the original.
        while (at != std::string_view::npos && at > 0 &&
               (static_cast<unsigned char>(s[at]) & 0xC0) == 0x80)
            at = h.find(p, at + 1);
        if (at == std::string_view::npos) break;
        out.append(s.substr(from, at - from));
        out.append(newPattern);
        from = at + p.size();
        if (!all) break;
    }
    if (from < s.size()) out.append(s.substr(from));
    return out;
}

std::string QuotedStr(std::string_view s) { return AnsiQuotedStr(s, '\''); }

std::string AnsiQuotedStr(std::string_view s, char quote)
{
    std::string r;
    r.reserve(s.size() + 2);
    r += quote;
    for (char c : s) {
        r += c;
        if (c == quote) r += quote;
    }
    r += quote;
    return r;
}

std::string AnsiExtractQuotedStr(std::string& src, char quote)
{
    if (src.empty() || src[0] != quote) return {};
    std::string r;
    size_t i = 1;
    while (i < src.size()) {
        if (src[i] == quote) {
            if (i + 1 < src.size() && src[i + 1] == quote) {
                r += quote;
                i += 2;
                continue;
            }
            ++i;   // the closing quote
            src.erase(0, i);
            return r;
        }
        r += src[i++];
    }
    src.clear();   // unterminated: everything was taken
    return r;
}

std::string AnsiDequotedStr(std::string_view s, char quote)
{
    // A text that starts with the quote gives what the quotes enclose (an
    // unterminated one runs to the end); any other text stays as it is.
    if (s.empty() || s.front() != quote) return std::string(s);
    std::string rest(s);
    return AnsiExtractQuotedStr(rest, quote);
}

std::string DequotedStr(std::string_view s, char quote) { return AnsiDequotedStr(s, quote); }

// ---- character-counted string routines ---------------------------------------------------

int Length(std::string_view s)
{
    int n = 0;
    size_t i = 0;
    while (i < s.size()) { NextCodePoint(s, i); ++n; }
    return n;
}

size_t Utf8Offset(std::string_view s, int index)
{
    size_t i = 0;
    for (int k = 1; k < index && i < s.size(); ++k) i += CharLen(s, i);
    return i;
}

namespace {
// Character index (1-based) of byte offset off.
int CharIndexAt(std::string_view s, size_t off)
{
    int n = 1;
    size_t i = 0;
    while (i < off && i < s.size()) { i += CharLen(s, i); ++n; }
    return n;
}
} // namespace

int PosEx(std::string_view sub, std::string_view s, int offset)
{
    if (sub.empty() || offset < 1) return 0;
    size_t from = Utf8Offset(s, offset);
    if (offset > 1 && from >= s.size()) return 0;
    size_t at = s.find(sub, from);
    while (at != std::string_view::npos && at > 0 && (static_cast<unsigned char>(s[at]) & 0xC0) == 0x80)
        at = s.find(sub, at + 1);
    return at == std::string_view::npos ? 0 : CharIndexAt(s, at);
}

int Pos(std::string_view sub, std::string_view s) { return PosEx(sub, s, 1); }
int AnsiPos(std::string_view sub, std::string_view s) { return PosEx(sub, s, 1); }

std::string Copy(std::string_view s, int index, int count)
{
    if (index < 1) index = 1;   // the class library starts at the first character
    if (count <= 0) return {};
    size_t b = Utf8Offset(s, index);
    size_t e = b;
    for (int k = 0; k < count && e < s.size(); ++k) e += CharLen(s, e);
    return std::string(s.substr(b, e - b));
}

void Delete(std::string& s, int index, int count)
{
    if (index < 1 || count <= 0) return;
    size_t b = Utf8Offset(s, index);
    if (b >= s.size()) return;
    size_t e = b;
    for (int k = 0; k < count && e < s.size(); ++k) e += CharLen(s, e);
    s.erase(b, e - b);
}

void Insert(std::string_view source, std::string& s, int index)
{
    if (index < 1) index = 1;
    s.insert(Utf8Offset(s, index), source);
}

std::string StringOfChar(char ch, int count) { return count > 0 ? std::string(count, ch) : std::string(); }

std::string DupeString(std::string_view s, int count)
{
    std::string r;
    if (count <= 0) return r;
    r.reserve(s.size() * count);
    for (int i = 0; i < count; ++i) r.append(s);
    return r;
}

std::string ReverseString(std::string_view s)
{
    std::vector<std::string_view> chars;
    size_t i = 0;
    while (i < s.size()) {
        size_t n = CharLen(s, i);
        chars.push_back(s.substr(i, n));
        i += n;
    }
    std::string r;
    r.reserve(s.size());
    for (size_t k = chars.size(); k-- > 0;) r.append(chars[k]);
    return r;
}

std::string LeftStr(std::string_view s, int count) { return Copy(s, 1, count); }

std::string RightStr(std::string_view s, int count)
{
    int len = Length(s);
    if (count >= len) return std::string(s);
    return Copy(s, len - count + 1, count);
}

std::string MidStr(std::string_view s, int start, int count) { return Copy(s, start, count); }

bool StartsStr(std::string_view sub, std::string_view s) { return s.substr(0, sub.size()) == sub; }
bool EndsStr(std::string_view sub, std::string_view s)
{
    return s.size() >= sub.size() && s.substr(s.size() - sub.size()) == sub;
}
// An empty text is contained nowhere, as the class library has it.
bool ContainsStr(std::string_view s, std::string_view sub) { return Pos(sub, s) > 0; }
bool AnsiStartsStr(std::string_view sub, std::string_view s) { return StartsStr(sub, s); }
bool AnsiEndsStr(std::string_view sub, std::string_view s) { return EndsStr(sub, s); }
bool StartsText(std::string_view sub, std::string_view s)
{
    return s.size() >= sub.size() && SameText(s.substr(0, sub.size()), sub);
}
bool EndsText(std::string_view sub, std::string_view s)
{
    return s.size() >= sub.size() && SameText(s.substr(s.size() - sub.size()), sub);
}
bool AnsiStartsText(std::string_view sub, std::string_view s) { return StartsText(sub, s); }
bool AnsiEndsText(std::string_view sub, std::string_view s) { return EndsText(sub, s); }
bool ContainsText(std::string_view s, std::string_view sub)
{
    return Pos(AnsiUpperCase(sub), AnsiUpperCase(s)) > 0;
}
bool AnsiContainsText(std::string_view s, std::string_view sub) { return ContainsText(s, sub); }

bool IsValidIdent(std::string_view s, bool allowDots)
{
    auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    // As the class library has it: dots, when allowed, may stand anywhere
    // after the first character.
    if (s.empty() || !alpha(s[0])) return false;
    for (size_t i = 1; i < s.size(); ++i)
        if (!alpha(s[i]) && !digit(s[i]) && !(allowDots && s[i] == '.')) return false;
    return true;
}

std::string AdjustLineBreaks(std::string_view s, TTextLineBreakStyle style)
{
    const char* eol = style == tlbsCRLF ? "\r\n" : style == tlbsLF ? "\n" : "\r";
    std::string r;
    r.reserve(s.size() + s.size() / 16);
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
            r += eol;
        } else if (s[i] == '\n') {
            r += eol;
        } else {
            r += s[i];
        }
    }
    return r;
}

// ---- file paths -------------------------------------------------------------------

std::string SetDirSeparators(std::string_view fileName) { return Normalize(fileName); }

bool IsPathDelimiter(std::string_view s, int index)
{
    return index >= 1 && size_t(index) <= s.size() && IsDelim(s[index - 1]);
}

std::string ExtractFilePath(std::string_view fileName)
{
    size_t d = LastDelim(fileName);
    return d == std::string_view::npos ? std::string() : std::string(fileName.substr(0, d + 1));
}

std::string ExtractFileDir(std::string_view fileName)
{
    size_t d = LastDelim(fileName);
    if (d == std::string_view::npos) return {};
    if (d == 0) return std::string(fileName.substr(0, 1));   // the root stays the root
    return std::string(fileName.substr(0, d));
}

std::string ExtractFileName(std::string_view fileName)
{
    size_t d = LastDelim(fileName);
    return std::string(d == std::string_view::npos ? fileName : fileName.substr(d + 1));
}

std::string ExtractFileExt(std::string_view fileName)
{
    for (size_t i = fileName.size(); i-- > 0;) {
        if (IsDelim(fileName[i])) break;
        if (fileName[i] == '.') return std::string(fileName.substr(i));
    }
    return {};
}

std::string ExtractFileDrive(std::string_view) { return {}; }

std::string ChangeFileExt(std::string_view fileName, std::string_view ext)
{
    size_t cut = fileName.size();
    for (size_t i = fileName.size(); i-- > 0;) {
        if (IsDelim(fileName[i])) break;
        if (fileName[i] == '.') { cut = i; break; }
    }
    std::string r(fileName.substr(0, cut));
    r.append(ext);
    return r;
}

std::string IncludeTrailingPathDelimiter(std::string_view s)
{
    std::string r(s);
    if (r.empty() || !IsDelim(r.back())) r += PathDelim;
    return r;
}

std::string ExcludeTrailingPathDelimiter(std::string_view s)
{
    std::string r(s);
    if (!r.empty() && IsDelim(r.back())) r.pop_back();
    return r;
}

std::string ExpandFileName(std::string_view fileName)
{
    std::string name = Normalize(fileName);
    if (name.empty()) return name;
    if (name[0] != '/') name = IncludeTrailingPathDelimiter(GetCurrentDir()) + name;
    bool trailing = name.size() > 1 && name.back() == '/';
    std::vector<std::string> parts;
    size_t i = 0;
    while (i <= name.size()) {
        size_t j = name.find('/', i);
        if (j == std::string::npos) j = name.size();
        std::string part = name.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    std::string r;
    for (const auto& p : parts) r += "/" + p;
    if (r.empty()) return "/";
    if (trailing) r += '/';
    return r;
}

bool FileExists(std::string_view fileName)
{
    struct stat st;
    return !fileName.empty() && stat(Normalize(fileName).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(std::string_view dir)
{
    struct stat st;
    return !dir.empty() && stat(Normalize(dir).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(std::string_view dir)
{
    return !dir.empty() && mkdir(Normalize(dir).c_str(), 0777) == 0;
}

bool ForceDirectories(std::string_view dir)
{
    std::string d = ExcludeTrailingPathDelimiter(Normalize(dir));
    if (d.empty()) return false;
    if (DirectoryExists(d)) return true;
    std::string parent = ExtractFileDir(d);
    if (!parent.empty() && parent != d && !ForceDirectories(parent)) return false;
    return mkdir(d.c_str(), 0777) == 0 || (errno == EEXIST && DirectoryExists(d));
}

bool RemoveDir(std::string_view dir) { return !dir.empty() && rmdir(Normalize(dir).c_str()) == 0; }

bool DeleteFile(std::string_view fileName)
{
    return FileExists(fileName) && unlink(Normalize(fileName).c_str()) == 0;
}

bool RenameFile(std::string_view oldName, std::string_view newName)
{
    // Renaming onto an existing file fails, as on the platform the program
    // was made for, so that nothing is overwritten by accident.
    std::string o = Normalize(oldName), n = Normalize(newName);
    if (o.empty() || n.empty()) return false;
    struct stat st;
    if (lstat(n.c_str(), &st) == 0) return false;
    return rename(o.c_str(), n.c_str()) == 0;
}

bool CopyFile(std::string_view existingName, std::string_view newName, bool failIfExists)
{
    std::string src = Normalize(existingName), dst = Normalize(newName);
    if (!FileExists(src) || dst.empty()) return false;
    if (failIfExists && (FileExists(dst) || DirectoryExists(dst))) return false;
    // The target is whole or untouched.
    try {
        TFileStream in(src, fmOpenRead);
        SaveFileWhole(dst, [&](TStream* out) { out->CopyFrom(&in, 0); });
    } catch (const Exception&) {
        return false;
    }
    return true;
}

int64_t FileSize(std::string_view fileName)
{
    struct stat st;
    if (fileName.empty() || stat(Normalize(fileName).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
    return st.st_size;
}

std::string GetCurrentDir()
{
    std::vector<char> buf(4096);
    while (!getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE) return {};
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

bool SetCurrentDir(std::string_view dir) { return !dir.empty() && chdir(Normalize(dir).c_str()) == 0; }

// ---- environment -------------------------------------------------------------------

std::string GetEnvironmentVariable(std::string_view name)
{
    const char* v = getenv(std::string(name).c_str());
    return v ? std::string(v) : std::string();
}

std::string ApplicationExeName()
{
    std::vector<char> buf(4096);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return {};
        if (size_t(n) < buf.size()) return std::string(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

std::string ApplicationDir() { return ExtractFilePath(ApplicationExeName()); }

namespace {
// The system keeps the arguments NUL-separated in /proc/self/cmdline, so no
// start-up code has to hand them over; an empty argument stays one.
const std::vector<std::string>& CommandLine()
{
    static const std::vector<std::string> args = [] {
        std::vector<std::string> r;
        FILE* f = std::fopen("/proc/self/cmdline", "rb");
        if (!f) return r;
        std::string all;
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) all.append(buf, n);
        std::fclose(f);
        size_t start = 0;
        while (start < all.size()) {
            size_t end = all.find('\0', start);
            if (end == std::string::npos) end = all.size();
            r.push_back(all.substr(start, end - start));
            start = end + 1;
        }
        return r;
    }();
    return args;
}
}   // namespace

int ParamCount()
{
    const auto& args = CommandLine();
    return args.empty() ? 0 : int(args.size()) - 1;
}

std::string ParamStr(int index)
{
    if (index == 0) return ApplicationExeName();
    const auto& args = CommandLine();
    if (index < 0 || size_t(index) >= args.size()) return {};
    return args[size_t(index)];
}

std::string UserConfigDir()
{
    std::string base = GetEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.empty() || base[0] != '/') {   // relative values are to be ignored
        std::string home = GetEnvironmentVariable("HOME");
        if (home.empty()) {
            if (const passwd* pw = getpwuid(getuid())) home = pw->pw_dir ? pw->pw_dir : "";
        }
        if (home.empty()) home = GetTempDir();
        base = IncludeTrailingPathDelimiter(home) + ".config";
    }
    return IncludeTrailingPathDelimiter(base) + "pemtal/";
}

std::string GetTempDir()
{
    std::string t = GetEnvironmentVariable("TMPDIR");
    if (t.empty()) t = "/tmp";
    return IncludeTrailingPathDelimiter(t);
}
