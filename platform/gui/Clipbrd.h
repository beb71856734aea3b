// The clipboard: text, pictures and the program's own formats.
#pragma once

#include "Graphics.h"

#include <string>

using TClipboardFormat = UINT;
constexpr TClipboardFormat CF_TEXT = 1;
constexpr TClipboardFormat CF_BITMAP = 2;
constexpr TClipboardFormat CF_METAFILEPICT = 3;
constexpr TClipboardFormat CF_DIB = 8;
constexpr TClipboardFormat CF_UNICODETEXT = 13;
constexpr TClipboardFormat CF_ENHMETAFILE = 14;

// A format of the program's own, by name; the same name gives the same number.
TClipboardFormat RegisterClipboardFormat(const std::string& name);
// The picture format (any graphic a TPicture holds).
TClipboardFormat CF_PICTURE();

class TClipboard : public TPersistent {
    QZ_CLASS(TClipboard, TPersistent)
public:
    // Open and Close bracket several writes that form one clipboard content.
    void Open();
    void Close();
    void Clear();
    bool HasFormat(TClipboardFormat format) const;
    int FormatCount() const;

    std::string AsText() const;          // "" when the clipboard holds no text
    void SetAsText(const std::string& text);
    std::string GetTextBuf(int maxChars) const;

    // The bytes of a format of the program's own (empty when absent).
    std::string GetBuffer(TClipboardFormat format) const;
    void SetBuffer(TClipboardFormat format, const std::string& data);

    // Pictures: a bitmap (or a picture's graphic) goes on as an image.
    void Assign(TPersistent* source) override;
protected:
    void AssignTo(TPersistent* dest) override;
private:
    void Commit();
    int FOpenCount = 0;
    bool FEmptied = false;
    struct TPending;
    std::shared_ptr<TPending> FPending;
};

// The program's clipboard.
TClipboard* Clipboard();

// A picture as the clipboard's picture format holds it: the graphic's class
// name (a length byte and its characters), the 32-bit length of the
// graphic's bytes and those bytes. Reading raises EInvalidGraphic for a
// block that is cut short, names a class that is no graphic, or holds bytes
// that class refuses; the picture is then left as it was.
std::string PictureClipboardBlock(TGraphic* graphic);
void ReadPictureClipboardBlock(const std::string& block, TPicture* picture);
