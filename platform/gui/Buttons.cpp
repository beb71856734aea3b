#include "Buttons.h"
#include "ActnList.h"
#include "QzStdPrivate.h"
#include "Themes.h"

using namespace qzgui;

QZ_CLASS_IMPL(TBitBtn, TButton)
QZ_CLASS_IMPL(TSpeedButton, TGraphicControl)

// ---- the face: glyph and caption ------------------------------------------------------------

namespace {

// One image of a glyph strip with its transparent colour made see-through;
// engraved (the shape in highlight one pixel down and right, then in shadow) when asked.
void DrawGlyphCell(TCanvas* canvas, TBitmap* glyph, int index, int count, TPoint at, bool engrave)
{
    glyph->FinishDrawing();
    const QImage& src = glyph->Image()->Img;
    int w = glyph->Width() / count, h = glyph->Height();
    QImage cell = src.copy(index * w, 0, w, h).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = QCol(glyph->TransparentColor()).rgb() & 0xFFFFFF;
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(cell.scanLine(y));
        for (int x = 0; x < w; ++x)
            if ((row[x] & 0xFFFFFF) == key) row[x] = 0;
    }
    HDC dc = canvas->Handle();
    QPainter* p = dc ? dc->P() : nullptr;
    if (!p) return;
    p->save();
    QPoint d = dc->ToDevice(QPoint(at.X, at.Y));
    if (engrave) {
        // Dark pixels form the shape; light ones vanish into the face.
        QImage hi(w, h, QImage::Format_ARGB32), sh(w, h, QImage::Format_ARGB32);
        hi.fill(0);
        sh.fill(0);
        for (int y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<const QRgb*>(cell.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                if (qAlpha(row[x]) == 0 || qGray(row[x]) > 192) continue;
                hi.setPixel(x, y, QCol(clBtnHighlight).rgba());
                sh.setPixel(x, y, QCol(clBtnShadow).rgba());
            }
        }
        p->drawImage(d + QPoint(1, 1), hi);
        p->drawImage(d, sh);
    } else {
        p->drawImage(d, cell);
    }
    p->restore();
}

} // namespace

