#include "Lists.h"
#include "TypInfo.h"
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> gFreed;

class TItem : public TObject {
    QZ_CLASS(TItem, TObject)
public:
    explicit TItem(std::string n = "") : N(std::move(n)) {}
    ~TItem() override { gFreed.push_back(N); }
    std::string N;
};
class TSubItem : public TItem {
    QZ_CLASS(TSubItem, TItem)
public:
    using TItem::TItem;
};
QZ_CLASS_IMPL(TItem, TObject)
QZ_CLASS_IMPL(TSubItem, TItem)

// Records what the list tells.
class TSpyList : public TList {
    QZ_CLASS(TSpyList, TList)
public:
    ~TSpyList() override { Clear(); }
    std::vector<std::string> Log;

protected:
    void Notify(void* ptr, TListNotification action) override
    {
        static const char* names[] = {"added", "extracted", "deleted"};
        Log.push_back(std::string(names[action]) + " " + static_cast<const char*>(ptr));
    }
};
QZ_CLASS_IMPL(TSpyList, TList)

std::string Join(const TList& l)
{
    std::string r;
    for (void* p : l) r += p ? static_cast<const char*>(p) : "-";
    return r;
}

char A[] = "a", B[] = "b", C[] = "c", D[] = "d";

// Collections.
class TColumn : public TCollectionItem {
    QZ_CLASS(TColumn, TCollectionItem)
public:
    explicit TColumn(TCollection* c = nullptr) : TCollectionItem(c) {}
    std::string Title;
    void SetTitle(const std::string& t)
    {
        Title = t;
        Changed(false);
    }
    void Assign(TPersistent* source) override
    {
        if (auto* s = DynamicCast<TColumn>(source)) {
            Title = s->Title;
            return;
        }
        TCollectionItem::Assign(source);
    }

protected:
    std::string GetDisplayName() const override
    {
        return Title.empty() ? TCollectionItem::GetDisplayName() : Title;
    }
};
QZ_CLASS_IMPL(TColumn, TCollectionItem)

class TColumns : public TOwnedCollection {
    QZ_CLASS(TColumns, TOwnedCollection)
public:
    TColumns(TPersistent* owner) : TOwnedCollection(owner, TColumn::StaticClass()) {}
    std::vector<std::string> Log;
    TColumn* Column(int i) const { return ItemAs<TColumn>(i); }

protected:
    void Update(TCollectionItem* item) override
    {
        Log.push_back(item ? "update " + static_cast<TColumn*>(item)->Title : "update all");
    }
    void Notify(TCollectionItem* item, TCollectionNotification action) override
    {
        static const char* names[] = {"added", "extracting", "deleting"};
        Log.push_back(names[action]);
        TOwnedCollection::Notify(item, action);
    }
};
QZ_CLASS_IMPL(TColumns, TOwnedCollection)

class TGrid : public TComponent {
    QZ_CLASS(TGrid, TComponent)
public:
    using TComponent::TComponent;
    TColumns* Columns() const { return FColumns; }
    ~TGrid() override { delete FColumns; }

private:
    TColumns* FColumns = new TColumns(this);
};
void DefineGrid(std::vector<TPropInfo>& p)
{
    p.push_back(PublishObject<TGrid>("Columns", &TGrid::Columns));
}
QZ_CLASS_IMPL_PROPS(TGrid, TComponent, DefineGrid)

std::string Titles(const TCollection& c)
{
    std::string r;
    for (int i = 0; i < c.Count(); ++i) r += static_cast<TColumn*>(c.Items(i))->Title;
    return r;
}

}   // namespace

TEST(List, AddInsertDeleteAndNotifications)
{
    TSpyList l;
    EXPECT_EQ(l.Add(A), 0);
    EXPECT_EQ(l.Add(C), 1);
    l.Insert(1, B);
    l.Add(nullptr);   // nil items are kept but not announced
    EXPECT_EQ(Join(l), "abc-");
    l.Delete(3);
    EXPECT_EQ(l.Remove(B), 1);
    EXPECT_EQ(l.Remove(D), -1);
    EXPECT_EQ(l.Extract(C), C);
    EXPECT_EQ(l.Extract(C), nullptr);
    EXPECT_EQ(l.Log, (std::vector<std::string>{"added a", "added c", "added b", "deleted b",
                                               "extracted c"}));
    l.Log.clear();
    l.Add(B);
    l.SetItems(1, D);
    EXPECT_EQ(l.Log, (std::vector<std::string>{"added b", "deleted b", "added d"}));
    EXPECT_EQ(l.First(), A);
    EXPECT_EQ(l.Last(), D);
    EXPECT_EQ(l[1], D);
}

