#include "cxHyperLinkEdit.h"

#include "Dialogs.h"
#include "Forms.h"
#include "HostServices.h"
#include "ShortCuts.h"
#include "SysUtils.h"
#include "Windows.h"
#include "cxEditConsts.h"

#include <cctype>

QZ_CLASS_IMPL(TcxCustomHyperLinkEditProperties, TcxCustomTextEditProperties)
QZ_CLASS_IMPL(TcxHyperLinkEditProperties, TcxCustomHyperLinkEditProperties)
QZ_CLASS_IMPL(TcxHyperLinkEditViewInfo, TcxCustomTextEditViewInfo)
QZ_CLASS_IMPL(TcxHyperLinkEditViewData, TcxCustomTextEditViewData)
QZ_CLASS_IMPL(TcxCustomHyperLinkEdit, TcxCustomTextEdit)
QZ_CLASS_IMPL(TcxHyperLinkEdit, TcxCustomHyperLinkEdit)

using cxClasses::GetResourceString;

namespace {
const TcxResourceStringRec scxSEditRepositoryHyperLinkItem = {
    "scxSEditRepositoryHyperLinkItem", "HyperLink|Represents a text editor with hyperlink functionality"};
const TcxResourceStringRec cxSHyperLinkConfirmOpen = {
    "cxSHyperLinkConfirmOpen", "\"%s\" is not a web, mail or FTP address. Open it anyway?"};
}  // namespace

namespace cxHyperLinkEdit {
void Initialize()
{
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxHyperLinkEditProperties::StaticClass()) < 0)
        r->Register(TcxHyperLinkEditProperties::StaticClass(), GetResourceString(&scxSEditRepositoryHyperLinkItem));
}

bool IsSafeLink(const std::string& AText)
{
    size_t i = 0;
    while (i < AText.size() && (AText[i] == ' ' || AText[i] == '\t')) ++i;
    std::string lower;
    for (size_t k = i; k < AText.size() && k < i + 10; ++k)
        lower += char(std::tolower(static_cast<unsigned char>(AText[k])));
    static const char* const kPrefixes[] = {"http://", "https://", "ftp://", "mailto:"};
    for (const char* p : kPrefixes) {
        std::string prefix(p);
        // Something must follow the scheme.
        if (lower.compare(0, prefix.size(), prefix) == 0 && AText.size() > i + prefix.size()) return true;
    }
    return false;
}
}  // namespace cxHyperLinkEdit

// ---- properties -----------------------------------------------------------------------------------------

TcxCustomHyperLinkEditProperties::TcxCustomHyperLinkEditProperties(TPersistent* AOwner)
    : TcxCustomTextEditProperties(AOwner)
{
    SetAutoSelect(false);
}

TClass TcxCustomHyperLinkEditProperties::GetEditClass() const { return TcxHyperLinkEdit::StaticClass(); }
TClass TcxCustomHyperLinkEditProperties::GetViewInfoClass() const { return TcxHyperLinkEditViewInfo::StaticClass(); }

std::unique_ptr<TcxCustomEditViewData> TcxCustomHyperLinkEditProperties::CreateViewData(TcxCustomEditStyle* AStyle,
                                                                                         bool AIsInplace)
{
    auto d = std::make_unique<TcxHyperLinkEditViewData>(this, AStyle, AIsInplace);
    d->CacheProperties();
    return d;
}

uint16_t TcxCustomHyperLinkEditProperties::GetSupportedOperations()
{
    uint16_t ops = TcxCustomTextEditProperties::GetSupportedOperations();
    return FSingleClick ? uint16_t(ops | 0x1) : ops;
}

void TcxCustomHyperLinkEditProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomHyperLinkEditProperties*>(Source);
    if (!s) {
        TcxCustomTextEditProperties::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        TcxCustomTextEditProperties::Assign(Source);
        SetLinkColor(s->FLinkColor);
        SetSingleClick(s->FSingleClick);
        FStartKey = s->FStartKey;
        OnStartClick = s->OnStartClick;
    } catch (...) {
        EndUpdate(false);
        throw;
    }
    EndUpdate(true);
}

void TcxCustomHyperLinkEditProperties::SetSingleClick(bool Value)
{
    if (Value == FSingleClick) return;
    FSingleClick = Value;
    Changed();
}

void TcxCustomHyperLinkEditProperties::SetLinkColor(TColor Value)
{
    if (Value == FLinkColor) return;
    FLinkColor = Value;
    Changed();
}

// ---- view data and view info ----------------------------------------------------------------------------

void TcxHyperLinkEditViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton,
                                         TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    if (auto* vi = dynamic_cast<TcxHyperLinkEditViewInfo*>(AViewInfo)) {
        auto* p = static_cast<TcxCustomHyperLinkEditProperties*>(Properties());
        vi->LinkColor = p->LinkColor();
        vi->SingleClick = p->SingleClick();
    }
    TcxCustomTextEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
}

