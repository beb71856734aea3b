#include "frxAggregate.h"

#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "frxClass.h"
#include "frxUtils.h"
#include "frxVariables.h"

namespace {

constexpr int kMaxScanDepth = 32;

bool InSkipSet(unsigned char c)
{
    if (c >= 1 && c <= 32) return true;
    switch (c) {
    case '!': case '#': case '$': case '%': case '&': case '*': case '+': case ',': case '-': case '.':
    case '/': case '=': case '[': case ']': case '^': case '|':
        return true;
    default: return c >= '0' && c <= '9';
    }
}

bool InStopSet(unsigned char c)
{
    if (c >= 1 && c <= 32) return true;
    switch (c) {
    case '!': case '#': case '$': case '%': case '&': case '(': case '*': case '+': case ',': case '-':
    case '.': case '/': case '=': case '[': case ']': case '^': case '|':
        return true;
    default: return false;
    }
}

// Index of the bracket closing the one at open (nesting counted, quoted
// text skipped); npos when there is none.
size_t MatchClose(const std::string& s, size_t open, char o, char c)
{
    int depth = 0;
    char quote = 0;
    for (size_t i = open; i < s.size(); ++i) {
        char ch = s[i];
        if (quote) {
            if (ch == quote) quote = 0;
            continue;
        }
        if (ch == '\'' || ch == '"') quote = ch;
        else if (ch == o) ++depth;
        else if (ch == c && --depth == 0) return i;
    }
    return std::string::npos;
}

int FuncOf(const std::string& upperName)
{
    if (upperName == "SUM") return 0;
    if (upperName == "AVG") return 1;
    if (upperName == "MIN") return 2;
    if (upperName == "MAX") return 3;
    return 4;
}

bool IsFunctionWord(const std::string& upper)
{
    return upper == "SUM" || upper == "MIN" || upper == "MAX" || upper == "AVG" || upper == "COUNT";
}

}  // namespace

// ---- item ---------------------------------------------------------------------------------------

void TfrxAggregateItem::Reset(bool ignoreRunningTotal)
{
    if (!ignoreRunningTotal && RunningTotal && FCount != 0) return;
    FCount = 0;
    FValue = Null();
    FColumnValues.clear();
    FColumnCounts.clear();
}

void TfrxAggregateItem::Combine(Variant& s, const Variant& v) const
{
    if (VarIsNull(s) || VarIsEmpty(s)) {
        s = v;
        return;
    }
    if (VarIsNull(v) || VarIsEmpty(v)) return;
    switch (Func) {
    case 0: case 1: s = s + v; break;
    case 2: if (VarCmpOp(v, s, opCmpLT)) s = v; break;
    case 3: if (VarCmpOp(v, s, opCmpGT)) s = v; break;
    default: break;
    }
}

void TfrxAggregateItem::AddValue(int column)
{
    Variant v = Null();
    if (Func != 4) {
        Report->CurObject = MemoName;
        v = Report->Calc(Expression);
        if (VarIsType(v, varBoolean) && v.AsBoolean()) v = Variant(1);
    }
    if (column < 1) {
        if (FKeeping) {
            ++FKeepCount;
            Combine(FKeepValue, v);
        } else {
            ++FCount;
            Combine(FValue, v);
        }
        return;
    }
    if (column > TfrxAggregateList::MaxColumn)
        throw ERangeError(Format("Vertical column %d is beyond the last one an aggregate holds (%d)",
                                 {column, TfrxAggregateList::MaxColumn}));
    if (FColumnValues.empty()) {
        FColumnValues.assign(size_t(TfrxAggregateList::MaxColumn) + 1, Null());
        FColumnCounts.assign(size_t(TfrxAggregateList::MaxColumn) + 1, 0);
    }
    ++FColumnCounts[size_t(column)];
    Combine(FColumnValues[size_t(column)], v);
}

Variant TfrxAggregateItem::Value(int column) const
{
    Variant value = FValue;
    int count = FCount;
    if (!FColumnValues.empty()) {
        if (column < 0 || column > TfrxAggregateList::MaxColumn) return Null();
        value = FColumnValues[size_t(column)];
        count = FColumnCounts[size_t(column)];
    }
    switch (Func) {
    case 1:
        if (VarIsNull(value) || count == 0) return Null();
        return value / Variant(count);
    case 4: return Variant(count);
    default: return value;
    }
}

void TfrxAggregateItem::StartKeep()
{
    if (!IsPageFooter || FKeeping) return;
    FKeeping = true;
    FKeepCount = 0;
    FKeepValue = Null();
}

