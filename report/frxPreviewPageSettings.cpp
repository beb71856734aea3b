#include "frxPreviewPageSettings.h"

#include "ExtCtrls.h"
#include "Graphics.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxCtrls.h"
#include "frxPrinter.h"
#include "frxRes.h"
#include "frxUtils.h"

#include <cmath>

QZ_CLASS_IMPL(TfrxPageSettingsForm, TForm)

using frxCtrls::MakeControl;

namespace frxPreviewPageSettings {

std::string MmToCmText(double mm)
{
    // Millimetres from the page are exact to a tenth; the division by ten
    // must not leave a fraction that shows as "21.00".
    const double cm = std::round(mm * 1000) / 10000;
    return frxUtils::FloatToTextTwoDecimals(cm);
}

double CmTextToMm(const std::string& text) { return frxUtils::StrToFloatAnySeparator(text) * 10; }

}  // namespace frxPreviewPageSettings

using frxPreviewPageSettings::CmTextToMm;
using frxPreviewPageSettings::MmToCmText;

namespace {

// A sheet of paper as the orientation buttons show it: white with a folded
// corner and a few lines of text.
void DrawSheet(TImage* img, int w, int h)
{
    TBitmap* b = img->Picture()->Bitmap();
    b->SetWidth(w);
    b->SetHeight(h);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect{0, 0, w, h});
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clWhite);
    const int fold = 8;
    c->Polygon({{1, 1}, {w - 2 - fold, 1}, {w - 2, 1 + fold}, {w - 2, h - 2}, {1, h - 2}});
    c->MoveTo(w - 2 - fold, 1);
    c->LineTo(w - 2 - fold, 1 + fold);
    c->LineTo(w - 2, 1 + fold);
    c->Pen()->SetColor(clGray);
    for (int y = 6 + fold; y < h - 6; y += 5) {
        c->MoveTo(6, y);
        c->LineTo(w - 7, y);
    }
}

}  // namespace

