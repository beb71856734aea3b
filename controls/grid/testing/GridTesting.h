// A minimal concrete view for the grid's tests: plain handlers, a data
// controller without items, a view info that counts its layouts, and a log
// the tests read (layouts, focus changes).
#pragma once

#include "cxCustomData.h"
#include "cxGrid.h"
#include "cxGridCustomTableView.h"
#include "cxGridCustomView.h"

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

class TcxGridTestView;

namespace GridTesting {
// What the test views did, in order ("calc:View1", "focus+:View1"…).
std::vector<std::string>& Log();
// Unit start-up of what the grid needs (idempotent).
void Init();
// Makes a test view owned by AOwner (null: none) and registered with AGrid.
TcxGridTestView* MakeView(TcxCustomGrid* AGrid, const std::string& AName);
// The rows of the test table view: their height, which ones expand, which
// are expanded, and the rows laid out since the test last emptied the list.
constexpr int RowHeight = 20;
std::set<int>& ExpandableRows();
std::set<int>& ExpandedRows();
std::vector<int>& CalculatedRows();
}  // namespace GridTesting

class TcxGridTestDataController : public TcxCustomDataController {
    QZ_CLASS(TcxGridTestDataController, TcxCustomDataController)
public:
    explicit TcxGridTestDataController(TComponent* AOwner) : TcxCustomDataController(AOwner) {}
    TObject* GetItem(int) override { return nullptr; }
};

class TcxGridTestController : public TcxCustomGridController {
    QZ_CLASS(TcxGridTestController, TcxCustomGridController)
public:
    using TcxCustomGridController::TcxCustomGridController;
    void ViewFocusLost() override;
    void ViewFocusGained() override;
    // Leaving the focus raises while set.
    bool FailFocusLoss = false;
};

class TcxGridTestViewInfo : public TcxCustomGridViewInfo {
    QZ_CLASS(TcxGridTestViewInfo, TcxCustomGridViewInfo)
public:
    using TcxCustomGridViewInfo::TcxCustomGridViewInfo;
    void DoCalculate() override;
    int CalculateCount = 0;
    // Runs inside each layout.
    std::function<void()> OnCalculate;
};

class TcxGridTestView : public TcxCustomGridView {
    QZ_CLASS(TcxGridTestView, TcxCustomGridView)
public:
    explicit TcxGridTestView(TComponent* AOwner = nullptr) : TcxCustomGridView(AOwner) {}
    TcxGridViewHandlerClass<TcxCustomGridController> GetControllerClass() override;
    TcxGridClassRef<TcxCustomDataController, TComponent*> GetDataControllerClass() override;
    TcxGridViewHandlerClass<TcxCustomGridPainter> GetPainterClass() override;
    TcxGridViewHandlerClass<TcxCustomGridViewData> GetViewDataClass() override;
    TcxGridViewHandlerClass<TcxCustomGridViewInfo> GetViewInfoClass() override;
    bool HasSizeDependentLayout() override { return SizeDependent; }
    bool IsDetailVisible(TcxCustomGridView* ADetail) override { return DetailsVisible; }
    TcxGridTestViewInfo* TestViewInfo() const { return static_cast<TcxGridTestViewInfo*>(ViewInfo()); }
    TcxGridTestController* TestController() const { return static_cast<TcxGridTestController*>(Controller()); }
    bool SizeDependent = false;
    bool DetailsVisible = true;
};

// A data row: it has cells; it expands only when the test says so.
class TcxGridTestRecord : public TcxCustomGridRecord {
    QZ_CLASS(TcxGridTestRecord, TcxCustomGridRecord)
public:
    using TcxCustomGridRecord::TcxCustomGridRecord;
    bool HasCells() override { return true; }
    bool GetExpandable() override;
    bool GetExpanded() override;
    void Expand(bool ARecursive) override;
    void Collapse(bool ARecursive) override;
    TcxCustomGridRecordViewInfoClass GetViewInfoClass() override;
};

