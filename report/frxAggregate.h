// The aggregate functions of text objects (SUM, AVG, MIN, MAX, COUNT):
// before a build the calls are collected from the text objects of
// footer-like bands, while it runs each shown data row feeds them, and a
// text object's call reads the value gathered for its band.
#pragma once

#include "Variants.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TfrxBand;
class TfrxComponent;
class TfrxCustomMemoView;
class TfrxReport;
class TfrxReportPage;

class TfrxAggregateItem {
public:
    int Func = 0;   // 0 SUM, 1 AVG, 2 MIN, 3 MAX, 4 COUNT
    TfrxBand* DataBand = nullptr;
    bool CountInvisibleRows = false;
    bool RunningTotal = false;
    std::string Expression;
    bool IsPageFooter = false;
    std::string MemoName;
    std::string CallText;
    TfrxBand* ParentBand = nullptr;
    TfrxReport* Report = nullptr;

    void Reset(bool ignoreRunningTotal = false);
    void AddValue(int column);
    Variant Value(int column) const;
    void StartKeep();
    void EndKeep();

private:
    void Combine(Variant& stored, const Variant& v) const;
    std::vector<Variant> FColumnValues;   // empty until a column is used; else 1001 entries
    std::vector<int> FColumnCounts;
    int FCount = 0;
    Variant FValue = Null();
    bool FKeeping = false;
    int FKeepCount = 0;
    Variant FKeepValue = Null();
};

class TfrxAggregateList {
public:
    // What the list needs of the engine's band tree.
    struct TBandTree {
        std::function<TfrxBand*(TfrxBand*)> Footer;                   // of a data band
        std::function<std::vector<TfrxBand*>(TfrxBand*)> GroupChain;  // group headers of a data band
        std::function<TfrxBand*(TfrxBand*)> GroupFooter;              // of a group header
        std::function<std::vector<TfrxBand*>(TfrxBand*)> Details;     // detail levels of a data band
        std::function<TfrxBand*(TfrxComponent*)> HomeBand;            // horizontal band an object came from
    };

    explicit TfrxAggregateList(TfrxReport* report);
    ~TfrxAggregateList();
    void Clear();
    void AddItems(TfrxReportPage* page, const std::vector<TfrxBand*>& horizontal,
                  const std::vector<TfrxBand*>& vertical, const TBandTree& tree);
    void AddValue(TfrxBand* band, int column);
    Variant GetValue(TfrxBand* parentBand, int column, const std::string& name, const std::string& expression,
                     TfrxBand* band, int flags);
    void Reset(TfrxBand* parentBand);
    void StartKeep();
    void EndKeep();
    void ClearValues();
    int Count() const { return int(FItems.size()); }
    TfrxAggregateItem* Items(int i) const { return FItems.at(size_t(i)).get(); }
    // The vertical columns an item holds: 0 to this.
    static constexpr int MaxColumn = 1000;

private:
    void ScanBand(TfrxBand* band, TfrxBand* dataBand, const TBandTree& tree);
    void ScanMemo(TfrxCustomMemoView* memo, TfrxBand* dataBand, const TBandTree& tree);
    void ScanText(const std::string& text, TfrxCustomMemoView* memo, TfrxBand* dataBand, const TBandTree& tree,
                  int depth);
    bool ScanReference(const std::string& word, TfrxCustomMemoView* memo, TfrxBand* dataBand,
                       const TBandTree& tree, int depth);
    void AddItem(const std::string& callText, TfrxCustomMemoView* memo, TfrxBand* dataBand, const TBandTree& tree);
    TfrxReport* FReport;
    std::vector<std::unique_ptr<TfrxAggregateItem>> FItems;
};
