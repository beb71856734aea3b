// The "PascalScript" grammar: the language is this grammar document, interpreted
// by the grammar walker.
#pragma once

namespace fs_ipascal {
// Registers the grammar under its name (once).
void Initialize();
extern const char* const GrammarText;
}
