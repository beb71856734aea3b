// Event handlers in a report's script: the per-language templates and event
// parameter lists (texts of the report library's text table), listing the
// procedures that fit an event, finding one, writing an empty one before
// the script's main block, and the empty script of a language.
#pragma once

#include <string>

class TStrings;
class TfsParser;

namespace frxCodeUtils {
// Adds the eleven template texts to the text table.
void Initialize();

// One attribute (proc, begin, end, lastend) of a language's template; empty
// when the language has no template or the attribute is absent.
std::string GetLanguageAttribute(const std::string& language, const std::string& name);
// The parameter list of an event type (by its type name) in a language.
std::string GetEventParams(const std::string& eventType, const std::string& language);
// The names of the script's procedures whose parameter list fits the event.
void GetEventHandlers(TStrings* code, const std::string& language, const std::string& eventType,
                      TStrings* list);
// The 0-based line that starts the handler name, or -1.
int FindHandler(TStrings* code, const std::string& language, const std::string& name);
// The 0-based line before which new handlers go (the line of the main
// block's begin), or -1 when the script has no main block. Words are read
// as the language's tokens, so comments, strings and words that only
// contain "begin" or "end" do not count.
int FindMainBlockLine(TStrings* code, const std::string& language);
// Writes an empty handler before the main block and returns the 1-based
// number of its empty body line; raises the "dsCantFindProc" text when the
// script has no main block (the script is left unchanged).
int InsertHandler(TStrings* code, const std::string& language, const std::string& eventType,
                  const std::string& name);
// The empty main block of the language (nothing for a language without one).
void GetEmptyScript(TStrings* list, const std::string& language);
// Gives the tokenizer the keywords and lexical settings that the language's
// grammar names (the others stay); false when no such language is registered.
bool ApplyGrammar(TfsParser& parser, const std::string& language);
}  // namespace frxCodeUtils
