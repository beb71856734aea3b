// The in-memory data set: opening, navigation, editing, bookmarks, searching,
// filters, sorting, fields and their texts, and the data links' notices.
#include "DB.h"
#include "DBClient.h"
#include "SysUtils.h"
#include "StringLists.h"
#include "Streams.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A set of people: Id, Name, Born, Paid, Active.
std::unique_ptr<TDataSet> MakePeople(const std::vector<std::tuple<int, std::string, double>>& rows)
{
    auto ds = std::make_unique<TDataSet>();
    ds->FieldDefs()->Add("Id", ftInteger);
    ds->FieldDefs()->Add("Name", ftString, 10);
    ds->FieldDefs()->Add("Paid", ftFloat);
    ds->FieldDefs()->Add("Born", ftDateTime);
    ds->FieldDefs()->Add("Active", ftBoolean);
    ds->CreateDataSet();
    for (auto& [id, name, paid] : rows) {
        ds->Append();
        ds->FieldByName("Id")->SetAsInteger(id);
        ds->FieldByName("Name")->SetAsString(name);
        ds->FieldByName("Paid")->SetAsFloat(paid);
        ds->Post();
    }
    ds->First();
    return ds;
}

std::unique_ptr<TDataSet> FivePeople()
{
    return MakePeople({{1, "王五", 10}, {2, "alice", 20}, {3, "Bob", 30}, {4, "carol", 40}, {5, "李四", 50}});
}

std::vector<int> Ids(TDataSet* ds)
{
    std::vector<int> out;
    TBookmark b = ds->Bookmark();
    ds->First();
    while (!ds->Eof()) {
        out.push_back(ds->FieldByName("Id")->AsInteger());
        ds->Next();
    }
    if (!b.empty() && ds->BookmarkValid(b)) ds->GotoBookmark(b);
    return out;
}

// Records every notice a link gets, in order.
class TRecLink : public TDataLink {
public:
    std::vector<std::string> Log;

protected:
    void ActiveChanged() override { Log.push_back(Active() ? "active" : "inactive"); }
    void DataSetChanged() override { Log.push_back("changed"); }
    void DataSetScrolled(int d) override { Log.push_back("scrolled " + std::to_string(d)); }
    void EditingChanged() override { Log.push_back(Editing() ? "editing" : "browsing"); }
    void LayoutChanged() override { Log.push_back("layout"); }
    void RecordChanged(TField* f) override { Log.push_back("record " + (f ? f->FieldName() : std::string("-"))); }
    void UpdateData() override { Log.push_back("update"); }
};

}

TEST(DataSet, ClosedSetRaisesTheLibraryTexts)
{
    TDataSet ds;
    ds.FieldDefs()->Add("Id", ftInteger);
    try {
        ds.RecordCount();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Cannot perform this operation on a closed dataset");
    }
    EXPECT_THROW(ds.Next(), EDatabaseError);
    EXPECT_TRUE(ds.IsEmpty());
    TDataSet none;
    EXPECT_THROW(none.CreateDataSet(), EDatabaseError);
}

TEST(DataSet, NavigationBofEofRecNo)
{
    auto ds = FivePeople();
    EXPECT_EQ(ds->RecordCount(), 5);
    EXPECT_TRUE(ds->Bof());
    EXPECT_FALSE(ds->Eof());
    EXPECT_EQ(ds->RecNo(), 1);
    EXPECT_EQ(Ids(ds.get()), (std::vector<int>{1, 2, 3, 4, 5}));
    ds->Last();
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 5);
    ds->Next();
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 5);
    ds->Prior();
    EXPECT_FALSE(ds->Eof());
    EXPECT_EQ(ds->RecNo(), 4);
    EXPECT_EQ(ds->MoveBy(-10), -3);
    EXPECT_TRUE(ds->Bof());
    ds->SetRecNo(3);
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "Bob");
}

TEST(DataSet, EditPostCancelDelete)
{
    auto ds = FivePeople();
    ds->Locate("Id", 3, {});
    ds->Edit();
    EXPECT_EQ(ds->State(), dsEdit);
    ds->FieldByName("Name")->SetAsString("Robert");
    EXPECT_EQ(ds->FieldByName("Name")->OldValue().AsString(), "Bob");
    ds->Cancel();
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "Bob");
    ds->Edit();
    ds->FieldByName("Name")->SetAsString("Robert");
    ds->Post();
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "Robert");

    // Insert goes before the current record; cancel brings the set back.
    ds->Insert();
    EXPECT_EQ(ds->RecNo(), 3);
    EXPECT_TRUE(ds->FieldByName("Id")->IsNull());
    ds->Cancel();
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 3);
    EXPECT_EQ(ds->RecordCount(), 5);

    ds->Insert();
    ds->FieldByName("Id")->SetAsInteger(9);
    ds->Post();
    EXPECT_EQ(Ids(ds.get()), (std::vector<int>{1, 2, 9, 3, 4, 5}));

    ds->Delete();
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 3);
    ds->Last();
    ds->Delete();
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 4);
    EXPECT_EQ(ds->RecordCount(), 4);
    // Moving off a modified record posts it; an unmodified one is cancelled.
    ds->Edit();
    ds->FieldByName("Paid")->SetAsFloat(1.5);
    ds->First();
    EXPECT_EQ(ds->State(), dsBrowse);
    ds->Last();
    EXPECT_DOUBLE_EQ(ds->FieldByName("Paid")->AsFloat(), 1.5);
}

