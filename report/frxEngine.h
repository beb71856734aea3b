// The engine: builds a report into prepared pages. It walks the report
// pages, runs the data bands over their data sets (groups, headers and
// footers, master and detail levels), fires the script events, stretches
// and shifts objects, breaks pages and columns, reprints headers, keeps
// blocks together, splits bands, runs sub-reports and cross bands, feeds
// the aggregates and the outline, and hands every placed band to the
// prepared pages.
#pragma once

#include "frxClass.h"

#include <memory>
#include <unordered_map>
#include <vector>

class TfrxAggregateList;
class TfrxPreviewPages;
class TfrxXMLItem;

struct TfrxHeaderListItem {
    TfrxBand* Band = nullptr;
    double Left = 0;
    bool IsInKeepList = false;
};

class TfrxHeaderList {
public:
    void Clear() { FItems.clear(); }
    int Count() const { return int(FItems.size()); }
    TfrxHeaderListItem& Items(int i) { return FItems.at(size_t(i)); }
    void Add(TfrxBand* band, bool kept, double left) { FItems.push_back({band, left, kept}); }
    void Remove(TfrxBand* band);
private:
    std::vector<TfrxHeaderListItem> FItems;
};

class TfrxEngine : public TfrxCustomEngine {
    QZ_CLASS(TfrxEngine, TfrxCustomEngine)
public:
    explicit TfrxEngine(TfrxReport* report);
    ~TfrxEngine() override;

    void EndPage() override;
    void NewColumn() override;
    void NewPage() override;
    void ShowBand(TfrxBand* band) override;
    void ShowBandByClass(TClass bandClass) override;
    double FooterHeight() override;
    double FreeSpace() override;
    Variant GetAggregateValue(const std::string& name, const std::string& expression, TfrxBand* band,
                              int flags) override;
    bool Run() override;

    TfrxAggregateList* Aggregates() const { return FAggregates.get(); }
    TfrxPreviewPages* Pages() const;

    // What the engine knows of a band during a run.
    struct TBandInfo {
        std::vector<TfrxBand*> Sub;          // detail levels; for a group header its chain
        TfrxBand* Header = nullptr;
        TfrxBand* Footer = nullptr;
        TfrxBand* Group = nullptr;           // first group header of a data band's groups
        TfrxDataSet* DataSet = nullptr;
        int LineN = 0, LineThrough = 0;
        int InitialObjects = -1;
        bool HasVBands = false;
        bool Overflow = false;
        Variant LastValue;
        int ClassIndex = 0;
        bool ShiftPrepared = false;
        std::vector<TfrxReportComponent*> ShiftRoots;
    };
    TBandInfo& Info(TfrxBand* band);

private:
    bool InitializeRun();
    void FinalizeRun();
    void PrepareBands(bool vertical);
    void PrepareShiftTree(TfrxBand* band);
    bool RunDialogs();
    void RunReportPages();
    void RunPage(TfrxReportPage* page);
    void RunPageBody(TfrxReportPage* page);
    void StartPage();
    void AddPageWithHeaders();
    bool HasDetailData(const std::vector<TfrxBand*>& subBands, bool isPage, bool force);
    void ShowDataBands(const std::vector<TfrxBand*>& bands);
    void ShowPageObjects(TfrxReportPage* page);
    void InitGroups(TfrxBand* dataBand, TfrxBand* group, int from, bool reset);
    void CheckGroups(TfrxBand* dataBand, TfrxBand* group, double x, int keepPos);
    void ShowGroupFooters(TfrxBand* group, int from);
    void PlaceBand(TfrxBand* band);
    void PrepareBand(TfrxBand* band);
    void ShiftObjects(std::vector<TfrxReportComponent*>& list, double shift);
    void FinishBand(TfrxBand* band);
    void AdvanceColumn();
    double ColumnX(int column) const;
    // First row of a data band's data set, line numbers and repeated values reset.
    TfrxDataSet* StartRows(TfrxBand* band);
    void ShowColumnFooter();
    void StartKeep(TfrxBand* band, int position = 0);
    void EndKeep(TfrxBand* band);
    void CheckBandColumns(TfrxDataBand* band, int rowKeepPos, double x);
    void AddBandOutline(TfrxBand* band);
    void AddPageOutline();
    void ResetMemoLastValues(TfrxBand* band);
    void ResetBandAggregates(TfrxBand* band);
    bool IsFooterLike(TfrxBand* band);
    // Split bands, sub-reports and cross bands.
    void SplitBand(TfrxBand* band);
    void ShowSubreports(TfrxBand* band);
    void ShowInlineSubreports(TfrxBand* band);
    void FillCrossBand(TfrxBand* band);
    void ShowVerticalBands(const std::vector<TfrxBand*>& bands);
    void ShowVerticalBand(TfrxBand* band);
    void ShowCrossBand(TfrxBand* band);
    void OutputToContainer(TfrxBand* band);
    std::vector<TfrxBand*>& TopBands(TfrxReportPage* page, bool vertical);
    void ProcessMessages();

    std::unique_ptr<TfrxAggregateList> FAggregates;
    bool FReprinting = false;
    double FColumnTop = 0;
    TfrxBand* FAggregateBand = nullptr;
    TfrxHeaderList FHeaderList;
    bool FFirstReportPage = false;
    TfrxBand* FColumnFooter = nullptr;
    TfrxBand* FPageFooter = nullptr;
    bool FPageStart = false;
    bool FFirstPage = false;
    bool FLastPage = false;
    TfrxBand* FKeepBand = nullptr;
    bool FKeeping = false;
    TfrxXMLItem* FKeepOutline = nullptr;
    int FKeepPosition = 0;
    std::unique_ptr<TfrxNullBand> FContainer;
    std::vector<TfrxComponent*> FContainerObjects;
    TfrxReportPage* FPage = nullptr;
    double FSubreportLeft = 0;
    std::vector<TfrxBand*> FVHeaders;
    TfrxBand* FCrossBand = nullptr;
    std::vector<int> FCrossBreaks;
    std::unordered_map<TfrxBand*, TBandInfo> FInfo;
    std::unordered_map<TfrxReportPage*, std::vector<TfrxBand*>> FTopH, FTopV;
    std::unordered_map<TfrxComponent*, TfrxBand*> FHomeBand;
};

namespace frxEngine {
// Makes reports build with this engine and these prepared pages; also
// registers the engine-side classes for streaming. Safe to call twice.
void Initialize();
}
