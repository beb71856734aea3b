#include "Streams.h"
#include "cxDataStorage.h"
#include "cxVariants.h"

#include <gtest/gtest.h>

namespace {

struct Fixture : ::testing::Test {
    TcxDataStorage storage;
    TcxValueDef* Add(TcxValueTypeClass t, bool keepText = false)
    {
        return storage.Definitions()->Add(t, true, keepText, nullptr);
    }
};

}  // namespace

using StorageTest = Fixture;

TEST_F(StorageTest, NewRecordsReadNullAndSortFirst)
{
    TcxValueDef* d = Add(TcxIntegerValueType::Class());
    storage.SetRecordCount(3);
    EXPECT_TRUE(storage.ReadValue(0, d).IsNull());
    std::string t = "x";
    storage.ReadText(0, d, t);
    EXPECT_EQ(t, "");
    EXPECT_EQ(storage.CompareRecords(0, 1, d), 0);
    storage.WriteValue(2, d, Variant(5));
    EXPECT_LT(storage.CompareRecords(0, 2, d), 0);
    storage.WriteValue(1, d, Null());   // a buffer with a Null cell
    EXPECT_LT(storage.CompareRecords(1, 2, d), 0);
    EXPECT_GT(storage.CompareRecords(1, 0, d), 0);
}

TEST_F(StorageTest, ValueTypesCompareAndConvert)
{
    struct Case {
        TcxValueTypeClass type;
        Variant low, high;
        TVarType loadedType;
        std::string caption;
    } cases[] = {
        {TcxStringValueType::Class(), Variant("abc"), Variant("abd"), varString, "String"},
        {TcxWideStringValueType::Class(), Variant::FromWide("a"), Variant::FromWide("b"), varOleStr, "WideString"},
        {TcxSmallintValueType::Class(), Variant(-5), Variant(7), varSmallint, "Smallint"},
        {TcxIntegerValueType::Class(), Variant(-2000000000), Variant(2000000000), varInteger, "Integer"},
        {TcxWordValueType::Class(), Variant(1), Variant(65535), varWord, "Word"},
        {TcxBooleanValueType::Class(), Variant(false), Variant(true), varBoolean, "Boolean"},
        {TcxFloatValueType::Class(), Variant(1.5), Variant(2.25), varDouble, "Float"},
        {TcxCurrencyValueType::Class(), Variant(Currency::FromRaw(1)), Variant(Currency::FromRaw(2)), varCurrency, "Currency"},
        {TcxDateTimeValueType::Class(), Variant::FromDate(100.5), Variant::FromDate(101), varDate, "DateTime"},
        {TcxLargeIntValueType::Class(), Variant(1), Variant::FromInt64(4294967296LL), varInt64, "LargeInt"},
        {TcxFMTBcdValueType::Class(), Variant(1.25), Variant(3.5), varDouble, "FMTBcd"},
        {TcxSQLTimeStampValueType::Class(), Variant::FromDate(40000.25), Variant::FromDate(40001.5), varDate, "SQLTimeStamp"},
        {TcxVariantValueType::Class(), Variant(1), Variant(2), varInteger, "Variant"},
    };
    for (const auto& c : cases) {
        TcxDataStorage st;
        TcxValueDef* d = st.Definitions()->Add(c.type, true, false, nullptr);
        st.SetRecordCount(2);
        st.WriteValue(0, d, c.low);
        st.WriteValue(1, d, c.high);
        EXPECT_LT(st.CompareRecords(0, 1, d), 0) << c.caption;
        EXPECT_GT(st.CompareRecords(1, 0, d), 0) << c.caption;
        EXPECT_EQ(st.ReadValue(1, d).VType(), c.loadedType) << c.caption;
        EXPECT_EQ(cxVariants::VarCompare(st.ReadValue(1, d), c.high), 0) << c.caption;
        EXPECT_EQ(c.type->TypeCaption(), c.caption);
    }
}

TEST_F(StorageTest, NullAndEmptyStringAreDifferent)
{
    TcxValueDef* d = Add(TcxStringValueType::Class());
    storage.SetRecordCount(1);
    storage.WriteValue(0, d, Variant("abc"));
    storage.WriteValue(0, d, Null());
    EXPECT_TRUE(storage.ReadValue(0, d).IsNull());
    storage.WriteValue(0, d, Variant(""));
    EXPECT_FALSE(storage.ReadValue(0, d).IsNull());
    EXPECT_EQ(storage.ReadValue(0, d).AsString(), "");
}

