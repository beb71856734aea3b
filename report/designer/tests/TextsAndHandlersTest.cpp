// The designer's texts in the report library's text table, and the
// event-handler templates: empty scripts, handler insertion, listing and
// finding per language, and where the main block of a script begins.
#include "Exceptions.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxCodeUtils.h"
#include "frxDesignerStartup.h"
#include "frxRes.h"
#include "frxrcDesgn.h"
#include "fs_istartup.h"

#include <gtest/gtest.h>

namespace {

void Start()
{
    fs_istartup::StartUp();
    frxDesignerStartup::StartUp();
}

std::vector<std::string> Lines(TStrings& s)
{
    std::vector<std::string> r;
    for (int i = 0; i < s.Count(); ++i) r.push_back(s[i]);
    return r;
}

void SetLines(TStringList& s, const std::vector<std::string>& lines)
{
    s.Clear();
    for (const std::string& l : lines) s.Add(l);
}

// ---- texts -------------------------------------------------------------------

TEST(DesignerTexts, QuotedTexts)
{
    Start();
    const std::pair<const char*, const char*> cases[] = {
        {"oiProp", "属性"}, {"oiEvent", "事件"},
        {"dtNoData", "没有数据库可以使用"}, {"dtSysVar", "系统变量"}, {"dtFunc", "函数"},
        {"dsCm", "厘米"}, {"dsChars", "字符数"}, {"dsCode", "代码"}, {"dsPage", "页"},
        {"dsRepFilter", "报表(*.fr3)|*.fr3"}, {"dsComprRepFilter", "压缩报表(*.fr3)|*.fr3"},
        {"dsSavePreviewChanges", "保存更改至预览页面?"}, {"dsSaveChangesTo", "保存修改至 "},
        {"dsCantLoad", "无法载入文件"}, {"dsCantFindProc", "找不到主程序"},
        {"dsClearScript", "清除所有的脚本，你要继续吗?"}, {"dsTextNotFound", "文本 '%s' 找不到"},
        {"uPix", "象素"}, {"uChar", "字符"},
        {"vaNoVar", "(未定义变量)"}, {"vaDupName", "名称重复"},
        {"dbNotAssigned", "[未指定]"}, {"dbSingleLine", "单笔"}, {"agAggregate", "插入合计"},
        {"vt1", "[日期]"}, {"vt2", "[时间]"}, {"vt3", "[当前页#]"}, {"vt4", "[总页数#]"},
        {"vt5", "[当前页#] / [总页数#]"}, {"vt6", "[当前行#]"},
        {"fkText", "文本 (未格式化)"}, {"fkNumber1", "1234.5;%g"}, {"fkNumber2", "1234.50;%2.2f"},
        {"fkNumber3", "1,234.50;%2.2n"}, {"fkNumber4", "$1,234.50;%2.2m"},
        {"fkDateTime7", "02:14am, November 28, 2002;hh:mm am/pm, mmmm dd, yyyy"},
        {"fkBoolean3", "_,x;_,x"}, {"rePrnOnPort", "在"},
        {"wzStd", "标准报表向导"}, {"wzDMPEmpty", "点矩阵报表"}, {"ftRichFile", "RichText 文件"},
        {"prNotAssigned", "(没有指派)"}, {"prInvProp", "非法属性值"}, {"prDupl", "重复命名"}, {"prPict", "(图像)"},
        {"mvShift", "移动"}, {"mvShiftOver", "覆盖时移动"}, {"mvVisible", "可见"}, {"mvPrintable", "可打印"},
        {"bvKeepHeader", "Keep Header Together"}, {"obCatDraw", "绘图"}, {"obCatOtherControls", "其他控件"},
        {"obText", "文本对象"}, {"ctString", "字符串函数"}, {"ctAggregate", "统计函数"},
        {"IntToStr", "将整数转换成字符串"}, {"Get", "限内部使用"}, {"Set", "限内部使用"},
        {"Sum", "统计该表节数据栏所有表达式之和"},
    };
    for (auto [key, text] : cases) EXPECT_EQ(frxRes::Resources().Get(key), text) << key;
    EXPECT_EQ(Format(frxRes::Resources().Get("dsReplace"), {std::string("abc")}), "替换文本 'abc'?");
    // A key nobody stored shows itself.
    EXPECT_EQ(frxRes::Resources().Get("dsNoSuchText"), "dsNoSuchText");
}

TEST(DesignerTexts, OrderAndFormBlocks)
{
    Start();
    EXPECT_EQ(frxrcDesgn::EntryCount(), 316);
    EXPECT_EQ(frxrcDesgn::EntryKey(0), "TfrxObjectInspector");
    EXPECT_EQ(frxrcDesgn::EntryKey(10), "TfrxDesignerForm");
    EXPECT_EQ(frxrcDesgn::EntryKey(315), "Count");
    // Each block line ends with CR LF; the designer's block starts its menus with "文件(&F)".
    const std::pair<const char*, int> blocks[] = {
        {"TfrxObjectInspector", 1}, {"TfrxDataTreeForm", 6}, {"TfrxDesignerForm", 174}, {"TfrxPageEditorForm", 28},
        {"TfrxOptionsEditor", 33}, {"TfrxCrossEditorForm", 42}, {"TfrxStdWizardForm", 29}, {"TfrxEvaluateForm", 3},
    };
    for (auto [key, count] : blocks) {
        std::string text = frxRes::Resources().Get(key);
        ASSERT_GE(text.size(), 2u) << key;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << key;
        TStringList l;
        l.SetText(text);
        EXPECT_EQ(l.Count(), count) << key;
    }
    EXPECT_EQ(frxRes::Resources().Get("TfrxObjectInspector"), "Caption=对象查看器\r\n");
    TStringList designer;
    designer.SetText(frxRes::Resources().Get("TfrxDesignerForm"));
    int firstMenu = -1;
    for (int i = 0; i < designer.Count() && firstMenu < 0; ++i)
        if (designer[i].find("Menu.Caption=") != std::string::npos) firstMenu = i;
    ASSERT_GE(firstMenu, 0);
    EXPECT_EQ(designer[firstMenu], "FileMenu.Caption=文件(&F)");
    EXPECT_EQ(designer.Values("UndoCmd.Caption"), "撤消");
    EXPECT_EQ(designer.Values("SetToGridB.Hint"), "Fit to Grid");
    EXPECT_EQ(designer.Values("OpenDialog.Filter"), "Report (*.fr3)|*.fr3");
    EXPECT_EQ(designer.Values("OpenScriptDialog.Filter"),
              "Pascal 文件 (*.pas)|*.pas|C++ 文件 (*.cpp)|*.cpp|JavaScript 文件 (*.js)|*.js|Basic 文件 (*.vb)|*.vb|所有文件|*.*");
}

TEST(DesignerTexts, ALaterAddOverrides)
{
    Start();
    frxRes::Resources().Add("dsCode", "脚本");
    EXPECT_EQ(frxRes::Resources().Get("dsCode"), "脚本");
    frxrcDesgn::Initialize();   // the designer's own text again
    EXPECT_EQ(frxRes::Resources().Get("dsCode"), "代码");
}

// ---- templates -----------------------------------------------------------------

TEST(HandlerTemplates, AttributesAndParameters)
{
    Start();
    using frxCodeUtils::GetEventParams;
    using frxCodeUtils::GetLanguageAttribute;
    EXPECT_EQ(GetLanguageAttribute("PascalScript", "lastend"), "end.");
    EXPECT_EQ(GetLanguageAttribute("pascalscript", "END"), "end;");
    EXPECT_EQ(GetLanguageAttribute("BasicScript", "begin"), "");
    EXPECT_EQ(GetLanguageAttribute("BasicScript", "end"), "end sub");
    EXPECT_EQ(GetLanguageAttribute("C++Script", "proc"), "void");
    EXPECT_EQ(GetLanguageAttribute("Logo", "proc"), "");
    EXPECT_EQ(GetLanguageAttribute("JScript", "nothing"), "");
    struct Case {
        const char *Type, *Language, *Params;
    };
    const Case cases[] = {
        {"TfrxNotifyEvent", "PascalScript", "(Sender: TfrxComponent);"},
        {"TfrxNotifyEvent", "JScript", "(Sender)"},
        {"TfrxCloseQueryEvent", "BasicScript", "(Sender, byref CanClose)"},
        {"TfrxKeyEvent", "C++Script", "(TfrxComponent Sender, word &Key, int Shift)"},
        {"TfrxKeyPressEvent", "PascalScript", "(Sender: TfrxComponent; var Key: Char);"},
        {"TfrxMouseEvent", "JScript", "(Sender, Button, Shift, X, Y)"},
        {"TfrxMouseMoveEvent", "PascalScript", "(Sender: TfrxComponent; Shift: Integer; X, Y: Integer);"},
        {"TfrxPreviewClickEvent", "C++Script", "(TfrxView Sender, TMouseButton Button, int Shift, bool &Modified)"},
        {"TfrxNoEvent", "PascalScript", ""},
        {"TfrxNotifyEvent", "Logo", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(GetEventParams(c.Type, c.Language), c.Params) << c.Type << " " << c.Language;
}

TEST(HandlerTemplates, EmptyScriptAndInsertionPerLanguage)
{
    Start();
    struct Case {
        const char* Language;
        std::vector<std::string> Empty;   // the empty script
        std::vector<std::string> Before;  // the script a handler goes into
        int Body;                         // the returned body line
        std::vector<std::string> After;
    };
    const Case cases[] = {
        {"PascalScript", {"begin", "", "end."}, {"begin", "", "end."}, 3,
         {"procedure Page1OnBeforePrint(Sender: TfrxComponent);", "begin", "", "end;", "", "begin", "", "end."}},
        {"C++Script", {"{", "", "}"}, {"{", "", "}"}, 3,
         {"void Page1OnBeforePrint(TfrxComponent Sender)", "{", "", "}", "", "{", "", "}"}},
        {"BasicScript", {}, {"dim a", "a = 1"}, 4,
         {"dim a", "sub Page1OnBeforePrint(Sender)", "", "", "end sub", "", "a = 1"}},
        {"JScript", {}, {"var a;", "a = 1;"}, 4,
         {"var a;", "function Page1OnBeforePrint(Sender)", "{", "", "}", "", "a = 1;"}},
        // A script without a main block gets its handler at the top.
        {"BasicScript", {}, {}, 3, {"sub Page1OnBeforePrint(Sender)", "", "", "end sub", ""}},
    };
    for (const Case& c : cases) {
        TStringList s;
        s.Add("left over");
        frxCodeUtils::GetEmptyScript(&s, c.Language);
        EXPECT_EQ(Lines(s), c.Empty) << c.Language;
        SetLines(s, c.Before);
        EXPECT_EQ(frxCodeUtils::InsertHandler(&s, c.Language, "TfrxNotifyEvent", "Page1OnBeforePrint"), c.Body)
            << c.Language;
        EXPECT_EQ(Lines(s), c.After) << c.Language;
        EXPECT_EQ(frxCodeUtils::FindHandler(&s, c.Language, "page1onbeforeprint"), c.Body - 3) << c.Language;
    }
}

TEST(HandlerTemplates, NoMainBlockRaisesAndChangesNothing)
{
    Start();
    struct Case {
        const char* Language;
        std::vector<std::string> Script;
    };
    const Case cases[] = {
        {"PascalScript", {"procedure A;", "begin", "end;"}},
        {"PascalScript", {"begin end."}},                 // only on the first line
        {"PascalScript", {"// end.", "{ end. }", "x := 'end.';"}},
        {"C++Script", {"int a;"}},
    };
    for (const Case& c : cases) {
        TStringList s;
        SetLines(s, c.Script);
        try {
            frxCodeUtils::InsertHandler(&s, c.Language, "TfrxNotifyEvent", "Memo1OnBeforePrint");
            ADD_FAILURE() << c.Language << " " << c.Script[0];
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "找不到主程序");
        }
        EXPECT_EQ(Lines(s), c.Script);
    }
}

TEST(HandlerTemplates, MainBlockIsFoundByWholeWords)
{
    Start();
    struct Case {
        const char* Name;
        const char* Language;
        std::vector<std::string> Script;
        int Line;
    };
    const Case cases[] = {
        {"empty main block", "PascalScript",
         {"procedure A(Sender: TfrxComponent);", "begin", "end;", "", "begin", "", "end."}, 4},
        // "end" before else has no ";" and still closes its begin.
        {"end without semicolon", "PascalScript",
         {"var X: Integer;", "begin", "  if X = 1 then begin", "    X := 2", "  end else", "    X := 3;", "end."}, 1},
        // Identifiers holding "begin" or "end", comments and strings do not count.
        {"words inside words", "PascalScript",
         {"begin", "  BeginDate := Now;", "  List.Append;", "  ShowMessage('begin end;'); // end;",
          "  { begin }", "  X := EndValue;", "end."}, 0},
        {"case and try close with end", "PascalScript",
         {"procedure P;", "begin", "end;", "begin", "  case X of", "    1: Y := 2;", "  end;", "  try", "    P;",
          "  except", "  end;", "end."}, 3},
        {"braces", "C++Script",
         {"void A(TfrxComponent Sender)", "{", "}", "", "{", "  if (x) { y = \"}\"; } // }", "}"}, 4},
    };
    for (const Case& c : cases) {
        TStringList s;
        SetLines(s, c.Script);
        EXPECT_EQ(frxCodeUtils::FindMainBlockLine(&s, c.Language), c.Line) << c.Name;
    }
    // A handler then lands before the main block's begin, never inside a statement.
    TStringList s;
    SetLines(s, cases[1].Script);
    EXPECT_EQ(frxCodeUtils::InsertHandler(&s, "PascalScript", "TfrxNotifyEvent", "Memo1OnBeforePrint"), 4);
    EXPECT_EQ(s[1], "procedure Memo1OnBeforePrint(Sender: TfrxComponent);");
    EXPECT_EQ(s[6], "begin");
    EXPECT_EQ(s[7], "  if X = 1 then begin");
}

TEST(HandlerTemplates, HandlerListingMatchesParameters)
{
    Start();
    TStringList code;
    SetLines(code, {
        "procedure Memo1OnBeforePrint(Sender: TfrxComponent);",
        "procedure  Spaced (Sender: TfrxComponent); ",
        "PROCEDURE Upper(sender: tfrxcomponent);",
        "procedure OtherName(Obj: TfrxComponent);",
        "procedure NoSemicolon(Sender: TfrxComponent)",
        "procedure Keys(Sender: TfrxComponent; var Key: Char);",
        "  procedure Indented(Sender: TfrxComponent);",
        "begin",
        "end.",
    });
    TStringList list;
    list.Add("stale");
    frxCodeUtils::GetEventHandlers(&code, "PascalScript", "TfrxNotifyEvent", &list);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"Memo1OnBeforePrint", "Spaced", "Upper"}));
    frxCodeUtils::GetEventHandlers(&code, "PascalScript", "TfrxKeyPressEvent", &list);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"Keys"}));
    EXPECT_EQ(frxCodeUtils::FindHandler(&code, "PascalScript", "Keys"), 5);
    EXPECT_EQ(frxCodeUtils::FindHandler(&code, "PascalScript", "Indented"), -1);
    EXPECT_EQ(frxCodeUtils::FindHandler(&code, "PascalScript", "Memo1"), -1);
}

}  // namespace
