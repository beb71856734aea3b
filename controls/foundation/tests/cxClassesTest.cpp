#include "cxClasses.h"

#include "TypInfo.h"

#include <gtest/gtest.h>

namespace {

class TA : public TObject { QZ_CLASS(TA, TObject) };
class TB : public TA { QZ_CLASS(TB, TA) };
class TC : public TB { QZ_CLASS(TC, TB) };
class TA2 : public TA { QZ_CLASS(TA2, TA) };
class TX : public TObject { QZ_CLASS(TX, TObject) };
class TCompA : public TObject { QZ_CLASS(TCompA, TObject) };
class TCompB : public TObject { QZ_CLASS(TCompB, TObject) };

QZ_CLASS_IMPL(TA, TObject)
QZ_CLASS_IMPL(TB, TA)
QZ_CLASS_IMPL(TC, TB)
QZ_CLASS_IMPL(TA2, TA)
QZ_CLASS_IMPL(TX, TObject)
QZ_CLASS_IMPL(TCompA, TObject)
QZ_CLASS_IMPL(TCompB, TObject)

TEST(cxRegisteredClassList, DescendantRegisteredFirstKeepsAncestorBefore)
{
    TcxRegisteredClassList list;
    list.Register(TB::StaticClass(), TCompB::StaticClass());
    list.Register(TA::StaticClass(), TCompA::StaticClass());
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.ItemAt(0).ItemClass, TA::StaticClass());
    EXPECT_EQ(list.ItemAt(1).ItemClass, TB::StaticClass());

    struct Case { TClass asked; TClass expected; };
    const Case cases[] = {
        {TC::StaticClass(), TCompB::StaticClass()},
        {TB::StaticClass(), TCompB::StaticClass()},
        {TA2::StaticClass(), TCompA::StaticClass()},
        {TA::StaticClass(), TCompA::StaticClass()},
        {TX::StaticClass(), nullptr},
        {TObject::StaticClass(), nullptr},
    };
    for (const Case& c : cases) EXPECT_EQ(list.Find(c.asked), c.expected) << c.asked->Name;
}

TEST(cxRegisteredClassList, FindPositionReportsLowestDescendant)
{
    TcxRegisteredClassList list;
    list.Register(TC::StaticClass(), TCompB::StaticClass());
    list.Register(TA2::StaticClass(), TCompA::StaticClass());
    int index = -1;
    EXPECT_FALSE(list.FindPosition(TA::StaticClass(), index));
    EXPECT_EQ(index, 0);
    index = 7;
    EXPECT_FALSE(list.FindPosition(TX::StaticClass(), index));
    EXPECT_EQ(index, 7);   // left alone without a descendant
    // A registered between them goes before its first descendant.
    list.Register(TA::StaticClass(), TCompA::StaticClass());
    EXPECT_EQ(list.ItemAt(0).ItemClass, TA::StaticClass());
}

TEST(cxRegisteredClassList, DuplicatePairGoesWithOneUnregister)
{
    TcxRegisteredClassList list;
    list.Register(TA::StaticClass(), TCompA::StaticClass());
    list.Register(TA::StaticClass(), TCompA::StaticClass());
    list.Register(TA::StaticClass(), TCompB::StaticClass());
    EXPECT_EQ(list.Count(), 3);
    list.Unregister(TA::StaticClass(), TCompA::StaticClass());
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Find(TB::StaticClass()), TCompB::StaticClass());
    EXPECT_THROW(list.ItemAt(1), EListError);
}

TEST(cxRegisteredClasses, RegisterFindAndUnregister)
{
    TcxRegisteredClasses classes;
    classes.Register(TA::StaticClass(), "first");
    classes.Register(TB::StaticClass(), "bee");
    classes.Register(TA::StaticClass(), "second");
    ASSERT_EQ(classes.Count(), 2);
    EXPECT_EQ(classes.GetDescription(0), "first");
    EXPECT_EQ(classes.IndexOfClass(TB::StaticClass()), 1);
    EXPECT_EQ(classes.IndexOfClass(TX::StaticClass()), -1);
    EXPECT_EQ(classes.FindByClassName("TB"), TB::StaticClass());
    EXPECT_EQ(classes.FindByClassName("tb"), nullptr);
    classes.Unregister(TA::StaticClass());
    EXPECT_EQ(classes.GetClass(0), TB::StaticClass());
    classes.Unregister(TX::StaticClass());
    EXPECT_EQ(classes.Count(), 1);
}

TEST(cxRegisteredClasses, StreamingRegistrationWhenAsked)
{
    TcxRegisteredClasses plain(false);
    plain.Register(TA2::StaticClass(), "a2");
    EXPECT_EQ(GetClass("TA2"), nullptr);
    TcxRegisteredClasses streaming(true);
    streaming.Register(TA2::StaticClass(), "a2");
    EXPECT_EQ(GetClass("TA2"), TA2::StaticClass());
    UnRegisterClass(TA2::StaticClass());
}

