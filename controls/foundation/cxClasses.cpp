#include "cxClasses.h"

#include "TypInfo.h"

namespace {
void DefineComponentProps(std::vector<TPropInfo>& props)
{
    props.push_back(PublishObject<TcxComponent>("FakeComponentLink1", &TcxComponent::FakeComponentLink1,
                                                &TcxComponent::SetFakeComponentLink1));
    props.push_back(PublishObject<TcxComponent>("FakeComponentLink2", &TcxComponent::FakeComponentLink2,
                                                &TcxComponent::SetFakeComponentLink2));
    props.push_back(PublishObject<TcxComponent>("FakeComponentLink3", &TcxComponent::FakeComponentLink3,
                                                &TcxComponent::SetFakeComponentLink3));
}
}  // namespace

QZ_CLASS_IMPL(TcxInterfacedPersistent, TInterfacedPersistent)
QZ_CLASS_IMPL_PROPS(TcxComponent, TComponent, DefineComponentProps)
QZ_CLASS_IMPL(TcxObjectList, TList)
QZ_CLASS_IMPL(TcxRegisteredClassList, TObject)
QZ_CLASS_IMPL(TcxRegisteredClasses, TObject)
QZ_CLASS_IMPL(TcxAutoWidthItem, TObject)
QZ_CLASS_IMPL(TcxAutoWidthObject, TObject)

// ---- TcxComponent -------------------------------------------------------------------

void TcxComponent::Loaded()
{
    inherited::Loaded();
    UpdateFakeLinks();
}

void TcxComponent::BeforeDestruction()
{
    if (!ComponentState().Contains(csDestroying)) Destroying();
    inherited::BeforeDestruction();
}

void TcxComponent::UpdateFakeLinks()
{
    TComponentState state = ComponentState();
    if (!state.Contains(csDesigning) || state.Contains(csDestroying) || !Owner()) return;
    std::vector<TComponent*> list;   // freed on every path by its own destructor
    GetFakeComponentLinks(list);
    for (int i = 0; i < FakeComponentLinkCount(); ++i)
        SetFakeComponentLink(i, i < int(list.size()) ? list[size_t(i)] : nullptr);
}

void TcxComponent::SetFakeComponentLink(int Index, TComponent* Value)
{
    switch (Index) {
    case 0: SetFakeComponentLink1(Value); break;
    case 1: SetFakeComponentLink2(Value); break;
    case 2: SetFakeComponentLink3(Value); break;
    default: break;
    }
}

// ---- TcxObjectList --------------------------------------------------------------------

TcxObjectList::~TcxObjectList()
{
    Clear();
}

void TcxObjectList::Clear()
{
    for (int i = 0; i < Count(); ++i) {
        TObject* obj = ItemAt(i);
        SetItems(i, nullptr);
        FreeObject(obj);
    }
    TList::Clear();
}

// ---- TcxRegisteredClassList ------------------------------------------------------------

TcxRegisteredClassList::~TcxRegisteredClassList()
{
    Clear();
}

void TcxRegisteredClassList::Clear()
{
    FItems.clear();
}

const TcxRegisteredClassListItemData& TcxRegisteredClassList::ItemAt(int Index) const
{
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return *FItems[size_t(Index)];
}

bool TcxRegisteredClassList::FindPosition(TClass AClass, int& Index)
{
    if (!AClass) return false;
    for (int i = Count() - 1; i >= 0; --i) {
        TClass item = FItems[size_t(i)]->ItemClass;
        if (AClass->InheritsFrom(item)) {
            Index = i;
            return true;
        }
        if (item->InheritsFrom(AClass)) Index = i;
    }
    return false;
}

void TcxRegisteredClassList::Register(TClass AItemClass, TClass ARegisteredClass)
{
    auto pair = std::make_unique<TcxRegisteredClassListItemData>();
    pair->ItemClass = AItemClass;
    pair->RegisteredClass = ARegisteredClass;
    int index = -1;
    if (FindPosition(AItemClass, index))
        FItems.insert(FItems.begin() + index + 1, std::move(pair));
    else if (index == -1)
        FItems.push_back(std::move(pair));
    else
        FItems.insert(FItems.begin() + index, std::move(pair));
}

