// Visual styles and the layer's own drawing of the platform's frame
// controls. There are no visual styles here: the theme service answers
// "unavailable" and every control draws its classic look through
// DrawFrameControl. A test (or another look) installs a service of its own.
#pragma once

#include "Graphics.h"

#include <memory>
#include <string>

// Theme classes and parts the controls ask for.
constexpr int BP_PUSHBUTTON = 1;
constexpr int BP_RADIOBUTTON = 2;
constexpr int BP_CHECKBOX = 3;
constexpr int BP_GROUPBOX = 4;
constexpr int CP_DROPDOWNBUTTON = 1;
constexpr int EP_EDITTEXT = 1;
constexpr int SPNP_UP = 1;
constexpr int SPNP_DOWN = 2;
constexpr int SPNP_UPHORZ = 3;
constexpr int SPNP_DOWNHORZ = 4;
constexpr int WP_SMALLCLOSEBUTTON = 19;
constexpr int SP_GRIPPER = 3;
// States of a push button, a check box and a radio button (1-based, four per check state).
constexpr int PBS_NORMAL = 1, PBS_HOT = 2, PBS_PRESSED = 3, PBS_DISABLED = 4, PBS_DEFAULTED = 5;
constexpr int CBS_UNCHECKEDNORMAL = 1, CBS_CHECKEDNORMAL = 5, CBS_MIXEDNORMAL = 9;
constexpr int RBS_UNCHECKEDNORMAL = 1, RBS_CHECKEDNORMAL = 5;

class TThemeServices {
public:
    virtual ~TThemeServices() = default;
    // Whether visual styles exist and are switched on.
    virtual bool Available() const { return false; }
    // Each answers false when it did nothing (the caller then draws the classic look).
    virtual bool DrawBackground(HDC dc, const std::string& themeClass, int part, int state, const TRect& r)
    {
        return false;
    }
    virtual bool PartSize(const std::string& themeClass, int part, int state, TSize& size) { return false; }
    virtual bool ContentRect(const std::string& themeClass, int part, int state, const TRect& bounds,
                             TRect& content)
    {
        return false;
    }
    virtual bool Color(const std::string& themeClass, int part, int state, TColor& color) { return false; }
    virtual bool PartiallyTransparent(const std::string& themeClass, int part, int state) { return false; }
};

// The service in use; never null.
TThemeServices* ThemeServices();
// Puts a service in place (null: the one that answers "unavailable") and
// returns the one it replaces.
std::unique_ptr<TThemeServices> SetThemeServices(std::unique_ptr<TThemeServices> services);

// A frame control (DFC_BUTTON, DFC_SCROLL with the DFCS_ state) drawn
// through the theme when one is available, else in the classic look.
BOOL DrawThemedFrameControl(HDC dc, const TRect& r, UINT type, UINT state);

// The strip of check-box images (OBM_CHECKBOXES): 4 columns by 3 rows of
// 13 x 13 cells. Rows: check box, radio button, three-state check box;
// columns: unchecked, checked, pushed, pushed and checked.
constexpr int CheckBoxCellSize = 13;
std::unique_ptr<TBitmap> LoadCheckBoxesBitmap();
