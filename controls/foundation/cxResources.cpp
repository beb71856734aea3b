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
        // Control cursors, 16 by 16, hot spot in the middle (drag, pan, sizing).
        {"CX_DRAGCOPYCURSOR",
         {"#mmmmmmmmmmmmmmm", "##mmmmmmmmmmmmmm", "#.#mmmmmmmmmmmmm", "#..#mmmmmmmmmmmm", "#...#mmmmmmmmmmm", "#....#mmmmmmmmmm", "#.....#mmmmmmmmm", "#......#mmmmmmmm", "#......#mmmmmmmm", "#......#mmmmmmmm", "########mmmm#mmm", "mmmmmmmmmmmm#mmm", "mmmmmmmmmm#####m", "mmmmmmmmmmmm#mmm", "mmmmmmmmmmmm#mmm", "mmmmmmmmmmmmmmmm"}},
        {"CX_FULLSCROLLCURSOR",
         {"mmmmmmm#mmmmmmmm", "mmmmmm###mmmmmmm", "mmmmm#####mmmmmm", "mmmm########mmmm", "mmm##########mmm", "mm###mmmmmm###mm", "m####mmmmmm####m", "#####mm##mm#####", "m####mm##mm####m", "mm###mmmmmm###mm", "mmm##mmmmmm##mmm", "mmm#########mmmm", "mmmm#######mmmmm", "mmmmm#####mmmmmm", "mmmmmm###mmmmmmm", "mmmmmmm#mmmmmmmm"}},
        {"CX_HORSCROLLCURSOR",
         {"mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmm#mmmmmm#mmmm", "mmm##mmmmmm##mmm", "mm###mmmmmm###mm", "m####mmmmmm####m", "#####mm##mm#####", "m####mm##mm####m", "mm###mmmmmm###mm", "mmm##mmmmmm##mmm", "mmmm#mmmmmm#mmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm"}},
        {"CX_VERSCROLLCURSOR",
         {"mmmmmmm#mmmmmmmm", "mmmmmm###mmmmmmm", "mmmmm#####mmmmmm", "mmmm#######mmmmm", "mmm#########mmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmm##mmmmmmm", "mmmmmmm##mmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmm#########mmmm", "mmmm#######mmmmm", "mmmmm#####mmmmmm", "mmmmmm###mmmmmmm", "mmmmmmm#mmmmmmmm"}},
        {"CX_UPSCROLLCURSOR",
         {"mmmmmmm#mmmmmmmm", "mmmmmm###mmmmmmm", "mmmmm#####mmmmmm", "mmmm#######mmmmm", "mmm#########mmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmm##mmmmmmm", "mmmmmmm##mmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm"}},
        {"CX_RIGHTSCROLLCURSOR",
         {"mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmm#mmmm", "mmmmmmmmmmm##mmm", "mmmmmmmmmmm###mm", "mmmmmmmmmmm####m", "mmmmmmm##mm#####", "mmmmmmm##mm####m", "mmmmmmmmmmm###mm", "mmmmmmmmmmm##mmm", "mmmmmmmmmmm#mmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm"}},
        {"CX_DOWNSCROLLCURSOR",
         {"mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmm##mmmmmmm", "mmmmmmm##mmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmm#########mmmm", "mmmm#######mmmmm", "mmmmm#####mmmmmm", "mmmmmm###mmmmmmm", "mmmmmmm#mmmmmmmm"}},
        {"CX_LEFTSCROLLCURSOR",
         {"mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmm#mmmmmmmmmmm", "mmm##mmmmmmmmmmm", "mm###mmmmmmmmmmm", "m####mmmmmmmmmmm", "#####mm##mmmmmmm", "m####mm##mmmmmmm", "mm###mmmmmmmmmmm", "mmm##mmmmmmmmmmm", "mmmm#mmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm"}},
        {"CX_REMOVECURSOR",
         {"mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mm#mmmmmmmmmm#mm", "mmm#mmmmmmmm#mmm", "mmmm#mmmmmm#mmmm", "mmmmm#mmmm#mmmmm", "mmmmmm#mm#mmmmmm", "mmmmmmm##mmmmmmm", "mmmmmmm##mmmmmmm", "mmmmmm#mm#mmmmmm", "mmmmm#mmmm#mmmmm", "mmmm#mmmmmm#mmmm", "mmm#mmmmmmmm#mmm", "mm#mmmmmmmmmm#mm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm"}},
        {"CX_VERTSIZECURSOR",
         {"mmmmmmm#mmmmmmmm", "mmmmmm###mmmmmmm", "mmmmm#####mmmmmm", "mmmm#######mmmmm", "mmm#########mmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mm############mm", "mm############mm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmm#########mmmm", "mmmm#######mmmmm", "mmmmm#####mmmmmm", "mmmmmm###mmmmmmm", "mmmmmmm#mmmmmmmm"}},
        {"CX_HORZSIZECURSOR",
         {"mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmm##mmmmmmm", "mmmm#mm##mm#mmmm", "mmm##mm##mm##mmm", "mm###mm##mm###mm", "m####mm##mm####m", "#####mm##mm#####", "m####mm##mm####m", "mm###mm##mm###mm", "mmm##mm##mm##mmm", "mmmm#mm##mm#mmmm", "mmmmmmm##mmmmmmm", "mmmmmmm##mmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm"}},
        {"CX_MULTIDRAGCURSOR",
         {"#mmmmmmmmmmmmmmm", "##mmmmmmmmmmmmmm", "#.#mmmmmmmmmmmmm", "#..#mmmmmmmmmmmm", "#...#mmmmmmmmmmm", "#....#mmmmmmmmmm", "#.....#mmmmmmmmm", "#......#mmmmmmmm", "#......#mmmmmmmm", "#......#mmm#####", "########mmmmmmm#", "mmmmmmmmm#######", "mmmmmmmmm#....#m", "mmmmmmmmm#....#m", "mmmmmmmmm######m", "mmmmmmmmmmmmmmmm"}},
        {"CX_NODROPCURSOR",
         {"#mmmmmmmmmmmmmmm", "##mmmmmmmmmmmmmm", "#.#mmmmmmmmmmmmm", "#..#mmmmmmmmmmmm", "#...#mmmmmmmmmmm", "#....#mmmmmmmmmm", "#.....#mmmmmmmmm", "#......#mmmmmmmm", "#......#mmmmmmmm", "#......#mmrrrmmm", "########mrmmmrmm", "mmmmmmmmrmmmmmrm", "mmmmmmmmrmmrmmrm", "mmmmmmmmrmmmmmrm", "mmmmmmmmmrmmmrmm", "mmmmmmmmmmrrrmmm"}},
        {"CX_DRAGCURSOR",
         {"#mmmmmmmmmmmmmmm", "##mmmmmmmmmmmmmm", "#.#mmmmmmmmmmmmm", "#..#mmmmmmmmmmmm", "#...#mmmmmmmmmmm", "#....#mmmmmmmmmm", "#.....#mmmmmmmmm", "#......#mmmmmmmm", "#......#mmmmmmmm", "#......#mmmmmmmm", "########mmmmmmmm", "mmmmmmmmm######m", "mmmmmmmmm#....#m", "mmmmmmmmm#....#m", "mmmmmmmmm######m", "mmmmmmmmmmmmmmmm"}},
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
