#include "DB.h"
#include "TestController.h"
#include "cxDBData.h"
#include "cxDataConsts.h"
#include "cxVariants.h"

#include <gtest/gtest.h>

#include <memory>

using V = Variant;

namespace {

class TTestQuery : public TDataSet {
    QZ_CLASS(TTestQuery, TDataSet)
public:
    explicit TTestQuery(TComponent* owner = nullptr) : TDataSet(owner) {}
};
QZ_CLASS_IMPL(TTestQuery, TDataSet)

class TDBController : public TcxDBDataController {
public:
    std::vector<std::unique_ptr<TTestColumn>> Columns;
    std::vector<std::string> Log;
    int SourceChanges = 0;
    int SequencedScrolls = 0;
    void DataSourceChanged() override { ++SourceChanges; }
    void SequencedScrollChanged() override { ++SequencedScrolls; }
    TDBController()
    {
        OnUpdateControl = [this](TcxUpdateControlInfo* info) { Log.push_back(TTestController::Describe(info)); };
    }
    TObject* GetItem(int index) override { return Columns[size_t(index)].get(); }
    int GetItemID(TObject* item) override
    {
        auto* c = dynamic_cast<TTestColumn*>(item);
        return c ? c->ID : -1;
    }
    int AddColumn(const std::string& fieldName)
    {
        int index = int(Columns.size());
        Columns.push_back(std::make_unique<TTestColumn>(200 + index, fieldName));
        AddItem(Columns.back().get());
        ChangeItemFieldName(index, fieldName);
        return index;
    }
    std::vector<int> RowRecords()
    {
        std::vector<int> r;
        for (int i = 0; i < GetRowCount(); ++i) r.push_back(GetRowInfo(i).RecordIndex);
        return r;
    }
};

struct DBFixture : ::testing::Test {
    std::unique_ptr<TDataSet> ds;
    std::unique_ptr<TDataSource> src;
    std::unique_ptr<TDBController> c;

    void Make(std::unique_ptr<TDataSet> set, const std::vector<std::tuple<int, std::string, int>>& rows)
    {
        ds = std::move(set);
        ds->FieldDefs()->Add("Id", ftInteger);
        ds->FieldDefs()->Add("Name", ftString, 20);
        ds->FieldDefs()->Add("Age", ftInteger);
        ds->FieldDefs()->Add("Full Name]", ftString, 20);
        ds->CreateDataSet();
        for (auto& [id, name, age] : rows) {
            ds->Append();
            ds->FieldByName("Id")->SetAsInteger(id);
            ds->FieldByName("Name")->SetAsString(name);
            ds->FieldByName("Age")->SetAsInteger(age);
            ds->Post();
        }
        ds->First();
        src = std::make_unique<TDataSource>();
        src->SetDataSet(ds.get());
        c.reset(cxCreateDataController<TDBController>());
        c->AddColumn("Id");
        c->AddColumn("Name");
        c->AddColumn("Age");
        c->SetDataSource(src.get());
    }
    void People()
    {
        Make(std::make_unique<TDataSet>(),
             {{1, "Wang", 30}, {2, "Li", 17}, {3, "Zhao", 30}, {4, "Qian", 17}, {5, "Sun", 30}, {6, "Zhou", 41}});
    }
    std::vector<int> DataSetIds()
    {
        std::vector<int> ids;
        TBookmark b = ds->Bookmark();
        ds->First();
        while (!ds->Eof()) {
            ids.push_back(ds->FieldByName("Id")->AsInteger());
            ds->Next();
        }
        if (!b.empty() && ds->BookmarkValid(b)) ds->GotoBookmark(b);
        return ids;
    }
    void TearDown() override
    {
        c.reset();
        src.reset();
        ds.reset();
    }
};

}  // namespace

TEST_F(DBFixture, LoadsTheDataSetInItsOrder)
{
    People();
    ASSERT_EQ(c->GetRecordCount(), 6);
    EXPECT_EQ(c->GetValue(0, 1).AsString(), "Wang");
    EXPECT_EQ(c->GetValue(5, 2).AsInteger(), 41);
    EXPECT_EQ(c->GetItemValueTypeClass(0), TcxIntegerValueType::Class());
    EXPECT_EQ(c->GetItemValueTypeClass(1), TcxStringValueType::Class());
    EXPECT_EQ(c->GetFocusedRecordIndex(), 0);
    ds->Close();
    EXPECT_EQ(c->GetRecordCount(), 0);
}

