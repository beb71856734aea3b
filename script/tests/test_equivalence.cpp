// One algorithm written in each of the four languages gives one output.
// BasicScript has no reference implementation here, so it is checked
// against the other three.
#include "script_test_util.h"

namespace {

struct Equivalent {
    const char* Name;
    const char* Pascal;
    const char* Cpp;
    const char* JS;
    const char* Basic;
    const char* Output;
};

void PrintTo(const Equivalent& c, std::ostream* os) { *os << c.Name; }

class FourLanguages : public ::testing::TestWithParam<Equivalent> {};

TEST_P(FourLanguages, SameOutput)
{
    const Equivalent& c = GetParam();
    const std::pair<const char*, const char*> forms[] = {
        {"PascalScript", c.Pascal}, {"C++Script", c.Cpp}, {"JScript", c.JS}, {"BasicScript", c.Basic}};
    for (const auto& f : forms) {
        auto r = RunScript(f.first, f.second);
        ASSERT_TRUE(r.Compiled) << f.first << ": " << r.Error << " at " << r.ErrorPos;
        ASSERT_FALSE(r.RunError) << f.first << ": " << r.Error;
        EXPECT_EQ(r.Joined(), c.Output) << f.first;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Programs, FourLanguages,
    ::testing::Values(
        Equivalent{"primes",
                   "var n, d: Integer; prime: Boolean; s: String;\nbegin s := '';\n for n := 2 to 30 do begin\n"
                   "  prime := True; d := 2;\n  while d * d <= n do begin if n mod d = 0 then prime := False; d := d + 1; end;\n"
                   "  if prime then s := s + IntToStr(n) + ' ';\n end;\n ShowMessage(Trim(s));\nend.",
                   "int n, d; bool prime; string s;\n{ s = \"\";\n  for (n = 2; n <= 30; n++) {\n    prime = true; d = 2;\n"
                   "    while (d * d <= n) { if (n % d == 0) prime = false; d++; }\n    if (prime) s = s + IntToStr(n) + \" \";\n  }\n"
                   "  ShowMessage(Trim(s));\n}",
                   "var s = \"\";\nfor (n = 2; n <= 30; n++) {\n  prime = true; d = 2;\n"
                   "  while (d * d <= n) { if (n % d == 0) prime = false; d++; }\n  if (prime) s = s + IntToStr(n) + \" \";\n}\n"
                   "ShowMessage(Trim(s));",
                   "Dim s = \"\"\nFor n = 2 To 30\n  prime = True\n  d = 2\n  While d * d <= n\n    If n Mod d = 0 Then prime = False\n"
                   "    d += 1\n  Wend\n  If prime Then s = s & IntToStr(n) & \" \"\nNext\nShowMessage(Trim(s))\n",
                   "2 3 5 7 11 13 17 19 23 29\n"},
        Equivalent{"recursion_and_strings",
                   "function Rev(s: String): String;\nbegin if Length(s) <= 1 then Result := s\n"
                   " else Result := Rev(Copy(s, 2, Length(s) - 1)) + Copy(s, 1, 1); end;\n"
                   "function Fact(n: Integer): Integer; begin if n < 2 then Result := 1 else Result := n * Fact(n - 1); end;\n"
                   "begin ShowMessage(Rev('interpreter')); ShowMessage(Fact(12)); end.",
                   "string Rev(string s) { if (Length(s) <= 1) return s; return Rev(Copy(s, 2, Length(s) - 1)) + Copy(s, 1, 1); }\n"
                   "int Fact(int n) { if (n < 2) return 1; return n * Fact(n - 1); }\n"
                   "{ ShowMessage(Rev(\"interpreter\")); ShowMessage(Fact(12)); }",
                   "function Rev(s) { if (Length(s) <= 1) return s; return Rev(Copy(s, 2, Length(s) - 1)) + Copy(s, 1, 1); }\n"
                   "function Fact(n) { if (n < 2) return 1; return n * Fact(n - 1); }\n"
                   "ShowMessage(Rev(\"interpreter\")); ShowMessage(Fact(12));",
                   "Function Rev(s)\n  If Length(s) <= 1 Then Return s\n  Return Rev(Copy(s, 2, Length(s) - 1)) & Copy(s, 1, 1)\n"
                   "End Function\nFunction Fact(n)\n  If n < 2 Then Return 1\n  Return n * Fact(n - 1)\nEnd Function\n"
                   "ShowMessage(Rev(\"interpreter\"))\nShowMessage(Fact(12))\n",
                   "reterpretni\n479001600\n"},
        Equivalent{"case_loops_and_exceptions",
                   "var i: Integer; s: String;\nbegin s := '';\n for i := 1 to 6 do\n  case i of\n   1, 2: s := s + 'a';\n"
                   "   3..4: s := s + 'b';\n  else s := s + 'c';\n  end;\n ShowMessage(s);\n"
                   " try RaiseException('e'); except ShowMessage('caught'); end;\n i := 10;\n repeat i := i - 3; until i < 0;\n"
                   " ShowMessage(i);\nend.",
                   "int i; string s;\n{ s = \"\";\n  for (i = 1; i <= 6; i++)\n    switch (i) { case 1, 2: s = s + \"a\"; case 3..4: s = s + \"b\";"
                   " default: s = s + \"c\"; }\n  ShowMessage(s);\n  try { RaiseException(\"e\"); } except { ShowMessage(\"caught\"); }\n"
                   "  i = 10;\n  do i = i - 3; while (i >= 0);\n  ShowMessage(i);\n}",
                   "var s = \"\";\nfor (i = 1; i <= 6; i++)\n  switch (i) { case 1, 2: s = s + \"a\"; case 3..4: s = s + \"b\";"
                   " default: s = s + \"c\"; }\nShowMessage(s);\ntry { RaiseException(\"e\"); } except { ShowMessage(\"caught\"); }\n"
                   "i = 10;\ndo i = i - 3; while (i >= 0);\nShowMessage(i);",
                   "Dim s = \"\"\nFor i = 1 To 6\n  Select Case i\n  Case 1, 2:\n    s = s & \"a\"\n  Case 3..4:\n    s = s & \"b\"\n"
                   "  Case Else:\n    s = s & \"c\"\n  End Select\nNext\nShowMessage(s)\nTry\n  RaiseException(\"e\")\nCatch\n"
                   "  ShowMessage(\"caught\")\nEnd Try\ni = 10\nDo\n  i = i - 3\nLoop Until i < 0\nShowMessage(i)\n",
                   "aabbcc\ncaught\n-2\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
