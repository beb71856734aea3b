#include "TypInfo.h"
#include "Components.h"
#include "Variants.h"
#include <gtest/gtest.h>

namespace {

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
QZ_ENUM_TYPEINFO(TAlign, "alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient")
QZ_ENUM_TYPEINFO(TFontStyle, "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut")

class TPen : public TPersistent {
    QZ_CLASS(TPen, TPersistent)
};
class TThickPen : public TPen {
    QZ_CLASS(TThickPen, TPen)
};

class TBox : public TComponent {
    QZ_CLASS(TBox, TComponent)
public:
    using TComponent::TComponent;
    int Left() const { return FLeft; }
    void SetLeft(int v) { FLeft = v; }
    int64_t Big() const { return FBig; }
    void SetBig(int64_t v) { FBig = v; }
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign v) { FAlign = v; }
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles v) { FStyle = v; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }
    char Accel() const { return FAccel; }
    void SetAccel(char c) { FAccel = c; }
    double Ratio() const { return FRatio; }
    void SetRatio(double v) { FRatio = v; }
    Currency Price() const { return FPrice; }
    void SetPrice(Currency v) { FPrice = v; }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    Variant Value() const { return FValue; }
    void SetValue(const Variant& v) { FValue = v; }
    TPen* Pen() const { return FPen; }
    void SetPen(TPen* p) { FPen = p; }
    int Serial() const { return 42; }
    TBox* Buddy() const { return FBuddy; }
    void SetBuddy(TBox* b) { FBuddy = b; }
    bool IsCaptionStored() const { return FCaption != "skip"; }

    TNotifyEvent OnClick;
    int FLeft = 0;
    int64_t FBig = 0;
    TAlign FAlign = alNone;
    TFontStyles FStyle;
    bool FVisible = true;
    char FAccel = 0;
    double FRatio = 0;
    Currency FPrice;
    std::string FCaption;
    Variant FValue;
    TPen* FPen = nullptr;
    TBox* FBuddy = nullptr;
    uint32_t FColor = 0;
};

// A descendant redeclaring an inherited property and adding one through a
// data member.
class TBigBox : public TBox {
    QZ_CLASS(TBigBox, TBox)
public:
    using TBox::TBox;
    int Depth = 0;
};
void DefineBox(std::vector<TPropInfo>& p)
{
    p.push_back(PublishInt<TBox>("Left", &TBox::Left, &TBox::SetLeft, 0));
    p.push_back(PublishInt<TBox>("Big", &TBox::Big, &TBox::SetBig));
    p.push_back(PublishEnum<TBox>("Align", &TBox::Align, &TBox::SetAlign, alNone));
    p.push_back(PublishSet<TBox>("Style", &TBox::Style, &TBox::SetStyle, TFontStyles{},
                                 "TFontStyles"));
    p.push_back(PublishBool<TBox>("Visible", &TBox::Visible, &TBox::SetVisible, true));
    p.push_back(PublishChar<TBox>("Accel", &TBox::Accel, &TBox::SetAccel));
    p.push_back(PublishFloat<TBox>("Ratio", &TBox::Ratio, &TBox::SetRatio));
    p.push_back(PublishFloat<TBox>("Price", &TBox::Price, &TBox::SetPrice, "Currency"));
    p.push_back(PublishString<TBox>("Caption", &TBox::Caption, &TBox::SetCaption)
                    .StoredBy(StoredWhen(&TBox::IsCaptionStored)));
    p.push_back(PublishVariant<TBox>("Value", &TBox::Value, &TBox::SetValue));
    p.push_back(PublishObject<TBox>("Pen", &TBox::Pen, &TBox::SetPen));
    p.push_back(PublishEvent<TBox>("OnClick", &TBox::OnClick));
    p.push_back(PublishInt<TBox>("Serial", &TBox::Serial));   // read-only
    p.push_back(PublishInt<TBox>("Color", &TBox::FColor, &TBox::FColor));
    // A property of the class's own type, and one of a descendant's.
    p.push_back(PublishObject<TBox>("Buddy", &TBox::Buddy, &TBox::SetBuddy));
    p.push_back(PublishObject<TBox>("Bigger", [](TBox*) -> TBigBox* { return nullptr; }));
}

void DefineBigBox(std::vector<TPropInfo>& p)
{
    p.push_back(PublishInt<TBigBox>("Left", &TBox::Left, &TBox::SetLeft, 10));
    p.push_back(PublishInt<TBigBox>("Depth", &TBigBox::Depth, &TBigBox::Depth));
}

