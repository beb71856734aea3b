#include "fs_iilparser.h"

#include "Exceptions.h"
#include "StringLists.h"
#include "Streams.h"
#include "TextUtils.h"
#include "fs_common.h"
#include "fs_iexpression.h"
#include "fs_istatements.h"
#include "fs_itools.h"
#include "fs_xml.h"

#include <map>
#include <unordered_map>

using namespace fs_common;
using namespace fs_itools;
using fs_xml::EscapeAttributeText;

// ---- grammars ----------------------------------------------------------------------

// A grammar element with its attributes read once.
struct TfsILParser::GrammarNode {
    enum EKind {
        gkRule, gkRef, gkChar, gkKeyword, gkIdent, gkNumber, gkString, gkFrString, gkEol,
        gkSequence, gkSwitch, gkOptionalSwitch, gkLoop, gkOptionalLoop, gkOptional
    } Kind = gkRef;
    std::string Name, Text, Add, AddText, Err, Node, Complete;
    bool HasText = false, HasAddText = false, Skip0 = false, Skip1 = false, Term = false;
    const GrammarNode* Rule = nullptr;   // for references
    std::vector<std::unique_ptr<GrammarNode>> Kids;
};

struct TfsILParser::Grammar {
    std::unique_ptr<TfsXMLDocument> Doc;
    std::unordered_map<std::string, std::unique_ptr<GrammarNode>> Rules;   // upper-case name
    std::map<std::string, std::string> Errors;                              // lower-case name
    const GrammarNode* Program = nullptr;
};

namespace {

std::map<std::string, std::shared_ptr<void>>& GrammarCache()
{
    static std::map<std::string, std::shared_ptr<void>> cache;
    return cache;
}

}  // namespace

void TfsILParser::SelectLanguage(const std::string& name)
{
    FParser.Reset();
    // A second line-comment marker of an earlier grammar ("rem") must not
    // carry over into a language that has none.
    FParser.CommentLine2.clear();
    FLanguage = name;
    std::string text = fs_itools::GetLanguageGrammar(name);
    std::string key = Upper(name);
    auto& cache = GrammarCache();
    auto it = cache.find(key);
    std::shared_ptr<Grammar> g;
    if (it != cache.end()) {
        g = std::static_pointer_cast<Grammar>(it->second);
    } else {
        g = std::make_shared<Grammar>();
        g->Doc = std::make_unique<TfsXMLDocument>();
        g->Doc->LoadFromString(text);
        TfsXMLItem* root = g->Doc->Root();
        // Rule definitions first, so that references can be linked.
        std::function<std::unique_ptr<GrammarNode>(TfsXMLItem*, bool)> make =
            [&](TfsXMLItem* x, bool isRule) {
                auto n = std::make_unique<GrammarNode>();
                std::string nm = Lower(x->Name());
                n->Name = nm;
                static const std::map<std::string, GrammarNode::EKind> kinds = {
                    {"char", GrammarNode::gkChar}, {"keyword", GrammarNode::gkKeyword},
                    {"ident", GrammarNode::gkIdent}, {"number", GrammarNode::gkNumber},
                    {"string", GrammarNode::gkString}, {"frstring", GrammarNode::gkFrString},
                    {"eol", GrammarNode::gkEol}, {"sequence", GrammarNode::gkSequence},
                    {"switch", GrammarNode::gkSwitch}, {"optionalswitch", GrammarNode::gkOptionalSwitch},
                    {"loop", GrammarNode::gkLoop}, {"optionalloop", GrammarNode::gkOptionalLoop},
                    {"optional", GrammarNode::gkOptional}};
                if (isRule) {
                    n->Kind = GrammarNode::gkRule;
                } else {
                    auto k = kinds.find(nm);
                    n->Kind = k == kinds.end() ? GrammarNode::gkRef : k->second;
                }
                n->HasText = x->Text().find("text=") != std::string::npos &&
                             (" " + x->Text()).find(" text=") != std::string::npos;
                n->Text = x->Prop("text");
                n->Add = x->Prop("add");
                n->HasAddText = (" " + x->Text()).find(" addtext=") != std::string::npos;
                n->AddText = x->Prop("addtext");
                n->Err = x->Prop("err");
                n->Node = x->Prop("node");
                n->Complete = x->Prop("complete");
                n->Skip0 = x->Prop("skip") == "0";
                n->Skip1 = x->Prop("skip") == "1";
                n->Term = x->Prop("term") == "1";
                for (int i = 0; i < x->Count(); ++i) n->Kids.push_back(make(x->Items(i), false));
                return n;
            };
        for (int i = 0; i < root->Count(); ++i) {
            TfsXMLItem* x = root->Items(i);
            std::string nm = Lower(x->Name());
            if (nm == "parser" || nm == "types") continue;
            g->Rules[Upper(nm)] = make(x, true);
        }
        std::function<void(GrammarNode*)> link = [&](GrammarNode* n) {
            if (n->Kind == GrammarNode::gkRef) {
                auto r = g->Rules.find(Upper(n->Name));
                if (r == g->Rules.end()) throw Exception(fs_itools::SInvalidLanguage);
                n->Rule = r->second.get();
            }
            for (auto& k : n->Kids) link(k.get());
        };
        for (auto& r : g->Rules) link(r.second.get());
        auto p = g->Rules.find("PROGRAM");
        if (p == g->Rules.end()) throw Exception(fs_itools::SInvalidLanguage);
        g->Program = p->second.get();
        TfsXMLItem* parser = root->FindItem("parser");
        TfsXMLItem* errors = parser->FindItem("errors");
        for (int i = 0; i < errors->Count(); ++i)
            g->Errors[Lower(errors->Items(i)->Name())] = errors->Items(i)->Prop("text");
        cache[key] = g;
    }
    FGrammar = g;
    TfsXMLItem* parser = g->Doc->Root()->FindItem("parser");
    TfsXMLItem* keywords = parser->FindItem("keywords");
    for (int i = 0; i < keywords->Count(); ++i) FParser.AddKeyword(keywords->Items(i)->Name());
    NeedDeclareVars = true;
    for (int i = 0; i < parser->Count(); ++i) {
        TfsXMLItem* x = parser->Items(i);
        std::string nm = Lower(x->Name());
        std::string v = x->Prop("text");
        if (nm == "identchars") FParser.SetIdentifierCharset(v);
        else if (nm == "commentline1") FParser.CommentLine1 = v;
        else if (nm == "commentline2") FParser.CommentLine2 = v;
        else if (nm == "commentblock1") FParser.SetCommentBlock1(v);
        else if (nm == "commentblock2") FParser.SetCommentBlock2(v);
        else if (nm == "stringquotes") FParser.StringQuotes = v;
        else if (nm == "hexsequence") FParser.HexSequence = v;
        else if (nm == "skipchar") FParser.SkipChar = v;
        else if (nm == "skipeol") FParser.SkipEOL = v != "0";
        else if (nm == "declarevars") NeedDeclareVars = v != "0";
    }
}

