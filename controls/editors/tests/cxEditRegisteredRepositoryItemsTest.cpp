// The default-editor registries (search order, priorities, listening to their
// items, the value type and field rules) and the field-bound editor defaults.
#include "cxBlobEdit.h"
#include "cxEditDBRegisteredRepositoryItems.h"
#include "cxEditRepositoryItems.h"
#include "cxImageComboBox.h"
#include "cxTextEdit.h"

#include "ImgList.h"
#include "TypInfo.h"
#include "DB.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

namespace {

TcxEditRepositoryItem* NewTextItem(TcxEditRepository& ARepository)
{
    return ARepository.CreateItem(TcxEditRepositoryTextItem::StaticClass());
}

TEST(EditRegisteredRepositoryItems, KeysAndPrioritiesSortDownwardsAndRegisteringTwiceAddsNothing)
{
    TcxEditRepository repository;
    TcxEditRegisteredRepositoryItems r;
    TcxEditRepositoryItem* a = NewTextItem(repository);
    TcxEditRepositoryItem* b = NewTextItem(repository);
    TcxEditRepositoryItem* c = NewTextItem(repository);
    // Keys beyond 32 bits keep their order (pointers are not truncated).
    const TcxEditRegisteredItemKey big = TcxEditRegisteredItemKey(1) << 40;
    r.RegisterItem(5, -1, a);
    r.RegisterItem(big, -1, b);
    r.RegisterItem(big + 1, 3, c);
    r.RegisterItem(5, 7, c);
    r.RegisterItem(5, -1, b);   // present: the first registration stays
    std::vector<std::pair<TcxEditRegisteredItemKey, int>> order;
    for (const auto& e : r.KeyedList()) order.emplace_back(e->Key, e->Priority);
    const std::vector<std::pair<TcxEditRegisteredItemKey, int>> expected = {
        {big + 1, 3}, {big, -1}, {5, 7}, {5, -1}};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(r.KeyedList()[3]->Item, a);

    EXPECT_EQ(r.GetItem(big), b);
    EXPECT_EQ(r.GetItem(big + 1), c);
    EXPECT_EQ(r.GetItem(6), nullptr);   // no default item yet
    r.RegisterDefaultItem(-1, a);
    r.RegisterDefaultItem(10, b);
    EXPECT_EQ(r.GetDefaultItem(), b);   // the highest priority
    EXPECT_EQ(r.GetItem(6), b);
    EXPECT_EQ(r.GetItem(0), b);         // key 0 always means the default

    r.UnregisterItem(5, 99);            // absent: nothing happens
    EXPECT_EQ(r.KeyedList().size(), 4u);
    r.UnregisterItem(5, 7);
    EXPECT_EQ(r.GetItem(5), a);
    r.UnregisterDefaultItem(10);
    EXPECT_EQ(r.GetDefaultItem(), a);
}

TEST(EditRegisteredRepositoryItems, AFreedItemLeavesEveryListAndLookupsFallBack)
{
    TcxEditRepository repository;
    TcxEditDBRegisteredRepositoryItems r;
    TcxEditRepositoryItem* def = NewTextItem(repository);
    TcxEditRepositoryItem* shared = NewTextItem(repository);
    r.RegisterDefaultItem(-1, def);
    r.RegisterItem(ftDate, -1, shared);
    r.RegisterItem(ftTime, -1, shared);
    r.RegisterCurrencyItem(-1, shared);
    r.RegisterLookupItem(-1, shared);
    // Dropping one of its entries keeps the registry hearing the item for the others.
    r.UnregisterItem(ftTime, -1);
    EXPECT_EQ(r.GetItemByFieldType(ftTime), def);
    delete shared;
    EXPECT_EQ(r.GetItemByFieldType(ftDate), def);
    EXPECT_EQ(r.GetCurrencyItem(), def);
    EXPECT_EQ(r.GetLookupItem(), def);
    EXPECT_TRUE(r.KeyedList().empty());
    delete def;
    EXPECT_EQ(r.GetItemByFieldType(ftDate), nullptr);
}

TEST(EditRegisteredRepositoryItems, AFreedRegistryStopsListeningToItsItems)
{
    TcxEditRepository repository;
    TcxEditRepositoryItem* item = NewTextItem(repository);
    {
        TcxEditDBRegisteredRepositoryItems r;
        r.RegisterItem(ftString, -1, item);
        r.RegisterLookupItem(-1, item);
    }
    delete item;   // would reach the freed registry (address sanitizer)
}

class DefaultRegistries : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        cxEditDataRegisteredRepositoryItems::Initialize();
        cxEditDBRegisteredRepositoryItems::Initialize();
        cxImage::Initialize();
        cxBlobEdit::Initialize();
    }
    TcxEditDBRegisteredRepositoryItems* DB() { return cxEditDBRegisteredRepositoryItems::GetDefaultEditDBRepositoryItems(); }
    static TClass ClassOf(TcxEditRepositoryItem* AItem) { return AItem ? AItem->ClassType() : nullptr; }
};

