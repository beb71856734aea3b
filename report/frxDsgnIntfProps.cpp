// The property editors of the object inspector and the rows they make.
#include "frxDsgnIntf.h"

#include "Controls.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Graphics.h"
#include "Menus.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxRes.h"
#include "frxUtils.h"

#include <algorithm>
#include <cmath>
#include <utility>

QZ_CLASS_IMPL(TfrxPropertyEditor, TObject)
QZ_CLASS_IMPL(TfrxIntegerProperty, TfrxPropertyEditor)
QZ_CLASS_IMPL(TfrxFloatProperty, TfrxPropertyEditor)
QZ_CLASS_IMPL(TfrxCharProperty, TfrxPropertyEditor)
QZ_CLASS_IMPL(TfrxStringProperty, TfrxPropertyEditor)
QZ_CLASS_IMPL(TfrxEnumProperty, TfrxPropertyEditor)
QZ_CLASS_IMPL(TfrxSetProperty, TfrxPropertyEditor)
QZ_CLASS_IMPL(TfrxSetElementProperty, TfrxPropertyEditor)
QZ_CLASS_IMPL(TfrxClassProperty, TfrxPropertyEditor)
QZ_CLASS_IMPL(TfrxComponentProperty, TfrxPropertyEditor)
QZ_CLASS_IMPL(TfrxNameProperty, TfrxStringProperty)
QZ_CLASS_IMPL(TfrxColorProperty, TfrxIntegerProperty)
QZ_CLASS_IMPL(TfrxFontProperty, TfrxClassProperty)
QZ_CLASS_IMPL(TfrxFontNameProperty, TfrxStringProperty)
QZ_CLASS_IMPL(TfrxFontCharsetProperty, TfrxIntegerProperty)
QZ_CLASS_IMPL(TfrxModalResultProperty, TfrxIntegerProperty)
QZ_CLASS_IMPL(TfrxShortCutProperty, TfrxPropertyEditor)
QZ_CLASS_IMPL(TfrxCursorProperty, TfrxIntegerProperty)

namespace {

[[noreturn]] void InvalidProperty() { throw EPropertyError(frxRes::Resources().Get("prInvProp")); }

constexpr TfrxPropertyAttributes Attrs(int bits)
{
    TfrxPropertyAttributes a;
    for (int i = 0; i < 8; ++i)
        if (bits & (1 << i)) a.Include(TfrxPropertyAttribute(i));
    return a;
}

// The names of an enumeration or of a set's elements, in order.
std::vector<std::string> ValueNamesOf(PPropInfo info)
{
    if (!info) return {};
    if (!info->ValueNames.empty()) return info->ValueNames;
    if (info->TypeInfo && !info->TypeInfo->Names.empty()) return info->TypeInfo->Names;
    if (SameText(info->TypeName, "Boolean")) return {"False", "True"};
    return {};
}

// Identifier tables of the platform's character sets and cursors.
const std::vector<std::pair<const char*, int>>& Charsets()
{
    static const std::vector<std::pair<const char*, int>> t = {
        {"ANSI_CHARSET", 0},        {"DEFAULT_CHARSET", 1},     {"SYMBOL_CHARSET", 2},
        {"MAC_CHARSET", 77},        {"SHIFTJIS_CHARSET", 128},  {"HANGEUL_CHARSET", 129},
        {"JOHAB_CHARSET", 130},     {"GB2312_CHARSET", 134},    {"CHINESEBIG5_CHARSET", 136},
        {"GREEK_CHARSET", 161},     {"TURKISH_CHARSET", 162},   {"VIETNAMESE_CHARSET", 163},
        {"HEBREW_CHARSET", 177},    {"ARABIC_CHARSET", 178},    {"BALTIC_CHARSET", 186},
        {"RUSSIAN_CHARSET", 204},   {"THAI_CHARSET", 222},      {"EASTEUROPE_CHARSET", 238},
        {"OEM_CHARSET", 255}};
    return t;
}

const std::vector<std::pair<const char*, int>>& Cursors()
{
    static const std::vector<std::pair<const char*, int>> t = {
        {"crDefault", 0},     {"crNone", -1},     {"crArrow", -2},      {"crCross", -3},     {"crIBeam", -4},
        {"crSizeNESW", -6},   {"crSizeNS", -7},   {"crSizeNWSE", -8},   {"crSizeWE", -9},    {"crUpArrow", -10},
        {"crHourGlass", -11}, {"crDrag", -12},    {"crNoDrop", -13},    {"crHSplit", -14},   {"crVSplit", -15},
        {"crMultiDrag", -16}, {"crSQLWait", -17}, {"crNo", -18},        {"crAppStart", -19}, {"crHelp", -20},
        {"crHandPoint", -21}, {"crSizeAll", -22}};
    return t;
}

std::string IdentOf(const std::vector<std::pair<const char*, int>>& table, int64_t value)
{
    for (const auto& [name, v] : table)
        if (v == value) return name;
    return IntToStr(int(value));
}

// An identifier of the table, else an integer (decimal or "$" hexadecimal).
int64_t ValueOfIdent(const std::vector<std::pair<const char*, int>>& table, const std::string& text)
{
    for (const auto& [name, v] : table)
        if (SameText(name, Trim(text))) return v;
    return StrToInt(Trim(text));
}

const char* const kModalResults[] = {"mrNone", "mrOk",  "mrCancel", "mrAbort",   "mrRetry",   "mrIgnore",
                                     "mrYes",  "mrNo",  "mrAll",    "mrNoToAll", "mrYesToAll"};

}  // namespace

