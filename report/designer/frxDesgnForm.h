// The report designer's window: menus, tool bars and docks, the object
// palette, the page tabs with the code page, rulers around the design
// surface, the status bar and the tool windows (object inspector, data
// tree, report tree). It keeps the page and the selection that the surface,
// the inspector and the trees share, records every change as an undo
// snapshot, opens and saves layouts (through the application's hooks when
// it has them), keeps its settings in the report's settings store, and
// runs every command of its menus, tool bars and popups.
#pragma once

#include "frxCustomDesigner.h"
#include "frxDesgn.h"
#include "frxDesgnCtrls.h"
#include "frxDesgnWorkspace1.h"
#include "ShortCuts.h"
#include "frxUtils.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TAction;
class TActionList;
class TComboBox;
class TCustomIniFile;
class TImageList;
class TLabel;
class TMainMenu;
class TMenuItem;
class TOpenDialog;
class TPanel;
class TPopupMenu;
class TSaveDialog;
class TStatusBar;
class TStatusPanel;
class TStringList;
class TTabControl;
class TTimer;
class TToolBar;
class TToolButton;
class TfrxDataTreeForm;
class TfrxDesignerDebug;
class TfrxReportPage;
class TfrxDock;
class TfrxDockSite;
class TfrxMemoView;
class TfrxObjectInspector;
class TfrxReportTreeForm;
class TfrxSyntaxMemo;
class TfrxTBPanel;
class TfrxToolBar;
class TfrxUndoBuffer;

// The format painter's sample: one text object of its own.
class TSampleFormat {
public:
    TSampleFormat();
    ~TSampleFormat();
    TSampleFormat(const TSampleFormat&) = delete;
    TSampleFormat& operator=(const TSampleFormat&) = delete;
    // Copies a text object into the sample (nothing for null).
    void SetSample(TfrxCustomMemoView* c);
    // Copies the sample's colour, font, frame, brush, alignment, line spacing
    // and font inheritance onto a text object.
    void ApplyTo(TfrxCustomMemoView* c) const;
    TfrxMemoView* Memo() const { return FMemo.get(); }

private:
    std::unique_ptr<TfrxMemoView> FMemo;
};

class TfrxDesignerForm : public TfrxCustomDesigner, public IfrxReportDesignerWindow {
    QZ_CLASS(TfrxDesignerForm, TfrxCustomDesigner)
public:
    // Builds the window over the report, reads its settings and shows the first page.
    TfrxDesignerForm(TComponent* owner, TfrxReport* report, bool previewPageMode = false);
    ~TfrxDesignerForm() override;
    void BeforeDestruction() override;

    // ---- what the surface, the clipboard and the trees see ------------------------------------
    TfrxDataTreeForm* DataTree() const override { return DataTreeForm; }
    double DefaultObjectHeight() const override { return DefaultInsertSize().Y; }
    void SetDesignerScale(double scale) override { SetScale(scale); }
    void ApplyDefaultFormat(TfrxCustomMemoView* memo) override { SampleFormat->ApplyTo(memo); }
    void ReloadPages() override;

    // ---- the designer base's operations -------------------------------------------------------
    void SetModified(bool value) override;
    void SetPage(TfrxPage* value) override;
    TStrings* GetCode() override;
    TfrxSyntaxMemo* CodeWindow() const override { return FCodeWindow; }
    std::string InsertExpression(const std::string& text) override;
    void Lock() override;
    void ReloadPages(int index) override;
    void ReloadReport() override;
    void UpdateDataTree() override;
    void UpdatePage() override;

