// The in-place editor of a record view: one hidden edit per editor
// properties object shown over the focused cell, opened by keys, clicks and
// the delayed click, fed from and posting to the data controller, closed by
// Enter, Esc and leaving, and refused where editing is not allowed.
#include "GridTestBase.h"

#include "StdCtrls.h"
#include "cxGridEditingController.h"
#include "cxTextEdit.h"

namespace {

class GridEditingTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        Editors = std::make_unique<TDefaultEditorsScope>();
        View = static_cast<TcxGridTestTableView*>(Grid->CreateView(TcxGridTestTableView::StaticClass()));
        View->SetName("TableView");
        Grid->RootLevel()->Add()->SetGridView(View);
        for (const char* name : {"ColName", "ColCity"}) {
            TcxCustomGridTableItem* item = View->CreateItem();
            item->SetName(name);
            item->DataBinding()->SetValueTypeClass(TcxStringValueType::Class());
            item->SetWidth(100);
        }
        TcxCustomDataController* dc = View->DataController();
        dc->SetRecordCount(8);
        const char* names[] = {"张三", "李四", "王五", "赵六", "孙七", "周八", "吴九", "郑十"};
        for (int i = 0; i < 8; ++i) {
            dc->SetValue(i, 0, Variant(std::string(names[i])));
            dc->SetValue(i, 1, Variant("City" + std::to_string(i)));
        }
        // Something outside the grid to take the focus.
        Other = new TEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(0, 260, 100, 20);
        Grid->SetBounds(0, 0, 300, 200);
        ShowForm();
        // Five whole rows on screen.
        int frame = 200 - View->TableViewInfo()->ClientBounds.Height();
        Grid->SetBounds(0, 0, 300, 5 * GridTesting::RowHeight + frame);
        GuiTest::ProcessEvents();
        Focus(1, Name());
    }
    void TearDown() override
    {
        GridTestBase::TearDown();
        Editors.reset();
    }
    TcxCustomGridTableItem* Name() { return View->GetItem(0); }
    TcxCustomGridTableItem* City() { return View->GetItem(1); }
    TcxCustomGridTableController* Controller() { return View->Controller(); }
    TcxGridEditingController* Editing() { return Controller()->EditingController(); }
    TcxCustomDataController* DC() { return View->DataController(); }
    TcxGridSite* Site() { return View->Site(); }
    // The grid's site takes the keyboard focus with a record and an item focused.
    void Focus(int ARow, TcxCustomGridTableItem* AItem)
    {
        Site()->SetFocus();
        GuiTest::ProcessEvents();
        Controller()->FocusRecord(ARow, false);
        AItem->SetFocused(true);
        GuiTest::ProcessEvents();
    }
    TcxGridTableDataCellViewInfo* Cell(int ARow, TcxCustomGridTableItem* AItem)
    {
        TcxCustomGridRecordViewInfo* row = View->TableViewInfo()->RecordsViewInfo()->GetRealItem(ARow);
        return row ? static_cast<TcxGridTableDataCellViewInfo*>(row->GetCellViewInfoByItem(AItem)) : nullptr;
    }
    TPoint CellCentre(int ARow, TcxCustomGridTableItem* AItem)
    {
        TRect r = Cell(ARow, AItem)->Bounds;
        return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    std::string EditText() { return Editing()->Edit() ? VarToStr(Editing()->Edit()->EditValue()) : "<none>"; }
    std::string Value(int ARow, int AItem) { return VarToStr(DC()->GetValue(ARow, AItem)); }

    std::unique_ptr<TDefaultEditorsScope> Editors;
    TcxGridTestTableView* View = nullptr;
    TEdit* Other = nullptr;
};

// ---- showing and hiding

