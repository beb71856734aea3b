// The regular-expression mask modes. The text is kept split at the caret: a
// head, fed to the expression, and a tail, which must still fit behind it. A
// typed character is accepted only when the expression can continue with it;
// a tail that no longer fits is cut off. The extended mode adds literal
// completion: characters the expression forces are inserted automatically,
// caret moves jump over them, deleting removes them together with the
// character typed before them, and forced leading characters stay.
#pragma once

#include "cxMaskEditModes.h"
#include "cxRegExpr.h"

#include <string>

class TcxMaskEditRegExprMode : public TcxMaskEditCustomMode {
    QZ_CLASS(TcxMaskEditRegExprMode, TcxMaskEditCustomMode)
public:
    TcxMaskEditRegExprMode(IcxMaskModeEdit* AEdit, IcxMaskModeProperties* AProperties);

    TcxEditMaskKind GetMaskKind() const override { return emkRegExpr; }
    void Compile(const std::string& AMask) override;
    std::string GetEmptyString() override { return std::string(); }
    std::string GetFormattedText(const std::string& AText) override;
    void GotoEnd() override;
    bool IsCursorBegin() override;
    bool IsCursorEnd() override;
    bool IsFullValidText(const std::string& AText) override;
    void CorrectSelection() override { FResync = true; }
    bool PressBackspace() override;
    bool PressDelete() override;
    bool PressEnd() override;
    bool PressHome() override;
    bool PressLeft() override;
    bool PressRight() override;
    bool PressSymbol(char32_t& AKey) override;
    void SetText(const std::string& AText) override;
    void SynchronizeEditValue() override;
    std::string GetValueFromText(const std::string& AText) override { return AText; }

    virtual void CutSelection();
    virtual void RestoreSelection();

    // Takes the properties' case-insensitive setting into the expression.
    void SetCaseInsensitive(bool AValue) { FRegExpr.SetCaseInsensitive(AValue); }
    const std::u32string& Head() const { return FHead; }
    const std::u32string& Tail() const { return FTail; }

protected:
    virtual void Resync();
    bool TailFits();
    void Truncate();
    bool DeleteSelection(bool ABackspace);
    void MoveLeftOne();
    void MoveRightOne();
    // Whether the whole text is accepted by a fresh copy of the expression
    // (and, when AFinal, complete).
    bool FeedsWhole(const std::u32string& AText, bool AFinal);
    std::u32string ControlText() const;
    int Caret() const;

    bool FBeginCursor = false;
    std::u32string FHead;
    TcxRegExpr FRegExpr;
    std::u32string FRemovedSelection;
    std::u32string FTail;
    bool FResync = false;
};

class TcxMaskEditRegExprExMode : public TcxMaskEditRegExprMode {
    QZ_CLASS(TcxMaskEditRegExprExMode, TcxMaskEditRegExprMode)
public:
    TcxMaskEditRegExprExMode(IcxMaskModeEdit* AEdit, IcxMaskModeProperties* AProperties);

    TcxEditMaskKind GetMaskKind() const override { return emkRegExprEx; }
    void Compile(const std::string& AMask) override;
    std::string GetEmptyString() override;
    std::string GetFormattedText(const std::string& AText) override;
    void GotoEnd() override;
    bool IsFullValidText(const std::string& AText) override;
    void BeforePaste() override { Resync(); }
    bool PressBackspace() override;
    bool PressDelete() override;
    bool PressEnd() override;
    bool PressHome() override;
    bool PressLeft() override;
    bool PressRight() override;
    bool PressSymbol(char32_t& AKey) override;
    void SetText(const std::string& AText) override;
    void UpdateEditValue() override;
    void CutSelection() override;
    void RestoreSelection() override;

protected:
    void Resync() override;

private:
    void ClearAddedLiterals();
    void MoveRightStep();
    void MoveLeftStep();
    void RefreshTail();
    // Tail refitted after an edit: refreshed when it still fits, cut off when not.
    void RefitTail();
    // Completion switched without completing at once.
    void CompletionOff() { FRegExpr.SetLiteralCompletion(false); }
    void CompletionOn() { FRegExpr.SetLiteralCompletion(true, false); }
    // A selection starting inside the forced leading literals loses them:
    // they stay, and the selection keeps only what follows them.
    bool KeepLeadingLiterals();

    std::u32string FLeadingLiterals;
    int FRemovedLiteralCount = 0;
    std::u32string FAddedLiterals;
};
