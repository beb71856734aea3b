#include "frxProgress.h"

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "frxRes.h"

#include <algorithm>

QZ_CLASS_IMPL(TfrxProgress, TForm)

TfrxProgress::TfrxProgress(TComponent* owner) : TForm(owner)
{
    SetName("frxProgress");
    SetBorderStyle(fbsNone);
    TForm::SetPosition(poScreenCenter);   // the form's placing, not the bar's
    SetClientSize(271, 101);
    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetAlign(alClient);
    Panel1->SetCaption("");
    LMessage = new TLabel(this);
    LMessage->SetName("LMessage");
    LMessage->SetParent(Panel1);
    LMessage->SetAutoSize(false);
    LMessage->SetAlignment(taCenter);
    LMessage->SetBounds(17, 15, 237, 16);
    LMessage->SetCaption("");
    Bar = new TProgressBar(this);
    Bar->SetName("Bar");
    Bar->SetParent(Panel1);
    Bar->SetBounds(17, 38, 237, 16);
    Bar->SetMax(100);
    CancelB = new TButton(this);
    CancelB->SetName("CancelB");
    CancelB->SetParent(Panel1);
    CancelB->SetBounds(98, 66, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    CancelB->OnClick = [this](TObject*) {
        FTerminated = true;
        Close();
    };
    frxRes::Resources().LocalizeForm(this);
    // The window stands for the work going on: the form that started it
    // takes no input until it is gone.
    if (Screen) FActiveForm = Screen->ActiveForm();
    if (FActiveForm && FActiveForm.Get() != this) FActiveForm->SetEnabled(false);
}

TfrxProgress::~TfrxProgress() { Restore(); }

void TfrxProgress::Restore()
{
    if (TCustomForm* f = FActiveForm.Get()) f->SetEnabled(true);
    FActiveForm = nullptr;
}

void TfrxProgress::Execute(int maxValue, const std::string& message, bool showBar, bool showCancel)
{
    FTerminated = false;
    CancelB->SetVisible(showCancel);
    SetShowBar(showBar);
    Bar->SetPosition(0);
    Bar->SetMax(maxValue);
    SetMessage(message);
    Show();
    if (Application) Application->ProcessMessages();
}

int TfrxProgress::Position() const { return Bar->Position(); }

void TfrxProgress::SetPosition(int v)
{
    Bar->SetPosition(v);
    if (Visible()) BringToFront();
    if (Application) Application->ProcessMessages();
}

std::string TfrxProgress::Message() const { return LMessage->Caption(); }

void TfrxProgress::SetMessage(const std::string& v)
{
    LMessage->SetCaption(v);
    LMessage->Update();
}

void TfrxProgress::SetShowBar(bool v)
{
    FShowBar = v;
    Bar->SetVisible(v);
    LMessage->SetTop(v ? 15 : 35);
}

void TfrxProgress::DoHide()
{
    TForm::DoHide();
    Restore();
}

TfrxStepProgress::TfrxStepProgress(bool show)
{
    if (show) FWindow = std::make_unique<TfrxProgress>(nullptr);
}

TfrxStepProgress::~TfrxStepProgress() = default;

void TfrxStepProgress::Start(int maxValue, const std::string& textKey)
{
    if (!FWindow) return;
    if (FWindow->Terminated()) Abort();
    FWindow->Execute(std::max(maxValue, 0), frxRes::Resources().Get(textKey), true, true);
}

void TfrxStepProgress::Step()
{
    if (!FWindow) return;
    FWindow->Tick();
    if (FWindow->Terminated()) Abort();
}
