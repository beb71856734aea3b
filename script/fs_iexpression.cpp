#include "fs_iexpression.h"

#include "Exceptions.h"
#include "fs_common.h"
#include "fs_iilparser.h"
#include "fs_itools.h"
#include "fs_xml.h"

#include <cmath>
#include <optional>
#include <typeinfo>

using namespace fs_common;
using namespace fs_itools;
using namespace fs_iinterpreter;

QZ_CLASS_IMPL(TfsExpression, TfsCustomExpression)
QZ_CLASS_IMPL(TfsDesignator, TfsCustomVariable)
QZ_CLASS_IMPL(TfsVariableDesignator, TfsDesignator)
QZ_CLASS_IMPL(TfsStringDesignator, TfsDesignator)
QZ_CLASS_IMPL(TfsArrayDesignator, TfsDesignator)
QZ_CLASS_IMPL(TfsProcCallDesignator, TfsDesignator)
QZ_CLASS_IMPL(TfsSetExpression, TfsCustomVariable)

// ---- nodes ----------------------------------------------------------------------------

namespace {
inline int32_t IntOf(const Variant& v)
{
    return v.VType() == varInteger ? int32_t(v.RawInt()) : int32_t(v.AsInt64());
}
inline bool BoolOf(const Variant& v)
{
    if (v.VType() == varBoolean) return v.RawBool();
    if (v.IsNull() || v.IsEmpty()) return false;
    return v.AsBoolean();
}
}  // namespace

int32_t TfsExpressionNode::GetInt() { return IntOf(GetValue()); }
bool TfsExpressionNode::GetBool() { return BoolOf(GetValue()); }

