// A test component with every kind of stored property, a collection, a
// nested persistent object, defined list and binary properties, references
// and children, for the component stream's tests and checks.
#pragma once

#include "ComponentStreams.h"
#include "Lists.h"
#include "Streams.h"
#include "TypInfo.h"
#include "Variants.h"

#include <functional>
#include <string>
#include <vector>

namespace {

enum TStreamShade { shLight, shMedium, shDark };
using TStreamShades = TSet<TStreamShade, 8>;
QZ_ENUM_TYPEINFO(TStreamShade, "shLight", "shMedium", "shDark")

// A nested persistent object, written in place.
class TStreamFont : public TPersistent {
    QZ_CLASS(TStreamFont, TPersistent)
public:
    int Size = 10;
    std::string Face;
};

class TStreamItem : public TCollectionItem {
    QZ_CLASS(TStreamItem, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    std::string Caption;
    int Width = 0;
};

// One class for the root and its children: children are owned by the root
// and hang below a parent box, as controls hang below their parent.
class TStreamBox : public TComponent {
    QZ_CLASS(TStreamBox, TComponent)
public:
    explicit TStreamBox(TComponent* owner = nullptr)
        : TComponent(owner), Items(this, TStreamItem::StaticClass())
    {
    }
    ~TStreamBox() override
    {
        if (FParentBox) FParentBox->RemoveFreeNotification(this);
    }

    int Count = 0;
    int64_t Big = 0;
    std::string Label;
    TStreamShade Shade = shLight;
    TStreamShades Shades;
    bool Flag = false;
    char Letter = 'a';
    double Ratio = 0;
    Variant Value;
    int Hidden = 0;   // stored only while Flag is set
    TStreamFont Font;
    TOwnedCollection Items;
    TStreamBox* Buddy = nullptr;
    TNotifyEvent OnClick;
    std::vector<std::string> Notes;   // a defined list property
    std::string Blob;                 // a defined binary property

    // What the reader showed the box.
    bool ReadingSeenBySetter = false;
    int LoadedCalls = 0;
    bool LoadingAtLoaded = false;
    TStreamBox* BuddyAtLoaded = nullptr;
    int CountAtLoaded = -1;

    void SetCount(int v)
    {
        ReadingSeenBySetter = ComponentState().Contains(csReading);
        Count = v;
    }
    void SetBuddy(TStreamBox* b)
    {
        if (Buddy) Buddy->RemoveFreeNotification(this);
        Buddy = b;
        if (b) b->FreeNotification(this);
    }

    TStreamBox* ParentBox() const { return FParentBox; }
    void SetParentBox(TStreamBox* p)
    {
        if (FParentBox) FParentBox->RemoveFreeNotification(this);
        FParentBox = p;
        if (p) p->FreeNotification(this);
    }
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override { return FParentBox; }
    void SetParentComponent(TComponent* value) override { SetParentBox(DynamicCast<TStreamBox>(value)); }
    void GetChildren(const TGetChildProc& proc, TComponent* root) override
    {
        for (int i = 0; i < root->ComponentCount(); ++i)
            if (auto* b = DynamicCast<TStreamBox>(root->Components(i)); b && b->FParentBox == this) proc(b);
    }

    void Loaded() override
    {
        ++LoadedCalls;
        LoadingAtLoaded = ComponentState().Contains(csLoading);
        BuddyAtLoaded = Buddy;
        CountAtLoaded = Count;
        TComponent::Loaded();
    }

    void Notification(TComponent* c, TOperation op) override
    {
        TComponent::Notification(c, op);
        if (op == opRemove && c == Buddy) Buddy = nullptr;
        if (op == opRemove && c == FParentBox) FParentBox = nullptr;
    }

    void DefineProperties(TFiler* filer) override
    {
        filer->DefineProperty(
            "Notes",
            [this](TReader* r) {
                Notes.clear();
                r->ReadListBegin();
                while (!r->EndOfList()) Notes.push_back(r->ReadString());
                r->ReadListEnd();
            },
            [this](TWriter* w) {
                w->WriteListBegin();
                for (const std::string& n : Notes) w->WriteString(n);
                w->WriteListEnd();
            },
            !Notes.empty());
        filer->DefineBinaryProperty(
            "Blob", [this](TStream* s) { Blob = s->ReadString(int(s->Size())); },
            [this](TStream* s) { s->WriteString(Blob); }, !Blob.empty());
    }

private:
    TStreamBox* FParentBox = nullptr;
};

void DefineFontProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishInt<TStreamFont>("Size", &TStreamFont::Size, &TStreamFont::Size, 10));
    p.push_back(PublishString<TStreamFont>("Face", &TStreamFont::Face, &TStreamFont::Face));
}

void DefineItemProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishString<TStreamItem>("Caption", &TStreamItem::Caption, &TStreamItem::Caption));
    p.push_back(PublishInt<TStreamItem>("Width", &TStreamItem::Width, &TStreamItem::Width, 0));
}

void DefineBoxProps(std::vector<TPropInfo>& p)
{
    using B = TStreamBox;
    p.push_back(PublishInt<B>("Count", &B::Count, &B::SetCount, 0));
    p.push_back(PublishInt<B>("Big", &B::Big, &B::Big, 0));
    p.push_back(PublishString<B>("Label", &B::Label, &B::Label));
    p.push_back(PublishEnum<B>("Shade", &B::Shade, &B::Shade, shLight));
    p.push_back(PublishSet<B>("Shades", &B::Shades, &B::Shades, TStreamShades()));
    p.push_back(PublishBool<B>("Flag", &B::Flag, &B::Flag, false));
    p.push_back(PublishChar<B>("Letter", &B::Letter, &B::Letter, 'a'));
    p.push_back(PublishFloat<B>("Ratio", &B::Ratio, &B::Ratio));
    p.push_back(PublishVariant<B>("Value", &B::Value, &B::Value));
    p.push_back(PublishInt<B>("Hidden", &B::Hidden, &B::Hidden, 0)
                    .StoredBy([](TObject* o) { return static_cast<B*>(o)->Flag; }));
    p.push_back(PublishObject<B>("Font", [](B* b) { return &b->Font; }));
    p.push_back(PublishObject<B>("Items", [](B* b) { return &b->Items; }));
    p.push_back(PublishObject<B>("Buddy", &B::Buddy, &B::SetBuddy));
    p.push_back(PublishEvent<B>("OnClick", &B::OnClick));
}

}   // namespace

QZ_CLASS_IMPL_PROPS(TStreamFont, TPersistent, DefineFontProps)
QZ_CLASS_IMPL_PROPS(TStreamItem, TCollectionItem, DefineItemProps)
QZ_CLASS_IMPL_PROPS(TStreamBox, TComponent, DefineBoxProps)

namespace {

// The bytes of c in the component stream.
inline std::string Write(TComponent* c)
{
    TMemoryStream ms;
    ms.WriteComponent(c);
    return std::string(static_cast<const char*>(ms.Memory()), size_t(ms.Size()));
}

// Root "Form" with child A (below the root) and grandchild B (below A);
// every kind of property set away from its default.
inline TStreamBox* MakeTree()
{
    auto* root = new TStreamBox();
    root->SetName("Form");
    root->Count = -7;
    root->Big = int64_t(1) << 40;
    root->Label = "驾校 \"学员\"";
    root->Shade = shDark;
    root->Shades = TStreamShades{shLight, shDark};
    root->Flag = true;
    root->Hidden = 3;
    root->Letter = 'Q';
    root->Ratio = 2.5;
    root->Value = VarArrayOf({Variant(1), Variant("x"), Null(), Variant(Currency::FromRaw(12345)),
                              Variant::FromDate(45000.25), Variant::FromWide("宽"), Variant(true),
                              Variant(int64_t(1) << 50), Variant(0.125)});
    root->Font.Size = 14;
    root->Font.Face = "宋体";
    root->Notes = {"one", "", "three"};
    root->Blob = std::string("\0\x01\xFF", 3);
    root->SetTag(9);
    auto* first = root->Items.AddAs<TStreamItem>();
    first->Caption = "Name";
    first->Width = 80;
    root->Items.AddAs<TStreamItem>()->Caption = "Age";
    root->OnClick = [](TObject*) {};

    auto* a = new TStreamBox(root);
    a->SetName("A");
    a->SetParentBox(root);
    a->Count = 1;
    auto* b = new TStreamBox(root);
    b->SetName("B");
    b->SetParentBox(a);
    b->Count = 2;
    b->SetBuddy(a);
    a->SetBuddy(root);   // the root itself
    root->SetBuddy(b);   // a component read after the reference
    return root;
}

}   // namespace
