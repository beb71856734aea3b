// The application's ready-made grid over one data set, on the grid views:
// a read-only row list with numbered rows and tinted alternate rows, the
// per-grid column layout kept in the table syscols, the column-choice and
// sort dialogs, the exports and a batch update of one column.
#pragma once

#include "cxGrid.h"

#include <functional>
#include <string>
#include <vector>

class TAction;
class TcxCanvas;
class TcxCustomGridIndicatorItemViewInfo;
class TcxCustomGridRecord;
class TcxCustomGridTableItem;
class TcxCustomGridTableView;
class TcxGridDBTableView;
class TcxGridLevel;
class TcxGridTableDataCellViewInfo;
class TcxGridTableView;
class TDataSet;
class TDataSource;
class TField;
class TqzPopupMenu;
class TWinControl;

namespace DataExporter {
struct TExportColumn;
}

using TProcedureObject = std::function<void()>;
using TGridSelectEvent = std::function<void(bool Selected)>;
using TGridCellClickEvent = std::function<void(TField* Field)>;

namespace qzGridcx {
// An action of a grid wrapper's popup menu, owned by owner, running run.
TAction* MakeAction(TComponent* owner, const char* caption, std::function<void()> run);
}  // namespace qzGridcx

// The stored column layout both grid wrappers share: one line per column,
// "<field name>=<True|False><width>", each line ended by CR LF.
namespace qzGridLayout {

// The value of a column's line: "True75".
std::string LineValue(bool visible, int width);
// Reads a line's value: visible when it holds "True" (exact case); the
// width is what is left once every "True" and "False" is taken out
// (case ignored). A width that is no number raises EConvertError.
void ParseValue(const std::string& value, bool& visible, int& width);
// The layout text stored under the id; false (and empty text) when there is
// no row.
bool Load(int layoutId, std::string& text);
// Stores the text under the id, updating its row or inserting one; true
// when a row was written.
bool Save(int layoutId, const std::string& text);

}  // namespace qzGridLayout

class TqzGridcx : public TcxGrid {
    QZ_CLASS(TqzGridcx, TcxGrid)
public:
    // Made through the class record (StaticClass()->Create(owner)), so that
    // the view, its level, the data source and the menu are made once the
    // grid has its root level.
    explicit TqzGridcx(TComponent* AOwner = nullptr);
    void AfterConstruction() override;
    void BeforeDestruction() override;
    ~TqzGridcx() override;
    // A grid of the class (a descendant of this one; this one when null)
    // filling the parent, over the data set, tagged with the layout id and
    // showing the layout stored under it.
    static TqzGridcx* CreateWithLayout(TComponent* AOwner, int ALayoutId, TDataSet* ADataSet, TWinControl* AParent,
                                       TClass AClass = nullptr);

    TcxGridDBTableView* View() const { return FView; }
    TDataSource* DataSource() const { return FDataSource; }
    TqzPopupMenu* PopupMenuQz() const { return FPopupMenuQz; }
    TAction* ActionExport() const { return FActionExport; }
    TAction* ActionExport2Excel() const { return FActionExport2Excel; }
    TAction* ActionExport2Html() const { return FActionExport2Html; }
    TAction* ActionColVisible() const { return FActionColVisible; }
    TAction* ActionTableStyleSave() const { return FActionTableStyleSave; }
    TAction* ActionSort() const { return FActionSort; }

    TDataSet* DataSet() const;
    void SetDataSet(TDataSet* AValue);
    // The layout text of the columns; writing it applies it.
    std::string Layout() const { return GetLayout(); }
    void SetLayout(const std::string& AValue);
    std::string GetLayout() const;
    int RowCount() const;
    int SelectedCount() const;

    // Reads the layout stored under the id and applies it; true when a row
    // was found.
    bool LoadLayout(int ALayoutId);
    // Stores the current layout under the id; true when a row was written.
    virtual bool SaveLayout(int ALayoutId);
    // One column per visible field of the data set, visible or hidden.
    void CreateDefaultColumns(bool AVisible);
    // The column bound to the field's name gets the plain text editor and
    // the focusing option; nothing when no column has that field.
    void SetTextEditColumn(TField* AField, bool AFocusing);
    // True when a data set is set and open; otherwise says which is missing.
    bool CheckDataSet();
    // Fills the popup menu anew.
    void BuildPopupMenu();

    // The user's commands (menu items and actions run them).
    void SortClick();
    virtual void PickColumnsClick();
    virtual void SaveLayoutClick();
    virtual void SaveToExcelClick();
    virtual void SaveToHtmlClick();
    void ExportClick();
    void BatchUpdateClick();
    // The exports the commands run once the right is granted.
    void ExportToExcel();
    void ExportToHtml();

    // Called after each record the batch update changed.
    TProcedureObject BatchProc;
    TGridSelectEvent OnSelectChanged;
    TNotifyEvent OnEditChanged, OnEditValueChanged;
    // Fired with the view as Sender.
    TNotifyEvent OnFocusedItemChanged;
    TGridCellClickEvent OnCellClick, OnCellDblClick;
    // OnDblClick (inherited) fires with the grid as Sender on a double click in the view.

    // The view's custom drawing: tinted even records (the first, third …
    // rows of data) and the numbered indicator.
    virtual void DrawZebraCell(TcxCustomGridTableView* Sender, TcxCanvas* ACanvas,
                               TcxGridTableDataCellViewInfo* AViewInfo, bool& ADone);
    void DrawIndicatorCell(TcxGridTableView* Sender, TcxCanvas* ACanvas,
                           TcxCustomGridIndicatorItemViewInfo* AViewInfo, bool& ADone);

    // The tint of the zebra rows.
    static constexpr TColor ZebraColor = TColor(0xF0FBFF);

private:
    void ViewCellClick(TcxGridTableDataCellViewInfo* ACellViewInfo, bool& AHandled);
    void ViewDblClick();
    void ViewFocusedRecordChanged(TcxCustomGridRecord* AFocusedRecord);
    void ViewEditChanged(TcxCustomGridTableItem* AItem);
    void ViewEditValueChanged();
    void ViewFocusedItemChanged();
    TField* ColumnField(TcxCustomGridTableItem* AItem) const;
    // Being freed: the view's events are no longer told to the handlers.
    bool Destroyed() const;
    // The shown columns in order, with their captions and fields.
    std::vector<DataExporter::TExportColumn> VisibleColumns() const;
    void FreeOwnObjects();

    TcxGridDBTableView* FView = nullptr;
    // Levels belong to the grid's owner, which may free this one first.
    TWeakRef<TcxGridLevel> FLevel;
    TDataSource* FDataSource = nullptr;
    TqzPopupMenu* FPopupMenuQz = nullptr;
    TAction* FActionExport = nullptr;
    TAction* FActionExport2Excel = nullptr;
    TAction* FActionExport2Html = nullptr;
    TAction* FActionColVisible = nullptr;
    TAction* FActionTableStyleSave = nullptr;
    TAction* FActionSort = nullptr;
};
