// The common controls driven through the input path and the calls the
// forms make: progress, up-down, status bar, tabs and pages, tree view,
// list view, date-time picker, month calendar and tool bar.
#include "ComCtrls.h"
#include "DateUtils.h"
#include "StdFormFixture.h"

namespace {

using ComCtrlsTest = StdFormTest;

// An image list of solid squares, one per colour.
std::unique_ptr<TImageList> Squares(int size, std::initializer_list<TColor> colours)
{
    auto list = std::make_unique<TImageList>(size, size);
    for (TColor c : colours) {
        TBitmap b(size, size);
        b.Canvas()->Brush()->SetColor(clFuchsia);
        b.Canvas()->FillRect(Rect(0, 0, size, size));
        b.Canvas()->Brush()->SetColor(c);
        b.Canvas()->FillRect(Rect(2, 2, size - 2, size - 2));
        list->AddMasked(&b, clFuchsia);
    }
    return list;
}

TEST_F(ComCtrlsTest, ProgressBarKeepsItsPositionInRange)
{
    auto* p = Make<TProgressBar>(10, 10, 200, 17);
    p->SetMax(50);
    p->SetPosition(70);
    EXPECT_EQ(p->Position(), 50);
    p->SetPosition(-3);
    EXPECT_EQ(p->Position(), 0);
    p->SetStep(20);
    p->StepIt();
    p->StepIt();
    p->StepIt();
    EXPECT_EQ(p->Position(), 50);
    p->SetMin(60);
    EXPECT_EQ(p->Max(), 60);
    EXPECT_EQ(p->Position(), 60);
    ShowForm();
}

TEST_F(ComCtrlsTest, UpDownStepsItsAssociateAndReadsWhatWasTypedThere)
{
    auto* shown = Make<TPanel>(10, 10, 60, 22);
    auto* ud = Make<TUpDown>(0, 0, 17, 10);
    ud->SetMin(1);
    ud->SetMax(3);
    std::vector<TUDBtnType> clicks;
    ud->OnClick = [&](TObject*, TUDBtnType b) { clicks.push_back(b); };
    ud->SetAssociate(shown);
    EXPECT_EQ(ud->Left(), 70);           // at the associate's right
    EXPECT_EQ(ud->Height(), 22);
    EXPECT_EQ(shown->Caption(), "1");     // the position, clamped to Min
    ShowForm();
    GuiTest::Click(ud, Point(8, 3));      // the upper arrow
    GuiTest::Click(ud, Point(8, 3));
    GuiTest::Click(ud, Point(8, 3));
    EXPECT_EQ(ud->Position(), 3);
    EXPECT_EQ(shown->Caption(), "3");
    GuiTest::Click(ud, Point(8, 18));     // the lower arrow
    EXPECT_EQ(ud->Position(), 2);
    EXPECT_EQ(clicks, (std::vector<TUDBtnType>{btNext, btNext, btNext, btPrev}));
    // Typed into the associate: read back (and clamped).
    shown->SetCaption("9");
    EXPECT_EQ(ud->Position(), 3);
    ud->SetWrap(true);
    ud->Press(btNext);
    EXPECT_EQ(ud->Position(), 1);
    ud->SetMax(5000);
    ud->SetPosition(1234);
    EXPECT_EQ(shown->Caption(), "1,234");
    EXPECT_EQ(ud->Position(), 1234);
    // A held button repeats: after 400 ms, then every 100 ms.
    GuiTest::TManualTime clock;
    GuiTest::MouseDown(ud, mbLeft, Point(8, 3));
    clock.Advance(400);
    clock.Advance(100);
    clock.Advance(100);
    GuiTest::MouseUp(ud, mbLeft, Point(8, 3));
    clock.Advance(500);
    EXPECT_EQ(ud->Position(), 1238);
}

TEST_F(ComCtrlsTest, StatusBarPanelsTextOwnerDrawAndSimpleText)
{
    auto* sb = Make<TStatusBar>(0, 0, 400, 20);
    sb->Panels()->Add()->SetWidth(150);
    sb->Panels()->Add()->SetWidth(50);
    sb->Panels()->Add();
    sb->Panels()->Items(0)->SetText("操作员：管理员");
    sb->Panels()->Items(1)->SetStyle(psOwnerDraw);
    std::vector<TRect> drawn;
    sb->OnDrawPanel = [&](TStatusBar* bar, TStatusPanel* p, const TRect& r) {
        EXPECT_EQ(p, bar->Panels()->Items(1));
        drawn.push_back(r);
        bar->Canvas()->Brush()->SetColor(clRed);
        bar->Canvas()->FillRect(r);
    };
    int dbl = 0;
    sb->OnDblClick = [&](TObject*) { ++dbl; };
    ShowForm();
    EXPECT_EQ(sb->Align(), alBottom);
    EXPECT_EQ(sb->Top(), Form->ClientHeight() - sb->Height());
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().Left, 151);
    EXPECT_EQ(GuiTest::PixelAt(sb, Point(170, 10)), clRed);
    EXPECT_EQ(sb->PanelAt(Point(10, 5)), 0);
    EXPECT_EQ(sb->PanelAt(Point(160, 5)), 1);
    EXPECT_EQ(sb->PanelAt(Point(300, 5)), 2);
    EXPECT_EQ(sb->PanelRect(2).Right, sb->Width() - 2);   // the last panel takes the rest
    GuiTest::DoubleClick(sb, Point(160, 5));
    EXPECT_EQ(dbl, 1);
    // The size grip at the right: light and shadow ridges.
    EXPECT_EQ(GuiTest::PixelAt(sb, Point(sb->Width() - 1, sb->Height() - 7)), ColorToRGB(clBtnShadow));
    sb->SetSimplePanel(true);
    sb->SetSimpleText("正在导入...");
    size_t before = drawn.size();
    GuiTest::ProcessEvents();
    EXPECT_EQ(drawn.size(), before);   // simple text hides the panels
    EXPECT_EQ(sb->PanelAt(Point(10, 5)), -1);
}

