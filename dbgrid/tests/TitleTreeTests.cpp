// The multi-level title tree built from captions, the tree's own
// operations and errors, and the sort markers of the titles.
#include "DBGridEh.h"
#include "DBGridTesting.h"

#include <gtest/gtest.h>

namespace {

using namespace DBGridTest;

// The tree as text: a node's text, then its children in brackets.
std::string Shape(THeadTreeNode* n)
{
    std::string s;
    for (THeadTreeNode* c : n->Children()) {
        if (!s.empty()) s += ",";
        s += c->NodeText;
        if (c->FirstChild) s += "[" + Shape(c) + "]";
    }
    return s;
}

struct TTreeCase {
    std::vector<std::string> Captions;
    std::string Shape;
};

TEST(TitleTree, CaptionsMakeGroups)
{
    const TTreeCase cases[] = {
        {{"A|X", "A|Y", "B"}, "A[X,Y],B"},
        {{"A|1", "A"}, "A[1,]"},
        {{"A||B"}, "A[B]"},
        {{"A|X|1", "X|2"}, "A[1],2"},
        {{"学员|姓名", "学员|电话", "费用"}, "学员[姓名,电话],费用"},
        {{"P", "Q"}, "P,Q"},
    };
    auto ds = FiveStudents();
    TGridHost host(ds.get());
    TDBGridEh* g = host.Grid;
    g->SetUseMultiTitle(true);
    for (const TTreeCase& k : cases) {
        SCOPED_TRACE(k.Shape);
        g->Columns()->Clear();
        for (const std::string& cap : k.Captions) {
            TColumnEh* c = g->Columns()->Add();
            c->SetFieldName("Id");
            c->SetWidth(50);
            c->Title()->SetCaption(cap);
        }
        EXPECT_EQ(Shape(g->TitleRoot()), k.Shape);
    }
}

TEST(TitleTree, GroupWidthAndLeaves)
{
    auto ds = FiveStudents();
    TGridHost host(ds.get());
    TDBGridEh* g = host.Grid;
    g->SetUseMultiTitle(true);
    const char* caps[] = {"A|X", "A|Y", "B"};
    int widths[] = {40, 60, 30};
    g->Columns()->Clear();
    for (int i = 0; i < 3; ++i) {
        TColumnEh* c = g->Columns()->Add();
        c->SetFieldName("Name");
        c->SetWidth(widths[i]);
        c->Title()->SetCaption(caps[i]);
    }
    THeadTreeNode* a = g->TitleRoot()->FirstChild;
    // The group spans both leaves and the line between them.
    EXPECT_EQ(a->NodeWidth, 40 + 60 + 1);
    EXPECT_EQ(a->NodeDepth(), 1);
    EXPECT_EQ(a->FirstChild->NodeDepth(), 2);
    EXPECT_EQ(g->LeafNode(0)->ParentNode, a);
    EXPECT_EQ(g->LeafNode(2)->ParentNode, g->TitleRoot());
    // The title row is as high as the group level plus the leaf level.
    EXPECT_GT(g->RowHeights(0), a->NodeHeight);
}

TEST(TitleTree, OperationsAndErrors)
{
    THeadTreeNode root("Root", 0, 10);
    THeadTreeNode* a = root.AppendChild(&root, "a", 10, 20);
    THeadTreeNode* b = root.InsertAfter(a, "b", 10, 20);
    THeadTreeNode* c = root.AppendChild(&root, "c", 10, 20);
    EXPECT_EQ(Shape(&root), "a,b,c");
    EXPECT_EQ(c->NextSibling, a) << "siblings form a ring";
    THeadTreeNode stranger("x", 1, 1);
    try {
        root.InsertAfter(&stranger, "y", 1, 1);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Node not in Tree");
    }
    EXPECT_THROW(root.AppendChild(&stranger, "y", 1, 1), Exception);
    try {
        root.GroupSiblings(c, b, 5, "g");   // b does not follow c before the ring closes
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "ATo not in level");
    }
    root.GroupSiblings(b, c, 5, "g");
    EXPECT_EQ(Shape(&root), "a,g[b,c]");
    EXPECT_EQ(b->NodeHeight, 15);
    root.GroupSiblings(a, a->NextSibling, 3, "all");
    EXPECT_EQ(Shape(&root), "all[a,g[b,c]]");
    root.ClearChildren();
    EXPECT_EQ(root.FirstChild, nullptr);
}

