// Buttons with pictures: the bit button (a push button with a glyph, or one
// of the standard kinds) and the speed button (a tool-bar style button drawn
// on its parent, that can stay down alone or as one of a group).
#pragma once

#include "StdCtrls.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };

// How a glyph strip and a caption share a button face. The glyph holds
// NumGlyphs images side by side: up, disabled, down, and held down; the
// bottom-left pixel's colour shows through. A disabled button without its
// own disabled image shows the glyph engraved.
struct TButtonFace {
    TBitmap* Glyph = nullptr;
    int NumGlyphs = 1;
    TButtonLayout Layout = blGlyphLeft;
    int Margin = -1;     // -1: glyph and text centred together
    int Spacing = 4;     // -1: text centred in the room left
    // Draws glyph and caption into client for the state; returns the caption's rectangle.
    TRect Draw(TCanvas* canvas, const TRect& client, TPoint offset, const std::string& caption,
               TButtonState state, bool transparent) const;
};

class TBitBtn : public TButton {
    QZ_CLASS(TBitBtn, TButton)
public:
    explicit TBitBtn(TComponent* owner = nullptr);
    ~TBitBtn() override;
    TBitBtnKind Kind() const { return FKind; }
    // Takes the kind's caption, modal result, default or cancel role and glyph.
    void SetKind(TBitBtnKind v);
    // The picture (the kind's own while none is set).
    TBitmap* Glyph();
    void SetGlyph(TBitmap* v);
    int NumGlyphs() const { return FFace.NumGlyphs; }
    void SetNumGlyphs(int v);
    TButtonLayout Layout() const { return FFace.Layout; }
    void SetLayout(TButtonLayout v);
    int Margin() const { return FFace.Margin; }
    void SetMargin(int v);
    int Spacing() const { return FFace.Spacing; }
    void SetSpacing(int v);
    TButtonStyle Style() const { return FStyle; }
    void SetStyle(TButtonStyle v) { FStyle = v; }
    void Click() override;
protected:
    void CreateParams(TCreateParams& params) override;
    void CNDrawItem(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CN_DRAWITEM, CNDrawItem)
    QZ_END_MESSAGE_MAP
private:
    void GlyphChanged(TObject*);
    TBitBtnKind FKind = bkCustom;
    TButtonStyle FStyle = bsAutoDetect;
    std::unique_ptr<TBitmap> FGlyph;
    std::unique_ptr<TBitmap> FKindGlyph;
    TButtonFace FFace;
};

class TSpeedButton : public TGraphicControl {
    QZ_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* owner = nullptr);
    ~TSpeedButton() override;
    // Buttons of one parent sharing a GroupIndex other than 0 go down one at
    // a time; AllowAllUp lets the one that is down come up again.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v);
    bool Down() const { return FDown; }
    void SetDown(bool v);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool v);
    // Flat: the edge shows only under the mouse or while down.
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* v);
    int NumGlyphs() const { return FFace.NumGlyphs; }
    void SetNumGlyphs(int v);
    TButtonLayout Layout() const { return FFace.Layout; }
    void SetLayout(TButtonLayout v);
    int Margin() const { return FFace.Margin; }
    void SetMargin(int v);
    int Spacing() const { return FFace.Spacing; }
    void SetSpacing(int v);
    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }
    // An action's checked state holds the button down (in a group).
    void ActionChange(TObject* sender, bool checkDefaults) override;
    void Click() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
protected:
    void Paint() override;
    void CMMouseEnter2(TMessage& m);
    void CMMouseLeave2(TMessage& m);
    void CMButtonPressed(TMessage& m);
    void CMTextChanged2(TMessage& m) { Invalidate(); }
    void CMEnabledChanged2(TMessage& m);
    void CMDialogChar(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_MOUSEENTER, CMMouseEnter2)
        QZ_MESSAGE_HANDLER(CM_MOUSELEAVE, CMMouseLeave2)
        QZ_MESSAGE_HANDLER(CM_BUTTONPRESSED, CMButtonPressed)
        QZ_MESSAGE_HANDLER(CM_TEXTCHANGED, CMTextChanged2)
        QZ_MESSAGE_HANDLER(CM_ENABLEDCHANGED, CMEnabledChanged2)
        QZ_MESSAGE_HANDLER(CM_DIALOGCHAR, CMDialogChar)
    QZ_END_MESSAGE_MAP
private:
    void UpdateExclusive();
    int FGroupIndex = 0;
    bool FDown = false;
    bool FAllowAllUp = false;
    bool FFlat = false;
    bool FTransparent = true;
    bool FDragging = false;
    bool FMouseInControl = false;
    TButtonState FState = bsUp;
    std::unique_ptr<TBitmap> FGlyph;
    TButtonFace FFace;
};
