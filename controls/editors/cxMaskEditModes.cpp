#include "cxMaskEditModes.h"

QZ_CLASS_IMPL(TcxMaskEditCustomMode, TObject)

TcxMaskEditCustomMode::TcxMaskEditCustomMode(IcxMaskModeEdit* AEdit,
                                             IcxMaskModeProperties* AProperties)
    : FEdit(AEdit), FProperties(AProperties)
{
    if (FProperties) {
        FCharCase = FProperties->CharCaseValue();
        FEchoMode = FProperties->EchoModeValue();
    }
}

void TcxMaskEditCustomMode::Beep()
{
    if (FProperties && FProperties->BeepOnError() && FEdit) FEdit->Beep();
}

// The step every mode shares: an edit changed since it was entered shows its
// own text placed into the mask, else the value as the properties show it.
void TcxMaskEditCustomMode::SynchronizeEditValue()
{
    if (!IsEditAvailable()) return;
    std::string text;
    if (FEdit->ModifiedAfterEnter()) text = GetFormattedText(FEdit->InnerText());
    else if (FProperties)
        text = FProperties->PrepareDisplayText(FEdit->EditValueText(), FEdit->Focused());
    else text = FEdit->EditValueText();
    FEdit->SetInnerDisplayValue(text);
}

namespace cxMaskEditModes {
bool IsBlankMask(const std::string& AMask)
{
    for (char c : AMask)
        if (!(c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == ' ')) return false;
    return true;
}
}  // namespace cxMaskEditModes
