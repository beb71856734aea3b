#include "cxGridCursors.h"

#include "Forms.h"
#include "Graphics.h"

#include <memory>
#include <vector>

namespace cxGridCursors {

namespace {

// 32 by 32 pictures: '#' black, '.' white, anything else see-through. The
// arrow's tip is the hot spot (0, 0); below it hangs one record, or a stack
// of three for several.
const std::vector<const char*>& RecordDragArt()
{
    static const std::vector<const char*> art = {
        "#                               ", "##                              ", "#.#                             ",
        "#..#                            ", "#...#                           ", "#....#                          ",
        "#.....#                         ", "#......#                        ", "#.......#                       ",
        "#........#                      ", "#.....#####                     ", "#..#..#                         ",
        "#.# #..#                        ", "##  #..#                        ", "#    #..#                       ",
        "     #..#                       ", "      ##                        ", "                                ",
        "      ##############            ", "      #............#            ", "      #.##########.#            ",
        "      #............#            ", "      #.######.....#            ", "      #............#            ",
        "      ##############            ", "                                ", "                                ",
        "                                ", "                                ", "                                ",
        "                                ", "                                "};
    return art;
}

const std::vector<const char*>& RecordsDragArt()
{
    static const std::vector<const char*> art = {
        "#                               ", "##                              ", "#.#                             ",
        "#..#                            ", "#...#                           ", "#....#                          ",
        "#.....#                         ", "#......#                        ", "#.......#                       ",
        "#........#                      ", "#.....#####                     ", "#..#..#                         ",
        "#.# #..#                        ", "##  #..#                        ", "#    #..#     ##############    ",
        "     #..#     #............#    ", "      ##      #.##########.#    ", "              #............#    ",
        "          ##############...#    ", "          #............#...#    ", "          #.##########.#####    ",
        "          #............#        ", "      ##############...#        ", "      #............#...#        ",
        "      #.##########.#####        ", "      #............#            ", "      #.######.....#            ",
        "      #............#            ", "      ##############            ", "                                ",
        "                                ", "                                "};
    return art;
}

std::unique_ptr<TBitmap> MakeBitmap(const std::vector<const char*>& AArt)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetWidth(32);
    bitmap->SetHeight(32);
    TCanvas* canvas = bitmap->Canvas();
    for (int y = 0; y < int(AArt.size()); ++y)
        for (int x = 0; x < 32; ++x) {
            char c = AArt[size_t(y)][x];
            canvas->SetPixels(x, y, c == '#' ? clBlack : c == '.' ? clWhite : clFuchsia);
        }
    bitmap->SetTransparentColor(clFuchsia);
    bitmap->SetTransparentMode(tmFixed);
    bitmap->SetTransparent(true);
    return bitmap;
}

HCURSOR MakeCursor(TCursor ACursor)
{
    std::unique_ptr<TBitmap> bitmap = DragCursorBitmap(ACursor);
    return CreateCursorFromBitmap(bitmap.get(), TPoint{0, 0});
}

}  // namespace

std::unique_ptr<TBitmap> DragCursorBitmap(TCursor ACursor)
{
    if (ACursor == crGridRecordDrag) return MakeBitmap(RecordDragArt());
    if (ACursor == crGridRecordsDrag) return MakeBitmap(RecordsDragArt());
    return nullptr;
}

void LoadDragCursors()
{
    if (!Screen) return;
    if (!Screen->Cursors(crGridRecordDrag)) Screen->SetCursors(crGridRecordDrag, MakeCursor(crGridRecordDrag));
    if (!Screen->Cursors(crGridRecordsDrag)) Screen->SetCursors(crGridRecordsDrag, MakeCursor(crGridRecordsDrag));
}

}  // namespace cxGridCursors
