// The data-set framework: data sets with their states, navigation, editing,
// bookmarks, searching and filters; fields and field definitions; data
// sources and the data links through which grids, data controllers, edit
// controls and reports follow a data set.
//
// Every data set here holds all of its rows in memory (the engines fetch the
// whole result when a set opens), so record counts, record numbers,
// bookmarks, sorting and filtering work on every set alike. Data links see a
// window of buffered records (BufferCount, ActiveRecord, RecordCount) and get
// their notices in the class library's order and timing.
#pragma once

#include "Classes.h"
#include "Variants.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TDataSet;
class TField;
class TFields;
class TFieldDef;
class TFieldDefs;
class TDataSource;
class TDataLink;
class TStream;
class TStrings;

// ---- enumerations ------------------------------------------------------------

enum TFieldType {
    ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
    ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
    ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
    ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant,
    ftInterface, ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd
};

// The type's name as the class library spells it ("String", "Integer"…).
std::string FieldTypeName(TFieldType t);

// The order matters: callers test "inserting or a later state".
enum TDataSetState {
    dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
    dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc, dsOpening
};
inline bool IsEditState(TDataSetState s) { return s == dsEdit || s == dsInsert || s == dsSetKey; }

enum TDataEvent {
    deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
    deUpdateRecord, deUpdateState, deCheckBrowseMode, dePropertyChange, deFieldListChange,
    deFocusControl, deParentScroll, deConnectChange, deReconcileError, deDisabledStateChange
};

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption, 8>;

enum TFilterOption { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = TSet<TFilterOption, 8>;

enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

enum TGetMode { gmCurrent, gmNext, gmPrior };

enum TResyncMode { rmExact, rmCenter };
using TResyncModes = TSet<TResyncMode, 8>;

enum TDataAction { daFail, daAbort, daRetry };

// A bookmark names one row of a data set for as long as the set stays open.
// An empty text is no bookmark. Compare bookmarks with CompareBookmarks
// (data-set order), not as texts.
using TBookmark = std::string;
using TBookmarkStr = std::string;

// ---- the class library's data-set error texts ---------------------------------

namespace DBConsts {
inline constexpr const char* SDataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr const char* SDataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr const char* SDataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr const char* SDataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr const char* SNotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* SFieldNotFound = "Field '%s' not found";
inline constexpr const char* SFieldRequired = "Field '%s' must have a value";
inline constexpr const char* SFieldReadOnly = "Field '%s' cannot be modified";
inline constexpr const char* SFieldAccessError = "Cannot access field '%s' as type %s";
inline constexpr const char* SFieldTypeMismatch = "Type mismatch for field '%s', expecting: %s actual: %s";
inline constexpr const char* SInvalidIntegerValue = "'%s' is not a valid integer value for field '%s'";
inline constexpr const char* SInvalidFloatValue = "'%s' is not a valid floating point value for field '%s'";
inline constexpr const char* SInvalidBoolValue = "'%s' is not a valid boolean value for field '%s'";
inline constexpr const char* SInvalidDateValue = "'%s' is not a valid date and time for field '%s'";
inline constexpr const char* SFieldRangeError = "%s is not a valid value for field '%s'. The allowed range is %s to %s";
inline constexpr const char* SDuplicateFieldName = "Duplicate field name '%s'";
inline constexpr const char* SFieldIndexError = "Field index out of range";
inline constexpr const char* SFieldDefNotFound = "Field definition '%s' not found";
inline constexpr const char* SNoFieldDefs = "No fields defined.  Cannot create dataset";
inline constexpr const char* SRecordNotFound = "Record not found";
inline constexpr const char* SInvalidBookmark = "Invalid bookmark";
inline constexpr const char* SCircularDataLink = "Circular datalinks are not allowed";
inline constexpr const char* SDataSourceChange = "DataSource cannot be changed";
inline constexpr const char* SNotABlobField = "Field '%s' is not a blob field";
inline constexpr const char* SLookupInfoError = "Lookup information for field '%s' is incomplete";
inline constexpr const char* SParameterNotFound = "Parameter '%s' not found";
inline constexpr const char* SExprTermination = "Filter expression incorrectly terminated";
inline constexpr const char* SExprNameError = "Unterminated field name";
inline constexpr const char* SExprStringError = "Unterminated string constant";
inline constexpr const char* SExprInvalidChar = "Invalid filter expression character: '%s'";
inline constexpr const char* SExprNoRParen = "')' expected but %s found";
inline constexpr const char* SExprExpected = "Expression expected but %s found";
inline constexpr const char* SExprTooComplex = "Filter expression nested too deeply";
inline constexpr const char* STextTrue = "True";
inline constexpr const char* STextFalse = "False";
}

// Raises EDatabaseError with the message; with a component, its name and
// ": " come first, as the class library does.
[[noreturn]] void DatabaseError(const std::string& message, TComponent* component = nullptr);
// Replaces the first %s of fmt by each argument in turn, then raises.
[[noreturn]] void DatabaseErrorFmt(const std::string& fmt, const std::vector<std::string>& args,
                                   TComponent* component = nullptr);

// ---- events ------------------------------------------------------------------------

using TDataSetNotifyEvent = std::function<void(TDataSet* dataSet)>;
using TFilterRecordEvent = std::function<void(TDataSet* dataSet, bool& accept)>;
using TDataSetErrorEvent = std::function<void(TDataSet* dataSet, const Exception& e, TDataAction& action)>;
using TFieldNotifyEvent = std::function<void(TField* sender)>;
using TFieldGetTextEvent = std::function<void(TField* sender, std::string& text, bool displayText)>;
using TFieldSetTextEvent = std::function<void(TField* sender, const std::string& text)>;
using TDataChangeEvent = std::function<void(TObject* sender, TField* field)>;

// ---- field definitions ---------------------------------------------------------

class TFieldDef : public TCollectionItem {
    QZ_CLASS(TFieldDef, TCollectionItem)
public:
    explicit TFieldDef(TCollection* collection = nullptr);

