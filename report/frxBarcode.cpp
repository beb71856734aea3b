#include "frxBarcode.h"

#include "Exceptions.h"
#include "Graphics.h"
#include "SysUtils.h"
#include "Windows.h"
#include "frxDsgnIntf.h"
#include "frxPublish.h"
#include "frxRes.h"
#include "frxXML.h"
#include "fs_iinterpreter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using Props = std::vector<TPropInfo>;

const TBCdata kTypes[] = {
    {"2_5_interleaved", true}, {"2_5_industrial", true}, {"2_5_matrix", true}, {"Code39", false},
    {"Code39 Extended", false}, {"Code128A", false},     {"Code128B", false},  {"Code128C", false},
    {"Code93", false},          {"Code93 Extended", false}, {"MSI", true},      {"PostNet", true},
    {"Codebar", false},         {"EAN8", true},          {"EAN13", true},      {"UPC_A", true},
    {"UPC_E0", true},           {"UPC_E1", true},        {"UPC Supp2", true},  {"UPC Supp5", true},
    {"EAN128A", false},         {"EAN128B", false},      {"EAN128C", true},
};

const char* kClassName = "TfrxBarcode";

[[noreturn]] void BadData(TfrxBarcodeType t, const std::string& text)
{
    throw Exception(std::string(kClassName) + ":" + kTypes[t].Name + " bad Data <" + text + ">");
}

// Two-of-five patterns, wide = 1.
const char* const k25[10] = {"00110", "10001", "01001", "11000", "00101",
                             "10100", "01100", "00011", "10010", "01010"};

// Code 39: characters, their nine-element patterns (bar, space, ..., bar;
// wide = 1), values by position.
const char kCode39Chars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. *$/+%";
const char* const kCode39[44] = {
    "000110100", "100100001", "001100001", "101100000", "000110001", "100110000", "001110000",
    "000100101", "100100100", "001100100", "100001001", "001001001", "101001000", "000011001",
    "100011000", "001011000", "000001101", "100001100", "001001100", "000011100", "100000011",
    "001000011", "101000010", "000010011", "100010010", "001010010", "000000111", "100000110",
    "001000110", "000010110", "110000001", "011000001", "111000000", "010010001", "110010000",
    "011010000", "010000101", "110000100", "011000100", "010010100", "010101000", "010100010",
    "010001010", "000101010"};
int Code39Value(int index) { return index < 39 ? index : index == 39 ? 0 : index - 1; }

// The full-ASCII pairs shared by Code 39 and Code 93, for codes 0..127,
// written with '$' '%' '/' '+' as shifts (Code 93 maps them to its own).
std::string FullAsciiPair(unsigned char c)
{
    if (c == 0) return "%U";
    if (c <= 26) return std::string("$") + char('A' + c - 1);
    if (c <= 31) return std::string("%") + char('A' + c - 27);
    if (c == ' ' || c == '-' || c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))
        return std::string(1, char(c));
    if (c >= 33 && c <= 47) return std::string("/") + char('A' + c - 33);
    if (c == ':') return "/Z";
    if (c >= 59 && c <= 63) return std::string("%") + char('F' + c - 59);
    if (c == '@') return "%V";
    if (c >= 91 && c <= 95) return std::string("%") + char('K' + c - 91);
    if (c == '`') return "%W";
    if (c >= 97 && c <= 122) return std::string("+") + char('A' + c - 97);
    return std::string("%") + char('P' + c - 123);   // 123..127
}

// Code 128 widths of values 0..105.
const char* const kCode128[106] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232"};

// Code 93: characters (the four shifts written "[", "]", "{", "}" for
// ($), (%), (/), (+)) and their widths.
const char kCode93Chars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%[]{}";
const char* const kCode93[47] = {
    "131112", "111213", "111312", "111411", "121113", "121212", "121311", "111114", "131211", "141111",
    "211113", "211212", "211311", "221112", "221211", "231111", "112113", "112212", "112311", "122112",
    "132111", "111123", "111222", "111321", "121122", "131121", "212112", "212211", "211122", "211221",
    "221121", "222111", "112122", "112221", "122121", "123111", "121131", "311112", "311211", "321111",
    "112131", "113121", "211131", "121221", "312111", "311121", "122211"};

