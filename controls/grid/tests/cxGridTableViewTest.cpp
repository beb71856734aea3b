// A record view as a whole: its options, item focus, styles, drawing
// decisions, the data controller's news, the navigator's actions, the filter
// dialogs it opens, its stored filter and summary, and the table
// controller's selection, deletion and paging.
#include "GridTestBase.h"

#include "RecordingHost.h"
#include "StringLists.h"
#include "cxStorage.h"
#include "cxTextEdit.h"

#include <algorithm>

namespace {

using GridTesting::RowHeight;

class GridTableViewTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        View = static_cast<TcxGridTestTableView*>(Grid->CreateView(TcxGridTestTableView::StaticClass()));
        View->SetName("TableView");
        Grid->RootLevel()->Add()->SetGridView(View);
        for (const char* name : {"ColA", "ColB", "ColC"}) {
            TcxCustomGridTableItem* item = View->CreateItem();
            item->SetName(name);
            item->DataBinding()->SetValueTypeClass(TcxStringValueType::Class());
        }
        TcxCustomDataController* dc = View->DataController();
        dc->SetRecordCount(10);
        for (int i = 0; i < 10; ++i) dc->SetValue(i, 0, Variant(std::string(1, char('a' + i))));
        Grid->SetBounds(0, 0, 300, 200);
        ShowForm();
        int frame = 200 - View->TableViewInfo()->ClientBounds.Height();
        Grid->SetBounds(0, 0, 300, 5 * RowHeight + frame);
        GuiTest::ProcessEvents();
    }
    TcxCustomGridTableItem* Item(int i) { return View->GetItem(i); }
    TcxCustomGridTableController* Controller() { return View->Controller(); }
    TcxCustomDataController* DC() { return View->DataController(); }
    TcxCustomGridRecord* Record(int i) { return View->ViewData()->GetRecord(i); }
    std::vector<int> Selected()
    {
        std::vector<int> rows;
        for (int i = 0; i < DC()->GetSelectedCount(); ++i) rows.push_back(DC()->GetSelectedRowIndex(i));
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    TcxGridTestTableView* View = nullptr;
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
};

// ---- options

TEST_F(GridTableViewTest, OptionsStartAtTheirDefaultsAndRefuseNegativeCounts)
{
    EXPECT_TRUE(View->Filtering()->CustomizeDialog());
    EXPECT_EQ(View->Filtering()->MaxDropDownCount(), 15);
    EXPECT_EQ(View->Filtering()->Visible(), fvNonEmpty);
    EXPECT_TRUE(View->OptionsBehavior()->ImmediateEditor);
    EXPECT_TRUE(View->OptionsData()->DeletingConfirmation);
    EXPECT_TRUE(View->OptionsSelection()->CellSelect());
    EXPECT_TRUE(View->OptionsSelection()->InvertSelect());
    EXPECT_EQ(View->OptionsView()->NavigatorOffset(), 50);
    EXPECT_EQ(View->OptionsView()->ShowEditButtons(), gsebNever);

    struct Case {
        const char* what;
        std::function<void(int)> set;
        std::function<int()> get;
    } cases[] = {
        {"DropDownWidth", [&](int v) { View->Filtering()->SetDropDownWidth(v); }, [&] { return View->Filtering()->DropDownWidth(); }},
        {"MaxDropDownCount", [&](int v) { View->Filtering()->SetMaxDropDownCount(v); },
         [&] { return View->Filtering()->MaxDropDownCount(); }},
        {"BestFitMaxRecordCount", [&](int v) { View->OptionsBehavior()->SetBestFitMaxRecordCount(v); },
         [&] { return View->OptionsBehavior()->BestFitMaxRecordCount(); }},
        {"CellTextMaxLineCount", [&](int v) { View->OptionsView()->SetCellTextMaxLineCount(v); },
         [&] { return View->OptionsView()->CellTextMaxLineCount(); }},
        {"NavigatorOffset", [&](int v) { View->OptionsView()->SetNavigatorOffset(v); },
         [&] { return View->OptionsView()->NavigatorOffset(); }},
    };
    for (const Case& c : cases) {
        c.set(-4);
        EXPECT_EQ(c.get(), 0) << c.what;
        c.set(7);
        EXPECT_EQ(c.get(), 7) << c.what;
    }
    View->Filtering()->SetMaxDropDownCount(15);
    EXPECT_EQ(View->Filtering()->GetDropDownCount(20), 15);
    EXPECT_EQ(View->Filtering()->GetDropDownCount(14), 14);
    View->Filtering()->SetMaxDropDownCount(0);
    EXPECT_EQ(View->Filtering()->GetDropDownCount(20), 20) << "0 sets no limit";
}

