// The filter row's expression texts: what each parses into, which are refused
// and with what message, and how a parsed filter reads back.
#include "DBGridEhFilter.h"

#include "DateUtils.h"
#include "Exceptions.h"

#include <gtest/gtest.h>

namespace {

using namespace DBGridEhFilter;

std::string Describe(const Variant& v)
{
    if (v.IsNull()) return "Null";
    if (!VarIsArray(v)) return VarIsType(v, varDouble) ? "#" + VarToStr(v) : "'" + VarToStr(v) + "'";
    std::string s = "[";
    for (int i = VarArrayLowBound(v, 1); i <= VarArrayHighBound(v, 1); ++i)
        s += (i > VarArrayLowBound(v, 1) ? "," : "") + Describe(VarArrayGet(v, {i}));
    return s + "]";
}

// The whole record as one line: "op operand [junction op operand]".
std::string Describe(const TSTFilterExpressionEh& e)
{
    std::string s = std::to_string(int(e.FirstOp)) + " " + Describe(e.FirstOperand);
    if (e.Junction != flNone)
        s += " j" + std::to_string(int(e.Junction)) + " " + std::to_string(int(e.SecondOp)) + " " +
             Describe(e.SecondOperand);
    return s;
}

std::string S(TFilterLexemeEh op) { return std::to_string(int(op)); }

TEST(FilterExpression, ParsesTextsIntoTerms)
{
    struct Case {
        std::string Text;
        TFilterValueKindEh Kind;
        std::string Parsed;
        bool Second;
    } cases[] = {
        {"abc", fvkStringEh, S(flLike) + " 'abc'", false},
        {"5", fvkNumberEh, S(flEqual) + " #5", false},
        {"1,2,3", fvkNumberEh, S(flIn) + " [#1,#2,#3]", false},
        {"= Null", fvkStringEh, S(flNull) + " Null", false},
        {"<> null", fvkNumberEh, S(flNotNull) + " Null", false},
        {"!= NULL", fvkNumberEh, S(flNotNull) + " Null", false},
        {"In ('A','B')", fvkStringEh, S(flIn) + " ['A','B']", false},
        {"not in (A, B )", fvkStringEh, S(flNotIn) + " ['A','B']", false},
        {"!In (7)", fvkNumberEh, S(flNotIn) + " #7", false},
        {"New York", fvkStringEh, S(flLike) + " 'New York'", false},
        {"  New AND York ", fvkStringEh, S(flLike) + " 'New' j" + S(flAnd) + " " + S(flLike) + " 'York'", true},
        {"> 5 and <= 10", fvkNumberEh, S(flGreater) + " #5 j" + S(flAnd) + " " + S(flLessOrEqual) + " #10", true},
        {"~ 'Sm%' | = Null", fvkStringEh, S(flLike) + " 'Sm%' j" + S(flOr) + " " + S(flNull) + " Null", true},
        {"NOT LIKE x & ! ~ y", fvkStringEh, S(flNotLike) + " 'x' j" + S(flAnd) + " " + S(flNotLike) + " 'y'", true},
        {"= 1 OR In (2,3)", fvkNumberEh, S(flEqual) + " #1 j" + S(flOr) + " " + S(flIn) + " [#2,#3]", true},
        {"> 5 AND", fvkNumberEh, S(flGreater) + " #5 j" + S(flAnd) + " 0 Null", false},
        // A NULL operator takes a value and drops it.
        {"Null x", fvkStringEh, S(flNull) + " Null", false},
        {"= '王 府井'", fvkStringEh, S(flEqual) + " '王 府井'", false},
        {"北京 OR 上海", fvkStringEh, S(flLike) + " '北京' j" + S(flOr) + " " + S(flLike) + " '上海'", true},
        // A value that is not a plain string is kept as the text typed.
        {"= a-b.c", fvkOtherEh, S(flEqual) + " 'a-b.c'", false},
        {"= 1,5", fvkStringEh, S(flEqual) + " '1,5'", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        TSTFilterExpressionEh e;
        e.ValueKind = c.Kind;
        bool second = false;
        ASSERT_NO_THROW(second = ParseFilterExpression(c.Text, e));
        EXPECT_EQ(Describe(e), c.Parsed);
        EXPECT_EQ(second, c.Second);
        EXPECT_EQ(e.ValueKind, c.Kind);
    }
}

TEST(FilterExpression, RefusesMalformedTextsWithTheWholeText)
{
    struct Case {
        std::string Text;
        const char* Message;
    } cases[] = {
        {"> Null", "Unexpected expression before Null: "},
        {"~ NULL", "Unexpected expression before Null: "},
        {"Null", "Unexpected expression after operator: "},
        {"NOT NULL", "Unexpected expression after operator: "},
        {">=", "Unexpected expression after operator: "},
        {"In 'A'", "'(' expected: "},
        {"In ('A'", "')' expected: "},
        {"= 1 OR In (2", "')' expected: "},
        {"'abc", "Quote is absent: "},
        {"= 'abc", "Quote is absent: "},
        {"(abc)", "Error in expression: "},
        {"NOT abc", "Error in expression: "},
        {"> 5 XOR < 3", "Unexpected AND or OR: "},
        {"AND 5", "Unexpected AND or OR: "},
        // Only In takes a list after its operator.
        {"<> 'a','b'", "Unexpected AND or OR: "},
        {"= 5 (", "Incorrect expression: "},
        {"= 5 AND (", "Error in expression: "},
        // A third term is refused, not dropped: the applied filter would differ from the text.
        {"> 5 AND < 10 OR = 3", "Incorrect expression: "},
        {"a OR b OR c", "Incorrect expression: "},
        {"= 1 AND = 2 )", "Incorrect expression: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        TSTFilterExpressionEh e;
        e.ValueKind = fvkStringEh;
        try {
            ParseFilterExpression(c.Text, e);
            ADD_FAILURE() << "accepted";
        } catch (const EConvertError& ex) {
            ADD_FAILURE() << "conversion error " << ex.Message();
        } catch (const Exception& ex) {
            EXPECT_EQ(ex.Message(), c.Message + c.Text);
        }
    }
}

TEST(FilterExpression, NumbersAndDatesConvertOrRaise)
{
    TFormatSettings comma = FormatSettings;
    comma.DecimalSeparator = ',';
    TSTFilterExpressionEh e;
    e.ValueKind = fvkNumberEh;
    // With a comma decimal separator a number text is never a list.
    ParseFilterExpression("= 2,5", e, comma);
    EXPECT_EQ(Describe(e), S(flEqual) + " #2.5");
    EXPECT_THROW(ParseFilterExpression("1,2,3", e, comma), EConvertError);
    // Inside In ( … ) the comma still separates.
    ParseFilterExpression("In (1,2)", e, comma);
    EXPECT_EQ(Describe(e), S(flIn) + " [#1,#2]");
    EXPECT_THROW(ParseFilterExpression("> abc", e), EConvertError);

    e.ValueKind = fvkDateTimeEh;
    const std::string day = DateToStr(46000.0);
    ParseFilterExpression(">= " + day, e);
    EXPECT_EQ(e.FirstOp, flGreaterOrEqual);
    EXPECT_TRUE(VarIsType(e.FirstOperand, varDate));
    EXPECT_DOUBLE_EQ(VarToDateTime(e.FirstOperand), 46000.0);
    EXPECT_THROW(ParseFilterExpression("= someday", e), EConvertError);
}

TEST(FilterExpression, ParsingStartsFromAClearedRecord)
{
    TSTFilterExpressionEh e;
    e.ValueKind = fvkNumberEh;
    ParseFilterExpression("> 1 OR < 0", e);
    EXPECT_FALSE(ParseFilterExpression("   ", e));
    EXPECT_EQ(Describe(e), "0 Null");
    EXPECT_EQ(e.ValueKind, fvkNumberEh);
}

TEST(FilterExpression, RendersBackToText)
{
    struct Case {
        std::string Text;
        TFilterValueKindEh Kind;
        std::string Rendered;
    } cases[] = {
        {"> 5 and <= 10", fvkNumberEh, "> 5 AND <= 10"},
        {"1, 2.5", fvkNumberEh, "In (1,2.5)"},
        {"abc | = null", fvkStringEh, "~ 'abc' OR =Null"},
        {"!= Null", fvkStringEh, "<>Null"},
        {"not in ('A','B')", fvkStringEh, "!In ('A','B')"},
        {"> 5 AND", fvkNumberEh, "> 5 AND"},
        {"= x", fvkOtherEh, ""},
        {"", fvkStringEh, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        TSTFilterExpressionEh e;
        e.ValueKind = c.Kind;
        ParseFilterExpression(c.Text, e);
        EXPECT_EQ(ExpressionAsText(e), c.Rendered);
    }
    // A rendered text parses back to the same filter.
    TSTFilterExpressionEh a, b;
    a.ValueKind = b.ValueKind = fvkStringEh;
    ParseFilterExpression("In (x, 'y z') or ~ 北京", a);
    ParseFilterExpression(ExpressionAsText(a), b);
    EXPECT_EQ(Describe(a), Describe(b));

    TSTFilterExpressionEh list;
    list.ValueKind = fvkStringEh;
    list.FirstOp = flIn;
    list.FirstOperand = VarArrayOf({Variant("A"), Variant("B")});
    EXPECT_EQ(ExpressionAsText(list, true), "'A','B',");
    list.FirstOperand = Variant("A");
    EXPECT_EQ(ExpressionAsText(list, true), "A");
}

TEST(FilterExpression, ValueKindFollowsTheFieldType)
{
    const std::pair<TFieldType, TFilterValueKindEh> cases[] = {
        {ftString, fvkStringEh}, {ftGuid, fvkStringEh}, {ftMemo, fvkStringEh},
        {ftLargeint, fvkNumberEh}, {ftFMTBcd, fvkNumberEh}, {ftAutoInc, fvkNumberEh},
        {ftTimeStamp, fvkDateTimeEh}, {ftTime, fvkDateTimeEh}, {ftBoolean, fvkBooleanEh},
        {ftBlob, fvkOtherEh}, {ftUnknown, fvkOtherEh}, {ftVariant, fvkOtherEh},
    };
    for (const auto& [type, kind] : cases) EXPECT_EQ(FilterValueKindOf(type), kind) << int(type);
}

} // namespace
