// The grid's in-place editor on a headless grid: the style each column and
// field gets and its buttons, the pick list, calendar and calculator
// drop-downs driven by keys and the mouse, completion and paste rules on
// key-list and lookup columns, up-down stepping, recent values and the
// required-field mark.
#include "DBGridEhInplaceEdit.h"

#include "Clipbrd.h"
#include "DBGridTesting.h"
#include "DateUtils.h"
#include "GuiTesting.h"
#include "StringLists.h"

#include <gtest/gtest.h>

namespace {

using namespace DBGridTest;

std::vector<std::string> Lines(std::initializer_list<const char*> texts)
{
    return std::vector<std::string>(texts.begin(), texts.end());
}

void SetList(TStrings* s, std::initializer_list<const char*> texts)
{
    s->Clear();
    for (const char* t : texts) s->Add(t);
}

class InplaceEdit : public ::testing::Test {
protected:
    void SetUp() override { Use(FiveStudents(), {"Id", "Name", "Enrolled", "Fee", "Passed"}); }

    void Use(std::unique_ptr<TDataSet> ds, std::initializer_list<const char*> fields)
    {
        Host.reset();
        Ds = std::move(ds);
        Host = std::make_unique<TGridHost>(Ds.get(), 640, 260);
        G = Host->Grid;
        for (const char* f : fields) G->Columns()->Add()->SetFieldName(f);
        GuiTest::ProcessEvents();
    }
    TColumnEh* Col(const std::string& field) const
    {
        for (int i = 0; i < G->Columns()->Count(); ++i)
            if (G->Columns()->Items(i)->FieldName() == field) return G->Columns()->Items(i);
        return nullptr;
    }
    // Opens the editor on the field's column of the current record.
    TDBGridInplaceEdit* Edit(const std::string& field)
    {
        G->SetFocus();
        G->HideEditor();
        G->SetSelectedIndex(Col(field)->Index());
        G->ShowEditor();
        GuiTest::ProcessEvents();
        auto* e = dynamic_cast<TDBGridInplaceEdit*>(G->InplaceEditor());
        EXPECT_TRUE(e && e->Visible());
        return e;
    }
    TPoint ButtonCenter(TDBGridInplaceEdit* e, int i, bool lowerHalf = false) const
    {
        TControl* b = e->ButtonControl(i);
        return Point(b->Left() + b->Width() / 2, b->Top() + (lowerHalf ? b->Height() * 3 / 4 : b->Height() / 4));
    }
    void Post()
    {
        G->HideEditor();
        Ds->Post();
    }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* G = nullptr;
};

// ---- styles and buttons ------------------------------------------------------------------

TEST_F(InplaceEdit, StyleFollowsTheColumnAndItsField)
{
    struct TCase {
        const char* Name;
        const char* Field;
        TColumnButtonStyleEh Button;
        bool PickList, ReadOnly;
        int Style;
        bool Calculator;
    } cases[] = {
        {"a date column opens a calendar", "Enrolled", TColumnButtonStyleEh::cbsAuto, false, false, esDateCalendar, false},
        {"a read-only date column does not", "Enrolled", TColumnButtonStyleEh::cbsAuto, false, true, esSimple, false},
        {"a number column has no button by itself", "Fee", TColumnButtonStyleEh::cbsAuto, false, false, esSimple, false},
        {"a number column's drop-down is the calculator", "Fee", TColumnButtonStyleEh::cbsDropDown, false, false, esDropDownButton, true},
        {"a text column's drop-down only fires the event", "Name", TColumnButtonStyleEh::cbsDropDown, false, false, esDropDownButton, false},
        {"a pick list", "Name", TColumnButtonStyleEh::cbsAuto, true, false, esPickList, false},
        {"a read-only pick list is plain", "Name", TColumnButtonStyleEh::cbsAuto, true, true, esSimple, false},
        {"an ellipsis", "Name", TColumnButtonStyleEh::cbsEllipsis, false, false, esEllipsis, false},
        {"up and down", "Id", TColumnButtonStyleEh::cbsUpDown, false, false, esUpDown, false},
        {"none on a date column", "Enrolled", TColumnButtonStyleEh::cbsNone, false, false, esSimple, false},
    };
    for (const TCase& k : cases) {
        SCOPED_TRACE(k.Name);
        TColumnEh* c = Col(k.Field);
        c->SetButtonStyle(k.Button);
        c->PickList()->Clear();
        if (k.PickList) SetList(c->PickList(), {"王小明", "李华"});
        c->SetReadOnly(k.ReadOnly);
        TDBGridInplaceEdit* e = Edit(k.Field);
        ASSERT_TRUE(e);
        EXPECT_EQ(e->DBEditStyle(), k.Style);
        EXPECT_EQ(e->CalculatorApplies(), k.Calculator);
        EXPECT_EQ(e->ReadOnly(), k.ReadOnly);
        // The default button shows for every style but the simple one, and
        // the text ends where the buttons begin.
        EXPECT_EQ(e->ButtonControl(0)->Visible(), k.Style != esSimple);
        EXPECT_EQ(e->ButtonsWidth() > 0, k.Style != esSimple);
        EXPECT_EQ(e->GetEditRect().Right, e->Width() - 2 - e->ButtonsWidth());
        c->SetButtonStyle(TColumnButtonStyleEh::cbsAuto);
        c->SetReadOnly(false);
    }
}

TEST_F(InplaceEdit, ButtonsStandFromTheRightEdgeLastExtraButtonFirst)
{
    G->SetFlat(true);
    TColumnEh* c = Col("Name");
    c->SetButtonStyle(TColumnButtonStyleEh::cbsEllipsis);
    TEditButtonEh* first = c->EditButtons()->Add();
    first->SetStyle(ebsPlusEh);
    TEditButtonEh* second = c->EditButtons()->Add();
    second->SetStyle(ebsMinusEh);
    second->SetWidth(20);
    TEditButtonEh* hidden = c->EditButtons()->Add();
    hidden->SetVisible(false);
    TDBGridInplaceEdit* e = Edit("Name");
    ASSERT_EQ(e->ButtonCount(), 4);
    TControl* b0 = e->ButtonControl(0);
    TControl* b1 = e->ButtonControl(1);
    TControl* b2 = e->ButtonControl(2);
    EXPECT_FALSE(e->ButtonControl(3)->Visible());
    EXPECT_EQ(e->ButtonControl(3)->Width(), 0);
    EXPECT_EQ(b2->Width(), 20) << "its own width";
    EXPECT_EQ(b1->Width(), b0->Width()) << "the default width";
    // Each visible button has a one-pixel separator on its left in a flat grid.
    EXPECT_EQ(b2->Left() + b2->Width(), e->ClientWidth());
    EXPECT_EQ(b1->Left() + b1->Width(), b2->Left() - 1);
    EXPECT_EQ(b0->Left() + b0->Width(), b1->Left() - 1);
    EXPECT_TRUE(e->ButtonSeparator(0)->Visible());
    EXPECT_EQ(e->ButtonSeparator(2)->Width(), 1);
    EXPECT_EQ(e->ButtonsWidth(), e->ClientWidth() - b0->Left() + 1);
    EXPECT_EQ(dynamic_cast<TEditButtonControlEh*>(b1)->Style(), ebsPlusEh);
    // A grid that is not flat has no separators.
    G->SetFlat(false);
    e = Edit("Name");
    EXPECT_FALSE(e->ButtonSeparator(1)->Visible());
    EXPECT_EQ(e->ButtonControl(1)->Left() + e->ButtonControl(1)->Width(), e->ButtonControl(2)->Left());
}

TEST_F(InplaceEdit, EllipsisAndExtraButtonsRaiseTheirEvents)
{
    TColumnEh* c = Col("Name");
    c->SetButtonStyle(TColumnButtonStyleEh::cbsEllipsis);
    TEditButtonEh* extra = c->EditButtons()->Add();
    extra->SetShortCut(ShortCut(VK_F4, {}));
    std::vector<std::string> heard;
    G->OnEditButtonClick = [&](TObject*) { heard.push_back("grid"); };
    c->OnEditButtonClick = [&](TObject*, bool&) { heard.push_back("column"); };
    extra->OnClick = [&](TObject*, bool& handled) {
        heard.push_back("extra");
        handled = true;
    };
    TDBGridInplaceEdit* e = Edit("Name");
    GuiTest::Click(e, ButtonCenter(e, 0));
    EXPECT_EQ(heard, Lines({"grid", "column"}));
    heard.clear();
    GuiTest::KeyPress(VK_RETURN, {ssCtrl});
    EXPECT_EQ(heard, Lines({"grid"})) << "Ctrl+Enter";
    heard.clear();
    GuiTest::Click(e, ButtonCenter(e, 1));
    EXPECT_EQ(heard, Lines({"extra"}));
    heard.clear();
    GuiTest::KeyPress(VK_F4);
    EXPECT_EQ(heard, Lines({"extra"})) << "the button's shortcut";
    EXPECT_TRUE(e->Visible());
}

// ---- pick list ---------------------------------------------------------------------------

TEST_F(InplaceEdit, PickListOpensMovesAndClosesByKeysAndButton)
{
    TColumnEh* c = Col("Name");
    SetList(c->PickList(), {"李华", "王小明", "张伟", "赵丽"});
    c->SetDropDownRows(3);
    TDBGridInplaceEdit* e = Edit("Name");   // 王小明
    ASSERT_EQ(e->DBEditStyle(), esPickList);
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    ASSERT_TRUE(e->ListVisible());
    TPopupListboxEh* list = e->PickList();
    EXPECT_TRUE(list->Visible());
    EXPECT_EQ(list->ItemIndex(), 1) << "the cell's text";
    EXPECT_EQ(list->ShownRows(), 3) << "DropDownRows";
    EXPECT_GE(list->Width(), e->Width());
    TPoint below = e->ClientToScreen(Point(0, e->Height()));
    EXPECT_EQ(list->Top(), below.Y) << "under the editor";
    EXPECT_TRUE(e->ButtonControl(0)->AlwaysPressed());
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(e->Text(), "张伟") << "the text follows the list";
    EXPECT_EQ(Ds->FieldByName("Id")->AsInteger(), 1) << "the record stays";
    // Esc closes and gives the cell's text back.
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_FALSE(e->ListVisible());
    EXPECT_FALSE(list->Visible());
    EXPECT_EQ(e->Text(), "王小明");
    EXPECT_FALSE(e->ButtonControl(0)->AlwaysPressed());
    // Alt+Down, Down, Alt+Up accepts.
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    GuiTest::KeyPress(VK_DOWN);
    GuiTest::KeyPress(VK_UP, {ssAlt});
    EXPECT_FALSE(e->ListVisible());
    EXPECT_EQ(e->Text(), "张伟");
    EXPECT_EQ(G->EditorText(), "张伟");
    Post();
    EXPECT_EQ(Ds->FieldByName("Name")->AsString(), "张伟");
    // The button opens on the press and closes on a second click.
    e = Edit("Name");
    GuiTest::Click(e, ButtonCenter(e, 0));
    EXPECT_TRUE(e->ListVisible()) << "the click that opened it does not close it";
    GuiTest::Click(e, ButtonCenter(e, 0));
    EXPECT_FALSE(e->ListVisible());
    // Ctrl+Enter opens, Enter accepts.
    GuiTest::KeyPress(VK_RETURN, {ssCtrl});
    EXPECT_TRUE(e->ListVisible());
    GuiTest::KeyPress(VK_HOME, {ssCtrl});
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_FALSE(e->ListVisible());
    EXPECT_EQ(e->Text(), "李华");
}

TEST_F(InplaceEdit, PickListChoiceByMouseAndAutoDropDown)
{
    TColumnEh* c = Col("Name");
    SetList(c->PickList(), {"李华", "王小明", "张伟"});
    c->SetAutoDropDown(true);
    TDBGridInplaceEdit* e = Edit("Name");
    GuiTest::TypeText("张");
    ASSERT_TRUE(e->ListVisible()) << "typing opens the list";
    TPopupListboxEh* list = e->PickList();
    EXPECT_EQ(list->ItemIndex(), 2) << "completed to 张伟";
    // A release on an item chooses it.
    int h = std::max(1, list->ItemHeight());
    GuiTest::Click(list, Point(10, h / 2 + list->FrameWidth()));
    EXPECT_FALSE(e->ListVisible());
    EXPECT_EQ(e->Text(), "李华");
    // The editor leaving the cell closes an open list without choosing.
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    ASSERT_TRUE(e->ListVisible());
    G->HideEditor();
    EXPECT_FALSE(e->ListVisible());
    EXPECT_FALSE(list->Visible());
}

TEST_F(InplaceEdit, ResizedListKeepsItsSizeForTheNextTime)
{
    TColumnEh* c = Col("Name");
    SetList(c->PickList(), {"a", "b", "c", "d", "e", "f", "g", "h", "i"});
    c->SetDropDownSizing(true);
    TDBGridInplaceEdit* e = Edit("Name");
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    TPopupListboxEh* list = e->PickList();
    ASSERT_EQ(list->ShownRows(), 7);
    int itemHeight = list->ItemHeight();
    list->SetBounds(list->Left(), list->Top(), 300, list->NonClientHeight() + 4 * itemHeight);
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_EQ(c->DropDownRows(), 4);
    EXPECT_EQ(c->DropDownWidth(), 300);
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    EXPECT_EQ(list->ShownRows(), 4);
    EXPECT_EQ(list->Width(), 300);
}

// ---- key lists ---------------------------------------------------------------------------

class KeyListEdit : public InplaceEdit {
protected:
    void SetUp() override
    {
        InplaceEdit::SetUp();
        C = Col("Id");
        SetList(C->KeyList(), {"1", "2", "3"});
        SetList(C->PickList(), {"Abc", "Abd", "Xyz", "no key"});
    }
    TColumnEh* C = nullptr;
};

TEST_F(KeyListEdit, TypingCompletesFromThePickList)
{
    TDBGridInplaceEdit* e = Edit("Id");
    ASSERT_EQ(e->DBEditStyle(), esPickList);
    EXPECT_EQ(e->Text(), "Abc") << "key 1";
    struct TCase {
        const char* Name;
        const char* Typed;
        const char* Text;
        const char* Selected;
    } cases[] = {
        {"a completes to the first item", "a", "Abc", "bc"},
        {"ab then d", "abd", "Abd", ""},
        {"x", "x", "Xyz", "yz"},
        {"nothing matches: the text stays", "q", "Abc", "Abc"},
        {"an item without a key is never chosen", "n", "Abc", "Abc"},
    };
    for (const TCase& k : cases) {
        SCOPED_TRACE(k.Name);
        e->SetText("Abc");
        e->SelectAll();
        GuiTest::TypeText(k.Typed);
        EXPECT_EQ(e->Text(), k.Text);
        EXPECT_EQ(e->SelText(), k.Selected);
    }
    e->SelectAll();
    GuiTest::TypeText("xy");
    Post();
    EXPECT_EQ(Ds->FieldByName("Id")->AsInteger(), 3) << "the key beside the chosen text";
}

TEST_F(KeyListEdit, DeleteBackspaceAndPasteKeepToTheList)
{
    TDBGridInplaceEdit* e = Edit("Id");
    // Part of the text: Delete and Backspace change nothing.
    e->SetSelStart(1);
    e->SetSelLength(1);
    GuiTest::KeyPress(VK_DELETE);
    EXPECT_EQ(e->Text(), "Abc");
    e->SetSelStart(3);
    e->SetSelLength(0);
    GuiTest::KeyPress(VK_BACK);
    EXPECT_EQ(e->Text(), "Abc");
    EXPECT_EQ(e->SelStart(), 2) << "Backspace only moves the caret";
    // Pasting: an item's start completes it, anything else is refused.
    e->SelectAll();
    Clipboard()->SetAsText("xy");
    e->PasteFromClipboard();
    EXPECT_EQ(e->Text(), "Xyz");
    e->SelectAll();
    Clipboard()->SetAsText("nowhere");
    e->PasteFromClipboard();
    EXPECT_EQ(e->Text(), "Xyz") << "refused";
    // All text selected: Delete clears the value.
    e->SelectAll();
    GuiTest::KeyPress(VK_DELETE);
    EXPECT_EQ(e->Text(), "");
    EXPECT_TRUE(VarIsNull(G->EditorValue()));
    Post();
    EXPECT_TRUE(Ds->FieldByName("Id")->IsNull());
}

TEST_F(KeyListEdit, NotInListTakesOtherTexts)
{
    std::vector<std::string> asked;
    C->OnNotInList = [&](TObject*, const std::string& text, bool& recheck) {
        asked.push_back(text);
        // The handler adds the text with a new key.
        C->PickList()->Insert(3, text);
        C->KeyList()->Add("9");
        recheck = true;
    };
    TDBGridInplaceEdit* e = Edit("Id");
    e->SelectAll();
    Clipboard()->SetAsText("新学员");
    e->PasteFromClipboard();
    EXPECT_EQ(e->Text(), "新学员") << "accepted as typed";
    EXPECT_TRUE(VarIsNull(G->EditorValue()));
    Post();
    EXPECT_EQ(asked, Lines({"新学员"}));
    EXPECT_EQ(Ds->FieldByName("Id")->AsInteger(), 9);
}

// ---- lookup columns ------------------------------------------------------------------------

class LookupEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        TCoachLookup look = MakeCoachLookup({"王伟", "Li Na", "Liu Yang"}, {1, 3});
        Coaches = std::move(look.Coaches);
        Ds = std::move(look.Students);
        Host = std::make_unique<TGridHost>(Ds.get(), 400, 200);
        G = Host->Grid;
        G->Columns()->Add()->SetFieldName("Id");
        G->Columns()->Add()->SetFieldName("Coach");
        G->SetFocus();
        G->SetSelectedIndex(1);
        G->ShowEditor();
        GuiTest::ProcessEvents();
        E = dynamic_cast<TDBGridInplaceEdit*>(G->InplaceEditor());
    }
    int CoachId() const { return Ds->FieldByName("CoachId")->AsInteger(); }
    std::unique_ptr<TDataSet> Coaches, Ds;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* G = nullptr;
    TDBGridInplaceEdit* E = nullptr;
};

