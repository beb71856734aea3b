// The base of the windows shown without waiting (the list windows, the
// query and statistics windows): each stays on top and frees itself when
// it is closed. Several of one kind may be open at once, so they carry no
// component name of their own.
#pragma once

#include "a.h"

class TWinFrm : public TaFrm {
    QZ_CLASS(TWinFrm, TaFrm)
public:
    explicit TWinFrm(TComponent* owner = nullptr);

protected:
    void DoClose(TCloseAction& action) override;
};
