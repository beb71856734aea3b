// Backup and restore with SQLite, the automatic-backup decision over a
// table of dates, the backup plan, data clearing with a failure in the
// middle, the operators' rights text, the tips and the feedback form, the
// placement at the mouse and the border hit-test.
#include "Backup.h"
#include "ClearData.h"
#include "DirPicker.h"
#include "InfoDlgs.h"
#include "Objs.h"
#include "Operators.h"
#include "SmallDlgs.h"
#include "UiTestDb.h"
#include "../../core/tests/TestHttpServer.h"

#include "DateUtils.h"
#include "Http.h"
#include "StringLists.h"
#include "TextUtils.h"
#include "qzProj.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

class AdminTest : public UiDbTest {
protected:
    void AddStudent(int id, const std::string& name)
    {
        Exec(Format("insert into students (Id, Name, Passinfo, Appsinfo) values (%d, '%s', ',1,', ',2,')", {id, name}));
    }
};

TEST(AutoBackupDecision, ByPlanAndDate)
{
    struct Case {
        int Plan;
        int Y, M, D;
        bool Due;
    };
    const Case cases[] = {
        {0, 2008, 3, 3, false}, {1, 2008, 3, 4, true},  {2, 2008, 3, 3, true},   // 3 March 2008: Monday
        {2, 2008, 3, 4, false}, {2, 2008, 3, 9, false}, {2, 2008, 3, 10, true},
        {3, 2008, 3, 1, true},  {3, 2008, 3, 2, false}, {3, 2008, 12, 1, true},
        {4, 2008, 3, 1, false}, {-1, 2008, 3, 3, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TFrmBackup::AutoBackupDue(c.Plan, EncodeDate(c.Y, c.M, c.D) + 0.6), c.Due)
            << "plan " << c.Plan << " on " << c.Y << "-" << c.M << "-" << c.D;
    EXPECT_EQ(TFrmBackup::AutoBackupFile("/srv/bak/", EncodeDate(2008, 3, 5) + 0.9), "/srv/bak/bak20080305.bak");
}

TEST(BackupQuoting, NamesAndPaths)
{
    EXPECT_EQ(Backup::QuoteName("school]x"), "[school]]x]");
    EXPECT_EQ(Backup::QuoteText("D:\\o'neil\\a.bak"), "'D:\\o''neil\\a.bak'");
    // A path or name holding a quote or a bracket stays one value of the statement.
    EXPECT_EQ(Backup::BackupSql("school", "D:\\bak\\x'; drop database school; --.bak"),
              "backup database [school] to disk='D:\\bak\\x''; drop database school; --.bak' WITH FORMAT");
    EXPECT_EQ(Backup::RestoreSql("a]b", "D:\\bak\\bak20080305.bak"),
              "restore database [a]]b] from disk='D:\\bak\\bak20080305.bak'");
}

TEST_F(AdminTest, BackupAndRestoreWithSqlite)
{
    AddStudent(1, "张三");
    const std::string bak = Dir.File("copy.bak");
    TFrmBackup::BackupTo(bak);
    EXPECT_EQ(RawValue(bak, "pragma integrity_check"), "ok");
    EXPECT_EQ(RawValue(bak, "select Name from students"), "张三");
    EXPECT_FALSE(FileExists(bak + ".part"));

    AddStudent(2, "李四");
    TFrmBackup::RestoreFrom(bak);
    EXPECT_TRUE(GDatabase->GetConnected());
    EXPECT_EQ(Count("students"), 1);
    TRecordSet rs;
    EXPECT_EQ(rs.Open("select * from students"), 1);

    // A file that is no database, a missing one, and another program's
    // database are refused and the database stays as it was.
    WriteFileBytes(Dir.File("junk.bak"), std::string(4096, 'x'));
    RawExec(Dir.File("other.bak"), "create table students (Id int); create table notes (t text);");
    for (const char* name : {"junk.bak", "missing.bak", "other.bak"}) {
        try {
            TFrmBackup::RestoreFrom(Dir.File(name));
            ADD_FAILURE() << "restored from " << name;
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "恢复时,所选文件不是本系统的有效备份文件.") << name;
        }
        EXPECT_TRUE(GDatabase->GetConnected());
        EXPECT_EQ(Count("students"), 1);
    }
    // Another program holding the database: the copy fails, the connection is back.
    {
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(File.c_str(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, "begin immediate", nullptr, nullptr, nullptr), SQLITE_OK);
        try {
            TFrmBackup::RestoreFrom(bak);
            ADD_FAILURE() << "restored over a held database";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "恢复时,复制文件失败,请检查数据文件是否正在使用.");
        }
        sqlite3_exec(other, "rollback", nullptr, nullptr, nullptr);
        sqlite3_close(other);
    }
    EXPECT_TRUE(GDatabase->GetConnected());
    EXPECT_EQ(Count("students"), 1);

    // A target that cannot be written leaves nothing behind.
    try {
        TFrmBackup::BackupTo(Dir.File("no/such/dir/a.bak"));
        ADD_FAILURE() << "backed up into nowhere";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "备份时,复制文件失败,请检查备份路径是否正确,或者目标文件已存在.");
    }
}

