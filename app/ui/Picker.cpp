#include "Picker.h"

#include "DB.h"
#include "Uis.h"
#include "UisGrids.h"
#include "qzCtrls.h"

QZ_CLASS_IMPL(TPickerFrm, TaFrm)

TPickerFrm::TPickerFrm(TComponent* owner) : TaFrm(owner)
{
    SetName("PickerFrm");
    SetCaption("选择");
    SetBorderStyle(fbsSizeable);
    SetClientSize(560, 400);

    Panel1 = new TPanel(this);
    Panel1->SetParent(this);
    Panel1->SetHeight(37);
    Panel1->SetAlign(alTop);
    Panel1->SetBevelOuter(bvNone);
    UiKit::MakeLabel(this, Panel1, "搜索项", 8, 12);
    SrchCombo1 = UiKit::Make<TqzComboBox>(this, Panel1, 52, 8, 120, 21);
    SrchCombo1->SetStyle(csDropDownList);
    SrchCombo1->OnChange = [this](TObject* s) { SrchCombo1Change(s); };
    UiKit::MakeLabel(this, Panel1, "搜索值", 184, 12);
    edtValue1 = UiKit::Make<TqzEdit>(this, Panel1, 228, 8, 160, 21);
    edtValue1->OnChange = [this](TObject* s) { edtValue1Change(s); };
    btnMore1 = UiKit::MakeButton(this, Panel1, "设置 ▼", 400, 6);
    btnMore1->OnClick = [this](TObject* s) { btnMore1Click(s); };

    Panel2 = new TPanel(this);
    Panel2->SetParent(this);
    Panel2->SetHeight(41);
    Panel2->SetAlign(alBottom);
    Panel2->SetBevelOuter(bvNone);
    btnNew1 = UiKit::MakeButton(this, Panel2, "新添", 8, 8);
    btnNew1->OnClick = [this](TObject* s) { btnNew1Click(s); };
    btnOk1 = UiKit::MakeButton(this, Panel2, "确定", 0, 8);
    btnOk1->OnClick = [this](TObject* s) { btnOk1Click(s); };
    Button2 = UiKit::MakeButton(this, Panel2, "取消", 0, 8);
    Button2->SetCancel(true);
    Button2->SetModalResult(mrCancel);
    btnOk1->SetAnchors({akTop, akRight});
    Button2->SetAnchors({akTop, akRight});
    btnOk1->SetLeft(Panel2->ClientWidth() - 168);
    Button2->SetLeft(Panel2->ClientWidth() - 83);

    Grid = static_cast<TGridcx*>(TGridcx::StaticClass()->Create(this));
    Grid->SetParent(this);
    Grid->SetAlign(alClient);
    Grid->OnDblClick = [this](TObject* s) { btnOk1Click(s); };
    edtValue1->SetText("");
}

TPickerFrm::~TPickerFrm() { delete Grid; }

std::string TPickerFrm::ContainsFilter(const std::string& fieldName, const std::string& value)
{
    std::string quoted;
    for (char c : value) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return fieldName + " like '%" + quoted + "%'";
}

void TPickerFrm::BindDataSet(TDataSet* dataSet)
{
    FDataSet = dataSet;
    SrchCombo1->Items()->Clear();
    if (dataSet) {
        for (int i = 0; i < dataSet->FieldCount(); ++i) {
            TField* f = dataSet->Fields()->Fields(i);
            if ((f->DataType() == ftString || f->DataType() == ftWideString) && f->FieldKind() == fkData)
                SrchCombo1->Items()->AddObject(f->DisplayLabel(), f);
        }
    }
    Grid->SetDataSet(dataSet);
}

void TPickerFrm::Execute(IViewList* list, TDataSet* dataSet, int layoutId)
{
    std::unique_ptr<TPickerFrm> f(new TPickerFrm(nullptr));
    f->List = list;
    f->BindDataSet(dataSet);
    // The grid's own menu, with the list's commands around it.
    TMenu* menu = f->Grid->PopupMenuQz();
    TqzPopupMenu::AddSeparator(menu, -1, nullptr);
    TqzPopupMenu::AddClickItem(menu, "删除", false, [list](TObject*) { list->Delete(); });
    TqzPopupMenu::AddSeparator(menu, 0, nullptr);
    TqzPopupMenu::AddClickItem(menu, "修改", true, [list](TObject*) { list->Edit(); });
    TqzPopupMenu::AddClickItem(menu, "添加", true, [list](TObject*) { list->Add(); });
    f->Grid->SetTag(layoutId);
    f->Grid->LoadLayout(layoutId);
    f->ShowModal();
    f->List = nullptr;
}

void TPickerFrm::btnOk1Click(TObject*)
{
    if (!List || List->Select()) SetModalResult(mrOk);
}

void TPickerFrm::btnNew1Click(TObject*)
{
    if (List) List->Add();
}

void TPickerFrm::btnMore1Click(TObject*)
{
    const TPoint p = btnMore1->ClientToScreen(Point(0, btnMore1->ClientHeight()));
    Grid->PopupMenuQz()->Popup(p.X, p.Y);
}

void TPickerFrm::SrchCombo1Change(TObject*)
{
    edtValue1->SetText("");
    if (edtValue1->CanFocus()) edtValue1->SetFocus();
}

void TPickerFrm::edtValue1Change(TObject*)
{
    const int i = SrchCombo1->ItemIndex();
    if (i < 0 || !FDataSet) return;
    auto* field = static_cast<TField*>(SrchCombo1->Items()->Objects(i));
    FDataSet->SetFiltered(false);
    const std::string value = edtValue1->GetText();
    if (value.empty()) return;
    FDataSet->SetFilter(ContainsFilter(field->FieldName(), value));
    FDataSet->SetFiltered(true);
}
