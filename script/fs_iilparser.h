// The compiler. It works in two stages: a grammar-driven walker reads the
// source with the tokenizer under the control of a grammar document and
// writes the program tree, the same for all four languages; the builder then
// turns the tree into items, expressions and statements inside the script.
#pragma once

#include "fs_iinterpreter.h"
#include "fs_iparser.h"

#include <memory>
#include <string>
#include <vector>

class TfsXMLDocument;
class TfsXMLItem;
class TfsDesignator;
class TfsExpression;
class TfsSetExpression;
class TfsStatement;
class TfsWithStmt;

class TfsILParser {
public:
    explicit TfsILParser(TfsScript* script);
    ~TfsILParser();

    void SelectLanguage(const std::string& name);
    bool BuildProgramTree(const std::string& text);
    void BuildProgram();

    TfsXMLDocument* ProgramTree() const { return FProgram.get(); }
    TfsParser& Parser() { return FParser; }
    const std::string& LanguageName() const { return FLanguage; }

    // Building (also used at run time to resolve late-bound designators).
    std::unique_ptr<TfsDesignator> BuildDesignator(TfsXMLItem* element, TfsScript* script, int mode);
    std::unique_ptr<TfsExpression> BuildExpression(TfsXMLItem* element, TfsScript* script);
    std::unique_ptr<TfsSetExpression> BuildSet(TfsXMLItem* element, TfsScript* script);
    void BuildStatement(TfsXMLItem* element, TfsScript* script, TfsStatement* list);
    void BuildBlock(TfsXMLItem* element, TfsScript* script);

    // For late binding: the element the types come from and the unit name.
    void SetBuildContext(TfsXMLItem* programElement, const std::string& unitName);
    bool NeedDeclareVars = true;
    // Building a late-bound designator while the script runs: names are
    // resolved by the values they hold now.
    bool RunTimeBuild = false;

private:
    // ---- walking
    struct GrammarNode;
    struct Grammar;
    bool Match(const GrammarNode* e);
    bool MatchLoop(const GrammarNode* e);
    void RecordError(const GrammarNode* e, int pos);
    std::string PosAfterBlanks(int pos);
    void Emit(const std::string& line) { FLines.push_back(line); }
    void CloseNode(const std::string& node, bool success, int entryPos, size_t entryLine);
    void LoadUnit(const std::string& unitName, size_t lineIndex);

    // ---- building
    void DeclareRoutines(TfsXMLItem* element, TfsScript* script);
    void DeclareRoutine(TfsXMLItem* element, TfsScript* script);
    void DeclareVars(TfsXMLItem* element, TfsScript* script, TfsStatement* list);
    void DeclareConst(TfsXMLItem* element, TfsScript* script);
    std::string ResolveTypeAlias(const std::string& typeName) const;
    void CheckParams(TfsDesignator* d, TfsScript* script);
    void CheckAssign(TfsCustomVariable* target, TfsCustomVariable* source, TfsScript* script);
    TfsStatement* BuildBody(TfsXMLItem* element, TfsScript* script, TfsStatement* list = nullptr);
    void BuildLoopBody(TfsXMLItem* element, TfsScript* script, TfsStatement* list);
    void SetPos(TfsXMLItem* element);
    [[noreturn]] void Error(const std::string& msg);

    TfsScript* FScript;
    std::shared_ptr<Grammar> FGrammar;
    std::unique_ptr<TfsXMLDocument> FProgram;
    TfsParser FParser;
    std::string FLanguage;
    std::vector<std::string> FUsedUnits;
    std::string FUnitName;
    // Units built from program trees the host gave: one that names itself
    // among its units, directly or through others, is built once.
    std::vector<std::string> FHostTreeUnits;

    // walk state
    std::vector<std::string> FLines;
    std::string FErrorMsg;
    std::string FErrorPos;
    bool FErrorTerm = false;
    int FErrorSerial = 0;   // counts recorded errors
    int FMatchDepth = 0;

    // build state
    TfsXMLItem* FProgramElement = nullptr;
    struct WithEntry {
        std::string VarName;
        TfsWithStmt* Stmt;
        TfsScript* Script;
    };
    std::vector<WithEntry> FWithList;
    std::string FLastPos;
    int FLoopDepth = 0;
};