TEST_F(AdminTest, AutomaticBackupOnAMonday)
{
    auto clock = std::make_shared<TFixedClock>(EncodeDate(2008, 3, 3) + 0.5);
    auto prev = SetClock(clock);
    TFrmBackup::SavePlan(2, Dir.Path() + "/");
    TFrmBackup::AutoBackup();
    EXPECT_EQ(RawValue(Dir.File("bak20080303.bak"), "pragma integrity_check"), "ok");
    clock->Set(EncodeDate(2008, 3, 4) + 0.5);
    TFrmBackup::AutoBackup();
    EXPECT_FALSE(FileExists(Dir.File("bak20080304.bak")));
    // A directory that cannot be written: the message shows, the exit goes on.
    TFrmBackup::SavePlan(1, Dir.Path() + "/missing/");
    TFrmBackup::AutoBackup();
    ASSERT_EQ(Rec.Messages().size(), 1u);
    EXPECT_NE(Rec.Messages()[0].find("备份时,复制文件失败"), std::string::npos);
    SetClock(prev);
}

TEST_F(AdminTest, PlanSavedOnAnEmptyBackupTableIsKept)
{
    Exec("delete from [backup]");
    TDialogScript script({[] {
        auto* f = ShownForm<TFrmBackup>();
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->Plan(), 0);
        EXPECT_EQ(f->edtBackDir1->GetText(), "");
        f->SetPlan(3);
        f->SetBackDir("/srv/bak");
        f->OkBtn1->Click();
    }});
    TFrmBackup::ShowBackup();
    EXPECT_EQ(Count("[backup]"), 1);
    EXPECT_EQ(Value("select TypeId || '|' || BackDir from [backup]"), "3|/srv/bak/");
    TFrmBackup::SavePlan(1, "/x/");
    EXPECT_EQ(Value("select TypeId || '|' || BackDir from [backup]"), "1|/x/");
    EXPECT_EQ(Count("[backup]"), 1);
}

TEST_F(AdminTest, ClearingDetailsOrEverything)
{
    AddStudent(1, "张三");
    Exec("insert into employees (Id, Name) values (1, '王');"
         "insert into cars (Id, CarNo) values (1, '粤A');"
         "insert into recitems (Id, Name) values (1, '学费');"
         "insert into examitems (Id, Name) values (1, '科目一');"
         "insert into exams (Id, StudentId, ItemId) values (1, 1, 1);"
         "insert into receipts (Id, StudentId, RecItemId) values (1, 1, 1);"
         "insert into classes (StudentId) values (1);"
         "insert into graduates (StudentId) values (1);"
         "insert into dropouts (StudentId) values (1);");
    ClearData::Clear(false);
    for (const char* t : {"exams", "receipts", "classes", "graduates", "dropouts"}) EXPECT_EQ(Count(t), 0) << t;
    for (const char* t : {"students", "employees", "cars", "recitems", "examitems"}) EXPECT_EQ(Count(t), 1) << t;
    // No exam left: no student may still count as passed or booked.
    EXPECT_EQ(Value("select Passinfo || Appsinfo from students"), ",,");
    ClearData::Clear(true);
    for (const char* t : {"students", "employees", "recitems", "examitems"}) EXPECT_EQ(Count(t), 0) << t;
    EXPECT_EQ(Count("cars"), 1);
    EXPECT_EQ(Count("operator"), 1);
    EXPECT_EQ(Count("[backup]"), 1);
}

