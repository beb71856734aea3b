// Shared tools of the interpreter: the language registry, the compiler's
// error texts, type compatibility, the reader of routine declarations,
// constant texts, source positions and the contents tree of a script.
#pragma once

#include "SysUtils.h"
#include "fs_iinterpreter.h"

#include <string>
#include <vector>

class TfsXMLItem;

namespace fs_itools {

// ---- language registry (names compare case-insensitively; the first
// registration of a name wins)
void RegisterLanguage(const std::string& name, const std::string& grammar);
// Raises "Language '%s' not found".
std::string GetLanguageGrammar(const std::string& name);
void GetLanguageNames(TStrings* list);
std::vector<std::string> LanguageNames();

// ---- error texts
inline constexpr const char* SLangNotFound = "Language '%s' not found";
inline constexpr const char* SInvalidLanguage = "Invalid language definition";
inline constexpr const char* SIdRedeclared = "Identifier redeclared: ";
inline constexpr const char* SUnknownType = "Unknown type: ";
inline constexpr const char* SIncompatibleTypes = "Incompatible types";
inline constexpr const char* SIdUndeclared = "Undeclared identifier: ";
inline constexpr const char* SClassRequired = "Class type required";
inline constexpr const char* SIndexRequired = "Index required";
inline constexpr const char* SStringError = "Strings doesn't have properties or methods";
inline constexpr const char* SClassError = "Class %s does not have a default property";
inline constexpr const char* SArrayRequired = "Array type required";
inline constexpr const char* SVarRequired = "Variable required";
inline constexpr const char* SNotEnoughParams = "Not enough actual parameters";
inline constexpr const char* STooManyParams = "Too many actual parameters";
inline constexpr const char* SLeftCantAssigned = "Left side cannot be assigned to";
inline constexpr const char* SForError = "For loop variable must be numeric variable";
inline constexpr const char* SEventError = "Event handler must be a procedure";
// Texts of this system's own checks.
inline constexpr const char* SBreakOutsideLoop = "BREAK or CONTINUE outside of a loop";
inline constexpr const char* STooManyDims = "Too many array dimensions";
inline constexpr const char* SNilObject = "Object reference is nil: ";
inline constexpr const char* SInvalidObject = "Invalid object reference: ";
inline constexpr const char* SIndexOutOfBounds = "Index out of bounds (%d)";
inline constexpr const char* SRecursionTooDeep = "Recursion too deep (in %s)";
inline constexpr const char* SExpressionExpected = "Expression expected";
inline constexpr const char* STooComplex = "Program too complex";

// ---- types
struct TfsTypeRec {
    TfsScriptType Kind;
    std::string TypeName;
};
TfsScriptType TypeKindOfName(const std::string& typeName, const TfsScript* script);
bool TypesCompatible(const TfsTypeRec& target, const TfsTypeRec& source, const TfsScript* script);
bool AssignCompatible(const TfsCustomVariable* variable, const TfsCustomVariable* expression,
                      const TfsScript* script);

// ---- declarations
// Reads "function Name(a, b: T; var c: T = 1): T" into item: its Name,
// IsMacro, Kind and TypeName (the result type) and its parameters.
// Returns true for a function.
bool ParseDeclaration(const std::string& text, const TfsScript* script, TfsCustomVariable* item);

// ---- values
// 'text' gives the string; a whole 64-bit integer (decimal or $hex) an
// integer (32-bit when it fits); anything else a float read with a point.
// Empty text gives Null.
Variant ConstTextToVariant(const std::string& text);
// Between the platform's argument records and variants (event arguments,
// Format). Every integer type gives an integer record (64-bit when needed)
// and strings pass whole; an array or other type raises EConvertError.
Variant VarRecToVariant(const TVarRec& rec);
std::vector<TVarRec> VariantToVarRecs(const Variant& array);

struct TfsPoint {
    int X = 0, Y = 0;
};
TfsPoint SourcePosToPoint(const std::string& pos);

// ---- contents tree for the designer
void WriteContentsXML(const TfsScript* script, TfsXMLItem* item, bool functionsOnly);

// Replaces the first %s or %d of fmt.
std::string FormatMsg(const std::string& fmt, const std::string& arg);

}  // namespace fs_itools
