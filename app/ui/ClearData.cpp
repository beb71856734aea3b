#include "ClearData.h"

#include "Database.h"
#include "InfoDlgs.h"
#include "TextUtils.h"
#include "qzLib.h"

QZ_CLASS_IMPL(TClearDataFrm, TaFrm)

namespace ClearData {

namespace {

// The program's own file as a new process, as a user would start it: without
// the arguments of this run, so a command-line login is not repeated.
void StartAgain() { qzProjUi::StartProcess(ApplicationExeName(), {}); }

TRestartHook& Hook()
{
    static TRestartHook hook = StartAgain;
    return hook;
}

}  // namespace

std::vector<std::string> Statements(bool all)
{
    std::vector<std::string> s = {"delete from exams", "delete from receipts", "delete from classes",
                                  "delete from graduates", "delete from dropouts",
                                  // With the exams gone the students' summaries of passed and
                                  // booked exams must go too, or the tree still lists them.
                                  "update students set Passinfo=',', Appsinfo=','"};
    if (all)
        for (const char* t : {"delete from employees", "delete from examitems", "delete from recitems",
                              "delete from students"})
            s.push_back(t);
    return s;
}

void Clear(bool all)
{
    GDatabase->BeginTrans();
    try {
        for (const auto& sql : Statements(all)) GDatabase->Execute(sql);
        GDatabase->CommitTrans();
    } catch (...) {
        if (GDatabase->InTransaction()) GDatabase->RollbackTrans();
        throw;
    }
}

TRestartHook SetRestartHook(TRestartHook hook)
{
    TRestartHook prev = Hook();
    Hook() = hook ? std::move(hook) : TRestartHook(StartAgain);
    return prev;
}

void Restart() { Hook()(); }

}  // namespace ClearData

TClearDataFrm::TClearDataFrm(TComponent* owner) : TaFrm(owner)
{
    SetName("ClearDataFrm");
    SetCaption("数据清理");
    SetBorderStyle(fbsDialog);
    SetPosition(poMainFormCenter);
    SetClientSize(420, 250);
    Label1 = UiKit::MakeLabel(this, this, "警告：", 16, 14);
    Label1->Font()->SetColor(clRed);
    Label1->Font()->SetStyle({fsBold});
    Label2 = UiKit::MakeLabel(this, this, "数据清除之后将不可恢复！", 64, 14);
    Label3 = UiKit::MakeLabel(this, this, "请选择清除范围:", 16, 44);
    RadioButton1 = UiKit::Make<TRadioButton>(this, this, 28, 68, 360, 20);
    RadioButton1->SetCaption("仅明细数据，包括：");
    Label4 = UiKit::MakeLabel(this, this, "考试记录、收费记录、分班记录、毕业记录和退学记录", 48, 92);
    RadioButton2 = UiKit::Make<TRadioButton>(this, this, 28, 120, 360, 20);
    RadioButton2->SetCaption("所有数据，包括职员记录部份");
    Label5 = UiKit::MakeLabel(this, this, "除以上的各类明细数据外，还包括学员记录、职员记录、收费项目和考试项目", 48, 144);
    Label5->SetAutoSize(false);
    Label5->SetWordWrap(true);
    Label5->SetBounds(48, 144, 360, 36);
    OkBtn1 = UiKit::MakeButton(this, this, "确定", 226, 208);
    OkBtn1->SetModalResult(mrOk);
    CancelBtn1 = UiKit::MakeButton(this, this, "取消", 318, 208);
    CancelBtn1->SetModalResult(mrCancel);
    CancelBtn1->SetCancel(true);
}

bool TClearDataFrm::CloseQuery()
{
    if (!TaFrm::CloseQuery()) return false;
    if (ModalResult() != mrOk) return true;
    if (!RadioButton1->Checked() && !RadioButton2->Checked()) {
        qzLib::ShowInfo("必须选择要清除的数据范围!");
        return false;
    }
    if (!qzLib::ConfirmDelete("所选中的数据")) return false;
    try {
        ClearData::Clear(RadioButton2->Checked());
    } catch (const EAbort&) {
        return false;
    } catch (const Exception& e) {
        // Rolled back: the failure is shown and the window stays open.
        Application->ShowException(e);
        return false;
    }
    // The clearing is committed: what follows cannot undo it.
    qzLib::ShowInfo("操作已完成,软件将需要重新启动!");
    if (Application && Application->MainForm() && Application->MainForm() != this) Application->MainForm()->Close();
    ClearData::Restart();
    return true;
}
