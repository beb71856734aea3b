// The data-aware table view over an in-memory data set: columns bound by
// field name, their captions, widths and editors from the fields, the
// stored data-set filter flag, and when the scroll bar follows the data set.
#include "GridTestBase.h"

#include "DB.h"
#include "cxEditDBRegisteredRepositoryItems.h"
#include "cxGridDBTableView.h"
#include "cxGridLevel.h"
#include "cxGridTableLayout.h"

// A data controller that counts its grid-mode buffer refreshes.
class TCountingDBDataController : public TcxGridDBDataController {
    QZ_CLASS(TCountingDBDataController, TcxGridDBDataController)
public:
    using TcxGridDBDataController::TcxGridDBDataController;
    void CheckGridModeBufferCount() override
    {
        ++Refreshes;
        TcxGridDBDataController::CheckGridModeBufferCount();
    }
    int Refreshes = 0;
};
QZ_CLASS_IMPL(TCountingDBDataController, TcxGridDBDataController)

class TCountingDBTableView : public TcxGridDBTableView {
    QZ_CLASS(TCountingDBTableView, TcxGridDBTableView)
public:
    using TcxGridDBTableView::TcxGridDBTableView;
    TcxGridClassRef<TcxCustomDataController, TComponent*> GetDataControllerClass() override
    {
        return TcxGridClassRef<TcxCustomDataController, TComponent*>::Of<TCountingDBDataController>();
    }
};
QZ_CLASS_IMPL(TCountingDBTableView, TcxGridDBTableView)

namespace {

class GridDBTableViewTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        Editors = std::make_unique<TDefaultEditorsScope>();
        cxEditDBRegisteredRepositoryItems::Initialize();
        cxGridDBTableView::Initialize();
        DataSet = std::make_unique<TDataSet>();
        DataSet->FieldDefs()->Add("Id", ftInteger);
        DataSet->FieldDefs()->Add("NAME", ftString, 20);
        DataSet->FieldDefs()->Add("City", ftString, 10);
        DataSet->CreateDataSet();
        const char* names[] = {"张三", "李四", "王五"};
        for (int i = 0; i < 3; ++i) {
            DataSet->Append();
            DataSet->FieldByName("Id")->SetAsInteger(i + 1);
            DataSet->FieldByName("NAME")->SetAsString(names[i]);
            DataSet->FieldByName("City")->SetAsString(i == 1 ? "Rome" : "Paris");
            DataSet->Post();
        }
        DataSet->First();
        Source = std::make_unique<TDataSource>();
        Source->SetDataSet(DataSet.get());
        View = static_cast<TcxGridDBTableView*>(Grid->CreateView(TcxGridDBTableView::StaticClass()));
        View->SetName("DBView");
        Grid->RootLevel()->Add()->SetGridView(View);
    }
    void TearDown() override
    {
        GridTestBase::TearDown();
        Source.reset();
        DataSet.reset();
        cxEditDBRegisteredRepositoryItems::Finalize();
        Editors.reset();
    }
    TcxGridDBColumn* AddColumn(const std::string& AFieldName)
    {
        TcxGridDBColumn* column = View->CreateColumn();
        column->DataBinding()->SetFieldName(AFieldName);
        return column;
    }
    std::unique_ptr<TDefaultEditorsScope> Editors;
    std::unique_ptr<TDataSet> DataSet;
    std::unique_ptr<TDataSource> Source;
    TcxGridDBTableView* View = nullptr;
};

TEST_F(GridDBTableViewTest, ColumnsAreFoundByTheirFieldNames)
{
    TcxGridDBColumn* id = AddColumn("Id");
    TcxGridDBColumn* name = AddColumn("NAME");
    TcxGridDBColumn* again = AddColumn("NAME");
    View->DataController()->SetDataSource(Source.get());
    EXPECT_EQ(View->GetColumnByFieldName("name"), name);
    EXPECT_EQ(View->GetColumnByFieldName("ID"), id);
    EXPECT_NE(View->GetColumnByFieldName("Name"), again);
    EXPECT_EQ(View->GetColumnByFieldName("Missing"), nullptr);
    // The binding follows the column when it moves.
    name->SetIndex(0);
    EXPECT_EQ(name->DataBinding()->FieldName(), "NAME");
    EXPECT_EQ(View->GetColumnByFieldName("NAME"), name);
    EXPECT_EQ(name->DataBinding()->Field(), DataSet->FieldByName("NAME"));
}

