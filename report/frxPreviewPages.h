// Prepared pages: a built report held as an XML tree ("preparedreport":
// previewpages, outline, anchors, report, sourcepages, dictionary). Every
// object on a built page is stored as its differences against the object of
// a source page (a copy of the report page taken when the build starts),
// under a short name the dictionary maps back to that object. Pages are
// rebuilt on demand (the 50 used last are kept), saved and loaded as
// prepared-report files (.fp3), drawn on any canvas, printed and exported.
#pragma once

#include "frxClass.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TCanvas;
class TfrxXMLDocument;
class TfrxXMLItem;
class TfrxPreviewPages;

// Short names (m1, b3 …) to source names ("Page0.Memo1") and source objects.
class TfrxDictionary {
public:
    void Clear();
    void Add(const std::string& shortName, const std::string& sourceName, TfrxComponent* obj);
    std::string AddUnique(const std::string& prefix, const std::string& sourceName, TfrxComponent* obj);
    std::string CreateUniqueName(const std::string& prefix) const;
    TfrxComponent* GetObject(const std::string& shortName) const;
    std::string GetSourceName(const std::string& shortName) const;
    // (short name, source name) in sorted order.
    std::vector<std::pair<std::string, std::string>> Entries() const;
    int Count() const { return int(FItems.size()); }

private:
    struct TEntry {
        std::string SourceName;
        TfrxComponent* Object = nullptr;
    };
    std::map<std::string, TEntry> FItems;
    mutable std::map<std::string, int> FNextNumber;   // counting starts here per prefix
};

class TfrxOutline : public TfrxCustomOutline {
    QZ_CLASS(TfrxOutline, TfrxCustomOutline)
public:
    explicit TfrxOutline(TfrxCustomPreviewPages* pages);
    int Count() override;
    void AddItem(const std::string& text, int top) override;
    void LevelDown(int index) override;
    void LevelRoot() override;
    void LevelUp() override;
    void GetItem(int index, std::string& text, int& page, int& top) override;
    void ShiftItems(TfrxXMLItem* from, int newTop) override;
    TfrxXMLItem* GetCurPosition() override;
    TfrxXMLItem* CurItem() const { return FCurItem; }
    void SetCurItem(TfrxXMLItem* item) { FCurItem = item; }

private:
    TfrxXMLItem* Root() const;
    TfrxXMLItem* FCurItem = nullptr;
};

// What the print dialog returns; installed by the preview's dialogs. Without
// one, printing uses the print options as they are.
struct TfrxPrintChoice {
    int Copies = 1;
    bool Collate = true;
    std::string PageNumbers;
    TfrxPrintPages PrintPages = ppAll;
    bool Reverse = false;
};

class TfrxPreviewPages : public TfrxCustomPreviewPages {
    QZ_CLASS(TfrxPreviewPages, TfrxCustomPreviewPages)
public:
    explicit TfrxPreviewPages(TfrxReport* report);
    ~TfrxPreviewPages() override;

    int Count() override;
    void Clear() override;
    // A page object rebuilt from the tree (owned by the cache); null when
    // there are no pages or the index is out of range.
    TfrxReportPage* GetPage(int index);
    TSize GetPageSize(int index);

    void Initialize();
    void AddObject(TfrxComponent* band);
    void AddPage(TfrxReportPage* page);
    void AddSourcePage(TfrxReportPage* page);
    void AddToSourcePage(TfrxComponent* obj);
    void BeginPass();
    void ClearFirstPassPages();
    void CutObjects(int position);
    void Finish();
    void PasteObjects(double x, double y);
    bool BandExists(TfrxBand* band);
    int GetCurPosition();
    double GetLastY();
    void AddEmptyPage(int index);
    void DeletePage(int index);
    void ModifyPage(int index, TfrxReportPage* page);
    void AddAnchor(const std::string& text);
    int GetAnchorPage(const std::string& text);
    TfrxXMLItem* FindAnchor(const std::string& text);

