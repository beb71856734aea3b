#include "DBClient.h"
#include "GuiTesting.h"
#include "cxCheckBox.h"
#include "cxEditDBRegisteredRepositoryItems.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "cxLookupDBGrid.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kNames[] = {"张伟", "王芳", "李娜", "刘洋", "陈静", "杨磊", "赵敏", "黄强", "周杰", "吴昊"};

// A data-aware lookup grid on a form over an in-memory table of students:
// an identifier, a name (ten characters wide) and whether they passed.
class LookupDBGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        cxLookAndFeels::Initialize();
        cxLookAndFeelPainters::Initialize();
        DataSet = std::make_unique<TClientDataSet>();
        DataSet->FieldDefs()->Add("Id", ftInteger);
        DataSet->FieldDefs()->Add("Name", ftString, 10);
        DataSet->FieldDefs()->Add("Passed", ftBoolean);
        DataSet->CreateDataSet();
        Source = std::make_unique<TDataSource>();
        Source->SetDataSet(DataSet.get());
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 400, 300);
        Grid = static_cast<TcxLookupDBGrid*>(TcxLookupDBGrid::StaticClass()->Create(Form));
        Grid->SetParent(Form);
        Grid->SetBounds(10, 10, 300, 200);
        Form->Show();
        GuiTest::ProcessEvents();
    }
    void TearDown() override
    {
        delete Form;
        Source.reset();
        DataSet.reset();
        GuiTest::ProcessEvents();
    }
    void AddRows(int ACount)
    {
        for (int i = 0; i < ACount; ++i) {
            DataSet->Append();
            DataSet->FieldByName("Id")->SetAsInteger(i + 1);
            DataSet->FieldByName("Name")->SetAsString(kNames[i % 10]);
            DataSet->FieldByName("Passed")->SetAsBoolean(i % 2 == 0);
            DataSet->Post();
        }
        DataSet->First();
    }
    std::unique_ptr<TClientDataSet> DataSet;
    std::unique_ptr<TDataSource> Source;
    TForm* Form = nullptr;
    TcxLookupDBGrid* Grid = nullptr;
};

}  // namespace

TEST_F(LookupDBGridTest, ColumnsNameFields)
{
    AddRows(3);
    Grid->SetDataSource(Source.get());
    Grid->CreateColumnsByFieldNames("Id;Name");
    TcxLookupDBGridColumns* cols = Grid->Columns();
    ASSERT_EQ(cols->Count(), 2);
    EXPECT_EQ(cols->Items(1)->FieldName(), "Name");
    EXPECT_EQ(cols->Items(1)->Field(), DataSet->FieldByName("Name"));
    EXPECT_EQ(Grid->GetRowCount(), 3);
    EXPECT_EQ(Grid->DataController()->GetDisplayText(Grid->DataController()->GetRowInfo(1).RecordIndex, 1), "王芳");
    // The caption is the field's display name, or the field name without a field.
    DataSet->FieldByName("Name")->SetDisplayLabel("姓名");
    EXPECT_EQ(cols->Items(1)->Caption(), "姓名");
    TcxLookupDBGridColumn* missing = cols->Add();
    missing->SetFieldName("Nowhere");
    EXPECT_EQ(missing->Field(), nullptr);
    EXPECT_EQ(missing->Caption(), "Nowhere");
    // Found by field name without regard to case; the first of two.
    TcxLookupDBGridColumn* second = cols->Add();
    second->SetFieldName("NAME");
    EXPECT_EQ(cols->ColumnByFieldName("name"), cols->Items(1));
    EXPECT_EQ(cols->ColumnByFieldName("Passed"), nullptr);
    // The ";"-separated form starts the columns again.
    Grid->CreateColumnsByFieldNames("Passed");
    ASSERT_EQ(cols->Count(), 1);
    EXPECT_EQ(cols->Items(0)->FieldName(), "Passed");
    EXPECT_EQ(Grid->DataController()->GetItemCount(), 1);
}

