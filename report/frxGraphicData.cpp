#include "frxGraphicData.h"

#include "frxRes.h"
#include "frxXML.h"

#include "Streams.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "TypInfo.h"

#include <cmath>
#include <cstring>
#include <memory>

namespace {

PTypeInfo FontStyleType()
{
    static const PTypeInfo ti =
        MakeEnumTypeInfo("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
    return ti;
}

void DefineFontProps(std::vector<TPropInfo>& p)
{
    auto charset = PublishInt<TfrxFont>("Charset", &TfrxFont::Charset, &TfrxFont::SetCharset, 1);
    charset.TypeName = "TFontCharset";
    p.push_back(charset);
    // Black is not the declared default, so a layout always names the colour.
    auto color = PublishInt<TfrxFont>("Color", &TfrxFont::Color, &TfrxFont::SetColor,
                                      int64_t(TColor(0xFF000008u)));
    color.TypeName = "TColor";
    p.push_back(color);
    p.push_back(PublishInt<TfrxFont>("Height", &TfrxFont::Height, &TfrxFont::SetHeight));
    auto name = PublishString<TfrxFont>("Name", &TfrxFont::Name, &TfrxFont::SetName, "TFontName");
    p.push_back(name);
    auto size = PublishInt<TfrxFont>("Size", &TfrxFont::Size, &TfrxFont::SetSize);
    size.NotStored();
    p.push_back(size);
    TPropInfo style;
    style.Name = "Style";
    style.Kind = tkSet;
    style.TypeInfo = FontStyleType();
    style.TypeName = "TFontStyles";
    style.ValueNames = style.TypeInfo->Names;
    style.HasDefault = true;
    style.Default = 0;
    style.GetOrd = [](TObject* o) -> int64_t { return static_cast<TfrxFont*>(o)->Style(); };
    style.SetOrd = [](TObject* o, int64_t v) { static_cast<TfrxFont*>(o)->SetStyle(int(v)); };
    p.push_back(style);
}

uint32_t U32(const std::string& b, size_t at)
{
    uint32_t v = 0;
    if (at + 4 <= b.size()) std::memcpy(&v, b.data() + at, 4);
    return v;
}
int32_t I32(const std::string& b, size_t at) { return int32_t(U32(b, at)); }
int16_t I16(const std::string& b, size_t at)
{
    int16_t v = 0;
    if (at + 2 <= b.size()) std::memcpy(&v, b.data() + at, 2);
    return v;
}
uint8_t U8(const std::string& b, size_t at) { return at < b.size() ? uint8_t(b[at]) : 0; }

void JpegSize(const std::string& b, int& w, int& h)
{
    size_t i = 2;
    while (i + 9 < b.size()) {
        if (U8(b, i) != 0xFF) {
            ++i;
            continue;
        }
        uint8_t m = U8(b, i + 1);
        if (m == 0xFF) {
            ++i;
            continue;
        }
        size_t len = (size_t(U8(b, i + 2)) << 8) | U8(b, i + 3);
        if (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) {
            h = (U8(b, i + 5) << 8) | U8(b, i + 6);
            w = (U8(b, i + 7) << 8) | U8(b, i + 8);
            return;
        }
        if (m == 0xD8 || (m >= 0xD0 && m <= 0xD7) || m == 0x01) {
            i += 2;
            continue;
        }
        i += 2 + len;
    }
}

}  // namespace

QZ_CLASS_IMPL_PROPS(TfrxFont, TPersistent, DefineFontProps)
QZ_CLASS_IMPL(TfrxPicture, TPersistent)

// ---- font ---------------------------------------------------------------------------

TfrxFont::TfrxFont() = default;

void TfrxFont::Changed()
{
    if (OnChange) OnChange(this);
}

void TfrxFont::Assign(TPersistent* source)
{
    if (auto* f = DynamicCast<TfrxFont>(source)) {
        FName = f->FName;
        FHeight = f->FHeight;
        FColor = f->FColor;
        FStyle = f->FStyle;
        FCharset = f->FCharset;
        FPixelsPerInch = f->FPixelsPerInch;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

bool TfrxFont::IsEqual(const TfrxFont* o) const
{
    return o && FName == o->FName && FHeight == o->FHeight && FColor == o->FColor &&
           FStyle == o->FStyle && FCharset == o->FCharset;
}

void TfrxFont::SetName(const std::string& v)
{
    if (v.empty() || v == FName) return;
    FName = v;
    Changed();
}

void TfrxFont::SetHeight(int v)
{
    if (v == FHeight) return;
    FHeight = v;
    Changed();
}

int TfrxFont::Size() const
{
    return -int(Round(double(FHeight) * 72.0 / double(FPixelsPerInch)));
}

void TfrxFont::SetSize(int v) { SetHeight(-int(Round(double(v) * FPixelsPerInch / 72.0))); }

void TfrxFont::SetColor(TColor v)
{
    if (v == FColor) return;
    FColor = v;
    Changed();
}

void TfrxFont::SetStyle(int v)
{
    v &= 15;
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}

void TfrxFont::SetCharset(int v)
{
    v &= 0xFF;
    if (v == FCharset) return;
    FCharset = v;
    Changed();
}

// ---- picture ------------------------------------------------------------------------

const char* TfrxPicture::ClassNameOf(TfrxGraphicKind kind)
{
    switch (kind) {
    case gkBitmap: return "TBitmap";
    case gkJPEG: return "TJPEGImage";
    case gkMetafile: return "TMetafile";
    case gkIcon: return "TIcon";
    default: return "";
    }
}

TfrxGraphicKind TfrxPicture::Sniff(const std::string& b)
{
    if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M') return gkBitmap;
    if (b.size() >= 2 && U8(b, 0) == 0xFF && U8(b, 1) == 0xD8) return gkJPEG;
    if (b.size() >= 4 && U32(b, 0) == 0x9AC6CDD7u) return gkMetafile;
    if (b.size() >= 44 && b.compare(40, 4, " EMF") == 0) return gkMetafile;
    if (b.size() >= 6 && uint16_t(I16(b, 2)) < 2) return gkIcon;
    return gkNone;
}

bool TfrxPicture::HoldsKind(TfrxGraphicKind kind, const std::string& b)
{
    switch (kind) {
    case gkBitmap: {
        if (Sniff(b) != gkBitmap || b.size() < 26) return false;
        const uint32_t header = U32(b, 14);
        int w, h, planes, bits;
        if (header == 12) {
            w = uint16_t(I16(b, 18));
            h = I16(b, 20);
            planes = I16(b, 22);
            bits = I16(b, 24);
        } else {
            if (header < 40 || header > 124 || b.size() < 14 + size_t(header)) return false;
            w = I32(b, 18);
            h = I32(b, 22);
            planes = I16(b, 26);
            bits = I16(b, 28);
        }
        const bool knownDepth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
        return w > 0 && h != 0 && planes == 1 && knownDepth && U32(b, 10) <= b.size();
    }
    case gkJPEG: {
        if (Sniff(b) != gkJPEG) return false;
        int w = 0, h = 0;
        JpegSize(b, w, h);
        return w > 0 && h > 0;
    }
    case gkMetafile:
        if (b.size() >= 22 && U32(b, 0) == 0x9AC6CDD7u) return true;   // placeable metafile header
        return b.size() >= 88 && U32(b, 0) == 1 && b.compare(40, 4, " EMF") == 0;
    case gkIcon: {
        const size_t count = uint16_t(I16(b, 4));
        return b.size() >= 6 && I16(b, 0) == 0 && I16(b, 2) == 1 && count > 0 && b.size() >= 6 + 16 * count;
    }
    default: return false;
    }
}

void TfrxPicture::Changed()
{
    if (OnChange) OnChange(this);
}

void TfrxPicture::Clear()
{
    bool was = FKind != gkNone;
    FKind = gkNone;
    FData.clear();
    FWidth = FHeight = 0;
    if (was) Changed();
}

void TfrxPicture::SetData(const std::string& bytes)
{
    TfrxGraphicKind k = Sniff(bytes);
    if (k == gkNone) throw EfrxInvalidGraphic("Unknown picture format");
    SetData(k, bytes);
}

void TfrxPicture::SetData(TfrxGraphicKind kind, const std::string& b)
{
    if (kind == gkNone || b.empty()) {
        Clear();
        return;
    }
    FKind = kind;
    FData = b;
    FWidth = FHeight = 0;
    switch (kind) {
    case gkBitmap:
        FWidth = std::abs(I32(b, 18));
        FHeight = std::abs(I32(b, 22));
        break;
    case gkJPEG: JpegSize(b, FWidth, FHeight); break;
    case gkMetafile:
        if (U32(b, 0) == 0x9AC6CDD7u) {
            int inch = uint16_t(I16(b, 14));
            if (inch == 0) inch = 1440;
            FWidth = int(std::lround(double(I16(b, 10) - I16(b, 6)) * 96.0 / inch));
            FHeight = int(std::lround(double(I16(b, 12) - I16(b, 8)) * 96.0 / inch));
        } else {
            // The frame is in hundredths of a millimetre.
            FWidth = int(std::lround(double(I32(b, 32) - I32(b, 24)) / 100.0 * 96.0 / 25.4));
            FHeight = int(std::lround(double(I32(b, 36) - I32(b, 28)) / 100.0 * 96.0 / 25.4));
        }
        break;
    case gkIcon:
        FWidth = U8(b, 6) == 0 ? 256 : U8(b, 6);
        FHeight = U8(b, 7) == 0 ? 256 : U8(b, 7);
        break;
    default: break;
    }
    FWidth = std::abs(FWidth);
    FHeight = std::abs(FHeight);
    Changed();
}

void TfrxPicture::Assign(TPersistent* source)
{
    if (!source) {
        Clear();
        return;
    }
    if (auto* p = DynamicCast<TfrxPicture>(source)) {
        if (p->Empty())
            Clear();
        else
            SetData(p->FKind, p->FData);
        return;
    }
    TPersistent::Assign(source);
}

void TfrxPicture::LoadFromStream(TStream* stream)
{
    int64_t n = stream->Size() - stream->Position();
    std::string b(size_t(n > 0 ? n : 0), '\0');
    if (n > 0) stream->ReadBuffer(b.data(), int(n));
    SetData(b);
}

void TfrxPicture::SaveToStream(TStream* stream) const
{
    if (!FData.empty()) stream->WriteBuffer(FData.data(), int(FData.size()));
}

void TfrxPicture::LoadFromFile(const std::string& fileName)
{
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}

void TfrxPicture::SaveToFile(const std::string& fileName) const
{
    SaveFileWhole(fileName, [&](TStream* f) { SaveToStream(f); });
}

void TfrxPicture::ReadData(TStream* s)
{
    TfrxBinaryReader r(s);
    uint8_t len = uint8_t(r.ReadBytes(1)[0]);
    std::string cls = r.ReadBytes(len);
    std::string rest = r.ReadBytes(s->Size() - s->Position());
    // The graphic's bytes follow their 32-bit length; data written without
    // that length (by other writers of the same property) is taken whole.
    std::string data = rest;
    if (rest.size() >= 4 && U32(rest, 0) == rest.size() - 4) data = rest.substr(4);
    TfrxGraphicKind kind = gkNone;
    for (TfrxGraphicKind k : {gkBitmap, gkJPEG, gkMetafile, gkIcon})
        if (SameText(cls, ClassNameOf(k))) kind = k;
    if (kind == gkNone)
        throw EfrxInvalidGraphic(frxRes::Resources().Get("xrCantFindClass") + " " + frxXML::GbkToText(cls));
    if (!HoldsKind(kind, data))
        throw EfrxInvalidGraphic(frxRes::Resources().Get("prInvPicture") + " " + ClassNameOf(kind));
    SetData(kind, data);
}

void TfrxPicture::WriteData(TStream* s) const
{
    std::string cls = ClassNameOf(FKind);
    s->WriteByte(uint8_t(cls.size()));
    s->WriteString(cls);
    s->WriteInt32(int32_t(FData.size()));
    SaveToStream(s);
}

void TfrxPicture::DefineBinaryProperties(TfrxFiler& filer)
{
    filer.DefineBinaryProperty(
        "Data", [this](TStream* s) { ReadData(s); }, [this](TStream* s) { WriteData(s); },
        !Empty());
}
