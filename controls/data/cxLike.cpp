#include "cxLike.h"

#include "TextUtils.h"

namespace cxLike {

bool MatchPattern(const char* text, int textLength, const char* pattern, char escape,
                  char underscore, char percent, int patternLength)
{
    bool escaped = false;
    int t = 0, p = 0;
    for (;;) {
        if (p >= patternLength) return t >= textLength;
        char c = pattern[p++];
        if (escape != 0 && !escaped && c == escape) {
            escaped = true;
            continue;
        }
        if (!escaped && c == percent) {
            if (p >= patternLength) return true;
            while (t < textLength) {
                if (MatchPattern(text + t, textLength - t, pattern + p, escape, underscore, percent,
                                 patternLength - p))
                    return true;
                ++t;
            }
            return false;
        }
        if (t >= textLength) return false;
        if (escaped || c != underscore) {
            if (c != text[t]) return false;
        }
        escaped = false;
        ++t;
    }
}

namespace {
bool IsAscii(const std::string& s)
{
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}
}

bool LikeMatch(const std::string& text, const std::string& pattern, char percent, char underscore)
{
    // ASCII text is its own GBK form; anything else is matched on its GBK bytes.
    if (IsAscii(text) && IsAscii(pattern))
        return MatchPattern(text.data(), int(text.size()), pattern.data(), 0, underscore, percent,
                            int(pattern.size()));
    std::string t = Utf8ToGbk(text), p = Utf8ToGbk(pattern);
    return MatchPattern(t.data(), int(t.size()), p.data(), 0, underscore, percent, int(p.size()));
}

void CollapseWildcardPairs(std::string& pattern, char wildcard)
{
    const std::string pair(2, wildcard);
    size_t pos;
    while ((pos = pattern.find(pair)) != std::string::npos) pattern.erase(pos, 1);
}

int TrimLikeWildcards(std::string& pattern, char wildcard)
{
    CollapseWildcardPairs(pattern, wildcard);
    if (pattern.size() < 2) return 0;
    bool begins = pattern.front() == wildcard, ends = pattern.back() == wildcard;
    if (ends) pattern.pop_back();
    if (begins) pattern.erase(0, 1);
    return begins && ends ? 3 : begins ? 2 : ends ? 1 : 0;
}

}  // namespace cxLike
