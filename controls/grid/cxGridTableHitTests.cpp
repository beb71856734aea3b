#include "cxGridTableHitTests.h"

#include "cxControls.h"
#include "cxGridTableController.h"
#include "cxGridTableLayout.h"
#include "cxGridTableView.h"

QZ_CLASS_IMPL(TcxCustomGridColumnHitTest, TcxCustomGridViewHitTest)
QZ_CLASS_IMPL(TcxGridGroupByBoxHitTest, TcxCustomGridViewHitTest)
QZ_CLASS_IMPL(TcxGridColumnHeaderHitTest, TcxCustomGridColumnHitTest)
QZ_CLASS_IMPL(TcxGridColumnHeaderHorzSizingEdgeHitTest, TcxCustomGridColumnHitTest)
QZ_CLASS_IMPL(TcxGridColumnHeaderFilterButtonHitTest, TcxCustomGridColumnHitTest)
QZ_CLASS_IMPL(TcxGridHeaderHitTest, TcxCustomGridViewHitTest)
QZ_CLASS_IMPL(TcxGridFooterHitTest, TcxCustomGridViewHitTest)
QZ_CLASS_IMPL(TcxGridFooterCellHitTest, TcxCustomGridColumnHitTest)
QZ_CLASS_IMPL(TcxGridGroupFooterHitTest, TcxGridFooterHitTest)
QZ_CLASS_IMPL(TcxGridGroupFooterCellHitTest, TcxGridFooterCellHitTest)
QZ_CLASS_IMPL(TcxGridFilterHitTest, TcxCustomGridViewHitTest)
QZ_CLASS_IMPL(TcxGridFilterActivateButtonHitTest, TcxCustomGridViewHitTest)
QZ_CLASS_IMPL(TcxGridFilterCloseButtonHitTest, TcxCustomGridViewHitTest)
QZ_CLASS_IMPL(TcxGridFilterCustomizeButtonHitTest, TcxCustomGridViewHitTest)
QZ_CLASS_IMPL(TcxGridRowIndicatorHitTest, TcxGridRecordHitTest)
QZ_CLASS_IMPL(TcxGridRowSizingEdgeHitTest, TcxGridRecordHitTest)
QZ_CLASS_IMPL(TcxGridIndicatorHitTest, TcxCustomGridViewHitTest)
QZ_CLASS_IMPL(TcxGridRowLevelIndentHitTest, TcxGridRecordHitTest)
QZ_CLASS_IMPL(TcxGridCustomozationFormHitTest, TcxCustomGridViewHitTest)

namespace {
TClass& ColumnHorzSizingSlot()
{
    static TClass cls = nullptr;
    return cls;
}
TClass& RowSizingSlot()
{
    static TClass cls = nullptr;
    return cls;
}
}  // namespace

