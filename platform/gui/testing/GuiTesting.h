// Driving windows without a screen, for tests of this layer and of every
// control above it: input through the window system's own path (so capture,
// focus, double clicks and key translation happen as for a user), timers on
// a manual clock, and pictures of what a control shows.
#pragma once

#include "Forms.h"
#include "RecordingCanvas.h"
#include "RecordingHost.h"

#include <functional>
#include <string>
#include <vector>

namespace GuiTest {

// Makes the program's GUI ready (idempotent). Message boxes and dialogs then
// go to the log and answer with their default, so a test never waits on
// one; install a TRecordingHost (or MakeWindowSystemHost()) to change that.
void Init();

// Runs the program's loop until nothing is waiting.
void ProcessEvents();

// The timers' manual clock, for the life of a scope: timers fire only when
// Advance moves the clock.
class TManualTime {
public:
    TManualTime() { Timers::SetManualClock(true); }
    ~TManualTime() { Timers::SetManualClock(false); }
    void Advance(UINT ms) { Timers::Advance(ms); ProcessEvents(); }
};

// Mouse input at a point in the control's client coordinates.
void MouseMove(TControl* c, TPoint p, TShiftState shift = {});
void MouseDown(TControl* c, TMouseButton b, TPoint p, TShiftState shift = {});
void MouseUp(TControl* c, TMouseButton b, TPoint p, TShiftState shift = {});
void Click(TControl* c, TPoint p, TMouseButton b = mbLeft, TShiftState shift = {});
void DoubleClick(TControl* c, TPoint p, TShiftState shift = {});
// One notch is 120; positive turns away from the user.
void Wheel(TControl* c, TPoint p, int delta, TShiftState shift = {});

// Keys go to the window with the focus, like typing.
void KeyDown(int vk, TShiftState shift = {}, const std::string& text = {});
void KeyUp(int vk, TShiftState shift = {});
void KeyPress(int vk, TShiftState shift = {});
// Types the text (UTF-8), one character at a time; as input-method text when asked.
void TypeText(const std::string& text, bool inputMethod = false);
// An input method's text being composed (not committed), to the focused window.
void ComposeText(const std::string& preedit);

// What the control shows now, as the window system paints it.
TBitmap* Grab(TWinControl* c);   // caller frees
// The colour of one pixel of what the control shows (client coordinates).
TColor PixelAt(TWinControl* c, TPoint p);
// Test pictures, for a person to look at, are written only when
// QZ_KEEP_PICTURES=DIR is set, all into DIR: every test that makes a
// picture, document or other file to keep goes through these, never
// writing into the working or build folder or a fixed path otherwise.
// The folder pictures are kept in (made when missing); "" when they are not kept.
std::string KeepPicturesDir();
// With QZ_KEEP_PICTURES set, saves what the control shows as a PNG under the
// file name part of fileName in that folder; without, writes nothing. True
// when there was a picture (and, when kept, it was written).
bool SavePng(TWinControl* c, const std::string& fileName);
bool SavePng(TBitmap* b, const std::string& fileName);
// With QZ_KEEP_PICTURES set, copies a file a test made into that folder.
void KeepFile(const std::string& file);

// The drag image windows up on the screen now: where each lies (screen
// coordinates), whether it keeps out of the mouse's and the activation's way.
struct TDragImageWindowInfo {
    TRect Bounds;
    bool InputTransparent = false;
    bool Activates = true;
};
std::vector<TDragImageWindowInfo> ShownDragImages();
// One pixel of the first drag image window shown (window coordinates), its
// colour and how opaque it shows (0..255); false when none is up.
bool DragImagePixel(TPoint p, TColor& colour, int& alpha);

// Runs fn once the next loop (a modal one too) looks at its queue.
void Later(std::function<void()> fn);

// The popup menu up now (a popup menu's, or one opened from a menu bar):
// its items as shown, separators as "-". Empty when none is up.
struct TShownMenuItem {
    std::string Caption;     // with its accelerator mark and, after a tab, the short-cut
    bool Enabled = true;
    bool Checked = false;
    bool HasIcon = false;
    bool HasSubMenu = false;
};
std::vector<TShownMenuItem> ShownPopupMenu();
// Chooses an item of the popup menu up now, as a click would, and closes
// the menu; "文件|打开" goes through a submenu. False (the menu stays up)
// when there is no such enabled item.
bool ChoosePopupMenuItem(const std::string& path);
// Closes the popup menu up now without choosing.
void ClosePopupMenu();
// What the popup menu up now shows.
TBitmap* GrabPopupMenu();   // caller frees; null when none is up

// Runs this test program's tests matching filter again on a real X server
// (xvfb-run). Returns the exit code (0: all passed), with the output in out;
// -1 when already under X or xvfb-run is missing (the caller skips).
int RunUnderX(const std::string& filter, std::string& out);

} // namespace GuiTest