    // ---- window state -------------------------------------------------------------------------
    // The unit the operator chose (Units is what shows: a dot-matrix or
    // dialog page forces another).
    int SavedUnits = 0;
    double Scale = 1;
    double Grid1 = 0.1, Grid2 = 0.1, Grid3 = 4, Grid4 = 4;
    bool ShowGrid = true, GridAlign = true, ShowRulers = true, ShowGuides = true;
    bool EditAfterInsert = false;
    bool LocalizedOI = false;
    TColor WorkspaceColor = clWindow, ToolsColor = clWindow;
    std::unique_ptr<TStringList> RecentFiles;
    TObject* ChangeOrigin = nullptr;
    bool UpdatingControls = false;
    TColor LastColor = clBlack;
    int LastFrameStyle = 0;
    TForm* DialogForm = nullptr;
    std::vector<std::string> TabScrollPositions;
    std::unique_ptr<TSampleFormat> SampleFormat;
    std::unique_ptr<TfrxUndoBuffer> UndoBuffer;
    std::unique_ptr<TfrxClipboard> Clipboard;
    // Preview, the script's debug run, find and replace.
    std::unique_ptr<TfrxDesignerDebug> Debug;

    // ---- units, scale, grid -------------------------------------------------------------------
    // Whether the current designer settings component allows the command.
    bool IsAllowed(TfrxDesignerRestriction r) const;
    double ToUnits(double mm, bool horizontal = true) const;
    double FromUnits(double value, bool horizontal = true) const;
    // Width (X) and height (Y) of an object placed with a plain click.
    TfrxPoint DefaultInsertSize() const;
    // The band height of the current unit.
    double BandSize() const;
    void SetUnits(int units);
    void SetScale(double scale);
    void SetShowGrid(bool v);
    void SetGridAlign(bool v);
    void SetShowRulers(bool v);
    void SetShowGuides(bool v);
    void SetWorkspaceColor(TColor c);
    void SetToolsColor(TColor c);
    void UpdatePageDimensions();
    void ScrollBoxResize(TObject* sender);
    // The status panel 0 double click: cm, inch, pixels, cm.
    void CycleUnits();

    // ---- pages, selection, changes ------------------------------------------------------------
    void ReloadObjects();
    void SelectionChanged(TObject* source);
    void ObjectModified(TObject* source);
    void UpdateControls();
    void ShowPosition(const TfrxRect& r);
    // What status panels 1 and 2 say (texts drawn in panel 1: position, size).
    std::string PositionText, SizeText;
    std::string SelectionDescription() const;
    void AttachDialogForm(bool attach);
    bool TabChanging();
    void TabChange();
    // Moves the page of tab `from` to tab `to` (both 1 and above), as a tab drop does.
    void MoveTab(int from, int to);
    void SaveScrollPosition(int tab);
    void RestoreScrollPosition(int tab);
    void BuildObjectPalette();
    void UpdatePalette();
    void ShowToolWindow(int tag, bool show);
    bool ToolWindowShown(int tag) const;

    // ---- closing ------------------------------------------------------------------------------
    // The save question: IDYES, IDNO or IDCANCEL.
    int AskSave();
    bool CloseQuery() override;

    // ---- files and settings -------------------------------------------------------------------
    // Opens a layout: from the file named, through the application's hook
    // (useHook), or from a file chosen in the open dialog. A layout that
    // cannot be loaded leaves the current one and says why.
    void OpenReport(const std::string& fileName, bool useHook);
    // Saves the layout: through the application's hook (useHook), else to
    // its file or one chosen in the save dialog. True when it was stored.
    bool SaveReport(bool saveAs, bool useHook);
    void UpdateRecentFiles(const std::string& fileName);
    void UpdateCaption();
    std::string ReportFileTitle() const;
    void RestoreSettings(bool useDefault);
    void LoadSettings(TCustomIniFile* store, bool useDefault);
    void SaveSettings();
    // The store of the first start.
    std::unique_ptr<TCustomIniFile> UseDefaultLayout() const;
    void RecentFileClick(TObject* sender);
    // The menu items of the recent files, newest first.
    std::vector<TMenuItem*> RecentFileItems() const;

    // ---- commands -----------------------------------------------------------------------------
    void ToolButtonClick(TObject* sender);
    // Runs the formatting operation of a tag on the selection.
    void ApplyTag(int tag, TObject* control);
    void ColorSelected(int tag, TColor color);
    void FrameStyleSelected(int style);
    void AlignClick(TObject* sender);
    void ObjectsButtonClick(TObject* sender);
    void ObjectInserted(TObject* sender);
    void InsertBandClick(TObject* sender);
    double NewBandTop() const;
    void BandsPopupOpen();
    void EditSelected();
    void ScaleChosen(const std::string& text, int itemIndex);
    void LanguageChosen(const std::string& language);
    void UpdateScriptDialogs();
    void ToolSelected(TObject* sender);
    void PagePopupOpen();

