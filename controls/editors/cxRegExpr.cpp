#include "cxRegExpr.h"

#include "SysUtils.h"
#include "cxEditConsts.h"
#include "cxResStrings.h"

#include <algorithm>
#include <array>
#include <map>

QZ_CLASS_IMPL(TcxRegExprError, TObject)
QZ_CLASS_IMPL(TcxRegExpr, TObject)

using cxClasses::GetResourceString;

namespace cxRegExpr {

std::u32string ToU32(const std::string& AText)
{
    std::u32string r;
    r.reserve(AText.size());
    size_t i = 0, n = AText.size();
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(AText[i]);
        char32_t cp;
        int len;
        if (c < 0x80) { cp = c; len = 1; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; len = 2; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; len = 3; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; len = 4; }
        else { r.push_back(0xFFFD); ++i; continue; }
        if (i + size_t(len) > n) { r.push_back(0xFFFD); break; }
        bool ok = true;
        for (int k = 1; k < len; ++k) {
            unsigned char cc = static_cast<unsigned char>(AText[i + size_t(k)]);
            if ((cc & 0xC0) != 0x80) { ok = false; break; }
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok) { r.push_back(0xFFFD); ++i; continue; }
        r.push_back(cp);
        i += size_t(len);
    }
    return r;
}

std::string ToUtf8(char32_t cp)
{
    std::string r;
    if (cp < 0x80) r += char(cp);
    else if (cp < 0x800) { r += char(0xC0 | (cp >> 6)); r += char(0x80 | (cp & 0x3F)); }
    else if (cp < 0x10000) {
        r += char(0xE0 | (cp >> 12)); r += char(0x80 | ((cp >> 6) & 0x3F));
        r += char(0x80 | (cp & 0x3F));
    } else {
        r += char(0xF0 | (cp >> 18)); r += char(0x80 | ((cp >> 12) & 0x3F));
        r += char(0x80 | ((cp >> 6) & 0x3F)); r += char(0x80 | (cp & 0x3F));
    }
    return r;
}

std::string ToUtf8(const std::u32string& AText)
{
    std::string r;
    r.reserve(AText.size());
    for (char32_t c : AText) {
        if (c < 0x80) r += char(c);
        else r += ToUtf8(c);
    }
    return r;
}

}  // namespace cxRegExpr

using cxRegExpr::ToU32;
using cxRegExpr::ToUtf8;

// ---- errors ------------------------------------------------------------------------

std::string TcxRegExprError::GetFullMessage() const
{
    if (Line == 0) return Message;
    std::string s = GetResourceString(&scxRegExprLine) + std::to_string(Line);
    if (Position > 0) s += ", " + GetResourceString(&scxRegExprChar) + std::to_string(Position);
    return s + ": " + Message;
}

void TcxRegExprErrors::Add(int ALine, int APosition, const std::string& AMessage)
{
    FItems.push_back(std::make_shared<TcxRegExprError>(ALine, APosition, AMessage));
}

// ---- character tests ------------------------------------------------------------------

