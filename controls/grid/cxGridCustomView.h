// The abstract grid view and what every view is made of: the handlers it
// makes through its class getters (controller, data controller, painter,
// view data, view info and its cache), the site window that routes input,
// focus and painting to them, the hit tests with their shared instances,
// the cell layout objects with their normal/hot/pressed feedback, the cell
// painter, and the base options and styles of a view.
#pragma once

#include "Controls.h"
#include "cxClasses.h"
#include "cxControls.h"
#include "cxCustomData.h"
#include "cxGraphics.h"
#include "cxGridCommon.h"
#include "cxStyles.h"

#include <memory>
#include <string>
#include <vector>

class TcxCustomGrid;
class TcxGridLevel;
class TcxCustomGridView;
class TcxGridSite;
class TcxCustomGridChange;
class TcxCustomGridController;
class TcxCustomGridPainter;
class TcxCustomGridViewData;
class TcxCustomGridViewInfo;
class TcxCustomGridViewInfoCache;
class TcxCustomGridCellViewInfo;
class TcxCustomGridViewCellViewInfo;
class TcxCustomGridCellPainter;
class TcxCustomGridOptions;
class TcxCustomGridBackgroundBitmaps;
class TcxCustomGridOptionsSelection;
class TcxCustomGridOptionsView;
class TcxCustomGridViewStyles;

// The drawing parameters of an element.
using TcxViewParams = TcxStyleParams;

// The private message that carries a site's size change out of its scroll-bar update.
constexpr UINT CM_GRIDSITESIZECHANGED = WM_USER + 1;

// ---- hit tests --------------------------------------------------------------------------------

// What lies under a point. One instance per class is shared by everyone
// (Instance); whoever hands one out fills its fields first.
class TcxCustomGridHitTest : public TObject {
    QZ_CLASS(TcxCustomGridHitTest, TObject)
public:
    TcxCustomGridHitTest() = default;
    // The shared instance of AClass with Pos := APos; the other fields keep
    // what the last user stored.
    static TcxCustomGridHitTest* Instance(TClass AClass, const TPoint& APos);
    template <class T> static T* Instance(const TPoint& APos)
    {
        return static_cast<T*>(Instance(T::StaticClass(), APos));
    }
    virtual int HitTestCode() const { return -1; }
    virtual TCursor Cursor() const { return crDefault; }
    virtual TClass DragAndDropObjectClass() const { return nullptr; }

    TPoint Pos;
    TcxCustomGridCellViewInfo* ViewInfo = nullptr;
};

class TcxCustomGridViewHitTest : public TcxCustomGridHitTest {
    QZ_CLASS(TcxCustomGridViewHitTest, TcxCustomGridHitTest)
public:
    TcxCustomGridView* GridView = nullptr;
};

// Nothing on the grid surface.
class TcxGridNoneHitTest : public TcxCustomGridHitTest {
    QZ_CLASS(TcxGridNoneHitTest, TcxCustomGridHitTest)
public:
    int HitTestCode() const override { return 0; }
};

// Nothing in a site.
class TcxGridViewNoneHitTest : public TcxCustomGridViewHitTest {
    QZ_CLASS(TcxGridViewNoneHitTest, TcxCustomGridViewHitTest)
public:
    int HitTestCode() const override { return 0; }
};

// The process-wide pool of shared hit-test instances.
class TGridHitTests : public TObject {
    QZ_CLASS(TGridHitTests, TObject)
public:
    TGridHitTests() = default;
    ~TGridHitTests() override;
    TcxCustomGridHitTest* Instance(TClass AClass);
    int Count() const { return int(FItems.size()); }

private:
    std::vector<TcxCustomGridHitTest*> FItems;
};

// ---- handlers ---------------------------------------------------------------------------------

class TcxGridViewHandler : public TcxInterfacedPersistent {
    QZ_CLASS(TcxGridViewHandler, TcxInterfacedPersistent)
public:
    explicit TcxGridViewHandler(TcxCustomGridView* AGridView);
    TcxCustomGridView* GridView() const { return FGridView; }
    TcxCustomGrid* Control() const;
    TcxCustomGridController* Controller() const;
    TcxCustomDataController* DataController() const;
    TcxCustomGridPainter* Painter() const;
    TcxCustomGridViewData* ViewData() const;
    TcxCustomGridViewInfo* ViewInfo() const;
    TcxGridSite* Site() const;
    TcxCustomLookAndFeelPainterClass LookAndFeelPainter() const;
    void BeginUpdate();
    void EndUpdate();

private:
    TcxCustomGridView* FGridView;
};

template <class T> using TcxGridViewHandlerClass = TcxGridClassRef<T, TcxCustomGridView*>;

class TcxCustomGridViewData : public TcxGridViewHandler {
    QZ_CLASS(TcxCustomGridViewData, TcxGridViewHandler)
public:
    using TcxGridViewHandler::TcxGridViewHandler;
};

