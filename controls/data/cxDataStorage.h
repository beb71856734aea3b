// The typed record store of the data controller: value types (one stateless
// object per kind of value), value definitions laid out in record buffers,
// the record storage with ordinary and internal records, the value reader,
// the sorted lookup list and the registry of value types.
#pragma once

#include "System.h"
#include "Components.h"
#include "Variants.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TStream;
class TcxValueType;
class TcxValueDef;
class TcxValueDefs;
class TcxInternalValueDefs;
class TcxDataStorage;

// A value type is used through its class reference only: a pointer to its one
// stateless instance.
using TcxValueTypeClass = const TcxValueType*;

// Operations on one kind of value. A data pointer addresses the data part of
// a cell; a raw pointer addresses the value itself (they differ only for the
// pointer-held types: string, wide string and variant).
class TcxValueType {
public:
    virtual ~TcxValueType() = default;
    virtual const char* ClassName() const = 0;
    virtual TcxValueTypeClass ClassParent() const { return nullptr; }
    bool InheritsFrom(TcxValueTypeClass other) const;

    virtual int CompareCells(const void* data1, const void* data2) const { return CompareRaw(data1, data2); }
    virtual void ReleaseValue(void* data) const {}
    static void ReleaseText(void* textCell);
    virtual int ValueSize() const { return 0; }
    virtual void LoadVariant(const void* data, Variant& value) const { value = Null(); }
    virtual void ValueText(const void* data, std::string& text) const;
    static void StoredText(const void* textCell, std::string& text);
    virtual void ReadValueFrom(void* data, TStream* stream) const;
    static void ReadTextFrom(void* textCell, TStream* stream);
    // Converts first and writes only when the conversion succeeded, so a
    // failed store leaves the cell's data as it was.
    virtual void StoreVariant(void* data, const Variant& value) const {}
    static void StoreTextCell(void* textCell, const std::string& text);
    virtual void WriteValueTo(const void* data, TStream* stream) const;
    static void WriteTextTo(const void* textCell, TStream* stream);
    std::string TypeCaption() const;
    virtual int CompareRaw(const void* raw1, const void* raw2) const;
    virtual void RawToVariant(const void* raw, Variant& value) const { LoadVariant(raw, value); }
    virtual TVarType VariantType() const { return varVariant; }
    bool CoerceVariant(Variant& value) const;
    virtual bool IsText() const { return false; }
    virtual const void* CellToRaw(const void* data) const { return data; }
};

