// The object inspector: the designer's tool window that lists the
// properties and the events of the selected objects in a two-column grid
// (name, value), edits a value inline, through a drop-down list or through
// a dialog, opens class-typed properties into their sub-properties and
// describes the selected property. Editing goes through the property
// editors registered for each property; the inspector lays out the rows,
// routes the input and reports the changes.
#pragma once

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TBitmap;
class TList;
class TListBox;
class TScrollBox;
class TfrxCustomDesigner;
class TfrxPopupForm;
class TfrxPropertyEditor;
class TfrxPropertyList;
struct TfrxPropertyItem;

class TfrxObjectInspector : public TForm {
    QZ_CLASS(TfrxObjectInspector, TForm)
public:
    // The owner must be the designer window (raises otherwise); the
    // inspector edits the window's selection list.
    explicit TfrxObjectInspector(TComponent* owner);
    ~TfrxObjectInspector() override;

    TfrxCustomDesigner* Designer() const { return FDesigner; }
    // The objects inspected: the designer window's selection unless set.
    TList* InspectedObjects() const { return FInspectedObjects; }
    void SetInspectedObjects(TList* list) { FInspectedObjects = list; }

    // Refills the objects combo (name ": " class of each component).
    void SetObjectList(TList* list);
    // Shows the properties the objects share and reselects the property
    // selected last (else the first row).
    void Inspect(const std::vector<TObject*>& objects);
    // Inspect of the inspected objects again.
    void UpdateProperties();
    // While locked the grid and the objects combo do not draw.
    void Lock() { FLocked = true; }
    void Unlock();
    bool Locked() const { return FLocked; }
    // Colour of the objects combo and of the grid.
    void SetColor(TColor c);
    int SplitPos() const { return FSplitPos; }
    void SetSplitPos(int v);
    // Height of the description panel.
    int Split1Pos() const;
    void SetSplit1Pos(int v);

    // After a value was changed (sender: the inspector).
    TNotifyEvent OnModify;
    // After the operator chose another object in the objects combo.
    TNotifyEvent OnSelectionChanged;

    // ---- the rows
    TfrxPropertyList* PropertyList() const { return FPropertyList.get(); }
    TfrxPropertyList* EventList() const { return FEventList.get(); }
    // The properties on the first tab, the events on the second.
    TfrxPropertyList* CurrentList() const;
    int RowHeight() const { return FRowHeight; }
    int RowCount() const { return int(FRows.size()); }
    TfrxPropertyItem* Row(int index) const;
    // Nesting of the row: 0 for a property of the object.
    int RowDepth(int index) const;
    std::string RowName(int index) const;
    int SelectedRow() const { return FSelectedRow; }
    // Selects a row (clamped; -1: none), first committing a changed value.
    void SelectRow(int index);
    // Selects the row of that name at the top level; false when none.
    bool SelectProperty(const std::string& name);
    const std::string& LastPropertyName() const { return FLastPropertyName; }
    // Opens or closes the row's sub-rows.
    void ToggleExpanded(int index);
    // Gives the selected row the text as its new value: false when the
    // editor refused it (the error was shown and the old text is back).
    bool SetSelectedValue(const std::string& text);
    // The dialog of the selected row's editor (as the dialog button).
    void EditSelected();
    // The drop-down list of the selected row (as the drop-down button).
    void DropDown();
    // The text of the description panel's two labels.
    std::string PropertyText() const { return PropL->Caption(); }
    std::string DescriptionText() const { return DescrL->Caption(); }
    // Paints the grid now (into its bitmap and onto the window).
    void PaintGrid();
    // The grid as last painted.
    TBitmap* GridBitmap() const { return FBitmap.get(); }

    // ---- the window's controls
    TComboBox* ObjectsCB;
    TTabControl* Tab;
    TPanel* BackPanel;
    TScrollBox* Box;
    TPanel* InnerPanel;
    TPaintBox* PB;
    TEdit* Edit1;
    TPanel* EditPanel;
    TSpeedButton* EditBtn;
    TPanel* ComboPanel;
    TSpeedButton* ComboBtn;
    TSplitter* Splitter1;
    TPanel* HintPanel;
    TLabel* PropL;
    TLabel* DescrL;
    TPopupMenu* PopupMenu1;
    TMenuItem *N11, *N21, *N31, *N41, *N51, *N61;
    // The window that shows a name or value too long for its column.
    THintWindow* HintWindow() const { return FHintWindow; }
    // The drop-down list while it is open (null otherwise).
    TListBox* DropList() const { return FDropList; }

private:
    struct TRowRef {
        TfrxPropertyItem* Item;
        TfrxPropertyList* List;   // the list the row belongs to
        int Depth;
    };
    void BuildRows();
    void AddRows(TfrxPropertyList* list, int depth);
    void LayoutControls();
    void PlaceEditor();
    void CommitEdit();
    bool Commit(const std::string& text);
    void Modified();
    void UpdateComboItem();
    void DrawRow(TCanvas* c, int row, bool selected);
    std::string Description(int row) const;
    void TabChange(TObject* sender);
    void ObjectsCBClick(TObject* sender);
    void PBMouseDown(TObject* sender, TMouseButton b, TShiftState s, int x, int y);
    void PBMouseMove(TObject* sender, TShiftState s, int x, int y);
    void PBMouseUp(TObject* sender, TMouseButton b, TShiftState s, int x, int y);
    void PBDblClick(TObject* sender);
    void Edit1KeyDown(TObject* sender, uint16_t& key, TShiftState s);
    void Edit1MouseDown(TObject* sender, TMouseButton b, TShiftState s, int x, int y);
    void ListClick(TObject* sender);
    void ClipboardItem(TObject* sender);
    void ShowHintAt(const std::string& text, int x, int y);
    void HideHint();

    TfrxCustomDesigner* FDesigner;
    TList* FInspectedObjects;
    std::unique_ptr<TfrxPropertyList> FPropertyList;
    std::unique_ptr<TfrxPropertyList> FEventList;
    std::vector<TRowRef> FRows;
    std::unique_ptr<TBitmap> FBitmap;
    THintWindow* FHintWindow = nullptr;
    TListBox* FDropList = nullptr;
    TfrxPopupForm* FPopup = nullptr;
    int FRowHeight = 16;
    int FSplitPos = 0;
    int FSelectedRow = -1;
    std::string FLastPropertyName;
    bool FLocked = false;
    bool FUpdatingObjectsCB = false;
    bool FDraggingSplit = false;
    bool FTickSet = false;
    bool FPressToggled = false;
    uint32_t FPressTick = 0;
};
