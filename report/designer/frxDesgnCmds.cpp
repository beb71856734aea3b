// The commands of the designer window's menus, tool bars and popups.
#include "frxDesgnForm.h"

#include "ActnList.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "Lists.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "frxClass.h"
#include "frxCodeUtils.h"
#include "frxDMPClass.h"
#include "frxDataTree.h"
#include "frxDesgnDebug.h"
#include "frxDsgnIntf.h"
#include "frxRes.h"
#include "frxSyntaxMemo.h"

#include <algorithm>
#include <cmath>

namespace {

std::string Res(const char* key) { return frxRes::Resources().Get(key); }

// Whether the dialog is installed; says so when it is not.
template <class Fn> bool Installed(const Fn& fn)
{
    if (fn) return true;
    ::MessageBox(frxDesgnForm::DialogMissingText, frxRes::Resources().Get("mbInfo"), MB_OK | MB_ICONINFORMATION);
    return false;
}

double Round8(double v) { return std::nearbyint(v * 1e8) / 1e8; }

}  // namespace

// ---- formatting by tag --------------------------------------------------------------------------

void TfrxDesignerForm::ToolButtonClick(TObject* sender)
{
    if (UpdatingControls) return;
    auto* comp = DynamicCast<TComponent>(sender);
    if (!comp) return;
    ApplyTag(int(comp->Tag()), sender);
}

void TfrxDesignerForm::ApplyToObject(int tag, TfrxComponent* c, TObject* control, TFont* dialogFont)
{
    auto* memo = DynamicCast<TfrxCustomMemoView>(c);
    auto* view = DynamicCast<TfrxView>(c);
    auto* rpage = DynamicCast<TfrxReportPage>(c);
    TfrxFrame* frame = view ? view->Frame() : rpage ? rpage->Frame() : nullptr;
    auto* button = DynamicCast<TToolButton>(control);
    auto* combo = DynamicCast<TComboBox>(control);
    const bool down = button && button->Down();
    auto setStyle = [&](int bit) {
        int s = c->Font()->Style();
        c->Font()->SetStyle(down ? (s | bit) : (s & ~bit));
    };
    auto setFrame = [&](TfrxFrameType t) {
        if (!frame) return;
        if (down) frame->Typ.Include(t);
        else frame->Typ.Exclude(t);
    };
    switch (tag) {
    case 0:
        if (combo) c->Font()->SetName(combo->Text());
        break;
    case 1:
        if (combo) c->Font()->SetSize(StrToInt(combo->Text()));
        break;
    case 2: setStyle(TfrxFont::Bold); break;
    case 3: setStyle(TfrxFont::Italic); break;
    case 4: setStyle(TfrxFont::Underline); break;
    case 5: c->Font()->SetColor(LastColor); break;
    case 7: case 8: case 9: case 10:
        if (memo) {
            static const TfrxHAlign h[] = {frxClass::haLeft, frxClass::haCenter, frxClass::haRight, frxClass::haBlock};
            memo->HAlign = h[tag - 7];
        }
        break;
    case 11: case 12: case 13:
        if (memo) {
            static const TfrxVAlign v[] = {frxClass::vaTop, frxClass::vaCenter, frxClass::vaBottom};
            memo->VAlign = v[tag - 11];
        }
        break;
    case 20: setFrame(ftTop); break;
    case 21: setFrame(ftBottom); break;
    case 22: setFrame(ftLeft); break;
    case 23: setFrame(ftRight); break;
    case 24:
        if (frame) frame->Typ = TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
        break;
    case 25:
        if (frame) frame->Typ = TfrxFrameTypes{};
        break;
    case 26:
        if (view) view->Color = LastColor;
        else if (rpage) rpage->SetColor(LastColor);
        break;
    case 27:
        if (frame) frame->Color = LastColor;
        break;
    case 28:
        if (frame) frame->Style = TfrxFrameStyle(LastFrameStyle);
        break;
    case 29:
        if (frame && combo) frame->Width = frxUtils::StrToFloatAnySeparator(combo->Text());
        break;
    case 30:
        if (memo)
            if (auto* mi = DynamicCast<TMenuItem>(control)) memo->SetRotation(StrToIntDef(mi->Hint(), 0));
        break;
    case 31: {
        const double gx = Workspace->GridX, gy = Workspace->GridY;
        double w = std::nearbyint(c->Width() / gx) * gx, h = std::nearbyint(c->Height() / gy) * gy;
        c->SetLeft(std::nearbyint(c->Left() / gx) * gx);
        c->SetTop(std::nearbyint(c->Top() / gy) * gy);
        c->SetWidth(w == 0 ? gx : w);
        c->SetHeight(h == 0 ? gy : h);
        break;
    }
    case 32:
        if (frame) frame->DropShadow = down;
        break;
    case 33:
        if (memo && combo) {
            if (combo->ItemIndex() <= 0) memo->SetStyle(std::string());
            else memo->SetStyle(combo->Text());
        }
        break;
    case 43:
        if (dialogFont) {
            c->Font()->SetName(dialogFont->Name());
            c->Font()->SetSize(dialogFont->Size());
            c->Font()->SetColor(dialogFont->Color());
            int s = 0;
            if (dialogFont->Style().Contains(fsBold)) s |= TfrxFont::Bold;
            if (dialogFont->Style().Contains(fsItalic)) s |= TfrxFont::Italic;
            if (dialogFont->Style().Contains(fsUnderline)) s |= TfrxFont::Underline;
            if (dialogFont->Style().Contains(fsStrikeOut)) s |= TfrxFont::StrikeOut;
            c->Font()->SetStyle(s);
        }
        break;
    default:
        if (tag >= 34 && tag <= 42) {
            auto* mi = DynamicCast<TMenuItem>(control);
            const auto bit = TfrxDMPFontStyle(tag - 34);
            auto flip = [&](TfrxDMPFontStyles st) {
                if (mi && mi->Checked()) st.Exclude(bit);
                else st.Include(bit);
                return st;
            };
            if (auto* dm = DynamicCast<TfrxDMPMemoView>(c)) dm->SetFontStyle(flip(dm->FontStyle()));
            else if (auto* dp = DynamicCast<TfrxDMPPage>(c)) dp->SetFontStyle(flip(dp->FontStyle()));
        }
        break;
    }
    // Explicit formatting replaces the named style.
    if (memo && ((tag >= 0 && tag <= 5) || (tag >= 20 && tag <= 29) || tag == 32)) memo->SetStyle(std::string());
}