// The base of the internal drag-and-drop operations of a view's site.
class TcxCustomGridDragAndDropObject : public TcxDragAndDropObject {
    QZ_CLASS(TcxCustomGridDragAndDropObject, TcxDragAndDropObject)
public:
    explicit TcxCustomGridDragAndDropObject(TcxControl* AControl = nullptr) : TcxDragAndDropObject(AControl) {}
    virtual void DirtyChanged() {}
    // The drag image is taken away before the site paints and shown again after.
    void SetDirty(bool AValue);
    bool Dirty() const { return FDirty; }
    virtual void Init(const TPoint& AStartPoint, TcxCustomGridHitTest* AHitTest) { FStartPoint = AStartPoint; }
    void EndDragAndDrop(bool Accepted) override;
    TPoint StartPoint() const { return FStartPoint; }

private:
    TPoint FStartPoint;
    bool FDirty = false;
};

class TcxCustomGridController : public TcxGridViewHandler, public IcxMouseTrackingCaller {
    QZ_CLASS(TcxCustomGridController, TcxGridViewHandler)
public:
    explicit TcxCustomGridController(TcxCustomGridView* AGridView) : TcxGridViewHandler(AGridView) {}
    ~TcxCustomGridController() override;

    void MouseLeave() override { HideHint(); }
    virtual void AfterPaint();
    virtual void BeforeKillFocus() {}
    virtual void BeforePaint();
    virtual bool CanHandleHitTest(TcxCustomGridHitTest* AHitTest);
    virtual void DetailFocused(TcxCustomGridView* ADetail) {}
    virtual void DoEnter() {}
    virtual void DoExit() {}
    virtual bool GetDesignHitTest(TcxCustomGridHitTest* AHitTest);
    virtual TcxMouseWheelScrollingKind GetMouseWheelScrollingKind() { return mwskNone; }
    virtual bool IsScrollBarPageAdjustable(TScrollBarKind AKind) { return false; }
    virtual bool MayFocus() { return true; }
    virtual void ViewFocusLost();
    virtual void ViewFocusGained();
    virtual void ControlFocusChanged();
    virtual void CancelMouseOperations() {}
    virtual TCursor GetCursor(int X, int Y);
    virtual bool HasFocusedControls() { return false; }
    virtual void InitScrollBarsParameters() {}
    virtual bool IsDataFullyVisible() { return true; }
    virtual void Scroll(TScrollBarKind AKind, TScrollCode ACode, int& APosition) {}
    virtual void BeginDragAndDrop() {}
    virtual void DragAndDrop(const TPoint& P, bool& Accepted) {}
    virtual void EndDragAndDrop(bool Accepted) {}
    virtual bool StartDragAndDrop(const TPoint& P);
    virtual void BeforeStartDrag() {}
    virtual bool CanDrag(int X, int Y) { return true; }
    virtual void DragDrop(TObject* Source, int X, int Y) {}
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {}
    virtual void EndDrag(TObject* Target, int X, int Y) {}
    virtual void StartDrag(TDragObject*& DragObject) {}
    virtual TClass GetHintWindowClass() { return THintWindow::StaticClass(); }
    virtual void KeyDown(WORD& Key, TShiftState Shift) { DoKeyDown(Key, Shift); }
    virtual void DoKeyDown(WORD& Key, TShiftState Shift) {}
    virtual void KeyPress(char& Key) {}
    virtual void KeyUp(WORD& Key, TShiftState Shift) {}
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void WndProc(TMessage& Message) {}

    // Cell hints (one hint window, made on demand).
    void ShowHint(const TRect& ATrackBounds, const TRect& ATextBounds, const std::string& AText, TFont* AFont,
                  bool AMultiLine);
    void HideHint();
    THintWindow* HintWindow() const { return FHintWindow.get(); }
    bool IsDblClick() const { return FIsDblClick; }

private:
    TRect FHintTextBounds;
    std::string FHintText;
    std::unique_ptr<THintWindow> FHintWindow;
    bool FIsDblClick = false;
};

class TcxCustomGridPainter : public TcxGridViewHandler {
    QZ_CLASS(TcxCustomGridPainter, TcxGridViewHandler)
public:
    explicit TcxCustomGridPainter(TcxCustomGridView* AGridView) : TcxGridViewHandler(AGridView) {}
    ~TcxCustomGridPainter() override;
    virtual void DrawBackground();
    virtual void AfterPaint();
    virtual void BeforePaint();
    virtual void PaintContent() {}
    virtual void DrawFocusRect(const TRect& R, bool AHideFocusRect);
    // Paints the site on its canvas.
    void Paint();
    void Paint(TcxCanvas* ACanvas);
    TcxCanvas* Canvas() const { return FCanvas; }
    void ExcludeFromBackground(const TRect& R);

private:
    TcxCanvas* FCanvas = nullptr;
    std::unique_ptr<TcxRegion> FSavedClipRegion;
    std::unique_ptr<TcxRegion> FBackgroundRegion;
};

// ---- cells ------------------------------------------------------------------------------------

