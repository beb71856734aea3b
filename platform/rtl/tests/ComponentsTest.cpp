#include "Components.h"
#include "TypInfo.h"
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> gLog;

// Records its destruction and the removals it hears of, and clears its
// reference to a linked component when told it goes.
class TProbe : public TComponent {
    QZ_CLASS(TProbe, TComponent)
public:
    explicit TProbe(TComponent* owner = nullptr, const std::string& name = "") : TComponent(owner)
    {
        if (!name.empty()) SetName(name);
    }
    ~TProbe() override { gLog.push_back("free " + Name()); }
    void SetLink(TProbe* p)
    {
        if (FLink) FLink->RemoveFreeNotification(this);
        FLink = p;
        if (p) p->FreeNotification(this);
    }
    TProbe* Link() const { return FLink; }
    void Notification(TComponent* c, TOperation op) override
    {
        TComponent::Notification(c, op);
        Heard.push_back((op == opInsert ? "+" : "-") + c->Name());
        HeardClass.push_back(c->ClassName());
        if (op == opRemove && c == FLink) FLink = nullptr;
        if (op == opRemove && c == FreeWith) {
            FreeWith = nullptr;
            FreeObject(FreeAlso);
        }
    }
    // When FreeWith goes, this component frees FreeAlso (a handler that
    // changes the component tree while being told).
    TComponent* FreeWith = nullptr;
    TComponent* FreeAlso = nullptr;
    void Loaded() override
    {
        TComponent::Loaded();
        ++LoadedCount;
    }
    std::vector<std::string> Heard;
    std::vector<std::string> HeardClass;
    int LoadedCount = 0;

private:
    TProbe* FLink = nullptr;
};
QZ_CLASS_IMPL(TProbe, TComponent)

class TColorBox : public TPersistent {
    QZ_CLASS(TColorBox, TPersistent)
public:
    int Color = 0;
    void Assign(TPersistent* source) override
    {
        if (auto* s = DynamicCast<TColorBox>(source)) {
            Color = s->Color;
            return;
        }
        TPersistent::Assign(source);
    }
};
class TOwnedBox : public TPersistent {
    QZ_CLASS(TOwnedBox, TPersistent)
public:
    TPersistent* Owner = nullptr;
    TPersistent* GetOwner() const override { return Owner; }
};
QZ_CLASS_IMPL(TColorBox, TPersistent)
QZ_CLASS_IMPL(TOwnedBox, TPersistent)

// Interfaces.
class IGreeter : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{5A0E1C62-3C1B-4F7B-9D10-2B4C7A7E0001}");
    virtual std::string Greet() = 0;
};
class ICounter : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{5A0E1C62-3C1B-4F7B-9D10-2B4C7A7E0002}");
    virtual int Next() = 0;
};
int gGreeterFreed = 0;
class TGreeter : public TInterfacedObject, public IGreeter {
    QZ_CLASS(TGreeter, TInterfacedObject)
    QZ_INTERFACES(IGreeter)
public:
    ~TGreeter() override { ++gGreeterFreed; }
    std::string Greet() override { return "你好"; }
};
class TCountingComponent : public TComponent, public ICounter {
    QZ_CLASS(TCountingComponent, TComponent)
    QZ_INTERFACES(ICounter)
public:
    using TComponent::TComponent;
    int Next() override { return ++N; }
    int N = 0;
};
QZ_CLASS_IMPL(TGreeter, TInterfacedObject)
QZ_CLASS_IMPL(TCountingComponent, TComponent)

// Logs "who:what" for every insertion it hears of, in the order heard.
class TNewsLog : public TComponent {
    QZ_CLASS(TNewsLog, TComponent)
public:
    TNewsLog(TComponent* owner, const std::string& name) : TComponent(owner) { SetName(name); }
    void Notification(TComponent* c, TOperation op) override
    {
        TComponent::Notification(c, op);
        if (op == opInsert) gLog.push_back(Name() + ":" + c->Name());
    }
};
// Handles news through its parent class's handler.
class TNewsLogHeir : public TNewsLog {
    QZ_CLASS(TNewsLogHeir, TNewsLog)
public:
    using TNewsLog::TNewsLog;
};
QZ_CLASS_IMPL(TNewsLog, TComponent)
QZ_CLASS_IMPL(TNewsLogHeir, TNewsLog)

}   // namespace

