// The report centre over a school database: the variables of "u" as a
// layout reads them, the d0/d1 links, layouts stored and loaded by Id, new
// Ids across groups, the print and design rights with their refusals, the
// list dialog's commands and placement, and the designer's file hooks (a
// layout is never reported saved when nothing was written, and a deleted
// row is not brought back).
#include "Reporter.h"
#include "UiTestDb.h"
#include "qzRep.h"

#include "Bizs.h"
#include "Objs.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxDBSet.h"
#include "ActnList.h"
#include "ComCtrls.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "frxDataTree.h"
#include "frxDesgn.h"
#include "frxDesgnForm.h"
#include "frxDesgnWorkspace1.h"
#include "frxEditDataBand.h"
#include "frxPreviewPages.h"

namespace {

class ReportCentreTest : public UiDbTest {
protected:
    void SetUp() override
    {
        UiDbTest::SetUp();
        Exec("insert into Company (Id, CompanyName, Tel, Fax, Address, Zip) values "
             "(1, '恒岳驾校', '0571-1', '', '文三路 8 号', '310000')");
        GCompany->Load();
        LoginAs("clerk", ",10002,");
        FOldPreview = frxClass::PreviewRunner;
        FOldDesigner = frxClass::DesignerRunner;
        // The preview builds the report and "shows" it: what it shows is kept.
        frxClass::PreviewRunner = [this](TfrxReport* r) {
            r->PrepareForPreview();
            Shown.push_back(r->Errors()->Text() + PageText(r));
        };
        frxClass::DesignerRunner = nullptr;
    }
    void TearDown() override
    {
        frxClass::PreviewRunner = FOldPreview;
        frxClass::DesignerRunner = FOldDesigner;
        GOperator->Reset();
        UiDbTest::TearDown();
    }

    void LoginAs(const std::string& login, const std::string& rights)
    {
        Exec(Format("insert or replace into operator (LoginId, [Password], Rights) values ('%s', '', '%s')",
                    {login, rights}));
        ASSERT_TRUE(GOperator->Load(login));
    }

    // The text objects of the prepared first page, one per line.
    static std::string PageText(TfrxReport* r)
    {
        auto* pages = DynamicCast<TfrxPreviewPages>(r->PreviewPages());
        if (!pages || pages->Count() == 0) return "<no page>";
        std::string out;
        std::function<void(TfrxComponent*)> walk = [&](TfrxComponent* c) {
            if (auto* m = DynamicCast<TfrxCustomMemoView>(c)) out += TrimRight(m->Text()) + "\n";
            for (TfrxComponent* child : c->Objects()) walk(child);
        };
        if (TfrxReportPage* page = pages->GetPage(0)) walk(page);   // owned by the pages' cache
        return out;
    }

    // A layout of one title band holding the memos' texts, as a blob.
    static std::string LayoutWith(const std::vector<std::string>& texts, const std::string& dataSets = "u")
    {
        TfrxReport r(nullptr);
        TStringList names;
        names.SetCommaText(dataSets);
        for (TfrxDataSet* ds : frxClass::DataSetList())
            if (names.IndexOf(ds->UserName()) >= 0) r.DataSets()->Add(ds);
        auto* page = new TfrxReportPage(&r);
        page->SetName("Page1");
        page->SetDefaults();
        auto* band = new TfrxReportTitle(page);
        band->SetName("ReportTitle1");
        band->SetHeight(200);
        double top = 0;
        int n = 0;
        for (const std::string& t : texts) {
            auto* m = new TfrxMemoView(band);
            m->SetName(Format("Memo%d", {++n}));
            m->SetBounds(0, top, 400, 20);
            m->SetText(t);
            top += 22;
        }
        TStringStream s(std::string{});
        r.SaveToStream(&s, true, false);
        return s.DataString();
    }

    void StoreLayout(int id, int group, const std::string& title, const std::string& blob)
    {
        TStringStream s(blob);
        GDatabase->ExecSQL("insert into report (Id, GrpId, Title, Fr3File) values (:Id, :GrpId, :Title, :Fr3File)",
                           {Database::MakeParam("Id", id), Database::MakeParam("GrpId", group),
                            Database::MakeParam("Title", title)},
                           {TxDBParameter{"Fr3File", &s}});
    }

