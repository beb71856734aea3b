#include "frxDsgnIntf.h"
#include "Menus.h"

#include "frxClass.h"
#include "frxUtils.h"

#include "TextUtils.h"

#include <algorithm>

void TfrxObjectCollection::AddObjectClass(TClass classRef, const void* buttonBitmap,
                                          int buttonImageIndex, int flags,
                                          const std::string& categoryName,
                                          const std::string& buttonHint)
{
    for (const auto& it : FItems)
        if (classRef && it.ClassRef == classRef && it.Flags == flags) return;
    if (classRef) RegisterClass(classRef);
    TfrxObjectItem item;
    item.ClassRef = classRef;
    item.ButtonBitmap = buttonBitmap;
    item.ButtonImageIndex = buttonImageIndex;
    item.ButtonHint = buttonHint;
    item.CategoryName = categoryName;
    item.Flags = flags;
    FItems.push_back(item);
}

void TfrxObjectCollection::RegisterCategory(const std::string& name, const void* buttonBitmap,
                                            int buttonImageIndex, const std::string& buttonHint)
{
    TfrxObjectItem item;
    item.ButtonBitmap = buttonBitmap;
    item.ButtonImageIndex = buttonImageIndex;
    item.ButtonHint = buttonHint;
    item.CategoryName = name;
    FItems.push_back(item);
}

void TfrxComponentEditorCollection::AddEditor(TClass componentClass,
                                              TfrxComponentEditorClass editorClass)
{
    FItems.push_back({componentClass, editorClass});
}

TMenuItem* TfrxComponentEditor::AddMenuItem(const std::string& caption, int tag, bool checked)
{
    auto* menu = DynamicCast<TMenu>(Menu);
    if (!menu) return nullptr;
    auto* item = new TMenuItem(menu);
    item->SetCaption(caption);
    item->SetTag(tag);
    item->SetChecked(checked);
    // A click flips the check before the editor's command reads it.
    item->SetAutoCheck(caption != "-");
    menu->Items()->Add(item);
    return item;
}

bool TfrxComponentEditor::MenuItemChecked(int tag) const
{
    auto* menu = DynamicCast<TMenu>(Menu);
    if (!menu) return false;
    for (int i = 0; i < menu->Items()->Count(); ++i) {
        TMenuItem* item = menu->Items()->Items(i);
        if (item->Tag() == tag && !item->IsLine()) return item->Checked();
    }
    return false;
}

TfrxComponentEditor* TfrxComponentEditorCollection::GetComponentEditor(TfrxComponent* component,
                                                                       TComponent* designer,
                                                                       TComponent* menu) const
{
    if (!component) return nullptr;
    const TfrxComponentEditorItem* found = nullptr;
    for (const auto& it : FItems) {
        if (!it.ComponentClass) continue;
        if (it.ComponentClass == component->ClassType()) {
            found = &it;
            break;
        }
        if (component->InheritsFrom(it.ComponentClass)) found = &it;
    }
    if (!found || !found->EditorClass) return nullptr;
    return found->EditorClass(component, designer, menu);
}

void TfrxPropertyEditorCollection::Register(const std::string& propertyType, TClass componentClass,
                                            const std::string& propertyName, TClass editorClass)
{
    FItems.push_back({propertyType, componentClass, propertyName, editorClass});
}

void TfrxPropertyEditorCollection::RegisterEventEditor(TClass editorClass)
{
    FItems.push_back({std::string(), nullptr, std::string(), editorClass});
    EventEditorIndex = Count() - 1;
}

int TfrxPropertyEditorCollection::FindEditor(const std::string& propertyType, const TObject* object,
                                             const std::string& propertyName) const
{
    std::string lower = LowerCase(propertyType);
    if (lower.size() >= 9 && lower.compare(0, 4, "tfrx") == 0 &&
        lower.compare(lower.size() - 5, 5, "event") == 0)
        return EventEditorIndex;
    int typeMatch = -1;
    for (int i = Count() - 1; i >= 0; --i) {
        const auto& it = FItems[size_t(i)];
        if (!it.ComponentClass && !it.PropertyType.empty() && SameText(it.PropertyType, propertyType)) {
            if (it.PropertyName.empty()) {
                typeMatch = i;
                continue;
            }
            if (SameText(it.PropertyName, propertyName)) return i;
        }
        if (it.ComponentClass && object && object->InheritsFrom(it.ComponentClass) &&
            SameText(it.PropertyName, propertyName))
            return i;
    }
    return typeMatch;
}

void TfrxExportFilterCollection::AddFilter(TfrxCustomExportFilter* filter)
{
    if (!filter || std::find(FItems.begin(), FItems.end(), filter) != FItems.end()) return;
    FItems.push_back(filter);
}

void TfrxExportFilterCollection::RemoveFilter(TfrxCustomExportFilter* filter)
{
    FItems.erase(std::remove(FItems.begin(), FItems.end(), filter), FItems.end());
}

void TfrxWizardCollection::Register(TClass classRef, const void* buttonBitmap, bool isToolbarWizard)
{
    for (const auto& it : FItems)
        if (it.ClassRef == classRef) return;
    FItems.push_back({classRef, buttonBitmap, -1, isToolbarWizard});
}

void TfrxWizardCollection::Unregister(TClass classRef)
{
    FItems.erase(std::remove_if(FItems.begin(), FItems.end(),
                                [&](const TfrxWizardItem& it) { return it.ClassRef == classRef; }),
                 FItems.end());
}

namespace frxDsgnIntf {

TfrxObjectCollection& ObjectRegistry()
{
    static TfrxObjectCollection r;
    return r;
}
TfrxComponentEditorCollection& ComponentEditorRegistry()
{
    static TfrxComponentEditorCollection r;
    return r;
}
TfrxPropertyEditorCollection& PropertyEditorRegistry()
{
    static TfrxPropertyEditorCollection r;
    return r;
}
TfrxExportFilterCollection& ExportFilterRegistry()
{
    static TfrxExportFilterCollection r;
    return r;
}
TfrxWizardCollection& WizardRegistry()
{
    static TfrxWizardCollection r;
    return r;
}

void HideProperties(TClass componentClass, const std::string& names)
{
    for (const auto& n : frxUtils::SplitBySeparator(names, ';'))
        if (!n.empty()) PropertyEditorRegistry().Register(std::string(), componentClass, n, nullptr);
}

}  // namespace frxDsgnIntf
