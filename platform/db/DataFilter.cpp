// Filter expressions of data sets: comparisons, like with % and _, and/or/not,
// is [not] null, in (…), parentheses, arithmetic, quoted texts with doubled
// quotes and field names (bare, [bracketed] or "double-quoted").
#include "DBStoreImpl.h"
#include "SysUtils.h"

#include <algorithm>
#include <cmath>

struct TFilterExpr {
    enum Kind { Const, FieldRef, Not, Neg, And, Or, Cmp, Arith, Like, IsNull, In };
    Kind K = Const;
    std::string Op;            // "=", "<>", "<", ">", "<=", ">=", "+", "-", "*", "/"
    Variant Value;             // Const
    std::string Name;          // FieldRef
    TField* Field = nullptr;   // bound FieldRef
    bool Negated = false;      // not like, is not null, not in
    int Depth = 1;             // levels of the tree below and including this node
    std::vector<std::shared_ptr<TFilterExpr>> Args;
};

namespace {

using PExpr = std::shared_ptr<TFilterExpr>;

enum TokKind { tkEnd, tkName, tkString, tkNumber, tkSymbol };

struct Token {
    TokKind Kind = tkEnd;
    std::string Text;   // name, string contents, number text or symbol
    bool Quoted = false;
};

// Binding, evaluating and freeing a tree recurse once per level; deeper
// expressions are refused so that no text can exhaust the stack.
constexpr int MaxExprDepth = 256;

class Parser {
public:
    explicit Parser(const std::string& s) : S(s) { Advance(); }

    PExpr Parse()
    {
        PExpr e = ParseOr();
        if (T.Kind != tkEnd) DatabaseError(DBConsts::SExprTermination);
        return e;
    }

private:
    const std::string& S;
    size_t P = 0;
    Token T;
    int Nesting = 0;   // parser routines entered again for parentheses, not and signs

    // Counts one level of the parser's own recursion.
    struct TNest {
        int& N;
        explicit TNest(int& n) : N(n)
        {
            if (++N > MaxExprDepth) DatabaseError(DBConsts::SExprTooComplex);
        }
        ~TNest() { --N; }
    };

    static bool IsNameStart(unsigned char c) { return isalpha(c) || c == '_' || c >= 0x80; }
    static bool IsNameChar(unsigned char c) { return isalnum(c) || c == '_' || c >= 0x80 || c == '.' || c == '$'; }

    std::string Describe(const Token& t) const
    {
        switch (t.Kind) {
        case tkEnd: return "end of expression";
        case tkString: return "'" + t.Text + "'";
        default: return "'" + t.Text + "'";
        }
    }

    void Advance()
    {
        while (P < S.size() && (S[P] == ' ' || S[P] == '\t' || S[P] == '\r' || S[P] == '\n')) ++P;
        T = Token();
        if (P >= S.size()) return;
        unsigned char c = static_cast<unsigned char>(S[P]);
        if (c == '\'') {
            std::string out;
            ++P;
            for (;;) {
                if (P >= S.size()) DatabaseError(DBConsts::SExprStringError);
                if (S[P] == '\'') {
                    if (P + 1 < S.size() && S[P + 1] == '\'') {
                        out += '\'';
                        P += 2;
                        continue;
                    }
                    ++P;
                    break;
                }
                out += S[P++];
            }
            T.Kind = tkString;
            T.Text = out;
            return;
        }
        if (c == '[' || c == '"') {
            char close = c == '[' ? ']' : '"';
            size_t end = S.find(close, P + 1);
            if (end == std::string::npos) DatabaseError(DBConsts::SExprNameError);
            T.Kind = tkName;
            T.Text = S.substr(P + 1, end - P - 1);
            T.Quoted = true;
            P = end + 1;
            return;
        }
        if (isdigit(c) || (c == '.' && P + 1 < S.size() && isdigit(static_cast<unsigned char>(S[P + 1])))) {
            size_t start = P;
            while (P < S.size() && (isdigit(static_cast<unsigned char>(S[P])) || S[P] == '.')) ++P;
            if (P < S.size() && (S[P] == 'e' || S[P] == 'E')) {
                size_t q = P + 1;
                if (q < S.size() && (S[q] == '+' || S[q] == '-')) ++q;
                if (q < S.size() && isdigit(static_cast<unsigned char>(S[q]))) {
                    P = q;
                    while (P < S.size() && isdigit(static_cast<unsigned char>(S[P]))) ++P;
                }
            }
            T.Kind = tkNumber;
            T.Text = S.substr(start, P - start);
            return;
        }
        if (IsNameStart(c)) {
            size_t start = P;
            while (P < S.size() && IsNameChar(static_cast<unsigned char>(S[P]))) ++P;
            T.Kind = tkName;
            T.Text = S.substr(start, P - start);
            return;
        }
        static const char* const two[] = {"<>", "<=", ">=", "!="};
        for (const char* op : two)
            if (S.compare(P, 2, op) == 0) {
                T.Kind = tkSymbol;
                T.Text = op;
                P += 2;
                return;
            }
        if (std::string("=<>()+-*/,").find(char(c)) != std::string::npos) {
            T.Kind = tkSymbol;
            T.Text = std::string(1, char(c));
            ++P;
            return;
        }
        DatabaseErrorFmt(DBConsts::SExprInvalidChar, {std::string(1, char(c))});
    }