// ---- walking --------------------------------------------------------------------------

std::string TfsILParser::PosAfterBlanks(int pos)
{
    int saved = FParser.Position();
    FParser.SetPosition(pos);
    FParser.SkipSpaces();
    std::string r = FParser.GetLineColumn();
    FParser.SetPosition(saved);
    return r;
}

void TfsILParser::RecordError(const GrammarNode* e, int pos)
{
    if (e->Err.empty() || !FErrorMsg.empty()) return;
    auto it = FGrammar->Errors.find(Lower(e->Err));
    if (it == FGrammar->Errors.end() || it->second.empty()) return;
    FErrorMsg = it->second;
    FErrorPos = PosAfterBlanks(pos);
    FErrorTerm = e->Term;
    ++FErrorSerial;
}

void TfsILParser::CloseNode(const std::string& node, bool success, int entryPos, size_t entryLine)
{
    if (node == "uses") {
        if (!success) {
            FLines.resize(entryLine);
            return;
        }
        std::vector<std::string> names;
        for (size_t i = FLines.size(); i > entryLine; --i) {
            const std::string& line = FLines[i - 1];
            // <file text="'name'" pos="…"/>
            size_t a = line.find("text=\"");
            std::string name;
            if (a != std::string::npos) {
                size_t b = line.find('"', a + 6);
                name = fs_xml::UnescapeAttributeText(line.substr(a + 6, b - a - 6));
                if (name.size() >= 2) name = name.substr(1, name.size() - 2);
            }
            names.push_back(name);
        }
        FLines.resize(entryLine);
        // Taken from the last name to the first: the units stand in the
        // tree in the reverse order of their names.
        for (const auto& name : names) LoadUnit(name, FLines.size());
        return;
    }
    if (!success) {
        FLines.resize(entryLine);
        return;
    }
    std::string open = "<" + node + " pos=\"" + PosAfterBlanks(entryPos) + "\"";
    if (node == "expr") open += " pos1=\"" + FParser.GetLineColumn() + "\"";
    open += ">";
    FLines.insert(FLines.begin() + long(entryLine), open);
    FLines.push_back("</" + node + ">");
}

void TfsILParser::LoadUnit(const std::string& unitName, size_t lineIndex)
{
    for (const auto& u : FUsedUnits)
        if (SameName(u, unitName)) return;
    FUsedUnits.push_back(unitName);
    std::string text;
    if (FScript->OnGetUnit) {
        FScript->OnGetUnit(FScript, unitName, text);
    } else {
        auto list = std::make_unique<TStringList>();
        list->LoadFromFile(unitName);
        text = list->Text();
    }
    std::vector<std::string> lines;
    if (text.empty()) {
        lines = {"<uses unit=\"" + EscapeAttributeText(unitName) + "\">", "", "</uses>"};
    } else {
        TfsILParser unit(FScript);
        unit.SelectLanguage(FLanguage);
        unit.FUnitName = unitName;
        unit.FUsedUnits = FUsedUnits;
        std::string tree;
        if (unit.BuildProgramTree(text)) {
            FUsedUnits = unit.FUsedUnits;
            tree = unit.FProgram->SaveToString();
            const std::string header = "<?xml version=\"1.0\"?>";
            if (tree.compare(0, header.size(), header) == 0) tree.erase(0, header.size());
        } else {
            if (FErrorMsg.empty()) {
                FErrorMsg = FScript->ErrorMessage;
                FErrorPos.clear();
                ++FErrorSerial;
            }
            FScript->ErrorUnit = unitName;
        }
        lines = {"<uses unit=\"" + EscapeAttributeText(unitName) + "\">", tree, "</uses>"};
    }
    FLines.insert(FLines.begin() + long(lineIndex), lines.begin(), lines.end());
}

bool TfsILParser::MatchLoop(const GrammarNode* e)
{
    int loopStart = FParser.Position();
    int serialAtEntry = FErrorSerial;
    int passes = 0;
    bool lastPassOk = false;
    for (;;) {
        int passStart = FParser.Position();
        bool all = true;
        for (auto& k : e->Kids)
            if (!Match(k.get())) {
                all = false;
                break;
            }
        ++passes;
        if (!all) {
            lastPassOk = false;
            break;
        }
        lastPassOk = true;
        int stop = FParser.Position();
        if (e->HasText && !e->Text.empty()) {
            FParser.SkipSpaces();
            if (FParser.GetChar() != e->Text) {
                FParser.SetPosition(stop);
                break;
            }
        }
        if (FParser.Position() == passStart) break;
    }
    bool matched;
    if (passes >= 2) {
        matched = true;
        if (FErrorSerial > serialAtEntry && (e->Skip1 || FErrorTerm)) {
            FErrorMsg.clear();
            FErrorPos.clear();
            FErrorTerm = false;
        }
    } else {
        matched = lastPassOk;
    }
    if (!matched && e->Kind == GrammarNode::gkOptionalLoop) {
        FParser.SetPosition(loopStart);
        return true;
    }
    return matched;
}

bool TfsILParser::Match(const GrammarNode* e)
{
    // Deeply nested text would exhaust the stack; it is refused instead.
    struct DepthGuard {
        int& d;
        explicit DepthGuard(int& depth) : d(depth)
        {
            if (++d > 2500) throw Exception(STooComplex);
        }
        ~DepthGuard() { --d; }
    } guard(FMatchDepth);
    using G = GrammarNode;
    const int entryPos = FParser.Position();
    switch (e->Kind) {
    case G::gkLoop:
    case G::gkOptionalLoop:
        return MatchLoop(e);
    case G::gkSwitch:
    case G::gkOptionalSwitch:
        for (auto& k : e->Kids)
            if (Match(k.get())) return true;
        if (e->Kind == G::gkOptionalSwitch) return true;
        RecordError(e, entryPos);
        return false;
    case G::gkOptional:
        for (auto& k : e->Kids)
            if (!Match(k.get())) {
                FParser.SetPosition(entryPos);
                break;
            }
        return true;
    default:
        break;
    }

    const size_t entryLine = FLines.size();
    bool matched = true;
    std::string token;
    switch (e->Kind) {
    case G::gkChar:
        if (!e->Skip0) FParser.SkipSpaces();
        token = FParser.GetChar();
        matched = !token.empty() && (!e->HasText || token == e->Text);
        break;
    case G::gkKeyword:
        token = FParser.GetWord();
        matched = !token.empty() && (!e->HasText || SameName(token, e->Text));
        break;
    case G::gkIdent:
        token = FParser.GetIdent();
        matched = !token.empty();
        break;
    case G::gkNumber:
        token = FParser.GetNumber();
        matched = !token.empty();
        break;
    case G::gkString:
        token = FParser.GetString();
        matched = !token.empty();
        break;
    case G::gkFrString: {
        token = FParser.GetAngleText();
        std::string p = FParser.GetLineColumn();
        std::string t = EscapeAttributeText("'" + token + "'");
        Emit("<dsgn pos=\"" + p + "\">");
        Emit("<node text=\"Get\" pos=\"" + p + "\"/>");
        Emit("<expr pos=\"" + p + "\">");
        Emit("<string text=\"" + t + "\" pos=\"" + p + "\"/>");
        Emit("</expr>");
        Emit("</dsgn>");
        break;
    }
    case G::gkEol:
        matched = FParser.GetEOL();
        break;
    case G::gkRef:
        matched = Match(e->Rule);
        break;
    default:   // rule definition, sequence: the children below
        break;
    }
    if (matched) {
        if (e->Kind != G::gkRule && !e->Node.empty()) CloseNode(e->Node, true, entryPos, entryLine);
        if (!e->Add.empty()) {
            std::string text = e->HasAddText ? e->AddText : token;
            Emit("<" + e->Add + " text=\"" + EscapeAttributeText(text) + "\" pos=\"" +
                 FParser.GetLineColumn() + "\"/>");
        }
        if (e->Kind == G::gkRule || e->Kind == G::gkSequence)
            for (auto& k : e->Kids)
                if (!Match(k.get())) {
                    matched = false;
                    break;
                }
    }
    if (!matched) {
        RecordError(e, entryPos);
        FParser.SetPosition(entryPos);
    }
    if (e->Kind == G::gkRule && !e->Node.empty()) CloseNode(e->Node, matched, entryPos, entryLine);
    return matched;
}

