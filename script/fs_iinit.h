// Start-up and shutdown of the interpreter, in the order its units depend
// on each other: the grammars, the global script, the built-in routines,
// the class bindings, the dialog routines.
#pragma once

namespace fs_iinit {
void InitializeScriptEngine();   // idempotent
void FinalizeScriptEngine();     // removes the bindings and frees the global script
}