void TfrxDesignerForm::ApplyTag(int tag, TObject* control)
{
    if (UpdatingControls) return;
    // A size typed that is no whole number changes nothing: the conversion
    // error is raised before any object is touched.
    if (tag == 1)
        if (auto* combo = DynamicCast<TComboBox>(control)) (void)StrToInt(combo->Text());
    std::unique_ptr<TFont> dialogFont;
    if (tag == 43) {
        TFontDialog dlg(nullptr);
        dlg.Options.Include(fdForceFontExist);
        if (TfrxComponent* first = FirstSelected()) {
            dlg.Font()->SetName(first->Font()->Name());
            dlg.Font()->SetSize(first->Font()->Size());
            dlg.Font()->SetColor(first->Font()->Color());
        }
        if (!dlg.Execute()) return;
        dialogFont = std::make_unique<TFont>();
        dialogFont->Assign(dlg.Font());
    }
    bool any = false;
    for (TfrxComponent* c : Selection()) {
        if (c->Restrictions().Contains(rfDontModify)) continue;
        any = true;
        ApplyToObject(tag, c, control, dialogFont.get());
    }
    if (ScrollBox->CanFocus() && Visible()) ScrollBox->SetFocus();
    if (any) {
        ChangeOrigin = this;
        SetModified(true);
        if (tag == 24 || tag == 25 || (tag >= 34 && tag <= 42)) UpdateControls();
    }
}

void TfrxDesignerForm::ColorSelected(int tag, TColor color)
{
    LastColor = color;
    ApplyTag(tag, nullptr);
}

void TfrxDesignerForm::FrameStyleSelected(int style)
{
    LastFrameStyle = style;
    ApplyTag(28, nullptr);
}

void TfrxDesignerForm::HighlightBClick(TObject*)
{
    auto* first = DynamicCast<TfrxCustomMemoView>(FirstSelected());
    if (!first) return;
    auto& dlg = frxDesgnForm::Dialogs();
    if (!Installed(dlg.Highlight)) return;
    if (!dlg.Highlight(this, first)) return;
    for (TfrxComponent* c : Selection())
        if (auto* m = DynamicCast<TfrxMemoView>(c); m && m != first) m->SetHighlight(first->Highlight());
    SetModified(true);
}

// ---- alignment palette ----------------------------------------------------------------------------