namespace {

class TfsOperandNode : public TfsExpressionNode {
public:
    explicit TfsOperandNode(const Variant& v) : Value(v)
    {
        TVarType t = v.VType();
        if (t == varBoolean) Kind = stBoolean;
        else if (t == varSingle || t == varDouble || t == varCurrency) Kind = stFloat;
        else if (t == varString || t == varOleStr) Kind = stString;
        else Kind = stInteger;
    }
    Variant GetValue() override { return Value; }
    int32_t GetInt() override { return Value.VType() == varInteger ? int32_t(Value.RawInt()) : IntOf(Value); }
    bool ExactInt() const override { return Value.VType() == varInteger; }
    int Priority() const override { return 0; }
    Variant Value;
};

class TfsDesignatorNode : public TfsExpressionNode {
public:
    explicit TfsDesignatorNode(std::unique_ptr<TfsDesignator> designator) : Designator(std::move(designator))
    {
        TfsDesignator* d = Designator.get();
        Kind = d->Kind;
        TypeName = d->TypeName;
        ProcCall = dynamic_cast<TfsProcCallDesignator*>(d);
        if (dynamic_cast<TfsVariableDesignator*>(d)) {
            Var = d->LinkedItem;
            // Plain variables and parameters hold their value in Value.
            if ((dynamic_cast<TfsVariable*>(Var) && !dynamic_cast<TfsStringVariable*>(Var)) ||
                dynamic_cast<TfsParamItem*>(Var))
                Direct = &Var->Value;
        }
    }
    Variant GetValue() override
    {
        if (Direct) return *Direct;
        return Var ? Var->GetValue() : Designator->GetValue();
    }
    int32_t GetInt() override
    {
        if (Direct && Direct->VType() == varInteger) return int32_t(Direct->RawInt());
        if (ProcCall) return ProcCall->GetInt();
        return IntOf(GetValue());
    }
    const Variant* Direct = nullptr;
    TfsProcCallDesignator* ProcCall = nullptr;   // a call of a script routine
    int Priority() const override { return 0; }
    std::unique_ptr<TfsDesignator> Designator;
    TfsCustomVariable* Var = nullptr;
};

class TfsSetNode : public TfsExpressionNode {
public:
    explicit TfsSetNode(std::unique_ptr<TfsSetExpression> s) : Set(std::move(s)) { Kind = stVariant; }
    Variant GetValue() override { return Set->GetValue(); }
    int Priority() const override { return 0; }
    std::unique_ptr<TfsSetExpression> Set;
};

int PriorityOf(TfsOperatorCode op)
{
    switch (op) {
    case ocNone: return 9;
    case ocLeftBracket: return 8;
    case ocRightBracket: return 7;
    case ocLogOr: return 6;
    case ocLogAnd: return 5;
    case ocGreat: case ocLess: case ocLessEq: case ocGreatEq: case ocNonEq: case ocEq: case ocIn: case ocIs:
        return 4;
    case ocPlus: case ocMinus: case ocOr: case ocXor: case ocStrCat: return 3;
    case ocNot: case ocUnMinus: return 1;
    default: return 2;
    }
}

class TfsOperatorNode : public TfsExpressionNode {
public:
    explicit TfsOperatorNode(TfsOperatorCode op) : Op(op), FPriority(PriorityOf(op)) {}
    int Priority() const override { return FPriority; }
    Variant GetValue() override;
    int32_t GetInt() override;
    bool GetBool() override;
    bool ExactInt() const override
    {
        return OptimizeInt && (Op == ocPlus || Op == ocMinus || Op == ocMul || Op == ocDivInt || Op == ocMod ||
                               Op == ocUnMinus);
    }
    TfsOperatorCode Op;
    bool OptimizeInt = false;
    bool OptimizeBool = false;
    // Operands that are plain variables or constants: their values, read
    // in place while they hold integers (a virtual call saved per operand).
    const Variant* LeftValue = nullptr;
    const Variant* RightValue = nullptr;
    void FindOperandValues();
private:
    int FPriority;
};

// The operand's value as an integer, read in place when it can be.
inline int32_t OperandInt(const Variant* value, TfsExpressionNode* node)
{
    if (value && value->VType() == varInteger) return int32_t(value->RawInt());
    return node->GetInt();
}

void TfsOperatorNode::FindOperandValues()
{
    auto valueOf = [](TfsExpressionNode* n) -> const Variant* {
        if (auto* d = dynamic_cast<TfsDesignatorNode*>(n)) return d->Direct;
        if (auto* o = dynamic_cast<TfsOperandNode*>(n)) return &o->Value;
        return nullptr;
    };
    LeftValue = valueOf(Left.get());
    RightValue = valueOf(Right.get());
}

int32_t TfsOperatorNode::GetInt()
{
    if (!OptimizeInt) return IntOf(GetValue());
    if (Op == ocUnMinus) return int32_t(0u - uint32_t(OperandInt(LeftValue, Left.get())));
    uint32_t a = uint32_t(OperandInt(LeftValue, Left.get())), b = uint32_t(OperandInt(RightValue, Right.get()));
    switch (Op) {
    case ocPlus: return int32_t(a + b);
    case ocMinus: return int32_t(a - b);
    case ocMul: return int32_t(a * b);
    case ocDivInt:
    case ocMod: {
        int32_t x = int32_t(a), y = int32_t(b);
        if (y == 0) throw EDivByZero("Division by zero");
        if (y == -1) return Op == ocMod ? 0 : int32_t(0u - a);
        return Op == ocDivInt ? x / y : x % y;
    }
    default:
        return IntOf(GetValue());
    }
}

bool TfsOperatorNode::GetBool()
{
    if (OptimizeInt && Op >= ocGreat && Op <= ocEq) {
        const int32_t a = OperandInt(LeftValue, Left.get()), b = OperandInt(RightValue, Right.get());
        switch (Op) {
        case ocGreat: return a > b;
        case ocLess: return a < b;
        case ocLessEq: return a <= b;
        case ocGreatEq: return a >= b;
        case ocNonEq: return a != b;
        default: return a == b;
        }
    }
    if (OptimizeBool) {
        if (Op == ocAnd || Op == ocLogAnd) return Left->GetBool() && Right->GetBool();
        if (Op == ocOr || Op == ocLogOr) return Left->GetBool() || Right->GetBool();
    }
    return BoolOf(GetValue());
}

Variant TfsOperatorNode::GetValue()
{
    if (OptimizeInt) {
        switch (Op) {
        case ocPlus: case ocMinus: case ocMul: case ocDivInt: case ocMod: case ocUnMinus:
            return Variant(GetInt());
        case ocGreat: case ocLess: case ocLessEq: case ocGreatEq: case ocNonEq: case ocEq:
            return Variant(GetBool());
        default:
            break;
        }
    }
    switch (Op) {
    case ocNone:
        return Left ? Left->GetValue() : Null();
    case ocNot:
        return VarUnaryOp(Left->GetValue(), ::opNot);
    case ocUnMinus:
        if (OptimizeInt) return Variant(int32_t(0u - uint32_t(IntOf(Left->GetValue()))));
        return VarUnaryOp(Left->GetValue(), ::opNegate);
    case ocAnd:
    case ocLogAnd:
        if (OptimizeBool) {
            Variant l = Left->GetValue();
            if (!l.AsBoolean()) return l;
            return Right->GetValue();
        }
        break;
    case ocOr:
    case ocLogOr:
        if (OptimizeBool) {
            Variant l = Left->GetValue();
            if (l.AsBoolean()) return l;
            return Right->GetValue();
        }
        break;
    case ocIn: {
        Variant l = Left->GetValue();
        auto* set = static_cast<TfsSetNode*>(Right.get());
        return Variant(set->Set->Contains(l));
    }
    case ocIs: {
        TObject* obj = VarToObject(Left->GetValue());
        auto* d = static_cast<TfsDesignatorNode*>(Right.get());
        auto* cls = dynamic_cast<TfsClassVariable*>(d->Designator->Steps(0)->Ref);
        return Variant(obj != nullptr && cls && obj->InheritsFrom(cls->HostClass));
    }
    default:
        break;
    }
    Variant l = Left->GetValue();
    Variant r = Right->GetValue();
    if (OptimizeInt) {
        uint32_t a = uint32_t(IntOf(l)), b = uint32_t(IntOf(r));
        switch (Op) {
        case ocGreat: return Variant(int32_t(a) > int32_t(b));
        case ocLess: return Variant(int32_t(a) < int32_t(b));
        case ocLessEq: return Variant(int32_t(a) <= int32_t(b));
        case ocGreatEq: return Variant(int32_t(a) >= int32_t(b));
        case ocNonEq: return Variant(a != b);
        case ocEq: return Variant(a == b);
        case ocPlus: return Variant(int32_t(a + b));
        case ocMinus: return Variant(int32_t(a - b));
        case ocMul: return Variant(int32_t(a * b));
        case ocDivInt:
        case ocMod: {
            int32_t x = int32_t(a), y = int32_t(b);
            if (y == 0) throw EDivByZero("Division by zero");
            if (y == -1) return Variant(Op == ocMod ? 0 : int32_t(0u - a));
            return Variant(Op == ocDivInt ? x / y : x % y);
        }
        default:
            break;
        }
    }
    return fs_iexpression::Compute(Op, l, r);
}

}  // namespace