TEST_F(DBFixture, FocusAndDataSetFollowEachOther)
{
    People();
    ds->Next();
    ds->Next();
    EXPECT_EQ(c->GetFocusedRecordIndex(), 2);
    c->ChangeFocusedRowIndex(4);
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 5);
    c->ChangeSorting(1, soAscending);   // Li, Qian, Sun, Wang, Zhao, Zhou
    EXPECT_EQ(c->GetFocusedRecordIndex(), 4);
    c->ChangeFocusedRowIndex(0);
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "Li");
}

TEST_F(DBFixture, KeyFieldsLocateRecords)
{
    People();
    c->SetKeyFieldNames("Id");
    EXPECT_TRUE(c->IsKeyNavigation());
    EXPECT_EQ(c->FindRecordIndexByKey(V(4)), 3);
    EXPECT_TRUE(c->LocateByKey(V(6)));
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 6);
    EXPECT_FALSE(c->LocateByKey(V(99)));
    c->SetKeyFieldNames("Id;Name");
    EXPECT_EQ(c->FindRecordIndexByKey(VarArrayOf({V(2), V("Li")})), 1);
    EXPECT_EQ(c->FindRecordIndexByKey(V(2)), -1);   // several key fields need an array
    c->SetKeyFieldNames("");
    EXPECT_FALSE(c->IsKeyNavigation());
}

TEST_F(DBFixture, EditsGoToTheDataSet)
{
    People();
    c->ChangeFocusedRowIndex(1);
    EXPECT_TRUE(c->SetEditValue(1, V("Lee"), 0));
    EXPECT_TRUE(c->IsEditing());
    c->Post();
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(c->GetValue(1, 1).AsString(), "Lee");
    // An insert made through the data set itself shows up as a row.
    ds->Last();
    ds->Append();
    ds->FieldByName("Id")->SetAsInteger(7);
    ds->FieldByName("Name")->SetAsString("Wu");
    EXPECT_EQ(c->GetRecordCount(), 7);
    ds->Post();
    EXPECT_EQ(c->GetRecordCount(), 7);
    EXPECT_EQ(c->GetValue(6, 1).AsString(), "Wu");
    // Cancel of a controller insert leaves nothing behind.
    c->Insert();
    EXPECT_EQ(ds->State(), dsInsert);
    c->Cancel();
    EXPECT_EQ(c->GetRecordCount(), 7);
    EXPECT_EQ(DataSetIds().size(), 7u);
}

TEST_F(DBFixture, DeletingAGroupRowDeletesExactlyItsRowsByPosition)
{
    People();
    c->ChangeSorting(0, soDescending);
    c->Groups()->ChangeGroupIndex(2, 0);   // ages 17, 30, 41; group 30 holds Ids 5, 3, 1
    c->Groups()->FullExpand();
    c->ChangeFocusedRowIndex(3);   // group row of age 30
    ASSERT_LT(c->GetRowInfo(3).Level, 1);
    c->DeleteFocused();
    EXPECT_EQ(DataSetIds(), (std::vector<int>{2, 4, 6}));
    EXPECT_EQ(c->GetRecordCount(), 3);
}

TEST_F(DBFixture, DeletingAGroupRowDeletesExactlyItsRowsByKey)
{
    People();
    c->SetKeyFieldNames("Id");
    c->ChangeSorting(1, soDescending);
    c->Groups()->ChangeGroupIndex(2, 0);
    c->ChangeFocusedRowIndex(0);   // group of age 17: Ids 4, 2
    c->DeleteFocused();
    EXPECT_EQ(DataSetIds(), (std::vector<int>{1, 3, 5, 6}));
}

TEST_F(DBFixture, ChangesWhileAnotherControllerReadsAreDeferredNotLost)
{
    People();
    std::unique_ptr<TDBController> other(cxCreateDataController<TDBController>());
    other->AddColumn("Id");
    other->SetDataSource(src.get());
    ASSERT_EQ(other->GetRecordCount(), 6);
    // c starts reading while the data set holds an unposted edit: the edit is
    // cancelled and every controller on the data set must reload.
    ds->Edit();
    ds->FieldByName("Name")->SetAsString("changed");
    c->DBProvider()->LockSource();
    EXPECT_EQ(ds->State(), dsBrowse);
    other->Log.clear();
    c->DBProvider()->UnlockSource();   // the data set's notice reaches other while c is busy
    EXPECT_TRUE(std::find(other->Log.begin(), other->Log.end(), "data:4,-1,-1") == other->Log.end());
    c->UpdateFields();                 // c has loaded: the held notice is replayed
    EXPECT_TRUE(std::find(other->Log.begin(), other->Log.end(), "data:4,-1,-1") != other->Log.end());
}

