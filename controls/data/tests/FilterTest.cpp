#include "DateUtils.h"
#include "HostServices.h"
#include "Streams.h"
#include "SysUtils.h"
#include "cxDataUtils.h"
#include "cxFilter.h"
#include "cxFilterConsts.h"
#include "cxLike.h"
#include "cxVariants.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

struct TItem : TObject {
    TItem(int id, std::string name) : ID(id), Name(std::move(name)) {}
    int ID;
    std::string Name;
};

using TRow = std::map<int, Variant>;

class TTestCriteria;

class TTestCriteriaItem : public TcxFilterCriteriaItem {
public:
    using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
    void GetDataValue(int record, Variant& value) override;
    std::string GetFieldName() override { return ItemLink() ? static_cast<TItem*>(ItemLink())->Name : ""; }
    std::string GetFieldCaption() override { return GetFieldName(); }
};

class TTestCriteria : public TcxFilterCriteria {
public:
    std::vector<TItem*> Items;
    std::vector<TRow> Rows;
    TcxFilterCriteriaItem* CreateItem(TcxFilterCriteriaItemList* parent, TObject* link, TcxFilterOperatorKind kind,
                                      const Variant& value, const std::string& display) override
    {
        return new TTestCriteriaItem(parent, link, kind, value, display);
    }
    int GetIDByItemLink(TObject* link) override { return link ? static_cast<TItem*>(link)->ID : -1; }
    TObject* GetItemLinkByID(int id) override
    {
        for (auto* i : Items)
            if (i->ID == id) return i;
        return nullptr;
    }
};

void TTestCriteriaItem::GetDataValue(int record, Variant& value)
{
    auto* c = static_cast<TTestCriteria*>(GetCriteria());
    auto* item = static_cast<TItem*>(ItemLink());
    value = Null();
    if (!item) return;
    auto it = c->Rows[size_t(record)].find(item->ID);
    if (it != c->Rows[size_t(record)].end()) value = it->second;
}

std::string Hex(TStream& s)
{
    std::string r;
    char buf[4];
    auto* m = static_cast<const uint8_t*>(static_cast<TMemoryStream&>(s).Memory());
    for (int64_t i = 0; i < s.Size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02X ", m[i]);
        r += buf;
    }
    if (!r.empty()) r.pop_back();
    return r;
}

struct CriteriaTest : ::testing::Test {
    TItem name{3, "Name"}, age{4, "Age"}, grade{5, "Grade"}, born{6, "Born"};
    TTestCriteria c;
    void SetUp() override { c.Items = {&name, &age, &grade, &born}; }
    std::string Write()
    {
        TMemoryStream ms;
        c.WriteData(&ms);
        return Hex(ms);
    }
    void Read(const std::string& bytes)
    {
        TMemoryStream ms;
        ms.WriteString(bytes);
        ms.SetPosition(0);
        c.ReadData(&ms);
    }
};

}  // namespace

TEST(cxLike, MatchesPatterns)
{
    struct Case {
        const char* text;
        const char* pattern;
        bool match;
    } cases[] = {
        {"a", "a%", true},   {"abc", "a%", true},  {"", "%", true},     {"a", "a%%", false},
        {"abc", "%b%", true}, {"abc", "_b%", true}, {"bc", "_b%", false}, {"ac", "a_c", false},
        {"ABC", "abc", false}, {"王五", "王%", true}, {"王五", "王__", true}, {"王五", "王_", false},
    };
    for (const auto& k : cases)
        EXPECT_EQ(cxLike::LikeMatch(k.text, k.pattern, '%', '_'), k.match) << k.text << " LIKE " << k.pattern;
}

TEST(cxLike, TrimLikeWildcards)
{
    struct Case {
        const char* pattern;
        int kind;
        const char* rest;
    } cases[] = {{"%abc%", 3, "abc"}, {"%%abc", 2, "abc"}, {"abc%", 1, "abc"}, {"abc", 0, "abc"}, {"%", 0, "%"}};
    for (const auto& k : cases) {
        std::string p = k.pattern;
        EXPECT_EQ(cxLike::TrimLikeWildcards(p, '%'), k.kind) << k.pattern;
        EXPECT_EQ(p, k.rest);
    }
}

