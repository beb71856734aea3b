// Number and text formatting and conversion under the format settings:
// Format, integer and float conversions, FormatFloat, currency text.
// Including this header also brings the text routines, the exceptions and
// the date routines (DateUtils.h), so users need one include.
#pragma once

#include "System.h"
#include "Exceptions.h"
#include "TextUtils.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// ---- format settings ------------------------------------------------------

struct TFormatSettings {
    std::string CurrencyString;
    uint8_t CurrencyFormat = 0;     // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    uint8_t NegCurrFormat = 0;      // 0..15, the class library's negative patterns
    char ThousandSeparator = ',';
    char DecimalSeparator = '.';
    uint8_t CurrencyDecimals = 2;
    char DateSeparator = '-';
    char TimeSeparator = ':';
    std::string ShortDateFormat;
    std::string LongDateFormat;
    std::string TimeAMString;
    std::string TimePMString;
    std::string ShortTimeFormat;
    std::string LongTimeFormat;
    // Index 0 is January; day names index 0 is Sunday.
    std::array<std::string, 12> ShortMonthNames;
    std::array<std::string, 12> LongMonthNames;
    std::array<std::string, 7> ShortDayNames;
    std::array<std::string, 7> LongDayNames;
    uint16_t TwoDigitYearCenturyWindow = 50;

    // The settings of a Chinese (PRC) desktop, the program's starting point.
    static TFormatSettings Default();
};

// The process-wide settings every routine without an explicit settings
// argument reads.
extern TFormatSettings FormatSettings;

// The system locale: a Chinese (PRC) desktop, a far-east locale whose 8-bit
// text holds double-byte characters (code that walks bytes tests FarEast).
struct TSysLocale {
    uint32_t DefaultLCID = 0x0804;
    int PriLangID = 0x04;   // Chinese
    int SubLangID = 0x02;   // simplified (PRC)
    bool FarEast = true;
    bool MiddleEast = false;
};
extern const TSysLocale SysLocale;

// The program's own date and time formats, set once at start-up: short date
// "yyyy-mm-dd" with "-", time separator ":", long date "yyyy-mm-dd hh:nn:ss".
void ApplyProgramDateFormats(TFormatSettings& settings = FormatSettings);

// ---- Format -----------------------------------------------------------------

// One argument of Format, as the class library's "array of const" element.
struct TVarRec {
    enum Kind : uint8_t {
        vtInteger, vtInt64, vtUInt64, vtBoolean, vtChar, vtExtended, vtCurrency,
        vtString, vtPointer
    };
    Kind VType = vtInteger;
    int64_t VInt = 0;        // vtInteger, vtInt64, vtBoolean (0/1), vtChar
    uint64_t VUInt = 0;      // vtUInt64
    double VExtended = 0;    // vtExtended
    Currency VCurrency;      // vtCurrency
    std::string VString;     // vtString
    const void* VPointer = nullptr;   // vtPointer

    TVarRec(bool b) : VType(vtBoolean), VInt(b) {}
    TVarRec(char c) : VType(vtChar), VInt(static_cast<unsigned char>(c)) {}
    TVarRec(signed char v) : VType(vtInteger), VInt(v) {}
    TVarRec(unsigned char v) : VType(vtInteger), VInt(v) {}
    TVarRec(short v) : VType(vtInteger), VInt(v) {}
    TVarRec(unsigned short v) : VType(vtInteger), VInt(v) {}
    TVarRec(int v) : VType(vtInteger), VInt(v) {}
    // A Cardinal travels as Int64, as the class library passes it.
    TVarRec(unsigned v) : VType(vtInt64), VInt(v) {}
    TVarRec(long v) : VType(vtInt64), VInt(v) {}
    TVarRec(long long v) : VType(vtInt64), VInt(v) {}
    TVarRec(unsigned long v) : VType(vtUInt64), VUInt(v) {}
    TVarRec(unsigned long long v) : VType(vtUInt64), VUInt(v) {}
    TVarRec(float v) : VType(vtExtended), VExtended(v) {}
    TVarRec(double v) : VType(vtExtended), VExtended(v) {}
    TVarRec(long double v) : VType(vtExtended), VExtended(static_cast<double>(v)) {}
    TVarRec(Currency v) : VType(vtCurrency), VCurrency(v) {}
    TVarRec(const std::string& s) : VType(vtString), VString(s) {}
    TVarRec(std::string&& s) : VType(vtString), VString(std::move(s)) {}
    TVarRec(std::string_view s) : VType(vtString), VString(s) {}
    TVarRec(const char* s) : VType(vtString), VString(s ? s : "") {}
    TVarRec(char* s) : VType(vtString), VString(s ? s : "") {}
    TVarRec(const void* p) : VType(vtPointer), VPointer(p) {}
    TVarRec(std::nullptr_t) : VType(vtPointer), VPointer(nullptr) {}
};

