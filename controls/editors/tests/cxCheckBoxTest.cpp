#include "cxCheckBox.h"

#include "ActnList.h"
#include "EditOnForm.h"

namespace {

class CheckBoxTest : public TEditOnForm<TcxCheckBox> {
protected:
    void SetUp() override
    {
        TEditOnForm::SetUp();
        Box = Edit;
        Box->SetBounds(10, 10, 160, 24);
        Other = new TcxCheckBox(Form);
        Other->SetParent(Form);
        Other->SetBounds(10, 60, 160, 24);
        GuiTest::ProcessEvents();
        Box->OnClick = [this](TObject*) { ++Clicks; };
    }
    TPoint CheckCentre() const
    {
        const TRect& k = Box->CheckViewInfo()->CheckBoxRect;
        return TPoint{(k.Left + k.Right) / 2, (k.Top + k.Bottom) / 2};
    }
    TcxCheckBox* Box = nullptr;
    TcxCheckBox* Other = nullptr;
    int Clicks = 0;
};

}  // namespace

TEST(CheckBoxProperties, ValuesMapToStatesAndTexts)
{
    TcxCheckBoxProperties p;
    p.SetValueChecked(Variant("Y"));
    p.SetValueUnchecked(Variant("N"));
    p.SetDisplayGrayed("?");
    struct Case {
        Variant Value;
        TcxCheckBoxState State;
        const char* Text;
        bool Valid;
    };
    const Case cases[] = {
        {Variant("Y"), cbsChecked, "True", true},
        {Variant("N"), cbsUnchecked, "False", true},
        {Variant("X"), cbsGrayed, "?", false},
        {Null(), cbsGrayed, "?", true},   // Null is the grayed value
        {Variant(true), cbsGrayed, "?", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(VarToStr(c.Value));
        EXPECT_EQ(p.GetState(c.Value), c.State);
        EXPECT_EQ(p.GetDisplayText(c.Value), c.Text);
        EXPECT_EQ(p.IsEditValueValid(c.Value), c.Valid);
        Variant shown;
        p.PrepareDisplayValue(c.Value, shown, false);
        EXPECT_EQ(shown.AsInteger(), int(c.State));
    }
    // A Boolean compares with a text value as its text.
    TcxCheckBoxProperties q;
    q.SetValueChecked(Variant("True"));
    EXPECT_EQ(q.GetState(Variant(true)), cbsChecked);
    EXPECT_EQ(q.GetState(Variant(false)), cbsUnchecked);
    EXPECT_EQ(VarToStr(q.StateToValue(cbsChecked)), "True");
}

TEST(CheckBoxProperties, StateValuesStayDistinct)
{
    TcxCheckBoxProperties p;
    int changes = 0;
    p.OnPropertiesChanged = [&](TObject*) { ++changes; };
    p.SetValueChecked(Variant(false));   // the unchecked value: refused
    p.SetValueChecked(Null());           // Null: refused
    p.SetValueUnchecked(Variant(true));
    EXPECT_TRUE(cxEdit::VarEqualsExact(p.ValueChecked(), Variant(true)));
    EXPECT_TRUE(cxEdit::VarEqualsExact(p.ValueUnchecked(), Variant(false)));
    EXPECT_EQ(changes, 0);
    p.SetValueGrayed(Variant(2));
    p.SetValueChecked(Variant(1));
    p.SetValueUnchecked(Variant(0));
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(p.IsValueCheckedStored());
    EXPECT_TRUE(p.IsValueGrayedStored());
    // Assign copies the three at once, even when they trade places.
    TcxCheckBoxProperties q;
    q.SetValueChecked(Variant(0));
    q.SetValueUnchecked(Variant(1));
    q.Assign(&p);
    EXPECT_EQ(q.ValueChecked().AsInteger(), 1);
    EXPECT_EQ(q.ValueUnchecked().AsInteger(), 0);
    EXPECT_EQ(q.ValueGrayed().AsInteger(), 2);
    // The defaults are not stored.
    TcxCheckBoxProperties d;
    EXPECT_FALSE(d.IsValueCheckedStored());
    EXPECT_FALSE(d.IsValueUncheckedStored());
    EXPECT_FALSE(d.IsValueGrayedStored());
    EXPECT_FALSE(d.IsDisplayCheckedStored());
}

TEST(CheckBoxProperties, CaptionTextFlags)
{
    struct Case {
        TAlignment Alignment;
        bool MultiLine, Inplace;
        int Flags;
    };
    const Case cases[] = {
        {taLeftJustify, false, false, ctfLeft | ctfSingleLine | ctfShowPrefix | ctfCenterV},
        {taRightJustify, false, false, ctfRight | ctfSingleLine | ctfShowPrefix | ctfCenterV},
        {taCenter, false, false, ctfCenterH | ctfSingleLine | ctfShowPrefix | ctfCenterV},
        {taLeftJustify, true, false, ctfLeft | ctfShowPrefix | ctfNoClip | ctfWordBreak | ctfTop},
        {taLeftJustify, true, true, ctfCenterH | ctfShowPrefix | ctfNoClip | ctfWordBreak | ctfCenterV},
    };
    for (const Case& c : cases) {
        TcxCheckBoxProperties p;
        p.Alignment()->SetHorz(c.Alignment);
        p.SetMultiLine(c.MultiLine);
        TcxCheckBoxStyle style(nullptr, true);
        TcxCustomCheckBoxViewData d(&p, &style, c.Inplace);
        EXPECT_EQ(d.GetCaptionTextFlags(), c.Flags) << int(c.Alignment) << c.MultiLine << c.Inplace;
    }
}

// Where the mark and the caption go, stand-alone and in a cell.
TEST(CheckBoxProperties, LayoutByAlignment)
{
    struct Case {
        TAlignment Alignment;
        bool Inplace;
        TRect Check, Text;
    };
    // 100 x 21; stand-alone the client is 2 pixels in and both parts another
    // 2; the system mark is 13 pixels.
    const Case cases[] = {
        {taLeftJustify, false, {4, 4, 17, 17}, {20, 4, 96, 17}},
        {taRightJustify, false, {83, 4, 96, 17}, {4, 4, 80, 17}},
        {taCenter, false, {43, 4, 56, 17}, {4, 4, 96, 17}},
        {taLeftJustify, true, {43, 4, 56, 17}, {0, 0, 100, 21}},   // centred in place
    };
    for (const Case& c : cases) {
        TcxCheckBoxProperties p;
        p.Alignment()->SetHorz(c.Alignment);
        p.SetCaption("驾照");
        TcxCheckBoxStyle style(nullptr, true);
        style.SetEditBorderStyle(ebsNone);
        TcxCustomCheckBoxViewData d(&p, &style, c.Inplace);
        TcxCustomCheckBoxViewInfo vi;
        d.Calculate(nullptr, TRect{0, 0, 100, 21}, TPoint{-1, -1}, 0, {}, &vi, false);
        SCOPED_TRACE(int(c.Alignment));
        EXPECT_EQ(vi.CheckBoxRect, c.Check);
        EXPECT_EQ(vi.TextRect, c.Text);
        EXPECT_EQ(vi.Text, c.Inplace ? "" : "驾照");
    }
}

TEST_F(CheckBoxTest, ClicksCycleThroughTheStates)
{
    struct Case {
        bool AllowGrayed;
        TcxCheckBoxState Cycle[4];
    };
    const Case cases[] = {
        {false, {cbsChecked, cbsUnchecked, cbsChecked, cbsUnchecked}},
        {true, {cbsGrayed, cbsChecked, cbsUnchecked, cbsGrayed}},
    };
    for (const Case& c : cases) {
        Box->SetState(cbsUnchecked);
        Box->Properties()->SetAllowGrayed(c.AllowGrayed);
        Clicks = 0;
        for (int i = 0; i < 4; ++i) {
            GuiTest::Click(Box, CheckCentre());
            EXPECT_EQ(Box->State(), c.Cycle[i]) << c.AllowGrayed << " click " << i;
        }
        EXPECT_EQ(Clicks, 4);
    }
    // The edit value is the state's value; Checked reads and writes it.
    Box->SetChecked(true);
    EXPECT_TRUE(cxEdit::VarEqualsExact(Box->EditValue(), Variant(true)));
    Box->Clear();
    EXPECT_TRUE(cxEdit::VarEqualsExact(Box->EditValue(), Variant(false)));
}

TEST_F(CheckBoxTest, PressingAndLeavingDoesNotToggle)
{
    TPoint inside = CheckCentre();
    GuiTest::MouseDown(Box, mbLeft, inside);
    EXPECT_EQ(Box->CheckViewInfo()->CheckBoxState, 2);
    GuiTest::MouseMove(Box, TPoint{300, 200}, TShiftState{ssLeft});
    EXPECT_EQ(Box->CheckViewInfo()->CheckBoxState, 0);
    GuiTest::MouseUp(Box, mbLeft, TPoint{300, 200});
    EXPECT_EQ(Box->State(), cbsUnchecked);
    EXPECT_EQ(Clicks, 0);
    // Setting the value by code fires Click once per change, not for the same state.
    Box->SetChecked(true);
    Box->SetChecked(true);
    EXPECT_EQ(Clicks, 1);
}

TEST_F(CheckBoxTest, SpaceTogglesOnReleaseUnlessTheFocusLeft)
{
    Box->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyDown(VK_SPACE);
    EXPECT_TRUE(Box->SpacePressed());
    EXPECT_EQ(Box->CheckViewInfo()->CheckBoxState, 2);
    EXPECT_EQ(Box->State(), cbsUnchecked);
    GuiTest::KeyUp(VK_SPACE);
    EXPECT_EQ(Box->State(), cbsChecked);
    EXPECT_EQ(Box->CheckViewInfo()->CheckBoxState, 0);

    GuiTest::KeyDown(VK_SPACE);
    Other->SetFocus();
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Box->SpacePressed());
    GuiTest::KeyUp(VK_SPACE);
    EXPECT_EQ(Box->State(), cbsChecked);
    EXPECT_EQ(Other->State(), cbsUnchecked);
}

