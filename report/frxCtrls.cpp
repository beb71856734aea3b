#include "frxCtrls.h"

#include "Buttons.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Graphics.h"
#include "Registry.h"
#include "StringLists.h"
#include "SysUtils.h"

#include <algorithm>

QZ_CLASS_IMPL(TfrxScrollWin, TCustomControl)

TfrxScrollWin::TfrxScrollWin(TComponent* owner) : TCustomControl(owner) {}

void TfrxScrollWin::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.Style |= WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TfrxScrollWin::CreateWnd()
{
    TCustomControl::CreateWnd();
    UpdateBar(SB_HORZ);
    UpdateBar(SB_VERT);
}

void TfrxScrollWin::Paint()
{
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

void TfrxScrollWin::UpdateBar(int bar)
{
    if (!HandleAllocated()) return;
    const bool horz = bar == SB_HORZ;
    const int range = horz ? FHorzRange : FVertRange, page = horz ? FHorzPage : FVertPage;
    TScrollInfo si;
    si.fMask = SIF_ALL;
    si.nMin = 0;
    si.nMax = range < page ? 0 : range;
    si.nPage = UINT(std::max(page, 0));
    si.nPos = si.nTrackPos = horz ? FHorzPosition : FVertPosition;
    SetScrollInfo(Handle(), bar, &si, 1);
}

void TfrxScrollWin::SetHorzPageSize(int n)
{
    FHorzPage = n;
    SetHorzScrollRange(FHorzRange);
}

void TfrxScrollWin::SetVertPageSize(int n)
{
    FVertPage = n;
    SetVertScrollRange(FVertRange);
}

void TfrxScrollWin::SetHorzScrollRange(int n)
{
    FHorzRange = n;
    UpdateBar(SB_HORZ);
    SetHorzScrollPos(FHorzPosition);
}

void TfrxScrollWin::SetVertScrollRange(int n)
{
    FVertRange = n;
    UpdateBar(SB_VERT);
    SetVertScrollPos(FVertPosition);
}

void TfrxScrollWin::SetHorzScrollPos(int n)
{
    n = std::clamp(n, 0, std::max(FHorzRange - FHorzPage, 0));
    if (n == FHorzPosition) return;
    const int old = FHorzPosition;
    FHorzPosition = n;
    UpdateBar(SB_HORZ);
    HorzPositionChanged(old);
}

void TfrxScrollWin::SetVertScrollPos(int n)
{
    n = std::clamp(n, 0, std::max(FVertRange - FVertPage, 0));
    if (n == FVertPosition) return;
    const int old = FVertPosition;
    FVertPosition = n;
    UpdateBar(SB_VERT);
    VertPositionChanged(old);
}

void TfrxScrollWin::ScrollMessage(TMessage& m, int bar)
{
    const bool horz = bar == SB_HORZ;
    int pos = horz ? FHorzPosition : FVertPosition;
    const int range = horz ? FHorzRange : FVertRange;
    switch (LOWORD(m.WParam)) {
    case SB_LINEUP: pos -= SmallChange; break;
    case SB_LINEDOWN: pos += SmallChange; break;
    case SB_PAGEUP: pos -= LargeChange; break;
    case SB_PAGEDOWN: pos += LargeChange; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        // The 32-bit track position, not the message's 16-bit field.
        TScrollInfo si;
        si.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(Handle(), bar, &si)) pos = si.nTrackPos;
        break;
    }
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = range; break;
    default: return;
    }
    if (horz) SetHorzScrollPos(pos);
    else SetVertScrollPos(pos);
    m.Result = 0;
}

// ---- flat combo box ------------------------------------------------------------------------------

QZ_CLASS_IMPL(TfrxCustomComboBox, TCustomComboBox)
QZ_CLASS_IMPL(TfrxComboBox, TfrxCustomComboBox)
QZ_CLASS_IMPL(TfrxFontPreview, TForm)
QZ_CLASS_IMPL(TfrxFontComboBox, TfrxCustomComboBox)
QZ_CLASS_IMPL(TfrxComboEdit, TCustomComboBox)

TfrxCustomComboBox::TfrxCustomComboBox(TComponent* owner) : TCustomComboBox(owner)
{
    SetStyle(csDropDown);
    SetWidth(100);
    MeasureRows();
}

void TfrxCustomComboBox::MeasureRows()
{
    // One line of the font a row, measured off screen: the control's own
    // canvas would make its window before it has a parent.
    TBitmap measure;
    measure.SetWidth(1);
    measure.SetHeight(1);
    measure.Canvas()->Font()->Assign(Font());
    SetItemHeight(std::max(measure.Canvas()->TextHeight("Wg"), 1));
}

