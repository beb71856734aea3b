#include "fs_istatements.h"

#include "Exceptions.h"
#include "fs_iexpression.h"

QZ_CLASS_IMPL(TfsStatement, TObject)
QZ_CLASS_IMPL(TfsAssignmentStmt, TfsStatement)
QZ_CLASS_IMPL(TfsAssignOpStmt, TfsAssignmentStmt)
QZ_CLASS_IMPL(TfsCallStmt, TfsStatement)
QZ_CLASS_IMPL(TfsIfStmt, TfsStatement)
QZ_CLASS_IMPL(TfsCaseSelector, TfsStatement)
QZ_CLASS_IMPL(TfsCaseStmt, TfsStatement)
QZ_CLASS_IMPL(TfsRepeatStmt, TfsStatement)
QZ_CLASS_IMPL(TfsWhileStmt, TfsStatement)
QZ_CLASS_IMPL(TfsForStmt, TfsStatement)
QZ_CLASS_IMPL(TfsVbForStmt, TfsStatement)
QZ_CLASS_IMPL(TfsCppForStmt, TfsStatement)
QZ_CLASS_IMPL(TfsTryStmt, TfsStatement)
QZ_CLASS_IMPL(TfsBreakStmt, TfsStatement)
QZ_CLASS_IMPL(TfsContinueStmt, TfsStatement)
QZ_CLASS_IMPL(TfsExitStmt, TfsStatement)
QZ_CLASS_IMPL(TfsWithStmt, TfsStatement)

namespace {
// Conditions are always built as TfsExpression.
inline bool IsTrue(TfsCustomExpression* condition) { return static_cast<TfsExpression*>(condition)->GetBool(); }
}  // namespace

TfsStatement::TfsStatement(TfsScript* script, const std::string& sourcePos, const std::string& unitName)
    : Script(script), SourcePosition(sourcePos), UnitName(unitName)
{
}

TfsStatement::~TfsStatement() { Clear(); }

void TfsStatement::Clear()
{
    for (auto* s : FItems) delete s;
    FItems.clear();
}

void TfsStatement::ExecuteItems()
{
    TfsScript* s = Script;
    for (TfsStatement* st : FItems) {
        if (s->Terminated) break;
        st->Execute();
        if (s->BreakRequested || s->ContinueRequested || s->ExitRequested) break;
    }
}

void TfsStatement::Execute() { ExecuteItems(); }

// ---- assignments ------------------------------------------------------------------------

TfsAssignmentStmt::~TfsAssignmentStmt()
{
    delete Designator;
    delete Expression;
}

void TfsAssignmentStmt::Setup(TfsDesignator* designator, TfsCustomExpression* expression)
{
    Designator = designator;
    Expression = expression;
    FTarget = dynamic_cast<TfsVariableDesignator*>(designator) ? designator->LinkedItem : designator;
    auto* e = dynamic_cast<TfsExpression*>(expression);
    TfsCustomVariable* op = e ? e->OperandItem() : nullptr;
    FSource = op ? op : expression;
    if ((dynamic_cast<TfsVariable*>(FSource) && !dynamic_cast<TfsStringVariable*>(FSource)) ||
        dynamic_cast<TfsParamItem*>(FSource))
        FDirectSource = &FSource->Value;
    FStrTarget = dynamic_cast<TfsStringVariable*>(FTarget);
    auto* v = dynamic_cast<TfsVariable*>(FTarget);
    if (v && !FStrTarget && v->Kind == stInteger) FIntTarget = v;
}

void TfsAssignmentStmt::Execute()
{
    RunLine();
    if (Script->Terminated) return;
    FTarget->SetValue(FSource->GetValue());
}

