// The column filter drop-down: its entries, its size, and what choosing
// each kind of entry does to the view's filter.
#include "GridTestBase.h"

#include "cxCustomData.h"
#include "cxFilterConsts.h"
#include "cxGridCustomTableView.h"
#include "cxGridFilterPopup.h"
#include "cxListBox.h"
#include "StringLists.h"
#include "Windows.h"

#include <memory>

namespace {

// An item that tells what the application's own filter entries bring.
class TFilterPopupTestItem : public TcxCustomGridTableItem {
    QZ_CLASS(TFilterPopupTestItem, TcxCustomGridTableItem)
public:
    using TcxCustomGridTableItem::TcxCustomGridTableItem;
    void DoUserFiltering(const Variant& AValue, const std::string& ADisplayText) override
    {
        UserFiltering.push_back(VarToStr(AValue) + "=" + ADisplayText);
    }
    std::vector<std::string> UserFiltering;
};

class TFilterPopupTestView : public TcxGridTestTableView {
    QZ_CLASS(TFilterPopupTestView, TcxGridTestTableView)
public:
    using TcxGridTestTableView::TcxGridTestTableView;
    TClass GetItemClass() override { return TFilterPopupTestItem::StaticClass(); }
};

// A filter button over a header cell, as a column header shows it.
class TTestFilterButton : public IcxGridFilterPopupButton {
public:
    TTestFilterButton(TcxCustomGridTableItem* AColumn, int AHeaderWidth) : FColumn(AColumn), FHeaderWidth(AHeaderWidth)
    {
    }
    TcxCustomGridTableItem* FilterPopupColumn() override { return FColumn; }
    TRect FilterPopupButtonBounds() override { return {HeaderRight - 15, 2, HeaderRight, 20}; }
    TRect FilterPopupHeaderBounds() override { return {HeaderRight - FHeaderWidth, 2, HeaderRight, 20}; }
    static constexpr int HeaderRight = 380;
    void FilterPopupClosed() override { ++Closed; }
    int Closed = 0;

private:
    TcxCustomGridTableItem* FColumn;
    int FHeaderWidth;
};

}  // namespace

QZ_CLASS_IMPL(TFilterPopupTestItem, TcxCustomGridTableItem)
QZ_CLASS_IMPL(TFilterPopupTestView, TcxGridTestTableView)

namespace {

class GridFilterPopupTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        View = static_cast<TFilterPopupTestView*>(Grid->CreateView(TFilterPopupTestView::StaticClass()));
        Grid->RootLevel()->Add()->SetGridView(View);
        City = static_cast<TFilterPopupTestItem*>(View->CreateItem());
        City->DataBinding()->SetValueTypeClass(TcxStringValueType::Class());
        Age = static_cast<TFilterPopupTestItem*>(View->CreateItem());
        Age->DataBinding()->SetValueTypeClass(TcxIntegerValueType::Class());
        Fill({"北京", "上海", "", "北京", "广州"});
        ShowForm();
        Popup = std::make_unique<TcxGridFilterPopup>(View);
    }
    void TearDown() override
    {
        Popup.reset();
        GridTestBase::TearDown();
    }
    void Fill(const std::vector<std::string>& ACities)
    {
        auto* dc = static_cast<TcxGridDataController*>(View->DataController());
        dc->SetRecordCount(int(ACities.size()));
        for (int r = 0; r < int(ACities.size()); ++r) {
            if (!ACities[size_t(r)].empty()) dc->SetValue(r, City->Index(), ACities[size_t(r)]);
            dc->SetValue(r, Age->Index(), 20 + r);
        }
    }
    std::vector<std::string> Shown()
    {
        std::vector<std::string> result;
        for (int i = 0; i < Popup->ListBox()->Count(); ++i) result.push_back(Popup->ListBox()->Items()->Strings(i));
        return result;
    }
    int IndexOf(const std::string& AText)
    {
        return Popup->ListBox()->Items()->IndexOf(AText);
    }
    TcxDataFilterCriteria* Filter() { return View->DataController()->Filter(); }
    std::string FilterText() { return Filter()->GetFilterText(); }
    int ItemHeight() { return Popup->ListBox()->InnerListBox()->Canvas()->TextHeight("Qq"); }
    int TextWidth(const std::string& AText) { return Popup->ListBox()->InnerListBox()->Canvas()->TextWidth(AText); }

    TFilterPopupTestView* View = nullptr;
    TFilterPopupTestItem* City = nullptr;
    TFilterPopupTestItem* Age = nullptr;
    std::unique_ptr<TcxGridFilterPopup> Popup;
};

}  // namespace