TEST_F(CheckBoxTest, CaptionFallsBackToActionThenName)
{
    Box->SetName("cbPassed");
    EXPECT_EQ(Box->GetCaptionText(true), "cbPassed");
    EXPECT_EQ(Box->CheckViewInfo()->Text, "cbPassed");
    TAction action(Form);
    action.SetCaption("已通过");
    action.SetChecked(true);
    Box->SetAction(&action);
    EXPECT_EQ(Box->GetCaptionText(true), "已通过");
    EXPECT_EQ(Box->GetCaptionText(false), "cbPassed");
    EXPECT_TRUE(Box->Checked());
    EXPECT_EQ(Clicks, 0);   // taken from the action without events
    Box->Properties()->SetCaption("科目一");
    EXPECT_EQ(Box->GetCaptionText(true), "科目一");
    EXPECT_EQ(Box->CheckViewInfo()->Text, "科目一");
    Box->SetAction(nullptr);
}

TEST_F(CheckBoxTest, StateReadFromAFormIsTakenWhenLoaded)
{
    Box->SetChecked(true);
    Clicks = 0;
    // A stored state is held while reading and taken without events at the end.
    Box->SetComponentStateFlag(csLoading, true);
    Box->SetState(cbsGrayed);
    EXPECT_EQ(Box->State(), cbsChecked);
    static_cast<TComponent*>(Box)->Loaded();
    EXPECT_EQ(Box->State(), cbsGrayed);
    EXPECT_EQ(Clicks, 0);
    EXPECT_TRUE(Box->IsStateStored());
    // Read without a state: unchecked, and nothing to store.
    Other->SetChecked(true);
    Other->SetComponentStateFlag(csLoading, true);
    static_cast<TComponent*>(Other)->Loaded();
    EXPECT_EQ(Other->State(), cbsUnchecked);
    EXPECT_FALSE(Other->IsStateStored());
}