void TfrxDesignerForm::AlignClick(TObject* sender)
{
    auto* comp = DynamicCast<TComponent>(sender);
    if (!comp) return;
    const int cmd = int(comp->Tag());
    std::vector<TfrxComponent*> sel;
    for (TfrxComponent* c : Selection())
        if (c != FPage && c != Report()) sel.push_back(c);
    const size_t need = cmd == 8 || cmd == 9 ? 1 : cmd == 6 || cmd == 7 ? 3 : 2;
    if (sel.size() < need) return;
    TfrxComponent* r = sel.front();
    auto movable = [](TfrxComponent* c) { return !c->Restrictions().Contains(rfDontMove); };
    auto sizable = [](TfrxComponent* c) { return !c->Restrictions().Contains(rfDontSize); };
    auto alignTop = [&](TfrxComponent* o, double extra) {
        const double target = r->AbsTop() + extra;
        if (std::fabs(o->Top() - o->AbsTop()) <= 0.0001) o->SetTop(target);
        else o->SetTop(target - o->AbsTop() + o->Top());
    };
    if (cmd == 6 || cmd == 7) {
        // Spaced by their positions, compared as numbers (negative positions
        // and those beyond four digits included).
        const bool horz = cmd == 6;
        std::vector<TfrxComponent*> sorted = sel;
        std::stable_sort(sorted.begin(), sorted.end(), [horz](TfrxComponent* a, TfrxComponent* b) {
            return std::nearbyint(horz ? a->Left() : a->Top()) < std::nearbyint(horz ? b->Left() : b->Top());
        });
        const double first = horz ? sorted.front()->Left() : sorted.front()->Top();
        const double last = horz ? sorted.back()->Left() : sorted.back()->Top();
        const double step = (last - first) / double(sorted.size() - 1);
        for (size_t i = 1; i + 1 < sorted.size(); ++i) {
            if (!movable(sorted[i])) continue;
            TfrxComponent* prev = sorted[i - 1];
            if (horz) sorted[i]->SetLeft(prev->Left() + step);
            else sorted[i]->SetTop(prev->Top() + step);
        }
    } else if (cmd == 8 || cmd == 9) {
        for (TfrxComponent* o : sel) {
            if (!movable(o) || !o->InheritsFrom(TfrxView::StaticClass())) continue;
            auto* band = DynamicCast<TfrxBand>(o->Parent());
            if (cmd == 8) {
                const double w = band ? band->Width() : Workspace->Width() / Scale;
                o->SetLeft((w - o->Width()) * 0.5);
            } else {
                const double h = band ? band->Height() : Workspace->Height() / Scale;
                o->SetTop((h - o->Height()) * 0.5);
            }
        }
    } else {
        for (size_t i = 1; i < sel.size(); ++i) {
            TfrxComponent* o = sel[i];
            const bool sizeCmd = cmd == 10 || cmd == 11;
            if (sizeCmd ? !sizable(o) : !movable(o)) continue;
            switch (cmd) {
            case 0: o->SetLeft(r->Left()); break;
            case 1: o->SetLeft(r->Width() / 2 + r->Left() - o->Width() / 2); break;
            case 2: o->SetLeft(r->Left() + r->Width() - o->Width()); break;
            case 3: alignTop(o, 0); break;
            case 4: o->SetTop(r->Height() / 2 + r->Top() - o->Height() / 2); break;
            case 5: alignTop(o, r->Height() - o->Height()); break;
            case 10: o->SetWidth(r->Width()); break;
            case 11: o->SetHeight(r->Height()); break;
            }
        }
    }
    SetModified(true);
}

// ---- insertion ----------------------------------------------------------------------------------

void TfrxDesignerForm::SelectTool()
{
    TfrxDesignerToolMode mode = tmSelect;
    if (HandToolB && HandToolB->Down()) mode = tmHand;
    else if (ZoomToolB && ZoomToolB->Down()) mode = tmZoom;
    else if (TextToolB && TextToolB->Down()) mode = tmText;
    else if (FormatToolB && FormatToolB->Down()) mode = tmFormat;
    if (Workspace) {
        Workspace->SetToolMode(mode);
        Workspace->SetInsertion(nullptr, 0, 0, 0);
    }
}

void TfrxDesignerForm::ToolSelected(TObject* sender)
{
    if (auto* b = DynamicCast<TToolButton>(sender)) b->SetDown(true);
    SelectTool();
}

