// The base forms every window of the application derives from: placement at
// the mouse pointer, F1 help on the form's own topic and a resizable border
// for forms without a frame; the OK/Cancel/Help and Close/Help dialogs.
#pragma once

#include "Buttons.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "Forms.h"
#include "StdCtrls.h"

#include <string>

class TaFrm : public TForm {
    QZ_CLASS(TaFrm, TForm)
public:
    explicit TaFrm(TComponent* owner = nullptr);

    // Where a form of the size goes for a mouse at the point on a screen of
    // the size: centred on the mouse, kept 20 pixels off the left and right
    // and 50 off the bottom, and at 20 where it would start off the screen.
    static TPoint PlaceAtMouse(TPoint mouse, int screenWidth, int screenHeight, int width, int height);
    // The resizing answer of a frameless form for a point in client
    // coordinates: 10-pixel corners and 5-pixel edges; 0 elsewhere.
    static int BorderHitTest(int x, int y, int width, int height);
    // The help topic of a form named so: the name without its last three
    // characters ("mainFrm" gives "main"); empty for shorter names.
    static std::string HelpTopic(const std::string& formName);

    // Opens the help page of the topic (the form's own when empty).
    virtual void ShowHelp(const std::string& topic);

protected:
    void DoShow() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void Dispatch(TMessage& m) override;
};

// The OK / Cancel / Help dialog.
class TADlgFrm : public TaFrm {
    QZ_CLASS(TADlgFrm, TaFrm)
public:
    explicit TADlgFrm(TComponent* owner = nullptr);

    TBevel* Bevel1 = nullptr;
    TButton* OkBtn1 = nullptr;
    TButton* CancelBtn1 = nullptr;
    TButton* HelpBtn1 = nullptr;

protected:
    // Puts the bevel and the three buttons along the bottom of the client area.
    void PlaceButtons();
    void Resize() override;
};

// The Close / Help dialog.
class TAInfoDlgFrm : public TaFrm {
    QZ_CLASS(TAInfoDlgFrm, TaFrm)
public:
    explicit TAInfoDlgFrm(TComponent* owner = nullptr);

    TButton* CloseBtn1 = nullptr;
    TButton* HelpBtn1 = nullptr;

protected:
    void Resize() override;
};

namespace UiKit {

// Controls made in code, placed on a parent and owned by a form.
TLabel* MakeLabel(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top);
TButton* MakeButton(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top,
                    int width = 75, int height = 25);
// A 32 x 32 picture on white: a person, or a key.
void DrawBadge(TBitmap* bmp, TColor colour, bool person);
template <class C>
C* Make(TComponent* owner, TWinControl* parent, int left, int top, int width, int height)
{
    auto* c = new C(owner);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
}

}  // namespace UiKit
