// The data-aware grid wrapper (both copies) over the students' list: the
// sort text of title clicks, layouts that keep unnamed columns visible, its
// own arrow keys, the contains filter, footer sums, the batch update over
// the selected rows, the rights and data-set checks, and a picture.
#include "GridWrapFixture.h"

#include "ADODB.h"
#include "BatchUpdateFrm.h"
#include "DBGridTesting.h"
#include "ActnList.h"
#include "FltrDlg.h"
#include "StdCtrls.h"
#include "TextUtils.h"
#include "qzCtrls.h"
#include "qzDBGrids.h"
#include "qzGridEh.h"

namespace {

class DBGridWrapTest : public GridWrapTest {
protected:
    TqzDBGrid* MakeGrid(TDataSet* data = nullptr)
    {
        Grid = new TqzDBGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 540, 240);
        Grid->DataSource()->SetDataSet(data ? data : Data());
        Grid->CreateDefaultColumns();
        Form->Show();
        GuiTest::ProcessEvents();
        return Grid;
    }
    TColumnEh* Column(const std::string& field) const
    {
        for (int i = 0; i < Grid->Columns()->Count(); ++i)
            if (Grid->Columns()->Items(i)->FieldName() == field) return Grid->Columns()->Items(i);
        return nullptr;
    }
    void ClickTitle(const std::string& field) { Grid->TitleBtnClick(Column(field)->Index() + 1, Column(field)); }
    std::string Columns() const
    {
        std::string out;
        for (int i = 0; i < Grid->Columns()->Count(); ++i) {
            TColumnEh* c = Grid->Columns()->Items(i);
            out += (out.empty() ? "" : " ") + c->FieldName() + (c->Visible() ? "+" : "-") + std::to_string(c->Width());
        }
        return out;
    }
    std::string Width(const char* field) const { return std::to_string(Data()->FieldByName(field)->DisplayWidth()); }
    TCustomADODataSet* Ado() const { return static_cast<TCustomADODataSet*>(Data()); }
    TqzDBGrid* Grid = nullptr;
};

TEST_F(DBGridWrapTest, ConstructionSetsTheFlatRowList)
{
    MakeGrid();
    EXPECT_TRUE(Grid->OptionsEh().Contains(dghMultiSortMarking));
    EXPECT_EQ(Grid->AllowedSelections(), TDBGridEhAllowedSelections{gstRecordBookmarks});
    EXPECT_EQ(Grid->TitleHeight(), 20);
    EXPECT_EQ(Grid->RowHeight(), 16);
    EXPECT_TRUE(Grid->VertScrollBar()->Tracking());
    EXPECT_EQ(Grid->PopupMenu(), Grid->PopupMenuQz());
    EXPECT_EQ(Grid->PopupMenuQz()->Items()->Count(), 7);
    EXPECT_EQ(Grid->ActionSort()->Caption(), "排序");
    EXPECT_EQ(Grid->LayoutId(), 0);
}

TEST_F(DBGridWrapTest, TitleClicksCycleMarkersAndSortTheDataSet)
{
    MakeGrid();
    struct Step {
        const char* Field;
        std::string Sort;   // the data set's sort afterwards
    };
    const Step steps[] = {
        {"Name", "Name"},
        {"Signdate", "Name, Signdate"},
        {"Signdate", "Name, Signdate DESC "},   // the blank after DESC stays
        {"Signdate", "Name"},
        {"Name", "Name DESC "},
        {"Name", ""},
    };
    for (const Step& s : steps) {
        ClickTitle(s.Field);
        EXPECT_EQ(Grid->SortMarkersText(), s.Sort) << "after " << s.Field;
        EXPECT_EQ(Ado()->Sort(), Trim(s.Sort)) << "after " << s.Field;
    }
    EXPECT_EQ(Column("Name")->Title()->SortMarker(), smNoneEh);
    // The data set follows: descending names put 陈 (chén) last after 张 (zhāng) first.
    ClickTitle("Name");
    ClickTitle("Name");
    Data()->First();
    EXPECT_EQ(Data()->FieldByName("Name")->AsString(), "张敏");

    // A closed data set keeps its markers and sort.
    Data()->Close();
    ClickTitle("Sex");
    EXPECT_EQ(Column("Sex")->Title()->SortMarker(), smNoneEh);
    EXPECT_EQ(Ado()->Sort(), "Name DESC");
}

TEST_F(DBGridWrapTest, ALookupColumnSortsByItsKeyFields)
{
    DBGridTest::TCoachLookup lookup = DBGridTest::MakeCoachLookup({"王教练", "李教练"}, {1, 2, 1});
    MakeGrid(lookup.Students.get());
    ClickTitle("Coach");
    ClickTitle("Id");
    ClickTitle("Id");
    EXPECT_EQ(Grid->SortMarkersText(), "CoachId, Id DESC ");
}