namespace {

bool IsBlank(char32_t c) { return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == ' '; }

char32_t UpperChar(char32_t c)
{
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    std::u32string u = ToU32(AnsiUpperCase(ToUtf8(c)));
    return u.size() == 1 ? u[0] : c;
}

class TcxRegExprItem {
public:
    virtual ~TcxRegExprItem() = default;
    virtual bool Check(char32_t& ACh, bool ACaseInsensitive) const = 0;
    virtual std::unique_ptr<TcxRegExprItem> Clone() const = 0;
    // The one character the test stands for, when it stands for exactly one
    // (symbols and the separators), for literal completion.
    virtual bool GetLiteral(char32_t&) const { return false; }
};

class TcxRegExprSymbol : public TcxRegExprItem {
public:
    explicit TcxRegExprSymbol(char32_t ACh) : FCh(ACh), FUpper(UpperChar(ACh)) {}
    bool Check(char32_t& ACh, bool ACaseInsensitive) const override
    {
        if (ACh == FCh) return true;
        if (ACaseInsensitive && UpperChar(ACh) == FUpper) {
            ACh = FCh;   // the input takes the expression's letter case
            return true;
        }
        return false;
    }
    std::unique_ptr<TcxRegExprItem> Clone() const override
    {
        return std::make_unique<TcxRegExprSymbol>(FCh);
    }
    bool GetLiteral(char32_t& ACh) const override { ACh = FCh; return true; }
    char32_t Ch() const { return FCh; }

private:
    char32_t FCh;
    char32_t FUpper;
};

class TcxRegExprSubrange : public TcxRegExprItem {
public:
    TcxRegExprSubrange(char32_t AStart, char32_t AFinish) : FStart(AStart), FFinish(AFinish) {}
    // Always case-sensitive, by code value.
    bool Check(char32_t& ACh, bool) const override { return ACh >= FStart && ACh <= FFinish; }
    std::unique_ptr<TcxRegExprItem> Clone() const override
    {
        return std::make_unique<TcxRegExprSubrange>(FStart, FFinish);
    }

private:
    char32_t FStart, FFinish;
};

class TcxRegExprEnumeration : public TcxRegExprItem {
public:
    explicit TcxRegExprEnumeration(bool AInverse) : FInverse(AInverse) {}
    bool Check(char32_t& ACh, bool ACaseInsensitive) const override
    {
        return Contains(ACh, ACaseInsensitive) != FInverse;
    }

protected:
    virtual bool Contains(char32_t& ACh, bool ACaseInsensitive) const = 0;
    bool FInverse;
};

class TcxRegExprUserEnumeration : public TcxRegExprEnumeration {
public:
    using TcxRegExprEnumeration::TcxRegExprEnumeration;
    void Add(std::unique_ptr<TcxRegExprItem> AItem) { FItems.push_back(std::move(AItem)); }
    int Count() const { return int(FItems.size()); }
    std::unique_ptr<TcxRegExprItem> Clone() const override
    {
        auto r = std::make_unique<TcxRegExprUserEnumeration>(FInverse);
        for (auto& i : FItems) r->Add(i->Clone());
        return r;
    }

protected:
    bool Contains(char32_t& ACh, bool ACaseInsensitive) const override
    {
        for (auto& i : FItems) {
            char32_t c = ACh;
            if (i->Check(c, ACaseInsensitive)) {
                if (!FInverse) ACh = c;
                return true;
            }
        }
        return false;
    }

private:
    std::vector<std::unique_ptr<TcxRegExprItem>> FItems;
};

#define QZ_REGEXPR_CLASS(Cls, Test)                                                      \
    class Cls : public TcxRegExprEnumeration {                                         \
    public:                                                                            \
        using TcxRegExprEnumeration::TcxRegExprEnumeration;                            \
        std::unique_ptr<TcxRegExprItem> Clone() const override                         \
        {                                                                              \
            return std::make_unique<Cls>(FInverse);                                    \
        }                                                                              \
                                                                                       \
    protected:                                                                         \
        bool Contains(char32_t& c, bool) const override { return Test; }               \
    };

QZ_REGEXPR_CLASS(TcxRegExprDigit, c >= '0' && c <= '9')
QZ_REGEXPR_CLASS(TcxRegExprIdLetter,
                 (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '_')
QZ_REGEXPR_CLASS(TcxRegExprSpace, IsBlank(c))
#undef QZ_REGEXPR_CLASS

class TcxRegExprAll : public TcxRegExprItem {
public:
    bool Check(char32_t&, bool) const override { return true; }
    std::unique_ptr<TcxRegExprItem> Clone() const override
    {
        return std::make_unique<TcxRegExprAll>();
    }
};

// The separators are read at the time of each test, so a change of the
// settings applies to a compiled expression at once.
class TcxRegExprDateSeparator : public TcxRegExprItem {
public:
    bool Check(char32_t& ACh, bool) const override
    {
        return ACh == char32_t(static_cast<unsigned char>(FormatSettings.DateSeparator));
    }
    std::unique_ptr<TcxRegExprItem> Clone() const override
    {
        return std::make_unique<TcxRegExprDateSeparator>();
    }
    bool GetLiteral(char32_t& ACh) const override
    {
        ACh = static_cast<unsigned char>(FormatSettings.DateSeparator);
        return true;
    }
};

class TcxRegExprTimeSeparator : public TcxRegExprItem {
public:
    bool Check(char32_t& ACh, bool) const override
    {
        return ACh == char32_t(static_cast<unsigned char>(FormatSettings.TimeSeparator));
    }
    std::unique_ptr<TcxRegExprItem> Clone() const override
    {
        return std::make_unique<TcxRegExprTimeSeparator>();
    }
    bool GetLiteral(char32_t& ACh) const override
    {
        ACh = static_cast<unsigned char>(FormatSettings.TimeSeparator);
        return true;
    }
};

// ---- states -------------------------------------------------------------------------------

class TcxRegExprState;
using TcxRegExprStates = std::vector<TcxRegExprState*>;

class TcxRegExprState {
public:
    virtual ~TcxRegExprState() = default;
    TcxRegExprStates Successors;
    bool IsBlock = false;
    bool Final = false;
    // The character test of a simple state; null for block states and for
    // the automaton's start state.
    std::unique_ptr<TcxRegExprItem> Test;
    // Marks of the walks over the states (see TcxRegExprAutomat).
    unsigned Mark = 0;
    unsigned VisitMark = 0;
};

// ---- parse tree ---------------------------------------------------------------------------

enum TcxQuantifierKind { qkSimple, qkQuestion, qkStar, qkPlus };

bool IsOptionalKind(TcxQuantifierKind k) { return k == qkQuestion || k == qkStar; }
bool IsRepeatableKind(TcxQuantifierKind k) { return k == qkStar || k == qkPlus; }
const char* QuantifierText(TcxQuantifierKind k)
{
    switch (k) {
    case qkQuestion: return "?";
    case qkStar: return "*";
    case qkPlus: return "+";
    default: return "";
    }
}

struct TcxRegExprParserAlt;

// Every state the compile makes is owned by one pool, so that cloning and
// linking only deal in plain pointers.
struct TcxStatePool {
    std::vector<std::unique_ptr<TcxRegExprState>> States;
    TcxRegExprState* New(bool ABlock, std::unique_ptr<TcxRegExprItem> ATest = nullptr)
    {
        auto s = std::make_unique<TcxRegExprState>();
        s->IsBlock = ABlock;
        s->Test = std::move(ATest);
        States.push_back(std::move(s));
        return States.back().get();
    }
};

struct TcxRegExprParserItem {
    virtual ~TcxRegExprParserItem() = default;
    TcxQuantifierKind Quantifier = qkSimple;
    bool IsOptional() const { return IsOptionalKind(Quantifier); }
    bool IsRepeatable() const { return IsRepeatableKind(Quantifier); }
    bool HasNoQuantifier() const { return Quantifier == qkSimple; }
    virtual bool CanBeEmpty() const = 0;
    virtual std::unique_ptr<TcxRegExprParserItem> Clone(TcxStatePool& APool) const = 0;
    virtual void Dump(std::string& AText) const = 0;
    virtual void MarkFinal() = 0;
    virtual TcxRegExprState* Entry() const = 0;
    virtual TcxRegExprState* Exit() const = 0;
};

struct TcxRegExprParserAlt {
    std::vector<std::unique_ptr<TcxRegExprParserItem>> Items;
    bool AllCanBeEmpty() const
    {
        return std::all_of(Items.begin(), Items.end(),
                           [](auto& i) { return i->CanBeEmpty(); });
    }
    bool AllOptional() const
    {
        return std::all_of(Items.begin(), Items.end(), [](auto& i) { return i->IsOptional(); });
    }
};

struct TcxRegExprParserSimpleItem : TcxRegExprParserItem {
    TcxRegExprState* State = nullptr;
    bool CanBeEmpty() const override { return IsOptional(); }
    std::unique_ptr<TcxRegExprParserItem> Clone(TcxStatePool& APool) const override
    {
        auto r = std::make_unique<TcxRegExprParserSimpleItem>();
        r->Quantifier = Quantifier;
        r->State = APool.New(false, State->Test->Clone());
        return r;
    }
    void Dump(std::string& AText) const override
    {
        AText += std::string("item --> ") + QuantifierText(Quantifier) + "\r\n";
    }
    void MarkFinal() override { State->Final = true; }
    TcxRegExprState* Entry() const override { return State; }
    TcxRegExprState* Exit() const override { return State; }
};

struct TcxRegExprParserBlockItem : TcxRegExprParserItem {
    TcxRegExprState* EntryState = nullptr;
    TcxRegExprState* ExitState = nullptr;
    std::vector<std::unique_ptr<TcxRegExprParserAlt>> Alts;
    bool CanBeEmpty() const override
    {
        if (IsOptional()) return true;
        return std::any_of(Alts.begin(), Alts.end(), [](auto& a) { return a->AllCanBeEmpty(); });
    }
    std::unique_ptr<TcxRegExprParserItem> Clone(TcxStatePool& APool) const override
    {
        auto r = std::make_unique<TcxRegExprParserBlockItem>();
        r->Quantifier = Quantifier;
        r->EntryState = APool.New(true);
        r->ExitState = APool.New(true);
        for (auto& a : Alts) {
            auto na = std::make_unique<TcxRegExprParserAlt>();
            for (auto& i : a->Items) na->Items.push_back(i->Clone(APool));
            r->Alts.push_back(std::move(na));
        }
        return r;
    }
    void Dump(std::string& AText) const override
    {
        AText += "<Start_Block>\r\n";
        for (auto& a : Alts) DumpAlt(*a, AText);
        AText += std::string("<Finish_Block> --> ") + QuantifierText(Quantifier) + "\r\n";
    }
    void MarkFinal() override;
    TcxRegExprState* Entry() const override { return EntryState; }
    TcxRegExprState* Exit() const override { return ExitState; }
    static void DumpAlt(const TcxRegExprParserAlt& AAlt, std::string& AText)
    {
        AText += "<Start_Alt>\r\n";
        for (auto& i : AAlt.Items) i->Dump(AText);
        AText += "<Finish_Alt>\r\n";
    }
};

// Marks the items that may end a match of the alternative: from the last one
// backward, every item until one that cannot match the empty text. (Stopping
// at the first item without an optional quantifier instead would leave a text
// such as "b" unfinished for "b(a?)", which the expression matches.)
void MarkFinalAlt(TcxRegExprParserAlt& AAlt)
{
    for (size_t k = AAlt.Items.size(); k-- > 0;) {
        AAlt.Items[k]->MarkFinal();
        if (!AAlt.Items[k]->CanBeEmpty()) break;
    }
}

void TcxRegExprParserBlockItem::MarkFinal()
{
    for (auto& a : Alts) MarkFinalAlt(*a);
}

void AddSucc(TcxRegExprState* AFrom, TcxRegExprState* ATo)
{
    auto& s = AFrom->Successors;
    if (std::find(s.begin(), s.end(), ATo) == s.end()) s.push_back(ATo);
}

// The entry states of the leading items up to and including the first one
// that is not optional.
void AddFirstStates(TcxRegExprState* AFrom, const TcxRegExprParserAlt& AAlt, size_t AStart)
{
    for (size_t j = AStart; j < AAlt.Items.size(); ++j) {
        AddSucc(AFrom, AAlt.Items[j]->Entry());
        if (!AAlt.Items[j]->IsOptional()) break;
    }
}

void LinkAlt(TcxRegExprParserAlt& AAlt)
{
    auto& items = AAlt.Items;
    for (size_t i = 0; i < items.size(); ++i) {
        TcxRegExprParserItem* item = items[i].get();
        AddFirstStates(item->Exit(), AAlt, i + 1);
        if (auto* b = dynamic_cast<TcxRegExprParserBlockItem*>(item)) {
            if (b->IsRepeatable()) AddSucc(b->ExitState, b->EntryState);
            bool someEmpty = false;
            for (auto& a : b->Alts) {
                AddFirstStates(b->EntryState, *a, 0);
                if (a->AllOptional()) someEmpty = true;
            }
            if (someEmpty) AddSucc(b->EntryState, b->ExitState);
            for (auto& a : b->Alts) {
                LinkAlt(*a);
                for (size_t k = a->Items.size(); k-- > 0;) {
                    AddSucc(a->Items[k]->Exit(), b->ExitState);
                    if (!a->Items[k]->IsOptional()) break;
                }
            }
        } else if (item->IsRepeatable()) {
            AddSucc(item->Exit(), item->Exit());
        }
    }
}

// ---- lexems -------------------------------------------------------------------------------

enum TcxLexemKind {
    lkLiteral = 0, lkOperator = 1, lkInteger = 2, lkAll = 3, lkWord = 4, lkNonWord = 5,
    lkDigit = 6, lkNonDigit = 7, lkSpace = 8, lkNonSpace = 9, lkReference = 10,
    lkDateSeparator = 11, lkTimeSeparator = 12
};

struct TcxLexem {
    int Position;
    int Kind;
    int Line;
    std::u32string Text;
    bool IsOp(char32_t c) const { return Kind == lkOperator && Text.size() == 1 && Text[0] == c; }
};

// Bounds on what one expression may make: masks are short, and these keep a
// hostile mask from exhausting the stack or the memory.
constexpr int MaxNesting = 200;
constexpr size_t MaxStates = 4000;
constexpr int MaxRepetition = 255;
constexpr size_t MaxSourceBytes = 64 * 1024;

}  // namespace

// ---- compiler ----------------------------------------------------------------------------------

struct TcxRegExprCompiler {
    std::u32string Src;
    size_t Index = 0;
    int Line = 1;
    int Position = 0;
    int Depth = 0;
    std::vector<TcxLexem> Lexems;
    size_t LexemIndex = 0;
    TcxRegExprErrors& Errors;
    TcxStatePool& Pool;
    // Every group opened, by number; a group refused as empty keeps its
    // number (so later groups keep theirs) but holds nothing to copy.
    std::vector<TcxRegExprParserBlockItem*> Blocks;
    bool TooComplex = false;
    int GroupDepth = 0;
    // Items replaced by their expansion; kept, as a back reference may still
    // copy a group among them.
    std::vector<std::unique_ptr<TcxRegExprParserItem>> Expanded;

