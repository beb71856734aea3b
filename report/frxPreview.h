// The preview: the prepared pages of a report on screen, laid out one or two
// a row, zoomed, scrolled and searched; clicks follow the pages' links, and
// the pages print and export from here.
#pragma once

#include "frxClass.h"
#include "frxCtrls.h"

#include "Forms.h"

#include <functional>
#include <memory>
#include <vector>

class TButton;
class TComboBox;
class TLabel;
class TPanel;
class TSplitter;
class TTreeNode;
class TTreeView;
class TEdit;
class TMenuItem;
class TPopupMenu;
class TStatusBar;
class TToolBar;
class TToolButton;
class TfrxCustomExportFilter;
class TfrxPreview;
class TfrxPreviewPages;
class TfrxReport;

struct TfrxPageItem {
    int Column = 0;
    int Height = 0, Width = 0;   // pixels at 100 %
    int Top = 0;
};

// Where the pages stand: rows of up to ColumnCount pages, 10 pixels apart.
class TfrxPageList {
public:
    int ColumnCount = 1;
    void Clear();
    void AddPage(int width, int height);
    int Count() const { return int(FItems.size()); }
    // The page's rectangle at the zoom, centred in clientWidth (or 10 from the
    // left when wider); an index out of range gives an A4 page at the top.
    TRect GetPageBounds(int index, int clientWidth, double zoom) const;
    // The page at the vertical position: the last whose top lies at most a
    // fifth of its height below y (exactly at or above y when exact).
    int FindPage(int y, double zoom, bool exact) const;
    // The extent of all pages at the zoom.
    TPoint GetMaxBounds(double zoom) const;
private:
    std::vector<TfrxPageItem> FItems;
    int FMaxWidth = 0;
};

class TfrxPreviewWorkspace : public TfrxScrollWin {
    QZ_CLASS(TfrxPreviewWorkspace, TfrxScrollWin)
public:
    TfrxPreviewWorkspace(TfrxPreview* preview);
    TfrxPageList& PageList() { return FPageList; }
protected:
    void Paint() override;
    void Resize() override;
    void HorzPositionChanged(int oldPosition) override;
    void VertPositionChanged(int oldPosition) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
private:
    friend class TfrxPreview;
    // The page under a point of the client area and its screen rectangle;
    // -1 over no page.
    int PageAt(int x, int y, TRect& bounds) const;
    TfrxPreview* FPreview;
    TfrxPageList FPageList;
    bool FUpdating = false;
    bool FDragging = false;
    int FLastX = 0, FLastY = 0;
};

class TfrxPreview : public TCustomControl, public TfrxCustomPreview {
    QZ_CLASS(TfrxPreview, TCustomControl)
public:
    explicit TfrxPreview(TComponent* owner = nullptr);
    ~TfrxPreview() override;

    // Shows the report's prepared pages (nullptr: none); the report then
    // shows its builds here.
    void SetReport(TfrxReport* report) override;
    TfrxReport* Report() const { return FReport; }
    TfrxPreviewPages* PreviewPages() const;
    // After the pages have been built: lays them out and shows the first.
    void Init() override;
    // Painting stops between Lock and Unlock (long work on the pages);
    // Unlock shows the first page again.
    void Lock() override;
    void Unlock() override;
    bool Locked() const { return FLocked; }

    // A build into the preview: pages join the layout as they are built;
    // the page count and scroll ranges refresh every 50th, 20th or 5th page,
    // chosen from how quickly the second page followed the first.
    void BuildStarted() override;
    void BuildProgress(int pageIndex) override;
    void BuildFinished() override;
    void CloseHostWindow() override;
    bool Busy() const { return FBusy; }
    int RefreshInterval() const { return FRefreshInterval; }
    // Stops a running build (the pages built so far stay).
    void Cancel();
    // The clock the refresh interval is measured with (milliseconds).
    static std::function<uint32_t()> TickCount;

    // Page commands. None of the commands (these, printing, exporting,
    // saving, loading, searching) acts while a build runs.
    void Clear();
    // An empty page before the current one.
    void AddPage();
    void DeletePage();
    // The page-settings dialog for the current page: applied to all pages it
    // rebuilds the report, else only the current page changes.
    void PageSetupDialog();
    // The current page, flattened onto one page, in the designer; a change
    // made there replaces the page.
    void EditPage();
    // Copies of the template the pages were built from, in the designer.
    void EditTemplate();
    void ShowMessage(const std::string& text);
    void HideMessage();
    TPanel* MessagePanel() const { return FMessagePanel; }

    int PageNo() const { return FPageNo; }
    void SetPageNo(int v);
    int PageCount() const;
    void First() { SetPageNo(1); }
    void Prior() { SetPageNo(FPageNo - 1); }
    void Next() { SetPageNo(FPageNo + 1); }
    void Last() { SetPageNo(PageCount()); }
    // Scrolls to a page (1-based) at a top within it (screen units from the
    // page's top margin; 0: the page's top).
    void SetPosition(int pageNo, int top);

    double Zoom() const { return FZoom; }
    // At least 0.25; an explicit zoom leaves the fitted modes.
    void SetZoom(double v);
    TfrxZoomMode ZoomMode() const { return FZoomMode; }
    void SetZoomMode(TfrxZoomMode v);
    // 0 drags the pages, 1 zooms in (left button) and out (right button).
    int Tool() const { return FTool; }
    void SetTool(int v);