TEST_F(GridTableViewTest, FocusCellOnTabMakesTheSiteWantTab)
{
    EXPECT_FALSE(View->Site()->WantedKeys().Contains(wkTab));
    View->OptionsBehavior()->SetFocusCellOnTab(true);
    EXPECT_TRUE(View->Site()->WantedKeys().Contains(wkTab));
    View->OptionsBehavior()->SetFocusCellOnTab(false);
    EXPECT_FALSE(View->Site()->WantedKeys().Contains(wkTab));
}

TEST_F(GridTableViewTest, MultiSelectLivesInTheDataControllerAndCopiesWithTheOptions)
{
    View->OptionsSelection()->SetMultiSelect(true);
    EXPECT_TRUE(DC()->MultiSelect());
    auto* other = static_cast<TcxGridTestTableView*>(Grid->CreateView(TcxGridTestTableView::StaticClass()));
    other->OptionsSelection()->Assign(View->OptionsSelection());
    EXPECT_TRUE(other->DataController()->MultiSelect());
    FreeObject(other);
}

// ---- focused item

TEST_F(GridTableViewTest, HidingTheFocusedItemMovesTheFocusOn)
{
    Controller()->SetFocusedItem(Item(1));
    Item(1)->SetVisible(false);
    EXPECT_EQ(Controller()->FocusedItem(), Item(2));
    Item(2)->SetVisible(false);
    EXPECT_EQ(Controller()->FocusedItem(), Item(0)) << "wraps to the first item";
    Item(0)->SetVisible(false);
    EXPECT_EQ(Controller()->FocusedItem(), nullptr);
    Item(2)->SetVisible(true);
    EXPECT_EQ(Controller()->FocusedItem(), Item(2)) << "an item shown while none is focused takes the focus";
}

TEST_F(GridTableViewTest, CellSelectGovernsWhetherItemsTakeTheFocus)
{
    Controller()->SetFocusedItem(Item(2));
    View->OptionsSelection()->SetCellSelect(false);
    EXPECT_EQ(Controller()->FocusedItem(), nullptr);
    Controller()->SetFocusedItem(Item(1));
    EXPECT_EQ(Controller()->FocusedItem(), nullptr) << "no item can take the focus";
    View->OptionsSelection()->SetCellSelect(true);
    EXPECT_EQ(Controller()->FocusedItem(), Item(0)) << "the first focusable item";
    std::vector<std::string> events;
    View->OnFocusedItemChanged = [&](TcxCustomGridTableView*, TcxCustomGridTableItem* APrev, TcxCustomGridTableItem* AItem) {
        events.push_back((APrev ? APrev->Name() : "-") + ">" + (AItem ? AItem->Name() : "-"));
    };
    Item(1)->Options()->SetFocusing(false);
    Controller()->SetFocusedItem(Item(1));
    Controller()->SetFocusedItem(Item(2));
    EXPECT_EQ(events, std::vector<std::string>{"ColA>ColC"});
}

TEST_F(GridTableViewTest, FindNextItemWrapsOnlyWhenAsked)
{
    struct Case {
        int from;
        bool forward, cycle;
        int found;
        bool cycled;
    } cases[] = {
        {0, true, false, 1, false},  {2, true, false, -1, false}, {2, true, true, 0, true},
        {0, false, false, -1, false}, {0, false, true, 2, true},  {-1, true, false, 0, false},
        {-1, false, false, -1, false}, {-1, false, true, 2, false},
    };
    for (const Case& c : cases) {
        bool cycled = false;
        EXPECT_EQ(Controller()->FindNextItem(c.from, c.forward, c.cycle, cycled), c.found)
            << c.from << " " << c.forward << " " << c.cycle;
        EXPECT_EQ(cycled, c.cycled) << c.from << " " << c.forward << " " << c.cycle;
    }
    Item(0)->SetVisible(false);
    Item(2)->SetVisible(false);
    bool cycled = false;
    EXPECT_EQ(Controller()->FindNextItem(0, true, true, cycled), 0) << "a lone item finds itself";
    EXPECT_TRUE(cycled);
}

// ---- styles