    TcxRegExprCompiler(TcxRegExprErrors& AErrors, TcxStatePool& APool)
        : Errors(AErrors), Pool(APool) {}

    static std::string Fmt(const TcxResourceStringRec& ARes, const std::string& AArg)
    {
        return Format(GetResourceString(&ARes), {AArg});
    }
    void Error(int ALine, int APos, const std::string& AMsg) { Errors.Add(ALine, APos, AMsg); }
    void ErrorAt(const TcxLexem& L, const std::string& AMsg) { Error(L.Line, L.Position, AMsg); }

    // -- lexer --
    bool Eof() const { return Index >= Src.size(); }
    char32_t ReadChar()
    {
        char32_t c = Src[Index++];
        if (c == 13) ++Line;
        if (c == 10) Position = 0;
        else ++Position;
        return c;
    }
    // The next character that is not a blank, without consuming anything.
    bool PeekNonBlank(char32_t& c) const
    {
        for (size_t i = Index; i < Src.size(); ++i)
            if (!IsBlank(Src[i])) { c = Src[i]; return true; }
        return false;
    }
    void Add(int AKind, std::u32string AText)
    {
        Lexems.push_back(TcxLexem{Position, AKind, Line, std::move(AText)});
    }
    void Add(int AKind, char32_t c) { Add(AKind, std::u32string(1, c)); }

