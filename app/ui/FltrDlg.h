// The contains filter of the grids: choose a text field, type a keyword,
// and the data set shows the records whose field holds it.
#pragma once

#include "a.h"

#include <string>
#include <vector>

class TDataSet;
class TField;
class TListBox;
class TPanel;

class TFltrDlgFrm : public TaFrm {
    QZ_CLASS(TFltrDlgFrm, TaFrm)
public:
    explicit TFltrDlgFrm(TComponent* AOwner = nullptr);

    TPanel* Panel1 = nullptr;
    TListBox* ListBox1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TPanel* Panel2 = nullptr;
    TEdit* Edit1 = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button4 = nullptr;

    // Shows the dialog on the data set and filters it on OK.
    static void Execute(TDataSet* ADataSet);
    // Lists the visible data fields of text type.
    void Init(TDataSet* ADataSet);
    void Button1Click();
    void Button3Click();

    // The filter text of a contains match: "Name like '%王%'", the keyword's
    // quotes doubled so that it stays one quoted text.
    static std::string ContainsFilter(const std::string& AFieldName, const std::string& AKeyword);

private:
    TDataSet* FDataSet = nullptr;
    std::vector<TField*> FFields;
};
