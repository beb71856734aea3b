// Keys and the mouse on a headless grid: moving through the records,
// selecting rows, Tab across records, appending on Down, deleting with a
// question, title-button clicks that cycle the sort marker, check boxes.
#include "DBGridEh.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"
#include "Menus.h"
#include "RecordingHost.h"
#include "StdCtrls.h"

#include <gtest/gtest.h>

namespace {

using namespace DBGridTest;

class GridInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ds = ManyStudents(60);
        Host = std::make_unique<TGridHost>(Ds.get(), 600, 300);
        G = Host->Grid;
        G->SetFocus();
        GuiTest::ProcessEvents();
    }
    int Id() const { return Ds->FieldByName("Id")->AsInteger(); }
    TPoint Center(int col, int row) const
    {
        TRect r = G->CellRect(col, row);
        return Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* G = nullptr;
};

TEST_F(GridInput, KeysMoveThroughTheRecords)
{
    int page = G->VisibleDataRowCount();
    ASSERT_GT(page, 3);
    struct TCase {
        const char* Name;
        int Key;
        TShiftState Shift;
        int ExpectId;
    } cases[] = {
        {"down", VK_DOWN, {}, 2},
        {"down", VK_DOWN, {}, 3},
        {"up", VK_UP, {}, 2},
        {"page down", VK_NEXT, {}, 2 + page},
        {"page up", VK_PRIOR, {}, 2},
        {"ctrl+end", VK_END, {ssCtrl}, 60},
        {"ctrl+home", VK_HOME, {ssCtrl}, 1},
        {"ctrl+down: the bottom visible record", VK_DOWN, {ssCtrl}, page},
        {"ctrl+up: the top visible record", VK_UP, {ssCtrl}, 1},
    };
    for (const TCase& k : cases) {
        SCOPED_TRACE(k.Name);
        GuiTest::KeyPress(k.Key, k.Shift);
        EXPECT_EQ(Id(), k.ExpectId);
        EXPECT_EQ(G->Row(), G->FirstDataRow() + G->DataLink()->ActiveRecord());
    }
    // Home and End walk the columns.
    GuiTest::KeyPress(VK_END);
    EXPECT_EQ(G->Col(), G->ColCount() - 1);
    GuiTest::KeyPress(VK_HOME);
    EXPECT_EQ(G->Col(), 1);
    GuiTest::KeyPress(VK_RIGHT);
    EXPECT_EQ(G->SelectedIndex(), 1);
}

TEST_F(GridInput, ShiftArrowsSelectRowsFromTheAnchor)
{
    G->SetOptions(G->Options() + TDBGridOptions{dgMultiSelect});
    G->SetOptions(G->Options() + TDBGridOptions{dgRowSelect});
    Ds->Locate("Id", 5, {});
    for (int i = 0; i < 3; ++i) GuiTest::KeyPress(VK_DOWN, {ssShift});
    TBookmarkListEh* rows = G->Selection()->Rows();
    EXPECT_EQ(rows->Count(), 4) << "rows 5 to 8";
    EXPECT_EQ(Id(), 8);
    GuiTest::KeyPress(VK_UP, {ssShift});
    EXPECT_EQ(rows->Count(), 3);
    EXPECT_EQ(Id(), 7);
    EXPECT_TRUE(rows->CurrentRowSelected());
    Ds->Locate("Id", 8, {});
    EXPECT_FALSE(rows->CurrentRowSelected());
    EXPECT_EQ(G->Selection()->SelectionType(), gstRecordBookmarks);
    // A plain move clears the selection.
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(rows->Count(), 0);
    // Switching multi-select off clears it too.
    GuiTest::KeyPress(VK_DOWN, {ssShift});
    ASSERT_GT(rows->Count(), 0);
    G->SetOptions(G->Options() - TDBGridOptions{dgMultiSelect});
    EXPECT_EQ(rows->Count(), 0);
}

TEST_F(GridInput, SelectedRowsNeedAnOpenDataSet)
{
    TBookmarkListEh list(nullptr);
    try {
        list.CurrentRowSelected();
        FAIL();
    } catch (const EInvalidGridOperation& e) {
        EXPECT_STREQ(e.what(), "Cannot perform this operation on a closed dataset");
    }
}

