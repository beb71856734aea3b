#include "cxFilterControl.h"

#include "Graphics.h"
#include "Menus.h"
#include "Streams.h"
#include "SysUtils.h"
#include "Windows.h"
#include "cxDropDownEdit.h"
#include "cxEdit.h"
#include "cxFilterConsts.h"
#include "cxGraphics.h"
#include "cxTextEdit.h"
#include "cxVariants.h"

#include <algorithm>

using cxClasses::GetResourceString;
using namespace cxFilterControlUtils;

QZ_CLASS_IMPL(TcxFilterControlCriteria, TcxFilterCriteria)
QZ_CLASS_IMPL(TcxFilterControlCriteriaItem, TcxFilterCriteriaItem)
QZ_CLASS_IMPL(TcxCustomRowViewInfo, TObject)
QZ_CLASS_IMPL(TcxGroupViewInfo, TcxCustomRowViewInfo)
QZ_CLASS_IMPL(TcxConditionViewInfo, TcxCustomRowViewInfo)
QZ_CLASS_IMPL(TcxCustomFilterControl, TcxControl)
QZ_CLASS_IMPL(TcxFilterControl, TcxCustomFilterControl)

namespace {


std::string BlankText() { return GetResourceString(&cxSFilterBlankCaption); }

bool IsBetween(TcxFilterRowOperator AOperator) { return AOperator == froBetween || AOperator == froNotBetween; }
bool IsInList(TcxFilterRowOperator AOperator) { return AOperator == froInList || AOperator == froNotInList; }

[[noreturn]] void RaiseBuilding() { RaiseFilterControlError(GetResourceString(&cxSFilterErrorBuilding)); }

// The default colours and styles of the bool operator, item, condition and value fonts.
const TColor kFontColors[4] = {clRed, clGreen, clMaroon, clBlue};
TFontStyles DefaultFontStyle(TcxFilterControlFont AIndex)
{
    return AIndex == fcfValue ? TFontStyles{} : TFontStyles{fsUnderline};
}

}  // namespace

// ---- criteria ---------------------------------------------------------------------------------------

TcxFilterCriteriaItem* TcxFilterControlCriteria::CreateItem(TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
                                                            TcxFilterOperatorKind AKind, const Variant& AValue,
                                                            const std::string& ADisplayValue)
{
    return new TcxFilterControlCriteriaItem(AParent, AItemLink, AKind, AValue, ADisplayValue);
}

IcxFilterControl* TcxFilterControlCriteriaItem::Link(int& AIndex)
{
    auto* criteria = dynamic_cast<TcxFilterControlCriteria*>(GetCriteria());
    IcxFilterControl* link = criteria && criteria->Control() ? criteria->Control()->GetFilterLink() : nullptr;
    AIndex = int(reinterpret_cast<intptr_t>(ItemLink()));
    if (!link || AIndex < 0 || AIndex >= link->GetCount()) return nullptr;
    return link;
}

std::string TcxFilterControlCriteriaItem::GetFieldCaption()
{
    int index;
    IcxFilterControl* link = Link(index);
    return link ? link->GetItemCaption(index) : std::string();
}

std::string TcxFilterControlCriteriaItem::GetFieldName()
{
    int index;
    IcxFilterControl* link = Link(index);
    return link ? link->GetFieldName(index) : std::string();
}

// ---- rows -----------------------------------------------------------------------------------------------

TcxCustomRowViewInfo::TcxCustomRowViewInfo(TcxCustomFilterControl* AControl,
                                           TcxCustomFilterCriteriaItem* ACriteriaItem, TcxGroupViewInfo* AParent)
    : FButtonText(AParent ? "..." : GetResourceString(&cxSFilterRootButtonCaption)),
      FControl(AControl),
      FCriteriaItem(ACriteriaItem),
      FParent(AParent)
{
    if (FParent) FParent->FRows.push_back(this);
}

TcxCustomRowViewInfo::~TcxCustomRowViewInfo()
{
    if (FParent) {
        auto& rows = FParent->FRows;
        rows.erase(std::remove(rows.begin(), rows.end(), this), rows.end());
    }
}

bool TcxCustomRowViewInfo::IsLast() const
{
    return !FParent || FParent->FRows.empty() || FParent->FRows.back() == this;
}

void TcxCustomRowViewInfo::Offset(int DY)
{
    FRowRect.Top += DY;
    FRowRect.Bottom += DY;
}

TRect TcxCustomRowViewInfo::CentreInRow(TRect R) const
{
    int h = R.Bottom - R.Top;
    R.Top = FRowRect.Top + (FRowRect.Bottom - FRowRect.Top - h) / 2;
    R.Bottom = R.Top + h;
    return R;
}

TcxButtonState TcxCustomRowViewInfo::CalcButtonState(TcxFilterControlHitKind APart) const
{
    if (!FControl->Enabled() || !FControl->HasItems()) return cxbsDisabled;
    if (FControl->FocusedInfo().Row == this && FControl->FocusedInfo().HitType == APart) return cxbsDefault;
    if (FControl->IsHotTrack() && FControl->HotTrack().Row == this && FControl->HotTrack().HitType == APart)
        return cxbsHot;
    return cxbsNormal;
}

int TcxCustomRowViewInfo::RowWidth() const
{
    return (FButtonRect.Right - FButtonRect.Left) + FIndent + 5;
}

void TcxCustomRowViewInfo::Calculate(const TRect& ARowRect)
{
    FRowRect = ARowRect;
    FLevel = 0;
    for (TcxGroupViewInfo* p = FParent; p; p = p->Parent()) ++FLevel;
    int rowHeight = ARowRect.Bottom - ARowRect.Top;
    FIndent = rowHeight * FLevel;
    TcxCanvas* canvas = FControl->MeasureCanvas();
    canvas->SetFont(FControl->Font());
    int width = FParent ? canvas->TextWidth("0") * int(FButtonText.size()) : canvas->TextWidth(FButtonText + "00");
    FButtonRect = CentreInRow(Bounds(FRowRect.Left + FIndent + 4, FRowRect.Top, width, rowHeight - 4));
    FButtonState = CalcButtonState(fhtButton);
}

void TcxCustomRowViewInfo::HitTest(const TPoint& P, TcxFilterControlHitInfo& AHitInfo)
{
    if (PtInRect(FButtonRect, P)) AHitInfo.HitType = fhtButton;
}

TcxGroupViewInfo::TcxGroupViewInfo(TcxCustomFilterControl* AControl, TcxFilterBoolOperatorKind ABoolOperator,
                                   TcxCustomFilterCriteriaItem* ACriteriaItem, TcxGroupViewInfo* AParent)
    : TcxCustomRowViewInfo(AControl, ACriteriaItem, AParent),
      FCaption(GetResourceString(AParent ? &cxSFilterGroupCaption : &cxSFilterRootGroupCaption)),
      FBoolOperator(ABoolOperator)
{
}

TcxGroupViewInfo::~TcxGroupViewInfo() { Clear(); }

void TcxGroupViewInfo::Clear()
{
    while (!FRows.empty()) {
        TcxCustomRowViewInfo* row = FRows.back();
        FRows.pop_back();
        row->ForgetParent();
        delete row;
    }
}

int TcxGroupViewInfo::RowWidth() const
{
    return TcxCustomRowViewInfo::RowWidth() + (FBoolOperatorRect.Right - FBoolOperatorRect.Left) +
           (FCaptionRect.Right - FCaptionRect.Left) + 16;
}

void TcxGroupViewInfo::Calculate(const TRect& ARowRect)
{
    TcxCustomRowViewInfo::Calculate(ARowRect);
    TcxCanvas* canvas = FControl->MeasureCanvas();
    FBoolOperatorText = cxFilterControl::GetBoolOperatorText(FBoolOperator);
    canvas->SetFont(FControl->FontBoolOperator());
    TSize sz = canvas->TextExtent(FBoolOperatorText);
    FBoolOperatorRect = CentreInRow(Bounds(FButtonRect.Right + 8, FRowRect.Top, sz.cx + 2, sz.cy + 2));
    canvas->SetFont(FControl->Font());
    sz = canvas->TextExtent(FCaption);
    FCaptionRect = CentreInRow(Bounds(FBoolOperatorRect.Right + 8, FRowRect.Top, sz.cx + 2, sz.cy + 2));
}

void TcxGroupViewInfo::HitTest(const TPoint& P, TcxFilterControlHitInfo& AHitInfo)
{
    TcxCustomRowViewInfo::HitTest(P, AHitInfo);
    if (AHitInfo.HitType == fhtNone && PtInRect(FBoolOperatorRect, P)) AHitInfo.HitType = fhtBoolOperator;
}

// ---- condition rows -----------------------------------------------------------------------------------------

