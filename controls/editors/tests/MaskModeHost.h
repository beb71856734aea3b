// A headless stand-in for a mask edit around a mask mode: a one-line text
// buffer with an anchor and a caret that answers the inner edit's keys and
// characters, and the mask edit's routing of keys, characters and pastes to
// the mode. Key scripts drive it and read text, caret, selection and beeps.
#pragma once

#include "Windows.h"
#include "cxMaskEditModes.h"
#include "cxRegExpr.h"
#include "cxRegExprMaskModes.h"
#include "cxStandardMask.h"

#include <memory>
#include <string>

class TMaskModeHost : public IcxMaskModeEdit, public IcxMaskModeProperties {
public:
    // Settings.
    bool BeepOnErrorValue = true;
    bool CaseInsensitiveValue = true;
    bool IgnoreMaskBlankValue = false;
    int CharCaseV = 0;
    std::u32string Text;
    int Anchor = 0, CaretPos = 0;
    bool Shift = false;
    int Beeps = 0;
    std::string EditValue;
    std::unique_ptr<TcxMaskEditCustomMode> Mode;

    explicit TMaskModeHost(TcxEditMaskKind AKind, const std::string& AMask)
    {
        if (AKind == emkStandard) Mode = std::make_unique<TcxMaskEditStandardMode>(this, this);
        else if (AKind == emkRegExpr) Mode = std::make_unique<TcxMaskEditRegExprMode>(this, this);
        else Mode = std::make_unique<TcxMaskEditRegExprExMode>(this, this);
        Mode->Compile(AMask);
        // An empty edit shows the mode's text of the empty value.
        Show(Mode->GetFormattedText(Mode->GetEmptyString()));
    }

    // The edit shows a text (the edit value set by code), caret at the start.
    void Show(const std::string& AText)
    {
        Text = cxRegExpr::ToU32(AText);
        Anchor = CaretPos = 0;
        Mode->SetText(AText);
        Mode->CorrectSelection();
    }

    std::string TextUtf8() const { return cxRegExpr::ToUtf8(Text); }
    int SelStartV() const { return std::min(Anchor, CaretPos); }
    int SelLengthV() const { return std::abs(CaretPos - Anchor); }

    // ---- the inner edit's own handling ----
    void DeleteSelection()
    {
        int s = SelStartV();
        Text.erase(size_t(s), size_t(SelLengthV()));
        Anchor = CaretPos = s;
    }
    void InnerChar(char32_t c)
    {
        if (c == 8) {
            if (SelLengthV() > 0) DeleteSelection();
            else if (CaretPos > 0) {
                Text.erase(size_t(CaretPos - 1), 1);
                Anchor = --CaretPos;
            }
            return;
        }
        DeleteSelection();
        Text.insert(size_t(CaretPos), 1, c);
        Anchor = ++CaretPos;
    }
    void InnerKeyDown(uint16_t AKey, bool AShift)
    {
        int len = int(Text.size());
        switch (AKey) {
        case VK_LEFT:
            if (AShift) CaretPos = std::max(0, CaretPos - 1);
            else if (SelLengthV() > 0) Anchor = CaretPos = SelStartV();
            else Anchor = CaretPos = std::max(0, CaretPos - 1);
            break;
        case VK_RIGHT:
            if (AShift) CaretPos = std::min(len, CaretPos + 1);
            else if (SelLengthV() > 0) Anchor = CaretPos = SelStartV() + SelLengthV();
            else Anchor = CaretPos = std::min(len, CaretPos + 1);
            break;
        case VK_HOME: CaretPos = 0; if (!AShift) Anchor = 0; break;
        case VK_END: CaretPos = len; if (!AShift) Anchor = len; break;
        case VK_DELETE:
            if (SelLengthV() > 0) DeleteSelection();
            else if (CaretPos < len) Text.erase(size_t(CaretPos), 1);
            break;
        }
    }

    // ---- the mask edit's routing ----
    void KeyDown(uint16_t AKey, bool AShift = false)
    {
        Shift = AShift;
        bool passOn = true;
        switch (AKey) {
        case VK_LEFT: passOn = Mode->PressLeft(); break;
        case VK_RIGHT: passOn = Mode->PressRight(); break;
        case VK_HOME: passOn = Mode->PressHome(); break;
        case VK_END: passOn = Mode->PressEnd(); break;
        case VK_DELETE:
            passOn = AShift && SelLengthV() == 0 ? Mode->PressBackspace() : Mode->PressDelete();
            break;
        }
        if (passOn) InnerKeyDown(AKey, Shift);
        Shift = false;
    }
    void Char(char32_t c)
    {
        char32_t k = c;
        bool passOn = c == 8 ? Mode->PressBackspace() : Mode->PressSymbol(k);
        if (passOn) InnerChar(k);
    }
    void Paste(const std::string& AText)
    {
        std::u32string t = cxRegExpr::ToU32(AText);
        Mode->InsertedLength = int(t.size());
        Mode->BeforePaste();
        // The replacement runs through the edit's own SelText, itself
        // wrapped in the paste hooks.
        Mode->InsertedLength = int(t.size());
        Mode->BeforePaste();
        int start = SelStartV();
        Text.erase(size_t(start), size_t(SelLengthV()));
        Text.insert(size_t(start), t);
        Anchor = CaretPos = start;
        Mode->InsertedLength = int(t.size());
        Mode->SetText(TextUtf8());
        Anchor = CaretPos = start + int(t.size());
        Mode->AfterPaste();
        Mode->AfterPaste();
    }
    void Click(int APos)
    {
        Anchor = CaretPos = APos;
        Mode->CorrectSelection();
    }

