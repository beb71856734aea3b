// Any bytes as a prepared-report file (.fp3). Loading raises or succeeds; a
// load that raises leaves no pages behind; what loads can have every page
// rebuilt and drawn, and saves and loads again with the same page count.
#include "frxClass.h"
#include "frxPreviewPages.h"

#include "Graphics.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TfrxReport report;
    report.EngineOptions()->SilentMode = true;
    auto* pages = static_cast<TfrxPreviewPages*>(report.PreviewPages());
    TMemoryStream in;
    in.Write(data, int64_t(size));
    in.SetPosition(0);
    try {
        pages->LoadFromStream(&in);
    } catch (const std::exception&) {
        Check(pages->Count() == 0, "a failed load left pages");
        return 0;
    }
    const int count = pages->Count();
    TBitmap bmp(64, 64);
    for (int i = 0; i < count && i < 8; ++i) {
        try {
            pages->DrawPage(i, bmp.Canvas(), 0.1, 0.1, 0, 0);
        } catch (const std::exception&) {
            // A page whose objects hold values no object takes is reported, never a crash.
        }
    }
    TMemoryStream out;
    pages->SaveToStream(&out);
    out.SetPosition(0);
    TfrxReport again;
    auto* pages2 = static_cast<TfrxPreviewPages*>(again.PreviewPages());
    pages2->LoadFromStream(&out);
    Check(pages2->Count() == count, "saved pages load back to another count");
    return 0;
}
