#include "Themes.h"

namespace {
std::unique_ptr<TThemeServices>& Current()
{
    static std::unique_ptr<TThemeServices> s = std::make_unique<TThemeServices>();
    return s;
}
}

TThemeServices* ThemeServices() { return Current().get(); }

std::unique_ptr<TThemeServices> SetThemeServices(std::unique_ptr<TThemeServices> services)
{
    auto old = std::move(Current());
    Current() = services ? std::move(services) : std::make_unique<TThemeServices>();
    return old;
}

BOOL DrawThemedFrameControl(HDC dc, const TRect& r, UINT type, UINT state)
{
    TThemeServices* t = ThemeServices();
    if (t->Available()) {
        const UINT kind = state & 0xFF;
        const bool inactive = state & DFCS_INACTIVE, pushed = state & DFCS_PUSHED, hot = state & DFCS_HOT;
        // Within each check state: normal, hot, pressed, disabled.
        const int sub = inactive ? 4 : pushed ? 3 : hot ? 2 : 1;
        std::string cls;
        int part = 0, st = 0;
        if (type == DFC_BUTTON) {
            cls = "BUTTON";
            if (kind & DFCS_BUTTONPUSH) {
                part = BP_PUSHBUTTON;
                st = sub;
            } else if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE)) {
                part = BP_RADIOBUTTON;
                st = (state & DFCS_CHECKED ? 4 : 0) + sub;
            } else if (!(kind & DFCS_BUTTONRADIOMASK)) {
                part = BP_CHECKBOX;
                int check = !(state & DFCS_CHECKED) ? 0 : (kind & DFCS_BUTTON3STATE) ? 8 : 4;
                st = check + sub;
            }
        } else if (type == DFC_SCROLL && kind == DFCS_SCROLLSIZEGRIP) {
            cls = "STATUS";
            part = SP_GRIPPER;
            st = 1;
        } else if (type == DFC_SCROLL && kind == DFCS_SCROLLCOMBOBOX) {
            cls = "COMBOBOX";
            part = CP_DROPDOWNBUTTON;
            st = sub;
        }
        if (part && t->DrawBackground(dc, cls, part, st, r)) return 1;
    }
    return DrawFrameControl(dc, r, type, state);
}

std::unique_ptr<TBitmap> LoadCheckBoxesBitmap()
{
    const int c = CheckBoxCellSize;
    auto b = std::make_unique<TBitmap>(4 * c, 3 * c);
    TCanvas* canvas = b->Canvas();
    canvas->Brush()->SetColor(clBtnFace);
    canvas->FillRect(Rect(0, 0, 4 * c, 3 * c));
    const UINT rows[3] = {DFCS_BUTTONCHECK, DFCS_BUTTONRADIO, DFCS_BUTTON3STATE};
    const UINT cols[4] = {0, DFCS_CHECKED, DFCS_PUSHED, DFCS_PUSHED | DFCS_CHECKED};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            DrawFrameControl(canvas->Handle(), Bounds(col * c, row * c, c, c), DFC_BUTTON, rows[row] | cols[col]);
    return b;
}
