#include "cxDropDownEdit.h"

#include "EditOnForm.h"

namespace {

// A drop-down edit whose popup holds nothing but has a size of its own.
class TTestDropDownEdit : public TcxCustomDropDownEdit {
public:
    explicit TTestDropDownEdit(TComponent* AOwner = nullptr, bool AIsInplace = false)
        : TcxCustomDropDownEdit(AOwner, AIsInplace)
    {
    }
    void GetPopupWindowClientPreferredSize(TSize& ASize) override { ASize = Preferred; }
    bool CanDropDown() override { return Droppable; }
    TSize Preferred{150, 100};
    bool Droppable = true;
};

class DropDownEditTest : public TEditOnForm<TTestDropDownEdit> {
protected:
    void SetUp() override
    {
        TEditOnForm::SetUp();
        Edit->SetBounds(10, 10, 160, 21);
        Edit->SetFocus();
        GuiTest::ProcessEvents();
    }
    void Key(int vk, TShiftState shift = {})
    {
        GuiTest::KeyDown(vk, shift);
        GuiTest::KeyUp(vk, shift);
        GuiTest::ProcessEvents();
    }
    void Open()
    {
        Edit->DropDown();
        GuiTest::ProcessEvents();
        ASSERT_TRUE(Edit->HasPopupWindow());
    }
};

}  // namespace

TEST(DropDownEditPropertiesTest, PopupSizeLimitsClampTheSizes)
{
    struct Case {
        int minWidth, width, expectWidth;
    } cases[] = {{100, 50, 100}, {100, 0, 0}, {100, 150, 150}, {0, -5, 0}, {-3, 20, 20}};
    for (const Case& c : cases) {
        TcxCustomDropDownEditProperties p;
        p.SetPopupMinWidth(c.minWidth);
        p.SetPopupWidth(c.width);
        EXPECT_EQ(p.PopupWidth(), c.expectWidth) << c.minWidth << " " << c.width;
        EXPECT_GE(p.PopupMinWidth(), 0);
    }
    TcxCustomDropDownEditProperties p;
    p.SetPopupMinHeight(-5);
    EXPECT_EQ(p.PopupMinHeight(), 0);
    p.SetPopupHeight(40);
    p.SetPopupMinHeight(60);   // the height is raised with its limit
    EXPECT_EQ(p.PopupHeight(), 60);
    p.SetPopupWidth(80);
    p.SetPopupMinWidth(120);
    EXPECT_EQ(p.PopupWidth(), 120);
}

TEST(DropDownEditPropertiesTest, AGlyphMakesTheDropDownButtonAGlyphButtonAndMovesWithTheIndex)
{
    TcxCustomDropDownEditProperties p;
    ASSERT_EQ(p.Buttons()->Count(), 1);
    EXPECT_EQ(p.Buttons()->Items(0)->Kind(), bkDown);
    TBitmap glyph;
    glyph.SetSize(7, 5);
    p.SetButtonGlyph(&glyph);
    EXPECT_EQ(p.Buttons()->Items(0)->Kind(), bkGlyph);
    TBitmap empty;
    p.SetButtonGlyph(&empty);
    EXPECT_EQ(p.Buttons()->Items(0)->Kind(), bkDown);

    p.SetButtonGlyph(&glyph);
    p.Buttons()->Add()->SetKind(bkEllipsis);
    p.SetDropDownButtonIndex(1);
    EXPECT_EQ(p.Buttons()->Items(1)->Kind(), bkGlyph);
    EXPECT_EQ(p.Buttons()->Items(1)->Glyph()->Width(), 7);
    ASSERT_NE(p.ButtonGlyph(), nullptr);
    EXPECT_TRUE(p.Buttons()->Items(0)->Glyph()->Empty());
    EXPECT_EQ(p.Buttons()->Items(0)->Kind(), bkDown);   // the old button lost its picture

    // Copied settings, through their setters.
    TcxCustomDropDownEditProperties q;
    p.SetPopupMinWidth(90);
    p.SetPopupWidth(200);
    p.SetPopupSizeable(true);
    p.SetPopupAlignment(taRightJustify);
    q.Assign(&p);
    EXPECT_EQ(q.PopupWidth(), 200);
    EXPECT_EQ(q.PopupMinWidth(), 90);
    EXPECT_TRUE(q.PopupSizeable());
    EXPECT_EQ(q.PopupAlignment(), taRightJustify);
}