TEST_F(ComCtrlsTest, TabControlChangesTabOnClickUnlessRefused)
{
    auto* tc = Make<TTabControl>(10, 10, 300, 150);
    tc->Tabs()->AddObject("学员", Form);
    tc->Tabs()->Add("员工");
    tc->Tabs()->Add("车辆");
    tc->SetTabHeight(23);
    EXPECT_EQ(tc->TabIndex(), 0);
    EXPECT_EQ(tc->Tabs()->Objects(0), Form);
    EXPECT_EQ(tc->TabRect(0).Height(), 23);
    bool allow = true;
    tc->OnChanging = [&](TObject*, bool& a) { Log.push_back("changing"); a = allow; };
    tc->OnChange = Logger("change");
    ShowForm();
    TRect second = tc->TabRect(1);
    GuiTest::Click(tc, Point(second.Left + 5, second.Top + 5));
    EXPECT_EQ(tc->TabIndex(), 1);
    EXPECT_EQ(Log, (std::vector<std::string>{"changing", "change"}));
    allow = false;
    TRect third = tc->TabRect(2);
    GuiTest::Click(tc, Point(third.Left + 5, third.Top + 5));
    EXPECT_EQ(tc->TabIndex(), 1);
    EXPECT_EQ(tc->IndexOfTabAt(third.Left + 5, third.Top + 5), 2);
    EXPECT_EQ(tc->IndexOfTabAt(150, 100), -1);
    // The display area lies below the tabs; children align inside it.
    EXPECT_GE(tc->DisplayRect().Top, 23);
    auto* inside = Make<TPanel>(0, 0, 10, 10, tc);
    inside->SetAlign(alClient);
    EXPECT_EQ(inside->BoundsRect(), tc->DisplayRect());
    // Many tabs on a narrow control wrap into rows when MultiLine.
    for (int i = 0; i < 8; ++i) tc->Tabs()->Add("标签页" + std::to_string(i));
    tc->SetMultiLine(true);
    EXPECT_GT(tc->RowCount(), 1);
    tc->SetMultiLine(false);
    EXPECT_EQ(tc->RowCount(), 1);
}

