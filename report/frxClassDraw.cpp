// Views at run time: drawing (geometry, background, frame, shapes, lines,
// pictures, text), expression expansion, and the text object's data step,
// formatting, measuring and splitting through the text renderer.
#include "frxClass.h"
#include "frxDrawText.h"

#include "DateUtils.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "Metafile.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "Windows.h"
#include "frxUtils.h"

#include <cmath>

namespace {

int RoundI(double v)
{
    if (!std::isfinite(v)) return 0;
    double r = std::nearbyint(v);
    if (r > 1e9) return 1000000000;
    if (r < -1e9) return -1000000000;
    return int(r);
}

bool HasSide(const TfrxFrame* f, TfrxFrameType t) { return f->Typ.Contains(t); }

// The first occurrence of what, compared without regard to ASCII case.
size_t FindNoCase(const std::string& text, const std::string& what)
{
    if (what.empty() || text.size() < what.size()) return std::string::npos;
    std::string u = UpperCase(text), w = UpperCase(what);
    return u.find(w);
}

// The expression of the opening delimiter at pos (1-based): true with
// start and end (1-based, end the last character of the closing delimiter)
// when a matching closing delimiter exists.
bool FindExpression(const std::string& s, const std::string& open, const std::string& close, int pos,
                    std::string& expr, int& start, int& end)
{
    // A sentinel character ends the text, so an unmatched delimiter (whose
    // end the scanner reports at the text's end) is never taken for a match.
    const std::string t = s + '\x01';
    start = pos;
    end = pos;
    expr = frxUtils::ExtractBracketedExpression(t, open, close, start, end);
    return end <= int(s.size()) && end >= start + int(open.size() + close.size()) - 1 &&
           s.compare(size_t(end) - close.size(), close.size(), close) == 0;
}

}  // namespace

// ---- view --------------------------------------------------------------------------------------

std::string TfrxView::ExpandExpressions(const std::string& text)
{
    TfrxReport* r = Report();
    if (!r || text.find('[') == std::string::npos) return text;
    std::string s = text;
    int i = 1;
    while (i <= int(s.size())) {
        unsigned char c = static_cast<unsigned char>(s[size_t(i - 1)]);
        if (c != '[') {
            ++i;
            continue;
        }
        int start = i, end = i;
        std::string expr;
        if (!FindExpression(s, "[", "]", i, expr, start, end)) break;   // no match: the scan ends
        std::string value = VarToStr(r->Calc(expr));
        s = s.substr(0, size_t(start - 1)) + value + s.substr(size_t(end));
        i = start + int(value.size());
    }
    return s;
}

void TfrxView::GetData()
{
    if (TagStr.find('[') != std::string::npos) TagStr = ExpandExpressions(TagStr);
    if (URL.find('[') != std::string::npos) URL = ExpandExpressions(URL);
}

void TfrxView::PrepareDraw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY)
{
    FCanvas = canvas;
    FScaleX = scaleX;
    FScaleY = scaleY;
    FOffsetX = offsetX;
    FOffsetY = offsetY;
    const double l = AbsLeft(), t = AbsTop();
    FX = RoundI(offsetX + scaleX * l);
    FY = RoundI(offsetY + scaleY * t);
    FX1 = RoundI(offsetX + scaleX * (l + Width()));
    FY1 = RoundI(offsetY + scaleY * (t + Height()));
    if (Frame()->DropShadow) {
        FX1 -= RoundI(scaleX * Frame()->ShadowWidth);
        FY1 -= RoundI(scaleY * Frame()->ShadowWidth);
    }
    FDX = FX1 - FX;
    FDY = FY1 - FY;
    FFrameWidth = RoundI(scaleX * Frame()->Width);
}

void TfrxView::Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY)
{
    PrepareDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    PaintBackground();
    PaintFrame();
}

