#include "cxNavigator.h"

#include "ExtCtrls.h"
#include "Forms.h"
#include "Windows.h"
#include "cxClasses.h"
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxNavigatorButton, TPersistent)
QZ_CLASS_IMPL(TcxCustomNavigatorButtons, TPersistent)
QZ_CLASS_IMPL(TcxNavigatorControlButtons, TcxCustomNavigatorButtons)
QZ_CLASS_IMPL(TcxNavigatorControlNotifier, TObject)
QZ_CLASS_IMPL(TcxNavigatorViewInfo, TObject)

#define RS(Name, Text) const TcxResourceStringRec Name = {#Name, Text};
RS(cxNavigatorHint_First, "First record")
RS(cxNavigatorHint_PriorPage, "Prior page")
RS(cxNavigatorHint_Prior, "Prior record")
RS(cxNavigatorHint_Next, "Next record")
RS(cxNavigatorHint_NextPage, "Next page")
RS(cxNavigatorHint_Last, "Last record")
RS(cxNavigatorHint_Insert, "Insert record")
RS(cxNavigatorHint_Delete, "Delete record")
RS(cxNavigatorHint_Edit, "Edit record")
RS(cxNavigatorHint_Post, "Post edit")
RS(cxNavigatorHint_Cancel, "Cancel edit")
RS(cxNavigatorHint_Refresh, "Refresh data")
RS(cxNavigatorHint_SaveBookmark, "Save Bookmark")
RS(cxNavigatorHint_GotoBookmark, "Goto Bookmark")
RS(cxNavigatorHint_Filter, "Filter data")
#undef RS

const TcxResourceStringRec* const cxNavigatorHints[cxNavigator::ButtonCount] = {
    &cxNavigatorHint_First,  &cxNavigatorHint_PriorPage,    &cxNavigatorHint_Prior,
    &cxNavigatorHint_Next,   &cxNavigatorHint_NextPage,     &cxNavigatorHint_Last,
    &cxNavigatorHint_Insert, &cxNavigatorHint_Delete,       &cxNavigatorHint_Edit,
    &cxNavigatorHint_Post,   &cxNavigatorHint_Cancel,       &cxNavigatorHint_Refresh,
    &cxNavigatorHint_SaveBookmark, &cxNavigatorHint_GotoBookmark, &cxNavigatorHint_Filter,
};

// ---- the default images ---------------------------------------------------------------------------

