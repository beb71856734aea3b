#include "frxEditOptions.h"

#include "Dialogs.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxCtrls.h"
#include "frxRes.h"
#include "frxUtils.h"

QZ_CLASS_IMPL(TfrxOptionsEditor, TForm)

using frxCtrls::MakeControl;

namespace frxEditOptions {

namespace {
int IntOf(const std::string& text) { return StrToInt(Trim(text)); }
}  // namespace

TfrxDesignerOptions Apply(const TfrxDesignerOptions& base, const TfrxOptionTexts& t, int units)
{
    TfrxDesignerOptions o = base;
    // Every field is read before anything is set.
    const double g4 = frxUtils::StrToFloatAnySeparator(t.Grid4);
    double g1 = base.Grid1, g2 = base.Grid2, g3 = base.Grid3;
    if (base.UnitsEditable) {
        g1 = frxUtils::StrToFloatAnySeparator(t.Grid1);
        g2 = frxUtils::StrToFloatAnySeparator(t.Grid2);
        g3 = frxUtils::StrToFloatAnySeparator(t.Grid3);
    }
    const int gap = IntOf(t.BandsGap);
    const int codeSize = IntOf(t.CodeFontSize);
    const int memoSize = IntOf(t.MemoFontSize);
    o.Grid4 = g4;
    if (base.UnitsEditable) {
        o.Grid1 = g1;
        o.Grid2 = g2;
        o.Grid3 = g3;
        if (units >= 0 && units <= 2) o.Units = units;
    }
    o.BandsGap = gap;
    o.CodeFontSize = codeSize;
    o.MemoFontSize = memoSize;
    return o;
}

bool EditOptions(TComponent* owner, TfrxDesignerOptions& options, std::function<TfrxDesignerOptions()> restoreDefaults)
{
    TfrxOptionsEditor f(owner);
    f.Options = options;
    f.OnRestoreDefaults = std::move(restoreDefaults);
    if (f.ShowModal() != mrOk) return false;
    options = f.Options;
    return true;
}

}  // namespace frxEditOptions