    std::vector<std::string> Shown;

private:
    std::function<void(TfrxReport*)> FOldPreview;
    std::function<bool(TfrxReport*, bool)> FOldDesigner;
};

TEST_F(ReportCentreTest, VariablesAsLayoutsReadThem)
{
    TProjRep rep;
    rep.AddVariable("", "nothing");         // no name: nothing added
    rep.AddVariable("u_Empty", "");         // kept as one blank
    rep.AddVariable("u_Company", "其他");   // a second one of a name never wins
    EXPECT_EQ(rep.UserDataSet()->Fields()->CommaText(),
              "u_Company,u_Tel,u_Fax,u_Address,u_Zip,u_Operator,u_Empty,u_Company");
    EXPECT_EQ(rep.Values(), (std::vector<std::string>{"恒岳驾校", "0571-1", " ", "文三路 8 号", "310000", "clerk",
                                                      " ", "其他"}));

    StoreLayout(1, 1003, "变量", LayoutWith({"[u.\"u_Company\"]", "[u.\"U_OPERATOR\"]", "<[u.\"u_Fax\"]>",
                                               "<[u.\"u_Empty\"]>", "[u.\"u_Nosuch\"]", "[u_Zip]"}));
    rep.Preview(1);
    ASSERT_EQ(Shown.size(), 1u);
    // By field of "u" (case ignored, the first name wins, an unknown one
    // reads as its own name) and as a plain variable of the report.
    EXPECT_EQ(Shown[0], "恒岳驾校\nclerk\n< >\n< >\nu_Nosuch\n310000\n");

    Variant v = Variant(7);
    rep.ReportGetValue("u_nosuch", v);   // not a variable: left as it was
    EXPECT_EQ(v.AsInteger(), 7);
    rep.ReportGetValue("u_tel", v);
    EXPECT_EQ(VarToStr(v), "0571-1");
}

TEST_F(ReportCentreTest, DataSetsBecomeNumberedLinks)
{
    Exec("insert into students (Id, Name) values (1, '张三'), (2, '李四')");
    TStudentSet students;
    students.Query();
    TReceiptSet receipts;
    auto rep = std::make_unique<TRep>();
    rep->AddDataSets({students.DataSet(), receipts.DataSet()});
    ASSERT_EQ(rep->DataSetLinks().size(), 2u);
    EXPECT_EQ(rep->DataSetLinks()[0]->UserName(), "d0");
    EXPECT_EQ(rep->DataSetLinks()[1]->UserName(), "d1");
    EXPECT_EQ(rep->DataSetLinks()[1]->DataSet(), receipts.DataSet());
    EXPECT_EQ(rep->Report()->DataSets()->Count(), 2);

    StoreLayout(4, 1003, "名单", LayoutWith({"[d0.\"Name\"]"}, "d0"));
    rep->Preview(4);
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0], "张三\n");

    rep->FreeDataSets();
    EXPECT_TRUE(rep->DataSetLinks().empty());
    EXPECT_EQ(frxClass::FindDataSet(nullptr, "d0", nullptr), nullptr);
    rep.reset();   // the data sets of the caller stay
    EXPECT_TRUE(students.DataSet()->Active());
}

TEST_F(ReportCentreTest, ExportsAndBarcodesLiveWithTheGlue)
{
    auto rep = std::make_unique<TRep>();
    EXPECT_FALSE(rep->Report()->PreviewOptions()->Buttons.Contains(pbEdit));
    EXPECT_TRUE(rep->Report()->PreviewOptions()->Buttons.Contains(pbExport));
    ASSERT_NE(rep->Designer(), nullptr);
    EXPECT_EQ(rep->Designer()->Owner(), rep->Report());
    EXPECT_EQ(rep->Designer()->Restrictions, (TfrxDesignerRestrictions{drDontCreateReport}));
    EXPECT_EQ(frxDesgn::CurrentDesigner(), rep->Designer());
    rep.reset();
    EXPECT_EQ(frxDesgn::CurrentDesigner(), nullptr);
}

