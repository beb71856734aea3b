#include "cxDropDownEdit.h"
#include "cxDateEdit.h"
#include "cxImageComboBox.h"
#include "cxMRUEdit.h"

#include "EditOnForm.h"
#include "ExtCtrls.h"
#include "Clipbrd.h"
#include "SysUtils.h"

namespace {

const char* const kSubjects[] = {"科目一", "科目二", "科目三", "科目四", "倒车入库", "侧方停车", "坡道起步"};

class ComboBoxTest : public TEditOnForm<TcxComboBox> {
protected:
    void SetUp() override
    {
        TEditOnForm::SetUp();
        Combo = Edit;
        Combo->SetBounds(10, 10, 160, 21);
        Combo->Properties()->SetItemHeight(16);
        for (const char* s : kSubjects) Combo->Properties()->Items()->Add(s);
        Combo->SetFocus();
        GuiTest::ProcessEvents();
    }
    void Key(int vk, TShiftState shift = {})
    {
        GuiTest::KeyDown(vk, shift);
        GuiTest::KeyUp(vk, shift);
        GuiTest::ProcessEvents();
    }
    TcxComboBoxListBox* List()
    {
        return dynamic_cast<TcxComboBoxListBox*>(Combo->GetLookupData()->GetList());
    }
    TcxComboBox* Combo = nullptr;
};

}  // namespace

TEST(ComboBoxPropertiesTest, ListStylesRowsAndMappedSettings)
{
    struct Case {
        TcxEditDropDownListStyle style;
        TcxTextEditingStyle editing;
        bool dropDownOnClick;
    } cases[] = {{lsEditList, tesFree, false}, {lsEditFixedList, tesList, false}, {lsFixedList, tesFixedList, true}};
    for (const Case& c : cases) {
        TcxComboBoxProperties p;
        p.SetDropDownListStyle(c.style);
        EXPECT_EQ(p.GetEditingStyle(), c.editing);
        EXPECT_EQ(p.DropDownOnClick(), c.dropDownOnClick);
    }
    TcxComboBoxProperties p;
    EXPECT_TRUE(p.ImmediateDropDown());
    EXPECT_EQ(p.DropDownRows(), 8);
    for (int bad : {0, -3}) {
        p.SetDropDownRows(bad);
        EXPECT_EQ(p.DropDownRows(), 8);
    }
    p.SetDropDownRows(5);
    EXPECT_EQ(p.GetDropDownRowCount(), 5);
    p.SetDropDownSizeable(true);
    p.SetDropDownWidth(180);
    p.SetDropDownAutoWidth(false);
    p.Items()->Add("科目一");
    EXPECT_TRUE(p.PopupSizeable());
    EXPECT_EQ(p.PopupWidth(), 180);
    EXPECT_FALSE(p.PopupAutoSize());
    EXPECT_EQ(p.LookupItems()->Count(), 1);
    TcxComboBoxProperties q;
    q.Assign(&p);
    EXPECT_EQ(q.DropDownRows(), 5);
    EXPECT_EQ(q.Items()->Strings(0), "科目一");
    EXPECT_TRUE(q.DropDownSizeable());
}

TEST(ComboBoxPropertiesTest, TheRegistryDescribesBothEditors)
{
    cxDropDownEdit::Initialize();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    int combo = r->IndexOfClass(TcxComboBoxProperties::StaticClass());
    int popup = r->IndexOfClass(TcxPopupEditProperties::StaticClass());
    ASSERT_GE(combo, 0);
    ASSERT_GE(popup, 0);
    EXPECT_EQ(r->GetDescription(combo), "ComboBox|Represents the combo box editor");
    EXPECT_EQ(r->GetDescription(popup), "PopupEdit|Represents an edit control with a dropdown list");
}

TEST_F(ComboBoxTest, AnEmptyListNeverOpens)
{
    Combo->Properties()->Items()->Clear();
    Key(VK_DOWN, {ssAlt});
    EXPECT_FALSE(Combo->HasPopupWindow());
}