TEST_F(DefaultRegistries, ValueTypeClassesTakeTheirEditors)
{
    auto* r = cxEditDataRegisteredRepositoryItems::GetDefaultEditDataRepositoryItems();
    struct Case {
        TcxValueTypeClass ValueType;
        TClass Expected;
    };
    const Case cases[] = {
        {nullptr, TcxEditRepositoryTextItem::StaticClass()},
        {TcxStringValueType::Class(), TcxEditRepositoryTextItem::StaticClass()},
        {TcxIntegerValueType::Class(), TcxEditRepositoryTextItem::StaticClass()},
        {TcxBooleanValueType::Class(), TcxEditRepositoryCheckBoxItem::StaticClass()},
        {TcxCurrencyValueType::Class(), TcxEditRepositoryCurrencyItem::StaticClass()},
        {TcxDateTimeValueType::Class(), TcxEditRepositoryDateItem::StaticClass()},
        {TcxFMTBcdValueType::Class(), TcxEditRepositoryCurrencyItem::StaticClass()},
        {TcxSQLTimeStampValueType::Class(), TcxEditRepositoryDateItem::StaticClass()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassOf(r->GetItemByValueTypeClass(c.ValueType)), c.Expected)
            << (c.ValueType ? c.ValueType->ClassName() : "nil");
    // Each registration made its own item.
    EXPECT_NE(r->GetItemByValueTypeClass(TcxCurrencyValueType::Class()),
              r->GetItemByValueTypeClass(TcxFMTBcdValueType::Class()));
    EXPECT_EQ(r->GetItem(0), r->GetDefaultItem());
}

TEST_F(DefaultRegistries, EveryFieldTypeTakesItsEditor)
{
    const TClass mask = TcxEditRepositoryMaskItem::StaticClass();
    const TClass check = TcxEditRepositoryCheckBoxItem::StaticClass();
    const TClass date = TcxEditRepositoryDateItem::StaticClass();
    const TClass time = TcxEditRepositoryTimeItem::StaticClass();
    const TClass memo = TcxEditRepositoryMemoItem::StaticClass();
    // The picture and large-value types get their editors from the units of those editors.
    const TClass image = TcxEditRepositoryImageItem::StaticClass();
    const TClass blob = TcxEditRepositoryBlobItem::StaticClass();
    const TClass expected[] = {
        mask /*ftUnknown*/, mask /*ftString*/, mask /*ftSmallint*/, mask /*ftInteger*/, mask /*ftWord*/,
        check /*ftBoolean*/, mask /*ftFloat*/, mask /*ftCurrency*/, mask /*ftBCD*/, date /*ftDate*/,
        time /*ftTime*/, date /*ftDateTime*/, blob /*ftBytes*/, blob /*ftVarBytes*/, mask /*ftAutoInc*/,
        blob /*ftBlob*/, memo /*ftMemo*/, image /*ftGraphic*/, blob /*ftFmtMemo*/, blob /*ftParadoxOle*/,
        blob /*ftDBaseOle*/, blob /*ftTypedBinary*/, mask /*ftCursor*/, mask /*ftFixedChar*/,
        mask /*ftWideString*/, mask /*ftLargeint*/, mask /*ftADT*/, mask /*ftArray*/, mask /*ftReference*/,
        mask /*ftDataSet*/, mask /*ftOraBlob*/, mask /*ftOraClob*/, mask /*ftVariant*/, mask /*ftInterface*/,
        mask /*ftIDispatch*/, mask /*ftGuid*/, date /*ftTimeStamp*/, mask /*ftFMTBcd*/};
    static_assert(std::size(expected) == size_t(ftFMTBcd) + 1);
    for (int t = ftUnknown; t <= ftFMTBcd; ++t) {
        TField field;
        field.SetDataType(TFieldType(t));
        EXPECT_EQ(ClassOf(DB()->GetItemByField(&field)), expected[t]) << FieldTypeName(TFieldType(t));
        EXPECT_EQ(DB()->GetItemByField(&field), DB()->GetItemByFieldType(TFieldType(t)));
    }
    // Every registration made its own item: three dates, not one shared.
    EXPECT_NE(DB()->GetItemByFieldType(ftDate), DB()->GetItemByFieldType(ftDateTime));
    EXPECT_NE(DB()->GetItemByFieldType(ftDateTime), DB()->GetItemByFieldType(ftTimeStamp));
    EXPECT_EQ(ClassOf(DB()->GetItemByField(nullptr)), mask);
}

TEST_F(DefaultRegistries, LookupAndCurrencyFieldsComeBeforeTheType)
{
    const TClass mask = TcxEditRepositoryMaskItem::StaticClass();
    const TClass currency = TcxEditRepositoryCurrencyItem::StaticClass();
    struct Case {
        const char* Name;
        std::function<TField*(TComponent*)> Make;
        TClass Expected;
    };
    const Case cases[] = {
        {"currency field", [](TComponent* o) -> TField* { return new TCurrencyField(o); }, currency},
        {"float field with currency",
         [](TComponent* o) -> TField* {
             auto* f = new TFloatField(o);
             f->SetCurrency(true);
             return f;
         },
         currency},
        {"float field without currency", [](TComponent* o) -> TField* { return new TFloatField(o); }, mask},
        {"BCD field with currency",
         [](TComponent* o) -> TField* {
             auto* f = new TBCDField(o);
             f->SetCurrency(true);
             return f;
         },
         currency},
        {"integer field", [](TComponent* o) -> TField* { return new TIntegerField(o); }, mask},
        // Not numeric: its currency flag does not count.
        {"aggregate field", [](TComponent* o) -> TField* { return new TAggregateField(o); }, mask},
        {"string field", [](TComponent* o) -> TField* { return new TStringField(o); }, mask},
    };
    for (const Case& c : cases) {
        TComponent owner(nullptr);
        TField* f = c.Make(&owner);
        EXPECT_EQ(ClassOf(DB()->GetItemByField(f)), c.Expected) << c.Name;
    }
    TComponent owner(nullptr);
    TField* lookupDate = new TDateTimeField(&owner);
    lookupDate->SetFieldKind(fkLookup);
    TField* lookupMoney = new TCurrencyField(&owner);
    lookupMoney->SetFieldKind(fkLookup);
    TcxEditRepositoryItem* lookupItem = DB()->GetLookupItem();
    EXPECT_EQ(DB()->GetItemByField(lookupDate), lookupItem);
    EXPECT_EQ(DB()->GetItemByField(lookupMoney), lookupItem);
}

TEST(DefaultRegistryUnit, EditorUnitsAddTheirItemsAndANewRegistryGetsThemAgain)
{
    cxEditDBRegisteredRepositoryItems::Initialize();
    // A unit arriving later adds its editor for its types (once, however often it starts).
    cxEditDBRegisteredRepositoryItems::RegisterFieldTypeItems(TcxEditRepositorySpinItem::StaticClass(), {ftCursor});
    cxEditDBRegisteredRepositoryItems::RegisterFieldTypeItems(TcxEditRepositorySpinItem::StaticClass(), {ftCursor});
    int setUps = 0;
    auto before = cxEditDBRegisteredRepositoryItems::RegisterLookupItemClass(
        TcxEditRepositoryComboBoxItem::StaticClass(), [&](TcxEditRepositoryItem*) { ++setUps; });
    auto* r = cxEditDBRegisteredRepositoryItems::GetDefaultEditDBRepositoryItems();
    EXPECT_EQ(r->GetItemByFieldType(ftCursor)->ClassType(), TcxEditRepositorySpinItem::StaticClass());
    EXPECT_EQ(r->GetLookupItem()->ClassType(), TcxEditRepositoryComboBoxItem::StaticClass());
    EXPECT_EQ(setUps, 1);
    size_t entries = r->KeyedList().size();

    cxEditDBRegisteredRepositoryItems::Finalize();
    r = cxEditDBRegisteredRepositoryItems::GetDefaultEditDBRepositoryItems();
    EXPECT_EQ(r->GetDefaultItem(), nullptr);   // a new registry is empty until started
    cxEditDBRegisteredRepositoryItems::Initialize();
    EXPECT_EQ(r->KeyedList().size(), entries);
    EXPECT_EQ(r->GetItemByFieldType(ftCursor)->ClassType(), TcxEditRepositorySpinItem::StaticClass());
    EXPECT_EQ(setUps, 2);

    // Taken back, as a unit that ends does: the type falls back to the default.
    cxEditDBRegisteredRepositoryItems::UnregisterFieldTypeItems(TcxEditRepositorySpinItem::StaticClass());
    EXPECT_EQ(r->GetItemByFieldType(ftCursor), r->GetDefaultItem());
    cxEditDBRegisteredRepositoryItems::RegisterLookupItemClass(before.ItemClass, before.SetUp);
    EXPECT_EQ(r->GetLookupItem()->ClassType(), before.ItemClass ? before.ItemClass : r->GetDefaultItem()->ClassType());
    cxEditDBRegisteredRepositoryItems::Finalize();
    cxEditDBRegisteredRepositoryItems::Initialize();
    r = cxEditDBRegisteredRepositoryItems::GetDefaultEditDBRepositoryItems();
    EXPECT_EQ(r->GetItemByFieldType(ftCursor)->ClassType(), TcxEditRepositoryMaskItem::StaticClass());

    // The items live in the default edit repository: cleared, the registries
    // are empty, and starting them again fills them again.
    auto* data = cxEditDataRegisteredRepositoryItems::GetDefaultEditDataRepositoryItems();
    cxEditDataRegisteredRepositoryItems::Initialize();
    cxEdit::GetDefaultEditRepository()->Clear();
    EXPECT_EQ(r->GetItemByFieldType(ftDate), nullptr);
    EXPECT_EQ(data->GetItemByValueTypeClass(TcxBooleanValueType::Class()), nullptr);
    cxEditDBRegisteredRepositoryItems::Initialize();
    cxEditDataRegisteredRepositoryItems::Initialize();
    EXPECT_EQ(r->GetItemByFieldType(ftDate)->ClassType(), TcxEditRepositoryDateItem::StaticClass());
    EXPECT_EQ(data->GetItemByValueTypeClass(TcxBooleanValueType::Class())->ClassType(),
              TcxEditRepositoryCheckBoxItem::StaticClass());
}

TEST(EditRepositoryItems, ItemsHoldTheirEditorsPropertiesPublishedByTheirClass)
{
    cxEditRepositoryItems::Initialize();
    struct Case {
        const char* ItemClass;
        const char* PropertiesClass;
    };
    const Case cases[] = {
        {"TcxEditRepositoryTextItem", "TcxTextEditProperties"},
        {"TcxEditRepositoryButtonItem", "TcxButtonEditProperties"},
        {"TcxEditRepositoryComboBoxItem", "TcxComboBoxProperties"},
        {"TcxEditRepositoryMaskItem", "TcxMaskEditProperties"},
        {"TcxEditRepositoryPopupItem", "TcxPopupEditProperties"},
        {"TcxEditRepositoryCalcItem", "TcxCalcEditProperties"},
        {"TcxEditRepositoryDateItem", "TcxDateEditProperties"},
        {"TcxEditRepositoryCurrencyItem", "TcxCurrencyEditProperties"},
        {"TcxEditRepositorySpinItem", "TcxSpinEditProperties"},
        {"TcxEditRepositoryMemoItem", "TcxMemoProperties"},
        {"TcxEditRepositoryImageComboBoxItem", "TcxImageComboBoxProperties"},
        {"TcxEditRepositoryCheckBoxItem", "TcxCheckBoxProperties"},
        {"TcxEditRepositoryTimeItem", "TcxTimeEditProperties"},
        {"TcxEditRepositoryMRUItem", "TcxMRUEditProperties"},
        {"TcxEditRepositoryHyperLinkItem", "TcxHyperLinkEditProperties"},
        {"TcxEditRepositoryRadioGroupItem", "TcxRadioGroupProperties"},
    };
    TcxEditRepository repository;
    for (const Case& c : cases) {
        TClass cls = GetClass(c.ItemClass);   // registered for streaming
        ASSERT_NE(cls, nullptr) << c.ItemClass;
        TcxEditRepositoryItem* item = repository.CreateItem(cls);
        ASSERT_NE(item->Properties(), nullptr) << c.ItemClass;
        EXPECT_STREQ(item->Properties()->ClassName().c_str(), c.PropertiesClass);
        PPropInfo info = GetPropInfo(item, "Properties");
        ASSERT_NE(info, nullptr) << c.ItemClass;
        EXPECT_EQ(info->PropClass->Name, c.PropertiesClass);
        EXPECT_EQ(GetObjectProp(item, info), item->Properties());
    }
}

TEST(EditRepositoryItems, SettingPropertiesAssignsThemAndAFreedImageListLeavesThem)
{
    TcxEditRepository repository;
    auto* item = static_cast<TcxEditRepositoryImageComboBoxItem*>(
        repository.CreateItem(TcxEditRepositoryImageComboBoxItem::StaticClass()));
    TcxImageComboBoxProperties source;
    source.SetShowDescriptions(false);
    TcxImageComboBoxProperties* own = item->Properties();
    item->SetProperties(&source);
    EXPECT_EQ(item->Properties(), own);
    EXPECT_FALSE(item->Properties()->ShowDescriptions());

    auto* images = new TImageList(nullptr);
    auto* large = new TImageList(nullptr);
    images->FreeNotification(item);
    large->FreeNotification(item);
    item->Properties()->SetImages(images);
    item->Properties()->SetLargeImages(large);
    delete images;
    EXPECT_EQ(item->Properties()->Images(), nullptr);
    EXPECT_EQ(item->Properties()->LargeImages(), large);
    delete large;
    EXPECT_EQ(item->Properties()->LargeImages(), nullptr);
}

// ---- the field-bound defaults -------------------------------------------------------------------------

struct FieldSet {
    TDataSet DataSet;
    TField* Add(TField* AField, const char* AName, int ASize = 0)
    {
        AField->SetFieldName(AName);
        if (ASize) AField->SetSize(ASize);
        AField->SetDataSet(&DataSet);
        return AField;
    }
};

TEST(DBEditDefaultValuesProvider, WithoutDataItAnswersReadOnlyAndPlain)
{
    FieldSet s;
    auto* name = static_cast<TStringField*>(s.Add(new TStringField(&s.DataSet), "Name", 20));
    name->SetAlignment(taRightJustify);
    name->SetRequired(true);
    TcxCustomDBEditDefaultValuesProvider p;
    for (bool bound : {false, true}) {   // unbound, then bound to a field of a closed set
        p.SetField(bound ? name : nullptr);
        SCOPED_TRACE(bound ? "closed data set" : "no field");
        EXPECT_FALSE(p.IsDataAvailable());
        EXPECT_TRUE(p.DefaultReadOnly());
        EXPECT_FALSE(p.CanModify());
        EXPECT_EQ(p.DefaultPrecision(), 15);
        EXPECT_EQ(p.DefaultAlignment(), taLeftJustify);
        EXPECT_EQ(p.DefaultMaxLength(), 0);
        EXPECT_FALSE(p.DefaultRequired());
        EXPECT_FALSE(p.IsValidChar(U'a'));
        EXPECT_TRUE(p.IsDataAware());
    }
    s.DataSet.CreateDataSet();
    EXPECT_TRUE(p.IsDataAvailable());
    EXPECT_FALSE(p.DefaultReadOnly());
    EXPECT_TRUE(p.CanModify());
    EXPECT_EQ(p.DefaultAlignment(), taRightJustify);
    EXPECT_EQ(p.DefaultMaxLength(), 20);
    EXPECT_TRUE(p.DefaultRequired());
    name->SetReadOnly(true);
    EXPECT_FALSE(p.CanModify());
}

TEST(DBEditDefaultValuesProvider, AnswersFollowTheFieldsTypeAndClass)
{
    FieldSet s;
    auto* memo = s.Add(new TMemoField(&s.DataSet), "Notes");
    auto* photo = s.Add(new TGraphicField(&s.DataSet), "Photo");
    auto* price = static_cast<TFloatField*>(s.Add(new TFloatField(&s.DataSet), "Price"));
    auto* count = static_cast<TIntegerField*>(s.Add(new TIntegerField(&s.DataSet), "Count"));
    auto* born = static_cast<TDateTimeField*>(s.Add(new TDateTimeField(&s.DataSet), "Born"));
    auto* code = s.Add(new TStringField(&s.DataSet), "Code", 6);
    price->SetPrecision(4);
    price->SetMaxValue(123.456789);
    price->SetMinValue(-0.000123456);
    price->SetDisplayFormat("0.00");
    price->SetEditFormat("0.0");
    count->SetMinValue(-5);
    count->SetMaxValue(99);
    code->SetEditMask("000000;1;_");
    s.DataSet.CreateDataSet();

    TcxCustomDBEditDefaultValuesProvider p;
    struct Blob {
        TField* Field;
        int Kind;
        bool IsBlob;
    };
    for (const Blob& b : {Blob{memo, 3, true}, Blob{photo, 2, true}, Blob{price, 0, false}}) {
        p.SetField(b.Field);
        EXPECT_EQ(p.DefaultBlobKind(), b.Kind) << b.Field->FieldName();
        EXPECT_EQ(p.IsBlob(), b.IsBlob) << b.Field->FieldName();
    }

    p.SetField(price);
    EXPECT_DOUBLE_EQ(p.DefaultMaxValue(), 123.5);   // no more digits than the field shows
    EXPECT_DOUBLE_EQ(p.DefaultMinValue(), -0.0001235);
    EXPECT_EQ(p.DefaultPrecision(), 4);
    EXPECT_TRUE(p.DefaultIsFloatValue());
    EXPECT_EQ(p.DefaultDisplayFormat(), "0.00");
    EXPECT_EQ(p.DefaultEditFormat(), "0.0");
    EXPECT_FALSE(p.IsValidChar(U'x'));
    EXPECT_TRUE(p.IsValidChar(U'7'));
    p.SetField(count);
    EXPECT_EQ(p.DefaultMaxValue(), 99);
    EXPECT_EQ(p.DefaultMinValue(), -5);
    EXPECT_FALSE(p.DefaultIsFloatValue());
    p.SetField(code);
    EXPECT_EQ(p.DefaultEditMask(), "000000;1;_");
    EXPECT_EQ(p.DefaultDisplayFormat(), "");
    EXPECT_EQ(p.DefaultMaxValue(), 0);

    // A handler that makes the text lets every character through.
    code->OnGetText = [](TField*, std::string& text, bool) { text = "x"; };
    EXPECT_TRUE(p.HasGetTextHandler());
    EXPECT_TRUE(p.IsValidChar(U'中'));
    p.SetField(born);
    EXPECT_FALSE(p.HasGetTextHandler());
}

TEST(DBEditDefaultValuesProvider, DisplayFormatRules)
{
    FieldSet s;
    auto* plain = static_cast<TFloatField*>(s.Add(new TFloatField(&s.DataSet), "Plain"));
    auto* money = static_cast<TFloatField*>(s.Add(new TFloatField(&s.DataSet), "Money"));
    auto* formatted = static_cast<TIntegerField*>(s.Add(new TIntegerField(&s.DataSet), "Formatted"));
    auto* day = static_cast<TDateTimeField*>(s.Add(new TDateTimeField(&s.DataSet), "Day"));
    auto* stamp = static_cast<TDateTimeField*>(s.Add(new TDateTimeField(&s.DataSet), "Stamp"));
    auto* text = s.Add(new TStringField(&s.DataSet), "Text", 5);
    money->SetCurrency(true);
    formatted->SetDisplayFormat("#,##0");
    day->SetDisplayFormat("yyyy-mm-dd");
    text->OnGetText = [](TField*, std::string& t, bool) { t = "?"; };
    s.DataSet.CreateDataSet();
    struct Case {
        TField* Field;
        bool WithCurrency, WithoutCurrency;
    };
    const Case cases[] = {
        {plain, false, false}, {money, true, false}, {formatted, true, true},
        {day, true, true},     {stamp, false, false}, {text, true, true},
    };
    TcxCustomDBEditDefaultValuesProvider p;
    for (const Case& c : cases) {
        p.SetField(c.Field);
        EXPECT_EQ(p.HasDisplayFormat(true), c.WithCurrency) << c.Field->FieldName();
        EXPECT_EQ(p.HasDisplayFormat(false), c.WithoutCurrency) << c.Field->FieldName();
    }
}

TEST(DBEditDefaultValuesProvider, AFreedFieldUnbindsItself)
{
    FieldSet s;
    TField* f = s.Add(new TStringField(&s.DataSet), "Name", 4);
    s.DataSet.CreateDataSet();
    TcxCustomDBEditDefaultValuesProvider p;
    p.SetField(f);
    EXPECT_EQ(p.Field(), f);
    s.DataSet.Close();
    delete f;
    EXPECT_EQ(p.Field(), nullptr);
    EXPECT_TRUE(p.DefaultReadOnly());
    // A provider freed before its field no longer hears of it.
    TField* g = s.Add(new TStringField(&s.DataSet), "Other", 4);
    {
        TcxCustomDBEditDefaultValuesProvider q;
        q.SetField(g);
    }
    delete g;
}

TEST(DBEditDefaultValuesProvider, CurrencyFlagIsReadByItsPublishedName)
{
    TComponent owner(nullptr);
    auto* money = new TCurrencyField(&owner);
    auto* plain = new TFloatField(&owner);
    auto* whole = new TIntegerField(&owner);
    EXPECT_TRUE(cxEditDBRegisteredRepositoryItems::IsCurrencyField(money));
    EXPECT_FALSE(cxEditDBRegisteredRepositoryItems::IsCurrencyField(plain));
    EXPECT_FALSE(cxEditDBRegisteredRepositoryItems::IsCurrencyField(whole));   // no such property
    SetPropValue(plain, "currency", Variant(true));
    EXPECT_TRUE(plain->Currency());
    EXPECT_TRUE(cxEditDBRegisteredRepositoryItems::IsCurrencyField(plain));
}

}  // namespace