    void LexQuoted()
    {
        for (;;) {
            if (Eof()) {
                Error(Line, Position + 1, Fmt(scxRegExprMissing, " ' "));
                return;
            }
            char32_t c = ReadChar();
            if (c == '\'') {
                if (!Eof() && Src[Index] == '\'') { ReadChar(); Add(lkLiteral, c); continue; }
                return;
            }
            Add(lkLiteral, c);
        }
    }

    void LexEscape()
    {
        if (Eof()) return;   // a '\' at the very end is ignored
        char32_t c = ReadChar();
        if (IsBlank(c)) { Error(Line, Position, Fmt(scxRegExprIllegalSymbol, ToUtf8(c))); return; }
        switch (c) {
        case 'd': Add(lkDigit, c); return;
        case 'D': Add(lkNonDigit, c); return;
        case 'w': Add(lkWord, c); return;
        case 'W': Add(lkNonWord, c); return;
        case 's': Add(lkSpace, c); return;
        case 'S': Add(lkNonSpace, c); return;
        case 'a': Add(lkLiteral, char32_t(7)); return;
        case 'e': Add(lkLiteral, char32_t(27)); return;
        case 'f': Add(lkLiteral, char32_t(12)); return;
        case 'n': Add(lkLiteral, char32_t(10)); return;
        case 'r': Add(lkLiteral, char32_t(13)); return;
        case 't': Add(lkLiteral, char32_t(9)); return;
        case 'x': {
            int v = 0;
            for (int k = 0; k < 2; ++k) {
                if (Eof()) {
                    Error(Line, Position + 1, GetResourceString(&scxRegExprHexNumberExpected0));
                    return;
                }
                char32_t h = ReadChar();
                int d;
                if (h >= '0' && h <= '9') d = int(h - '0');
                else if (h >= 'A' && h <= 'F') d = int(h - 'A' + 10);
                else if (h >= 'a' && h <= 'f') d = int(h - 'a' + 10);
                else {
                    Error(Line, Position, Fmt(scxRegExprHexNumberExpected, ToUtf8(h)));
                    return;
                }
                v = v * 16 + d;
            }
            Add(lkLiteral, char32_t(v));
            return;
        }
        default:
            if (c >= '1' && c <= '9') Add(lkReference, c);
            else Add(lkLiteral, c);
        }
    }

    void LexSet()
    {
        bool first = true;
        for (;;) {
            while (!Eof() && IsBlank(Src[Index])) ReadChar();
            if (Eof()) {
                Error(Line, Position + 1, Fmt(scxRegExprMissing, "]"));
                return;
            }
            char32_t c = ReadChar();
            if (c == ']') { Add(lkOperator, c); return; }
            if (first && c == '^') { Add(lkOperator, c); continue; }
            bool wasFirst = first;
            first = false;
            switch (c) {
            case '\'': LexQuoted(); break;
            case '/': Add(lkDateSeparator, c); break;
            case ':': Add(lkTimeSeparator, c); break;
            case '.': Add(lkAll, c); break;
            case '\\': LexEscape(); break;
            case '-': {
                char32_t n = 0;
                bool has = PeekNonBlank(n);
                // A '-' first or directly before ']' stands for itself.
                if (wasFirst || (has && n == ']')) Add(lkLiteral, c);
                else Add(lkOperator, c);
                break;
            }
            default: Add(lkLiteral, c);
            }
        }
    }

    void LexRepetition()
    {
        for (;;) {
            while (!Eof() && IsBlank(Src[Index])) ReadChar();
            if (Eof()) {
                Error(Line, Position + 1, Fmt(scxRegExprMissing, "}"));
                return;
            }
            char32_t c = ReadChar();
            if (c >= '0' && c <= '9') {
                int pos = Position, line = Line;
                std::u32string digits(1, c);
                while (!Eof() && Src[Index] >= '0' && Src[Index] <= '9') digits += ReadChar();
                Lexems.push_back(TcxLexem{pos, lkInteger, line, digits});
            } else if (c == ',') {
                Add(lkOperator, c);
            } else if (c == '}') {
                Add(lkOperator, c);
                return;
            } else if (c == '\'') {
                Error(Line, Position, Fmt(scxRegExprIllegalSymbol, " ' "));
            } else {
                Error(Line, Position, Fmt(scxRegExprIllegalSymbol, ToUtf8(c)));
            }
        }
    }

    void Lex()
    {
        while (!Eof()) {
            char32_t c = ReadChar();
            if (IsBlank(c)) continue;
            switch (c) {
            case '\'': LexQuoted(); break;
            case '(': ++Depth; Add(lkOperator, c); break;
            case ')': --Depth; Add(lkOperator, c); break;
            case '*': case '+': case '?': case '|': Add(lkOperator, c); break;
            case '.': Add(lkAll, c); break;
            case '/': Add(lkDateSeparator, c); break;
            case ':': Add(lkTimeSeparator, c); break;
            case '[': Add(lkOperator, c); LexSet(); break;
            case '\\': LexEscape(); break;
            case '{': Add(lkOperator, c); LexRepetition(); break;
            default: Add(lkLiteral, c);
            }
        }
        if (Depth > 0) Error(0, 0, Fmt(scxRegExprMissing, ")"));
        else if (Depth < 0) Error(0, 0, Fmt(scxRegExprUnnecessarySymbol, ")"));
    }

