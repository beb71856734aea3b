#include "cxFilter.h"

#include "ComponentStreams.h"
#include "DateUtils.h"
#include "Streams.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "cxDataConsts.h"
#include "cxDataUtils.h"
#include "cxFilterConsts.h"
#include "cxLike.h"
#include "cxVariants.h"

using cxFilterConsts::GetFilterString;

namespace cxFilter {

std::string ExtractListItem(const std::string& text, size_t& pos)
{
    size_t end = text.find(';', pos);
    std::string item = Trim(text.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
    pos = end == std::string::npos ? text.size() : end + 1;
    return item;
}

Variant ParseListText(const std::string& text)
{
    if (text.empty()) return Variant(std::string());
    std::vector<Variant> items;
    size_t pos = 0;
    while (pos < text.size()) items.push_back(Variant(ExtractListItem(text, pos)));
    return VarArrayOf(items);
}

Variant ParseBetweenText(const std::string& text)
{
    size_t pos = 0;
    std::string a = ExtractListItem(text, pos);
    std::string b = pos < text.size() ? ExtractListItem(text, pos) : std::string();
    return cxVariants::VarBetweenArray(Variant(a), Variant(b));
}

std::string BetweenDisplayText(const std::string& first, const std::string& second)
{
    return first + " " + GetFilterString(&cxSFilterAndCaption) + " " + second;
}

std::string ListDisplayText(const std::vector<std::string>& items)
{
    std::string s = "(";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) s += ", ";
        s += items[i];
    }
    return s + ")";
}

std::string ValueToDisplayText(const Variant& value)
{
    if (value.IsNull()) return GetFilterString(&cxSFilterBlankCaption);
    return VarToStr(value);
}

}  // namespace cxFilter

namespace {

std::vector<std::string> SplitNames(const std::string& names)
{
    std::vector<std::string> r;
    size_t pos = 0;
    while (pos < names.size()) r.push_back(cxFilter::ExtractListItem(names, pos));
    if (r.empty()) r.push_back(std::string());
    return r;
}

bool ArrayElements(const Variant& v, std::vector<Variant>& out)
{
    out.clear();
    if (!v.IsArray() || VarArrayDimCount(v) != 1) return false;
    for (int i = VarArrayLowBound(v, 1); i <= VarArrayHighBound(v, 1); ++i) out.push_back(VarArrayGet(v, {i}));
    return true;
}

}  // namespace

// ---- operators ---------------------------------------------------------------------------

QZ_CLASS_IMPL(TcxFilterOperator, TObject)
QZ_CLASS_IMPL(TcxFilterDateOperator, TcxFilterOperator)

TcxFilterCriteria* TcxFilterOperator::Criteria() const { return FCriteriaItem ? FCriteriaItem->GetCriteria() : nullptr; }

std::string TcxFilterOperator::FieldName() const { return FCriteriaItem ? FCriteriaItem->GetFieldName() : std::string(); }

void TcxFilterOperator::FormatValue(const Variant& value, std::string& text)
{
    if (FormatSpecialValue(value, text)) return;
    TcxFilterCriteria* c = Criteria();
    switch (value.VType() & varTypeMask) {
    case varNull: text = "NULL"; break;
    case varDate: text = "'" + (c ? c->FormatDate(value.RawDouble()) : DateTimeToStr(value.RawDouble())) + "'"; break;
    // Apostrophes inside are doubled, so the text stays one literal.
    case varString: case varOleStr: text = QuotedStr(value.RawString()); break;
    case varBoolean: text = c ? c->FormatBoolean(value.RawBool()) : (value.RawBool() ? "True" : "False"); break;
    default: text = VarToStr(value); break;
    }
    if (c) c->FormatFilterTextValue(FCriteriaItem, value, text);
}

