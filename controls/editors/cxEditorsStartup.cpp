#include "cxEditorsStartup.h"

#include "UnitSequence.h"
#include "cxBlobEdit.h"
#include "cxButtonEdit.h"
#include "cxCalc.h"
#include "cxCheckBox.h"
#include "cxCurrencyEdit.h"
#include "cxDBLookupComboBox.h"
#include "cxDateEdit.h"
#include "cxDropDownEdit.h"
#include "cxEdit.h"
#include "cxEditDBRegisteredRepositoryItems.h"
#include "cxEditDataRegisteredRepositoryItems.h"
#include "cxEditPaintUtils.h"
#include "cxEditRepositoryItems.h"
#include "cxFormats.h"
#include "cxHyperLinkEdit.h"
#include "cxImage.h"
#include "cxImageComboBox.h"
#include "cxMRUEdit.h"
#include "cxMaskEdit.h"
#include "cxMemo.h"
#include "cxNavigator.h"
#include "cxRadioGroup.h"
#include "cxSpinEdit.h"
#include "cxTextEdit.h"
#include "cxTimeEdit.h"

namespace cxEditorsStartup {

namespace {
TUnitSequence& Units()
{
    static TUnitSequence units{
        // The format controller goes after every properties object that
        // listens to it, the default repository's among them.
        {nullptr, cxFormats::FreeFormatController},
        {cxEdit::Initialize, cxEdit::Finalize},
        {nullptr, cxEditPaintUtils::Finalize},
        {cxTextEdit::Initialize, nullptr},
        {cxMaskEdit::Initialize, nullptr},
        {cxDropDownEdit::Initialize, nullptr},
        {cxImageComboBox::Initialize, nullptr},
        {cxMRUEdit::Initialize, nullptr},
        {cxCalc::Initialize, nullptr},
        {cxDateEdit::Initialize, nullptr},
        {cxSpinEdit::Initialize, nullptr},
        {cxTimeEdit::Initialize, cxTimeEdit::Finalize},
        {cxMemo::Initialize, nullptr},
        {cxCheckBox::Initialize, nullptr},
        {cxCurrencyEdit::Initialize, nullptr},
        {cxButtonEdit::Initialize, nullptr},
        {cxHyperLinkEdit::Initialize, nullptr},
        {cxImage::Initialize, cxImage::Finalize},
        {cxBlobEdit::Initialize, cxBlobEdit::Finalize},
        {cxEditRepositoryItems::Initialize, nullptr},
        {cxEditDataRegisteredRepositoryItems::Initialize, cxEditDataRegisteredRepositoryItems::Finalize},
        {cxEditDBRegisteredRepositoryItems::Initialize, cxEditDBRegisteredRepositoryItems::Finalize},
        {cxDBLookupComboBox::Initialize, cxDBLookupComboBox::Finalize},
        {nullptr, cxNavigator::Finalize},
        {cxRadioGroup::Initialize, nullptr},
    };
    return units;
}
}  // namespace

void StartUp() { Units().StartUp(); }
void ShutDown() { Units().ShutDown(); }
bool Started() { return Units().Started(); }

}  // namespace cxEditorsStartup
