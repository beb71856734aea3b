#include "frxEditPage.h"

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "Lists.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxCtrls.h"
#include "frxCustomDesigner.h"
#include "frxEditUtils.h"
#include "frxPrinter.h"
#include "frxRes.h"
#include "frxUtils.h"

QZ_CLASS_IMPL(TfrxPageEditorForm, TForm)

using frxCtrls::MakeControl;

namespace frxEditPage {

std::vector<double> ColumnPositions(int n, double width, double leftMargin, double rightMargin,
                                    double& columnWidth)
{
    if (n <= 0) n = 1;
    columnWidth = (width - leftMargin - rightMargin) / n;
    std::vector<double> out;
    for (int i = 0; i < n; ++i) out.push_back(i * columnWidth);
    return out;
}

void ApplyValues(const TfrxPageEditValues& v, TfrxReportPage* page)
{
    if (!page) return;
    page->SetOrientation(v.Orientation);
    page->SetPaperWidth(v.PaperWidth);
    page->SetPaperHeight(v.PaperHeight);
    page->SetPaperSize(v.PaperSize);
    page->LeftMargin = v.LeftMargin;
    page->RightMargin = v.RightMargin;
    page->TopMargin = v.TopMargin;
    page->BottomMargin = v.BottomMargin;
    page->Bin = v.Bin;
    page->BinOtherPages = v.BinOtherPages;
    page->SetColumns(v.Columns);
    page->ColumnWidth = v.ColumnWidth;
    page->ColumnPositions()->Clear();
    for (const std::string& p : v.ColumnPositions) page->ColumnPositions()->Add(p);
    page->PrintOnPreviousPage = v.PrintOnPreviousPage;
    page->MirrorMargins = v.MirrorMargins;
    page->LargeDesignHeight = v.LargeDesignHeight;
    page->Duplex = TfrxDuplexMode(v.Duplex);
}

bool EditPage(TComponent* owner, TfrxCustomDesigner* designer)
{
    TfrxPageEditorForm f(owner, designer);
    return f.ShowModal() == mrOk;
}

}  // namespace frxEditPage

namespace {
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
    c->Rectangle(1, 1, w - 1, h - 1);
    c->Pen()->SetColor(clGray);
    for (int y = 6; y < h - 5; y += 5) {
        c->MoveTo(6, y);
        c->LineTo(w - 7, y);
    }
}

TfrxReportPage* DesignedPage(TfrxCustomDesigner* d)
{
    return d ? dynamic_cast<TfrxReportPage*>(d->Page()) : nullptr;
}
}  // namespace

