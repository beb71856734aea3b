// Any bytes as a stored column layout (the text of syscols.F06), applied to
// both grid wrappers over a small data set: the layout applies or stops at
// a bad width, never crashes, and the layout the grid then writes applies
// again to the same columns.
#include "DB.h"
#include "Forms.h"
#include "qzDBGrids.h"
#include "qzGridcx.h"
#include "qzStartup.h"
#include "cxGridDBTableView.h"

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

struct THarness {
    std::unique_ptr<TForm> Form;
    std::unique_ptr<TDataSet> Data;
    TqzGridcx* Gridcx = nullptr;
    TqzDBGrid* DBGrid = nullptr;

    THarness()
    {
        Data = std::make_unique<TDataSet>();
        Data->FieldDefs()->Add("Id", ftInteger);
        Data->FieldDefs()->Add("Name", ftString, 20);
        Data->FieldDefs()->Add("Sex", ftString, 6);
        Data->FieldDefs()->Add("Notes", ftMemo);
        Data->CreateDataSet();
        Data->Append();
        Data->FieldByName("Id")->SetAsInteger(1);
        Data->FieldByName("Name")->SetAsString("王伟");
        Data->Post();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 400, 200);
        Gridcx = static_cast<TqzGridcx*>(TqzGridcx::StaticClass()->Create(Form.get()));
        Gridcx->SetParent(Form.get());
        Gridcx->SetDataSet(Data.get());
        DBGrid = new TqzDBGrid(Form.get());
        DBGrid->SetParent(Form.get());
        DBGrid->DataSource()->SetDataSet(Data.get());
    }
};

std::string Columns(TqzGridcx* grid)
{
    std::string out;
    for (int i = 0; i < grid->View()->ColumnCount(); ++i) {
        TcxGridDBColumn* c = grid->View()->Columns(i);
        out += c->DataBinding()->FieldName() + (c->Visible() ? "+" : "-") + std::to_string(c->Width()) + " ";
    }
    return out;
}

std::string Columns(TqzDBGrid* grid)
{
    std::string out;
    for (int i = 0; i < grid->Columns()->Count(); ++i) {
        TColumnEh* c = grid->Columns()->Items(i);
        out += c->FieldName() + (c->Visible() ? "+" : "-") + std::to_string(c->Width()) + " ";
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    InitGui();
    qzStartup::StartUpLibraries();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static THarness* h = new THarness;
    const std::string text(reinterpret_cast<const char*>(data), size);

    h->Gridcx->SetLayout(text);
    Check(h->Gridcx->View()->ColumnCount() <= 4, "one column per field");
    const std::string written = h->Gridcx->Layout();
    const std::string shown = Columns(h->Gridcx);
    h->Gridcx->SetLayout(written);
    Check(Columns(h->Gridcx) == shown, "the grid-view wrapper's own layout applies again");

    h->DBGrid->SetLayout(text);
    Check(h->DBGrid->Columns()->Count() <= 4, "one column per field");
    const std::string writtenEh = h->DBGrid->GetLayout();
    const std::string shownEh = Columns(h->DBGrid);
    h->DBGrid->SetLayout(writtenEh);
    Check(Columns(h->DBGrid) == shownEh, "the data-aware wrapper's own layout applies again");
    return 0;
}