void TfrxCustomComboBox::CMFontChanged(TMessage& m)
{
    TCustomComboBox::Dispatch(m);
    MeasureRows();
}

void TfrxCustomComboBox::SetButtonWidth(int v) { FButtonWidth = std::max(v, 0); }
void TfrxCustomComboBox::SetEditOffset(int v) { FEditOffset = std::max(v, 0); }

void TfrxCustomComboBox::SetReadOnly(bool v)
{
    FReadOnly = v;
    // Read-only: a choice from the list, drawn by the control, no typing.
    SetStyle(v ? csOwnerDrawFixed : csDropDown);
}

bool TfrxCustomComboBox::Hot() const
{
    return ComponentState().Contains(csDesigning) || FDropped || Focused() || FMouseInControl;
}

TRect TfrxCustomComboBox::EditRect() const
{
    const int left = FEditOffset + 3;
    return TRect{left, 3, left + Width() - FButtonWidth - FEditOffset - 7, Height() - 3};
}

TRect TfrxCustomComboBox::ButtonRect() const
{
    return TRect{Width() - FButtonWidth - 2, 2, Width() - 2, Height() - 2};
}

TPoint TfrxCustomComboBox::ArrowOrigin() const
{
    return Point(FButtonWidth / 2 + Width() - FButtonWidth - 4, (Height() - 4) / 2 + 1);
}

TSize TfrxCustomComboBox::ListSize() const
{
    TSize s;
    s.cx = FListWidth > 0 ? FListWidth : Width() - 1;
    const int n = std::min(DropDownCount(), Items()->Count());
    s.cy = n > 0 ? ItemHeight() * n + 4 : ItemHeight() + 4;
    return s;
}

bool TfrxCustomComboBox::ListOpensUpward(int screenBottom) const
{
    const TPoint below = ClientToScreen(Point(0, Height()));
    return below.Y + ListSize().cy > screenBottom;
}

void TfrxCustomComboBox::DropDown()
{
    FDropped = true;
    FUpDropdown = ListOpensUpward(Screen ? Screen->Height() : 1 << 30);
    TCustomComboBox::DropDown();
}

void TfrxCustomComboBox::CloseUp()
{
    FDropped = false;
    TCustomComboBox::CloseUp();
}

void TfrxCustomComboBox::CMMouseEnter(TMessage& m)
{
    FMouseInControl = true;
    Invalidate();
    TCustomComboBox::Dispatch(m);
}

void TfrxCustomComboBox::CMMouseLeave(TMessage& m)
{
    FMouseInControl = false;
    Invalidate();
    TCustomComboBox::Dispatch(m);
}

// ---- font chooser --------------------------------------------------------------------------------

TfrxFontPreview::TfrxFontPreview(TComponent* owner) : TForm(owner)
{
    SetBorderStyle(fbsNone);
    SetFormStyle(fsStayOnTop);
    SetClientSize(200, 50);
    FPanel = new TPanel(this);
    FPanel->SetParent(this);
    FPanel->SetAlign(alClient);
    FPanel->SetColor(clWindow);
    FPanel->SetBevelInner(bvNone);
    FPanel->SetBevelOuter(bvNone);
    FPanel->SetBorderStyle(bsSingle);
    FPanel->Font()->SetColor(clWindowText);
    FPanel->Font()->SetSize(18);
}

void TfrxFontPreview::ShowFont(const std::string& name)
{
    FPanel->Font()->SetName(name);
    FPanel->SetCaption(name);
}

namespace {

const char* const kDefaultMRUKey = "\\Software\\ZavaZerazo\\MRUFont";

int FlagsOf(TStrings* items, int i)
{
    return int(reinterpret_cast<intptr_t>(items->Objects(i)));
}

TObject* AsObject(int flags) { return reinterpret_cast<TObject*>(intptr_t(flags)); }

// A small "T" in a box: the mark of a TrueType font.
std::unique_ptr<TBitmap> MakeTrueTypeGlyph()
{
    auto b = std::make_unique<TBitmap>();
    b->SetWidth(12);
    b->SetHeight(12);
    // White inside, so that it reads on a highlighted row too.
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clWhite);
    c->Pen()->SetColor(clGray);
    c->Rectangle(0, 0, 12, 12);
    c->Pen()->SetColor(clNavy);
    for (int y : {2, 3}) {
        c->MoveTo(3, y);
        c->LineTo(9, y);
    }
    for (int x : {5, 6}) {
        c->MoveTo(x, 2);
        c->LineTo(x, 10);
    }
    return b;
}

}  // namespace

