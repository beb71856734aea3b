#include "cxData.h"

QZ_CLASS_IMPL(TcxDataController, TcxCustomDataController)
