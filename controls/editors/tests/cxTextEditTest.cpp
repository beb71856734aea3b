#include "cxTextEdit.h"

#include "Clipbrd.h"
#include "Forms.h"
#include "GuiTesting.h"
#include "HostServices.h"
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"

#include <gtest/gtest.h>

namespace {

class TextEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        cxLookAndFeels::Initialize();
        cxLookAndFeelPainters::Initialize();
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 400, 300);
        Edit = new TcxTextEdit(Form);
        Edit->SetParent(Form);
        Edit->SetLeft(10);
        Edit->SetTop(10);
        Other = new TcxTextEdit(Form);
        Other->SetParent(Form);
        Other->SetLeft(10);
        Other->SetTop(60);
        Form->Show();
        GuiTest::ProcessEvents();
    }
    void TearDown() override
    {
        delete Form;
        GuiTest::ProcessEvents();
    }
    void Focus(TcxTextEdit* e)
    {
        e->SetFocus();
        GuiTest::ProcessEvents();
    }
    TForm* Form = nullptr;
    TcxTextEdit* Edit = nullptr;
    TcxTextEdit* Other = nullptr;
};

}  // namespace

TEST_F(TextEditTest, TypingSetsTheValueAndFiresChangeOnce)
{
    EXPECT_EQ(Edit->Width(), 121);
    EXPECT_EQ(Edit->Height(), Edit->MeasureEditSize().cy);   // auto-sized
    int changes = 0, valueChanges = 0;
    Edit->Properties()->OnChange = [&](TObject*) { ++changes; };
    Edit->Properties()->OnEditValueChanged = [&](TObject*) { ++valueChanges; };
    Focus(Edit);
    GuiTest::TypeText("驾校");
    EXPECT_EQ(VarToStr(Edit->EditValue()), "驾校");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(valueChanges, 2);
    EXPECT_TRUE(Edit->ModifiedAfterEnter());
    // A value set by code shows and does not count as the user's change.
    Edit->SetEditValue(Variant("abc"));
    EXPECT_EQ(Edit->GetDisplayText(), "abc");
    EXPECT_FALSE(Edit->Modified());
}

TEST_F(TextEditTest, PasteKeepsTheTextAfterTheSelectionUnderMaxLength)
{
    Edit->Properties()->SetMaxLength(5);
    Edit->SetEditValue(Variant("abcde"));
    Focus(Edit);
    Edit->SetSelStart(1);
    Edit->SetSelLength(2);
    Clipboard()->SetAsText("XYZ");
    Edit->InnerEdit()->Perform(WM_PASTE);
    EXPECT_EQ(Edit->GetDisplayText(), "aXYde");
    EXPECT_EQ(Edit->SelStart(), 3);
    // Full: typing changes nothing.
    Edit->SetSelStart(5);
    GuiTest::TypeText("f");
    EXPECT_EQ(Edit->GetDisplayText(), "aXYde");
}

TEST_F(TextEditTest, TextMessages)
{
    Edit->SetEditValue(Variant("abcdef"));
    std::string out;
    EXPECT_EQ(Edit->Perform(WM_GETTEXT, 4, LPARAM(&out)), 3);   // the count copied, no terminator
    EXPECT_EQ(out, "abc");
    EXPECT_EQ(Edit->Perform(WM_GETTEXT, 0, LPARAM(&out)), 6);
    EXPECT_EQ(Edit->Perform(WM_GETTEXTLENGTH), 6);
    std::string in = "xyz";
    EXPECT_EQ(Edit->Perform(WM_SETTEXT, 0, LPARAM(&in)), 1);
    EXPECT_EQ(VarToStr(Edit->EditValue()), "xyz");
    // The private message that once carried a buffer address to free and
    // raise has no handler: a stray one reads nothing and changes nothing.
    EXPECT_NO_THROW(Edit->Perform(0x8069, 0, LPARAM(0x1234)));
    EXPECT_NO_THROW(Edit->InnerEdit()->Perform(0x8069, 0, LPARAM(0x1234)));
    EXPECT_EQ(VarToStr(Edit->EditValue()), "xyz");
}

