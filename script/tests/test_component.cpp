// The script component: scopes, registration, compiling, running, calling
// routines, evaluating, line reports, termination; and the shared tools.
#include "Exceptions.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "fs_itools.h"
#include "fs_xml.h"
#include "script_test_util.h"

#include <cmath>

using namespace fs_itools;

namespace {

TEST(ScriptScope, FindGoesUpTheChain)
{
    EnsureEngine();
    TfsScript s(nullptr);
    EXPECT_EQ(s.Parent, fs_iinterpreter::GetGlobalScript());
    ASSERT_NE(s.Find("INTEGER"), nullptr);
    EXPECT_EQ(s.FindLocal("Integer"), nullptr);
    EXPECT_EQ(s.AddVariable("Integer", "String", Variant("x")), nullptr) << "a known name adds nothing";
    TfsVariable* v = s.AddVariable("Counter", "Integer", Variant(3));
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(s.Find("COUNTER"), v);
    EXPECT_EQ(s.FindClass("TStringList")->HostClass, TStringList::StaticClass());
}

TEST(ScriptScope, EnumerationsAndSets)
{
    TfsScript s(nullptr);
    s.AddEnum("TAlign", "alNone, alTop , alBottom");
    s.AddEnumSet("TAnchors", "akLeft, akTop, akRight");
    EXPECT_EQ(s.Find("alTop")->Value.AsInteger(), 1);
    EXPECT_TRUE(s.Find("alTop")->IsReadOnly);
    EXPECT_EQ(s.Find("alBottom")->Value.AsInteger(), 2);
    EXPECT_EQ(s.Find("akTop")->Value.AsInteger(), 2);
    EXPECT_EQ(s.Find("akRight")->Value.AsInteger(), 4);
    EXPECT_EQ(s.Find("alTop")->Kind, stEnum);
}

TEST(ScriptCompile, ErrorStateIsSetAndCleared)
{
    EnsureEngine();
    TfsScript s(nullptr);
    s.SetText("begin x := ; end.");
    EXPECT_FALSE(s.Compile());
    EXPECT_EQ(s.ErrorMessage, "Expression expected");
    EXPECT_EQ(s.ErrorPosition, "1:12");
    s.Clear();
    s.SetText("begin end.");
    EXPECT_TRUE(s.Compile());
    EXPECT_EQ(s.ErrorMessage, "");
    EXPECT_EQ(s.ErrorPosition, "");
}

TEST(ScriptRun, CallFunctionAndVarParameters)
{
    EnsureEngine();
    TfsScript s(nullptr);
    s.SetText("function Add(a, b: Integer): Integer; begin Result := a + b; end;\n"
              "procedure Twice(var x: Integer); begin x := x * 2; end;\nbegin end.");
    ASSERT_TRUE(s.Compile()) << s.ErrorMessage;
    EXPECT_EQ(s.CallFunction("add", VarArrayOf({Variant(2), Variant(40)})).AsInteger(), 42);
    Variant args = VarArrayOf({Variant(21)});
    s.CallFunctionVar("Twice", args);
    EXPECT_EQ(VarArrayGet(args, {0}).AsInteger(), 42);
    EXPECT_TRUE(s.CallFunction("NoSuchRoutine", Null()).IsNull());
    EXPECT_THROW(s.CallFunction("Add", VarArrayOf({Variant(1), Variant(2), Variant(3)})), EListError);
}

TEST(ScriptRun, Evaluate)
{
    EnsureEngine();
    TfsScript s(nullptr);
    s.AddVariable("Price", "Double", Variant(2.5));
    EXPECT_EQ(s.Evaluate("2 * 3").AsInteger(), 6);
    EXPECT_DOUBLE_EQ(s.Evaluate("Price * 4").AsDouble(), 10.0);
    Variant bad = s.Evaluate("1 +");
    EXPECT_EQ(VarType(bad), varString);
    EXPECT_EQ(VarToStr(bad), "';' expected");
    EXPECT_EQ(VarToStr(s.Evaluate("UpperCase('abc')")), "ABC");
}

TEST(ScriptRun, RunLineReportsEveryStatementAndTerminateStops)
{
    EnsureEngine();
    TfsScript s(nullptr);
    s.SetText("var i: Integer = 0;\nprocedure P;\nbegin\n  i := i + 1;\nend;\nbegin\n  P;\n  P;\n  i := 100;\nend.");
    ASSERT_TRUE(s.Compile()) << s.ErrorMessage;
    std::vector<std::string> lines;
    s.OnRunLine = [&](TfsScript*, const std::string& unit, const std::string& pos) { lines.push_back(pos); };
    s.Execute();
    // the initial value's assignment runs first, at its declaration
    EXPECT_EQ(lines, (std::vector<std::string>{"1:16", "7:3", "4:3", "8:3", "4:3", "9:3"}));
    EXPECT_TRUE(s.IsExecutableLine(4));
    EXPECT_TRUE(s.IsExecutableLine(9));
    EXPECT_FALSE(s.IsExecutableLine(1)) << "a declaration with an initial value is no statement line";
    EXPECT_FALSE(s.IsExecutableLine(2));

    // stopped from the line handler while inside the routine
    lines.clear();
    s.OnRunLine = [&](TfsScript* sender, const std::string&, const std::string& pos) {
        lines.push_back(pos);
        if (pos == "4:3") s.Terminate();
    };
    s.Execute();
    EXPECT_EQ(lines, (std::vector<std::string>{"1:16", "7:3", "4:3"}));
    EXPECT_EQ(s.Find("i")->Value.AsInteger(), 0) << "the stopped assignment did not run";
}

TEST(ScriptRun, RunLineInLoopsCanStopAnEndlessScript)
{
    EnsureEngine();
    TfsScript s(nullptr);
    s.SetText("while true do ;");
    s.SetSyntaxType("PascalScript");
    s.SetText("var n: Integer; begin while True do n := n + 1; end.");
    ASSERT_TRUE(s.Compile());
    s.OnRunLine = [&](TfsScript*, const std::string&, const std::string&) {
        if (s.Find("n")->Value.AsInteger() >= 1000) s.Terminate();
    };
    s.Execute();
    EXPECT_EQ(s.Find("n")->Value.AsInteger(), 1000);
}

// A deep recursion stopped from the line handler stops at every level: the
// levels further out run nothing more (they used to go on, each starting new
// calls, so the script ran on long after it was told to stop).
TEST(ScriptRun, TerminateStopsEveryLevelOfARecursion)
{
    EnsureEngine();
    TfsScript s(nullptr);
    s.SetText("var calls: Integer;\nfunction F(n: Integer): Integer;\nbegin\n  calls := calls + 1;\n"
              "  if n < 2 then Result := n else Result := F(n - 1) + F(n - 2);\nend;\n"
              "begin\n  F(24);\n  calls := -1;\nend.");
    ASSERT_TRUE(s.Compile()) << s.ErrorMessage;
    int lines = 0;
    s.OnRunLine = [&](TfsScript*, const std::string&, const std::string&) {
        if (++lines == 100) s.Terminate();
    };
    s.Execute();
    EXPECT_LT(lines, 200);
    EXPECT_GT(s.Find("calls")->Value.AsInteger(), 0) << "the statement after the call did not run";
    // the next run starts afresh
    lines = -1000000;
    s.Execute();
    EXPECT_EQ(s.Find("calls")->Value.AsInteger(), -1);
}

TEST(ScriptRun, ExecuteTwiceAndClear)
{
    EnsureEngine();
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TfsScript s(nullptr);
    s.SetText("var n: Integer; begin n := n + 1; ShowMessage(n); end.");
    ASSERT_TRUE(s.Compile());
    s.Execute();
    s.Execute();
    EXPECT_EQ(host->Messages(), (std::vector<std::string>{"1", "2"}));
    s.Clear();
    s.SetText("var s: String; begin s := 'ab'; ShowMessage(s[2]); end.");
    ASSERT_TRUE(s.Compile()) << "the string helper is back after Clear: " << s.ErrorMessage;
    s.Execute();
    EXPECT_EQ(host->Messages().back(), "b");
}

TEST(ScriptRegistration, RemoveItemsByRegistrar)
{
    TfsScript s(nullptr);
    TObject owner;
    s.Registrar = &owner;
    s.AddConst("Answer", "Integer", Variant(42));
    s.AddMethod("function Twice(x: Integer): Integer",
                [](TObject*, TClass, const std::string&, TfsParams& p) { return Variant(p[0].AsInteger() * 2); });
    s.Registrar = nullptr;
    s.AddConst("Other", "Integer", Variant(1));
    EXPECT_EQ(s.Evaluate("Twice(Answer)").AsInteger(), 84);
    s.RemoveItems(&owner);
    EXPECT_EQ(s.FindLocal("Answer"), nullptr);
    EXPECT_EQ(s.FindLocal("Twice"), nullptr);
    EXPECT_NE(s.FindLocal("Other"), nullptr);
}

// ---- tools ----------------------------------------------------------------------------------

TEST(Tools, TypeCompatibility)
{
    EnsureEngine();
    TfsScript* g = fs_iinterpreter::GetGlobalScript();
    const TfsScriptType kinds[] = {stInteger, stBoolean, stFloat, stChar, stString, stClass, stArray, stVariant, stEnum};
    // rows: target; columns: source, in the order of kinds
    const char* table[] = {
        "101000011",   // Integer
        "010000010",   // Boolean
        "101000010",   // Float
        "000110010",   // Char
        "000110010",   // String
        "000001010",   // Class (same class)
        "000000110",   // Array
        "111111111",   // Variant
        "100000011",   // Enum (same name)
    };
    for (int t = 0; t < 9; ++t)
        for (int s = 0; s < 9; ++s) {
            TfsTypeRec target{kinds[t], kinds[t] == stClass ? "TStrings" : kinds[t] == stEnum ? "TAlign" : ""};
            TfsTypeRec source{kinds[s], kinds[s] == stClass ? "TStringList" : kinds[s] == stEnum ? "talign" : ""};
            EXPECT_EQ(TypesCompatible(target, source, g), table[t][s] == '1') << "target " << t << " source " << s;
        }
    EXPECT_FALSE(TypesCompatible({stClass, "TStringList"}, {stClass, "TStrings"}, g));
    EXPECT_FALSE(TypesCompatible({stEnum, "TAlign"}, {stEnum, "TAnchors"}, g));
    TfsVariable i("i", stInteger, ""), f("f", stFloat, "");
    EXPECT_FALSE(AssignCompatible(&i, &f, g));
    EXPECT_TRUE(AssignCompatible(&f, &i, g));
}

TEST(Tools, ParseDeclaration)
{
    EnsureEngine();
    TfsScript* g = fs_iinterpreter::GetGlobalScript();
    TfsCustomVariable fmt("", stVariant, "");
    EXPECT_TRUE(ParseDeclaration("function Format(Fmt: String; Args: array): String", g, &fmt));
    EXPECT_EQ(fmt.Name, "Format");
    EXPECT_EQ(fmt.Count(), 2);
    EXPECT_EQ(fmt.RequiredCount(), 2);
    EXPECT_EQ(fmt.Kind, stString);
    EXPECT_EQ(fmt.Params(1)->Kind, stArray);

    TfsCustomVariable sum("", stVariant, "");
    EXPECT_TRUE(ParseDeclaration("macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant", g, &sum));
    EXPECT_TRUE(sum.IsMacro);
    EXPECT_EQ(sum.Name, "SUM");
    EXPECT_EQ(sum.RequiredCount(), 1);
    EXPECT_EQ(sum.Params(2)->DefValue.AsInteger(), 0);

    TfsCustomVariable dec("", stVariant, "");
    EXPECT_FALSE(ParseDeclaration("procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)", g, &dec));
    ASSERT_EQ(dec.Count(), 4);
    EXPECT_FALSE(dec.Params(0)->IsVarParam);
    EXPECT_TRUE(dec.Params(1)->IsVarParam && dec.Params(3)->IsVarParam);

    TfsCustomVariable grp("", stVariant, "");
    ParseDeclaration("procedure P(a, b: Integer = -5; const s: String = 'x'; c: Boolean = True)", g, &grp);
    ASSERT_EQ(grp.Count(), 4);
    EXPECT_FALSE(grp.Params(0)->IsOptional) << "only the last name of a group gets the default";
    EXPECT_EQ(grp.Params(1)->DefValue.AsInteger(), -5);
    EXPECT_EQ(VarToStr(grp.Params(2)->DefValue), "x");
    EXPECT_TRUE(grp.Params(3)->DefValue.AsBoolean());

    TfsCustomVariable proc("", stVariant, "");
    EXPECT_FALSE(ParseDeclaration("procedure Delete(var s: String; from, count: Integer): String", g, &proc))
        << "a result type after procedure is not read";
}

TEST(Tools, ConstTextToVariant)
{
    EXPECT_EQ(VarType(ConstTextToVariant("'12'")), varString);
    EXPECT_EQ(VarToStr(ConstTextToVariant("'12'")), "12");
    EXPECT_EQ(ConstTextToVariant("12").AsInteger(), 12);
    EXPECT_EQ(VarType(ConstTextToVariant("12")), varInteger);
    EXPECT_EQ(ConstTextToVariant("$FF").AsInteger(), 255);
    EXPECT_EQ(ConstTextToVariant("9999999999").AsInt64(), 9999999999LL);
    TFormatSettings saved = FormatSettings;
    FormatSettings.DecimalSeparator = ',';
    EXPECT_DOUBLE_EQ(ConstTextToVariant("1.5").AsDouble(), 1.5);
    EXPECT_DOUBLE_EQ(ConstTextToVariant("2E-3").AsDouble(), 0.002);
    EXPECT_EQ(FormatSettings.DecimalSeparator, ',') << "the user's separator is left alone";
    FormatSettings = saved;
    EXPECT_TRUE(ConstTextToVariant("").IsNull());
    auto p = SourcePosToPoint("12:5");
    EXPECT_EQ(p.X, 5);
    EXPECT_EQ(p.Y, 12);
    EXPECT_EQ(SourcePosToPoint("").X, 0);
}

TEST(Tools, ContentsTree)
{
    EnsureEngine();
    TfsXMLItem root;
    WriteContentsXML(fs_iinterpreter::GetGlobalScript(), &root, false);
    TfsXMLItem* functions = root.FindItem("Functions");
    int total = 0;
    for (int i = 0; i < functions->Count(); ++i) total += functions->Items(i)->Count();
    EXPECT_GE(total, 63);
    TfsXMLItem* conv = functions->Items(functions->Find("ctConv"));
    bool found = false;
    for (int i = 0; i < conv->Count(); ++i)
        found = found || conv->Items(i)->Prop("text") == "function IntToStr(i: Integer): String";
    EXPECT_TRUE(found);
    TfsXMLItem* classes = root.FindItem("Classes");
    found = false;
    for (int i = 0; i < classes->Count(); ++i)
        found = found || classes->Items(i)->Prop("text") == "TStringList = class(TStrings)";
    EXPECT_TRUE(found);
    bool constant = false;
    TfsXMLItem* constants = root.FindItem("Constants");
    for (int i = 0; i < constants->Count(); ++i)
        constant = constant || constants->Items(i)->Prop("text") == "varString: Integer = 256";
    EXPECT_TRUE(constant);
    TfsXMLItem* types = root.FindItem("Types");
    bool dup = false;
    for (int i = 0; i < types->Count(); ++i)
        dup = dup || types->Items(i)->Prop("text") == "TDuplicates: (dupAccept,dupError,dupIgnore)";
    EXPECT_TRUE(dup);
}

}  // namespace