    void NewItemCmdExecute(TObject* sender);
    void NewReportCmdExecute(TObject* sender);
    void NewPageCmdExecute(TObject* sender);
    void NewDialogCmdExecute(TObject* sender);
    void DeletePageCmdExecute(TObject* sender);
    void OpenCmdExecute(TObject* sender);
    void SaveCmdExecute(TObject* sender);
    void SaveAsCmdExecute(TObject* sender);
    void PreviewCmdExecute(TObject* sender);
    void PageSettingsCmdExecute(TObject* sender);
    void ExitCmdExecute(TObject* sender);
    void UndoCmdExecute(TObject* sender);
    void RedoCmdExecute(TObject* sender);
    void CutCmdExecute(TObject* sender);
    void CopyCmdExecute(TObject* sender);
    void PasteCmdExecute(TObject* sender);
    void DeleteCmdExecute(TObject* sender);
    void SelectAllCmdExecute(TObject* sender);
    void GroupCmdExecute(TObject* sender);
    void UngroupCmdExecute(TObject* sender);
    void EditCmdExecute(TObject* sender);
    void BringToFrontCmdExecute(TObject* sender);
    void SendToBackCmdExecute(TObject* sender);
    void VariablesCmdExecute(TObject* sender);
    void ReportDataMIClick(TObject* sender);
    void ReportStylesMIClick(TObject* sender);
    void ReportSettingsMIClick(TObject* sender);
    void OptionsMIClick(TObject* sender);
    void TabOrderMIClick(TObject* sender);
    void AboutMIClick(TObject* sender);
    void HighlightBClick(TObject* sender);
    void DeleteGuidesMIClick(TObject* sender);
    void FindMIClick(TObject* sender);
    void ReplaceMIClick(TObject* sender);
    void FindNextMIClick(TObject* sender);
    void OpenScriptBClick(TObject* sender);
    void SaveScriptBClick(TObject* sender);
    void CodeModified(TObject* sender);

