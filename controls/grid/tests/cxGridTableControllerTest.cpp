// The table controller across views and drags: focus moves that go down
// into a shown detail and climb back into the master, appending at the end,
// drag-opening a record's expand button, the drag cursors, what a drag
// does to an edited record, and views freed by their own event handlers.
#include "GridTestBase.h"

#include "cxGridCursors.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

namespace {

using GridTesting::RowHeight;

// Master records whose detail is "shown" when the test says so: the map
// gives, per master row, the detail view that row shows.
std::map<int, TcxCustomGridTableView*>& ShownDetails()
{
    static std::map<int, TcxCustomGridTableView*> details;
    return details;
}

// Master rows whose records refuse the focus.
std::set<int>& RefusingRows()
{
    static std::set<int> rows;
    return rows;
}

TcxCustomGridRecord* FirstFocusable(TcxCustomGridTableView* AView, bool AForward)
{
    TcxCustomGridTableViewData* data = AView->ViewData();
    int count = data->RecordCount();
    for (int k = 0; k < count; ++k) {
        TcxCustomGridRecord* record = data->GetRecord(AForward ? k : count - 1 - k);
        if (record->CanFocus()) return record;
    }
    return nullptr;
}

}  // namespace

class TMasterTestRecord : public TcxGridTestRecord {
    QZ_CLASS(TMasterTestRecord, TcxGridTestRecord)
public:
    using TcxGridTestRecord::TcxGridTestRecord;
    TcxCustomGridRecord* GetFirstFocusableChild() override
    {
        TcxCustomGridTableView* detail = Detail();
        return detail ? FirstFocusable(detail, true) : nullptr;
    }
    TcxCustomGridRecord* GetLastFocusableChild(bool) override
    {
        TcxCustomGridTableView* detail = Detail();
        return detail ? FirstFocusable(detail, false) : nullptr;
    }
    bool CanFocus() override { return GridView()->IsDetail() || RefusingRows().count(Index()) == 0; }

private:
    TcxCustomGridTableView* Detail()
    {
        if (GridView()->IsDetail()) return nullptr;
        auto it = ShownDetails().find(Index());
        return it == ShownDetails().end() ? nullptr : it->second;
    }
};
QZ_CLASS_IMPL(TMasterTestRecord, TcxGridTestRecord)

class TMasterTestViewData : public TcxGridTestViewData {
    QZ_CLASS(TMasterTestViewData, TcxGridTestViewData)
public:
    using TcxGridTestViewData::TcxGridTestViewData;
    TcxCustomGridRecordClass GetRecordClass(const TcxDataControllerRowInfo&) override
    {
        return TcxCustomGridRecordClass::Of<TMasterTestRecord>();
    }
};
QZ_CLASS_IMPL(TMasterTestViewData, TcxGridTestViewData)

class TMasterTestView : public TcxGridTestTableView {
    QZ_CLASS(TMasterTestView, TcxGridTestTableView)
public:
    explicit TMasterTestView(TComponent* AOwner = nullptr) : TcxGridTestTableView(AOwner) {}
    TcxGridViewHandlerClass<TcxCustomGridViewData> GetViewDataClass() override
    {
        return TcxGridViewHandlerClass<TcxCustomGridViewData>::Of<TMasterTestViewData>();
    }
    bool IsDetailVisible(TcxCustomGridView* ADetail) override
    {
        for (const auto& [row, detail] : ShownDetails())
            if (detail == ADetail) return true;
        return false;
    }
};
QZ_CLASS_IMPL(TMasterTestView, TcxGridTestTableView)

namespace {

// A master view of four records over a detail level; master record 1 shows
// a detail of three records.
class GridMasterDetailTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        ShownDetails().clear();
        Master = static_cast<TMasterTestView*>(Grid->CreateView(TMasterTestView::StaticClass()));
        Master->SetName("Master");
        TcxGridLevel* level = Grid->RootLevel()->Add();
        level->SetGridView(Master);
        Master->CreateItem()->SetName("MasterCol");
        Master->DataController()->SetRecordCount(4);
        DetailLevel = level->Add();
        Pattern = static_cast<TMasterTestView*>(Grid->CreateView(TMasterTestView::StaticClass()));
        Pattern->SetName("Pattern");
        DetailLevel->SetGridView(Pattern);
        Pattern->CreateItem()->SetName("DetailCol");
        Detail = static_cast<TMasterTestView*>(DetailLevel->CreateLinkObject(DetailLevel->DataRelation(), 1));
        ASSERT_NE(Detail, nullptr);
        Detail->SetName("Detail");
        Detail->DataController()->SetRecordCount(3);
        ShownDetails()[1] = Detail;
        Grid->SetBounds(0, 0, 300, 200);
        ShowForm();
    }
    void TearDown() override
    {
        ShownDetails().clear();
        RefusingRows().clear();
        FreeAndNil(Detail);
        GridTestBase::TearDown();
    }
    int MasterRow() { return Master->DataController()->GetFocusedRowIndex(); }
    int DetailRow() { return Detail->DataController()->GetFocusedRowIndex(); }
    TcxCustomGridView* FocusedView() { return Grid->FocusedView(); }
    std::vector<int> Selected(TcxCustomGridTableView* AView)
    {
        std::vector<int> rows;
        TcxCustomDataController* dc = AView->DataController();
        for (int i = 0; i < dc->GetSelectedCount(); ++i) rows.push_back(dc->GetSelectedRowIndex(i));
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    TMasterTestView* Master = nullptr;
    TMasterTestView* Pattern = nullptr;
    TMasterTestView* Detail = nullptr;
    TcxGridLevel* DetailLevel = nullptr;
};

