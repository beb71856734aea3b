// A small form with a control of its own: it paints a frame, a line of text
// and an image-list glyph, takes the focus and the mouse when clicked, moves
// its text with the arrow keys and with a timer, and shows a message box on
// Enter. Driven headless; the same test runs once more on a real X server.
#include "ExtCtrls.h"
#include "Forms.h"
#include "GuiTesting.h"
#include "ImgList.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

namespace {

class TTicker : public TCustomControl {
    QZ_CLASS(TTicker, TCustomControl)
public:
    explicit TTicker(TComponent* owner = nullptr) : TCustomControl(owner)
    {
        SetBounds(0, 0, 160, 40);
        SetTabStop(true);
        FTimer = new TTimer(this);
        FTimer->SetEnabled(false);
        FTimer->SetInterval(50);
        FTimer->OnTimer = [this](TObject*) { Scroll(1); };
    }
    TImageList* Images = nullptr;
    int Offset = 0;
    bool CapturedOnPress = false;
    std::vector<UINT> Received;
    std::string Text = "恒岳 ABC";
    TTimer* Timer() const { return FTimer; }

    void Scroll(int dx)
    {
        Offset += dx;
        Invalidate();
    }

protected:
    void WndProc(TMessage& m) override
    {
        if (m.Msg < WM_USER) Received.push_back(m.Msg);
        TCustomControl::WndProc(m);
    }
    void Paint() override
    {
        TCanvas* c = Canvas();
        c->Brush()->SetColor(clWhite);
        c->FillRect(ClientRect());
        c->Brush()->SetColor(clNavy);
        c->FrameRect(ClientRect());
        if (Images) Images->Draw(c, 4, 4, 0);
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(clBlack);
        c->TextOut(30 + Offset, 10, Text);
        if (Focused()) c->DrawFocusRect(Rect(2, 2, Width() - 2, Height() - 2));
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override
    {
        CapturedOnPress = MouseCapture();
        SetFocus();
        TCustomControl::MouseDown(b, s, x, y);
    }
    void KeyDown(WORD& key, TShiftState shift) override
    {
        switch (key) {
        case VK_LEFT: Scroll(-5); key = 0; break;
        case VK_RIGHT: Scroll(5); key = 0; break;
        case VK_SPACE: FTimer->SetEnabled(!FTimer->Enabled()); key = 0; break;
        case VK_RETURN:
            Application->MessageBox("位置 " + std::to_string(Offset), "恒岳驾校", MB_OK | MB_ICONINFORMATION);
            key = 0;
            break;
        default: TCustomControl::KeyDown(key, shift); break;
        }
    }
    void WMGetDlgCode(TMessage& m) { m.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS; }
    void WMSetFocus(TMessage& m)
    {
        inherited::Dispatch(m);
        Invalidate();
    }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
        QZ_MESSAGE_HANDLER(WM_SETFOCUS, WMSetFocus)
    QZ_END_MESSAGE_MAP

private:
    TTimer* FTimer;
};
QZ_CLASS_IMPL(TTicker, TCustomControl)

// Columns of the control that hold text ink (not white, not the frame).
std::pair<int, int> InkColumns(TWinControl* c)
{
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(c));
    int first = -1, last = -1;
    for (int x = 24; x < shot->Width() - 3; ++x)
        for (int y = 6; y < shot->Height() - 6; ++y) {
            TColor p = shot->Canvas()->Pixels(x, y);
            if (p != clWhite && p != clNavy && p != clBlack + 0x808080) {
                if (first < 0) first = x;
                last = x;
                break;
            }
        }
    return {first, last};
}

TEST(DemoForm, PaintsReactsToInputScrollsAndShowsAMessage)
{
    GuiTest::Init();
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    GuiTest::TManualTime clock;

    auto* form = new TForm(nullptr);
    form->SetCaption("演示");
    form->SetBounds(50, 50, 240, 120);
    TImageList images(16, 16);
    TBitmap glyph(16, 16);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect(Rect(0, 0, 16, 16));
    glyph.Canvas()->Brush()->SetColor(clRed);
    glyph.Canvas()->FillRect(Rect(4, 4, 12, 12));
    images.AddMasked(&glyph, clFuchsia);
    auto* t = new TTicker(form);
    t->SetParent(form);
    t->SetBounds(20, 20, 180, 40);
    t->Images = &images;
    auto* other = new TTicker(form);
    other->SetParent(form);
    other->SetBounds(20, 70, 60, 20);
    form->SetActiveControl(other);
    form->Show();
    GuiTest::ProcessEvents();

    // Pixels: the frame, the glyph and the text.
    EXPECT_EQ(GuiTest::PixelAt(t, Point(0, 0)), clNavy);
    EXPECT_EQ(GuiTest::PixelAt(t, Point(179, 39)), clNavy);
    EXPECT_EQ(GuiTest::PixelAt(t, Point(10, 10)), clRed);    // inside the glyph
    EXPECT_EQ(GuiTest::PixelAt(t, Point(5, 5)), clWhite);    // masked corner of the glyph
    auto ink = InkColumns(t);
    ASSERT_GE(ink.first, 30);
    EXPECT_GT(ink.second, ink.first + 20);

    // A click gives the focus and holds the mouse while pressed.
    EXPECT_FALSE(t->Focused());
    GuiTest::Click(t, Point(100, 20));
    EXPECT_TRUE(t->Focused());
    EXPECT_TRUE(t->CapturedOnPress);
    EXPECT_FALSE(t->MouseCapture());
    EXPECT_EQ(form->ActiveControl(), t);
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_SETFOCUS, WM_PAINT})
        EXPECT_NE(std::find(t->Received.begin(), t->Received.end(), m), t->Received.end()) << m;

    // Arrow keys are the control's own (it wants them), not focus moves.
    GuiTest::KeyPress(VK_RIGHT);
    GuiTest::KeyPress(VK_RIGHT);
    EXPECT_EQ(t->Offset, 10);
    EXPECT_TRUE(t->Focused());
    GuiTest::ProcessEvents();
    auto moved = InkColumns(t);
    EXPECT_EQ(moved.first, ink.first + 10);

    // Space starts the timer: 10 ticks of 50 ms move the text 10 pixels.
    GuiTest::KeyPress(VK_SPACE);
    clock.Advance(500);
    EXPECT_EQ(t->Offset, 20);
    GuiTest::KeyPress(VK_SPACE);
    clock.Advance(500);
    EXPECT_EQ(t->Offset, 20);
    EXPECT_EQ(InkColumns(t).first, ink.first + 20);

    // Enter shows the message box with the position.
    GuiTest::KeyPress(VK_RETURN);
    auto boxes = host->CallsOf(THostCallKind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, "位置 20");
    EXPECT_EQ(boxes[0].Caption, "恒岳驾校");

    // Tab still leaves it (it does not ask for tabs).
    GuiTest::KeyPress(VK_TAB);
    EXPECT_TRUE(other->Focused());

    // What it paints, as operations with their clip: the frame, the glyph, the text.
    TRecordingCanvas rc(240, 120);
    t->PaintTo(&rc, 20, 20);
    const TCanvasOp* frame = rc.Find("FrameRect");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Rect, Rect(20, 20, 200, 60));
    EXPECT_EQ(frame->ClipBox, Rect(20, 20, 200, 60));
    const TCanvasOp* glyphOp = rc.Find("ImageListDraw");
    ASSERT_NE(glyphOp, nullptr);
    EXPECT_EQ(glyphOp->Rect, Bounds(24, 24, 16, 16));
    const TCanvasOp* text = rc.Find("TextOut");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Text, "恒岳 ABC");
    EXPECT_EQ(text->Points.at(0), Point(20 + 30 + 20, 30));
    EXPECT_EQ(rc.Pixels(21, 21), clWhite);
    EXPECT_EQ(rc.Pixels(20, 20), clNavy);

    const char* dir = QZ_BINARY_DIR;
    EXPECT_TRUE(GuiTest::SavePng(form, std::string(dir) + (getenv("DISPLAY") ? "/gui_demo_form_x11.png" : "/gui_demo_form.png")));
    delete form;
    GuiTest::ProcessEvents();
}

// The same form on a real X server, when one can be started here.
TEST(DemoForm, RunsTheSameOnARealDisplay)
{
    std::string out;
    int rc = GuiTest::RunUnderX("DemoForm.PaintsReactsToInputScrollsAndShowsAMessage", out);
    if (rc < 0) GTEST_SKIP() << "no X server to run on";
    EXPECT_EQ(rc, 0) << out;
}

} // namespace
