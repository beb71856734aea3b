// The mask edits' regular-expression engine: a lexer, a parser, a linker and
// a nondeterministic automaton that is fed one character at a time, forward
// and backward, so that an edit can accept or refuse each typed character,
// undo the last one, tell whether the text is complete and insert the
// characters the expression forces (literal completion).
//
// Characters are Unicode code points; text goes in and out as UTF-8.
#pragma once

#include "Exceptions.h"
#include "Streams.h"
#include "System.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// One compile error: its line (0 for errors of the whole expression), its
// position in the line (0 when none) and its message.
class TcxRegExprError : public TObject {
    QZ_CLASS(TcxRegExprError, TObject)
public:
    TcxRegExprError(int ALine, int APosition, std::string AMessage)
        : Line(ALine), Position(APosition), Message(std::move(AMessage)) {}
    int Line;
    int Position;
    std::string Message;
    // "Line3, Char5: message"; the message alone for line 0.
    std::string GetFullMessage() const;
};

class TcxRegExprErrors {
public:
    void Add(int ALine, int APosition, const std::string& AMessage);
    int Count() const { return int(FItems.size()); }
    const TcxRegExprError& Items(int Index) const { return *FItems.at(size_t(Index)); }
    void Clear() { FItems.clear(); }

private:
    std::vector<std::shared_ptr<TcxRegExprError>> FItems;
};

// Raised by Compile with every error collected; its message is empty, the
// catcher formats the errors.
class EcxRegExprError : public Exception {
public:
    explicit EcxRegExprError(TcxRegExprErrors AErrors)
        : Exception(std::string()), Errors(std::move(AErrors)) {}
    const char* ClassName() const override { return "EcxRegExprError"; }
    TcxRegExprErrors Errors;
};

class TcxRegExprAutomat;
struct TcxRegExprCompiler;

class TcxRegExpr : public TObject {
    QZ_CLASS(TcxRegExpr, TObject)
public:
    TcxRegExpr();
    ~TcxRegExpr() override;

    // Compiles the expression read from the stream (from its start); raises
    // EcxRegExprError with all errors found. A null stream is an error too.
    void Compile(TStream* AStream);
    // The same from a text.
    void Compile(const std::string& ASource);
    bool IsCompiled() const { return FCompiled; }
    // The source while compiled, else null.
    TStream* GetSource() const;
    const TcxRegExprErrors& Errors() const { return FErrors; }

    // Feeds one character; false (and nothing changes) when refused. With the
    // case-insensitive flag the character takes the expression's letter case.
    bool Next(char32_t& ACh);
    // Feeds every character of AText; AAccepted receives the accepted ones in
    // the letter case of AText. No literal completion runs in between.
    void NextEx(const std::string& AText, std::string& AAccepted);
    // Steps back over the last accepted character; false when none was fed.
    bool Prev();
    void Reset();
    bool IsFinal() const;
    bool IsStart() const;

    bool CaseInsensitive() const { return FCaseInsensitive; }
    void SetCaseInsensitive(bool AValue) { FCaseInsensitive = AValue; }
    bool LiteralCompletion() const { return FLiteralCompletion; }
    // Switching it on in a compiled expression runs the forward completion,
    // unless AComplete is false (the expression then completes from the next
    // character on).
    void SetLiteralCompletion(bool AValue, bool AComplete = true);

    // A text of the parse tree (for diagnostics).
    std::string Dump() const;

    std::function<void(char32_t)> OnLiteralAdded;
    std::function<void()> OnLiteralRemoved;

private:
    void CheckCompiled() const;
    void ForwardCompletion();
    void Clear();

    std::unique_ptr<TcxRegExprAutomat> FAutomat;
    bool FCaseInsensitive = false;
    bool FCompiled = false;
    TcxRegExprErrors FErrors;
    std::unique_ptr<TMemoryStream> FSource;
    bool FLiteralCompletion = false;

    friend class TcxRegExprAutomat;
};

// UTF-8 helpers shared by the mask code.
namespace cxRegExpr {
std::u32string ToU32(const std::string& AText);
std::string ToUtf8(const std::u32string& AText);
std::string ToUtf8(char32_t ACh);
}  // namespace cxRegExpr