// Codabar: characters and their seven-element patterns (wide = 1).
const char kCodabarChars[] = "0123456789-$:/.+ABCD";
const char* const kCodabar[20] = {"0000011", "0000110", "0001001", "1100000", "0010010", "1000010", "0100001",
                                  "0100100", "0110000", "1001000", "0001100", "0011000", "1000101", "1010001",
                                  "1010100", "0010101", "0011010", "0101001", "0001011", "0001110"};

// EAN/UPC L-code widths (space, bar, space, bar).
const char* const kEanL[10] = {"3211", "2221", "2122", "1411", "1132", "1231", "1114", "1312", "1213", "3112"};
const char* const kEan13Parity[10] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                      "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};
// UPC-E parity of number system 0 by check digit: E (even, G code) or O (odd, L code).
const char* const kUpcEParity[10] = {"EEEOOO", "EEOEOO", "EEOOEO", "EEOOOE", "EOEEOO",
                                     "EOOEEO", "EOOOEE", "EOEOEO", "EOEOOE", "EOOEOE"};
const char* const kSupp5Parity[10] = {"GGLLL", "GLGLL", "GLLGL", "GLLLG", "LGGLL",
                                      "LLGGL", "LLLGG", "LGLGL", "LGLLG", "LLGLG"};

int Digit(char c) { return c - '0'; }

// Widths (bar first) to elements.
std::string WidthsToElements(const std::string& widths)
{
    std::string r;
    r.reserve(widths.size());
    for (size_t i = 0; i < widths.size(); ++i)
        r += (i % 2 == 1) ? char(widths[i] - 1) : char(widths[i] + 4);
    return r;
}

std::string EanL(char d)
{
    const char* w = kEanL[Digit(d)];
    return {char(w[0] - 1), char(w[1] + 4), char(w[2] - 1), char(w[3] + 4)};
}
std::string EanR(char d)
{
    const char* w = kEanL[Digit(d)];
    return {char(w[0] + 4), char(w[1] - 1), char(w[2] + 4), char(w[3] - 1)};
}
std::string EanG(char d)
{
    std::string r = EanR(d);
    std::reverse(r.begin(), r.end());
    return r;
}

std::string PadLeft(const std::string& s, size_t n)
{
    return s.size() >= n ? s : std::string(n - s.size(), '0') + s;
}

void RequireDigits(const std::string& s)
{
    for (char c : s)
        if (c < '0' || c > '9') throw Exception("Barcode must be numeric");
}

std::string Code39(const std::string& text, bool checksum, TfrxBarcodeType t)
{
    auto pattern = [](int index) {
        std::string r;
        const char* p = kCode39[index];
        for (int i = 0; i < 9; ++i) r += (i % 2 == 0) ? (p[i] == '1' ? '6' : '5') : (p[i] == '1' ? '1' : '0');
        return r;
    };
    const int star = int(std::strchr(kCode39Chars, '*') - kCode39Chars);
    std::string r = pattern(star) + "0";
    int sum = 0;
    for (char c : text) {
        const char* p = c ? std::strchr(kCode39Chars, c) : nullptr;
        if (!p || c == '*') BadData(t, text);
        const int index = int(p - kCode39Chars);
        sum += Code39Value(index);
        r += pattern(index) + "0";
    }
    if (checksum) {
        const int value = sum % 43;
        for (int i = 0; i < 44; ++i)
            if (Code39Value(i) == value) {
                r += pattern(i) + "0";
                break;
            }
    }
    return r + pattern(star);
}

std::string Code93(const std::string& text, TfrxBarcodeType t)
{
    std::vector<int> values;
    for (char c : text) {
        const char* p = c ? std::strchr(kCode93Chars, c) : nullptr;
        if (!p) throw Exception(std::string(kClassName) + ":Code93 bad Data <" + text + ">");
        values.push_back(int(p - kCode93Chars));
    }
    auto weighted = [&](int maxWeight) {
        int sum = 0, w = 1;
        for (size_t i = values.size(); i-- > 0;) {
            sum += values[i] * w;
            if (++w > maxWeight) w = 1;
        }
        return sum % 47;
    };
    const int c = weighted(20);
    values.push_back(c);
    const int k = weighted(15);
    values.push_back(k);
    std::string w = "111141";
    for (int v : values) w += kCode93[v];
    w += "1111411";
    return WidthsToElements(w);
}

