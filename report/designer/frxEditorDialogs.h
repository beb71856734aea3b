// Installs the editor dialogs as the designer window's entry points, so
// that its commands open them.
#pragma once

class TfrxDesignerForm;
struct TfrxDesignerOptions;

namespace frxEditorDialogs {
void Initialize();
void Finalize();
// The window's options as the options dialog shows them, and back.
TfrxDesignerOptions OptionsOf(TfrxDesignerForm* form);
void ApplyOptions(TfrxDesignerForm* form, const TfrxDesignerOptions& o);
}  // namespace frxEditorDialogs
