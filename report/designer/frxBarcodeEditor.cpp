#include "frxBarcodeEditor.h"

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxBarcode.h"
#include "frxCtrls.h"
#include "frxCustomDesigner.h"
#include "frxDsgnIntf.h"
#include "frxRes.h"
#include "frxUtils.h"

QZ_CLASS_IMPL(TfrxBarcodeEditorForm, TForm)

using frxCtrls::MakeControl;

namespace frxBarcodeEditor {

bool EditBarcode(TComponent* owner, TfrxCustomDesigner* designer, TfrxBarCodeView* view)
{
    TfrxBarcodeEditorForm f(owner, designer);
    f.Barcode = view;
    return f.ShowModal() == mrOk;
}

void Initialize()
{
    frxDsgnIntf::ComponentEditorRegistry().AddEditor(
        TfrxBarCodeView::StaticClass(), [](TfrxComponent* c, TComponent* d, TComponent* m) -> TfrxComponentEditor* {
            return new TfrxBarcodeEditor(c, d, m);
        });
}

}  // namespace frxBarcodeEditor

bool TfrxBarcodeEditor::Edit()
{
    auto* v = dynamic_cast<TfrxBarCodeView*>(Component);
    return v && frxBarcodeEditor::EditBarcode(Designer, dynamic_cast<TfrxCustomDesigner*>(Designer), v);
}

void TfrxBarcodeEditor::FillMenu()
{
    if (auto* v = dynamic_cast<TfrxBarCodeView*>(Component)) {
        AddMenuItem(frxRes::Resources().Get("bcCalcChecksum"), 1, v->CalcCheckSum);
        AddMenuItem(frxRes::Resources().Get("bcShowText"), 2, v->ShowText);
    }
    TfrxViewEditor::FillMenu();
}

bool TfrxBarcodeEditor::RunMenuCommand(int tag)
{
    bool changed = TfrxViewEditor::RunMenuCommand(tag);
    if (tag != 1 && tag != 2) return changed;
    const bool on = MenuItemChecked(tag);
    for (TfrxComponent* c : Targets(TfrxBarCodeView::StaticClass())) {
        auto* v = static_cast<TfrxBarCodeView*>(c);
        if (tag == 1) v->CalcCheckSum = on;
        else v->ShowText = on;
        changed = true;
    }
    return changed;
}

TfrxBarcodeEditorForm::TfrxBarcodeEditorForm(TComponent* owner, TfrxCustomDesigner* designer)
    : TForm(owner), FDesigner(designer)
{
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(539, 255);
    Font()->SetHeight(-11);
    CodeLbl = MakeControl<TLabel>(this, this, "CodeLbl", 8, 8, 200, 16);
    CodeE = MakeControl<TfrxComboEdit>(this, this, "CodeE", 8, 26, 260, 21);
    CodeE->SetText("0");
    TypeLbl = MakeControl<TLabel>(this, this, "TypeLbl", 8, 54, 200, 16);
    TypeCB = MakeControl<TComboBox>(this, this, "TypeCB", 8, 72, 260, 21);
    TypeCB->SetStyle(csDropDownList);
    OptionsLbl = MakeControl<TGroupBox>(this, this, "OptionsLbl", 8, 102, 126, 114);
    CalcCheckSumCB = MakeControl<TCheckBox>(this, OptionsLbl, "CalcCheckSumCB", 8, 20, 114, 17);
    ViewTextCB = MakeControl<TCheckBox>(this, OptionsLbl, "ViewTextCB", 8, 42, 114, 17);
    ZoomLbl = MakeControl<TLabel>(this, OptionsLbl, "ZoomLbl", 8, 72, 40, 16);
    ZoomE = MakeControl<TEdit>(this, OptionsLbl, "ZoomE", 50, 68, 50, 21);
    ZoomE->SetText("1");
    UpDown1 = MakeControl<TUpDown>(this, OptionsLbl, "UpDown1", 100, 68, 16, 21);
    UpDown1->SetAssociate(ZoomE);
    UpDown1->SetMin(0);
    UpDown1->SetPosition(1);
    UpDown1->SetWrap(false);
    RotationLbl = MakeControl<TGroupBox>(this, this, "RotationLbl", 142, 102, 126, 114);
    Rotation0RB = MakeControl<TRadioButton>(this, RotationLbl, "Rotation0RB", 8, 20, 100, 17);
    Rotation90RB = MakeControl<TRadioButton>(this, RotationLbl, "Rotation90RB", 8, 42, 100, 17);
    Rotation180RB = MakeControl<TRadioButton>(this, RotationLbl, "Rotation180RB", 8, 64, 100, 17);
    Rotation270RB = MakeControl<TRadioButton>(this, RotationLbl, "Rotation270RB", 8, 86, 100, 17);
    Rotation0RB->SetChecked(true);
    ExampleBvl = MakeControl<TBevel>(this, this, "ExampleBvl", 278, 8, 253, 233);
    ExamplePB = MakeControl<TPaintBox>(this, this, "ExamplePB", 278, 8, 253, 233);
    OkB = MakeControl<TButton>(this, this, "OkB", 8, 224, 75, 25);
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, this, "CancelB", 92, 224, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    frxRes::Resources().LocalizeForm(this);

    ExamplePB->OnPaint = [this](TObject*) { PaintSample(); };
    auto repaint = [this](TObject*) { ExamplePB->Invalidate(); };
    TypeCB->OnChange = repaint;
    for (TButtonControl* c : std::initializer_list<TButtonControl*>{CalcCheckSumCB, ViewTextCB, Rotation0RB,
                                                                     Rotation90RB, Rotation180RB, Rotation270RB})
        c->OnClick = repaint;
    CodeE->OnButtonClick = [this](TObject*) {
        if (!FDesigner) return;
        const std::string s = FDesigner->InsertExpression(CodeE->Text());
        if (!s.empty()) CodeE->SetText(s);
    };
}

