// The filter row's expression language: the text a user types in a column's
// filter cell («> 100», «~ 'Sm%'», «In ('A','B') OR = Null») parsed into at
// most two terms joined by AND or OR, and rendered back to text.
//
// Also the filter row's settings: the grid's (shown or not, and the
// editing of its cells) and each column's (its text, its parsed
// expression, the list it picks from), and the matching of records against
// the column filters when the grid filters its data set itself.
#pragma once

#include "DB.h"
#include "DBCtrlsEh.h"
#include "SysUtils.h"
#include "Variants.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The kinds of lexeme and the operators of a term; the order is stored.
enum TFilterLexemeEh : uint8_t {
    flNone, flEqual, flNotEqual, flGreater, flLess, flGreaterOrEqual, flLessOrEqual, flLike,
    flNotLike, flIn, flNotIn, flNull, flNotNull, flAnd, flOr, flValue
};

// How operands are converted: 0 other, 1 string, 2 number, 3 date and time, 4 Boolean.
using TFilterValueKindEh = uint8_t;
constexpr TFilterValueKindEh fvkOtherEh = 0;
constexpr TFilterValueKindEh fvkStringEh = 1;
constexpr TFilterValueKindEh fvkNumberEh = 2;
constexpr TFilterValueKindEh fvkDateTimeEh = 3;
constexpr TFilterValueKindEh fvkBooleanEh = 4;

struct TSTFilterExpressionEh {
    TFilterValueKindEh ValueKind = fvkOtherEh;
    TFilterLexemeEh FirstOp = flNone;
    Variant FirstOperand = Null();
    TFilterLexemeEh Junction = flNone;
    TFilterLexemeEh SecondOp = flNone;
    Variant SecondOperand = Null();
};

namespace DBGridEhFilter {

extern const char* const FilterOperatorTexts[16];
extern const char* const FilterOperatorSqlTexts[16];
extern const char* const FilterMarkerComment;

// The value kind a field of this data type filters by.
TFilterValueKindEh FilterValueKindOf(TFieldType dataType);

// Both operators and the junction flNone, both operands Null; ValueKind stays.
void ClearFilterExpression(TSTFilterExpressionEh& expression);

// Parses Text into Expression (its ValueKind chooses how operands convert).
// Returns True when a junction was followed by a second term. Errors raise
// Exception with the message followed by the whole text; a number or date
// that does not convert raises EConvertError. A text that goes on after the
// second term is refused rather than cut, so the filter applied is always
// the one typed.
bool ParseFilterExpression(const std::string& text, TSTFilterExpressionEh& expression,
                           const TFormatSettings& settings = FormatSettings);

// The expression as text («> 5 AND <= 10»). With a list source the first
// operand is shown as its comma text instead.
std::string ExpressionAsText(const TSTFilterExpressionEh& expression, bool hasListSource = false,
                             const TFormatSettings& settings = FormatSettings);

} // namespace DBGridEhFilter

class TCustomDBGridEh;
class TColumnEh;
class TDatasetFieldValueListEh;

// ---- a column's filter ---------------------------------------------------------------------

// The filter of one column: the text the user typed, its parsed form and,
// for a list filter (key fields), the keys of the list entry the text names.
class TSTColumnFilterEh : public TPersistent {
    QZ_CLASS(TSTColumnFilterEh, TPersistent)
public:
    explicit TSTColumnFilterEh(TColumnEh* column = nullptr);
    ~TSTColumnFilterEh() override;
    TColumnEh* Column() const { return FColumn; }