// The layout of one element shown: bounds, text, alignment, borders, drawing
// parameters, hit testing and the mouse feedback.
class TcxCustomGridCellViewInfo : public TObject, public IcxMouseTrackingCaller, public IcxMouseCaptureObject {
    QZ_CLASS(TcxCustomGridCellViewInfo, TObject)
public:
    TcxCustomGridCellViewInfo() = default;
    ~TcxCustomGridCellViewInfo() override;
    // Releases the capture and returns to normal while the cell still knows its control.
    void BeforeDestruction() override;

    void DoCancelMode() override { CaptureLost(); }
    virtual void CaptureLost() { SetState(gcsNormal); }
    void MouseLeave() override;

    virtual void AdjustBounds(TRect& ABounds) {}
    virtual void AfterCustomDraw(TcxCanvas* ACanvas);
    virtual void BeforeCustomDraw(TcxCanvas* ACanvas);
    virtual void StateChanging() {}
    virtual void CalculateContentBounds(TRect& R);
    virtual int CalculateHeight();
    virtual int CalculateWidth();
    virtual void Click() {}
    virtual bool CustomDraw(TcxCanvas* ACanvas) { return false; }
    virtual bool CustomDrawBackground(TcxCanvas* ACanvas) { return false; }
    virtual void CalculateValues();
    virtual bool DoCustomDraw(TcxCanvas* ACanvas);
    virtual bool DoCustomDrawBackground(TcxCanvas* ACanvas);
    virtual TAlignment GetAlignmentHorz() { return taLeftJustify; }
    virtual TcxAlignmentVert GetAlignmentVert() { return vaTop; }
    virtual TBitmap* GetBackgroundBitmap() { return nullptr; }
    virtual void GetBorderBounds(TcxBorder ABorder, TRect& R);
    virtual TColor GetBorderColor(TcxBorder ABorder);
    virtual TcxBorders GetBorders() { return {}; }
    virtual int GetBorderWidth(TcxBorder ABorder);
    virtual TcxCanvas* GetCanvas();
    virtual int GetCellHeight(int ATextHeight, int AParam) { return ATextHeight + 4; }
    virtual int GetContentHeight() { return ContentBounds().Height(); }
    virtual int GetContentWidth() { return ContentBounds().Width(); }
    virtual TcxControl* GetControl() { return nullptr; }
    virtual int GetHeight() { return Bounds.Height(); }
    virtual TClass GetHitTestClass();
    virtual bool GetHotTrack() { return false; }
    virtual bool GetIsCheck() { return false; }
    virtual bool HasMouseCapture();
    virtual bool GetMultiLine() { return false; }
    virtual bool GetMultiLinePainting() { return MultiLine; }
    virtual TcxGridClassRef<TcxCustomGridCellPainter, TcxCanvas*, TcxCustomGridCellViewInfo*> GetPainterClass();
    virtual bool GetShowEndEllipsis() { return false; }
    virtual std::string GetText() { return std::string(); }
    virtual void GetTextAreaBounds(TRect& R);
    virtual bool HasBackgroundBitmap() { return GetBackgroundBitmap() != nullptr; }
    virtual void GetViewParams(TcxViewParams& AParams) {}
    virtual bool GetVisible() { return Visible; }
    virtual int GetWidth() { return Bounds.Width(); }
    virtual bool HasCustomDraw() { return false; }
    virtual bool HasCustomDrawBackground() { return false; }
    virtual bool IsOwnHitTest(TcxCustomGridHitTest* AHitTest);
    virtual void InitHitTest(TcxCustomGridHitTest* AHitTest) { AHitTest->ViewInfo = this; }
    virtual bool InvalidateOnStateChange() { return true; }
    virtual void DoOffset(int DX, int DY);
    virtual void RestoreParams(const TcxViewParams& AParams) { Params = AParams; }
    virtual void SaveParams(TcxViewParams& AParams) { AParams = Params; }
    virtual void SetMouseCapture(bool AValue);
    virtual void SetWidth(int AWidth) { Bounds.Right = Bounds.Left + AWidth; }
    virtual void StateChanged();
    virtual void AfterRecalculation() {}
    virtual void BeforeRecalculation() { FValuesCalculated = false; }
    virtual void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1);
    void Calculate(const TRect& ABounds) { Calculate(ABounds.Left, ABounds.Top, ABounds.Width(), ABounds.Height()); }
    virtual TcxCustomGridHitTest* GetHitTest(const TPoint& P);
    virtual void Invalidate();
    virtual bool MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift);
    virtual bool MouseMove(TcxCustomGridHitTest* AHitTest, TShiftState AShift);
    virtual bool MouseUp(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift);
    virtual void Paint(TcxCanvas* ACanvas = nullptr);

    void SetState(TcxGridCellState AValue);
    TcxGridCellState State() const { return FState; }
    void Offset(int DX, int DY);
    void Recalculate();
    int GetTextHeight();
    int GetTextWidth();
    int GetDrawTextFlags(bool AForPainting);
    // Runs CalculateValues once until BeforeRecalculation.
    void CheckValuesCalculated();
    TRect ContentBounds();
    bool IsDestroying() const { return FDestroying; }

    bool Calculated = false;
    TAlignment AlignmentHorz = taLeftJustify;
    TcxAlignmentVert AlignmentVert = vaTop;
    TcxBorders Borders;
    std::string Text;
    bool Visible = true;
    TRect Bounds;
    bool MultiLine = false;
    bool MultiLinePainting = false;
    TcxViewParams Params;