TEST_F(CriteriaTest, GoldenStreamBytes)
{
    EXPECT_EQ(Write(), "FF FF FF FF 00 00 00 00 00");
    c.AddItem(nullptr, &name, foEqual, Variant("Wang"), "Wang");
    EXPECT_EQ(Write(),
              "FF FF FF FF 00 01 00 00 00 00 00 04 00 00 00 57 61 6E 67 03 00 00 00 06 04 57 61 6E 67");
}

TEST_F(CriteriaTest, NestedTreeRoundTrips)
{
    c.Root()->SetBoolOperatorKind(fboOr);
    c.AddItem(nullptr, &age, foBetween, cxVariants::VarBetweenArray(Variant(18), Variant(30)), "18;30");
    TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboNotAnd);
    c.AddItem(g, &grade, foInList, VarArrayOf({1, 2, 3}), "1;2;3");
    c.AddItem(g, &name, foEqual, Null(), "");
    std::string before = Write();
    std::string text = c.GetFilterText();
    TMemoryStream ms;
    c.WriteData(&ms);
    TTestCriteria other;
    other.Items = c.Items;
    ms.SetPosition(0);
    other.ReadData(&ms);
    TMemoryStream ms2;
    other.WriteData(&ms2);
    EXPECT_EQ(Hex(ms2), before);
    EXPECT_EQ(other.GetFilterText(), text);
    EXPECT_EQ(text, "(Age BETWEEN 18 AND 30) OR (NOT ((Grade IN (1, 2, 3)) AND (Name = NULL)))");
}

TEST_F(CriteriaTest, AnArrayToCompareWithRoundTrips)
{
    // The value of a lookup on two key fields is an array of both keys.
    c.AddItem(nullptr, &grade, foEqual, VarArrayOf({1, 2}), "1, 2");
    std::string before = Write();
    TTestCriteria other;
    other.Items = c.Items;
    other.Assign(&c);
    TMemoryStream ms;
    other.WriteData(&ms);
    EXPECT_EQ(Hex(ms), before);
}

TEST_F(CriteriaTest, ReadsDataWithoutMarker)
{
    // Child count 1, then one condition "greater" on Age (ID 4) with value 18.
    Read(std::string("\x01\x00\x00\x00\x00\x04\x00\x00\x00\x00\x04\x00\x00\x00\x02\x12", 16));
    EXPECT_EQ(c.Root()->BoolOperatorKind(), fboAnd);
    EXPECT_EQ(c.GetFilterText(), "(Age > 18)");
}

TEST_F(CriteriaTest, UnknownIDGivesAnEmptyLink)
{
    Read(std::string("\xFF\xFF\xFF\xFF\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x63\x00\x00\x00\x02\x01", 21));
    ASSERT_EQ(c.Root()->Count(), 1);
    auto* item = static_cast<TcxFilterCriteriaItem*>(c.Root()->Items(0));
    EXPECT_EQ(item->ItemLink(), nullptr);
    c.Rows = {TRow{}};
    EXPECT_FALSE(c.RecordPasses(0));   // Null does not equal 1
}

