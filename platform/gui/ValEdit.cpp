#include "ValEdit.h"
#include "QzStdPrivate.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTableWidget>

using namespace qzgui;

QZ_CLASS_IMPL(TItemProp, TPersistent)
QZ_CLASS_IMPL(TValueListEditor, TWinControl)

// ---- item properties -----------------------------------------------------------------------

TItemProp::TItemProp(TValueListEditor* editor) : FEditor(editor), FPickList(std::make_unique<TStringList>()) {}
TItemProp::~TItemProp() = default;

void TItemProp::SetEditStyle(TEditStyle v)
{
    FEditStyle = v;
    if (FEditor) FEditor->Refresh();
}
void TItemProp::SetReadOnly(bool v)
{
    FReadOnly = v;
    if (FEditor) FEditor->Refresh();
}

// ---- the grid ------------------------------------------------------------------------------

namespace {

class QzValueDelegate;

class QzValueGrid : public QzItemView<QTableWidget> {
public:
    QzValueGrid(TValueListEditor* e, QWidget* parent);
    TValueListEditor* E;
    QzValueDelegate* Delegate;
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }
};

class QzValueDelegate : public QStyledItemDelegate {
public:
    QzValueDelegate(TValueListEditor* e, QzValueGrid* grid) : QStyledItemDelegate(grid), E(e), Grid(grid) {}
    TValueListEditor* E;
    QzValueGrid* Grid;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& opt, const QModelIndex& idx) const override
    {
        if (!E || idx.column() != 1) return nullptr;
        TItemProp* prop = nullptr;
        std::string key = E->Strings()->Names(idx.row());
        Guarded(E, [&] { prop = E->ItemProps(idx.row()); });
        if (!prop || prop->ReadOnly()) return nullptr;
        if (prop->EditStyle() == esPickList) {
            // The values offered: the row's pick list, or what OnGetPickList gives.
            TStringList values;
            values.Assign(prop->PickList());
            if (E->OnGetPickList) Guarded(E, [&] { E->OnGetPickList(E, key, &values); });
            auto* cb = new QComboBox(parent);
            cb->setEditable(true);
            cb->setInsertPolicy(QComboBox::NoInsert);
            for (int i = 0; i < values.Count(); ++i) cb->addItem(QS(values.Strings(i)));
            return cb;
        }
        QWidget* w = QStyledItemDelegate::createEditor(parent, opt, idx);
        if (auto* le = qobject_cast<QLineEdit*>(w); le && prop->MaxLength() > 0) le->setMaxLength(prop->MaxLength());
        return w;
    }
    void setEditorData(QWidget* editor, const QModelIndex& idx) const override
    {
        if (auto* cb = qobject_cast<QComboBox*>(editor)) {
            cb->setCurrentText(idx.data().toString());
            return;
        }
        QStyledItemDelegate::setEditorData(editor, idx);
    }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& idx) const override
    {
        QString text;
        if (auto* cb = qobject_cast<QComboBox*>(editor)) text = cb->currentText();
        else if (auto* le = qobject_cast<QLineEdit*>(editor)) text = le->text();
        else return;
        if (E) Guarded(E, [&] { E->NativeEdited(idx.row(), US(text)); });
    }
};

QzValueGrid::QzValueGrid(TValueListEditor* e, QWidget* parent) : QzItemView<QTableWidget>(e, parent), E(e)
{
    setColumnCount(2);
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setItemDelegate(Delegate = new QzValueDelegate(e, this));
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
}

} // namespace

struct TValueListEditor::TImpl {
    QzValueGrid* W = nullptr;
    int Programmatic = 0;
};

TValueListEditor::TValueListEditor(TComponent* owner)
    : TWinControl(owner), FImpl(std::make_unique<TImpl>()), FStrings(std::make_unique<TStringList>(true)),
      FTitleCaptions(std::make_unique<TStringList>())
{
    SetBounds(0, 0, 306, 300);
    NativeDefaults(this, true);
    FTitleCaptions->Add("Key");
    FTitleCaptions->Add("Value");
    FStrings->OnChange = [this](TObject*) {
        if (!FFromWidget) Refresh();
        Fire(OnStringsChange, this);
    };
    FTitleCaptions->OnChange = [this](TObject*) { Refresh(); };
}

