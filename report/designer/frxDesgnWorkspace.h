// The drawing area on which the objects of one page are shown and edited:
// the page background and grid, every object and band, the selection
// handles; selecting, moving, resizing, inserting, deleting, nudging with
// the keys, grouping, in-place text editing and the stacking of bands.
// It works on the two object lists the designer window shares with it and
// reports every change through its events.
#pragma once

#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "frxUtils.h"

#include <functional>
#include <map>
#include <memory>

class TList;
class TPopupMenu;
class TfrxComponent;
class TfrxBand;
class TfrxCustomMemoView;
class TfrxPage;
class TfrxDesignerWorkspace;

enum TfrxWorkspaceMode {
    wmIdle, wmMove, wmResize, wmResizeBand, wmResizeGroup, wmTextEdit, wmRubberBand,
    wmPlaceObject, wmPlaceLine, wmDragGuide
};

enum TfrxHandleKind {
    hkNone, hkTopLeft, hkBottomRight, hkTopRight, hkBottomLeft, hkRight, hkLeft, hkTop, hkBottom,
    hkLineStart, hkLineEnd
};

enum TfrxGridType { gtPixels, gtCm, gtInch, gtDialog, gtChar };

// The screen cursor the surface registers for placing lines.
constexpr TCursor crPencil = 11;

struct TfrxInsertion {
    TClass ComponentClass = nullptr;
    double Left = 0, Top = 0, Width = 0, Height = 0;
    double DefaultWidth = 0, DefaultHeight = 0;
    uint16_t Flags = 0;
};

using TfrxPositionChangedEvent = std::function<void(TObject* sender, const TfrxRect& r)>;

// The paper sheet behind a report page; mouse input over it goes on to the surface.
class TMarginsPanel : public TPanel {
    QZ_CLASS(TMarginsPanel, TPanel)
public:
    explicit TMarginsPanel(TComponent* owner = nullptr);
    TfrxDesignerWorkspace* Workspace() const;
    void SetWorkspace(TfrxDesignerWorkspace* w);

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    TPoint ToWorkspace(int x, int y) const;
    // Either control may go first when their owners free them.
    TWeakRef<TfrxDesignerWorkspace> FWorkspace;
};

// The editor that opens over a text object.
class TInplaceMemo : public TMemo {
    QZ_CLASS(TInplaceMemo, TMemo)
public:
    explicit TInplaceMemo(TComponent* owner = nullptr);
    TfrxCustomMemoView* Memo() const { return FMemo; }
    bool Editing() const { return FMemo != nullptr; }
    void Edit(TfrxCustomMemoView* memo);
    // Closes the editor; with commit the text goes into the object.
    void EditDone(bool commit);
    // Grows the editor to its text.
    void GrowToText();

protected:
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyUp(WORD& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    TfrxDesignerWorkspace* Surface() const;
    TfrxCustomMemoView* FMemo = nullptr;
    std::string FOriginal;
    int FPixelWidth = 0, FPixelHeight = 0;
};

class TfrxDesignerWorkspace : public TPanel {
    QZ_CLASS(TfrxDesignerWorkspace, TPanel)
public:
    explicit TfrxDesignerWorkspace(TComponent* owner = nullptr);
    ~TfrxDesignerWorkspace() override;

    // ---- shared lists and page ----
    TList* Objects() const { return FObjects; }
    void SetObjects(TList* v) { FObjects = v; }
    TList* SelectedObjects() const { return FSelectedObjects; }
    void SetSelectedObjects(TList* v) { FSelectedObjects = v; }
    TfrxPage* Page() const { return FPage; }
    void SetPage(TfrxPage* v) { FPage = v; }
    TMarginsPanel* MarginsPanel() const { return FMarginsPanel.Get(); }
    TInplaceMemo* InplaceMemo() const { return FInplaceMemo; }

    // ---- view settings ----
    double Scale() const { return FScale; }
    void SetScale(double v);
    double OffsetX = 0, OffsetY = 0;
    TColor WorkspaceColor() const { return FColor; }
    void SetColor(TColor v);
    TfrxGridType GridType() const { return FGridType; }
    void SetGridType(TfrxGridType v);
    double GridX = 3.77953, GridY = 3.77953;
    bool GridAlign = true;
    bool GridLCD = false;
    bool ShowGrid() const { return FShowGrid; }
    void SetShowGrid(bool v);
    bool ShowEdges = true;
    bool ShowBandCaptions() const { return FShowBandCaptions; }
    void SetShowBandCaptions(bool v);
    bool FreeBands = false;
    int BandsGap = 0;
    double BandCaptionHeight() const { return FBandCaptionHeight; }
    int PaperWidth() const { return FPaperWidth; }
    int PaperHeight() const { return FPaperHeight; }
    TRect Margins() const { return FMargins; }
    void SetPageDimensions(int paperWidth, int paperHeight, const TRect& margins);
    void SetOrigin(TPoint p);

    // ---- interaction state ----
    bool Locked() const { return FLocked; }
    void Lock();
    void Unlock() { FLocked = false; }
    TfrxWorkspaceMode Mode() const { return FMode; }
    TfrxHandleKind HandleKind() const { return FHandle; }
    bool IsMouseDown() const { return FMouseDown; }
    bool Modified = false;
    bool IgnoreNextMouseDown = false;
    bool Inserting() const { return FInserting; }
    const TfrxInsertion& Insertion() const { return FInsertion; }
    double LastX = 0, LastY = 0;
    TRect SelectionRect() const { return FSelectionRect; }
    TfrxRect GroupRect, GroupRectAtStart;
    TfrxBand* SizedBand() const { return FSizedBand; }
    TfrxCustomMemoView* EditedMemo() const { return FEditedMemo; }

