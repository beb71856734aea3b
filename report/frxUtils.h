// General routines of the report library: component references, text
// splitting and conversions, the bracket scanner that finds expressions in
// text, hexadecimal text, page ranges, collections inside binary properties,
// temporary files and the error box.
#pragma once

#include "System.h"

#include <string>
#include <vector>

class TComponent;
class TCollection;
class TStream;
class TStrings;
class TfrxBinaryReader;
class TfrxBinaryWriter;
class TfrxReport;
class TCanvas;
class TBitmap;
class TGraphic;
class TCustomImageList;
struct TRect;

struct TfrxRect {
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
};
struct TfrxPoint {
    double X = 0, Y = 0;
};

namespace frxUtils {

TfrxRect MakeRect(double left, double top, double right, double bottom);
TfrxPoint MakePoint(double x, double y);

// "A": root's component A, or, when root is a report without one, the
// report's owner's component A; "A.B": A's component B. Null when missing.
TComponent* FindComponentByPath(TComponent* root, const std::string& path);
// The text by which a layout refers to component: its name when it has no
// owner or is owned by the report or the report's owner; empty otherwise.
std::string GetReferenceName(TComponent* report, TComponent* component);

// (reference text, object) of every component of class c owned by the
// report or by the report's owner, excluded left out.
void ListComponentsOfClass(TComponent* report, TClass c, TStrings* list, TComponent* excluded);

// The text from pos (1-based) up to the next separator or the end; pos
// moves after the separator.
std::string ExtractUntil(const std::string& text, int& pos, char separator);
// The pieces between separators (no trimming; a trailing separator adds no
// empty piece).
void SplitBySeparator(const std::string& text, TStrings* list, char separator);
std::vector<std::string> SplitBySeparator(const std::string& text, char separator);

std::string StreamToHexText(TStream* stream);
std::string BytesToHexText(const std::string& bytes);
// Decodes pairs of hexadecimal digits up to the first character that is
// none and writes them at position 0 of stream.
void HexTextToStream(const std::string& text, TStream* stream);
std::string HexTextToBytes(const std::string& text);

// Both "," and "." taken as the decimal separator, blanks ignored; raises
// EConvertError on bad text.
double StrToFloatAnySeparator(const std::string& text);
// "%2.2f" when the value has a fractional part, else the plain float text.
std::string FloatToTextTwoDecimals(double value);

// The text between an opening delimiter at startPos (1-based) and its
// matching closing delimiter, honouring nesting and quotes; endPos gets the
// position of the closing delimiter's last character.
std::string ExtractBracketedExpression(const std::string& text, const std::string& open,
                                       const std::string& close, int& startPos, int& endPos);

// "1,3,5-7" -> 1 3 5 6 7; a trailing "-" runs to lastPage.
std::vector<int> ParsePageNumbers(const std::string& text, int lastPage);
// Whether the text is a list of page numbers (1 and above) and ranges
// "a-b" with a <= b, separated by commas; the last item may be "a-".
bool ValidPageNumbers(const std::string& text);
// Whether a link clicked in the preview may be opened: an http, https or
// mailto address (scheme in any case), without blanks or control characters.
bool OpensInBrowser(const std::string& url);
// The 1-based pages of a report of pageCount pages that an export or a print takes:
// every page for an empty text, else those the text names that exist, in
// its order. Raises Exception with a message naming the text when it is not
// a page list or names no page of the report.
std::vector<int> SelectedPages(const std::string& text, int pageCount);

// A collection inside a binary property: 01, per item 01 0C length
// attribute-text 00, then 00. owner is the report that resolves references.
void WriteCollection(TCollection* collection, TfrxBinaryWriter& writer, TComponent* owner);
void ReadCollection(TCollection* collection, TfrxBinaryReader& reader, TComponent* owner);

// A new empty temporary file named "fr…" in folder (the system's
// temporary folder when empty).
std::string TempFileName(const std::string& folder);

void ShowErrorBox(const std::string& text);

// Drawing of bitmaps and graphics (frxUtilsGraphics.cpp).
// Tiles of width x height, left to right and row by row, into list (masked
// with each tile's transparent colour); with disabled, tiles come in pairs
// and the second of each, pure white turned light grey, goes there.
void SliceBitmapToImageList(TBitmap* bitmap, int width, int height, TCustomImageList* disabled,
                            TCustomImageList* list);
// The bitmap drawn at (x, y) without its transparent colour.
void DrawBitmapTransparent(TCanvas* canvas, int x, int y, TBitmap* bitmap);
// The bitmap stretched into r (smoothly for colour bitmaps).
void StretchDrawBitmap(TCanvas* canvas, const TRect& r, TBitmap* bitmap);
// A metafile replayed into r; any other graphic drawn into a 32-bit bitmap
// of its own size first, which is then stretched into r.
void DrawGraphic(TCanvas* canvas, const TRect& r, TGraphic* graphic);

// Writes the whole of stream to fileName through a scratch file in the same
// folder, so a failed write never leaves half a file in its place.
void SaveToFileWhole(TStream* stream, const std::string& fileName);

}  // namespace frxUtils
