// Any bytes as a style-sheet file, a style file or a variables file (the
// first byte chooses). Loading raises or succeeds; a load that raises
// leaves nothing half-read behind; what loads saves, loads and saves again
// the same bytes, and loaded styles apply to a report's memo.
#include "frxClass.h"
#include "frxVariables.h"

#include "RecordingHost.h"
#include "Streams.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

template <class T> std::string Save(T& t)
{
    TMemoryStream m;
    t.SaveToStream(&m);
    return std::string(static_cast<const char*>(m.Memory()), size_t(m.Size()));
}

// Loads the bytes; false when the load raised.
template <class T> bool Load(T& t, const std::string& bytes)
{
    TStringStream s(bytes);
    try {
        t.LoadFromStream(&s);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

template <class T> void RoundTrip(T& first, T& second, const std::string& bytes, bool (*Empty)(T&))
{
    if (!Load(first, bytes)) {
        Check(Empty(first), "a failed load leaves nothing behind");
        return;
    }
    const std::string saved = Save(first);
    Check(Load(second, saved), "what was saved loads");
    if (Save(second) != saved) {
        std::fprintf(stderr, "first:\n%s\nsecond:\n%s\n", saved.c_str(), Save(second).c_str());
        Check(false, "save, load, save gives the same bytes");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    if (size < 1) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 3) {
    case 0: {
        TfrxStyleSheet a, b;
        RoundTrip<TfrxStyleSheet>(a, b, bytes, [](TfrxStyleSheet& s) { return s.Count() == 0; });
        break;
    }
    case 1: {
        TfrxReport report;
        report.EngineOptions()->SilentMode = true;
        auto* page = new TfrxReportPage(&report);
        page->SetName("Page1");
        auto* band = new TfrxMasterData(page);
        band->SetName("MasterData1");
        auto* memo = new TfrxMemoView(band);
        memo->SetName("Memo1");
        TfrxStyles b(&report);
        RoundTrip<TfrxStyles>(*report.Styles(), b, bytes, [](TfrxStyles& s) { return s.Count() == 0; });
        if (report.Styles()->Count() > 0) {
            memo->SetStyle(report.Styles()->Items(0)->Name());
            report.Styles()->ReapplyToReport();
        }
        break;
    }
    default: {
        TfrxVariables a, b;
        RoundTrip<TfrxVariables>(a, b, bytes, [](TfrxVariables& v) { return v.Count() == 0; });
        for (int i = 0; i < a.Count() && i < 32; ++i) a.Variables(a.Items(i)->Name);
        TStringList categories;
        a.ListCategories(&categories);
        break;
    }
    }
    return 0;
}