std::string Code128(const std::string& text, TfrxBarcodeType t, bool checksum)
{
    const bool ean = t >= bcCodeEAN128A;
    const bool setA = t == bcCode128A || t == bcCodeEAN128A;
    const bool setC = t == bcCode128C || t == bcCodeEAN128C;
    std::string data = text;
    if (ean && checksum) {
        RequireDigits(data);
        data += frxBarcode::CheckSumModulo10(data);
    }
    std::vector<int> values;
    const int start = setA ? 103 : setC ? 105 : 104;
    if (ean) values.push_back(102);
    if (setC) {
        if (data.size() % 2) data = "0" + data;
        for (size_t i = 0; i < data.size(); i += 2) {
            if (!isdigit((unsigned char)data[i]) || !isdigit((unsigned char)data[i + 1])) BadData(t, text);
            values.push_back(Digit(data[i]) * 10 + Digit(data[i + 1]));
        }
    } else {
        for (unsigned char c : data) {
            if (c < 32 || c > (setA ? 95 : 126)) BadData(t, text);
            values.push_back(c - 32);
        }
    }
    int sum = start;
    for (size_t i = 0; i < values.size(); ++i) sum += values[i] * int(i + 1);
    std::string w = kCode128[start];
    for (int v : values) w += kCode128[v];
    w += kCode128[sum % 103];
    w += "2331112";
    return WidthsToElements(w);
}

int MsiCheck(const std::string& d)
{
    int sum = 0;
    std::string even;
    for (size_t i = 0; i < d.size(); ++i) {
        if (i % 2 == 0)
            sum += Digit(d[i]);
        else
            even += d[i];
    }
    // The even-position digits read as one number and doubled: its digits,
    // done on the decimal text so that any length works.
    std::string doubled;
    int carry = 0;
    for (size_t i = even.size(); i-- > 0;) {
        const int v = Digit(even[i]) * 2 + carry;
        doubled += char('0' + v % 10);
        carry = v / 10;
    }
    if (carry) doubled += char('0' + carry);
    for (char c : doubled) sum += Digit(c);
    return (10 - sum % 10) % 10;
}

// The UPC-A number a UPC-E body stands for (number system and six digits).
std::string UpcEExpand(char ns, const std::string& d)
{
    const std::string s(1, ns);
    switch (d[5]) {
    case '0': case '1': case '2': return s + d.substr(0, 2) + d[5] + "0000" + d.substr(2, 3);
    case '3': return s + d.substr(0, 3) + "00000" + d.substr(3, 2);
    case '4': return s + d.substr(0, 4) + "00000" + d[4];
    default: return s + d.substr(0, 5) + "0000" + d[5];
    }
}

}  // namespace

namespace frxBarcode {

const TBCdata& BarcodeData(TfrxBarcodeType t) { return kTypes[int(t)]; }

char CheckSumModulo10(const std::string& digits)
{
    int sum = 0;
    bool three = true;
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] < '0' || digits[i] > '9')
            throw EConvertError("'" + digits + "' is not a valid integer value");
        sum += Digit(digits[i]) * (three ? 3 : 1);
        three = !three;
    }
    return char('0' + (10 - sum % 10) % 10);
}

}  // namespace frxBarcode

using frxBarcode::CheckSumModulo10;

// ---- encoder ---------------------------------------------------------------------------------

TfrxBarcode::TfrxBarcode(TComponent* owner) : TComponent(owner) {}

void TfrxBarcode::Assign(TPersistent* source)
{
    auto* s = DynamicCast<TfrxBarcode>(source);
    if (!s) {
        TComponent::Assign(source);
        return;
    }
    Text = s->Text;
    Modul = s->Modul;
    Ratio = s->Ratio;
    Typ = s->Typ;
    Checksum = s->Checksum;
    CheckSumMethod = s->CheckSumMethod;
    Angle = s->Angle;
    Height = s->Height;
    Color = s->Color;
    ColorBar = s->ColorBar;
    Left = s->Left;
    Top = s->Top;
    std::copy(std::begin(s->FW), std::end(s->FW), FW);
}

