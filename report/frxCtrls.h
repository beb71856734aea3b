// The report library's own window controls: a custom-drawn window with its
// own scroll ranges (the base of the preview's page area), a flat combo box,
// a font chooser that keeps the five fonts chosen last, with a floating
// sample of the highlighted font, and an edit with a button at its end.
#pragma once

#include "Controls.h"
#include "Forms.h"
#include "StdCtrls.h"

#include <string>
#include <vector>

class TPanel;
class TSpeedButton;
class TBitmap;

class TfrxScrollWin : public TCustomControl {
    QZ_CLASS(TfrxScrollWin, TCustomControl)
public:
    explicit TfrxScrollWin(TComponent* owner = nullptr);

    int HorzPage() const { return FHorzPage; }
    int HorzPosition() const { return FHorzPosition; }
    int HorzRange() const { return FHorzRange; }
    int VertPage() const { return FVertPage; }
    int VertPosition() const { return FVertPosition; }
    int VertRange() const { return FVertRange; }
    void SetHorzPageSize(int n);
    void SetVertPageSize(int n);
    void SetHorzScrollRange(int n);
    void SetVertScrollRange(int n);
    // Clamped to 0 .. range - page; a change moves the bar and calls the
    // position-changed hook.
    void SetHorzScrollPos(int n);
    void SetVertScrollPos(int n);
    int SmallChange = 1;
    int LargeChange = 10;

protected:
    virtual void HorzPositionChanged(int oldPosition) {}
    virtual void VertPositionChanged(int oldPosition) {}
    void Paint() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    void UpdateBar(int bar);
    void ScrollMessage(TMessage& m, int bar);
    void WMHScroll(TMessage& m) { ScrollMessage(m, SB_HORZ); }
    void WMVScroll(TMessage& m) { ScrollMessage(m, SB_VERT); }
    void WMEraseBkgnd(TMessage& m) { m.Result = 1; }
    void WMGetDlgCode(TMessage& m) { m.Result = 7; }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_HSCROLL, WMHScroll)
        QZ_MESSAGE_HANDLER(WM_VSCROLL, WMVScroll)
        QZ_MESSAGE_HANDLER(WM_ERASEBKGND, WMEraseBkgnd)
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
    QZ_END_MESSAGE_MAP
    int FHorzPage = 0, FHorzPosition = 0, FHorzRange = 0;
    int FVertPage = 0, FVertPosition = 0, FVertRange = 0;
};

// A combo box with a narrow arrow button, room for a glyph left of the
// text, a list of its own width that opens upward when it would leave the
// screen, and a hot state (designed, open, focused or under the mouse).
class TfrxCustomComboBox : public TCustomComboBox {
    QZ_CLASS(TfrxCustomComboBox, TCustomComboBox)
public:
    explicit TfrxCustomComboBox(TComponent* owner = nullptr);

    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int v);
    int EditOffset() const { return FEditOffset; }
    void SetEditOffset(int v);
    // 0: the control's width - 1.
    int ListWidth() const { return FListWidth; }
    void SetListWidth(int v) { FListWidth = v; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    bool MouseInControl() const { return FMouseInControl; }
    bool UpDropdown() const { return FUpDropdown; }
    bool Hot() const;

    // Where the parts stand, in client coordinates.
    TRect EditRect() const;
    TRect ButtonRect() const;
    // The three lines of the arrow: (x0 + i, y0 + i) to (x0 - i + 5, y0 + i).
    TPoint ArrowOrigin() const;
    // The open list's size; below the control unless its bottom would pass
    // screenBottom (screen coordinates), then above it.
    TSize ListSize() const;
    bool ListOpensUpward(int screenBottom) const;

    void DropDown() override;
    void CloseUp() override;

protected:
    virtual void MeasureRows();
    void CMMouseEnter(TMessage& m);
    void CMMouseLeave(TMessage& m);
    // A new font: the rows take its height.
    void CMFontChanged(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_MOUSEENTER, CMMouseEnter)
        QZ_MESSAGE_HANDLER(CM_MOUSELEAVE, CMMouseLeave)
        QZ_MESSAGE_HANDLER(CM_FONTCHANGED, CMFontChanged)
    QZ_END_MESSAGE_MAP
    bool FDropped = false;

private:
    int FButtonWidth = 11;
    int FEditOffset = 0;
    int FListWidth = 0;
    bool FReadOnly = false;
    bool FMouseInControl = false;
    bool FUpDropdown = false;
};