// ---- base ----------------------------------------------------------------------------------------

TfrxPropertyEditor::TfrxPropertyEditor() : FValues(std::make_unique<TStringList>()) {}
TfrxPropertyEditor::~TfrxPropertyEditor() = default;

void TfrxPropertyEditor::AddComponent(TObject* object, PPropInfo info)
{
    FComponents.emplace_back(object);
    FPropInfos.push_back(info);
}

TObject* TfrxPropertyEditor::Components(int i) const
{
    return i >= 0 && i < int(FComponents.size()) ? FComponents[size_t(i)].Get() : nullptr;
}

TfrxComponent* TfrxPropertyEditor::GetFrxComponent() const { return DynamicCast<TfrxComponent>(GetComponent()); }

bool TfrxPropertyEditor::Edit()
{
    GetValues();
    if (FValues->Count() == 0) return false;
    const int i = FValues->IndexOf(GetValue());
    const int next = i < 0 || i >= FValues->Count() - 1 ? 0 : i + 1;
    SetValue((*FValues)[next]);
    return true;
}

TfrxPropertyAttributes TfrxPropertyEditor::GetAttributes() { return Attrs(8); }

std::string TfrxPropertyEditor::GetName()
{
    PPropInfo info = GetPropInfo();
    return info ? info->Name : std::string();
}

void TfrxPropertyEditor::GetValues()
{
    FValues->Clear();
    FValues->SetSorted(GetAttributes().Contains(eaSortList));
}

void TfrxPropertyEditor::DrawListItem(TCanvas* canvas, int index, const TRect& r, bool)
{
    canvas->FillRect(r);
    if (index >= 0 && index < FValues->Count()) canvas->TextOut(r.Left + ItemHeight + 4, r.Top + 1, (*FValues)[index]);
    canvas->Pen()->SetColor(TColor(0x808080));
}

void TfrxPropertyEditor::DrawValue(TCanvas* canvas, const TRect& r)
{
    canvas->TextOut(r.Left + ItemHeight - 2, r.Top, GetValue());
    canvas->Pen()->SetColor(TColor(0x808080));
}

int64_t TfrxPropertyEditor::GetOrdValue() const
{
    TObject* o = GetComponent();
    return o ? GetOrdProp(o, GetPropInfo()) : 0;
}