    bool Visible() const { return FVisible; }
    // A change relayouts the grid (the column reports it to its collection).
    void SetVisible(bool v);
    const std::string& DataField() const { return FDataField; }
    void SetDataField(const std::string& v) { FDataField = v; }
    const std::string& KeyField() const { return FKeyField; }
    void SetKeyField(const std::string& v) { FKeyField = v; }
    const std::string& ListField() const { return FListField; }
    void SetListField(const std::string& v) { FListField = v; }
    TDataSource* ListSource() const { return FListSource.Get(); }
    void SetListSource(TDataSource* v);
    const std::string& ExpressionText() const { return FExpressionText; }
    const Variant& KeyValues() const { return FKeyValues; }
    TSTFilterExpressionEh ParsedExpression() const { return FExpression; }
    // The size the user last left the filter editor's list at (0: never).
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int v) { FDropDownWidth = v; }
    int DropDownRows() const { return FDropDownRows; }
    void SetDropDownRows(int v) { FDropDownRows = v; }

    void Assign(TPersistent* source) override;
    virtual std::string ExpressionAsText() const;
    // A list source, or a grid over a memtable, gives the filter editor a drop-down list.
    virtual bool HasDropDownButton() const;
    // The field(s) filtered: DataField, else a lookup field's key fields,
    // else the column's field.
    virtual std::string FilterFieldName() const;
    // What the first term compares with: the keys of a list filter, else the operand.
    virtual Variant FilterOperand1() const;
    virtual Variant FilterOperand2() const;
    std::string DataFieldNames() const { return FilterFieldName(); }
    std::string KeyFieldNames() const;
    std::string ListFieldName() const;
    TDataSet* ListDataSet() const;
    // The distinct values of the list source's field, or none.
    std::unique_ptr<TDatasetFieldValueListEh> ValueList() const;

    // Empties the text, the expression and the keys.
    void ClearFilter();
    // Stores the text and repaints the grid (placing its filter editor again).
    void SetExpressionText(const std::string& text);
    // Parses (or, for a list filter, looks up) the text and keeps it. A
    // malformed text raises and leaves the expression as far as it was read.
    void StoreExpressionText(const std::string& text);
    // Parses the text into the expression by the field's value kind.
    void ParseExpressionText(const std::string& text, std::string& normalized);

    // The column's values for the filter editor's list, kept until the
    // grid's data link opens or closes.
    TStrings* CachedValues();
    void DropValueListCache();

private:
    class TListLink;
    TField* ColumnField() const;
    TColumnEh* FColumn;
    bool FVisible = true;
    std::string FDataField, FKeyField, FListField;
    TWeakRef<TDataSource> FListSource;
    TSTFilterExpressionEh FExpression;
    std::string FExpressionText;
    Variant FKeyValues = Null();
    int FDropDownWidth = 0, FDropDownRows = 0;
    std::unique_ptr<TDatasetFieldValueListEh> FValueList;
    std::unique_ptr<TStringList> FMemTableValues;   // without a list source: the memtable's
};

// ---- the filter row editor --------------------------------------------------------------------

// The combo box the grid edits its filter cells with: its text sits one
// pixel lower, and its list may be filled just before it drops down.
class TInplaceFilterEditEh : public TDBComboBoxEh {
    QZ_CLASS(TInplaceFilterEditEh, TDBComboBoxEh)
public:
    explicit TInplaceFilterEditEh(TComponent* owner = nullptr);
    // Sets the value, then shows Text.
    void ShowKeyAndText(const Variant& value, const std::string& text);
    bool DropDownButtonVisible() const { return FButtonVisible; }
    void SetDropDownButtonVisible(bool v) { FButtonVisible = v; }
    // Fills Items before the list drops down while they are empty.
    std::function<void(TInplaceFilterEditEh* sender)> OnGetItems;
    // The grid's key handling, ahead of the box's own (it may clear Key).
    std::function<void(TInplaceFilterEditEh* sender, WORD& key, TShiftState shift)> OnHostKeyDown;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void Dispatch(TMessage& message) override;
    TRect TextRect() const;
    // The text the box had when its list last dropped down.
    const std::string& TextBeforeDrop() const { return FTextBeforeDrop; }
private:
    std::string FTextBeforeDrop;
    bool FButtonVisible = false;
};

// ---- the grid's filter row ---------------------------------------------------------------------

// The grid's filter-row settings and the editing of its cells with one
// shared editor.
class TSTDBGridEhFilter : public TPersistent {
    QZ_CLASS(TSTDBGridEhFilter, TPersistent)
public:
    explicit TSTDBGridEhFilter(TCustomDBGridEh* grid = nullptr);
    ~TSTDBGridEhFilter() override;
    TCustomDBGridEh* Grid() const { return FGrid; }

    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    // Stored only; nothing depends on it.
    bool Local() const { return FLocal; }
    void SetLocal(bool v) { FLocal = v; }
    void Assign(TPersistent* source) override;
    // While an update runs the editor is neither placed nor closed.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate() { if (FUpdateCount > 0) --FUpdateCount; }
    int UpdateCount() const { return FUpdateCount; }