void TfsAssignOpStmt::Execute()
{
    RunLine();
    if (Script->Terminated) return;
    if (FIntTarget && FDirectSource && FIntTarget->Value.VType() == varInteger &&
        FDirectSource->VType() == varInteger) {
        uint32_t a = uint32_t(FIntTarget->Value.RawInt()), b = uint32_t(FDirectSource->RawInt());
        switch (Op) {
        case '+': FIntTarget->Value = Variant(int32_t(a + b)); return;
        case '-': FIntTarget->Value = Variant(int32_t(a - b)); return;
        case '*': FIntTarget->Value = Variant(int32_t(a * b)); return;
        default: break;
        }
    }
    Variant r = FSource->GetValue();
    // Strings grow in place: s := s + t appends without copying s.
    if (Op == '+' && FStrTarget) {
        if (r.VType() == varString) FStrTarget->Str += r.RawString();
        else FStrTarget->Str += VarToStr(r);
        return;
    }
    if (FIntTarget && FIntTarget->Value.VType() == varInteger && r.VType() == varInteger) {
        uint32_t a = uint32_t(FIntTarget->Value.RawInt()), b = uint32_t(r.RawInt());
        switch (Op) {
        case '+': FIntTarget->Value = Variant(int32_t(a + b)); return;
        case '-': FIntTarget->Value = Variant(int32_t(a - b)); return;
        case '*': FIntTarget->Value = Variant(int32_t(a * b)); return;
        default: break;
        }
    }
    Variant l = FTarget->GetValue();
    if (FTarget->Kind == stInteger && l.VType() == varInteger && r.VType() == varInteger) {
        uint32_t a = uint32_t(l.RawInt()), b = uint32_t(r.RawInt());
        switch (Op) {
        case '+': FTarget->SetValue(Variant(int32_t(a + b))); return;
        case '-': FTarget->SetValue(Variant(int32_t(a - b))); return;
        case '*': FTarget->SetValue(Variant(int32_t(a * b))); return;
        default: break;
        }
    }
    TfsOperatorCode code = Op == '+' ? ocPlus : Op == '-' ? ocMinus : Op == '*' ? ocMul : ocDivFloat;
    FTarget->SetValue(fs_iexpression::Compute(code, l, r));
}

// ---- calls -----------------------------------------------------------------------------------

TfsCallStmt::~TfsCallStmt() { delete Designator; }

void TfsCallStmt::Execute()
{
    RunLine();
    if (Script->Terminated) return;
    if (Modificator.empty()) {
        Designator->WantsResult = false;
        Designator->GetValue();
        return;
    }
    Variant v = Designator->GetValue();
    Designator->SetValue(fs_iexpression::Compute(Modificator == "+" ? ocPlus : ocMinus, v, Variant(1)));
}

// ---- conditions -----------------------------------------------------------------------------

TfsIfStmt::TfsIfStmt(TfsScript* script, const std::string& pos, const std::string& unit)
    : TfsStatement(script, pos, unit), ElseStatements(new TfsStatement(script, pos, unit))
{
}

TfsIfStmt::~TfsIfStmt()
{
    delete Condition;
    delete ElseStatements;
}

void TfsIfStmt::Execute()
{
    RunLine();
    if (Script->Terminated) return;
    if (IsTrue(Condition)) ExecuteItems();
    else ElseStatements->Execute();
}

TfsCaseSelector::~TfsCaseSelector() { delete SetExpression; }

TfsCaseStmt::TfsCaseStmt(TfsScript* script, const std::string& pos, const std::string& unit)
    : TfsStatement(script, pos, unit), ElseStatements(new TfsStatement(script, pos, unit))
{
}

TfsCaseStmt::~TfsCaseStmt()
{
    delete Condition;
    delete ElseStatements;
}

void TfsCaseStmt::Execute()
{
    Variant v = Condition->GetValue();
    RunLine();
    if (Script->Terminated) return;
    for (TfsStatement* st : FItems) {
        auto* sel = static_cast<TfsCaseSelector*>(st);
        if (sel->SetExpression->Contains(v)) {
            sel->Execute();
            return;
        }
    }
    ElseStatements->Execute();
}

// ---- loops -----------------------------------------------------------------------------------

TfsRepeatStmt::~TfsRepeatStmt() { delete Condition; }

void TfsRepeatStmt::Execute()
{
    RunLine();
    if (Script->Terminated) return;
    TfsScript* s = Script;
    for (;;) {
        ExecuteItems();
        if (s->BreakRequested || s->ExitRequested || s->Terminated) break;
        s->ContinueRequested = false;
        if (IsTrue(Condition) != InverseCondition) break;
    }
    s->BreakRequested = false;
}

TfsWhileStmt::~TfsWhileStmt() { delete Condition; }

void TfsWhileStmt::Execute()
{
    RunLine();
    if (Script->Terminated) return;
    TfsScript* s = Script;
    while (IsTrue(Condition)) {
        ExecuteItems();
        if (s->BreakRequested || s->ExitRequested || s->Terminated) break;
        s->ContinueRequested = false;
    }
    s->BreakRequested = false;
}