TEST_F(GridMasterDetailTest, TheDetailKnowsItsMasterController)
{
    EXPECT_EQ(Detail->Controller()->GetMasterController(), Master->Controller());
    EXPECT_EQ(Master->Controller()->GetMasterController(), nullptr);
    EXPECT_EQ(Detail->MasterGridRecordIndex(), 1);
    EXPECT_EQ(Detail->ViewData()->RecordCount(), 3);
    EXPECT_EQ(Detail->DataController()->GetRowCount(), 3);
    EXPECT_EQ(Master->ViewData()->GetRecord(1)->ClassName(), "TMasterTestRecord");
}

TEST_F(GridMasterDetailTest, MovesGoDownIntoTheShownDetailAndClimbBackOut)
{
    struct Step {
        const char* What;
        bool Forward;
        bool IntoDetail;
        // Where the focus is after the step: the view and its focused row.
        const char* View;
        int Row;
    };
    const Step steps[] = {
        {"next into the detail of master row 1", true, true, "Detail", 0},
        {"next within the detail", true, false, "Detail", 1},
        {"next within the detail", true, false, "Detail", 2},
        {"next past the detail's end: the master's next row", true, false, "Master", 2},
        {"previous into the detail's last record", false, true, "Detail", 2},
        {"previous within the detail", false, false, "Detail", 1},
        {"previous within the detail", false, false, "Detail", 0},
        {"previous past the detail's start: its master record", false, false, "Master", 1},
        {"previous without going into details", false, false, "Master", 0},
    };
    Master->Controller()->FocusRecord(1, false);
    ASSERT_EQ(FocusedView(), Master);
    for (const Step& s : steps) {
        auto* view = static_cast<TcxCustomGridTableView*>(FocusedView());
        ASSERT_NE(view, nullptr) << s.What;
        TcxCustomGridTableController* controller = view->Controller();
        bool moved = s.Forward ? controller->GoToNext(s.IntoDetail, true) : controller->GoToPrev(s.IntoDetail, true);
        EXPECT_TRUE(moved) << s.What;
        ASSERT_NE(FocusedView(), nullptr) << s.What;
        EXPECT_EQ(FocusedView()->Name(), s.View) << s.What;
        auto* focused = static_cast<TcxCustomGridTableView*>(FocusedView());
        EXPECT_EQ(focused->DataController()->GetFocusedRowIndex(), s.Row) << s.What;
        if (focused == Detail) EXPECT_EQ(MasterRow(), 1) << s.What << ": the master row follows its detail";
    }
    EXPECT_FALSE(Master->Controller()->GoToPrev(false, true)) << "the first master row has nothing before it";
}

TEST_F(GridMasterDetailTest, AMasterRecordThatRefusesTheFocusIsPassedOver)
{
    // Back out of the detail, a master record that cannot take the focus
    // is passed over: the master moves on backward from it.
    RefusingRows() = {1};
    Detail->Controller()->FocusRecord(0, false);
    ASSERT_EQ(FocusedView(), Detail);
    EXPECT_TRUE(Detail->Controller()->GoToPrev(false, true));
    EXPECT_EQ(FocusedView(), Master);
    EXPECT_EQ(MasterRow(), 0);
    RefusingRows().clear();
}

TEST_F(GridMasterDetailTest, LeavingADetailForItsMasterMovesTheLoneSelectionAlong)
{
    Master->OptionsSelection()->SetMultiSelect(true);
    Detail->OptionsSelection()->SetMultiSelect(true);
    Detail->OptionsSelection()->UnselectFocusedRecordOnExit = true;
    Master->Controller()->FocusRecord(1, false);
    ASSERT_TRUE(Master->Controller()->GoToNext(true, true));
    ASSERT_EQ(FocusedView(), Detail);
    EXPECT_EQ(Selected(Detail), std::vector<int>{0}) << "the detail selects the record it focused";
    ASSERT_TRUE(Detail->Controller()->GoToPrev(false, true));
    ASSERT_EQ(FocusedView(), Master);
    EXPECT_TRUE(Selected(Detail).empty()) << "the record left keeps no lone selection";
    EXPECT_EQ(Selected(Master), std::vector<int>{1}) << "the master selects its focused record";
}

TEST_F(GridMasterDetailTest, AnAppendingDetailAppendsAtItsEndInsteadOfLeaving)
{
    Detail->OptionsData()->Appending = true;
    Detail->Controller()->FocusRecord(2, false);
    ASSERT_TRUE(Detail->Controller()->GoToNext(false, true));
    EXPECT_EQ(FocusedView(), Detail);
    EXPECT_TRUE(Detail->DataController()->GetEditState() & cesInserting) << "a record is appended";
    EXPECT_EQ(MasterRow(), 1);
}

TEST_F(GridMasterDetailTest, FocusingTheDetailFocusesItsMasterRowWithoutTakingTheFocusBack)
{
    Master->Controller()->FocusRecord(3, false);
    ASSERT_EQ(FocusedView(), Master);
    Detail->Controller()->FocusRecord(1, false);
    EXPECT_EQ(FocusedView(), Detail);
    EXPECT_EQ(MasterRow(), 1);
    EXPECT_EQ(DetailRow(), 1);
}

