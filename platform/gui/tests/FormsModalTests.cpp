// Forms: modal loops ending through ModalResult, Enter and Esc for the
// default and cancel buttons, accelerators, tab order and WM_NEXTDLGCTL,
// key preview, close queries, release, a frameless form sized by its own
// hit-test answers, positions, stay-on-top, hints and the screen's cursor.
#include "StdCtrls.h"
#include "GuiTesting.h"
#include "QzGuiPrivate.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// A push button as the forms see it: it takes Enter when it is the
// default, Esc when it is the cancel button, and its accelerator; a click
// gives the form its modal result.
class TTestButton : public TCustomControl {
public:
    explicit TTestButton(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
    bool Default = false, Cancel = false;
    TModalResult Result = mrNone;
    int Clicks = 0;
    void Click() override
    {
        ++Clicks;
        if (TCustomForm* f = GetParentForm(this); f && Result != mrNone) f->SetModalResult(Result);
        TCustomControl::Click();
    }
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == CM_DIALOGKEY && ((m.WParam == VK_RETURN && Default) || (m.WParam == VK_ESCAPE && Cancel))) {
            Click();
            m.Result = 1;
            return;
        }
        if (m.Msg == CM_DIALOGCHAR && IsAccel(WORD(m.WParam), Caption()) && CanFocus()) {
            Click();
            m.Result = 1;
            return;
        }
        TCustomControl::Dispatch(m);
    }
};

struct FormsTest : ::testing::Test {
    std::unique_ptr<TForm> Form;
    TEdit* Edit = nullptr;
    TTestButton* Ok = nullptr;
    TTestButton* CancelBtn = nullptr;
    void SetUp() override
    {
        GuiTest::Init();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, 300, 200);
        Edit = new TEdit(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetBounds(10, 10, 120, 21);
        Ok = new TTestButton(Form.get());
        Ok->SetParent(Form.get());
        Ok->SetBounds(10, 50, 75, 25);
        Ok->SetCaption("确定(&O)");
        Ok->Default = true;
        Ok->Result = mrOk;
        CancelBtn = new TTestButton(Form.get());
        CancelBtn->SetParent(Form.get());
        CancelBtn->SetBounds(100, 50, 75, 25);
        CancelBtn->SetCaption("取消(&C)");
        CancelBtn->Cancel = true;
        CancelBtn->Result = mrCancel;
    }
};

TEST_F(FormsTest, ModalLoopEndsThroughModalResult)
{
    bool shownModal = false;
    GuiTest::Later([&] {
        shownModal = Form->FormState().Contains(fsModal) && Form->Visible();
        Form->SetModalResult(mrYes);
    });
    EXPECT_EQ(Form->ShowModal(), mrYes);
    EXPECT_TRUE(shownModal);
    EXPECT_FALSE(Form->Visible());
    EXPECT_FALSE(Form->FormState().Contains(fsModal));
    EXPECT_EQ(Application->ModalLevel(), 0);
}

TEST_F(FormsTest, EnterAndEscReachTheDefaultAndCancelButtons)
{
    Form->SetActiveControl(Edit);
    GuiTest::Later([] { GuiTest::KeyPress(VK_RETURN); });
    EXPECT_EQ(Form->ShowModal(), mrOk);
    EXPECT_EQ(Ok->Clicks, 1);
    GuiTest::Later([] { GuiTest::KeyPress(VK_ESCAPE); });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_EQ(CancelBtn->Clicks, 1);
    // A memo that wants returns keeps Enter for itself.
    auto* memo = new TMemo(Form.get());
    memo->SetParent(Form.get());
    memo->SetBounds(10, 90, 150, 60);
    Form->SetActiveControl(memo);
    GuiTest::Later([&] {
        GuiTest::KeyPress(VK_RETURN);
        GuiTest::KeyPress(VK_ESCAPE);
    });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_EQ(Ok->Clicks, 1);
    EXPECT_EQ(memo->Lines()->Count(), 1);
}

TEST_F(FormsTest, AcceleratorsClickTheirButtons)
{
    EXPECT_TRUE(IsAccel('o', "确定(&O)"));
    EXPECT_TRUE(IsAccel('O', "&Open"));
    EXPECT_FALSE(IsAccel('o', "Save && &Close"));
    EXPECT_TRUE(IsAccel('c', "Save && &Close"));
    EXPECT_TRUE(IsAccel(u'学', "&学员"));
    Form->SetActiveControl(Edit);
    GuiTest::Later([] {
        GuiTest::KeyDown('C', {ssAlt}, "c");
        GuiTest::KeyUp('C', {ssAlt});
    });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_EQ(CancelBtn->Clicks, 1);
    // Without Alt the edit takes the character as text.
    Form->Show();
    Edit->SetFocus();
    GuiTest::KeyPress('O');
    EXPECT_EQ(Ok->Clicks, 0);
    EXPECT_EQ(Edit->Text(), "o");
}

