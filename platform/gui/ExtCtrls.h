// The timer component.
#pragma once

#include "Controls.h"

// Calls OnTimer every Interval milliseconds while enabled, on the program's
// thread, from the program's one timer schedule.
class TTimer : public TComponent {
    QZ_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* owner = nullptr);
    ~TTimer() override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    UINT Interval() const { return FInterval; }
    void SetInterval(UINT v);
    TNotifyEvent OnTimer;
protected:
    virtual void Timer();
private:
    void Update();
    bool FEnabled = true;
    UINT FInterval = 1000;
    uintptr_t FId = 0;
};