TEST_F(GridTableViewTest, ContentStylesFollowTheRecordIndexAndTheHandlers)
{
    auto* even = new TcxStyle(Form);
    even->SetColor(clYellow);
    auto* odd = new TcxStyle(Form);
    odd->SetColor(clAqua);
    auto* mine = new TcxStyle(Form);
    mine->SetColor(clRed);
    TcxCustomGridTableViewStyles* styles = View->Styles();
    TcxViewParams p;
    styles->GetContentParams(Record(0), nullptr, p);
    EXPECT_EQ(p.Color, View->LookAndFeelPainter()->ContentColor());
    styles->SetStyle(TcxCustomGridTableViewStyles::vsContentEven, even);
    styles->GetContentParams(Record(0), nullptr, p);
    EXPECT_EQ(p.Color, clYellow) << "row 0 counts as even";
    styles->GetContentParams(Record(1), nullptr, p);
    EXPECT_EQ(p.Color, View->LookAndFeelPainter()->ContentColor()) << "odd rows without ContentOdd use Content";
    styles->SetStyle(TcxCustomGridTableViewStyles::vsContentOdd, odd);
    styles->GetContentParams(Record(1), nullptr, p);
    EXPECT_EQ(p.Color, clAqua);
    styles->OnGetContentStyle = [&](TcxCustomGridTableView*, TcxCustomGridRecord* r, TcxCustomGridTableItem*, TcxStyle*& s) {
        if (r && r->Index() == 1) s = mine;
    };
    styles->GetContentParams(Record(1), nullptr, p);
    EXPECT_EQ(p.Color, clRed) << "the view's handler comes first";
    styles->GetContentParams(Record(1), Item(0), p);
    EXPECT_EQ(p.Color, clRed) << "an item without styles of its own falls back to the view";
    Item(0)->Styles()->SetContent(even);
    styles->GetContentParams(Record(1), Item(0), p);
    EXPECT_EQ(p.Color, clYellow) << "the item's own Content style";
}

TEST_F(GridTableViewTest, ASelectedCellTakesSelectionWhileActiveElseInactive)
{
    Controller()->FocusRecord(2, false);
    Controller()->SetFocusedItem(Item(0));
    View->SetFocused(true);
    TcxViewParams p;
    View->Styles()->GetDataCellParams(Record(2), Item(1), p);
    TcxCustomLookAndFeelPainterClass painter = View->LookAndFeelPainter();
    ASSERT_TRUE(View->DrawCellSelected(Record(2), Item(1)));
    EXPECT_EQ(p.Color, View->DrawRecordActive(Record(2)) ? painter->SelectionColor() : painter->InactiveColor());
    View->Styles()->GetDataCellParams(Record(3), Item(1), p);
    EXPECT_EQ(p.Color, painter->ContentColor()) << "an unselected record";
}

// ---- drawing decisions

TEST_F(GridTableViewTest, CellsDrawnSelected)
{
    View->SetFocused(true);
    Controller()->FocusRecord(4, false);
    Controller()->SetFocusedItem(Item(1));
    ASSERT_TRUE(View->DrawRecordFocused(Record(4)));
    ASSERT_TRUE(View->DrawRecordSelected(Record(4)));
    struct Case {
        bool invertSelect, multiSelect;
        int item;
        bool editing, hideSelection;
        bool selected;
    } cases[] = {
        {true, false, 0, false, false, true},   // inverted: every other cell
        {true, false, 1, false, false, false},  // but the focused one
        {false, false, 1, false, false, true},  // plain: only the focused cell
        {false, false, 0, false, false, false},
        {false, true, 1, false, false, false},  // with multi-select no single cell
        {true, true, 0, false, false, true},
        {false, false, 1, true, false, false},  // the cell holding the editor
        {true, false, 0, true, false, false},
    };
    for (const Case& c : cases) {
        View->OptionsSelection()->SetInvertSelect(c.invertSelect);
        View->OptionsSelection()->SetMultiSelect(c.multiSelect);
        if (c.multiSelect) DC()->ChangeRowSelection(4, true);
        View->OptionsSelection()->SetHideSelection(c.hideSelection);
        EXPECT_EQ(View->DrawCellSelected(Record(4), Item(c.item), nullptr, c.editing), c.selected)
            << c.invertSelect << c.multiSelect << c.item << c.editing;
    }
    View->OptionsSelection()->SetInvertSelect(true);
    View->OptionsSelection()->SetMultiSelect(false);
    EXPECT_FALSE(View->DrawCellSelected(Record(3), Item(0))) << "a record that is not selected";
    EXPECT_FALSE(View->DrawCellSelected(nullptr, Item(0)));
    std::pair<bool, bool> cannot{false, false}, byItself{true, true};
    EXPECT_FALSE(View->DrawCellSelected(Record(4), Item(0), &cannot)) << "a cell that cannot be drawn selected";
    EXPECT_TRUE(View->DrawCellSelected(Record(4), Item(1), &byItself)) << "a cell selected by itself";
}

