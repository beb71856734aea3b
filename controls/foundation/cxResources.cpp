#include "cxResources.h"

#include <cstring>

namespace cxResources {

namespace {

// One picture: rows of characters, each character a colour of the palette
// below. '.' is white, which the indicator images treat as see-through.
struct TArt {
    const char* Name;
    std::vector<const char*> Rows;
};

TColor PaletteColor(char c)
{
    switch (c) {
    case '#': return clBlack;
    case '.': return clWhite;
    case 'g': return clGray;
    case 's': return clSilver;
    case 'n': return clNavy;
    case 'b': return clBlue;
    case 'r': return clMaroon;
    case 'm': return clFuchsia;   // the background of transparent glyphs
    case 'y': return clYellow;
    default: return clWhite;
    }
}

const std::vector<TArt>& Arts()
{
    static const std::vector<TArt> arts = {
        // Row indicators, 5 by 9: current row, editing, inserting, several
        // rows selected, current row among several selected.
        {"CX_ARROWBITMAP", {"#....", "##...", "###..", "####.", "#####", "####.", "###..", "##...", "#...."}},
        {"CX_EDITBITMAP", {"##.##", "..#..", "..#..", "..#..", "..#..", "..#..", "..#..", "..#..", "##.##"}},
        {"CX_INSERTBITMAP", {".....", ".....", "#.#.#", ".###.", "#####", ".###.", "#.#.#", ".....", "....."}},
        {"CX_MULTIDOTBITMAP", {".....", ".....", ".....", ".###.", ".###.", ".###.", ".....", ".....", "....."}},
        {"CX_MULTIARROWBITMAP", {"#....", "##...", "###..", "####.", "###..", "##...", "#....", ".....", "....."}},
        // Auto-hide pins, 12 by 12: the pin lying (on) and standing (off).
        {"CX_AUTOHIDEON",
         {"mmmmmmmmmmmm", "mmmmmmmmmmmm", "mmmm#mmmmmmm", "mmmm#######m", "mmmm#....g#m", "#####....g#m",
          "mmmm#ggggg#m", "mmmm#######m", "mmmm#mmmmmmm", "mmmmmmmmmmmm", "mmmmmmmmmmmm", "mmmmmmmmmmmm"}},
        {"CX_AUTOHIDEOFF",
         {"mmm#####mmmm", "mmm#..g#mmmm", "mmm#..g#mmmm", "mmm#..g#mmmm", "mmm#..g#mmmm", "mm#######mmm",
          "mmmmm#mmmmmm", "mmmmm#mmmmmm", "mmmmm#mmmmmm", "mmmmm#mmmmmm", "mmmmmmmmmmmm", "mmmmmmmmmmmm"}},
        // Pan-scrolling origin marks, 28 by 28: both ways, up-down, left-right.
        {"CX_FULLSCROLLBITMAP",
         {"mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmm####mmmmmmmmmmmm", "mmmmmmmmmmm#....#mmmmmmmmmmm",
          "mmmmmmmmmm#..##..#mmmmmmmmmm", "mmmmmmmmm#..####..#mmmmmmmmm", "mmmmmmmmm#########mmmmmmmmmm",
          "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm",
          "mmmm##mmmmmmmmmmmmmmmmm##mmm", "mmm#.#mmmmmmmmmmmmmmmmm#.#mm", "mm#..#mmmmmmmmmmmmmmmmm#..#m",
          "m#.#.#mmmmmm####mmmmmmm#.#.#", "#.##.#mmmmm#....#mmmmmm#.##.", "#.##.#mmmmm#....#mmmmmm#.##.",
          "m#.#.#mmmmmm####mmmmmmm#.#.#", "mm#..#mmmmmmmmmmmmmmmmm#..#m", "mmm#.#mmmmmmmmmmmmmmmmm#.#mm",
          "mmmm##mmmmmmmmmmmmmmmmm##mmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm",
          "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmm#########mmmmmmmmmm", "mmmmmmmmm#..####..#mmmmmmmmm",
          "mmmmmmmmmm#..##..#mmmmmmmmmm", "mmmmmmmmmmm#....#mmmmmmmmmmm", "mmmmmmmmmmmm####mmmmmmmmmmmm",
          "mmmmmmmmmmmmmmmmmmmmmmmmmmmm"}},
        {"CX_VERSCROLLBITMAP",
         {"mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmm####mmmmmmmmmmmm", "mmmmmmmmmmm#....#mmmmmmmmmmm",
          "mmmmmmmmmm#..##..#mmmmmmmmmm", "mmmmmmmmm#..####..#mmmmmmmmm", "mmmmmmmmm#########mmmmmmmmmm",
          "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm",
          "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm",
          "mmmmmmmmmmmm####mmmmmmmmmmmm", "mmmmmmmmmmm#....#mmmmmmmmmmm", "mmmmmmmmmmm#....#mmmmmmmmmmm",
          "mmmmmmmmmmmm####mmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm",
          "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm",
          "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmm#########mmmmmmmmmm", "mmmmmmmmm#..####..#mmmmmmmmm",
          "mmmmmmmmmm#..##..#mmmmmmmmmm", "mmmmmmmmmmm#....#mmmmmmmmmmm", "mmmmmmmmmmmm####mmmmmmmmmmmm",
          "mmmmmmmmmmmmmmmmmmmmmmmmmmmm"}},
        {"CX_HORSCROLLBITMAP",
         {"mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm",
          "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm",
          "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm",
          "mmmm##mmmmmmmmmmmmmmmmm##mmm", "mmm#.#mmmmmmmmmmmmmmmmm#.#mm", "mm#..#mmmmmmmmmmmmmmmmm#..#m",
          "m#.#.#mmmmmm####mmmmmmm#.#.#", "#.##.#mmmmm#....#mmmmmm#.##.", "#.##.#mmmmm#....#mmmmmm#.##.",
          "m#.#.#mmmmmm####mmmmmmm#.#.#", "mm#..#mmmmmmmmmmmmmmmmm#..#m", "mmm#.#mmmmmmmmmmmmmmmmm#.#mm",
          "mmmm##mmmmmmmmmmmmmmmmm##mmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm",
          "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm",
          "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmm",
          "mmmmmmmmmmmmmmmmmmmmmmmmmmmm"}},
    };
    return arts;
}

}  // namespace

std::unique_ptr<TBitmap> LoadBitmap(const std::string& AName)
{
    for (const TArt& art : Arts()) {
        if (AName != art.Name) continue;
        const int h = int(art.Rows.size());
        const int w = h ? int(std::strlen(art.Rows[0])) : 0;
        auto bmp = std::make_unique<TBitmap>(w, h);
        TCanvas* c = bmp->Canvas();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w && art.Rows[size_t(y)][x]; ++x) c->SetPixels(x, y, PaletteColor(art.Rows[size_t(y)][x]));
        return bmp;
    }
    return nullptr;
}

std::vector<std::string> BitmapNames()
{
    std::vector<std::string> names;
    for (const TArt& art : Arts()) names.push_back(art.Name);
    return names;
}

}  // namespace cxResources
