// Labels, buttons, check boxes, radio buttons, group boxes, bit and speed
// buttons, panels, bevels, shapes, images, splitters, radio groups and
// notebooks, driven through the input path and the messages the forms use.
#include "Buttons.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "StdFormFixture.h"

namespace {

using ButtonsTest = StdFormTest;

TEST_F(ButtonsTest, ButtonClickSetsTheFormsModalResultAndCallsOnClickOnce)
{
    auto* ok = Make<TButton>(10, 10, 75, 25);
    ok->SetCaption("确定");
    ok->SetModalResult(mrOk);
    ok->OnClick = Logger("ok");
    ShowForm();
    GuiTest::Click(ok, Point(30, 12));
    EXPECT_EQ(Log, (std::vector<std::string>{"ok"}));
    EXPECT_EQ(Form->ModalResult(), mrOk);
    // A press that leaves the button before going up is no click.
    Form->SetModalResult(mrNone);
    GuiTest::MouseDown(ok, mbLeft, Point(30, 12));
    GuiTest::MouseMove(ok, Point(200, 100));
    GuiTest::MouseUp(ok, mbLeft, Point(200, 100));
    EXPECT_EQ(Log.size(), 1u);
    EXPECT_EQ(Form->ModalResult(), mrNone);
    // Space on the focused button clicks it; BM_CLICK too.
    ok->SetFocus();
    GuiTest::KeyPress(VK_SPACE);
    EXPECT_EQ(Log.size(), 2u);
    ok->Perform(BM_CLICK);
    EXPECT_EQ(Log.size(), 3u);
}

TEST_F(ButtonsTest, TheParentHearsItsButtonsNotificationsBeforeTheyComeBack)
{
    auto* b = Make<TButton>(10, 10, 75, 25);
    auto* cb = Make<TCheckBox>(10, 50, 100, 20);
    b->OnClick = Logger("click");
    std::vector<std::pair<WORD, HWND>> seen;
    auto old = Form->WindowProc;
    Form->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_COMMAND) seen.emplace_back(HIWORD(m.WParam), reinterpret_cast<HWND>(m.LParam));
        Form->WndProc(m);
    };
    ShowForm();
    GuiTest::Click(b, Point(20, 10));
    GuiTest::Click(cb, Point(6, 10));
    Form->WindowProc = old;
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(WORD(BN_CLICKED), b->Handle()));
    EXPECT_EQ(seen[1].second, cb->Handle());
    EXPECT_EQ(Log, (std::vector<std::string>{"click"}));
    EXPECT_TRUE(cb->Checked());
}

TEST_F(ButtonsTest, EnterClicksTheDefaultButtonOrTheFocusedOneAndEscTheCancelButton)
{
    auto* ok = Make<TButton>(10, 10, 75, 25);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    ok->OnClick = Logger("ok");
    auto* cancel = Make<TButton>(100, 10, 75, 25);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    cancel->OnClick = Logger("cancel");
    auto* other = Make<TButton>(200, 10, 75, 25);
    other->OnClick = Logger("other");
    auto* check = Make<TCheckBox>(10, 50, 100, 20);
    ShowForm();
    check->SetFocus();
    EXPECT_EQ(Form->Perform(CM_DIALOGKEY, VK_RETURN, 0), 1);
    EXPECT_EQ(Form->ModalResult(), mrOk);
    EXPECT_EQ(Form->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 1);
    EXPECT_EQ(Form->ModalResult(), mrCancel);
    // Another button with the focus is the default while it has it.
    other->SetFocus();
    Form->Perform(CM_DIALOGKEY, VK_RETURN, 0);
    EXPECT_EQ(Log, (std::vector<std::string>{"ok", "cancel", "other"}));
    // With Alt held, or a disabled default button, Enter is not taken.
    check->SetFocus();
    EXPECT_EQ(Form->Perform(CM_DIALOGKEY, VK_RETURN, LPARAM(1) << 29), 0);
    ok->SetEnabled(false);
    EXPECT_EQ(Form->Perform(CM_DIALOGKEY, VK_RETURN, 0), 0);
    EXPECT_EQ(Log.size(), 3u);
}