    const std::string& Name() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    TFieldType DataType() const { return FDataType; }
    void SetDataType(TFieldType v) { FDataType = v; }
    int Size() const { return FSize; }
    void SetSize(int v) { FSize = v; }
    int Precision() const { return FPrecision; }
    void SetPrecision(int v) { FPrecision = v; }
    bool Required() const { return FRequired; }
    void SetRequired(bool v) { FRequired = v; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    int FieldNo() const { return Index() + 1; }
    // The field class this definition makes (TStringField for ftString…).
    TClass FieldClass() const;
    // Makes the field of this definition, owned by owner, attached to the
    // definitions' data set.
    TField* CreateField(TComponent* owner);
    void Assign(TPersistent* source) override;

protected:
    std::string GetDisplayName() const override { return FName; }

private:
    std::string FName;
    TFieldType FDataType = ftUnknown;
    int FSize = 0;
    int FPrecision = 0;
    bool FRequired = false;
    bool FReadOnly = false;
};

class TFieldDefs : public TCollection {
    QZ_CLASS(TFieldDefs, TCollection)
public:
    explicit TFieldDefs(TDataSet* dataSet = nullptr);

    TFieldDef* AddFieldDef() { return static_cast<TFieldDef*>(TCollection::Add()); }
    // Adds a definition; raises "Duplicate field name '%s'" for a name
    // already defined (case-insensitive).
    TFieldDef* Add(const std::string& name, TFieldType dataType, int size = 0, bool required = false);
    TFieldDef* Items(int index) const { return static_cast<TFieldDef*>(TCollection::Items(index)); }
    TFieldDef* operator[](int index) const { return Items(index); }
    int IndexOf(const std::string& name) const;        // case-insensitive; -1 when absent
    TFieldDef* Find(const std::string& name) const;    // raises "Field definition '%s' not found"
    // Reads the definitions from the data set's source (nothing for an
    // unconnected set). Safe on a closed set.
    void Update();
    bool Updated() const { return FUpdated; }
    void SetUpdated(bool v) { FUpdated = v; }
    TDataSet* DataSet() const { return FDataSet; }
    void GetItemNames(TStrings* list) const;
    TPersistent* GetOwner() const override;

private:
    TDataSet* FDataSet;
    bool FUpdated = false;
};

// ---- fields ----------------------------------------------------------------------

class TField : public TComponent {
    QZ_CLASS(TField, TComponent)
public:
    explicit TField(TComponent* owner = nullptr);
    ~TField() override;

    // Binding
    TDataSet* DataSet() const { return FDataSet; }
    // Attaches the field to a data set (or detaches with null). The set must
    // be closed; a name already used in the set raises "Duplicate field name".
    virtual void SetDataSet(TDataSet* ds);
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& v);
    int FieldNo() const { return FFieldNo; }
    TFieldType DataType() const { return FDataType; }
    TFieldKind FieldKind() const { return FFieldKind; }
    void SetFieldKind(TFieldKind v);
    bool Calculated() const { return FFieldKind == fkCalculated; }
    void SetCalculated(bool v) { SetFieldKind(v ? fkCalculated : fkData); }
    bool Lookup() const { return FFieldKind == fkLookup; }
    bool IsIndexField() const { return false; }
    // Position in the data set's field list; setting it moves the field.
    int Index() const;
    void SetIndex(int v);
    const std::string& Origin() const { return FOrigin; }
    void SetOrigin(const std::string& v) { FOrigin = v; }

    // Presentation
    std::string DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
    void SetDisplayLabel(const std::string& v);
    std::string DisplayName() const { return DisplayLabel(); }
    int DisplayWidth() const;
    void SetDisplayWidth(int v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    bool Required() const { return FRequired; }
    void SetRequired(bool v) { FRequired = v; }
    const std::string& EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& v) { FEditMask = v; }
    const std::string& ConstraintErrorMessage() const { return FConstraintErrorMessage; }
    // The size of the data: GBK bytes of a string field, digits of BCD, 0 else.
    int Size() const { return FSize; }
    virtual void SetSize(int v);
    virtual int DataSize() const { return FSize; }
    virtual bool IsBlob() const { return false; }
    bool CanModify() const;
    // A character that may be typed into the field.
    virtual bool IsValidChar(char32_t ch) const { return true; }
    bool HasOnSetText() const { return bool(OnSetText); }
    bool HasOnGetText() const { return bool(OnGetText); }