#define CX_VALUE_TYPE(Cls, Parent)                                   \
    class Cls : public Parent {                                      \
    public:                                                          \
        static TcxValueTypeClass Class();                            \
        const char* ClassName() const override { return #Cls; }      \
        TcxValueTypeClass ClassParent() const override;              \
        int ValueSize() const override;                              \
        void LoadVariant(const void* data, Variant& value) const override; \
        void StoreVariant(void* data, const Variant& value) const override; \
        TVarType VariantType() const override;                       \
        int CompareRaw(const void* raw1, const void* raw2) const override;

CX_VALUE_TYPE(TcxStringValueType, TcxValueType)
    int CompareCells(const void* data1, const void* data2) const override;
    void ReleaseValue(void* data) const override;
    void ReadValueFrom(void* data, TStream* stream) const override;
    void WriteValueTo(const void* data, TStream* stream) const override;
    bool IsText() const override { return true; }
    const void* CellToRaw(const void* data) const override;
    void RawToVariant(const void* raw, Variant& value) const override;
};
CX_VALUE_TYPE(TcxWideStringValueType, TcxStringValueType)
    void ReleaseValue(void* data) const override;
    void ReadValueFrom(void* data, TStream* stream) const override;
    void WriteValueTo(const void* data, TStream* stream) const override;
    void RawToVariant(const void* raw, Variant& value) const override;
};
CX_VALUE_TYPE(TcxSmallintValueType, TcxValueType)
    void ReadValueFrom(void* data, TStream* stream) const override;
    void WriteValueTo(const void* data, TStream* stream) const override;
};
CX_VALUE_TYPE(TcxIntegerValueType, TcxValueType)
    void ReadValueFrom(void* data, TStream* stream) const override;
    void WriteValueTo(const void* data, TStream* stream) const override;
};
CX_VALUE_TYPE(TcxWordValueType, TcxValueType)
    void ReadValueFrom(void* data, TStream* stream) const override;
    void WriteValueTo(const void* data, TStream* stream) const override;
};
CX_VALUE_TYPE(TcxBooleanValueType, TcxValueType)
    void ValueText(const void* data, std::string& text) const override;
    void ReadValueFrom(void* data, TStream* stream) const override;
    void WriteValueTo(const void* data, TStream* stream) const override;
};
CX_VALUE_TYPE(TcxFloatValueType, TcxValueType)
    void ReadValueFrom(void* data, TStream* stream) const override;
    void WriteValueTo(const void* data, TStream* stream) const override;
};
CX_VALUE_TYPE(TcxCurrencyValueType, TcxValueType)
    void ReadValueFrom(void* data, TStream* stream) const override;
    void WriteValueTo(const void* data, TStream* stream) const override;
};
CX_VALUE_TYPE(TcxDateTimeValueType, TcxValueType)
    void ReadValueFrom(void* data, TStream* stream) const override;
    void WriteValueTo(const void* data, TStream* stream) const override;
};
CX_VALUE_TYPE(TcxLargeIntValueType, TcxValueType)
    void ReadValueFrom(void* data, TStream* stream) const override;
    void WriteValueTo(const void* data, TStream* stream) const override;
};
// Decimal values: held as a double here, read as varDouble.
CX_VALUE_TYPE(TcxFMTBcdValueType, TcxValueType)
    void ValueText(const void* data, std::string& text) const override;
};
// Time stamps: Year, Month, Day, Hour, Minute, Second, Fractions; read as a date.
CX_VALUE_TYPE(TcxSQLTimeStampValueType, TcxValueType)
};
CX_VALUE_TYPE(TcxVariantValueType, TcxValueType)
    int CompareCells(const void* data1, const void* data2) const override;
    void ReleaseValue(void* data) const override;
    const void* CellToRaw(const void* data) const override;
    void RawToVariant(const void* raw, Variant& value) const override;
};
// An object owned by the cell. It is held pointer-wide; as a Variant it
// appears as its process-wide object handle, never as an address.
CX_VALUE_TYPE(TcxObjectValueType, TcxIntegerValueType)
    void ReleaseValue(void* data) const override;
    void ReadValueFrom(void* data, TStream* stream) const override {}
    void WriteValueTo(const void* data, TStream* stream) const override {}
};
#undef CX_VALUE_TYPE

// The time-stamp record the time-stamp type keeps.
struct TcxSQLTimeStamp {
    int16_t Year;
    uint16_t Month, Day, Hour, Minute, Second;
    uint32_t Fractions;
};

// The registered value types, in registration order.
class TcxValueTypeClassList {
public:
    void Add(TcxValueTypeClass c);
    void Remove(TcxValueTypeClass c);
    int Count() const { return int(FItems.size()); }
    TcxValueTypeClass Items(int i) const { return FItems[size_t(i)]; }
private:
    std::vector<TcxValueTypeClass> FItems;
};
// Made and filled with the fourteen types on first use.
TcxValueTypeClassList* cxValueTypeClassList();

// One value column of a record layout.
class TcxValueDef : public TObject {
    QZ_CLASS(TcxValueDef, TObject)
public:
    TcxValueDef(TcxValueDefs* definitions, TcxValueTypeClass valueType);
    ~TcxValueDef() override;

    virtual TObject* GetBoundObject() const { return FBoundObject; }
    virtual bool KeepsValue() const;
    virtual void SetBoundObject(TObject* value) { FBoundObject = value; }
    virtual void CopyFlags(TcxValueDef* source);
    bool KeepsText() const { return KeepsValue() && FKeepText; }

