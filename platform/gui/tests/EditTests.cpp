// The single-line edit: keystroke scripts (text, the two ends of the
// selection, change notices), the edit messages an owner sends, the
// clipboard, limits counted in characters, the caret's pixel position.
#include "StdCtrls.h"
#include "Clipbrd.h"
#include "Menus.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

namespace {

struct EditTest : ::testing::Test {
    std::unique_ptr<TForm> Form;
    TEdit* E = nullptr;
    int Changes = 0;
    void SetUp() override
    {
        GuiTest::Init();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 300, 200);
        E = new TEdit(Form.get());
        E->SetParent(Form.get());
        E->SetBounds(10, 10, 150, 21);
        E->OnChange = [this](TObject*) { ++Changes; };
        Form->Show();
        GuiTest::ProcessEvents();
        E->SetFocus();
        GuiTest::ProcessEvents();
    }

    // Plays a script: plain characters are typed; {Key} or {S+Key}, {C+Key},
    // {CS+Key} press a key with Shift, Ctrl or both.
    void Play(const std::string& script)
    {
        size_t i = 0;
        while (i < script.size()) {
            if (script[i] != '{') {
                size_t j = i + 1;
                while (j < script.size() && (uint8_t(script[j]) & 0xC0) == 0x80) ++j;
                GuiTest::TypeText(script.substr(i, j - i));
                i = j;
                continue;
            }
            size_t close = script.find('}', i);
            std::string k = script.substr(i + 1, close - i - 1);
            i = close + 1;
            TShiftState shift;
            if (auto plus = k.find('+'); plus != std::string::npos) {
                std::string mods = k.substr(0, plus);
                if (mods.find('S') != std::string::npos) shift.Include(ssShift);
                if (mods.find('C') != std::string::npos) shift.Include(ssCtrl);
                k = k.substr(plus + 1);
            }
            static const std::map<std::string, int> keys = {
                {"Left", VK_LEFT}, {"Right", VK_RIGHT}, {"Home", VK_HOME}, {"End", VK_END},
                {"Del", VK_DELETE}, {"BS", VK_BACK}, {"Ins", VK_INSERT}, {"Up", VK_UP},
                {"Down", VK_DOWN}, {"Enter", VK_RETURN}, {"Tab", VK_TAB}, {"PgDn", VK_NEXT},
                {"PgUp", VK_PRIOR}};
            int vk = keys.count(k) ? keys.at(k) : int(k[0]);
            GuiTest::KeyPress(vk, shift);
        }
    }
};

struct TScriptCase {
    const char* Name;
    const char* Start;     // the text before the script (set by code, no notice counted)
    const char* Script;
    const char* Text;
    int Anchor, Caret;
    int Changes;
};

class EditScripts : public EditTest, public ::testing::WithParamInterface<TScriptCase> {};

