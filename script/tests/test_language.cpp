// What scripts mean: expressions, names, statements and routine calls, in
// the four languages, including the faults mended on the way.
#include "script_test_util.h"

#include <cstring>

namespace {

struct ProgramCase {
    const char* Name;
    const char* Language;
    const char* Text;
    const char* Output;
};

void PrintTo(const ProgramCase& c, std::ostream* os) { *os << c.Name; }

class Programs : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(Programs, Print)
{
    const ProgramCase& c = GetParam();
    auto r = RunScript(c.Language, c.Text);
    ASSERT_TRUE(r.Compiled) << r.Error << " at " << r.ErrorPos;
    ASSERT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), c.Output);
}

INSTANTIATE_TEST_SUITE_P(
    Semantics, Programs,
    ::testing::Values(
        ProgramCase{"precedence", "PascalScript",
                    "begin ShowMessage(1 + 2 * 3); ShowMessage((1 + 2) * 3); ShowMessage(8 - 2 - 1);"
                    " ShowMessage(not False and False); ShowMessage(3 in [1, 2..5]); ShowMessage(6 in [1, 2..5]); end.",
                    "7\n9\n5\nFalse\nTrue\nFalse\n"},
        // a division always gives a float, also inside integer arithmetic
        ProgramCase{"division_is_float", "PascalScript",
                    "var i: Integer; begin i := 7; ShowMessage((i / 2) * 2); ShowMessage(7 div 2); ShowMessage(7 mod 2); end.",
                    "7\n3\n1\n"},
        // functions without a declared type return variants
        ProgramCase{"untyped_function_is_variant", "JScript",
                    "function half(x) { return x / 2; }\nShowMessage(half(3) + half(3));", "3\n"},
        ProgramCase{"untyped_basic_function", "BasicScript",
                    "Function Half(x)\n  Return x / 2\nEnd Function\nShowMessage(Half(3) + Half(3))\n", "3\n"},
        // comparisons bind tighter than && and || in the C-like languages
        ProgramCase{"c_precedence_js", "JScript",
                    "var a = 1, b = 2;\nif (a == 1 && b == 2) ShowMessage(\"yes\"); else ShowMessage(\"no\");\n"
                    "if (a == 2 || b == 2) ShowMessage(\"or\");\nShowMessage(a + 1 == 2 && b * 2 == 4);",
                    "yes\nor\nTrue\n"},
        ProgramCase{"c_precedence_cpp", "C++Script",
                    "int a = 1, b = 2;\n{ if (a == 1 && b == 2) ShowMessage(\"yes\"); if (a < 0 || b > 1 && a > 0) ShowMessage(\"mixed\"); }",
                    "yes\nmixed\n"},
        // all arguments are evaluated before any parameter is assigned
        ProgramCase{"nested_calls_of_one_routine", "PascalScript",
                    "function Sub(a, b: Integer): Integer; begin Result := a - b; end;\n"
                    "function Pair(a, b: String): String; begin Result := a + b; end;\n"
                    "begin ShowMessage(Sub(10, Sub(5, 1))); ShowMessage(Pair(Pair('a', 'b'), Pair('c', 'd')));"
                    " ShowMessage(Copy('abcdef', 2, Length(Copy('xyz', 1, 2)))); end.",
                    "6\nabcd\nbc\n"},
        ProgramCase{"recursion_restores_locals", "PascalScript",
                    "function F(n: Integer): Integer; var k: Integer;\nbegin k := n * 10;\n"
                    "  if n > 0 then Result := F(n - 1) + k else Result := 0;\nend;\nbegin ShowMessage(F(4)); end.",
                    "100\n"},
        ProgramCase{"recursion_with_many_locals", "PascalScript",
                    "function R(a, b, c, d, e, f: Integer): Integer; var g: Integer; s: String;\n"
                    "begin g := a + b + c + d + e + f; s := IntToStr(g);\n"
                    "  if a > 0 then Result := R(a - 1, b, c, d, e, f) + StrToInt(s) else Result := g; end;\n"
                    "begin ShowMessage(R(3, 1, 1, 1, 1, 1)); end.",
                    "26\n"},
        // integers passed, returned and stored wrap at 32 bits; other values
        // given to an Integer parameter or variable still convert
        ProgramCase{"integer_calls_wrap_and_convert", "PascalScript",
                    "function Id(n: Integer): Integer; begin Result := n; end;\n"
                    "function Twice(n: Integer): Integer; begin Result := n * 2; end;\n"
                    "var i: Integer; v: Variant;\nbegin i := 2147483647; ShowMessage(Id(i + 1));"
                    " i := Id(i) * 2; ShowMessage(i); v := '21';"
                    " ShowMessage(Twice(v) + 1); i := -Id(-5); ShowMessage(i); end.",
                    "-2147483648\n-2\n43\n5\n"},
        // an Integer function read inside integer arithmetic: a result never
        // assigned counts as 0, a caller's own result survives the recursive
        // call, and a comparison reads variables that hold no integer yet
        ProgramCase{"integer_results_in_arithmetic", "PascalScript",
                    "function Pos0(n: Integer): Integer; begin if n > 0 then Result := n; end;\n"
                    "function Sum(n: Integer): Integer;\n"
                    "begin Result := n; if n > 0 then Result := Result + Sum(n - 1) * 1; end;\n"
                    "var i, j: Integer;\nbegin ShowMessage(Pos0(0) + 1); ShowMessage(Pos0(4) - 1);"
                    " ShowMessage(Sum(10)); if i < 1 then ShowMessage(j + 7); end.",
                    "1\n3\n55\n7\n"},
        ProgramCase{"var_parameters", "PascalScript",
                    "procedure Inc2(var x: Integer; d: Integer = 2); begin x := x + d; end;\n"
                    "var v: Integer; s: String;\nbegin v := 1; Inc2(v); Inc2(v, 10); ShowMessage(v);\n"
                    "  s := 'abc'; Delete(s, 2, 1); Insert('XY', s, 2); ShowMessage(s); end.",
                    "13\naXYc\n"},
        ProgramCase{"cpp_reference_parameters", "C++Script",
                    "void swap(int &a, int &b) { int t = a; a = b; b = t; }\nint x = 1, y = 2;\n{ swap(x, y); ShowMessage(x * 10 + y); }",
                    "21\n"},
        ProgramCase{"declarations_and_initial_values", "PascalScript",
                    "var a, b: Integer = 5; arr: array[1..3] of Integer; m: array[0..1, 0..2] of String;\n"
                    "begin ShowMessage(a + b); arr[3] := 7; ShowMessage(arr[3]); m[1, 2] := 'x'; ShowMessage(m[1, 2]); end.",
                    "10\n7\nx\n"},
        // text does not commute: x := e + x stays a prepend unless x is a number
        ProgramCase{"prepend_to_variant", "PascalScript",
                    "var v: Variant; n: Integer; f: Double;\nbegin v := 'c'; v := 'b' + v; ShowMessage(v);"
                    " v := 2; v := 3 * v; v := 1 + v; ShowMessage(v);"
                    " n := 2; n := 5 + n; n := 3 * n; ShowMessage(n); f := 0.5; f := 2 * f; ShowMessage(f); end.",
                    "bc\n7\n21\n1\n"},
        ProgramCase{"prepend_to_undeclared_basic", "BasicScript",
                    "s = \"7\"\nFor i = 1 To 3\n  s = \" \" + s\nNext\nShowMessage(\"[\" + s + \"]\")\n", "[   7]\n"},
        ProgramCase{"prepend_to_cpp_string", "C++Script",
                    "String s = \"b\";\n{ s = \"a\" + s; ShowMessage(s); }", "ab\n"},
        // elements of typed arrays take the element type, as variables do
        ProgramCase{"typed_array_elements", "PascalScript",
                    "var d: array[1..2] of Double; v: Variant;\n"
                    "begin d[1] := 2980; ShowMessage(Format('%.2f', [d[1]])); v := '1.5'; d[2] := v;"
                    " ShowMessage(Format('%.1f', [d[2]])); end.",
                    "2980.00\n1.5\n"},
        ProgramCase{"typed_array_elements_cpp", "C++Script",
                    "double fees[3];\n{ fees[1] = 2980; ShowMessage(Format(\"%.2f\", [fees[1]])); }", "2980.00\n"},
        ProgramCase{"cpp_declarations", "C++Script",
                    "int a = 1, b;\nint c[3];\n{ c[2] = a + b; ShowMessage(c[2]); }", "1\n"},
        ProgramCase{"four_dimensional_array", "PascalScript",
                    "var a: array[0..1, 0..1, 0..1, 0..2] of Integer;\nbegin a[1, 0, 1, 2] := 42; a[0, 0, 0, 0] := 1;"
                    " ShowMessage(a[1, 0, 1, 2] + a[0, 0, 0, 0]); end.",
                    "43\n"},
        ProgramCase{"string_characters", "PascalScript",
                    "var s: String; begin s := 'hello'; s[1] := 'J'; ShowMessage(s + s[5]); end.", "Jelloo\n"},
        ProgramCase{"for_loop_passes", "PascalScript",
                    "var i, n: Integer;\nbegin n := 0; for i := 1 to 3 do begin n := n + 1; i := 10; end;"
                    " ShowMessage(n); for i := 3 downto 1 do ShowMessage(i); ShowMessage(i); end.",
                    "3\n3\n2\n1\n1\n"},
        ProgramCase{"basic_for_step", "BasicScript",
                    "For i = 10 To 1 Step -3\n  ShowMessage(i)\nNext\n", "10\n7\n4\n1\n"},
        ProgramCase{"nested_break", "PascalScript",
                    "var i, j, n: Integer;\nbegin n := 0; for i := 1 to 3 do for j := 1 to 3 do begin if j = 2 then break;"
                    " n := n + 1; end; ShowMessage(n); end.",
                    "3\n"},
        // break, continue and exit pending at a finally part survive it
        ProgramCase{"break_through_finally", "PascalScript",
                    "var i, n: Integer;\nbegin n := 0;\n for i := 1 to 5 do\n  try\n   if i = 3 then break;\n  finally\n"
                    "   n := n + 1; n := n + 10;\n  end;\n ShowMessage(n); ShowMessage(i);\nend.",
                    "33\n3\n"},
        ProgramCase{"finally_with_loop_inside", "PascalScript",
                    "var i, j, n: Integer;\nbegin n := 0;\n for i := 1 to 5 do\n  try\n   if i = 2 then break;\n  finally\n"
                    "   for j := 1 to 3 do n := n + 1;\n  end;\n ShowMessage(n);\nend.",
                    "6\n"},
        ProgramCase{"exit_through_finally", "PascalScript",
                    "procedure P; begin try exit; finally ShowMessage('f1'); ShowMessage('f2'); end; ShowMessage('after'); end;\n"
                    "begin P; P; end.",
                    "f1\nf2\nf1\nf2\n"},
        ProgramCase{"except_continues_after_try", "PascalScript",
                    "begin try RaiseException('x'); ShowMessage('no'); except ShowMessage('caught'); end; ShowMessage('on'); end.",
                    "caught\non\n"},
        ProgramCase{"case_else_and_none", "PascalScript",
                    "begin case 5 of 1: ShowMessage('one'); else ShowMessage('else'); end;"
                    " case 5 of 1: ShowMessage('one'); end; case 'b' of 'a'..'c': ShowMessage('range'); end; end.",
                    "else\nrange\n"},
        ProgramCase{"cpp_switch_no_fall_through", "C++Script",
                    "int i;\n{ for (i = 1; i <= 3; i++) switch (i) { case 1: ShowMessage(\"a\"); case 2, 3: ShowMessage(\"b\"); default: ShowMessage(\"z\"); } }",
                    "a\nb\nb\n"},
        ProgramCase{"cpp_case_break_leaves_the_loop", "C++Script",
                    "int i;\n{ for (i = 1; i <= 5; i++) switch (i) { case 3: break; default: ShowMessage(i); } ShowMessage(\"end\"); }",
                    "1\n2\nend\n"},
        ProgramCase{"increments_and_compound_assignment", "C++Script",
                    "int x = 5; float f = 1;\n{ x++; x++; x--; x += 10; x -= 1; x *= 2; f /= 4; ShowMessage(x); ShowMessage(f); }",
                    "30\n0.25\n"},
        ProgramCase{"return_assigns_result_and_leaves", "JScript",
                    "function f(n) { if (n > 1) return \"big\"; return \"small\"; }\nShowMessage(f(5) + f(0));",
                    "bigsmall\n"},
        ProgramCase{"routine_called_before_its_text", "PascalScript",
                    "procedure A; begin B; end;\nprocedure B; begin ShowMessage('B'); end;\nbegin A; end.", "B\n"},
        ProgramCase{"implicit_variables_are_local", "JScript",
                    "function f() { t = 5; return t; }\nt = 1;\nShowMessage(f());\nShowMessage(t);", "5\n1\n"},
        ProgramCase{"address_of_gives_the_name", "PascalScript",
                    "procedure Handler; begin end;\nbegin ShowMessage(@Handler); end.", "Handler\n"},
        ProgramCase{"with_on_object", "PascalScript",
                    "var l: TStringList;\nbegin l := TStringList.Create;\n with l do begin Add('a'); Add('b'); ShowMessage(Count); end;"
                    " l.Free; end.",
                    "2\n"},
        ProgramCase{"with_on_variant_binds_late", "JScript",
                    "var l = new TStringList;\nwith (l) { Add(\"x\"); Add(\"y\"); ShowMessage(Text); }\nl.Free;", "x\r\ny\r\n\n"},
        ProgramCase{"late_bound_variant_members", "JScript",
                    "var l = new TStringList;\nl.Add(\"q\");\nShowMessage(l.Count + l.IndexOf(\"q\"));\ndelete l;", "1\n"},
        ProgramCase{"basic_strings_and_concat", "BasicScript",
                    "Dim s As String = \"a\"\ns = s & \"1\" & \"b\"\nShowMessage(s)\nShowMessage(\"a\"\"b\")\n", "a1b\nab\n"},
        ProgramCase{"basic_block_if_and_while", "BasicScript",
                    "Dim n = 0\nWhile n < 5\n  n += 1\nWend\nIf n = 5 Then\n  ShowMessage(\"five\")\nElseIf n = 6 Then\n"
                    "  ShowMessage(\"six\")\nElse\n  ShowMessage(\"other\")\nEnd If\nIf n > 1 Then ShowMessage(\"one line\")\n"
                    "Try\n  RaiseException(\"x\")\nCatch\n  ShowMessage(\"caught\")\nEnd Try\n",
                    "five\none line\ncaught\n"},
        ProgramCase{"basic_select", "BasicScript",
                    "For i = 1 To 3\n  Select Case i\n  Case 1:\n    ShowMessage(\"one\")\n  Case 2, 3:\n    ShowMessage(\"more\")\n"
                    "  End Select\nNext\n",
                    "one\nmore\nmore\n"},
        ProgramCase{"boolean_or_short_circuits_integer_or_is_bitwise", "PascalScript",
                    "function T: Boolean; begin ShowMessage('called'); Result := True; end;\n"
                    "begin if True or T then ShowMessage('short'); if False and T then ; ShowMessage(3 or 4); ShowMessage(6 and 3); end.",
                    "short\n7\n2\n"},
        ProgramCase{"cpp_typed_declarations_in_for", "C++Script",
                    "{\n  for (int i = 0; i < 3; i++) ShowMessage(i);\n  TStringList l = new TStringList();\n"
                    "  l.Add(\"a\"); ShowMessage(l.Count); delete l;\n  string s = \"x\"; s += \"y\"; ShowMessage(s[2]);\n}\n",
                    "0\n1\n2\n1\ny\n"},
        // script strings pass the program tree unchanged
        ProgramCase{"strings_survive_the_program_tree", "PascalScript",
                    "begin ShowMessage('Tom&#Jerry; &#176; &amp; <b> \"q\"'); ShowMessage(Length('&#65;')); end.",
                    "Tom&#Jerry; &#176; &amp; <b> \"q\"\n5\n"},
        ProgramCase{"basic_block_comment_and_rem", "BasicScript",
                    "x = 1 /\\ a block comment /\\ + 2\nREM whole line\nremainder = x rem trailing\nShowMessage(remainder)\n",
                    "3\n"},
        ProgramCase{"empty_statements", "PascalScript",
                    "begin ; ShowMessage(1); ; ShowMessage(2); end.", "1\n2\n"},
        ProgramCase{"integer_overflow_wraps", "PascalScript",
                    "var i: Integer; begin i := 2147483647; i := i + 1; ShowMessage(i); end.", "-2147483648\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct CompileErrorCase {
    const char* Name;
    const char* Language;
    const char* Text;
    const char* Message;
};

void PrintTo(const CompileErrorCase& c, std::ostream* os) { *os << c.Name; }

class CompileErrors : public ::testing::TestWithParam<CompileErrorCase> {};

TEST_P(CompileErrors, Refused)
{
    const CompileErrorCase& c = GetParam();
    auto r = RunScript(c.Language, c.Text);
    EXPECT_FALSE(r.Compiled);
    EXPECT_EQ(r.Error, c.Message);
    EXPECT_FALSE(r.ErrorPos.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, CompileErrors,
    ::testing::Values(
        CompileErrorCase{"redeclared", "PascalScript", "var a: Integer; a: String; begin end.", "Identifier redeclared: 'a'"},
        CompileErrorCase{"unknown_type", "PascalScript", "var a: TNoSuchThing; begin end.", "Unknown type: 'TNoSuchThing'"},
        CompileErrorCase{"incompatible_assignment", "PascalScript", "var i: Integer; begin i := 'x'; end.",
                         "Incompatible types: 'Integer', 'String'"},
        CompileErrorCase{"float_into_integer", "PascalScript", "var i: Integer; begin i := 7 / 2; end.",
                         "Incompatible types: 'Integer', 'Extended'"},
        CompileErrorCase{"incompatible_operands", "PascalScript", "begin ShowMessage('a' * 2); end.", "Incompatible types"},
        CompileErrorCase{"undeclared", "PascalScript", "begin x := 1; end.", "Undeclared identifier: 'x'"},
        CompileErrorCase{"class_required", "C++Script", "int i;\n{ i = new i; }", "Class type required"},
        CompileErrorCase{"index_required", "PascalScript", "var l: TStringList; begin ShowMessage(l.Names.Count); end.",
                         "Index required"},
        CompileErrorCase{"string_members", "PascalScript", "var s: String; begin s.Length; end.",
                         "Strings doesn't have properties or methods"},
        CompileErrorCase{"no_default_property", "PascalScript", "var o: TObject; begin ShowMessage(o[0]); end.",
                         "Class TObject does not have a default property"},
        CompileErrorCase{"array_required", "PascalScript", "var i: Integer; begin ShowMessage(i[1]); end.",
                         "Array type required"},
        CompileErrorCase{"variable_required", "PascalScript", "var v: Integer; begin Inc(v + 1); end.", "Variable required"},
        CompileErrorCase{"not_enough", "PascalScript", "begin ShowMessage(Copy('a', 1)); end.", "Not enough actual parameters"},
        CompileErrorCase{"too_many", "PascalScript", "begin ShowMessage(Pi(1)); end.", "Too many actual parameters"},
        CompileErrorCase{"constant_target", "PascalScript", "const C = 1; begin C := 2; end.",
                         "Left side cannot be assigned to"},
        CompileErrorCase{"for_variable", "PascalScript", "var s: String; begin for s := 1 to 2 do ; end.",
                         "For loop variable must be numeric variable"},
        // a stray break or continue would leave the rest of the routine skipped
        CompileErrorCase{"break_outside_loop", "PascalScript", "begin ShowMessage(1); break; ShowMessage(2); end.",
                         "BREAK or CONTINUE outside of a loop"},
        CompileErrorCase{"continue_in_routine", "C++Script", "void f() { continue; }\n{ f(); }",
                         "BREAK or CONTINUE outside of a loop"},
        // the walk leaves an operator without its operand in a failed loop pass
        CompileErrorCase{"dangling_operator", "PascalScript", "var n: Integer; begin ShowMessage(Copy('abc', 1, n - 2+)); end.",
                         "Expression expected"},
        CompileErrorCase{"basic_string_and_number", "BasicScript", "x = \"a\" & 1\n", "Incompatible types"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Language, RunTimeErrorsStopTheRun)
{
    auto r = RunScript("PascalScript", "var i: Integer; begin ShowMessage('a'); i := 0; ShowMessage(10 div i); ShowMessage('b'); end.");
    ASSERT_TRUE(r.Compiled);
    EXPECT_TRUE(r.RunError);
    EXPECT_EQ(r.Joined(), "a\n");
    r = RunScript("PascalScript", "var s: String; begin s := 'ab'; ShowMessage(s[3]); end.");
    EXPECT_TRUE(r.RunError);
    EXPECT_EQ(r.Error, "Index out of bounds (3)");
    r = RunScript("PascalScript", "begin RaiseException('my message'); end.");
    EXPECT_EQ(r.Error, "my message");
}

TEST(Language, LocalsKeepTheirValuesBetweenCalls)
{
    auto r = RunScript("PascalScript",
                       "function Counter: Integer; var n: Integer; begin n := n + 1; Result := n; end;\n"
                       "begin Counter; Counter; ShowMessage(Counter); end.");
    EXPECT_EQ(r.Joined(), "3\n");
}

}  // namespace

namespace {

// Recursion is bounded by the stack it really uses, not by a count of calls.
TEST(Limits, DeepRecursionRuns)
{
    auto r = RunScript("PascalScript",
                       "function D(n: Integer): Integer; begin if n = 0 then Result := 0 else Result := D(n - 1) + 1; end;\n"
                       "begin ShowMessage(D(6000)); end.");
    EXPECT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "6000\n");
}

struct Runaway {
    const char* Name;
    const char* Language;
    std::string Text;
    const char* Error;   // the message, or how it starts
};

void PrintTo(const Runaway& c, std::ostream* os) { *os << c.Name; }

// The longest sum a script may hold, with the recursive call as its first
// term: each level goes deep into the expression before it calls again.
std::string HeavySum()
{
    std::string s = "F(n + 1)";
    for (int i = 0; i < 9000; ++i) s += "+1";
    return s;
}

class RunawayRecursion : public ::testing::TestWithParam<Runaway> {};

// Runaway recursion ends with an error that says so; the stack never overflows.
TEST_P(RunawayRecursion, StopsWithAnError)
{
    const Runaway& c = GetParam();
    auto r = RunScript(c.Language, c.Text);
    ASSERT_TRUE(r.Compiled) << r.Error << " at " << r.ErrorPos;
    EXPECT_TRUE(r.RunError);
    EXPECT_EQ(r.Error.substr(0, strlen(c.Error)), c.Error);
    EXPECT_EQ(r.Joined(), "") << "nothing after the failed call ran";
    // the engine is whole afterwards
    EXPECT_EQ(RunScript("PascalScript", "begin ShowMessage(1 + 1); end.").Joined(), "2\n");
}

INSTANTIATE_TEST_SUITE_P(
    Limits, RunawayRecursion,
    ::testing::Values(
        Runaway{"pascal", "PascalScript",
                "function F(n: Integer): Integer; begin Result := F(n + 1); end;\nbegin F(0); ShowMessage('on'); end.",
                "Recursion too deep (in F)"},
        Runaway{"mutual", "PascalScript",
                "procedure A(n: Integer); begin B(n + 1); end;\nprocedure B(n: Integer); begin A(n + 1); end;\n"
                "begin A(0); ShowMessage('on'); end.",
                "Recursion too deep (in "},
        Runaway{"jscript", "JScript", "function f(n) { return 1 + f(n + 1); }\nf(0);\nShowMessage(\"on\");",
                "Recursion too deep (in f)"},
        Runaway{"heavy_levels", "PascalScript",
                "function F(n: Integer): Integer; begin Result := " + HeavySum() + "; end;\nbegin F(0); ShowMessage('on'); end.",
                "Recursion too deep (in F)"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Limits, DeeplyNestedTextIsRefused)
{
    std::string deep = "begin ShowMessage(" + std::string(3000, '(') + "1" + std::string(3000, ')') + "); end.";
    auto r = RunScript("PascalScript", deep);
    EXPECT_FALSE(r.Compiled);
    EXPECT_EQ(r.Error, "Program too complex");
    std::string longSum = "begin ShowMessage(1";
    for (int i = 0; i < 12000; ++i) longSum += "+1";
    r = RunScript("PascalScript", longSum + "); end.");
    EXPECT_FALSE(r.Compiled);
    EXPECT_EQ(r.Error, "Program too complex");
    std::string fine = "begin ShowMessage(" + std::string(50, '(') + "2" + std::string(50, ')') + " * 3); end.";
    EXPECT_EQ(RunScript("PascalScript", fine).Joined(), "6\n");
}

}  // namespace