void TfrxView::PaintBackground()
{
    if (!FCanvas) return;
    TBrush* b = FCanvas->Brush();
    if (Color != clNone) {
        b->SetStyle(bsSolid);
        b->SetColor(Color);
        FCanvas->FillRect(Rect(FX, FY, FX1, FY1));
    }
    if (BrushStyle != frxEnums::bsSolid) {
        b->SetStyle(TBrushStyle(BrushStyle));
        b->SetColor(Frame()->Color);
        FCanvas->Pen()->SetColor(Color == clNone ? clWhite : Color);
        FCanvas->Pen()->SetStyle(psSolid);
        FCanvas->Pen()->SetWidth(1);
        FCanvas->Rectangle(FX, FY, FX1 + 1, FY1 + 1);
        b->SetStyle(bsSolid);
    }
}

void TfrxView::DrawThickLine(int x1, int y1, int x2, int y2, int w)
{
    if (!FCanvas) return;
    if (w <= 0) w = 1;
    const bool horizontal = std::abs(y2 - y1) < std::abs(x2 - x1);
    for (int k = -(w / 2); k <= w - 1 - w / 2; ++k) {
        if (horizontal) {
            FCanvas->MoveTo(x1, y1 + k);
            FCanvas->LineTo(x2, y2 + k);
        } else {
            FCanvas->MoveTo(x1 + k, y1);
            FCanvas->LineTo(x2 + k, y2);
        }
    }
}

void TfrxView::PaintFrame()
{
    if (!FCanvas) return;
    TfrxFrame* f = Frame();
    TPen* pen = FCanvas->Pen();
    if (f->DropShadow) {
        pen->SetStyle(psSolid);
        pen->SetWidth(1);
        pen->SetColor(f->ShadowColor);
        int a = RoundI(f->ShadowWidth * FScaleX);
        DrawThickLine(FX1 + a / 2, FY + a, FX1 + a / 2, FY1, a);
        int c = RoundI(f->ShadowWidth * FScaleY);
        DrawThickLine(FX + c, FY1 + c / 2, FX1 + c, FY1 + c / 2, c);
    }
    if (f->Typ.Empty() || f->Color == clNone || f->Width == 0) return;
    const int fw = std::max(1, FFrameWidth);
    pen->SetColor(f->Color);
    const bool dashed = f->Style != fsSolid && f->Style != fsDouble;
    pen->SetStyle(dashed ? TPenStyle(int(f->Style)) : psSolid);
    pen->SetWidth(1);
    FCanvas->Brush()->SetStyle(bsSolid);
    if (f->Style != fsSolid) {
        if (Color == clNone) FCanvas->Brush()->SetStyle(bsClear);
        else FCanvas->Brush()->SetColor(Color);
    }
    auto line = [&](int x1, int y1, int x2, int y2) { DrawThickLine(x1, y1, x2, y2, fw); };
    if (f->Style != fsDouble) {
        if (HasSide(f, ftLeft)) line(FX, FY, FX, FY1);
        if (HasSide(f, ftRight)) line(FX1, FY, FX1, FY1);
        if (HasSide(f, ftTop)) line(FX, FY, FX1, FY);
        if (HasSide(f, ftBottom)) line(FX, FY1, fw == 1 ? FX1 + 1 : FX1, FY1);
        return;
    }
    // Double: two lines fw apart around each side, corners meeting.
    const bool L = HasSide(f, ftLeft), R = HasSide(f, ftRight), Tp = HasSide(f, ftTop), B = HasSide(f, ftBottom);
    auto vertical = [&](int x, int outer, bool nearN, bool farN) {
        int o0 = FY - (nearN ? fw : 0), o1 = FY1 + (farN ? fw : 0);
        int i0 = FY + (nearN ? fw : 0), i1 = FY1 - (farN ? fw : 0);
        DrawThickLine(x + outer, o0, x + outer, o1, 1);
        DrawThickLine(x - outer, i0, x - outer, i1, 1);
    };
    auto horizontal = [&](int y, int outer, bool nearN, bool farN) {
        int o0 = FX - (nearN ? fw : 0), o1 = FX1 + (farN ? fw : 0);
        int i0 = FX + (nearN ? fw : 0), i1 = FX1 - (farN ? fw : 0);
        DrawThickLine(o0, y + outer, o1, y + outer, 1);
        DrawThickLine(i0, y - outer, i1, y - outer, 1);
    };
    if (L) vertical(FX, -fw, Tp, B);
    if (R) vertical(FX1, fw, Tp, B);
    if (Tp) horizontal(FY, -fw, L, R);
    if (B) horizontal(FY1, fw, L, R);
}

