// Start-up and login: the connect-or-configure loop, the login step with
// two, three and four arguments, the login dialog refusing an operator it
// did not load, the facade's rights, and pictures of the two dialogs.
#include "DBConfig.h"
#include "Facade.h"
#include "Login.h"
#include "Objs.h"
#include "UiTestDb.h"

#include "Backup.h"
#include "DateUtils.h"
#include "ClearData.h"
#include "InfoDlgs.h"
#include "Operators.h"
#include "SmallDlgs.h"

namespace {

class StartTest : public UiDbTest {
protected:
    void SetUp() override
    {
        UiDbTest::SetUp();
        Exec("insert into operator (LoginId, [Password], Name, Contact, [Note], Rights) "
             "values ('alice', 'pw1', '爱丽丝', '', '', ',10002,')");
        Login::CopyOperator(TOperator(), *GOperator);
    }
    // cfg.ini pointing at a database file.
    void Configure(const std::string& file)
    {
        TConfiger c;
        c.providerIdx = TConfiger::kindJet;
        c.defaultCon = false;
        c.jetfile = file;
        c.Save();
    }
    int FailureBoxes()
    {
        int n = 0;
        for (const auto& m : Rec.Messages()) n += m.find("连接时失败") != std::string::npos;
        return n;
    }
};

TEST_F(StartTest, ConnectLoopShowsTheDialogUntilItConnects)
{
    GDatabase->SetConnected(false);
    Configure(Dir.File("missing.mdb"));
    int shown = 0;
    TDialogScript script({[&] {
              auto* f = ShownForm<TDBConfigFrm>();
              ASSERT_NE(f, nullptr);
              ++shown;
              EXPECT_EQ(f->ComboBox1->ItemIndex(), TConfiger::kindJet);
              EXPECT_EQ(f->Notebook1->PageIndex(), 1);
              EXPECT_TRUE(f->jetfileEdit1->Enabled());
              // A port that is no number: the error shows, the dialog still
              // closes with OK and the loop retries the stored settings.
              f->mssqlPortEdit1->SetText("14x");
              f->Button1->Click();
          },
          [&] {
              auto* f = ShownForm<TDBConfigFrm>();
              ASSERT_NE(f, nullptr);
              ++shown;
              f->mssqlPortEdit1->SetText("1433");
              f->jetfileEdit1->SetText(File);
              f->Button1->Click();
          }});
    EXPECT_TRUE(DBConfig::ConnectDatabase());
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(FailureBoxes(), 2);
    EXPECT_TRUE(GDatabase->GetConnected());
    EXPECT_EQ(TConfiger().jetfile, File);
}

TEST_F(StartTest, CancelInTheConnectionDialogEnds)
{
    GDatabase->SetConnected(false);
    Configure(Dir.File("missing.mdb"));
    auto end = EndModal(mrCancel);
    EXPECT_FALSE(DBConfig::ConnectDatabase());
    EXPECT_EQ(FailureBoxes(), 1);
    EXPECT_EQ(TConfiger().jetfile, Dir.File("missing.mdb"));
}

TEST_F(StartTest, ConnectionDialogControls)
{
    Configure(File);
    TDBConfigFrm f(nullptr);
    // The provider chooses the page of its parameters.
    f.ComboBox1->SetItemIndex(2);
    f.ComboBox1->OnChange(f.ComboBox1);
    EXPECT_EQ(f.Notebook1->PageIndex(), 2);
    // The default connection greys out the file and its login.
    f.jetDefaultCheckBox1->SetChecked(true);
    f.jetDefaultCheckBox1->OnClick(f.jetDefaultCheckBox1);
    EXPECT_FALSE(f.jetfileEdit1->Enabled());
    EXPECT_FALSE(f.jetFileButton1->Enabled());
    EXPECT_EQ(f.jetPwEdit1->Color(), clBtnFace);
    f.jetDefaultCheckBox1->SetChecked(false);
    f.jetDefaultCheckBox1->OnClick(f.jetDefaultCheckBox1);
    EXPECT_TRUE(f.jetfileEdit1->Enabled());
    EXPECT_EQ(f.jetPwEdit1->Color(), clWindow);
    // The file button puts the chosen file into the edit.
    Rec.Host->QueueOpenFile({Dir.File("other.mdb")});
    f.jetFileButton1->Click();
    EXPECT_EQ(f.jetfileEdit1->GetText(), Dir.File("other.mdb"));
    // Enter anywhere moves on to the next control, also from a control
    // that does not handle Enter itself.
    f.ComboBox1->SetItemIndex(0);
    f.Notebook1->SetPageIndex(0);
    f.Show();
    GuiTest::ProcessEvents();
    f.CheckBox1->SetFocus();
    GuiTest::ProcessEvents();
    ASSERT_EQ(f.ActiveControl(), f.CheckBox1);
    GuiTest::KeyPress(VK_RETURN);
    GuiTest::ProcessEvents();
    EXPECT_NE(f.ActiveControl(), f.CheckBox1);
    EXPECT_NE(f.ActiveControl(), nullptr);
    f.Hide();
}

TEST_F(StartTest, LoginStepByArguments)
{
    struct Case {
        std::vector<std::string> Args;
        bool FirstTime;
        bool Automatic;
    };
    const Case cases[] = {
        {{"alice", "pw1"}, true, false},
        {{"alice", "pw1", "x"}, true, true},
        {{"alice", "pw1", "x", "y"}, true, false},
        {{"alice", "wrong", "x"}, true, false},
        {{"alice", "pw1", "x"}, false, false},
        {{"ghost", "", "x"}, true, false},
    };
    for (const auto& c : cases) {
        Login::CopyOperator(TOperator(), *GOperator);
        TConfiger::SetLastLoginId("sa");
        bool dialog = false;
        bool ok = false;
        {
            TDialogScript script({[&] {
                dialog = ShownForm<TLoginFrm>() != nullptr;
                ModalForm()->SetModalResult(mrCancel);
            }});
            ok = Login::LoginStep(c.FirstTime, c.Args);
        }
        SCOPED_TRACE(c.Args.size());
        EXPECT_EQ(ok, c.Automatic);
        EXPECT_EQ(dialog, !c.Automatic);
        EXPECT_EQ(GOperator->LoginId, c.Automatic ? "alice" : "");
        // A command-line login leaves the proposed login id alone.
        EXPECT_EQ(TConfiger::GetLastLoginId(), "sa");
    }
}

TEST_F(StartTest, LoginDialogChecksTheOperatorItLoaded)
{
    TConfiger::SetLastLoginId("");
    int tries = 0;
    auto attempt = [&](const std::string& id, const std::string& pw) {
        return [&, id, pw] {
            auto* f = ShownForm<TLoginFrm>();
            ASSERT_NE(f, nullptr) << "closed before attempt " << id;
            ++tries;
            if (tries == 1) {
                EXPECT_EQ(f->edtLoginId1->GetText(), "sa");
                EXPECT_EQ(f->edtLoginId1->Items()->Count(), 1);
            }
            f->edtLoginId1->SetText(id);
            f->edtPassword1->SetText(pw);
            f->OkBtn1->Click();
        };
    };
    // alice with a wrong password, then an unknown id with alice's password:
    // neither may log in as alice.
    TDialogScript script({attempt("alice", "bad"), attempt("ghost", "pw1"), attempt("alice", "pw1")});
    EXPECT_TRUE(Login::RunLogin());
    EXPECT_EQ(tries, 3);
    EXPECT_EQ(GOperator->LoginId, "alice");
    EXPECT_EQ(GOperator->Rights, ",10002,");
    EXPECT_EQ(TConfiger::GetLastLoginId(), "alice");
    EXPECT_TRUE(Rec.Messages().empty());
}

TEST_F(StartTest, FacadeRoutinesNeedTheirRights)
{
    struct Case {
        const char* Name;
        int Right;
        std::function<void()> Run;
        std::function<bool()> Shown;
    };
    const Case cases[] = {
        {"backup", 10005, Facade::ShowBackup, [] { return ShownForm<TFrmBackup>() != nullptr; }},
        {"clear", 100, Facade::ShowClearData, [] { return ShownForm<TClearDataFrm>() != nullptr; }},
        {"operators", 100001, Facade::ShowOperators, [] { return ShownForm<TOperatorsFrm>() != nullptr; }},
        {"company", 10000, [] { Tmall().EditCompany(); }, [] { return ShownForm<TCompanyInfoFrm>() != nullptr; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        GOperator->LoginId = "alice";
        GOperator->Rights = ",10001,,10004,";   // close to every right, none of them
        Rec.Host->Calls.clear();
        EXPECT_THROW(c.Run(), EAbort);
        ASSERT_EQ(Rec.Messages().size(), 1u);
        EXPECT_NE(Rec.Messages()[0].find(Format("(%d).", {c.Right})), std::string::npos) << Rec.Messages()[0];

        GOperator->Rights = Format(",%d,", {c.Right});
        bool shown = false;
        {
            TDialogScript script({[&] {
                shown = c.Shown();
                ModalForm()->SetModalResult(mrCancel);
            }});
            c.Run();
        }
        EXPECT_TRUE(shown);
    }
}

TEST_F(StartTest, AfterLoginAndBeforeExit)
{
    Tmall mall;
    // Without the company right nobody is asked for the company, even with no name.
    GOperator->LoginId = "alice";
    GOperator->Rights = "";
    GCompany->CompanyName = "";
    GKeyValue2->SetDailyTipPrompt(false);
    mall.AfterLogin();
    EXPECT_EQ(Screen->FormCount() > 0 && ShownForm<TCompanyInfoFrm>(), false);
    // With it, a name of 7 bytes or fewer ("驾校" is 4) opens the dialog, then the tips.
    GOperator->Rights = ",10000,";
    GCompany->CompanyName = "驾校";
    GKeyValue2->SetDailyTipPrompt(true);
    std::vector<std::string> seen;
    TDialogScript script({[&] {
               if (ShownForm<TCompanyInfoFrm>()) seen.push_back("company");
               ModalForm()->SetModalResult(mrCancel);
           },
           [&] {
               if (ShownForm<TTipsFrm>()) seen.push_back("tips");
               ModalForm()->SetModalResult(mrOk);
           }});
    mall.AfterLogin();
    EXPECT_EQ(seen, (std::vector<std::string>{"company", "tips"}));
    GKeyValue2->SetDailyTipPrompt(false);

    GKeyValue2->SetFeedbackPrompt(false);
    bool feedback = false;
    {
        TDialogScript script({[&] {
            feedback = ShownForm<TFeedbackFrm>() != nullptr;
            ModalForm()->SetModalResult(mrCancel);
        }});
        mall.BeforeExit(true);
    }
    EXPECT_TRUE(feedback);
}

TEST_F(StartTest, ExitRoadAsksForFeedbackBacksUpAndDisconnects)
{
    auto clock = std::make_shared<TFixedClock>(EncodeDate(2008, 3, 5) + 0.5);
    auto prev = SetClock(clock);
    Tmall mall;
    GMall = &mall;
    TFrmBackup::SavePlan(1, Dir.Path() + "/");
    GKeyValue2->SetFeedbackPrompt(true);
    bool feedbackWhileConnected = false;
    {
        TDialogScript script({[&] {
            feedbackWhileConnected = ShownForm<TFeedbackFrm>() && GDatabase->GetConnected();
            ModalForm()->SetModalResult(mrCancel);
        }});
        Facade::ExitRoad();
    }
    GMall = nullptr;
    SetClock(prev);
    EXPECT_TRUE(feedbackWhileConnected);
    EXPECT_EQ(RawValue(Dir.File("bak20080305.bak"), "pragma integrity_check"), "ok");
    EXPECT_FALSE(GDatabase->GetConnected());
    EXPECT_TRUE(Rec.Messages().empty());
}

TEST_F(StartTest, PicturesOfTheLoginAndConnectionDialogs)
{
    const std::string out = std::string(QZ_BINARY_DIR) + "/app/ui/";
    Exec("insert into operator (LoginId, [Password], Name, Contact, [Note], Rights) values ('王老师', '', '', '', '', '')");
    {
        TLoginFrm login(nullptr);
        login.Show();
        GuiTest::ProcessEvents();
        EXPECT_TRUE(GuiTest::SavePng(&login, out + "login.png"));
        EXPECT_EQ(login.ClientWidth(), 351);
        EXPECT_EQ(login.ClientHeight(), 226);
        login.Hide();
    }
    {
        Configure(File);
        TDBConfigFrm cfg(nullptr);
        cfg.Show();
        GuiTest::ProcessEvents();
        EXPECT_TRUE(GuiTest::SavePng(&cfg, out + "dbconfig.png"));
        EXPECT_EQ(cfg.ClientWidth(), 516);
        cfg.Hide();
    }
}

}  // namespace

namespace {

TEST_F(StartTest, SplashHintsAndPicture)
{
    qzProj::ProductTitle = "恒岳驾校管理系统";
    TSplashFrm s(nullptr);
    EXPECT_EQ(s.ClientWidth(), 386);
    EXPECT_EQ(s.ClientHeight(), 271);
    s.Show();
    s.ShowHint("正在创建公共对象,请稍候...");
    s.ShowHint("");
    EXPECT_EQ(s.Label1->Caption(), "正在创建公共对象,请稍候....");
    GuiTest::ProcessEvents();
    EXPECT_TRUE(GuiTest::SavePng(&s, std::string(QZ_BINARY_DIR) + "/app/ui/splash.png"));
    s.Hide();
}

}  // namespace
