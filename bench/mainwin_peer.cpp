// The main-window benchmark's peer: a minimal Qt program that opens the
// school's database file, reads every row of the student query into a
// table model and shows it in a table view, then ends once the view is
// painted, as the program's probe ends at its shown main window.
#include <QAbstractTableModel>
#include <QApplication>
#include <QTableView>
#include <QTimer>

#include <sqlite3.h>

#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

class TRowsModel : public QAbstractTableModel {
public:
    std::vector<QString> Headers;
    std::vector<std::vector<QString>> Rows;
    int rowCount(const QModelIndex&) const override { return int(Rows.size()); }
    int columnCount(const QModelIndex&) const override { return int(Headers.size()); }
    QVariant data(const QModelIndex& i, int role) const override
    {
        if (role != Qt::DisplayRole) return {};
        return Rows[size_t(i.row())][size_t(i.column())];
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (role != Qt::DisplayRole) return {};
        return o == Qt::Horizontal ? QVariant(Headers[size_t(section)]) : QVariant(section + 1);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return 2;
    QApplication app(argc, argv);
    TRowsModel model;
    sqlite3* db = nullptr;
    if (sqlite3_open(argv[1], &db) != SQLITE_OK) return 1;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, argv[2], -1, &st, nullptr) != SQLITE_OK) return 1;
    const int cols = sqlite3_column_count(st);
    for (int c = 0; c < cols; ++c) model.Headers.push_back(QString::fromUtf8(sqlite3_column_name(st, c)));
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::vector<QString> row(static_cast<size_t>(cols));
        for (int c = 0; c < cols; ++c)
            if (const unsigned char* t = sqlite3_column_text(st, c)) row[size_t(c)] = QString::fromUtf8(reinterpret_cast<const char*>(t));
        model.Rows.push_back(std::move(row));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    QTableView view;
    view.setModel(&model);
    view.resize(1024, 740);
    view.show();
    QTimer::singleShot(0, [&] {
        view.repaint();
        std::fprintf(stdout, "table shown with %d rows\n", int(model.Rows.size()));
        std::fflush(stdout);
        _exit(0);
    });
    return app.exec();
}
