#include "Dialogs.h"
#include "QzPropsPrivate.h"
#include "QzGuiPrivate.h"
#include "Forms.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace qzgui;

QZ_CLASS_IMPL(TCommonDialog, TComponent)
QZ_CLASS_IMPL_PROPS(TOpenDialog, TCommonDialog, qzgui::DefineOpenDialogProps)
QZ_CLASS_IMPL(TSaveDialog, TOpenDialog)
QZ_CLASS_IMPL_PROPS(TFontDialog, TCommonDialog, qzgui::DefineFontDialogProps)
QZ_CLASS_IMPL_PROPS(TColorDialog, TCommonDialog, qzgui::DefineColorDialogProps)
QZ_CLASS_IMPL(TOpenPictureDialog, TOpenDialog)
QZ_CLASS_IMPL(TSavePictureDialog, TSaveDialog)
QZ_CLASS_IMPL(TFindDialog, TCommonDialog)
QZ_CLASS_IMPL(TReplaceDialog, TFindDialog)

TOpenDialog::TOpenDialog(TComponent* owner) : TCommonDialog(owner), FFiles(std::make_unique<TStringList>()) {}
TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute()
{
    TFileDialogRequest req;
    req.Title = Title;
    req.Filter = Filter;
    req.FilterIndex = FilterIndex;
    req.DefaultExt = DefaultExt;
    req.InitialDir = InitialDir;
    req.FileName = FileName;
    req.Options = Options;
    TFileDialogResult res;
    if (OnShow) OnShow(this);
    bool ok = IsSave() ? HostServices().SaveFileDialog(req, res) : HostServices().OpenFileDialog(req, res);
    if (OnClose) OnClose(this);
    if (!ok || res.Files.empty()) return false;
    if (IsSave() && !DefaultExt.empty()) {
        // A name typed without an extension gets the default one.
        std::string& f = res.Files.front();
        size_t slash = f.find_last_of('/');
        size_t dot = f.find_last_of('.');
        if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
            f += (DefaultExt.front() == '.' ? "" : ".") + DefaultExt;
    }
    FFiles->Clear();
    for (auto& f : res.Files) FFiles->Add(f);
    FileName = res.Files.front();
    FilterIndex = res.FilterIndex;
    return true;
}

TFontDialog::TFontDialog(TComponent* owner) : TCommonDialog(owner), FFont(std::make_unique<TFont>()) {}
TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute()
{
    TFontDialogData d;
    d.Name = FFont->Name();
    d.Size = FFont->Size();
    d.Bold = FFont->Style().Contains(fsBold);
    d.Italic = FFont->Style().Contains(fsItalic);
    d.Underline = FFont->Style().Contains(fsUnderline);
    d.StrikeOut = FFont->Style().Contains(fsStrikeOut);
    d.Color = ColorToRGB(FFont->Color());
    d.Effects = Options.Contains(fdEffects);
    d.ExistingOnly = Options.Contains(fdForceFontExist);
    if (Options.Contains(fdLimitSize)) {
        d.MinSize = MinFontSize;
        d.MaxSize = MaxFontSize;
    }
    if (OnShow) OnShow(this);
    bool ok = HostServices().FontDialog(d);
    if (OnClose) OnClose(this);
    if (!ok) return false;
    // Only fonts that exist, when asked: the choice is checked against the installed ones.
    if (Options.Contains(fdForceFontExist) && Screen && Screen->Fonts()->IndexOf(d.Name) < 0) return false;
    if (Options.Contains(fdLimitSize) && MaxFontSize > 0) d.Size = std::clamp(d.Size, MinFontSize, MaxFontSize);
    if (d.Name.empty() || d.Size <= 0) return false;
    FFont->SetName(d.Name);
    FFont->SetSize(d.Size);
    TFontStyles st;
    if (d.Bold) st.Include(fsBold);
    if (d.Italic) st.Include(fsItalic);
    if (d.Underline) st.Include(fsUnderline);
    if (d.StrikeOut) st.Include(fsStrikeOut);
    FFont->SetStyle(st);
    if (d.Effects) FFont->SetColor(TColor(d.Color & 0xFFFFFF));
    return true;
}

TColorDialog::TColorDialog(TComponent* owner) : TCommonDialog(owner), FCustom(std::make_unique<TStringList>()) {}
TColorDialog::~TColorDialog() = default;