TEST(List, IndexErrors)
{
    TList l;
    l.Add(A);
    struct Case {
        std::function<void()> op;
        const char* message;
    };
    const Case cases[] = {
        {[&] { l.Items(1); }, "List index out of bounds (1)"},
        {[&] { l.Items(-1); }, "List index out of bounds (-1)"},
        {[&] { l.Delete(5); }, "List index out of bounds (5)"},
        {[&] { l.Insert(2, B); }, "List index out of bounds (2)"},
        {[&] { l.Exchange(0, 1); }, "List index out of bounds (1)"},
        {[&] { l.Move(0, 3); }, "List index out of bounds (3)"},
        {[&] { l.SetItems(7, B); }, "List index out of bounds (7)"},
        {[&] { l.SetCount(-1); }, "List count out of bounds (-1)"},
        {[&] { l.SetCapacity(0); }, "List capacity out of bounds (0)"},
    };
    for (const Case& c : cases) {
        try {
            c.op();
            ADD_FAILURE() << c.message;
        } catch (const EListError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    EXPECT_EQ(Join(l), "a");
    TList empty;
    EXPECT_THROW(empty.First(), EListError);
    EXPECT_THROW(empty.Last(), EListError);
}

TEST(List, ReorderPackSortAndCount)
{
    TList l;
    for (char* p : {A, B, C, D}) l.Add(p);
    l.Exchange(0, 3);
    EXPECT_EQ(Join(l), "dbca");
    l.Move(0, 2);
    EXPECT_EQ(Join(l), "bcda");
    l.Move(3, 0);
    EXPECT_EQ(Join(l), "abcd");
    l.SetCount(6);
    EXPECT_EQ(Join(l), "abcd--");
    EXPECT_GE(l.Capacity(), 6);
    l.SetItems(1, nullptr);
    l.Pack();
    EXPECT_EQ(Join(l), "acd");
    l.Add(B);
    l.Sort([](void* x, void* y) { return -std::string(static_cast<char*>(x)).compare(static_cast<char*>(y)); });
    EXPECT_EQ(Join(l), "dcba");
    l.SetCount(2);
    EXPECT_EQ(Join(l), "dc");
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l.Capacity(), 0);
}

TEST(List, SortIsStable)
{
    char k1[] = "1a", k2[] = "2b", k3[] = "1c", k4[] = "0d";
    TList l;
    for (char* p : {k1, k2, k3, k4}) l.Add(p);
    l.Sort([](void* x, void* y) { return static_cast<char*>(x)[0] - static_cast<char*>(y)[0]; });
    EXPECT_EQ(Join(l), "0d1a1c2b");
}

TEST(ObjectList, OwnsAndFreesObjects)
{
    gFreed.clear();
    {
        TObjectList l;
        EXPECT_TRUE(l.OwnsObjects());
        auto* x = new TItem("x");
        l.Add(x);
        l.Add(new TSubItem("y"));
        l.Add(new TItem("z"));
        l.Add(new TItem("w"));
        EXPECT_EQ(l.FindInstanceOf(TSubItem::StaticClass()), 1);
        EXPECT_EQ(l.FindInstanceOf(TItem::StaticClass(), false, 1), 1);
        EXPECT_EQ(l.FindInstanceOf(TItem::StaticClass(), true, 1), 2);
        l.Delete(2);
        EXPECT_EQ(gFreed, std::vector<std::string>{"z"});
        EXPECT_EQ(l.Extract(x), x);   // extracted objects are not freed
        EXPECT_EQ(gFreed.size(), 1u);
        delete x;
        l.SetItems(0, new TItem("v"));   // replacing frees the old one
    }
    EXPECT_EQ(gFreed, (std::vector<std::string>{"z", "x", "y", "w", "v"}));

    gFreed.clear();
    TItem kept("kept");
    {
        TObjectList l(false);
        l.Add(&kept);
        l.Remove(&kept);
        l.Add(&kept);
    }
    EXPECT_TRUE(gFreed.empty());
}

TEST(Collection, AddInsertDeleteWithNotifications)
{
    TGrid grid;
    TColumns& cols = *grid.Columns();
    auto* a = static_cast<TColumn*>(cols.Add());
    a->Title = "A";
    auto* c = cols.AddAs<TColumn>();
    c->Title = "C";
    auto* b = static_cast<TColumn*>(cols.Insert(1));
    b->Title = "B";
    EXPECT_EQ(Titles(cols), "ABC");
    EXPECT_EQ(b->Collection(), &cols);
    EXPECT_EQ(a->ID(), 0);
    EXPECT_EQ(b->ID(), 2);
    EXPECT_EQ(cols.FindItemID(2), b);
    EXPECT_EQ(cols.FindItemID(9), nullptr);
    EXPECT_EQ(cols.ItemClass(), TColumn::StaticClass());
    cols.Log.clear();
    b->SetTitle("B2");
    cols.Delete(1);
    EXPECT_EQ(cols.Log, (std::vector<std::string>{"update B2", "deleting", "extracting", "update all"}));
    EXPECT_EQ(Titles(cols), "AC");
    EXPECT_THROW(cols.Items(2), EListError);
    EXPECT_THROW(cols.Insert(5), EListError);
    // IDs are never reused.
    EXPECT_EQ(cols.Add()->ID(), 3);
}

TEST(Collection, IndexMovesTheItem)
{
    TGrid grid;
    TColumns& cols = *grid.Columns();
    for (const char* t : {"A", "B", "C", "D"}) cols.AddAs<TColumn>()->Title = t;
    struct Case {
        int from, to;
        const char* order;
    };
    const Case cases[] = {{0, 3, "BCDA"}, {3, 0, "ABCD"}, {1, 2, "ACBD"}, {2, 2, "ACBD"}};
    for (const Case& c : cases) {
        cols.Items(c.from)->SetIndex(c.to);
        EXPECT_EQ(Titles(cols), c.order) << c.from << "->" << c.to;
    }
    EXPECT_EQ(cols.Column(2)->Index(), 2);
    EXPECT_THROW(cols.Items(0)->SetIndex(4), EListError);
    EXPECT_EQ(Titles(cols), "ACBD");
}

TEST(Collection, UpdatesHeldBackWhileUpdating)
{
    TGrid grid;
    TColumns& cols = *grid.Columns();
    cols.BeginUpdate();
    cols.BeginUpdate();
    cols.Add();
    cols.AddAs<TColumn>()->SetTitle("x");
    EXPECT_EQ(cols.UpdateCount(), 2);
    cols.EndUpdate();
    EXPECT_EQ(cols.Log, (std::vector<std::string>{"added", "added"}));
    cols.EndUpdate();
    EXPECT_EQ(cols.Log, (std::vector<std::string>{"added", "added", "update all"}));
    EXPECT_EQ(cols.UpdateCount(), 0);
}

TEST(Collection, MovingItemsBetweenCollectionsAndFreeing)
{
    TGrid g1, g2;
    auto* x = g1.Columns()->AddAs<TColumn>();
    x->Title = "X";
    x->SetCollection(g2.Columns());
    EXPECT_EQ(g1.Columns()->Count(), 0);
    EXPECT_EQ(g2.Columns()->Items(0), x);
    FreeObject(x);   // freeing an item takes it out of its collection
    EXPECT_EQ(g2.Columns()->Count(), 0);
    auto* y = new TColumn(g2.Columns());   // made directly, inserted at once
    EXPECT_EQ(g2.Columns()->Count(), 1);
    EXPECT_EQ(y->Index(), 0);
    g2.Columns()->Clear();
    EXPECT_EQ(g2.Columns()->Count(), 0);
}

TEST(Collection, AssignCopiesItems)
{
    TGrid g1, g2;
    for (const char* t : {"姓名", "科目"}) g1.Columns()->AddAs<TColumn>()->Title = t;
    g2.Columns()->AddAs<TColumn>()->Title = "old";
    g2.Columns()->Log.clear();
    g2.Columns()->Assign(g1.Columns());
    EXPECT_EQ(Titles(*g2.Columns()), "姓名科目");
    EXPECT_NE(g2.Columns()->Items(0), g1.Columns()->Items(0));
    // One update for the whole copy.
    int updates = 0;
    for (const auto& s : g2.Columns()->Log) updates += s.rfind("update", 0) == 0;
    EXPECT_EQ(updates, 1);
    EXPECT_THROW(g2.Columns()->Assign(nullptr), EConvertError);
}

namespace {
class TBand : public TCollectionItem {
    QZ_CLASS(TBand, TCollectionItem)
public:
    explicit TBand(TCollection* c) : TCollectionItem(c) {}
    int Width = 50;
};
QZ_CLASS_IMPL(TBand, TCollectionItem)
}

TEST(Collection, ItemClassWithOnlyACollectionConstructor)
{
    TCollection bands(TBand::StaticClass());
    auto* b = DynamicCast<TBand>(bands.Add());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Width, 50);
    EXPECT_EQ(b->Collection(), &bands);
    EXPECT_EQ(bands.Count(), 1);
}

