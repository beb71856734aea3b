#include "frxEditFrame.h"

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxCtrls.h"
#include "frxDesgnCtrls.h"
#include "frxCustomDesigner.h"
#include "frxEditUtils.h"
#include "frxPopupForm.h"
#include "frxRes.h"
#include "frxUtils.h"

QZ_CLASS_IMPL(TfrxFrameEditorForm, TForm)

using frxCtrls::MakeControl;

namespace frxEditFrame {

void ApplyCommand(TfrxFrame* frame, int tag, bool down, const std::string& text, int value)
{
    static const TfrxFrameType sides[] = {ftTop, ftBottom, ftLeft, ftRight};
    switch (tag) {
    case 1: case 2: case 3: case 4:
        if (down) frame->Typ.Include(sides[tag - 1]);
        else frame->Typ.Exclude(sides[tag - 1]);
        break;
    case 5:
        for (TfrxFrameType s : sides) frame->Typ.Include(s);
        break;
    case 6: frame->Typ = TfrxFrameTypes{}; break;
    case 9: frame->Width = frxUtils::StrToFloatAnySeparator(text); break;
    case 10: frame->DropShadow = down; break;
    case 12: frame->ShadowWidth = frxUtils::StrToFloatAnySeparator(text); break;
    case 70: frame->Color = TColor(value); break;
    case 80: frame->Style = TfrxFrameStyle(value); break;
    case 110: frame->ShadowColor = TColor(value); break;
    default: break;
    }
}

std::string WidthText(double width) { return FloatToStr(width); }

bool EditFrame(TComponent* owner, TfrxFrame* frame)
{
    TfrxFrameEditorForm f(owner);
    f.Frame()->Assign(frame);
    if (f.ShowModal() != mrOk) return false;
    frame->Assign(f.Frame());
    return true;
}

}  // namespace frxEditFrame


TfrxFrameEditorForm::TfrxFrameEditorForm(TComponent* owner) : TForm(owner), FFrame(std::make_unique<TfrxFrame>())
{
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(460, 196);
    ToolBar1 = MakeControl<TToolBar>(this, this, "ToolBar1", 8, 8, 444, 26);
    ToolBar1->SetShowCaptions(true);
    ToolBar1->SetList(true);
    ToolBar1->SetButtonWidth(70);
    using frxEditUtils::AddToolButton;
    FrameTopB = AddToolButton(this, ToolBar1, "FrameTopB", 1);
    FrameBottomB = AddToolButton(this, ToolBar1, "FrameBottomB", 2);
    FrameLeftB = AddToolButton(this, ToolBar1, "FrameLeftB", 3);
    FrameRightB = AddToolButton(this, ToolBar1, "FrameRightB", 4);
    FrameAllB = AddToolButton(this, ToolBar1, "FrameAllB", 5);
    FrameNoB = AddToolButton(this, ToolBar1, "FrameNoB", 6);
    for (TToolButton* b : {FrameTopB, FrameBottomB, FrameLeftB, FrameRightB}) b->SetStyle(tbsCheck);
    ToolBar2 = MakeControl<TToolBar>(this, this, "ToolBar2", 8, 42, 152, 26);
    ToolBar2->SetShowCaptions(true);
    ToolBar2->SetList(true);
    ToolBar2->SetButtonWidth(74);
    FrameColorB = AddToolButton(this, ToolBar2, "FrameColorB", 7);
    FrameStyleB = AddToolButton(this, ToolBar2, "FrameStyleB", 8);
    FrameWidthL = MakeControl<TLabel>(this, this, "FrameWidthL", 170, 48, 50, 16);
    FrameWidthCB = MakeControl<TComboBox>(this, this, "FrameWidthCB", 224, 44, 70, 21);
    FrameWidthCB->SetTag(9);
    for (const char* s : {"0,1", "0,5", "1", "1,5", "2", "3", "4", "5", "6", "7", "8", "9", "10"})
        FrameWidthCB->Items()->Add(s);
    ToolBar3 = MakeControl<TToolBar>(this, this, "ToolBar3", 8, 76, 152, 26);
    ToolBar3->SetShowCaptions(true);
    ToolBar3->SetList(true);
    ToolBar3->SetButtonWidth(74);
    ShadowB = AddToolButton(this, ToolBar3, "ShadowB", 10);
    ShadowB->SetStyle(tbsCheck);
    // The text block names the shadow switch as a check box.
    ShadowB->SetHint("阴影");
    ShadowColorB = AddToolButton(this, ToolBar3, "ShadowColorB", 11);
    ShadowWidthL = MakeControl<TLabel>(this, this, "ShadowWidthL", 170, 82, 50, 16);
    ShadowWidthCB = MakeControl<TComboBox>(this, this, "ShadowWidthCB", 224, 78, 70, 21);
    ShadowWidthCB->SetTag(12);
    for (int i = 1; i <= 10; ++i) ShadowWidthCB->Items()->Add(std::to_string(i));
    SamplePB = MakeControl<TPaintBox>(this, this, "SamplePB", 310, 44, 142, 100);
    OkB = MakeControl<TButton>(this, this, "OKB", 296, 164, 75, 25);
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, this, "CancelB", 377, 164, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    frxRes::Resources().LocalizeForm(this);
    for (TToolBar* bar : {ToolBar1, ToolBar2, ToolBar3}) frxEditUtils::CaptionButtonsFromHints(bar);
    // The bars stand beside the width boxes, not across the dialog.
    ToolBar1->SetAlign(alNone);
    ToolBar2->SetAlign(alNone);
    ToolBar3->SetAlign(alNone);
    ToolBar1->SetBounds(8, 8, 444, 26);
    ToolBar2->SetBounds(8, 42, 152, 26);
    ToolBar3->SetBounds(8, 76, 152, 26);
    for (TToolButton* b : {FrameTopB, FrameBottomB, FrameLeftB, FrameRightB, FrameAllB, FrameNoB, FrameColorB,
                           FrameStyleB, ShadowB, ShadowColorB}) {
        b->OnClick = [this, b](TObject*) { ControlClick(b->Tag()); };
    }
    for (TComboBox* cb : {FrameWidthCB, ShadowWidthCB})
        cb->OnChange = [this, cb](TObject*) { ControlClick(cb->Tag()); };
    SamplePB->OnPaint = [this](TObject*) {
        TCanvas* c = SamplePB->Canvas();
        const int w = SamplePB->Width(), h = SamplePB->Height();
        c->Brush()->SetColor(clWhite);
        c->FillRect(TRect{0, 0, w, h});
        const TRect r{20, 20, w - 20, h - 20};
        if (FFrame->DropShadow) {
            const int s = int(FFrame->ShadowWidth);
            c->Brush()->SetColor(FFrame->ShadowColor);
            c->FillRect(TRect{r.Left + s, r.Bottom, r.Right + s, r.Bottom + s});
            c->FillRect(TRect{r.Right, r.Top + s, r.Right + s, r.Bottom + s});
        }
        c->Pen()->SetColor(FFrame->Color);
        c->Pen()->SetWidth(std::max(1, int(FFrame->Width + 0.5)));
        auto line = [c](int x1, int y1, int x2, int y2) {
            c->MoveTo(x1, y1);
            c->LineTo(x2, y2);
        };
        if (FFrame->Typ.Contains(ftTop)) line(r.Left, r.Top, r.Right, r.Top);
        if (FFrame->Typ.Contains(ftBottom)) line(r.Left, r.Bottom, r.Right, r.Bottom);
        if (FFrame->Typ.Contains(ftLeft)) line(r.Left, r.Top, r.Left, r.Bottom);
        if (FFrame->Typ.Contains(ftRight)) line(r.Right, r.Top, r.Right, r.Bottom);
    };
}

