// Any text as a filter, a Locate/Lookup key or blob-stream operations on a small
// in-memory data set: the library raises its own errors or answers, never crashes
// or hangs. A filter comparing a field with a quoted literal of any text finds
// exactly the rows holding that text.
#include "DB.h"
#include "Streams.h"
#include "SysUtils.h"
#include "Variants.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::unique_ptr<TDataSet> MakeSet(const std::string& extraName)
{
    auto ds = std::make_unique<TDataSet>();
    ds->FieldDefs()->Add("Id", ftInteger);
    ds->FieldDefs()->Add("Name", ftString, 200);
    ds->FieldDefs()->Add("Paid", ftFloat);
    ds->FieldDefs()->Add("Born", ftDateTime);
    ds->FieldDefs()->Add("Active", ftBoolean);
    ds->FieldDefs()->Add("Pic", ftBlob);
    ds->CreateDataSet();
    const char* names[] = {"王五", "alice", "Bob", "it's", "", "c*"};
    for (int i = 0; i < 6; ++i) {
        ds->Append();
        ds->FieldByName("Id")->SetAsInteger(i + 1);
        ds->FieldByName("Name")->SetAsString(names[i]);
        ds->FieldByName("Paid")->SetAsFloat(i * 10.5);
        if (i % 2) ds->FieldByName("Born")->SetAsDateTime(EncodeDate(2000 + i, 1 + i, 1 + i));
        ds->FieldByName("Active")->SetAsBoolean(i % 3 == 0);
        ds->Post();
    }
    ds->Append();
    ds->FieldByName("Id")->SetAsInteger(7);
    ds->FieldByName("Name")->SetAsString(extraName);
    ds->Post();
    ds->First();
    return ds;
}

std::string Quote(const std::string& s)
{
    std::string out = "'";
    for (char c : s) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

void AnyFilter(const std::string& text, uint8_t opts)
{
    auto ds = MakeSet("x");
    TFilterOptions fo;
    if (opts & 1) fo.Include(foCaseInsensitive);
    if (opts & 2) fo.Include(foNoPartialCompare);
    ds->SetFilterOptions(fo);
    try {
        ds->SetFilter(text);
        ds->SetFiltered(true);
        for (ds->First(); !ds->Eof(); ds->Next()) ds->FieldByName("Id")->AsInteger();
    } catch (const Exception&) {
    }
}

void QuotedLiteral(const std::string& text)
{
    auto ds = MakeSet(text);
    // The field keeps at most its size; look for what it holds.
    ds->Last();
    const std::string stored = ds->FieldByName("Name")->AsString();
    ds->SetFilterOptions({foNoPartialCompare});
    ds->SetFilter("Name = " + Quote(stored));
    ds->SetFiltered(true);
    int n = 0;
    for (ds->First(); !ds->Eof(); ds->Next()) {
        if (ds->FieldByName("Name")->AsString() != stored) abort();
        ++n;
    }
    if (n == 0) abort();
}

void AnyKey(const std::string& text, uint8_t opts)
{
    auto ds = MakeSet("x");
    TLocateOptions lo;
    if (opts & 1) lo.Include(loCaseInsensitive);
    if (opts & 2) lo.Include(loPartialKey);
    static const char* const fieldNames[] = {"Id", "Name", "Paid", "Born", "Active", "Id;Name", "Pic", ""};
    const char* f = fieldNames[(opts >> 2) & 7];
    try {
        ds->Locate(f, Variant(text), lo);
        ds->Lookup(f, Variant(text), "Name;Id");
        ds->Locate(text, Variant(1), lo);
        ds->Lookup("Id", Variant(1), text);
        ds->Locate("Id;Name", VarArrayOf({Variant(text), Variant(text)}), lo);
    } catch (const Exception&) {
    }
}

void BlobOps(const std::string& text)
{
    auto ds = MakeSet("x");
    TField* pic = ds->FieldByName("Pic");
    try {
        ds->Edit();
        size_t i = 0;
        for (int round = 0; round < 2 && i < text.size(); ++round) {
            TBlobStreamMode mode = TBlobStreamMode(uint8_t(text[i++]) % 3);
            std::unique_ptr<TStream> s(ds->CreateBlobStream(pic, mode));
            while (i < text.size()) {
                uint8_t op = uint8_t(text[i++]);
                int arg = i < text.size() ? int(int8_t(text[i++])) * 37 : 0;
                char buf[512];
                switch (op % 6) {
                case 0: s->Read(buf, std::abs(arg) % 512); break;
                case 1: s->Write(text.data() + i, int(std::min<size_t>(text.size() - i, std::abs(arg) % 64))); break;
                case 2: s->Seek(int64_t(arg), TSeekOrigin(op % 3)); break;
                case 3: s->SetSize(arg); break;
                case 4: s->Size(); break;
                default: goto next;
                }
            }
        next:;
        }
        ds->Post();
        pic->AsString();
    } catch (const Exception&) {
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    uint8_t sel = data[0];
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (sel % 4) {
    case 0: AnyFilter(text, sel >> 2); break;
    case 1: QuotedLiteral(text); break;
    case 2: AnyKey(text, sel >> 2); break;
    default: BlobOps(text); break;
    }
    return 0;
}
