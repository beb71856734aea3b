// Expected texts of the CommaText, DelimitedText, Text and Names tables come
// from tests/golden/stringlists_golden.pas (see there how to rerun it).
// Deliberate differences from its output:
//  - Text ends every line with CR LF (the program's text files), where the
//    golden program on this platform prints LF;
//  - ValueFromIndex of a line without a separator is empty, like Values of
//    it, where the golden program returns the whole line.
#include "Exceptions.h"
#include "StringLists.h"
#include "Streams.h"
#include "TextUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> ItemsOf(const TStrings& l)
{
    std::vector<std::string> r;
    for (int i = 0; i < l.Count(); ++i) r.push_back(l[i]);
    return r;
}

void Fill(TStrings& l, const std::vector<std::string>& items)
{
    l.Clear();
    for (const auto& s : items) l.Add(s);
}

// An object that counts how often it is freed.
class TStrListProbe : public TObject {
    QZ_CLASS(TStrListProbe, TObject)
public:
    explicit TStrListProbe(int* freed) : FFreed(freed) {}
    ~TStrListProbe() override { ++*FFreed; }
private:
    int* FFreed;
};
QZ_CLASS_IMPL(TStrListProbe, TObject)

}  // namespace

// ---- text forms (golden) ------------------------------------------------------------

TEST(StringListText, CommaTextParses)
{
    struct Case {
        const char* text;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {"a,b,c", {"a", "b", "c"}},
        {"", {}},
        {"a b,c", {"a", "b", "c"}},
        {" a , b ", {"a", "b"}},
        {"\"a b\",c", {"a b", "c"}},
        {"\"a\"\"b\",c", {"a\"b", "c"}},
        {"\"a\"b,c", {"a", "b", "c"}},
        {"a\"b\",c", {"a\"b\"", "c"}},
        {"a,,b", {"a", "", "b"}},
        {",", {"", ""}},
        {"a,", {"a", ""}},
        {",a", {"", "a"}},
        {"\"unterminated", {"unterminated"}},
        {"\"\"", {""}},
        {"\"\",\"\"", {"", ""}},
        {"a\tb", {"a", "b"}},
        {"\"x,y\" z", {"x,y", "z"}},
        {"  ", {}},
        {"张三 李四,\"王 五\"", {"张三", "李四", "王 五"}},
    };
    for (const Case& c : cases) {
        TStringList l;
        l.Add("old");
        l.SetCommaText(c.text);
        EXPECT_EQ(ItemsOf(l), c.items) << c.text;
    }
}

TEST(StringListText, CommaTextQuotesWhatNeedsIt)
{
    struct Case {
        std::vector<std::string> items;
        const char* text;
    };
    const Case cases[] = {
        {{}, ""},
        {{""}, "\"\""},
        {{"", ""}, ","},
        {{"a", "b"}, "a,b"},
        {{"a b", "c"}, "\"a b\",c"},
        {{"a,b"}, "\"a,b\""},
        {{"a\"b"}, "\"a\"\"b\""},
        {{"\"a\""}, "\"\"\"a\"\"\""},
        {{"a", "", "b"}, "a,,b"},
        {{"tab\tx"}, "\"tab\tx\""},
        {{"a=b c"}, "\"a=b c\""},
        {{"a'b"}, "a'b"},
        {{"科目一", "科目 二"}, "科目一,\"科目 二\""},
    };
    for (const Case& c : cases) {
        TStringList l;
        Fill(l, c.items);
        EXPECT_EQ(l.CommaText(), c.text);
        // and back again
        TStringList back;
        back.SetCommaText(l.CommaText());
        EXPECT_EQ(ItemsOf(back), c.items) << c.text;
    }
}