TfrxFontComboBox::TfrxFontComboBox(TComponent* owner)
    : TfrxCustomComboBox(owner), FMRURegKey(kDefaultMRUKey), FGlyph(MakeTrueTypeGlyph())
{
    SetDropDownCount(12);
    SetWidth(150);
    SetEditOffset(16);
    SetReadOnly(true);
    MeasureRows();
    if (!ComponentState().Contains(csDesigning)) {
        FPreview = new TfrxFontPreview(this);
        FPreview->SetVisible(false);
    }
}

TfrxFontComboBox::~TfrxFontComboBox() = default;

void TfrxFontComboBox::MeasureRows()
{
    TfrxCustomComboBox::MeasureRows();
    if (FGlyph) SetItemHeight(std::max(FGlyph->Height() + 1, ItemHeight()));
}

void TfrxFontComboBox::SetMRURegKey(const std::string& v) { FMRURegKey = v.empty() ? kDefaultMRUKey : v; }

void TfrxFontComboBox::CreateWindowDone()
{
    TfrxCustomComboBox::CreateWindowDone();
    if (Items()->Count() == 0 && !ComponentState().Contains(csDesigning)) Populate();
}

void TfrxFontComboBox::Populate()
{
    FPopulating = true;
    const std::string text = Text();
    // Sorted while filling, each family once.
    TStringList fonts;
    fonts.SetSorted(true);
    fonts.SetDuplicates(dupIgnore);
    if (Screen) {
        TStrings* screenFonts = Screen->Fonts();
        for (int i = 0; i < screenFonts->Count(); ++i) {
            // The face names the font enumeration gives are at most 32 bytes.
            std::string name = (*screenFonts)[i];
            if (name.size() > 31) name.resize(31);
            // Fonts here are scalable outlines: all are marked TrueType.
            if (fonts.IndexOf(name) < 0) fonts.AddObject(name, AsObject(TrueTypeFont));
        }
    }
    Items()->Clear();
    for (int i = 0; i < fonts.Count(); ++i) Items()->AddObject(fonts[i], fonts.Objects(i));
    FMRUCount = -1;
    if (ShowMRU) ReadMRU();
    if (Items()->IndexOf(text) < 0 || text.empty()) {
        if (Items()->Count() > 0) SetItemIndex(0);
    } else {
        SetItemIndex(Items()->IndexOf(text));
    }
    FPopulating = false;
}

void TfrxFontComboBox::ReadMRU()
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKey(FMRURegKey, true)) return;
    for (int n = 4; n >= 0; --n) {
        const std::string fontValue = "Font" + IntToStr(n), typeValue = "FontType" + IntToStr(n);
        const std::string name = reg.ValueExists(fontValue) ? reg.ReadString(fontValue) : std::string();
        if (name.empty()) continue;
        // Looked up among the installed fonts, below the recent ones.
        int found = -1;
        for (int i = FMRUCount + 1; i < Items()->Count(); ++i)
            if ((*Items())[i] == name) {
                found = i;
                break;
            }
        if (found < 0) {
            // No longer installed: forgotten.
            reg.WriteString(fontValue, "");
            reg.WriteInteger(typeValue, 0);
            continue;
        }
        const int flags = reg.ValueExists(typeValue) ? reg.ReadInteger(typeValue) : FlagsOf(Items(), found);
        Items()->InsertObject(0, name, AsObject(flags));
        ++FMRUCount;
    }
}

void TfrxFontComboBox::WriteMRU()
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKey(FMRURegKey, true)) return;
    for (int n = 0; n <= 4; ++n) {
        const bool used = n <= FMRUCount;
        reg.WriteString("Font" + IntToStr(n), used ? (*Items())[n] : std::string());
        reg.WriteInteger("FontType" + IntToStr(n), used ? FlagsOf(Items(), n) : 0);
    }
}

TPoint TfrxFontComboBox::PreviewPosition(int screenWidth) const
{
    const int w = FPreview ? FPreview->Width() : 200, h = FPreview ? FPreview->Height() : 50;
    TPoint p = ClientToScreen(Point(Width(), Height()));
    if (p.X + w > screenWidth) p.X = ClientToScreen(Point(0, 0)).X - w - 1;
    if (UpDropdown()) p.Y = ClientToScreen(Point(0, 0)).Y - h;
    return p;
}

void TfrxFontComboBox::DropDown()
{
    TfrxCustomComboBox::DropDown();
    if (FPreview) {
        const TPoint p = PreviewPosition(Screen ? Screen->Width() : 1 << 30);
        FPreview->SetBounds(p.X, p.Y, FPreview->Width(), FPreview->Height());
        if (ItemIndex() >= 0) FPreview->ShowFont((*Items())[ItemIndex()]);
        FPreview->Show();
    }
}