    // -- parser --
    const TcxLexem* Peek() const { return LexemIndex < Lexems.size() ? &Lexems[LexemIndex] : nullptr; }

    bool CheckSize(const TcxLexem& L)
    {
        if (Pool.States.size() > MaxStates) {
            if (!TooComplex) ErrorAt(L, GetResourceString(&scxRegExprTooComplex));
            TooComplex = true;
        }
        return !TooComplex;
    }

    std::unique_ptr<TcxRegExprParserItem> Simple(std::unique_ptr<TcxRegExprItem> ATest)
    {
        auto r = std::make_unique<TcxRegExprParserSimpleItem>();
        r->State = Pool.New(false, std::move(ATest));
        return r;
    }

    std::unique_ptr<TcxRegExprParserBlockItem> NewBlock()
    {
        auto b = std::make_unique<TcxRegExprParserBlockItem>();
        b->EntryState = Pool.New(true);
        b->ExitState = Pool.New(true);
        return b;
    }

    // Gives the item a quantifier; an item that has one already is wrapped
    // into a new group that takes the new one.
    std::unique_ptr<TcxRegExprParserItem> Quantify(std::unique_ptr<TcxRegExprParserItem> AItem,
                                                   TcxQuantifierKind AKind)
    {
        if (AItem->HasNoQuantifier()) {
            AItem->Quantifier = AKind;
            return AItem;
        }
        auto b = NewBlock();
        auto alt = std::make_unique<TcxRegExprParserAlt>();
        alt->Items.push_back(std::move(AItem));
        b->Alts.push_back(std::move(alt));
        b->Quantifier = AKind;
        return b;
    }

    static std::unique_ptr<TcxRegExprItem> ClassTest(int AKind)
    {
        switch (AKind) {
        case lkAll: return std::make_unique<TcxRegExprAll>();
        case lkWord: return std::make_unique<TcxRegExprIdLetter>(false);
        case lkNonWord: return std::make_unique<TcxRegExprIdLetter>(true);
        case lkDigit: return std::make_unique<TcxRegExprDigit>(false);
        case lkNonDigit: return std::make_unique<TcxRegExprDigit>(true);
        case lkSpace: return std::make_unique<TcxRegExprSpace>(false);
        case lkNonSpace: return std::make_unique<TcxRegExprSpace>(true);
        case lkDateSeparator: return std::make_unique<TcxRegExprDateSeparator>();
        case lkTimeSeparator: return std::make_unique<TcxRegExprTimeSeparator>();
        default: return nullptr;
        }
    }

    std::unique_ptr<TcxRegExprItem> ParseSet(const TcxLexem& AOpen)
    {
        bool inverse = false;
        const TcxLexem* L = Peek();
        if (L && L->IsOp('^')) { inverse = true; ++LexemIndex; }
        auto e = std::make_unique<TcxRegExprUserEnumeration>(inverse);
        int errorsBefore = Errors.Count();
        bool lastWasRange = false;
        while ((L = Peek()) && !L->IsOp(']')) {
            ++LexemIndex;
            if (L->Kind == lkOperator) {
                // A '-' with nothing to start a range, or after a range.
                ErrorAt(*L, Fmt(scxRegExprIllegalSymbol, ToUtf8(L->Text)));
                continue;
            }
            const TcxLexem* dash = Peek();
            if (L->Kind == lkLiteral && dash && dash->IsOp('-') && LexemIndex + 1 < Lexems.size() &&
                Lexems[LexemIndex + 1].Kind == lkLiteral) {
                const TcxLexem& fin = Lexems[LexemIndex + 1];
                LexemIndex += 2;
                if (L->Text[0] >= fin.Text[0])
                    ErrorAt(fin, GetResourceString(&scxRegExprSubrangeOrder));
                else
                    e->Add(std::make_unique<TcxRegExprSubrange>(L->Text[0], fin.Text[0]));
                lastWasRange = true;
                continue;
            }
            lastWasRange = false;
            if (L->Kind == lkLiteral) e->Add(std::make_unique<TcxRegExprSymbol>(L->Text[0]));
            else if (auto t = ClassTest(L->Kind)) e->Add(std::move(t));
            else ErrorAt(*L, Fmt(scxRegExprIllegalSymbol, ToUtf8(L->Text)));
        }
        (void)lastWasRange;
        if (L) ++LexemIndex;   // the closing ']'
        if (e->Count() == 0) {
            if (Errors.Count() == errorsBefore)
                ErrorAt(L ? *L : AOpen, GetResourceString(&scxRegExprEmptyEnumeration));
            return nullptr;
        }
        return e;
    }

