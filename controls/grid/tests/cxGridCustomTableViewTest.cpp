// Items of a record view: identifiers, order, sizes, captions, visibility,
// grouping and sorting kept in the data controller, filtering, the stored
// layout; the data binding and the data controller's view of the items.
#include "GridTestBase.h"

#include "StringLists.h"
#include "cxEditDataRegisteredRepositoryItems.h"
#include "cxTextEdit.h"

namespace {

class GridItemsTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        View = static_cast<TcxGridTestTableView*>(Grid->CreateView(TcxGridTestTableView::StaticClass()));
        View->SetName("TableView");
        Grid->RootLevel()->Add()->SetGridView(View);
    }
    TcxCustomGridTableItem* Add(const std::string& AName)
    {
        TcxCustomGridTableItem* item = View->CreateItem();
        item->SetName(AName);
        return item;
    }
    std::vector<std::string> Names(bool AVisibleOnly = false)
    {
        std::vector<std::string> names;
        int count = AVisibleOnly ? View->VisibleItemCount() : View->ItemCount();
        for (int i = 0; i < count; ++i)
            names.push_back((AVisibleOnly ? View->GetVisibleItem(i) : View->GetItem(i))->Name());
        return names;
    }
    TcxGridTestTableView* View = nullptr;
};

TEST_F(GridItemsTest, ANewItemIsShownWithTheNextIdentifierAndDefaultSizes)
{
    TcxCustomGridTableItem* a = Add("ColA");
    TcxCustomGridTableItem* b = Add("ColB");
    EXPECT_EQ(b->Owner(), Form) << "items belong to the form";
    EXPECT_TRUE(b->Visible());
    EXPECT_EQ(b->Index(), 1);
    EXPECT_EQ(b->VisibleIndex(), 1);
    EXPECT_EQ(b->ID(), 1);
    EXPECT_EQ(b->Width(), 64);
    EXPECT_FALSE(b->IsWidthStored());
    EXPECT_EQ(b->MinWidth(), 20);
    EXPECT_EQ(b->Caption(), "");
    EXPECT_EQ(b->DataBinding()->GetDefaultWidth(), 64);
    EXPECT_EQ(View->DataController()->GetItemCount(), 2);
    EXPECT_EQ(View->DataController()->GetItem(0), a);
    EXPECT_EQ(View->DataController()->GetItemID(b), 1);
    EXPECT_EQ(View->DataController()->FindItemByID(1), b);
    EXPECT_TRUE(a->IsFirst());
    EXPECT_TRUE(b->IsLast());
}

TEST_F(GridItemsTest, TheLastIdentifierIsGivenAgainAnEarlierOneLeavesAGap)
{
    Add("ColA");
    TcxCustomGridTableItem* b = Add("ColB");
    TcxCustomGridTableItem* c = Add("ColC");
    FreeObject(c);
    EXPECT_EQ(Add("ColD")->ID(), 2);
    FreeObject(b);
    EXPECT_EQ(Add("ColE")->ID(), 3);
    EXPECT_EQ(View->FindItemByID(1), nullptr);
    EXPECT_EQ(Names(), (std::vector<std::string>{"ColA", "ColD", "ColE"}));
    EXPECT_EQ(View->FindItemByName("ColD")->Index(), 1);
    View->ClearItems();
    EXPECT_EQ(View->ItemCount(), 0);
    EXPECT_EQ(Add("ColF")->ID(), 0) << "clearing restarts the identifiers";
}