TEST_F(LookupEdit, TypingLocatesTheLookupRecord)
{
    ASSERT_TRUE(E);
    EXPECT_EQ(E->DBEditStyle(), esLookupList);
    EXPECT_EQ(E->Text(), "王伟");
    E->SelectAll();
    GuiTest::TypeText("li");
    EXPECT_EQ(E->Text(), "Li Na");
    EXPECT_EQ(E->SelText(), " Na");
    EXPECT_EQ(G->EditorValue(), Variant(2));
    GuiTest::TypeText("u");
    EXPECT_EQ(E->Text(), "Liu Yang");
    GuiTest::TypeText("z");
    EXPECT_EQ(E->Text(), "Liu Yang") << "a character nothing matches is dropped";
    G->HideEditor();
    Ds->Post();
    EXPECT_EQ(CoachId(), 3);
    EXPECT_EQ(Ds->FieldByName("Coach")->AsString(), "Liu Yang");
}

TEST_F(LookupEdit, LookupListDropsDownAndChoosesTheKey)
{
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    TPopupDataGridEh* list = E->DataList();
    ASSERT_TRUE(list && list->Visible());
    EXPECT_TRUE(E->ListVisible());
    EXPECT_EQ(list->KeyValue(), Variant(1)) << "the cell's coach";
    EXPECT_EQ(list->ListRowCount(), 3) << "no more rows than coaches";
    EXPECT_GE(list->Width(), E->Width());
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(E->Text(), "Li Na") << "the text follows the list";
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_FALSE(list->Visible());
    EXPECT_EQ(E->Text(), "王伟") << "Esc gives the cell's text back";
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    GuiTest::KeyPress(VK_DOWN);
    GuiTest::KeyPress(VK_DOWN);
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_FALSE(list->Visible());
    EXPECT_EQ(E->Text(), "Liu Yang");
    EXPECT_EQ(G->EditorValue(), Variant(3));
    G->HideEditor();
    Ds->Post();
    EXPECT_EQ(CoachId(), 3);
}

