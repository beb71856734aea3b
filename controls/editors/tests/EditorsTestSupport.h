// Small helpers shared by the editors' tests.
#pragma once

#include "SysUtils.h"

// Sets the date and time separators for one test and puts the old ones back.
struct SeparatorsScope {
    char OldDate = FormatSettings.DateSeparator;
    char OldTime = FormatSettings.TimeSeparator;
    explicit SeparatorsScope(char ADate = '-', char ATime = ':')
    {
        FormatSettings.DateSeparator = ADate;
        FormatSettings.TimeSeparator = ATime;
    }
    ~SeparatorsScope()
    {
        FormatSettings.DateSeparator = OldDate;
        FormatSettings.TimeSeparator = OldTime;
    }
    SeparatorsScope(const SeparatorsScope&) = delete;
    SeparatorsScope& operator=(const SeparatorsScope&) = delete;
};