TEST_P(EditScripts, TextSelectionAndNotices)
{
    const TScriptCase& c = GetParam();
    E->SetText(c.Start);
    E->Perform(EM_SETSEL, E->GetTextLen(), E->GetTextLen());
    Changes = 0;
    Play(c.Script);
    EXPECT_EQ(E->Text(), c.Text) << c.Name;
    EXPECT_EQ(E->SelAnchor(), c.Anchor) << c.Name;
    EXPECT_EQ(E->CaretIndex(), c.Caret) << c.Name;
    EXPECT_EQ(Changes, c.Changes) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EditScripts,
    ::testing::Values(
        TScriptCase{"typing notifies each character", "", "abc", "abc", 3, 3, 3},
        TScriptCase{"left then type inserts", "abc", "{Left}{Left}X", "aXbc", 2, 2, 1},
        TScriptCase{"shift left selects, caret at the start end", "abcd", "{S+Left}{S+Left}", "abcd", 4, 2, 0},
        TScriptCase{"typing replaces the selection", "abcd", "{S+Left}{S+Left}Z", "abZ", 3, 3, 1},
        TScriptCase{"left collapses a selection to its start", "abcd", "{S+Left}{S+Left}{Left}", "abcd", 2, 2, 0},
        TScriptCase{"right collapses to its end", "abcd", "{Home}{S+Right}{S+Right}{Right}", "abcd", 2, 2, 0},
        TScriptCase{"shift home from the end", "abc", "{S+Home}", "abc", 3, 0, 0},
        TScriptCase{"home then shift end", "abc", "{Home}{S+End}", "abc", 0, 3, 0},
        TScriptCase{"backspace", "abc", "{BS}{BS}", "a", 1, 1, 2},
        TScriptCase{"delete at home", "abc", "{Home}{Del}", "bc", 0, 0, 1},
        TScriptCase{"delete at the end does nothing", "abc", "{Del}", "abc", 3, 3, 0},
        TScriptCase{"backspace deletes a selection", "abcd", "{S+Left}{S+Left}{BS}", "ab", 2, 2, 1},
        TScriptCase{"ctrl left moves by words", "one two three", "{C+Left}{C+Left}", "one two three", 4, 4, 0},
        TScriptCase{"ctrl right moves past the blank", "one two", "{Home}{C+Right}", "one two", 4, 4, 0},
        TScriptCase{"ctrl shift left selects a word", "one two", "{CS+Left}", "one two", 7, 4, 0},
        TScriptCase{"Chinese counts one per character", "学员", "{Left}证", "学证员", 2, 2, 1},
        TScriptCase{"Chinese with shift left", "驾校管理", "{S+Left}{S+Left}{BS}", "驾校", 2, 2, 1},
        TScriptCase{"enter adds nothing to one line", "ab", "{Enter}", "ab", 2, 2, 0},
        TScriptCase{"up and down move as left and right", "ab", "{Up}{Up}{Down}", "ab", 1, 1, 0}),
    [](const ::testing::TestParamInfo<TScriptCase>& i) {
        std::string n;
        for (const char* p = i.param.Name; *p; ++p) n += std::isalnum(uint8_t(*p)) ? *p : '_';
        return n;
    });

TEST_F(EditTest, TextSetByCodeNotifiesOnceAndIsNotAModification)
{
    E->SetText("学员");
    EXPECT_EQ(Changes, 1);
    EXPECT_FALSE(E->Modified());
    EXPECT_EQ(E->SelStart(), 0);
    std::string t = "考试";
    E->Perform(WM_SETTEXT, 0, LPARAM(&t));
    EXPECT_EQ(Changes, 2);
    Play("x");
    EXPECT_TRUE(E->Modified());
    EXPECT_EQ(E->Perform(WM_GETTEXTLENGTH), 3);
    std::string out;
    EXPECT_EQ(E->Perform(WM_GETTEXT, 2, LPARAM(&out)), 2);
    EXPECT_EQ(out, "x考");
}

TEST_F(EditTest, MaxLengthCountsCharactersAndCutsWhatDoesNotFit)
{
    E->SetMaxLength(3);
    Play("学员证件");
    EXPECT_EQ(E->Text(), "学员证");
    EXPECT_EQ(Changes, 3);
    // Pasting three over a selection of two keeps three characters; the caret follows what fit.
    E->SetText("abc");
    E->Perform(EM_SETSEL, 1, 3);
    Clipboard()->SetAsText("XYZ");
    E->PasteFromClipboard();
    EXPECT_EQ(E->Text(), "aXY");
    EXPECT_EQ(E->SelStart(), 3);
    // Text set by code is not limited.
    E->SetText("abcdef");
    EXPECT_EQ(E->Text(), "abcdef");
    // No room: the paste is refused whole.
    E->Perform(EM_SETSEL, 6, 6);
    int before = Changes;
    E->PasteFromClipboard();
    EXPECT_EQ(E->Text(), "abcdef");
    EXPECT_EQ(Changes, before);
}

TEST_F(EditTest, InputMethodTextArrivesWhole)
{
    GuiTest::TypeText("驾驶员", true);
    EXPECT_EQ(E->Text(), "驾驶员");
    EXPECT_EQ(E->CaretIndex(), 3);
    // A character outside the basic plane arrives as two halves and counts once.
    GuiTest::TypeText("𠀀", true);
    EXPECT_EQ(E->GetTextLen(), 4);
    EXPECT_EQ(E->Text(), "驾驶员𠀀");
}

