// The filter builder control: rows made from criteria and criteria from
// rows, row edits, keyboard walk, hit tests, apply, and *.flt files.
#include "FilterTesting.h"
#include "Forms.h"
#include "GuiTesting.h"
#include "Streams.h"
#include "SysUtils.h"
#include "Windows.h"
#include "cxDateEdit.h"
#include "cxEdit.h"
#include "cxFilterControl.h"
#include "cxMemo.h"
#include "cxSpinEdit.h"
#include "cxTextEdit.h"
#include "cxVariants.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

TObject* L(int AID) { return reinterpret_cast<TObject*>(intptr_t(AID)); }

std::string Bytes(TcxFilterCriteria* ACriteria)
{
    TStringStream s;
    ACriteria->WriteData(&s);
    return s.DataString();
}

std::string FileBytes(const std::string& AName)
{
    std::ifstream f(AName, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// A readable form of the rows: one line per row, indented by level.
std::string Dump(TcxCustomFilterControl* C)
{
    std::string r;
    for (int i = 0; i < C->RowCount(); ++i) {
        TcxCustomRowViewInfo* row = C->Rows(i);
        r += std::string(size_t(row->Level()) * 2, ' ');
        if (auto* g = dynamic_cast<TcxGroupViewInfo*>(row))
            r += cxFilterControl::GetBoolOperatorText(g->BoolOperator());
        else {
            auto* c = static_cast<TcxConditionViewInfo*>(row);
            r += c->ItemText() + " " + c->OperatorText();
            if (c->HasValues())
                for (int k = 0; k < c->Values()->Count(); ++k) {
                    const TcxValueInfo& v = c->Values()->Values(k);
                    r += " [" + (v.Value.IsNull() || v.Value.IsEmpty() ? std::string("null") : VarToStr(v.Value)) +
                         "|" + v.ValueText + "]";
                }
        }
        r += "\n";
    }
    return r;
}

class FilterControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        Form = new TForm(nullptr);
        Form->SetBounds(50, 50, 700, 300);
        Link = new TcxFilterTestLink(Form);
        Link->AddItem("姓名", 10, TcxTextEditProperties::StaticClass(), TcxStringValueType::Class());
        Link->AddItem("年龄", 11, TcxSpinEditProperties::StaticClass(), TcxIntegerValueType::Class());
        Link->AddItem("生日", 12, TcxDateEditProperties::StaticClass(), TcxDateTimeValueType::Class());
        Link->AddItem("备注", 13, TcxMemoProperties::StaticClass(), TcxStringValueType::Class());
        Link->AddItem("编号", 14, nullptr, TcxIntegerValueType::Class());
        Control = new TcxFilterControl(Form);
        Control->SetParent(Form);
        Control->SetBounds(0, 0, 680, 280);
        Form->Show();
        GuiTest::ProcessEvents();
    }
    void TearDown() override
    {
        FreeAndNil(Form);
        GuiTest::ProcessEvents();
    }
    void Linked() { Control->SetLinkComponent(Link); }
    TcxConditionViewInfo* Cond(int AIndex) { return dynamic_cast<TcxConditionViewInfo*>(Control->Rows(AIndex)); }
    TcxGroupViewInfo* Group(int AIndex) { return dynamic_cast<TcxGroupViewInfo*>(Control->Rows(AIndex)); }
    // A new condition on the item at APosition with the operator, through the lists as a user picks them.
    TcxConditionViewInfo* AddCondition(int APosition, TcxFilterRowOperator AOperator)
    {
        Control->AddCondition(Control->FocusedInfo().Row);
        auto* c = static_cast<TcxConditionViewInfo*>(Control->FocusedInfo().Row);
        c->SetItemIndex(APosition);
        c->SetOperator(AOperator);
        c->AdjustValueCount(true);
        return c;
    }
    void SetValue(TcxConditionViewInfo* C, int AIndex, const Variant& AValue, const std::string& AText)
    {
        C->Values()->Values(AIndex).Value = AValue;
        C->Values()->Values(AIndex).ValueText = AText;
    }
    std::string TempName(const char* ASuffix)
    {
        return "/tmp/gv2-filter-" + std::to_string(::getpid()) + "-" + ASuffix + ".flt";
    }
    TForm* Form = nullptr;
    TcxFilterTestLink* Link = nullptr;
    TcxFilterControl* Control = nullptr;
};