    // Searches the pages' texts from the current page (or the first) on;
    // true when found: the text's rectangle is shown and marked.
    bool Find(const std::string& text, bool caseSensitive, bool fromTop);
    // Asks for the text in the search dialog, then searches.
    void Find();
    bool FindNext();
    bool Found() const { return FFound; }
    // Where the last search found its text: the page index and the
    // rectangle on that page (pixels at 100 %).
    int FoundPage() const { return FFoundPage; }
    TRect FoundRect() const { return FFoundRect; }

    // Exports through the filter, the current page being the one shown;
    // false when its dialog was cancelled or the export was stopped.
    bool Export(TfrxCustomExportFilter* filter);
    // Prints the pages; false when the dialog was cancelled or the job
    // failed, a failure shown to the user in an error box.
    bool Print();
    // Prepared-report files (.fp3): asking for the name, or with it.
    void Save();
    void SaveToFile(const std::string& fileName);
    void Load();
    void LoadFromFile(const std::string& fileName);

    void UpdatePageList();
    void UpdateZoom();
    // Fills the outline tree from the pages' outline; a click on an item
    // goes to its page and position.
    void UpdateOutline();
    bool OutlineVisible() const;
    void SetOutlineVisible(bool v);
    TTreeView* OutlineTree() const { return FOutline; }
    void MouseWheelScroll(int delta);
    TfrxPreviewWorkspace* Workspace() const { return FWorkspace; }

    std::function<void(TObject* sender, int pageNo)> OnPageChanged;
    // Texts the pages show for the object under the mouse (its link).
    std::function<void(const std::string&)> OnMessage;
    // For the window hosting the preview: a build started or ended (its
    // buttons follow), or failed (it closes).
    std::function<void()> OnBuildStateChanged;
    std::function<void()> OnCloseHost;

protected:
    void Resize() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TfrxPreviewWorkspace;
    void SetPageNoFromScroll(int v);
    void DoPageChanged();
    void UpdateScrollRanges();
    bool SearchFrom(int page);
    void OutlineClicked(TTreeNode* node);
    void AfterPagesChanged();
    TfrxReport* FReport = nullptr;
    TPanel* FMessagePanel;
    TLabel* FMessageL;
    TButton* FMessageCancelB;
    bool FLocked = false;
    bool FBusy = false;
    uint32_t FFirstTick = 0;
    int FRefreshInterval = 50;
    TTreeView* FOutline;
    TSplitter* FSplitter;
    TfrxPreviewWorkspace* FWorkspace;
    int FPageNo = 0;
    double FZoom = 1;
    TfrxZoomMode FZoomMode = zmDefault;
    int FTool = 0;
    // Search state.
    std::string FFindText;
    bool FFindCase = false, FFindStarted = false, FFound = false;
    int FFindPage = 0, FLastFound = -1, FFoundPage = -1;
    TRect FFoundRect{0, 0, 0, 0};
};

// The preview window: the preview under a tool bar (print, export through
// every registered export filter, search, zoom, the outline, tools, page
// navigation, close) and above a status bar with the page number.
class TfrxPreviewForm : public TForm {
    QZ_CLASS(TfrxPreviewForm, TForm)
public:
    explicit TfrxPreviewForm(TComponent* owner = nullptr);
    // Shows the report's prepared pages, as its preview options say.
    void SetReport(TfrxReport* report);
    TfrxPreview* Preview() const { return FPreview; }

    TToolBar* ToolBar = nullptr;
    TToolButton *PrintB = nullptr, *OpenB = nullptr, *SaveB = nullptr, *ExportB = nullptr, *FindB = nullptr, *ZoomWholePageB = nullptr,
                *ZoomPageWidthB = nullptr, *Zoom100B = nullptr, *Zoom50B = nullptr;
    TfrxComboBox* ZoomCB = nullptr;
    TToolButton *PageSettingsB = nullptr, *OutlineB = nullptr, *HandToolB = nullptr, *ZoomToolB = nullptr;
    TToolButton *NewPageB = nullptr, *DelPageB = nullptr, *DesignerB = nullptr, *FirstB = nullptr, *PriorB = nullptr;
    TEdit* PageE = nullptr;
    TToolButton *NextB = nullptr, *LastB = nullptr, *CancelB = nullptr;
    TPopupMenu* ExportPopup = nullptr;
    TStatusBar* StatusBar = nullptr;
    // On DesignerB's right button: the template the pages were built from.
    TPopupMenu* HiddenMenu = nullptr;
    TMenuItem* Showtemplate1 = nullptr;

    // Applies the zoom box: page width, whole page or a percentage.
    void ApplyZoomText();
    // Applies the page box (a number that is not one raises the conversion error).
    void ApplyPageText();
    // The buttons as a build (running or not) and the options allow.
    void UpdateControls();
    // While a build runs the window stays: its close button cancels the build.
    bool CloseQuery() override;

protected:
    void Resize() override;

private:
    bool FAllowEdit = false;
    TToolButton* FEditSeparator = nullptr;
    void PlaceBoxes();
    void UpdateZoomText();
    void PageChanged(int pageNo);
    void FillExportMenu();
    TfrxPreview* FPreview = nullptr;
    TToolButton* FZoomHolder = nullptr;
    TToolButton* FPageHolder = nullptr;
};

namespace frxPreview {
// Installs the preview window as the way reports show their prepared pages.
void Initialize();
}