void TfrxShapeView::Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY)
{
    PrepareDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    if (!canvas) return;
    TPen* pen = canvas->Pen();
    pen->SetColor(Frame()->Color);
    pen->SetWidth(std::max(1, FFrameWidth));
    pen->SetStyle(Frame()->Style == fsDouble ? psClear : TPenStyle(int(Frame()->Style)));
    SetBkMode(canvas->Handle(), OPAQUE);
    auto drawShape = [&]() {
        switch (Shape) {
        case skRectangle: canvas->Rectangle(FX, FY, FX1 + 1, FY1 + 1); break;
        case skEllipse: canvas->Ellipse(FX, FY, FX1 + 1, FY1 + 1); break;
        case skRoundRectangle: {
            int d = std::min(FDX, FDY) / 4;
            canvas->RoundRect(FX, FY, FX1 + 1, FY1 + 1, d, d);
            break;
        }
        case skTriangle:
            canvas->Polygon({Point(FX1, FY1), Point(FX, FY1), Point(FX + FDX / 2, FY), Point(FX1, FY1)});
            break;
        case skDiamond:
            canvas->Polygon({Point(FX + FDX / 2, FY), Point(FX1, FY + FDY / 2), Point(FX + FDX / 2, FY1),
                             Point(FX, FY + FDY / 2)});
            break;
        case skDiagonal1: DrawThickLine(FX, FY1, FX1, FY, FFrameWidth); break;
        case skDiagonal2: DrawThickLine(FX, FY, FX1, FY1, FFrameWidth); break;
        }
    };
    TBrush* b = canvas->Brush();
    if (BrushStyle == frxEnums::bsSolid) {
        if (Color == clNone) b->SetStyle(bsClear);
        else {
            b->SetStyle(bsSolid);
            b->SetColor(Color);
        }
        drawShape();
    } else {
        if (Color != clNone) {
            b->SetStyle(bsSolid);
            b->SetColor(Color);
            drawShape();
        }
        b->SetStyle(TBrushStyle(BrushStyle));
        b->SetColor(Frame()->Color);
        drawShape();
    }
    b->SetStyle(bsSolid);
}

void TfrxCustomLineView::Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY)
{
    if (!Diagonal) {
        if (Width() <= Height()) {
            SetWidth(0);
            Frame()->Typ = TfrxFrameTypes{ftLeft};
        } else {
            SetHeight(0);
            Frame()->Typ = TfrxFrameTypes{ftTop};
        }
        PrepareDraw(canvas, scaleX, scaleY, offsetX, offsetY);
        PaintFrame();
        return;
    }
    PrepareDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    if (!canvas || Frame()->Color == clNone || Frame()->Width == 0) return;
    if (Color == clNone) canvas->Brush()->SetStyle(bsClear);
    else canvas->Brush()->SetColor(Color);
    canvas->Pen()->SetColor(Frame()->Color);
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetStyle(Frame()->Style == fsDouble ? psSolid : TPenStyle(int(Frame()->Style)));
    DrawThickLine(FX, FY, FX1, FY1, FFrameWidth);
}

void TfrxPictureView::GetData()
{
    TfrxView::GetData();
    if (!HasDataField() || !DataSet()->IsBlobField(DataField)) return;
    TMemoryStream ms;
    DataSet()->AssignBlobTo(DataField, &ms);
    std::string bytes(static_cast<const char*>(ms.Memory()), size_t(ms.Size()));
    if (bytes.size() >= 8) {
        auto w16 = [&](size_t o) { return uint16_t(uint8_t(bytes[o]) | (uint8_t(bytes[o + 1]) << 8)); };
        uint32_t len = uint32_t(uint8_t(bytes[4])) | (uint32_t(uint8_t(bytes[5])) << 8) |
                       (uint32_t(uint8_t(bytes[6])) << 16) | (uint32_t(uint8_t(bytes[7])) << 24);
        if (w16(0) == 1 && w16(2) == 0x0100 && len == bytes.size() - 8) bytes.erase(0, 8);
    }
    TfrxGraphicKind kind = bytes.empty() ? gkNone : TfrxPicture::Sniff(bytes);
    if (kind == gkNone) Picture()->Clear();
    else Picture()->SetData(kind, bytes);
}

