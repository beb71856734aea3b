// What lies under a point of a table view: the header and its column
// headers (with their filter buttons and sizing edges), the group-by box,
// the footer and group footers, the filter box and its buttons, the
// indicator with its row cells and row sizing edges, the level indents of
// rows, and the customization form. Each class has one shared instance
// (the grid's hit-test pool), valid until the next query of that class.
#pragma once

#include "cxGridCustomTableView.h"

class TcxGridColumn;
class TcxCustomGridRowViewInfo;

// The column container a column hit test came from.
constexpr int ckCustomizationForm = 3;

// A column under the point, and the kind of container that shows it
// (header 1, group-by box 2, customization form 3, footer 4).
class TcxCustomGridColumnHitTest : public TcxCustomGridViewHitTest {
    QZ_CLASS(TcxCustomGridColumnHitTest, TcxCustomGridViewHitTest)
public:
    TcxGridColumn* Column = nullptr;
    int ColumnContainerKind = 0;
};

class TcxGridGroupByBoxHitTest : public TcxCustomGridViewHitTest {
    QZ_CLASS(TcxGridGroupByBoxHitTest, TcxCustomGridViewHitTest)
public:
    int HitTestCode() const override { return 201; }
};

// A column header. Pressing and dragging it moves the column, when the
// column may be moved.
class TcxGridColumnHeaderHitTest : public TcxCustomGridColumnHitTest {
    QZ_CLASS(TcxGridColumnHeaderHitTest, TcxCustomGridColumnHitTest)
public:
    int HitTestCode() const override { return 202; }
    TClass DragAndDropObjectClass() const override;
};

class TcxGridColumnHeaderHorzSizingEdgeHitTest : public TcxCustomGridColumnHitTest {
    QZ_CLASS(TcxGridColumnHeaderHorzSizingEdgeHitTest, TcxCustomGridColumnHitTest)
public:
    int HitTestCode() const override { return 203; }
    TCursor Cursor() const override;
    TClass DragAndDropObjectClass() const override;
};

class TcxGridColumnHeaderFilterButtonHitTest : public TcxCustomGridColumnHitTest {
    QZ_CLASS(TcxGridColumnHeaderFilterButtonHitTest, TcxCustomGridColumnHitTest)
public:
    int HitTestCode() const override { return 204; }
};

class TcxGridHeaderHitTest : public TcxCustomGridViewHitTest {
    QZ_CLASS(TcxGridHeaderHitTest, TcxCustomGridViewHitTest)
public:
    int HitTestCode() const override { return 218; }
};

class TcxGridFooterHitTest : public TcxCustomGridViewHitTest {
    QZ_CLASS(TcxGridFooterHitTest, TcxCustomGridViewHitTest)
public:
    int HitTestCode() const override { return 205; }
};

class TcxGridFooterCellHitTest : public TcxCustomGridColumnHitTest {
    QZ_CLASS(TcxGridFooterCellHitTest, TcxCustomGridColumnHitTest)
public:
    int HitTestCode() const override { return 206; }
};

class TcxGridGroupFooterHitTest : public TcxGridFooterHitTest {
    QZ_CLASS(TcxGridGroupFooterHitTest, TcxGridFooterHitTest)
public:
    int HitTestCode() const override { return 207; }
};

class TcxGridGroupFooterCellHitTest : public TcxGridFooterCellHitTest {
    QZ_CLASS(TcxGridGroupFooterCellHitTest, TcxGridFooterCellHitTest)
public:
    int HitTestCode() const override { return 208; }
};

class TcxGridFilterHitTest : public TcxCustomGridViewHitTest {
    QZ_CLASS(TcxGridFilterHitTest, TcxCustomGridViewHitTest)
public:
    int HitTestCode() const override { return 209; }
};

class TcxGridFilterActivateButtonHitTest : public TcxCustomGridViewHitTest {
    QZ_CLASS(TcxGridFilterActivateButtonHitTest, TcxCustomGridViewHitTest)
public:
    int HitTestCode() const override { return 210; }
};