TEST(DropDownEditPropertiesTest, ThePopupLookAndFeelFollowsTheFirstButtonsStyle)
{
    struct Case {
        TcxEditButtonStyle style;
        TcxLookAndFeelKind kind;
    } cases[] = {{btsDefault, lfStandard}, {bts3D, lfStandard}, {btsFlat, lfFlat},
                 {btsSimple, lfFlat},      {btsHotFlat, lfFlat}, {btsUltraFlat, lfUltraFlat}};
    for (const Case& c : cases)
        EXPECT_EQ(TcxEditPopupControlLookAndFeel::KindOfButtonStyle(c.style), c.kind) << int(c.style);
    // No buttons at all: standard.
    GuiTest::Init();
    cxLookAndFeels::Initialize();
    TTestDropDownEdit e;
    e.Properties()->Buttons()->Clear();
    e.SetBounds(0, 0, 100, 21);
    e.ShortRefreshContainer(false);
    EXPECT_EQ(e.PopupControlsLookAndFeel()->GetEffectiveKind(), lfStandard);
}

TEST_F(DropDownEditTest, KeysOpenAndCloseThePopup)
{
    Key(VK_DOWN, {ssAlt});
    EXPECT_TRUE(Edit->HasPopupWindow());
    EXPECT_TRUE(Edit->DroppedDown());
    EXPECT_TRUE(Edit->Focused());   // the edit keeps the keyboard
    Key(VK_DOWN, {ssAlt});
    EXPECT_FALSE(Edit->HasPopupWindow());
    Key(VK_F4);
    EXPECT_TRUE(Edit->HasPopupWindow());
    Key(VK_F4);
    EXPECT_FALSE(Edit->HasPopupWindow());
    Key(VK_F4, {ssAlt});
    EXPECT_FALSE(Edit->HasPopupWindow());
    Key(VK_UP, {ssAlt});
    EXPECT_TRUE(Edit->HasPopupWindow());
    Key(VK_ESCAPE);
    EXPECT_FALSE(Edit->HasPopupWindow());
}

TEST_F(DropDownEditTest, TheButtonOpensOnThePressAndAClickOnItWhileOpenOnlyCloses)
{
    TRect b = Edit->EditViewInfo()->Button(0)->Bounds;
    TPoint p{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
    GuiTest::MouseMove(Edit, p);
    GuiTest::MouseDown(Edit, mbLeft, p);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Edit->HasPopupWindow());   // on the press, not the release
    GuiTest::MouseUp(Edit, mbLeft, p);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Edit->HasPopupWindow());
    GuiTest::MouseMove(Edit, TPoint{p.X - 1, p.Y});
    EXPECT_TRUE(Edit->IsHotAndPopup());
    GuiTest::Click(Edit, p);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Edit->HasPopupWindow());
}

TEST_F(DropDownEditTest, EventsComeInOrderAndARefusedPopupStaysClosed)
{
    std::vector<std::string> log;
    Edit->Properties()->OnInitPopup = [&](TObject*) { log.push_back("init"); };
    Edit->Properties()->OnPopup = [&](TObject*) { log.push_back("popup"); };
    Edit->Properties()->OnCloseUp = [&](TObject*) { log.push_back("closeup"); };
    Open();
    Edit->SetDroppedDown(false);
    EXPECT_EQ(log, (std::vector<std::string>{"init", "popup", "closeup"}));
    log.clear();
    Edit->Droppable = false;
    Edit->DropDown();
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Edit->HasPopupWindow());
    EXPECT_EQ(log, (std::vector<std::string>{"init"}));
}

TEST_F(DropDownEditTest, EscapeClosesLeavingTheValueAndEnterClosesAcceptingOnlyWhenEditingIsAllowed)
{
    Edit->SetEditValue(Variant(std::string("科目一")));
    int posts = 0;
    Edit->OnPostEditValue = [&](TObject*) { ++posts; };
    Edit->Properties()->SetImmediatePost(true);
    Open();
    Key(VK_ESCAPE);
    EXPECT_FALSE(Edit->HasPopupWindow());
    EXPECT_EQ(VarToStr(Edit->EditValue()), "科目一");
    // Closing accepting with nothing changed writes nothing back.
    Open();
    Key(VK_RETURN);
    EXPECT_FALSE(Edit->HasPopupWindow());
    EXPECT_EQ(posts, 0);
    EXPECT_EQ(VarToStr(Edit->EditValue()), "科目一");
    // An edit that refuses editing closes without applying.
    bool refused = false;
    Edit->OnEditing = [&](TObject*, bool& can) {
        can = false;
        refused = true;
    };
    Open();
    Key(VK_RETURN);
    EXPECT_TRUE(refused);
    EXPECT_FALSE(Edit->HasPopupWindow());
    EXPECT_EQ(posts, 0);
}