TEST_F(AdminTest, ClearingWindowWithAFailureInTheMiddle)
{
    AddStudent(1, "张三");
    Exec("insert into exams (Id, StudentId, ItemId) values (1, 1, 1);"
         "insert into graduates (StudentId) values (1);"
         "create trigger keep before delete on graduates begin select raise(abort, 'graduates are kept'); end;");
    int restarts = 0;
    auto prev = ClearData::SetRestartHook([&] { ++restarts; });
    TClearDataFrm f(nullptr);
    EXPECT_FALSE(f.RadioButton1->Checked() || f.RadioButton2->Checked());
    // No scope chosen: a message, nothing cleared, the window stays.
    f.SetModalResult(mrOk);
    EXPECT_FALSE(f.CloseQuery());
    EXPECT_EQ(Rec.Messages().back(), "\r\n必须选择要清除的数据范围!\t");
    // The delete of graduates fails after exams went: everything comes back.
    f.RadioButton1->SetChecked(true);
    Rec.Host->QueueMessageBox(IDOK);
    EXPECT_FALSE(f.CloseQuery());
    EXPECT_NE(Rec.Messages().back().find("graduates are kept"), std::string::npos);
    EXPECT_EQ(Count("exams"), 1);
    EXPECT_EQ(Value("select Passinfo from students"), ",1,");
    EXPECT_FALSE(GDatabase->InTransaction());
    EXPECT_EQ(restarts, 0);
    // Cancel at the confirmation clears nothing.
    Exec("drop trigger keep");
    Rec.Host->QueueMessageBox(IDCANCEL);
    EXPECT_FALSE(f.CloseQuery());
    EXPECT_EQ(Count("exams"), 1);
    // Confirmed: cleared, told, restarted.
    Rec.Host->QueueMessageBox(IDOK);
    EXPECT_TRUE(f.CloseQuery());
    EXPECT_EQ(Count("exams"), 0);
    EXPECT_EQ(Rec.Messages().back(), "\r\n操作已完成,软件将需要重新启动!\t");
    EXPECT_EQ(restarts, 1);
    ClearData::SetRestartHook(prev);
}

TEST_F(AdminTest, ClearingFailureAfterTheCommitKeepsTheClearing)
{
    AddStudent(1, "张三");
    Exec("insert into exams (Id, StudentId, ItemId) values (1, 1, 1);");
    auto prev = ClearData::SetRestartHook([] { throw Exception("cannot start the program"); });
    TClearDataFrm f(nullptr);
    f.RadioButton1->SetChecked(true);
    f.SetModalResult(mrOk);
    Rec.Host->QueueMessageBox(IDOK);
    // The committed clearing stands: the failure passes on as it is, with no
    // rollback of a transaction that is no longer open.
    try {
        f.CloseQuery();
        ADD_FAILURE() << "the restart failure was swallowed";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "cannot start the program");
    }
    ClearData::SetRestartHook(prev);
    EXPECT_EQ(Count("exams"), 0);
    EXPECT_FALSE(GDatabase->InTransaction());
    EXPECT_TRUE(GDatabase->GetConnected());
}

TEST_F(AdminTest, OperatorEditorRightsText)
{
    TOperatorEditorFrm f(nullptr);
    for (auto [c, id] : {std::pair{"清除数据", 100}, {"公司信息设置", 10000}, {"操作员及权限管理", 100001},
                         {"打印", 10002}, {"打印设计", 10003}})
        f.AddRight(c, id);
    f.CheckListBox1->SetChecked(1, true);
    f.CheckListBox1->SetChecked(3, true);
    EXPECT_EQ(f.Rights(), ",10000,,10002,");
    f.SetRights(",100001,,100,");
    EXPECT_EQ(f.Rights(), ",100,,100001,");
    f.SetRights(",10000,,10002,");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(f.CheckListBox1->Checked(i), i == 1 || i == 3) << i;
    // An existing operator's login id cannot be changed; a new one can.
    f.SetUserId("alice");
    EXPECT_FALSE(f.edtUserId1->Enabled());
    f.Reset();
    EXPECT_TRUE(f.edtUserId1->Enabled());
    EXPECT_EQ(f.Rights(), "");
    // OK is refused without a login id and with passwords that differ.
    f.SetModalResult(mrOk);
    EXPECT_FALSE(f.CloseQuery());
    f.SetUserId("bob");
    f.edtPassword1->SetText("a");
    f.edtPassword2->SetText("b");
    EXPECT_FALSE(f.CloseQuery());
    EXPECT_EQ(f.edtPassword1->GetText(), "");
    EXPECT_EQ(Rec.Messages(), (std::vector<std::string>{"\r\n必须填写登陆名.\t", "\r\n两次输入的密码不一样,请重新输入.\t"}));
    EXPECT_TRUE(f.CloseQuery());
}