namespace {

#define CX_OPERATOR(Cls, Parent, Caption, Expr)                                    \
    class Cls : public Parent {                                                    \
        QZ_CLASS(Cls, Parent)                                                      \
    public:                                                                        \
        using Parent::Parent;                                                      \
        void GetDisplayText(std::string& t) override { t = GetFilterString(&Caption); } \
        void GetExpressionText(std::string& t) override { t = Expr; }              \
        bool Matches(const Variant& v, const Variant& c) override;                 \
        CX_OPERATOR_EXTRA_##Cls                                                     \
    };                                                                             \
    QZ_CLASS_IMPL(Cls, Parent)

class TcxFilterEqualOperatorBase : public TcxFilterOperator {
    QZ_CLASS(TcxFilterEqualOperatorBase, TcxFilterOperator)
public:
    using TcxFilterOperator::TcxFilterOperator;
    bool IsExpression() override
    {
        return CriteriaItem() && CriteriaItem()->Value().IsArray();
    }
    void FormatExpressionValue(const Variant& value, std::string& text) override
    {
        std::vector<Variant> els;
        if (!ArrayElements(value, els)) {
            FormatValue(value, text);
            return;
        }
        std::vector<std::string> names = SplitNames(FieldName());
        text.clear();
        for (size_t i = 0; i < els.size(); ++i) {
            std::string lit;
            FormatValue(els[i], lit);
            if (i) text += " AND ";
            text += "(" + (i < names.size() ? names[i] : std::string()) + " = " + lit + ")";
        }
        if (Negated()) text = "NOT (" + text + ")";
    }
    virtual bool Negated() { return false; }
};
QZ_CLASS_IMPL(TcxFilterEqualOperatorBase, TcxFilterOperator)

#define CX_OPERATOR_EXTRA_TcxFilterEqualOperator
#define CX_OPERATOR_EXTRA_TcxFilterNotEqualOperator bool Negated() override { return true; }
#define CX_OPERATOR_EXTRA_TcxFilterLessOperator
#define CX_OPERATOR_EXTRA_TcxFilterLessEqualOperator
#define CX_OPERATOR_EXTRA_TcxFilterGreaterOperator
#define CX_OPERATOR_EXTRA_TcxFilterGreaterEqualOperator
#define CX_OPERATOR_EXTRA_TcxFilterNullOperator                                     \
    bool IsExpression() override { return false; }                                 \
    void PrepareDisplayValue(std::string& t) override                              \
    {                                                                              \
        if (Criteria() && Criteria()->Options().Contains(fcoShowOperatorDescription)) t.clear(); \
    }
#define CX_OPERATOR_EXTRA_TcxFilterNotNullOperator

CX_OPERATOR(TcxFilterEqualOperator, TcxFilterEqualOperatorBase, cxSFilterOperatorEqual, "=")
CX_OPERATOR(TcxFilterNotEqualOperator, TcxFilterEqualOperator, cxSFilterOperatorNotEqual, "<>")
CX_OPERATOR(TcxFilterNullOperator, TcxFilterEqualOperator, cxSFilterOperatorIsNull, "=")
CX_OPERATOR(TcxFilterNotNullOperator, TcxFilterNullOperator, cxSFilterOperatorIsNotNull, "<>")
CX_OPERATOR(TcxFilterLessOperator, TcxFilterOperator, cxSFilterOperatorLess, "<")
CX_OPERATOR(TcxFilterLessEqualOperator, TcxFilterOperator, cxSFilterOperatorLessEqual, "<=")
CX_OPERATOR(TcxFilterGreaterOperator, TcxFilterOperator, cxSFilterOperatorGreater, ">")
CX_OPERATOR(TcxFilterGreaterEqualOperator, TcxFilterOperator, cxSFilterOperatorGreaterEqual, ">=")

bool TcxFilterEqualOperator::Matches(const Variant& v, const Variant& c) { return cxVariants::VarCompare(v, c) == 0; }
bool TcxFilterNotEqualOperator::Matches(const Variant& v, const Variant& c) { return cxVariants::VarCompare(v, c) != 0; }
bool TcxFilterNullOperator::Matches(const Variant& v, const Variant&) { return CriteriaItem()->IsNullValue(v); }
bool TcxFilterNotNullOperator::Matches(const Variant& v, const Variant&) { return !CriteriaItem()->IsNullValue(v); }
bool TcxFilterLessOperator::Matches(const Variant& v, const Variant& c) { return cxVariants::VarCompare(v, c) < 0; }
bool TcxFilterLessEqualOperator::Matches(const Variant& v, const Variant& c) { return cxVariants::VarCompare(v, c) <= 0; }
bool TcxFilterGreaterOperator::Matches(const Variant& v, const Variant& c) { return cxVariants::VarCompare(v, c) > 0; }
bool TcxFilterGreaterEqualOperator::Matches(const Variant& v, const Variant& c) { return cxVariants::VarCompare(v, c) >= 0; }

// Like and not like: the caption follows the wildcards of the value.
class TcxFilterLikeOperator : public TcxFilterOperator {
    QZ_CLASS(TcxFilterLikeOperator, TcxFilterOperator)
public:
    using TcxFilterOperator::TcxFilterOperator;
    bool Matches(const Variant& v, const Variant& c) override
    {
        TcxFilterCriteria* cr = Criteria();
        return cxLike::LikeMatch(VarToStr(v), VarToStr(c), cr ? cr->PercentWildcard() : '%',
                                 cr ? cr->UnderscoreWildcard() : '_') != Negated();
    }
    void GetExpressionText(std::string& t) override { t = Negated() ? "NOT LIKE" : "LIKE"; }
    void GetDisplayText(std::string& t) override
    {
        std::string p = CriteriaItem() ? VarToStr(CriteriaItem()->Value()) : std::string();
        int kind = cxLike::TrimLikeWildcards(p, Criteria() ? Criteria()->PercentWildcard() : '%');
        static const TcxResourceStringRec* plain[4] = {&cxSFilterOperatorLike, &cxSFilterOperatorBeginsWith,
                                                       &cxSFilterOperatorEndsWith, &cxSFilterOperatorContains};
        static const TcxResourceStringRec* neg[4] = {&cxSFilterOperatorNotLike, &cxSFilterOperatorDoesNotBeginWith,
                                                     &cxSFilterOperatorDoesNotEndWith,
                                                     &cxSFilterOperatorDoesNotContain};
        t = GetFilterString(Negated() ? neg[kind] : plain[kind]);
    }
    void PrepareDisplayValue(std::string& t) override
    {
        TcxFilterCriteria* c = Criteria();
        if (c && c->Options().Contains(fcoShowOperatorDescription)) cxLike::TrimLikeWildcards(t, c->PercentWildcard());
    }
    virtual bool Negated() { return false; }
};
QZ_CLASS_IMPL(TcxFilterLikeOperator, TcxFilterOperator)

class TcxFilterNotLikeOperator : public TcxFilterLikeOperator {
    QZ_CLASS(TcxFilterNotLikeOperator, TcxFilterLikeOperator)
public:
    using TcxFilterLikeOperator::TcxFilterLikeOperator;
    bool Negated() override { return true; }
};
QZ_CLASS_IMPL(TcxFilterNotLikeOperator, TcxFilterLikeOperator)

class TcxFilterBetweenOperator : public TcxFilterOperator {
    QZ_CLASS(TcxFilterBetweenOperator, TcxFilterOperator)
public:
    using TcxFilterOperator::TcxFilterOperator;
    bool Matches(const Variant& v, const Variant& c) override
    {
        std::vector<Variant> b;
        bool inside = ArrayElements(c, b) && b.size() == 2 && cxVariants::VarCompare(b[0], v) <= 0 &&
                      cxVariants::VarCompare(v, b[1]) <= 0;
        return inside != Negated();
    }
    void GetExpressionText(std::string& t) override { t = Negated() ? "NOT BETWEEN" : "BETWEEN"; }
    void GetDisplayText(std::string& t) override
    {
        t = GetFilterString(Negated() ? &cxSFilterOperatorNotBetween : &cxSFilterOperatorBetween);
    }
    bool IsExpression() override { return Criteria() && Criteria()->TranslateBetween(); }
    bool FormatSpecialValue(const Variant& value, std::string& text) override
    {
        std::vector<Variant> b;
        if (IsExpression() || !ArrayElements(value, b) || b.size() != 2) return false;
        std::string lo, hi;
        FormatValue(b[0], lo);
        FormatValue(b[1], hi);
        text = lo + " AND " + hi;
        return true;
    }
    void FormatExpressionValue(const Variant& value, std::string& text) override
    {
        std::vector<Variant> b;
        if (!ArrayElements(value, b) || b.size() != 2) {
            FormatValue(value, text);
            return;
        }
        std::string lo, hi, f = FieldName();
        FormatValue(b[0], lo);
        FormatValue(b[1], hi);
        text = "(" + lo + " <= " + f + ") AND (" + f + " <= " + hi + ")";
        if (Negated()) text = "NOT (" + text + ")";
    }
    void PrepareDisplayValue(std::string& t) override
    {
        size_t pos = 0;
        std::string a = cxFilter::ExtractListItem(t, pos);
        std::string b = pos < t.size() ? cxFilter::ExtractListItem(t, pos) : std::string();
        t = cxFilter::BetweenDisplayText(a, b);
    }
    virtual bool Negated() { return false; }
};
QZ_CLASS_IMPL(TcxFilterBetweenOperator, TcxFilterOperator)

class TcxFilterNotBetweenOperator : public TcxFilterBetweenOperator {
    QZ_CLASS(TcxFilterNotBetweenOperator, TcxFilterBetweenOperator)
public:
    using TcxFilterBetweenOperator::TcxFilterBetweenOperator;
    bool Negated() override { return true; }
};
QZ_CLASS_IMPL(TcxFilterNotBetweenOperator, TcxFilterBetweenOperator)

class TcxFilterInListOperator : public TcxFilterOperator {
    QZ_CLASS(TcxFilterInListOperator, TcxFilterOperator)
public:
    using TcxFilterOperator::TcxFilterOperator;
    bool Matches(const Variant& v, const Variant& c) override
    {
        std::vector<Variant> els;
        bool found = false;
        if (ArrayElements(c, els))
            for (const Variant& e : els)
                if (cxVariants::VarCompare(v, e) == 0) {
                    found = true;
                    break;
                }
        return found != Negated();
    }
    void GetExpressionText(std::string& t) override { t = Negated() ? "NOT IN" : "IN"; }
    void GetDisplayText(std::string& t) override
    {
        t = GetFilterString(Negated() ? &cxSFilterOperatorNotInList : &cxSFilterOperatorInList);
    }
    bool IsExpression() override { return Criteria() && Criteria()->TranslateIn(); }
    bool FormatSpecialValue(const Variant& value, std::string& text) override
    {
        std::vector<Variant> els;
        if (IsExpression() || !ArrayElements(value, els)) return false;
        text = "(";
        for (size_t i = 0; i < els.size(); ++i) {
            std::string lit;
            FormatValue(els[i], lit);
            if (i) text += ", ";
            text += lit;
        }
        text += ")";
        return true;
    }
    void FormatExpressionValue(const Variant& value, std::string& text) override
    {
        std::vector<Variant> els;
        if (!ArrayElements(value, els)) {
            FormatValue(value, text);
            return;
        }
        std::string f = FieldName();
        text.clear();
        for (size_t i = 0; i < els.size(); ++i) {
            std::string lit;
            FormatValue(els[i], lit);
            if (i) text += " OR ";
            text += "(" + f + " = " + lit + ")";
        }
        if (Negated()) text = "NOT (" + text + ")";
    }
    void PrepareDisplayValue(std::string& t) override
    {
        std::vector<std::string> items;
        size_t pos = 0;
        while (pos < t.size()) items.push_back(cxFilter::ExtractListItem(t, pos));
        t = cxFilter::ListDisplayText(items);
    }
    virtual bool Negated() { return false; }
};
QZ_CLASS_IMPL(TcxFilterInListOperator, TcxFilterOperator)

class TcxFilterNotInListOperator : public TcxFilterInListOperator {
    QZ_CLASS(TcxFilterNotInListOperator, TcxFilterInListOperator)
public:
    using TcxFilterInListOperator::TcxFilterInListOperator;
    bool Negated() override { return true; }
};
QZ_CLASS_IMPL(TcxFilterNotInListOperator, TcxFilterInListOperator)

// The date classes: one per range, the range computed at each change announcement.
enum class DateRange { Yesterday, Today, Tomorrow, LastWeek, LastMonth, LastYear, ThisWeek, ThisMonth,
                       ThisYear, NextWeek, NextMonth, NextYear };

TDateTime FirstOfMonth(int y, int m)
{
    while (m > 12) { m -= 12; ++y; }
    while (m < 1) { m += 12; --y; }
    return EncodeDate(y, m, 1);
}

#define CX_DATE_OPERATOR(Cls, Range, Caption)                                        \
    class Cls : public TcxFilterDateOperator {                                       \
        QZ_CLASS(Cls, TcxFilterDateOperator)                                         \
    public:                                                                          \
        using TcxFilterDateOperator::TcxFilterDateOperator;                          \
        void GetDisplayText(std::string& t) override { t = GetFilterString(&Caption); } \
        void ItemChanged() override { Compute(DateRange::Range, RangeStart, RangeEnd); } \
    };                                                                               \
    QZ_CLASS_IMPL(Cls, TcxFilterDateOperator)

void Compute(DateRange r, TDateTime& start, TDateTime& end)
{
    TDateTime d = cxDataUtils::Today();
    TDateTime w = cxDataUtils::WeekStart(d);
    uint16_t y, m, dd;
    DecodeDate(d, y, m, dd);
    switch (r) {
    case DateRange::Yesterday: start = d - 1; end = d; break;
    case DateRange::Today: start = d; end = d + 1; break;
    case DateRange::Tomorrow: start = d + 1; end = d + 2; break;
    case DateRange::LastWeek: start = w - 7; end = w; break;
    case DateRange::ThisWeek: start = w; end = w + 7; break;
    case DateRange::NextWeek: start = w + 7; end = w + 14; break;
    case DateRange::LastMonth: start = FirstOfMonth(y, m - 1); end = FirstOfMonth(y, m); break;
    case DateRange::ThisMonth: start = FirstOfMonth(y, m); end = FirstOfMonth(y, m + 1); break;
    case DateRange::NextMonth: start = FirstOfMonth(y, m + 1); end = FirstOfMonth(y, m + 2); break;
    case DateRange::LastYear: start = EncodeDate(y - 1, 1, 1); end = EncodeDate(y, 1, 1); break;
    case DateRange::ThisYear: start = EncodeDate(y, 1, 1); end = EncodeDate(y + 1, 1, 1); break;
    case DateRange::NextYear: start = EncodeDate(y + 1, 1, 1); end = EncodeDate(y + 2, 1, 1); break;
    }
}

CX_DATE_OPERATOR(TcxFilterYesterdayOperator, Yesterday, cxSFilterOperatorYesterday)
CX_DATE_OPERATOR(TcxFilterTodayOperator, Today, cxSFilterOperatorToday)
CX_DATE_OPERATOR(TcxFilterTomorrowOperator, Tomorrow, cxSFilterOperatorTomorrow)
CX_DATE_OPERATOR(TcxFilterLastWeekOperator, LastWeek, cxSFilterOperatorLastWeek)
CX_DATE_OPERATOR(TcxFilterLastMonthOperator, LastMonth, cxSFilterOperatorLastMonth)
CX_DATE_OPERATOR(TcxFilterLastYearOperator, LastYear, cxSFilterOperatorLastYear)
CX_DATE_OPERATOR(TcxFilterThisWeekOperator, ThisWeek, cxSFilterOperatorThisWeek)
CX_DATE_OPERATOR(TcxFilterThisMonthOperator, ThisMonth, cxSFilterOperatorThisMonth)
CX_DATE_OPERATOR(TcxFilterThisYearOperator, ThisYear, cxSFilterOperatorThisYear)
CX_DATE_OPERATOR(TcxFilterNextWeekOperator, NextWeek, cxSFilterOperatorNextWeek)
CX_DATE_OPERATOR(TcxFilterNextMonthOperator, NextMonth, cxSFilterOperatorNextMonth)
CX_DATE_OPERATOR(TcxFilterNextYearOperator, NextYear, cxSFilterOperatorNextYear)

}  // namespace

