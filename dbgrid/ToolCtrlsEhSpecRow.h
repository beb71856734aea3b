// Pieces the lookup lists, the grid's columns and the drop-down windows
// share: the special row of a lookup list (one extra entry above the real
// rows, standing for a value such as "none"), turning a ';'-separated list
// of field names into fields, and the triangular grip in a corner of a
// drop-down window that resizes it.
#pragma once

#include "Controls.h"
#include "DB.h"
#include "ShortCuts.h"
#include "ToolCtrlsEh.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// ---- the special row ------------------------------------------------------------------------

class TSpecRowEh : public TPersistent {
    QZ_CLASS(TSpecRowEh, TPersistent)
public:
    explicit TSpecRowEh(TPersistent* owner = nullptr);
    ~TSpecRowEh() override;

    // The cell texts, ';'-separated; an entry may be quoted with '"'.
    const std::string& CellsText() const { return FCellsText; }
    void SetCellsText(const std::string& v);
    // The row's own colour once set, else its owner's.
    TColor Color() const;
    void SetColor(TColor v);
    // The row's own font once set, else (refreshed from) its owner's.
    TFont* Font() const;
    void SetFont(TFont* v);
    bool HasOwnColor() const { return FHasOwnColor; }
    bool HasOwnFont() const { return FHasOwnFont; }
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut v) { FShortCut = v; }
    // A key the list does not hold shows as the special row.
    bool ShowIfNotInKeyList() const { return FShowIfNotInKeyList; }
    void SetShowIfNotInKeyList(bool v);
    // The key value the row stands for.
    const Variant& Value() const { return FValue; }
    void SetValue(const Variant& v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);

    // Cell i's text; empty outside the cells.
    std::string CellText(int index) const;
    int CellCount() const { return int(FCells.size()); }
    TColor OwnerColor() const;
    TFont* OwnerFont() const;
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void Assign(TPersistent* source) override;
    TPersistent* GetOwner() const override { return FOwner; }

    // Told of every stored change outside an update.
    std::function<void(TSpecRowEh* row)> OnSpecRowChanged;

    static constexpr TShortCut DefaultShortCut = 32814;   // Alt+Delete

private:
    void Changed();
    TPersistent* FOwner;
    std::string FCellsText;
    std::vector<std::string> FCells;
    TColor FColor = clWindow;
    std::unique_ptr<TFont> FFont;
    bool FHasOwnColor = false, FHasOwnFont = false;
    bool FRefreshingFont = false;
    TShortCut FShortCut = DefaultShortCut;
    bool FShowIfNotInKeyList = true;
    Variant FValue = Null();
    bool FVisible = false;
    int FUpdateCount = 0;
};

namespace ToolCtrlsEh {
// The entries of a special row's cell text: control characters between
// entries are skipped, '"' quotes an entry (a doubled '"' inside stands
// for one), blanks belong to the entries.
std::vector<std::string> SplitCellsText(const std::string& text);
} // namespace ToolCtrlsEh

// ---- field lists -------------------------------------------------------------------------------

// Looks up each ';'-separated name (blanks around it removed) in the data
// set, appending the fields to list when one is given; a missing name
// raises "Field '%s' not found" attributed to component.
void ParseFieldList(std::vector<TField*>* list, TDataSet* dataSet, TComponent* component, const std::string& names);
std::vector<TField*> ParseFieldArray(TDataSet* dataSet, TComponent* component, const std::string& names);
// Null clears every named field; any other value is set on them together
// (an array of values for several names).
void AssignFieldValues(TDataSet* dataSet, const std::string& names, const Variant& value);

// ---- the size grip -------------------------------------------------------------------------------

enum TGripCornerEh { gcTopLeftEh, gcTopRightEh, gcBottomRightEh, gcBottomLeftEh };


class TSizeGripEh : public TCustomControl {
    QZ_CLASS(TSizeGripEh, TCustomControl)
public:
    explicit TSizeGripEh(TComponent* owner = nullptr);

    TGripCornerEh Corner() const { return FCorner; }
    // A new corner remakes the window.
    void SetCorner(TGripCornerEh v);
    bool TriangularShape() const { return FTriangularShape; }
    void SetTriangularShape(bool v);
    // Moves to the corner of that side of the same edge (none when already there).
    void FlipCorner(TGripFlipEh flip);
    void ShowGrip(bool visible);
    // Puts the grip in its corner of the parent's client area.
    void StickToCorner();
    // The grip's outline in its own coordinates: the triangle in its
    // corner's half, or the whole rectangle.
    std::vector<TPoint> ShapePoints() const;
    // Whether a point of the grip belongs to its shape.
    bool HitShape(int x, int y) const;
    // The cursor the grip shows for its corner.
    TCursor CornerCursor() const;
    virtual void OwnerResized();
    TNotifyEvent OnOwnerResized;

    // The parent's new bounds for a drag that started at `from` (screen),
    // with the parent then at `bounds` with the given client size, when the
    // pointer is at `to`, kept inside the work area. The client size the
    // parent should get is returned in clientWidth and clientHeight.
    static TRect DragBounds(TGripCornerEh corner, TPoint from, TPoint to, const TRect& bounds, int& clientWidth,
                            int& clientHeight, const TRect& workArea);

protected:
    void CreateWnd() override;
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void Dispatch(TMessage& message) override;

private:
    void UpdateShape();
    TGripCornerEh FCorner = gcBottomRightEh;
    bool FTriangularShape = true;
    TPoint FDragFrom{0, 0}, FLastDrag{0, 0};
    TRect FStartBounds{0, 0, 0, 0};
    int FStartClientWidth = 0, FStartClientHeight = 0;
    bool FRepositioning = false;
};