void TcxRegisteredClassList::Unregister(TClass AItemClass, TClass ARegisteredClass)
{
    for (int i = Count() - 1; i >= 0; --i) {
        const auto& p = *FItems[size_t(i)];
        if (p.ItemClass == AItemClass && p.RegisteredClass == ARegisteredClass)
            FItems.erase(FItems.begin() + i);
    }
}

TClass TcxRegisteredClassList::Find(TClass AItemClass)
{
    int index = -1;
    return FindPosition(AItemClass, index) ? FItems[size_t(index)]->RegisteredClass : nullptr;
}

// ---- TcxRegisteredClasses ---------------------------------------------------------------

namespace {
// The list keeps class records as its objects; they are not objects of the
// object model, so they travel as opaque pointers and are never freed.
TObject* AsObject(TClass c) { return reinterpret_cast<TObject*>(const_cast<TClassRec*>(c)); }
TClass AsClass(TObject* o) { return reinterpret_cast<TClass>(o); }
}  // namespace

TcxRegisteredClasses::TcxRegisteredClasses(bool ARegisterClasses)
    : FItems(std::make_unique<TStringList>()), FRegisterClasses(ARegisterClasses)
{
}

TcxRegisteredClasses::~TcxRegisteredClasses()
{
    Clear();
}

void TcxRegisteredClasses::Register(TClass AClass, const std::string& ADescription)
{
    if (!AClass || IndexOfClass(AClass) >= 0) return;
    FItems->AddObject(ADescription, AsObject(AClass));
    if (FRegisterClasses) ::RegisterClass(AClass);
}

void TcxRegisteredClasses::Unregister(TClass AClass)
{
    int i = IndexOfClass(AClass);
    if (i >= 0) FItems->Delete(i);
}

int TcxRegisteredClasses::IndexOfClass(TClass AClass) const
{
    for (int i = 0; i < FItems->Count(); ++i)
        if (AsClass(FItems->Objects(i)) == AClass) return i;
    return -1;
}

TClass TcxRegisteredClasses::FindByClassName(const std::string& AClassName) const
{
    for (int i = 0; i < FItems->Count(); ++i) {
        TClass c = AsClass(FItems->Objects(i));
        if (c->Name == AClassName) return c;
    }
    return nullptr;
}

void TcxRegisteredClasses::Clear()
{
    FItems->Clear();
}

int TcxRegisteredClasses::Count() const
{
    return FItems->Count();
}

TClass TcxRegisteredClasses::GetClass(int Index) const
{
    return AsClass(FItems->Objects(Index));
}

std::string TcxRegisteredClasses::GetDescription(int Index) const
{
    return FItems->Strings(Index);
}

// ---- TcxAutoWidthObject ------------------------------------------------------------------

TcxAutoWidthObject::TcxAutoWidthObject(int ACapacity)
{
    if (ACapacity > 0) FItems.reserve(size_t(ACapacity));
}

TcxAutoWidthObject::~TcxAutoWidthObject() = default;

TcxAutoWidthItem* TcxAutoWidthObject::NewItem()
{
    FItems.push_back(std::make_unique<TcxAutoWidthItem>());
    return FItems.back().get();
}

int TcxAutoWidthObject::TotalWidth() const
{
    int total = 0;
    for (const auto& item : FItems) total += item->Width;
    return total;
}

void TcxAutoWidthObject::Calculate()
{
    int restAvail = AvailableSpace;
    int restTotal = TotalWidth();
    for (const auto& item : FItems)
        if (item->IsFixed) {
            item->ResultWidth = item->Width;
            restAvail -= item->ResultWidth;
            restTotal -= item->Width;
        }
    bool finalPass = false;
    for (;;) {
        int avail = restAvail;
        int total = restTotal;
        int acc = 0;
        bool changed = false;
        for (const auto& item : FItems) {
            if (item->ResultWidth != -1) continue;
            // The cumulative form makes the shares of a pass add up to avail.
            int share = MulDiv(acc + item->Width, avail, total) - MulDiv(acc, avail, total);
            if (finalPass)
                item->ResultWidth = share;
            else if (item->MinimumWidth >= share) {
                item->ResultWidth = item->MinimumWidth;
                restAvail -= item->ResultWidth;
                restTotal -= item->Width;
                changed = true;
            }
            acc += item->Width;
        }
        if (!changed) finalPass = !finalPass;
        if (restTotal == 0 || (!changed && !finalPass)) break;
    }
}
