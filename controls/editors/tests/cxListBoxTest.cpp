#include "cxListBox.h"

#include "EditOnForm.h"
#include "StringLists.h"

namespace {

// A binding that stores a text and may refuse editing.
class TTestBinding : public TcxDataBinding {
public:
    using TcxDataBinding::TcxDataBinding;
    void GetDefaultValue(bool, bool, Variant& value) override { value = Variant(Stored); }
    bool AllowsEditing() override { return Editable; }
    void WriteBoundValue(bool, const Variant& value) override { Written = VarToStr(value); }
    void ResetValue() override { ++Resets; }
    std::string Stored;
    std::string Written = "(none)";
    bool Editable = true;
    int Resets = 0;
};

class TBoundListBox : public TcxListBox {
public:
    explicit TBoundListBox(TComponent* AOwner) : TcxListBox(AOwner) { RecreateDataBinding(); }
    std::unique_ptr<TcxCustomDataBinding> CreateDataBinding() override
    {
        return std::make_unique<TTestBinding>(this, this);
    }
    TTestBinding* Binding() const { return static_cast<TTestBinding*>(DataBinding()); }
};

class ListBoxTest : public TEditOnForm<TcxListBox> {
protected:
    void SetUp() override
    {
        TEditOnForm::SetUp();
        List = Edit;
    }
    int FontHeight()
    {
        TCanvas* c = List->InnerListBox()->Canvas();
        c->Font()->Assign(List->Font());
        return c->TextHeight("Wg");
    }
    TcxListBox* List = nullptr;
};

}  // namespace

TEST_F(ListBoxTest, IntegralHeightSnapsToWholeRowsAndCountsTheHorizontalBar)
{
    EXPECT_EQ(List->Width(), 121);
    EXPECT_EQ(List->Height(), 97);
    List->Font()->SetSize(8);
    for (const char* s : {"科目一", "科目二", "科目三"}) List->Items()->Add(s);
    TRect ext = List->GetBorderExtent();
    const int row = FontHeight(), frame = ext.Top + ext.Bottom;
    EXPECT_EQ(List->GetIntegralHeight(100), 100);   // off: as asked
    List->SetIntegralHeight(true);
    int rows = (100 - frame) / row;
    EXPECT_EQ(List->GetIntegralHeight(100), frame + rows * row);
    EXPECT_EQ(List->GetIntegralHeight(frame + 2 * row), frame + 2 * row);   // exact fits stay
    EXPECT_EQ(List->GetIntegralHeight(3), frame + row);                     // never below one row
    List->SetBounds(List->Left(), List->Top(), List->Width(), 100);
    EXPECT_EQ(List->Height(), frame + rows * row);
    // A long item scrolled over wider than the list: the bar's height counts.
    List->SetScrollWidth(500);
    const int bar = GetSystemMetrics(SM_CYHSCROLL);
    int withBar = List->GetIntegralHeight(100);
    EXPECT_EQ((withBar - frame - bar) % row, 0);
    EXPECT_LE(withBar, 100);
    EXPECT_GT(withBar, 100 - row);
    // Aligned to the client area it does not snap.
    List->SetAlign(alClient);
    EXPECT_EQ(List->GetIntegralHeight(100), 100);
}

TEST_F(ListBoxTest, OwnerDrawnRowsUseTheItemHeightAndTheMeasureEvent)
{
    List->SetListStyle(lbOwnerDrawVariable);
    List->SetItemHeight(20);
    for (const char* s : {"a", "b", "c"}) List->Items()->Add(s);
    List->SetOnMeasureItem([](TcxListBox*, int i, int& h) { h = i == 0 ? 30 : h; });
    EXPECT_EQ(List->GetRowHeight(0), 30);
    EXPECT_EQ(List->GetRowHeight(1), 20);
    EXPECT_EQ(List->GetRowHeight(5), 20);   // beyond the items: the plain height
    List->SetListStyle(lbOwnerDrawFixed);
    EXPECT_EQ(List->GetRowHeight(0), 20);
}

