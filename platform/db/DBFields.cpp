// Fields, field definitions and the field list.
#include "DB.h"
#include "SysUtils.h"
#include "StringLists.h"
#include "Streams.h"
#include "TypInfo.h"

#include <cmath>

QZ_CLASS_IMPL(TFieldDef, TCollectionItem)
QZ_CLASS_IMPL(TFieldDefs, TCollection)
QZ_CLASS_IMPL(TField, TComponent)
QZ_CLASS_IMPL(TStringField, TField)
QZ_CLASS_IMPL(TWideStringField, TStringField)
QZ_CLASS_IMPL(TGuidField, TStringField)
QZ_CLASS_IMPL(TNumericField, TField)
QZ_CLASS_IMPL(TIntegerField, TNumericField)
QZ_CLASS_IMPL(TSmallintField, TIntegerField)
QZ_CLASS_IMPL(TWordField, TIntegerField)
QZ_CLASS_IMPL(TAutoIncField, TIntegerField)
QZ_CLASS_IMPL(TLargeintField, TIntegerField)
namespace {
// The currency flag is published: editors ask a field's class for it by name.
template <class F> void DefineCurrencyProp(std::vector<TPropInfo>& props)
{
    if constexpr (requires(F* f) { f->SetCurrency(true); })
        props.push_back(PublishBool<F>("Currency", &F::Currency, &F::SetCurrency, false));
    else
        props.push_back(PublishBool<F>("Currency", &F::Currency, nullptr, false));
}
}  // namespace

QZ_CLASS_IMPL_PROPS(TFloatField, TNumericField, DefineCurrencyProp<TFloatField>)
QZ_CLASS_IMPL(TCurrencyField, TFloatField)
QZ_CLASS_IMPL_PROPS(TBCDField, TNumericField, DefineCurrencyProp<TBCDField>)
QZ_CLASS_IMPL(TFMTBCDField, TBCDField)
QZ_CLASS_IMPL(TBooleanField, TField)
QZ_CLASS_IMPL(TDateTimeField, TField)
QZ_CLASS_IMPL(TSQLTimeStampField, TDateTimeField)
QZ_CLASS_IMPL(TDateField, TDateTimeField)
QZ_CLASS_IMPL(TTimeField, TDateTimeField)
QZ_CLASS_IMPL(TBinaryField, TField)
QZ_CLASS_IMPL(TBytesField, TBinaryField)
QZ_CLASS_IMPL(TVarBytesField, TBinaryField)
QZ_CLASS_IMPL(TBlobField, TField)
QZ_CLASS_IMPL(TMemoField, TBlobField)
QZ_CLASS_IMPL(TWideMemoField, TMemoField)
QZ_CLASS_IMPL(TGraphicField, TBlobField)
QZ_CLASS_IMPL(TVariantField, TField)
QZ_CLASS_IMPL_PROPS(TAggregateField, TField, DefineCurrencyProp<TAggregateField>)
QZ_CLASS_IMPL(TFields, TObject)

// ---- errors and names ------------------------------------------------------------------

void DatabaseError(const std::string& message, TComponent* component)
{
    if (component && !component->Name().empty())
        throw EDatabaseError(component->Name() + ": " + message);
    throw EDatabaseError(message);
}

void DatabaseErrorFmt(const std::string& fmt, const std::vector<std::string>& args,
                      TComponent* component)
{
    std::string out;
    size_t argi = 0;
    for (size_t i = 0; i < fmt.size(); ++i) {
        if (fmt[i] == '%' && i + 1 < fmt.size() && fmt[i + 1] == 's') {
            if (argi < args.size()) out += args[argi++];
            ++i;
        } else {
            out += fmt[i];
        }
    }
    DatabaseError(out, component);
}

std::string FieldTypeName(TFieldType t)
{
    static const char* const names[] = {
        "Unknown", "String", "SmallInt", "Integer", "Word", "Boolean", "Float", "Currency", "BCD",
        "Date", "Time", "DateTime", "Bytes", "VarBytes", "AutoInc", "Blob", "Memo", "Graphic",
        "FmtMemo", "ParadoxOle", "DBaseOle", "TypedBinary", "Cursor", "FixedChar", "WideString",
        "Largeint", "ADT", "Array", "Reference", "DataSet", "OraBlob", "OraClob", "Variant",
        "Interface", "IDispatch", "Guid", "TimeStamp", "FMTBcd"};
    int i = int(t);
    return i >= 0 && i < int(sizeof(names) / sizeof(names[0])) ? names[i] : "Unknown";
}

std::vector<std::string> SplitFieldNames(const std::string& names)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= names.size()) {
        size_t p = names.find(';', start);
        if (p == std::string::npos) p = names.size();
        std::string part = Trim(names.substr(start, p - start));
        if (!part.empty()) out.push_back(part);
        start = p + 1;
    }
    return out;
}

