// The design surface the designer window creates for report pages: the
// general surface plus the window's tools (select, hand, zoom, text, format
// painter), page guides that objects snap to, column lines, drops from the
// data tree and the rulers, and the field chooser on text objects in bound
// data bands.
#pragma once

#include "frxDesgnWorkspace.h"

class TListBox;
class TfrxDataTreeForm;
class TfrxCustomMemoView;
class TfrxMemoView;

enum TfrxDesignerToolMode { tmSelect, tmHand, tmZoom, tmText, tmFormat };

// The custom cursors of the tools.
constexpr TCursor crHand = 50, crZoom = 51, crFormat = 52;

// What the surface needs of the designer window.
class IfrxReportDesignerWindow {
public:
    virtual ~IfrxReportDesignerWindow() = default;
    virtual TfrxDataTreeForm* DataTree() const = 0;
    // The height given to objects dropped from the data tree.
    virtual double DefaultObjectHeight() const = 0;
    // The window's zoom (it sizes the surface and its rulers).
    virtual void SetDesignerScale(double scale) = 0;
    // The window's default text format for new text objects.
    virtual void ApplyDefaultFormat(TfrxCustomMemoView* memo) = 0;
    // Reloads the page tabs, keeping the current page.
    virtual void ReloadPages() = 0;
};

class TDesignerWorkspace : public TfrxDesignerWorkspace {
    QZ_CLASS(TDesignerWorkspace, TfrxDesignerWorkspace)
public:
    explicit TDesignerWorkspace(TComponent* owner = nullptr);

    IfrxReportDesignerWindow* Designer() const { return FDesigner; }
    void SetDesigner(IfrxReportDesignerWindow* d) { FDesigner = d; }
    TfrxDesignerToolMode ToolMode() const { return FToolMode; }
    void SetToolMode(TfrxDesignerToolMode v);
    bool ShowGuides() const { return FShowGuides; }
    void SetShowGuides(bool v);
    TListBox* FieldList() const { return FFieldList; }
    TfrxCustomMemoView* HotView() const { return FHotView; }
    int DraggedGuide() const { return FDraggedGuide; }
    bool DraggingVerticalGuide() const { return FGuideVertical; }

    // After a paste: the pasted selection follows the mouse until the next release.
    void BeginMoveSelection();

    void AdjustMove(double& dx, double& dy, bool& cancel) override;
    void DrawObjects(TCanvas* canvas) override;
    void DeleteSelection() override;
    void DragOver(TObject* source, int x, int y, TDragState state, bool& accept) override;
    void DragDrop(TObject* source, int x, int y) override;

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    void DrawOverlays(TCanvas* canvas) override;

private:
    bool OnReportPage() const;
    void SnapEdge(double edge, double& d, bool vertical) const;
    void ZoomRelease(TMouseButton button, int x, int y);
    void TextToolRelease();
    void FormatPainterRelease(int x, int y);
    void FieldListClick();
    void ShowFieldList();
    bool DataTreeSource(TObject* source) const;
    TfrxComponent* NewTextObject();

    IfrxReportDesignerWindow* FDesigner = nullptr;
    TfrxDesignerToolMode FToolMode = tmSelect;
    bool FShowGuides = false;
    TListBox* FFieldList = nullptr;
    TfrxCustomMemoView* FHotView = nullptr;
    int FDraggedGuide = -1;
    bool FGuideVertical = false;
    // The preview of a guide being dragged in from a ruler.
    bool FGuidePreview = false, FGuidePreviewVertical = false;
    int FGuidePreviewAt = 0;
};