TEST(Collection, NamePathAndDisplayName)
{
    TComponent form;
    form.SetName("Form1");
    auto* grid = new TGrid(&form);
    grid->SetName("Grid1");
    auto* col = grid->Columns()->AddAs<TColumn>();
    grid->Columns()->AddAs<TColumn>();
    auto* col1 = static_cast<TColumn*>(grid->Columns()->Items(1));
    EXPECT_EQ(grid->Columns()->GetNamePath(), "Grid1.Columns");
    EXPECT_EQ(col1->GetNamePath(), "Grid1.Columns[1]");
    EXPECT_EQ(col->DisplayName(), "TColumn");
    col->Title = "车号";
    EXPECT_EQ(col->DisplayName(), "车号");
    EXPECT_EQ(grid->Columns()->Owner(), grid);
    EXPECT_EQ(col->GetOwner(), grid->Columns());

    TCollection plain(TColumn::StaticClass());
    EXPECT_EQ(plain.GetNamePath(), "TCollection");
    EXPECT_EQ(plain.Add()->GetNamePath(), "TCollection[0]");
    TColumn loose;
    EXPECT_EQ(loose.GetNamePath(), "TColumn");
    EXPECT_EQ(loose.Index(), -1);
}

namespace {
class TListener : public TInterfacedObject {
    QZ_CLASS(TListener, TInterfacedObject)
public:
    explicit TListener(int* freed = nullptr) : FFreed(freed) {}
    ~TListener() override
    {
        if (FFreed) ++*FFreed;
    }

private:
    int* FFreed;
};
QZ_CLASS_IMPL(TListener, TInterfacedObject)
}

TEST(InterfaceList, HoldsOneReferencePerEntry)
{
    int freed = 0;
    auto* a = new TListener(&freed);
    auto* b = new TListener(&freed);
    TIntf<IInterface> keepA(a);
    {
        TInterfaceList l;
        EXPECT_EQ(l.Add(a), 0);
        EXPECT_EQ(l.Add(b), 1);
        EXPECT_EQ(a->RefCount(), 2);
        EXPECT_EQ(l.IndexOf(b), 1);
        l.Exchange(0, 1);
        EXPECT_EQ(l.First(), static_cast<IInterface*>(b));
        IInterface* bi = b;
        EXPECT_EQ(l.Remove(bi), 0);   // the list held b's only reference
        EXPECT_EQ(freed, 1);
        EXPECT_EQ(l.Remove(bi), -1);
        EXPECT_THROW(l.Items(1), EListError);
        l.Lock();
        l.Insert(0, nullptr);
        l.Unlock();
        EXPECT_EQ(l.Count(), 2);
    }
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(a->RefCount(), 1);
    keepA.Reset();
    EXPECT_EQ(freed, 2);
}