TEST_F(ComboBoxTest, KeysMoveTheHighlightAndOnlyAcceptingChangesTheValue)
{
    Combo->SetItemIndex(1);
    ASSERT_EQ(VarToStr(Combo->EditValue()), "科目二");
    Key(VK_DOWN, {ssAlt});
    ASSERT_TRUE(Combo->HasPopupWindow());
    ASSERT_NE(List(), nullptr);
    EXPECT_EQ(List()->ItemIndex(), 1);
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(List()->ItemIndex(), 3);
    EXPECT_EQ(VarToStr(Combo->EditValue()), "科目二");   // only the highlight moved
    Key(VK_ESCAPE);
    EXPECT_FALSE(Combo->HasPopupWindow());
    EXPECT_EQ(VarToStr(Combo->EditValue()), "科目二");
    EXPECT_EQ(Combo->ItemIndex(), 1);

    Key(VK_F4);
    EXPECT_EQ(List()->ItemIndex(), 1);   // the highlight came back to the value
    Key(VK_DOWN);
    int clicks = 0;
    Combo->OnClick = [&](TObject*) { ++clicks; };
    Key(VK_RETURN);
    EXPECT_FALSE(Combo->HasPopupWindow());
    EXPECT_EQ(VarToStr(Combo->EditValue()), "科目三");
    EXPECT_EQ(Combo->ItemIndex(), 2);

    // Closed, the keys step through the items at once (without cycling).
    Key(VK_UP);
    EXPECT_EQ(VarToStr(Combo->EditValue()), "科目二");
    Key(VK_NEXT, {ssCtrl});
    EXPECT_EQ(VarToStr(Combo->EditValue()), "坡道起步");
    Key(VK_DOWN);
    EXPECT_EQ(VarToStr(Combo->EditValue()), "坡道起步");
}

TEST_F(ComboBoxTest, TypingOpensTheListAtTheItemFound)
{
    GuiTest::TypeText("侧");
    ASSERT_TRUE(Combo->HasPopupWindow());
    EXPECT_EQ(VarToStr(Combo->EditValue()), "侧方停车");
    EXPECT_EQ(List()->ItemIndex(), 5);
    // Alt released over the edit leaves no character behind.
    Key(VK_MENU);
    EXPECT_EQ(VarToStr(Combo->EditValue()), "侧方停车");
    Key(VK_RETURN);
    EXPECT_FALSE(Combo->HasPopupWindow());
    EXPECT_EQ(Combo->ItemIndex(), 5);
    // Without ImmediateDropDown typing leaves the list closed.
    Combo->Properties()->SetImmediateDropDown(false);
    Combo->SelectAll();
    GuiTest::TypeText("坡");
    EXPECT_FALSE(Combo->HasPopupWindow());
    EXPECT_EQ(VarToStr(Combo->EditValue()), "坡道起步");
}

TEST_F(ComboBoxTest, APasteOpensTheListAtThePastedTextAndTheWheelScrollsIt)
{
    for (int i = 0; i < 20; ++i) Combo->Properties()->Items()->Add("第" + IntToStr(i) + "项");
    Clipboard()->SetAsText("倒车");
    Combo->SelectAll();
    GuiTest::KeyPress('V', {ssCtrl});
    GuiTest::ProcessEvents();
    ASSERT_TRUE(Combo->HasPopupWindow());
    EXPECT_EQ(Combo->GetDisplayText(), "倒车");
    EXPECT_EQ(List()->ItemIndex(), 4);   // located, not chosen
    const int top = List()->TopIndex();
    GuiTest::Wheel(Combo, TPoint{20, 10}, -120);
    GuiTest::ProcessEvents();
    EXPECT_GT(List()->TopIndex(), top);
    EXPECT_EQ(Combo->GetDisplayText(), "倒车");
}

TEST_F(ComboBoxTest, AClickOnAnItemChoosesItAndCloses)
{
    Key(VK_DOWN, {ssAlt});
    ASSERT_TRUE(Combo->HasPopupWindow());
    TcxComboBoxListBox* l = List();
    ASSERT_NE(l, nullptr);
    TRect r = l->ItemRect(4);
    GuiTest::Click(l, TPoint{r.Left + 5, (r.Top + r.Bottom) / 2});
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Combo->HasPopupWindow());
    EXPECT_EQ(VarToStr(Combo->EditValue()), "倒车入库");
}

TEST_F(ComboBoxTest, ItemIndexFiresClickOnlyOnAChange)
{
    int clicks = 0;
    Combo->OnClick = [&](TObject*) { ++clicks; };
    Combo->SetItemIndex(2);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(Combo->Modified());
    EXPECT_EQ(VarToStr(Combo->EditValue()), "科目三");
    Combo->SetItemIndex(2);
    EXPECT_EQ(clicks, 1);
    // A mouse click on the box is no click.
    GuiTest::Click(Combo, TPoint{20, 10});
    EXPECT_EQ(clicks, 1);
}

