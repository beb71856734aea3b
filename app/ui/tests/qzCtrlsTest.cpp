// The edit controls: the key filter and the typed reads as tables, Enter
// moving the focus, focus colours, the picker's Null and the combo's Delete.
#include "qzCtrls.h"
#include "ActnList.h"
#include "UiTestDb.h"

#include "DateUtils.h"
#include "Forms.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

namespace {

struct KeyCase {
    TEditType Type;
    const char* Text;
    char Key;
    bool Accepted;
};

TEST(qzCtrlsKeys, FilterTable)
{
    const KeyCase cases[] = {
        {etNumber, "", '1', true},      {etNumber, "12", '.', true},    {etNumber, "12.", '5', true},
        {etNumber, "12.5", '.', false}, {etNumber, "", '.', false},     {etNumber, "0", '0', false},
        {etNumber, "1", '0', true},     {etNumber, "0.", '0', true},    {etNumber, "", '0', true},
        {etNumber, "1", 'a', false},    {etNumber, "1", '-', false},    {etNumber, "1", '\b', true},
        {etNumber, "", '\r', true},     {etInteger, "1", '-', false},   {etInteger, "1", '.', false},
        {etInteger, "1", '7', true},    {etInteger, "", '\b', true},    {etFree, "x", '-', true},
        {etFree, "", '.', true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qzCtrls::AcceptKey(c.Type, c.Text, c.Key), c.Accepted)
            << "type " << c.Type << " text '" << c.Text << "' key '" << c.Key << "'";
}

class qzCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 300, 200);
        Edit = Make<TqzEdit>(10, 10);
        Next = Make<TqzEdit>(10, 40);
    }
    void TearDown() override
    {
        delete Form;
        GuiTest::ProcessEvents();
    }
    template <class C> C* Make(int left, int top)
    {
        auto* c = new C(Form);
        c->SetParent(Form);
        c->SetBounds(left, top, 120, 21);
        return c;
    }
    void Focus(TWinControl* c)
    {
        Form->Show();
        GuiTest::ProcessEvents();
        c->SetFocus();
        GuiTest::ProcessEvents();
    }
    TForm* Form = nullptr;
    TqzEdit* Edit = nullptr;
    TqzEdit* Next = nullptr;
};

TEST_F(qzCtrlsTest, TypingANumberKeyByKey)
{
    Edit->SetEditType(etNumber);
    Focus(Edit);
    GuiTest::TypeText(".12.5.x-0");
    EXPECT_EQ(Edit->GetText(), "12.50");
    Edit->SetText("");
    GuiTest::TypeText("00.0");
    EXPECT_EQ(Edit->GetText(), "0.0");
    Next->SetEditType(etInteger);
    Focus(Next);
    GuiTest::TypeText("-1.5");
    EXPECT_EQ(Next->GetText(), "15");
}

TEST_F(qzCtrlsTest, TypedReadsAndWrites)
{
    Edit->SetAsDouble(0);
    EXPECT_EQ(Edit->GetText(), "");
    EXPECT_EQ(Edit->AsDouble(), 0);
    Edit->SetAsDouble(12.5);
    EXPECT_EQ(Edit->GetText(), "12.5");
    Edit->SetAsInteger(0);
    EXPECT_EQ(Edit->GetText(), "");
    Edit->SetAsInteger(-42);
    EXPECT_EQ(Edit->AsInteger(), -42);

    struct Bad {
        const char* Text;
        std::function<void()> Read;
        const char* Message;
    };
    const Bad bad[] = {
        {"abc", [&] { (void)Edit->AsDouble(); }, "\"abc\" 不是有效的数字."},
        {"1.5", [&] { (void)Edit->AsInteger(); }, "\"1.5\" 不是有效的整数."},
        {"2008-13-01", [&] { (void)Edit->AsDate(); }, "\"2008-13-01\" 不是有效的日期."},
        {"今天", [&] { (void)Edit->AsDateTime(); }, "\"今天\" 不是有效的日期."},
    };
    for (const auto& b : bad) {
        Edit->SetText(b.Text);
        try {
            b.Read();
            ADD_FAILURE() << b.Text << " read without an error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), b.Message);
        }
    }

    Edit->SetText("");
    EXPECT_TRUE(VarIsNull(Edit->AsDate()));
    EXPECT_TRUE(VarIsNull(Edit->AsVariant()));
    Edit->SetAsDate(VarFromDateTime(EncodeDate(2008, 3, 5) + 0.5));
    EXPECT_EQ(Edit->GetText(), "2008-03-05");
    EXPECT_EQ(VarToDateTime(Edit->AsDate()), EncodeDate(2008, 3, 5));
    Edit->SetAsDateTime(VarFromDateTime(EncodeDate(2008, 3, 5) + 0.5));
    EXPECT_EQ(Edit->GetText(), "2008-03-05 12:00:00");
    EXPECT_THROW(Edit->SetAsDate(Variant("no date")), EConvertError);
    Edit->SetAsDate(Null());
    EXPECT_EQ(Edit->GetText(), "");

    Edit->SetEditType(etNumber);
    Edit->SetAsVariant(Variant(2.25));
    EXPECT_EQ(Edit->AsVariant().VType(), varDouble);
    Edit->SetEditType(etInteger);
    Edit->SetAsVariant(Variant(7));
    EXPECT_EQ(Edit->AsVariant().AsInteger(), 7);
    Edit->SetEditType(etFree);
    Edit->SetAsVariant(Variant("文本"));
    EXPECT_EQ(Edit->AsVariant().AsString(), "文本");
}

