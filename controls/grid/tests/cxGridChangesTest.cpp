// The change queue: what runs, in what order, after merging and covering;
// cancelling, dropping a view's changes, failures.
#include "GridTestBase.h"

#include <functional>
#include <memory>

namespace {

int GLiveChanges = 0;

// A real change class that also logs when it runs and counts its instances.
template <class B> class TLogged : public B {
public:
    template <class... A> explicit TLogged(std::string ATag, A... AArgs) : B(AArgs...), FTag(std::move(ATag))
    {
        ++GLiveChanges;
    }
    ~TLogged() override { --GLiveChanges; }
    void Execute() override
    {
        GridTesting::Log().push_back("run:" + FTag);
        if (Raise) throw Exception("change failed");
        B::Execute();
    }
    bool Raise = false;

private:
    std::string FTag;
};
using TLayout = TLogged<TcxGridLayoutChange>;
using TSize = TLogged<TcxGridSizeChange>;
using TViewChange = TLogged<TcxGridViewChange>;

std::vector<std::string> RunsOf(const std::vector<std::string>& ALog)
{
    std::vector<std::string> runs;
    for (const auto& s : ALog)
        if (s.rfind("run:", 0) == 0) runs.push_back(s.substr(4));
    return runs;
}

class GridChangesTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        GLiveChanges = 0;
        V1 = AddTopView("View1", &L1);
        L2 = L1->Add();
        Pattern = GridTesting::MakeView(Grid, "Detail");
        L2->SetGridView(Pattern);
        Detail = static_cast<TcxGridTestView*>(L2->CreateLinkObject(L2->DataRelation(), 0));
        Detail->SetName("Clone");
        TakeLog();
    }
    void TearDown() override
    {
        // A clone goes before the levels that relate it to its master.
        FreeAndNil(Detail);
        GridTestBase::TearDown();
        EXPECT_EQ(GLiveChanges, 0) << "every change is freed";
    }
    TcxGridLevel* L1 = nullptr;
    TcxGridLevel* L2 = nullptr;
    TcxGridTestView* V1 = nullptr;
    TcxGridTestView* Pattern = nullptr;
    TcxGridTestView* Detail = nullptr;
};

TEST_F(GridChangesTest, DetailCloneKnowsItsMaster)
{
    ASSERT_TRUE(Detail->IsDetail());
    EXPECT_EQ(Detail->MasterGridView(), V1);
    EXPECT_TRUE(Detail->HasAsMaster(V1));
    EXPECT_FALSE(V1->HasAsMaster(Detail));
    EXPECT_EQ(Detail->PatternGridView(), Pattern);
    EXPECT_TRUE(Pattern->IsPattern());
}

struct TQueueCase {
    const char* Name;
    // Builds the changes, in submission order.
    std::function<std::vector<TcxCustomGridChange*>(GridChangesTest*)> Make;
    std::vector<std::string> Expected;
};

class GridQueueTable : public GridChangesTest, public ::testing::WithParamInterface<TQueueCase> {
public:
    TcxGridTestView* View1() const { return V1; }
    TcxGridTestView* Clone() const { return Detail; }
};

TEST_P(GridQueueTable, RunsWhatMergingAndCoveringLeave)
{
    const TQueueCase& c = GetParam();
    Grid->BeginUpdate();
    for (TcxCustomGridChange* change : c.Make(this)) Grid->AddChange(change);
    EXPECT_TRUE(RunsOf(TakeLog()).empty()) << "nothing runs while the grid is locked";
    Grid->EndUpdate();
    EXPECT_EQ(RunsOf(TakeLog()), c.Expected);
}

