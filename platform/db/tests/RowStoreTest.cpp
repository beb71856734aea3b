// The compact row store behind data sets: every kind of value comes back as
// it went in, also after rows were rewritten often enough for the store to
// rewrite its blocks, and a data set's edits, cancels, inserts and deletes
// read back through it.
#include "DBStoreImpl.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// Values of every kind a row may hold, with a text longer than a block.
TRowValues EveryKind(int seed)
{
    return {Variant(),
            Null(),
            Variant(seed % 2 == 0),
            Variant(seed % 3 == 0 ? INT32_MIN : INT32_MAX - seed),
            Variant::FromInt64(int64_t(seed) << 40),
            Variant(-0.0 - seed / 8.0),
            Variant::FromDate(45000.5 + seed),
            Variant(Currency::FromRaw(-123456789 - seed)),
            Variant::FromSmallint(int16_t(-seed)),
            Variant::FromShortInt(int8_t(-100)),
            Variant::FromByte(uint8_t(200)),
            Variant::FromWord(uint16_t(60000)),
            Variant::FromLongWord(4000000000u),
            Variant::FromSingle(1.5f),
            Variant::FromSQLTimeStamp(45000.25),
            Variant::FromBcd(12.3456),
            Variant::FromError(-5),
            Variant("王小明" + std::to_string(seed)),
            Variant(std::string()),
            Variant(std::string(70000 + seed, 'x')),
            Variant::FromWide("宽" + std::to_string(seed)),
            VarArrayOf({Variant(seed), Variant("数组")})};
}

void ExpectSame(const Variant& got, const Variant& want, size_t slot)
{
    SCOPED_TRACE("slot " + std::to_string(slot));
    ASSERT_EQ(got.VType(), want.VType());
    if (want.IsArray()) {
        EXPECT_EQ(VarToStr(got[0]), VarToStr(want[0]));
        EXPECT_EQ(VarToStr(got[1]), VarToStr(want[1]));
    } else if (want.VType() == varString || want.VType() == varOleStr) {
        EXPECT_EQ(got.RawString(), want.RawString());
    } else if (want.VType() == varDouble || want.VType() == varSingle || want.VType() == varDate ||
               want.VType() == varSQLTimeStamp || want.VType() == varFMTBcd) {
        EXPECT_EQ(got.RawDouble(), want.RawDouble());
        EXPECT_EQ(std::signbit(got.RawDouble()), std::signbit(want.RawDouble()));
    } else if (want.VType() == varBoolean) {
        EXPECT_EQ(got.RawBool(), want.RawBool());
    } else {
        EXPECT_EQ(got.RawInt(), want.RawInt());
    }
}

void ExpectRow(const TRowStore& store, size_t row, const TRowValues& want)
{
    SCOPED_TRACE("row " + std::to_string(row));
    TRowValues got = store.Row(row);
    ASSERT_EQ(got.size(), want.size());
    for (size_t s = 0; s < want.size(); ++s) {
        ExpectSame(got[s], want[s], s);
        ExpectSame(store.Get(row, s), want[s], s);
    }
    EXPECT_TRUE(store.Get(row, want.size()).IsNull());   // past the row's end
}

}  // namespace

TEST(RowStore, EveryKindOfValueComesBackAsItWent)
{
    TRowStore store;
    for (int r = 0; r < 5; ++r) store.push_back(EveryKind(r));
    store.push_back(TRowValues(3));   // a pending row: Empty values
    ASSERT_EQ(store.size(), 6u);
    for (int r = 0; r < 5; ++r) ExpectRow(store, size_t(r), EveryKind(r));
    ExpectRow(store, 5, TRowValues(3));
    store.pop_back();
    EXPECT_EQ(store.size(), 5u);
}

TEST(RowStore, RowsRewrittenOftenKeepTheirValuesWhenTheBlocksAreRewritten)
{
    // Each rewrite leaves a stale copy of a row of over 70,000 bytes behind, so
    // the store rewrites its blocks many times over; the others must not move.
    TRowStore store;
    std::vector<TRowValues> want;
    for (int r = 0; r < 20; ++r) {
        want.push_back(EveryKind(r));
        store.push_back(want.back());
    }
    for (int round = 0; round < 60; ++round) {
        size_t r = size_t(round * 7 % 20);
        want[r] = EveryKind(100 + round);
        want[r][3] = Variant(round);
        store.Set(r, want[r]);
    }
    for (size_t r = 0; r < want.size(); ++r) ExpectRow(store, r, want[r]);
    store.clear();
    EXPECT_EQ(store.size(), 0u);
}

TEST(RowStore, DataSetEditsCancelsInsertsAndDeletesReadBack)
{
    TDataSet ds;
    ds.FieldDefs()->Add("Id", ftInteger);
    ds.FieldDefs()->Add("Name", ftString, 20);
    ds.FieldDefs()->Add("Paid", ftFloat);
    ds.FieldDefs()->Add("Notes", ftMemo);
    ds.CreateDataSet();
    for (int i = 1; i <= 200; ++i) ds.AppendRecord({i, "学员" + std::to_string(i), i * 1.5, Null()});
    ASSERT_EQ(ds.RecordCount(), 200);
    TField* id = ds.FieldByName("Id");
    TField* name = ds.FieldByName("Name");
    TField* paid = ds.FieldByName("Paid");
    TField* notes = ds.FieldByName("Notes");
    // Long notes written again and again make most of the stored bytes stale.
    for (int round = 0; round < 40; ++round) {
        ASSERT_TRUE(ds.Locate("Id", 1 + round % 10, {}));
        ds.Edit();
        notes->SetAsString(std::string(5000 + round, 'n'));
        name->SetAsString(round % 2 ? "张三" : "");
        ds.Post();
    }
    ASSERT_TRUE(ds.Locate("Id", 7, {}));
    TBookmark seven = ds.Bookmark();
    ds.Edit();
    paid->Clear();
    name->SetAsString("李四");
    ds.Post();
    ds.Edit();
    name->SetAsString("不留下");
    ds.Cancel();
    ds.Insert();
    id->SetAsInteger(1000);
    ds.Cancel();
    ASSERT_TRUE(ds.Locate("Id", 8, {}));
    ds.Delete();
    EXPECT_EQ(ds.RecordCount(), 199);
    ASSERT_TRUE(ds.BookmarkValid(seven));
    ds.GotoBookmark(seven);
    EXPECT_EQ(id->AsInteger(), 7);
    EXPECT_EQ(name->AsString(), "李四");
    EXPECT_TRUE(paid->IsNull());
    EXPECT_EQ(notes->AsString(), std::string(5036, 'n'));
    ASSERT_TRUE(ds.Locate("Id", 10, {}));
    EXPECT_EQ(name->AsString(), "张三");
    EXPECT_EQ(notes->AsString().size(), 5039u);
    ASSERT_TRUE(ds.Locate("Id", 11, {}));
    EXPECT_EQ(name->AsString(), "学员11");
    EXPECT_DOUBLE_EQ(paid->AsFloat(), 16.5);
    EXPECT_TRUE(notes->IsNull());
    EXPECT_FALSE(ds.Locate("Id", 8, {}));
    EXPECT_FALSE(ds.Locate("Id", 1000, {}));
    // A filter reads the stored values too: ids 2, 4, 6 and 10 ended with 张三
    // (8 is deleted, 7 renamed).
    ds.SetFilter("Name = '张三'");
    ds.SetFiltered(true);
    EXPECT_EQ(ds.RecordCount(), 4);
}