void TfrxPictureView::Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY)
{
    PrepareDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    PaintBackground();
    TfrxPicture* p = Picture();
    if (canvas && !p->Empty() && p->Width() > 0 && p->Height() > 0) {
        TRect r = Rect(FX, FY, FX1, FY1);
        const int w = p->Width(), h = p->Height();
        if (Stretched) {
            if (KeepAspectRatio) {
                double kx = double(FDX) / w, ky = double(FDY) / h;
                if (ky > kx) r.Bottom = r.Top + RoundI(h * kx);
                else r.Right = r.Left + RoundI(w * ky);
                if (Center) {
                    int dx = (FDX + r.Left - r.Right) / 2, dy = (FDY + r.Top - r.Bottom) / 2;
                    r.Left += dx; r.Right += dx; r.Top += dy; r.Bottom += dy;
                }
            }
        } else {
            if (Center) {
                int dx = (FDX - RoundI(scaleX * w)) / 2, dy = (FDY - RoundI(scaleY * h)) / 2;
                r.Left += dx; r.Top += dy;
            }
            r.Right = r.Left + RoundI(scaleX * w);
            r.Bottom = r.Top + RoundI(scaleY * h);
        }
        TPicture pic;
        try {
            TMemoryStream ms;
            ms.Write(p->Data().data(), int64_t(p->Data().size()));
            ms.SetPosition(0);
            std::unique_ptr<TGraphic> g;
            switch (p->Kind()) {
            case gkJPEG: g = std::make_unique<TJPEGImage>(); break;
            case gkIcon: g = std::make_unique<TIcon>(); break;
            case gkBitmap: g = std::make_unique<TBitmap>(); break;
            case gkMetafile: g = std::make_unique<TMetafile>(); break;
            default: break;
            }
            if (g) {
                g->LoadFromStream(&ms);
                frxUtils::DrawGraphic(canvas, r, g.get());
            }
        } catch (const std::exception&) {
            // A picture the graphics library cannot read shows as empty.
        }
    }
    PaintFrame();
}

// ---- text object -----------------------------------------------------------------------------

TfrxDrawText& TfrxCustomMemoView::Renderer() const
{
    if (TfrxReport* r = Report()) return r->DrawText();
    return TfrxDrawText::Global();
}

double TfrxCustomMemoView::VerticalExtra() const
{
    const TfrxFrame* f = Frame();
    double r = 2 * GapY;
    if (HasSide(f, ftTop)) r += (f->Width - 1) / 2;
    if (HasSide(f, ftBottom)) r += f->Width / 2;
    if (f->DropShadow) r += f->ShadowWidth;
    return r;
}

double TfrxCustomMemoView::HorizontalExtra() const
{
    const TfrxFrame* f = Frame();
    double r = 2 * GapX;
    if (HasSide(f, ftLeft)) r += (f->Width - 1) / 2;
    if (HasSide(f, ftRight)) r += f->Width / 2;
    if (f->DropShadow) r += f->ShadowWidth;
    return r;
}

void TfrxCustomMemoView::PrepareDraw(TCanvas* canvas, double scaleX, double scaleY, double offsetX,
                                     double offsetY)
{
    TfrxView::PrepareDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    const TfrxFrame* f = Frame();
    int gx = RoundI(scaleX * GapX), gy = RoundI(scaleY * GapY);
    int l = HasSide(f, ftLeft) ? RoundI((scaleX * f->Width - 1) / 2) : 0;
    int t = HasSide(f, ftTop) ? RoundI((scaleY * f->Width - 1) / 2) : 0;
    int r = HasSide(f, ftRight) ? RoundI(scaleX * f->Width / 2) : 0;
    int b = HasSide(f, ftBottom) ? RoundI(scaleY * f->Width / 2) : 0;
    FTextRect = Rect(FX + l + gx, FY + t + gy, FX1 - r - gx + 1, FY1 - b - gy + 1);
}

void TfrxCustomMemoView::ApplyRendererFont(TfrxDrawText& d)
{
    d.ApplyFont(Highlight()->Active ? Highlight()->Font() : Font());
}

