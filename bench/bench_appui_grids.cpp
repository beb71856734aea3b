// The application's grid-view wrapper and its CSV export over the student
// list: 100,000 students opened with the list's query on the built-in file
// engine.
//  - Opening: the query opened, the wrapper made over it with the main
//    window's stored layout (id 1006) applied, and one frame painted, 1280 x
//    800 off screen; the yardstick is a QTableView over a
//    QAbstractTableModel filled from the same query, in the same size and
//    column widths, opened and painted once.
//  - CSV: the query opened and every row written as CSV; the yardstick is the
//    sqlite3 shell writing the same query with -csv.
#include "ADODB.h"
#include "BenchStudents.h"
#include "DataExporter.h"
#include "Database.h"
#include "Forms.h"
#include "cxGridDBTableView.h"
#include "cxGridTableLayout.h"
#include "qzGridcx.h"
#include "qzStartup.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

using namespace BenchStudents;

constexpr int kWidth = 1280, kHeight = 800;
constexpr int kLayoutId = 1006;
// The main window's student columns as a stored layout: shown ones with
// their widths, the rest hidden.
const char* const kLayout =
    "Id=True50\r\nName=True80\r\nSex=True40\r\nIdcode=True150\r\nLinkTel=True100\r\nSigndate=True90\r\n"
    "Drivetype=True60\r\nSalemanName=True80\r\nAddr=True200\r\nNative=True60\r\nNotes=True120\r\n"
    "SalemanId=False64\r\nPassinfo=False64\r\nAppsinfo=False64\r\n";

void InitOnce()
{
    static bool done = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        InitGui();
        Application->Initialize();
        qzStartup::StartUpLibraries();
        Database::Initialize();
        if (!GDatabase->Connect(JetString())) std::exit(1);
        GDatabase->ExecSQL("delete from syscols where F02=:Id", {Database::MakeParam("Id", kLayoutId)});
        GDatabase->ExecSQL("insert into syscols (F02, F06) values (:Id, :S)",
                           {Database::MakeParam("Id", kLayoutId), Database::MakeParam("S", std::string(kLayout))});
        // The school's file goes with the run.
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(std::filesystem::path(BenchStudents::Database()).parent_path(), ec);
        });
        return true;
    }();
    (void)done;
}

std::unique_ptr<TADOQuery> OpenStudents()
{
    auto q = std::make_unique<TADOQuery>();
    q->SetConnection(GDatabase->Connection());
    q->SetLockType(ltBatchOptimistic);
    q->SQL()->SetText(kStudentQuery);
    q->Open();
    if (q->RecordCount() != kStudents) {
        fprintf(stderr, "the student list has %d rows\n", q->RecordCount());
        std::exit(1);
    }
    return q;
}

// ---- ours -------------------------------------------------------------------------------------------

struct TWrapperRun {
    std::unique_ptr<TForm> Form;
    std::unique_ptr<TADOQuery> Query;
    TqzGridcx* Grid = nullptr;
    std::unique_ptr<TBitmap> Frame = std::make_unique<TBitmap>(kWidth, kHeight);

    void Open()
    {
        Close();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, kWidth + 20, kHeight + 40);
        Form->Show();
        Query = OpenStudents();
        Grid = TqzGridcx::CreateWithLayout(Form.get(), kLayoutId, Query.get(), Form.get());
        Grid->SetAlign(alNone);
        Grid->SetBounds(0, 0, kWidth, kHeight);
        Grid->PaintTo(Frame->Canvas(), 0, 0);
    }
    void Close()
    {
        Form.reset();
        Query.reset();
        Grid = nullptr;
    }
};

// ---- the yardstick ------------------------------------------------------------------------------------

class TRowsModel : public QAbstractTableModel {
public:
    std::vector<std::vector<QString>> Rows;
    QStringList Captions;
    std::vector<TField*> Fields;

