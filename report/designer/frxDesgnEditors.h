// The designer's own editors and the registration the designer starts
// with: the objects of the palette, the component editors, the property
// editors and the properties the inspector hides.
#pragma once

#include "frxDsgnIntf.h"

#include <functional>
#include <string>

class TStrings;
class TfrxCustomDesigner;
class TfrxCustomMemoView;
class TfrxDataBand;
class TfrxFormat;
class TfrxFrame;
class TfrxGroupHeader;
class TfrxPicture;
class TfrxReportPage;

// The editor dialogs that the editors open. The dialogs' unit installs
// them; while one is not installed, the editor that would open it opens
// nothing and changes nothing. Each runs modally over the designer window
// and answers true when it was closed with OK; what it edits it edits in
// place (the editors hand it copies where a cancel must change nothing).
namespace frxEditorForms {
// The text editor of a text object: starts with text, leaves the result there.
extern std::function<bool(TfrxCustomDesigner*, TfrxCustomMemoView*, std::string& text)> MemoEditor;
// The system-text editor: starts with text, leaves the result there.
extern std::function<bool(TfrxCustomDesigner*, std::string& text)> SysMemoEditor;
extern std::function<bool(TfrxCustomDesigner*, TfrxPicture*)> PictureEditor;
extern std::function<bool(TfrxCustomDesigner*, TfrxReportPage*)> PageEditor;
extern std::function<bool(TfrxCustomDesigner*, TfrxDataBand*)> DataBandEditor;
extern std::function<bool(TfrxCustomDesigner*, TfrxGroupHeader*)> GroupEditor;
extern std::function<bool(TfrxCustomDesigner*, TfrxFrame*)> FrameEditor;
extern std::function<bool(TfrxCustomDesigner*, TStrings*)> StringsEditor;
extern std::function<bool(TfrxCustomDesigner*, TfrxFormat*)> FormatEditor;
}  // namespace frxEditorForms

// ---- component editors of pages, bands, subreports and dialog controls -----------------------

// The check items of a component editor's menu act on the item's state as
// the click left it: the items check themselves when clicked, so the
// designer runs RunMenuCommand with the item's tag from its click.
class TfrxPageEditor : public TfrxComponentEditor {
public:
    using TfrxComponentEditor::TfrxComponentEditor;
    // The page options, for a report page that no subreport shows.
    bool Edit() override;
    bool HasEditor() override { return true; }
};

class TfrxBandEditor : public TfrxComponentEditor {
public:
    using TfrxComponentEditor::TfrxComponentEditor;
    void FillMenu() override;
    bool RunMenuCommand(int tag) override;
};

class TfrxDataBandEditor : public TfrxBandEditor {
public:
    using TfrxBandEditor::TfrxBandEditor;
    // The data-set chooser on the band.
    bool Edit() override;
    bool HasEditor() override { return true; }
    void FillMenu() override;
    bool RunMenuCommand(int tag) override;
};

class TfrxHeaderEditor : public TfrxBandEditor {
public:
    using TfrxBandEditor::TfrxBandEditor;
    void FillMenu() override;
    bool RunMenuCommand(int tag) override;
};

class TfrxPageHeaderEditor : public TfrxBandEditor {
public:
    using TfrxBandEditor::TfrxBandEditor;
    void FillMenu() override;
    bool RunMenuCommand(int tag) override;
};

class TfrxPageFooterEditor : public TfrxComponentEditor {
public:
    using TfrxComponentEditor::TfrxComponentEditor;
    void FillMenu() override;
    bool RunMenuCommand(int tag) override;
};

class TfrxGroupHeaderEditor : public TfrxBandEditor {
public:
    using TfrxBandEditor::TfrxBandEditor;
    // The group condition editor on the band.
    bool Edit() override;
    bool HasEditor() override { return true; }
    void FillMenu() override;
    bool RunMenuCommand(int tag) override;
};

class TfrxSubreportEditor : public TfrxComponentEditor {
public:
    using TfrxComponentEditor::TfrxComponentEditor;
    // Shows the subreport's page; changes nothing.
    bool Edit() override;
    bool HasEditor() override { return true; }
    void FillMenu() override;
    bool RunMenuCommand(int tag) override;
};

// A control of a dialog page: Edit opens the script at its OnClick handler.
class TfrxDialogControlEditor : public TfrxComponentEditor {
public:
    using TfrxComponentEditor::TfrxComponentEditor;
    bool Edit() override;
    bool HasEditor() override { return true; }
};

// ---- property editors -----------------------------------------------------------------------

// Text objects' lines: the text editor on the first object.
class TfrxMemoProperty : public TfrxClassProperty {
    QZ_CLASS(TfrxMemoProperty, TfrxClassProperty)
public:
    TfrxPropertyAttributes GetAttributes() override;
    bool Edit() override;
};

class TfrxFrameProperty : public TfrxClassProperty {
    QZ_CLASS(TfrxFrameProperty, TfrxClassProperty)
public:
    TfrxPropertyAttributes GetAttributes() override;
    bool Edit() override;
};

class TfrxPictureProperty : public TfrxClassProperty {
    QZ_CLASS(TfrxPictureProperty, TfrxClassProperty)
public:
    TfrxPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    bool Edit() override;
};