TEST_F(GridTableViewTest, HideSelectionHidesTheSelectionOfAnUnfocusedGrid)
{
    View->SetFocused(true);
    Controller()->FocusRecord(1, false);
    ASSERT_FALSE(Grid->IsFocused());
    EXPECT_TRUE(View->DrawCellSelected(Record(1), Item(2)));
    View->OptionsSelection()->SetHideSelection(true);
    EXPECT_FALSE(View->DrawCellSelected(Record(1), Item(2)));
    Grid->SetFocus();
    GuiTest::ProcessEvents();
    if (Grid->IsFocused()) EXPECT_TRUE(View->DrawCellSelected(Record(1), Item(2)));
}

// ---- the data controller's news

TEST_F(GridTableViewTest, AFocusedRecordChangeFiresWithTheOldAndNewRecords)
{
    std::vector<std::pair<int, int>> events;
    View->OnFocusedRecordChanged = [&](TcxCustomGridTableView*, TcxCustomGridRecord* APrev, TcxCustomGridRecord* ARec, bool) {
        events.push_back({APrev ? APrev->Index() : -1, ARec ? ARec->Index() : -1});
    };
    DC()->ChangeFocusedRowIndex(3);
    DC()->ChangeFocusedRowIndex(7);
    EXPECT_EQ(events, (std::vector<std::pair<int, int>>{{-1, 3}, {3, 7}}));
    EXPECT_EQ(DC()->GetSelectionAnchorRowIndex(), 3) << "the first focus sets the anchor";
    GuiTest::ProcessEvents();
    EXPECT_EQ(Controller()->TopRecordIndex(), 3) << "the focused record was scrolled into view";
}

TEST_F(GridTableViewTest, OnCanSelectRecordKeepsRowsOutOfTheSelection)
{
    View->OptionsSelection()->SetMultiSelect(true);
    View->OnCanSelectRecord = [](TcxCustomGridTableView*, TcxCustomGridRecord* ARecord, bool& AAllow) {
        AAllow = ARecord->Index() % 2 == 0;
    };
    DC()->SelectAll();
    EXPECT_EQ(Selected(), (std::vector<int>{0, 2, 4, 6, 8}));
}

TEST_F(GridTableViewTest, SelectionChangesFireTheirEvent)
{
    int count = 0;
    View->OnSelectionChanged = [&](TcxCustomGridTableView*) { ++count; };
    View->OptionsSelection()->SetMultiSelect(true);
    int before = count;
    DC()->ChangeRowSelection(2, true);
    EXPECT_GT(count, before);
}

TEST_F(GridTableViewTest, FocusChangesReachTheGridsSubscribers)
{
    TGridNotificationCounter rec(gnkFocusedRecordChanged);
    Grid->AddNotification(&rec);
    DC()->ChangeFocusedRowIndex(2);
    EXPECT_EQ(rec.Count, 1);
    Grid->RemoveNotification(&rec);
}

TEST_F(GridTableViewTest, RecordChangesRepaintOnlyWhatIsShown)
{
    TcxGridRecordChange offScreen(View, nullptr, 8, false), hiddenItem(View, Item(2), 1, false),
        shown(View, Item(0), 1, false), same(View, Item(0), 1, false), otherItem(View, Item(1), 1, false);
    EXPECT_TRUE(shown.IsSameAs(&same));
    EXPECT_FALSE(shown.IsSameAs(&otherItem));
    TcxGridSizeChange size(View);
    TcxGridLayoutChange gridLayout(nullptr);
    EXPECT_TRUE(shown.IsCoveredBy(&size));
    EXPECT_FALSE(shown.IsCoveredBy(&gridLayout)) << "a grid-wide change does not cover a view's record";
    Item(2)->SetVisible(false);
    GuiTest::ProcessEvents();
    GridTesting::CalculatedRows().clear();
    offScreen.Execute();
    hiddenItem.Execute();
    EXPECT_TRUE(GridTesting::CalculatedRows().empty()) << "nothing to redo";
    shown.Execute();
    EXPECT_EQ(GridTesting::CalculatedRows(), std::vector<int>{1}) << "the record on screen is laid out again";
}

// ---- the navigator

