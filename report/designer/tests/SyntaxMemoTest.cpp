// The script editor: keys and edits as (text, caret, keys) -> (text, caret,
// bookmarks) rows on the editing model, undo steps and depth, find (also
// after replacing), the new-text rules, colouring per language and SQL, and
// the window painting a Chinese script.
#include "GuiTesting.h"
#include "StringLists.h"
#include "Windows.h"
#include "frxCodeUtils.h"
#include "frxDesignerStartup.h"
#include "frxSyntaxMemo.h"
#include "fs_istartup.h"

#include <gtest/gtest.h>

namespace {

std::string Crlf(const std::string& s)
{
    std::string r;
    for (char c : s) {
        if (c == '\n') r += "\r\n";
        else r += c;
    }
    return r;
}

// Keys written as text: literal characters are typed; {Name} is a key
// (C- Ctrl, S- Shift), {C-Z} and the like are the control characters.
void Press(TfrxSyntaxText& t, const std::string& keys)
{
    struct Key {
        const char* Name;
        int Vk;
        TShiftState Shift;
        char32_t Char;
    };
    static const Key named[] = {
        {"Enter", VK_RETURN, {}, 0}, {"Bksp", VK_BACK, {}, 0}, {"Tab", VK_TAB, {}, 0}, {"Del", VK_DELETE, {}, 0},
        {"S-Del", VK_DELETE, {ssShift}, 0}, {"C-Ins", VK_INSERT, {ssCtrl}, 0}, {"S-Ins", VK_INSERT, {ssShift}, 0},
        {"Left", VK_LEFT, {}, 0}, {"Right", VK_RIGHT, {}, 0}, {"Up", VK_UP, {}, 0}, {"Down", VK_DOWN, {}, 0},
        {"Home", VK_HOME, {}, 0}, {"End", VK_END, {}, 0}, {"C-Left", VK_LEFT, {ssCtrl}, 0},
        {"C-Right", VK_RIGHT, {ssCtrl}, 0}, {"C-Home", VK_HOME, {ssCtrl}, 0}, {"C-End", VK_END, {ssCtrl}, 0},
        {"S-Right", VK_RIGHT, {ssShift}, 0}, {"S-Left", VK_LEFT, {ssShift}, 0}, {"S-Down", VK_DOWN, {ssShift}, 0},
        {"S-End", VK_END, {ssShift}, 0}, {"PgUp", VK_PRIOR, {}, 0}, {"PgDn", VK_NEXT, {}, 0},
        {"C-A", 'A', {ssCtrl}, 0}, {"C-Y", 'Y', {ssCtrl}, 0}, {"C-S-3", '3', {ssCtrl, ssShift}, 0},
        {"C-S-5", '5', {ssCtrl, ssShift}, 0}, {"C-3", '3', {ssCtrl}, 0}, {"C-5", '5', {ssCtrl}, 0},
        {"C-Z", 0, {}, 26}, {"C-I", 0, {}, 9}, {"C-U", 0, {}, 21}, {"C-C", 0, {}, 3}, {"C-V", 0, {}, 22}, {"C-X", 0, {}, 24},
    };
    for (size_t i = 0; i < keys.size();) {
        if (keys[i] == '{') {
            size_t e = keys.find('}', i);
            std::string name = keys.substr(i + 1, e - i - 1);
            bool found = false;
            for (const Key& k : named) {
                if (name != k.Name) continue;
                found = true;
                if (k.Vk) t.KeyDown(k.Vk, k.Shift);
                else t.KeyChar(k.Char);
            }
            EXPECT_TRUE(found) << name;
            i = e + 1;
            continue;
        }
        // One UTF-8 character.
        size_t n = 1;
        unsigned char c = (unsigned char)keys[i];
        if (c >= 0xF0) n = 4;
        else if (c >= 0xE0) n = 3;
        else if (c >= 0xC0) n = 2;
        std::string ch = keys.substr(i, n);
        char32_t cp = c < 0x80 ? c : 0;
        if (n == 2) cp = ((c & 0x1F) << 6) | (ch[1] & 0x3F);
        if (n == 3) cp = ((c & 0x0F) << 12) | ((ch[1] & 0x3F) << 6) | (ch[2] & 0x3F);
        t.KeyDown(0, {});
        t.KeyChar(cp);
        i += n;
    }
}

struct Row {
    const char* Name;
    std::string Text;
    int X, Y;
    std::string Keys;
    std::string WantText;
    int WantX, WantY;
};

void RunRows(const std::vector<Row>& rows)
{
    for (const Row& r : rows) {
        TfrxSyntaxText t;
        std::string clip;
        t.ReadClipboard = [&] { return clip; };
        t.WriteClipboard = [&](const std::string& s) { clip = s; };
        t.SetText(Crlf(r.Text));
        t.SetCaretPos(r.X, r.Y);
        Press(t, r.Keys);
        EXPECT_EQ(t.Text(), Crlf(r.WantText)) << r.Name;
        EXPECT_EQ(t.CaretX(), r.WantX) << r.Name;
        EXPECT_EQ(t.CaretY(), r.WantY) << r.Name;
    }
}

TEST(SyntaxMemoKeys, EditingKeys)
{
    RunRows({
        {"typing", "ab", 3, 1, "cd", "abcd", 5, 1},
        {"typing beyond the end pads", "ab", 12, 1, "x", "ab         x", 13, 1},
        {"enter keeps the indentation", "  if x then y", 8, 1, "{Enter}", "  if x \n  then y", 3, 2},
        {"enter after a blank line keeps the column", "a\n ", 5, 2, "{Enter}", "a\n \n    ", 5, 3},
        {"enter in column 1", "ab\ncd", 1, 2, "{Enter}", "ab\n\ncd", 1, 3},
        {"backspace joins lines", "ab  \ncd", 1, 2, "{Bksp}", "abcd", 3, 1},
        {"backspace deletes a character", "abc", 3, 1, "{Bksp}", "ac", 2, 1},
        {"backspace in blank area moves", "ab", 6, 1, "{Bksp}", "ab", 5, 1},
        {"backspace out to the outer indentation", "begin\n    x\n      y", 7, 3, "{Bksp}", "begin\n    x\n    y", 5, 3},
        {"backspace at the start does nothing", "ab", 1, 1, "{Bksp}", "ab", 1, 1},
        {"smart tab under a word", "procedure Foo(a);\nx", 1, 2, "{Tab}", "procedure Foo(a);\n          x", 11, 2},
        {"smart tab under blanks", "a    b\nx", 2, 2, "{Tab}", "a    b\nx    ", 6, 2},
        {"tab without a line above", "x", 1, 1, "{Tab}", "x", 1, 1},
        {"delete a character", "abc", 2, 1, "{Del}", "ac", 2, 1},
        {"delete at the end joins", "ab\n  cd  ", 5, 1, "{Del}", "ab    cd", 5, 1},
        {"delete on the last line's end", "ab", 3, 1, "{Del}", "ab", 3, 1},
        {"ctrl+y deletes the line", "a\nb\nc", 1, 2, "{C-Y}", "a\nc", 1, 2},
        {"ctrl+y empties the last line", "a\nb", 2, 2, "{C-Y}", "a\n", 1, 2},
        {"select and type over", "hello world", 1, 1, "{S-Right}{S-Right}{S-Right}{S-Right}{S-Right}bye", "bye world", 4, 1},
        {"select all and delete", "a\nb  ", 2, 2, "{C-A}{Del}", "  ", 1, 1},
        {"cut without a selection changes nothing", "abc", 2, 1, "{S-Del}{C-X}", "abc", 2, 1},
        {"cut and paste", "abc", 1, 1, "{S-Right}{C-X}{End}{C-V}", "bca", 4, 1},
        {"copy and insert", "ab", 1, 1, "{S-End}{C-Ins}{End}{S-Ins}", "abab", 5, 1},
        {"indent a block", "a\nb\nc", 1, 1, "{S-Down}{S-Down}{C-I}", "  a\n  b\nc", 1, 3},
        {"unindent by the least", "   a\n b\n\nc", 1, 1, "{S-Down}{S-Down}{S-Down}{C-U}", "  a\nb\n\nc", 1, 4},
        {"no unindent past a flush line", "  a\nb", 1, 1, "{S-Down}{S-End}{C-U}", "  a\nb", 2, 2},
    });
}

TEST(SyntaxMemoKeys, ChineseCharactersAreOneStep)
{
    RunRows({
        {"right over a Chinese character", "姓名", 1, 1, "{Right}x", "姓x名", 3, 1},
        {"backspace deletes one character", "姓名:=1", 3, 1, "{Bksp}", "姓:=1", 2, 1},
        {"delete one character", "姓名", 1, 1, "{Del}", "名", 1, 1},
        {"typing Chinese", "a", 2, 1, "学员", "a学员", 4, 1},
        {"selection by characters", "学员姓名", 2, 1, "{S-Right}{S-Right}x", "学x名", 3, 1},
        {"enter splits between characters", "  学员姓名", 5, 1, "{Enter}", "  学员\n  姓名", 3, 2},
        {"end after the last character", "学员  ", 1, 1, "{End}", "学员  ", 3, 1},
    });
}

TEST(SyntaxMemoKeys, WordMoves)
{
    RunRows({
        {"ctrl+right to the next word", "foo := bar(1);", 1, 1, "{C-Right}", "foo := bar(1);", 8, 1},
        {"ctrl+right at the end goes to the next line's word", "ab\n  cd", 3, 1, "{C-Right}", "ab\n  cd", 3, 2},
        {"ctrl+right at the end of the text stays", "ab", 3, 1, "{C-Right}", "ab", 3, 1},
        {"ctrl+left to the word start", "foo := bar(1);", 10, 1, "{C-Left}", "foo := bar(1);", 8, 1},
        {"ctrl+left over blanks", "foo := bar", 8, 1, "{C-Left}", "foo := bar", 1, 1},
        {"ctrl+left to the previous line's end", "ab\n  cd", 3, 2, "{C-Left}", "ab\n  cd", 3, 1},
        {"ctrl+left beyond the end", "ab cd", 20, 1, "{C-Left}", "ab cd", 4, 1},
        {"Chinese is no word character", "x := 姓名;", 1, 1, "{C-Right}{C-Right}", "x := 姓名;", 9, 1},
        {"home and end", "  ab  \ncd", 4, 1, "{End}{Home}{C-End}", "  ab  \ncd", 3, 2},
    });
}

TEST(SyntaxMemoKeys, Bookmarks)
{
    TfrxSyntaxText t;
    t.SetText(Crlf("a\nb\nc"));
    t.SetCaretPos(1, 2);
    Press(t, "{C-S-3}");
    EXPECT_EQ(t.GetBookmark(1), 3);
    // A line holding another bookmark is left alone.
    Press(t, "{C-S-5}");
    EXPECT_EQ(t.GetBookmark(1), 3);
    EXPECT_EQ(t.Bookmarks()[5], -1);
    // A line inserted above moves it down.
    t.SetCaretPos(1, 1);
    Press(t, "x{Enter}");
    EXPECT_EQ(t.Bookmarks()[3], 2);
    Press(t, "{C-Home}{C-3}");
    EXPECT_EQ(t.CaretY(), 3);
    // Pressed again on its line, it goes; pressed on another line, it moves there.
    Press(t, "{C-S-3}");
    EXPECT_EQ(t.Bookmarks()[3], -1);
    Press(t, "{C-S-3}{Up}{C-S-3}");
    EXPECT_EQ(t.Bookmarks()[3], 1);
    EXPECT_EQ(t.GetBookmark(2), -1);
    // A line holding another bookmark keeps it.
    Press(t, "{Home}{C-S-5}{Down}{C-S-5}");
    EXPECT_EQ(t.GetBookmark(1), 3);
    EXPECT_EQ(t.Bookmarks()[5], 2);
    // Deleting the line above moves them up; out-of-range numbers are ignored.
    t.SetCaretPos(1, 1);
    Press(t, "{C-Y}");
    EXPECT_EQ(t.Bookmarks()[3], 0);
    EXPECT_EQ(t.Bookmarks()[5], 1);
    t.SetBookmark(2, 12);
    t.DeleteBookmark(10);
    t.GotoBookmark(11);
    EXPECT_EQ(t.GetBookmark(2), -1);
    EXPECT_EQ(t.Bookmarks()[3], 0);
    EXPECT_EQ(t.CaretY(), 1);
    // Cutting nothing moves no bookmark.
    t.SetCaretPos(1, 2);
    Press(t, "{S-Del}");
    EXPECT_EQ(t.Bookmarks()[5], 1);
}

TEST(SyntaxMemoUndo, GroupsAndDepth)
{
    TfrxSyntaxText t;
    t.SetText("start");
    t.SetCaretPos(6, 1);
    Press(t, "abc{C-Z}");
    EXPECT_EQ(t.Text(), "start");   // three letters, one step
    EXPECT_EQ(t.CaretX(), 6);
    Press(t, "ab{Left}cd{C-Z}");
    EXPECT_EQ(t.Text(), "startab");
    Press(t, "{C-Z}");
    EXPECT_EQ(t.Text(), "start");
    Press(t, "{C-Z}");   // nothing left
    EXPECT_EQ(t.Text(), "start");

    // 33 edits apart: only the last 32 come back.
    t.SetText("");
    for (int i = 0; i < 33; ++i) Press(t, "x{Right}");
    EXPECT_EQ(t.UndoCount(), 32);
    for (int i = 0; i < 40; ++i) Press(t, "{C-Z}");
    EXPECT_EQ(t.Text(), "x");
}

TEST(SyntaxMemoUndo, NewTextRules)
{
    TfrxSyntaxText t;
    t.SetText(Crlf("begin\n\nend."));
    t.SetCaretPos(3, 2);
    Press(t, "abc");
    ASSERT_EQ(t.UndoCount(), 1);
    // A change through the list GetLines returned is a new text.
    TStrings* lines = t.GetLines();
    lines->Insert(0, "procedure A;");
    EXPECT_EQ(t.UndoCount(), 0);
    EXPECT_EQ(t.CaretX(), 1);
    EXPECT_EQ(t.CaretY(), 1);
    // A key clears the flag: later changes are edits again.
    Press(t, "{Down}x");
    EXPECT_EQ(t.UndoCount(), 1);
    // A paste while the flag is set resets first, then completes.
    t.GetLines();
    t.SetCaretPos(1, 3);
    t.SetSelText("// 注释");
    EXPECT_EQ(t.UndoCount(), 0);
    EXPECT_EQ(t.CaretX(), 6);
    EXPECT_EQ(t.CaretY(), 3);
    EXPECT_EQ(t.Lines()->Strings(2), "// 注释  abc");
    // GetLines drops trailing blanks.
    t.SetText(Crlf("a  \nb "));
    EXPECT_EQ(t.GetLines()->Text(), "a\r\nb\r\n");
}

TEST(SyntaxMemoFind, AnyTextAndReplaceLoops)
{
    TfrxSyntaxText t;
    t.SetText("abc abc");   // one line is searched too
    int pos = 0;
    ASSERT_TRUE(t.Find("ABC", false, pos));
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(t.GetSelText(), "abc");
    ASSERT_TRUE(t.Find("abc", true, pos));
    EXPECT_EQ(pos, 6);
    EXPECT_EQ(t.CaretX(), 5);
    EXPECT_FALSE(t.Find("abc", true, pos));
    EXPECT_FALSE(t.Find("ABC", true, pos = 0));

    // Across lines, offsets count two for a line break.
    t.SetText(Crlf("x\n姓名"));
    pos = 0;
    ASSERT_TRUE(t.Find("名", false, pos));
    EXPECT_EQ(pos, 6);
    EXPECT_EQ(t.CaretY(), 2);
    EXPECT_EQ(t.CaretX(), 2);

    // Replace all where the new text holds the old one: each search goes on
    // after the replacement, so the loop ends.
    t.SetText(Crlf("Value = Value\nValue"));
    pos = 0;
    int steps = 0;
    while (t.Find("value", false, pos) && steps < 10) {
        t.SetSelText("NewValue");
        ++steps;
    }
    EXPECT_EQ(steps, 3);
    EXPECT_EQ(t.Text(), Crlf("NewValue = NewValue\nNewValue"));
}

TEST(SyntaxMemoColours, LanguagesAndSql)
{
    fs_istartup::StartUp();
    struct Case {
        const char* Name;
        const char* Syntax;
        std::string Text;
        std::vector<std::string> Map;
    };
    const Case cases[] = {
        {"sql", "SQL", "select a -- b\nwhere x = 0x1F 'q'",
         {"4444443133333", "444443131366663111", " "}},
        {"sql strings use double quotes", "sql", "\"s\" /*c*/", {"555333333", " "}},
        {"pascal", "PascalScript", "begin x := $1F; { c } end.", {"44444313113666133333334441", " "}},
        {"pascal with Chinese", "PascalScript", "s := '你好'; // 注释", {"1311355551333333", " "}},
        {"c++", "C++Script", "if (a) // x", {"44311133333", " "}},
        {"unknown language", "Logo", "begin 12", {"11111366", " "}},
    };
    for (const Case& c : cases) {
        TfrxSyntaxText t;
        t.SetSyntaxType(c.Syntax);
        t.SetText(Crlf(c.Text));
        EXPECT_EQ(t.ColorMap(), c.Map) << c.Name;
    }
}

TEST(SyntaxMemoWindow, PaintsAChinesePascalHandler)
{
    GuiTest::Init();
    fs_istartup::StartUp();
    frxDesignerStartup::StartUp();
    TForm form(nullptr);
    form.SetBounds(0, 0, 520, 300);
    TfrxSyntaxMemo memo(&form);
    memo.SetParent(&form);
    memo.SetAlign(alClient);
    memo.SetSyntaxType("PascalScript");
    TStringList script;
    frxCodeUtils::GetEmptyScript(&script, "PascalScript");
    frxCodeUtils::InsertHandler(&script, "PascalScript", "TfrxNotifyEvent", "Memo1OnBeforePrint");
    script.Insert(2, "  // 打印前显示学员姓名");
    script.Insert(3, "  Memo1.Text := '学员：' + <d0.\"姓名\">;");
    script.Insert(4, "  if Count > 10 then ShowMessage('超过 10 人');");
    memo.SetLines(&script);
    memo.SetBookmark(0, 1);
    memo.SetExecutableLine(4, true);
    memo.SetActiveLine(5);
    form.Show();
    GuiTest::ProcessEvents();
    memo.SetFocus();
    memo.SetCaretPos(5, 4);
    GuiTest::ProcessEvents();
    EXPECT_GT(memo.CharWidth(), 0);
    // A keyword is drawn bold in text colour, a comment in navy.
    TPoint caret = memo.CaretPixel();
    EXPECT_EQ(caret.X, memo.GutterWidth() + 4 * memo.CharWidth());
    // Typing through the window: a Chinese character is one step.
    GuiTest::TypeText("好");
    EXPECT_EQ(memo.GetCaretPos().X, 6);
    EXPECT_EQ(memo.CaretPixel().X, memo.GutterWidth() + 6 * memo.CharWidth());
    GuiTest::KeyDown(VK_BACK);
    GuiTest::ProcessEvents();
    EXPECT_EQ(memo.GetCaretPos().X, 5);
    // Clicking the right half of a wide character lands on that character.
    TPoint cell = memo.CellAt(memo.GutterWidth() + 18 * memo.CharWidth() + 1, 3 * memo.CharHeight() + 2);
    EXPECT_EQ(cell.Y, 4);
    EXPECT_EQ(cell.X, 18);
    memo.SetExecutableLine(4, true);   // marks go with every edit; set after the typing
    memo.SetMessage("第 4 行: 未声明的标识符");
    GuiTest::ProcessEvents();
    EXPECT_EQ(GuiTest::PixelAt(&memo, ::Point(memo.ClientWidth() - 5, memo.ClientHeight() - 3)), clMaroon);
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) GuiTest::SavePng(&memo, std::string(dir) + "/designer-code-editor.png");
}

}  // namespace