TEST_F(EditTest, PasswordShowsStarsAndRefusesCopyAndCut)
{
    E->SetPasswordChar('*');
    Play("secret");
    Clipboard()->SetAsText("before");
    E->SelectAll();
    E->CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "before");
    E->CutToClipboard();
    EXPECT_EQ(E->Text(), "secret");
    Play("{C+X}");
    EXPECT_EQ(E->Text(), "secret");
    EXPECT_EQ(E->Perform(EM_GETPASSWORDCHAR), '*');
    // Every character shows as one star: positions follow the stars' widths.
    int x1 = int16_t(LOWORD(E->Perform(EM_POSFROMCHAR, 1)));
    int x2 = int16_t(LOWORD(E->Perform(EM_POSFROMCHAR, 2)));
    int x3 = int16_t(LOWORD(E->Perform(EM_POSFROMCHAR, 3)));
    EXPECT_EQ(x2 - x1, x3 - x2);
}

TEST_F(EditTest, ClipboardCopyCutPasteClearThroughMessagesAndKeys)
{
    E->SetText("hello world");
    E->Perform(EM_SETSEL, 0, 5);
    Play("{C+C}");
    EXPECT_EQ(Clipboard()->AsText(), "hello");
    Play("{End}{C+V}");
    EXPECT_EQ(E->Text(), "hello worldhello");
    E->Perform(EM_SETSEL, 5, 11);
    Play("{S+Del}");
    EXPECT_EQ(Clipboard()->AsText(), " world");
    EXPECT_EQ(E->Text(), "hellohello");
    Play("{Home}{S+Ins}");
    EXPECT_EQ(E->Text(), " worldhellohello");
    E->Perform(EM_SETSEL, 0, 6);
    E->Perform(WM_CLEAR);
    EXPECT_EQ(E->Text(), "hellohello");
    // A pasted text of several lines keeps its first line only.
    Clipboard()->SetAsText("one\r\ntwo");
    E->SelectAll();
    E->PasteFromClipboard();
    EXPECT_EQ(E->Text(), "one");
}

TEST_F(EditTest, OwnerSeesTheControlsOwnClipboardRequests)
{
    // An owner replacing the window procedure sees Ctrl+X, Shift+Del and the menu as WM_CUT.
    std::vector<UINT> seen;
    E->WindowProc = [this, &seen](TMessage& m) {
        if (m.Msg == WM_CUT || m.Msg == WM_PASTE || m.Msg == WM_CLEAR || m.Msg == WM_COPY) {
            seen.push_back(m.Msg);
            return;   // taken by the owner
        }
        E->WndProc(m);
    };
    E->SetText("abc");
    E->SelectAll();
    Play("{C+X}{S+Del}{C+V}{S+Ins}{C+Ins}");
    EXPECT_EQ(E->Text(), "abc");
    EXPECT_EQ(seen, (std::vector<UINT>{WM_CUT, WM_CUT, WM_PASTE, WM_PASTE, WM_COPY}));
    E->WindowProc = nullptr;
}

TEST_F(EditTest, ReadOnlyAllowsSelectionAndCopyOnly)
{
    E->SetText("fixed");
    E->SetReadOnly(true);
    Changes = 0;
    Play("{End}x{BS}{Del}{S+Home}");
    EXPECT_EQ(E->Text(), "fixed");
    EXPECT_EQ(E->SelLength(), 5);
    Play("{C+C}");
    EXPECT_EQ(Clipboard()->AsText(), "fixed");
    Play("{C+X}");
    E->PasteFromClipboard();
    E->ClearSelection();
    EXPECT_EQ(E->Text(), "fixed");
    EXPECT_EQ(Changes, 0);
}

TEST_F(EditTest, CharCaseConvertsTypedAndExistingText)
{
    E->SetText("Ab");
    E->SetCharCase(ecUpperCase);
    EXPECT_EQ(E->Text(), "AB");
    Play("{End}cd学");
    EXPECT_EQ(E->Text(), "ABCD学");
    E->SetCharCase(ecLowerCase);
    EXPECT_EQ(E->Text(), "abcd学");
    E->SetCharCase(ecNormal);
    Play("X");
    EXPECT_EQ(E->Text(), "abcd学X");
}