bool TColorDialog::Execute()
{
    TColorDialogData d;
    d.Color = ColorToRGB(Color);
    // Custom colours are kept as "ColorA=RRGGBB" … "ColorP=…", as the platform's dialog keeps them.
    for (int i = 0; i < FCustom->Count() && i < 16; ++i) {
        std::string v = FCustom->ValueFromIndex(i);
        char* end = nullptr;
        unsigned long c = std::strtoul(v.c_str(), &end, 16);
        if (!v.empty() && end && *end == 0) d.CustomColors.push_back(uint32_t(c) & 0xFFFFFF);
    }
    if (OnShow) OnShow(this);
    bool ok = HostServices().ColorDialog(d);
    if (OnClose) OnClose(this);
    if (!ok) return false;
    Color = TColor(d.Color & 0xFFFFFF);
    FCustom->Clear();
    for (size_t i = 0; i < d.CustomColors.size() && i < 16; ++i) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%06X", unsigned(d.CustomColors[i] & 0xFFFFFF));
        FCustom->Add(std::string("Color") + char('A' + i) + "=" + buf);
    }
    return true;
}

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner) : TOpenDialog(owner)
{
    Filter = GraphicFilter(nullptr);
}

TSavePictureDialog::TSavePictureDialog(TComponent* owner) : TSaveDialog(owner)
{
    Filter = GraphicFilter(nullptr);
}

// ---- find and replace ---------------------------------------------------------------------

namespace {
// The dialog whose host dialog is up (one at a time, as the host shows one).
TFindDialog* ShownFind = nullptr;
}

TFindDialog::~TFindDialog()
{
    if (FShowing) CloseDialog();
}

bool TFindDialog::Execute()
{
    if (FShowing) return true;
    if (ShownFind && ShownFind != this) ShownFind->CloseDialog();
    TFindDialogData d;
    d.FindText = FindText;
    d.Replace = IsReplace();
    if (auto* r = DynamicCast<TReplaceDialog>(this)) d.ReplaceText = r->ReplaceText;
    d.Down = Options.Contains(frDown);
    d.MatchCase = Options.Contains(frMatchCase);
    d.WholeWord = Options.Contains(frWholeWord);
    d.HideUpDown = Options.Contains(frHideUpDown);
    d.HideMatchCase = Options.Contains(frHideMatchCase);
    d.HideWholeWord = Options.Contains(frHideWholeWord);
    d.DisableUpDown = Options.Contains(frDisableUpDown);
    d.DisableMatchCase = Options.Contains(frDisableMatchCase);
    d.DisableWholeWord = Options.Contains(frDisableWholeWord);
    FShowing = true;
    ShownFind = this;
    if (OnShow) OnShow(this);
    TWeakRef<TFindDialog> guard(this);
    bool ok = HostServices().ShowFindDialog(d, [guard](TFindRequest rq, const TFindDialogData& data) {
        if (guard) guard->Request(rq, data);
    });
    if (!guard) return ok;
    if (!ok) {
        FShowing = false;
        if (ShownFind == this) ShownFind = nullptr;
    }
    return ok;
}

void TFindDialog::CloseDialog()
{
    if (!FShowing) return;
    FShowing = false;
    if (ShownFind == this) ShownFind = nullptr;
    HostServices().CloseFindDialog();
    if (OnClose) OnClose(this);
}

void TFindDialog::Request(TFindRequest rq, const TFindDialogData& d)
{
    if (rq == TFindRequest::Close) {
        FShowing = false;
        if (ShownFind == this) ShownFind = nullptr;
        if (OnClose) OnClose(this);
        return;
    }
    FindText = d.FindText;
    Options.Exclude(frFindNext);
    Options.Exclude(frReplace);
    Options.Exclude(frReplaceAll);
    auto set = [this](TFindOption o, bool v) {
        if (v) Options.Include(o);
        else Options.Exclude(o);
    };
    set(frDown, d.Down);
    set(frMatchCase, d.MatchCase);
    set(frWholeWord, d.WholeWord);
    if (rq == TFindRequest::FindNext) {
        Options.Include(frFindNext);
        if (OnFind) {
            TNotifyEvent keep = OnFind;
            keep(this);
        }
    }
}

void TReplaceDialog::Request(TFindRequest rq, const TFindDialogData& d)
{
    if (rq == TFindRequest::Replace || rq == TFindRequest::ReplaceAll) {
        TFindDialog::Request(TFindRequest::Replace, d);   // takes the texts and options
        ReplaceText = d.ReplaceText;
        Options.Include(rq == TFindRequest::Replace ? frReplace : frReplaceAll);
        if (OnReplace) {
            TNotifyEvent keep = OnReplace;
            keep(this);
        }
        return;
    }
    ReplaceText = d.ReplaceText;
    TFindDialog::Request(rq, d);
}
