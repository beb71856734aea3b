#include "cxHyperLinkEdit.h"

#include "EditOnForm.h"
#include "RecordingHost.h"

namespace {

class HyperLinkTest : public TEditOnForm<TcxHyperLinkEdit> {
protected:
    std::vector<THostCall> Opened() const { return Host->CallsOf(THostCallKind::ShellExecute); }
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
};

}  // namespace

TEST(HyperLink, SafeLinks)
{
    struct Case {
        const char* Text;
        bool Safe;
    };
    const Case cases[] = {
        {"http://example.org", true}, {"  HTTPS://驾校.cn/报名", true}, {"ftp://files/a.zip", true},
        {"mailto:office@school.cn", true}, {"http://", false}, {"mailto:", false},
        {"/bin/sh", false}, {"C:\\Windows\\notepad.exe", false}, {"file:///etc/passwd", false},
        {"javascript:alert(1)", false}, {"www.example.org", false}, {"httpx://a", false}, {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(cxHyperLinkEdit::IsSafeLink(c.Text), c.Safe) << c.Text;
}

TEST_F(HyperLinkTest, StartOpensAddressesAndAsksForAnythingElse)
{
    struct Case {
        const char* Text;
        int Answer;        // 0: no question expected
        bool Opens;
    };
    const Case cases[] = {
        {" http://example.org/a b", 0, true},   // handed over exactly as it stands
        {"mailto:office@school.cn", 0, true},
        {"   ", 0, false},
        {"/bin/sh", mrNo, false},
        {"/home/user/报名表.xls", mrYes, true},
        {"javascript:alert(1)", mrCancel, false},
    };
    for (const Case& c : cases) {
        Host->Calls.clear();
        if (c.Answer) Host->QueueMessageDlg(c.Answer);
        Edit->SetEditValue(Variant(c.Text));
        Edit->DoStart();
        auto dialogs = Host->CallsOf(THostCallKind::MessageDlg);
        EXPECT_EQ(dialogs.size(), c.Answer ? 1u : 0u) << c.Text;
        auto opened = Opened();
        ASSERT_EQ(opened.size(), c.Opens ? 1u : 0u) << c.Text;
        if (c.Opens) {
            EXPECT_EQ(opened[0].Text, c.Text);
            EXPECT_EQ(opened[0].Caption, "OPEN");
            EXPECT_EQ(opened[0].Value, "");
            EXPECT_EQ(opened[0].Flags, SW_SHOWMAXIMIZED);
        }
    }
    // A handler of its own replaces the shell entirely.
    int handled = 0;
    Edit->Properties()->OnStartClick = [&](TObject* s) {
        EXPECT_EQ(s, Edit);
        ++handled;
    };
    Host->Calls.clear();
    Edit->SetEditValue(Variant("/bin/sh"));
    Edit->DoStart();
    EXPECT_EQ(handled, 1);
    EXPECT_TRUE(Host->Calls.empty());
}

TEST_F(HyperLinkTest, KeysAndClicksThatStartTheLink)
{
    Edit->SetEditValue(Variant("http://example.org"));
    Edit->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyPress(VK_RETURN, TShiftState{ssCtrl});
    EXPECT_EQ(Opened().size(), 1u);
    GuiTest::KeyPress(VK_RETURN);   // Enter alone is not the start key
    EXPECT_EQ(Opened().size(), 1u);

    TPoint p{20, 10};
    GuiTest::Click(Edit->InnerEdit(), p);
    EXPECT_EQ(Opened().size(), 1u);   // a single click only places the caret
    GuiTest::DoubleClick(Edit->InnerEdit(), p);
    EXPECT_EQ(Opened().size(), 2u);

    Edit->Properties()->SetSingleClick(true);
    Edit->InnerEdit()->SetSelLength(0);
    GuiTest::Click(Edit->InnerEdit(), p);
    EXPECT_EQ(Opened().size(), 3u);
    Edit->Properties()->SetStartKey(0);   // no start key at all
    GuiTest::KeyPress(VK_RETURN, TShiftState{ssCtrl});
    EXPECT_EQ(Opened().size(), 3u);
}

TEST_F(HyperLinkTest, SingleClickShowsTheHandWhileTheMouseIsOver)
{
    Edit->SetCursor(crIBeam);
    Edit->Properties()->SetSingleClick(true);
    Edit->Perform(CM_MOUSEENTER, 0, LPARAM(static_cast<TControl*>(Edit)));
    EXPECT_EQ(Edit->Cursor(), crHandPoint);
    EXPECT_EQ(Edit->InnerEdit()->Cursor(), crHandPoint);
    Edit->Perform(CM_MOUSELEAVE, 0, LPARAM(static_cast<TControl*>(Edit)));
    EXPECT_EQ(Edit->Cursor(), crIBeam);
    EXPECT_EQ(Edit->InnerEdit()->Cursor(), crIBeam);
}

TEST(HyperLink, LooksLikeALinkUnlessDrawnInASelectedCell)
{
    TcxHyperLinkEditProperties p;
    p.SetLinkColor(clMaroon);
    EXPECT_FALSE(p.AutoSelect());
    EXPECT_EQ(p.GetSupportedOperations() & 1, 0);
    p.SetSingleClick(true);
    EXPECT_EQ(p.GetSupportedOperations() & 1, 1);
    TcxEditStyle style(nullptr, true);
    auto data = p.CreateViewData(&style, true);
    TcxHyperLinkEditViewInfo vi;
    data->Calculate(nullptr, TRect{0, 0, 100, 20}, TPoint{-1, -1}, 0, {}, &vi, false);
    EXPECT_TRUE(vi.IsHotTrack());
    TBitmap b;
    b.SetSize(4, 4);
    vi.TextColor = clHighlightText;
    vi.PrepareCanvasFont(b.Canvas());
    EXPECT_TRUE(b.Canvas()->Font()->Style().Contains(fsUnderline));
    EXPECT_EQ(b.Canvas()->Font()->Color(), clMaroon);
    vi.EditorFlag = true;   // the host draws the cell selected
    vi.PrepareCanvasFont(b.Canvas());
    EXPECT_EQ(b.Canvas()->Font()->Color(), clHighlightText);
}