TfrxOptionsEditor::TfrxOptionsEditor(TComponent* owner) : TForm(owner)
{
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(496, 400);
    GridGB = MakeControl<TGroupBox>(this, this, "GridGB", 8, 4, 246, 150);
    CMRB = MakeControl<TRadioButton>(this, GridGB, "CMRB", 10, 22, 90, 17);
    CME = MakeControl<TEdit>(this, GridGB, "CME", 110, 20, 60, 21);
    InchesRB = MakeControl<TRadioButton>(this, GridGB, "InchesRB", 10, 48, 90, 17);
    InchesE = MakeControl<TEdit>(this, GridGB, "InchesE", 110, 46, 60, 21);
    PixelsRB = MakeControl<TRadioButton>(this, GridGB, "PixelsRB", 10, 74, 90, 17);
    PixelsE = MakeControl<TEdit>(this, GridGB, "PixelsE", 110, 72, 60, 21);
    DialogFormL = MakeControl<TLabel>(this, GridGB, "DialogFormL", 10, 102, 96, 16);
    DialogFormE = MakeControl<TEdit>(this, GridGB, "DialogFormE", 110, 98, 60, 21);
    ShowGridCB = MakeControl<TCheckBox>(this, GridGB, "ShowGridCB", 10, 124, 100, 17);
    AlignGridCB = MakeControl<TCheckBox>(this, GridGB, "AlignGridCB", 112, 124, 104, 17);
    FontsGB = MakeControl<TGroupBox>(this, this, "FontsGB", 262, 4, 226, 150);
    CodeWindowL = MakeControl<TLabel>(this, FontsGB, "CodeWindowL", 10, 20, 200, 16);
    CodeWindowFontCB = MakeControl<TComboBox>(this, FontsGB, "CodeWindowFontCB", 10, 38, 120, 21);
    SizeL1 = MakeControl<TLabel>(this, FontsGB, "SizeL1", 136, 42, 36, 16);
    CodeWindowSizeCB = MakeControl<TComboBox>(this, FontsGB, "CodeWindowSizeCB", 172, 38, 46, 21);
    MemoEditorL = MakeControl<TLabel>(this, FontsGB, "MemoEditorL", 10, 66, 200, 16);
    MemoEditorFontCB = MakeControl<TComboBox>(this, FontsGB, "MemoEditorFontCB", 10, 84, 120, 21);
    SizeL2 = MakeControl<TLabel>(this, FontsGB, "SizeL2", 136, 88, 36, 16);
    MemoEditorSizeCB = MakeControl<TComboBox>(this, FontsGB, "MemoEditorSizeCB", 172, 84, 46, 21);
    ObjectFontCB = MakeControl<TCheckBox>(this, FontsGB, "ObjectFontCB", 10, 116, 210, 17);
    for (TComboBox* cb : {CodeWindowSizeCB, MemoEditorSizeCB})
        for (const char* s : {"8", "9", "10", "11", "12", "14"}) cb->Items()->Add(s);
    ColorsGB = MakeControl<TGroupBox>(this, this, "ColorsGB", 8, 160, 246, 196);
    WorkspacePB = MakeControl<TPaintBox>(this, ColorsGB, "WorkspacePB", 10, 22, 22, 162);
    WorkspaceB = MakeControl<TButton>(this, ColorsGB, "WorkspaceB", 38, 22, 76, 25);
    ToolPB = MakeControl<TPaintBox>(this, ColorsGB, "ToolPB", 120, 22, 22, 162);
    ToolB = MakeControl<TButton>(this, ColorsGB, "ToolB", 148, 22, 90, 25);
    LCDCB = MakeControl<TCheckBox>(this, ColorsGB, "LCDCB", 148, 60, 94, 17);
    OtherGB = MakeControl<TGroupBox>(this, this, "OtherGB", 262, 160, 226, 196);
    EditAfterInsCB = MakeControl<TCheckBox>(this, OtherGB, "EditAfterInsCB", 10, 22, 210, 17);
    BandsCaptionsCB = MakeControl<TCheckBox>(this, OtherGB, "BandsCaptionsCB", 10, 46, 210, 17);
    FreeBandsCB = MakeControl<TCheckBox>(this, OtherGB, "FreeBandsCB", 10, 70, 210, 17);
    GapL = MakeControl<TLabel>(this, OtherGB, "GapL", 10, 100, 80, 16);
    GapE = MakeControl<TEdit>(this, OtherGB, "GapE", 96, 96, 50, 21);
    RestoreDefaultsB = MakeControl<TButton>(this, this, "RestoreDefaultsB", 8, 366, 110, 25);
    OKB = MakeControl<TButton>(this, this, "OKB", 332, 366, 75, 25);
    OKB->SetDefault(true);
    OKB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, this, "CancelB", 413, 366, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    ColorDialog = new TColorDialog(this);
    ColorDialog->SetName("ColorDialog");
    frxRes::Resources().LocalizeForm(this);

    auto paint = [](TPaintBox* box, const TColor* color) {
        box->OnPaint = [box, color](TObject*) {
            TCanvas* c = box->Canvas();
            c->Pen()->SetColor(TColor(0x808080));
            c->Brush()->SetColor(*color);
            c->Rectangle(0, 0, 21, 161);
        };
    };
    paint(WorkspacePB, &FWorkspaceColor);
    paint(ToolPB, &FToolsColor);
    WorkspaceB->OnClick = [this](TObject*) { PickColor(FWorkspaceColor, WorkspacePB); };
    ToolB->OnClick = [this](TObject*) { PickColor(FToolsColor, ToolPB); };
    RestoreDefaultsB->OnClick = [this](TObject*) { RestoreDefaults(); };
}

void TfrxOptionsEditor::PickColor(TColor& c, TPaintBox* box)
{
    ColorDialog->Color = c;
    if (!ColorDialog->Execute()) return;
    c = ColorDialog->Color;
    box->Invalidate();
}