TEST_F(CheckBoxTest, AutoSizeTakesTheHeightOfMarkAndCaption)
{
    Box->Properties()->SetCaption("驾照");
    Box->SetAutoSize(true);
    Box->Style()->Font()->SetSize(24);
    Box->SetHeight(5);
    TcxCanvas* c = Box->Canvas();
    c->SetFont(Box->Style()->Font());
    int text = c->TextHeight("驾照");
    EXPECT_GE(Box->Height(), text);
    int big = Box->Height();
    Box->Style()->Font()->SetSize(8);
    Box->SetHeight(50);
    EXPECT_LT(Box->Height(), big);
    EXPECT_GE(Box->Height(), 13 + 4);   // never below the mark
}

TEST_F(CheckBoxTest, AcceleratorFocusesAndToggles)
{
    Box->Properties()->SetCaption("已缴费(&P)");
    TMessage m{CM_DIALOGCHAR, 'P', 0, 0};
    Box->Dispatch(m);
    GuiTest::ProcessEvents();
    EXPECT_EQ(m.Result, 1);
    EXPECT_TRUE(Box->Focused());
    EXPECT_TRUE(Box->Checked());
    TMessage other{CM_DIALOGCHAR, 'Q', 0, 0};
    Box->Dispatch(other);
    EXPECT_TRUE(Box->Checked());
}

