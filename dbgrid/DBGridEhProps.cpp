// The stored form of the grid's columns: each column, its title and its
// footers keep the properties that were assigned (a default one is not
// stored, so it keeps following its field or the grid when read back), and
// the grid stores its columns under "Columns" once they are its own rather
// than built from the fields.
#include "DBGridEh.h"

#include "ComponentStreams.h"
#include "ToolCtrlsEhSpecRow.h"
#include "TypInfo.h"

#include <algorithm>
#include <functional>

namespace {

// Enumerations travel as their ordinals.
template <class C, class E, class G, class S>
TPropInfo PublishOrdinalEh(const char* name, const char* typeName, G get, S set, int last)
{
    TPropInfo p = PublishInt<C>(
        name, [get](C* c) { return int(get(c)); }, [set, last](C* c, int v) { set(c, E(std::clamp(v, 0, last))); });
    p.TypeName = typeName;
    return p;
}

// Layout travels as its ordinal.
template <class C>
TPropInfo PublishLayout(std::function<bool(TObject*)> stored)
{
    TPropInfo p = PublishOrdinalEh<C, TTextLayout>(
        "Layout", "TTextLayout", [](C* c) { return c->Layout(); }, [](C* c, TTextLayout v) { c->SetLayout(v); },
        int(tlBottom));
    p.StoredBy(std::move(stored));
    return p;
}

std::function<bool(TObject*)> ColumnAssigned(TColumnEhValue v)
{
    return [v](TObject* o) { return static_cast<TColumnEh*>(o)->AssignedValues().Contains(v); };
}

std::function<bool(TObject*)> TitleAssigned(TColumnEhValue v)
{
    return [v](TObject* o) {
        TColumnEh* c = static_cast<TColumnTitleEh*>(o)->Column();
        return c && c->AssignedValues().Contains(v);
    };
}

std::function<bool(TObject*)> FooterAssigned(TColumnFooterValue v)
{
    return [v](TObject* o) { return static_cast<TColumnFooterEh*>(o)->AssignedValues().Contains(v); };
}

} // namespace