namespace cxNavigator {

namespace {

// The fifteen glyphs side by side, 12 by 11 each, in button order: '#' is
// drawn in black, 's' in silver, 'o' (olive) is see-through.
const char* const GlyphArt[DefaultGlyphHeight] = {
    "oooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooo####oooooooooooooooooooooooooooooooooooooooo",
    "oo#ooooo#oooooooo#oooo#ooooooooo#oooooo#ooooooooo#oooo#oooooooo#ooooo#ooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooo#oooo#oooooo######oooooo######oooo##########o",
    "oo#oooo##ooooooo##ooo##oooooooo##oooooo##oooooooo##ooo##ooooooo##oooo#ooooooo##oooooooooooooooooooooooooooooooooooooo#oooo##oooo##oooo#oooooo#ooooo#ssss#oooooo#ssss#ooooo#ssssss#oo",
    "oo#ooo###oooooo###oo###ooooooo###oooooo###ooooooo###oo###oooooo###ooo#ooooooo##oooooooooooooooooooooo##ooooooooooooo##ooooo##oo##ooooo#oooooo#ooooo#s##s#oooooo#ssss#oooooo#ssss#ooo",
    "oo#oo####ooooo####o####oooooo####oooooo####oooooo####o####ooooo####oo#ooooo#######ooooo#######oooooo####ooooooooooo##ooooooo####oooooo#ooooo###oooo#ssss#oooooo#ss#s#ooooooo#ss#oooo",
    "oo#o#####oooo##########ooooo#####oooooo#####ooooo##########oooo#####o#ooooo#######ooooo#######ooooo######ooooo#ooo##ooooooooo##ooooooo#oooooo#ooooo#ssss#oooooo######ooooooo#ss#oooo",
    "oo#oo####ooooo####o####oooooo####oooooo####oooooo####o####ooooo####oo#ooooooo##ooooooooooooooooooo########oooo##o##ooooooooo####ooooooooooooooooooo#ssss#oooooo#ss#s#ooooooo#ss#oooo",
    "oo#ooo###oooooo###oo###ooooooo###oooooo###ooooooo###oo###oooooo###ooo#ooooooo##oooooooooooooooooo##########oooo###ooooooooo##oo##ooooo#oooooo#ooooo#s##s#oooooo#ssss#ooooooo#ss#oooo",
    "oo#oooo##ooooooo##ooo##oooooooo##oooooo##oooooooo##ooo##ooooooo##oooo#ooooooo##ooooooooooooooooooooooooooooooooo#ooooooooo##oooo##ooooo#oooo#oooooo##oo##oooooo##oo##ooooooo#ss#oooo",
    "oo#ooooo#oooooooo#oooo#ooooooooo#oooooo#ooooooooo#oooo#oooooooo#ooooo#oooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooo####ooooooo#oooo#oooooo#oooo#oooooooo##ooooo",
    "oooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooo",
};

std::unique_ptr<TImageList>& DefaultImageList()
{
    static std::unique_ptr<TImageList> list;
    return list;
}

}  // namespace

TCustomImageList* DefaultImages()
{
    std::unique_ptr<TImageList>& list = DefaultImageList();
    if (!list) {
        TBitmap strip;
        strip.SetSize(DefaultGlyphWidth * ButtonCount, DefaultGlyphHeight);
        for (int y = 0; y < DefaultGlyphHeight; ++y)
            for (int x = 0; x < DefaultGlyphWidth * ButtonCount; ++x) {
                char c = GlyphArt[y][x];
                strip.Canvas()->SetPixels(x, y, c == '#' ? clBlack : c == 's' ? clSilver : clOlive);
            }
        list = std::make_unique<TImageList>(DefaultGlyphWidth, DefaultGlyphHeight);
        list->AddMasked(&strip, clOlive);
    }
    return list.get();
}

void Finalize() { DefaultImageList().reset(); }

}  // namespace cxNavigator

// ---- a button -----------------------------------------------------------------------------------

TcxNavigatorButton::TcxNavigatorButton(TcxCustomNavigatorButtons* AButtons) : FButtons(AButtons) {}

TPersistent* TcxNavigatorButton::GetOwner() const { return FButtons; }

void TcxNavigatorButton::Assign(TPersistent* Source)
{
    auto* b = dynamic_cast<TcxNavigatorButton*>(Source);
    if (!b) {
        TPersistent::Assign(Source);
        return;
    }
    SetEnabled(b->FEnabled);
    Hint = b->Hint;
    SetImageIndex(b->FImageIndex);
    SetVisible(b->FVisible);
    FVisibleAssigned = b->FVisibleAssigned;
    OnClick = b->OnClick;
}

void TcxNavigatorButton::LayoutChanged()
{
    if (FButtons && FButtons->Navigator()) FButtons->Navigator()->NavigatorLayoutChanged();
}

void TcxNavigatorButton::SetEnabled(bool Value)
{
    if (Value == FEnabled) return;
    FEnabled = Value;
    if (FVisible) LayoutChanged();
}

void TcxNavigatorButton::SetImageIndex(int Value)
{
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    if (FVisible) LayoutChanged();
}

void TcxNavigatorButton::SetVisible(bool Value)
{
    FVisibleAssigned = true;
    if (Value == FVisible) return;
    FVisible = Value;
    LayoutChanged();
}