TEST_F(DropDownEditTest, AChangedValueIsPostedOnceWhenThePopupClosesAccepting)
{
    int posts = 0;
    Edit->OnPostEditValue = [&](TObject*) { ++posts; };
    Edit->Properties()->SetImmediatePost(true);
    Open();
    GuiTest::TypeText("A");
    ASSERT_EQ(VarToStr(Edit->EditValue()), "A");
    Edit->CloseUp(true);
    EXPECT_EQ(posts, 1);
}

TEST_F(DropDownEditTest, AShowRequestStillQueuedWhenEditingEndsNeverOpensThePopup)
{
    std::unique_ptr<TcxCustomEditData> data;
    Edit->Activate(data);
    Edit->DropDown();   // the show request is posted
    Edit->Deactivate();
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Edit->HasPopupWindow());
}

TEST_F(DropDownEditTest, PopupSizeFollowsAutoSizeTheEditWidthAndTheLimits)
{
    struct Case {
        bool autoSize, sizeable;
        int width, height, minWidth, minHeight;
        int expectWidth, expectHeight;
    } cases[] = {
        // Auto size: the preferred client size plus the border (1 on each side).
        {true, false, 0, 0, 0, 0, 152, 102},
        // Fixed: the given width, else the edit's; the given height.
        {false, false, 0, 90, 0, 0, 160, 90},
        {false, false, 220, 90, 0, 0, 220, 90},
        // Sizeable: at least the limits.
        {false, true, 120, 50, 200, 80, 200, 80},
    };
    for (const Case& c : cases) {
        TcxCustomDropDownEditProperties* p = Edit->Properties();
        p->SetPopupMinWidth(0);
        p->SetPopupMinHeight(0);
        p->SetPopupAutoSize(c.autoSize);
        p->SetPopupSizeable(c.sizeable);
        p->SetPopupMinWidth(c.minWidth);
        p->SetPopupMinHeight(c.minHeight);
        p->SetPopupWidth(c.width);
        p->SetPopupHeight(c.height);
        Edit->EditStyle()->SetPopupBorderStyle(epbsSingle);
        Open();
        TcxCustomEditPopupWindow* w = Edit->PopupWindow();
        EXPECT_EQ(w->Width(), c.expectWidth) << c.autoSize << c.sizeable << c.width;
        EXPECT_EQ(w->Height(), c.expectHeight) << c.autoSize << c.sizeable << c.height;
        // Below the edit, its left edges at the edit's, the grip bottom right.
        TPoint editBottomLeft = Edit->ClientToScreen(TPoint{0, Edit->Height()});
        EXPECT_EQ(w->Left(), editBottomLeft.X);
        EXPECT_EQ(w->Top(), editBottomLeft.Y);
        EXPECT_EQ(w->SizeGripCorner(), 3);
        Edit->CloseUp(false);
        GuiTest::ProcessEvents();
    }
}

TEST_F(DropDownEditTest, APopupWithoutRoomBelowOpensAboveWithTheGripOnTopAndItsShadowOffTheEdit)
{
    TRect work = cxControls::GetDesktopWorkArea(TPoint{Form->Left(), Form->Top()});
    Form->SetBounds(work.Left + 50, work.Bottom - 120, 300, 100);
    GuiTest::ProcessEvents();
    Edit->Style()->SetShadow(true);
    Edit->Properties()->SetPopupAutoSize(false);
    Edit->Properties()->SetPopupHeight(150);
    Open();
    TcxCustomEditPopupWindow* w = Edit->PopupWindow();
    ASSERT_TRUE(w->Shadow());
    TRect owner = w->OwnerScreenBounds();
    EXPECT_LT(w->Top(), owner.Top);
    EXPECT_EQ(w->SizeGripCorner(), 1);   // top right
    // Moved down over the shadow's strip by 3 pixels.
    EXPECT_EQ(w->Top() + w->Height(), owner.Top + 3);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(w->Handle(), rgn), 0);
    const int h = w->Height();
    EXPECT_TRUE(PtInRegion(rgn, 10, 10));
    EXPECT_FALSE(PtInRegion(rgn, 10, h - 2));           // the strip over the edit is cut out
    EXPECT_FALSE(PtInRegion(rgn, w->Width() - 2, 1));   // the shadow's missing corner
    EXPECT_TRUE(PtInRegion(rgn, w->Width() - 2, 10));   // the shadow itself
    DeleteObject(rgn);
}