bool TfsILParser::BuildProgramTree(const std::string& text)
{
    FParser.SetText(text);
    FLines.clear();
    FErrorMsg.clear();
    FErrorPos.clear();
    FErrorTerm = false;
    if (text.size() > 9 && text[0] == '#' && SameName(text.substr(1, 8), "language")) {
        size_t eol = text.find_first_of("\r\n");
        std::string lang = Trim(text.substr(9, eol == std::string::npos ? std::string::npos : eol - 9));
        SelectLanguage(lang);
        FParser.SetText(text);
        int p = eol == std::string::npos ? int(text.size()) + 1 : int(eol) + 1;
        if (eol != std::string::npos && text[eol] == '\r' && eol + 1 < text.size() && text[eol + 1] == '\n') ++p;
        FParser.SetPosition(p);
    }
    if (!FGrammar) SelectLanguage(FScript->SyntaxType());
    const GrammarNode* program = FGrammar->Program;
    bool ok = false;
    try {
        ok = Match(program);
    } catch (const Exception& e) {
        if (e.Message() != STooComplex) throw;
        FErrorMsg = STooComplex;
        FErrorPos = FParser.GetLineColumn();
        ok = false;
    }
    if (ok && FErrorMsg.empty() && !program->Complete.empty()) {
        // The whole text must be a program: what is left is an error, not
        // code silently dropped.
        FParser.SkipSpaces();
        while (FParser.Position() <= FParser.Size()) {
            if (!FParser.GetEOL()) break;
            FParser.SkipSpaces();
        }
        if (FParser.Position() <= FParser.Size()) {
            auto it = FGrammar->Errors.find(Lower(program->Complete));
            FErrorMsg = it != FGrammar->Errors.end() ? it->second : "Statement expected";
            FErrorPos = FParser.GetLineColumn();
        }
    }
    ok = ok && FErrorMsg.empty();
    if (ok) {
        std::string xml = "<?xml version=\"1.0\"?><program>";
        size_t total = xml.size() + 16;
        for (auto& l : FLines) total += l.size();
        xml.reserve(total);
        for (auto& l : FLines) xml += l;
        xml += "</program>";
        FProgram = std::make_unique<TfsXMLDocument>();
        FProgram->LoadFromString(xml);
        TfsXMLItem* types = FProgram->Root()->Add();
        types->Assign(FGrammar->Doc->Root()->FindItem("types"));
    }
    FScript->ErrorMessage = FErrorMsg;
    FScript->ErrorPosition = FErrorPos;
    return ok;
}

// ---- building ---------------------------------------------------------------------------

TfsILParser::TfsILParser(TfsScript* script) : FScript(script) {}

TfsILParser::~TfsILParser() = default;

void TfsILParser::SetBuildContext(TfsXMLItem* programElement, const std::string& unitName)
{
    FProgramElement = programElement;
    FUnitName = unitName;
}

void TfsILParser::SetPos(TfsXMLItem* element)
{
    std::string p = element->Prop("pos");
    if (!p.empty()) FLastPos = p;
}

void TfsILParser::Error(const std::string& msg) { throw Exception(msg); }

