// The borderless drop-down window of the designer's selectors: it stays on
// top, closes and frees itself when it loses the activation, and notes when
// that happened, so that the click which closed a drop-down does not open
// it again at once.
#pragma once

#include "Forms.h"

#include <cstdint>

class TfrxPopupForm : public TForm {
    QZ_CLASS(TfrxPopupForm, TForm)
public:
    explicit TfrxPopupForm(TComponent* owner = nullptr);

    void FormDeactivate(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
};

namespace frxPopupForm {
// The tick count of the last deactivation of a popup form (0: none yet).
uint32_t LastCloseTick();
void SetLastCloseTick(uint32_t tick);
}  // namespace frxPopupForm
