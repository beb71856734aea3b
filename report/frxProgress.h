// The progress window the report shows while it prints or exports: a
// message, an optional bar and a cancel button. Cancelling sets Terminated,
// which the report turns into a stop of the running work.
#pragma once

#include "Forms.h"

class TButton;
class TLabel;
class TPanel;
class TProgressBar;

class TfrxProgress : public TForm {
    QZ_CLASS(TfrxProgress, TForm)
public:
    explicit TfrxProgress(TComponent* owner = nullptr);
    ~TfrxProgress() override;

    // Shows the window afresh: Terminated cleared, position 0.
    void Execute(int maxValue, const std::string& message, bool showBar, bool showCancel);
    int Position() const;
    void SetPosition(int v);
    void Tick() { SetPosition(Position() + 1); }
    void Reset() { SetPosition(0); }
    std::string Message() const;
    void SetMessage(const std::string& v);
    bool ShowBar() const { return FShowBar; }
    void SetShowBar(bool v);
    bool Terminated() const { return FTerminated; }

    TPanel* Panel1;
    TLabel* LMessage;
    TProgressBar* Bar;
    TButton* CancelB;

protected:
    // Hidden, the window gives the form it held back its input.
    void DoHide() override;

private:
    void Restore();
    TWeakRef<TCustomForm> FActiveForm;
    bool FShowBar = false;
    bool FTerminated = false;
};

// The progress of a filter's own long step (filling a workbook, writing a
// document), in a window of its own when shown. Step raises EAbort once the
// user has cancelled, so the step stops and writes nothing.
class TfrxStepProgress {
public:
    explicit TfrxStepProgress(bool show);
    ~TfrxStepProgress();
    // A new stage of maxValue steps, with the text of the key.
    void Start(int maxValue, const std::string& textKey);
    void Step();
private:
    std::unique_ptr<TfrxProgress> FWindow;
};