void TfrxDesignerForm::ObjectsButtonClick(TObject* sender)
{
    ObjectSelectB->SetDown(true);
    SelectTool();
    if (!FPage) return;
    auto* comp = DynamicCast<TComponent>(sender);
    if (!comp) return;
    auto& reg = frxDsgnIntf::ObjectRegistry();
    const int index = int(comp->Tag());
    if (index < 0 || index >= reg.Count()) return;
    const TfrxObjectItem& it = reg.GetItem(index);
    if (it.ClassRef) {
        if (auto* b = DynamicCast<TToolButton>(sender)) b->SetDown(true);
        double w = 0, h = 0;
        if (it.ClassRef->InheritsFrom(TfrxDialogComponent::StaticClass())) {
            w = h = 28;
        } else {
            std::unique_ptr<TObject> temp(it.ClassRef->Create(nullptr));
            if (auto* c = DynamicCast<TfrxComponent>(temp.get())) {
                w = c->Width();
                h = c->Height();
            }
        }
        if (w == 0 && h == 0) {
            w = DefaultInsertSize().X;
            h = DefaultInsertSize().Y;
        }
        Workspace->SetInsertion(it.ClassRef, uint16_t(it.Flags), w, h);
        return;
    }
    // A category: its classes in a popup at the button's right edge.
    ObjectsPopup->Items()->Clear();
    const bool dmp = FPage->InheritsFrom(TfrxDMPPage::StaticClass());
    for (int i = 0; i < reg.Count(); ++i) {
        const TfrxObjectItem& e = reg.GetItem(i);
        if (!e.ClassRef || e.CategoryName != it.CategoryName) continue;
        const std::string cls = e.ClassRef->Name;
        if (dmp && cls != "TfrxCrossView" && cls != "TfrxDBCrossView") continue;
        auto* mi = new TMenuItem(this);
        std::string caption = e.ButtonHint.empty() ? std::string() : Res(e.ButtonHint.c_str());
        if (caption.empty()) {
            std::unique_ptr<TObject> temp(e.ClassRef->Create(nullptr));
            if (auto* c = DynamicCast<TfrxComponent>(temp.get())) caption = c->GetDescription();
        }
        mi->SetCaption(caption);
        mi->SetTag(i);
        mi->SetImageIndex(e.ButtonImageIndex);
        mi->OnClick = [this](TObject* s) { ObjectsButtonClick(s); };
        ObjectsPopup->Items()->Add(mi);
    }
    if (auto* ctl = DynamicCast<TControl>(sender)) {
        TPoint p = ctl->ClientToScreen(Point(ctl->Width(), 0));
        ObjectsPopup->Popup(p.X, p.Y);
    }
}

void TfrxDesignerForm::ObjectInserted(TObject*)
{
    const TfrxInsertion ins = Workspace->Insertion();
    auto reset = [this]() {
        Workspace->SetInsertion(nullptr, 0, 0, 0);
        ObjectSelectB->SetDown(true);
        SelectTool();
    };
    if (!IsAllowed(drDontInsertObject) || ins.Top < 0 || !FPage) {
        reset();
        return;
    }
    if (!ins.ComponentClass || (ins.Width == 0 && ins.Height == 0)) return;
    TfrxComponent* c = TfrxComponent::CreateDesigned(ins.ComponentClass, FPage, ins.Flags);
    c->MakeUniqueName();
    c->SetBounds(ins.Left, ins.Top, ins.Width, ins.Height);
    if (c->InheritsFrom(TfrxCustomLineView::StaticClass())) {
        // Lines come several in a row: the tool stays.
        Workspace->SetInsertion(ins.ComponentClass, ins.Flags, ins.DefaultWidth, ins.DefaultHeight);
    } else {
        Workspace->SetInsertion(nullptr, 0, 0, 0);
        if (!TextToolB->Down()) {
            ObjectSelectB->SetDown(true);
            SelectTool();
        }
    }
    if (auto* memo = DynamicCast<TfrxCustomMemoView>(c)) SampleFormat->ApplyTo(memo);
    Objects()->Add(c);
    SelectedObjects()->Clear();
    SelectedObjects()->Add(c);
    if (auto* sub = DynamicCast<TfrxSubreport>(c)) {
        NewPageCmdExecute(this);
        auto* last = DynamicCast<TfrxReportPage>(Report()->PageAt(Report()->PagesCount() - 1));
        sub->SetSubPage(last);
        ReloadPages(Report()->PagesCount() - 1);
    } else {
        SetModified(true);
        if (EditAfterInsert && !DynamicCast<TfrxDialogComponent>(c) &&
            !(GetClass("TfrxDialogControl") && c->InheritsFrom(GetClass("TfrxDialogControl"))))
            EditSelected();
    }
    Workspace->BringToFront();
}

// ---- bands --------------------------------------------------------------------------------------

double TfrxDesignerForm::NewBandTop() const
{
    double m = 0;
    if (FPage)
        for (TfrxComponent* c : FPage->Objects())
            if (c->InheritsFrom(TfrxBand::StaticClass())) m = std::max(m, c->Top() + c->Height());
    const double gy = Workspace->GridY > 0 ? Workspace->GridY : 1;
    return Round8(std::nearbyint((m + Workspace->BandCaptionHeight() + 4) / gy) * gy);
}

void TfrxDesignerForm::BandsPopupOpen()
{
    auto* page = DynamicCast<TfrxReportPage>(FPage);
    for (int i = 0; i < BandsPopup->Items()->Count(); ++i) {
        TMenuItem* mi = BandsPopup->Items()->Items(i);
        const int tag = int(mi->Tag());
        const bool once = tag == 0 || tag == 1 || tag == 2 || tag == 3 || tag == 15 || tag == 16;
        if (mi->Count() > 0) continue;
        mi->SetEnabled(!(once && page && page->FindBand(frxClass::BandClass(tag))));
    }
}

