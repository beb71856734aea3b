#include "DBGridEhFilter.h"

#include "DateUtils.h"
#include "Exceptions.h"
#include "TextUtils.h"

#include <vector>

namespace DBGridEhFilter {

const char* const FilterOperatorTexts[16] = {
    "", "=", "<>", ">", "<", ">=", "<=", "~", "!~", "In", "!In", "Null", "Null", "AND", "OR", ""};
const char* const FilterOperatorSqlTexts[16] = {
    "", "=", "<>", ">", "<", ">=", "<=", "LIKE", "NOT LIKE", "IN", "NOT IN", "IS NULL",
    "IS NOT NULL", "AND", "OR", ""};
const char* const FilterMarkerComment = "/*FILTER*/";

TFilterValueKindEh FilterValueKindOf(TFieldType dataType)
{
    switch (dataType) {
    case ftString: case ftMemo: case ftFmtMemo: case ftFixedChar: case ftWideString: case ftGuid:
        return fvkStringEh;
    case ftSmallint: case ftInteger: case ftWord: case ftFloat: case ftCurrency: case ftBCD:
    case ftAutoInc: case ftLargeint: case ftFMTBcd:
        return fvkNumberEh;
    case ftDate: case ftTime: case ftDateTime: case ftTimeStamp:
        return fvkDateTimeEh;
    case ftBoolean:
        return fvkBooleanEh;
    default:
        return fvkOtherEh;
    }
}

void ClearFilterExpression(TSTFilterExpressionEh& expression)
{
    expression.FirstOp = flNone;
    expression.FirstOperand = Null();
    expression.Junction = flNone;
    expression.SecondOp = flNone;
    expression.SecondOperand = Null();
}

namespace {

// "(" is read as no lexeme but still ends a bare value and counts as one.
enum class TPeek { Nothing, Stop, Other };

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Bytes above 127 (every byte of a multi-byte character) never delimit.
bool IsWordDelimiter(char c)
{
    switch (c) {
    case ' ': case '!': case '"': case '&': case '\'': case '(': case ')': case '+': case ',':
    case '-': case '.': case '<': case '=': case '>': case '|': case '~':
        return true;
    default:
        return static_cast<unsigned char>(c) < ' ';
    }
}

enum class TWord { None, Not, And, Or, Like, In, Null };

TWord KeyWord(const std::string& word)
{
    const std::string up = UpperCase(word);
    if (up == "NOT") return TWord::Not;
    if (up == "AND") return TWord::And;
    if (up == "OR") return TWord::Or;
    if (up == "LIKE") return TWord::Like;
    if (up == "IN") return TWord::In;
    if (up == "NULL") return TWord::Null;
    return TWord::None;
}

class TFilterParser {
public:
    TFilterParser(const std::string& text, const TFormatSettings& settings)
        : FText(text), FSettings(settings) {}

    bool Parse(TSTFilterExpressionEh& e);
    TFilterValueKindEh FKind = fvkOtherEh;

private:
    [[noreturn]] void Fail(const char* message) const { throw Exception(message + FText); }
    void SkipBlanks() { while (FPos < FText.size() && IsBlank(FText[FPos])) ++FPos; }
    bool AtEnd() const { return FPos >= FText.size(); }
    size_t WordEnd(size_t from) const
    {
        while (from < FText.size() && !IsWordDelimiter(FText[from])) ++from;
        return from;
    }
    TPeek PeekOperator(size_t at) const;
    TFilterLexemeEh NextLexeme(Variant& value, bool commaLists);
    Variant ReadValueList(bool commaLists);
    Variant ReadValue(bool commaLists);
    void ReadTerm(TFilterLexemeEh& op, Variant& operand, bool defaultCommaLists);
    void ExpectClose();

