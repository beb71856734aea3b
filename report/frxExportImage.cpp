#include "frxExportImage.h"

#include "Dialogs.h"
#include "Graphics.h"
#include "StdCtrls.h"
#include "Jpeg.h"
#include "Streams.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "frxRes.h"
#include "frxrcExports.h"

#include <algorithm>

namespace {
using Props = std::vector<TPropInfo>;
template <class E> void DefineImageExport(Props& p)
{
    p.push_back(PublishInt<E>("JPEGQuality", &E::JPEGQuality, &E::SetJPEGQuality, 90));
    p.push_back(PublishBool<E>("CropImages", &E::CropImages, &E::CropImages, true));
    p.push_back(PublishBool<E>("Monochrome", &E::Monochrome, &E::Monochrome, false));
    p.push_back(PublishString<E>("FileName", &E::FileName, &E::FileName));
    p.push_back(PublishBool<E>("ShowDialog", &TfrxCustomExportFilter::ShowDialog,
                               &TfrxCustomExportFilter::ShowDialog, true));
}
void DefineJPEG(Props& p) { DefineImageExport<TfrxJPEGExport>(p); }
void DefineBMP(Props& p) { DefineImageExport<TfrxBMPExport>(p); }
}  // namespace

QZ_CLASS_IMPL(TfrxCustomImageExport, TfrxCustomExportFilter)
QZ_CLASS_IMPL(TfrxIMGExportDialog, TfrxExportDialog)
QZ_CLASS_IMPL_PROPS(TfrxJPEGExport, TfrxCustomImageExport, DefineJPEG)
QZ_CLASS_IMPL_PROPS(TfrxBMPExport, TfrxCustomImageExport, DefineBMP)

TfrxCustomImageExport::TfrxCustomImageExport(TComponent* owner) : TfrxCustomExportFilter(owner)
{
    frxrcExports::Initialize();
}

TfrxCustomImageExport::~TfrxCustomImageExport() = default;

void TfrxCustomImageExport::SetJPEGQuality(int v) { FJPEGQuality = std::clamp(v, 1, 100); }

int TfrxCustomImageExport::ShowModal()
{
    TfrxIMGExportDialog dlg(nullptr);
    const bool jpeg = dynamic_cast<TfrxJPEGExport*>(this) != nullptr;
    dlg.SaveDialog1->Filter = frxRes::Resources().Get(jpeg ? "JPEGexportFilter" : "BMPexportFilter");
    dlg.SaveDialog1->DefaultExt = jpeg ? "jpg" : "bmp";
    dlg.Quality->SetText(IntToStr(JPEGQuality()));
    dlg.Quality->SetEnabled(jpeg);
    dlg.CropPage->SetChecked(CropImages);
    dlg.Mono->SetChecked(Monochrome);
    return dlg.Run(this, FileName, [&] {
        // Not a number: the conversion error, before anything is exported.
        SetJPEGQuality(StrToInt(Trim(dlg.Quality->Text())));
        CropImages = dlg.CropPage->Checked();
        Monochrome = dlg.Mono->Checked();
    });
}

bool TfrxCustomImageExport::Start()
{
    FPageCounter = 0;
    return !FileName.empty();
}

void TfrxCustomImageExport::StartPage(TfrxReportPage* page, int index)
{
    ++FPageCounter;
    const int w = int(std::clamp<int64_t>(Round(page->Width()), 1, 30000));
    const int h = int(std::clamp<int64_t>(Round(page->Height()), 1, 30000));
    FBitmap = std::make_unique<TBitmap>(w, h);
    FBitmap->SetPixelFormat(pf24bit);
    TCanvas* c = FBitmap->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, w, h));
    FMaxX = FMaxY = 0;
    FMinX = w;
    FMinY = h;
}