TEST_F(DBFixture, GridModeHoldsTheBufferWindow)
{
    People();
    c->DataModeController()->SetGridModeBufferCount(-5);
    EXPECT_EQ(c->DataModeController()->GridModeBufferCount(), 0);
    c->DataModeController()->SetGridModeBufferCount(4);
    c->DataModeController()->SetGridMode(true);
    EXPECT_TRUE(c->IsGridMode());
    EXPECT_EQ(c->GetRecordCount(), 4);
    EXPECT_EQ(c->GetValue(1, 1).AsString(), "Li");
    EXPECT_EQ(c->GetDisplayText(3, 1), "Qian");
    c->GotoNext();
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 2);
    // Grouping switches grid mode off and loads everything.
    c->Groups()->ChangeGroupIndex(2, 0);
    EXPECT_FALSE(c->IsGridMode());
    EXPECT_EQ(c->GetRecordCount(), 6);
}

TEST_F(DBFixture, RecordNumbersAndHooksFollowTheDataSet)
{
    People();
    EXPECT_EQ(c->SourceChanges, 1);
    c->SetDataSource(src.get());   // the same source: nothing changed
    EXPECT_EQ(c->SourceChanges, 1);
    EXPECT_TRUE(c->IsDataSetSequenced());
    c->DataModeController()->SetGridModeBufferCount(3);
    c->DataModeController()->SetGridMode(true);
    c->SetDataSetRecNo(5);
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "Sun");
    EXPECT_EQ(c->GetDataSetRecNo(), 5);
    c->SequencedScrolls = 0;
    ds->Prior();
    EXPECT_EQ(c->SequencedScrolls, 1);
    // Outside grid mode a scroll is no business of the sequenced hook.
    c->DataModeController()->SetGridMode(false);
    c->SetDataSetRecNo(2);
    EXPECT_EQ(c->GetFocusedRecordIndex(), 1);
    c->SequencedScrolls = 0;
    ds->Next();
    EXPECT_EQ(c->GetFocusedRecordIndex(), 2);
    EXPECT_EQ(c->SequencedScrolls, 0);

    c->SetDataSource(nullptr);
    EXPECT_EQ(c->SourceChanges, 2);
    EXPECT_FALSE(c->IsDataSetSequenced());
    EXPECT_EQ(c->GetDataSetRecNo(), -1);
    c->SetDataSetRecNo(3);   // no data set: nothing to move, no fault
}

TEST_F(DBFixture, EmptyDataSetInGridMode)
{
    Make(std::make_unique<TDataSet>(), {});
    c->DataModeController()->SetGridMode(true);
    EXPECT_EQ(c->GetRecordCount(), 0);
    EXPECT_TRUE(c->IsBOF());
    EXPECT_TRUE(c->IsEOF());
}

TEST_F(DBFixture, AutoDataSetFilterWritesSafeText)
{
    People();
    c->AddColumn("Full Name]");
    TcxDBDataFilterCriteria* f = c->DBFilter();
    f->BeginUpdate();
    f->SetAutoDataSetFilter(true);
    f->Root()->SetBoolOperatorKind(fboOr);
    f->AddItem(nullptr, c->GetItem(1), foEqual, V("O'Brien"), "O'Brien");
    f->AddItem(nullptr, c->GetItem(2), foLess, V(18), "18");
    f->AddItem(nullptr, c->GetItem(3), foEqual, Null(), "");
    f->SetActive(true);
    f->EndUpdate();
    EXPECT_EQ(ds->Filter(), "(Name = 'O''Brien') OR (Age < 18) OR (\"Full Name]\" = NULL)");
    EXPECT_TRUE(ds->Filtered());
    EXPECT_FALSE(f->IsFiltering());   // the data set filters, not the controller
}