TcxConditionViewInfo::TcxConditionViewInfo(TcxCustomFilterControl* AControl, TcxFilterCriteriaItem* ACriteriaItem,
                                           TcxGroupViewInfo* AParent)
    : TcxCustomRowViewInfo(AControl, ACriteriaItem, AParent), FValues(std::make_unique<TcxValuesViewInfo>(this))
{
    if (!ACriteriaItem) {
        SetItemIndex(-1);
        return;
    }
    FItemLink = ACriteriaItem->ItemLink();
    IcxFilterControl* link = AControl->GetFilterLink();
    int count = link ? link->GetCount() : 0;
    for (int i = 0; i < count && FItemIndex < 0; ++i)
        if (TcxFilterControlCriteria::ItemLinkOf(link, i) == FItemLink) FItemIndex = i;
    if (FItemIndex < 0) RaiseBuilding();
    FItemText = link->GetItemCaption(FItemIndex);
    SetOperator(cxFilterControl::OperatorKindToRowOperator(ACriteriaItem->OperatorKind(),
                                                           ACriteriaItem->IsNullValue(ACriteriaItem->Value())));
    const Variant& value = ACriteriaItem->Value();
    const bool listed = (IsBetween(FOperator) || IsInList(FOperator)) && VarIsArray(value);
    if (listed && VarArrayHighBound(value, 1) >= VarArrayLowBound(value, 1)) {
        const std::string& texts = ACriteriaItem->DisplayValue();
        size_t pos = 0;
        for (int i = VarArrayLowBound(value, 1); i <= VarArrayHighBound(value, 1); ++i) {
            FValues->AddValue();
            TcxValueInfo& v = FValues->Values(FValues->Count() - 1);
            v.Value = value[i];
            v.ValueText = cxFilter::ExtractListItem(texts, pos);
        }
    } else {
        FValues->AddValue();
        // An empty list keeps one blank value to fill in, as a new list condition has.
        FValues->Values(0).Value = listed ? Null() : value;
        // A list holding a single plain value shows one text, not the whole
        // stored list text: saved as a list of that one value, it would
        // otherwise come back split into several texts.
        if (IsInList(FOperator)) {
            size_t pos = 0;
            FValues->Values(0).ValueText = cxFilter::ExtractListItem(ACriteriaItem->DisplayValue(), pos);
        } else
            FValues->Values(0).ValueText = ACriteriaItem->DisplayValue();
    }
    RefreshEditor();
}

TcxConditionViewInfo::~TcxConditionViewInfo() = default;

void TcxConditionViewInfo::SetOperator(TcxFilterRowOperator AValue)
{
    FOperator = AValue;
    FOperatorText = GetRowOperatorText(AValue);
}

TcxCustomEditProperties* TcxConditionViewInfo::GetItemProperties() const
{
    IcxFilterControl* link = FControl->GetFilterLink();
    TcxCustomEditProperties* p = nullptr;
    if (link && FItemIndex >= 0 && FItemIndex < link->GetCount()) p = link->GetProperties(FItemIndex);
    return p ? p : FControl->DefaultProperties();
}

void TcxConditionViewInfo::RefreshEditor()
{
    FEditData.reset();
    FEditorProperties.reset();
    TcxCustomEditProperties* itemProperties = GetItemProperties();
    FEditorHelper = GetFilterEditsController()->FindHelper(itemProperties->ClassType());
    if (!FEditorHelper) FEditorHelper = TcxFilterTextEditHelper::Class();
    TClass cls = FEditorHelper->FilterEditPropertiesClass();
    if (!cls) cls = itemProperties->ClassType();
    FEditorProperties.reset(static_cast<TcxCustomEditProperties*>(cls->Create(nullptr)));
    FEditorHelper->PrepareProperties(FEditorProperties.get(), itemProperties, true);
    FSupportedOperators = FEditorHelper->AllowedOperators(itemProperties, true);
    IcxFilterControl* link = FControl->GetFilterLink();
    FValueType = link && FItemIndex >= 0 && FItemIndex < link->GetCount() ? link->GetValueType(FItemIndex) : nullptr;
    FControl->AdjustOperators(FSupportedOperators);
    if (FValueType && !IsStringValueType(FValueType)) FSupportedOperators.Exclude(froLike).Exclude(froNotLike);
}

void TcxConditionViewInfo::SetItemIndex(int AIndex)
{
    IcxFilterControl* link = FControl->GetFilterLink();
    int count = link ? link->GetCount() : 0;
    bool force = AIndex < 0;
    if (force) {
        AIndex = 0;
        if (FControl->SortItems() && count > 0) {
            std::string first = link->GetItemCaption(0);
            for (int i = 1; i < count; ++i) {
                std::string c = link->GetItemCaption(i);
                if (AnsiCompareText(c, first) < 0) {
                    first = c;
                    AIndex = i;
                }
            }
        }
    }
    if (!force && AIndex == FItemIndex) return;
    if (AIndex < count) {
        FItemIndex = AIndex;
        FItemLink = TcxFilterControlCriteria::ItemLinkOf(link, AIndex);
        FItemText = link->GetItemCaption(AIndex);
    } else {
        FItemIndex = -1;
        FItemLink = nullptr;
        FItemText.clear();
    }
    RefreshEditor();
    if (FSupportedOperators.Contains(froLike) && IsStringValueType(FValueType))
        SetOperator(froLike);
    else
        for (int i = 0; i < cxFilterRowOperatorCount; ++i)
            if (FSupportedOperators.Contains(TcxFilterRowOperator(i))) {
                SetOperator(TcxFilterRowOperator(i));
                break;
            }
    AdjustValueCount(false);
}

void TcxConditionViewInfo::AdjustValueCount(bool AKeepValues)
{
    if (AKeepValues && HasValues()) {
        if (IsBetween(FOperator)) {
            while (FValues->Count() > 2) FValues->DeleteValue(2);
            while (FValues->Count() < 2) FValues->AddValue();
        } else if (!IsInList(FOperator)) {
            while (FValues->Count() > 1) FValues->DeleteValue(1);
            if (FValues->Count() == 0) FValues->AddValue();
        } else if (FValues->Count() == 0)
            FValues->AddValue();
        return;
    }
    FValues->Clear();
    FValues->AddValue();
    if (IsBetween(FOperator)) FValues->AddValue();
}

int TcxConditionViewInfo::RowWidth() const
{
    int values = 0;
    if (HasValues() && FValues->Count() > 0) {
        if (IsInList(FOperator))
            values = FValues->AddButtonRect().Right - FOperatorRect.Right;
        else
            values = FValues->Values(FValues->Count() - 1).ValueRect.Right - FOperatorRect.Right;
    }
    return TcxCustomRowViewInfo::RowWidth() + (FItemRect.Right - FItemRect.Left) +
           (FOperatorRect.Right - FOperatorRect.Left) + values + 16;
}

void TcxConditionViewInfo::Calculate(const TRect& ARowRect)
{
    TcxCustomRowViewInfo::Calculate(ARowRect);
    TcxCanvas* canvas = FControl->MeasureCanvas();
    canvas->SetFont(FControl->FontItem());
    TSize sz = canvas->TextExtent(FItemText);
    FItemRect = CentreInRow(Bounds(FButtonRect.Right + 8, FRowRect.Top, sz.cx + 2, sz.cy + 2));
    canvas->SetFont(FControl->FontCondition());
    FOperatorText = GetRowOperatorText(FOperator);
    sz = canvas->TextExtent(FOperatorText);
    FOperatorRect = CentreInRow(Bounds(FItemRect.Right + 8, FRowRect.Top, sz.cx + 2, sz.cy + 2));
    FValues->Calculate();
}

void TcxConditionViewInfo::HitTest(const TPoint& P, TcxFilterControlHitInfo& AHitInfo)
{
    TcxCustomRowViewInfo::HitTest(P, AHitInfo);
    if (AHitInfo.HitType != fhtNone) return;
    if (PtInRect(FItemRect, P))
        AHitInfo.HitType = fhtItem;
    else if (PtInRect(FOperatorRect, P))
        AHitInfo.HitType = fhtOperator;
    else
        FValues->HitTest(P, AHitInfo);
}

// ---- values ----------------------------------------------------------------------------------------------

void TcxValuesViewInfo::AddValue() { FValues.push_back(std::make_unique<TcxValueInfo>()); }

void TcxValuesViewInfo::DeleteValue(int AIndex)
{
    if (AIndex >= 0 && AIndex < Count()) FValues.erase(FValues.begin() + AIndex);
}

void TcxValuesViewInfo::Calculate()
{
    TcxConditionViewInfo* c = FCondition;
    TcxCustomFilterControl* control = c->Control();
    TcxFilterRowOperator op = c->Operator();
    FAddButtonRect = TRect{};
    if (!c->HasValues()) {
        for (auto& v : FValues) v->ValueRect = TRect{};
        return;
    }
    TcxCanvas* canvas = control->MeasureCanvas();
    canvas->SetFont(control->FontValue());
    const TRect& rowRect = c->RowRect();
    int rowHeight = rowRect.Bottom - rowRect.Top;
    int x = c->OperatorRect().Right + 8;
    FSeparator.clear();
    if (IsInList(op)) {
        x += canvas->TextWidth("(");
        FSeparator = ", ";
    } else if (IsBetween(op))
        FSeparator = GetResourceString(&cxSFilterAndCaption);
    TcxFilterControlHitInfo& hot = control->HotTrack();
    TcxFilterControlHitInfo& focused = control->FocusedInfo();
    bool hasFocus = control->Focused() || (control->ValueEditor() && control->ValueEditor()->Focused());
    for (int i = 0; i < Count(); ++i) {
        TcxValueInfo& v = *FValues[size_t(i)];
        if (v.Value.IsNull() || v.Value.IsEmpty())
            v.ShownText = control->NullString();
        else if (c->EditorHelper() && c->EditorHelper()->ValueAsText())
            v.ShownText = v.ValueText;
        else
            v.ShownText = c->EditorProperties() ? c->EditorProperties()->GetDisplayText(v.Value) : VarToStr(v.Value);
        if (v.ShownText.empty() && !(v.Value.IsNull() || v.Value.IsEmpty())) v.ShownText = v.ValueText;
        v.Active = control->IsHotTrack() &&
                   ((hot.Row == c && hot.HitType == fhtValue && hot.ValueIndex == i && control->EditingState() == 0) ||
                    (hasFocus && focused.Row == c && focused.HitType == fhtValue && focused.ValueIndex == i));
        TSize sz = canvas->TextExtent(v.ShownText);
        int width = sz.cx + 4;
        if (v.Active) width = std::max(width, control->ViewInfo()->MinValueWidth());
        int height = std::min(sz.cy + 4, rowHeight);
        v.ValueRect = Bounds(x, rowRect.Top + (rowHeight - height) / 2, width, height);
        x += width + 4;
        if (!FSeparator.empty()) x += canvas->TextWidth(FSeparator) + 8;
    }
    if (IsInList(op) && Count() > 0) {
        int left = FValues.back()->ValueRect.Right + canvas->TextWidth(")0");
        int h = rowHeight - 4;
        FAddButtonRect = Bounds(left, rowRect.Top + (rowHeight - h) / 2, canvas->TextWidth("000"), h);
        if (!control->Enabled() || !control->HasItems())
            FAddButtonState = cxbsDisabled;
        else if (focused.Row == c && focused.HitType == fhtAddValue)
            FAddButtonState = cxbsDefault;
        else if (control->IsHotTrack() && hot.Row == c && hot.HitType == fhtAddValue)
            FAddButtonState = cxbsHot;
        else
            FAddButtonState = cxbsNormal;
    }
}