// Check boxes with Chinese captions in the four looks, in each state, and
// an in-place mark: written as editors_check_boxes.png.
TEST_F(CheckBoxTest, PaintsTheLooks)
{
    delete Box;
    delete Other;
    Box = Other = Edit = nullptr;
    Form->SetBounds(100, 100, 520, 200);
    const TcxLookAndFeelKind kinds[4] = {lfStandard, lfFlat, lfUltraFlat, lfStandard};
    const TcxCheckBoxState states[3] = {cbsUnchecked, cbsChecked, cbsGrayed};
    const char* captions[3] = {"科目一 未通过", "科目二 已通过", "科目三 待定"};
    std::vector<TcxCheckBox*> boxes;
    for (int look = 0; look < 4; ++look)
        for (int s = 0; s < 3; ++s) {
            auto* b = new TcxCheckBox(Form);
            b->SetParent(Form);
            b->SetBounds(10 + s * 165, 10 + look * 40, 160, 24);
            b->Style()->LookAndFeel()->SetKind(kinds[look]);
            if (look == 3) b->Style()->LookAndFeel()->SetNativeStyle(true);
            b->Style()->Font()->SetName("宋体");
            b->Style()->Font()->SetSize(10);
            b->Properties()->SetAllowGrayed(true);
            b->Properties()->SetCaption(captions[s]);
            b->SetState(states[s]);
            boxes.push_back(b);
        }
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Form));
    ASSERT_TRUE(shot);
    // Every checked or grayed mark shows a tick, no unchecked one does.
    for (TcxCheckBox* b : boxes) {
        const TRect k = b->CheckViewInfo()->CheckBoxRect;
        int dark = 0;
        for (int y = k.Top + 3; y < k.Bottom - 3; ++y)
            for (int x = k.Left + 3; x < k.Right - 3; ++x) {
                TColor c = ColorToRGB(shot->Canvas()->Pixels(b->Left() + x, b->Top() + y));
                if (GetRValue(c) < 0xA0 && GetGValue(c) < 0xA0 && GetBValue(c) < 0xA0) ++dark;
            }
        EXPECT_EQ(dark > 0, b->State() != cbsUnchecked) << b->Properties()->Caption();
    }
    EXPECT_TRUE(GuiTest::SavePng(shot.get(), std::string(QZ_BINARY_DIR) + "/editors_check_boxes.png"));
}