void TfrxDesignerForm::InsertBandClick(TObject* sender)
{
    auto* comp = DynamicCast<TComponent>(sender);
    if (!comp || !FPage) return;
    const int tag = int(comp->Tag());
    TClass cls = frxClass::BandClass(tag % 100);
    if (!cls) return;
    auto* band = static_cast<TfrxBand*>(cls->Create(FPage));
    band->MakeUniqueName();
    band->SetIsDesigning(true);
    const double h = BandSize();
    if (tag >= 100) {
        band->Vertical = true;
        band->SetLeft(h);
        band->SetWidth(h);
    } else {
        band->SetTop(Workspace->FreeBands ? NewBandTop() : 10000);
        band->SetHeight(h);
    }
    Objects()->Add(band);
    // The surface's stacking puts the band in its place.
    Workspace->ArrangeBands();
    SelectedObjects()->Clear();
    SelectedObjects()->Add(band);
    SetModified(true);
    SelectionChanged(this);
    ObjectSelectB->SetDown(true);
    SelectTool();
    if (EditAfterInsert) EditSelected();
}

// ---- pages and reports ----------------------------------------------------------------------------

void TfrxDesignerForm::NewPageCmdExecute(TObject*)
{
    if (!IsAllowed(drDontCreatePage)) return;
    Lock();
    TClass cls = Report()->DotMatrixReport ? TfrxDMPPage::StaticClass() : TfrxReportPage::StaticClass();
    auto* page = static_cast<TfrxReportPage*>(cls->Create(Report()));
    FPage = page;
    page->MakeUniqueName();
    page->SetDefaults();
    ReloadPages(Report()->PagesCount() - 1);
    SetModified(true);
}

void TfrxDesignerForm::NewDialogCmdExecute(TObject*)
{
    if (!IsAllowed(drDontCreatePage)) return;
    Lock();
    auto* page = new TfrxDialogPage(Report());
    page->MakeUniqueName();
    page->SetBounds(265, 150, 300, 200);
    ReloadPages(Report()->PagesCount() - 1);
    SetModified(true);
}

void TfrxDesignerForm::DeletePageCmdExecute(TObject*)
{
    if (!IsAllowed(drDontDeletePage) || !FPage || Report()->PagesCount() <= 1) return;
    TfrxPage* page = FPage;
    Lock();
    if (auto* rp = DynamicCast<TfrxReportPage>(page); rp && rp->SubReport()) delete rp->SubReport();
    delete page;
    ReloadPages(0);
    SetModified(true);
}

void TfrxDesignerForm::NewReportCmdExecute(TObject*)
{
    if (!IsAllowed(drDontCreateReport)) return;
    if (Modified()) {
        const int answer = AskSave();
        if (answer == IDCANCEL) return;
        // Cleared only when the changes were stored (or given up).
        if (answer == IDYES && !SaveReport(false, false)) return;
    }
    ObjectSelectB->SetDown(true);
    SelectTool();
    Lock();
    Report()->Clear();
    Report()->FileName.clear();
    FCodeWindow->SetLines(Report()->ScriptText());
    auto* page = new TfrxReportPage(Report());
    page->SetName("Page1");
    page->SetDefaults();
    const double h = BandSize(), c = Workspace->BandCaptionHeight();
    auto* title = new TfrxReportTitle(page);
    title->SetName("ReportTitle1");
    title->SetTop(c);
    title->SetHeight(h);
    auto* data = new TfrxMasterData(page);
    data->SetName("MasterData1");
    data->SetHeight(h);
    data->SetTop(2 * c + 2 * h);
    auto* footer = new TfrxPageFooter(page);
    footer->SetName("PageFooter1");
    footer->SetHeight(h);
    footer->SetTop(3 * c + 4 * h);
    auto* memo = new TfrxMemoView(footer);
    memo->SetName("Memo1");
    memo->SetBounds((page->PaperWidth() - page->LeftMargin - page->RightMargin - 20) * 3.77953, 0, 75.5906, 18.89765);
    memo->HAlign = frxClass::haRight;
    memo->SetText("[Page#]");
    ReloadPages(0);
    UpdateCaption();
    SetModified(false);
}

void TfrxDesignerForm::NewItemCmdExecute(TObject*)
{
    if (!IsAllowed(drDontCreateReport)) return;
    auto& dlg = frxDesgnForm::Dialogs();
    if (!Installed(dlg.NewItem)) return;
    dlg.NewItem(this);
}

void TfrxDesignerForm::PageSettingsCmdExecute(TObject*)
{
    if (!IsAllowed(drDontChangePageOptions)) return;
    auto* page = DynamicCast<TfrxReportPage>(FPage);
    if (!page || page->SubReport()) return;
    auto& dlg = frxDesgnForm::Dialogs();
    if (!Installed(dlg.PageSettings)) return;
    if (!dlg.PageSettings(this, page)) return;
    SetModified(true);
    UpdatePageDimensions();
}

