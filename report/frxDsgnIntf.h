// The design-time registries: report objects the designer can insert,
// component editors, property editors, export filters and wizards. Every
// lookup and listing follows registration order.
#pragma once

#include "System.h"
#include "TypInfo.h"
#include "Types.h"

#include <memory>
#include <string>
#include <vector>

class TCanvas;
class TComponent;
class TMenuItem;
class TStringList;
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
    // A menu item of Menu with that caption, tag and check mark, appended
    // to the menu's items (null without a menu). The item checks and
    // unchecks itself when clicked, so that RunMenuCommand, run from the
    // click with the item's tag, reads the state the operator chose.
    TMenuItem* AddMenuItem(const std::string& caption, int tag, bool checked);
    // The check state of Menu's item with the tag (false when none).
    bool MenuItemChecked(int tag) const;
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

// ---- property editors and property lists -----------------------------------------------------

// What the inspector offers on a row; the bit numbers are its contract.
enum TfrxPropertyAttribute { eaValueList, eaSortList, eaDialog, eaMultiSelect, eaSubProperties, eaReadOnly,
                             eaOwnerDrawn };
using TfrxPropertyAttributes = TSet<TfrxPropertyAttribute, 8>;

// One property of the selected objects as the inspector shows it: its value
// as text and back, the values a list offers, a dialog, its own drawing.
// The value shown is the first object's; a change goes to every object.
// Text an editor cannot take raises, and the property keeps its value.
class TfrxPropertyEditor : public TObject {
    QZ_CLASS(TfrxPropertyEditor, TObject)
public:
    TfrxPropertyEditor();
    ~TfrxPropertyEditor() override;

    TComponent* Designer = nullptr;
    int ItemHeight = 0;
    // The edited objects and their property's information, in the same order.
    void AddComponent(TObject* object, PPropInfo info);
    int ComponentCount() const { return int(FComponents.size()); }
    TObject* Components(int i) const;
    PPropInfo PropInfos(int i) const { return FPropInfos.at(size_t(i)); }
    TStringList* Values() const { return FValues.get(); }

    // Base: sets the next value of the list (the first after the last or
    // when the value is not in it); false without values.
    virtual bool Edit();
    virtual TfrxPropertyAttributes GetAttributes();
    virtual std::string GetName();
    virtual int GetExtraListWidth() { return ItemHeight + 2; }
    virtual std::string GetValue() { return "(Unknown)"; }
    // Fills Values (descendants call this first, then add theirs).
    virtual void GetValues();
    virtual void SetValue(const std::string& value) {}
    virtual void DrawListItem(TCanvas* canvas, int index, const TRect& r, bool selected);
    virtual void DrawValue(TCanvas* canvas, const TRect& r);

    // The first edited object (null when it has gone).
    TObject* GetComponent() const { return Components(0); }
    TfrxComponent* GetFrxComponent() const;
    PPropInfo GetPropInfo() const { return FPropInfos.empty() ? nullptr : FPropInfos.front(); }
    int64_t GetOrdValue() const;
    double GetFloatValue() const;
    std::string GetStrValue() const;
    void SetOrdValue(int64_t v);
    void SetFloatValue(double v);
    void SetStrValue(const std::string& v);
    void AddValue(const std::string& text);

private:
    std::vector<TWeakRef<TObject>> FComponents;
    std::vector<PPropInfo> FPropInfos;
    std::unique_ptr<TStringList> FValues;
};

class TfrxIntegerProperty : public TfrxPropertyEditor {
    QZ_CLASS(TfrxIntegerProperty, TfrxPropertyEditor)
public:
    std::string GetValue() override;
    void SetValue(const std::string& value) override;
};

class TfrxFloatProperty : public TfrxPropertyEditor {
    QZ_CLASS(TfrxFloatProperty, TfrxPropertyEditor)
public:
    std::string GetValue() override;
    void SetValue(const std::string& value) override;
};

class TfrxCharProperty : public TfrxPropertyEditor {
    QZ_CLASS(TfrxCharProperty, TfrxPropertyEditor)
public:
    std::string GetValue() override;
    void SetValue(const std::string& value) override;
};

class TfrxStringProperty : public TfrxPropertyEditor {
    QZ_CLASS(TfrxStringProperty, TfrxPropertyEditor)
public:
    std::string GetValue() override;
    void SetValue(const std::string& value) override;
};

class TfrxEnumProperty : public TfrxPropertyEditor {
    QZ_CLASS(TfrxEnumProperty, TfrxPropertyEditor)
public:
    TfrxPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void GetValues() override;
    void SetValue(const std::string& value) override;
};

class TfrxSetProperty : public TfrxPropertyEditor {
    QZ_CLASS(TfrxSetProperty, TfrxPropertyEditor)
public:
    TfrxPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
};

class TfrxSetElementProperty : public TfrxPropertyEditor {
    QZ_CLASS(TfrxSetElementProperty, TfrxPropertyEditor)
public:
    int Element = 0;
    TfrxPropertyAttributes GetAttributes() override;
    std::string GetName() override;
    std::string GetValue() override;
    void GetValues() override;
    void SetValue(const std::string& value) override;
};