Variant fs_iexpression::Compute(TfsOperatorCode op, const Variant& l, const Variant& r)
{
    switch (op) {
    case ocGreat: return Variant(VarCmpOp(l, r, opCmpGT));
    case ocLess: return Variant(VarCmpOp(l, r, opCmpLT));
    case ocLessEq: return Variant(VarCmpOp(l, r, opCmpLE));
    case ocGreatEq: return Variant(VarCmpOp(l, r, opCmpGE));
    case ocNonEq: return Variant(VarCmpOp(l, r, opCmpNE));
    case ocEq: return Variant(VarCmpOp(l, r, opCmpEQ));
    case ocPlus: return VarBinaryOp(l, r, opAdd);
    case ocStrCat:
        if (l.VType() == varString) return Variant(l.RawString() + VarToStr(r));
        return VarBinaryOp(l, r, opAdd);
    case ocMinus: return VarBinaryOp(l, r, opSubtract);
    case ocOr: case ocLogOr: return VarBinaryOp(l, r, ::opOr);
    case ocXor: return VarBinaryOp(l, r, ::opXor);
    case ocMul: return VarBinaryOp(l, r, opMultiply);
    case ocDivFloat: return VarBinaryOp(l, r, opDivide);
    case ocDivInt: return VarBinaryOp(l, r, opIntDivide);
    case ocMod: return VarBinaryOp(l, r, opModulus);
    case ocAnd: case ocLogAnd: return VarBinaryOp(l, r, ::opAnd);
    case ocShl: return VarBinaryOp(l, r, opShiftLeft);
    case ocShr: return VarBinaryOp(l, r, opShiftRight);
    default: return Null();
    }
}

// ---- TfsExpression ----------------------------------------------------------------------

TfsExpression::TfsExpression(TfsScript* script) : Script(script)
{
    FRoot = std::make_unique<TfsOperatorNode>(ocNone);
    FCurrent = FRoot.get();
    IsReadOnly = true;
}

TfsExpression::~TfsExpression() = default;

TfsExpressionNode* TfsExpression::Attach(std::unique_ptr<TfsExpressionNode> node, TfsExpressionNode* parent)
{
    node->Parent = parent;
    TfsExpressionNode* n = node.get();
    (parent->Left ? parent->Right : parent->Left) = std::move(node);
    return n;
}

void TfsExpression::AddNode(std::unique_ptr<TfsExpressionNode> node)
{
    // The tree is walked recursively: a bound keeps it within the stack.
    if (++FNodeCount > 20000) throw Exception(STooComplex);
    node->SourcePosition = SourcePositionNow;
    // Only an operator with a free operand slot takes the next item; after
    // an operand or a closed bracket one has no place (two operands without
    // an operator between them), and the expression is refused by Finish.
    if (!dynamic_cast<TfsOperatorNode*>(FCurrent) || (FCurrent->Left && FCurrent->Right)) {
        if (!FStrayOperand) FStrayOperandPos = node->SourcePosition;
        FStrayOperand = true;
        return;
    }
    FCurrent = Attach(std::move(node), FCurrent);
}

void TfsExpression::AddOperand(const Variant& value) { AddNode(std::make_unique<TfsOperandNode>(value)); }

void TfsExpression::AddDesignator(std::unique_ptr<TfsDesignator> designator)
{
    AddNode(std::make_unique<TfsDesignatorNode>(std::move(designator)));
}

void TfsExpression::AddSet(std::unique_ptr<TfsSetExpression> set)
{
    AddNode(std::make_unique<TfsSetNode>(std::move(set)));
}

