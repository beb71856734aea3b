#include "frxDesgnEditors.h"

#include "Classes.h"
#include "Graphics.h"
#include "Lists.h"
#include "Menus.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "frxClass.h"
#include "frxCodeUtils.h"
#include "frxCustomDesigner.h"
#include "frxCustomEditors.h"
#include "frxDMPClass.h"
#include "frxRes.h"
#include "frxSyntaxMemo.h"
#include "frxUtils.h"

#include <cmath>

namespace frxEditorForms {
std::function<bool(TfrxCustomDesigner*, TfrxCustomMemoView*, std::string&)> MemoEditor;
std::function<bool(TfrxCustomDesigner*, std::string&)> SysMemoEditor;
std::function<bool(TfrxCustomDesigner*, TfrxPicture*)> PictureEditor;
std::function<bool(TfrxCustomDesigner*, TfrxReportPage*)> PageEditor;
std::function<bool(TfrxCustomDesigner*, TfrxDataBand*)> DataBandEditor;
std::function<bool(TfrxCustomDesigner*, TfrxGroupHeader*)> GroupEditor;
std::function<bool(TfrxCustomDesigner*, TfrxFrame*)> FrameEditor;
std::function<bool(TfrxCustomDesigner*, TStrings*)> StringsEditor;
std::function<bool(TfrxCustomDesigner*, TfrxFormat*)> FormatEditor;
}  // namespace frxEditorForms

QZ_CLASS_IMPL(TfrxMemoProperty, TfrxClassProperty)
QZ_CLASS_IMPL(TfrxFrameProperty, TfrxClassProperty)
QZ_CLASS_IMPL(TfrxPictureProperty, TfrxClassProperty)
QZ_CLASS_IMPL(TfrxBitmapProperty, TfrxClassProperty)
QZ_CLASS_IMPL(TfrxStringsProperty, TfrxClassProperty)
QZ_CLASS_IMPL(TfrxDisplayFormatProperty, TfrxStringProperty)
QZ_CLASS_IMPL(TfrxDataSetProperty, TfrxPropertyEditor)
QZ_CLASS_IMPL(TfrxDataFieldProperty, TfrxPropertyEditor)
QZ_CLASS_IMPL(TfrxEventProperty, TfrxStringProperty)
QZ_CLASS_IMPL(TfrxLocSizeXProperty, TfrxFloatProperty)
QZ_CLASS_IMPL(TfrxLocSizeYProperty, TfrxLocSizeXProperty)
QZ_CLASS_IMPL(TfrxPaperXProperty, TfrxFloatProperty)
QZ_CLASS_IMPL(TfrxPaperYProperty, TfrxPaperXProperty)
QZ_CLASS_IMPL(TfrxBrushProperty, TfrxEnumProperty)
QZ_CLASS_IMPL(TfrxFrameStyleProperty, TfrxEnumProperty)
QZ_CLASS_IMPL(TfrxBooleanProperty, TfrxEnumProperty)

namespace {

std::string Text(const char* key) { return frxRes::Resources().Get(key); }

TfrxPropertyAttributes Attrs(int bits) { return TfrxPropertyAttributes::FromInt(uint64_t(bits)); }

TfrxCustomDesigner* DesignerOf(TComponent* c) { return DynamicCast<TfrxCustomDesigner>(c); }

// The designer's unit, pixels when the editor works without a designer.
int UnitsOf(TComponent* designer)
{
    if (auto* d = DesignerOf(designer)) return d->Units;
    return duPixels;
}

// The first selected object, or the edited one without a designer.
TfrxComponent* FirstSelected(const TfrxComponentEditor& e)
{
    if (auto* d = DesignerOf(e.Designer))
        if (d->SelectedObjects()->Count() > 0)
            return DynamicCast<TfrxComponent>(static_cast<TObject*>(d->SelectedObjects()->Items(0)));
    return e.Component;
}

int SelectedCount(const TfrxComponentEditor& e)
{
    if (auto* d = DesignerOf(e.Designer)) return d->SelectedObjects()->Count();
    return 1;
}

// The band a band command may change: the first selected object, unless
// it is restricted from modification.
TfrxBand* BandToChange(const TfrxComponentEditor& e)
{
    auto* b = DynamicCast<TfrxBand>(FirstSelected(e));
    if (!b || b->Restrictions().Contains(rfDontModify)) return nullptr;
    return b;
}

// A number as the unit editors write it: whole numbers plainly, others
// with two decimals, in the locale's decimal separator.
std::string UnitNumber(double v)
{
    if (v == std::floor(v) && std::fabs(v) < 1e15) return FloatToStr(v);
    return Format("%f", {v});
}

}  // namespace