    void DrawPage(int index, TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY);
    // The preview's mouse over a page (page pixels scaled and offset as
    // drawn): the cursor of the view under it, its link shown; a click
    // follows the link ("@page", "#anchor", else the shell opens it) and runs
    // the view's click handlers, storing the page whole when they change it.
    void ObjectOver(int index, int x, int y, int button, TShiftState shift, double scale, double offsetX,
                    double offsetY, bool click, int& cursor);
    // What the preview does for a hit: show a message, go to a page (1-based)
    // and top, repaint.
    struct TPreviewLink {
        std::function<void(const std::string&)> ShowMessage;
        std::function<void(int page, int top)> GoTo;
        std::function<void()> Repaint;
    };
    TPreviewLink Preview;
    void LoadFromStream(TStream* stream, bool allowPartialLoading = false);
    void SaveToStream(TStream* stream);
    bool LoadFromFile(const std::string& fileName, bool raiseIfMissing = false);
    void SaveToFile(const std::string& fileName);
    // Prints through the current printer; false when the print dialog was
    // cancelled. A job the printer refuses is aborted and raises EfrxPrintError.
    bool Print();
    bool Export(TfrxCustomExportFilter* filter);

    TfrxXMLDocument* Document() const { return FDocument.get(); }
    TfrxDictionary& Dictionary() { return FDictionary; }
    int SourcePageCount() const { return int(FSourcePages.size()); }
    TfrxReportPage* SourcePage(int i) const { return FSourcePages.at(size_t(i)).get(); }
    // The source object a report object prints from (null when none).
    TfrxComponent* SourceOf(TfrxComponent* obj) const;
    // A copy made during the build prints from the original's source object.
    void ShareSource(TfrxComponent* copy, TfrxComponent* original);
    TfrxOutline* OutlineObj() const { return static_cast<TfrxOutline*>(Outline()); }

    // Installed by the preview's print dialog: fills the choice and returns
    // whether the user chose to print.
    static std::function<bool(TfrxReport* report, TfrxPrintChoice& choice)> PrintDialogHook;
    // Processes pending window messages between pages.
    static std::function<void()> ProcessMessages;

private:
    struct TLink {
        TfrxComponent* Source = nullptr;
        std::string ShortName;
        TWeakRef<TfrxComponent> Alive;
    };
    TfrxXMLItem* PagesItem() const;
    TfrxXMLItem* RootChild(const std::string& name) const;
    TfrxXMLItem* CurPageItem() const;
    void WriteObject(TfrxComponent* obj, TfrxXMLItem* parent);
    std::string TemplateOf(TfrxComponent* sourceCopy) const;
    void LinkSourceObjects(TfrxReportPage* copy, TfrxReportPage* page, int pageIndex);
    void ReadObjects(TfrxXMLItem* item, TfrxComponent* parent);
    void ClearCache();
    void PrintPage(int index, int copies, bool& started);
    void ExportPage(TfrxCustomExportFilter* filter, int index);
    TfrxReportPage* BuildPage(int index);
    const TLink* LinkOf(TfrxComponent* obj) const;

    TfrxDictionary FDictionary;
    int FPassPage = -1;
    int FPassItemCount = 0;
    std::deque<std::pair<int, std::unique_ptr<TfrxReportPage>>> FPageCache;
    std::vector<std::unique_ptr<TfrxReportPage>> FSourcePages;
    std::unique_ptr<TfrxXMLDocument> FDocument;
    int64_t FMemoryEstimate = 0;
    std::unordered_map<const TfrxComponent*, TLink> FLinks;             // report object -> source copy
    std::unordered_map<const TfrxComponent*, std::string> FTemplates;   // source copy -> template text
    std::unordered_map<const TfrxComponent*, std::string> FShortNames;  // source copy -> short name
    std::unordered_map<const TfrxComponent*, TfrxComponent*> FCopyOrigin; // source copy -> report object
};