bool TcxFilterDateOperator::Matches(const Variant& v, const Variant&)
{
    if (CriteriaItem()->IsNullValue(v)) return false;
    try {
        TDateTime d = VarToDateTime(v);
        return RangeStart <= d && d < RangeEnd;
    } catch (const EVariantError&) {
        throw;
    }
}

void TcxFilterDateOperator::FormatExpressionValue(const Variant&, std::string& text)
{
    std::string s, e, f = FieldName();
    FormatValue(Variant::FromDate(RangeStart), s);
    FormatValue(Variant::FromDate(RangeEnd), e);
    text = "(" + s + " <= " + f + ") AND (" + f + " < " + e + ")";
}

namespace {
class TcxFilterSQLNullOperator : public TcxFilterNullOperator {
    QZ_CLASS(TcxFilterSQLNullOperator, TcxFilterNullOperator)
public:
    using TcxFilterNullOperator::TcxFilterNullOperator;
    void GetExpressionText(std::string& t) override { t = "IS"; }
};
QZ_CLASS_IMPL(TcxFilterSQLNullOperator, TcxFilterNullOperator)

class TcxFilterSQLNotNullOperator : public TcxFilterNotNullOperator {
    QZ_CLASS(TcxFilterSQLNotNullOperator, TcxFilterNotNullOperator)
public:
    using TcxFilterNotNullOperator::TcxFilterNotNullOperator;
    void GetExpressionText(std::string& t) override { t = "IS NOT"; }
};
QZ_CLASS_IMPL(TcxFilterSQLNotNullOperator, TcxFilterNotNullOperator)
}  // namespace