// ---- pages, bands, subreports, dialog controls ----------------------------------------------

bool TfrxPageEditor::Edit()
{
    auto* page = DynamicCast<TfrxReportPage>(Component);
    if (!page || !frxEditorForms::PageEditor) return false;
    // A subreport's page takes its size from the page it is printed on.
    if (TfrxReport* report = page->Report())
        for (TfrxComponent* c : report->AllObjects())
            if (auto* s = DynamicCast<TfrxSubreport>(c))
                if (s->SubPage() == page) return false;
    return frxEditorForms::PageEditor(DesignerOf(Designer), page);
}

void TfrxBandEditor::FillMenu()
{
    auto* b = DynamicCast<TfrxBand>(Component);
    if (!b || SelectedCount(*this) > 1) return;
    const int k = b->BandClassIndex();
    auto in = [k](std::initializer_list<int> kinds) {
        for (int x : kinds)
            if (x == k) return true;
        return false;
    };
    if (!b->Vertical) {
        AddMenuItem(Text("mvStretch"), 10, b->Stretched);
        if (!in({0, 2, 3, 15, 16})) AddMenuItem(Text("bvSplit"), 11, b->AllowSplit);
        if (!in({2, 15})) AddMenuItem(Text("bvKeepChild"), 12, b->KeepChild);
    }
    AddMenuItem(Text("bvPrintChild"), 13, b->PrintChildIfInvisible);
    if (!in({2, 3, 5, 13, 15, 16})) AddMenuItem(Text("bvStartPage"), 14, b->StartNewPage);
}

bool TfrxBandEditor::RunMenuCommand(int tag)
{
    if (tag < 10 || tag > 14) return false;
    TfrxBand* b = BandToChange(*this);
    if (!b) return false;
    const bool on = MenuItemChecked(tag);
    switch (tag) {
    case 10: b->Stretched = on; break;
    case 11: b->AllowSplit = on; break;
    case 12: b->KeepChild = on; break;
    case 13: b->PrintChildIfInvisible = on; break;
    case 14: b->StartNewPage = on; break;
    }
    return true;
}

bool TfrxDataBandEditor::Edit()
{
    auto* b = DynamicCast<TfrxDataBand>(Component);
    return b && frxEditorForms::DataBandEditor && frxEditorForms::DataBandEditor(DesignerOf(Designer), b);
}

void TfrxDataBandEditor::FillMenu()
{
    TfrxBandEditor::FillMenu();
    auto* b = DynamicCast<TfrxDataBand>(Component);
    if (!b || SelectedCount(*this) > 1) return;
    AddMenuItem(Text("bvPrintIfEmpty"), 0, b->PrintIfDetailEmpty);
    AddMenuItem(Text("bvFooterAfterEach"), 1, b->FooterAfterEach);
    if (!b->Vertical) {
        AddMenuItem(Text("bvKeepDetail"), 2, b->KeepTogether);
        AddMenuItem(Text("bvKeepFooter"), 3, b->KeepFooter);
        AddMenuItem(Text("bvKeepHeader"), 4, b->KeepHeader);
    }
}

bool TfrxDataBandEditor::RunMenuCommand(int tag)
{
    if (tag >= 10) return TfrxBandEditor::RunMenuCommand(tag);
    if (tag < 0 || tag > 4) return false;
    auto* b = DynamicCast<TfrxDataBand>(BandToChange(*this));
    if (!b) return false;
    const bool on = MenuItemChecked(tag);
    switch (tag) {
    case 0: b->PrintIfDetailEmpty = on; break;
    case 1: b->FooterAfterEach = on; break;
    case 2: b->KeepTogether = on; break;
    case 3: b->KeepFooter = on; break;
    case 4: b->KeepHeader = on; break;
    }
    return true;
}

void TfrxHeaderEditor::FillMenu()
{
    TfrxBandEditor::FillMenu();
    if (auto* b = DynamicCast<TfrxBand>(Component)) AddMenuItem(Text("bvReprint"), 0, b->ReprintOnNewPage);
}

bool TfrxHeaderEditor::RunMenuCommand(int tag)
{
    if (tag != 0) return TfrxBandEditor::RunMenuCommand(tag);
    TfrxBand* b = BandToChange(*this);
    if (!b) return false;
    b->ReprintOnNewPage = MenuItemChecked(tag);
    return true;
}

void TfrxPageHeaderEditor::FillMenu()
{
    TfrxBandEditor::FillMenu();
    if (auto* b = DynamicCast<TfrxBand>(Component)) AddMenuItem(Text("bvOnFirst"), 0, b->PrintOnFirstPage);
}

