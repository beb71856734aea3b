// The rows of a table view besides plain data rows: a master row, with an
// expand button column and, while expanded, a details site under its cells
// in which the active detail view is laid out; and a group row, one group
// cell with the grouped column's caption and value and an expand button.
#pragma once

#include "cxGridDetailsSite.h"
#include "cxGridTableLayout.h"

#include <memory>

class TcxGridMasterDataRowViewInfo;
class TcxGridGroupRowViewInfo;

// ---- master rows -------------------------------------------------------------------------------------------

// The indent column that holds a master row's expand button. Its right edge
// stays put while the rows scroll sideways, and with it the details site.
class TcxGridExpandButtonCellViewInfo : public TcxGridCellViewInfo {
    QZ_CLASS(TcxGridExpandButtonCellViewInfo, TcxGridCellViewInfo)
public:
    using TcxGridCellViewInfo::TcxGridCellViewInfo;
    virtual int GetIndentWidth();
    TcxGridMasterDataRowViewInfo* MasterRowViewInfo() const;
    int CalculateHeight() override;
    int CalculateWidth() override;
    TcxBorders GetBorders() override;
    TBitmap* GetBackgroundBitmap() override;
    // The right line runs only beside the details, below the data part.
    void GetBorderBounds(TcxBorder ABorder, TRect& R) override;
    // The border rectangle before the right line is cut to the details.
    void GetFullBorderBounds(TcxBorder ABorder, TRect& R) { TcxGridCellViewInfo::GetBorderBounds(ABorder, R); }
};

// The strip under a master row's cells that the details site covers; it
// draws the bottom grid line.
class TcxGridDetailsAreaViewInfo : public TcxGridCellViewInfo {
    QZ_CLASS(TcxGridDetailsAreaViewInfo, TcxGridCellViewInfo)
public:
    using TcxGridCellViewInfo::TcxGridCellViewInfo;
    TcxGridMasterDataRowViewInfo* MasterRowViewInfo() const;
    int CalculateHeight() override;
    int CalculateWidth() override;
    TcxBorders GetBorders() override;
};

// The details site of one master row.
class TcxGridDetailsSiteViewInfo : public TcxCustomGridDetailsSiteViewInfo {
    QZ_CLASS(TcxGridDetailsSiteViewInfo, TcxCustomGridDetailsSiteViewInfo)
public:
    explicit TcxGridDetailsSiteViewInfo(TcxGridMasterDataRowViewInfo* AMasterDataRowViewInfo);
    // The focus change of the master view reaches the detail view's controller.
    virtual void GetDetailsFocusChanged();

    int CalculateHeight() override;
    TcxCanvas* GetCanvas() override;
    TcxCustomLookAndFeelPainterClass GetLookAndFeelPainter() override;
    int GetHeight() override;
    int GetNormalHeight() override;
    int GetWidth() override;
    int GetMaxHeight() override;
    int GetMaxNormalHeight() override;
    int GetMaxWidth() override;
    TcxCustomGridView* GetActiveGridViewValue() override;
    TcxCustomGridView* GetActiveGridView() override;
    TcxGridLevel* GetActiveLevel() override;
    bool GetVisible() override;
    void InitTabHitTest(TcxGridDetailsSiteTabHitTest* AHitTest) override;
    void SetActiveLevel(TcxGridLevel* ALevel) override;
    void VisibilityChanged(bool AVisible) override;
    // Whether the detail showed whole when the height was measured (kept with it).
    bool IsFullyVisible();

    TcxGridMasterDataRowViewInfo* MasterDataRowViewInfo() const { return FMasterDataRowViewInfo; }
    TcxGridMasterDataRow* MasterDataRow() const;

private:
    TcxGridMasterTableViewInfoCacheItem* CacheItem() const;
    TcxGridMasterDataRowViewInfo* FMasterDataRowViewInfo;
};

using TcxGridExpandButtonCellViewInfoClass =
    TcxGridClassRef<TcxGridExpandButtonCellViewInfo, TcxCustomGridRecordViewInfo*>;
using TcxGridDetailsAreaViewInfoClass = TcxGridClassRef<TcxGridDetailsAreaViewInfo, TcxCustomGridRecordViewInfo*>;
using TcxGridDetailsSiteViewInfoClass = TcxGridClassRef<TcxGridDetailsSiteViewInfo, TcxGridMasterDataRowViewInfo*>;

// A data row of a view whose level has child levels.
class TcxGridMasterDataRowViewInfo : public TcxGridDataRowViewInfo {
    QZ_CLASS(TcxGridMasterDataRowViewInfo, TcxGridDataRowViewInfo)
public:
    // What a row that can never fit counts while rows are counted upwards.
    static constexpr int UnfittableHeight = 1073741823;

    using TcxGridDataRowViewInfo::TcxGridDataRowViewInfo;
    ~TcxGridMasterDataRowViewInfo() override;
    void AfterConstruction() override;