void TfsExpression::AddOperator(const std::string& text)
{
    static const std::pair<const char*, TfsOperatorCode> table[] = {
        {" ", ocNone}, {">", ocGreat}, {"<", ocLess}, {"<=", ocLessEq}, {">=", ocGreatEq}, {"<>", ocNonEq},
        {"=", ocEq}, {"+", ocPlus}, {"STRCAT", ocStrCat}, {"-", ocMinus}, {"OR", ocOr}, {"XOR", ocXor},
        {"*", ocMul}, {"/", ocDivFloat}, {"DIV", ocDivInt}, {"MOD", ocMod}, {"AND", ocAnd}, {"SHL", ocShl},
        {"SHR", ocShr}, {"(", ocLeftBracket}, {")", ocRightBracket}, {"NOT", ocNot}, {"UNMINUS", ocUnMinus},
        {"IN", ocIn}, {"IS", ocIs}, {"LAND", ocLogAnd}, {"LOR", ocLogOr}};
    std::string u = Upper(text);
    TfsOperatorCode op = ocNone;
    bool found = false;
    for (auto& e : table)
        if (u == e.first) {
            op = e.second;
            found = true;
            break;
        }
    if (!found || op == ocNone) return;
    if (op == ocLeftBracket || op == ocNot || op == ocUnMinus) {
        AddNode(std::make_unique<TfsOperatorNode>(op));
        return;
    }
    if (op == ocRightBracket) {
        TfsExpressionNode* n = FCurrent;
        while (n && n->Priority() <= 7) n = n->Parent;
        if (!n || static_cast<TfsOperatorNode*>(n)->Op != ocLeftBracket) return;
        // The bracketed subtree takes the bracket's place; the bracket goes.
        TfsExpressionNode* parent = n->Parent;
        std::unique_ptr<TfsExpressionNode>& slot = parent->Left.get() == n ? parent->Left : parent->Right;
        std::unique_ptr<TfsExpressionNode> bracket = std::move(slot);
        slot = std::move(bracket->Left);
        TfsExpressionNode* sub = slot.get();
        if (sub) sub->Parent = parent;
        FCurrent = sub ? sub : parent;
        return;
    }
    if (++FNodeCount > 20000) throw Exception(STooComplex);
    auto node = std::make_unique<TfsOperatorNode>(op);
    node->SourcePosition = SourcePositionNow;
    if (FCurrent == FRoot.get()) {
        FCurrent = Attach(std::move(node), FRoot.get());
        return;
    }
    TfsExpressionNode* from = FCurrent;
    TfsExpressionNode* at = FCurrent;
    if (!(dynamic_cast<TfsOperatorNode*>(at) && static_cast<TfsOperatorNode*>(at)->Op == ocLeftBracket)) {
        from = at;
        at = at->Parent;
        while (at && node->Priority() >= at->Priority()) {
            from = at;
            at = at->Parent;
        }
    } else {
        from = nullptr;
    }
    // The operand stepped from becomes the new operator's left operand.
    std::unique_ptr<TfsExpressionNode> operand;
    if (from) operand = std::move(at->Left.get() == from ? at->Left : at->Right);
    TfsExpressionNode* added = Attach(std::move(node), at);
    if (operand) {
        operand->Parent = added;
        added->Left = std::move(operand);
    }
    FCurrent = added;
}

namespace {

bool IsRelational(TfsOperatorCode op)
{
    return op == ocGreat || op == ocLess || op == ocLessEq || op == ocGreatEq || op == ocNonEq || op == ocEq ||
           op == ocIn || op == ocIs;
}

// Gives each node its static type; returns false (and the position) at the
// first type error.
bool CheckNode(TfsExpressionNode* n, TfsScript* script, std::string& errPos, bool& missing)
{
    auto* op = dynamic_cast<TfsOperatorNode*>(n);
    if (!op) return true;
    // An operator whose operand the text left out ("n - 2 +)") would
    // evaluate nothing: the expression is refused.
    const bool unary = op->Op == ocNot || op->Op == ocUnMinus;
    if (!n->Left || (!unary && !n->Right)) {
        missing = true;
        errPos = n->SourcePosition;
        return false;
    }
    if (n->Left && !CheckNode(n->Left.get(), script, errPos, missing)) return false;
    if (n->Right && !CheckNode(n->Right.get(), script, errPos, missing)) return false;
    TfsTypeRec L{n->Left ? n->Left->Kind : stVariant, n->Left ? n->Left->TypeName : ""};
    TfsTypeRec R{n->Right ? n->Right->Kind : stVariant, n->Right ? n->Right->TypeName : ""};
    if (L.Kind == stConstructor) L.Kind = stClass;
    if (R.Kind == stConstructor) R.Kind = stClass;
    const TfsOperatorCode o = op->Op;
    if (L.Kind == stInteger && R.Kind == stInteger && n->Left && n->Right) op->OptimizeInt = true;
    if (o == ocUnMinus && L.Kind == stInteger) op->OptimizeInt = true;
    if (L.Kind == stBoolean && R.Kind == stBoolean && n->Left && n->Right) op->OptimizeBool = true;
    bool error = false;
    if (o == ocIn) {
        // The right operand of IN must be a set constructor.
        error = !dynamic_cast<TfsSetNode*>(n->Right.get());
    } else if (o == ocIs) {
        auto* d = dynamic_cast<TfsDesignatorNode*>(n->Right.get());
        error = !d || d->Designator->StepCount() != 1 ||
                !dynamic_cast<TfsClassVariable*>(d->Designator->Steps(0)->Ref);
    } else if (!TypesCompatible(L, R, script)) {
        error = true;
    } else if (L.Kind == stBoolean) {
        error = !(o == ocNonEq || o == ocEq || o == ocOr || o == ocXor || o == ocAnd || o == ocNot ||
                  o == ocLogAnd || o == ocLogOr);
    } else if (L.Kind == stChar || L.Kind == stString) {
        error = !(o == ocGreat || o == ocLess || o == ocLessEq || o == ocGreatEq || o == ocNonEq || o == ocEq ||
                  o == ocPlus || o == ocStrCat);
    } else if (L.Kind == stClass || L.Kind == stArray) {
        error = !(o == ocNonEq || o == ocEq);
    }
    if (error) {
        errPos = n->SourcePosition;
        return false;
    }
    if (op->OptimizeInt) op->FindOperandValues();
    if (o == ocDivFloat) {
        n->Kind = stFloat;   // a division always gives a float
        op->OptimizeInt = false;
    } else if (IsRelational(o)) {
        n->Kind = stBoolean;
    } else if (o != ocNot && o != ocUnMinus &&
               ((L.Kind == stInteger && R.Kind == stFloat) || (L.Kind == stFloat && R.Kind == stInteger))) {
        n->Kind = stFloat;
    } else {
        n->Kind = L.Kind;
        n->TypeName = L.TypeName;
    }
    return true;
}

}  // namespace

