// A table view of three text columns on a shown grid, with the table's
// controller and painter, for the tests of hit tests, painters and keys.
#pragma once

#include "GridTestBase.h"

#include "cxGridTableController.h"
#include "cxGridTableHitTests.h"
#include "cxGridTableLayout.h"
#include "cxGridTablePainters.h"
#include "cxGridTableView.h"

#include <memory>
#include <string>
#include <vector>

class GridTableViewFixture : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        Editors = std::make_unique<TDefaultEditorsScope>();
        cxGridTableView::Initialize();
        cxGridTableController::Initialize();
        cxGridTablePainters::Initialize();
        View = static_cast<TcxGridTableView*>(Grid->CreateView(TcxGridTableView::StaticClass()));
        View->SetName("TableView");
        Grid->RootLevel()->Add()->SetGridView(View);
        const char* captions[] = {"姓名", "性别", "电话"};
        for (int i = 0; i < 3; ++i) {
            TcxGridColumn* column = View->CreateColumn();
            column->SetName(std::string("Col") + char('A' + i));
            column->SetCaption(captions[i]);
            column->DataBinding()->SetValueTypeClass(TcxStringValueType::Class());
            column->SetWidth(100);
        }
        Grid->SetBounds(0, 0, 404, 300);
        ShowForm();
    }
    void TearDown() override
    {
        GridTestBase::TearDown();
        Editors.reset();
        // The other suites keep the table view's classes as they find them.
        cxGridTableView::SetControllerClass({});
        cxGridTableView::SetPainterClass({});
    }
    // One record per row of texts.
    void Fill(const std::vector<std::vector<std::string>>& ARows)
    {
        TcxCustomDataController* dc = View->DataController();
        dc->SetRecordCount(int(ARows.size()));
        for (size_t r = 0; r < ARows.size(); ++r)
            for (size_t c = 0; c < ARows[r].size(); ++c) dc->SetValue(int(r), int(c), Variant(ARows[r][c]));
    }
    void Fill(int ACount)
    {
        std::vector<std::vector<std::string>> rows;
        for (int r = 0; r < ACount; ++r)
            rows.push_back({"r" + std::to_string(r) + "a", "r" + std::to_string(r) + "b", "r" + std::to_string(r) + "c"});
        Fill(rows);
    }
    void Layout()
    {
        GuiTest::ProcessEvents();
        View->ViewInfo()->Recalculate();
    }
    static TPoint Center(const TRect& R) { return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
    TcxGridTableViewInfo* VI() { return View->ViewInfo(); }
    TcxGridHeaderViewInfo* Header() { return VI()->HeaderViewInfo(); }
    TcxGridRowsViewInfo* Rows() { return VI()->RowsViewInfo(); }
    TcxGridTableController* Controller() { return static_cast<TcxGridTableController*>(View->Controller()); }
    TcxGridColumn* Column(int i) { return View->Columns(i); }
    std::unique_ptr<TDefaultEditorsScope> Editors;
    TcxGridTableView* View = nullptr;
};
