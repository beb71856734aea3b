// The hyperlink edit: a text edit that shows its text underlined in a link
// colour and opens it when the user asks (the start key, a double click, or
// a single click when so set). Addresses of the web, mail and file-transfer
// schemes open at once; any other text opens only when the user confirms,
// since a text from data may name a program or script.
#pragma once

#include "cxTextEdit.h"

#include <string>

class TcxCustomHyperLinkEditProperties : public TcxCustomTextEditProperties {
    QZ_CLASS(TcxCustomHyperLinkEditProperties, TcxCustomTextEditProperties)
public:
    explicit TcxCustomHyperLinkEditProperties(TPersistent* AOwner = nullptr);
    void Assign(TPersistent* Source) override;
    TClass GetEditClass() const override;
    TClass GetViewInfoClass() const override;
    uint16_t GetSupportedOperations() override;
    std::unique_ptr<TcxCustomEditViewData> CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace) override;

    bool SingleClick() const { return FSingleClick; }
    void SetSingleClick(bool Value);
    TColor LinkColor() const { return FLinkColor; }
    void SetLinkColor(TColor Value);
    TShortCut StartKey() const { return FStartKey; }
    void SetStartKey(TShortCut Value) { FStartKey = Value; }
    TNotifyEvent OnStartClick;

private:
    bool FSingleClick = false;
    TColor FLinkColor = clBlue;
    TShortCut FStartKey = 16397;   // Ctrl+Enter
};

class TcxHyperLinkEditProperties : public TcxCustomHyperLinkEditProperties {
    QZ_CLASS(TcxHyperLinkEditProperties, TcxCustomHyperLinkEditProperties)
public:
    explicit TcxHyperLinkEditProperties(TPersistent* AOwner = nullptr)
        : TcxCustomHyperLinkEditProperties(AOwner) {}
};

class TcxHyperLinkEditViewInfo : public TcxCustomTextEditViewInfo {
    QZ_CLASS(TcxHyperLinkEditViewInfo, TcxCustomTextEditViewInfo)
public:
    TcxHyperLinkEditViewInfo() = default;
    bool IsHotTrack() const override { return TcxCustomTextEditViewInfo::IsHotTrack() || SingleClick; }
    bool IsButtonAtPoint(const TPoint&) const override { return IsHotTrack(); }
    void PrepareCanvasFont(TCanvas* ACanvas) override;
    void PaintText(TcxCanvas* ACanvas) override;
    TColor LinkColor = clBlue;
    bool SingleClick = false;
};

class TcxHyperLinkEditViewData : public TcxCustomTextEditViewData {
    QZ_CLASS(TcxHyperLinkEditViewData, TcxCustomTextEditViewData)
public:
    using TcxCustomTextEditViewData::TcxCustomTextEditViewData;
    void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton, TShiftState AShift,
                   TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
};

class TcxCustomHyperLinkEdit : public TcxCustomTextEdit {
    QZ_CLASS(TcxCustomHyperLinkEdit, TcxCustomTextEdit)
public:
    explicit TcxCustomHyperLinkEdit(TComponent* AOwner = nullptr, bool AIsInplace = false);
    TClass GetPropertiesClass() const override { return TcxHyperLinkEditProperties::StaticClass(); }
    TcxCustomHyperLinkEditProperties* Properties() const
    {
        return static_cast<TcxCustomHyperLinkEditProperties*>(ActiveProperties());
    }
    // Opens the link: OnStartClick when assigned, else the shell with the
    // text as it stands (nothing for a blank text; a text that is not a web,
    // mail or file-transfer address only after the user agrees).
    virtual void DoStart();
    void SelectAll() override;
    void PropertiesChanged(TObject* Sender) override;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter(TControl* AControl) override;
    void MouseLeave(TControl* AControl) override;
    void InnerMouseEvent(UINT AMsg, WPARAM AKeys) override;

private:
    void InnerMouseUp(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y);
    TCursor FSavedCursor = crDefault;
    bool FCursorSaved = false;
};

class TcxHyperLinkEdit : public TcxCustomHyperLinkEdit {
    QZ_CLASS(TcxHyperLinkEdit, TcxCustomHyperLinkEdit)
public:
    explicit TcxHyperLinkEdit(TComponent* AOwner = nullptr) : TcxCustomHyperLinkEdit(AOwner) {}
};

namespace cxHyperLinkEdit {
// Registers the hyperlink edit properties with the editor registry.
void Initialize();
// Whether a text (leading blanks ignored) is an address that opens without
// asking: http://, https://, ftp:// or mailto:, in any letter case.
bool IsSafeLink(const std::string& AText);
}  // namespace cxHyperLinkEdit
