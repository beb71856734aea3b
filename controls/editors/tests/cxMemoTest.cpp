#include "cxMemo.h"

#include "Clipbrd.h"
#include "TypInfo.h"
#include "EditOnForm.h"
#include "Windows.h"

#include <gtest/gtest.h>

TEST(MemoLineBreaks, PairsStayAndBareBreaksBecomePairs)
{
    struct Case {
        const char* In;
        const char* Out;
    };
    const Case cases[] = {
        {"a\r\n\r\nb", "a\r\n\r\nb"},   // a blank line between paragraphs arrives as it is
        {"a\nb", "a\r\nb"},
        {"a\rb", "a\r\nb"},
        {"\n\r", "\r\n\r\n"},           // LF then CR: two breaks
        {"a\r\n", "a\r\n"},
        {"\r\r\n", "\r\n\r\n"},
        {"无换行", "无换行"},
    };
    for (const Case& c : cases) EXPECT_EQ(cxMemo::NormalizeLineBreaks(c.In), c.Out) << c.In;
}

// The settings a stored form writes and reads back.
TEST(MemoProperties, ThePublishedSettingsGoByName)
{
    TcxMemoProperties p;
    EXPECT_EQ(GetEnumProp(&p, "ScrollBars"), "ssNone");
    SetEnumProp(&p, "ScrollBars", "ssBoth");
    EXPECT_EQ(p.ScrollBars(), ssBoth);
    SetEnumProp(&p, "ScrollBars", "ssVertical");
    EXPECT_EQ(GetEnumProp(&p, "ScrollBars"), "ssVertical");
}

