#include "fs_itools.h"

#include "Exceptions.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "fs_common.h"
#include "fs_iparser.h"
#include "fs_xml.h"

#include <cerrno>
#include <cstdlib>

using namespace fs_common;

namespace fs_itools {

namespace {
struct LangEntry {
    std::string Name, Grammar;
};
std::vector<LangEntry>& Languages()
{
    static std::vector<LangEntry> list;
    return list;
}
}  // namespace

std::string FormatMsg(const std::string& fmt, const std::string& arg)
{
    size_t p = fmt.find("%s");
    if (p == std::string::npos) p = fmt.find("%d");
    if (p == std::string::npos) return fmt;
    return fmt.substr(0, p) + arg + fmt.substr(p + 2);
}

void RegisterLanguage(const std::string& name, const std::string& grammar)
{
    for (auto& l : Languages())
        if (SameName(l.Name, name)) return;
    Languages().push_back({name, grammar});
}

std::string GetLanguageGrammar(const std::string& name)
{
    for (auto& l : Languages())
        if (SameName(l.Name, name)) return l.Grammar;
    throw Exception(FormatMsg(SLangNotFound, name));
}

void GetLanguageNames(TStrings* list)
{
    list->Clear();
    for (auto& l : Languages()) list->Add(l.Name);
}

std::vector<std::string> LanguageNames()
{
    std::vector<std::string> r;
    for (auto& l : Languages()) r.push_back(l.Name);
    return r;
}

// ---- types ------------------------------------------------------------------------

TfsScriptType TypeKindOfName(const std::string& typeName, const TfsScript* script)
{
    if (typeName.empty() || !script) return stClass;
    TfsCustomVariable* item = script->Find(typeName);
    return item ? item->Kind : stClass;
}

bool TypesCompatible(const TfsTypeRec& target, const TfsTypeRec& source, const TfsScript* script)
{
    const TfsScriptType s = source.Kind;
    switch (target.Kind) {
    case stInteger:
        return s == stInteger || s == stFloat || s == stVariant || s == stEnum;
    case stBoolean:
        return s == stBoolean || s == stVariant;
    case stFloat:
        return s == stInteger || s == stFloat || s == stVariant;
    case stChar:
    case stString:
        return s == stChar || s == stString || s == stVariant;
    case stClass: {
        if (s == stVariant) return true;
        if (s != stClass) return false;
        // Classes known to scripts, or to the program's class registry (a
        // descendant that scripts reach through a registered ancestor).
        auto resolve = [script](const std::string& name) -> TClass {
            if (TfsClassVariable* cv = script ? script->FindClass(name) : nullptr) return cv->HostClass;
            return GetClass(name);
        };
        TClass t = resolve(target.TypeName), c = resolve(source.TypeName);
        return t && c && c->InheritsFrom(t);
    }
    case stArray:
        return s == stArray || s == stVariant;
    case stVariant:
        return true;
    case stEnum:
        return s == stInteger || s == stVariant ||
               (s == stEnum && SameName(target.TypeName.substr(0, 32), source.TypeName.substr(0, 32)));
    case stConstructor:
        return false;
    }
    return false;
}

bool AssignCompatible(const TfsCustomVariable* variable, const TfsCustomVariable* expression,
                      const TfsScript* script)
{
    TfsTypeRec t{variable->Kind, variable->TypeName};
    TfsTypeRec s{expression->Kind, expression->TypeName};
    if (t.Kind == stConstructor) t = {stClass, variable->TypeName};
    if (s.Kind == stConstructor) s = {stClass, expression->TypeName};
    if (t.Kind == stInteger && s.Kind == stFloat) return false;
    return TypesCompatible(t, s, script);
}

// ---- declarations ---------------------------------------------------------------------

bool ParseDeclaration(const std::string& text, const TfsScript* script, TfsCustomVariable* item)
{
    TfsParser parser;
    parser.SetText(text);
    std::string word = Lower(parser.GetWord());
    if (word.compare(0, 5, "macro") == 0) {
        item->IsMacro = true;
        word = word.substr(5);
    }
    bool isFunction = word == "function";
    item->Name = parser.GetWord();
    std::string resultType;
    if (isFunction) {
        size_t colon = text.rfind(':');
        if (colon != std::string::npos) {
            TfsParser p2;
            p2.SetText(text.substr(colon + 1));
            resultType = p2.GetWord();
        }
    }
    item->TypeName = resultType;
    item->Kind = isFunction ? TypeKindOfName(resultType, script) : stVariant;
    parser.SkipSpaces();
    if (parser.GetChar() != "(") return isFunction;
    for (;;) {
        // one group: names, ':' type, optional '=' default
        std::vector<std::string> names;
        bool isVar = false;
        for (;;) {
            std::string w = parser.GetWord();
            if (w.empty()) break;
            if (SameName(w, "var")) {
                isVar = true;
                continue;
            }
            if (SameName(w, "const")) continue;
            names.push_back(w);
            parser.SkipSpaces();
            int p = parser.Position();
            if (parser.GetChar() != ",") {
                parser.SetPosition(p);
                break;
            }
        }
        parser.SkipSpaces();
        std::string typeName;
        int p = parser.Position();
        if (parser.GetChar() == ":") typeName = parser.GetWord();
        else parser.SetPosition(p);
        Variant def = Null();
        bool hasDefault = false;
        parser.SkipSpaces();
        p = parser.Position();
        if (parser.GetChar() == "=") {
            hasDefault = true;
            parser.SkipSpaces();
            int q = parser.Position();
            bool neg = parser.GetChar() == "-";
            if (!neg) parser.SetPosition(q);
            std::string num = parser.GetNumber();
            if (!num.empty()) {
                def = ConstTextToVariant(num);
                if (neg) def = -def;
            } else {
                std::string s = parser.GetString();
                if (!s.empty()) {
                    def = ConstTextToVariant(s);
                } else {
                    std::string id = parser.GetWord();
                    TfsCustomVariable* v = script ? script->Find(id) : nullptr;
                    def = v ? v->GetValue() : Null();
                }
            }
        } else {
            parser.SetPosition(p);
        }
        TfsScriptType kind = TypeKindOfName(typeName, script);
        for (size_t i = 0; i < names.size(); ++i) {
            bool last = i + 1 == names.size();
            auto* param = new TfsParamItem(names[i], kind, typeName, last && hasDefault, isVar);
            if (last && hasDefault) param->DefValue = def;
            item->AddParam(param);
        }
        parser.SkipSpaces();
        std::string c = parser.GetChar();
        if (c != ";") break;
    }
    return isFunction;
}

// ---- values ------------------------------------------------------------------------------

Variant ConstTextToVariant(const std::string& text)
{
    if (text.empty()) return Null();
    if (text[0] == '\'') return Variant(text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string());
    bool hex = text[0] == '$';
    std::string digits = hex ? text.substr(1) : text;
    bool whole = !digits.empty();
    for (char c : digits)
        whole = whole && (hex ? isxdigit((unsigned char)c) != 0 : (c >= '0' && c <= '9'));
    if (whole) {
        errno = 0;
        char* end = nullptr;
        unsigned long long u = strtoull(digits.c_str(), &end, hex ? 16 : 10);
        if (errno == 0 && *end == 0) {
            if (hex) {
                // $FFFFFFFF is the 32-bit pattern, as Pascal reads it.
                if (u <= 0xFFFFFFFFull) return Variant(int(int32_t(uint32_t(u))));
                return Variant::FromInt64(int64_t(u));
            }
            if (u <= 0x7FFFFFFFull) return Variant(int(u));
            if (u <= 0x7FFFFFFFFFFFFFFFull) return Variant::FromInt64(int64_t(u));
        }
    }
    // A float read with a point whatever the user's settings.
    TFormatSettings fs = FormatSettings;
    fs.DecimalSeparator = '.';
    return Variant(StrToFloat(text, fs));
}

Variant VarRecToVariant(const TVarRec& rec)
{
    switch (rec.VType) {
    case TVarRec::vtInteger: return Variant(int(rec.VInt));
    case TVarRec::vtInt64: return Variant::FromInt64(rec.VInt);
    case TVarRec::vtUInt64: return Variant::FromInt64(int64_t(rec.VUInt));
    case TVarRec::vtBoolean: return Variant(rec.VInt != 0);
    case TVarRec::vtChar: {
        std::string s;
        AppendCodePoint(s, uint32_t(rec.VInt));
        return Variant(s);
    }
    case TVarRec::vtExtended: return Variant(rec.VExtended);
    case TVarRec::vtCurrency: return Variant(rec.VCurrency.ToDouble());
    case TVarRec::vtString: return Variant(rec.VString);
    case TVarRec::vtPointer:
        // Objects travel as handles; other pointers have no script value.
        return rec.VPointer ? Null() : Variant(0);
    }
    return Null();
}

namespace {
TVarRec OneVarRec(const Variant& v)
{
    switch (v.VType()) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
    case varInt64:
        return TVarRec(static_cast<long long>(v.AsInt64()));
    case varSingle: case varDouble: case varDate: case varCurrency:
        return TVarRec(v.AsDouble());
    case varString: case varOleStr:
        return TVarRec(v.RawString());
    case varBoolean:
        return TVarRec(v.RawBool());
    case varNull: case varEmpty:
        return TVarRec(0);
    default:
        if (v.IsArray()) throw EConvertError("An array cannot be a format argument");
        return TVarRec(VarToStr(v));
    }
}
}  // namespace