namespace DBGridEhProps {

void DefineColumnProps(std::vector<TPropInfo>& p)
{
    using C = TColumnEh;
    p.push_back(PublishString<C>("FieldName", &C::FieldName, &C::SetFieldName));
    p.push_back(PublishOrdinalEh<C, TAlignment>(
        "Alignment", "TAlignment", [](C* c) { return c->Alignment(); }, [](C* c, TAlignment v) { c->SetAlignment(v); },
        int(taCenter)));
    p.back().StoredBy(ColumnAssigned(cvAlignment));
    p.push_back(PublishBool<C>("AutoFitColWidth", &C::AutoFitColWidth, &C::SetAutoFitColWidth, true));
    p.push_back(PublishBool<C>("Checkboxes", &C::Checkboxes, &C::SetCheckboxes));
    p.back().StoredBy(ColumnAssigned(cvCheckboxes));
    p.push_back(PublishInt<C>("Color", &C::Color, &C::SetColor));
    p.back().TypeName = "TColor";
    p.back().StoredBy(ColumnAssigned(cvColor));
    p.push_back(PublishString<C>("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat));
    p.push_back(PublishBool<C>("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis));
    p.back().StoredBy(ColumnAssigned(cvEndEllipsis));
    p.push_back(PublishLayout<C>([](TObject* o) { return static_cast<C*>(o)->LayoutStored(); }));
    p.push_back(PublishFloat<C>("Increment", &C::Increment, &C::SetIncrement));
    p.back().StoredBy([](TObject* o) { return static_cast<C*>(o)->Increment() != 1; });
    p.push_back(PublishInt<C>("MaxWidth", &C::MaxWidth, &C::SetMaxWidth, 0));
    p.push_back(PublishInt<C>("MinWidth", &C::MinWidth, &C::SetMinWidth, 0));
    p.push_back(PublishInt<C>("NotInKeyListIndex", &C::NotInKeyListIndex, &C::SetNotInKeyListIndex, -1));
    p.push_back(PublishBool<C>("ReadOnly", &C::ReadOnly, &C::SetReadOnly));
    p.back().StoredBy(ColumnAssigned(cvReadOnly));
    p.push_back(PublishInt<C>("Tag", &C::Tag, &C::SetTag, 0));
    p.push_back(PublishBool<C>("ToolTips", &C::ToolTips, &C::SetToolTips));
    p.back().StoredBy(ColumnAssigned(cvToolTips));
    p.push_back(PublishBool<C>("Visible", &C::Visible, &C::SetVisible, true));
    p.push_back(PublishInt<C>("Width", &C::Width, &C::SetWidth));
    p.back().StoredBy(ColumnAssigned(cvWidth));
    p.push_back(PublishBool<C>("WordWrap", &C::WordWrap, &C::SetWordWrap));
    p.back().StoredBy(ColumnAssigned(cvWordWrap));
    // Editing in place.
    p.push_back(PublishOrdinalEh<C, TColumnButtonStyleEh>(
        "ButtonStyle", "TColumnButtonStyleEh", [](C* c) { return c->ButtonStyle(); },
        [](C* c, TColumnButtonStyleEh v) { c->SetButtonStyle(v); }, int(TColumnButtonStyleEh::cbsDropDown)));
    p.back().StoredBy([](TObject* o) { return static_cast<C*>(o)->ButtonStyle() != TColumnButtonStyleEh::cbsAuto; });
    const std::pair<const char*, TColumnEhValue> flags[] = {
        {"AlwaysShowEditButton", cvAlwaysShowEditButton}, {"AutoDropDown", cvAutoDropDown},
        {"DblClickNextVal", cvDblClickNextVal},           {"DropDownShowTitles", cvDropDownShowTitles},
        {"DropDownSizing", cvDropDownSizing},             {"HighlightRequired", cvHighlightRequired},
    };
    using TFlagGet = bool (C::*)() const;
    using TFlagSet = void (C::*)(bool);
    const std::pair<TFlagGet, TFlagSet> access[] = {
        {&C::AlwaysShowEditButton, &C::SetAlwaysShowEditButton}, {&C::AutoDropDown, &C::SetAutoDropDown},
        {&C::DblClickNextVal, &C::SetDblClickNextVal},           {&C::DropDownShowTitles, &C::SetDropDownShowTitles},
        {&C::DropDownSizing, &C::SetDropDownSizing},             {&C::HighlightRequired, &C::SetHighlightRequired},
    };
    for (size_t i = 0; i < std::size(flags); ++i) {
        TFlagGet get = access[i].first;
        TFlagSet set = access[i].second;
        p.push_back(PublishBool<C>(
            flags[i].first, [get](C* c) { return (c->*get)(); }, [set](C* c, bool v) { (c->*set)(v); }));
        p.back().StoredBy(ColumnAssigned(flags[i].second));
    }
    p.push_back(PublishInt<C>("DropDownRows", &C::DropDownRows, &C::SetDropDownRows, 7));
    p.push_back(PublishInt<C>("DropDownWidth", &C::DropDownWidth, &C::SetDropDownWidth, 0));
    p.push_back(PublishBool<C>("ShowImageAndText", &C::ShowImageAndText, &C::SetShowImageAndText, false));
    p.push_back(PublishObject<C>("EditButtons", &C::EditButtons));
    p.back().StoredBy([](TObject* o) { return static_cast<C*>(o)->EditButtons()->Count() > 0; });
    p.push_back(PublishObject<C>("Title", &C::Title));
    p.push_back(PublishObject<C>("Footer", &C::Footer));
    p.push_back(PublishObject<C>("Footers", &C::Footers));
    p.back().StoredBy([](TObject* o) { return static_cast<C*>(o)->Footers()->Count() > 0; });
    p.push_back(PublishString<C>("LookupDisplayFields", &C::LookupDisplayFields, &C::SetLookupDisplayFields));
    p.back().StoredBy(ColumnAssigned(cvLookupDisplayFields));
    p.push_back(PublishObject<C>("DropDownBox", &C::DropDownBox, &C::SetDropDownBox));
    p.push_back(PublishObject<C>("DropDownSpecRow", &C::DropDownSpecRow, &C::SetDropDownSpecRow));
}

void DefineDropDownBoxProps(std::vector<TPropInfo>& p)
{
    using C = TColumnDropDownBoxEh;
    p.push_back(PublishBool<C>("AutoFitColWidths", &C::AutoFitColWidths, &C::SetAutoFitColWidths, true));
    p.push_back(PublishObject<C>("ColumnDefValues", &C::ColumnDefValues, &C::SetColumnDefValues));
    p.push_back(PublishObject<C>("Columns", &C::Columns, &C::SetColumns));
    p.back().StoredBy([](TObject* o) {
        TDBGridColumnsEh* cols = static_cast<C*>(o)->Columns();
        return cols && cols->ColumnsState() == cssCustomized;
    });
    p.push_back(PublishObject<C>("ListSource", &C::ListSource, &C::SetListSource));
    p.push_back(PublishSet<C>("Options", &C::Options, &C::SetOptions, TDBLookupGridEhOptions{dlgColLinesEh},
                              "TDBLookupGridEhOptions"));
    p.push_back(PublishBool<C>("UseMultiTitle", &C::UseMultiTitle, &C::SetUseMultiTitle, false));
}

void DefineTitleProps(std::vector<TPropInfo>& p)
{
    using C = TColumnTitleEh;
    p.push_back(PublishOrdinalEh<C, TAlignment>(
        "Alignment", "TAlignment", [](C* c) { return c->Alignment(); }, [](C* c, TAlignment v) { c->SetAlignment(v); },
        int(taCenter)));
    p.back().StoredBy(TitleAssigned(cvTitleAlignment));
    p.push_back(PublishString<C>("Caption", &C::Caption, [](C* c, const std::string& v) { c->SetCaption(v); }));
    p.back().StoredBy(TitleAssigned(cvTitleCaption));
    p.push_back(PublishInt<C>("Color", &C::Color, &C::SetColor));
    p.back().TypeName = "TColor";
    p.back().StoredBy(TitleAssigned(cvTitleColor));
    p.push_back(PublishBool<C>("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis));
    p.back().StoredBy(TitleAssigned(cvTitleEndEllipsis));
    p.push_back(PublishString<C>("Hint", &C::Hint, &C::SetHint));
    p.push_back(PublishInt<C>("ImageIndex", &C::ImageIndex, &C::SetImageIndex, -1));
    p.push_back(PublishOrdinalEh<C, TTextOrientationEh>(
        "Orientation", "TTextOrientationEh", [](C* c) { return c->Orientation(); },
        [](C* c, TTextOrientationEh v) { c->SetOrientation(v); }, int(tohVertical)));
    p.back().StoredBy(TitleAssigned(cvTitleOrientation));
    p.push_back(PublishInt<C>("SortIndex", &C::SortIndex, &C::SetSortIndex, 0));
    p.push_back(PublishOrdinalEh<C, TSortMarkerEh>(
        "SortMarker", "TSortMarkerEh", [](C* c) { return c->SortMarker(); },
        [](C* c, TSortMarkerEh v) { c->SetSortMarker(v); }, int(smUpEh)));
    p.back().HasDefault = true;
    p.push_back(PublishBool<C>("TitleButton", &C::TitleButton, &C::SetTitleButton));
    p.back().StoredBy(TitleAssigned(cvTitleButton));
    p.push_back(PublishBool<C>("ToolTips", &C::ToolTips, &C::SetToolTips));
    p.back().StoredBy(TitleAssigned(cvTitleToolTips));
}

void DefineFooterProps(std::vector<TPropInfo>& p)
{
    using C = TColumnFooterEh;
    p.push_back(PublishOrdinalEh<C, TAlignment>(
        "Alignment", "TAlignment", [](C* c) { return c->Alignment(); }, [](C* c, TAlignment v) { c->SetAlignment(v); },
        int(taCenter)));
    p.back().StoredBy(FooterAssigned(cfvAlignment));
    p.push_back(PublishInt<C>("Color", &C::Color, &C::SetColor));
    p.back().TypeName = "TColor";
    p.back().StoredBy(FooterAssigned(cfvColor));
    p.push_back(PublishString<C>("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat));
    p.push_back(PublishString<C>("FieldName", &C::FieldName, &C::SetFieldName));
    p.push_back(PublishBool<C>("ToolTips", &C::ToolTips, &C::SetToolTips));
    p.back().StoredBy([](TObject* o) {
        auto* f = static_cast<C*>(o);
        return f->AssignedValues().Contains(cfvToolTips) && f->ToolTips();
    });
    p.push_back(PublishString<C>("Value", &C::Value, &C::SetValue));
    p.push_back(PublishOrdinalEh<C, TFooterValueType>(
        "ValueType", "TFooterValueType", [](C* c) { return c->ValueType(); },
        [](C* c, TFooterValueType v) { c->SetValueType(v); }, int(fvtStaticText)));
    p.back().HasDefault = true;
    p.push_back(PublishBool<C>("WordWrap", &C::WordWrap, &C::SetWordWrap, false));
}

void DefineTitleDefValuesProps(std::vector<TPropInfo>& p)
{
    using C = TColumnTitleDefValuesEh;
    p.push_back(PublishOrdinalEh<C, TAlignment>(
        "Alignment", "TAlignment", [](C* c) { return c->Alignment(); }, [](C* c, TAlignment v) { c->SetAlignment(v); },
        int(taCenter)));
    p.back().StoredBy([](TObject* o) {
        auto* c = static_cast<C*>(o);
        return c->AlignmentAssigned() && c->Alignment() != c->DefaultAlignment();
    });
    p.push_back(PublishInt<C>("Color", &C::Color, &C::SetColor));
    p.back().TypeName = "TColor";
    p.back().StoredBy([](TObject* o) {
        auto* c = static_cast<C*>(o);
        return c->ColorAssigned() && c->Color() != c->DefaultColor();
    });
    p.push_back(PublishBool<C>("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis, false));
    p.push_back(PublishOrdinalEh<C, TTextOrientationEh>(
        "Orientation", "TTextOrientationEh", [](C* c) { return c->Orientation(); },
        [](C* c, TTextOrientationEh v) { c->SetOrientation(v); }, int(tohVertical)));
    p.back().StoredBy([](TObject* o) { return static_cast<C*>(o)->Orientation() != tohHorizontal; });
    p.push_back(PublishBool<C>("TitleButton", &C::TitleButton, &C::SetTitleButton, false));
    p.push_back(PublishBool<C>("ToolTips", &C::ToolTips, &C::SetToolTips, false));
}

void DefineFooterDefValuesProps(std::vector<TPropInfo>& p)
{
    using C = TColumnFooterDefValuesEh;
    p.push_back(PublishBool<C>("ToolTips", &C::ToolTips, &C::SetToolTips, false));
}

void DefineColumnDefValuesProps(std::vector<TPropInfo>& p)
{
    using C = TColumnDefValuesEh;
    using TFlagGet = bool (C::*)() const;
    using TFlagSet = void (C::*)(bool);
    struct TFlag {
        const char* Name;
        TFlagGet Get;
        TFlagSet Set;
    };
    const TFlag flags[] = {
        {"AlwaysShowEditButton", &C::AlwaysShowEditButton, &C::SetAlwaysShowEditButton},
        {"AutoDropDown", &C::AutoDropDown, &C::SetAutoDropDown},
        {"DblClickNextVal", &C::DblClickNextVal, &C::SetDblClickNextVal},
        {"DropDownShowTitles", &C::DropDownShowTitles, &C::SetDropDownShowTitles},
        {"DropDownSizing", &C::DropDownSizing, &C::SetDropDownSizing},
        {"EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis},
        {"HighlightRequired", &C::HighlightRequired, &C::SetHighlightRequired},
    };
    for (const TFlag& f : flags) {
        TFlagGet get = f.Get;
        TFlagSet set = f.Set;
        p.push_back(PublishBool<C>(
            f.Name, [get](C* c) { return (c->*get)(); }, [set](C* c, bool v) { (c->*set)(v); }, false));
    }
    p.push_back(PublishLayout<C>([](TObject* o) { return static_cast<C*>(o)->Layout() != tlTop; }));
    p.push_back(PublishBool<C>("ToolTips", &C::ToolTips, &C::SetToolTips, false));
    p.push_back(PublishObject<C>("Title", &C::Title, &C::SetTitle));
    p.push_back(PublishObject<C>("Footer", &C::Footer, &C::SetFooter));
}

} // namespace DBGridEhProps

namespace {

void WriteStrings(TWriter* w, TStrings* s)
{
    w->WriteListBegin();
    for (int i = 0; i < s->Count(); ++i) w->WriteString(s->Strings(i));
    w->WriteListEnd();
}

void ReadStrings(TReader* r, TStrings* s)
{
    s->BeginUpdate();
    try {
        s->Clear();
        r->ReadListBegin();
        while (!r->EndOfList()) s->Add(r->ReadString());
        r->ReadListEnd();
    } catch (...) {
        s->EndUpdate();
        throw;
    }
    s->EndUpdate();
}

} // namespace

// The key and pick lists go as lists of strings.
void TColumnEh::DefineProperties(TFiler* filer)
{
    TCollectionItem::DefineProperties(filer);
    auto defineList = [filer](const char* name, TStrings* list, const std::function<void(TStrings*)>& set) {
        filer->DefineProperty(
            name,
            [set](TReader* r) {
                TStringList read;
                ReadStrings(r, &read);
                set(&read);
            },
            [list](TWriter* w) { WriteStrings(w, list); }, list->Count() > 0);
    };
    defineList("KeyList", KeyList(), [this](TStrings* l) { SetKeyList(l); });
    defineList("PickList", PickList(), [this](TStrings* l) { SetPickList(l); });
}

// The columns are stored once they are the grid's own; reading them back
// replaces whatever columns there are.
void TCustomDBGridEh::DefineProperties(TFiler* filer)
{
    TCustomGrid::DefineProperties(filer);
    filer->DefineProperty(
        "Columns",
        [this](TReader* r) {
            FColumns->Clear();
            r->ReadCollection(FColumns.get());
        },
        [this](TWriter* w) { w->WriteCollection(FColumns.get()); },
        FColumns->ColumnsState() == cssCustomized);
}
