#include "cxRadioGroup.h"

#include "EditOnForm.h"

namespace {

class RadioGroupTest : public TEditOnForm<TcxRadioGroup> {
protected:
    void SetUp() override
    {
        TEditOnForm::SetUp();
        Edit->SetBounds(10, 10, 300, 120);
        Edit->SetCaption("科目");
        Edit->OnClick = [this](TObject*) { ++Clicks; };
        Edit->Properties()->OnChange = [this](TObject*) { ++Changes; };
    }
    void AddItems(std::initializer_list<const char*> captions, bool withValues)
    {
        int v = 1;
        for (const char* c : captions) {
            TcxRadioGroupItem* item = Edit->Properties()->Items()->Add();
            item->SetCaption(c);
            if (withValues) item->SetValue(Variant(v++));
        }
        GuiTest::ProcessEvents();
    }
    TPoint ButtonCentre(int i)
    {
        TcxCustomRadioGroupButton* b = Edit->RadioButton(i);
        return TPoint{8, b->Height() / 2};
    }
    int Clicks = 0, Changes = 0;
};

}  // namespace

TEST(RadioGroupProperties, ValuesAndCaptionsFindTheirItem)
{
    TcxRadioGroupProperties p;
    p.SetDefaultCaption("未选");
    for (int i = 1; i <= 3; ++i) p.Items()->Add()->SetValue(Variant(i));
    p.Items()->Items(0)->SetCaption("一");
    p.Items()->Items(1)->SetCaption("二");
    p.Items()->Items(2)->SetCaption("三");
    auto* noValue = p.Items()->Add();
    noValue->SetCaption("Manual");
    struct Case {
        Variant Value;
        int Index;
        const char* Text;
    };
    const Case cases[] = {
        {Variant(2), 1, "二"},          {Variant("2"), 1, "二"},   // compared as text
        {Variant(4), -1, "未选"},       {Null(), -1, "未选"},
        {Variant("Manual"), 3, "Manual"}, {Variant("manual"), -1, "未选"},   // captions are case-sensitive
        {Variant("一"), -1, "未选"},    // an item with a Value does not match its caption
    };
    for (const Case& c : cases) {
        EXPECT_EQ(p.FindItemIndex(c.Value), c.Index) << VarToStr(c.Value);
        EXPECT_EQ(p.GetDisplayText(c.Value), c.Text) << VarToStr(c.Value);
        Variant shown;
        p.PrepareDisplayValue(c.Value, shown, false);
        EXPECT_EQ(shown.AsInteger(), c.Index);
    }
    EXPECT_EQ(p.ItemIndexToEditValue(1).AsInteger(), 2);
    EXPECT_EQ(VarToStr(p.ItemIndexToEditValue(3)), "Manual");
    EXPECT_TRUE(p.ItemIndexToEditValue(-1).IsNull());
    EXPECT_EQ(p.GetSupportedOperations(), 415);
    TcxRadioGroupProperties empty;
    EXPECT_EQ(empty.GetSupportedOperations(), 399);
}

TEST(RadioGroupProperties, ColumnsAreNotBalanced)
{
    TcxRadioGroupProperties p;
    for (int i = 0; i < 9; ++i) p.Items()->Add()->SetCaption(std::to_string(i));
    p.SetColumns(4);
    EXPECT_EQ(p.GetColumnCount(), 4);   // three rows: the fourth column stays empty
    EXPECT_EQ(p.GetRowCount(), 3);
    p.SetColumns(3);
    EXPECT_EQ(p.GetColumnCount(), 3);
    p.SetColumns(20);
    EXPECT_EQ(p.GetColumnCount(), 9);
}

