#include "frxEditReport.h"

#include "ComCtrls.h"
#include "DateUtils.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxCtrls.h"
#include "frxEditPicture.h"
#include "frxGraphicData.h"
#include "frxPrinter.h"
#include "frxRes.h"
#include "frxUtils.h"

QZ_CLASS_IMPL(TfrxReportEditorForm, TForm)

using frxCtrls::MakeControl;

namespace frxEditReport {
bool EditReportSettings(TComponent* owner, TfrxReport* report)
{
    TfrxReportEditorForm f(owner, report);
    return f.ShowModal() == mrOk;
}
}  // namespace frxEditReport

namespace {
// The printer icon the list draws before each entry.
void DrawPrinter(TCanvas* c, int x, int y)
{
    c->Pen()->SetColor(clGray);
    c->Brush()->SetColor(clWhite);
    c->Rectangle(x + 4, y, x + 12, y + 6);
    c->Brush()->SetColor(clSilver);
    c->Rectangle(x + 1, y + 5, x + 15, y + 12);
    c->Brush()->SetColor(clLime);
    c->FillRect(TRect{x + 11, y + 7, x + 13, y + 9});
}
}  // namespace

TfrxReportEditorForm::TfrxReportEditorForm(TComponent* owner, TfrxReport* report)
    : TForm(owner), FReport(report), FPicture(std::make_unique<TfrxPicture>())
{
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(420, 380);
    PageControl = MakeControl<TPageControl>(this, this, "PageControl", 4, 4, 412, 336);
    GeneralTS = new TTabSheet(this);
    GeneralTS->SetName("GeneralTS");
    GeneralTS->SetPageControl(PageControl);
    DescriptionTS = new TTabSheet(this);
    DescriptionTS->SetName("DescriptionTS");
    DescriptionTS->SetPageControl(PageControl);
    PrintersLB = MakeControl<TListBox>(this, GeneralTS, "PrintersLB", 8, 8, 390, 150);
    PrintersLB->SetStyle(lbOwnerDrawFixed);
    PrintersLB->SetItemHeight(18);
    CopiesL = MakeControl<TLabel>(this, GeneralTS, "CopiesL", 8, 172, 60, 16);
    CopiesE = MakeControl<TEdit>(this, GeneralTS, "CopiesE", 76, 168, 50, 21);
    CollateCB = MakeControl<TCheckBox>(this, GeneralTS, "CollateCB", 140, 170, 200, 17);
    DoublePassCB = MakeControl<TCheckBox>(this, GeneralTS, "DoublePassCB", 8, 204, 200, 17);
    PrintIfEmptyCB = MakeControl<TCheckBox>(this, GeneralTS, "PrintIfEmptyCB", 8, 228, 200, 17);
    PasswordL = MakeControl<TLabel>(this, GeneralTS, "PasswordL", 8, 262, 60, 16);
    PasswordE = MakeControl<TEdit>(this, GeneralTS, "PasswordE", 76, 258, 150, 21);
    NameL = MakeControl<TLabel>(this, DescriptionTS, "NameL", 8, 12, 60, 16);
    NameE = MakeControl<TEdit>(this, DescriptionTS, "NameE", 76, 8, 320, 21);
    AuthorL = MakeControl<TLabel>(this, DescriptionTS, "AuthorL", 8, 40, 60, 16);
    AuthorE = MakeControl<TEdit>(this, DescriptionTS, "AuthorE", 76, 36, 320, 21);
    Description1L = MakeControl<TLabel>(this, DescriptionTS, "Description1L", 8, 68, 60, 16);
    DescriptionE = MakeControl<TMemo>(this, DescriptionTS, "DescriptionE", 76, 64, 320, 70);
    PictureL = MakeControl<TLabel>(this, DescriptionTS, "PictureL", 8, 146, 60, 16);
    PictureImg = MakeControl<TImage>(this, DescriptionTS, "PictureImg", 76, 142, 64, 64);
    PictureImg->SetCenter(true);
    PictureB = MakeControl<TButton>(this, DescriptionTS, "PictureB", 150, 142, 75, 25);
    MajorL = MakeControl<TLabel>(this, DescriptionTS, "MajorL", 8, 222, 50, 16);
    MajorE = MakeControl<TEdit>(this, DescriptionTS, "MajorE", 8, 240, 60, 21);
    MinorL = MakeControl<TLabel>(this, DescriptionTS, "MinorL", 84, 222, 50, 16);
    MinorE = MakeControl<TEdit>(this, DescriptionTS, "MinorE", 84, 240, 60, 21);
    ReleaseL = MakeControl<TLabel>(this, DescriptionTS, "ReleaseL", 160, 222, 50, 16);
    ReleaseE = MakeControl<TEdit>(this, DescriptionTS, "ReleaseE", 160, 240, 60, 21);
    BuildL = MakeControl<TLabel>(this, DescriptionTS, "BuildL", 236, 222, 50, 16);
    BuildE = MakeControl<TEdit>(this, DescriptionTS, "BuildE", 236, 240, 60, 21);
    CreatedL = MakeControl<TLabel>(this, DescriptionTS, "CreatedL", 8, 274, 70, 16);
    Created1L = MakeControl<TLabel>(this, DescriptionTS, "Created1L", 84, 274, 200, 16);
    ModifiedL = MakeControl<TLabel>(this, DescriptionTS, "ModifiedL", 8, 294, 70, 16);
    Modified1L = MakeControl<TLabel>(this, DescriptionTS, "Modified1L", 84, 294, 200, 16);
    OKB = MakeControl<TButton>(this, this, "OKB", 260, 348, 75, 25);
    OKB->SetDefault(true);
    OKB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, this, "CancelB", 341, 348, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    GeneralTS->SetCaption("一般");
    DescriptionTS->SetCaption("描述");
    frxRes::Resources().LocalizeForm(this);

    PrintersLB->OnDrawItem = [this](TWinControl*, int index, TRect r, TOwnerDrawState) {
        TCanvas* c = PrintersLB->Canvas();
        c->FillRect(r);
        DrawPrinter(c, r.Left + 2, r.Top + 3);
        std::string text = PrintersLB->Items()->Strings(index);
        if (index > 0) {
            const int i = Printers().IndexOf(text);
            TfrxCustomPrinter* p = i >= 0 ? Printers().Items(i) : nullptr;
            if (p && !p->Port().empty()) text += " " + frxRes::Resources().Get("rePrnOnPort") + " " + p->Port();
        }
        c->TextOut(r.Left + 24, r.Top + 1, text);
    };
    PictureB->OnClick = [this](TObject*) {
        if (frxEditPicture::EditPicture(this, FPicture.get())) ShowPicture();
    };
}