TEST_F(GridEditingTest, AnEditedItemGetsOneEditOverItsCellLoadedWithTheValue)
{
    std::vector<std::string> inits;
    View->OnInitEdit = [&](TcxCustomGridTableView*, TcxCustomGridTableItem* AItem, TcxCustomEdit* AEdit) {
        inits.push_back(AItem->Name() + (AEdit == Editing()->Edit() ? ":edit" : ":?"));
    };
    ASSERT_TRUE(Site()->Focused());
    Name()->SetEditing(true);
    ASSERT_TRUE(Name()->Editing());
    TcxCustomEdit* edit = Editing()->Edit();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(inits, std::vector<std::string>{"ColName:edit"});
    EXPECT_EQ(edit->Parent(), Site());
    EXPECT_TRUE(edit->Visible());
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(EditText(), "李四");
    TRect expected;
    Cell(1, Name())->GetEditBounds(expected);
    EXPECT_EQ(edit->BoundsRect(), expected);
    EXPECT_FALSE(Site()->TabStop()) << "the edit is the tab stop while it shows";
    EXPECT_TRUE(View->IsControlFocused());
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) GuiTest::SavePng(Grid, std::string(dir) + "/grid-in-place-editor.png");

    // Both items share the default text editor: its one edit serves the other item too.
    City()->SetEditing(true);
    EXPECT_FALSE(Name()->Editing());
    EXPECT_TRUE(City()->Editing());
    EXPECT_EQ(Controller()->FocusedItem(), City());
    EXPECT_EQ(Editing()->Edit(), edit);
    EXPECT_EQ(EditText(), "City1");
    EXPECT_EQ(Editing()->EditList()->Count(), 1);

    // An item with properties of its own gets an edit of its own.
    Editing()->HideEdit(false);
    City()->SetPropertiesClass(TcxTextEditProperties::StaticClass());
    City()->SetEditing(true);
    EXPECT_EQ(Editing()->EditList()->Count(), 2);
    EXPECT_NE(Editing()->Edit(), edit);
    EXPECT_EQ(EditText(), "City1");
    // Properties that go take their edit with them.
    City()->SetPropertiesClass(nullptr);
    EXPECT_FALSE(City()->Editing());
    EXPECT_EQ(Editing()->EditList()->Count(), 1);
    City()->SetEditing(true);
    EXPECT_EQ(Editing()->Edit(), edit);

    Editing()->HideEdit(false);
    EXPECT_FALSE(Controller()->IsEditing());
    EXPECT_EQ(Editing()->Edit(), nullptr);
    EXPECT_EQ(edit->Parent(), nullptr);
    EXPECT_TRUE(Site()->Focused()) << "the focus goes back to the site";
    EXPECT_TRUE(Site()->TabStop());
}

TEST_F(GridEditingTest, EditingIsRefusedWhereItIsNotAllowed)
{
    struct Case {
        const char* what;
        std::function<void()> set;
        std::function<void()> undo;
    } cases[] = {
        {"the item's Editing option", [&] { Name()->Options()->SetEditing(false); },
         [&] { Name()->Options()->SetEditing(true); }},
        {"the view's Editing option", [&] { View->OptionsData()->SetEditing(false); },
         [&] { View->OptionsData()->SetEditing(true); }},
        {"OnEditing", [&] { View->OnEditing = [](TcxCustomGridTableView*, TcxCustomGridTableItem*, bool& A) { A = false; }; },
         [&] { View->OnEditing = nullptr; }},
        {"no focused record", [&] { Controller()->FocusRecord(-1, false); },
         [&] { Controller()->FocusRecord(1, false); }},
        {"the site without the focus", [&] { Other->SetFocus(); GuiTest::ProcessEvents(); },
         [&] { Site()->SetFocus(); GuiTest::ProcessEvents(); }},
    };
    for (const Case& c : cases) {
        c.set();
        Name()->SetEditing(true);
        EXPECT_FALSE(Name()->Editing()) << c.what;
        EXPECT_EQ(Editing()->Edit(), nullptr) << c.what;
        c.undo();
    }
    Name()->SetEditing(true);
    EXPECT_TRUE(Name()->Editing()) << "allowed again";
    // Turning the item's option off ends its editing.
    Name()->Options()->SetEditing(false);
    EXPECT_FALSE(Name()->Editing());
}