TEST_F(CriteriaTest, MalformedStreamLeavesTheFilterAsItWas)
{
    c.AddItem(nullptr, &name, foEqual, Variant("Wang"), "Wang");
    std::string good = Write();
    int changes = 0;
    c.OnChanged = [&](TObject*) { ++changes; };
    const std::string bad[] = {
        std::string("\xFF\xFF\xFF\xFF\x00\x02\x00\x00\x00\x00\x00", 11),                   // truncated
        std::string("\xFF\xFF\xFF\xFF\x00\x01\x00\x00\x00\x00\x00\xFF\xFF\x00\x00", 15),   // length past the end
        std::string("\xFF\xFF\xFF\xFF\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00\x07", 20),   // bad tag
        std::string("\xFF\xFF\xFF\xFF\x00\x01\x00\x00\x00\x00\x1F", 11),                   // operator kind 31
        std::string("\xFF\xFF\xFF\xFF\x09\x00\x00\x00\x00", 9),                            // root operator 9
        std::string("\xFF\xFF\xFF\xFF\x00\xFF\xFF\xFF\x7F", 9),                            // child count past the end
        std::string("\xFF\xFF\xFF\xFF\x00\x01\x00\x00\x00\x00\x06\x00\x00\x00\x00\x03\x00\x00\x00"
                    "\x01\x02\x01\x02\x01", 24),                                                 // LIKE against an array
        std::string("\xFF\xFF\xFF\xFF\x00\x01\x00\x00\x00\x00\x0A\x00\x00\x00\x00\x03\x00\x00\x00"
                    "\x01\x02\x01\x01\x02\x00", 25),                                             // list holding a list
        std::string("\xFF\xFF\xFF\xFF\x00\x01\x00\x00\x00\x00\x08\x00\x00\x00\x00\x03\x00\x00\x00"
                    "\x01\x02\x03\x02\x01\x02\x02\x02\x03", 28),                             // range of three bounds
    };
    for (const auto& b : bad) {
        EXPECT_THROW(Read(b), EReadError) << b.size();
        EXPECT_EQ(Write(), good);
    }
    EXPECT_EQ(changes, 0);
}

TEST_F(CriteriaTest, ExpressionTexts)
{
    c.Root()->SetBoolOperatorKind(fboOr);
    c.AddItem(nullptr, &name, foEqual, Variant("A"), "A");
    c.AddItem(nullptr, &age, foGreater, Variant(18), "18");
    EXPECT_EQ(c.GetFilterText(), "(Name = 'A') OR (Age > 18)");
    c.Root()->SetBoolOperatorKind(fboNotAnd);
    EXPECT_EQ(c.GetFilterText(), "NOT ((Name = 'A') AND (Age > 18))");
    c.Clear();
    EXPECT_EQ(c.GetFilterText(), "");
    c.Root()->SetBoolOperatorKind(fboNotAnd);
    EXPECT_EQ(c.GetFilterText(), "NOT ()");
    EXPECT_EQ(Write(), "FF FF FF FF 02 00 00 00 00");
    c.Clear();
    c.Root()->AddItemList(fboOr);
    EXPECT_EQ(c.GetFilterText(), "()");
}

TEST_F(CriteriaTest, LiteralsAreQuotedSafely)
{
    c.AddItem(nullptr, &name, foEqual, Variant("O'Brien"), "O'Brien");
    EXPECT_EQ(c.GetFilterText(), "(Name = 'O''Brien')");
}

TEST_F(CriteriaTest, TranslatedAndMultiFieldForms)
{
    c.AddItem(nullptr, &age, foBetween, cxVariants::VarBetweenArray(Variant(18), Variant(30)), "18;30");
    c.AddItem(nullptr, &grade, foNotInList, VarArrayOf({1, 2}), "1;2");
    c.SetTranslateBetween(true);
    c.SetTranslateIn(true);
    EXPECT_EQ(c.GetFilterText(), "((18 <= Age) AND (Age <= 30)) AND (NOT ((Grade = 1) OR (Grade = 2)))");
    c.Clear();
    TItem multi{7, "First; Last"};
    c.Items.push_back(&multi);
    c.AddItem(nullptr, &multi, foEqual, VarArrayOf({"a", "b"}), "");
    EXPECT_EQ(c.GetFilterText(), "((First = 'a') AND (Last = 'b'))");
}

