// Published properties of the report model, in the order a layout file
// lists them, and the class records.
#include "frxClass.h"
#include "frxPublish.h"
#include "frxRes.h"
#include "frxVariables.h"

#include "StringLists.h"
#include "TextUtils.h"

#include <functional>

using namespace frxPublish;

namespace {

using Props = std::vector<TPropInfo>;

// ---- shared pieces -----------------------------------------------------------------

template <class C> TPropInfo FontProp()
{
    TPropInfo p = PublishObject<C>("Font", &TfrxComponent::Font, &TfrxComponent::SetFont);
    p.TypeName = "TFont";
    p.StoredBy([](TObject* o) { return static_cast<TfrxComponent*>(o)->IsFontStored(); });
    return p;
}

template <class C> TPropInfo Geometry(const char* name)
{
    std::string n = name;
    if (n == "Left") return PublishFloat<C>(name, &TfrxComponent::Left, &TfrxComponent::SetLeft, "Extended");
    if (n == "Top") return PublishFloat<C>(name, &TfrxComponent::Top, &TfrxComponent::SetTop, "Extended");
    if (n == "Width") return PublishFloat<C>(name, &TfrxComponent::Width, &TfrxComponent::SetWidth, "Extended");
    return PublishFloat<C>(name, &TfrxComponent::Height, &TfrxComponent::SetHeight, "Extended");
}

template <class C> TPropInfo VisibleProp()
{
    return PublishBool<C>("Visible", &TfrxComponent::Visible, &TfrxComponent::SetVisible, true);
}

template <class C> TPropInfo ParentFontProp()
{
    return PublishBool<C>("ParentFont", &TfrxComponent::ParentFont, &TfrxComponent::SetParentFont, true);
}

template <class C> TPropInfo RestrictionsProp()
{
    return PublishSet<C>("Restrictions", &TfrxComponent::Restrictions, &TfrxComponent::SetRestrictions,
                         TfrxRestrictions(), "TfrxRestrictions");
}

template <class C> TPropInfo GroupIndexProp()
{
    return PublishInt<C>("GroupIndex", &TfrxComponent::GroupIndex, &TfrxComponent::SetGroupIndex, 0);
}

template <class C> TPropInfo FrameProp(TfrxFrame* (C::*get)() const, void (C::*set)(TfrxFrame*))
{
    return PublishObject<C>("Frame", get, set);
}

// ---- frame, font of highlights, formats --------------------------------------------------

void DefineFrame(Props& p)
{
    p.push_back(Color<TfrxFrame>("Color", &TfrxFrame::Color, &TfrxFrame::Color, 0));
    p.push_back(PublishBool<TfrxFrame>("DropShadow", &TfrxFrame::DropShadow, &TfrxFrame::DropShadow, false));
    p.push_back(Color<TfrxFrame>("ShadowColor", &TfrxFrame::ShadowColor, &TfrxFrame::ShadowColor, 0));
    p.push_back(FloatStoredUnless<TfrxFrame>("ShadowWidth", &TfrxFrame::ShadowWidth, &TfrxFrame::ShadowWidth, 4));
    p.push_back(PublishEnum<TfrxFrame>("Style", &TfrxFrame::Style, &TfrxFrame::Style, fsSolid));
    p.push_back(PublishSet<TfrxFrame>("Typ", &TfrxFrame::Typ, &TfrxFrame::Typ, TfrxFrameTypes(),
                                      "TfrxFrameTypes")
                    .StoredBy([](TObject* o) { return !static_cast<TfrxFrame*>(o)->Typ.Empty(); }));
    p.push_back(FloatStoredUnless<TfrxFrame>("Width", &TfrxFrame::Width, &TfrxFrame::Width, 1));
}

void DefineHighlight(Props& p)
{
    p.push_back(PublishBool<TfrxHighlight>("Active", &TfrxHighlight::Active, &TfrxHighlight::Active, false));
    TPropInfo f = PublishObject<TfrxHighlight>("Font", &TfrxHighlight::Font, &TfrxHighlight::SetFont);
    f.TypeName = "TFont";
    p.push_back(f);
    p.push_back(Color<TfrxHighlight>("Color", &TfrxHighlight::Color, &TfrxHighlight::Color, int64_t(clNone)));
    p.push_back(PublishString<TfrxHighlight>("Condition", &TfrxHighlight::Condition, &TfrxHighlight::Condition));
}

void DefineFormat(Props& p)
{
    p.push_back(PublishString<TfrxFormat>("DecimalSeparator", &TfrxFormat::DecimalSeparator,
                                          &TfrxFormat::DecimalSeparator));
    p.push_back(PublishString<TfrxFormat>("FormatStr", &TfrxFormat::FormatStr, &TfrxFormat::FormatStr));
    p.push_back(PublishEnum<TfrxFormat>("Kind", &TfrxFormat::Kind, &TfrxFormat::Kind, fkText));
}

// ---- data sets ------------------------------------------------------------------------------

void DefineDataSet(Props& p)
{
    using D = TfrxDataSet;
    p.push_back(PublishBool<D>("Enabled", &D::Enabled, &D::SetEnabled, true));
    p.push_back(PublishEnum<D>("RangeBegin", &D::RangeBegin, &D::SetRangeBegin, rbFirst));
    p.push_back(PublishEnum<D>("RangeEnd", &D::RangeEnd, &D::SetRangeEnd, reLast));
    p.push_back(PublishInt<D>("RangeEndCount", &D::RangeEndCount, &D::SetRangeEndCount, 0));
    p.push_back(PublishString<D>("UserName", &D::UserName, &D::SetUserName));
    p.push_back(PublishEvent<D>("OnCheckEOF", &D::OnCheckEOF, "TfrxCheckEOFEvent"));
    p.push_back(PublishEvent<D>("OnFirst", &D::OnFirst));
    p.push_back(PublishEvent<D>("OnNext", &D::OnNext));
    p.push_back(PublishEvent<D>("OnPrior", &D::OnPrior));
}

void DefineUserDataSet(Props& p)
{
    using D = TfrxUserDataSet;
    p.push_back(PublishObject<D>("Fields", &D::Fields, &D::SetFields));
    p.push_back(PublishEvent<D>("OnGetValue", &D::OnGetValue, "TfrxGetValueEvent"));
}

void DefineCustomDBDataSet(Props& p)
{
    using D = TfrxCustomDBDataSet;
    p.push_back(PublishBool<D>("CloseDataSource", &D::CloseDataSource, &D::SetCloseDataSource, false));
    p.push_back(PublishObject<D>("FieldAliases", &D::FieldAliases, &D::SetFieldAliases));
    p.push_back(PublishBool<D>("OpenDataSource", &D::OpenDataSource, &D::SetOpenDataSource, true));
    p.push_back(PublishEvent<TfrxDataSet>("OnClose", &TfrxDataSet::OnClose));
    p.push_back(PublishEvent<TfrxDataSet>("OnOpen", &TfrxDataSet::OnOpen));
}

// ---- views ----------------------------------------------------------------------------------

void DefineView(Props& p)
{
    using V = TfrxView;
    p.push_back(PublishEnum<V>("Align", &V::Align, &V::Align, baNone));
    TPropInfo cursor = PublishInt<V>("Cursor", &V::Cursor, &V::Cursor, 0);
    cursor.TypeName = "TCursor";
    p.push_back(cursor);
    p.push_back(PublishBool<V>("Printable", &V::Printable, &V::Printable, true));
    p.push_back(PublishEnum<V>("ShiftMode", &V::ShiftMode, &V::ShiftMode, smAlways));
    p.push_back(PublishString<V>("TagStr", &V::TagStr, &V::TagStr));
    p.push_back(PublishString<V>("URL", &V::URL, &V::URL));
    p.push_back(Geometry<V>("Left"));
    p.push_back(Geometry<V>("Top"));
    p.push_back(Geometry<V>("Width"));
    p.push_back(Geometry<V>("Height"));
    p.push_back(GroupIndexProp<V>());
    p.push_back(RestrictionsProp<V>());
    p.push_back(VisibleProp<V>());
    p.push_back(ScriptEvent<V>("OnAfterData", &TfrxReportComponent::OnAfterData));
    p.push_back(ScriptEvent<V>("OnAfterPrint", &TfrxReportComponent::OnAfterPrint));
    p.push_back(ScriptEvent<V>("OnBeforePrint", &TfrxReportComponent::OnBeforePrint));
    p.push_back(ScriptEvent<V>("OnPreviewClick", &TfrxReportComponent::OnPreviewClick, "TfrxPreviewClickEvent"));
}

template <class C> TPropInfo BrushStyleProp()
{
    return PlatformEnum<TfrxView>("BrushStyle", frxClass::BrushStyleType(), &TfrxView::BrushStyle,
                                  frxEnums::bsSolid);
}
template <class C> TPropInfo ViewColorProp()
{
    return Color<TfrxView>("Color", &TfrxView::Color, &TfrxView::Color, int64_t(clNone));
}
template <class C> TPropInfo ViewFrameProp() { return PublishObject<TfrxView>("Frame", &TfrxView::Frame, &TfrxView::SetFrame); }
template <class C> TPropInfo DataFieldProp()
{
    return PublishString<TfrxView>("DataField", &TfrxView::DataField, &TfrxView::DataField);
}
template <class C> TPropInfo ViewDataSetProp()
{
    return PublishObject<TfrxView>("DataSet", &TfrxView::DataSet, &TfrxView::SetDataSet);
}
template <class C> TPropInfo ViewDataSetNameProp()
{
    return PublishString<TfrxView>("DataSetName", &TfrxView::DataSetName, &TfrxView::SetDataSetName);
}

void DefineStretcheable(Props& p)
{
    p.push_back(PublishEnum<TfrxStretcheable>("StretchMode", &TfrxStretcheable::StretchMode,
                                              &TfrxStretcheable::StretchMode, smDontStretch));
}

void DefineShape(Props& p)
{
    p.push_back(BrushStyleProp<TfrxShapeView>());
    p.push_back(ViewColorProp<TfrxShapeView>());
    p.push_back(ViewFrameProp<TfrxShapeView>());
    p.push_back(PublishEnum<TfrxShapeView>("Shape", &TfrxShapeView::Shape, &TfrxShapeView::Shape, skRectangle));
}

void DefineCustomLine(Props& p)
{
    p.push_back(PublishBool<TfrxCustomLineView>("Diagonal", &TfrxCustomLineView::Diagonal,
                                                &TfrxCustomLineView::Diagonal, false));
    p.push_back(ViewFrameProp<TfrxCustomLineView>());
}

void DefinePicture(Props& p)
{
    using V = TfrxPictureView;
    p.push_back(PublishBool<V>("AutoSize", &V::AutoSize, &V::SetAutoSize, false));
    p.push_back(PublishBool<V>("Center", &V::Center, &V::Center, false));
    p.push_back(DataFieldProp<V>());
    p.push_back(ViewDataSetProp<V>());
    p.push_back(ViewDataSetNameProp<V>());
    p.push_back(ViewFrameProp<V>());
    p.push_back(PublishBool<V>("KeepAspectRatio", &V::KeepAspectRatio, &V::KeepAspectRatio, true));
    TPropInfo pic = PublishObject<V>("Picture", &V::Picture, &V::SetPicture);
    pic.TypeName = "TPicture";
    p.push_back(pic);
    p.push_back(PublishBool<V>("Stretched", &V::Stretched, &V::Stretched, true));
}

// The text object's properties; sys limits them to what the system text publishes.
void MemoProps(Props& p, bool sys)
{
    using M = TfrxCustomMemoView;
    auto add = [&](bool inSys, TPropInfo info) {
        if (!sys || inSys) p.push_back(std::move(info));
    };
    add(true, PublishBool<M>("AutoWidth", &M::AutoWidth, &M::AutoWidth, false));
    add(false, PublishBool<M>("AllowExpressions", &M::AllowExpressions, &M::AllowExpressions, true));
    add(false, PublishBool<M>("AllowHTMLTags", &M::AllowHTMLTags, &M::AllowHTMLTags, false));
    add(true, BrushStyleProp<M>());
    add(true, FloatStoredUnless<M>("CharSpacing", &M::CharSpacing, &M::CharSpacing, 0));
    add(true, ViewColorProp<M>());
    add(false, DataFieldProp<M>());
    add(false, ViewDataSetProp<M>());
    add(false, ViewDataSetNameProp<M>());
    add(true, PublishObject<M>("DisplayFormat", &M::DisplayFormat, &M::SetDisplayFormat));
    add(false, PublishString<M>("ExpressionDelimiters", &M::ExpressionDelimiters, &M::ExpressionDelimiters)
                   .StoredBy([](TObject* o) { return static_cast<M*>(o)->ExpressionDelimiters != "[,]"; }));
    add(false, PublishObject<M>("FlowTo", &M::FlowTo, &M::SetFlowTo));
    add(true, FontProp<M>());
    add(true, ViewFrameProp<M>());
    add(true, FloatStoredUnless<M>("GapX", &M::GapX, &M::GapX, 2));
    add(true, FloatStoredUnless<M>("GapY", &M::GapY, &M::GapY, 1));
    add(true, PublishEnum<M>("HAlign", &M::HAlign, &M::HAlign, frxClass::haLeft));
    add(true, PublishBool<M>("HideZeros", &M::HideZeros, &M::HideZeros, false));
    add(true, PublishObject<M>("Highlight", &M::Highlight, &M::SetHighlight).StoredBy([](TObject* o) {
        return !Trim(static_cast<M*>(o)->Highlight()->Condition).empty();
    }));
    add(false, FloatStoredUnless<M>("LineSpacing", &M::LineSpacing, &M::LineSpacing, 2));
    add(true, PublishObject<M>("Memo", &M::Memo, &M::SetMemo));
    add(false, FloatStoredUnless<M>("ParagraphGap", &M::ParagraphGap, &M::ParagraphGap, 0));
    add(true, ParentFontProp<M>());
    add(true, PublishInt<M>("Rotation", &M::Rotation, &M::SetRotation, 0));
    add(true, PublishBool<M>("RTLReading", &M::RTLReading, &M::RTLReading, false));
    add(true, PublishString<M>("Style", &M::Style, &M::SetStyle));
    add(true, PublishBool<M>("SuppressRepeated", &M::SuppressRepeated, &M::SuppressRepeated, false));
    add(false, PublishBool<M>("Underlines", &M::Underlines, &M::Underlines, false));
    add(false, PublishBool<M>("WordBreak", &M::WordBreak, &M::WordBreak, false));
    add(false, PublishBool<M>("WordWrap", &M::WordWrap, &M::WordWrap, true));
    add(true, PublishEnum<M>("VAlign", &M::VAlign, &M::VAlign, frxClass::vaTop));
}

void DefineMemo(Props& p) { MemoProps(p, false); }
void DefineSysMemo(Props& p) { MemoProps(p, true); }

// ---- bands ------------------------------------------------------------------------------------

void DefineBand(Props& p)
{
    using B = TfrxBand;
    p.push_back(FontProp<B>());
    p.push_back(Geometry<B>("Height"));
    p.push_back(Geometry<B>("Left"));
    p.push_back(ParentFontProp<B>());
    p.push_back(RestrictionsProp<B>());
    p.push_back(Geometry<B>("Top"));
    p.push_back(PublishBool<B>("Vertical", &B::Vertical, &B::Vertical, false));
    p.push_back(VisibleProp<B>());
    p.push_back(Geometry<B>("Width"));
    p.push_back(ScriptEvent<B>("OnAfterCalcHeight", &B::OnAfterCalcHeight));
    p.push_back(ScriptEvent<B>("OnAfterPrint", &TfrxReportComponent::OnAfterPrint));
    p.push_back(ScriptEvent<B>("OnBeforePrint", &TfrxReportComponent::OnBeforePrint));
}

TPropInfo BandProp(const std::string& n)
{
    using B = TfrxBand;
    if (n == "AllowSplit") return PublishBool<B>("AllowSplit", &B::AllowSplit, &B::AllowSplit, false);
    if (n == "Child") return PublishObject<B>("Child", &B::Child, &B::SetChild);
    if (n == "Condition") return PublishString<B>("Condition", &B::Condition, &B::Condition);
    if (n == "KeepChild") return PublishBool<B>("KeepChild", &B::KeepChild, &B::KeepChild, false);
    if (n == "KeepTogether") return PublishBool<B>("KeepTogether", &B::KeepTogether, &B::KeepTogether, false);
    if (n == "OutlineText") return PublishString<B>("OutlineText", &B::OutlineText, &B::OutlineText);
    if (n == "PrintChildIfInvisible")
        return PublishBool<B>("PrintChildIfInvisible", &B::PrintChildIfInvisible, &B::PrintChildIfInvisible, false);
    if (n == "PrintOnFirstPage")
        return PublishBool<B>("PrintOnFirstPage", &B::PrintOnFirstPage, &B::PrintOnFirstPage, true);
    if (n == "PrintOnLastPage")
        return PublishBool<B>("PrintOnLastPage", &B::PrintOnLastPage, &B::PrintOnLastPage, true);
    if (n == "ReprintOnNewPage")
        return PublishBool<B>("ReprintOnNewPage", &B::ReprintOnNewPage, &B::ReprintOnNewPage, false);
    if (n == "StartNewPage") return PublishBool<B>("StartNewPage", &B::StartNewPage, &B::StartNewPage, false);
    return PublishBool<B>("Stretched", &B::Stretched, &B::Stretched, false);
}

void Bands(Props& p, std::initializer_list<const char*> names)
{
    for (const char* n : names) p.push_back(BandProp(n));
}

void DefineReportTitle(Props& p)
{
    Bands(p, {"Child", "KeepChild", "PrintChildIfInvisible", "StartNewPage", "Stretched"});
}
void DefineReportSummary(Props& p)
{
    Bands(p, {"AllowSplit", "Child", "KeepChild", "PrintChildIfInvisible", "StartNewPage", "Stretched"});
}
void DefinePageHeader(Props& p) { Bands(p, {"Child", "PrintChildIfInvisible", "PrintOnFirstPage", "Stretched"}); }
void DefinePageFooter(Props& p) { Bands(p, {"PrintOnFirstPage", "PrintOnLastPage"}); }
void DefineHeader(Props& p)
{
    Bands(p, {"AllowSplit", "Child", "KeepChild", "PrintChildIfInvisible", "ReprintOnNewPage", "StartNewPage",
              "Stretched"});
}
void DefineFooter(Props& p) { Bands(p, {"AllowSplit", "Child", "KeepChild", "PrintChildIfInvisible", "Stretched"}); }
void DefineGroupHeader(Props& p)
{
    Bands(p, {"AllowSplit", "Child", "Condition", "KeepChild", "KeepTogether", "ReprintOnNewPage", "OutlineText",
              "PrintChildIfInvisible", "StartNewPage", "Stretched"});
}
void DefineGroupFooter(Props& p) { Bands(p, {"AllowSplit", "Child", "KeepChild", "PrintChildIfInvisible", "Stretched"}); }
void DefineChild(Props& p)
{
    Bands(p, {"AllowSplit", "Child", "KeepChild", "PrintChildIfInvisible", "StartNewPage", "Stretched"});
}
void DefineColumnHeader(Props& p) { Bands(p, {"Stretched"}); }

void DefineDataBand(Props& p)
{
    using D = TfrxDataBand;
    p.push_back(BandProp("AllowSplit"));
    p.push_back(BandProp("Child"));
    p.push_back(PublishInt<D>("Columns", &D::Columns, [](D* d, int v) {
        if (v < 0 || v > frMaxColumns) throw EPropertyError(frxRes::Resources().Get("prInvProp"));
        d->Columns = v;
    }, 0));
    p.push_back(PublishFloat<D>("ColumnWidth", &D::ColumnWidth, &D::ColumnWidth, "Extended"));
    p.push_back(PublishFloat<D>("ColumnGap", &D::ColumnGap, &D::ColumnGap, "Extended"));
    p.push_back(PublishObject<D>("DataSet", &D::DataSet, &D::SetDataSet));
    p.push_back(PublishString<D>("DataSetName", &D::DataSetName, &D::SetDataSetName));
    p.push_back(PublishBool<D>("FooterAfterEach", &D::FooterAfterEach, &D::FooterAfterEach, false));
    p.push_back(BandProp("KeepChild"));
    p.push_back(PublishBool<D>("KeepFooter", &D::KeepFooter, &D::KeepFooter, false));
    p.push_back(PublishBool<D>("KeepHeader", &D::KeepHeader, &D::KeepHeader, false));
    p.push_back(BandProp("KeepTogether"));
    p.push_back(BandProp("OutlineText"));
    p.push_back(BandProp("PrintChildIfInvisible"));
    p.push_back(PublishBool<D>("PrintIfDetailEmpty", &D::PrintIfDetailEmpty, &D::PrintIfDetailEmpty, false));
    p.push_back(PublishInt<D>("RowCount", &D::RowCount, &D::SetRowCount));
    p.push_back(BandProp("StartNewPage"));
    p.push_back(BandProp("Stretched"));
    p.push_back(ScriptEvent<D>("OnMasterDetail", &D::OnMasterDetail));
}

void DefineSubreport(Props& p)
{
    using S = TfrxSubreport;
    p.push_back(PublishObject<S>("Page", &S::SubPage, &S::SetSubPage));
    p.push_back(PublishBool<S>("PrintOnParent", &S::PrintOnParent, &S::PrintOnParent, false));
}

// ---- pages --------------------------------------------------------------------------------------

void DefinePage(Props& p)
{
    p.push_back(FontProp<TfrxPage>());
    p.push_back(VisibleProp<TfrxPage>());
}

void DefineReportPage(Props& p)
{
    using P = TfrxReportPage;
    TPropInfo o;
    o.Name = "Orientation";
    o.Kind = tkEnumeration;
    o.TypeInfo = frxClass::PrinterOrientationType();
    o.TypeName = o.TypeInfo->Name;
    o.ValueNames = o.TypeInfo->Names;
    o.HasDefault = true;
    o.Default = frxEnums::poPortrait;
    o.GetOrd = [](TObject* x) -> int64_t { return static_cast<P*>(x)->Orientation(); };
    o.SetOrd = [](TObject* x, int64_t v) { static_cast<P*>(x)->SetOrientation(int(v)); };
    p.push_back(o);
    p.push_back(PublishFloat<P>("PaperWidth", &P::PaperWidth, &P::SetPaperWidth, "Extended"));
    p.push_back(PublishFloat<P>("PaperHeight", &P::PaperHeight, &P::SetPaperHeight, "Extended"));
    p.push_back(PublishInt<P>("PaperSize", &P::PaperSize, &P::SetPaperSize));
    p.push_back(PublishFloat<P>("LeftMargin", &P::LeftMargin, &P::LeftMargin, "Extended"));
    p.push_back(PublishFloat<P>("RightMargin", &P::RightMargin, &P::RightMargin, "Extended"));
    p.push_back(PublishFloat<P>("TopMargin", &P::TopMargin, &P::TopMargin, "Extended"));
    p.push_back(PublishFloat<P>("BottomMargin", &P::BottomMargin, &P::BottomMargin, "Extended"));
    p.push_back(PublishBool<P>("MirrorMargins", &P::MirrorMargins, &P::MirrorMargins, false));
    p.push_back(PublishInt<P>("Columns", &P::Columns, &P::SetColumns, 0));
    p.push_back(PublishFloat<P>("ColumnWidth", &P::ColumnWidth, &P::ColumnWidth, "Extended"));
    p.push_back(PublishObject<P>("ColumnPositions", &P::ColumnPositions, &P::SetColumnPositions));
    p.push_back(PublishInt<P>("Bin", &P::Bin, &P::Bin));
    p.push_back(PublishInt<P>("BinOtherPages", &P::BinOtherPages, &P::BinOtherPages));
    TPropInfo back = PublishObject<P>("BackPicture", &P::BackPicture, &P::SetBackPicture);
    back.TypeName = "TPicture";
    p.push_back(back);
    p.push_back(Color<P>("Color", &P::Color, &P::SetColor, int64_t(clNone)));
    p.push_back(PublishObject<P>("DataSet", &P::DataSet, &P::SetDataSet));
    p.push_back(PublishString<P>("DataSetName", &P::DataSetName, &P::SetDataSetName));
    p.push_back(PublishEnum<P>("Duplex", &P::Duplex, &P::Duplex, dmNone));
    p.push_back(PublishObject<P>("Frame", &P::Frame, &P::SetFrame));
    p.push_back(PublishBool<P>("LargeDesignHeight", &P::LargeDesignHeight, &P::LargeDesignHeight, false));
    p.push_back(PublishString<P>("OutlineText", &P::OutlineText, &P::OutlineText));
    p.push_back(PublishBool<P>("PrintIfEmpty", &P::PrintIfEmpty, &P::PrintIfEmpty, true));
    p.push_back(PublishBool<P>("PrintOnPreviousPage", &P::PrintOnPreviousPage, &P::PrintOnPreviousPage, false));
    p.push_back(PublishBool<P>("TitleBeforeHeader", &P::TitleBeforeHeader, &P::TitleBeforeHeader, true));
    p.push_back(PublishObject<P>("HGuides", &P::HGuides, &P::SetHGuides));
    p.push_back(PublishObject<P>("VGuides", &P::VGuides, &P::SetVGuides));
    p.push_back(ScriptEvent<P>("OnAfterPrint", &P::OnAfterPrint));
    p.push_back(ScriptEvent<P>("OnBeforePrint", &P::OnBeforePrint));
    p.push_back(ScriptEvent<P>("OnManualBuild", &P::OnManualBuild));
}

void DefineDialogPage(Props& p)
{
    using P = TfrxDialogPage;
    p.push_back(PlatformEnum<P>("BorderStyle", frxClass::FormBorderStyleType(), &P::BorderStyle,
                                frxEnums::fbsSizeable));
    p.push_back(PublishString<P>("Caption", &P::Caption, &P::Caption, "TCaption"));
    p.push_back(Color<P>("Color", &P::Color, &P::Color, int64_t(clBtnFace)));
    p.push_back(Geometry<P>("Height"));
    p.push_back(Geometry<P>("Left"));
    p.push_back(PlatformEnum<P>("Position", frxClass::PositionType(), &P::Position, frxEnums::poScreenCenter));
    p.push_back(Geometry<P>("Top"));
    p.push_back(Geometry<P>("Width"));
    p.push_back(PlatformEnum<P>("WindowState", frxClass::WindowStateType(), &P::WindowState, frxEnums::wsNormal));
    p.push_back(ScriptEvent<P>("OnActivate", &P::OnActivate));
    p.push_back(ScriptEvent<P>("OnClick", &P::OnClick));
    p.push_back(ScriptEvent<P>("OnCloseQuery", &P::OnCloseQuery, "TfrxCloseQueryEvent"));
    p.push_back(ScriptEvent<P>("OnDeactivate", &P::OnDeactivate));
    p.push_back(ScriptEvent<P>("OnHide", &P::OnHide));
    p.push_back(ScriptEvent<P>("OnKeyDown", &P::OnKeyDown, "TfrxKeyEvent"));
    p.push_back(ScriptEvent<P>("OnKeyPress", &P::OnKeyPress, "TfrxKeyPressEvent"));
    p.push_back(ScriptEvent<P>("OnKeyUp", &P::OnKeyUp, "TfrxKeyEvent"));
    p.push_back(ScriptEvent<P>("OnShow", &P::OnShow));
    p.push_back(ScriptEvent<P>("OnResize", &P::OnResize));
}

// ---- options, styles, data-set items --------------------------------------------------------------

void DefineEngineOptions(Props& p)
{
    using E = TfrxEngineOptions;
    p.push_back(PublishBool<E>("ConvertNulls", &E::ConvertNulls, &E::ConvertNulls, true));
    p.push_back(PublishBool<E>("DoublePass", &E::DoublePass, &E::DoublePass, false));
    p.push_back(PublishInt<E>("MaxMemSize", &E::MaxMemSize, &E::MaxMemSize, 10));
    p.push_back(PublishBool<E>("PrintIfEmpty", &E::PrintIfEmpty, &E::PrintIfEmpty, true));
    p.push_back(PublishBool<E>("SilentMode", &E::SilentMode, &E::SilentMode, false));
    p.push_back(PublishString<E>("TempDir", &E::TempDir, &E::TempDir));
    p.push_back(PublishBool<E>("UseFileCache", &E::UseFileCache, &E::UseFileCache, false));
}

void DefinePreviewOptions(Props& p)
{
    using O = TfrxPreviewOptions;
    p.push_back(PublishBool<O>("AllowEdit", &O::AllowEdit, &O::AllowEdit, true));
    p.push_back(PublishSet<O>("Buttons", &O::Buttons, &O::Buttons, std::nullopt, "TfrxPreviewButtons"));
    p.push_back(PublishBool<O>("DoubleBuffered", &O::DoubleBuffered, &O::DoubleBuffered, true));
    p.push_back(PublishBool<O>("Maximized", &O::Maximized, &O::Maximized, true));
    p.push_back(PublishBool<O>("MDIChild", &O::MDIChild, &O::MDIChild, false));
    p.push_back(PublishBool<O>("Modal", &O::Modal, &O::Modal, true));
    p.push_back(PublishBool<O>("OutlineVisible", &O::OutlineVisible, &O::OutlineVisible, false));
    p.push_back(PublishInt<O>("OutlineWidth", &O::OutlineWidth, &O::OutlineWidth, 120));
    p.push_back(PublishBool<O>("ShowCaptions", &O::ShowCaptions, &O::ShowCaptions, false));
    p.push_back(PublishFloat<O>("Zoom", &O::Zoom, &O::Zoom, "Extended"));
    p.push_back(PublishEnum<O>("ZoomMode", &O::ZoomMode, &O::ZoomMode, zmDefault));
}

void DefinePrintOptions(Props& p)
{
    using O = TfrxPrintOptions;
    p.push_back(PublishInt<O>("Copies", &O::Copies, &O::Copies, 1));
    p.push_back(PublishBool<O>("Collate", &O::Collate, &O::Collate, true));
    p.push_back(PublishString<O>("PageNumbers", &O::PageNumbers, &O::PageNumbers));
    p.push_back(PublishString<O>("Printer", &O::Printer, &O::Printer));
    p.push_back(PublishEnum<O>("PrintPages", &O::PrintPages, &O::PrintPages, ppAll));
    p.push_back(PublishBool<O>("ShowDialog", &O::ShowDialog, &O::ShowDialog, true));
}

void DefineReportOptions(Props& p)
{
    using O = TfrxReportOptions;
    p.push_back(PublishString<O>("Author", &O::Author, &O::Author));
    p.push_back(PublishBool<O>("Compressed", &O::Compressed, &O::Compressed, false));
    p.push_back(PublishFloat<O>("CreateDate", &O::CreateDate, &O::CreateDate, "TDateTime"));
    p.push_back(PublishObject<O>("Description", &O::Description, &O::SetDescription));
    p.push_back(PublishString<O>("InitString", &O::InitString, &O::InitString));
    p.push_back(PublishString<O>("Name", &O::Name, &O::Name));
    p.push_back(PublishFloat<O>("LastChange", &O::LastChange, &O::LastChange, "TDateTime"));
    p.push_back(PublishString<O>("Password", &O::Password, &O::Password));
    TPropInfo pic = PublishObject<O>("Picture", &O::Picture, &O::SetPicture);
    pic.TypeName = "TPicture";
    p.push_back(pic);
    p.push_back(PublishString<O>("VersionBuild", &O::VersionBuild, &O::VersionBuild));
    p.push_back(PublishString<O>("VersionMajor", &O::VersionMajor, &O::VersionMajor));
    p.push_back(PublishString<O>("VersionMinor", &O::VersionMinor, &O::VersionMinor));
    p.push_back(PublishString<O>("VersionRelease", &O::VersionRelease, &O::VersionRelease));
}

void DefineDataSetItem(Props& p)
{
    using I = TfrxDataSetItem;
    p.push_back(PublishObject<I>("DataSet", &I::DataSet, &I::SetDataSet));
    p.push_back(PublishString<I>("DataSetName", &I::DataSetName, &I::SetDataSetName));
}

void DefineStyleItem(Props& p)
{
    using S = TfrxStyleItem;
    p.push_back(PublishString<S>("Name", &S::Name, &S::SetName));
    p.push_back(Color<S>("Color", &S::Color, &S::Color));
    TPropInfo f = PublishObject<S>("Font", &S::Font, &S::SetFont);
    f.TypeName = "TFont";
    p.push_back(f);
    p.push_back(PublishObject<S>("Frame", &S::Frame, &S::SetFrame));
}

void DefineVariable(Props& p)
{
    p.push_back(PublishString<TfrxVariable>("Name", &TfrxVariable::Name, &TfrxVariable::Name));
    p.push_back(PublishVariant<TfrxVariable>("Value", &TfrxVariable::Value, &TfrxVariable::Value));
}

// ---- report -----------------------------------------------------------------------------------------

void DefineReport(Props& p)
{
    using R = TfrxReport;
    p.push_back(PublishObject<R>("DataSet", &R::DataSet, &R::SetDataSet));
    p.push_back(PublishString<R>("DataSetName", &R::DataSetName, &R::SetDataSetName));
    p.push_back(PublishBool<R>("DotMatrixReport", &R::DotMatrixReport, &R::DotMatrixReport, false));
    p.push_back(PublishObject<R>("EngineOptions", &R::EngineOptions, &R::SetEngineOptions));
    p.push_back(PublishString<R>("IniFile", &R::IniFile, &R::IniFile));
    p.push_back(PublishBool<R>("OldStyleProgress", &R::OldStyleProgress, &R::OldStyleProgress, false));
    p.push_back(PublishObject<R>("PreviewOptions", &R::PreviewOptions, &R::SetPreviewOptions));
    p.push_back(PublishObject<R>("PrintOptions", &R::PrintOptions, &R::SetPrintOptions));
    p.push_back(PublishObject<R>("ReportOptions", &R::ReportOptions, &R::SetReportOptions));
    p.push_back(PublishString<R>("ScriptLanguage", &R::ScriptLanguage, &R::ScriptLanguage));
    p.push_back(PublishObject<R>("ScriptText", &R::ScriptText, &R::SetScriptText));
    p.push_back(PublishBool<R>("ShowProgress", &R::ShowProgress, &R::ShowProgress, true));
    p.push_back(PublishEvent<R>("OnAfterPrint", &R::OnAfterPrint, "TfrxBeforePrintEvent"));
    p.push_back(PublishEvent<R>("OnBeforePrint", &R::OnBeforePrint, "TfrxBeforePrintEvent"));
    p.push_back(PublishEvent<R>("OnBeginDoc", &R::OnBeginDoc));
    p.push_back(PublishEvent<R>("OnClickObject", &R::OnClickObject, "TfrxClickObjectEvent"));
    p.push_back(PublishEvent<R>("OnGetValue", &R::OnGetValue, "TfrxGetValueEvent"));
    p.push_back(PublishEvent<R>("OnManualBuild", &R::OnManualBuild, "TfrxManualBuildEvent"));
    p.push_back(PublishEvent<R>("OnMouseOverObject", &R::OnMouseOverObject, "TfrxMouseOverObjectEvent"));
    p.push_back(PublishEvent<R>("OnPrintReport", &R::OnPrintReport));
    p.push_back(PublishEvent<R>("OnProgressStart", &R::OnProgressStart, "TfrxProgressEvent"));
    p.push_back(PublishEvent<R>("OnProgress", &R::OnProgress, "TfrxProgressEvent"));
    p.push_back(PublishEvent<R>("OnProgressStop", &R::OnProgressStop, "TfrxProgressEvent"));
    p.push_back(PublishEvent<R>("OnUserFunction", &R::OnUserFunction, "TfrxUserFunctionEvent"));
    p.push_back(ScriptEvent<R>("OnStartReport", &R::OnStartReport));
    p.push_back(ScriptEvent<R>("OnStopReport", &R::OnStopReport));
}

void DefineCustomEngine(Props& p)
{
    using E = TfrxCustomEngine;
    p.push_back(PublishInt<E>("CurColumn", &E::CurColumn, &E::CurColumn));
    p.push_back(PublishInt<E>("CurVColumn", &E::CurVColumn, &E::CurVColumn));
    p.push_back(PublishFloat<E>("CurX", &E::CurX, &E::CurX, "Extended"));
    p.push_back(PublishFloat<E>("CurY", &E::CurY, &E::CurY, "Extended"));
    p.push_back(PublishBool<E>("DoublePass", &E::DoublePass));
    p.push_back(PublishBool<E>("FinalPass", &E::FinalPass, &E::FinalPass));
    p.push_back(PublishFloat<E>("PageHeight", &E::PageHeight, &E::PageHeight, "Extended"));
    p.push_back(PublishFloat<E>("PageWidth", &E::PageWidth, &E::PageWidth, "Extended"));
    p.push_back(PublishFloat<E>("StartDate", &E::StartDate, &E::StartDate, "TDateTime"));
    p.push_back(PublishFloat<E>("StartTime", &E::StartTime, &E::StartTime, "TDateTime"));
    p.push_back(PublishInt<E>("TotalPages", &E::TotalPages, &E::TotalPages));
}

}  // namespace

