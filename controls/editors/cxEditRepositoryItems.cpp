// Repository item classes of the editors.
#include "cxEditRepositoryItems.h"

#include "cxButtonEdit.h"
#include "cxCalc.h"
#include "cxCheckBox.h"
#include "cxCurrencyEdit.h"
#include "cxDateEdit.h"
#include "cxDropDownEdit.h"
#include "cxHyperLinkEdit.h"
#include "cxImageComboBox.h"
#include "cxMRUEdit.h"
#include "cxMaskEdit.h"
#include "cxMemo.h"
#include "cxRadioGroup.h"
#include "cxSpinEdit.h"
#include "cxTextEdit.h"
#include "cxTimeEdit.h"

#include "TypInfo.h"

CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryTextItem, TcxTextEditProperties)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryButtonItem, TcxButtonEditProperties)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryComboBoxItem, TcxComboBoxProperties)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryMaskItem, TcxMaskEditProperties)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryPopupItem, TcxPopupEditProperties)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryCalcItem, TcxCalcEditProperties)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryDateItem, TcxDateEditProperties)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryCurrencyItem, TcxCurrencyEditProperties)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositorySpinItem, TcxSpinEditProperties)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryMemoItem, TcxMemoProperties)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryCheckBoxItem, TcxCheckBoxProperties)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryTimeItem, TcxTimeEditProperties)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryMRUItem, TcxMRUEditProperties)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryHyperLinkItem, TcxHyperLinkEditProperties)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryRadioGroupItem, TcxRadioGroupProperties)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryImageComboBoxItem, TcxImageComboBoxProperties)

void TcxEditRepositoryImageComboBoxItem::Notification(TComponent* AComponent, TOperation Operation)
{
    TcxEditRepositoryItem::Notification(AComponent, Operation);
    if (Operation != opRemove || ComponentState().Contains(csDestroying)) return;
    TcxImageComboBoxProperties* p = Properties();
    if (!p) return;
    if (AComponent == p->Images()) p->SetImages(nullptr);
    if (AComponent == p->LargeImages()) p->SetLargeImages(nullptr);
}

namespace cxEditRepositoryItems {

void Initialize()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterItemClasses({TcxEditRepositoryItem::StaticClass(), TcxEditRepositoryTextItem::StaticClass(),
                         TcxEditRepositoryButtonItem::StaticClass(), TcxEditRepositoryComboBoxItem::StaticClass(),
                         TcxEditRepositoryMaskItem::StaticClass(), TcxEditRepositoryPopupItem::StaticClass(),
                         TcxEditRepositoryCalcItem::StaticClass(), TcxEditRepositoryDateItem::StaticClass(),
                         TcxEditRepositoryCurrencyItem::StaticClass(), TcxEditRepositorySpinItem::StaticClass(),
                         TcxEditRepositoryMemoItem::StaticClass(),
                         TcxEditRepositoryImageComboBoxItem::StaticClass(),
                         TcxEditRepositoryCheckBoxItem::StaticClass(), TcxEditRepositoryTimeItem::StaticClass(),
                         TcxEditRepositoryMRUItem::StaticClass(), TcxEditRepositoryHyperLinkItem::StaticClass(),
                         TcxEditRepositoryRadioGroupItem::StaticClass(), TcxEditRepository::StaticClass()});
}

void RegisterItemClasses(std::initializer_list<TClass> AClasses) { RegisterClasses(AClasses); }

}  // namespace cxEditRepositoryItems
