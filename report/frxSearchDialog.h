// The search dialog of the preview and the designer: the text to look for,
// whether case counts and whether to start from the top; the designer's
// replace shows the panel with the replacement text. The last confirmed
// text is proposed the next time.
#pragma once

#include "Forms.h"

class TButton;
class TCheckBox;
class TEdit;
class TGroupBox;
class TLabel;
class TPanel;

class TfrxSearchDialog : public TForm {
    QZ_CLASS(TfrxSearchDialog, TForm)
public:
    explicit TfrxSearchDialog(TComponent* owner = nullptr);
    TLabel* TextL;
    TEdit* TextE;
    TGroupBox* SearchL;
    TCheckBox* CaseCB;
    TCheckBox* TopCB;
    TButton* OkB;
    TButton* CancelB;
    // Hidden unless the caller shows it before the dialog opens.
    TPanel* ReplacePanel;
    TLabel* ReplaceL;
    TEdit* ReplaceE;
    TModalResult ShowModal() override;
protected:
    void DoShow() override;
    void DoHide() override;
};

namespace frxSearchDialog {
// The text of the last confirmed search, shared by every search dialog.
std::string& LastText();
}