TEST_F(GridFilterPopupTest, ListsTheFixedEntriesTheApplicationsAndTheValuesAndSelectsTheCurrentCondition)
{
    City->OnGetFilterValues = [](TcxCustomGridTableItem*, TcxDataFilterValueList* AList) {
        AList->Add(fviUser, "south", "南方城市");
    };
    City->OnGetFilterDisplayText = [](TcxCustomGridTableItem*, const Variant& AValue, std::string& AText) {
        if (VarToStr(AValue) == "广州") AText = "广州市";
    };
    City->DataBinding()->AddToFilter(foEqual, "上海", "上海");
    TTestFilterButton button(City, 60);
    Popup->Popup(&button);
    ASSERT_TRUE(Popup->IsPoppedUp());
    EXPECT_EQ(Shown(), (std::vector<std::string>{"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)", "南方城市", "北京",
                                                 "广州市", "上海"}));
    EXPECT_EQ(Popup->ListBox()->ItemIndex(), IndexOf("上海"));
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) GuiTest::SavePng(Popup.get(), std::string(dir) + "/grid-filter-popup.png");
    // A condition the list cannot show as one value selects "(Custom...)".
    Popup->ClosePopup();
    EXPECT_EQ(Popup->ListBox()->Count(), 0) << "the list is emptied between drop-downs";
    City->DataBinding()->AddToFilter(foLike, "上%", "上%");
    Popup->Popup(&button);
    EXPECT_EQ(Popup->ListBox()->ItemIndex(), 1);
    Popup->ClosePopup();
    Filter()->Clear();
    Popup->Popup(&button);
    EXPECT_EQ(Popup->ListBox()->ItemIndex(), -1);
}

TEST_F(GridFilterPopupTest, SizesTheListByRowsTheWidestTextTheScrollBarAndTheHeaderCell)
{
    std::vector<std::string> cities;
    for (int i = 0; i < 30; ++i) cities.push_back("城市" + std::to_string(100 + i));
    cities.push_back("一个很长很长的城市名称");
    Fill(cities);
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    struct Case {
        int MaxCount, DropDownWidth, HeaderWidth;
        int Rows;
        bool ScrollBar, HeaderWide;
    } cases[] = {
        {15, 0, 30, 15, true, false},     // 33 entries, 15 shown
        {0, 0, 30, 33, false, false},     // no limit: all shown
        {40, 0, 30, 33, false, false},
        {15, 0, 300, 15, true, true},     // a wide header widens the list
        {15, 150, 30, 15, true, false},   // a set width, the bar on top
    };
    for (const Case& c : cases) {
        View->Filtering()->SetMaxDropDownCount(c.MaxCount);
        View->Filtering()->SetDropDownWidth(c.DropDownWidth);
        TTestFilterButton button(City, c.HeaderWidth);
        Popup->Popup(&button);
        ASSERT_TRUE(Popup->IsPoppedUp());
        TcxListBox* list = Popup->ListBox();
        EXPECT_EQ(list->ItemHeight(), ItemHeight());
        EXPECT_EQ(list->Height(), c.Rows * ItemHeight()) << c.MaxCount;
        int width = c.DropDownWidth ? c.DropDownWidth : TextWidth("一个很长很长的城市名称") + 4;
        if (c.ScrollBar) width += bar;
        if (c.HeaderWide) width = c.HeaderWidth - Popup->GetHorzFramesWidth();
        EXPECT_EQ(list->Width(), width) << c.MaxCount << " " << c.HeaderWidth;
        EXPECT_EQ(Popup->Width(), list->Width() + Popup->GetHorzFramesWidth());
        // Right-aligned with the header cell, just below the button.
        const TPoint headerRight = View->Site()->ClientToScreen(Point(TTestFilterButton::HeaderRight, 20));
        EXPECT_EQ(Popup->Left() + Popup->Width(), headerRight.X);
        EXPECT_EQ(Popup->Top(), headerRight.Y);
        Popup->ClosePopup();
    }
}