TEST_F(GridTableViewTest, NavigatorActionsMoveThroughTheRecords)
{
    struct Case {
        int action;
        int focusedRow;
    } cases[] = {{0, 0}, {3, 1}, {3, 2}, {2, 1}, {5, 9}, {2, 8}, {1, 5}, {1, 0}, {4, 4}, {4, 9}};
    for (const Case& c : cases) {
        View->DoAction(c.action);
        EXPECT_EQ(DC()->GetFocusedRowIndex(), c.focusedRow) << "action " << c.action;
    }
    EXPECT_TRUE(View->IsEof());
    View->DoAction(0);
    EXPECT_TRUE(View->IsBof());
    View->DoAction(12);
    EXPECT_TRUE(View->IsBookmarkAvailable());
    View->DoAction(5);
    View->DoAction(13);
    EXPECT_EQ(DC()->GetFocusedRowIndex(), 0) << "back to the bookmark";
    View->ClearBookmark();
    EXPECT_FALSE(View->IsBookmarkAvailable());
    EXPECT_EQ(View->NavigatorButtons()->GetNavigator(), static_cast<IcxNavigator*>(View));
    EXPECT_FALSE(View->NavigatorButtons()->ConfirmDelete) << "the controller asks instead";
}

TEST_F(GridTableViewTest, NavigatorEditingActionsGoToTheDataController)
{
    DC()->ChangeFocusedRowIndex(2);
    View->DoAction(8);
    EXPECT_TRUE(View->IsEditing());
    DC()->SetEditValue(0, Variant(std::string("zz")), 0);
    View->DoAction(9);
    EXPECT_FALSE(View->IsEditing());
    EXPECT_EQ(DC()->GetValue(2, 0).AsString(), "zz");
    View->DoAction(8);
    DC()->SetEditValue(0, Variant(std::string("yy")), 0);
    View->DoAction(10);
    EXPECT_EQ(DC()->GetValue(2, 0).AsString(), "zz") << "cancel keeps the posted value";
    View->DoAction(6);
    EXPECT_TRUE(View->IsEditing()) << "insert";
    EXPECT_EQ(DC()->GetRecordCount(), 11);
    View->DoAction(10);
    EXPECT_EQ(DC()->GetRecordCount(), 10);
}

TEST_F(GridTableViewTest, DeletingAsksFirstAndCancelDeletesNothing)
{
    DC()->ChangeFocusedRowIndex(3);
    Host->QueueMessageBox(IDCANCEL);
    View->DoAction(7);
    EXPECT_EQ(DC()->GetRecordCount(), 10);
    Host->QueueMessageBox(IDOK);
    View->DoAction(7);
    EXPECT_EQ(DC()->GetRecordCount(), 9);
    View->OptionsSelection()->SetMultiSelect(true);
    DC()->ChangeFocusedRowIndex(1);
    DC()->ChangeRowSelection(1, true);
    DC()->ChangeRowSelection(2, true);
    Host->QueueMessageBox(IDOK);
    WORD key = VK_DELETE;
    Controller()->KeyDown(key, {});
    EXPECT_EQ(key, 0);
    EXPECT_EQ(DC()->GetRecordCount(), 7);
    std::vector<THostCall> boxes = Host->CallsOf(THostCallKind::MessageBox);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].Text, "Delete record?");
    EXPECT_EQ(boxes[0].Caption, "Confirm");
    EXPECT_EQ(boxes[0].Flags, int64_t(MB_ICONQUESTION | MB_OKCANCEL));
    EXPECT_EQ(boxes[2].Text, "Delete all selected records?");
    View->OptionsData()->DeletingConfirmation = false;
    View->OptionsData()->SetDeleting(false);
    key = VK_DELETE;
    Controller()->KeyDown(key, {});
    EXPECT_EQ(DC()->GetRecordCount(), 7) << "the Deleting option refuses the key";
    EXPECT_FALSE(View->CanDelete());
}

// ---- selection by keys and clicks

TEST_F(GridTableViewTest, WithoutMultiSelectTheFocusedRecordIsTheSelection)
{
    EXPECT_EQ(Controller()->GetSelectedRecordCount(), 0);
    DC()->ChangeFocusedRowIndex(6);
    EXPECT_EQ(Controller()->GetSelectedRecordCount(), 1);
    EXPECT_EQ(Controller()->GetSelectedRecord(0), Record(6));
    EXPECT_EQ(Controller()->GetSelectedRecord(1), nullptr);
}