namespace {
std::vector<std::string> Paragraphs(TStringList* memo)
{
    std::vector<std::string> r;
    r.reserve(size_t(memo->Count()));
    for (int i = 0; i < memo->Count(); ++i) r.push_back((*memo)[i]);
    return r;
}
}

void TfrxCustomMemoView::PrepareRenderer(TCanvas* canvas, double scaleX, double scaleY, double offsetX,
                                         double offsetY)
{
    TfrxDrawText& d = Renderer();
    ApplyRendererFont(d);
    if (Highlight()->Active) Color = Highlight()->Color;
    d.SetLayoutOptions(WordWrap, AllowHTMLTags, Rotation(), WordBreak, RTLReading);
    d.SetSpacing(LineSpacing, CharSpacing, ParagraphGap);
    if (!IsDesigning() && AutoWidth) {
        TRect big = Rect(0, 0, 10000, 10000);
        d.SetArea(big, big, 1, 1);
        d.BuildLines(Paragraphs(Memo()));
        double oldWidth = Width();
        double w = d.WidestLine() + HorizontalExtra();
        SetWidth(w);
        if (HAlign == frxClass::haRight) SetLeft(Left() + oldWidth - w);
        else if (HAlign == frxClass::haCenter) SetLeft(Left() + (oldWidth - w) / 2);
        if (Parent()) Parent()->AlignChildren();
    }
    PrepareDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    TRect device = FTextRect;
    PrepareDraw(nullptr, 1, 1, 0, 0);
    TRect layout = FTextRect;
    d.SetArea(layout, device, scaleX, scaleY);
    d.BuildLines(Paragraphs(Memo()));
}

namespace {
// Every mark of the page count replaced: a text drawn again (the preview
// paints a page many times) reads the same each time.
std::string WithTotalPages(const std::string& text, int total)
{
    const std::string mark = "[TOTALPAGES#]", upper = UpperCase(text), value = IntToStr(total);
    std::string r;
    size_t from = 0;
    for (size_t p; (p = upper.find(mark, from)) != std::string::npos; from = p + mark.size())
        r += text.substr(from, p - from) + value;
    return r + text.substr(from);
}
}  // namespace

void TfrxCustomMemoView::PutTotalPages()
{
    if (!IsDesigning()) {
        if (AllowExpressions) {
            const std::string text = Text();
            if (FindNoCase(text, "[TOTALPAGES#]") != std::string::npos) SetText(WithTotalPages(text, TotalPagesValue));
        }
    } else if (HasDataField()) {
        SetText("[" + DataSet()->UserName() + ".\"" + DataField + "\"]");
    }
}

void TfrxCustomMemoView::Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY)
{
    PutTotalPages();
    const TColor savedColor = Color;
    TfrxDrawText& d = Renderer();
    TfrxDrawTextLock lock(d);
    try {
        PrepareRenderer(canvas, scaleX, scaleY, offsetX, offsetY);
        TfrxView::Draw(canvas, scaleX, scaleY, offsetX, offsetY);
        if (canvas && Underlines && Rotation() == 0) {
            TPen* pen = canvas->Pen();
            pen->SetColor(Frame()->Color);
            pen->SetStyle(psSolid);
            pen->SetWidth(std::max(1, FFrameWidth));
            const double step = d.LineStep() * scaleY;
            for (int k = 1;; ++k) {
                int y = FY + RoundI(k * step);
                if (y >= FY1 || step <= 0) break;
                canvas->MoveTo(FX, y);
                canvas->LineTo(FX1, y);
            }
        }
        if (canvas) d.DrawLines(canvas, HAlign, VAlign);
    } catch (...) {
        Color = savedColor;
        throw;
    }
    Color = savedColor;
}

double TfrxCustomMemoView::CalcHeight()
{
    TfrxDrawText& d = Renderer();
    TfrxDrawTextLock lock(d);
    ApplyRendererFont(d);
    d.SetLayoutOptions(WordWrap, AllowHTMLTags, Rotation(), WordBreak, RTLReading);
    d.SetSpacing(LineSpacing, CharSpacing, ParagraphGap);
    if (AutoWidth) {
        TRect big = Rect(0, 0, 10000, 10000);
        d.SetArea(big, big, 1, 1);
    } else {
        PrepareDraw(nullptr, 1, 1, 0, 0);
        d.SetArea(FTextRect, FTextRect, 1, 1);
    }
    d.BuildLines(Paragraphs(Memo()));
    return double(RoundI(d.TextBlockHeight() + VerticalExtra()));
}