class ComponentsTest : public ::testing::Test {
protected:
    void SetUp() override { gLog.clear(); }
};

TEST_F(ComponentsTest, OwnerFreesOwnedComponentsLastFirst)
{
    auto* form = new TProbe(nullptr, "Form1");
    auto* a = new TProbe(form, "A");
    new TProbe(form, "B");
    new TProbe(a, "A1");
    new TProbe(form, "C");
    EXPECT_EQ(form->ComponentCount(), 3);
    EXPECT_EQ(form->Components(1)->Name(), "B");
    EXPECT_EQ(a->Owner(), form);
    EXPECT_EQ(a->ComponentIndex(), 0);
    FreeObject(form);
    EXPECT_EQ(gLog, (std::vector<std::string>{"free Form1", "free C", "free B", "free A", "free A1"}));
}

TEST_F(ComponentsTest, FreeingAnOwnedComponentLeavesItsOwner)
{
    TProbe form(nullptr, "Form1");
    auto* a = new TProbe(&form, "A");
    auto* b = new TProbe(&form, "B");
    FreeObject(a);
    EXPECT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.Components(0), b);
    EXPECT_EQ(form.FindComponent("a"), nullptr);
    // The owner and the remaining components heard of it.
    // (named after insertion, hence the empty names on "+")
    EXPECT_EQ(form.Heard, (std::vector<std::string>{"+", "+", "-A"}));
    EXPECT_EQ(b->Heard, (std::vector<std::string>{"-A"}));
    EXPECT_THROW(form.Components(1), EListError);
}

TEST_F(ComponentsTest, FreeNotificationClearsReferencesAcrossOwners)
{
    TProbe form1(nullptr, "Form1"), form2(nullptr, "Form2");
    auto* grid = new TProbe(&form1, "Grid");
    auto* source = new TProbe(&form2, "Source");
    grid->SetLink(source);
    FreeObject(source);
    EXPECT_EQ(grid->Link(), nullptr);

    // The link works both ways and is dropped on request.
    auto* other = new TProbe(&form2, "Other");
    grid->SetLink(other);
    FreeObject(grid);
    other->SetLink(nullptr);   // must not touch the freed grid
    auto* again = new TProbe(&form2, "Again");
    grid = new TProbe(&form1, "Grid");
    grid->SetLink(again);
    grid->SetLink(nullptr);
    again->Heard.clear();
    grid->Heard.clear();
    FreeObject(again);
    EXPECT_TRUE(grid->Heard.empty());
}

TEST_F(ComponentsTest, ReferencesBetweenSiblingsClearWhenOwnerIsFreed)
{
    auto* form = new TProbe(nullptr, "Form1");
    auto* early = new TProbe(form, "Early");
    auto* late = new TProbe(form, "Late");
    early->SetLink(late);
    TWeakRef<TProbe> weakEarly(early);
    // Late goes first (last owned first); Early is told before its own turn.
    FreeObject(form);
    EXPECT_FALSE(weakEarly);
    EXPECT_EQ(gLog, (std::vector<std::string>{"free Form1", "free Late", "free Early"}));
}

TEST_F(ComponentsTest, NotificationSeesTheWholeObject)
{
    TProbe form(nullptr, "Form1"), other(nullptr, "Other");
    auto* a = new TProbe(&form, "A");
    auto* b = new TProbe(&form, "B");
    a->SetLink(&other);
    b->HeardClass.clear();
    other.HeardClass.clear();
    FreeObject(a);
    // Both the sibling and the free-notification target can still tell
    // what kind of component goes, and each hears of it once.
    EXPECT_EQ(b->HeardClass, std::vector<std::string>{"TProbe"});
    EXPECT_EQ(other.HeardClass, std::vector<std::string>{"TProbe"});
    EXPECT_EQ(form.ComponentCount(), 1);
    // Plain delete still tells everyone.
    b->SetLink(&other);
    other.Heard.clear();
    delete b;
    EXPECT_EQ(other.Heard, std::vector<std::string>{"-B"});
    EXPECT_EQ(form.ComponentCount(), 0);
}