namespace cxGridTableHitTests {
void SetColumnHorzSizingObjectClass(TClass AClass) { ColumnHorzSizingSlot() = AClass; }
void SetRowSizingObjectClass(TClass AClass) { RowSizingSlot() = AClass; }
TClass ColumnHorzSizingObjectClass() { return ColumnHorzSizingSlot(); }
TClass RowSizingObjectClass() { return RowSizingSlot(); }

TcxGridRecordHitTest* CopyRecordHitTest(TClass AClass, const TcxGridRecordHitTest* ASource)
{
    auto* hit = static_cast<TcxGridRecordHitTest*>(TcxCustomGridHitTest::Instance(AClass, ASource->Pos));
    if (hit == ASource) return hit;
    hit->ViewInfo = ASource->ViewInfo;
    hit->GridView = ASource->GridView;
    hit->ViewData = ASource->ViewData;
    hit->RecordIndex = ASource->RecordIndex;
    hit->IsNewItemRecord = ASource->IsNewItemRecord;
    return hit;
}

TClass HitTestClassFor(TcxCustomGridCellViewInfo* AViewInfo, const TPoint& P)
{
    TClass cls = AViewInfo ? AViewInfo->ClassType() : nullptr;
    if (!cls) return nullptr;
    auto is = [cls](TClass AClass) { return cls->InheritsFrom(AClass); };
    // Most derived first: group footers are footers, footer cells are header cells.
    if (is(TcxGridColumnHeaderHorzSizingEdgeViewInfo::StaticClass()))
        return TcxGridColumnHeaderHorzSizingEdgeHitTest::StaticClass();
    if (is(TcxGridColumnHeaderFilterButtonViewInfo::StaticClass()))
        return TcxGridColumnHeaderFilterButtonHitTest::StaticClass();
    if (is(TcxGridColumnHeaderAreaViewInfo::StaticClass())) return nullptr;
    if (is(TcxGridRowFooterCellViewInfo::StaticClass())) return TcxGridGroupFooterCellHitTest::StaticClass();
    if (is(TcxGridFooterCellViewInfo::StaticClass())) return TcxGridFooterCellHitTest::StaticClass();
    if (is(TcxGridColumnHeaderViewInfo::StaticClass())) return TcxGridColumnHeaderHitTest::StaticClass();
    if (is(TcxGridRowFooterViewInfo::StaticClass())) return TcxGridGroupFooterHitTest::StaticClass();
    if (is(TcxGridFooterViewInfo::StaticClass())) return TcxGridFooterHitTest::StaticClass();
    if (is(TcxGridGroupByBoxViewInfo::StaticClass())) return TcxGridGroupByBoxHitTest::StaticClass();
    if (is(TcxGridHeaderViewInfo::StaticClass())) return TcxGridHeaderHitTest::StaticClass();
    if (is(TcxGridFilterCloseButtonViewInfo::StaticClass())) return TcxGridFilterCloseButtonHitTest::StaticClass();
    if (is(TcxGridFilterActivateButtonViewInfo::StaticClass()))
        return TcxGridFilterActivateButtonHitTest::StaticClass();
    if (is(TcxGridFilterCustomizeButtonViewInfo::StaticClass()))
        return TcxGridFilterCustomizeButtonHitTest::StaticClass();
    if (is(TcxGridFilterViewInfo::StaticClass())) return TcxGridFilterHitTest::StaticClass();
    if (is(TcxGridIndicatorRowItemViewInfo::StaticClass())) {
        auto* item = static_cast<TcxGridIndicatorRowItemViewInfo*>(AViewInfo);
        if (!item->RowViewInfo || !item->RowViewInfo->GridRecord()) return TcxGridIndicatorHitTest::StaticClass();
        if (item->RowViewInfo->CanSize() && PtInRect(item->GetSizingEdgeBounds(), P))
            return TcxGridRowSizingEdgeHitTest::StaticClass();
        return TcxGridRowIndicatorHitTest::StaticClass();
    }
    if (is(TcxCustomGridIndicatorItemViewInfo::StaticClass()) || is(TcxGridIndicatorViewInfo::StaticClass()))
        return TcxGridIndicatorHitTest::StaticClass();
    return AViewInfo->GetHitTestClass();
}

void InitHitTest(TcxCustomGridCellViewInfo* AViewInfo, TcxCustomGridHitTest* AHitTest)
{
    if (auto* columnHit = DynamicCast<TcxCustomGridColumnHitTest>(AHitTest)) {
        TcxGridColumnHeaderViewInfo* header = DynamicCast<TcxGridColumnHeaderViewInfo>(AViewInfo);
        if (auto* area = DynamicCast<TcxGridColumnHeaderAreaViewInfo>(AViewInfo)) header = area->ColumnHeaderViewInfo();
        columnHit->Column = header ? header->Column() : nullptr;
        columnHit->ColumnContainerKind = header ? header->Container()->GetKind() : 0;
        if (header) columnHit->GridView = header->GridView();
        return;
    }
    auto* recordHit = DynamicCast<TcxGridRecordHitTest>(AHitTest);
    auto* item = DynamicCast<TcxGridIndicatorRowItemViewInfo>(AViewInfo);
    if (!recordHit || !item || !item->RowViewInfo) return;
    recordHit->GridView = item->GridView();
    recordHit->SetGridRecord(item->RowViewInfo->GridRecord());
    if (auto* indicatorHit = DynamicCast<TcxGridRowIndicatorHitTest>(AHitTest))
        indicatorHit->RowViewInfo = item->RowViewInfo;
}

TcxCustomGridHitTest* CheckLevelIndentHitTest(TcxCustomGridRowViewInfo* ARowViewInfo, TcxCustomGridHitTest* AHitTest)
{
    if (!ARowViewInfo || !AHitTest || AHitTest->ClassType() != TcxGridRecordHitTest::StaticClass()) return AHitTest;
    TcxCustomGridRecord* record = ARowViewInfo->GridRecord();
    if (!record || record->Level() == 0) return AHitTest;
    if (!PtInRect(ARowViewInfo->GetLevelIndentBounds(-1), AHitTest->Pos)) return AHitTest;
    return CopyRecordHitTest(TcxGridRowLevelIndentHitTest::StaticClass(), static_cast<TcxGridRecordHitTest*>(AHitTest));
}

TcxCustomGridHitTest* GetHitTest(TcxCustomGridCellViewInfo* AViewInfo, const TPoint& P)
{
    if (!AViewInfo || !PtInRect(AViewInfo->Bounds, P)) return nullptr;
    TClass cls = HitTestClassFor(AViewInfo, P);
    if (!cls) return nullptr;
    TcxCustomGridHitTest* hit = TcxCustomGridHitTest::Instance(cls, P);
    AViewInfo->InitHitTest(hit);
    InitHitTest(AViewInfo, hit);
    return hit;
}
}  // namespace cxGridTableHitTests

TClass TcxGridColumnHeaderHitTest::DragAndDropObjectClass() const
{
    auto* view = DynamicCast<TcxGridTableView>(GridView);
    if (!view || !Column || !view->OptionsCustomize()->ColumnMoving() || !Column->CanMove()) return nullptr;
    auto* controller = DynamicCast<TcxGridTableController>(view->Controller());
    return controller ? controller->GetColumnHeaderMovingObjectClass() : nullptr;
}

TCursor TcxGridColumnHeaderHorzSizingEdgeHitTest::Cursor() const { return crcxHorzSize; }

TClass TcxGridColumnHeaderHorzSizingEdgeHitTest::DragAndDropObjectClass() const
{
    return cxGridTableHitTests::ColumnHorzSizingObjectClass();
}

TCursor TcxGridRowSizingEdgeHitTest::Cursor() const { return crcxVertSize; }

TClass TcxGridRowSizingEdgeHitTest::DragAndDropObjectClass() const
{
    return cxGridTableHitTests::RowSizingObjectClass();
}