void TfrxOptionsEditor::DoShow()
{
    TForm::DoShow();
    const TColorRef face = ColorToRGB(clBtnFace);
    ColorDialog->CustomColors()->Clear();
    ColorDialog->CustomColors()->Add(
        Format("ColorA=%.2x%.2x%.2x", {int(face & 0xFF), int((face >> 8) & 0xFF), int((face >> 16) & 0xFF)}));
    CodeWindowFontCB->Items()->Assign(Screen->Fonts());
    MemoEditorFontCB->Items()->Assign(Screen->Fonts());
    ShowOptions();
}

void TfrxOptionsEditor::ShowOptions()
{
    const TfrxDesignerOptions& o = Options;
    for (TWinControl* c : std::initializer_list<TWinControl*>{CMRB, InchesRB, PixelsRB, CME, InchesE, PixelsE})
        c->SetEnabled(o.UnitsEditable);
    CMRB->SetChecked(o.Units == 0);
    InchesRB->SetChecked(o.Units == 1);
    PixelsRB->SetChecked(o.Units == 2);
    CME->SetText(FloatToStr(o.Grid1));
    InchesE->SetText(FloatToStr(o.Grid2));
    PixelsE->SetText(FloatToStr(o.Grid3));
    DialogFormE->SetText(FloatToStr(o.Grid4));
    ShowGridCB->SetChecked(o.ShowGrid);
    AlignGridCB->SetChecked(o.GridAlign);
    EditAfterInsCB->SetChecked(o.EditAfterInsert);
    BandsCaptionsCB->SetChecked(o.ShowBandCaptions);
    FreeBandsCB->SetChecked(o.FreeBands);
    GapE->SetText(IntToStr(o.BandsGap));
    CodeWindowFontCB->SetText(o.CodeFontName);
    CodeWindowSizeCB->SetText(IntToStr(o.CodeFontSize));
    MemoEditorFontCB->SetText(o.MemoFontName);
    MemoEditorSizeCB->SetText(IntToStr(o.MemoFontSize));
    ObjectFontCB->SetChecked(o.UseObjectFont);
    FWorkspaceColor = o.WorkspaceColor;
    FToolsColor = o.ToolsColor;
    LCDCB->SetChecked(o.GridLCD);
    WorkspacePB->Invalidate();
    ToolPB->Invalidate();
}

TfrxOptionTexts TfrxOptionsEditor::Texts() const
{
    return {CME->Text(), InchesE->Text(), PixelsE->Text(), DialogFormE->Text(), GapE->Text(),
            CodeWindowSizeCB->Text(), MemoEditorSizeCB->Text()};
}

TfrxDesignerOptions TfrxOptionsEditor::Read() const
{
    const int units = CMRB->Checked() ? 0 : InchesRB->Checked() ? 1 : PixelsRB->Checked() ? 2 : -1;
    TfrxDesignerOptions o = frxEditOptions::Apply(Options, Texts(), units);
    o.ShowGrid = ShowGridCB->Checked();
    o.GridAlign = AlignGridCB->Checked();
    o.EditAfterInsert = EditAfterInsCB->Checked();
    o.ShowBandCaptions = BandsCaptionsCB->Checked();
    o.FreeBands = FreeBandsCB->Checked();
    o.CodeFontName = CodeWindowFontCB->Text();
    o.MemoFontName = MemoEditorFontCB->Text();
    o.UseObjectFont = ObjectFontCB->Checked();
    o.WorkspaceColor = FWorkspaceColor;
    o.ToolsColor = FToolsColor;
    o.GridLCD = LCDCB->Checked();
    return o;
}

void TfrxOptionsEditor::RestoreDefaults()
{
    // The dialog ends with the restored options, not with what it showed
    // before the reset.
    if (OnRestoreDefaults) Options = OnRestoreDefaults();
    else Options = TfrxDesignerOptions{};
    ShowOptions();
    FRestored = true;
    SetModalResult(mrOk);
}

bool TfrxOptionsEditor::CloseQuery()
{
    if (!TForm::CloseQuery()) return false;
    if (ModalResult() != mrOk || FRestored) return true;
    try {
        Read();
    } catch (const EConvertError& e) {
        frxUtils::ShowErrorBox(e.Message());
        return false;
    }
    return true;
}

void TfrxOptionsEditor::DoHide()
{
    TForm::DoHide();
    if (ModalResult() != mrOk || FRestored) return;
    Options = Read();
}