TEST_F(GridDBTableViewTest, ColumnsShowTheirFieldsRows)
{
    AddColumn("Id");
    AddColumn("NAME");
    View->DataController()->SetDataSource(Source.get());
    ASSERT_EQ(View->DataController()->GetRecordCount(), 3);
    EXPECT_EQ(View->DataController()->GetDisplayText(1, 1), "李四");
    EXPECT_EQ(View->ViewData()->RowCount(), 3);
}

TEST_F(GridDBTableViewTest, CaptionAndWidthFromTheField)
{
    TcxGridDBColumn* name = AddColumn("NAME");
    TcxGridDBColumn* missing = AddColumn("NoSuchField");
    DataSet->FieldByName("NAME")->SetDisplayLabel("姓名");
    DataSet->FieldByName("NAME")->SetDisplayWidth(10);
    View->DataController()->SetDataSource(Source.get());
    EXPECT_EQ(name->Caption(), "姓名");
    EXPECT_EQ(missing->Caption(), "NoSuchField");
    EXPECT_EQ(missing->Width(), 64);
    TcxScreenCanvas canvas;
    TcxViewParams params;
    View->Styles()->GetContentParams(nullptr, name, params);
    if (params.Font) canvas.Font()->Assign(params.Font);
    EXPECT_EQ(name->Width(), std::max(canvas.TextWidth("0") * 10 + 4, name->MinWidth()));
    // Never below the minimum width.
    DataSet->FieldByName("NAME")->SetDisplayWidth(1);
    EXPECT_EQ(name->Width(), std::max(canvas.TextWidth("0") + 4, 20));
}

TEST_F(GridDBTableViewTest, TheEditorComesFromTheFieldType)
{
    TcxGridDBColumn* id = AddColumn("Id");
    View->DataController()->SetDataSource(Source.get());
    TcxEditRepositoryItem* expected =
        cxEditDBRegisteredRepositoryItems::GetDefaultEditDBRepositoryItems()->GetItemByField(DataSet->FieldByName("Id"));
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(id->DefaultRepositoryItem(), expected);
    EXPECT_EQ(id->GetProperties(), expected->Properties());
}

TEST_F(GridDBTableViewTest, StoredDataSetFilterFlag)
{
    View->SetStoredPropertyValue("FilterAutoDataSetFilter", Variant(std::string("true")));
    EXPECT_TRUE(View->DataController()->DBFilter()->AutoDataSetFilter());
    EXPECT_TRUE(View->GetStoredPropertyValue("FilterAutoDataSetFilter").AsBoolean());
    View->SetStoredPropertyValue("FilterAutoDataSetFilter", Variant(std::string("FALSE")));
    EXPECT_FALSE(View->DataController()->DBFilter()->AutoDataSetFilter());
    EXPECT_THROW(View->SetStoredPropertyValue("FilterAutoDataSetFilter", Variant(std::string("yes"))),
                 EPropertyConvertError);
    EXPECT_FALSE(View->DataController()->DBFilter()->AutoDataSetFilter());
}

TEST_F(GridDBTableViewTest, TheScrollBarFollowsTheDataSetOnlyForEvenRows)
{
    AddColumn("Id");
    AddColumn("City");
    View->DataController()->DataModeController()->SetGridMode(true);
    View->DataController()->SetDataSource(Source.get());
    ShowForm();
    GuiTest::ProcessEvents();
    TcxGridDBDataController* dc = View->DataController();
    ASSERT_TRUE(dc->IsGridMode());
    EXPECT_TRUE(dc->IsDataSetScrolling());
    DataSet->SetRecNo(2);
    EXPECT_EQ(dc->GetScrollBarPos(), 1);
    EXPECT_TRUE(dc->SetScrollBarPos(2));
    EXPECT_EQ(DataSet->RecNo(), 3);
    // A preview, a grouping or details make row heights differ.
    View->Preview()->SetColumn(View->Columns(1));
    View->Preview()->SetVisible(true);
    EXPECT_FALSE(dc->IsDataSetScrolling());
    EXPECT_EQ(dc->GetScrollBarPos(), -1);
    EXPECT_FALSE(dc->SetScrollBarPos(0));
    View->Preview()->SetVisible(false);
    EXPECT_TRUE(dc->IsDataSetScrolling());
    View->Level()->Add();
    EXPECT_FALSE(dc->IsDataSetScrolling());
}