void TcxValuesViewInfo::HitTest(const TPoint& P, TcxFilterControlHitInfo& AHitInfo)
{
    if (PtInRect(FAddButtonRect, P)) {
        AHitInfo.HitType = fhtAddValue;
        return;
    }
    for (int i = 0; i < Count(); ++i)
        if (PtInRect(FValues[size_t(i)]->ValueRect, P)) {
            AHitInfo.HitType = fhtValue;
            AHitInfo.ValueIndex = i;
            return;
        }
}

// ---- view info and painter ----------------------------------------------------------------------------------

TcxFilterControlViewInfo::TcxFilterControlViewInfo(TcxCustomFilterControl* AControl)
    : FControl(AControl),
      FPainter(std::make_unique<TcxFilterControlPainter>(AControl)),
      FAddConditionCaption(GetResourceString(&cxSFilterFooterAddCondition))
{
}

TcxFilterControlViewInfo::~TcxFilterControlViewInfo() = default;

void TcxFilterControlViewInfo::Calculate()
{
    TcxCustomFilterControl* c = FControl;
    FEnabled = c->HasItems() && c->Enabled();
    TcxCanvas* canvas = c->MeasureCanvas();
    int h = 0;
    for (TFont* f : {c->Font(), c->FontBoolOperator(), c->FontItem(), c->FontCondition()})
        h = std::max(h, canvas->FontHeight(f));
    // A value shows in one line of an editor: its text and the edit's borders.
    h = std::max(h, canvas->FontHeight(c->FontValue()) + 4);
    FRowHeight = MulDiv(h, 3, 2);
    canvas->SetFont(c->FontValue());
    FMinValueWidth = 12 * canvas->TextWidth("0");

    TRect client = c->ClientRect();
    TRect r{client.Left - c->LeftOffset(), client.Top, client.Right, client.Top + FRowHeight};
    r.Top -= c->TopRow() * FRowHeight;
    r.Bottom -= c->TopRow() * FRowHeight;
    FMaxRowWidth = 0;
    int lastIndent = 0;
    for (int i = 0; i < c->RowCount(); ++i) {
        TcxCustomRowViewInfo* row = c->Rows(i);
        row->Calculate(r);
        FMaxRowWidth = std::max(FMaxRowWidth, row->RowWidth());
        lastIndent = row->Indent();
        r.Top += FRowHeight;
        r.Bottom += FRowHeight;
    }
    canvas->SetFont(c->Font());
    int width = canvas->TextWidth(FAddConditionCaption + "00");
    int height = FRowHeight - 4;
    FAddConditionRect = Bounds(r.Left + lastIndent + 4, r.Top + (FRowHeight - height) / 2, width, height);
    FMaxRowWidth = std::max(FMaxRowWidth, width + lastIndent + 4);
    CalculateAddConditionButtonState();
    CalculateFocusRect();
}

void TcxFilterControlViewInfo::CalculateAddConditionButtonState()
{
    if (!FEnabled)
        FAddConditionButtonState = cxbsDisabled;
    else if (FControl->FocusedInfo().HitType == fhtAddCondition)
        FAddConditionButtonState = cxbsDefault;
    else if (FControl->IsHotTrack() && FControl->HotTrack().HitType == fhtAddCondition)
        FAddConditionButtonState = cxbsHot;
    else
        FAddConditionButtonState = cxbsNormal;
}

void TcxFilterControlViewInfo::CalculateFocusRect()
{
    FFocusRect = TRect{};
    if (!FControl->HasItems()) {
        TRect client = FControl->ClientRect();
        FFocusRect = TRect{client.Left + 2, client.Top + 2, client.Right - 2, client.Bottom - 2};
        return;
    }
    const TcxFilterControlHitInfo& f = FControl->FocusedInfo();
    if (!f.Row) return;
    TRect r{};
    if (f.HitType == fhtBoolOperator) {
        if (auto* g = dynamic_cast<TcxGroupViewInfo*>(f.Row)) r = g->BoolOperatorRect();
    } else if (auto* cond = dynamic_cast<TcxConditionViewInfo*>(f.Row)) {
        if (f.HitType == fhtItem)
            r = cond->ItemRect();
        else if (f.HitType == fhtOperator)
            r = cond->OperatorRect();
        else if (f.HitType == fhtValue && f.ValueIndex >= 0 && f.ValueIndex < cond->Values()->Count())
            r = cond->Values()->Values(f.ValueIndex).ValueRect;
    }
    if (r.Right > r.Left) FFocusRect = TRect{r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1};
}

void TcxFilterControlViewInfo::GetHitInfo(TShiftState AShift, const TPoint& P, TcxFilterControlHitInfo& AHitInfo)
{
    AHitInfo.HitType = fhtNone;
    AHitInfo.Point = P;
    AHitInfo.Shift = AShift;
    AHitInfo.Row = FControl->FocusedInfo().Row ? FControl->FocusedInfo().Row : FControl->Root();
    AHitInfo.ValueIndex = -1;
    if (!PtInRect(FControl->ClientRect(), P)) return;
    if (PtInRect(FAddConditionRect, P)) {
        AHitInfo.HitType = fhtAddCondition;
        return;
    }
    for (int i = std::max(0, FControl->TopRow()); i < FControl->RowCount(); ++i) {
        TcxCustomRowViewInfo* row = FControl->Rows(i);
        if (PtInRect(row->RowRect(), P)) {
            AHitInfo.Row = row;
            row->HitTest(P, AHitInfo);
            return;
        }
    }
}

void TcxFilterControlPainter::DrawText(TcxCanvas* ACanvas, const std::string& AText, int X, int Y, TFont* AFont)
{
    ACanvas->SetFont(AFont);
    ACanvas->Brush()->SetStyle(bsClear);
    if (!FControl->ViewInfo()->Enabled()) {
        ACanvas->Font()->SetColor(clBtnHighlight);
        ACanvas->Canvas()->TextOut(X + 1, Y + 1, AText);
        ACanvas->Font()->SetColor(clBtnShadow);
    }
    ACanvas->Canvas()->TextOut(X, Y, AText);
    ACanvas->Brush()->SetStyle(bsSolid);
}

void TcxFilterControlPainter::PaintRow(TcxCanvas* ACanvas, TcxCustomRowViewInfo* ARow)
{
    TcxCustomFilterControl* c = FControl;
    ACanvas->FillRect(ARow->RowRect(), c->Color());
    ACanvas->SetFont(c->Font());
    c->LookAndFeelPainter()->PaintButton(ACanvas, ARow->ButtonRect(), ARow->ButtonText(), ARow->ButtonState());
    if (auto* g = dynamic_cast<TcxGroupViewInfo*>(ARow)) {
        DrawText(ACanvas, g->Caption(), g->CaptionRect().Left, g->CaptionRect().Top + 1, c->Font());
        DrawText(ACanvas, g->BoolOperatorText(), g->BoolOperatorRect().Left + 1, g->BoolOperatorRect().Top + 1,
                 c->FontBoolOperator());
        return;
    }
    auto* cond = static_cast<TcxConditionViewInfo*>(ARow);
    DrawText(ACanvas, cond->ItemText(), cond->ItemRect().Left + 1, cond->ItemRect().Top + 1, c->FontItem());
    DrawText(ACanvas, cond->OperatorText(), cond->OperatorRect().Left + 1, cond->OperatorRect().Top + 1,
             c->FontCondition());
    if (!cond->HasValues()) return;
    TcxValuesViewInfo* values = cond->Values();
    TcxFilterRowOperator op = cond->Operator();
    for (int i = 0; i < values->Count(); ++i) {
        TcxValueInfo& v = values->Values(i);
        if (v.Active) ACanvas->FillRect(v.ValueRect, clWindow);
        DrawText(ACanvas, v.ShownText, v.ValueRect.Left + 2, v.ValueRect.Top + 2, c->FontValue());
        if (i + 1 < values->Count()) {
            if (IsBetween(op))
                DrawText(ACanvas, values->Separator(), v.ValueRect.Right + 4, v.ValueRect.Top + 1,
                         c->FontCondition());
            else if (IsInList(op))
                DrawText(ACanvas, values->Separator(), v.ValueRect.Right + 2, v.ValueRect.Top + 1, c->FontValue());
        }
    }
    if (IsInList(op) && values->Count() > 0) {
        DrawText(ACanvas, "(", cond->OperatorRect().Right + 4, cond->OperatorRect().Top, c->FontValue());
        DrawText(ACanvas, ")", values->Values(values->Count() - 1).ValueRect.Right + 3, cond->OperatorRect().Top,
                 c->FontValue());
        ACanvas->SetFont(c->Font());
        c->LookAndFeelPainter()->PaintButton(ACanvas, values->AddButtonRect(), "+", values->AddButtonState());
    }
}