    // Lookup fields
    const std::string& KeyFields() const { return FKeyFields; }
    void SetKeyFields(const std::string& v) { FKeyFields = v; }
    TDataSet* LookupDataSet() const { return FLookupDataSet.Get(); }
    void SetLookupDataSet(TDataSet* v);
    const std::string& LookupKeyFields() const { return FLookupKeyFields; }
    void SetLookupKeyFields(const std::string& v) { FLookupKeyFields = v; }
    const std::string& LookupResultField() const { return FLookupResultField; }
    void SetLookupResultField(const std::string& v) { FLookupResultField = v; }
    bool LookupCache() const { return FLookupCache; }
    void SetLookupCache(bool v) { FLookupCache = v; }

    // Values of the data set's active record
    bool IsNull() const;
    Variant Value() const { return GetAsVariant(); }
    void SetValue(const Variant& v) { SetAsVariant(v); }
    Variant AsVariant() const { return GetAsVariant(); }
    void SetAsVariant(const Variant& v);
    std::string AsString() const { return GetAsString(); }
    void SetAsString(const std::string& v) { SetAsStringImpl(v); }
    int AsInteger() const { return GetAsInteger(); }
    void SetAsInteger(int v) { SetAsIntegerImpl(v); }
    int64_t AsLargeInt() const { return GetAsLargeInt(); }
    void SetAsLargeInt(int64_t v) { SetAsLargeIntImpl(v); }
    double AsFloat() const { return GetAsFloat(); }
    void SetAsFloat(double v) { SetAsFloatImpl(v); }
    Currency AsCurrency() const { return GetAsCurrency(); }
    void SetAsCurrency(Currency v) { SetAsCurrencyImpl(v); }
    bool AsBoolean() const { return GetAsBoolean(); }
    void SetAsBoolean(bool v) { SetAsBooleanImpl(v); }
    TDateTime AsDateTime() const { return GetAsDateTime(); }
    void SetAsDateTime(TDateTime v) { SetAsDateTimeImpl(v); }
    // The value before the current edit (Null in insert state).
    Variant OldValue() const;
    void Clear() { SetAsVariant(Null()); }

    // Texts: Text is the edit text, DisplayText what a grid shows; both go
    // through OnGetText when it is assigned. SetText parses the text by the
    // field's type (through OnSetText when assigned).
    std::string Text() const;
    void SetText(const std::string& v);
    std::string DisplayText() const;

    // Checks a value would be accepted, without writing it.
    virtual void Validate(const Variant& v);
    void FocusControl();
    void Assign(TPersistent* source) override;

    // Runs OnChange (called after the field's value changed).
    virtual void Change();
    // Tells the data set a property that affects shown data changed: layout
    // changes (visibility, width, label, order) reach links as layout-changed,
    // others as data-set-changed.
    void PropertyChanged(bool layoutAffected);

    TFieldNotifyEvent OnChange;
    TFieldNotifyEvent OnValidate;
    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;

    // ---- used by the data set ----------------------------------------------------
    // Raw access to the stored value of the active record (no conversion).
    Variant GetData() const;
    void SetData(const Variant& v);
    int SlotIndex() const { return FSlot; }
    void SetSlotIndex(int v) { FSlot = v; }
    void SetFieldNo(int v) { FFieldNo = v; }
    void SetDataType(TFieldType v) { FDataType = v; }
    // Turns a value of any variant type into the field's stored form; raises
    // the conversion errors with the field's name.
    virtual Variant Normalize(const Variant& v) const;

protected:
    virtual Variant GetAsVariant() const;
    virtual std::string GetAsString() const;
    virtual int GetAsInteger() const;
    virtual int64_t GetAsLargeInt() const;
    virtual double GetAsFloat() const;
    virtual Currency GetAsCurrency() const;
    virtual bool GetAsBoolean() const;
    virtual TDateTime GetAsDateTime() const;
    virtual void SetAsStringImpl(const std::string& v);
    virtual void SetAsIntegerImpl(int v);
    virtual void SetAsLargeIntImpl(int64_t v);
    virtual void SetAsFloatImpl(double v);
    virtual void SetAsCurrencyImpl(Currency v);
    virtual void SetAsBooleanImpl(bool v);
    virtual void SetAsDateTimeImpl(TDateTime v);
    // The text shown (displayText) or edited; the default is AsString.
    virtual std::string GetText(bool displayText) const;
    virtual void SetTextImpl(const std::string& v) { SetAsString(v); }
    virtual int DefaultDisplayWidth() const { return FSize > 0 ? FSize : 10; }
    [[noreturn]] void AccessError(const char* typeName) const;
    void Notification(TComponent* component, TOperation operation) override;

