// Any bytes as a text or VCLDBIF stream pasted into a grid over a small data
// set: the import ends normally, quietly (a refused value is not ignored) or
// with one of the readers' format errors. The data set's controls are on
// again afterwards, nothing is left in edit state but a record being edited,
// and no more records appear than the input has bytes.
#include "fuzz_gui_harness.h"

#include "DBGridEhImpExp.h"
#include "DBGridTesting.h"
#include "RecordingHost.h"
#include "Streams.h"

#include <cstdint>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static auto host = std::make_shared<TRecordingHost>();
    if (size == 0) return 0;
    uint8_t mode = data[0];
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    auto ds = DBGridTest::FiveStudents();
    static std::unique_ptr<DBGridTest::TGridHost> grid;
    if (!grid) grid = std::make_unique<DBGridTest::TGridHost>(ds.get());
    SetHostServices(host);   // after the grid's set-up, which installs the GUI's host
    grid->Source->SetDataSet(ds.get());
    TDBGridEh* g = grid->Grid;
    g->SetOptions(g->Options() + TDBGridOptions{dgMultiSelect});
    ds->MoveBy((mode >> 4) & 7);
    g->SetSelectedIndex((mode >> 2) & 3);
    bool all = false;
    switch ((mode >> 1) & 1 ? (mode >> 2) & 3 : 0) {
    case 1: ds->Insert(); break;
    case 2: all = true; break;
    case 3: g->Selection()->Rows()->SetCurrentRowSelected(true); break;
    default: break;
    }
    int before = ds->RecordCount();
    TStringStream s(bytes);
    TClass reader = mode & 1 ? TDBGridEhImportAsVCLDBIF::StaticClass() : TDBGridEhImportAsText::StaticClass();
    try {
        DBGridEhImpExp::ImportGridFromStream(reader, g, &s, all);
    } catch (const EAbort&) {
    } catch (const EDatabaseError&) {
    } catch (const Exception& e) {
        Check(e.Message() == DBGridEhImpExp::SInvalidTextFormat || e.Message() == DBGridEhImpExp::SInvalidVCLDBIF,
              "a reader fails only with its format error");
    }
    Check(!ds->ControlsDisabled(), "the controls are on again");
    if (ds->State() != dsBrowse) ds->Cancel();
    Check(ds->RecordCount() <= before + int(size), "no more records than the input has bytes");
    g->Selection()->Clear();
    grid->Source->SetDataSet(nullptr);
    host->Calls.clear();
    return 0;
}
