// The grid's user-visible texts, replaceable at run time through the
// resource-string lookup.
#pragma once

#include "cxResStrings.h"

extern const TcxResourceStringRec cxSGridDeletingConfirmationCaption;
extern const TcxResourceStringRec cxSGridDeletingFocusedConfirmationText;
extern const TcxResourceStringRec cxSGridDeletingSelectedConfirmationText;
extern const TcxResourceStringRec cxSGridNewItemRowInfoText;
extern const TcxResourceStringRec cxSGridFilterIsEmpty;
extern const TcxResourceStringRec cxSGridCustomizationFormCaption;
extern const TcxResourceStringRec cxSGridCustomizationFormColumnsPageCaption;
extern const TcxResourceStringRec cxSGridGroupByBoxCaption;
extern const TcxResourceStringRec cxSGridFilterCustomizeButtonCaption;
extern const TcxResourceStringRec cxSGridCustomizationFormBandsPageCaption;
