#include "frxEditorDialogs.h"

#include "Graphics.h"
#include "frxClass.h"
#include "StringLists.h"
#include "frxAbout.h"
#include "frxBarcodeEditor.h"
#include "frxDesgnEditors.h"
#include "frxDesgnForm.h"
#include "frxDesgnWorkspace.h"
#include "frxEditDataBand.h"
#include "frxEditExpr.h"
#include "frxEditFormat.h"
#include "frxEditFrame.h"
#include "frxEditGroup.h"
#include "frxEditHighlight.h"
#include "frxEditOptions.h"
#include "frxEditMemo.h"
#include "frxEditPage.h"
#include "frxEditPicture.h"
#include "frxEditReport.h"
#include "frxEditReportData.h"
#include "frxEditStrings.h"
#include "frxEditStyle.h"
#include "frxEditSysMemo.h"
#include "frxEditTabOrder.h"
#include "frxEditVar.h"
#include "frxSyntaxMemo.h"

namespace frxEditorDialogs {

TfrxDesignerOptions OptionsOf(TfrxDesignerForm* f)
{
    TfrxDesignerOptions o;
    o.Units = f->SavedUnits;
    o.Grid1 = f->Grid1;
    o.Grid2 = f->Grid2;
    o.Grid3 = f->Grid3;
    o.Grid4 = f->Grid4;
    o.ShowGrid = f->ShowGrid;
    o.GridAlign = f->GridAlign;
    o.EditAfterInsert = f->EditAfterInsert;
    o.MemoFontName = f->MemoFontName;
    o.MemoFontSize = f->MemoFontSize;
    o.UseObjectFont = f->UseObjectFont;
    o.WorkspaceColor = f->WorkspaceColor;
    o.ToolsColor = f->ToolsColor;
    if (TfrxSyntaxMemo* code = f->CodeWindow()) {
        o.CodeFontName = code->Font()->Name();
        o.CodeFontSize = code->Font()->Size();
    }
    if (auto* ws = f->Workspace) {
        o.ShowBandCaptions = ws->ShowBandCaptions();
        o.FreeBands = ws->FreeBands;
        o.BandsGap = ws->BandsGap;
        o.GridLCD = ws->GridLCD;
        o.UnitsEditable = ws->GridType() != gtDialog && ws->GridType() != gtChar;
    }
    return o;
}

void ApplyOptions(TfrxDesignerForm* f, const TfrxDesignerOptions& o)
{
    f->Grid4 = o.Grid4;
    if (o.UnitsEditable) {
        f->Grid1 = o.Grid1;
        f->Grid2 = o.Grid2;
        f->Grid3 = o.Grid3;
        f->SetUnits(o.Units);
    }
    f->SetShowGrid(o.ShowGrid);
    f->SetGridAlign(o.GridAlign);
    f->EditAfterInsert = o.EditAfterInsert;
    if (auto* ws = f->Workspace) {
        ws->SetShowBandCaptions(o.ShowBandCaptions);
        ws->FreeBands = o.FreeBands;
        ws->BandsGap = o.BandsGap;
        ws->GridLCD = o.GridLCD;
    }
    if (TfrxSyntaxMemo* code = f->CodeWindow()) {
        code->Font()->SetName(o.CodeFontName);
        code->Font()->SetSize(o.CodeFontSize);
    }
    f->MemoFontName = o.MemoFontName;
    f->MemoFontSize = o.MemoFontSize;
    f->UseObjectFont = o.UseObjectFont;
    f->SetWorkspaceColor(o.WorkspaceColor);
    f->SetToolsColor(o.ToolsColor);
}

void Initialize()
{
    namespace ef = frxEditorForms;
    ef::MemoEditor = [](TfrxCustomDesigner* d, TfrxCustomMemoView* m, std::string& text) {
        TfrxMemoEditorForm f(d, d);
        f.MemoView = m;
        if (f.ShowModal() != mrOk) return false;
        text = f.Memo->Text();
        return true;
    };
    ef::SysMemoEditor = [](TfrxCustomDesigner* d, std::string& text) {
        return frxEditSysMemo::EditSysText(d, d, text);
    };
    ef::PictureEditor = [](TfrxCustomDesigner* d, TfrxPicture* p) { return frxEditPicture::EditPicture(d, p); };
    ef::PageEditor = [](TfrxCustomDesigner* d, TfrxReportPage*) { return frxEditPage::EditPage(d, d); };
    ef::DataBandEditor = [](TfrxCustomDesigner* d, TfrxDataBand* b) {
        return frxEditDataBand::EditDataBand(d, d->Report(), b);
    };
    ef::GroupEditor = [](TfrxCustomDesigner* d, TfrxGroupHeader* g) { return frxEditGroup::EditGroup(d, d, g); };
    ef::FrameEditor = [](TfrxCustomDesigner* d, TfrxFrame* fr) { return frxEditFrame::EditFrame(d, fr); };
    ef::StringsEditor = [](TfrxCustomDesigner* d, TStrings* l) { return frxEditStrings::EditStrings(d, l); };
    ef::FormatEditor = [](TfrxCustomDesigner* d, TfrxFormat* fm) { return frxEditFormat::EditFormat(d, fm); };

    frxBarcodeEditor::Initialize();
    auto& d = frxDesgnForm::Dialogs();
    d.About = [](TfrxDesignerForm* f) { frxAbout::ShowAbout(f); };
    d.PageSettings = [](TfrxDesignerForm* f, TfrxReportPage*) { return frxEditPage::EditPage(f, f); };
    d.ReportData = [](TfrxDesignerForm* f) { return frxEditReportData::EditReportData(f, f->Report()); };
    d.Variables = [](TfrxDesignerForm* f) { return frxEditVar::EditVariables(f); };
    d.Styles = [](TfrxDesignerForm* f) { return frxEditStyle::EditStyles(f, f->Report()); };
    d.ReportSettings = [](TfrxDesignerForm* f) { return frxEditReport::EditReportSettings(f, f->Report()); };
    d.TabOrder = [](TfrxDesignerForm* f) { return frxEditTabOrder::EditTabOrder(f, f); };
    d.Highlight = [](TfrxDesignerForm* f, TfrxCustomMemoView* m) { return frxEditHighlight::EditHighlight(f, f, m); };
    d.Expression = [](TfrxDesignerForm* f, std::string& text) {
        TfrxExprEditorForm dlg(f);
        dlg.ExprMemo->SetText(text);
        if (dlg.ShowModal() != mrOk) return false;
        text = dlg.ExprMemo->Text();
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        return true;
    };
    d.Options = [](TfrxDesignerForm* f) {
        TfrxDesignerOptions o = OptionsOf(f);
        auto restore = [f] {
            f->RestoreSettings(true);
            return OptionsOf(f);
        };
        if (!frxEditOptions::EditOptions(f, o, restore)) return false;
        ApplyOptions(f, o);
        return true;
    };
}

void Finalize()
{
    namespace ef = frxEditorForms;
    ef::MemoEditor = nullptr;
    ef::SysMemoEditor = nullptr;
    ef::PictureEditor = nullptr;
    ef::PageEditor = nullptr;
    ef::DataBandEditor = nullptr;
    ef::GroupEditor = nullptr;
    ef::FrameEditor = nullptr;
    ef::StringsEditor = nullptr;
    ef::FormatEditor = nullptr;
    frxBarcodeEditor::Initialize();
    auto& d = frxDesgnForm::Dialogs();
    d.About = [](TfrxDesignerForm* f) { frxAbout::ShowAbout(f); };
    d.PageSettings = nullptr;
    d.ReportData = nullptr;
    d.Variables = nullptr;
    d.Styles = nullptr;
    d.ReportSettings = nullptr;
    d.TabOrder = nullptr;
    d.Highlight = nullptr;
    d.Expression = nullptr;
    d.Options = nullptr;
    d.About = nullptr;
}

}  // namespace frxEditorDialogs