TEST_F(GridFilterPopupTest, ChoosingAnEntryChangesTheFilterByItsKind)
{
    // Another column's condition on an inactive filter, and one on the city.
    Age->DataBinding()->AddToFilter(foGreater, 21, "21");
    City->DataBinding()->AddToFilter(foEqual, "北京", "北京");
    ASSERT_FALSE(Filter()->Active());
    City->OnGetFilterValues = [](TcxCustomGridTableItem*, TcxDataFilterValueList* AList) {
        AList->Add(fviUser, "south", "南方城市");
    };
    struct Case {
        const char* Entry;
        bool Active;
        const char* CityCondition;   // the city's condition afterwards, "" for none
    } cases[] = {
        {"(Blanks)", true, "blank"},
        {"(NonBlanks)", true, "blank"},
        {"广州", true, "广州"},
        {"(All)", false, ""},
    };
    for (const Case& c : cases) {
        Filter()->SetActive(false);
        TTestFilterButton button(City, 60);
        Popup->Popup(&button);
        const int index = IndexOf(c.Entry);
        ASSERT_GE(index, 0) << c.Entry;
        Popup->ApplyFilter(index);
        EXPECT_FALSE(Popup->IsPoppedUp());
        EXPECT_EQ(Filter()->Active(), c.Active) << c.Entry;
        TcxFilterCriteriaItem* cityItem = Filter()->FindItemByItemLink(City);
        EXPECT_EQ(cityItem ? cityItem->DisplayValue() : std::string(), c.CityCondition) << c.Entry;
        ASSERT_NE(Filter()->FindItemByItemLink(Age), nullptr) << "the other column keeps its condition";
        EXPECT_EQ(Filter()->Root()->Count(), cityItem ? 2 : 1) << c.Entry;
        if (std::string(c.Entry) == "(NonBlanks)") EXPECT_EQ(cityItem->OperatorKind(), foNotEqual);
        if (std::string(c.Entry) == "(Blanks)") {
            EXPECT_EQ(cityItem->OperatorKind(), foEqual);
            EXPECT_TRUE(cityItem->Value().IsNull());
        }
    }
    // "(All)" with no condition on the column leaves the active state alone.
    Filter()->SetActive(true);
    TTestFilterButton button(City, 60);
    Popup->Popup(&button);
    Popup->ApplyFilter(IndexOf("(All)"));
    EXPECT_TRUE(Filter()->Active());
    EXPECT_EQ(Filter()->Root()->Count(), 1);
}

TEST_F(GridFilterPopupTest, AnApplicationEntryOnlyReachesItsHandler)
{
    City->OnGetFilterValues = [](TcxCustomGridTableItem*, TcxDataFilterValueList* AList) {
        AList->Add(fviUser, "south", "南方城市");
    };
    City->DataBinding()->AddToFilter(foEqual, "北京", "北京");
    const std::string before = FilterText();
    TTestFilterButton button(City, 60);
    Popup->Popup(&button);
    Popup->ApplyFilter(IndexOf("南方城市"));
    EXPECT_EQ(City->UserFiltering, (std::vector<std::string>{"south=南方城市"}));
    EXPECT_FALSE(Filter()->Active()) << "the filter is not made active";
    EXPECT_EQ(FilterText(), before);
}

