// The grid's exchange formats: text, CSV, VCLDBIF and RTF exports, the text
// and VCLDBIF readers, the clipboard routines and deleting the selection.
#include "DBGridEhImpExp.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"
#include "RecordingHost.h"
#include "Streams.h"
#include "SysUtils.h"
#include "TextUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace DBGridTest;
using namespace DBGridEhImpExp;
const double NaN = std::nan("");

std::string G(const std::string& utf8) { return Utf8ToGbk(utf8); }

// A grid over students showing only the named fields, as stored columns.
struct TShownGrid {
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* Grid = nullptr;
    TShownGrid(std::unique_ptr<TDataSet> ds, const std::vector<std::string>& fields)
        : Ds(std::move(ds)), Host(std::make_unique<TGridHost>(Ds.get()))
    {
        Grid = Host->Grid;
        if (!fields.empty()) {
            Grid->Columns()->Clear();
            for (const std::string& f : fields) Grid->Columns()->Add()->SetFieldName(f);
        }
    }
    TColumnEh* Col(int i) const { return Grid->Columns()->Items(i); }
    std::string Export(TClass cls, bool all = true) const
    {
        TStringStream s;
        ExportGridToStream(cls, Grid, &s, all);
        return s.DataString();
    }
    void Import(TClass cls, const std::string& bytes, bool all = false) const
    {
        TStringStream s(bytes);
        ImportGridFromStream(cls, Grid, &s, all);
    }
    TBookmarkStr BookmarkOf(int id) const
    {
        TBookmarkStr here = Ds->Bookmark();
        Ds->Locate("Id", id, {});
        TBookmarkStr b = Ds->Bookmark();
        Ds->GotoBookmark(here);
        return b;
    }
    // A rectangle from column left of record top to column right of record bottom.
    void SelectRect(int left, int top, int right, int bottom) const
    {
        Grid->Selection()->SelectedRect()->SelectCell(left, BookmarkOf(top), false);
        Grid->Selection()->SelectedRect()->SelectCell(right, BookmarkOf(bottom), true);
    }
    void SelectRecords(const std::vector<int>& ids) const
    {
        for (int id : ids) {
            Ds->Locate("Id", id, {});
            Grid->Selection()->Rows()->SetCurrentRowSelected(true);
        }
    }
};

TClass Text() { return TDBGridEhExportAsText::StaticClass(); }
TClass Csv() { return TDBGridEhExportAsCSV::StaticClass(); }
TClass Bin() { return TDBGridEhExportAsVCLDBIF::StaticClass(); }
TClass Rtf() { return TDBGridEhExportAsRTF::StaticClass(); }
TClass TextIn() { return TDBGridEhImportAsText::StaticClass(); }
TClass BinIn() { return TDBGridEhImportAsVCLDBIF::StaticClass(); }

std::vector<int> Ids(TDataSet* ds)
{
    std::vector<int> v;
    TBookmarkStr here = ds->Bookmark();
    for (ds->First(); !ds->Eof(); ds->Next()) v.push_back(ds->FieldByName("Id")->AsInteger());
    if (!here.empty()) ds->GotoBookmark(here);
    return v;
}

std::string Names(TDataSet* ds)
{
    std::string s;
    for (ds->First(); !ds->Eof(); ds->Next()) s += ds->FieldByName("Name")->AsString() + ";";
    return s;
}