TEST_F(qzCtrlsTest, EnterMovesTheFocusAndShiftEnterBack)
{
    Focus(Edit);
    GuiTest::KeyPress(VK_RETURN);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Next->Focused());
    EXPECT_EQ(Next->GetText(), "");
    GuiTest::KeyPress(VK_RETURN, {ssShift});
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Edit->Focused());
    Edit->SetTabOnEnter(false);
    GuiTest::KeyPress(VK_RETURN);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Edit->Focused());
}

TEST_F(qzCtrlsTest, FocusColours)
{
    Edit->SetParentColor(false);
    Edit->SetColor(clWindow);
    Focus(Edit);
    EXPECT_EQ(Edit->Color(), TColor(0xFFFF00));
    Focus(Next);
    EXPECT_EQ(Edit->Color(), clWindow);
    Edit->SetReadOnly(true);
    Focus(Edit);
    EXPECT_EQ(Edit->Color(), TColor(0x00FFFF));

    auto* memo = Make<TqzMemo>(10, 70);
    Focus(memo);
    EXPECT_EQ(memo->Color(), TColor(0xFFFF00));
    Focus(Edit);
    EXPECT_EQ(memo->Color(), TColor(0xFFFFFF));
}

TEST_F(qzCtrlsTest, PickerNullWhenUnchecked)
{
    auto* p = Make<TqzDateTimePicker>(10, 70);
    p->SetShowCheckbox(true);
    EXPECT_TRUE(VarIsNull(p->AsDateTime()));
    EXPECT_TRUE(VarIsNull(p->AsTime()));
    const TDateTime d = EncodeDate(2008, 3, 5) + 0.75;
    p->SetAsDateTime(VarFromDateTime(d));
    EXPECT_TRUE(p->Checked());
    EXPECT_DOUBLE_EQ(VarToDateTime(p->AsDateTime()), d);
    EXPECT_DOUBLE_EQ(VarToDateTime(p->AsDate()), EncodeDate(2008, 3, 5));
    EXPECT_NEAR(VarToDateTime(p->AsTime()), 0.75, 1e-9);
    p->SetAsDate(Null());
    EXPECT_FALSE(p->Checked());
    EXPECT_TRUE(VarIsNull(p->AsDate()));
    p->SetChecked(true);
    EXPECT_FALSE(VarIsNull(p->AsDate()));
    p->Reset();
    EXPECT_TRUE(VarIsNull(p->AsDate()));
    // Without a check box there is always a value.
    p->SetShowCheckbox(false);
    EXPECT_FALSE(VarIsNull(p->AsDate()));
}

TEST_F(qzCtrlsTest, ComboDeleteClearsAListOnlyCombo)
{
    auto* c = Make<TqzComboBox>(10, 70);
    EXPECT_FALSE(c->AutoComplete());
    c->Items()->Add("甲");
    c->Items()->Add("乙");
    c->SetStyle(csDropDownList);
    c->SetItemIndex(1);
    int changes = 0;
    c->OnChange = [&](TObject*) { ++changes; };
    Focus(c);
    GuiTest::KeyPress(VK_DELETE);
    EXPECT_EQ(c->ItemIndex(), -1);
    EXPECT_EQ(changes, 1);
    Focus(c);
    GuiTest::KeyPress(VK_RETURN);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Edit->Focused() || Next->Focused());
}

}  // namespace

namespace {

TEST(qzPopupMenu, BuildingItems)
{
    GuiTest::Init();
    TAction action(nullptr);
    TqzPopupMenu menu(nullptr);
    action.SetCaption("导出");
    int ran = 0;
    action.OnExecute = [&](TObject*) { ++ran; };
    TqzPopupMenu::AddClickItem(&menu, "刷新", false, nullptr);
    TMenuItem* top = TqzPopupMenu::AddClickItem(&menu, "打印", true, nullptr);
    TMenuItem* bound = TqzPopupMenu::AddActionItem(&menu, &action, 1, nullptr);
    TqzPopupMenu::AddSeparator(&menu, -1, nullptr);
    TqzPopupMenu::AddActionItem(&menu, &action, -1, top);
    TqzPopupMenu::AddSeparator(&menu, 0, top);
    std::vector<std::string> captions;
    for (int i = 0; i < menu.Items()->Count(); ++i) captions.push_back(menu.Items()->Items(i)->Caption());
    EXPECT_EQ(captions, (std::vector<std::string>{"打印", "导出", "刷新", "-"}));
    ASSERT_EQ(top->Count(), 2);
    EXPECT_TRUE(top->Items(0)->IsLine());
    EXPECT_EQ(top->Items(1)->Caption(), "导出");
    // The item follows its action.
    action.SetEnabled(false);
    EXPECT_FALSE(bound->Enabled());
    action.SetEnabled(true);
    bound->Click();
    EXPECT_EQ(ran, 1);
    TqzPopupMenu::ClearItems(&menu);
    EXPECT_EQ(menu.Items()->Count(), 0);
}

}  // namespace
