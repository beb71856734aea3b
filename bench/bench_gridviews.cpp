// The data-aware table view of the grid views over the student list: 100,000
// students opened with the list's query on the built-in file engine, bound
// through a data source, 1280 x 800 off screen. Measured: opening and
// binding, one full frame, 100 page-downs each with a repaint, and a sort
// started by a mouse click on a text column's header (with the frame after
// it). After each page-down the event loop brings the window up to date, as
// the user would see it, before the frame is painted. In the same run a
// QTableView over a QAbstractTableModel holding the same rows, in the same
// size, font, column widths and row height, does the same: the yardstick.
#include "ADODB.h"
#include "BenchGui.h"
#include "BenchStudents.h"
#include "Forms.h"
#include "GuiTesting.h"
#include "StringLists.h"
#include "cxEditorsStartup.h"
#include "cxFoundationStartup.h"
#include "cxGrid.h"
#include "cxGridDBTableView.h"
#include "cxGridLevel.h"
#include "cxGridStartup.h"
#include "cxGridTableLayout.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <vector>

namespace {

using namespace BenchStudents;

constexpr int kWidth = 1280, kHeight = 800;
constexpr int kPageDowns = 100;
// The text column clicked to sort: the student's name.
const char* const kSortField = "Name";

// The columns shown, in this order: the student list's own.
const char* const kFields[] = {"Id",       "Name",      "Sex",         "Idcode", "LinkTel", "Signdate",
                               "Drivetype", "SalemanName", "Addr", "Native",  "Notes"};
constexpr int kColumns = int(sizeof kFields / sizeof kFields[0]);

void StartGui()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    GuiTest::Init();
    cxFoundationStartup::StartUp();
    cxEditorsStartup::StartUp();
    cxGridStartup::StartUp();
    // Freed last, after the fixtures that use the libraries.
    BenchGui::AtEnd().push_back([] {
        cxGridStartup::ShutDown();
        cxEditorsStartup::ShutDown();
        cxFoundationStartup::ShutDown();
    });
}

// The students' list as the program opens it.
std::unique_ptr<TADOQuery> OpenStudents(TADOConnection& AConnection)
{
    auto q = std::make_unique<TADOQuery>();
    q->SetConnection(&AConnection);
    q->SetLockType(ltBatchOptimistic);
    q->SQL()->SetText(kStudentQuery);
    q->Open();
    if (q->RecordCount() != kStudents) {
        fprintf(stderr, "the student list has %d rows\n", q->RecordCount());
        std::exit(1);
    }
    return q;
}

struct TConnection {
    TADOConnection Connection;
    TConnection()
    {
        Connection.SetConnectionString(JetString());
        Connection.Open();
    }
};

TADOConnection& Connection() { return BenchGui::Fixture<TConnection>().Connection; }

// ---- ours: a data-aware table view in a grid ----------------------------------------------------------

struct TGridFixture {
    std::unique_ptr<TForm> Form;
    std::unique_ptr<TADOQuery> Query;
    std::unique_ptr<TDataSource> Source;
    TcxGrid* Grid = nullptr;
    TcxGridDBTableView* View = nullptr;
    std::unique_ptr<TBitmap> Frame;

    TGridFixture() { Open(); }
    ~TGridFixture() { Close(); }
    // Opens the list and binds a new grid to it, laid out and ready to paint.
    void Open()
    {
        Close();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, kWidth + 20, kHeight + 40);
        Grid = static_cast<TcxGrid*>(TcxGrid::StaticClass()->Create(Form.get()));
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, kWidth, kHeight);
        View = static_cast<TcxGridDBTableView*>(Grid->CreateView(TcxGridDBTableView::StaticClass()));
        Grid->RootLevel()->Add()->SetGridView(View);
        Form->Show();
        Query = OpenStudents(Connection());
        Source = std::make_unique<TDataSource>();
        Source->SetDataSet(Query.get());
        View->BeginUpdate();
        for (const char* field : kFields) View->CreateColumn()->DataBinding()->SetFieldName(field);
        View->DataController()->SetDataSource(Source.get());
        View->EndUpdate();
        GuiTest::ProcessEvents();
        View->ViewInfo()->Recalculate();
    }
    void Close()
    {
        Form.reset();
        Source.reset();
        Query.reset();
        Grid = nullptr;
        View = nullptr;
    }
    void Paint()
    {
        if (!Frame) Frame = std::make_unique<TBitmap>(kWidth, kHeight);
        Grid->PaintTo(Frame->Canvas(), 0, 0);
    }
    // The key, then the window brought up to date as the event loop would.
    void PageDown()
    {
        WORD key = VK_NEXT;
        View->Controller()->KeyDown(key, {});
        QApplication::processEvents();
    }
    TcxGridDBColumn* SortColumn() const { return View->GetColumnByFieldName(kSortField); }
    // A click in the middle of the sort column's header, through the mouse on the view's site.
    void ClickSortHeader()
    {
        TcxGridHeaderViewInfo* header = View->ViewInfo()->HeaderViewInfo();
        for (int i = 0; i < header->Count(); ++i) {
            TcxGridColumnHeaderViewInfo* item = header->Items(i);
            if (item->Column() != SortColumn()) continue;
            TRect r = item->Bounds;
            GuiTest::Click(View->Site(), TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
            return;
        }
        fprintf(stderr, "the sort column has no header\n");
        std::exit(1);
    }
    void ClearSorting()
    {
        View->DataController()->ClearSorting(false);
        View->Controller()->GoToFirst();
        GuiTest::ProcessEvents();
    }
    // The first visible row's text in the sort column.
    std::string TopText()
    {
        TcxCustomGridRecord* r = View->ViewData()->GetRecordByIndex(View->Controller()->TopRecordIndex());
        return r ? r->GetDisplayText(SortColumn()->Index()) : std::string();
    }
};