TEST_F(TextEditTest, ComposedChineseCountsOnceAgainstMaxLength)
{
    Edit->Properties()->SetMaxLength(2);
    Focus(Edit);
    GuiTest::TypeText("驾校驾", true);   // through the input method
    EXPECT_EQ(Edit->GetDisplayText(), "驾校");
    EXPECT_EQ(VarToStr(Edit->EditValue()), "驾校");
}

TEST_F(TextEditTest, PasswordEchoAndTheHiddenInnerEdit)
{
    Edit->Properties()->SetEchoMode(eemPassword);
    Edit->SetEditValue(Variant("abc"));
    EXPECT_EQ(Edit->InnerEdit()->PasswordChar(), '*');
    // An unfocused right-aligned edit paints its text itself.
    Other->Properties()->Alignment()->SetHorz(taRightJustify);
    Other->Properties()->SetUseLeftAlignmentOnEditing(false);
    Other->SetEditValue(Variant("右"));
    Focus(Edit);
    EXPECT_FALSE(Other->IsInnerEditVisible());
    Focus(Other);
    EXPECT_TRUE(Other->IsInnerEditVisible());
}

TEST_F(TextEditTest, EscapeRestoresAndTheClearKeyClears)
{
    Focus(Other);
    Edit->SetEditValue(Variant("old"));
    Focus(Edit);   // entered holding "old"
    Edit->SelectAll();
    GuiTest::TypeText("new");
    EXPECT_EQ(VarToStr(Edit->EditValue()), "new");
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_EQ(VarToStr(Edit->EditValue()), "old");
    EXPECT_EQ(Edit->GetDisplayText(), "old");
    // The edit stays modified (its source was not told) and selected.
    EXPECT_TRUE(Edit->Modified());
    EXPECT_FALSE(Edit->ModifiedAfterEnter());
    EXPECT_EQ(Edit->SelLength(), 3);
    GuiTest::KeyPress(VK_ESCAPE);   // nothing left to undo
    EXPECT_EQ(VarToStr(Edit->EditValue()), "old");
    Edit->Properties()->SetClearKey(ShortCut(VK_DELETE, TShiftState{ssCtrl}));
    GuiTest::KeyPress(VK_DELETE, TShiftState{ssCtrl});
    EXPECT_TRUE(VarIsNull(Edit->EditValue()));
}

