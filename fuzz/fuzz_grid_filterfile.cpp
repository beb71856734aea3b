// Any bytes as a *.flt file loaded into the filter builder: the load either
// succeeds or raises and leaves the filter being edited as it was; a loaded
// filter saves (or is refused as incomplete), and what it saves loads again
// and saves the same bytes.
#include "FilterTesting.h"
#include "Forms.h"
#include "Streams.h"
#include "cxDateEdit.h"
#include "cxFilterControl.h"
#include "cxSpinEdit.h"
#include "cxTextEdit.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

std::string Save(TcxCustomFilterControl* C)
{
    TStringStream s;
    C->SaveToStream(&s);
    return s.DataString();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    InitGui();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TcxFilterTestLink* link = [] {
        auto* l = new TcxFilterTestLink();
        l->AddItem("text", 0, TcxTextEditProperties::StaticClass(), TcxStringValueType::Class());
        l->AddItem("number", 1, TcxSpinEditProperties::StaticClass(), TcxIntegerValueType::Class());
        l->AddItem("date", 2, TcxDateEditProperties::StaticClass(), TcxDateTimeValueType::Class());
        l->AddItem("none", 3, nullptr, nullptr);
        return l;
    }();
    TcxFilterControl control(nullptr);
    control.SetLinkComponent(link);
    control.AddCondition(nullptr);
    const std::string before = Save(&control);
    TStringStream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
        control.LoadFromStream(&in);
    } catch (const Exception&) {
        Check(Save(&control) == before, "a failed load changed the filter being edited");
        return 0;
    }
    std::string first;
    try {
        first = Save(&control);
    } catch (const EcxFilterControlError&) {
        return 0;   // an incomplete or invalid row: refused, nothing written
    }
    TStringStream again(first);
    control.LoadFromStream(&again);
    Check(Save(&control) == first, "a saved filter does not load and save to the same bytes");
    return 0;
}
