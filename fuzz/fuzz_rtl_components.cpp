// Any bytes as a component stream read into a test component with every kind
// of property, collection, defined property and child: reading raises
// EReadError or succeeds; what reads writes, reads and writes again the same.
#include "../platform/rtl/tests/ComponentStreamsTestBox.h"
#include "SysUtils.h"

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

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool registered = (RegisterClass(TStreamBox::StaticClass()), true);
    (void)registered;
    if (const char* out = std::getenv("FUZZ_SEED_OUT")) {
        std::unique_ptr<TStreamBox> tree(MakeTree());
        std::string seed = Write(tree.get());
        if (FILE* f = std::fopen(out, "wb")) {
            std::fwrite(seed.data(), 1, seed.size(), f);
            std::fclose(f);
        }
    }
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<TComponent> made;
    try {
        TStringStream in(bytes);
        made.reset(in.ReadComponent(nullptr));
    } catch (const EFilerError&) {
        return 0;   // a damaged stream raises EReadError (EClassNotFound for an unknown class)
    }
    std::string first;
    try {
        first = Write(made.get());
    } catch (const EWriteError&) {
        return 0;   // a value read that has no stored form (e.g. a nested array)
    }
    TStringStream again(first);
    std::unique_ptr<TComponent> copy(again.ReadComponent(nullptr));
    Check(Write(copy.get()) == first, "write, read, write gives the same bytes");

    // Read into an existing instance as well: it must end up idle.
    TStreamBox target;
    try {
        TStringStream in(bytes);
        in.ReadComponent(&target);
    } catch (const EFilerError&) {
    }
    TComponentState state = target.ComponentState();
    Check(!state.Contains(csLoading) && !state.Contains(csReading), "a read leaves nothing loading");
    for (int i = 0; i < target.ComponentCount(); ++i) {
        TComponentState s = target.Components(i)->ComponentState();
        Check(!s.Contains(csLoading) && !s.Contains(csReading), "a read leaves no child loading");
    }
    return 0;
}