// ---- files --------------------------------------------------------------------------------------

void TfrxDesignerForm::OpenCmdExecute(TObject* sender)
{
    if (!IsAllowed(drDontLoadReport)) return;
    OpenReport(std::string(), sender == OpenCmd);
}

void TfrxDesignerForm::SaveCmdExecute(TObject* sender)
{
    if (!IsAllowed(drDontSaveReport)) return;
    SaveReport(false, sender == SaveCmd);
}

void TfrxDesignerForm::SaveAsCmdExecute(TObject* sender)
{
    if (!IsAllowed(drDontSaveReport)) return;
    SaveReport(true, sender == SaveAsCmd);
}

void TfrxDesignerForm::PreviewCmdExecute(TObject*)
{
    CopyFromCode();
    Debug->Preview();
}

void TfrxDesignerForm::ExitCmdExecute(TObject*) { Close(); }

// ---- editing ------------------------------------------------------------------------------------

namespace {
int PageIndexOf(TfrxReport* r, TfrxPage* p)
{
    for (int i = 0; p && i < r->PagesCount(); ++i)
        if (r->PageAt(i) == p) return i;
    return -1;
}
}  // namespace

void TfrxDesignerForm::UndoCmdExecute(TObject*)
{
    if (PreviewPageMode()) return;
    if (!FPage) {
        FCodeWindow->Undo();
        return;
    }
    if (UndoBuffer->UndoCount() < 2) return;
    const int index = PageIndexOf(Report(), FPage);
    Lock();
    CopyFromCode();
    UndoBuffer->AddRedo(Report());
    UndoBuffer->GetUndo(Report());
    FCodeWindow->SetLines(Report()->ScriptText());
    ReloadPages(index);
}

void TfrxDesignerForm::RedoCmdExecute(TObject*)
{
    if (PreviewPageMode() || UndoBuffer->RedoCount() == 0) return;
    const int index = PageIndexOf(Report(), FPage);
    Lock();
    UndoBuffer->GetRedo(Report());
    UndoBuffer->AddUndo(Report());
    FCodeWindow->SetLines(Report()->ScriptText());
    ReloadPages(index);
}

void TfrxDesignerForm::CutCmdExecute(TObject*)
{
    if (!FPage) {
        FCodeWindow->CutToClipboard();
        return;
    }
    if (SelectedObjects()->Count() == 0 || FirstSelected() == FPage) return;
    Clipboard->Copy();
    Workspace->DeleteSelection();
    SetModified(true);
}

void TfrxDesignerForm::CopyCmdExecute(TObject*)
{
    if (!FPage) {
        FCodeWindow->CopyToClipboard();
        return;
    }
    if (SelectedObjects()->Count() == 0 || FirstSelected() == FPage) return;
    Clipboard->Copy();
    PasteState();
}

void TfrxDesignerForm::PasteCmdExecute(TObject*)
{
    if (!FPage) {
        FCodeWindow->PasteFromClipboard();
        return;
    }
    if (Clipboard->Paste() == 0) return;
    Workspace->BringToFront();
    SetModified(true);
    SelectionChanged(this);
    if (FirstSelected() != FPage && Workspace->Visible() && Workspace->IsMouseDown()) Workspace->BeginMoveSelection();
}

void TfrxDesignerForm::DeleteCmdExecute(TObject*)
{
    if (!FPage) return;
    Workspace->DeleteSelection();
}

void TfrxDesignerForm::EditCmdExecute(TObject*)
{
    if (FPage) Workspace->EditObject();
}

void TfrxDesignerForm::EditSelected()
{
    TfrxComponent* c = FirstSelected();
    if (!c) return;
    std::unique_ptr<TfrxComponentEditor> ed(
        frxDsgnIntf::ComponentEditorRegistry().GetComponentEditor(c, this, nullptr));
    if (!ed || !ed->HasEditor()) return;
    if (!ed->Edit()) return;
    SetModified(true);
    if (c == FPage) UpdatePageDimensions();
}

void TfrxDesignerForm::SelectAllCmdExecute(TObject*)
{
    if (!FPage) return;
    TfrxComponent* container = FPage;
    if (SelectedObjects()->Count() == 1) {
        TfrxComponent* s = FirstSelected();
        if (s->InheritsFrom(TfrxBand::StaticClass())) container = s;
        else if (s->Parent() && s->Parent()->InheritsFrom(TfrxBand::StaticClass())) container = s->Parent();
    }
    if (container->Objects().empty()) return;
    SelectedObjects()->Clear();
    for (TfrxComponent* c : container->Objects()) SelectedObjects()->Add(c);
    SelectionChanged(this);
}