std::vector<TQueueCase> QueueCases()
{
    using V = std::vector<TcxCustomGridChange*>;
    return {
        {"ThreeLayoutsOfOneViewRunOnce",
         [](GridChangesTest* t) {
             auto* q = static_cast<GridQueueTable*>(t);
             return V{new TLayout("a", q->View1()), new TLayout("b", q->View1()), new TLayout("c", q->View1())};
         },
         {"a"}},
        {"DetailLayoutCoveredByGridWideLayout",
         [](GridChangesTest* t) {
             auto* q = static_cast<GridQueueTable*>(t);
             return V{new TLayout("detail", q->Clone()), new TLayout("grid", nullptr)};
         },
         {"grid"}},
        {"DetailLayoutCoveredByMasterLayout",
         [](GridChangesTest* t) {
             auto* q = static_cast<GridQueueTable*>(t);
             return V{new TLayout("detail", q->Clone()), new TLayout("master", q->View1())};
         },
         {"master"}},
        {"MasterLayoutNotCoveredByDetailLayout",
         [](GridChangesTest* t) {
             auto* q = static_cast<GridQueueTable*>(t);
             return V{new TLayout("master", q->View1()), new TLayout("detail", q->Clone())};
         },
         {"master", "detail"}},
        {"LayoutCoveredByLaterSizeOfMaster",
         [](GridChangesTest* t) {
             auto* q = static_cast<GridQueueTable*>(t);
             return V{new TLayout("detail", q->Clone()), new TSize("size", q->View1())};
         },
         {"size"}},
        {"LayoutNotCoveredBySizeOfItsOwnView",
         [](GridChangesTest* t) {
             auto* q = static_cast<GridQueueTable*>(t);
             return V{new TLayout("layout", q->View1()), new TSize("size", q->View1())};
         },
         {"layout", "size"}},
        {"EarlierChangeKeptInItsPlaceWhenMerged",
         [](GridChangesTest* t) {
             auto* q = static_cast<GridQueueTable*>(t);
             return V{new TSize("size1", q->View1()), new TLayout("layout", q->Clone()), new TSize("size2", q->View1())};
         },
         {"size1", "layout"}},
        {"SizeChangesDifferingInViewOnlyBothRun",
         [](GridChangesTest* t) {
             auto* q = static_cast<GridQueueTable*>(t);
             return V{new TSize("whole", q->View1(), false), new TSize("viewonly", q->View1(), true)};
         },
         {"whole", "viewonly"}},
        {"ViewChangesAreNeverMerged",
         [](GridChangesTest* t) {
             auto* q = static_cast<GridQueueTable*>(t);
             return V{new TViewChange("v1", q->View1()), new TViewChange("v2", q->View1())};
         },
         {"v1", "v2"}},
        {"ViewChangeNeverCovered",
         [](GridChangesTest* t) {
             auto* q = static_cast<GridQueueTable*>(t);
             return V{new TViewChange("paint", q->View1()), new TLayout("grid", nullptr)};
         },
         {"paint", "grid"}},
    };
}

INSTANTIATE_TEST_SUITE_P(Cases, GridQueueTable, ::testing::ValuesIn(QueueCases()),
                         [](const ::testing::TestParamInfo<TQueueCase>& info) { return std::string(info.param.Name); });

TEST_F(GridChangesTest, UnlockedChangesRunAtOnce)
{
    Grid->AddChange(new TLayout("now", V1));
    EXPECT_EQ(RunsOf(TakeLog()), std::vector<std::string>{"now"});
}

TEST_F(GridChangesTest, NestedLocksRunOnlyAtTheOutermostEnd)
{
    Grid->BeginUpdate();
    Grid->BeginUpdate();
    Grid->AddChange(new TLayout("a", V1));
    Grid->EndUpdate();
    EXPECT_TRUE(RunsOf(TakeLog()).empty());
    Grid->EndUpdate();
    EXPECT_EQ(RunsOf(TakeLog()), std::vector<std::string>{"a"});
    Grid->EndUpdate();   // at lock 0: nothing
    EXPECT_FALSE(Grid->IsUpdateLocked());
}

TEST_F(GridChangesTest, CancelUpdateDropsTheQueueOnlyAtTheLastLock)
{
    Grid->CancelUpdate();   // lock 0: nothing happens
    EXPECT_FALSE(Grid->IsUpdateLocked());

    Grid->BeginUpdate();
    Grid->AddChange(new TLayout("a", V1));
    Grid->AddChange(new TSize("b", V1));
    Grid->CancelUpdate();
    EXPECT_TRUE(RunsOf(TakeLog()).empty());
    EXPECT_EQ(Grid->ChangeCount(), 0);
    EXPECT_EQ(GLiveChanges, 0);
}