TEST_F(LookupEdit, DeleteNeedsAllTextOrNotInList)
{
    E->SetSelStart(0);
    E->SetSelLength(1);
    GuiTest::KeyPress(VK_DELETE);
    EXPECT_EQ(E->Text(), "王伟") << "part of a lookup text does not go";
    E->SelectAll();
    GuiTest::KeyPress(VK_DELETE);
    EXPECT_EQ(E->Text(), "");
    EXPECT_TRUE(VarIsNull(G->EditorValue()));
    G->HideEditor();
    Ds->Post();
    EXPECT_TRUE(Ds->FieldByName("CoachId")->IsNull());
    // Pasting a name's start picks the coach; an unknown name is refused.
    G->ShowEditor();
    E->SelectAll();
    Clipboard()->SetAsText("liu");
    E->PasteFromClipboard();
    EXPECT_EQ(E->Text(), "Liu Yang");
    EXPECT_EQ(G->EditorValue(), Variant(3));
    E->SelectAll();
    Clipboard()->SetAsText("nobody");
    E->PasteFromClipboard();
    EXPECT_EQ(E->Text(), "Liu Yang");
}

// A lookup column's drop-down box: its settings reach the column's own
// lookup list grid (columns, their defaults, options, list source), the
// editor drops down that very grid with the column's special row and
// display fields, and a column that goes away takes its grid along.
class ColumnDropDown : public LookupEdit {
protected:
    void SetUp() override
    {
        LookupEdit::SetUp();
        Coach = G->Columns()->Items(1);
    }
    TDBGridInplaceEdit* OpenEditor()
    {
        G->ShowEditor();
        GuiTest::ProcessEvents();
        return E;
    }
    TColumnEh* Coach = nullptr;
};