TEST_F(LookupDBGridTest, ColumnMovedToTheFrontKeepsItsField)
{
    AddRows(3);
    Grid->SetDataSource(Source.get());
    Grid->CreateColumnsByFieldNames("Id;Passed");
    // A column added for a field and put first, as a lookup's result column is.
    TcxLookupDBGridColumn* c = Grid->Columns()->Add();
    c->SetFieldName("Name");
    c->SetIndex(0);
    GuiTest::ProcessEvents();
    EXPECT_EQ(Grid->Columns()->Items(0)->FieldName(), "Name");
    EXPECT_EQ(Grid->Columns()->Items(1)->FieldName(), "Id");
    EXPECT_EQ(Grid->DataController()->GetItemFieldName(0), "Name");
    const int rec = Grid->DataController()->GetRowInfo(2).RecordIndex;
    EXPECT_EQ(Grid->DataController()->GetDisplayText(rec, 0), "李娜");
    EXPECT_EQ(Grid->DataController()->GetValue(rec, 1).AsInteger(), 3);
    // The cells show the same.
    TcxLookupGridRowViewInfo* row = Grid->ViewInfo()->FindRow(2);
    ASSERT_NE(row, nullptr);
    auto* text = DynamicCast<TcxCustomTextEditViewInfo>(row->Cells[0]->EditViewInfo.get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Text, "李娜");
}

TEST_F(LookupDBGridTest, DefaultWidthFollowsTheField)
{
    AddRows(1);
    Grid->SetDataSource(Source.get());
    Grid->CreateColumnsByFieldNames("Name");
    TcxLookupDBGridColumn* c = Grid->Columns()->Items(0);
    TcxCanvas* canvas = Grid->Painter()->Canvas();
    canvas->SetFont(Grid->Font());
    const int zero = canvas->TextWidth("0");
    ASSERT_GT(zero, 0);
    TField* name = DataSet->FieldByName("Name");
    ASSERT_EQ(name->DisplayWidth(), 10);
    struct Case {
        const char* Label;
        bool ShowHeader;
        int MinWidth;
    };
    const Case cases[] = {
        {"N", true, 20},                                          // ten "0"s and 4 pixels
        {"一个需要比十个零更宽的表头标题", true, 20},             // the caption needs more
        {"一个需要比十个零更宽的表头标题", false, 20},            // no header: the field alone
        {"N", true, 500},                                         // never below MinWidth
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.Label);
        name->SetDisplayLabel(k.Label);
        Grid->Options()->SetShowHeader(k.ShowHeader);
        c->SetMinWidth(k.MinWidth);
        int expected = 10 * zero + 4;
        if (k.ShowHeader)
            expected = std::max(expected, Grid->GetLookAndFeelPainter()->HeaderWidth(canvas, cxBordersAll, k.Label,
                                                                                       Grid->Font()));
        expected = std::max(expected, k.MinWidth);
        EXPECT_EQ(c->Width(), expected);
        c->SetMinWidth(20);
        c->RestoreDefaults();
    }
    EXPECT_GT(Grid->GetLookAndFeelPainter()->HeaderWidth(canvas, cxBordersAll, cases[1].Label, Grid->Font()),
              10 * zero + 4);
    // Without a field: 64.
    c->SetFieldName("");
    EXPECT_EQ(c->Width(), 64);
}