TValueListEditor::~TValueListEditor()
{
    FStrings->OnChange = nullptr;
    FTitleCaptions->OnChange = nullptr;
    if (FImpl->W) {
        FImpl->W->E = nullptr;
        FImpl->W->Ctrl = nullptr;
        FImpl->W->Delegate->E = nullptr;
    }
}

QWidget* TValueListEditor::CreateWindowHandle(const TCreateParams&, QWidget* parent)
{
    FImpl->W = new QzValueGrid(this, parent);
    return FImpl->W;
}

void TValueListEditor::CreateWindowDone()
{
    ApplyFont(this, FImpl->W);
    Refresh();
}

void TValueListEditor::DestroyWnd()
{
    if (FImpl->W) {
        FRow = Row();
        FImpl->W->E = nullptr;
        FImpl->W->Ctrl = nullptr;
        FImpl->W->Delegate->E = nullptr;
        FImpl->W = nullptr;
    }
    TWinControl::DestroyWnd();
}

// The grid made again from the lines (a value being typed is given up).
void TValueListEditor::Refresh()
{
    QzValueGrid* w = FImpl->W;
    if (!w) return;
    ++FImpl->Programmatic;
    w->setRowCount(FStrings->Count());
    w->horizontalHeader()->setVisible(FDisplayOptions.Contains(doColumnTitles));
    w->setHorizontalHeaderLabels({QS(FTitleCaptions->Count() > 0 ? FTitleCaptions->Strings(0) : std::string()),
                                  QS(FTitleCaptions->Count() > 1 ? FTitleCaptions->Strings(1) : std::string())});
    for (int i = 0; i < FStrings->Count(); ++i) {
        auto* k = new QTableWidgetItem(QS(FStrings->Names(i)));
        k->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        auto* v = new QTableWidgetItem(QS(FStrings->ValueFromIndex(i)));
        auto* prop = DynamicCast<TItemProp>(FStrings->Objects(i));
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (!prop || !prop->ReadOnly()) f |= Qt::ItemIsEditable;
        v->setFlags(f);
        w->setItem(i, 0, k);
        w->setItem(i, 1, v);
        w->setRowHeight(i, FRowHeight);
    }
    w->setColumnWidth(0, FColWidths[0]);
    w->setColumnWidth(1, FColWidths[1]);
    w->horizontalHeader()->setStretchLastSection(FDisplayOptions.Contains(doAutoColResize));
    int r = FRow - TitleRows();
    if (r >= 0 && r < FStrings->Count()) w->setCurrentCell(r, 1);
    --FImpl->Programmatic;
}

void TValueListEditor::SetStrings(TStrings* v)
{
    // The lines only: the item properties belong to this editor.
    FStrings->BeginUpdate();
    FStrings->Clear();
    if (v)
        for (int i = 0; i < v->Count(); ++i) FStrings->Add(v->Strings(i));
    FStrings->EndUpdate();
}

void TValueListEditor::SetDisplayOptions(TDisplayOptions v)
{
    FDisplayOptions = v;
    Refresh();
}

int TValueListEditor::ColWidths(int col) const
{
    if (col < 0 || col > 1) return 0;
    if (FImpl->W) return FImpl->W->columnWidth(col);
    return FColWidths[col];
}

void TValueListEditor::SetColWidths(int col, int width)
{
    if (col < 0 || col > 1) return;
    FColWidths[col] = std::max(0, width);
    if (FImpl->W) FImpl->W->setColumnWidth(col, FColWidths[col]);
}

void TValueListEditor::SetDefaultRowHeight(int v)
{
    FRowHeight = std::max(1, v);
    Refresh();
}

int TValueListEditor::RowCount() const { return FStrings->Count() + TitleRows(); }

int TValueListEditor::Row() const
{
    if (FImpl->W && FImpl->W->currentRow() >= 0) return FImpl->W->currentRow() + TitleRows();
    return FRow;
}