TEST_F(FilterControlTest, RowsFromCriteriaAndBackKeepTheStream)
{
    struct {
        const char* Name;
        TcxFilterOperatorKind Kind;
        Variant Value;
        const char* Text;
        int Item;
        const char* Rows;
    } cases[] = {
        {"is blank", foEqual, Null(), "blank", 10, "AND\n  姓名 is blank\n"},
        {"is not blank", foNotEqual, Null(), "blank", 11, "AND\n  年龄 is not blank\n"},
        {"equals", foEqual, 30, "30", 11, "AND\n  年龄 equals [30|30]\n"},
        {"equals empty text", foEqual, "", "", 10, "AND\n  姓名 equals [|]\n"},
        {"like", foLike, "张%", "张%", 10, "AND\n  姓名 like [张%|张%]\n"},
        {"between", foBetween, cxVariants::VarBetweenArray(20, 30), "20;30", 11,
         "AND\n  年龄 between [20|20] [30|30]\n"},
        {"in three", foInList, Null(), "1;2;3", 11, "AND\n  年龄 in [1|1] [2|2] [3|3]\n"},
        {"relative date", foThisMonth, Null(), "blank", 12, "AND\n  生日 is this month\n"},
    };
    for (auto& c : cases) {
        Link->Filter()->Clear();
        Variant value = c.Value;
        if (c.Kind == foInList) {
            value = cxVariants::VarSingleArray(1);
            cxVariants::AppendToVarArray(value, 2);
            cxVariants::AppendToVarArray(value, 3);
        }
        Link->Filter()->AddItem(nullptr, L(c.Item), c.Kind, value, c.Text);
        Control->SetLinkComponent(nullptr);
        Linked();
        EXPECT_EQ(Dump(Control), c.Rows) << c.Name;
        std::string before = Bytes(Link->Filter());
        Control->BuildCriteria();
        EXPECT_EQ(Bytes(Control->Criteria()), before) << c.Name << ": rows give back the same criteria stream";
    }
}

TEST_F(FilterControlTest, ConditionsWrittenFromRows)
{
    Linked();
    TcxConditionViewInfo* between = AddCondition(1, froBetween);
    SetValue(between, 0, 40, "40");
    SetValue(between, 1, 18, "18");
    TcxConditionViewInfo* equalsEmpty = AddCondition(0, froEqual);
    SetValue(equalsEmpty, 0, "", "");
    TcxConditionViewInfo* likeEmpty = AddCondition(0, froLike);
    SetValue(likeEmpty, 0, "", "");
    TcxConditionViewInfo* blank = AddCondition(0, froBlank);
    SetValue(blank, 0, "ignored", "ignored");
    Control->BuildCriteria();
    TcxFilterCriteriaItemList* root = Control->Criteria()->Root();
    ASSERT_EQ(root->Count(), 4);
    auto item = [&](int i) { return static_cast<TcxFilterCriteriaItem*>(root->Items(i)); };
    EXPECT_EQ(item(0)->OperatorKind(), foBetween);
    EXPECT_EQ(item(0)->Value()[0].AsInteger(), 18) << "between values are written in ascending order";
    EXPECT_EQ(item(0)->Value()[1].AsInteger(), 40);
    EXPECT_EQ(item(0)->DisplayValue(), "18;40");
    EXPECT_EQ(item(0)->ItemLink(), L(11)) << "item links are the link's values unchanged";
    EXPECT_EQ(item(1)->DisplayValue(), "") << "an empty text under equals keeps its own text";
    EXPECT_EQ(item(2)->DisplayValue(), "blank") << "an empty like pattern shows as blank";
    EXPECT_EQ(item(3)->OperatorKind(), foEqual);
    EXPECT_TRUE(item(3)->Value().IsNull()) << "is blank writes Null whatever the row held";
    EXPECT_EQ(item(3)->DisplayValue(), "blank");
}

TEST_F(FilterControlTest, NewConditionsStartWithTheItemsDefaultOperator)
{
    Linked();
    struct {
        int Item;
        TcxFilterRowOperator Operator;
        bool OffersLike;
    } cases[] = {
        {0, froLike, true},     // text
        {1, froEqual, false},   // a number: like is taken away
        {3, froLike, true},     // memo: only like, not like and the blank tests
        {4, froEqual, false},   // no properties: the text helper's set, without like for a number
    };
    for (const auto& c : cases) {
        Control->AddCondition(nullptr);
        auto* row = static_cast<TcxConditionViewInfo*>(Control->FocusedInfo().Row);
        row->SetItemIndex(c.Item);
        EXPECT_EQ(row->Operator(), c.Operator) << c.Item;
        EXPECT_EQ(row->SupportedOperators().Contains(froLike), c.OffersLike) << c.Item;
    }
    TcxConditionViewInfo* none = Cond(Control->RowCount() - 1);
    EXPECT_EQ(none->EditorHelper(), TcxFilterTextEditHelper::Class());
    EXPECT_TRUE(none->SupportedOperators().Contains(froInList)) << "the text helper's extended set";

    Control->Criteria()->SetSupportedLike(false);
    Control->AddCondition(nullptr);
    auto* text = static_cast<TcxConditionViewInfo*>(Control->FocusedInfo().Row);
    EXPECT_FALSE(text->SupportedOperators().Contains(froLike));
    EXPECT_FALSE(text->SupportedOperators().Contains(froNotLike));
    TStringList lines;
    Control->FillOperatorList(&lines);
    EXPECT_EQ(lines.IndexOf("like"), -1);
    EXPECT_EQ(lines.IndexOf("not like"), -1);
}