TEST_F(EditTest, SelectionMessagesKeepAnchorAndCaretEnds)
{
    E->SetText("0123456789");
    E->Perform(EM_SETSEL, 7, 2);   // anchor 7, caret 2
    EXPECT_EQ(E->SelStart(), 2);
    EXPECT_EQ(E->SelLength(), 5);
    EXPECT_EQ(E->SelAnchor(), 7);
    EXPECT_EQ(E->CaretIndex(), 2);
    DWORD s = 0, e = 0;
    E->Perform(EM_GETSEL, WPARAM(&s), LPARAM(&e));
    EXPECT_EQ(s, 2u);
    EXPECT_EQ(e, 7u);
    // Shift+Right moves the caret end only.
    Play("{S+Right}");
    EXPECT_EQ(E->SelStart(), 3);
    EXPECT_EQ(E->SelLength(), 4);
    E->Perform(EM_SETSEL, 0, -1);
    EXPECT_EQ(E->SelLength(), 10);
    E->Perform(EM_SETSEL, WPARAM(-1), 0);
    EXPECT_EQ(E->SelLength(), 0);
    std::string r = "AB";
    E->Perform(EM_SETSEL, 1, 3);
    E->Perform(EM_REPLACESEL, 1, LPARAM(&r));
    EXPECT_EQ(E->Text(), "0AB3456789");
    EXPECT_EQ(E->SelStart(), 3);
    E->SetSelStart(4);
    E->SetSelLength(2);
    EXPECT_EQ(E->SelText(), "45");
    E->SetSelText("学");
    EXPECT_EQ(E->Text(), "0AB3学6789");
}

TEST_F(EditTest, CaretPixelPositionMatchesPosFromCharAndMargins)
{
    E->SetText("abc学员");
    E->Perform(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 1));
    EXPECT_EQ(E->Perform(EM_GETMARGINS), LRESULT(MAKELPARAM(0, 1)));
    for (int i = 0; i < 5; ++i) {
        E->Perform(EM_SETSEL, i, i);
        TPoint caret;
        ASSERT_TRUE(GetCaretPos(&caret));
        LRESULT p = E->Perform(EM_POSFROMCHAR, i);
        EXPECT_EQ(caret.X, int16_t(LOWORD(p))) << i;
        if (i == 0) EXPECT_EQ(caret.X, 0);
        // And back: the point of a character is that character.
        EXPECT_EQ(LOWORD(E->Perform(EM_CHARFROMPOS, 0, LPARAM(p))), i);
    }
    EXPECT_EQ(E->Perform(EM_POSFROMCHAR, 5), -1);
    // A Chinese character is wider than a Latin one.
    int xa = int16_t(LOWORD(E->Perform(EM_POSFROMCHAR, 1))) - int16_t(LOWORD(E->Perform(EM_POSFROMCHAR, 0)));
    int xc = int16_t(LOWORD(E->Perform(EM_POSFROMCHAR, 4))) - int16_t(LOWORD(E->Perform(EM_POSFROMCHAR, 3)));
    EXPECT_GT(xc, xa);
    E->Perform(EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(5, 0));
    EXPECT_EQ(int16_t(LOWORD(E->Perform(EM_POSFROMCHAR, 0))), 5);
}

// A grid's editor keeps room for its buttons by giving the text a rectangle
// of its own: text, caret and scrolling stay inside it, a new size undoes it.
TEST_F(EditTest, FormattingRectangleKeepsTheTextInsideIt)
{
    const TRect client = E->ClientRect();
    TRect r;
    E->Perform(EM_GETRECT, 0, LPARAM(&r));
    EXPECT_EQ(r, Rect(1, 1, client.Right - 1, client.Bottom));
    const TRect area = Rect(0, 0, client.Right - 40, client.Bottom);
    E->Perform(EM_SETRECTNP, 0, LPARAM(&area));
    E->Perform(EM_GETRECT, 0, LPARAM(&r));
    EXPECT_EQ(r, Rect(1, 1, area.Right - 1, client.Bottom)) << "the margins apply inside it";

    E->SetText(std::string(60, 'm'));
    E->Perform(EM_SETSEL, 60, 60);
    TPoint caret;
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_LT(caret.X, area.Right);
    EXPECT_GT(caret.X, area.Right - 20) << "scrolled as far as the rectangle allows, no further";
    GuiTest::ProcessEvents();
    // Nothing of the text shows in the room kept free.
    for (int x = area.Right + 1; x < client.Right; ++x)
        for (int y = 0; y < client.Bottom; ++y)
            ASSERT_EQ(GuiTest::PixelAt(E, Point(x, y)), ColorToRGB(clWindow)) << x << "," << y;
    // A click in the kept room puts the caret at the end of what shows.
    EXPECT_EQ(LOWORD(E->Perform(EM_CHARFROMPOS, 0, MAKELPARAM(client.Right - 2, 5))), 60);

    // No rectangle: the client area again; so does a new size.
    E->Perform(EM_SETRECT, 0, 0);
    E->Perform(EM_GETRECT, 0, LPARAM(&r));
    EXPECT_EQ(r.Right, client.Right - 1);
    E->Perform(EM_SETRECT, 0, LPARAM(&area));
    E->SetBounds(10, 10, 200, 21);
    E->Perform(EM_GETRECT, 0, LPARAM(&r));
    EXPECT_EQ(r.Right, E->ClientRect().Right - 1);
}