    TFieldType FDataType = ftUnknown;
    int FSize = 0;
    TAlignment FAlignment = taLeftJustify;

private:
    friend class TDataSet;
    TDataSet* FDataSet = nullptr;
    std::string FFieldName;
    std::string FDisplayLabel;
    std::string FOrigin;
    std::string FEditMask;
    std::string FConstraintErrorMessage;
    std::string FKeyFields, FLookupKeyFields, FLookupResultField;
    TWeakRef<TDataSet> FLookupDataSet;
    TFieldKind FFieldKind = fkData;
    int FFieldNo = 0;
    int FDisplayWidth = 0;   // 0: the type's default
    int FSlot = -1;
    bool FVisible = true;
    bool FReadOnly = false;
    bool FRequired = false;
    bool FLookupCache = false;
    bool FValidating = false;
};

using TFieldClass = TClass;

class TStringField : public TField {
    QZ_CLASS(TStringField, TField)
public:
    explicit TStringField(TComponent* owner = nullptr);
    bool FixedChar() const { return FFixedChar; }
    void SetFixedChar(bool v) { FFixedChar = v; }
    bool Transliterate() const { return true; }
    Variant Normalize(const Variant& v) const override;
protected:
    int GetAsInteger() const override;
    double GetAsFloat() const override;
    bool GetAsBoolean() const override;
    TDateTime GetAsDateTime() const override;
private:
    bool FFixedChar = false;
};

class TWideStringField : public TStringField {
    QZ_CLASS(TWideStringField, TStringField)
public:
    explicit TWideStringField(TComponent* owner = nullptr);
    Variant Normalize(const Variant& v) const override;
};

class TGuidField : public TStringField {
    QZ_CLASS(TGuidField, TStringField)
public:
    explicit TGuidField(TComponent* owner = nullptr);
};

class TNumericField : public TField {
    QZ_CLASS(TNumericField, TField)
public:
    explicit TNumericField(TComponent* owner = nullptr);
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& v);
    const std::string& EditFormat() const { return FEditFormat; }
    void SetEditFormat(const std::string& v);
    bool IsValidChar(char32_t ch) const override;
protected:
    std::string FDisplayFormat, FEditFormat;
};

class TIntegerField : public TNumericField {
    QZ_CLASS(TIntegerField, TNumericField)
public:
    explicit TIntegerField(TComponent* owner = nullptr);
    int64_t MinValue() const { return FMinValue; }
    void SetMinValue(int64_t v) { FMinValue = v; }
    int64_t MaxValue() const { return FMaxValue; }
    void SetMaxValue(int64_t v) { FMaxValue = v; }
    Variant Normalize(const Variant& v) const override;
protected:
    std::string GetAsString() const override;
    std::string GetText(bool displayText) const override;
    int DefaultDisplayWidth() const override { return 11; }
    // The bounds of the type itself.
    virtual int64_t TypeMin() const { return INT32_MIN; }
    virtual int64_t TypeMax() const { return INT32_MAX; }
    virtual Variant MakeValue(int64_t v) const { return Variant(int(v)); }
    int64_t FMinValue = 0, FMaxValue = 0;   // both 0: no range
};

class TSmallintField : public TIntegerField {
    QZ_CLASS(TSmallintField, TIntegerField)
public:
    explicit TSmallintField(TComponent* owner = nullptr);
protected:
    int DefaultDisplayWidth() const override { return 6; }
    int64_t TypeMin() const override { return -32768; }
    int64_t TypeMax() const override { return 32767; }
    Variant MakeValue(int64_t v) const override { return Variant::FromSmallint(int16_t(v)); }
};

class TWordField : public TIntegerField {
    QZ_CLASS(TWordField, TIntegerField)
public:
    explicit TWordField(TComponent* owner = nullptr);
protected:
    int DefaultDisplayWidth() const override { return 5; }
    int64_t TypeMin() const override { return 0; }
    int64_t TypeMax() const override { return 65535; }
    Variant MakeValue(int64_t v) const override { return Variant(int(v)); }
};

class TAutoIncField : public TIntegerField {
    QZ_CLASS(TAutoIncField, TIntegerField)
public:
    explicit TAutoIncField(TComponent* owner = nullptr);
};

class TLargeintField : public TIntegerField {
    QZ_CLASS(TLargeintField, TIntegerField)
public:
    explicit TLargeintField(TComponent* owner = nullptr);
protected:
    int DefaultDisplayWidth() const override { return 15; }
    int64_t TypeMin() const override { return INT64_MIN; }
    int64_t TypeMax() const override { return INT64_MAX; }
    Variant MakeValue(int64_t v) const override { return Variant::FromInt64(v); }
};

class TFloatField : public TNumericField {
    QZ_CLASS(TFloatField, TNumericField)
public:
    explicit TFloatField(TComponent* owner = nullptr);
    bool Currency() const { return FCurrency; }
    void SetCurrency(bool v);
    int Precision() const { return FPrecision; }
    void SetPrecision(int v);
    double MinValue() const { return FMinValue; }
    void SetMinValue(double v) { FMinValue = v; }
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double v) { FMaxValue = v; }
    Variant Normalize(const Variant& v) const override;
protected:
    std::string GetAsString() const override;
    std::string GetText(bool displayText) const override;
    int DefaultDisplayWidth() const override { return 10; }
    bool FCurrency = false;
    int FPrecision = 15;
    double FMinValue = 0, FMaxValue = 0;
};

class TCurrencyField : public TFloatField {
    QZ_CLASS(TCurrencyField, TFloatField)
public:
    explicit TCurrencyField(TComponent* owner = nullptr);
};

class TBCDField : public TNumericField {
    QZ_CLASS(TBCDField, TNumericField)
public:
    explicit TBCDField(TComponent* owner = nullptr);
    bool Currency() const { return FCurrency; }
    void SetCurrency(bool v);
    int Precision() const { return FPrecision; }
    void SetPrecision(int v) { FPrecision = v; }
    Variant Normalize(const Variant& v) const override;
protected:
    std::string GetAsString() const override;
    std::string GetText(bool displayText) const override;
    bool FCurrency = false;
    int FPrecision = 0;
};