TEST_F(FilterControlTest, SwitchingItemOrOperatorAdjustsValues)
{
    Linked();
    TcxConditionViewInfo* c = AddCondition(1, froInList);
    c->Values()->AddValue();
    c->Values()->AddValue();
    for (int i = 0; i < 3; ++i) SetValue(c, i, i + 1, std::to_string(i + 1));
    struct {
        TcxFilterRowOperator To;
        const char* Values;
    } cases[] = {
        {froBetween, "[1|1] [2|2]"},
        {froInList, "[1|1] [2|2]"},
        {froEqual, "[1|1]"},
        {froBlank, ""},
        {froEqual, "[null|]"},
    };
    for (const auto& k : cases) {
        c->SetOperator(k.To);
        c->AdjustValueCount(true);
        std::string d = Dump(Control);
        std::string values = d.substr(d.find(c->OperatorText()) + c->OperatorText().size());
        if (!values.empty() && values[0] == ' ') values.erase(0, 1);
        values.pop_back();
        EXPECT_EQ(values, k.Values) << int(k.To);
        if (k.To == froBlank) EXPECT_EQ(c->Values()->Count(), 1) << "a single Null value stays under is blank";
    }
    SetValue(c, 0, 5, "5");
    c->SetItemIndex(2);
    EXPECT_EQ(Dump(Control), "AND\n  生日 equals [null|]\n") << "another item keeps nothing of the old values";
    c->SetOperator(froBetween);
    c->SetItemIndex(1);
    EXPECT_EQ(c->Values()->Count(), 1);
    c->SetOperator(froBetween);
    c->AdjustValueCount(false);
    EXPECT_EQ(c->Values()->Count(), 2);
}

TEST_F(FilterControlTest, RowEditsWithoutItemsDoNothing)
{
    Control->AddCondition(nullptr);
    Control->AddGroup();
    EXPECT_EQ(Control->RowCount(), 1);
    EXPECT_TRUE(Control->ViewInfo()->AddConditionButtonState() == cxbsDisabled);
    EXPECT_EQ(Control->Root()->ButtonState(), cxbsDisabled);
    TStringStream s(Bytes(Link->Filter()));
    try {
        Control->LoadFromStream(&s);
        FAIL() << "no error";
    } catch (const EcxFilterControlError& e) {
        EXPECT_EQ(e.Message(), "Can't build filter from source");
    }
    Control->SetFocus();
    GuiTest::KeyDown(VK_INSERT);
    EXPECT_EQ(Control->RowCount(), 1);
}

TEST_F(FilterControlTest, AddConditionTargetsAndRemoveRowCollapsesGroups)
{
    Linked();
    AddCondition(0, froLike);              // 1
    Control->AddGroup();                   // group 2, condition 3
    Control->SetFocusedPart(fhtItem, Control->Rows(3));
    Control->AddGroup();                   // group 4 in group 2, condition 5
    EXPECT_EQ(Dump(Control), "AND\n  姓名 like [null|]\n  AND\n    姓名 like [null|]\n    AND\n      姓名 like [null|]\n");

    // Clicking the add-condition line adds to the group of the last row, wherever the focus is.
    Control->SetFocusedPart(fhtItem, Control->Rows(1));
    TRect add = Control->ViewInfo()->AddConditionRect();
    GuiTest::Click(Control, TPoint{add.Left + 3, add.Top + 3});
    EXPECT_EQ(Control->Rows(6)->Level(), 3);
    // Insert adds to the focused row's group.
    Control->SetFocusedPart(fhtItem, Control->Rows(1));
    Control->SetFocus();
    GuiTest::KeyDown(VK_INSERT);
    EXPECT_EQ(Control->RowCount(), 8);
    EXPECT_EQ(Control->Rows(2)->Level(), 1);
    EXPECT_EQ(Control->FocusedInfo().Row, Control->Rows(7)) << "the new row is appended to the root and focused";
    EXPECT_EQ(Control->FocusedInfo().HitType, fhtItem);

    // The only condition of a group that is the only child of another group takes both groups with it.
    Control->SetFocusedPart(fhtItem, Control->Rows(6));
    Control->RemoveRow();
    Control->SetFocusedPart(fhtItem, Control->Rows(5));
    Control->RemoveRow();
    EXPECT_EQ(Dump(Control), "AND\n  姓名 like [null|]\n  AND\n    姓名 like [null|]\n  姓名 like [null|]\n");
    Control->SetFocusedPart(fhtItem, Control->Rows(3));
    Control->RemoveRow();
    EXPECT_EQ(Dump(Control), "AND\n  姓名 like [null|]\n  姓名 like [null|]\n");
    EXPECT_EQ(Control->FocusedInfo().Row, Control->Rows(1)) << "the row before the removed one is focused";
    Control->SetFocusedPart(fhtBoolOperator, Control->Root());
    Control->RemoveRow();
    EXPECT_EQ(Control->RowCount(), 3) << "the root is never removed";
}