TEST_F(DBGridWrapTest, LayoutsKeepUnnamedColumnsVisible)
{
    MakeGrid();
    // Sex goes to place 1, then Name to place 0, in front of Id.
    Grid->SetLayout("Name=False50\r\nSex=True20\r\n");
    EXPECT_EQ(Columns(), "Name-50 Id+" + Width("Id") + " Sex+20 Signdate+" + Width("Signdate") + " Notes+" + Width("Notes"));
    Grid->SetLayout("Sex=\r\nNotes=Truebad\r\n");
    EXPECT_EQ(Columns(), "Id+" + Width("Id") + " Name+" + Width("Name") + " Sex+" + Width("Sex") + " Signdate+" +
                             Width("Signdate") + " Notes+" + Width("Notes"));

    Grid->SetLayout("Sex=True20\r\nName=False50\r\n");
    Grid->SetTag(1014);
    Grid->SaveLayoutClick();   // LayoutId 0: saved under the tag
    EXPECT_EQ(Rec.Messages(), std::vector<std::string>{Info("列样式保存成功.")});
    EXPECT_EQ(Value("select F06 from syscols where F02=1014"), Grid->GetLayout());
    const std::string saved = Columns();
    Grid->SetLayout("");
    Grid->SetLayoutId(1014);
    EXPECT_EQ(Columns(), saved);

    // Nothing written, nothing confirmed.
    Exec("delete from syscols; create trigger keep_out before insert on syscols begin select raise(ignore); end;");
    Grid->SaveLayoutClick();
    EXPECT_EQ(Rec.Messages().size(), 1u);
}

TEST_F(DBGridWrapTest, ArrowsMoveAmongVisibleColumnsAndRecords)
{
    MakeGrid();
    Column("Name")->SetVisible(false);
    std::vector<WORD> told;
    Grid->OnKeyDown = [&](TObject* sender, WORD& key, TShiftState) {
        EXPECT_EQ(sender, Grid);
        told.push_back(key);
    };
    auto press = [&](WORD key) { Grid->KeyDown(key, {}); };
    Grid->SetSelectedIndex(0);
    press(VK_LEFT);
    EXPECT_EQ(Grid->SelectedIndex(), 0);
    press(VK_RIGHT);
    EXPECT_EQ(Grid->SelectedIndex(), 2);   // Name is hidden
    press(VK_RIGHT);
    press(VK_RIGHT);
    press(VK_RIGHT);
    EXPECT_EQ(Grid->SelectedIndex(), 4);
    press(VK_LEFT);
    EXPECT_EQ(Grid->SelectedIndex(), 3);

    Data()->First();
    press(VK_DOWN);
    press(VK_DOWN);
    EXPECT_EQ(Data()->RecNo(), 3);
    press(VK_UP);
    EXPECT_EQ(Data()->RecNo(), 2);
    press(VK_NEXT);   // the grid's own keys do nothing
    press(VK_END);
    EXPECT_EQ(Data()->RecNo(), 2);
    EXPECT_EQ(told.size(), 11u);
}

TEST_F(DBGridWrapTest, ContainsFilterTakesTheKeywordAsText)
{
    MakeGrid();
    struct Case {
        std::string Keyword;
        std::string Filter;
        int Records;
    };
    const Case cases[] = {
        {"O'Neil", "Name like '%O''Neil%'", 1},
        {"' or ''='", "Name like '%'' or ''''=''%'", 0},
        {"敏", "Name like '%敏%'", 1},
        {"", "", 5},
    };
    for (const Case& c : cases) {
        TDialogScript script({[&] {
            TFltrDlgFrm* f = ShownForm<TFltrDlgFrm>();
            f->ListBox1->SetItemIndex(f->ListBox1->Items()->IndexOf("Name"));
            f->Button1Click();
            f->Edit1->SetText(c.Keyword);
            f->Button3Click();
        }});
        Grid->FilterClick();
        EXPECT_EQ(Data()->Filter(), c.Filter) << c.Keyword;
        EXPECT_TRUE(Data()->Filtered());
        EXPECT_EQ(Data()->RecordCount(), c.Records) << c.Keyword;
    }
}

TEST_F(DBGridWrapTest, FooterSumOfTheLastColumnOfAField)
{
    MakeGrid();
    TColumnEh* second = Grid->Columns()->Add();
    second->SetFieldName("Id");
    EXPECT_EQ(Grid->FindColumnByField(Data()->FieldByName("Id")), second);
    EXPECT_EQ(Grid->FindColumnByField(nullptr), nullptr);
    Grid->SetFooterRowCount(1);
    Grid->SetFooterSum(Data()->FieldByName("Id"));
    EXPECT_EQ(second->Footer()->ValueType(), fvtSum);
    EXPECT_EQ(Column("Id")->Footer()->ValueType(), fvtNon);
    EXPECT_EQ(Grid->FooterValueText(second, 0), "15");
}