TEST_F(CriteriaTest, CaptionTexts)
{
    c.AddItem(nullptr, &name, foEqual, Null(), "");
    EXPECT_EQ(c.GetFilterCaption(), "(Name = blank)");
    EXPECT_EQ(c.GetFilterText(), "(Name = NULL)");
    TMemoryStream ms;
    c.WriteData(&ms);
    EXPECT_EQ(static_cast<const uint8_t*>(ms.Memory())[10], 0);   // the stored kind stays "equals"
    c.SetOptions(TcxFilterCriteriaOptions{fcoShowOperatorDescription});
    EXPECT_EQ(c.GetFilterCaption(), "(Name is blank)");
    c.Clear();
    c.AddItem(nullptr, &name, foLike, Variant("%abc%"), "%abc%");
    c.AddItem(nullptr, &name, foLike, Variant("%%abc"), "%%abc");
    c.AddItem(nullptr, &name, foNotLike, Variant("abc%"), "abc%");
    c.AddItem(nullptr, &name, foLike, Variant("%"), "%");
    EXPECT_EQ(c.GetFilterCaption(),
              "(Name contains abc) and (Name ends with abc) and (Name does not begin with abc) and (Name like %)");
    c.Clear();
    c.AddItem(nullptr, &age, foBetween, cxVariants::VarBetweenArray(Variant(1), Variant(5)), "1;5");
    c.AddItem(nullptr, &grade, foInList, VarArrayOf({1, 2}), "1; 2");
    EXPECT_EQ(c.GetFilterCaption(), "(Age between 1 and 5) and (Grade in (1, 2))");
}

TEST_F(CriteriaTest, CaptionsGoThroughTheLookup)
{
    c.AddItem(nullptr, &name, foEqual, Null(), "");
    cxFilterConsts::SetGetResourceStringFunc(
        [](TcxResourceStringID id) -> std::string { return std::string("<") + id->Text + ">"; });
    c.SetOptions(TcxFilterCriteriaOptions{fcoShowOperatorDescription});
    EXPECT_EQ(c.GetFilterCaption(), "(Name <is blank>)");
    cxFilterConsts::SetGetResourceStringFunc(nullptr);
    EXPECT_EQ(c.GetFilterCaption(), "(Name is blank)");
}

TEST_F(CriteriaTest, GroupOperatorsEvaluate)
{
    // Record 0: A true, B false.
    c.Rows = {TRow{{3, Variant("x")}, {4, Variant(1)}}};
    struct Case {
        TcxFilterBoolOperatorKind op;
        bool result;
    } cases[] = {{fboAnd, false}, {fboOr, true}, {fboNotAnd, true}, {fboNotOr, false}};
    for (const auto& k : cases) {
        c.Clear();
        c.Root()->SetBoolOperatorKind(k.op);
        c.AddItem(nullptr, &name, foEqual, Variant("x"), "x");
        c.AddItem(nullptr, &age, foGreater, Variant(5), "5");
        EXPECT_EQ(c.RecordPasses(0), k.result) << int(k.op);
    }
    c.Clear();
    c.Root()->SetBoolOperatorKind(fboNotOr);
    EXPECT_TRUE(c.RecordPasses(0));   // no children: true whatever the operator
}

TEST_F(CriteriaTest, OperatorsMatch)
{
    c.Rows = {TRow{{4, Variant(5)}}, TRow{}};
    struct Case {
        TcxFilterOperatorKind kind;
        Variant value;
        bool onFive, onNull;
    } cases[] = {
        {foEqual, Variant(5), true, false},       {foNotEqual, Variant(5), false, true},
        {foLess, Variant(6), true, true},         {foLessEqual, Variant(5), true, true},
        {foGreater, Variant(4), true, false},     {foGreaterEqual, Variant(5), true, false},
        {foBetween, cxVariants::VarBetweenArray(Variant(5), Variant(9)), true, false},
        {foBetween, cxVariants::VarBetweenArray(Variant(5), Variant(1)), false, false},
        {foNotBetween, cxVariants::VarBetweenArray(Variant(1), Variant(4)), true, true},
        {foInList, VarArrayOf({1, 5}), true, false}, {foNotInList, VarArrayOf({1, 5}), false, true},
        {foNull, Null(), false, true},            {foNotNull, Null(), true, false},
        {foLike, Variant("5%"), true, false},     {foLike, Variant("%"), true, true},
    };
    for (const auto& k : cases) {
        c.Clear();
        c.AddItem(nullptr, &age, k.kind, k.value, "");
        EXPECT_EQ(c.RecordPasses(0), k.onFive) << int(k.kind);
        EXPECT_EQ(c.RecordPasses(1), k.onNull) << int(k.kind);
    }
}