private:
    bool FCalculatingValues = false;
    TRect FContentBounds;
    bool FContentBoundsKnown = false;
    bool FDestroying = false;
    bool FValuesCalculated = false;
    TcxGridCellState FState = gcsNormal;
};

// A cell that belongs to a view.
class TcxCustomGridViewCellViewInfo : public TcxCustomGridCellViewInfo {
    QZ_CLASS(TcxCustomGridViewCellViewInfo, TcxCustomGridCellViewInfo)
public:
    explicit TcxCustomGridViewCellViewInfo(TcxCustomGridViewInfo* AGridViewInfo);
    ~TcxCustomGridViewCellViewInfo() override;
    TcxCustomGridViewInfo* GridViewInfo() const { return FGridViewInfo; }
    TcxCustomGridView* GridView() const;

    virtual bool IsHotTrackOnCalculate() { return false; }
    virtual bool CanShowHint() { return false; }
    virtual void GetHintTrackBounds(TRect& R) { R = ContentBounds(); }
    virtual bool GetHintInfo(const TPoint& P, std::string& AText, TRect& ATextBounds, bool& AMultiLine)
    {
        return false;
    }
    TcxCanvas* GetCanvas() override;
    TcxControl* GetControl() override;
    bool IsOwnHitTest(TcxCustomGridHitTest* AHitTest) override;
    void InitHitTest(TcxCustomGridHitTest* AHitTest) override;
    void Invalidate() override;
    void AdjustBounds(TRect& ABounds) override;
    bool MouseMove(TcxCustomGridHitTest* AHitTest, TShiftState AShift) override;
    void CheckHint(TcxCustomGridHitTest* AHitTest);

private:
    TcxCustomGridViewInfo* FGridViewInfo;
};

// Paints one cell; made for one paint.
class TcxCustomGridCellPainter : public TObject {
    QZ_CLASS(TcxCustomGridCellPainter, TObject)
public:
    TcxCustomGridCellPainter(TcxCanvas* ACanvas, TcxCustomGridCellViewInfo* AViewInfo)
        : FCanvas(ACanvas), FViewInfo(AViewInfo)
    {
    }
    virtual void AfterPaint() {}
    virtual void BeforePaint() {}
    virtual void DrawBackground();
    virtual bool DrawBackgroundBitmap(TcxCanvas* ACanvas, const TRect& R);
    virtual void DrawBorder(TcxBorder ABorder);
    virtual void DrawBorders();
    virtual void DrawContent();
    virtual void DrawText();
    virtual bool ExcludeFromClipRect() { return false; }
    virtual bool IsVisible();
    virtual void Paint();
    void MainPaint();
    bool IsMainCanvasInUse() { return FCanvas == FViewInfo->GetCanvas(); }
    TcxCanvas* Canvas() const { return FCanvas; }
    TcxCustomGridCellViewInfo* ViewInfo() const { return FViewInfo; }

private:
    TcxCanvas* FCanvas;
    TcxCustomGridCellViewInfo* FViewInfo;
};
using TcxCustomGridCellPainterClass = TcxGridClassRef<TcxCustomGridCellPainter, TcxCanvas*, TcxCustomGridCellViewInfo*>;

// ---- the view's layout ----------------------------------------------------------------------------

class TcxCustomGridViewInfo : public TcxGridViewHandler {
    QZ_CLASS(TcxCustomGridViewInfo, TcxGridViewHandler)
public:
    explicit TcxCustomGridViewInfo(TcxCustomGridView* AGridView);
    ~TcxCustomGridViewInfo() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    virtual void CreateViewInfos() {}
    virtual void DestroyViewInfos(bool AIsRecreating) {}
    virtual void RecreateViewInfos();
    virtual TcxGridClassRef<TcxGridSite, TcxCustomGridViewInfo*> GetSiteClass();
    virtual void AfterCalculating();
    virtual void BeforeCalculating() { RecordMousePos(); }
    virtual void DoCalculate() {}
    virtual TRect GetClientBounds();
    virtual void GetHeight(const TPoint& AMaxSize, int& AHeight, bool& AFullyVisible);
    virtual void GetWidth(const TPoint& AMaxSize, int& AWidth);
    virtual void ControlFocusChanged() {}
    virtual bool CanCalculate() { return !FCalculating && !FChangingVisibility; }
    virtual TBitmap* GetBackgroundBitmap();
    virtual TColor GetBackgroundColor();
    virtual void AdjustHScrollBarBounds(TRect& R) {}
    virtual bool IsDetached() { return FDetached; }
    virtual void InitHitTest(TcxCustomGridHitTest* AHitTest);
    virtual void DoUpdateSiteVisibility(bool AShow);
    virtual TcxCustomGridHitTest* GetHitTest(const TPoint& P);
    TcxCustomGridHitTest* GetHitTest(int X, int Y) { return GetHitTest(TPoint{X, Y}); }

