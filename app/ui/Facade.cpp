#include "Facade.h"

#include "Backup.h"
#include "ClearData.h"
#include "DropoutQry.h"
#include "ExamQry.h"
#include "GraduateQry.h"
#include "InfoDlgs.h"
#include "InfoList.h"
#include "Objs.h"
#include "Operators.h"
#include "RecQry.h"
#include "SmallDlgs.h"
#include "TotalQry.h"
#include "qzProj.h"

QZ_CLASS_IMPL(Tmall, TComponent)

Tmall* GMall = nullptr;

Tmall::Tmall(TComponent* owner) : TComponent(owner) {}

void Tmall::AfterLogin()
{
    if (GOperator->HasRight(Rights::CompanyInfo) && !GCompany->IsFilled()) EditCompany();
    if (GKeyValue2->DailyTipPrompt()) qzProjUi::ShowTips();
}

void Tmall::BeforeExit(bool force)
{
    if (force || GKeyValue2->FeedbackPrompt()) Feedback::ShowFeedback();
}

void Tmall::EditCompany()
{
    GOperator->CheckRight(Rights::CompanyInfo, true);
    CompanyInfo::Edit(GCompany, false);
}

namespace Facade {

void ShowBackup()
{
    GOperator->CheckRight(Rights::Backup, true);
    TFrmBackup::ShowBackup();
}

void ShowClearData()
{
    GOperator->CheckRight(Rights::ClearData, true);
    std::unique_ptr<TClearDataFrm> f(new TClearDataFrm(nullptr));
    f->ShowModal();
}

void ShowOperators()
{
    GOperator->CheckRight(Rights::Operators, true);
    std::unique_ptr<TOperatorsFrm> f(new TOperatorsFrm(nullptr));
    f->Editor()->AddRight("清除数据", Rights::ClearData);
    f->ShowModal();
}

void AutoBackup() { TFrmBackup::AutoBackup(); }

void ShowTrainers() { TInfoListFrm::ShowTrainers(); }
void ShowSalesmen() { TInfoListFrm::ShowSalesmen(); }
void ShowCars() { TInfoListFrm::ShowCars(); }
void ShowRecitems() { TInfoListFrm::ShowRecitems(); }
void ShowExamitems() { TInfoListFrm::ShowExamitems(); }

namespace {
template <class F> void ShowWindow()
{
    std::unique_ptr<F> f(new F(Application));
    f->Show();
    f.release();   // the window frees itself when closed
}
}  // namespace

void ShowExamQuery() { ShowWindow<TExamQryFrm>(); }
void ShowReceiptQuery() { ShowWindow<TRecQryFrm>(); }
void ShowExamTotal() { ShowWindow<TExamTotalFrm>(); }
void ShowFareTotal() { ShowWindow<TFareTotalFrm>(); }
void ShowGraduates() { ShowWindow<TGraduateQryFrm>(); }
void ShowDropouts() { ShowWindow<TDropoutQryFrm>(); }

void ExitRoad()
{
    if (GMall) GMall->BeforeExit(false);
    AutoBackup();
    GDatabase->SetConnected(false);
}

}  // namespace Facade