TEST_F(GridFilterPopupTest, TheMouseAndTheKeysChooseOnTheList)
{
    TTestFilterButton button(City, 60);
    Popup->Popup(&button);
    TcxListBox* list = Popup->ListBox();
    TControl* inner = list->InnerListBox();
    const int h = list->ItemHeight();
    // Moving selects the item under the pointer; releasing below the last
    // item closes without a change.
    GuiTest::MouseMove(inner, Point(5, 2 * h + h / 2));
    EXPECT_EQ(list->ItemIndex(), 2);
    Popup->SetHeight(Popup->Height() + 3 * h);
    list->SetHeight(list->Height() + 3 * h);
    GuiTest::Click(inner, Point(5, list->Count() * h + h));
    EXPECT_FALSE(Popup->IsPoppedUp());
    EXPECT_TRUE(Filter()->IsEmpty());
    EXPECT_EQ(button.Closed, 1) << "the button is drawn unpressed again";
    // Escape closes without a change; Enter applies the selected entry.
    Popup->Popup(&button);
    ASSERT_TRUE(Popup->IsPoppedUp());
    GuiTest::KeyDown(VK_ESCAPE);
    EXPECT_FALSE(Popup->IsPoppedUp());
    EXPECT_TRUE(Filter()->IsEmpty());
    Popup->Popup(&button);
    list->SetItemIndex(IndexOf("上海"));
    GuiTest::KeyDown(VK_RETURN);
    EXPECT_FALSE(Popup->IsPoppedUp());
    ASSERT_NE(Filter()->FindItemByItemLink(City), nullptr);
    EXPECT_EQ(Filter()->FindItemByItemLink(City)->DisplayValue(), "上海");
    // Releasing on an item applies it.
    Popup->Popup(&button);
    GuiTest::Click(inner, Point(5, IndexOf("北京") * h + 1));
    EXPECT_EQ(Filter()->FindItemByItemLink(City)->DisplayValue(), "北京");
}

TEST_F(GridFilterPopupTest, AButtonThatGoesClosesTheDropDownAndAnotherTakesOver)
{
    auto first = std::make_unique<TTestFilterButton>(City, 60);
    Popup->Popup(first.get());
    ASSERT_TRUE(Popup->IsPoppedUp());
    // Another button taking over gives the first one back its normal state.
    TTestFilterButton second(Age, 60);
    Popup->SetFilterButton(&second);
    EXPECT_FALSE(Popup->IsPoppedUp());
    EXPECT_EQ(first->Closed, 1);
    Popup->Popup(&second);
    ASSERT_TRUE(Popup->IsPoppedUp());
    EXPECT_EQ(Popup->Column(), Age);
    // A new layout pass frees the header cells: the drop-down closes and
    // forgets the button without asking it anything.
    {
        auto going = std::make_unique<TTestFilterButton>(City, 60);
        Popup->Popup(going.get());
        EXPECT_EQ(second.Closed, 1);
        ASSERT_TRUE(Popup->IsPoppedUp());
        going.reset();
    }
    EXPECT_FALSE(Popup->IsPoppedUp());
    EXPECT_EQ(Popup->FilterButton(), nullptr);
    // A popup that goes first leaves its button with nothing to tell.
    Popup->Popup(first.get());
    Popup.reset();
    first.reset();
}

TEST_F(GridFilterPopupTest, CustomOpensTheDialogOutsideAnUpdateOfTheFilter)
{
    const TcxGridFilterDialogs saved = cxGridCustomTableView::FilterDialogs();
    int lockInDialog = -1, rowsInDialog = -1;
    TcxGridFilterDialogs dialogs;
    dialogs.IsComplexFilter = [](TcxFilterCriteria*) { return false; };
    dialogs.ShowFilterDialog = [&](TcxFilterCriteria* ACriteria, TObject* AItem, TcxCustomEditProperties*,
                                   TcxLookAndFeel*, TcxValueTypeClass, const std::string& ACaption) {
        lockInDialog = ACriteria->LockCount();
        // What the dialog applies shows while it is still open.
        View->DataController()->Filter()->SetActive(true);
        ACriteria->AddItem(nullptr, AItem, foEqual, "北京", "北京");
        rowsInDialog = View->DataController()->GetRowCount();
        return true;
    };
    cxGridCustomTableView::SetFilterDialogs(dialogs);
    TTestFilterButton button(City, 60);
    Popup->Popup(&button);
    Popup->ApplyFilter(IndexOf("(Custom...)"));
    cxGridCustomTableView::SetFilterDialogs(saved);
    EXPECT_FALSE(Popup->IsPoppedUp());
    EXPECT_EQ(lockInDialog, 0);
    EXPECT_EQ(rowsInDialog, 2);
    EXPECT_TRUE(Filter()->Active());
}

