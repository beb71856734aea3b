// The LIKE pattern matcher: works on the bytes of the GBK form, so an
// underscore stands for one byte and a Chinese character needs two.
#pragma once

#include <string>

namespace cxLike {

bool MatchPattern(const char* text, int textLength, const char* pattern, char escape,
                  char underscore, char percent, int patternLength);
// Matches the whole text against the whole pattern, no escape character.
bool LikeMatch(const std::string& text, const std::string& pattern, char percent, char underscore);
// Collapses doubled wildcards, then strips one leading and one trailing
// wildcard: 3 both, 2 leading only, 1 trailing only, 0 neither.
int TrimLikeWildcards(std::string& pattern, char wildcard);
void CollapseWildcardPairs(std::string& pattern, char wildcard);

}  // namespace cxLike