TEST_F(RadioGroupTest, ValueAndItemIndexFollowEachOther)
{
    AddItems({"科目一", "科目二", "科目三"}, true);
    ASSERT_EQ(Edit->ButtonCount(), 3);
    EXPECT_EQ(Edit->RadioButton(1)->Caption(), "科目二");
    Edit->SetEditValue(Variant(2));
    EXPECT_EQ(Edit->ItemIndex(), 1);
    EXPECT_TRUE(Edit->RadioButton(1)->Checked());
    EXPECT_FALSE(Edit->RadioButton(0)->Checked());
    EXPECT_EQ(Clicks, 1);
    Edit->SetEditValue(Variant(4));   // no item: none checked, the value stays
    EXPECT_EQ(Edit->ItemIndex(), -1);
    EXPECT_EQ(Edit->EditValue().AsInteger(), 4);
    EXPECT_FALSE(Edit->RadioButton(1)->Checked());
    Edit->SetItemIndex(2);
    EXPECT_EQ(Edit->EditValue().AsInteger(), 3);
    EXPECT_TRUE(Edit->RadioButton(2)->Checked());
    Edit->SetItemIndex(7);   // clamped
    EXPECT_EQ(Edit->ItemIndex(), 2);
    Edit->Properties()->SetDefaultValue(Variant(0));
    Edit->SetItemIndex(-1);
    EXPECT_EQ(Edit->EditValue().AsInteger(), 0);
    Edit->Clear();
    EXPECT_EQ(Edit->ItemIndex(), -1);
    // Items added and deleted one at a time keep one button each.
    Edit->Properties()->Items()->Add()->SetCaption("科目四");
    EXPECT_EQ(Edit->ButtonCount(), 4);
    Edit->Properties()->Items()->Delete(0);
    ASSERT_EQ(Edit->ButtonCount(), 3);
    EXPECT_EQ(Edit->RadioButton(0)->Caption(), "科目二");
}

TEST_F(RadioGroupTest, ClickingAButtonChoosesItsItemUnlessReadOnly)
{
    AddItems({"合格", "不合格"}, false);
    GuiTest::Click(Edit->RadioButton(1), ButtonCentre(1));
    GuiTest::ProcessEvents();
    EXPECT_EQ(Edit->ItemIndex(), 1);
    EXPECT_EQ(VarToStr(Edit->EditValue()), "不合格");   // no Value: the caption
    EXPECT_GE(Changes, 1);

    Edit->Properties()->SetReadOnly(true);
    GuiTest::Click(Edit->RadioButton(0), ButtonCentre(0));
    GuiTest::ProcessEvents();
    EXPECT_EQ(Edit->ItemIndex(), 1);
    EXPECT_FALSE(Edit->RadioButton(0)->Checked());
    EXPECT_TRUE(Edit->RadioButton(1)->Checked());
    Edit->RadioButton(1)->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyPress(VK_SPACE);
    GuiTest::KeyPress(VK_UP);
    GuiTest::ProcessEvents();
    EXPECT_EQ(Edit->ItemIndex(), 1);
}

TEST_F(RadioGroupTest, ArrowKeysMoveInColumnsAndPostAtOnce)
{
    AddItems({"一", "二", "三", "四", "五"}, true);
    Edit->Properties()->SetColumns(2);   // three rows: [0,1,2], [3,4]
    GuiTest::ProcessEvents();
    int posted = 0;
    Edit->OnPostEditValue = [&](TObject*) { ++posted; };
    Edit->Properties()->SetImmediatePost(true);
    Edit->RadioButton(0)->SetFocus();
    GuiTest::ProcessEvents();
    EXPECT_EQ(Edit->ItemIndex(), 0);
    struct Step {
        WORD Key;
        int Index;
    };
    const Step steps[] = {{VK_DOWN, 1}, {VK_DOWN, 2}, {VK_DOWN, 2}, {VK_RIGHT, 2},   // no button right of the last row
                          {VK_UP, 1},   {VK_RIGHT, 4}, {VK_DOWN, 4}, {VK_LEFT, 1}};
    for (const Step& s : steps) {
        GuiTest::KeyPress(s.Key);
        GuiTest::ProcessEvents();
        EXPECT_EQ(Edit->ItemIndex(), s.Index) << "key " << s.Key;
        EXPECT_TRUE(Edit->RadioButton(s.Index)->Focused());
    }
    EXPECT_GE(posted, 4);
    // The group's own message focuses a button by index.
    Edit->Perform(CM_FOCUSRADIOBUTTON, 3);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Edit->RadioButton(3)->Focused());
    EXPECT_EQ(Edit->ItemIndex(), 3);
}

