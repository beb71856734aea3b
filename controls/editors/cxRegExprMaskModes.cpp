#include "cxRegExprMaskModes.h"

#include "Windows.h"
#include "cxEditConsts.h"

QZ_CLASS_IMPL(TcxMaskEditRegExprMode, TcxMaskEditCustomMode)
QZ_CLASS_IMPL(TcxMaskEditRegExprExMode, TcxMaskEditRegExprMode)

using cxClasses::GetResourceString;
using cxRegExpr::ToU32;
using cxRegExpr::ToUtf8;

namespace {
constexpr char32_t kBackspace = 8;
}

// ---- TcxMaskEditRegExprMode --------------------------------------------------------------

TcxMaskEditRegExprMode::TcxMaskEditRegExprMode(IcxMaskModeEdit* AEdit,
                                               IcxMaskModeProperties* AProperties)
    : TcxMaskEditCustomMode(AEdit, AProperties)
{
}

void TcxMaskEditRegExprMode::Compile(const std::string& AMask)
{
    FMask = AMask;
    FHead.clear();
    FTail.clear();
    if (cxMaskEditModes::IsBlankMask(AMask)) return;
    if (FProperties) FRegExpr.SetCaseInsensitive(FProperties->CaseInsensitive());
    try {
        FRegExpr.Compile(AMask);
    } catch (const EcxRegExprError& e) {
        std::string msg = GetResourceString(&cxSMaskEditRegExprError);
        for (int i = 0; i < e.Errors.Count(); ++i) msg += "\r\n" + e.Errors.Items(i).GetFullMessage();
        throw EcxMaskEditError(msg);
    }
}

std::u32string TcxMaskEditRegExprMode::ControlText() const
{
    return FEdit ? ToU32(FEdit->InnerText()) : std::u32string();
}

int TcxMaskEditRegExprMode::Caret() const { return FEdit ? FEdit->GetCaretCharIndex() : 0; }

std::string TcxMaskEditRegExprMode::GetFormattedText(const std::string& AText)
{
    if (!FRegExpr.IsCompiled()) return std::string();
    FRegExpr.Reset();
    std::u32string r;
    for (char32_t c : ToU32(AText))
        if (FRegExpr.Next(c)) r += c;
    return ToUtf8(r);
}

bool TcxMaskEditRegExprMode::FeedsWhole(const std::u32string& AText, bool AFinal)
{
    TcxRegExpr r;
    r.SetCaseInsensitive(FRegExpr.CaseInsensitive());
    try {
        r.Compile(FMask);
    } catch (const EcxRegExprError&) {
        return false;
    }
    for (char32_t c : AText)
        if (!r.Next(c)) return false;
    return !AFinal || r.IsFinal();
}

bool TcxMaskEditRegExprMode::IsFullValidText(const std::string& AText)
{
    if (AText.empty()) return true;
    if (!FRegExpr.IsCompiled()) return false;
    return FeedsWhole(ToU32(AText), !(FProperties && FProperties->IgnoreMaskBlank()));
}

bool TcxMaskEditRegExprMode::IsCursorBegin() { return FEdit && FEdit->SelStart() == 0; }

bool TcxMaskEditRegExprMode::IsCursorEnd()
{
    return FEdit && FEdit->SelStart() == int(ControlText().size());
}

void TcxMaskEditRegExprMode::Resync()
{
    if (!FRegExpr.IsCompiled()) return;
    std::u32string text = ControlText();
    if (!((FHead.empty() && FTail.empty() && !text.empty()) || FResync)) return;
    FResync = false;
    FRegExpr.Reset();
    FTail = text;
    FHead.clear();
    int caret = Caret();
    for (int i = 0; i < caret && !FTail.empty(); ++i) {
        char32_t c = FTail[0];
        FRegExpr.Next(c);
        FHead += FTail[0];
        FTail.erase(0, 1);
    }
}