TEST_F(GridMasterDetailTest, GoToLastWrapsToTheLastRecordAndCanGoIntoItsDetail)
{
    ShownDetails().clear();
    ShownDetails()[3] = Detail;
    Master->Controller()->FocusRecord(0, false);
    ASSERT_TRUE(Master->Controller()->GoToLast(false));
    EXPECT_EQ(FocusedView(), Master);
    EXPECT_EQ(MasterRow(), 3);
    Master->Controller()->FocusRecord(0, false);
    ASSERT_TRUE(Master->Controller()->GoToLast(true));
    EXPECT_EQ(FocusedView(), Detail);
    EXPECT_EQ(DetailRow(), 2);
}

TEST_F(GridMasterDetailTest, MakingADetailRecordVisibleScrollsItsMasterRecordIntoView)
{
    // Two master rows on screen, rows 2 and 3 at the top.
    int frame = 200 - Master->TableViewInfo()->ClientBounds.Height();
    Grid->SetBounds(0, 0, 300, 2 * RowHeight + frame);
    GuiTest::ProcessEvents();
    TcxCustomGridTableController* master = Master->Controller();
    master->SetTopRecordIndex(2);
    ASSERT_EQ(master->TopRecordIndex(), 2);
    Detail->IsCellMouseDown = true;
    Detail->Controller()->MakeRecordVisible(Detail->ViewData()->GetRecord(0));
    EXPECT_EQ(master->TopRecordIndex(), 2) << "a click inside the detail leaves the master where it is";
    Detail->IsCellMouseDown = false;
    Detail->Controller()->MakeRecordVisible(Detail->ViewData()->GetRecord(0));
    EXPECT_EQ(master->TopRecordIndex(), 1) << "the master record of the detail shows";

    // Neither does the master scroll for itself while the focused detail is clicked.
    Detail->Controller()->FocusRecord(0, false);
    ASSERT_EQ(FocusedView(), Detail);
    Detail->IsCellMouseDown = true;
    master->MakeRecordVisible(Master->ViewData()->GetRecord(3));
    EXPECT_EQ(master->TopRecordIndex(), 1);
    Detail->IsCellMouseDown = false;
    master->MakeRecordVisible(Master->ViewData()->GetRecord(3));
    EXPECT_EQ(master->TopRecordIndex(), 2);
}

// ---- views of one text item on a top level

// Makes a view of a record view class with one text item on a top level of
// the grid, and shows the form with a given number of whole rows on screen.
class GridOneViewTest : public GridTestBase {
protected:
    template <class TView> TView* AddView()
    {
        auto* view = static_cast<TView*>(Grid->CreateView(TView::StaticClass()));
        view->SetName("TableView");
        Grid->RootLevel()->Add()->SetGridView(view);
        TcxCustomGridTableItem* item = view->CreateItem();
        item->SetName("ColA");
        item->DataBinding()->SetValueTypeClass(TcxStringValueType::Class());
        return view;
    }
    void ShowRows(TcxCustomGridTableView* AView, int ARowCount)
    {
        Grid->SetBounds(0, 0, 300, 200);
        ShowForm();
        int frame = 200 - AView->TableViewInfo()->ClientBounds.Height();
        Grid->SetBounds(0, 0, 300, ARowCount * RowHeight + frame);
        GuiTest::ProcessEvents();
    }
};

// ---- one record view of ten records, five of them on screen

class GridTableDragTest : public GridOneViewTest {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        GridTesting::ExpandableRows().clear();
        GridTesting::ExpandedRows().clear();
        View = AddView<TcxGridTestTableView>();
        View->DataController()->SetRecordCount(10);
        ShowRows(View, 5);
    }
    void TearDown() override
    {
        GridTesting::ExpandableRows().clear();
        GridTesting::ExpandedRows().clear();
        GridTestBase::TearDown();
    }
    TcxCustomGridRecordsViewInfo* Records() { return View->TableViewInfo()->RecordsViewInfo(); }
    TcxCustomGridTableController* Controller() { return View->Controller(); }
    TPoint RowPoint(int APosition) { return TPoint{Records()->Bounds.Left + 40, Records()->Bounds.Top + APosition * RowHeight + 5}; }
    // The middle of the expand button of the row at a position on screen.
    TPoint ButtonPoint(int APosition)
    {
        const TRect& r = Records()->ItemAt(APosition)->ExpandButtonBounds;
        return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    void DragOver(TPoint P, TDragState AState = dsDragMove)
    {
        bool accept = true;
        Controller()->DragOver(nullptr, P.X, P.Y, AState, accept);
    }
    TcxGridDragOpenInfoExpand* OpenInfo()
    {
        return DynamicCast<TcxGridDragOpenInfoExpand>(Grid->Controller()->DragOpenInfo());
    }
    TcxGridTestTableView* View = nullptr;
};

