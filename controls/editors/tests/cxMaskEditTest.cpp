#include "cxMaskEdit.h"

#include "Clipbrd.h"
#include "EditorsTestSupport.h"
#include "Forms.h"
#include "GuiTesting.h"
#include "Windows.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"

#include <gtest/gtest.h>

namespace {

class MaskEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        cxLookAndFeels::Initialize();
        cxLookAndFeelPainters::Initialize();
        SetBeepSink([this](UINT) { ++Beeps; });
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 400, 300);
        Edit = new TcxMaskEdit(Form);
        Edit->SetParent(Form);
        Edit->SetLeft(10);
        Edit->SetTop(10);
        Other = new TcxMaskEdit(Form);
        Other->SetParent(Form);
        Other->SetTop(60);
        Edit->Properties()->SetBeepOnError(true);
        Form->Show();
        GuiTest::ProcessEvents();
    }
    void TearDown() override
    {
        delete Form;
        GuiTest::ProcessEvents();
        SetBeepSink(nullptr);
    }
    void Mask(TcxEditMaskKind AKind, const std::string& AMask)
    {
        Edit->Properties()->SetMaskKind(AKind);
        Edit->Properties()->SetEditMask(AMask);
    }
    void Focus(TcxMaskEdit* e)
    {
        e->SetFocus();
        GuiTest::ProcessEvents();
    }
    // Runs a key script: plain characters are typed; {BS} {DEL} {LEFT}
    // {RIGHT} {HOME} {END} {ESC} {TAB} press keys; {PASTE:text} pastes.
    void Run(const std::string& AScript)
    {
        size_t i = 0;
        while (i < AScript.size()) {
            if (AScript[i] != '{') {
                size_t e = AScript.find('{', i);
                std::string text = AScript.substr(i, e == std::string::npos ? std::string::npos : e - i);
                GuiTest::TypeText(text);
                i += text.size();
                continue;
            }
            size_t e = AScript.find('}', i);
            std::string cmd = AScript.substr(i + 1, e - i - 1);
            i = e + 1;
            if (cmd == "BS") GuiTest::KeyPress(VK_BACK);
            else if (cmd == "DEL") GuiTest::KeyPress(VK_DELETE);
            else if (cmd == "LEFT") GuiTest::KeyPress(VK_LEFT);
            else if (cmd == "RIGHT") GuiTest::KeyPress(VK_RIGHT);
            else if (cmd == "HOME") GuiTest::KeyPress(VK_HOME);
            else if (cmd == "END") GuiTest::KeyPress(VK_END);
            else if (cmd == "ESC") GuiTest::KeyPress(VK_ESCAPE);
            else if (cmd.rfind("PASTE:", 0) == 0) {
                Clipboard()->SetAsText(cmd.substr(6));
                Edit->InnerEdit()->Perform(WM_PASTE);
            }
        }
        GuiTest::ProcessEvents();
    }
    std::string Text() { return Edit->GetDisplayText(); }
    std::string TextProperty()
    {
        std::string out;
        Edit->Perform(WM_GETTEXT, 0, LPARAM(&out));
        return out;
    }
    int Caret() { return Edit->InnerEdit()->CaretIndex(); }

    TForm* Form = nullptr;
    TcxMaskEdit* Edit = nullptr;
    TcxMaskEdit* Other = nullptr;
    int Beeps = 0;
};

}  // namespace

TEST_F(MaskEditTest, KeyScripts)
{
    SeparatorsScope separators;
    struct Case {
        TcxEditMaskKind Kind;
        const char* Mask;
        const char* Script;
        const char* Shown;
        const char* Value;   // the edit value (and the Text)
        int Caret;           // -1: not checked
        int Beeps;
    };
    const Case cases[] = {
        {emkStandard, "000-0000;1;_", "1234567", "123-4567", "123-4567", -1, 0},
        {emkStandard, "000-0000;0;_", "1234567", "123-4567", "1234567", -1, 0},
        // Blanks are saved as spaces.
        {emkStandard, "000-0000;1;_", "12a", "12_-____", "12 -    ", -1, 1},
        {emkStandard, ">LL<ll", "aBcD", "ABcd", "ABcd", -1, 0},
        {emkRegExprEx, "\\d\\d':'\\d\\d", "1 2", "12:", "12:", 3, 1},
        {emkRegExprEx, "\\d\\d':'\\d\\d", "1 2{BS}", "1", "1", 1, 1},
        {emkRegExprEx, "'+'\\d+", "{HOME}{DEL}", "+", "+", -1, 1},
        {emkRegExpr, "\\d\\d", "12{END}3", "12", "12", 2, 1},
        {emkRegExpr, "\\d\\d", "12{HOME}3", "3", "3", 1, 0},
        {emkRegExpr, "(\\d)+", "125{LEFT}{PASTE:34}", "12345", "12345", 4, 0},
        // Characters beyond ASCII go through the mask whole.
        {emkRegExpr, "[甲乙]\\d", "丙甲1", "甲1", "甲1", 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Mask) + " / " + c.Script);
        Edit->Properties()->SetEditMask("");
        Edit->SetEditValue(Null());
        Mask(c.Kind, c.Mask);
        Focus(Other);
        Focus(Edit);
        Beeps = 0;
        Run(c.Script);
        EXPECT_EQ(Text(), c.Shown);
        if (Edit->ModifiedAfterEnter()) EXPECT_EQ(VarToStr(Edit->EditValue()), c.Value);
        EXPECT_EQ(TextProperty(), c.Value);
        if (c.Caret >= 0) EXPECT_EQ(Caret(), c.Caret);
        EXPECT_EQ(Beeps, c.Beeps);
    }
    // Esc and Tab never reach the inner edit as characters.
    Mask(emkRegExpr, ".*");
    Edit->SetEditValue(Null());
    Run("a");
    Edit->InnerEdit()->Perform(WM_CHAR, 27);
    Edit->InnerEdit()->Perform(WM_CHAR, '\t');
    EXPECT_EQ(Text(), "a");
}