void TfrxDesignerForm::BringToFrontCmdExecute(TObject*)
{
    for (TfrxComponent* c : Selection()) {
        if (c == FPage || c == Report() || c->Restrictions().Contains(rfDontMove) || !c->Parent()) continue;
        frxDesgnForm::MoveChild(c->Parent(), c, int(c->Parent()->Objects().size()));
    }
    ReloadObjects();
    SetModified(true);
}

void TfrxDesignerForm::SendToBackCmdExecute(TObject*)
{
    for (TfrxComponent* c : Selection()) {
        if (c == FPage || c == Report() || c->Restrictions().Contains(rfDontMove) || !c->Parent()) continue;
        frxDesgnForm::MoveChild(c->Parent(), c, 0);
    }
    ReloadObjects();
    SetModified(true);
}

void TfrxDesignerForm::GroupCmdExecute(TObject*)
{
    if (FPage) Workspace->GroupSelection();
}

void TfrxDesignerForm::UngroupCmdExecute(TObject*)
{
    if (FPage) Workspace->UngroupSelection();
}

void TfrxDesignerForm::PagePopupOpen()
{
    // Items an editor added last time go first.
    const int top = PagePopup->Items()->IndexOf(SepMI12);
    while (PagePopup->Items()->IndexOf(SepMI8) > top + 1) PagePopup->Items()->Delete(top + 1);
    TfrxComponent* c = FirstSelected();
    TPopupMenu temp(nullptr);
    std::unique_ptr<TfrxComponentEditor> ed(
        c ? frxDsgnIntf::ComponentEditorRegistry().GetComponentEditor(c, this, &temp) : nullptr);
    if (ed) ed->FillMenu();
    const bool hasEditor = ed && ed->HasEditor();
    EditMI1->SetEnabled(hasEditor);
    EditMI1->SetDefault(hasEditor);
    SepMI12->SetVisible(temp.Items()->Count() > 0);
    for (int i = 0; i < temp.Items()->Count(); ++i) {
        TMenuItem* src = temp.Items()->Items(i);
        auto* mi = new TMenuItem(this);
        mi->SetCaption(src->Caption());
        mi->SetTag(src->Tag());
        mi->SetChecked(src->Checked());
        mi->OnClick = [this, mi](TObject*) {
            TfrxComponent* first = FirstSelected();
            if (!first) return;
            std::unique_ptr<TfrxComponentEditor> e(
                frxDsgnIntf::ComponentEditorRegistry().GetComponentEditor(first, this, nullptr));
            if (e && e->RunMenuCommand(int(mi->Tag())))
                SetModified(true);
        };
        PagePopup->Items()->Insert(top + 1 + i, mi);
    }
}

// ---- report and view menus ------------------------------------------------------------------------

void TfrxDesignerForm::ReportDataMIClick(TObject*)
{
    if (!IsAllowed(drDontEditReportData)) return;
    auto& dlg = frxDesgnForm::Dialogs();
    if (!Installed(dlg.ReportData)) return;
    if (!dlg.ReportData(this)) return;
    SetModified(true);
    UpdateDataTree();
}

void TfrxDesignerForm::VariablesCmdExecute(TObject*)
{
    if (!IsAllowed(drDontEditVariables)) return;
    auto& dlg = frxDesgnForm::Dialogs();
    if (!Installed(dlg.Variables)) return;
    if (!dlg.Variables(this)) return;
    SetModified(true);
    UpdateDataTree();
}

void TfrxDesignerForm::ReportStylesMIClick(TObject*)
{
    if (!IsAllowed(drDontChangeReportOptions)) return;
    auto& dlg = frxDesgnForm::Dialogs();
    if (!Installed(dlg.Styles)) return;
    if (!dlg.Styles(this)) return;
    SetModified(true);
    Report()->Styles()->ReapplyToReport();
}

void TfrxDesignerForm::ReportSettingsMIClick(TObject*)
{
    if (!IsAllowed(drDontChangeReportOptions)) return;
    auto& dlg = frxDesgnForm::Dialogs();
    if (!Installed(dlg.ReportSettings)) return;
    if (dlg.ReportSettings(this)) SetModified(true);
}

void TfrxDesignerForm::OptionsMIClick(TObject*)
{
    auto& dlg = frxDesgnForm::Dialogs();
    if (!Installed(dlg.Options)) return;
    const int was = Units;
    if (!dlg.Options(this)) return;
    if (Units != was) SavedUnits = Units;
    if (DialogForm) Workspace->GridX = Workspace->GridY = Grid4;
    Workspace->UpdateView();
    Workspace->Invalidate();
    FCodeWindow->Invalidate();
}

void TfrxDesignerForm::TabOrderMIClick(TObject*)
{
    auto& dlg = frxDesgnForm::Dialogs();
    if (!Installed(dlg.TabOrder)) return;
    if (dlg.TabOrder(this)) SetModified(true);
    ReloadObjects();
}