TEST_F(GridInput, TabWrapsAcrossRecords)
{
    int last = G->ColCount() - 1;
    // Tab stops are the editable columns: the memo is not one.
    G->Columns()->Items(4)->SetReadOnly(true);
    G->RequestLayout();
    Ds->Locate("Id", 3, {});
    G->MoveCol(last, 0, false);
    GuiTest::KeyPress(VK_TAB);
    EXPECT_EQ(Id(), 4);
    EXPECT_EQ(G->Col(), 1);
    GuiTest::KeyPress(VK_TAB, {ssShift});
    EXPECT_EQ(Id(), 3);
    EXPECT_EQ(G->Col(), last);
    GuiTest::KeyPress(VK_TAB, {ssShift});
    EXPECT_EQ(G->Col(), last - 2) << "the read-only memo column is skipped";
}

TEST_F(GridInput, DownOnTheLastRecordAppendsOnce)
{
    Ds->Last();
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(Ds->State(), dsInsert);
    int count = Ds->RecordCount();
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(Ds->State(), dsInsert) << "Down on the untouched new record does nothing";
    EXPECT_EQ(Ds->RecordCount(), count);
    GuiTest::KeyPress(VK_UP);
    EXPECT_EQ(Ds->State(), dsBrowse) << "Up cancels it";
    EXPECT_EQ(Ds->RecordCount(), 60);
    G->SetReadOnly(true);
    Ds->Last();
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(Ds->State(), dsBrowse);
}

TEST_F(GridInput, CtrlDeleteAsksFirst)
{
    auto host = std::make_shared<TRecordingHost>();
    auto old = SetHostServices(host);
    Ds->Locate("Id", 10, {});
    host->QueueMessageBox(IDCANCEL);
    GuiTest::KeyPress(VK_DELETE, {ssCtrl});
    EXPECT_EQ(Ds->RecordCount(), 60);
    ASSERT_FALSE(host->Calls.empty());
    EXPECT_EQ(host->Calls.back().Text, "Delete record?");
    host->QueueMessageBox(IDOK);
    GuiTest::KeyPress(VK_DELETE, {ssCtrl});
    EXPECT_EQ(Ds->RecordCount(), 59);
    EXPECT_FALSE(Ds->Locate("Id", 10, {}));
    // Selected rows go together, after the plural question.
    G->SetOptions(G->Options() + TDBGridOptions{dgMultiSelect});
    G->SetAllowedSelections({gstRecordBookmarks});
    Ds->Locate("Id", 20, {});
    GuiTest::KeyPress(VK_DOWN, {ssShift});
    GuiTest::KeyPress(VK_DOWN, {ssShift});
    host->QueueMessageBox(IDOK);
    GuiTest::KeyPress(VK_DELETE, {ssCtrl});
    EXPECT_EQ(host->Calls.back().Text, "Delete all selected records?");
    EXPECT_EQ(Ds->RecordCount(), 56);
    EXPECT_EQ(G->Selection()->Rows()->Count(), 0);
    SetHostServices(old);
}