TEST_F(ReportCentreTest, LayoutsGoToTheirRowAndComeBack)
{
    const int id = TRep::AddReport("收费单", 1003);
    EXPECT_EQ(id, 1);
    std::string saved;
    {
        TRep rep;
        rep.LoadReport(id);   // never designed: an empty report
        EXPECT_EQ(rep.Report()->PagesCount(), 0);
        EXPECT_EQ(rep.Report()->Tag(), id);
        TStringStream layout(LayoutWith({"第一行", "[Date]"}));
        rep.Report()->LoadFromStream(&layout);
        rep.Report()->SetTag(id);
        EXPECT_TRUE(rep.SaveToDatabase());
        TStringStream s(std::string{});
        rep.Report()->SaveToStream(&s, true, false);
        saved = s.DataString();
    }
    EXPECT_EQ(Value("select GrpId || '|' || Title || '|' || length(Fr3File) from report"),
              "1003|收费单|" + std::to_string(saved.size()));
    TRep again;
    again.LoadReport(id);
    TStringStream s(std::string{});
    again.Report()->SaveToStream(&s, true, false);
    EXPECT_EQ(s.DataString(), saved);
    EXPECT_EQ(again.Report()->Tag(), id);
    // Loading clears what was there before, also for a row with no layout.
    const int empty = TRep::AddReport("空", 1003);
    again.LoadReport(empty);
    EXPECT_EQ(again.Report()->PagesCount(), 0);
    EXPECT_EQ(again.Report()->Tag(), empty);
}

TEST_F(ReportCentreTest, NewIdsFollowTheLargestOfAllGroups)
{
    EXPECT_EQ(TRep::AddReport("", 1001), 1);   // an empty title is taken as it is
    Exec("insert into report (Id, GrpId, Title) values (7, 1005, 'x')");
    EXPECT_EQ(TRep::AddReport("第三", 1002), 8);
    EXPECT_EQ(Column("select Id || ':' || GrpId || ':' || Title from report order by Id"),
              (std::vector<std::string>{"1:1001:", "7:1005:x", "8:1002:第三"}));
    TRep::RenameReport(8, "改名 o'k");
    TRep::DeleteReport(1);
    EXPECT_EQ(Column("select Id || ':' || Title from report order by Id"),
              (std::vector<std::string>{"7:x", "8:改名 o'k"}));
}

TEST_F(ReportCentreTest, PrintingNeedsItsRightAndDesignItsOwn)
{
    LoginAs("viewer", ",10004,");
    EXPECT_THROW(TProjRep::ShowReports({}, 1003), EAbort);
    ASSERT_EQ(Rec.Messages().size(), 1u);
    EXPECT_EQ(Trim(Rec.Messages()[0]), "对不起,您没有该功能的操作权限,请与管理员联系(10002).");
    EXPECT_EQ(ModalForm(), nullptr);

    struct Case {
        std::string Rights;
        bool CanDesign;
    };
    for (const Case& c : {Case{",10002,", false}, Case{",10002,10003,", true}}) {
        LoginAs("printer", c.Rights);
        std::vector<bool> enabled;
        TDialogScript script({[&] {
            auto* f = ShownForm<TReporterFrm>();
            ASSERT_NE(f, nullptr);
            EXPECT_EQ(f->Caption(), "打印");
            EXPECT_EQ(f->GroupId(), 1004);
            EXPECT_NE(f->Reper(), nullptr);
            for (TToolButton* b : {f->tbNew1, f->tbDelete1, f->tbRename1, f->tbDesign1}) enabled.push_back(b->Enabled());
            f->SetModalResult(mrCancel);
        }});
        TProjRep::ShowReports({}, 1004);
        EXPECT_EQ(enabled, std::vector<bool>(4, c.CanDesign)) << c.Rights;
    }
    // The built-in administrator holds every right.
    LoginAs("sa", "");
    EXPECT_TRUE(GOperator->HasRight(10003));
}

