// The most-recently-used edit: a free-text combo box whose list collects
// the texts entered, newest first, up to a maximum count, with an ellipsis
// button beside the drop-down button.
#pragma once

#include "cxDropDownEdit.h"

#include <string>

class TcxCustomMRUEditProperties : public TcxCustomComboBoxProperties {
    QZ_CLASS(TcxCustomMRUEditProperties, TcxCustomComboBoxProperties)
public:
    explicit TcxCustomMRUEditProperties(TPersistent* AOwner = nullptr);
    void Assign(TPersistent* Source) override;
    TClass GetEditClass() const override;
    // Another MRU edit's properties take a copy of these lookup items.
    void Update(TcxCustomEditProperties* AProperties) override;

    // 0: no limit. A negative count is stored as 0.
    int MaxItemCount() const { return FMaxItemCount; }
    void SetMaxItemCount(int Value);
    bool ShowEllipsis() const { return FShowEllipsis; }
    void SetShowEllipsis(bool Value);
    // The list cut to MaxItemCount from its end.
    void TruncateItems();

    // The ellipsis button's click, with the edit as Sender.
    TNotifyEvent OnButtonClick;

private:
    int FMaxItemCount = 0;
    bool FShowEllipsis = true;
};

class TcxMRUEditProperties : public TcxCustomMRUEditProperties {
    QZ_CLASS(TcxMRUEditProperties, TcxCustomMRUEditProperties)
public:
    explicit TcxMRUEditProperties(TPersistent* AOwner = nullptr) : TcxCustomMRUEditProperties(AOwner) {}
};

class TcxCustomMRUEdit : public TcxCustomComboBox {
    QZ_CLASS(TcxCustomMRUEdit, TcxCustomComboBox)
public:
    explicit TcxCustomMRUEdit(TComponent* AOwner = nullptr, bool AIsInplace = false);
    TClass GetPropertiesClass() const override { return TcxMRUEditProperties::StaticClass(); }
    TcxCustomMRUEditProperties* Properties() const
    {
        return static_cast<TcxCustomMRUEditProperties*>(ActiveProperties());
    }
    // Puts a text first in the list (moving it there when it is in already).
    virtual void AddItem(const std::string& AText);
    void DoButtonClick(int AButtonIndex) override;
    void PropertiesChanged(TObject* Sender) override;
    bool Deactivate() override;

protected:
    void DoEditKeyDown(WORD& Key, TShiftState Shift) override;
    void DoEnter() override;
    void DoExit() override;

private:
    // After a post the text is remembered (unless the items were being stepped through).
    void AddPostedText(bool APosted);
    std::string FTextAtEnter;
    bool FScrollingItems = false;
};

class TcxMRUEdit : public TcxCustomMRUEdit {
    QZ_CLASS(TcxMRUEdit, TcxCustomMRUEdit)
public:
    explicit TcxMRUEdit(TComponent* AOwner = nullptr, bool AIsInplace = false) : TcxCustomMRUEdit(AOwner, AIsInplace) {}
};

extern const TcxResourceStringRec scxSEditRepositoryMRUItem;

namespace cxMRUEdit {
// Registers the MRU edit properties with the editor registry.
void Initialize();
}