TEST_F(ComCtrlsTest, PageControlShowsTheActiveSheetAndHidesTabsOnRequest)
{
    auto* pc = Make<TPageControl>(10, 10, 300, 200);
    auto sheet = [&](const char* caption) {
        auto* s = new TTabSheet(Form);
        s->SetPageControl(pc);
        s->SetCaption(caption);
        return s;
    };
    TTabSheet* a = sheet("文件");
    TTabSheet* b = sheet("表");
    TTabSheet* c = sheet("完成");
    auto* onB = Make<TButton>(5, 5, 60, 24, b);
    pc->OnChange = Logger("change");
    ShowForm();
    EXPECT_EQ(pc->ActivePage(), a);
    EXPECT_EQ(pc->PageCount(), 3);
    EXPECT_FALSE(onB->Showing());
    TRect tab = pc->TabRect(1);
    GuiTest::Click(pc, Point(tab.Left + 5, tab.Top + 5));
    EXPECT_EQ(pc->ActivePage(), b);
    EXPECT_TRUE(onB->Showing());
    EXPECT_EQ(b->BoundsRect(), pc->DisplayRect());
    EXPECT_EQ(Log, (std::vector<std::string>{"change"}));
    // A sheet without a tab: fewer tabs, and it can still be shown by the program (wizard pages).
    b->SetTabVisible(false);
    EXPECT_EQ(b->TabIndex(), -1);
    EXPECT_EQ(c->TabIndex(), 1);
    EXPECT_TRUE(pc->ActivePage() == b);
    pc->SetActivePage(c);
    pc->SelectNextPage(true);
    EXPECT_EQ(pc->ActivePage(), a);   // b has no tab, wraps round to a
    pc->SelectNextPage(false);
    EXPECT_EQ(pc->ActivePage(), c);
    EXPECT_EQ(pc->ActivePageIndex(), 2);
    // Freeing the active sheet shows another one.
    delete c;
    EXPECT_EQ(pc->PageCount(), 2);
    EXPECT_NE(pc->ActivePage(), nullptr);
}

TEST_F(ComCtrlsTest, TreeViewNodesSelectionExpandingAndDeletion)
{
    auto* tv = Make<TTreeView>(10, 10, 200, 200);
    tv->SetReadOnly(true);
    tv->SetShowRoot(false);
    tv->SetIndent(19);
    int freed = 0;
    tv->OnDeletion = [&](TObject*, TTreeNode* n) {
        if (n->Data()) ++freed;
    };
    std::vector<std::string> changes;
    tv->OnChange = [&](TObject*, TTreeNode* n) { changes.push_back(n ? n->Text() : "(none)"); };
    int tag1 = 1, tag2 = 2;
    TTreeNode* root = tv->Items()->Add(nullptr, "报表");
    TTreeNode* a = tv->Items()->AddChildObject(root, "学员名册", &tag1);
    TTreeNode* b = tv->Items()->AddChildObject(root, "收费明细", &tag2);
    TTreeNode* other = tv->Items()->Add(root, "统计");
    EXPECT_EQ(tv->Items()->Count(), 4);
    EXPECT_EQ(tv->Items()->Item(2), b);
    EXPECT_EQ(b->Parent(), root);
    EXPECT_EQ(b->Level(), 1);
    EXPECT_EQ(b->AbsoluteIndex(), 2);
    EXPECT_EQ(root->GetNext(), a);
    EXPECT_EQ(b->GetNext(), other);
    EXPECT_EQ(other->GetPrev(), b);
    ShowForm();
    root->Expand(false);
    EXPECT_TRUE(root->Expanded());
    GuiTest::ProcessEvents();
    TRect r = a->DisplayRect(true);
    ASSERT_FALSE(IsRectEmpty(r));
    EXPECT_EQ(tv->GetNodeAt(r.Left + 3, r.Top + 3), a);
    GuiTest::Click(tv, Point(r.Left + 3, r.Top + 3));
    EXPECT_EQ(tv->Selected(), a);
    EXPECT_TRUE(a->Selected());
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(tv->Selected(), b);
    EXPECT_EQ(changes, (std::vector<std::string>{"学员名册", "收费明细"}));
    // OnChanging may keep the selection where it is.
    tv->OnChanging = [](TObject*, TTreeNode*, bool& allow) { allow = false; };
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(tv->Selected(), b);
    tv->OnChanging = nullptr;
    // Collapsing can be refused too.
    tv->OnCollapsing = [](TObject*, TTreeNode*, bool& allow) { allow = false; };
    root->Collapse(false);
    EXPECT_TRUE(root->Expanded());
    tv->OnCollapsing = nullptr;
    int dbl = 0;
    tv->OnDblClick = [&](TObject*) { ++dbl; };
    GuiTest::DoubleClick(tv, Point(r.Left + 3, r.Top + 3));
    EXPECT_EQ(dbl, 1);
    // Deleting the selected node clears or moves the selection; OnDeletion sees each node with its data.
    b->Delete();
    EXPECT_NE(tv->Selected(), b);
    EXPECT_EQ(freed, 1);
    tv->Items()->Clear();
    EXPECT_EQ(freed, 2);
    EXPECT_EQ(tv->Items()->Count(), 0);
    EXPECT_EQ(tv->Selected(), nullptr);
    delete tv;   // its handlers refer to this test's locals
}

