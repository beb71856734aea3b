// Compiled expressions and designators. An expression arrives as a flat infix
// sequence and is built into a tree by operator precedence; a designator is a
// name path (Form1.Edit1.Text, List[i], Obj.Method(a, b)) evaluated step by
// step from left to right.
#pragma once

#include "fs_iinterpreter.h"

#include <memory>
#include <string>
#include <vector>

class TfsXMLItem;

// Operator codes; the numbering follows the order of the operator table.
enum TfsOperatorCode : uint8_t {
    ocNone, ocGreat, ocLess, ocLessEq, ocGreatEq, ocNonEq, ocEq, ocPlus, ocMinus, ocOr, ocXor,
    ocMul, ocDivFloat, ocDivInt, ocMod, ocAnd, ocShl, ocShr, ocLeftBracket, ocRightBracket,
    ocNot, ocUnMinus, ocIn, ocIs, ocStrCat, ocLogAnd, ocLogOr
};

// A node owns its operands; freeing it frees them.
class TfsExpressionNode {
public:
    virtual ~TfsExpressionNode() = default;
    virtual Variant GetValue() = 0;
    // The value as a 32-bit integer and as a condition; nodes that know
    // their value's type answer without building a variant.
    virtual int32_t GetInt();
    virtual bool GetBool();
    // GetValue always gives Variant(GetInt()).
    virtual bool ExactInt() const { return false; }
    virtual int Priority() const = 0;
    std::unique_ptr<TfsExpressionNode> Left;
    std::unique_ptr<TfsExpressionNode> Right;
    TfsExpressionNode* Parent = nullptr;
    TfsScriptType Kind = stVariant;
    std::string TypeName;
    std::string SourcePosition;
};

class TfsExpression : public TfsCustomExpression {
    QZ_CLASS(TfsExpression, TfsCustomExpression)
public:
    explicit TfsExpression(TfsScript* script);
    ~TfsExpression() override;

    void AddOperand(const Variant& value);
    void AddDesignator(std::unique_ptr<class TfsDesignator> designator);
    void AddSet(std::unique_ptr<class TfsSetExpression> set);
    void AddOperator(const std::string& text);
    // Completes the tree and checks the types; false at the first type
    // error or missing operand, whose position (empty when the tree gave
    // none) goes to errorPos.
    bool Finish(std::string* errorPos = nullptr);
    // Finish found an operator without its operand.
    bool MissingOperand() const { return FMissingOperand; }

    Variant GetValue() override;
    void SetValue(const Variant& value) override;
    // The value as a condition.
    bool GetBool() { return FTree ? FTree->GetBool() : false; }
    // The value as a 32-bit integer. Where IsExactInt holds, GetValue gives
    // this same integer (as a varInteger), so callers may take it instead.
    int32_t GetInt() { return FTree ? FTree->GetInt() : 0; }
    bool IsExactInt() const;
    // x := x op y: returns "+", "-", "*" or "/" when the expression was
    // reduced to y, else " ".
    std::string OptimizeAssignment(class TfsDesignator* designator);
    // The root's designator (the variable itself for a plain variable), a
    // constant operand, or null.
    TfsCustomVariable* OperandItem() const;
    // True when the whole expression is one constant.
    bool IsConstant() const;

    TfsScript* Script;
    std::string Source;
    std::string SourcePositionNow;   // position of the item added last

private:
    // Makes node the parent's left child, or its right one when the left is
    // taken, and answers it.
    TfsExpressionNode* Attach(std::unique_ptr<TfsExpressionNode> node, TfsExpressionNode* parent);
    void AddNode(std::unique_ptr<TfsExpressionNode> node);
    std::unique_ptr<TfsExpressionNode> FRoot;   // the TNoneNode while building
    TfsExpressionNode* FCurrent;
    std::unique_ptr<TfsExpressionNode> FTree;   // the finished tree
    int FNodeCount = 0;
    bool FMissingOperand = false;
    // An operand that followed an operand was dropped, at this position.
    bool FStrayOperand = false;
    std::string FStrayOperandPos;
};

