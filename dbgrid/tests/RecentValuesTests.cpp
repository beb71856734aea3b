// The recent-values list and the distinct values of a data-set field.
#include "DBGridTesting.h"
#include "GuiTesting.h"
#include "ToolCtrlsEh.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace DBGridTest;

namespace {

std::vector<std::string> Texts(const TStrings* s)
{
    std::vector<std::string> r;
    for (int i = 0; i < s->Count(); ++i) r.push_back(s->Strings(i));
    return r;
}

void Fill(TMRUListEh& m, const std::vector<std::string>& items)
{
    for (const std::string& s : items) m.Items()->Add(s);
}

TEST(RecentValues, AddingMovesAHeldTextToTheEndOrAppends)
{
    struct Case {
        bool CaseSensitive;
        std::string Added;
        std::vector<std::string> After;
    } cases[] = {
        {false, "abc", {"x", "y", "ABC"}},          // stored letters kept
        {true, "abc", {"x", "ABC", "y", "abc"}},
        {false, "y", {"x", "ABC", "y"}},
        {false, "  ", {"x", "ABC", "y"}},           // blank text: nothing
        {false, " z ", {"x", "ABC", "y", " z "}},   // kept untrimmed
        {false, "张三", {"x", "ABC", "y", "张三"}},
    };
    for (const Case& c : cases) {
        TMRUListEh m;
        m.SetCaseSensitive(c.CaseSensitive);
        Fill(m, {"x", "ABC", "y"});
        m.AddItem(c.Added);
        EXPECT_EQ(Texts(m.Items()), c.After) << c.Added << " " << c.CaseSensitive;
    }
}

TEST(RecentValues, LimitDropsTheOldest)
{
    TMRUListEh m;
    for (int i = 1; i <= 101; ++i) m.AddItem("t" + std::to_string(i));
    ASSERT_EQ(m.Items()->Count(), 100);
    EXPECT_EQ(m.Items()->Strings(0), "t2");
    EXPECT_EQ(m.Items()->Strings(99), "t101");
    m.SetLimit(3);
    EXPECT_EQ(Texts(m.Items()), (std::vector<std::string>{"t99", "t100", "t101"}));
    m.SetLimit(0);
    EXPECT_EQ(m.Items()->Count(), 0);
    // A negative limit counts as 0, on an empty list too.
    EXPECT_NO_THROW(m.SetLimit(-5));
    EXPECT_EQ(m.Limit(), 0);
    m.AddItem("a");
    EXPECT_EQ(m.Items()->Count(), 0);
}

TEST(RecentValues, CollectMatchesByPrefixThroughTheFilter)
{
    GuiTest::Init();
    TMRUListEh m;
    Fill(m, {"abc", "Abd", "xy", "ab"});
    TStringList target;
    target.Add("old");
    EXPECT_TRUE(m.CollectMatches(&target, "ab"));
    EXPECT_EQ(Texts(&target), (std::vector<std::string>{"abc", "Abd", "ab"}));
    m.SetCaseSensitive(true);
    m.CollectMatches(&target, "ab");
    EXPECT_EQ(Texts(&target), (std::vector<std::string>{"abc", "ab"}));
    m.CollectMatches(&target, "");
    EXPECT_EQ(Texts(&target), (std::vector<std::string>{"abc", "Abd", "xy", "ab"}));
    m.OnFilterItem = [&](TObject*, bool& accept) { accept = accept && m.Items()->Count() > 0 && target.Count() < 2; };
    m.CollectMatches(&target, "");
    EXPECT_EQ(Texts(&target), (std::vector<std::string>{"abc", "Abd"}));
    // A filter may also take an item the prefix refused.
    m.OnFilterItem = [](TObject*, bool& accept) { accept = true; };
    m.CollectMatches(&target, "zz");
    EXPECT_EQ(target.Count(), 4);
}

TEST(RecentValues, AssignCopiesAllButAutoAdd)
{
    TMRUListEh from, to;
    Fill(from, {"a", "b"});
    from.SetActive(true);
    from.SetLimit(5);
    from.SetRows(3);
    from.SetCaseSensitive(true);
    from.SetAutoAdd(false);
    int changes = 0;
    to.OnActiveChanged = [&](TObject*) { ++changes; };
    to.Assign(&from);
    EXPECT_EQ(Texts(to.Items()), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(to.Active());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(to.Limit(), 5);
    EXPECT_EQ(to.Rows(), 3);
    EXPECT_TRUE(to.CaseSensitive());
    EXPECT_TRUE(to.AutoAdd());
    to.SetActive(true);
    EXPECT_EQ(changes, 1);
}

TEST(DistinctValues, OneOfEqualTextsSortedAndTheRecordKept)
{
    auto ds = MakeStudents({{1, "a", true, 1}, {2, "B", false, 2}, {3, "A", true, 3}, {4, "b", true, NAN}});
    ds->First();
    ds->Next();
    TDatasetFieldValueListEh values;
    values.SetSourceDataSet(ds.get());
    values.SetValueFieldName("Name");
    EXPECT_TRUE(values.Obsolete());
    EXPECT_EQ(Texts(values.DistinctValues()), (std::vector<std::string>{"a", "B"}));
    EXPECT_FALSE(values.Obsolete());
    // The user's record stays current.
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 2);
    // A change of the data marks the values for reloading.
    ds->Edit();
    ds->FieldByName("Name")->SetAsString("c");
    ds->Post();
    ds->Refresh();
    EXPECT_TRUE(values.Obsolete());
    EXPECT_EQ(Texts(values.DistinctValues()), (std::vector<std::string>{"a", "b", "c"}));
    // Another field, or a field that is not there.
    values.SetValueFieldName("Id");
    EXPECT_EQ(values.DistinctValues()->Count(), 4);
    values.SetValueFieldName("Missing");
    EXPECT_EQ(values.DistinctValues()->Count(), 0);
    EXPECT_TRUE(values.Obsolete());
    values.SetSourceDataSet(nullptr);
    values.SetValueFieldName("Name");
    EXPECT_EQ(values.DistinctValues()->Count(), 0);
}

}  // namespace