TEST_F(GridInput, TitleClicksCycleTheSortMarker)
{
    G->SetOptionsEh(G->OptionsEh() + TDBGridEhOptions{dghAutoSortMarking, dghMultiSortMarking});
    G->ColumnDefValues()->Title()->SetTitleButton(true);
    int clicks = 0, sorts = 0;
    G->OnTitleBtnClick = [&](TObject*, int col, TColumnEh*) { ++clicks; EXPECT_EQ(col, 1); };
    G->OnSortMarkingChanged = [&](TObject*) { ++sorts; };
    TColumnTitleEh* t = G->Columns()->Items(1)->Title();
    // Held down, the title button shows pressed; released, raised again.
    TRect title = G->CellRect(2, 0);
    TColor raised = GuiTest::PixelAt(G, Point(title.Left, title.Top));
    GuiTest::MouseDown(G, mbLeft, Center(2, 0));
    GuiTest::ProcessEvents();
    EXPECT_NE(GuiTest::PixelAt(G, Point(title.Left, title.Top)), raised);
    GuiTest::MouseUp(G, mbLeft, Point(title.Right + 30, title.Top + 2));   // released elsewhere: no click
    GuiTest::ProcessEvents();
    EXPECT_EQ(GuiTest::PixelAt(G, Point(title.Left, title.Top)), raised);
    EXPECT_EQ(clicks, 0);
    const TSortMarkerEh plain[] = {smDownEh, smUpEh, smDownEh};
    for (TSortMarkerEh m : plain) {
        GuiTest::Click(G, Center(2, 0));
        EXPECT_EQ(t->SortMarker(), m);
    }
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(sorts, 3);
    // With Ctrl the marker goes back to none and the sort waits for Ctrl's release.
    GuiTest::Click(G, Center(2, 0), mbLeft, {ssCtrl});
    EXPECT_EQ(t->SortMarker(), smUpEh);
    GuiTest::Click(G, Center(2, 0), mbLeft, {ssCtrl});
    EXPECT_EQ(t->SortMarker(), smNoneEh);
    EXPECT_EQ(sorts, 3);
    GuiTest::KeyUp(VK_CONTROL);
    GuiTest::ProcessEvents();
    EXPECT_EQ(sorts, 4);
}

TEST_F(GridInput, AChangedSortGoesToTheHandlerOrElseTheDataService)
{
    std::vector<TCustomDBGridEh*> serviced;
    TDBGridEhDataService* service = DBGridEh::DataService();
    service->SortHandler = [&](TCustomDBGridEh* g) { serviced.push_back(g); };
    struct TReset {
        TDBGridEhDataService* S;
        ~TReset() { S->SortHandler = nullptr; }
    } reset{service};
    int events = 0;
    struct TCase {
        bool AutoSort, Event;
        int Events, Serviced;
    } cases[] = {
        {false, false, 0, 0},   // without automatic sort marking nothing sorts
        {true, true, 1, 0},     // the grid's event takes it
        {true, false, 1, 1},    // else the data service
    };
    for (const TCase& c : cases) {
        G->SetOptionsEh(c.AutoSort ? G->OptionsEh() + TDBGridEhOptions{dghAutoSortMarking}
                                   : G->OptionsEh() - TDBGridEhOptions{dghAutoSortMarking});
        if (c.Event) G->OnSortMarkingChanged = [&](TObject*) { ++events; };
        else G->OnSortMarkingChanged = nullptr;
        G->DoSortMarkingChanged();
        EXPECT_EQ(events, c.Events);
        EXPECT_EQ(serviced.size(), size_t(c.Serviced));
    }
    ASSERT_FALSE(serviced.empty());
    EXPECT_EQ(serviced[0], G);
    // Without a handler the data service leaves the data as it is.
    service->SortHandler = nullptr;
    Ds->Last();
    G->DoSortMarkingChanged();
    EXPECT_EQ(Id(), 60);
}

TEST_F(GridInput, AColumnsOwnMenuShowsOverItsCells)
{
    auto menuWith = [&](const char* caption) {
        auto* m = new TPopupMenu(Host->Form.get());
        auto* item = new TMenuItem(Host->Form.get());
        item->SetCaption(caption);
        m->Items()->Add(item);
        return m;
    };
    TPopupMenu* gridMenu = menuWith("表格");
    TPopupMenu* nameMenu = menuWith("姓名");
    G->SetPopupMenu(gridMenu);
    G->Columns()->Items(1)->SetPopupMenu(nameMenu);
    auto menuAt = [&](int col, int row) {
        TPoint screen = G->ClientToScreen(Center(col, row));
        std::string shown = "(none)";
        GuiTest::Later([&] {
            auto items = GuiTest::ShownPopupMenu();
            if (!items.empty()) shown = items[0].Caption;
            GuiTest::ClosePopupMenu();
        });
        G->Perform(WM_CONTEXTMENU, WPARAM(G->Handle()), MAKELPARAM(screen.X, screen.Y));
        GuiTest::ProcessEvents();
        return shown;
    };
    EXPECT_EQ(menuAt(2, G->FirstDataRow() + 1), "姓名");
    EXPECT_EQ(nameMenu->PopupComponent(), G);
    EXPECT_EQ(menuAt(2, 0), "姓名") << "its title too";
    EXPECT_EQ(menuAt(3, G->FirstDataRow() + 1), "表格");
    nameMenu->SetAutoPopup(false);
    EXPECT_EQ(menuAt(2, G->FirstDataRow() + 1), "表格");
    delete nameMenu;
    EXPECT_EQ(G->Columns()->Items(1)->PopupMenu(), nullptr);
}