// A name path.
class TfsDesignatorItem {
public:
    TfsCustomVariable* Ref = nullptr;   // an item of a script
    std::vector<std::unique_ptr<TfsCustomExpression>> Args;
    bool Indexed = false;
    std::string SourcePosition;
    // Decided when the designator is finished.
    enum StepKind : uint8_t { skPlain, skDesignator, skProc, skHelper } Kind = skPlain;
};

class TfsDesignator : public TfsCustomVariable {
    QZ_CLASS(TfsDesignator, TfsCustomVariable)
public:
    explicit TfsDesignator(TfsScript* script);
    ~TfsDesignator() override;
    Variant GetValue() override;
    void SetValue(const Variant& value) override;

    TfsDesignatorItem* AddStep(TfsCustomVariable* ref, const std::string& pos);
    int StepCount() const { return int(FSteps.size()); }
    TfsDesignatorItem* Steps(int index) const { return FSteps[size_t(index)].get(); }
    TfsDesignatorItem* LastStep() const { return FSteps.empty() ? nullptr : FSteps.back().get(); }
    // Sets the type, read-only flag and DesignatorKind.
    void Finish();
    // The fast form for this designator, taking over its steps, or null when
    // only the general form applies.
    std::unique_ptr<TfsDesignator> MakeFastForm();
    // Keeps a copy of the program-tree element; it is rebuilt at first run.
    void SetLateBinding(const TfsXMLItem* element, const std::string& unitName);

    int DesignatorKind = 0;   // 0 general, 1 variable, 2 string character, 3 array element, 4 routine call
    TfsScript* Script;

protected:
    Variant Evaluate(const Variant* assign);
    void ResolveLateBinding();
    std::vector<std::unique_ptr<TfsDesignatorItem>> FSteps;
    std::unique_ptr<TfsXMLItem> FLateBindingTree;
    std::string FLateUnit;
    std::unique_ptr<TfsDesignator> FResolved;   // the late-bound designator once built
};

class TfsVariableDesignator : public TfsDesignator {
    QZ_CLASS(TfsVariableDesignator, TfsDesignator)
public:
    using TfsDesignator::TfsDesignator;
    Variant GetValue() override { return LinkedItem->GetValue(); }
    void SetValue(const Variant& value) override { LinkedItem->SetValue(value); }
};

class TfsStringDesignator : public TfsDesignator {
    QZ_CLASS(TfsStringDesignator, TfsDesignator)
public:
    using TfsDesignator::TfsDesignator;
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
    TfsCustomExpression* Index = nullptr;   // the step's argument (not owned here)
};

// A call of a script routine: one step, the routine, with its arguments.
class TfsProcCallDesignator : public TfsDesignator {
    QZ_CLASS(TfsProcCallDesignator, TfsDesignator)
public:
    using TfsDesignator::TfsDesignator;
    Variant GetValue() override;
    // The result as a 32-bit integer, as IntOf(GetValue()) would give it.
    int32_t GetInt();
    // Calls with more arguments take the general form.
    static constexpr size_t kMaxIntArgs = 8;
private:
    template <class GetResult> auto Call(const GetResult& result);
    void FindIntArgs();
    // 1 when every argument is an exact integer passed to an Integer
    // parameter (no variant is built for them), 0 when not, -1 until known;
    // then the arguments and the parameters' values they go to.
    int FIntArgs = -1;
    size_t FArgCount = 0;
    TfsExpression* FIntArgExprs[kMaxIntArgs] = {};
    Variant* FIntParams[kMaxIntArgs] = {};
};

class TfsArrayDesignator : public TfsDesignator {
    QZ_CLASS(TfsArrayDesignator, TfsDesignator)
public:
    using TfsDesignator::TfsDesignator;
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
};

// A set constructor [a, b..c]; a null item between two expressions marks a range.
class TfsSetExpression : public TfsCustomVariable {
    QZ_CLASS(TfsSetExpression, TfsCustomVariable)
public:
    TfsSetExpression() : TfsCustomVariable("", stVariant, "") {}
    Variant GetValue() override;
    bool Contains(const Variant& value);
    std::vector<std::unique_ptr<TfsCustomExpression>> Items;   // null = range marker
};

namespace fs_iexpression {
// Variant operations as scripts see them (integer shortcuts included).
Variant Compute(TfsOperatorCode op, const Variant& a, const Variant& b);
}