TEST_F(CriteriaTest, CriteriaOptions)
{
    c.Rows = {TRow{{3, Variant("WANG")}}, TRow{{3, Variant("")}}, TRow{{6, Variant("abc")}}};
    c.AddItem(nullptr, &name, foEqual, Variant("wang"), "wang");
    EXPECT_FALSE(c.RecordPasses(0));
    c.SetOptions(TcxFilterCriteriaOptions{fcoCaseInsensitive});
    EXPECT_TRUE(c.RecordPasses(0));
    c.Clear();
    c.AddItem(nullptr, &name, foNull, Null(), "");
    EXPECT_FALSE(c.RecordPasses(1));
    c.SetOptions(TcxFilterCriteriaOptions{fcoSoftNull});
    EXPECT_TRUE(c.RecordPasses(1));
    c.Clear();
    c.AddItem(nullptr, &born, foToday, Null(), "");
    EXPECT_THROW(c.RecordPasses(2), Exception);
    c.SetOptions(TcxFilterCriteriaOptions{fcoSoftCompare});
    EXPECT_FALSE(c.RecordPasses(2));
}

TEST_F(CriteriaTest, DateRangesFollowTheClock)
{
    auto clock = std::make_shared<TFixedClock>(EncodeDate(2026, 12, 10) + 0.75);
    SetClock(clock);
    auto range = [&](TcxFilterOperatorKind kind) {
        c.Clear();
        auto* item = c.AddItem(nullptr, &born, kind, Null(), "");
        auto* op = static_cast<TcxFilterDateOperator*>(item->Operator());
        return std::make_pair(op->RangeStart, op->RangeEnd);
    };
    EXPECT_EQ(range(foToday), std::make_pair(EncodeDate(2026, 12, 10), EncodeDate(2026, 12, 11)));
    EXPECT_EQ(range(foThisMonth), std::make_pair(EncodeDate(2026, 12, 1), EncodeDate(2027, 1, 1)));
    EXPECT_EQ(range(foNextMonth), std::make_pair(EncodeDate(2027, 1, 1), EncodeDate(2027, 2, 1)));
    EXPECT_EQ(range(foLastYear), std::make_pair(EncodeDate(2025, 1, 1), EncodeDate(2026, 1, 1)));
    clock->Set(EncodeDate(2026, 11, 3));
    EXPECT_EQ(range(foNextMonth), std::make_pair(EncodeDate(2026, 12, 1), EncodeDate(2027, 1, 1)));
    clock->Set(EncodeDate(2026, 1, 15));
    EXPECT_EQ(range(foLastMonth), std::make_pair(EncodeDate(2025, 12, 1), EncodeDate(2026, 1, 1)));
    c.Rows = {TRow{{6, Variant::FromDate(EncodeDate(2026, 1, 15) + 0.5)}}, TRow{{6, Variant::FromDate(EncodeDate(2026, 1, 16))}}};
    range(foToday);
    EXPECT_TRUE(c.RecordPasses(0));
    EXPECT_FALSE(c.RecordPasses(1));   // the end is excluded
    EXPECT_EQ(c.GetFilterCaption(), "(Born is today)");
    ResetClock();
}

TEST_F(CriteriaTest, RemoveItemByItemLinkTidiesGroups)
{
    TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboOr);
    c.AddItem(g, &name, foEqual, Variant("a"), "a");
    c.AddItem(g, &age, foEqual, Variant(1), "1");
    c.AddItem(nullptr, &grade, foEqual, Variant(2), "2");
    int changes = 0;
    c.OnChanged = [&](TObject*) { ++changes; };
    c.RemoveItemByItemLink(&name);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(c.GetFilterText(), "(Grade = 2) AND (Age = 1)");
    c.RemoveItemByItemLink(&born);
    EXPECT_EQ(changes, 1);
}

TEST_F(CriteriaTest, ChangesAreAnnouncedOnceUnderALock)
{
    int changes = 0;
    c.OnChanged = [&](TObject*) { ++changes; };
    c.BeginUpdate();
    c.AddItem(nullptr, &name, foEqual, Variant("a"), "a");
    c.AddItem(nullptr, &age, foEqual, Variant(1), "1");
    c.SetPercentWildcard('*');
    EXPECT_EQ(changes, 0);
    c.EndUpdate();
    EXPECT_EQ(changes, 1);
    c.SetPercentWildcard('*');
    EXPECT_EQ(changes, 1);
}