void TcxFilterControlViewInfo::PaintLevelLines(TcxCanvas* ACanvas, TcxCustomRowViewInfo* ARow)
{
    // Dotted lines: every other pixel in the dark shadow colour on the control's colour.
    auto vline = [&](int x, int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            if (((x ^ y) & 1) == 0) ACanvas->SetPixel(x, y, cl3DDkShadow);
    };
    auto hline = [&](int left, int right, int y) {
        for (int x = left; x < right; ++x)
            if (((x ^ y) & 1) == 0) ACanvas->SetPixel(x, y, cl3DDkShadow);
    };
    const TRect& rr = ARow->RowRect();
    int half = (rr.Bottom - rr.Top) / 2;
    int buttonHalf = (ARow->ButtonRect().Right - ARow->ButtonRect().Left) / 2;
    int x = ARow->Parent()->ButtonRect().Left + buttonHalf;
    vline(x, rr.Top, ARow->IsLast() ? rr.Top + half : rr.Bottom);
    hline(x, ARow->ButtonRect().Left - 3, rr.Top + half);
    for (TcxCustomRowViewInfo* a = ARow->Parent(); a && a->Parent(); a = a->Parent())
        if (!a->IsLast()) vline(a->Parent()->ButtonRect().Left + buttonHalf, rr.Top, rr.Bottom);
}

void TcxFilterControlViewInfo::Paint(TcxCanvas* ACanvas)
{
    TcxCustomFilterControl* c = FControl;
    TRect client = c->ClientRect();
    ACanvas->FillRect(client, c->Color());
    for (int i = std::max(0, c->TopRow()); i < c->RowCount(); ++i) {
        TcxCustomRowViewInfo* row = c->Rows(i);
        if (row->RowRect().Top >= client.Bottom) break;
        FPainter->PaintRow(ACanvas, row);
        if (c->ShowLevelLines() && row->Level() > 0) PaintLevelLines(ACanvas, row);
    }
    ACanvas->SetFont(c->Font());
    c->LookAndFeelPainter()->PaintButton(ACanvas, FAddConditionRect, FAddConditionCaption, FAddConditionButtonState,
                                         true, c->Color());
    bool focused = c->Focused() || (c->ValueEditor() && c->ValueEditor()->Focused()) ||
                   (c->ComboBox() && c->ComboBox()->Focused());
    if (FFocusRect.Right > FFocusRect.Left && focused) ACanvas->DrawFocusRect(FFocusRect);
    ACanvas->FrameRect(c->GetBounds(), clBtnShadow);
}

// ---- the control ---------------------------------------------------------------------------------------------

TcxCustomFilterControl::TcxCustomFilterControl(TComponent* AOwner)
    : TcxControl(AOwner), FCriteria(std::make_unique<TcxFilterControlCriteria>(this))
{
    FRoot = std::make_unique<TcxGroupViewInfo>(this, fboAnd, FCriteria->Root(), nullptr);
    FRows.push_back(FRoot.get());
    FViewInfo = std::make_unique<TcxFilterControlViewInfo>(this);
    for (int i = 0; i < 4; ++i) {
        FFonts[i] = std::make_unique<TFont>();
        FFonts[i]->Assign(Font());
        FFonts[i]->SetColor(kFontColors[i]);
        FFonts[i]->SetStyle(DefaultFontStyle(TcxFilterControlFont(i)));
        FFonts[i]->OnChange = [this](TObject*) { LayoutChanged(); };
    }
    FDefaultProperties = std::make_unique<TcxTextEditProperties>();
    FInplaceEditList = std::make_unique<TcxInplaceEditList>();
    CreateInnerObjects();
    SetBounds(0, 0, 300, 200);
    FFocusedInfo.HitType = fhtBoolOperator;
    FFocusedInfo.Row = FRoot.get();
    FNullString = GetResourceString(&cxSFilterControlNullString);
    SetParentColor(false);
    SetColor(clBtnFace);
    SetTabStop(true);
    SetWantTabs(false);
}

TcxCustomFilterControl::~TcxCustomFilterControl()
{
    FValueEditor = nullptr;
    DestroyInnerObjects();
    FRows.clear();
    FRoot.reset();
}

void TcxCustomFilterControl::CreateInnerObjects()
{
    FMenu = new TPopupMenu(this);
    const TcxResourceStringRec* captions[4] = {&cxSFilterAddCondition, &cxSFilterAddGroup, nullptr,
                                               &cxSFilterRemoveRow};
    for (int i = 0; i < 4; ++i) {
        auto* item = new TMenuItem(FMenu);
        item->SetCaption(captions[i] ? GetResourceString(captions[i]) : "-");
        item->SetTag(i);
        if (i != 2) item->SetImageIndex(i);
        item->OnClick = [this, i](TObject*) { DoRowMenuClick(i); };
        FMenu->Items()->Add(item);
    }
    FComboBox = static_cast<TcxComboBox*>(TcxCustomEdit::CreateInplace(TcxComboBox::StaticClass()));
    InsertComponent(FComboBox);
    FComboBox->SetVisible(false);
    FComboBox->Properties()->SetDropDownListStyle(lsFixedList);
    if (FComboBox->Properties()->Buttons()->Count() > 0) FComboBox->Properties()->Buttons()->Items(0)->SetVisible(false);
    FComboBox->SetParentColor(true);
    FComboBox->Properties()->OnCloseUp = [this](TObject*) {
        if (FEditingState >= 2 && FEditingState <= 4 && FComboBox->ItemIndex() >= 0)
            ListChosen(FComboBox->ItemIndex());
        else
            HideComboBox();
    };
    FComboBox->OnExit = [this](TObject*) { HideComboBox(); };
}

void TcxCustomFilterControl::DestroyInnerObjects()
{
    FInplaceEditList.reset();
}

bool TcxCustomFilterControl::HasItems()
{
    IcxFilterControl* link = GetFilterLink();
    return link && link->GetCount() > 0;
}

bool TcxCustomFilterControl::IsHotTrack()
{
    return Enabled() && HasItems() && (FHotTrackOnUnfocused || Focused() || (FValueEditor && FValueEditor->Focused()));
}

TcxCanvas* TcxCustomFilterControl::MeasureCanvas()
{
    if (!FMeasureCanvas) {
        FMeasureBitmap = std::make_unique<TBitmap>();
        FMeasureBitmap->SetWidth(1);
        FMeasureBitmap->SetHeight(1);
        FMeasureCanvas = std::make_unique<TcxCanvas>(FMeasureBitmap->Canvas());
    }
    return FMeasureCanvas.get();
}

int TcxCustomFilterControl::IndexOfRow(TcxCustomRowViewInfo* ARow) const
{
    auto it = std::find(FRows.begin(), FRows.end(), ARow);
    return it == FRows.end() ? -1 : int(it - FRows.begin());
}

void TcxCustomFilterControl::SetFocusedPart(TcxFilterControlHitKind AKind, TcxCustomRowViewInfo* ARow,
                                            int AValueIndex)
{
    FFocusedInfo.HitType = AKind;
    FFocusedInfo.Row = ARow ? ARow : FRoot.get();
    FFocusedInfo.ValueIndex = AValueIndex;
}

void TcxCustomFilterControl::SetFonts(TcxFilterControlFont AIndex, TFont* AValue) { FFonts[AIndex]->Assign(AValue); }

bool TcxCustomFilterControl::IsFontStored(TcxFilterControlFont AIndex) const
{
    TFont* f = FFonts[AIndex].get();
    TFont* base = const_cast<TcxCustomFilterControl*>(this)->Font();
    return AnsiCompareText(f->Name(), base->Name()) != 0 || f->Height() != base->Height() ||
           f->Charset() != base->Charset() || f->Color() != kFontColors[AIndex] || !(f->Style() == DefaultFontStyle(AIndex));
}

void TcxCustomFilterControl::MouseLeave(TControl* AControl)
{
    TcxControl::MouseLeave(AControl);
    if (FHotTrack.HitType == fhtNone) return;
    FHotTrack.HitType = fhtNone;
    LayoutChanged();
}

void TcxCustomFilterControl::SetNullString(const std::string& AValue)
{
    if (FNullString == AValue) return;
    FNullString = AValue;
    LayoutChanged();
}

bool TcxCustomFilterControl::IsNullStringStored() const
{
    return FNullString != GetResourceString(&cxSFilterControlNullString);
}

void TcxCustomFilterControl::SetShowLevelLines(bool AValue)
{
    if (FShowLevelLines == AValue) return;
    FShowLevelLines = AValue;
    Invalidate();
}

void TcxCustomFilterControl::SetTopRow(int AValue)
{
    AValue = std::max(0, std::min(AValue, RowCount() - 1));
    if (AValue == FTopRow) return;
    FTopRow = AValue;
    LayoutChanged();
}

void TcxCustomFilterControl::SetLeftOffset(int AValue)
{
    AValue = std::max(0, AValue);
    if (AValue == FLeftOffset) return;
    FLeftOffset = AValue;
    LayoutChanged();
}

void TcxCustomFilterControl::RefreshTexts()
{
    FMenu->Items()->Items(0)->SetCaption(GetResourceString(&cxSFilterAddCondition));
    FMenu->Items()->Items(1)->SetCaption(GetResourceString(&cxSFilterAddGroup));
    FRoot->SetButtonText(GetResourceString(&cxSFilterRootButtonCaption));
    FRoot->SetCaption(GetResourceString(&cxSFilterRootGroupCaption));
    FViewInfo->SetAddConditionCaption(GetResourceString(&cxSFilterFooterAddCondition));
    LayoutChanged();
}

void TcxCustomFilterControl::CreateWnd()
{
    TcxControl::CreateWnd();
    FComboBox->SetParent(this);
    RefreshTexts();
}

void TcxCustomFilterControl::EndUpdate()
{
    if (--FLockCount == 0) LayoutChanged();
}