TEST_F(DBFixture, DataSetFilterSettingsTravelThroughTheComponentStream)
{
    People();
    TcxDBDataFilterCriteria* f = c->DBFilter();
    f->BeginUpdate();
    f->SetIgnoreOrigin(false);
    f->SetTranslateIn(true);
    f->SetSupportedLike(false);
    f->SetDateTimeFormat("yyyy-mm-dd");
    f->AddItem(nullptr, c->GetItem(2), foGreater, V(20), "20");
    f->EndUpdate();
    TStringStream s;
    f->SaveToStream(&s);

    f->BeginUpdate();
    f->RestoreDefaults();
    f->SetDateTimeFormat("");
    f->Clear();
    f->EndUpdate();
    s.SetPosition(0);
    f->LoadFromStream(&s);
    EXPECT_FALSE(f->IgnoreOrigin());
    EXPECT_TRUE(f->TranslateIn());
    EXPECT_FALSE(f->SupportedLike());
    EXPECT_FALSE(f->AutoDataSetFilter());
    EXPECT_EQ(f->DateTimeFormat(), "yyyy-mm-dd");
    EXPECT_EQ(f->GetFilterText(), "(Age > 20)");
}

TEST_F(DBFixture, QueryDataSetsTestBlanksWithIsNull)
{
    Make(std::make_unique<TTestQuery>(), {{1, "a", 1}});
    c->Filter()->AddItem(nullptr, c->GetItem(1), foEqual, Null(), "");
    c->Filter()->AddItem(nullptr, c->GetItem(2), foNotEqual, Null(), "");
    EXPECT_EQ(c->Filter()->GetFilterText(), "(Name IS NULL) AND (Age IS NOT NULL)");
}

TEST_F(DBFixture, SecondColumnOnAFieldSharesItsStorage)
{
    People();
    int second = c->AddColumn("Name");
    EXPECT_EQ(c->Fields()->Fields(second)->LinkedField(), c->Fields()->Fields(1));
    EXPECT_EQ(c->GetValue(0, second).AsString(), "Wang");
}

TEST(cxDB, FieldNameLists)
{
    EXPECT_EQ(cxDB::GetFieldNamesCount(""), 0);
    EXPECT_EQ(cxDB::GetFieldNamesCount("A;B;C"), 3);
    EXPECT_TRUE(cxDB::IsMultipleFieldNames("A;B;C"));
    EXPECT_EQ(cxDB::GetFieldNamesCount("A"), 1);
    EXPECT_FALSE(cxDB::IsMultipleFieldNames("A"));
    EXPECT_TRUE(cxDB::SameFieldName("name", "NAME"));
}

TEST(cxDB, SubFieldsBelongToOneParent)
{
    auto c = std::unique_ptr<TDBController>(cxCreateDataController<TDBController>());
    auto* a = static_cast<TcxDBDataField*>(c->AddInternalField());
    auto* b = static_cast<TcxDBDataField*>(c->AddInternalField());
    auto* sub = static_cast<TcxDBDataField*>(c->AddInternalField());
    a->AddSubField(sub);
    try {
        b->AddSubField(sub);
        FAIL();
    } catch (const EcxInvalidDataControllerOperation& e) {
        EXPECT_STREQ(e.what(), "ADataField.FParentField <> nil");
    }
}

TEST(cxDB, AdapterListFindsTheMostDerivedAncestor)
{
    TcxDBAdapterList list;
    auto make = [](TClass c) -> TcxDBAdapterItem* { return new TcxDBAdapterItem(c); };
    list.RegisterAdapter(TTestQuery::StaticClass(), make, TcxDBAdapterItem::StaticClass());
    list.RegisterAdapter(TDataSet::StaticClass(), make, TcxDBAdapterItem::StaticClass());
    EXPECT_EQ(list.Items(0)->ServedClass(), TDataSet::StaticClass());
    EXPECT_EQ(list.FindAdapter(TTestQuery::StaticClass())->ServedClass(), TTestQuery::StaticClass());
    EXPECT_EQ(list.FindAdapter(TDataSet::StaticClass())->ServedClass(), TDataSet::StaticClass());
    list.UnregisterAdapter(TTestQuery::StaticClass(), TcxDBAdapterItem::StaticClass());
    EXPECT_EQ(list.Count(), 1);
}