    int CellSize() const { return FCellSize; }
    int CellOffset() const { return FCellOffset; }
    int ValueSize() const { return FValueSize; }
    bool KeepValue() const { return FKeepValue; }
    void SetKeepValue(bool v);
    bool KeepText() const { return FKeepText; }
    void SetKeepText(bool v);
    TcxValueDefs* Definitions() const { return FDefinitions; }
    TcxValueTypeClass ValueType() const { return FValueType; }
    TcxDataStorage* Storage() const;
    // Orders two raw values: Null first, then the type's comparison.
    int CompareValuePointers(bool null1, bool null2, const void* p1, const void* p2) const;

private:
    friend class TcxValueDefs;
    friend class TcxDataStorage;
    int FCellSize = 0;
    int FValueSize = 0;
    bool FKeepValue = true;
    TObject* FBoundObject = nullptr;
    int FCellOffset = 0;
    bool FKeepText = false;
    TcxValueDefs* FDefinitions;
    TcxValueTypeClass FValueType;
};

// The twin of an outer definition in the layout of internal records.
class TcxInternalValueDef : public TcxValueDef {
    QZ_CLASS(TcxInternalValueDef, TcxValueDef)
public:
    using TcxValueDef::TcxValueDef;
    bool KeepsValue() const override { return true; }
    TObject* GetBoundObject() const override;
    TcxValueDef* Outer() const { return static_cast<TcxValueDef*>(TcxValueDef::GetBoundObject()); }
};

class TcxValueDefs : public TObject {
    QZ_CLASS(TcxValueDefs, TObject)
public:
    explicit TcxValueDefs(TcxDataStorage* storage);
    ~TcxValueDefs() override;

    TcxValueDef* Add(TcxValueTypeClass valueType, bool keepValue, bool keepText, TObject* boundObject);
    void Clear();
    int Count() const { return int(FItems.size()); }
    TcxValueDef* Items(int i) const { return FItems[size_t(i)]; }
    int IndexOf(const TcxValueDef* def) const;
    int KeptCount() const;
    int RecordBytes() const { return FRecordBytes; }
    TcxDataStorage* Storage() const { return FStorage; }

    virtual void DefinitionChanged(TcxValueDef* def, int kind);
    virtual TcxValueDef* CreateDefinition(TcxValueTypeClass valueType);
    virtual void Prepare(int baseOffset);
    bool IsInternal() const;

private:
    friend class TcxValueDef;
    void Remove(TcxValueDef* def);
    TcxDataStorage* FStorage;
    std::vector<TcxValueDef*> FItems;
    int FBaseOffset = 1;
    int FRecordBytes = 1;
};

class TcxInternalValueDefs : public TcxValueDefs {
    QZ_CLASS(TcxInternalValueDefs, TcxValueDefs)
public:
    using TcxValueDefs::TcxValueDefs;
    TcxValueDef* CreateDefinition(TcxValueTypeClass valueType) override;
    TcxInternalValueDef* FindTwin(const TcxValueDef* outer) const;
    void RemoveTwin(const TcxValueDef* outer);
};

// The source a record is filled from.
class TcxValueDefReader : public TObject {
    QZ_CLASS(TcxValueDefReader, TObject)
public:
    TcxValueDefReader() = default;
    virtual void ReadText(TcxValueDef* def, std::string& text) { text.clear(); }
    virtual void ReadValue(TcxValueDef* def, Variant& value) { value = Null(); }
    virtual bool SkipsDefinition(TcxValueDef* def) { return false; }
};

using TcxForEachValueDefProc = std::function<void(TcxValueDef* def, int recordIndex, void* arg1, void* arg2)>;

class TcxDataStorage : public TObject {
    QZ_CLASS(TcxDataStorage, TObject)
public:
    TcxDataStorage();
    ~TcxDataStorage() override;
    void BeforeDestruction() override { FDestroying = true; }