TEST_F(GridTableDragTest, HoldingADragOverAnExpandButtonExpandsTheRecord)
{
    GuiTest::TManualTime clock;
    GridTesting::ExpandableRows() = {1, 3};
    View->SizeChanged();
    GuiTest::ProcessEvents();
    DragOver(ButtonPoint(1));
    ASSERT_NE(OpenInfo(), nullptr);
    EXPECT_EQ(OpenInfo()->GridRecord(), View->ViewData()->GetRecord(1));
    ASSERT_NE(Grid->Controller()->DragOpenTimer(), nullptr);
    EXPECT_EQ(Grid->Controller()->DragOpenTimer()->Interval(), UINT(Grid->DragOpeningWaitTime()));
    clock.Advance(300);
    DragOver(ButtonPoint(1));
    clock.Advance(200);
    EXPECT_EQ(GridTesting::ExpandedRows(), std::set<int>{1}) << "moving over the same button keeps the wait running";
    EXPECT_EQ(OpenInfo(), nullptr);

    DragOver(ButtonPoint(3));
    ASSERT_NE(OpenInfo(), nullptr);
    DragOver(RowPoint(3));
    EXPECT_EQ(OpenInfo(), nullptr) << "off the button the wait is cancelled";
    DragOver(ButtonPoint(3));
    DragOver(RowPoint(3), dsDragLeave);
    EXPECT_EQ(OpenInfo(), nullptr) << "leaving cancels";
    DragOver(ButtonPoint(3));
    Controller()->EndDrag(nullptr, 0, 0);
    EXPECT_EQ(OpenInfo(), nullptr) << "ending the drag cancels";
    clock.Advance(1000);
    EXPECT_EQ(GridTesting::ExpandedRows(), std::set<int>{1});

    View->OptionsBehavior()->DragOpening = false;
    DragOver(ButtonPoint(3));
    EXPECT_EQ(OpenInfo(), nullptr) << "DragOpening off";
}

TEST_F(GridTableDragTest, AWaitingDragOpenOutlivesTheRecordsItPointsAt)
{
    GuiTest::TManualTime clock;
    GridTesting::ExpandableRows() = {3};
    View->SizeChanged();
    GuiTest::ProcessEvents();
    DragOver(ButtonPoint(3));
    ASSERT_NE(OpenInfo(), nullptr);
    View->DataController()->SetRecordCount(2);
    EXPECT_EQ(OpenInfo()->GridRecord(), nullptr) << "row 3 is gone";
    clock.Advance(Grid->DragOpeningWaitTime());
    EXPECT_TRUE(GridTesting::ExpandedRows().empty());
}

TEST_F(GridTableDragTest, OnlyRecordsAreDraggedAndTheCursorCountsThem)
{
    EXPECT_TRUE(Controller()->CanDrag(RowPoint(2).X, RowPoint(2).Y));
    EXPECT_FALSE(Controller()->CanDrag(Records()->Bounds.Left + 40, Records()->Bounds.Bottom + 40))
        << "below the records";
    View->DataController()->ChangeFocusedRowIndex(2);
    TDragObject* dragObject = nullptr;
    Controller()->StartDrag(dragObject);
    EXPECT_EQ(View->Site()->DragCursor(), cxGridCursors::crGridRecordDrag);
    EXPECT_NE(Screen->Cursors(cxGridCursors::crGridRecordDrag), nullptr);

    View->OptionsSelection()->SetMultiSelect(true);
    View->DataController()->ChangeRowSelection(2, true);
    View->DataController()->ChangeRowSelection(4, true);
    Controller()->StartDrag(dragObject);
    EXPECT_EQ(View->Site()->DragCursor(), cxGridCursors::crGridRecordsDrag);
    EXPECT_NE(Screen->Cursors(cxGridCursors::crGridRecordsDrag), nullptr);
}

TEST_F(GridTableDragTest, PictureOfTheDragCursors)
{
    for (TCursor id : {cxGridCursors::crGridRecordDrag, cxGridCursors::crGridRecordsDrag}) {
        std::unique_ptr<TBitmap> bitmap = cxGridCursors::DragCursorBitmap(id);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->Width(), 32);
        EXPECT_EQ(bitmap->Canvas()->Pixels(0, 0), clBlack) << "the hot spot is the arrow's tip";
        EXPECT_EQ(bitmap->Canvas()->Pixels(31, 0), clFuchsia) << "see-through";
        if (std::getenv("QZ_GRID_PICTURES"))
            EXPECT_TRUE(GuiTest::SavePng(bitmap.get(), "/tmp/gvC-drag-cursor-" + std::to_string(id) + ".png"));
    }
    EXPECT_EQ(cxGridCursors::DragCursorBitmap(crDefault), nullptr);
}

TEST_F(GridTableDragTest, StartingADragPostsAChangedRecordAndCancelsAnUntouchedOne)
{
    TcxCustomDataController* dc = View->DataController();
    dc->ChangeFocusedRowIndex(1);
    dc->Edit();
    dc->SetEditValue(0, Variant("x"), 0);
    ASSERT_TRUE(dc->GetEditState() & cesModified);
    Controller()->BeforeStartDrag();
    EXPECT_FALSE(dc->IsEditing());
    EXPECT_EQ(VarToStr(dc->GetValue(dc->GetFocusedRecordIndex(), 0)), "x") << "posted";

    dc->Insert();
    ASSERT_EQ(dc->GetRecordCount(), 11);
    Controller()->BeforeStartDrag();
    EXPECT_FALSE(dc->IsEditing());
    EXPECT_EQ(dc->GetRecordCount(), 10) << "an untouched new record is cancelled";
}

// A handler that frees the view while the controller works leaves the
// controller nothing to touch afterwards (the sanitizer run watches).
TEST_F(GridTableDragTest, AClickHandlerFreeingTheViewOnMouseUpEndsTheClick)
{
    View->OptionsSelection()->SetMultiSelect(true);
    View->OptionsSelection()->SetCellSelect(true);
    View->OnCellClick = [this](TcxCustomGridTableView* ASender, TcxGridTableDataCellViewInfo*, TMouseButton, TShiftState,
                               bool&) {
        View = nullptr;
        FreeObject(ASender);
    };
    TcxGridSite* site = View->Site();
    GuiTest::MouseDown(site, mbLeft, RowPoint(2), {ssCtrl});
    ASSERT_NE(View, nullptr);
    GuiTest::MouseUp(site, mbLeft, RowPoint(2), {ssCtrl});
    EXPECT_EQ(View, nullptr);
}

