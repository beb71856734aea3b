// The lines dialog: a list of lines edited as text.
#pragma once

#include "Forms.h"

class TMemo;
class TToolBar;
class TToolButton;
class TStrings;

class TfrxStringsEditorForm : public TForm {
    QZ_CLASS(TfrxStringsEditorForm, TForm)
public:
    explicit TfrxStringsEditorForm(TComponent* owner = nullptr);
    TToolBar* ToolBar;
    TToolButton *CancelB, *OkB;
    // Filled by the caller and read after OK.
    TMemo* Memo;
};

namespace frxEditStrings {
// The dialog over the lines; true and the lines replaced after OK.
bool EditStrings(TComponent* owner, TStrings* lines);
}
