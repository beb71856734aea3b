// The feedback form, the tip of the day, the about box, and the help and
// tool actions of the menus.
#pragma once

#include "a.h"
#include "qzCtrls.h"

#include <memory>
#include <string>
#include <vector>

class TStringList;

class TFeedbackFrm : public TADlgFrm {
    QZ_CLASS(TFeedbackFrm, TADlgFrm)
public:
    explicit TFeedbackFrm(TComponent* owner = nullptr);
    TCheckBox* CheckBox1 = nullptr;
    TqzEdit* edtCompany1 = nullptr;
    TqzEdit* edtAddress1 = nullptr;
    TqzEdit* edtZip1 = nullptr;
    TqzEdit* edtLinkman1 = nullptr;
    TqzEdit* edtLinkTel1 = nullptr;
    TqzEdit* edtEmail1 = nullptr;
    TqzMemo* MmNote1 = nullptr;

    // The text posted: labelled lines, the note between two rules, CR LF after each line.
    std::string FeedbackText() const;
    // Posts the text; the form closes with OK only when the post succeeded,
    // so a failed one keeps what was typed.
    bool Submit();
    // Where the post goes (empty: the maker's feedback page).
    std::string Url;
};

namespace Feedback {
void ShowFeedback();
}

class TTipsFrm : public TaFrm {
    QZ_CLASS(TTipsFrm, TaFrm)
public:
    explicit TTipsFrm(TComponent* owner = nullptr);
    ~TTipsFrm() override;
    TLabel* Label1 = nullptr;
    TqzMemo* Memo1 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TButton* btnPrev1 = nullptr;
    TButton* btnNext1 = nullptr;
    TButton* btnClose1 = nullptr;
    TButton* btnHelp1 = nullptr;

    TStringList* Tips() const { return FTips.get(); }
    // A tip drawn from the whole list; with no tips the memo stays empty.
    void ShowRandomTip();

private:
    std::unique_ptr<TStringList> FTips;
};

class TaboutFrm : public TaFrm {
    QZ_CLASS(TaboutFrm, TaFrm)
public:
    explicit TaboutFrm(TComponent* owner = nullptr);
    TLabel* LblProductName1 = nullptr;
    TLabel* LblVersion1 = nullptr;
    TLabel* LblProductCode1 = nullptr;
    TLabel* lblExePath1 = nullptr;
    TLabel* lblDatabase1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* OkBtn1 = nullptr;
};

namespace about {
void ShowAbout();
}

// The maker's addresses.
namespace Maker {
inline constexpr const char* HomePage = "http://www.hengyue.example/";
inline constexpr const char* SalesMail = "sales@hengyue.example";
inline constexpr const char* SupportMail = "support@hengyue.example";
}

// The help and tool actions of the menus.
namespace qzProjUi {
void ShowReadme();
void ShowWhatsNew();
void OpenHomePage();
void MailSales();
void ShowFeedbackForm();
void ShowAboutBox();
void ShowTips();
void RunNotepad();
void RunCalculator();
// The programs the text-editor and calculator actions start.
std::string TextEditorCommand();
std::string CalculatorCommand();
// A mail link to the address with the subject, the subject percent-encoded
// (UTF-8) so a blank or a Chinese character keeps the link valid.
std::string MailLink(const std::string& address, const std::string& subject);
// Starts the program (found on the path unless it names a file) with the
// arguments as a process of its own, which is reaped when it ends; false
// when it could not be started.
bool StartProcess(const std::string& program, const std::vector<std::string>& args);
// Starts a command line of blank-separated words (no shell).
bool StartCommand(const std::string& command);
}