double TfrxCustomMemoView::CalcWidth()
{
    TfrxDrawText& d = Renderer();
    TfrxDrawTextLock lock(d);
    ApplyRendererFont(d);
    d.SetLayoutOptions(WordWrap, AllowHTMLTags, Rotation(), WordBreak, RTLReading);
    d.SetSpacing(LineSpacing, CharSpacing, ParagraphGap);
    TRect big = Rect(0, 0, 10000, 10000);
    d.SetArea(big, big, 1, 1);
    d.BuildLines(Paragraphs(Memo()));
    return double(RoundI(d.WidestLine() + HorizontalExtra()));
}

void TfrxCustomMemoView::StartPart() { PartText = Text(); }

double TfrxCustomMemoView::FitPart()
{
    TfrxDrawText& d = Renderer();
    TfrxDrawTextLock lock(d);
    const TColor savedColor = Color;
    SetText(PartText);
    PrepareRenderer(nullptr, 1, 1, 0, 0);
    PartText = d.TakeOverflow();
    std::string fitting = d.FittingText();
    // The source text holds each paragraph followed by a line end.
    if (fitting.size() >= 2 && fitting.compare(fitting.size() - 2, 2, "\r\n") == 0) fitting.resize(fitting.size() - 2);
    SetText(fitting);
    double spare = d.SpareHeight();
    Color = savedColor;
    return spare == 0 ? Height() : spare;
}

std::string TfrxCustomMemoView::WrappedText(bool wrapped)
{
    if (!IsDesigning()) PutTotalPages();
    TfrxDrawText& d = Renderer();
    TfrxDrawTextLock lock(d);
    const TColor savedColor = Color;
    PrepareRenderer(nullptr, 1, 1, 0, 0);
    Color = savedColor;
    std::string r;
    if (wrapped) {
        for (int i = 0; i < d.LineCount(); ++i) {
            if (i) r += "\r\n";
            r += d.Line(i);
        }
        return r;
    }
    return d.StripTags(Text());
}

std::string TfrxCustomMemoView::GetComponentText()
{
    // The same mark the text step writes and drawing replaces.
    return AllowExpressions ? WithTotalPages(Text(), TotalPagesValue) : Text();
}

TfrxShownText TfrxCustomMemoView::ShownText()
{
    TfrxDrawText& d = Renderer();
    TfrxDrawTextLock lock(d);
    const TColor savedColor = Color;
    PutTotalPages();
    PrepareRenderer(nullptr, 1, 1, 0, 0);
    Color = savedColor;
    return d.ShownText(HAlign, VAlign);
}

std::string TfrxCustomMemoView::FormatValue(const Variant& value, TfrxFormat* format)
{
    if (VarIsNull(value) || VarIsEmpty(value)) return std::string();
    try {
        switch (format->Kind) {
        case fkText: return VarToStr(value);
        case fkNumeric: {
            TFormatSettings fs = FormatSettings;
            if (format->DecimalSeparator.size() == 1) fs.DecimalSeparator = format->DecimalSeparator[0];
            double v = value.AsDouble();
            if (!format->FormatStr.empty() && format->FormatStr[0] == '#')
                return FormatFloat(format->FormatStr, v, fs);
            return Format(format->FormatStr, {v}, fs);
        }
        case fkDateTime: return FormatDateTime(format->FormatStr, VarToDateTime(value));
        case fkBoolean: {
            std::string f = format->FormatStr;
            size_t c = f.find(',');
            std::string yes = f.substr(0, c), no = c == std::string::npos ? std::string() : f.substr(c + 1);
            bool isTrue = false;
            try {
                isTrue = VarCmpOp(value, Variant(true), opCmpEQ);
            } catch (const std::exception&) {
                isTrue = false;
            }
            return isTrue ? yes : no;
        }
        }
    } catch (const std::exception&) {
    }
    try {
        return VarToStr(value);
    } catch (const std::exception&) {
        return std::string();
    }
}