    // {m}, {m,}, {m,n} applied to the last item of the alternative.
    void ParseRepetition(const TcxLexem& AOpen, TcxRegExprParserAlt& AAlt)
    {
        std::vector<const TcxLexem*> parts;
        while (const TcxLexem* L = Peek()) {
            ++LexemIndex;
            if (L->IsOp('}')) break;
            parts.push_back(L);
        }
        auto isInt = [&](size_t i) { return i < parts.size() && parts[i]->Kind == lkInteger; };
        auto toInt = [&](size_t i) {
            const std::u32string& t = parts[i]->Text;
            if (t.size() > 6) return 1000000;
            int v = 0;
            for (char32_t c : t) v = v * 10 + int(c - '0');
            return v;
        };
        int m = -1, n = -1;
        bool unbounded = false, ok = false;
        if (parts.size() == 1 && isInt(0)) { m = n = toInt(0); ok = true; }
        else if (parts.size() == 2 && isInt(0) && parts[1]->IsOp(',')) {
            m = toInt(0); unbounded = true; ok = true;
        } else if (parts.size() == 3 && isInt(0) && parts[1]->IsOp(',') && isInt(2)) {
            m = toInt(0); n = toInt(2); ok = n >= m;
        } else if (parts.size() > 3 && isInt(0) && parts[1]->IsOp(',') && isInt(2)) {
            for (size_t i = 3; i < parts.size(); ++i)
                if (parts[i]->Kind == lkInteger)
                    ErrorAt(*parts[i], GetResourceString(&scxRegExprIllegalIntegerValue));
            return;
        }
        if (!ok || AAlt.Items.empty()) {
            ErrorAt(AOpen, GetResourceString(&scxRegExprIncorrectParameterQuantifier));
            return;
        }
        if (AAlt.Items.back()->IsOptional()) {
            ErrorAt(AOpen, GetResourceString(&scxRegExprNotSupportQuantifier));
            return;
        }
        if (m > MaxRepetition || n > MaxRepetition) {
            ErrorAt(AOpen, GetResourceString(&scxRegExprTooComplex));
            TooComplex = true;
            return;
        }
        std::unique_ptr<TcxRegExprParserItem> x = std::move(AAlt.Items.back());
        AAlt.Items.pop_back();
        auto group = NewBlock();
        auto alt = std::make_unique<TcxRegExprParserAlt>();
        for (int k = 0; k < m && CheckSize(AOpen); ++k) alt->Items.push_back(x->Clone(Pool));
        if (unbounded) {
            alt->Items.push_back(Quantify(x->Clone(Pool), qkStar));
        } else if (n > m) {
            std::unique_ptr<TcxRegExprParserItem> cur = Quantify(x->Clone(Pool), qkQuestion);
            for (int k = 1; k < n - m && CheckSize(AOpen); ++k) {
                auto b = NewBlock();
                auto a = std::make_unique<TcxRegExprParserAlt>();
                a->Items.push_back(x->Clone(Pool));
                a->Items.push_back(std::move(cur));
                b->Alts.push_back(std::move(a));
                b->Quantifier = qkQuestion;
                cur = std::move(b);
            }
            alt->Items.push_back(std::move(cur));
        }
        group->Alts.push_back(std::move(alt));
        AAlt.Items.push_back(std::move(group));
        Expanded.push_back(std::move(x));
        CheckSize(AOpen);
    }

    // Reads one alternative into AAlt until '|', the ')' closing the group,
    // or the end.
    void ParseAlt(TcxRegExprParserAlt& AAlt, bool AInGroup)
    {
        while (const TcxLexem* L = Peek()) {
            if (TooComplex) { LexemIndex = Lexems.size(); return; }
            if (L->IsOp('|')) return;
            if (L->IsOp(')') && AInGroup) return;
            ++LexemIndex;
            switch (L->Kind) {
            case lkLiteral:
                AAlt.Items.push_back(Simple(std::make_unique<TcxRegExprSymbol>(L->Text[0])));
                break;
            case lkInteger:
                ErrorAt(*L, GetResourceString(&scxRegExprIllegalIntegerValue));
                break;
            case lkReference: {
                size_t n = size_t(L->Text[0] - '0');
                if (n > Blocks.size()) {
                    ErrorAt(*L, GetResourceString(&scxRegExprTooBigReferenceNumber));
                    break;
                }
                if (!Blocks[n - 1]) {
                    ErrorAt(*L, GetResourceString(&scxRegExprCantCreateEmptyBlock));
                    break;
                }
                // The group's pattern, not the text it matched; the copy
                // takes no quantifier of the group.
                auto copy = Blocks[n - 1]->Clone(Pool);
                copy->Quantifier = qkSimple;
                AAlt.Items.push_back(std::move(copy));
                CheckSize(*L);
                break;
            }
            case lkOperator: {
                char32_t op = L->Text[0];
                if (op == '(') {
                    if (GroupDepth >= MaxNesting) {
                        ErrorAt(*L, GetResourceString(&scxRegExprTooComplex));
                        TooComplex = true;
                        break;
                    }
                    auto b = NewBlock();
                    Blocks.push_back(b.get());
                    const TcxLexem* N = Peek();
                    if (N && N->IsOp(')')) {
                        ErrorAt(*N, GetResourceString(&scxRegExprCantCreateEmptyBlock));
                        Blocks.back() = nullptr;   // the block is dropped here
                        ++LexemIndex;
                        break;
                    }
                    ++GroupDepth;
                    ParseAlts(b->Alts, true);
                    --GroupDepth;
                    if ((N = Peek()) && N->IsOp(')')) ++LexemIndex;
                    AAlt.Items.push_back(std::move(b));
                } else if (op == '[') {
                    if (auto t = ParseSet(*L)) AAlt.Items.push_back(Simple(std::move(t)));
                } else if (op == '?' || op == '*' || op == '+') {
                    if (AAlt.Items.empty()) {
                        ErrorAt(*L, Fmt(scxRegExprIllegalQuantifier, ToUtf8(op)));
                        break;
                    }
                    if (op != '?' && AAlt.Items.back()->CanBeEmpty()) {
                        ErrorAt(*L, GetResourceString(op == '*' ? &scxRegExprCantUseStarQuantifier
                                                                : &scxRegExprCantUsePlusQuantifier));
                        break;
                    }
                    auto item = std::move(AAlt.Items.back());
                    AAlt.Items.pop_back();
                    AAlt.Items.push_back(
                        Quantify(std::move(item), op == '?' ? qkQuestion : op == '*' ? qkStar : qkPlus));
                    CheckSize(*L);
                } else if (op == '{') {
                    ParseRepetition(*L, AAlt);
                } else {
                    ErrorAt(*L, Fmt(scxRegExprIllegalSymbol, ToUtf8(op)));
                }
                break;
            }
            default:
                AAlt.Items.push_back(Simple(ClassTest(L->Kind)));
            }
        }
    }