void TcxCustomFilterControl::LayoutChanged()
{
    if (FLockCount > 0 || IsDestroying() || ComponentState().Contains(csLoading) || !HandleAllocated()) return;
    if (FComboBox && FComboBox->DroppedDown()) return;
    FViewInfo->Calculate();
    int rowHeight = FViewInfo->RowHeight();
    int clientBottom = ClientRect().Bottom;
    while (FTopRow > 0 && clientBottom - FViewInfo->AddConditionRect().Bottom >= rowHeight + 2) {
        --FTopRow;
        FViewInfo->Calculate();
    }
    int excess = ClientRect().Right + FLeftOffset - (FViewInfo->MaxRowWidth() + 2);
    if (FLeftOffset > 0 && excess > 0) {
        FLeftOffset = std::max(0, FLeftOffset - excess);
        FViewInfo->Calculate();
    }
    UpdateScrollBars();
    Invalidate();
}

void TcxCustomFilterControl::UpdateScrollBars()
{
    int rowHeight = FViewInfo ? FViewInfo->RowHeight() : 0;
    if (rowHeight == 0) return;
    TRect client = ClientRect();
    SetScrollBarInfo(sbVertical, 0, RowCount() - 1, 1, client.Height() / rowHeight - 1, FTopRow, true, true);
    SetScrollBarInfo(sbHorizontal, 0, FViewInfo->MaxRowWidth(), 1, client.Width(), FLeftOffset, true, true);
}

void TcxCustomFilterControl::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos)
{
    if (AScrollBarKind == sbVertical) {
        int page = std::max(1, ClientRect().Height() / std::max(1, FViewInfo->RowHeight()) - 1);
        int top = FTopRow;
        switch (AScrollCode) {
        case scLineUp: --top; break;
        case scLineDown: ++top; break;
        case scPageUp: top -= page; break;
        case scPageDown: top += page; break;
        case scTrack: top = AScrollPos; break;
        default: break;
        }
        int visible = std::max(1, ClientRect().Height() / std::max(1, FViewInfo->RowHeight()));
        top = std::max(0, std::min(top, RowCount() - visible + 1));
        if (top != FTopRow) {
            FTopRow = top;
            LayoutChanged();
        }
        AScrollPos = FTopRow;
    } else {
        int left = FLeftOffset;
        int page = ClientRect().Width();
        switch (AScrollCode) {
        case scLineUp: left -= 8; break;
        case scLineDown: left += 8; break;
        case scPageUp: left -= page; break;
        case scPageDown: left += page; break;
        case scTrack: left = AScrollPos; break;
        default: break;
        }
        left = std::max(0, std::min(left, FViewInfo->MaxRowWidth() - page + 1));
        if (left != FLeftOffset) {
            FLeftOffset = left;
            LayoutChanged();
        }
        AScrollPos = FLeftOffset;
    }
}

void TcxCustomFilterControl::BoundsChanged()
{
    TcxControl::BoundsChanged();
    LayoutChanged();
}

void TcxCustomFilterControl::FontChanged()
{
    TcxControl::FontChanged();
    if (!FFonts[0]) return;
    BeginUpdate();
    for (auto& f : FFonts) {
        f->SetName(Font()->Name());
        f->SetHeight(Font()->Height());
        f->SetCharset(Font()->Charset());
    }
    EndUpdate();
}

void TcxCustomFilterControl::FocusChanged()
{
    TcxControl::FocusChanged();
    LayoutChanged();
}

void TcxCustomFilterControl::Paint()
{
    FViewInfo->Paint(Canvas());
}

void TcxCustomFilterControl::MakeFocusedVisible()
{
    if (!HandleAllocated() || FViewInfo->RowHeight() == 0) return;
    FViewInfo->Calculate();
    TcxCustomRowViewInfo* row = FFocusedInfo.Row;
    int index = IndexOfRow(row);
    int rowHeight = FViewInfo->RowHeight();
    TRect client = ClientRect();
    if (index >= 0 && index < FTopRow)
        FTopRow = index;
    else {
        int bottom = FFocusedInfo.HitType == fhtAddCondition ? FViewInfo->AddConditionRect().Bottom
                                                              : (row ? row->RowRect().Bottom : 0);
        while (bottom > client.Bottom && FTopRow < RowCount()) {
            ++FTopRow;
            bottom -= rowHeight;
        }
    }
    FViewInfo->Calculate();
    TRect part{};
    auto* cond = dynamic_cast<TcxConditionViewInfo*>(row);
    auto* group = dynamic_cast<TcxGroupViewInfo*>(row);
    switch (FFocusedInfo.HitType) {
    case fhtButton:
        part = row->ButtonRect();
        if (row == FRoot.get()) part.Left -= 4;
        break;
    case fhtBoolOperator: if (group) part = group->BoolOperatorRect(); break;
    case fhtItem: if (cond) part = cond->ItemRect(); break;
    case fhtOperator: if (cond) part = cond->OperatorRect(); break;
    case fhtValue:
        if (cond && FFocusedInfo.ValueIndex >= 0 && FFocusedInfo.ValueIndex < cond->Values()->Count())
            part = cond->Values()->Values(FFocusedInfo.ValueIndex).ValueRect;
        break;
    case fhtAddCondition: part = FViewInfo->AddConditionRect(); break;
    case fhtAddValue: if (cond) part = cond->Values()->AddButtonRect(); break;
    default: break;
    }
    if (part.Right > part.Left) {
        int shift = 0;
        if (part.Right >= client.Right)
            shift = part.Right - (client.Right - 2);
        else if (part.Left < client.Left)
            shift = part.Left - client.Left;
        FLeftOffset = std::max(0, FLeftOffset + shift);
    }
    FViewInfo->Calculate();
    UpdateScrollBars();
    Invalidate();
}

// ---- rows and criteria -------------------------------------------------------------------------------------

void TcxCustomFilterControl::RebuildFlatList()
{
    FRows.clear();
    std::function<void(TcxCustomRowViewInfo*)> add = [&](TcxCustomRowViewInfo* row) {
        FRows.push_back(row);
        if (auto* g = dynamic_cast<TcxGroupViewInfo*>(row))
            for (int i = 0; i < g->RowCount(); ++i) add(g->Rows(i));
    };
    add(FRoot.get());
}

void TcxCustomFilterControl::BuildRowsInto(TcxFilterCriteriaItemList* AList, TcxGroupViewInfo* AGroup)
{
    AGroup->SetBoolOperator(AList->BoolOperatorKind());
    for (int i = 0; i < AList->Count(); ++i) {
        TcxCustomFilterCriteriaItem* item = AList->Items(i);
        if (auto* list = dynamic_cast<TcxFilterCriteriaItemList*>(item)) {
            auto* group = new TcxGroupViewInfo(this, list->BoolOperatorKind(), list, AGroup);
            BuildRowsInto(list, group);
        } else
            new TcxConditionViewInfo(this, static_cast<TcxFilterCriteriaItem*>(item), AGroup);
    }
}

void TcxCustomFilterControl::RebuildRows()
{
    if (FValueEditor) EndValueEdit(false);
    // The rows are made aside: a criteria naming items the link lacks leaves the rows shown as they were.
    auto root = std::make_unique<TcxGroupViewInfo>(this, FCriteria->Root()->BoolOperatorKind(), FCriteria->Root(),
                                                   nullptr);
    BuildRowsInto(FCriteria->Root(), root.get());
    BeginUpdate();
    root->SetButtonText(FRoot->ButtonText());
    root->SetCaption(FRoot->Caption());
    FRoot = std::move(root);
    FHotTrack = TcxFilterControlHitInfo{};
    SetFocusedPart(fhtBoolOperator, FRoot.get());
    FTopRow = 0;
    FLeftOffset = 0;
    RebuildFlatList();
    EndUpdate();
}

void TcxCustomFilterControl::WriteCriteriaFrom(TcxFilterCriteria* ACriteria)
{
    std::function<void(TcxGroupViewInfo*, TcxFilterCriteriaItemList*)> write = [&](TcxGroupViewInfo* g,
                                                                                     TcxFilterCriteriaItemList* list) {
        for (int i = 0; i < g->RowCount(); ++i) {
            TcxCustomRowViewInfo* row = g->Rows(i);
            if (auto* sub = dynamic_cast<TcxGroupViewInfo*>(row)) {
                write(sub, list->AddItemList(sub->BoolOperator()));
                continue;
            }
            auto* c = static_cast<TcxConditionViewInfo*>(row);
            TcxValuesViewInfo* values = c->Values();
            TcxFilterRowOperator op = c->Operator();
            Variant value = values->Count() > 0 ? values->Values(0).Value : Null();
            std::string text = values->Count() > 0 ? values->Values(0).ValueText : std::string();
            if (op == froEqual || op == froNotEqual) {
                if (value.IsNull() || value.IsEmpty()) text = BlankText();
            } else if (op == froBlank || op == froNonBlank) {
                value = Null();
                text = BlankText();
            } else if (IsBetween(op) && values->Count() >= 2) {
                TcxValueInfo* low = &values->Values(0);
                TcxValueInfo* high = &values->Values(1);
                // Equal bounds keep their order, or their texts would trade places on every save.
                if (cxVariants::VarCompare(low->Value, high->Value) > 0) std::swap(low, high);
                value = cxVariants::VarBetweenArray(low->Value, high->Value);
                text = low->ValueText + ";" + high->ValueText;
            } else if (IsInList(op) && values->Count() > 0) {
                value = cxVariants::VarSingleArray(values->Values(0).Value);
                text = values->Values(0).ValueText;
                for (int k = 1; k < values->Count(); ++k) {
                    cxVariants::AppendToVarArray(value, values->Values(k).Value);
                    text += ";" + values->Values(k).ValueText;
                }
            } else if (value.IsNull() || value.IsEmpty() || (VarIsStr(value) && VarToStr(value).empty()))
                text = BlankText();
            if (value.IsEmpty()) value = Null();
            ACriteria->AddItem(list, c->ItemLink(), cxFilterControl::RowOperatorToOperatorKind(op), value, text);
        }
    };
    ACriteria->BeginUpdate();
    try {
        ACriteria->Clear();
        ACriteria->Root()->SetBoolOperatorKind(FRoot->BoolOperator());
        write(FRoot.get(), ACriteria->Root());
    } catch (...) {
        ACriteria->EndUpdate();
        throw;
    }
    ACriteria->EndUpdate();
}