TEST_F(GridDBTableViewTest, TheViewIsRegisteredAndAsksTheGridForItsItems)
{
    TcxRegisteredClasses* views = cxGridCustomView::cxGridRegisteredViews();
    int index = views->IndexOfClass(TcxGridDBTableView::StaticClass());
    ASSERT_GE(index, 0);
    EXPECT_EQ(views->GetDescription(index), "DB Table");
    TcxGridDBColumn* column = AddColumn("Id");
    EXPECT_EQ(View->DataController()->GetItem(0), column);
    EXPECT_EQ(View->DataController()->GetItemID(column), column->ID());
    EXPECT_NE(View->GridDataController(), nullptr);
    TcxDataSummary* summary = View->DataController()->Summary();
    EXPECT_TRUE(static_cast<TCollection*>(summary->FooterSummaryItems())->Add()->InheritsFrom(
        TcxGridDBTableSummaryItem::StaticClass()));
}

TEST_F(GridDBTableViewTest, ABoundViewLaysOutItsRows)
{
    AddColumn("Id");
    AddColumn("NAME");
    View->DataController()->SetDataSource(Source.get());
    Grid->SetBounds(0, 0, 300, 200);
    ShowForm();
    GuiTest::ProcessEvents();
    TcxGridTableViewInfo* vi = View->ViewInfo();
    ASSERT_NE(vi, nullptr);
    vi->Recalculate();
    EXPECT_EQ(vi->RowsViewInfo()->VisibleCount(), 3);
    auto* row = DynamicCast<TcxGridDataRowViewInfo>(vi->RowsViewInfo()->ItemAt(2));
    ASSERT_NE(row, nullptr);
    ASSERT_NE(row->Cells(1), nullptr);
    EXPECT_EQ(row->Cells(1)->GetText(), "王五");
}

// A column with its own editor changes whenever the fields are bound anew,
// which a data set that closes and opens again does while the view still
// holds its rows of before: the view lays itself out only once it knows.
TEST_F(GridDBTableViewTest, AColumnWithItsOwnEditorFollowsTheDataSetClosingAndOpening)
{
    AddColumn("Id");
    TcxGridDBColumn* name = AddColumn("NAME");
    name->SetPropertiesClass(TcxTextEditProperties::StaticClass());
    View->DataController()->SetDataSource(Source.get());
    Grid->SetBounds(0, 0, 300, 200);
    ShowForm();
    GuiTest::ProcessEvents();
    ASSERT_EQ(View->ViewData()->RowCount(), 3);
    DataSet->Close();
    EXPECT_EQ(View->ViewData()->RowCount(), 0);
    // Open again with other rows, as a query run anew brings them.
    DataSet->Open();
    for (const char* n : {"赵六", "孙七"}) {
        DataSet->Append();
        DataSet->FieldByName("NAME")->SetAsString(n);
        DataSet->Post();
    }
    GuiTest::ProcessEvents();
    View->ViewInfo()->Recalculate();
    ASSERT_EQ(View->ViewInfo()->RowsViewInfo()->VisibleCount(), 2);
    auto* row = DynamicCast<TcxGridDataRowViewInfo>(View->ViewInfo()->RowsViewInfo()->ItemAt(1));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->Cells(1)->GetText(), "孙七");
    EXPECT_EQ(name->DataBinding()->Field(), DataSet->FieldByName("NAME"));
}

TEST_F(GridDBTableViewTest, ARowHeightChangeRefreshesTheGridModeBufferOnceOnATimer)
{
    GuiTest::TManualTime clock;
    auto* view = static_cast<TCountingDBTableView*>(Grid->CreateView(TCountingDBTableView::StaticClass()));
    View->Level()->SetGridView(view);
    auto* dc = static_cast<TCountingDBDataController*>(view->DataController());
    view->CreateColumn()->DataBinding()->SetFieldName("Id");
    dc->DataModeController()->SetGridMode(true);
    dc->SetDataSource(Source.get());
    ShowForm();
    clock.Advance(5);
    dc->Refreshes = 0;
    view->OptionsView()->SetDataRowHeight(40);
    GuiTest::ProcessEvents();
    view->ViewInfo()->Recalculate();
    // Not during the layout: once the timer runs, once for the change.
    EXPECT_EQ(dc->Refreshes, 0);
    clock.Advance(2);
    EXPECT_EQ(dc->Refreshes, 1);
    clock.Advance(20);
    EXPECT_EQ(dc->Refreshes, 1);
    // A layout that finds the same height asks for nothing.
    view->ViewInfo()->Recalculate();
    clock.Advance(20);
    EXPECT_EQ(dc->Refreshes, 1);
}

}  // namespace