TfrxPageSettingsForm::TfrxPageSettingsForm(TComponent* owner) : TForm(owner)
{
    SetName("frxPageSettingsForm");
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(430, 330);

    SizeL = MakeControl<TGroupBox>(this, this, "SizeL", 8, 4, 414, 104);
    SizeCB = MakeControl<TComboBox>(this, SizeL, "SizeCB", 10, 20, 394, 22);
    SizeCB->SetStyle(csDropDownList);
    WidthL = MakeControl<TLabel>(this, SizeL, "WidthL", 10, 54, 50, 16);
    WidthE = MakeControl<TEdit>(this, SizeL, "WidthE", 64, 50, 70, 21);
    cmL1 = MakeControl<TLabel>(this, SizeL, "cmL1", 140, 54, 40, 16);
    HeightL = MakeControl<TLabel>(this, SizeL, "HeightL", 10, 80, 50, 16);
    HeightE = MakeControl<TEdit>(this, SizeL, "HeightE", 64, 76, 70, 21);
    cmL2 = MakeControl<TLabel>(this, SizeL, "cmL2", 140, 80, 40, 16);

    OrientationL = MakeControl<TGroupBox>(this, this, "OrientationL", 8, 114, 200, 104);
    PortraitRB = MakeControl<TRadioButton>(this, OrientationL, "PortraitRB", 10, 26, 110, 17);
    LandscapeRB = MakeControl<TRadioButton>(this, OrientationL, "LandscapeRB", 10, 60, 110, 17);
    PortraitImg = MakeControl<TImage>(this, OrientationL, "PortraitImg", 140, 28, 40, 50);
    LandscapeImg = MakeControl<TImage>(this, OrientationL, "LandscapeImg", 132, 34, 50, 40);
    DrawSheet(PortraitImg, 40, 50);
    DrawSheet(LandscapeImg, 50, 40);

    MarginsL = MakeControl<TGroupBox>(this, this, "MarginsL", 216, 114, 206, 104);
    LeftL = MakeControl<TLabel>(this, MarginsL, "LeftL", 10, 28, 20, 16);
    MarginLeftE = MakeControl<TEdit>(this, MarginsL, "MarginLeftE", 32, 24, 44, 21);
    cmL3 = MakeControl<TLabel>(this, MarginsL, "cmL3", 80, 28, 26, 16);
    TopL = MakeControl<TLabel>(this, MarginsL, "TopL", 108, 28, 20, 16);
    MarginTopE = MakeControl<TEdit>(this, MarginsL, "MarginTopE", 130, 24, 44, 21);
    cmL4 = MakeControl<TLabel>(this, MarginsL, "cmL4", 178, 28, 26, 16);
    RightL = MakeControl<TLabel>(this, MarginsL, "RightL", 10, 66, 20, 16);
    MarginRightE = MakeControl<TEdit>(this, MarginsL, "MarginRightE", 32, 62, 44, 21);
    cmL5 = MakeControl<TLabel>(this, MarginsL, "cmL5", 80, 66, 26, 16);
    BottomL = MakeControl<TLabel>(this, MarginsL, "BottomL", 108, 66, 20, 16);
    MarginBottomE = MakeControl<TEdit>(this, MarginsL, "MarginBottomE", 130, 62, 44, 21);
    cmL6 = MakeControl<TLabel>(this, MarginsL, "cmL6", 178, 66, 26, 16);

    OtherL = MakeControl<TGroupBox>(this, this, "OtherL", 8, 224, 414, 64);
    ApplyToCurRB = MakeControl<TRadioButton>(this, OtherL, "ApplyToCurRB", 10, 20, 390, 17);
    ApplyToAllRB = MakeControl<TRadioButton>(this, OtherL, "ApplyToAllRB", 10, 40, 390, 17);
    ApplyToCurRB->SetChecked(true);

    OKB = MakeControl<TButton>(this, this, "OKB", 266, 296, 75, 25);
    OKB->SetDefault(true);
    OKB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, this, "CancelB", 347, 296, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);

    // Captions the text block leaves out; it names the rest.
    OtherL->SetCaption("其它   ");
    ApplyToCurRB->SetCaption("应用到当前页面");
    ApplyToAllRB->SetCaption("应用到所有页面");
    OKB->SetCaption("确定");
    CancelB->SetCaption("取消");
    for (TLabel* cm : {cmL4, cmL5, cmL6}) cm->SetCaption("厘米");
    frxRes::Resources().LocalizeForm(this);

    SizeCB->OnChange = [this](TObject*) { PaperChanged(); };
    PortraitRB->OnClick = [this](TObject*) { OrientationChanged(); };
    LandscapeRB->OnClick = [this](TObject*) { OrientationChanged(); };
    WidthE->OnChange = [this](TObject*) { SizeEdited(); };
    HeightE->OnChange = [this](TObject*) { SizeEdited(); };
}

bool TfrxPageSettingsForm::ApplyToAll() const { return ApplyToAllRB->Checked(); }

void TfrxPageSettingsForm::DoShow()
{
    TForm::DoShow();
    if (!FPage) return;
    FUpdating = true;
    TfrxCustomPrinter* printer = Printers().Printer();
    if (printer) {
        printer->Prepare();
        SizeCB->Items()->Assign(printer->Papers());
        int i = printer->IndexOfPaper(FPage->PaperSize());
        if (i < 0) i = printer->IndexOfPaper(256);
        SizeCB->SetItemIndex(i);
    }
    WidthE->SetText(MmToCmText(FPage->PaperWidth()));
    HeightE->SetText(MmToCmText(FPage->PaperHeight()));
    MarginLeftE->SetText(MmToCmText(FPage->LeftMargin));
    MarginTopE->SetText(MmToCmText(FPage->TopMargin));
    MarginRightE->SetText(MmToCmText(FPage->RightMargin));
    MarginBottomE->SetText(MmToCmText(FPage->BottomMargin));
    if (FPage->Orientation() == frxEnums::poLandscape)
        LandscapeRB->SetChecked(true);
    else
        PortraitRB->SetChecked(true);
    FUpdating = false;
    OrientationChanged();
}