    // ---- operations ----
    void UpdateView();
    void SetInsertion(TClass componentClass, uint16_t flags, double defaultWidth, double defaultHeight);
    int SelectionCount() const;
    // Left, Top, Width, Height as a TfrxRect's four fields.
    TfrxRect SelectionBounds() const;
    TfrxComponent* GroupAnchor() const;
    void NotifyModified();
    void SelectionChanged();
    void ArrangeBands();
    void FitBandToChildren(TfrxBand* band);
    void GroupSelection();
    void UngroupSelection();
    // The keyboard step (units) for the current grid type.
    TfrxPoint KeyStep() const;
    // The gap put between a header group and the bands that follow it.
    double BandGroupGap() const;
    void HideInsertionMarker();

    virtual void AdjustMove(double& dx, double& dy, bool& cancel) {}
    virtual void DrawObjects(TCanvas* canvas);
    virtual void DeleteSelection();
    virtual void EditObject();

    // ---- hit tests ----
    bool ObjectHit(TfrxComponent* c, double x, double y) const;   // document units
    static bool HandleHit(double hx, double hy, double x, double y);
    // The handle of the only selected object under (x, y), as hover finds it.
    TfrxHandleKind HandleAt(TfrxComponent* c, double x, double y) const;

    // The margins panel goes to the same parent first.
    void SetParent(TWinControl* parent) override;
    // Moving the surface (its parent scrolled) fires OnMove, so the rulers follow.
    void SetBounds(int left, int top, int width, int height) override;

    // Draws what Paint draws onto any canvas of the surface's size.
    void PaintTo(TCanvas* canvas);

    // ---- events ----
    TNotifyEvent OnModify, OnEdit, OnInsert, OnSelectionChanged, OnMove;
    TfrxPositionChangedEvent OnPositionChanged;
    TPopupMenu* WorkspacePopup = nullptr;

    // Input entry points (also what the margins panel forwards to).
    void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) { MouseDown(button, shift, x, y); }
    void DoMouseMove(TShiftState shift, int x, int y) { MouseMove(shift, x, y); }
    void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) { MouseUp(button, shift, x, y); }
    void DoKeyDown(WORD key, TShiftState shift) { KeyDown(key, shift); }
    void DoKeyUp(WORD key, TShiftState shift) { KeyUp(key, shift); }
    void DoDblClick() { DblClick(); }
    void DoMouseLeave() { HideInsertionMarker(); }

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyUp(WORD& key, TShiftState shift) override;

    void DrawBackground(TCanvas* canvas);
    void DrawDecorations(TCanvas* canvas, TfrxComponent* c);
    void DrawHandles(TCanvas* canvas);
    // Overlays that a drag shows over the painted page, drawn last.
    virtual void DrawOverlays(TCanvas* canvas);
    // Cancels or snaps a drag step; false when nothing is to be done.
    bool DragStep(double& dx, double& dy, TShiftState shift);
    void FirePositionChanged(const TfrxRect& r);
    void StartRubberBand(int x, int y);
    void SelectNeighbour(int dx, int dy);
    void SnapToNeighbour(int dx, int dy);
    // The nearest other non-band object in a direction from the only selected one.
    TfrxComponent* FindNeighbour(int dx, int dy, bool corridorOnly) const;
    bool SelectionIs(const std::vector<void*>& copy) const;
    void Select(TfrxComponent* c);
    void SelectPage();
    TfrxComponent* Selected(int i) const;
    void ParkInsertion();

    TList* FObjects = nullptr;
    TList* FSelectedObjects = nullptr;
    TfrxPage* FPage = nullptr;
    TWeakRef<TMarginsPanel> FMarginsPanel;
    TInplaceMemo* FInplaceMemo = nullptr;
    double FScale = 1;
    TColor FColor = clWhite;
    TfrxGridType FGridType = gtCm;
    bool FShowGrid = true;
    bool FShowBandCaptions = false;
    double FBandCaptionHeight = 0;
    int FPaperWidth = 0, FPaperHeight = 0;
    TRect FMargins;
    bool FLocked = false;
    TfrxWorkspaceMode FMode = wmIdle;
    TfrxHandleKind FHandle = hkNone;
    bool FMouseDown = false;
    bool FInserting = false;
    TfrxInsertion FInsertion;
    TRect FSelectionRect;
    TfrxBand* FSizedBand = nullptr;
    TfrxCustomMemoView* FEditedMemo = nullptr;
    // Absolute bounds of each selected object when a group resize began.
    std::map<TfrxComponent*, TfrxRect> FSavedBounds;
    std::unique_ptr<TBitmap> FBandIcon;

private:
    void RecalcCaptionHeight();
};

namespace frxDesgnWorkspace {
// The handle a resize continues with after the object flipped.
TfrxHandleKind MirrorHandle(TfrxHandleKind h, bool widthNegative, bool heightNegative);
// v rounded to 8 decimal places.
double Round8(double v);
// An object's absolute rectangle (Left, Top, Right, Bottom), normalised.
TfrxRect AbsRect(TfrxComponent* c);
// Closed intersection: rectangles sharing an edge intersect.
bool Intersects(const TfrxRect& a, const TfrxRect& b);
}  // namespace frxDesgnWorkspace
