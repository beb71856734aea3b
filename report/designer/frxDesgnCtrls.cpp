#include "frxDesgnCtrls.h"

#include "Dialogs.h"
#include "Clipbrd.h"
#include "Lists.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "Windows.h"
#include "frxClass.h"
#include "frxDMPClass.h"
#include "frxPopupForm.h"
#include "frxXMLSerializer.h"

#include <algorithm>
#include <cmath>

namespace {
void DefineRuler(std::vector<TPropInfo>& p)
{
    using R = TfrxRuler;
    p.push_back(PublishInt<R>("Offset", &R::Offset, &R::SetOffset, 0));
    p.push_back(PublishFloat<R>("Scale", &R::Scale, &R::SetScale, "Extended"));
    p.push_back(PublishInt<R>("Start", &R::Start, &R::SetStart, 0));
    p.push_back(PublishEnum<R>("Units", &R::Units, &R::SetUnits, ruPixels));
    p.push_back(PublishFloat<R>("Position", &R::Position, &R::SetPosition, "Extended"));
}
}  // namespace

QZ_CLASS_IMPL_PROPS(TfrxRuler, TPanel, DefineRuler)
QZ_CLASS_IMPL(TfrxScrollBox, TScrollBox)
QZ_CLASS_IMPL(TfrxCustomSelector, TPanel)
QZ_CLASS_IMPL(TfrxColorSelector, TfrxCustomSelector)
QZ_CLASS_IMPL(TfrxLineSelector, TfrxCustomSelector)

namespace {
// Rounding to the nearest, ties to even, as positions are rounded everywhere.
int RoundEven(double v) { return int(std::nearbyint(v)); }
}  // namespace

// ---- TfrxRuler ------------------------------------------------------------------------------

TfrxRuler::TfrxRuler(TComponent* owner) : TPanel(owner)
{
    SetDoubleBuffered(true);
    SetBevelOuter(bvNone);
}

void TfrxRuler::SetOffset(int v) { FOffset = v; Invalidate(); }
void TfrxRuler::SetScale(double v) { FScale = v; Invalidate(); }
void TfrxRuler::SetStart(int v) { FStart = v; Invalidate(); }
void TfrxRuler::SetUnits(TfrxRulerUnits v) { FUnits = v; Invalidate(); }
void TfrxRuler::SetPosition(double v) { FPosition = v; Invalidate(); }

double TfrxRuler::Step() const
{
    switch (FUnits) {
    case ruCM: return FScale * 3.77953;
    case ruInches: return FScale * 9.6;
    case ruChars: return FScale * (Vertical() ? 17.0 : 9.6) / 10;
    case ruPixels: break;
    }
    return FScale;
}

int TfrxRuler::Origin() const
{
    int o = FOffset - FStart;
    // A character's mark stands in the middle of its cell.
    if (FUnits == ruChars) o += RoundEven(FScale * (Vertical() ? 17.0 : 9.6) * 0.5);
    return o;
}

void TfrxRuler::SetupFont(TFont* font) const
{
    font->SetName("Arial");
    font->SetSize(7);
    font->SetColor(clBlack);
    font->SetStyle({});
}