TEST_F(CriteriaTest, AssignCopiesSettingsAndItems)
{
    c.SetOptions(TcxFilterCriteriaOptions{fcoCaseInsensitive});
    c.SetTranslateIn(true);
    c.AddItem(nullptr, &name, foEqual, Variant("a"), "a");
    TTestCriteria other;
    other.Items = {&name};
    other.Assign(&c);
    EXPECT_TRUE(other.Options().Contains(fcoCaseInsensitive));
    EXPECT_TRUE(other.TranslateIn());
    EXPECT_EQ(other.GetFilterText(), "(Name = 'a')");

    // A source whose value its operator cannot use is refused as a whole.
    TTestCriteria odd;
    odd.AddItem(nullptr, &name, foLike, VarArrayOf({1, 2}), "1;2");
    EXPECT_THROW(other.Assign(&odd), EReadError);
    EXPECT_EQ(other.GetFilterText(), "(Name = 'a')");
}

TEST_F(CriteriaTest, FileRoundTrip)
{
    c.AddItem(nullptr, &name, foEqual, Variant("王"), "王");
    std::string file = GetTempDir() + "datactl_test.flt";
    c.SaveToFile(file);
    TTestCriteria other;
    other.Items = c.Items;
    other.LoadFromFile(file);
    EXPECT_EQ(other.GetFilterText(), "(Name = '王')");
    // A *.flt file holds the criteria stream alone, not the component stream.
    TMemoryStream file_bytes;
    file_bytes.LoadFromFile(file);
    EXPECT_EQ(Hex(file_bytes), Write());
    DeleteFile(file);
}

namespace {

std::string Saved(TcxFilterCriteria& criteria)
{
    TStringStream s;
    criteria.SaveToStream(&s);
    return s.DataString();
}

void Load(TcxFilterCriteria& criteria, const std::string& bytes)
{
    TStringStream s(bytes);
    criteria.LoadFromStream(&s);
}

}  // namespace

TEST_F(CriteriaTest, ComponentStreamKeepsTreeAndSettings)
{
    c.Root()->SetBoolOperatorKind(fboOr);
    c.AddItem(nullptr, &age, foGreater, Variant(18), "18");
    TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboNotAnd);
    c.AddItem(g, &name, foLike, Variant("W*"), "W*");
    c.SetMaxValueListCount(50);
    c.SetOptions(TcxFilterCriteriaOptions{fcoSoftNull, fcoSoftCompare});
    c.SetPercentWildcard('*');
    std::string bytes = Saved(c);
    EXPECT_NE(bytes.find("TFilterWrapper"), std::string::npos);
    EXPECT_NE(bytes.find("Criteria"), std::string::npos);

    // The target had a tree and settings of its own: what the stream leaves
    // out (UnderscoreWildcard at its default) goes back to the default.
    TTestCriteria other;
    other.Items = c.Items;
    other.AddItem(nullptr, &grade, foEqual, Variant(1), "1");
    other.SetUnderscoreWildcard('?');
    other.SetOptions(TcxFilterCriteriaOptions{fcoCaseInsensitive});
    int changes = 0;
    other.OnChanged = [&](TObject*) { ++changes; };
    Load(other, bytes);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(other.LockCount(), 0);
    EXPECT_EQ(other.GetFilterText(), c.GetFilterText());
    TMemoryStream tree;
    other.WriteData(&tree);
    EXPECT_EQ(Hex(tree), Write());
    EXPECT_EQ(other.MaxValueListCount(), 50);
    EXPECT_TRUE(other.Options() == (TcxFilterCriteriaOptions{fcoSoftNull, fcoSoftCompare}));
    EXPECT_EQ(other.PercentWildcard(), '*');
    EXPECT_EQ(other.UnderscoreWildcard(), '_');
    ASSERT_TRUE(other.OnChanged);   // events are the target's own
}