TEST(StringListText, CommaTextUnderStrictDelimiter)
{
    struct Case {
        const char* text;
        std::vector<std::string> parsed, items;
        const char* joined;
    };
    const Case cases[] = {
        {"a b, c", {"a b", " c"}, {"a b", "c"}, "\"a b\",c"},
        {"\"a b\",c", {"a b", "c"}, {"a,b", ""}, "\"a,b\","},
    };
    for (const Case& c : cases) {
        TStringList l;
        l.SetStrictDelimiter(true);
        l.SetCommaText(c.text);
        EXPECT_EQ(ItemsOf(l), c.parsed) << c.text;
        Fill(l, c.items);
        EXPECT_EQ(l.CommaText(), c.joined);
    }
}

TEST(StringListText, DelimitedTextParses)
{
    struct Case {
        const char* text;
        char delimiter, quote;
        bool strict;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {"a;b c;d", ';', '"', false, {"a", "b", "c", "d"}},
        {"a;b c;d", ';', '"', true, {"a", "b c", "d"}},
        {" a ; b ", ';', '"', true, {" a ", " b "}},
        {"'a;b';c", ';', '\'', false, {"a;b", "c"}},
        {"'a''b';c", ';', '\'', true, {"a'b", "c"}},
        {"a|b||c", '|', '"', true, {"a", "b", "", "c"}},
        {"\"a|b\"|c", '|', '"', true, {"a|b", "c"}},
        {"", ';', '"', true, {}},
        {";", ';', '"', true, {"", ""}},
    };
    for (const Case& c : cases) {
        TStringList l;
        l.SetDelimiter(c.delimiter);
        l.SetQuoteChar(c.quote);
        l.SetStrictDelimiter(c.strict);
        l.SetDelimitedText(c.text);
        EXPECT_EQ(ItemsOf(l), c.items) << c.text << (c.strict ? " strict" : "");
    }
}

TEST(StringListText, DelimitedTextJoins)
{
    struct Case {
        std::vector<std::string> items;
        char delimiter, quote;
        bool strict;
        const char* text;
    };
    const Case cases[] = {
        {{"a", "b c", "d;e"}, ';', '"', false, "a;\"b c\";\"d;e\""},
        {{"a", "b c", "d;e"}, ';', '"', true, "a;b c;\"d;e\""},
        {{"a'b", "c"}, ';', '\'', false, "'a''b';c"},
        {{"a'b", "c"}, ';', '\'', true, "'a''b';c"},
        {{"x\"y", "z"}, '|', '"', true, "\"x\"\"y\"|z"},
        {{""}, ';', '"', true, "\"\""},
        {{"", "a"}, ';', '"', true, ";a"},
    };
    for (const Case& c : cases) {
        TStringList l;
        l.SetDelimiter(c.delimiter);
        l.SetQuoteChar(c.quote);
        l.SetStrictDelimiter(c.strict);
        Fill(l, c.items);
        EXPECT_EQ(l.DelimitedText(), c.text);
    }
    // CommaText ignores Delimiter and QuoteChar.
    TStringList l;
    l.SetDelimiter(';');
    l.SetQuoteChar('\'');
    Fill(l, {"a b", "c"});
    EXPECT_EQ(l.CommaText(), "\"a b\",c");
    EXPECT_EQ(l.DelimitedText(), "'a b';c");
}

