#include "Operators.h"

#include "Objs.h"
#include "SmallDlgs.h"
#include "qzLib.h"

QZ_CLASS_IMPL(TOperatorsFrm, TAInfoDlgFrm)

TOperatorsFrm::TOperatorsFrm(TComponent* owner)
    : TAInfoDlgFrm(owner), FOperators(std::make_unique<TOperatorSet>())
{
    SetName("OperatorsFrm");
    SetCaption("操作员及权限");
    SetClientSize(440, 300);
    Label1 = UiKit::MakeLabel(this, this, "用户列表", 12, 10);
    ListView1 = UiKit::Make<TListView>(this, this, 12, 30, 320, 220);
    ListView1->SetViewStyle(vsIcon);
    ImageList1 = new TImageList(this);
    ImageList1->SetWidth(32);
    ImageList1->SetHeight(32);
    {
        TBitmap person;
        UiKit::DrawBadge(&person, TColor(0xC08040), true);
        ImageList1->Add(&person, nullptr);
    }
    ListView1->SetLargeImages(ImageList1);
    ListView1->OnSelectItem = [this](TObject*, TListItem*, bool) { UpdateButtons(); };
    ListView1->OnDblClick = [this](TObject*) { EditSelected(); };
    btnProp1 = UiKit::MakeButton(this, this, "属性", 348, 30);
    btnProp1->OnClick = [this](TObject*) { EditSelected(); };
    Button2 = UiKit::MakeButton(this, this, "添加", 348, 62);
    Button2->OnClick = [this](TObject*) { AddOperator(); };
    btnDelete1 = UiKit::MakeButton(this, this, "删除", 348, 94);
    btnDelete1->OnClick = [this](TObject*) { DeleteSelected(); };
    FEditor = new TOperatorEditorFrm(this);
    FEditor->SetCaption("操作员属性");
    FOperators->Open();
    TDataSet* ds = FOperators->DataSet();
    for (ds->First(); !ds->Eof(); ds->Next()) {
        TListItem* item = ListView1->Items()->Add();
        item->SetCaption(FOperators->UserIdField->AsString());
        item->SetImageIndex(0);
    }
    UpdateButtons();
}

TOperatorsFrm::~TOperatorsFrm() = default;

TModalResult TOperatorsFrm::ShowModal()
{
    const std::pair<const char*, int> rights[] = {
        {"公司信息设置", Rights::CompanyInfo}, {"操作员及权限管理", Rights::Operators}, {"打印", Rights::Print},
        {"打印设计", Rights::ReportDesign},    {"数据导出", Rights::Export},             {"列选择", Rights::ChooseColumns},
        {"列样式保存", Rights::SaveLayout},    {"备份设置", Rights::Backup},             {"工具菜单设置", Rights::ToolMenu}};
    for (const auto& [caption, id] : rights) FEditor->AddRight(caption, id);
    return TAInfoDlgFrm::ShowModal();
}

void TOperatorsFrm::UpdateButtons()
{
    const bool sel = ListView1->Selected() != nullptr;
    btnProp1->SetEnabled(sel);
    btnDelete1->SetEnabled(sel);
}

bool TOperatorsFrm::LocateSelected()
{
    TListItem* item = ListView1->Selected();
    return item && FOperators->DataSet()->Locate("LoginId", Variant(item->Caption()), {});
}

void TOperatorsFrm::EditSelected()
{
    if (!LocateSelected()) return;
    FEditor->Reset();
    FEditor->SetUserId(FOperators->UserIdField->AsString());
    FEditor->SetPasswd(FOperators->PasswdField->AsString());
    FEditor->SetEmpName(FOperators->NameField->AsString());
    FEditor->SetEmpTel(FOperators->ContactField->AsString());
    FEditor->SetEmpNote(FOperators->NoteField->AsString());
    FEditor->SetRights(FOperators->RightsField->AsString());
    while (FEditor->ShowModal() == mrOk) {
        try {
            FOperators->UpdateOperator(FEditor->UserId(), FEditor->Passwd(), FEditor->EmpName(), FEditor->EmpTel(),
                                       FEditor->EmpNote(), FEditor->Rights());
            break;
        } catch (const EAbort&) {
            throw;
        } catch (const Exception& e) {
            qzLib::ShowInfo(e.what());
        }
    }
}

void TOperatorsFrm::AddOperator()
{
    FEditor->Reset();
    while (FEditor->ShowModal() == mrOk) {
        try {
            FOperators->AddOperator(FEditor->UserId(), FEditor->Passwd(), FEditor->EmpName(), FEditor->EmpTel(),
                                    FEditor->EmpNote(), FEditor->Rights());
            TListItem* item = ListView1->Items()->Add();
            item->SetCaption(FEditor->UserId());
            item->SetImageIndex(0);
            break;
        } catch (const EAbort&) {
            throw;
        } catch (const Exception& e) {
            qzLib::ShowInfo(e.what());
        }
    }
}

void TOperatorsFrm::DeleteSelected()
{
    if (!LocateSelected()) return;
    const std::string id = FOperators->UserIdField->AsString();
    if (!qzLib::ConfirmDelete(id)) return;
    FOperators->DeleteOperator(id);
    ListView1->Selected()->Delete();
    UpdateButtons();
}