TEST_F(AdminTest, TipsDrawFromTheWholeListOrShowNothing)
{
    TTipsFrm f(nullptr);
    f.ShowRandomTip();
    EXPECT_EQ(f.Memo1->GetText(), "");
    f.Tips()->Add("甲");
    f.Tips()->Add("乙");
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        f.ShowRandomTip();
        seen.insert(f.Memo1->GetText());
    }
    EXPECT_EQ(seen, (std::set<std::string>{"\r\n\r\n甲", "\r\n\r\n乙"}));
}

TEST_F(AdminTest, FeedbackKeepsTheTextWhenThePostFails)
{
    GCompany->CompanyName = "恒岳驾校";
    GCompany->Zip = "510000";
    TFeedbackFrm f(nullptr);
    f.Url = "http://127.0.0.1:1/feedback";
    f.MmNote1->SetText("希望增加短信提醒");
    const std::string rule(45, '-');
    EXPECT_EQ(f.FeedbackText(), "      Company: 恒岳驾校\r\n      Address: \r\n          Zip: 510000\r\n"
                                "      Linkman: \r\n      LinkTel: \r\n        Email: \r\n         Note: \r\n" +
                                    rule + "\r\n希望增加短信提醒\r\n" + rule + "\r\n");
    TDialogScript script({[&] {
        f.OkBtn1->Click();
        // The post failed: the form is still up with the note in it.
        EXPECT_EQ(f.ModalResult(), mrNone);
        EXPECT_EQ(f.MmNote1->GetText(), "希望增加短信提醒");
        f.CancelBtn1->Click();
    }});
    EXPECT_EQ(f.ShowModal(), mrCancel);
    ASSERT_FALSE(Rec.Messages().empty());
    EXPECT_EQ(Rec.Messages()[0].rfind("对不起,发送失败,请检查网络后重试,", 0), 0u);
}

TEST_F(AdminTest, AboutBoxShowsTheProduct)
{
    qzProj::ProductTitle = "恒岳驾校管理系统";
    qzProj::ProductEdition = "网络版 1.0.0.1";
    qzProj::ProductBuild = "Build261210";
    qzProj::ProductCode = "QZPEM100";
    TaboutFrm f(nullptr);
    EXPECT_EQ(f.LblProductName1->Caption(), "恒岳驾校管理系统");
    EXPECT_EQ(f.LblVersion1->Caption(), "网络版 1.0.0.1 Build261210");
    EXPECT_EQ(f.LblProductCode1->Caption(), "QZPEM100");
    EXPECT_EQ(f.lblExePath1->Caption(), Dir.Path());
    EXPECT_EQ(f.lblDatabase1->Caption(), File);
    f.lblExePath1->Click();
    auto shell = Rec.Host->CallsOf(THostCallKind::ShellExecute);
    ASSERT_EQ(shell.size(), 1u);
    EXPECT_EQ(shell[0].Text, Dir.Path());
}