TEST_F(GridItemsTest, MovingAnItemClampsTheIndexAndKeepsTheDataControllerInStep)
{
    TcxCustomGridTableItem* a = Add("ColA");
    TcxCustomGridTableItem* b = Add("ColB");
    TcxCustomGridTableItem* c = Add("ColC");
    struct {
        TcxCustomGridTableItem* Item;
        int Index;
        std::vector<std::string> Order;
    } cases[] = {
        {c, -3, {"ColC", "ColA", "ColB"}},
        {c, 99, {"ColA", "ColB", "ColC"}},
        {a, 1, {"ColB", "ColA", "ColC"}},
        {a, 1, {"ColB", "ColA", "ColC"}},
    };
    for (const auto& k : cases) {
        k.Item->SetIndex(k.Index);
        EXPECT_EQ(Names(), k.Order) << k.Item->Name() << " to " << k.Index;
        EXPECT_EQ(Names(true), k.Order);
        for (int i = 0; i < View->ItemCount(); ++i) {
            EXPECT_EQ(View->GetItem(i)->Index(), i);
            EXPECT_EQ(View->DataController()->GetItem(i), View->GetItem(i));
            EXPECT_EQ(View->DataController()->GetItemField(i)->Item(), View->GetItem(i));
        }
    }
    (void)b;
}

TEST_F(GridItemsTest, WidthsRespectTheMinimum)
{
    TcxCustomGridTableItem* item = Add("ColA");
    struct {
        int MinWidth, Width, ExpectedWidth;
    } cases[] = {{20, 10, 20}, {20, 80, 80}, {100, 80, 100}, {0, -5, 0}, {-4, 30, 30}};
    for (const auto& c : cases) {
        item->SetMinWidth(c.MinWidth);
        item->SetWidth(c.Width);
        EXPECT_EQ(item->Width(), c.ExpectedWidth) << c.MinWidth << " " << c.Width;
        EXPECT_GE(item->MinWidth(), 0);
    }
    item->SetWidth(50);
    item->SetMinWidth(70);
    EXPECT_EQ(item->Width(), 70) << "a larger minimum widens the item";
    EXPECT_TRUE(item->IsWidthStored());
}

TEST_F(GridItemsTest, CaptionIsStoredOnlyWhenItDiffersFromTheDefault)
{
    TcxCustomGridTableItem* item = Add("ColA");
    EXPECT_FALSE(item->IsCaptionStored());
    item->SetCaption("");   // the default text: no assignment
    EXPECT_FALSE(item->IsCaptionAssignedStored());
    item->SetCaption("姓名");
    EXPECT_TRUE(item->IsCaptionStored());
    EXPECT_EQ(item->Caption(), "姓名");
    item->SetCaption("");
    EXPECT_EQ(item->Caption(), "");
    EXPECT_FALSE(item->IsCaptionStored());
    EXPECT_TRUE(item->IsCaptionAssignedStored()) << "an explicitly empty caption survives loading";
    item->RestoreDefaults();
    EXPECT_FALSE(item->IsCaptionAssignedStored());
}

TEST_F(GridItemsTest, HidingAnItemTakesItOutOfTheShownList)
{
    TcxCustomGridTableItem* a = Add("ColA");
    TcxCustomGridTableItem* b = Add("ColB");
    Add("ColC");
    b->SetVisible(false);
    EXPECT_EQ(Names(true), (std::vector<std::string>{"ColA", "ColC"}));
    EXPECT_EQ(b->VisibleIndex(), -1);
    EXPECT_TRUE(b->IsVisibleStored());
    EXPECT_EQ(View->GetVisibleItem(1)->VisibleIndex(), 1);
    FreeObject(b);
    a->SetVisible(false);
    EXPECT_FALSE(View->GetVisibleItem(0)->CanMove()) << "the only shown item cannot move";
}

TEST_F(GridItemsTest, GroupingAndSortingLiveInTheDataController)
{
    TcxCustomGridTableItem* a = Add("ColA");
    TcxCustomGridTableItem* b = Add("ColB");
    EXPECT_EQ(a->GroupIndex(), -1);
    a->SetGroupIndex(0);
    EXPECT_EQ(a->GroupIndex(), 0);
    EXPECT_TRUE(a->WasVisibleBeforeGrouping());
    EXPECT_EQ(View->DataController()->Groups()->GetGroupingItemIndex(0), a->Index());
    b->SetSortOrder(soDescending);
    EXPECT_EQ(b->SortOrder(), soDescending);
    EXPECT_EQ(View->DataController()->GetItemSortOrder(b->Index()), soDescending);
    a->SetGroupIndex(-1);
    EXPECT_EQ(a->GroupIndex(), -1);
}