TEST_F(TextEditTest, ValidationOnEnterAndReadOnly)
{
    Edit->Properties()->SetValidateOnEnter(true);
    Edit->Properties()->OnValidate = [](TObject*, Variant& v, std::string& t, bool& e) {
        if (VarToStr(v) == "bad") {
            e = true;
            t = "不行";
        }
    };
    int posted = 0;
    Edit->OnPostEditValue = [&](TObject*) { ++posted; };
    Focus(Edit);
    GuiTest::TypeText("bad");
    try {
        Edit->InnerEdit()->Perform(WM_KEYDOWN, VK_RETURN, 0);
        ADD_FAILURE() << "no validation error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "不行");
    }
    EXPECT_EQ(posted, 0);
    Edit->SelectAll();
    GuiTest::TypeText("good");
    Edit->InnerEdit()->Perform(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(posted, 1);

    Other->Properties()->SetReadOnly(true);
    Focus(Other);
    GuiTest::TypeText("x");
    EXPECT_EQ(Other->GetDisplayText(), "");
    int editing = 0;
    Edit->OnEditing = [&](TObject*, bool& can) {
        ++editing;
        can = false;
    };
    Edit->SetEditValue(Variant("kept"));
    Focus(Edit);
    GuiTest::TypeText("y");
    EXPECT_EQ(Edit->GetDisplayText(), "kept");
    EXPECT_GE(editing, 1);
}

// Edits in the four looks with Chinese text, for the eye: editors_edits.png
// in the build folder.
TEST_F(TextEditTest, ShowsTheFourLooks)
{
    const TcxLookAndFeelKind kinds[4] = {lfStandard, lfFlat, lfUltraFlat, lfStandard};
    const char* texts[4] = {"学员：张三", "科目二 倒车入库", "教练 李四", "合计 ¥1,234.50"};
    std::vector<TcxTextEdit*> edits;
    for (int i = 0; i < 4; ++i) {
        auto* e = new TcxTextEdit(Form);
        e->SetParent(Form);
        e->SetBounds(10, 100 + i * 30, 200, 22);
        e->EditStyle()->LookAndFeel()->SetKind(kinds[i]);
        if (i == 3) {
            e->EditStyle()->LookAndFeel()->SetNativeStyle(true);
            e->Properties()->Alignment()->SetHorz(taRightJustify);
        }
        e->Properties()->Buttons()->Add()->SetKind(i % 2 ? bkEllipsis : bkDown);
        e->SetEditValue(Variant(texts[i]));
        edits.push_back(e);
    }
    Focus(edits[2]);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(edits[2]->IsInnerEditVisible());
    EXPECT_FALSE(edits[3]->IsInnerEditVisible());   // right-aligned, unfocused: painted text
    Form->Repaint();
    GuiTest::ProcessEvents();
    EXPECT_TRUE(GuiTest::SavePng(Form, std::string(QZ_BINARY_DIR) + "/editors_edits.png"));
}

TEST_F(TextEditTest, IncrementalSearchCompletesFromTheLookupItems)
{
    for (const char* s : {"Apple", "apricot", "Banana", "驾校"}) Edit->Properties()->LookupItems()->Add(s);
    Focus(Edit);
    struct Step {
        const char* Typed;   // "\b" is Backspace
        const char* Shown;
        int SelStart, SelLength;
    };
    const Step steps[] = {
        {"a", "Apple", 1, 4},
        {"p", "Apple", 2, 3},
        {"r", "apricot", 3, 4},
        {"\b", "Apple", 2, 3},   // back to "ap", searched again
        {"x", "Apx", 3, 0},      // no item: a free text takes the character
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.Typed);
        if (std::string(s.Typed) == "\b") GuiTest::KeyPress(VK_BACK);
        else GuiTest::TypeText(s.Typed);
        EXPECT_EQ(Edit->GetDisplayText(), s.Shown);
        EXPECT_EQ(Edit->SelStart(), s.SelStart);
        EXPECT_EQ(Edit->SelLength(), s.SelLength);
    }
    EXPECT_EQ(VarToStr(Edit->EditValue()), "Apx");
    // A Chinese character completes to its item with exactly the tail selected.
    Edit->SelectAll();
    GuiTest::TypeText("驾");
    EXPECT_EQ(Edit->GetDisplayText(), "驾校");
    EXPECT_EQ(Edit->SelStart(), 1);
    EXPECT_EQ(Edit->SelLength(), 1);
    EXPECT_TRUE(Edit->LookupSelection());
}