QZ_CLASS_IMPL(TfrxComponent, TComponent)
QZ_CLASS_IMPL(TfrxReportComponent, TfrxComponent)
QZ_CLASS_IMPL(TfrxDialogComponent, TfrxReportComponent)
QZ_CLASS_IMPL_PROPS(TfrxDataSet, TfrxDialogComponent, DefineDataSet)
QZ_CLASS_IMPL_PROPS(TfrxUserDataSet, TfrxDataSet, DefineUserDataSet)
QZ_CLASS_IMPL_PROPS(TfrxCustomDBDataSet, TfrxDataSet, DefineCustomDBDataSet)
QZ_CLASS_IMPL_PROPS(TfrxFrame, TPersistent, DefineFrame)
QZ_CLASS_IMPL_PROPS(TfrxView, TfrxReportComponent, DefineView)
QZ_CLASS_IMPL_PROPS(TfrxStretcheable, TfrxView, DefineStretcheable)
QZ_CLASS_IMPL_PROPS(TfrxShapeView, TfrxView, DefineShape)
QZ_CLASS_IMPL_PROPS(TfrxCustomLineView, TfrxStretcheable, DefineCustomLine)
QZ_CLASS_IMPL(TfrxLineView, TfrxCustomLineView)
QZ_CLASS_IMPL_PROPS(TfrxPictureView, TfrxView, DefinePicture)
QZ_CLASS_IMPL_PROPS(TfrxHighlight, TPersistent, DefineHighlight)
QZ_CLASS_IMPL_PROPS(TfrxFormat, TPersistent, DefineFormat)
QZ_CLASS_IMPL(TfrxCustomMemoView, TfrxStretcheable)
QZ_CLASS_IMPL_PROPS(TfrxMemoView, TfrxCustomMemoView, DefineMemo)
QZ_CLASS_IMPL_PROPS(TfrxSysMemoView, TfrxCustomMemoView, DefineSysMemo)
QZ_CLASS_IMPL_PROPS(TfrxBand, TfrxReportComponent, DefineBand)
QZ_CLASS_IMPL_PROPS(TfrxReportTitle, TfrxBand, DefineReportTitle)
QZ_CLASS_IMPL_PROPS(TfrxReportSummary, TfrxBand, DefineReportSummary)
QZ_CLASS_IMPL_PROPS(TfrxPageHeader, TfrxBand, DefinePageHeader)
QZ_CLASS_IMPL_PROPS(TfrxPageFooter, TfrxBand, DefinePageFooter)
QZ_CLASS_IMPL_PROPS(TfrxHeader, TfrxBand, DefineHeader)
QZ_CLASS_IMPL_PROPS(TfrxFooter, TfrxBand, DefineFooter)
QZ_CLASS_IMPL_PROPS(TfrxDataBand, TfrxBand, DefineDataBand)
QZ_CLASS_IMPL(TfrxMasterData, TfrxDataBand)
QZ_CLASS_IMPL(TfrxDetailData, TfrxDataBand)
QZ_CLASS_IMPL(TfrxSubdetailData, TfrxDataBand)
QZ_CLASS_IMPL(TfrxDataBand4, TfrxDataBand)
QZ_CLASS_IMPL(TfrxDataBand5, TfrxDataBand)
QZ_CLASS_IMPL(TfrxDataBand6, TfrxDataBand)
QZ_CLASS_IMPL_PROPS(TfrxGroupHeader, TfrxBand, DefineGroupHeader)
QZ_CLASS_IMPL_PROPS(TfrxGroupFooter, TfrxBand, DefineGroupFooter)
QZ_CLASS_IMPL_PROPS(TfrxChild, TfrxBand, DefineChild)
QZ_CLASS_IMPL_PROPS(TfrxColumnHeader, TfrxBand, DefineColumnHeader)
QZ_CLASS_IMPL(TfrxColumnFooter, TfrxBand)
QZ_CLASS_IMPL(TfrxOverlay, TfrxBand)
QZ_CLASS_IMPL(TfrxNullBand, TfrxBand)
QZ_CLASS_IMPL_PROPS(TfrxSubreport, TfrxView, DefineSubreport)
QZ_CLASS_IMPL_PROPS(TfrxPage, TfrxComponent, DefinePage)
QZ_CLASS_IMPL_PROPS(TfrxReportPage, TfrxPage, DefineReportPage)
QZ_CLASS_IMPL_PROPS(TfrxDialogPage, TfrxPage, DefineDialogPage)
QZ_CLASS_IMPL_PROPS(TfrxEngineOptions, TPersistent, DefineEngineOptions)
QZ_CLASS_IMPL_PROPS(TfrxPreviewOptions, TPersistent, DefinePreviewOptions)
QZ_CLASS_IMPL_PROPS(TfrxPrintOptions, TPersistent, DefinePrintOptions)
QZ_CLASS_IMPL_PROPS(TfrxReportOptions, TPersistent, DefineReportOptions)
QZ_CLASS_IMPL_PROPS(TfrxDataSetItem, TCollectionItem, DefineDataSetItem)
QZ_CLASS_IMPL(TfrxReportDataSets, TCollection)
QZ_CLASS_IMPL_PROPS(TfrxStyleItem, TCollectionItem, DefineStyleItem)
QZ_CLASS_IMPL(TfrxStyles, TCollection)
QZ_CLASS_IMPL_PROPS(TfrxCustomEngine, TPersistent, DefineCustomEngine)
QZ_CLASS_IMPL(TfrxCustomOutline, TPersistent)
QZ_CLASS_IMPL(TfrxCustomPreviewPages, TObject)
QZ_CLASS_IMPL(TfrxCustomExportFilter, TComponent)
QZ_CLASS_IMPL(TfrxCustomWizard, TComponent)
QZ_CLASS_IMPL_PROPS(TfrxVariable, TCollectionItem, DefineVariable)
QZ_CLASS_IMPL(TfrxVariables, TCollection)
QZ_CLASS_IMPL_PROPS(TfrxReport, TfrxComponent, DefineReport)

