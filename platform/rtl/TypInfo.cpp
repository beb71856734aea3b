#include "TypInfo.h"