bool TfrxPageHeaderEditor::RunMenuCommand(int tag)
{
    if (tag != 0) return TfrxBandEditor::RunMenuCommand(tag);
    TfrxBand* b = BandToChange(*this);
    if (!b) return false;
    b->PrintOnFirstPage = MenuItemChecked(tag);
    return true;
}

void TfrxPageFooterEditor::FillMenu()
{
    auto* b = DynamicCast<TfrxBand>(Component);
    if (!b || SelectedCount(*this) > 1) return;
    AddMenuItem(Text("bvOnFirst"), 0, b->PrintOnFirstPage);
    AddMenuItem(Text("bvOnLast"), 1, b->PrintOnLastPage);
}

bool TfrxPageFooterEditor::RunMenuCommand(int tag)
{
    if (tag != 0 && tag != 1) return false;
    TfrxBand* b = BandToChange(*this);
    if (!b) return false;
    (tag == 0 ? b->PrintOnFirstPage : b->PrintOnLastPage) = MenuItemChecked(tag);
    return true;
}

bool TfrxGroupHeaderEditor::Edit()
{
    auto* b = DynamicCast<TfrxGroupHeader>(Component);
    return b && frxEditorForms::GroupEditor && frxEditorForms::GroupEditor(DesignerOf(Designer), b);
}

void TfrxGroupHeaderEditor::FillMenu()
{
    TfrxBandEditor::FillMenu();
    auto* b = DynamicCast<TfrxBand>(Component);
    if (!b) return;
    AddMenuItem(Text("bvKeepGroup"), 0, b->KeepTogether);
    AddMenuItem(Text("bvReprint"), 1, b->ReprintOnNewPage);
}

bool TfrxGroupHeaderEditor::RunMenuCommand(int tag)
{
    if (tag != 0 && tag != 1) return TfrxBandEditor::RunMenuCommand(tag);
    TfrxBand* b = BandToChange(*this);
    if (!b) return false;
    (tag == 0 ? b->KeepTogether : b->ReprintOnNewPage) = MenuItemChecked(tag);
    return true;
}

bool TfrxSubreportEditor::Edit()
{
    auto* s = DynamicCast<TfrxSubreport>(Component);
    if (s && s->SubPage())
        if (auto* d = DesignerOf(Designer)) d->SetPage(s->SubPage());
    return false;
}

void TfrxSubreportEditor::FillMenu()
{
    if (auto* s = DynamicCast<TfrxSubreport>(Component)) AddMenuItem(Text("srParent"), 0, s->PrintOnParent);
}

bool TfrxSubreportEditor::RunMenuCommand(int tag)
{
    auto* s = DynamicCast<TfrxSubreport>(Component);
    if (tag != 0 || !s || s->Restrictions().Contains(rfDontModify)) return false;
    s->PrintOnParent = MenuItemChecked(tag);
    return true;
}

bool TfrxDialogControlEditor::Edit()
{
    TObject* c = Component;
    PPropInfo info = c ? GetPropInfo(c, "OnClick") : nullptr;
    if (!info || !info->GetStr || !info->SetStr) return false;
    return frxDesgnEditors::JumpToHandler(DesignerOf(Designer), Component, info->GetStr(c), "OnClick",
                                          "TfrxNotifyEvent",
                                          [c, info](const std::string& name) { info->SetStr(c, name); });
}

// ---- property editors -----------------------------------------------------------------------

TfrxPropertyAttributes TfrxMemoProperty::GetAttributes() { return Attrs(36); }

bool TfrxMemoProperty::Edit()
{
    auto* m = DynamicCast<TfrxCustomMemoView>(GetComponent());
    if (!m || !frxEditorForms::MemoEditor) return false;
    std::string text = m->Text();
    if (!frxEditorForms::MemoEditor(DesignerOf(Designer), m, text)) return false;
    m->SetText(text);
    return true;
}

TfrxPropertyAttributes TfrxFrameProperty::GetAttributes() { return Attrs(36); }

bool TfrxFrameProperty::Edit()
{
    TObject* o = GetComponent();
    auto* frame = o ? DynamicCast<TfrxFrame>(GetObjectProp(o, GetPropInfo())) : nullptr;
    if (!frame || !frxEditorForms::FrameEditor) return false;
    TfrxFrame copy;
    copy.Assign(frame);
    if (!frxEditorForms::FrameEditor(DesignerOf(Designer), &copy)) return false;
    frame->Assign(&copy);
    return true;
}

TfrxPropertyAttributes TfrxPictureProperty::GetAttributes() { return Attrs(36); }

std::string TfrxPictureProperty::GetValue()
{
    TObject* o = GetComponent();
    auto* p = o ? DynamicCast<TfrxPicture>(GetObjectProp(o, GetPropInfo())) : nullptr;
    return Text(p && !p->Empty() ? "prPict" : "prNotAssigned");
}