TEST_F(ComCtrlsTest, TreeViewKeepsNodesAcrossANewWindowAndEditsInPlace)
{
    auto* tv = Make<TTreeView>(10, 10, 200, 200);
    TTreeNode* vars = tv->Items()->Add(nullptr, "变量");
    TTreeNode* v1 = tv->Items()->AddChild(vars, "学员数");
    vars->Expand(true);
    tv->SetSelected(v1);
    tv->RecreateWnd();
    ShowForm();
    EXPECT_EQ(tv->Selected(), v1);
    EXPECT_TRUE(vars->Expanded());
    std::string seen;
    tv->OnEdited = [&](TObject*, TTreeNode* n, std::string& s) {
        seen = s;
        s = s + "!";
    };
    tv->SetFocus();
    ASSERT_TRUE(v1->EditText());
    GuiTest::TypeText("人数");
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_EQ(seen, "人数");
    EXPECT_EQ(v1->Text(), "人数!");
    tv->SetReadOnly(true);
    EXPECT_FALSE(v1->EditText());
}

TEST_F(ComCtrlsTest, TreeViewCustomDrawMakesNodesBold)
{
    auto* tv = Make<TTreeView>(10, 10, 200, 100);
    tv->Items()->Add(nullptr, "普通");
    TTreeNode* bold = tv->Items()->Add(nullptr, "粗体");
    std::vector<TTreeNode*> asked;
    tv->OnCustomDrawItem = [&](TCustomTreeView* sender, TTreeNode* n, TCustomDrawState, bool& def) {
        asked.push_back(n);
        if (n == bold) {
            TFontStyles st;
            st.Include(fsBold);
            sender->Canvas()->Font()->SetStyle(st);
            sender->Canvas()->Font()->SetColor(clRed);
        }
        def = true;
    };
    ShowForm();
    EXPECT_NE(std::find(asked.begin(), asked.end(), bold), asked.end());
    // The bold node's text shows red.
    TRect r = bold->DisplayRect(true);
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(tv));
    bool red = false;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            TColor c = ColorToRGB(shot->Canvas()->Pixels(x, y));
            red |= GetRValue(c) > 150 && GetGValue(c) < 90 && GetBValue(c) < 90;
        }
    EXPECT_TRUE(red);
}

TEST_F(ComCtrlsTest, TreeViewShowsStateImagesBeforeTheNodesPictures)
{
    auto images = Squares(16, {clRed, clBlue});
    auto states = Squares(16, {clYellow, clLime});
    auto* tv = Make<TTreeView>(10, 10, 200, 100);
    tv->SetImages(images.get());
    tv->SetStateImages(states.get());
    TTreeNode* a = tv->Items()->Add(nullptr, "甲");
    a->SetImageIndex(1);
    a->SetStateIndex(1);
    TTreeNode* b = tv->Items()->Add(nullptr, "乙");
    b->SetImageIndex(0);
    ShowForm();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(tv));
    auto rowHas = [&](TTreeNode* n, TColor c) {
        TRect r = n->DisplayRect(false);
        int y = (r.Top + r.Bottom) / 2;
        for (int x = r.Left; x < r.Right; ++x)
            if (ColorToRGB(shot->Canvas()->Pixels(x, y)) == c) return x;
        return -1;
    };
    int lime = rowHas(a, clLime), blue = rowHas(a, clBlue);
    ASSERT_GE(lime, 0);
    ASSERT_GE(blue, 0);
    EXPECT_LT(lime, blue);             // the state image comes first
    EXPECT_EQ(rowHas(b, clLime), -1);  // index 0: no state image
    EXPECT_GE(rowHas(b, clRed), 0);
}

