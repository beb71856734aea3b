// The filter criteria: a tree of groups (AND, OR, NOT AND, NOT OR) and
// conditions (item, operator, value, display text); record evaluation; the
// expression and caption texts; the criteria stream (the content of *.flt
// files); the operator classes; the filter drop-down value list.
#pragma once

#include "Components.h"
#include "TypInfo.h"
#include "Variants.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TStream;
class TcxFilterCriteria;
class TcxFilterCriteriaItem;
class TcxFilterCriteriaItemList;
class TcxFilterValueList;

enum TcxFilterOperatorKind : uint8_t {
    foEqual, foNotEqual, foLess, foLessEqual, foGreater, foGreaterEqual, foLike, foNotLike,
    foBetween, foNotBetween, foInList, foNotInList, foYesterday, foToday, foTomorrow,
    foLastWeek, foLastMonth, foLastYear, foThisWeek, foThisMonth, foThisYear, foNextWeek,
    foNextMonth, foNextYear, foNull, foNotNull
};
constexpr int cxFilterOperatorKindCount = 26;

enum TcxFilterBoolOperatorKind : uint8_t { fboAnd, fboOr, fboNotAnd, fboNotOr };

enum TcxFilterCriteriaOption { fcoCaseInsensitive, fcoShowOperatorDescription, fcoSoftNull, fcoSoftCompare };
using TcxFilterCriteriaOptions = TSet<TcxFilterCriteriaOption, 8>;
QZ_ENUM_TYPEINFO(TcxFilterCriteriaOption, "fcoCaseInsensitive", "fcoShowOperatorDescription", "fcoSoftNull",
                 "fcoSoftCompare")

// ---- operators --------------------------------------------------------------------

class TcxFilterOperator : public TObject {
    QZ_CLASS(TcxFilterOperator, TObject)
public:
    explicit TcxFilterOperator(TcxFilterCriteriaItem* item) : FCriteriaItem(item) {}

    virtual void FormatExpressionValue(const Variant& value, std::string& text) { FormatValue(value, text); }
    virtual void FormatValue(const Variant& value, std::string& text);
    virtual void PrepareDisplayValue(std::string& text) {}
    virtual void ItemChanged() {}
    virtual bool FormatSpecialValue(const Variant& value, std::string& text) { return false; }
    virtual bool Matches(const Variant& recordValue, const Variant& conditionValue) = 0;
    virtual void GetDisplayText(std::string& text) { GetExpressionText(text); }
    virtual void GetExpressionText(std::string& text) = 0;
    virtual bool IsDescription() { return false; }
    virtual bool IsExpression() { return false; }

    TcxFilterCriteriaItem* CriteriaItem() const { return FCriteriaItem; }
    TcxFilterCriteria* Criteria() const;
    std::string DisplayText()
    {
        std::string s;
        GetDisplayText(s);
        return s;
    }
    std::string ExpressionText()
    {
        std::string s;
        GetExpressionText(s);
        return s;
    }

protected:
    std::string FieldName() const;

private:
    TcxFilterCriteriaItem* FCriteriaItem;
};

using TcxFilterOperatorClass = TClass;

// The operator class of a kind (the null switch is the condition's).
TcxFilterOperator* cxCreateFilterOperator(TcxFilterOperatorKind kind, TcxFilterCriteriaItem* item);
// The blank tests as SQL writes them ("IS" / "IS NOT" NULL).
TcxFilterOperator* cxCreateSQLNullOperator(bool notNull, TcxFilterCriteriaItem* item);
// Whether the operator is a blank test (notNull tells which).
bool cxIsNullOperator(TcxFilterOperator* op, bool& notNull);

class TcxFilterDateOperator : public TcxFilterOperator {
    QZ_CLASS(TcxFilterDateOperator, TcxFilterOperator)
public:
    using TcxFilterOperator::TcxFilterOperator;
    TDateTime RangeStart = 0;   // inclusive
    TDateTime RangeEnd = 0;     // exclusive
    bool Matches(const Variant& v, const Variant& c) override;
    void FormatExpressionValue(const Variant& value, std::string& text) override;
    void PrepareDisplayValue(std::string& text) override { text.clear(); }
    bool IsExpression() override { return true; }
    void GetExpressionText(std::string& text) override { GetDisplayText(text); }
};