TEST_F(EditTest, LongTextScrollsToKeepTheCaretInView)
{
    std::string longText(80, 'm');
    E->SetText(longText);
    E->Perform(EM_SETSEL, 80, 80);
    TPoint caret;
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_GE(caret.X, 0);
    EXPECT_LT(caret.X, E->ClientWidth());
    EXPECT_GT(E->Perform(EM_GETFIRSTVISIBLELINE), 0);   // the first character shown
    Play("{Home}");
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.X, 1);
    EXPECT_EQ(E->Perform(EM_GETFIRSTVISIBLELINE), 0);
}

TEST_F(EditTest, AlignmentPlacesShortTextAndRecreatesTheWindow)
{
    E->SetText("ab");
    int left = int16_t(LOWORD(E->Perform(EM_POSFROMCHAR, 0)));
    E->SetAlignment(taRightJustify);
    int right = int16_t(LOWORD(E->Perform(EM_POSFROMCHAR, 0)));
    E->SetAlignment(taCenter);
    int centre = int16_t(LOWORD(E->Perform(EM_POSFROMCHAR, 0)));
    EXPECT_LT(left, centre);
    EXPECT_LT(centre, right);
    EXPECT_TRUE(E->Handle() != nullptr);
    EXPECT_EQ(E->Text(), "ab");
}

TEST_F(EditTest, AutoSelectSelectsAllWhenTabbedInto)
{
    auto* other = new TEdit(Form.get());
    other->SetParent(Form.get());
    other->SetBounds(10, 50, 100, 21);
    other->SetText("second");
    E->SetText("first");
    E->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyPress(VK_TAB);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(other->SelLength(), 6);
    other->SetAutoSelect(false);
    other->Perform(EM_SETSEL, 0, 0);
    GuiTest::KeyPress(VK_TAB, {ssShift});
    EXPECT_TRUE(E->Focused());
    GuiTest::KeyPress(VK_TAB);
    EXPECT_EQ(other->SelLength(), 0);
}

TEST_F(EditTest, MouseClickPlacesDragSelectsDoubleClickTakesAWord)
{
    E->SetText("one two three");
    LRESULT p4 = E->Perform(EM_POSFROMCHAR, 4);
    LRESULT p7 = E->Perform(EM_POSFROMCHAR, 7);
    int y = 5;
    GuiTest::Click(E, Point(int16_t(LOWORD(p4)) + 1, y));
    EXPECT_EQ(E->CaretIndex(), 4);
    EXPECT_EQ(E->SelLength(), 0);
    GuiTest::MouseDown(E, mbLeft, Point(int16_t(LOWORD(p4)) + 1, y));
    GuiTest::MouseMove(E, Point(int16_t(LOWORD(p7)) + 1, y), {ssLeft});
    GuiTest::MouseUp(E, mbLeft, Point(int16_t(LOWORD(p7)) + 1, y));
    EXPECT_EQ(E->SelAnchor(), 4);
    EXPECT_EQ(E->CaretIndex(), 7);
    GuiTest::Click(E, Point(int16_t(LOWORD(p4)) + 1, y), mbLeft, {ssShift});
    EXPECT_EQ(E->SelAnchor(), 4);
    GuiTest::DoubleClick(E, Point(int16_t(LOWORD(p4)) + 3, y));
    EXPECT_EQ(E->SelText(), "two");
}

