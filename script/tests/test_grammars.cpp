// The four grammars as documents, the language registry and the walk from
// source text to the program tree.
#include "Exceptions.h"
#include "StringLists.h"
#include "fs_ibasic.h"
#include "fs_icpp.h"
#include "fs_iilparser.h"
#include "fs_ijs.h"
#include "fs_ipascal.h"
#include "fs_itools.h"
#include "fs_xml.h"
#include "script_test_util.h"

#include <functional>
#include <set>

namespace {

struct GrammarInfo {
    const char* Name;
    const char* Text;
    int Rules, Keywords, Errors;
};

const GrammarInfo kGrammars[] = {
    {"PascalScript", fs_ipascal::GrammarText, 47, 40, 20},
    {"C++Script", fs_icpp::GrammarText, 46, 19, 18},
    {"BasicScript", fs_ibasic::GrammarText, 46, 40, 28},
    {"JScript", fs_ijs::GrammarText, 41, 22, 17},
};

const std::set<std::string> kPrimitives = {"char", "keyword", "ident", "number", "string", "frstring", "eol",
                                           "sequence", "switch", "optionalswitch", "loop", "optionalloop",
                                           "optional"};

TEST(Grammars, EveryRuleReferencedAndDefined)
{
    for (const auto& g : kGrammars) {
        TfsXMLDocument doc;
        doc.LoadFromString(g.Text);
        TfsXMLItem* root = doc.Root();
        EXPECT_EQ(root->Prop("text"), g.Name);
        std::set<std::string> rules, referenced;
        for (int i = 0; i < root->Count(); ++i) {
            std::string n = root->Items(i)->Name();
            if (n != "parser" && n != "types" && n != "empty") rules.insert(n);
        }
        std::function<void(TfsXMLItem*)> walk = [&](TfsXMLItem* x) {
            for (int i = 0; i < x->Count(); ++i) {
                TfsXMLItem* c = x->Items(i);
                if (!kPrimitives.count(c->Name())) referenced.insert(c->Name());
                walk(c);
            }
        };
        for (const auto& r : rules) walk(root->Items(root->Find(r)));
        EXPECT_EQ(int(rules.size()), g.Rules) << g.Name;
        for (const auto& r : referenced)
            EXPECT_TRUE(rules.count(r) || r == "empty") << g.Name << " refers to a missing rule " << r;
        for (const auto& r : rules)
            if (r != "program") EXPECT_TRUE(referenced.count(r)) << g.Name << " never uses " << r;
        TfsXMLItem* parser = root->FindItem("parser");
        EXPECT_EQ(parser->FindItem("keywords")->Count(), g.Keywords) << g.Name;
        EXPECT_EQ(parser->FindItem("errors")->Count(), g.Errors) << g.Name;
    }
}

TEST(LanguageRegistry, FirstRegistrationWins)
{
    EnsureEngine();
    std::string before = fs_itools::GetLanguageGrammar("pascalscript");
    fs_itools::RegisterLanguage("PASCALSCRIPT", "<?xml version=\"1.0\"?><language/>");
    EXPECT_EQ(fs_itools::GetLanguageGrammar("PascalScript"), before);
    TStringList names;
    fs_itools::GetLanguageNames(&names);
    ASSERT_GE(names.Count(), 4);
    EXPECT_EQ(names[0], "PascalScript");
    EXPECT_EQ(names[1], "C++Script");
    EXPECT_EQ(names[2], "BasicScript");
    EXPECT_EQ(names[3], "JScript");
    try {
        fs_itools::GetLanguageGrammar("Cobol");
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Language 'Cobol' not found");
    }
    TfsScript s(nullptr);
    s.SetSyntaxType("Cobol");
    s.SetText("x");
    EXPECT_THROW(s.Compile(), Exception) << "an unknown language leaves Compile as an exception";
}

// The program tree with the pos attributes taken out.
std::string TreeOf(const std::string& language, const std::string& text, std::string* error = nullptr)
{
    EnsureEngine();
    TfsScript s(nullptr);
    TfsILParser p(&s);
    p.SelectLanguage(language);
    if (!p.BuildProgramTree(text)) {
        if (error) *error = s.ErrorMessage + " at " + s.ErrorPosition;
        return std::string();
    }
    std::function<std::string(TfsXMLItem*)> shape = [&](TfsXMLItem* x) {
        std::string r = x->Name();
        std::string t = x->Prop("text");
        if (!t.empty()) r += "'" + t + "'";
        if (x->Count()) {
            r += "(";
            for (int i = 0; i < x->Count(); ++i) r += (i ? " " : "") + shape(x->Items(i));
            r += ")";
        }
        return r;
    };
    return shape(p.ProgramTree()->Root());
}

TEST(Walker, PascalProgramTree)
{
    EXPECT_EQ(TreeOf("PascalScript", "var i: Integer;\nbegin i := 1 + 2; end."),
              "program(var(ident'i' type'Integer') compoundstmt(assignstmt(dsgn(node'i') "
              "expr(number'1' op'+' number'2'))) types)");
    EXPECT_EQ(TreeOf("PascalScript", "var a, b: Integer; c: String; begin end."),
              "program(var(ident'a' ident'b' type'Integer') var(ident'c' type'String') compoundstmt types)");
}

TEST(Walker, SameTreeInEveryLanguage)
{
    const std::string expected = "program(compoundstmt(assignstmt(dsgn(node'x') expr(number'1' op'+' number'2'))) types";
    EXPECT_EQ(TreeOf("PascalScript", "begin x := 1 + 2 end."), expected + ")");
    EXPECT_EQ(TreeOf("C++Script", "{ x = 1 + 2; }"), expected + "(int long void bool float))");
    EXPECT_EQ(TreeOf("JScript", "x = 1 + 2"), expected + ")");
    EXPECT_EQ(TreeOf("BasicScript", "x = 1 + 2\n"), expected + "(decimal))");
}

TEST(Walker, ReportExpressionBecomesCallOfGet)
{
    EXPECT_EQ(TreeOf("PascalScript", "begin x := <Data.\"Name\">; end."),
              "program(compoundstmt(assignstmt(dsgn(node'x') expr(dsgn(node'Get' expr(string''Data.\"Name\"''))))) "
              "types)");
}

TEST(Walker, LanguageLineSwitchesTheGrammar)
{
    auto r = RunScript("PascalScript", "#language BasicScript\r\nDim x = 2\r\nShowMessage(x * 3)\r\n");
    ASSERT_TRUE(r.Compiled) << r.Error;
    EXPECT_EQ(r.Joined(), "6\n");
}

TEST(Walker, LanguageSwitchLeavesNoCommentMarkersBehind)
{
    EnsureEngine();
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TfsScript s(nullptr);
    s.SetSyntaxType("BasicScript");
    s.SetText("#language PascalScript\nvar rem: Integer;\nbegin rem := 2; ShowMessage(rem); end.");
    ASSERT_TRUE(s.Compile()) << s.ErrorMessage << " at " << s.ErrorPosition;
    s.Execute();
    EXPECT_EQ(host->Messages(), (std::vector<std::string>{"2"}));
}

TEST(Walker, LineEndsLfAndCrLfAlike)
{
    const std::string lf = "Dim s\ns = \"\"\nFor i = 1 To 3\n  s = s & i ' count\nNext\nShowMessage(s)\n";
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(RunScript("BasicScript", lf).Joined(), "123\n");
    EXPECT_EQ(RunScript("BasicScript", crlf).Joined(), "123\n");
    EXPECT_EQ(RunScript("BasicScript", "x = 1 : y = 2 _\n  + 3 : ShowMessage(x + y)").Joined(), "6\n");
}

struct ErrorCase {
    const char* Language;
    const char* Text;
    const char* Message;
    const char* Position;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.Language << ": " << c.Text; }

class SyntaxErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(SyntaxErrors, CarryTheGrammarsMessageAndPosition)
{
    const ErrorCase& c = GetParam();
    auto r = RunScript(c.Language, c.Text);
    EXPECT_FALSE(r.Compiled);
    EXPECT_EQ(r.Error, c.Message);
    EXPECT_EQ(r.ErrorPos, c.Position);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SyntaxErrors,
    ::testing::Values(
        ErrorCase{"PascalScript", "", "'BEGIN' expected", "1:1"},
        ErrorCase{"PascalScript", "var x: Integer;\nbegin\n  x := ;\nend.", "Expression expected", "3:8"},
        ErrorCase{"PascalScript", "begin\n  x := 1\n  y := 2\nend.", "';' expected", "3:3"},
        ErrorCase{"PascalScript", "begin if 1 = 1 x := 2; end.", "'THEN' expected", "1:16"},
        ErrorCase{"PascalScript", "begin end", "'.' expected", "2:1"},
        // two-character operators may not be split
        ErrorCase{"PascalScript", "begin if 1 < = 2 then ; end.", "'THEN' expected", "1:12"},
        ErrorCase{"C++Script", "{ int x = 1 }", "';' expected", "1:13"},
        ErrorCase{"C++Script", "{ if x == 1) x = 2; }", "'(' expected", "1:6"},
        ErrorCase{"C++Script", "{ ShowMessage(1); }\nShowMessage(2);", "Statement expected", "2:1"},
        // what follows the program is an error, not code silently dropped
        ErrorCase{"JScript", "var x = 1;\n++x;\nShowMessage(x);", "Statement expected", "2:1"},
        ErrorCase{"JScript", "x = a ? b : c;", "Statement expected", "1:7"},
        ErrorCase{"BasicScript", "x = 1\n)\nShowMessage(x)\n", "End of line expected", "2:1"},
        ErrorCase{"BasicScript", "If x Then\n  y = 1\n", "'END' expected", "3:1"},
        ErrorCase{"BasicScript", "For i = 1 To 3\nNext i\n", "End of line expected", "2:6"}));

TEST(Walker, EmptyScriptsOfLineLanguagesAreEmptyPrograms)
{
    for (const char* lang : {"JScript", "BasicScript"}) {
        auto r = RunScript(lang, "");
        EXPECT_TRUE(r.Compiled) << lang << ": " << r.Error;
        r = RunScript(lang, "  // nothing\n");
        EXPECT_TRUE(r.Compiled || std::string(lang) == "BasicScript") << lang << ": " << r.Error;
    }
}

TEST(Walker, TextAfterPascalEndIsIgnored)
{
    auto r = RunScript("PascalScript", "begin ShowMessage(1) end. this is no code");
    ASSERT_TRUE(r.Compiled) << r.Error;
    EXPECT_EQ(r.Joined(), "1\n");
}

TEST(Walker, UnitsAreIncludedOnceInReverseOrder)
{
    EnsureEngine();
    TfsScript s(nullptr);
    std::vector<std::string> asked;
    s.OnGetUnit = [&](TfsScript*, const std::string& name, std::string& text) {
        asked.push_back(name);
        if (name == "a.pas") text = "uses 'c.pas'; procedure A; begin ShowMessage('A') end; begin end.";
        else if (name == "b.pas") text = "uses 'c.pas'; procedure B; begin ShowMessage('B') end; begin end.";
        else if (name == "c.pas") text = "procedure C; begin ShowMessage('C') end; begin end.";
    };
    TfsILParser p(&s);
    p.SelectLanguage("PascalScript");
    ASSERT_TRUE(p.BuildProgramTree("uses 'a.pas', 'b.pas'; begin A; B; C; end.")) << s.ErrorMessage;
    EXPECT_EQ(asked, (std::vector<std::string>{"b.pas", "c.pas", "a.pas"}));
    TfsXMLItem* root = p.ProgramTree()->Root();
    EXPECT_EQ(root->Items(0)->Prop("unit"), "b.pas");
    EXPECT_EQ(root->Items(1)->Prop("unit"), "a.pas");

    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    s.SetText("uses 'a.pas', 'b.pas'; begin A; B; C; end.");
    ASSERT_TRUE(s.Compile()) << s.ErrorMessage;
    s.Execute();
    EXPECT_EQ(host->Messages(), (std::vector<std::string>{"A", "B", "C"}));
}

TEST(Walker, ErrorInsideAUnitNamesTheUnit)
{
    EnsureEngine();
    TfsScript s(nullptr);
    s.OnGetUnit = [](TfsScript*, const std::string&, std::string& text) { text = "begin x := ; end."; };
    s.SetText("uses 'broken.pas';\nbegin end.");
    EXPECT_FALSE(s.Compile());
    EXPECT_EQ(s.ErrorMessage, "Expression expected");
    EXPECT_EQ(s.ErrorUnit, "broken.pas");
    EXPECT_EQ(s.ErrorPosition, "");
}

}  // namespace
