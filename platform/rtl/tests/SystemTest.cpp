#include "System.h"
#include "Exceptions.h"
#include <gtest/gtest.h>

namespace {
class TAnimal : public TObject {
    QZ_CLASS(TAnimal, TObject)
};
class TDog : public TAnimal {
    QZ_CLASS(TDog, TAnimal)
public:
    static int Freed;
    ~TDog() override { ++Freed; }
};
int TDog::Freed = 0;
QZ_CLASS_IMPL(TAnimal, TObject)
QZ_CLASS_IMPL(TDog, TAnimal)
}

TEST(ObjectModel, ClassRecordsAndInheritance)
{
    TDog d;
    EXPECT_EQ(d.ClassName(), "TDog");
    EXPECT_EQ(d.ClassParent(), TAnimal::StaticClass());
    EXPECT_TRUE(d.InheritsFrom(TObject::StaticClass()));
    EXPECT_FALSE(TAnimal::StaticClass()->InheritsFrom(TDog::StaticClass()));
}

TEST(ObjectModel, CreateByNameAndHandles)
{
    RegisterClass(TDog::StaticClass());
    EXPECT_EQ(GetClass("tdog"), TDog::StaticClass());
    EXPECT_THROW(FindClass("TCat"), EClassNotFound);
    TObject* o = FindClass("TDog")->Create();
    ASSERT_NE(o, nullptr);
    uint32_t h = ObjectHandles::HandleOf(o);
    EXPECT_NE(h, 0u);
    EXPECT_EQ(ObjectHandles::HandleOf(o), h);
    EXPECT_EQ(ObjectHandles::Resolve(h, TDog::StaticClass()), o);
    EXPECT_EQ(ObjectHandles::Resolve(h, TAnimal::StaticClass()), o);
    TWeakRef<TObject> w(o);
    int before = TDog::Freed;
    FreeObject(o);
    EXPECT_EQ(TDog::Freed, before + 1);
    EXPECT_EQ(w.Get(), nullptr);
    EXPECT_EQ(ObjectHandles::Resolve(h), nullptr);
    TObject* o2 = FindClass("TDog")->Create();
    EXPECT_NE(ObjectHandles::HandleOf(o2), h);   // never reused
    FreeObject(o2);
}