TEST(cxDB, FilterFieldNames)
{
    TDataSet ds;
    ds.FieldDefs()->Add("Name", ftString, 10);
    ds.FieldDefs()->Add("Given Name", ftString, 10);
    ds.CreateDataSet();
    EXPECT_EQ(cxDB::GetFilterFieldName(ds.FieldByName("Name"), true), "Name");
    EXPECT_EQ(cxDB::GetFilterFieldName(ds.FieldByName("Given Name"), true), "[Given Name]");
    ds.FieldByName("Name")->SetOrigin("T.Name");
    EXPECT_EQ(cxDB::GetFilterFieldName(ds.FieldByName("Name"), false), "T.Name");
    EXPECT_EQ(cxDB::GetFilterFieldName(ds.FieldByName("Name"), true), "Name");
    EXPECT_EQ(cxDB::GetFilterFieldName(nullptr, true), "");
}

TEST_F(DBFixture, SelectionSurvivesAReloadByKey)
{
    People();
    c->SetKeyFieldNames("Id");
    c->SetMultiSelect(true);
    c->ChangeRowSelection(2, true);   // Id 3
    c->ChangeRowSelection(4, true);   // Id 5
    // Deleting Id 1 in the data set reloads everything; records move down.
    ds->First();
    ds->Delete();
    ASSERT_EQ(c->GetRecordCount(), 5);
    std::vector<int> ids;
    for (int i = 0; i < c->GetSelectedCount(); ++i)
        ids.push_back(c->GetValue(c->GetRowInfo(c->GetSelectedRowIndex(i)).RecordIndex, 0).AsInteger());
    EXPECT_EQ(ids, (std::vector<int>{3, 5}));
}

TEST_F(DBFixture, WithoutKeysAReloadTrimsTheSelection)
{
    People();
    c->SetMultiSelect(true);
    c->ChangeRowSelection(5, true);
    ds->Last();
    ds->Delete();
    EXPECT_EQ(c->GetRecordCount(), 5);
    for (int i = 0; i < c->GetSelectedCount(); ++i) EXPECT_LT(c->GetSelectedRowIndex(i), 5);
}