TEST_F(GridTableDragTest, AViewFreedWhenItsTopRecordChangesEndsThePaging)
{
    View->DataController()->ChangeFocusedRowIndex(4);
    View->OnTopRecordIndexChanged = [this](TObject*) {
        TcxGridTestTableView* view = View;
        View = nullptr;
        FreeObject(view);
    };
    WORD key = VK_NEXT;
    Controller()->KeyDown(key, {});
    EXPECT_EQ(View, nullptr);
    EXPECT_EQ(key, 0);
}

// ---- painting a record of its own

}  // namespace

// Rows that paint through the record painter, their cells in between. The
// record painter fills nothing of its own, so the row first fills what its
// cells leave free, as the rows of real views do with cells of their own.
class TPaintedTestRowPainter : public TcxCustomGridRecordPainter {
    QZ_CLASS(TPaintedTestRowPainter, TcxCustomGridRecordPainter)
public:
    using TcxCustomGridRecordPainter::TcxCustomGridRecordPainter;
    void BeforePaint() override
    {
        Canvas()->FillRect(RecordViewInfo()->Bounds, clWindow);
        TcxCustomGridRecordPainter::BeforePaint();
    }
    void Paint() override
    {
        for (auto& cell : static_cast<TcxGridTestRecordViewInfo*>(RecordViewInfo())->Cells) cell->Paint(Canvas());
    }
};
QZ_CLASS_IMPL(TPaintedTestRowPainter, TcxCustomGridRecordPainter)

class TPaintedTestRowViewInfo : public TcxGridTestRecordViewInfo {
    QZ_CLASS(TPaintedTestRowViewInfo, TcxGridTestRecordViewInfo)
public:
    using TcxGridTestRecordViewInfo::TcxGridTestRecordViewInfo;
    void Paint(TcxCanvas* ACanvas) override { TcxCustomGridRecordViewInfo::Paint(ACanvas); }
    TcxGridClassRef<TcxCustomGridCellPainter, TcxCanvas*, TcxCustomGridCellViewInfo*> GetPainterClass() override
    {
        return TcxGridClassRef<TcxCustomGridCellPainter, TcxCanvas*, TcxCustomGridCellViewInfo*>::Of<
            TPaintedTestRowPainter>();
    }
};
QZ_CLASS_IMPL(TPaintedTestRowViewInfo, TcxGridTestRecordViewInfo)

class TPaintedTestRecord : public TcxGridTestRecord {
    QZ_CLASS(TPaintedTestRecord, TcxGridTestRecord)
public:
    using TcxGridTestRecord::TcxGridTestRecord;
    TcxCustomGridRecordViewInfoClass GetViewInfoClass() override
    {
        return TcxCustomGridRecordViewInfoClass::Of<TPaintedTestRowViewInfo>();
    }
};
QZ_CLASS_IMPL(TPaintedTestRecord, TcxGridTestRecord)

class TPaintedTestViewData : public TcxGridTestViewData {
    QZ_CLASS(TPaintedTestViewData, TcxGridTestViewData)
public:
    using TcxGridTestViewData::TcxGridTestViewData;
    TcxCustomGridRecordClass GetRecordClass(const TcxDataControllerRowInfo&) override
    {
        return TcxCustomGridRecordClass::Of<TPaintedTestRecord>();
    }
};
QZ_CLASS_IMPL(TPaintedTestViewData, TcxGridTestViewData)

class TPaintedTestView : public TcxGridTestTableView {
    QZ_CLASS(TPaintedTestView, TcxGridTestTableView)
public:
    explicit TPaintedTestView(TComponent* AOwner = nullptr) : TcxGridTestTableView(AOwner) {}
    TcxGridViewHandlerClass<TcxCustomGridViewData> GetViewDataClass() override
    {
        return TcxGridViewHandlerClass<TcxCustomGridViewData>::Of<TPaintedTestViewData>();
    }
};
QZ_CLASS_IMPL(TPaintedTestView, TcxGridTestTableView)

namespace {

class GridRecordPaintTest : public GridOneViewTest {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        Editors = std::make_unique<TDefaultEditorsScope>();
        GridTesting::ExpandableRows() = {1, 2};
        GridTesting::ExpandedRows() = {2};
        View = AddView<TPaintedTestView>();
        View->GetItem(0)->SetWidth(120);
        View->DataController()->SetRecordCount(4);
        ShowRows(View, 4);
    }
    void TearDown() override
    {
        GridTestBase::TearDown();
        Editors.reset();
        GridTesting::ExpandableRows().clear();
        GridTesting::ExpandedRows().clear();
    }
    TcxCustomGridRecordViewInfo* Row(int APosition) { return View->TableViewInfo()->RecordsViewInfo()->ItemAt(APosition); }
    // How many pixels of a rectangle's outline differ from a colour.
    static int OutlinePixelsUnlike(TBitmap* AShot, const TRect& R, TColor AColor)
    {
        int count = 0;
        auto unlike = [&](int x, int y) { return ColorToRGB(AShot->Canvas()->Pixels(x, y)) != ColorToRGB(AColor); };
        for (int x = R.Left; x < R.Right; ++x) count += unlike(x, R.Top) + unlike(x, R.Bottom - 1);
        for (int y = R.Top + 1; y < R.Bottom - 1; ++y) count += unlike(R.Left, y) + unlike(R.Right - 1, y);
        return count;
    }
    // Pixels of the column X within a row's height that differ from the
    // pixel two to their right: a dotted line shows as about half of them.
    static int DottedPixels(TBitmap* AShot, int X, const TRect& ARow)
    {
        int count = 0;
        for (int y = ARow.Top + 2; y < ARow.Bottom - 2; ++y)
            count += ColorToRGB(AShot->Canvas()->Pixels(X, y)) != ColorToRGB(AShot->Canvas()->Pixels(X + 2, y));
        return count;
    }
    std::unique_ptr<TDefaultEditorsScope> Editors;
    TPaintedTestView* View = nullptr;
};