TClass DefaultFieldClass(TFieldType t)
{
    switch (t) {
    case ftString: case ftFixedChar: return TStringField::StaticClass();
    case ftWideString: return TWideStringField::StaticClass();
    case ftGuid: return TGuidField::StaticClass();
    case ftSmallint: return TSmallintField::StaticClass();
    case ftInteger: return TIntegerField::StaticClass();
    case ftWord: return TWordField::StaticClass();
    case ftAutoInc: return TAutoIncField::StaticClass();
    case ftLargeint: return TLargeintField::StaticClass();
    case ftBoolean: return TBooleanField::StaticClass();
    case ftFloat: return TFloatField::StaticClass();
    case ftCurrency: return TCurrencyField::StaticClass();
    case ftBCD: return TBCDField::StaticClass();
    case ftFMTBcd: return TFMTBCDField::StaticClass();
    case ftDate: return TDateField::StaticClass();
    case ftTime: return TTimeField::StaticClass();
    case ftDateTime: return TDateTimeField::StaticClass();
    case ftTimeStamp: return TSQLTimeStampField::StaticClass();
    case ftBytes: return TBytesField::StaticClass();
    case ftVarBytes: return TVarBytesField::StaticClass();
    case ftBlob: case ftTypedBinary: case ftOraBlob: case ftParadoxOle: case ftDBaseOle:
        return TBlobField::StaticClass();
    case ftMemo: case ftFmtMemo: case ftOraClob: return TMemoField::StaticClass();
    case ftGraphic: return TGraphicField::StaticClass();
    case ftVariant: return TVariantField::StaticClass();
    default: return nullptr;
    }
}

// ---- TFieldDef / TFieldDefs -------------------------------------------------------------

TFieldDef::TFieldDef(TCollection* collection) : TCollectionItem(collection) {}

TClass TFieldDef::FieldClass() const { return DefaultFieldClass(FDataType); }

TField* TFieldDef::CreateField(TComponent* owner)
{
    TClass cls = FieldClass();
    if (!cls) DatabaseErrorFmt("Field '%s' is of an unknown type", {FName});
    TField* f = static_cast<TField*>(cls->Create(owner));
    try {
        f->SetFieldName(FName);
        if (FDataType == ftFixedChar) static_cast<TStringField*>(f)->SetFixedChar(true);
        if (FDataType == ftString || FDataType == ftWideString || FDataType == ftFixedChar ||
            FDataType == ftBytes || FDataType == ftVarBytes || FDataType == ftGuid) {
            if (FSize > 0) f->SetSize(FSize);
        } else if (FDataType == ftBCD || FDataType == ftFMTBcd) {
            f->SetSize(FSize);
            static_cast<TBCDField*>(f)->SetPrecision(FPrecision);
        } else if (f->IsBlob()) {
            static_cast<TBlobField*>(f)->SetBlobType(FDataType);
        }
        if (FDataType == ftCurrency) static_cast<TFloatField*>(f)->SetCurrency(true);
        f->SetRequired(FRequired);
        f->SetReadOnly(FReadOnly);
        f->SetFieldNo(FieldNo());
        auto* defs = static_cast<TFieldDefs*>(Collection());
        if (defs && defs->DataSet()) f->SetDataSet(defs->DataSet());
    } catch (...) {
        FreeObject(f);
        throw;
    }
    return f;
}

void TFieldDef::Assign(TPersistent* source)
{
    if (auto* s = DynamicCast<TFieldDef>(source)) {
        FName = s->FName;
        FDataType = s->FDataType;
        FSize = s->FSize;
        FPrecision = s->FPrecision;
        FRequired = s->FRequired;
        FReadOnly = s->FReadOnly;
        return;
    }
    TCollectionItem::Assign(source);
}

TFieldDefs::TFieldDefs(TDataSet* dataSet) : TCollection(TFieldDef::StaticClass()), FDataSet(dataSet) {}

TFieldDef* TFieldDefs::Add(const std::string& name, TFieldType dataType, int size, bool required)
{
    if (name.empty()) DatabaseError("Field name missing", FDataSet);
    if (IndexOf(name) >= 0) DatabaseErrorFmt(DBConsts::SDuplicateFieldName, {name}, FDataSet);
    TFieldDef* d = AddFieldDef();
    d->SetName(name);
    d->SetDataType(dataType);
    d->SetSize(size);
    d->SetRequired(required);
    return d;
}

int TFieldDefs::IndexOf(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameText(Items(i)->Name(), name)) return i;
    return -1;
}

TFieldDef* TFieldDefs::Find(const std::string& name) const
{
    int i = IndexOf(name);
    if (i < 0) DatabaseErrorFmt(DBConsts::SFieldDefNotFound, {name}, FDataSet);
    return Items(i);
}

void TFieldDefs::Update()
{
    if (FDataSet && !FDataSet->Active()) FDataSet->InternalInitFieldDefs();
    FUpdated = true;
}

void TFieldDefs::GetItemNames(TStrings* list) const
{
    list->BeginUpdate();
    try {
        list->Clear();
        for (int i = 0; i < Count(); ++i) list->Add(Items(i)->Name());
    } catch (...) {
        list->EndUpdate();
        throw;
    }
    list->EndUpdate();
}

TPersistent* TFieldDefs::GetOwner() const { return FDataSet; }

// ---- TField -----------------------------------------------------------------------------------

TField::TField(TComponent* owner) : TComponent(owner) {}

