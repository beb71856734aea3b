#include "FltrDlg.h"

#include "DB.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "TextUtils.h"

#include <memory>

QZ_CLASS_IMPL(TFltrDlgFrm, TaFrm)

TFltrDlgFrm::TFltrDlgFrm(TComponent* AOwner) : TaFrm(AOwner)
{
    SetName("FltrDlgFrm");
    SetCaption("过滤");
    SetFormStyle(fsStayOnTop);
    SetClientSize(260, 250);
    Panel1 = UiKit::Make<TPanel>(this, this, 0, 0, 260, 250);
    Panel1->SetAlign(alClient);
    UiKit::MakeLabel(this, Panel1, "请选择过滤项目", 10, 8);
    UiKit::MakeLabel(this, Panel1, "双击选择快捷确认", 150, 8);
    ListBox1 = UiKit::Make<TListBox>(this, Panel1, 10, 28, 240, 178);
    Button1 = UiKit::MakeButton(this, Panel1, "下一步", 94, 216);
    Button1->SetEnabled(false);
    Button2 = UiKit::MakeButton(this, Panel1, "取消", 175, 216);
    Button2->SetModalResult(mrCancel);
    Button2->SetCancel(true);

    Panel2 = UiKit::Make<TPanel>(this, this, 0, 0, 260, 250);
    Panel2->SetAlign(alClient);
    UiKit::MakeLabel(this, Panel2, "请输入关键字", 10, 8);
    Edit1 = UiKit::Make<TEdit>(this, Panel2, 10, 28, 240, 22);
    Edit1->SetText("");
    Button3 = UiKit::MakeButton(this, Panel2, "确定", 94, 216);
    Button3->SetDefault(true);
    Button4 = UiKit::MakeButton(this, Panel2, "取消", 175, 216);
    Button4->SetModalResult(mrCancel);
    Panel1->BringToFront();

    ListBox1->OnClick = [this](TObject*) { Button1->SetEnabled(ListBox1->ItemIndex() >= 0); };
    ListBox1->OnDblClick = [this](TObject*) { Button1Click(); };
    Button1->OnClick = [this](TObject*) { Button1Click(); };
    Button3->OnClick = [this](TObject*) { Button3Click(); };
    Edit1->OnKeyPress = [this](TObject*, char& AKey) {
        if (AKey == '\r') {
            AKey = 0;
            Button3Click();
        }
    };
}

void TFltrDlgFrm::Execute(TDataSet* ADataSet)
{
    std::unique_ptr<TFltrDlgFrm> dialog(new TFltrDlgFrm(nullptr));
    dialog->Init(ADataSet);
    dialog->ShowModal();
}

void TFltrDlgFrm::Init(TDataSet* ADataSet)
{
    FDataSet = ADataSet;
    FFields.clear();
    ListBox1->Clear();
    for (int i = 0; i < ADataSet->FieldCount(); ++i) {
        TField* field = ADataSet->Fields()->Fields(i);
        const TFieldType type = field->DataType();
        if ((type != ftString && type != ftWideString) || field->FieldKind() != fkData || !field->Visible()) continue;
        ListBox1->Items()->Add(field->DisplayLabel());
        FFields.push_back(field);
    }
}

void TFltrDlgFrm::Button1Click()
{
    if (ListBox1->ItemIndex() < 0) return;
    Panel2->BringToFront();
    if (Edit1->CanFocus()) Edit1->SetFocus();
}

std::string TFltrDlgFrm::ContainsFilter(const std::string& AFieldName, const std::string& AKeyword)
{
    return AFieldName + " like '%" + StringReplace(AKeyword, "'", "''", {rfReplaceAll}) + "%'";
}

void TFltrDlgFrm::Button3Click()
{
    const int index = ListBox1->ItemIndex();
    const std::string keyword = Edit1->GetText();
    if (!keyword.empty() && index >= 0)
        FDataSet->SetFilter(ContainsFilter(FFields[size_t(index)]->FieldName(), keyword));
    else
        FDataSet->SetFilter("");
    FDataSet->SetFiltered(true);
    SetModalResult(mrOk);
}