TEST_F(AdminTest, HelpAndToolActions)
{
    qzProj::ProductTitle = "恒岳驾校管理系统";
    qzProjUi::ShowReadme();
    qzProjUi::ShowWhatsNew();
    qzProjUi::OpenHomePage();
    qzProjUi::MailSales();
    std::vector<std::string> opened;
    for (const auto& c : Rec.Host->CallsOf(THostCallKind::ShellExecute)) opened.push_back(c.Text);
    EXPECT_EQ(opened, (std::vector<std::string>{
                          Dir.Path() + "/readme.txt", Dir.Path() + "/whatsnew.txt", Maker::HomePage,
                          // "恒岳驾校管理系统 购买咨询" in UTF-8, the blank as %20
                          std::string("mailto:") + Maker::SalesMail +
                              "?subject=%E6%81%92%E5%B2%B3%E9%A9%BE%E6%A0%A1%E7%AE%A1%E7%90%86%E7%B3%BB%E7%BB%9F"
                              "%20%E8%B4%AD%E4%B9%B0%E5%92%A8%E8%AF%A2"}));
    EXPECT_EQ(qzProjUi::MailLink("a@b.example", "1+1 a&b"), "mailto:a@b.example?subject=1%2B1%20a%26b");

    // The text editor and the calculator are programs started as processes.
    const std::string mark = Dir.File("started");
    setenv("PEMTAL_EDITOR", ("touch " + mark).c_str(), 1);
    qzProjUi::RunNotepad();
    unsetenv("PEMTAL_EDITOR");
    for (int i = 0; i < 200 && !FileExists(mark); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(FileExists(mark));
    EXPECT_FALSE(qzProjUi::StartCommand("no-such-program-of-pemtal"));
    EXPECT_FALSE(qzProjUi::StartCommand("  "));
    EXPECT_TRUE(Rec.Messages().empty());
}

TEST_F(AdminTest, FeedbackPostedAndAnswered)
{
    TTestHttpServer server;
    TFeedbackFrm f(nullptr);
    f.Url = server.Url("/feedback");
    f.MmNote1->SetText("好用");
    // A reply other than "ok" is shown as it came and the form stays.
    server.Reply(200, "稍后再试");
    TDialogScript script({[&] {
        f.OkBtn1->Click();
        EXPECT_EQ(f.ModalResult(), mrNone);
        server.Reply(200, "ok");
        f.OkBtn1->Click();
    }});
    EXPECT_EQ(f.ShowModal(), mrOk);
    EXPECT_EQ(Rec.Messages(), (std::vector<std::string>{"稍后再试", ":) 反馈成功！谢谢您的支持！"}));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].Method, "POST");
    EXPECT_EQ(requests[1].Body.rfind("Data=", 0), 0u);
    // The note travels in the posted text (form-encoded GBK).
    EXPECT_NE(requests[1].Body.find(Http::UrlEncode(Utf8ToGbk("好用"))), std::string::npos);
}

// Each window drawn to a picture beside the tests, to be looked at.
TEST_F(AdminTest, PicturesOfTheWindows)
{
    GCompany->CompanyName = "恒岳驾校";
    GCompany->Tel = "020-1234";
    std::vector<std::unique_ptr<TForm>> forms;
    forms.emplace_back(new TFrmBackup(nullptr));
    forms.emplace_back(new TClearDataFrm(nullptr));
    forms.emplace_back(new TDirPickerFrm(nullptr));
    forms.emplace_back(new TaboutFrm(nullptr));
    forms.emplace_back(new TTipsFrm(nullptr));
    forms.emplace_back(new TFeedbackFrm(nullptr));
    auto* company = new TCompanyInfoFrm(nullptr);
    company->LoadFrom(*GCompany);
    forms.emplace_back(company);
    forms.emplace_back(new TPasswordChangerFrm(nullptr));
    auto* editor = new TOperatorEditorFrm(nullptr);
    for (auto [c, id] : {std::pair{"清除数据", 100}, {"公司信息设置", 10000}, {"打印", 10002}}) editor->AddRight(c, id);
    editor->SetRights(",10000,");
    forms.emplace_back(editor);
    forms.emplace_back(new TListItemEditFrm(nullptr));
    const std::string out = std::string(QZ_BINARY_DIR) + "/app/ui/";
    for (auto& f : forms) {
        f->Show();
        GuiTest::ProcessEvents();
        EXPECT_TRUE(GuiTest::SavePng(f.get(), out + f->Name() + ".png")) << f->Name();
        // Every control lies inside the client area.
        for (int i = 0; i < f->ControlCount(); ++i) {
            TControl* c = f->Controls(i);
            if (!c->Visible()) continue;
            EXPECT_LE(c->Left() + c->Width(), f->ClientWidth()) << f->Name() << " " << c->ClassName();
            EXPECT_LE(c->Top() + c->Height(), f->ClientHeight()) << f->Name() << " " << c->ClassName();
        }
        f->Hide();
    }
}

