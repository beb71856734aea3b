// The start-up and shut-down routines of a library's units, run as one
// sequence: start-up in the listed order (each unit after the ones it builds
// on), shut-down in the reverse order. The unit routines themselves stay as
// they are; the sequence adds the order, the guard against running twice,
// and the handling of a unit that fails.
#pragma once

#include <exception>
#include <initializer_list>
#include <vector>

// One unit: its start-up and its shut-down routine (either may be null).
struct TUnitStep {
    void (*StartUp)() = nullptr;
    void (*ShutDown)() = nullptr;
};

class TUnitSequence {
public:
    TUnitSequence(std::initializer_list<TUnitStep> steps) : FSteps(steps) {}

    // Starts every unit in order; a second call while started does nothing.
    // When a unit raises, the units started before it are shut down again
    // (in reverse order) and the error goes on to the caller, so a failed
    // start-up leaves nothing half made behind and may be tried again.
    void StartUp()
    {
        if (FStarted) return;
        size_t i = 0;
        try {
            for (; i < FSteps.size(); ++i)
                if (FSteps[i].StartUp) FSteps[i].StartUp();
        } catch (...) {
            ShutDownFirst(i);   // errors of the undoing give way to the original one
            throw;
        }
        FStarted = true;
    }

    // Shuts every unit down in reverse order; nothing unless started. Every
    // unit is shut down even when one raises; the first error is raised
    // once all have run.
    void ShutDown()
    {
        if (!FStarted) return;
        FStarted = false;
        if (std::exception_ptr first = ShutDownFirst(FSteps.size())) std::rethrow_exception(first);
    }

    bool Started() const { return FStarted; }

private:
    // Shuts down the first n units, last first; the first error, if any.
    std::exception_ptr ShutDownFirst(size_t n)
    {
        std::exception_ptr first;
        while (n-- > 0) {
            if (!FSteps[n].ShutDown) continue;
            try {
                FSteps[n].ShutDown();
            } catch (...) {
                if (!first) first = std::current_exception();
            }
        }
        return first;
    }

    std::vector<TUnitStep> FSteps;
    bool FStarted = false;
};
