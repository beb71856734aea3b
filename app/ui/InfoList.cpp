#include "InfoList.h"

#include "ComCtrls.h"
#include "DBConfig.h"
#include "ExtCtrls.h"
#include "ImgList.h"
#include "Uis.h"
#include "UisGrids.h"
#include "qzCtrls.h"
#include "qzLib.h"

QZ_CLASS_IMPL(TInfoListFrm, TWinFrm)

TInfoListFrm::TInfoListFrm(TComponent* owner) : TWinFrm(owner)
{
    SetClientSize(750, 523);
    SetPosition(poDefaultPosOnly);
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };

    ToolBar1 = new TToolBar(this);
    ToolBar1->SetParent(this);
    ToolBar1->SetAlign(alTop);
    ToolBar1->SetFlat(true);
    ToolBar1->SetShowCaptions(true);
    ToolBar1->SetButtonWidth(37);
    ToolBar1->SetButtonHeight(36);
    ToolBar1->SetHeight(40);
    if (PubFrm) ToolBar1->SetImages(PubFrm->ImageList1);
    auto button = [this](const std::string& caption, int image, void (TInfoListFrm::*handler)(TObject*)) {
        auto* b = new TToolButton(this);
        b->SetLeft(100000);   // after the buttons there are
        b->SetParent(ToolBar1);
        if (caption.empty()) {
            b->SetStyle(tbsSeparator);
            return b;
        }
        b->SetCaption(caption);
        b->SetImageIndex(image);
        if (handler) b->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
        return b;
    };
    ToolButton1 = button("添加", 0, &TInfoListFrm::ToolButton1Click);
    ToolButton2 = button("修改", 1, &TInfoListFrm::ToolButton2Click);
    ToolButton3 = button("删除", 2, &TInfoListFrm::ToolButton3Click);
    button("", -1, nullptr);
    ToolButton4 = button("刷新", 3, &TInfoListFrm::ToolButton4Click);
    ToolButton11 = button("导入", 4, &TInfoListFrm::ToolButton11Click);
    ToolButton12 = button("导出", 5, nullptr);
    button("", -1, nullptr);
    ToolButton5 = button("打印", 6, &TInfoListFrm::ToolButton5Click);
    ToolButton6 = button("排序", 7, &TInfoListFrm::ToolButton6Click);
    ToolButton7 = button("设置", 8, &TInfoListFrm::ToolButton7Click);
    button("", -1, nullptr);
    ToolButton10 = button(" 退出 ", 9, &TInfoListFrm::ToolButton10Click);

    TopPanel1 = new TPanel(this);
    TopPanel1->SetParent(this);
    TopPanel1->SetTop(100);
    TopPanel1->SetHeight(61);
    TopPanel1->SetAlign(alTop);
    TopPanel1->SetCaption("");

    StatusPanel1 = new TPanel(this);
    StatusPanel1->SetParent(this);
    StatusPanel1->SetHeight(24);
    StatusPanel1->SetAlign(alBottom);
    StatusPanel1->SetCaption("");
    ProgressBar1 = UiKit::Make<TProgressBar>(this, StatusPanel1, 4, 4, 200, 16);
    ProgressBar1->SetVisible(false);

    Grid = static_cast<TGridcx*>(TGridcx::StaticClass()->Create(this));
    Grid->SetParent(this);
    Grid->SetAlign(alClient);
    Grid->OnDblClick = [this](TObject* s) { FGridDblClick(s); };
}

TInfoListFrm::~TInfoListFrm()
{
    // The grid goes first, before the list whose rows it shows.
    delete Grid;
    FOwnedList.reset();
}

template <class L> TInfoListFrm* TInfoListFrm::ShowList(const std::string& caption, int layoutId)
{
    std::unique_ptr<TInfoListFrm> f(new TInfoListFrm(Application));
    auto* list = new L(nullptr);
    f->FOwnedList.reset(list);
    list->Query();
    f->List = list;
    f->SetCaption(caption);
    f->Grid->SetDataSet(list->DataSet());
    f->Grid->SetTag(layoutId);
    f->Grid->LoadLayout(layoutId);
    f->Show();
    return f.release();
}

TInfoListFrm* TInfoListFrm::ShowTrainers() { return ShowList<TTrainerList>("教练员", 1003); }
TInfoListFrm* TInfoListFrm::ShowSalesmen() { return ShowList<TSalesmanList>("业务员", 1013); }
TInfoListFrm* TInfoListFrm::ShowCars() { return ShowList<TCarList>("车辆记录", 1004); }
TInfoListFrm* TInfoListFrm::ShowRecitems() { return ShowList<TRecitemList>("收费项目", 1008); }
TInfoListFrm* TInfoListFrm::ShowExamitems() { return ShowList<TExamitemList>("考试科目", 1010); }

void TInfoListFrm::Reload()
{
    TDataSet* ds = Grid->DataSet();
    if (!qzLib::CheckActive(ds)) return;
    ds->DisableControls();
    try {
        ds->Close();
        ds->Open();
    } catch (...) {
        ds->EnableControls();
        throw;
    }
    ds->EnableControls();
}

void TInfoListFrm::ShowHelp(const std::string& topic) { TWinFrm::ShowHelp(topic.empty() ? "InfoList" : topic); }

void TInfoListFrm::ToolButton1Click(TObject*) { List->Add(); }
void TInfoListFrm::ToolButton2Click(TObject*) { List->Edit(); }
void TInfoListFrm::ToolButton3Click(TObject*) { List->Delete(); }
void TInfoListFrm::ToolButton4Click(TObject*) { List->Refresh(); }

void TInfoListFrm::ToolButton11Click(TObject*)
{
    if (List->Import()) List->Refresh();
}

void TInfoListFrm::ToolButton5Click(TObject*) { List->Print(); }
void TInfoListFrm::ToolButton6Click(TObject*) { Grid->SortClick(); }

void TInfoListFrm::ToolButton7Click(TObject*)
{
    const TPoint p = ToolButton7->ClientToScreen(Point(0, ToolButton7->Height()));
    Grid->PopupMenuQz()->Popup(p.X, p.Y);
}

void TInfoListFrm::ToolButton10Click(TObject*) { Close(); }
void TInfoListFrm::FGridDblClick(TObject*) { List->Edit(); }
void TInfoListFrm::FormClose(TObject*, TCloseAction& action) { action = caFree; }
