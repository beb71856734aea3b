#include "SysUtils.h"