TEST_F(ListBoxTest, ThePlainBindingSelectsTheEmptyItemWhenThereIsOne)
{
    auto items = std::make_unique<TStringList>();
    items->Add("科目一");
    items->Add("科目二");
    List->SetItems(items.get());
    EXPECT_EQ(List->ItemIndex(), -1);
    items->Add("");
    List->SetItems(items.get());
    EXPECT_EQ(List->ItemIndex(), 2);
    // The messages of a list reach the inner list.
    EXPECT_EQ(List->Perform(LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(List->Count(), 3);
}

TEST_F(ListBoxTest, ABindingShowsAndStoresTheChosenTextAndMayRefuseChanges)
{
    auto* bound = new TBoundListBox(Form);
    bound->SetParent(Form);
    bound->SetBounds(150, 10, 121, 97);
    bound->Binding()->Stored = "科目二";
    auto items = std::make_unique<TStringList>();
    for (const char* s : {"科目一", "科目二", "科目三"}) items->Add(s);
    bound->SetItems(items.get());
    EXPECT_EQ(bound->ItemIndex(), 1);
    bound->SetItemIndex(2);
    bound->DataBinding()->NotifyThird();
    EXPECT_EQ(bound->Binding()->Written, "科目三");
    GuiTest::ProcessEvents();
    bound->SetFocus();
    GuiTest::ProcessEvents();
    bound->Binding()->Editable = false;
    GuiTest::KeyPress(VK_UP);
    GuiTest::ProcessEvents();
    EXPECT_EQ(bound->ItemIndex(), 2);
    TRect r = bound->InnerListBox()->ItemRect(0);
    GuiTest::Click(bound->InnerListBox(), TPoint{r.Left + 4, r.Top + 2});
    EXPECT_EQ(bound->ItemIndex(), 2);
    bound->Binding()->Editable = true;
    GuiTest::KeyPress(VK_UP);
    GuiTest::ProcessEvents();
    EXPECT_EQ(bound->ItemIndex(), 1);
    const int resets = bound->Binding()->Resets;
    GuiTest::KeyPress(VK_ESCAPE);
    GuiTest::ProcessEvents();
    EXPECT_GT(bound->Binding()->Resets, resets);
}

TEST_F(ListBoxTest, AnOwnerDrawHandlerDrawsInsteadOfTheList)
{
    for (const char* s : {"倒车入库", "侧方停车"}) List->Items()->Add(s);
    List->SetListStyle(lbOwnerDrawFixed);
    List->SetItemHeight(18);
    std::vector<int> drawn;
    List->OnDrawItem = [&](TcxListBox* l, TcxCanvas* c, int i, TRect r, TOwnerDrawState) {
        EXPECT_EQ(l, List);
        drawn.push_back(i);
        c->FillRect(r, clRed);
    };
    List->Invalidate();
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(List));
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), 1), drawn.end());
    TRect r = List->InnerListBox()->ItemRect(1);
    TPoint p = List->ScreenToClient(List->InnerListBox()->ClientToScreen(TPoint{r.Left + 10, r.Top + 5}));
    EXPECT_EQ(ColorToRGB(shot->Canvas()->Pixels(p.X, p.Y)), ColorToRGB(clRed));
    // Unassigned: the list draws its text again.
    List->OnDrawItem = nullptr;
    drawn.clear();
    List->Invalidate();
    GuiTest::ProcessEvents();
    shot.reset(GuiTest::Grab(List));
    EXPECT_TRUE(drawn.empty());
    EXPECT_NE(ColorToRGB(shot->Canvas()->Pixels(p.X, p.Y)), ColorToRGB(clRed));
}

