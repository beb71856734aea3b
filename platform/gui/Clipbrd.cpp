#include "Clipbrd.h"
#include "QzGuiPrivate.h"
#include "Forms.h"
#include "Jpeg.h"
#include "Metafile.h"
#include "Streams.h"
#include "TextUtils.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <map>

using namespace qzgui;

QZ_CLASS_IMPL(TClipboard, TPersistent)

namespace {
std::map<std::string, TClipboardFormat>& FormatNames()
{
    static std::map<std::string, TClipboardFormat> m;
    return m;
}

QString MimeOf(TClipboardFormat f)
{
    for (auto& [name, id] : FormatNames())
        if (id == f) return QStringLiteral("application/x-qz-") + QS(name);
    return QStringLiteral("application/x-qz-format-%1").arg(f);
}

const QString EmfMime = QStringLiteral("image/x-emf");
const QString WmfMime = QStringLiteral("image/x-wmf");

QClipboard* Board()
{
    InitGui();
    return QGuiApplication::clipboard();
}
}

TClipboardFormat RegisterClipboardFormat(const std::string& name)
{
    if (name.empty()) return 0;
    auto& m = FormatNames();
    auto it = m.find(name);
    if (it != m.end()) return it->second;
    TClipboardFormat id = RegisterWindowMessage("clipboard:" + name);
    m[name] = id;
    return id;
}

TClipboardFormat CF_PICTURE()
{
    static TClipboardFormat f = RegisterClipboardFormat("Picture");
    return f;
}

struct TClipboard::TPending {
    QMimeData* Data = new QMimeData;
    ~TPending() { delete Data; }
};

void TClipboard::Open()
{
    if (FOpenCount++ == 0) {
        FPending = std::make_shared<TPending>();
        FEmptied = false;
        // What is on the clipboard stays until something new is put there.
        if (const QMimeData* cur = Board()->mimeData())
            for (const QString& f : cur->formats()) FPending->Data->setData(f, cur->data(f));
    }
}

void TClipboard::Close()
{
    if (FOpenCount == 0) return;
    if (--FOpenCount == 0) {
        Commit();
        FPending.reset();
    }
}

void TClipboard::Commit()
{
    if (!FPending) return;
    QMimeData* d = FPending->Data;
    FPending->Data = new QMimeData;
    Board()->setMimeData(d);
}

void TClipboard::Clear()
{
    if (FPending) {
        delete FPending->Data;
        FPending->Data = new QMimeData;
        FEmptied = true;
    } else {
        Board()->clear();
    }
}

bool TClipboard::HasFormat(TClipboardFormat f) const
{
    const QMimeData* d = Board()->mimeData();
    if (!d) return false;
    switch (f) {
    case CF_TEXT:
    case CF_UNICODETEXT: return d->hasText();
    case CF_BITMAP:
    case CF_DIB: return d->hasImage();
    case CF_ENHMETAFILE: return d->hasFormat(EmfMime);
    case CF_METAFILEPICT: return d->hasFormat(WmfMime);
    default:
        if (f == CF_PICTURE()) return d->hasImage() || d->hasFormat(MimeOf(f));
        return d->hasFormat(MimeOf(f));
    }
}

int TClipboard::FormatCount() const
{
    const QMimeData* d = Board()->mimeData();
    return d ? int(d->formats().size()) : 0;
}

std::string TClipboard::AsText() const
{
    const QMimeData* d = Board()->mimeData();
    return d && d->hasText() ? US(d->text()) : std::string();
}

std::string TClipboard::GetTextBuf(int maxChars) const
{
    QString t = QS(AsText());
    return US(maxChars >= 0 ? t.left(maxChars) : t);
}

void TClipboard::SetAsText(const std::string& text)
{
    Open();
    Clear();
    FPending->Data->setText(QS(text));
    Close();
}

std::string TClipboard::GetBuffer(TClipboardFormat f) const
{
    const QMimeData* d = Board()->mimeData();
    if (!d) return {};
    QByteArray b = d->data(MimeOf(f));
    return std::string(b.constData(), size_t(b.size()));
}

void TClipboard::SetBuffer(TClipboardFormat f, const std::string& data)
{
    Open();
    FPending->Data->setData(MimeOf(f), QByteArray(data.data(), qsizetype(data.size())));
    Close();
}