bool TcxNavigatorButton::InternalEnabled() const
{
    return FEnabled && (!FButtons || FButtons->IsButtonEnabled(FDefaultIndex));
}

std::string TcxNavigatorButton::InternalHint() const
{
    if (!Hint.empty() || !FButtons) return Hint;
    return FButtons->GetButtonHint(FDefaultIndex);
}

TCustomImageList* TcxNavigatorButton::GetImageList() const
{
    if (FButtons && FButtons->Images() && FImageIndex >= 0) return FButtons->Images();
    return cxNavigator::DefaultImages();
}

int TcxNavigatorButton::GetImageListIndex() const
{
    if (FButtons && FButtons->Images() && FImageIndex >= 0) return FImageIndex;
    return FDefaultIndex;
}

int TcxNavigatorButton::GetWidth() const { return GetImageList()->Width(); }
int TcxNavigatorButton::GetHeight() const { return GetImageList()->Height(); }

void TcxNavigatorButton::Click()
{
    if (OnClick) {
        OnClick(this);
        return;
    }
    if (!FButtons) return;
    bool done = false;
    if (FButtons->OnButtonClick) FButtons->OnButtonClick(FButtons, FDefaultIndex, done);
    if (!done) FButtons->DoButtonClick(FDefaultIndex);
}

// ---- the set of buttons ---------------------------------------------------------------------------

TcxCustomNavigatorButtons::TcxCustomNavigatorButtons(IcxNavigatorOwner* ANavigator)
    : FNavigator(ANavigator), FImageChangeLink(std::make_unique<TChangeLink>())
{
    FImageChangeLink->OnChange = [this](TObject*) {
        if (FNavigator) FNavigator->NavigatorLayoutChanged();
    };
    CreateButtons();
}

TcxCustomNavigatorButtons::~TcxCustomNavigatorButtons()
{
    if (TCustomImageList* images = FImages.Get()) images->UnRegisterChanges(FImageChangeLink.get());
    DestroyButtons();
}

void TcxCustomNavigatorButtons::CreateButtons()
{
    for (int k = 0; k < cxNavigator::ButtonCount; ++k) {
        auto b = std::make_unique<TcxNavigatorButton>(this);
        b->SetDefaultIndex(k);
        FButtons.push_back(std::move(b));
    }
}

TPersistent* TcxCustomNavigatorButtons::GetOwner() const
{
    return FNavigator ? FNavigator->GetNavigatorOwnerComponent() : nullptr;
}

TcxNavigatorButton* TcxCustomNavigatorButtons::Button(int AIndex) const
{
    if (AIndex < 0 || AIndex >= int(FButtons.size())) throw EListError("List index out of bounds (" + std::to_string(AIndex) + ")");
    return FButtons[AIndex].get();
}

void TcxCustomNavigatorButtons::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomNavigatorButtons*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    int n = std::min(ButtonCount(), s->ButtonCount());
    for (int k = 0; k < n; ++k) Button(k)->Assign(s->Button(k));
    ConfirmDelete = s->ConfirmDelete;
    SetImages(s->Images());
}

void TcxCustomNavigatorButtons::SetImages(TCustomImageList* Value)
{
    if (TCustomImageList* old = FImages.Get()) old->UnRegisterChanges(FImageChangeLink.get());
    FImages = Value;
    if (Value) {
        Value->RegisterChanges(FImageChangeLink.get());
        if (FNavigator && FNavigator->GetNavigatorOwnerComponent())
            Value->FreeNotification(FNavigator->GetNavigatorOwnerComponent());
    }
    if (FNavigator) FNavigator->NavigatorLayoutChanged();
}

bool TcxCustomNavigatorButtons::IsButtonEnabled(int)
{
    TWinControl* c = FNavigator ? FNavigator->GetNavigatorWinControl() : nullptr;
    return c && c->Enabled();
}

