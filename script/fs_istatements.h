// Statement objects. A compiled script is a tree of them; execution is a
// recursive walk, with break, continue, exit and termination kept as flags of
// the running script.
#pragma once

#include "fs_iinterpreter.h"

#include <string>
#include <vector>

class TfsDesignator;
class TfsSetExpression;

class TfsStatement : public TObject {
    QZ_CLASS(TfsStatement, TObject)
public:
    TfsStatement(TfsScript* script, const std::string& sourcePos, const std::string& unitName);
    ~TfsStatement() override;
    virtual void Execute();
    void Add(TfsStatement* statement) { FItems.push_back(statement); }
    int Count() const { return int(FItems.size()); }
    TfsStatement* Items(int index) const { return FItems[size_t(index)]; }
    void Clear();

    TfsScript* Script;
    std::string SourcePosition;
    std::string UnitName;

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
    void ExecuteItems();
    std::vector<TfsStatement*> FItems;
};

class TfsAssignmentStmt : public TfsStatement {
    QZ_CLASS(TfsAssignmentStmt, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    ~TfsAssignmentStmt() override;
    void Execute() override;
    // Takes the designator and expression and picks the fast references.
    void Setup(TfsDesignator* designator, TfsCustomExpression* expression);
    TfsDesignator* Designator = nullptr;
    TfsCustomExpression* Expression = nullptr;
protected:
    TfsCustomVariable* FTarget = nullptr;
    TfsCustomVariable* FSource = nullptr;
    class TfsStringVariable* FStrTarget = nullptr;   // the target when it is a string variable
    TfsVariable* FIntTarget = nullptr;                // the target when it is an Integer variable
    const Variant* FDirectSource = nullptr;           // the source's value when it is a plain variable
};

// x += y and friends; op is '+', '-', '*' or '/'.
class TfsAssignOpStmt : public TfsAssignmentStmt {
    QZ_CLASS(TfsAssignOpStmt, TfsAssignmentStmt)
public:
    TfsAssignOpStmt(TfsScript* script, const std::string& pos, const std::string& unit, char op)
        : TfsAssignmentStmt(script, pos, unit), Op(op) {}
    void Execute() override;
    char Op;
};

class TfsCallStmt : public TfsStatement {
    QZ_CLASS(TfsCallStmt, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    ~TfsCallStmt() override;
    void Execute() override;
    TfsDesignator* Designator = nullptr;
    std::string Modificator;
};

class TfsIfStmt : public TfsStatement {
    QZ_CLASS(TfsIfStmt, TfsStatement)
public:
    TfsIfStmt(TfsScript* script, const std::string& pos, const std::string& unit);
    ~TfsIfStmt() override;
    void Execute() override;
    TfsCustomExpression* Condition = nullptr;
    TfsStatement* ElseStatements;
};

class TfsCaseSelector : public TfsStatement {
    QZ_CLASS(TfsCaseSelector, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    ~TfsCaseSelector() override;
    TfsSetExpression* SetExpression = nullptr;
};

class TfsCaseStmt : public TfsStatement {
    QZ_CLASS(TfsCaseStmt, TfsStatement)
public:
    TfsCaseStmt(TfsScript* script, const std::string& pos, const std::string& unit);
    ~TfsCaseStmt() override;
    void Execute() override;
    TfsCustomExpression* Condition = nullptr;
    TfsStatement* ElseStatements;
};

class TfsRepeatStmt : public TfsStatement {
    QZ_CLASS(TfsRepeatStmt, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    ~TfsRepeatStmt() override;
    void Execute() override;
    TfsCustomExpression* Condition = nullptr;
    bool InverseCondition = false;
};

class TfsWhileStmt : public TfsStatement {
    QZ_CLASS(TfsWhileStmt, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    ~TfsWhileStmt() override;
    void Execute() override;
    TfsCustomExpression* Condition = nullptr;
};

class TfsForStmt : public TfsStatement {
    QZ_CLASS(TfsForStmt, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    ~TfsForStmt() override;
    void Execute() override;
    TfsCustomExpression* BeginValue = nullptr;
    bool Down = false;
    TfsCustomExpression* EndValue = nullptr;
    TfsCustomVariable* Variable = nullptr;
};

class TfsVbForStmt : public TfsStatement {
    QZ_CLASS(TfsVbForStmt, TfsStatement)
public:
    using TfsStatement::TfsStatement;
    ~TfsVbForStmt() override;
    void Execute() override;
    TfsCustomExpression* BeginValue = nullptr;
    TfsCustomExpression* EndValue = nullptr;
    TfsCustomExpression* Step = nullptr;
    TfsCustomVariable* Variable = nullptr;
};

class TfsCppForStmt : public TfsStatement {
    QZ_CLASS(TfsCppForStmt, TfsStatement)
public:
    TfsCppForStmt(TfsScript* script, const std::string& pos, const std::string& unit);
    ~TfsCppForStmt() override;
    void Execute() override;
    TfsStatement* FirstStatements;
    TfsCustomExpression* Condition = nullptr;
    TfsStatement* SecondStatements;
};

class TfsTryStmt : public TfsStatement {
    QZ_CLASS(TfsTryStmt, TfsStatement)
public:
    TfsTryStmt(TfsScript* script, const std::string& pos, const std::string& unit);
    ~TfsTryStmt() override;
    void Execute() override;
    bool IsExcept = false;
    TfsStatement* HandlerStatements;
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
    ~TfsWithStmt() override;
    void Execute() override;
    TfsDesignator* Designator = nullptr;
    TfsCustomVariable* Variable = nullptr;
};