TEST_F(ButtonsTest, EnterAndEscTypedInAnEditReachTheDefaultAndCancelButtons)
{
    auto* edit = Make<TEdit>(10, 10, 120, 22);
    auto* ok = Make<TButton>(10, 40, 75, 25);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    ok->OnClick = Logger("ok");
    auto* cancel = Make<TButton>(100, 40, 75, 25);
    cancel->SetCancel(true);
    cancel->OnClick = Logger("cancel");
    ShowForm();
    edit->SetFocus();
    GuiTest::KeyPress(VK_RETURN);
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_EQ(Log, (std::vector<std::string>{"ok", "cancel"}));
    EXPECT_EQ(Form->ModalResult(), mrOk);
    EXPECT_TRUE(edit->Focused());
}

TEST_F(ButtonsTest, ClickingAButtonWithAModalResultEndsTheModalLoop)
{
    auto* bit = Make<TBitBtn>(10, 40, 90, 25);
    bit->SetKind(bkCancel);
    bit->SetCaption("取消");
    GuiTest::Later([&] { GuiTest::Click(bit, Point(40, 12)); });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_FALSE(Form->Visible());
}

TEST_F(ButtonsTest, AcceleratorsClickButtonsAndFocusThroughLabels)
{
    auto* b = Make<TButton>(10, 10, 75, 25);
    b->SetCaption("保存(&S)");
    b->OnClick = Logger("save");
    auto* target = Make<TCheckBox>(10, 80, 100, 20);
    auto* label = Make<TLabel>(10, 50, 60, 17);
    label->SetCaption("姓名(&N)");
    label->SetFocusControl(target);
    ShowForm();
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 's', 0), 1);
    EXPECT_EQ(Log, (std::vector<std::string>{"save"}));
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'N', 0), 1);
    EXPECT_TRUE(target->Focused());
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'x', 0), 0);
    // "&&" is a literal ampersand, not an accelerator.
    b->SetCaption("A&&B");
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'b', 0), 0);
}

// A descendant that turns its button owner-drawn and notes what it is asked to draw.
class TOwnerDrawButton : public TButton {
    QZ_CLASS(TOwnerDrawButton, TButton)
public:
    using TButton::TButton;
    std::vector<UINT> States;
protected:
    void CreateParams(TCreateParams& p) override
    {
        TButton::CreateParams(p);
        p.Style = (p.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
    }
    void CNDrawItem(TMessage& m)
    {
        auto* ds = reinterpret_cast<TDrawItemStruct*>(m.LParam);
        EXPECT_EQ(ds->CtlType, ODT_BUTTON);
        States.push_back(ds->ItemState);
        HBRUSH br = CreateSolidBrush(ds->ItemState & ODS_SELECTED ? RGB(255, 0, 0) : RGB(0, 0, 255));
        FillRect(ds->DC, ds->RcItem, br);
        DeleteObject(br);
        m.Result = 1;
    }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CN_DRAWITEM, CNDrawItem)
    QZ_END_MESSAGE_MAP
};
QZ_CLASS_IMPL(TOwnerDrawButton, TButton)

TEST_F(ButtonsTest, OwnerDrawnButtonPaintsThroughDrawItemAndStillClicks)
{
    auto* b = Make<TOwnerDrawButton>(10, 10, 60, 24);
    b->OnClick = Logger("click");
    ShowForm();
    EXPECT_EQ(GuiTest::PixelAt(b, Point(30, 12)), ColorToRGB(clBlue));
    GuiTest::MouseDown(b, mbLeft, Point(30, 12));
    GuiTest::ProcessEvents();
    EXPECT_EQ(GuiTest::PixelAt(b, Point(30, 12)), ColorToRGB(clRed));
    GuiTest::MouseUp(b, mbLeft, Point(30, 12));
    EXPECT_EQ(Log, (std::vector<std::string>{"click"}));
    ASSERT_FALSE(b->States.empty());
    EXPECT_TRUE(std::any_of(b->States.begin(), b->States.end(), [](UINT s) { return s & ODS_SELECTED; }));
}

TEST_F(ButtonsTest, CheckBoxCyclesThroughItsStatesAndReportsEachChange)
{
    struct Case {
        bool allowGrayed;
        std::vector<TCheckBoxState> afterClicks;
    };
    const Case cases[] = {
        {false, {cbChecked, cbUnchecked, cbChecked}},
        {true, {cbGrayed, cbChecked, cbUnchecked, cbGrayed}},
    };
    for (const Case& c : cases) {
        auto* cb = Make<TCheckBox>(10, 10, 120, 20);
        cb->SetCaption("已缴费");
        cb->SetAllowGrayed(c.allowGrayed);
        int clicks = 0;
        cb->OnClick = [&](TObject*) { ++clicks; };
        ShowForm();
        int n = 0;
        for (TCheckBoxState want : c.afterClicks) {
            GuiTest::Click(cb, Point(6, 10));
            EXPECT_EQ(cb->State(), want) << "grayed allowed " << c.allowGrayed << ", click " << n;
            EXPECT_EQ(cb->Perform(BM_GETCHECK), LRESULT(want));
            ++n;
        }
        EXPECT_EQ(clicks, n);
        delete cb;
    }
}

