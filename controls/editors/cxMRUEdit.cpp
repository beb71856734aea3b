#include "cxMRUEdit.h"

#include "SysUtils.h"

const TcxResourceStringRec scxSEditRepositoryMRUItem = {
    "scxSEditRepositoryMRUItem",
    "MRUEdit|Represents a text editor displaying the list of most recently used items (MRU) within a dropdown window"};

QZ_CLASS_IMPL(TcxCustomMRUEditProperties, TcxCustomComboBoxProperties)
QZ_CLASS_IMPL(TcxMRUEditProperties, TcxCustomMRUEditProperties)
QZ_CLASS_IMPL(TcxCustomMRUEdit, TcxCustomComboBox)
QZ_CLASS_IMPL(TcxMRUEdit, TcxCustomMRUEdit)

TcxCustomMRUEditProperties::TcxCustomMRUEditProperties(TPersistent* AOwner) : TcxCustomComboBoxProperties(AOwner)
{
    BeginUpdate();
    Buttons()->Add();
    // The popup still opens with button 0; the glyph belongs to the ellipsis.
    SetDropDownButtonIndex(1);
    Buttons()->Items(1)->SetKind(bkEllipsis);
    Buttons()->Items(1)->SetDefault(true);
    SetDropDownListStyle(lsEditList);
    EndUpdate(false);
}

TClass TcxCustomMRUEditProperties::GetEditClass() const { return TcxMRUEdit::StaticClass(); }

void TcxCustomMRUEditProperties::TruncateItems()
{
    if (FMaxItemCount <= 0) return;
    TStrings* items = LookupItems();
    items->BeginUpdate();
    while (items->Count() > FMaxItemCount) items->Delete(items->Count() - 1);
    items->EndUpdate();
}

void TcxCustomMRUEditProperties::SetMaxItemCount(int Value)
{
    if (Value < 0) Value = 0;
    if (FMaxItemCount == Value) return;
    FMaxItemCount = Value;
    TruncateItems();
    Changed();
}

void TcxCustomMRUEditProperties::SetShowEllipsis(bool Value)
{
    if (FShowEllipsis == Value) return;
    cxDropDownEdit::InUpdate(this, [&] {
        FShowEllipsis = Value;
        if (Buttons()->Count() > 1) Buttons()->Items(1)->SetVisible(Value);
        SetDropDownButtonIndex(Value ? 1 : 0);
    });
}

void TcxCustomMRUEditProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomMRUEditProperties*>(Source);
    if (!s) {
        TcxCustomComboBoxProperties::Assign(Source);
        return;
    }
    cxDropDownEdit::InUpdate(this, [&] {
        TcxCustomComboBoxProperties::Assign(Source);
        SetMaxItemCount(s->MaxItemCount());
        SetShowEllipsis(s->ShowEllipsis());
        OnButtonClick = s->OnButtonClick;
    });
}

void TcxCustomMRUEditProperties::Update(TcxCustomEditProperties* AProperties)
{
    if (auto* p = dynamic_cast<TcxCustomMRUEditProperties*>(AProperties); p && p != this)
        p->LookupItems()->Assign(LookupItems());
}

// ---- the edit --------------------------------------------------------------------------------------------

TcxCustomMRUEdit::TcxCustomMRUEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomComboBox(AOwner, AIsInplace)
{
    InitializeEdit();
    PropertiesChanged(ActiveProperties());
}

void TcxCustomMRUEdit::AddItem(const std::string& AText)
{
    if (AText.empty()) return;
    TStrings* items = Properties()->LookupItems();
    const int i = items->IndexOf(AText);
    if (i < 0) {
        items->Insert(0, AText);
        Properties()->TruncateItems();
    } else if (i > 0) {
        items->Move(i, 0);
    }
}

void TcxCustomMRUEdit::AddPostedText(bool APosted)
{
    if (APosted && !FScrollingItems && CanModify()) AddItem(GetDisplayText());
}

void TcxCustomMRUEdit::DoEditKeyDown(WORD& Key, TShiftState Shift)
{
    const bool navigation = Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT;
    const bool wasModified = ModifiedAfterEnter();
    const WORD key = Key;
    // Stepping through the items posts what is shown without remembering it.
    FScrollingItems = navigation;
    try {
        TcxCustomComboBox::DoEditKeyDown(Key, Shift);
    } catch (...) {
        FScrollingItems = false;
        throw;
    }
    FScrollingItems = false;
    // Enter validated and posted a changed value.
    if (key == VK_RETURN && Key == 0 && wasModified && Properties()->ValidateOnEnter() && Validated())
        AddPostedText(true);
}

void TcxCustomMRUEdit::DoEnter()
{
    TcxCustomComboBox::DoEnter();
    FTextAtEnter = GetDisplayText();
}

void TcxCustomMRUEdit::DoExit()
{
    const bool wasModified = ModifiedAfterEnter();
    TcxCustomComboBox::DoExit();
    if (!IsInplace()) AddPostedText(wasModified);
}

bool TcxCustomMRUEdit::Deactivate()
{
    bool result = TcxCustomComboBox::Deactivate();
    std::string text = GetDisplayText();
    if (text != FTextAtEnter && CanModify()) AddItem(text);
    return result;
}

void TcxCustomMRUEdit::DoButtonClick(int AButtonIndex)
{
    // The ellipsis has its own event; the common button event does not fire.
    if (AButtonIndex == 1) {
        if (Properties()->OnButtonClick) Properties()->OnButtonClick(this);
    }
}

void TcxCustomMRUEdit::PropertiesChanged(TObject* Sender)
{
    if (auto* p = dynamic_cast<TcxCustomMRUEditProperties*>(ActiveProperties()); p && p->Buttons()->Count() > 1) {
        TcxEditButton* b = p->Buttons()->Items(p->ShowEllipsis() ? 1 : 0);
        TBitmap* g = b->HasGlyph() ? b->Glyph() : nullptr;
        TcxEditButtonKind k = g && !g->Empty() ? bkGlyph : (p->ShowEllipsis() ? bkEllipsis : bkDown);
        if (b->Kind() != k) {
            p->SetChangedLocked(true);
            b->SetKind(k);
            p->SetChangedLocked(false);
        }
    }
    TcxCustomComboBox::PropertiesChanged(Sender);
}

namespace cxMRUEdit {

void Initialize()
{
    cxDropDownEdit::Initialize();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxMRUEditProperties::StaticClass()) < 0)
        r->Register(TcxMRUEditProperties::StaticClass(), cxClasses::GetResourceString(&scxSEditRepositoryMRUItem));
}

}  // namespace cxMRUEdit