TEST_F(GridChangesTest, ChangesSubmittedWhileTheQueueRunsRunAtOnce)
{
    class TSubmitting : public TLogged<TcxGridViewChange> {
    public:
        using TLogged::TLogged;
        void Execute() override
        {
            TLogged::Execute();
            Grid()->AddChange(new TLayout("inner", GridView));
        }
    };
    Grid->BeginUpdate();
    Grid->AddChange(new TSubmitting("outer", V1));
    Grid->AddChange(new TViewChange("last", V1));
    Grid->EndUpdate();
    EXPECT_EQ(RunsOf(TakeLog()), (std::vector<std::string>{"outer", "inner", "last"}));
}

TEST_F(GridChangesTest, AFailingChangeIsFreedAndTheRestDropped)
{
    Grid->BeginUpdate();
    auto* failing = new TLayout("bad", V1);
    failing->Raise = true;
    Grid->AddChange(failing);
    Grid->AddChange(new TViewChange("after", V1));
    EXPECT_THROW(Grid->EndUpdate(), Exception);
    EXPECT_EQ(RunsOf(TakeLog()), std::vector<std::string>{"bad"});
    EXPECT_EQ(GLiveChanges, 0);
    EXPECT_FALSE(Grid->IsUpdateLocked());

    auto* failingNow = new TLayout("now", V1);
    failingNow->Raise = true;
    EXPECT_THROW(Grid->AddChange(failingNow), Exception);
    EXPECT_EQ(GLiveChanges, 0);
}

TEST_F(GridChangesTest, AViewLeavingTheGridTakesItsQueuedChanges)
{
    TcxGridTestView* other = GridTesting::MakeView(Grid, "Other");
    Grid->BeginUpdate();
    Grid->AddChange(new TViewChange("mine", other));
    Grid->AddChange(new TViewChange("kept", V1));
    Grid->AddChange(new TViewChange("mine2", other));
    FreeObject(other);
    EXPECT_EQ(Grid->ChangeCount(), 1);
    Grid->EndUpdate();
    EXPECT_EQ(RunsOf(TakeLog()), std::vector<std::string>{"kept"});
}

TEST_F(GridChangesTest, ViewWithoutAGridRunsItsChangeAtOnceWithoutAControl)
{
    auto* loose = static_cast<TcxGridTestView*>(TcxGridTestView::StaticClass()->Create(nullptr));
    TcxControl* seen = Grid;
    class TProbe : public TcxGridViewChange {
    public:
        TProbe(TcxCustomGridView* V, TcxControl** ASeen) : TcxGridViewChange(V), FSeen(ASeen) {}
        void Execute() override { *FSeen = Control; }
        TcxControl** FSeen;
    };
    EXPECT_TRUE(loose->Changed(new TProbe(loose, &seen)));
    EXPECT_EQ(seen, nullptr);
    FreeObject(loose);
}

TEST_F(GridChangesTest, ViewDropsWhatIsSentWhileItCalculates)
{
    Grid->SetBounds(0, 0, 300, 200);
    bool accepted = true;
    V1->TestViewInfo()->OnCalculate = [&] { accepted = V1->Changed(new TViewChange("inner", V1)); };
    TakeLog();
    V1->LayoutChanged(true);
    EXPECT_FALSE(accepted);
    EXPECT_TRUE(RunsOf(TakeLog()).empty());
    V1->TestViewInfo()->OnCalculate = nullptr;
}

TEST_F(GridChangesTest, LayoutChangeCalculatesTheViewAtItsSiteAndReportsIt)
{
    Grid->SetBounds(0, 0, 300, 200);
    TakeLog();
    V1->LayoutChanged(true);
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"calc:View1", "layout:View1"}));
    EXPECT_EQ(V1->Site()->Parent(), Grid);
    EXPECT_EQ(V1->Site()->BoundsRect(), Grid->ViewInfo()->DetailsSiteViewInfo()->GetClientBounds());
}

}  // namespace