TEST(DataSet, WritingOutsideEditStateRaises)
{
    auto ds = FivePeople();
    try {
        ds->FieldByName("Name")->SetAsString("x");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Dataset not in edit or insert mode");
    }
    EXPECT_THROW(ds->FieldByName("Nope"), EDatabaseError);
    try {
        ds->FieldByName("Nope");
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Field 'Nope' not found");
    }
}

TEST(DataSet, EmptySetEditInsertsAndDeleteRaises)
{
    auto ds = MakePeople({});
    EXPECT_TRUE(ds->IsEmpty());
    EXPECT_TRUE(ds->Bof() && ds->Eof());
    EXPECT_THROW(ds->Delete(), EDatabaseError);
    ds->Edit();
    EXPECT_EQ(ds->State(), dsInsert);
    EXPECT_FALSE(ds->IsEmpty());
    EXPECT_EQ(ds->RecordCount(), 0);
    ds->Cancel();
    EXPECT_TRUE(ds->IsEmpty());
}

TEST(DataSet, RequiredAndValidation)
{
    auto ds = MakePeople({});
    ds->FieldByName("Name")->SetRequired(true);
    ds->Append();
    ds->FieldByName("Id")->SetAsInteger(1);
    try {
        ds->Post();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Field 'Name' must have a value");
    }
    EXPECT_EQ(ds->State(), dsInsert);
    ds->FieldByName("Id")->OnValidate = [](TField* f) {
        if (f->AsInteger() < 0) throw EDatabaseError("negative");
    };
    ds->FieldByName("Id")->SetAsInteger(7);
    EXPECT_THROW(ds->FieldByName("Id")->SetAsInteger(-1), EDatabaseError);
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 7);
    EXPECT_THROW(ds->FieldByName("Id")->SetAsString("abc"), EDatabaseError);
    EXPECT_THROW(ds->FieldByName("Born")->SetAsString("2008-13-45"), EDatabaseError);
}

TEST(DataSet, FieldTextsAndConversions)
{
    auto ds = FivePeople();
    TField* name = ds->FieldByName("Name");
    TField* paid = ds->FieldByName("Paid");
    TField* born = ds->FieldByName("Born");
    auto* active = static_cast<TBooleanField*>(ds->FieldByName("Active"));
    ds->Edit();
    // The size counts GBK bytes: five two-byte characters fill ten bytes.
    name->SetAsString("一二三四五六");
    EXPECT_EQ(name->AsString(), "一二三四五");
    born->SetAsString("2008-03-05 14:30:00");
    EXPECT_DOUBLE_EQ(born->AsDateTime(), EncodeDateTime(2008, 3, 5, 14, 30, 0, 0));
    static_cast<TDateTimeField*>(born)->SetDisplayFormat("yyyy年m月d日");
    EXPECT_EQ(born->DisplayText(), "2008年3月5日");
    paid->SetAsString("12.5");
    static_cast<TFloatField*>(paid)->SetDisplayFormat("0.00");
    EXPECT_EQ(paid->DisplayText(), "12.50");
    EXPECT_EQ(paid->Text(), "12.50");   // the display format serves editing too
    EXPECT_EQ(paid->AsString(), "12.5");
    static_cast<TFloatField*>(paid)->SetEditFormat("0.000");
    EXPECT_EQ(paid->Text(), "12.500");
    EXPECT_EQ(paid->Alignment(), taRightJustify);
    active->SetDisplayValues("√;-");
    active->SetAsBoolean(true);
    EXPECT_EQ(active->DisplayText(), "√");
    active->SetAsBoolean(false);
    EXPECT_EQ(active->DisplayText(), "-");
    active->SetText("√");
    EXPECT_TRUE(active->AsBoolean());
    active->Clear();
    EXPECT_EQ(active->DisplayText(), "");
    name->OnGetText = [](TField* f, std::string& text, bool display) { text = display ? "<" + f->AsString() + ">" : f->AsString(); };
    EXPECT_EQ(name->DisplayText(), "<一二三四五>");
    ds->Post();
}

TEST(DataSet, IntegerFieldRanges)
{
    TDataSet ds;
    ds.FieldDefs()->Add("S", ftSmallint);
    ds.FieldDefs()->Add("W", ftWord);
    ds.FieldDefs()->Add("L", ftLargeint);
    ds.CreateDataSet();
    ds.Append();
    EXPECT_THROW(ds.FieldByName("S")->SetAsInteger(40000), EDatabaseError);
    EXPECT_THROW(ds.FieldByName("W")->SetAsInteger(-1), EDatabaseError);
    ds.FieldByName("L")->SetAsLargeInt(int64_t(1) << 40);
    EXPECT_EQ(ds.FieldByName("L")->AsLargeInt(), int64_t(1) << 40);
    ds.FieldByName("S")->SetAsFloat(2.6);
    EXPECT_EQ(ds.FieldByName("S")->AsInteger(), 3);
    // Whole numbers written as text that no integer holds are invalid values,
    // reported with the text as typed; the field keeps what it had.
    for (const char* field : {"S", "W", "L"}) {
        for (const char* text : {"1e30", "-1e30", "9.3e18", "1e308"}) {
            try {
                ds.FieldByName(field)->SetAsString(text);
                ADD_FAILURE() << field << " took " << text;
            } catch (const EDatabaseError& e) {
                EXPECT_EQ(std::string(e.what()),
                          std::string("'") + text + "' is not a valid integer value for field '" + field + "'");
            }
        }
    }
    EXPECT_EQ(ds.FieldByName("S")->AsInteger(), 3);
    ds.FieldByName("L")->SetAsString("1e18");
    EXPECT_EQ(ds.FieldByName("L")->AsLargeInt(), int64_t(1000000000000000000));
    ds.Post();
}