bool TcxMaskEditRegExprMode::TailFits()
{
    int fed = 0;
    bool fits = true;
    for (char32_t ch : FTail) {
        char32_t c = ch;
        if (!FRegExpr.Next(c)) { fits = false; break; }
        ++fed;
    }
    for (int i = 0; i < fed; ++i) FRegExpr.Prev();
    return fits;
}

void TcxMaskEditRegExprMode::Truncate()
{
    if (!FEdit) return;
    std::u32string text = ControlText();
    size_t caret = size_t(std::min<int>(Caret(), int(text.size())));
    text.erase(caret, std::min(FTail.size(), text.size() - caret));
    FEdit->SetDisplayValue(ToUtf8(text));
    FEdit->SetSelStart(int(text.size()));
    FEdit->SetSelLength(0);
    FTail.clear();
}

void TcxMaskEditRegExprMode::MoveLeftOne()
{
    if (FHead.empty()) return;
    FRegExpr.Prev();
    FTail.insert(FTail.begin(), FHead.back());
    FHead.pop_back();
}

void TcxMaskEditRegExprMode::MoveRightOne()
{
    if (FTail.empty()) return;
    char32_t c = FTail[0];
    FRegExpr.Next(c);
    FHead += FTail[0];
    FTail.erase(0, 1);
}

void TcxMaskEditRegExprMode::CutSelection()
{
    FRemovedSelection.clear();
    if (!FEdit || FEdit->SelLength() == 0) return;
    size_t start = size_t(FEdit->SelStart()), len = size_t(FEdit->SelLength());
    if (start == FHead.size()) {
        FRemovedSelection = FTail.substr(0, len);
        FTail.erase(0, FRemovedSelection.size());
        FBeginCursor = true;
    } else if (start + len == FHead.size()) {
        FRemovedSelection = FHead.substr(start);
        FHead.resize(start);
        for (size_t i = 0; i < len; ++i) FRegExpr.Prev();
        FBeginCursor = false;
    }
}

void TcxMaskEditRegExprMode::RestoreSelection()
{
    if (FRemovedSelection.empty()) return;
    if (FBeginCursor) {
        FTail = FRemovedSelection + FTail;
    } else {
        for (char32_t ch : FRemovedSelection) {
            char32_t c = ch;
            FRegExpr.Next(c);
        }
        FHead += FRemovedSelection;
    }
    FRemovedSelection.clear();
}

void TcxMaskEditRegExprMode::GotoEnd()
{
    Resync();
    while (!FTail.empty()) MoveRightOne();
}

bool TcxMaskEditRegExprMode::PressEnd()
{
    GotoEnd();
    return true;
}

bool TcxMaskEditRegExprMode::PressHome()
{
    Resync();
    FTail = FHead + FTail;
    FHead.clear();
    if (FRegExpr.IsCompiled()) FRegExpr.Reset();
    return true;
}

bool TcxMaskEditRegExprMode::PressLeft()
{
    Resync();
    if (FHead.empty() || !FEdit) return true;
    int start = FEdit->SelStart(), len = FEdit->SelLength();
    bool shift = FEdit->ShiftDown();
    if (len > 0 && !shift && start + len == int(FHead.size())) {
        for (int i = 0; i < len; ++i) MoveLeftOne();
    } else if (len > 0 && !shift && start == int(FHead.size())) {
        // The inner edit collapses the selection to the caret.
    } else {
        MoveLeftOne();
    }
    return true;
}

bool TcxMaskEditRegExprMode::PressRight()
{
    Resync();
    if (FTail.empty() || !FEdit) return true;
    int start = FEdit->SelStart(), len = FEdit->SelLength();
    bool shift = FEdit->ShiftDown();
    if (len > 0 && !shift && start == int(FHead.size())) {
        for (int i = 0; i < len; ++i) MoveRightOne();
    } else if (len > 0 && !shift && start + len == int(FHead.size())) {
    } else {
        MoveRightOne();
    }
    return true;
}