TEST_F(ColumnDropDown, BoxSettingsAreTheLookupGridsOwn)
{
    TColumnDropDownBoxEh* box = Coach->DropDownBox();
    TPopupDataGridEh* list = Coach->LookupPopupGrid();
    ASSERT_TRUE(list);
    EXPECT_EQ(Coach->LookupPopupGrid(), list) << "made once";
    EXPECT_EQ(box->Columns(), list->Columns());
    EXPECT_EQ(box->ColumnDefValues(), list->ColumnDefValues());
    EXPECT_EQ(box->Options(), TDBLookupGridEhOptions{dlgColLinesEh});
    box->SetOptions({dlgRowLinesEh, dlgColumnResizeEh});
    EXPECT_EQ(list->LookupOptions(), (TDBLookupGridEhOptions{dlgRowLinesEh, dlgColumnResizeEh}));
    EXPECT_TRUE(list->Options().Contains(dgRowLines));
    EXPECT_FALSE(list->Options().Contains(dgColLines));

    // The drop-down's events are kept by the grid itself.
    int clicks = 0;
    Coach->SetOnDropDownBoxTitleBtnClick([&](TObject*, int, TColumnEh*) { ++clicks; });
    ASSERT_TRUE(list->OnTitleBtnClick);
    list->OnTitleBtnClick(list, 0, nullptr);
    EXPECT_EQ(clicks, 1);
    Coach->SetOnDropDownBoxGetCellParams([](TObject*, TColumnEh*, TFont*, TColor&, TGridDrawState) {});
    EXPECT_TRUE(bool(list->OnGetCellParams));
}