TcxCustomRowViewInfo* TcxCustomFilterControl::FirstIncompleteRow() const
{
    for (TcxCustomRowViewInfo* row : FRows) {
        if (!row->IsComplete()) return row;
        // A value its item's type does not take makes the row unusable too
        // (a loaded file may hold one).
        auto* c = dynamic_cast<TcxConditionViewInfo*>(row);
        if (!c || !c->HasValues() || !c->ValueType() || c->Operator() == froLike || c->Operator() == froNotLike)
            continue;
        for (int i = 0; i < c->Values()->Count(); ++i) {
            Variant v = c->Values()->Values(i).Value;
            if (v.IsNull() || v.IsEmpty()) continue;
            if (!c->EditorHelper()->AcceptsValue(c->ValueType(), v)) return row;
        }
    }
    return nullptr;
}

bool TcxCustomFilterControl::IsValid() { return FirstIncompleteRow() == nullptr; }

void TcxCustomFilterControl::FocusRow(TcxCustomRowViewInfo* ARow)
{
    auto* c = dynamic_cast<TcxConditionViewInfo*>(ARow);
    if (!c)
        SetFocusedPart(fhtBoolOperator, ARow);
    else if (c->ItemText().empty())
        SetFocusedPart(fhtItem, ARow);
    else if (c->OperatorText().empty())
        SetFocusedPart(fhtOperator, ARow);
    else
        SetFocusedPart(fhtValue, ARow, 0);
    MakeFocusedVisible();
}

void TcxCustomFilterControl::CheckComplete()
{
    if (TcxCustomRowViewInfo* row = FirstIncompleteRow()) {
        FocusRow(row);
        RaiseFilterControlError(GetResourceString(&cxSFilterErrorIncompleteRow));
    }
}

void TcxCustomFilterControl::BuildCriteria()
{
    EndValueEdit(true);
    if (IsValid()) WriteCriteriaFrom(FCriteria.get());
}

void TcxCustomFilterControl::ApplyFilter()
{
    IcxFilterControl* link = GetFilterLink();
    if (!link || !link->GetCriteria()) return;
    EndValueEdit(true);
    CheckComplete();
    WriteCriteriaFrom(FCriteria.get());
    TcxFilterCriteria* target = link->GetCriteria();
    bool differ = target != FCriteria.get();
    try {
        if (differ) target->AssignItems(FCriteria.get());
        if (OnApplyFilter) OnApplyFilter(this);
    } catch (...) {
        if (differ) {
            FCriteria->Assign(target);
            RebuildRows();
        }
        throw;
    }
    if (differ) {
        FCriteria->Assign(target);
        RebuildRows();
    }
}

void TcxCustomFilterControl::Clear()
{
    BeginUpdate();
    if (FValueEditor) EndValueEdit(false);
    FRoot->Clear();
    FRoot->SetBoolOperator(fboAnd);
    FHotTrack = TcxFilterControlHitInfo{};
    SetFocusedPart(fhtBoolOperator, FRoot.get());
    FTopRow = 0;
    FLeftOffset = 0;
    RebuildFlatList();
    FCriteria->Clear();
    EndUpdate();
}

void TcxCustomFilterControl::GetFilterCaption(std::string& AText)
{
    BuildCriteria();
    AText = FRoot->RowCount() > 0 ? FCriteria->GetFilterCaption() : std::string();
}

void TcxCustomFilterControl::GetFilterText(std::string& AText)
{
    BuildCriteria();
    AText = FRoot->RowCount() > 0 ? FCriteria->GetFilterText() : std::string();
}

void TcxCustomFilterControl::LoadFromFile(const std::string& AFileName)
{
    TFileStream stream(AFileName, fmOpenRead);
    LoadFromStream(&stream);
}

void TcxCustomFilterControl::LoadFromStream(TStream* AStream)
{
    if (!HasItems()) RaiseBuilding();
    // Read and turn into rows aside; the filter being edited is replaced only when both succeed.
    auto criteria = std::make_unique<TcxFilterControlCriteria>(this);
    criteria->Assign(FCriteria.get());
    criteria->ReadData(AStream);
    auto root = std::make_unique<TcxGroupViewInfo>(this, criteria->Root()->BoolOperatorKind(), criteria->Root(),
                                                   nullptr);
    BuildRowsInto(criteria->Root(), root.get());
    if (FValueEditor) EndValueEdit(false);
    BeginUpdate();
    root->SetButtonText(FRoot->ButtonText());
    root->SetCaption(FRoot->Caption());
    FRoot = std::move(root);
    FCriteria = std::move(criteria);
    FHotTrack = TcxFilterControlHitInfo{};
    SetFocusedPart(fhtBoolOperator, FRoot.get());
    FTopRow = 0;
    FLeftOffset = 0;
    RebuildFlatList();
    EndUpdate();
}

void TcxCustomFilterControl::SaveToStream(TStream* AStream)
{
    EndValueEdit(true);
    CheckComplete();
    WriteCriteriaFrom(FCriteria.get());
    FCriteria->WriteData(AStream);
}

void TcxCustomFilterControl::SaveToFile(const std::string& AFileName)
{
    // Everything that can refuse runs before the file is touched; the file is then written whole.
    EndValueEdit(true);
    CheckComplete();
    WriteCriteriaFrom(FCriteria.get());
    SaveFileWhole(AFileName, [this](TStream* s) { FCriteria->WriteData(s); });
}

// ---- row edits ----------------------------------------------------------------------------------------------

void TcxCustomFilterControl::AddCondition(TcxCustomRowViewInfo* ARow)
{
    if (!HasItems()) return;
    if (FValueEditor) EndValueEdit(true);
    if (!ARow) ARow = FRows.back();
    auto* group = dynamic_cast<TcxGroupViewInfo*>(ARow);
    if (!group) group = ARow->Parent();
    auto* row = new TcxConditionViewInfo(this, nullptr, group);
    RebuildFlatList();
    SetFocusedPart(fhtAddCondition, row);
    MakeFocusedVisible();
    SetFocusedPart(fhtItem, row);
    FViewInfo->CalculateFocusRect();
    LayoutChanged();
}

void TcxCustomFilterControl::AddGroup()
{
    if (!HasItems()) return;
    TcxCustomRowViewInfo* focused = FFocusedInfo.Row ? FFocusedInfo.Row : FRoot.get();
    auto* parent = dynamic_cast<TcxGroupViewInfo*>(focused);
    if (!parent) parent = focused->Parent();
    auto* group = new TcxGroupViewInfo(this, fboAnd, nullptr, parent);
    RebuildFlatList();
    AddCondition(group);
}

void TcxCustomFilterControl::AddValue()
{
    if (!HasItems()) return;
    auto* c = dynamic_cast<TcxConditionViewInfo*>(FFocusedInfo.Row);
    if (!c) return;
    c->Values()->AddValue();
    SetFocusedPart(fhtValue, c, c->Values()->Count() - 1);
    if (HandleAllocated()) {
        FViewInfo->Calculate();
        FLeftOffset = std::max(FViewInfo->MaxRowWidth() - ClientRect().Right + 2, 0);
    }
    LayoutChanged();
}

void TcxCustomFilterControl::RemoveRow()
{
    if (!HasItems()) return;
    TcxCustomRowViewInfo* row = FFocusedInfo.Row;
    if (!row || row == FRoot.get()) return;
    if (FValueEditor) EndValueEdit(false);
    while (row->Parent() != FRoot.get() && row->Parent()->RowCount() == 1) row = row->Parent();
    int index = IndexOfRow(row);
    TcxCustomRowViewInfo* prev = index > 0 ? FRows[size_t(index - 1)] : FRoot.get();
    SetFocusedPart(dynamic_cast<TcxGroupViewInfo*>(prev) ? fhtBoolOperator : fhtItem, prev);
    delete row;
    FHotTrack = TcxFilterControlHitInfo{};
    RebuildFlatList();
    LayoutChanged();
    MakeFocusedVisible();
}

void TcxCustomFilterControl::RemoveFocused()
{
    auto* c = dynamic_cast<TcxConditionViewInfo*>(FFocusedInfo.Row);
    if (c && FFocusedInfo.HitType == fhtValue && IsInList(c->Operator()) && c->Values()->Count() > 1) {
        if (!HasItems()) return;
        c->Values()->DeleteValue(FFocusedInfo.ValueIndex);
        FFocusedInfo.ValueIndex = std::max(0, FFocusedInfo.ValueIndex - 1);
        LayoutChanged();
        return;
    }
    RemoveRow();
}

void TcxCustomFilterControl::DoRowMenuClick(int ATag)
{
    FEditingState = 0;
    switch (ATag) {
    case 0: AddCondition(FFocusedInfo.Row); break;
    case 1: AddGroup(); break;
    case 3:
        if (FFocusedInfo.Row == FRoot.get())
            Clear();
        else
            RemoveRow();
        break;
    default: break;
    }
}

// ---- lists and value editing --------------------------------------------------------------------------------

void TcxCustomFilterControl::ShowRowMenu()
{
    bool root = FFocusedInfo.Row == FRoot.get();
    FMenu->Items()->Items(2)->SetVisible(!root || FRoot->RowCount() > 0);
    FMenu->Items()->Items(3)->SetVisible(!root || FRoot->RowCount() > 0);
    FMenu->Items()->Items(3)->SetCaption(GetResourceString(root ? &cxSFilterClearAll : &cxSFilterRemoveRow));
    FEditingState = 1;
    TRect b = FFocusedInfo.Row->ButtonRect();
    TPoint p = ClientToScreen(TPoint{b.Left, b.Bottom});
    TWeakRef<TcxCustomFilterControl> guard(this);
    FMenu->Popup(p.X, p.Y);
    if (guard) FEditingState = 0;
}