TcxFilterOperator* cxCreateSQLNullOperator(bool notNull, TcxFilterCriteriaItem* item)
{
    if (notNull) return new TcxFilterSQLNotNullOperator(item);
    return new TcxFilterSQLNullOperator(item);
}

bool cxIsNullOperator(TcxFilterOperator* op, bool& notNull)
{
    notNull = op && op->Is<TcxFilterNotNullOperator>();
    return op && op->Is<TcxFilterNullOperator>();
}

TcxFilterOperator* cxCreateFilterOperator(TcxFilterOperatorKind kind, TcxFilterCriteriaItem* item)
{
    switch (kind) {
    case foEqual: return new TcxFilterEqualOperator(item);
    case foNotEqual: return new TcxFilterNotEqualOperator(item);
    case foLess: return new TcxFilterLessOperator(item);
    case foLessEqual: return new TcxFilterLessEqualOperator(item);
    case foGreater: return new TcxFilterGreaterOperator(item);
    case foGreaterEqual: return new TcxFilterGreaterEqualOperator(item);
    case foLike: return new TcxFilterLikeOperator(item);
    case foNotLike: return new TcxFilterNotLikeOperator(item);
    case foBetween: return new TcxFilterBetweenOperator(item);
    case foNotBetween: return new TcxFilterNotBetweenOperator(item);
    case foInList: return new TcxFilterInListOperator(item);
    case foNotInList: return new TcxFilterNotInListOperator(item);
    case foYesterday: return new TcxFilterYesterdayOperator(item);
    case foToday: return new TcxFilterTodayOperator(item);
    case foTomorrow: return new TcxFilterTomorrowOperator(item);
    case foLastWeek: return new TcxFilterLastWeekOperator(item);
    case foLastMonth: return new TcxFilterLastMonthOperator(item);
    case foLastYear: return new TcxFilterLastYearOperator(item);
    case foThisWeek: return new TcxFilterThisWeekOperator(item);
    case foThisMonth: return new TcxFilterThisMonthOperator(item);
    case foThisYear: return new TcxFilterThisYearOperator(item);
    case foNextWeek: return new TcxFilterNextWeekOperator(item);
    case foNextMonth: return new TcxFilterNextMonthOperator(item);
    case foNextYear: return new TcxFilterNextYearOperator(item);
    case foNull: return new TcxFilterNullOperator(item);
    case foNotNull: return new TcxFilterNotNullOperator(item);
    }
    return new TcxFilterEqualOperator(item);
}

// ---- tree nodes ----------------------------------------------------------------------------

QZ_CLASS_IMPL(TcxCustomFilterCriteriaItem, TObject)
QZ_CLASS_IMPL(TcxFilterCriteriaItemList, TcxCustomFilterCriteriaItem)
QZ_CLASS_IMPL(TcxFilterCriteriaItem, TcxCustomFilterCriteriaItem)

TcxCustomFilterCriteriaItem::~TcxCustomFilterCriteriaItem()
{
    if (FParent) FParent->RemoveItem(this);
}

void TcxCustomFilterCriteriaItem::Changed()
{
    if (TcxFilterCriteria* c = GetCriteria()) c->Changed();
}

TcxFilterCriteria* TcxCustomFilterCriteriaItem::GetCriteria() const
{
    return FParent ? FParent->GetCriteria() : nullptr;
}

TcxFilterCriteriaItemList::TcxFilterCriteriaItemList(TcxFilterCriteriaItemList* parent,
                                                     TcxFilterBoolOperatorKind boolOperator)
    : TcxCustomFilterCriteriaItem(parent), FBoolOperatorKind(boolOperator)
{
}

TcxFilterCriteriaItemList::~TcxFilterCriteriaItemList()
{
    while (!FItems.empty()) delete FItems.back();
}

TcxFilterCriteria* TcxFilterCriteriaItemList::GetCriteria() const
{
    return FCriteria ? FCriteria : TcxCustomFilterCriteriaItem::GetCriteria();
}

void TcxFilterCriteriaItemList::Append(TcxCustomFilterCriteriaItem* item)
{
    item->FParent = this;
    FItems.push_back(item);
}

TcxFilterCriteriaItem* TcxFilterCriteriaItemList::AddItem(TObject* itemLink, TcxFilterOperatorKind kind,
                                                          const Variant& value, const std::string& displayValue)
{
    TcxFilterCriteria* c = GetCriteria();
    return c ? c->AddItem(this, itemLink, kind, value, displayValue) : nullptr;
}

TcxFilterCriteriaItemList* TcxFilterCriteriaItemList::AddItemList(TcxFilterBoolOperatorKind boolOperator)
{
    auto* list = new TcxFilterCriteriaItemList(this, boolOperator);
    FItems.push_back(list);
    Changed();
    return list;
}

void TcxFilterCriteriaItemList::RemoveItem(TcxCustomFilterCriteriaItem* item)
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i] == item) {
            FItems.erase(FItems.begin() + long(i));
            item->FParent = nullptr;
            Changed();
            return;
        }
}

void TcxFilterCriteriaItemList::Clear()
{
    TcxFilterCriteria* c = GetCriteria();
    if (c) c->BeginUpdate();
    try {
        while (!FItems.empty()) delete FItems.back();
    } catch (...) {
        if (c) c->EndUpdate();
        throw;
    }
    if (c) c->EndUpdate();
}

TcxCustomFilterCriteriaItem* TcxFilterCriteriaItemList::Items(int index) const
{
    return index >= 0 && index < int(FItems.size()) ? FItems[size_t(index)] : nullptr;
}

void TcxFilterCriteriaItemList::SetBoolOperatorKind(TcxFilterBoolOperatorKind value)
{
    if (FBoolOperatorKind == value) return;
    FBoolOperatorKind = value;
    Changed();
}

void TcxFilterCriteriaItemList::WriteData(TStream* stream)
{
    stream->WriteByte(FBoolOperatorKind);
    stream->WriteInt32(int32_t(FItems.size()));
    for (auto* item : FItems) {
        stream->WriteByte(item->IsItemList() ? 1 : 0);
        item->WriteData(stream);
    }
}