double TfrxPropertyEditor::GetFloatValue() const
{
    TObject* o = GetComponent();
    return o ? GetFloatProp(o, GetPropInfo()) : 0;
}

std::string TfrxPropertyEditor::GetStrValue() const
{
    TObject* o = GetComponent();
    return o ? GetStrProp(o, GetPropInfo()) : std::string();
}

void TfrxPropertyEditor::SetOrdValue(int64_t v)
{
    for (int i = 0; i < ComponentCount(); ++i)
        if (TObject* o = Components(i)) SetOrdProp(o, PropInfos(i), v);
}

void TfrxPropertyEditor::SetFloatValue(double v)
{
    for (int i = 0; i < ComponentCount(); ++i)
        if (TObject* o = Components(i)) SetFloatProp(o, PropInfos(i), v);
}

void TfrxPropertyEditor::SetStrValue(const std::string& v)
{
    for (int i = 0; i < ComponentCount(); ++i)
        if (TObject* o = Components(i)) SetStrProp(o, PropInfos(i), v);
}

void TfrxPropertyEditor::AddValue(const std::string& text) { FValues->Add(text); }

// ---- standard editors ----------------------------------------------------------------------------

std::string TfrxIntegerProperty::GetValue() { return IntToStr(int(GetOrdValue())); }
void TfrxIntegerProperty::SetValue(const std::string& value) { SetOrdValue(StrToInt(Trim(value))); }

std::string TfrxFloatProperty::GetValue() { return FloatToStr(GetFloatValue()); }
void TfrxFloatProperty::SetValue(const std::string& value)
{
    SetFloatValue(frxUtils::StrToFloatAnySeparator(Trim(value)));
}

std::string TfrxCharProperty::GetValue()
{
    const int c = int(GetOrdValue() & 0xFF);
    return c < 33 ? "#" + IntToStr(c) : std::string(1, char(c));
}

void TfrxCharProperty::SetValue(const std::string& value)
{
    int code = 0;
    if (value.size() == 1)
        code = uint8_t(value[0]);
    else if (value.size() > 1 && value[0] == '#')
        code = StrToInt(value.substr(1)) & 0xFF;
    else if (!value.empty())
        InvalidProperty();
    SetOrdValue(code);
}

std::string TfrxStringProperty::GetValue() { return GetStrValue(); }
void TfrxStringProperty::SetValue(const std::string& value) { SetStrValue(value); }

TfrxPropertyAttributes TfrxEnumProperty::GetAttributes() { return Attrs(11); }

std::string TfrxEnumProperty::GetValue()
{
    const std::vector<std::string> names = ValueNamesOf(GetPropInfo());
    const int64_t v = GetOrdValue();
    return v >= 0 && v < int64_t(names.size()) ? names[size_t(v)] : IntToStr(int(v));
}

void TfrxEnumProperty::GetValues()
{
    TfrxPropertyEditor::GetValues();
    for (const std::string& n : ValueNamesOf(GetPropInfo())) AddValue(n);
}

void TfrxEnumProperty::SetValue(const std::string& value)
{
    const std::vector<std::string> names = ValueNamesOf(GetPropInfo());
    for (size_t i = 0; i < names.size(); ++i)
        if (SameText(names[i], Trim(value))) {
            SetOrdValue(int64_t(i));
            return;
        }
    InvalidProperty();
}

TfrxPropertyAttributes TfrxSetProperty::GetAttributes() { return Attrs(56); }

std::string TfrxSetProperty::GetValue()
{
    const std::vector<std::string> names = ValueNamesOf(GetPropInfo());
    const int64_t v = GetOrdValue();
    std::string r;
    for (int i = 0; i < 32 && i < int(names.size()); ++i)
        if (v & (int64_t(1) << i)) r += (r.empty() ? "" : ",") + names[size_t(i)];
    return "[" + r + "]";
}

TfrxPropertyAttributes TfrxSetElementProperty::GetAttributes() { return Attrs(11); }