TEST(BaseForm, PlaceAtMouseTable)
{
    struct Case {
        int MouseX, MouseY, ScreenW, ScreenH, W, H, Left, Top;
    };
    const Case cases[] = {
        {0, 0, 1024, 768, 300, 200, 20, 20},          // top-left corner of the screen
        {512, 384, 1024, 768, 300, 200, 362, 284},    // centred on the mouse
        {1020, 760, 1024, 768, 300, 200, 704, 518},   // kept 20 off the right, 50 off the bottom
        {151, 101, 1024, 768, 301, 201, 1, 1},        // halving toward zero
        {149, 99, 1024, 768, 300, 200, 20, 20},       // one pixel off the screen: to 20
        {800, 600, 1024, 768, 300, 200, 650, 500},
    };
    for (const auto& c : cases) {
        const TPoint p = TaFrm::PlaceAtMouse(Point(c.MouseX, c.MouseY), c.ScreenW, c.ScreenH, c.W, c.H);
        EXPECT_EQ(p.X, c.Left) << c.MouseX << "," << c.MouseY;
        EXPECT_EQ(p.Y, c.Top) << c.MouseX << "," << c.MouseY;
    }
}

TEST(BaseForm, BorderHitTestTable)
{
    struct Case {
        int X, Y, Hit;
    };
    const int w = 200, h = 100;
    const Case cases[] = {
        {0, 0, HTTOPLEFT},      {9, 9, HTTOPLEFT},       {10, 9, 0},            {4, 50, HTLEFT},
        {5, 50, 0},             {191, 0, HTTOPRIGHT},    {190, 5, 0},           {191, 9, HTTOPRIGHT},
        {191, 91, HTBOTTOMRIGHT}, {199, 99, HTBOTTOMRIGHT}, {9, 91, HTBOTTOMLEFT}, {10, 96, HTBOTTOM},
        {100, 4, HTTOP},        {100, 5, 0},             {196, 50, HTRIGHT},    {195, 50, 0},
        {100, 96, HTBOTTOM},    {100, 95, 0},            {100, 50, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(TaFrm::BorderHitTest(c.X, c.Y, w, h), c.Hit) << c.X << "," << c.Y;
}

TEST(BaseForm, HelpTopics)
{
    EXPECT_EQ(TaFrm::HelpTopic("mainFrm"), "main");
    EXPECT_EQ(TaFrm::HelpTopic("aFrm"), "a");
    EXPECT_EQ(TaFrm::HelpTopic("CompanyInfoFrm"), "CompanyInfo");
    EXPECT_EQ(TaFrm::HelpTopic("ab"), "");
}

TEST_F(AdminTest, FrameLessFormAnswersItsHitTest)
{
    TaFrm f(nullptr);
    f.SetBorderStyle(fbsNone);
    f.SetBounds(100, 100, 200, 100);
    f.Show();
    GuiTest::ProcessEvents();
    const TPoint o = f.ClientToScreen(Point(0, 0));
    auto hit = [&](int x, int y) { return int(f.Perform(WM_NCHITTEST, 0, MAKELPARAM(o.X + x, o.Y + y))); };
    EXPECT_EQ(hit(2, 2), HTTOPLEFT);
    EXPECT_EQ(hit(198, 50), HTRIGHT);
    EXPECT_EQ(hit(100, 50), HTCLIENT);
    // F1 opens the form's help page.
    f.SetName("CompanyInfoFrm");
    f.SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyPress(VK_F1);
    auto shell = Rec.Host->CallsOf(THostCallKind::ShellExecute);
    ASSERT_EQ(shell.size(), 1u);
    EXPECT_EQ(shell[0].Text, Dir.Path() + "/help/CompanyInfo.htm");
}

}  // namespace

namespace {

TEST_F(AdminTest, OperatorsWindowAddsChangesAndDeletes)
{
    Exec("insert into operator (LoginId, [Password], Name, Contact, [Note], Rights) "
         "values ('alice', 'pw1', '', '', '', ',10002,')");
    TOperatorsFrm f(nullptr);
    ASSERT_EQ(f.ListView1->Items()->Count(), 1);
    EXPECT_EQ(f.ListView1->Items()->Item(0)->Caption(), "alice");
    EXPECT_FALSE(f.btnProp1->Enabled());
    ASSERT_EQ(f.ListView1->LargeImages(), f.ImageList1);
    EXPECT_EQ(f.ImageList1->Count(), 1);
    f.Show();
    GuiTest::ProcessEvents();
    EXPECT_TRUE(GuiTest::SavePng(&f, std::string(QZ_BINARY_DIR) + "/app/ui/operators.png"));
    f.Hide();
    f.Editor()->AddRight("清除数据", 100);
    TDialogScript script({
        [&] {
            // The window adds its own rights after the facade's one.
            EXPECT_EQ(f.Editor()->CheckListBox1->Items()->Count(), 10);
            EXPECT_EQ(f.Editor()->CheckListBox1->Items()->Strings(1), "公司信息设置");
            f.AddOperator();
        },
        [&] {
            TOperatorEditorFrm* e = f.Editor();
            e->edtUserId1->SetText("bob");
            e->SetPasswd("pw2");
            e->SetRights(",100,,10005,");
            e->OkBtn1->Click();
        },
        [&] {
            // Back in the operators window: bob is listed; change alice.
            EXPECT_EQ(f.ListView1->Items()->Count(), 2);
            f.ListView1->Items()->Item(0)->SetSelected(true);
            EXPECT_TRUE(f.btnProp1->Enabled());
            f.EditSelected();
        },
        [&] {
            TOperatorEditorFrm* e = f.Editor();
            EXPECT_EQ(e->UserId(), "alice");
            EXPECT_FALSE(e->edtUserId1->Enabled());
            EXPECT_EQ(e->Rights(), ",10002,");
            e->SetRights(",10000,");
            e->OkBtn1->Click();
        },
        [&] {
            Rec.Host->QueueMessageBox(IDOK);
            f.DeleteSelected();
            f.CloseBtn1->Click();
        },
    });
    f.ShowModal();
    EXPECT_EQ(Column("select LoginId || ':' || coalesce(Rights, '') from operator order by LoginId"),
              (std::vector<std::string>{"bob:,100,,10005,",
                                        "sa:" + Value("select coalesce(Rights, '') from operator where LoginId='sa'")}));
    EXPECT_EQ(f.ListView1->Items()->Count(), 1);
}

}  // namespace

namespace {

TEST_F(AdminTest, PasswordChangeChecksTheCurrentPassword)
{
    Exec("insert into operator (LoginId, [Password], Name, Contact, [Note], Rights) values ('alice', 'old', '', '', '', '')");
    TOperator op;
    ASSERT_TRUE(op.Load("alice"));
    auto fill = [](const char* current, const char* n1, const char* n2) {
        return [=] {
            auto* f = ShownForm<TPasswordChangerFrm>();
            ASSERT_NE(f, nullptr);
            EXPECT_EQ(f->edtUser1->GetText(), "alice");
            EXPECT_FALSE(f->edtUser1->Enabled());
            f->edtPassword1->SetText(current);
            f->edtNewPassword1->SetText(n1);
            f->edtNewPassword2->SetText(n2);
            f->OkBtn1->Click();
        };
    };
    // New passwords that differ keep the dialog; a wrong current one shows it again.
    TDialogScript script({fill("old", "a", "b"), fill("bad", "new", "new"), fill("old", "new", "new")});
    EXPECT_TRUE(PasswordChanger::ChangePassword(&op));
    EXPECT_EQ(Rec.Messages(), (std::vector<std::string>{"两次输入的新密码不一样,请确认并重新输入.",
                                                        "\r\n当前密码验证失败,请确认并重新输入.\t",
                                                        "\r\n密码更改成功! 下次登陆时请使用新密码.\t"}));
    EXPECT_EQ(op.Password, "new");
    EXPECT_EQ(Value("select [Password] from operator where LoginId='alice'"), "new");
}

TEST_F(AdminTest, CompanyDialogReadOnlyAndSaved)
{
    GCompany->Load();
    GCompany->CompanyName = "恒岳驾校";
    bool okEnabled = true;
    {
        TDialogScript script({[&] {
            auto* f = ShownForm<TCompanyInfoFrm>();
            okEnabled = f->OkBtn1->Enabled();
            EXPECT_EQ(f->edtCompanyName1->GetText(), "恒岳驾校");
            f->CancelBtn1->Click();
        }});
        CompanyInfo::Edit(GCompany, true);
    }
    EXPECT_FALSE(okEnabled);
    TDialogScript script({[&] {
        auto* f = ShownForm<TCompanyInfoFrm>();
        EXPECT_TRUE(f->OkBtn1->Enabled());
        f->edtCompanyName1->SetText("恒岳驾驶培训学校");
        f->edtTel1->SetText("020-1234");
        f->OkBtn1->Click();
    }});
    CompanyInfo::Edit(GCompany, false);
    EXPECT_EQ(Value("select CompanyName || '|' || Tel from Company"), "恒岳驾驶培训学校|020-1234");
    EXPECT_TRUE(GCompany->IsFilled());
}

TEST_F(AdminTest, ListItemEditorReplacesTheListOnOk)
{
    TStringList list;
    list.Add("C1");
    TDialogScript script({[] {
                              auto* f = ShownForm<TListItemEditFrm>();
                              EXPECT_EQ(f->TabSheet1->Caption(), "准驾车型");
                              f->Memo1->SetText("C1\r\nC2\r\nB2");
                              f->BitBtn1->Click();
                          },
                          [] {
                              auto* f = ShownForm<TListItemEditFrm>();
                              f->Memo1->SetText("A1");
                              f->CancelBtn1->Click();
                          }});
    EXPECT_TRUE(TListItemEditFrm::Execute("准驾车型", &list));
    EXPECT_EQ(list.CommaText(), "C1,C2,B2");
    EXPECT_FALSE(TListItemEditFrm::Execute("准驾车型", &list));
    EXPECT_EQ(list.CommaText(), "C1,C2,B2");
}

}  // namespace

namespace {

TEST_F(AdminTest, BackupWindowButtons)
{
    AddStudent(1, "张三");
    TFrmBackup f(nullptr);
    f.SetBackDir(Dir.Path());
    EXPECT_EQ(f.BackDir(), Dir.Path() + "/");
    const std::string bak = Dir.File("now.bak");
    Rec.Host->QueueSaveFile({bak});
    f.Button3->Click();
    auto save = Rec.Host->CallsOf(THostCallKind::SaveFile);
    ASSERT_EQ(save.size(), 1u);
    EXPECT_EQ(save[0].Request.InitialDir, Dir.Path() + "/");
    EXPECT_EQ(save[0].Request.Filter, "备份文件(*.bak)|*.bak|所有文件(*.*)|*.*");
    EXPECT_EQ(Rec.Messages().back(), "\r\n\r\n备份操作执行成功!\t");
    EXPECT_EQ(RawValue(bak, "select count(*) from students"), "1");

    AddStudent(2, "李四");
    // Cancel at the warning restores nothing; OK restores.
    Rec.Host->QueueOpenFile({bak});
    Rec.Host->QueueMessageBox(IDCANCEL);
    f.Button1->Click();
    EXPECT_EQ(Count("students"), 2);
    Rec.Host->QueueOpenFile({bak});
    Rec.Host->QueueMessageBox(IDOK);
    f.Button1->Click();
    EXPECT_EQ(Count("students"), 1);
    EXPECT_EQ(Rec.Messages().back(), "\r\n\r\n恢复操作执行成功!\t");
}

TEST_F(AdminTest, DirPickerShowsAndEntersFolders)
{
    std::filesystem::create_directories(Dir.File("b/inner"));
    std::filesystem::create_directories(Dir.File("a"));
    TDirPickerFrm f(nullptr);
    f.SetDirectory(Dir.Path());
    EXPECT_EQ(f.Directory(), Dir.Path() + "/");
    EXPECT_EQ(f.Label2->Caption(), Dir.Path() + "/");
    EXPECT_EQ(f.DriveComboBox1->GetText(), "/");
    EXPECT_EQ(f.DirectoryListBox1->Items()->CommaText(), "..,a,b");
    f.OpenItem(2);
    EXPECT_EQ(f.Directory(), Dir.File("b") + "/");
    f.OpenItem(0);
    EXPECT_EQ(f.Directory(), Dir.Path() + "/");
    f.SetDirectory(Dir.File("no such"));
    EXPECT_EQ(f.Directory(), Dir.Path() + "/");
}

}  // namespace
