#include "xVisible.h"

QZ_CLASS_IMPL(TxVisibleFrm, TForm)

namespace xVisible {

// The two-column list grid the column-choice and sort dialogs share: the
// caption column fixed, 120 wide, rows 22 high, columns sized and rows
// dragged by the mouse.
TStringGrid* MakeListGrid(TForm* AForm, int ALeft, int ATop, int AWidth, int AHeight)
{
    auto* grid = new TStringGrid(AForm);
    grid->SetParent(AForm);
    grid->SetBounds(ALeft, ATop, AWidth, AHeight);
    grid->SetColCount(2);
    grid->SetRowCount(1);
    grid->SetFixedRows(0);
    grid->SetFixedCols(1);
    grid->SetDefaultColWidth(120);
    grid->SetDefaultRowHeight(22);
    TGridOptions options = grid->Options();
    options.Include(goColSizing);
    options.Include(goRowMoving);
    grid->SetOptions(options);
    grid->SetHint("双击可改变当前值");
    grid->SetShowHint(true);
    return grid;
}

}  // namespace xVisible

TxVisibleFrm::TxVisibleFrm(TComponent* AOwner) : TForm(AOwner)
{
    SetName("xVisibleFrm");
    SetCaption("列选择");
    SetPosition(poScreenCenter);
    SetClientSize(270, 330);
    StringGrid1 = xVisible::MakeListGrid(this, 8, 8, 254, 276);
    Button3 = new TButton(this);
    Button3->SetParent(this);
    Button3->SetBounds(100, 294, 75, 25);
    Button3->SetCaption("确定(&Y)");
    Button4 = new TButton(this);
    Button4->SetParent(this);
    Button4->SetBounds(186, 294, 75, 25);
    Button4->SetCaption("取消(&Q)");
    Button4->SetCancel(true);
    Button4->SetModalResult(mrCancel);
    StringGrid1->OnClick = [this](TObject*) { StringGrid1Click(); };
    StringGrid1->OnRowMoved = [this](TObject*, int AFrom, int ATo) { StringGrid1RowMoved(AFrom, ATo); };
    Button3->OnClick = [this](TObject*) { Button3Click(); };
}

void TxVisibleFrm::SetColItems(RColItems& AItems)
{
    FItems = &AItems;
    StringGrid1->SetRowCount(std::max<int>(1, int(AItems.size())));
    for (size_t r = 0; r < AItems.size(); ++r) {
        StringGrid1->SetCells(0, int(r), AItems[r].Caption);
        StringGrid1->SetCells(1, int(r), AItems[r].Visible ? kColVisibleMark : "");
    }
    if (AItems.empty()) StringGrid1->SetRows(0, {"", ""});
}

void TxVisibleFrm::StringGrid1Click()
{
    if (!FItems || FItems->empty()) return;
    const int row = StringGrid1->Row();
    StringGrid1->SetCells(1, row, StringGrid1->Cells(1, row) == kColVisibleMark ? "" : kColVisibleMark);
}

void TxVisibleFrm::StringGrid1RowMoved(int AFromIndex, int AToIndex)
{
    if (!FItems) return;
    const int count = int(FItems->size());
    if (AFromIndex < 0 || AFromIndex >= count || AToIndex < 0 || AToIndex >= count) return;
    RColItem item = (*FItems)[size_t(AFromIndex)];
    FItems->erase(FItems->begin() + AFromIndex);
    FItems->insert(FItems->begin() + AToIndex, std::move(item));
}

void TxVisibleFrm::Button3Click()
{
    if (FItems)
        for (size_t r = 0; r < FItems->size(); ++r)
            (*FItems)[r].Visible = StringGrid1->Cells(1, int(r)) == kColVisibleMark;
    SetModalResult(mrOk);
}
