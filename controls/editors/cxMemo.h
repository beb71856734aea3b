// The memo: the multi-line text edit, with optional scroll bars, word wrap,
// and Enter and Tab as text. In a grid cell it shows the first line of its
// value only.
#pragma once

#include "cxTextEdit.h"

#include <memory>
#include <string>

class TcxCustomMemoProperties : public TcxCustomTextEditProperties {
    QZ_CLASS(TcxCustomMemoProperties, TcxCustomTextEditProperties)
public:
    explicit TcxCustomMemoProperties(TPersistent* AOwner = nullptr);
    void Assign(TPersistent* Source) override;

    std::unique_ptr<TcxCustomEditViewData> CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace) override;
    bool HandlesTabKey() override { return FWantTabs; }
    TClass GetEditClass() const override;
    TClass GetViewInfoClass() const override;
    // The text edit's text; unless AFullText, cut at the first line break
    // among its first 250 characters, and to 250 characters at most.
    std::string GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
    // Not for a BLOB field: its bytes are no text to format.
    unsigned UsesDisplayFormatting(bool AFocused) override;
    bool IsMultiLine() override { return true; }

    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value);
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

private:
    TScrollStyle FScrollBars = ssNone;
    bool FWantReturns = true;
    bool FWantTabs = false;
    bool FWordWrap = true;
};

class TcxMemoProperties : public TcxCustomMemoProperties {
    QZ_CLASS(TcxMemoProperties, TcxCustomMemoProperties)
public:
    explicit TcxMemoProperties(TPersistent* AOwner = nullptr) : TcxCustomMemoProperties(AOwner) {}
};

class TcxCustomMemoViewInfo : public TcxCustomTextEditViewInfo {
    QZ_CLASS(TcxCustomMemoViewInfo, TcxCustomTextEditViewInfo)
public:
    TcxCustomMemoViewInfo() = default;
};

class TcxCustomMemoViewData : public TcxCustomTextEditViewData {
    QZ_CLASS(TcxCustomMemoViewData, TcxCustomTextEditViewData)
public:
    TcxCustomMemoViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
        : TcxCustomTextEditViewData(AProperties, AStyle, AIsInplace) {}
    int GetTextFlags() override;
    TRect GetTextOffsets() override;
};

class TcxCustomMemo : public TcxCustomTextEdit {
    QZ_CLASS(TcxCustomMemo, TcxCustomTextEdit)
public:
    explicit TcxCustomMemo(TComponent* AOwner = nullptr, bool AIsInplace = false);
    ~TcxCustomMemo() override;

    TClass GetPropertiesClass() const override { return TcxMemoProperties::StaticClass(); }
    TcxCustomMemoProperties* Properties() const
    {
        return static_cast<TcxCustomMemoProperties*>(ActiveProperties());
    }
    // The paragraphs of the text.
    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value);

    void PropertiesChanged(TObject* Sender) override;
    // Line breaks in the text keep their CR LF pairs; a bare LF or CR
    // becomes CR LF. A positive MaxLength takes only what fits.
    void SetSelText(const std::string& AText) override;
    bool CanSendActivationKey(char32_t AKey) override { return AKey != '\r' && TcxCustomTextEdit::CanSendActivationKey(AKey); }
    // PgUp, PgDn, End and Home; the arrows too unless AFlag.
    static bool IsNavigationKey(WORD AKey, bool AFlag);
    // Whether a key going down changes the text.
    bool CanKeyDownModifyEdit(WORD AKey, TShiftState AShift);

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void DoEditKeyDown(WORD& Key, TShiftState Shift) override;
    void DoEditKeyPress(char& Key) override;
    void AdjustInnerEditParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    void FontChanged() override;
    // The painter bars stand over the inner memo's own: a line step scrolls it by one line.
    void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos) override;

public:
    // The bars follow the inner memo once the window system has laid it out.
    void PostScrollBarsUpdate();

private:
    std::unique_ptr<TStrings> FLines;
    TScrollStyle FInnerScrollBars = ssNone;
    bool FInnerWordWrap = true;
};

class TcxMemo : public TcxCustomMemo {
    QZ_CLASS(TcxMemo, TcxCustomMemo)
public:
    explicit TcxMemo(TComponent* AOwner = nullptr) : TcxCustomMemo(AOwner) {}
};

namespace cxMemo {
// Posted to the memo: lays its painter bars over the inner memo's.
constexpr UINT CXM_UPDATESCROLLBARS = WM_APP + 0x68;
// Registers the memo properties with the editor registry.
void Initialize();
// A text's line breaks as the memo stores them: CR LF pairs stay, a bare
// LF or CR becomes CR LF (so LF CR is two breaks).
std::string NormalizeLineBreaks(const std::string& AText);
}  // namespace cxMemo