TEST_F(DBGridWrapTest, BatchUpdateChangesTheSelectedRows)
{
    MakeGrid();
    Grid->BatchUpdateClick();
    int calls = 0;
    std::vector<int> changed;
    Grid->BatchProc = [&] {
        ++calls;
        changed.push_back(Data()->FieldByName("Id")->AsInteger());
    };
    for (int recNo : {2, 4}) {
        Data()->SetRecNo(recNo);
        Grid->Selection()->Rows()->SetCurrentRowSelected(true);
    }
    Data()->SetRecNo(5);
    TDialogScript script({[&] {
        TBatchUpdateFrm* f = ShownForm<TBatchUpdateFrm>();
        f->ComboBox1->SetItemIndex(f->Items()->IndexOf("Notes"));
        f->SetValue("已通知");
        f->Button1->Click();
    }});
    Grid->BatchUpdateClick();
    EXPECT_EQ(Rec.Messages(), std::vector<std::string>{Info("没有指定更新过程BatchProc, 操作被取消.")});
    EXPECT_EQ(changed, (std::vector<int>{2, 4}));
    EXPECT_EQ(Data()->RecNo(), 5);
    std::string notes;
    for (Data()->First(); !Data()->Eof(); Data()->Next()) notes += Data()->FieldByName("Notes")->AsString() + "|";
    EXPECT_EQ(notes, "<b>A&B</b>|已通知||已通知||");

    Grid->DataSource()->SetDataSet(nullptr);
    Grid->BatchUpdateClick();
    EXPECT_EQ(Rec.Messages().back(), Info("没有指定数据集DataSet, 操作被取消."));
}

TEST_F(DBGridWrapTest, ChecksAndRightsSayWhatIsMissing)
{
    MakeGrid();
    Data()->Close();
    Grid->SortClick();
    Grid->DataSource()->SetDataSet(nullptr);
    Grid->FilterClick();
    Grid->SetDataSource(nullptr);
    EXPECT_FALSE(Grid->CheckDataSet());
    EXPECT_EQ(Rec.Messages(), (std::vector<std::string>{Info("系统提示: 请先打开数据再操作!"),
                                                        Info("系统错误: 没有为DBGrid.DataSource指定DataSet对象,请与作者联系!"),
                                                        Info("系统错误: 没有为DBGrid指定DataSource对象,请与作者联系!")}));
    WithoutRight();
    const std::pair<std::function<void()>, int> cases[] = {
        {[&] { Grid->SaveLayoutClick(); }, 10006}, {[&] { Grid->PickColumnsClick(); }, 10008},
        {[&] { Grid->SaveToExcelClick(); }, 10004}, {[&] { Grid->SaveToHtmlClick(); }, 10004},
        {[&] { Grid->ExportClick(); }, 10004},
    };
    for (const auto& [run, right] : cases) {
        Rec.Host->Calls.clear();
        EXPECT_THROW(run(), EAbort);
        EXPECT_EQ(Rec.Messages(), std::vector<std::string>{Info(TOperator::RefusalText(right))});
    }
}

TEST_F(DBGridWrapTest, DrawFieldCellHookHearsEveryCell)
{
    MakeGrid();
    Grid->SetLayout("Id=True40\r\nName=True80\r\nSex=True50\r\nSigndate=True120\r\nNotes=True150\r\n");
    std::vector<std::string> drawn;
    Grid->OnDrawFieldCell = [&](const TRect&, int, TField* field, TGridDrawState state) {
        if (field) drawn.push_back(field->FieldName());
        if (field && field->FieldName() == "Sex" && !state.Contains(gdSelected))
            Grid->Canvas()->Brush()->SetColor(TColor(0x00D0FF));
    };
    Grid->Invalidate();
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Grid));
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), "Sex"), drawn.end());
    if (const std::string file = PictureFile("dbgrid-students.png"); !file.empty()) GuiTest::SavePng(shot.get(), file);
}

TEST_F(DBGridWrapTest, TheImportCopyHasTheSameServices)
{
    auto* copy = new qzGridEh::TqzDBGrid(Form.get());
    copy->SetParent(Form.get());
    copy->DataSource()->SetDataSet(Data());
    copy->SetLayout("Sex=False10\r\n");
    EXPECT_EQ(copy->Columns()->Items(0)->FieldName(), "Sex");
    EXPECT_FALSE(copy->Columns()->Items(0)->Visible());
    EXPECT_EQ(copy->ClassName(), "TqzDBGrid");
}

}  // namespace