TEST(DataSet, BookmarksFollowTheRowsAndCompareByPosition)
{
    auto ds = FivePeople();
    ds->SetRecNo(2);
    TBookmark b2 = ds->Bookmark();
    ds->SetRecNo(4);
    TBookmark b4 = ds->Bookmark();
    EXPECT_EQ(ds->CompareBookmarks(b2, b4), -1);
    EXPECT_EQ(ds->CompareBookmarks(b4, b2), 1);
    EXPECT_EQ(ds->CompareBookmarks(b2, b2), 0);
    EXPECT_EQ(ds->CompareBookmarks("", b2), -1);
    ds->GotoBookmark(b2);
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 2);
    ds->Delete();
    EXPECT_FALSE(ds->BookmarkValid(b2));
    EXPECT_THROW(ds->GotoBookmark(b2), EDatabaseError);
    EXPECT_TRUE(ds->BookmarkValid(b4));
    ds->Close();
    ds->Open();
    EXPECT_FALSE(ds->BookmarkValid(b4));
}

TEST(DataSet, AppendedRowsTakeTheirPlacesAfterTheOthers)
{
    auto ds = FivePeople();
    ds->SetRecNo(3);
    const TBookmark b3 = ds->Bookmark();
    auto append = [&](int id) {
        ds->Append();
        ds->FieldByName("Id")->SetAsInteger(id);
        ds->Post();
    };
    for (int id : {6, 7}) {
        append(id);
        EXPECT_EQ(ds->RecNo(), id);
    }
    // A cancelled append leaves no place behind.
    ds->Append();
    ds->Cancel();
    EXPECT_EQ(ds->RecordCount(), 7);
    append(8);
    EXPECT_EQ(ds->RecNo(), 8);
    const TBookmark b8 = ds->Bookmark();
    EXPECT_EQ(ds->CompareBookmarks(b3, b8), -1);
    ds->GotoBookmark(b3);
    EXPECT_EQ(ds->RecNo(), 3);
    EXPECT_TRUE(ds->Locate("Id", 7, {}));
    EXPECT_EQ(ds->RecNo(), 7);
    // An appended row the filter refuses leaves the set; the next one follows the last shown.
    ds->SetFilter("Id < 100");
    ds->SetFiltered(true);
    append(200);
    append(9);
    EXPECT_EQ(ds->RecNo(), 9);
    EXPECT_EQ(Ids(ds.get()), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    // Inserted in the middle, then appended: every place moves with it.
    ds->SetRecNo(2);
    ds->Insert();
    ds->FieldByName("Id")->SetAsInteger(10);
    ds->Post();
    append(11);
    EXPECT_EQ(ds->RecNo(), 11);
    EXPECT_TRUE(ds->Locate("Id", 2, {}));
    EXPECT_EQ(ds->RecNo(), 3);
}

TEST(DataSet, LocateAndLookup)
{
    auto ds = FivePeople();
    struct Case {
        std::string fields;
        Variant values;
        TLocateOptions options;
        int expectId;   // 0: not found
    };
    std::vector<Case> cases = {
        {"Id", 4, {}, 4},
        {"Id", "3", {}, 3},
        {"Id", 99, {}, 0},
        {"Id", "1e30", {}, 0},   // no integer holds it: not found
        {"Name", "ALICE", {}, 0},
        {"Name", "ALICE", {loCaseInsensitive}, 2},
        {"Name", "ca", {loPartialKey}, 4},
        {"Name", "李四", {}, 5},
        {"Id;Name", VarArrayOf({Variant(3), Variant("Bob")}), {}, 3},
        {"Id;Name", VarArrayOf({Variant(3), Variant("bob")}), {}, 0},
        {"Born", Null(), {}, 1},
    };
    for (const Case& c : cases) {
        ds->First();
        bool found = ds->Locate(c.fields, c.values, c.options);
        EXPECT_EQ(found, c.expectId != 0) << c.fields;
        if (found) EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), c.expectId) << c.fields;
        else EXPECT_EQ(ds->RecNo(), 1) << c.fields;
    }
    ds->First();
    EXPECT_EQ(ds->Lookup("Id", 5, "Name").AsString(), "李四");
    EXPECT_TRUE(ds->Lookup("Id", 55, "Name").IsNull());
    Variant two = ds->Lookup("Name", "Bob", "Id;Paid");
    EXPECT_EQ(VarArrayGet(two, {0}).AsInteger(), 3);
    EXPECT_EQ(ds->RecNo(), 1);
    // The search index follows edits.
    ds->Locate("Id", 5, {});
    ds->Edit();
    ds->FieldByName("Id")->SetAsInteger(50);
    ds->Post();
    ds->First();
    EXPECT_FALSE(ds->Locate("Id", 5, {}));
    EXPECT_TRUE(ds->Locate("Id", 50, {}));
}