TEST_F(GridInput, ClicksMoveToTheRecordAndToggleCheckBoxes)
{
    int clicked = 0;
    G->OnCellClick = [&](TColumnEh*) { ++clicked; };
    GuiTest::Click(G, Center(2, G->FirstDataRow() + 3));
    EXPECT_EQ(Id(), 4);
    EXPECT_EQ(G->SelectedIndex(), 1);
    EXPECT_EQ(clicked, 1);
    // Passed is true for even ids.
    GuiTest::Click(G, Center(3, G->FirstDataRow() + 1));
    EXPECT_EQ(Id(), 2);
    EXPECT_FALSE(Ds->FieldByName("Passed")->AsBoolean());
    GuiTest::KeyPress(VK_DOWN);
    Ds->Locate("Id", 2, {});
    EXPECT_FALSE(Ds->FieldByName("Passed")->AsBoolean()) << "the toggle was posted by the move";
    // Ctrl+click marks rows one by one where rows are the only selection
    // (where rectangles may be selected a press in the cells starts one).
    G->SetOptions(G->Options() + TDBGridOptions{dgMultiSelect});
    G->SetAllowedSelections({gstRecordBookmarks});
    GuiTest::Click(G, Center(2, G->FirstDataRow() + 4), mbLeft, {ssCtrl});
    GuiTest::Click(G, Center(2, G->FirstDataRow() + 6), mbLeft, {ssCtrl});
    EXPECT_EQ(G->Selection()->Rows()->Count(), 2);
    GuiTest::Click(G, Center(2, G->FirstDataRow() + 4), mbLeft, {ssCtrl});
    EXPECT_EQ(G->Selection()->Rows()->Count(), 1);
}

} // namespace

namespace {

using namespace DBGridTest;

class GridScrolling : public GridInput {
protected:
    void Scroll(int code) { G->Perform(WM_VSCROLL, MAKEWPARAM(code, 0), 0); }
    TScrollInfo Info()
    {
        TScrollInfo si;
        si.fMask = SIF_ALL;
        GetScrollInfo(G->Handle(), SB_VERT, &si);
        return si;
    }
};

TEST_F(GridScrolling, TheBarShowsTheRecordNumber)
{
    int page = G->VisibleDataRowCount();
    TScrollInfo si = Info();
    EXPECT_EQ(si.nMin, 1);
    EXPECT_EQ(int(si.nPage), page);
    EXPECT_EQ(si.nMax, 60 + page - 1);
    EXPECT_EQ(si.nPos, 1);
    Ds->MoveBy(9);
    EXPECT_EQ(Info().nPos, 10);
    Ds->Last();
    EXPECT_EQ(Info().nPos, 60);
    Ds->Append();
    EXPECT_EQ(Info().nPos, 60) << "the thumb stays while inserting";
    Ds->Cancel();
}

TEST_F(GridScrolling, VisibilityModes)
{
    EXPECT_TRUE(G->VertScrollBar()->Visible());
    G->VertScrollBar()->SetVisible(false);
    EXPECT_EQ(G->VertScrollBar()->VisibleMode(), sbNeverShowEh);
    int withoutBar = G->ClientWidth();
    G->VertScrollBar()->SetVisibleMode(sbAutoShowEh);
    EXPECT_LT(G->ClientWidth(), withoutBar) << "60 records need the bar";
    // One record: an automatic bar goes, an always-shown one stays.
    auto few = MakeStudents({{1, "王五", true, 10}});
    TGridHost host(few.get(), 600, 300);
    int full = host.Grid->ClientWidth();
    host.Grid->VertScrollBar()->SetVisibleMode(sbAlwaysShowEh);
    EXPECT_LT(host.Grid->ClientWidth(), full);
    TDBGridEhScrollBar copy(nullptr, true);
    copy.Assign(G->VertScrollBar());
    EXPECT_TRUE(copy.Visible());
}

TEST_F(GridScrolling, ScrollCodesMoveTheRecord)
{
    int page = G->VisibleDataRowCount();
    struct TCase {
        const char* Name;
        int Code;
        int ExpectId;
    } cases[] = {
        {"line down: one below the bottom row", SB_LINEDOWN, page + 1},
        {"line up: one above the top row", SB_LINEUP, 1},
        {"page down", SB_PAGEDOWN, 1 + page},
        {"page up", SB_PAGEUP, 1},
        {"bottom", SB_BOTTOM, 60},
        {"top", SB_TOP, 1},
    };
    for (const TCase& k : cases) {
        SCOPED_TRACE(k.Name);
        Scroll(k.Code);
        EXPECT_EQ(Id(), k.ExpectId);
    }
    // The thumb: a release goes to the record of its place.
    SetScrollPos(G->Handle(), SB_VERT, 30, 1);
    Scroll(SB_THUMBPOSITION);
    EXPECT_EQ(Id(), 30);
    // Tracking follows the thumb only when asked; the release after it moves nothing more.
    SetScrollPos(G->Handle(), SB_VERT, 40, 1);
    Scroll(SB_THUMBTRACK);
    EXPECT_EQ(Id(), 30);
    G->VertScrollBar()->SetTracking(true);
    SetScrollPos(G->Handle(), SB_VERT, 40, 1);
    Scroll(SB_THUMBTRACK);
    EXPECT_EQ(Id(), 40);
    Ds->MoveBy(5);
    Scroll(SB_THUMBPOSITION);
    EXPECT_EQ(Id(), 45);
}

TEST_F(GridScrolling, TheWheelMovesOneRecord)
{
    GuiTest::Wheel(G, Point(50, 50), -120);
    EXPECT_EQ(Id(), 2);
    GuiTest::Wheel(G, Point(50, 50), 120);
    EXPECT_EQ(Id(), 1);
}

} // namespace