QZ_CLASS_IMPL(TPen, TPersistent)
QZ_CLASS_IMPL(TThickPen, TPen)
QZ_CLASS_IMPL_PROPS(TBox, TComponent, DefineBox)
QZ_CLASS_IMPL_PROPS(TBigBox, TBox, DefineBigBox)

std::vector<std::string> Names(const std::vector<PPropInfo>& list)
{
    std::vector<std::string> r;
    for (PPropInfo p : list) r.push_back(p->Name);
    return r;
}

}   // namespace

TEST(TypInfo, ListsInheritedPropertiesParentsFirst)
{
    EXPECT_EQ(Names(GetPropList(TBox::StaticClass())),
              (std::vector<std::string>{"Name", "Tag", "Left", "Big", "Align", "Style", "Visible",
                                        "Accel", "Ratio", "Price", "Caption", "Value", "Pen",
                                        "OnClick", "Serial", "Color", "Buddy", "Bigger"}));
    // A redeclared property keeps its place and takes the new declaration.
    auto big = GetPropList(TBigBox::StaticClass());
    EXPECT_EQ(big.size(), 19u);
    EXPECT_EQ(big[2]->Name, "Left");
    EXPECT_EQ(big[2]->Default, 10);
    EXPECT_EQ(big.back()->Name, "Depth");
}

TEST(TypInfo, FindsByNameCaseInsensitively)
{
    TBox b;
    ASSERT_NE(GetPropInfo(&b, "caption"), nullptr);
    EXPECT_EQ(GetPropInfo(&b, "CAPTION")->Name, "Caption");
    EXPECT_EQ(GetPropInfo(&b, "Nope"), nullptr);
    EXPECT_TRUE(IsPublishedProp(&b, "tag"));
    EXPECT_FALSE(IsPublishedProp(&b, "Width"));
    EXPECT_EQ(PropType(&b, "Style"), tkSet);
    EXPECT_TRUE(PropIsType(&b, "OnClick", tkMethod));
    try {
        GetOrdProp(&b, "Width");
        FAIL();
    } catch (const EPropertyError& e) {
        EXPECT_STREQ(e.what(), "Property Width does not exist");
    }
}

TEST(TypInfo, KindsAndTypeNames)
{
    struct Case {
        const char* prop;
        TTypeKind kind;
        const char* typeName;
        bool writable;
    };
    const Case cases[] = {
        {"Left", tkInteger, "Integer", true},     {"Big", tkInt64, "Int64", true},
        {"Align", tkEnumeration, "TAlign", true}, {"Style", tkSet, "TFontStyles", true},
        {"Visible", tkEnumeration, "Boolean", true}, {"Accel", tkChar, "Char", true},
        {"Ratio", tkFloat, "Double", true},       {"Price", tkFloat, "Currency", true},
        {"Caption", tkLString, "String", true},   {"Value", tkVariant, "Variant", true},
        {"Pen", tkClass, "TPen", true},           {"OnClick", tkMethod, "TNotifyEvent", true},
        {"Serial", tkInteger, "Integer", false},  {"Name", tkLString, "TComponentName", true},
        {"Tag", tkInteger, "Integer", true},
    };
    for (const Case& c : cases) {
        PPropInfo p = GetPropInfo(TBox::StaticClass(), c.prop);
        ASSERT_NE(p, nullptr) << c.prop;
        EXPECT_EQ(p->Kind, c.kind) << c.prop;
        EXPECT_EQ(p->TypeName, c.typeName) << c.prop;
        EXPECT_EQ(IsWritableProp(p), c.writable) << c.prop;
    }
    EXPECT_EQ(GetPropInfo(TBox::StaticClass(), "Pen")->PropClass, TPen::StaticClass());
    EXPECT_EQ(GetPropInfo(TBox::StaticClass(), "Buddy")->PropClass, TBox::StaticClass());
    EXPECT_EQ(GetPropInfo(TBox::StaticClass(), "Bigger")->PropClass, TBigBox::StaticClass());
    EXPECT_EQ(GetPropInfo(TBox::StaticClass(), "Align")->ValueNames.size(), 6u);
}