TEST_F(FilterControlTest, RemoveFocusedDeletesOneListValue)
{
    Linked();
    TcxConditionViewInfo* c = AddCondition(1, froInList);
    Control->AddValue();
    Control->AddValue();
    for (int i = 0; i < 3; ++i) SetValue(c, i, i + 1, std::to_string(i + 1));
    Control->SetFocusedPart(fhtValue, c, 1);
    Control->RemoveFocused();
    EXPECT_EQ(Dump(Control), "AND\n  年龄 in [1|1] [3|3]\n");
    EXPECT_EQ(Control->FocusedInfo().ValueIndex, 0);
    Control->RemoveFocused();
    Control->RemoveFocused();
    EXPECT_EQ(Control->RowCount(), 1) << "with one value left the row goes";
}

TEST_F(FilterControlTest, KeyboardWalk)
{
    Linked();
    AddCondition(1, froBetween);   // row 1: button, item, operator, value 0, value 1
    Control->AddGroup();           // row 2 group, row 3 condition
    TcxConditionViewInfo* in = static_cast<TcxConditionViewInfo*>(Control->Rows(3));
    in->SetItemIndex(1);
    in->SetOperator(froInList);
    in->AdjustValueCount(true);    // row 3: button, item, operator, value 0, add-value button
    Control->SetWantTabs(true);
    Control->SetFocus();
    struct {
        const char* Name;
        TcxFilterControlHitKind FromKind;
        int FromRow;
        int FromValue;
        WORD Key;
        TShiftState Shift;
        TcxFilterControlHitKind ToKind;
        int ToRow;
        int ToValue;
    } cases[] = {
        {"Up on the root stays", fhtBoolOperator, 0, -1, VK_UP, {}, fhtBoolOperator, 0, -1},
        {"Down to a condition's item", fhtBoolOperator, 0, -1, VK_DOWN, {}, fhtItem, 1, -1},
        {"Down to a group's operator", fhtValue, 1, 1, VK_DOWN, {}, fhtBoolOperator, 2, -1},
        {"Down from the last row", fhtItem, 3, -1, VK_DOWN, {}, fhtAddCondition, 3, -1},
        {"Up from the add line", fhtAddCondition, 3, -1, VK_UP, {}, fhtItem, 3, -1},
        {"Right on the add line", fhtAddCondition, 3, -1, VK_RIGHT, {}, fhtItem, 3, -1},
        {"Left on the add line", fhtAddCondition, 3, -1, VK_LEFT, {}, fhtItem, 3, -1},
        {"Shift+Tab from the add line", fhtAddCondition, 3, -1, VK_TAB, {ssShift}, fhtAddValue, 3, -1},
        {"Right to the next value", fhtValue, 1, 0, VK_RIGHT, {}, fhtValue, 1, 1},
        {"Right stays on the last part", fhtValue, 1, 1, VK_RIGHT, {}, fhtValue, 1, 1},
        {"Right from operator to value", fhtOperator, 1, -1, VK_RIGHT, {}, fhtValue, 1, 0},
        {"Left on a button stays", fhtButton, 1, -1, VK_LEFT, {}, fhtButton, 1, -1},
        {"Tab wraps to the next row's button", fhtValue, 1, 1, VK_TAB, {}, fhtButton, 2, -1},
        {"Tab after the last row", fhtAddValue, 3, -1, VK_TAB, {}, fhtAddCondition, 3, -1},
        {"Shift+Tab to the previous row's last part", fhtButton, 2, -1, VK_TAB, {ssShift}, fhtValue, 1, 1},
        {"Shift+Tab on the root's button stays", fhtButton, 0, -1, VK_TAB, {ssShift}, fhtButton, 0, -1},
    };
    for (const auto& c : cases) {
        Control->SetFocusedPart(c.FromKind, Control->Rows(c.FromRow), c.FromValue);
        GuiTest::KeyPress(c.Key, c.Shift);
        EXPECT_EQ(Control->FocusedInfo().HitType, c.ToKind) << c.Name;
        EXPECT_EQ(Control->FocusedInfo().Row, Control->Rows(c.ToRow)) << c.Name;
        if (c.ToKind == fhtValue) EXPECT_EQ(Control->FocusedInfo().ValueIndex, c.ToValue) << c.Name;
    }
}

