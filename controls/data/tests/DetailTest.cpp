#include "TestController.h"

#include <gtest/gtest.h>

using V = Variant;

namespace {

class TCountingProvider : public TcxCustomDataProvider {
public:
    using TcxCustomDataProvider::TcxCustomDataProvider;
    int Asked = 0;
    bool IsSourceOpen() override { return true; }
    bool GetDetailHasChildren(int record, int) override
    {
        ++Asked;
        return record % 2 == 0;
    }
};

struct TLink : TObject {
    TTestController* Clone = nullptr;
    ~TLink() override { delete Clone; }
};

class TMaster : public TTestController {
public:
    int LinksMade = 0;
    TcxCustomDataRelation* Relation = nullptr;
    TObject* CreateDetailLinkObject(TcxCustomDataRelation* relation, int record) override
    {
        ++LinksMade;
        auto* link = new TLink();
        link->Clone = cxCreateDataController<TTestController>();
        link->Clone->SetMasterRelation(relation, record);
        return link;
    }
    TcxCustomDataController* GetDetailDataControllerByLinkObject(TObject* link) override
    {
        return static_cast<TLink*>(link)->Clone;
    }

protected:
    TcxCustomDataProvider* CreateProvider() override { return new TCountingProvider(this); }
};

struct DetailFixture : ::testing::Test {
    std::unique_ptr<TMaster> master{cxCreateDataController<TMaster>()};
    std::unique_ptr<TTestController> pattern{cxCreateDataController<TTestController>()};
    TObject level;
    void SetUp() override
    {
        master->AddColumn("Id", TcxIntegerValueType::Class());
        master->AddRows({{V(1)}, {V(2)}, {V(3)}});
    }
};

}  // namespace

TEST_F(DetailFixture, ExpandingNeedsARelationWithADetailController)
{
    EXPECT_FALSE(master->ChangeDetailExpanding(0, true));
    TcxCustomDataRelation* r = master->GetRelations()->Add(&level);
    ASSERT_NE(master->GetRelations()->LinkField, nullptr);
    EXPECT_FALSE(master->ChangeDetailExpanding(0, true));   // no pattern yet
    pattern->SetMasterMode(r, true);
    EXPECT_TRUE(pattern->IsPattern());
    EXPECT_EQ(r->DetailDataController(), pattern.get());
    bool expanded = false;
    master->OnDetailExpanded = [&](TcxCustomDataController*, int rec) { expanded = rec == 1; };
    EXPECT_TRUE(master->ChangeDetailExpanding(1, true));
    EXPECT_TRUE(expanded);
    EXPECT_TRUE(master->GetDetailExpanding(1));
    EXPECT_FALSE(master->ChangeDetailExpanding(1, true));   // unchanged
    EXPECT_EQ(master->GetDetailActiveRelationIndex(1), 0);
}

TEST_F(DetailFixture, ExpandingCanBeRefused)
{
    pattern->SetMasterMode(master->GetRelations()->Add(&level), true);
    master->OnDetailExpanding = [](TcxCustomDataController*, int, bool& allow) { allow = false; };
    EXPECT_FALSE(master->ChangeDetailExpanding(0, true));
    EXPECT_FALSE(master->GetDetailExpanding(0));
}

TEST_F(DetailFixture, LinksAreMadeOnceAndFreedWithTheirRecord)
{
    pattern->SetMasterMode(master->GetRelations()->Add(&level), true);
    TObject* link = master->GetDetailLinkObject(2, 0);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(master->GetDetailLinkObject(2, 0), link);
    EXPECT_EQ(master->LinksMade, 1);
    TcxCustomDataController* clone = master->GetDetailDataController(2, 0);
    EXPECT_EQ(clone->GetPatternKind(), 2);
    EXPECT_EQ(clone->GetMasterRecordIndex(), 2);
    TWeakRef<TObject> ref(link);
    master->DeleteRecord(2);
    EXPECT_FALSE(ref);
}

TEST_F(DetailFixture, HasChildrenIsAskedOnceUntilReset)
{
    pattern->SetMasterMode(master->GetRelations()->Add(&level), true);
    auto* p = static_cast<TCountingProvider*>(master->Provider());
    EXPECT_TRUE(master->IsDetailHasChildren(0, 0));
    EXPECT_TRUE(master->IsDetailHasChildren(0, 0));
    EXPECT_FALSE(master->IsDetailHasChildren(1, 0));
    EXPECT_EQ(p->Asked, 2);
    master->ResetHasChildrenFlags();
    master->IsDetailHasChildren(0, 0);
    EXPECT_EQ(p->Asked, 3);
}

TEST_F(DetailFixture, RemovingTheLastRelationFreesTheDetails)
{
    TcxCustomDataRelation* r = master->GetRelations()->Add(&level);
    pattern->SetMasterMode(r, true);
    master->ChangeDetailExpanding(0, true);
    TWeakRef<TObject> obj(master->GetDetailObject(0));
    ASSERT_TRUE(obj);
    master->GetRelations()->Remove(r);
    EXPECT_EQ(master->GetRelations()->LinkField, nullptr);
    EXPECT_FALSE(obj);
    EXPECT_FALSE(pattern->IsDetailMode());
}

TEST_F(DetailFixture, ForEachDetailReachesEveryClone)
{
    TcxCustomDataRelation* r = master->GetRelations()->Add(&level);
    pattern->SetMasterMode(r, true);
    master->GetDetailLinkObject(0, 0);
    master->GetDetailLinkObject(2, 0);
    int clones = 0;
    master->ForEachDetail(r, [&](TcxCustomDataController* d) { clones += d->GetPatternKind() == 2; });
    EXPECT_EQ(clones, 2);
    master->ResetRelationItemDetails(&level);
    EXPECT_FALSE(master->IsDetailLinkObjectExists(0, 0));
}

// Inserting or deleting a master record above an expanded one moves the
// expanded record in the storage; its detail must follow it, so that the
// detail still belongs to the same master row.
TEST_F(DetailFixture, DetailsFollowTheirMasterWhenRecordsAreInsertedOrDeletedAbove)
{
    pattern->SetMasterMode(master->GetRelations()->Add(&level), true);
    ASSERT_TRUE(master->ChangeDetailExpanding(2, true));
    TcxCustomDataController* clone = master->GetDetailDataController(2, 0);
    TcxCustomDataController* above = master->GetDetailDataController(0, 0);
    ASSERT_NE(clone, nullptr);
    ASSERT_NE(above, nullptr);

    int added = master->InsertRecord(1);
    master->SetValue(added, 0, V(10));
    EXPECT_EQ(clone->GetMasterRecordIndex(), 3);
    EXPECT_EQ(master->GetValue(clone->GetMasterRecordIndex(), 0), V(3));
    EXPECT_EQ(master->GetDetailDataController(3, 0), clone);
    EXPECT_TRUE(master->GetDetailExpanding(3));
    EXPECT_EQ(above->GetMasterRecordIndex(), 0);   // before the insert: unmoved

    master->DeleteRecord(0);   // frees the detail of record 0
    EXPECT_EQ(clone->GetMasterRecordIndex(), 2);
    EXPECT_EQ(master->GetValue(clone->GetMasterRecordIndex(), 0), V(3));
    EXPECT_TRUE(master->GetDetailExpanding(2));
    master->DeleteRecord(0);   // the inserted record
    EXPECT_EQ(clone->GetMasterRecordIndex(), 1);
    EXPECT_EQ(master->GetDetailDataController(1, 0), clone);

    master->InsertRecord(master->GetRecordCount());   // after it: unmoved
    EXPECT_EQ(clone->GetMasterRecordIndex(), 1);
}