TEST_F(ComCtrlsTest, ListViewReportSelectsAndReportsEachChange)
{
    auto* lv = Make<TListView>(10, 10, 300, 200);
    lv->SetViewStyle(vsReport);
    lv->SetReadOnly(true);
    lv->Columns()->Add()->SetCaption("登录名");
    lv->Columns()->Add()->SetCaption("姓名");
    lv->Columns()->Items(0)->SetWidth(100);
    for (const char* n : {"admin", "zhang", "li"}) {
        TListItem* it = lv->Items()->Add();
        it->SetCaption(n);
        it->SubItems()->Add(std::string("用户") + n);
    }
    std::vector<std::string> events;
    lv->OnSelectItem = [&](TObject*, TListItem* item, bool sel) {
        events.push_back(item->Caption() + (sel ? "+" : "-"));
    };
    ShowForm();
    EXPECT_EQ(lv->Columns()->Items(0)->Width(), 100);
    TRect r = lv->Items()->Item(1)->DisplayRect();
    ASSERT_FALSE(IsRectEmpty(r));
    EXPECT_EQ(lv->GetItemAt(r.Left + 4, r.Top + 4), lv->Items()->Item(1));
    GuiTest::Click(lv, Point(r.Left + 4, r.Top + 4));
    EXPECT_EQ(lv->Selected(), lv->Items()->Item(1));
    EXPECT_EQ(lv->ItemIndex(), 1);
    lv->SetItemIndex(2);
    EXPECT_EQ(events, (std::vector<std::string>{"zhang+", "zhang-", "li+"}));
    EXPECT_EQ(lv->SelCount(), 1);
    int dbl = 0;
    lv->OnDblClick = [&](TObject*) { ++dbl; };
    GuiTest::DoubleClick(lv, Point(r.Left + 4, r.Top + 4));
    EXPECT_EQ(dbl, 1);
    // Column click; deletion of the selected item tells OnDeletion and leaves no selection.
    std::string clicked;
    lv->OnColumnClick = [&](TObject*, TListColumn* c) { clicked = c->Caption(); };
    int deleted = 0;
    lv->OnDeletion = [&](TObject*, TListItem*) { ++deleted; };
    lv->Items()->Item(1)->Delete();
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(lv->Items()->Count(), 2);
    EXPECT_EQ(lv->Items()->Item(1)->SubItems()->Strings(0), "用户li");
    // The items and the selection outlive a change of view.
    lv->SetItemIndex(1);
    lv->SetViewStyle(vsIcon);
    GuiTest::ProcessEvents();
    EXPECT_EQ(lv->Items()->Count(), 2);
    EXPECT_EQ(lv->ItemIndex(), 1);
    // Freeing the list tells OnDeletion of every item left.
    delete lv;
    EXPECT_EQ(deleted, 3);
}

TEST_F(ComCtrlsTest, ListViewLargeIconsShowTheirImages)
{
    auto images = Squares(32, {clRed, clBlue});
    auto* lv = Make<TListView>(10, 10, 300, 200);
    lv->SetLargeImages(images.get());
    TListItem* a = lv->Items()->Add();
    a->SetCaption("管理员");
    a->SetImageIndex(1);
    ShowForm();
    TRect r = a->DisplayRect();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(lv));
    bool blue = false;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) blue |= ColorToRGB(shot->Canvas()->Pixels(x, y)) == clBlue;
    EXPECT_TRUE(blue);
    // Programmatic selection without a window is reported the same way.
    TListView off(nullptr);
    int selected = 0;
    off.OnSelectItem = [&](TObject*, TListItem*, bool s) { selected += s ? 1 : -1; };
    off.Items()->Add()->SetCaption("x");
    off.Items()->Item(0)->SetSelected(true);
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(off.Selected(), off.Items()->Item(0));
}

TEST_F(ComCtrlsTest, DateTimePickerHoldsDateTimeAndItsCheckBox)
{
    auto* dtp = Make<TDateTimePicker>(10, 10, 180, 24);
    dtp->SetDateTime(EncodeDateTime(2026, 3, 15, 10, 30, 0, 0));
    dtp->SetShowCheckbox(true);
    dtp->SetChecked(false);
    int changes = 0;
    dtp->OnChange = [&](TObject*) { ++changes; };
    ShowForm();
    EXPECT_EQ(dtp->Date(), EncodeDate(2026, 3, 15));
    EXPECT_NEAR(dtp->Time(), EncodeTime(10, 30, 0, 0), 1e-9);
    // The user ticks the box: there is a value now.
    GuiTest::Click(dtp, Point(9, 12));
    EXPECT_TRUE(dtp->Checked());
    EXPECT_EQ(changes, 1);
    // Up steps the section with the caret (the year at the start).
    dtp->SetFocus();
    GuiTest::KeyPress(VK_HOME);
    GuiTest::KeyPress(VK_UP);
    EXPECT_EQ(dtp->Date(), EncodeDate(2027, 3, 15));
    EXPECT_NEAR(dtp->Time(), EncodeTime(10, 30, 0, 0), 1e-9);   // the time part stays
    EXPECT_EQ(changes, 2);
    dtp->SetMaxDate(EncodeDate(2026, 12, 31));
    EXPECT_EQ(dtp->Date(), EncodeDate(2026, 12, 31));
    dtp->SetKind(dtkTime);
    dtp->SetTime(EncodeTime(8, 5, 0, 0));
    EXPECT_EQ(dtp->Date(), EncodeDate(2026, 12, 31));
}

