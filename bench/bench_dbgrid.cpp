// The data-aware grid over 100,000 student rows, 1280 x 800 off screen: one
// full frame, 100 page-downs each with a repaint, and a footer sum over all
// rows. In the same run a QTableView over a QAbstractTableModel holding the
// same rows does the frame and the page-downs, the yardstick.
#include "DBGridEh.h"
#include "Forms.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kWidth = 1280, kHeight = 800;

struct TRow {
    int Id;
    std::string Name, Phone, Car;
    bool Passed;
    double Fee;
};

const std::vector<TRow>& Rows()
{
    static std::vector<TRow> rows = [] {
        const char* surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴"};
        const char* given[] = {"伟", "芳", "娜", "秀英", "敏", "静", "丽", "强", "磊", "军", "洋", "勇"};
        std::vector<TRow> r;
        r.reserve(kRows);
        for (int i = 1; i <= kRows; ++i)
            r.push_back({i, std::string(surnames[i % 10]) + given[i % 12] + given[(i / 12) % 12],
                         "139" + std::to_string(10000000 + i), "C1", i % 3 == 0, 1000.0 + i % 997});
        return r;
    }();
    return rows;
}

void InitGuiOnce()
{
    static bool done = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        InitGui();
        Application->Initialize();
        return true;
    }();
    (void)done;
}

struct TGridFixture {
    std::unique_ptr<TForm> Form;
    std::unique_ptr<TDataSet> Data;
    std::unique_ptr<TDataSource> Source;
    TDBGridEh* Grid = nullptr;
    std::unique_ptr<TBitmap> Frame;
    TGridFixture()
    {
        InitGuiOnce();
        Data = std::make_unique<TDataSet>();
        Data->FieldDefs()->Add("Id", ftInteger);
        Data->FieldDefs()->Add("Name", ftString, 20);
        Data->FieldDefs()->Add("Phone", ftString, 20);
        Data->FieldDefs()->Add("Car", ftString, 10);
        Data->FieldDefs()->Add("Passed", ftBoolean);
        Data->FieldDefs()->Add("Fee", ftFloat);
        Data->CreateDataSet();
        for (const TRow& r : Rows()) Data->AppendRecord({r.Id, r.Name, r.Phone, r.Car, r.Passed, r.Fee});
        Data->First();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, kWidth + 20, kHeight + 40);
        Grid = new TDBGridEh(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, kWidth, kHeight);
        Source = std::make_unique<TDataSource>();
        Source->SetDataSet(Data.get());
        Form->Show();
        Grid->SetDataSource(Source.get());
        Grid->SetFooterRowCount(1);
        Grid->Columns()->Items(5)->Footer()->SetValueType(fvtSum);
        Frame = std::make_unique<TBitmap>(kWidth, kHeight);
    }
    void Paint() { Grid->PaintTo(Frame->Canvas(), 0, 0); }
};

TGridFixture& Grid()
{
    static TGridFixture f;
    return f;
}

class TRowsModel : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex&) const override { return kRows; }
    int columnCount(const QModelIndex&) const override { return 6; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const TRow& r = Rows()[size_t(index.row())];
        if (role == Qt::CheckStateRole && index.column() == 4) return r.Passed ? Qt::Checked : Qt::Unchecked;
        if (role != Qt::DisplayRole) return {};
        switch (index.column()) {
        case 0: return r.Id;
        case 1: return QString::fromStdString(r.Name);
        case 2: return QString::fromStdString(r.Phone);
        case 3: return QString::fromStdString(r.Car);
        case 5: return r.Fee;
        default: return {};
        }
    }
};

struct TViewFixture {
    TRowsModel Model;
    QTableView View;
    QImage Frame{kWidth, kHeight, QImage::Format_RGB32};
    TViewFixture()
    {
        InitGuiOnce();
        View.setModel(&Model);
        View.resize(kWidth, kHeight);
        View.show();
    }
    void Paint() { View.render(&Frame); }
};

TViewFixture& View()
{
    static TViewFixture f;
    return f;
}

void BM_DBGridFrame(benchmark::State& state)
{
    TGridFixture& g = Grid();
    g.Data->First();
    for (auto _ : state) g.Paint();
    // QZ_BENCH_FRAME=<file.bmp> keeps the frame, to look at what was measured.
    if (const char* file = std::getenv("QZ_BENCH_FRAME")) g.Frame->SaveToFile(file);
}
BENCHMARK(BM_DBGridFrame)->Unit(benchmark::kMillisecond);

void BM_TableViewFrame(benchmark::State& state)
{
    TViewFixture& v = View();
    v.View.verticalScrollBar()->setValue(0);
    for (auto _ : state) v.Paint();
}
BENCHMARK(BM_TableViewFrame)->Unit(benchmark::kMillisecond);

void BM_DBGridPageDowns(benchmark::State& state)
{
    TGridFixture& g = Grid();
    int page = g.Grid->VisibleDataRowCount();
    for (auto _ : state) {
        g.Data->First();
        for (int i = 0; i < 100; ++i) {
            g.Data->MoveBy(page);
            g.Paint();
        }
    }
}
BENCHMARK(BM_DBGridPageDowns)->Unit(benchmark::kMillisecond);

void BM_TableViewPageDowns(benchmark::State& state)
{
    TViewFixture& v = View();
    QScrollBar* bar = v.View.verticalScrollBar();
    for (auto _ : state) {
        bar->setValue(0);
        for (int i = 0; i < 100; ++i) {
            bar->setValue(bar->value() + bar->pageStep());
            v.Paint();
        }
    }
}
BENCHMARK(BM_TableViewPageDowns)->Unit(benchmark::kMillisecond);

void BM_DBGridFooterSum(benchmark::State& state)
{
    TGridFixture& g = Grid();
    g.Grid->SumList()->SetActive(true);
    for (auto _ : state) g.Grid->SumList()->RecalculateAll();
    state.counters["sum"] = g.Grid->SumList()->SumCollection()->Items(0)->AggregateValue.ToDouble();
}
BENCHMARK(BM_DBGridFooterSum)->Unit(benchmark::kMillisecond);

} // namespace
