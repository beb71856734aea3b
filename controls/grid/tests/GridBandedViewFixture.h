// A banded view on a shown grid, with its own controller, layout and
// painters, and helpers to add bands and text columns, fill records, size
// the client area and lay the view out.
#pragma once

#include "GridTestBase.h"

#include "cxGridBandedController.h"
#include "cxGridBandedLayout.h"
#include "cxGridBandedPainters.h"
#include "cxGridBandedTableView.h"
#include "cxGridTableController.h"
#include "cxGridTableHitTests.h"
#include "cxGridTablePainters.h"

#include <memory>
#include <string>
#include <vector>

class GridBandedViewFixture : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        Editors = std::make_unique<TDefaultEditorsScope>();
        cxGridTableController::Initialize();
        cxGridTablePainters::Initialize();
        cxGridBandedTableView::Initialize();
        View = static_cast<TcxGridBandedTableView*>(Grid->CreateView(TcxGridBandedTableView::StaticClass()));
        View->SetName("BandedView");
        Grid->RootLevel()->Add()->SetGridView(View);
        View->OptionsView()->SetGroupByBox(false);
        Grid->SetBounds(0, 0, 604, 300);
        ShowForm();
    }
    void TearDown() override
    {
        GridTestBase::TearDown();
        Editors.reset();
        cxGridTableView::SetControllerClass({});
        cxGridTableView::SetPainterClass({});
    }
    TcxGridBand* AddBand(const std::string& ACaption, TcxGridBandFixedKind AKind = fkNone, int AWidth = 0)
    {
        TcxGridBand* band = View->Bands()->Add();
        band->SetCaption(ACaption);
        band->SetFixedKind(AKind);
        band->SetWidth(AWidth);
        return band;
    }
    TcxGridBandedColumn* AddColumn(const std::string& ACaption, TcxGridBand* ABand, int AWidth = 100, int ARow = 0,
                                   int ALineCount = 1)
    {
        TcxGridBandedColumn* column = View->CreateColumn();
        column->SetCaption(ACaption);
        column->DataBinding()->SetValueTypeClass(TcxStringValueType::Class());
        column->SetWidth(AWidth);
        column->Position()->SetBandIndex(ABand->Index());
        column->Position()->SetRowIndex(ARow);
        column->Position()->SetLineCount(ALineCount);
        return column;
    }
    // One record per row of texts, in the order the columns were made.
    void Fill(const std::vector<std::vector<std::string>>& ARows)
    {
        TcxCustomDataController* dc = View->DataController();
        dc->SetRecordCount(int(ARows.size()));
        for (size_t r = 0; r < ARows.size(); ++r)
            for (size_t c = 0; c < ARows[r].size(); ++c) dc->SetValue(int(r), int(c), Variant(ARows[r][c]));
    }
    void Layout()
    {
        GuiTest::ProcessEvents();
        VI()->Recalculate();
    }
    // Sizes the grid so that the view's client area is AWidth wide.
    void SetClientWidth(int AWidth)
    {
        Layout();
        int extra = Grid->Width() - VI()->ClientBounds.Width();
        Grid->SetBounds(0, 0, AWidth + extra, Grid->Height());
        Layout();
    }
    static TPoint Center(const TRect& R) { return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
    TcxGridBandedTableViewInfo* VI() { return static_cast<TcxGridBandedTableViewInfo*>(View->ViewInfo()); }
    TcxGridBandedHeaderViewInfo* Header() { return VI()->BandedHeaderViewInfo(); }
    TcxGridBandsViewInfo* Bands() { return VI()->BandsViewInfo(); }
    // The band view info of a band (null while not shown).
    TcxGridBandViewInfo* BandVI(TcxGridBand* ABand)
    {
        for (int i = 0; i < Bands()->Count(); ++i)
            if (Bands()->Items(i)->Band() == ABand) return Bands()->Items(i);
        return nullptr;
    }
    TcxGridBandedColumnHeaderViewInfo* ColumnVI(TcxGridColumn* AColumn)
    {
        return static_cast<TcxGridBandedColumnHeaderViewInfo*>(Header()->Items(AColumn->VisibleIndex()));
    }
    TcxGridDataRowViewInfo* Row(int AIndex)
    {
        return DynamicCast<TcxGridDataRowViewInfo>(VI()->RowsViewInfo()->ItemAt(AIndex));
    }
    TcxGridBandedTableController* Controller()
    {
        return static_cast<TcxGridBandedTableController*>(View->Controller());
    }
    std::unique_ptr<TDefaultEditorsScope> Editors;
    TcxGridBandedTableView* View = nullptr;
};
