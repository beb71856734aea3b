#include "DB.h"
#include "TestController.h"
#include "cxDBData.h"
#include "cxDataConsts.h"

#include <gtest/gtest.h>

using V = Variant;

namespace {

class TDBCtl : public TcxDBDataController {
public:
    std::vector<std::unique_ptr<TTestColumn>> Columns;
    TObject* GetItem(int index) override { return Columns[size_t(index)].get(); }
    void AddColumn(const std::string& name)
    {
        Columns.push_back(std::make_unique<TTestColumn>(300 + int(Columns.size()), name));
        AddItem(Columns.back().get());
        ChangeItemFieldName(int(Columns.size()) - 1, name);
    }
};

struct TCloneLink : TObject {
    TDBCtl* Clone = nullptr;
    ~TCloneLink() override { delete Clone; }
};

class TMasterCtl : public TDBCtl {
public:
    TObject* CreateDetailLinkObject(TcxCustomDataRelation* relation, int record) override
    {
        auto* link = new TCloneLink();
        link->Clone = cxCreateDataController<TDBCtl>();
        link->Clone->AddColumn("StudentId");
        link->Clone->AddColumn("Amount");
        link->Clone->SetKeyFieldNames("Id");
        // A clone takes its pattern's data-mode settings, as the grid's clones do.
        if (auto* pattern = DynamicCast<TcxDBDataController>(relation->DetailDataController()))
            link->Clone->DataModeController()->Assign(pattern->DataModeController());
        link->Clone->SetMasterRelation(relation, record);
        return link;
    }
    TcxCustomDataController* GetDetailDataControllerByLinkObject(TObject* link) override
    {
        return static_cast<TCloneLink*>(link)->Clone;
    }
};

struct MasterDetail : ::testing::Test {
    TDataSet students, receipts;
    TDataSource studentSource, receiptSource;
    std::unique_ptr<TMasterCtl> master;
    std::unique_ptr<TDBCtl> pattern;
    TObject level;

    void SetUp() override
    {
        students.FieldDefs()->Add("Id", ftInteger);
        students.FieldDefs()->Add("Name", ftString, 10);
        students.CreateDataSet();
        for (auto [id, name] : std::vector<std::pair<int, std::string>>{{1, "Wang"}, {2, "Li"}, {3, "Zhao"}})
            students.AppendRecord({V(id), V(name)});
        receipts.FieldDefs()->Add("StudentId", ftInteger);
        receipts.FieldDefs()->Add("Amount", ftFloat);
        receipts.FieldDefs()->Add("Id", ftInteger);
        receipts.CreateDataSet();
        int id = 0;
        for (auto [s, a] : std::vector<std::pair<int, double>>{{1, 10}, {1, 20}, {3, 5}, {3, 6}, {3, 7}})
            receipts.AppendRecord({V(s), V(a), V(++id)});
        students.First();
        receipts.First();
        studentSource.SetDataSet(&students);
        receiptSource.SetDataSet(&receipts);

        master.reset(cxCreateDataController<TMasterCtl>());
        master->AddColumn("Id");
        master->AddColumn("Name");
        master->SetDataSource(&studentSource);
        pattern.reset(cxCreateDataController<TDBCtl>());
        pattern->AddColumn("StudentId");
        pattern->AddColumn("Amount");
        pattern->SetDataSource(&receiptSource);
        pattern->SetMasterKeyFieldNames("Id");
        pattern->SetDetailKeyFieldNames("StudentId");
        pattern->SetMasterMode(master->GetRelations()->Add(&level), true);
    }
    void TearDown() override
    {
        master.reset();
        pattern.reset();
    }
};

}  // namespace

TEST_F(MasterDetail, ThePatternLoadsNoRows)
{
    EXPECT_TRUE(pattern->IsPattern());
    EXPECT_EQ(pattern->GetRecordCount(), 0);
}

TEST_F(MasterDetail, ClonesLoadTheirMastersRows)
{
    ASSERT_EQ(master->GetRecordCount(), 3);
    EXPECT_TRUE(master->ChangeDetailExpanding(2, true));
    TcxCustomDataController* third = master->GetDetailDataController(2, 0);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->GetRecordCount(), 3);
    EXPECT_EQ(third->GetValue(0, 1).AsDouble(), 5);
    TcxCustomDataController* first = master->GetDetailDataController(0, 0);
    EXPECT_EQ(first->GetRecordCount(), 2);
    TcxCustomDataController* second = master->GetDetailDataController(1, 0);
    EXPECT_EQ(second->GetRecordCount(), 0);
}

TEST_F(MasterDetail, HasChildrenLocatesInTheDetailDataSet)
{
    EXPECT_TRUE(master->IsDetailHasChildren(0, 0));
    EXPECT_FALSE(master->IsDetailHasChildren(1, 0));
    EXPECT_TRUE(master->IsDetailHasChildren(2, 0));
    bool asked = false;
    master->ResetHasChildrenFlags();
    master->OnDetailHasChildren = [&](TcxDBDataController*, int, int, const std::string& names, const Variant&,
                                      bool& has) {
        asked = names == "StudentId";
        has = false;
    };
    EXPECT_FALSE(master->IsDetailHasChildren(0, 0));
    EXPECT_TRUE(asked);
}