TEST_F(ColumnDropDown, BoxWithoutAColumnHoldsNothing)
{
    TColumnDropDownBoxEh loose;
    EXPECT_EQ(loose.Columns(), nullptr);
    EXPECT_EQ(loose.ColumnDefValues(), nullptr);
    EXPECT_TRUE(loose.Options().Empty());
    loose.SetOptions({dlgRowLinesEh});
    EXPECT_TRUE(loose.Options().Empty());
    loose.SetColumns(Coach->DropDownBox()->Columns());
    EXPECT_TRUE(loose.AutoFitColWidths());
    EXPECT_FALSE(loose.UseMultiTitle());
}

TEST_F(ColumnDropDown, AssignCopiesCustomizedColumnsOnly)
{
    TDataSource other;
    other.SetDataSet(Coaches.get());
    TColumnDropDownBoxEh* from = Coach->DropDownBox();
    from->Columns()->Add()->SetFieldName("CoachName");
    from->SetAutoFitColWidths(false);
    from->SetUseMultiTitle(true);
    from->SetOptions({dlgRowLinesEh});
    from->SetListSource(&other);
    from->ColumnDefValues()->SetEndEllipsis(true);

    TColumnEh* target = G->Columns()->Add();
    target->DropDownBox()->Columns()->Add()->SetFieldName("Old");
    target->DropDownBox()->Columns()->Add()->SetFieldName("Older");
    target->DropDownBox()->Assign(from);
    TDBGridColumnsEh* cols = target->DropDownBox()->Columns();
    ASSERT_EQ(cols->Count(), 1);
    EXPECT_EQ(cols->Items(0)->FieldName(), "CoachName");
    EXPECT_FALSE(target->DropDownBox()->AutoFitColWidths());
    EXPECT_TRUE(target->DropDownBox()->UseMultiTitle());
    EXPECT_EQ(target->DropDownBox()->Options(), TDBLookupGridEhOptions{dlgRowLinesEh});
    EXPECT_EQ(target->DropDownBox()->ListSource(), &other);
    EXPECT_TRUE(target->DropDownBox()->ColumnDefValues()->EndEllipsis());

    // Default (not customized) columns are not copied: the target's own go.
    TColumnEh* plain = G->Columns()->Add();
    target->DropDownBox()->Assign(plain->DropDownBox());
    EXPECT_EQ(target->DropDownBox()->Columns()->ColumnsState(), cssDefault);

    // Whole columns carry their box along.
    TColumnEh* copy = G->Columns()->Add();
    copy->Assign(Coach);
    EXPECT_EQ(copy->DropDownBox()->ListSource(), &other);
    EXPECT_EQ(copy->DropDownBox()->Columns()->Count(), 1);
}

TEST_F(ColumnDropDown, AFreedListSourceLeavesTheBox)
{
    auto other = std::make_unique<TDataSource>();
    other->SetDataSet(Coaches.get());
    Coach->DropDownBox()->SetListSource(other.get());
    EXPECT_EQ(Coach->LookupListDataSet(), Coaches.get());
    other.reset();
    EXPECT_EQ(Coach->DropDownBox()->ListSource(), nullptr);
    EXPECT_EQ(Coach->LookupListDataSet(), Coaches.get()) << "back to the lookup field's own list";
}

TEST_F(ColumnDropDown, EditorDropsDownTheColumnsGridWithItsSettings)
{
    // A second list of coaches, chosen by the box, with the special row.
    TCoachLookup second = MakeCoachLookup({"赵六", "Zhou Qi", "Wu Ba", "Zheng Jiu"}, {});
    TDataSource other;
    other.SetDataSet(second.Coaches.get());
    Coach->DropDownBox()->SetListSource(&other);
    Coach->DropDownBox()->SetUseMultiTitle(true);
    Coach->DropDownSpecRow()->SetCellsText("(无)");
    Coach->DropDownSpecRow()->SetVisible(true);
    Coach->SetDropDownShowTitles(true);
    TDBGridInplaceEdit* e = OpenEditor();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->DBEditStyle(), esLookupList);
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    TPopupDataGridEh* list = e->DataList();
    ASSERT_EQ(list, Coach->LookupPopupGrid()) << "the column's own grid, not one of the editor";
    ASSERT_TRUE(list->Visible());
    EXPECT_EQ(list->ListSource()->DataSet(), second.Coaches.get());
    EXPECT_EQ(list->ListRowCount(), 4);
    EXPECT_TRUE(list->SpecRow()->Visible());
    EXPECT_EQ(list->SpecRow()->CellText(0), "(无)");
    EXPECT_TRUE(list->UseMultiTitle());
    EXPECT_TRUE(list->ShowTitleRow());
    EXPECT_EQ(list->ShownField()->FieldName(), "CoachName");
    EXPECT_EQ(list->KeyValue(), Variant(1));
    EXPECT_EQ(list->SelectedText(), "赵六") << "key 1 in the box's own list";
    GuiTest::KeyPress(VK_DOWN);
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_FALSE(list->Visible());
    EXPECT_EQ(G->EditorValue(), Variant(2));
    EXPECT_EQ(e->Text(), "Zhou Qi");
    EXPECT_EQ(list->ListSource(), nullptr) << "the list lets go of the data when closed";
}

TEST_F(ColumnDropDown, DisplayFieldsChooseTheShownField)
{
    EXPECT_EQ(Coach->LookupDisplayFields(), "CoachName") << "the lookup field's result field";
    EXPECT_FALSE(Coach->AssignedValues().Contains(cvLookupDisplayFields));
    Coach->SetLookupDisplayFields("CoachId;CoachName");
    EXPECT_TRUE(Coach->AssignedValues().Contains(cvLookupDisplayFields));
    TDBGridInplaceEdit* e = OpenEditor();
    ASSERT_TRUE(e);
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    TPopupDataGridEh* list = e->DataList();
    ASSERT_TRUE(list && list->Visible());
    ASSERT_EQ(list->ListFields().size(), 2u);
    EXPECT_EQ(list->ShownField()->FieldName(), "CoachId") << "the first display field gives the text";
    GuiTest::KeyPress(VK_ESCAPE);
    TColumnEh* copy = G->Columns()->Add();
    copy->Assign(Coach);
    EXPECT_EQ(copy->LookupDisplayFields(), "CoachId;CoachName");
}