void TClipboard::Assign(TPersistent* source)
{
    TGraphic* g = DynamicCast<TGraphic>(source);
    if (auto* p = DynamicCast<TPicture>(source)) g = p->Graphic();
    if (g) {
        // Other programs get an image; this program gets the graphic itself
        // (a metafile stays a metafile, a JPEG image keeps its bytes).
        TBitmap b;
        b.Assign(g);
        b.FinishDrawing();
        std::string block = PictureClipboardBlock(g);
        std::string emf;
        if (auto* m = DynamicCast<TMetafile>(g)) {
            TMetafile copy;
            copy.Assign(m);
            copy.SetEnhanced(true);
            TStringStream s;
            copy.SaveToStream(&s);
            emf = s.DataString();
        }
        Open();
        Clear();
        FPending->Data->setImageData(b.Image()->Img);
        FPending->Data->setData(MimeOf(CF_PICTURE()), QByteArray(block.data(), qsizetype(block.size())));
        if (!emf.empty()) FPending->Data->setData(EmfMime, QByteArray(emf.data(), qsizetype(emf.size())));
        Close();
        return;
    }
    TPersistent::Assign(source);
}

void TClipboard::AssignTo(TPersistent* dest)
{
    const QMimeData* d = Board()->mimeData();
    auto bytes = [&](const QString& mime) {
        QByteArray b = d ? d->data(mime) : QByteArray();
        return std::string(b.constData(), size_t(b.size()));
    };
    if (auto* p = DynamicCast<TPicture>(dest); p && d && d->hasFormat(MimeOf(CF_PICTURE()))) {
        ReadPictureClipboardBlock(bytes(MimeOf(CF_PICTURE())), p);
        return;
    }
    if (auto* m = DynamicCast<TMetafile>(dest)) {
        for (const QString& mime : {EmfMime, WmfMime})
            if (d && d->hasFormat(mime)) {
                TStringStream s(bytes(mime));
                m->LoadFromStream(&s);
                return;
            }
        if (!d || !d->hasImage()) throw EConvertError("Cannot assign the clipboard: it holds no picture");
        TBitmap b;
        AssignTo(&b);
        m->Assign(&b);
        return;
    }
    QImage img = d && d->hasImage() ? qvariant_cast<QImage>(d->imageData()) : QImage();
    if (auto* b = DynamicCast<TBitmap>(dest)) {
        if (img.isNull()) throw EConvertError("Cannot assign the clipboard: it holds no picture");
        b->SetSize(img.width(), img.height());
        b->Image()->Img = img.convertToFormat(QImage::Format_RGB32);
        b->ImageChanged();
        return;
    }
    if (auto* p = DynamicCast<TPicture>(dest)) {
        if (img.isNull()) throw EConvertError("Cannot assign the clipboard: it holds no picture");
        TBitmap* b = p->Bitmap();
        b->SetSize(img.width(), img.height());
        b->Image()->Img = img.convertToFormat(QImage::Format_RGB32);
        b->ImageChanged();
        return;
    }
    TPersistent::AssignTo(dest);
}

TClipboard* Clipboard()
{
    static TClipboard c;
    return &c;
}

// ---- the picture format --------------------------------------------------------------

std::string PictureClipboardBlock(TGraphic* g)
{
    if (!g) return {};
    std::string name = g->ClassName();
    TStringStream data;
    g->SaveToStream(&data);
    const std::string& bytes = data.DataString();
    std::string out(1, char(uint8_t(name.size())));
    out += name;
    for (int i = 0; i < 4; ++i) out += char((bytes.size() >> (8 * i)) & 0xFF);
    out += bytes;
    return out;
}

void ReadPictureClipboardBlock(const std::string& block, TPicture* picture)
{
    if (block.empty()) throw EInvalidGraphic("The clipboard's picture is not valid");
    size_t n = uint8_t(block[0]);
    if (block.size() < 1 + n + 4) throw EInvalidGraphic("The clipboard's picture is not valid");
    std::string name = block.substr(1, n);
    size_t len = 0;
    for (int i = 0; i < 4; ++i) len |= size_t(uint8_t(block[1 + n + size_t(i)])) << (8 * i);
    if (len != block.size() - 1 - n - 4) throw EInvalidGraphic("The clipboard's picture is not valid");
    TClass cls = nullptr;
    for (TClass c : {TBitmap::StaticClass(), TIcon::StaticClass(), TMetafile::StaticClass(),
                     TJPEGImage::StaticClass()})
        if (SameText(c->Name, name)) cls = c;
    if (!cls) {
        TClass c = GetClass(name);
        if (c && c->InheritsFrom(TGraphic::StaticClass()) && c->Factory) cls = c;
    }
    if (!cls) throw EInvalidGraphic("The clipboard's picture is not valid: unknown class " + name);
    std::unique_ptr<TObject> obj(cls->Create());
    auto* g = DynamicCast<TGraphic>(obj.get());
    if (!g) throw EInvalidGraphic("The clipboard's picture is not valid");
    TStringStream s(block.substr(1 + n + 4));
    g->LoadFromStream(&s);
    picture->SetGraphic(g);
}