TEST(TypInfo, TypedRoundTrips)
{
    TBox b;
    SetOrdProp(&b, "Left", -17);
    EXPECT_EQ(b.FLeft, -17);
    EXPECT_EQ(GetOrdProp(&b, "left"), -17);
    SetInt64Prop(&b, "Big", int64_t(1) << 40);
    EXPECT_EQ(GetInt64Prop(&b, "Big"), int64_t(1) << 40);

    SetEnumProp(&b, "Align", "alclient");
    EXPECT_EQ(b.FAlign, alClient);
    EXPECT_EQ(GetEnumProp(&b, "Align"), "alClient");
    EXPECT_EQ(GetOrdProp(&b, "Align"), 5);

    SetOrdProp(&b, "Visible", 0);
    EXPECT_FALSE(b.FVisible);
    EXPECT_EQ(GetEnumProp(&b, "Visible"), "False");
    SetEnumProp(&b, "Visible", "True");
    EXPECT_TRUE(b.FVisible);

    SetOrdProp(&b, "Accel", 'K');
    EXPECT_EQ(b.FAccel, 'K');

    SetFloatProp(&b, "Ratio", 2.5);
    EXPECT_DOUBLE_EQ(GetFloatProp(&b, "Ratio"), 2.5);
    SetFloatProp(&b, "Price", 12.34565);
    EXPECT_EQ(b.FPrice.Value, 123456);   // rounded to four decimals
    EXPECT_DOUBLE_EQ(GetFloatProp(&b, "Price"), 12.3456);

    SetStrProp(&b, "Caption", "科目一");
    EXPECT_EQ(GetStrProp(&b, "Caption"), "科目一");

    SetVariantProp(&b, "Value", Variant(7));
    EXPECT_EQ(VarType(GetVariantProp(&b, "Value")), varInteger);
    EXPECT_EQ(GetVariantProp(&b, "Value").AsInteger(), 7);
}

TEST(TypInfo, SetsAsText)
{
    TBox b;
    struct Case {
        const char* in;
        TFontStyles expected;
        const char* out;
    };
    const Case cases[] = {
        {"[fsBold,fsItalic]", {fsBold, fsItalic}, "[fsBold,fsItalic]"},
        {"[]", {}, "[]"},
        {"", {}, "[]"},
        {" [ fsstrikeout , FSBOLD ] ", {fsBold, fsStrikeOut}, "[fsBold,fsStrikeOut]"},
        {"fsUnderline", {fsUnderline}, "[fsUnderline]"},
        {"[fsItalic,fsItalic]", {fsItalic}, "[fsItalic]"},
    };
    for (const Case& c : cases) {
        SetSetProp(&b, "Style", c.in);
        EXPECT_TRUE(b.FStyle == c.expected) << c.in;
        EXPECT_EQ(GetSetProp(&b, "Style"), c.out) << c.in;
    }
    EXPECT_EQ(GetSetProp(&b, "Style", false), "fsItalic");
    EXPECT_EQ(GetOrdProp(&b, "Style"), 2);
    SetOrdProp(&b, "Style", 0b1001);
    EXPECT_TRUE(b.FStyle == (TFontStyles{fsBold, fsStrikeOut}));

    // A bad element leaves the property as it was.
    try {
        SetSetProp(&b, "Style", "[fsBold,fsHeavy]");
        FAIL();
    } catch (const EPropertyConvertError& e) {
        EXPECT_STREQ(e.what(), "Invalid property element: fsHeavy");
    }
    EXPECT_TRUE(b.FStyle == (TFontStyles{fsBold, fsStrikeOut}));
}

TEST(TypInfo, EnumNamesAndValues)
{
    PTypeInfo ti = TypeInfoOf<TAlign>();
    EXPECT_EQ(ti->Name, "TAlign");
    EXPECT_EQ(GetEnumName(ti, alLeft), "alLeft");
    EXPECT_EQ(GetEnumName(ti, 6), "");
    EXPECT_EQ(GetEnumName(ti, -1), "");
    EXPECT_EQ(GetEnumValue(ti, "ALRIGHT"), alRight);
    EXPECT_EQ(GetEnumValue(ti, "alMiddle"), -1);
    EXPECT_EQ(GetEnumValue(TypeInfoOf<bool>(), "true"), 1);
    TBox b;
    EXPECT_THROW(SetEnumProp(&b, "Align", "alMiddle"), EPropertyConvertError);
    EXPECT_EQ(b.FAlign, alNone);
}