// ---- the tree ------------------------------------------------------------------------

class TcxCustomFilterCriteriaItem : public TObject {
    QZ_CLASS(TcxCustomFilterCriteriaItem, TObject)
public:
    explicit TcxCustomFilterCriteriaItem(TcxFilterCriteriaItemList* parent) : FParent(parent) {}
    ~TcxCustomFilterCriteriaItem() override;

    virtual void Changed();
    virtual TcxFilterCriteria* GetCriteria() const;
    virtual bool IsItemList() const = 0;
    virtual void ReadData(TStream* stream) {}
    virtual void WriteData(TStream* stream) = 0;

    TcxFilterCriteriaItemList* Parent() const { return FParent; }

private:
    friend class TcxFilterCriteriaItemList;
    TcxFilterCriteriaItemList* FParent;
};

class TcxFilterCriteriaItemList : public TcxCustomFilterCriteriaItem {
    QZ_CLASS(TcxFilterCriteriaItemList, TcxCustomFilterCriteriaItem)
public:
    TcxFilterCriteriaItemList(TcxFilterCriteriaItemList* parent, TcxFilterBoolOperatorKind boolOperator);
    ~TcxFilterCriteriaItemList() override;

    TcxFilterCriteriaItem* AddItem(TObject* itemLink, TcxFilterOperatorKind kind, const Variant& value,
                                   const std::string& displayValue);
    TcxFilterCriteriaItemList* AddItemList(TcxFilterBoolOperatorKind boolOperator);
    virtual void RemoveItem(TcxCustomFilterCriteriaItem* item);
    void Clear();
    int Count() const { return int(FItems.size()); }
    TcxCustomFilterCriteriaItem* Items(int index) const;
    TcxFilterBoolOperatorKind BoolOperatorKind() const { return FBoolOperatorKind; }
    void SetBoolOperatorKind(TcxFilterBoolOperatorKind value);
    TcxFilterCriteria* GetCriteria() const override;
    bool IsItemList() const override { return true; }
    void WriteData(TStream* stream) override;
    bool Evaluate(int recordIndex);

private:
    friend class TcxFilterCriteria;
    friend class TcxCustomFilterCriteriaItem;
    void Append(TcxCustomFilterCriteriaItem* item);
    TcxFilterBoolOperatorKind FBoolOperatorKind;
    TcxFilterCriteria* FCriteria = nullptr;   // the root only
    std::vector<TcxCustomFilterCriteriaItem*> FItems;
};

class TcxFilterCriteriaItem : public TcxCustomFilterCriteriaItem {
    QZ_CLASS(TcxFilterCriteriaItem, TcxCustomFilterCriteriaItem)
public:
    TcxFilterCriteriaItem(TcxFilterCriteriaItemList* parent, TObject* itemLink, TcxFilterOperatorKind kind,
                          const Variant& value, const std::string& displayValue);
    ~TcxFilterCriteriaItem() override;
    // Runs the constructor's virtual steps (the operator and the blank caption).
    void AfterConstruction() override;

    virtual void GetDataValue(int recordIndex, Variant& value) { value = Null(); }
    virtual std::string GetDisplayValue();
    virtual std::string GetValueText(bool caption);
    virtual std::string GetFieldCaption() { return std::string(); }
    virtual std::string GetFieldName() { return std::string(); }
    virtual TcxFilterOperatorKind GetOperatorClassKind();
    virtual TObject* GetItemLink() const { return FItemLink; }
    virtual void RecreateOperator();
    virtual bool IsNullValue(const Variant& value);

    bool IsItemList() const override { return false; }
    void WriteData(TStream* stream) override;
    bool Evaluate(int recordIndex);