TEST_F(ColumnDropDown, ResizedListAndMovedColumnsGoBackToTheColumn)
{
    Coach->SetDropDownSizing(true);
    Coach->SetLookupDisplayFields("CoachName;CoachId");
    Coach->DropDownSpecRow()->SetCellsText("none;0");
    Coach->DropDownSpecRow()->SetVisible(true);
    TDBGridInplaceEdit* e = OpenEditor();
    ASSERT_TRUE(e);
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    TPopupDataGridEh* list = e->DataList();
    ASSERT_TRUE(list && list->Visible());
    ASSERT_EQ(list->Columns()->Count(), 2);
    list->ColumnMoved(1, 0);
    list->SetBounds(list->Left(), list->Top(), list->Width() + 40, list->Height());
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_EQ(Coach->DropDownSpecRow()->CellsText(), "0;none") << "the special row's cells moved with the columns";
    EXPECT_EQ(Coach->DropDownWidth(), list->Width());
}

TEST_F(ColumnDropDown, AColumnFreedWhileDroppedDownTakesItsGridAlong)
{
    TDBGridInplaceEdit* e = OpenEditor();
    ASSERT_TRUE(e);
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    ASSERT_TRUE(e->DataList() && e->ListVisible());
    delete Coach;
    GuiTest::ProcessEvents();
    EXPECT_EQ(e->DataList(), nullptr);
    EXPECT_FALSE(e->ListVisible());
    EXPECT_EQ(e->ActiveList(), nullptr);
}

TEST_F(ColumnDropDown, AltDelChoosesTheSpecialRow)
{
    struct TCase {
        const char* name;
        bool visible, readOnly;
        const char* text;
        bool keyCleared;
    } cases[] = {
        {"hidden row", false, false, "王伟", false},
        {"read-only column", true, true, "王伟", false},
        {"shown row", true, false, "(无)", true},
    };
    for (const TCase& k : cases) {
        SCOPED_TRACE(k.name);
        G->HideEditor();
        Ds->Cancel();
        Ds->First();
        Coach->DropDownSpecRow()->SetCellsText("(无)");
        Coach->DropDownSpecRow()->SetVisible(k.visible);
        Coach->SetReadOnly(k.readOnly);
        TDBGridInplaceEdit* e = OpenEditor();
        ASSERT_TRUE(e);
        e->SetSelStart(1);
        e->SetSelLength(0);
        GuiTest::KeyPress(VK_DELETE, {ssAlt});
        EXPECT_EQ(e->Text(), k.text);
        if (!k.keyCleared) continue;
        EXPECT_EQ(e->SelText(), k.text) << "all text selected";
        EXPECT_TRUE(VarIsNull(G->EditorValue()));
        G->HideEditor();
        Ds->Post();
        EXPECT_TRUE(Ds->FieldByName("CoachId")->IsNull());
    }
}

TEST_F(ColumnDropDown, AltDelInTheOpenListSelectsTheSpecialRow)
{
    Coach->DropDownSpecRow()->SetCellsText("(无)");
    Coach->DropDownSpecRow()->SetValue(Variant(0));
    Coach->DropDownSpecRow()->SetVisible(true);
    TDBGridInplaceEdit* e = OpenEditor();
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    TPopupDataGridEh* list = e->DataList();
    ASSERT_TRUE(list && list->Visible());
    EXPECT_FALSE(list->SpecRowSelected());
    GuiTest::KeyPress(VK_DELETE, {ssAlt});
    EXPECT_TRUE(list->SpecRowSelected());
    EXPECT_EQ(list->KeyValue(), Variant(0));
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_EQ(e->Text(), "(无)");
    G->HideEditor();
    Ds->Post();
    EXPECT_EQ(Ds->FieldByName("CoachId")->AsInteger(), 0);
}

TEST_F(InplaceEdit, CtrlFOpensTheFindDialogOnTheSelectedText)
{
    std::vector<std::string> asked;
    auto before = DBGridEh::FindDialogProc;
    DBGridEh::FindDialogProc = [&](TCustomDBGridEh*, const std::string& text) { asked.push_back(text); };
    G->SetOptionsEh(G->OptionsEh() - TDBGridEhOptions{dghIncSearch} + TDBGridEhOptions{dghDialogFind});
    TDBGridInplaceEdit* e = Edit("Name");
    ASSERT_TRUE(e);
    const std::string text = e->Text();
    ASSERT_GE(text.size(), 6u);
    e->SetSelStart(1);
    e->SetSelLength(1);
    GuiTest::KeyPress('F', {ssCtrl});
    EXPECT_EQ(asked, std::vector<std::string>{e->SelText()});
    EXPECT_FALSE(e->SelText().empty());
    DBGridEh::FindDialogProc = before;
}

// ---- calendar and calculator ------------------------------------------------------------------

TEST_F(InplaceEdit, CalendarDropsDownOnTheCellsDateAndWritesTheChoice)
{
    TDBGridInplaceEdit* e = Edit("Enrolled");
    ASSERT_EQ(e->DBEditStyle(), esDateCalendar);
    TDateTime before = Ds->FieldByName("Enrolled")->AsDateTime();
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    TPopupMonthCalendarEh* cal = e->PopupMonthCalendar();
    ASSERT_TRUE(cal && cal->Visible());
    EXPECT_EQ(cal->Date(), before);
    EXPECT_TRUE(e->Focused()) << "the editor keeps the focus";
    GuiTest::KeyPress(VK_RIGHT);
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(cal->Date(), before + 8);
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_FALSE(cal->Visible());
    EXPECT_EQ(Ds->State(), dsEdit);
    EXPECT_EQ(Ds->FieldByName("Enrolled")->AsDateTime(), before + 8);
    EXPECT_EQ(e->Text(), Ds->FieldByName("Enrolled")->Text());
    // Esc leaves the value; a text that is no date opens on the field's date.
    e->SetText("不是日期");
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    EXPECT_EQ(cal->Date(), before + 8);
    GuiTest::KeyPress(VK_LEFT);
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_FALSE(cal->Visible());
    EXPECT_EQ(Ds->FieldByName("Enrolled")->AsDateTime(), before + 8);
    // A press outside the calendar closes it without a choice.
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    GuiTest::KeyPress(VK_RIGHT);
    cal->Perform(WM_LBUTTONDOWN, 0, MAKELPARAM(-5, -5));
    EXPECT_FALSE(cal->Visible());
    EXPECT_EQ(Ds->FieldByName("Enrolled")->AsDateTime(), before + 8);
}