void TfrxBarcode::MakeClassWidths()
{
    switch (Typ) {
    case bcCode_2_5_matrix: Ratio = std::clamp(Ratio, 2.25, 3.0); break;
    case bcCode128A: case bcCode128B: case bcCode128C: case bcCodeEAN128A: case bcCodeEAN128B:
    case bcCodeEAN128C: case bcCode93: case bcCode93Extended: case bcCodeMSI: case bcCodePostNet: break;
    default: Ratio = std::clamp(Ratio, 2.0, 3.0); break;
    }
    FW[0] = std::clamp(Modul, 0, 255);
    FW[1] = std::clamp(int(Round(Modul * Ratio)), 0, 255);
    FW[2] = std::clamp(FW[1] * 3 / 2, 0, 255);
    FW[3] = std::clamp(FW[1] * 2, 0, 255);
}

std::string TfrxBarcode::Encode()
{
    MakeClassWidths();
    if (int(Typ) < 0 || int(Typ) > 22) throw Exception(Format("%s: wrong BarcodeType", {kClassName}));
    std::string text = Text;
    if (kTypes[Typ].Num) {
        text = Trim(text);
        RequireDigits(text);
    }
    const bool mod10 = Checksum && CheckSumMethod == csmModulo10;
    std::string r;
    FEncodedText = text;
    switch (Typ) {
    case bcCode_2_5_interleaved:
        if (text.size() % 2) BadData(Typ, text);
        r = "5050";
        for (size_t i = 0; i + 1 < text.size(); i += 2) {
            const char* a = k25[Digit(text[i])];
            const char* b = k25[Digit(text[i + 1])];
            for (int j = 0; j < 5; ++j) {
                r += a[j] == '1' ? '6' : '5';
                r += b[j] == '1' ? '1' : '0';
            }
        }
        r += "605";
        break;
    case bcCode_2_5_industrial:
        r = "606050";
        for (char c : text)
            for (int j = 0; j < 5; ++j) r += k25[Digit(c)][j] == '1' ? "60" : "50";
        r += "605060";
        break;
    case bcCode_2_5_matrix:
        r = "705050";
        for (char c : text) {
            for (int j = 0; j < 5; ++j) {
                const bool wide = k25[Digit(c)][j] == '1';
                r += (j % 2 == 0) ? (wide ? '6' : '5') : (wide ? '1' : '0');
            }
            r += '0';
        }
        r += "70505";
        break;
    case bcCode39: r = Code39(text, Checksum, Typ); break;
    case bcCode39Extended: {
        std::string ext;
        for (unsigned char c : text) {
            if (c >= 128) BadData(Typ, text);
            ext += FullAsciiPair(c);
        }
        r = Code39(ext, Checksum, Typ);
        break;
    }
    case bcCode93: r = Code93(text, Typ); break;
    case bcCode93Extended: {
        std::string ext;
        for (unsigned char c : text) {
            if (c >= 128) BadData(Typ, text);
            std::string pair = FullAsciiPair(c);
            if (pair.size() == 2) {
                switch (pair[0]) {
                case '$': pair[0] = '['; break;
                case '%': pair[0] = ']'; break;
                case '/': pair[0] = '{'; break;
                case '+': pair[0] = '}'; break;
                }
            }
            ext += pair;
        }
        r = Code93(ext, Typ);
        break;
    }
    case bcCode128A: case bcCode128B: case bcCode128C: case bcCodeEAN128A: case bcCodeEAN128B:
    case bcCodeEAN128C:
        r = Code128(text, Typ, mod10);
        if (Typ >= bcCodeEAN128A && mod10) FEncodedText = text + CheckSumModulo10(text);
        break;
    case bcCodeMSI: {
        auto digit = [](int d) {
            std::string s;
            for (int bit = 8; bit; bit >>= 1) s += (d & bit) ? "60" : "51";
            return s;
        };
        r = "60";
        for (char c : text) r += digit(Digit(c));
        const int check = MsiCheck(text);
        r += digit(check);
        r += "515";
        FEncodedText = text + char('0' + check);
        break;
    }
    case bcCodePostNet: {
        static const char* const tall[10] = {"11000", "00011", "00101", "00110", "01001",
                                             "01010", "01100", "10001", "10010", "10100"};
        r = "51";
        for (char c : text)
            for (int j = 0; j < 5; ++j) r += tall[Digit(c)][j] == '1' ? "51" : "A1";
        r += "5";
        break;
    }
    case bcCodeCodabar: {
        auto pattern = [](int index) {
            std::string s;
            const char* p = kCodabar[index];
            for (int i = 0; i < 7; ++i) s += (i % 2 == 0) ? (p[i] == '1' ? '6' : '5') : (p[i] == '1' ? '1' : '0');
            return s;
        };
        r = pattern(16) + "0";
        for (char c : text) {
            const char* p = c ? std::strchr(kCodabarChars, c) : nullptr;
            if (!p || p - kCodabarChars >= 16) BadData(Typ, text);
            r += pattern(int(p - kCodabarChars)) + "0";
        }
        r += pattern(17);
        break;
    }
    case bcCodeEAN8: {
        std::string d;
        if (mod10) {
            d = PadLeft(text, 7);
            d = d.substr(d.size() - 7);
            d += CheckSumModulo10(d);
        } else
            d = PadLeft(text, 8);
        if (d.size() != 8) throw Exception("Invalid Text len (EAN8)");
        FEncodedText = d;
        r = "505";
        for (int i = 0; i < 4; ++i) r += EanL(d[i]);
        r += "05050";
        for (int i = 4; i < 8; ++i) r += EanR(d[i]);
        r += "505";
        break;
    }
    case bcCodeEAN13: {
        std::string d = text;
        if (d.size() != 13) {
            d = PadLeft(d, 13);
            if (mod10 && d.size() == 13) d = d.substr(1, 12) + CheckSumModulo10(d.substr(1, 12));
        }
        if (d.size() != 13) throw Exception("Invalid Text len (EAN13)");
        FEncodedText = d;
        r = "505";
        const char* parity = kEan13Parity[Digit(d[0])];
        for (int i = 1; i <= 6; ++i) r += parity[i - 1] == 'L' ? EanL(d[i]) : EanG(d[i]);
        r += "05050";
        for (int i = 7; i <= 12; ++i) r += EanR(d[i]);
        r += "505";
        break;
    }
    case bcCodeUPC_A: {
        std::string d = PadLeft(text, 12);
        if (d.size() != 12) throw Exception(Format("%s: wrong BarcodeType", {kClassName}));
        if (mod10) d = d.substr(0, 11) + CheckSumModulo10(d.substr(0, 11));
        FEncodedText = d;
        r = "505";
        for (int i = 0; i < 6; ++i) r += EanL(d[i]);
        r += "05050";
        for (int i = 6; i < 12; ++i) r += EanR(d[i]);
        r += "505";
        break;
    }
    case bcCodeUPC_E0: case bcCodeUPC_E1: {
        std::string d = PadLeft(text, 7);
        if (d.size() != 7) throw Exception(Format("%s: wrong BarcodeType", {kClassName}));
        // The check digit of the UPC-A number the code stands for.
        const char ns = Typ == bcCodeUPC_E0 ? '0' : '1';
        if (mod10) d = d.substr(0, 6) + CheckSumModulo10(UpcEExpand(ns, d.substr(0, 6)));
        FEncodedText = d;
        const char* parity = kUpcEParity[Digit(d[6])];
        r = "505";
        for (int i = 0; i < 6; ++i) {
            const bool even = (parity[i] == 'E') == (Typ == bcCodeUPC_E0);
            r += even ? EanG(d[i]) : EanL(d[i]);
        }
        r += "050505";
        break;
    }
    case bcCodeUPC_Supp5: {
        std::string d = PadLeft(text, 5);
        if (d.size() != 5) throw Exception(Format("%s: wrong BarcodeType", {kClassName}));
        const int check =
            (3 * (Digit(d[0]) + Digit(d[2]) + Digit(d[4])) + 9 * (Digit(d[1]) + Digit(d[3]))) % 10;
        FEncodedText = d;
        r = "506";
        for (int i = 0; i < 5; ++i) {
            if (i) r += "05";
            r += kSupp5Parity[check][i] == 'L' ? EanL(d[i]) : EanG(d[i]);
        }
        break;
    }
    case bcCodeUPC_Supp2: {
        std::string d = PadLeft(text, 2);
        if (d.size() != 2) throw Exception(Format("%s: wrong BarcodeType", {kClassName}));
        FEncodedText = d;
        const int p = (Digit(d[0]) * 10 + Digit(d[1])) % 4;
        r = "506";
        r += (p & 2) ? EanG(d[0]) : EanL(d[0]);
        r += "05";
        r += (p & 1) ? EanG(d[1]) : EanL(d[1]);
        break;
    }
    }
    return r;
}

