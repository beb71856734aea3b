#include "DateUtils.h"
#include "RecordingHost.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

TEST(HostServices, AnswersWithoutAChoice)
{
    const std::pair<unsigned, int> boxes[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL, IDCANCEL},
        {MB_YESNOCANCEL | MB_ICONQUESTION, IDCANCEL},
        {MB_RETRYCANCEL, IDCANCEL},
        {MB_YESNO, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
        {MB_ABORTRETRYIGNORE, IDABORT},
    };
    for (auto [flags, answer] : boxes) EXPECT_EQ(MessageBoxDefaultAnswer(flags), answer) << flags;

    EXPECT_EQ(MessageDlgDefaultAnswer(mbYesNoCancel), mrCancel);
    EXPECT_EQ(MessageDlgDefaultAnswer(mbYesNo), mrNo);
    EXPECT_EQ(MessageDlgDefaultAnswer(TMsgDlgButtons{mbOK}), mrOk);
    EXPECT_EQ(MessageDlgDefaultAnswer(TMsgDlgButtons{mbRetry, mbIgnore}), mrRetry);
    EXPECT_EQ(mrYes, 6);
    EXPECT_EQ(mrNo, 7);
    EXPECT_EQ(mrAll, 8);
    EXPECT_EQ(mrYesToAll, 10);
    EXPECT_EQ(ModalResultOf(mbAbort), mrAbort);
}

TEST(HostServices, RecordingHostRecordsAndAnswersFromItsQueues)
{
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    host->QueueMessageBox(IDYES);
    host->QueueMessageDlg(mrNo);
    host->QueueInput(true, "张三");
    host->QueueInput(false);

    EXPECT_EQ(MessageBox("删除此记录？", "提示", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(MessageBox("again", "", MB_OKCANCEL), IDCANCEL);   // queue empty: the default
    EXPECT_EQ(MessageDlg("保存修改吗？", mtConfirmation, mbYesNoCancel, 12), mrNo);
    ShowMessage("完成");
    std::string name = "old";
    EXPECT_TRUE(InputQuery("学员", "姓名", name));
    EXPECT_EQ(name, "张三");
    EXPECT_EQ(InputBox("学员", "姓名", "默认"), "默认");   // cancelled
    EXPECT_EQ(InputBox("学员", "姓名", "x"), "x");         // queue empty: cancelled

    ASSERT_EQ(host->Calls.size(), 7u);
    const THostCall& box = host->Calls[0];
    EXPECT_EQ(box.Kind, THostCallKind::MessageBox);
    EXPECT_EQ(box.Text, "删除此记录？");
    EXPECT_EQ(box.Caption, "提示");
    EXPECT_EQ(box.Flags, int64_t(MB_YESNO | MB_ICONQUESTION));
    const THostCall& dlg = host->Calls[2];
    EXPECT_EQ(dlg.Flags, mtConfirmation);
    EXPECT_EQ(TMsgDlgButtons::FromInt(dlg.Buttons), mbYesNoCancel);
    EXPECT_EQ(host->Calls[4].Value, "old");   // the proposed text
    EXPECT_EQ(host->Messages(),
              (std::vector<std::string>{"删除此记录？", "again", "保存修改吗？", "完成"}));
    EXPECT_EQ(host->CallsOf(THostCallKind::InputQuery).size(), 3u);
}

TEST(HostServices, FileDialogsAndDirectories)
{
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TFileDialogRequest req;
    req.Title = "导出";
    req.Filter = "Excel (*.xls)|*.xls";
    req.DefaultExt = "xls";
    req.InitialDir = "/tmp";
    TFileDialogResult res;
    host->QueueOpenFile({"/tmp/a.xls", "/tmp/b.xls"});
    EXPECT_TRUE(HostServices().OpenFileDialog(req, res));
    EXPECT_EQ(res.Files, std::vector<std::string>{"/tmp/a.xls"});   // single selection
    req.Options.Include(ofAllowMultiSelect);
    host->QueueOpenFile({"/tmp/a.xls", "/tmp/b.xls"});
    EXPECT_TRUE(HostServices().OpenFileDialog(req, res));
    EXPECT_EQ(res.Files.size(), 2u);
    host->QueueSaveFile({});
    EXPECT_FALSE(HostServices().SaveFileDialog(req, res));
    EXPECT_EQ(host->CallsOf(THostCallKind::SaveFile).at(0).Request.DefaultExt, "xls");

    std::string dir = "/start";
    host->QueueDirectory(false);
    EXPECT_FALSE(SelectDirectory("选择文件夹", "", dir));
    EXPECT_EQ(dir, "/start");
    host->QueueDirectory(true, "/data");
    EXPECT_TRUE(SelectDirectory("选择文件夹", "", dir));
    EXPECT_EQ(dir, "/data");

    host->QueueShellExecute(2);
    EXPECT_EQ(ShellExecute("open", "missing.txt", "", ""), 2);
    EXPECT_GT(ShellExecute("open", "help.chm", "-x", "/doc", SW_SHOW), 32);
    const THostCall sh = host->CallsOf(THostCallKind::ShellExecute).at(1);
    EXPECT_EQ(sh.Caption, "open");
    EXPECT_EQ(sh.Value, "-x");
    EXPECT_EQ(sh.Dir, "/doc");
    EXPECT_EQ(sh.Flags, SW_SHOW);
    EXPECT_TRUE(HelpCommand("school.hlp", HELP_CONTEXT, 120));
    EXPECT_EQ(host->CallsOf(THostCallKind::Help).at(0).Buttons, 120u);
}

TEST(HostServices, ConsoleHostCancelsAndScopesRestore)
{
    auto host = std::make_shared<TRecordingHost>();
    {
        THostScope scope(host);
        EXPECT_EQ(&HostServices(), host.get());
    }
    EXPECT_NE(&HostServices(), host.get());
    // The host without a GUI: defaults and cancels, never a crash.
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageDlg("磁盘已满", mtError, TMsgDlgButtons{mbOK}), mrOk);
    EXPECT_EQ(MessageBox("继续？", "提示", MB_YESNO | MB_DEFBUTTON2), IDNO);
    std::string v = "keep";
    EXPECT_FALSE(InputQuery("a", "b", v));
    EXPECT_EQ(v, "keep");
    EXPECT_LE(ShellExecute("open", "x.txt", "", ""), 32);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("磁盘已满"), std::string::npos);
    EXPECT_NE(err.find("继续？"), std::string::npos);
    TFileDialogResult r;
    EXPECT_FALSE(HostServices().OpenFileDialog(TFileDialogRequest{}, r));
    EXPECT_TRUE(r.Files.empty());
}

TEST(HostServices, ReplaceableClock)
{
    auto fixed = std::make_shared<TFixedClock>(EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 0, 0));
    SetClock(fixed);
    EXPECT_EQ(ClockNow(), EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 0, 0));
    EXPECT_EQ(Now(), ClockNow());
    EXPECT_EQ(Date(), EncodeDate(2024, 2, 29));
    fixed->Advance(2.0 / 1440);
    EXPECT_EQ(Date(), EncodeDate(2024, 3, 1));
    ResetClock();

    // The system clock reads local wall-clock time.
    std::time_t t = std::time(nullptr);
    std::tm lt{};
    localtime_r(&t, &lt);
    TDateTime expected = EncodeDate(lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday) +
                         EncodeTime(lt.tm_hour, lt.tm_min, lt.tm_sec, 0);
    EXPECT_NEAR(ClockNow(), expected, 5.0 / 86400);
}