// Rows of the test table view: GridTesting::RowHeight pixels high, as wide
// as the records area, with the expand button area at their left.
class TcxGridTestRecordViewInfo : public TcxCustomGridRecordViewInfo {
    QZ_CLASS(TcxGridTestRecordViewInfo, TcxCustomGridRecordViewInfo)
public:
    using TcxCustomGridRecordViewInfo::TcxCustomGridRecordViewInfo;
    int CalculateWidth() override;
    void GetExpandButtonAreaBounds(TRect& R) override;
    // Lays one data cell per shown item side by side, each as wide as its item.
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    TcxCustomGridViewCellViewInfo* GetCellViewInfoByItem(TcxCustomGridTableItem* AItem) override;
    void GetItemBounds(TcxCustomGridTableItem* AItem, TRect& R) override;
    TcxCustomGridHitTest* GetHitTest(const TPoint& P) override;
    void DoOffset(int DX, int DY) override;
    void Paint(TcxCanvas* ACanvas = nullptr) override;
    std::vector<std::unique_ptr<TcxGridTableDataCellViewInfo>> Cells;

protected:
    int CalculateHeight() override;
};

// Rows stacked from the top (forward) or from the bottom (backward); the
// rows that fit whole count as visible, at least one.
class TcxGridTestRecordsViewInfo : public TcxCustomGridRecordsViewInfo {
    QZ_CLASS(TcxGridTestRecordsViewInfo, TcxCustomGridRecordsViewInfo)
public:
    using TcxCustomGridRecordsViewInfo::TcxCustomGridRecordsViewInfo;
    void Calculate() override;
    void CalculateVisibleCount() override;
    int GetItemLeftBound(int AIndex) override { return Bounds.Left; }
    int GetItemTopBound(int AIndex) override;
    int GetPixelScrollSize(int ARecordCountDelta) override;
    void OffsetItem(int AIndex, int AOffset) override;
};

class TcxGridTestTableViewInfo : public TcxCustomGridTableViewInfo {
    QZ_CLASS(TcxGridTestTableViewInfo, TcxCustomGridTableViewInfo)
public:
    using TcxCustomGridTableViewInfo::TcxCustomGridTableViewInfo;
    TcxCustomGridRecordsViewInfoClass GetRecordsViewInfoClass() override
    {
        return TcxCustomGridRecordsViewInfoClass::Of<TcxGridTestRecordsViewInfo>();
    }
    void DoCalculate() override;
    int CalculateCount = 0;
};

class TcxGridTestViewData : public TcxCustomGridTableViewData {
    QZ_CLASS(TcxGridTestViewData, TcxCustomGridTableViewData)
public:
    using TcxCustomGridTableViewData::TcxCustomGridTableViewData;
    TcxCustomGridRecordClass GetRecordClass(const TcxDataControllerRowInfo&) override
    {
        return TcxCustomGridRecordClass::Of<TcxGridTestRecord>();
    }
    TcxCustomGridRecordClass GetNewItemRecordClass() override
    {
        return TcxCustomGridRecordClass::Of<TcxGridTestRecord>();
    }
    bool HasNewItemRecord() override { return NewItemRow; }
    bool NewItemRow = false;
};

// A record view with plain handlers whose items are the base items.
class TcxGridTestTableView : public TcxCustomGridTableView {
    QZ_CLASS(TcxGridTestTableView, TcxCustomGridTableView)
public:
    explicit TcxGridTestTableView(TComponent* AOwner = nullptr) : TcxCustomGridTableView(AOwner) {}
    TcxGridViewHandlerClass<TcxCustomGridViewData> GetViewDataClass() override;
    TcxGridViewHandlerClass<TcxCustomGridViewInfo> GetViewInfoClass() override;
    TClass GetItemClass() override { return TcxCustomGridTableItem::StaticClass(); }
};