TEST(StringListText, TextSplitsAnyLineBreakAndJoinsWithCrLf)
{
    struct Case {
        const char* text;
        std::vector<std::string> items;
        const char* joined;
    };
    const Case cases[] = {
        {"", {}, ""},
        {"a", {"a"}, "a\r\n"},
        {"a\r\nb", {"a", "b"}, "a\r\nb\r\n"},
        {"a\nb", {"a", "b"}, "a\r\nb\r\n"},
        {"a\rb", {"a", "b"}, "a\r\nb\r\n"},
        {"a\r\n", {"a"}, "a\r\n"},
        {"\r\n", {""}, "\r\n"},
        {"a\r\n\r\nb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
        {"a\n\rb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
        {"a\r\r\nb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
        {"驾校\r\n学员", {"驾校", "学员"}, "驾校\r\n学员\r\n"},
    };
    for (const Case& c : cases) {
        TStringList l;
        l.SetText(c.text);
        EXPECT_EQ(ItemsOf(l), c.items) << c.text;
        EXPECT_EQ(l.Text(), c.joined);
    }
}

// ---- name=value pairs --------------------------------------------------------------

TEST(StringListValues, NamesAndValueFromIndex)
{
    struct Case {
        const char* line;
        const char* name;
        const char* value;
    };
    const Case cases[] = {
        {"a=1", "a", "1"}, {"a=", "a", ""},      {"=x", "", "x"},
        {"noeq", "", ""},  {"a=b=c", "a", "b=c"}, {"", "", ""},
        {"姓名=张三", "姓名", "张三"},
    };
    for (const Case& c : cases) {
        TStringList l;
        l.Add(c.line);
        EXPECT_EQ(l.Names(0), c.name) << c.line;
        EXPECT_EQ(l.ValueFromIndex(0), c.value) << c.line;
    }
}

TEST(StringListValues, LookupSetAndDelete)
{
    TStringList l;
    l.SetStrings({"Host=local", "noeq", "Port=80", "port=81"});
    EXPECT_EQ(l.Values("HOST"), "local") << "names compare ignoring case";
    EXPECT_EQ(l.Values("port"), "80") << "the first of two equal names wins";
    EXPECT_EQ(l.IndexOfName("PORT"), 2);
    EXPECT_EQ(l.Values("noeq"), "");
    EXPECT_EQ(l.IndexOfName("noeq"), -1);
    EXPECT_EQ(l.Values("missing"), "");

    l.SetValues("port", "8080");
    EXPECT_EQ(l[2], "port=8080") << "the line is rewritten under the given name";
    l.SetValues("User", "sa");
    EXPECT_EQ(l[4], "User=sa");
    l.SetValues("host", "");
    EXPECT_EQ(ItemsOf(l), (std::vector<std::string>{"noeq", "port=8080", "port=81", "User=sa"}));
    l.SetValues("absent", "");
    EXPECT_EQ(l.Count(), 4);

    l.SetValueFromIndex(3, "admin");
    EXPECT_EQ(l[3], "User=admin");
    l.SetValueFromIndex(-1, "x");
    EXPECT_EQ(l[4], "=x");
    l.SetValueFromIndex(0, "");
    EXPECT_EQ(l[0], "port=8080");

    l.SetNameValueSeparator(':');
    l.SetText("a:1\r\nb=2:3");
    EXPECT_EQ(l.Values("a"), "1");
    EXPECT_EQ(l.Names(1), "b=2");
    EXPECT_EQ(l.Values("b"), "");
}

// ---- sorted lists ----------------------------------------------------------------------

TEST(StringListSorted, ChineseFollowsGbkOrder)
{
    TStringList l;
    // Code-point order would put 张 first and 阿 last; GBK order is pinyin.
    l.SetStrings({"赵六", "张三", "王五", "李四", "阿姨", "b", "A"});
    l.SetSorted(true);
    EXPECT_EQ(ItemsOf(l), (std::vector<std::string>{"A", "b", "阿姨", "李四", "王五", "张三", "赵六"}));
    int i = -1;
    EXPECT_TRUE(l.Find("王五", i));
    EXPECT_EQ(i, 4);
    EXPECT_FALSE(l.Find("孙七", i));   // sun: between 李 (li) and 王 (wang)
    EXPECT_EQ(i, 4);
    EXPECT_EQ(l.Add("孙七"), 4);
    EXPECT_EQ(l.IndexOf("孙七"), 4);
}

TEST(StringListSorted, DuplicatesAndCase)
{
    TStringList l;
    l.SetSorted(true);
    l.Add("b");
    l.Add("a");
    EXPECT_EQ(l.Add("B"), 1) << "dupIgnore answers the existing line";
    EXPECT_EQ(ItemsOf(l), (std::vector<std::string>{"a", "b"}));

    l.SetDuplicates(dupError);
    try {
        l.Add("A");
        FAIL() << "duplicate accepted";
    } catch (const EStringListError& e) {
        EXPECT_STREQ(e.what(), "String list does not allow duplicates");
    }
    EXPECT_EQ(l.Count(), 2);

    l.SetDuplicates(dupAccept);
    int obj1 = 0;
    TStrListProbe first(&obj1);
    l.AddObject("B", &first);
    l.Add("b");
    l.Add("c");
    int i = -1;
    EXPECT_TRUE(l.Find("b", i));
    EXPECT_EQ(i, 1) << "Find answers the first of equal lines";
    EXPECT_EQ(l.Count(), 5);

    TStringList cs;
    cs.SetCaseSensitive(true);
    cs.SetSorted(true);
    cs.Add("a");
    cs.Add("A");
    EXPECT_EQ(cs.Count(), 2);
    EXPECT_NE(cs.IndexOf("a"), cs.IndexOf("A"));
    EXPECT_GE(cs.IndexOf("a"), 0);
    EXPECT_GE(cs.IndexOf("A"), 0);
    EXPECT_EQ(cs.IndexOf("b"), -1);
}

TEST(StringListSorted, ChangingCaseSensitivityResorts)
{
    TStringList l;
    l.SetStrings({"b", "B", "a", "A"});
    l.SetCaseSensitive(true);
    l.SetSorted(true);
    l.SetCaseSensitive(false);
    // Under the folding order the list must still be searchable.
    for (const char* s : {"a", "A", "b", "B"}) EXPECT_GE(l.IndexOf(s), 0) << s;
    for (int i = 1; i < l.Count(); ++i) EXPECT_LE(AnsiCompareText(l[i - 1], l[i]), 0);
}

TEST(StringListSorted, EditsThatWouldBreakTheOrderAreRefusedWithoutLoss)
{
    int freed = 0;
    TStringList l(true);
    l.SetSorted(true);
    l.AddObject("a", new TStrListProbe(&freed));
    l.AddObject("b", new TStrListProbe(&freed));
    auto expectRefused = [&](auto op) {
        try {
            op();
            ADD_FAILURE() << "allowed on a sorted list";
        } catch (const EStringListError& e) {
            EXPECT_STREQ(e.what(), "Operation not allowed on sorted list");
        }
    };
    expectRefused([&] { l.Insert(0, "z"); });
    expectRefused([&] { l.InsertObject(0, "z", nullptr); });
    expectRefused([&] { l.SetStrings(0, "z"); });
    expectRefused([&] { l.Move(0, 1); });
    EXPECT_EQ(ItemsOf(l), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(freed, 0);
    ASSERT_NE(l.Objects(0), nullptr);
}

TEST(StringListSorted, SortAndCustomSort)
{
    TStringList l;
    l.SetStrings({"ccc", "a", "bb", "dd", "e"});
    l.CustomSort([](TStringList* list, int i, int j) {
        return int(list->Strings(i).size()) - int(list->Strings(j).size());
    });
    EXPECT_EQ(ItemsOf(l), (std::vector<std::string>{"a", "e", "bb", "dd", "ccc"}))
        << "equal keys keep their order";
    l.Sort();
    EXPECT_EQ(ItemsOf(l), (std::vector<std::string>{"a", "bb", "ccc", "dd", "e"}));
    EXPECT_FALSE(l.Sorted());
}

// ---- events -------------------------------------------------------------------------------

TEST(StringListEvents, ChangeEventsAndUpdateBrackets)
{
    TStringList l;
    std::string log;
    l.OnChanging = [&](TObject* sender) {
        EXPECT_EQ(sender, &l);
        log += '<';
    };
    l.OnChange = [&](TObject*) { log += '>'; };

    struct Step {
        const char* what;
        std::function<void()> op;
        const char* log;
    };
    const Step steps[] = {
        {"add", [&] { l.Add("x"); }, "<>"},
        {"put", [&] { l.SetStrings(0, "y"); }, "<>"},
        {"object", [&] { l.SetObjects(0, nullptr); }, "<>"},
        {"insert", [&] { l.Insert(0, "w"); }, "<>"},
        {"exchange", [&] { l.Exchange(0, 1); }, "<>"},
        {"move", [&] { l.Move(0, 1); }, "<>"},
        {"sort", [&] { l.Sort(); }, "<>"},
        {"delete", [&] { l.Delete(0); }, "<>"},
        {"clear", [&] { l.Clear(); }, "<>"},
        {"clear empty", [&] { l.Clear(); }, ""},
        {"text", [&] { l.SetText("1\r\n2\r\n3"); }, "<>"},
        {"comma text", [&] { l.SetCommaText("1,2,3"); }, "<>"},
        {"assign", [&] {
             TStringList src;
             src.Add("q");
             l.Assign(&src);
         }, "<>"},
        {"bracket", [&] {
             l.BeginUpdate();
             l.BeginUpdate();
             l.Add("1");
             l.Add("2");
             EXPECT_EQ(l.UpdateCount(), 2);
             l.EndUpdate();
             EXPECT_EQ(log, "<");
             l.EndUpdate();
         }, "<>"},
        {"failed index", [&] { EXPECT_THROW(l.Delete(99), EStringListError); }, ""},
    };
    for (const Step& s : steps) {
        log.clear();
        s.op();
        EXPECT_EQ(log, s.log) << s.what;
    }
    l.EndUpdate();   // unbalanced: ignored
    EXPECT_EQ(l.UpdateCount(), 0);
}

// ---- objects and ownership ----------------------------------------------------------------

TEST(StringListObjects, OwnedObjectsAreFreedWhenTheirLineGoes)
{
    int freed = 0;
    {
        TStringList l(true);
        for (const char* s : {"a", "b", "c", "d"}) l.AddObject(s, new TStrListProbe(&freed));
        TObject* c = l.Objects(2);
        EXPECT_EQ(l.IndexOfObject(c), 2);
        l.Move(2, 0);
        l.Exchange(1, 3);
        EXPECT_EQ(freed, 0) << "moving keeps objects alive";
        EXPECT_EQ(l.Objects(0), c);
        l.SetStrings(0, "c2");
        EXPECT_EQ(l.Objects(0), c) << "replacing the text keeps the object";
        l.Delete(0);
        EXPECT_EQ(freed, 1);
        l.Clear();
        EXPECT_EQ(freed, 4);
        l.AddObject("e", new TStrListProbe(&freed));
    }
    EXPECT_EQ(freed, 5);

    TStrListProbe kept(&freed);
    {
        TStringList l;   // not owning
        l.AddObject("k", &kept);
        l.Delete(0);
        l.AddObject("k", &kept);
    }
    EXPECT_EQ(freed, 5);
}

TEST(StringListObjects, AssignAddStringsAndEquals)
{
    int freed = 0;
    TStrListProbe o(&freed);
    TStringList src;
    src.SetDelimiter(';');
    src.AddObject("x", &o);
    src.Add("y");
    TStringList dst;
    dst.Add("old");
    dst.Assign(&src);
    EXPECT_EQ(ItemsOf(dst), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(dst.Objects(0), &o);
    EXPECT_EQ(dst.Delimiter(), ';');
    EXPECT_TRUE(dst.Equals(&src));
    dst.AddStrings(&dst);
    EXPECT_EQ(ItemsOf(dst), (std::vector<std::string>{"x", "y", "x", "y"}));
    EXPECT_FALSE(dst.Equals(&src));
    EXPECT_FALSE(dst.Equals(nullptr));

    // A sorted list that refuses duplicates keeps its lines when Assign fails.
    TStringList strict;
    strict.SetSorted(true);
    strict.SetDuplicates(dupError);
    strict.Add("keep");
    EXPECT_THROW(strict.Assign(&dst), EStringListError);
    EXPECT_EQ(ItemsOf(strict), (std::vector<std::string>{"keep"}));

    EXPECT_THROW(dst.Assign(nullptr), EConvertError);
}

TEST(StringListObjects, CreatedByClassRecordOwnsNothing)
{
    // Creating by name hands the owner to constructors that take one.
    TComponent owner(nullptr);
    std::unique_ptr<TObject> o(TStringList::StaticClass()->Create(&owner));
    auto* l = DynamicCast<TStringList>(o.get());
    ASSERT_NE(l, nullptr);
    EXPECT_FALSE(l->OwnsObjects());
    EXPECT_EQ(l->ClassName(), "TStringList");
    EXPECT_TRUE(l->InheritsFrom(TStrings::StaticClass()));
}

TEST(StringListObjects, IndexErrors)
{
    TStringList l;
    l.SetStrings({"a", "b"});
    const std::function<void()> ops[] = {
        [&] { l.Strings(5); },        [&] { l.SetStrings(-1, "x"); },
        [&] { l.Objects(5); },        [&] { l.SetObjects(5, nullptr); },
        [&] { l.Delete(5); },         [&] { l.Insert(5, "x"); },
        [&] { l.Exchange(0, 5); },    [&] { l.Move(5, 0); },
        [&] { l.Names(5); },          [&] { l.ValueFromIndex(5); },
    };
    for (const auto& op : ops) {
        try {
            op();
            ADD_FAILURE() << "no error";
        } catch (const EStringListError& e) {
            std::string m = e.what();
            EXPECT_TRUE(m == "List index out of bounds (5)" || m == "List index out of bounds (-1)") << m;
        }
    }
    EXPECT_EQ(ItemsOf(l), (std::vector<std::string>{"a", "b"}));
    l.Insert(2, "c");   // inserting at the end is allowed
    EXPECT_EQ(l[2], "c");
}

// ---- 8-bit text in streams and files --------------------------------------------------------

TEST(StringListFiles, StreamsHoldGbkWithCrLf)
{
    TStringList l;
    l.SetStrings({"驾校", "abc"});
    TMemoryStream ms;
    l.SaveToStream(&ms);
    // 驾 = BC DD, 校 = D0 A3 in GBK
    EXPECT_EQ(std::string(static_cast<char*>(ms.Memory()), size_t(ms.Size())),
              "\xBC\xDD\xD0\xA3\r\nabc\r\n");

    TStringStream gbk("x\n\xD1\xA7\xD4\xB1\r\n");   // 学员
    gbk.SetPosition(2);                               // loads from the position on
    TStringList back;
    back.LoadFromStream(&gbk);
    EXPECT_EQ(ItemsOf(back), (std::vector<std::string>{"学员"}));

    TStringStream utf8("\xEF\xBB\xBF学员\r\n科目");
    back.LoadFromStream(&utf8);
    EXPECT_EQ(ItemsOf(back), (std::vector<std::string>{"学员", "科目"}));

    // A stream that cannot tell its size (a pipe) is read to its end.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    {
        THandleStream w(fds[1]);
        w.WriteString("a\r\n\xBF\xC6\xC4\xBF");   // 科目
        ::close(fds[1]);
    }
    THandleStream r(fds[0]);
    back.LoadFromStream(&r);
    ::close(fds[0]);
    EXPECT_EQ(ItemsOf(back), (std::vector<std::string>{"a", "科目"}));
}

TEST(StringListFiles, FileRoundTripAndErrors)
{
    char tmpl[] = "/tmp/qz-strlist-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    const std::string name = dir + "/list.txt";

    TStringList l;
    l.SetStrings({"姓名=张三", "", "电话=123"});
    l.SaveToFile(name);
    TStringList back;
    back.LoadFromFile(name);
    EXPECT_TRUE(back.Equals(&l));
    EXPECT_EQ(back.Values("电话"), "123");

    try {
        back.LoadFromFile(dir + "/missing.txt");
        ADD_FAILURE() << "loaded a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + dir + "/missing.txt\". No such file or directory");
    }
    EXPECT_TRUE(back.Equals(&l)) << "a failed load keeps the lines";
    EXPECT_THROW(l.SaveToFile(dir + "/no/such.txt"), EFCreateError);
    std::filesystem::remove_all(dir);
}