TEST_F(RadioGroupTest, InPlaceTheActivatingClickReachesTheButtonUnderIt)
{
    std::unique_ptr<TcxCustomEdit> edit(TcxCustomEdit::CreateInplace(TcxRadioGroup::StaticClass()));
    auto* g = static_cast<TcxRadioGroup*>(edit.get());
    g->SetParent(Form);
    g->SetBounds(20, 150, 300, 24);
    g->Properties()->SetColumns(3);
    for (const char* c : {"合格", "不合格", "缺考"}) g->Properties()->Items()->Add()->SetCaption(c);
    GuiTest::ProcessEvents();
    ASSERT_EQ(g->ButtonCount(), 3);
    std::unique_ptr<TcxCustomEditData> data;
    g->Activate(data);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(g->RadioButton(0)->Focused());   // no choice yet: the first has the focus ...
    EXPECT_EQ(g->ItemIndex(), -1);               // ... without being chosen
    TcxCustomRadioGroupButton* b = g->RadioButton(2);
    g->ActivateByMouse(TShiftState{ssLeft}, g->Left() + b->Left() + 3, g->Top() + b->Top() + 3, data);
    GuiTest::ProcessEvents();
    EXPECT_EQ(g->ItemIndex(), 2);
    EXPECT_EQ(VarToStr(g->EditValue()), "缺考");
    g->SetParent(nullptr);
}

TEST_F(RadioGroupTest, TheGroupHearsItsButtonsMouse)
{
    AddItems({"一", "二"}, false);
    TPoint at{-1, -1};
    Edit->OnMouseDown = [&](TObject* s, TMouseButton, TShiftState, int x, int y) {
        EXPECT_EQ(s, Edit);
        at = TPoint{x, y};
    };
    TcxCustomRadioGroupButton* b = Edit->RadioButton(1);
    GuiTest::MouseDown(b, mbLeft, TPoint{4, 5});
    GuiTest::MouseUp(b, mbLeft, TPoint{4, 5});
    EXPECT_EQ(at.X, b->Left() + 4);
    EXPECT_EQ(at.Y, b->Top() + 5);
}

// A radio group in Chinese in the three looks, and one drawn in place: editors_radio_groups.png.
TEST_F(RadioGroupTest, PaintsTheLooks)
{
    delete Edit;
    Edit = nullptr;
    Form->SetBounds(100, 100, 640, 300);
    const TcxLookAndFeelKind kinds[3] = {lfStandard, lfFlat, lfUltraFlat};
    const TcxEditBorderStyle borders[3] = {ebs3D, ebsFlat, ebsUltraFlat};
    const TcxCaptionAlignment captions[3] = {alTopLeft, alTopCenter, alLeftCenter};
    std::vector<TcxRadioGroup*> groups;
    for (int i = 0; i < 3; ++i) {
        auto* g = new TcxRadioGroup(Form);
        g->SetParent(Form);
        g->SetBounds(10 + i * 210, 10, 200, 130);
        g->Style()->LookAndFeel()->SetKind(kinds[i]);
        g->EditStyle()->SetEditBorderStyle(borders[i]);
        g->Style()->Font()->SetName("宋体");
        g->Style()->Font()->SetSize(10);
        g->SetCaption("考试科目");
        g->SetAlignment(captions[i]);
        g->Properties()->SetColumns(2);
        for (const char* c : {"科目一", "科目二", "科目三", "科目四", "路考"})
            g->Properties()->Items()->Add()->SetCaption(c);
        g->SetItemIndex(i + 1);
        groups.push_back(g);
    }
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Form));
    ASSERT_TRUE(shot);
    // In place: the view info draws the glyphs and captions itself.
    TcxRadioGroupProperties p;
    p.SetColumns(3);
    for (const char* c : {"合格", "不合格", "缺考"}) p.Items()->Add()->SetCaption(c);
    TcxGroupBoxStyle style(nullptr, true);
    style.Font()->SetName("宋体");
    style.Font()->SetSize(10);
    auto data = p.CreateViewData(&style, true);
    TcxCustomRadioGroupViewInfo vi;
    TcxCanvas canvas(shot->Canvas());
    TRect cell{10, 160, 400, 184};
    data->Calculate(&canvas, cell, TPoint{-1, -1}, 0, {}, &vi, false);
    data->PrepareDrawValue(&canvas, Variant("不合格"), &vi);
    EXPECT_EQ(vi.ItemIndex, 1);
    vi.Paint(&canvas);
    // Each group's chosen button is checked, the others not.
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 5; ++k) EXPECT_EQ(groups[size_t(i)]->RadioButton(k)->Checked(), k == i + 1);
    EXPECT_TRUE(GuiTest::SavePng(shot.get(), std::string(QZ_BINARY_DIR) + "/editors_radio_groups.png"));
}