std::string TfrxSetElementProperty::GetName()
{
    const std::vector<std::string> names = ValueNamesOf(GetPropInfo());
    return Element >= 0 && Element < int(names.size()) ? names[size_t(Element)] : IntToStr(Element);
}

std::string TfrxSetElementProperty::GetValue()
{
    return (GetOrdValue() & (int64_t(1) << Element)) ? "True" : "False";
}

void TfrxSetElementProperty::GetValues()
{
    TfrxPropertyEditor::GetValues();
    AddValue("False");
    AddValue("True");
}

void TfrxSetElementProperty::SetValue(const std::string& value)
{
    // Each object keeps its other elements.
    const int64_t bit = int64_t(1) << Element;
    bool on;
    if (SameText(value, "True"))
        on = true;
    else if (SameText(value, "False"))
        on = false;
    else
        InvalidProperty();
    for (int i = 0; i < ComponentCount(); ++i)
        if (TObject* o = Components(i)) {
            const int64_t v = GetOrdProp(o, PropInfos(i));
            SetOrdProp(o, PropInfos(i), on ? (v | bit) : (v & ~bit));
        }
}

TfrxPropertyAttributes TfrxClassProperty::GetAttributes() { return Attrs(56); }

TfrxPropertyAttributes TfrxComponentProperty::GetAttributes() { return Attrs(11); }

std::string TfrxComponentProperty::GetValue()
{
    TObject* o = GetComponent();
    auto* c = o ? DynamicCast<TComponent>(GetObjectProp(o, GetPropInfo())) : nullptr;
    return c ? c->Name() : std::string();
}

void TfrxComponentProperty::GetValues()
{
    TfrxPropertyEditor::GetValues();
    TfrxComponent* edited = GetFrxComponent();
    PPropInfo info = GetPropInfo();
    if (!edited || !info || !info->PropClass) return;
    TfrxComponent* start = edited;
    if (edited->Is<TfrxReportComponent>())
        if (TfrxPage* page = edited->Page()) start = page;
    for (TfrxComponent* c : start->AllObjects())
        if (c != edited && c->InheritsFrom(info->PropClass)) AddValue(c->Name());
}

void TfrxComponentProperty::SetValue(const std::string& value)
{
    TObject* found = nullptr;
    if (!value.empty()) {
        TfrxComponent* edited = GetFrxComponent();
        TfrxReport* report = edited ? edited->Report() : nullptr;
        found = report ? report->FindObject(value) : nullptr;
        PPropInfo info = GetPropInfo();
        if (!found || (info && info->PropClass && !found->InheritsFrom(info->PropClass))) InvalidProperty();
    }
    for (int i = 0; i < ComponentCount(); ++i)
        if (TObject* o = Components(i)) SetObjectProp(o, PropInfos(i), found);
}

TfrxPropertyAttributes TfrxColorProperty::GetAttributes() { return Attrs(73); }

std::string TfrxColorProperty::GetValue() { return ColorToString(TColor(GetOrdValue())); }

void TfrxColorProperty::GetValues()
{
    TfrxPropertyEditor::GetValues();
    GetColorValues([this](const std::string& name) { AddValue(name); });
}

void TfrxColorProperty::SetValue(const std::string& value) { SetOrdValue(int64_t(StringToColor(Trim(value)))); }

bool TfrxColorProperty::Edit()
{
    TColorDialog dlg(nullptr);
    dlg.Color = TColor(GetOrdValue());
    if (!dlg.Execute()) return false;
    SetOrdValue(int64_t(dlg.Color));
    return true;
}

namespace {

void Swatch(TCanvas* canvas, TColor colour, const TRect& r)
{
    const TColor pen = canvas->Pen()->Color(), brush = canvas->Brush()->Color();
    canvas->Pen()->SetColor(clBlack);
    canvas->Brush()->SetColor(colour);
    canvas->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
    canvas->Pen()->SetColor(pen);
    canvas->Brush()->SetColor(brush);
}

}  // namespace