TField::~TField()
{
    if (FDataSet) {
        TDataSet* ds = FDataSet;
        try {
            if (ds->Active() && !(ds->ComponentState().Contains(csDestroying))) ds->Close();
        } catch (...) {
        }
        ds->FieldRemoved(this);
        FDataSet = nullptr;
    }
}

void TField::SetDataSet(TDataSet* ds)
{
    if (ds == FDataSet) return;
    if (FDataSet) FDataSet->CheckInactive();
    if (ds) {
        ds->CheckInactive();
        if (!FFieldName.empty() && ds->FindField(FFieldName))
            DatabaseErrorFmt(DBConsts::SDuplicateFieldName, {FFieldName}, ds);
    }
    if (FDataSet) FDataSet->FieldRemoved(this);
    FDataSet = ds;
    if (ds) ds->FieldAdded(this);
}

void TField::SetFieldName(const std::string& v)
{
    if (v == FFieldName) return;
    if (FDataSet) {
        FDataSet->CheckInactive();
        TField* other = FDataSet->FindField(v);
        if (other && other != this) DatabaseErrorFmt(DBConsts::SDuplicateFieldName, {v}, FDataSet);
    }
    FFieldName = v;
}

void TField::SetFieldKind(TFieldKind v)
{
    if (v == FFieldKind) return;
    if (FDataSet) FDataSet->CheckInactive();
    FFieldKind = v;
}

int TField::Index() const { return FDataSet ? FDataSet->Fields()->IndexOf(const_cast<TField*>(this)) : -1; }

void TField::SetIndex(int v)
{
    if (!FDataSet) return;
    FDataSet->Fields()->SetFieldIndex(this, v);
    PropertyChanged(true);
}

void TField::SetDisplayLabel(const std::string& v)
{
    if (v == FDisplayLabel) return;
    FDisplayLabel = v;
    PropertyChanged(true);
}

int TField::DisplayWidth() const { return FDisplayWidth > 0 ? FDisplayWidth : DefaultDisplayWidth(); }

void TField::SetDisplayWidth(int v)
{
    if (v == FDisplayWidth) return;
    FDisplayWidth = v;
    PropertyChanged(true);
}

void TField::SetAlignment(TAlignment v)
{
    if (v == FAlignment) return;
    FAlignment = v;
    PropertyChanged(false);
}

void TField::SetVisible(bool v)
{
    if (v == FVisible) return;
    FVisible = v;
    PropertyChanged(true);
}

void TField::SetSize(int v)
{
    if (FDataSet) FDataSet->CheckInactive();
    if (v < 0) DatabaseError("Invalid field size", FDataSet);
    FSize = v;
}

bool TField::CanModify() const
{
    if (FReadOnly || !FDataSet) return false;
    if (FFieldKind != fkData && FFieldKind != fkInternalCalc && FFieldKind != fkLookup) return false;
    if (FFieldKind == fkLookup) {
        // A lookup field is changed through its key fields.
        if (FKeyFields.empty()) return false;
        for (const std::string& n : SplitFieldNames(FKeyFields)) {
            TField* k = FDataSet->FindField(n);
            if (!k || !k->CanModify()) return false;
        }
        return true;
    }
    return FDataSet->CanModify();
}

void TField::SetLookupDataSet(TDataSet* v)
{
    if (FLookupDataSet.Get()) FLookupDataSet->RemoveFreeNotification(this);
    FLookupDataSet = v;
    if (v) v->FreeNotification(this);
}

void TField::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FLookupDataSet.Get()) FLookupDataSet = nullptr;
}

Variant TField::GetData() const
{
    if (!FDataSet) DatabaseErrorFmt("Field '%s' has no dataset", {FFieldName});
    return FDataSet->GetFieldData(this);
}

void TField::SetData(const Variant& v)
{
    if (!FDataSet) DatabaseErrorFmt("Field '%s' has no dataset", {FFieldName});
    FDataSet->SetFieldData(this, v);
}

bool TField::IsNull() const
{
    Variant v = GetData();
    return v.IsNull() || v.IsEmpty();
}

Variant TField::OldValue() const
{
    if (!FDataSet) return Null();
    return FDataSet->GetOldFieldData(this);
}

Variant TField::Normalize(const Variant& v) const { return v; }

void TField::SetAsVariant(const Variant& v)
{
    if (v.IsNull() || v.IsEmpty()) {
        SetData(Null());
        return;
    }
    SetData(Normalize(v));
}

void TField::AccessError(const char* typeName) const
{
    DatabaseErrorFmt(DBConsts::SFieldAccessError, {DisplayName(), typeName});
}

Variant TField::GetAsVariant() const
{
    Variant v = GetData();
    return v.IsEmpty() ? Null() : v;
}

std::string TField::GetAsString() const
{
    Variant v = GetData();
    if (v.IsNull() || v.IsEmpty()) return std::string();
    return GetText(false);
}

int TField::GetAsInteger() const
{
    Variant v = GetData();
    if (v.IsNull() || v.IsEmpty()) return 0;
    try {
        return v.AsInteger();
    } catch (const EVariantError&) {
        AccessError("Integer");
    }
}

int64_t TField::GetAsLargeInt() const
{
    Variant v = GetData();
    if (v.IsNull() || v.IsEmpty()) return 0;
    try {
        return v.AsInt64();
    } catch (const EVariantError&) {
        AccessError("Largeint");
    }
}