    void Calculate(const TRect& ABounds);
    void Recalculate();
    void UpdateSiteVisibility(bool AShow);
    // The explicit bounds when set, else the client bounds.
    TRect Bounds() const { return FIsExplicitBounds ? FExplicitBounds : ClientBounds; }
    void SetExplicitBounds(const TRect& R)
    {
        FExplicitBounds = R;
        FIsExplicitBounds = true;
    }
    int GetFontHeight(TFont* AFont);
    TWinControl* GetSiteParent();
    void AddCell(TcxCustomGridViewCellViewInfo* ACell);
    void RemoveCell(TcxCustomGridViewCellViewInfo* ACell);
    bool HasCell(TcxCustomGridViewCellViewInfo* ACell) const;
    void RecordMousePos();
    // The details site measures through these: the measuring flag is set meanwhile.
    void MeasureHeight(const TPoint& AMaxSize, int& AHeight, bool& AFullyVisible);
    void MeasureWidth(const TPoint& AMaxSize, int& AWidth);
    TcxCanvas* Canvas() const;
    TcxGridSite* Site() const { return FSite; }
    // A detail counts as calculating while the master view (or one above it)
    // that handed it out lays itself out.
    bool IsCalculating() const;
    bool IsMasterCalculating() const;
    // Set whenever a master row's details site hands the view out.
    bool CalculatingForMaster = false;
    bool IsMeasuring() const { return FMeasuring; }
    bool IsChangingVisibility() const { return FChangingVisibility; }
    TPoint MousePos() const { return FMousePos; }
    void SetMousePos(const TPoint& P) { FMousePos = P; }
    void SetDetached(bool AValue) { FDetached = AValue; }

    TRect ClientBounds;

private:
    std::vector<TcxCustomGridViewCellViewInfo*> FCells;
    TRect FExplicitBounds;
    bool FIsExplicitBounds = false;
    bool FCalculating = false;
    bool FDetached = false;
    TPoint FMousePos;
    TcxGridSite* FSite = nullptr;
    bool FMeasuring = false;
    bool FChangingVisibility = false;
};

class TcxCustomGridViewInfoCache;

class TcxCustomGridViewInfoCacheItem : public TObject {
    QZ_CLASS(TcxCustomGridViewInfoCacheItem, TObject)
public:
    TcxCustomGridViewInfoCacheItem(TcxCustomGridViewInfoCache* AOwner, int AIndex) : FOwner(AOwner), FIndex(AIndex) {}
    virtual void UnassignValues(bool APreserveMasterCache) {}
    TcxCustomGridViewInfoCache* Owner() const { return FOwner; }
    int Index() const { return FIndex; }

private:
    TcxCustomGridViewInfoCache* FOwner;
    int FIndex;
};
using TcxCustomGridViewInfoCacheItemClass =
    TcxGridClassRef<TcxCustomGridViewInfoCacheItem, TcxCustomGridViewInfoCache*, int>;

// Values per row that survive a relayout, indexed by row.
class TcxCustomGridViewInfoCache : public TcxGridViewHandler {
    QZ_CLASS(TcxCustomGridViewInfoCache, TcxGridViewHandler)
public:
    explicit TcxCustomGridViewInfoCache(TcxCustomGridView* AGridView) : TcxGridViewHandler(AGridView) {}
    ~TcxCustomGridViewInfoCache() override;
    virtual TcxCustomGridViewInfoCacheItemClass GetItemClass();
    virtual void UnassignValues(bool APreserveMasterCache);
    // Made on first use; null for an index outside the list.
    TcxCustomGridViewInfoCacheItem* Items(int AIndex);
    bool ItemExists(int AIndex) const;
    int Count() const { return int(FItems.size()); }
    void SetCount(int ACount);
    void Clear();

private:
    std::vector<std::unique_ptr<TcxCustomGridViewInfoCacheItem>> FItems;
    bool FUnassigning = false;
};

// ---- options and styles ---------------------------------------------------------------------------

class TcxCustomGridOptions : public TPersistent {
    QZ_CLASS(TcxCustomGridOptions, TPersistent)
public:
    explicit TcxCustomGridOptions(TcxCustomGridView* AGridView);
    ~TcxCustomGridOptions() override;
    void Assign(TPersistent* Source) override;
    virtual void Notification(TComponent* AComponent, TOperation AOperation) {}
    TcxCustomGridView* GridView() const { return FGridView; }
    TPersistent* GetOwner() const override;

protected:
    void Changed();

private:
    TcxCustomGridView* FGridView;
};
template <class T> using TcxGridOptionsClass = TcxGridClassRef<T, TcxCustomGridView*>;