namespace {

using namespace DBGridTest;

TEST_F(GridInput, TypingEditsTheCurrentField)
{
    Ds->Locate("Id", 3, {});
    G->SetSelectedIndex(1);   // Name
    GuiTest::TypeText("张三");
    EXPECT_TRUE(G->EditorMode());
    EXPECT_EQ(Ds->State(), dsEdit);
    GuiTest::KeyPress(VK_DOWN);   // leaving the record posts what was typed
    EXPECT_EQ(Ds->State(), dsBrowse);
    EXPECT_EQ(Id(), 4);
    Ds->Locate("Id", 3, {});
    EXPECT_EQ(Ds->FieldByName("Name")->AsString(), "张三") << "typing replaces the selected text";

    // A key-list column edits the pick-list text and stores the key.
    TColumnEh* passed = G->Columns()->Items(0);
    TStringList keys, pick;
    for (const char* k : {"3", "4"}) keys.Add(k);
    for (const char* p : {"三号", "四号"}) pick.Add(p);
    passed->SetKeyList(&keys);
    passed->SetPickList(&pick);
    Ds->Locate("Id", 3, {});
    G->SetSelectedIndex(0);
    EXPECT_EQ(G->GetEditText(G->Col(), G->Row()), "三号");
    ASSERT_TRUE(G->PrepareEdit());
    G->SetEditText(G->Col(), G->Row(), "四号");
    Ds->Post();
    EXPECT_EQ(Ds->FieldByName("Id")->AsInteger(), 4);

    // A read-only grid takes no typing.
    G->SetReadOnly(true);
    G->SetSelectedIndex(1);
    EXPECT_FALSE(G->CanEditModify());
    EXPECT_EQ(Ds->State(), dsBrowse);
}

} // namespace