TEST_F(GridRecordPaintTest, ARecordDrawsItsExpandButtonAndItsOrItsCellsFocusRectangle)
{
    View->SetFocused(true);
    View->Controller()->FocusRecord(3, false);
    View->Controller()->SetFocusedItem(View->GetItem(0));
    View->Site()->SetFocus();
    GuiTest::ProcessEvents();
    ASSERT_TRUE(View->IsControlFocused()) << "a focused grid draws dotted focus rectangles";
    for (bool invert : {true, false}) {
        View->OptionsSelection()->SetInvertSelect(invert);
        View->Site()->Invalidate();
        GuiTest::ProcessEvents();
        std::unique_ptr<TBitmap> shot(GuiTest::Grab(View->Site()));
        ASSERT_NE(shot, nullptr);
        if (const char* dir = getenv("QZ_KEEP_PICTURES"))
            GuiTest::SavePng(shot.get(), std::string(dir) + "/grid-record-painter-" + std::to_string(invert) + ".png");
        // The expand buttons: a box with a plus or a minus; none on a row that does not expand.
        for (int position : {1, 2}) {
            const TRect& button = Row(position)->ExpandButtonBounds;
            ASSERT_FALSE(IsRectEmpty(button)) << position;
            TColor around = shot->Canvas()->Pixels(button.Left - 2, button.Top);
            EXPECT_GT(OutlinePixelsUnlike(shot.get(), button, around), button.Width()) << "the box of row " << position;
        }
        auto signPixel = [&](int APosition, int ADy) {
            const TRect& b = Row(APosition)->ExpandButtonBounds;
            return ColorToRGB(shot->Canvas()->Pixels((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2 + ADy));
        };
        EXPECT_EQ(signPixel(1, 0), signPixel(2, 0)) << "both signs cross the middle";
        EXPECT_NE(signPixel(1, -2), signPixel(2, -2)) << "a plus for the collapsed row, a minus for the expanded one";
        EXPECT_TRUE(IsRectEmpty(Row(0)->ExpandButtonBounds));
        // The focus rectangle: round the record drawn inverted, else round the focused cell.
        TcxCustomGridRecordViewInfo* row = Row(3);
        auto* cell = static_cast<TcxGridTableDataCellViewInfo*>(row->GetCellViewInfoByItem(View->GetItem(0)));
        ASSERT_NE(cell, nullptr);
        ASSERT_GT(cell->Bounds.Left, row->Bounds.Left + 3) << "the expand button area lies left of the cells";
        EXPECT_EQ(DottedPixels(shot.get(), row->Bounds.Left, row->Bounds) > 4, invert) << invert;
        EXPECT_EQ(DottedPixels(shot.get(), cell->Bounds.Left, row->Bounds) > 4, !invert) << invert;
        EXPECT_LE(DottedPixels(shot.get(), Row(0)->Bounds.Left, Row(0)->Bounds), 4) << "no focus on another record";
    }
}

TEST_F(GridTableDragTest, ARecordIsVisibleWhileItsLayoutIsShown)
{
    EXPECT_TRUE(View->ViewData()->GetRecord(4)->IsVisible());
    EXPECT_FALSE(View->ViewData()->GetRecord(5)->IsVisible()) << "below the records area";
    Controller()->SetTopRecordIndex(3);
    EXPECT_FALSE(View->ViewData()->GetRecord(2)->IsVisible());
    EXPECT_TRUE(View->ViewData()->GetRecord(7)->IsVisible());
}

TEST_F(GridTableDragTest, TheLastChildOfAGroupIsTheRecordBeforeAShallowerOne)
{
    // Two groups of two: a group row (level 0) over its records (level 1).
    const char* values[] = {"a", "b", "a", "b", "", "", "", "", "", ""};
    for (int i = 0; i < 10; ++i) View->DataController()->SetValue(i, 0, Variant(std::string(values[i])));
    View->DataController()->SetRecordCount(4);
    View->GetItem(0)->SetGroupIndex(0);
    View->DataController()->Groups()->FullExpand();
    GuiTest::ProcessEvents();
    TcxCustomGridTableViewData* data = View->ViewData();
    ASSERT_EQ(data->RecordCount(), 6);
    std::vector<int> levels;
    std::vector<bool> lastChild;
    std::vector<bool> lastChildOneOut;
    for (int i = 0; i < data->RecordCount(); ++i) {
        levels.push_back(data->GetRecord(i)->Level());
        lastChild.push_back(data->GetRecord(i)->IsLastChild());
        lastChildOneOut.push_back(data->GetRecord(i)->IsLastChild(1));
    }
    EXPECT_EQ(levels, (std::vector<int>{0, 1, 1, 0, 1, 1}));
    EXPECT_EQ(lastChild, (std::vector<bool>{false, false, true, false, false, true}));
    EXPECT_EQ(lastChildOneOut, (std::vector<bool>{false, false, false, false, false, true})) << "only the very last";
}

// ---- best fit of an item

class GridBestFitTest : public GridOneViewTest {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        Editors = std::make_unique<TDefaultEditorsScope>();
        View = AddView<TcxGridTestTableView>();
        Name = View->GetItem(0);
        View->DataController()->SetRecordCount(8);
        for (int i = 0; i < 8; ++i) SetText(i, "李四");
        ShowRows(View, 5);
    }
    void TearDown() override
    {
        GridTestBase::TearDown();
        Editors.reset();
    }
    void SetText(int ARow, const std::string& AText) { View->DataController()->SetValue(ARow, 0, Variant(AText)); }
    // The text's width in the cells' font on the canvas the view measures with.
    int TextWidth(const std::string& AText)
    {
        TcxCanvas* canvas = View->ViewInfo()->Canvas();
        canvas->SetFont(Grid->Font());
        return canvas->TextWidth(AText);
    }
    std::unique_ptr<TDefaultEditorsScope> Editors;
    TcxGridTestTableView* View = nullptr;
    TcxCustomGridTableItem* Name = nullptr;
};

