// One repository item class per editor kind: a repository holds one shared
// properties object of that editor's properties class in each.
#pragma once

#include "cxEdit.h"

class TcxTextEditProperties;
class TcxButtonEditProperties;
class TcxComboBoxProperties;
class TcxMaskEditProperties;
class TcxPopupEditProperties;
class TcxCalcEditProperties;
class TcxDateEditProperties;
class TcxCurrencyEditProperties;
class TcxSpinEditProperties;
class TcxMemoProperties;
class TcxImageComboBoxProperties;
class TcxCheckBoxProperties;
class TcxTimeEditProperties;
class TcxMRUEditProperties;
class TcxHyperLinkEditProperties;
class TcxRadioGroupProperties;

// Properties reads the item's properties as the editor's own class; setting
// them assigns the given object into the item's properties.
#define CX_EDIT_REPOSITORY_ITEM(Cls, PropertiesCls)                                      \
    class Cls : public TcxEditRepositoryItem {                                           \
        QZ_CLASS(Cls, TcxEditRepositoryItem)                                             \
    public:                                                                              \
        explicit Cls(TComponent* AOwner = nullptr) : TcxEditRepositoryItem(AOwner) {}    \
        TClass GetPropertiesClass() const override;                                      \
        PropertiesCls* Properties() const;                                               \
        void SetProperties(PropertiesCls* Value);                                        \
        CX_EDIT_REPOSITORY_ITEM_EXTRA                                                    \
    };

// In the unit's source (with TypInfo.h): the class record publishing Properties.
#define CX_EDIT_REPOSITORY_ITEM_IMPL(Cls, PropertiesCls)                                              \
    namespace {                                                                                       \
    void Define##Cls##Props(std::vector<TPropInfo>& props)                                            \
    {                                                                                                 \
        props.push_back(PublishObject<Cls>("Properties", &Cls::Properties, &Cls::SetProperties));     \
    }                                                                                                 \
    }                                                                                                 \
    QZ_CLASS_IMPL_PROPS(Cls, TcxEditRepositoryItem, Define##Cls##Props)                               \
    TClass Cls::GetPropertiesClass() const { return PropertiesCls::StaticClass(); }                   \
    PropertiesCls* Cls::Properties() const                                                            \
    {                                                                                                 \
        return static_cast<PropertiesCls*>(TcxEditRepositoryItem::Properties());                      \
    }                                                                                                 \
    void Cls::SetProperties(PropertiesCls* Value) { TcxEditRepositoryItem::SetProperties(Value); }

#define CX_EDIT_REPOSITORY_ITEM_EXTRA
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryTextItem, TcxTextEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryButtonItem, TcxButtonEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryComboBoxItem, TcxComboBoxProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryMaskItem, TcxMaskEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryPopupItem, TcxPopupEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryCalcItem, TcxCalcEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryDateItem, TcxDateEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryCurrencyItem, TcxCurrencyEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositorySpinItem, TcxSpinEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryMemoItem, TcxMemoProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryCheckBoxItem, TcxCheckBoxProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryTimeItem, TcxTimeEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryMRUItem, TcxMRUEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryHyperLinkItem, TcxHyperLinkEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryRadioGroupItem, TcxRadioGroupProperties)
#undef CX_EDIT_REPOSITORY_ITEM_EXTRA

// A removed image list that the properties show is dropped from them.
#define CX_EDIT_REPOSITORY_ITEM_EXTRA \
protected:                            \
    void Notification(TComponent* AComponent, TOperation Operation) override;
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryImageComboBoxItem, TcxImageComboBoxProperties)
#undef CX_EDIT_REPOSITORY_ITEM_EXTRA

namespace cxEditRepositoryItems {
// Registers the item classes for streaming. Runs once; later calls do nothing.
void Initialize();
// Registers more item classes for streaming: the units of editors that keep
// their item classes beside themselves call it from their own start-up.
void RegisterItemClasses(std::initializer_list<TClass> AClasses);
}  // namespace cxEditRepositoryItems