int TfrxBarcodeEditorForm::ChosenRotation() const
{
    if (Rotation90RB->Checked()) return 90;
    if (Rotation180RB->Checked()) return 180;
    if (Rotation270RB->Checked()) return 270;
    return 0;
}

void TfrxBarcodeEditorForm::DoShow()
{
    TForm::DoShow();
    TypeCB->Items()->Clear();
    for (int t = bcCode_2_5_interleaved; t <= bcCodeEAN128C; ++t)
        TypeCB->Items()->Add(frxBarcode::BarcodeData(TfrxBarcodeType(t)).Name);
    if (!Barcode) return;
    CodeE->SetText(Barcode->Expression);
    TypeCB->SetItemIndex(int(Barcode->BarType));
    CalcCheckSumCB->SetChecked(Barcode->CalcCheckSum);
    ViewTextCB->SetChecked(Barcode->ShowText);
    ZoomE->SetText(FloatToStr(Barcode->Zoom));
    switch (Barcode->Rotation) {
    case 90: Rotation90RB->SetChecked(true); break;
    case 180: Rotation180RB->SetChecked(true); break;
    case 270: Rotation270RB->SetChecked(true); break;
    default: Rotation0RB->SetChecked(true); break;
    }
    ExamplePB->Invalidate();
}

void TfrxBarcodeEditorForm::PaintSample()
{
    TCanvas* c = ExamplePB->Canvas();
    const int w = ExamplePB->Width(), h = ExamplePB->Height();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect{0, 0, w, h});
    TfrxBarcode sample(nullptr);
    sample.Typ = TfrxBarcodeType(std::max(0, TypeCB->ItemIndex()));
    sample.Text = "12345678";
    sample.Angle = ChosenRotation();
    sample.Checksum = CalcCheckSumCB->Checked();
    sample.DrawBarcode(c, TRect{40, 20, w - 40, 200}, ViewTextCB->Checked());
}

bool TfrxBarcodeEditorForm::CloseQuery()
{
    if (!TForm::CloseQuery()) return false;
    if (ModalResult() != mrOk) return true;
    try {
        frxUtils::StrToFloatAnySeparator(ZoomE->Text());
    } catch (const EConvertError& e) {
        frxUtils::ShowErrorBox(e.Message());
        if (ZoomE->CanFocus()) ZoomE->SetFocus();
        return false;
    }
    return true;
}

void TfrxBarcodeEditorForm::DoHide()
{
    TForm::DoHide();
    if (ModalResult() != mrOk || !Barcode) return;
    // The zoom was read when the dialog closed; all fields go in together.
    const double zoom = frxUtils::StrToFloatAnySeparator(ZoomE->Text());
    Barcode->Expression = CodeE->Text();
    Barcode->BarType = TfrxBarcodeType(std::max(0, TypeCB->ItemIndex()));
    Barcode->CalcCheckSum = CalcCheckSumCB->Checked();
    Barcode->ShowText = ViewTextCB->Checked();
    Barcode->Zoom = zoom;
    Barcode->Rotation = ChosenRotation();
}
