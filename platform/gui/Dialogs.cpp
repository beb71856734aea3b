#include "Dialogs.h"
#include "QzGuiPrivate.h"
#include "Forms.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDatabase>
#include <QFontDialog>

using namespace qzgui;

QZ_CLASS_IMPL(TCommonDialog, TComponent)
QZ_CLASS_IMPL(TOpenDialog, TCommonDialog)
QZ_CLASS_IMPL(TSaveDialog, TOpenDialog)
QZ_CLASS_IMPL(TFontDialog, TCommonDialog)
QZ_CLASS_IMPL(TColorDialog, TCommonDialog)

namespace {
TFontDialogHandler FontHandler;
TColorDialogHandler ColorHandler;

bool QtFontDialog(TFont* font, TFontDialogOptions)
{
    InitGui();
    bool ok = false;
    QFont q = QFontDialog::getFont(&ok, MakeQFont(font), QApplication::activeWindow());
    if (!ok) return false;
    font->SetName(US(q.family()));
    if (q.pixelSize() > 0) font->SetHeight(-q.pixelSize());
    else font->SetSize(int(q.pointSizeF() + 0.5));
    TFontStyles s;
    if (q.bold()) s.Include(fsBold);
    if (q.italic()) s.Include(fsItalic);
    if (q.underline()) s.Include(fsUnderline);
    if (q.strikeOut()) s.Include(fsStrikeOut);
    font->SetStyle(s);
    return true;
}

bool QtColorDialog(TColor& c)
{
    InitGui();
    QColor q = QColorDialog::getColor(QCol(c), QApplication::activeWindow());
    if (!q.isValid()) return false;
    c = TColor(TC(q));
    return true;
}
}

void SetFontDialogHandler(TFontDialogHandler h) { FontHandler = std::move(h); }
void SetColorDialogHandler(TColorDialogHandler h) { ColorHandler = std::move(h); }

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
    TFont work;
    work.Assign(FFont.get());
    if (OnShow) OnShow(this);
    bool ok = FontHandler ? FontHandler(&work, Options) : QtFontDialog(&work, Options);
    if (OnClose) OnClose(this);
    if (!ok) return false;
    // Only fonts that exist, when asked: the dialog's choice is checked against the installed ones.
    if (Options.Contains(fdForceFontExist) && Screen && Screen->Fonts()->IndexOf(work.Name()) < 0) return false;
    if (Options.Contains(fdLimitSize) && MaxFontSize > 0)
        work.SetSize(std::clamp(work.Size(), MinFontSize, MaxFontSize));
    FFont->Assign(&work);
    return true;
}

TColorDialog::TColorDialog(TComponent* owner) : TCommonDialog(owner), FCustom(std::make_unique<TStringList>()) {}
TColorDialog::~TColorDialog() = default;

bool TColorDialog::Execute()
{
    TColor c = Color;
    if (OnShow) OnShow(this);
    bool ok = ColorHandler ? ColorHandler(c) : QtColorDialog(c);
    if (OnClose) OnClose(this);
    if (!ok) return false;
    Color = c;
    return true;
}