TEST_F(StorageTest, FailedWriteLeavesTheCellAsItWas)
{
    TcxValueDef* d = Add(TcxIntegerValueType::Class());
    storage.SetRecordCount(2);
    EXPECT_ANY_THROW(storage.WriteValue(0, d, Variant("not a number")));
    EXPECT_TRUE(storage.ReadValue(0, d).IsNull());
    storage.WriteValue(1, d, Variant(42));
    EXPECT_ANY_THROW(storage.WriteValue(1, d, Variant("x")));
    EXPECT_EQ(storage.ReadValue(1, d).AsInteger(), 42);
}

TEST_F(StorageTest, AddingAndRemovingDefinitionsKeepsValues)
{
    TcxValueDef* a = Add(TcxIntegerValueType::Class());
    storage.SetRecordCount(2);
    storage.WriteValue(0, a, Variant(1));
    storage.WriteValue(1, a, Variant(2));
    TcxValueDef* b = Add(TcxStringValueType::Class(), true);
    EXPECT_EQ(storage.ReadValue(0, a).AsInteger(), 1);
    EXPECT_TRUE(storage.ReadValue(0, b).IsNull());
    storage.WriteValue(1, b, Variant("two"));
    storage.WriteText(1, b, "Two");
    TcxValueDef* c = Add(TcxFloatValueType::Class());
    storage.WriteValue(1, c, Variant(2.5));
    delete b;
    EXPECT_EQ(storage.ReadValue(1, a).AsInteger(), 2);
    EXPECT_EQ(storage.ReadValue(1, c).AsDouble(), 2.5);
    delete c;
    delete a;   // the only kept definition: every buffer goes, the records stay
    EXPECT_EQ(storage.RecordCount(), 2);
    EXPECT_EQ(storage.PeekRecordBuffer(0), nullptr);
}

TEST_F(StorageTest, KeptTextIsStoredBesideTheValue)
{
    TcxValueDef* d = Add(TcxIntegerValueType::Class(), true);
    storage.SetRecordCount(1);
    storage.WriteValue(0, d, Variant(7));
    std::string t;
    storage.ReadText(0, d, t);
    EXPECT_EQ(t, "");
    storage.WriteText(0, d, "seven");
    storage.ReadText(0, d, t);
    EXPECT_EQ(t, "seven");
    storage.WriteValue(0, d, Null());
    storage.ReadText(0, d, t);
    EXPECT_EQ(t, "seven");
}

TEST_F(StorageTest, InternalRecordsReuseFreedSlots)
{
    TcxValueDef* d = Add(TcxIntegerValueType::Class());
    int r1 = storage.AddInternalRecord();
    int r2 = storage.AddInternalRecord();
    EXPECT_EQ(r1, -1);
    EXPECT_EQ(r2, -2);
    storage.WriteValue(r2, d, Variant(9));
    EXPECT_EQ(storage.ReadValue(r2, d).AsInteger(), 9);
    storage.ReleaseInternalRecord(-1);
    EXPECT_EQ(storage.AddInternalRecord(), -1);
    bool cleared = false;
    storage.OnClearInternalRecords = [&](TObject*) { cleared = true; };
    storage.ClearInternalRecords();
    EXPECT_TRUE(cleared);
    EXPECT_EQ(storage.InternalRecordCount(), 0);
}

TEST_F(StorageTest, OrdinaryAndInternalRecordsCompareWithOneDefinition)
{
    TcxValueDef* a = Add(TcxStringValueType::Class());
    TcxValueDef* b = Add(TcxIntegerValueType::Class());
    storage.SetRecordCount(1);
    storage.WriteValue(0, b, Variant(3));
    int k = storage.AddInternalRecord();
    storage.WriteValue(k, b, Variant(3));
    EXPECT_EQ(storage.CompareRecords(0, k, b), 0);
    storage.WriteValue(k, a, Variant("x"));
    EXPECT_EQ(storage.ReadValue(k, a).AsString(), "x");
}

TEST_F(StorageTest, SetRecordCountClampsAtZero)
{
    Add(TcxIntegerValueType::Class());
    storage.SetRecordCount(4);
    storage.SetRecordCount(-5);
    EXPECT_EQ(storage.RecordCount(), 0);
}