TEST(TypInfo, ObjectsAndEvents)
{
    TBox b;
    TPen pen;
    TThickPen thick;
    SetObjectProp(&b, "Pen", &thick);
    EXPECT_EQ(b.FPen, &thick);
    EXPECT_EQ(GetObjectProp(&b, "Pen"), &thick);
    EXPECT_EQ(GetObjectProp(&b, "Pen", TThickPen::StaticClass()), &thick);
    SetObjectProp(&b, "Pen", &pen);
    EXPECT_EQ(GetObjectProp(&b, "Pen", TThickPen::StaticClass()), nullptr);
    // An object of another class is refused, not silently ignored.
    TBox other;
    try {
        SetObjectProp(&b, "Pen", &other);
        FAIL();
    } catch (const EPropertyError& e) {
        EXPECT_STREQ(e.what(), "Invalid property value");
    }
    EXPECT_EQ(b.FPen, &pen);
    SetObjectProp(&b, "Pen", nullptr);
    EXPECT_EQ(b.FPen, nullptr);

    EXPECT_FALSE(GetMethodProp(&b, "OnClick").has_value());
    TObject* sender = nullptr;
    SetMethodProp(&b, "OnClick", TNotifyEvent([&](TObject* s) { sender = s; }));
    ASSERT_TRUE(b.OnClick);
    b.OnClick(&b);
    EXPECT_EQ(sender, &b);
    // Copy a handler from one component to another, as the designer does.
    SetMethodProp(&other, "OnClick", GetMethodProp(&b, "OnClick"));
    other.OnClick(&other);
    EXPECT_EQ(sender, &other);
    EXPECT_THROW(SetMethodProp(&b, "OnClick", std::any(42)), EPropertyError);
    SetMethodProp(&b, "OnClick", std::any());
    EXPECT_FALSE(b.OnClick);
}

TEST(TypInfo, WrongKindAndReadOnly)
{
    TBox b;
    try {
        GetStrProp(&b, "Left");
        FAIL();
    } catch (const EPropertyError& e) {
        EXPECT_STREQ(e.what(), "Invalid property type: Integer");
    }
    EXPECT_THROW(GetOrdProp(&b, "Caption"), EPropertyError);
    EXPECT_THROW(GetFloatProp(&b, "OnClick"), EPropertyError);
    EXPECT_THROW(GetPropValue(&b, "OnClick"), EPropertyError);
    EXPECT_EQ(GetOrdProp(&b, "Serial"), 42);
    try {
        SetOrdProp(&b, "Serial", 1);
        FAIL();
    } catch (const EPropertyError& e) {
        EXPECT_STREQ(e.what(), "Property Serial is read-only");
    }
}

TEST(TypInfo, VariantValuesRoundTrip)
{
    TBox src, dst;
    TPen pen;
    src.FLeft = 5;
    src.FBig = -(int64_t(1) << 35);
    src.FAlign = alBottom;
    src.FStyle = {fsItalic, fsUnderline};
    src.FVisible = false;
    src.FAccel = 'Q';
    src.FRatio = 0.125;
    src.FPrice = Currency::FromRaw(99995);
    src.FCaption = "学员";
    src.FValue = Variant("x");
    src.FPen = &pen;

    EXPECT_EQ(GetPropValue(&src, "Align").AsString(), "alBottom");
    EXPECT_EQ(GetPropValue(&src, "Align", false).AsInteger(), 2);
    EXPECT_EQ(GetPropValue(&src, "Style").AsString(), "fsItalic,fsUnderline");
    EXPECT_EQ(VarType(GetPropValue(&src, "Visible")), varBoolean);
    EXPECT_EQ(VarType(GetPropValue(&src, "Price")), varCurrency);
    EXPECT_EQ(GetPropValue(&src, "Accel").AsString(), "Q");
    EXPECT_EQ(GetPropValue(&src, "Pen").AsInt64(), ObjectHandles::HandleOf(&pen));

    // Copy every readable, writable property through Variants.
    for (PPropInfo p : GetPropList(&src))
        if (p->Kind != tkMethod && p->IsWritable() && p->Name != "Name")
            SetPropValue(&dst, p, GetPropValue(&src, p));
    EXPECT_EQ(dst.FLeft, 5);
    EXPECT_EQ(dst.FBig, src.FBig);
    EXPECT_EQ(dst.FAlign, alBottom);
    EXPECT_TRUE(dst.FStyle == src.FStyle);
    EXPECT_FALSE(dst.FVisible);
    EXPECT_EQ(dst.FAccel, 'Q');
    EXPECT_DOUBLE_EQ(dst.FRatio, 0.125);
    EXPECT_EQ(dst.FPrice, src.FPrice);
    EXPECT_EQ(dst.FCaption, "学员");
    EXPECT_EQ(dst.FValue.AsString(), "x");
    EXPECT_EQ(dst.FPen, &pen);

    // Ordinals are accepted for enumerations and sets; out of range is refused.
    SetPropValue(&dst, "Align", Variant(3));
    EXPECT_EQ(dst.FAlign, alLeft);
    EXPECT_THROW(SetPropValue(&dst, "Align", Variant(9)), EPropertyError);
    // The same holds for the ordinal routines scripts and layouts use; the
    // value stays as it was.
    for (int64_t bad : {int64_t(-1), int64_t(6), int64_t(1) << 40}) {
        EXPECT_THROW(SetOrdProp(&dst, "Align", bad), EPropertyError) << bad;
        EXPECT_EQ(dst.FAlign, alLeft) << bad;
    }
    SetOrdProp(&dst, "Align", alClient);
    EXPECT_EQ(dst.FAlign, alClient);
    SetOrdProp(&dst, "Align", alLeft);
    SetOrdProp(&dst, "Visible", -1);   // any non-zero number is True
    EXPECT_TRUE(dst.FVisible);
    SetOrdProp(&dst, "Visible", 0);
    SetPropValue(&dst, "Style", Variant(1));
    EXPECT_TRUE(dst.FStyle == TFontStyles{fsBold});
    SetPropValue(&dst, "Pen", Variant(0));
    EXPECT_EQ(dst.FPen, nullptr);
    // Unsigned 32-bit values keep their value through a Variant.
    SetPropValue(&dst, "Color", Variant::FromInt64(0xFF000000LL));
    EXPECT_EQ(dst.FColor, 0xFF000000u);
    EXPECT_EQ(GetPropValue(&dst, "Color").AsInt64(), 0xFF000000LL);
}