int TfrxBarcode::ElementWidth(char e) const
{
    switch (e) {
    case '0': case '5': case 'A': return FW[0];
    case '1': case '6': case 'B': return FW[1];
    case '2': case '7': case 'C': return FW[2];
    case '3': case '8': case 'D': return FW[3];
    }
    throw Exception(Format("%s: internal Error", {kClassName}));
}

int TfrxBarcode::Width()
{
    const std::string code = Encode();
    int w = 0;
    for (char e : code) w += ElementWidth(e);
    return w;
}

namespace {

bool IsEanLike(TfrxBarcodeType t)
{
    return t == bcCodeEAN8 || t == bcCodeEAN13 || t == bcCodeUPC_A || t == bcCodeUPC_E0 || t == bcCodeUPC_E1;
}

// Maps the horizontal layout (x along the code, y across it) of a code W
// long and D across onto the device rectangle at one of four angles.
struct TCodeFrame {
    TRect R;
    int Angle;   // 0, 90, 180, 270
    double K;    // device pixels per code unit
    double W, D;
    void Map(double x, double y, double& dx, double& dy) const
    {
        switch (Angle) {
        case 90: dx = R.Left + y * K; dy = R.Bottom - x * K; break;
        case 180: dx = R.Right - x * K; dy = R.Bottom - y * K; break;
        case 270: dx = R.Right - y * K; dy = R.Top + x * K; break;
        default: dx = R.Left + x * K; dy = R.Top + y * K; break;
        }
    }
    TRect DeviceRect(double x1, double y1, double x2, double y2) const
    {
        double ax, ay, bx, by;
        Map(x1, y1, ax, ay);
        Map(x2, y2, bx, by);
        return Rect(int(Round(std::min(ax, bx))), int(Round(std::min(ay, by))), int(Round(std::max(ax, bx))),
                    int(Round(std::max(ay, by))));
    }
};

}  // namespace