// ---- keys

TEST_F(GridEditingTest, KeysOnTheRecordOpenTheEditor)
{
    struct Case {
        int key;
        TShiftState shift;
        bool opens;
    } cases[] = {
        {VK_RETURN, {}, true},
        {VK_RETURN, {ssShift}, true},
        {VK_RETURN, {ssCtrl}, false},
        {VK_F2, {}, true},
        {VK_F2, {ssCtrl}, false},
    };
    for (const Case& c : cases) {
        GuiTest::KeyPress(c.key, c.shift);
        GuiTest::ProcessEvents();
        EXPECT_EQ(Name()->Editing(), c.opens) << c.key << " " << c.shift.ToInt();
        Editing()->HideEdit(false);
    }
    // A typed character opens the editor and types itself.
    GuiTest::TypeText("x");
    ASSERT_TRUE(Name()->Editing());
    EXPECT_EQ(EditText(), "x");
    EXPECT_TRUE(DC()->IsEditing()) << "typing put the record into its edit state";
}

TEST_F(GridEditingTest, EnterPostsTheValueAndClosesOrMovesToTheNextCell)
{
    GuiTest::KeyPress(VK_F2);
    GuiTest::TypeText("Q");
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_FALSE(Controller()->IsEditing());
    EXPECT_EQ(Value(1, 0), "Q");
    EXPECT_TRUE(Site()->Focused());

    View->OptionsBehavior()->GoToNextCellOnEnter = true;
    GuiTest::KeyPress(VK_F2);
    GuiTest::TypeText("R");
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_EQ(Value(1, 0), "R");
    EXPECT_EQ(Controller()->FocusedItem(), City());
    EXPECT_TRUE(City()->Editing()) << "the next cell's editor opens";
    EXPECT_EQ(EditText(), "City1");
}

TEST_F(GridEditingTest, EscClosesTheEditorAndReachesTheControllerOnlyWhenNothingChanged)
{
    GuiTest::KeyPress(VK_F2);
    GuiTest::TypeText("Z");
    ASSERT_TRUE(DC()->IsEditing());
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_FALSE(Controller()->IsEditing());
    EXPECT_TRUE(DC()->IsEditing()) << "the first Esc only closes the changed editor";
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_FALSE(DC()->IsEditing()) << "the second cancels the record";
    EXPECT_EQ(Value(1, 0), "李四");

    // An unchanged editor: one Esc closes it and cancels the record too.
    DC()->Edit();
    GuiTest::KeyPress(VK_F2);
    ASSERT_TRUE(Name()->Editing());
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_FALSE(Controller()->IsEditing());
    EXPECT_FALSE(DC()->IsEditing());
}

TEST_F(GridEditingTest, CtrlDeleteInTheEditorDeletesTheRecordDeleteAloneEditsTheText)
{
    View->OptionsData()->DeletingConfirmation = false;
    GuiTest::KeyPress(VK_F2);
    ASSERT_TRUE(Name()->Editing());
    GuiTest::KeyPress(VK_HOME);
    GuiTest::KeyPress(VK_DELETE);
    EXPECT_EQ(DC()->GetRecordCount(), 8);
    EXPECT_EQ(EditText(), "四");
    GuiTest::KeyPress(VK_DELETE, {ssCtrl});
    EXPECT_EQ(DC()->GetRecordCount(), 7);
    EXPECT_EQ(Value(1, 0), "王五");
}

TEST_F(GridEditingTest, KeysTheEditorDoesNotUseReachTheTableController)
{
    View->OptionsBehavior()->SetFocusCellOnTab(true);
    GuiTest::KeyPress(VK_F2);
    ASSERT_TRUE(Name()->Editing());
    GuiTest::KeyPress(VK_TAB);
    EXPECT_EQ(Controller()->FocusedItem(), City()) << "Tab moves to the next cell";
    EXPECT_FALSE(Controller()->IsEditing());

    View->OptionsBehavior()->AlwaysShowEditor = true;
    Name()->SetEditing(true);
    GuiTest::KeyPress(VK_TAB);
    EXPECT_EQ(Controller()->FocusedItem(), City());
    EXPECT_TRUE(City()->Editing()) << "the always-shown editor follows";
    EXPECT_EQ(EditText(), "City1");
}