class TcxCustomGridBackgroundBitmaps : public TcxCustomGridOptions {
    QZ_CLASS(TcxCustomGridBackgroundBitmaps, TcxCustomGridOptions)
public:
    using TcxCustomGridOptions::TcxCustomGridOptions;
    ~TcxCustomGridBackgroundBitmaps() override;
    void Assign(TPersistent* Source) override;
    virtual int GetBitmapStyleIndex(int AIndex) { return AIndex == 0 ? 0 : -1; }
    TBitmap* GetDefaultBitmap(int AIndex);
    // The own picture unless it is empty, else the style's.
    TBitmap* GetBitmap(int AIndex);
    // The own picture, made on first access.
    TBitmap* Bitmaps(int AIndex);
    void SetBitmaps(int AIndex, TBitmap* AValue);
    TBitmap* Background() { return Bitmaps(0); }
    void SetBackground(TBitmap* AValue) { SetBitmaps(0, AValue); }

private:
    std::vector<std::unique_ptr<TBitmap>> FBitmaps;
};

class TcxCustomGridOptionsSelection : public TcxCustomGridOptions {
    QZ_CLASS(TcxCustomGridOptionsSelection, TcxCustomGridOptions)
public:
    using TcxCustomGridOptions::TcxCustomGridOptions;
};

class TcxCustomGridOptionsView : public TcxCustomGridOptions {
    QZ_CLASS(TcxCustomGridOptionsView, TcxCustomGridOptions)
public:
    using TcxCustomGridOptions::TcxCustomGridOptions;
    void Assign(TPersistent* Source) override;
    TScrollStyle ScrollBars() const;
    void SetScrollBars(TScrollStyle AValue);
};

class TcxCustomGridStyles : public TcxStyles {
    QZ_CLASS(TcxCustomGridStyles, TcxStyles)
public:
    explicit TcxCustomGridStyles(TPersistent* AOwner = nullptr) : TcxStyles(AOwner) {}
    void GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams) override;
    void GetFakeComponentLinks(std::vector<TComponent*>& AList);
    virtual TcxCustomGridView* GetGridView() const = 0;

protected:
    void Changed(int Index) override;
};

class TcxCustomGridViewStyles : public TcxCustomGridStyles {
    QZ_CLASS(TcxCustomGridViewStyles, TcxCustomGridStyles)
public:
    static constexpr int vsBackground = 0;
    explicit TcxCustomGridViewStyles(TPersistent* AOwner = nullptr) : TcxCustomGridStyles(AOwner) {}
    void Assign(TPersistent* Source) override;
    void GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams) override;
    TcxCustomGridView* GetGridView() const override;
    TcxStyle* Background() const { return DynamicCast<TcxStyle>(GetValue(vsBackground)); }
    void SetBackground(TcxStyle* AValue) { SetValue(vsBackground, AValue); }
};

// ---- the site ---------------------------------------------------------------------------------------

// The window a view shows in. Every input and window event goes to the
// view's controller.
class TcxGridSite : public TcxControl {
    QZ_CLASS(TcxGridSite, TcxControl)
public:
    explicit TcxGridSite(TcxCustomGridViewInfo* AViewInfo);
    ~TcxGridSite() override;
    TcxCustomGridViewInfo* ViewInfo() const { return FViewInfo; }
    TcxCustomGridView* GridView() const;
    TcxCustomGridController* Controller() const;
    TcxCustomGrid* Container() const;

    void SetParent(TWinControl* AParent) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetFocus() override;
    void BoundsChanged() override;
    void FocusChanged() override;
    bool MayFocus() const override;
    TCursor GetCurrentCursor(int X, int Y) override;
    bool GetDesignHitTest(int X, int Y, TShiftState Shift) const override;
    bool CanDrag(int X, int Y) const override;
    void CancelMouseOperations() override;
    void BeginDragAndDrop() override;
    void DragAndDrop(const TPoint& P, bool& Accepted) override;
    void EndDragAndDrop(bool Accepted) override;
    bool StartDragAndDrop(const TPoint& P) override;
    void DoStartDrag(TDragObject*& ADragObject) override;
    void DoEndDrag(TObject* Target, int X, int Y) override;
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void DragDrop(TObject* Source, int X, int Y) override;
    void WndProc(TMessage& Message) override;
    void InitScrollBarsParameters() override;
    void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos) override;
    TcxMouseWheelScrollingKind GetMouseWheelScrollingKind() const override;
    void UpdateScrollBars() override;
    TRect GetHScrollBarBounds() const override;
    bool IsDesigning() const override;
    bool IsFocused() const override;
    bool CanProcessMouseDownUnfocused() const override { return false; }
    void RequestAlign() override {}
    bool ExecuteAction(TObject* Action);
    bool UpdateAction(TObject* Action);
    bool IsScrollBarPageAdjustable(TScrollBarKind AKind);
    // Posts the deferred size change (once a window exists).
    void SizeChangedLater();
    bool IsUpdatingScrollBars() const { return FUpdatingScrollBars; }
    bool IsParked() const;

protected:
    void BeforeMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoEnter() override;
    void DoExit() override;
    void Paint() override;