TEST(PopupCalendar, WhatAReleaseAccepts)
{
    struct TCase {
        int Hit;
        bool Accepts;
    } cases[] = {
        {MCHT_CALENDARDATE, true},  {MCHT_CALENDARBK, true},     {MCHT_CALENDARWEEKNUM, true},
        {MCHT_TITLEMONTH, true},    {MCHT_TODAYLINK, true},      {MCHT_CALENDARDAY, false},
        {MCHT_TITLEBTNNEXT, false}, {MCHT_TITLEBTNPREV, false},  {MCHT_TITLEYEAR, false},
        {MCHT_NOWHERE, false},
    };
    for (const TCase& k : cases) EXPECT_EQ(CalendarHitAccepts(k.Hit), k.Accepts) << std::hex << k.Hit;
}

TEST(PopupCalendar, ClickOnADayAcceptsAndTheMonthButtonDoesNot)
{
    GuiTest::Init();
    TPopupMonthCalendarEh cal;
    std::vector<bool> closed;
    cal.CloseUp = [&](bool accept) { closed.push_back(accept); };
    cal.SetDate(EncodeDate(2026, 3, 11));
    cal.SetBounds(100, 100, 260, 200);
    cal.SetVisible(true);
    ShowWindow(cal.Handle(), SW_SHOWNOACTIVATE);
    GuiTest::ProcessEvents();
    TPoint size = cal.MinimalSize();
    EXPECT_GT(size.X, 100);
    EXPECT_GT(size.Y, 100);
    // Find a day cell and the previous-month button by their hit codes
    // (the middle of the points that give them).
    auto middleOf = [&](int code, int fromY) {
        long sx = 0, sy = 0, n = 0;
        for (int y = fromY; y < cal.Height(); y += 2)
            for (int x = 0; x < cal.Width(); x += 2)
                if (cal.HitTest(Point(x, y)) == code) {
                    sx += x;
                    sy += y;
                    ++n;
                }
        return n ? Point(int(sx / n), int(sy / n)) : Point(-1, -1);
    };
    TPoint prev = middleOf(MCHT_TITLEBTNPREV, 0);
    TPoint day = middleOf(MCHT_CALENDARDATE, cal.Height() / 2);
    ASSERT_EQ(cal.HitTest(day), MCHT_CALENDARDATE);
    ASSERT_EQ(cal.HitTest(prev), MCHT_TITLEBTNPREV);
    GuiTest::Click(&cal, prev);
    EXPECT_TRUE(closed.empty()) << "the month button keeps it open";
    GuiTest::Click(&cal, day);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_TRUE(closed[0]);
    EXPECT_EQ(cal.HitTest(Point(-3, 5)), MCHT_NOWHERE);
}

TEST_F(InplaceEdit, CalculatorOpensOnTheNumberAndWritesWhatItShows)
{
    Col("Fee")->SetButtonStyle(TColumnButtonStyleEh::cbsDropDown);
    TDBGridInplaceEdit* e = Edit("Fee");   // 1200
    ASSERT_TRUE(e->CalculatorApplies());
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    TPopupCalculatorEh* calc = e->PopupCalculator();
    ASSERT_TRUE(calc && calc->Visible());
    EXPECT_EQ(calc->DisplayValue(), 1200);
    // Typing goes to the calculator while it is open.
    GuiTest::TypeText("+3=");
    EXPECT_EQ(calc->DisplayValue(), 1203);
    EXPECT_EQ(e->Text(), "1200") << "the editor's text waits";
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_FALSE(calc->Visible());
    EXPECT_EQ(e->Text(), "1203");
    Post();
    EXPECT_EQ(Ds->FieldByName("Fee")->AsFloat(), 1203);
    // An error writes nothing; Esc closes.
    e = Edit("Fee");
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    GuiTest::TypeText("/0=");
    ASSERT_EQ(calc->EntryState(), csErrorEh);
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    EXPECT_FALSE(calc->Visible());
    EXPECT_EQ(e->Text(), "1203");
    // A text that is no number opens at 0.
    e->SetText("十二");
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    EXPECT_EQ(calc->DisplayValue(), 0);
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_FALSE(calc->Visible());
}

// ---- stepping ------------------------------------------------------------------------------------

TEST_F(InplaceEdit, UpDownHalvesStepTheValue)
{
    TColumnEh* c = Col("Fee");
    c->SetButtonStyle(TColumnButtonStyleEh::cbsUpDown);
    c->SetIncrement(50);
    TDBGridInplaceEdit* e = Edit("Fee");
    GuiTest::Click(e, ButtonCenter(e, 0));
    EXPECT_EQ(Ds->FieldByName("Fee")->AsFloat(), 1250);
    EXPECT_EQ(e->Text(), "1250");
    GuiTest::Click(e, ButtonCenter(e, 0, true));
    GuiTest::Click(e, ButtonCenter(e, 0, true));
    EXPECT_EQ(Ds->FieldByName("Fee")->AsFloat(), 1150);
    // A text typed first is written before the step.
    e->SelectAll();
    GuiTest::TypeText("10");
    GuiTest::Click(e, ButtonCenter(e, 0));
    EXPECT_EQ(Ds->FieldByName("Fee")->AsFloat(), 60);
    // A pick list steps downwards through its items with the upper half.
    TColumnEh* name = Col("Name");
    name->SetButtonStyle(TColumnButtonStyleEh::cbsUpDown);
    SetList(name->PickList(), {"李华", "王小明", "张伟"});
    e = Edit("Name");
    GuiTest::Click(e, ButtonCenter(e, 0, true));
    EXPECT_EQ(Ds->FieldByName("Name")->AsString(), "张伟");
    GuiTest::Click(e, ButtonCenter(e, 0));
    EXPECT_EQ(Ds->FieldByName("Name")->AsString(), "王小明");
    // A double click steps with DblClickNextVal.
    name->SetDblClickNextVal(true);
    e = Edit("Name");
    GuiTest::DoubleClick(e, Point(5, e->Height() / 2));
    EXPECT_EQ(Ds->FieldByName("Name")->AsString(), "张伟");
}

