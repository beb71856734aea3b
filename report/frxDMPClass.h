// Dot-matrix reports: a page, text and line objects laid out on a grid of
// character cells (9.6 x 17 pixels) so that they can go to a character
// printer, drawn on screen with a fixed-pitch font, and carrying a printer
// font style instead of a screen font.
#pragma once

#include "frxClass.h"

enum TfrxDMPFontStyle { fsxBold, fsxItalic, fsxUnderline, fsxSuperScript, fsxSubScript, fsxCondensed, fsxWide,
                        fsx12cpi, fsx15cpi };
using TfrxDMPFontStyles = TSet<TfrxDMPFontStyle, 16>;
QZ_ENUM_TYPEINFO(TfrxDMPFontStyle, "fsxBold", "fsxItalic", "fsxUnderline", "fsxSuperScript", "fsxSubScript",
                 "fsxCondensed", "fsxWide", "fsx12cpi", "fsx15cpi")

class TfrxDMPPage : public TfrxReportPage {
    QZ_CLASS(TfrxDMPPage, TfrxReportPage)
public:
    explicit TfrxDMPPage(TComponent* owner = nullptr);
    void SetDefaults() override;
    TfrxDMPFontStyles FontStyle() const { return FFontStyle; }
    // Objects that follow their parent's font take the new style too.
    void SetFontStyle(TfrxDMPFontStyles v);
    // Paper sizes snapped to whole cells.
    void SnapPaper(bool height);
private:
    TfrxDMPFontStyles FFontStyle;
};

class TfrxDMPMemoView : public TfrxCustomMemoView {
    QZ_CLASS(TfrxDMPMemoView, TfrxCustomMemoView)
public:
    explicit TfrxDMPMemoView(TComponent* owner = nullptr);
    std::string GetDescription() const override;
    void SetLeft(double v) override;
    void SetTop(double v) override;
    void SetWidth(double v) override;
    void SetHeight(double v) override;
    void SetParentFont(bool v) override;
    void PaintFrame() override;
    double CalcHeight() override;
    double CalcWidth() override;
    std::string Diff(TfrxComponent* templ) override;
    TfrxDMPFontStyles FontStyle() const { return FFontStyle; }
    void SetFontStyle(TfrxDMPFontStyles v);
    bool IsFontStyleStored() const { return !ParentFont(); }
private:
    TfrxDMPFontStyles FFontStyle;
};

class TfrxDMPLineView : public TfrxCustomLineView {
    QZ_CLASS(TfrxDMPLineView, TfrxCustomLineView)
public:
    explicit TfrxDMPLineView(TComponent* owner = nullptr);
    std::string GetDescription() const override;
    void SetLeft(double v) override;
    void SetTop(double v) override;
    void SetParentFont(bool v) override;
    std::string Diff(TfrxComponent* templ) override;
    TfrxDMPFontStyles FontStyle() const { return FFontStyle; }
    void SetFontStyle(TfrxDMPFontStyles v);
    bool IsFontStyleStored() const { return !ParentFont(); }
private:
    TfrxDMPFontStyles FFontStyle;
};

namespace frxDMPClass {
// The screen font of dot-matrix objects: "Courier New" 12 points with the
// bold, italic and underline of the style.
void ApplyFont(TfrxFont* font, TfrxDMPFontStyles style);
// Registers the classes for streaming, once.
void Initialize();
}
