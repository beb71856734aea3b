#include "cxTextEditLookupData.h"

#include "Forms.h"
#include "GuiTesting.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"

#include <gtest/gtest.h>

namespace {

class TListProperties : public TcxTextEditProperties {
public:
    TcxTextEditingStyle Style = tesFree;
    TcxTextEditingStyle GetEditingStyle() override { return Style; }
};

// The edit's side: its text and the lock, and the items' properties.
struct TOwner : IcxTextEditLookupOwner {
    TListProperties Properties;
    std::string Text;
    bool Lock = false;
    int Selected = 0;
    TcxCustomTextEditProperties* LookupProperties() override { return &Properties; }
    std::string LookupText() override { return Text; }
    bool LookupTextLock() override { return Lock; }
    void SetLookupTextLock(bool v) override { Lock = v; }
};

}  // namespace

TEST(TextEditLookupData, LocatesByPrefix)
{
    TOwner o;
    for (const char* s : {"Apple", "apricot", "Banana", "驾校"}) o.Properties.LookupItems()->Add(s);
    TcxCustomTextEditLookupData d(&o);
    struct Case {
        const char* Typed;
        bool Found;
        const char* Text;
        const char* Tail;
        int Key;
    };
    const Case cases[] = {
        {"a", true, "A", "pple", 0},
        {"ap", true, "Ap", "ple", 0},
        {"apr", true, "apr", "icot", 1},
        {"BAN", true, "Ban", "ana", 2},
        {"驾", true, "驾", "校", 3},
        {"x", false, "x", "", -1},
        {"", false, "", "", -1},
        {"applesauce", false, "applesauce", "", -1},
    };
    for (const Case& c : cases) {
        std::string text = c.Typed, tail;
        EXPECT_EQ(d.Locate(text, tail, false), c.Found) << c.Typed;
        EXPECT_EQ(text, c.Text) << c.Typed;
        if (c.Found) EXPECT_EQ(tail, c.Tail) << c.Typed;
        EXPECT_EQ(d.CurrentKey(), c.Key) << c.Typed;
    }
    // The next match after the current one.
    std::string a = "a", tail;
    d.Locate(a, tail, false);
    EXPECT_TRUE(d.Locate(a, tail, true));
    EXPECT_EQ(d.CurrentKey(), 1);
    EXPECT_TRUE(d.ContainsText("BANANA"));
    EXPECT_FALSE(d.ContainsText("Ban"));
    EXPECT_EQ(d.GetDisplayText(Variant(2)), "Banana");
    EXPECT_EQ(d.GetDisplayText(Variant(9)), "");
}

TEST(TextEditLookupData, NotFoundResetsByEditingStyle)
{
    struct Case {
        TcxTextEditingStyle Style;
        const char* Typed;
        bool ResetOnFail;
        int Key;   // starting from key 0
    };
    const Case cases[] = {
        {tesFree, "x", false, -1},
        {tesList, "x", false, 0},
        {tesList, "x", true, -1},
        {tesList, "", false, -1},
        {tesFixedList, "x", false, 0},
        {tesFixedList, "x", true, -1},
    };
    for (const Case& c : cases) {
        TOwner o;
        o.Properties.Style = c.Style;
        o.Properties.LookupItems()->Add("Apple");
        TcxCustomTextEditLookupData d(&o);
        d.SetCurrentKey(0);
        std::string text = c.Typed, tail;
        d.Locate(text, tail, false, c.ResetOnFail);
        EXPECT_EQ(d.CurrentKey(), c.Key) << int(c.Style) << " '" << c.Typed << "'";
    }
}