bool TcxFilterCriteriaItemList::Evaluate(int recordIndex)
{
    bool result = true;
    bool first = true;
    for (auto* item : FItems) {
        bool a = item->IsItemList() ? static_cast<TcxFilterCriteriaItemList*>(item)->Evaluate(recordIndex)
                                    : static_cast<TcxFilterCriteriaItem*>(item)->Evaluate(recordIndex);
        if (first) {
            result = (FBoolOperatorKind == fboNotAnd || FBoolOperatorKind == fboNotOr) ? !a : a;
            first = false;
            continue;
        }
        switch (FBoolOperatorKind) {
        case fboAnd: result = result && a; break;
        case fboOr: result = result || a; break;
        case fboNotAnd: result = result || !a; break;
        case fboNotOr: result = result && !a; break;
        }
    }
    return result;
}

TcxFilterCriteriaItem::TcxFilterCriteriaItem(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                                             TcxFilterOperatorKind kind, const Variant& value,
                                             const std::string& displayValue)
    : TcxCustomFilterCriteriaItem(parent), FDisplayValue(displayValue), FItemLink(itemLink),
      FOperatorKind(kind), FValue(value)
{
}

TcxFilterCriteriaItem::~TcxFilterCriteriaItem() = default;

void TcxFilterCriteriaItem::AfterConstruction()
{
    RecreateOperator();
    if (FDisplayValue.empty() && (FOperator->Is<TcxFilterNullOperator>()))
        FDisplayValue = GetFilterString(&cxSFilterBlankCaption);
}

std::string TcxFilterCriteriaItem::GetDisplayValue()
{
    std::string s = FDisplayValue;
    if (FOperator) FOperator->PrepareDisplayValue(s);
    return s;
}

std::string TcxFilterCriteriaItem::GetValueText(bool caption)
{
    if (caption) return GetDisplayValue();
    std::string s;
    if (FOperator) FOperator->FormatValue(FValue, s);
    return s;
}

TcxFilterOperatorKind TcxFilterCriteriaItem::GetOperatorClassKind()
{
    if (IsNullValue(FValue)) {
        if (FOperatorKind == foEqual || FOperatorKind == foLike) return foNull;
        if (FOperatorKind == foNotEqual || FOperatorKind == foNotLike) return foNotNull;
    }
    return FOperatorKind;
}

void TcxFilterCriteriaItem::RecreateOperator()
{
    FOperator.reset(cxCreateFilterOperator(GetOperatorClassKind(), this));
    Changed();
}

bool TcxFilterCriteriaItem::IsNullValue(const Variant& value)
{
    TcxFilterCriteria* c = GetCriteria();
    return c ? c->IsNullValue(value) : value.IsNull();
}

void TcxFilterCriteriaItem::SetDisplayValue(const std::string& v)
{
    if (FDisplayValue == v) return;
    FDisplayValue = v;
    Changed();
}

void TcxFilterCriteriaItem::SetItemLink(TObject* v)
{
    if (FItemLink == v) return;
    FItemLink = v;
    Changed();
}

void TcxFilterCriteriaItem::SetOperatorKind(TcxFilterOperatorKind v)
{
    if (FOperatorKind == v) return;
    FOperatorKind = v;
    RecreateOperator();
}

void TcxFilterCriteriaItem::SetValue(const Variant& v)
{
    FValue = v;
    RecreateOperator();
}

void TcxFilterCriteriaItem::WriteData(TStream* stream)
{
    TcxFilterCriteria* c = GetCriteria();
    stream->WriteByte(FOperatorKind);
    cxVariants::WriteCountedString(stream, FDisplayValue);
    stream->WriteInt32(c ? c->GetIDByItemLink(GetItemLink()) : -1);
    cxVariants::WriteStreamVariant(stream, FValue);
}

bool TcxFilterCriteriaItem::Evaluate(int recordIndex)
{
    TcxFilterCriteria* c = GetCriteria();
    try {
        Variant v, pv, pc;
        GetDataValue(recordIndex, v);
        if (c) {
            c->PrepareCompareValue(v, pv);
            c->PrepareCompareValue(FValue, pc);
        } else {
            pv = v;
            pc = FValue;
        }
        return FOperator->Matches(pv, pc);
    } catch (const EVariantError&) {
        if (c && c->Options().Contains(fcoSoftCompare)) return false;
        throw;
    } catch (const EConvertError&) {
        if (c && c->Options().Contains(fcoSoftCompare)) return false;
        throw;
    }
}

// ---- the criteria ------------------------------------------------------------------------------

namespace {

void DefineCriteriaProps(std::vector<TPropInfo>& p)
{
    using C = TcxFilterCriteria;
    p.push_back(PublishInt<C>("MaxValueListCount", &C::MaxValueListCount, &C::SetMaxValueListCount, 0));
    p.push_back(PublishSet<C>("Options", &C::Options, &C::SetOptions, TcxFilterCriteriaOptions(),
                              "TcxFilterCriteriaOptions"));
    p.push_back(PublishChar<C>("PercentWildcard", &C::PercentWildcard, &C::SetPercentWildcard, '%'));
    p.push_back(PublishChar<C>("UnderscoreWildcard", &C::UnderscoreWildcard, &C::SetUnderscoreWildcard, '_'));
    p.push_back(PublishEvent<C>("OnChanged", &C::OnChanged));
}

void DefineWrapperProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishObject<TFilterWrapper>("Filter", [](TFilterWrapper* w) { return w->Filter; }));
}

}   // namespace

QZ_CLASS_IMPL_PROPS(TcxFilterCriteria, TPersistent, DefineCriteriaProps)
QZ_CLASS_IMPL(TcxFilterValueList, TObject)
QZ_CLASS_IMPL_PROPS(TFilterWrapper, TComponent, DefineWrapperProps)

TcxFilterCriteria::TcxFilterCriteria()
{
    FRoot = new TcxFilterCriteriaItemList(nullptr, fboAnd);
    FRoot->FCriteria = this;
}

TcxFilterCriteria::~TcxFilterCriteria()
{
    // No change announcements while the tree goes.
    ++FLockCount;
    OnChanged = nullptr;
    delete FRoot;
}

void TcxFilterCriteria::Changed()
{
    FChanged = true;
    CheckChanges();
}

void TcxFilterCriteria::CheckChanges()
{
    if (!FChanged || FLockCount > 0) return;
    FChanged = false;
    DoChanged();
}

void TcxFilterCriteria::EndUpdate()
{
    --FLockCount;
    CheckChanges();
}

void TcxFilterCriteria::DoChanged()
{
    NotifyOperators();
    if (OnChanged) OnChanged(this);
}