// ---- recent values and the required mark -------------------------------------------------------------

TEST_F(InplaceEdit, RecentValuesDropDownWhileTyping)
{
    TColumnEh* c = Col("Name");
    c->MRUList()->SetActive(true);
    SetList(c->MRUList()->Items(), {"abc", "xy", "abd"});
    TDBGridInplaceEdit* e = Edit("Name");
    e->SelectAll();
    GuiTest::TypeText("a");
    ASSERT_TRUE(e->MRUListDroppedDown());
    GuiTest::TypeText("b");
    TPopupListboxEh* list = e->MRUListControl();
    ASSERT_TRUE(list && list->Visible());
    EXPECT_EQ(list->Count(), 2);
    EXPECT_EQ(list->ItemIndex(), -1);
    GuiTest::KeyPress(VK_DOWN);
    GuiTest::KeyPress(VK_DOWN);
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_FALSE(e->MRUListDroppedDown());
    EXPECT_EQ(e->Text(), "abd");
    // Esc keeps the typed text; emptying the text closes the list.
    e->SelectAll();
    GuiTest::TypeText("x");
    ASSERT_TRUE(e->MRUListDroppedDown());
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_FALSE(e->MRUListDroppedDown());
    EXPECT_EQ(e->Text(), "x");
    GuiTest::TypeText("y");
    ASSERT_TRUE(e->MRUListDroppedDown());
    GuiTest::KeyPress(VK_BACK);
    GuiTest::KeyPress(VK_BACK);
    EXPECT_FALSE(e->MRUListDroppedDown());
    // A text written while the editor shows joins the list.
    GuiTest::TypeText("张三");
    Ds->Post();
    EXPECT_EQ(c->MRUList()->Items()->Strings(c->MRUList()->Items()->Count() - 1), "张三");
}

TEST_F(InplaceEdit, RequiredEmptyFieldOfANewRecordIsMarked)
{
    Ds->FieldByName("Name")->SetRequired(true);
    TColumnEh* c = Col("Name");
    c->SetHighlightRequired(true);
    TDBGridInplaceEdit* e = Edit("Name");
    EXPECT_FALSE(e->RequiredStateShown()) << "not while editing a stored record";
    Ds->Append();
    e = Edit("Name");
    EXPECT_TRUE(e->RequiredStateShown());
    std::string seen;
    c->OnCheckDrawRequiredState = [&](TObject*, const std::string& text, bool& draw) {
        seen = text;
        draw = false;
    };
    EXPECT_FALSE(e->RequiredStateShown()) << "the event decides";
    c->OnCheckDrawRequiredState = nullptr;
    TBitmap* shot = GuiTest::Grab(e);
    ASSERT_TRUE(shot);
    TRect r = e->GetEditRect();
    int redDots = 0;
    for (int x = r.Left + 2; x < r.Right - 3; ++x)
        if (shot->Canvas()->Pixels(x, e->ClientHeight() - 1) == clRed) ++redDots;
    delete shot;
    EXPECT_GT(redDots, (r.Width() - 5) / 3) << "a dotted red line under the text";
    Ds->Cancel();
}

}  // namespace

namespace {

// A grid editing a pick-list cell with its list open, beside a column with
// an ellipsis and an extra button: one picture with the drop-down laid over
// the form where it shows on the screen.
TEST_F(InplaceEdit, PictureOfAnOpenDropDownAndEditButtons)
{
    TColumnEh* name = Col("Name");
    SetList(name->PickList(), {"李华", "王小明", "张伟", "赵丽", "陈晨"});
    name->Title()->SetCaption("学员姓名");
    TColumnEh* fee = Col("Fee");
    fee->SetButtonStyle(TColumnButtonStyleEh::cbsEllipsis);
    fee->EditButtons()->Add()->SetStyle(ebsPlusEh);
    fee->SetAlwaysShowEditButton(true);
    fee->Title()->SetCaption("学费");
    TDBGridInplaceEdit* e = Edit("Fee");
    ASSERT_EQ(e->ButtonCount(), 2);
    e = Edit("Name");
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    GuiTest::KeyPress(VK_DOWN);
    ASSERT_TRUE(e->ListVisible());
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Host->Form.get()));
    std::unique_ptr<TBitmap> list(GuiTest::Grab(e->PickList()));
    ASSERT_TRUE(shot && list);
    TPopupListboxEh* drop = e->PickList();
    TPoint at = Host->Form->ScreenToClient(Point(drop->Left(), drop->Top()));
    shot->Canvas()->Draw(at.X, at.Y, list.get());
    std::string out = std::string(QZ_BINARY_DIR) + "/dbgrid-inplace-dropdown.png";
    ASSERT_TRUE(GuiTest::SavePng(shot.get(), out));
    // The list lies right under the cell and shows the chosen item highlighted.
    TPoint cellBottom = Host->Form->ScreenToClient(e->ClientToScreen(Point(0, e->Height())));
    EXPECT_EQ(at.Y, cellBottom.Y);
    EXPECT_EQ(e->Text(), "张伟");
    // The fee cells show their ellipsis and plus buttons at their right,
    // the text ending before them.
    TRect cell = G->CellRect(G->DataToRawColumn(fee->Index()), G->FirstDataRow() + 2);
    int buttons = 2 * GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(G, Point(cell.Right - buttons + 2, cell.Top + 2))), ColorToRGB(clBtnFace));
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(G, Point(cell.Right - buttons - 2, cell.Top + 2))), ColorToRGB(clWindow));
}

}  // namespace