void TfrxDesignerForm::AboutMIClick(TObject*)
{
    auto& dlg = frxDesgnForm::Dialogs();
    if (!Installed(dlg.About)) return;
    dlg.About(this);
}

void TfrxDesignerForm::FindMIClick(TObject*) { Debug->FindMIClick(false); }

void TfrxDesignerForm::ReplaceMIClick(TObject*) { Debug->FindMIClick(true); }

void TfrxDesignerForm::FindNextMIClick(TObject*) { Debug->FindNextMIClick(); }

void TfrxDesignerForm::DeleteGuidesMIClick(TObject*)
{
    auto* page = DynamicCast<TfrxReportPage>(FPage);
    if (!page) return;
    page->ClearGuides();
    Workspace->Invalidate();
    SetModified(true);
}

// ---- scale and script -----------------------------------------------------------------------------

void TfrxDesignerForm::ScaleChosen(const std::string& text, int itemIndex)
{
    auto* page = DynamicCast<TfrxReportPage>(FPage);
    std::string value;
    if (itemIndex == 6 && page) {
        value = IntToStr(int(std::nearbyint((ScrollBox->Width() - 40) / (page->PaperWidth() * 96 / 25.4) * 100)));
    } else if (itemIndex == 7 && page) {
        const double w = ScrollBox->Width() - 20, h = ScrollBox->Height() - 20;
        const double pw = std::nearbyint(page->PaperWidth() * 96 / 25.4);
        const double ph = std::nearbyint(page->PaperHeight() * 96 / 25.4);
        value = IntToStr(int(std::nearbyint(h / ph > w / pw ? w / pw * 100 : h / ph * 100)));
    } else {
        value = text;
    }
    std::string cleaned;
    for (char ch : value)
        if (ch != '%' && ch != ' ') cleaned += ch;
    if (cleaned.empty()) return;
    double v = 0;
    try {
        v = frxUtils::StrToFloatAnySeparator(cleaned);
    } catch (const std::exception&) {
        ScaleCB->SetText(IntToStr(int(std::nearbyint(Scale * 100))) + "%");
        return;
    }
    SetScale(v / 100);
    ScaleCB->SetText(IntToStr(int(std::nearbyint(Scale * 100))) + "%");
    if (ScrollBox->CanFocus() && Visible()) ScrollBox->SetFocus();
}

void TfrxDesignerForm::LanguageChosen(const std::string& language)
{
    if (SameText(language, Report()->ScriptLanguage)) return;
    if (::MessageBox(Res("dsClearScript"), Res("mbConfirm"), MB_YESNO | MB_ICONQUESTION) != IDYES) {
        LangCB->SetItemIndex(LangCB->Items()->IndexOf(Report()->ScriptLanguage));
        return;
    }
    Report()->ScriptLanguage = language;
    TStringList lines;
    frxCodeUtils::GetEmptyScript(&lines, language);
    FCodeWindow->SetLines(&lines);
    UpdateScriptDialogs();
    SetModified(true);
    if (FCodeWindow->CanFocus() && Visible()) FCodeWindow->SetFocus();
}

void TfrxDesignerForm::UpdateScriptDialogs()
{
    const std::string lang = Report()->ScriptLanguage;
    FCodeWindow->SetSyntaxType(lang);
    int index = 5;
    std::string ext;
    if (SameText(lang, "PascalScript")) index = 1, ext = "pas";
    else if (SameText(lang, "C++Script")) index = 2, ext = "cpp";
    else if (SameText(lang, "JScript")) index = 3, ext = "js";
    else if (SameText(lang, "BasicScript")) index = 4, ext = "vb";
    for (TOpenDialog* d : {OpenScriptDialog, static_cast<TOpenDialog*>(SaveScriptDialog)}) {
        d->Filter = "Pascal 文件 (*.pas)|*.pas|C++ 文件 (*.cpp)|*.cpp|JavaScript 文件 (*.js)|*.js|"
                    "Basic 文件 (*.vb)|*.vb|所有文件|*.*";
        d->FilterIndex = index;
        d->DefaultExt = ext;
    }
}

void TfrxDesignerForm::OpenScriptBClick(TObject*)
{
    if (!OpenScriptDialog->Execute()) return;
    TStringList lines;
    lines.LoadFromFile(OpenScriptDialog->FileName);
    FCodeWindow->SetLines(&lines);
    SetModified(true);
}

void TfrxDesignerForm::SaveScriptBClick(TObject*)
{
    if (!SaveScriptDialog->Execute()) return;
    FCodeWindow->GetLines()->SaveToFile(SaveScriptDialog->FileName);
}

void TfrxDesignerForm::CodeModified(TObject*)
{
    // Changes in the code mark the layout changed; the undo snapshot waits
    // until the code page is left.
    TfrxCustomDesigner::SetModified(true);
    SaveCmd->SetEnabled(IsAllowed(drDontSaveReport));
}