TEST_F(ComponentsTest, HandlersMayFreeComponentsWhileBeingTold)
{
    auto* form = new TProbe(nullptr, "Form1");
    auto* a = new TProbe(form, "A");
    auto* b = new TProbe(form, "B");
    auto* c = new TProbe(form, "C");
    auto* d = new TProbe(form, "D");
    c->FreeWith = a;
    c->FreeAlso = d;   // D is told first (last first), then C frees it
    b->HeardClass.clear();
    FreeObject(a);
    EXPECT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(form->Components(0), b);
    EXPECT_EQ(form->Components(1), c);
    EXPECT_EQ(b->Heard.back(), "-A");
    gLog.clear();
    FreeObject(form);
    EXPECT_EQ(gLog, (std::vector<std::string>{"free Form1", "free C", "free B"}));
}

TEST_F(ComponentsTest, NameValidation)
{
    TProbe form(nullptr, "Form1");
    auto* a = new TProbe(&form, "Edit1");
    auto* b = new TProbe(&form);
    struct Case {
        const char* name;
        const char* error;   // null: accepted
    };
    const Case cases[] = {
        {"edit1", "A component named edit1 already exists"},
        {"EDIT1", "A component named EDIT1 already exists"},
        {"1Edit", "'1Edit' is not a valid component name"},
        {"Edit 2", "'Edit 2' is not a valid component name"},
        {"学员", "'学员' is not a valid component name"},
        {"_Edit2", nullptr},
        {"Edit2", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        try {
            b->SetName(c.name);
            EXPECT_EQ(c.error, nullptr) << c.name;
            EXPECT_EQ(b->Name(), c.name);
        } catch (const EComponentError& e) {
            ASSERT_NE(c.error, nullptr) << c.name;
            EXPECT_STREQ(e.what(), c.error);
        }
    }
    // Changing only the case of one's own name is allowed.
    a->SetName("EDIT1");
    EXPECT_EQ(form.FindComponent("edit1"), a);
    EXPECT_EQ(form.FindComponent(""), nullptr);
    // Without an owner only the identifier rule applies.
    TProbe lone;
    lone.SetName("Form1");
    EXPECT_THROW(lone.SetName("a-b"), EComponentError);
}

TEST_F(ComponentsTest, InsertAndRemoveComponent)
{
    TProbe form1(nullptr, "Form1"), form2(nullptr, "Form2");
    auto* a = new TProbe(&form1, "A");
    new TProbe(&form2, "A");
    // A duplicate name is refused on insertion too, and nothing moves.
    EXPECT_THROW(form2.InsertComponent(a), EComponentError);
    EXPECT_EQ(a->Owner(), &form1);
    EXPECT_EQ(form1.ComponentCount(), 1);
    a->SetName("B");
    form2.InsertComponent(a);   // leaves form1 first
    EXPECT_EQ(a->Owner(), &form2);
    EXPECT_EQ(form1.ComponentCount(), 0);
    EXPECT_EQ(form2.ComponentCount(), 2);
    EXPECT_EQ(form1.Heard.back(), "-B");
    EXPECT_EQ(form2.Heard.back(), "+B");
    a->SetComponentIndex(0);
    EXPECT_EQ(form2.Components(0), a);
    form2.RemoveComponent(a);
    EXPECT_EQ(a->Owner(), nullptr);
    delete a;
    EXPECT_EQ(form2.ComponentCount(), 1);

    // Ownership never loops: a component cannot own itself or any of its
    // owners, and a refused insertion changes nothing.
    auto* panel = new TProbe(&form1, "Panel");
    auto* edit = new TProbe(panel, "Edit");
    for (TComponent* owner : {static_cast<TComponent*>(&form1), static_cast<TComponent*>(panel),
                              static_cast<TComponent*>(edit)}) {
        EXPECT_THROW(edit->InsertComponent(owner), EComponentError) << owner->Name();
    }
    EXPECT_EQ(panel->Owner(), &form1);
    EXPECT_EQ(edit->Owner(), panel);
    EXPECT_EQ(edit->ComponentCount(), 0);
    EXPECT_EQ(form1.Owner(), nullptr);
}

TEST_F(ComponentsTest, StateLoadedAndDestroying)
{
    auto* form = new TProbe(nullptr, "Form1");
    auto* child = new TProbe(form, "Child");
    form->SetComponentStateFlag(csLoading, true);
    EXPECT_TRUE(form->ComponentState().Contains(csLoading));
    form->Loaded();
    EXPECT_FALSE(form->ComponentState().Contains(csLoading));
    EXPECT_EQ(form->LoadedCount, 1);

    form->SetDesigning(true);
    EXPECT_TRUE(child->ComponentState().Contains(csDesigning));
    auto* added = new TProbe(form, "Added");
    EXPECT_TRUE(added->ComponentState().Contains(csDesigning));

    form->Destroying();
    EXPECT_TRUE(form->ComponentState().Contains(csDestroying));
    EXPECT_TRUE(child->ComponentState().Contains(csDestroying));
    FreeObject(form);
}

TEST_F(ComponentsTest, CreateByNameWithOwnerAndTagProperty)
{
    RegisterClass(TProbe::StaticClass());
    TProbe form(nullptr, "Form1");
    TObject* o = FindClass("tprobe")->Create(&form);
    auto* p = DynamicCast<TProbe>(o);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Owner(), &form);
    SetOrdProp(p, "Tag", 77);
    EXPECT_EQ(p->Tag(), 77);
    SetStrProp(p, "Name", "Made");
    EXPECT_EQ(form.FindComponent("MADE"), p);
    EXPECT_THROW(SetStrProp(p, "Name", "9"), EComponentError);
    UnRegisterClass(TProbe::StaticClass());
}