TEST(DropDownEditSizingTest, HitTestsGiveTheGripDirectionsAndOnlyTheGripSidesEdges)
{
    TcxCustomEditPopupWindowViewInfo vi;
    vi.Layout.BorderStyle = epbsSingle;
    vi.Layout.Sizeable = true;
    vi.Layout.SysPanel = true;
    vi.OuterRect = TRect{0, 0, 200, 150};
    struct Case {
        int corner, x, y;
        bool hit;
        int horz, vert;
        TCursor cursor;
    } cases[] = {
        {3, 195, 145, true, 1, 1, crSizeNWSE},    // the grip, bottom right
        {0, 4, 4, true, -1, -1, crSizeNWSE},      // the grip, top left
        {1, 195, 4, true, 1, -1, crSizeNESW},     // top right
        {2, 4, 145, true, -1, 1, crSizeNESW},     // bottom left
        {3, 199, 60, true, 1, 0, crSizeWE},       // right edge band
        {3, 0, 60, true, 0, 0, crDefault},        // left edge: not a side of the grip
        {3, 100, 60, false, 0, 0, crDefault},     // inside
        {3, 250, 60, false, 0, 0, crDefault},     // outside
    };
    for (const Case& c : cases) {
        vi.Layout.SizeGripCorner = c.corner;
        vi.Calculate();
        int h = 9, v = 9;
        EXPECT_EQ(vi.GetSizingHitTest(c.x, c.y, h, v), c.hit) << c.corner << " " << c.x << "," << c.y;
        EXPECT_EQ(h, c.horz) << c.corner << " " << c.x << "," << c.y;
        EXPECT_EQ(v, c.vert) << c.corner << " " << c.x << "," << c.y;
        EXPECT_EQ(cxDropDownEdit::SizingCursor(h, v), c.cursor);
    }
    vi.Layout.Sizeable = false;
    vi.Calculate();
    int h, v;
    EXPECT_FALSE(vi.GetSizingHitTest(195, 145, h, v));
}

TEST_F(DropDownEditTest, AUserSizedPopupKeepsItsSizeStandAloneAndPerActivationInPlace)
{
    TcxCustomDropDownEditProperties* p = Edit->Properties();
    p->SetPopupAutoSize(false);
    p->SetPopupSizeable(true);
    p->SetPopupSysPanelStyle(true);
    p->SetPopupWidth(200);
    p->SetPopupHeight(120);
    Open();
    TcxCustomEditPopupWindow* w = Edit->PopupWindow();
    ASSERT_EQ(w->Width(), 200);
    TcxPopupWindowLayout l = w->EditViewInfo()->Layout;
    TPoint grip{l.SizeGripSizingRect.Left + 2, l.SizeGripSizingRect.Top + 2};
    GuiTest::MouseDown(w, mbLeft, grip);
    EXPECT_TRUE(TcxCustomEditPopupWindow::IsResizing());
    // Dragged outside the window: it grows by the distance.
    GuiTest::MouseMove(w, TPoint{grip.X + 40, grip.Y + 30}, {ssLeft});
    EXPECT_FALSE(IsRectEmpty(TcxCustomEditPopupWindow::SizingFrame()));
    GuiTest::MouseUp(w, mbLeft, TPoint{grip.X + 40, grip.Y + 30});
    GuiTest::ProcessEvents();
    EXPECT_FALSE(TcxCustomEditPopupWindow::IsResizing());
    EXPECT_TRUE(IsRectEmpty(TcxCustomEditPopupWindow::SizingFrame()));
    EXPECT_EQ(w->Width(), 240);
    EXPECT_EQ(w->Height(), 150);
    EXPECT_TRUE(Edit->PopupSizedByUser());
    Edit->CloseUp(false);
    EXPECT_EQ(p->PopupWidth(), 240);
    EXPECT_EQ(p->PopupHeight(), 150);
    Open();
    EXPECT_EQ(Edit->PopupWindow()->Width(), 240);
    Edit->CloseUp(false);

    // In place the activation's data holds the size.
    std::unique_ptr<TcxCustomEdit> inplace(TcxCustomEdit::CreateInplace(TcxCustomDropDownEdit::StaticClass()));
    auto* e = static_cast<TcxCustomDropDownEdit*>(inplace.get());
    e->Properties()->Assign(p);
    e->SetParent(Form);
    e->SetBounds(10, 100, 160, 21);
    std::unique_ptr<TcxCustomEditData> data;
    e->Activate(data);
    auto* d = dynamic_cast<TcxCustomDropDownEditData*>(data.get());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->PopupWidth, 240);
    d->PopupWidth = 260;
    e->SetPopupSizedByUser(true);
    e->Deactivate();
    EXPECT_TRUE(d->PopupSizedByUser);
    EXPECT_EQ(p->PopupWidth(), 240);   // the properties keep theirs
}