class TfrxBitmapProperty : public TfrxClassProperty {
    QZ_CLASS(TfrxBitmapProperty, TfrxClassProperty)
public:
    TfrxPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    bool Edit() override;
};

class TfrxStringsProperty : public TfrxClassProperty {
    QZ_CLASS(TfrxStringsProperty, TfrxClassProperty)
public:
    TfrxPropertyAttributes GetAttributes() override;
    bool Edit() override;
};

// The format of the first object's values, through the format dialog.
class TfrxDisplayFormatProperty : public TfrxStringProperty {
    QZ_CLASS(TfrxDisplayFormatProperty, TfrxStringProperty)
public:
    TfrxPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void SetValue(const std::string& value) override {}
    bool Edit() override;
};

// The data set by its name in the report. Binding a text object that has a
// field rewrites its text to the bracketed reference.
class TfrxDataSetProperty : public TfrxPropertyEditor {
    QZ_CLASS(TfrxDataSetProperty, TfrxPropertyEditor)
public:
    TfrxPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void GetValues() override;
    void SetValue(const std::string& value) override;
};

// A field of the object's data set.
class TfrxDataFieldProperty : public TfrxPropertyEditor {
    QZ_CLASS(TfrxDataFieldProperty, TfrxPropertyEditor)
public:
    TfrxPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void GetValues() override;
    void SetValue(const std::string& value) override;
};

// A report event: the name of a script procedure. The list offers the
// procedures that fit the event; Edit opens the script at the handler,
// writing an empty one first when the event has none.
class TfrxEventProperty : public TfrxStringProperty {
    QZ_CLASS(TfrxEventProperty, TfrxStringProperty)
public:
    TfrxPropertyAttributes GetAttributes() override;
    void GetValues() override;
    bool Edit() override;
};

// Positions and sizes (pixels) shown and typed in the designer's unit.
class TfrxLocSizeXProperty : public TfrxFloatProperty {
    QZ_CLASS(TfrxLocSizeXProperty, TfrxFloatProperty)
public:
    // Pixels of a character cell.
    virtual double Ratio() const { return 9.6; }
    std::string GetValue() override;
    void SetValue(const std::string& value) override;
};

class TfrxLocSizeYProperty : public TfrxLocSizeXProperty {
    QZ_CLASS(TfrxLocSizeYProperty, TfrxLocSizeXProperty)
public:
    double Ratio() const override { return 17; }
};

// Paper sizes and margins (millimetres) shown and typed in the designer's unit.
class TfrxPaperXProperty : public TfrxFloatProperty {
    QZ_CLASS(TfrxPaperXProperty, TfrxFloatProperty)
public:
    virtual double Ratio() const { return 9.6; }
    std::string GetValue() override;
    void SetValue(const std::string& value) override;
};

class TfrxPaperYProperty : public TfrxPaperXProperty {
    QZ_CLASS(TfrxPaperYProperty, TfrxPaperXProperty)
public:
    double Ratio() const override { return 17; }
};

class TfrxBrushProperty : public TfrxEnumProperty {
    QZ_CLASS(TfrxBrushProperty, TfrxEnumProperty)
public:
    TfrxPropertyAttributes GetAttributes() override;
    void DrawListItem(TCanvas* canvas, int index, const TRect& r, bool selected) override;
    void DrawValue(TCanvas* canvas, const TRect& r) override;
};

class TfrxFrameStyleProperty : public TfrxEnumProperty {
    QZ_CLASS(TfrxFrameStyleProperty, TfrxEnumProperty)
public:
    TfrxPropertyAttributes GetAttributes() override;
    int GetExtraListWidth() override { return 36; }
    void DrawListItem(TCanvas* canvas, int index, const TRect& r, bool selected) override;
    void DrawValue(TCanvas* canvas, const TRect& r) override;
};

// False/True with a check box; a click on it toggles the value.
class TfrxBooleanProperty : public TfrxEnumProperty {
    QZ_CLASS(TfrxBooleanProperty, TfrxEnumProperty)
public:
    TfrxPropertyAttributes GetAttributes() override;
    void DrawListItem(TCanvas* canvas, int index, const TRect& r, bool selected) override;
    void DrawValue(TCanvas* canvas, const TRect& r) override;
};

namespace frxDesgnEditors {
// Fills the registries, once.
void Initialize();

// A length in pixels as the designer shows it in the unit (0 cm, 1 inch,
// 2 pixels, 3 characters of ratio pixels), and typed text back to pixels
// ("," or "." as the decimal separator).
std::string PixelsToUnitText(double pixels, int units, double ratio);
double UnitTextToPixels(const std::string& text, int units, double ratio);
// The same for millimetres of paper.
std::string MillimetresToUnitText(double mm, int units, double ratio);
double UnitTextToMillimetres(const std::string& text, int units, double ratio);

// Opens the script of the designer at the event handler of the object:
// with a handler named, only jumps to it (false); without, names one after
// the object and the event, writes it into the script when the script has
// none of that name, stores the name through setName and jumps to its body
// (true). Raises when the script has no place for a new handler; the event
// is then left as it was.
bool JumpToHandler(TfrxCustomDesigner* designer, TComponent* object, const std::string& handler,
                   const std::string& eventName, const std::string& eventType,
                   const std::function<void(const std::string&)>& setName);
}  // namespace frxDesgnEditors