TfrxPageEditorForm::TfrxPageEditorForm(TComponent* owner, TfrxCustomDesigner* designer)
    : TForm(owner), FDesigner(designer)
{
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(440, 360);
    PageControl1 = MakeControl<TPageControl>(this, this, "PageControl1", 4, 4, 432, 316);
    PaperTS = new TTabSheet(this);
    PaperTS->SetName("PaperTS");
    PaperTS->SetPageControl(PageControl1);
    OtherTS = new TTabSheet(this);
    OtherTS->SetName("OtherTS");
    OtherTS->SetPageControl(PageControl1);
    PaperTS->SetCaption("纸张");
    OtherTS->SetCaption("其它");

    PaperL = MakeControl<TGroupBox>(this, PaperTS, "PaperL", 6, 4, 412, 98);
    SizeCB = MakeControl<TComboBox>(this, PaperL, "SizeCB", 10, 20, 390, 21);
    SizeCB->SetStyle(csDropDownList);
    WidthL = MakeControl<TLabel>(this, PaperL, "WidthL", 10, 50, 50, 16);
    WidthE = MakeControl<TEdit>(this, PaperL, "WidthE", 64, 46, 70, 21);
    UnitL1 = MakeControl<TLabel>(this, PaperL, "UnitL1", 140, 50, 40, 16);
    HeightL = MakeControl<TLabel>(this, PaperL, "HeightL", 10, 74, 50, 16);
    HeightE = MakeControl<TEdit>(this, PaperL, "HeightE", 64, 70, 70, 21);
    UnitL2 = MakeControl<TLabel>(this, PaperL, "UnitL2", 140, 74, 40, 16);
    OrientationL = MakeControl<TGroupBox>(this, PaperTS, "OrientationL", 6, 106, 200, 90);
    PortraitRB = MakeControl<TRadioButton>(this, OrientationL, "PortraitRB", 10, 24, 100, 17);
    LandscapeRB = MakeControl<TRadioButton>(this, OrientationL, "LandscapeRB", 10, 56, 100, 17);
    PortraitImg = MakeControl<TImage>(this, OrientationL, "PortraitImg", 140, 22, 36, 48);
    LandscapeImg = MakeControl<TImage>(this, OrientationL, "LandscapeImg", 132, 28, 48, 36);
    DrawSheet(PortraitImg, 36, 48);
    DrawSheet(LandscapeImg, 48, 36);
    MarginsL = MakeControl<TGroupBox>(this, PaperTS, "MarginsL", 212, 106, 206, 90);
    LeftL = MakeControl<TLabel>(this, MarginsL, "LeftL", 8, 28, 20, 16);
    MarginLeftE = MakeControl<TEdit>(this, MarginsL, "MarginLeftE", 28, 24, 44, 21);
    UnitL3 = MakeControl<TLabel>(this, MarginsL, "UnitL3", 76, 28, 26, 16);
    TopL = MakeControl<TLabel>(this, MarginsL, "TopL", 104, 28, 20, 16);
    MarginTopE = MakeControl<TEdit>(this, MarginsL, "MarginTopE", 124, 24, 44, 21);
    UnitL4 = MakeControl<TLabel>(this, MarginsL, "UnitL4", 172, 28, 30, 16);
    RightL = MakeControl<TLabel>(this, MarginsL, "RightL", 8, 60, 20, 16);
    MarginRightE = MakeControl<TEdit>(this, MarginsL, "MarginRightE", 28, 56, 44, 21);
    UnitL5 = MakeControl<TLabel>(this, MarginsL, "UnitL5", 76, 60, 26, 16);
    BottomL = MakeControl<TLabel>(this, MarginsL, "BottomL", 104, 60, 20, 16);
    MarginBottomE = MakeControl<TEdit>(this, MarginsL, "MarginBottomE", 124, 56, 44, 21);
    UnitL6 = MakeControl<TLabel>(this, MarginsL, "UnitL6", 172, 60, 30, 16);
    SourceL = MakeControl<TGroupBox>(this, PaperTS, "SourceL", 6, 200, 412, 82);
    FirstPageL = MakeControl<TLabel>(this, SourceL, "FirstPageL", 10, 24, 80, 16);
    Tray1CB = MakeControl<TComboBox>(this, SourceL, "Tray1CB", 96, 20, 304, 21);
    Tray1CB->SetStyle(csDropDownList);
    OtherPagesL = MakeControl<TLabel>(this, SourceL, "OtherPagesL", 10, 52, 80, 16);
    Tray2CB = MakeControl<TComboBox>(this, SourceL, "Tray2CB", 96, 48, 304, 21);
    Tray2CB->SetStyle(csDropDownList);

    ColumnsL = MakeControl<TGroupBox>(this, OtherTS, "ColumnsL", 6, 4, 412, 150);
    ColumnsNumberL = MakeControl<TLabel>(this, ColumnsL, "ColumnsNumberL", 10, 24, 90, 16);
    ColumnsNumberE = MakeControl<TEdit>(this, ColumnsL, "ColumnsNumberE", 104, 20, 50, 21);
    UpDown1 = MakeControl<TUpDown>(this, ColumnsL, "UpDown1", 154, 20, 16, 21);
    UpDown1->SetAssociate(ColumnsNumberE);
    UpDown1->SetMax(frMaxColumns);
    ColumnWidthL = MakeControl<TLabel>(this, ColumnsL, "ColumnWidthL", 10, 52, 90, 16);
    ColumnWidthE = MakeControl<TEdit>(this, ColumnsL, "ColumnWidthE", 104, 48, 66, 21);
    UnitL7 = MakeControl<TLabel>(this, ColumnsL, "UnitL7", 176, 52, 40, 16);
    ColumnPositionsL = MakeControl<TLabel>(this, ColumnsL, "ColumnPositionsL", 10, 80, 90, 16);
    ColumnPositionsM = MakeControl<TMemo>(this, ColumnsL, "ColumnPositionsM", 104, 76, 120, 64);
    ColumnPositionsM->SetScrollBars(ssVertical);
    OtherL = MakeControl<TGroupBox>(this, OtherTS, "OtherL", 6, 160, 412, 122);
    PrintOnPrevCB = MakeControl<TCheckBox>(this, OtherL, "PrintOnPrevCB", 10, 20, 390, 17);
    MirrorMarginsCB = MakeControl<TCheckBox>(this, OtherL, "MirrorMarginsCB", 10, 42, 390, 17);
    LargeHeightCB = MakeControl<TCheckBox>(this, OtherL, "LargeHeightCB", 10, 64, 390, 17);
    DuplexL = MakeControl<TLabel>(this, OtherL, "DuplexL", 10, 92, 80, 16);
    DuplexCB = MakeControl<TComboBox>(this, OtherL, "DuplexCB", 96, 88, 150, 21);
    DuplexCB->SetStyle(csDropDownList);

    OKB = MakeControl<TButton>(this, this, "OKB", 280, 328, 75, 25);
    OKB->SetDefault(true);
    OKB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, this, "CancelB", 361, 328, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    // Captions the text block leaves out; it names the rest.
    ColumnWidthL->SetCaption("栏宽");
    ColumnPositionsL->SetCaption("栏位置");
    OtherL->SetCaption("其它");
    MirrorMarginsCB->SetCaption("镜像页边距");
    LargeHeightCB->SetCaption("设计时加大高度");
    DuplexL->SetCaption("双面打印");
    for (const char* d : {"无", "垂直", "水平"}) DuplexCB->Items()->Add(d);
    frxRes::Resources().LocalizeForm(this);

    static const char* const unitKeys[] = {"uCm", "uInch", "uPix", "uChar"};
    const int u = FDesigner ? int(FDesigner->Units) : 0;
    const std::string unitText = frxRes::Resources().Get(unitKeys[u >= 0 && u < 4 ? u : 0]);
    for (TLabel* l : {UnitL1, UnitL2, UnitL3, UnitL4, UnitL5, UnitL6, UnitL7}) l->SetCaption(unitText);

    PortraitRB->OnClick = [this](TObject*) { OrientationClick(); };
    LandscapeRB->OnClick = [this](TObject*) { OrientationClick(); };
    SizeCB->OnChange = [this](TObject*) { SizeClick(); };
    WidthE->OnChange = [this](TObject*) { SizeEdited(); };
    HeightE->OnChange = [this](TObject*) { SizeEdited(); };
    UpDown1->OnClick = [this](TObject*, TUDBtnType) { ColumnsChanged(); };
}