    int AppendRecord();
    void InsertRecord(int recordIndex);
    void DeleteRecord(int recordIndex);
    int RecordCount() const { return int(FRecords.size()); }
    void SetRecordCount(int count);
    int AddInternalRecord();
    void ReleaseInternalRecord(int recordIndex);
    int InternalRecordCount() const { return int(FInternalRecords.size()); }
    void Clear(bool keepInternal);
    void ClearRecords(bool emptyList);
    void ClearInternalRecords();
    TcxDataStorage* BeginLoad() { return this; }
    void EndLoad() {}

    void ReadValue(int recordIndex, TcxValueDef* def, Variant& value);
    Variant ReadValue(int recordIndex, TcxValueDef* def)
    {
        Variant v;
        ReadValue(recordIndex, def, v);
        return v;
    }
    void WriteValue(int recordIndex, TcxValueDef* def, const Variant& value);
    void ReadText(int recordIndex, TcxValueDef* def, std::string& text);
    void WriteText(int recordIndex, TcxValueDef* def, const std::string& text);
    // True when the value is Null; otherwise ptr is the raw value pointer.
    bool ValuePointer(int recordIndex, TcxValueDef* def, const void*& ptr);
    int CompareRecords(int record1, int record2, TcxValueDef* def);
    void ReadRecord(int recordIndex, TcxValueDefReader* reader, bool skip);
    void ForEachValueDef(int recordIndex, const TcxForEachValueDefProc& proc, void* arg1, void* arg2);

    bool KeptValuesOnly() const { return FKeptValuesOnly; }
    void SetKeptValuesOnly(bool value);
    virtual TcxValueDefs* DefinitionsFor(int recordIndex);
    uint8_t* RecordBuffer(int recordIndex);
    uint8_t* PeekRecordBuffer(int recordIndex) const;
    int RecordBufferOffset() const { return 1; }
    TcxValueDefs* Definitions() const { return FDefinitions; }
    TcxInternalValueDefs* InternalDefinitions() const { return FInternalDefinitions; }
    bool Destroying() const { return FDestroying; }
    // The outer definition, or its twin for an internal record; null when none.
    TcxValueDef* ResolveDefinition(int recordIndex, TcxValueDef* def) const;

    TNotifyEvent OnClearInternalRecords;

    virtual void Relayout(TcxValueDefs* defs);
    virtual void DefinitionChanged(TcxValueDef* def, int kind) {}

private:
    friend class TcxValueDefs;
    friend class TcxValueDef;
    void DefinitionAdded(TcxValueDefs* defs, TcxValueDef* def);
    void DefinitionRemoving(TcxValueDefs* defs, TcxValueDef* def);
    void DisposeRecordBuffer(int recordIndex);
    void ReleaseCell(uint8_t* buffer, TcxValueDef* def);
    std::vector<uint8_t*>& ListFor(TcxValueDefs* defs);
    uint8_t*& SlotFor(int recordIndex);
    void WriteVariant(uint8_t* buffer, TcxValueDef* def, const Variant& value);

    bool FDestroying = false;
    std::vector<uint8_t*> FInternalRecords;
    TcxInternalValueDefs* FInternalDefinitions;
    bool FKeptValuesOnly = false;
    std::vector<uint8_t*> FRecords;
    TcxValueDefs* FDefinitions;
};

// A sorted key-to-text cache of the lookup editors.
struct TcxLookupListItem {
    Variant KeyValue;
    std::string DisplayText;
};

class TcxLookupList : public TObject {
    QZ_CLASS(TcxLookupList, TObject)
public:
    TcxLookupList() = default;
    ~TcxLookupList() override { Clear(); }
    void Clear();
    int Count() const { return int(FItems.size()); }
    // True with the item's index when found, else false with the insertion index.
    bool Find(const Variant& key, int& index) const;
    void Insert(int index, const Variant& key, const std::string& text);
    TcxLookupListItem* GetItem(int index) const { return FItems[size_t(index)]; }
private:
    std::vector<TcxLookupListItem*> FItems;
};