TRect TButtonFace::Draw(TCanvas* canvas, const TRect& client, TPoint offset, const std::string& caption,
                        TButtonState state, bool transparent) const
{
    const bool hasGlyph = Glyph && !Glyph->Empty();
    const int n = std::clamp(NumGlyphs, 1, 4);
    TSize gs{hasGlyph ? Glyph->Width() / n : 0, hasGlyph ? Glyph->Height() : 0};
    TRect tr = Rect(0, 0, client.Width(), 0);
    TSize ts{0, 0};
    if (!caption.empty()) {
        canvas->DrawText(caption, tr, DT_CALCRECT | DT_SINGLELINE);
        ts = TSize{tr.Width(), tr.Height()};
    }
    const bool horz = Layout == blGlyphLeft || Layout == blGlyphRight;
    const int total = horz ? client.Width() : client.Height();
    const int glyphLen = horz ? gs.cx : gs.cy;
    const int textLen = horz ? ts.cx : ts.cy;
    int margin = Margin, spacing = Spacing;
    if (!hasGlyph || caption.empty()) spacing = 0;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (total - glyphLen - textLen) / 3;
            spacing = margin;
        } else {
            margin = (total - glyphLen - spacing - textLen) / 2;
        }
    } else if (spacing == -1) {
        spacing = (total - margin - glyphLen - textLen) / 2;
    }
    TPoint gp, tp;
    const int cx = client.Width(), cy = client.Height();
    switch (Layout) {
    case blGlyphLeft:
        gp = Point(margin, (cy - gs.cy) / 2);
        tp = Point(margin + gs.cx + spacing, (cy - ts.cy) / 2);
        break;
    case blGlyphRight:
        gp = Point(cx - margin - gs.cx, (cy - gs.cy) / 2);
        tp = Point(gp.X - spacing - ts.cx, (cy - ts.cy) / 2);
        break;
    case blGlyphTop:
        gp = Point((cx - gs.cx) / 2, margin);
        tp = Point((cx - ts.cx) / 2, margin + gs.cy + spacing);
        break;
    case blGlyphBottom:
        gp = Point((cx - gs.cx) / 2, cy - margin - gs.cy);
        tp = Point((cx - ts.cx) / 2, gp.Y - spacing - ts.cy);
        break;
    }
    const TPoint base = Point(client.Left + offset.X, client.Top + offset.Y);
    if (hasGlyph) {
        int index = int(state);
        bool engrave = false;
        if (index >= n) {
            engrave = state == bsDisabled;
            index = state == bsExclusive && n > 2 ? 2 : 0;
        }
        DrawGlyphCell(canvas, Glyph, index, n, Point(base.X + gp.X, base.Y + gp.Y), engrave);
    }
    TRect textRect = Bounds(base.X + tp.X, base.Y + tp.Y, ts.cx, ts.cy);
    if (!caption.empty()) {
        canvas->Brush()->SetStyle(bsClear);
        if (state == bsDisabled) {
            TRect o = textRect;
            OffsetRect(o, 1, 1);
            TColor keep = canvas->Font()->Color();
            canvas->Font()->SetColor(clBtnHighlight);
            canvas->DrawText(caption, o, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            canvas->Font()->SetColor(clBtnShadow);
            canvas->DrawText(caption, textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            canvas->Font()->SetColor(keep);
        } else {
            canvas->DrawText(caption, textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
    (void)transparent;
    return textRect;
}

// ---- bit button ------------------------------------------------------------------------------

namespace {

struct TKindInfo {
    const char* Caption;
    TModalResult Result;
};
const TKindInfo KindInfo[] = {
    {"", mrNone},           {"OK", mrOk},          {"Cancel", mrCancel}, {"&Help", mrNone},
    {"&Yes", mrYes},        {"&No", mrNo},         {"&Close", mrNone},   {"Abort", mrAbort},
    {"&Retry", mrRetry},    {"&Ignore", mrIgnore}, {"&All", mrAll},
};

// The kinds' pictures, drawn here: 18 x 18 on an olive key colour.
std::unique_ptr<TBitmap> KindGlyph(TBitBtnKind kind)
{
    if (kind == bkCustom) return nullptr;
    auto b = std::make_unique<TBitmap>(18, 18);
    QImage& img = b->Image()->Img;
    img.fill(QColor(128, 128, 0));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    auto pen = [&](QColor c, int w) { p.setPen(QPen(c, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin)); };
    switch (kind) {
    case bkOK:
    case bkYes:
    case bkAll:
        pen(QColor(0, 128, 0), 3);
        p.drawPolyline(QPolygon({QPoint(3, 9), QPoint(7, 13), QPoint(14, 4)}));
        if (kind == bkAll) p.drawLine(QPoint(9, 14), QPoint(15, 8));
        break;
    case bkCancel:
    case bkAbort:
        pen(QColor(192, 0, 0), 3);
        p.drawLine(QPoint(4, 4), QPoint(13, 13));
        p.drawLine(QPoint(13, 4), QPoint(4, 13));
        break;
    case bkNo:
        pen(QColor(192, 0, 0), 2);
        p.drawEllipse(QRect(3, 3, 11, 11));
        p.drawLine(QPoint(5, 13), QPoint(13, 5));
        break;
    case bkHelp: {
        pen(QColor(0, 0, 160), 2);
        p.drawArc(QRect(5, 2, 8, 7), 180 * 16, -270 * 16);
        p.drawLine(QPoint(9, 9), QPoint(9, 11));
        p.fillRect(QRect(8, 13, 2, 2), QColor(0, 0, 160));
        break;
    }
    case bkClose:
        p.fillRect(QRect(5, 2, 8, 14), QColor(128, 64, 0));
        p.fillRect(QRect(10, 8, 2, 2), QColor(255, 255, 0));
        break;
    case bkRetry:
        pen(QColor(0, 128, 0), 2);
        p.drawArc(QRect(3, 3, 12, 12), 90 * 16, 270 * 16);
        p.drawLine(QPoint(9, 3), QPoint(12, 1));
        p.drawLine(QPoint(9, 3), QPoint(12, 6));
        break;
    case bkIgnore:
        pen(QColor(0, 0, 0), 2);
        p.drawLine(QPoint(4, 9), QPoint(14, 9));
        break;
    default: break;
    }
    p.end();
    b->ImageChanged();
    return b;
}

} // namespace

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), FGlyph(std::make_unique<TBitmap>())
{
    FGlyph->OnChange = [this](TObject* s) { GlyphChanged(s); };
    FFace.Glyph = nullptr;
}

TBitBtn::~TBitBtn() = default;

void TBitBtn::CreateParams(TCreateParams& p)
{
    TButton::CreateParams(p);
    p.Style = (p.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void TBitBtn::SetKind(TBitBtnKind v)
{
    FKind = v;
    if (v == bkCustom) {
        FKindGlyph.reset();
    } else {
        FKindGlyph = KindGlyph(v);
        SetCaption(KindInfo[v].Caption);
        SetModalResult(KindInfo[v].Result);
        if (v == bkOK || v == bkYes) SetDefault(true);
        if (v == bkCancel || v == bkNo) SetCancel(true);
    }
    GlyphChanged(nullptr);
}

TBitmap* TBitBtn::Glyph() { return !FGlyph->Empty() || !FKindGlyph ? FGlyph.get() : FKindGlyph.get(); }

void TBitBtn::SetGlyph(TBitmap* v)
{
    FGlyph->Assign(v);
    if (v && !v->Empty() && v->Height() > 0 && v->Width() % v->Height() == 0)
        FFace.NumGlyphs = std::clamp(v->Width() / v->Height(), 1, 4);
}

void TBitBtn::GlyphChanged(TObject*)
{
    if (!FGlyph->Empty() && FKind != bkCustom && FKindGlyph) FKind = bkCustom, FKindGlyph.reset();
    Invalidate();
}

void TBitBtn::SetNumGlyphs(int v)
{
    FFace.NumGlyphs = std::clamp(v, 1, 4);
    Invalidate();
}
void TBitBtn::SetLayout(TButtonLayout v)
{
    FFace.Layout = v;
    Invalidate();
}
void TBitBtn::SetMargin(int v)
{
    FFace.Margin = std::max(-1, v);
    Invalidate();
}
void TBitBtn::SetSpacing(int v)
{
    FFace.Spacing = std::max(-1, v);
    Invalidate();
}

void TBitBtn::Click()
{
    // A close button closes its form.
    if (FKind == bkClose) {
        if (TCustomForm* f = GetParentForm(this)) {
            TWeakRef<TBitBtn> guard(this);
            f->Close();
            if (guard) TButton::Click();
            return;
        }
    }
    TButton::Click();
}

void TBitBtn::CNDrawItem(TMessage& m)
{
    auto* ds = reinterpret_cast<TDrawItemStruct*>(m.LParam);
    if (!ds || !ds->DC) return;
    const bool down = ds->ItemState & ODS_SELECTED, disabled = ds->ItemState & ODS_DISABLED,
               focused = ds->ItemState & ODS_FOCUS;
    TRect r = ds->RcItem;
    FCanvas->SetHandle(ds->DC);
    try {
        bool isDefault = Default();
        if (TCustomForm* f = GetParentForm(this))
            if (auto* b = DynamicCast<TCustomButton>(f->ActiveControl())) isDefault = b == this;
        if (isDefault || focused) {
            // The default button's dark outline.
            FCanvas->Brush()->SetColor(clWindowFrame);
            FCanvas->FrameRect(r);
            InflateRect(r, -1, -1);
        }
        DrawThemedFrameControl(ds->DC, r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
        FCanvas->Font()->Assign(Font());
        TButtonFace face = FFace;
        face.Glyph = Glyph();
        InflateRect(r, -2, -2);
        TRect text = face.Draw(FCanvas.get(), r, down ? Point(1, 1) : Point(0, 0), Caption(),
                               disabled ? bsDisabled : down ? bsDown : bsUp, true);
        if (focused) {
            TRect f = ds->RcItem;
            InflateRect(f, -4, -4);
            FCanvas->Brush()->SetColor(clBtnFace);
            FCanvas->DrawFocusRect(f);
        }
        (void)text;
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        throw;
    }
    FCanvas->SetHandle(nullptr);
    m.Result = 1;
}

// ---- speed button ----------------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), FGlyph(std::make_unique<TBitmap>())
{
    SetBounds(0, 0, 23, 22);
    TControlStyle cs = ControlStyle();
    cs.Exclude(csClickEvents);   // the button decides when it was clicked
    cs.Include(csCaptureMouse);
    cs.Include(csDoubleClicks);
    SetControlStyle(cs);
    SetParentFont(true);
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetGlyph(TBitmap* v)
{
    FGlyph->Assign(v);
    if (v && !v->Empty() && v->Height() > 0 && v->Width() % v->Height() == 0)
        FFace.NumGlyphs = std::clamp(v->Width() / v->Height(), 1, 4);
    FFace.Glyph = FGlyph.get();
    Invalidate();
}
void TSpeedButton::SetNumGlyphs(int v)
{
    FFace.NumGlyphs = std::clamp(v, 1, 4);
    Invalidate();
}
void TSpeedButton::SetLayout(TButtonLayout v)
{
    FFace.Layout = v;
    Invalidate();
}
void TSpeedButton::SetMargin(int v)
{
    FFace.Margin = std::max(-1, v);
    Invalidate();
}
void TSpeedButton::SetSpacing(int v)
{
    FFace.Spacing = std::max(-1, v);
    Invalidate();
}
void TSpeedButton::SetFlat(bool v)
{
    FFlat = v;
    Invalidate();
}
void TSpeedButton::SetTransparent(bool v)
{
    FTransparent = v;
    Invalidate();
}

void TSpeedButton::SetGroupIndex(int v)
{
    if (FGroupIndex == v) return;
    FGroupIndex = v;
    UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool v)
{
    if (FAllowAllUp == v) return;
    FAllowAllUp = v;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool v)
{
    if (FGroupIndex == 0) v = false;
    if (v == FDown) return;
    // The one button down in a group stays down unless all may be up.
    if (FDown && !FAllowAllUp) return;
    FDown = v;
    FState = v ? bsExclusive : bsUp;
    Invalidate();
    if (v) UpdateExclusive();
}

void TSpeedButton::UpdateExclusive()
{
    if (FGroupIndex == 0 || !Parent()) return;
    TMessage m{CM_BUTTONPRESSED, WPARAM(FGroupIndex), LPARAM(this), 0};
    Parent()->Broadcast(m);
}

void TSpeedButton::CMButtonPressed(TMessage& m)
{
    auto* sender = reinterpret_cast<TSpeedButton*>(m.LParam);
    if (int(m.WParam) != FGroupIndex || sender == this || !sender) return;
    if (sender->Down() && FDown) {
        FDown = false;
        FState = bsUp;
        Invalidate();
    }
    FAllowAllUp = sender->AllowAllUp();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::ActionChange(TObject* sender, bool checkDefaults)
{
    TGraphicControl::ActionChange(sender, checkDefaults);
    auto* a = DynamicCast<TCustomAction>(sender);
    if (!a) return;
    if (!checkDefaults || FGroupIndex == 0) {
        if (a->GroupIndex() > 0) SetGroupIndex(a->GroupIndex());
    }
    if (FGroupIndex != 0 && (!checkDefaults || !FDown)) {
        // Following the action: the button comes up even where the group would keep it down.
        bool keep = FAllowAllUp;
        FAllowAllUp = true;
        SetDown(a->Checked());
        FAllowAllUp = keep;
    }
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled()) return;
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y)
{
    TGraphicControl::MouseMove(shift, x, y);
    if (!FDragging) return;
    const bool inside = x >= 0 && x < ClientWidth() && y >= 0 && y < ClientHeight();
    TButtonState s = FDown ? bsExclusive : inside ? bsDown : bsUp;
    if (s != FState) {
        FState = s;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TWeakRef<TSpeedButton> guard(this);
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!guard || !FDragging) return;
    FDragging = false;
    const bool inside = x >= 0 && x < ClientWidth() && y >= 0 && y < ClientHeight();
    if (FGroupIndex == 0) {
        FState = bsUp;
        Invalidate();
    } else if (inside) {
        SetDown(!FDown);
        if (FDown) FState = bsExclusive;
    } else {
        FState = FDown ? bsExclusive : bsUp;
    }
    Invalidate();
    if (inside) Click();
}

void TSpeedButton::CMMouseEnter2(TMessage& m)
{
    inherited::Dispatch(m);
    if (!FMouseInControl && Enabled()) {
        FMouseInControl = true;
        if (FFlat) Invalidate();
    }
}
void TSpeedButton::CMMouseLeave2(TMessage& m)
{
    inherited::Dispatch(m);
    if (FMouseInControl) {
        FMouseInControl = false;
        if (FFlat) Invalidate();
    }
}
void TSpeedButton::CMEnabledChanged2(TMessage& m)
{
    if (!Enabled()) FMouseInControl = false;
    inherited::Dispatch(m);
    Invalidate();
}

void TSpeedButton::CMDialogChar(TMessage& m)
{
    if (Enabled() && Visible() && IsAccelChar(WORD(m.WParam), Caption())) {
        Click();
        m.Result = 1;
    }
}

void TSpeedButton::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    const TButtonState state = !Enabled() ? bsDisabled : FState == bsDisabled ? bsUp : FState;
    const bool pressed = state == bsDown || state == bsExclusive;
    if (!FFlat || !FTransparent || pressed) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(state == bsExclusive && !FFlat ? clBtnHighlight : clBtnFace);
        if (!FFlat) {
            DrawThemedFrameControl(c->Handle(), r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
            if (state == bsExclusive) {
                // Held down: a lighter face inside the sunken edge.
                TRect in = r;
                InflateRect(in, -2, -2);
                c->FillRect(in);
            }
        } else {
            c->FillRect(r);
        }
    }
    if (FFlat && (pressed || (FMouseInControl && state != bsDisabled))) {
        TRect e = r;
        DrawEdge(c->Handle(), e, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    c->Font()->Assign(Font());
    TRect inner = r;
    InflateRect(inner, -1, -1);
    TButtonFace face = FFace;
    face.Glyph = FGlyph->Empty() ? nullptr : FGlyph.get();
    face.Draw(c, inner, pressed ? Point(1, 1) : Point(0, 0), Caption(), state, FTransparent);
}