void TcxHyperLinkEditViewInfo::PrepareCanvasFont(TCanvas* ACanvas)
{
    TcxCustomTextEditViewInfo::PrepareCanvasFont(ACanvas);
    TFontStyles style = ACanvas->Font()->Style();
    style.Include(fsUnderline);
    ACanvas->Font()->SetStyle(style);
    // A cell drawn selected keeps the selection's text colour.
    bool selectedCell = !Focused && IsInplace && EditorFlag;
    ACanvas->Font()->SetColor(selectedCell ? TextColor : LinkColor);
}

void TcxHyperLinkEditViewInfo::PaintText(TcxCanvas* ACanvas)
{
    TColor saved = TextColor;
    bool selectedCell = !Focused && IsInplace && EditorFlag;
    if (!selectedCell && Enabled) TextColor = LinkColor;
    TcxCustomTextEditViewInfo::PaintText(ACanvas);
    TextColor = saved;
}

// ---- the edit -----------------------------------------------------------------------------------------------

TcxCustomHyperLinkEdit::TcxCustomHyperLinkEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomTextEdit(AOwner, AIsInplace)
{
    InitializeEdit();
    InnerEdit()->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        InnerMouseUp(s, b, sh, x, y);
    };
    PropertiesChanged(ActiveProperties());
}

void TcxCustomHyperLinkEdit::PropertiesChanged(TObject* Sender)
{
    TcxCustomTextEdit::PropertiesChanged(Sender);
    // While the edit is being made its properties are still a text edit's.
    auto* p = dynamic_cast<TcxCustomHyperLinkEditProperties*>(ActiveProperties());
    if (IsContainerDestroying() || !InnerEdit() || !p) return;
    // The inner edit shows the text as a link as well.
    TFontStyles style = InnerEdit()->Font()->Style();
    style.Include(fsUnderline);
    InnerEdit()->Font()->SetStyle(style);
    InnerEdit()->Font()->SetColor(p->LinkColor());
}

void TcxCustomHyperLinkEdit::DoStart()
{
    if (Properties()->OnStartClick) {
        Properties()->OnStartClick(this);
        return;
    }
    std::string text = GetDisplayText();
    if (Trim(text).empty()) return;
    if (!cxHyperLinkEdit::IsSafeLink(text)) {
        std::string question = Format(GetResourceString(&cxSHyperLinkConfirmOpen), {Trim(text)});
        if (MessageDlg(question, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) != mrYes) return;
    }
    // The host opens it as one argument: no command line is built from it.
    ShellExecute("OPEN", text, "", "", SW_SHOWMAXIMIZED);
}

void TcxCustomHyperLinkEdit::SelectAll()
{
    // In place a single click opens the link; it does not select the text.
    if (IsInplace() && Properties()->SingleClick()) return;
    TcxCustomTextEdit::SelectAll();
}

void TcxCustomHyperLinkEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    TShortCut start = Properties()->StartKey();
    if (start != 0 && ShortCut(Key, Shift) == start) {
        DoStart();
        Key = 0;
        return;
    }
    TcxCustomTextEdit::KeyDown(Key, Shift);
}

void TcxCustomHyperLinkEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxCustomTextEdit::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && Shift.Contains(ssDouble) && !Properties()->SingleClick() && EditViewInfo() &&
        PtInRect(EditViewInfo()->ContentRect, TPoint{X, Y}))
        DoStart();
}

void TcxCustomHyperLinkEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxCustomTextEdit::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft && Properties()->SingleClick() && SelLength() == 0 && EditViewInfo() &&
        PtInRect(EditViewInfo()->ContentRect, TPoint{X, Y}))
        DoStart();
}

void TcxCustomHyperLinkEdit::InnerMouseEvent(UINT AMsg, WPARAM AKeys)
{
    TcxCustomTextEdit::InnerMouseEvent(AMsg, AKeys);
    if (AMsg == WM_LBUTTONDBLCLK && !Properties()->SingleClick()) DoStart();
}

void TcxCustomHyperLinkEdit::InnerMouseUp(TObject*, TMouseButton Button, TShiftState, int, int)
{
    if (Button == mbLeft && Properties()->SingleClick() && SelLength() == 0) DoStart();
}

void TcxCustomHyperLinkEdit::MouseEnter(TControl* AControl)
{
    TcxCustomTextEdit::MouseEnter(AControl);
    if (!Properties()->SingleClick() || Cursor() == crHandPoint) return;
    FSavedCursor = Cursor();
    FCursorSaved = true;
    SetCursor(crHandPoint);
    if (InnerEdit()) InnerEdit()->SetCursor(crHandPoint);
}

void TcxCustomHyperLinkEdit::MouseLeave(TControl* AControl)
{
    TcxCustomTextEdit::MouseLeave(AControl);
    if (!FCursorSaved) return;
    FCursorSaved = false;
    SetCursor(FSavedCursor);
    if (InnerEdit()) InnerEdit()->SetCursor(FSavedCursor);
}
