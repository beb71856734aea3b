// The batch-update dialog of the grids: which column to change and the
// value to give it.
#pragma once

#include "a.h"

#include <string>
#include <vector>

class TComboBox;

class TBatchUpdateFrm : public TaFrm {
    QZ_CLASS(TBatchUpdateFrm, TaFrm)
public:
    explicit TBatchUpdateFrm(TComponent* AOwner = nullptr);

    TGroupBox* GroupBox1 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TEdit* Edit1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;

    // The choice list's items; AddItem attaches the field name to its label.
    TStrings* Items() const;
    void AddItem(const std::string& ALabel, const std::string& AFieldName);
    int ItemIndex() const;
    // The field name attached to the chosen item; empty when none is chosen.
    std::string ItemFieldName() const;
    std::string Value() const;
    void SetValue(const std::string& AValue);
    // OK is refused, without a message, while no item is chosen.
    bool CloseQuery() override;

private:
    std::vector<std::string> FFieldNames;
};
