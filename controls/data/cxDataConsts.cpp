#include "cxDataConsts.h"

const TcxResourceStringRec cxSDataReadError{"cxSDataReadError", "Stream read error"};
const TcxResourceStringRec cxSDataWriteError{"cxSDataWriteError", "Stream write error"};
const TcxResourceStringRec cxSDataItemExistError{"cxSDataItemExistError", "Item already exists"};
const TcxResourceStringRec cxSDataRecordIndexError{"cxSDataRecordIndexError", "RecordIndex out of range"};
const TcxResourceStringRec cxSDataItemIndexError{"cxSDataItemIndexError", "ItemIndex out of range"};
const TcxResourceStringRec cxSDataRowIndexError{"cxSDataRowIndexError", "RowIndex out of range"};
const TcxResourceStringRec cxSDataCustomDataSourceInvalidCompare{
    "cxSDataCustomDataSourceInvalidCompare", "GetInfoForCompare not implemented"};
const TcxResourceStringRec cxSDBDetailFilterControllerNotFound{
    "cxSDBDetailFilterControllerNotFound", "DetailFilterController not found"};
const TcxResourceStringRec cxSDBNotInGridMode{"cxSDBNotInGridMode", "DataController not in GridMode"};
const TcxResourceStringRec cxSDBKeyFieldNotFound{"cxSDBKeyFieldNotFound", "Key Field not found"};

void cxDataControllerError(TcxResourceStringID ident)
{
    throw EcxInvalidDataControllerOperation(cxClasses::GetResourceString(ident));
}