private:
    TcxCustomGridViewInfo* FViewInfo;
    int FLastClientWidth = 0;
    int FLastClientHeight = 0;
    bool FUpdatingScrollBars = false;
};

// ---- the view ---------------------------------------------------------------------------------------

// The name/value interface through which a layout is stored.
class IcxStoredObject {
public:
    virtual ~IcxStoredObject() = default;
    virtual std::string GetStoredObjectName() = 0;
    virtual bool GetStoredProperties(TStrings* AProperties) = 0;
    virtual Variant GetStoredPropertyValue(const std::string& AName) = 0;
    virtual void SetStoredPropertyValue(const std::string& AName, const Variant& AValue) = 0;
};

class IcxStoredParent {
public:
    virtual ~IcxStoredParent() = default;
    virtual TObject* CreateStoredChild(const std::string& AObjectName, const std::string& AClassName) = 0;
    virtual void DeleteStoredChild(const std::string& AObjectName, TObject* AObject) = 0;
    virtual void GetStoredChildren(std::vector<TObject*>& AChildren) = 0;
};

class TcxCustomGridView : public TcxControlChildComponent, public IcxStoredObject, public IcxStoredParent {
    QZ_CLASS(TcxCustomGridView, TcxControlChildComponent)
public:
    explicit TcxCustomGridView(TComponent* AOwner = nullptr);
    ~TcxCustomGridView() override;
    // The options and handlers come from the class getters, so they are made
    // once the most derived constructor has run.
    void AfterConstruction() override;
    void BeforeDestruction() override;
    void Assign(TPersistent* Source) override;
    void Loaded() override;
    bool IsDestroying() const override;
    void SetControl(TcxControl* Value) override;
    TComponent* GetParentComponent() const override { return FStreamingParent.Get(); }
    bool HasParent() const override { return FStreamingParent.Get() != nullptr; }
    void Updating() override;
    void Updated() override;

    // ---- stored layout
    std::string GetStoredObjectName() override;
    bool GetStoredProperties(TStrings* AProperties) override { return true; }
    Variant GetStoredPropertyValue(const std::string& AName) override { return Variant(); }
    void SetStoredPropertyValue(const std::string& AName, const Variant& AValue) override {}
    TObject* CreateStoredChild(const std::string& AObjectName, const std::string& AClassName) override
    {
        return nullptr;
    }
    void DeleteStoredChild(const std::string& AObjectName, TObject* AObject) override { FreeObject(AObject); }
    void GetStoredChildren(std::vector<TObject*>& AChildren) override {}
    std::string StoringName;

    // ---- handlers and options
    virtual void CreateHandlers();
    virtual void DestroyHandlers();
    virtual void BindDataController();
    virtual void CreateOptions();
    virtual void DestroyOptions();
    virtual void AssignDataController(TcxCustomGridView* ASource) {}
    virtual void AssignLayout(TcxCustomGridView* ASource) {}
    virtual void AssignDataControllerAfterLayout(TcxCustomGridView* ASource) {}

    // ---- visibility and focus
    virtual bool CanFocus();
    virtual bool GetGridTabStop();
    virtual void VisibleChildLevelsChanged(TObject* AArgument, int AOldCount, int ANewCount) {}
    virtual bool IsAvailable();
    virtual bool IsVisibleFor(bool ALevelVisible);
    virtual bool IsControlFocused();
    virtual bool HasSizeDependentLayout() { return false; }
    virtual bool IsVisible();
    virtual void AfterLayoutAssigned() {}
    virtual bool IsDetailVisible(TcxCustomGridView* ADetail) { return false; }
    virtual void FocusChanged(bool AFocused);
    virtual void LoadingComplete() { SizeChanged(false, false); }
    virtual void LookAndFeelChanged();
    virtual void ViewInfoCalculated() {}
    virtual void SetLevel(TcxGridLevel* ALevel);
    virtual void UpdateSiteTabStop(bool AFocused);
    virtual void DataControllerNotify(TcxUpdateControlInfo* AInfo) {}

    // ---- class getters
    virtual TcxGridViewHandlerClass<TcxCustomGridController> GetControllerClass();
    virtual TcxGridClassRef<TcxCustomDataController, TComponent*> GetDataControllerClass();
    virtual TcxGridViewHandlerClass<TcxCustomGridPainter> GetPainterClass();
    virtual TcxGridViewHandlerClass<TcxCustomGridViewData> GetViewDataClass();
    virtual TcxGridViewHandlerClass<TcxCustomGridViewInfoCache> GetViewInfoCacheClass();
    virtual TcxGridViewHandlerClass<TcxCustomGridViewInfo> GetViewInfoClass();
    virtual TcxGridOptionsClass<TcxCustomGridBackgroundBitmaps> GetBackgroundBitmapsClass();
    virtual TcxGridOptionsClass<TcxCustomGridOptionsSelection> GetOptionsSelectionClass();
    virtual TcxGridOptionsClass<TcxCustomGridOptionsView> GetOptionsViewClass();
    virtual TcxGridClassRef<TcxCustomGridViewStyles, TPersistent*> GetStylesClass();