std::vector<TfrxRulerMark> TfrxRuler::Marks(const std::function<int(const std::string&)>& labelWidth) const
{
    std::vector<TfrxRulerMark> marks;
    double step = Step();
    if (!(step > 0)) return marks;
    const bool pixels = FUnits == ruPixels;
    const int major = pixels ? 100 : 10;
    const int medium = pixels ? 50 : 5;
    const double covered = double((Vertical() ? Height() : Width()) + FStart);
    if (covered <= 0) return marks;

    std::function<int(const std::string&)> measure = labelWidth;
    std::unique_ptr<TBitmap> scratch;
    if (!measure) {
        scratch = std::make_unique<TBitmap>();
        scratch->SetSize(1, 1);
        SetupFont(scratch->Canvas()->Font());
        measure = [&scratch](const std::string& s) { return scratch->Canvas()->TextWidth(s); };
    }
    // The widest label is the one the far end of the ruler would get.
    long far = long(covered / step);
    int w = measure(IntToStr(int(pixels ? far : far / 10)));
    const double majorSpan = major * step;
    int every = major;
    if (w > majorSpan * 1.5) every = 4 * major;
    else if (w > majorSpan * 0.7) every = 2 * major;

    const int o = Origin();
    for (long n = 0; n * step < covered; ++n) {
        if (n == 0) continue;
        int p = o + RoundEven(double(n) * step);
        if (p < FOffset) continue;
        TfrxRulerMark m;
        m.Position = p;
        if (n % major == 0) {
            if (n % every == 0) m.Label = IntToStr(int(pixels ? n : n / 10));
            else m.Length = 6;
        } else if (n % medium == 0) {
            if (majorSpan < 21) continue;
            m.Length = 4;
        } else {
            if (pixels || majorSpan < 41) continue;
            m.Length = 2;
        }
        marks.push_back(m);
    }
    return marks;
}

int TfrxRuler::MarkerPosition() const
{
    double k = FUnits == ruPixels ? 1 : 10;
    int p = Origin() + RoundEven(FPosition * Step() * k);
    return p < FOffset ? -1 : p;
}

void TfrxRuler::Paint()
{
    TCanvas* c = Canvas();
    const int w = Width(), h = Height();
    const bool vert = Vertical();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(::Rect(0, 0, w, h));
    c->Brush()->SetColor(clWindow);
    if (vert) c->FillRect(::Rect(3, FOffset, w - 5, h));
    else c->FillRect(::Rect(FOffset, 3, w, h - 5));
    SetupFont(c->Font());
    c->Pen()->SetColor(clBlack);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    c->Brush()->SetStyle(bsClear);
    if (vert) c->Font()->SetOrientation(900);
    for (const TfrxRulerMark& m : Marks([c](const std::string& s) { return c->TextWidth(s); })) {
        if (!m.Label.empty()) {
            TSize ext = c->TextExtent(m.Label);
            if (vert) {
                // Rotated text runs upwards from its starting point.
                c->TextOut(w - ext.cy - 6, m.Position + 1 + ext.cx / 2, m.Label);
            } else {
                c->TextOut(m.Position + 1 - ext.cx / 2, 4, m.Label);
            }
            continue;
        }
        int a = (13 - m.Length) / 2 + 3;
        if (vert) {
            c->MoveTo(a, m.Position);
            c->LineTo(a + m.Length, m.Position);
        } else {
            c->MoveTo(m.Position, a);
            c->LineTo(m.Position, a + m.Length);
        }
    }
    c->Font()->SetOrientation(0);
    int p = MarkerPosition();
    if (p >= 0) {
        if (vert) {
            c->MoveTo(3, p);
            c->LineTo(16, p);
        } else {
            c->MoveTo(p, 3);
            c->LineTo(p, 16);
        }
    }
}

// ---- TfrxScrollBox --------------------------------------------------------------------------

TfrxScrollBox::TfrxScrollBox(TComponent* owner) : TScrollBox(owner) {}

void TfrxScrollBox::Forward(UINT msg, WPARAM key)
{
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* w = DynamicCast<TWinControl>(Controls(i))) w->Perform(msg, key, 0);
}

void TfrxScrollBox::KeyDown(WORD& key, TShiftState shift)
{
    TScrollBox::KeyDown(key, shift);
    Forward(WM_KEYDOWN, key);
}

void TfrxScrollBox::KeyUp(WORD& key, TShiftState shift)
{
    TScrollBox::KeyUp(key, shift);
    Forward(WM_KEYUP, key);
}

void TfrxScrollBox::KeyPress(char& key)
{
    TScrollBox::KeyPress(key);
    Forward(WM_CHAR, WPARAM(uint8_t(key)));
}

