#include "cxStandardMask.h"

#include "SysUtils.h"
#include "Windows.h"
#include "cxRegExpr.h"

QZ_CLASS_IMPL(TcxStandardMask, TObject)
QZ_CLASS_IMPL(TcxMaskEditStandardMode, TcxMaskEditCustomMode)

using cxRegExpr::ToU32;
using cxRegExpr::ToUtf8;

namespace {
bool IsAsciiLetter(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char32_t c) { return c >= '0' && c <= '9'; }
}

bool TcxStandardMaskManyItem::Check(char32_t& ACh) const
{
    bool ok = Accepts(ACh);
    if (CaseControl == smccUpper && ACh >= 'a' && ACh <= 'z') ACh -= 32;
    else if (CaseControl == smccLower && ACh >= 'A' && ACh <= 'Z') ACh += 32;
    return ok;
}

bool TcxStandardMaskAlphaItem::Accepts(char32_t c) const { return IsAsciiLetter(c); }
bool TcxStandardMaskAlphaNumericItem::Accepts(char32_t c) const
{
    return IsAsciiLetter(c) || IsAsciiDigit(c);
}
bool TcxStandardMaskASCIIItem::Accepts(char32_t) const { return true; }
bool TcxStandardMaskNumericItem::Accepts(char32_t c) const { return IsAsciiDigit(c); }
bool TcxStandardMaskNumericSymbolItem::Accepts(char32_t c) const
{
    return IsAsciiDigit(c) || c == '+' || c == '-';
}

// ---- TcxStandardMask --------------------------------------------------------------

void TcxStandardMask::SetMask(const std::string& AMask)
{
    FMask.clear();
    FLeadingExclamation = false;
    FSaveLiterals = true;
    FBlank = '_';
    FItems.clear();
    FMask = AMask;
    std::u32string t = ToU32(AMask);
    if (!t.empty() && t[0] == '!') {
        FLeadingExclamation = true;
        t.erase(0, 1);
    }
    auto cc = smccNone;
    size_t n = t.size();
    auto literal = [&](char32_t c) { FItems.push_back(std::make_unique<TcxStandardMaskLiteralItem>(c)); };
    for (size_t i = 0; i < n; ++i) {
        char32_t c = t[i];
        switch (c) {
        case '\\':
            if (i + 1 < n) literal(t[++i]);
            break;
        case '>': cc = smccUpper; break;
        case '<':
            if (i + 1 < n && t[i + 1] == '>') { cc = smccNone; ++i; }
            else cc = smccLower;
            break;
        case ';': {
            size_t rest = n - i - 1;
            if (rest == 3 && (t[i + 1] == '0' || t[i + 1] == '1') && t[i + 2] == ';') {
                FSaveLiterals = t[i + 1] == '1';
                FBlank = t[i + 3];
                return;
            }
            if (rest == 1 && (t[i + 1] == '0' || t[i + 1] == '1')) {
                FSaveLiterals = t[i + 1] == '1';
                return;
            }
            literal(c);
            break;
        }
        case '0': FItems.push_back(std::make_unique<TcxStandardMaskNumericItem>(cc, false)); break;
        case '9': FItems.push_back(std::make_unique<TcxStandardMaskNumericItem>(cc, true)); break;
        case '#': FItems.push_back(std::make_unique<TcxStandardMaskNumericSymbolItem>(cc, true)); break;
        case 'L': FItems.push_back(std::make_unique<TcxStandardMaskAlphaItem>(cc, false)); break;
        case 'l': FItems.push_back(std::make_unique<TcxStandardMaskAlphaItem>(cc, true)); break;
        case 'A': FItems.push_back(std::make_unique<TcxStandardMaskAlphaNumericItem>(cc, false)); break;
        case 'a': FItems.push_back(std::make_unique<TcxStandardMaskAlphaNumericItem>(cc, true)); break;
        case 'C': FItems.push_back(std::make_unique<TcxStandardMaskASCIIItem>(cc, false)); break;
        case 'c': FItems.push_back(std::make_unique<TcxStandardMaskASCIIItem>(cc, true)); break;
        // The separators in force when the mask is compiled.
        case '/': literal(static_cast<unsigned char>(FormatSettings.DateSeparator)); break;
        case ':': literal(static_cast<unsigned char>(FormatSettings.TimeSeparator)); break;
        default: literal(c);
        }
    }
}

std::string TcxStandardMask::GetTemplate() const
{
    std::u32string r;
    for (auto& i : FItems)
        r += i->IsLiteral() ? static_cast<TcxStandardMaskLiteralItem&>(*i).Literal : FBlank;
    return ToUtf8(r);
}

std::string TcxStandardMask::GetEmptyValue() const
{
    std::u32string r;
    for (auto& i : FItems) {
        if (!i->IsLiteral()) r += U' ';
        else if (FSaveLiterals) r += static_cast<TcxStandardMaskLiteralItem&>(*i).Literal;
    }
    return ToUtf8(r);
}