struct AutoItem { int width; int minimum; bool fixed; int expected; };
struct AutoCase { const char* name; int avail; std::vector<AutoItem> items; };

TEST(cxAutoWidthObject, Distribution)
{
    const AutoCase cases[] = {
        {"cumulative rounding", 200, {{100, 0, false, 67}, {100, 0, false, 66}, {100, 0, false, 67}}},
        {"fixed item", 250, {{50, 0, true, 50}, {100, 0, false, 100}, {100, 0, false, 100}}},
        {"minimum pinned", 200, {{100, 90, false, 90}, {100, 0, false, 55}, {100, 0, false, 55}}},
        {"minimum equal to share pins", 300, {{100, 100, false, 100}, {100, 0, false, 100}, {100, 0, false, 100}}},
        {"all fixed", 500, {{30, 0, true, 30}, {40, 0, true, 40}}},
        {"zero widths take minimum", 100, {{0, 12, false, 12}, {0, 0, false, 0}}},
    };
    for (const AutoCase& c : cases) {
        TcxAutoWidthObject obj(int(c.items.size()));
        obj.AvailableSpace = c.avail;
        for (const AutoItem& i : c.items) {
            TcxAutoWidthItem* item = obj.NewItem();
            EXPECT_EQ(item->ResultWidth, -1);
            item->Width = i.width;
            item->MinimumWidth = i.minimum;
            item->IsFixed = i.fixed;
        }
        obj.Calculate();
        int sum = 0;
        for (int k = 0; k < obj.Count(); ++k) {
            EXPECT_EQ(obj.ItemAt(k)->ResultWidth, c.items[size_t(k)].expected) << c.name << " item " << k;
            sum += obj.ItemAt(k)->ResultWidth;
        }
        if (std::string(c.name) != "all fixed" && std::string(c.name) != "zero widths take minimum")
            EXPECT_EQ(sum, c.avail) << c.name;
    }
}

TEST(cxAutoWidthObject, SumAlwaysFillsTheSpace)
{
    for (int avail = 1; avail < 400; avail += 7) {
        TcxAutoWidthObject obj;
        obj.AvailableSpace = avail;
        for (int w : {13, 70, 5, 41}) obj.NewItem()->Width = w;
        obj.Calculate();
        int sum = 0;
        for (int k = 0; k < obj.Count(); ++k) sum += obj.ItemAt(k)->ResultWidth;
        EXPECT_EQ(sum, avail);
    }
}

class TLinkedComponent : public TcxComponent {
    QZ_CLASS(TLinkedComponent, TcxComponent)
public:
    using TcxComponent::TcxComponent;
    std::vector<TComponent*> Links;
protected:
    void GetFakeComponentLinks(std::vector<TComponent*>& List) override { List = Links; }
};
QZ_CLASS_IMPL(TLinkedComponent, TcxComponent)

TEST(cxComponent, FakeLinksFollowTheListOnlyWhileDesigning)
{
    TComponent owner(nullptr);
    auto* c = new TLinkedComponent(&owner);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    c->Links = {a, b};
    c->UpdateFakeLinks();
    EXPECT_EQ(c->FakeComponentLink1(), nullptr);   // not designing
    owner.SetDesigning(true);
    c->UpdateFakeLinks();
    EXPECT_EQ(c->FakeComponentLink1(), a);
    EXPECT_EQ(c->FakeComponentLink2(), b);
    EXPECT_EQ(c->FakeComponentLink3(), nullptr);
    EXPECT_TRUE(IsPublishedProp(c, "FakeComponentLink2"));
    FreeObject(b);
    EXPECT_EQ(c->FakeComponentLink2(), nullptr);   // a link never dangles
    c->Links = {};
    c->UpdateFakeLinks();
    EXPECT_EQ(c->FakeComponentLink1(), nullptr);
}

class TCounted : public TObject {
    QZ_CLASS(TCounted, TObject)
public:
    explicit TCounted(std::vector<int>* log, int id) : FLog(log), FId(id) {}
    ~TCounted() override { FLog->push_back(FId); }
private:
    std::vector<int>* FLog;
    int FId;
};
QZ_CLASS_IMPL(TCounted, TObject)

TEST(cxObjectList, ClearFreesInIndexOrder)
{
    std::vector<int> log;
    {
        TcxObjectList list;
        for (int i = 0; i < 3; ++i) list.Add(new TCounted(&log, i));
        EXPECT_EQ(static_cast<TCounted*>(list.ItemAt(1))->ClassName(), "TCounted");
        list.Clear();
        EXPECT_EQ(list.Count(), 0);
        EXPECT_EQ(log, (std::vector<int>{0, 1, 2}));
        list.Add(new TCounted(&log, 9));
    }
    EXPECT_EQ(log.back(), 9);
}

}  // namespace