TEST_F(ButtonsTest, CheckBoxSetCheckedCallsOnClickButTheCheckMessageDoesNot)
{
    auto* cb = Make<TCheckBox>(10, 10, 120, 20);
    cb->OnClick = Logger("click");
    cb->SetChecked(true);
    EXPECT_EQ(Log.size(), 1u);
    cb->SetChecked(true);   // no change, no click
    EXPECT_EQ(Log.size(), 1u);
    cb->Perform(BM_SETCHECK, BST_UNCHECKED);
    EXPECT_FALSE(cb->Checked());
    EXPECT_EQ(Log.size(), 1u);
    // The state outlives a new window.
    cb->SetState(cbGrayed);
    cb->RecreateWnd();
    EXPECT_EQ(cb->State(), cbGrayed);
    EXPECT_EQ(cb->Perform(BM_GETCHECK), LRESULT(BST_INDETERMINATE));
}

TEST_F(ButtonsTest, RadioButtonsBesideEachOtherCheckOneAtATime)
{
    auto* a = Make<TRadioButton>(10, 10, 120, 20);
    auto* b = Make<TRadioButton>(10, 40, 120, 20);
    auto* box = Make<TGroupBox>(150, 10, 200, 100);
    auto* c = Make<TRadioButton>(10, 10, 120, 20, box);
    a->SetCaption("仅明细数据");
    b->SetCaption("所有数据");
    a->OnClick = Logger("a");
    b->OnClick = Logger("b");
    b->OnDblClick = Logger("b dbl");
    ShowForm();
    EXPECT_FALSE(a->Checked());
    EXPECT_FALSE(b->Checked());
    c->SetChecked(true);
    GuiTest::Click(a, Point(6, 10));
    EXPECT_TRUE(a->Checked());
    EXPECT_TRUE(c->Checked());   // another parent, another group
    GuiTest::Click(b, Point(6, 10));
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(b->TabStop());
    EXPECT_FALSE(a->TabStop());
    // Clicking the checked one again changes nothing.
    GuiTest::Click(b, Point(6, 10));
    EXPECT_EQ(Log, (std::vector<std::string>{"a", "b"}));
    GuiTest::DoubleClick(b, Point(6, 10));
    EXPECT_EQ(Log.back(), "b dbl");
    EXPECT_EQ(b->Perform(BM_GETCHECK), LRESULT(BST_CHECKED));
}

TEST_F(ButtonsTest, GroupBoxKeepsItsChildrenBelowTheCaption)
{
    auto* box = Make<TGroupBox>(10, 10, 200, 100);
    box->SetCaption("备份目录");
    TRect r = box->ClientRect();
    box->AdjustClientRect(r);
    EXPECT_GT(r.Top, 10);
    EXPECT_GT(r.Left, 0);
    auto* p = Make<TPanel>(0, 0, 10, 10, box);
    p->SetAlign(alClient);
    EXPECT_EQ(p->Top(), r.Top);
    EXPECT_EQ(p->Left(), r.Left);
}

TEST_F(ButtonsTest, LabelSizesToItsTextAndTransparentOneShowsTheParent)
{
    auto* l = Make<TLabel>(10, 10, 10, 10);
    l->SetCaption("正在创建数据连接...");
    EXPECT_GT(l->Width(), 60);
    EXPECT_GT(l->Height(), 8);
    int w = l->Width();
    l->Font()->SetSize(l->Font()->Size() * 2);
    EXPECT_GT(l->Width(), w * 3 / 2);
    // Right-aligned: the right edge stays.
    auto* r = Make<TLabel>(100, 60, 200, 17);
    r->SetAlignment(taRightJustify);
    r->SetCaption("x");
    int right = r->Left() + r->Width();
    r->SetCaption("长一些的文字");
    EXPECT_EQ(r->Left() + r->Width(), right);

    auto* opaque = Make<TLabel>(10, 100, 10, 10);
    opaque->SetCaption("   ");
    opaque->SetColor(clYellow);
    auto* clear = Make<TLabel>(10, 140, 10, 10);
    clear->SetCaption("   ");
    clear->SetColor(clYellow);
    clear->SetTransparent(true);
    ShowForm();
    EXPECT_EQ(GuiTest::PixelAt(Form, Point(opaque->Left() + 2, opaque->Top() + 2)), ColorToRGB(clYellow));
    EXPECT_EQ(GuiTest::PixelAt(Form, Point(clear->Left() + 2, clear->Top() + 2)), ColorToRGB(clBtnFace));
}