TEST_F(MaskEditTest, EnterInAnIncompleteMaskIsRefused)
{
    Mask(emkStandard, "000-0000;1;_");
    Focus(Edit);
    Run("12");
    try {
        Edit->InnerEdit()->Perform(WM_KEYDOWN, VK_RETURN, 0);
        ADD_FAILURE() << "no validation error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "The edit value is invalid");
    }
    Edit->SetSelStart(2);
    Run("34567");
    EXPECT_EQ(Text(), "123-4567");
    int posted = 0;
    Edit->OnPostEditValue = [&](TObject*) { ++posted; };
    Edit->InnerEdit()->Perform(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(posted, 1);

    // IgnoreMaskBlank takes an edit with nothing typed.
    auto* p = Edit->Properties();
    EXPECT_FALSE(p->ModeProperties()->IgnoreMaskBlank());
    p->SetEditMask("00-00");
    p->SetIgnoreMaskBlank(true);
    EXPECT_TRUE(Edit->Mode()->IsFullValidText("__-__"));
    EXPECT_FALSE(Edit->Mode()->IsFullValidText("1_-__"));
}

TEST_F(MaskEditTest, MaskSettings)
{
    auto* p = Edit->Properties();
    EXPECT_TRUE(p->ValidateOnEnter());
    EXPECT_TRUE(p->CaseInsensitive());
    // A mask the expression compiler refuses raises and stores nothing.
    p->SetMaskKind(emkRegExpr);
    p->SetEditMask("\\d+");
    try {
        p->SetEditMask("(a");
        ADD_FAILURE() << "no error";
    } catch (const EcxMaskEditError& e) {
        EXPECT_EQ(e.Message(), "Regular expression errors:\r\nMissing ')'");
    }
    EXPECT_EQ(p->EditMask(), "\\d+");
    // Crossing between templates and expressions clears the mask...
    p->SetMaskKind(emkStandard);
    EXPECT_EQ(p->EditMask(), "");
    EXPECT_EQ(Edit->Mode()->GetMaskKind(), emkStandard);
    // ...but a kind and a mask assigned together stay.
    TcxMaskEditProperties source;
    source.SetMaskKind(emkRegExprEx);
    source.SetEditMask("\\d\\d':'\\d\\d");
    p->Assign(&source);
    EXPECT_EQ(p->MaskKind(), emkRegExprEx);
    EXPECT_EQ(p->EditMask(), "\\d\\d':'\\d\\d");
    EXPECT_EQ(Edit->Mode()->Mask(), "\\d\\d':'\\d\\d");
    // Upper or lower case forces case-insensitive matching.
    p->SetCaseInsensitive(false);
    EXPECT_FALSE(p->CaseInsensitive());
    p->SetCharCase(ecUpperCase);
    EXPECT_TRUE(p->CaseInsensitive());
    p->SetCharCase(ecNormal);

    // A blank mask is no mask: any text, and MaxLength applies again.
    p->SetMaskKind(emkStandard);
    p->SetEditMask("  ");
    EXPECT_FALSE(p->IsMasked());
    p->SetMaxLength(3);
    EXPECT_EQ(Edit->InnerEdit()->MaxLength(), 3);
    Focus(Edit);
    Run("abcd");
    EXPECT_EQ(Text(), "abc");
    // A mask sets the length itself.
    p->SetEditMask("000");
    EXPECT_EQ(p->MaxLength(), 0);

    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    cxMaskEdit::Initialize();
    int i = r->IndexOfClass(TcxMaskEditProperties::StaticClass());
    ASSERT_GE(i, 0);
    EXPECT_EQ(r->GetDescription(i), "MaskEdit|Represents a generic masked edit control.");
    EXPECT_EQ(p->GetEditClass(), TcxMaskEdit::StaticClass());
}

namespace {
struct TMaskProvider : TcxCustomEditDefaultValuesProvider {
    std::string Mask;
    std::string DefaultEditMask() override { return Mask; }
};
}  // namespace

TEST_F(MaskEditTest, BoundFieldMaskAndDisplayForPainting)
{
    TMaskProvider provider;
    provider.Mask = "000-0000;1;_";
    TcxMaskEditProperties p;
    p.SetDefaultValuesProvider(&provider);
    EXPECT_EQ(p.EditMask(), "000-0000;1;_");
    EXPECT_TRUE(p.IsMasked());
    // A standard mask shows blanks and literals while editing, the plain
    // value otherwise unless asked to always show them.
    Variant d;
    p.PrepareDisplayValue(Variant("12"), d, true);
    EXPECT_EQ(VarToStr(d), "12_-____");
    p.PrepareDisplayValue(Variant("12"), d, false);
    EXPECT_EQ(VarToStr(d), "12 -    ");
    p.SetAlwaysShowBlanksAndLiterals(true);
    p.PrepareDisplayValue(Variant("12"), d, false);
    EXPECT_EQ(VarToStr(d), "12_-____");
    // Its own mask wins over the field's.
    p.SetEditMask("00");
    EXPECT_EQ(p.EditMask(), "00");
    p.SetDefaultValuesProvider(nullptr);
    // Expressions show the value placed into the expression.
    p.SetMaskKind(emkRegExprEx);
    p.SetEditMask("'+'\\d+");
    p.PrepareDisplayValue(Variant(""), d, false);
    EXPECT_EQ(VarToStr(d), "+");
}

TEST_F(MaskEditTest, ArrowsAtTheEdgesReachTheHost)
{
    Mask(emkStandard, "00-00;1;_");
    Edit->SetEditValue(Variant("12-34"));
    std::vector<WORD> after;
    Edit->OnAfterKeyDown = [&](TObject*, WORD& Key, TShiftState) { after.push_back(Key); };
    Focus(Edit);
    Run("{HOME}");
    EXPECT_EQ(Edit->SelStart(), 0);
    Run("{LEFT}");
    Run("{RIGHT}");
    Run("{END}{RIGHT}");
    EXPECT_EQ(after, (std::vector<WORD>{VK_LEFT, VK_RIGHT}));
}

namespace {
// Repository items holding text and mask edit properties.
class TTextItem : public TcxEditRepositoryItem {
    QZ_CLASS(TTextItem, TcxEditRepositoryItem)
public:
    using TcxEditRepositoryItem::TcxEditRepositoryItem;
    TClass GetPropertiesClass() const override { return TcxTextEditProperties::StaticClass(); }
};
QZ_CLASS_IMPL(TTextItem, TcxEditRepositoryItem)
class TMaskItem : public TcxEditRepositoryItem {
    QZ_CLASS(TMaskItem, TcxEditRepositoryItem)
public:
    using TcxEditRepositoryItem::TcxEditRepositoryItem;
    TClass GetPropertiesClass() const override { return TcxMaskEditProperties::StaticClass(); }
};
QZ_CLASS_IMPL(TMaskItem, TcxEditRepositoryItem)
}  // namespace

TEST_F(MaskEditTest, RepositoryItemsLendTheirProperties)
{
    TcxEditRepository repository;
    TcxEditRepositoryItem* text = repository.CreateItem(TTextItem::StaticClass());
    auto* mask = static_cast<TMaskItem*>(repository.CreateItem(TMaskItem::StaticClass()));
    // A mask edit takes no plain text edit settings.
    try {
        Edit->SetRepositoryItem(text);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "The repository item is not acceptable");
    }
    EXPECT_EQ(Edit->RepositoryItem(), nullptr);

    Edit->SetRepositoryItem(mask);
    EXPECT_EQ(Edit->ActiveProperties(), mask->Properties());
    auto* p = static_cast<TcxMaskEditProperties*>(mask->Properties());
    p->SetEditMask("00-00;1;_");   // heard through the item
    Focus(Edit);
    Run("1234");
    EXPECT_EQ(Text(), "12-34");
    // The item goes: the edit's own properties (no mask) take over.
    delete mask;
    EXPECT_EQ(Edit->RepositoryItem(), nullptr);
    EXPECT_EQ(Edit->ActiveProperties()->ClassType(), TcxMaskEditProperties::StaticClass());
    EXPECT_FALSE(Edit->Properties()->IsMasked());
    Edit->SetEditValue(Null());
    Run("abc");
    EXPECT_EQ(Text(), "abc");
}