namespace {

TEST(ScriptRun, EvaluateInsideARunningRoutineSeesItsLocals)
{
    EnsureEngine();
    TfsScript s(nullptr);
    s.SetText("procedure P(a: Integer);\nvar k: Integer;\nbegin\n  k := a * 2;\n  k := k + 1;\nend;\nbegin\n  P(20);\nend.");
    ASSERT_TRUE(s.Compile());
    std::string seen;
    s.OnRunLine = [&](TfsScript*, const std::string&, const std::string& pos) {
        if (pos == "5:3") seen = VarToStr(s.Evaluate("k + a"));
    };
    s.Execute();
    EXPECT_EQ(seen, "60");
}

TEST(ScriptUnits, IncludeAndImportInTheOtherLanguages)
{
    EnsureEngine();
    auto units = [](TfsScript*, const std::string& name, std::string& text) {
        if (name == "lib.cpp") text = "int twice(int x) { return x * 2; }\n{ }";
        if (name == "lib.js") text = "function twice(x) { return x * 2; }";
        if (name == "lib.vb") text = "Function Twice(x)\n  Return x * 2\nEnd Function\n";
    };
    struct Case {
        const char* Lang;
        const char* Text;
    } cases[] = {
        {"C++Script", "#include \"lib.cpp\"\n{ ShowMessage(twice(21)); }"},
        {"JScript", "import \"lib.js\"\nShowMessage(twice(21));"},
        {"BasicScript", "Imports \"lib.vb\"\nShowMessage(Twice(21))\n"},
    };
    for (const auto& c : cases) {
        auto host = std::make_shared<TRecordingHost>();
        THostScope scope(host);
        TfsScript s(nullptr);
        s.OnGetUnit = units;
        s.SetSyntaxType(c.Lang);
        s.SetText(c.Text);
        ASSERT_TRUE(s.Compile()) << c.Lang << ": " << s.ErrorMessage << " at " << s.ErrorPosition;
        s.Execute();
        EXPECT_EQ(host->Messages(), (std::vector<std::string>{"42"})) << c.Lang;
    }
}

TEST(ScriptUnits, ProgramTreesFromTheHost)
{
    EnsureEngine();
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TfsScript s(nullptr);
    s.OnGetUnit = [](TfsScript*, const std::string&, std::string& text) { text = "begin end."; };
    // the host hands over a program tree of its own for the unit
    s.OnGetILUnit = [](TfsScript*, const std::string&, std::string& text) {
        text = "<?xml version=\"1.0\"?><program><procedure pos=\"1:1\"><name text=\"Hello\" pos=\"1:1\"/>"
               "<compoundstmt pos=\"1:1\"><callstmt pos=\"1:1\"><dsgn pos=\"1:1\"><node text=\"ShowMessage\" pos=\"1:1\"/>"
               "<expr pos=\"1:1\"><string text=\"'from tree'\" pos=\"1:1\"/></expr></dsgn></callstmt></compoundstmt>"
               "</procedure><types/></program>";
    };
    s.SetText("uses 'precompiled';\nbegin Hello; end.");
    ASSERT_TRUE(s.Compile()) << s.ErrorMessage;
    s.Execute();
    EXPECT_EQ(host->Messages(), (std::vector<std::string>{"from tree"}));
}

// A host tree may name its own unit, or a unit whose tree names it back:
// like units given as source, each is built once.
TEST(ScriptUnits, HostTreesUsingEachOtherAreBuiltOnce)
{
    EnsureEngine();
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TfsScript s(nullptr);
    s.OnGetUnit = [](TfsScript*, const std::string&, std::string& text) { text = "begin end."; };
    s.OnGetILUnit = [](TfsScript*, const std::string& unit, std::string& text) {
        const bool first = SameText(unit, "first");
        text = std::string("<?xml version=\"1.0\"?><program><uses unit=\"") + (first ? "second" : "first") +
               "\"/><uses unit=\"" + unit + "\"/><procedure pos=\"1:1\"><name text=\"" +
               (first ? "Hello" : "Bye") + "\" pos=\"1:1\"/><compoundstmt pos=\"1:1\"><callstmt pos=\"1:1\">"
               "<dsgn pos=\"1:1\"><node text=\"ShowMessage\" pos=\"1:1\"/><expr pos=\"1:1\"><string text=\"'" +
               unit + "'\" pos=\"1:1\"/></expr></dsgn></callstmt></compoundstmt></procedure><types/></program>";
    };
    s.SetText("uses 'first';\nbegin Hello; Bye; end.");
    ASSERT_TRUE(s.Compile()) << s.ErrorMessage;
    s.Execute();
    EXPECT_EQ(host->Messages(), (std::vector<std::string>{"first", "second"}));
}

// A program tree from the host is not checked by the grammar: expressions
// the walker never writes are refused when built, never run half-made.
TEST(ScriptUnits, MalformedExpressionsInHostTreesAreRefused)
{
    EnsureEngine();
    struct Case {
        const char* What;
        const char* Expr;   // the children of the condition's expr element
    } cases[] = {
        // no pos attributes: the refusal must not depend on a position
        {"bracket never closed", "<op text=\"(\"/>"},
        {"operand after a closed bracket",
         "<op text=\"(\"/><dsgn><node text=\"a\"/></dsgn><op text=\"&#60;\"/><dsgn><node text=\"b\"/></dsgn>"
         "<op text=\")\"/><number text=\"1\"/>"},
        {"two operands in a row", "<dsgn><node text=\"a\"/></dsgn><dsgn><node text=\"b\"/></dsgn>"},
    };
    for (const auto& c : cases) {
        auto host = std::make_shared<TRecordingHost>();
        THostScope scope(host);
        TfsScript s(nullptr);
        s.OnGetUnit = [](TfsScript*, const std::string&, std::string& text) { text = "begin end."; };
        const std::string tree = std::string("<?xml version=\"1.0\"?><program><var><ident text=\"a\"/>"
                                             "<ident text=\"b\"/><type text=\"Boolean\"/></var>"
                                             "<ifstmt><expr>") + c.Expr +
                                 "</expr><thenstmt><callstmt><dsgn><node text=\"ShowMessage\"/><expr>"
                                 "<string text=\"'ran'\"/></expr></dsgn></callstmt></thenstmt></ifstmt><types/></program>";
        s.OnGetILUnit = [&](TfsScript*, const std::string&, std::string& text) { text = tree; };
        s.SetText("uses 'precompiled';\nbegin end.");
        EXPECT_FALSE(s.Compile()) << c.What;
        EXPECT_EQ(s.ErrorMessage, "Expression expected") << c.What;
    }
}

}  // namespace