    // The space the details may take below a data part AHeight high.
    virtual int CalculateMaxDetailHeight(int AHeight);
    virtual TcxGridDetailsAreaViewInfoClass GetDetailsAreaViewInfoClass();
    virtual TcxGridDetailsSiteViewInfoClass GetDetailsSiteViewInfoClass();
    virtual TcxGridExpandButtonCellViewInfoClass GetExpandButtonCellViewInfoClass();

    int CalculateHeight() override;
    int GetCellsAreaLeft() override;
    int GetCellsAreaWidth() override;
    int GetDataHeight() override;
    int GetFullHeight() override;
    void GetExpandButtonAreaBounds(TRect& R) override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    TcxCustomGridHitTest* GetHitTest(const TPoint& P) override;
    void DoOffset(int DX, int DY) override;
    void ControlFocusChanged() override;
    void VisibilityChanged(bool AVisible) override;
    bool IsDetailVisible(TcxCustomGridView* ADetail) override;

    // The record is expanded: the details site shows under the cells.
    bool DetailsSiteVisible();
    TcxGridMasterDataRow* MasterDataRow() const { return DynamicCast<TcxGridMasterDataRow>(GridRecord()); }
    TcxGridDetailsAreaViewInfo* DetailsAreaViewInfo() const { return FDetailsArea.get(); }
    TcxGridDetailsSiteViewInfo* DetailsSiteViewInfo() const { return FDetailsSite; }
    TcxGridExpandButtonCellViewInfo* ExpandButtonCellViewInfo() const { return FExpandButtonCell.get(); }
    int MaxDetailHeight() const { return FMaxDetailHeight; }

private:
    std::unique_ptr<TcxGridExpandButtonCellViewInfo> FExpandButtonCell;
    TcxGridDetailsSiteViewInfo* FDetailsSite = nullptr;
    std::unique_ptr<TcxGridDetailsAreaViewInfo> FDetailsArea;
    int FMaxDetailHeight = 0;
};

// ---- group rows ----------------------------------------------------------------------------------------------

// The group row's single cell: "Caption : value", the expand button at its left.
class TcxGridGroupCellViewInfo : public TcxGridCellViewInfo {
    QZ_CLASS(TcxGridGroupCellViewInfo, TcxGridCellViewInfo)
public:
    using TcxGridCellViewInfo::TcxGridCellViewInfo;
    TcxGridGroupRowViewInfo* GroupRowViewInfo() const;
    int CalculateHeight() override;
    int CalculateWidth() override;
    std::string GetText() override;
    void GetTextAreaBounds(TRect& R) override;
    TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
    void GetViewParams(TcxViewParams& AParams) override;
    TBitmap* GetBackgroundBitmap() override;
    TcxBorders GetBorders() override;
    // The bottom line of an expanded group starts right of its expand button.
    void GetBorderBounds(TcxBorder ABorder, TRect& R) override;
    void GetFullBorderBounds(TcxBorder ABorder, TRect& R) { TcxGridCellViewInfo::GetBorderBounds(ABorder, R); }
    bool HasCustomDraw() override;
    bool CustomDraw(TcxCanvas* ACanvas) override;
};

using TcxGridGroupCellViewInfoClass = TcxGridClassRef<TcxGridGroupCellViewInfo, TcxCustomGridRecordViewInfo*>;

class TcxGridGroupRowViewInfo : public TcxCustomGridRowViewInfo {
    QZ_CLASS(TcxGridGroupRowViewInfo, TcxCustomGridRowViewInfo)
public:
    using TcxCustomGridRowViewInfo::TcxCustomGridRowViewInfo;
    ~TcxGridGroupRowViewInfo() override;
    void AfterConstruction() override;

    virtual TcxGridGroupCellViewInfoClass GetCellViewInfoClass();
    // The piece of the separator under the expand button of an expanded row.
    virtual TRect GetExpandButtonSeparatorBounds();

    bool CanSize() override;
    void CheckHeight(int& AHeight) override;
    int CalculateHeight() override;
    std::string GetText() override;
    void GetViewParams(TcxViewParams& AParams) override;
    TBitmap* GetBackgroundBitmap() override;
    bool InvertSelect() override { return true; }
    bool HasFooter(int ALevel) override;
    TRect GetSeparatorBounds() override;
    void SetSizedHeight(int AHeight) override;
    void GetExpandButtonAreaBounds(TRect& R) override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    void DoOffset(int DX, int DY) override;
    void BeforeRecalculation() override;

    TcxGridGroupRow* GroupRow() const { return DynamicCast<TcxGridGroupRow>(GridRecord()); }
    TcxGridGroupCellViewInfo* CellViewInfo() const { return FCell.get(); }

private:
    std::unique_ptr<TcxGridGroupCellViewInfo> FCell;
};