    const std::string& DisplayValue() const { return FDisplayValue; }
    // Puts another operator object in place of the current one (owned).
    void ReplaceOperator(TcxFilterOperator* op) { FOperator.reset(op); }
    void SetDisplayValue(const std::string& v);
    TObject* ItemLink() const { return FItemLink; }
    void SetItemLink(TObject* v);
    TcxFilterOperator* Operator() const { return FOperator.get(); }
    TcxFilterOperatorKind OperatorKind() const { return FOperatorKind; }
    void SetOperatorKind(TcxFilterOperatorKind v);
    const Variant& Value() const { return FValue; }
    void SetValue(const Variant& v);

private:
    std::string FDisplayValue;
    TObject* FItemLink;
    std::unique_ptr<TcxFilterOperator> FOperator;
    TcxFilterOperatorKind FOperatorKind;
    Variant FValue;
};

// ---- the criteria ------------------------------------------------------------------------

using TcxFilterCriteriaItemClass = std::function<TcxFilterCriteriaItem*(
    TcxFilterCriteriaItemList*, TObject*, TcxFilterOperatorKind, const Variant&, const std::string&)>;

class TcxFilterCriteria : public TPersistent {
    QZ_CLASS(TcxFilterCriteria, TPersistent)
public:
    TcxFilterCriteria();
    ~TcxFilterCriteria() override;

    void Assign(TPersistent* source) override;

    virtual void Changed();
    virtual void CheckChanges();
    virtual std::string FormatBoolean(bool value);
    virtual std::string FormatDate(TDateTime value);
    virtual void FormatFilterTextValue(TcxFilterCriteriaItem* item, const Variant& value, std::string& text) {}
    virtual std::string GetFilterCaption();
    virtual void BuildFilterText(bool caption, std::string& text);
    virtual std::string GetFilterText();
    virtual int GetIDByItemLink(TObject* itemLink) { return -1; }
    virtual TcxFilterCriteriaItem* CreateItem(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                                              TcxFilterOperatorKind kind, const Variant& value,
                                              const std::string& displayValue);
    virtual void GetItemText(TcxFilterCriteriaItem* item, bool caption, std::string& text);
    virtual std::string GetItemLinkText(TcxFilterCriteriaItem* item, bool caption);
    virtual std::string GetOperatorText(TcxFilterCriteriaItem* item, bool caption);
    virtual std::string GetValuePartText(TcxFilterCriteriaItem* item, bool caption);
    virtual TObject* GetItemLinkByID(int id) { return nullptr; }
    virtual TcxFilterValueList* CreateValueList();
    virtual void NotifyOperators();
    virtual void PrepareCompareValue(const Variant& value, Variant& out);
    // Reads the criteria stream. The whole stream is read before anything is
    // changed: a malformed stream raises and leaves the criteria as it was.
    virtual void ReadData(TStream* stream);
    virtual void DoChanged();
    virtual void WriteData(TStream* stream);
    virtual void AssignEvents(TcxFilterCriteria* source);
    virtual void AssignItems(TcxFilterCriteria* source);
    virtual TcxFilterCriteriaItem* AddItem(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                                           TcxFilterOperatorKind kind, const Variant& value,
                                           const std::string& displayValue);
    virtual TcxFilterCriteriaItem* FindItemByItemLink(TObject* itemLink);
    virtual bool IsEmpty() const;
    // The criteria as a TFilterWrapper in the component stream: its published
    // settings and, while HasCriteriaData, the binary property "Criteria"
    // holding the criteria stream. Loading runs inside one update (one change
    // announcement); a damaged stream raises and leaves the criteria as it was.
    virtual void LoadFromStream(TStream* stream);
    virtual void RestoreDefaults();
    virtual void SaveToStream(TStream* stream);
    virtual bool IsNullValue(const Variant& value);
    virtual bool RecordPasses(int recordIndex);