void TfrxCustomImageExport::ExportObject(TfrxComponent* obj)
{
    auto* view = DynamicCast<TfrxView>(obj);
    if (!view || !FBitmap) return;
    FMinX = std::min<int>(FMinX, int(Round(view->AbsLeft())));
    FMinY = std::min<int>(FMinY, int(Round(view->AbsTop())));
    FMaxX = std::max<int>(FMaxX, int(Round(view->AbsLeft() + view->Width())) + 1);
    FMaxY = std::max<int>(FMaxY, int(Round(view->AbsTop() + view->Height())) + 1);
    view->Draw(FBitmap->Canvas(), 1, 1, 0, 0);
}

void TfrxCustomImageExport::FinishPage(TfrxReportPage* page, int index)
{
    if (!FBitmap) return;
    FBitmap->FinishDrawing();
    if (CropImages) {
        const int x0 = std::clamp(FMinX, 0, FBitmap->Width()), y0 = std::clamp(FMinY, 0, FBitmap->Height());
        const int x1 = std::clamp(FMaxX, x0, FBitmap->Width()), y1 = std::clamp(FMaxY, y0, FBitmap->Height());
        if (x1 > x0 && y1 > y0) {
            auto cut = std::make_unique<TBitmap>(x1 - x0, y1 - y0);
            cut->SetPixelFormat(pf24bit);
            cut->Canvas()->CopyRect(Rect(0, 0, x1 - x0, y1 - y0), FBitmap->Canvas(), Rect(x0, y0, x1, y1));
            cut->FinishDrawing();
            FBitmap = std::move(cut);
        }
    }
    if (Monochrome) {
        // Black where the page is darker than middle grey, white elsewhere.
        for (int y = 0; y < FBitmap->Height(); ++y) {
            uint8_t* row = FBitmap->ScanLine(y);
            for (int x = 0; x < FBitmap->Width(); ++x) {
                uint8_t* p = row + 3 * x;
                const int lum = (p[0] * 29 + p[1] * 150 + p[2] * 77) >> 8;
                p[0] = p[1] = p[2] = lum < 128 ? 0 : 255;
            }
        }
        FBitmap->ImageChanged();
    }
    SaveImage();
    FBitmap.reset();
}

std::string TfrxCustomImageExport::PageFileName(const std::string& ext) const
{
    return ChangeFileExt(FileName, "." + IntToStr(FPageCounter) + ext);
}

TfrxJPEGExport::TfrxJPEGExport(TComponent* owner) : TfrxCustomImageExport(owner) {}

std::string TfrxJPEGExport::GetDescription() { return frxRes::Resources().Get("JPEGexport"); }

void TfrxJPEGExport::SaveImage()
{
    TJPEGImage jpeg;
    jpeg.SetCompressionQuality(JPEGQuality());
    jpeg.Assign(FBitmap.get());
    jpeg.JPEGNeeded();
    SaveFileWhole(PageFileName(".jpg"), jpeg.Data());
}

TfrxBMPExport::TfrxBMPExport(TComponent* owner) : TfrxCustomImageExport(owner) {}

std::string TfrxBMPExport::GetDescription() { return frxRes::Resources().Get("BMPexport"); }

void TfrxBMPExport::SaveImage()
{
    TBitmap* bmp = FBitmap.get();
    SaveFileWhole(PageFileName(".bmp"), [bmp](TStream* s) { bmp->SaveToStream(s); });
}

TfrxIMGExportDialog::TfrxIMGExportDialog(TComponent* owner) : TfrxExportDialog(owner, "OK", "Cancel")
{
    SetName("frxIMGExportDialog");
    GroupBox1 = AddOptionsGroup("GroupBox1", 88);
    Mono = AddCheckBox(GroupBox1, "Mono", 12, 20);
    CropPage = AddCheckBox(GroupBox1, "CropPage", 12, 40);
    Label2 = new TLabel(this);
    Label2->SetName("Label2");
    Label2->SetParent(GroupBox1);
    Label2->SetBounds(14, 64, 120, 16);
    Quality = new TEdit(this);
    Quality->SetName("Quality");
    Quality->SetParent(GroupBox1);
    Quality->SetBounds(140, 60, 60, 21);
    Localize();
}