TEST_F(FilterControlTest, HitTestsFindEveryPart)
{
    Linked();
    TcxConditionViewInfo* c = AddCondition(1, froInList);
    SetValue(c, 0, 7, "7");
    Control->LayoutChanged();
    auto hit = [&](TRect r) {
        TcxFilterControlHitInfo h;
        Control->ViewInfo()->GetHitInfo({}, TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}, h);
        return h;
    };
    EXPECT_EQ(hit(Control->Root()->ButtonRect()).HitType, fhtButton);
    EXPECT_EQ(hit(Control->Root()->BoolOperatorRect()).HitType, fhtBoolOperator);
    EXPECT_EQ(hit(c->ItemRect()).HitType, fhtItem);
    EXPECT_EQ(hit(c->OperatorRect()).HitType, fhtOperator);
    TcxFilterControlHitInfo v = hit(c->Values()->Values(0).ValueRect);
    EXPECT_EQ(v.HitType, fhtValue);
    EXPECT_EQ(v.ValueIndex, 0);
    EXPECT_EQ(v.Row, c);
    EXPECT_EQ(hit(c->Values()->AddButtonRect()).HitType, fhtAddValue);
    EXPECT_EQ(hit(Control->ViewInfo()->AddConditionRect()).HitType, fhtAddCondition);
    // Rows stand one row height apart, indented by a row height per level.
    int h = Control->ViewInfo()->RowHeight();
    EXPECT_GT(h, 0);
    EXPECT_EQ(c->RowRect().Top - Control->Root()->RowRect().Top, h);
    EXPECT_EQ(c->Indent(), h);
    EXPECT_GT(c->ItemRect().Left, c->ButtonRect().Right);
    EXPECT_GT(c->OperatorRect().Left, c->ItemRect().Right);
    // A click on the add-value button adds a value and focuses it.
    TRect b = c->Values()->AddButtonRect();
    GuiTest::Click(Control, TPoint{b.Left + 2, b.Top + 2});
    EXPECT_EQ(c->Values()->Count(), 2);
    EXPECT_EQ(Control->FocusedInfo().HitType, fhtValue);
    EXPECT_EQ(Control->FocusedInfo().ValueIndex, 1);
}

TEST_F(FilterControlTest, FocusedRowsAreScrolledIntoView)
{
    Linked();
    Control->SetBounds(0, 0, 300, 120);
    for (int i = 0; i < 10; ++i) AddCondition(0, froLike);
    TcxCustomRowViewInfo* last = Control->Rows(Control->RowCount() - 1);
    EXPECT_GT(Control->TopRow(), 0) << "adding scrolled to the new row";
    EXPECT_LE(last->RowRect().Bottom, Control->ClientRect().Bottom);
    EXPECT_GE(last->RowRect().Top, 0);
    Control->SetFocusedPart(fhtBoolOperator, Control->Root());
    Control->MakeFocusedVisible();
    EXPECT_EQ(Control->TopRow(), 0);
    EXPECT_EQ(Control->Root()->RowRect().Top, Control->ClientRect().Top);
    Control->SetFocusedPart(fhtItem, last);
    Control->SetFocus();
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(Control->FocusedInfo().HitType, fhtAddCondition);
    EXPECT_LE(Control->ViewInfo()->AddConditionRect().Bottom, Control->ClientRect().Bottom);
    Control->Clear();
    EXPECT_EQ(Control->TopRow(), 0);
    EXPECT_EQ(Control->LeftOffset(), 0);
}

TEST_F(FilterControlTest, ListsChangeItemOperatorAndGroup)
{
    Linked();
    TcxConditionViewInfo* c = AddCondition(1, froEqual);
    Control->SetFocusedPart(fhtItem, c);
    Control->EditItem();
    TcxComboBox* combo = Control->ComboBox();
    ASSERT_EQ(combo->Properties()->Items()->Count(), 4) << "an item without properties is not offered";
    EXPECT_EQ(combo->Properties()->Items()->Strings(2), "生日");
    Control->ListChosen(0);
    EXPECT_EQ(c->ItemText(), "姓名");
    EXPECT_EQ(c->Operator(), froLike) << "a text item turns to like";
    EXPECT_EQ(Control->FocusedInfo().HitType, fhtOperator);
    EXPECT_EQ(Control->EditingState(), 0);

    Control->EditOperator();
    int between = combo->Properties()->Items()->IndexOf("between");
    ASSERT_GE(between, 0);
    Control->ListChosen(between);
    EXPECT_EQ(c->Operator(), froBetween);
    EXPECT_EQ(c->Values()->Count(), 2);
    EXPECT_EQ(Control->FocusedInfo().HitType, fhtValue);

    Control->SetFocusedPart(fhtBoolOperator, Control->Root());
    Control->EditBoolOperator();
    ASSERT_EQ(combo->Properties()->Items()->Count(), 4);
    Control->ListChosen(3);
    EXPECT_EQ(Control->Root()->BoolOperator(), fboNotOr);
}