void TfrxBarcode::DrawBarcode(TCanvas* canvas, const TRect& r, bool showText)
{
    const std::string code = Encode();
    const int W = Width();
    Left = Top = 0;
    if (!canvas || W <= 0 || r.Right <= r.Left || r.Bottom <= r.Top) return;
    int angle = int(Round(Angle)) % 360;
    if (angle < 0) angle += 360;
    angle = (angle + 45) / 90 * 90 % 360;
    const bool vertical = angle == 90 || angle == 270;
    TCodeFrame f{r, angle, 0, double(W), 0};
    f.K = vertical ? double(r.Bottom - r.Top) / W : double(r.Right - r.Left) / W;
    f.D = std::round((vertical ? (r.Right - r.Left) : (r.Bottom - r.Top)) / f.K);
    const bool ean = IsEanLike(Typ);
    Height = int(f.D) - (ean ? 7 : 16);
    if (!showText && !ean) Height = int(f.D);
    if (Height < 1) Height = 1;

    TBrush* brush = canvas->Brush();
    brush->SetStyle(bsSolid);
    brush->SetColor(Color);
    canvas->FillRect(f.DeviceRect(0, 0, W, f.D));
    brush->SetColor(ColorBar);
    double x = 0;
    for (char e : code) {
        const int w = ElementWidth(e);
        if ((e >= '5' && e <= '8') || (e >= 'A' && e <= 'D')) {
            const double h = (e >= 'A') ? Height * 2 / 5 : Height;
            // Short bars stand on the base line, as the tall ones do.
            const double top = (e >= 'A') ? Height - h : 0;
            canvas->FillRect(f.DeviceRect(x, top, x + w, top + h));
        }
        x += w;
    }
    if (!showText) return;

    struct TSeg { int Start, From, To; std::string Text; };
    std::vector<TSeg> segs;
    const std::string& t = FEncodedText;
    auto sub = [&](size_t a, size_t n) { return a < t.size() ? t.substr(a, n) : std::string(); };
    switch (ean ? Typ : bcCode39) {
    case bcCodeEAN8:
        segs = {{3, 3, 30, sub(0, 4)}, {35, 35, W - 4, sub(4, 4)}};
        break;
    case bcCodeEAN13:
        if (!t.empty() && t[0] != '0') segs.push_back({-8, -8, -2, sub(0, 1)});
        segs.push_back({3, 3, 44, sub(1, 6)});
        segs.push_back({49, 49, W - 4, sub(7, 6)});
        break;
    case bcCodeUPC_A:
        segs = {{-8, -8, -2, sub(0, 1)}, {10, 10, 44, sub(1, 5)}, {49, 49, 83, sub(6, 5)},
                {W + 1, W + 1, W + 8, sub(11, 1)}};
        break;
    case bcCodeUPC_E0: case bcCodeUPC_E1:
        segs = {{3, 3, 44, sub(0, 6)}, {W + 1, W + 1, W + 8, sub(6, 1)}};
        break;
    default: segs = {{-1, 0, W, t}}; break;
    }
    TFont* font = canvas->Font();
    font->SetName("Arial");
    font->SetHeight(-std::max(1, int(Round(12 * f.K))));
    font->SetColor(ColorBar);
    font->SetOrientation(angle * 10);
    const int bk = SetBkMode(canvas->Handle(), TRANSPARENT);
    for (TSeg& s : segs) {
        if (s.Text.empty()) continue;
        brush->SetColor(Color);
        canvas->FillRect(f.DeviceRect(s.From * f.W / W, f.D - 16, (s.To + 1) * f.W / W, f.D));
        double start = s.Start;
        if (s.Start < 0 && s.From == 0) {
            // Centred: the text width in code units.
            font->SetOrientation(0);
            const double tw = canvas->TextWidth(s.Text) / f.K;
            font->SetOrientation(angle * 10);
            start = (W - tw) / 2;
        }
        double dx, dy;
        f.Map(start, f.D - 14, dx, dy);
        canvas->TextOut(int(Round(dx)), int(Round(dy)), s.Text);
    }
    SetBkMode(canvas->Handle(), bk);
    font->SetOrientation(0);
}