TEST_F(TextEditTest, ButtonsClickWhenReleasedOverThemselves)
{
    Edit->Properties()->Buttons()->Add()->SetKind(bkEllipsis);
    Edit->Properties()->Buttons()->Add()->SetVisible(false);
    Edit->Properties()->Buttons()->Add();
    GuiTest::ProcessEvents();
    ASSERT_EQ(Edit->EditViewInfo()->ButtonCount(), 2);
    std::vector<int> clicks;
    Edit->Properties()->OnButtonClick = [&](TObject*, int i) { clicks.push_back(i); };
    TRect b = Edit->EditViewInfo()->Button(1)->Bounds;   // the third button (the second is hidden)
    TPoint p{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
    GuiTest::MouseDown(Edit, mbLeft, p, TShiftState{ssLeft});
    EXPECT_EQ(Edit->EditViewInfo()->PressedButtonIndex, 1);
    GuiTest::MouseUp(Edit, mbLeft, p);
    EXPECT_EQ(clicks, std::vector<int>{2});
    // Pressed, dragged off and released elsewhere: no click.
    GuiTest::MouseDown(Edit, mbLeft, p, TShiftState{ssLeft});
    GuiTest::MouseMove(Edit, TPoint{5, 5}, TShiftState{ssLeft});
    GuiTest::MouseUp(Edit, mbLeft, TPoint{5, 5});
    EXPECT_EQ(clicks, std::vector<int>{2});
    // The click key (Ctrl+Enter) clicks the default button.
    Edit->Properties()->Buttons()->Items(2)->SetDefault(true);
    Focus(Edit);
    GuiTest::KeyPress(VK_RETURN, TShiftState{ssCtrl});
    EXPECT_EQ(clicks, (std::vector<int>{2, 2}));
}

TEST_F(TextEditTest, UnusedNavigationKeysReachTheHost)
{
    std::vector<WORD> after;
    Edit->OnAfterKeyDown = [&](TObject*, WORD& Key, TShiftState) { after.push_back(Key); };
    Edit->SetEditValue(Variant("ab"));
    Focus(Edit);
    Edit->SetSelStart(1);
    Edit->SetSelLength(0);
    GuiTest::KeyPress(VK_LEFT);    // moves the caret: the edit's own
    GuiTest::KeyPress(VK_LEFT);    // at the start: nothing to do
    GuiTest::KeyPress(VK_END);
    GuiTest::KeyPress(VK_RIGHT);   // at the end
    GuiTest::KeyPress(VK_NEXT);
    EXPECT_EQ(after, (std::vector<WORD>{VK_LEFT, VK_RIGHT, VK_NEXT}));
}

namespace {
// A value source that records what is stored and may refuse editing.
class TRecordingBinding : public TcxEditDataBinding {
    QZ_CLASS(TRecordingBinding, TcxEditDataBinding)
public:
    using TcxEditDataBinding::TcxEditDataBinding;
    bool SetEditMode() override { return Editable; }
    void SetStoredValue(const Variant& Value) override { Stored.push_back(VarToStr(Value)); }
    bool Editable = true;
    std::vector<std::string> Stored;
};
QZ_CLASS_IMPL(TRecordingBinding, TcxEditDataBinding)

class TBoundEdit : public TcxTextEdit {
    QZ_CLASS(TBoundEdit, TcxTextEdit)
public:
    explicit TBoundEdit(TComponent* AOwner = nullptr) : TcxTextEdit(AOwner) { InitializeEdit(); }
    TClass GetDataBindingClass() const override { return TRecordingBinding::StaticClass(); }
    TRecordingBinding* Binding() const { return static_cast<TRecordingBinding*>(DataBinding()); }
};
QZ_CLASS_IMPL(TBoundEdit, TcxTextEdit)
}  // namespace

TEST_F(TextEditTest, PostingWritesToTheValueSource)
{
    auto* e = new TBoundEdit(Form);
    e->SetParent(Form);
    e->SetTop(110);
    GuiTest::ProcessEvents();
    ASSERT_EQ(e->DataBinding()->Edit(), e);
    // The stand-alone properties take their defaults from the source.
    EXPECT_EQ(e->Properties()->DefaultValuesProvider(), e->DataBinding()->GetIDefaultValuesProvider());
    e->Properties()->SetValidateOnEnter(true);
    e->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::TypeText("abc");
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_EQ(e->Binding()->Stored, std::vector<std::string>{"abc"});
    // A source that refuses to be edited keeps the text as it is.
    e->Binding()->Editable = false;
    e->SetEditValue(Variant("kept"));
    GuiTest::TypeText("x");
    EXPECT_EQ(e->GetDisplayText(), "kept");
}

TEST_F(TextEditTest, TheWheelChangesAnInplaceValueOnlyWhenAllowed)
{
    std::unique_ptr<TcxCustomEdit> inplace(TcxCustomEdit::CreateInplace(TcxTextEdit::StaticClass()));
    struct Case {
        bool Inplace;
        bool InplaceWheel;
        TShiftState Shift;
        bool Allowed;
    };
    const Case cases[] = {
        {false, false, TShiftState{}, true},
        {false, true, TShiftState{}, true},
        {true, true, TShiftState{}, true},
        {true, false, TShiftState{}, false},
        {true, false, TShiftState{ssShift}, false},
        {true, false, TShiftState{ssCtrl}, true},
    };
    for (const Case& c : cases) {
        TcxCustomEdit* e = c.Inplace ? inplace.get() : static_cast<TcxCustomEdit*>(Edit);
        e->ActiveProperties()->SetInplaceWheel(c.InplaceWheel);
        EXPECT_EQ(e->CanProcessMouseWheel(c.Shift), c.Allowed)
            << "inplace " << c.Inplace << " wheel flag " << c.InplaceWheel;
    }
}

namespace {
// A form in its modal state without running the modal loop.
class TModalForm : public TForm {
public:
    using TForm::TForm;
    void SetModal() { FFormState.Include(fsModal); }
};
}  // namespace

TEST_F(TextEditTest, AModalFormClosingWithAResultValidatesQuietly)
{
    struct Case {
        TModalResult Result;
        int Validations;
    };
    for (const Case& c : {Case{mrOk, 1}, Case{mrCancel, 0}}) {
        auto* form = new TModalForm(nullptr);
        form->SetBounds(100, 100, 300, 200);
        auto* edit = new TcxTextEdit(form);
        edit->SetParent(form);
        int validations = 0;
        edit->Properties()->OnValidate = [&](TObject*, Variant&, std::string& t, bool& e) {
            ++validations;
            e = true;
            t = "不行";
        };
        form->Show();
        GuiTest::ProcessEvents();
        edit->SetFocus();
        GuiTest::ProcessEvents();
        GuiTest::TypeText("x");
        form->SetModal();
        form->SetModalResult(c.Result);
        EXPECT_NO_THROW({
            form->Hide();
            // The focus leaves with the hidden window; the offscreen platform
            // does not tell the window that loses it, so the test does.
            edit->Perform(WM_KILLFOCUS, 0, 0);
            GuiTest::ProcessEvents();
        });
        EXPECT_EQ(validations, c.Validations) << "result " << c.Result;
        delete form;
    }
}

TEST_F(TextEditTest, AutoSizeTakesTheHeightTheValueNeeds)
{
    // One "Zg" line of the style's font, the text offset (4) and the borders (2 + 2).
    auto measured = [](TcxCustomEdit* e) {
        TcxScreenCanvas canvas;
        canvas.SetFont(e->Style()->Font());
        return canvas.TextHeight("Zg") + 4 + 4;
    };
    EXPECT_TRUE(Edit->AutoSize());
    EXPECT_EQ(Edit->Height(), measured(Edit));
    Edit->SetHeight(50);   // refused: the height is the measured one
    EXPECT_EQ(Edit->Height(), measured(Edit));
    Edit->SetWidth(200);   // the width stays the user's
    EXPECT_EQ(Edit->Width(), 200);

    Edit->Style()->Font()->SetSize(22);
    GuiTest::ProcessEvents();
    int big = measured(Edit);
    EXPECT_GT(big, 30);
    EXPECT_EQ(Edit->Height(), big);
    // The inner edit follows onto the new client area.
    EXPECT_EQ(Edit->InnerEdit()->BoundsRect(), Edit->ViewInfo()->ContentRect);
    EXPECT_EQ(Edit->ViewInfo()->ContentRect.Bottom + 2, big);

    Edit->SetAutoSize(false);
    Edit->SetHeight(60);
    EXPECT_EQ(Edit->Height(), 60);
    Edit->SetAutoSize(true);   // measured again at once
    EXPECT_EQ(Edit->Height(), big);

    // A host sizes an in-place edit: it never sizes itself.
    std::unique_ptr<TcxCustomEdit> inplace(TcxCustomEdit::CreateInplace(TcxTextEdit::StaticClass()));
    inplace->SetParent(Form);
    EXPECT_FALSE(inplace->AutoSize());
    inplace->SetAutoSize(true);
    EXPECT_FALSE(inplace->AutoSize());
    inplace->SetBounds(0, 200, 80, 40);
    GuiTest::ProcessEvents();
    EXPECT_EQ(inplace->Height(), 40);
}

TEST_F(TextEditTest, TabMovesOnAndAnInvalidValueKeepsTheFocus)
{
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    Edit->Properties()->OnValidate = [](TObject*, Variant& v, std::string& t, bool& e) {
        if (VarToStr(v) == "bad") {
            e = true;
            t = "不行";
        }
    };
    int exits = 0;
    Edit->OnExit = [&](TObject*) { ++exits; };
    Focus(Edit);
    GuiTest::TypeText("ok");
    GuiTest::KeyPress(VK_TAB);
    EXPECT_TRUE(Other->Focused());
    EXPECT_EQ(exits, 1);
    EXPECT_FALSE(Edit->ModifiedAfterEnter());
    GuiTest::KeyPress(VK_TAB, TShiftState{ssShift});
    EXPECT_TRUE(Edit->Focused());
    EXPECT_TRUE(Edit->InnerEdit()->Focused());

    // Entered holding "ok"; an invalid value on Tab shows the error and the
    // focus comes back without the edit being entered again.
    Edit->SelectAll();
    GuiTest::TypeText("bad");
    GuiTest::KeyPress(VK_TAB);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Edit->Focused());
    EXPECT_FALSE(Other->Focused());
    EXPECT_EQ(exits, 1);   // no exit with an invalid value
    EXPECT_TRUE(Edit->ModifiedAfterEnter());
    EXPECT_EQ(Edit->GetDisplayText(), "bad");   // kept for correcting, selected
    EXPECT_EQ(Edit->SelLength(), 3);
    bool shown = false;
    for (const THostCall& c : host->Calls) shown = shown || c.Text.find("不行") != std::string::npos;
    EXPECT_TRUE(shown);
    // Esc goes back to the value on entry, not to the invalid one.
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_EQ(Edit->GetDisplayText(), "ok");
    GuiTest::KeyPress(VK_TAB);
    EXPECT_TRUE(Other->Focused());
    EXPECT_EQ(exits, 2);
}