std::string TcxCustomNavigatorButtons::GetButtonHint(int ADefaultIndex)
{
    if (ADefaultIndex < 0 || ADefaultIndex >= cxNavigator::ButtonCount) return std::string();
    return cxClasses::GetResourceString(cxNavigatorHints[ADefaultIndex]);
}

void TcxNavigatorControlButtons::DoButtonClick(int ADefaultIndex)
{
    if (IcxNavigator* n = GetNavigator()) n->DoAction(ADefaultIndex);
    if (Navigator()) Navigator()->NavigatorButtonsStateChanged();
}

bool TcxNavigatorControlButtons::IsButtonEnabled(int ADefaultIndex)
{
    IcxNavigator* n = GetNavigator();
    TWinControl* c = Navigator() ? Navigator()->GetNavigatorWinControl() : nullptr;
    if (!n || (c && !c->Enabled())) return false;
    using namespace cxNavigator;
    switch (ADefaultIndex) {
    case nbFirst:
    case nbPriorPage:
    case nbPrior: return !n->IsBof();
    case nbNext:
    case nbNextPage:
    case nbLast: return !n->IsEof();
    case nbInsert: return n->CanInsert();
    case nbDelete: return n->CanDelete();
    case nbEdit: return n->CanEdit() && !n->IsEditing();
    case nbPost:
    case nbCancel: return n->CanEdit() && n->IsEditing();
    case nbGotoBookmark: return n->IsBookmarkAvailable();
    case nbRefresh:
    case nbSaveBookmark:
    case nbFilter: return true;
    default: return false;
    }
}

void TcxNavigatorControlButtons::ReleaseBookmark()
{
    IcxNavigator* n = GetNavigator();
    if (n && n->IsBookmarkAvailable()) n->ClearBookmark();
}

// ---- the notifier -----------------------------------------------------------------------------------

void TcxNavigatorControlNotifier::AddNavigator(IcxNavigatorOwner* ANavigator)
{
    if (ANavigator && std::find(FList.begin(), FList.end(), ANavigator) == FList.end()) FList.push_back(ANavigator);
}

void TcxNavigatorControlNotifier::RemoveNavigator(IcxNavigatorOwner* ANavigator)
{
    FList.erase(std::remove(FList.begin(), FList.end(), ANavigator), FList.end());
}

void TcxNavigatorControlNotifier::RefreshNavigatorButtons()
{
    // A navigator may leave the list while it is told.
    std::vector<IcxNavigatorOwner*> list = FList;
    for (IcxNavigatorOwner* n : list)
        if (std::find(FList.begin(), FList.end(), n) != FList.end()) n->NavigatorButtonsStateChanged();
}

// ---- the strip ----------------------------------------------------------------------------------------

namespace {

TcxCustomLookAndFeelPainterClass PainterOf(IcxNavigatorOwner* ANavigator)
{
    TcxLookAndFeel* lf = ANavigator ? ANavigator->GetNavigatorLookAndFeel() : nullptr;
    return lf ? lf->Painter() : TcxStandardLookAndFeelPainter::Instance();
}

// The painter that draws the strip's frame as selected.
bool DrawsSelectableFrame(TcxCustomLookAndFeelPainterClass APainter)
{
    return dynamic_cast<const TcxUltraFlatLookAndFeelPainter*>(APainter) != nullptr;
}

}  // namespace

TcxNavigatorViewInfo::TcxNavigatorViewInfo(IcxNavigatorOwner* ANavigator, bool AIsInplace)
    : FNavigator(ANavigator), FIsInplace(AIsInplace), FRepeatTimer(std::make_unique<TTimer>(nullptr)),
      FHintTimer(std::make_unique<TTimer>(nullptr))
{
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->OnTimer = [this](TObject*) { RepeatTimerTick(); };
    FHintTimer->SetEnabled(false);
    FHintTimer->SetInterval(500);
    FHintTimer->OnTimer = [this](TObject*) { ShowHint(); };
}

TcxNavigatorViewInfo::~TcxNavigatorViewInfo()
{
    FRepeatTimer->SetEnabled(false);
    FHintTimer->SetEnabled(false);
}

