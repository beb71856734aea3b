// The filter UI's shared pieces: row operators and their criteria kinds,
// the editor helpers' operator sets and value editors, the helper registry
// and the value check.
#include "GuiTesting.h"
#include "cxButtonEdit.h"
#include "cxCalc.h"
#include "cxCheckBox.h"
#include "cxCurrencyEdit.h"
#include "cxDBLookupComboBox.h"
#include "cxDateEdit.h"
#include "cxDropDownEdit.h"
#include "cxFilterControlUtils.h"
#include "cxGroupBox.h"
#include "cxHyperLinkEdit.h"
#include "cxImageComboBox.h"
#include "cxMRUEdit.h"
#include "cxMaskEdit.h"
#include "cxMemo.h"
#include "cxRadioGroup.h"
#include "cxSpinEdit.h"
#include "cxTextEdit.h"
#include "cxTimeEdit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace cxFilterControlUtils;

namespace {

std::string Ops(TcxFilterRowOperators s)
{
    std::string r;
    for (int i = 0; i < cxFilterRowOperatorCount; ++i)
        if (s.Contains(TcxFilterRowOperator(i))) r += (r.empty() ? "" : ",") + std::to_string(i);
    return r;
}

template <class P> std::unique_ptr<P> Props() { return std::make_unique<P>(); }

class FilterHelpersTest : public ::testing::Test {
protected:
    void SetUp() override { GuiTest::Init(); }
};

TEST_F(FilterHelpersTest, OperatorTextsAndKindsRoundTrip)
{
    EXPECT_EQ(GetRowOperatorText(froNone), "");
    EXPECT_EQ(GetRowOperatorText(27), "");
    EXPECT_EQ(GetRowOperatorText(-1), "");
    struct {
        TcxFilterRowOperator Row;
        const char* Text;
        TcxFilterOperatorKind Kind;
        bool Null;
        bool HasValues;
    } cases[] = {
        {froEqual, "equals", foEqual, false, true},
        {froNotEqual, "does not equal", foNotEqual, false, true},
        {froLessEqual, "is less than or equal to", foLessEqual, false, true},
        {froLike, "like", foLike, false, true},
        {froNotLike, "not like", foNotLike, false, true},
        {froBlank, "is blank", foEqual, true, false},
        {froNonBlank, "is not blank", foNotEqual, true, false},
        {froBetween, "between", foBetween, false, true},
        {froNotInList, "not in", foNotInList, false, true},
        {froYesterday, "is yesterday", foYesterday, false, false},
        {froThisWeek, "is this week", foThisWeek, false, false},
        {froNextYear, "is next year", foNextYear, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetRowOperatorText(c.Row), c.Text) << int(c.Row);
        EXPECT_EQ(cxFilterControl::RowOperatorToOperatorKind(c.Row), c.Kind) << int(c.Row);
        EXPECT_EQ(cxFilterControl::OperatorKindToRowOperator(c.Kind, c.Null), c.Row) << int(c.Row);
        EXPECT_EQ(RowOperatorHasValues(c.Row), c.HasValues) << int(c.Row);
    }
    EXPECT_TRUE(RowOperatorHasValues(froNone)) << "an operator not chosen yet still counts as taking values";
    EXPECT_EQ(cxFilterControl::GetBoolOperatorText(fboNotOr), "NOT OR");
}

TEST_F(FilterHelpersTest, OperatorSetsPerEditorKind)
{
    auto masked = Props<TcxMaskEditProperties>();
    masked->SetEditMask("000");
    auto combo = Props<TcxComboBoxProperties>();
    struct {
        const char* Name;
        TcxCustomFilterEditHelperClass Helper;
        TcxCustomEditProperties* Item;
        const char* Plain;
        const char* Extended;
    } cases[] = {
        {"text", TcxFilterTextEditHelper::Class(), nullptr, "1,2,3,4,5,6,7,8,9,10", "1,2,3,4,5,6,7,8,9,10,11,12,13,14"},
        {"memo", TcxFilterMemoHelper::Class(), nullptr, "7,8,9,10", "7,8,9,10"},
        {"mask with a mask", TcxFilterMaskEditHelper::Class(), masked.get(), "1,2,3,4,5,6,9,10",
         "1,2,3,4,5,6,9,10,11,12,13,14"},
        {"combo without a mask", TcxFilterComboBoxHelper::Class(), combo.get(), "1,2,3,4,5,6,7,8,9,10",
         "1,2,3,4,5,6,7,8,9,10,11,12,13,14"},
        {"check box", TcxFilterCheckBoxHelper::Class(), nullptr, "1,2,9,10", "1,2,9,10"},
        {"calc", TcxFilterCalcEditHelper::Class(), nullptr, "1,2,3,4,5,6,9,10", "1,2,3,4,5,6,9,10,11,12,13,14"},
        {"date", TcxFilterDateEditHelper::Class(), nullptr, "1,2,3,4,5,6,9,10",
         "1,2,3,4,5,6,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26"},
        {"image combo", TcxFilterImageComboBoxHelper::Class(), nullptr, "1,2,9,10", "1,2,9,10,13,14"},
        {"radio group", TcxFilterRadioGroupHelper::Class(), nullptr, "1,2,9,10", "1,2,9,10,13,14"},
        {"lookup combo box", TcxFilterLookupComboBoxHelper::Class(), nullptr, "1,2,9,10", "1,2,9,10"},
        {"time", TcxFilterTimeEditHelper::Class(), nullptr, "1,2,3,4,5,6,9,10", "1,2,3,4,5,6,9,10,11,12,13,14"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Ops(c.Helper->AllowedOperators(c.Item, false)), c.Plain) << c.Name;
        EXPECT_EQ(Ops(c.Helper->AllowedOperators(c.Item, true)), c.Extended) << c.Name;
    }
}

TEST_F(FilterHelpersTest, RegistryFindsTheNearestRegisteredAncestor)
{
    TcxFilterEditsController* r = GetFilterEditsController();
    struct {
        TClass Properties;
        TcxCustomFilterEditHelperClass Helper;
    } cases[] = {
        {TcxTextEditProperties::StaticClass(), TcxFilterTextEditHelper::Class()},
        {TcxMemoProperties::StaticClass(), TcxFilterMemoHelper::Class()},
        {TcxButtonEditProperties::StaticClass(), TcxFilterMaskEditHelper::Class()},
        {TcxComboBoxProperties::StaticClass(), TcxFilterComboBoxHelper::Class()},
        {TcxMRUEditProperties::StaticClass(), TcxFilterMRUEditHelper::Class()},
        {TcxImageComboBoxProperties::StaticClass(), TcxFilterImageComboBoxHelper::Class()},
        {TcxTimeEditProperties::StaticClass(), TcxFilterTimeEditHelper::Class()},
        {TcxSpinEditProperties::StaticClass(), TcxFilterSpinEditHelper::Class()},
        {TcxCheckBoxProperties::StaticClass(), TcxFilterCheckBoxHelper::Class()},
        {TcxRadioGroupProperties::StaticClass(), TcxFilterRadioGroupHelper::Class()},
        {TcxLookupComboBoxProperties::StaticClass(), TcxFilterLookupComboBoxHelper::Class()},
        // Registrations are kept under the parent: the parent class itself finds nothing.
        {TcxCustomCheckBoxProperties::StaticClass(), nullptr},
        {TcxCustomEditProperties::StaticClass(), nullptr},
        {nullptr, nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(r->FindHelper(c.Properties), c.Helper) << (c.Properties ? c.Properties->Name : "nil");

    TcxFilterEditsController local;
    local.Register(TcxMaskEditProperties::StaticClass(), TcxFilterMaskEditHelper::Class());
    EXPECT_EQ(local.FindHelper(TcxComboBoxProperties::StaticClass()), TcxFilterMaskEditHelper::Class());
    local.Unregister(TcxMaskEditProperties::StaticClass(), TcxFilterMaskEditHelper::Class());
    EXPECT_EQ(local.FindHelper(TcxComboBoxProperties::StaticClass()), nullptr);
}

TEST_F(FilterHelpersTest, ValueEditorsKeepButtonsOnlyForSpinAndDropDownKinds)
{
    auto spin = Props<TcxSpinEditProperties>();
    auto text = Props<TcxTextEditProperties>();
    text->Buttons()->Add();
    auto mru = Props<TcxMRUEditProperties>();
    int changes = 0;
    text->OnChange = [&](TObject*) { ++changes; };
    text->SetReadOnly(true);
    struct {
        const char* Name;
        TcxCustomFilterEditHelperClass Helper;
        TcxCustomEditProperties* Item;
        bool Buttons;
    } cases[] = {
        {"spin", TcxFilterSpinEditHelper::Class(), spin.get(), true},
        {"text", TcxFilterTextEditHelper::Class(), text.get(), false},
        {"MRU", TcxFilterMRUEditHelper::Class(), mru.get(), false},
    };
    for (const auto& c : cases) {
        std::unique_ptr<TcxCustomEdit> edit = c.Helper->CreateEdit(c.Item);
        ASSERT_TRUE(edit) << c.Name;
        TcxCustomEditProperties* p = edit->ActiveProperties();
        EXPECT_EQ(p->Buttons()->Count() > 0, c.Buttons) << c.Name;
        EXPECT_FALSE(p->ReadOnly()) << c.Name;
        EXPECT_TRUE(p->ValidateOnEnter()) << c.Name;
        EXPECT_FALSE(p->OnChange) << c.Name << ": the item's handlers do not follow into the value editor";
    }
}

TEST_F(FilterHelpersTest, CheckBoxValueEditorListsTheTwoStates)
{
    auto check = Props<TcxCheckBoxProperties>();
    check->SetValueChecked("Y");
    check->SetValueUnchecked("N");
    TcxCustomFilterEditHelperClass h = TcxFilterCheckBoxHelper::Class();
    std::unique_ptr<TcxCustomEdit> edit = h->CreateEdit(check.get());
    auto* combo = dynamic_cast<TcxComboBox*>(edit.get());
    ASSERT_TRUE(combo);
    ASSERT_EQ(combo->Properties()->Items()->Count(), 2);
    EXPECT_EQ(combo->Properties()->Items()->Strings(0), check->GetDisplayText(Variant("Y")));
    EXPECT_EQ(combo->Properties()->Items()->Strings(1), check->GetDisplayText(Variant("N")));
    struct {
        Variant Stored;
        int Index;
        Variant Read;
    } cases[] = {{Variant("Y"), 0, Variant("Y")}, {Variant("N"), 1, Variant("N")}, {Variant("?"), -1, Null()}};
    for (const auto& c : cases) {
        h->WriteValue(edit.get(), check.get(), c.Stored);
        EXPECT_EQ(combo->ItemIndex(), c.Index) << VarToStr(c.Stored);
        Variant v;
        std::string text = "x";
        h->ReadValue(edit.get(), check.get(), v, text);
        EXPECT_EQ(VarToStr(v), VarToStr(c.Read)) << VarToStr(c.Stored);
        EXPECT_EQ(v.IsNull(), c.Read.IsNull()) << VarToStr(c.Stored);
        if (c.Index < 0) EXPECT_EQ(text, "") << "no selection reads as Null with an empty text";
    }
}

TEST_F(FilterHelpersTest, RadioGroupValueEditorReadsItemsAndTheDefault)
{
    auto radio = Props<TcxRadioGroupProperties>();
    for (auto [caption, value] : {std::pair{"男", 1}, std::pair{"女", 2}}) {
        TcxRadioGroupItem* item = radio->Items()->Add();
        item->SetCaption(caption);
        item->SetValue(value);
    }
    radio->SetDefaultValue(0);
    radio->SetDefaultCaption("未知");
    TcxCustomFilterEditHelperClass h = TcxFilterRadioGroupHelper::Class();
    std::unique_ptr<TcxCustomEdit> edit = h->CreateEdit(radio.get());
    auto* combo = dynamic_cast<TcxComboBox*>(edit.get());
    ASSERT_TRUE(combo);
    ASSERT_EQ(combo->Properties()->Items()->Count(), 2);
    EXPECT_EQ(combo->Properties()->Items()->Strings(1), "女");
    Variant v;
    std::string text;
    h->WriteValue(edit.get(), radio.get(), 2);
    EXPECT_EQ(combo->ItemIndex(), 1);
    h->ReadValue(edit.get(), radio.get(), v, text);
    EXPECT_EQ(v.AsInteger(), 2);
    EXPECT_EQ(text, "女");
    combo->SetItemIndex(-1);
    h->ReadValue(edit.get(), radio.get(), v, text);
    EXPECT_EQ(v.AsInteger(), 0);
    EXPECT_EQ(text, "未知");
}

TEST_F(FilterHelpersTest, ValidateFilterValue)
{
    TcxCustomFilterEditHelperClass text = TcxFilterTextEditHelper::Class();
    TcxValueTypeClass integer = TcxIntegerValueType::Class();
    TcxValueTypeClass str = TcxStringValueType::Class();
    struct {
        const char* Name;
        Variant In;
        TcxFilterRowOperator Op;
        TcxValueTypeClass Type;
        bool Raises;
        const char* Out;   // "<null>" for Null
    } cases[] = {
        {"empty text on a number", "", froEqual, integer, false, "<null>"},
        {"empty text on text", "", froEqual, str, false, ""},
        {"digits convert", "12", froGreater, integer, false, "12"},
        {"letters on a number", "abc", froEqual, integer, true, "abc"},
        {"like patterns are not checked", "a%", froLike, integer, false, "a%"},
        {"not like neither", "x_", froNotLike, integer, false, "x_"},
        {"no value type checks nothing", "abc", froEqual, nullptr, false, "abc"},
    };
    for (const auto& c : cases) {
        Variant v = c.In;
        if (c.Raises) {
            try {
                ValidateFilterValue(nullptr, v, c.Op, text, c.Type);
                ADD_FAILURE() << c.Name << ": no error";
            } catch (const EcxFilterControlError& e) {
                EXPECT_EQ(e.Message(), "Invalid value") << c.Name;
            }
        } else
            EXPECT_NO_THROW(ValidateFilterValue(nullptr, v, c.Op, text, c.Type)) << c.Name;
        EXPECT_EQ(v.IsNull() ? std::string("<null>") : VarToStr(v), c.Out) << c.Name;
    }
    Variant key = "abc";
    EXPECT_NO_THROW(ValidateFilterValue(nullptr, key, froEqual, TcxFilterLookupComboBoxHelper::Class(), integer))
        << "a lookup key is whatever the list holds";
    Variant twelve = "12";
    ValidateFilterValue(nullptr, twelve, froEqual, text, integer);
    EXPECT_EQ(VarType(twelve), varInteger) << "the value takes the item's type";
}

}  // namespace
