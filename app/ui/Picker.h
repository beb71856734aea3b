// The modal record picker: a searchable grid over a list. Its OK hands the
// current record to the list's pick handler (IViewList::Select), "新添"
// adds a record through the list's edit form, and the grid's menu also
// offers the list's add, edit and delete.
#pragma once

#include "a.h"

#include <string>

class IViewList;
class TDataSet;
class TGridcx;
class TPanel;
class TqzComboBox;
class TqzEdit;

class TPickerFrm : public TaFrm {
    QZ_CLASS(TPickerFrm, TaFrm)
public:
    explicit TPickerFrm(TComponent* owner = nullptr);
    ~TPickerFrm() override;

    // Runs the picker over the list's data set with the grid layout of the
    // id. The choice reaches the caller only through the list's pick handler.
    static void Execute(IViewList* list, TDataSet* dataSet, int layoutId);

    // The search fields (the data set's text fields holding data) and the grid bound.
    void BindDataSet(TDataSet* dataSet);

    // The filter text that keeps the rows whose field contains the value;
    // quotes in the value are doubled, so any text stays one literal.
    static std::string ContainsFilter(const std::string& fieldName, const std::string& value);

    IViewList* List = nullptr;
    TGridcx* Grid = nullptr;

    TPanel* Panel1 = nullptr;           // the search bar on top
    TqzComboBox* SrchCombo1 = nullptr;  // "搜索项"; each item carries its field
    TqzEdit* edtValue1 = nullptr;       // "搜索值"
    TButton* btnMore1 = nullptr;        // "设置 ▼"
    TPanel* Panel2 = nullptr;           // the buttons at the bottom
    TButton* btnOk1 = nullptr;          // "确定"
    TButton* Button2 = nullptr;         // "取消"
    TButton* btnNew1 = nullptr;         // "新添"

    void btnOk1Click(TObject* sender);
    void btnNew1Click(TObject* sender);
    void btnMore1Click(TObject* sender);
    void SrchCombo1Change(TObject* sender);
    void edtValue1Change(TObject* sender);

private:
    TDataSet* FDataSet = nullptr;
};