TfsForStmt::~TfsForStmt()
{
    delete BeginValue;
    delete EndValue;
}

void TfsForStmt::Execute()
{
    int32_t b = BeginValue->GetValue().AsInteger();
    int32_t e = EndValue->GetValue().AsInteger();
    RunLine();
    if (Script->Terminated) return;
    TfsScript* s = Script;
    if (Down ? b < e : b > e) return;
    int64_t passes = Down ? int64_t(b) - e + 1 : int64_t(e) - b + 1;
    int32_t counter = b;
    for (int64_t k = 0; k < passes; ++k) {
        Variable->Value = Variant(counter);
        ExecuteItems();
        if (s->BreakRequested || s->ExitRequested || s->Terminated) break;
        s->ContinueRequested = false;
        counter = Down ? counter - 1 : counter + 1;
    }
    s->BreakRequested = false;
}

TfsVbForStmt::~TfsVbForStmt()
{
    delete BeginValue;
    delete EndValue;
    delete Step;
}

void TfsVbForStmt::Execute()
{
    Variant counter = BeginValue->GetValue();
    Variant endValue = EndValue->GetValue();
    Variant step = Step ? Step->GetValue() : Variant(1);
    RunLine();
    if (Script->Terminated) return;
    TfsScript* s = Script;
    const bool negative = VarCmpOp(step, Variant(0), opCmpLT);
    while (negative ? VarCmpOp(counter, endValue, opCmpGE) : VarCmpOp(counter, endValue, opCmpLE)) {
        Variable->SetValue(counter);
        ExecuteItems();
        if (s->BreakRequested || s->ExitRequested || s->Terminated) break;
        s->ContinueRequested = false;
        counter = VarBinaryOp(counter, step, opAdd);
    }
    s->BreakRequested = false;
}

TfsCppForStmt::TfsCppForStmt(TfsScript* script, const std::string& pos, const std::string& unit)
    : TfsStatement(script, pos, unit), FirstStatements(new TfsStatement(script, pos, unit)),
      SecondStatements(new TfsStatement(script, pos, unit))
{
}

TfsCppForStmt::~TfsCppForStmt()
{
    delete FirstStatements;
    delete Condition;
    delete SecondStatements;
}

void TfsCppForStmt::Execute()
{
    RunLine();
    if (Script->Terminated) return;
    TfsScript* s = Script;
    FirstStatements->Execute();
    if (s->Terminated) return;
    while (IsTrue(Condition)) {
        ExecuteItems();
        if (s->BreakRequested || s->ExitRequested || s->Terminated) break;
        s->ContinueRequested = false;
        SecondStatements->Execute();
    }
    s->BreakRequested = false;
}

// ---- try ---------------------------------------------------------------------------------------

TfsTryStmt::TfsTryStmt(TfsScript* script, const std::string& pos, const std::string& unit)
    : TfsStatement(script, pos, unit), HandlerStatements(new TfsStatement(script, pos, unit))
{
}

TfsTryStmt::~TfsTryStmt() { delete HandlerStatements; }

void TfsTryStmt::Execute()
{
    RunLine();
    if (Script->Terminated) return;
    TfsScript* s = Script;
    if (IsExcept) {
        try {
            ExecuteItems();
        } catch (const std::exception&) {
            // The error is discarded; the except part runs in its place.
            HandlerStatements->Execute();
        }
        return;
    }
    // Break, continue and exit pending when the finally part starts are set
    // aside while it runs and restored afterwards.
    auto runFinally = [&] {
        bool brk = s->BreakRequested, cont = s->ContinueRequested, ex = s->ExitRequested;
        s->BreakRequested = s->ContinueRequested = s->ExitRequested = false;
        HandlerStatements->Execute();
        s->BreakRequested = s->BreakRequested || brk;
        s->ContinueRequested = s->ContinueRequested || cont;
        s->ExitRequested = s->ExitRequested || ex;
    };
    try {
        ExecuteItems();
    } catch (...) {
        runFinally();
        throw;
    }
    runFinally();
}

// ---- with --------------------------------------------------------------------------------------

TfsWithStmt::~TfsWithStmt() { delete Designator; }

void TfsWithStmt::Execute()
{
    ExecuteItems();
    Variable->SetValue(Designator->GetValue());
}