void TValueListEditor::SetRow(int v)
{
    FRow = std::clamp(v, TitleRows(), std::max(TitleRows(), RowCount() - 1));
    if (FImpl->W && FRow - TitleRows() < FStrings->Count()) FImpl->W->setCurrentCell(FRow - TitleRows(), 1);
}

std::string TValueListEditor::Keys(int row) const
{
    int i = row - TitleRows();
    if (row < TitleRows()) return FTitleCaptions->Count() > 0 ? FTitleCaptions->Strings(0) : std::string();
    return i < FStrings->Count() ? FStrings->Names(i) : std::string();
}

void TValueListEditor::SetKeys(int row, const std::string& v)
{
    int i = row - TitleRows();
    if (i < 0 || i >= FStrings->Count()) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    FStrings->SetStrings(i, v + "=" + FStrings->ValueFromIndex(i));
}

std::string TValueListEditor::Cells(int col, int row) const
{
    if (row < TitleRows()) return col >= 0 && col < FTitleCaptions->Count() ? FTitleCaptions->Strings(col) : std::string();
    int i = row - TitleRows();
    if (i < 0 || i >= FStrings->Count() || col < 0 || col > 1) return std::string();
    return col == 0 ? FStrings->Names(i) : FStrings->ValueFromIndex(i);
}

void TValueListEditor::SetCells(int col, int row, const std::string& v)
{
    if (col == 0) SetKeys(row, v);
    else if (col == 1) {
        int i = row - TitleRows();
        if (i < 0 || i >= FStrings->Count()) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
        FStrings->SetValueFromIndex(i, v);
    }
}

TItemProp* TValueListEditor::ItemProps(int index)
{
    if (index < 0 || index >= FStrings->Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    auto* p = DynamicCast<TItemProp>(FStrings->Objects(index));
    if (!p) {
        p = new TItemProp(this);
        FFromWidget = true;   // the lines' text is as it was
        FStrings->SetObjects(index, p);
        FFromWidget = false;
    }
    return p;
}

TItemProp* TValueListEditor::ItemProps(const std::string& key)
{
    int i = FStrings->IndexOfName(key);
    if (i < 0) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return ItemProps(i);
}

bool TValueListEditor::FindRow(const std::string& key, int& row) const
{
    int i = FStrings->IndexOfName(key);
    row = i >= 0 ? i + TitleRows() : -1;
    return i >= 0;
}

int TValueListEditor::InsertRow(const std::string& key, const std::string& value, bool append)
{
    int at = append ? FStrings->Count() : std::clamp(Row() - TitleRows(), 0, FStrings->Count());
    FStrings->Insert(at, key + "=" + value);
    return at + TitleRows();
}

void TValueListEditor::DeleteRow(int row)
{
    int i = row - TitleRows();
    if (i < 0 || i >= FStrings->Count()) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    FStrings->Delete(i);
}

bool TValueListEditor::EditValue(int row)
{
    int i = row - TitleRows();
    if (!FImpl->W || i < 0 || i >= FStrings->Count()) return false;
    FImpl->W->setCurrentCell(i, 1);
    FImpl->W->editItem(FImpl->W->item(i, 1));
    return Editing();
}

bool TValueListEditor::Editing() const { return FImpl->W && FImpl->W->IsEditing(); }

void TValueListEditor::NativeEdited(int i, std::string value)
{
    if (i < 0 || i >= FStrings->Count()) return;
    const std::string key = FStrings->Names(i);
    if (FStrings->ValueFromIndex(i) == value) return;
    // The grid shows the typed text already: the lines follow without making it again.
    FFromWidget = true;
    try {
        FStrings->SetValueFromIndex(i, value);
    } catch (...) {
        FFromWidget = false;
        throw;
    }
    FFromWidget = false;
    if (OnValidate) OnValidate(this, 1, i + TitleRows(), key, value);
}

void TValueListEditor::WMMouse(TMessage& m) { MouseToNative<TValueListEditor, TWinControl>(this, m); }