TEST(MemoProperties, DisplayTextFlagsAndOffsets)
{
    TcxMemoProperties p;
    EXPECT_EQ(p.GetDisplayText(Variant("第一行\r\n第二行\r\n第三行")), "第一行");
    EXPECT_EQ(p.GetDisplayText(Variant("one\r\ntwo"), true), "one\r\ntwo");
    std::string longLine(300, 'x');
    EXPECT_EQ(p.GetDisplayText(Variant(longLine)), std::string(250, 'x'));
    // A break after the first 250 characters does not count.
    EXPECT_EQ(p.GetDisplayText(Variant(longLine + "\r\nmore")), std::string(250, 'x'));
    EXPECT_EQ(p.Alignment()->Vert(), taTopJustify);
    EXPECT_FALSE(p.AutoSelect());
    EXPECT_TRUE(p.IsMultiLine());

    TcxEditStyle style(nullptr, true);
    struct Case {
        TAlignment Align;
        bool WordWrap;
        TScrollStyle Bars;
        int Flags;
        TRect Offsets;
    };
    const Case cases[] = {
        {taLeftJustify, true, ssNone, 0x4000 | 0x40 | 0x100 | 0x20000, {1, 1, 1, 1}},
        {taRightJustify, true, ssVertical, 0x4000 | 0x40 | 0x2 | 0x100 | 0x20000, {0, 1, 2, 1}},
        {taCenter, true, ssBoth, 0x4000 | 0x40 | 0x1 | 0x100, {1, 1, 1, 1}},
        {taLeftJustify, false, ssNone, 0x4000 | 0x40 | 0x100, {1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        p.Alignment()->SetHorz(c.Align);
        p.SetWordWrap(c.WordWrap);
        p.SetScrollBars(c.Bars);
        auto data = p.CreateViewData(&style, false);
        TcxCustomEditViewInfo vi;
        data->Calculate(nullptr, TRect{0, 0, 100, 50}, TPoint{-1, -1}, 0, TShiftState{}, &vi, false);
        auto* md = static_cast<TcxCustomMemoViewData*>(data.get());
        EXPECT_EQ(md->GetTextFlags(), c.Flags) << c.Align << c.WordWrap << c.Bars;
        EXPECT_EQ(md->GetTextOffsets(), c.Offsets) << c.Align;
    }
}

namespace {
class MemoTest : public TEditOnForm<TcxMemo> {
protected:
    void Focus()
    {
        Edit->SetFocus();
        GuiTest::ProcessEvents();
    }
    std::string Value() { return VarToStr(Edit->EditValue()); }
};
}  // namespace

TEST_F(MemoTest, PastedParagraphsArriveUnchanged)
{
    Focus();
    Clipboard()->SetAsText("第一段\r\n\r\n第二段");
    Edit->InnerEdit()->Perform(WM_PASTE);
    EXPECT_EQ(Value(), "第一段\r\n\r\n第二段");
    EXPECT_EQ(Edit->Lines()->Count(), 3);
    Edit->SelectAll();
    Clipboard()->SetAsText("x\n\ry");
    Edit->InnerEdit()->Perform(WM_PASTE);
    EXPECT_EQ(Value(), "x\r\n\r\ny");
}

TEST_F(MemoTest, EnterAndTabFollowWantReturnsAndWantTabs)
{
    EXPECT_EQ(Edit->Width(), 185);
    EXPECT_EQ(Edit->Height(), 89);
    Focus();
    GuiTest::TypeText("ab");
    GuiTest::KeyPress(VK_RETURN);
    GuiTest::TypeText("c");
    EXPECT_EQ(Value(), "ab\r\nc");
    EXPECT_EQ(Edit->Lines()->Count(), 2);
    EXPECT_EQ(Edit->Lines()->Strings(1), "c");

    Edit->Properties()->SetWantReturns(false);
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_EQ(Value(), "ab\r\nc");
    GuiTest::KeyPress(VK_RETURN, TShiftState{ssCtrl});
    EXPECT_EQ(Value(), "ab\r\nc\r\n");

    Edit->Properties()->SetWantTabs(true);
    EXPECT_TRUE(Edit->Properties()->HandlesTabKey());
    GuiTest::KeyPress(VK_TAB);
    EXPECT_EQ(Value(), "ab\r\nc\r\n\t");
}

TEST_F(MemoTest, CtrlASelectsAllButNotWithAlt)
{
    Edit->Lines()->SetText("一\r\n二");
    Focus();
    Edit->SetSelStart(0);
    Edit->SetSelLength(0);
    GuiTest::KeyPress('A', TShiftState{ssCtrl, ssAlt});
    EXPECT_EQ(Edit->SelLength(), 0);
    GuiTest::KeyPress('A', TShiftState{ssCtrl});
    EXPECT_EQ(Edit->SelLength(), 4);
    EXPECT_EQ(Value(), "一\r\n二");
}

TEST_F(MemoTest, MaxLengthCutsWhatIsPasted)
{
    Edit->Properties()->SetMaxLength(5);
    Focus();
    Clipboard()->SetAsText("一二三四五六七");
    Edit->InnerEdit()->Perform(WM_PASTE);
    EXPECT_EQ(Value(), "一二三四五");
    Edit->InnerEdit()->Perform(WM_PASTE);   // no room: nothing
    EXPECT_EQ(Value(), "一二三四五");
}

TEST_F(MemoTest, LinesAndScrollBarsReachTheInnerEdit)
{
    TStringList l;
    l.Add("甲");
    l.Add("乙");
    Edit->SetLines(&l);
    EXPECT_EQ(Value(), "甲\r\n乙\r\n");
    Edit->Properties()->SetScrollBars(ssBoth);
    GuiTest::ProcessEvents();
    EXPECT_EQ(Value(), "甲\r\n乙\r\n");   // the window was made again, the text kept
    EXPECT_TRUE(TcxCustomMemo::IsNavigationKey(VK_HOME, true));
    EXPECT_FALSE(TcxCustomMemo::IsNavigationKey(VK_UP, true));
    EXPECT_TRUE(TcxCustomMemo::IsNavigationKey(VK_UP, false));
    EXPECT_TRUE(Edit->CanKeyDownModifyEdit(VK_RETURN, {}));
    EXPECT_FALSE(Edit->CanKeyDownModifyEdit(VK_TAB, {}));
    EXPECT_FALSE(Edit->CanSendActivationKey('\r'));
    EXPECT_TRUE(Edit->CanSendActivationKey('a'));
}

// The painter bars stand over the inner memo's own and follow it as lines are
// typed and as either of them scrolls; only the bars asked for show.
TEST_F(MemoTest, PainterBarsFollowTheInnerMemo)
{
    Edit->SetBounds(10, 10, 160, 80);
    Edit->Properties()->SetScrollBars(ssVertical);
    GuiTest::ProcessEvents();
    TcxScrollBar* bar = Edit->VScrollBar();
    HWND inner = Edit->InnerEdit()->Handle();
    Focus();
    for (int i = 0; i < 12; ++i) {
        Edit->SetSelText(std::string("第") + std::to_string(i) + "行\r\n");
    }
    GuiTest::ProcessEvents();
    ASSERT_TRUE(bar->Visible());
    EXPECT_FALSE(Edit->HScrollBar()->Visible());
    TScrollBarInfo info;
    ASSERT_TRUE(GetScrollBarInfo(inner, OBJID_VSCROLL, &info));
    EXPECT_EQ(Edit->ClientToScreen(bar->BoundsRect().TopLeft()), info.rcScrollBar.TopLeft());
    TScrollInfo si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(inner, SB_VERT, &si));
    EXPECT_EQ(bar->Max(), si.nMax);
    EXPECT_EQ(bar->Position(), si.nPos);
    EXPECT_GT(si.nPos, 0);   // the caret at the end scrolled the memo down

    // The painter bar scrolls the memo line by line, and by pages.
    bar->Scroll(scTop);
    EXPECT_EQ(GetScrollPos(inner, SB_VERT), 0);
    EXPECT_EQ(bar->Position(), 0);
    bar->Scroll(scLineDown);
    EXPECT_EQ(Edit->InnerEdit()->Perform(EM_GETFIRSTVISIBLELINE), 1);
    EXPECT_EQ(bar->Position(), 1);
    bar->Scroll(scLineUp);
    EXPECT_EQ(Edit->InnerEdit()->Perform(EM_GETFIRSTVISIBLELINE), 0);
    // Keys that scroll the memo itself move the painter bar too.
    Key(VK_HOME, TShiftState{ssCtrl});
    Key(VK_NEXT);
    Key(VK_NEXT);
    EXPECT_GT(Edit->InnerEdit()->Perform(EM_GETFIRSTVISIBLELINE), 0);
    EXPECT_EQ(bar->Position(), GetScrollPos(inner, SB_VERT));

    // Emptying the text leaves nothing to scroll over.
    Edit->Clear();
    GuiTest::ProcessEvents();
    ASSERT_TRUE(GetScrollInfo(inner, SB_VERT, &si));
    EXPECT_EQ(bar->Position(), 0);
    EXPECT_EQ(bar->Max(), si.nMax);

    struct Case {
        TScrollStyle Bars;
        bool Horz, Vert;
    } cases[] = {{ssNone, false, false}, {ssHorizontal, true, false}, {ssBoth, true, true}};
    for (const Case& c : cases) {
        Edit->Properties()->SetScrollBars(c.Bars);
        GuiTest::ProcessEvents();
        EXPECT_EQ(Edit->HScrollBar()->Visible(), c.Horz) << int(c.Bars);
        EXPECT_EQ(Edit->VScrollBar()->Visible(), c.Vert) << int(c.Bars);
    }
}

// Memos with both scroll bars in the four looks: the painter bars stand over
// the memo's own and the corner between them is the button face. Written as
// editors_memos.png.
TEST_F(MemoTest, PaintsTheLooksWithScrollBars)
{
    delete Edit;
    Edit = nullptr;
    Form->SetBounds(100, 100, 560, 150);
    const TcxLookAndFeelKind kinds[4] = {lfStandard, lfFlat, lfUltraFlat, lfStandard};
    std::vector<TcxMemo*> memos;
    for (int look = 0; look < 4; ++look) {
        auto* m = new TcxMemo(Form);
        m->SetParent(Form);
        m->SetBounds(10 + look * 135, 10, 125, 110);
        m->EditStyle()->LookAndFeel()->SetKind(kinds[look]);
        if (look == 3) m->EditStyle()->LookAndFeel()->SetNativeStyle(true);
        m->Properties()->SetScrollBars(ssBoth);
        TStringList lines;
        for (int i = 1; i <= 12; ++i) lines.Add("第" + std::to_string(i) + "课时 倒车入库与侧方停车练习");
        m->SetLines(&lines);
        memos.push_back(m);
    }
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Form));
    ASSERT_TRUE(shot);
    for (TcxMemo* m : memos) {
        ASSERT_TRUE(m->HScrollBar()->Visible() && m->VScrollBar()->Visible()) << m->Left();
        const TRect h = m->HScrollBar()->BoundsRect(), v = m->VScrollBar()->BoundsRect();
        const TPoint corner{m->Left() + (v.Left + v.Right) / 2, m->Top() + (h.Top + h.Bottom) / 2};
        EXPECT_EQ(ColorToRGB(shot->Canvas()->Pixels(corner.X, corner.Y)), ColorToRGB(clBtnFace)) << m->Left();
    }
    EXPECT_TRUE(GuiTest::SavePng(shot.get(), std::string(QZ_BINARY_DIR) + "/editors_memos.png"));
}