    // ---- controls -----------------------------------------------------------------------------
    TMainMenu* MainMenu = nullptr;
    TMenuItem *FileMenu = nullptr, *EditMenu = nullptr, *ReportMenu = nullptr, *ViewMenu = nullptr,
              *HelpMenu = nullptr;
    TMenuItem *SepMI4 = nullptr, *SepMI11 = nullptr, *ToolbarsMI = nullptr, *ShowRulersMI = nullptr,
              *ShowGuidesMI = nullptr, *DeleteGuidesMI = nullptr, *OptionsMI = nullptr,
              *ReportDataMI = nullptr, *ReportStylesMI = nullptr, *ReportSettingsMI = nullptr,
              *FindMI = nullptr, *ReplaceMI = nullptr, *FindNextMI = nullptr, *TabOrderMI = nullptr,
              *HelpContentsMI = nullptr, *AboutMI = nullptr, *EditMI1 = nullptr, *SepMI12 = nullptr,
              *SepMI8 = nullptr;
    std::array<TMenuItem*, 8> ToolWindowItems{};   // StandardMI .. ReportTreeMI, tags 0 .. 7
    TActionList* ActionList = nullptr;
    TAction *NewItemCmd = nullptr, *NewReportCmd = nullptr, *NewPageCmd = nullptr, *NewDialogCmd = nullptr,
            *OpenCmd = nullptr, *SaveCmd = nullptr, *SaveAsCmd = nullptr, *PreviewCmd = nullptr,
            *PageSettingsCmd = nullptr, *ExitCmd = nullptr, *UndoCmd = nullptr, *RedoCmd = nullptr,
            *CutCmd = nullptr, *CopyCmd = nullptr, *PasteCmd = nullptr, *DeleteCmd = nullptr,
            *DeletePageCmd = nullptr, *SelectAllCmd = nullptr, *GroupCmd = nullptr, *UngroupCmd = nullptr,
            *EditCmd = nullptr, *BringToFrontCmd = nullptr, *SendToBackCmd = nullptr, *VariablesCmd = nullptr;
    TPopupMenu *PagePopup = nullptr, *TabPopup = nullptr, *BandsPopup = nullptr, *RotationPopup = nullptr,
               *ObjectsPopup = nullptr, *DMPPopup = nullptr;
    TfrxDock *DockTop = nullptr, *DockRight = nullptr, *DockBottom = nullptr;
    TfrxToolBar *StandardTB = nullptr, *TextTB = nullptr, *FrameTB = nullptr, *AlignTB = nullptr,
                *ExtraToolsTB = nullptr;
    TToolBar *StandardTB1 = nullptr, *TextTB1 = nullptr, *FrameTB1 = nullptr, *AlignTB1 = nullptr,
             *ExtraToolsTB1 = nullptr, *ObjectsTB1 = nullptr, *CodeTB = nullptr;
    TComboBox *FontNameCB = nullptr, *FontSizeCB = nullptr, *StyleCB = nullptr, *FrameWidthCB = nullptr,
              *ScaleCB = nullptr, *LangCB = nullptr;
    TToolButton *BoldB = nullptr, *ItalicB = nullptr, *UnderlineB = nullptr, *FontColorB = nullptr,
                *FontB = nullptr, *HighlightB = nullptr, *RotateB = nullptr, *TextAlignLeftB = nullptr,
                *TextAlignCenterB = nullptr, *TextAlignRightB = nullptr, *TextAlignBlockB = nullptr,
                *TextAlignTopB = nullptr, *TextAlignMiddleB = nullptr, *TextAlignBottomB = nullptr,
                *FrameTopB = nullptr, *FrameBottomB = nullptr, *FrameLeftB = nullptr, *FrameRightB = nullptr,
                *FrameAllB = nullptr, *FrameNoB = nullptr, *ShadowB = nullptr, *FillColorB = nullptr,
                *FrameColorB = nullptr, *FrameStyleB = nullptr, *SampleFormatB = nullptr, *ShowGridB = nullptr,
                *AlignToGridB = nullptr, *SetToGridB = nullptr, *AlignLeftsB = nullptr,
                *AlignHorzCentersB = nullptr, *AlignRightsB = nullptr, *AlignTopsB = nullptr,
                *AlignVertCentersB = nullptr, *AlignBottomsB = nullptr, *SpaceHorzB = nullptr,
                *SpaceVertB = nullptr, *CenterHorzB = nullptr, *CenterVertB = nullptr, *SameWidthB = nullptr,
                *SameHeightB = nullptr, *ObjectSelectB = nullptr, *HandToolB = nullptr, *ZoomToolB = nullptr,
                *TextToolB = nullptr, *FormatToolB = nullptr, *ObjectBandB = nullptr, *OpenScriptB = nullptr,
                *SaveScriptB = nullptr, *RunScriptB = nullptr, *StepScriptB = nullptr, *StopScriptB = nullptr,
                *EvaluateB = nullptr;
    TfrxDockSite *LeftDockSite1 = nullptr, *LeftDockSite2 = nullptr, *RightDockSite = nullptr;
    TTabControl* Tab = nullptr;
    TPanel *ScrollBoxPanel = nullptr, *CodePanel = nullptr;
    TfrxRuler *TopRuler = nullptr, *LeftRuler = nullptr;
    TfrxScrollBox* ScrollBox = nullptr;
    TLabel* LangL = nullptr;
    TfrxSyntaxMemo* FCodeWindow = nullptr;
    TfrxObjectInspector* Inspector = nullptr;
    TStatusBar* StatusBar = nullptr;
    TTimer* Timer = nullptr;
    TOpenDialog *OpenDialog = nullptr, *OpenScriptDialog = nullptr;
    TSaveDialog *SaveDialog = nullptr, *SaveScriptDialog = nullptr;
    TImageList *ButtonImages = nullptr, *ObjectImages = nullptr;
    TDesignerWorkspace* Workspace = nullptr;
    TfrxDataTreeForm* DataTreeForm = nullptr;
    TfrxReportTreeForm* ReportTreeForm = nullptr;
    // The palette's buttons after the tools, by registry index (tag).
    std::vector<TToolButton*> PaletteButtons;

protected:
    void DoClose(TCloseAction& action) override;
    bool IsShortCut(TMessage& keyMessage) override;

private:
    void CreateControls();
    void CreateMenus();
    void CreateToolBars();
    void CreateEditors();
    void CreateToolWindows();
    void InitState();
    void FreeState();
    void Teardown();
    void UpdateUndoState();
    TAction* MakeAction(const char* name, void (TfrxDesignerForm::*handler)(TObject*), TShortCut shortCut = 0);
    TMenuItem* AddItem(TMenuItem* parent, const char* name, const std::string& caption,
                       void (TfrxDesignerForm::*handler)(TObject*) = nullptr);
    TMenuItem* AddActionItem(TMenuItem* parent, TAction* action);
    TToolButton* AddButton(TToolBar* bar, const char* name, int tag, const std::string& glyph,
                           void (TfrxDesignerForm::*handler)(TObject*) = nullptr, bool check = false);
    TToolButton* AddActionButton(TToolBar* bar, TAction* action, const std::string& glyph);
    int Glyph(TImageList* list, const std::string& text, int size);
    TfrxToolBar* MakeToolBar(const char* name, TToolBar*& inner);
    void StatusBarDrawPanel(TStatusBar* bar, TStatusPanel* panel, const TRect& r);
    void SelectTool();
    void CopyFromCode();
    void PasteState();
    TfrxComponent* FirstSelected() const;
    std::vector<TfrxComponent*> Selection() const;
    // Applies a formatting operation to one object; true when the object's class has the property.
    void ApplyToObject(int tag, TfrxComponent* c, TObject* control, TFont* dialogFont);
    bool FDestroyingState = false;
    bool FSettingsSaved = false;
    TfrxDesigner* FSavedDesigner = nullptr;
    std::unique_ptr<TfrxDesigner> FTemporaryDesigner;
    int FRecentTag = 0;
    bool FCodeTabDirty = false;
};