TEST_F(FormsTest, CloseQueryCanKeepTheModalFormOpen)
{
    int asked = 0;
    Form->OnCloseQuery = [&](TObject*, bool& can) { can = ++asked > 1; };
    GuiTest::Later([&] {
        Form->SetModalResult(mrOk);   // refused: the loop goes on
        GuiTest::Later([&] { Form->SetModalResult(mrAbort); });
    });
    EXPECT_EQ(Form->ShowModal(), mrAbort);
    EXPECT_EQ(asked, 2);
}

TEST_F(FormsTest, NestedModalFormsReturnInOrder)
{
    TForm inner(nullptr);
    inner.SetBounds(0, 0, 100, 80);
    TModalResult innerResult = mrNone;
    GuiTest::Later([&] {
        GuiTest::Later([&] {
            EXPECT_EQ(Application->ModalLevel(), 2);
            inner.SetModalResult(mrRetry);
        });
        innerResult = inner.ShowModal();
        Form->SetModalResult(mrIgnore);
    });
    EXPECT_EQ(Form->ShowModal(), mrIgnore);
    EXPECT_EQ(innerResult, mrRetry);
    EXPECT_THROW({ Form->Show(); Form->ShowModal(); }, EInvalidOperation);
}

TEST_F(FormsTest, TabOrderSelectNextAndNextDialogControl)
{
    Form->Show();
    Edit->SetFocus();
    GuiTest::ProcessEvents();
    EXPECT_EQ(Edit->TabOrder(), 0);
    Form->SelectNext(Edit, true, true);
    EXPECT_TRUE(Ok->Focused());
    EXPECT_EQ(Form->ActiveControl(), Ok);
    // Changing the tab order changes the way Tab goes.
    CancelBtn->SetTabOrder(0);
    Edit->SetFocus();
    GuiTest::KeyPress(VK_TAB);
    EXPECT_TRUE(Ok->Focused());
    GuiTest::KeyPress(VK_TAB);
    EXPECT_TRUE(CancelBtn->Focused());
    // Enter as Tab: an edit posts WM_NEXTDLGCTL to its owner.
    Edit->SetFocus();
    PostMessage(Form->Handle(), WM_NEXTDLGCTL, 0, 0);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Ok->Focused());
    PostMessage(Form->Handle(), WM_NEXTDLGCTL, 1, 0);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Edit->Focused());
    SendMessage(Form->Handle(), WM_NEXTDLGCTL, WPARAM(CancelBtn->Handle()), 1);
    EXPECT_TRUE(CancelBtn->Focused());
    // A control that cannot take the focus is passed over.
    Ok->SetEnabled(false);
    Edit->SetFocus();
    Form->SelectNext(Edit, true, true);
    EXPECT_TRUE(CancelBtn->Focused());
}

TEST_F(FormsTest, KeyPreviewSeesKeysFirstAndMaySwallowThem)
{
    Form->Show();
    Edit->SetFocus();
    std::vector<WORD> seen;
    Form->SetKeyPreview(true);
    Form->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        seen.push_back(key);
        if (key == VK_F1) key = 0;
    };
    Edit->OnKeyPress = [&](TObject*, char& k) {
        if (k == 'x') k = 0;
    };
    Form->OnKeyPress = [&](TObject*, char& k) {
        if (k == 'y') k = 'z';
    };
    GuiTest::KeyPress(VK_F1);
    GuiTest::KeyPress('A');
    GuiTest::KeyPress('Y');
    GuiTest::KeyPress('X');
    EXPECT_EQ(seen, (std::vector<WORD>{VK_F1, 'A', 'Y', 'X'}));
    EXPECT_EQ(Edit->Text(), "az");
    Form->SetKeyPreview(false);
    GuiTest::KeyPress('B');
    EXPECT_EQ(seen.size(), 4u);
}

TEST_F(FormsTest, ReleaseFreesTheFormOnceTheLoopIsIdle)
{
    auto* f = new TForm(nullptr);
    TWeakRef<TForm> guard(f);
    f->Show();
    f->Release();
    EXPECT_TRUE(guard);
    GuiTest::ProcessEvents();
    GuiTest::ProcessEvents();
    EXPECT_FALSE(guard);
}

