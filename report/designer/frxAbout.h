// The about box of the designer: the program's name, version and where to
// learn more; a click on the link label opens it, on an address label
// writes to it.
#pragma once

#include "Forms.h"

class TButton;
class TLabel;

class TfrxAboutForm : public TForm {
    QZ_CLASS(TfrxAboutForm, TForm)
public:
    explicit TfrxAboutForm(TComponent* owner = nullptr);
    TLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
    TButton* OKB;
    // What a click on a label opens: its text (tag 1) or a mail to it (tag 2).
    void LabelClick(TLabel* label);
};

namespace frxAbout {
void ShowAbout(TComponent* owner);
}