namespace {

using namespace DBGridTest;

TEST_F(GridInput, DeferredLayoutsPostOneMessage)
{
    int before = G->LayoutRebuildCount();
    G->LockLayout();
    G->DeferLayout();
    G->LockLayout();
    G->DeferLayout();
    EXPECT_EQ(G->LayoutLockCount(), 0);
    EXPECT_EQ(G->PaintLockCount(), 0);
    EXPECT_EQ(G->LayoutRebuildCount(), before) << "nothing rebuilt yet";
    GuiTest::ProcessEvents();
    EXPECT_EQ(G->LayoutRebuildCount(), before + 1);
    // A rebuild in between drops the posted one.
    G->LockLayout();
    G->DeferLayout();
    G->RequestLayout();
    GuiTest::ProcessEvents();
    EXPECT_EQ(G->LayoutRebuildCount(), before + 2);
}

TEST_F(GridInput, LeavingTheGridDropsAnUntouchedNewRecord)
{
    auto* other = new TEdit(Host->Form.get());
    other->SetParent(Host->Form.get());
    other->SetBounds(0, 310, 100, 24);
    Ds->Last();
    GuiTest::KeyPress(VK_DOWN);
    ASSERT_EQ(Ds->State(), dsInsert);
    other->SetFocus();
    GuiTest::ProcessEvents();
    EXPECT_EQ(Ds->State(), dsBrowse);
    EXPECT_EQ(Ds->RecordCount(), 60);
    // What was typed stays: the editor's text goes to the record, unposted.
    G->SetFocus();
    GuiTest::ProcessEvents();
    Ds->Locate("Id", 7, {});
    G->SetSelectedIndex(1);
    GuiTest::TypeText("周");
    other->SetFocus();
    GuiTest::ProcessEvents();
    EXPECT_EQ(Ds->State(), dsEdit);
    EXPECT_EQ(Ds->FieldByName("Name")->AsString(), "周");
    Ds->Post();
}

} // namespace

namespace {

using namespace DBGridTest;

TEST_F(GridInput, FitWidthsToTheTexts)
{
    TBitmap b(1, 1);
    b.Canvas()->Font()->Assign(G->Font());
    int widest = 0;
    for (int i = 1; i <= 60; ++i) widest = std::max(widest, b.Canvas()->TextWidth("学员" + std::to_string(i)));
    TColumnEh* name = G->Columns()->Items(1);
    Ds->Locate("Id", 33, {});
    G->FitColumnWidths({name});
    EXPECT_EQ(name->Width(), widest + 4);
    EXPECT_EQ(Id(), 33) << "the record stays";
    EXPECT_FALSE(Ds->ControlsDisabled());
    // A double click on the title's right edge does the same.
    G->SetOptionsEh(G->OptionsEh() + TDBGridEhOptions{dghDblClickOptimizeColWidth});
    name->SetWidth(300);
    TRect title = G->CellRect(2, 0);
    GuiTest::DoubleClick(G, Point(title.Right, title.Top + 3));
    EXPECT_EQ(name->Width(), widest + 4);
}

} // namespace

namespace {

using namespace DBGridTest;

TEST_F(GridInput, TheDataLinkFocusesColumnsAndRefreshesTheEditor)
{
    // A focus request for a field shown twice makes the later column current.
    TColumnEh* a = G->Columns()->Add();
    a->SetFieldName("Fee");
    G->Columns()->Add()->SetFieldName("Name");
    G->Columns()->Add()->SetFieldName("Fee");
    Ds->FieldByName("Fee")->FocusControl();
    EXPECT_EQ(G->SelectedIndex(), 2);
    EXPECT_TRUE(G->Focused());
    // A field not shown leaves the request to others.
    Ds->FieldByName("Passed")->FocusControl();
    EXPECT_EQ(G->SelectedIndex(), 2);

    // The editor shows a value changed under it.
    G->SetSelectedIndex(1);
    G->SetEditorMode(true);
    ASSERT_TRUE(G->InplaceEditor());
    EXPECT_EQ(G->InplaceEditor()->Text(), "学员1");
    Ds->Edit();
    Ds->FieldByName("Name")->SetAsString("改了");
    EXPECT_EQ(G->InplaceEditor()->Text(), "改了");
    Ds->FieldByName("Fee")->SetAsFloat(5);   // another field leaves the editor alone
    EXPECT_EQ(G->InplaceEditor()->Text(), "改了");
    Ds->Cancel();
}

} // namespace