TEST_F(DBFixture, GridModeSelectionIsKeptByBookmarks)
{
    People();
    EXPECT_THROW(c->GetSelectedBookmark(0), EcxInvalidDataControllerOperation);
    c->DataModeController()->SetGridModeBufferCount(3);
    c->DataModeController()->SetGridMode(true);
    c->SetMultiSelect(true);
    c->ChangeRowSelection(1, true);   // Id 2
    EXPECT_EQ(c->GetSelectedCount(), 1);
    EXPECT_TRUE(c->IsRowSelected(1));
    c->SetSelectionAnchor(0);
    c->SelectFromAnchor(2, false);   // Ids 1..3
    EXPECT_EQ(c->GetSelectedCount(), 3);
    c->SelectAll();
    EXPECT_EQ(c->GetSelectedCount(), 6);
    EXPECT_EQ(c->GetSelectedRowIndex(5), -1);   // outside the buffer window
    std::vector<int> ids;
    c->ForEachRow(true, [&](int, const TcxDataControllerRowInfo&) { ids.push_back(ds->FieldByName("Id")->AsInteger()); });
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    // Deleting the selection deletes exactly the selected rows.
    ds->First();   // the buffer window shows Ids 1..3 again
    c->SetSelectionAnchor(0);
    c->SelectFromAnchor(1, false);   // Ids 1, 2
    EXPECT_EQ(c->GetSelectedCount(), 2);
    c->DeleteSelection();
    EXPECT_EQ(DataSetIds(), (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(c->GetSelectedCount(), 0);
}

TEST_F(DBFixture, GridModeDropsBookmarksOfRecordsDeletedElsewhere)
{
    People();
    c->DataModeController()->SetGridMode(true);
    c->SetMultiSelect(true);
    c->ChangeRowSelection(0, true);
    c->ChangeRowSelection(3, true);
    ds->First();
    ds->Delete();   // another control deletes Id 1
    EXPECT_EQ(c->GetSelectedCount(), 1);
}

TEST_F(DBFixture, SmartRefreshReReadsOneRecord)
{
    People();
    c->SetKeyFieldNames("Id");
    c->DataModeController()->SetSmartRefresh(true);
    c->ChangeFocusedRowIndex(2);   // Id 3
    c->Log.clear();
    c->Edit();
    c->SetEditValue(1, V("Zhang"), 0);
    c->Post();
    EXPECT_EQ(c->GetValue(2, 1).AsString(), "Zhang");
    EXPECT_NE(std::find(c->Log.begin(), c->Log.end(), "data:1,-1,2"), c->Log.end());
    EXPECT_EQ(std::find(c->Log.begin(), c->Log.end(), "data:4,-1,-1"), c->Log.end());   // no reload
    c->DeleteFocused();
    EXPECT_EQ(c->GetRecordCount(), 5);
    EXPECT_EQ(DataSetIds(), (std::vector<int>{1, 2, 4, 5, 6}));
    for (int r = 0; r < 5; ++r) EXPECT_NE(c->GetValue(r, 0).AsInteger(), 3);
}

TEST(DBLookup, LookupFieldsSplitIntoKeySubFields)
{
    TDataSet cars;
    cars.FieldDefs()->Add("CarId", ftInteger);
    cars.FieldDefs()->Add("CarNo", ftString, 20);
    cars.CreateDataSet();
    cars.AppendRecord({7, "京A-7"});
    cars.AppendRecord({8, "京A-8"});
    TDataSet ds;
    ds.FieldDefs()->Add("Id", ftInteger);
    ds.FieldDefs()->Add("CarId", ftInteger);
    for (const char* n : {"Id", "CarId"}) {
        auto* f = new TIntegerField(&ds);
        f->SetFieldName(n);
        f->SetDataSet(&ds);
    }
    auto* car = new TStringField(&ds);
    car->SetFieldName("CarNo");
    car->SetFieldKind(fkLookup);
    car->SetKeyFields("CarId");
    car->SetLookupDataSet(&cars);
    car->SetLookupKeyFields("CarId");
    car->SetLookupResultField("CarNo");
    car->SetDataSet(&ds);
    ds.CreateDataSet();
    ds.AppendRecord({1, 8});
    ds.AppendRecord({2, 7});
    ds.First();
    TDataSource src;
    src.SetDataSet(&ds);
    std::unique_ptr<TDBController> c(cxCreateDataController<TDBController>());
    c->AddColumn("Id");
    c->AddColumn("CarNo");
    c->SetDataSource(&src);
    auto* f = static_cast<TcxDBDataField*>(c->Fields()->Fields(1));
    ASSERT_TRUE(f->IsLookup());
    ASSERT_EQ(f->SubFieldCount(), 1);
    EXPECT_EQ(c->GetValue(0, 1).AsString(), "京A-8");   // the shown value
    Variant key;
    c->GetValueSlot(0, f, key);
    EXPECT_EQ(key.AsInteger(), 8);                        // the value the lists and groups use
    EXPECT_EQ(c->GetFilterItemFieldName(c->GetItem(1)), "CarId");
}

TEST_F(DBFixture, GridModeTextSearchMovesTheDataSet)
{
    People();
    c->DataModeController()->SetGridModeBufferCount(2);
    c->DataModeController()->SetGridMode(true);
    EXPECT_TRUE(c->Search()->Locate(1, "zh"));   // Zhao, outside the first window
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "Zhao");
    EXPECT_TRUE(c->Search()->LocateNext(true));
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "Zhou");
    EXPECT_FALSE(c->Search()->LocateNext(true));   // a repeated search does not wrap
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "Zhou");
}

TEST_F(DBFixture, FilterChangesPostPendingEditsAndReportTheirText)
{
    People();
    std::string seen;
    c->DBFilter()->OnBeforeChange = [&](TObject*, TDataSet*, const std::string& text) { seen = text; };
    ds->Edit();
    ds->FieldByName("Name")->SetAsString("Wong");
    c->Filter()->AddItem(nullptr, c->GetItem(2), foGreater, V(20), "20");
    EXPECT_EQ(ds->State(), dsBrowse);   // the edit was posted first
    EXPECT_EQ(seen, "(Age > 20)");
    EXPECT_EQ(c->GetValue(0, 1).AsString(), "Wong");
}

TEST_F(DBFixture, SummaryItemsCanNameADataSetField)
{
    People();
    auto* item = static_cast<TcxDBDataSummaryItem*>(
        c->Summary()->FooterSummaryItems()->Add(nullptr, spFooter, skSum));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(c->Summary()->GetFooterSummaryValue(0).IsNull());
    item->SetFieldName("Age");   // by name, without an item
    EXPECT_EQ(c->Summary()->GetFooterSummaryValue(0).AsInteger(), 30 + 17 + 30 + 17 + 30 + 41);
}
