#include "frxDMPClass.h"

#include "SysUtils.h"
#include "TypInfo.h"
#include "frxRes.h"

#include <cmath>

namespace {

using Props = std::vector<TPropInfo>;

double RoundTo(double x, double cell) { return double(Round(x / cell)) * cell; }
double TruncTo(double x, double cell) { return double(Trunc(x / cell)) * cell; }

TfrxDMPPage* DMPPageOf(const TfrxComponent* c)
{
    for (TfrxComponent* p = c->Parent(); p; p = p->Parent())
        if (auto* page = DynamicCast<TfrxDMPPage>(p)) return page;
    return nullptr;
}

std::string StyleDiff(TfrxDMPFontStyles mine, TfrxDMPFontStyles theirs)
{
    if (mine == theirs) return std::string();
    return " FontStyle=\"" + IntToStr(int(mine.ToInt())) + "\"";
}

template <class C> TPropInfo FontStyleProp()
{
    TPropInfo p = PublishSet<C>("FontStyle", &C::FontStyle, &C::SetFontStyle, TfrxDMPFontStyles(),
                                "TfrxDMPFontStyles");
    p.StoredBy(StoredWhen<C>(&C::IsFontStyleStored));
    return p;
}

void DefineDMPPage(Props& p)
{
    p.push_back(PublishSet<TfrxDMPPage>("FontStyle", &TfrxDMPPage::FontStyle, &TfrxDMPPage::SetFontStyle,
                                        TfrxDMPFontStyles(), "TfrxDMPFontStyles"));
}

void DefineDMPMemo(Props& p)
{
    using M = TfrxDMPMemoView;
    p.push_back(PublishBool<M>("AutoWidth", &M::AutoWidth, &M::AutoWidth, false));
    p.push_back(PublishBool<M>("AllowExpressions", &M::AllowExpressions, &M::AllowExpressions, true));
    p.push_back(PublishString<M>("DataField", &M::DataField, &M::DataField));
    p.push_back(PublishString<M>("DataSetName", &M::DataSetName, &M::SetDataSetName));
    p.push_back(PublishObject<M>("DisplayFormat", &M::DisplayFormat, &M::SetDisplayFormat));
    TPropInfo d = PublishString<M>("ExpressionDelimiters", &M::ExpressionDelimiters, &M::ExpressionDelimiters);
    d.StoredBy([](TObject* o) { return static_cast<M*>(o)->ExpressionDelimiters != "[,]"; });
    p.push_back(d);
    p.push_back(FontStyleProp<M>());
    p.push_back(PublishObject<M>("Frame", &M::Frame, &M::SetFrame));
    p.push_back(PublishEnum<M>("HAlign", &M::HAlign, &M::HAlign, frxClass::haLeft));
    p.push_back(PublishBool<M>("HideZeros", &M::HideZeros, &M::HideZeros, false));
    p.push_back(PublishObject<M>("Memo", &M::Memo, &M::SetMemo));
    p.push_back(PublishBool<M>("ParentFont", &TfrxComponent::ParentFont, &TfrxComponent::SetParentFont, true));
    p.push_back(PublishBool<M>("RTLReading", &M::RTLReading, &M::RTLReading, false));
    p.push_back(PublishBool<M>("SuppressRepeated", &M::SuppressRepeated, &M::SuppressRepeated, false));
    p.push_back(PublishBool<M>("WordWrap", &M::WordWrap, &M::WordWrap, true));
    p.push_back(PublishEnum<M>("VAlign", &M::VAlign, &M::VAlign, frxClass::vaTop));
}

void DefineDMPLine(Props& p)
{
    using L = TfrxDMPLineView;
    p.push_back(FontStyleProp<L>());
    p.push_back(PublishBool<L>("ParentFont", &TfrxComponent::ParentFont, &TfrxComponent::SetParentFont, true));
}

}  // namespace

QZ_CLASS_IMPL_PROPS(TfrxDMPPage, TfrxReportPage, DefineDMPPage)
QZ_CLASS_IMPL_PROPS(TfrxDMPMemoView, TfrxCustomMemoView, DefineDMPMemo)
QZ_CLASS_IMPL_PROPS(TfrxDMPLineView, TfrxCustomLineView, DefineDMPLine)

namespace frxDMPClass {

void ApplyFont(TfrxFont* font, TfrxDMPFontStyles style)
{
    // Setting up the font is no change of the object's own font.
    TNotifyEvent saved = font->OnChange;
    font->OnChange = nullptr;
    font->SetName("Courier New");
    font->SetSize(12);
    int bits = 0;
    if (style.Contains(fsxBold)) bits |= TfrxFont::Bold;
    if (style.Contains(fsxItalic)) bits |= TfrxFont::Italic;
    if (style.Contains(fsxUnderline)) bits |= TfrxFont::Underline;
    font->SetStyle(bits);
    font->OnChange = saved;
}

void Initialize()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClasses({TfrxDMPPage::StaticClass(), TfrxDMPMemoView::StaticClass(), TfrxDMPLineView::StaticClass()});
}

}  // namespace frxDMPClass

// ---- page ---------------------------------------------------------------------------------------------

TfrxDMPPage::TfrxDMPPage(TComponent* owner) : TfrxReportPage(owner)
{
    frxDMPClass::ApplyFont(Font(), FFontStyle);
}

void TfrxDMPPage::SnapPaper(bool height)
{
    SetPaperWidth(RoundTo(PaperWidth() * fr01cm, fr1CharX) / fr01cm);
    if (height) SetPaperHeight(RoundTo(PaperHeight() * fr01cm, fr1CharY) / fr01cm);
    UpdateDimensions();
}