TEST_F(ButtonsTest, LinkLabelLooksLikeALinkAndClicks)
{
    auto* l = Make<TLabel>(10, 10, 10, 10);
    l->SetCaption("官方网站");
    l->SetLinkStyle(true);
    l->OnClick = Logger("open");
    EXPECT_TRUE(l->Font()->Style().Contains(fsUnderline));
    EXPECT_EQ(l->Cursor(), crHandPoint);
    ShowForm();
    GuiTest::Click(Form, Point(l->Left() + 3, l->Top() + 3));
    EXPECT_EQ(Log, (std::vector<std::string>{"open"}));
}

TEST_F(ButtonsTest, BitButtonKindsGiveCaptionResultAndGlyph)
{
    auto* ok = Make<TBitBtn>(10, 10, 90, 30);
    ok->SetKind(bkOK);
    EXPECT_EQ(ok->Caption(), "OK");
    EXPECT_EQ(ok->ModalResult(), mrOk);
    EXPECT_TRUE(ok->Default());
    ok->SetCaption("确定");   // the form's own caption, the kind's result stays
    auto* cancel = Make<TBitBtn>(110, 10, 90, 30);
    cancel->SetKind(bkCancel);
    EXPECT_TRUE(cancel->Cancel());
    EXPECT_EQ(cancel->ModalResult(), mrCancel);
    ShowForm();
    GuiTest::Click(ok, Point(45, 15));
    EXPECT_EQ(Form->ModalResult(), mrOk);
    // The kind's glyph shows: green in the OK button's face, red in Cancel's.
    std::unique_ptr<TBitmap> g(GuiTest::Grab(ok));
    std::unique_ptr<TBitmap> gc(GuiTest::Grab(cancel));
    auto count = [](TBitmap* b, auto pred) {
        int n = 0;
        for (int y = 0; y < b->Height(); ++y)
            for (int x = 0; x < b->Width(); ++x)
                if (pred(ColorToRGB(b->Canvas()->Pixels(x, y)))) ++n;
        return n;
    };
    auto green = [](TColor c) { return GetGValue(c) > 100 && GetRValue(c) < 60 && GetBValue(c) < 60; };
    auto red = [](TColor c) { return GetRValue(c) > 150 && GetGValue(c) < 60 && GetBValue(c) < 60; };
    EXPECT_GT(count(g.get(), green), 10);
    EXPECT_GT(count(gc.get(), red), 10);
    EXPECT_EQ(count(g.get(), [](TColor c) { return c == RGB(128, 128, 0); }), 0);   // the key colour is see-through
}

TEST_F(ButtonsTest, SpeedButtonsOfAGroupGoDownOneAtATime)
{
    auto* a = Make<TSpeedButton>(10, 10, 23, 22);
    auto* b = Make<TSpeedButton>(40, 10, 23, 22);
    auto* solo = Make<TSpeedButton>(70, 10, 23, 22);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    a->OnClick = Logger("a");
    b->OnClick = Logger("b");
    solo->OnClick = Logger("solo");
    ShowForm();
    GuiTest::Click(Form, Point(20, 20));
    EXPECT_TRUE(a->Down());
    GuiTest::Click(Form, Point(50, 20));
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    // Without AllowAllUp the one that is down stays down.
    GuiTest::Click(Form, Point(50, 20));
    EXPECT_TRUE(b->Down());
    a->SetAllowAllUp(true);   // shared by the group
    EXPECT_TRUE(b->AllowAllUp());
    GuiTest::Click(Form, Point(50, 20));
    EXPECT_FALSE(b->Down());
    // A button outside any group never stays down; it just clicks.
    GuiTest::Click(Form, Point(80, 20));
    EXPECT_FALSE(solo->Down());
    solo->SetDown(true);
    EXPECT_FALSE(solo->Down());
    EXPECT_EQ(Log, (std::vector<std::string>{"a", "b", "b", "b", "solo"}));
    // A press dragged off the button is no click.
    GuiTest::MouseDown(Form, mbLeft, Point(80, 20));
    GuiTest::MouseMove(Form, Point(200, 200));
    GuiTest::MouseUp(Form, mbLeft, Point(200, 200));
    EXPECT_EQ(Log.size(), 5u);
}