// Raised by Format for an argument of the wrong kind for its specifier;
// Argument is the argument's index from 0, so that a caller can name it.
class EFormatArgumentError : public EConvertError {
public:
    EFormatArgumentError(std::string msg, int argument) : EConvertError(std::move(msg)), Argument(argument) {}
    int Argument;
};

// Specifiers d u e f g n m p s x with index ("%1:s"), "-", width, precision,
// "*" and "%%". A specifier whose argument is missing raises EConvertError,
// one whose argument is of the wrong kind EFormatArgumentError; widths and
// precisions of strings count characters.
std::string Format(const std::string& fmt, std::initializer_list<TVarRec> args);
std::string Format(const std::string& fmt, std::initializer_list<TVarRec> args,
                   const TFormatSettings& settings);
std::string Format(const std::string& fmt, const std::vector<TVarRec>& args);
std::string Format(const std::string& fmt, const std::vector<TVarRec>& args,
                   const TFormatSettings& settings);

// ---- integers -----------------------------------------------------------------

std::string IntToStr(int value);
std::string IntToStr(int64_t value);
std::string UIntToStr(uint32_t value);
std::string UIntToStr(uint64_t value);
// Upper-case hex, at least `digits` digits; a negative value shows its two's
// complement (32 bits for int, 64 for int64).
std::string IntToHex(int value, int digits);
std::string IntToHex(int64_t value, int digits);

// Decimal, or hex after "$", "x" or "0x"; leading blanks are skipped but
// trailing ones are not valid, nor is a value out of range.
int StrToInt(const std::string& s);
int StrToIntDef(const std::string& s, int def);
bool TryStrToInt(const std::string& s, int& value);
int64_t StrToInt64(const std::string& s);
int64_t StrToInt64Def(const std::string& s, int64_t def);
bool TryStrToInt64(const std::string& s, int64_t& value);
// The one checked reading of integer text that every reader uses: the rules
// above, with the range lo..hi (hex is the bit pattern of 32 bits when hi is
// INT32_MAX, of 64 bits otherwise). False for anything else.
bool TryStrToIntRange(const std::string& s, int64_t lo, int64_t hi, int64_t& value);

// ---- floats -------------------------------------------------------------------

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// General format with 15 significant digits.
std::string FloatToStr(double value);
std::string FloatToStr(double value, const TFormatSettings& settings);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& settings);
// Picture formats: up to three sections "positive;negative;zero", "0", "#",
// ".", ",", "E+"/"E-"/"e+"/"e-", quoted text; halves round away from zero.
std::string FormatFloat(const std::string& format, double value);
std::string FormatFloat(const std::string& format, double value,
                        const TFormatSettings& settings);

// Blanks around are allowed; the decimal separator of the settings; an
// optional exponent.
double StrToFloat(const std::string& s);
double StrToFloat(const std::string& s, const TFormatSettings& settings);
double StrToFloatDef(const std::string& s, double def);
double StrToFloatDef(const std::string& s, double def, const TFormatSettings& settings);
bool TryStrToFloat(const std::string& s, double& value);
bool TryStrToFloat(const std::string& s, double& value, const TFormatSettings& settings);

// The same reading as TryStrToFloat, under the name the editors' value
// checks use.
bool TextToFloat(const std::string& s, double& value);
bool TextToFloat(const std::string& s, double& value, const TFormatSettings& settings);

std::string CurrToStr(Currency value);
std::string CurrToStr(Currency value, const TFormatSettings& settings);
std::string CurrToStrF(Currency value, TFloatFormat format, int digits);
std::string CurrToStrF(Currency value, TFloatFormat format, int digits,
                       const TFormatSettings& settings);
std::string FormatCurr(const std::string& format, Currency value);
std::string FormatCurr(const std::string& format, Currency value,
                       const TFormatSettings& settings);
Currency StrToCurr(const std::string& s);
Currency StrToCurr(const std::string& s, const TFormatSettings& settings);
Currency StrToCurrDef(const std::string& s, Currency def);
Currency StrToCurrDef(const std::string& s, Currency def, const TFormatSettings& settings);
bool TryStrToCurr(const std::string& s, Currency& value);
bool TryStrToCurr(const std::string& s, Currency& value, const TFormatSettings& settings);

// ---- rounding -------------------------------------------------------------------

// Halves to the even neighbour. Raises EInvalidOp for NaN, infinities and
// values beyond 64 bits.
int64_t Round(double value);
// Towards zero; same errors as Round.
int64_t Trunc(double value);
// The integer part (towards zero) and the fraction, keeping the sign.
double Int(double value);
double Frac(double value);

#include "DateUtils.h"
