// The grid-view wrapper over the students' list: its construction, the
// stored layouts (applied, saved and read back), the rights its commands
// ask, the sort and column-choice dialogs, the batch update, its events and
// the zebra rows and row numbers as they are painted.
#include "GridWrapFixture.h"

#include "ADODB.h"
#include "ActnList.h"
#include "BatchUpdateFrm.h"
#include "Menus.h"
#include "SortFrm.h"
#include "StdCtrls.h"
#include "cxGridDBTableView.h"
#include "cxGridTableView.h"
#include "cxGridTableLayout.h"
#include "qzCtrls.h"
#include "qzGridcx.h"
#include "xVisible.h"
#include "XlsReader.h"

#include <filesystem>

namespace {

class GridcxTest : public GridWrapTest {
protected:
    TqzGridcx* MakeGrid(int layoutId = 1006)
    {
        Grid = TqzGridcx::CreateWithLayout(Form.get(), layoutId, Data(), Form.get());
        Form->Show();
        GuiTest::ProcessEvents();
        return Grid;
    }
    // The columns in order: field name, "+" shown or "-" hidden, width.
    std::string Columns() const
    {
        std::string out;
        for (int i = 0; i < Grid->View()->ColumnCount(); ++i) {
            TcxGridDBColumn* c = Grid->View()->Columns(i);
            out += (out.empty() ? "" : " ") + c->DataBinding()->FieldName() + (c->Visible() ? "+" : "-") +
                   std::to_string(c->Width());
        }
        return out;
    }
    std::string DefaultWidths() const
    {
        std::string out;
        for (const char* f : {"Id", "Name", "Sex", "Signdate", "Notes"})
            out += (out.empty() ? "" : " ") + std::string(f) + "+" +
                   std::to_string(std::max(Data()->FieldByName(f)->DisplayWidth(), Grid->View()->Columns(0)->MinWidth()));
        return out;
    }
    // Widths that fit the texts, so that every row shows one line high.
    void Widen()
    {
        Grid->SetLayout("Id=True40\r\nName=True80\r\nSex=True50\r\nSigndate=True150\r\nNotes=True200\r\n");
        GuiTest::ProcessEvents();
    }
    TcxCustomGridRecord* Row(int i) const { return Grid->View()->ViewData()->GetRecordByIndex(i); }
    TRect CellBounds(int row, const std::string& field) const
    {
        TcxCustomGridRecordViewInfo* r = Grid->View()->ViewInfo()->RecordsViewInfo()->GetRealItem(row);
        if (!r) throw Exception("row " + std::to_string(row) + " is not shown");
        return r->GetCellViewInfoByItem(Grid->View()->GetColumnByFieldName(field))->Bounds;
    }
    TqzGridcx* Grid = nullptr;
};

TEST_F(GridcxTest, ConstructionMakesAReadOnlyViewWithItsMenuAndActions)
{
    MakeGrid();
    TcxGridDBTableView* view = Grid->View();
    EXPECT_EQ(Grid->Tag(), 1006);
    EXPECT_EQ(Grid->Align(), alClient);
    EXPECT_EQ(Grid->LookAndFeel()->Kind(), lfStandard);
    EXPECT_EQ(Grid->DataSet(), Data());
    EXPECT_EQ(view->DataController()->DataSource(), Grid->DataSource());
    EXPECT_FALSE(view->OptionsData()->Editing());
    EXPECT_FALSE(view->OptionsData()->Inserting());
    EXPECT_FALSE(view->OptionsData()->Deleting());
    EXPECT_FALSE(view->OptionsCustomize()->ColumnFiltering());
    EXPECT_FALSE(view->OptionsSelection()->MultiSelect());
    EXPECT_FALSE(view->OptionsView()->GroupByBox());
    EXPECT_EQ(view->OptionsView()->IndicatorWidth(), 30);
    EXPECT_EQ(Grid->RowCount(), 5);

    EXPECT_EQ(Grid->PopupMenu(), Grid->PopupMenuQz());
    std::vector<std::string> items;
    for (int i = 0; i < Grid->PopupMenuQz()->Items()->Count(); ++i)
        items.push_back(Grid->PopupMenuQz()->Items()->Items(i)->Caption());
    EXPECT_EQ(items, (std::vector<std::string>{"排序", "-", "列选择", "保存表格样式", "-", "导出到Excel文档",
                                               "导出到Html网页文件"}));
    EXPECT_EQ(Grid->ActionExport()->Caption(), "导出");
    EXPECT_EQ(Grid->ActionExport2Excel()->Caption(), "导出到Excel文档");
    EXPECT_EQ(Grid->ActionExport2Html()->Caption(), "导出到Html网页文件");
    EXPECT_EQ(Grid->ActionColVisible()->Caption(), "列选择");
    EXPECT_EQ(Grid->ActionTableStyleSave()->Caption(), "保存表格样式");
    EXPECT_EQ(Grid->ActionSort()->Caption(), "排序");
}

TEST_F(GridcxTest, LayoutTextsApplyAsStored)
{
    MakeGrid();
    // A column's default width: its field's display width, no less than the column's minimum.
    auto w = [&](const std::string& column) {
        const std::string field = column.substr(0, column.size() - 1);
        return column +
               std::to_string(std::max(Data()->FieldByName(field)->DisplayWidth(), Grid->View()->Columns(0)->MinWidth()));
    };
    struct Case {
        const char* Name;
        std::string Text;
        std::string Expected;
    };
    const Case cases[] = {
        {"no layout", "", w("Id+") + " " + w("Name+") + " " + w("Sex+") + " " + w("Signdate+") + " " + w("Notes+")},
        // The named columns come first; the others stay hidden in their order.
        {"partial", "Name=True80\r\nId=False40\r\n",
         "Name+80 Id-40 " + w("Sex-") + " " + w("Signdate-") + " " + w("Notes-")},
        // A name with nothing after "=" keeps its column hidden but moves it.
        {"empty value", "Sex=\r\nName=True70\r\nId=True30\r\nSigndate=False25\r\nNotes=True90\r\n",
         w("Sex-") + " Name+70 Id+30 Signdate-25 Notes+90"},
        // A name differing in case sets the column but does not move it.
        {"other case", "name=True90\r\nID=False32\r\n",
         "Id-32 Name+90 " + w("Sex-") + " " + w("Signdate-") + " " + w("Notes-")},
        // A bad width ends the text: the columns before it keep what they got, no column moves.
        {"bad width", "Notes=True110\r\nId=True50\r\nName=Truex\r\nSex=True60\r\n",
         "Id+50 " + w("Name-") + " " + w("Sex-") + " " + w("Signdate-") + " " + w("Notes-")},
        // A line for a field the grid lacks still takes its place in the order.
        {"unknown field", "Phone=True50\r\nSex=True40\r\n",
         w("Id-") + " Sex+40 " + w("Name-") + " " + w("Signdate-") + " " + w("Notes-")},
    };
    for (const Case& c : cases) {
        Grid->SetLayout(c.Text);
        EXPECT_EQ(Columns(), c.Expected) << c.Name;
    }
    // The text the grid writes reads back into the same columns.
    Grid->SetLayout("Sex=True40\r\nName=True70\r\n");
    const std::string text = Grid->Layout();
    EXPECT_EQ(text.substr(0, 12), "Sex=True40\r\n");
    EXPECT_NE(text.find("\r\nName=True70\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    const std::string before = Columns();
    Grid->SetLayout(text);
    EXPECT_EQ(Columns(), before);
}

TEST_F(GridcxTest, LayoutsAreStoredOneRowPerGrid)
{
    MakeGrid();
    EXPECT_FALSE(Grid->LoadLayout(1006));
    EXPECT_EQ(Columns(), DefaultWidths());

    Grid->SetLayout("Name=True80\r\nSex=True40\r\nId=False33\r\n");
    EXPECT_TRUE(Grid->SaveLayout(1006));
    Grid->View()->Columns(0)->SetWidth(99);
    EXPECT_TRUE(Grid->SaveLayout(1006));
    EXPECT_EQ(Value("select count(*) from syscols where F02=1006"), "1");
    EXPECT_EQ(Value("select F06 from syscols where F02=1006"), Grid->Layout());

    const std::string saved = Columns();
    TqzGridcx* second = TqzGridcx::CreateWithLayout(Form.get(), 1006, Data(), Form.get());
    std::swap(second, Grid);
    EXPECT_EQ(Columns(), saved);
    EXPECT_TRUE(Grid->LoadLayout(1006));
    delete second;
}

TEST_F(GridcxTest, SaveLayoutClickConfirmsAWrittenRow)
{
    MakeGrid(1011);
    Grid->SaveLayoutClick();
    EXPECT_EQ(Rec.Messages(), std::vector<std::string>{Info("列样式保存成功.")});
    EXPECT_EQ(Value("select count(*) from syscols where F02=1011"), "1");
    // A database that keeps the row from being written gets no confirmation.
    Exec("delete from syscols; create trigger keep_out before insert on syscols begin select raise(ignore); end;");
    Grid->SaveLayoutClick();
    EXPECT_EQ(Rec.Messages().size(), 1u);
}

TEST_F(GridcxTest, CommandsRefuseWithoutTheirRights)
{
    MakeGrid();
    WithoutRight();
    struct Case {
        const char* Name;
        std::function<void()> Run;
        int Right;
    };
    const Case cases[] = {
        {"save layout", [&] { Grid->SaveLayoutClick(); }, 10006},
        {"column choice", [&] { Grid->PickColumnsClick(); }, 10008},
        {"excel", [&] { Grid->SaveToExcelClick(); }, 10004},
        {"html", [&] { Grid->SaveToHtmlClick(); }, 10004},
        {"wizard", [&] { Grid->ExportClick(); }, 10004},
        {"action", [&] { Grid->ActionColVisible()->Execute(); }, 10008},
    };
    for (const Case& c : cases) {
        Rec.Host->Calls.clear();
        EXPECT_THROW(c.Run(), EAbort) << c.Name;
        EXPECT_EQ(Rec.Messages(), std::vector<std::string>{Info(TOperator::RefusalText(c.Right))}) << c.Name;
    }
    EXPECT_EQ(Value("select count(*) from syscols"), "0");
    EXPECT_EQ(Screen->FormCount(), 1);
}

TEST_F(GridcxTest, ExcelExportWritesAWorkbookThatReadsBack)
{
    MakeGrid();
    Grid->SetLayout("Id=True40\r\nName=True80\r\nSex=False50\r\nSigndate=True150\r\nNotes=True200\r\n");
    Rec.Host->QueueShellExecute(42);
    Grid->SaveToExcelClick();
    const auto opened = Rec.Host->CallsOf(THostCallKind::ShellExecute);
    ASSERT_EQ(opened.size(), 1u);
    const std::string file = opened[0].Text;
    // The workbook reader reads what the spreadsheet programs read: the
    // shown columns' captions, then every record as text, an empty value as
    // an empty cell (an empty shared string once made the reader refuse the
    // whole file).
    std::vector<std::string> titles;
    std::vector<std::vector<Variant>> rows;
    {
        TXlsReader reader(file);
        reader.ReadSheet(reader.SheetNames().at(0), titles, rows);
    }
    std::filesystem::remove(file);
    std::vector<std::string> shown;
    for (int i = 0; i < Grid->View()->ColumnCount(); ++i)
        if (Grid->View()->Columns(i)->Visible()) shown.push_back(Grid->View()->Columns(i)->Caption());
    EXPECT_EQ(titles, shown);
    ASSERT_EQ(titles.size(), 4u);
    ASSERT_EQ(rows.size(), 5u);
    const std::vector<std::vector<std::string>> expected = {{"1", "王伟", "2008-03-05", "<b>A&B</b>"},
                                                            {"2", "李娜", "2008-04-01", "say \"hi\", ok"},
                                                            {"3", "张敏", "2008-02-11", ""},
                                                            {"4", "O'Neil", "2008-05-20", "line1\r\nline2\tx"},
                                                            {"5", "陈静", "2008-01-30", ""}};
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < 4; ++c) {
            EXPECT_EQ(rows[r][c].VType() == varString || rows[r][c].IsNull(), true) << "text cells only";
            EXPECT_EQ(VarToStr(rows[r][c]), expected[r][c]) << r << "," << c;
        }
}

TEST_F(GridcxTest, CheckDataSetTellsWhatIsMissing)
{
    MakeGrid();
    Data()->Close();
    EXPECT_FALSE(Grid->CheckDataSet());
    Grid->SetDataSet(nullptr);
    EXPECT_FALSE(Grid->CheckDataSet());
    Grid->SortClick();
    Grid->BatchUpdateClick();
    EXPECT_EQ(Rec.Messages(), (std::vector<std::string>{Info("系统提示: 请先打开数据再操作!"),
                                                        Info("系统错误: 没有为TqzGridcx.DataSource指定DataSet对象,请与作者联系!"),
                                                        Info("系统错误: 没有为TqzGridcx.DataSource指定DataSet对象,请与作者联系!"),
                                                        Info("系统错误: 没有为TqzGridcx.DataSource指定DataSet对象,请与作者联系!")}));
}

TEST_F(GridcxTest, SortDialogSortsTheDataSet)
{
    MakeGrid();
    auto* ado = static_cast<TCustomADODataSet*>(Data());
    ado->SetSort("Sex ASC");
    std::string shownSort;
    TDialogScript script({[&] {
        TSortFrm* f = ShownForm<TSortFrm>();
        shownSort = f->SortString();
        // Sex back to none (ascending, descending, none), then Name descending.
        const int sexRow = 0;
        f->StringGrid1->SetRow(sexRow);
        f->StringGrid1DblClick();
        f->StringGrid1DblClick();
        for (int r = 0; r < f->StringGrid1->RowCount(); ++r)
            if (f->FieldNames()[size_t(r)] == "Name") {
                f->StringGrid1->SetRow(r);
                f->StringGrid1DblClick();
                f->StringGrid1DblClick();
            }
        f->Button3->Click();
    }});
    Grid->SortClick();
    EXPECT_EQ(shownSort, "Sex ASC");
    EXPECT_EQ(ado->Sort(), "Name DESC");
    EXPECT_EQ(Row(0)->GetDisplayText(Grid->View()->GetColumnByFieldName("Name")->Index()),
              [&] {
                  std::string top;
                  for (Data()->First(); !Data()->Eof(); Data()->Next())
                      if (top.empty()) top = Data()->FieldByName("Name")->AsString();
                  return top;
              }());
}

TEST_F(GridcxTest, ColumnChoiceShowsAndHidesColumns)
{
    MakeGrid();
    {
        // Untick every column: every one is hidden.
        TDialogScript script({[] {
            TxVisibleFrm* f = ShownForm<TxVisibleFrm>();
            for (int r = 0; r < f->StringGrid1->RowCount(); ++r) ClickCell(f->StringGrid1, 1, r);
            f->Button3->Click();
        }});
        Grid->PickColumnsClick();
    }
    EXPECT_EQ(Grid->View()->VisibleColumnCount(), 0);
    {
        // Ticks changed and then cancelled change nothing.
        TDialogScript script({[] {
            TxVisibleFrm* f = ShownForm<TxVisibleFrm>();
            ClickCell(f->StringGrid1, 1, 1);
            f->Button4->Click();
        }});
        Grid->PickColumnsClick();
    }
    EXPECT_EQ(Grid->View()->VisibleColumnCount(), 0);
    {
        // A row dragged elsewhere keeps its own mark: Name ticked, moved first.
        TDialogScript script({[] {
            TxVisibleFrm* f = ShownForm<TxVisibleFrm>();
            ClickCell(f->StringGrid1, 1, 1);
            f->StringGrid1->MoveRow(1, 0);
            f->Button3->Click();
        }});
        Grid->PickColumnsClick();
    }
    EXPECT_TRUE(Grid->View()->GetColumnByFieldName("Name")->Visible());
    EXPECT_EQ(Grid->View()->VisibleColumnCount(), 1);
    EXPECT_EQ(Grid->View()->Columns(1)->DataBinding()->FieldName(), "Name");   // the order stays
}

TEST_F(GridcxTest, BatchUpdateChangesTheFocusedRecord)
{
    MakeGrid();
    Grid->BatchUpdateClick();
    EXPECT_EQ(Rec.Messages(), std::vector<std::string>{Info("没有指定BatchUpdate更新过程, 操作被取消.")});

    int calls = 0;
    std::string changedName;
    Grid->BatchProc = [&] {
        ++calls;
        changedName = Data()->FieldByName("Name")->AsString();
    };
    Grid->View()->Controller()->FocusRecord(2, true);
    std::vector<std::string> offered;
    TDialogScript script({[&] {
        TBatchUpdateFrm* f = ShownForm<TBatchUpdateFrm>();
        for (int i = 0; i < f->Items()->Count(); ++i) offered.push_back(f->Items()->Strings(i));
        f->ComboBox1->SetItemIndex(2);   // Sex
        f->SetValue("男");
        f->Button1->Click();
    }});
    Grid->BatchUpdateClick();
    EXPECT_EQ(offered, (std::vector<std::string>{"Id", "Name", "Sex", "Signdate", "Notes"}));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(changedName, "张敏");
    EXPECT_EQ(Data()->FieldByName("Sex")->AsString(), "男");
}

TEST_F(GridcxTest, EventsNameTheGridAndTheField)
{
    MakeGrid();
    Widen();
    std::vector<bool> selects;
    Grid->OnSelectChanged = [&](bool selected) { selects.push_back(selected); };
    TField* clicked = nullptr;
    Grid->OnCellClick = [&](TField* f) { clicked = f; };
    TObject* dblSender = nullptr;
    TField* dblField = nullptr;
    Grid->OnDblClick = [&](TObject* s) { dblSender = s; };
    Grid->OnCellDblClick = [&](TField* f) { dblField = f; };

    Grid->View()->Controller()->FocusRecord(3, true);
    EXPECT_EQ(selects, std::vector<bool>{true});
    GuiTest::ProcessEvents();
    TRect cell = CellBounds(1, "Sex");
    GuiTest::Click(Grid->View()->Site(), TPoint{(cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2});
    EXPECT_EQ(clicked, Data()->FieldByName("Sex"));

    Grid->OnCellClick = nullptr;
    cell = CellBounds(2, "Name");
    GuiTest::DoubleClick(Grid->View()->Site(), TPoint{(cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2});
    EXPECT_EQ(dblSender, Grid);
    EXPECT_EQ(dblField, Data()->FieldByName("Name"));
    // The grid going away tells its handlers nothing.
    selects.clear();
    Form.reset();
    EXPECT_TRUE(selects.empty());
}

TEST_F(GridcxTest, ZebraRowsAndRowNumbersArePainted)
{
    MakeGrid();
    Widen();
    Grid->View()->OptionsSelection()->SetCellSelect(false);
    Grid->View()->OptionsView()->SetIndicator(true);
    Grid->View()->Controller()->FocusRecord(4, true);
    GuiTest::ProcessEvents();
    Grid->View()->ViewInfo()->Recalculate();
    GuiTest::ProcessEvents();
    // Records 0 and 2 (the first and third rows) are tinted, 1 and 3 are not.
    for (int row : {0, 1, 2, 3}) {
        TRect cell = CellBounds(row, "Sex");
        const TColor shown = GuiTest::PixelAt(Grid->View()->Site(), TPoint{cell.Right - 3, cell.Top + 3});
        EXPECT_EQ(shown, row % 2 == 0 ? TqzGridcx::ZebraColor : TColor(0xFFFFFF)) << "row " << row;
    }
    if (const std::string file = PictureFile("gridcx-students.png"); !file.empty()) GuiTest::SavePng(Grid, file);
}

}  // namespace