TEST_F(ComboBoxTest, ThePopupShowsDropDownRowsAndMakesRoomForTheScrollBar)
{
    for (int i = 0; i < 13; ++i) Combo->Properties()->Items()->Add("第" + IntToStr(i) + "项");
    Combo->Properties()->SetDropDownRows(8);
    Key(VK_DOWN, {ssAlt});
    ASSERT_TRUE(Combo->HasPopupWindow());
    TcxCustomEditPopupWindow* w = Combo->PopupWindow();
    TRect client = w->EditViewInfo()->Layout.ClientRect;
    EXPECT_EQ(client.Height(), 8 * 16);
    EXPECT_EQ(List()->Height(), 8 * 16);
    TSize pref = Combo->GetLookupData()->GetListPreferredSize(0, 1000);
    int widest = 0;
    List()->Canvas()->Font()->Assign(List()->Font());
    for (int i = 0; i < List()->Items()->Count(); ++i)
        widest = std::max(widest, List()->Canvas()->TextWidth(List()->Items()->Strings(i)));
    EXPECT_EQ(pref.cx, widest + 4 + GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(pref.cy, 8 * 16);
    // Never narrower than the edit.
    EXPECT_GE(w->Width(), Combo->Width());
    // Fewer items than rows: as many rows as items.
    Key(VK_ESCAPE);
    Combo->Properties()->SetDropDownRows(30);
    Key(VK_F4);
    EXPECT_EQ(Combo->PopupWindow()->EditViewInfo()->Layout.ClientRect.Height(), 20 * 16);
}

TEST_F(ComboBoxTest, ResizingTheListSnapsToWholeItems)
{
    Combo->Properties()->SetDropDownSizeable(true);
    Key(VK_F4);
    TcxComboBoxListBox* l = List();
    ASSERT_NE(l, nullptr);
    l->SetBounds(0, 0, 150, 5 * 16);
    struct Case {
        int height;
        int expect;
    } cases[] = {{5 * 16, 5 * 16}, {6 * 16 + 10, 6 * 16}, {100 * 16, 7 * 16}, {3 * 16 + 5, 4 * 16}, {2, 16}};
    for (const Case& c : cases) {
        TSize s{150, c.height};
        EXPECT_TRUE(Combo->GetLookupData()->CanResizeList(s));
        EXPECT_EQ(s.cy, c.expect) << c.height;
    }
    // A sizeable combo popup always has its grip.
    EXPECT_TRUE(Combo->PopupWindow()->SysPanelStyle());
}

TEST_F(ComboBoxTest, TheListIsMadeAgainOnlyWhenItemHeightsMayHaveChanged)
{
    // The list made with the edit's window had the default height; the
    // popup's fixed 16 pixels make it again once.
    Key(VK_F4);
    TcxComboBoxListBox* l = List();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->RecreateCount(), 1);
    Key(VK_ESCAPE);
    Key(VK_F4);
    EXPECT_EQ(l->RecreateCount(), 1);   // nothing changed
    Key(VK_ESCAPE);
    Combo->Properties()->SetItemHeight(20);
    Key(VK_F4);
    EXPECT_EQ(l->RecreateCount(), 2);   // the fixed height changed
    Key(VK_ESCAPE);
    Combo->Properties()->OnMeasureItem = [](TcxCustomComboBox*, int i, TcxCanvas*, int& h) { h = i == 0 ? 30 : h; };
    Key(VK_F4);
    EXPECT_EQ(l->RecreateCount(), 3);
    EXPECT_EQ(l->GetItemHeight(0), 30);
    EXPECT_EQ(l->GetItemHeight(1), 20);
    EXPECT_EQ(l->GetHeight(2), 50);
    Key(VK_ESCAPE);
    Key(VK_F4);
    EXPECT_EQ(l->RecreateCount(), 4);   // variable heights: every time
}

TEST_F(ComboBoxTest, RevertableDoubleClickWrapsToTheFirstItemAndPosts)
{
    Combo->Properties()->SetRevertable(true);
    Combo->Properties()->SetImmediatePost(true);
    int posts = 0;
    Combo->OnPostEditValue = [&](TObject*) { ++posts; };
    Combo->SetItemIndex(6);
    GuiTest::DoubleClick(Combo, TPoint{20, 10});
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Combo->HasPopupWindow());
    EXPECT_EQ(VarToStr(Combo->EditValue()), "科目一");
    EXPECT_EQ(posts, 1);
}

TEST_F(ComboBoxTest, AFixedListOpensOnAClickAndShowsItsTextSelected)
{
    Combo->Properties()->SetDropDownListStyle(lsFixedList);
    Combo->SetItemIndex(0);
    GuiTest::ProcessEvents();
    Combo->ShortRefreshContainer(false);
    auto* vi = dynamic_cast<TcxCustomTextEditViewInfo*>(Combo->EditViewInfo());
    ASSERT_NE(vi, nullptr);
    EXPECT_TRUE(vi->TextHighlighted);
    GuiTest::Click(Combo, TPoint{20, 10});
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Combo->HasPopupWindow());
    Combo->ShortRefreshContainer(false);
    EXPECT_FALSE(vi->TextHighlighted);
}