bool TcxMaskEditRegExprMode::PressSymbol(char32_t& AKey)
{
    if (!FRegExpr.IsCompiled() || !FEdit) return true;
    Resync();
    if (FEdit->SelLength() > 0) CutSelection();
    bool passOn = true;
    char32_t c = AKey;
    if (FRegExpr.Next(c)) {
        AKey = c;
        FHead += c;
        if (!TailFits()) {
            if (!FRemovedSelection.empty()) {
                // The inner edit replaces the selection through own messages.
                FEdit->SendOwnKeyDown(VK_DELETE);
                FEdit->SendOwnChar(c);
                passOn = false;
            }
            Truncate();
        }
    } else {
        RestoreSelection();
        passOn = false;
    }
    if (!passOn) Beep();
    FRemovedSelection.clear();
    return passOn;
}

// Deleting the selection (by Backspace or Delete): the inner edit deletes it,
// unless the tail no longer fits; then the edit deletes it through an own
// message and the tail is cut off, with a beep.
bool TcxMaskEditRegExprMode::DeleteSelection(bool ABackspace)
{
    CutSelection();
    if (TailFits()) return true;
    if (ABackspace) FEdit->SendOwnChar(kBackspace);
    else FEdit->SendOwnKeyDown(VK_DELETE);
    Truncate();
    Beep();
    return false;
}

bool TcxMaskEditRegExprMode::PressBackspace()
{
    if (!FRegExpr.IsCompiled() || !FEdit) return true;
    Resync();
    bool passOn = true;
    if (FEdit->SelLength() > 0) {
        passOn = DeleteSelection(true);
    } else if (!FHead.empty()) {
        FRegExpr.Prev();
        FHead.pop_back();
        if (!TailFits()) Truncate();
    }
    FRemovedSelection.clear();
    return passOn;
}

bool TcxMaskEditRegExprMode::PressDelete()
{
    if (!FRegExpr.IsCompiled() || !FEdit) return true;
    Resync();
    bool passOn = true;
    if (FEdit->SelLength() > 0) {
        passOn = DeleteSelection(false);
    } else if (!FTail.empty()) {
        FRemovedSelection = FTail.substr(0, 1);
        FTail.erase(0, 1);
        if (!TailFits()) {
            // Everything after the caret goes: all but one character here,
            // the last one by the inner edit's own Delete.
            Truncate();
            int len = int(ControlText().size());
            FEdit->SetSelStart(len - 1);
            FEdit->SetSelLength(0);
        }
    }
    FRemovedSelection.clear();
    return passOn;
}

void TcxMaskEditRegExprMode::SetText(const std::string& AText)
{
    if (FRegExpr.IsCompiled()) FRegExpr.Reset();
    std::u32string text = ToU32(AText);
    FHead.clear();
    if (InsertedLength < 1 || text.empty() || !FEdit) {
        FTail = text;
    } else {
        size_t n = std::min(text.size(), size_t(FEdit->SelStart() + InsertedLength));
        FHead = text.substr(0, n);
        FTail = text.substr(n);
        if (FRegExpr.IsCompiled())
            for (char32_t ch : FHead) {
                char32_t c = ch;
                FRegExpr.Next(c);
            }
    }
    InsertedLength = 0;
}

void TcxMaskEditRegExprMode::SynchronizeEditValue()
{
    TcxMaskEditCustomMode::SynchronizeEditValue();
    if (!IsEditAvailable()) return;
    FHead = ControlText();
    FTail.clear();
    FEdit->SetSelStart(int(FHead.size()));
    FEdit->SetSelLength(0);
    if (FRegExpr.IsCompiled()) {
        FRegExpr.Reset();
        std::string accepted;
        FRegExpr.NextEx(ToUtf8(FHead), accepted);
    }
}

// ---- TcxMaskEditRegExprExMode ------------------------------------------------------------

TcxMaskEditRegExprExMode::TcxMaskEditRegExprExMode(IcxMaskModeEdit* AEdit,
                                                   IcxMaskModeProperties* AProperties)
    : TcxMaskEditRegExprMode(AEdit, AProperties)
{
    FRegExpr.OnLiteralAdded = [this](char32_t c) { FAddedLiterals += c; };
    FRegExpr.OnLiteralRemoved = [this] { ++FRemovedLiteralCount; };
    FRegExpr.SetLiteralCompletion(true);
}