bool TfsExpression::Finish(std::string* errorPos)
{
    if (FTree) return true;
    FTree = std::move(FRoot->Left);
    FRoot.reset();
    FCurrent = nullptr;
    if (FStrayOperand) {
        FMissingOperand = true;
        if (errorPos) *errorPos = FStrayOperandPos;
        return false;
    }
    if (!FTree) {
        Kind = stVariant;
        return true;
    }
    FTree->Parent = nullptr;
    std::string errPos;
    if (!CheckNode(FTree.get(), Script, errPos, FMissingOperand)) {
        if (errorPos) *errorPos = errPos.empty() ? SourcePositionNow : errPos;
        return false;
    }
    Kind = FTree->Kind;
    TypeName = FTree->TypeName;
    if (auto* d = dynamic_cast<TfsDesignatorNode*>(FTree.get())) IsReadOnly = d->Designator->IsReadOnly;
    return true;
}

Variant TfsExpression::GetValue() { return FTree ? FTree->GetValue() : Null(); }

bool TfsExpression::IsExactInt() const { return FTree && FTree->ExactInt(); }

void TfsExpression::SetValue(const Variant& value)
{
    if (IsReadOnly) return;
    if (auto* d = dynamic_cast<TfsDesignatorNode*>(FTree.get())) d->Designator->SetValue(value);
}

bool TfsExpression::IsConstant() const { return dynamic_cast<TfsOperandNode*>(FTree.get()) != nullptr; }

TfsCustomVariable* TfsExpression::OperandItem() const
{
    if (auto* d = dynamic_cast<TfsDesignatorNode*>(FTree.get())) return d->Var ? d->Var : d->Designator.get();
    return nullptr;
}

std::string TfsExpression::OptimizeAssignment(TfsDesignator* designator)
{
    auto* vd = dynamic_cast<TfsVariableDesignator*>(designator);
    auto* op = dynamic_cast<TfsOperatorNode*>(FTree.get());
    if (!vd || !op) return " ";
    const char* text = op->Op == ocPlus ? "+" : op->Op == ocMinus ? "-" : op->Op == ocMul ? "*"
                     : op->Op == ocDivFloat ? "/" : nullptr;
    if (!text) return " ";
    auto same = [&](TfsExpressionNode* n) {
        auto* d = dynamic_cast<TfsDesignatorNode*>(n);
        return d && d->Var && d->Var == vd->LinkedItem;
    };
    std::unique_ptr<TfsExpressionNode> keep;
    if (same(op->Left.get())) {
        keep = std::move(op->Right);
    } else if ((op->Op == ocPlus || op->Op == ocMul) && same(op->Right.get()) &&
               (vd->LinkedItem->Kind == stInteger || vd->LinkedItem->Kind == stFloat)) {
        // x := e + x turns around only where + commutes: numbers. Text does
        // not, and a Variant may hold text.
        keep = std::move(op->Left);
    }
    if (!keep) return " ";
    keep->Parent = nullptr;
    FTree = std::move(keep);
    Kind = FTree->Kind;
    TypeName = FTree->TypeName;
    return text;
}

// ---- designators --------------------------------------------------------------------------

TfsDesignator::TfsDesignator(TfsScript* script) : TfsCustomVariable("", stVariant, ""), Script(script) {}

TfsDesignator::~TfsDesignator() = default;

TfsDesignatorItem* TfsDesignator::AddStep(TfsCustomVariable* ref, const std::string& pos)
{
    FSteps.push_back(std::make_unique<TfsDesignatorItem>());
    TfsDesignatorItem* item = FSteps.back().get();
    item->Ref = ref;
    item->SourcePosition = pos;
    return item;
}

namespace {
bool IsValueHolder(TfsCustomVariable* v)
{
    return dynamic_cast<TfsVariable*>(v) || dynamic_cast<TfsParamItem*>(v);
}
}  // namespace