void TcxFilterCriteria::NotifyOperators()
{
    std::function<void(TcxFilterCriteriaItemList*)> walk = [&](TcxFilterCriteriaItemList* list) {
        for (int i = 0; i < list->Count(); ++i) {
            auto* it = list->Items(i);
            if (it->IsItemList()) walk(static_cast<TcxFilterCriteriaItemList*>(it));
            else if (auto* op = static_cast<TcxFilterCriteriaItem*>(it)->Operator()) op->ItemChanged();
        }
    };
    walk(FRoot);
}

std::string TcxFilterCriteria::FormatBoolean(bool value) { return value ? "True" : "False"; }

std::string TcxFilterCriteria::FormatDate(TDateTime value)
{
    return FDateTimeFormat.empty() ? DateTimeToStr(value) : FormatDateTime(FDateTimeFormat, value);
}

std::string TcxFilterCriteria::GetFilterCaption()
{
    std::string s;
    BuildFilterText(true, s);
    return s;
}

std::string TcxFilterCriteria::GetFilterText()
{
    std::string s;
    BuildFilterText(false, s);
    return s;
}

void TcxFilterCriteria::BuildGroupText(TcxFilterCriteriaItemList* list, bool caption, std::string& text)
{
    text.clear();
    bool isOr = list->BoolOperatorKind() == fboOr || list->BoolOperatorKind() == fboNotOr;
    std::string word = caption ? GetFilterString(isOr ? &cxSFilterOrCaption : &cxSFilterAndCaption)
                               : (isOr ? "OR" : "AND");
    for (int i = 0; i < list->Count(); ++i) {
        if (i) text += " " + word + " ";
        std::string part;
        auto* it = list->Items(i);
        if (it->IsItemList()) BuildGroupText(static_cast<TcxFilterCriteriaItemList*>(it), caption, part);
        else GetItemText(static_cast<TcxFilterCriteriaItem*>(it), caption, part);
        text += "(" + part + ")";
    }
    if (list->BoolOperatorKind() == fboNotAnd || list->BoolOperatorKind() == fboNotOr)
        text = (caption ? GetFilterString(&cxSFilterNotCaption) : std::string("NOT")) + " (" + text + ")";
}

void TcxFilterCriteria::BuildFilterText(bool caption, std::string& text) { BuildGroupText(FRoot, caption, text); }

void TcxFilterCriteria::GetItemText(TcxFilterCriteriaItem* item, bool caption, std::string& text)
{
    TcxFilterOperator* op = item->Operator();
    if (!caption && op->IsExpression()) {
        op->FormatExpressionValue(item->Value(), text);
        return;
    }
    text = GetItemLinkText(item, caption) + " " + GetOperatorText(item, caption);
    std::string value = GetValuePartText(item, caption);
    if (!value.empty()) text += " " + value;
}

std::string TcxFilterCriteria::GetItemLinkText(TcxFilterCriteriaItem* item, bool caption)
{
    return caption ? item->GetFieldCaption() : item->GetFieldName();
}

std::string TcxFilterCriteria::GetOperatorText(TcxFilterCriteriaItem* item, bool caption)
{
    TcxFilterOperator* op = item->Operator();
    if (caption && (op->IsDescription() || FOptions.Contains(fcoShowOperatorDescription))) return op->DisplayText();
    return op->ExpressionText();
}

std::string TcxFilterCriteria::GetValuePartText(TcxFilterCriteriaItem* item, bool caption)
{
    return item->GetValueText(caption);
}

TcxFilterCriteriaItem* TcxFilterCriteria::CreateItem(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                                                     TcxFilterOperatorKind kind, const Variant& value,
                                                     const std::string& displayValue)
{
    return new TcxFilterCriteriaItem(parent, itemLink, kind, value, displayValue);
}