    void Load(TDataSet* AData)
    {
        beginResetModel();
        Rows.clear();
        Captions.clear();
        Fields.clear();
        for (int i = 0; i < AData->FieldCount(); ++i) {
            Fields.push_back(AData->Fields()->Fields(i));
            Captions << QString::fromStdString(Fields.back()->DisplayName());
        }
        Rows.reserve(size_t(AData->RecordCount()));
        AData->DisableControls();
        for (AData->First(); !AData->Eof(); AData->Next()) {
            std::vector<QString> row;
            row.reserve(Fields.size());
            for (TField* f : Fields) row.push_back(QString::fromStdString(f->DisplayText()));
            Rows.push_back(std::move(row));
        }
        AData->First();
        AData->EnableControls();
        endResetModel();
    }
    int rowCount(const QModelIndex&) const override { return int(Rows.size()); }
    int columnCount(const QModelIndex&) const override { return int(Fields.size()); }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole) return {};
        return Rows[size_t(index.row())][size_t(index.column())];
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
        return Captions.value(section);
    }
};

struct TTableViewRun {
    std::unique_ptr<TADOQuery> Query;
    std::unique_ptr<TRowsModel> Model;
    std::unique_ptr<QTableView> View;
    QImage Frame{kWidth, kHeight, QImage::Format_RGB32};

    // The columns the grid shows, at its widths and row height.
    void Open(const TWrapperRun& grid)
    {
        Close();
        Query = OpenStudents();
        Model = std::make_unique<TRowsModel>();
        Model->Load(Query.get());
        View = std::make_unique<QTableView>();
        View->setModel(Model.get());
        View->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        View->verticalHeader()->setDefaultSectionSize(
            grid.Grid->View()->ViewInfo()->RowsViewInfo()->GetDataRowHeight());
        for (int i = 0; i < int(Model->Fields.size()); ++i) {
            TcxGridDBColumn* column = grid.Grid->View()->GetColumnByFieldName(Model->Fields[size_t(i)]->FieldName());
            if (!column || !column->Visible()) View->setColumnHidden(i, true);
            else View->setColumnWidth(i, column->Width());
        }
        View->resize(kWidth, kHeight);
        View->show();
        View->render(&Frame);
    }
    void Close()
    {
        View.reset();
        Model.reset();
        Query.reset();
    }
};

TWrapperRun& Wrapper()
{
    static TWrapperRun* run = [] {
        InitOnce();
        return new TWrapperRun;
    }();
    return *run;
}

// ---- the runs -------------------------------------------------------------------------------------------

void BM_GridcxOpenWithLayout(benchmark::State& state)
{
    TWrapperRun& run = Wrapper();
    for (auto _ : state) run.Open();
    state.counters["rows"] = run.Grid->RowCount();
    state.counters["shown"] = run.Grid->View()->VisibleColumnCount();
}
BENCHMARK(BM_GridcxOpenWithLayout)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TableViewOpen(benchmark::State& state)
{
    TWrapperRun& grid = Wrapper();
    if (!grid.Grid) grid.Open();
    TTableViewRun run;
    for (auto _ : state) run.Open(grid);
    state.counters["rows"] = run.Model->rowCount({});
}
BENCHMARK(BM_TableViewOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

std::string ScratchCsv(const char* name)
{
    return (std::filesystem::path(BenchStudents::Database()).parent_path() / name).string();
}

void BM_ExportCsv(benchmark::State& state)
{
    InitOnce();
    const std::string file = ScratchCsv("students.csv");
    for (auto _ : state) {
        std::unique_ptr<TADOQuery> query = OpenStudents();
        std::vector<DataExporter::TExportColumn> columns;
        for (int i = 0; i < query->FieldCount(); ++i)
            columns.push_back({query->Fields()->Fields(i)->FieldName(), query->Fields()->Fields(i)});
        DataExporter::WriteFile(file, query.get(), columns, DataExporter::efCsv);
    }
    state.counters["bytes"] = double(std::filesystem::file_size(file));
    std::filesystem::remove(file);
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Sqlite3ShellCsv(benchmark::State& state)
{
    InitOnce();
    const std::string file = ScratchCsv("students-shell.csv");
    const std::string cmd = "sqlite3 -csv -header '" + BenchStudents::Database() + "' \"" + kStudentQuery + "\" > '" + file + "'";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0) state.SkipWithError("the sqlite3 shell failed");
    state.counters["bytes"] = double(std::filesystem::file_size(file));
    std::filesystem::remove(file);
}
BENCHMARK(BM_Sqlite3ShellCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