void TcxNavigatorViewInfo::Calculate(int& AWidth, int& AHeight, bool AWithGlyphHeight)
{
    FIsDirty = true;
    FHotButton = FPressedButton = nullptr;
    FButtons.clear();
    TcxCustomNavigatorButtons* set = FNavigator ? FNavigator->GetNavigatorButtonSet() : nullptr;
    if (set)
        for (int k = 0; k < set->ButtonCount(); ++k)
            if (set->Button(k)->Visible()) {
                TcxNavigatorButtonViewInfo info;
                info.Button = set->Button(k);
                FButtons.push_back(info);
            }
    const int count = int(FButtons.size());
    TcxCustomLookAndFeelPainterClass painter = PainterOf(FNavigator);
    std::vector<int> widths(count);
    int sum = 0, minHeight = 0;
    for (int k = 0; k < count; ++k) {
        TRect off = painter->ButtonGroupFrameWidths(count, k);
        widths[k] = FButtons[k].Button->GetWidth() + off.Left + off.Right + 1;
        sum += widths[k];
        int h = off.Top + off.Bottom + 1 + (AWithGlyphHeight ? FButtons[k].Button->GetHeight() : 0);
        minHeight = std::max(minHeight, h);
    }
    AHeight = std::max(AHeight, minHeight);
    int extra = 0;
    if (AWidth < sum || count == 0) {
        AWidth = sum;
    } else {
        // What the division leaves over stays unused.
        extra = (AWidth - sum) / count;
        AWidth = sum + count * extra;
    }
    TRect r = FNavigator ? FNavigator->GetNavigatorRect() : TRect{};
    int x = r.Left;
    for (int k = 0; k < count; ++k) {
        FButtons[k].Bounds = TRect{x, r.Top, x + widths[k] + extra, r.Top + AHeight};
        x = FButtons[k].Bounds.Right;
    }
}

void TcxNavigatorViewInfo::Update()
{
    TRect r = FNavigator ? FNavigator->GetNavigatorRect() : TRect{};
    int w = r.Width(), h = r.Height();
    Calculate(w, h, false);
    for (TcxNavigatorButtonViewInfo& info : FButtons) {
        info.Enabled = info.Button->InternalEnabled();
        info.Hint = info.Button->InternalHint();
    }
    FIsDirty = false;
}

int TcxNavigatorViewInfo::ButtonAt(int X, int Y) const
{
    for (int k = 0; k < int(FButtons.size()); ++k)
        if (PtInRect(FButtons[k].Bounds, TPoint{X, Y})) return k;
    return -1;
}

const TcxNavigatorButtonViewInfo* TcxNavigatorViewInfo::InfoOf(TcxNavigatorButton* AButton) const
{
    for (const TcxNavigatorButtonViewInfo& info : FButtons)
        if (info.Button == AButton) return &info;
    return nullptr;
}

TcxNavigatorButton* TcxNavigatorViewInfo::FocusedButton()
{
    if ((!FFocusedButton || !FFocusedButton->Visible() || !InfoOf(FFocusedButton)) && !FButtons.empty())
        FFocusedButton = FButtons.front().Button;
    return FFocusedButton;
}

void TcxNavigatorViewInfo::InvalidateButton(TcxNavigatorButton* AButton)
{
    const TcxNavigatorButtonViewInfo* info = InfoOf(AButton);
    TWinControl* c = FNavigator ? FNavigator->GetNavigatorWinControl() : nullptr;
    if (info && c && c->HandleAllocated()) ::InvalidateRect(c->Handle(), &info->Bounds, false);
}

bool TcxNavigatorViewInfo::CanSelect() const { return DrawsSelectableFrame(PainterOf(FNavigator)); }