bool TfrxPictureProperty::Edit()
{
    TObject* o = GetComponent();
    auto* p = o ? DynamicCast<TfrxPicture>(GetObjectProp(o, GetPropInfo())) : nullptr;
    if (!p || !frxEditorForms::PictureEditor) return false;
    TfrxPicture copy;
    copy.Assign(p);
    if (!frxEditorForms::PictureEditor(DesignerOf(Designer), &copy)) return false;
    p->Assign(&copy);
    return true;
}

TfrxPropertyAttributes TfrxBitmapProperty::GetAttributes() { return Attrs(36); }

std::string TfrxBitmapProperty::GetValue() { return Text("prPict"); }

bool TfrxBitmapProperty::Edit()
{
    TObject* o = GetComponent();
    auto* bitmap = o ? DynamicCast<TBitmap>(GetObjectProp(o, GetPropInfo())) : nullptr;
    if (!bitmap || !frxEditorForms::PictureEditor) return false;
    TfrxPicture copy;
    if (!bitmap->Empty()) {
        TStringStream s;
        bitmap->SaveToStream(&s);
        copy.SetData(gkBitmap, s.DataString());
    }
    if (!frxEditorForms::PictureEditor(DesignerOf(Designer), &copy)) return false;
    if (copy.Empty()) {
        bitmap->SetSize(0, 0);
    } else {
        TStringStream s(copy.Data());
        bitmap->LoadFromStream(&s);
    }
    return true;
}

TfrxPropertyAttributes TfrxStringsProperty::GetAttributes() { return Attrs(36); }

bool TfrxStringsProperty::Edit()
{
    TObject* o = GetComponent();
    auto* lines = o ? DynamicCast<TStrings>(GetObjectProp(o, GetPropInfo())) : nullptr;
    if (!lines || !frxEditorForms::StringsEditor) return false;
    TStringList copy;
    copy.Assign(lines);
    if (!frxEditorForms::StringsEditor(DesignerOf(Designer), &copy)) return false;
    lines->Assign(&copy);
    return true;
}

TfrxPropertyAttributes TfrxDisplayFormatProperty::GetAttributes() { return Attrs(44); }

std::string TfrxDisplayFormatProperty::GetValue()
{
    TObject* o = GetComponent();
    auto* f = o ? DynamicCast<TfrxFormat>(GetObjectProp(o, GetPropInfo())) : nullptr;
    return f ? f->FormatStr : std::string();
}

bool TfrxDisplayFormatProperty::Edit()
{
    TObject* o = GetComponent();
    auto* f = o ? DynamicCast<TfrxFormat>(GetObjectProp(o, GetPropInfo())) : nullptr;
    if (!f || !frxEditorForms::FormatEditor) return false;
    TfrxFormat copy;
    copy.Assign(f);
    if (!frxEditorForms::FormatEditor(DesignerOf(Designer), &copy)) return false;
    f->Assign(&copy);
    return true;
}

namespace {

// A bound text object shows its field: "[" data set "." quote field quote "]".
void RewriteBoundText(TObject* first)
{
    auto* m = DynamicCast<TfrxCustomMemoView>(first);
    if (!m || !m->DataSet() || m->DataField.empty()) return;
    m->SetText("[" + m->DataSet()->UserName() + ".\"" + m->DataField + "\"]");
}

TfrxReport* ReportOf(TObject* o)
{
    if (auto* c = DynamicCast<TfrxComponent>(o)) return c->Report();
    return nullptr;
}

}  // namespace

TfrxPropertyAttributes TfrxDataSetProperty::GetAttributes() { return Attrs(9); }

std::string TfrxDataSetProperty::GetValue()
{
    TObject* o = GetComponent();
    TfrxReport* report = ReportOf(o);
    auto* ds = o ? DynamicCast<TfrxDataSet>(GetObjectProp(o, GetPropInfo())) : nullptr;
    if (!ds || !report) return Text("prNotAssigned");
    return report->DataSetDisplayName(ds);
}

void TfrxDataSetProperty::GetValues()
{
    TfrxPropertyEditor::GetValues();
    TObject* o = GetComponent();
    TfrxReport* report = ReportOf(o);
    if (!report) return;
    TStringList names;
    report->ListReportDataSets(&names, true);
    if (auto* self = DynamicCast<TfrxDataSet>(o)) {
        const int i = names.IndexOf(self->UserName());
        if (i >= 0) names.Delete(i);
    }
    for (int i = 0; i < names.Count(); ++i) AddValue(names[i]);
}