    const std::string& FText;
    const TFormatSettings& FSettings;
    size_t FPos = 0;
};

// Whether an operator, a junction, NOT, NULL, IN or "(" starts at `at`: such a
// lexeme ends a bare value that would otherwise run on over blanks.
TPeek TFilterParser::PeekOperator(size_t at) const
{
    if (at >= FText.size()) return TPeek::Nothing;
    switch (FText[at]) {
    case '!': case '&': case '(': case '<': case '=': case '>': case '|': case '~':
        return TPeek::Stop;
    case '\'':
        return TPeek::Other;
    default:
        break;
    }
    const size_t end = WordEnd(at);
    return KeyWord(FText.substr(at, end - at)) == TWord::None ? TPeek::Other : TPeek::Stop;
}

Variant TFilterParser::ReadValue(bool commaLists)
{
    SkipBlanks();
    if (!AtEnd() && FText[FPos] == '\'') {
        const size_t close = FText.find('\'', FPos + 1);
        if (close == std::string::npos) Fail("Quote is absent: ");
        Variant v(FText.substr(FPos + 1, close - FPos - 1));
        FPos = close + 1;
        return v;
    }
    const size_t start = FPos;
    while (!AtEnd()) {
        const char c = FText[FPos];
        if (c == '(' || c == ')' || (commaLists && c == ',')) break;
        if (IsBlank(c)) {
            size_t next = FPos;
            while (next < FText.size() && IsBlank(FText[next])) ++next;
            if (PeekOperator(next) != TPeek::Other) break;
            FPos = next;
            continue;
        }
        ++FPos;
    }
    if (FPos == start) return AtEnd() ? Null() : Variant(std::string());
    return Variant(TrimRight(FText.substr(start, FPos - start)));
}

Variant TFilterParser::ReadValueList(bool commaLists)
{
    std::vector<Variant> values{ReadValue(commaLists)};
    while (commaLists && !values.back().IsNull() && !AtEnd() && FText[FPos] == ',') {
        ++FPos;
        values.push_back(ReadValue(commaLists));
        if (values.back().IsNull()) values.back() = Variant(std::string());
    }
    return values.size() == 1 ? values.front() : VarArrayOf(values);
}

TFilterLexemeEh TFilterParser::NextLexeme(Variant& value, bool commaLists)
{
    value = Null();
    SkipBlanks();
    if (AtEnd()) return flNone;
    const char c = FText[FPos];
    const char d = FPos + 1 < FText.size() ? FText[FPos + 1] : '\0';
    TWord word = TWord::None;
    switch (c) {
    case '!':
        if (d == '=') { FPos += 2; return flNotEqual; }
        ++FPos;
        word = TWord::Not;
        break;
    case '&': ++FPos; return flAnd;
    case '(': ++FPos; return flNone;
    case '<':
        if (d == '=') { FPos += 2; return flLessOrEqual; }
        if (d == '>') { FPos += 2; return flNotEqual; }
        ++FPos; return flLess;
    case '=': ++FPos; return flEqual;
    case '>':
        if (d == '=') { FPos += 2; return flGreaterOrEqual; }
        ++FPos; return flGreater;
    case '|': ++FPos; return flOr;
    case '~': ++FPos; return flLike;
    case '\'':
        value = ReadValueList(commaLists);
        return flValue;
    default: {
        const size_t end = WordEnd(FPos);
        word = KeyWord(FText.substr(FPos, end - FPos));
        if (word != TWord::None) FPos = end;
    }
    }
    const auto afterIn = [this](TFilterLexemeEh in) {
        SkipBlanks();
        if (AtEnd() || FText[FPos] != '(') Fail("'(' expected: ");
        ++FPos;
        return in;
    };
    switch (word) {
    case TWord::Not: {
        Variant ignored;
        const TFilterLexemeEh l = NextLexeme(ignored, commaLists);
        if (l == flLike) return flNotLike;
        if (l == flIn) return flNotIn;
        if (l == flNull) return flNotNull;
        return flNone;
    }
    case TWord::And: return flAnd;
    case TWord::Or: return flOr;
    case TWord::Like: return flLike;
    case TWord::In: return afterIn(flIn);
    case TWord::Null: return flNull;
    case TWord::None: break;
    }
    value = ReadValueList(commaLists);
    return value.IsNull() ? flNone : flValue;
}

void TFilterParser::ExpectClose()
{
    SkipBlanks();
    if (AtEnd() || FText[FPos] != ')') Fail("')' expected: ");
    ++FPos;
}

void TFilterParser::ReadTerm(TFilterLexemeEh& op, Variant& operand, bool defaultCommaLists)
{
    Variant v;
    const TFilterLexemeEh l1 = NextLexeme(v, defaultCommaLists);
    if (l1 == flValue) {
        op = VarIsArray(v) ? flIn : FKind == fvkStringEh ? flLike : flEqual;
        operand = v;
        return;
    }
    if (l1 == flNone) Fail("Error in expression: ");
    // A junction cannot start a term: it would filter by nothing typed.
    if (l1 == flAnd || l1 == flOr) Fail("Unexpected AND or OR: ");
    const bool inList = l1 == flIn || l1 == flNotIn;
    // Only In takes a list after its operator: "= 1,5" compares with the one text "1,5".
    const TFilterLexemeEh l2 = NextLexeme(v, inList);
    op = l1;
    if (l2 == flNull) {
        if (l1 == flEqual) op = flNull;
        else if (l1 == flNotEqual) op = flNotNull;
        else Fail("Unexpected expression before Null: ");
        operand = Null();
        return;
    }
    if (l2 != flValue) Fail("Unexpected expression after operator: ");
    operand = v;
    // Both terms close their list, so that a list in the second term leaves
    // no ")" behind to be taken for trailing text.
    if (inList) ExpectClose();
}

bool TFilterParser::Parse(TSTFilterExpressionEh& e)
{
    FKind = e.ValueKind;
    const bool commaLists = !(e.ValueKind == fvkNumberEh && FSettings.DecimalSeparator == ',');
    ReadTerm(e.FirstOp, e.FirstOperand, commaLists);
    bool second = false;
    SkipBlanks();
    if (!AtEnd()) {
        Variant ignored;
        const TFilterLexemeEh j = NextLexeme(ignored, commaLists);
        if (j == flNone) Fail("Incorrect expression: ");
        if (j != flAnd && j != flOr) Fail("Unexpected AND or OR: ");
        e.Junction = j;
        SkipBlanks();
        if (!AtEnd()) {
            ReadTerm(e.SecondOp, e.SecondOperand, commaLists);
            second = true;
            SkipBlanks();
            // Only two terms are held: a third must not be dropped unseen.
            if (!AtEnd()) Fail("Incorrect expression: ");
        }
    }
    return second;
}

// The values of an operand: an array's elements, or the single value.
std::vector<Variant> OperandValues(const Variant& operand)
{
    if (!VarIsArray(operand)) return {operand};
    std::vector<Variant> values;
    for (int i = VarArrayLowBound(operand, 1); i <= VarArrayHighBound(operand, 1); ++i)
        values.push_back(VarArrayGet(operand, {i}));
    return values;
}

Variant ConvertValue(const Variant& v, TFilterValueKindEh kind, const TFormatSettings& settings)
{
    if (kind == fvkNumberEh) return Variant(StrToFloat(VarToStr(v), settings));
    if (kind == fvkDateTimeEh) return Variant::FromDate(StrToDateTime(VarToStr(v), settings));
    return v;
}

void ConvertOperand(TFilterLexemeEh op, Variant& operand, TFilterValueKindEh kind,
                    const TFormatSettings& settings)
{
    if (op < flEqual || op > flNotIn) {
        operand = Null();
        return;
    }
    if (!VarIsArray(operand)) {
        operand = ConvertValue(operand, kind, settings);
        return;
    }
    std::vector<Variant> values = OperandValues(operand);
    for (Variant& v : values) v = ConvertValue(v, kind, settings);
    operand = VarArrayOf(values);
}

} // namespace

bool ParseFilterExpression(const std::string& text, TSTFilterExpressionEh& expression,
                           const TFormatSettings& settings)
{
    ClearFilterExpression(expression);
    const std::string trimmed = Trim(text);
    if (trimmed.empty()) return false;
    TFilterParser parser(trimmed, settings);
    const bool result = parser.Parse(expression);
    ConvertOperand(expression.FirstOp, expression.FirstOperand, expression.ValueKind, settings);
    ConvertOperand(expression.SecondOp, expression.SecondOperand, expression.ValueKind, settings);
    return result;
}

namespace {

std::string OperandText(const Variant& v, const TFormatSettings& settings)
{
    if (VarIsType(v, varDouble)) return FloatToStr(v.AsDouble(), settings);
    if (VarIsType(v, varDate)) return DateToStr(VarToDateTime(v), settings);
    return "'" + VarToStr(v) + "'";
}

std::string TermText(TFilterLexemeEh op, const Variant& operand, const TFormatSettings& settings)
{
    if (op == flNull) return "=Null";
    if (op == flNotNull) return "<>Null";
    const std::string opText = FilterOperatorTexts[op];
    if (op != flIn && op != flNotIn) return opText + " " + OperandText(operand, settings);
    std::string s = opText + " (";
    for (const Variant& v : OperandValues(operand)) s += OperandText(v, settings) + ",";
    s.pop_back();
    return s + ")";
}

} // namespace

std::string ExpressionAsText(const TSTFilterExpressionEh& e, bool hasListSource,
                             const TFormatSettings& settings)
{
    if (e.ValueKind == fvkOtherEh || e.FirstOp == flNone) return {};
    if (hasListSource) {
        if (!VarIsArray(e.FirstOperand)) return VarToStr(e.FirstOperand);
        std::string s;
        for (const Variant& v : OperandValues(e.FirstOperand)) s += "'" + VarToStr(v) + "',";
        return s;
    }
    std::string s = TermText(e.FirstOp, e.FirstOperand, settings);
    if (e.Junction != flNone) {
        s += std::string(" ") + FilterOperatorTexts[e.Junction];
        // A junction typed without its second term shows as typed.
        if (e.SecondOp != flNone) s += " " + TermText(e.SecondOp, e.SecondOperand, settings);
    }
    return s;
}

} // namespace DBGridEhFilter