TEST_F(GridBestFitTest, TheWidestValueOfTheMeasuredRecordsDecides)
{
    const std::string longText = "北京市海淀区中关村大街";
    int narrow = Name->CalculateBestFitWidth();
    ASSERT_GT(narrow, TextWidth("李四")) << "the text, its margins and 2";
    SetText(6, longText);
    int wide = Name->CalculateBestFitWidth();
    EXPECT_EQ(wide - narrow, TextWidth(longText) - TextWidth("李四"));

    struct Case {
        int MaxRecordCount;
        int TopRecord;
        bool MeasuresRow6;
    } cases[] = {
        {0, 0, true},  // every record, shown or not
        {3, 0, false}, // rows 0..2
        {3, 3, false}, // rows 3..5
        {4, 3, true},  // rows 3..6
        {20, 3, true}, // cut at the last record
    };
    for (const Case& c : cases) {
        View->OptionsBehavior()->SetBestFitMaxRecordCount(c.MaxRecordCount);
        View->Controller()->SetTopRecordIndex(c.TopRecord);
        ASSERT_EQ(View->Controller()->TopRecordIndex(), c.TopRecord);
        EXPECT_EQ(Name->CalculateBestFitWidth(), c.MeasuresRow6 ? wide : narrow)
            << c.MaxRecordCount << " from " << c.TopRecord;
    }
}

TEST_F(GridBestFitTest, ApplyingTheBestFitForcesTheWidth)
{
    Name->SetWidth(250);
    SetText(2, "北京市海淀区中关村大街");
    int best = Name->CalculateBestFitWidth();
    ASSERT_NE(best, 250);
    bool forcedDuringLayout = false;
    Grid->OnLayoutChanged = [&](TcxCustomGrid*, TcxCustomGridView*) { forcedDuringLayout |= Name->IsWidthForced(); };
    Name->ApplyBestFit();
    EXPECT_EQ(Name->Width(), best);
    EXPECT_FALSE(Name->IsWidthForced()) << "only while the width is set";
    EXPECT_EQ(View->Controller()->ItemBeingSized, nullptr);
    EXPECT_EQ(Screen->Cursor(), crDefault) << "the wait cursor goes again";
    EXPECT_TRUE(forcedDuringLayout) << "the layout run by the new width sees the item as the one being sized";
}

TEST_F(GridBestFitTest, AnItemOfAPatternViewKeepsItsWidth)
{
    TcxGridLevel* detailLevel = Grid->RootLevel()->Items(0)->Add();
    auto* pattern = static_cast<TcxGridTestTableView*>(Grid->CreateView(TcxGridTestTableView::StaticClass()));
    detailLevel->SetGridView(pattern);
    ASSERT_TRUE(pattern->IsPattern());
    TcxCustomGridTableItem* item = pattern->CreateItem();
    item->SetWidth(150);
    item->ApplyBestFit();
    EXPECT_EQ(item->Width(), 150);
}

TEST_F(GridBestFitTest, WhatTheItemsAllowFollowsTheirEditorAndOptions)
{
    EXPECT_TRUE(Name->CanFilter());
    EXPECT_TRUE(Name->CanSort());
    EXPECT_TRUE(Name->CanGroup());
    Name->Options()->SetFiltering(false);
    Name->Options()->SetSorting(false);
    View->OptionsCustomize()->ItemGrouping = false;
    EXPECT_FALSE(Name->CanFilter());
    EXPECT_FALSE(Name->CanSort());
    EXPECT_FALSE(Name->CanGroup());
}

// ---- a grid-mode view: five rows of a twenty-row data set in the buffer

constexpr int DataSetSize = 20;
constexpr int BufferSize = 5;

