// DBLookupGridsEh: a grid that lists the records of a list data set and
// lets the user pick one; the pick is the record's key value(s). The key
// may also be written into field(s) of an edited record (the value side),
// and a special row above the records may stand for a value the list does
// not hold (for instance "none").
#pragma once

#include "DBCtrlsEh.h"
#include "DBGridEh.h"
#include "ToolCtrlsEhSpecRow.h"

#include <memory>
#include <string>
#include <vector>

class TDBLookupGridEh;

// A column's cell of the special row: its own text, colour and font once
// assigned, else the special row's.
class TGridColumnSpecCellEh : public TPersistent {
    QZ_CLASS(TGridColumnSpecCellEh, TPersistent)
public:
    explicit TGridColumnSpecCellEh(TColumnEh* column = nullptr);
    ~TGridColumnSpecCellEh() override;
    std::string Text() const;
    void SetText(const std::string& v);
    TColor Color() const;
    void SetColor(TColor v);
    TFont* Font() const;
    void SetFont(TFont* v) { FFont->Assign(v); }
    bool TextAssigned() const { return FTextAssigned; }
    bool ColorAssigned() const { return FColorAssigned; }
    bool FontAssigned() const { return FFontAssigned; }
    void Assign(TPersistent* source) override;
    TPersistent* GetOwner() const override { return FColumn; }
private:
    TSpecRowEh* GridSpecRow() const;
    TColumnEh* FColumn;
    std::string FText;
    TColor FColor = clWindow;
    std::unique_ptr<TFont> FFont;
    bool FTextAssigned = false, FColorAssigned = false, FFontAssigned = false, FRefreshing = false;
};

// The column of a lookup list grid, with its special-row cell.
class TDBLookupGridColumnEh : public TColumnEh {
    QZ_CLASS(TDBLookupGridColumnEh, TColumnEh)
public:
    explicit TDBLookupGridColumnEh(TCollection* collection = nullptr);
    ~TDBLookupGridColumnEh() override;
    TGridColumnSpecCellEh* SpecCell() const { return FSpecCell.get(); }
    void SetSpecCell(TGridColumnSpecCellEh* v) { FSpecCell->Assign(v); }
    void Assign(TPersistent* source) override;
private:
    std::unique_ptr<TGridColumnSpecCellEh> FSpecCell;
};

// The column defaults of a lookup list grid: only the end ellipsis, the
// title defaults and the tips are stored.
class TDBLookupGridColumnDefValuesEh : public TColumnDefValuesEh {
    QZ_CLASS(TDBLookupGridColumnDefValuesEh, TColumnDefValuesEh)
public:
    explicit TDBLookupGridColumnDefValuesEh(TCustomDBGridEh* grid = nullptr) : TColumnDefValuesEh(grid) {}
};

// The value side's data link: its changes refresh the grid's key.
class TLookupGridDataLinkEh : public TDataLink {
    QZ_CLASS(TLookupGridDataLinkEh, TDataLink)
public:
    explicit TLookupGridDataLinkEh(TDBLookupGridEh* grid = nullptr) : FGrid(grid) {}
protected:
    void ActiveChanged() override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;
    void FocusControl(TField*& field) override;
private:
    TDBLookupGridEh* FGrid;
};

class TDBLookupGridEh : public TCustomDBGridEh {
    QZ_CLASS(TDBLookupGridEh, TCustomDBGridEh)
    friend class TLookupGridDataLinkEh;
public:
    explicit TDBLookupGridEh(TComponent* owner = nullptr);
    ~TDBLookupGridEh() override;

    TDataSource* ListSource() const { return DataSource(); }
    void SetListSource(TDataSource* v);
    const std::string& KeyField() const { return FKeyFieldName; }
    void SetKeyField(const std::string& v);
    const std::string& ListField() const { return FListFieldName; }
    void SetListField(const std::string& v);
    int ListFieldIndex() const { return FListFieldIndex; }
    void SetListFieldIndex(int v);
    const std::vector<TField*>& ListFields() const { return FListFields; }
    // The field whose text is the choice's text.
    TField* ShownField() const { return FListField; }
    const Variant& KeyValue() const { return FKeyValue; }
    void SetKeyValue(const Variant& v);
    TDataSource* ValueSource() const { return FDataLink->DataSource(); }
    void SetValueSource(TDataSource* v);
    const std::string& ValueField() const { return FDataFieldName; }
    void SetValueField(const std::string& v);
    // The value-side key fields' names, ';'-joined.
    const std::string& ValueKeyFieldNames() const { return FValueKeyNames; }
    bool LookupMode() const { return FLookupMode; }
    bool ListActive() const { return FListActive; }
    TSpecRowEh* SpecRow() const { return FSpecRow.get(); }
    void SetSpecRow(TSpecRowEh* v) { FSpecRow->Assign(v); }
    bool SpecRowSelected() const { return FSpecRowSelected; }
    const std::string& IncSearchText() const { return FSearchText; }
    const std::string& SelectedText() const { return FSelectedText; }
    int ListRowCount() const { return FListRowCount; }
    void SetListRowCount(int v);
    bool ShowTitleRow() const { return Options().Contains(dgTitles); }
    void SetShowTitleRow(bool v);
    bool AutoFitList() const { return FAutoFitList; }
    void SetAutoFitList(bool v);
    TDBLookupGridEhOptions LookupOptions() const { return FLookupOptions; }
    void SetLookupOptions(TDBLookupGridEhOptions v);
    // The sum of the shown columns' widths and their lines.
    int TotalColumnWidth() const;