void TfrxColorProperty::DrawListItem(TCanvas* canvas, int index, const TRect& r, bool selected)
{
    TfrxPropertyEditor::DrawListItem(canvas, index, r, selected);
    TColor c = clBlack;
    if (index >= 0 && index < Values()->Count()) IdentToColor((*Values())[index], c);
    Swatch(canvas, c, TRect{r.Left + 2, r.Top + 2, r.Left + r.Height() - 2, r.Bottom - 2});
}

void TfrxColorProperty::DrawValue(TCanvas* canvas, const TRect& r)
{
    TfrxPropertyEditor::DrawValue(canvas, r);
    Swatch(canvas, TColor(GetOrdValue()), TRect{r.Left, r.Top + 1, r.Left + r.Height() - 5, r.Bottom - 4});
}

TfrxPropertyAttributes TfrxFontProperty::GetAttributes() { return Attrs(60); }

namespace {

// The layout's objects keep their font as the report font class; the font
// dialog works on the platform's font.
void CopyFont(const TfrxFont* from, TFont* to)
{
    to->SetPixelsPerInch(from->PixelsPerInch());
    to->SetName(from->Name());
    to->SetHeight(from->Height());
    to->SetColor(from->Color());
    to->SetStyle(TFontStyles::FromInt(uint64_t(from->Style())));
    to->SetCharset(TFontCharset(from->Charset()));
}

void CopyFont(const TFont* from, TfrxFont* to)
{
    to->SetName(from->Name());
    to->SetHeight(-int(std::lround(double(from->Size()) * to->PixelsPerInch() / 72.0)));
    to->SetColor(from->Color());
    to->SetStyle(int(from->Style().ToInt()));
    to->SetCharset(int(from->Charset()));
}

}  // namespace

bool TfrxFontProperty::Edit()
{
    TObject* o = GetComponent();
    TObject* value = o ? GetObjectProp(o, GetPropInfo()) : nullptr;
    auto* font = DynamicCast<TFont>(value);
    auto* reportFont = DynamicCast<TfrxFont>(value);
    if (!font && !reportFont) return false;
    TFont start;
    if (font)
        start.Assign(font);
    else
        CopyFont(reportFont, &start);
    TFontDialog dlg(nullptr);
    dlg.SetFont(&start);
    dlg.Options.Include(fdForceFontExist);
    if (!dlg.Execute()) return false;
    for (int i = 0; i < ComponentCount(); ++i)
        if (TObject* c = Components(i)) {
            TObject* target = GetObjectProp(c, PropInfos(i));
            if (auto* f = DynamicCast<TFont>(target))
                f->Assign(dlg.Font());
            else if (auto* rf = DynamicCast<TfrxFont>(target))
                CopyFont(dlg.Font(), rf);
            else
                continue;
            // The owner hears of it through its own setter.
            if (PropInfos(i)->SetObj) SetObjectProp(c, PropInfos(i), target);
        }
    return true;
}

TfrxPropertyAttributes TfrxFontNameProperty::GetAttributes() { return Attrs(11); }

void TfrxFontNameProperty::GetValues()
{
    TfrxPropertyEditor::GetValues();
    if (!Screen) return;
    TStrings* fonts = Screen->Fonts();
    for (int i = 0; i < fonts->Count(); ++i) AddValue((*fonts)[i]);
}

TfrxPropertyAttributes TfrxFontCharsetProperty::GetAttributes() { return Attrs(11); }
std::string TfrxFontCharsetProperty::GetValue() { return IdentOf(Charsets(), GetOrdValue()); }

void TfrxFontCharsetProperty::GetValues()
{
    TfrxPropertyEditor::GetValues();
    for (const auto& c : Charsets()) AddValue(c.first);
}

void TfrxFontCharsetProperty::SetValue(const std::string& value) { SetOrdValue(ValueOfIdent(Charsets(), value)); }

TfrxPropertyAttributes TfrxModalResultProperty::GetAttributes() { return Attrs(9); }

