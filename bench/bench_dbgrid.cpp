// The data-aware grid over 100,000 student rows, 1280 x 800 off screen:
// opening (a new grid bound to the rows, laid out, its first frame), one
// full frame, 100 page-downs each with a repaint, a sort started by a mouse
// click on the name column's title (with the frame after it), and a footer
// sum over all rows. In the same run a QTableView over a QAbstractTableModel
// holding the same rows does the same but the sum, the yardstick.
#include "BenchGui.h"
#include "DBGridEh.h"
#include "Forms.h"
#include "GuiTesting.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <numeric>
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

void StartGui()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    GuiTest::Init();
}

// The column clicked to sort: the student's name.
constexpr int kSortColumn = 1;

// The rows' data set, sorted the way the program's query data sets sort
// (their Sort property runs the same code).
struct TSortableDataSet : TDataSet {
    using TDataSet::SetSortText;
    using TDataSet::SortText;
};

struct TGridFixture {
    std::unique_ptr<TSortableDataSet> Data;
    std::unique_ptr<TDataSource> Source;
    std::unique_ptr<TForm> Form;
    TDBGridEh* Grid = nullptr;
    std::unique_ptr<TBitmap> Frame;
    TGridFixture()
    {
        Data = std::make_unique<TSortableDataSet>();
        Data->FieldDefs()->Add("Id", ftInteger);
        Data->FieldDefs()->Add("Name", ftString, 20);
        Data->FieldDefs()->Add("Phone", ftString, 20);
        Data->FieldDefs()->Add("Car", ftString, 10);
        Data->FieldDefs()->Add("Passed", ftBoolean);
        Data->FieldDefs()->Add("Fee", ftFloat);
        Data->CreateDataSet();
        for (const TRow& r : Rows()) Data->AppendRecord({r.Id, r.Name, r.Phone, r.Car, r.Passed, r.Fee});
        Data->First();
        Source = std::make_unique<TDataSource>();
        Source->SetDataSet(Data.get());
        Frame = std::make_unique<TBitmap>(kWidth, kHeight);
        Open();
    }
    // A new form with a grid bound to the rows, shown, laid out and painted
    // once, as the list window opens it. A click on a title sorts by it.
    void Open()
    {
        Form.reset();
        Data->SetSortText("");
        Data->First();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, kWidth + 20, kHeight + 40);
        Grid = new TDBGridEh(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, kWidth, kHeight);
        Grid->SetOptionsEh(Grid->OptionsEh() + TDBGridEhOptions{dghAutoSortMarking});
        Grid->ColumnDefValues()->Title()->SetTitleButton(true);
        Grid->OnSortMarkingChanged = [this](TObject*) {
            TColumnEh* c = Grid->Columns()->Items(kSortColumn);
            TSortMarkerEh m = c->Title()->SortMarker();
            Data->SetSortText(m == smNoneEh ? "" : c->FieldName() + (m == smDownEh ? " ASC" : " DESC"));
        };
        Form->Show();
        Grid->SetDataSource(Source.get());
        Grid->SetFooterRowCount(1);
        Grid->Columns()->Items(5)->Footer()->SetValueType(fvtSum);
        QApplication::processEvents();
        Paint();
    }
    void Paint() { Grid->PaintTo(Frame->Canvas(), 0, 0); }
    void ClickSortTitle()
    {
        TRect r = Grid->CellRect(Grid->DataToRawColumn(kSortColumn), 0);
        GuiTest::Click(Grid, TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    }
    void ClearSorting()
    {
        Grid->Columns()->Items(kSortColumn)->Title()->SetSortMarker(smNoneEh);
        Data->SetSortText("");
        Data->First();
        QApplication::processEvents();
    }
};

TGridFixture& Grid() { return BenchGui::Fixture<TGridFixture>(); }