void TfrxDataSetProperty::SetValue(const std::string& value)
{
    TfrxDataSet* ds = nullptr;
    if (!value.empty()) {
        TfrxReport* report = ReportOf(GetComponent());
        ds = report ? report->GetDataset(value) : nullptr;
        if (!ds) throw Exception(Text("prInvProp"));
    }
    for (int i = 0; i < ComponentCount(); ++i)
        if (TObject* o = Components(i)) SetObjectProp(o, PropInfos(i), ds);
    RewriteBoundText(GetComponent());
}

TfrxPropertyAttributes TfrxDataFieldProperty::GetAttributes() { return Attrs(9); }

std::string TfrxDataFieldProperty::GetValue() { return GetStrValue(); }

void TfrxDataFieldProperty::GetValues()
{
    TfrxPropertyEditor::GetValues();
    auto* v = DynamicCast<TfrxView>(GetComponent());
    if (!v || !v->DataSet()) return;
    TStringList fields;
    v->DataSet()->GetFieldList(&fields);
    for (int i = 0; i < fields.Count(); ++i) AddValue(fields[i]);
}

void TfrxDataFieldProperty::SetValue(const std::string& value)
{
    SetStrValue(value);
    RewriteBoundText(GetComponent());
}

TfrxPropertyAttributes TfrxEventProperty::GetAttributes() { return Attrs(9); }

void TfrxEventProperty::GetValues()
{
    TfrxPropertyEditor::GetValues();
    TfrxCustomDesigner* d = DesignerOf(Designer);
    PPropInfo info = GetPropInfo();
    if (!d || !d->Report() || !info) return;
    TStringList handlers;
    frxCodeUtils::GetEventHandlers(d->GetCode(), d->Report()->ScriptLanguage, info->TypeName, &handlers);
    for (int i = 0; i < handlers.Count(); ++i) AddValue(handlers[i]);
}

bool TfrxEventProperty::Edit()
{
    auto* c = DynamicCast<TComponent>(GetComponent());
    PPropInfo info = GetPropInfo();
    if (!c || !info) return false;
    return frxDesgnEditors::JumpToHandler(DesignerOf(Designer), c, GetStrValue(), info->Name, info->TypeName,
                                          [this](const std::string& name) { SetStrValue(name); });
}

std::string TfrxLocSizeXProperty::GetValue()
{
    return frxDesgnEditors::PixelsToUnitText(GetFloatValue(), UnitsOf(Designer), Ratio());
}

void TfrxLocSizeXProperty::SetValue(const std::string& value)
{
    SetFloatValue(frxDesgnEditors::UnitTextToPixels(value, UnitsOf(Designer), Ratio()));
}

std::string TfrxPaperXProperty::GetValue()
{
    return frxDesgnEditors::MillimetresToUnitText(GetFloatValue(), UnitsOf(Designer), Ratio());
}

void TfrxPaperXProperty::SetValue(const std::string& value)
{
    SetFloatValue(frxDesgnEditors::UnitTextToMillimetres(value, UnitsOf(Designer), Ratio()));
}

// ---- owner-drawn enumerations ---------------------------------------------------------------

TfrxPropertyAttributes TfrxBrushProperty::GetAttributes() { return Attrs(73); }

void TfrxBrushProperty::DrawListItem(TCanvas* canvas, int index, const TRect& r, bool selected)
{
    TfrxPropertyEditor::DrawListItem(canvas, index, r, selected);
    const int h = r.Bottom - r.Top;
    canvas->Pen()->SetColor(clBlack);
    canvas->Brush()->SetColor(clBlack);
    canvas->Brush()->SetStyle(TBrushStyle(index));
    canvas->Rectangle(r.Left + 2, r.Top + 2, r.Left + h - 2, r.Bottom - 2);
    canvas->Brush()->SetStyle(bsSolid);
}

void TfrxBrushProperty::DrawValue(TCanvas* canvas, const TRect& r)
{
    TfrxPropertyEditor::DrawValue(canvas, r);
    const int h = r.Bottom - r.Top;
    canvas->Pen()->SetColor(clBlack);
    canvas->Brush()->SetColor(clBlack);
    canvas->Brush()->SetStyle(TBrushStyle(GetOrdValue()));
    canvas->Rectangle(r.Left, r.Top + 1, r.Left + h - 5, r.Bottom - 4);
    canvas->Brush()->SetStyle(bsSolid);
}

TfrxPropertyAttributes TfrxFrameStyleProperty::GetAttributes() { return Attrs(73); }

