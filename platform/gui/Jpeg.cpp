#include "Jpeg.h"
#include "QzGuiPrivate.h"
#include "Streams.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

using namespace qzgui;

QZ_CLASS_IMPL(TJPEGImage, TGraphic)

namespace {

// libjpeg reports errors through a callback; we jump back and raise.
struct TJpegError {
    jpeg_error_mgr Mgr;
    jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info)
{
    auto* err = reinterpret_cast<TJpegError*>(info->err);
    (*info->err->format_message)(info, err->Message);
    longjmp(err->Jump, 1);
}

void OnMessage(j_common_ptr) {}

// Data that ends before the picture does is refused rather than shown with
// the missing rows made up. Data that lacks only its end marker still loads
// (some devices write it so): the decoder reads ahead a little and meets the
// end while the last band of rows is being decoded, which is allowed. Other
// warnings are passed over.
void OnDecodeMessage(j_common_ptr info, int level)
{
    if (level >= 0 || info->err->msg_code != JWRN_JPEG_EOF || info->is_decompressor == 0) return;
    auto* d = reinterpret_cast<j_decompress_ptr>(info);
    const JDIMENSION lastBand = JDIMENSION(std::max(d->max_v_samp_factor, 1) * DCTSIZE);
    if (d->output_height == 0 || d->output_scanline + lastBand < d->output_height) (*info->err->error_exit)(info);
}

// Decodes into img, or returns false with err.Message saying why. A longjmp out
// of libjpeg lands here and skips destructors, so this frame owns no object
// that has one: the picture and the decoder state belong to the caller.
bool RunDecode(jpeg_decompress_struct& info, TJpegError& err, const std::string& data, QImage& img, bool& gray)
{
    if (setjmp(err.Jump)) return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()), (unsigned long)data.size());
    jpeg_read_header(&info, TRUE);
    // Checked before the decoder allocates anything for the picture.
    if (!PictureSizeAllowed(info.image_width, info.image_height)) {
        std::snprintf(err.Message, sizeof err.Message, "picture of %u x %u pixels is too large",
                      unsigned(info.image_width), unsigned(info.image_height));
        return false;
    }
    gray = info.jpeg_color_space == JCS_GRAYSCALE;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    img = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (img.isNull()) {
        std::snprintf(err.Message, sizeof err.Message, "not enough memory for the picture");
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = img.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

QImage Decode(const std::string& data, bool& gray)
{
    jpeg_decompress_struct info{};
    TJpegError err{};
    info.err = jpeg_std_error(&err.Mgr);
    err.Mgr.error_exit = OnError;
    err.Mgr.output_message = OnMessage;
    err.Mgr.emit_message = OnDecodeMessage;
    QImage img;
    bool ok = RunDecode(info, err, data, img, gray);
    jpeg_destroy_decompress(&info);
    if (!ok) throw EInvalidGraphic(std::string("JPEG error: ") + err.Message);
    return img.convertToFormat(QImage::Format_RGB32);
}

std::string Encode(const QImage& src, int quality, bool gray, bool progressive)
{
    QImage img = src.convertToFormat(gray ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    jpeg_compress_struct info{};
    TJpegError err{};
    info.err = jpeg_std_error(&err.Mgr);
    err.Mgr.error_exit = OnError;
    err.Mgr.output_message = OnMessage;
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    if (setjmp(err.Jump)) {
        jpeg_destroy_compress(&info);
        free(buf);
        throw EInvalidGraphicOperation(std::string("JPEG error: ") + err.Message);
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buf, &size);
    info.image_width = JDIMENSION(img.width());
    info.image_height = JDIMENSION(img.height());
    info.input_components = gray ? 1 : 3;
    info.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(img.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::string out(reinterpret_cast<const char*>(buf), size_t(size));
    jpeg_destroy_compress(&info);
    free(buf);
    return out;
}

} // namespace

void RegisterJpegFormat()
{
    TPicture::RegisterFileFormat("jpg", "JPEG Image File", TJPEGImage::StaticClass());
    TPicture::RegisterFileFormat("jpeg", "JPEG Image File", TJPEGImage::StaticClass());
}

TJPEGImage::TJPEGImage() : FBitmap(std::make_unique<TBitmap>()) {}
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Assign(TPersistent* source)
{
    if (auto* j = DynamicCast<TJPEGImage>(source)) {
        FBitmap->Assign(j->FBitmap.get());
        FData = j->FData;
        FDataValid = j->FDataValid;
        FQuality = j->FQuality;
        FGrayscale = j->FGrayscale;
        Changed();
        return;
    }
    if (auto* g = DynamicCast<TGraphic>(source)) {
        // Any other picture is taken as pixels and compressed when needed.
        FBitmap->Assign(g);
        FBitmap->SetPixelFormat(pf24bit);
        FData.clear();
        FDataValid = false;
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

bool TJPEGImage::Empty() const { return FBitmap->Empty() && !FDataValid; }
int TJPEGImage::Width() const { return FBitmap->Width(); }
int TJPEGImage::Height() const { return FBitmap->Height(); }
void TJPEGImage::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }
void TJPEGImage::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }

void TJPEGImage::SetCompressionQuality(int v)
{
    v = std::clamp(v, 1, 100);
    if (v == FQuality) return;
    FQuality = v;
}

void TJPEGImage::SetGrayscale(bool v)
{
    if (v == FGrayscale) return;
    FGrayscale = v;
    if (v && !FBitmap->Empty()) {
        FBitmap->FinishDrawing();
        FBitmap->Image()->Img = FBitmap->Image()->Img.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_RGB32);
        FDataValid = false;
    }
    Changed();
}

void TJPEGImage::LoadFromStream(TStream* stream)
{
    int64_t size = stream->Size() - stream->Position();
    if (size <= 0) throw EInvalidGraphic("JPEG error: empty data");
    std::string data = stream->ReadString(int(size));
    bool gray = false;
    QImage img = Decode(data, gray);   // raises before anything changes
    FBitmap->SetPixelFormat(pf24bit);
    FBitmap->SetSize(img.width(), img.height());
    FBitmap->Image()->Img = img.convertToFormat(QImage::Format_BGR888);
    FData = std::move(data);
    FDataValid = true;
    FGrayscale = gray;
    Changed();
}

void TJPEGImage::JPEGNeeded()
{
    if (FDataValid || FBitmap->Empty()) return;
    FBitmap->FinishDrawing();
    FData = Encode(FBitmap->Image()->Img, FQuality, FGrayscale, ProgressiveEncoding);
    FDataValid = true;
}

void TJPEGImage::DIBNeeded() {}

const std::string& TJPEGImage::Data()
{
    JPEGNeeded();
    return FData;
}

TBitmap* TJPEGImage::Bitmap() { return FBitmap.get(); }

void TJPEGImage::SaveToStream(TStream* stream)
{
    JPEGNeeded();
    if (!FData.empty()) stream->WriteBuffer(FData.data(), int(FData.size()));
}

void TJPEGImage::Draw(TCanvas* canvas, const TRect& r)
{
    FBitmap->Draw(canvas, r);
}