// ---- selectors ------------------------------------------------------------------------------

namespace frxDesgnCtrls {
namespace {
TColor GColors[ColorCount] = {
    clNone,    0xFFFFFF, 0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
    0x808080,  0xC0C0C0, 0x808000, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF,
    0xCCCCCC,  0xE4E4E4, 0xFFFF00, 0x00CCFF, 0x00CC98, 0x98FFFF, 0xFFCC00, 0xFF98CC,
    0xD8D8D8,  0xF0F0F0, 0xFFFFDC, 0xCAE4FF, 0xCCFFCC, 0xCCFFFF, 0xFFF4CC, 0xCC98FF,
    clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace,
};

// A colour chosen in the colour dialog joins the custom row once: the first
// empty slot, or, with the row full, the last slot after the others moved left.
}  // namespace

void AddCustomColor(TColor c)
{
    for (TColor x : GColors)
        if (x == c) return;
    for (int i = 32; i < ColorCount; ++i)
        if (GColors[i] == clBtnFace) {
            GColors[i] = c;
            return;
        }
    for (int i = 32; i < ColorCount - 1; ++i) GColors[i] = GColors[i + 1];
    GColors[ColorCount - 1] = c;
}

TColor PaletteColor(int index) { return index >= 0 && index < ColorCount ? GColors[index] : clNone; }

void ResetCustomColors()
{
    for (int i = 32; i < ColorCount; ++i) GColors[i] = clBtnFace;
}
}  // namespace frxDesgnCtrls

namespace {
// A tool button (a graphic control) opens the picker in a popup of its own;
// any other owner just owns it.
TComponent* PopupFor(TComponent* button)
{
    auto* b = DynamicCast<TGraphicControl>(button);
    if (!b) return button;
    auto* popup = new TfrxPopupForm(b);
    TPoint p = b->ClientToScreen(::Point(0, b->Height() + 2));
    popup->SetBounds(p.X, p.Y, 20, 20);
    return popup;
}
}  // namespace

TfrxCustomSelector::TfrxCustomSelector(TComponent* owner) : TPanel(PopupFor(owner))
{
    SetDoubleBuffered(true);
    SetBevelOuter(bvNone);
    FPopup = DynamicCast<TfrxPopupForm>(Owner());
    if (FPopup) {
        SetParent(FPopup);
        if (auto* b = DynamicCast<TControl>(FPopup->Owner())) SetTag(b->Tag());
    }
}

void TfrxCustomSelector::DrawHighlight(int x, int y, bool pressed)
{
    FHighlighted = CellRect(x, y);
    FPressed = pressed;
    FHasHighlight = true;
    Invalidate();
}

void TfrxCustomSelector::HidePopup()
{
    if (!FPopup) return;
    FPopup->SetAutoSize(false);
    FPopup->SetHeight(0);
    FPopup->Hide();
}

void TfrxCustomSelector::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(ClientRect());
}

void TfrxCustomSelector::MouseDown(TMouseButton, TShiftState, int x, int y) { DrawHighlight(x, y, true); }
void TfrxCustomSelector::MouseMove(TShiftState, int x, int y) { DrawHighlight(x, y, false); }

namespace {
// A one-pixel 3D frame: raised while hovering, sunken while pressed.
void HighlightFrame(TCanvas* c, TRect r, bool pressed)
{
    TColor tl = pressed ? clBtnShadow : clBtnHighlight;
    TColor br = pressed ? clBtnHighlight : clBtnShadow;
    Frame3D(c, r, tl, br, 1);
}
}  // namespace

TfrxColorSelector::TfrxColorSelector(TComponent* owner) : TfrxCustomSelector(owner)
{
    SetBounds(0, 0, 155, 125);
    if (Popup()) {
        Popup()->SetClientWidth(155);
        Popup()->SetClientHeight(125);
        Popup()->Show();
    }
}

