#include "BatchUpdateFrm.h"

#include "StdCtrls.h"

QZ_CLASS_IMPL(TBatchUpdateFrm, TaFrm)

TBatchUpdateFrm::TBatchUpdateFrm(TComponent* AOwner) : TaFrm(AOwner)
{
    SetName("BatchUpdateFrm");
    SetCaption("修改");
    SetClientSize(300, 150);
    GroupBox1 = UiKit::Make<TGroupBox>(this, this, 8, 8, 284, 96);
    GroupBox1->SetCaption("批量更新");
    UiKit::MakeLabel(this, GroupBox1, "项目", 12, 28);
    ComboBox1 = UiKit::Make<TComboBox>(this, GroupBox1, 56, 24, 214, 22);
    ComboBox1->SetStyle(csDropDownList);
    UiKit::MakeLabel(this, GroupBox1, "值为", 12, 62);
    Edit1 = UiKit::Make<TEdit>(this, GroupBox1, 56, 58, 214, 22);
    Edit1->SetText("");
    Button1 = UiKit::MakeButton(this, this, "确定", 136, 116);
    Button1->SetModalResult(mrOk);
    Button1->SetDefault(true);
    Button2 = UiKit::MakeButton(this, this, "取消", 217, 116);
    Button2->SetModalResult(mrCancel);
    Button2->SetCancel(true);
}

TStrings* TBatchUpdateFrm::Items() const
{
    return ComboBox1->Items();
}

void TBatchUpdateFrm::AddItem(const std::string& ALabel, const std::string& AFieldName)
{
    ComboBox1->Items()->Add(ALabel);
    FFieldNames.push_back(AFieldName);
}

int TBatchUpdateFrm::ItemIndex() const
{
    return ComboBox1->ItemIndex();
}

std::string TBatchUpdateFrm::ItemFieldName() const
{
    const int index = ItemIndex();
    return index >= 0 && index < int(FFieldNames.size()) ? FFieldNames[size_t(index)] : std::string();
}

std::string TBatchUpdateFrm::Value() const
{
    return Edit1->GetText();
}

void TBatchUpdateFrm::SetValue(const std::string& AValue)
{
    Edit1->SetText(AValue);
}

bool TBatchUpdateFrm::CloseQuery()
{
    if (!TaFrm::CloseQuery()) return false;
    return ModalResult() != mrOk || ItemIndex() >= 0;
}