TEST_F(ComCtrlsTest, MonthCalendarPicksADay)
{
    auto* cal = Make<TMonthCalendar>(10, 10, 240, 180);
    cal->SetDate(EncodeDate(2026, 5, 20));
    int clicks = 0;
    cal->OnClick = [&](TObject*) { ++clicks; };
    ShowForm();
    EXPECT_EQ(cal->Date(), EncodeDate(2026, 5, 20));
    cal->SetMinDate(EncodeDate(2026, 6, 1));
    EXPECT_EQ(cal->Date(), EncodeDate(2026, 6, 1));
    cal->SetFocus();
    GuiTest::KeyPress(VK_RIGHT);
    EXPECT_EQ(cal->Date(), EncodeDate(2026, 6, 2));
    EXPECT_EQ(clicks, 1);
}

TEST_F(ComCtrlsTest, ToolBarLaysOutButtonsAndGroupsCheckButtons)
{
    auto images = Squares(16, {clRed, clLime, clBlue});
    auto* bar = Make<TToolBar>(0, 0, 400, 30);
    bar->SetImages(images.get());
    bar->SetFlat(true);
    auto add = [&](TToolButtonStyle st, int image) {
        auto* b = new TToolButton(Form);
        b->SetLeft(1000);   // put after the others
        b->SetParent(bar);
        b->SetStyle(st);
        b->SetImageIndex(image);
        return b;
    };
    TToolButton* open = add(tbsButton, 0);
    TToolButton* sep = add(tbsSeparator, -1);
    TToolButton* left = add(tbsCheck, 1);
    TToolButton* right = add(tbsCheck, 2);
    TToolButton* drop = add(tbsDropDown, 0);
    left->SetGrouped(true);
    right->SetGrouped(true);
    EXPECT_EQ(bar->ButtonCount(), 5);
    EXPECT_EQ(open->Left(), 0);
    EXPECT_EQ(sep->Left(), open->Width());
    EXPECT_EQ(sep->Width(), 8);
    EXPECT_EQ(left->Left(), sep->Left() + 8);
    EXPECT_GT(drop->Width(), open->Width());   // room for the arrow
    open->OnClick = Logger("open");
    int dropped = 0;
    drop->OnDropDownClick = [&](TObject*) { ++dropped; };
    drop->OnClick = Logger("drop");
    ShowForm();
    EXPECT_EQ(GuiTest::PixelAt(bar, Point(open->Left() + open->Width() / 2, open->Top() + open->Height() / 2)), clRed);
    GuiTest::Click(bar, Point(open->Left() + 5, 5));
    GuiTest::Click(bar, Point(left->Left() + 5, 5));
    EXPECT_TRUE(left->Down());
    GuiTest::Click(bar, Point(right->Left() + 5, 5));
    EXPECT_TRUE(right->Down());
    EXPECT_FALSE(left->Down());
    GuiTest::Click(bar, Point(right->Left() + 5, 5));
    EXPECT_TRUE(right->Down());   // one of the group stays down
    TRect arrow = drop->DropDownRect();
    GuiTest::Click(bar, Point(drop->Left() + arrow.Left + 4, 5));
    EXPECT_EQ(dropped, 1);
    GuiTest::Click(bar, Point(drop->Left() + 4, 5));
    EXPECT_EQ(Log, (std::vector<std::string>{"open", "drop"}));
    // Captions make the buttons bigger; a narrow bar wraps them into rows.
    open->SetCaption("打开文件");
    bar->SetShowCaptions(true);
    EXPECT_GT(open->Height(), 22);
    EXPECT_GT(open->Width(), 23);
    bar->SetAlign(alNone);
    bar->SetWidth(120);
    EXPECT_GT(drop->Top(), 0);
    delete right;
    EXPECT_EQ(bar->ButtonCount(), 4);
}

} // namespace