// "Criteria" is written only while there is a tree to hold; loading a stream
// without it empties the target.
TEST_F(CriteriaTest, ComponentStreamWritesCriteriaOnlyWithData)
{
    struct Case {
        const char* what;
        std::function<void(TTestCriteria&)> build;
        bool written;
    };
    const Case cases[] = {
        {"empty", [](TTestCriteria&) {}, false},
        {"NOT AND without children", [](TTestCriteria& x) { x.Root()->SetBoolOperatorKind(fboNotAnd); }, true},
        {"one condition", [this](TTestCriteria& x) { x.AddItem(nullptr, &name, foNull, Null(), ""); }, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        TTestCriteria src;
        src.Items = c.Items;
        k.build(src);
        std::string bytes = Saved(src);
        EXPECT_EQ(bytes.find("Criteria") != std::string::npos, k.written);
        TTestCriteria dst;
        dst.Items = c.Items;
        dst.AddItem(nullptr, &age, foEqual, Variant(3), "3");
        Load(dst, bytes);
        EXPECT_EQ(dst.Root()->BoolOperatorKind(), src.Root()->BoolOperatorKind());
        EXPECT_EQ(dst.GetFilterText(), src.GetFilterText());
    }
}

TEST_F(CriteriaTest, DamagedComponentStreamLeavesTheFilterAsItWas)
{
    TTestCriteria src;
    src.Items = c.Items;
    src.AddItem(nullptr, &age, foGreater, Variant(18), "18");
    src.SetOptions(TcxFilterCriteriaOptions{fcoCaseInsensitive});
    src.SetMaxValueListCount(9);
    const std::string good = Saved(src);

    c.AddItem(nullptr, &name, foEqual, Variant("Wang"), "Wang");
    c.SetPercentWildcard('*');
    c.SetMaxValueListCount(3);
    const std::string tree = Write();
    TcxCustomFilterCriteriaItem* node = c.Root()->Items(0);
    int changes = 0;
    c.OnChanged = [&](TObject*) { ++changes; };

    std::vector<std::string> bad;
    for (size_t cut = 0; cut < good.size(); ++cut) bad.push_back(good.substr(0, cut));
    // A well-formed component stream whose "Criteria" holds a damaged
    // criteria stream (root operator 9).
    std::string damaged = good;
    size_t at = damaged.find(std::string("\xFF\xFF\xFF\xFF", 4));
    ASSERT_NE(at, std::string::npos);
    damaged[at + 4] = '\x09';
    bad.push_back(damaged);
    for (const std::string& b : bad) {
        SCOPED_TRACE(b.size());
        EXPECT_THROW(Load(c, b), EReadError);
        EXPECT_EQ(Write(), tree);
        EXPECT_EQ(c.Root()->Items(0), node);   // the very same nodes
        EXPECT_EQ(c.PercentWildcard(), '*');
        EXPECT_EQ(c.MaxValueListCount(), 3);
        EXPECT_TRUE(c.Options().Empty());
        EXPECT_EQ(c.LockCount(), 0);
    }
    EXPECT_EQ(changes, 0);

    Load(c, good);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(c.GetFilterText(), "(Age > 18)");
    EXPECT_EQ(c.PercentWildcard(), '%');
}

TEST(FilterValueList, OrdersFixedEntriesAndValues)
{
    TcxFilterCriteria crit;
    TcxFilterValueList list(&crit);
    list.Add(fviAll, Null(), "(All)");
    list.Add(fviCustom, Null(), "(Custom...)");
    for (int v : {3, 1, 3}) list.Add(fviValue, Variant(v), std::to_string(v));
    list.Add(fviBlanks, Null(), "(Blanks)");
    list.Add(fviMRU, Variant(9), "9");
    std::vector<std::string> texts;
    for (int i = 0; i < list.Count(); ++i) texts.push_back(list.Items(i)->DisplayText);
    EXPECT_EQ(texts, (std::vector<std::string>{"9", "", "(All)", "(Custom...)", "(Blanks)", "1", "3"}));
    EXPECT_EQ(list.SeparatorIndex(), 1);
    EXPECT_EQ(list.FirstValueIndex(), 5);
}
