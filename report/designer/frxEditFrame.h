// The frame dialog: which sides have a line, the line's colour, style and
// width, and the drop shadow.
#pragma once

#include "Forms.h"
#include "Graphics.h"

#include <memory>
#include <string>

class TButton;
class TComboBox;
class TGroupBox;
class TLabel;
class TPaintBox;
class TToolBar;
class TToolButton;
class TfrxFrame;

class TfrxFrameEditorForm : public TForm {
    QZ_CLASS(TfrxFrameEditorForm, TForm)
public:
    explicit TfrxFrameEditorForm(TComponent* owner = nullptr);
    ~TfrxFrameEditorForm() override;

    // The frame being edited: the caller assigns the object's frame into it
    // and takes it back after OK.
    TfrxFrame* Frame() const { return FFrame.get(); }

    TToolBar *ToolBar1, *ToolBar2, *ToolBar3;
    TToolButton *FrameTopB, *FrameBottomB, *FrameLeftB, *FrameRightB, *FrameAllB, *FrameNoB;
    TToolButton *FrameColorB, *FrameStyleB, *ShadowB, *ShadowColorB;
    TLabel *FrameWidthL, *ShadowWidthL;
    TComboBox *FrameWidthCB, *ShadowWidthCB;
    TPaintBox* SamplePB;
    TButton *OkB, *CancelB;

    // What a control does, chosen by its tag (see frxEditFrame::ApplyCommand);
    // 7, 8 and 11 open a picker under the button, which reports back as
    // 70, 80 and 110.
    void ControlClick(int tag);
    // The buttons and boxes shown from the frame.
    void UpdateControls();

    bool CloseQuery() override;

protected:
    void DoShow() override;

private:
    std::unique_ptr<TfrxFrame> FFrame;
    bool FUpdating = false;
};

namespace frxEditFrame {
// One change of a frame. Tags 1-4 set or clear the top, bottom, left or
// right line by down; 5 all lines; 6 none; 9 the width and 12 the shadow
// width from text ("," or "." separator; bad text raises the conversion
// error and changes nothing); 10 the shadow by down; 70 the colour, 80 the
// style and 110 the shadow colour from value.
void ApplyCommand(TfrxFrame* frame, int tag, bool down, const std::string& text = {}, int value = 0);
// The text a width box shows.
std::string WidthText(double width);
bool EditFrame(TComponent* owner, TfrxFrame* frame);
}  // namespace frxEditFrame