TGridFixture& Grid() { return BenchGui::Fixture<TGridFixture>(); }

// ---- the yardstick: a QTableView over a QAbstractTableModel ---------------------------------------------

class TRowsModel : public QAbstractTableModel {
public:
    std::vector<std::vector<QString>> Rows;   // [row][column], as the data set's display texts
    std::vector<int> Order;                    // shown row -> row
    QStringList Captions;

    void Load(TDataSet* AData)
    {
        beginResetModel();
        Rows.clear();
        Rows.reserve(size_t(AData->RecordCount()));
        Captions.clear();
        std::vector<TField*> fields;
        for (const char* name : kFields) {
            fields.push_back(AData->FieldByName(name));
            Captions << QString::fromStdString(fields.back()->DisplayName());
        }
        AData->DisableControls();
        for (AData->First(); !AData->Eof(); AData->Next()) {
            std::vector<QString> row;
            row.reserve(fields.size());
            for (TField* f : fields) row.push_back(QString::fromStdString(f->DisplayText()));
            Rows.push_back(std::move(row));
        }
        AData->First();
        AData->EnableControls();
        Order.resize(Rows.size());
        std::iota(Order.begin(), Order.end(), 0);
        endResetModel();
    }
    int rowCount(const QModelIndex&) const override { return int(Rows.size()); }
    int columnCount(const QModelIndex&) const override { return kColumns; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole) return {};
        return Rows[size_t(Order[size_t(index.row())])][size_t(index.column())];
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole) return {};
        if (orientation == Qt::Horizontal) return Captions.value(section);
        return {};
    }
    void sort(int column, Qt::SortOrder order) override
    {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        QModelIndexList before = persistentIndexList();
        std::vector<int> oldOrder = Order;
        std::stable_sort(Order.begin(), Order.end(), [&](int A, int B) {
            int c = QString::compare(Rows[size_t(A)][size_t(column)], Rows[size_t(B)][size_t(column)]);
            return order == Qt::AscendingOrder ? c < 0 : c > 0;
        });
        if (!before.isEmpty()) {
            std::vector<int> shownAt(Order.size());
            for (size_t i = 0; i < Order.size(); ++i) shownAt[size_t(Order[i])] = int(i);
            QModelIndexList after;
            for (const QModelIndex& i : before)
                after << index(shownAt[size_t(oldOrder[size_t(i.row())])], i.column());
            changePersistentIndexList(before, after);
        }
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
    std::unique_ptr<TADOQuery> Query;
    std::unique_ptr<TRowsModel> Model;
    std::unique_ptr<QTableView> View;
    QImage Frame{kWidth, kHeight, QImage::Format_RGB32};

    TViewFixture() { Open(); }
    ~TViewFixture() { Close(); }
    // The same rows, size, font, column widths and row height as the grid's view.
    void Open()
    {
        Close();
        TGridFixture& g = Grid();
        Query = OpenStudents(Connection());
        Model = std::make_unique<TRowsModel>();
        Model->Load(Query.get());
        View = std::make_unique<QTableView>();
        QFont font(QString::fromStdString(g.Grid->Font()->Name()));
        font.setPixelSize(std::abs(g.Grid->Font()->Height()));
        View->setFont(font);
        View->setModel(Model.get());
        View->setSortingEnabled(false);
        View->horizontalHeader()->setSortIndicatorShown(true);
        View->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        View->horizontalHeader()->setSectionsClickable(true);
        QObject::connect(View->horizontalHeader(), &QHeaderView::sectionClicked, View.get(), [this](int section) {
            Qt::SortOrder order = View->horizontalHeader()->sortIndicatorSection() == section &&
                                          View->horizontalHeader()->sortIndicatorOrder() == Qt::AscendingOrder
                                      ? Qt::DescendingOrder
                                      : Qt::AscendingOrder;
            View->horizontalHeader()->setSortIndicator(section, order);
            Model->sort(section, order);
        });
        View->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        View->verticalHeader()->setDefaultSectionSize(g.View->ViewInfo()->RowsViewInfo()->GetDataRowHeight());
        for (int i = 0; i < kColumns; ++i) View->setColumnWidth(i, g.View->Columns(i)->Width());
        View->resize(kWidth, kHeight);
        View->show();
        View->setCurrentIndex(Model->index(0, 0));
        QApplication::processEvents();
    }
    void Close()
    {
        View.reset();
        Model.reset();
        Query.reset();
    }
    void Paint() { View->render(&Frame); }
    void PageDown()
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(View.get(), &press);
        QApplication::processEvents();
    }
    void ClickSortHeader()
    {
        QHeaderView* header = View->horizontalHeader();
        int section = 1;
        QPoint p(header->sectionViewportPosition(section) + header->sectionSize(section) / 2, header->height() / 2);
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
        View->setCurrentIndex(Model->index(0, 0));
        QApplication::processEvents();
    }
    std::string TopText()
    {
        QModelIndex i = View->indexAt(QPoint(1, 1));
        return Model->data(Model->index(i.row(), 1), Qt::DisplayRole).toString().toStdString();
    }
};

