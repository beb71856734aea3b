// Docking: dock sites that hold forms and controls side by side, controls
// and tool windows that float in windows of their own and dock again, the
// drag that moves them, and the layout stream of a site (the docked
// controls by name with their sizes), which the program keeps in its
// settings.
#pragma once

#include "Controls.h"

#include <functional>
#include <string>
#include <vector>

class TStream;

// What a dock drag carries: the control, where it would go and how.
class TDragDockObject : public TDragObject {
    QZ_CLASS(TDragDockObject, TDragObject)
public:
    explicit TDragDockObject(TControl* control = nullptr) : FControl(control) {}
    TControl* Control() const override { return FControl.Get(); }
    TWinControl* DockTarget = nullptr;
    TRect DockRect;            // screen: where the control would lie
    TAlign DropAlign = alNone;
    TControl* DropOnControl = nullptr;
    bool Floating = false;     // dropped outside every site
private:
    TWeakRef<TControl> FControl;
};

// The arrangement of one site: its controls one after the other across the
// site (top to bottom in a site aligned left, right or not at all; left to
// right in one aligned top or bottom), each with its size along that line;
// the last takes what is left.
class TDockManager : public TObject {
    QZ_CLASS(TDockManager, TObject)
public:
    explicit TDockManager(TWinControl* site) : FSite(site) {}
    // Places control before dropControl (insertAt alLeft or alTop), after it
    // (alRight, alBottom), or last.
    void InsertControl(TControl* control, TAlign insertAt, TControl* dropControl);
    void RemoveControl(TControl* control);
    void ResetBounds(bool force);
    int Count() const { return int(FZones.size()); }
    TControl* Client(int i) const { return FZones[size_t(i)].Control.Get(); }
    int ZoneSize(int i) const { return FZones[size_t(i)].Size; }
    void SetZoneSize(int i, int size);
    bool Vertical() const;   // controls stacked top to bottom

    // The layout stream: names and sizes. Loading docks every named control
    // that the finder knows into the site in order; names it does not know
    // are skipped. A stream that is broken raises EReadError and changes
    // nothing.
    void SaveToStream(TStream* stream) const;
    void LoadFromStream(TStream* stream);

private:
    struct TZone {
        TWeakRef<TControl> Control;
        int Size = 0;
    };
    void Prune();
    TWinControl* FSite;
    std::vector<TZone> FZones;
};

// Finds a control named in a layout stream: by default among the
// components owned by the application and its forms.
using TDockControlFinder = std::function<TControl*(const std::string& name)>;
void SetDockControlFinder(TDockControlFinder finder);

// The window a docked control floats in when it is no form itself.
class TFloatDockForm;

// Starts dragging control to dock: the mouse then shows where it would go
// (a frame on the screen overlay), the button's release docks it into the
// site under the cursor or floats it there; Esc cancels.
void BeginDockDrag(TControl* control);
bool DockDragging();
void CancelDockDrag();

// The names and sizes in a layout stream, read without docking anything
// (raises EReadError for a broken stream).
struct TDockLayoutEntry {
    std::string Name;
    int Size = 0;
    bool Visible = true;
};
std::vector<TDockLayoutEntry> ReadDockLayout(TStream* stream);
