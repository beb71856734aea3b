#include "System.h"
#include "Exceptions.h"
#include <gtest/gtest.h>

#include <cmath>

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

namespace {
class TShape : public TObject {
    QZ_CLASS(TShape, TObject)
public:
    virtual double Area() const = 0;
};
class TFlagged : public TObject {
    QZ_CLASS(TFlagged, TObject)
public:
    TFlagged() = default;
    explicit TFlagged(bool f) : Flag(f) {}
    bool Flag = true;
};
QZ_CLASS_IMPL(TShape, TObject)
QZ_CLASS_IMPL(TFlagged, TObject)
enum TDay { dMon, dTue, dWed, dThu, dFri };
}

TEST(ObjectModel, FactoryChoosesTheRightConstructor)
{
    // A class that is not a component is made without arguments even when a
    // constructor would accept the (null) owner through a conversion.
    TObject* o = TFlagged::StaticClass()->Create();
    EXPECT_TRUE(static_cast<TFlagged*>(o)->Flag);
    FreeObject(o);
    try {
        TShape::StaticClass()->Create();
        FAIL();
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Cannot create an instance of abstract class TShape");
    }
    EXPECT_EQ(TShape::StaticClass()->Factory, nullptr);
}

TEST(ObjectModel, SetOperations)
{
    using TDays = TSet<TDay>;
    TDays work{dMon, dTue, dWed};
    TDays late{dWed, dThu};
    EXPECT_TRUE((work + late) == (TDays{dMon, dTue, dWed, dThu}));
    EXPECT_TRUE((work - late) == (TDays{dMon, dTue}));
    EXPECT_TRUE((work * late) == TDays{dWed});
    EXPECT_TRUE(TDays{dTue} <= work);
    EXPECT_FALSE(late <= work);
    EXPECT_EQ(work.ToInt(), 0b111u);
    EXPECT_TRUE(TDays::FromInt(0b10010) == (TDays{dTue, dFri}));
    EXPECT_TRUE(TDays().Empty());
}

TEST(Currency, ArithmeticAndRounding)
{
    struct Case {
        double in;
        int64_t raw;
    };
    // Expected values from golden/currency_cases.pas: halves go to the even
    // neighbour, and a decimal half that the double holds just below or
    // above it rounds that way.
    const Case cases[] = {
        {1.5, 15000},     {0.00005, 0},    {0.00015, 1},        {-0.00015, -1},
        {0.00025, 2},     {0.00035, 4},    {1.00005, 10001},    {123.45675, 1234568},
        {-2.5, -25000},
    };
    for (const Case& c : cases) EXPECT_EQ(Currency::FromDouble(c.in).Value, c.raw) << c.in;
    EXPECT_THROW(Currency::FromDouble(1e20), EOverflow);
    EXPECT_THROW(Currency::FromDouble(std::nan("")), EInvalidOp);

    Currency a = Currency::FromDouble(10.25), b = Currency::FromInt(3);
    EXPECT_EQ((a + b).Value, 132500);
    EXPECT_EQ((a - b).Value, 72500);
    EXPECT_EQ((-a).Value, -102500);
    EXPECT_EQ((a * 4).Value, 410000);
    EXPECT_EQ((a * b).Value, 307500);
    EXPECT_EQ((a / b).Value, 34167);   // 3.41666… rounded to four decimals
    EXPECT_THROW(a / Currency(), EZeroDivide);
    Currency c;
    c += a;
    c -= b;
    EXPECT_EQ(c.Value, 72500);
    EXPECT_LT(b, a);
}

namespace other_unit {
class TDog : public TObject {
    QZ_CLASS(TDog, TObject)
};
QZ_CLASS_IMPL(TDog, TObject)
}

TEST(ObjectModel, RegistryKnowsAncestorsAndRefusesNameClashes)
{
    RegisterClasses({TDog::StaticClass()});
    EXPECT_EQ(GetClass("TAnimal"), TAnimal::StaticClass());
    EXPECT_EQ(GetClass("TObject"), nullptr);
    try {
        RegisterClass(other_unit::TDog::StaticClass());
        FAIL();
    } catch (const EFilerError& e) {
        EXPECT_STREQ(e.what(), "A class named TDog already exists");
    }
    EXPECT_EQ(GetClass("TDog"), TDog::StaticClass());
    RegisterClass(TDog::StaticClass());   // again: no error
    UnRegisterClass(other_unit::TDog::StaticClass());   // not the registered one: no effect
    EXPECT_EQ(GetClass("TDog"), TDog::StaticClass());
    UnRegisterClass(TDog::StaticClass());
    EXPECT_EQ(GetClass("TDog"), nullptr);
    RegisterClass(other_unit::TDog::StaticClass());
    EXPECT_EQ(FindClass("tdog"), other_unit::TDog::StaticClass());
    UnRegisterClass(other_unit::TDog::StaticClass());
}