void TcxCustomFilterControl::FillItemList(TStrings* AStrings)
{
    IcxFilterControl* link = GetFilterLink();
    if (!link) return;
    for (int i = 0; i < link->GetCount(); ++i) {
        TcxCustomEditProperties* p = link->GetProperties(i);
        if (p && (p->GetSupportedOperations() & 0x04)) AStrings->AddObject(link->GetItemCaption(i), reinterpret_cast<TObject*>(intptr_t(i)));
    }
    if (FSortItems)
        if (auto* list = dynamic_cast<TStringList*>(AStrings)) list->Sort();
}

void TcxCustomFilterControl::AdjustOperators(TcxFilterRowOperators& AOperators)
{
    if (!FCriteria->SupportedLike()) AOperators.Exclude(froLike).Exclude(froNotLike);
}

void TcxCustomFilterControl::FillOperatorList(TStrings* AStrings)
{
    auto* c = dynamic_cast<TcxConditionViewInfo*>(FFocusedInfo.Row);
    if (!c) return;
    AdjustOperators(c->SupportedOperatorsRef());
    for (int i = 1; i < cxFilterRowOperatorCount; ++i)
        if (c->SupportedOperators().Contains(TcxFilterRowOperator(i)))
            AStrings->AddObject(GetRowOperatorText(i), reinterpret_cast<TObject*>(intptr_t(i)));
}

namespace {

void ShowList(TcxCustomFilterControl* AControl, TcxComboBox* ACombo, TStringList& ALines, std::vector<int>& AObjects,
              TFont* AFont, const TRect& ARect, const std::string& AText)
{
    AObjects.clear();
    ACombo->Properties()->Items()->Clear();
    for (int i = 0; i < ALines.Count(); ++i) {
        ACombo->Properties()->Items()->Add(ALines.Strings(i));
        AObjects.push_back(int(reinterpret_cast<intptr_t>(ALines.Objects(i))));
    }
    ACombo->Properties()->SetDropDownRows(std::min(12, ALines.Count()));
    ACombo->Style()->SetFont(AFont);
    ACombo->SetBounds(ARect.Left, ARect.Top, ARect.Width(), ARect.Height());
    ACombo->SetItemIndex(ALines.IndexOf(AText));
    if (AControl->HandleAllocated()) {
        ACombo->SetVisible(true);
        if (ACombo->CanFocus()) ACombo->SetFocus();
        ACombo->SetDroppedDown(true);
    }
}

}  // namespace

void TcxCustomFilterControl::EditBoolOperator()
{
    auto* g = dynamic_cast<TcxGroupViewInfo*>(FFocusedInfo.Row);
    if (!g) return;
    TStringList lines;
    for (int i = 0; i < 4; ++i)
        lines.AddObject(cxFilterControl::GetBoolOperatorText(TcxFilterBoolOperatorKind(i)),
                        reinterpret_cast<TObject*>(intptr_t(i)));
    FEditingState = 3;
    ShowList(this, FComboBox, lines, FListObjects, FontBoolOperator(), g->BoolOperatorRect(), g->BoolOperatorText());
}

void TcxCustomFilterControl::EditItem()
{
    auto* c = dynamic_cast<TcxConditionViewInfo*>(FFocusedInfo.Row);
    if (!c) return;
    TStringList lines;
    FillItemList(&lines);
    FEditingState = 2;
    ShowList(this, FComboBox, lines, FListObjects, FontItem(), c->ItemRect(), c->ItemText());
}

void TcxCustomFilterControl::EditOperator()
{
    auto* c = dynamic_cast<TcxConditionViewInfo*>(FFocusedInfo.Row);
    if (!c) return;
    TStringList lines;
    FillOperatorList(&lines);
    FEditingState = 4;
    ShowList(this, FComboBox, lines, FListObjects, FontCondition(), c->OperatorRect(), c->OperatorText());
}

void TcxCustomFilterControl::HideComboBox()
{
    if (FEditingState >= 2 && FEditingState <= 4) FEditingState = 0;
    if (FComboBox && FComboBox->Visible()) FComboBox->SetVisible(false);
}

void TcxCustomFilterControl::ListChosen(int ALineIndex)
{
    int state = FEditingState;
    FEditingState = 0;
    if (ALineIndex >= 0 && ALineIndex < int(FListObjects.size())) {
        int object = FListObjects[size_t(ALineIndex)];
        auto* c = dynamic_cast<TcxConditionViewInfo*>(FFocusedInfo.Row);
        auto* g = dynamic_cast<TcxGroupViewInfo*>(FFocusedInfo.Row);
        if (state == 2 && c) {
            c->SetItemIndex(object);
            SetFocusedPart(fhtOperator, c);
            if (c->SupportedOperators().Contains(froLike) && IsStringValueType(c->ValueType())) {
                c->SetOperator(froLike);
                c->AdjustValueCount(true);
            }
        } else if (state == 3 && g)
            g->SetBoolOperator(TcxFilterBoolOperatorKind(object));
        else if (state == 4 && c) {
            c->SetOperator(TcxFilterRowOperator(object));
            c->AdjustValueCount(true);
            if (c->HasValues()) SetFocusedPart(fhtValue, c, 0);
        }
    }
    if (FComboBox->Visible()) FComboBox->SetVisible(false);
    LayoutChanged();
    MakeFocusedVisible();
    if (HandleAllocated() && CanFocus()) SetFocus();
}

void TcxCustomFilterControl::EditValue(int AActivationKind, char32_t AKey)
{
    auto* c = dynamic_cast<TcxConditionViewInfo*>(FFocusedInfo.Row);
    if (!c || FFocusedInfo.HitType != fhtValue || FFocusedInfo.ValueIndex < 0 ||
        FFocusedInfo.ValueIndex >= c->Values()->Count())
        return;
    MakeFocusedVisible();
    TcxCustomEditProperties* itemProperties = c->GetItemProperties();
    TcxCustomEdit* edit = c->EditorHelper()->CreateEdit(itemProperties, FInplaceEditList.get());
    if (!edit) return;
    FEditingState = 5;
    FValueEditor = edit;
    TcxValueInfo& value = c->Values()->Values(FFocusedInfo.ValueIndex);
    c->EditorHelper()->WriteValue(edit, itemProperties, value.Value);
    if (auto* text = dynamic_cast<TcxCustomTextEditProperties*>(edit->ActiveProperties())) {
        unsigned char wild[2] = {static_cast<unsigned char>(FCriteria->PercentWildcard()),
                                 static_cast<unsigned char>(FCriteria->UnderscoreWildcard())};
        bool like = c->Operator() == froLike || c->Operator() == froNotLike;
        for (unsigned char w : wild) text->ValidChars.set(w, like);
        if (!like && VarIsStr(edit->EditValue())) {
            std::string s = VarToStr(edit->EditValue());
            std::string kept;
            for (char ch : s)
                if (static_cast<unsigned char>(ch) != wild[0] && static_cast<unsigned char>(ch) != wild[1])
                    kept += ch;
            if (kept != s) edit->SetEditValue(kept);
        }
    }
    edit->SetParent(this);
    edit->EditStyle()->SetFont(FontValue());
    edit->EditStyle()->SetColor(clWindow);
    const TRect& r = value.ValueRect;
    edit->SetBounds(r.Left, r.Top, std::max(r.Width(), FViewInfo->MinValueWidth()), r.Height());
    edit->OnExit = [this](TObject*) {
        if (FValueEditor && !FCommitting) EndValueEdit(true);
    };
    edit->OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { ValueEditorKeyDown(s, k, sh); };
    edit->OnAfterKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { ValueEditorAfterKeyDown(s, k, sh); };
    edit->SetVisible(true);
    if (AActivationKind == 1)
        edit->ActivateByKey(AKey, c->EditData());
    else if (AActivationKind == 2)
        edit->ActivateByMouse(FHotTrack.Shift, FHotTrack.Point.X, FHotTrack.Point.Y, c->EditData());
    else
        edit->Activate(c->EditData());
}

void TcxCustomFilterControl::EndValueEdit(bool AAccept)
{
    if (!FValueEditor) return;
    TcxCustomEdit* edit = FValueEditor;
    auto* c = dynamic_cast<TcxConditionViewInfo*>(FFocusedInfo.Row);
    if (AAccept && c && FFocusedInfo.ValueIndex >= 0 && FFocusedInfo.ValueIndex < c->Values()->Count()) {
        FCommitting = true;
        try {
            if (!edit->Deactivate()) Abort();
            Variant value;
            std::string text;
            TcxCustomEditProperties* itemProperties = c->GetItemProperties();
            c->EditorHelper()->ReadValue(edit, itemProperties, value, text);
            // A value the item's type refuses is not stored: the row keeps its
            // previous value and the editor stays open with the focus.
            ValidateFilterValue(edit, value, c->Operator(), c->EditorHelper(), c->ValueType());
            TcxValueInfo& v = c->Values()->Values(FFocusedInfo.ValueIndex);
            v.Value = value;
            v.ValueText = text;
        } catch (...) {
            FCommitting = false;
            if (edit->CanFocus()) edit->SetFocus();
            throw;
        }
        FCommitting = false;
    }
    FEditingState = 0;
    FValueEditor = nullptr;
    edit->SetModified(false);
    edit->OnExit = nullptr;
    edit->OnKeyDown = nullptr;
    edit->OnAfterKeyDown = nullptr;
    edit->SetVisible(false);
    edit->SetParent(nullptr);
    LayoutChanged();
    MakeFocusedVisible();
}

