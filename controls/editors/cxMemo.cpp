#include "cxMemo.h"

#include "SysUtils.h"
#include "TypInfo.h"
#include "Windows.h"

#include <algorithm>

using cxClasses::GetResourceString;

const TcxResourceStringRec scxSEditRepositoryMemoItem = {
    "scxSEditRepositoryMemoItem", "Memo|Represents an edit control that allows editing memo data"};

QZ_ENUM_TYPEINFO(TScrollStyle, "ssNone", "ssHorizontal", "ssVertical", "ssBoth")

namespace {

void DefineMemoPropertiesProps(std::vector<TPropInfo>& props)
{
    using P = TcxCustomMemoProperties;
    props.push_back(PublishEnum<P>("ScrollBars", &P::ScrollBars, &P::SetScrollBars, ssNone));
    props.push_back(PublishBool<P>("WantReturns", &P::WantReturns, &P::SetWantReturns, true));
    props.push_back(PublishBool<P>("WantTabs", &P::WantTabs, &P::SetWantTabs, false));
    props.push_back(PublishBool<P>("WordWrap", &P::WordWrap, &P::SetWordWrap, true));
}

void DefineMemoProps(std::vector<TPropInfo>& props)
{
    using M = TcxCustomMemo;
    props.push_back(PublishObject<M>("Lines", &M::Lines, &M::SetLines));
}

}  // namespace

QZ_CLASS_IMPL_PROPS(TcxCustomMemoProperties, TcxCustomTextEditProperties, DefineMemoPropertiesProps)
QZ_CLASS_IMPL(TcxMemoProperties, TcxCustomMemoProperties)
QZ_CLASS_IMPL(TcxCustomMemoViewInfo, TcxCustomTextEditViewInfo)
QZ_CLASS_IMPL(TcxCustomMemoViewData, TcxCustomTextEditViewData)
QZ_CLASS_IMPL_PROPS(TcxCustomMemo, TcxCustomTextEdit, DefineMemoProps)
QZ_CLASS_IMPL(TcxMemo, TcxCustomMemo)

namespace cxMemo {

std::string NormalizeLineBreaks(const std::string& AText)
{
    std::string r;
    r.reserve(AText.size());
    for (size_t i = 0; i < AText.size(); ++i) {
        char c = AText[i];
        if (c == '\r' && i + 1 < AText.size() && AText[i + 1] == '\n') {
            r += "\r\n";
            ++i;
        } else if (c == '\r' || c == '\n') {
            r += "\r\n";
        } else {
            r += c;
        }
    }
    return r;
}

void Initialize()
{
    cxTextEdit::Initialize();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxMemoProperties::StaticClass()) < 0)
        r->Register(TcxMemoProperties::StaticClass(), GetResourceString(&scxSEditRepositoryMemoItem));
}

}  // namespace cxMemo

// ---- the properties ---------------------------------------------------------------------------------------

TcxCustomMemoProperties::TcxCustomMemoProperties(TPersistent* AOwner) : TcxCustomTextEditProperties(AOwner)
{
    BeginUpdate();
    Alignment()->SetVert(taTopJustify);
    SetAutoSelect(false);
    EndUpdate(false);
}

TClass TcxCustomMemoProperties::GetEditClass() const { return TcxMemo::StaticClass(); }
TClass TcxCustomMemoProperties::GetViewInfoClass() const { return TcxCustomMemoViewInfo::StaticClass(); }

std::unique_ptr<TcxCustomEditViewData> TcxCustomMemoProperties::CreateViewData(TcxCustomEditStyle* AStyle,
                                                                                bool AIsInplace)
{
    return std::make_unique<TcxCustomMemoViewData>(this, AStyle, AIsInplace);
}

void TcxCustomMemoProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomMemoProperties*>(Source);
    if (!s) {
        TcxCustomTextEditProperties::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        TcxCustomTextEditProperties::Assign(Source);
        SetScrollBars(s->FScrollBars);
        SetWantReturns(s->FWantReturns);
        SetWantTabs(s->FWantTabs);
        SetWordWrap(s->FWordWrap);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomMemoProperties::SetScrollBars(TScrollStyle Value)
{
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    Changed();
}

void TcxCustomMemoProperties::SetWantReturns(bool Value)
{
    if (FWantReturns == Value) return;
    FWantReturns = Value;
    Changed();
}

void TcxCustomMemoProperties::SetWantTabs(bool Value)
{
    if (FWantTabs == Value) return;
    FWantTabs = Value;
    Changed();
}

void TcxCustomMemoProperties::SetWordWrap(bool Value)
{
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    Changed();
}

std::string TcxCustomMemoProperties::GetDisplayText(const Variant& AEditValue, bool AFullText)
{
    std::string text = TcxCustomTextEditProperties::GetDisplayText(AEditValue, AFullText);
    if (AFullText) return text;
    std::string head = Copy(text, 1, 250);
    size_t br = head.find_first_of("\r\n");
    return br == std::string::npos ? head : head.substr(0, br);
}

unsigned TcxCustomMemoProperties::UsesDisplayFormatting(bool)
{
    IcxEditDefaultValuesProvider* p = DefaultValuesProvider();
    return p && p->IsBlob() ? 0 : 1;
}

// ---- view data ------------------------------------------------------------------------------------------------

int TcxCustomMemoViewData::GetTextFlags()
{
    auto* p = static_cast<TcxCustomMemoProperties*>(Properties());
    int f = cxShowCharCutEllipsis | cxDontStartLeftOut | cxWordBreak;
    if (FHorzAlignment == taRightJustify) f |= cxAlignRight;
    else if (FHorzAlignment == taCenter) f |= cxAlignHCenter;
    if (p->WordWrap() && p->ScrollBars() != ssHorizontal && p->ScrollBars() != ssBoth) f |= cxCharBreak;
    return f;
}

TRect TcxCustomMemoViewData::GetTextOffsets()
{
    if (FHorzAlignment == taRightJustify) return TRect{0, 1, 2, 1};
    return TRect{1, 1, 1, 1};
}

// ---- the edit ----------------------------------------------------------------------------------------------------

TcxCustomMemo::TcxCustomMemo(TComponent* AOwner, bool AIsInplace) : TcxCustomTextEdit(AOwner, AIsInplace)
{
    // The text edit's properties go now: nothing they report while freed
    // matters to the memo.
    ActiveProperties()->OnPropertiesChanged = nullptr;
    InitializeEdit();
    FLines = std::make_unique<TMemoStrings>(InnerEdit());
    SetAutoSize(false);
    SetBounds(Left(), Top(), 185, 89);
    PropertiesChanged(Properties());
}

TcxCustomMemo::~TcxCustomMemo() = default;

void TcxCustomMemo::SetLines(TStrings* Value) { FLines->Assign(Value); }

void TcxCustomMemo::AdjustInnerEditParams(TCreateParams& Params)
{
    TcxCustomMemoProperties* p = Properties();
    if (!p) return;
    Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
    Params.Style &= ~(ES_AUTOHSCROLL | WS_HSCROLL | WS_VSCROLL);
    TScrollStyle bars = p->ScrollBars();
    if (!p->WordWrap() || bars == ssHorizontal || bars == ssBoth) Params.Style |= ES_AUTOHSCROLL;
    if (bars == ssVertical || bars == ssBoth) Params.Style |= WS_VSCROLL;
    if (bars == ssHorizontal || bars == ssBoth) Params.Style |= WS_HSCROLL;
    if (p->WantReturns()) Params.Style |= ES_WANTRETURN;
}

void TcxCustomMemo::PropertiesChanged(TObject* Sender)
{
    TcxCustomMemoProperties* p = Properties();
    if (p && InnerEdit() && !IsContainerDestroying()) {
        // The window shows the scroll bars and the wrapping it was made with.
        if (p->ScrollBars() != FInnerScrollBars || p->WordWrap() != FInnerWordWrap) {
            FInnerScrollBars = p->ScrollBars();
            FInnerWordWrap = p->WordWrap();
            if (InnerEdit()->HandleAllocated()) InnerEdit()->RecreateWnd();
        }
    }
    TcxCustomTextEdit::PropertiesChanged(Sender);
}

void TcxCustomMemo::PostScrollBarsUpdate()
{
    if (IsContainerDestroying() || !InnerEdit() || !HandleAllocated()) return;
    PostMessage(Handle(), cxMemo::CXM_UPDATESCROLLBARS, 0, 0);
}

void TcxCustomMemo::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case cxMemo::CXM_UPDATESCROLLBARS:
        SetScrollBarsParameters();
        return;
    case WM_COMMAND:
        // The inner memo scrolled itself, or its text (and so its range) changed.
        if (InnerEdit() && InnerEdit()->HandleAllocated() && HWND(Message.LParam) == InnerEdit()->Handle()) {
            const WORD code = HIWORD(Message.WParam);
            if (code == EN_VSCROLL || code == EN_HSCROLL) SetScrollBarsParameters();
            else if (code == EN_CHANGE) PostScrollBarsUpdate();
        }
        break;
    default: break;
    }
    TcxCustomTextEdit::WndProc(Message);
    if (Message.Msg == WM_WINDOWPOSCHANGED || Message.Msg == WM_KEYDOWN) PostScrollBarsUpdate();
}