class TcxGridFilterCloseButtonHitTest : public TcxCustomGridViewHitTest {
    QZ_CLASS(TcxGridFilterCloseButtonHitTest, TcxCustomGridViewHitTest)
public:
    int HitTestCode() const override { return 211; }
};

class TcxGridFilterCustomizeButtonHitTest : public TcxCustomGridViewHitTest {
    QZ_CLASS(TcxGridFilterCustomizeButtonHitTest, TcxCustomGridViewHitTest)
public:
    int HitTestCode() const override { return 212; }
};

// A row's cell in the indicator column.
class TcxGridRowIndicatorHitTest : public TcxGridRecordHitTest {
    QZ_CLASS(TcxGridRowIndicatorHitTest, TcxGridRecordHitTest)
public:
    int HitTestCode() const override { return 213; }
    TcxCustomGridRowViewInfo* RowViewInfo = nullptr;
};

// The strip at the bottom of a row's indicator cell that sizes the row.
class TcxGridRowSizingEdgeHitTest : public TcxGridRecordHitTest {
    QZ_CLASS(TcxGridRowSizingEdgeHitTest, TcxGridRecordHitTest)
public:
    int HitTestCode() const override { return 214; }
    TCursor Cursor() const override;
    TClass DragAndDropObjectClass() const override;
};

// The indicator column outside the rows' cells (its header and footer cells, the empty rest).
class TcxGridIndicatorHitTest : public TcxCustomGridViewHitTest {
    QZ_CLASS(TcxGridIndicatorHitTest, TcxCustomGridViewHitTest)
public:
    int HitTestCode() const override { return 215; }
};

// The indent left of a row that shows its grouping levels: no click on the row's body.
class TcxGridRowLevelIndentHitTest : public TcxGridRecordHitTest {
    QZ_CLASS(TcxGridRowLevelIndentHitTest, TcxGridRecordHitTest)
public:
    int HitTestCode() const override { return 216; }
    bool CanClick() const override { return false; }
};

// The customization form's area (the class name is kept as stored layouts and callers know it).
class TcxGridCustomozationFormHitTest : public TcxCustomGridViewHitTest {
    QZ_CLASS(TcxGridCustomozationFormHitTest, TcxCustomGridViewHitTest)
public:
    int HitTestCode() const override { return 217; }
};

namespace cxGridTableHitTests {
// The drag-and-drop classes of the column moving, column sizing and row
// sizing objects, handed in by the unit that has them; none until then.
void SetColumnHorzSizingObjectClass(TClass AClass);
void SetRowSizingObjectClass(TClass AClass);
TClass ColumnHorzSizingObjectClass();
TClass RowSizingObjectClass();
// A record hit test of AClass for the record of another record hit test,
// the view, record and view data copied over.
TcxGridRecordHitTest* CopyRecordHitTest(TClass AClass, const TcxGridRecordHitTest* ASource);

// What the table layout answers for a point inside one of its view infos:
// the hit-test class of the element (null: the element gives none and the
// one around it answers), and the filling of that hit test with the
// element's column and container kind or row. The layout's view infos
// answer their hit-test class and fill their hit tests through these.
TClass HitTestClassFor(TcxCustomGridCellViewInfo* AViewInfo, const TPoint& P);
void InitHitTest(TcxCustomGridCellViewInfo* AViewInfo, TcxCustomGridHitTest* AHitTest);
// A row's record hit test at P becomes a level-indent hit test when P lies
// in the row's level indents; other hit tests are returned as they are.
TcxCustomGridHitTest* CheckLevelIndentHitTest(TcxCustomGridRowViewInfo* ARowViewInfo, TcxCustomGridHitTest* AHitTest);
// The hit test of a view info at P through the two above (null outside it
// or when it gives none): what a layout element's query answers.
TcxCustomGridHitTest* GetHitTest(TcxCustomGridCellViewInfo* AViewInfo, const TPoint& P);
}  // namespace cxGridTableHitTests
