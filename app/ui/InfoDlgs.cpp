#include "InfoDlgs.h"

#include "Http.h"
#include "Objs.h"
#include "RtlRandom.h"
#include "SmallDlgs.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "qzLib.h"
#include "qzProj.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <thread>

extern char** environ;

QZ_CLASS_IMPL(TFeedbackFrm, TADlgFrm)
QZ_CLASS_IMPL(TTipsFrm, TaFrm)
QZ_CLASS_IMPL(TaboutFrm, TaFrm)

namespace {

const char* const FeedbackFailed =
    "对不起,发送失败,请检查网络后重试,或者将反馈内容以电子邮件发送到 support@hengyue.example.";

}  // namespace

// ---- feedback ------------------------------------------------------------------------------

TFeedbackFrm::TFeedbackFrm(TComponent* owner) : TADlgFrm(owner)
{
    SetName("FeedbackFrm");
    SetCaption("用户反馈表");
    SetPosition(poScreenCenter);
    SetClientSize(520, 470);
    UiKit::MakeLabel(this, this, "感谢", 16, 10)->Font()->SetStyle({fsBold});
    UiKit::MakeLabel(this, this, "您安装使用恒岳软件，希望本软件能满足您的要求，并给您的工作带来一份轻松愉快。", 16, 30);
    const char* topics[] = {"1.您希望添加哪些新功能", "2.您认为哪些功能需要改进", "3.您在使用中遇到了哪些问题",
                            "4.您对界面和操作有什么建议", "5.您对我们的服务有什么意见",
                            "6.您的需求及其他值得反馈的内容"};
    for (int i = 0; i < 6; ++i) UiKit::MakeLabel(this, this, topics[i], 16 + (i % 2) * 250, 52 + (i / 2) * 18);
    MmNote1 = UiKit::Make<TqzMemo>(this, this, 16, 110, 488, 120);
    UiKit::MakeLabel(this, this, "请留下您的联系方式(不是必须)", 16, 240);
    auto field = [this](const char* caption, int col, int row) {
        UiKit::MakeLabel(this, this, caption, 16 + col * 250, 264 + row * 28);
        return UiKit::Make<TqzEdit>(this, this, 90 + col * 250, 261 + row * 28, 164, 21);
    };
    edtCompany1 = field("用户名称：", 0, 0);
    edtAddress1 = field("通信地址：", 1, 0);
    edtZip1 = field("邮政编码：", 0, 1);
    edtLinkman1 = field("联系人：", 1, 1);
    edtLinkTel1 = field("联系电话：", 0, 2);
    edtEmail1 = field("E-mail：", 1, 2);
    CheckBox1 = UiKit::Make<TCheckBox>(this, this, 16, 352, 300, 20);
    CheckBox1->SetCaption("退出系统时请显示此反馈表单");
    CheckBox1->SetChecked(GKeyValue2 && GKeyValue2->FeedbackPrompt());
    CheckBox1->OnClick = [this](TObject*) {
        if (GKeyValue2) GKeyValue2->SetFeedbackPrompt(CheckBox1->Checked());
    };
    if (GCompany) {
        edtCompany1->SetText(GCompany->CompanyName);
        edtAddress1->SetText(GCompany->Address);
        edtZip1->SetText(GCompany->Zip);
        edtLinkman1->SetText(GCompany->Manager);
        edtLinkTel1->SetText(GCompany->Tel);
    }
    OkBtn1->SetCaption("提交(&S)");
    OkBtn1->SetModalResult(mrNone);
    OkBtn1->OnClick = [this](TObject*) {
        if (Submit()) SetModalResult(mrOk);
    };
    PlaceButtons();
}

std::string TFeedbackFrm::FeedbackText() const
{
    const std::string rule(45, '-');
    std::string s;
    auto line = [&s](const std::string& t) { s += t + "\r\n"; };
    line("      Company: " + edtCompany1->GetText());
    line("      Address: " + edtAddress1->GetText());
    line("          Zip: " + edtZip1->GetText());
    line("      Linkman: " + edtLinkman1->GetText());
    line("      LinkTel: " + edtLinkTel1->GetText());
    line("        Email: " + edtEmail1->GetText());
    line("         Note: ");
    line(rule);
    line(MmNote1->GetText());
    line(rule);
    return s;
}