TEST_F(GridEditingTest, ThePropertiesOwnHandlersRunFirstAndComeBackAfterHiding)
{
    City()->SetPropertiesClass(TcxTextEditProperties::StaticClass());
    std::vector<std::string> calls;
    City()->Properties()->OnChange = [&](TObject*) { calls.push_back("own change"); };
    View->OnEditChanged = [&](TcxCustomGridTableView*, TcxCustomGridTableItem* AItem) {
        calls.push_back("view change:" + AItem->Name());
    };
    View->OnEditValueChanged = [&](TcxCustomGridTableView*, TcxCustomGridTableItem* AItem) {
        calls.push_back("view value:" + AItem->Name());
    };
    City()->SetFocused(true);
    GuiTest::KeyPress(VK_F2);
    ASSERT_TRUE(City()->Editing());
    TcxCustomEdit* edit = Editing()->Edit();
    calls.clear();
    GuiTest::TypeText("k");
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0], "own change");
    EXPECT_EQ(calls[1], "view change:ColCity");
    Editing()->HideEdit(true);
    calls.clear();
    // The idle edit's properties hold their own handler again, not the grid's.
    ASSERT_TRUE(static_cast<bool>(edit->ActiveProperties()->OnChange));
    edit->ActiveProperties()->OnChange(nullptr);
    EXPECT_EQ(calls, std::vector<std::string>{"own change"});
    EXPECT_FALSE(static_cast<bool>(edit->OnKeyDown));
}

TEST_F(GridEditingTest, TheNavigatorsEditAndPostActionsGoThroughTheEditor)
{
    View->DoAction(8);
    EXPECT_TRUE(DC()->IsEditing());
    ASSERT_TRUE(Name()->Editing()) << "edit opens the focused item's editor";
    GuiTest::TypeText("N");
    View->DoAction(9);
    EXPECT_FALSE(DC()->IsEditing());
    EXPECT_EQ(Value(1, 0), "N") << "post takes the editor's value first";
}

// ---- validation and leaving

TEST_F(GridEditingTest, AValueTheEditorRefusesKeepsTheEditorOpen)
{
    City()->SetPropertiesClass(TcxTextEditProperties::StaticClass());
    bool refuse = true, silent = true;
    City()->Properties()->OnValidate = [&](TObject*, Variant&, std::string& AErrorText, bool& AError) {
        AError = refuse;
        if (silent) AErrorText.clear();
    };
    City()->SetFocused(true);
    GuiTest::KeyPress(VK_F2);
    GuiTest::TypeText("bad");
    ASSERT_TRUE(City()->Editing());
    // Refused without a message: the silent abort.
    EXPECT_THROW(Editing()->HideEdit(true), EAbort);
    EXPECT_TRUE(City()->Editing()) << "the editor stays";
    EXPECT_NE(Editing()->Edit(), nullptr);
    EXPECT_EQ(Value(1, 1), "City1");
    // With a message the editor's error is raised; moving to another item
    // takes the value first, so the focus stays too.
    silent = false;
    try {
        Name()->SetFocused(true);
        ADD_FAILURE() << "the move was not refused";
    } catch (const EAbort&) {
        ADD_FAILURE() << "the editor's message was lost";
    } catch (const Exception& e) {
        EXPECT_FALSE(std::string(e.what()).empty());
    }
    EXPECT_EQ(Controller()->FocusedItem(), City());
    refuse = false;
    Editing()->HideEdit(true);
    EXPECT_FALSE(City()->Editing());
    EXPECT_EQ(Value(1, 1), "bad");
}