int TfrxColorSelector::CellAt(int x, int y)
{
    int r = (y - 5) / 18;
    int c = std::min((x - 5) / 18, 7);
    if (r > 4) return frxDesgnCtrls::ColorCount;
    return std::max(r, 0) * 8 + std::max(c, 0);
}

TRect TfrxColorSelector::CellRect(int x, int y) const
{
    int i = CellAt(x, y);
    if (i >= frxDesgnCtrls::ColorCount) return ::Rect(5, 95, Width() - 6, Height() - 6);
    int r = i / 8, c = i % 8;
    return ::Rect(c * 18 + 5, r * 18 + 5, c * 18 + 23, r * 18 + 23);
}

void TfrxColorSelector::Paint()
{
    TfrxCustomSelector::Paint();
    TCanvas* c = Canvas();
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    for (int i = 0; i < frxDesgnCtrls::ColorCount; ++i) {
        int r = i / 8, col = i % 8;
        int x = col * 18 + 8, y = r * 18 + 8;
        c->Pen()->SetColor(TColor(0x808080));
        c->Brush()->SetStyle(bsSolid);
        TColor fill = frxDesgnCtrls::PaletteColor(i);
        c->Brush()->SetColor(i == 0 ? clWhite : fill);
        c->Rectangle(x, y, x + 12, y + 12);
        if (i == 0) {
            c->MoveTo(x + 2, y + 2);
            c->LineTo(x + 10, y + 10);
            c->MoveTo(x + 9, y + 2);
            c->LineTo(x + 1, y + 10);
        }
    }
    c->Brush()->SetColor(clBtnFace);
    c->Pen()->SetColor(clBtnShadow);
    c->Rectangle(8, 98, Width() - 9, Height() - 9);
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    const std::string other = "Other...";
    c->TextOut((Width() - c->TextWidth(other)) / 2, 100, other);
    if (!IsRectEmpty(Highlighted())) HighlightFrame(c, Highlighted(), HighlightPressed());
}

void TfrxColorSelector::MouseUp(TMouseButton, TShiftState, int x, int y)
{
    int i = CellAt(x, y);
    if (i < frxDesgnCtrls::ColorCount) {
        FColor = frxDesgnCtrls::PaletteColor(i);
    } else {
        HidePopup();
        TColorDialog dlg(nullptr);
        dlg.Color = FColor;
        if (!dlg.Execute()) return;
        FColor = dlg.Color;
        frxDesgnCtrls::AddCustomColor(FColor);
    }
    Invalidate();
    if (OnColorChanged) OnColorChanged(this);
    HidePopup();
}

TfrxLineSelector::TfrxLineSelector(TComponent* owner) : TfrxCustomSelector(owner)
{
    SetBounds(0, 0, 98, 106);
    if (Popup()) {
        Popup()->SetClientWidth(98);
        Popup()->SetClientHeight(106);
        Popup()->Show();
    }
}

int TfrxLineSelector::RowAt(int y)
{
    int v = y - 5;
    if (v < 0) v = y + 10;
    return v < 96 ? v / 16 : 5;
}

TRect TfrxLineSelector::CellRect(int, int y) const
{
    int i = RowAt(y);
    return ::Rect(5, i * 16 + 5, Width() - 5, i * 16 + 21);
}

void TfrxLineSelector::Paint()
{
    TfrxCustomSelector::Paint();
    TCanvas* c = Canvas();
    static const TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psSolid};
    c->Pen()->SetColor(clBlack);
    c->Pen()->SetWidth(1);
    c->Brush()->SetStyle(bsClear);
    auto pair = [&](int y) {
        for (int k = 0; k < 2; ++k) {
            c->MoveTo(7, y + k);
            c->LineTo(Width() - 8, y + k);
        }
    };
    for (int i = 0; i < 6; ++i) {
        int y = i * 16 + 12;
        c->Pen()->SetStyle(styles[i]);
        if (i == 5) {
            pair(y - 2);
            pair(y + 2);
        } else {
            pair(y);
        }
    }
    c->Pen()->SetStyle(psSolid);
    if (!IsRectEmpty(Highlighted())) HighlightFrame(c, Highlighted(), HighlightPressed());
}