TEST_F(DropDownEditTest, TheCloseButtonClosesWithoutAcceptingUnlessTheQueryRefuses)
{
    TcxCustomDropDownEditProperties* p = Edit->Properties();
    p->SetPopupAutoSize(false);
    p->SetPopupSizeable(true);
    p->SetPopupSysPanelStyle(true);
    p->SetPopupWidth(200);
    p->SetPopupHeight(120);
    bool allow = false;
    p->OnCloseQuery = [&](TObject*, bool& can) { can = allow; };
    Open();
    TcxCustomEditPopupWindow* w = Edit->PopupWindow();
    TRect cb = w->EditViewInfo()->Layout.CloseButtonRect;
    ASSERT_FALSE(IsRectEmpty(cb));
    TPoint c{(cb.Left + cb.Right) / 2, (cb.Top + cb.Bottom) / 2};
    GuiTest::MouseMove(w, c);
    EXPECT_EQ(w->CloseButtonState(), int(cxbsHot));
    GuiTest::Click(w, c);
    EXPECT_TRUE(Edit->HasPopupWindow());
    allow = true;
    GuiTest::Click(w, c);
    EXPECT_FALSE(Edit->HasPopupWindow());
}

// While an in-place editor's popup is open, Alt and Ctrl keys and the
// non-character keys belong to the popup: the host grid, listening on
// OnKeyDown, never sees them. Closed, or stand-alone, everything reaches it.
TEST_F(DropDownEditTest, AnOpenInPlacePopupKeepsItsKeysFromTheHost)
{
    struct Case {
        WORD key;
        TShiftState shift;
        bool inplaceOpen;   // reaches OnKeyDown in place with the popup open
    };
    const Case cases[] = {
        {'A', {ssCtrl}, false}, {'X', {ssAlt}, false}, {VK_BACK, {}, false},
        {'A', {}, true},        {'7', {ssShift}, true}, {VK_DELETE, {}, true},
    };
    auto* inplace = new TTestDropDownEdit(Form, true);
    inplace->SetParent(Form);
    inplace->SetBounds(10, 100, 160, 21);
    for (TTestDropDownEdit* e : {Edit, inplace}) {
        std::vector<WORD> seen;
        e->OnKeyDown = [&](TObject*, WORD& k, TShiftState) {
            if (k == VK_CONTROL || k == VK_MENU || k == VK_SHIFT) return;   // the modifiers' own presses
            seen.push_back(k);
            k = 0;   // the host took it
        };
        e->SetFocus();
        GuiTest::ProcessEvents();
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << (e->IsInplace() ? "in place " : "stand-alone ") << c.key);
            seen.clear();
            Key(c.key, c.shift);   // closed: the host sees every key
            EXPECT_EQ(seen.size(), 1u);
            e->DropDown();
            GuiTest::ProcessEvents();
            ASSERT_TRUE(e->HasPopupWindow());
            seen.clear();
            Key(c.key, c.shift);
            EXPECT_EQ(seen.size(), e->IsInplace() && !c.inplaceOpen ? 0u : 1u);
            e->CloseUp(false);
            GuiTest::ProcessEvents();
        }
        e->OnKeyDown = nullptr;
    }
}