void TcxStandardMask::Merge(std::string& AText, bool AUseConverted) const
{
    std::u32string r = ToU32(GetTemplate());
    std::vector<bool> filled(FItems.size(), false);
    for (char32_t c : ToU32(AText)) {
        for (size_t p = 0; p < FItems.size(); ++p) {
            if (filled[p]) continue;
            char32_t cc = c;
            if (FItems[p]->Check(cc)) {
                r[p] = AUseConverted ? cc : c;
                filled[p] = true;
                break;
            }
            if ((c == FBlank || c == ' ') && !FItems[p]->IsLiteral()) {
                r[p] = FBlank;
                filled[p] = true;
                break;
            }
        }
    }
    AText = ToUtf8(r);
}

bool TcxStandardMask::IsValid(std::string& AText) const
{
    std::u32string t = ToU32(AText);
    if (t.size() != FItems.size()) return false;
    bool ok = true;
    for (size_t p = 0; p < t.size() && ok; ++p) {
        char32_t c = t[p];
        if (FItems[p]->Check(c)) { t[p] = c; continue; }
        auto* many = dynamic_cast<const TcxStandardMaskManyItem*>(FItems[p].get());
        ok = many && many->Optional && (t[p] == FBlank || t[p] == ' ');
    }
    AText = ToUtf8(t);
    return ok;
}

void TcxStandardMask::Strip(std::string& AText) const
{
    std::u32string t = ToU32(AText), r;
    size_t n = std::min(t.size(), FItems.size());
    for (size_t p = 0; p < n; ++p) {
        if (!FSaveLiterals && FItems[p]->IsLiteral()) continue;
        r += t[p] == FBlank ? U' ' : t[p];
    }
    AText = ToUtf8(r);
}

// ---- TcxMaskEditStandardMode -----------------------------------------------------------

int TcxMaskEditStandardMode::TextLength() const
{
    return FEdit ? int(ToU32(FEdit->InnerText()).size()) : 0;
}

bool TcxMaskEditStandardMode::IsLiteralAt(int APos) const
{
    return APos >= 0 && APos < FStandardMask.Count() && FStandardMask.Items(APos).IsLiteral();
}

bool TcxMaskEditStandardMode::IsEditableAt(int APos) const
{
    return APos >= 0 && APos < FStandardMask.Count() && !FStandardMask.Items(APos).IsLiteral();
}

void TcxMaskEditStandardMode::Compile(const std::string& AMask)
{
    FMask = AMask;
    if (cxMaskEditModes::IsBlankMask(AMask)) {
        FStandardMask.SetMask(std::string());
        return;
    }
    FStandardMask.SetMask(AMask);
    FNeedsEmptyText = !IsEditAvailable();
}

std::string TcxMaskEditStandardMode::GetFormattedText(const std::string& AText)
{
    std::string r = AText;
    FStandardMask.Merge(r, true);
    return r;
}

std::string TcxMaskEditStandardMode::GetValueFromText(const std::string& AText)
{
    if (FStandardMask.Count() == 0) return AText;
    std::string r = AText;
    FStandardMask.Merge(r, FProperties ? FProperties->CharCaseValue() == 0 : true);
    FStandardMask.Strip(r);
    return r;
}

bool TcxMaskEditStandardMode::IsFullValidText(const std::string& AText)
{
    std::string t = AText;
    if (FStandardMask.IsValid(t)) return true;
    // Nothing typed at all.
    return FProperties && FProperties->IgnoreMaskBlank() && AText == FStandardMask.GetTemplate();
}

bool TcxMaskEditStandardMode::IsCursorBegin()
{
    if (!FEdit) return true;
    // The overwrite caret selects the character it stands on: its position
    // is the selection's start, whichever end the caret index reports.
    int caret = FEdit->SelLength() == 1 ? FEdit->SelStart() : FEdit->GetCaretCharIndex();
    for (int p = 0; p < caret; ++p)
        if (IsEditableAt(p)) return false;
    return FEdit->SelLength() < 2 || caret == FEdit->SelStart();
}

bool TcxMaskEditStandardMode::IsCursorEnd()
{
    return FEdit && FEdit->SelStart() == TextLength();
}

void TcxMaskEditStandardMode::CorrectSelection()
{
    if (IsEditAvailable() && FStandardMask.Count() > 0 && FEdit->SelLength() == 0 &&
        FEdit->SelStart() < TextLength())
        FEdit->SetSelLength(1);
}

void TcxMaskEditStandardMode::UpdateEditValue()
{
    if (!FNeedsEmptyText || !FEdit) return;
    FNeedsEmptyText = false;
    FEdit->ChangeEditValue(GetEmptyString());
}

void TcxMaskEditStandardMode::SynchronizeEditValue()
{
    TcxMaskEditCustomMode::SynchronizeEditValue();
    CorrectSelection();
}