TEST(DataSet, FilterExpressions)
{
    auto ds = FivePeople();
    struct Case {
        std::string filter;
        std::vector<int> ids;
    };
    std::vector<Case> cases = {
        {"Id > 2", {3, 4, 5}},
        {"Id >= 2 and Id <= 3", {2, 3}},
        {"Id = 1 or Id = 5", {1, 5}},
        {"not (Id < 5)", {5}},
        {"Name like '%o%'", {3, 4}},
        {"Name like '_o%'", {3}},
        {"Name like '%四'", {5}},
        {"Name not like '%o%'", {1, 2, 5}},
        {"Name = 'Bob'", {3}},
        {"Name = 'c*'", {4}},
        {"[Name] = 'alice' or Paid = 50", {2, 5}},
        {"Born is null", {1, 2, 3, 4, 5}},
        {"Born is not null", {}},
        {"Id in (1, 3, 7)", {1, 3}},
        {"Paid * 2 > 70", {4, 5}},
        {"Name = 'it''s'", {}},
    };
    for (const Case& c : cases) {
        ds->SetFilter(c.filter);
        ds->SetFiltered(true);
        EXPECT_EQ(Ids(ds.get()), c.ids) << c.filter;
        ds->SetFiltered(false);
    }
    EXPECT_EQ(Ids(ds.get()).size(), 5u);
    ds->SetFilterOptions({foCaseInsensitive});
    ds->SetFilter("Name = 'BOB'");
    ds->SetFiltered(true);
    EXPECT_EQ(Ids(ds.get()), (std::vector<int>{3}));
    for (const char* bad : {"Name = 'open", "(Id = 1", "Id = = 2", "Id # 2", "Nope = 1"})
        EXPECT_THROW(ds->SetFilter(bad), EDatabaseError) << bad;
    EXPECT_EQ(ds->Filter(), "Name = 'BOB'");
    // Expressions nested beyond any real use raise instead of exhausting the stack;
    // moderately deep ones still filter.
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    std::string orChain = "Id = 0";
    for (int i = 0; i < 100; ++i) orChain += " or Name = 'BOB'";
    for (const std::string& deep : {repeat("(", 100) + "Name = 'BOB'" + repeat(")", 100),
                                    repeat("not ", 100) + "Name = 'BOB'", "Id = " + repeat("-", 100) + "3",
                                    orChain}) {
        ds->SetFilter(deep);
        EXPECT_EQ(Ids(ds.get()), (std::vector<int>{3})) << deep.substr(0, 40);
    }
    std::string longChain = "Id = 0";
    for (int i = 0; i < 100000; ++i) longChain += " or Id = 0";
    for (const std::string& tooDeep : {repeat("(", 100000) + "1", repeat("not ", 100000) + "Id = 1",
                                       "Id = " + repeat("-", 100000) + "1", "Id = " + repeat("+", 100000) + "1",
                                       "Id = 1" + repeat(" + 1", 100000), longChain}) {
        try {
            ds->SetFilter(tooDeep);
            ADD_FAILURE() << tooDeep.substr(0, 40);
        } catch (const EDatabaseError& e) {
            EXPECT_STREQ(e.what(), "Filter expression nested too deeply");
        }
    }
    ds->SetFilter("Name = 'BOB'");
    // A posted row that leaves the filter leaves the view.
    ds->Edit();
    ds->FieldByName("Name")->SetAsString("Zed");
    ds->Post();
    EXPECT_TRUE(ds->IsEmpty());
    ds->SetFiltered(false);
    EXPECT_EQ(ds->RecordCount(), 5);
}

TEST(DataSet, OnFilterRecordAndCalcFields)
{
    TDataSet ds;
    ds.FieldDefs()->Add("A", ftInteger);
    ds.FieldDefs()->Add("B", ftInteger);
    auto* a = new TIntegerField(&ds);
    a->SetFieldName("A");
    a->SetDataSet(&ds);
    auto* b = new TIntegerField(&ds);
    b->SetFieldName("B");
    b->SetDataSet(&ds);
    auto* sum = new TIntegerField(&ds);
    sum->SetFieldName("Sum");
    sum->SetFieldKind(fkCalculated);
    sum->SetDataSet(&ds);
    int calcs = 0;
    ds.OnCalcFields = [&](TDataSet* d) {
        ++calcs;
        d->FieldByName("Sum")->SetAsInteger(d->FieldByName("A")->AsInteger() + d->FieldByName("B")->AsInteger());
    };
    ds.CreateDataSet();
    ds.AppendRecord({1, 2});
    ds.AppendRecord({10, 20});
    EXPECT_EQ(sum->AsInteger(), 30);
    ds.Edit();
    a->SetAsInteger(100);
    EXPECT_EQ(sum->AsInteger(), 120);   // follows the edit at once
    ds.Post();
    EXPECT_FALSE(sum->CanModify());
    ds.OnFilterRecord = [](TDataSet* d, bool& accept) { accept = d->FieldByName("Sum")->AsInteger() > 10; };
    ds.SetFiltered(true);
    EXPECT_EQ(ds.RecordCount(), 1);
    EXPECT_EQ(a->AsInteger(), 100);
    EXPECT_GT(calcs, 0);
}