void TcxCustomFilterControl::ValueEditorKeyDown(TObject*, WORD& Key, TShiftState Shift)
{
    switch (Key) {
    case VK_TAB:
        if (!FWantTabs) return;
        EndValueEdit(true);
        if (CanFocus()) SetFocus();
        if (Shift.Contains(ssShift))
            FocusPrevPart(true);
        else
            FocusNextPart(true);
        MakeFocusedVisible();
        Key = 0;
        break;
    case VK_RETURN:
        EndValueEdit(true);
        if (CanFocus()) SetFocus();
        Key = 0;
        break;
    case VK_ESCAPE:
        EndValueEdit(false);
        if (CanFocus()) SetFocus();
        break;
    case VK_DELETE:
        if (Shift == TShiftState{ssCtrl}) {
            EndValueEdit(false);
            if (CanFocus()) SetFocus();
            RemoveFocused();
            Key = 0;
        }
        break;
    default: break;
    }
}

void TcxCustomFilterControl::ValueEditorAfterKeyDown(TObject*, WORD& Key, TShiftState Shift)
{
    if (Key != VK_UP && Key != VK_DOWN) return;
    EndValueEdit(true);
    if (CanFocus()) SetFocus();
    KeyDown(Key, Shift);
    Key = 0;
}

// ---- keyboard and mouse ----------------------------------------------------------------------------------------

namespace {

using TPart = std::pair<TcxFilterControlHitKind, int>;

std::vector<TPart> PartsOf(TcxCustomRowViewInfo* ARow)
{
    std::vector<TPart> parts{{fhtButton, -1}};
    auto* c = dynamic_cast<TcxConditionViewInfo*>(ARow);
    if (!c) {
        parts.push_back({fhtBoolOperator, -1});
        return parts;
    }
    parts.push_back({fhtItem, -1});
    parts.push_back({fhtOperator, -1});
    if (c->HasValues()) {
        for (int i = 0; i < c->Values()->Count(); ++i) parts.push_back({fhtValue, i});
        if (IsInList(c->Operator())) parts.push_back({fhtAddValue, -1});
    }
    return parts;
}

int PartIndex(const std::vector<TPart>& AParts, const TcxFilterControlHitInfo& AInfo)
{
    for (size_t i = 0; i < AParts.size(); ++i)
        if (AParts[i].first == AInfo.HitType && (AInfo.HitType != fhtValue || AParts[i].second == AInfo.ValueIndex))
            return int(i);
    return -1;
}

}  // namespace

void TcxCustomFilterControl::FocusRowFirstPart(TcxCustomRowViewInfo* ARow)
{
    SetFocusedPart(dynamic_cast<TcxGroupViewInfo*>(ARow) ? fhtBoolOperator : fhtItem, ARow);
}

void TcxCustomFilterControl::FocusRowLastPart(TcxCustomRowViewInfo* ARow)
{
    std::vector<TPart> parts = PartsOf(ARow);
    SetFocusedPart(parts.back().first, ARow, parts.back().second);
}

bool TcxCustomFilterControl::FocusNextPart(bool AWrap)
{
    if (FFocusedInfo.HitType == fhtAddCondition) return false;
    std::vector<TPart> parts = PartsOf(FFocusedInfo.Row);
    int i = PartIndex(parts, FFocusedInfo);
    if (i >= 0 && i + 1 < int(parts.size())) {
        SetFocusedPart(parts[size_t(i + 1)].first, FFocusedInfo.Row, parts[size_t(i + 1)].second);
        return true;
    }
    if (!AWrap) return false;
    int row = IndexOfRow(FFocusedInfo.Row);
    if (row + 1 < RowCount())
        SetFocusedPart(fhtButton, Rows(row + 1));
    else
        SetFocusedPart(fhtAddCondition, FRows.back());
    return true;
}

bool TcxCustomFilterControl::FocusPrevPart(bool AWrap)
{
    if (FFocusedInfo.HitType == fhtAddCondition) {
        if (!AWrap) return false;
        FocusRowLastPart(FRows.back());
        return true;
    }
    std::vector<TPart> parts = PartsOf(FFocusedInfo.Row);
    int i = PartIndex(parts, FFocusedInfo);
    if (i > 0) {
        SetFocusedPart(parts[size_t(i - 1)].first, FFocusedInfo.Row, parts[size_t(i - 1)].second);
        return true;
    }
    if (!AWrap) return false;
    int row = IndexOfRow(FFocusedInfo.Row);
    if (row <= 0) return false;
    FocusRowLastPart(Rows(row - 1));
    return true;
}

void TcxCustomFilterControl::KeyDown(WORD& Key, TShiftState Shift)
{
    TcxControl::KeyDown(Key, Shift);
    if (Key == 0 || !HasItems() || FEditingState != 0) return;
    bool changed = true;
    int row = IndexOfRow(FFocusedInfo.Row);
    bool onAdd = FFocusedInfo.HitType == fhtAddCondition;
    switch (Key) {
    case VK_TAB:
        if (Shift.Contains(ssCtrl)) {
            changed = false;
            if (TCustomForm* form = GetParentForm(this)) form->SelectNext(this, !Shift.Contains(ssShift), true);
        } else if (Shift.Contains(ssShift))
            FocusPrevPart(true);
        else
            FocusNextPart(true);
        Key = 0;
        break;
    case VK_RIGHT:
        if (onAdd)
            FocusRowFirstPart(FRows.back());
        else
            changed = FocusNextPart(false);
        break;
    case VK_LEFT:
        if (onAdd)
            FocusRowFirstPart(FRows.back());
        else
            changed = FocusPrevPart(false);
        break;
    case VK_DOWN:
        if (onAdd)
            changed = false;
        else if (row + 1 < RowCount())
            FocusRowFirstPart(Rows(row + 1));
        else
            SetFocusedPart(fhtAddCondition, FRows.back());
        break;
    case VK_UP:
        if (onAdd)
            FocusRowFirstPart(FRows.back());
        else if (row > 0)
            FocusRowFirstPart(Rows(row - 1));
        else
            changed = false;
        break;
    case VK_INSERT:
        changed = false;
        if (Shift.Empty()) AddCondition(FFocusedInfo.Row);
        break;
    case VK_DELETE:
        changed = false;
        if (Shift.Contains(ssCtrl)) RemoveFocused();
        break;
    default: changed = false; break;
    }
    if (changed) {
        MakeFocusedVisible();
        LayoutChanged();
    }
}

void TcxCustomFilterControl::SetWantTabs(bool AValue)
{
    FWantTabs = AValue;
    TcxWantedKeys keys{wkArrows, wkChars};
    if (AValue) keys.Include(wkTab);
    SetWantedKeys(keys);
}

void TcxCustomFilterControl::RunFocusedAction(bool AByMouse)
{
    switch (FFocusedInfo.HitType) {
    case fhtButton: ShowRowMenu(); break;
    case fhtBoolOperator: EditBoolOperator(); break;
    case fhtItem: EditItem(); break;
    case fhtOperator: EditOperator(); break;
    case fhtValue: EditValue(AByMouse ? 2 : 0); break;
    case fhtAddCondition: AddCondition(nullptr); break;
    case fhtAddValue: AddValue(); break;
    default: break;
    }
}

void TcxCustomFilterControl::KeyPress(char& Key)
{
    TcxControl::KeyPress(Key);
    if (Key == 0 || !HasItems() || FEditingState != 0) return;
    if (Key == '\r' || Key == ' ') {
        RunFocusedAction(false);
        Key = 0;
    } else if (Key != 27 && FFocusedInfo.HitType == fhtValue) {
        EditValue(1, char32_t(static_cast<unsigned char>(Key)));
        Key = 0;
    }
}

void TcxCustomFilterControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxControl::MouseDown(Button, Shift, X, Y);
    if (!HasItems()) return;
    TcxFilterControlHitInfo hit;
    FViewInfo->GetHitInfo(Shift, TPoint{X, Y}, hit);
    if (Button != mbLeft) return;
    if (hit.HitType == fhtNone || FEditingState != 0) return;
    FHotTrack = hit;
    SetFocusedPart(hit.HitType, hit.Row, hit.ValueIndex);
    MakeFocusedVisible();
    RunFocusedAction(true);
}

void TcxCustomFilterControl::MouseMove(TShiftState Shift, int X, int Y)
{
    TcxControl::MouseMove(Shift, X, Y);
    TcxFilterControlHitInfo hit;
    FViewInfo->GetHitInfo(Shift, TPoint{X, Y}, hit);
    bool same = hit.Row == FHotTrack.Row && hit.HitType == FHotTrack.HitType && hit.ValueIndex == FHotTrack.ValueIndex;
    FHotTrack = hit;
    SetCursor(IsHotTrack() && hit.HitType != fhtNone ? crHandPoint : crDefault);
    if (!same) {
        FViewInfo->Calculate();
        Invalidate();
    }
}

// ---- the published control --------------------------------------------------------------------------------------

TcxFilterControl::~TcxFilterControl()
{
    if (FLinkComponent) FLinkComponent->RemoveFreeNotification(this);
}

IcxFilterControl* TcxFilterControl::GetFilterLink()
{
    return FLinkComponent ? dynamic_cast<IcxFilterControl*>(FLinkComponent) : nullptr;
}

void TcxFilterControl::SetLinkComponent(TComponent* AValue)
{
    if (AValue && !dynamic_cast<IcxFilterControl*>(AValue)) return;
    if (FLinkComponent && FLinkComponent != AValue) FLinkComponent->RemoveFreeNotification(this);
    FLinkComponent = AValue;
    if (!AValue) {
        Clear();
        return;
    }
    AValue->FreeNotification(this);
    TcxFilterCriteria* criteria = GetFilterLink()->GetCriteria();
    if (!criteria) {
        Clear();
        return;
    }
    if (criteria != Criteria()) Criteria()->Assign(criteria);
    RebuildRows();
}

void TcxFilterControl::Notification(TComponent* AComponent, TOperation AOperation)
{
    TcxCustomFilterControl::Notification(AComponent, AOperation);
    if (AOperation == opRemove && AComponent == FLinkComponent) {
        FLinkComponent = nullptr;
        if (!IsDestroying()) Clear();
    }
}