std::vector<TVarRec> VariantToVarRecs(const Variant& array)
{
    std::vector<TVarRec> r;
    if (array.IsNull() || array.IsEmpty()) return r;
    if (!array.IsArray()) throw EConvertError("Format arguments must be an array");
    int lo = VarArrayLowBound(array, 1), hi = VarArrayHighBound(array, 1);
    for (int i = lo; i <= hi; ++i) r.push_back(OneVarRec(VarArrayGet(array, {i})));
    return r;
}

TfsPoint SourcePosToPoint(const std::string& pos)
{
    TfsPoint p;
    if (pos.empty()) return p;
    size_t c = pos.find(':');
    p.Y = StrToIntDef(pos.substr(0, c), 0);
    p.X = c == std::string::npos ? 0 : StrToIntDef(pos.substr(c + 1), 0);
    return p;
}

// ---- contents tree --------------------------------------------------------------------------

void WriteContentsXML(const TfsScript* script, TfsXMLItem* item, bool functionsOnly)
{
    using fs_xml::EscapeAttributeText;
    auto attr = [](const std::string& v) { return "text=\"" + EscapeAttributeText(v) + "\""; };
    TfsXMLItem* functions = item->FindItem("Functions");
    TfsXMLItem* classes = item->FindItem("Classes");
    TfsXMLItem* types = item->FindItem("Types");
    TfsXMLItem* variables = item->FindItem("Variables");
    TfsXMLItem* constants = item->FindItem("Constants");
    std::vector<std::pair<TfsXMLItem*, std::vector<std::string>>> typeValues;
    for (int i = 0; i < script->Count(); ++i) {
        TfsCustomVariable* v = script->Items(i);
        if (auto* m = dynamic_cast<TfsMethodHelper*>(v)) {
            TfsXMLItem* cat = nullptr;
            int ci = functions->Find(m->Category);
            if (ci >= 0) {
                cat = functions->Items(ci);
            } else {
                cat = functions->Add();
                cat->SetName(m->Category);
                cat->SetText(attr(m->Category));
            }
            TfsXMLItem* it = cat->Add();
            it->SetName("item");
            it->SetText(attr(m->Syntax) + " description=\"" + EscapeAttributeText(m->Description) + "\"");
            continue;
        }
        if (functionsOnly) continue;
        if (auto* c = dynamic_cast<TfsClassVariable*>(v)) {
            TfsXMLItem* it = classes->Add();
            it->SetName("item");
            it->SetText(attr(c->Name + " = class(" + c->AncestorName + ")"));
            for (int k = 0; k < c->MembersCount(); ++k) {
                TfsCustomHelper* mem = c->Members(k);
                std::string t;
                if (auto* mh = dynamic_cast<TfsMethodHelper*>(mem)) {
                    t = mh->Syntax;
                    if (mh->IsIndexMethod) {
                        size_t sp = t.find(' ');
                        t = "index property" + (sp == std::string::npos ? std::string() : t.substr(sp));
                    }
                } else if (dynamic_cast<TfsEventHelper*>(mem)) {
                    t = "event " + mem->Name;
                } else {
                    t = "property " + mem->Name + ": " + mem->GetFullTypeName();
                }
                TfsXMLItem* mi = it->Add();
                mi->SetName("item");
                mi->SetText(attr(t));
            }
            continue;
        }
        if (v->Kind == stEnum && dynamic_cast<TfsVariable*>(v) && !SameName(v->Name, v->TypeName)) {
            TfsXMLItem* t = types->FindItem(v->TypeName);
            bool found = false;
            for (auto& tv : typeValues)
                if (tv.first == t) {
                    tv.second.push_back(v->Name);
                    found = true;
                }
            if (!found) typeValues.push_back({t, {v->Name}});
            continue;
        }
        if (dynamic_cast<TfsVariable*>(v) && !v->Name.empty() && !(v->Kind == stEnum)) {
            TfsXMLItem* it = (v->IsReadOnly ? constants : variables)->Add();
            it->SetName("item");
            std::string t = v->Name + ": " + v->GetFullTypeName();
            if (v->IsReadOnly) {
                std::string val;
                try {
                    val = VarToStr(v->Value);
                } catch (const Exception&) {
                }
                t += " = " + val;
            }
            it->SetText(attr(t));
        }
    }
    for (int i = 0; i < types->Count(); ++i) {
        TfsXMLItem* t = types->Items(i);
        if (t->Name() == "item") continue;
        std::string names;
        for (auto& tv : typeValues)
            if (tv.first == t)
                for (auto& n : tv.second) names += (names.empty() ? "" : ",") + n;
        t->SetText(attr(t->Name() + ": (" + names + ")"));
        t->SetName("item");
    }
}

}  // namespace fs_itools
