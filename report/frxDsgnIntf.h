// The design-time registries: report objects the designer can insert,
// component editors, property editors, export filters and wizards. Every
// lookup and listing follows registration order.
#pragma once

#include "System.h"

#include <string>
#include <vector>

class TComponent;
class TfrxComponent;
class TfrxCustomExportFilter;
struct TTypeInfo;

struct TfrxObjectItem {
    TClass ClassRef = nullptr;          // null for a category entry
    const void* ButtonBitmap = nullptr;
    int ButtonImageIndex = -1;
    std::string ButtonHint;
    std::string CategoryName;
    int Flags = 0;
};

class TfrxObjectCollection {
public:
    // Nothing happens when the class is listed with the same flags already;
    // otherwise it is registered for streaming and appended.
    void AddObjectClass(TClass classRef, const void* buttonBitmap, int buttonImageIndex = -1,
                        int flags = 0, const std::string& categoryName = std::string(),
                        const std::string& buttonHint = std::string());
    void RegisterCategory(const std::string& name, const void* buttonBitmap, int buttonImageIndex,
                          const std::string& buttonHint = std::string());
    int Count() const { return int(FItems.size()); }
    TfrxObjectItem& GetItem(int index) { return FItems.at(size_t(index)); }
private:
    std::vector<TfrxObjectItem> FItems;
};

class TfrxComponentEditor;
// Makes an editor; the editor classes keep their state in the three fields.
using TfrxComponentEditorClass = TfrxComponentEditor* (*)(TfrxComponent* component,
                                                           TComponent* designer, TComponent* menu);

class TfrxComponentEditor {
public:
    TfrxComponentEditor(TfrxComponent* component, TComponent* designer, TComponent* menu)
        : Component(component), Designer(designer), Menu(menu) {}
    virtual ~TfrxComponentEditor() = default;
    virtual bool Edit() { return false; }
    virtual bool HasEditor() { return false; }
    virtual void FillMenu() {}
    virtual bool RunMenuCommand(int tag) { return false; }
    TfrxComponent* Component;
    TComponent* Designer;
    TComponent* Menu;
};

struct TfrxComponentEditorItem {
    TClass ComponentClass = nullptr;
    TfrxComponentEditorClass EditorClass = nullptr;
};

class TfrxComponentEditorCollection {
public:
    void AddEditor(TClass componentClass, TfrxComponentEditorClass editorClass);
    // The exact class's entry, else the last registered ancestor's; the
    // caller frees the editor. Null when none serves.
    TfrxComponentEditor* GetComponentEditor(TfrxComponent* component, TComponent* designer,
                                            TComponent* menu) const;
    int Count() const { return int(FItems.size()); }
    const TfrxComponentEditorItem& GetItem(int i) const { return FItems.at(size_t(i)); }
private:
    std::vector<TfrxComponentEditorItem> FItems;
};

// Property editors are named by their class records; null means "no
// editor" (the property is hidden from the inspector).
struct TfrxPropertyEditorItem {
    std::string PropertyType;        // the property type's name; empty = none
    TClass ComponentClass = nullptr;
    std::string PropertyName;
    TClass EditorClass = nullptr;
};

class TfrxPropertyEditorCollection {
public:
    void Register(const std::string& propertyType, TClass componentClass,
                  const std::string& propertyName, TClass editorClass);
    void RegisterEventEditor(TClass editorClass);
    // Index of the entry that serves the property, -1 when none.
    int FindEditor(const std::string& propertyType, const TObject* object,
                   const std::string& propertyName) const;
    int Count() const { return int(FItems.size()); }
    const TfrxPropertyEditorItem& GetItem(int i) const { return FItems.at(size_t(i)); }
    int EventEditorIndex = -1;
private:
    std::vector<TfrxPropertyEditorItem> FItems;
};

class TfrxExportFilterCollection {
public:
    void AddFilter(TfrxCustomExportFilter* filter);
    void RemoveFilter(TfrxCustomExportFilter* filter);
    int Count() const { return int(FItems.size()); }
    TfrxCustomExportFilter* GetItems(int index) const { return FItems.at(size_t(index)); }
private:
    std::vector<TfrxCustomExportFilter*> FItems;
};

struct TfrxWizardItem {
    TClass ClassRef = nullptr;
    const void* ButtonBitmap = nullptr;
    int ButtonImageIndex = -1;
    bool IsToolbarWizard = false;
};

class TfrxWizardCollection {
public:
    void Register(TClass classRef, const void* buttonBitmap, bool isToolbarWizard = false);
    void Unregister(TClass classRef);
    int Count() const { return int(FItems.size()); }
    TfrxWizardItem& GetItem(int index) { return FItems.at(size_t(index)); }
private:
    std::vector<TfrxWizardItem> FItems;
};

namespace frxDsgnIntf {
TfrxObjectCollection& ObjectRegistry();
TfrxComponentEditorCollection& ComponentEditorRegistry();
TfrxPropertyEditorCollection& PropertyEditorRegistry();
TfrxExportFilterCollection& ExportFilterRegistry();
TfrxWizardCollection& WizardRegistry();
// Hides the named properties (";"-separated) of the class and its descendants.
void HideProperties(TClass componentClass, const std::string& names);
}