TEST_F(GridItemsTest, FilteredClearsConditionsButNeverAddsThem)
{
    TcxCustomGridTableItem* a = Add("ColA");
    TcxCustomGridTableItem* b = Add("ColB");
    a->SetFiltered(true);
    EXPECT_FALSE(a->Filtered());
    EXPECT_TRUE(View->DataController()->Filter()->IsEmpty());
    TcxDataFilterCriteria* filter = View->DataController()->Filter();
    filter->AddItem(nullptr, a, foEqual, Variant(1), "1");
    filter->AddItem(nullptr, a, foGreater, Variant(5), "5");
    filter->AddItem(nullptr, b, foEqual, Variant(2), "2");
    EXPECT_TRUE(a->Filtered());
    a->SetFiltered(false);
    EXPECT_FALSE(a->Filtered());
    EXPECT_TRUE(b->Filtered()) << "other items keep their conditions";
    EXPECT_EQ(View->DataController()->GetFilterItemDisplayText(b), b->Caption());
}

TEST_F(GridItemsTest, FilterableItemsFollowTheOption)
{
    TcxCustomGridTableItem* a = Add("ColA");
    Add("ColB");
    EXPECT_EQ(View->FilterableItemCount(), 2);
    a->Options()->SetFiltering(false);
    ASSERT_EQ(View->FilterableItemCount(), 1);
    EXPECT_EQ(View->GetFilterableItem(0)->Name(), "ColB");
}

TEST_F(GridItemsTest, StoredLayoutByNameOrIdentifier)
{
    TcxCustomGridTableItem* a = Add("ColA");
    TcxCustomGridTableItem* b = Add("ColB");
    TStringList names;
    EXPECT_TRUE(b->GetStoredProperties(&names));
    EXPECT_EQ(names.Text(), "AlignmentHorz\r\nIndex\r\nVisible\r\nSortOrder\r\nSortIndex\r\n");
    EXPECT_EQ(b->GetStoredObjectName(), "ColB");
    View->StoringName = "Students";
    EXPECT_EQ(b->GetStoredObjectName(), "1");
    View->StoringName.clear();

    b->SetStoredPropertyValue("Index", Variant(0));
    b->SetStoredPropertyValue("SortOrder", Variant(int(soAscending)));
    a->SetStoredPropertyValue("Visible", Variant(false));
    a->SetStoredPropertyValue("Nonsense", Variant(7));
    EXPECT_EQ(Names(), (std::vector<std::string>{"ColB", "ColA"}));
    EXPECT_EQ(b->GetStoredPropertyValue("SortOrder").AsInteger(), int(soAscending));
    EXPECT_EQ(b->GetStoredPropertyValue("SortIndex").AsInteger(), 0);
    EXPECT_FALSE(a->GetStoredPropertyValue("Visible").AsBoolean());
    EXPECT_TRUE(a->GetStoredPropertyValue("Nonsense").IsNull());
}

TEST_F(GridItemsTest, RenamingTheViewRenamesItsItems)
{
    TcxCustomGridTableItem* item = Add("TableViewColumn1");
    TcxCustomGridTableItem* other = Add("Other");
    View->SetName("StudentsView");
    EXPECT_EQ(item->Name(), "StudentsViewColumn1");
    EXPECT_EQ(other->Name(), "Other");
}

TEST_F(GridItemsTest, ARecordCountChangeRunsAtOnceEvenWhileTheGridIsLocked)
{
    Add("ColA");
    TGridNotificationCounter recorder(gnkRecordCountChanged);
    Grid->AddNotification(&recorder);
    Grid->BeginUpdate();
    View->DataController()->SetRecordCount(5);
    EXPECT_GE(recorder.Count, 1) << "the rows appear at once";
    EXPECT_EQ(View->ViewInfoCache()->Count(), 5) << "one cache slot per row";
    EXPECT_EQ(View->ViewData()->RecordCount(), 5);
    Grid->EndUpdate();
    Grid->RemoveNotification(&recorder);
}

