// The small building blocks of the designer window: the two rulers, the
// scroll box that hosts the design surface, the drop-down colour and
// line-style pickers, the undo and redo history of whole-report snapshots,
// and copying report objects through the system clipboard.
#pragma once

#include "ExtCtrls.h"
#include "ScrollBox.h"
#include "TypInfo.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TList;
class TMemoryStream;
class TfrxComponent;
class TfrxPage;
class TfrxReport;

// ---- rulers ---------------------------------------------------------------------------------

enum TfrxRulerUnits { ruCM, ruInches, ruPixels, ruChars };
QZ_ENUM_TYPEINFO(TfrxRulerUnits, "ruCM", "ruInches", "ruPixels", "ruChars")

// One mark of a ruler's scale: where it stands along the ruler (pixels),
// the length of its stroke across the strip (0 for a labelled mark, which
// has no stroke) and its label (empty for a plain tick).
struct TfrxRulerMark {
    int Position = 0;
    int Length = 0;
    std::string Label;
    bool operator==(const TfrxRulerMark&) const = default;
};

// A ruler along the top (aligned top, or not aligned) or the left (aligned
// left) of the design surface. The scale's zero lies Start pixels before
// Offset, which is where the visible part of the scale begins.
class TfrxRuler : public TPanel {
    QZ_CLASS(TfrxRuler, TPanel)
public:
    explicit TfrxRuler(TComponent* owner = nullptr);

    int Offset() const { return FOffset; }
    void SetOffset(int v);
    double Scale() const { return FScale; }
    void SetScale(double v);
    int Start() const { return FStart; }
    void SetStart(int v);
    TfrxRulerUnits Units() const { return FUnits; }
    void SetUnits(TfrxRulerUnits v);
    // The mouse position, in the ruler's unit.
    double Position() const { return FPosition; }
    void SetPosition(double v);

    bool Vertical() const { return Align() == alLeft; }
    // Pixels between two neighbouring ticks.
    double Step() const;
    // The pixel where tick 0 stands.
    int Origin() const;
    // Every mark the ruler draws, in order along the ruler. labelWidth
    // measures a label's text (the ruler's own font when not given).
    std::vector<TfrxRulerMark> Marks(const std::function<int(const std::string&)>& labelWidth = {}) const;
    // Where the position marker stands, or -1 when it is not drawn.
    int MarkerPosition() const;

protected:
    void Paint() override;

private:
    void WMEraseBkgnd(TMessage& m) { m.Result = 1; }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_ERASEBKGND, WMEraseBkgnd)
    QZ_END_MESSAGE_MAP
    void SetupFont(TFont* font) const;
    int FOffset = 0;
    double FScale = 1;
    int FStart = 0;
    TfrxRulerUnits FUnits = ruPixels;
    double FPosition = 0;
};

// ---- the scroll box of the design surface ---------------------------------------------------