TViewFixture& View() { return BenchGui::Fixture<TViewFixture>(); }

// QZ_KEEP_PICTURES=DIR keeps the frames measured as bench-gridviews-grid-*.png and
// bench-gridviews-view-*.png.
void KeepFrame(TGridFixture& g, const char* AName)
{
    GuiTest::SavePng(g.Frame.get(), std::string("bench-gridviews-grid-") + AName + ".png");
}
void KeepFrame(TViewFixture& v, const char* AName)
{
    const std::string dir = GuiTest::KeepPicturesDir();
    if (!dir.empty()) v.Frame.save(QString::fromStdString(dir + "bench-gridviews-view-" + AName + ".png"));
}

// ---- the runs ---------------------------------------------------------------------------------------

void BM_GridViewOpenBind(benchmark::State& state)
{
    TGridFixture& g = Grid();
    for (auto _ : state) g.Open();
    state.counters["records"] = g.View->DataController()->GetRecordCount();
}
BENCHMARK(BM_GridViewOpenBind)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TableViewOpenBind(benchmark::State& state)
{
    TViewFixture& v = View();
    for (auto _ : state) v.Open();
    state.counters["records"] = v.Model->rowCount({});
}
BENCHMARK(BM_TableViewOpenBind)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GridViewFrame(benchmark::State& state)
{
    TGridFixture& g = Grid();
    g.View->Controller()->GoToFirst();
    for (auto _ : state) g.Paint();
    KeepFrame(g, "frame");
}
BENCHMARK(BM_GridViewFrame)->Unit(benchmark::kMillisecond);

void BM_TableViewFrame(benchmark::State& state)
{
    TViewFixture& v = View();
    v.View->setCurrentIndex(v.Model->index(0, 0));
    for (auto _ : state) v.Paint();
    KeepFrame(v, "frame");
}
BENCHMARK(BM_TableViewFrame)->Unit(benchmark::kMillisecond);

void BM_GridViewPageDowns(benchmark::State& state)
{
    TGridFixture& g = Grid();
    for (auto _ : state) {
        g.View->Controller()->GoToFirst();
        for (int i = 0; i < kPageDowns; ++i) {
            g.PageDown();
            g.Paint();
        }
    }
    state.counters["focused_row"] = g.View->Controller()->GetFocusedRowIndex();
    KeepFrame(g, "pagedowns");
}
BENCHMARK(BM_GridViewPageDowns)->Unit(benchmark::kMillisecond);

void BM_TableViewPageDowns(benchmark::State& state)
{
    TViewFixture& v = View();
    for (auto _ : state) {
        v.View->setCurrentIndex(v.Model->index(0, 0));
        for (int i = 0; i < kPageDowns; ++i) {
            v.PageDown();
            v.Paint();
        }
    }
    state.counters["focused_row"] = v.View->currentIndex().row();
    KeepFrame(v, "pagedowns");
}
BENCHMARK(BM_TableViewPageDowns)->Unit(benchmark::kMillisecond);

// From the click on the header to the sorted frame; the sorting is undone
// between the runs, outside the timing.
void BM_GridViewHeaderSort(benchmark::State& state)
{
    TGridFixture& g = Grid();
    for (auto _ : state) {
        state.PauseTiming();
        g.ClearSorting();
        state.ResumeTiming();
        g.ClickSortHeader();
        g.Paint();
    }
    if (g.SortColumn()->SortOrder() != soAscending) state.SkipWithError("the click did not sort");
    KeepFrame(g, "sorted");
    state.SetLabel("top: " + g.TopText());
}
BENCHMARK(BM_GridViewHeaderSort)->Unit(benchmark::kMillisecond);

void BM_TableViewHeaderSort(benchmark::State& state)
{
    TViewFixture& v = View();
    for (auto _ : state) {
        state.PauseTiming();
        v.ClearSorting();
        state.ResumeTiming();
        v.ClickSortHeader();
        v.Paint();
    }
    if (v.View->horizontalHeader()->sortIndicatorSection() != 1) state.SkipWithError("the click did not sort");
    KeepFrame(v, "sorted");
    state.SetLabel("top: " + v.TopText());
}
BENCHMARK(BM_TableViewHeaderSort)->Unit(benchmark::kMillisecond);

}  // namespace

QZ_BENCH_GUI_MAIN(StartGui)
