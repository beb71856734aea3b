#include "cxButtons.h"

#include "Forms.h"
#include "Windows.h"
#include "cxGraphics.h"
#include "cxWinXPPainters.h"
#include "dxThemeManager.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxButtonColors, TPersistent)
QZ_CLASS_IMPL(TcxGlyphList, TImageList)
QZ_CLASS_IMPL(TcxCustomButton, TButton)
QZ_CLASS_IMPL(TcxButton, TcxCustomButton)

// ---- colours ----------------------------------------------------------------------------------------

void TcxButtonColors::Changed()
{
    if (FButton) FButton->Invalidate();
}

void TcxButtonColors::SetColor(TcxButtonState AState, TColor Value)
{
    if (Value == clNone || Value == clDefault) {
        FColors[AState] = clDefault;
        FAssignedColors.Exclude(AState);
    } else if (Value != FColors[AState]) {
        FColors[AState] = Value;
        FAssignedColors.Include(AState);
    }
    Changed();
}

void TcxButtonColors::SetAssignedColors(TcxButtonAssignedColors Value)
{
    if (!FButton || !FButton->ComponentState().Contains(csDesigning)) return;
    for (int k = cxbsDefault; k <= cxbsDisabled; ++k) {
        auto s = TcxButtonState(k);
        if (!Value.Contains(s)) FColors[k] = clDefault;
        if (FColors[k] == clDefault) Value.Exclude(s);
    }
    FAssignedColors = Value;
    Changed();
}

void TcxButtonColors::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxButtonColors*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    std::copy(std::begin(s->FColors), std::end(s->FColors), std::begin(FColors));
    FAssignedColors = s->FAssignedColors;
    Changed();
}

// ---- glyph lists ------------------------------------------------------------------------------------

int TcxGlyphList::AddMaskedGlyph(TBitmap* AImage, TColor ATransparentColor)
{
    auto it = std::find(FUsed.begin(), FUsed.end(), false);
    int index;
    if (it == FUsed.end()) {
        index = AddMasked(AImage, ATransparentColor);
        if (index < 0) return -1;
        FUsed.resize(index + 1, false);
    } else {
        // A free slot takes the new image; the mask's black pixels are drawn.
        index = int(it - FUsed.begin());
        TBitmap mask;
        mask.SetSize(AImage->Width(), AImage->Height());
        for (int y = 0; y < AImage->Height(); ++y)
            for (int x = 0; x < AImage->Width(); ++x)
                mask.Canvas()->SetPixels(x, y, AImage->Canvas()->Pixels(x, y) == ATransparentColor ? clWhite : clBlack);
        Replace(index, AImage, &mask);
    }
    FUsed[index] = true;
    ++FUsedCount;
    return index;
}

void TcxGlyphList::Remove(int AIndex)
{
    if (AIndex < 0 || AIndex >= int(FUsed.size()) || !FUsed[AIndex]) return;
    FUsed[AIndex] = false;
    --FUsedCount;
}

namespace cxButtons {

namespace {
std::vector<std::unique_ptr<TcxGlyphList>>& Cache()
{
    static std::vector<std::unique_ptr<TcxGlyphList>> cache;
    return cache;
}
}  // namespace

TcxGlyphList* GetGlyphList(int AWidth, int AHeight)
{
    auto& cache = Cache();
    for (auto it = cache.rbegin(); it != cache.rend(); ++it)
        if ((*it)->Width() == AWidth && (*it)->Height() == AHeight) return it->get();
    cache.push_back(std::make_unique<TcxGlyphList>(AWidth, AHeight));
    return cache.back().get();
}

void ReturnGlyph(TcxGlyphList* AList, int AIndex)
{
    if (!AList) return;
    AList->Remove(AIndex);
    if (AList->UsedCount() > 0) return;
    auto& cache = Cache();
    cache.erase(std::remove_if(cache.begin(), cache.end(), [AList](const auto& l) { return l.get() == AList; }),
                cache.end());
}

int GlyphListCount() { return int(Cache().size()); }

}  // namespace cxButtons

// ---- the glyph --------------------------------------------------------------------------------------

TcxButtonGlyph::TcxButtonGlyph() : FGlyph(std::make_unique<TBitmap>()) {}

TcxButtonGlyph::~TcxButtonGlyph() { Invalidate(); }

void TcxButtonGlyph::Invalidate()
{
    for (int k = 0; k < 4; ++k) {
        if (FIndexes[k] >= 0) cxButtons::ReturnGlyph(FList, FIndexes[k]);
        FIndexes[k] = -1;
        FImages[k].reset();
    }
    FList = nullptr;
}