void TfrxPageSettingsForm::OrientationChanged()
{
    PortraitImg->SetVisible(PortraitRB->Checked());
    LandscapeImg->SetVisible(LandscapeRB->Checked());
    PaperChanged();
}

void TfrxPageSettingsForm::PaperChanged()
{
    if (FUpdating) return;
    TfrxCustomPrinter* printer = Printers().Printer();
    if (!printer || SizeCB->ItemIndex() < 0) return;
    FUpdating = true;
    const int paper = printer->PaperNumberOf(SizeCB->Items()->Strings(SizeCB->ItemIndex()));
    const int orientation = LandscapeRB->Checked() ? frxEnums::poLandscape : frxEnums::poPortrait;
    double w = 0, h = 0;
    try {
        w = CmTextToMm(WidthE->Text());
        h = CmTextToMm(HeightE->Text());
    } catch (const EConvertError&) {
        // Half-typed sizes: a paper of its own keeps what the page had.
        w = FPage ? FPage->PaperWidth() : 0;
        h = FPage ? FPage->PaperHeight() : 0;
    }
    // A size of one's own turns with the orientation: landscape has the
    // longer side across.
    if (paper == 256 && (orientation == frxEnums::poLandscape) != (w > h)) std::swap(w, h);
    printer->ApplyViewSettings(paper, orientation, w, h);
    WidthE->SetText(MmToCmText(printer->PaperWidth));
    HeightE->SetText(MmToCmText(printer->PaperHeight));
    FUpdating = false;
}

void TfrxPageSettingsForm::SizeEdited()
{
    if (FUpdating) return;
    // A typed size is a paper of one's own: the first entry.
    FUpdating = true;
    if (SizeCB->Items()->Count() > 0) SizeCB->SetItemIndex(0);
    FUpdating = false;
}

bool TfrxPageSettingsForm::CloseQuery()
{
    if (!TForm::CloseQuery()) return false;
    if (ModalResult() != mrOk || !FPage) return true;
    double values[6];
    TEdit* edits[6] = {WidthE, HeightE, MarginLeftE, MarginTopE, MarginRightE, MarginBottomE};
    for (int i = 0; i < 6; ++i) {
        try {
            values[i] = CmTextToMm(edits[i]->Text());
        } catch (const EConvertError& e) {
            frxUtils::ShowErrorBox(e.Message());
            if (edits[i]->CanFocus()) edits[i]->SetFocus();
            return false;
        }
        if (values[i] < 0 || (i < 2 && values[i] <= 0)) {
            frxUtils::ShowErrorBox(frxRes::Resources().Get("prInvProp") + ": " + edits[i]->Text());
            if (edits[i]->CanFocus()) edits[i]->SetFocus();
            return false;
        }
    }
    return true;
}

void TfrxPageSettingsForm::DoHide()
{
    TForm::DoHide();
    if (ModalResult() != mrOk || !FPage) return;
    // The lengths were checked when the dialog closed.
    FPage->SetOrientation(LandscapeRB->Checked() ? frxEnums::poLandscape : frxEnums::poPortrait);
    FPage->SetPaperWidth(CmTextToMm(WidthE->Text()));
    FPage->SetPaperHeight(CmTextToMm(HeightE->Text()));
    TfrxCustomPrinter* printer = Printers().Printer();
    if (printer && SizeCB->ItemIndex() >= 0)
        FPage->SetPaperSize(printer->PaperNumberOf(SizeCB->Items()->Strings(SizeCB->ItemIndex())));
    FPage->LeftMargin = CmTextToMm(MarginLeftE->Text());
    FPage->RightMargin = CmTextToMm(MarginRightE->Text());
    FPage->TopMargin = CmTextToMm(MarginTopE->Text());
    FPage->BottomMargin = CmTextToMm(MarginBottomE->Text());
    FPage->AlignChildren();
}
