#include "GridTesting.h"

#include "GuiTesting.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"

#include <algorithm>
#include <set>

QZ_CLASS_IMPL(TcxGridTestDataController, TcxCustomDataController)
QZ_CLASS_IMPL(TcxGridTestController, TcxCustomGridController)
QZ_CLASS_IMPL(TcxGridTestViewInfo, TcxCustomGridViewInfo)
QZ_CLASS_IMPL(TcxGridTestView, TcxCustomGridView)
QZ_CLASS_IMPL(TcxGridTestTableView, TcxCustomGridTableView)
QZ_CLASS_IMPL(TcxGridTestRecord, TcxCustomGridRecord)
QZ_CLASS_IMPL(TcxGridTestViewData, TcxCustomGridTableViewData)
QZ_CLASS_IMPL(TcxGridTestRecordViewInfo, TcxCustomGridRecordViewInfo)
QZ_CLASS_IMPL(TcxGridTestRecordsViewInfo, TcxCustomGridRecordsViewInfo)
QZ_CLASS_IMPL(TcxGridTestTableViewInfo, TcxCustomGridTableViewInfo)


// The plain handlers both test views make.
namespace {
TcxGridViewHandlerClass<TcxCustomGridController> TestControllerClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridController>::Of<TcxGridTestController>();
}
TcxGridViewHandlerClass<TcxCustomGridPainter> TestPainterClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridPainter>::Of<TcxCustomGridPainter>();
}
TcxGridViewHandlerClass<TcxCustomGridViewData> TestViewDataClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewData>::Of<TcxCustomGridViewData>();
}
TcxGridViewHandlerClass<TcxCustomGridViewInfo> TestViewInfoClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewInfo>::Of<TcxGridTestViewInfo>();
}
}  // namespace

namespace GridTesting {
std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

void Init()
{
    GuiTest::Init();
    cxLookAndFeels::Initialize();
    cxLookAndFeelPainters::Initialize();
    cxGrid::Initialize();
    cxGridCustomTableView::Initialize();
}

TcxGridTestView* MakeView(TcxCustomGrid* AGrid, const std::string& AName)
{
    auto* view = static_cast<TcxGridTestView*>(AGrid->CreateView(TcxGridTestView::StaticClass()));
    if (!AName.empty()) view->SetName(AName);
    return view;
}
}  // namespace GridTesting

void TcxGridTestController::ViewFocusLost()
{
    if (FailFocusLoss) throw Exception("focus loss refused");
    GridTesting::Log().push_back("focus-:" + GridView()->Name());
    TcxCustomGridController::ViewFocusLost();
}

void TcxGridTestController::ViewFocusGained()
{
    GridTesting::Log().push_back("focus+:" + GridView()->Name());
    TcxCustomGridController::ViewFocusGained();
}

void TcxGridTestViewInfo::DoCalculate()
{
    ++CalculateCount;
    GridTesting::Log().push_back("calc:" + GridView()->Name());
    if (OnCalculate) OnCalculate();
}

TcxGridViewHandlerClass<TcxCustomGridController> TcxGridTestView::GetControllerClass() { return TestControllerClass(); }
TcxGridClassRef<TcxCustomDataController, TComponent*> TcxGridTestView::GetDataControllerClass()
{
    return TcxGridClassRef<TcxCustomDataController, TComponent*>::Of<TcxGridTestDataController>();
}
TcxGridViewHandlerClass<TcxCustomGridPainter> TcxGridTestView::GetPainterClass() { return TestPainterClass(); }
TcxGridViewHandlerClass<TcxCustomGridViewData> TcxGridTestView::GetViewDataClass() { return TestViewDataClass(); }
TcxGridViewHandlerClass<TcxCustomGridViewInfo> TcxGridTestView::GetViewInfoClass() { return TestViewInfoClass(); }

TcxGridViewHandlerClass<TcxCustomGridViewData> TcxGridTestTableView::GetViewDataClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewData>::Of<TcxGridTestViewData>();
}
TcxGridViewHandlerClass<TcxCustomGridViewInfo> TcxGridTestTableView::GetViewInfoClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewInfo>::Of<TcxGridTestTableViewInfo>();
}

// ---- rows of the test table view

namespace GridTesting {
std::set<int>& ExpandableRows()
{
    static std::set<int> rows;
    return rows;
}
std::set<int>& ExpandedRows()
{
    static std::set<int> rows;
    return rows;
}
std::vector<int>& CalculatedRows()
{
    static std::vector<int> rows;
    return rows;
}
}  // namespace GridTesting

bool TcxGridTestRecord::GetExpandable() { return GridTesting::ExpandableRows().count(Index()) > 0; }
bool TcxGridTestRecord::GetExpanded() { return GridTesting::ExpandedRows().count(Index()) > 0; }
void TcxGridTestRecord::Expand(bool) { GridTesting::ExpandedRows().insert(Index()); }
void TcxGridTestRecord::Collapse(bool) { GridTesting::ExpandedRows().erase(Index()); }
TcxCustomGridRecordViewInfoClass TcxGridTestRecord::GetViewInfoClass()
{
    return TcxCustomGridRecordViewInfoClass::Of<TcxGridTestRecordViewInfo>();
}