TEST_F(LookupDBGridTest, ColumnsTakeTheirFieldsEditorsAndDefaults)
{
    // A fresh field registry, whatever earlier tests left in it.
    cxEditDBRegisteredRepositoryItems::Finalize();
    cxEditDBRegisteredRepositoryItems::Initialize();
    AddRows(2);
    Grid->SetDataSource(Source.get());
    Grid->CreateColumnsByFieldNames("Name;Passed");
    GuiTest::ProcessEvents();
    // The field registry picks the editor: a Boolean field shows check boxes.
    TcxLookupDBGridColumn* passed = Grid->Columns()->Items(1);
    ASSERT_NE(passed->Properties(), nullptr);
    EXPECT_TRUE(passed->Properties()->InheritsFrom(TcxCheckBoxProperties::StaticClass()));
    // Each column's provider answers from its own field once the data changed.
    auto* provider = DynamicCast<TcxLookupDBGridDefaultValuesProvider>(Grid->Columns()->Items(0)->DefaultValuesProvider());
    ASSERT_NE(provider, nullptr);
    EXPECT_EQ(provider->Field(), DataSet->FieldByName("Name"));
    EXPECT_EQ(provider->DefaultMaxLength(), 10);
    EXPECT_FALSE(provider->HasDisplayFormat(false));
    // A freed field lets go of the provider's binding.
    Grid->SetDataSource(nullptr);
    GuiTest::ProcessEvents();
    EXPECT_EQ(Grid->GetRowCount(), 0);
}

TEST_F(LookupDBGridTest, GridModeScrollBarFollowsTheRecordNumber)
{
    AddRows(40);
    Grid->DataController()->DataModeController()->SetGridMode(true);
    Grid->DataController()->DataModeController()->SetGridModeBufferCount(10);
    Grid->SetDataSource(Source.get());
    Grid->CreateColumnsByFieldNames("Id;Name");
    GuiTest::ProcessEvents();
    ASSERT_TRUE(Grid->IsSequencedScrolling());
    TcxControlScrollBar* bar = Grid->VScrollBar();
    const int visible = Grid->ViewInfo()->VisibleRowCount;
    ASSERT_GT(visible, 1);
    EXPECT_EQ(bar->Data.Max, 40 + visible - 2);
    EXPECT_EQ(bar->Data.PageSize, visible);
    EXPECT_EQ(bar->Data.Position, DataSet->RecNo() - 1);
    // The data set moves: the bar follows its record number.
    DataSet->SetRecNo(25);
    GuiTest::ProcessEvents();
    EXPECT_EQ(bar->Data.Position, 24);
    DataSet->Next();   // within the buffered rows
    GuiTest::ProcessEvents();
    EXPECT_EQ(bar->Data.Position, 25);
    DataSet->Prior();
    GuiTest::ProcessEvents();
    EXPECT_EQ(bar->Data.Position, 24);
    // The bar moves the data set.
    struct Case {
        TScrollCode Code;
        int Pos;
        int RecNo;
    };
    const Case cases[] = {
        {scPosition, 9, 10},
        {scLineDown, 0, 11},
        {scLineUp, 0, 10},
        {scPosition, 39, 40},
        {scTrack, 3, 40},   // a thumb track alone does nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Code));
        int pos = c.Pos;
        Grid->Scroll(sbVertical, c.Code, pos);
        EXPECT_EQ(DataSet->RecNo(), c.RecNo);
        EXPECT_EQ(pos, c.RecNo - 1);
    }
    // Keys walk past the buffered rows: the buffer scrolls and the record follows.
    DataSet->First();
    GuiTest::ProcessEvents();
    for (int i = 0; i < 15; ++i) {
        WORD down = VK_DOWN;
        Grid->DoKeyDown(down, {});
    }
    EXPECT_EQ(DataSet->RecNo(), 16);
    EXPECT_LE(Grid->GetRowCount(), 10);
    EXPECT_EQ(bar->Data.Position, 15);
    for (int i = 0; i < 15; ++i) {
        WORD up = VK_UP;
        Grid->DoKeyDown(up, {});
    }
    EXPECT_EQ(DataSet->RecNo(), 1);
    // Outside grid mode the bar counts the grid's own rows.
    Grid->DataController()->DataModeController()->SetGridMode(false);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Grid->IsSequencedScrolling());
    EXPECT_EQ(bar->Data.Max, 39);
}