class TRowsModel : public QAbstractTableModel {
public:
    std::vector<int> Order = [] {
        std::vector<int> o(kRows);
        std::iota(o.begin(), o.end(), 0);
        return o;
    }();
    int rowCount(const QModelIndex&) const override { return kRows; }
    int columnCount(const QModelIndex&) const override { return 6; }
    static QVariant Display(const TRow& r, int column)
    {
        switch (column) {
        case 0: return r.Id;
        case 1: return QString::fromStdString(r.Name);
        case 2: return QString::fromStdString(r.Phone);
        case 3: return QString::fromStdString(r.Car);
        case 5: return r.Fee;
        default: return {};
        }
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const TRow& r = Rows()[size_t(Order[size_t(index.row())])];
        if (role == Qt::CheckStateRole && index.column() == 4) return r.Passed ? Qt::Checked : Qt::Unchecked;
        if (role != Qt::DisplayRole) return {};
        return Display(r, index.column());
    }
    // Sorts by the column's display text, as a view's header asks.
    void sort(int column, Qt::SortOrder order) override
    {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        std::vector<QString> keys;
        keys.reserve(Rows().size());
        for (const TRow& r : Rows()) keys.push_back(Display(r, column).toString());
        std::stable_sort(Order.begin(), Order.end(), [&](int a, int b) {
            int c = QString::compare(keys[size_t(a)], keys[size_t(b)]);
            return order == Qt::AscendingOrder ? c < 0 : c > 0;
        });
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
    void Unsort()
    {
        beginResetModel();
        std::iota(Order.begin(), Order.end(), 0);
        endResetModel();
    }
};

struct TViewFixture {
    std::unique_ptr<TRowsModel> Model;
    std::unique_ptr<QTableView> View;
    QImage Frame{kWidth, kHeight, QImage::Format_RGB32};
    TViewFixture() { Open(); }
    // A new view over a new model of the rows, shown, laid out and painted once.
    void Open()
    {
        View.reset();
        Model = std::make_unique<TRowsModel>();
        View = std::make_unique<QTableView>();
        View->setModel(Model.get());
        View->setSortingEnabled(true);
        View->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        View->resize(kWidth, kHeight);
        View->show();
        QApplication::processEvents();
        Paint();
    }
    void Paint() { View->render(&Frame); }
    void ClickSortTitle()
    {
        QHeaderView* header = View->horizontalHeader();
        QPoint p(header->sectionViewportPosition(kSortColumn) + header->sectionSize(kSortColumn) / 2,
                 header->height() / 2);
        QMouseEvent press(QEvent::MouseButtonPress, p, header->viewport()->mapToGlobal(p), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, p, header->viewport()->mapToGlobal(p), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(header->viewport(), &press);
        QApplication::sendEvent(header->viewport(), &release);
    }
    void ClearSorting()
    {
        View->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        Model->Unsort();
        QApplication::processEvents();
    }
};

TViewFixture& View() { return BenchGui::Fixture<TViewFixture>(); }

void BM_DBGridOpen(benchmark::State& state)
{
    TGridFixture& g = Grid();
    for (auto _ : state) g.Open();
}
BENCHMARK(BM_DBGridOpen)->Unit(benchmark::kMillisecond);

void BM_TableViewOpen(benchmark::State& state)
{
    TViewFixture& v = View();
    for (auto _ : state) v.Open();
}
BENCHMARK(BM_TableViewOpen)->Unit(benchmark::kMillisecond);

void BM_DBGridFrame(benchmark::State& state)
{
    TGridFixture& g = Grid();
    g.Data->First();
    for (auto _ : state) g.Paint();
    // QZ_KEEP_PICTURES=DIR keeps the frame, to look at what was measured.
    GuiTest::SavePng(g.Frame.get(), "bench-dbgrid-frame.png");
}
BENCHMARK(BM_DBGridFrame)->Unit(benchmark::kMillisecond);

void BM_TableViewFrame(benchmark::State& state)
{
    TViewFixture& v = View();
    v.View->verticalScrollBar()->setValue(0);
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
    QScrollBar* bar = v.View->verticalScrollBar();
    for (auto _ : state) {
        bar->setValue(0);
        for (int i = 0; i < 100; ++i) {
            bar->setValue(bar->value() + bar->pageStep());
            v.Paint();
        }
    }
}
BENCHMARK(BM_TableViewPageDowns)->Unit(benchmark::kMillisecond);

// From the click on the title to the sorted frame; the sorting is undone
// between the runs, outside the timing.
void BM_DBGridTitleSort(benchmark::State& state)
{
    TGridFixture& g = Grid();
    for (auto _ : state) {
        state.PauseTiming();
        g.ClearSorting();
        state.ResumeTiming();
        g.ClickSortTitle();
        g.Paint();
    }
    if (g.Data->SortText().empty()) state.SkipWithError("the click did not sort");
    g.Data->First();
    state.SetLabel("first: " + g.Data->FieldByName("Name")->AsString());
}
BENCHMARK(BM_DBGridTitleSort)->Unit(benchmark::kMillisecond);

void BM_TableViewTitleSort(benchmark::State& state)
{
    TViewFixture& v = View();
    for (auto _ : state) {
        state.PauseTiming();
        v.ClearSorting();
        state.ResumeTiming();
        v.ClickSortTitle();
        v.Paint();
    }
    if (v.View->horizontalHeader()->sortIndicatorSection() != kSortColumn)
        state.SkipWithError("the click did not sort");
    state.SetLabel("first: " + v.Model->data(v.Model->index(0, kSortColumn), Qt::DisplayRole).toString().toStdString());
}
BENCHMARK(BM_TableViewTitleSort)->Unit(benchmark::kMillisecond);

void BM_DBGridFooterSum(benchmark::State& state)
{
    TGridFixture& g = Grid();
    g.Grid->SumList()->SetActive(true);
    for (auto _ : state) g.Grid->SumList()->RecalculateAll();
    state.counters["sum"] = g.Grid->SumList()->SumCollection()->Items(0)->AggregateValue.ToDouble();
}
BENCHMARK(BM_DBGridFooterSum)->Unit(benchmark::kMillisecond);

} // namespace

QZ_BENCH_GUI_MAIN(StartGui)