void TfsDesignator::Finish()
{
    if (FSteps.empty()) return;
    for (const auto& st : FSteps) {
        if (dynamic_cast<TfsDesignator*>(st->Ref)) st->Kind = TfsDesignatorItem::skDesignator;
        else if (dynamic_cast<TfsProcVariable*>(st->Ref)) st->Kind = TfsDesignatorItem::skProc;
        else if (dynamic_cast<TfsCustomHelper*>(st->Ref)) st->Kind = TfsDesignatorItem::skHelper;
        else st->Kind = TfsDesignatorItem::skPlain;
    }
    TfsCustomVariable* last = FSteps.back()->Ref;
    Kind = last->Kind;
    TypeName = last->TypeName;
    if (Kind == stConstructor) {
        Kind = stClass;
        TypeName = FSteps.size() >= 2 ? FSteps[FSteps.size() - 2]->Ref->TypeName : std::string();
    }
    IsReadOnly = last->IsReadOnly;
    DesignatorKind = 0;
    if (FSteps.size() == 1 && IsValueHolder(last) && FSteps[0]->Args.empty()) {
        DesignatorKind = 1;
    } else if (FSteps.size() == 2 && dynamic_cast<TfsStringVariable*>(FSteps[0]->Ref) &&
               FSteps[0]->Args.empty() && dynamic_cast<TfsStringHelper*>(FSteps[1]->Ref) &&
               FSteps[1]->Args.size() == 1) {
        DesignatorKind = 2;
    } else if (FSteps.size() == 2 && dynamic_cast<TfsVariable*>(FSteps[0]->Ref) &&
               FSteps[0]->Ref->Kind == stArray && FSteps[0]->Args.empty() &&
               dynamic_cast<TfsArrayHelper*>(FSteps[1]->Ref) && !FSteps[1]->Args.empty()) {
        DesignatorKind = 3;
    } else if (FSteps.size() == 1 && dynamic_cast<TfsProcVariable*>(last) && !last->IsMacro &&
               FSteps[0]->Args.size() <= 8) {
        bool anyVar = false;
        for (int j = 0; j < last->Count(); ++j) anyVar = anyVar || last->Params(j)->IsVarParam;
        if (!anyVar) DesignatorKind = 4;
    }
}

std::unique_ptr<TfsDesignator> TfsDesignator::MakeFastForm()
{
    std::unique_ptr<TfsDesignator> d;
    switch (DesignatorKind) {
    case 1: d = std::make_unique<TfsVariableDesignator>(Script); break;
    case 2: {
        auto sd = std::make_unique<TfsStringDesignator>(Script);
        sd->Index = FSteps[1]->Args[0].get();
        d = std::move(sd);
        break;
    }
    case 3: d = std::make_unique<TfsArrayDesignator>(Script); break;
    case 4: d = std::make_unique<TfsProcCallDesignator>(Script); break;
    default: return nullptr;
    }
    d->LinkedItem = FSteps[0]->Ref;
    d->FSteps.swap(FSteps);
    d->DesignatorKind = DesignatorKind;
    d->Kind = Kind;
    d->TypeName = TypeName;
    d->IsReadOnly = IsReadOnly;
    d->SourcePosition = SourcePosition;
    return d;
}

void TfsDesignator::SetLateBinding(const TfsXMLItem* element, const std::string& unitName)
{
    FLateBindingTree = std::make_unique<TfsXMLItem>();
    FLateBindingTree->Assign(element);
    FLateUnit = unitName;
}

void TfsDesignator::ResolveLateBinding()
{
    if (FResolved || !FLateBindingTree) return;
    TfsILParser parser(Script);
    parser.SelectLanguage(Script->SyntaxType());
    parser.RunTimeBuild = true;
    parser.SetBuildContext(nullptr, FLateUnit);
    FResolved = parser.BuildDesignator(FLateBindingTree.get(), Script, 0);
    FResolved->WantsResult = WantsResult;
    FLateBindingTree.reset();
}

Variant TfsDesignator::GetValue() { return Evaluate(nullptr); }

void TfsDesignator::SetValue(const Variant& value) { Evaluate(&value); }