class TfrxComboBox : public TfrxCustomComboBox {
    QZ_CLASS(TfrxComboBox, TfrxCustomComboBox)
public:
    explicit TfrxComboBox(TComponent* owner = nullptr) : TfrxCustomComboBox(owner) {}
};

// The floating sample of the font highlighted in a font chooser's list.
class TfrxFontPreview : public TForm {
    QZ_CLASS(TfrxFontPreview, TForm)
public:
    explicit TfrxFontPreview(TComponent* owner = nullptr);
    // Shows the name in its own font.
    void ShowFont(const std::string& name);
    TPanel* Panel() const { return FPanel; }
private:
    TPanel* FPanel;
};

// A font chooser: the screen's and the printer's font families, TrueType
// ones marked, under the (at most five) fonts chosen last, which the
// registry keeps under MRURegKey ("Font0".."Font4", "FontType0".."FontType4").
class TfrxFontComboBox : public TfrxCustomComboBox {
    QZ_CLASS(TfrxFontComboBox, TfrxCustomComboBox)
public:
    explicit TfrxFontComboBox(TComponent* owner = nullptr);
    ~TfrxFontComboBox() override;

    bool ShowMRU = true;
    const std::string& MRURegKey() const { return FMRURegKey; }
    // Empty gives the library's own key.
    void SetMRURegKey(const std::string& v);
    // How many recent fonts head the list.
    int MRUCount() const { return FMRUCount + 1; }
    // Fills the list again (fonts installed, recent fonts from the registry).
    void Populate();
    TfrxFontPreview* PreviewWindow() const { return FPreview; }
    // Where the sample goes for the list opening as it does now: beside the
    // control's bottom-right corner, or left of it when that leaves the screen.
    TPoint PreviewPosition(int screenWidth) const;

    void DropDown() override;
    void CloseUp() override;
    void DrawItem(int index, TRect rect, TOwnerDrawState state) override;
    void Click() override;

    // The font flags of the enumeration: this one marks TrueType.
    static constexpr int TrueTypeFont = 4;

protected:
    void CreateWindowDone() override;
    // A row holds the TrueType mark or a line of the font, whichever is taller.
    void MeasureRows() override;
    // Fonts were installed or removed: the list is filled again.
    void CMFontChange(TMessage& m) { Populate(); }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_FONTCHANGE, CMFontChange)
    QZ_END_MESSAGE_MAP

private:
    void ReadMRU();
    void WriteMRU();
    std::string FMRURegKey;
    int FMRUCount = -1;
    bool FPopulating = false;
    TfrxFontPreview* FPreview = nullptr;
    std::unique_ptr<TBitmap> FGlyph;
};

// An edit with a button at its right end (which fires OnButtonClick after
// the edit takes the focus); Enter and Esc reach the form's default and
// cancel buttons.
class TfrxComboEdit : public TCustomComboBox {
    QZ_CLASS(TfrxComboEdit, TCustomComboBox)
public:
    explicit TfrxComboEdit(TComponent* owner = nullptr);
    TBitmap* Glyph() const;
    void SetGlyph(TBitmap* v);
    bool ButtonEnabled() const { return FButtonEnabled; }
    void SetButtonEnabled(bool v);
    std::string ButtonHint() const;
    void SetButtonHint(const std::string& v);
    TSpeedButton* Button() const { return FButton; }
    TPanel* ButtonPanel() const { return FPanel; }
    TNotifyEvent OnButtonClick;

protected:
    void Resize() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void CMEnabledChanged(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_ENABLEDCHANGED, CMEnabledChanged)
    QZ_END_MESSAGE_MAP

private:
    void PlaceButton();
    TPanel* FPanel;
    TSpeedButton* FButton;
    bool FButtonEnabled = true;
};

namespace frxCtrls {
// A control of a dialog: owned by the form, named (the form's text block
// names it), placed on its parent.
template <class C>
C* MakeControl(TComponent* owner, TWinControl* parent, const std::string& name, int left, int top, int width,
               int height)
{
    C* c = new C(owner);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
}
}  // namespace frxCtrls