// Keys reaching the box go on to the windowed controls inside it (the
// design surface), after the box's own handling; it wants the arrows and Tab.
class TfrxScrollBox : public TScrollBox {
    QZ_CLASS(TfrxScrollBox, TScrollBox)
public:
    explicit TfrxScrollBox(TComponent* owner = nullptr);

protected:
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyUp(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;

private:
    void Forward(UINT msg, WPARAM key);
    void WMGetDlgCode(TMessage& m) { m.Result = DLGC_WANTARROWS | DLGC_WANTTAB; }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
    QZ_END_MESSAGE_MAP
};

// ---- drop-down selectors --------------------------------------------------------------------

class TfrxPopupForm;

// A picker shown in a popup form under the tool button that opened it.
// Pressing and moving the mouse highlight the cell under it; the popup
// closes when it loses the activation.
class TfrxCustomSelector : public TPanel {
    QZ_CLASS(TfrxCustomSelector, TPanel)
public:
    // owner: the tool button that opens the picker (its Tag is copied, the
    // popup opens at its bottom-left, two pixels lower). Any other owner
    // (a form, null) just owns a picker without a popup.
    explicit TfrxCustomSelector(TComponent* owner = nullptr);
    TfrxPopupForm* Popup() const { return FPopup; }
    // The cell the mouse highlights now (empty: none).
    TRect Highlighted() const { return FHighlighted; }
    bool HighlightPressed() const { return FPressed; }

protected:
    // The cell under a point (client coordinates).
    virtual TRect CellRect(int x, int y) const = 0;
    void DrawHighlight(int x, int y, bool pressed);
    void HidePopup();
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;

private:
    TfrxPopupForm* FPopup = nullptr;
    TRect FHighlighted;
    bool FPressed = false;
    bool FHasHighlight = false;
};

// The colours of every colour picker: 4 rows of 8 fixed colours and a row
// of 8 custom slots (clBtnFace marks an empty slot), for the whole process.
namespace frxDesgnCtrls {
constexpr int ColorCount = 40;
TColor PaletteColor(int index);
// A colour chosen in the colour dialog joins the custom row once: the first
// empty slot, or, with the row full, the last slot after the others moved left.
void AddCustomColor(TColor c);
// Empties the custom row.
void ResetCustomColors();
}  // namespace frxDesgnCtrls

class TfrxColorSelector : public TfrxCustomSelector {
    QZ_CLASS(TfrxColorSelector, TfrxCustomSelector)
public:
    explicit TfrxColorSelector(TComponent* owner = nullptr);
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    TNotifyEvent OnColorChanged;
    // The palette index under a point (0..39), or 40 for the "Other..." button.
    static int CellAt(int x, int y);

protected:
    TRect CellRect(int x, int y) const override;
    void Paint() override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    TColor FColor = clNone;
};

class TfrxLineSelector : public TfrxCustomSelector {
    QZ_CLASS(TfrxLineSelector, TfrxCustomSelector)
public:
    explicit TfrxLineSelector(TComponent* owner = nullptr);
    // 0..5: solid, dash, dot, dash-dot, dash-dot-dot, double.
    int Style() const { return FStyle; }
    void SetStyle(int v) { FStyle = v; }
    TNotifyEvent OnStyleChanged;
    static int RowAt(int y);

protected:
    TRect CellRect(int x, int y) const override;
    void Paint() override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    int FStyle = 0;
};

// ---- undo and redo --------------------------------------------------------------------------

// Two lists of whole-report snapshots, each the report saved with its
// children and without default values.
class TfrxUndoBuffer {
public:
    TfrxUndoBuffer();
    ~TfrxUndoBuffer();
    TfrxUndoBuffer(const TfrxUndoBuffer&) = delete;
    TfrxUndoBuffer& operator=(const TfrxUndoBuffer&) = delete;

    void AddUndo(TfrxReport* report);
    void AddRedo(TfrxReport* report);
    // Loads the state before the last change (the next-to-last snapshot)
    // and drops the last snapshot; nothing with fewer than two snapshots.
    void GetUndo(TfrxReport* report);
    // Loads the last redo snapshot and drops it; nothing without one.
    void GetRedo(TfrxReport* report);
    void ClearUndo();
    void ClearRedo();
    int UndoCount() const { return int(FUndo.size()); }
    int RedoCount() const { return int(FRedo.size()); }

private:
    static std::unique_ptr<TMemoryStream> Snapshot(TfrxReport* report);
    static void Restore(TfrxReport* report, TMemoryStream* stream);
    std::vector<std::unique_ptr<TMemoryStream>> FUndo;
    std::vector<std::unique_ptr<TMemoryStream>> FRedo;
};

// ---- the clipboard of report objects --------------------------------------------------------

// What the clipboard works in: the designer window's report, the page being
// designed (null on the code page), the window's list of that page's
// objects and its selection (lists of TfrxComponent*). The designer window
// provides it.
class IfrxDesignerSelection {
public:
    virtual ~IfrxDesignerSelection() = default;
    virtual TfrxReport* Report() const = 0;
    virtual TfrxPage* Page() const = 0;
    virtual TList* Objects() const = 0;
    virtual TList* SelectedObjects() const = 0;
};

namespace frxDesgnCtrls {
// The marker that starts the clipboard text of report objects.
extern const char* const ClipboardMarker;   // "#FR3 clipboard#"
}

class TfrxClipboard {
public:
    explicit TfrxClipboard(IfrxDesignerSelection* designer) : FDesigner(designer) {}
    // The clipboard text of the selected objects: the marker, LF CR, then
    // one element per object with the top-left-most at (0, 0); a band
    // selected without any of its objects brings them along.
    std::string CopyText() const;
    void Copy() const;
    // Reads objects from clipboard text into the current page; returns how
    // many were pasted. Objects that do not fit the page are dropped, and
    // so is a second report title, page header and the like.
    int PasteText(const std::string& text);
    int Paste();
    bool PasteAvailable() const;

private:
    IfrxDesignerSelection* FDesigner;
};