std::string TfrxPageEditorForm::Units(double mm, bool horizontal) const
{
    return frxEditUtils::UnitText(frxEditUtils::ToUnits(FDesigner ? int(FDesigner->Units) : 0, mm, horizontal));
}

double TfrxPageEditorForm::Mm(const std::string& text, bool horizontal) const
{
    return frxEditUtils::FromUnits(FDesigner ? int(FDesigner->Units) : 0, frxUtils::StrToFloatAnySeparator(text),
                                    horizontal);
}

void TfrxPageEditorForm::DoShow()
{
    TForm::DoShow();
    TfrxReportPage* page = DesignedPage(FDesigner);
    if (!page) return;
    FUpdating = true;
    TfrxCustomPrinter* printer = Printers().Printer();
    if (printer) {
        printer->Prepare();
        SizeCB->Items()->Assign(printer->Papers());
        int i = printer->IndexOfPaper(page->PaperSize());
        if (i < 0) i = printer->IndexOfPaper(256);
        SizeCB->SetItemIndex(i);
        Tray1CB->Items()->Assign(printer->Bins());
        Tray2CB->Items()->Assign(printer->Bins());
        int b1 = printer->IndexOfBin(page->Bin), b2 = printer->IndexOfBin(page->BinOtherPages);
        Tray1CB->SetItemIndex(b1 >= 0 ? b1 : printer->IndexOfBin(7));
        Tray2CB->SetItemIndex(b2 >= 0 ? b2 : printer->IndexOfBin(7));
    }
    WidthE->SetText(Units(page->PaperWidth(), true));
    HeightE->SetText(Units(page->PaperHeight(), false));
    (page->Orientation() == frxEnums::poLandscape ? LandscapeRB : PortraitRB)->SetChecked(true);
    MarginLeftE->SetText(Units(page->LeftMargin, true));
    MarginTopE->SetText(Units(page->TopMargin, false));
    MarginRightE->SetText(Units(page->RightMargin, true));
    MarginBottomE->SetText(Units(page->BottomMargin, false));
    UpDown1->SetPosition(page->Columns());
    ColumnWidthE->SetText(Units(page->ColumnWidth, true));
    ColumnPositionsM->Lines()->Clear();
    for (int i = 0; i < page->ColumnPositions()->Count(); ++i) {
        double mm = 0;
        std::string s = page->ColumnPositions()->Strings(i);
        try {
            mm = frxUtils::StrToFloatAnySeparator(s);
            s = Units(mm, true);
        } catch (const EConvertError&) {
        }
        ColumnPositionsM->Lines()->Add(s);
    }
    PrintOnPrevCB->SetChecked(page->PrintOnPreviousPage);
    MirrorMarginsCB->SetChecked(page->MirrorMargins);
    LargeHeightCB->SetChecked(page->LargeDesignHeight);
    DuplexCB->SetItemIndex(int(page->Duplex));
    PortraitImg->SetVisible(PortraitRB->Checked());
    LandscapeImg->SetVisible(LandscapeRB->Checked());
    FUpdating = false;
}