TEST_F(FilterControlTest, RowMenu)
{
    Linked();
    std::vector<GuiTest::TShownMenuItem> shown;
    auto menu = [&](const char* AChoice) {
        GuiTest::Later([&, AChoice] {
            shown = GuiTest::ShownPopupMenu();
            EXPECT_TRUE(GuiTest::ChoosePopupMenuItem(AChoice)) << AChoice;
        });
        Control->ShowRowMenu();
        GuiTest::ProcessEvents();
        std::string captions;
        for (const auto& i : shown) captions += i.Caption + ";";
        return captions;
    };
    Control->SetFocusedPart(fhtButton, Control->Root());
    EXPECT_EQ(menu("Add &Group"), "Add &Condition;Add &Group;") << "an empty root offers no removal";
    EXPECT_EQ(Dump(Control), "AND\n  AND\n    姓名 like [null|]\n");
    EXPECT_EQ(Control->EditingState(), 0);
    Control->SetFocusedPart(fhtButton, Control->Rows(2));
    EXPECT_EQ(menu("&Remove Row"), "Add &Condition;Add &Group;-;&Remove Row;");
    EXPECT_EQ(Control->RowCount(), 1) << "the group left empty goes too";
    Control->SetFocusedPart(fhtButton, Control->Root());
    menu("Add &Condition");
    Control->SetFocusedPart(fhtButton, Control->Root());
    EXPECT_EQ(menu("Clear &All"), "Add &Condition;Add &Group;-;Clear &All;");
    EXPECT_EQ(Control->RowCount(), 1);
}

TEST_F(FilterControlTest, ApplyCopiesIntoTheLinksFilter)
{
    Linked();
    int applied = 0;
    Control->OnApplyFilter = [&](TObject*) { ++applied; };
    TcxConditionViewInfo* c = AddCondition(1, froGreater);
    SetValue(c, 0, 18, "18");
    Control->ApplyFilter();
    EXPECT_EQ(applied, 1);
    ASSERT_EQ(Link->Filter()->Root()->Count(), 1);
    auto* item = static_cast<TcxFilterCriteriaItem*>(Link->Filter()->Root()->Items(0));
    EXPECT_EQ(item->OperatorKind(), foGreater);
    EXPECT_EQ(item->ItemLink(), L(11));
    EXPECT_EQ(Dump(Control), "AND\n  年龄 is greater than [18|18]\n") << "the rows are rebuilt from the applied filter";
}

TEST_F(FilterControlTest, ApplyRefusesAnIncompleteRowAndKeepsTheOldFilter)
{
    Link->Filter()->AddItem(nullptr, L(10), foLike, "王%", "王%");
    Linked();
    std::string old = Bytes(Link->Filter());
    int applied = 0;
    Control->OnApplyFilter = [&](TObject*) { ++applied; };
    TcxConditionViewInfo* c = AddCondition(1, froEqual);
    c->SetOperator(froNone);
    Control->SetFocusedPart(fhtBoolOperator, Control->Root());
    EXPECT_THROW(Control->ApplyFilter(), EcxFilterControlError);
    EXPECT_EQ(applied, 0) << "nothing is reported as applied";
    EXPECT_EQ(Bytes(Link->Filter()), old);
    EXPECT_EQ(Control->FocusedInfo().Row, c) << "the incomplete row gets the focus";
    EXPECT_EQ(Control->FocusedInfo().HitType, fhtOperator);
    EXPECT_EQ(Control->RowCount(), 3) << "the user's rows stay";

    // A value its item does not take (one read from a file, say) is refused the same way.
    c->SetOperator(froEqual);
    SetValue(c, 0, "abc", "abc");
    EXPECT_FALSE(Control->IsValid());
    EXPECT_THROW(Control->ApplyFilter(), EcxFilterControlError);
    EXPECT_EQ(Bytes(Link->Filter()), old);
}

TEST_F(FilterControlTest, SavedFileIsTheCriteriaStreamAndReloads)
{
    Linked();
    TcxConditionViewInfo* a = AddCondition(1, froBetween);
    SetValue(a, 0, 20, "20");
    SetValue(a, 1, 30, "30");
    Control->AddGroup();
    TcxConditionViewInfo* b = static_cast<TcxConditionViewInfo*>(Control->FocusedInfo().Row);
    static_cast<TcxGroupViewInfo*>(b->Parent())->SetBoolOperator(fboOr);
    b->SetItemIndex(0);
    SetValue(b, 0, "李%", "李%");
    std::string name = TempName("save");
    Control->SaveToFile(name);

    // The same filter made through the criteria themselves.
    TcxFilterTestCriteria expected;
    expected.AddItem(nullptr, L(11), foBetween, cxVariants::VarBetweenArray(20, 30), "20;30");
    TcxFilterCriteriaItemList* g = expected.Root()->AddItemList(fboOr);
    expected.AddItem(g, L(10), foLike, "李%", "李%");
    std::string bytes = FileBytes(name);
    EXPECT_EQ(bytes, Bytes(&expected));
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xff\xff\xff\xff", 4));

    std::string rows = Dump(Control);
    Control->Clear();
    EXPECT_EQ(Control->RowCount(), 1);
    Control->LoadFromFile(name);
    EXPECT_EQ(Dump(Control), rows);
    std::remove(name.c_str());
}