TEST(DataSet, LookupFields)
{
    auto cars = std::make_unique<TDataSet>();
    cars->FieldDefs()->Add("CarId", ftInteger);
    cars->FieldDefs()->Add("CarNo", ftString, 20);
    cars->CreateDataSet();
    cars->AppendRecord({7, "京A-7"});
    cars->AppendRecord({8, "京A-8"});

    TDataSet ds;
    ds.FieldDefs()->Add("Id", ftInteger);
    ds.FieldDefs()->Add("CarId", ftInteger);
    for (const char* n : {"Id", "CarId"}) {
        auto* f = new TIntegerField(&ds);
        f->SetFieldName(n);
        f->SetDataSet(&ds);
    }
    auto* car = new TStringField(&ds);
    car->SetFieldName("CarNo");
    car->SetFieldKind(fkLookup);
    car->SetKeyFields("CarId");
    car->SetLookupDataSet(cars.get());
    car->SetLookupKeyFields("CarId");
    car->SetLookupResultField("CarNo");
    car->SetDataSet(&ds);
    ds.CreateDataSet();
    ds.AppendRecord({1, 8});
    ds.AppendRecord({2, 9});
    ds.First();
    EXPECT_EQ(car->AsString(), "京A-8");
    ds.Next();
    EXPECT_TRUE(car->IsNull());
    ds.Edit();
    car->SetAsString("京A-7");   // written through the key field
    EXPECT_EQ(ds.FieldByName("CarId")->AsInteger(), 7);
    ds.Post();
    EXPECT_EQ(car->AsString(), "京A-7");
    // The lookup set going away leaves the field without it, not dangling.
    cars.reset();
    EXPECT_EQ(car->LookupDataSet(), nullptr);
}

TEST(DataSet, PersistentFieldsAreExactlyTheSetsFields)
{
    TDataSet ds;
    ds.FieldDefs()->Add("Id", ftInteger);
    ds.FieldDefs()->Add("Name", ftString, 20);
    ds.FieldDefs()->Add("Extra", ftString, 20);
    auto* name = new TStringField(&ds);
    name->SetFieldName("Name");
    name->SetDisplayLabel("姓名");
    name->SetDataSet(&ds);
    ds.CreateDataSet();
    EXPECT_EQ(ds.FieldCount(), 1);
    EXPECT_FALSE(ds.DefaultFields());
    EXPECT_EQ(ds.Fields()->Fields(0)->DisplayLabel(), "姓名");
    ds.Close();
    EXPECT_EQ(ds.FieldCount(), 1);
    TDataSet d2;
    d2.FieldDefs()->Add("Id", ftInteger);
    d2.CreateDataSet();
    EXPECT_TRUE(d2.DefaultFields());
    EXPECT_EQ(d2.FieldCount(), 1);
    d2.Close();
    EXPECT_EQ(d2.FieldCount(), 0);
    // A persistent data field the source does not have cannot open.
    TDataSet d3;
    d3.FieldDefs()->Add("Id", ftInteger);
    auto* ghost = new TIntegerField(&d3);
    ghost->SetFieldName("Ghost");
    ghost->SetDataSet(&d3);
    EXPECT_THROW(d3.CreateDataSet(), EDatabaseError);
    EXPECT_FALSE(d3.Active());
}

TEST(DataSet, BlobStreamsAndMemo)
{
    TDataSet ds;
    ds.FieldDefs()->Add("Pic", ftBlob);
    ds.FieldDefs()->Add("Note", ftMemo);
    ds.CreateDataSet();
    ds.Append();
    auto* pic = static_cast<TBlobField*>(ds.FieldByName("Pic"));
    std::string bytes("\x00\x01\xff\x10", 4);
    TStringStream src(bytes);
    pic->LoadFromStream(&src);
    EXPECT_EQ(pic->BlobSize(), 4);
    {
        std::unique_ptr<TStream> w(ds.CreateBlobStream(ds.FieldByName("Note"), bmWrite));
        w->WriteString("多行\r\n文本");
    }
    ds.Post();
    TStringStream out;
    pic->SaveToStream(&out);
    EXPECT_EQ(out.DataString(), bytes);
    EXPECT_EQ(ds.FieldByName("Note")->AsString(), "多行\r\n文本");
    EXPECT_EQ(ds.FieldByName("Note")->DisplayText(), "(MEMO)");
    EXPECT_THROW(ds.CreateBlobStream(ds.FieldByName("Note"), bmWrite), EDatabaseError);
    std::unique_ptr<TStream> r(ds.CreateBlobStream(pic, bmRead));
    EXPECT_EQ(r->Size(), 4);
}

// ---- data links ---------------------------------------------------------------------------