double TField::GetAsFloat() const
{
    Variant v = GetData();
    if (v.IsNull() || v.IsEmpty()) return 0;
    try {
        return v.AsDouble();
    } catch (const EVariantError&) {
        AccessError("Float");
    }
}

Currency TField::GetAsCurrency() const
{
    Variant v = GetData();
    if (v.IsNull() || v.IsEmpty()) return Currency();
    try {
        return v.AsCurrency();
    } catch (const EVariantError&) {
        AccessError("Currency");
    }
}

bool TField::GetAsBoolean() const
{
    Variant v = GetData();
    if (v.IsNull() || v.IsEmpty()) return false;
    try {
        return v.AsBoolean();
    } catch (const EVariantError&) {
        AccessError("Boolean");
    }
}

TDateTime TField::GetAsDateTime() const
{
    Variant v = GetData();
    if (v.IsNull() || v.IsEmpty()) return 0;
    try {
        return v.AsDate();
    } catch (const EVariantError&) {
        AccessError("DateTime");
    }
}

void TField::SetAsStringImpl(const std::string& v) { SetAsVariant(Variant(v)); }
void TField::SetAsIntegerImpl(int v) { SetAsVariant(Variant(v)); }
void TField::SetAsLargeIntImpl(int64_t v) { SetAsVariant(Variant::FromInt64(v)); }
void TField::SetAsFloatImpl(double v) { SetAsVariant(Variant(v)); }
void TField::SetAsCurrencyImpl(Currency v) { SetAsVariant(Variant(v)); }
void TField::SetAsBooleanImpl(bool v) { SetAsVariant(Variant(v)); }
void TField::SetAsDateTimeImpl(TDateTime v) { SetAsVariant(Variant::FromDate(v)); }

std::string TField::GetText(bool displayText) const
{
    Variant v = GetData();
    if (v.IsNull() || v.IsEmpty()) return std::string();
    try {
        return VarToStr(v);
    } catch (const EVariantError&) {
        return std::string();
    }
}

std::string TField::Text() const
{
    std::string s;
    if (OnGetText) {
        OnGetText(const_cast<TField*>(this), s, false);
        return s;
    }
    return GetText(false);
}

std::string TField::DisplayText() const
{
    std::string s;
    if (OnGetText) {
        OnGetText(const_cast<TField*>(this), s, true);
        return s;
    }
    return GetText(true);
}

void TField::SetText(const std::string& v)
{
    if (OnSetText) {
        OnSetText(this, v);
        return;
    }
    SetTextImpl(v);
}

void TField::Validate(const Variant& v)
{
    if (!OnValidate || FValidating) return;
    // The handler reads the new value through the field; the data set puts it
    // in place first and restores the old one when the handler refuses it.
    FValidating = true;
    try {
        OnValidate(this);
    } catch (...) {
        FValidating = false;
        throw;
    }
    FValidating = false;
}

void TField::FocusControl()
{
    if (!FDataSet || !FDataSet->Active()) return;
    TField* f = this;
    FDataSet->DataEvent(deFocusControl, reinterpret_cast<intptr_t>(&f));
}

void TField::Assign(TPersistent* source)
{
    if (!source) {
        Clear();
        return;
    }
    if (auto* f = DynamicCast<TField>(source)) {
        SetAsVariant(f->AsVariant());
        return;
    }
    TComponent::Assign(source);
}

void TField::Change()
{
    if (OnChange) OnChange(this);
}

void TField::PropertyChanged(bool layoutAffected)
{
    if (FDataSet && FDataSet->Active())
        FDataSet->DataEvent(layoutAffected ? deLayoutChange : deDataSetChange, 0);
}

// ---- string fields ------------------------------------------------------------------

TStringField::TStringField(TComponent* owner) : TField(owner)
{
    FDataType = ftString;
    FSize = 20;
}

Variant TStringField::Normalize(const Variant& v) const
{
    std::string s;
    try {
        s = v.AsString();
    } catch (const EVariantError&) {
        AccessError("String");
    }
    if (FSize > 0 && GbkLength(s) > FSize) s = GbkTruncate(s, FSize);
    return Variant(std::move(s));
}

int TStringField::GetAsInteger() const
{
    std::string s = Trim(AsString());
    if (s.empty()) return 0;
    int r;
    if (!TryStrToInt(s, r)) DatabaseErrorFmt(DBConsts::SInvalidIntegerValue, {s, DisplayName()});
    return r;
}

double TStringField::GetAsFloat() const
{
    std::string s = Trim(AsString());
    if (s.empty()) return 0;
    double r;
    if (!TryStrToFloat(s, r)) DatabaseErrorFmt(DBConsts::SInvalidFloatValue, {s, DisplayName()});
    return r;
}

bool TStringField::GetAsBoolean() const
{
    std::string s = Trim(AsString());
    if (s.empty()) return false;
    char c = char(toupper(static_cast<unsigned char>(s[0])));
    if (c == 'T' || c == 'Y' || c == '1') return true;
    if (c == 'F' || c == 'N' || c == '0') return false;
    DatabaseErrorFmt(DBConsts::SInvalidBoolValue, {s, DisplayName()});
}