TEST_F(FilterControlTest, SaveRefusesIncompleteOrInvalidRowsAndLeavesTheFile)
{
    Linked();
    std::string name = TempName("keep");
    SaveFileWhole(name, std::string_view("previous filter"));
    TcxConditionViewInfo* c = AddCondition(1, froEqual);
    c->SetOperator(froNone);
    EXPECT_THROW(Control->SaveToFile(name), EcxFilterControlError);
    EXPECT_EQ(FileBytes(name), "previous filter");
    c->SetOperator(froEqual);
    SetValue(c, 0, "abc", "abc");
    EXPECT_THROW(Control->SaveToFile(name), EcxFilterControlError);
    EXPECT_EQ(FileBytes(name), "previous filter");
    TStringStream s;
    EXPECT_THROW(Control->SaveToStream(&s), EcxFilterControlError);
    EXPECT_EQ(s.DataString(), "");
    SetValue(c, 0, 3, "3");
    Control->SaveToFile(name);
    EXPECT_NE(FileBytes(name), "previous filter");
    std::remove(name.c_str());
}

TEST_F(FilterControlTest, FailedLoadKeepsTheFilterBeingEdited)
{
    Linked();
    TcxConditionViewInfo* c = AddCondition(1, froLess);
    SetValue(c, 0, 60, "60");
    std::string rows = Dump(Control);
    TcxFilterTestCriteria foreign;
    foreign.AddItem(nullptr, L(11), foEqual, 1, "1");
    foreign.AddItem(nullptr, L(99), foEqual, 1, "1");   // an item the link lacks, after a good one
    std::string good = Bytes(&foreign);
    struct {
        const char* Name;
        std::string Bytes;
    } cases[] = {
        {"unknown item", good},
        {"cut short", good.substr(0, good.size() - 3)},
        {"not a filter", "hello, world"},
        {"empty", ""},
    };
    for (const auto& k : cases) {
        TStringStream s(k.Bytes);
        EXPECT_ANY_THROW(Control->LoadFromStream(&s)) << k.Name;
        EXPECT_EQ(Dump(Control), rows) << k.Name;
        EXPECT_EQ(Control->Criteria()->Root()->Count(), 0) << k.Name << ": the criteria were not replaced";
    }
    Control->ApplyFilter();
    EXPECT_EQ(Link->Filter()->Root()->Count(), 1) << "what applies afterwards is the filter shown";
}

// Stored conditions whose values and texts do not pair up one to one (a list
// holding one plain value or an empty array, a range with equal bounds): the
// rows show one text per value, and what they save loads again and saves the
// same bytes.
TEST_F(FilterControlTest, OddStoredConditionsSaveWhatReloads)
{
    Linked();
    struct {
        const char* Name;
        TcxFilterOperatorKind Kind;
        Variant Value;
        const char* Text;
        const char* Rows;
    } cases[] = {
        {"in", foInList, 1, "1;2", "AND\n  年龄 in [1|1]\n"},
        {"not in, spaced", foNotInList, 1, " 1 ; 2", "AND\n  年龄 not in [1|1]\n"},
        {"in, one text", foInList, 1, "1", "AND\n  年龄 in [1|1]\n"},
        {"in, empty list", foInList, VarArrayOf(std::vector<Variant>{}), "1;2", "AND\n  年龄 in [null|1]\n"},
        {"between equal bounds", foBetween, cxVariants::VarBetweenArray(20, 20), "20;二十",
         "AND\n  年龄 between [20|20] [20|二十]\n"},
    };
    for (const auto& k : cases) {
        TcxFilterTestCriteria stored;
        stored.AddItem(nullptr, L(11), k.Kind, k.Value, k.Text);
        TStringStream in(Bytes(&stored));
        Control->LoadFromStream(&in);
        EXPECT_EQ(Dump(Control), k.Rows) << k.Name;
        TStringStream first;
        Control->SaveToStream(&first);
        TStringStream again(first.DataString());
        Control->LoadFromStream(&again);
        TStringStream second;
        Control->SaveToStream(&second);
        EXPECT_EQ(second.DataString(), first.DataString()) << k.Name;
        EXPECT_EQ(Dump(Control), k.Rows) << k.Name;
    }
}

