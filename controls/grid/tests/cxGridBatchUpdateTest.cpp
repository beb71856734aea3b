// A batch update over the selected records of a record view, as the
// program's lists post one change to every selected row: the record objects
// the view hands out are renewed when the row count changes, so the update
// reads each record's index before it posts, and never touches a record
// object after a post (run under the address sanitizer this catches a use of
// a freed record).
#include "GridTestBase.h"

#include "cxCustomData.h"
#include "cxGridCustomTableView.h"

namespace {

class GridBatchUpdateTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        View = static_cast<TcxGridTestTableView*>(Grid->CreateView(TcxGridTestTableView::StaticClass()));
        Grid->RootLevel()->Add()->SetGridView(View);
        Age = View->CreateItem();
        Age->DataBinding()->SetValueTypeClass(TcxIntegerValueType::Class());
        Note = View->CreateItem();
        Note->DataBinding()->SetValueTypeClass(TcxStringValueType::Class());
        TcxCustomDataController* dc = View->DataController();
        dc->SetRecordCount(6);
        for (int r = 0; r < 6; ++r) dc->SetValue(r, Age->Index(), 20 + r);
        dc->SetMultiSelect(true);
    }
    // The records' indexes first, then one post per record.
    void BatchUpdate(int AItem, const std::function<Variant(int)>& AValue)
    {
        TcxCustomGridTableController* c = View->Controller();
        std::vector<int> records;
        for (int i = 0; i < c->GetSelectedRecordCount(); ++i)
            if (TcxCustomGridRecord* r = c->GetSelectedRecord(i)) records.push_back(r->RecordIndex());
        for (int record : records) View->DataController()->SetValue(record, AItem, AValue(record));
    }
    TcxGridTestTableView* View = nullptr;
    TcxCustomGridTableItem* Age = nullptr;
    TcxCustomGridTableItem* Note = nullptr;
};

TEST_F(GridBatchUpdateTest, PostsToEverySelectedRecordWhileRowsAreRenewed)
{
    TcxCustomDataController* dc = View->DataController();
    // A filter that the update itself makes rows leave: every post renews the rows.
    dc->Filter()->AddItem(nullptr, Age, foLess, 30, "30");
    dc->Filter()->SetActive(true);
    ASSERT_EQ(dc->GetRowCount(), 6);
    for (int row : {1, 3, 4}) dc->ChangeRowSelection(row, true);
    ASSERT_EQ(View->Controller()->GetSelectedRecordCount(), 3);
    BatchUpdate(Age->Index(), [](int r) { return Variant(100 + r); });
    EXPECT_EQ(dc->GetRowCount(), 3) << "the updated records left the filter";
    for (int r : {1, 3, 4}) EXPECT_EQ(dc->GetValue(r, Age->Index()).AsInteger(), 100 + r) << r;
    for (int r : {0, 2, 5}) EXPECT_EQ(dc->GetValue(r, Age->Index()).AsInteger(), 20 + r) << r;
    // The records handed out now are new ones; each still answers for its row.
    for (int i = 0; i < View->ViewData()->RecordCount(); ++i)
        EXPECT_LT(View->ViewData()->GetRecordByIndex(i)->RecordIndex(), 6);
}

TEST_F(GridBatchUpdateTest, PostsThatKeepTheRowsLeaveTheSelection)
{
    TcxCustomDataController* dc = View->DataController();
    for (int row : {0, 5}) dc->ChangeRowSelection(row, true);
    BatchUpdate(Note->Index(), [](int r) { return Variant("已处理" + std::to_string(r)); });
    EXPECT_EQ(VarToStr(dc->GetValue(0, Note->Index())), "已处理0");
    EXPECT_EQ(VarToStr(dc->GetValue(5, Note->Index())), "已处理5");
    EXPECT_TRUE(dc->GetValue(2, Note->Index()).IsNull());
    EXPECT_EQ(View->Controller()->GetSelectedRecordCount(), 2);
}

}  // namespace
