// The resource-string lookup every user-visible text of the controls goes
// through. A process-wide replacement table may hold a text per identifier;
// when it does, that text wins over the built-in one.
//
// It lives with the platform, under the name of the control foundation's
// class unit (cxClasses.h includes it), because the foundation and the data
// controller both stand on the platform alone and both look texts up here.
#pragma once

#include <string>

// A resource string: a stable name (the identifier) and its built-in text.
struct TcxResourceStringRec {
    const char* Name;
    const char* Text;
};
using TcxResourceStringID = const TcxResourceStringRec*;

namespace cxClasses {

// The text of a resource string: the replacement table's entry when it holds
// one, else the built-in text. A null identifier gives the empty text.
std::string GetResourceString(TcxResourceStringID ident);

// Puts a replacement text for an identifier into the process-wide table.
void SetResourceString(TcxResourceStringID ident, const std::string& text);
// Removes one replacement, or (with a null identifier) frees the whole table.
void ResetResourceString(TcxResourceStringID ident = nullptr);

}  // namespace cxClasses