void TcxMaskEditRegExprExMode::ClearAddedLiterals()
{
    FAddedLiterals.clear();
    FRemovedLiteralCount = 0;
}

void TcxMaskEditRegExprExMode::Compile(const std::string& AMask)
{
    ClearAddedLiterals();
    FLeadingLiterals.clear();
    TcxMaskEditRegExprMode::Compile(AMask);
    // The compile's forward completion collected the forced leading literals.
    FLeadingLiterals = FAddedLiterals;
    FNeedsEmptyText = !IsEditAvailable();
}

std::string TcxMaskEditRegExprExMode::GetEmptyString() { return ToUtf8(FLeadingLiterals); }

void TcxMaskEditRegExprExMode::UpdateEditValue()
{
    if (!FNeedsEmptyText || !FEdit) return;
    FNeedsEmptyText = false;
    FEdit->ChangeEditValue(ToUtf8(FLeadingLiterals));
}

std::string TcxMaskEditRegExprExMode::GetFormattedText(const std::string& AText)
{
    if (!FRegExpr.IsCompiled()) return std::string();
    CompletionOff();
    std::string r = TcxMaskEditRegExprMode::GetFormattedText(AText);
    ClearAddedLiterals();
    FRegExpr.SetLiteralCompletion(true);   // the literals forced after the text
    return r + ToUtf8(FAddedLiterals);
}

bool TcxMaskEditRegExprExMode::IsFullValidText(const std::string& AText)
{
    if (!FRegExpr.IsCompiled()) return false;
    std::u32string text = ToU32(AText);
    if (text == FLeadingLiterals) return true;   // nothing typed
    return FeedsWhole(text, !(FProperties && FProperties->IgnoreMaskBlank()));
}

void TcxMaskEditRegExprExMode::MoveRightStep()
{
    if (FTail.empty()) return;
    ClearAddedLiterals();
    char32_t c = FTail[0];
    FRegExpr.Next(c);
    size_t n = std::min(FTail.size(), 1 + FAddedLiterals.size());
    FHead += FTail.substr(0, n);
    FTail.erase(0, n);
}

void TcxMaskEditRegExprExMode::MoveLeftStep()
{
    if (FHead.empty()) return;
    ClearAddedLiterals();
    FRegExpr.Prev();
    size_t n = std::min(FHead.size(), size_t(FRemovedLiteralCount) + 1);
    FTail = FHead.substr(FHead.size() - n) + FTail;
    FHead.resize(FHead.size() - n);
}

void TcxMaskEditRegExprExMode::Resync()
{
    if (!FRegExpr.IsCompiled() || !IsEditAvailable()) return;
    std::u32string text = ControlText();
    if (FHead.empty() && FTail.empty() && !text.empty()) {
        FTail = text;
        FRegExpr.Reset();
        FResync = true;
    }
    if (!FResync) return;
    FResync = false;
    int a = FEdit->SelStart();
    int e = a + FEdit->SelLength();
    while (int(FHead.size()) < a && !FTail.empty()) MoveRightStep();
    if (int(FHead.size()) > a) {
        MoveLeftStep();
        FEdit->SetSelStart(int(FHead.size()));
        FEdit->SetSelLength(0);
    }
    while (int(FHead.size()) > a) MoveLeftStep();
    if (int(FHead.size()) < a) {
        FEdit->SetSelStart(int(FHead.size()));
        FEdit->SetSelLength(0);
    }
    a = int(FHead.size());
    if (a < e) {
        while (int(FHead.size()) < e && !FTail.empty()) MoveRightStep();
        FEdit->SetSelStart(a);
        FEdit->SetSelLength(int(FHead.size()) - a);
    }
}

void TcxMaskEditRegExprExMode::CutSelection()
{
    CompletionOff();
    TcxMaskEditRegExprMode::CutSelection();
    CompletionOn();
    ClearAddedLiterals();
}

