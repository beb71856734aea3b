// Scripts come from stored layouts: whatever the text, compiling and running
// it ends with success or an error message, never a crash. Random token
// soups and mutated programs of each language are compiled, and run under a
// line budget; every refusal and every failed run must say why, and each
// series must reach the outcomes it is meant to try (the fuzzers in fuzz/
// search further, without these checks of what ran).
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

// How one text fared.
struct Outcome {
    bool Compiled = false;
    bool Finished = false;    // ran to its end
    bool Stopped = false;     // ran out of its line budget
    std::string Error;        // the compile or run error
};

// Compiles the script and, when it compiles, runs it until it ends or has
// run budget lines. Compiling reports a refusal through the script's error
// message, never by raising; a run ends, stops at the budget or raises an
// error with a message. Each of these is asserted here.
Outcome CompileAndRun(TfsScript& s, int budget)
{
    Outcome o;
    try {
        o.Compiled = s.Compile();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "compiling raised " << e.what() << " for\n" << s.Lines()->Text();
        return o;
    }
    if (!o.Compiled) {
        o.Error = s.ErrorMessage;
        EXPECT_FALSE(o.Error.empty()) << "a refused script says why:\n" << s.Lines()->Text();
        EXPECT_NE(s.ErrorPosition.find(':'), std::string::npos)
            << "and where (" << o.Error << "):\n" << s.Lines()->Text();
        return o;
    }
    s.OnRunLine = [&](TfsScript*, const std::string&, const std::string&) {
        if (--budget <= 0) s.Terminate();
    };
    try {
        s.Execute();
        o.Stopped = budget <= 0;
        o.Finished = !o.Stopped;
    } catch (const std::exception& e) {
        o.Error = e.what();
        EXPECT_FALSE(o.Error.empty()) << "a failed run says why:\n" << s.Lines()->Text();
    }
    return o;
}

// What a series of texts came to: the soups and mutations must reach every
// outcome, or they test less than they seem to.
struct Tally {
    int Refused = 0, Finished = 0, Stopped = 0, Failed = 0;
    void Add(const Outcome& o)
    {
        if (!o.Compiled) ++Refused;
        else if (o.Finished) ++Finished;
        else if (o.Stopped) ++Stopped;
        else ++Failed;
    }
};

std::ostream& operator<<(std::ostream& os, const Tally& t)
{
    return os << t.Refused << " refused, " << t.Finished << " finished, " << t.Stopped << " stopped, " << t.Failed
              << " failed";
}

// The engine is whole after the texts: a plain program runs as ever.
void ExpectEngineWhole()
{
    auto r = RunScript("PascalScript", "var l: TStringList; begin l := TStringList.Create; l.Add('a');"
                                       " ShowMessage(l.Count + 1); l.Free; end.");
    EXPECT_EQ(r.Joined(), "2\n") << r.Error;
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
    Tally tally;
    for (int round = 0; round < Rounds(); ++round) {
        int li = round % 4;
        TfsScript s(nullptr);
        s.SetSyntaxType(languages[li]);
        s.SetText(prefixes[li] + RandomText(rng, 4 + round % 40));
        if (getenv("QZ_SCRIPT_FUZZ_VERBOSE")) fprintf(stderr, "=== %s\n%s\n", languages[li], s.Lines()->Text().c_str());
        tally.Add(CompileAndRun(s, 2000));
    }
    // most soups are refused; a few are programs that run
    EXPECT_GT(tally.Refused, 0) << tally;
    EXPECT_GT(tally.Finished + tally.Failed, 0) << tally;
    ExpectEngineWhole();
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
    {
        // the program itself runs to its end
        TfsScript s(nullptr);
        s.SetText(base);
        Outcome o = CompileAndRun(s, 5000);
        EXPECT_TRUE(o.Finished) << o.Error;
    }
    std::mt19937 rng(Seed(7));
    Tally tally;
    for (int round = 0; round < Rounds(); ++round) {
        std::string text = base;
        Mutate(text, rng, 1 + round % 4);
        TfsScript s(nullptr);
        s.SetText(text);
        if (getenv("QZ_SCRIPT_FUZZ_VERBOSE")) fprintf(stderr, "=== mutated\n%s\n", text.c_str());
        tally.Add(CompileAndRun(s, 5000));
    }
    EXPECT_GT(tally.Refused, 0) << tally;
    EXPECT_GT(tally.Finished, 0) << tally;
    ExpectEngineWhole();
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
    std::vector<Tally> tallies(bases.size());
    for (int round = 0; round < Rounds(); ++round) {
        const size_t which = size_t(round) % bases.size();
        std::string text = bases[which].second;
        Mutate(text, rng, 1 + (round / 4) % 4);
        TfsScript s(nullptr);
        s.SetSyntaxType(bases[which].first);
        s.SetText(text);
        tallies[which].Add(CompileAndRun(s, 5000));
    }
    for (size_t i = 0; i < bases.size(); ++i) {
        EXPECT_GT(tallies[i].Refused, 0) << bases[i].first << ": " << tallies[i];
        EXPECT_GT(tallies[i].Finished, 0) << bases[i].first << ": " << tallies[i];
    }
    ExpectEngineWhole();
}

}  // namespace

#include "fs_xml.h"

namespace {

std::string Shape(const TfsXMLItem* item)
{
    std::string r = item->Name() + "[" + item->Text() + "]";
    for (int i = 0; i < item->Count(); ++i) r += (i ? "," : "(") + Shape(item->Items(i));
    return item->Count() ? r + ")" : r;
}

// Random documents are refused with "Invalid file format" or read; a
// document read from well-formed elements writes out and reads back alike.
TEST(Robustness, RandomXmlIsReadOrRefused)
{
    const std::string pieces[] = {"<", ">", "/", "a", "b", " ", "x=\"1\"", "\"", "!--", "--", "<?xml v?>", "&#", ";", "\n",
                                  "<a>", "</a>", "<b/>"};
    std::mt19937 rng(Seed(99));
    int read = 0, refused = 0;
    for (int round = 0; round < Rounds(); ++round) {
        std::string text = round % 2 ? "<?xml version=\"1.0\"?>" : "";
        for (int k = 0; k < 5 + round % 60; ++k) text += pieces[rng() % std::size(pieces)];
        TfsXMLDocument doc;
        try {
            doc.LoadFromString(text);
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), fs_xml::SInvalidFileFormat) << text;
            ++refused;
            continue;
        }
        ++read;
        const std::string& name = doc.Root()->Name();
        if (name.empty() || name.find_first_of("/\n") != std::string::npos || doc.Root()->Text().find_first_of("/\n") != std::string::npos)
            continue;
        TfsXMLDocument again;
        again.LoadFromString(doc.SaveToString());
        EXPECT_EQ(Shape(again.Root()), Shape(doc.Root())) << text;
    }
    EXPECT_GT(read, 0);
    EXPECT_GT(refused, 0);
}

}  // namespace