namespace {

// Values of a running routine's locals, kept across a recursive call.
// A few variants on the stack, constructed only as far as they are used.
template <size_t N> class SmallVariants {
public:
    explicit SmallVariants(size_t n) : FCount(n)
    {
        if (n > N) {
            FHeap.reset(new Variant[n]);
            FData = FHeap.get();
        } else {
            FData = reinterpret_cast<Variant*>(FBuf);
            for (size_t i = 0; i < n; ++i) new (&FData[i]) Variant();
        }
    }
    ~SmallVariants()
    {
        if (FCount <= N)
            for (size_t i = 0; i < FCount; ++i) FData[i].~Variant();
    }
    SmallVariants(const SmallVariants&) = delete;
    SmallVariants& operator=(const SmallVariants&) = delete;
    Variant& operator[](size_t i) { return FData[i]; }
    size_t Count() const { return FCount; }
private:
    alignas(Variant) unsigned char FBuf[N * sizeof(Variant)];
    std::unique_ptr<Variant[]> FHeap;
    Variant* FData;
    size_t FCount;
};

// Saved values of a routine's locals around a recursive call; a few stay
// on the stack. The slots are the routine's own, which stay put.
class SavedLocals {
public:
    explicit SavedLocals(TfsProcVariable* proc)
    {
        const auto& locals = proc->Locals();
        FSlots = locals.data();
        FCount = locals.size();
        FData = reinterpret_cast<Variant*>(FBuf);
        if (FCount > kInline) SaveMany();
        else
            for (size_t k = 0; k < FCount; ++k) new (&FData[k]) Variant(Saved(FSlots[k]));
    }
    ~SavedLocals()
    {
        if (FCount <= kInline)
            for (size_t k = 0; k < FCount; ++k) FData[k].~Variant();
    }
    SavedLocals(const SavedLocals&) = delete;
    SavedLocals& operator=(const SavedLocals&) = delete;
    void Restore()
    {
        for (size_t k = 0; k < FCount; ++k) {
            if (FSlots[k].Str) FSlots[k].Str->Str = FData[k].RawString();
            else FSlots[k].Item->Value = std::move(FData[k]);
        }
    }

private:
    static Variant Saved(const TfsProcVariable::LocalSlot& slot)
    {
        if (slot.Str) return Variant(slot.Str->Str);
        return slot.Item->Value;
    }
    [[gnu::noinline]] void SaveMany()
    {
        FHeap.reset(new Variant[FCount]);
        FData = FHeap.get();
        for (size_t k = 0; k < FCount; ++k) FData[k] = Saved(FSlots[k]);
    }
    static constexpr size_t kInline = 4;
    const TfsProcVariable::LocalSlot* FSlots;
    size_t FCount;
    alignas(Variant) unsigned char FBuf[kInline * sizeof(Variant)];
    std::unique_ptr<Variant[]> FHeap;
    Variant* FData;
};

void RestoreLocals(TfsProcVariable*, SavedLocals& saved) { saved.Restore(); }

}  // namespace

Variant TfsDesignator::Evaluate(const Variant* assign)
{
    if (FLateBindingTree || FResolved) {
        ResolveLateBinding();
        if (assign) {
            FResolved->SetValue(*assign);
            return Variant();
        }
        FResolved->WantsResult = WantsResult;
        return FResolved->GetValue();
    }
    Variant cur;
    TfsCustomVariable* prev = nullptr;
    const size_t n = FSteps.size();
    for (size_t i = 0; i < n; ++i) {
        TfsDesignatorItem* st = FSteps[i].get();
        TfsCustomVariable* ref = st->Ref;
        const bool last = i + 1 == n;
        if (st->Kind == TfsDesignatorItem::skDesignator) {
            cur = ref->GetValue();
            prev = ref;
            continue;
        }
        // All arguments are evaluated before any parameter is assigned, so
        // that an argument may call the same routine.
        const size_t na = st->Args.size();
        const size_t np = size_t(ref->Count());
        TfsProcVariable* proc = st->Kind == TfsDesignatorItem::skProc ? static_cast<TfsProcVariable*>(ref) : nullptr;
        const bool recursive = proc && proc->IsRunning;
        std::optional<SavedLocals> saved;
        if (na > 0) {
            Variant argsLocal[4];
            std::vector<Variant> argsHeap;
            Variant* args = argsLocal;
            if (na > 4) {
                argsHeap.resize(na);
                args = argsHeap.data();
            }
            for (size_t j = 0; j < na; ++j) {
                TfsCustomExpression* a = st->Args[j].get();
                if (ref->IsMacro) args[j] = Variant(static_cast<TfsExpression*>(a)->Source);
                else args[j] = a->GetValue();
            }
            if (recursive) saved.emplace(proc);
            for (size_t j = 0; j < na && j < np; ++j) ref->Params(int(j))->SetValue(args[j]);
        } else if (recursive) {
            saved.emplace(proc);
        }
        TfsCustomHelper* helper = nullptr;
        if (st->Kind == TfsDesignatorItem::skHelper) {
            helper = static_cast<TfsCustomHelper*>(ref);
            helper->ParentItem = prev;
            helper->ParentValue = cur;
            helper->Script = Script;
        }
        std::vector<std::pair<size_t, Variant>> outs;
        try {
            if (last && assign) {
                ref->SetValue(*assign);
            } else {
                ref->WantsResult = !last || WantsResult;
                cur = ref->GetValue();
            }
            for (size_t j = 0; j < na && j < np; ++j) {
                TfsParamItem* p = ref->Params(int(j));
                if (p->IsVarParam) outs.push_back({j, p->GetValue()});
            }
        } catch (...) {
            if (helper) helper->ParentValue.Clear();
            if (saved) RestoreLocals(proc, *saved);
            throw;
        }
        if (helper) helper->ParentValue.Clear();
        if (saved) RestoreLocals(proc, *saved);
        for (auto& o : outs) st->Args[o.first]->SetValue(o.second);
        prev = ref;
    }
    return cur;
}