    bool IsKeyword(const char* kw) const { return T.Kind == tkName && !T.Quoted && SameText(T.Text, kw); }
    bool IsSymbol(const char* sym) const { return T.Kind == tkSymbol && T.Text == sym; }

    static PExpr Make(TFilterExpr::Kind k)
    {
        auto e = std::make_shared<TFilterExpr>();
        e->K = k;
        return e;
    }

    // A node over its arguments; chains of and, or, comparisons and arithmetic
    // grow the tree without recursing in the parser, so its depth is checked here.
    static PExpr Make(TFilterExpr::Kind k, std::vector<PExpr> args)
    {
        PExpr e = Make(k);
        for (const PExpr& a : args) e->Depth = std::max(e->Depth, a->Depth + 1);
        if (e->Depth > MaxExprDepth) DatabaseError(DBConsts::SExprTooComplex);
        e->Args = std::move(args);
        return e;
    }

    PExpr ParseOr()
    {
        PExpr left = ParseAnd();
        while (IsKeyword("or")) {
            Advance();
            PExpr right = ParseAnd();
            left = Make(TFilterExpr::Or, {left, right});
        }
        return left;
    }

    PExpr ParseAnd()
    {
        PExpr left = ParseNot();
        while (IsKeyword("and")) {
            Advance();
            PExpr right = ParseNot();
            left = Make(TFilterExpr::And, {left, right});
        }
        return left;
    }

    PExpr ParseNot()
    {
        if (IsKeyword("not")) {
            TNest nest(Nesting);
            Advance();
            return Make(TFilterExpr::Not, {ParseNot()});
        }
        return ParseCompare();
    }

    PExpr ParseCompare()
    {
        PExpr left = ParseAdditive();
        if (T.Kind == tkSymbol && (T.Text == "=" || T.Text == "<>" || T.Text == "!=" || T.Text == "<" ||
                                   T.Text == ">" || T.Text == "<=" || T.Text == ">=")) {
            std::string op = T.Text == "!=" ? "<>" : T.Text;
            Advance();
            PExpr e = Make(TFilterExpr::Cmp, {left, ParseAdditive()});
            e->Op = op;
            return e;
        }
        bool negated = false;
        if (IsKeyword("not")) {
            negated = true;
            Advance();
            if (!IsKeyword("like") && !IsKeyword("in"))
                DatabaseErrorFmt(DBConsts::SExprExpected, {Describe(T)});
        }
        if (IsKeyword("like")) {
            Advance();
            PExpr e = Make(TFilterExpr::Like, {left, ParseAdditive()});
            e->Negated = negated;
            return e;
        }
        if (IsKeyword("in")) {
            Advance();
            if (!IsSymbol("(")) DatabaseErrorFmt(DBConsts::SExprExpected, {Describe(T)});
            Advance();
            std::vector<PExpr> args{left};
            if (!IsSymbol(")")) {
                for (;;) {
                    args.push_back(ParseAdditive());
                    if (IsSymbol(",")) {
                        Advance();
                        continue;
                    }
                    break;
                }
            }
            if (!IsSymbol(")")) DatabaseErrorFmt(DBConsts::SExprNoRParen, {Describe(T)});
            Advance();
            PExpr e = Make(TFilterExpr::In, std::move(args));
            e->Negated = negated;
            return e;
        }
        if (IsKeyword("is")) {
            Advance();
            PExpr e = Make(TFilterExpr::IsNull, {left});
            if (IsKeyword("not")) {
                e->Negated = true;
                Advance();
            }
            if (!IsKeyword("null")) DatabaseErrorFmt(DBConsts::SExprExpected, {Describe(T)});
            Advance();
            return e;
        }
        return left;
    }