    void BeginUpdate() { ++FLockCount; }
    void EndUpdate();
    void CancelUpdate() { --FLockCount; }
    int LockCount() const { return FLockCount; }
    void Clear();
    void RemoveItemByItemLink(TObject* itemLink);
    // The root operator is not AND, or the root has a child.
    bool HasCriteriaData() const;
    void DefineProperties(TFiler* filer) override;
    // Loads and saves a *.flt file (the criteria stream alone).
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    TcxFilterCriteriaItemList* Root() const { return FRoot; }
    const std::string& DateTimeFormat() const { return FDateTimeFormat; }
    void SetDateTimeFormat(const std::string& v);
    int MaxValueListCount() const { return FMaxValueListCount; }
    void SetMaxValueListCount(int v) { FMaxValueListCount = v; }
    TcxFilterCriteriaOptions Options() const { return FOptions; }
    void SetOptions(TcxFilterCriteriaOptions v);
    char PercentWildcard() const { return FPercentWildcard; }
    void SetPercentWildcard(char v);
    char UnderscoreWildcard() const { return FUnderscoreWildcard; }
    void SetUnderscoreWildcard(char v);
    bool SupportedLike() const { return FSupportedLike; }
    void SetSupportedLike(bool v) { FSupportedLike = v; }
    bool TranslateBetween() const { return FTranslateBetween; }
    void SetTranslateBetween(bool v) { FTranslateBetween = v; }
    bool TranslateIn() const { return FTranslateIn; }
    void SetTranslateIn(bool v) { FTranslateIn = v; }

    TNotifyEvent OnChanged;

protected:
    void BuildGroupText(TcxFilterCriteriaItemList* list, bool caption, std::string& text);

private:
    bool FChanged = false;
    std::string FDateTimeFormat;
    int FLockCount = 0;
    int FMaxValueListCount = 0;
    TcxFilterCriteriaOptions FOptions;
    char FPercentWildcard = '%';
    TcxFilterCriteriaItemList* FRoot;
    bool FSupportedLike = true;
    bool FTranslateBetween = false;
    bool FTranslateIn = false;
    char FUnderscoreWildcard = '_';
};

// ---- the value list of the filter drop-down -------------------------------------------------

enum TcxFilterValueItemKind : uint8_t {
    fviAll = 0, fviCustom = 1, fviBlanks = 2, fviNonBlanks = 3, fviUser = 4, fviValue = 5, fviMRU = 6, fviMRUSeparator = 7
};

struct TcxFilterValueItem {
    TcxFilterValueItemKind Kind;
    Variant Value;
    std::string DisplayText;
};

class TcxFilterValueList : public TObject {
    QZ_CLASS(TcxFilterValueList, TObject)
public:
    explicit TcxFilterValueList(TcxFilterCriteria* criteria) : FCriteria(criteria) {}
    ~TcxFilterValueList() override { Clear(); }

    virtual int CompareItem(int index, const Variant& value, const std::string& displayText);
    virtual void Add(TcxFilterValueItemKind kind, const Variant& value, const std::string& displayText,
                     bool append = false);
    virtual void Clear();
    virtual bool Find(const Variant& value, const std::string& displayText, int& index);
    virtual int GetItemIndexByCriteriaItem(TcxFilterCriteriaItem* item);

    int Count() const { return int(FItems.size()); }
    TcxFilterValueItem* Items(int index) const { return FItems[size_t(index)].get(); }
    int IndexOfKind(TcxFilterValueItemKind kind) const;
    int SeparatorIndex() const;
    int FirstValueIndex() const;
    int MaxCount() const { return FCriteria ? FCriteria->MaxValueListCount() : 0; }
    bool SortByDisplayText() const { return FSortByDisplayText; }
    void SetSortByDisplayText(bool v) { FSortByDisplayText = v; }
    TcxFilterCriteria* Criteria() const { return FCriteria; }

private:
    TcxFilterCriteria* FCriteria;
    std::vector<std::unique_ptr<TcxFilterValueItem>> FItems;
    bool FSortByDisplayText = false;
};

// Carries a criteria through a component stream: its one published
// property, Filter, is the criteria, written and read in place.
class TFilterWrapper : public TComponent {
    QZ_CLASS(TFilterWrapper, TComponent)
public:
    explicit TFilterWrapper(TComponent* owner = nullptr) : TComponent(owner) {}
    TcxFilterCriteria* Filter = nullptr;
};

namespace cxFilter {

// ';'-separated items, trimmed; an empty text gives an empty string.
Variant ParseListText(const std::string& text);
Variant ParseBetweenText(const std::string& text);
std::string ExtractListItem(const std::string& text, size_t& pos);
std::string BetweenDisplayText(const std::string& first, const std::string& second);
std::string ListDisplayText(const std::vector<std::string>& items);
// Null as the caption "blank", anything else as its text.
std::string ValueToDisplayText(const Variant& value);

}  // namespace cxFilter