// ---- through a table view's header ---------------------------------------------------------------------

#include "cxGridTableLayout.h"
#include "cxGridTableView.h"

namespace {

class GridHeaderFilterPopupTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        Editors = std::make_unique<TDefaultEditorsScope>();
        cxGridTableView::Initialize();
        cxGridFilterPopup::Initialize();
        View = static_cast<TcxGridTableView*>(Grid->CreateView(TcxGridTableView::StaticClass()));
        Grid->RootLevel()->Add()->SetGridView(View);
        for (const char* caption : {"城市", "年龄"}) {
            TcxGridColumn* column = View->CreateColumn();
            column->SetCaption(caption);
            column->DataBinding()->SetValueTypeClass(TcxStringValueType::Class());
            column->SetWidth(120);
        }
        TcxCustomDataController* dc = View->DataController();
        const char* cities[] = {"北京", "上海", "北京", "广州"};
        dc->SetRecordCount(4);
        for (int r = 0; r < 4; ++r) dc->SetValue(r, 0, Variant(std::string(cities[r])));
        Grid->SetBounds(0, 0, 400, 300);
        ShowForm();
        GuiTest::ProcessEvents();
        View->ViewInfo()->Recalculate();
    }
    void TearDown() override
    {
        GridTestBase::TearDown();
        cxGridFilterPopup::Finalize();
        Editors.reset();
    }
    TcxGridColumnHeaderFilterButtonViewInfo* FilterButton(int AColumn)
    {
        TcxGridColumnHeaderViewInfo* header = View->ViewInfo()->HeaderViewInfo()->Items(AColumn);
        for (int i = 0; i < header->AreaCount(); ++i)
            if (auto* b = DynamicCast<TcxGridColumnHeaderFilterButtonViewInfo>(header->Areas(i))) return b;
        return nullptr;
    }
    std::unique_ptr<TDefaultEditorsScope> Editors;
    TcxGridTableView* View = nullptr;
};

}  // namespace

TEST_F(GridHeaderFilterPopupTest, PressingAHeadersFilterButtonDropsItsValuesDown)
{
    TcxGridColumnHeaderFilterButtonViewInfo* button = FilterButton(0);
    ASSERT_NE(button, nullptr);
    button->SetState(gcsPressed);
    TcxGridFilterPopup* popup = cxGridFilterPopup::ShownPopup();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(popup->IsPoppedUp());
    EXPECT_TRUE(View->FilterPopupVisible);
    EXPECT_EQ(popup->Column(), View->Columns(0));
    TStrings* items = popup->ListBox()->Items();
    ASSERT_EQ(items->Count(), 5);
    EXPECT_EQ(items->Strings(2), "北京");
    // Choosing a value filters the view; the new layout frees the button,
    // and the drop-down forgets it.
    popup->ApplyFilter(2);
    EXPECT_FALSE(popup->IsPoppedUp());
    EXPECT_FALSE(View->FilterPopupVisible);
    EXPECT_TRUE(View->DataController()->Filter()->Active());
    GuiTest::ProcessEvents();
    View->ViewInfo()->Recalculate();
    EXPECT_EQ(View->DataController()->GetRowCount(), 2);
    EXPECT_EQ(popup->FilterButton(), nullptr);
    // The drop-down is open while a new layout frees its button: it closes.
    button = FilterButton(0);
    ASSERT_NE(button, nullptr);
    button->SetState(gcsPressed);
    ASSERT_TRUE(popup->IsPoppedUp());
    View->ViewInfo()->Recalculate();
    EXPECT_FALSE(popup->IsPoppedUp());
    EXPECT_FALSE(View->FilterPopupVisible);
}

TEST_F(GridHeaderFilterPopupTest, AViewThatGoesTakesItsDropDownAlong)
{
    FilterButton(0)->SetState(gcsPressed);
    ASSERT_NE(cxGridFilterPopup::ShownPopup(), nullptr);
    FreeAndNil(View);
    EXPECT_EQ(cxGridFilterPopup::ShownPopup(), nullptr);
}