void TfrxAggregateItem::EndKeep()
{
    if (!IsPageFooter || !FKeeping) return;
    FKeeping = false;
    FCount += FKeepCount;
    if (VarIsNull(FValue)) {
        FValue = FKeepValue;
    } else if (!VarIsNull(FKeepValue)) {
        switch (Func) {
        case 0: case 1: case 4: FValue = FValue + FKeepValue; break;
        case 2: if (VarCmpOp(FKeepValue, FValue, opCmpLT)) FValue = FKeepValue; break;
        case 3: if (VarCmpOp(FKeepValue, FValue, opCmpGT)) FValue = FKeepValue; break;
        default: break;
        }
    }
}

// ---- list ------------------------------------------------------------------------------------------

TfrxAggregateList::TfrxAggregateList(TfrxReport* report) : FReport(report) {}
TfrxAggregateList::~TfrxAggregateList() = default;

void TfrxAggregateList::Clear() { FItems.clear(); }

void TfrxAggregateList::AddItems(TfrxReportPage* page, const std::vector<TfrxBand*>& horizontal,
                                 const std::vector<TfrxBand*>& vertical, const TBandTree& tree)
{
    std::function<void(TfrxBand*)> walk = [&](TfrxBand* d) {
        if (TfrxBand* f = tree.Footer(d)) ScanBand(f, d, tree);
        for (TfrxBand* gh : tree.GroupChain(d))
            if (TfrxBand* gf = tree.GroupFooter(gh)) ScanBand(gf, d, tree);
        if (d->Vertical) ScanBand(d, d, tree);
        for (TfrxBand* sub : tree.Details(d)) walk(sub);
    };
    for (TfrxBand* b : horizontal) walk(b);
    for (TfrxBand* b : vertical) walk(b);
    if (!horizontal.empty()) {
        TfrxBand* first = horizontal.front();
        for (TfrxComponent* c : page->Objects())
            if (c->Is<TfrxPageFooter>() || c->Is<TfrxColumnFooter>() || c->Is<TfrxReportSummary>())
                ScanBand(static_cast<TfrxBand*>(c), first, tree);
    }
}

void TfrxAggregateList::ScanBand(TfrxBand* band, TfrxBand* dataBand, const TBandTree& tree)
{
    for (TfrxComponent* c : band->Objects())
        if (auto* m = DynamicCast<TfrxCustomMemoView>(c))
            if (m->AllowExpressions) ScanMemo(m, dataBand, tree);
}

void TfrxAggregateList::ScanMemo(TfrxCustomMemoView* memo, TfrxBand* dataBand, const TBandTree& tree)
{
    std::string delims = memo->ExpressionDelimiters;
    size_t comma = delims.find(',');
    std::string open = delims.substr(0, comma);
    std::string close = comma == std::string::npos ? std::string() : delims.substr(comma + 1);
    if (open.empty() || close.empty()) return;
    const std::string text = memo->Text();
    size_t i = 0;
    while (i < text.size()) {
        if (static_cast<unsigned char>(text[i]) >= 0x80 || text.compare(i, open.size(), open) != 0) {
            ++i;
            continue;
        }
        int start = int(i) + 1, end = start;
        std::string expr = frxUtils::ExtractBracketedExpression(text + '\x01', open, close, start, end);
        if (end > int(text.size()) || end < start) break;
        if (!ScanReference(Trim(expr), memo, dataBand, tree, 0)) ScanText(expr, memo, dataBand, tree, 0);
        i = size_t(end);
    }
}

bool TfrxAggregateList::ScanReference(const std::string& word, TfrxCustomMemoView* memo, TfrxBand* dataBand,
                                      const TBandTree& tree, int depth)
{
    if (word.empty()) return false;
    int vi = FReport->Variables()->IndexOf(word);
    if (vi >= 0) {
        Variant v = FReport->Variables()->Items(vi)->Value;
        if (depth < kMaxScanDepth) ScanText(VarIsNull(v) ? std::string() : VarToStr(v), memo, dataBand, tree, depth + 1);
        return true;
    }
    TfrxDataSet* ds = nullptr;
    std::string field;
    FReport->SplitFieldReference(word, ds, field);
    return ds && !field.empty();
}

void TfrxAggregateList::ScanText(const std::string& s, TfrxCustomMemoView* memo, TfrxBand* dataBand,
                                 const TBandTree& tree, int depth)
{
    if (depth > kMaxScanDepth) return;
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80 && InSkipSet(c)) {
            ++i;
            continue;
        }
        if (c == '\'' || c == '"') {
            size_t q = s.find(char(c), i + 1);
            i = q == std::string::npos ? s.size() : q + 1;
            continue;
        }
        if (c == '(' || c == '<') {
            size_t m = MatchClose(s, i, char(c), c == '(' ? ')' : '>');
            if (m == std::string::npos) {
                ScanText(s.substr(i + 1), memo, dataBand, tree, depth + 1);
                return;
            }
            ScanText(s.substr(i + 1, m - i - 1), memo, dataBand, tree, depth + 1);
            i = m + 1;
            continue;
        }
        size_t j = i;
        while (j < s.size()) {
            unsigned char d = static_cast<unsigned char>(s[j]);
            if (d < 0x80 && InStopSet(d)) break;
            ++j;
        }
        if (j == i) j = i + 1;
        std::string word = s.substr(i, j - i);
        std::string upper = UpperCase(word);
        if (IsFunctionWord(upper)) {
            if (j < s.size() && s[j] == '(') {
                size_t m = MatchClose(s, j, '(', ')');
                if (m == std::string::npos) return;
                AddItem(s.substr(i, m - i + 1), memo, dataBand, tree);
                i = m + 1;
                continue;
            }
        } else {
            ScanReference(word, memo, dataBand, tree, depth);
        }
        i = j;
    }
}

