// The designer's own tool-bar docking: docks along the window's edges that
// stack tool bars in rows, tool bars with a grip that are dragged within a
// dock, between docks and out into small floating windows, side dock sites
// for the tool windows with a splitter, and the routines that keep all their
// places in the designer's settings store.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "TypInfo.h"

#include <string>

class TCustomIniFile;
class TSpeedButton;
class TfrxToolBar;

enum TfrxOrientation { toAny, toVertOnly, toHorzOnly };
QZ_ENUM_TYPEINFO(TfrxOrientation, "toAny", "toVertOnly", "toHorzOnly")

// Holds tool bars in rows of RowSize pixels; made aligned to the top.
class TfrxDock : public TPanel {
    QZ_CLASS(TfrxDock, TPanel)
public:
    explicit TfrxDock(TComponent* owner = nullptr);
    int RowSize() const { return FRowSize; }
    void SetRowSize(int v) { FRowSize = v; }
    // Lays the rows out again and sizes the dock to them (1 pixel thick when empty).
    void AdjustBounds();
    // Tool bars lie side by side (a top or bottom dock) or one above the other.
    bool Horizontal() const { return Align() != alLeft && Align() != alRight; }
    // Bottom and right docks count their rows from the window's edge.
    bool FromOuterEdge() const { return Align() == alBottom || Align() == alRight; }

protected:
    void Paint() override;

private:
    int FRowSize = 26;
};

// The 8 x 8 grip of a tool bar; the mouse on it drags the bar.
class TfrxDragBox : public TGraphicControl {
    QZ_CLASS(TfrxDragBox, TGraphicControl)
public:
    explicit TfrxDragBox(TComponent* owner = nullptr);

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
};

// A container for combo boxes inside a tool bar: aligned left in a
// horizontal dock, top in a vertical one.
class TfrxTBPanel : public TPanel {
    QZ_CLASS(TfrxTBPanel, TPanel)
public:
    explicit TfrxTBPanel(TComponent* owner = nullptr);
    void SetParent(TWinControl* parent) override;
};

// The borderless window of a floating tool bar: a title band that drags it
// (and docks the bar when it comes over a dock) and a close button.
class TfrxFloatWindow : public TForm {
    QZ_CLASS(TfrxFloatWindow, TForm)
public:
    explicit TfrxFloatWindow(TComponent* owner = nullptr);
    ~TfrxFloatWindow() override;
    TfrxToolBar* ToolBar() const { return FToolBar; }
    void SetToolBar(TfrxToolBar* bar) { FToolBar = bar; }
    TSpeedButton* CloseBtn() const { return FCloseBtn; }
    bool Dragging() const { return FDragging; }
    // Starts dragging the window as a press on its title would.
    void StartDrag();

    void FormPaint(TObject* sender);
    void FormShow(TObject* sender);
    void CloseBtnClick(TObject* sender);

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    TfrxToolBar* FToolBar = nullptr;
    TSpeedButton* FCloseBtn = nullptr;
    bool FDragging = false;
    TPoint FLastPos;
};

class TfrxToolBar : public TPanel {
    QZ_CLASS(TfrxToolBar, TPanel)
public:
    explicit TfrxToolBar(TComponent* owner = nullptr);
    ~TfrxToolBar() override;

    bool CanFloat = true;
    TfrxOrientation Orientation = toAny;
    bool GetCanFloat() const { return CanFloat; }
    void SetCanFloat(bool v) { CanFloat = v; }
    TfrxOrientation GetOrientation() const { return Orientation; }
    void SetOrientation(TfrxOrientation v) { Orientation = v; }

    TfrxDragBox* Grip() const { return FGrip; }
    TfrxFloatWindow* FloatWindow() const { return FFloatWindow; }
    bool Floating() const { return FFloating; }
    bool Dragging() const { return FDragging; }
    TfrxDock* Dock() const;

    // Floating: whether its float window shows; docked: whether it shows.
    bool IsVisible() const;
    void SetBarVisible(bool v);
    void DockTo(TfrxDock* dock, int x, int y);
    // Docks the bar after the dock's existing rows.
    void AddToDock(TfrxDock* dock);
    // Docks the bar into the dock of parent under point (parent's client
    // coordinates) and goes on dragging it there; false when no dock there
    // takes the bar's orientation.
    bool TryDockAt(TWinControl* parent, TPoint point);
    void MakeFloat(int x, int y);
    void FloatAtCursor();
    void AdjustControls();
    void AdjustSize();
    // Places the bar in its dock at (x, y) without overlapping other bars;
    // far enough before the dock's start it floats.
    bool MoveTo(int x, int y);

    // For the float window: it is going away.
    void FloatWindowGone() { FFloatWindow = nullptr; }
    // Grip and bar share the drag: points in the bar's client coordinates.
    void DragPress(int x, int y);
    void DragMove(int x, int y);
    void DragRelease();

protected:
    void Paint() override;
    void Resize() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    bool DockHorizontal() const;
    TfrxDragBox* FGrip = nullptr;
    TfrxFloatWindow* FFloatWindow = nullptr;
    bool FFloating = false;
    bool FDragging = false;
    TPoint FLastPos;   // screen
};

// A side site the tool windows dock into by name, with a splitter beside it
// in its parent that sizes it.
class TfrxDockSite : public TPanel {
    QZ_CLASS(TfrxDockSite, TPanel)
public:
    explicit TfrxDockSite(TComponent* owner = nullptr);
    TControl* Splitter() const { return FSplitter; }
    bool Resizing() const { return FResizing; }
    void SetParent(TWinControl* parent) override;
    void SetBounds(int left, int top, int width, int height) override;

    // For the splitter: a press, a move by dx pixels, a release.
    void SplitterPress() { FResizing = true; }
    void SplitterMove(int dx);
    void SplitterRelease() { FResizing = false; }
    // Places the splitter beside the site, on its inner side.
    void PlaceSplitter();

private:
    TControl* FSplitter = nullptr;
    bool FResizing = false;
    int FDraggedWidth = 0;
};

namespace frxDock {
void SaveToolbarPosition(TCustomIniFile* store, TfrxToolBar* bar);
void RestoreToolbarPosition(TCustomIniFile* store, TfrxToolBar* bar);
// "Data": the site's layout stream (the docked forms by name) as hexadecimal text.
void SaveDockSite(TCustomIniFile* store, TfrxDockSite* site);
void RestoreDockSite(TCustomIniFile* store, TfrxDockSite* site);
void SaveFormPosition(TCustomIniFile* store, TCustomForm* form);
void RestoreFormPosition(TCustomIniFile* store, TCustomForm* form);
}  // namespace frxDock
