// Any bytes as a stored layout read back onto a data-aware grid over five
// students and its form, through the read interceptors the storage
// registers: each record of the input picks the form, a column or the
// columns, one of the interceptor's published properties and a value of any
// kind, sets it as the layout reader does, and the form's interceptor
// applies what it read. Setting raises the library's own conversion errors
// or succeeds; the columns stay the same columns (their order may change),
// the form keeps a size it can show, and the grid paints without fault.
#include "DBGridEhStorage.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"
#include "StringLists.h"
#include "TypInfo.h"
#include "Variants.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
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

struct TReader {
    const uint8_t* Data;
    size_t Size;
    size_t Pos = 0;
    bool AtEnd() const { return Pos >= Size; }
    uint8_t Byte() { return Pos < Size ? Data[Pos++] : 0; }
    std::string Text()
    {
        size_t n = Byte() % 48;
        std::string s;
        while (n-- && !AtEnd()) s += char(Byte());
        return s;
    }
    Variant Value()
    {
        switch (Byte() % 5) {
        case 0: return Null();
        case 1: return Variant(int(int16_t(uint16_t(Byte()) << 8 | Byte())));
        case 2: return Variant(Byte() % 2 == 1);
        case 3: return Variant(int(int32_t(uint32_t(Byte()) << 24 | uint32_t(Byte()) << 16 | Byte())));
        default: return Variant(Text());
        }
    }
};

std::vector<std::string> FieldNames(TDBGridEh* g)
{
    std::vector<std::string> names;
    for (int i = 0; i < g->Columns()->Count(); ++i) names.push_back(g->Columns()->Items(i)->FieldName());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool started = (setenv("QT_QPA_PLATFORM", "offscreen", 0), GuiTest::Init(), true);
    (void)started;
    std::unique_ptr<TDataSet> ds = DBGridTest::FiveStudents();
    DBGridTest::TGridHost host(ds.get(), 600, 200);
    TDBGridEh* g = host.Grid;
    TReader in{data, size};
    g->SetAutoFitColWidths(in.Byte() % 2 == 1);
    GuiTest::ProcessEvents();
    const std::vector<std::string> before = FieldNames(g);
    const int count = g->Columns()->Count();

    for (int steps = 0; steps < 32 && !in.AtEnd(); ++steps) {
        const uint8_t which = in.Byte();
        TObject* target = which % 3 == 0   ? static_cast<TObject*>(host.Form.get())
                          : which % 3 == 1 ? static_cast<TObject*>(g->Columns())
                                           : static_cast<TObject*>(g->Columns()->Items(which / 3 % count));
        std::unique_ptr<TStoragePropertyInterceptor> interceptor = DBGridEhStorage::CreateReadInterceptor(target);
        Check(interceptor != nullptr, "every target the storage knows has an interceptor");
        const std::vector<PPropInfo> props = GetPropList(interceptor.get());
        for (int n = in.Byte() % 4 + 1; n > 0 && !in.AtEnd(); --n) {
            if (props.empty()) break;
            PPropInfo p = props[in.Byte() % props.size()];
            try {
                SetPropValue(interceptor.get(), p, in.Value());
            } catch (const EPropertyConvertError&) {
            } catch (const EVariantError&) {
            } catch (const EConvertError&) {
            } catch (const EPropertyError&) {
            }
        }
        interceptor->AfterRead();
    }
    GuiTest::ProcessEvents();
    Check(g->Columns()->Count() == count && FieldNames(g) == before, "the columns stay the same columns");
    Check(host.Form->Width() >= 0 && host.Form->Height() >= 0, "the form keeps a size it can show");
    TBitmap frame(600, 200);
    g->PaintTo(frame.Canvas(), 0, 0);
    return 0;
}