void TfrxLineSelector::MouseUp(TMouseButton, TShiftState, int, int y)
{
    FStyle = RowAt(y);
    Invalidate();
    if (OnStyleChanged) OnStyleChanged(this);
    HidePopup();
}

// ---- TfrxUndoBuffer -------------------------------------------------------------------------

TfrxUndoBuffer::TfrxUndoBuffer() = default;
TfrxUndoBuffer::~TfrxUndoBuffer() = default;

std::unique_ptr<TMemoryStream> TfrxUndoBuffer::Snapshot(TfrxReport* report)
{
    auto m = std::make_unique<TMemoryStream>();
    report->SaveToStream(m.get(), true, false);
    return m;
}

void TfrxUndoBuffer::Restore(TfrxReport* report, TMemoryStream* stream)
{
    stream->SetPosition(0);
    // The snapshot is the program's own: a protected layout does not ask
    // for its password again on every undo.
    report->LoadSnapshot(stream);
}

void TfrxUndoBuffer::AddUndo(TfrxReport* report) { FUndo.push_back(Snapshot(report)); }
void TfrxUndoBuffer::AddRedo(TfrxReport* report) { FRedo.push_back(Snapshot(report)); }

void TfrxUndoBuffer::GetUndo(TfrxReport* report)
{
    if (FUndo.size() < 2) return;
    Restore(report, FUndo[FUndo.size() - 2].get());
    FUndo.pop_back();
}

void TfrxUndoBuffer::GetRedo(TfrxReport* report)
{
    if (FRedo.empty()) return;
    Restore(report, FRedo.back().get());
    FRedo.pop_back();
}

void TfrxUndoBuffer::ClearUndo() { FUndo.clear(); }
void TfrxUndoBuffer::ClearRedo() { FRedo.clear(); }

// ---- TfrxClipboard --------------------------------------------------------------------------

namespace frxDesgnCtrls {
const char* const ClipboardMarker = "#FR3 clipboard#";
}

namespace {
bool Listed(TList* list, const void* item) { return list && list->IndexOf(const_cast<void*>(item)) >= 0; }

// A band of which a page holds one at most.
bool SingleBand(TfrxComponent* c)
{
    return c->Is<TfrxReportTitle>() || c->Is<TfrxReportSummary>() || c->Is<TfrxPageHeader>() ||
           c->Is<TfrxPageFooter>() || c->Is<TfrxColumnHeader>() || c->Is<TfrxColumnFooter>();
}

bool FitsPage(TfrxComponent* c, TfrxPage* page)
{
    // Pages and reports are no objects of a page: text from elsewhere may name them.
    if (!c->Is<TfrxReportComponent>()) return false;
    const bool dialogPage = page->Is<TfrxDialogPage>();
    const bool dmpPage = page->Is<TfrxDMPPage>();
    const bool dialogObject = c->Is<TfrxDialogComponent>();
    const bool dmpObject = c->Is<TfrxDMPMemoView>() || c->Is<TfrxDMPLineView>();
    if (dialogObject != dialogPage) return false;
    if (dmpObject && !dmpPage) return false;
    if (dmpPage && !dmpObject && !c->Is<TfrxBand>()) return false;
    return true;
}
}  // namespace