TEST_F(MasterDetail, NewDetailRowsTakeTheMastersKey)
{
    auto* clone = static_cast<TDBCtl*>(master->GetDetailDataController(1, 0));   // Li, no receipts yet
    ASSERT_NE(clone, nullptr);
    clone->Append();
    receipts.FieldByName("Id")->SetAsInteger(6);
    clone->SetEditValue(1, V(99.0), 0);
    clone->Post();
    EXPECT_TRUE(receipts.Locate("Amount", V(99.0), TLocateOptions()));
    EXPECT_EQ(receipts.FieldByName("StudentId")->AsInteger(), 2);
}

TEST_F(MasterDetail, OneCloneAtATimeOwnsTheDetailRows)
{
    TcxCustomDataController* first = master->GetDetailDataController(0, 0);
    first->ChangeFocusedRowIndex(1);   // Wang's second receipt
    EXPECT_EQ(receipts.FieldByName("Amount")->AsFloat(), 20);
    TcxCustomDataController* third = master->GetDetailDataController(2, 0);
    EXPECT_EQ(third->GetRecordCount(), 3);
    EXPECT_FALSE(static_cast<TcxDBDataController*>(first)->DBProvider()->OwnsDetailRows);
    // Focusing in the first clone puts the data set back on Wang's rows.
    first->ChangeFocusedRowIndex(0);
    EXPECT_EQ(receipts.FieldByName("StudentId")->AsInteger(), 1);
    EXPECT_EQ(receipts.FieldByName("Amount")->AsFloat(), 10);
}

TEST_F(MasterDetail, DetailFilterAdapterIsFoundForEveryDataSet)
{
    EXPECT_NE(pattern->GetDetailFilterAdapter(), nullptr);
    TDBCtl unbound;
    unbound.AfterConstruction();
    EXPECT_THROW(unbound.GetDetailFilterAdapter(), EcxInvalidDataControllerOperation);
}

TEST_F(MasterDetail, MovingTheDetailDataSetMovesTheMaster)
{
    master->SetKeyFieldNames("Id");
    pattern->SetKeyFieldNames("Id");
    students.First();
    TcxDBDataController* shown = nullptr;
    receipts.Locate("Amount", V(6.0), TLocateOptions());   // a row of Zhao (Id 3)
    shown = pattern->OpenDetailDataSet();
    EXPECT_EQ(students.FieldByName("Id")->AsInteger(), 3);
    EXPECT_EQ(master->GetFocusedRecordIndex(), 2);
    EXPECT_TRUE(master->GetDetailExpanding(2));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown, master->GetDetailDataController(2, 0));
}

TEST_F(MasterDetail, ExpandedDetailsSurviveAReloadByKey)
{
    master->SetKeyFieldNames("Id");
    ASSERT_TRUE(master->ChangeDetailExpanding(2, true));   // Zhao
    master->ChangeDetailActiveRelationIndex(2, 0);
    students.First();
    students.Delete();   // Wang goes: everything reloads and moves up
    ASSERT_EQ(master->GetRecordCount(), 2);
    EXPECT_FALSE(master->GetDetailExpanding(0));
    EXPECT_TRUE(master->GetDetailExpanding(1));   // Zhao again
}

TEST_F(MasterDetail, WithoutKeysAReloadCollapses)
{
    ASSERT_TRUE(master->ChangeDetailExpanding(2, true));
    students.First();
    students.Delete();
    EXPECT_FALSE(master->GetDetailExpanding(1));
}

TEST_F(MasterDetail, DetailEventsStandInForTheAdapter)
{
    std::vector<std::string> calls;
    bool current = true;
    TcxDBDataModeController* dm = pattern->DataModeController();
    dm->OnDetailFirst = [&](TcxDBDataController*, TDataSet* ds, const std::string& names, const Variant& values,
                            bool& reopened) {
        calls.push_back("first " + names + "=" + values.AsString());
        EXPECT_FALSE(reopened);
        ds->Locate(names, values, TLocateOptions());
    };
    dm->OnDetailIsCurrentQuery = [&](TcxDBDataController* sender, TDataSet* ds, const std::string& names,
                                     const Variant& values) {
        calls.push_back("current? " + names + "=" + values.AsString());
        EXPECT_EQ(ds, &receipts);
        EXPECT_NE(sender, pattern.get());   // the clone asks
        return current;
    };
    auto* third = static_cast<TDBCtl*>(master->GetDetailDataController(2, 0));
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->GetRecordCount(), 3);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "first StudentId=3");

    // In SQL mode a clone re-positions only when the query is not already its own.
    third->DataModeController()->DetailInSQLMode = true;
    calls.clear();
    third->SyncDetails();
    EXPECT_EQ(calls, std::vector<std::string>{"current? StudentId=3"});
    current = false;
    calls.clear();
    third->SyncDetails();
    EXPECT_EQ(calls, (std::vector<std::string>{"current? StudentId=3", "first StudentId=3"}));
    EXPECT_EQ(receipts.FieldByName("StudentId")->AsInteger(), 3);
}
