#include "cxButtonEdit.h"

QZ_CLASS_IMPL(TcxCustomButtonEditProperties, TcxCustomMaskEditProperties)
QZ_CLASS_IMPL(TcxButtonEditProperties, TcxCustomButtonEditProperties)
QZ_CLASS_IMPL(TcxCustomButtonEdit, TcxCustomMaskEdit)
QZ_CLASS_IMPL(TcxButtonEdit, TcxCustomButtonEdit)

using cxClasses::GetResourceString;

namespace {
const TcxResourceStringRec scxSEditRepositoryButtonItem = {"scxSEditRepositoryButtonItem",
                                                           "ButtonEdit|Represents an edit control with embedded buttons"};
}  // namespace

TcxCustomButtonEditProperties::TcxCustomButtonEditProperties(TPersistent* AOwner)
    : TcxCustomMaskEditProperties(AOwner)
{
    // One ellipsis button; a stored form's buttons replace it, as reading a
    // collection replaces its items.
    Buttons()->Add()->SetKind(bkEllipsis);
}

TClass TcxCustomButtonEditProperties::GetEditClass() const { return TcxButtonEdit::StaticClass(); }

TcxCustomButtonEdit::TcxCustomButtonEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomMaskEdit(AOwner, AIsInplace)
{
    // The mask edit made mask edit properties and a mask mode reading them:
    // both are made again for button edit properties.
    InitializeEdit();
    AfterRepositoryItemChange();
    PropertiesChanged(ActiveProperties());
}

namespace cxButtonEdit {
void Initialize()
{
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxButtonEditProperties::StaticClass()) < 0)
        r->Register(TcxButtonEditProperties::StaticClass(), GetResourceString(&scxSEditRepositoryButtonItem));
}
}  // namespace cxButtonEdit