TEST(DataLinks, NoticesInOrder)
{
    auto ds = FivePeople();
    TDataSource src;
    TRecLink link;
    src.SetDataSet(ds.get());
    link.SetDataSource(&src);
    EXPECT_EQ(link.Log, (std::vector<std::string>{"active"}));
    link.Log.clear();

    ds->Edit();
    EXPECT_EQ(link.Log, (std::vector<std::string>{"editing", "record -"}));
    link.Log.clear();
    ds->FieldByName("Name")->SetAsString("x");
    EXPECT_EQ(link.Log, (std::vector<std::string>{"record Name"}));
    link.Log.clear();
    ds->Post();
    EXPECT_EQ(link.Log, (std::vector<std::string>{"update", "browsing", "changed"}));
    link.Log.clear();

    ds->Next();
    EXPECT_EQ(link.Log, (std::vector<std::string>{"scrolled 1"}));
    link.Log.clear();
    ds->Insert();
    EXPECT_EQ(link.Log, (std::vector<std::string>{"editing", "changed"}));
    link.Log.clear();
    ds->Cancel();
    EXPECT_EQ(link.Log, (std::vector<std::string>{"browsing", "changed"}));
    link.Log.clear();

    ds->DisableControls();
    ds->First();
    ds->Last();
    EXPECT_TRUE(link.Log.empty());
    ds->EnableControls();
    EXPECT_EQ(link.Log, (std::vector<std::string>{"changed"}));
    link.Log.clear();
    ds->FieldByName("Name")->SetVisible(false);
    EXPECT_EQ(link.Log, (std::vector<std::string>{"layout"}));
    link.Log.clear();
    ds->Close();
    EXPECT_EQ(link.Log, (std::vector<std::string>{"inactive"}));
}

TEST(DataLinks, BufferWindowAndScrollDistance)
{
    std::vector<std::tuple<int, std::string, double>> rows;
    for (int i = 1; i <= 20; ++i) rows.emplace_back(i, "n" + std::to_string(i), i);
    auto ds = MakePeople(rows);
    TDataSource src;
    src.SetDataSet(ds.get());
    TRecLink grid;
    grid.SetDataSource(&src);
    grid.SetBufferCount(5);
    EXPECT_EQ(grid.RecordCount(), 5);
    EXPECT_EQ(grid.ActiveRecord(), 0);
    grid.Log.clear();
    for (int i = 0; i < 4; ++i) ds->Next();
    EXPECT_EQ(grid.ActiveRecord(), 4);
    EXPECT_EQ(grid.Log, (std::vector<std::string>(4, "scrolled 0")));
    grid.Log.clear();
    ds->Next();
    EXPECT_EQ(grid.Log, (std::vector<std::string>{"scrolled 1"}));
    EXPECT_EQ(grid.ActiveRecord(), 4);
    // Reading another buffered row through the link and back.
    grid.SetActiveRecord(0);
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 2);
    grid.SetActiveRecord(4);
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 6);
    ds->Last();
    EXPECT_EQ(grid.ActiveRecord(), 4);
    grid.SetActiveRecord(0);
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 16);
    grid.SetActiveRecord(4);
    // A second, smaller link sees its own window.
    TRecLink edit;
    edit.SetDataSource(&src);
    EXPECT_EQ(edit.RecordCount(), 1);
    EXPECT_EQ(edit.ActiveRecord(), 0);
    ds->Prior();
    EXPECT_EQ(edit.Log.back(), "scrolled -1");
    EXPECT_EQ(grid.Log.back(), "scrolled 0");
    ds->Locate("Id", 10, {});
    EXPECT_EQ(grid.ActiveRecord(), 2);   // centred
    EXPECT_EQ(grid.Log.back(), "changed");
}

TEST(DataLinks, FieldDataLinkFollowsItsField)
{
    auto ds = FivePeople();
    TDataSource src;
    src.SetDataSet(ds.get());
    TFieldDataLink link;
    int changes = 0, updates = 0;
    link.OnDataChange = [&](TObject*) { ++changes; };
    link.OnUpdateData = [&](TObject*) {
        ++updates;
        ds->FieldByName("Name")->SetAsString("typed");
    };
    link.SetDataSource(&src);
    link.SetFieldName("Name");
    EXPECT_EQ(link.Field(), ds->FieldByName("Name"));
    EXPECT_TRUE(link.Edit());
    changes = 0;
    ds->FieldByName("Paid")->SetAsFloat(2);
    EXPECT_EQ(changes, 0);   // another field
    link.SetModified();
    ds->Post();
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "typed");
    ds->Edit();
    ds->Post();
    EXPECT_EQ(updates, 1);   // nothing typed, nothing written
    TFieldDataLink bad;
    bad.SetDataSource(&src);
    EXPECT_THROW(bad.SetFieldName("Missing"), EDatabaseError);
    ds->Close();
    EXPECT_EQ(link.Field(), nullptr);
}

TEST(DataLinks, SourceAndSetLifetimes)
{
    auto ds = FivePeople();
    auto src = std::make_unique<TDataSource>();
    src->SetDataSet(ds.get());
    TRecLink link;
    link.SetDataSource(src.get());
    EXPECT_TRUE(link.Active());
    ds.reset();
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(src->DataSet(), nullptr);
    src.reset();
    EXPECT_EQ(link.DataSource(), nullptr);
}