std::string TfrxModalResultProperty::GetValue()
{
    const int64_t v = GetOrdValue();
    return v >= 0 && v <= 10 ? kModalResults[v] : IntToStr(int(v));
}

void TfrxModalResultProperty::GetValues()
{
    TfrxPropertyEditor::GetValues();
    for (const char* n : kModalResults) AddValue(n);
}

void TfrxModalResultProperty::SetValue(const std::string& value)
{
    const std::string text = value.empty() ? "0" : Trim(value);
    for (int i = 0; i <= 10; ++i)
        if (SameText(kModalResults[i], text)) {
            SetOrdValue(i);
            return;
        }
    SetOrdValue(StrToInt(text));
}

TfrxPropertyAttributes TfrxShortCutProperty::GetAttributes() { return Attrs(9); }

std::string TfrxShortCutProperty::GetValue()
{
    const int64_t v = GetOrdValue();
    return (v & 0xFFFF) == 0 ? "(None)" : ShortCutToText(TShortCut(v & 0xFFFF));
}

void TfrxShortCutProperty::GetValues()
{
    TfrxPropertyEditor::GetValues();
    AddValue("(None)");
    const TShiftState ctrl{ssCtrl}, ctrlAlt{ssCtrl, ssAlt}, shift{ssShift}, shiftCtrl{ssShift, ssCtrl},
        shiftAlt{ssShift, ssAlt}, alt{ssAlt}, none{};
    for (char k = 'A'; k <= 'Z'; ++k) AddValue(ShortCutToText(ShortCut(uint16_t(k), ctrl)));
    for (char k = 'A'; k <= 'Z'; ++k) AddValue(ShortCutToText(ShortCut(uint16_t(k), ctrlAlt)));
    for (const TShiftState& s : {none, ctrl, shift, shiftCtrl})
        for (int f = 0; f < 12; ++f) AddValue(ShortCutToText(ShortCut(uint16_t(VK_F1 + f), s)));
    for (uint16_t key : {uint16_t(VK_INSERT), uint16_t(VK_DELETE)})
        for (const TShiftState& s : {none, shift, ctrl}) AddValue(ShortCutToText(ShortCut(key, s)));
    AddValue(ShortCutToText(ShortCut(VK_BACK, alt)));
    AddValue(ShortCutToText(ShortCut(VK_BACK, shiftAlt)));
}

void TfrxShortCutProperty::SetValue(const std::string& value)
{
    if (value.empty() || SameText(value, "(None)")) {
        SetOrdValue(0);
        return;
    }
    const TShortCut s = TextToShortCut(value);
    // Text no shortcut reads as is refused, not taken for "none".
    if (s == 0) InvalidProperty();
    SetOrdValue(s);
}

TfrxPropertyAttributes TfrxCursorProperty::GetAttributes() { return Attrs(11); }
std::string TfrxCursorProperty::GetValue() { return IdentOf(Cursors(), GetOrdValue()); }

void TfrxCursorProperty::GetValues()
{
    TfrxPropertyEditor::GetValues();
    for (const auto& c : Cursors()) AddValue(c.first);
}

void TfrxCursorProperty::SetValue(const std::string& value) { SetOrdValue(ValueOfIdent(Cursors(), value)); }

// ---- property lists ------------------------------------------------------------------------------

void frxDsgnIntf::RegisterStandardEditors()
{
    static bool done = false;
    if (done) return;
    done = true;
    TfrxPropertyEditorCollection& r = frxDsgnIntf::PropertyEditorRegistry();
    r.Register("TComponentName", nullptr, "Name", TfrxNameProperty::StaticClass());
    r.Register("TColor", nullptr, "", TfrxColorProperty::StaticClass());
    r.Register("TFont", nullptr, "", TfrxFontProperty::StaticClass());
    r.Register("String", TFont::StaticClass(), "Name", TfrxFontNameProperty::StaticClass());
    r.Register("Integer", TFont::StaticClass(), "Charset", TfrxFontCharsetProperty::StaticClass());
    // The same for the font of the layout's objects.
    r.Register("TFontName", TfrxFont::StaticClass(), "Name", TfrxFontNameProperty::StaticClass());
    r.Register("TFontCharset", TfrxFont::StaticClass(), "Charset", TfrxFontCharsetProperty::StaticClass());
    r.Register("TModalResult", nullptr, "", TfrxModalResultProperty::StaticClass());
    r.Register("TShortCut", nullptr, "", TfrxShortCutProperty::StaticClass());
    r.Register("TCursor", nullptr, "", TfrxCursorProperty::StaticClass());
}

