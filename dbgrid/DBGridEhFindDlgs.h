// DBGridEhFindDlgs: the grid's "Find text" dialog. The user types a text,
// picks the columns to look in, how a cell must match, the direction, case
// and whether the shown or the raw text counts, and steps from match to
// match with "Find next".
#pragma once

#include "DBGridEh.h"
#include "Forms.h"

#include <string>

class TLabel;
class TComboBox;
class TDBCheckBoxEh;
class TButton;

class TDBGridEhFindDlg : public TForm {
    QZ_CLASS(TDBGridEhFindDlg, TForm)
public:
    explicit TDBGridEhFindDlg(TComponent* owner = nullptr);
    ~TDBGridEhFindDlg() override;

    TLabel *Label1 = nullptr, *Label2 = nullptr, *cbMatchType = nullptr, *Label3 = nullptr;
    TComboBox *cbText = nullptr, *cbFindIn = nullptr, *cbMatchinType = nullptr, *cbFindDirection = nullptr;
    TDBCheckBoxEh *cbCharCase = nullptr, *cbUseFormat = nullptr;
    TButton *bFind = nullptr, *bCancel = nullptr;

    // Prepares the dialog for the grid with text as the search text and
    // shows it (modally when modal).
    void ShowForGrid(TCustomDBGridEh* grid, const std::string& text, bool modal);
    // The same without showing: what ShowForGrid does before the form appears.
    void PrepareForGrid(TCustomDBGridEh* grid, const std::string& text);
    TCustomDBGridEh* Grid() const { return FGrid.Get(); }
    const TColumnsEhList& FindColumns() const { return FFindColumns; }
    int FindPosition() const { return FCurInListColIndex; }
    // Finds the next match; reverse turns the chosen direction round (Ctrl).
    // True when found; a text found nowhere shows a message.
    bool FindNext(bool reverse);

    void FillFindIn();
    void BuildFindColumns();
    void bFindClick(TObject* sender);
    void bCancelClick(TObject* sender);
    void cbFindInChange(TObject* sender);
    void cbTextChange(TObject* sender);
    void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);

private:
    std::string SearchCellText(TColumnEh* column) const;
    bool Matches(const std::string& cell, const std::string& text) const;
    bool Forward(bool reverse) const;
    bool StepCell(TDataSet* ds, bool forward);
    void DropLostColumns();
    TWeakRef<TCustomDBGridEh> FGrid;
    TColumnsEhList FFindColumns;
    int FCurInListColIndex = -1;
    bool FFirstTry = true;
    bool FFilling = false;
};

namespace DBGridEhFindDlgs {
inline constexpr const char* STextNotFound = "String \"%s\" not found.";
inline constexpr const char* SAllColumns = "<All>";
// Makes the grids' find key open this dialog; called once at start-up.
void Initialize();
// Shows the program's one find dialog for the grid (made on first use).
void ExecuteFindDialog(TCustomDBGridEh* grid, const std::string& text, bool modal);
// The dialog, when it was made.
TDBGridEhFindDlg* FindDialog();
}