// ---- report object -----------------------------------------------------------------------------

namespace {

void DefineBarcode(Props& p)
{
    using B = TfrxBarcode;
    p.push_back(PublishString<B>("Text", &B::Text, &B::Text));
    p.push_back(PublishInt<B>("Modul", &B::Modul, &B::Modul, 1));
    p.push_back(PublishFloat<B>("Ratio", &B::Ratio, &B::Ratio));
    p.push_back(PublishEnum<B>("Typ", &B::Typ, &B::Typ, bcCodeEAN13));
    p.push_back(PublishBool<B>("Checksum", &B::Checksum, &B::Checksum, false));
    p.push_back(PublishEnum<B>("CheckSumMethod", &B::CheckSumMethod, &B::CheckSumMethod, csmModulo10));
    p.push_back(PublishFloat<B>("Angle", &B::Angle, &B::Angle));
    p.push_back(PublishInt<B>("Height", &B::Height, &B::Height));
    p.push_back(frxPublish::Color<B>("Color", &B::Color, &B::Color, int64_t(clWhite)));
    p.push_back(frxPublish::Color<B>("ColorBar", &B::ColorBar, &B::ColorBar, int64_t(clBlack)));
}

void DefineBarCodeView(Props& p)
{
    using V = TfrxBarCodeView;
    p.push_back(PublishEnum<V>("BarType", &V::BarType, &V::BarType, bcCode39));
    p.push_back(frxPublish::PlatformEnum<TfrxView>("BrushStyle", frxClass::BrushStyleType(), &TfrxView::BrushStyle,
                                                   frxEnums::bsSolid));
    p.push_back(PublishBool<V>("CalcCheckSum", &V::CalcCheckSum, &V::CalcCheckSum, false));
    p.push_back(frxPublish::Color<V>("Color", &TfrxView::Color, &TfrxView::Color, int64_t(clNone)));
    p.push_back(PublishString<V>("DataField", &TfrxView::DataField, &TfrxView::DataField));
    p.push_back(PublishObject<V>("DataSet", &TfrxView::DataSet, &TfrxView::SetDataSet));
    p.push_back(PublishString<V>("DataSetName", &TfrxView::DataSetName, &TfrxView::SetDataSetName));
    p.push_back(PublishString<V>("Expression", &V::Expression, &V::Expression));
    p.push_back(PublishObject<V>("Frame", &TfrxView::Frame, &TfrxView::SetFrame));
    p.push_back(PublishEnum<V>("HAlign", &V::HAlign, &V::HAlign, frxClass::haLeft));
    p.push_back(PublishInt<V>("Rotation", &V::Rotation, &V::Rotation, 0));
    p.push_back(PublishBool<V>("ShowText", &V::ShowText, &V::ShowText, true));
    p.push_back(PublishString<V>("Text", &V::Text, &V::Text));
    TPropInfo zoom = PublishFloat<V>("Zoom", &V::Zoom, &V::Zoom, "Extended");
    zoom.StoredBy([](TObject* o) { return static_cast<V*>(o)->Zoom != 1.0; });
    p.push_back(zoom);
}

}  // namespace