TEST_F(ComponentsTest, AssignAndNamePath)
{
    TColorBox a, b;
    a.Color = 5;
    b.Assign(&a);
    EXPECT_EQ(b.Color, 5);
    TOwnedBox o;
    try {
        b.Assign(&o);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TOwnedBox to a TColorBox");
    }
    try {
        b.Assign(nullptr);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a nil to a TColorBox");
    }

    TProbe form(nullptr, "Form1");
    auto* edit = new TProbe(&form, "Edit1");
    EXPECT_EQ(edit->GetNamePath(), "Edit1");
    EXPECT_EQ(o.GetNamePath(), "TOwnedBox");
    o.Owner = edit;
    EXPECT_EQ(o.GetNamePath(), "Edit1.TOwnedBox");
}

TEST_F(ComponentsTest, InterfacesWithAndWithoutCounting)
{
    gGreeterFreed = 0;
    {
        TIntf<IGreeter> g(new TGreeter);
        EXPECT_EQ(g->Greet(), "你好");
        TIntf<IInterface> base;
        ASSERT_TRUE(Supports<IInterface>(g.Get(), base));
        TIntf<ICounter> counter;
        EXPECT_FALSE(Supports<ICounter>(g.Get(), counter));
        EXPECT_FALSE(counter);
        TIntf<IGreeter> copy = g;
        EXPECT_EQ(dynamic_cast<TGreeter*>(g.Get())->RefCount(), 3);
    }
    EXPECT_EQ(gGreeterFreed, 1);

    // A plain test leaves an uncounted object alive.
    auto* raw = new TGreeter;
    EXPECT_TRUE(Supports<IGreeter>(raw));
    EXPECT_FALSE(Supports<ICounter>(raw));
    EXPECT_EQ(gGreeterFreed, 1);
    TIntf<IGreeter> hold(raw);
    hold.Reset();
    EXPECT_EQ(gGreeterFreed, 2);

    // Components are not counted: references come and go, the owner frees.
    TProbe form(nullptr, "Form1");
    auto* c = new TCountingComponent(&form);
    {
        TIntf<ICounter> i;
        ASSERT_TRUE(Supports<ICounter>(c, i));
        EXPECT_EQ(i->Next(), 1);
        TIntf<IGreeter> g;
        EXPECT_FALSE(Supports<IGreeter>(c, g));
    }
    EXPECT_EQ(c->N, 1);
    EXPECT_FALSE(Supports<ICounter>(&form));
    EXPECT_FALSE(Supports<ICounter>(nullptr));
}

