// Inside the grid library only: a pointer that reads null once the object
// it watches is freed. User events run while a view or its site handles a
// key, a click or a move may free that view or site; the code after the
// event asks Alive() before it touches the object again.
#pragma once

#include "cxControls.h"
#include "cxGridCustomView.h"

template <class T, void (T::*Add)(T**), void (T::*Remove)(T**)>
class TcxGridLifetimeGuard {
public:
    explicit TcxGridLifetimeGuard(T* AObject) : FObject(AObject)
    {
        if (FObject) (FObject->*Add)(&FObject);
    }
    ~TcxGridLifetimeGuard()
    {
        if (FObject) (FObject->*Remove)(&FObject);
    }
    TcxGridLifetimeGuard(const TcxGridLifetimeGuard&) = delete;
    TcxGridLifetimeGuard& operator=(const TcxGridLifetimeGuard&) = delete;
    bool Alive() const { return FObject != nullptr; }

private:
    T* FObject;
};

// A view, through its destroy references.
using TcxGridViewGuard =
    TcxGridLifetimeGuard<TcxCustomGridView, &TcxCustomGridView::AddReference, &TcxCustomGridView::RemoveReference>;
// A control (a view's site), through its destroy guards.
using TcxGridControlGuard =
    TcxGridLifetimeGuard<TcxControl, &TcxControl::AddDestroyGuard, &TcxControl::RemoveDestroyGuard>;