QZ_CLASS_IMPL_PROPS(TfrxBarcode, TComponent, DefineBarcode)
QZ_CLASS_IMPL_PROPS(TfrxBarCodeView, TfrxView, DefineBarCodeView)
QZ_CLASS_IMPL(TfrxBarCodeObject, TComponent)

TfrxBarCodeView::TfrxBarCodeView(TComponent* owner) : TfrxView(owner), FBarcode(std::make_unique<TfrxBarcode>())
{
    frxBarcode::Initialize();   // prepared pages find the class by name
    FBarcode->Modul = 1;
    FBarcode->Ratio = 2.0;
    FBarcode->ColorBar = clBlack;
}

TfrxBarCodeView::~TfrxBarCodeView() = default;

std::string TfrxBarCodeView::GetDescription() const { return frxRes::Resources().Get("obBarC"); }

void TfrxBarCodeView::GetData()
{
    TfrxView::GetData();
    if (HasDataField())
        Text = VarToStr(DataSet()->GetValue(DataField));
    else if (!Expression.empty() && Report())
        Text = VarToStr(Report()->Calc(Expression));
}

std::string TfrxBarCodeView::Diff(TfrxComponent* templ)
{
    std::string r = TfrxView::Diff(templ);
    auto* t = DynamicCast<TfrxBarCodeView>(templ);
    if (!t || t->Text != Text) r += " Text=\"" + frxXML::EncodeXMLText(Text) + "\"";
    return r;
}

void TfrxBarCodeView::Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY)
{
    TfrxBarcode* b = FBarcode.get();
    b->Angle = Rotation;
    b->Checksum = CalcCheckSum;
    b->Typ = BarType;
    b->Color = Color == clNone ? clWhite : Color;
    b->Text = Text;
    if (Zoom < 0.0001) Zoom = 1.0;
    const double codeWidth = b->Width() * Zoom;
    const bool vertical = Rotation == 90 || Rotation == 270;
    if (vertical)
        SetHeight(codeWidth);
    else {
        const double old = Width();
        SetWidth(codeWidth);
        if (HAlign == frxClass::haRight)
            SetLeft(Left() + old - codeWidth);
        else if (HAlign == frxClass::haCenter)
            SetLeft(Left() + (old - codeWidth) / 2);
    }
    PrepareDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    PaintBackground();
    b->DrawBarcode(canvas, Rect(FX, FY, FX1, FY1), ShowText);
    PaintFrame();
}

TfrxBarCodeObject::TfrxBarCodeObject(TComponent* owner) : TComponent(owner) { frxBarcode::Initialize(); }

namespace frxBarcode {

void Initialize()
{
    static bool done = false;
    if (!done) {
        done = true;
        RegisterClasses({TfrxBarCodeView::StaticClass(), TfrxBarcode::StaticClass()});
        frxRes::Resources().Add("obBarC", "条形码对象");
        frxDsgnIntf::ObjectRegistry().AddObjectClass(TfrxBarCodeView::StaticClass(), nullptr, 23, 0, "Other");
    }
    // The script side again whenever the global script lacks it: the
    // interpreter may have been shut down and started again since.
    TfsScript* g = fs_iinterpreter::GetGlobalScript();
    if (g && !g->FindClass(TfrxBarCodeView::StaticClass()->Name)) {
        std::string names;
        for (const std::string& n : TypeInfoOf<TfrxBarcodeType>()->Names) {
            if (!names.empty()) names += ", ";
            names += n;
        }
        g->AddEnum("TfrxBarcodeType", names);
        g->AddClass(TfrxBarCodeView::StaticClass(), "TfrxView");
    }
}

}  // namespace frxBarcode