// A batch edit walks the selected records and posts each: every post may
// renew the record handles, so each step asks for the record again (the
// sanitizer run checks that no freed handle is read).
TEST_F(GridTableViewTest, ABatchEditOfTheSelectedRecordsAsksForEachRecordAfresh)
{
    View->OptionsSelection()->SetMultiSelect(true);
    for (int row : {1, 3, 5}) DC()->ChangeRowSelection(row, true);
    ASSERT_EQ(Controller()->GetSelectedRecordCount(), 3);
    for (int i = 0; i < Controller()->GetSelectedRecordCount(); ++i) {
        TcxCustomGridRecord* record = Controller()->GetSelectedRecord(i);
        ASSERT_NE(record, nullptr);
        int row = record->Index();
        DC()->ChangeFocusedRowIndex(row);
        DC()->Edit();
        DC()->SetEditValue(1, Variant(std::string("批")), 0);
        DC()->Post();
        // The handle read before the post may be gone; the row is asked again.
        EXPECT_EQ(Controller()->GetSelectedRecord(i)->GetValue(1).AsString(), "批");
    }
    for (int row : {1, 3, 5}) EXPECT_EQ(DC()->GetValue(row, 1).AsString(), "批") << row;
    EXPECT_TRUE(DC()->GetValue(2, 1).IsNull());
}

TEST_F(GridTableViewTest, KeysMoveTheSelectionWithTheFocus)
{
    View->OptionsSelection()->SetMultiSelect(true);
    View->SetFocused(true);
    Controller()->FocusRecord(2, true);
    ASSERT_EQ(Selected(), std::vector<int>{2});
    struct Case {
        int toRow;
        TShiftState shift;
        std::vector<int> selected;
    } cases[] = {
        {4, {ssShift}, {2, 3, 4}},   // from the anchor
        {5, {ssCtrl}, {2, 3, 4}},    // only the anchor moves
        {6, {ssShift}, {5, 6}},      // from the new anchor
        {7, {}, {7}},                // the focused record alone
    };
    for (const Case& c : cases) {
        Controller()->FocusRecord(c.toRow, false);
        Controller()->DoKeyMultiSelect(VK_DOWN, c.shift);
        EXPECT_EQ(Selected(), c.selected) << c.toRow;
    }
    Controller()->DoKeyMultiSelect(VK_SPACE, {ssCtrl});
    EXPECT_TRUE(Selected().empty()) << "Ctrl+Space toggles";
    char ch = ' ';
    Controller()->KeyPress(ch);
    EXPECT_EQ(ch, 0) << "the space after the toggle is skipped";
}

TEST_F(GridTableViewTest, ACtrlClickOnASelectedRecordWaitsForTheMouseUp)
{
    View->OptionsSelection()->SetMultiSelect(true);
    View->SetFocused(true);
    Controller()->FocusRecord(1, false);
    DC()->ChangeRowSelection(1, true);
    DC()->ChangeRowSelection(3, true);
    TcxGridRecordHitTest hit;
    hit.SetGridRecord(Record(1));
    ASSERT_TRUE(Controller()->CanProcessSelectionClick(&hit));
    Controller()->DoMouseDownSelection(&hit, {ssCtrl}, false);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 3})) << "nothing yet";
    EXPECT_TRUE(Controller()->IsClickSelectionPending());
    Controller()->DoMouseUpSelection(&hit, {ssCtrl});
    EXPECT_EQ(Selected(), std::vector<int>{3});
    Controller()->DoMouseDownSelection(&hit, TShiftState{ssCtrl, ssDouble}, true);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 3})) << "a double click toggles at once";
    TcxGridExpandButtonHitTest expand;
    expand.SetGridRecord(Record(1));
    EXPECT_FALSE(Controller()->CanProcessSelectionClick(&expand));
}

TEST_F(GridTableViewTest, PagingFocusesTheEdgeOfThePage)
{
    View->SetFocused(true);
    Controller()->FocusRecord(0, false);
    WORD key = VK_NEXT;
    Controller()->KeyDown(key, {});
    EXPECT_EQ(DC()->GetFocusedRowIndex(), 4) << "the last visible row";
    key = VK_NEXT;
    Controller()->KeyDown(key, {});
    EXPECT_EQ(Controller()->TopRecordIndex(), 5) << "a page down from the last visible row";
    EXPECT_EQ(DC()->GetFocusedRowIndex(), 9);
    key = VK_PRIOR;
    Controller()->KeyDown(key, {});
    EXPECT_EQ(DC()->GetFocusedRowIndex(), 5);
}