TEST_F(ComboBoxTest, PictureOfAnOpenComboBox)
{
    Combo->SetItemIndex(4);
    Key(VK_F4);
    ASSERT_TRUE(Combo->HasPopupWindow());
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> edit(GuiTest::Grab(Form));
    std::unique_ptr<TBitmap> popup(GuiTest::Grab(Combo->PopupWindow()));
    ASSERT_TRUE(edit && popup);
    // The highlighted row is drawn in the highlight colour.
    TRect r = List()->ItemRect(4);
    TPoint p = List()->ClientToScreen(TPoint{r.Right - 3, (r.Top + r.Bottom) / 2});
    p = Combo->PopupWindow()->ScreenToClient(p);
    EXPECT_EQ(ColorToRGB(popup->Canvas()->Pixels(p.X, p.Y)), ColorToRGB(clHighlight));
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) {
        GuiTest::SavePng(edit.get(), std::string(dir) + "/combo-edit.png");
        GuiTest::SavePng(popup.get(), std::string(dir) + "/combo-popup.png");
    }
}

// ---- the popup edit ---------------------------------------------------------------------------------------

TEST_F(ComboBoxTest, APopupEditShowsItsControlAndPutsItBack)
{
    auto* edit = new TcxPopupEdit(Form);
    edit->SetParent(Form);
    edit->SetBounds(10, 60, 160, 21);
    auto* panel = new TPanel(Form);
    panel->SetParent(Form);
    panel->SetBounds(5, 96, 180, 120);
    panel->SetVisible(false);
    edit->Properties()->SetPopupControl(panel);
    TcxCustomPopupEditProperties& p = *edit->Properties();
    EXPECT_TRUE(p.ImmediatePopup());
    EXPECT_TRUE(p.PopupSizeable());
    EXPECT_EQ(p.PopupWidth(), 250);
    EXPECT_EQ(p.PopupMinHeight(), 100);
    GuiTest::ProcessEvents();
    edit->SetFocus();
    GuiTest::ProcessEvents();
    edit->DropDown();
    GuiTest::ProcessEvents();
    ASSERT_TRUE(edit->HasPopupWindow());
    EXPECT_EQ(panel->Parent(), edit->PopupWindow());
    EXPECT_EQ(panel->Align(), alClient);
    EXPECT_TRUE(panel->Visible());
    EXPECT_TRUE(edit->PopupWindow()->TakesFocus());
    // Auto-sized: the control's own size plus the frame.
    TRect client = edit->PopupWindow()->EditViewInfo()->Layout.ClientRect;
    EXPECT_EQ(client.Width(), 180);
    EXPECT_EQ(panel->BoundsRect(), client);
    edit->CloseUp(false);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(edit->HasPopupWindow());
    EXPECT_EQ(panel->Parent(), Form);
    EXPECT_EQ(panel->Align(), alNone);
    EXPECT_EQ(panel->BoundsRect(), (TRect{5, 96, 185, 216}));
    EXPECT_FALSE(panel->Visible());
    // A freed control leaves the properties.
    delete panel;
    EXPECT_EQ(edit->Properties()->PopupControl(), nullptr);
}

// A form made to be dropped down (a picker of its own, say) loses its frame in
// the popup, takes keys there, and is a top-level window again afterwards.
TEST_F(ComboBoxTest, AFormAsThePopupControlDropsDownAndComesBack)
{
    auto* edit = new TcxPopupEdit(Form);
    edit->SetParent(Form);
    edit->SetBounds(10, 60, 160, 21);
    std::unique_ptr<TForm> picker(new TForm(nullptr));
    picker->SetBounds(300, 200, 200, 140);
    picker->SetCaption("选择教练");
    auto* box = new TEdit(picker.get());
    box->SetParent(picker.get());
    box->SetBounds(8, 8, 120, 21);
    edit->Properties()->SetPopupControl(picker.get());
    GuiTest::ProcessEvents();
    for (int round = 0; round < 2; ++round) {
        edit->SetFocus();
        GuiTest::ProcessEvents();
        edit->DropDown();
        GuiTest::ProcessEvents();
        ASSERT_TRUE(edit->HasPopupWindow());
        EXPECT_EQ(picker->Parent(), edit->PopupWindow());
        EXPECT_EQ(picker->BorderStyle(), fbsNone);
        EXPECT_TRUE(picker->Visible());
        box->SetFocus();
        GuiTest::ProcessEvents();
        EXPECT_TRUE(box->Focused());
        Key('A');
        edit->CloseUp(false);
        GuiTest::ProcessEvents();
        EXPECT_FALSE(edit->HasPopupWindow());
        EXPECT_EQ(picker->Parent(), nullptr);
        EXPECT_EQ(picker->BorderStyle(), fbsSizeable);
        EXPECT_FALSE(picker->Visible());
    }
    edit->Properties()->SetPopupControl(nullptr);
}