    // ---- editing the filter cells
    int FilterCol() const { return FFilterCol; }
    bool FilterEditorActive() const { return FEditorActive; }
    TInplaceFilterEditEh* FilterEditor() const { return FEditor.get(); }
    bool ColumnHasFilterCell(int dataCol) const;
    std::string FilterCellText(int dataCol) const;
    void ToggleFilterEditor(bool open);
    void OpenFilterEditor(int dataCol);
    void PlaceFilterEditor(bool reload);
    virtual void LoadFilterEditor(int dataCol);
    // Filter editing is on and no cells are selected.
    virtual bool FilterEditorWanted() const;
    void HideFilterEditor();
    void CloseFilterEditor();
    void LeaveFilterRow();
    virtual void StoreFilterText(int dataCol);
    void StoreCurrentFilterText();
    // Stores the text being edited and filters the data set (OnApplyFilter,
    // the data service's handler, or else the grid's own record filter);
    // the view, the editor and the sums are brought up to date also when
    // filtering fails.
    void ApplyGridFilter();
    virtual void ApplyFilterByDataService();
    void ClearGridFilter();
    bool IsFilterRow(int row) const;
    // The columns forget the values read for their lists.
    void DropValueLists();
    // Up on the first record (or with Ctrl) opens the filter row; true when it did.
    bool EnterFilterRow(WORD key, TShiftState shift);
    // A press on a filter cell opens its editor (true when the press was
    // one); a press in the data cells closes it.
    bool FilterCellPressed(int col, int row);
    void DrawFilterCell(int dataCol, const TRect& rect);
    // The list items' codes and texts.
    enum TItemCode { icEmpty = 1, icNotEmpty, icAll, icClearFilter, icSeparator, icOrderAsc, icOrderDesc };
    void FillFilterList(TInplaceFilterEditEh* editor);
    // A special item picked from the list: the box keeps its text and the
    // item acts instead (accept becomes false); a value is left to the box.
    void FilterListItemPicked(TObject* sender, bool& accept);
    // After the list closed: a special item acts, a value filters at once with ApplyFilterOnPick.
    void FilterListClosed(TObject* sender, bool accept);
    void FilterEditorKeyPress(char& key);
    void FilterEditorKeyDown(TObject* sender, WORD& key, TShiftState shift);
    // A pick from the list filters at once (else Enter does).
    bool ApplyFilterOnPick() const { return FApplyFilterOnPick; }
    void SetApplyFilterOnPick(bool v) { FApplyFilterOnPick = v; }

    // ---- the grid's own record filter
    // Whether the data set's current record passes every column filter.
    bool RecordMatches(TDataSet* dataSet) const;
    // Filters the data set by the column filters (no filter when none is set).
    void FilterDataSet();

protected:
    virtual TInplaceFilterEditEh* MakeFilterEditor();

private:
    void MoveToFilterCell(bool forward, bool toEnd, WORD& key);
    TCustomDBGridEh* FGrid;
    bool FVisible = false, FLocal = false;
    int FUpdateCount = 0;
    int FFilterCol = -1;
    bool FEditorActive = false;
    std::unique_ptr<TInplaceFilterEditEh> FEditor;
    std::vector<int> FListCodes;   // the code of each row of the editor's list
    bool FApplyFilterOnPick = false;
    // The data set the grid filters itself, and the handler it had.
    TWeakRef<TDataSet> FFilteredDataSet;
    TFilterRecordEvent FPriorFilterRecord;
    bool FPriorFiltered = false;
};

namespace DBGridEhFilter {
// The texts of the special items of the filter editor's list.
inline constexpr const char* SEmptyItem = "(Empty)";
inline constexpr const char* SNotEmptyItem = "(Not empty)";
inline constexpr const char* SAllItem = "(All)";
inline constexpr const char* SClearFilterItem = "(Clear filter)";
inline constexpr const char* SOrderAscItem = "(Order by ascending)";
inline constexpr const char* SOrderDescItem = "(Order by descending)";
// Whether a value satisfies one term (field Null: only the Null tests).
bool TermMatches(TFilterLexemeEh op, const Variant& operand, const Variant& value, TFilterValueKindEh kind);
// SQL LIKE: % any run, _ one character, letters compared ignoring case.
bool LikeMatches(const std::string& text, const std::string& pattern);
} // namespace DBGridEhFilter