namespace {

TClass DefaultEditorClass(PPropInfo info)
{
    switch (info->Kind) {
    case tkInteger: return TfrxIntegerProperty::StaticClass();
    case tkChar:
    case tkWChar: return TfrxCharProperty::StaticClass();
    case tkEnumeration: return TfrxEnumProperty::StaticClass();
    case tkFloat: return TfrxFloatProperty::StaticClass();
    case tkString:
    case tkLString:
    case tkWString: return TfrxStringProperty::StaticClass();
    case tkSet: return TfrxSetProperty::StaticClass();
    case tkClass:
        if (info->PropClass && info->PropClass->InheritsFrom(TComponent::StaticClass()))
            return TfrxComponentProperty::StaticClass();
        if (info->PropClass && info->PropClass->InheritsFrom(TPersistent::StaticClass()))
            return TfrxClassProperty::StaticClass();
        return nullptr;
    default: return nullptr;
    }
}

}  // namespace

TfrxPropertyList::TfrxPropertyList(TComponent* designer) : FDesigner(designer) {}
TfrxPropertyList::~TfrxPropertyList() = default;

TfrxPropertyItem* TfrxPropertyList::Add()
{
    FItems.push_back(std::make_unique<TfrxPropertyItem>());
    return FItems.back().get();
}

void TfrxPropertyList::Delete(int i) { FItems.erase(FItems.begin() + i); }

std::unique_ptr<TfrxPropertyItem> TfrxPropertyList::Take(int i)
{
    std::unique_ptr<TfrxPropertyItem> item = std::move(FItems.at(size_t(i)));
    FItems.erase(FItems.begin() + i);
    return item;
}

void TfrxPropertyList::Adopt(std::unique_ptr<TfrxPropertyItem> item) { FItems.push_back(std::move(item)); }

TfrxPropertyItem* TfrxPropertyList::Find(const std::string& name) const
{
    for (const auto& it : FItems)
        if (it->Editor && it->Editor->GetName() == name) return it.get();
    return nullptr;
}

void TfrxPropertyList::SetComponent(TObject* object)
{
    frxDsgnIntf::RegisterStandardEditors();
    FComponent = object;
    FItems.clear();
    if (!object) return;
    std::vector<PPropInfo> props;
    for (PPropInfo p : GetPropList(object))
        if (p->Kind != tkMethod && p->Kind != tkUnknown) props.push_back(p);
    std::stable_sort(props.begin(), props.end(),
                     [](PPropInfo a, PPropInfo b) { return CompareText(a->Name, b->Name) < 0; });
    const TfrxPropertyEditorCollection& registry = frxDsgnIntf::PropertyEditorRegistry();
    for (PPropInfo p : props) {
        TClass editorClass = nullptr;
        const int entry = registry.FindEditor(p->TypeName, object, p->Name);
        if (entry >= 0)
            editorClass = registry.GetItem(entry).EditorClass;
        else
            editorClass = DefaultEditorClass(p);
        // No editor: hidden, or a kind the inspector does not show.
        if (!editorClass) continue;
        std::unique_ptr<TObject> made(editorClass->Create(nullptr));
        auto* editor = DynamicCast<TfrxPropertyEditor>(made.get());
        if (!editor) continue;
        made.release();
        TfrxPropertyItem* item = Add();
        item->Editor.reset(editor);
        editor->Designer = FDesigner;
        editor->AddComponent(object, p);
        if (p->Kind == tkSet) {
            item->SubProperty = std::make_unique<TfrxPropertyList>(FDesigner);
            item->SubProperty->Parent = this;
            item->SubProperty->FComponent = object;
            const int count = int(ValueNamesOf(p).size());
            for (int e = 0; e < count; ++e) {
                auto* element = new TfrxSetElementProperty();
                element->Element = e;
                element->Designer = FDesigner;
                element->AddComponent(object, p);
                item->SubProperty->Add()->Editor.reset(element);
            }
        } else if (p->Kind == tkClass && p->PropClass && !p->PropClass->InheritsFrom(TComponent::StaticClass()) &&
                   p->PropClass->InheritsFrom(TPersistent::StaticClass())) {
            if (TObject* sub = GetObjectProp(object, p)) {
                item->SubProperty = std::make_unique<TfrxPropertyList>(FDesigner);
                item->SubProperty->Parent = this;
                item->SubProperty->SetComponent(sub);
                if (item->SubProperty->Count() == 0) item->SubProperty.reset();
            }
        }
    }
}