void TfrxPageEditorForm::OrientationClick()
{
    PortraitImg->SetVisible(PortraitRB->Checked());
    LandscapeImg->SetVisible(LandscapeRB->Checked());
    SizeClick();
}

void TfrxPageEditorForm::SizeClick()
{
    if (FUpdating) return;
    TfrxCustomPrinter* printer = Printers().Printer();
    if (!printer || SizeCB->ItemIndex() < 0) return;
    FUpdating = true;
    const int paper = printer->PaperNumberOf(SizeCB->Items()->Strings(SizeCB->ItemIndex()));
    const int orientation = LandscapeRB->Checked() ? frxEnums::poLandscape : frxEnums::poPortrait;
    double w = 0, h = 0;
    try {
        w = Mm(WidthE->Text(), true);
        h = Mm(HeightE->Text(), false);
    } catch (const EConvertError&) {
        // A half-typed size: the printer's own size for the paper stands.
        w = printer->PaperWidth;
        h = printer->PaperHeight;
    }
    printer->ApplyViewSettings(paper, orientation, w, h);
    WidthE->SetText(Units(printer->PaperWidth, true));
    HeightE->SetText(Units(printer->PaperHeight, false));
    FUpdating = false;
}

void TfrxPageEditorForm::SizeEdited()
{
    if (FUpdating) return;
    FUpdating = true;
    if (SizeCB->Items()->Count() > 0) SizeCB->SetItemIndex(0);
    FUpdating = false;
}

