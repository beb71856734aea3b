#include "fs_istatements.h"

#include "Exceptions.h"
#include "fs_iexpression.h"

#include <typeinfo>

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

TfsStatement::TfsStatement(TfsScript* script, const std::string& sourcePos, const std::string& unitName)
    : Script(script), SourcePosition(sourcePos), UnitName(unitName)
{
}

TfsStatement::~TfsStatement() = default;

void TfsStatement::Execute() { ExecuteItems(); }

// ---- assignments ------------------------------------------------------------------------

void TfsAssignmentStmt::Setup(std::unique_ptr<TfsDesignator> designator, std::unique_ptr<TfsExpression> expression)
{
    Designator = std::move(designator);
    Expression = std::move(expression);
    FTarget = dynamic_cast<TfsVariableDesignator*>(Designator.get()) ? Designator->LinkedItem : Designator.get();
    TfsCustomVariable* op = Expression->OperandItem();
    FSource = op ? op : Expression.get();
    if ((dynamic_cast<TfsVariable*>(FSource) && !dynamic_cast<TfsStringVariable*>(FSource)) ||
        dynamic_cast<TfsParamItem*>(FSource))
        FDirectSource = &FSource->Value;
    FStrTarget = dynamic_cast<TfsStringVariable*>(FTarget);
    auto* v = dynamic_cast<TfsVariable*>(FTarget);
    if (v && !FStrTarget && v->Kind == stInteger && typeid(*v) == typeid(TfsVariable)) FIntTarget = v;
    FExactInt = FIntTarget && FSource == Expression.get() && Expression->IsExactInt();
}

void TfsAssignmentStmt::Execute()
{
    RunLine();
    if (Script->Terminated) return;
    // An Integer variable keeps an integer as it comes: it is stored without
    // the variant round trip.
    if (FExactInt) {
        FIntTarget->Value = Variant(Expression->GetInt());
        return;
    }
    if (FIntTarget && FDirectSource && FDirectSource->VType() == varInteger) {
        FIntTarget->Value = *FDirectSource;
        return;
    }
    FTarget->SetValue(FSource->GetValue());
}

void TfsAssignOpStmt::Execute()
{
    RunLine();
    if (Script->Terminated) return;
    // Two Integer variables: the sum, difference or product wraps at 32 bits.
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
    ExecuteGeneral();
}

void TfsAssignOpStmt::ExecuteGeneral()
{
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
    : TfsStatement(script, pos, unit), ElseStatements(std::make_unique<TfsStatement>(script, pos, unit))
{
}

void TfsIfStmt::Execute()
{
    RunLine();
    if (Script->Terminated) return;
    if (Condition->GetBool()) ExecuteItems();
    else ElseStatements->ExecuteItems();   // a plain list
}

TfsCaseStmt::TfsCaseStmt(TfsScript* script, const std::string& pos, const std::string& unit)
    : TfsStatement(script, pos, unit), ElseStatements(std::make_unique<TfsStatement>(script, pos, unit))
{
}

void TfsCaseStmt::Execute()
{
    Variant v = Condition->GetValue();
    RunLine();
    if (Script->Terminated) return;
    for (const auto& st : FItems) {
        auto* sel = static_cast<TfsCaseSelector*>(st.get());
        if (sel->SetExpression->Contains(v)) {
            sel->Execute();
            return;
        }
    }
    ElseStatements->Execute();
}

// ---- loops -----------------------------------------------------------------------------------

void TfsRepeatStmt::Execute()
{
    RunLine();
    if (Script->Terminated) return;
    TfsScript* s = Script;
    for (;;) {
        ExecuteItems();
        if (s->BreakRequested || s->ExitRequested || s->Terminated) break;
        s->ContinueRequested = false;
        if (Condition->GetBool() != InverseCondition) break;
    }
    s->BreakRequested = false;
}

void TfsWhileStmt::Execute()
{
    RunLine();
    if (Script->Terminated) return;
    TfsScript* s = Script;
    while (Condition->GetBool()) {
        ExecuteItems();
        if (s->BreakRequested || s->ExitRequested || s->Terminated) break;
        s->ContinueRequested = false;
    }
    s->BreakRequested = false;
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
    // A body of one statement runs without the list's checks between statements.
    TfsStatement* only = FItems.size() == 1 ? FItems[0].get() : nullptr;
    for (int64_t k = 0; k < passes; ++k) {
        Variable->Value = Variant(counter);
        if (only) only->Execute();
        else ExecuteItems();
        if (s->BreakRequested || s->ExitRequested || s->Terminated) break;
        s->ContinueRequested = false;
        counter = Down ? counter - 1 : counter + 1;
    }
    s->BreakRequested = false;
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
    : TfsStatement(script, pos, unit), FirstStatements(std::make_unique<TfsStatement>(script, pos, unit)),
      SecondStatements(std::make_unique<TfsStatement>(script, pos, unit))
{
}

void TfsCppForStmt::Execute()
{
    RunLine();
    if (Script->Terminated) return;
    TfsScript* s = Script;
    FirstStatements->Execute();
    if (s->Terminated) return;
    while (Condition->GetBool()) {
        ExecuteItems();
        if (s->BreakRequested || s->ExitRequested || s->Terminated) break;
        s->ContinueRequested = false;
        SecondStatements->Execute();
    }
    s->BreakRequested = false;
}

// ---- try ---------------------------------------------------------------------------------------

TfsTryStmt::TfsTryStmt(TfsScript* script, const std::string& pos, const std::string& unit)
    : TfsStatement(script, pos, unit), HandlerStatements(std::make_unique<TfsStatement>(script, pos, unit))
{
}

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

void TfsWithStmt::Execute()
{
    ExecuteItems();
    Variable->SetValue(Designator->GetValue());
}