TEST_F(ReportCentreTest, TheListDialogAddsRenamesDeletesAndPreviews)
{
    Exec("insert into report (Id, GrpId, Title) values (3, 1003, '2 乙'), (5, 1003, '1 甲'), (9, 1004, '别组')");
    TProjRep rep;
    TReporterFrm f;
    f.SetReper(&rep);
    f.SetGroupId(1003);
    // Titles in title order, the first selected.
    EXPECT_EQ(f.ListBox1->Items()->CommaText(), "\"1 甲\",\"2 乙\"");
    EXPECT_EQ(f.Ids(), (std::vector<int>{5, 3}));
    EXPECT_EQ(f.ListBox1->ItemIndex(), 0);

    Rec.Host->QueueInput(true, "0 丙");
    f.tbNew1Click(nullptr);
    ASSERT_FALSE(Rec.Host->Calls.empty());
    EXPECT_EQ(Rec.Host->Calls.back().Caption, "添加报表");
    EXPECT_EQ(Rec.Host->Calls.back().Text, "请输入报表名称:\t\t");
    EXPECT_EQ(Rec.Host->Calls.back().Value, "");
    EXPECT_EQ(f.ListBox1->Items()->CommaText(), "\"0 丙\",\"1 甲\",\"2 乙\"");
    EXPECT_EQ(Value("select Id || ':' || GrpId from report where Title='0 丙'"), "10:1003");

    Rec.Host->QueueInput(false);   // cancelled: nothing added
    f.tbNew1Click(nullptr);
    EXPECT_EQ(Count("report"), 4);

    f.ListBox1->SetItemIndex(1);   // 1 甲
    Rec.Host->QueueInput(true, "1 甲改");
    f.tbRename1Click(nullptr);
    EXPECT_EQ(Rec.Host->Calls.back().Caption, "修改报表标题");
    EXPECT_EQ(Rec.Host->Calls.back().Text, "请输入新的报表名称:\t\t");
    EXPECT_EQ(Rec.Host->Calls.back().Value, "1 甲");
    EXPECT_EQ(Value("select Title from report where Id=5"), "1 甲改");

    f.ListBox1->SetItemIndex(0);   // 0 丙
    Rec.Host->QueueMessageBox(IDCANCEL);
    f.tbDelete1Click(nullptr);
    EXPECT_EQ(Rec.Messages().back(), "确定要删除0 丙吗?");
    EXPECT_EQ(Count("report"), 4);
    Rec.Host->QueueMessageBox(IDOK);
    f.tbDelete1Click(nullptr);
    EXPECT_EQ(Count("report"), 3);
    EXPECT_EQ(f.ListBox1->Items()->CommaText(), "\"1 甲改\",\"2 乙\"");

    f.Button4Click(nullptr);
    EXPECT_EQ(Shown.size(), 1u);   // the empty layout of 1 甲改
    EXPECT_EQ(f.ModalResult(), mrOk);
}

TEST_F(ReportCentreTest, EveryCommandWantsALayoutChosenFirst)
{
    TProjRep rep;
    TReporterFrm f;
    f.SetReper(&rep);
    f.SetGroupId(1006);   // a group without layouts
    EXPECT_EQ(f.ListBox1->Items()->Count(), 0);
    for (auto click : {&TReporterFrm::Button4Click, &TReporterFrm::tbDesign1Click, &TReporterFrm::tbRename1Click,
                       &TReporterFrm::tbDelete1Click})
        (f.*click)(nullptr);
    EXPECT_EQ(Rec.Messages(), std::vector<std::string>(4, "请先从左框列表中选中您要操作的项目."));
    EXPECT_TRUE(Shown.empty());
    EXPECT_EQ(f.ModalResult(), mrNone);
}

TEST(ReporterPlacement, AboutTheMouseOrCentredAndOnTheScreen)
{
    struct Case {
        int X, Y, Left, Top;
    };
    // A 300 x 200 dialog on a 1024 x 768 screen.
    const Case cases[] = {
        {500, 400, 350, 350},   // a quarter of its height above the mouse, centred across it
        {100, 20, 10, -1},      // off the left: 10; top 20-50 < 0: 10
        {900, 400, 362, 284},   // would run off the right: centred on the screen
        {500, 700, 362, 284},   // would run off the bottom: centred
        {1000, 10, 362, 284},
    };
    for (const Case& c : cases) {
        const TPoint p = TReporterFrm::PlaceNearMouse(Point(c.X, c.Y), 1024, 768, 300, 200);
        EXPECT_EQ(p.X, c.Left) << c.X << "," << c.Y;
        EXPECT_EQ(p.Y, c.Top == -1 ? 10 : c.Top) << c.X << "," << c.Y;
    }
    // A dialog larger than the screen starts 10 from its left and top edges.
    EXPECT_EQ(TReporterFrm::PlaceNearMouse(Point(10, 10), 200, 100, 300, 200), Point(10, 10));
}