void TcxNavigatorViewInfo::UpdateSelected()
{
    if (!CanSelect()) return;
    bool selected = FHotButton || FPressedButton || (FNavigator && FNavigator->IsNavigatorFocused());
    if (selected == FSelected) return;
    FSelected = selected;
    // Only the frame along the strip changes.
    TWinControl* c = FNavigator ? FNavigator->GetNavigatorWinControl() : nullptr;
    if (!c || !c->HandleAllocated()) return;
    TRect r = FNavigator->GetNavigatorRect();
    const TRect sides[4] = {{r.Left, r.Top, r.Right, r.Top + 1},
                            {r.Left, r.Bottom - 1, r.Right, r.Bottom},
                            {r.Left, r.Top, r.Left + 1, r.Bottom},
                            {r.Right - 1, r.Top, r.Right, r.Bottom}};
    for (const TRect& s : sides) ::InvalidateRect(c->Handle(), &s, false);
}

void TcxNavigatorViewInfo::MouseDown(int X, int Y)
{
    FHintTimer->SetEnabled(false);
    HideHint();
    int k = ButtonAt(X, Y);
    if (k >= 0 && FButtons[k].Enabled) {
        FPressedButton = FFocusedButton = FButtons[k].Button;
        InvalidateButton(FPressedButton);
        FRepeatTimer->SetEnabled(false);
        FRepeatTimer->SetInterval(400);
        FRepeatTimer->SetEnabled(true);
    }
    UpdateSelected();
}

void TcxNavigatorViewInfo::MouseMove(int X, int Y)
{
    int k = ButtonAt(X, Y);
    TcxNavigatorButton* b = k >= 0 ? FButtons[k].Button : nullptr;
    if (b != FHotButton) {
        TcxNavigatorButton* old = FHotButton;
        FHotButton = b;
        if (old && InfoOf(old)->Enabled) InvalidateButton(old);
        if (b && FButtons[k].Enabled) InvalidateButton(b);
        if (!b) {
            FHintTimer->SetEnabled(false);
            HideHint();
        } else if (FHintShowing) {
            ShowHint();
        } else {
            FHintTimer->SetEnabled(false);
            FHintTimer->SetEnabled(true);
        }
    }
    UpdateSelected();
}

void TcxNavigatorViewInfo::MouseUp()
{
    FRepeatTimer->SetEnabled(false);
    TcxNavigatorButton* pressed = FPressedButton;
    FPressedButton = nullptr;
    if (pressed) InvalidateButton(pressed);
    FHintTimer->SetEnabled(false);
    FHintTimer->SetEnabled(true);
    UpdateSelected();
    if (pressed) pressed->Click();
}

void TcxNavigatorViewInfo::RepeatTimerTick()
{
    FRepeatTimer->SetInterval(100);
    TcxNavigatorButton* b = FPressedButton;
    if (!b || b != FHotButton || !InfoOf(b) || !InfoOf(b)->Enabled) return;
    if (b->DefaultIndex() != cxNavigator::nbPrior && b->DefaultIndex() != cxNavigator::nbNext) return;
    try {
        b->Click();
    } catch (...) {
        FRepeatTimer->SetEnabled(false);
        throw;
    }
}

void TcxNavigatorViewInfo::RefreshButtonsEnabled()
{
    for (TcxNavigatorButtonViewInfo& info : FButtons) {
        bool e = info.Button->InternalEnabled();
        if (e == info.Enabled) continue;
        info.Enabled = e;
        InvalidateButton(info.Button);
    }
}

void TcxNavigatorViewInfo::HideHint()
{
    if (FHintWindow) FHintWindow->ReleaseHandle();
    FHintWindow.reset();
    FHintShowing = false;
    FHintText.clear();
}

