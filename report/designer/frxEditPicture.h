// The picture dialog: loads, copies, pastes and clears a picture, shown
// with its size in the status bar.
#pragma once

#include "Forms.h"

#include <memory>
#include <string>

class TGraphic;
class TImage;
class TScrollBox;
class TStatusBar;
class TToolBar;
class TToolButton;
class TfrxPicture;

class TfrxPictureEditorForm : public TForm {
    QZ_CLASS(TfrxPictureEditorForm, TForm)
public:
    explicit TfrxPictureEditorForm(TComponent* owner = nullptr);
    ~TfrxPictureEditorForm() override;

    // The picture being edited: the caller assigns it and takes it back after OK.
    TfrxPicture* Picture() const { return FPicture.get(); }

    TToolBar* ToolBar;
    TToolButton *LoadB, *CopyB, *PasteB, *ClearB, *CancelB, *OkB;
    TScrollBox* Box;
    TImage* Image;
    TStatusBar* StatusBar;

    void LoadPicture();
    void CopyPicture();
    void PastePicture();
    void ClearPicture();
    // Shows the picture and its size.
    void UpdateImage();

protected:
    void DoShow() override;

private:
    std::unique_ptr<TfrxPicture> FPicture;
};

namespace frxEditPicture {
// The status text: "piEmpty" for no picture, else "W x H".
std::string StatusText(const TfrxPicture* picture);
// The open dialog's filter for pictures.
std::string PictureFilter();
bool EditPicture(TComponent* owner, TfrxPicture* picture);
// The graphic a picture's bytes hold (null when none can be read).
std::unique_ptr<TGraphic> GraphicOf(const TfrxPicture* picture);
}  // namespace frxEditPicture