TEST_F(ReportCentreTest, DesignerSaveWritesTheRowOrSaysWhyNot)
{
    const int id = TRep::AddReport("收费单", 1003);
    TRep rep;
    rep.LoadReport(id);
    TStringStream layout(LayoutWith({"设计过的"}));
    rep.Report()->LoadFromStream(&layout);
    rep.Report()->SetTag(id);
    TfrxDesigner* d = rep.Designer();

    EXPECT_TRUE(d->OnSaveReport(rep.Report(), false));
    EXPECT_NE(Value("select length(Fr3File) from report"), "<null>");

    // Save As writes the file only, and a cancelled one says nothing was saved.
    Rec.Host->QueueSaveFile({});
    EXPECT_FALSE(d->OnSaveReport(rep.Report(), true));
    const std::string file = Dir.File("copy.fr3");
    Rec.Host->QueueSaveFile({file});
    Exec("update report set Fr3File=null");
    EXPECT_TRUE(d->OnSaveReport(rep.Report(), true));
    EXPECT_TRUE(FileExists(file));
    EXPECT_EQ(Rec.Host->Calls.back().Request.Filter, "Fr3文件|*.Fr3|所有文件|*.*");
    EXPECT_EQ(Rec.Host->Calls.back().Request.DefaultExt, "fr3");
    EXPECT_EQ(Value("select ifnull(Fr3File, 'none') from report"), "none");

    // The row was deleted meanwhile: nothing is inserted, and the designer
    // keeps the layout as changed.
    TRep::DeleteReport(id);
    EXPECT_FALSE(d->OnSaveReport(rep.Report(), false));
    EXPECT_EQ(Count("report"), 0);
    ASSERT_FALSE(Rec.Messages().empty());
    EXPECT_NE(Rec.Messages().back().find(qzRep::RowGoneText), std::string::npos) << Rec.Messages().back();

    // A database that refuses: said, and not saved.
    Exec("drop table report");
    EXPECT_FALSE(d->OnSaveReport(rep.Report(), false));
    EXPECT_NE(Rec.Messages().back().find("report"), std::string::npos) << Rec.Messages().back();
}

TEST_F(ReportCentreTest, DesignerOpenKeepsTheRowTheLayoutBelongsTo)
{
    const std::string file = Dir.File("other.fr3");
    WriteFileBytes(file, LayoutWith({"文件里的"}));
    const int id = TRep::AddReport("收费单", 1003);
    TRep rep;
    rep.LoadReport(id);
    TfrxDesigner* d = rep.Designer();
    Rec.Host->QueueOpenFile({});
    EXPECT_FALSE(d->OnLoadReport(rep.Report()));
    Rec.Host->QueueOpenFile({file});
    EXPECT_TRUE(d->OnLoadReport(rep.Report()));
    EXPECT_EQ(Rec.Host->Calls.back().Request.Filter, "Fr3文件|*.Fr3|所有文件|*.*");
    EXPECT_EQ(rep.Report()->Tag(), id);
    EXPECT_EQ(rep.Report()->PagesCount(), 1);
    EXPECT_TRUE(d->OnSaveReport(rep.Report(), false));
    TRep again;
    again.LoadReport(id);
    EXPECT_NE(again.Report()->FindObject("Memo1"), nullptr);

    // A file that is not a layout: said, and the report keeps its layout.
    const std::string bad = Dir.File("bad.fr3");
    WriteFileBytes(bad, "<TfrxReport><unclosed");
    Rec.Host->QueueOpenFile({bad});
    EXPECT_FALSE(d->OnLoadReport(rep.Report()));
    EXPECT_EQ(rep.Report()->Tag(), id);
}