TEST_F(GridItemsTest, ADataChangeMakesAnEarlierSizeChangeOfItsViewNeedless)
{
    TcxGridTestView* other = GridTesting::MakeView(Grid, "Other");
    TcxGridDataChange data(View);
    TcxGridSizeChange mine(View), theirs(other), gridWide(nullptr);
    EXPECT_TRUE(mine.IsCoveredBy(&data));
    EXPECT_FALSE(theirs.IsCoveredBy(&data));
    EXPECT_FALSE(gridWide.IsCoveredBy(&data));
    EXPECT_FALSE(data.IsDeferrable());
}

// ---- records

class GridRecordsTest : public GridItemsTest {
protected:
    void SetUp() override
    {
        GridItemsTest::SetUp();
        // No row is on screen, so records are made only when a test asks.
        Grid->SetBounds(0, 0, 300, 0);
        Name = Add("ColName");
        Name->OnGetDisplayText = [](TcxCustomGridTableItem*, TObject*, std::string& AText) { AText = "<" + AText + ">"; };
        Name->DataBinding()->SetValueTypeClass(TcxStringValueType::Class());
        TcxCustomDataController* dc = View->DataController();
        dc->SetRecordCount(4);
        for (int i = 0; i < 4; ++i) dc->SetValue(i, 0, Variant(std::string(1, char('A' + i))));
    }
    TcxCustomGridTableViewData* Data() { return View->ViewData(); }
    TcxCustomGridTableItem* Name = nullptr;
};

TEST_F(GridRecordsTest, RecordsAreMadeOnlyWhenAskedForAndOnlyInRange)
{
    ASSERT_EQ(Data()->RecordCount(), 4);
    EXPECT_FALSE(Data()->IsRecordCreated(2));
    EXPECT_EQ(Data()->GetRecordByIndex(4), nullptr);
    EXPECT_EQ(Data()->GetRecordByIndex(-1), nullptr);
    TcxCustomGridRecord* r = Data()->GetRecordByIndex(2);
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(Data()->IsRecordCreated(2));
    EXPECT_FALSE(Data()->IsRecordCreated(1));
    EXPECT_EQ(r->RecordIndex(), 2);
    EXPECT_EQ(r->GetValue(0).AsString(), "C");
    EXPECT_EQ(r->GetDisplayText(0), "<C>") << "the item has its say";
    EXPECT_EQ(r->GetParentRecord(), nullptr) << "no parent at level 0 without a master";
    EXPECT_TRUE(Data()->GetRecord(3)->IsLast());
    EXPECT_TRUE(Data()->GetRecord(0)->IsFirst());
    EXPECT_EQ(Data()->GetRecordByRecordIndex(1), Data()->GetRecord(1));
}

TEST_F(GridRecordsTest, ARowCountChangeRenewsEveryRecord)
{
    TcxCustomGridRecord* before = Data()->GetRecord(1);
    (void)before;
    View->DataController()->SetRecordCount(6);
    EXPECT_EQ(Data()->RecordCount(), 6);
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(Data()->IsRecordCreated(i)) << i;
    EXPECT_EQ(Data()->EditingRecord(), nullptr);
}

TEST_F(GridRecordsTest, RefreshKeepsTheHandlesAndRereadsTheirRows)
{
    TcxCustomGridRecord* first = Data()->GetRecord(0);
    TcxCustomGridRecord* last = Data()->GetRecord(3);
    Name->SetSortOrder(soDescending);
    Data()->RefreshRecords();
    EXPECT_EQ(Data()->GetRecord(0), first);
    EXPECT_EQ(first->RecordIndex(), 3) << "row 0 now shows the last record";
    EXPECT_EQ(last->RecordIndex(), 0);
    EXPECT_EQ(first->GetDisplayText(0), "<D>");
}

TEST_F(GridRecordsTest, SelectionGoesThroughTheDataController)
{
    TcxCustomGridRecord* r = Data()->GetRecord(1);
    r->SetSelected(true);
    EXPECT_FALSE(r->GetSelected()) << "rows are selected one by one only with MultiSelect";
    View->DataController()->SetMultiSelect(true);
    r->SetSelected(true);
    EXPECT_TRUE(r->GetSelected());
    EXPECT_TRUE(View->DataController()->IsRowSelected(1));
}

