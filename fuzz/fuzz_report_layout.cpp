// Any bytes as a stored report layout. Loading raises or succeeds; a load
// that raises leaves the report as it was; what loads saves, loads and
// saves again the same bytes.
#include "frxClass.h"

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

std::string Save(TfrxReport& r)
{
    TMemoryStream m;
    r.SaveToStream(&m);
    return std::string(static_cast<const char*>(m.Memory()), size_t(m.Size()));
}

struct TLayout {
    std::unique_ptr<TComponent> Glue = std::make_unique<TComponent>(nullptr);
    TfrxReport* Report = new TfrxReport(Glue.get());
    TfrxUserDataSet* D0 = new TfrxUserDataSet(Glue.get());
    TLayout()
    {
        D0->SetName("d0");
        D0->Fields()->SetStrings({"Name", "Fee"});
        Report->DataSets()->Add(D0);
        Report->EngineOptions()->SilentMode = true;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    host->Calls.clear();

    TLayout a;
    // A report with something in it, so that a failed load shows if it loses it.
    a.Report->ReportOptions()->Name = "before";
    auto* page = new TfrxReportPage(a.Report);
    page->SetName("Page1");
    const std::string before = Save(*a.Report);

    std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        TStringStream s(bytes);
        a.Report->LoadFromStream(&s);
    } catch (const Exception&) {
        Check(Save(*a.Report) == before, "a failed load leaves the report as it was");
        return 0;
    }
    a.Report->ReportOptions()->Password.clear();
    const std::string first = Save(*a.Report);

    TLayout b;
    TStringStream s(first);
    b.Report->LoadFromStream(&s);
    const std::string second = Save(*b.Report);
    if (second != first) {
        std::fprintf(stderr, "first:\n%s\nsecond:\n%s\n", first.c_str(), second.c_str());
        Check(false, "save, load, save gives the same bytes");
    }
    return 0;
}