class TfrxClassProperty : public TfrxPropertyEditor {
    QZ_CLASS(TfrxClassProperty, TfrxPropertyEditor)
public:
    TfrxPropertyAttributes GetAttributes() override;
    std::string GetValue() override { return std::string(); }
};

class TfrxComponentProperty : public TfrxPropertyEditor {
    QZ_CLASS(TfrxComponentProperty, TfrxPropertyEditor)
public:
    TfrxPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void GetValues() override;
    void SetValue(const std::string& value) override;
};

class TfrxNameProperty : public TfrxStringProperty {
    QZ_CLASS(TfrxNameProperty, TfrxStringProperty)
public:
    TfrxPropertyAttributes GetAttributes() override { return {}; }
};

class TfrxColorProperty : public TfrxIntegerProperty {
    QZ_CLASS(TfrxColorProperty, TfrxIntegerProperty)
public:
    TfrxPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void GetValues() override;
    void SetValue(const std::string& value) override;
    // The colour dialog, opened on the colour; true when one was chosen.
    bool Edit() override;
    void DrawListItem(TCanvas* canvas, int index, const TRect& r, bool selected) override;
    void DrawValue(TCanvas* canvas, const TRect& r) override;
};

class TfrxFontProperty : public TfrxClassProperty {
    QZ_CLASS(TfrxFontProperty, TfrxClassProperty)
public:
    TfrxPropertyAttributes GetAttributes() override;
    // The font dialog (installed fonts only); the chosen font goes to every object.
    bool Edit() override;
};

class TfrxFontNameProperty : public TfrxStringProperty {
    QZ_CLASS(TfrxFontNameProperty, TfrxStringProperty)
public:
    TfrxPropertyAttributes GetAttributes() override;
    void GetValues() override;
};

class TfrxFontCharsetProperty : public TfrxIntegerProperty {
    QZ_CLASS(TfrxFontCharsetProperty, TfrxIntegerProperty)
public:
    TfrxPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void GetValues() override;
    void SetValue(const std::string& value) override;
};

class TfrxModalResultProperty : public TfrxIntegerProperty {
    QZ_CLASS(TfrxModalResultProperty, TfrxIntegerProperty)
public:
    TfrxPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void GetValues() override;
    void SetValue(const std::string& value) override;
};

class TfrxShortCutProperty : public TfrxPropertyEditor {
    QZ_CLASS(TfrxShortCutProperty, TfrxPropertyEditor)
public:
    TfrxPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void GetValues() override;
    void SetValue(const std::string& value) override;
};

class TfrxCursorProperty : public TfrxIntegerProperty {
    QZ_CLASS(TfrxCursorProperty, TfrxIntegerProperty)
public:
    TfrxPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void GetValues() override;
    void SetValue(const std::string& value) override;
};

class TfrxPropertyList;

// One row: its editor, whether its sub-rows are open, and the sub-rows.
struct TfrxPropertyItem {
    std::unique_ptr<TfrxPropertyEditor> Editor;
    bool Expanded = false;
    std::unique_ptr<TfrxPropertyList> SubProperty;
};

// The rows of an object's published properties, sorted by name; sets and
// persistent sub-objects (a font) carry sub-rows.
class TfrxPropertyList {
public:
    explicit TfrxPropertyList(TComponent* designer = nullptr);
    ~TfrxPropertyList();
    TComponent* Designer() const { return FDesigner; }
    TObject* Component() const { return FComponent; }
    TfrxPropertyList* Parent = nullptr;
    // Rebuilds the rows for the object (null: none).
    void SetComponent(TObject* object);
    TfrxPropertyItem* Add();
    int Count() const { return int(FItems.size()); }
    TfrxPropertyItem* Items(int i) const { return FItems.at(size_t(i)).get(); }
    void Delete(int i);
    // Takes row i out of the list (the caller owns it) / appends a row.
    std::unique_ptr<TfrxPropertyItem> Take(int i);
    void Adopt(std::unique_ptr<TfrxPropertyItem> item);
    // The row of the property (by its editor's name), null when none.
    TfrxPropertyItem* Find(const std::string& name) const;

private:
    TComponent* FDesigner;
    TObject* FComponent = nullptr;
    std::vector<std::unique_ptr<TfrxPropertyItem>> FItems;
};

namespace frxDsgnIntf {
// Registers the library's own property editors, once; editors registered
// after them take precedence as the lookup rules say.
void RegisterStandardEditors();
// The rows several selected objects share, editing them all (null for an
// empty selection): properties of the same kind and name that allow more
// than one object.
std::unique_ptr<TfrxPropertyList> BuildCommonPropertyList(const std::vector<TObject*>& objects,
                                                          TComponent* designer);
TfrxObjectCollection& ObjectRegistry();
TfrxComponentEditorCollection& ComponentEditorRegistry();
TfrxPropertyEditorCollection& PropertyEditorRegistry();
TfrxExportFilterCollection& ExportFilterRegistry();
TfrxWizardCollection& WizardRegistry();
// Hides the named properties (";"-separated) of the class and its descendants.
void HideProperties(TClass componentClass, const std::string& names);
}