// List boxes of Chinese rows in the four looks, each with more rows than it
// shows: the painter's scroll bar stands beside the rows and the chosen row
// is drawn in the highlight colour. Written as editors_list_boxes.png.
TEST_F(ListBoxTest, PaintsTheLooks)
{
    delete List;
    List = Edit = nullptr;
    Form->SetBounds(100, 100, 560, 180);
    const TcxLookAndFeelKind kinds[4] = {lfStandard, lfFlat, lfUltraFlat, lfStandard};
    const char* rows[] = {"张伟 科目一", "王芳 科目二", "李娜 科目三", "刘洋 科目四",
                          "陈静 倒车入库", "杨磊 侧方停车", "赵敏 坡道起步", "黄强 直角转弯"};
    std::vector<TcxListBox*> boxes;
    for (int look = 0; look < 4; ++look) {
        auto* b = new TcxListBox(Form);
        b->SetParent(Form);
        b->SetBounds(10 + look * 135, 10, 125, 97);
        b->Style()->LookAndFeel()->SetKind(kinds[look]);
        if (look == 3) b->Style()->LookAndFeel()->SetNativeStyle(true);
        for (const char* r : rows) b->Items()->Add(r);
        b->SetItemIndex(look + 1);
        boxes.push_back(b);
    }
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Form));
    ASSERT_TRUE(shot);
    for (TcxListBox* b : boxes) {
        TcxInnerListBox* inner = b->InnerListBox();
        TcxScrollBar* bar = inner->VertScrollBar();
        ASSERT_TRUE(bar && bar->Visible()) << b->Left();
        const TRect r = inner->ItemRect(b->ItemIndex());
        const TPoint p = Form->ScreenToClient(inner->ClientToScreen(TPoint{r.Right - 3, (r.Top + r.Bottom) / 2}));
        // The bar stands beside the rows, inside the list box.
        const TPoint barAt = Form->ScreenToClient(bar->ClientToScreen(TPoint{0, 0}));
        EXPECT_LT(p.X, barAt.X);
        EXPECT_LE(barAt.X + bar->Width(), b->Left() + b->Width());
        EXPECT_EQ(ColorToRGB(shot->Canvas()->Pixels(p.X, p.Y)), ColorToRGB(clHighlight)) << b->Left();
    }
    EXPECT_TRUE(GuiTest::SavePng(shot.get(), std::string(QZ_BINARY_DIR) + "/editors_list_boxes.png"));
}

// Columns, tab width and completion are the inner list's: set on the list box
// they lay its items out in columns under the painter's horizontal bar.
TEST_F(ListBoxTest, ColumnsAndTabsReachTheInnerListAndItsBars)
{
    Form->SetBounds(100, 100, 420, 200);
    List->SetBounds(10, 10, 300, 120);
    List->SetItemHeight(18);
    const char* names[] = {"张伟\t科目一\t已约", "王芳\t科目二\t待考", "李娜\t科目三\t已约", "刘洋\t科目四\t合格",
                           "陈静\t倒车入库\t待考", "杨磊\t侧方停车\t合格", "赵敏\t坡道起步\t已约",
                           "黄强\t直角转弯\t待考", "周杰\t曲线行驶\t合格", "吴刚\t科目一\t已约",
                           "孙丽\t科目二\t待考", "郑凯\t科目三\t合格", "钱多\t科目四\t已约", "冯雪\t科目一\t待考"};
    for (const char* n : names) List->Items()->Add(n);
    TcxInnerListBox* inner = List->InnerListBox();
    EXPECT_TRUE(List->AutoComplete());
    List->SetAutoComplete(false);
    EXPECT_FALSE(inner->AutoComplete());
    List->SetTabWidth(30);
    EXPECT_EQ(inner->TabWidth(), 30);
    EXPECT_EQ(List->TabWidth(), 30);
    GuiTest::ProcessEvents();
    ASSERT_TRUE(inner->VertScrollBar()->Visible());

    List->SetColumns(2);
    EXPECT_EQ(inner->Columns(), 2);
    EXPECT_EQ(List->Columns(), 2);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(inner->VertScrollBar()->Visible());
    ASSERT_TRUE(inner->HorzScrollBar()->Visible());
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    GetScrollInfo(inner->Handle(), SB_HORZ, &si);
    EXPECT_EQ(inner->HorzScrollBar()->Max(), si.nMax);
    EXPECT_EQ(inner->HorzScrollBar()->PageSize(), int(si.nPage));
    const int perColumn = inner->ClientHeight() / 18;
    const int cw = inner->ClientWidth() / 2;
    ASSERT_GT(perColumn, 0);
    ASSERT_LT(perColumn, 14);
    const TRect r = inner->ItemRect(perColumn + 1);
    EXPECT_EQ(r.Left, cw);
    EXPECT_EQ(r.Top, 18);
    // A point of the list box, moved by the inner list's place.
    EXPECT_EQ(List->ItemAtPos(TPoint{inner->Left() + cw + 5, inner->Top() + 20}, true), perColumn + 1);
    EXPECT_EQ(List->ItemAtPos(TPoint{inner->Left() + 5, inner->Top() + 20}, true), 1);

    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Form));
    ASSERT_TRUE(shot);
    EXPECT_TRUE(GuiTest::SavePng(shot.get(), std::string(QZ_BINARY_DIR) + "/editors_list_box_columns.png"));

    List->SetColumns(0);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(inner->VertScrollBar()->Visible());
    EXPECT_FALSE(inner->HorzScrollBar()->Visible());
    EXPECT_EQ(inner->ItemRect(1).Left, 0);
}