TEST(TextEditLookupData, StepsThroughTheItems)
{
    struct Case {
        TcxLookupDirection Direction;
        int From;   // -1 for no item
        bool Cycle;
        int To;
    };
    const int count = 10;
    const Case cases[] = {
        {ldFirst, 5, false, 0},     {ldLast, 5, false, 9},
        {ldNext, 9, false, 9},      {ldNext, 9, true, 0},      {ldNext, -1, false, 0},
        {ldPrevious, 0, false, 0},  {ldPrevious, 0, true, 9},  {ldPrevious, 5, false, 4},
        {ldPageDown, -1, false, 7}, {ldPageDown, 5, false, 9}, {ldPageDown, 9, true, 0},
        {ldPageDown, 1, false, 8},
        {ldPageUp, -1, false, -1},  {ldPageUp, -1, true, 9},   {ldPageUp, 3, false, 0},
        {ldPageUp, 0, true, 9},     {ldPageUp, 9, false, 2},
    };
    for (const Case& c : cases) {
        TOwner o;
        for (int i = 0; i < count; ++i) o.Properties.LookupItems()->Add("item" + std::to_string(i));
        TcxCustomTextEditLookupData d(&o);
        d.SetCurrentKey(c.From);
        d.Go(c.Direction, c.Cycle);
        EXPECT_EQ(d.CurrentKey(), c.To) << int(c.Direction) << " from " << c.From << (c.Cycle ? " cycling" : "");
    }
}

TEST(TextEditLookupData, SelectingAppliesTheItem)
{
    TOwner o;
    o.Properties.LookupItems()->Add("Apple");
    o.Properties.LookupItems()->Add("Banana");
    TcxCustomTextEditLookupData d(&o);
    int selected = 0;
    bool lockedWhileSelecting = false;
    d.OnSelectItem = [&](TObject*) {
        ++selected;
        lockedWhileSelecting = o.Lock;
        o.Text = d.GetDisplayText(d.GetCurrentKey());
    };
    d.SelectItemByKey(Variant(1));
    EXPECT_EQ(selected, 1);
    EXPECT_TRUE(lockedWhileSelecting);
    EXPECT_FALSE(o.Lock);
    EXPECT_EQ(o.Text, "Banana");
    d.SelectItemByKey(Variant(1));   // unchanged and the text agrees: nothing
    EXPECT_EQ(selected, 1);
    o.Text = "banana";
    d.SelectItemByKey(Variant(1));   // the text differs in case: applied again
    EXPECT_EQ(selected, 2);

    // An open list moves only its highlight; committing applies it.
    d.ListVisible = true;
    d.Go(ldFirst, false);
    EXPECT_EQ(d.ItemIndex(), 0);
    EXPECT_EQ(d.CurrentKey(), 1);
    d.SelectItem();
    EXPECT_EQ(d.CurrentKey(), 0);
    EXPECT_EQ(o.Text, "Apple");

    // A text set from outside finds its item.
    o.Text = "ban";
    d.TextChanged();
    EXPECT_EQ(d.CurrentKey(), 1);
    EXPECT_EQ(o.Properties.GetLookupDataClass(), TcxCustomTextEditLookupData::StaticClass());
}

TEST(EditListBox, HotTrackWheelAndItemHeight)
{
    GuiTest::Init();
    cxLookAndFeels::Initialize();
    cxLookAndFeelPainters::Initialize();
    std::unique_ptr<TForm> form(new TForm(nullptr));
    form->SetBounds(100, 100, 300, 300);
    auto* list = new TcxCustomEditListBox(form.get());
    list->SetParent(form.get());
    list->SetBounds(10, 10, 150, 120);
    for (int i = 0; i < 30; ++i) list->Items()->Add("项目 " + std::to_string(i));
    form->Show();
    GuiTest::ProcessEvents();
    int h = list->GetItemHeight();
    EXPECT_EQ(h, list->Canvas()->TextHeight("Wg") + 2);
    int selections = 0;
    list->OnSelectItem = [&](TObject*) { ++selections; };
    // Without hot-tracking the mouse selects nothing; with it, the item under the mouse.
    GuiTest::MouseMove(list, TPoint{20, h * 2 + h / 2});
    EXPECT_EQ(list->ItemIndex(), -1);
    list->HotTrack = true;
    GuiTest::MouseMove(list, TPoint{25, h * 2 + h / 2});
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(selections, 1);
    GuiTest::MouseMove(list, TPoint{30, h * 2 + h / 2});   // the same item: no new selection
    EXPECT_EQ(selections, 1);
    // The wheel scrolls by the system's wheel lines.
    UINT lines = 3;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    GuiTest::Wheel(list, TPoint{20, 20}, -120);
    EXPECT_EQ(list->TopIndex(), int(lines));
    GuiTest::Wheel(list, TPoint{20, 20}, 120);
    EXPECT_EQ(list->TopIndex(), 0);
}
