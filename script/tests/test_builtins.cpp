// The built-in routines, the message and input boxes, and automation objects.
#include "DateUtils.h"
#include "Exceptions.h"
#include "fs_iole.h"
#include "script_test_util.h"

#include <map>

namespace {

struct EvalCase {
    const char* Expression;
    const char* Result;
};

void PrintTo(const EvalCase& c, std::ostream* os) { *os << c.Expression; }

class Builtins : public ::testing::TestWithParam<EvalCase> {};

TEST_P(Builtins, Evaluate)
{
    EnsureEngine();
    TfsScript s(nullptr);
    s.AddVariable("Arr", "Variant", VarArrayCreate({1, 3}, varVariant));
    s.AddVariable("StringOfFive", "String", Variant(std::string(300, '5')));
    EXPECT_EQ(VarToStr(s.Evaluate(GetParam().Expression)), GetParam().Result);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Builtins,
    ::testing::Values(
        EvalCase{"IntToStr(-12)", "-12"}, EvalCase{"FloatToStr(2.5)", "2.5"},
        EvalCase{"DateToStr(EncodeDate(2024, 3, 5))", "2024-03-05"},
        EvalCase{"TimeToStr(EncodeTime(17, 8, 9, 0))", "17:08:09"},
        EvalCase{"StrToInt('42') + 1", "43"}, EvalCase{"StrToFloat('1.25') * 4", "5"},
        EvalCase{"FormatDateTime('yyyy-mm-dd', StrToDate('2023-12-31') + 1)", "2024-01-01"},
        EvalCase{"Format('%d|%s|%.2f', [1, 'a', 2.5])", "1|a|2.50"},
        // every integer type, 64-bit included, and whole strings reach Format
        EvalCase{"Format('%d', [DayOfWeek(EncodeDate(2024, 3, 3))])", "1"},
        EvalCase{"Format('%d', [9999999999])", "9999999999"},
        EvalCase{"Length(Format('%s', [StringOfFive]))", "300"},
        EvalCase{"Format('%d', [Null])", "0"},
        EvalCase{"FormatFloat('0.00', 3.14159)", "3.14"},
        EvalCase{"FormatMaskText('000-0000;0;_', '5551234')", "555-1234"},
        EvalCase{"FormatMaskText('>LL-00;1;_', 'ab-12')", "AB-12"},
        EvalCase{"IsLeapYear(2000)", "True"}, EvalCase{"IsLeapYear(1900)", "False"},
        EvalCase{"DaysInMonth(2000, 2)", "29"}, EvalCase{"DaysInMonth(1900, 2)", "28"},
        EvalCase{"Length('abc')", "3"}, EvalCase{"Length(12345)", "5"}, EvalCase{"Length(Arr)", "3"},
        EvalCase{"Length('中文字')", "3"},
        EvalCase{"Copy('abcdef', 0, 2)", "ab"}, EvalCase{"Copy('abcdef', 5, 10)", "ef"},
        EvalCase{"Copy('abcdef', 9, 1)", ""}, EvalCase{"Pos('cd', 'abcdef')", "3"},
        EvalCase{"Uppercase('abc')", "ABC"}, EvalCase{"Lowercase('БBC')", "бbc"},
        EvalCase{"Trim(#9'  x  '#13)", "x"},
        EvalCase{"NameCase('john SMITH')", "John Smith"}, EvalCase{"NameCase(' john')", " john"},
        EvalCase{"CompareText('abc', 'ABD') < 0", "True"}, EvalCase{"CompareText('abc', 'ABC')", "0"},
        EvalCase{"Chr(321)", "A"}, EvalCase{"Ord('AB')", "65"},
        EvalCase{"Round(2.5)", "2"}, EvalCase{"Round(3.5)", "4"}, EvalCase{"Trunc(-2.7)", "-2"},
        EvalCase{"Int(-2.7)", "-2"}, EvalCase{"Frac(-2.75)", "-0.75"},
        EvalCase{"Round(1e10)", "10000000000"},
        EvalCase{"Sqrt(16)", "4"}, EvalCase{"Abs(-3)", "3"}, EvalCase{"Round(Pi * 1000)", "3142"},
        EvalCase{"Round(Tan(Pi / 4) * 100)", "100"}, EvalCase{"Round(Exp(Ln(5)))", "5"},
        EvalCase{"ValidInt('12')", "True"}, EvalCase{"ValidInt('1x')", "False"},
        EvalCase{"ValidFloat('1.5')", "True"}, EvalCase{"ValidDate('2024-02-30')", "False"},
        EvalCase{"ValidDate('2024-02-29')", "True"},
        EvalCase{"VarType('x')", "256"}, EvalCase{"VarType(1)", "3"}, EvalCase{"VarType(Null)", "1"},
        EvalCase{"VarType(VarArrayCreate([0, 2], varVariant)) = varArray + varVariant", "True"},
        EvalCase{"Length(VarArrayCreate([0, 1, 0, 2], varVariant))", "2"},
        EvalCase{"(Random >= 0) and (Random < 1)", "True"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Builtins, VarParametersComeBack)
{
    auto r = RunScript("PascalScript",
                       "var y, m, d, h, n, s, ms: Word; v: Variant; str: String; i: Integer;\n"
                       "begin DecodeDate(EncodeDate(2024, 2, 29), y, m, d); ShowMessage(Format('%d-%d-%d', [y, m, d]));\n"
                       " DecodeTime(EncodeTime(13, 45, 30, 250), h, n, s, ms); ShowMessage(Format('%d:%d:%d.%d', [h, n, s, ms]));\n"
                       " v := VarArrayCreate([0, 4], varVariant); v[0] := 'keep'; SetLength(v, 2); ShowMessage(Length(v)); ShowMessage(v[0]);\n"
                       " str := 'abcdef'; SetLength(str, 3); ShowMessage(str);\n"
                       " i := 1; Inc(i); Inc(i, 3); Dec(i); ShowMessage(i); end.");
    ASSERT_TRUE(r.Compiled) << r.Error << r.ErrorPos;
    ASSERT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "2024-2-29\n13:45:30.250\n2\nkeep\nabc\n4\n");
}

TEST(Builtins, ErrorsReachTheScript)
{
    for (const char* text : {"begin StrToInt('x'); end.", "begin EncodeDate(2024, 13, 1); end.",
                             "begin DaysInMonth(2024, 0); end.", "begin Ord(''); end.",
                             "begin VarArrayCreate([1, 2, 3], varVariant); end.", "var v: Variant; begin v := 5; Format('%d', v); end.",
                             "begin Format('%d', ['text']); end."}) {
        auto r = RunScript("PascalScript", text);
        ASSERT_TRUE(r.Compiled) << text << ": " << r.Error;
        EXPECT_TRUE(r.RunError) << text;
        EXPECT_FALSE(r.Error.empty()) << text;
    }
}

// A Format argument of the wrong kind is named, with what it holds.
TEST(Builtins, FormatNamesTheWrongArgument)
{
    struct Case {
        const char* Call;
        const char* Error;
    };
    for (const Case& c : {
             Case{"Format('%10.2f', [2980])", "Format '%10.2f' invalid or incompatible with argument 1 (Integer 2980)"},
             Case{"Format('%s: %d', ['fee', 'x'])", "Format '%s: %d' invalid or incompatible with argument 2 (String x)"},
             Case{"Format('%1:s %0:d', [1.5, 2])", "Format '%1:s %0:d' invalid or incompatible with argument 2 (Integer 2)"},
         }) {
        auto r = RunScript("PascalScript", std::string("begin ShowMessage(") + c.Call + "); end.");
        ASSERT_TRUE(r.Compiled) << c.Call << ": " << r.Error;
        EXPECT_TRUE(r.RunError) << c.Call;
        EXPECT_EQ(r.Error, c.Error);
    }
    // a missing argument is not one of the wrong kind
    EXPECT_EQ(RunScript("PascalScript", "begin ShowMessage(Format('%d %d', [1])); end.").Error,
              "No argument for format '%d %d'");
}

TEST(Builtins, DatesComeFromTheClock)
{
    auto clock = std::make_shared<TFixedClock>(EncodeDate(2024, 5, 6) + EncodeTime(10, 30, 0, 0));
    auto prev = SetClock(clock);
    EnsureEngine();
    TfsScript s(nullptr);
    EXPECT_EQ(VarToStr(s.Evaluate("FormatDateTime('yyyy-mm-dd hh:nn', Now)")), "2024-05-06 10:30");
    EXPECT_EQ(VarToStr(s.Evaluate("DateToStr(Date)")), "2024-05-06");
    EXPECT_EQ(s.Evaluate("Trunc(Time * 24 * 60)").AsInteger(), 630);
    SetClock(prev);
}

TEST(Builtins, MessageAndInputBoxesGoThroughTheHost)
{
    EnsureEngine();
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    host->QueueMessageDlg(mrYes);
    host->QueueInput(true, "typed");
    host->QueueInput(false);
    host->QueueInput(true, "changed");
    TfsScript s(nullptr);
    s.SetText("var v: String; ok: Boolean;\nbegin\n"
              "  ShowMessage('hello ' + IntToStr(1));\n"
              "  ShowMessage(MessageDlg('Sure?', mtConfirmation, mbYes + mbNo, 0));\n"
              "  ShowMessage(InputBox('Title', 'Name', 'def'));\n"
              "  ShowMessage(InputBox('Title', 'Name', 'def'));\n"
              "  v := 'start'; ok := InputQuery('T', 'P', v); ShowMessage(v);\nend.");
    ASSERT_TRUE(s.Compile()) << s.ErrorMessage;
    s.Execute();
    auto shown = host->CallsOf(THostCallKind::ShowMessage);
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[0].Text, "hello 1");
    EXPECT_EQ(shown[1].Text, "6");
    EXPECT_EQ(shown[2].Text, "typed");
    EXPECT_EQ(shown[3].Text, "def");
    EXPECT_EQ(shown[4].Text, "changed");
    auto dlg = host->CallsOf(THostCallKind::MessageDlg);
    ASSERT_EQ(dlg.size(), 1u);
    EXPECT_EQ(dlg[0].Text, "Sure?");
    auto input = host->CallsOf(THostCallKind::InputQuery);
    ASSERT_EQ(input.size(), 3u);
    EXPECT_EQ(input[2].Value, "start");
}

// An automation object that records how it was called.
class RecordingAutomation : public IfsAutomationObject {
public:
    std::vector<std::string> Log;
    std::map<std::string, Variant> Props;
    Variant Call(const std::string& name, const std::vector<Variant>& args, bool wantsResult) override
    {
        Log.push_back(name + (wantsResult ? "?" : "!") + std::to_string(args.size()));
        if (name == "Fail") throw EfsAutomationError(fs_iole::DISP_E_UNKNOWNNAME, "no such member");
        if (name == "Sum") return Variant(args.at(0).AsInteger() + args.at(1).AsInteger());
        if (name == "Child") return Variant::FromDispatch(Child);
        auto it = Props.find(name);
        return it == Props.end() ? Unassigned() : it->second;
    }
    Variant Invoke(const std::string& name, const std::vector<Variant>& args) override { return Call(name, args, true); }
    Variant GetProperty(const std::string& name, const std::vector<Variant>& args) override
    {
        return Call(name, args, true);
    }
    void SetProperty(const std::string& name, const std::vector<Variant>& args, const Variant& value) override
    {
        Log.push_back(name + "=" + VarToStr(value));
        Props[name] = value;
    }
    std::shared_ptr<IVarDispatch> Child;
};

TEST(Automation, LateBoundCallsReachTheObject)
{
    EnsureEngine();
    auto obj = std::make_shared<RecordingAutomation>();
    obj->Child = std::make_shared<RecordingAutomation>();
    fs_iole::RegisterAutomationClass("Test.Recorder", [obj] { return obj; });
    auto r = RunScript("PascalScript",
                       "var o: Variant;\nbegin o := CreateOleObject('test.recorder');\n"
                       "  o.Caption := 'hi';\n  ShowMessage(o.Caption);\n  ShowMessage(o.Sum(2, 3));\n"
                       "  o.Refresh;\n  o.Child.Visible := True;\nend.");
    ASSERT_TRUE(r.Compiled) << r.Error;
    ASSERT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "hi\n5\n");
    EXPECT_EQ(obj->Log, (std::vector<std::string>{"Caption=hi", "Caption?0", "Sum?2", "Refresh!0", "Child?0"}));
    EXPECT_EQ(static_cast<RecordingAutomation*>(obj->Child.get())->Log, (std::vector<std::string>{"Visible=True"}));

    r = RunScript("PascalScript", "var o: Variant; begin o := CreateOleObject('Test.Recorder'); o.Fail(1); end.");
    EXPECT_TRUE(r.RunError);
    EXPECT_EQ(r.Error, "OLE error 80020006: Fail");
    fs_iole::RegisterAutomationClass("Test.Recorder", nullptr);
}

TEST(Automation, UnknownProgramIdIsAScriptError)
{
    auto r = RunScript("PascalScript", "var o: Variant; begin o := CreateOleObject('Excel.Application'); end.");
    ASSERT_TRUE(r.Compiled);
    EXPECT_TRUE(r.RunError);
    EXPECT_EQ(r.Error, "OLE error 800401F3: Excel.Application");
}

}  // namespace