TEST_F(GridEditingTest, LeavingAnUntouchedNewRecordCancelsItAChangedOneKeepsItsValue)
{
    for (bool change : {false, true}) {
        Site()->SetFocus();
        GuiTest::ProcessEvents();
        int count = DC()->GetRecordCount();
        Controller()->CreateNewRecord(false);
        ASSERT_TRUE(DC()->IsEditing());
        Name()->SetEditing(true);
        ASSERT_TRUE(Name()->Editing());
        if (change) GuiTest::TypeText("新");
        Other->SetFocus();
        GuiTest::ProcessEvents();
        EXPECT_FALSE(Controller()->IsEditing()) << change;
        EXPECT_EQ(DC()->IsEditing(), change) << change;
        EXPECT_EQ(DC()->GetRecordCount(), change ? count + 1 : count) << change;
        if (change) {
            EXPECT_EQ(VarToStr(DC()->GetEditValue(0, 1)), "新") << "the editor wrote its value";
            DC()->Post();
        }
    }
}

// ---- the mouse

TEST_F(GridEditingTest, AClickOnTheFocusedCellOpensTheEditorAfterTheDoubleClickTime)
{
    GuiTest::TManualTime clock;
    View->OptionsBehavior()->ImmediateEditor = false;
    GuiTest::Click(Site(), CellCentre(2, Name()));
    EXPECT_EQ(DC()->GetFocusedRowIndex(), 2);
    EXPECT_EQ(Editing()->ShowTimer(), nullptr) << "a click that focuses the cell opens nothing";
    clock.Advance(1000);
    GuiTest::Click(Site(), CellCentre(2, Name()));
    ASSERT_NE(Editing()->ShowTimer(), nullptr);
    EXPECT_FALSE(Name()->Editing());
    clock.Advance(cxControls::GetDblClickInterval());
    EXPECT_TRUE(Name()->Editing());
    EXPECT_EQ(Editing()->ShowTimer(), nullptr);
    EXPECT_EQ(EditText(), "王五");

    // A double click opens no editor.
    Editing()->HideEdit(false);
    clock.Advance(1000);
    GuiTest::DoubleClick(Site(), CellCentre(2, Name()));
    EXPECT_EQ(Editing()->ShowTimer(), nullptr);
    clock.Advance(cxControls::GetDblClickInterval() * 2);
    EXPECT_FALSE(Name()->Editing());
}

TEST_F(GridEditingTest, WithImmediateEditorAClickOnTheFocusedCellOpensTheEditorAtOnce)
{
    // A plain cell: the press focuses, the release opens the editor.
    GuiTest::MouseDown(Site(), mbLeft, CellCentre(3, City()));
    EXPECT_EQ(DC()->GetFocusedRowIndex(), 3);
    EXPECT_EQ(Controller()->FocusedItem(), City());
    EXPECT_FALSE(City()->Editing());
    GuiTest::MouseUp(Site(), mbLeft, CellCentre(3, City()));
    EXPECT_TRUE(City()->Editing());
    EXPECT_EQ(EditText(), "City3");
    Editing()->HideEdit(false);
    GuiTest::Click(Site(), CellCentre(3, City()), mbLeft, {ssCtrl});
    EXPECT_FALSE(City()->Editing()) << "Ctrl+click never opens the editor";
}

// ---- records and scrolling