void TcxMaskEditRegExprExMode::RestoreSelection()
{
    CompletionOff();
    TcxMaskEditRegExprMode::RestoreSelection();
    CompletionOn();
    ClearAddedLiterals();
}

void TcxMaskEditRegExprExMode::GotoEnd()
{
    CompletionOff();
    TcxMaskEditRegExprMode::GotoEnd();
    CompletionOn();
}

bool TcxMaskEditRegExprExMode::PressEnd()
{
    GotoEnd();
    return true;
}

bool TcxMaskEditRegExprExMode::PressHome()
{
    Resync();
    ClearAddedLiterals();
    return TcxMaskEditRegExprMode::PressHome();
}

bool TcxMaskEditRegExprExMode::KeepLeadingLiterals()
{
    if (FEdit->SelStart() != 0 || FLeadingLiterals.empty()) return false;
    std::u32string text = ControlText();
    int len = FEdit->SelLength();
    int lead = int(FLeadingLiterals.size());
    CompletionOff();
    FRegExpr.Reset();
    for (char32_t ch : FLeadingLiterals) {
        char32_t c = ch;
        FRegExpr.Next(c);
    }
    CompletionOn();
    FHead = FLeadingLiterals;
    FTail = text.size() > size_t(lead) ? text.substr(size_t(lead)) : std::u32string();
    FEdit->SetSelStart(lead);
    FEdit->SetSelLength(std::max(0, len - lead));
    ClearAddedLiterals();
    return true;
}

void TcxMaskEditRegExprExMode::RefreshTail()
{
    ClearAddedLiterals();
    if (FTail.empty()) return;
    int caret = FEdit->SelStart();
    for (char32_t ch : FTail) {
        char32_t c = ch;
        FRegExpr.Next(c);
    }
    FEdit->SetSelStart(caret + int(FTail.size()));
    FEdit->SetSelLength(0);
    FRegExpr.SetLiteralCompletion(true);
    std::u32string added = FAddedLiterals;
    CompletionOff();
    FTail += added;
    for (char32_t c : added) FEdit->SendOwnChar(c);
    for (size_t i = 0; i < FTail.size(); ++i) FRegExpr.Prev();
    FEdit->SetSelStart(caret);
    FEdit->SetSelLength(0);
    ClearAddedLiterals();
}

void TcxMaskEditRegExprExMode::RefitTail()
{
    CompletionOff();
    if (TailFits()) RefreshTail();
    else Truncate();
    CompletionOn();
}

bool TcxMaskEditRegExprExMode::PressSymbol(char32_t& AKey)
{
    if (!FRegExpr.IsCompiled() || !FEdit) return true;
    Resync();
    ClearAddedLiterals();
    if (FEdit->SelLength() > 0) {
        if (KeepLeadingLiterals()) return PressSymbol(AKey);
        CutSelection();
    }
    char32_t c = AKey;
    if (FRegExpr.Next(c)) {
        AKey = c;
        std::u32string added = FAddedLiterals;
        FHead += c;
        FHead += added;
        FEdit->SendOwnChar(c);
        for (char32_t l : added) FEdit->SendOwnChar(l);
        RefitTail();
    } else {
        RestoreSelection();
        Beep();
    }
    FRemovedSelection.clear();
    ClearAddedLiterals();
    return false;
}

bool TcxMaskEditRegExprExMode::PressBackspace()
{
    if (!FRegExpr.IsCompiled() || !FEdit) return true;
    Resync();
    ClearAddedLiterals();
    if (FEdit->SelLength() > 0) {
        if (KeepLeadingLiterals()) return PressBackspace();
        CutSelection();
        FEdit->SendOwnChar(kBackspace);
        RefitTail();
    } else if (!FHead.empty()) {
        FRegExpr.Prev();
        int counted = FRemovedLiteralCount;
        if (FRegExpr.IsStart() && int(FHead.size()) == counted) {
            // Only forced leading literals lie before the caret: they stay.
            char32_t c = FHead[0];
            FRegExpr.Next(c);
            Beep();
        } else {
            size_t n = std::min(FHead.size(), size_t(counted) + 1);
            FHead.resize(FHead.size() - n);
            for (size_t i = 0; i < n; ++i) FEdit->SendOwnChar(kBackspace);
            RefitTail();
        }
    }
    FRemovedSelection.clear();
    ClearAddedLiterals();
    return false;
}