class TFMTBCDField : public TBCDField {
    QZ_CLASS(TFMTBCDField, TBCDField)
public:
    explicit TFMTBCDField(TComponent* owner = nullptr);
};

class TBooleanField : public TField {
    QZ_CLASS(TBooleanField, TField)
public:
    explicit TBooleanField(TComponent* owner = nullptr);
    // "TrueText;FalseText"; empty: "True;False".
    const std::string& DisplayValues() const { return FDisplayValues; }
    void SetDisplayValues(const std::string& v);
    Variant Normalize(const Variant& v) const override;
protected:
    std::string GetText(bool displayText) const override;
    void SetTextImpl(const std::string& v) override;
    int DefaultDisplayWidth() const override;
private:
    std::string FDisplayValues;
    std::string FTrueText = "True", FFalseText = "False";
};

class TDateTimeField : public TField {
    QZ_CLASS(TDateTimeField, TField)
public:
    explicit TDateTimeField(TComponent* owner = nullptr);
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& v);
    Variant Normalize(const Variant& v) const override;
protected:
    std::string GetText(bool displayText) const override;
    void SetTextImpl(const std::string& v) override;
    int DefaultDisplayWidth() const override { return 18; }
    std::string FDisplayFormat;
};

class TSQLTimeStampField : public TDateTimeField {
    QZ_CLASS(TSQLTimeStampField, TDateTimeField)
public:
    explicit TSQLTimeStampField(TComponent* owner = nullptr);
};

class TDateField : public TDateTimeField {
    QZ_CLASS(TDateField, TDateTimeField)
public:
    explicit TDateField(TComponent* owner = nullptr);
protected:
    int DefaultDisplayWidth() const override { return 10; }
};

class TTimeField : public TDateTimeField {
    QZ_CLASS(TTimeField, TDateTimeField)
public:
    explicit TTimeField(TComponent* owner = nullptr);
protected:
    int DefaultDisplayWidth() const override { return 10; }
};

class TBinaryField : public TField {
    QZ_CLASS(TBinaryField, TField)
public:
    explicit TBinaryField(TComponent* owner = nullptr);
    Variant Normalize(const Variant& v) const override;
};

class TBytesField : public TBinaryField {
    QZ_CLASS(TBytesField, TBinaryField)
public:
    explicit TBytesField(TComponent* owner = nullptr);
};

class TVarBytesField : public TBinaryField {
    QZ_CLASS(TVarBytesField, TBinaryField)
public:
    explicit TVarBytesField(TComponent* owner = nullptr);
};

// Blobs hold their bytes as a string value; memos hold UTF-8 text.
class TBlobField : public TField {
    QZ_CLASS(TBlobField, TField)
public:
    explicit TBlobField(TComponent* owner = nullptr);
    bool IsBlob() const override { return true; }
    int BlobSize() const;
    bool Modified() const { return FModified; }
    void SetModified(bool v) { FModified = v; }
    // The whole content from the stream's start / into the stream at its position.
    void LoadFromStream(TStream* stream);
    void SaveToStream(TStream* stream) const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;
    TFieldType BlobType() const { return FDataType; }
    void SetBlobType(TFieldType v) { FDataType = v; }
    void Assign(TPersistent* source) override;
    Variant Normalize(const Variant& v) const override;
protected:
    std::string GetText(bool displayText) const override;
    int DefaultDisplayWidth() const override { return 10; }
private:
    bool FModified = false;
};

class TMemoField : public TBlobField {
    QZ_CLASS(TMemoField, TBlobField)
public:
    explicit TMemoField(TComponent* owner = nullptr);
protected:
    std::string GetText(bool displayText) const override;
};

class TWideMemoField : public TMemoField {
    QZ_CLASS(TWideMemoField, TMemoField)
public:
    explicit TWideMemoField(TComponent* owner = nullptr);
};

class TGraphicField : public TBlobField {
    QZ_CLASS(TGraphicField, TBlobField)
public:
    explicit TGraphicField(TComponent* owner = nullptr);
};

class TVariantField : public TField {
    QZ_CLASS(TVariantField, TField)
public:
    explicit TVariantField(TComponent* owner = nullptr);
    Variant Normalize(const Variant& v) const override { return v; }
};

// An aggregate field: present for the interface; no data set here computes aggregates.
class TAggregateField : public TField {
    QZ_CLASS(TAggregateField, TField)
public:
    explicit TAggregateField(TComponent* owner = nullptr);
    TFieldType ResultType() const { return FResultType; }
    void SetResultType(TFieldType v) { FResultType = v; }
    bool Currency() const { return FCurrency; }
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& v) { FDisplayFormat = v; }
private:
    TFieldType FResultType = ftUnknown;
    bool FCurrency = false;
    std::string FDisplayFormat;
};

// The field class for a field type (TStringField for ftString…); null for
// types no field class stands for.
TClass DefaultFieldClass(TFieldType t);

// ---- the field list ----------------------------------------------------------------

class TFields : public TObject {
    QZ_CLASS(TFields, TObject)
public:
    explicit TFields(TDataSet* dataSet = nullptr);
    ~TFields() override;

