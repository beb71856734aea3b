// Message texts of the data controller, and its exception class.
#pragma once

#include "Exceptions.h"
#include "cxResStrings.h"

extern const TcxResourceStringRec cxSDataReadError;
extern const TcxResourceStringRec cxSDataWriteError;
extern const TcxResourceStringRec cxSDataItemExistError;
extern const TcxResourceStringRec cxSDataRecordIndexError;
extern const TcxResourceStringRec cxSDataItemIndexError;
extern const TcxResourceStringRec cxSDataRowIndexError;
extern const TcxResourceStringRec cxSDataCustomDataSourceInvalidCompare;
extern const TcxResourceStringRec cxSDBDetailFilterControllerNotFound;
extern const TcxResourceStringRec cxSDBNotInGridMode;
// The key-field text the data-set field refuses a field by.
extern const TcxResourceStringRec cxSDBKeyFieldNotFound;

// Raised for a bad record, item or row index and other misuse of a controller.
QZ_EXCEPTION(EcxInvalidDataControllerOperation, Exception)

// Raises EcxInvalidDataControllerOperation with a resource string's text.
[[noreturn]] void cxDataControllerError(TcxResourceStringID ident);
