// The data controller over its own records: active as soon as it is made.
#pragma once

#include "cxCustomData.h"

class TcxDataController : public TcxCustomDataController {
    QZ_CLASS(TcxDataController, TcxCustomDataController)
public:
    explicit TcxDataController(TComponent* owner = nullptr) : TcxCustomDataController(owner) {}
    void AfterConstruction() override
    {
        TcxCustomDataController::AfterConstruction();
        SetActive(true);
    }
};
