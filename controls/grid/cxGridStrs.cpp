#include "cxGridStrs.h"

const TcxResourceStringRec cxSGridDeletingConfirmationCaption{"cxSGridDeletingConfirmationCaption", "Confirm"};
const TcxResourceStringRec cxSGridDeletingFocusedConfirmationText{"cxSGridDeletingFocusedConfirmationText",
                                                                   "Delete record?"};
const TcxResourceStringRec cxSGridDeletingSelectedConfirmationText{"cxSGridDeletingSelectedConfirmationText",
                                                                    "Delete all selected records?"};
const TcxResourceStringRec cxSGridNewItemRowInfoText{"cxSGridNewItemRowInfoText", "Click here to add a new row"};
const TcxResourceStringRec cxSGridFilterIsEmpty{"cxSGridFilterIsEmpty", "<Filter is Empty>"};
const TcxResourceStringRec cxSGridCustomizationFormCaption{"cxSGridCustomizationFormCaption", "Customization"};
const TcxResourceStringRec cxSGridCustomizationFormColumnsPageCaption{"cxSGridCustomizationFormColumnsPageCaption",
                                                                       "Columns"};
const TcxResourceStringRec cxSGridGroupByBoxCaption{"cxSGridGroupByBoxCaption",
                                                     "Drag a column header here to group by that column"};
const TcxResourceStringRec cxSGridFilterCustomizeButtonCaption{"cxSGridFilterCustomizeButtonCaption", "Customize..."};
const TcxResourceStringRec cxSGridCustomizationFormBandsPageCaption{"cxSGridCustomizationFormBandsPageCaption",
                                                                     "Bands"};