// Runs a program with the file as its argument and returns what it printed.
std::string RunOn(const std::string& command)
{
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

std::filesystem::path ScratchDir(const std::string& name)
{
    auto dir = std::filesystem::temp_directory_path() / ("qz-impexp-" + name + "-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

struct THostScope {
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    std::shared_ptr<IHostServices> Old;
    THostScope() { Old = SetHostServices(Host); }
    ~THostScope() { SetHostServices(Old); }
};

// ---- export --------------------------------------------------------------------------------------

TEST(GridExport, TextRowsAndTitles)
{
    TShownGrid t(MakeStudents({{1, "王小明", true, 1200}, {2, "ab", false, NaN}}), {"Id", "Name", "Fee"});
    EXPECT_EQ(t.Export(Text()), G("Id\tName\tFee\r\n1\t王小明\t1200\r\n2\tab\t")) << "nothing after the last cell";
    t.Grid->SetOptions(t.Grid->Options() - TDBGridOptions{dgTitles});
    EXPECT_EQ(t.Export(Text()), G("1\t王小明\t1200\r\n2\tab\t"));
    // Texts are written as they are; a TAB in a cell is not quoted.
    t.Ds->Edit();
    t.Ds->FieldByName("Name")->SetAsString("a\tb");
    t.Ds->Post();
    EXPECT_EQ(t.Export(Text()), G("1\ta\tb\t1200\r\n2\tab\t"));
}

TEST(GridExport, SelectionDecidesTheRows)
{
    TShownGrid t(FiveStudents(), {"Id", "Name"});
    t.Grid->SetOptions(t.Grid->Options() + TDBGridOptions{dgMultiSelect});
    for (TClass cls : {Text(), Csv(), Bin(), Rtf()})
        EXPECT_EQ(t.Export(cls, false), "") << cls->Name << ": no selection writes nothing at all";
    t.SelectRecords({4, 2});
    t.Ds->Locate("Id", 3, {});
    EXPECT_EQ(t.Export(Text(), false), G("Id\tName\r\n2\t李华\r\n4\t赵丽")) << "selected rows in data-set order";
    EXPECT_EQ(t.Ds->FieldByName("Id")->AsInteger(), 3) << "the walk puts the cursor back";
    EXPECT_FALSE(t.Ds->ControlsDisabled());
    EXPECT_EQ(t.Export(Text(), true).substr(0, 10), G("Id\tName\r\n1")) << "all ignores the selection";
}

TEST(GridExport, RectangleAndColumnSelections)
{
    TShownGrid t(FiveStudents(), {"Id", "Name", "Passed", "Fee"});
    t.Grid->SetOptions(t.Grid->Options() + TDBGridOptions{dgMultiSelect});
    t.Col(2)->SetVisible(false);
    t.SelectRect(1, 2, 3, 4);
    EXPECT_EQ(t.Export(Text(), false), G("Name\tFee\r\n李华\t800.5\r\n张伟\t1500\r\n赵丽\t0"))
        << "the shown columns of the rectangle, from its top record to its bottom one";
    t.Grid->Selection()->Clear();
    t.Grid->Selection()->SelectedColumns()->SelectColumn(t.Col(3), false);
    t.Grid->Selection()->SelectedColumns()->SelectColumn(t.Col(0), true);
    EXPECT_EQ(t.Export(Text(), false), "Id\tFee\r\n1\t1200\r\n2\t800.5\r\n3\t1500\r\n4\t0\r\n5\t950")
        << "selected columns over every record";
}

TEST(GridExport, CsvQuotesEveryCell)
{
    struct Case {
        std::string Cell, Written;
    } cases[] = {
        {"plain", "\"plain\""},
        {"", "\"\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"a;b", "\"a;b\""},
        {"学员", G("\"学员\"")},
    };
    for (const Case& c : cases) {
        TShownGrid t(MakeStudents({{1, c.Cell, true, 1}}), {"Name"});
        t.Grid->SetOptions(t.Grid->Options() - TDBGridOptions{dgTitles});
        EXPECT_EQ(t.Export(Csv()), c.Written) << c.Cell;
    }
    TShownGrid t(MakeStudents({{1, "王", true, 1}, {2, "x\"y", false, 2}}), {"Id", "Name"});
    EXPECT_EQ(t.Export(Csv()), "\"Id\";\"Name\"\r\n\"1\";" + G("\"王\"") + "\r\n\"2\";\"x\"\"y\"");
}

TEST(GridExport, CsvReadsBackWithPythonInGbk)
{
    TShownGrid t(MakeStudents({{1, "王;小\"明", true, 1}, {2, "", false, 2.5}}), {"Id", "Name", "Fee"});
    auto dir = ScratchDir("csv");
    std::string file = (dir / "a.csv").string();
    ExportGridToFile(Csv(), t.Grid, file, true);
    std::string out = RunOn("python3 -c \"import csv,sys; "
                            "[print('|'.join(r)) for r in csv.reader(open(sys.argv[1], encoding='gbk', newline=''), "
                            "delimiter=';')]\" " + file);
    EXPECT_EQ(out, "Id|Name|Fee\n1|王;小\"明|1\n2||2.5\n");
    std::filesystem::remove_all(dir);
}

TEST(GridExport, VcldbifBytes)
{
    auto ds = std::make_unique<TDataSet>();
    ds->FieldDefs()->Add("Id", ftInteger);
    ds->FieldDefs()->Add("Name", ftString, 10);
    ds->CreateDataSet();
    ds->AppendRecord({7, "ab"});
    ds->First();
    TShownGrid t(std::move(ds), {"Id", "Name"});
    const unsigned char want[] = {0x56, 0x43, 0x4C, 0x44, 0x42, 0x49, 0x46, 0x01, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01,
                                  0x00, 0x03, 0x07, 0x00, 0x00, 0x00, 0x05, 0x02, 0x00, 0x00, 0x00, 0x61, 0x62, 0x00};
    EXPECT_EQ(t.Export(Bin()), std::string(reinterpret_cast<const char*>(want), sizeof want));
    // Null, a float, a column without a field and Chinese text.
    t.Ds->Edit();
    t.Ds->FieldByName("Id")->Clear();
    t.Ds->FieldByName("Name")->SetAsString("王");
    t.Ds->Post();
    t.Grid->Columns()->Add();
    std::string b = t.Export(Bin());
    EXPECT_EQ(b.substr(8, 10), std::string("\x03\x00\x00\x00\x01\x00\x01\x00\x01\x00", 10));
    EXPECT_EQ(b.substr(18), std::string("\x02\x05\x02\x00\x00\x00", 6) + G("王") + std::string("\x01\x00", 2));
}

TEST(GridExport, FootersCoverTheExportedRows)
{
    auto ds = std::make_unique<TDataSet>();
    ds->FieldDefs()->Add("Id", ftInteger);
    ds->FieldDefs()->Add("Big", ftLargeint);
    ds->FieldDefs()->Add("Fee", ftFloat);
    ds->CreateDataSet();
    const int64_t big = 300000000000000LL;
    ds->AppendRecord({1, Variant(big), 1.5});
    ds->AppendRecord({2, Variant(big + 1), 2.25});
    ds->AppendRecord({3, Variant(int64_t(7)), Null()});
    ds->First();
    TShownGrid t(std::move(ds), {"Id", "Big", "Fee"});
    t.Grid->SetOptions(t.Grid->Options() + TDBGridOptions{dgMultiSelect} - TDBGridOptions{dgTitles});
    t.Grid->SetFooterRowCount(2);
    t.Grid->SumList()->SetActive(true);
    // Row 0: a fixed text, the large-integer sum, the fee sum. Row 1: a
    // count, the same sum (a column's Footer serves every row without an
    // item of its own) and the fee average.
    t.Col(0)->Footers()->Add()->SetValueType(fvtStaticText);
    t.Col(0)->Footers()->Items(0)->SetValue("合计");
    t.Col(0)->Footers()->Add()->SetValueType(fvtCount);
    t.Col(1)->Footer()->SetValueType(fvtSum);
    t.Col(2)->Footers()->Add()->SetValueType(fvtSum);
    t.Col(2)->Footers()->Add()->SetValueType(fvtAvg);
    std::string all = GbkToUtf8(t.Export(Text(), true));
    EXPECT_NE(all.find("\r\n合计\t600000000000008\t3.75\r\n3\t600000000000008\t1.875"), std::string::npos)
        << "a large-integer sum keeps every digit\n" << all;
    t.SelectRecords({1, 3});
    std::string sel = GbkToUtf8(t.Export(Text(), false));
    EXPECT_NE(sel.find("\r\n合计\t300000000000007\t1.5\r\n2\t300000000000007\t1.875"), std::string::npos)
        << "sums and counts of the selected rows, the average of all\n" << sel;
}

TEST(GridExport, FileIsWrittenWhole)
{
    TShownGrid t(FiveStudents(), {"Id", "Name"});
    auto dir = ScratchDir("file");
    std::string file = (dir / "out.txt").string();
    { std::ofstream(file) << "old"; }
    t.Grid->OnGetCellParams = [](TObject*, TColumnEh*, TFont*, TColor&, TGridDrawState) {
        throw Exception("stop");
    };
    EXPECT_THROW(ExportGridToFile(Text(), t.Grid, file, true), Exception);
    std::ifstream in(file);
    std::string kept((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(kept, "old") << "a failed export leaves the file as it was";
    EXPECT_FALSE(t.Ds->ControlsDisabled());
    std::filesystem::remove_all(dir);
}

// ---- import -------------------------------------------------------------------------------------

TEST(GridImport, TextReaderRows)
{
    struct Case {
        const char* Name;
        std::string Input;
        std::string Names;   // the Name column after pasting from the first record
        std::string Ids;
    } cases[] = {
        {"rows", "11\tA\r\n12\tB", "A;B;张伟;", "11,12,3"},
        {"final CR LF gives no further row", "11\tA\r\n", "A;李华;张伟;", "11,2,3"},
        {"LF is cell text", "11\tA\nB", "A\nB;李华;张伟;", "11,2,3"},
        {"TAB before CR LF leaves the next column", "1\tA\t\r\n11", "A;李华;张伟;", "1,11,3"},
        {"a leading TAB is an empty cell", "\tB", "B;李华;张伟;", "null,2,3"},
        {"extra cells dropped, missing ones kept", "11\tA\tx\ty\r\n12", "A;李华;张伟;", "11,12,3"},
        {"empty line assigns nothing", "\r\n12\tB", "王小明;B;张伟;", "1,12,3"},
    };
    for (const Case& c : cases) {
        TShownGrid t(MakeStudents({{1, "王小明", true, 1}, {2, "李华", true, 2}, {3, "张伟", true, 3}}), {"Id", "Name"});
        t.Ds->First();
        t.Import(TextIn(), G(c.Input));
        EXPECT_EQ(Names(t.Ds.get()), c.Names) << c.Name;
        std::string ids;
        for (t.Ds->First(); !t.Ds->Eof(); t.Ds->Next()) {
            TField* f = t.Ds->FieldByName("Id");
            ids += (ids.empty() ? "" : ",") + (f->IsNull() ? std::string("null") : f->AsString());
        }
        EXPECT_EQ(ids, c.Ids) << c.Name;
    }
}

TEST(GridImport, TextReaderRefusesALoneCR)
{
    for (std::string input : {"1\tA\r2", "1\tA\r"}) {
        TShownGrid t(FiveStudents(), {"Id", "Name"});
        try {
            t.Import(TextIn(), input);
            ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), SInvalidTextFormat);
        }
        EXPECT_FALSE(t.Ds->ControlsDisabled());
    }
}

TEST(GridImport, PastingFromTheCurrentCellAppendsWhenAllowed)
{
    TShownGrid t(MakeStudents({{1, "甲", true, 1}, {2, "乙", true, 2}}), {"Id", "Name", "Fee"});
    t.Ds->Last();
    t.Grid->SetSelectedIndex(1);
    t.Import(TextIn(), G("丙\t5\r\n丁\t6\r\n戊"));
    EXPECT_EQ(Names(t.Ds.get()), "甲;丙;丁;戊;") << "from the current record and column onward, then appended";
    t.Ds->Last();
    EXPECT_EQ(t.Ds->FieldByName("Fee")->IsNull(), true);
    t.Grid->SetAllowedOperations(t.Grid->AllowedOperations() - TDBGridEhAllowedOperations{alopAppendEh});
    t.Ds->First();
    t.Import(TextIn(), G("a\r\nb\r\nc\r\nd\r\ne\r\nf"));
    EXPECT_EQ(Names(t.Ds.get()), "a;b;c;d;") << "without appending, the rest is dropped";
}

TEST(GridImport, InsertingPutsEachRowBeforeTheNextRecord)
{
    TShownGrid t(MakeStudents({{1, "甲", true, 1}, {2, "乙", true, 2}}), {"Id", "Name"});
    t.Ds->Last();
    t.Ds->Insert();
    t.Import(TextIn(), G("7\t新一\r\n8\t新二"));
    EXPECT_EQ(t.Ds->State(), dsBrowse);
    EXPECT_EQ(Names(t.Ds.get()), "甲;新一;新二;乙;");
}

TEST(GridImport, TextAndVcldbifRoundTrip)
{
    for (TClass cls : {Bin(), Text()}) {
        TShownGrid src(MakeStudents({{1, "王小明", true, 1200.25}, {2, "x\"y{z}", false, NaN}, {3, "", true, -0.5}}),
                       {"Id", "Name", "Passed", "Enrolled", "Fee"});
        std::string bytes = src.Export(cls);
        TShownGrid dst(MakeStudents({}), {"Id", "Name", "Passed", "Enrolled", "Fee"});
        if (cls == Text()) dst.Grid->SetOptions(dst.Grid->Options() - TDBGridOptions{dgTitles}),
                           src.Grid->SetOptions(src.Grid->Options() - TDBGridOptions{dgTitles}),
                           bytes = src.Export(cls);
        dst.Import(cls == Bin() ? BinIn() : TextIn(), bytes, true);
        src.Ds->First();
        dst.Ds->First();
        ASSERT_EQ(dst.Ds->RecordCount(), 3) << cls->Name;
        for (; !src.Ds->Eof(); src.Ds->Next(), dst.Ds->Next())
            for (const char* f : {"Id", "Name", "Passed", "Enrolled", "Fee"}) {
                Variant a = src.Ds->FieldByName(f)->Value(), b = dst.Ds->FieldByName(f)->Value();
                EXPECT_EQ(VarIsNull(a) || (VarType(a) == varString && VarToStr(a).empty()),
                          VarIsNull(b) || (VarType(b) == varString && VarToStr(b).empty()))
                    << cls->Name << " " << f;
                if (!VarIsNull(a) && !VarIsNull(b))
                    EXPECT_EQ(VarToStr(a), VarToStr(b)) << cls->Name << " " << f;
            }
    }
}

std::string BinHeader(int32_t count)
{
    std::string h = "VCLDBIF\x01";
    h.append(reinterpret_cast<const char*>(&count), 4);
    for (int i = 0; i < count && i < 8; ++i) h += std::string("\x01\x00", 2);
    return h;
}

std::string IntValue(int32_t v) { return "\x03" + std::string(reinterpret_cast<const char*>(&v), 4); }

std::string StrValue(const std::string& s, int32_t n)
{
    return "\x05" + std::string(reinterpret_cast<const char*>(&n), 4) + s;
}

TEST(GridImport, VcldbifReaderRefusesBrokenStreams)
{
    struct Case {
        const char* Name;
        std::string Input;
    } cases[] = {
        {"short header", "VCLDBIF\x01\x02"},
        {"wrong signature", "VCLDBIX\x01" + std::string("\x01\0\0\0\x01\0", 6)},
        {"truncated names", BinHeader(2).substr(0, 14)},
        {"truncated payload", BinHeader(1) + "\x03\x07\x00"},
        {"string shorter than its count", BinHeader(1) + StrValue("ab", 5)},
        {"negative byte count", BinHeader(1) + StrValue("", -1) + std::string(1, '\0')},
        {"no end tag", BinHeader(1) + IntValue(5)},
        {"zero columns", BinHeader(0) + IntValue(5) + std::string(1, '\0')},
        {"negative column count", BinHeader(-3) + IntValue(5)},
        {"more columns than bytes", BinHeader(1).substr(0, 8) + std::string("\xff\xff\xff\x7f\x01", 5)},
    };
    for (const Case& c : cases) {
        TShownGrid t(MakeStudents({{1, "甲", true, 1}}), {"Id", "Name"});
        t.Ds->Insert();
        try {
            t.Import(BinIn(), c.Input);
            ADD_FAILURE() << c.Name << ": accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), SInvalidVCLDBIF) << c.Name;
        }
        if (t.Ds->State() == dsInsert) t.Ds->Cancel();
        EXPECT_LE(t.Ds->RecordCount(), 2) << c.Name << ": no runaway inserts";
        EXPECT_FALSE(t.Ds->ControlsDisabled()) << c.Name;
    }
}

TEST(GridImport, VcldbifColumnsGoByPosition)
{
    // Three stream columns into two target columns: the third value of every row is dropped.
    std::string in = BinHeader(3) + IntValue(21) + StrValue("ab", 2) + IntValue(99) + IntValue(22) +
                     StrValue(G("王"), 2) + IntValue(98) + std::string(1, '\0');
    TShownGrid t(MakeStudents({{1, "甲", true, 1}, {2, "乙", true, 2}, {3, "丙", true, 3}}), {"Id", "Name"});
    t.Import(BinIn(), in, true);
    EXPECT_EQ(Names(t.Ds.get()), "ab;王;丙;");
    EXPECT_EQ(Ids(t.Ds.get()), (std::vector<int>{21, 22, 3}));
    // A header with the end tag right after it imports nothing.
    t.Import(BinIn(), BinHeader(2) + std::string(1, '\0'), true);
    EXPECT_EQ(Names(t.Ds.get()), "ab;王;丙;");
    // An unknown tag is taken as no value; the rest of the row still goes on.
    t.Import(BinIn(), BinHeader(2) + "\x09" + StrValue("Z", 1) + std::string(1, '\0'), true);
    EXPECT_EQ(Names(t.Ds.get()), "Z;王;丙;");
    EXPECT_EQ(Ids(t.Ds.get()), (std::vector<int>{21, 22, 3}));
}

TEST(GridImport, ARefusedValueAsksWhetherToGoOn)
{
    std::string in = G("x\tA\r\ny\tB\r\nz\tC");
    struct Case {
        std::vector<TModalResult> Answers;
        size_t Questions;
        std::string Names;
    } cases[] = {
        {{mrYes, mrYes, mrYes}, 3, "A;B;C;"},
        {{mrAll}, 1, "A;B;C;"},
        {{mrYes, mrNo}, 2, "A;李华;张伟;"},
    };
    for (const Case& c : cases) {
        THostScope host;
        for (TModalResult r : c.Answers) host.Host->QueueMessageDlg(r);
        TShownGrid t(MakeStudents({{1, "王小明", true, 1}, {2, "李华", true, 2}, {3, "张伟", true, 3}}), {"Id", "Name"});
        t.Ds->First();
        try {
            t.Import(TextIn(), in);
        } catch (const EAbort&) {
        }
        auto asked = host.Host->CallsOf(THostCallKind::MessageDlg);
        ASSERT_EQ(asked.size(), c.Questions);
        EXPECT_EQ(asked[0].Text.rfind("Error during insert value:\n", 0), 0u) << asked[0].Text;
        EXPECT_EQ(asked[0].Text.substr(asked[0].Text.size() - 15), "\n\nIgnore error?");
        if (t.Ds->State() == dsEdit) t.Ds->Post();
        EXPECT_EQ(Names(t.Ds.get()), c.Names);
        EXPECT_EQ(Ids(t.Ds.get()), (std::vector<int>{1, 2, 3}));
    }
}

TEST(GridImport, PickListMapsToKeysAndKeepsUnknownTexts)
{
    THostScope host;
    host.Host->QueueMessageDlg(mrYes);
    TShownGrid t(MakeStudents({{1, "M", true, 1}, {2, "F", true, 2}}), {"Name"});
    t.Col(0)->PickList()->SetText("Male\nFemale");
    t.Col(0)->KeyList()->SetText("M\nF");
    t.Ds->First();
    t.Import(TextIn(), "female\r\nUnknown");
    EXPECT_EQ(Names(t.Ds.get()), "F;F;") << "a text out of the list leaves the field as it was";
    auto asked = host.Host->CallsOf(THostCallKind::MessageDlg);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].Text.find("'Unknown' is not in the column's pick list"), std::string::npos) << asked[0].Text;
}

TEST(GridImport, LookupPrefersAnExactName)
{
    TCoachLookup look = MakeCoachLookup({"Wang Wei", "Wang", "Li Na"}, {3, 3, 3, 3});
    auto& coaches = look.Coaches;
    auto ds = std::move(look.Students);
    TShownGrid t(std::move(ds), {"Coach"});
    t.Import(TextIn(), "wang\r\nWang W\r\nli\r\nnobody");
    std::vector<int> keys;
    for (t.Ds->First(); !t.Ds->Eof(); t.Ds->Next()) keys.push_back(t.Ds->FieldByName("CoachId")->AsInteger());
    EXPECT_EQ(keys, (std::vector<int>{2, 1, 3, 3})) << "exact before prefix; nothing found changes nothing";
    EXPECT_EQ(coaches->FieldByName("CoachId")->AsInteger(), 1) << "the lookup set stays where it was";
    // The key travels in VCLDBIF, not the looked-up text.
    std::string bin = t.Export(Bin());
    EXPECT_EQ(bin.substr(14, 5), IntValue(2));
}

// ---- clipboard and delete --------------------------------------------------------------------------

TEST(GridClipboard, CopyPlacesFourFormatsAndPastesBack)
{
    GuiTest::Init();
    TShownGrid src(FiveStudents(), {"Id", "Name"});
    src.Grid->SetOptions(src.Grid->Options() + TDBGridOptions{dgMultiSelect});
    src.SelectRecords({2, 3});
    GridCopy(src.Grid, false);
    TClipboard* cb = Clipboard();
    EXPECT_EQ(cb->AsText(), "Id\tName\r\n2\t李华\r\n3\t张伟");
    EXPECT_EQ(cb->GetBuffer(CsvClipboardFormat()), G("\"Id\";\"Name\"\r\n\"2\";\"李华\"\r\n\"3\";\"张伟\"") +
                                                       std::string(1, '\0'));
    std::string rtf = cb->GetBuffer(RtfClipboardFormat());
    EXPECT_EQ(rtf.rfind("{\\rtf0", 0), 0u);
    EXPECT_EQ(rtf.back(), '\0');
    std::string bin = cb->GetBuffer(VCLDBIFClipboardFormat());
    EXPECT_EQ(bin, src.Export(Bin(), false));
    // VCLDBIF wins over the text when both are there.
    TShownGrid dst(MakeStudents({{10, "甲", true, 1}, {11, "乙", true, 2}, {12, "丙", true, 3}}), {"Id", "Name"});
    dst.Ds->Locate("Id", 11, {});
    GridPaste(dst.Grid, false);
    EXPECT_EQ(Names(dst.Ds.get()), "甲;李华;张伟;");
    EXPECT_EQ(Ids(dst.Ds.get()), (std::vector<int>{10, 2, 3}));
}

TEST(GridClipboard, KeysCopyAndPasteARectangle)
{
    struct THooks {
        decltype(DBGridEh::CopyAction) Copy = DBGridEh::CopyAction, Cut = DBGridEh::CutAction,
                                       Paste = DBGridEh::PasteAction, Delete = DBGridEh::DeleteAction;
        ~THooks()
        {
            DBGridEh::CopyAction = Copy;
            DBGridEh::CutAction = Cut;
            DBGridEh::PasteAction = Paste;
            DBGridEh::DeleteAction = Delete;
        }
    } keep;
    Initialize();
    TShownGrid src(MakeStudents({{1, "甲", true, 1}, {2, "乙", true, 2}}), {"Id", "Name", "Fee"});
    src.Grid->SetOptions(src.Grid->Options() + TDBGridOptions{dgMultiSelect});
    src.Grid->SetEditActions({geaCopyEh, geaPasteEh});
    src.Grid->Selection()->SelectWholeGrid();
    WORD key = 'C';
    src.Grid->KeyDown(key, {ssCtrl});
    EXPECT_EQ(Clipboard()->AsText(), "Id\tName\tFee\r\n1\t甲\t1\r\n2\t乙\t2");
    // Three copied columns into a two-column rectangle: the third value of each row is dropped.
    TShownGrid dst(FiveStudents(), {"Id", "Name", "Fee"});
    dst.Grid->SetOptions(dst.Grid->Options() + TDBGridOptions{dgMultiSelect});
    dst.Grid->SetEditActions({geaPasteEh});
    dst.SelectRect(0, 3, 1, 5);
    key = 'V';
    dst.Grid->KeyDown(key, {ssCtrl});
    EXPECT_EQ(Ids(dst.Ds.get()), (std::vector<int>{1, 2, 1, 2, 5})) << "the rectangle's rows, no further";
    EXPECT_EQ(Names(dst.Ds.get()), "王小明;李华;甲;乙;陈晨;");
    dst.Ds->Locate("Id", 1, {});
    EXPECT_EQ(dst.Ds->FieldByName("Fee")->AsFloat(), 1200) << "the column outside the rectangle stays";
}

TEST(GridClipboard, PlainTextPastesUpToItsEnd)
{
    GuiTest::Init();
    Clipboard()->SetAsText("7\t新\r\n");
    TShownGrid t(FiveStudents(), {"Id", "Name"});
    t.Ds->First();
    GridPaste(t.Grid, false);
    EXPECT_EQ(Ids(t.Ds.get()), (std::vector<int>{7, 2, 3, 4, 5})) << "a final CR LF gives no further row";
    EXPECT_EQ(Names(t.Ds.get()).substr(0, 4), "新;");
}

TEST(GridDelete, ClearingCellsAndColumnsAsksFirst)
{
    THostScope host;
    host.Host->QueueMessageBox(IDOK);
    host.Host->QueueMessageBox(IDOK);
    TShownGrid t(FiveStudents(), {"Id", "Name", "Fee"});
    t.Grid->SetOptions(t.Grid->Options() + TDBGridOptions{dgMultiSelect, dgConfirmDelete});
    t.SelectRect(1, 2, 2, 3);
    t.Ds->Locate("Id", 5, {});
    GridDelete(t.Grid, false);
    EXPECT_EQ(Names(t.Ds.get()), "王小明;;;赵丽;陈晨;");
    t.Ds->Locate("Id", 2, {});
    EXPECT_TRUE(t.Ds->FieldByName("Fee")->IsNull());
    t.Grid->Selection()->Clear();
    t.Grid->Selection()->SelectedColumns()->SelectColumn(t.Col(2), false);
    GridDelete(t.Grid, false);
    EXPECT_EQ(t.Ds->State(), dsBrowse);
    int fees = 0;
    for (t.Ds->First(); !t.Ds->Eof(); t.Ds->Next()) fees += t.Ds->FieldByName("Fee")->IsNull() ? 0 : 1;
    EXPECT_EQ(fees, 0);
    EXPECT_EQ(t.Ds->RecordCount(), 5);
    EXPECT_EQ(host.Host->Messages(), (std::vector<std::string>{SClearSelectedCells, SClearSelectedColumns}));
}

TEST(GridDelete, AsksBeforeDeletingEverything)
{
    struct Case {
        bool All;
        std::vector<int> Selected;
        std::string Question;
    } cases[] = {
        {false, {2}, "Delete record?"},
        {false, {2, 4}, "Delete all selected records?"},
        {true, {}, SDeleteAllRecords},
    };
    for (const Case& c : cases) {
        THostScope host;
        host.Host->QueueMessageBox(IDCANCEL);
        host.Host->QueueMessageBox(IDOK);
        TShownGrid t(FiveStudents(), {"Id", "Name"});
        t.Grid->SetOptions(t.Grid->Options() + TDBGridOptions{dgMultiSelect, dgConfirmDelete});
        t.SelectRecords(c.Selected);
        GridDelete(t.Grid, c.All);
        EXPECT_EQ(t.Ds->RecordCount(), 5) << c.Question << ": Cancel deletes nothing";
        GridDelete(t.Grid, c.All);
        auto asked = host.Host->CallsOf(THostCallKind::MessageBox);
        ASSERT_EQ(asked.size(), 2u);
        EXPECT_EQ(asked[0].Text, c.Question);
        EXPECT_EQ(t.Ds->RecordCount(), c.All ? 0 : 5 - int(c.Selected.size()));
        EXPECT_FALSE(t.Ds->ControlsDisabled());
    }
}

// ---- RTF ----------------------------------------------------------------------------------------------

TEST(GridExportRtf, AsciiTableBytes)
{
    TShownGrid t(MakeStudents({{1, "a{b}\\c", true, 1}}), {"Id", "Name"});
    t.Grid->Font()->SetName("Arial");
    t.Grid->TitleFont()->SetName("Arial");
    for (int i = 0; i < 2; ++i) t.Col(i)->SetWidth(64);
    t.Col(0)->Title()->SetCaption("N");
    t.Col(1)->Title()->SetCaption("T");
    t.Col(1)->SetAlignment(taRightJustify);
    std::string rtf = t.Export(Rtf());
    TColorRef face = ColorToRGB(clBtnFace);
    std::string faceText = Format("\\red%d\\green%d\\blue%d;", {int(GetRValue(face)), int(GetGValue(face)),
                                                                 int(GetBValue(face))});
    std::string head = "{\\rtf0\\ansi\r\n{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;" + faceText;
    EXPECT_EQ(rtf.substr(0, head.size()), head) << "no code page for plain ASCII\n" << rtf;
    EXPECT_NE(rtf.find("}\r\n{\\fonttbl\\f0\\fnil Arial;}\r\n\\trowd"), std::string::npos) << rtf;
    const std::string border = "\\clbrdrl\\brdrs\\brdrcf0\r\n\\clbrdrt\\brdrs\\brdrcf0\r\n"
                               "\\clbrdrb\\brdrs\\brdrcf0\r\n\\clbrdrr\\brdrs\\brdrcf0\r\n";
    EXPECT_NE(rtf.find("\\trowd\\trgaph40\r\n" + border + "\\clshdng10000\\clcfpat"), std::string::npos);
    EXPECT_NE(rtf.find("\\cellx960\r\n" + border), std::string::npos) << "64 px at 96 dpi are 960 twips";
    EXPECT_NE(rtf.find("\\cellx1920\r\n{\\trrh0\r\n"), std::string::npos) << "edges run on";
    EXPECT_NE(rtf.find("\\pard\\intbl{\\qr\\sb24\\sa24\\fs18\\f0\\cf0\\cb1 a\\{b\\}\\\\c\\cell}\r\n"), std::string::npos)
        << rtf;
    EXPECT_EQ(rtf.substr(rtf.size() - 19), "\\pard\\intbl\\row}\r\n}");
    int depth = 0;
    for (size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') ++i;
        else if (rtf[i] == '{') ++depth;
        else if (rtf[i] == '}') --depth;
        ASSERT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
}

TEST(GridExportRtf, ChineseReadsBackInLibreOffice)
{
    if (RunOn("command -v soffice").empty()) GTEST_SKIP() << "LibreOffice is not installed";
    TShownGrid t(MakeStudents({{1, "王小明{1}", true, 1}, {2, "李华\\", false, 2}}), {"Id", "Name"});
    t.Col(1)->Title()->SetCaption("姓名");
    auto dir = ScratchDir("rtf");
    std::string file = (dir / "t.rtf").string();
    ExportGridToFile(Rtf(), t.Grid, file, true);
    std::ifstream in(file, std::ios::binary);
    std::string rtf((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(rtf.rfind("{\\rtf0\\ansi\\ansicpg936\r\n", 0), 0u);
    EXPECT_NE(rtf.find("\\fnil\\fcharset134 "), std::string::npos);
    std::string cmd = "cd " + dir.string() + " && HOME=" + dir.string() +
                      " soffice --headless --convert-to txt:Text t.rtf >/dev/null 2>&1; cat t.txt";
    std::string txt = RunOn(cmd);
    for (const char* cell : {"姓名", "王小明{1}", "李华\\", "Id"})
        EXPECT_NE(txt.find(cell), std::string::npos) << cell << " in\n" << txt;
    std::filesystem::remove_all(dir);
}

// The borders each cell of an RTF row declares, as letters l, t, b, r.
std::vector<std::string> CellBorders(const std::string& row)
{
    std::vector<std::string> cells(1);
    std::string defs = row.substr(0, row.find("{\\trrh0"));
    for (size_t i = 0; i < defs.size(); ++i) {
        if (defs.compare(i, 7, "\\clbrdr") == 0) cells.back() += defs[i + 7];
        if (defs.compare(i, 6, "\\cellx") == 0) cells.emplace_back();
    }
    cells.pop_back();
    return cells;
}

TEST(GridExportRtf, MultiLevelTitleSpansAndBorders)
{
    TShownGrid t(FiveStudents(), {"Id", "Name", "Fee"});
    t.Grid->SetUseMultiTitle(true);
    t.Col(0)->Title()->SetCaption("学员|编号");
    t.Col(1)->Title()->SetCaption("学员|姓名");
    t.Col(2)->Title()->SetCaption("学费");
    GuiTest::ProcessEvents();
    std::string rtf = GbkToUtf8(t.Export(Rtf()));
    // Unescape the \'hh pairs for reading.
    std::string gbk;
    for (size_t i = 0; i < rtf.size(); ++i) {
        if (rtf.compare(i, 2, "\\'") == 0) {
            gbk += char(std::stoi(rtf.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            gbk += rtf[i];
        }
    }
    std::string doc = GbkToUtf8(gbk);
    size_t top = doc.find("\\trowd");
    size_t second = doc.find("\\trowd", top + 1);
    size_t third = doc.find("\\trowd", second + 1);
    ASSERT_NE(third, std::string::npos);
    std::string upper = doc.substr(top, second - top), lower = doc.substr(second, third - second);
    EXPECT_NE(upper.find(" 学员\\cell}"), std::string::npos) << upper;
    EXPECT_NE(upper.find(" 学费\\cell}"), std::string::npos) << "a one-level caption stands in the upper row";
    EXPECT_EQ(lower.find("学费"), std::string::npos) << "and its lower cell is blank";
    EXPECT_NE(lower.find(" 编号\\cell}"), std::string::npos);
    EXPECT_NE(lower.find(" 姓名\\cell}"), std::string::npos);
    // The group's upper cells lose the border between them; the fee's cells
    // lose the one between the two rows.
    EXPECT_EQ(CellBorders(upper), (std::vector<std::string>{"ltb", "tbr", "ltr"}));
    EXPECT_EQ(CellBorders(lower), (std::vector<std::string>{"ltbr", "ltbr", "lbr"}));
}

} // namespace