TEST_F(ComboBoxTest, APopupEditRefusesACircularControl)
{
    auto* edit = new TcxPopupEdit(Form);
    edit->SetParent(Form);
    for (TControl* c : {static_cast<TControl*>(edit), static_cast<TControl*>(Form)}) {
        edit->Properties()->SetPopupControl(c);
        try {
            edit->DropDown();
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "Circular referencing is not allowed");
        }
        GuiTest::ProcessEvents();
        EXPECT_FALSE(edit->HasPopupWindow());
    }
    edit->Properties()->SetPopupControl(nullptr);
    edit->DropDown();
    GuiTest::ProcessEvents();
    EXPECT_FALSE(edit->HasPopupWindow());   // nothing to show
}

// The drop-down family in the four looks (a row each): a combo box, an MRU
// edit, a date edit and an image combo box with Chinese texts. Every edit
// shows its text and the arrow of its drop-down button. Written as
// editors_drop_downs.png.
TEST(DropDownLooks, TheFamilyInTheFourLooks)
{
    GuiTest::Init();
    cxLookAndFeels::Initialize();
    cxLookAndFeelPainters::Initialize();
    std::unique_ptr<TForm> form(new TForm(nullptr));
    form->SetBounds(100, 100, 680, 160);
    const TcxLookAndFeelKind kinds[4] = {lfStandard, lfFlat, lfUltraFlat, lfStandard};
    std::vector<TcxCustomDropDownEdit*> edits;
    for (int look = 0; look < 4; ++look) {
        auto* combo = new TcxComboBox(form.get());
        for (const char* s : kSubjects) combo->Properties()->Items()->Add(s);
        combo->SetEditValue(Variant("科目二"));
        auto* mru = new TcxMRUEdit(form.get());
        mru->Properties()->LookupItems()->Add("倒车入库");
        mru->SetEditValue(Variant("倒车入库"));
        auto* date = new TcxDateEdit(form.get());
        date->SetDate(EncodeDate(2024, 3, 5));
        auto* image = new TcxImageComboBox(form.get());
        for (const char* name : {"小型汽车", "大型客车"}) {
            TcxImageComboBoxItem* it = image->Properties()->Items()->Add();
            it->SetDescription(name);
            it->SetValue(Variant(std::string(name)));
        }
        image->SetEditValue(Variant("大型客车"));
        int column = 0;
        for (TcxCustomDropDownEdit* e : std::initializer_list<TcxCustomDropDownEdit*>{combo, mru, date, image}) {
            e->SetParent(form.get());
            e->SetBounds(10 + column++ * 165, 10 + look * 34, 155, 23);
            e->EditStyle()->LookAndFeel()->SetKind(kinds[look]);
            if (look == 3) e->EditStyle()->LookAndFeel()->SetNativeStyle(true);
            edits.push_back(e);
        }
    }
    form->Show();
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(form.get()));
    ASSERT_TRUE(shot);
    auto darkIn = [&](TcxCustomDropDownEdit* e, const TRect& r) {
        int dark = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) {
                TColor c = ColorToRGB(shot->Canvas()->Pixels(e->Left() + x, e->Top() + y));
                if (GetRValue(c) < 0x60 && GetGValue(c) < 0x60 && GetBValue(c) < 0x60) ++dark;
            }
        return dark;
    };
    for (TcxCustomDropDownEdit* e : edits) {
        e->ShortRefreshContainer(false);
        TcxCustomEditViewInfo* vi = e->EditViewInfo();
        ASSERT_GE(vi->ButtonCount(), 1) << e->ClassName();
        const TRect b = vi->Button(vi->ButtonCount() - 1)->Bounds;
        EXPECT_GT(darkIn(e, TRect{b.Left + 3, b.Top + 3, b.Right - 3, b.Bottom - 3}), 0) << e->ClassName();
        EXPECT_GT(darkIn(e, TRect{4, 4, b.Left - 4, e->Height() - 4}), 0) << e->ClassName();   // the text
    }
    EXPECT_TRUE(GuiTest::SavePng(shot.get(), std::string(QZ_BINARY_DIR) + "/editors_drop_downs.png"));
}