    PExpr ParseAdditive()
    {
        PExpr left = ParseMultiplicative();
        while (IsSymbol("+") || IsSymbol("-")) {
            std::string op = T.Text;
            Advance();
            PExpr right = ParseMultiplicative();
            left = Make(TFilterExpr::Arith, {left, right});
            left->Op = op;
        }
        return left;
    }

    PExpr ParseMultiplicative()
    {
        PExpr left = ParseUnary();
        while (IsSymbol("*") || IsSymbol("/")) {
            std::string op = T.Text;
            Advance();
            PExpr right = ParseUnary();
            left = Make(TFilterExpr::Arith, {left, right});
            left->Op = op;
        }
        return left;
    }

    PExpr ParseUnary()
    {
        if (IsSymbol("-")) {
            TNest nest(Nesting);
            Advance();
            return Make(TFilterExpr::Neg, {ParseUnary()});
        }
        if (IsSymbol("+")) {
            TNest nest(Nesting);
            Advance();
            return ParseUnary();
        }
        return ParsePrimary();
    }

    PExpr ParsePrimary()
    {
        if (IsSymbol("(")) {
            TNest nest(Nesting);
            Advance();
            PExpr e = ParseOr();
            if (!IsSymbol(")")) DatabaseErrorFmt(DBConsts::SExprNoRParen, {Describe(T)});
            Advance();
            return e;
        }
        if (T.Kind == tkString) {
            PExpr e = Make(TFilterExpr::Const);
            e->Value = Variant(T.Text);
            Advance();
            return e;
        }
        if (T.Kind == tkNumber) {
            PExpr e = Make(TFilterExpr::Const);
            int64_t n;
            if (T.Text.find_first_of(".eE") == std::string::npos && TryStrToInt64(T.Text, n)) {
                e->Value = n >= INT32_MIN && n <= INT32_MAX ? Variant(int(n)) : Variant::FromInt64(n);
            } else {
                TFormatSettings fs = FormatSettings;
                fs.DecimalSeparator = '.';
                double d;
                if (!TryStrToFloat(T.Text, d, fs)) DatabaseErrorFmt(DBConsts::SExprInvalidChar, {T.Text});
                e->Value = Variant(d);
            }
            Advance();
            return e;
        }
        if (T.Kind == tkName) {
            PExpr e;
            if (!T.Quoted && SameText(T.Text, "null")) {
                e = Make(TFilterExpr::Const);
                e->Value = Null();
            } else if (!T.Quoted && SameText(T.Text, "true")) {
                e = Make(TFilterExpr::Const);
                e->Value = Variant(true);
            } else if (!T.Quoted && SameText(T.Text, "false")) {
                e = Make(TFilterExpr::Const);
                e->Value = Variant(false);
            } else {
                e = Make(TFilterExpr::FieldRef);
                e->Name = T.Text;
            }
            Advance();
            return e;
        }
        DatabaseErrorFmt(DBConsts::SExprExpected, {Describe(T)});
    }
};

bool IsTextVar(const Variant& v) { return v.VType() == varString || v.VType() == varOleStr; }
bool IsNullVar(const Variant& v) { return v.IsNull() || v.IsEmpty(); }

struct EvalCtx {
    bool CaseInsensitive;
    bool NoPartial;
};

Variant Eval(const TFilterExpr& e, const EvalCtx& c);

bool Truth(const Variant& v, bool& isNull)
{
    isNull = IsNullVar(v);
    if (isNull) return false;
    try {
        return v.AsBoolean();
    } catch (const Exception&) {
        return false;
    }
}

// A text constant compared with a date or number field takes the field's type.
Variant Coerce(const Variant& text, const Variant& other)
{
    if (!IsTextVar(text) || IsTextVar(other) || IsNullVar(other)) return text;
    if (other.VType() == varDate) {
        TDateTime d;
        if (qzDB::TryParseDateTimeText(text.RawString(), d)) return Variant::FromDate(d);
        return text;
    }
    if (VarIsNumeric(other)) {
        double d;
        if (TryStrToFloat(Trim(text.RawString()), d)) return Variant(d);
        TFormatSettings fs = FormatSettings;
        fs.DecimalSeparator = '.';
        if (TryStrToFloat(Trim(text.RawString()), d, fs)) return Variant(d);
    }
    return text;
}

Variant Compare(const TFilterExpr& e, const EvalCtx& c)
{
    Variant a = Eval(*e.Args[0], c);
    Variant b = Eval(*e.Args[1], c);
    if (IsNullVar(a) || IsNullVar(b)) return Null();
    a = Coerce(a, b);
    b = Coerce(b, a);
    int cmp;
    if (IsTextVar(a) && IsTextVar(b)) {
        const std::string& sa = a.RawString();
        std::string sb = b.RawString();
        // 'abc*' compares as a prefix, as the class library's filters do.
        if (e.Op == "=" || e.Op == "<>") {
            if (!c.NoPartial && e.Args[1]->K == TFilterExpr::Const && !sb.empty() && sb.back() == '*') {
                std::string prefix = sb.substr(0, sb.size() - 1);
                bool match = sa.size() >= prefix.size() &&
                             (c.CaseInsensitive ? SameText(sa.substr(0, prefix.size()), prefix)
                                                : sa.compare(0, prefix.size(), prefix) == 0);
                return Variant(e.Op == "=" ? match : !match);
            }
        }
        cmp = c.CaseInsensitive ? CompareText(sa, sb) : CompareStr(sa, sb);
    } else {
        TVariantRelationship r = VarCompareValue(a, b);
        if (r == vrNotEqual) {
            if (e.Op == "=") return Variant(false);
            if (e.Op == "<>") return Variant(true);
            return Null();
        }
        cmp = r == vrEqual ? 0 : (r == vrLessThan ? -1 : 1);
    }
    bool res = e.Op == "=" ? cmp == 0 : e.Op == "<>" ? cmp != 0 : e.Op == "<" ? cmp < 0
             : e.Op == ">" ? cmp > 0 : e.Op == "<=" ? cmp <= 0 : cmp >= 0;
    return Variant(res);
}

Variant Eval(const TFilterExpr& e, const EvalCtx& c)
{
    switch (e.K) {
    case TFilterExpr::Const:
        return e.Value;
    case TFilterExpr::FieldRef:
        if (!e.Field) DatabaseErrorFmt(DBConsts::SFieldNotFound, {e.Name});
        return e.Field->AsVariant();
    case TFilterExpr::Not: {
        bool n;
        bool v = Truth(Eval(*e.Args[0], c), n);
        return n ? Null() : Variant(!v);
    }
    case TFilterExpr::Neg: {
        Variant v = Eval(*e.Args[0], c);
        return IsNullVar(v) ? Null() : VarUnaryOp(v, opNegate);
    }
    case TFilterExpr::And: {
        bool n1, n2;
        bool a = Truth(Eval(*e.Args[0], c), n1);
        if (!n1 && !a) return Variant(false);
        bool b = Truth(Eval(*e.Args[1], c), n2);
        if (!n2 && !b) return Variant(false);
        if (n1 || n2) return Null();
        return Variant(true);
    }
    case TFilterExpr::Or: {
        bool n1, n2;
        bool a = Truth(Eval(*e.Args[0], c), n1);
        if (!n1 && a) return Variant(true);
        bool b = Truth(Eval(*e.Args[1], c), n2);
        if (!n2 && b) return Variant(true);
        if (n1 || n2) return Null();
        return Variant(false);
    }
    case TFilterExpr::Cmp:
        return Compare(e, c);
    case TFilterExpr::Arith: {
        Variant a = Eval(*e.Args[0], c), b = Eval(*e.Args[1], c);
        if (IsNullVar(a) || IsNullVar(b)) return Null();
        TVarOp op = e.Op == "+" ? opAdd : e.Op == "-" ? opSubtract : e.Op == "*" ? opMultiply : opDivide;
        try {
            return VarBinaryOp(a, b, op);
        } catch (const Exception&) {
            return Null();
        }
    }
    case TFilterExpr::Like: {
        Variant a = Eval(*e.Args[0], c), b = Eval(*e.Args[1], c);
        if (IsNullVar(a) || IsNullVar(b)) return Null();
        bool m = qzDB::LikeMatch(VarToStr(a), VarToStr(b), c.CaseInsensitive);
        return Variant(e.Negated ? !m : m);
    }
    case TFilterExpr::IsNull: {
        bool isNull = IsNullVar(Eval(*e.Args[0], c));
        return Variant(e.Negated ? !isNull : isNull);
    }
    case TFilterExpr::In: {
        Variant a = Eval(*e.Args[0], c);
        if (IsNullVar(a)) return Null();
        bool found = false;
        for (size_t i = 1; i < e.Args.size() && !found; ++i) {
            TFilterExpr cmp;
            cmp.K = TFilterExpr::Cmp;
            cmp.Op = "=";
            auto lhs = std::make_shared<TFilterExpr>();
            lhs->K = TFilterExpr::Const;
            lhs->Value = a;
            cmp.Args = {lhs, e.Args[i]};
            bool n;
            found = Truth(Compare(cmp, c), n);
        }
        return Variant(e.Negated ? !found : found);
    }
    }
    return Null();
}

void Bind(TFilterExpr& e, TDataSet* ds)
{
    if (e.K == TFilterExpr::FieldRef) {
        e.Field = ds->FindField(e.Name);
        if (!e.Field) DatabaseErrorFmt(DBConsts::SFieldNotFound, {e.Name}, ds);
    }
    for (auto& a : e.Args) Bind(*a, ds);
}

// Code points of UTF-8 text.
std::u32string CodePoints(const std::string& s, bool fold)
{
    std::u32string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (i + len > s.size()) len = 1;
        if (len == 1) cp = c;
        else {
            cp = c & (0x7F >> len);
            for (size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        if (fold && cp >= 'a' && cp <= 'z') cp -= 32;
        out.push_back(cp);
        i += len;
    }
    return out;
}

}

namespace qzDB {

std::shared_ptr<TFilterExpr> ParseFilter(const std::string& text)
{
    Parser p(text);
    return p.Parse();
}

void BindFilter(TFilterExpr& expr, TDataSet* ds) { Bind(expr, ds); }

bool EvalFilter(const TFilterExpr& expr, bool caseInsensitive, bool noPartialCompare)
{
    EvalCtx c{caseInsensitive, noPartialCompare};
    bool n;
    return Truth(Eval(expr, c), n) && !n;
}

bool LikeMatch(const std::string& text, const std::string& pattern, bool caseInsensitive)
{
    std::u32string t = CodePoints(text, caseInsensitive), p = CodePoints(pattern, caseInsensitive);
    // Iterative match with backtracking to the last %.
    size_t ti = 0, pi = 0, starP = std::u32string::npos, starT = 0;
    while (ti < t.size()) {
        if (pi < p.size() && (p[pi] == U'_' || p[pi] == t[ti])) {
            ++ti;
            ++pi;
        } else if (pi < p.size() && p[pi] == U'%') {
            starP = pi++;
            starT = ti;
        } else if (starP != std::u32string::npos) {
            pi = starP + 1;
            ti = ++starT;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == U'%') ++pi;
    return pi == p.size();
}

int CompareValues(const Variant& a, const Variant& b, bool caseInsensitive)
{
    bool na = IsNullVar(a), nb = IsNullVar(b);
    if (na || nb) return na == nb ? 0 : (na ? -1 : 1);
    if (IsTextVar(a) && IsTextVar(b))
        return caseInsensitive ? CompareText(a.RawString(), b.RawString()) : CompareStr(a.RawString(), b.RawString());
    TVariantRelationship r = VarCompareValue(a, b);
    return r == vrEqual ? 0 : r == vrLessThan ? -1 : r == vrGreaterThan ? 1 : 0;
}

}