    virtual bool CanSelectKey() const;
    // One value for one field, an array of as many values for several.
    virtual bool KeyValueFits(const std::vector<TField*>& fields, const Variant& value) const;
    int BorderHeight() const;
    int SpecRowHeight() const;
    int ListRowHeight() const;
    virtual void KeyValueChanged();
    virtual void UpdateListInfo();
    // The incremental search: the list's first record whose shown text
    // starts with what was typed (ignoring case) becomes the choice.
    virtual void SearchKey(char key);
    virtual void SelectKeyValue(const Variant& value);
    virtual void SpecRowChanged();
    virtual void UpdateColumnWidths();
    virtual void DataLinkChanged();
    virtual void ListLinkChanged();
    virtual bool FindKeyRecord();
    // The current list record, or the special row, becomes the choice.
    void SelectCurrent();
    void SelectSpecRow();
    int WindowRecordIndex() const { return FRecordIndex; }
    int WindowRecordCount() const { return FRecordCount; }

    // ---- the grid's operations, redefined
    int FilterRowCount() const override;
    void SetBounds(int left, int top, int width, int height) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
    bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;
    void SyncCurrentRow() override;
    void LinkActiveChanged(bool active) override;
    void RefreshFromData() override;
    void DataScrolled(int distance) override;
    void RecalcRowCount() override;
    // The bar stands for the window over the list (a sequenced list: its
    // first record among all; another: three places, top, middle, end).
    void RefreshVertScrollBar() override;
    // Columns built from the fields show the list fields only.
    void BuildFieldMap() override;
    void GetCellParams(TColumnEh* column, TFont* font, TColor& background, TGridDrawState state) override;
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    void ColWidthsChanged() override;
    // A moved column takes its special-row cell along, the shown field
    // stays the same field and the list field names follow the new order.
    void ColumnMoved(int fromIndex, int toIndex) override;
    void Dispatch(TMessage& message) override;

    // Inside a drop-down the grid picks without taking the focus.
    bool InDropDown() const { return FInDropDown; }
    void SetInDropDown(bool v) { FInDropDown = v; }

protected:
    TColumnDefValuesEh* MakeColumnDefValues() override;
    void CreateWnd() override;
    void Notification(TComponent* component, TOperation operation) override;
    bool ValueReadOnly() const { return FDataLink->ReadOnly(); }
    // While a drag is held above or below the rows: one record up or down,
    // sooner the farther away the mouse is.
    void AutoScrollStep() override;
    // Chooses the special row or the record shown at a client height.
    void SelectAt(int y);

private:
    bool RowIsKey() const;
    Variant CurrentKey() const;
    bool AtKeyRow();
    void MoveList(int distance);
    // The bar scrolls the window over the list, never the key.
    void WMVScroll(TMessage& message);
    // Scrolls a sequenced list so that its window starts at record number first.
    void ScrollWindowTo(int first);
    void ApplyListRowCount();
    std::unique_ptr<TLookupGridDataLinkEh> FDataLink;
    std::unique_ptr<TDataSource> FLookupSource;   // the lookup field's list in lookup mode
    std::unique_ptr<TSpecRowEh> FSpecRow;
    std::string FKeyFieldName, FListFieldName, FDataFieldName, FValueKeyNames;
    int FListFieldIndex = 0;
    std::vector<TField*> FKeyFields, FListFields, FDataFields;
    TField* FListField = nullptr;
    Variant FKeyValue = Null();
    bool FLookupMode = false, FListActive = false;
    bool FSpecRowSelected = false;
    bool FSelecting = false;
    bool FTracking = false;
    bool FUpdatingWidths = false;
    bool FInRecalc = false;
    std::string FSearchText;
    std::string FSelectedText;
    int FListRowCount = 7;
    bool FAutoFitList = false;
    TDBLookupGridEhOptions FLookupOptions{dlgColLinesEh};
    int FRecordIndex = 0, FRecordCount = 0;
    char FSearchLead = 0;
    int FDragY = 0;   // the mouse's height while a drag is held
    bool FInDropDown = false;
};

// The lookup list grid as a drop-down: a popup window that never takes the
// focus, with a size grip, telling its user of keys changed by the user
// and closing on a mouse release.
class TPopupDataGridEh : public TDBLookupGridEh {
    QZ_CLASS(TPopupDataGridEh, TDBLookupGridEh)
public:
    explicit TPopupDataGridEh(TComponent* owner = nullptr);
    ~TPopupDataGridEh() override;
    TSizeGripEh* SizeGrip() const { return FSizeGrip; }
    // Set when the window was resized; its user clears it before showing.
    bool SizeChanged() const { return FSizeChanged; }
    void SetSizeChanged(bool v) { FSizeChanged = v; }
    bool CanFocus() const override { return false; }
    void KeyValueChanged() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Dispatch(TMessage& message) override;
    // What a release at a client point means: 1 accept, 0 cancel, -1 nothing.
    int ReleaseOutcome(int x, int y) const;

    TCloseUpEventEh OnMouseCloseUp;
    TNotifyEvent OnKeyValueChangedByUser;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    struct TUserAction;
    TSizeGripEh* FSizeGrip = nullptr;   // a child the grid owns
    bool FSizeChanged = false;
    int FUserAction = 0;
    bool FPressedInside = false;
};

namespace DBLookupGridsEh {
inline constexpr const char* SCircularDataLink = "Circular datalinks are not allowed";
inline constexpr const char* SPropDefByLookup = "Property already defined by lookup field";
inline constexpr const char* SDataSourceFixed = "Operation not allowed in a DBCtrlGrid";
// Milliseconds after which a search key starts a new search.
inline constexpr uint32_t SearchTimeout = 2000;
inline constexpr int MaxSearchLength = 32;
}
