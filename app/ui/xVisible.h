// The column-choice dialog of the grids: one row per column with its
// caption and a check mark for its visibility; a click toggles the mark and
// rows may be dragged into another order.
#pragma once

#include "Forms.h"
#include "Grids.h"
#include "StdCtrls.h"

#include <string>
#include <vector>

struct RColItem {
    int ColumnIndex = 0;
    std::string Caption;
    bool Visible = false;
};
using RColItems = std::vector<RColItem>;

namespace xVisible {
// The two-column list grid the column-choice and sort dialogs share.
TStringGrid* MakeListGrid(TForm* AForm, int ALeft, int ATop, int AWidth, int AHeight);
}

// The mark of a visible column.
inline constexpr const char* kColVisibleMark = "√";

class TxVisibleFrm : public TForm {
    QZ_CLASS(TxVisibleFrm, TForm)
public:
    explicit TxVisibleFrm(TComponent* AOwner = nullptr);

    TStringGrid* StringGrid1 = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button4 = nullptr;

    // Shows the entries and keeps the caller's array (not a copy): OK writes
    // the choices back into it, in the order the rows stand in then.
    void SetColItems(RColItems& AItems);
    RColItems* Items() const { return FItems; }

    void StringGrid1Click();
    void StringGrid1RowMoved(int AFromIndex, int AToIndex);
    void Button3Click();

private:
    RColItems* FItems = nullptr;
};
