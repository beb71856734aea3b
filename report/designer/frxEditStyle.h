// The styles dialog: the report's named styles (colour, font, frame),
// edited on a copy that replaces the report's styles on OK, with a sample.
#pragma once

#include "Forms.h"

#include <memory>
#include <string>

class TButton;
class TPaintBox;
class TToolBar;
class TToolButton;
class TTreeView;
class TfrxReport;
class TfrxStyleItem;
class TfrxStyles;

class TfrxStyleEditorForm : public TForm {
    QZ_CLASS(TfrxStyleEditorForm, TForm)
public:
    TfrxStyleEditorForm(TComponent* owner, TfrxReport* report);
    ~TfrxStyleEditorForm() override;

    TfrxStyles* Styles() const { return FStyles.get(); }
    TfrxStyleItem* Selected() const;

    TToolBar* ToolBar;
    TToolButton *AddB, *DeleteB, *EditB, *LoadB, *SaveB, *CancelB, *OkB;
    TTreeView* StylesTV;
    TPaintBox* PaintBox;
    TButton *ColorB, *FontB, *FrameB;

    // Refills the list with the style at index selected (the last when the
    // index is too large; none when there are no styles).
    void Fill(int index);
    void AddStyle();
    void DeleteStyle();
    void LoadFile();
    void SaveFile();
    void EditColor();
    void EditFont();
    void EditFrame();

protected:
    void DoShow() override;

private:
    void UpdateButtons();
    void PaintSample();
    TfrxReport* FReport;
    std::unique_ptr<TfrxStyles> FStyles;
};

namespace frxEditStyle {
// The name a style file is saved under: the chosen name with ".fs3".
std::string StyleFileName(const std::string& chosen);
bool EditStyles(TComponent* owner, TfrxReport* report);
}  // namespace frxEditStyle