void TcxNavigatorViewInfo::ShowHint()
{
    HideHint();
    FHintTimer->SetEnabled(false);
    const TcxNavigatorButtonViewInfo* info = FHotButton ? InfoOf(FHotButton) : nullptr;
    if (!info || !FNavigator || !FNavigator->IsNavigatorHintEnabled()) return;
    std::string text = GetShortHint(info->Hint);
    if (text.empty()) return;
    TWinControl* c = FNavigator->GetNavigatorWinControl();
    TCustomForm* form = c ? GetParentForm(c) : nullptr;
    if (form && form->HandleAllocated() && !form->Active()) return;
    FHintWindow = std::make_unique<THintWindow>(nullptr);
    if (Application) FHintWindow->SetColor(Application->HintColor);
    TRect r = FHintWindow->CalcHintRect(GetSystemMetrics(SM_CXSCREEN), text);
    TPoint p;
    GetCursorPos(&p);
    // Below the mouse pointer.
    OffsetRect(r, p.X, p.Y + GetSystemMetrics(SM_CYCURSOR));
    FHintWindow->ActivateHint(r, text);
    FHintShowing = true;
    FHintText = text;
}

void TcxNavigatorViewInfo::Paint()
{
    if (FIsDirty) Update();
    TCanvas* target = FNavigator ? FNavigator->GetNavigatorPaintCanvas() : nullptr;
    if (!target) return;
    TcxCanvas canvas(target);
    for (int k = 0; k < int(FButtons.size()); ++k) PaintButton(&canvas, k);
    TWinControl* c = FNavigator->GetNavigatorWinControl();
    const bool enabled = c && c->Enabled();
    const bool designing = c && c->ComponentState().Contains(csDesigning);
    TRect r = FNavigator->GetNavigatorRect();
    PainterOf(FNavigator)->DrawNavigatorFrame(&canvas, r, FIsInplace && enabled,
                                              FSelected || (!FIsInplace && designing && enabled));
    if (FIsInplace) canvas.ExcludeClipRect(r);
}

void TcxNavigatorViewInfo::PaintButton(TcxCanvas* ACanvas, int AIndex)
{
    const TcxNavigatorButtonViewInfo& info = FButtons[AIndex];
    if (!ACanvas->RectVisible(info.Bounds)) return;
    TcxCustomLookAndFeelPainterClass painter = PainterOf(FNavigator);
    TcxButtonState state = !info.Enabled                                            ? cxbsDisabled
                           : info.Button == FPressedButton && info.Button == FHotButton ? cxbsPressed
                           : info.Button == FHotButton                              ? cxbsHot
                                                                                    : cxbsNormal;
    const int count = int(FButtons.size());
    TRect off = painter->ButtonGroupFrameWidths(count, AIndex);
    TRect b = info.Bounds;
    TCustomImageList* images = info.Button->GetImageList();
    const int gw = images->Width(), gh = images->Height();
    TRect room{b.Left + off.Left, b.Top + off.Top, b.Right - off.Right - 1, b.Bottom - off.Bottom - 1};
    TRect glyph;
    if (room.Width() < gw || room.Height() < gh) {
        glyph = room;
    } else {
        int x = b.Left + (b.Width() - gw) / 2, y = b.Top + (b.Height() - gh) / 2;
        glyph = TRect{x, y, x + gw, y + gh};
    }
    if (state == cxbsPressed) OffsetRect(glyph, 1, 1);
    ACanvas->SaveClipRegion();
    ACanvas->IntersectClipRect(glyph);
    ACanvas->FillRect(glyph, painter->ButtonFaceColor(state));
    images->Draw(ACanvas->Canvas(), glyph.Left, glyph.Top, info.Button->GetImageListIndex(), state != cxbsDisabled);
    ACanvas->RestoreClipRegion();
    if (FNavigator->IsNavigatorTabStop() && info.Button == FocusedButton() && FNavigator->IsNavigatorFocused())
        ACanvas->DrawFocusRect(glyph);
    ACanvas->SaveClipRegion();
    ACanvas->ExcludeClipRect(glyph);
    painter->PaintGroupedButton(ACanvas, b, state, count, AIndex, clWindow);
    ACanvas->RestoreClipRegion();
}
