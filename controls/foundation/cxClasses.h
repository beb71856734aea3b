// The smallest building blocks of the control suite: an owner-aware
// persistent object, a component base with three design-time link slots, an
// owning object list, two class registries, the auto-width distributor and
// the resource-string lookup (shared with the data controller).
#pragma once

#include "Classes.h"
#include "Components.h"
#include "Lists.h"
#include "StringLists.h"
#include "Types.h"
#include "cxResStrings.h"

#include <memory>
#include <string>
#include <vector>

enum TcxAlignmentVert { vaTop, vaBottom, vaCenter };

// A persistent object whose lifetime belongs to its owner; the owner also
// answers the designers' owner query.
class TcxInterfacedPersistent : public TInterfacedPersistent {
    QZ_CLASS(TcxInterfacedPersistent, TInterfacedPersistent)
public:
    explicit TcxInterfacedPersistent(TPersistent* AOwner = nullptr) : FOwner(AOwner) {}
    TPersistent* Owner() const { return FOwner; }
    TPersistent* GetOwner() const override { return FOwner; }

protected:
    // For objects made from a class reference, which get their owner after.
    void SetOwner(TPersistent* AOwner) { FOwner = AOwner; }

private:
    TPersistent* FOwner;
};

// A component with three link slots a form designer shows (for example the
// styles a style sheet uses from other forms).
class TcxComponent : public TComponent {
    QZ_CLASS(TcxComponent, TComponent)
public:
    explicit TcxComponent(TComponent* AOwner = nullptr) : TComponent(AOwner) {}

    static constexpr int FakeComponentLinkCount() { return 3; }
    TComponent* FakeComponentLink1() const { return FLinks[0].Get(); }
    TComponent* FakeComponentLink2() const { return FLinks[1].Get(); }
    TComponent* FakeComponentLink3() const { return FLinks[2].Get(); }
    void SetFakeComponentLink1(TComponent* v) { FLinks[0] = v; }
    void SetFakeComponentLink2(TComponent* v) { FLinks[1] = v; }
    void SetFakeComponentLink3(TComponent* v) { FLinks[2] = v; }

    void Loaded() override;
    void BeforeDestruction() override;
    // Refreshes the link slots from GetFakeComponentLinks while designing.
    void UpdateFakeLinks();

protected:
    // Descendants append the components the link slots are to show.
    virtual void GetFakeComponentLinks(std::vector<TComponent*>& List) {}
    void SetFakeComponentLink(int Index, TComponent* Value);

private:
    // Weak, so a linked component that goes never leaves a dangling slot.
    TWeakRef<TComponent> FLinks[3];
};

// An owning list of objects: clearing frees every object in index order.
class TcxObjectList : public TList {
    QZ_CLASS(TcxObjectList, TList)
public:
    TcxObjectList() = default;
    ~TcxObjectList() override;
    // Frees every object, in index order, then empties the list.
    void Clear();
    TObject* ItemAt(int Index) const { return static_cast<TObject*>(Items(Index)); }
};

// One pair of a class registry: a class and its companion class.
struct TcxRegisteredClassListItemData {
    TClass ItemClass = nullptr;
    TClass RegisteredClass = nullptr;
};

// Maps a class to a companion class through inheritance: the companion
// registered for the nearest registered ancestor (the class itself included)
// wins. Entries of ancestors stand before those of their descendants.
class TcxRegisteredClassList : public TObject {
    QZ_CLASS(TcxRegisteredClassList, TObject)
public:
    TcxRegisteredClassList() = default;
    ~TcxRegisteredClassList() override;

    virtual bool FindPosition(TClass AClass, int& Index);
    virtual void Register(TClass AItemClass, TClass ARegisteredClass);
    virtual void Unregister(TClass AItemClass, TClass ARegisteredClass);

    void Clear();
    TClass Find(TClass AItemClass);
    int Count() const { return int(FItems.size()); }
    const TcxRegisteredClassListItemData& ItemAt(int Index) const;

private:
    std::vector<std::unique_ptr<TcxRegisteredClassListItemData>> FItems;
};

// Classes with display descriptions, in registration order; optionally also
// registered for creation by name.
class TcxRegisteredClasses : public TObject {
    QZ_CLASS(TcxRegisteredClasses, TObject)
public:
    explicit TcxRegisteredClasses(bool ARegisterClasses = false);
    ~TcxRegisteredClasses() override;

    void Register(TClass AClass, const std::string& ADescription);
    void Unregister(TClass AClass);
    int IndexOfClass(TClass AClass) const;
    // Exact, case-sensitive match of the class name; null when none.
    TClass FindByClassName(const std::string& AClassName) const;
    void Clear();
    int Count() const;
    TClass GetClass(int Index) const;
    std::string GetDescription(int Index) const;
    bool RegisterClassesFlag() const { return FRegisterClasses; }
    TStringList* Items() const { return FItems.get(); }

private:
    std::unique_ptr<TStringList> FItems;
    bool FRegisterClasses;
};

// One column or band of an auto-width distribution.
class TcxAutoWidthItem : public TObject {
    QZ_CLASS(TcxAutoWidthItem, TObject)
public:
    int MinimumWidth = 0;
    int Width = 0;
    bool IsFixed = false;
    int ResultWidth = -1;   // -1 until the distribution has settled it
};

// Spreads AvailableSpace over the items in proportion to their widths,
// keeping fixed items and pinning items at their minimum widths.
class TcxAutoWidthObject : public TObject {
    QZ_CLASS(TcxAutoWidthObject, TObject)
public:
    explicit TcxAutoWidthObject(int ACapacity = 0);
    ~TcxAutoWidthObject() override;

    TcxAutoWidthItem* NewItem();
    TcxAutoWidthItem* ItemAt(int Index) const { return FItems[size_t(Index)].get(); }
    int Count() const { return int(FItems.size()); }
    int TotalWidth() const;
    void Calculate();

    int AvailableSpace = 0;

private:
    std::vector<std::unique_ptr<TcxAutoWidthItem>> FItems;
};

namespace cxClasses {
// GetResourceString, SetResourceString and ResetResourceString come from
// cxResStrings.h.
inline TSize MakeSize(int X, int Y) { return TSize{X, Y}; }
}  // namespace cxClasses
