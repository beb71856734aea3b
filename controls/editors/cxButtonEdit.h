// The button edit: a mask edit that shows one ellipsis button until its
// buttons are set otherwise.
#pragma once

#include "cxMaskEdit.h"

class TcxCustomButtonEditProperties : public TcxCustomMaskEditProperties {
    QZ_CLASS(TcxCustomButtonEditProperties, TcxCustomMaskEditProperties)
public:
    explicit TcxCustomButtonEditProperties(TPersistent* AOwner = nullptr);
    TClass GetEditClass() const override;
};

class TcxButtonEditProperties : public TcxCustomButtonEditProperties {
    QZ_CLASS(TcxButtonEditProperties, TcxCustomButtonEditProperties)
public:
    explicit TcxButtonEditProperties(TPersistent* AOwner = nullptr) : TcxCustomButtonEditProperties(AOwner) {}
};

class TcxCustomButtonEdit : public TcxCustomMaskEdit {
    QZ_CLASS(TcxCustomButtonEdit, TcxCustomMaskEdit)
public:
    explicit TcxCustomButtonEdit(TComponent* AOwner = nullptr, bool AIsInplace = false);
    TClass GetPropertiesClass() const override { return TcxButtonEditProperties::StaticClass(); }
    TcxContainerStyleValues GetHiddenStyleValues() const override
    {
        return TcxContainerStyleValues{svPopupBorderStyle};
    }
};

class TcxButtonEdit : public TcxCustomButtonEdit {
    QZ_CLASS(TcxButtonEdit, TcxCustomButtonEdit)
public:
    explicit TcxButtonEdit(TComponent* AOwner = nullptr) : TcxCustomButtonEdit(AOwner) {}
};

namespace cxButtonEdit {
// Registers the button edit properties with the editor registry.
void Initialize();
}  // namespace cxButtonEdit