TEST_F(EditTest, ChangeNoticeGoesToTheParentAsACommand)
{
    // The parent hears EN_CHANGE with the edit's window; the edit's OnChange follows.
    std::vector<WORD> codes;
    Form->WindowProc = [this, &codes](TMessage& m) {
        if (m.Msg == WM_COMMAND && m.LParam == LPARAM(E->Handle())) codes.push_back(HIWORD(m.WParam));
        Form->WndProc(m);
    };
    Play("a");
    Form->WindowProc = nullptr;
    EXPECT_NE(std::find(codes.begin(), codes.end(), EN_CHANGE), codes.end());
    EXPECT_EQ(Changes, 1);
}

TEST_F(EditTest, HideSelectionShowsNoHighlightWhileUnfocused)
{
    E->SetText("mmmm");
    E->SelectAll();
    GuiTest::ProcessEvents();
    TPoint inside = Point(int16_t(LOWORD(E->Perform(EM_POSFROMCHAR, 1))) + 1, 8);
    EXPECT_EQ(GuiTest::PixelAt(E, Point(inside.X, 3)), ColorToRGB(clHighlight));
    Form->SetFocus();
    Form->FocusControl(nullptr);
    ::SetFocus(Form->Handle());
    GuiTest::ProcessEvents();
    EXPECT_FALSE(E->Focused());
    EXPECT_EQ(GuiTest::PixelAt(E, Point(inside.X, 3)), ColorToRGB(clWindow));
    E->SetHideSelection(false);
    GuiTest::ProcessEvents();
    EXPECT_EQ(GuiTest::PixelAt(E, Point(inside.X, 3)), ColorToRGB(clHighlight));
}

TEST_F(EditTest, DefaultContextMenuSendsTheEditMessages)
{
    std::vector<std::string> captions;
    SetEditMenuHandler([&](TWinControl*, const std::vector<TEditMenuItem>& items, TPoint) {
        for (auto& i : items) captions.push_back(i.Caption + (i.Enabled ? "" : "~"));
        return 0;   // the first item: cut
    });
    E->SetText("abc");
    E->Perform(EM_SETSEL, 0, 2);
    E->Perform(WM_CONTEXTMENU, WPARAM(E->Handle()), MAKELPARAM(-1, -1));
    Menus::InitMenus();
    EXPECT_EQ(E->Text(), "c");
    EXPECT_EQ(Clipboard()->AsText(), "ab");
    ASSERT_EQ(captions.size(), 6u);
    EXPECT_EQ(captions[0], "剪切(&T)");
    EXPECT_EQ(captions[4], "-");
}

} // namespace

namespace {

// An edit whose descendant asks for its look through the window's style, as
// an inner edit does in CreateParams.
class TStyledEdit : public TEdit {
public:
    using TEdit::TEdit;
    DWORD Extra = 0;
protected:
    void CreateParams(TCreateParams& p) override
    {
        TEdit::CreateParams(p);
        p.Style |= Extra;
        p.ExStyle &= ~WS_EX_CLIENTEDGE;
    }
};

TEST_F(EditTest, StyleBitsOfADescendantDecide)
{
    auto* s = new TStyledEdit(Form.get());
    s->Extra = ES_RIGHT | ES_UPPERCASE;
    s->SetParent(Form.get());
    s->SetBounds(10, 60, 150, 21);
    s->SetText("ab");
    // Right-aligned: the text ends at the right margin; no border either.
    EXPECT_EQ(s->ClientWidth(), 150);
    int x0 = int16_t(LOWORD(s->Perform(EM_POSFROMCHAR, 0)));
    EXPECT_GT(x0, 100);
    s->SetFocus();   // selects all: typing goes after it
    s->Perform(EM_SETSEL, 2, 2);
    GuiTest::TypeText("cd");
    EXPECT_EQ(s->Text(), "ABCD");   // text set by code takes the case too
    s->Extra = ES_READONLY;
    s->RecreateWnd();
    s->SetFocus();
    s->Perform(EM_SETSEL, 4, 4);
    GuiTest::TypeText("x");
    EXPECT_EQ(s->Text(), "ABCD");   // text set by code takes the case too
    EXPECT_EQ(int16_t(LOWORD(s->Perform(EM_POSFROMCHAR, 0))), 1);
}

} // namespace