TEST_F(GridTableViewTest, TypedCharactersSearchTheIncrementalSearchItem)
{
    TDefaultEditorsScope editors;
    View->OptionsBehavior()->SetIncSearch(true);
    View->OptionsSelection()->SetCellSelect(false);
    View->OptionsBehavior()->SetIncSearchItem(Item(0));
    ASSERT_TRUE(Item(0)->CanIncSearch());
    DC()->ChangeFocusedRowIndex(0);
    for (char c : std::string("g")) {
        char key = c;
        Controller()->KeyPress(key);
        EXPECT_EQ(key, 0) << "the search takes the character";
    }
    EXPECT_TRUE(Controller()->IsIncSearching());
    EXPECT_EQ(Controller()->GetIncSearchingText(), "g");
    EXPECT_EQ(DC()->GetFocusedRowIndex(), 6) << "the row of \"g\"";
    WORD key = VK_BACK;
    Controller()->KeyDown(key, {});
    EXPECT_EQ(key, 0);
    EXPECT_FALSE(Controller()->IsIncSearching()) << "an emptied text ends the search";
    char again = 'e';
    Controller()->KeyPress(again);
    EXPECT_EQ(DC()->GetFocusedRowIndex(), 4);
    key = VK_ESCAPE;
    Controller()->KeyDown(key, {});
    EXPECT_FALSE(Controller()->IsIncSearching());
    View->OptionsBehavior()->SetIncSearch(false);
    char off = 'b';
    Controller()->KeyPress(off);
    EXPECT_EQ(off, 'b') << "without the option characters are not searched";
}

// ---- the filter

struct TDialogCalls {
    std::vector<std::string> Log;
    bool Complex = false;
    bool Answer = true;
};

TEST_F(GridTableViewTest, TheCustomizeDialogIsTheBuilderUnlessOneColumnDialogCanShowTheFilter)
{
    TDialogCalls calls;
    TcxGridFilterDialogs dialogs;
    dialogs.IsComplexFilter = [&](TcxFilterCriteria*) { return calls.Complex; };
    dialogs.ShowFilterDialog = [&](TcxFilterCriteria*, TObject* AItem, TcxCustomEditProperties*, TcxLookAndFeel*,
                                   TcxValueTypeClass, const std::string& ACaption) {
        calls.Log.push_back("column:" + static_cast<TComponent*>(AItem)->Name());
        return calls.Answer;
    };
    dialogs.ShowFilterControlDialog = [&](TComponent* ALink, TcxLookAndFeel*, TColor, const std::string&,
                                          const TNotifyEvent&, const TNotifyEvent& AOnApply) {
        auto* link = dynamic_cast<IcxFilterControl*>(ALink);
        calls.Log.push_back("builder:" + std::to_string(link ? link->GetCount() : -1));
        if (AOnApply) AOnApply(nullptr);
        return calls.Answer;
    };
    cxGridCustomTableView::SetFilterDialogs(dialogs);
    TcxDataFilterCriteria* filter = DC()->Filter();

    calls.Answer = false;
    View->Filtering()->RunCustomizeDialog(Item(1));
    EXPECT_FALSE(filter->Active()) << "Cancel leaves the filter off";
    calls.Answer = true;
    View->Filtering()->RunCustomizeDialog(Item(1));
    EXPECT_TRUE(filter->Active()) << "OK turns the filter on";
    filter->SetActive(false);
    calls.Complex = true;
    View->Filtering()->RunCustomizeDialog(Item(1));
    View->DoAction(14);
    EXPECT_EQ(calls.Log, (std::vector<std::string>{"column:ColB", "column:ColB", "builder:3", "builder:3"}));
    EXPECT_TRUE(filter->Active()) << "the builder's Apply turns the filter on";
    cxGridCustomTableView::SetFilterDialogs({});
}

TEST_F(GridTableViewTest, TheBuilderSeesTheFilterableItems)
{
    Item(1)->Options()->SetFiltering(false);
    IcxFilterControl* link = View;
    ASSERT_EQ(link->GetCount(), 2);
    Item(2)->SetCaption("籍贯");
    EXPECT_EQ(link->GetItemCaption(1), "籍贯");
    EXPECT_EQ(link->GetItemLink(1), Item(2)->ID());
    EXPECT_EQ(link->GetFieldName(0), "");
    EXPECT_EQ(link->GetCriteria(), DC()->Filter());
    EXPECT_EQ(link->GetValueType(1), TcxStringValueType::Class());
    EXPECT_EQ(link->GetProperties(0), Item(0)->GetProperties());
}

// ---- stored filter and summary