TEST_F(GridEditingTest, AlwaysShowEditorKeepsTheEditorAcrossRecordsAndReloadsIt)
{
    Controller()->FocusRecord(1, false);
    Name()->SetEditing(true);
    Controller()->FocusRecord(2, false);
    EXPECT_FALSE(Name()->Editing()) << "without the option a record change closes the editor";

    View->OptionsBehavior()->AlwaysShowEditor = true;
    Controller()->UpdateEditor();
    ASSERT_TRUE(Name()->Editing()) << "the focused item's editor shows by itself";
    TcxCustomEdit* edit = Editing()->Edit();
    EXPECT_FALSE(Editing()->IsEditHideNeededOnRecordChange());
    Controller()->FocusRecord(3, false);
    EXPECT_TRUE(Name()->Editing());
    EXPECT_EQ(Editing()->Edit(), edit);
    EXPECT_EQ(EditText(), "赵六") << "the value of the new record";

    // Per-record properties make it hide and show again on every record.
    Name()->OnGetProperties = [](TcxCustomGridTableItem*, TcxCustomGridRecord*, TcxCustomEditProperties*&) {};
    EXPECT_TRUE(Editing()->IsEditHideNeededOnRecordChange());
    Controller()->FocusRecord(4, false);
    EXPECT_TRUE(Name()->Editing());
    EXPECT_EQ(EditText(), "孙七");
    EXPECT_TRUE(Controller()->IsKeyForController(VK_LEFT, {}));
    View->OptionsBehavior()->AlwaysShowEditor = false;
    EXPECT_FALSE(Controller()->IsKeyForController(VK_LEFT, {}));
}

TEST_F(GridEditingTest, AnEditorWhoseCellScrollsAwayIsParkedOutOfSight)
{
    Name()->SetEditing(true);
    ASSERT_NE(Editing()->Edit(), nullptr);
    TcxCustomEdit* edit = Editing()->Edit();
    TRect placed = edit->BoundsRect();
    Controller()->SetTopRecordIndex(3);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Name()->Editing()) << "scrolling keeps the editor";
    EXPECT_EQ(edit->Left(), TcxGridEditingController::ParkedLeft);
    Controller()->SetTopRecordIndex(0);
    GuiTest::ProcessEvents();
    Controller()->BeforePaint();
    EXPECT_EQ(edit->BoundsRect(), placed) << "back over its cell";
}

// ---- entry points

TEST_F(GridEditingTest, TheDataSetAsksForAnItemAndTheEditorPostsOnUpdateData)
{
    EXPECT_TRUE(View->StartItemEditing(1));
    EXPECT_TRUE(City()->Editing());
    EXPECT_FALSE(View->StartItemEditing(7));
    GuiTest::TypeText("X");
    ASSERT_TRUE(Editing()->Edit()->ModifiedAfterEnter());
    DC()->PostEditingData();
    EXPECT_EQ(Value(1, 1), "X") << "the open editor writes its value";
    EXPECT_TRUE(City()->Editing());
    EXPECT_FALSE(Editing()->Edit()->ModifiedAfterEnter());
}

TEST_F(GridEditingTest, PerRecordPropertiesComeFromOnGetProperties)
{
    std::unique_ptr<TcxTextEditProperties> readOnly(new TcxTextEditProperties());
    readOnly->SetReadOnly(true);
    Name()->OnGetProperties = [&](TcxCustomGridTableItem*, TcxCustomGridRecord* ARecord, TcxCustomEditProperties*& P) {
        if (ARecord && ARecord->Index() == 2) P = readOnly.get();
    };
    View->LayoutChanged();
    GuiTest::ProcessEvents();
    EXPECT_EQ(Cell(2, Name())->Properties(), readOnly.get());
    EXPECT_EQ(Cell(1, Name())->Properties(), Name()->GetProperties());
    Controller()->FocusRecord(2, false);
    Name()->SetEditing(true);
    ASSERT_NE(Editing()->Edit(), nullptr);
    EXPECT_TRUE(Editing()->Edit()->ActiveProperties()->ReadOnly());
    Editing()->HideEdit(false);
    // The edit made for them goes before they do.
    Editing()->RemoveEdit(readOnly.get());
    Name()->OnGetProperties = nullptr;
    View->LayoutChanged();
}

TEST_F(GridEditingTest, FreeingTheEditedItemEndsEditing)
{
    City()->SetEditing(true);
    ASSERT_TRUE(City()->Editing());
    TcxCustomEdit* edit = Editing()->Edit();
    delete City();
    EXPECT_FALSE(Controller()->IsEditing());
    EXPECT_EQ(Editing()->Edit(), nullptr);
    EXPECT_EQ(edit->Parent(), nullptr);
}

}  // namespace
