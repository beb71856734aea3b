// The in-place edit list (declared in cxEdit.h): one hidden edit per
// properties object of a host.
#include "cxEdit.h"

#include "SysUtils.h"

QZ_CLASS_IMPL(TcxInplaceEditList, TObject)

TcxInplaceEditList::~TcxInplaceEditList()
{
    // The last edit made goes first.
    while (!FItems.empty()) FItems.pop_back();
}

std::unique_ptr<TcxCustomEdit> TcxInplaceEditList::CreateEdit(TcxCustomEditProperties* AProperties)
{
    std::unique_ptr<TcxCustomEdit> e(TcxCustomEdit::CreateInplace(AProperties->GetEditClass()));
    e->SetVisible(false);
    return e;
}

TcxCustomEdit* TcxInplaceEditList::GetEdit(TcxCustomEditProperties* AProperties)
{
    TcxCustomEdit* edit = nullptr;
    for (const TItem& i : FItems)
        if (i.Properties == AProperties) edit = i.Edit.get();
    if (!edit) {
        FItems.push_back(TItem{CreateEdit(AProperties), AProperties});
        edit = FItems.back().Edit.get();
    }
    // Each activation takes the host's settings anew.
    edit->LockChangeEvents(true);
    try {
        edit->ActiveProperties()->Assign(AProperties);
    } catch (...) {
        edit->LockChangeEvents(false, false);
        throw;
    }
    edit->LockChangeEvents(false, false);
    return edit;
}

TcxCustomEdit* TcxInplaceEditList::GetEditByPropertiesClass(TClass APropertiesClass)
{
    for (const TItem& i : FItems)
        if (i.Edit->ActiveProperties()->ClassType() == APropertiesClass) return i.Edit.get();
    TObject* o = APropertiesClass ? APropertiesClass->Create(nullptr) : nullptr;
    std::unique_ptr<TcxCustomEditProperties> p(dynamic_cast<TcxCustomEditProperties*>(o));
    if (!p) {
        delete o;
        throw EConvertError("Invalid editor properties class");
    }
    std::unique_ptr<TcxCustomEdit> e(TcxCustomEdit::CreateInplace(p->GetEditClass()));
    // The edit's own properties are those of the list's item.
    TcxCustomEditProperties* own = e->ActiveProperties();
    FItems.push_back(TItem{std::move(e), own});
    return FItems.back().Edit.get();
}

void TcxInplaceEditList::RemoveItem(TcxCustomEditProperties* AProperties)
{
    for (auto it = FItems.begin(); it != FItems.end(); ++it)
        if (it->Properties == AProperties) {
            FItems.erase(it);
            return;
        }
}