namespace {
bool IsZero(const Variant& v)
{
    if (VarIsNull(v) || VarIsEmpty(v) || VarIsStr(v)) return false;
    try {
        return VarIsNumeric(v) && v.AsDouble() == 0;
    } catch (const std::exception&) {
        return false;
    }
}
}

std::string TfrxCustomMemoView::CalcAndFormat(const std::string& expression)
{
    std::string expr = expression;
    TfrxFormat* format = DisplayFormat();
    TfrxFormat temp;
    size_t hash = expr.find(" #");
    if (hash != std::string::npos) {
        std::string f = expr.substr(hash + 2);
        expr = expr.substr(0, hash);
        if (!f.empty()) {
            char k = f[0];
            temp.FormatStr = f.substr(1);
            switch (k) {
            case 'B': case 'b': temp.Kind = fkBoolean; break;
            case 'D': case 'T': case 'd': case 't': temp.Kind = fkDateTime; break;
            case 'N': case 'n':
                temp.Kind = fkNumeric;
                for (char& c : temp.FormatStr)
                    if (c == ',' || c == '-' || c == '.') {
                        temp.DecimalSeparator = std::string(1, c);
                        c = '.';
                    }
                break;
            default: temp.Kind = fkText; break;
            }
        }
        format = &temp;
    }
    if (SameText(Trim(expr), "TOTALPAGES#")) {
        Value = Variant(std::string("[TotalPages#]"));
    } else {
        Value = Report()->Calc(expr);
    }
    if (HideZeros && IsZero(Value)) return std::string();
    return FormatValue(Value, format);
}

void TfrxCustomMemoView::GetData()
{
    TfrxView::GetData();
    TfrxReport* report = Report();
    if (HasDataField()) {
        TfrxDataSet* ds = DataSet();
        if (ds->IsBlobField(DataField)) {
            TMemoryStream ms;
            ds->AssignBlobTo(DataField, &ms);
            SetText(std::string(static_cast<const char*>(ms.Memory()), size_t(ms.Size())));
        } else {
            Value = ds->GetValue(DataField);
            if (DisplayFormat()->Kind != fkText) SetText(FormatValue(Value, DisplayFormat()));
            else SetText(ds->GetDisplayText(DataField));
            if (HideZeros && IsZero(Value)) SetText(std::string());
        }
    } else if (AllowExpressions && report) {
        std::string delims = ExpressionDelimiters;
        size_t comma = delims.find(',');
        std::string open = delims.substr(0, comma);
        std::string close = comma == std::string::npos ? std::string() : delims.substr(comma + 1);
        std::string s = Text();
        if (!open.empty() && !close.empty() && s.find(open) != std::string::npos) {
            size_t i = 0;
            while (i < s.size()) {
                unsigned char c = static_cast<unsigned char>(s[i]);
                if (c >= 0x80 || s.compare(i, open.size(), open) != 0) {
                    ++i;
                    continue;
                }
                int start = 0, end = 0;
                std::string expr;
                if (!FindExpression(s, open, close, int(i) + 1, expr, start, end))
                    break;   // no matching closing delimiter: the scan ends
                std::string value = CalcAndFormat(expr);
                s = s.substr(0, size_t(start - 1)) + value + s.substr(size_t(end));
                i = size_t(start - 1) + value.size();
            }
            SetText(s);
        }
    }
    if (report) report->SetCurrentValue(Value);
    Highlight()->Active = false;
    if (report && !Trim(Highlight()->Condition).empty()) {
        Variant v = report->Calc(Highlight()->Condition);
        try {
            Highlight()->Active = !VarIsNull(v) && v.AsBoolean();
        } catch (const std::exception&) {
            Highlight()->Active = false;
        }
    }
    if (SuppressRepeated) {
        std::string t = Text();
        if (!VarIsNull(LastValue) && VarIsStr(LastValue) && VarToStr(LastValue) == t) SetText(std::string());
        else LastValue = Variant(t);
    }
    if (TfrxCustomMemoView* next = FlowTo()) {
        StartPart();
        FitPart();
        next->SetText(PartText);
        next->AllowExpressions = false;
    }
}