// A data set read through a moving buffer: the view's rows are records
// Start .. Start + 4; scrolling keeps the focus on the same data set record.
class TGridModeTestProvider : public TcxCustomDataProvider {
public:
    using TcxCustomDataProvider::TcxCustomDataProvider;
    bool IsGridMode() override { return true; }
    bool IsActive() override { return true; }
    bool IsBOF() override { return Start == 0; }
    bool IsEOF() override { return Start + BufferSize >= DataSetSize; }
    void First() override { MoveBuffer(-Start, 0); }
    void Last() override { MoveBuffer(DataSetSize - BufferSize - Start, BufferSize - 1); }
    void Scroll(int ADistance) override
    {
        int focused = Controller()->GetFocusedRowIndex();
        int moved = std::clamp(Start + ADistance, 0, DataSetSize - BufferSize) - Start;
        MoveBuffer(moved, focused < 0 ? -1 : std::clamp(focused - moved, 0, BufferSize - 1));
    }
    void LoadRecords() override
    {
        Controller()->Storage()->Clear(false);
        Controller()->Storage()->SetRecordCount(BufferSize);
    }
    void GetBufferValue(int ARecordIndex, TcxCustomDataField*, Variant& AValue) override
    {
        AValue = Variant("r" + std::to_string(Start + ARecordIndex));
    }
    int Start = 0;

private:
    void MoveBuffer(int ADistance, int AFocusedRow)
    {
        Start += ADistance;
        if (ADistance != 0) DataScrolled(ADistance);
        Controller()->ChangeFocusedRowIndex(AFocusedRow);
    }
};

class TGridModeTestDataController : public TcxGridDataController {
    QZ_CLASS(TGridModeTestDataController, TcxGridDataController)
public:
    using TcxGridDataController::TcxGridDataController;
    TcxCustomDataProvider* CreateProvider() override { return new TGridModeTestProvider(this); }
};

}  // namespace
QZ_CLASS_IMPL(TGridModeTestDataController, TcxGridDataController)

class TGridModeTestView : public TcxGridTestTableView {
    QZ_CLASS(TGridModeTestView, TcxGridTestTableView)
public:
    explicit TGridModeTestView(TComponent* AOwner = nullptr) : TcxGridTestTableView(AOwner) {}
    TcxGridClassRef<TcxCustomDataController, TComponent*> GetDataControllerClass() override
    {
        return TcxGridClassRef<TcxCustomDataController, TComponent*>::Of<TGridModeTestDataController>();
    }
};
QZ_CLASS_IMPL(TGridModeTestView, TcxGridTestTableView)

namespace {

class GridModeControllerTest : public GridOneViewTest {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        View = AddView<TGridModeTestView>();
        View->DataController()->LoadStorage();
        // Three rows of the buffer on screen.
        ShowRows(View, 3);
    }
    TGridModeTestProvider* Provider() { return static_cast<TGridModeTestProvider*>(View->DataController()->Provider()); }
    TcxCustomGridTableController* Controller() { return View->Controller(); }
    // The data set record the focused row holds.
    std::string Focused()
    {
        TcxCustomDataController* dc = View->DataController();
        int row = dc->GetFocusedRowIndex();
        return row < 0 ? std::string("none") : VarToStr(dc->GetValue(dc->GetRowInfo(row).RecordIndex, 0));
    }
    TGridModeTestView* View = nullptr;
};

TEST_F(GridModeControllerTest, MovesPastTheBufferScrollItOneRecord)
{
    ASSERT_TRUE(View->DataController()->IsGridMode());
    Controller()->FocusRecord(BufferSize - 1, false);
    ASSERT_EQ(Focused(), "r4");
    EXPECT_TRUE(Controller()->GoToNext(false, false));
    EXPECT_EQ(Provider()->Start, 1);
    EXPECT_EQ(Focused(), "r5");
    EXPECT_TRUE(Controller()->GoToNext(false, false));
    EXPECT_EQ(Focused(), "r6");
    Controller()->FocusRecord(0, false);
    ASSERT_EQ(Focused(), "r2");
    EXPECT_TRUE(Controller()->GoToPrev(false, false));
    EXPECT_EQ(Provider()->Start, 1);
    EXPECT_EQ(Focused(), "r1");

    EXPECT_TRUE(Controller()->GoToLast(false));
    EXPECT_EQ(Provider()->Start, DataSetSize - BufferSize);
    EXPECT_EQ(Focused(), "r19");
    EXPECT_FALSE(Controller()->GoToNext(false, false)) << "the data set's end";
    EXPECT_EQ(Focused(), "r19");
    EXPECT_TRUE(Controller()->GoToFirst());
    EXPECT_EQ(Provider()->Start, 0);
    EXPECT_EQ(Focused(), "r0");
}

TEST_F(GridModeControllerTest, TheScrollBarCountsARecordBeyondEachOpenEnd)
{
    struct Case {
        int First;
        int Pos;
        int Count;
    } cases[] = {{0, 0, BufferSize + 1}, {3, 1, BufferSize + 2}, {DataSetSize - BufferSize, 1, BufferSize + 1}};
    for (const Case& c : cases) {
        Provider()->Start = c.First;
        EXPECT_EQ(Controller()->GetScrollBarPos(), c.Pos + Controller()->TopRecordIndex()) << c.First;
        EXPECT_EQ(Controller()->GetScrollBarRecordCount(), c.Count) << c.First;
    }
}

TEST_F(GridModeControllerTest, ATopRecordBeyondTheBufferMovesTheBufferFirst)
{
    Controller()->SetTopRecordIndex(4);
    EXPECT_EQ(Provider()->Start, 2) << "the buffer moved by the excess over the last full page";
    EXPECT_EQ(Controller()->TopRecordIndex(), 2);
    Controller()->SetTopRecordIndex(-1);
    EXPECT_EQ(Provider()->Start, 1) << "and back before its start";
    EXPECT_EQ(Controller()->TopRecordIndex(), 0);
    // A layout checks the top record without moving the buffer.
    Controller()->SetTopRecordIndexUnchecked(4);
    View->LayoutChanged();
    GuiTest::ProcessEvents();
    EXPECT_EQ(Provider()->Start, 1);
    EXPECT_EQ(Controller()->TopRecordIndex(), 2);
}

}  // namespace
