#include "frxEditPicture.h"

#include "Clipbrd.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "Metafile.h"
#include "ScrollBox.h"
#include "Streams.h"
#include "SysUtils.h"
#include "frxCtrls.h"
#include "frxCustomDesigner.h"
#include "frxEditUtils.h"
#include "frxGraphicData.h"
#include "frxRes.h"
#include "frxUtils.h"

QZ_CLASS_IMPL(TfrxPictureEditorForm, TForm)

using frxCtrls::MakeControl;

namespace frxEditPicture {

std::string StatusText(const TfrxPicture* picture)
{
    if (!picture || picture->Empty() || picture->Width() <= 0 || picture->Height() <= 0)
        return frxRes::Resources().Get("piEmpty");
    return Format("%d x %d", {picture->Width(), picture->Height()});
}

std::string PictureFilter()
{
    const auto& r = frxRes::Resources();
    return r.Get("ftPictures") + " (*.bmp *.jpg *.ico *.wmf *.emf)|*.bmp;*.jpg;*.ico;*.wmf;*.emf|" +
           r.Get("ftAllFiles") + "|*.*";
}

bool EditPicture(TComponent* owner, TfrxPicture* picture)
{
    TfrxPictureEditorForm f(owner);
    f.Picture()->Assign(picture);
    if (f.ShowModal() != mrOk) return false;
    picture->Assign(f.Picture());
    return true;
}

}  // namespace frxEditPicture

namespace frxEditPicture {
std::unique_ptr<TGraphic> GraphicOf(const TfrxPicture* p)
{
    std::unique_ptr<TGraphic> g;
    switch (p->Kind()) {
    case gkJPEG: g = std::make_unique<TJPEGImage>(); break;
    case gkIcon: g = std::make_unique<TIcon>(); break;
    case gkBitmap: g = std::make_unique<TBitmap>(); break;
    case gkMetafile: g = std::make_unique<TMetafile>(); break;
    default: return g;
    }
    try {
        TMemoryStream ms;
        ms.Write(p->Data().data(), int64_t(p->Data().size()));
        ms.SetPosition(0);
        g->LoadFromStream(&ms);
    } catch (const std::exception&) {
        g.reset();
    }
    return g;
}
}  // namespace

TfrxPictureEditorForm::TfrxPictureEditorForm(TComponent* owner)
    : TForm(owner), FPicture(std::make_unique<TfrxPicture>())
{
    TForm::SetPosition(poScreenCenter);
    SetClientSize(420, 320);
    ToolBar = MakeControl<TToolBar>(this, this, "ToolBar", 0, 0, 420, 26);
    ToolBar->SetAlign(alTop);
    ToolBar->SetShowCaptions(true);
    ToolBar->SetList(true);
    ToolBar->SetButtonWidth(60);
    using frxEditUtils::AddToolButton;
    LoadB = AddToolButton(this, ToolBar, "LoadB");
    CopyB = AddToolButton(this, ToolBar, "CopyB");
    PasteB = AddToolButton(this, ToolBar, "PasteB");
    ClearB = AddToolButton(this, ToolBar, "ClearB");
    CancelB = AddToolButton(this, ToolBar, "CancelB");
    OkB = AddToolButton(this, ToolBar, "OkB");
    StatusBar = MakeControl<TStatusBar>(this, this, "StatusBar", 0, 300, 420, 20);
    StatusBar->SetAlign(alBottom);
    StatusBar->SetSimplePanel(true);
    Box = MakeControl<TScrollBox>(this, this, "Box", 0, 26, 420, 274);
    Box->SetAlign(alClient);
    Image = MakeControl<TImage>(this, Box, "Image", 0, 0, 400, 254);
    Image->SetCenter(true);
    frxRes::Resources().LocalizeForm(this);
    frxEditUtils::CaptionButtonsFromHints(ToolBar);

    LoadB->OnClick = [this](TObject*) { LoadPicture(); };
    CopyB->OnClick = [this](TObject*) { CopyPicture(); };
    PasteB->OnClick = [this](TObject*) { PastePicture(); };
    ClearB->OnClick = [this](TObject*) { ClearPicture(); };
    OkB->OnClick = [this](TObject*) { SetModalResult(mrOk); };
    CancelB->OnClick = [this](TObject*) { SetModalResult(mrCancel); };
}

TfrxPictureEditorForm::~TfrxPictureEditorForm() = default;

void TfrxPictureEditorForm::DoShow()
{
    TForm::DoShow();
    UpdateImage();
}

void TfrxPictureEditorForm::UpdateImage()
{
    std::unique_ptr<TGraphic> g = FPicture->Empty() ? nullptr : frxEditPicture::GraphicOf(FPicture.get());
    if (g) Image->Picture()->SetGraphic(g.get());
    else Image->Picture()->SetGraphic(nullptr);
    // Stretched only when the picture would not fit.
    Image->SetStretch(FPicture->Width() > Image->Width() || FPicture->Height() > Image->Height());
    Image->SetProportional(true);
    StatusBar->SetSimpleText(frxEditPicture::StatusText(FPicture.get()));
}

void TfrxPictureEditorForm::LoadPicture()
{
    TOpenDialog dlg(this);
    dlg.Options = TOpenOptions{};
    dlg.Filter = frxEditPicture::PictureFilter();
    if (!dlg.Execute()) return;
    TfrxPicture loaded;
    try {
        loaded.LoadFromFile(dlg.FileName);
    } catch (const std::exception& e) {
        frxUtils::ShowErrorBox(e.what());
        return;
    }
    FPicture->Assign(&loaded);
    UpdateImage();
}

void TfrxPictureEditorForm::CopyPicture()
{
    std::unique_ptr<TGraphic> g = FPicture->Empty() ? nullptr : frxEditPicture::GraphicOf(FPicture.get());
    if (!g) return;
    TPicture pic;
    pic.SetGraphic(g.get());
    Clipboard()->Assign(&pic);
}

void TfrxPictureEditorForm::PastePicture()
{
    TPicture pic;
    try {
        pic.Assign(Clipboard());
    } catch (const std::exception&) {
        return;
    }
    if (!pic.Graphic() || pic.Graphic()->Empty()) return;
    TMemoryStream ms;
    pic.Graphic()->SaveToStream(&ms);
    std::string bytes(size_t(ms.Size()), '\0');
    ms.SetPosition(0);
    ms.Read(bytes.data(), int64_t(bytes.size()));
    try {
        FPicture->SetData(bytes);
    } catch (const std::exception& e) {
        frxUtils::ShowErrorBox(e.what());
        return;
    }
    UpdateImage();
}

void TfrxPictureEditorForm::ClearPicture()
{
    FPicture->Clear();
    UpdateImage();
}