namespace {

TEST_F(GridInput, NarrowingAllowedSelectionsDropsRows)
{
    G->SetOptions(G->Options() + TDBGridOptions{dgMultiSelect});
    G->SetAllowedSelections({gstRecordBookmarks});
    GuiTest::KeyPress(VK_DOWN, {ssShift});
    ASSERT_EQ(G->Selection()->Rows()->Count(), 2);
    G->SetAllowedSelections({gstRecordBookmarks, gstAll});
    EXPECT_EQ(G->Selection()->Rows()->Count(), 2);
    G->SetAllowedSelections({gstAll});
    EXPECT_EQ(G->Selection()->Rows()->Count(), 0);
}

} // namespace

namespace {

TEST_F(GridInput, DraggingATitleEdgeSizesTheColumn)
{
    TColumnEh* name = G->Columns()->Items(1);
    int before = name->Width();
    TRect title = G->CellRect(2, 0);
    GuiTest::MouseDown(G, mbLeft, Point(title.Right, title.Top + 3));
    GuiTest::MouseMove(G, Point(title.Right + 30, title.Top + 3), {ssLeft});
    GuiTest::MouseUp(G, mbLeft, Point(title.Right + 30, title.Top + 3));
    EXPECT_EQ(name->Width(), before + 30);
    EXPECT_EQ(G->ColWidths(2), before + 30);
    // A column's limits hold against the mouse.
    name->SetMaxWidth(before + 40);
    title = G->CellRect(2, 0);
    GuiTest::MouseDown(G, mbLeft, Point(title.Right, title.Top + 3));
    GuiTest::MouseMove(G, Point(title.Right + 50, title.Top + 3), {ssLeft});
    GuiTest::MouseUp(G, mbLeft, Point(title.Right + 50, title.Top + 3));
    EXPECT_EQ(name->Width(), before + 40);
    EXPECT_EQ(G->ColWidths(2), before + 40);
}

} // namespace

namespace {

TEST_F(GridInput, SizingUnderAutoFitTakesFromTheNextColumn)
{
    G->Columns()->Clear();
    TColumnEh* a = G->Columns()->Add();
    a->SetFieldName("Id");
    a->SetWidth(100);
    TColumnEh* b = G->Columns()->Add();
    b->SetFieldName("Name");
    b->SetWidth(300);
    TColumnEh* c = G->Columns()->Add();
    c->SetFieldName("Fee");
    c->SetWidth(100);
    G->SetOptions(G->Options() - TDBGridOptions{dgIndicator, dgColLines});
    G->SetBounds(0, 0, 500 + (G->Width() - G->ClientWidth()), 300);
    G->SetAutoFitColWidths(true);
    ASSERT_EQ(G->ClientWidth(), 500);
    ASSERT_EQ(a->Width(), 100);
    TRect title = G->CellRect(0, 0);
    GuiTest::MouseDown(G, mbLeft, Point(title.Right, title.Top + 3));
    GuiTest::MouseMove(G, Point(title.Right + 50, title.Top + 3), {ssLeft});
    GuiTest::MouseUp(G, mbLeft, Point(title.Right + 50, title.Top + 3));
    EXPECT_EQ(a->Width(), 150);
    EXPECT_EQ(b->Width(), 250);
    EXPECT_EQ(c->Width(), 100) << "columns further right keep their share";
    EXPECT_EQ(a->Width() + b->Width() + c->Width(), 500);
}

} // namespace

namespace {

TEST_F(GridInput, SpaceAndDeleteOnACheckBox)
{
    Ds->Locate("Id", 2, {});   // Passed is true for even ids
    G->SetSelectedIndex(2);
    GuiTest::KeyPress(VK_SPACE);
    EXPECT_FALSE(Ds->FieldByName("Passed")->AsBoolean());
    EXPECT_FALSE(G->EditorMode()) << "a check box opens no editor";
    GuiTest::KeyPress(VK_SPACE);
    EXPECT_TRUE(Ds->FieldByName("Passed")->AsBoolean());
    GuiTest::KeyPress(VK_DELETE);
    EXPECT_TRUE(Ds->FieldByName("Passed")->IsNull());
    EXPECT_EQ(G->Columns()->Items(2)->CellCheckState(), cbGrayed);
    Ds->Cancel();
}

} // namespace