void TfrxAggregateList::AddItem(const std::string& callText, TfrxCustomMemoView* memo, TfrxBand* dataBand,
                                const TBandTree& tree)
{
    std::string text = Trim(callText);
    size_t p = text.find('(');
    std::string name = UpperCase(Trim(text.substr(0, p)));
    std::string args = p == std::string::npos ? std::string() : text.substr(p + 1);
    if (!args.empty() && args.back() == ')') args.pop_back();
    // Arguments split at commas outside quotes and nested brackets; at most three.
    std::vector<std::string> parts;
    std::string cur;
    int depth = 0;
    char quote = 0;
    for (char ch : args) {
        if (quote) {
            if (ch == quote) quote = 0;
            cur += ch;
            continue;
        }
        if (ch == '\'') quote = ch;
        if (ch == '(') ++depth;
        if (ch == ')') --depth;
        if (ch == ',' && depth == 0) {
            parts.push_back(Trim(cur));
            cur.clear();
            continue;
        }
        cur += ch;
    }
    parts.push_back(Trim(cur));
    if (parts.size() > 3) parts.resize(3);
    auto item = std::make_unique<TfrxAggregateItem>();
    item->Report = FReport;
    item->Func = FuncOf(name);
    std::string bandName, flags;
    if (item->Func == 4) {
        bandName = parts.size() > 0 ? parts[0] : std::string();
        flags = parts.size() > 1 ? parts[1] : std::string();
    } else {
        item->Expression = parts.size() > 0 ? parts[0] : std::string();
        bandName = parts.size() > 1 ? parts[1] : std::string();
        flags = parts.size() > 2 ? parts[2] : std::string();
    }
    item->DataBand = dataBand;
    if (!bandName.empty())
        if (auto* b = DynamicCast<TfrxBand>(FReport->FindObject(bandName))) item->DataBand = b;
    int f = flags.empty() ? 0 : StrToInt(flags);
    item->CountInvisibleRows = (f & 1) != 0;
    item->RunningTotal = (f & 2) != 0;
    item->MemoName = memo->Name();
    item->CallText = text;
    item->ParentBand = DynamicCast<TfrxBand>(memo->Parent());
    if (item->ParentBand && item->ParentBand->Vertical && tree.HomeBand) {
        if (TfrxBand* home = tree.HomeBand(memo)) {
            int k = home->BandClassIndex();
            if (k == 1 || k == 3 || k == 5 || k == 13) item->ParentBand = home;
        }
    }
    item->IsPageFooter = item->ParentBand && item->ParentBand->Is<TfrxPageFooter>();
    item->Reset();
    FItems.push_back(std::move(item));
}

void TfrxAggregateList::AddValue(TfrxBand* band, int column)
{
    for (auto& item : FItems)
        if (item->DataBand == band && (band->Visible() || item->CountInvisibleRows)) item->AddValue(column);
}

Variant TfrxAggregateList::GetValue(TfrxBand* parentBand, int column, const std::string& name,
                                    const std::string& expression, TfrxBand* band, int flags)
{
    const int func = FuncOf(UpperCase(Trim(name)));
    const std::string expr = Trim(expression);
    for (auto& item : FItems) {
        if (item->ParentBand != parentBand || item->Func != func) continue;
        if (!SameText(item->Expression, expr)) continue;
        if (band && item->DataBand != band) continue;
        if (item->CountInvisibleRows != ((flags & 1) != 0) || item->RunningTotal != ((flags & 2) != 0)) continue;
        return item->Value(column);
    }
    return Null();
}

void TfrxAggregateList::Reset(TfrxBand* parentBand)
{
    for (auto& item : FItems)
        if (item->ParentBand == parentBand) item->Reset();
}

void TfrxAggregateList::StartKeep()
{
    for (auto& item : FItems) item->StartKeep();
}

void TfrxAggregateList::EndKeep()
{
    for (auto& item : FItems) item->EndKeep();
}

void TfrxAggregateList::ClearValues()
{
    for (auto& item : FItems) item->Reset(true);
}
