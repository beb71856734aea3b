// Statement objects. A compiled script is a tree of them; execution is a
// recursive walk, with break, continue, exit and termination kept as flags of
// the running script.
#pragma once

#include "fs_iexpression.h"
#include "fs_iinterpreter.h"

#include <memory>
#include <string>
#include <vector>

class TfsStatement : public TObject {
    QZ_CLASS(TfsStatement, TObject)
public:
    TfsStatement(TfsScript* script, const std::string& sourcePos, const std::string& unitName);
    ~TfsStatement() override;
    virtual void Execute();
    void Add(std::unique_ptr<TfsStatement> statement) { FItems.push_back(std::move(statement)); }
    int Count() const { return int(FItems.size()); }
    TfsStatement* Items(int index) const { return FItems[size_t(index)].get(); }
    void Clear() { FItems.clear(); }

    TfsScript* Script;
    std::string SourcePosition;
    std::string UnitName;

    // Runs the statements in order until one breaks, continues, exits or
    // terminates (what a plain list's Execute does).
    void ExecuteItems()
    {
        TfsScript* s = Script;
        for (const auto& st : FItems) {
            if (s->Terminated) break;
            st->Execute();
            if (s->BreakRequested || s->ContinueRequested || s->ExitRequested) break;
        }
    }

protected:
    // Reports the position to the line handler, if any script up the chain has one.
    void RunLine()
    {
        if (TfsRunLineEvent::Armed() == 0) return;
        for (TfsScript* s = Script; s; s = s->Parent)
            if (s->OnRunLine) {
                Script->RunLine(UnitName, SourcePosition);
                return;
            }
    }
    std::vector<std::unique_ptr<TfsStatement>> FItems;
};

class TfsAssignmentStmt : public TfsStatement {
    QZ_CLASS(TfsAssignmentStmt, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    void Execute() override;
    // Takes the designator and expression and picks the fast references.
    void Setup(std::unique_ptr<TfsDesignator> designator, std::unique_ptr<TfsExpression> expression);
    std::unique_ptr<TfsDesignator> Designator;
    std::unique_ptr<TfsExpression> Expression;
protected:
    TfsCustomVariable* FTarget = nullptr;
    TfsCustomVariable* FSource = nullptr;
    class TfsStringVariable* FStrTarget = nullptr;   // the target when it is a string variable
    TfsVariable* FIntTarget = nullptr;                // the target when it is an Integer variable
    const Variant* FDirectSource = nullptr;           // the source's value when it is a plain variable
    bool FExactInt = false;                           // an Integer target of an exact integer expression
};

// x += y and friends; op is '+', '-', '*' or '/'.
class TfsAssignOpStmt : public TfsAssignmentStmt {
    QZ_CLASS(TfsAssignOpStmt, TfsAssignmentStmt)
public:
    TfsAssignOpStmt(TfsScript* script, const std::string& pos, const std::string& unit, char op)
        : TfsAssignmentStmt(script, pos, unit), Op(op) {}
    void Execute() override;
    char Op;
private:
    [[gnu::noinline]] void ExecuteGeneral();
};

class TfsCallStmt : public TfsStatement {
    QZ_CLASS(TfsCallStmt, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    void Execute() override;
    std::unique_ptr<TfsDesignator> Designator;
    std::string Modificator;
};

class TfsIfStmt : public TfsStatement {
    QZ_CLASS(TfsIfStmt, TfsStatement)
public:
    TfsIfStmt(TfsScript* script, const std::string& pos, const std::string& unit);
    void Execute() override;
    std::unique_ptr<TfsExpression> Condition;
    std::unique_ptr<TfsStatement> ElseStatements;
};

class TfsCaseSelector : public TfsStatement {
    QZ_CLASS(TfsCaseSelector, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    std::unique_ptr<TfsSetExpression> SetExpression;
};

class TfsCaseStmt : public TfsStatement {
    QZ_CLASS(TfsCaseStmt, TfsStatement)
public:
    TfsCaseStmt(TfsScript* script, const std::string& pos, const std::string& unit);
    void Execute() override;
    std::unique_ptr<TfsExpression> Condition;
    std::unique_ptr<TfsStatement> ElseStatements;
};

class TfsRepeatStmt : public TfsStatement {
    QZ_CLASS(TfsRepeatStmt, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    void Execute() override;
    std::unique_ptr<TfsExpression> Condition;
    bool InverseCondition = false;
};

class TfsWhileStmt : public TfsStatement {
    QZ_CLASS(TfsWhileStmt, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    void Execute() override;
    std::unique_ptr<TfsExpression> Condition;
};

class TfsForStmt : public TfsStatement {
    QZ_CLASS(TfsForStmt, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    void Execute() override;
    std::unique_ptr<TfsExpression> BeginValue;
    bool Down = false;
    std::unique_ptr<TfsExpression> EndValue;
    TfsCustomVariable* Variable = nullptr;   // an item of the script
};

class TfsVbForStmt : public TfsStatement {
    QZ_CLASS(TfsVbForStmt, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    void Execute() override;
    std::unique_ptr<TfsExpression> BeginValue;
    std::unique_ptr<TfsExpression> EndValue;
    std::unique_ptr<TfsExpression> Step;
    TfsCustomVariable* Variable = nullptr;   // an item of the script
};

class TfsCppForStmt : public TfsStatement {
    QZ_CLASS(TfsCppForStmt, TfsStatement)
public:
    TfsCppForStmt(TfsScript* script, const std::string& pos, const std::string& unit);
    void Execute() override;
    std::unique_ptr<TfsStatement> FirstStatements;
    std::unique_ptr<TfsExpression> Condition;
    std::unique_ptr<TfsStatement> SecondStatements;
};

class TfsTryStmt : public TfsStatement {
    QZ_CLASS(TfsTryStmt, TfsStatement)
public:
    TfsTryStmt(TfsScript* script, const std::string& pos, const std::string& unit);
    void Execute() override;
    bool IsExcept = false;
    std::unique_ptr<TfsStatement> HandlerStatements;
};

class TfsBreakStmt : public TfsStatement {
    QZ_CLASS(TfsBreakStmt, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    void Execute() override { Script->BreakRequested = true; }
};

class TfsContinueStmt : public TfsStatement {
    QZ_CLASS(TfsContinueStmt, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    void Execute() override { Script->ContinueRequested = true; }
};

class TfsExitStmt : public TfsStatement {
    QZ_CLASS(TfsExitStmt, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    void Execute() override { Script->ExitRequested = true; }
};

class TfsWithStmt : public TfsStatement {
    QZ_CLASS(TfsWithStmt, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    void Execute() override;
    std::unique_ptr<TfsDesignator> Designator;
    TfsCustomVariable* Variable = nullptr;   // an item of the script
};