namespace {

// The 32-pixel sample of a frame style, two pixels thick, at the middle y.
void FrameStyleSample(TCanvas* c, int style, int left, int middle)
{
    c->Pen()->SetColor(clBlack);
    c->Pen()->SetWidth(1);
    if (style == fsDouble) {
        c->Pen()->SetStyle(psSolid);
        for (int y : {middle - 2, middle}) {
            c->MoveTo(left, y);
            c->LineTo(left + 32, y);
        }
        return;
    }
    c->Pen()->SetStyle(TPenStyle(style));
    for (int y : {middle - 1, middle}) {
        c->MoveTo(left, y);
        c->LineTo(left + 32, y);
    }
    c->Pen()->SetStyle(psSolid);
}

void SampleBox(TCanvas* c, int l, int t, int r, int b)
{
    c->Pen()->SetColor(TColor(0x808080));
    c->Pen()->SetStyle(psSolid);
    c->Brush()->SetColor(clWhite);
    c->Brush()->SetStyle(bsSolid);
    c->Rectangle(l, t, r, b);
}

// A check box square, with the three-stroke mark for true.
void CheckBox(TCanvas* c, int l, int t, int r, int b, bool checked, int markX, int markY)
{
    c->Pen()->SetColor(TColor(0x808080));
    c->Brush()->SetColor(clWhite);
    c->Brush()->SetStyle(bsSolid);
    c->Rectangle(l, t, r, b);
    if (!checked) return;
    c->Pen()->SetColor(clBlack);
    for (int d = 0; d < 3; ++d)
        c->Polyline({::Point(markX, markY + d), ::Point(markX + 2, markY + 2 + d), ::Point(markX + 7, markY - 3 + d)});
}

}  // namespace

void TfrxFrameStyleProperty::DrawListItem(TCanvas* canvas, int index, const TRect& r, bool)
{
    canvas->FillRect(r);
    if (index >= 0 && index < Values()->Count()) canvas->TextOut(r.Left + 40, r.Top + 1, (*Values())[index]);
    SampleBox(canvas, r.Left + 2, r.Top + 2, r.Left + 36, r.Bottom - 2);
    FrameStyleSample(canvas, index, r.Left + 3, (r.Top + r.Bottom) / 2);
}

void TfrxFrameStyleProperty::DrawValue(TCanvas* canvas, const TRect& r)
{
    canvas->TextOut(r.Left + 38, r.Top, GetValue());
    SampleBox(canvas, r.Left, r.Top + 1, r.Left + 34, r.Bottom - 4);
    FrameStyleSample(canvas, int(GetOrdValue()), r.Left + 1, (r.Top + 1 + r.Bottom - 4) / 2);
}

TfrxPropertyAttributes TfrxBooleanProperty::GetAttributes() { return Attrs(73); }

void TfrxBooleanProperty::DrawListItem(TCanvas* canvas, int index, const TRect& r, bool selected)
{
    TfrxPropertyEditor::DrawListItem(canvas, index, r, selected);
    const int h = r.Bottom - r.Top;
    CheckBox(canvas, r.Left + 2, r.Top + 2, r.Left + h - 2, r.Bottom - 2, index == 1, r.Left + 4, r.Top + 6);
}

void TfrxBooleanProperty::DrawValue(TCanvas* canvas, const TRect& r)
{
    TfrxPropertyEditor::DrawValue(canvas, r);
    const int h = r.Bottom - r.Top;
    CheckBox(canvas, r.Left, r.Top + 1, r.Left + h - 5, r.Bottom - 4, GetOrdValue() != 0, r.Left + 2, r.Top + 5);
}

// ---- conversions, the handler jump, registration --------------------------------------------