TEST_F(GridRecordsTest, TheNewItemRecordStandsApart)
{
    static_cast<TcxGridTestViewData*>(Data())->NewItemRow = true;
    Data()->CheckNewItemRecord();
    TcxCustomGridRecord* r = Data()->NewItemRecord();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Index(), -1);
    EXPECT_TRUE(r->IsNewItemRecord());
    EXPECT_EQ(Data()->GetRecordByRecordIndex(View->DataController()->GetNewItemRecordIndex()), r);
    static_cast<TcxGridTestViewData*>(Data())->NewItemRow = false;
    Data()->CheckNewItemRecord();
    EXPECT_EQ(Data()->NewItemRecord(), nullptr);
}

TEST_F(GridRecordsTest, ARecordHitTestSurvivesARowCountChange)
{
    auto* h = TcxCustomGridHitTest::Instance<TcxGridRecordCellHitTest>({3, 4});
    h->SetGridRecord(Data()->GetRecord(2));
    EXPECT_EQ(h->HitTestCode(), 102);
    EXPECT_EQ(h->RecordIndex, 2);
    View->DataController()->SetRecordCount(3);   // every handle is new
    TcxCustomGridRecord* again = h->GridRecord();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again, Data()->GetRecord(2));
    View->DataController()->SetRecordCount(2);
    EXPECT_EQ(h->GridRecord(), nullptr) << "a row that is gone gives no record";
    h->SetGridRecord(nullptr);
    EXPECT_EQ(h->RecordIndex, -1);
    EXPECT_FALSE(TcxCustomGridHitTest::Instance<TcxGridExpandButtonHitTest>({0, 0})->CanClick());
    EXPECT_EQ(TcxCustomGridHitTest::Instance<TcxGridNavigatorHitTest>({0, 0})->HitTestCode(), 104);
}

TEST_F(GridRecordsTest, AnItemThatComputesItsTextCountsAsFormatted)
{
    TcxCustomGridTableItem* plain = Add("ColPlain");
    IcxEditDefaultValuesProvider* formatted = Name->DataBinding()->GetDefaultValuesProvider();
    EXPECT_TRUE(formatted->HasDisplayFormat(false));
    EXPECT_FALSE(plain->DataBinding()->GetDefaultValuesProvider()->HasDisplayFormat(false));
    View->DataController()->ChangeTextStored(plain->Index(), true);
    EXPECT_TRUE(plain->DataBinding()->GetDefaultValuesProvider()->HasDisplayFormat(false));
}

// ---- the editor description of an item

// A repository item whose properties are text edit properties.
class TTextRepositoryItem : public TcxEditRepositoryItem {
public:
    using TcxEditRepositoryItem::TcxEditRepositoryItem;
    TClass GetPropertiesClass() const override { return TcxTextEditProperties::StaticClass(); }
};

TEST_F(GridItemsTest, EffectivePropertiesComeFromTheRepositoryItemThenTheOwnOnes)
{
    TDefaultEditorsScope editors;
    TcxCustomGridTableItem* item = Add("ColA");
    TcxEditRepositoryItem* byDefault = cxGridCustomTableView::GetDefaultEditDataRepositoryItem(nullptr);
    ASSERT_NE(byDefault, nullptr);
    EXPECT_EQ(item->GetProperties(), byDefault->Properties()) << "the default editor of its value type";

    item->SetPropertiesClassName("TcxTextEditProperties");
    ASSERT_NE(item->Properties(), nullptr);
    EXPECT_EQ(item->PropertiesClassName(), "TcxTextEditProperties");
    EXPECT_EQ(item->GetProperties(), item->Properties());
    EXPECT_EQ(item->GetProperties()->DefaultValuesProvider(), item->DataBinding()->GetDefaultValuesProvider())
        << "the properties take their defaults from the item's binding";

    auto* repo = new TTextRepositoryItem(nullptr);
    repo->AfterConstruction();
    item->SetRepositoryItem(repo);
    EXPECT_EQ(item->GetProperties(), repo->Properties());
    FreeObject(repo);
    EXPECT_EQ(item->RepositoryItem(), nullptr) << "a repository item that goes is let go";
    EXPECT_EQ(item->GetProperties(), item->Properties());

    item->SetPropertiesClassName("TcxNoSuchProperties");
    EXPECT_EQ(item->Properties(), nullptr);
    EXPECT_EQ(item->GetProperties(), byDefault->Properties()) << "back to the default editor";
}