void TfrxFontComboBox::CloseUp()
{
    if (FPreview) FPreview->Hide();
    const int index = ItemIndex();
    if (ShowMRU && index > 0) {
        const std::string name = (*Items())[index];
        const int flags = FlagsOf(Items(), index);
        int recent = -1;
        for (int i = 0; i <= FMRUCount; ++i)
            if ((*Items())[i] == name) recent = i;
        if (recent < 0) {
            // A new recent font; the sixth drops the oldest.
            Items()->InsertObject(0, name, AsObject(flags));
            if (FMRUCount == 4)
                Items()->Delete(5);
            else
                ++FMRUCount;
        } else {
            Items()->Delete(recent);
            Items()->InsertObject(0, name, AsObject(flags));
        }
        SetItemIndex(0);
        WriteMRU();
    }
    TfrxCustomComboBox::CloseUp();
}

void TfrxFontComboBox::DrawItem(int index, TRect rect, TOwnerDrawState state)
{
    TCanvas* c = Canvas();
    c->FillRect(rect);
    if (index < 0 || index >= Items()->Count()) return;
    int x = rect.Left + 15;
    if (FlagsOf(Items(), index) & TrueTypeFont) {
        const int y = rect.Top + (rect.Height() - FGlyph->Height()) / 2;
        c->Draw(rect.Left + 1, y, FGlyph.get());
        x = rect.Left + 1 + FGlyph->Width() + 2;
    }
    const std::string name = (*Items())[index];
    c->TextOut(x, rect.Top + (rect.Height() - c->TextHeight(name)) / 2, name);
    // The recent fonts stand apart from the rest.
    c->Pen()->SetColor(clBtnShadow);
    if (index == FMRUCount) {
        c->MoveTo(rect.Left, rect.Bottom - 2);
        c->LineTo(rect.Right, rect.Bottom - 2);
    }
    if (index == FMRUCount + 1 && FMRUCount >= 0) {
        c->MoveTo(rect.Left, rect.Top);
        c->LineTo(rect.Right, rect.Top);
    }
    if (state.Contains(odSelected) && FPreview && FPreview->Visible()) FPreview->ShowFont(name);
}

void TfrxFontComboBox::Click()
{
    if (FPopulating || ComponentState().Contains(csLoading)) return;
    TfrxCustomComboBox::Click();
}

// ---- edit with a button ----------------------------------------------------------------------------

TfrxComboEdit::TfrxComboEdit(TComponent* owner) : TCustomComboBox(owner)
{
    SetStyle(csSimple);
    SetHeight(21);
    FPanel = new TPanel(this);
    FPanel->SetParent(this);
    FPanel->SetBevelOuter(bvNone);
    FPanel->SetBevelInner(bvNone);
    FButton = new TSpeedButton(this);
    FButton->SetParent(FPanel);
    FButton->SetAlign(alClient);
    FButton->SetCaption("...");
    FButton->OnClick = [this](TObject*) {
        if (CanFocus()) SetFocus();
        if (OnButtonClick) OnButtonClick(this);
    };
    PlaceButton();
}

TBitmap* TfrxComboEdit::Glyph() const { return FButton->Glyph(); }

void TfrxComboEdit::SetGlyph(TBitmap* v)
{
    FButton->SetGlyph(v);
    FButton->SetCaption(v && v->Width() > 0 ? "" : "...");
}

void TfrxComboEdit::SetButtonEnabled(bool v)
{
    FButtonEnabled = v;
    FButton->SetEnabled(v && Enabled());
}

std::string TfrxComboEdit::ButtonHint() const { return FButton->Hint(); }

void TfrxComboEdit::SetButtonHint(const std::string& v)
{
    FButton->SetHint(v);
    FButton->SetShowHint(!v.empty());
}

void TfrxComboEdit::PlaceButton()
{
    FPanel->SetBounds(Width() - Height() + 2, 2, Height() - 4, Height() - 4);
}

void TfrxComboEdit::Resize()
{
    TCustomComboBox::Resize();
    PlaceButton();
}

void TfrxComboEdit::KeyDown(WORD& key, TShiftState shift)
{
    // The form's default and cancel buttons answer Enter and Esc.
    if (key == VK_RETURN || key == VK_ESCAPE) {
        if (TCustomForm* form = GetParentForm(this)) {
            const WORD k = key;
            if (form->Perform(CM_DIALOGKEY, k, 0) != 0) {
                key = 0;
                return;
            }
        }
    }
    TCustomComboBox::KeyDown(key, shift);
}

void TfrxComboEdit::CMEnabledChanged(TMessage& m)
{
    TCustomComboBox::Dispatch(m);
    FButton->SetEnabled(FButtonEnabled && Enabled());
}
