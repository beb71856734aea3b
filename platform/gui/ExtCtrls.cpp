#include "ExtCtrls.h"
#include "Forms.h"

QZ_CLASS_IMPL(TTimer, TComponent)

TTimer::TTimer(TComponent* owner) : TComponent(owner) { Update(); }

TTimer::~TTimer()
{
    if (FId) Timers::Stop(FId);
}

void TTimer::SetEnabled(bool v)
{
    if (v == FEnabled) return;
    FEnabled = v;
    Update();
}

void TTimer::SetInterval(UINT v)
{
    if (v == FInterval) return;
    FInterval = v;
    Update();
}

// The timer runs with an interval while enabled (the handler may be set at
// any time); changes restart the count.
void TTimer::Update()
{
    if (FId) {
        Timers::Stop(FId);
        FId = 0;
    }
    if (FEnabled && FInterval > 0) {
        TWeakRef<TTimer> self(this);
        FId = Timers::Start(FInterval, [self] {
            if (TTimer* t = self.Get()) t->Timer();
        });
    }
}

void TTimer::Timer()
{
    // Through a copy: the handler may free the timer.
    if (auto handler = OnTimer) handler(this);
}