TEST(DataLinks, MovingBetweenTwoOpenSetsIsTold)
{
    auto first = FivePeople();
    std::vector<std::tuple<int, std::string, double>> rows;
    for (int i = 1; i <= 12; ++i) rows.emplace_back(i, "n" + std::to_string(i), i);
    auto second = MakePeople(rows);
    TDataSource src;
    src.SetDataSet(first.get());
    TRecLink grid;
    grid.SetDataSource(&src);
    grid.SetBufferCount(10);
    EXPECT_EQ(grid.RecordCount(), 5);
    grid.Log.clear();
    src.SetDataSet(second.get());
    EXPECT_EQ(grid.Log, (std::vector<std::string>{"inactive", "active"}));
    EXPECT_EQ(grid.RecordCount(), 10);
    EXPECT_EQ(src.State(), dsBrowse);
}

TEST(ClientDataSet, IndexFieldNamesOrderTheRows)
{
    TClientDataSet ds;
    ds.FieldDefs()->Add("Id", ftInteger);
    ds.FieldDefs()->Add("Name", ftString, 10);
    ds.CreateDataSet();
    for (auto& [id, name] : std::vector<std::pair<int, std::string>>{{1, "张"}, {2, "b"}, {3, "A"}, {4, "李"}})
        ds.AppendRecord({id, name});
    // Texts order as their 8-bit form: Latin letters (case folded), then
    // Chinese in pinyin order (李 li before 张 zhang).
    ds.SetIndexFieldNames("Name");
    EXPECT_EQ(Ids(&ds), (std::vector<int>{3, 2, 4, 1}));
    ds.SetIndexFieldNames("");
    EXPECT_EQ(Ids(&ds), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_THROW(ds.SetIndexFieldNames("Nope"), EDatabaseError);
    ds.EmptyDataSet();
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_EQ(ds.RecordCount(), 0);
}

TEST(DataLinks, GrowingBufferAtTheEndShowsEarlierRows)
{
    std::vector<std::tuple<int, std::string, double>> rows;
    for (int i = 1; i <= 10; ++i) rows.emplace_back(i, "n", i);
    auto ds = MakePeople(rows);
    ds->Last();
    TDataSource src;
    src.SetDataSet(ds.get());
    TRecLink grid;
    grid.SetDataSource(&src);
    grid.SetBufferCount(4);
    EXPECT_EQ(grid.RecordCount(), 4);
    EXPECT_EQ(grid.ActiveRecord(), 3);
    grid.SetActiveRecord(0);
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 7);
    grid.SetActiveRecord(3);
    grid.SetBufferCount(20);
    EXPECT_EQ(grid.RecordCount(), 10);
    EXPECT_EQ(grid.ActiveRecord(), 9);
    grid.SetBufferCount(2);
    EXPECT_EQ(grid.RecordCount(), 2);
    EXPECT_EQ(grid.ActiveRecord(), 1);
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 10);
    // Appending at the end shows the new row in the last buffer slot.
    ds->Append();
    EXPECT_EQ(grid.RecordCount(), 2);
    EXPECT_EQ(grid.ActiveRecord(), 1);
    EXPECT_TRUE(ds->FieldByName("Id")->IsNull());
    ds->Cancel();
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 10);
}

TEST(DataLinks, FocusRequestsAndDisabledState)
{
    auto ds = FivePeople();
    TDataSource src;
    src.SetDataSet(ds.get());
    struct TStateLink : TFieldDataLink {
        std::vector<intptr_t> States;
        void DataEvent(TDataEvent e, intptr_t info) override
        {
            if (e == deDisabledStateChange) States.push_back(info);
            TFieldDataLink::DataEvent(e, info);
        }
    };
    TStateLink first, second;
    int focused = 0;
    for (TStateLink* l : {&first, &second}) {
        l->SetDataSource(&src);
        l->SetFieldName("Name");
        l->OnFocusControl = [&focused] {
            ++focused;
            return true;
        };
    }
    ds->FieldByName("Name")->FocusControl();
    EXPECT_EQ(focused, 1);   // the first control takes it; the request ends there
    ds->FieldByName("Paid")->FocusControl();
    EXPECT_EQ(focused, 1);
    ds->DisableControls();
    ds->DisableControls();
    ds->EnableControls();
    ds->EnableControls();
    EXPECT_EQ(first.States, (std::vector<intptr_t>{0, 1}));
    EXPECT_TRUE(first.Active());
}

TEST(DataSet, OwnerFreesSetFieldsSourcesInAnyOrder)
{
    for (int order = 0; order < 2; ++order) {
        auto* owner = new TComponent(nullptr);
        TIntegerField* early = nullptr;
        if (order == 1) early = new TIntegerField(owner);   // made before its set
        auto* ds = new TClientDataSet(owner);
        ds->FieldDefs()->Add("Id", ftInteger);
        ds->FieldDefs()->Add("Name", ftString, 10);
        if (early) {
            early->SetFieldName("Id");
            early->SetDataSet(ds);
        }
        auto* name = new TStringField(owner);
        name->SetFieldName("Name");
        name->SetDataSet(ds);
        auto* src = new TDataSource(owner);
        src->SetDataSet(ds);
        TFieldDataLink link;
        link.SetDataSource(src);
        link.SetFieldName("Name");
        ds->CreateDataSet();
        ds->AppendRecord({1, "a"});
        EXPECT_EQ(link.Field(), name);
        FreeObject(owner);
        EXPECT_EQ(link.DataSource(), nullptr);
        EXPECT_EQ(link.Field(), nullptr);
    }
}