int TcxGridTestRecordViewInfo::CalculateHeight() { return GridTesting::RowHeight; }
int TcxGridTestRecordViewInfo::CalculateWidth() { return RecordsViewInfo()->Bounds.Width(); }

void TcxGridTestRecordViewInfo::GetExpandButtonAreaBounds(TRect& R)
{
    R = Bounds;
    R.Right = R.Left + RecordsViewInfo()->GridViewInfo()->ExpandButtonAreaWidth();
}

void TcxGridTestRecordViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    // Trial layouts that count rows are not what a test watches.
    if (!GridViewInfo()->IsDetached()) GridTesting::CalculatedRows().push_back(RecordIndex());
    TcxCustomGridRecordViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    Cells.clear();
    TcxCustomGridTableView* view = GridView();
    int left = Bounds.Left + RecordsViewInfo()->GridViewInfo()->ExpandButtonAreaWidth();
    for (int i = 0; i < view->VisibleItemCount(); ++i) {
        TcxCustomGridTableItem* item = view->GetVisibleItem(i);
        auto cell = std::make_unique<TcxGridTableDataCellViewInfo>(this, item);
        cell->AfterConstruction();
        cell->Calculate(left, Bounds.Top, item->Width(), Bounds.Height());
        left += item->Width();
        Cells.push_back(std::move(cell));
    }
}

TcxCustomGridViewCellViewInfo* TcxGridTestRecordViewInfo::GetCellViewInfoByItem(TcxCustomGridTableItem* AItem)
{
    for (auto& cell : Cells)
        if (cell->Item() == AItem) return cell.get();
    return nullptr;
}

void TcxGridTestRecordViewInfo::GetItemBounds(TcxCustomGridTableItem* AItem, TRect& R)
{
    TcxCustomGridViewCellViewInfo* cell = GetCellViewInfoByItem(AItem);
    R = cell ? cell->Bounds : TRect{};
}

TcxCustomGridHitTest* TcxGridTestRecordViewInfo::GetHitTest(const TPoint& P)
{
    for (auto& cell : Cells)
        if (TcxCustomGridHitTest* hit = cell->GetHitTest(P)) return hit;
    return TcxCustomGridRecordViewInfo::GetHitTest(P);
}

void TcxGridTestRecordViewInfo::DoOffset(int DX, int DY)
{
    TcxCustomGridRecordViewInfo::DoOffset(DX, DY);
    for (auto& cell : Cells) cell->Offset(DX, DY);
}

void TcxGridTestRecordViewInfo::Paint(TcxCanvas* ACanvas)
{
    for (auto& cell : Cells) cell->Paint(ACanvas);
}

int TcxGridTestRecordsViewInfo::GetItemTopBound(int AIndex)
{
    if (GridViewInfo()->CalculateDown) return Bounds.Top + AIndex * GridTesting::RowHeight;
    return Bounds.Bottom - (AIndex + 1) * GridTesting::RowHeight;
}

void TcxGridTestRecordsViewInfo::Calculate()
{
    TcxCustomGridRecordsViewInfo::Calculate();
    int available = VisibleRecordCount();
    for (int i = 0; i < available; ++i) {
        int top = GetItemTopBound(i);
        if (GridViewInfo()->CalculateDown ? top >= Bounds.Bottom : top + GridTesting::RowHeight <= Bounds.Top) break;
        if (TcxCustomGridRecordViewInfo* item = Items(i)) item->Calculate(GetItemLeftBound(i), top);
    }
    CalculateVisibleCount();
}

void TcxGridTestRecordsViewInfo::CalculateVisibleCount()
{
    int whole = 0;
    for (int i = 0; i < Count(); ++i) {
        TcxCustomGridRecordViewInfo* item = ItemAt(i);
        if (!item) break;
        if (GridViewInfo()->CalculateDown ? item->Bounds.Bottom > Bounds.Bottom : item->Bounds.Top < Bounds.Top) break;
        ++whole;
    }
    SetVisibleCount(Count() > 0 ? std::max(whole, 1) : 0);
}

int TcxGridTestRecordsViewInfo::GetPixelScrollSize(int ARecordCountDelta) { return -ARecordCountDelta * GridTesting::RowHeight; }

void TcxGridTestRecordsViewInfo::OffsetItem(int AIndex, int AOffset)
{
    if (TcxCustomGridRecordViewInfo* item = ItemAt(AIndex)) item->Offset(0, AOffset);
}

void TcxGridTestTableViewInfo::DoCalculate()
{
    ++CalculateCount;
    if (!IsDetached()) GridTesting::Log().push_back("calc:" + GridView()->Name());
    TcxCustomGridTableViewInfo::DoCalculate();
}