    // ---- IcxMaskModeEdit ----
    bool IsEditAvailable() const override { return true; }
    std::string InnerText() const override { return TextUtf8(); }
    int SelStart() const override { return SelStartV(); }
    int SelLength() const override { return SelLengthV(); }
    void SetSelStart(int AValue) override
    {
        Anchor = CaretPos = std::clamp(AValue, 0, int(Text.size()));
    }
    void SetSelLength(int AValue) override
    {
        int s = SelStartV();
        Anchor = s;
        CaretPos = std::clamp(s + AValue, 0, int(Text.size()));
    }
    int GetCaretCharIndex() const override { return CaretPos; }
    void ReplaceInnerSelection(const std::string& AText) override
    {
        DeleteSelection();
        std::u32string t = cxRegExpr::ToU32(AText);
        Text.insert(size_t(CaretPos), t);
        Anchor = CaretPos += int(t.size());
    }
    void SendOwnKeyDown(uint16_t AKey, bool AShift) override { InnerKeyDown(AKey, AShift); }
    void SendOwnChar(char32_t ACh) override { InnerChar(ACh); }
    void SetDisplayValue(const std::string& AText) override
    {
        Text = cxRegExpr::ToU32(AText);
        Anchor = std::min(Anchor, int(Text.size()));
        CaretPos = std::min(CaretPos, int(Text.size()));
    }
    void ChangeEditValue(const std::string& AText) override { EditValue = AText; }
    void SetInnerDisplayValue(const std::string& AText) override { SetDisplayValue(AText); }
    std::string EditValueText() const override { return EditValue; }
    bool ModifiedAfterEnter() const override { return false; }
    bool Focused() const override { return true; }
    bool ShiftDown() const override { return Shift; }
    void ClearShiftState() override { Shift = false; }
    void Beep() override { ++Beeps; }

    // ---- IcxMaskModeProperties ----
    bool BeepOnError() const override { return BeepOnErrorValue; }
    bool CaseInsensitive() const override { return CaseInsensitiveValue; }
    bool IgnoreMaskBlank() const override { return IgnoreMaskBlankValue; }
    int CharCaseValue() const override { return CharCaseV; }
    int EchoModeValue() const override { return 0; }
    std::string PrepareDisplayText(const std::string& AEditValue, bool) override
    {
        return Mode->GetFormattedText(AEditValue);
    }

    // Runs a key script: plain characters are typed; {BS} {DEL} {LEFT}
    // {RIGHT} {HOME} {END} {S-LEFT} {S-RIGHT} press keys; {PASTE:text}
    // pastes; {CLICK:n} puts the caret at n; {SEL:s,n} selects.
    void Run(const std::string& AScript)
    {
        std::u32string s = cxRegExpr::ToU32(AScript);
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i] != '{') { Char(s[i]); continue; }
            size_t e = s.find('}', i);
            std::string cmd = cxRegExpr::ToUtf8(s.substr(i + 1, e - i - 1));
            i = e;
            if (cmd == "BS") Char(8);
            else if (cmd == "DEL") KeyDown(VK_DELETE);
            else if (cmd == "LEFT") KeyDown(VK_LEFT);
            else if (cmd == "RIGHT") KeyDown(VK_RIGHT);
            else if (cmd == "S-LEFT") KeyDown(VK_LEFT, true);
            else if (cmd == "S-RIGHT") KeyDown(VK_RIGHT, true);
            else if (cmd == "HOME") KeyDown(VK_HOME);
            else if (cmd == "END") KeyDown(VK_END);
            else if (cmd.rfind("PASTE:", 0) == 0) Paste(cmd.substr(6));
            else if (cmd.rfind("CLICK:", 0) == 0) Click(std::stoi(cmd.substr(6)));
            else if (cmd.rfind("SEL:", 0) == 0) {
                size_t comma = cmd.find(',');
                Anchor = std::stoi(cmd.substr(4, comma - 4));
                CaretPos = Anchor + std::stoi(cmd.substr(comma + 1));
                Mode->CorrectSelection();
            }
        }
    }
};
