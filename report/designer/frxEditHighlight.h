// The highlight dialog of a text object: the condition, and the font and
// background it is printed with while the condition holds.
#pragma once

#include "Forms.h"
#include "Graphics.h"

#include <string>

class TBitBtn;
class TButton;
class TCheckBox;
class TGroupBox;
class TLabel;
class TRadioButton;
class TfrxComboEdit;
class TfrxCustomDesigner;
class TfrxCustomMemoView;
class TfrxHighlight;

class TfrxHighlightEditorForm : public TForm {
    QZ_CLASS(TfrxHighlightEditorForm, TForm)
public:
    TfrxHighlightEditorForm(TComponent* owner, TfrxCustomDesigner* designer);

    TfrxCustomMemoView* MemoView = nullptr;

    TLabel* ConditionL;
    TfrxComboEdit* ConditionE;
    TGroupBox *FontGB, *BackgroundGB;
    TBitBtn *FontColorB, *BackColorB;
    TButton *OKB, *CancelB;
    TCheckBox *BoldCB, *ItalicCB, *UnderlineCB;
    TRadioButton *TransparentRB, *OtherRB;

    TColor WorkingFontColor() const { return FFontColor; }
    TColor WorkingBackColor() const { return FBackColor; }

protected:
    void DoShow() override;
    void DoHide() override;

private:
    void PickColor(TColor& c, TBitBtn* b);
    void UpdateSwatches();
    void BackKindClick();
    TfrxCustomDesigner* FDesigner;
    TColor FFontColor = clBlack, FBackColor = clNone;
};

namespace frxEditHighlight {
// The highlight as the dialog sets it: the condition, the memo's font with
// the style bits (bold 1, italic 2, underline 4) and colour, the back colour.
void ApplyHighlight(TfrxHighlight* h, TfrxCustomMemoView* memo, const std::string& condition, int style,
                    TColor fontColor, TColor backColor);
// A colour swatch for a button: 14 x 15, a grey-edged square of the colour.
void DrawSwatch(TBitmap* b, TColor c);
bool EditHighlight(TComponent* owner, TfrxCustomDesigner* designer, TfrxCustomMemoView* memo);
}  // namespace frxEditHighlight