TDateTime TStringField::GetAsDateTime() const
{
    std::string s = Trim(AsString());
    if (s.empty()) return 0;
    TDateTime d;
    if (!TryStrToDateTime(s, d)) DatabaseErrorFmt(DBConsts::SInvalidDateValue, {s, DisplayName()});
    return d;
}

TWideStringField::TWideStringField(TComponent* owner) : TStringField(owner) { FDataType = ftWideString; }

Variant TWideStringField::Normalize(const Variant& v) const
{
    std::string s;
    try {
        s = v.AsString();
    } catch (const EVariantError&) {
        AccessError("WideString");
    }
    // A wide string's size counts characters.
    if (FSize > 0 && Length(s) > FSize) s = Copy(s, 1, FSize);
    return Variant::FromWide(s);
}

TGuidField::TGuidField(TComponent* owner) : TStringField(owner)
{
    FDataType = ftGuid;
    FSize = 38;
}

// ---- numeric fields --------------------------------------------------------------

TNumericField::TNumericField(TComponent* owner) : TField(owner) { FAlignment = taRightJustify; }

void TNumericField::SetDisplayFormat(const std::string& v)
{
    if (v == FDisplayFormat) return;
    FDisplayFormat = v;
    PropertyChanged(false);
}

void TNumericField::SetEditFormat(const std::string& v)
{
    if (v == FEditFormat) return;
    FEditFormat = v;
    PropertyChanged(false);
}