TEST_F(FilterControlTest, FreeingTheLinkedComponentClearsTheLink)
{
    Link->Filter()->AddItem(nullptr, L(10), foEqual, "a", "a");
    Linked();
    EXPECT_EQ(Control->RowCount(), 2);
    delete Link;
    Link = nullptr;
    EXPECT_EQ(Control->LinkComponent(), nullptr);
    EXPECT_EQ(Control->RowCount(), 1);
    Control->LayoutChanged();
    Control->ApplyFilter();
    Control->AddCondition(nullptr);
    EXPECT_EQ(Control->RowCount(), 1);
}

TEST_F(FilterControlTest, ValueEditorKeys)
{
    Linked();
    TcxConditionViewInfo* c = AddCondition(0, froEqual);
    SetValue(c, 0, "张", "张");
    Control->LayoutChanged();
    struct {
        const char* Name;
        WORD Key;
        TShiftState Shift;
        const char* Rows;
    } cases[] = {
        {"Esc closes without storing", VK_ESCAPE, {}, "AND\n  姓名 equals [张|张]\n"},
        {"Enter stores", VK_RETURN, {}, "AND\n  姓名 equals [李|李]\n"},
        {"Ctrl+Delete removes the row", VK_DELETE, {ssCtrl}, "AND\n"},
    };
    for (const auto& k : cases) {
        Control->SetFocusedPart(fhtValue, Control->Rows(1), 0);
        Control->EditValue();
        ASSERT_TRUE(Control->ValueEditor()) << k.Name;
        Control->ValueEditor()->SetEditValue("李");
        GuiTest::KeyPress(k.Key, k.Shift);
        GuiTest::ProcessEvents();
        EXPECT_EQ(Control->ValueEditor(), nullptr) << k.Name;
        EXPECT_EQ(Control->EditingState(), 0) << k.Name;
        EXPECT_EQ(Dump(Control), k.Rows) << k.Name;
    }
    EXPECT_EQ(Control->FocusedInfo().Row, Control->Root());
}

TEST_F(FilterControlTest, FontsFollowTheControlFontAndStoreOnlyChanges)
{
    for (auto f : {fcfBoolOperator, fcfItem, fcfCondition, fcfValue}) EXPECT_FALSE(Control->IsFontStored(f)) << f;
    EXPECT_EQ(Control->FontItem()->Color(), clGreen);
    EXPECT_TRUE(Control->FontItem()->Style().Contains(fsUnderline));
    EXPECT_FALSE(Control->FontValue()->Style().Contains(fsUnderline));
    Control->Font()->SetHeight(-20);
    EXPECT_EQ(Control->FontCondition()->Height(), -20) << "the control font's height passes on";
    EXPECT_EQ(Control->FontCondition()->Color(), clMaroon) << "but not its colour";
    EXPECT_FALSE(Control->IsFontStored(fcfCondition));
    Control->FontValue()->SetColor(clRed);
    EXPECT_TRUE(Control->IsFontStored(fcfValue));
    EXPECT_EQ(Control->NullString(), "<empty>");
    EXPECT_FALSE(Control->IsNullStringStored());
}

TEST_F(FilterControlTest, LinkWithoutTheInterfaceIsIgnored)
{
    Linked();
    TComponent other(nullptr);
    Control->SetLinkComponent(&other);
    EXPECT_EQ(Control->LinkComponent(), Link);
    Control->SetLinkComponent(nullptr);
    EXPECT_EQ(Control->LinkComponent(), nullptr);
}

TEST_F(FilterControlTest, InvalidValueIsNotStoredAndTheEditorStaysOpen)
{
    Linked();
    TcxConditionViewInfo* c = AddCondition(1, froEqual);
    SetValue(c, 0, 5, "5");
    Control->LayoutChanged();
    Control->SetFocusedPart(fhtValue, c, 0);
    Control->EditValue();
    TcxCustomEdit* editor = Control->ValueEditor();
    ASSERT_TRUE(editor);
    EXPECT_EQ(Control->EditingState(), 5);
    editor->SetEditValue("abc");
    EXPECT_THROW(Control->EndValueEdit(true), Exception);
    EXPECT_EQ(c->Values()->Values(0).Value.AsInteger(), 5) << "the refused value is not kept";
    EXPECT_EQ(Control->ValueEditor(), editor) << "the editor stays open";
    Control->EndValueEdit(false);
    EXPECT_EQ(Control->ValueEditor(), nullptr);
    EXPECT_EQ(Dump(Control), "AND\n  年龄 equals [5|5]\n");
    Control->ApplyFilter();
    EXPECT_EQ(static_cast<TcxFilterCriteriaItem*>(Link->Filter()->Root()->Items(0))->Value().AsInteger(), 5);

    c = Cond(1);   // applying rebuilt the rows
    Control->SetFocusedPart(fhtValue, c, 0);
    Control->EditValue();
    ASSERT_TRUE(Control->ValueEditor());
    Control->ValueEditor()->SetEditValue("42");
    Control->EndValueEdit(true);
    EXPECT_EQ(Dump(Control), "AND\n  年龄 equals [42|42]\n");
}

}  // namespace