    void ParseAlts(std::vector<std::unique_ptr<TcxRegExprParserAlt>>& AAlts, bool AInGroup)
    {
        for (;;) {
            // Attached before it is read, so that a reference to a group still
            // open copies what the group holds so far.
            AAlts.push_back(std::make_unique<TcxRegExprParserAlt>());
            TcxRegExprParserAlt& alt = *AAlts.back();
            const TcxLexem* start = Peek();
            int errorsBefore = Errors.Count();
            ParseAlt(alt, AInGroup);
            const TcxLexem* L = Peek();
            // An alternative left empty by an error already reported is not
            // reported again.
            if (alt.Items.empty() && !TooComplex && Errors.Count() == errorsBefore) {
                const TcxLexem* at = start ? start : (Lexems.empty() ? nullptr : &Lexems.back());
                if (at) ErrorAt(*at, GetResourceString(&scxRegExprCantCreateEmptyAlt));
                else Error(0, 0, GetResourceString(&scxRegExprCantCreateEmptyAlt));
            }
            if (L && L->IsOp('|')) { ++LexemIndex; continue; }
            return;
        }
    }
};

// ---- automaton -----------------------------------------------------------------------------------

// The automaton's current states are interned as numbered state sets; the
// history is a list of set numbers, and the transitions of a set on the
// characters below 128 are remembered once computed (a lazily built
// deterministic automaton), so feeding a character is mostly one lookup.
struct TcxRegExprStateSet {
    TcxRegExprStates States;
    bool Final = false;
    // Transitions by character (+128 when case-insensitive): -2 unknown,
    // -1 refused, else the set; and the character as the expression rewrote it.
    std::array<int, 256> Next;
    std::array<char32_t, 256> NextChar;
    int Candidates = -2;    // the candidates' set, -2 unknown
    int Literal = -2;       // SameLiteral: -2 unknown, -1 none, else the character
    TcxRegExprStateSet() { Next.fill(-2); }
};

class TcxRegExprAutomat {
public:
    TcxStatePool Pool;
    std::vector<std::unique_ptr<TcxRegExprParserAlt>> Tree;
    TcxRegExprState* Start = nullptr;
    std::vector<std::unique_ptr<TcxRegExprStateSet>> Sets;
    std::map<TcxRegExprStates, int> SetIndex;
    int StartSet = -1;
    int Current = -1;
    std::vector<int> History;
    unsigned Stamp = 0;
    TcxRegExprStates Scratch;
    char DateSeparator = 0, TimeSeparator = 0;

    // Sets made while no history refers to them can go; this bounds what a
    // long-lived expression keeps.
    static constexpr size_t MaxSets = 4096;

    void Reset()
    {
        History.clear();
        if (StartSet < 0 || Sets.size() > MaxSets) {
            Sets.clear();
            SetIndex.clear();
            StartSet = Intern(TcxRegExprStates{Start});
        }
        Current = StartSet;
    }

    int Intern(TcxRegExprStates AStates)
    {
        std::sort(AStates.begin(), AStates.end());
        auto it = SetIndex.find(AStates);
        if (it != SetIndex.end()) return it->second;
        auto set = std::make_unique<TcxRegExprStateSet>();
        for (auto* st : AStates)
            if (st->Final) set->Final = true;
        set->States = AStates;
        int id = int(Sets.size());
        Sets.push_back(std::move(set));
        SetIndex.emplace(std::move(AStates), id);
        return id;
    }

    unsigned NewStamp()
    {
        if (++Stamp == 0) {
            for (auto& st : Pool.States) st->Mark = st->VisitMark = 0;
            Stamp = 1;
        }
        return Stamp;
    }

    // The states a block state stands for on ACh (or, without a character,
    // the states it stands for when entered), collected once each.
    void Collect(TcxRegExprState* S, char32_t* ACh, bool ACaseInsensitive, unsigned AStamp,
                 TcxRegExprStates& AOut)
    {
        if (!S->IsBlock) {
            if (S->Mark == AStamp) return;
            if (ACh) {
                char32_t c = *ACh;
                if (!S->Test || !S->Test->Check(c, ACaseInsensitive)) return;
                *ACh = c;
            }
            S->Mark = AStamp;
            AOut.push_back(S);
            return;
        }
        if (S->VisitMark == AStamp) return;
        S->VisitMark = AStamp;
        for (TcxRegExprState* n : S->Successors) Collect(n, ACh, ACaseInsensitive, AStamp, AOut);
    }

    // Step (with a character) or Candidates (without) of a set: the set
    // entered, -1 when empty.
    int Advance(int ASet, char32_t* ACh, bool ACaseInsensitive)
    {
        Scratch.clear();
        unsigned stamp = NewStamp();
        for (TcxRegExprState* st : Sets[size_t(ASet)]->States)
            for (TcxRegExprState* n : st->Successors) Collect(n, ACh, ACaseInsensitive, stamp, Scratch);
        if (Scratch.empty()) return -1;
        return Intern(Scratch);
    }

    // The transition on a character, remembered for characters below 128.
    int Step(int ASet, char32_t& ACh, bool ACaseInsensitive)
    {
        if (ACh >= 128) return Advance(ASet, &ACh, ACaseInsensitive);
        size_t k = size_t(ACh) + (ACaseInsensitive ? 128 : 0);
        TcxRegExprStateSet* set = Sets[size_t(ASet)].get();
        int r = set->Next[k];
        if (r == -2) {
            char32_t c = ACh;
            r = Advance(ASet, &c, ACaseInsensitive);
            set = Sets[size_t(ASet)].get();
            set->Next[k] = r;
            set->NextChar[k] = c;
        }
        if (r >= 0) ACh = set->NextChar[k];
        return r;
    }

    // Separator tests read the settings: what is remembered holds only while
    // the separators stay.
    void CheckSeparators()
    {
        if (FormatSettings.DateSeparator == DateSeparator &&
            FormatSettings.TimeSeparator == TimeSeparator)
            return;
        for (auto& set : Sets) {
            set->Next.fill(-2);
            set->Candidates = set->Literal = -2;
        }
        DateSeparator = FormatSettings.DateSeparator;
        TimeSeparator = FormatSettings.TimeSeparator;
    }

    int Candidates(int ASet)
    {
        int& c = Sets[size_t(ASet)]->Candidates;
        if (c == -2) {
            int r = Advance(ASet, nullptr, false);
            Sets[size_t(ASet)]->Candidates = r;
            return r;
        }
        return c;
    }

    bool IsFinal(int ASet) const { return Sets[size_t(ASet)]->Final; }