namespace {

std::string KeyOf(TfrxPropertyItem* item) { return item->Editor ? item->Editor->GetName() : std::string(); }
TTypeKind KindOf(TfrxPropertyItem* item)
{
    PPropInfo p = item->Editor ? item->Editor->GetPropInfo() : nullptr;
    return p ? p->Kind : tkUnknown;
}

// Keeps in list the rows that allow several objects and that other has too.
void Reduce(TfrxPropertyList& list, const TfrxPropertyList& other)
{
    for (int i = list.Count() - 1; i >= 0; --i) {
        TfrxPropertyItem* item = list.Items(i);
        bool keep = item->Editor && item->Editor->GetAttributes().Contains(eaMultiSelect);
        if (keep) {
            keep = false;
            for (int j = 0; j < other.Count(); ++j)
                if (KeyOf(other.Items(j)) == KeyOf(item) && KindOf(other.Items(j)) == KindOf(item)) {
                    keep = true;
                    break;
                }
        }
        if (!keep) list.Delete(i);
    }
}

// Both lists hold the same rows in the same order: the first one's editors
// take the other's objects too. Sub-rows that do not match on both sides
// (a sub-object missing on one, or of another class) are reduced to those
// both have, or dropped.
void Merge(TfrxPropertyList& first, TfrxPropertyList& other)
{
    for (int i = 0; i < first.Count() && i < other.Count(); ++i) {
        TfrxPropertyItem* a = first.Items(i);
        TfrxPropertyItem* b = other.Items(i);
        for (int k = 0; k < b->Editor->ComponentCount(); ++k)
            if (TObject* o = b->Editor->Components(k)) a->Editor->AddComponent(o, b->Editor->PropInfos(k));
        if (a->SubProperty && b->SubProperty) {
            Reduce(*a->SubProperty, *b->SubProperty);
            Reduce(*b->SubProperty, *a->SubProperty);
            Merge(*a->SubProperty, *b->SubProperty);
            if (a->SubProperty->Count() == 0) a->SubProperty.reset();
        } else {
            a->SubProperty.reset();
        }
    }
}

}  // namespace

namespace frxDsgnIntf {

std::unique_ptr<TfrxPropertyList> BuildCommonPropertyList(const std::vector<TObject*>& objects, TComponent* designer)
{
    if (objects.empty()) return nullptr;
    std::vector<std::unique_ptr<TfrxPropertyList>> lists;
    for (TObject* o : objects) {
        lists.push_back(std::make_unique<TfrxPropertyList>(designer));
        lists.back()->SetComponent(o);
    }
    TfrxPropertyList& first = *lists.front();
    for (size_t i = 1; i < lists.size(); ++i) Reduce(first, *lists[i]);
    for (size_t i = 1; i < lists.size(); ++i) {
        Reduce(*lists[i], first);
        Merge(first, *lists[i]);
    }
    return std::move(lists.front());
}

}  // namespace frxDsgnIntf