// A form without a frame that answers its edges and corners, as the
// program's own forms do.
class TFramelessForm : public TForm {
public:
    using TForm::TForm;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg != WM_NCHITTEST) {
            TForm::Dispatch(m);
            return;
        }
        TPoint p = ScreenToClient(Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
        const int w = Width(), h = Height();
        if (p.X <= 9 && p.Y <= 9) m.Result = HTTOPLEFT;
        else if (p.X > w - 10 && p.Y > h - 10) m.Result = HTBOTTOMRIGHT;
        else if (p.X <= 4) m.Result = HTLEFT;
        else if (p.Y <= 4) m.Result = HTTOP;
        else if (p.X > w - 5) m.Result = HTRIGHT;
        else if (p.Y > h - 5) m.Result = HTBOTTOM;
        else TForm::Dispatch(m);
    }
};

TEST_F(FormsTest, FramelessFormSizesThroughItsOwnHitTestAnswers)
{
    TFramelessForm f(nullptr);
    f.SetBorderStyle(bsNone);
    f.SetBounds(100, 100, 200, 150);
    f.Show();
    GuiTest::ProcessEvents();
    int clicks = 0;
    f.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++clicks; };
    // The bottom-right corner: drag by (30, 20).
    GuiTest::MouseDown(&f, mbLeft, Point(195, 145));
    GuiTest::MouseMove(&f, Point(225, 165), {ssLeft});
    GuiTest::MouseUp(&f, mbLeft, Point(225, 165));
    EXPECT_EQ(f.Width(), 230);
    EXPECT_EQ(f.Height(), 170);
    EXPECT_EQ(f.Left(), 100);
    // The left edge: the right edge stays where it is.
    GuiTest::MouseDown(&f, mbLeft, Point(2, 60));
    GuiTest::MouseMove(&f, Point(-18, 60), {ssLeft});
    GuiTest::MouseUp(&f, mbLeft, Point(2, 60));
    EXPECT_EQ(f.Left(), 80);
    EXPECT_EQ(f.Width(), 250);
    EXPECT_EQ(clicks, 0);
    // Inside, the mouse is the form's as usual.
    GuiTest::Click(&f, Point(100, 70));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(f.Width(), 250);
}

TEST_F(FormsTest, PositionsPlaceTheFormWhenFirstShown)
{
    TRect area = Screen->WorkAreaRect();
    Form->SetPosition(poScreenCenter);
    Form->Show();
    EXPECT_EQ(Form->Left(), area.Left + (area.Width() - 300) / 2);
    EXPECT_EQ(Form->Top(), area.Top + (area.Height() - 200) / 2);
    TForm child(Form.get());
    child.SetBounds(0, 0, 100, 50);
    child.SetPosition(poOwnerFormCenter);
    child.Show();
    EXPECT_EQ(child.Left(), Form->Left() + 100);
    EXPECT_EQ(child.Top(), Form->Top() + 75);
    TForm designed(nullptr);
    designed.SetBounds(33, 44, 100, 50);
    designed.Show();
    EXPECT_EQ(designed.Left(), 33);
    EXPECT_EQ(designed.Top(), 44);
}

TEST_F(FormsTest, StayOnTopFormsAskTheWindowSystemToKeepThemAbove)
{
    Form->SetFormStyle(fsStayOnTop);
    Form->Show();
    EXPECT_TRUE(Form->Widget()->windowFlags() & Qt::WindowStaysOnTopHint);
    Form->SetFormStyle(fsNormal);
    EXPECT_FALSE(Form->Widget()->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(Form->Visible());
}

TEST_F(FormsTest, HintsShowTheirShortPartInTheApplicationsHintColour)
{
    EXPECT_EQ(GetShortHint("保存|保存当前学员"), "保存");
    EXPECT_EQ(GetLongHint("保存|保存当前学员"), "保存当前学员");
    EXPECT_EQ(GetLongHint("保存"), "保存");
    TColor old = Application->HintColor;
    Application->HintColor = clYellow;
    THintWindow w(nullptr);
    EXPECT_EQ(w.Color(), clYellow);
    Application->HintColor = old;
}

TEST_F(FormsTest, ScreenCursorOverridesEveryControl)
{
    Screen->SetCursor(crHourGlass);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    Screen->SetCursor(crDefault);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