namespace frxClass {

void Initialize()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClasses({TfrxChild::StaticClass(), TfrxColumnFooter::StaticClass(),
                     TfrxColumnHeader::StaticClass(), TfrxCustomMemoView::StaticClass(),
                     TfrxMasterData::StaticClass(), TfrxDetailData::StaticClass(),
                     TfrxSubdetailData::StaticClass(), TfrxDataBand4::StaticClass(),
                     TfrxDataBand5::StaticClass(), TfrxDataBand6::StaticClass(),
                     TfrxDialogPage::StaticClass(), TfrxFooter::StaticClass(), TfrxFrame::StaticClass(),
                     TfrxGroupFooter::StaticClass(), TfrxGroupHeader::StaticClass(),
                     TfrxHeader::StaticClass(), TfrxHighlight::StaticClass(), TfrxLineView::StaticClass(),
                     TfrxMemoView::StaticClass(), TfrxOverlay::StaticClass(),
                     TfrxPageFooter::StaticClass(), TfrxPageHeader::StaticClass(),
                     TfrxPictureView::StaticClass(), TfrxReport::StaticClass(),
                     TfrxReportPage::StaticClass(), TfrxReportSummary::StaticClass(),
                     TfrxReportTitle::StaticClass(), TfrxShapeView::StaticClass(),
                     TfrxSubreport::StaticClass(), TfrxSysMemoView::StaticClass(),
                     TfrxStyleItem::StaticClass(), TfrxNullBand::StaticClass(),
                     TfrxCustomLineView::StaticClass()});
}

}  // namespace frxClass
