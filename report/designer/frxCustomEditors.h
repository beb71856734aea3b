// Component editors of the views: the check items of their context menus
// (shift, visibility, text flags, stretching, line and picture flags) and
// the dialogs a double click opens on text and picture objects.
#pragma once

#include "frxDsgnIntf.h"

#include <vector>

class TfrxView;

// The check items of a menu act on the item's state as the click left it
// (the items check themselves when clicked); every command skips objects
// restricted from modification.
class TfrxViewEditor : public TfrxComponentEditor {
public:
    using TfrxComponentEditor::TfrxComponentEditor;
    void FillMenu() override;
    bool RunMenuCommand(int tag) override;

protected:
    // The selected objects of the class that may be modified (the edited
    // object alone without a designer).
    std::vector<TfrxComponent*> Targets(TClass cls) const;
};

class TfrxCustomMemoEditor : public TfrxViewEditor {
public:
    using TfrxViewEditor::TfrxViewEditor;
    void FillMenu() override;
    bool RunMenuCommand(int tag) override;
};

// Double click: the text editor; its text replaces the object's and unbinds its field.
class TfrxMemoEditor : public TfrxCustomMemoEditor {
public:
    using TfrxCustomMemoEditor::TfrxCustomMemoEditor;
    bool Edit() override;
    bool HasEditor() override { return true; }
};

class TfrxSysMemoEditor : public TfrxCustomMemoEditor {
public:
    using TfrxCustomMemoEditor::TfrxCustomMemoEditor;
    bool Edit() override;
    bool HasEditor() override { return true; }
};

class TfrxLineEditor : public TfrxViewEditor {
public:
    using TfrxViewEditor::TfrxViewEditor;
    void FillMenu() override;
    bool RunMenuCommand(int tag) override;
};

class TfrxPictureEditor : public TfrxViewEditor {
public:
    using TfrxViewEditor::TfrxViewEditor;
    bool Edit() override;
    bool HasEditor() override { return true; }
    void FillMenu() override;
    bool RunMenuCommand(int tag) override;
};