TEST_F(ReportCentreTest, DesignOpensTheDesignerAboveWindowsThatStayOnTop)
{
    const int id = TRep::AddReport("收费单", 1003);
    TForm onTop(nullptr);
    onTop.SetFormStyle(fsStayOnTop);
    TRep rep;

    // Without the designer window: a clear error, and the window keeps its place.
    try {
        rep.Design(id);
        ADD_FAILURE() << "the designer's absence went unsaid";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), frxClass::NoDesignerText);
    }
    EXPECT_EQ(onTop.FormStyle(), fsStayOnTop);

    TFormStyle during = fsStayOnTop;
    int saved = -1;
    frxClass::DesignerRunner = [&](TfrxReport* r, bool) -> bool {
        during = onTop.FormStyle();
        EXPECT_EQ(r->Tag(), id);
        saved = frxDesgn::CurrentDesigner()->OnSaveReport(r, false);
        throw Exception("designer failed");
    };
    EXPECT_THROW(rep.Design(id), Exception);
    EXPECT_EQ(during, fsNormal);
    EXPECT_EQ(onTop.FormStyle(), fsStayOnTop);
    EXPECT_EQ(saved, 1);
    EXPECT_NE(Value("select length(Fr3File) from report"), "<null>");
}

}  // namespace

namespace {

TTreeNode* TreeNode(TTreeView* tree, const std::string& text)
{
    for (TTreeNode* n = tree->Items()->Count() ? tree->Items()->Item(0) : nullptr; n; n = n->GetNext())
        if (n->Text() == text) return n;
    return nullptr;
}

TEST_F(ReportCentreTest, DesignerBindsABandAndAFieldAndSavesTheLayoutToItsRow)
{
    Exec("insert into students (Id, Name) values (1, '张三'), (2, '李四'), (3, '王五')");
    TStudentSet students;
    students.Query();
    TRep rep;
    rep.AddDataSets({students.DataSet()});
    // A layout of a title that knows the link d0 and uses nothing of it yet.
    StoreLayout(7, 1003, "名单", LayoutWith({"学员名单"}, "d0"));
    frxClass::DesignerRunner = [](TfrxReport* r, bool mode) { return frxDesgnForm::OpenDesigner(r, mode); };
    bool saved = false;
    std::string description;
    GuiTest::Later([&] {
        TfrxDesignerForm* f = frxDesgnForm::OpenWindow();
        ASSERT_NE(f, nullptr);
        f->EditAfterInsert = false;
        // A master data band from the bands popup.
        static_cast<TMenuItem*>(f->FindComponent("MasterDataMI"))->Click();
        auto* band = DynamicCast<TfrxMasterData>(static_cast<TfrxComponent*>(f->SelectedObjects()->Items(0)));
        ASSERT_NE(band, nullptr);
        // Bound to d0 in the data band dialog.
        TDialogScript script({[] {
            auto* dlg = ShownForm<TfrxDataBandEditorForm>();
            ASSERT_NE(dlg, nullptr);
            dlg->DatasetsLB->SetItemIndex(dlg->DatasetsLB->Items()->IndexOf("d0"));
            dlg->OkB->Click();
        }});
        ASSERT_TRUE(frxEditDataBand::EditDataBand(f, f->Report(), band));
        f->ObjectModified(nullptr);
        ASSERT_EQ(band->DataSet(), rep.DataSetLinks()[0]);
        // The field Name dropped from the data tree onto the band.
        f->UpdateDataTree();
        TTreeNode* field = TreeNode(f->DataTreeForm->DataTree, "Name");
        ASSERT_NE(field, nullptr);
        f->DataTreeForm->DataTree->SetSelected(field);
        const double scale = f->Workspace->Scale();
        const int x = int(f->Workspace->OffsetX + (band->AbsLeft() + 20) * scale);
        const int y = int(f->Workspace->OffsetY + (band->AbsTop() + band->Height() / 2) * scale);
        bool accept = false;
        f->Workspace->DragOver(f->DataTreeForm->DataTree, x, y, dsDragEnter, accept);
        ASSERT_TRUE(accept);
        f->Workspace->DragDrop(f->DataTreeForm->DataTree, x, y);
        description = f->SelectionDescription();
        // Saved through the report centre's hook into the row, and closed.
        f->SaveCmd->Execute();
        saved = !f->Modified();
        f->Close();
    });
    rep.Design(7);
    EXPECT_TRUE(saved);
    EXPECT_EQ(description, "Memo2: d0.\"Name\"");

    // The stored layout, loaded afresh, shows the three students.
    TRep again;
    again.AddDataSets({students.DataSet()});
    again.Preview(7);
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0], "学员名单\n张三\n李四\n王五\n");
}

}  // namespace
