// Any bytes as a variant stream, a criteria stream and a filter in the
// component stream. Reading raises EReadError or succeeds; a failed read
// leaves the criteria as it was; what reads writes, reads and writes again
// the same bytes.
#include "Streams.h"
#include "cxFilter.h"
#include "cxVariants.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

struct TItem : TObject {
    TItem(int id, std::string name) : ID(id), Name(std::move(name)) {}
    int ID;
    std::string Name;
};

class TLinkItem : public TcxFilterCriteriaItem {
public:
    using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
    void GetDataValue(int, Variant& value) override { value = Null(); }
    std::string GetFieldName() override { return ItemLink() ? static_cast<TItem*>(ItemLink())->Name : ""; }
    std::string GetFieldCaption() override { return GetFieldName(); }
};

TItem gName{3, "Name"}, gAge{4, "Age"};

class TLinkCriteria : public TcxFilterCriteria {
public:
    TcxFilterCriteriaItem* CreateItem(TcxFilterCriteriaItemList* parent, TObject* link, TcxFilterOperatorKind kind,
                                      const Variant& value, const std::string& display) override
    {
        return new TLinkItem(parent, link, kind, value, display);
    }
    int GetIDByItemLink(TObject* link) override { return link ? static_cast<TItem*>(link)->ID : -1; }
    TObject* GetItemLinkByID(int id) override
    {
        for (TItem* i : {&gName, &gAge})
            if (i->ID == id) return i;
        return nullptr;
    }
};

std::string Bytes(TMemoryStream& m) { return std::string(static_cast<const char*>(m.Memory()), size_t(m.Size())); }

std::string WriteCriteria(TcxFilterCriteria& c)
{
    TMemoryStream m;
    c.WriteData(&m);
    return Bytes(m);
}

std::string SaveCriteria(TcxFilterCriteria& c)
{
    TMemoryStream m;
    c.SaveToStream(&m);
    return Bytes(m);
}

void Variants(const std::string& bytes)
{
    Variant v;
    try {
        TStringStream s(bytes);
        v = cxVariants::ReadStreamVariant(&s);
    } catch (const EReadError&) {
        return;
    }
    TMemoryStream first;
    try {
        cxVariants::WriteStreamVariant(&first, v);
    } catch (const EWriteError&) {
        return;
    }
    first.SetPosition(0);
    Variant again = cxVariants::ReadStreamVariant(&first);
    TMemoryStream second;
    cxVariants::WriteStreamVariant(&second, again);
    Check(Bytes(first) == Bytes(second), "variant write, read, write gives the same bytes");
}

// A criteria with an item in it, so that a failed read shows if it loses it.
void Fill(TLinkCriteria& c)
{
    c.AddItem(nullptr, &gName, foEqual, Variant("Wang"), "Wang");
}

// Reads bytes into a filled criteria through read; write gives its bytes.
template <class Read, class Write> void ReadBack(const std::string& bytes, Read read, Write write)
{
    TLinkCriteria c;
    Fill(c);
    const std::string before = write(c);
    try {
        TStringStream s(bytes);
        read(c, &s);
    } catch (const EFilerError&) {
        Check(write(c) == before, "a failed read leaves the criteria as it was");
        return;
    }
    std::string first;
    try {
        first = write(c);
    } catch (const EWriteError&) {
        return;
    }
    c.GetFilterText();
    TLinkCriteria d;
    TStringStream s(first);
    read(d, &s);
    Check(write(d) == first, "criteria write, read, write gives the same bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (const char* out = std::getenv("FUZZ_SEED_OUT")) {
        // Seeds: a nested criteria as the criteria stream and in the component stream.
        TLinkCriteria c;
        c.Root()->SetBoolOperatorKind(fboOr);
        c.AddItem(nullptr, &gAge, foBetween, cxVariants::VarBetweenArray(Variant(18), Variant(30)), "18;30");
        TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboNotAnd);
        c.AddItem(g, &gName, foInList, VarArrayOf({"a", 2, 3.5}), "a;2;3.5");
        c.AddItem(g, &gName, foLike, Variant("W%"), "W%");
        for (const std::string& seed : {"\x01" + WriteCriteria(c), "\x02" + SaveCriteria(c)}) {
            std::string name = std::string(out) + std::to_string(int(seed[0]));
            if (FILE* f = std::fopen(name.c_str(), "wb")) {
                std::fwrite(seed.data(), 1, seed.size(), f);
                std::fclose(f);
            }
        }
    }
    if (size < 1) return 0;
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 3) {
        case 0: Variants(bytes); break;
        case 1: ReadBack(bytes, [](TLinkCriteria& c, TStream* s) { c.ReadData(s); }, WriteCriteria); break;
        case 2: ReadBack(bytes, [](TLinkCriteria& c, TStream* s) { c.LoadFromStream(s); }, SaveCriteria); break;
    }
    return 0;
}