class SortMarkers : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ds = FiveStudents();
        Host = std::make_unique<TGridHost>(Ds.get());
        G = Host->Grid;
        for (const char* f : {"Id", "Name", "Fee"}) G->Columns()->Add()->SetFieldName(f);
    }
    TColumnTitleEh* T(int i) { return G->Columns()->Items(i)->Title(); }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* G = nullptr;
};

TEST_F(SortMarkers, MultiSortNumbersAndSwaps)
{
    G->SetOptionsEh(G->OptionsEh() + TDBGridEhOptions{dghMultiSortMarking});
    T(0)->SetSortMarker(smDownEh);
    T(1)->SetSortMarker(smUpEh);
    T(2)->SetSortMarker(smDownEh);
    EXPECT_EQ(T(0)->SortIndex(), 1);
    EXPECT_EQ(T(1)->SortIndex(), 2);
    EXPECT_EQ(T(2)->SortIndex(), 3);
    T(0)->SetSortMarker(smNoneEh);
    EXPECT_EQ(T(0)->SortIndex(), 0);
    EXPECT_EQ(T(1)->SortIndex(), 1);
    EXPECT_EQ(T(2)->SortIndex(), 2);
    T(2)->SetSortIndex(1);
    EXPECT_EQ(T(2)->SortIndex(), 1);
    EXPECT_EQ(T(1)->SortIndex(), 2);
    ASSERT_EQ(G->SortColumnList().size(), 2u);
    EXPECT_EQ(G->SortColumnList()[0], G->Columns()->Items(2));
    // Switching multi-sort off keeps the first sorted column only.
    G->SetOptionsEh(G->OptionsEh() - TDBGridEhOptions{dghMultiSortMarking});
    EXPECT_EQ(T(2)->SortMarker(), smDownEh);
    EXPECT_EQ(T(1)->SortMarker(), smNoneEh);
}

TEST_F(SortMarkers, SingleSortAndCycle)
{
    T(0)->SetSortMarker(smDownEh);
    T(1)->SetSortMarker(smUpEh);
    EXPECT_EQ(T(0)->SortMarker(), smNoneEh);
    EXPECT_EQ(T(0)->SortIndex(), 0);
    EXPECT_EQ(T(1)->SortIndex(), 1);

    struct TCycle {
        TSortMarkerEh From;
        bool KeepOthers;
        TSortMarkerEh To;
    } cycles[] = {{smNoneEh, false, smDownEh}, {smDownEh, false, smUpEh}, {smUpEh, false, smDownEh},
                  {smUpEh, true, smNoneEh}, {smNoneEh, true, smDownEh}};
    G->SetOptionsEh(G->OptionsEh() + TDBGridEhOptions{dghMultiSortMarking});
    for (const TCycle& c : cycles) {
        T(1)->SetSortMarker(smDownEh);   // another sorted column
        T(0)->SetSortMarker(c.From);
        T(0)->CycleSortMarker(c.KeepOthers);
        EXPECT_EQ(T(0)->SortMarker(), c.To);
        EXPECT_EQ(T(1)->SortMarker(), c.KeepOthers ? smDownEh : smNoneEh);
    }
}

TEST_F(SortMarkers, MarkerWidthDropsWhenNarrow)
{
    G->Columns()->Items(0)->SetWidth(16);
    T(0)->SetSortMarker(smDownEh);
    EXPECT_EQ(T(0)->SortMarkerWidth(), 2);
    G->Columns()->Items(0)->SetWidth(20);
    EXPECT_EQ(T(0)->SortMarkerWidth(), 16);
    T(0)->SetSortMarker(smNoneEh);
    EXPECT_EQ(T(0)->SortMarkerWidth(), 0);
}

} // namespace