bool TNumericField::IsValidChar(char32_t ch) const
{
    return (ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == '.' || ch == 'e' ||
           ch == 'E' || ch == char32_t(FormatSettings.DecimalSeparator);
}

TIntegerField::TIntegerField(TComponent* owner) : TNumericField(owner)
{
    FDataType = ftInteger;
    FSize = 0;
}

Variant TIntegerField::Normalize(const Variant& v) const
{
    int64_t n = 0;
    TVarType t = v.VType();
    if (t == varString || t == varOleStr) {
        std::string s = Trim(v.RawString());
        if (s.empty()) return Null();
        if (!TryStrToInt64(s, n)) {
            double d;
            // "1e30" is a whole number no integer holds: as invalid as "abc".
            if (!TryStrToFloat(s, d) || d != std::floor(d) || !(d >= -9223372036854775808.0 &&
                                                               d < 9223372036854775808.0))
                DatabaseErrorFmt(DBConsts::SInvalidIntegerValue, {s, DisplayName()});
            n = int64_t(d);
        }
    } else if (t == varDouble || t == varSingle || t == varCurrency || t == varDate) {
        double d = v.AsDouble();
        if (!std::isfinite(d) || d > 9.2e18 || d < -9.2e18)
            DatabaseErrorFmt(DBConsts::SFieldRangeError, {FloatToStr(d), DisplayName(),
                                                          IntToStr(int64_t(TypeMin())),
                                                          IntToStr(int64_t(TypeMax()))});
        n = Round(d);
    } else {
        try {
            n = v.AsInt64();
        } catch (const EVariantError&) {
            AccessError("Integer");
        }
    }
    int64_t lo = TypeMin(), hi = TypeMax();
    if (FMinValue != 0 || FMaxValue != 0) {
        lo = std::max(lo, FMinValue);
        hi = std::min(hi, FMaxValue);
    }
    if (n < lo || n > hi)
        DatabaseErrorFmt(DBConsts::SFieldRangeError,
                         {IntToStr(n), DisplayName(), IntToStr(lo), IntToStr(hi)});
    return MakeValue(n);
}

// AsString of a number is its plain text, whatever the formats say.
std::string TIntegerField::GetAsString() const
{
    Variant v = GetData();
    return v.IsNull() || v.IsEmpty() ? std::string() : IntToStr(v.AsInt64());
}

std::string TIntegerField::GetText(bool displayText) const
{
    Variant v = GetData();
    if (v.IsNull() || v.IsEmpty()) return std::string();
    int64_t n = v.AsInt64();
    // The edit text follows the display format unless an edit format is set.
    const std::string& fmt = displayText || FEditFormat.empty() ? FDisplayFormat : FEditFormat;
    return fmt.empty() ? IntToStr(n) : FormatFloat(fmt, double(n));
}

TSmallintField::TSmallintField(TComponent* owner) : TIntegerField(owner) { FDataType = ftSmallint; }
TWordField::TWordField(TComponent* owner) : TIntegerField(owner) { FDataType = ftWord; }
TAutoIncField::TAutoIncField(TComponent* owner) : TIntegerField(owner) { FDataType = ftAutoInc; }
TLargeintField::TLargeintField(TComponent* owner) : TIntegerField(owner) { FDataType = ftLargeint; }

TFloatField::TFloatField(TComponent* owner) : TNumericField(owner) { FDataType = ftFloat; }

void TFloatField::SetCurrency(bool v)
{
    if (v == FCurrency) return;
    FCurrency = v;
    PropertyChanged(false);
}

void TFloatField::SetPrecision(int v)
{
    if (v < 2) v = 2;
    if (v > 15) v = 15;
    if (v == FPrecision) return;
    FPrecision = v;
    PropertyChanged(false);
}

Variant TFloatField::Normalize(const Variant& v) const
{
    double d = 0;
    TVarType t = v.VType();
    if (t == varString || t == varOleStr) {
        std::string s = Trim(v.RawString());
        if (s.empty()) return Null();
        if (!TryStrToFloat(s, d)) DatabaseErrorFmt(DBConsts::SInvalidFloatValue, {s, DisplayName()});
    } else {
        try {
            d = v.AsDouble();
        } catch (const EVariantError&) {
            AccessError("Float");
        }
    }
    if ((FMinValue != 0 || FMaxValue != 0) && (d < FMinValue || d > FMaxValue))
        DatabaseErrorFmt(DBConsts::SFieldRangeError, {FloatToStr(d), DisplayName(),
                                                      FloatToStr(FMinValue), FloatToStr(FMaxValue)});
    return Variant(d);
}

std::string TFloatField::GetAsString() const
{
    Variant v = GetData();
    return v.IsNull() || v.IsEmpty() ? std::string() : FloatToStr(v.AsDouble());
}

std::string TFloatField::GetText(bool displayText) const
{
    Variant v = GetData();
    if (v.IsNull() || v.IsEmpty()) return std::string();
    double d = v.AsDouble();
    const std::string& fmt = displayText || FEditFormat.empty() ? FDisplayFormat : FEditFormat;
    if (!fmt.empty()) return FormatFloat(fmt, d);
    if (FCurrency) {
        if (displayText) return FloatToStrF(d, ffCurrency, FPrecision, FormatSettings.CurrencyDecimals);
        return FloatToStrF(d, ffFixed, FPrecision, FormatSettings.CurrencyDecimals);
    }
    return FloatToStrF(d, ffGeneral, FPrecision, 0);
}

TCurrencyField::TCurrencyField(TComponent* owner) : TFloatField(owner)
{
    FDataType = ftCurrency;
    FCurrency = true;
}

TBCDField::TBCDField(TComponent* owner) : TNumericField(owner)
{
    FDataType = ftBCD;
    FSize = 4;
}

void TBCDField::SetCurrency(bool v)
{
    if (v == FCurrency) return;
    FCurrency = v;
    PropertyChanged(false);
}

Variant TBCDField::Normalize(const Variant& v) const
{
    TVarType t = v.VType();
    if (t == varString || t == varOleStr) {
        std::string s = Trim(v.RawString());
        if (s.empty()) return Null();
        ::Currency c;
        if (!TryStrToCurr(s, c)) DatabaseErrorFmt(DBConsts::SInvalidFloatValue, {s, DisplayName()});
        return Variant(c);
    }
    try {
        return Variant(v.AsCurrency());
    } catch (const EVariantError&) {
        AccessError("BCD");
    }
}

std::string TBCDField::GetAsString() const
{
    Variant v = GetData();
    return v.IsNull() || v.IsEmpty() ? std::string() : CurrToStr(v.AsCurrency());
}

std::string TBCDField::GetText(bool displayText) const
{
    Variant v = GetData();
    if (v.IsNull() || v.IsEmpty()) return std::string();
    ::Currency c = v.AsCurrency();
    const std::string& fmt = displayText || FEditFormat.empty() ? FDisplayFormat : FEditFormat;
    if (!fmt.empty()) return FormatCurr(fmt, c);
    if (FCurrency) {
        if (displayText) return CurrToStrF(c, ffCurrency, FormatSettings.CurrencyDecimals);
        return CurrToStrF(c, ffFixed, FormatSettings.CurrencyDecimals);
    }
    return CurrToStr(c);
}

TFMTBCDField::TFMTBCDField(TComponent* owner) : TBCDField(owner)
{
    FDataType = ftFMTBcd;
    FSize = 8;
}

// ---- Boolean ------------------------------------------------------------------------

TBooleanField::TBooleanField(TComponent* owner) : TField(owner) { FDataType = ftBoolean; }

void TBooleanField::SetDisplayValues(const std::string& v)
{
    FDisplayValues = v;
    if (v.empty()) {
        FTrueText = DBConsts::STextTrue;
        FFalseText = DBConsts::STextFalse;
    } else {
        size_t p = v.find(';');
        if (p == std::string::npos) {
            FTrueText = v;
            FFalseText.clear();
        } else {
            FTrueText = v.substr(0, p);
            FFalseText = v.substr(p + 1);
        }
    }
    PropertyChanged(true);
}

Variant TBooleanField::Normalize(const Variant& v) const
{
    TVarType t = v.VType();
    if (t == varString || t == varOleStr) {
        std::string s = v.RawString();
        if (Trim(s).empty()) return Null();
        // A prefix of either text counts, as typed into a grid.
        auto prefixOf = [&](const std::string& full) {
            return !full.empty() && s.size() <= full.size() && SameText(full.substr(0, s.size()), s);
        };
        if (prefixOf(FTrueText)) return Variant(true);
        if (prefixOf(FFalseText)) return Variant(false);
        if (SameText(s, "True") || s == "1" || SameText(s, "yes")) return Variant(true);
        if (SameText(s, "False") || s == "0" || SameText(s, "no")) return Variant(false);
        DatabaseErrorFmt(DBConsts::SInvalidBoolValue, {s, DisplayName()});
    }
    try {
        return Variant(v.AsBoolean());
    } catch (const EVariantError&) {
        AccessError("Boolean");
    }
}

std::string TBooleanField::GetText(bool displayText) const
{
    Variant v = GetData();
    if (v.IsNull() || v.IsEmpty()) return std::string();
    return v.AsBoolean() ? FTrueText : FFalseText;
}

void TBooleanField::SetTextImpl(const std::string& v)
{
    if (v.empty()) {
        Clear();
        return;
    }
    SetAsVariant(Variant(v));
}

int TBooleanField::DefaultDisplayWidth() const
{
    return std::max(Length(FTrueText), Length(FFalseText));
}

// ---- dates and times ------------------------------------------------------------

TDateTimeField::TDateTimeField(TComponent* owner) : TField(owner) { FDataType = ftDateTime; }

void TDateTimeField::SetDisplayFormat(const std::string& v)
{
    if (v == FDisplayFormat) return;
    FDisplayFormat = v;
    PropertyChanged(false);
}

namespace {
// "yyyy-mm-dd", "yyyy-mm-dd hh:nn[:ss[.zzz]]", "yyyy/mm/dd…" and a 'T' between.
bool TryIsoToDateTime(const std::string& s, TDateTime& out)
{
    int y, mo, d, h = 0, mi = 0, se = 0, ms = 0;
    size_t n = s.size();
    auto digits = [&](size_t pos, size_t cnt, int& v) {
        if (pos + cnt > n) return false;
        v = 0;
        for (size_t i = pos; i < pos + cnt; ++i) {
            if (s[i] < '0' || s[i] > '9') return false;
            v = v * 10 + (s[i] - '0');
        }
        return true;
    };
    if (n < 10 || !digits(0, 4, y) || (s[4] != '-' && s[4] != '/') || !digits(5, 2, mo) ||
        s[7] != s[4] || !digits(8, 2, d))
        return false;
    if (n > 10) {
        if ((s[10] != ' ' && s[10] != 'T') || !digits(11, 2, h) || n < 16 || s[13] != ':' ||
            !digits(14, 2, mi))
            return false;
        size_t p = 16;
        if (n > p) {
            if (s[p] != ':' || !digits(p + 1, 2, se)) return false;
            p += 3;
            if (n > p) {
                if (s[p] != '.') return false;
                size_t q = p + 1;
                int frac = 0, cnt = 0;
                while (q < n && s[q] >= '0' && s[q] <= '9') {
                    if (cnt < 3) {
                        frac = frac * 10 + (s[q] - '0');
                        ++cnt;
                    }
                    ++q;
                }
                if (q != n || cnt == 0) return false;
                while (cnt < 3) {
                    frac *= 10;
                    ++cnt;
                }
                ms = frac;
            }
        }
    }
    return TryEncodeDateTime(y, mo, d, h, mi, se, ms, out);
}
}

namespace qzDB {
bool TryParseDateTimeText(const std::string& text, TDateTime& out)
{
    std::string s = Trim(text);
    if (TryIsoToDateTime(s, out)) return true;
    return TryStrToDateTime(s, out);
}
}

Variant TDateTimeField::Normalize(const Variant& v) const
{
    TVarType t = v.VType();
    TDateTime d = 0;
    if (t == varString || t == varOleStr) {
        std::string s = Trim(v.RawString());
        if (s.empty()) return Null();
        if (!qzDB::TryParseDateTimeText(s, d))
            DatabaseErrorFmt(DBConsts::SInvalidDateValue, {s, DisplayName()});
    } else {
        try {
            d = v.AsDate();
        } catch (const EVariantError&) {
            AccessError("DateTime");
        }
    }
    if (FDataType == ftDate) d = DateOf(d);
    else if (FDataType == ftTime) d = TimeOf(d);
    return Variant::FromDate(d);
}

std::string TDateTimeField::GetText(bool displayText) const
{
    Variant v = GetData();
    if (v.IsNull() || v.IsEmpty()) return std::string();
    TDateTime d = v.AsDate();
    if (displayText && !FDisplayFormat.empty()) return FormatDateTime(FDisplayFormat, d);
    switch (FDataType) {
    case ftDate: return DateToStr(d);
    case ftTime: return TimeToStr(d);
    default: return DateTimeToStr(d);
    }
}

void TDateTimeField::SetTextImpl(const std::string& v)
{
    if (Trim(v).empty()) {
        Clear();
        return;
    }
    SetAsVariant(Variant(v));
}

TSQLTimeStampField::TSQLTimeStampField(TComponent* owner) : TDateTimeField(owner) { FDataType = ftTimeStamp; }
TDateField::TDateField(TComponent* owner) : TDateTimeField(owner) { FDataType = ftDate; }
TTimeField::TTimeField(TComponent* owner) : TDateTimeField(owner) { FDataType = ftTime; }

// ---- binary and blobs -----------------------------------------------------------

TBinaryField::TBinaryField(TComponent* owner) : TField(owner) { FSize = 16; }

Variant TBinaryField::Normalize(const Variant& v) const
{
    if (v.VType() == varString || v.VType() == varOleStr) return Variant(v.RawString());
    try {
        return Variant(v.AsString());
    } catch (const EVariantError&) {
        AccessError("Bytes");
    }
}

TBytesField::TBytesField(TComponent* owner) : TBinaryField(owner) { FDataType = ftBytes; }
TVarBytesField::TVarBytesField(TComponent* owner) : TBinaryField(owner) { FDataType = ftVarBytes; }

TBlobField::TBlobField(TComponent* owner) : TField(owner)
{
    FDataType = ftBlob;
    FSize = 0;
}

Variant TBlobField::Normalize(const Variant& v) const
{
    if (v.VType() == varString || v.VType() == varOleStr) return Variant(v.RawString());
    try {
        return Variant(v.AsString());
    } catch (const EVariantError&) {
        AccessError("Blob");
    }
}

int TBlobField::BlobSize() const
{
    Variant v = GetData();
    if (v.IsNull() || v.IsEmpty()) return 0;
    return int(v.RawString().size());
}

void TBlobField::LoadFromStream(TStream* stream)
{
    std::string bytes;
    int64_t size = stream->Size();
    stream->SetPosition(0);
    if (size > 0) {
        bytes.resize(size_t(size));
        stream->ReadBuffer(bytes.data(), int(size));
    }
    SetAsVariant(Variant(std::move(bytes)));
    FModified = true;
}

void TBlobField::SaveToStream(TStream* stream) const
{
    Variant v = GetData();
    if (v.IsNull() || v.IsEmpty()) return;
    const std::string& s = v.RawString();
    if (!s.empty()) stream->WriteBuffer(s.data(), int(s.size()));
}

void TBlobField::LoadFromFile(const std::string& fileName)
{
    TFileStream fs(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&fs);
}

void TBlobField::SaveToFile(const std::string& fileName) const
{
    SaveFileWhole(fileName, [&](TStream* s) { SaveToStream(s); });
}

void TBlobField::Assign(TPersistent* source)
{
    if (auto* s = DynamicCast<TBlobField>(source)) {
        SetAsVariant(s->AsVariant());
        return;
    }
    if (auto* sl = DynamicCast<TStrings>(source)) {
        SetAsString(sl->Text());
        return;
    }
    TField::Assign(source);
}

std::string TBlobField::GetText(bool displayText) const
{
    Variant v = GetData();
    if (!displayText) return v.IsNull() || v.IsEmpty() ? std::string() : v.RawString();
    std::string name = UpperCase(FieldTypeName(FDataType));
    if (v.IsNull() || v.IsEmpty()) return "(" + FieldTypeName(FDataType) + ")";
    return "(" + name + ")";
}

TMemoField::TMemoField(TComponent* owner) : TBlobField(owner) { SetBlobType(ftMemo); }

std::string TMemoField::GetText(bool displayText) const { return TBlobField::GetText(displayText); }

TWideMemoField::TWideMemoField(TComponent* owner) : TMemoField(owner) {}
TGraphicField::TGraphicField(TComponent* owner) : TBlobField(owner) { SetBlobType(ftGraphic); }
TVariantField::TVariantField(TComponent* owner) : TField(owner) { FDataType = ftVariant; }
TAggregateField::TAggregateField(TComponent* owner) : TField(owner) {}

// ---- TFields ----------------------------------------------------------------------

TFields::TFields(TDataSet* dataSet) : FDataSet(dataSet) {}

TFields::~TFields() = default;

TField* TFields::Fields(int index) const
{
    if (index < 0 || index >= Count()) DatabaseError(DBConsts::SFieldIndexError, FDataSet);
    return FList[size_t(index)];
}

TField* TFields::FindField(const std::string& name) const
{
    for (TField* f : FList)
        if (SameText(f->FieldName(), name)) return f;
    return nullptr;
}

TField* TFields::FieldByName(const std::string& name) const
{
    TField* f = FindField(name);
    if (!f) DatabaseErrorFmt(DBConsts::SFieldNotFound, {name}, FDataSet);
    return f;
}

TField* TFields::FieldByNumber(int fieldNo) const
{
    for (TField* f : FList)
        if (f->FieldNo() == fieldNo) return f;
    return nullptr;
}

int TFields::IndexOf(TField* f) const
{
    for (size_t i = 0; i < FList.size(); ++i)
        if (FList[i] == f) return int(i);
    return -1;
}

void TFields::GetFieldNames(TStrings* list) const
{
    list->BeginUpdate();
    try {
        list->Clear();
        for (TField* f : FList) list->Add(f->FieldName());
    } catch (...) {
        list->EndUpdate();
        throw;
    }
    list->EndUpdate();
}

void TFields::Add(TField* f) { FList.push_back(f); }

void TFields::Remove(TField* f)
{
    int i = IndexOf(f);
    if (i >= 0) FList.erase(FList.begin() + i);
}

void TFields::Clear() { FList.clear(); }

void TFields::SetFieldIndex(TField* f, int value)
{
    int cur = IndexOf(f);
    if (cur < 0) return;
    if (value < 0) value = 0;
    if (value >= Count()) value = Count() - 1;
    if (value == cur) return;
    FList.erase(FList.begin() + cur);
    FList.insert(FList.begin() + value, f);
}