namespace {
TEST(Tools, ArgumentRecords)
{
    EXPECT_EQ(VarToStr(VarRecToVariant(TVarRec(42))), "42");
    EXPECT_EQ(VarRecToVariant(TVarRec(true)).VType(), varBoolean);
    EXPECT_EQ(VarToStr(VarRecToVariant(TVarRec('A'))), "A");
    EXPECT_DOUBLE_EQ(VarRecToVariant(TVarRec(2.5)).AsDouble(), 2.5);
    EXPECT_EQ(VarToStr(VarRecToVariant(TVarRec(std::string("txt")))), "txt");
    auto recs = VariantToVarRecs(VarArrayOf({Variant::FromWord(7), Variant::FromInt64(1LL << 40),
                                            Variant(std::string(400, 'x')), Variant(1.5), Variant(true), Null()}));
    ASSERT_EQ(recs.size(), 6u);
    EXPECT_EQ(recs[0].VInt, 7);
    EXPECT_EQ(recs[1].VInt, 1LL << 40);
    EXPECT_EQ(recs[2].VString.size(), 400u) << "strings pass whole";
    EXPECT_EQ(recs[3].VType, TVarRec::vtExtended);
    EXPECT_EQ(recs[4].VType, TVarRec::vtBoolean);
    EXPECT_EQ(recs[5].VInt, 0);
    EXPECT_THROW(VariantToVarRecs(Variant(5)), EConvertError);
}
}  // namespace