void TfrxDMPPage::SetDefaults()
{
    TfrxReportPage::SetDefaults();
    LeftMargin = RightMargin = fr1CharX / fr01cm;
    TopMargin = BottomMargin = fr1CharY / fr01cm;
    SetPaperWidth(TruncTo(PaperWidth() * fr01cm, fr1CharX) / fr01cm);
    SetPaperHeight(TruncTo(PaperHeight() * fr01cm, fr1CharY) / fr01cm);
    UpdateDimensions();
}

void TfrxDMPPage::SetFontStyle(TfrxDMPFontStyles v)
{
    FFontStyle = v;
    frxDMPClass::ApplyFont(Font(), v);
    for (TfrxComponent* c : AllObjects())
        if (c->ParentFont()) c->SetParentFont(true);
}

// ---- text object -------------------------------------------------------------------------------------

TfrxDMPMemoView::TfrxDMPMemoView(TComponent* owner) : TfrxCustomMemoView(owner)
{
    frxDMPClass::ApplyFont(Font(), FFontStyle);
    CharSpacing = 0;
    LineSpacing = 1;
    GapX = 0;
    GapY = 0;
}

std::string TfrxDMPMemoView::GetDescription() const { return frxRes::Resources().Get("obDMPText"); }

void TfrxDMPMemoView::SetLeft(double v)
{
    TfrxCustomMemoView::SetLeft(Align == baRight ? TruncTo(v, fr1CharX) : RoundTo(v, fr1CharX));
}
void TfrxDMPMemoView::SetTop(double v) { TfrxCustomMemoView::SetTop(RoundTo(v, fr1CharY)); }
void TfrxDMPMemoView::SetWidth(double v) { TfrxCustomMemoView::SetWidth(RoundTo(v, fr1CharX)); }
void TfrxDMPMemoView::SetHeight(double v) { TfrxCustomMemoView::SetHeight(RoundTo(v, fr1CharY)); }

void TfrxDMPMemoView::SetParentFont(bool v)
{
    if (v)
        if (TfrxDMPPage* page = DMPPageOf(this)) SetFontStyle(page->FontStyle());
    TfrxCustomMemoView::SetParentFont(v);
    frxDMPClass::ApplyFont(Font(), FFontStyle);
}

void TfrxDMPMemoView::SetFontStyle(TfrxDMPFontStyles v)
{
    FFontStyle = v;
    TfrxCustomMemoView::SetParentFont(false);
    frxDMPClass::ApplyFont(Font(), v);
}

void TfrxDMPMemoView::PaintFrame()
{
    // Frame lines fall between character cells.
    FX = int(Round((AbsLeft() - fr1CharX / 2) * FScaleX + FOffsetX));
    FY = int(Round((AbsTop() - fr1CharY / 2) * FScaleY + FOffsetY));
    FX1 = int(Round((AbsLeft() + Width() + fr1CharX / 2) * FScaleX + FOffsetX));
    FY1 = int(Round((AbsTop() + Height() + fr1CharY / 2) * FScaleY + FOffsetY));
    FDX = FX1 - FX;
    FDY = FY1 - FY;
    TfrxCustomMemoView::PaintFrame();
}

double TfrxDMPMemoView::CalcHeight() { return RoundTo(TfrxCustomMemoView::CalcHeight(), fr1CharY); }
double TfrxDMPMemoView::CalcWidth() { return RoundTo(TfrxCustomMemoView::CalcWidth(), fr1CharX); }

std::string TfrxDMPMemoView::Diff(TfrxComponent* templ)
{
    std::string r = TfrxCustomMemoView::Diff(templ);
    if (auto* t = DynamicCast<TfrxDMPMemoView>(templ)) r += StyleDiff(FFontStyle, t->FFontStyle);
    return r;
}

// ---- line object ---------------------------------------------------------------------------------------

TfrxDMPLineView::TfrxDMPLineView(TComponent* owner) : TfrxCustomLineView(owner)
{
    frxDMPClass::ApplyFont(Font(), FFontStyle);
}

std::string TfrxDMPLineView::GetDescription() const { return frxRes::Resources().Get("obDMPLine"); }

// Lines run through the middle of a cell.
void TfrxDMPLineView::SetLeft(double v) { TfrxCustomLineView::SetLeft(TruncTo(v, fr1CharX) + fr1CharX / 2); }
void TfrxDMPLineView::SetTop(double v) { TfrxCustomLineView::SetTop(TruncTo(v, fr1CharY) + fr1CharY / 2); }

void TfrxDMPLineView::SetParentFont(bool v)
{
    if (v)
        if (TfrxDMPPage* page = DMPPageOf(this)) SetFontStyle(page->FontStyle());
    TfrxCustomLineView::SetParentFont(v);
    frxDMPClass::ApplyFont(Font(), FFontStyle);
}

void TfrxDMPLineView::SetFontStyle(TfrxDMPFontStyles v)
{
    FFontStyle = v;
    TfrxCustomLineView::SetParentFont(false);
    frxDMPClass::ApplyFont(Font(), v);
}

std::string TfrxDMPLineView::Diff(TfrxComponent* templ)
{
    std::string r = TfrxCustomLineView::Diff(templ);
    if (auto* t = DynamicCast<TfrxDMPLineView>(templ)) r += StyleDiff(FFontStyle, t->FFontStyle);
    return r;
}