TEST_F(ComponentsTest, NewsReachEveryComponentThatActsOnThemLastFirst)
{
    TComponent form;
    new TNewsLog(&form, "L1");
    auto* plain = new TComponent(&form);
    new TNewsLog(&form, "L2");
    new TNewsLogHeir(&form, "H");
    // A plain component passes news on once it owns one that listens, and
    // is told in its place among its owner's components.
    new TNewsLog(plain, "Inner");
    auto* moved = new TComponent(nullptr);
    new TNewsLog(moved, "Moved");
    gLog.clear();
    auto* x = new TComponent(nullptr);
    x->SetName("X");
    form.InsertComponent(x);
    EXPECT_EQ(gLog, (std::vector<std::string>{"H:X", "L2:X", "Inner:X", "L1:X"}));
    // Moving to another owner, or to another place, keeps that order.
    form.InsertComponent(moved);
    plain->SetComponentIndex(0);
    gLog.clear();
    auto* y = new TComponent(nullptr);
    y->SetName("Y");
    form.InsertComponent(y);
    EXPECT_EQ(gLog, (std::vector<std::string>{"Moved:Y", "H:Y", "L2:Y", "L1:Y", "Inner:Y"}));
    gLog.clear();
    form.RemoveComponent(plain);
    new TComponent(&form);
    EXPECT_EQ(gLog, (std::vector<std::string>{"Moved:", "H:", "L2:", "L1:"}));
    FreeObject(plain);
}

TEST_F(ComponentsTest, FindComponentFollowsRenamesMovesAndFrees)
{
    TComponent form;
    auto* a = new TComponent(&form);
    a->SetName("Alpha");
    EXPECT_EQ(form.FindComponent("ALPHA"), a);
    a->SetName("Beta");
    EXPECT_EQ(form.FindComponent("alpha"), nullptr);
    EXPECT_EQ(form.FindComponent("beta"), a);
    auto* b = new TComponent(&form);
    EXPECT_THROW(b->SetName("BETA"), EComponentError);
    b->SetName("Alpha");
    EXPECT_EQ(form.FindComponent("Alpha"), b);
    a->SetComponentIndex(1);
    EXPECT_EQ(form.FindComponent("Beta"), a);
    TComponent other;
    other.InsertComponent(a);
    EXPECT_EQ(form.FindComponent("Beta"), nullptr);
    EXPECT_EQ(other.FindComponent("beta"), a);
    auto* c = new TComponent(nullptr);
    c->SetName("Alpha");
    EXPECT_THROW(form.InsertComponent(c), EComponentError);
    FreeObject(c);
    FreeObject(b);
    EXPECT_EQ(form.FindComponent("Alpha"), nullptr);
    for (int i = 0; i < 2000; ++i) (new TComponent(&form))->SetName("C" + std::to_string(i));
    EXPECT_EQ(form.FindComponent("c1999")->ComponentIndex(), 1999);
    EXPECT_EQ(form.FindComponent("C0")->ComponentIndex(), 0);
}

TEST(Guid, ParseAndFormat)
{
    TGUID g = StringToGUID("{5a0e1c62-3c1b-4f7b-9d10-2b4c7a7e00ff}");
    EXPECT_EQ(GUIDToString(g), "{5A0E1C62-3C1B-4F7B-9D10-2B4C7A7E00FF}");
    EXPECT_TRUE(g == StringToGUID(GUIDToString(g)));
    for (const char* bad : {"", "{}", "5A0E1C62-3C1B-4F7B-9D10-2B4C7A7E00FF",
                            "{5A0E1C62-3C1B-4F7B-9D10-2B4C7A7E00F}",
                            "{5A0E1C62-3C1B-4F7B-9D10-2B4C7A7E00FFF}",
                            "{5A0E1C62-3C1B-4F7B-9D10-2B4C7A7E00FG}"})
        EXPECT_THROW(StringToGUID(bad), EConvertError) << bad;
}