TEST_F(GridTableViewTest, TheStoredFilterIsTheCriteriaStreamInUpperCaseHex)
{
    TcxDataFilterCriteria* filter = DC()->Filter();
    filter->AddItem(nullptr, Item(0), foEqual, Variant(std::string("c")), "c");
    filter->SetActive(true);
    TStringList names;
    View->GetStoredProperties(&names);
    EXPECT_EQ(names.Text().substr(0, 13), "FilterActive\r");
    std::string stored = VarToStr(View->GetStoredPropertyValue("Filter"));
    ASSERT_EQ(stored.substr(0, 4), "Hex:");
    std::string hex = stored.substr(4);
    EXPECT_EQ(hex.size() % 2, 0u);
    EXPECT_TRUE(std::all_of(hex.begin(), hex.end(), [](char c) { return isdigit(c) || (c >= 'A' && c <= 'F'); }));
    TStringStream bytes;
    filter->WriteData(&bytes);
    EXPECT_EQ(cxStorage::HexStringToString(hex), bytes.DataString()) << "the same bytes as the criteria stream";

    filter->Clear();
    View->SetStoredPropertyValue("Filter", Variant(stored + "F"));  // a last odd digit is ignored
    EXPECT_EQ(VarToStr(View->GetStoredPropertyValue("Filter")), stored);
    EXPECT_THROW(View->SetStoredPropertyValue("Filter", Variant(std::string("Hex:0G"))), EcxHexStringConvertError);
    EXPECT_EQ(VarToStr(View->GetStoredPropertyValue("Filter")), stored) << "a bad value changes nothing";
}

TEST_F(GridTableViewTest, StoredFilterSettings)
{
    TcxDataFilterCriteria* filter = DC()->Filter();
    View->SetStoredPropertyValue("FilterActive", Variant(std::string("true")));
    EXPECT_TRUE(filter->Active());
    EXPECT_THROW(View->SetStoredPropertyValue("FilterActive", Variant(std::string("yes"))), EPropertyConvertError);
    View->SetStoredPropertyValue("FilterOptions", Variant(std::string("[fcoCaseInsensitive,fcoSoftNull]")));
    EXPECT_EQ(VarToStr(View->GetStoredPropertyValue("FilterOptions")), "[fcoCaseInsensitive,fcoSoftNull]");
    View->SetStoredPropertyValue("FilterPercentWildcard", Variant(std::string("*x")));
    EXPECT_EQ(filter->PercentWildcard(), '*');
    View->SetStoredPropertyValue("FilterUnderscoreWildcard", Variant(std::string()));
    EXPECT_EQ(filter->UnderscoreWildcard(), '\0');
    View->SetStoredPropertyValue("FilterMaxValueListCount", Variant(30));
    EXPECT_EQ(View->GetStoredPropertyValue("FilterMaxValueListCount").AsInteger(), 30);
    View->SetStoredPropertyValue("SummaryOptions", Variant(std::string("[soSelectedRecords]")));
    EXPECT_EQ(VarToStr(View->GetStoredPropertyValue("SummaryOptions")), "[soSelectedRecords]");
    EXPECT_TRUE(View->GetStoredPropertyValue("FilterAutoDataSetFilter").IsNull())
        << "the base data controller keeps no such setting";
}

TEST_F(GridTableViewTest, StoredSummaryChildrenByName)
{
    struct Case {
        const char* name;
        bool made;
    } cases[] = {
        {"FooterSummaryItem0", true},   {"DefaultGroupSummaryItem0", true}, {"SummaryGroup0", true},
        {"SummaryGroup0_Item0", true},  {"SummaryGroup0_Link0", true},      {"SummaryGroup1_Item0", false},
        {"SummaryGroupX_Item0", false}, {"SummaryGroup", false},            {"Unknown3", false},
    };
    for (const Case& c : cases) EXPECT_EQ(View->CreateStoredChild(c.name, "TcxDataSummaryItem") != nullptr, c.made) << c.name;
    std::vector<TObject*> children;
    View->GetStoredChildren(children);
    std::vector<std::string> names;
    for (TObject* child : children)
        names.push_back(DynamicCast<TcxCustomGridTableItem>(child) ? static_cast<TComponent*>(child)->Name()
                                                                   : cxGridCustomTableView::GetSummaryStoredName(View, child));
    EXPECT_EQ(names, (std::vector<std::string>{"ColA", "ColB", "ColC", "FooterSummaryItem0", "DefaultGroupSummaryItem0",
                                               "SummaryGroup0", "SummaryGroup0_Item0", "SummaryGroup0_Link0"}));
    TcxCustomGridTableItem* item = static_cast<TcxCustomGridTableItem*>(
        View->CreateStoredChild("ColD", TcxCustomGridTableItem::StaticClass()->Name));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Name(), "ColD");
    EXPECT_EQ(item->ID(), 3);
}

}  // namespace