bool TFeedbackFrm::Submit()
{
    const TCursor old = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
    THttper http;
    http.Fields()->SetValues("Data", FeedbackText());
    std::string reply;
    const bool ok = http.Post(reply, Url);
    Screen->SetCursor(old);
    ShowMessage(ok ? std::string(":) 反馈成功！谢谢您的支持！") : (reply.empty() ? std::string(FeedbackFailed) : reply));
    return ok;
}

namespace Feedback {

void ShowFeedback()
{
    std::unique_ptr<TFeedbackFrm> f(new TFeedbackFrm(nullptr));
    f->ShowModal();
}

}  // namespace Feedback

// ---- tips ----------------------------------------------------------------------------------

TTipsFrm::TTipsFrm(TComponent* owner) : TaFrm(owner), FTips(std::make_unique<TStringList>())
{
    SetName("TipsFrm");
    SetCaption("每日一贴");
    SetBorderStyle(fbsDialog);
    SetPosition(poMainFormCenter);
    SetClientSize(420, 230);
    Label1 = UiKit::MakeLabel(this, this, "您知道吗？", 16, 12);
    Label1->Font()->SetStyle({fsBold});
    Memo1 = UiKit::Make<TqzMemo>(this, this, 16, 34, 388, 140);
    Memo1->SetReadOnly(true);
    CheckBox1 = UiKit::Make<TCheckBox>(this, this, 16, 196, 150, 20);
    CheckBox1->SetCaption("启动时显示每日一贴");
    CheckBox1->SetChecked(GKeyValue2 && GKeyValue2->DailyTipPrompt());
    CheckBox1->OnClick = [this](TObject*) {
        if (GKeyValue2) GKeyValue2->SetDailyTipPrompt(CheckBox1->Checked());
    };
    btnPrev1 = UiKit::MakeButton(this, this, "前一贴", 170, 192, 56);
    btnNext1 = UiKit::MakeButton(this, this, "后一贴", 230, 192, 56);
    btnClose1 = UiKit::MakeButton(this, this, "关闭", 290, 192, 56);
    btnHelp1 = UiKit::MakeButton(this, this, "帮助", 350, 192, 56);
    btnPrev1->OnClick = btnNext1->OnClick = [this](TObject*) { ShowRandomTip(); };
    btnClose1->SetModalResult(mrOk);
    btnClose1->SetCancel(true);
    btnHelp1->OnClick = [this](TObject*) { ShowHelp(""); };
    const std::string file = qzProj::ProgramFolder() + PathDelim + "tips.txt";
    if (FileExists(file)) {
        try {
            FTips->LoadFromFile(file);
        } catch (const Exception&) {
            FTips->Clear();
        }
    }
}

TTipsFrm::~TTipsFrm() = default;

void TTipsFrm::ShowRandomTip()
{
    if (FTips->Count() == 0) {
        Memo1->SetText("");
        return;
    }
    Randomize();
    Memo1->SetText("\r\n\r\n" + FTips->Strings(Random(FTips->Count())));
}

// ---- about ---------------------------------------------------------------------------------