namespace {
// The caret as the standard mode keeps it: one character selected, none at
// the end of the text.
void PlaceCaret(IcxMaskModeEdit* AEdit, int APos, int ALength)
{
    AEdit->SetSelStart(APos);
    AEdit->SetSelLength(APos < ALength ? 1 : 0);
}
}  // namespace

bool TcxMaskEditStandardMode::PressSymbol(char32_t& AKey)
{
    if (!FEdit) return false;
    int len = TextLength();
    int pos = FEdit->SelStart();
    if (len == 0 || pos >= len) return false;
    if (IsLiteralAt(pos)) {
        FEdit->ClearShiftState();
        if (FEdit->SelLength() > 1) PlaceCaret(FEdit, pos, len);
        PressRight();
        if (FEdit->SelStart() != pos) return PressSymbol(AKey);
        return false;
    }
    char32_t c = AKey;
    if (IsEditableAt(pos) && FStandardMask.Items(pos).Check(c)) {
        FEdit->SetSelStart(pos);
        FEdit->SetSelLength(1);
        FEdit->ReplaceInnerSelection(ToUtf8(c));
        PlaceCaret(FEdit, pos, len);
        FEdit->ClearShiftState();
        PressRight();
    } else {
        Beep();
    }
    return false;
}

bool TcxMaskEditStandardMode::PressDelete()
{
    if (!FEdit) return false;
    std::u32string t = ToU32(FEdit->InnerText());
    int start = FEdit->SelStart(), len = FEdit->SelLength();
    if (len <= 0) return false;
    std::u32string part = t.substr(size_t(start), size_t(len));
    for (int k = 0; k < int(part.size()); ++k)
        if (IsEditableAt(start + k)) part[size_t(k)] = FStandardMask.Blank();
    FEdit->ReplaceInnerSelection(ToUtf8(part));
    FEdit->SetSelStart(start);
    FEdit->SetSelLength(len);
    return false;
}

bool TcxMaskEditStandardMode::PressBackspace()
{
    if (FEdit && FEdit->SelLength() <= 1) PressLeft();
    PressDelete();
    return false;
}

bool TcxMaskEditStandardMode::PressLeft()
{
    if (!FEdit) return false;
    int len = TextLength();
    int start = FEdit->SelStart(), sel = FEdit->SelLength();
    if (FEdit->ShiftDown()) {
        if (sel == 1) {
            FEdit->SetSelStart(start + 1);
            FEdit->SetSelLength(0);
            FEdit->SendOwnKeyDown(VK_LEFT, true);
            FEdit->SendOwnKeyDown(VK_LEFT, true);
        }
        return true;
    }
    if (sel >= 2) {
        int p = start;
        while (p < start + sel && !IsEditableAt(p)) ++p;
        if (p < start + sel) PlaceCaret(FEdit, p, len);
        else if (start + sel >= len) PlaceCaret(FEdit, len, len);
        else PlaceCaret(FEdit, start, len);
        return false;
    }
    int p = start - 1;
    while (p >= 0 && !IsEditableAt(p)) --p;
    PlaceCaret(FEdit, p >= 0 ? p : start, len);
    return false;
}

bool TcxMaskEditStandardMode::PressRight()
{
    if (!FEdit) return false;
    int len = TextLength();
    int start = FEdit->SelStart(), sel = FEdit->SelLength();
    if (FEdit->ShiftDown()) {
        if (sel == 1 && FEdit->GetCaretCharIndex() == start) {
            FEdit->SetSelStart(start);
            FEdit->SetSelLength(0);
        }
        return true;
    }
    if (sel < 2) {
        if (start >= len) return false;
        int p = start + 1;
        while (p < len && !IsEditableAt(p)) ++p;
        PlaceCaret(FEdit, p, len);
        return false;
    }
    int end = start + sel;
    if (end >= len) { PlaceCaret(FEdit, len, len); return false; }
    int p = end - 1;
    while (p >= start && !IsEditableAt(p)) --p;
    PlaceCaret(FEdit, p >= start ? p : end - 1, len);
    return false;
}

bool TcxMaskEditStandardMode::PressHome()
{
    if (!FEdit) return false;
    if (FEdit->ShiftDown()) return true;
    PlaceCaret(FEdit, 0, TextLength());
    if (IsLiteralAt(0)) PressRight();
    return false;
}

bool TcxMaskEditStandardMode::PressEnd()
{
    if (!FEdit) return false;
    if (FEdit->ShiftDown()) return true;
    int len = TextLength();
    PlaceCaret(FEdit, len, len);
    return false;
}

void TcxMaskEditStandardMode::BeforePaste()
{
    if (!FEdit) return;
    FSelStartBeforePaste = FEdit->SelStart();
    FEdit->SetSelLength(InsertedLength);
}

void TcxMaskEditStandardMode::AfterPaste()
{
    if (!FEdit) return;
    int len = TextLength();
    int p = std::max(0, std::min(FSelStartBeforePaste + InsertedLength, len - 1));
    PlaceCaret(FEdit, p, len);
    if (IsLiteralAt(p)) PressRight();
}
