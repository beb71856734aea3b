// Any text as the clipboard's report objects pasted onto a page. The paste
// never crashes; every pasted object ends up on the page (or in a band
// pasted with it) with a name of its own, and the selection is never empty.
#include "Lists.h"
#include "RecordingHost.h"
#include "TextUtils.h"
#include "frxClass.h"
#include "frxDesgnCtrls.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

class TSelection : public IfrxDesignerSelection {
public:
    TfrxReport* R;
    TfrxPage* P;
    mutable TList Objs, Sel;
    TSelection(TfrxReport* r, TfrxPage* p) : R(r), P(p) {}
    TfrxReport* Report() const override { return R; }
    TfrxPage* Page() const override { return P; }
    TList* Objects() const override { return &Objs; }
    TList* SelectedObjects() const override { return &Sel; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    frxClass::Initialize();
    TfrxReport report(nullptr);
    report.EngineOptions()->SilentMode = true;
    auto* page = new TfrxReportPage(&report);
    page->SetName("Page1");
    auto* footer = new TfrxPageFooter(page);
    footer->SetName("PageFooter1");
    TSelection s(&report, page);
    TfrxClipboard clip(&s);
    std::string text = "#FR3 clipboard#\n\r" + std::string(reinterpret_cast<const char*>(data), size);
    int pasted = clip.PasteText(text);
    Check(pasted == s.Objs.Count(), "every pasted object is listed");
    Check(s.Sel.Count() > 0, "the selection is never empty");
    std::set<std::string> names;
    for (TfrxComponent* c : page->AllObjects()) {
        Check(c->Page() == page, "pasted objects are on the page");
        Check(c->Name().empty() || names.insert(UpperCase(c->Name())).second, "names are unique");
    }
    return 0;
}