TEST_F(TextEditTest, TabInPlaceGoesToTheHostFirst)
{
    std::unique_ptr<TcxCustomEdit> inplace(TcxCustomEdit::CreateInplace(TcxTextEdit::StaticClass()));
    inplace->SetParent(Form);
    inplace->SetBounds(10, 200, 100, 20);
    bool consume = true;
    std::vector<WORD> after;
    inplace->OnAfterKeyDown = [&](TObject*, WORD& Key, TShiftState) {
        after.push_back(Key);
        if (consume) Key = 0;
    };
    inplace->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyPress(VK_TAB);   // the host took it: the focus stays
    EXPECT_TRUE(inplace->Focused());
    consume = false;
    GuiTest::KeyPress(VK_TAB);   // the host let it pass: the next control
    EXPECT_FALSE(inplace->Focused());
    EXPECT_EQ(after, (std::vector<WORD>{VK_TAB, VK_TAB}));
}

namespace {
// Notes what the window answers when asked for its borders.
class TRegionProbeEdit : public TcxTextEdit {
    QZ_CLASS(TRegionProbeEdit, TcxTextEdit)
public:
    using TcxTextEdit::TcxTextEdit;
    struct Ask {
        bool ChangingRegion;
        LRESULT Result;
        bool RectKept;
    };
    std::vector<Ask> Asked;
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg != WM_NCCALCSIZE) {
            TcxTextEdit::WndProc(Message);
            return;
        }
        TRect before = *reinterpret_cast<TRect*>(Message.LParam);
        Message.Result = -1;
        TcxTextEdit::WndProc(Message);
        Asked.push_back({ChangingRegion(), Message.Result, before == *reinterpret_cast<TRect*>(Message.LParam)});
    }
};
QZ_CLASS_IMPL(TRegionProbeEdit, TcxTextEdit)
}  // namespace

TEST_F(TextEditTest, ReplacingTheRegionKeepsTheBorders)
{
    auto* e = new TRegionProbeEdit(Form);
    e->SetParent(Form);
    e->SetTop(120);
    GuiTest::ProcessEvents();
    TRect inner = e->InnerEdit()->BoundsRect();
    auto regionKind = [e] {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        int kind = GetWindowRgn(e->Handle(), rgn);
        DeleteObject(rgn);
        return kind;
    };
    EXPECT_EQ(regionKind(), SIMPLEREGION);
    e->Asked.clear();
    e->Style()->SetShadow(true);   // the window takes a region with the shadow
    GuiTest::ProcessEvents();
    EXPECT_EQ(regionKind(), COMPLEXREGION);
    ASSERT_FALSE(e->Asked.empty());
    for (const auto& a : e->Asked) {
        EXPECT_TRUE(a.ChangingRegion);
        EXPECT_EQ(a.Result, 0);
        EXPECT_TRUE(a.RectKept);
    }
    EXPECT_FALSE(e->ChangingRegion());
    EXPECT_EQ(e->InnerEdit()->BoundsRect().Left, inner.Left);
    EXPECT_EQ(e->NonClientInsets(), TRect{});
}