    int Count() const { return int(FList.size()); }
    TField* Fields(int index) const;      // raises "Field index out of range"
    TField* operator[](int index) const { return Fields(index); }
    TField* FindField(const std::string& name) const;    // case-insensitive; null when absent
    TField* FieldByName(const std::string& name) const;  // raises "Field '%s' not found"
    TField* FieldByNumber(int fieldNo) const;
    int IndexOf(TField* f) const;
    void GetFieldNames(TStrings* list) const;
    TDataSet* DataSet() const { return FDataSet; }

    // Used by the data set.
    void Add(TField* f);
    void Remove(TField* f);
    void Clear();                  // frees the fields the data set made itself
    void SetFieldIndex(TField* f, int value);
    std::vector<TField*>::const_iterator begin() const { return FList.begin(); }
    std::vector<TField*>::const_iterator end() const { return FList.end(); }

private:
    TDataSet* FDataSet;
    std::vector<TField*> FList;
};

// ---- the data set --------------------------------------------------------------------

struct TDataSetStore;   // the rows, the visible order and the edit buffer
struct TFilterExpr;     // a parsed filter expression

class TDataSet : public TComponent {
    QZ_CLASS(TDataSet, TComponent)
public:
    explicit TDataSet(TComponent* owner = nullptr);
    ~TDataSet() override;

    // ---- opening ---------------------------------------------------------------
    void Open();
    void Close();
    bool Active() const { return FState != dsInactive; }
    void SetActive(bool v);
    TDataSetState State() const { return FState; }
    bool Modified() const { return FModified; }
    virtual bool CanModify() const;
    bool IsUnidirectional() const { return false; }
    virtual bool IsSequenced() const { return true; }
    void Refresh();
    // Raises "Cannot perform this operation on a closed dataset" when closed.
    void CheckActive() const;
    void CheckInactive() const;
    // Posts a pending edit when modified, cancels it otherwise.
    void CheckBrowseMode();
    void UpdateRecord();
    void Resync(TResyncModes mode);

    // ---- navigation -------------------------------------------------------------
    void First();
    void Last();
    void Next();
    void Prior();
    int MoveBy(int distance);
    bool Bof() const { return FBof; }
    bool Eof() const { return FEof; }
    bool IsEmpty() const;
    int RecordCount() const;
    int RecNo() const;          // 1-based; -1 when there is no current record
    void SetRecNo(int v);

    // ---- editing ------------------------------------------------------------------
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    void ClearFields();
    void InsertRecord(const std::vector<Variant>& values);
    void AppendRecord(const std::vector<Variant>& values);
    void SetFields(const std::vector<Variant>& values);

    // ---- fields -------------------------------------------------------------------
    TFields* Fields() const { return FFields.get(); }
    TFields* AggFields() const { return FAggFields.get(); }
    int FieldCount() const { return FFields->Count(); }
    TFieldDefs* FieldDefs() const { return FFieldDefs.get(); }
    TField* FindField(const std::string& name) const { return FFields->FindField(name); }
    TField* FieldByName(const std::string& name) const;
    TField* FieldByNumber(int fieldNo) const { return FFields->FieldByNumber(fieldNo); }
    // The fields named in a ';'-separated list, in its order; raises
    // "Field '%s' not found" for a missing one.
    void GetFieldList(std::vector<TField*>& list, const std::string& fieldNames) const;
    void GetFieldNames(TStrings* list) const;
    // Values of the ';'-separated fields: one value, or a variant array.
    Variant FieldValues(const std::string& fieldNames) const;
    void SetFieldValues(const std::string& fieldNames, const Variant& value);
    // True when the fields were made from the field definitions at open
    // (no persistent fields); they are freed again at close.
    bool DefaultFields() const { return FDefaultFields; }

    // ---- bookmarks -----------------------------------------------------------------
    TBookmarkStr Bookmark() const;
    void SetBookmark(const TBookmarkStr& b) { GotoBookmark(b); }
    bool BookmarkAvailable() const;
    TBookmark GetBookmark() const { return Bookmark(); }
    void GotoBookmark(const TBookmark& b);     // raises "Record not found" for a stale one
    void FreeBookmark(TBookmark& b) const { b.clear(); }
    bool BookmarkValid(const TBookmark& b) const;
    // Data-set order: -1, 0 or 1; an empty bookmark sorts before the others.
    int CompareBookmarks(const TBookmark& a, const TBookmark& b) const;

