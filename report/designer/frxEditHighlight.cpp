#include "frxEditHighlight.h"

#include "Buttons.h"
#include "Dialogs.h"
#include "StdCtrls.h"
#include "frxClass.h"
#include "frxCtrls.h"
#include "frxCustomDesigner.h"
#include "frxGraphicData.h"
#include "frxRes.h"

QZ_CLASS_IMPL(TfrxHighlightEditorForm, TForm)

using frxCtrls::MakeControl;

namespace frxEditHighlight {

void ApplyHighlight(TfrxHighlight* h, TfrxCustomMemoView* memo, const std::string& condition, int style,
                    TColor fontColor, TColor backColor)
{
    h->Condition = condition;
    if (memo) h->Font()->Assign(memo->Font());
    h->Font()->SetStyle((h->Font()->Style() & ~(TfrxFont::Bold | TfrxFont::Italic | TfrxFont::Underline)) | style);
    h->Font()->SetColor(fontColor);
    h->Color = backColor;
}

void DrawSwatch(TBitmap* b, TColor c)
{
    b->SetWidth(14);
    b->SetHeight(15);
    TCanvas* cv = b->Canvas();
    cv->Brush()->SetColor(clBtnFace);
    cv->FillRect(TRect{0, 0, 14, 15});
    cv->Pen()->SetColor(TColor(0x808080));
    cv->Brush()->SetColor(c == clNone ? clBtnFace : c);
    cv->Rectangle(0, 0, 14, 14);
}

bool EditHighlight(TComponent* owner, TfrxCustomDesigner* designer, TfrxCustomMemoView* memo)
{
    TfrxHighlightEditorForm f(owner, designer);
    f.MemoView = memo;
    return f.ShowModal() == mrOk;
}

}  // namespace frxEditHighlight

TfrxHighlightEditorForm::TfrxHighlightEditorForm(TComponent* owner, TfrxCustomDesigner* designer)
    : TForm(owner), FDesigner(designer)
{
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(330, 250);
    ConditionL = MakeControl<TLabel>(this, this, "ConditionL", 8, 8, 200, 16);
    ConditionE = MakeControl<TfrxComboEdit>(this, this, "ConditionE", 8, 26, 314, 21);
    FontGB = MakeControl<TGroupBox>(this, this, "FontGB", 8, 58, 154, 146);
    FontColorB = MakeControl<TBitBtn>(this, FontGB, "FontColorB", 10, 22, 110, 25);
    BoldCB = MakeControl<TCheckBox>(this, FontGB, "BoldCB", 10, 60, 130, 17);
    ItalicCB = MakeControl<TCheckBox>(this, FontGB, "ItalicCB", 10, 84, 130, 17);
    UnderlineCB = MakeControl<TCheckBox>(this, FontGB, "UnderlineCB", 10, 108, 130, 17);
    BackgroundGB = MakeControl<TGroupBox>(this, this, "BackgroundGB", 168, 58, 154, 146);
    TransparentRB = MakeControl<TRadioButton>(this, BackgroundGB, "TransparentRB", 10, 24, 130, 17);
    OtherRB = MakeControl<TRadioButton>(this, BackgroundGB, "OtherRB", 10, 48, 130, 17);
    BackColorB = MakeControl<TBitBtn>(this, BackgroundGB, "BackColorB", 26, 74, 110, 25);
    OKB = MakeControl<TButton>(this, this, "OKB", 166, 216, 75, 25);
    OKB->SetDefault(true);
    OKB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, this, "CancelB", 247, 216, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    frxRes::Resources().LocalizeForm(this);
    TransparentRB->SetChecked(true);

    FontColorB->OnClick = [this](TObject*) { PickColor(FFontColor, FontColorB); };
    BackColorB->OnClick = [this](TObject*) { PickColor(FBackColor, BackColorB); };
    TransparentRB->OnClick = [this](TObject*) { BackKindClick(); };
    OtherRB->OnClick = [this](TObject*) { BackKindClick(); };
    ConditionE->OnButtonClick = [this](TObject*) {
        if (!FDesigner) return;
        const std::string s = FDesigner->InsertExpression(ConditionE->Text());
        if (!s.empty()) ConditionE->SetText(s);
    };
}

void TfrxHighlightEditorForm::PickColor(TColor& c, TBitBtn*)
{
    TColorDialog dlg(this);
    dlg.Color = c == clNone ? clWhite : c;
    if (!dlg.Execute()) return;
    c = dlg.Color;
    UpdateSwatches();
}

void TfrxHighlightEditorForm::UpdateSwatches()
{
    TBitmap b;
    frxEditHighlight::DrawSwatch(&b, FFontColor);
    FontColorB->SetGlyph(&b);
    frxEditHighlight::DrawSwatch(&b, FBackColor);
    BackColorB->SetGlyph(&b);
}

void TfrxHighlightEditorForm::BackKindClick()
{
    BackColorB->SetEnabled(OtherRB->Checked());
    if (TransparentRB->Checked()) FBackColor = clNone;
    UpdateSwatches();
}

void TfrxHighlightEditorForm::DoShow()
{
    TForm::DoShow();
    if (!MemoView) return;
    TfrxHighlight* h = MemoView->Highlight();
    FBackColor = h->Color;
    FFontColor = h->Font()->Color();
    ConditionE->SetText(h->Condition);
    BoldCB->SetChecked(h->Font()->Style() & TfrxFont::Bold);
    ItalicCB->SetChecked(h->Font()->Style() & TfrxFont::Italic);
    UnderlineCB->SetChecked(h->Font()->Style() & TfrxFont::Underline);
    (FBackColor == clNone ? TransparentRB : OtherRB)->SetChecked(true);
    BackColorB->SetEnabled(OtherRB->Checked());
    UpdateSwatches();
}

void TfrxHighlightEditorForm::DoHide()
{
    TForm::DoHide();
    if (ModalResult() != mrOk || !MemoView) return;
    const int style = (BoldCB->Checked() ? TfrxFont::Bold : 0) | (ItalicCB->Checked() ? TfrxFont::Italic : 0) |
                      (UnderlineCB->Checked() ? TfrxFont::Underline : 0);
    frxEditHighlight::ApplyHighlight(MemoView->Highlight(), MemoView, ConditionE->Text(), style, FFontColor,
                                     FBackColor);
}