std::string TfrxClipboard::CopyText() const
{
    TfrxPage* page = FDesigner->Page();
    TList* selected = FDesigner->SelectedObjects();
    std::string text = std::string(frxDesgnCtrls::ClipboardMarker) + "\n\r";
    if (!page || !selected) return text;
    double mx = 100000, my = 100000;
    for (int i = 0; i < selected->Count(); ++i) {
        auto* c = static_cast<TfrxComponent*>(selected->Items(i));
        if (!c || c == page) continue;
        mx = std::min(mx, c->AbsLeft());
        my = std::min(my, c->AbsTop());
    }
    TMemoryStream out;
    auto write = [&](TfrxComponent* c) {
        std::unique_ptr<TfrxComponent> fresh(DynamicCast<TfrxComponent>(c->ClassType()->Create(nullptr)));
        if (!fresh) return;
        TMemoryStream scratch;
        TfrxXMLSerializer copier(&scratch);
        copier.Owner = c->Report();
        copier.SerializeDefaultValues = true;
        copier.ReadProperties(copier.WriteProperties(c), fresh.get());
        copier.FixupReferences();
        fresh->SetLeft(c->Left() - mx);
        fresh->SetTop(c->AbsTop() - my);
        TfrxXMLSerializer writer(&out);
        writer.Owner = c->Report();
        writer.WriteOneComponent(fresh.get());
    };
    for (TfrxComponent* c : page->AllObjects()) {
        if (!Listed(selected, c)) continue;
        write(c);
        if (!c->Is<TfrxBand>()) continue;
        const auto& kids = c->Objects();
        if (std::none_of(kids.begin(), kids.end(), [&](TfrxComponent* k) { return Listed(selected, k); }))
            for (TfrxComponent* k : std::vector<TfrxComponent*>(kids)) write(k);
    }
    return text + GbkToUtf8(std::string(static_cast<const char*>(out.Memory()), size_t(out.Size())));
}

void TfrxClipboard::Copy() const { Clipboard()->SetAsText(CopyText()); }

int TfrxClipboard::PasteText(const std::string& text)
{
    TfrxReport* report = FDesigner->Report();
    TfrxPage* page = FDesigner->Page();
    TList* selected = FDesigner->SelectedObjects();
    TList* objects = FDesigner->Objects();
    if (!report || !page) return 0;
    if (selected) selected->Clear();

    // Everything after the marker's line is the objects' elements.
    TStringList lines;
    lines.SetText(text);
    if (lines.Count() > 0) lines.Delete(0);
    TMemoryStream in;
    std::string body = Utf8ToGbk(lines.Text());
    in.WriteBuffer(body.data(), int(body.size()));
    in.SetPosition(0);

    int pasted = 0;
    TfrxBand* lastBand = nullptr;
    for (;;) {
        TfrxComponent* c = nullptr;
        try {
            TfrxXMLSerializer reader(&in);
            reader.Owner = report;
            c = reader.ReadOneComponent(report);
        } catch (const std::exception&) {
            break;   // an element that cannot be read ends the paste quietly
        }
        if (!c) break;
        bool keep = FitsPage(c, page);
        if (keep && SingleBand(c)) {
            const auto& kids = page->Objects();
            keep = std::none_of(kids.begin(), kids.end(),
                                [&](TfrxComponent* k) { return k != c && k->ClassType() == c->ClassType(); });
        }
        if (!keep) {
            delete c;
            continue;
        }
        if (auto* band = DynamicCast<TfrxBand>(c)) {
            c->SetParent(page);
            lastBand = band;
        } else if (lastBand && c->Top() >= lastBand->Top() && c->Top() < lastBand->Top() + lastBand->Height()) {
            c->SetParent(lastBand);
            c->SetTop(c->Top() - lastBand->Top());
        } else {
            c->SetParent(page);
        }
        c->MakeUniqueName();
        if (objects) objects->Add(c);
        if (selected && c->Parent() == page) selected->Add(c);
        ++pasted;
    }
    if (selected && selected->Count() == 0) selected->Add(page);
    return pasted;
}

int TfrxClipboard::Paste() { return PasteText(Clipboard()->AsText()); }

bool TfrxClipboard::PasteAvailable() const
{
    try {
        if (!Clipboard()->HasFormat(CF_TEXT)) return false;
        return Clipboard()->AsText().rfind(frxDesgnCtrls::ClipboardMarker, 0) == 0;
    } catch (const std::exception&) {
        return false;
    }
}
