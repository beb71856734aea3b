// The sort dialog of the grids: one row per sortable field of a data set
// with its direction (ascending, descending or none), the rows in sort
// priority; it reads and writes the data set's sort text ("Name ASC,Signdate DESC").
#pragma once

#include "Forms.h"
#include "Grids.h"
#include "StdCtrls.h"

#include <string>
#include <vector>

class TDataSet;

class TSortFrm : public TForm {
    QZ_CLASS(TSortFrm, TForm)
public:
    explicit TSortFrm(TComponent* AOwner = nullptr);

    TStringGrid* StringGrid1 = nullptr;
    TButton* upBtn1 = nullptr;
    TButton* downBtn1 = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button4 = nullptr;
    TLabel* Label1 = nullptr;

    // One row per data field (not calculated or looked up, not blob, memo or
    // graphic) of the data set that is visible, or every such field with AAllFields.
    void Init(TDataSet* ADataSet, bool AAllFields);

    // The rows with a direction in order: "Name ASC,Signdate DESC".
    std::string SortString() const { return ReadSortString(); }
    // Gives the fields of the text their directions and puts them first, in
    // the text's order. Each comma-separated item is a field name and a
    // direction; an item without one is ascending (the title clicks of the
    // data-aware grid write it so), and a name the list lacks is passed over.
    void SetSortString(const std::string& AValue) { WriteSortString(AValue); }
    // The same from the display labels and the shown directions.
    std::string SortLabels() const;

    const std::vector<std::string>& FieldNames() const { return FFieldNames; }
    const std::vector<std::string>& Directions() const { return FDirections; }

    // Starts the dialog with no rows.
    void FormCreate();
    // Moves a row (both columns, its name and its direction) to another place.
    void MoveSortRow(int AFrom, int ATo);
    void StringGrid1DblClick();
    void upBtn1Click();
    void downBtn1Click();
    void StringGrid1RowMoved(int AFromIndex, int AToIndex);

private:
    std::string ReadSortString() const;
    void WriteSortString(const std::string& AValue);
    void SetDirection(int ARow, const std::string& ADirection);
    void SelectRow(int ARow);
    void UpdateButtons();
    std::vector<std::string> FFieldNames, FDirections;
};