namespace {

// Runs the routine once setParams has given its parameters their values,
// saving the caller's locals first when the routine is running already, and
// answers what result() reads of the routine's result before they return.
template <class SetParams, class GetResult>
auto CallRoutine(TfsProcVariable* proc, bool wantsResult, const SetParams& setParams, const GetResult& result)
{
    if (!proc->IsRunning) {
        setParams();
        proc->WantsResult = wantsResult;
        proc->Run();
        return result();
    }
    // The caller's locals come back however the call ends (a guard, so that
    // an error leaving a deep recursion is not raised again at each level).
    SavedLocals saved(proc);
    struct Restore {
        SavedLocals& Saved;
        ~Restore() { Saved.Restore(); }
    } restore{saved};
    setParams();
    proc->WantsResult = wantsResult;
    proc->Run();
    return result();
}

// True when each argument is an exact integer expression given to a plain
// Integer parameter, which stores such a value as it comes.
bool AllIntArgs(TfsProcVariable* proc, const std::vector<std::unique_ptr<TfsCustomExpression>>& args)
{
    if (args.empty() || args.size() > TfsProcCallDesignator::kMaxIntArgs || args.size() > size_t(proc->Count())) return false;
    for (size_t j = 0; j < args.size(); ++j) {
        TfsParamItem* p = proc->Params(int(j));
        auto* e = dynamic_cast<TfsExpression*>(args[j].get());
        if (typeid(*p) != typeid(TfsParamItem) || p->Kind != stInteger || !e || !e->IsExactInt()) return false;
    }
    return true;
}

}  // namespace

void TfsProcCallDesignator::FindIntArgs()
{
    auto* proc = static_cast<TfsProcVariable*>(LinkedItem);
    const auto& args = FSteps[0]->Args;
    FIntArgs = AllIntArgs(proc, args) ? 1 : 0;
    if (!FIntArgs) return;
    FArgCount = args.size();
    for (size_t j = 0; j < FArgCount; ++j) {
        FIntArgExprs[j] = static_cast<TfsExpression*>(args[j].get());
        FIntParams[j] = &proc->Params(int(j))->Value;
    }
}

template <class GetResult> auto TfsProcCallDesignator::Call(const GetResult& result)
{
    auto* proc = static_cast<TfsProcVariable*>(LinkedItem);
    if (FIntArgs < 0) FindIntArgs();
    // Every argument is evaluated before any parameter is given its value,
    // so that an argument may call the same routine.
    if (FIntArgs) {
        const size_t na = FArgCount;
        int32_t ints[kMaxIntArgs];
        for (size_t j = 0; j < na; ++j) ints[j] = FIntArgExprs[j]->GetInt();
        return CallRoutine(
            proc, WantsResult,
            [&] {
                for (size_t j = 0; j < na; ++j) *FIntParams[j] = Variant(ints[j]);
            },
            result);
    }
    const auto& argExprs = FSteps[0]->Args;
    const size_t na = argExprs.size();
    SmallVariants<4> args(na);
    for (size_t j = 0; j < na; ++j) args[j] = argExprs[j]->GetValue();
    return CallRoutine(
        proc, WantsResult,
        [&] {
            for (size_t j = 0; j < na; ++j) proc->Params(int(j))->SetValue(args[j]);
        },
        result);
}

Variant TfsProcCallDesignator::GetValue()
{
    return Call([this] { return static_cast<TfsProcVariable*>(LinkedItem)->Result(); });
}

int32_t TfsProcCallDesignator::GetInt()
{
    return Call([this] { return static_cast<TfsProcVariable*>(LinkedItem)->ResultInt(); });
}

Variant TfsStringDesignator::GetValue()
{
    auto* v = static_cast<TfsStringVariable*>(LinkedItem);
    return Variant(StringCharAt(v->Str, Index->GetValue().AsInteger()));
}

void TfsStringDesignator::SetValue(const Variant& value)
{
    auto* v = static_cast<TfsStringVariable*>(LinkedItem);
    int idx = Index->GetValue().AsInteger();
    StringPutCharAt(v->Str, idx, VarToStr(value));
}

Variant TfsArrayDesignator::GetValue()
{
    const auto& args = FSteps[1]->Args;
    std::vector<int> idx(args.size());
    for (size_t j = 0; j < args.size(); ++j) idx[j] = args[j]->GetValue().AsInteger();
    return VarArrayGet(LinkedItem->Value, idx);
}

void TfsArrayDesignator::SetValue(const Variant& value)
{
    const auto& args = FSteps[1]->Args;
    std::vector<int> idx(args.size());
    for (size_t j = 0; j < args.size(); ++j) idx[j] = args[j]->GetValue().AsInteger();
    VarArrayPut(LinkedItem->Value, ValueOfKind(FSteps[1]->Ref->Kind, value), idx);
}

// ---- sets ----------------------------------------------------------------------------------------

Variant TfsSetExpression::GetValue()
{
    std::vector<Variant> values;
    for (const auto& e : Items) values.push_back(e ? e->GetValue() : Variant(0));
    return VarArrayOf(values);
}

bool TfsSetExpression::Contains(const Variant& value)
{
    for (size_t i = 0; i < Items.size(); ++i) {
        if (!Items[i]) continue;
        if (i + 2 < Items.size() && !Items[i + 1] && Items[i + 2]) {
            Variant lo = Items[i]->GetValue(), hi = Items[i + 2]->GetValue();
            if (VarCmpOp(value, lo, opCmpGE) && VarCmpOp(value, hi, opCmpLE)) return true;
            i += 2;
            continue;
        }
        if (VarCmpOp(value, Items[i]->GetValue(), opCmpEQ)) return true;
    }
    return false;
}