TfrxReportEditorForm::~TfrxReportEditorForm() = default;

void TfrxReportEditorForm::ShowPicture()
{
    PictureImg->Picture()->SetGraphic(nullptr);
    if (auto g = frxEditPicture::GraphicOf(FPicture.get())) PictureImg->Picture()->SetGraphic(g.get());
    PictureImg->SetStretch(FPicture->Width() > PictureImg->Width() || FPicture->Height() > PictureImg->Height());
    PictureImg->SetProportional(true);
}

void TfrxReportEditorForm::DoShow()
{
    TForm::DoShow();
    if (!FReport) return;
    PrintersLB->Items()->Clear();
    PrintersLB->Items()->Add(frxRes::Resources().Get("prDefault"));
    for (int i = 0; i < Printers().Count(); ++i) PrintersLB->Items()->Add(Printers().Items(i)->Name());
    PrintersLB->SetItemIndex(PrintersLB->Items()->IndexOf(FReport->PrintOptions()->Printer));
    CollateCB->SetChecked(FReport->PrintOptions()->Collate);
    CopiesE->SetText(IntToStr(FReport->PrintOptions()->Copies));
    DoublePassCB->SetChecked(FReport->EngineOptions()->DoublePass);
    PrintIfEmptyCB->SetChecked(FReport->EngineOptions()->PrintIfEmpty);
    TfrxReportOptions* o = FReport->ReportOptions();
    PasswordE->SetText(o->Password);
    NameE->SetText(o->Name);
    AuthorE->SetText(o->Author);
    DescriptionE->Lines()->Assign(o->Description());
    FPicture->Assign(o->Picture());
    ShowPicture();
    MajorE->SetText(o->VersionMajor);
    MinorE->SetText(o->VersionMinor);
    ReleaseE->SetText(o->VersionRelease);
    BuildE->SetText(o->VersionBuild);
    Created1L->SetCaption(FormatDateTime("yyyy-mm-dd hh:nn:ss", o->CreateDate));
    Modified1L->SetCaption(FormatDateTime("yyyy-mm-dd hh:nn:ss", o->LastChange));
}

bool TfrxReportEditorForm::CloseQuery()
{
    if (!TForm::CloseQuery()) return false;
    if (ModalResult() != mrOk) return true;
    try {
        StrToInt(Trim(CopiesE->Text()));
    } catch (const EConvertError& e) {
        frxUtils::ShowErrorBox(e.Message());
        PageControl->SetActivePage(GeneralTS);
        if (CopiesE->CanFocus()) CopiesE->SetFocus();
        return false;
    }
    return true;
}

void TfrxReportEditorForm::DoHide()
{
    TForm::DoHide();
    if (ModalResult() != mrOk || !FReport) return;
    // Checked when the dialog closed; from here on nothing can fail.
    const int copies = StrToInt(Trim(CopiesE->Text()));
    if (PrintersLB->ItemIndex() >= 0) {
        const std::string printer = PrintersLB->Items()->Strings(PrintersLB->ItemIndex());
        FReport->PrintOptions()->Printer = printer;
        const int i = Printers().IndexOf(printer);
        if (i >= 0) Printers().SetPrinterIndex(i);
    }
    FReport->PrintOptions()->Collate = CollateCB->Checked();
    FReport->PrintOptions()->Copies = copies;
    FReport->EngineOptions()->DoublePass = DoublePassCB->Checked();
    FReport->EngineOptions()->PrintIfEmpty = PrintIfEmptyCB->Checked();
    TfrxReportOptions* o = FReport->ReportOptions();
    o->Password = PasswordE->Text();
    o->Name = NameE->Text();
    o->Author = AuthorE->Text();
    o->Description()->Assign(DescriptionE->Lines());
    o->SetPicture(FPicture.get());
    o->VersionMajor = MajorE->Text();
    o->VersionMinor = MinorE->Text();
    o->VersionRelease = ReleaseE->Text();
    o->VersionBuild = BuildE->Text();
}