    virtual void RestoreDefaults() {}
    virtual void BoundsChanged(bool AViewOnly = false, bool APreserveMasterCache = false);

    // ---- updates and changes
    void BeginUpdate();
    void EndUpdate();
    void CancelUpdate();
    bool Changed(TcxCustomGridChange* AChange);
    bool LayoutChanged(bool AThisViewOnly = true);
    bool SizeChanged(bool AViewOnly = false, bool APreserveMasterCache = false);
    bool ViewChanged();
    bool ViewChanged(const TRect& R);
    void ChangeForClones(bool ARecalculate);

    // ---- relations
    TcxCustomGrid* Grid() const;
    TcxGridLevel* Level() const { return FLevel; }
    bool IsFocusedView() const;
    void SetFocused(bool AValue);
    TcxCustomGridView* MasterGridView() const;
    int MasterRecordIndex() const;
    int MasterGridRecordIndex() const;
    bool IsDetail() const;
    bool IsMaster() const;
    bool IsPattern() const;
    TcxCustomGridView* PatternGridView() { return FPatternGridView ? FPatternGridView : this; }
    bool HasAsMaster(TcxCustomGridView* AView) const;
    TcxGridSite* Site() const;
    int CloneCount() const { return int(FClones.size()); }
    TcxCustomGridView* Clones(int AIndex) const { return FClones[size_t(AIndex)]; }
    void AddClone(TcxCustomGridView* AClone);
    void RemoveClone(TcxCustomGridView* AClone);
    void AssignPattern(TcxCustomGridView* APattern);
    bool IsAssigningPattern() const { return FAssigningPattern; }
    // Pointers registered here read null once the view is destroyed.
    void AddReference(TcxCustomGridView** APointer);
    void RemoveReference(TcxCustomGridView** APointer);

    TcxCustomGridController* Controller() const { return FController; }
    TcxCustomDataController* DataController() const { return FDataController; }
    TcxCustomGridPainter* Painter() const { return FPainter; }
    TcxCustomGridViewData* ViewData() const { return FViewData; }
    TcxCustomGridViewInfo* ViewInfo() const { return FViewInfo; }
    TcxCustomGridViewInfoCache* ViewInfoCache() const { return FViewInfoCache; }
    TcxCustomGridBackgroundBitmaps* BackgroundBitmaps() const { return FBackgroundBitmaps; }
    TcxCustomGridOptionsSelection* OptionsSelection() const { return FOptionsSelection; }
    TcxCustomGridOptionsView* OptionsView() const { return FOptionsView; }
    TcxCustomGridViewStyles* Styles() const { return FStyles; }
    TcxCustomLookAndFeelPainterClass LookAndFeelPainter() const;

    // The options objects hear of the view's notifications.
    void AddOptions(TcxCustomGridOptions* AOptions);
    void RemoveOptions(TcxCustomGridOptions* AOptions);

    // Events kept by the site, which fires them for its own window.
    TDragMode DragMode() const;
    void SetDragMode(TDragMode AValue);
    TNotifyEvent OnDblClick() const;
    void SetOnDblClick(const TNotifyEvent& AValue);
    TKeyEvent OnKeyDown() const;
    void SetOnKeyDown(const TKeyEvent& AValue);
    TMouseEvent OnMouseDown() const;
    void SetOnMouseDown(const TMouseEvent& AValue);

    TNotifyEvent DataControllerEvents;
    TNotifyEvent StylesEvents;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void TearDown();
    void LeaveFocus();
    bool FDestroyingView = false;
    bool FAssigningPattern = false;
    TcxCustomGridBackgroundBitmaps* FBackgroundBitmaps = nullptr;
    std::vector<TcxCustomGridView*> FClones;
    TcxCustomGridController* FController = nullptr;
    TcxCustomDataController* FDataController = nullptr;
    TcxGridLevel* FLevel = nullptr;
    std::vector<TcxCustomGridView**> FReferences;
    std::vector<TcxCustomGridOptions*> FOptionsList;
    TcxCustomGridOptionsSelection* FOptionsSelection = nullptr;
    TcxCustomGridOptionsView* FOptionsView = nullptr;
    TcxCustomGridPainter* FPainter = nullptr;
    TcxCustomGridView* FPatternGridView = nullptr;
    TWeakRef<TComponent> FStreamingParent;
    TcxCustomGridViewStyles* FStyles = nullptr;
    TcxCustomGridViewData* FViewData = nullptr;
    TcxCustomGridViewInfo* FViewInfo = nullptr;
    TcxCustomGridViewInfoCache* FViewInfoCache = nullptr;
    bool FTornDown = false;
    bool FOptionsCreated = false;
};

namespace cxGridCustomView {
// The pool of shared hit tests (made on first use, freed by Finalize).
TGridHitTests* GridHitTests();
// The registered view classes ("Table", "DB Table"…), made on first use.
TcxRegisteredClasses* cxGridRegisteredViews();
void Finalize();
}  // namespace cxGridCustomView
