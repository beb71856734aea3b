// Scripts come from stored layouts: whatever the text, compiling and running
// it ends with success or an error message, never a crash. Random token
// soups of each language are compiled, and run under a line budget.
#include "Exceptions.h"
#include "StringLists.h"

#include <cstdio>
#include "script_test_util.h"

#include <cstdlib>
#include <random>

namespace {

// More rounds for a longer search: QZ_SCRIPT_FUZZ_ROUNDS=20000.
int Rounds()
{
    const char* v = getenv("QZ_SCRIPT_FUZZ_ROUNDS");
    return v ? atoi(v) : 400;
}

// Another seed explores other texts: QZ_SCRIPT_FUZZ_SEED=n.
unsigned Seed(unsigned fallback)
{
    const char* v = getenv("QZ_SCRIPT_FUZZ_SEED");
    return v ? unsigned(atoi(v)) : fallback;
}

const std::vector<std::string> kTokens = {
    "begin", "end", "end.", ";", ":=", "=", "==", "(", ")", "[", "]", "{", "}", ",", ".", "..", "+", "-", "*", "/",
    "div", "mod", "and", "or", "not", "if", "then", "else", "for", "to", "do", "while", "repeat", "until", "case",
    "of", "try", "except", "finally", "with", "var", "const", "function", "procedure", "x", "y", "s", "l", "1",
    "0", "2.5", "'t'", "\"t\"", "#13", "<", ">", "<>", "<=", "TStringList", "Create", "Free", "Add", "Count",
    "ShowMessage", "Copy", "Length", "Result", "return", "break", "continue", "exit", "new", "delete", "Dim",
    "As", "Integer", "String", "Next", "Wend", "End", "If", "Then", "Sub", "Function", "\n", "\n", "'c", "//",
    "&&", "||", "!", "%", "++", "--", "in", "is", "nil", "Null", "@", "&", "_", "<x>", "$FF", "0x1F"};

std::string RandomText(std::mt19937& rng, int length)
{
    std::uniform_int_distribution<size_t> pick(0, kTokens.size() - 1);
    std::string text;
    for (int i = 0; i < length; ++i) text += kTokens[pick(rng)] + " ";
    return text;
}

// A few random edits: a cut, an inserted token or a changed character each.
void Mutate(std::string& text, std::mt19937& rng, int edits)
{
    for (int k = 0; k < edits; ++k) {
        size_t p = rng() % text.size();
        switch (rng() % 3) {
        case 0: text.erase(p, 1 + rng() % 6); break;
        case 1: text.insert(p, kTokens[rng() % kTokens.size()]); break;
        default: text[p] = char(32 + rng() % 95); break;
        }
    }
}

// Compiles the script and, when it compiles, runs it until it ends or has
// run budget lines; errors either way are expected. Answers whether it compiled.
bool CompileAndRun(TfsScript& s, int budget)
{
    bool ok = false;
    try {
        ok = s.Compile();
    } catch (const Exception&) {
    }
    if (!ok) return false;
    s.OnRunLine = [&](TfsScript*, const std::string&, const std::string&) {
        if (--budget <= 0) s.Terminate();
    };
    try {
        s.Execute();
    } catch (const std::exception&) {
    }
    return true;
}

TEST(Robustness, RandomTextNeverCrashes)
{
    EnsureEngine();
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    std::mt19937 rng(Seed(20261210));
    const char* languages[] = {"PascalScript", "C++Script", "BasicScript", "JScript"};
    const std::string prefixes[] = {"var x, y: Integer; s: String; l: TStringList;\nbegin\n", "int x, y; string s;\n{\n",
                                    "", ""};
    int compiled = 0;
    for (int round = 0; round < Rounds(); ++round) {
        int li = round % 4;
        TfsScript s(nullptr);
        s.SetSyntaxType(languages[li]);
        s.SetText(prefixes[li] + RandomText(rng, 4 + round % 40));
        if (getenv("QZ_SCRIPT_FUZZ_VERBOSE")) fprintf(stderr, "=== %s\n%s\n", languages[li], s.Lines()->Text().c_str());
        if (!CompileAndRun(s, 2000)) {
            EXPECT_FALSE(s.ErrorMessage.empty()) << "a refused script says why";
            continue;
        }
        ++compiled;
    }
    // a few of the soups are programs; the rest are refused with a message
    SUCCEED() << compiled << " compiled";
}

TEST(Robustness, MutatedProgramsNeverCrash)
{
    EnsureEngine();
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    const std::string base =
        "var l: TStringList; i: Integer; s: String;\nfunction F(n: Integer): Integer;\nbegin\n"
        "  if n < 2 then Result := n else Result := F(n - 1) + F(n - 2);\nend;\n"
        "begin\n  l := TStringList.Create;\n  for i := 1 to 5 do l.Add(IntToStr(F(i)));\n"
        "  s := l.Text; s[1] := 'x';\n  try l.Free; l.Add('y'); except ShowMessage('e'); end;\nend.";
    std::mt19937 rng(Seed(7));
    for (int round = 0; round < Rounds(); ++round) {
        std::string text = base;
        Mutate(text, rng, 1 + round % 4);
        TfsScript s(nullptr);
        s.SetText(text);
        if (getenv("QZ_SCRIPT_FUZZ_VERBOSE")) fprintf(stderr, "=== mutated\n%s\n", text.c_str());
        CompileAndRun(s, 5000);
    }
}

TEST(Robustness, MutatedSamplesOfEveryLanguageNeverCrash)
{
    EnsureEngine();
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    std::vector<std::pair<std::string, std::string>> bases;   // language, text
    for (const char* name : {"report.pas", "report.cpp", "report.js", "report.bas"}) {
        std::string path = std::string(QZ_TEST_DATA_DIR) + "/samples/" + name;
        FILE* f = fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr) << path;
        std::string text;
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
        fclose(f);
        std::string ext = path.substr(path.rfind('.'));
        bases.push_back({ext == ".pas" ? "PascalScript" : ext == ".cpp" ? "C++Script" : ext == ".js" ? "JScript"
                                                                                                  : "BasicScript",
                         text});
    }
    std::mt19937 rng(Seed(31));
    for (int round = 0; round < Rounds(); ++round) {
        const auto& base = bases[size_t(round) % bases.size()];
        std::string text = base.second;
        Mutate(text, rng, 1 + round % 4);
        TfsScript s(nullptr);
        s.SetSyntaxType(base.first);
        s.SetText(text);
        CompileAndRun(s, 5000);
    }
}

}  // namespace

#include "fs_xml.h"

namespace {
TEST(Robustness, RandomXmlNeverCrashes)
{
    const std::string pieces[] = {"<", ">", "/", "a", "b", " ", "x=\"1\"", "\"", "!--", "--", "<?xml v?>", "&#", ";", "\n"};
    std::mt19937 rng(Seed(99));
    for (int round = 0; round < Rounds(); ++round) {
        std::string text = round % 2 ? "<?xml version=\"1.0\"?>" : "";
        for (int k = 0; k < 5 + round % 60; ++k) text += pieces[rng() % std::size(pieces)];
        TfsXMLDocument doc;
        try {
            doc.LoadFromString(text);
            for (int i = 0; i < doc.Root()->Count(); ++i) doc.Root()->Items(i)->Prop("x");
        } catch (const Exception&) {
        }
    }
}
}  // namespace