TEST(TypInfo, ObjectHandlesThatNoLongerResolveAreRefused)
{
    TBox b;
    auto* pen = new TPen;
    uint32_t h = ObjectHandles::HandleOf(pen);
    FreeObject(pen);
    EXPECT_THROW(SetPropValue(&b, "Pen", Variant::FromInt64(h)), EPropertyError);
    EXPECT_THROW(SetPropValue(&b, "Pen", Variant(-3)), EPropertyError);
    EXPECT_EQ(b.FPen, nullptr);
}

TEST(TypInfo, StoredAndDefault)
{
    TBox b;
    struct Case {
        const char* prop;
        bool isDefault;
    };
    // Fresh object: declared defaults hold; properties without one never
    // count as default for ordinals.
    const Case fresh[] = {
        {"Left", true},  {"Big", false},    {"Align", true},   {"Style", true},
        {"Visible", true}, {"Accel", false}, {"Ratio", true},  {"Price", true},
        {"Caption", true}, {"Value", true},  {"Pen", true},    {"OnClick", true},
        {"Tag", true},
    };
    for (const Case& c : fresh)
        EXPECT_EQ(IsDefaultPropValue(&b, GetPropInfo(&b, c.prop)), c.isDefault) << c.prop;

    TPen pen;
    b.FLeft = 1;
    b.FAlign = alTop;
    b.FStyle = {fsBold};
    b.FVisible = false;
    b.FRatio = 1;
    b.FCaption = "a";
    b.FValue = Variant(0);
    b.FPen = &pen;
    b.OnClick = [](TObject*) {};
    b.SetTag(3);
    for (const char* prop : {"Left", "Align", "Style", "Visible", "Ratio", "Caption", "Value",
                             "Pen", "OnClick", "Tag"})
        EXPECT_FALSE(IsDefaultPropValue(&b, GetPropInfo(&b, prop))) << prop;

    EXPECT_TRUE(IsStoredProp(&b, "Caption"));
    b.FCaption = "skip";
    EXPECT_FALSE(IsStoredProp(&b, "Caption"));
    EXPECT_FALSE(IsStoredProp(&b, "Name"));
    EXPECT_TRUE(IsStoredProp(&b, "Left"));
}

TEST(TypInfo, DataMemberProperties)
{
    TBigBox b;
    SetOrdProp(&b, "Depth", 9);
    EXPECT_EQ(b.Depth, 9);
    EXPECT_EQ(GetOrdProp(&b, "depth"), 9);
    // Inherited accessors still work on the descendant.
    SetSetProp(&b, "Style", "[fsUnderline]");
    EXPECT_TRUE(b.FStyle == TFontStyles{fsUnderline});
}

namespace {
class TSelfAsking : public TObject {
    QZ_CLASS(TSelfAsking, TObject)
};
void DefineSelfAsking(std::vector<TPropInfo>&)
{
    GetPropList(TSelfAsking::StaticClass());
}
QZ_CLASS_IMPL_PROPS(TSelfAsking, TObject, DefineSelfAsking)
}

TEST(TypInfo, DefinerAskingForItsOwnPropertiesFailsCleanly)
{
    // An error in the class's own definition, reported rather than recursing.
    EXPECT_THROW(GetPropList(TSelfAsking::StaticClass()), EInvalidOperation);
    EXPECT_THROW(GetPropInfo(TSelfAsking::StaticClass(), "X"), EInvalidOperation);
}