void TcxCustomMemo::FontChanged()
{
    TcxCustomTextEdit::FontChanged();
    SetScrollBarsParameters();
}

void TcxCustomMemo::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos)
{
    TWinControl* inner = InnerEdit();
    if (!inner || !inner->HandleAllocated()) return;
    if (AScrollBarKind == sbVertical && (AScrollCode == scLineUp || AScrollCode == scLineDown)) {
        inner->Perform(EM_LINESCROLL, 0, AScrollCode == scLineUp ? -1 : 1);
        AScrollPos = GetScrollPos(inner->Handle(), SB_VERT);
        SetScrollBarsParameters();
        return;
    }
    TcxCustomTextEdit::Scroll(AScrollBarKind, AScrollCode, AScrollPos);
    SetScrollBarsParameters();
}

void TcxCustomMemo::SetSelText(const std::string& AText)
{
    // Pasted paragraphs arrive as they are: a CR LF pair stays one break.
    TcxCustomTextEdit::SetSelText(cxMemo::NormalizeLineBreaks(AText));
}

bool TcxCustomMemo::IsNavigationKey(WORD AKey, bool AFlag)
{
    if (AKey == VK_PRIOR || AKey == VK_NEXT || AKey == VK_END || AKey == VK_HOME) return true;
    return !AFlag && (AKey == VK_LEFT || AKey == VK_RIGHT || AKey == VK_UP || AKey == VK_DOWN);
}

bool TcxCustomMemo::CanKeyDownModifyEdit(WORD AKey, TShiftState AShift)
{
    TcxCustomMemoProperties* p = Properties();
    if (AKey == VK_DELETE || (AKey == VK_INSERT && AShift.Contains(ssShift))) return true;
    if (AKey == VK_RETURN) return p->WantReturns() || AShift.Contains(ssCtrl);
    if (AKey == VK_TAB) return p->WantTabs();
    return false;
}

namespace {
// Whether Enter makes a new line: with WantReturns without Ctrl, without it with Ctrl.
bool EnterMakesLine(TcxCustomMemoProperties* P, TShiftState AShift)
{
    return P->WantReturns() != AShift.Contains(ssCtrl);
}
}  // namespace

void TcxCustomMemo::KeyDown(WORD& Key, TShiftState Shift)
{
    // In place, an Enter that makes a new line is the memo's, not the host's.
    if (IsInplace() && Key == VK_RETURN && EnterMakesLine(Properties(), Shift)) {
        DoEditKeyDown(Key, Shift);
        return;
    }
    TcxCustomTextEdit::KeyDown(Key, Shift);
}

void TcxCustomMemo::DoEditKeyDown(WORD& Key, TShiftState Shift)
{
    TcxCustomMemoProperties* p = Properties();
    if (Key == VK_RETURN && EnterMakesLine(p, Shift)) {
        if (DoEditing()) UserChange([this] { SetSelText("\r\n"); });
        Key = 0;
        return;
    }
    if (Key == VK_TAB && p->WantTabs() && !Shift.Contains(ssCtrl)) {
        if (DoEditing()) UserChange([this] { SetSelText("\t"); });
        Key = 0;
        return;
    }
    TcxCustomTextEdit::DoEditKeyDown(Key, Shift);
    // Ctrl+Alt comes without the Alt flag (it may be AltGr): the key state tells.
    bool alt = Shift.Contains(ssAlt) || GetKeyState(VK_MENU) < 0;
    if (Key == 'A' && Shift.Contains(ssCtrl) && !alt && FLines->Count() > 0) {
        SelectAll();
        DoAfterKeyDown(Key, Shift);
        Key = 0;
    }
}

void TcxCustomMemo::DoEditKeyPress(char& Key)
{
    // The line break and the tab went in as their keys went down.
    if (Key == '\r' || Key == '\n' || Key == '\t') {
        Key = 0;
        return;
    }
    TcxCustomTextEdit::DoEditKeyPress(Key);
}