namespace {

TfsXMLItem* Child(TfsXMLItem* e, const char* name)
{
    for (int i = 0; i < e->Count(); ++i)
        if (e->Items(i)->Name() == name) return e->Items(i);
    return nullptr;
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

bool IsValueHolder(TfsCustomVariable* v)
{
    return dynamic_cast<TfsVariable*>(v) || dynamic_cast<TfsParamItem*>(v);
}

TfsVariable* MakeVariable(const std::string& name, TfsScriptType kind, const std::string& typeName)
{
    TfsVariable* v = (kind == stString || kind == stChar) ? new TfsStringVariable(name, kind, typeName)
                                                           : new TfsVariable(name, kind, typeName);
    if (kind >= stArray) v->Value = Null();
    else if (kind == stBoolean) v->Value = Variant(false);
    else if (kind == stChar || kind == stString) v->Value = Variant(std::string());
    else v->Value = Variant(0);
    return v;
}

struct LoopDepthGuard {
    int& depth;
    int saved;
    LoopDepthGuard(int& d, int value) : depth(d), saved(d) { depth = value; }
    ~LoopDepthGuard() { depth = saved; }
};

}  // namespace

void TfsILParser::BuildProgram()
{
    FWithList.clear();
    FHostTreeUnits.clear();
    FScript->ErrorUnit.clear();
    FUnitName.clear();
    try {
        FProgramElement = FProgram->Root();
        BuildBlock(FProgram->Root(), FScript);
        FScript->ErrorPosition.clear();
    } catch (const std::exception& e) {
        FScript->ErrorMessage = *e.what() ? e.what() : "Error";
        FScript->ErrorPosition = FLastPos;
        FScript->ErrorUnit = FUnitName;
    }
}

std::string TfsILParser::ResolveTypeAlias(const std::string& typeName) const
{
    if (!FProgramElement) return typeName;
    TfsXMLItem* types = Child(FProgramElement, "types");
    if (!types) return typeName;
    int i = types->Find(typeName);
    if (i < 0) return typeName;
    std::string t = types->Items(i)->Prop("type");
    return t.empty() ? typeName : t;
}

void TfsILParser::BuildBlock(TfsXMLItem* element, TfsScript* script)
{
    DeclareRoutines(element, script);
    TfsStatement* main = script->MainProgram();
    if (!main) {
        script->SetMainProgram(std::make_unique<TfsStatement>(script, element->Prop("pos"), FUnitName));
        main = script->MainProgram();
    }
    for (int i = 0; i < element->Count(); ++i) BuildStatement(element->Items(i), script, main);
}

void TfsILParser::DeclareRoutines(TfsXMLItem* element, TfsScript* script)
{
    for (int i = 0; i < element->Count(); ++i) {
        TfsXMLItem* c = element->Items(i);
        if (c->Name() == "procedure" || c->Name() == "function") DeclareRoutine(c, script);
        else if (c->Name() == "compoundstmt") DeclareRoutines(c, script);
    }
}

void TfsILParser::DeclareRoutine(TfsXMLItem* e, TfsScript* script)
{
    SetPos(e);
    TfsXMLItem* nameEl = Child(e, "name");
    std::string name = nameEl ? nameEl->Prop("text") : std::string();
    if (nameEl) SetPos(nameEl);
    if (script->FindLocal(name)) Error(SIdRedeclared + Quoted(name));
    bool isFunction = e->Name() == "function";
    TfsScriptType kind = stVariant;
    std::string typeName;
    if (isFunction) {
        if (TfsXMLItem* t = Child(e, "type")) {
            std::string raw = t->Prop("text");
            if (SameName(raw, "void")) {
                isFunction = false;
            } else {
                typeName = ResolveTypeAlias(raw);
                kind = TypeKindOfName(typeName, script);
                if (kind == stClass && !script->FindClass(typeName)) Error(SUnknownType + Quoted(typeName));
            }
        }
        // A function without a declared type returns a Variant.
    }
    auto* proc = new TfsProcVariable(name, isFunction ? kind : stVariant, isFunction ? typeName : "", script, isFunction);
    proc->SourcePosition = e->Prop("pos");
    proc->IsReadOnly = true;
    // Late-bound names inside the routine are built with its language.
    proc->LocalScript->SetSyntaxType(FLanguage.empty() ? script->SyntaxType() : FLanguage);
    script->Add(name, proc);
    if (isFunction) {
        TfsVariable* r = MakeVariable("Result", kind, typeName);
        if (kind == stVariant) r->Value = Null();
        proc->LocalScript->Add("Result", r);
        proc->LinkedItem = r;
    }
    for (int i = 0; i < e->Count(); ++i) {
        TfsXMLItem* params = e->Items(i);
        if (params->Name() != "parameters") continue;
        bool groupIsVar = false;
        for (int g = 0; g < params->Count(); ++g) {
            TfsXMLItem* group = params->Items(g);
            if (group->Name() == "varparams") {
                groupIsVar = true;
                continue;
            }
            if (group->Name() != "var") continue;
            TfsXMLItem* typeEl = Child(group, "type");
            std::string tn = ResolveTypeAlias(typeEl ? typeEl->Prop("text") : "Variant");
            TfsScriptType k = TypeKindOfName(tn, script);
            if (k == stClass && !script->FindClass(tn)) Error(SUnknownType + Quoted(tn));
            if (Child(group, "array")) k = stArray;
            int firstIdent = -1, firstType = -1;
            for (int j = 0; j < group->Count(); ++j) {
                if (group->Items(j)->Name() == "ident" && firstIdent < 0) firstIdent = j;
                if (group->Items(j)->Name() == "type" && firstType < 0) firstType = j;
            }
            bool typeFirst = firstType >= 0 && firstType < firstIdent;
            bool nextIsVar = false;
            for (int j = 0; j < group->Count(); ++j) {
                TfsXMLItem* c = group->Items(j);
                SetPos(c);
                if (c->Name() == "varparam") {
                    nextIsVar = true;
                    continue;
                }
                if (c->Name() != "ident") continue;
                std::string pn = c->Prop("text");
                if (proc->LocalScript->FindLocal(pn)) Error(SIdRedeclared + Quoted(pn));
                // the default value: the init that belongs to this name
                TfsXMLItem* init = nullptr;
                for (int m = typeFirst ? j + 1 : 0; m < group->Count(); ++m) {
                    TfsXMLItem* x = group->Items(m);
                    if (typeFirst && x->Name() == "ident") break;
                    if (x->Name() == "init") init = x;
                }
                Variant def = Null();
                if (init && init->Count() > 0) {
                    std::unique_ptr<TfsExpression> x(BuildExpression(init->Items(0), script));
                    def = x->GetValue();
                }
                auto* param = new TfsParamItem(pn, k, tn, init != nullptr, groupIsVar || nextIsVar);
                param->DefValue = def;
                param->Value = def;
                nextIsVar = false;
                proc->AddParam(param);
                proc->LocalScript->Add(pn, param);
            }
            groupIsVar = false;
        }
    }
}

void TfsILParser::DeclareVars(TfsXMLItem* e, TfsScript* script, TfsStatement* list)
{
    int firstIdent = -1, firstType = -1;
    for (int j = 0; j < e->Count(); ++j) {
        if (e->Items(j)->Name() == "ident" && firstIdent < 0) firstIdent = j;
        if (e->Items(j)->Name() == "type" && firstType < 0) firstType = j;
    }
    bool typeFirst = firstType >= 0 && firstType < firstIdent;
    std::string typeText = firstType >= 0 ? e->Items(firstType)->Prop("text") : "Variant";
    if (firstType >= 0) SetPos(e->Items(firstType));
    std::string tn = ResolveTypeAlias(typeText);
    TfsScriptType kind = TypeKindOfName(tn, script);
    if (kind == stClass && !script->FindClass(tn)) Error(SUnknownType + Quoted(typeText));
    for (int j = 0; j < e->Count(); ++j) {
        TfsXMLItem* c = e->Items(j);
        if (c->Name() != "ident") continue;
        SetPos(c);
        std::string name = c->Prop("text");
        if (script->FindLocal(name)) Error(SIdRedeclared + Quoted(name));
        TfsXMLItem* arr = nullptr;
        TfsXMLItem* init = nullptr;
        for (int m = typeFirst ? j + 1 : 0; m < e->Count(); ++m) {
            TfsXMLItem* x = e->Items(m);
            if (typeFirst && x->Name() == "ident") break;
            if (x->Name() == "array") arr = x;
            if (x->Name() == "init") init = x;
        }
        TfsVariable* v;
        if (arr) {
            std::vector<int> bounds;
            for (int d = 0; d < arr->Count(); ++d) {
                TfsXMLItem* dim = arr->Items(d);
                if (dim->Name() != "dim") continue;
                SetPos(dim);
                std::vector<int> vals;
                for (int q = 0; q < dim->Count(); ++q) {
                    if (dim->Items(q)->Name() != "expr") continue;
                    std::unique_ptr<TfsExpression> x(BuildExpression(dim->Items(q), script));
                    vals.push_back(x->GetValue().AsInteger());
                }
                if (vals.size() == 1) {
                    bounds.push_back(0);
                    bounds.push_back(vals[0] - 1);
                } else if (vals.size() >= 2) {
                    bounds.push_back(vals[0]);
                    bounds.push_back(vals[1]);
                }
            }
            if (bounds.empty()) bounds = {0, 0};
            if (bounds.size() > 128) Error(STooManyDims);
            Variant value = VarArrayCreate(bounds, varVariant);
            v = new TfsVariable(name, stArray, tn);
            v->Value = value;
            auto* helper = new TfsArrayHelper("", kind, tn);
            for (size_t d = 0; d < bounds.size() / 2; ++d)
                helper->AddParam(new TfsParamItem("p" + std::to_string(d), stInteger, "Integer", false, false));
            script->Add(name, v);
            script->Add("", helper);
            v->LinkedItem = helper;
        } else {
            v = MakeVariable(name, kind, tn);
            script->Add(name, v);
        }
        if (init && init->Count() > 0) {
            auto d = std::make_unique<TfsVariableDesignator>(script);
            d->LinkedItem = v;
            d->Kind = v->Kind;
            d->TypeName = v->TypeName;
            d->DesignatorKind = 1;
            std::unique_ptr<TfsExpression> x = BuildExpression(init->Items(0), script);
            CheckAssign(v, x.get(), script);
            auto st = std::make_unique<TfsAssignmentStmt>(script, init->Prop("pos"), FUnitName);
            st->Setup(std::move(d), std::move(x));
            list->Add(std::move(st));
        }
    }
}

void TfsILParser::DeclareConst(TfsXMLItem* e, TfsScript* script)
{
    TfsXMLItem* id = Child(e, "ident");
    TfsXMLItem* ex = Child(e, "expr");
    if (!id || !ex) return;
    SetPos(id);
    std::string name = id->Prop("text");
    if (script->FindLocal(name)) Error(SIdRedeclared + Quoted(name));
    std::unique_ptr<TfsExpression> x(BuildExpression(ex, script));
    TfsVariable* v = MakeVariable(name, x->Kind, x->TypeName);
    v->SetValue(x->GetValue());
    v->IsReadOnly = true;
    script->Add(name, v);
}

void TfsILParser::CheckAssign(TfsCustomVariable* target, TfsCustomVariable* source, TfsScript* script)
{
    if (!AssignCompatible(target, source, script))
        Error(std::string(SIncompatibleTypes) + ": '" + target->GetFullTypeName() + "', '" +
              source->GetFullTypeName() + "'");
}

void TfsILParser::CheckParams(TfsDesignator* d, TfsScript* script)
{
    for (int i = 0; i < d->StepCount(); ++i) {
        TfsDesignatorItem* st = d->Steps(i);
        TfsCustomVariable* ref = st->Ref;
        if (dynamic_cast<TfsDesignator*>(ref) || dynamic_cast<TfsOLEHelper*>(ref)) continue;
        int na = int(st->Args.size());
        if (na < ref->RequiredCount()) {
            FLastPos = st->SourcePosition;
            Error(SNotEnoughParams);
        }
        if (na > ref->Count()) {
            FLastPos = st->SourcePosition;
            Error(STooManyParams);
        }
        for (int j = na; j < ref->Count(); ++j) {
            auto x = std::make_unique<TfsExpression>(script);
            x->AddOperand(ref->Params(j)->DefValue);
            x->Finish();
            x->Kind = ref->Params(j)->Kind;
            x->TypeName = ref->Params(j)->TypeName;
            st->Args.push_back(std::move(x));
        }
        for (int j = 0; j < na; ++j) {
            TfsParamItem* p = ref->Params(j);
            TfsCustomExpression* a = st->Args[size_t(j)].get();
            if (!AssignCompatible(p, a, script))
                Error(std::string(SIncompatibleTypes) + ": '" + p->GetFullTypeName() + "', '" +
                      a->GetFullTypeName() + "'");
            if (p->IsVarParam) {
                auto* x = dynamic_cast<TfsExpression*>(a);
                if (!x || !x->OperandItem() || x->IsReadOnly || x->IsConstant()) Error(SVarRequired);
            }
        }
    }
}

std::unique_ptr<TfsDesignator> TfsILParser::BuildDesignator(TfsXMLItem* element, TfsScript* script, int mode)
{
    SetPos(element);
    auto d = std::make_unique<TfsDesignator>(script);
    d->SourcePosition = element->Prop("pos");
    const int n = element->Count();
    int start = 0;
    if (n > 0 && element->Items(0)->Name() == "addr") {
        if (n != 2) Error(SVarRequired);
        // @Handler gives the routine's name, the form events are set with.
        auto* c = new TfsStringVariable("", stString, "String");
        c->Str = element->Items(1)->Prop("text");
        c->IsReadOnly = true;
        script->Add("", c);
        d->AddStep(c, d->SourcePosition);
        d->Finish();
        return d;
    }
    TfsScriptType curKind = stVariant;
    std::string curType;
    bool ole = false;
    auto lateBind = [&](TfsXMLItem* el) {
        auto late = std::make_unique<TfsDesignator>(script);
        late->SourcePosition = element->Prop("pos");
        late->SetLateBinding(el, FUnitName);
        late->Kind = stVariant;
        return late;
    };
    for (int i = start; i < n; ++i) {
        TfsXMLItem* c = element->Items(i);
        SetPos(c);
        const std::string pos = FLastPos;
        if (c->Name() == "expr") {
            TfsDesignatorItem* last = d->LastStep();
            if (!last) Error(SIdUndeclared);
            last->Args.push_back(BuildExpression(c, script));
            if (ole && last->Ref->Count() < int(last->Args.size()))
                last->Ref->AddParam(new TfsParamItem("p" + std::to_string(last->Args.size()), stVariant, "", true, false));
            continue;
        }
        if (c->Name() != "node") continue;
        const std::string text = c->Prop("text");
        TfsDesignatorItem* prev = d->LastStep();
        if (!prev) {
            // the first name: through the with list, then the scope chain
            for (size_t w = FWithList.size(); w-- > 0;) {
                if (FWithList[w].Script != script) continue;
                TfsCustomVariable* hidden = script->FindLocal(FWithList[w].VarName);
                if (!hidden) continue;
                if (hidden->Kind == stClass) {
                    TfsClassVariable* cls = script->FindClass(hidden->TypeName);
                    if (cls && cls->FindMember(text)) {
                        d->AddStep(hidden, pos);
                        curKind = stClass;
                        curType = hidden->TypeName;
                        prev = d->LastStep();
                        break;
                    }
                } else if (hidden->Kind == stVariant && !script->Find(text) && !RunTimeBuild) {
                    TfsXMLItem copy;
                    copy.Assign(element);
                    auto* first = new TfsXMLItem;
                    first->SetName("node");
                    first->SetText("text=\"" + fs_xml::EscapeAttributeText(FWithList[w].VarName) + "\"");
                    copy.InsertItem(0, first);
                    return lateBind(&copy);
                }
            }
            if (!prev) {
                TfsCustomVariable* item = script->Find(text);
                if (!item) {
                    if (NeedDeclareVars) Error(SIdUndeclared + Quoted(text));
                    item = MakeVariable(text, stVariant, "Variant");
                    item->Value = Null();
                    script->Add(text, item);
                }
                d->AddStep(item, pos);
                curKind = item->Kind;
                curType = item->TypeName;
                if (mode == 1) {
                    auto* cls = dynamic_cast<TfsClassVariable*>(item);
                    if (!cls) Error(SClassRequired);
                    TfsCustomHelper* create = cls->FindMember("Create");
                    if (!create) Error(SIdUndeclared + Quoted("Create"));
                    d->AddStep(create, pos);
                    curKind = stClass;
                    curType = cls->Name;
                }
                continue;
            }
        }
        // a later step: a member or an index of what the step before yields
        if (ole) {
            if (text != "[") {
                auto* h = new TfsOLEHelper(text);
                script->Add("", h);
                d->AddStep(h, pos);
            }
            continue;
        }
        if (auto* m = dynamic_cast<TfsMethodHelper*>(prev->Ref); m && m->IsIndexMethod && !prev->Indexed) {
            if (text != "[") Error(SIndexRequired);
            prev->Indexed = true;
            continue;
        }
        if (curKind == stConstructor) curKind = stClass;
        if (curKind == stVariant) {
            TfsCustomVariable* pr = prev->Ref;
            Variant value = IsValueHolder(pr) ? pr->GetValue() : pr->Value;
            TVarType t = value.VType();
            if (t == varNull || t == varEmpty) {
                if (RunTimeBuild) Error(SNilObject + text);
                return lateBind(element);
            }
            if (t == varString || t == varOleStr) {
                curKind = stString;
            } else if (t == varDispatch) {
                ole = true;
                if (text != "[") {
                    auto* h = new TfsOLEHelper(text);
                    script->Add("", h);
                    d->AddStep(h, pos);
                }
                continue;
            } else if (value.IsArray()) {
                if (text != "[") Error(SIndexRequired);
                d->AddStep(script->Find("__ArrayHelper"), pos);
                curKind = stVariant;
                curType.clear();
                continue;
            } else if (VarIsOrdinal(value) && t != varBoolean) {
                int64_t h = fs_iinterpreter::HandleOfVar(value);
                TObject* obj = (h > 0 && h <= 0xFFFFFFFFll) ? ObjectHandles::Resolve(uint32_t(h)) : nullptr;
                TfsClassVariable* cls = obj ? script->FindClassByType(obj->ClassType()) : nullptr;
                if (!cls) {
                    if (RunTimeBuild) Error(SInvalidObject + text);
                    return lateBind(element);
                }
                curKind = stClass;
                curType = cls->Name;
            } else {
                if (RunTimeBuild) Error(SClassRequired);
                return lateBind(element);
            }
        }
        TfsCustomVariable* stepItem = nullptr;
        switch (curKind) {
        case stString:
        case stChar:
            if (text != "[") Error(SStringError);
            stepItem = script->Find("__StringHelper");
            d->AddStep(stepItem, pos);
            curKind = stChar;
            curType = "Char";
            continue;
        case stClass: {
            TfsClassVariable* cls = script->FindClass(curType);
            if (!cls)
                if (TClass k = GetClass(curType)) cls = script->FindClassByType(k);
            if (!cls) Error(SUnknownType + Quoted(curType));
            if (text == "[") {
                if (!cls->DefaultProperty) Error(FormatMsg(SClassError, cls->Name));
                d->AddStep(cls->DefaultProperty, pos)->Indexed = true;
                stepItem = cls->DefaultProperty;
            } else {
                TfsCustomHelper* m = cls->FindMember(text);
                if (!m) Error(SIdUndeclared + Quoted(text));
                d->AddStep(m, pos);
                stepItem = m;
            }
            if (stepItem->Kind == stConstructor) {
                curKind = stClass;
            } else {
                curKind = stepItem->Kind;
                curType = stepItem->TypeName;
            }
            continue;
        }
        case stArray: {
            if (text != "[") Error(SArrayRequired);
            TfsCustomVariable* helper = prev->Ref->LinkedItem;
            if (!dynamic_cast<TfsArrayHelper*>(helper)) helper = script->Find("__ArrayHelper");
            d->AddStep(helper, pos);
            curKind = helper->Kind;
            curType = helper->TypeName;
            continue;
        }
        default:
            Error(SArrayRequired);
        }
    }
    if (mode == 2) {
        if (d->StepCount() == 0 || (curKind != stClass && curKind != stVariant)) Error(SClassRequired);
        TfsClassVariable* obj = script->FindClass("TObject");
        TfsCustomHelper* freeM = obj ? obj->FindMember("Free") : nullptr;
        if (!freeM) Error(SIdUndeclared + Quoted("Free"));
        d->AddStep(freeM, FLastPos);
    }
    if (d->StepCount() == 0) Error(SIdUndeclared);
    // Default arguments are filled in before the type is decided.
    CheckParams(d.get(), script);
    d->Finish();
    if (auto fast = d->MakeFastForm()) return fast;
    return d;
}

std::unique_ptr<TfsExpression> TfsILParser::BuildExpression(TfsXMLItem* element, TfsScript* script)
{
    SetPos(element);
    auto x = std::make_unique<TfsExpression>(script);
    std::string startPos = element->Prop("pos");
    std::string endPos = element->Prop("pos1");
    std::function<void(TfsXMLItem*)> add = [&](TfsXMLItem* el) {
        for (int i = 0; i < el->Count(); ++i) {
            TfsXMLItem* c = el->Items(i);
            SetPos(c);
            x->SourcePositionNow = FLastPos;
            const std::string& nm = c->Name();
            if (nm == "op") x->AddOperator(c->Prop("text"));
            else if (nm == "number" || nm == "string") x->AddOperand(ConstTextToVariant(c->Prop("text")));
            else if (nm == "dsgn") x->AddDesignator(BuildDesignator(c, script, 0));
            else if (nm == "set") x->AddSet(BuildSet(c, script));
            else if (nm == "new" && c->Count() > 0) x->AddDesignator(BuildDesignator(c->Items(0), script, 1));
            else if (nm == "expr") add(c);
        }
    };
    add(element);
    if (!startPos.empty() && !endPos.empty() && FParser.Size() > 0) {
        auto a = SourcePosToPoint(startPos), b = SourcePosToPoint(endPos);
        int p1 = FParser.LineColumnToPosition(a.X, a.Y), p2 = FParser.LineColumnToPosition(b.X, b.Y);
        if (p1 >= 1 && p2 >= p1 && p2 - 1 <= FParser.Size())
            x->Source = Trim(FParser.Text().substr(size_t(p1 - 1), size_t(p2 - p1)));
    }
    std::string errPos;
    if (!x->Finish(&errPos)) {
        if (!errPos.empty()) FLastPos = errPos;
        Error(x->MissingOperand() ? SExpressionExpected : SIncompatibleTypes);
    }
    return x;
}

std::unique_ptr<TfsSetExpression> TfsILParser::BuildSet(TfsXMLItem* element, TfsScript* script)
{
    auto s = std::make_unique<TfsSetExpression>();
    for (int i = 0; i < element->Count(); ++i) {
        TfsXMLItem* c = element->Items(i);
        if (c->Name() == "expr") s->Items.push_back(BuildExpression(c, script));
        else if (c->Name() == "range") s->Items.push_back(nullptr);
    }
    return s;
}

TfsStatement* TfsILParser::BuildBody(TfsXMLItem* element, TfsScript* script, TfsStatement* list)
{
    for (int i = 0; i < element->Count(); ++i) BuildStatement(element->Items(i), script, list);
    return list;
}

void TfsILParser::BuildStatement(TfsXMLItem* e, TfsScript* script, TfsStatement* list)
{
    const std::string& nm = e->Name();
    SetPos(e);
    const std::string pos = e->Prop("pos");
    bool executable = true;

    if (nm == "compoundstmt") {
        BuildBody(e, script, list);
        return;
    }
    if (nm == "var") {
        DeclareVars(e, script, list);
        return;
    }
    if (nm == "const") {
        DeclareConst(e, script);
        return;
    }
    if (nm == "procedure" || nm == "function") {
        TfsXMLItem* nameEl = Child(e, "name");
        auto* proc = dynamic_cast<TfsProcVariable*>(script->FindLocal(nameEl ? nameEl->Prop("text") : ""));
        if (!proc) return;
        LoopDepthGuard guard(FLoopDepth, 0);
        auto savedWith = FWithList;
        BuildBlock(e, proc->LocalScript);
        FWithList = savedWith;
        return;
    }
    if (nm == "uses") {
        std::string unit = e->Prop("unit");
        std::string text;
        if (FScript->OnGetILUnit) FScript->OnGetILUnit(FScript, unit, text);
        if (!text.empty()) {
            for (const auto& u : FHostTreeUnits)
                if (SameName(u, unit)) return;
            FHostTreeUnits.push_back(unit);
        }
        std::string savedUnit = FUnitName;
        TfsXMLItem* savedProgram = FProgramElement;
        FUnitName = unit;
        if (!text.empty()) {
            TfsXMLDocument doc;
            doc.LoadFromString(text);
            FProgramElement = doc.Root();
            BuildBlock(doc.Root(), script);
        } else {
            for (int i = 0; i < e->Count(); ++i) {
                FProgramElement = e->Items(i);
                BuildBlock(e->Items(i), script);
            }
        }
        FProgramElement = savedProgram;
        FUnitName = savedUnit;
        return;
    }

    std::unique_ptr<TfsStatement> st;
    if (nm == "assignstmt") {
        std::unique_ptr<TfsDesignator> d = BuildDesignator(e->Items(0), script, 0);
        std::string modif;
        if (e->Count() > 2 && e->Items(1)->Name() == "modificator") modif = e->Items(1)->Prop("text");
        SetPos(e->Items(0));
        if (d->IsReadOnly) Error(SLeftCantAssigned);
        std::unique_ptr<TfsExpression> x = BuildExpression(e->Items(e->Count() - 1), script);
        SetPos(e->Items(0));
        CheckAssign(d.get(), x.get(), script);
        if (modif.empty()) {
            std::string o = x->OptimizeAssignment(d.get());
            if (o != " ") modif = o;
        }
        std::unique_ptr<TfsAssignmentStmt> a;
        if (modif == "+" || modif == "-" || modif == "*" || modif == "/")
            a = std::make_unique<TfsAssignOpStmt>(script, pos, FUnitName, modif[0]);
        else
            a = std::make_unique<TfsAssignmentStmt>(script, pos, FUnitName);
        a->Setup(std::move(d), std::move(x));
        st = std::move(a);
    } else if (nm == "callstmt") {
        std::unique_ptr<TfsDesignator> d = BuildDesignator(e->Items(0), script, 0);
        std::string modif;
        if (e->Count() > 1) {
            std::string t = e->Items(1)->Prop("text");
            modif = t == "++" || t == "+" ? "+" : t == "--" || t == "-" ? "-" : "";
            if (!modif.empty() && d->IsReadOnly) Error(SLeftCantAssigned);
        }
        auto c = std::make_unique<TfsCallStmt>(script, pos, FUnitName);
        c->Designator = std::move(d);
        c->Modificator = modif;
        st = std::move(c);
    } else if (nm == "ifstmt") {
        auto s = std::make_unique<TfsIfStmt>(script, pos, FUnitName);
        s->Condition = BuildExpression(e->Items(0), script);
        for (int i = 1; i < e->Count(); ++i) {
            TfsXMLItem* c = e->Items(i);
            if (c->Name() == "thenstmt") BuildBody(c, script, s.get());
            else if (c->Name() == "elsestmt") BuildBody(c, script, s->ElseStatements.get());
        }
        st = std::move(s);
    } else if (nm == "casestmt") {
        auto s = std::make_unique<TfsCaseStmt>(script, pos, FUnitName);
        s->Condition = BuildExpression(e->Items(0), script);
        for (int i = 1; i < e->Count(); ++i) {
            TfsXMLItem* c = e->Items(i);
            if (c->Name() == "caseselector" && c->Count() >= 1) {
                auto sel = std::make_unique<TfsCaseSelector>(script, c->Prop("pos"), FUnitName);
                SetPos(c);
                sel->SetExpression = BuildSet(c->Items(0), script);
                for (int k = 1; k < c->Count(); ++k) BuildStatement(c->Items(k), script, sel.get());
                s->Add(std::move(sel));
            } else if (i == e->Count() - 1) {
                BuildStatement(c, script, s->ElseStatements.get());
            }
        }
        st = std::move(s);
    } else if (nm == "forstmt" || nm == "vbforstmt") {
        TfsXMLItem* id = e->Items(0);
        SetPos(id);
        TfsCustomVariable* v = script->Find(id->Prop("text"));
        if (!v && !NeedDeclareVars) {
            v = MakeVariable(id->Prop("text"), stVariant, "Variant");
            script->Add(id->Prop("text"), v);
        }
        if (!v) Error(SIdUndeclared + Quoted(id->Prop("text")));
        if (!IsValueHolder(v) || v->IsReadOnly || !(v->Kind == stInteger || v->Kind == stFloat || v->Kind == stVariant))
            Error(SForError);
        std::vector<TfsXMLItem*> exprs;
        std::vector<TfsXMLItem*> body;
        bool down = false;
        for (int i = 1; i < e->Count(); ++i) {
            TfsXMLItem* c = e->Items(i);
            if (c->Name() == "expr" && body.empty()) exprs.push_back(c);
            else if (c->Name() == "downto") down = true;
            else body.push_back(c);
        }
        if (exprs.size() < 2) Error(SIdUndeclared);
        auto buildChecked = [&](TfsXMLItem* x) {
            std::unique_ptr<TfsExpression> ex = BuildExpression(x, script);
            CheckAssign(v, ex.get(), script);
            return ex;
        };
        if (nm == "forstmt") {
            auto s = std::make_unique<TfsForStmt>(script, pos, FUnitName);
            s->Variable = v;
            s->Down = down;
            s->BeginValue = buildChecked(exprs[0]);
            s->EndValue = buildChecked(exprs[1]);
            LoopDepthGuard guard(FLoopDepth, FLoopDepth + 1);
            for (auto* b : body) BuildStatement(b, script, s.get());
            st = std::move(s);
        } else {
            auto s = std::make_unique<TfsVbForStmt>(script, pos, FUnitName);
            s->Variable = v;
            s->BeginValue = buildChecked(exprs[0]);
            s->EndValue = buildChecked(exprs[1]);
            if (exprs.size() > 2) s->Step = BuildExpression(exprs[2], script);
            LoopDepthGuard guard(FLoopDepth, FLoopDepth + 1);
            for (auto* b : body) BuildStatement(b, script, s.get());
            st = std::move(s);
        }
    } else if (nm == "cppforstmt") {
        auto s = std::make_unique<TfsCppForStmt>(script, pos, FUnitName);
        int i = 0;
        if (i < e->Count() && e->Items(i)->Name() != "expr") BuildStatement(e->Items(i++), script, s->FirstStatements.get());
        if (i < e->Count() && e->Items(i)->Name() == "expr") s->Condition = BuildExpression(e->Items(i++), script);
        if (!s->Condition) Error(SIdUndeclared);
        if (i < e->Count()) BuildStatement(e->Items(i++), script, s->SecondStatements.get());
        LoopDepthGuard guard(FLoopDepth, FLoopDepth + 1);
        for (; i < e->Count(); ++i) BuildStatement(e->Items(i), script, s.get());
        st = std::move(s);
    } else if (nm == "whilestmt") {
        auto s = std::make_unique<TfsWhileStmt>(script, pos, FUnitName);
        s->Condition = BuildExpression(e->Items(0), script);
        LoopDepthGuard guard(FLoopDepth, FLoopDepth + 1);
        for (int i = 1; i < e->Count(); ++i) BuildStatement(e->Items(i), script, s.get());
        st = std::move(s);
    } else if (nm == "repeatstmt") {
        auto s = std::make_unique<TfsRepeatStmt>(script, pos, FUnitName);
        int last = e->Count() - 1;
        if (last >= 0 && e->Items(last)->Name() == "inverse") {
            s->InverseCondition = true;
            --last;
        }
        if (last < 0 || e->Items(last)->Name() != "expr") Error(SIdUndeclared);
        {
            LoopDepthGuard guard(FLoopDepth, FLoopDepth + 1);
            for (int i = 0; i < last; ++i) BuildStatement(e->Items(i), script, s.get());
        }
        s->Condition = BuildExpression(e->Items(last), script);
        st = std::move(s);
    } else if (nm == "trystmt") {
        auto s = std::make_unique<TfsTryStmt>(script, pos, FUnitName);
        for (int i = 0; i < e->Count(); ++i) {
            TfsXMLItem* c = e->Items(i);
            if (c->Name() == "exceptstmt") {
                s->IsExcept = true;
                BuildBody(c, script, s->HandlerStatements.get());
            } else if (c->Name() == "finallystmt") {
                BuildBody(c, script, s->HandlerStatements.get());
            } else {
                BuildStatement(c, script, s.get());
            }
        }
        st = std::move(s);
    } else if (nm == "break" || nm == "continue") {
        // Outside a loop they would leave the rest of the routine pending.
        if (FLoopDepth == 0) Error(SBreakOutsideLoop);
        if (nm == "break") st = std::make_unique<TfsBreakStmt>(script, pos, FUnitName);
        else st = std::make_unique<TfsContinueStmt>(script, pos, FUnitName);
    } else if (nm == "exit") {
        st = std::make_unique<TfsExitStmt>(script, pos, FUnitName);
    } else if (nm == "return") {
        if (e->Count() > 0 && e->Items(0)->Name() == "expr") {
            TfsXMLItem assign;
            assign.SetName("assignstmt");
            assign.SetText("pos=\"" + pos + "\"");
            TfsXMLItem* dsgn = assign.Add();
            dsgn->SetName("dsgn");
            dsgn->SetText("pos=\"" + e->Items(0)->Prop("pos") + "\"");
            TfsXMLItem* node = dsgn->Add();
            node->SetName("node");
            node->SetText("text=\"Result\" pos=\"" + e->Items(0)->Prop("pos") + "\"");
            assign.Add()->Assign(e->Items(0));
            BuildStatement(&assign, script, list);
        }
        st = std::make_unique<TfsExitStmt>(script, pos, FUnitName);
    } else if (nm == "with") {
        size_t withCount = 0;
        for (int i = 0; i + 1 < e->Count(); ++i) {
            std::unique_ptr<TfsDesignator> d = BuildDesignator(e->Items(i), script, 0);
            if (d->Kind != stClass && d->Kind != stVariant) Error(SClassRequired);
            int k = 0;
            std::string hidden;
            for (;; ++k) {
                hidden = std::to_string(k);
                bool used = script->FindLocal(hidden) != nullptr;
                for (auto& w : FWithList)
                    if (w.VarName == hidden) used = true;
                if (!used) break;
            }
            TfsVariable* v = MakeVariable(hidden, d->Kind, d->TypeName);
            v->Value = Null();
            script->Add(hidden, v);
            auto ws = std::make_unique<TfsWithStmt>(script, e->Items(i)->Prop("pos"), FUnitName);
            ws->Designator = std::move(d);
            ws->Variable = v;
            FWithList.push_back({hidden, ws.get(), script});
            list->Add(std::move(ws));
            ++withCount;
        }
        if (e->Count() > 0) BuildStatement(e->Items(e->Count() - 1), script, list);
        FWithList.resize(FWithList.size() - withCount);
        return;
    } else if (nm == "delete") {
        if (e->Count() == 0) return;
        auto c = std::make_unique<TfsCallStmt>(script, pos, FUnitName);
        c->Designator = BuildDesignator(e->Items(0), script, 2);
        st = std::move(c);
    } else if (nm == "thenstmt" || nm == "elsestmt" || nm == "finallystmt" || nm == "exceptstmt") {
        BuildBody(e, script, list);
        return;
    } else {
        executable = false;
    }
    if (st) {
        list->Add(std::move(st));
        if (executable) FScript->AddCodeLine(FUnitName, pos);
    }
}