namespace frxDesgnEditors {

std::string PixelsToUnitText(double v, int units, double ratio)
{
    switch (units) {
    case duCM: return UnitNumber(v / 96 * 2.54);
    case duInches: return UnitNumber(v / 96);
    case duChars: return UnitNumber(v / ratio);
    default: return UnitNumber(v);
    }
}

double UnitTextToPixels(const std::string& text, int units, double ratio)
{
    const double a = frxUtils::StrToFloatAnySeparator(Trim(text));
    switch (units) {
    case duCM: return a * 96 / 2.54;
    case duInches: return a * 96;
    case duChars: return a * ratio;
    default: return a;
    }
}

std::string MillimetresToUnitText(double v, int units, double ratio)
{
    switch (units) {
    case duCM: return UnitNumber(v / 10);
    case duInches: return UnitNumber(v / 25.4);
    case duChars: return UnitNumber(v * 96 / 25.4 / ratio);
    default: return UnitNumber(v * 96 / 25.4);
    }
}

double UnitTextToMillimetres(const std::string& text, int units, double ratio)
{
    const double a = frxUtils::StrToFloatAnySeparator(Trim(text));
    switch (units) {
    case duCM: return a * 10;
    case duInches: return a * 25.4;
    case duChars: return a * 25.4 / 96 * ratio;
    default: return a * 25.4 / 96;
    }
}

bool JumpToHandler(TfrxCustomDesigner* designer, TComponent* object, const std::string& handler,
                   const std::string& eventName, const std::string& eventType,
                   const std::function<void(const std::string&)>& setName)
{
    if (!designer || !designer->Report() || !object) return false;
    TStrings* code = designer->GetCode();
    const std::string language = designer->Report()->ScriptLanguage;
    TfrxSyntaxMemo* editor = designer->CodeWindow();
    if (!handler.empty()) {
        const int index = frxCodeUtils::FindHandler(code, language, handler);
        designer->SetPage(nullptr);
        if (editor && index >= 0) editor->SetCaretPos(1, index + 3);
        return false;
    }
    const std::string name = object->Name() + eventName;
    const int index = frxCodeUtils::FindHandler(code, language, name);
    // Writing the handler may fail (a script without a main block): the
    // event is named only once its handler exists.
    const int line = index >= 0 ? index + 3 : frxCodeUtils::InsertHandler(code, language, eventType, name);
    setName(name);
    designer->SetPage(nullptr);
    if (editor) {
        if (editor->GetLines() != code) editor->SetLines(code);
        editor->SetCaretPos(3, line);
    }
    return true;
}

namespace {

template <class E> TfrxComponentEditor* Make(TfrxComponent* c, TComponent* d, TComponent* m)
{
    return new E(c, d, m);
}

void RegisterPalette()
{
    TfrxObjectCollection& r = frxDsgnIntf::ObjectRegistry();
    r.AddObjectClass(TfrxMemoView::StaticClass(), nullptr, 2);
    r.AddObjectClass(TfrxPictureView::StaticClass(), nullptr, 3);
    r.AddObjectClass(TfrxSubreport::StaticClass(), nullptr, 4);
    r.AddObjectClass(TfrxLineView::StaticClass(), nullptr, 5);
    r.AddObjectClass(TfrxSysMemoView::StaticClass(), nullptr, 32);
    r.RegisterCategory("Draw", nullptr, 6, "obCatDraw");
    r.RegisterCategory("Other", nullptr, 21, "obCatOther");
    r.AddObjectClass(TfrxLineView::StaticClass(), nullptr, 7, 1, "Draw", "obDiagLine");
    r.AddObjectClass(TfrxShapeView::StaticClass(), nullptr, 8, 0, "Draw", "obRect");
    r.AddObjectClass(TfrxShapeView::StaticClass(), nullptr, 9, 1, "Draw", "obRoundRect");
    r.AddObjectClass(TfrxShapeView::StaticClass(), nullptr, 10, 2, "Draw", "obEllipse");
    r.AddObjectClass(TfrxShapeView::StaticClass(), nullptr, 11, 3, "Draw", "obTrian");
    r.AddObjectClass(TfrxShapeView::StaticClass(), nullptr, 31, 4, "Draw", "obDiamond");
}

void RegisterComponentEditors()
{
    TfrxComponentEditorCollection& r = frxDsgnIntf::ComponentEditorRegistry();
    r.AddEditor(TfrxReportPage::StaticClass(), Make<TfrxPageEditor>);
    r.AddEditor(TfrxView::StaticClass(), Make<TfrxViewEditor>);
    r.AddEditor(TfrxMemoView::StaticClass(), Make<TfrxMemoEditor>);
    r.AddEditor(TfrxSysMemoView::StaticClass(), Make<TfrxSysMemoEditor>);
    r.AddEditor(TfrxDMPMemoView::StaticClass(), Make<TfrxMemoEditor>);
    r.AddEditor(TfrxLineView::StaticClass(), Make<TfrxLineEditor>);
    r.AddEditor(TfrxDMPLineView::StaticClass(), Make<TfrxLineEditor>);
    r.AddEditor(TfrxPictureView::StaticClass(), Make<TfrxPictureEditor>);
    r.AddEditor(TfrxBand::StaticClass(), Make<TfrxBandEditor>);
    r.AddEditor(TfrxDataBand::StaticClass(), Make<TfrxDataBandEditor>);
    r.AddEditor(TfrxHeader::StaticClass(), Make<TfrxHeaderEditor>);
    r.AddEditor(TfrxPageHeader::StaticClass(), Make<TfrxPageHeaderEditor>);
    r.AddEditor(TfrxPageFooter::StaticClass(), Make<TfrxPageFooterEditor>);
    r.AddEditor(TfrxGroupHeader::StaticClass(), Make<TfrxGroupHeaderEditor>);
    r.AddEditor(TfrxSubreport::StaticClass(), Make<TfrxSubreportEditor>);
}

void RegisterPropertyEditors()
{
    TfrxPropertyEditorCollection& r = frxDsgnIntf::PropertyEditorRegistry();
    const TClass component = TfrxComponent::StaticClass();
    const TClass page = TfrxReportPage::StaticClass();
    r.Register("Extended", component, "Left", TfrxLocSizeXProperty::StaticClass());
    r.Register("Extended", component, "Top", TfrxLocSizeYProperty::StaticClass());
    r.Register("Extended", component, "Width", TfrxLocSizeXProperty::StaticClass());
    r.Register("Extended", component, "Height", TfrxLocSizeYProperty::StaticClass());
    r.Register("Extended", page, "PaperWidth", TfrxPaperXProperty::StaticClass());
    r.Register("Extended", page, "PaperHeight", TfrxPaperYProperty::StaticClass());
    r.Register("Extended", page, "LeftMargin", TfrxPaperXProperty::StaticClass());
    r.Register("Extended", page, "RightMargin", TfrxPaperXProperty::StaticClass());
    r.Register("Extended", page, "TopMargin", TfrxPaperYProperty::StaticClass());
    r.Register("Extended", page, "BottomMargin", TfrxPaperYProperty::StaticClass());
    r.RegisterEventEditor(TfrxEventProperty::StaticClass());
    r.Register("Boolean", nullptr, "", TfrxBooleanProperty::StaticClass());
    r.Register("TfrxFrame", nullptr, "", TfrxFrameProperty::StaticClass());
    r.Register("TPicture", nullptr, "", TfrxPictureProperty::StaticClass());
    r.Register("TBitmap", nullptr, "", TfrxBitmapProperty::StaticClass());
    r.Register("TfrxDataSet", nullptr, "", TfrxDataSetProperty::StaticClass());
    r.Register("String", TfrxView::StaticClass(), "DataField", TfrxDataFieldProperty::StaticClass());
    // The objects publish their lines as string lists.
    r.Register("TStringList", nullptr, "", TfrxStringsProperty::StaticClass());
    r.Register("TStringList", TfrxMemoView::StaticClass(), "Memo", TfrxMemoProperty::StaticClass());
    r.Register("TBrushStyle", nullptr, "", TfrxBrushProperty::StaticClass());
    r.Register("TfrxFrameStyle", nullptr, "", TfrxFrameStyleProperty::StaticClass());
    r.Register("String", TfrxMemoView::StaticClass(), "DisplayFormat", TfrxDisplayFormatProperty::StaticClass());
    r.Register("Extended", TfrxDataBand::StaticClass(), "ColumnWidth", TfrxLocSizeXProperty::StaticClass());
    r.Register("Extended", TfrxDataBand::StaticClass(), "ColumnGap", TfrxLocSizeXProperty::StaticClass());
}

void RegisterHiddenProperties()
{
    using frxDsgnIntf::HideProperties;
    HideProperties(TfrxReport::StaticClass(),
                   "IniFile;Name;Preview;ScriptLanguage;ScriptText;Tag;Variables;DataSetName;DotMatrixReport;"
                   "OldStyleProgress");
    HideProperties(TfrxEngineOptions::StaticClass(), "MaxMemSize;PrintIfEmpty;SilentMode;TempDir;UseFileCache");
    HideProperties(TfrxPreviewOptions::StaticClass(),
                   "AllowEdit;Buttons;DoubleBuffered;Maximized;MDIChild;Modal;ShowCaptions;Zoom;ZoomMode");
    HideProperties(TfrxReportOptions::StaticClass(), "CreateDate;LastChange;Compressed");
    HideProperties(TfrxReportPage::StaticClass(),
                   "Bin;BinOtherPages;ColumnWidth;ColumnPositions;PaperSize;DataSetName;HGuides;VGuides");
    HideProperties(TfrxDMPPage::StaticClass(), "BackPicture;Color;Font;Frame");
    HideProperties(TfrxReportComponent::StaticClass(), "GroupIndex");
    HideProperties(TfrxView::StaticClass(), "DataSetName");
    HideProperties(TfrxBand::StaticClass(), "Vertical");
    HideProperties(TfrxDataBand::StaticClass(), "DataSetName");
    HideProperties(TFont::StaticClass(), "Height;Pitch");
    // The layout's objects carry their font as the report font class.
    HideProperties(TfrxFont::StaticClass(), "Height;Pitch");
}

}  // namespace

void Initialize()
{
    static bool done = false;
    if (done) return;
    done = true;
    // The library's own editors come first: the designer's take precedence.
    frxDsgnIntf::RegisterStandardEditors();
    RegisterPalette();
    RegisterComponentEditors();
    RegisterPropertyEditors();
    RegisterHiddenProperties();
}

}  // namespace frxDesgnEditors