TfrxFrameEditorForm::~TfrxFrameEditorForm() = default;

bool TfrxFrameEditorForm::CloseQuery()
{
    if (!TForm::CloseQuery()) return false;
    if (ModalResult() != mrOk) return true;
    // A width typed last is read again: one that is no number keeps the
    // dialog open.
    for (TComboBox* cb : {FrameWidthCB, ShadowWidthCB}) {
        try {
            frxEditFrame::ApplyCommand(FFrame.get(), cb->Tag(), false, cb->Text());
        } catch (const EConvertError& e) {
            frxUtils::ShowErrorBox(e.Message());
            if (cb->CanFocus()) cb->SetFocus();
            return false;
        }
    }
    return true;
}

void TfrxFrameEditorForm::DoShow()
{
    TForm::DoShow();
    UpdateControls();
}

void TfrxFrameEditorForm::UpdateControls()
{
    FUpdating = true;
    FrameTopB->SetDown(FFrame->Typ.Contains(ftTop));
    FrameBottomB->SetDown(FFrame->Typ.Contains(ftBottom));
    FrameLeftB->SetDown(FFrame->Typ.Contains(ftLeft));
    FrameRightB->SetDown(FFrame->Typ.Contains(ftRight));
    ShadowB->SetDown(FFrame->DropShadow);
    FrameWidthCB->SetText(frxEditFrame::WidthText(FFrame->Width));
    ShadowWidthCB->SetText(frxEditFrame::WidthText(FFrame->ShadowWidth));
    FUpdating = false;
    SamplePB->Invalidate();
}

void TfrxFrameEditorForm::ControlClick(int tag)
{
    if (FUpdating) return;
    switch (tag) {
    case 7:
    case 11: {
        TToolButton* b = tag == 7 ? FrameColorB : ShadowColorB;
        auto* sel = new TfrxColorSelector(b);
        sel->OnColorChanged = [this, sel, tag](TObject*) {
            frxEditFrame::ApplyCommand(FFrame.get(), tag * 10, false, {}, int(sel->Color()));
            UpdateControls();
        };
        return;
    }
    case 8: {
        auto* sel = new TfrxLineSelector(FrameStyleB);
        sel->OnStyleChanged = [this, sel](TObject*) {
            frxEditFrame::ApplyCommand(FFrame.get(), 80, false, {}, sel->Style());
            UpdateControls();
        };
        return;
    }
    case 9:
    case 12: {
        TComboBox* cb = tag == 9 ? FrameWidthCB : ShadowWidthCB;
        try {
            frxEditFrame::ApplyCommand(FFrame.get(), tag, false, cb->Text());
        } catch (const EConvertError&) {
            // A half-typed width waits for the rest; OK reads it again.
            return;
        }
        break;
    }
    default: {
        TToolButton* b = nullptr;
        for (TToolButton* x : {FrameTopB, FrameBottomB, FrameLeftB, FrameRightB, ShadowB})
            if (x->Tag() == tag) b = x;
        frxEditFrame::ApplyCommand(FFrame.get(), tag, b ? b->Down() : false);
        break;
    }
    }
    UpdateControls();
}
