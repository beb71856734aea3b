// Fonts and pictures of report objects as data: what a layout stores and
// what the drawing code later maps onto the canvas's own font and graphic
// classes. No drawing happens here.
#pragma once

#include "Components.h"
#include "Types.h"
#include "frxFiler.h"

#include <cstdint>
#include <string>

class TStream;

// A font: face, pixel height (negative: the character height), colour,
// style bits (bold 1, italic 2, underline 4, strike-out 8) and charset.
// Published as Font.Charset, Font.Color, Font.Height, Font.Name, Font.Style.
class TfrxFont : public TPersistent {
    QZ_CLASS(TfrxFont, TPersistent)
public:
    enum : int { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };

    TfrxFont();
    void Assign(TPersistent* source) override;
    bool IsEqual(const TfrxFont* other) const;

    const std::string& Name() const { return FName; }
    void SetName(const std::string& v);
    int Height() const { return FHeight; }
    void SetHeight(int v);
    // Points at PixelsPerInch; setting it sets Height.
    int Size() const;
    void SetSize(int v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    int Style() const { return FStyle; }
    void SetStyle(int v);
    int Charset() const { return FCharset; }
    void SetCharset(int v);
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int v) { FPixelsPerInch = v > 0 ? v : 96; }

    TNotifyEvent OnChange;

private:
    void Changed();
    std::string FName = "Arial";
    int FHeight = -13;
    TColor FColor = 0;
    int FStyle = 0;
    int FCharset = 1;
    int FPixelsPerInch = 96;
};

enum TfrxGraphicKind { gkNone, gkBitmap, gkJPEG, gkMetafile, gkIcon };

// A picture holding one graphic (bitmap, JPEG image, metafile or icon) as
// the bytes of its file, with its size in pixels read from them.
//
// In a layout the picture is its binary property "Data" (Picture.PropData):
// a binary value whose bytes are the graphic's class name as a length byte
// and characters ("TBitmap", "TJPEGImage", "TMetafile", "TIcon"), the 32-bit
// little-endian length of the graphic's file and that file, byte for byte.
// An empty picture stores nothing. Data of an unknown class, or that is no
// graphic of its class, raises EfrxInvalidGraphic when read, so a layout's
// errors name it.
class TfrxPicture : public TPersistent, public IfrxBinaryProps {
    QZ_CLASS(TfrxPicture, TPersistent)
public:
    TfrxPicture() = default;
    void Assign(TPersistent* source) override;

    TfrxGraphicKind Kind() const { return FKind; }
    bool Empty() const { return FKind == gkNone; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // The graphic's file bytes.
    const std::string& Data() const { return FData; }
    void Clear();
    // Takes a graphic of a known kind; raises EInvalidGraphic
    // "Unknown picture format" for bytes of no known kind.
    void SetData(const std::string& bytes);
    void SetData(TfrxGraphicKind kind, const std::string& bytes);
    void LoadFromStream(TStream* stream);   // from the position to the end
    void SaveToStream(TStream* stream) const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

    // The kind that a blob's bytes hold, gkNone when none.
    static TfrxGraphicKind Sniff(const std::string& bytes);
    // Whether bytes hold a graphic of that kind: its signature and a whole
    // header of the kind's file format.
    static bool HoldsKind(TfrxGraphicKind kind, const std::string& bytes);
    static const char* ClassNameOf(TfrxGraphicKind kind);

    void DefineBinaryProperties(TfrxFiler& filer) override;
    TNotifyEvent OnChange;

private:
    void Changed();
    void ReadData(TStream* s);
    void WriteData(TStream* s) const;
    TfrxGraphicKind FKind = gkNone;
    std::string FData;
    int FWidth = 0;
    int FHeight = 0;
};

QZ_EXCEPTION(EfrxInvalidGraphic, Exception)
