// The application's ready-made grid on the data-aware grid: a flat row list
// over one data set whose only multiple selection is whole rows, sorted by
// clicks on the column titles (several columns at once), with the column
// layout kept in the table syscols and the same services as the grid-view
// wrapper: sort and contains-filter dialogs, column choice, the exports,
// the export wizard and a batch update of one column.
#pragma once

#include "DBGridEh.h"
#include "qzGridcx.h"

#include <functional>
#include <string>
#include <vector>

class TAction;
class TDataSource;
class TqzPopupMenu;

using TColumnFieldEvent = std::function<void(TField* Field)>;
using TDrawFieldCellEvent =
    std::function<void(const TRect& Rect, int DataCol, TField* Field, TGridDrawState State)>;

class TqzDBGrid : public TDBGridEh {
    QZ_CLASS(TqzDBGrid, TDBGridEh)
public:
    explicit TqzDBGrid(TComponent* AOwner = nullptr);
    ~TqzDBGrid() override;

    TqzPopupMenu* PopupMenuQz() const { return FPopupMenuQz; }
    TAction* ActionExport() const { return FActionExport; }
    TAction* ActionExport2Excel() const { return FActionExport2Excel; }
    TAction* ActionExport2Html() const { return FActionExport2Html; }
    TAction* ActionColVisible() const { return FActionColVisible; }
    TAction* ActionTableStyleSave() const { return FActionTableStyleSave; }
    TAction* ActionSort() const { return FActionSort; }

    int LayoutId() const { return FLayoutId; }
    // Sets the id and shows the layout stored under it.
    void SetLayoutId(int AValue);
    void LoadLayout(int ALayoutId);
    // Stores the current layout under the id; true when a row was written.
    virtual bool SaveLayout(int ALayoutId);
    std::string GetLayout() const;
    // Columns of the fields the text does not name stay visible.
    void SetLayout(const std::string& AValue);
    // One visible column per visible field of the data set.
    void CreateDefaultColumns();
    // True when a data source, a data set and an open data set are there;
    // otherwise says which is missing.
    bool CheckDataSet();
    // The sort text of the title markers, in marking order:
    // "Name, Signdate DESC " (a lookup column sorts by its key fields).
    std::string SortMarkersText() const;
    void ApplySortMarkers();

    // The user's commands (menu items and actions run them).
    void PopupButtonClick(TControl* Sender);
    void SortClick();
    void FilterClick();
    void ExportClick();
    void BatchUpdateClick();
    virtual void SaveToExcelClick();
    virtual void SaveToHtmlClick();
    virtual void SaveLayoutClick();
    virtual void PickColumnsClick();
    virtual void ExportToExcel();
    virtual void ExportToHtml();

    // Called after each row the batch update changed.
    TProcedureObject BatchProc;
    // Fired on a cell click with the column's field, before OnCellClick.
    TColumnFieldEvent OnColumnFieldClick;
    // Fired after a cell is drawn; the cell is then drawn again the grid's
    // own way, so the handler can set the canvas up for it.
    TDrawFieldCellEvent OnDrawFieldCell;

    void CellClick(TColumnEh* AColumn) override;
    void DrawColumnCell(const TRect& ARect, int ADataCol, TColumnEh* AColumn, TGridDrawState AState) override;
    void TitleBtnClick(int ACol, TColumnEh* AColumn) override;
    // Left and Right move among the visible columns, Up and Down move the
    // data set; nothing else of the grid's own key handling runs.
    void KeyDown(WORD& AKey, TShiftState AShift) override;

    // The last column bound to a field of the field's name (exact case), or null.
    TColumnEh* FindColumnByField(TField* AField) const;
    // The column of the field shows the sum of its values in its footer
    // (the grid must show footers for it to appear).
    void SetFooterSum(TField* AField);

private:
    std::vector<DataExporter::TExportColumn> VisibleExportColumns() const;
    TDataSource* FOwnDataSource = nullptr;
    TqzPopupMenu* FPopupMenuQz = nullptr;
    TAction* FActionExport = nullptr;
    TAction* FActionExport2Excel = nullptr;
    TAction* FActionExport2Html = nullptr;
    TAction* FActionColVisible = nullptr;
    TAction* FActionTableStyleSave = nullptr;
    TAction* FActionSort = nullptr;
    int FLayoutId = 0;
};
