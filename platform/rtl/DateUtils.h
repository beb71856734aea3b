// Dates and times: TDateTime (days since 1899-12-30, the fraction the time of
// day), encoding and decoding, calendar arithmetic, FormatDateTime and the
// text conversions under the format settings, and the current time from the
// replaceable clock.
//
// A TDateTime before 1899-12-30 is negative; its whole part is the day and
// the absolute value of its fraction the time (-1.25 is 1899-12-29 06:00).
#pragma once

#include "SysUtils.h"

#include <cstdint>
#include <string>

constexpr double HoursPerDay = 24;
constexpr double MinsPerDay = 24 * 60;
constexpr double SecsPerDay = 24 * 60 * 60;
constexpr double MSecsPerDay = 24 * 60 * 60 * 1000.0;
constexpr int DateDelta = 693594;   // days from 0001-01-01 to 1899-12-31
constexpr double UnixDateDelta = 25569;

// Days of each month, [leap year][month 1..12]; index 0 is unused.
extern const uint16_t MonthDays[2][13];

bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);
int DaysInMonth(TDateTime dt);

// Raise EConvertError ("Invalid argument to date encode" / "... time encode").
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& dt);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& dt);
bool TryEncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec,
                       TDateTime& dt);
void DecodeDate(TDateTime dt, uint16_t& year, uint16_t& month, uint16_t& day);
void DecodeTime(TDateTime dt, uint16_t& hour, uint16_t& min, uint16_t& sec, uint16_t& msec);
void DecodeDateTime(TDateTime dt, uint16_t& year, uint16_t& month, uint16_t& day,
                    uint16_t& hour, uint16_t& min, uint16_t& sec, uint16_t& msec);

// 1 = Sunday … 7 = Saturday.
int DayOfWeek(TDateTime dt);
TDateTime DateOf(TDateTime dt);
TDateTime TimeOf(TDateTime dt);
int YearOf(TDateTime dt);
int MonthOf(TDateTime dt);
int DayOf(TDateTime dt);
// The same day `months` later; the day is clamped to the target month's last
// day; the time is kept.
TDateTime IncMonth(TDateTime dt, int months = 1);
TDateTime IncDay(TDateTime dt, int days = 1);
TDateTime StartOfTheMonth(TDateTime dt);
TDateTime EndOfTheMonth(TDateTime dt);   // last day, 23:59:59.999
// Whole days between two moments, in either order.
int DaysBetween(TDateTime now, TDateTime then);

// ---- text -------------------------------------------------------------------------

std::string FormatDateTime(const std::string& format, TDateTime dt);
std::string FormatDateTime(const std::string& format, TDateTime dt,
                           const TFormatSettings& settings);
std::string DateToStr(TDateTime dt);
std::string DateToStr(TDateTime dt, const TFormatSettings& settings);
std::string TimeToStr(TDateTime dt);
std::string TimeToStr(TDateTime dt, const TFormatSettings& settings);
std::string DateTimeToStr(TDateTime dt);
std::string DateTimeToStr(TDateTime dt, const TFormatSettings& settings);

// Dates are read in the order of the short date format (year, month and day in
// any order) with the date separator; a two-digit year falls in the century
// window; a missing year is this year. Errors raise EConvertError with
// "'%s' is not a valid date" (time, date and time likewise).
TDateTime StrToDate(const std::string& s);
TDateTime StrToDate(const std::string& s, const TFormatSettings& settings);
TDateTime StrToDateDef(const std::string& s, TDateTime def);
TDateTime StrToDateDef(const std::string& s, TDateTime def, const TFormatSettings& settings);
bool TryStrToDate(const std::string& s, TDateTime& value);
bool TryStrToDate(const std::string& s, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToTime(const std::string& s);
TDateTime StrToTime(const std::string& s, const TFormatSettings& settings);
TDateTime StrToTimeDef(const std::string& s, TDateTime def);
TDateTime StrToTimeDef(const std::string& s, TDateTime def, const TFormatSettings& settings);
bool TryStrToTime(const std::string& s, TDateTime& value);
bool TryStrToTime(const std::string& s, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToDateTime(const std::string& s);
TDateTime StrToDateTime(const std::string& s, const TFormatSettings& settings);
TDateTime StrToDateTimeDef(const std::string& s, TDateTime def);
TDateTime StrToDateTimeDef(const std::string& s, TDateTime def,
                           const TFormatSettings& settings);
bool TryStrToDateTime(const std::string& s, TDateTime& value);
bool TryStrToDateTime(const std::string& s, TDateTime& value, const TFormatSettings& settings);

// ---- the current time ---------------------------------------------------------------

// Read from the program's replaceable clock, so tests can fix the date.
TDateTime Now();
TDateTime Date();
TDateTime Time();
