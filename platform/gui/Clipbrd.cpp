#include "Clipbrd.h"
#include "QzGuiPrivate.h"
#include "Forms.h"

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
    default:
        if (f == CF_PICTURE()) return d->hasImage();
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
        TBitmap b;
        b.Assign(g);
        b.FinishDrawing();
        Open();
        Clear();
        FPending->Data->setImageData(b.Image()->Img);
        Close();
        return;
    }
    TPersistent::Assign(source);
}

void TClipboard::AssignTo(TPersistent* dest)
{
    const QMimeData* d = Board()->mimeData();
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