TaboutFrm::TaboutFrm(TComponent* owner) : TaFrm(owner)
{
    SetName("aboutFrm");
    SetCaption("关于...");
    SetBorderStyle(fbsDialog);
    SetPosition(poMainFormCenter);
    SetClientSize(420, 270);
    auto row = [this](const char* caption, const std::string& value, int top) {
        UiKit::MakeLabel(this, this, caption, 20, top);
        return UiKit::MakeLabel(this, this, value, 96, top);
    };
    LblProductName1 = row("产品名称:", qzProj::ProductTitle, 16);
    LblVersion1 = row("产品版本:", Format("%s %s", {qzProj::ProductEdition, qzProj::ProductBuild}), 38);
    LblProductCode1 = row("产品代码:", qzProj::ProductCode, 60);
    lblExePath1 = row("安装路径:", qzProj::ProgramFolder(), 82);
    lblExePath1->SetLinkStyle(true);
    lblExePath1->OnClick = [](TObject*) { ShellExecute("open", qzProj::ProgramFolder(), "", "", SW_SHOW); };
    lblDatabase1 = row("数据地址:", GDatabase ? GDatabase->GetDataSource() : std::string(), 104);
    auto link = [this, &row](const char* caption, const std::string& text, const std::string& target, int top) {
        TLabel* l = row(caption, text, top);
        l->SetLinkStyle(true);
        l->OnClick = [target](TObject*) { ShellExecute("open", target, "", "", SW_SHOW); };
    };
    link("官方网站:", Maker::HomePage, Maker::HomePage, 136);
    link("技术支持:", Maker::SupportMail, qzProjUi::MailLink(Maker::SupportMail, "关于技术问题"), 158);
    link("购买咨询:", Maker::SalesMail, qzProjUi::MailLink(Maker::SalesMail, "关于销售"), 180);
    Button1 = UiKit::MakeButton(this, this, "用户信息", 20, 230, 90);
    Button1->OnClick = [](TObject*) {
        if (GCompany) CompanyInfo::Edit(GCompany, true);
    };
    OkBtn1 = UiKit::MakeButton(this, this, "确定", 325, 230);
    OkBtn1->SetModalResult(mrOk);
    OkBtn1->SetCancel(true);
}

namespace about {

void ShowAbout()
{
    std::unique_ptr<TaboutFrm> f(new TaboutFrm(nullptr));
    f->ShowModal();
}

}  // namespace about

// ---- help and tool actions -----------------------------------------------------------------

namespace qzProjUi {

namespace {
void OpenFile(const std::string& name)
{
    ShellExecute("open", qzProj::ProgramFolder() + PathDelim + name, "", "", SW_SHOW);
}
std::string FromEnv(const char* name, const char* def)
{
    const char* v = std::getenv(name);
    return v && *v ? v : def;
}
}  // namespace

void ShowReadme() { OpenFile("readme.txt"); }
void ShowWhatsNew() { OpenFile("whatsnew.txt"); }
void OpenHomePage() { ShellExecute("open", Maker::HomePage, "", "", SW_SHOW); }
void MailSales()
{
    ShellExecute("open", MailLink(Maker::SalesMail, Format("%s 购买咨询", {qzProj::ProductTitle})), "", "", SW_SHOW);
}

std::string MailLink(const std::string& address, const std::string& subject)
{
    // Form encoding writes a blank as '+', which a mail link reads as a plus sign.
    return "mailto:" + address + "?subject=" + StringReplace(Http::UrlEncode(subject), "+", "%20", {rfReplaceAll});
}

bool StartProcess(const std::string& program, const std::vector<std::string>& args)
{
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (program.empty() || posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    // The program lives on its own; a waiting thread collects its exit so it
    // leaves no zombie behind.
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

bool StartCommand(const std::string& command)
{
    std::vector<std::string> words;
    std::istringstream in(command);
    for (std::string w; in >> w;) words.push_back(w);
    if (words.empty()) return false;
    const std::string program = words.front();
    words.erase(words.begin());
    return StartProcess(program, words);
}
void ShowFeedbackForm() { Feedback::ShowFeedback(); }
void ShowAboutBox() { about::ShowAbout(); }

void ShowTips()
{
    std::unique_ptr<TTipsFrm> f(new TTipsFrm(nullptr));
    f->ShowRandomTip();
    f->ShowModal();
}

// The desktop's programs stand in for the system's own: the text editor
// and calculator named by PEMTAL_EDITOR and PEMTAL_CALCULATOR, or common ones.
std::string TextEditorCommand() { return FromEnv("PEMTAL_EDITOR", "gedit"); }
std::string CalculatorCommand() { return FromEnv("PEMTAL_CALCULATOR", "gnome-calculator"); }
// They are programs, not documents: started as processes, not opened.
void RunNotepad() { StartCommand(TextEditorCommand()); }
void RunCalculator() { StartCommand(CalculatorCommand()); }

}  // namespace qzProjUi
