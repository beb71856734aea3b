// Inside the GUI layer only: the published properties of the standard
// controls, forms, dialogs and drawing objects, which the object inspector
// and the scripts reach by name. Each is the definer of one class record.
#pragma once

#include "TypInfo.h"

#include <vector>

namespace qzgui {
void DefineControlProps(std::vector<TPropInfo>& p);
void DefineWinControlProps(std::vector<TPropInfo>& p);
void DefineCustomEditProps(std::vector<TPropInfo>& p);
void DefineCustomMemoProps(std::vector<TPropInfo>& p);
void DefineCustomListBoxProps(std::vector<TPropInfo>& p);
void DefineCustomLabelProps(std::vector<TPropInfo>& p);
void DefineButtonControlProps(std::vector<TPropInfo>& p);
void DefineCustomButtonProps(std::vector<TPropInfo>& p);
void DefineCustomCheckBoxProps(std::vector<TPropInfo>& p);
void DefineRadioButtonProps(std::vector<TPropInfo>& p);
void DefineCustomGroupBoxProps(std::vector<TPropInfo>& p);
void DefineCustomComboBoxProps(std::vector<TPropInfo>& p);
void DefineCustomFormProps(std::vector<TPropInfo>& p);
void DefineFontProps(std::vector<TPropInfo>& p);
void DefinePenProps(std::vector<TPropInfo>& p);
void DefineBrushProps(std::vector<TPropInfo>& p);
void DefineCanvasProps(std::vector<TPropInfo>& p);
void DefineOpenDialogProps(std::vector<TPropInfo>& p);
void DefineFontDialogProps(std::vector<TPropInfo>& p);
void DefineColorDialogProps(std::vector<TPropInfo>& p);
void DefinePrintDialogProps(std::vector<TPropInfo>& p);
}  // namespace qzgui