void TfrxPageEditorForm::ColumnsChanged()
{
    double width = 0, left = 0, right = 0;
    try {
        width = frxUtils::StrToFloatAnySeparator(WidthE->Text());
        left = frxUtils::StrToFloatAnySeparator(MarginLeftE->Text());
        right = frxUtils::StrToFloatAnySeparator(MarginRightE->Text());
    } catch (const EConvertError&) {
        return;
    }
    double colWidth = 0;
    const auto positions = frxEditPage::ColumnPositions(UpDown1->Position(), width, left, right, colWidth);
    ColumnWidthE->SetText(frxEditUtils::UnitText(colWidth));
    ColumnPositionsM->Lines()->Clear();
    for (double p : positions) ColumnPositionsM->Lines()->Add(frxEditUtils::UnitText(p));
}

TfrxPageEditValues TfrxPageEditorForm::ReadValues() const
{
    TfrxPageEditValues v;
    TfrxCustomPrinter* printer = Printers().Printer();
    v.Orientation = LandscapeRB->Checked() ? frxEnums::poLandscape : frxEnums::poPortrait;
    v.PaperWidth = Mm(WidthE->Text(), true);
    v.PaperHeight = Mm(HeightE->Text(), false);
    if (printer && SizeCB->ItemIndex() >= 0)
        v.PaperSize = printer->PaperNumberOf(SizeCB->Items()->Strings(SizeCB->ItemIndex()));
    v.LeftMargin = Mm(MarginLeftE->Text(), true);
    v.RightMargin = Mm(MarginRightE->Text(), true);
    v.TopMargin = Mm(MarginTopE->Text(), false);
    v.BottomMargin = Mm(MarginBottomE->Text(), false);
    if (printer && Tray1CB->ItemIndex() >= 0) v.Bin = printer->BinNumberOf(Tray1CB->Text());
    if (printer && Tray2CB->ItemIndex() >= 0) v.BinOtherPages = printer->BinNumberOf(Tray2CB->Text());
    v.Columns = StrToInt(Trim(ColumnsNumberE->Text()));
    v.ColumnWidth = Mm(ColumnWidthE->Text(), true);
    for (int i = 0; i < ColumnPositionsM->Lines()->Count(); ++i) {
        const std::string line = Trim(ColumnPositionsM->Lines()->Strings(i));
        if (line.empty()) continue;
        v.ColumnPositions.push_back(Format("%2.2f", {Mm(line, true)}));
    }
    v.PrintOnPreviousPage = PrintOnPrevCB->Checked();
    v.MirrorMargins = MirrorMarginsCB->Checked();
    v.LargeDesignHeight = LargeHeightCB->Checked();
    v.Duplex = DuplexCB->ItemIndex() < 0 ? 0 : DuplexCB->ItemIndex();
    return v;
}

bool TfrxPageEditorForm::CloseQuery()
{
    if (!TForm::CloseQuery()) return false;
    if (ModalResult() != mrOk) return true;
    try {
        ReadValues();
    } catch (const EConvertError& e) {
        // Nothing is applied until every field reads.
        frxUtils::ShowErrorBox(e.Message());
        return false;
    }
    return true;
}

void TfrxPageEditorForm::DoHide()
{
    TForm::DoHide();
    if (ModalResult() != mrOk) return;
    TfrxReportPage* page = DesignedPage(FDesigner);
    if (!page) return;
    const TfrxPageEditValues v = ReadValues();
    frxEditPage::ApplyValues(v, page);
    for (TfrxComponent* c : page->AllObjects())
        if (auto* sub = dynamic_cast<TfrxSubreport*>(c)) frxEditPage::ApplyValues(v, sub->SubPage());
}