TEST_F(GridItemsTest, AnItemWithoutAnEditorOfItsOwnShowsItsValueTypesDefaultEditor)
{
    TDefaultEditorsScope editors;
    struct Case {
        TcxValueTypeClass valueType;
        const char* propertiesClass;
    } cases[] = {
        {TcxStringValueType::Class(), "TcxTextEditProperties"},
        {TcxBooleanValueType::Class(), "TcxCheckBoxProperties"},
        {TcxCurrencyValueType::Class(), "TcxCurrencyEditProperties"},
        {TcxDateTimeValueType::Class(), "TcxDateEditProperties"},
        {TcxIntegerValueType::Class(), "TcxTextEditProperties"},
    };
    for (const Case& c : cases) {
        TcxCustomGridTableItem* item = Add("Col");
        item->DataBinding()->SetValueTypeClass(c.valueType);
        ASSERT_NE(item->GetProperties(), nullptr) << c.propertiesClass;
        EXPECT_EQ(item->GetProperties()->ClassName(), c.propertiesClass);
        EXPECT_EQ(item->DefaultRepositoryItem(), cxGridCustomTableView::GetDefaultEditDataRepositoryItem(c.valueType));
        FreeObject(item);
    }
}

TEST_F(GridItemsTest, StoredAlignmentGoesToTheItemsProperties)
{
    cxEdit::Initialize();
    cxTextEdit::Initialize();
    TcxCustomGridTableItem* item = Add("ColA");
    item->SetPropertiesClass(TcxTextEditProperties::StaticClass());
    EXPECT_EQ(item->GetStoredPropertyValue("AlignmentHorz").AsInteger(), int(taLeftJustify));
    item->SetStoredPropertyValue("AlignmentHorz", Variant(int(taRightJustify)));
    EXPECT_EQ(item->Properties()->Alignment()->Horz(), taRightJustify);
    EXPECT_EQ(item->GetStoredPropertyValue("AlignmentHorz").AsInteger(), int(taRightJustify));
}

TEST_F(GridItemsTest, ADetailCloneTakesThePatternsItemsWithTheirIdentifiers)
{
    TcxGridLevel* detailLevel = View->Level()->Add();
    auto* pattern = static_cast<TcxGridTestTableView*>(Grid->CreateView(TcxGridTestTableView::StaticClass()));
    detailLevel->SetGridView(pattern);
    TcxCustomGridTableItem* a = pattern->CreateItem();
    TcxCustomGridTableItem* b = pattern->CreateItem();
    TcxCustomGridTableItem* c = pattern->CreateItem();
    b->SetCaption("金额");
    b->SetWidth(120);
    c->SetVisible(false);
    FreeObject(a);   // leaves a gap in the identifiers
    View->DataController()->SetRecordCount(1);

    auto* clone = static_cast<TcxCustomGridTableView*>(detailLevel->CreateLinkObject(detailLevel->DataRelation(), 0));
    ASSERT_NE(clone, nullptr);
    ASSERT_EQ(clone->ItemCount(), 2);
    EXPECT_EQ(clone->GetItem(0)->ID(), 1);
    EXPECT_EQ(clone->GetItem(0)->Caption(), "金额");
    EXPECT_EQ(clone->GetItem(0)->Width(), 120);
    EXPECT_EQ(clone->GetItem(1)->ID(), 2);
    EXPECT_FALSE(clone->GetItem(1)->Visible());
    EXPECT_EQ(clone->NextID(), pattern->NextID());
    EXPECT_EQ(clone->DataController()->GetItemCount(), 2);
    FreeObject(clone);
}

}  // namespace