    // ---- searching -----------------------------------------------------------------
    // Moves to the first record whose fields (';'-separated) match; values is
    // one value or a variant array with one element per field.
    bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options);
    // The result fields' values of the first matching record (one value or a
    // variant array), Null when none matches; the cursor does not move.
    Variant Lookup(const std::string& keyFields, const Variant& keyValues,
                   const std::string& resultFields);

    // ---- filtering -------------------------------------------------------------------
    const std::string& Filter() const { return FFilterText; }
    void SetFilter(const std::string& v);     // raises on a malformed expression
    bool Filtered() const { return FFiltered; }
    void SetFiltered(bool v);
    TFilterOptions FilterOptions() const { return FFilterOptions; }
    void SetFilterOptions(TFilterOptions v);

    // ---- controls and data sources ---------------------------------------------------
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount != 0; }
    // Sends an event to every data source bound to the set (and its links).
    void DataEvent(TDataEvent event, intptr_t info);
    // The records of the buffer window that data links see.
    int BufferCount() const { return FBufferCount; }
    int ActiveRecord() const { return FActiveRecord; }
    void SetActiveRecord(int v);       // used by data links to read other buffered rows
    int BufferRecordCount() const { return FRecordCount; }

    // ---- blobs -----------------------------------------------------------------------
    // A stream over a blob field of the active record. Written content goes
    // into the field when the stream is freed (the set must be editing).
    TStream* CreateBlobStream(TField* field, TBlobStreamMode mode);

    // ---- the in-memory row store -------------------------------------------------------
    // Makes an empty set from the field definitions (or the persistent fields)
    // and opens it. Raises "No fields defined.  Cannot create dataset" when
    // there is neither.
    void CreateDataSet();
    // Removes every row (the set stays open).
    void EmptyDataSet();

    // ---- events ----------------------------------------------------------------------
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent BeforeRefresh, AfterRefresh;
    TDataSetNotifyEvent OnNewRecord, OnCalcFields;
    TFilterRecordEvent OnFilterRecord;
    TDataSetErrorEvent OnPostError, OnEditError, OnDeleteError;

    // ---- used by fields, links and sources --------------------------------------------
    Variant GetFieldData(const TField* field) const;
    void SetFieldData(TField* field, const Variant& value);
    Variant GetOldFieldData(const TField* field) const;
    void AddDataSource(TDataSource* ds);
    void RemoveDataSource(TDataSource* ds);
    void UpdateBufferCount();
    void FieldAdded(TField* f);       // a field was attached
    void FieldRemoved(TField* f);     // a field is detaching
    bool InOpen() const { return FOpening; }

protected:
    // ---- what a descendant provides ----------------------------------------------------
    // Fetches the rows of the source: fills the field definitions (when the
    // set makes its fields from them) and then calls AddRow for each row, with
    // values in definition order. The default opens an empty in-memory set.
    virtual void InternalOpen();
    virtual void InternalClose() {}
    // Re-reads the rows for Refresh; the default keeps them.
    virtual void InternalRefresh() {}
    // Hooks that run before a change of the stored rows; they may raise to
    // refuse it (and nothing changes).
    virtual void InternalPost() {}
    virtual void InternalDelete() {}
    virtual void InternalInitFieldDefs() {}
    virtual void DoOnNewRecord();
    virtual void OpenCursorComplete() {}

    // Appends a fetched row; values are in field-definition order.
    void AddRow(std::vector<Variant>&& values);
    void ReserveRows(size_t n);
    // Drops all rows (for a refresh that re-reads them).
    void ClearRows();
    // Sorting of the visible rows by "A ASC,B DESC" (empty: natural order).
    void SetSortText(const std::string& sortText);
    const std::string& SortText() const { return FSortText; }
    void SetReadOnlySet(bool v) { FReadOnly = v; }
    // Instant reads, for a set that shows all its records to one control at
    // once: until the read ends, the fields, the bookmark and the record number
    // answer for the record at the visible position pos (0-based), without
    // moving and without telling the data sources. No navigation in between.
    struct TInstantRead {
        int WindowTop = 0, ActiveRecord = 0, RecordCount = 0;
        bool Active = false;
    };
    // Inactive (and nothing changes) for a position outside the records.
    TInstantRead BeginInstantRead(int pos);
    void EndInstantRead(const TInstantRead& saved);
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TField;
    friend class TFieldDefs;
    friend class TDataLink;
    friend class TBlobStreamImpl;

    void SetState(TDataSetState s);
    void OpenCursor();
    void CloseCursor();
    void CreateFields();
    void BindFields(bool binding);
    void DestroyDefaultFields();
    void RebuildOrder();
    void ResyncInternal(TResyncModes mode);
    void FillWindowAround(int pos, int slot);
    void ClearWindow();
    int CurrentPos() const;            // visible position of the active record, -1 none
    int CurrentRow() const;            // row id of the active record, -1 none
    void BeginInsertAppend();
    void EndInsertAppend();
    void CheckCanModify() const;
    void CheckRequiredFields();
    void CalcRow(int row) const;
    void UpdateEditCalcFields();
    bool RowPassesFilter(int row);
    void DoBeforeScroll();
    void DoAfterScroll();
    int RowOfBookmark(const TBookmark& b) const;
    int FindRecord(const std::vector<TField*>& fields, const Variant& keyValues,
                   TLocateOptions options) const;
    void ApplySort();

    std::unique_ptr<TFields> FFields;
    std::unique_ptr<TFields> FAggFields;
    std::unique_ptr<TFieldDefs> FFieldDefs;
    std::unique_ptr<TDataSetStore> FStore;
    std::vector<TDataSource*> FDataSources;
    std::string FFilterText;
    std::shared_ptr<TFilterExpr> FFilterExpr;
    std::string FSortText;
    TDataSetState FState = dsInactive;
    TDataSetState FDisableState = dsInactive;
    TDataEvent FEnableEvent = deDataSetChange;
    TFilterOptions FFilterOptions;
    int FDisableCount = 0;
    int FBufferCount = 1;
    int FActiveRecord = 0;
    int FRecordCount = 0;
    int FWindowTop = 0;         // visible position of buffer slot 0
    bool FBof = true, FEof = true;
    bool FModified = false;
    bool FFiltered = false;
    bool FDefaultFields = false;
    bool FReadOnly = false;
    bool FOpening = false;
    bool FInMemoryCreated = false;
};