TEST_F(ButtonsTest, FlatSpeedButtonShowsItsEdgeOnlyUnderTheMouse)
{
    auto* b = Make<TSpeedButton>(10, 10, 30, 30);
    b->SetFlat(true);
    ShowForm();
    EXPECT_EQ(GuiTest::PixelAt(Form, Point(10, 10)), ColorToRGB(clBtnFace));
    GuiTest::MouseMove(Form, Point(25, 25));
    GuiTest::ProcessEvents();
    EXPECT_TRUE(b->MouseInControl());
    EXPECT_EQ(GuiTest::PixelAt(Form, Point(10, 10)), ColorToRGB(clBtnHighlight));
    GuiTest::MouseMove(Form, Point(200, 200));
    GuiTest::ProcessEvents();
    EXPECT_EQ(GuiTest::PixelAt(Form, Point(10, 10)), ColorToRGB(clBtnFace));
}

TEST_F(ButtonsTest, PanelBevelShapeAndImagePaintWhereExpected)
{
    auto* p = Make<TPanel>(10, 10, 100, 50);
    p->SetColor(clAqua);
    auto* bevel = Make<TBevel>(120, 10, 60, 40);
    auto* shape = Make<TShape>(200, 10, 60, 40);
    shape->SetShape(stCircle);
    shape->Brush()->SetColor(clRed);
    auto* img = Make<TImage>(10, 100, 10, 10);
    TBitmap pic(30, 20);
    pic.Canvas()->Brush()->SetColor(clLime);
    pic.Canvas()->FillRect(Rect(0, 0, 30, 20));
    img->SetAutoSize(true);
    img->Picture()->SetGraphic(&pic);
    EXPECT_EQ(img->Width(), 30);
    EXPECT_EQ(img->Height(), 20);
    ShowForm();
    EXPECT_EQ(GuiTest::PixelAt(p, Point(0, 0)), ColorToRGB(clBtnHighlight));    // raised outer bevel
    EXPECT_EQ(GuiTest::PixelAt(p, Point(99, 49)), ColorToRGB(clBtnShadow));
    EXPECT_EQ(GuiTest::PixelAt(p, Point(50, 25)), ColorToRGB(clAqua));
    EXPECT_EQ(GuiTest::PixelAt(Form, Point(120, 10)), ColorToRGB(clBtnShadow)); // lowered box
    EXPECT_EQ(GuiTest::PixelAt(Form, Point(179, 49)), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(GuiTest::PixelAt(Form, Point(230, 30)), ColorToRGB(clRed));       // the circle's middle
    EXPECT_EQ(GuiTest::PixelAt(Form, Point(201, 11)), ColorToRGB(clBtnFace));   // outside the circle
    EXPECT_EQ(GuiTest::PixelAt(Form, Point(25, 110)), ColorToRGB(clLime));
    img->SetAutoSize(false);
    img->SetBounds(10, 100, 90, 60);
    img->SetStretch(true);
    img->SetProportional(true);
    EXPECT_EQ(img->DestRect(), Rect(0, 0, 90, 60));
    img->SetCenter(true);
    img->SetBounds(10, 100, 120, 60);
    EXPECT_EQ(img->DestRect(), Rect(15, 0, 105, 60));
}

TEST_F(ButtonsTest, SplitterDragResizesTheControlItTouchesWithinMinSize)
{
    auto* left = Make<TPanel>(0, 0, 100, 100);
    left->SetAlign(alLeft);
    auto* split = Make<TSplitter>(100, 0, 3, 100);
    split->SetAlign(alLeft);
    split->SetLeft(100);
    auto* rest = Make<TPanel>(0, 0, 10, 10);
    rest->SetAlign(alClient);
    int moved = 0;
    split->OnMoved = [&](TObject*) { ++moved; };
    ShowForm();
    ASSERT_EQ(split->FindControl(), left);
    const int y = 50;
    GuiTest::MouseDown(Form, mbLeft, Point(101, y));
    GuiTest::MouseMove(Form, Point(141, y));
    GuiTest::MouseUp(Form, mbLeft, Point(141, y));
    EXPECT_EQ(left->Width(), 140);
    EXPECT_EQ(split->Left(), 140);
    EXPECT_EQ(moved, 1);
    // Not narrower than MinSize, nor so wide that the rest gets less.
    split->SetMinSize(30);
    GuiTest::MouseDown(Form, mbLeft, Point(141, y));
    GuiTest::MouseMove(Form, Point(0, y));
    GuiTest::MouseUp(Form, mbLeft, Point(0, y));
    EXPECT_EQ(left->Width(), 30);
    GuiTest::MouseDown(Form, mbLeft, Point(31, y));
    GuiTest::MouseMove(Form, Point(1000, y));
    GuiTest::MouseUp(Form, mbLeft, Point(1000, y));
    EXPECT_EQ(left->Width(), Form->ClientWidth() - split->Width() - 30);
}

TEST_F(ButtonsTest, RadioGroupMakesButtonsFromItemsAndReportsTheChosenOne)
{
    auto* g = Make<TRadioGroup>(10, 10, 300, 120);
    g->SetCaption("备份计划");
    g->OnClick = Logger("click");
    for (const char* s : {"不备份", "每次系统退出时备份", "每周星期一备份", "每月一号备份"}) g->Items()->Add(s);
    ASSERT_EQ(g->ButtonCount(), 4);
    EXPECT_EQ(g->Buttons(1)->Caption(), "每次系统退出时备份");
    EXPECT_EQ(g->ItemIndex(), -1);
    ShowForm();
    GuiTest::Click(g->Buttons(2), Point(6, 6));
    EXPECT_EQ(g->ItemIndex(), 2);
    EXPECT_EQ(Log, (std::vector<std::string>{"click"}));
    g->SetItemIndex(0);
    EXPECT_TRUE(g->Buttons(0)->Checked());
    EXPECT_FALSE(g->Buttons(2)->Checked());
    EXPECT_EQ(g->ItemIndex(), 0);
    g->SetItemIndex(9);   // out of range: the last
    EXPECT_EQ(g->ItemIndex(), 3);
    // Buttons lie in the frame, below the caption, one column, then two.
    for (int i = 0; i < 4; ++i) {
        EXPECT_GE(g->Buttons(i)->Top() + g->ClientRect().Top, 10);
        EXPECT_LE(g->Buttons(i)->Top() + g->Buttons(i)->Height() + g->ClientRect().Top, 120);
    }
    EXPECT_EQ(g->Buttons(0)->Left(), g->Buttons(3)->Left());
    g->SetColumns(2);
    EXPECT_EQ(g->Buttons(0)->Top(), g->Buttons(2)->Top());
    EXPECT_GT(g->Buttons(2)->Left(), g->Buttons(0)->Left());
    g->Items()->Delete(3);
    EXPECT_EQ(g->ButtonCount(), 3);
    EXPECT_EQ(g->ItemIndex(), 2);
}

TEST_F(ButtonsTest, NotebookShowsOnePageAtATimeByIndexOrName)
{
    auto* nb = Make<TNotebook>(10, 10, 200, 150);
    nb->Pages()->Clear();
    nb->Pages()->Add("文件");
    nb->Pages()->Add("表");
    nb->Pages()->Add("完成");
    int changes = 0;
    nb->OnPageChanged = [&](TObject*) { ++changes; };
    auto* onSecond = Make<TButton>(5, 5, 60, 24, nb->Page(1));
    nb->SetPageIndex(0);
    ShowForm();
    EXPECT_FALSE(onSecond->Showing());
    nb->SetActivePage("表");
    EXPECT_EQ(nb->PageIndex(), 1);
    EXPECT_TRUE(onSecond->Showing());
    EXPECT_EQ(nb->ActivePage(), "表");
    EXPECT_EQ(nb->Page(1)->BoundsRect(), nb->ClientRect());
    nb->SetActivePage("没有");
    EXPECT_EQ(nb->PageIndex(), 1);
    nb->Pages()->Delete(1);
    EXPECT_EQ(nb->PageCount(), 2);
    EXPECT_EQ(nb->ActivePage(), "完成");
    EXPECT_GE(changes, 2);
}

} // namespace