    // True when the set is not empty and every member is a simple state
    // standing for one and the same character, which is returned.
    bool SameLiteral(int ASet, char32_t& ACh)
    {
        if (ASet < 0) return false;
        int& lit = Sets[size_t(ASet)]->Literal;
        if (lit == -2) {
            lit = -1;
            bool first = true;
            char32_t x = 0;
            bool ok = true;
            for (auto* st : Sets[size_t(ASet)]->States) {
                char32_t c;
                if (st->IsBlock || !st->Test || !st->Test->GetLiteral(c)) { ok = false; break; }
                if (first) { x = c; first = false; }
                else if (c != x) { ok = false; break; }
            }
            if (ok && !first) lit = int(x);
        }
        if (lit < 0) return false;
        ACh = char32_t(lit);
        return true;
    }
};

// ---- TcxRegExpr -------------------------------------------------------------------------------------

TcxRegExpr::TcxRegExpr() = default;
TcxRegExpr::~TcxRegExpr() = default;

void TcxRegExpr::Clear()
{
    FAutomat.reset();
    FErrors.Clear();
    FSource.reset();
    FCompiled = false;
}

TStream* TcxRegExpr::GetSource() const { return FCompiled ? FSource.get() : nullptr; }

void TcxRegExpr::Compile(const std::string& ASource)
{
    TStringStream s(ASource);
    Compile(&s);
}

void TcxRegExpr::Compile(TStream* AStream)
{
    Clear();
    if (!AStream) {
        FErrors.Add(0, 0, GetResourceString(&scxRegExprNotAssignedSourceStream));
        throw EcxRegExprError(FErrors);
    }
    FSource = std::make_unique<TMemoryStream>();
    AStream->Seek(0, soBeginning);
    std::string bytes;
    char buf[4096];
    int got;
    while ((got = AStream->Read(buf, sizeof buf)) > 0) {
        bytes.append(buf, size_t(got));
        if (bytes.size() > MaxSourceBytes) break;
    }
    FSource->Write(bytes.data(), int(bytes.size()));
    FSource->Seek(0, soBeginning);

    auto automat = std::make_unique<TcxRegExprAutomat>();
    TcxRegExprCompiler c(FErrors, automat->Pool);
    c.Src = ToU32(bytes);
    if (bytes.size() > MaxSourceBytes) {
        FErrors.Add(0, 0, GetResourceString(&scxRegExprTooComplex));
        throw EcxRegExprError(FErrors);
    }
    if (std::all_of(c.Src.begin(), c.Src.end(), IsBlank)) {
        FErrors.Add(0, 0, GetResourceString(&scxRegExprEmptySourceStream));
        throw EcxRegExprError(FErrors);
    }
    c.Lex();
    if (FErrors.Count() > 0) throw EcxRegExprError(FErrors);
    c.ParseAlts(automat->Tree, false);
    if (FErrors.Count() > 0) throw EcxRegExprError(FErrors);

    automat->Start = automat->Pool.New(false);
    for (auto& alt : automat->Tree) {
        LinkAlt(*alt);
        MarkFinalAlt(*alt);
        AddFirstStates(automat->Start, *alt, 0);
        if (alt->AllCanBeEmpty()) automat->Start->Final = true;
    }
    automat->Reset();
    FAutomat = std::move(automat);
    FCompiled = true;
    // The forward completion of the start: the forced leading literals.
    if (FLiteralCompletion) ForwardCompletion();
}

// Announces and feeds every character the expression forces next.
void TcxRegExpr::ForwardCompletion()
{
    TcxRegExprAutomat& a = *FAutomat;
    a.CheckSeparators();
    char32_t x;
    while (!a.IsFinal(a.Current)) {
        int cand = a.Candidates(a.Current);
        if (!a.SameLiteral(cand, x)) break;
        if (OnLiteralAdded) OnLiteralAdded(x);
        a.History.push_back(a.Current);
        a.Current = cand;
    }
}

void TcxRegExpr::CheckCompiled() const
{
    if (!FCompiled) throw Exception(GetResourceString(&scxRegExprNotCompiled));
}

bool TcxRegExpr::Next(char32_t& ACh)
{
    CheckCompiled();
    TcxRegExprAutomat& a = *FAutomat;
    a.CheckSeparators();
    char32_t c = ACh;
    int next = a.Step(a.Current, c, FCaseInsensitive);
    if (next < 0) return false;
    ACh = c;
    a.History.push_back(a.Current);
    a.Current = next;
    if (FLiteralCompletion) ForwardCompletion();
    return true;
}

void TcxRegExpr::NextEx(const std::string& AText, std::string& AAccepted)
{
    CheckCompiled();
    bool completion = FLiteralCompletion;
    FLiteralCompletion = false;
    AAccepted.clear();
    for (char32_t ch : ToU32(AText)) {
        char32_t c = ch;
        if (Next(c)) AAccepted += ToUtf8(ch);
    }
    FLiteralCompletion = completion;
}

bool TcxRegExpr::Prev()
{
    CheckCompiled();
    TcxRegExprAutomat& a = *FAutomat;
    a.CheckSeparators();
    if (FLiteralCompletion) {
        char32_t x;
        while (a.SameLiteral(a.Current, x) && !a.History.empty()) {
            int prev = a.History.back();
            // A previous character the user chose stops the removal.
            if (!a.SameLiteral(a.Candidates(prev), x) || a.IsFinal(prev)) break;
            a.History.pop_back();
            if (OnLiteralRemoved) OnLiteralRemoved();
            a.Current = prev;
        }
    }
    if (a.History.empty()) return false;
    a.Current = a.History.back();
    a.History.pop_back();
    return true;
}

void TcxRegExpr::Reset()
{
    CheckCompiled();
    FAutomat->Reset();
}

bool TcxRegExpr::IsFinal() const
{
    CheckCompiled();
    return FAutomat->IsFinal(FAutomat->Current);
}

bool TcxRegExpr::IsStart() const
{
    CheckCompiled();
    return FAutomat->Current == FAutomat->StartSet;
}

void TcxRegExpr::SetLiteralCompletion(bool AValue, bool AComplete)
{
    if (FLiteralCompletion == AValue) return;
    FLiteralCompletion = AValue;
    if (AValue && AComplete && FCompiled) ForwardCompletion();
}

std::string TcxRegExpr::Dump() const
{
    std::string r;
    if (!FAutomat) return r;
    for (auto& alt : FAutomat->Tree) TcxRegExprParserBlockItem::DumpAlt(*alt, r);
    return r;
}