void TcxButtonGlyph::SetGlyph(TBitmap* Value)
{
    Invalidate();
    if (Value && !Value->Empty()) FGlyph->Assign(Value);
    else FGlyph = std::make_unique<TBitmap>();
    if (OnChange) OnChange();
}

void TcxButtonGlyph::SetNumGlyphs(int Value)
{
    Value = std::min(Value, 4);
    if (Value <= 0 || Value == FNumGlyphs) return;
    FNumGlyphs = Value;
    Invalidate();
    if (OnChange) OnChange();
}

TSize TcxButtonGlyph::Size() const
{
    if (FGlyph->Empty()) return TSize{0, 0};
    return TSize{FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
}

TBitmap* TcxButtonGlyph::StateImage(TcxButtonState AState)
{
    if (FGlyph->Empty()) return nullptr;
    int k = AState == cxbsDisabled ? 1 : AState == cxbsPressed && FNumGlyphs >= 3 ? 2 : 0;
    if (FImages[k]) return FImages[k].get();
    const TSize size = Size();
    auto image = std::make_unique<TBitmap>();
    image->SetSize(size.cx, size.cy);
    TCanvas* c = image->Canvas();
    auto source = [&](int AIndex, int x, int y) { return FGlyph->Canvas()->Pixels(AIndex * size.cx + x, y); };
    if (k != 1) {
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x) c->SetPixels(x, y, source(k, x, y));
    } else if (FNumGlyphs >= 2) {
        // The second image in the system colours.
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x) {
                TColor p = source(1, x, y);
                c->SetPixels(x, y, p == clWhite ? ColorToRGB(clBtnHighlight) : p == TColor(0x808080) ? ColorToRGB(clBtnShadow)
                                   : p == TransparentColor                         ? ColorToRGB(clBtnFace)
                                                                                   : p);
            }
    } else {
        // Embossed: the glyph's shape in the highlight colour one pixel right
        // and down, then in the shadow colour in place, on the face colour.
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x) c->SetPixels(x, y, ColorToRGB(clBtnFace));
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x)
                if (source(0, x, y) != TransparentColor && x + 1 < size.cx && y + 1 < size.cy)
                    c->SetPixels(x + 1, y + 1, ColorToRGB(clBtnHighlight));
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x)
                if (source(0, x, y) != TransparentColor) c->SetPixels(x, y, ColorToRGB(clBtnShadow));
    }
    FImages[k] = std::move(image);
    return FImages[k].get();
}

int TcxButtonGlyph::ImageIndexOf(TcxButtonState AState)
{
    TBitmap* image = StateImage(AState);
    if (!image) return -1;
    int k = AState == cxbsDisabled ? 1 : AState == cxbsPressed && FNumGlyphs >= 3 ? 2 : 0;
    if (FIndexes[k] < 0) {
        const TSize size = Size();
        if (!FList) FList = cxButtons::GetGlyphList(size.cx, size.cy);
        // A disabled image stands on the face colour, which shows.
        FIndexes[k] = FList->AddMaskedGlyph(image, k == 1 && FNumGlyphs < 2 ? TColor(-1) : TransparentColor);
    }
    return FIndexes[k];
}

void TcxButtonGlyph::Draw(TCanvas* ACanvas, int X, int Y, TcxButtonState AState)
{
    int index = ImageIndexOf(AState);
    if (index >= 0 && FList) FList->Draw(ACanvas, X, Y, index, true);
}

// ---- layout -----------------------------------------------------------------------------------------