TEST_F(StorageTest, ReadRecordFillsFromAReader)
{
    struct Reader : TcxValueDefReader {
        void ReadValue(TcxValueDef* def, Variant& v) override { v = Variant(def->CellOffset()); }
        void ReadText(TcxValueDef*, std::string& t) override { t = "t"; }
    } reader;
    TcxValueDef* a = Add(TcxIntegerValueType::Class(), true);
    storage.SetRecordCount(1);
    storage.ReadRecord(0, &reader, false);
    EXPECT_EQ(storage.ReadValue(0, a).AsInteger(), a->CellOffset());
    std::string t;
    storage.ReadText(0, a, t);
    EXPECT_EQ(t, "t");
}

TEST(ValueTypeStreams, WideStringKeepsEveryUnit)
{
    // Characters outside GBK (here a musical symbol and an emoji) must survive.
    TcxValueTypeClass t = TcxWideStringValueType::Class();
    void* cell[1] = {nullptr};
    t->StoreVariant(cell, Variant::FromWide("a𝄞😀"));
    TMemoryStream ms;
    t->WriteValueTo(cell, &ms);
    EXPECT_EQ(ms.Size(), 4 + 2 * 5);
    ms.SetPosition(0);
    void* back[1] = {nullptr};
    t->ReadValueFrom(back, &ms);
    Variant v;
    t->LoadVariant(back, v);
    EXPECT_EQ(v.AsString(), "a𝄞😀");
    t->ReleaseValue(cell);
    t->ReleaseValue(back);
}

TEST(ValueTypeStreams, FixedTypesWriteTheirBytes)
{
    TMemoryStream ms;
    int32_t i = 0x01020304;
    TcxIntegerValueType::Class()->WriteValueTo(&i, &ms);
    uint8_t b = 1;
    TcxBooleanValueType::Class()->WriteValueTo(&b, &ms);
    const uint8_t* m = static_cast<const uint8_t*>(ms.Memory());
    ASSERT_EQ(ms.Size(), 5);
    EXPECT_EQ(m[0], 0x04);
    EXPECT_EQ(m[3], 0x01);
    EXPECT_EQ(m[4], 0x01);
}

TEST(ValueTypeObjects, ObjectsAreOwnedAndSeenAsHandles)
{
    TcxDataStorage st;
    TcxValueDef* d = st.Definitions()->Add(TcxObjectValueType::Class(), true, false, nullptr);
    EXPECT_EQ(d->ValueSize(), int(sizeof(void*)));
    st.SetRecordCount(1);
    TObject* o = new TObject();
    TWeakRef<TObject> ref(o);
    uint32_t h = ObjectHandles::HandleOf(o);
    st.WriteValue(0, d, Variant(int(h)));
    EXPECT_EQ(uint32_t(st.ReadValue(0, d).AsInt64()), h);
    st.WriteValue(0, d, Null());   // releasing the cell frees the object
    EXPECT_FALSE(ref);
}

TEST(LookupList, FindReportsTheInsertionIndex)
{
    TcxLookupList list;
    int index = -1;
    EXPECT_FALSE(list.Find(Variant(1), index));
    EXPECT_EQ(index, 0);
    for (int k : {1, 3, 5}) {
        list.Find(Variant(k), index);
        list.Insert(index, Variant(k), std::to_string(k));
    }
    EXPECT_FALSE(list.Find(Variant(4), index));
    EXPECT_EQ(index, 2);
    EXPECT_TRUE(list.Find(Variant(5), index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(list.GetItem(1)->DisplayText, "3");
    // Keys that cannot be ordered against the others still end inside the list.
    EXPECT_FALSE(list.Find(Variant("x"), index));
    EXPECT_GE(index, 0);
    EXPECT_LE(index, 3);
}

TEST(ValueTypeRegistry, HoldsTheFourteenTypesOnce)
{
    TcxValueTypeClassList* r = cxValueTypeClassList();
    EXPECT_EQ(r->Count(), 14);
    r->Add(TcxStringValueType::Class());
    EXPECT_EQ(r->Count(), 14);
    EXPECT_TRUE(TcxObjectValueType::Class()->InheritsFrom(TcxIntegerValueType::Class()));
    EXPECT_TRUE(TcxWideStringValueType::Class()->IsText());
}