TEST(DataSet, FieldEventsInOrder)
{
    auto ds = FivePeople();
    TDataSource src;
    src.SetDataSet(ds.get());
    TRecLink link;
    link.SetDataSource(&src);
    std::vector<std::string> log;
    TField* name = ds->FieldByName("Name");
    name->OnValidate = [&](TField* f) { log.push_back("validate " + f->AsString()); };
    name->OnChange = [&](TField* f) { log.push_back("change " + f->AsString()); };
    name->OnSetText = [&](TField* f, const std::string& text) { f->SetAsString(UpperCase(text)); };
    ds->Edit();
    link.Log.clear();
    name->SetText("bob");
    EXPECT_EQ(name->AsString(), "BOB");
    EXPECT_EQ(log, (std::vector<std::string>{"validate BOB", "change BOB"}));
    EXPECT_EQ(link.Log, (std::vector<std::string>{"record Name"}));
    EXPECT_TRUE(ds->Modified());
    ds->Cancel();
    EXPECT_FALSE(ds->Modified());
    EXPECT_EQ(name->AsString(), "王五");
}

TEST(DataSet, SearchesSeeOnlyTheFilteredRowsAndNewRecordsGetCalcFields)
{
    auto ds = FivePeople();
    ds->SetFilter("Paid >= 30");
    ds->SetFiltered(true);
    for (int i = 0; i < 3; ++i) {   // scans first, then the index
        ds->First();
        EXPECT_FALSE(ds->Locate("Id", 2, {}));
        EXPECT_TRUE(ds->Locate("Id", 4, {}));
    }
    EXPECT_TRUE(ds->Lookup("Id", 1, "Name").IsNull());

    TClientDataSet calc;
    calc.FieldDefs()->Add("A", ftInteger);
    auto* a = new TIntegerField(&calc);
    a->SetFieldName("A");
    a->SetDataSet(&calc);
    auto* twice = new TIntegerField(&calc);
    twice->SetFieldName("Twice");
    twice->SetFieldKind(fkCalculated);
    twice->SetDataSet(&calc);
    calc.OnCalcFields = [](TDataSet* d) { d->FieldByName("Twice")->SetAsInteger(d->FieldByName("A")->AsInteger() * 2 + 1); };
    calc.OnNewRecord = [](TDataSet* d) { d->FieldByName("A")->SetAsInteger(5); };
    calc.CreateDataSet();
    calc.Append();
    EXPECT_EQ(twice->AsInteger(), 11);
    EXPECT_FALSE(calc.Modified());   // values set by OnNewRecord do not count as typed
    calc.Post();
    EXPECT_EQ(twice->AsInteger(), 11);
}

namespace {

// A set that lets a test read any record in place.
class TInstantReadSet : public TDataSet {
public:
    using TDataSet::BeginInstantRead;
    using TDataSet::EndInstantRead;
};

class TScrollCounter : public TDataLink {
public:
    int Events = 0;
protected:
    void DataEvent(TDataEvent event, intptr_t info) override
    {
        ++Events;
        TDataLink::DataEvent(event, info);
    }
};

} // namespace

TEST(DataSetInstantRead, ReadsAnotherRecordInPlaceAndComesBackWithoutNotices)
{
    TInstantReadSet ds;
    ds.FieldDefs()->Add("Id", ftInteger);
    ds.FieldDefs()->Add("Name", ftString, 10);
    ds.CreateDataSet();
    for (int i = 1; i <= 5; ++i) ds.AppendRecord({i, "学员" + std::to_string(i)});
    ds.SetRecNo(2);
    TDataSource src;
    src.SetDataSet(&ds);
    TScrollCounter link;
    link.SetDataSource(&src);
    const int before = link.Events;
    const TBookmarkStr second = ds.Bookmark();

    auto saved = ds.BeginInstantRead(4);
    ASSERT_TRUE(saved.Active);
    EXPECT_EQ(ds.FieldByName("Id")->AsInteger(), 5);
    EXPECT_EQ(ds.FieldByName("Name")->AsString(), "学员5");
    EXPECT_EQ(ds.RecNo(), 5);
    EXPECT_NE(ds.Bookmark(), second);
    ds.EndInstantRead(saved);

    EXPECT_EQ(ds.FieldByName("Id")->AsInteger(), 2);
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(ds.Bookmark(), second);
    EXPECT_EQ(link.Events, before);

    // A position outside the records reads nothing else and changes nothing.
    for (int pos : {-1, 5, 100}) {
        auto none = ds.BeginInstantRead(pos);
        EXPECT_FALSE(none.Active);
        EXPECT_EQ(ds.RecNo(), 2);
        ds.EndInstantRead(none);
        EXPECT_EQ(ds.RecNo(), 2);
    }
}
