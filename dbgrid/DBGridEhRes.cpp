// The grids' shared images, font and cursors, drawn here once: the shapes
// are the program's own (arrow, text cursor, star, dots, triangles).
#include "DBGridEhRes.h"

#include "DBGridEh.h"
#include "Forms.h"

#include <memory>

namespace {

constexpr int IndicatorSize = 10;
constexpr int MarkerWidth = 10, MarkerHeight = 10;
// Custom cursor numbers in the screen's cursor table.
constexpr TCursor ColumnSelectCursorId = 0x4501, RowSelectCursorId = 0x4502, RowSelectCursorRtlId = 0x4503;

std::unique_ptr<TBitmap> NewImage(int w, int h, TColor background)
{
    auto b = std::make_unique<TBitmap>(w, h);
    b->Canvas()->Brush()->SetColor(background);
    b->Canvas()->FillRect(TRect{0, 0, w, h});
    b->Canvas()->Pen()->SetColor(clBlack);
    b->Canvas()->Brush()->SetColor(clBlack);
    return b;
}

void Arrow(TCanvas* c, TColor colour)
{
    c->Pen()->SetColor(colour);
    c->Brush()->SetColor(colour);
    c->Polygon({Point(3, 1), Point(7, 5), Point(3, 9)});
}

// The named images of the indicator, in the order of the list.
std::unique_ptr<TBitmap> IndicatorBitmap(int index)
{
    if (index == 5) {   // light on a background drawn transparent
        auto b = NewImage(IndicatorSize, IndicatorSize, clTeal);
        Arrow(b->Canvas(), clWhite);
        return b;
    }
    auto b = NewImage(IndicatorSize, IndicatorSize, clWhite);
    TCanvas* c = b->Canvas();
    switch (index) {
    case 0: Arrow(c, clBlack); break;
    case 1:   // a text cursor
        c->MoveTo(5, 1);
        c->LineTo(5, 9);
        c->MoveTo(3, 1);
        c->LineTo(8, 1);
        c->MoveTo(3, 8);
        c->LineTo(8, 8);
        break;
    case 2:   // a star
        c->MoveTo(1, 5);
        c->LineTo(9, 5);
        c->MoveTo(5, 1);
        c->LineTo(5, 9);
        c->MoveTo(2, 2);
        c->LineTo(8, 8);
        c->MoveTo(7, 2);
        c->LineTo(1, 8);
        break;
    case 3: c->Ellipse(3, 3, 7, 7); break;
    case 4:
        Arrow(c, clBlack);
        c->Ellipse(7, 7, 10, 10);
        break;
    default: break;
    }
    return b;
}

std::unique_ptr<TBitmap> SortMarkerBitmap(bool down)
{
    auto b = NewImage(MarkerWidth, MarkerHeight, clFuchsia);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clGray);
    c->Brush()->SetColor(clGray);
    if (down) c->Polygon({Point(1, 3), Point(9, 3), Point(5, 7)});
    else c->Polygon({Point(1, 7), Point(9, 7), Point(5, 3)});
    return b;
}

// The cursors: a thick arrow pointing down, right or left, white edged.
std::unique_ptr<TBitmap> CursorBitmap(int direction)
{
    auto b = std::make_unique<TBitmap>(16, 16);
    b->SetPixelFormat(pf32bit);
    b->Canvas()->Brush()->SetColor(clFuchsia);
    b->Canvas()->FillRect(TRect{0, 0, 16, 16});
    b->SetTransparentColor(clFuchsia);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clWhite);
    c->Brush()->SetColor(clBlack);
    switch (direction) {
    case 0: c->Polygon({Point(5, 0), Point(10, 0), Point(10, 8), Point(14, 8), Point(7, 15), Point(1, 8), Point(5, 8)}); break;
    case 1: c->Polygon({Point(0, 5), Point(8, 5), Point(8, 1), Point(15, 7), Point(8, 14), Point(8, 10), Point(0, 10)}); break;
    default: c->Polygon({Point(15, 5), Point(7, 5), Point(7, 1), Point(0, 7), Point(7, 14), Point(7, 10), Point(15, 10)}); break;
    }
    return b;
}

struct TSharedResources {
    std::unique_ptr<TCustomImageList> Indicators, SortMarkers;
    std::unique_ptr<TFont> SortIndexFont;
    bool CursorsLoaded = false;

    TSharedResources()
    {
        SortIndexFont = std::make_unique<TFont>();
        SortIndexFont->SetHeight(-(MarkerHeight - 1));
        SortIndexFont->SetName("Arial");
        Indicators = std::make_unique<TCustomImageList>(IndicatorSize, IndicatorSize);
        for (int i = 0; i < 5; ++i) Indicators->AddMasked(IndicatorBitmap(i).get(), clWhite);
        Indicators->AddMasked(IndicatorBitmap(5).get(), clTeal);
        RebuildSearch();
        SortMarkers = std::make_unique<TCustomImageList>(MarkerWidth, MarkerHeight);
        SortMarkers->AddMasked(SortMarkerBitmap(true).get(), clFuchsia);
        SortMarkers->AddMasked(SortMarkerBitmap(false).get(), clFuchsia);
    }

    // Image 6: the light arrow in the search colour (teal itself would vanish
    // as the transparent colour, so a teal a shade darker stands in).
    void RebuildSearch()
    {
        TColor colour = DBGridEh::IncSearchColor == clTeal ? TColor(RGB(0, 127, 127)) : DBGridEh::IncSearchColor;
        auto b = NewImage(IndicatorSize, IndicatorSize, clTeal);
        Arrow(b->Canvas(), colour);
        if (Indicators->Count() >= DBGridEh::IndicatorImageCount) Indicators->Delete(DBGridEh::IndicatorImageCount - 1);
        Indicators->AddMasked(b.get(), clTeal);
    }

    void LoadCursors()
    {
        if (CursorsLoaded || !Screen) return;
        const std::pair<TCursor, int> cursors[] = {
            {ColumnSelectCursorId, 0}, {RowSelectCursorId, 1}, {RowSelectCursorRtlId, 2}};
        for (const auto& [id, direction] : cursors) {
            if (Screen->Cursors(id)) continue;
            auto image = CursorBitmap(direction);
            TPoint hot = direction == 0 ? Point(7, 15) : direction == 1 ? Point(15, 7) : Point(0, 7);
            HCURSOR h = CreateCursorFromBitmap(image.get(), hot);
            if (!h) throw EOutOfResources("Cannot load cursor resource");
            Screen->SetCursors(id, h);
        }
        CursorsLoaded = true;
    }
};

TSharedResources& Shared()
{
    static TSharedResources r;
    return r;
}

} // namespace

namespace DBGridEh {

TCustomImageList* IndicatorImages() { return Shared().Indicators.get(); }
TCustomImageList* SortMarkerImages() { return Shared().SortMarkers.get(); }
TFont* SortIndexFont() { return Shared().SortIndexFont.get(); }
void RebuildSearchIndicator() { Shared().RebuildSearch(); }

TCursor ColumnSelectCursor()
{
    Shared().LoadCursors();
    return ColumnSelectCursorId;
}

TCursor RowSelectCursor()
{
    Shared().LoadCursors();
    return RowSelectCursorId;
}

TCursor RowSelectCursorRtl()
{
    Shared().LoadCursors();
    return RowSelectCursorRtlId;
}

} // namespace DBGridEh