bool TcxMaskEditRegExprExMode::PressDelete()
{
    if (!FRegExpr.IsCompiled() || !FEdit) return true;
    Resync();
    ClearAddedLiterals();
    if (FEdit->SelLength() > 0) return PressBackspace();
    if (FTail.empty()) return false;
    if (FHead.empty() && !FLeadingLiterals.empty()) {
        Beep();   // forced leading literals cannot be deleted
        return false;
    }
    char32_t c = FTail[0];
    size_t n = 1;
    if (FRegExpr.Next(c)) {
        n = std::min(FTail.size(), 1 + FAddedLiterals.size());
        CompletionOff();
        // Back over the character and the literals it forced.
        for (size_t i = 0; i < 1 + FAddedLiterals.size(); ++i) FRegExpr.Prev();
        CompletionOn();
    }
    for (size_t i = 0; i < n; ++i) FEdit->SendOwnKeyDown(VK_DELETE);
    FTail.erase(0, n);
    RefitTail();
    ClearAddedLiterals();
    return false;
}

bool TcxMaskEditRegExprExMode::PressLeft()
{
    if (!FEdit) return true;
    Resync();
    ClearAddedLiterals();
    int start = FEdit->SelStart(), len = FEdit->SelLength();
    bool shift = FEdit->ShiftDown();
    if (len > 0 && !shift && start + len == int(FHead.size())) {
        CompletionOff();
        TcxMaskEditRegExprMode::PressLeft();
        CompletionOn();
        return true;
    }
    if (len > 0 && !shift && start == int(FHead.size())) return true;
    int caret = int(FHead.size());
    TcxMaskEditRegExprMode::PressLeft();
    int counted = FRemovedLiteralCount;
    if (FRegExpr.IsStart() && counted > 0 && counted == (caret > 0 ? caret : len)) --counted;
    for (int i = 0; i < counted && !FHead.empty(); ++i) {
        FTail.insert(FTail.begin(), FHead.back());
        FHead.pop_back();
        FEdit->SendOwnKeyDown(VK_LEFT, shift);
    }
    ClearAddedLiterals();
    return true;
}

bool TcxMaskEditRegExprExMode::PressRight()
{
    if (!FEdit) return true;
    Resync();
    ClearAddedLiterals();
    int start = FEdit->SelStart(), len = FEdit->SelLength();
    bool shift = FEdit->ShiftDown();
    if (len > 0 && !shift && start == int(FHead.size())) {
        CompletionOff();
        TcxMaskEditRegExprMode::PressRight();
        CompletionOn();
        return true;
    }
    if (len > 0 && !shift && start + len == int(FHead.size())) return true;
    TcxMaskEditRegExprMode::PressRight();
    std::u32string added = FAddedLiterals;
    for (size_t i = 0; i < added.size() && !FTail.empty(); ++i) {
        FHead += FTail[0];
        FTail.erase(0, 1);
        FEdit->SendOwnKeyDown(VK_RIGHT, shift);
    }
    ClearAddedLiterals();
    return true;
}

void TcxMaskEditRegExprExMode::SetText(const std::string& AText)
{
    if (!FRegExpr.IsCompiled()) {
        TcxMaskEditRegExprMode::SetText(AText);
        return;
    }
    CompletionOff();
    FRegExpr.Reset();
    std::string accepted;
    FRegExpr.NextEx(AText, accepted);
    ClearAddedLiterals();
    FRegExpr.SetLiteralCompletion(true);
    FHead = ToU32(AText) + FAddedLiterals;
    FTail.clear();
    ClearAddedLiterals();
    if (IsEditAvailable()) {
        FResync = true;
        Resync();
    }
    InsertedLength = 0;
}
