// Date routines of the date, time and calendar editors: month arithmetic,
// text to date with date words ("today", "monday + 3", "bom", "eom"...),
// date to text, and the regular-expression mask for dates.
#pragma once

#include "System.h"

#include <string>

namespace cxDateUtils {

// The date value that stands for no date; every failed conversion gives it.
constexpr TDateTime NullDate = -700000.0;

enum TcxDateElement { deYear, deMonth, deDay };

void PrevMonth(int& AYear, int& AMonth);
void NextMonth(int& AYear, int& AMonth);
// Adds ADelta months (whole years to the year); returns ADelta div 12.
int ShiftMonth(int& AYear, int& AMonth, int ADelta);
int GetDateElement(TDateTime ADate, TcxDateElement AKind);
bool IsLeapYear(int AYear);
int GetDaysInMonth(int AYear, int AMonth);
// 1 for a day of 0 or less, the month's length for a larger day.
int ClampDay(int AYear, int AMonth, int ADay);
// Truncation after moving X 1e-11 away from zero.
double TruncWithTolerance(double X);
// The time of day, decoded and encoded again (whole milliseconds).
TDateTime GetTimeOfDateTime(TDateTime ADateTime);

// The date words in the order the conversion numbers them.
std::string GetDateWord(int AIndex);
constexpr int DateWordCount = 20;

// A text starting with a date word (and an optional "+n"/"-n" days).
bool SmartTextToDate(const std::string& AText, TDateTime& ADate);
// A date word or a date text; false with the null date when neither.
bool TextToDateEx(const std::string& AText, TDateTime& ADate);
// A date text through the variant conversion or StrToDateTime; a conversion
// error gives false and the null date.
bool TryTextToDateTime(const std::string& AText, bool AUseVariant, TDateTime& ADate);
std::string DateTimeToText(TDateTime ADate);
std::string DateTimeToTextEx(TDateTime ADate, bool AUseDateEditMask);
// The mask-edit expression accepting dates of the format, optionally also
// the date words with "+n"/"-n" days.
std::string GetDateRegExprMask(const std::string& AFormat, bool AWithDateWords);

}  // namespace cxDateUtils
