// The barcode object in the designer: its menu's check items (check digit,
// text) and the dialog that edits its expression, type, options, zoom and
// rotation over a live sample.
#pragma once

#include "Forms.h"
#include "frxCustomEditors.h"

#include <string>

class TBevel;
class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TGroupBox;
class TLabel;
class TPaintBox;
class TRadioButton;
class TUpDown;
class TfrxBarCodeView;
class TfrxComboEdit;
class TfrxCustomDesigner;

class TfrxBarcodeEditor : public TfrxViewEditor {
public:
    using TfrxViewEditor::TfrxViewEditor;
    bool Edit() override;
    bool HasEditor() override { return true; }
    void FillMenu() override;
    bool RunMenuCommand(int tag) override;
};

class TfrxBarcodeEditorForm : public TForm {
    QZ_CLASS(TfrxBarcodeEditorForm, TForm)
public:
    TfrxBarcodeEditorForm(TComponent* owner, TfrxCustomDesigner* designer);

    TfrxBarCodeView* Barcode = nullptr;

    TLabel *CodeLbl, *TypeLbl, *ZoomLbl;
    TfrxComboEdit* CodeE;
    TComboBox* TypeCB;
    TGroupBox *OptionsLbl, *RotationLbl;
    TCheckBox *CalcCheckSumCB, *ViewTextCB;
    TEdit* ZoomE;
    TUpDown* UpDown1;
    TRadioButton *Rotation0RB, *Rotation90RB, *Rotation180RB, *Rotation270RB;
    TBevel* ExampleBvl;
    TPaintBox* ExamplePB;
    TButton *OkB, *CancelB;

    int ChosenRotation() const;
    // A zoom that is no number keeps the dialog open; nothing changes.
    bool CloseQuery() override;

protected:
    void DoShow() override;
    void DoHide() override;

private:
    void PaintSample();
    TfrxCustomDesigner* FDesigner;
};

namespace frxBarcodeEditor {
bool EditBarcode(TComponent* owner, TfrxCustomDesigner* designer, TfrxBarCodeView* view);
// Registers the editor for the barcode object.
void Initialize();
}  // namespace frxBarcodeEditor