namespace cxButtons {

void CalcButtonLayout(const TRect& AClient, TSize ACaptionSize, TSize AGlyphSize, TButtonLayout ALayout, int AMargin,
                      int ASpacing, TPoint& AGlyphPos, TRect& ACaptionRect)
{
    const bool horizontal = ALayout == blGlyphLeft || ALayout == blGlyphRight;
    const int roomW = AClient.Width(), roomH = AClient.Height();
    const int room = horizontal ? roomW : roomH;
    const int glyph = horizontal ? AGlyphSize.cx : AGlyphSize.cy;
    const int caption = horizontal ? ACaptionSize.cx : ACaptionSize.cy;
    int margin = AMargin, spacing = ASpacing;
    if (caption == 0 || glyph == 0) spacing = 0;
    if (margin == -1) {
        if (spacing == -1) {
            margin = spacing = (room - glyph - caption) / 3;
        } else {
            margin = (room - glyph - spacing - caption + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (room - margin - glyph - caption) / 2;
    }
    // Centred in the other direction.
    TPoint g{(roomW - AGlyphSize.cx + 1) / 2, (roomH - AGlyphSize.cy + 1) / 2};
    TPoint t{(roomW - ACaptionSize.cx + 1) / 2, (roomH - ACaptionSize.cy + 1) / 2};
    switch (ALayout) {
    case blGlyphLeft:
        g.X = margin;
        t.X = g.X + AGlyphSize.cx + spacing;
        break;
    case blGlyphRight:
        g.X = roomW - margin - AGlyphSize.cx;
        t.X = g.X - spacing - ACaptionSize.cx;
        break;
    case blGlyphTop:
        g.Y = margin;
        t.Y = g.Y + AGlyphSize.cy + spacing;
        break;
    case blGlyphBottom:
        g.Y = roomH - margin - AGlyphSize.cy;
        t.Y = g.Y - spacing - ACaptionSize.cy;
        break;
    }
    AGlyphPos = TPoint{AClient.Left + g.X, AClient.Top + g.Y};
    ACaptionRect = TRect{AClient.Left + t.X, AClient.Top + t.Y, AClient.Left + t.X + ACaptionSize.cx,
                         AClient.Top + t.Y + ACaptionSize.cy};
}

TPoint DropDownMenuPoint(const TRect& AButtonScreenRect, int AMenuHeight, int AScreenHeight)
{
    TPoint p{AButtonScreenRect.Left, AButtonScreenRect.Bottom};
    if (p.Y + AMenuHeight > AScreenHeight) p.Y -= AMenuHeight + AButtonScreenRect.Height() + 2;
    return p;
}

int EstimateMenuHeight(TPopupMenu* AMenu)
{
    // The menu's border (the window system's metrics are not at hand: 2).
    int h = 2;
    if (!AMenu) return h;
    const int item = GetSystemMetrics(SM_CYMENU);
    for (int k = 0; k < AMenu->Items()->Count(); ++k) h += item;
    return h;
}

}  // namespace cxButtons

// ---- the button ---------------------------------------------------------------------------------------

TcxCustomButton::TcxCustomButton(TComponent* AOwner)
    : TButton(AOwner), FColors(std::make_unique<TcxButtonColors>(this)), FGlyph(std::make_unique<TcxButtonGlyph>()),
      FLookAndFeel(std::make_unique<TcxLookAndFeel>(this))
{
    FGlyph->OnChange = [this] { Invalidate(); };
    FLookAndFeel->OnChanged = [this](TcxLookAndFeel*, TcxLookAndFeelValues) { Changed(); };
    SetDoubleBuffered(true);
    TControlStyle cs = ControlStyle();
    cs.Include(csOpaque);
    SetControlStyle(cs);
}

TcxCustomButton::~TcxCustomButton() = default;

void TcxCustomButton::Changed()
{
    // Whether the system paints the button may have changed.
    if (HandleAllocated()) RecreateWnd();
    else Invalidate();
}

void TcxCustomButton::SetGlyph(TBitmap* Value)
{
    FGlyph->SetGlyph(Value);
    if (Value && !Value->Empty()) {
        const int w = Value->Width(), h = Value->Height();
        if (h > 0 && w % h == 0) FGlyph->SetNumGlyphs(w / h < 5 ? w / h : 1);
        FUseSystemPaint = false;
    }
    Changed();
}

void TcxCustomButton::SetNumGlyphs(int Value)
{
    FGlyph->SetNumGlyphs(Value);
    Invalidate();
}

void TcxCustomButton::SetKind(TcxButtonKind Value)
{
    if (Value == FKind) return;
    FKind = Value;
    Changed();
}

void TcxCustomButton::SetLayout(TButtonLayout Value)
{
    if (Value == FLayout) return;
    FLayout = Value;
    Invalidate();
}

void TcxCustomButton::SetMargin(int Value)
{
    if (Value < -1 || Value == FMargin) return;
    FMargin = Value;
    Invalidate();
}

void TcxCustomButton::SetSpacing(int Value)
{
    if (Value == FSpacing) return;
    FSpacing = Value;
    Invalidate();
}

void TcxCustomButton::SetUseSystemPaint(bool Value)
{
    if (Value == FUseSystemPaint) return;
    FUseSystemPaint = Value;
    Changed();
}

bool TcxCustomButton::IsSystemPainted() const
{
    if (FKind != cxbkStandard || !FUseSystemPaint || !Glyph()->Empty()) return false;
    const bool themes = dxThemeManager::AreVisualStylesAvailable();
    return (FLookAndFeel->NativeStyle() && themes) || FLookAndFeel->Kind() == lfStandard;
}

TcxCustomLookAndFeelPainterClass TcxCustomButton::GetPainter() const
{
    const bool themes = dxThemeManager::AreVisualStylesAvailable();
    if (themes && (FLookAndFeel->NativeStyle() ||
                   (FUseSystemPaint && FLookAndFeel->Kind() == lfStandard)))
        return TcxWinXPLookAndFeelPainter::Instance();
    switch (FLookAndFeel->Kind()) {
    case lfFlat: return TcxFlatLookAndFeelPainter::Instance();
    case lfUltraFlat: return TcxUltraFlatLookAndFeelPainter::Instance();
    default: return FLookAndFeel->Painter();
    }
}

TcxButtonState TcxCustomButton::DrawState(bool APressed, bool AFocused) const
{
    if (!Enabled()) return cxbsDisabled;
    if (APressed || FDroppedDown) return cxbsPressed;
    if (FHot) return cxbsHot;
    if (AFocused || Default()) return cxbsDefault;
    return cxbsNormal;
}

void TcxCustomButton::CreateParams(TCreateParams& Params)
{
    TButton::CreateParams(Params);
    if (!IsSystemPainted()) Params.Style = (Params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

TRect TcxCustomButton::ArrowRect() const
{
    TRect r = ClientRect();
    r.Left = r.Right - cxButtons::DropDownButtonWidth;
    return r;
}

bool TcxCustomButton::CanHotTrack() const
{
    return !IsSystemPainted() && GetPainter()->HotTrackButtons() && Enabled() &&
           !ComponentState().Contains(csDesigning);
}

void TcxCustomButton::SetHot(bool Value)
{
    Value = Value && CanHotTrack();
    if (Value == FHot) return;
    FHot = Value;
    Invalidate();
}

void TcxCustomButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case cxButtons::CM_DROPDOWNPOPUPMENU:
        DoDropDownMenu();
        return;
    case cxButtons::CM_CLOSEUPPOPUPMENU:
        CloseUp();
        return;
    case CN_DRAWITEM: {
        auto* ds = reinterpret_cast<TDrawItemStruct*>(Message.LParam);
        if (!ds) break;
        TCanvas canvas;
        canvas.SetHandle(ds->DC);
        TcxCanvas cx(&canvas);
        bool pressed = (ds->ItemState & ODS_SELECTED) != 0 && !FDropDownPending;
        if (FKind == cxbkDropDown) pressed = FDroppedDown;
        bool focused = (ds->ItemState & ODS_FOCUS) != 0;
        DrawButton(&cx, ds->RcItem, pressed, focused);
        canvas.SetHandle(nullptr);
        Message.Result = 1;
        return;
    }
    case CM_MOUSEENTER:
        if (GetCapture() == nullptr) SetHot(true);
        break;
    case CM_MOUSELEAVE:
        SetHot(false);
        break;
    case WM_MOUSEMOVE:
        if (GetCapture() == nullptr) SetHot(true);
        break;
    case CM_ENABLEDCHANGED:
        if (!Enabled()) FHot = false;
        break;
    case WM_LBUTTONDBLCLK:
        // A double click is a second click.
        Message.Msg = WM_LBUTTONDOWN;
        break;
    default: break;
    }
    TButton::WndProc(Message);
}

void TcxCustomButton::DrawButton(TcxCanvas* ACanvas, const TRect& R, bool APressed, bool AFocused)
{
    TcxCustomLookAndFeelPainterClass painter = GetPainter();
    const TcxButtonState state = DrawState(APressed, AFocused);
    TFont font;
    font.Assign(Font());
    font.SetColor(painter->ButtonGlyphColor(state));
    TColor color = FColors->Color(state);
    if (OnGetDrawParams) OnGetDrawParams(this, state, color, &font);
    TRect content = R;
    TRect arrow;
    if (FKind == cxbkDropDownButton) {
        arrow = ArrowRect();
        content.Right = arrow.Left + 2;
    }
    painter->PaintButton(ACanvas, content, "", state, true, color, font.Color());
    if (state == cxbsPressed) OffsetRect(content, painter->ButtonPressedShift(), painter->ButtonPressedShift());
    // Glyph and caption.
    ACanvas->SetFont(&font);
    const std::string caption = Caption();
    TSize captionSize{0, 0};
    if (!caption.empty()) {
        TRect m{0, 0, content.Width(), 0};
        ACanvas->CalculateTextRect(caption, m, ctfShowPrefix | ctfSingleLine);
        captionSize = TSize{m.Width(), m.Height()};
    }
    TPoint glyphPos;
    TRect captionRect;
    cxButtons::CalcButtonLayout(content, captionSize, FGlyph->Size(), FLayout, FMargin, FSpacing, glyphPos,
                                captionRect);
    if (!Glyph()->Empty()) FGlyph->Draw(ACanvas->Canvas(), glyphPos.X, glyphPos.Y, state);
    if (!caption.empty()) {
        ACanvas->Brush()->SetStyle(bsClear);
        const int flags = ctfCenterH | ctfCenterV | ctfSingleLine | ctfShowPrefix;
        if (state == cxbsDisabled) {
            TRect shifted = captionRect;
            OffsetRect(shifted, 1, 1);
            ACanvas->Font()->SetColor(clBtnHighlight);
            ACanvas->DrawText(caption, shifted, flags);
            ACanvas->Font()->SetColor(font.Color());
        }
        ACanvas->DrawText(caption, captionRect, flags);
        ACanvas->Brush()->SetStyle(bsSolid);
    }
    if (FKind == cxbkDropDownButton) {
        TcxButtonState arrowState = FDroppedDown ? cxbsPressed : state == cxbsPressed ? cxbsNormal : state;
        painter->PaintButton(ACanvas, arrow, "", arrowState, true, color, font.Color());
        painter->DrawArrow(ACanvas, arrow, paDown, painter->ButtonGlyphColor(arrowState));
    }
    if (AFocused && !FDroppedDown) ACanvas->DrawFocusRect(painter->ButtonFocusBounds(ACanvas, R));
}

void TcxCustomButton::DropDown()
{
    FDropDownPending = true;
    if (HandleAllocated()) PostMessage(Handle(), cxButtons::CM_DROPDOWNPOPUPMENU, 0, 0);
}

void TcxCustomButton::DoDropDownMenu()
{
    TPopupMenu* menu = FDropDownMenu.Get();
    if (!menu || FKind == cxbkStandard) {
        FDropDownPending = false;
        return;
    }
    FDroppedDown = true;
    Repaint();
    TPoint tl = ClientToScreen(TPoint{0, 0});
    TRect screenRect{tl.X, tl.Y, tl.X + Width(), tl.Y + Height()};
    TPoint p = cxButtons::DropDownMenuPoint(screenRect, cxButtons::EstimateMenuHeight(menu),
                                            GetSystemMetrics(SM_CYSCREEN));
    TWeakRef<TcxCustomButton> self(this);
    menu->SetPopupComponent(this);
    menu->Popup(p.X, p.Y);   // runs until the menu closes
    if (self && HandleAllocated()) PostMessage(Handle(), cxButtons::CM_CLOSEUPPOPUPMENU, 0, 0);
}

void TcxCustomButton::CloseUp()
{
    TPoint p;
    GetCursorPos(&p);
    HWND under = WindowFromPoint(p);
    FHot = CanHotTrack() && HandleAllocated() && under == Handle();
    FDroppedDown = false;
    FDropDownPending = false;
    Invalidate();
}

void TcxCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && FKind != cxbkStandard) {
        if (FDroppedDown) {
            FMenuJustClosed = true;
            FDroppedDown = false;
            Invalidate();
        } else if (FKind == cxbkDropDown || PtInRect(ArrowRect(), TPoint{X, Y})) {
            DropDown();
        }
    }
    TButton::MouseDown(Button, Shift, X, Y);
}

void TcxCustomButton::KeyDown(WORD& Key, TShiftState Shift)
{
    if (FKind == cxbkDropDownButton && (Key == VK_UP || Key == VK_DOWN) &&
        (Shift.Contains(ssAlt) || Shift.Contains(ssShift))) {
        if (!FDroppedDown) DropDown();
        Key = 0;
        return;
    }
    TButton::KeyDown(Key, Shift);
}

void TcxCustomButton::Click()
{
    if (FKind == cxbkDropDown && !FDroppedDown) {
        if (!FMenuJustClosed) DropDown();
        FMenuJustClosed = false;
        return;
    }
    if (FKind != cxbkStandard && FMenuJustClosed) {
        FMenuJustClosed = false;
        return;
    }
    TButton::Click();
}
