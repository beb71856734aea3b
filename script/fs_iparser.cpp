#include "fs_iparser.h"

#include "fs_common.h"

#include <algorithm>
#include <cctype>

using namespace fs_common;

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c)
{
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
}  // namespace

TfsParser::TfsParser()
{
    Reset();
    SetText("");
}

void TfsParser::Reset()
{
    FKeywords.clear();
    CommentLine1 = "//";
    SetCommentBlock1("{,}");
    SetCommentBlock2("(*,*)");
    HexSequence = "$";
    SetIdentifierCharset("_0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    StringQuotes = "'";
    SkipEOL = true;
    SkipChar.clear();
    SkipSpace = true;
}

void TfsParser::SetCommentBlock1(const std::string& s)
{
    size_t c = s.find(',');
    CommentBlock1Open = c == std::string::npos ? s : s.substr(0, c);
    CommentBlock1Close = c == std::string::npos ? std::string() : s.substr(c + 1);
}

void TfsParser::SetCommentBlock2(const std::string& s)
{
    size_t c = s.find(',');
    CommentBlock2Open = c == std::string::npos ? s : s.substr(0, c);
    CommentBlock2Close = c == std::string::npos ? std::string() : s.substr(c + 1);
}

void TfsParser::SetIdentifierCharset(const std::string& chars)
{
    FIdentChars.reset();
    for (char c : chars) FIdentChars.set((unsigned char)c);
}

void TfsParser::AddKeyword(const std::string& word)
{
    std::string w = Upper(word);
    auto it = std::lower_bound(FKeywords.begin(), FKeywords.end(), w);
    if (it == FKeywords.end() || *it != w) FKeywords.insert(it, w);
}

bool TfsParser::IsKeyword(const std::string& s) const
{
    return std::binary_search(FKeywords.begin(), FKeywords.end(), Upper(s));
}

void TfsParser::SetText(const std::string& text)
{
    FSource = text;
    FText = text;
    FText += '\0';
    FPosition = FTokenStart = 1;
    FLineStarts.assign(1, 0);
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') FLineStarts.push_back(int(i + 1));
}

bool TfsParser::StartsAt(int pos, const std::string& s) const
{
    if (s.empty() || pos < 1 || size_t(pos - 1) + s.size() > FSource.size()) return false;
    return FSource.compare(size_t(pos - 1), s.size(), s) == 0;
}

// A marker made of letters (BasicScript's "rem") is a comment only as a whole
// word and in any case; punctuation markers match exactly.
bool TfsParser::LineCommentAt(int pos, const std::string& marker) const
{
    if (marker.empty()) return false;
    if (!IsIdentChar(marker[0])) return StartsAt(pos, marker);
    if (size_t(pos - 1) + marker.size() > FSource.size()) return false;
    if (!SameName(std::string_view(FSource).substr(size_t(pos - 1), marker.size()), marker)) return false;
    if (pos > 1 && IsIdentChar(At(pos - 1))) return false;
    return !IsIdentChar(At(pos + int(marker.size())));
}

void TfsParser::SkipSpaces()
{
    int size = Size();
    for (;;) {
        int start = FPosition;
        while (FPosition <= size) {
            unsigned char c = (unsigned char)At(FPosition);
            if (c > 32) break;
            // Significant line ends stop the blanks, whether CR LF, LF or CR.
            if (!SkipEOL && (c == '\r' || c == '\n')) break;
            ++FPosition;
        }
        if (!SkipChar.empty() && FPosition <= size && At(FPosition) == SkipChar[0]) {
            // A continuation character joins the next line only when nothing
            // but blanks follows it on its line.
            int p = FPosition + 1;
            while (p <= size && (At(p) == ' ' || At(p) == '\t')) ++p;
            if (p > size || At(p) == '\r' || At(p) == '\n') {
                FPosition = p;
                if (p <= size && At(p) == '\r') ++FPosition;
                if (FPosition <= size && At(FPosition) == '\n') ++FPosition;
                continue;
            }
        }
        if (FPosition <= size) {
            if (LineCommentAt(FPosition, CommentLine1) || LineCommentAt(FPosition, CommentLine2)) {
                while (FPosition <= size && At(FPosition) != '\r' && At(FPosition) != '\n') ++FPosition;
                continue;
            }
            const std::string* close = nullptr;
            if (StartsAt(FPosition, CommentBlock1Open)) {
                FPosition += int(CommentBlock1Open.size());
                close = &CommentBlock1Close;
            } else if (StartsAt(FPosition, CommentBlock2Open)) {
                FPosition += int(CommentBlock2Open.size());
                close = &CommentBlock2Close;
            }
            if (close) {
                while (FPosition <= size && !StartsAt(FPosition, *close)) ++FPosition;
                if (FPosition <= size) FPosition += int(close->size());
                continue;
            }
        }
        if (FPosition == start) break;
    }
    FTokenStart = FPosition;
}

bool TfsParser::GetEOL()
{
    SkipSpaces();
    int size = Size();
    if (FPosition > size) return !SkipEOL;   // the end of the text ends the last line
    char c = At(FPosition);
    if (c != '\r' && c != '\n') return false;
    while (FPosition <= size && (At(FPosition) == '\r' || At(FPosition) == '\n')) ++FPosition;
    return true;
}

std::string TfsParser::ReadWord()
{
    if (SkipSpace) SkipSpaces();
    int start = FPosition;
    char c = At(FPosition);
    if (!IsIdentChar(c) || IsDigit(c) || c == '\0') return std::string();
    while (IsIdentChar(At(FPosition)) && At(FPosition) != '\0') ++FPosition;
    return FSource.substr(size_t(start - 1), size_t(FPosition - start));
}

std::string TfsParser::GetWord() { return ReadWord(); }

std::string TfsParser::GetIdent()
{
    std::string w = ReadWord();
    if (!w.empty() && IsKeyword(w)) return std::string();
    return w;
}

std::string TfsParser::GetChar()
{
    unsigned char c = (unsigned char)At(FPosition);
    if ((c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 96) || (c >= 123 && c <= 126)) {
        ++FPosition;
        return std::string(1, char(c));
    }
    return std::string();
}

bool TfsParser::ReadIntegerPart()
{
    int start = FPosition;
    if (StartsAt(FPosition, HexSequence) && IsHexDigit(At(FPosition + int(HexSequence.size())))) {
        FPosition += int(HexSequence.size());
        while (IsHexDigit(At(FPosition))) ++FPosition;
        return true;
    }
    while (IsDigit(At(FPosition))) ++FPosition;
    return FPosition > start;
}

std::string TfsParser::GetNumber()
{
    if (SkipSpace) SkipSpaces();
    int start = FPosition;
    if (!ReadIntegerPart()) {
        FPosition = start;
        return std::string();
    }
    if (At(FPosition) == '.' && IsDigit(At(FPosition + 1))) {
        FPosition += 1;
        while (IsDigit(At(FPosition))) ++FPosition;
    }
    if (At(FPosition) == 'E' || At(FPosition) == 'e') {
        int p = FPosition + 1;
        if (At(p) == '+' || At(p) == '-') ++p;
        if (IsDigit(At(p))) {
            while (IsDigit(At(p))) ++p;
            FPosition = p;
        }
    }
    std::string r = FSource.substr(size_t(start - 1), size_t(FPosition - start));
    if (HexSequence != "$" && !HexSequence.empty()) {
        size_t p = 0;
        while ((p = r.find(HexSequence, p)) != std::string::npos) {
            r.replace(p, HexSequence.size(), "$");
            p += 1;
        }
    }
    return r;
}

std::string TfsParser::GetString()
{
    if (SkipSpace) SkipSpaces();
    const char quote = StringQuotes.empty() ? '\'' : StringQuotes[0];
    const bool escapes = quote == '"';
    std::string value;
    bool any = false;
    for (;;) {
        int start = FPosition;
        if (At(FPosition) == quote) {
            std::string piece;
            int p = FPosition + 1;
            bool ok = false;
            for (;;) {
                unsigned char c = (unsigned char)At(p);
                if (p > Size() || (c < 32 && c != '\t')) break;
                if (c == (unsigned char)quote) {
                    if (!escapes && At(p + 1) == quote) {
                        piece += quote;
                        p += 2;
                        continue;
                    }
                    ok = true;
                    ++p;
                    break;
                }
                if (escapes && c == '\\') {
                    char e = At(p + 1);
                    if (p + 1 > Size()) break;
                    if (e == 'n' || e == 'N') {
                        piece += '\n';
                        p += 2;
                    } else if (e == 'r' || e == 'R') {
                        piece += '\r';
                        p += 2;
                    } else if (e == 'x' || e == 'X') {
                        p += 2;
                        uint32_t code = 0;
                        bool digits = false;
                        while (IsHexDigit(At(p))) {
                            char h = At(p++);
                            int v = IsDigit(h) ? h - '0' : (UpChar(h) - 'A' + 10);
                            if (code < 0x1000000) code = code * 16 + uint32_t(v);
                            digits = true;
                        }
                        if (digits) AppendCodePoint(piece, code);
                    } else {
                        if ((unsigned char)e < 32 && e != '\t') break;
                        piece += e;
                        p += 2;
                    }
                    continue;
                }
                piece += char(c);
                ++p;
            }
            if (!ok) {
                FPosition = start;
                break;
            }
            value += piece;
            FPosition = p;
            any = true;
        } else if (At(FPosition) == '#') {
            FPosition++;
            int numStart = FPosition;
            if (!ReadIntegerPart()) {
                FPosition = start;
                break;
            }
            std::string num = FSource.substr(size_t(numStart - 1), size_t(FPosition - numStart));
            uint32_t code = 0;
            if (StartsAt(numStart, HexSequence) && num.size() > HexSequence.size()) {
                for (size_t i = HexSequence.size(); i < num.size(); ++i) {
                    char h = num[i];
                    if (code < 0x1000000) code = code * 16 + uint32_t(IsDigit(h) ? h - '0' : UpChar(h) - 'A' + 10);
                }
            } else {
                for (char d : num)
                    if (code < 0x1000000) code = code * 10 + uint32_t(d - '0');
            }
            AppendCodePoint(value, code);
            any = true;
        } else {
            break;
        }
    }
    if (!any) return std::string();
    return "'" + value + "'";
}

std::string TfsParser::GetAngleText()
{
    int start = FPosition;
    int depth = 1;
    bool inDouble = false, inSingle = false;
    int p = FPosition;
    int size = Size();
    while (p <= size) {
        char c = At(p);
        if (c == '\r' || c == '\n') {
            FPosition = start;
            return std::string();
        }
        if (c == '"' && !inSingle) inDouble = !inDouble;
        else if (c == '\'' && !inDouble) inSingle = !inSingle;
        else if (!inDouble && !inSingle) {
            if (c == '<') ++depth;
            else if (c == '>' && --depth == 0) break;
        }
        ++p;
    }
    FPosition = p;
    return FSource.substr(size_t(start - 1), size_t(p - start));
}

std::string TfsParser::GetLineColumn(int position) const
{
    // Lines whose start lies before the position; a line feed thus belongs
    // to the line it ends.
    auto it = std::lower_bound(FLineStarts.begin(), FLineStarts.end(), position);
    int line = int(it - FLineStarts.begin());
    if (line < 1) line = 1;
    int column = position - FLineStarts[size_t(line - 1)];
    return std::to_string(line) + ":" + std::to_string(column);
}

int TfsParser::LineColumnToPosition(int column, int line) const
{
    if (line < 1 || line > int(FLineStarts.size())) return -1;
    return FLineStarts[size_t(line - 1)] + column;
}