namespace frxDesgnForm {
// The default window layout, its ini text with ";" between the lines.
extern const char* const DefaultLayout;
// Installs the window as the report library's designer (the report's
// OpenDesigner then opens it); done once at start-up.
void Initialize();
void Finalize();
// Opens the designer window on a report and returns when it has closed:
// the other windows are disabled meanwhile and messages are processed in a
// loop of its own. Returns whether the layout was changed.
bool OpenDesigner(TfrxReport* report, bool previewPageMode);
// The window that OpenDesigner has open now (null: none).
TfrxDesignerForm* OpenWindow();

// Entry points of the editor dialogs the commands open. The dialogs' unit
// fills them; a command whose dialog is not installed says so.
struct TDialogs {
    std::function<bool(TfrxDesignerForm*, TfrxReportPage*)> PageSettings;
    std::function<bool(TfrxDesignerForm*)> ReportData;
    std::function<bool(TfrxDesignerForm*)> Variables;
    std::function<bool(TfrxDesignerForm*)> Styles;
    std::function<bool(TfrxDesignerForm*)> ReportSettings;
    std::function<bool(TfrxDesignerForm*)> Options;
    std::function<bool(TfrxDesignerForm*)> TabOrder;
    std::function<bool(TfrxDesignerForm*, TfrxCustomMemoView*)> Highlight;
    std::function<void(TfrxDesignerForm*)> About;
    std::function<void(TfrxDesignerForm*)> NewItem;
    // The expression editor: true on OK with the edited text in text.
    std::function<bool(TfrxDesignerForm*, std::string& text)> Expression;
};
TDialogs& Dialogs();
// Moves a child of parent to position index among its children.
void MoveChild(TfrxComponent* parent, TfrxComponent* child, int index);
// What a command says while its dialog is not installed.
extern const char* const DialogMissingText;
}  // namespace frxDesgnForm