// ---- data sources and links -------------------------------------------------------

class TDataSource : public TComponent {
    QZ_CLASS(TDataSource, TComponent)
public:
    explicit TDataSource(TComponent* owner = nullptr);
    ~TDataSource() override;

    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* ds);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    bool AutoEdit() const { return FAutoEdit; }
    void SetAutoEdit(bool v) { FAutoEdit = v; }
    TDataSetState State() const { return FState; }
    // Puts the data set into edit state when AutoEdit allows it.
    void Edit();
    bool IsLinkedTo(TDataSet* ds) const;

    TNotifyEvent OnStateChange;
    TDataChangeEvent OnDataChange;
    TNotifyEvent OnUpdateData;

    // Used by the data set and the links.
    void DataEvent(TDataEvent event, intptr_t info);
    void AddDataLink(TDataLink* link);
    void RemoveDataLink(TDataLink* link);
    int DataLinkCount() const { return int(FDataLinks.size()); }
    TDataLink* DataLinks(int i) const { return FDataLinks[size_t(i)]; }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TDataLink;
    void NotifyDataLinks(TDataEvent event, intptr_t info);
    void NotifyLinkTypes(TDataEvent event, intptr_t info, bool linkType);
    void SetState(TDataSetState s);
    void UpdateState();

    TDataSet* FDataSet = nullptr;
    std::vector<TDataLink*> FDataLinks;
    TDataSetState FState = dsInactive;
    bool FEnabled = true;
    bool FAutoEdit = true;
};

// The base of every object that follows a data source. A data link keeps a
// window of BufferCount records (default 1) around the current one; its
// ActiveRecord indexes that window. The virtual notices are called by the
// data source in the class library's order.
class TDataLink : public TPersistent {
    QZ_CLASS(TDataLink, TPersistent)
public:
    TDataLink();
    ~TDataLink() override;

    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* ds);   // raises "DataSource cannot be changed" when fixed
    bool DataSourceFixed() const { return FDataSourceFixed; }
    void SetDataSourceFixed(bool v) { FDataSourceFixed = v; }
    TDataSet* DataSet() const;
    bool Active() const { return FActive; }
    bool Editing() const { return FEditing; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    bool VisualControl() const { return FVisualControl; }
    void SetVisualControl(bool v) { FVisualControl = v; }
    int ActiveRecord() const;
    void SetActiveRecord(int v);
    int BufferCount() const { return FBufferCount; }
    void SetBufferCount(int v);
    int RecordCount() const;
    bool Bof() const;
    bool Eof() const;

    // Puts the data set into edit state (unless read-only); the result is
    // whether the link is editing afterwards.
    bool Edit();
    // Asks this link's control to write its pending value (UpdateData).
    void UpdateRecord();
    virtual bool ExecuteAction(TObject* action) { return false; }
    virtual bool UpdateAction(TObject* action) { return false; }

    // Called by the data source.
    virtual void DataEvent(TDataEvent event, intptr_t info);

protected:
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int distance) { DataSetChanged(); }
    virtual void EditingChanged() {}
    virtual void FocusControl(TField*& field) {}
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* field) {}
    virtual void UpdateData() {}

private:
    friend class TDataSource;
    friend class TDataSet;
    void SetActive(bool v);
    void SetEditing(bool v);
    void UpdateRange();
    void UpdateState();

    TDataSource* FDataSource = nullptr;
    int FFirstRecord = 0;
    int FBufferCount = 1;
    bool FActive = false;
    bool FEditing = false;
    bool FReadOnly = false;
    bool FUpdating = false;
    bool FVisualControl = false;
    bool FDataSourceFixed = false;
};

// The link of a control that shows one field.
class TFieldDataLink : public TDataLink {
    QZ_CLASS(TFieldDataLink, TDataLink)
public:
    TFieldDataLink() { SetVisualControl(true); }

    TField* Field() const { return FField; }
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& v);
    TComponent* Control() const { return FControl; }
    void SetControl(TComponent* c) { FControl = c; }
    bool CanModify() const;
    bool Modified() const { return FModified; }
    void SetModified() { FModified = true; }
    bool Editing() const { return FFieldEditing; }
    bool Edit();
    void Reset();

    TNotifyEvent OnDataChange;
    TNotifyEvent OnEditingChange;
    TNotifyEvent OnUpdateData;
    TNotifyEvent OnActiveChange;
    // Asked to focus the control for its field; true when it took the focus.
    std::function<bool()> OnFocusControl;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void FocusControl(TField*& field) override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;

private:
    void SetField(TField* f);
    void UpdateField();
    void SetEditingFlag(bool v);

    TField* FField = nullptr;
    std::string FFieldName;
    TComponent* FControl = nullptr;
    bool FFieldEditing = false;
    bool FModified = false;
};

// The field of a data-aware control; raises "Field '%s' not found" (prefixed
// with the control's name) when the data set lacks it.
TField* GetFieldProperty(TDataSet* dataSet, TComponent* control, const std::string& fieldName);

// Field names of a ';'-separated list, in order (blanks trimmed, empty parts dropped).
std::vector<std::string> SplitFieldNames(const std::string& names);