TcxFilterCriteriaItem* TcxFilterCriteria::AddItem(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                                                  TcxFilterOperatorKind kind, const Variant& value,
                                                  const std::string& displayValue)
{
    if (!parent) parent = FRoot;
    BeginUpdate();
    TcxFilterCriteriaItem* item = nullptr;
    try {
        item = CreateItem(parent, itemLink, kind, value, displayValue);
        parent->Append(item);
        item->AfterConstruction();
        Changed();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return item;
}

TcxFilterCriteriaItem* TcxFilterCriteria::FindItemByItemLink(TObject* itemLink)
{
    std::function<TcxFilterCriteriaItem*(TcxFilterCriteriaItemList*)> walk =
        [&](TcxFilterCriteriaItemList* list) -> TcxFilterCriteriaItem* {
        for (int i = 0; i < list->Count(); ++i) {
            auto* it = list->Items(i);
            if (it->IsItemList()) {
                if (auto* r = walk(static_cast<TcxFilterCriteriaItemList*>(it))) return r;
            } else if (static_cast<TcxFilterCriteriaItem*>(it)->ItemLink() == itemLink) {
                return static_cast<TcxFilterCriteriaItem*>(it);
            }
        }
        return nullptr;
    };
    return walk(FRoot);
}

void TcxFilterCriteria::RemoveItemByItemLink(TObject* itemLink)
{
    BeginUpdate();
    bool removed = false;
    try {
        while (TcxFilterCriteriaItem* item = FindItemByItemLink(itemLink)) {
            TcxFilterCriteriaItemList* group = item->Parent();
            delete item;
            removed = true;
            // Tidy the group: an empty group goes; a group with one child hands
            // it to its own parent and goes. The root always stays.
            while (group && group != FRoot) {
                TcxFilterCriteriaItemList* parent = group->Parent();
                if (group->Count() == 0) {
                    delete group;
                } else if (group->Count() == 1) {
                    TcxCustomFilterCriteriaItem* child = group->Items(0);
                    group->FItems.clear();
                    parent->Append(child);
                    delete group;
                } else {
                    break;
                }
                group = nullptr;
            }
        }
    } catch (...) {
        CancelUpdate();
        throw;
    }
    if (!removed) FChanged = false;
    EndUpdate();
}

void TcxFilterCriteria::Clear()
{
    BeginUpdate();
    try {
        FRoot->Clear();
        FRoot->FBoolOperatorKind = fboAnd;
        Changed();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

bool TcxFilterCriteria::IsEmpty() const { return FRoot->Count() == 0; }

bool TcxFilterCriteria::HasCriteriaData() const { return FRoot->BoolOperatorKind() != fboAnd || FRoot->Count() > 0; }

void TcxFilterCriteria::PrepareCompareValue(const Variant& value, Variant& out)
{
    TVarType t = value.VType() & varTypeMask;
    if (!value.IsArray() && t == varCurrency) {
        out = Variant(double(value.RawInt()) / 10000.0);
    } else if (!value.IsArray() && (t == varString || t == varOleStr) && FOptions.Contains(fcoCaseInsensitive)) {
        out = Variant(AnsiUpperCase(value.RawString()));
    } else {
        out = value;
    }
}

bool TcxFilterCriteria::IsNullValue(const Variant& value)
{
    if (value.IsNull()) return true;
    return FOptions.Contains(fcoSoftNull) && cxVariants::IsEmptyTextVariant(value);
}

bool TcxFilterCriteria::RecordPasses(int recordIndex) { return FRoot->Evaluate(recordIndex); }

void TcxFilterCriteria::WriteData(TStream* stream)
{
    stream->WriteInt32(-1);
    FRoot->WriteData(stream);
}

namespace {

// A node read from the stream, kept apart until the whole stream is read.
struct TParsedNode {
    bool Group = false;
    uint8_t Operator = 0;
    std::vector<TParsedNode> Children;
    uint8_t Kind = 0;
    std::string DisplayValue;
    int32_t ID = -1;
    Variant Value;
};

[[noreturn]] void StreamReadError() { throw EReadError(cxClasses::GetResourceString(&cxSDataReadError)); }

// Nesting deeper than this is no filter anybody built: refuse it rather than
// exhaust the stack.
constexpr int MaxCriteriaDepth = 256;

// A range takes two plain bounds and a list plain values. Equal and not
// equal take an array of plain values too: a lookup on several key fields has
// one as its value, compared and written key by key. No other operator can
// compare or show an array.
bool ValueFitsOperator(TcxFilterOperatorKind kind, const Variant& value)
{
    if (!value.IsArray()) return true;
    bool range = kind == foBetween || kind == foNotBetween;
    if (!range && kind != foInList && kind != foNotInList && kind != foEqual && kind != foNotEqual) return false;
    std::vector<Variant> els;
    if (!ArrayElements(value, els) || (range && els.size() != 2)) return false;
    for (const Variant& e : els)
        if (e.IsArray()) return false;
    return true;
}

void ReadChildren(TStream* s, int32_t count, std::vector<TParsedNode>& out, int depth)
{
    if (count < 0 || count > s->Size() - s->Position()) StreamReadError();
    if (depth > MaxCriteriaDepth) StreamReadError();
    out.reserve(size_t(count));
    for (int32_t i = 0; i < count; ++i) {
        TParsedNode n;
        n.Group = s->ReadByte() != 0;
        if (n.Group) {
            n.Operator = s->ReadByte();
            if (n.Operator > fboNotOr) StreamReadError();
            ReadChildren(s, s->ReadInt32(), n.Children, depth + 1);
        } else {
            n.Kind = s->ReadByte();
            if (n.Kind >= cxFilterOperatorKindCount) StreamReadError();
            n.DisplayValue = cxVariants::ReadCountedString(s);
            n.ID = s->ReadInt32();
            n.Value = cxVariants::ReadStreamVariant(s);
            if (!ValueFitsOperator(TcxFilterOperatorKind(n.Kind), n.Value)) StreamReadError();
        }
        out.push_back(std::move(n));
    }
}

}  // namespace

void TcxFilterCriteria::ReadData(TStream* stream)
{
    TParsedNode root;
    root.Group = true;
    root.Operator = fboAnd;
    int32_t n = stream->ReadInt32();
    if (n == -1) {
        root.Operator = stream->ReadByte();
        if (root.Operator > fboNotOr) StreamReadError();
        n = stream->ReadInt32();
    }
    ReadChildren(stream, n, root.Children, 0);

    BeginUpdate();
    try {
        FRoot->Clear();
        FRoot->FBoolOperatorKind = TcxFilterBoolOperatorKind(root.Operator);
        std::function<void(TcxFilterCriteriaItemList*, const TParsedNode&)> build =
            [&](TcxFilterCriteriaItemList* list, const TParsedNode& node) {
                for (const TParsedNode& c : node.Children) {
                    if (c.Group) {
                        TcxFilterCriteriaItemList* g = list->AddItemList(TcxFilterBoolOperatorKind(c.Operator));
                        build(g, c);
                        g->ReadData(stream);
                    } else {
                        TcxFilterCriteriaItem* item =
                            list->AddItem(GetItemLinkByID(c.ID), TcxFilterOperatorKind(c.Kind), c.Value, c.DisplayValue);
                        if (item) item->ReadData(stream);
                    }
                }
            };
        build(FRoot, root);
        Changed();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxFilterCriteria::DefineProperties(TFiler* filer)
{
    TPersistent::DefineProperties(filer);
    filer->DefineBinaryProperty(
        "Criteria", [this](TStream* s) { ReadData(s); }, [this](TStream* s) { WriteData(s); },
        HasCriteriaData());
}

void TcxFilterCriteria::SaveToStream(TStream* stream)
{
    TFilterWrapper wrapper;
    wrapper.Filter = this;
    stream->WriteComponent(&wrapper);
}

namespace {

// The published settings of an object (ordinal, float, text and Variant
// properties it can write back), kept so a failed load can put them back.
class TPublishedSettings {
public:
    explicit TPublishedSettings(TObject* obj) : FObject(obj)
    {
        for (PPropInfo info : GetPropList(obj)) {
            TValue v{info};
            if (IsOrdinal(info) && info->GetOrd && info->SetOrd)
                v.Ord = info->GetOrd(obj);
            else if (info->Kind == tkFloat && info->GetFloat && info->SetFloat)
                v.Float = info->GetFloat(obj);
            else if (IsText(info) && info->GetStr && info->SetStr)
                v.Str = info->GetStr(obj);
            else if (info->Kind == tkVariant && info->GetVar && info->SetVar)
                v.Var = info->GetVar(obj);
            else
                continue;
            FValues.push_back(std::move(v));
        }
    }

    // A stream leaves out what is at its default: start from the defaults.
    void SetDefaults() const
    {
        for (const TValue& v : FValues) {
            PPropInfo info = v.Info;
            if (IsOrdinal(info)) {
                if (info->HasDefault) info->SetOrd(FObject, info->Default);
            } else if (info->Kind == tkFloat) {
                info->SetFloat(FObject, 0.0);
            } else if (IsText(info)) {
                info->SetStr(FObject, std::string());
            } else {
                info->SetVar(FObject, Unassigned());
            }
        }
    }

    void Restore() const
    {
        for (const TValue& v : FValues) {
            PPropInfo info = v.Info;
            if (IsOrdinal(info))
                info->SetOrd(FObject, v.Ord);
            else if (info->Kind == tkFloat)
                info->SetFloat(FObject, v.Float);
            else if (IsText(info))
                info->SetStr(FObject, v.Str);
            else
                info->SetVar(FObject, v.Var);
        }
    }

private:
    struct TValue {
        PPropInfo Info;
        int64_t Ord = 0;
        double Float = 0;
        std::string Str;
        Variant Var;
    };
    static bool IsOrdinal(PPropInfo i)
    {
        return i->Kind == tkInteger || i->Kind == tkInt64 || i->Kind == tkChar || i->Kind == tkWChar ||
               i->Kind == tkEnumeration || i->Kind == tkSet;
    }
    static bool IsText(PPropInfo i) { return i->Kind == tkString || i->Kind == tkLString || i->Kind == tkWString; }

    TObject* FObject;
    std::vector<TValue> FValues;
};

}   // namespace

void TcxFilterCriteria::LoadFromStream(TStream* stream)
{
    // The stream is read into this criteria with its tree and settings put
    // aside; a damaged stream puts them back, unannounced.
    TPublishedSettings settings(this);
    bool wasChanged = FChanged;
    TcxFilterCriteriaItemList* kept = FRoot;
    FRoot = new TcxFilterCriteriaItemList(nullptr, fboAnd);
    FRoot->FCriteria = this;
    BeginUpdate();
    try {
        settings.SetDefaults();
        TFilterWrapper wrapper;
        wrapper.Filter = this;
        stream->ReadComponent(&wrapper);
    } catch (...) {
        delete FRoot;
        FRoot = kept;
        try {
            settings.Restore();
        } catch (...) {
            // The values were this criteria's own a moment ago.
        }
        FChanged = wasChanged;
        --FLockCount;
        throw;
    }
    delete kept;
    Changed();
    EndUpdate();
}

void TcxFilterCriteria::LoadFromFile(const std::string& fileName)
{
    TMemoryStream ms;
    ms.LoadFromFile(fileName);
    ms.SetPosition(0);
    ReadData(&ms);
}

void TcxFilterCriteria::SaveToFile(const std::string& fileName)
{
    SaveFileWhole(fileName, [&](TStream* s) { WriteData(s); });
}

void TcxFilterCriteria::AssignEvents(TcxFilterCriteria* source) { OnChanged = source->OnChanged; }

void TcxFilterCriteria::AssignItems(TcxFilterCriteria* source)
{
    BeginUpdate();
    try {
        TMemoryStream ms;
        source->WriteData(&ms);
        ms.SetPosition(0);
        // ReadData replaces the items only once the whole stream is read, so
        // items the stream cannot hold leave these as they were.
        ReadData(&ms);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxFilterCriteria::Assign(TPersistent* source)
{
    auto* src = DynamicCast<TcxFilterCriteria>(source);
    if (!src) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    try {
        SetDateTimeFormat(src->FDateTimeFormat);
        FMaxValueListCount = src->FMaxValueListCount;
        SetOptions(src->FOptions);
        SetPercentWildcard(src->FPercentWildcard);
        FTranslateBetween = src->FTranslateBetween;
        FTranslateIn = src->FTranslateIn;
        FSupportedLike = src->FSupportedLike;
        SetUnderscoreWildcard(src->FUnderscoreWildcard);
        AssignItems(src);
        AssignEvents(src);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxFilterCriteria::RestoreDefaults()
{
    BeginUpdate();
    SetOptions(TcxFilterCriteriaOptions());
    SetPercentWildcard('%');
    FSupportedLike = true;
    FTranslateBetween = false;
    FTranslateIn = false;
    SetUnderscoreWildcard('_');
    EndUpdate();
}

void TcxFilterCriteria::SetDateTimeFormat(const std::string& v)
{
    if (FDateTimeFormat == v) return;
    FDateTimeFormat = v;
    Changed();
}

void TcxFilterCriteria::SetOptions(TcxFilterCriteriaOptions v)
{
    if (FOptions == v) return;
    FOptions = v;
    Changed();
}

void TcxFilterCriteria::SetPercentWildcard(char v)
{
    if (FPercentWildcard == v) return;
    FPercentWildcard = v;
    Changed();
}

void TcxFilterCriteria::SetUnderscoreWildcard(char v)
{
    if (FUnderscoreWildcard == v) return;
    FUnderscoreWildcard = v;
    Changed();
}

TcxFilterValueList* TcxFilterCriteria::CreateValueList() { return new TcxFilterValueList(this); }

// ---- the value list --------------------------------------------------------------------------------

int TcxFilterValueList::CompareItem(int index, const Variant& value, const std::string& displayText)
{
    TcxFilterValueItem* item = Items(index);
    if (FSortByDisplayText) {
        bool ci = FCriteria && FCriteria->Options().Contains(fcoCaseInsensitive);
        std::string a = ci ? AnsiUpperCase(item->DisplayText) : item->DisplayText;
        std::string b = ci ? AnsiUpperCase(displayText) : displayText;
        return AnsiCompareStr(a, b);
    }
    Variant a, b;
    if (FCriteria) {
        FCriteria->PrepareCompareValue(item->Value, a);
        FCriteria->PrepareCompareValue(value, b);
    } else {
        a = item->Value;
        b = value;
    }
    return cxVariants::VarCompare(a, b);
}

int TcxFilterValueList::IndexOfKind(TcxFilterValueItemKind kind) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i]->Kind == kind) return int(i);
    return -1;
}

int TcxFilterValueList::SeparatorIndex() const
{
    size_t i = 0;
    while (i < FItems.size() && FItems[i]->Kind == fviMRU) ++i;
    return i < FItems.size() && FItems[i]->Kind == fviMRUSeparator ? int(i) : -1;
}

int TcxFilterValueList::FirstValueIndex() const
{
    int i = IndexOfKind(fviValue);
    return i < 0 ? Count() : i;
}

bool TcxFilterValueList::Find(const Variant& value, const std::string& displayText, int& index)
{
    int sep = SeparatorIndex();
    for (int i = 0; i < sep; ++i)
        if (CompareItem(i, value, displayText) == 0) {
            index = i;
            return true;
        }
    // Values that cannot be ordered answer -1 both ways; the search still
    // ends inside the list.
    return cxDataUtils::SortedFind(
        FirstValueIndex(), Count() - 1, [&](int i) { return CompareItem(i, value, displayText); }, index);
}

void TcxFilterValueList::Add(TcxFilterValueItemKind kind, const Variant& value, const std::string& displayText,
                             bool append)
{
    int index;
    if (kind == fviMRU) {
        index = SeparatorIndex();
        if (index < 0) {
            FItems.insert(FItems.begin(),
                          std::make_unique<TcxFilterValueItem>(TcxFilterValueItem{fviMRUSeparator, Null(), ""}));
            index = 0;
        }
    } else if (kind != fviValue) {
        index = FirstValueIndex();
    } else if (append) {
        index = Count();
    } else {
        if (MaxCount() != 0 && Count() >= MaxCount()) return;
        if (Find(value, displayText, index)) return;
    }
    if (index < 0) index = 0;
    if (index > Count()) index = Count();
    FItems.insert(FItems.begin() + index, std::make_unique<TcxFilterValueItem>(TcxFilterValueItem{kind, value, displayText}));
}

void TcxFilterValueList::Clear() { FItems.clear(); }

int TcxFilterValueList::GetItemIndexByCriteriaItem(TcxFilterCriteriaItem* item)
{
    if (!item) return -1;
    if (item->IsNullValue(item->Value()) && (item->OperatorKind() == foEqual || item->OperatorKind() == foNotEqual))
        return IndexOfKind(item->OperatorKind() == foEqual ? fviBlanks : fviNonBlanks);
    if (!FCriteria || item->Parent() != FCriteria->Root() || item->OperatorKind() != foEqual)
        return IndexOfKind(fviCustom);
    int index;
    if (Find(item->Value(), item->DisplayValue(), index)) return index;
    return IndexOfKind(fviAll);
}
