#include "cxLookupEdit.h"

#include "EditOnForm.h"
#include "cxData.h"
#include "cxDataStorage.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// The list: one record per row, the name in column 0 and a phone number in
// column 1.
const char* const kNames[] = {"ABCD", "Abel", "Bob", "张三", "张四", "李四",
                              "王五", "赵六", "钱七", "孙八", "周九", "吴十"};

struct TListColumn : TObject {};

class TListController : public TcxDataController {
public:
    TListController()
    {
        for (auto& c : Columns) {
            c = std::make_unique<TListColumn>();
            AddItem(c.get());
        }
    }
    void AfterConstruction() override
    {
        TcxDataController::AfterConstruction();
        ChangeValueTypeClass(0, TcxStringValueType::Class());
        ChangeValueTypeClass(1, TcxStringValueType::Class());
    }
    TObject* GetItem(int index) override { return Columns[size_t(index)].get(); }
    void Fill(int count)
    {
        BeginUpdate();
        SetRecordCount(0);
        for (int i = 0; i < count; ++i) {
            int r = AppendRecord();
            SetValue(r, 0, Variant(std::string(kNames[i % 12])));
            SetValue(r, 1, Variant("1390000" + std::to_string(1000 + i)));
        }
        EndUpdate();
    }
    std::unique_ptr<TListColumn> Columns[2];
};

// Lookup properties over the list above, standing in for the grid the lookup
// combo box supplies: the key is the record index, its text the list
// column's.
class TTestLookupProperties : public TcxCustomLookupEditProperties {
    QZ_CLASS(TTestLookupProperties, TcxCustomLookupEditProperties)
public:
    explicit TTestLookupProperties(TPersistent* AOwner = nullptr) : TcxCustomLookupEditProperties(AOwner)
    {
        List.reset(cxCreateDataController<TListController>());
        List->Fill(12);
        SubscribeDataChanged();
    }
    ~TTestLookupProperties() override { UnsubscribeDataChanged(); }
    TcxCustomDataController* GetListDataController() override { return List.get(); }
    int GetListColumnCount() override { return ColumnCount; }
    std::string GetDisplayTextByKey(const Variant& AKey) override
    {
        int index = GetListIndex();
        if (index == -1 || !VarIsNumeric(AKey)) return std::string();
        int r = int(AKey.AsDouble());
        return r >= 0 && r < List->GetRecordCount() ? List->GetDisplayText(r, index) : std::string();
    }
    void Changed() override
    {
        ++ChangedCount;
        TcxCustomLookupEditProperties::Changed();
    }
    std::unique_ptr<TListController> List;
    int ColumnCount = 2;
    int ChangedCount = 0;
};
QZ_CLASS_IMPL(TTestLookupProperties, TcxCustomLookupEditProperties)

class TTestLookupEdit : public TcxCustomLookupEdit {
    QZ_CLASS(TTestLookupEdit, TcxCustomLookupEdit)
public:
    explicit TTestLookupEdit(TComponent* AOwner = nullptr) : TcxCustomLookupEdit(AOwner)
    {
        InitializeEdit();
        PropertiesChanged(ActiveProperties());
    }
    TClass GetPropertiesClass() const override { return TTestLookupProperties::StaticClass(); }
    TTestLookupProperties* Props() const { return static_cast<TTestLookupProperties*>(ActiveProperties()); }
};
QZ_CLASS_IMPL(TTestLookupEdit, TcxCustomLookupEdit)

class LookupEditTest : public TEditOnForm<TTestLookupEdit> {
protected:
    void SetUp() override
    {
        TEditOnForm::SetUp();
        Edit->SetBounds(10, 10, 160, 21);
        Edit->SetFocus();
        GuiTest::ProcessEvents();
        Data = Edit->ILookupData();
        ASSERT_NE(Data, nullptr);
    }
    TListController* List() const { return Edit->Props()->List.get(); }
    int Focused() const { return List()->GetFocusedRecordIndex(); }
    int KeyNow() const { return VarIsNumeric(Data->GetCurrentKey()) ? int(Data->GetCurrentKey().AsDouble()) : -99; }
    TcxCustomLookupEditLookupData* Data = nullptr;
};

}  // namespace

TEST(LookupEditPropertiesTest, DefaultsAndTheListColumnClamps)
{
    TTestLookupProperties p;
    EXPECT_TRUE(p.IncrementalFiltering());
    EXPECT_TRUE(p.IncrementalSelection());
    EXPECT_EQ(p.DropDownListStyle(), lsEditFixedList);
    EXPECT_FALSE(p.DropDownAutoSize());
    EXPECT_FALSE(p.DropDownSizeable());
    EXPECT_EQ(p.DropDownHeight(), 0);
    EXPECT_EQ(p.DropDownWidth(), 0);
    EXPECT_EQ(p.GetDisplayFormatOptions(), 0);
    EXPECT_TRUE(p.IsEditValueValid(Variant("no such text"), true));

    // The list column: the stored index within the columns there are.
    struct Case {
        int columns, stored, listIndex;
    } cases[] = {{2, 0, 0}, {2, 1, 1}, {1, 1, 0}, {0, 0, -1}};
    for (const Case& c : cases) {
        p.ColumnCount = 2;
        p.SetListFieldIndex(c.stored);
        p.ColumnCount = c.columns;
        EXPECT_EQ(p.GetListIndex(), c.listIndex) << c.columns << " columns, index " << c.stored;
    }
    // Setting clamps to 0 .. count - 1, and only a new index is a change.
    p.ColumnCount = 2;
    struct Set {
        int value, stored;
    } sets[] = {{3, 1}, {-4, 0}, {1, 1}};
    for (const Set& s : sets) {
        p.SetListFieldIndex(s.value);
        EXPECT_EQ(p.GetListFieldIndex(), s.stored) << s.value;
    }
    int before = p.ChangedCount;
    p.SetListFieldIndex(1);
    EXPECT_EQ(p.ChangedCount, before);

    TTestLookupProperties q;
    p.SetIncrementalFiltering(false);
    q.Assign(&p);
    EXPECT_EQ(q.GetListFieldIndex(), 1);
    EXPECT_FALSE(q.IncrementalFiltering());
}

TEST(LookupEditPropertiesTest, PopupKeysAndTheTextOfAKey)
{
    TTestLookupProperties p;
    struct Case {
        uint16_t key;
        TShiftState shift;
        bool popup;
    } cases[] = {{VK_UP, {}, true},          {VK_DOWN, {}, true},         {VK_PRIOR, {}, true},
                 {VK_NEXT, {ssShift}, true}, {VK_DOWN, {ssAlt}, false},   {VK_HOME, {}, false},
                 {VK_HOME, {ssCtrl}, true},  {VK_END, {ssCtrl}, true},    {VK_LEFT, {}, false},
                 {VK_RETURN, {}, false}};
    for (const Case& c : cases) EXPECT_EQ(p.IsPopupKey(c.key, c.shift), c.popup) << c.key;

    // The key's list text is shown, not the key; the key not being the text,
    // display formatting does not apply.
    Variant shown;
    p.PrepareDisplayValue(Variant(3), shown, false);
    EXPECT_EQ(VarToStr(shown), "张三");
    p.PrepareDisplayValue(Variant(42), shown, true);
    EXPECT_EQ(VarToStr(shown), "");
    EXPECT_EQ(p.UsesDisplayFormatting(false), 0u);
    EXPECT_TRUE(p.GetSupportedOperations() & 256);
    EXPECT_TRUE(p.FindLookupText("bob"));
    EXPECT_FALSE(p.FindLookupText("bo"));
}

TEST(LookupEditPropertiesTest, DataChangesAreIgnoredWhileLockedOrLocating)
{
    TTestLookupProperties p;
    struct Case {
        const char* what;
        bool locked, locating, changes;
    } cases[] = {{"free", false, false, true}, {"locked", true, false, false}, {"locating", false, true, false}};
    for (const Case& c : cases) {
        if (c.locked) p.LockDataChanged();
        if (c.locating) p.BeginLocate();
        int before = p.ChangedCount;
        p.List->SetValue(2, 0, Variant(std::string("Bobby")));
        EXPECT_EQ(p.ChangedCount > before, c.changes) << c.what;
        if (c.locked) p.UnlockDataChanged();
        if (c.locating) p.EndLocate();
    }
    p.UnsubscribeDataChanged();
    int before = p.ChangedCount;
    p.List->SetValue(2, 0, Variant(std::string("Bob")));
    EXPECT_EQ(p.ChangedCount, before);
    p.SubscribeDataChanged();
}

TEST_F(LookupEditTest, LocateFindsAPrefixInTheListsLetterCase)
{
    struct Case {
        const char* typed;
        bool found;
        const char* text;
        const char* tail;
        int record;
    } cases[] = {{"ab", true, "AB", "CD", 0},  {"abe", true, "Abe", "l", 1}, {"张", true, "张", "三", 3},
                 {"李四", true, "李四", "", 5}, {"abz", false, "abz", "", -1}, {"", true, "", "ABCD", 0}};
    for (const Case& c : cases) {
        std::string text = c.typed, tail;
        EXPECT_EQ(Data->Locate(text, tail, false), c.found) << c.typed;
        EXPECT_EQ(text, c.text) << c.typed;
        EXPECT_EQ(tail, c.tail) << c.typed;
        if (c.found) {
            EXPECT_EQ(KeyNow(), c.record) << c.typed;
            EXPECT_EQ(Focused(), c.record) << c.typed;
            EXPECT_TRUE(Data->IsFocusedRowSelected()) << c.typed;
        } else {
            EXPECT_FALSE(Data->IsFocusedRowSelected()) << c.typed;
        }
    }
    // Without a list column nothing is found, and the list counts as empty.
    Edit->Props()->ColumnCount = 0;
    std::string text = "ab", tail;
    EXPECT_FALSE(Data->Locate(text, tail, false));
    EXPECT_TRUE(Data->IsEmpty());
}

TEST_F(LookupEditTest, TheOpenListFiltersAsTheUserTypesAndKeepsItsFilterOnNoMatch)
{
    struct Case {
        TcxEditDropDownListStyle style;
        const char* keptFilter;
        int keptRows;
    } cases[] = {{lsEditFixedList, "张", 2}, {lsFixedList, "张", 2}, {lsEditList, "张x", 0}};
    for (const Case& c : cases) {
        Edit->Props()->SetDropDownListStyle(c.style);
        Data->ListVisible = true;
        std::string text = "张", tail;
        ASSERT_TRUE(Data->Locate(text, tail, false));
        EXPECT_EQ(List()->GetRowCount(), 2);
        EXPECT_EQ(KeyNow(), 3);
        text = "张x";
        EXPECT_FALSE(Data->Locate(text, tail, false));
        EXPECT_EQ(List()->GetIncrementalFilterText(), c.keptFilter) << c.style;
        EXPECT_EQ(List()->GetRowCount(), c.keptRows) << c.style;
        EXPECT_EQ(KeyNow(), 3) << "a text that matches nothing leaves the key";
        // An empty text shows every record again and finds the first.
        text.clear();
        EXPECT_TRUE(Data->Locate(text, tail, false));
        EXPECT_EQ(List()->GetRowCount(), 12);
        EXPECT_EQ(KeyNow(), 0);
        Data->SyncItemIndex();
    }
    // Closed, or with filtering off, typing searches without filtering.
    Data->ListVisible = true;
    Edit->Props()->SetIncrementalFiltering(false);
    std::string text = "王", tail;
    EXPECT_TRUE(Data->Locate(text, tail, false));
    EXPECT_EQ(List()->GetRowCount(), 12);
    Data->ListVisible = false;
}

TEST_F(LookupEditTest, GoMovesThroughTheListAndChoosesTheRecord)
{
    struct Case {
        int from;
        TcxLookupDirection dir;
        bool cycle;
        int to;
    } cases[] = {{5, ldFirst, false, 0},    {5, ldLast, false, 11},    {5, ldNext, false, 6},
                 {5, ldPrevious, false, 4}, {2, ldPageDown, false, 10}, {9, ldPageUp, false, 1},
                 {11, ldNext, false, 11},   {11, ldNext, true, 0},     {0, ldPrevious, true, 11},
                 {0, ldPrevious, false, 0}, {10, ldPageDown, false, 11}, {11, ldPageDown, true, 0}};
    for (const Case& c : cases) {
        Edit->SetEditValue(Variant(c.from));
        int selected = 0;
        Data->OnSelectItem = [&](TObject*) { ++selected; };
        Data->Go(c.dir, c.cycle);
        EXPECT_EQ(KeyNow(), c.to) << c.from << " dir " << c.dir << " cycle " << c.cycle;
        EXPECT_EQ(Focused(), c.to);
        EXPECT_TRUE(Data->IsFocusedRowSelected());
        EXPECT_EQ(selected, 1);
    }
    // An empty list: nothing moves, nothing is chosen.
    List()->Fill(0);
    int selected = 0;
    Data->OnSelectItem = [&](TObject*) { ++selected; };
    Data->Go(ldNext, true);
    EXPECT_EQ(selected, 0);
    EXPECT_TRUE(Data->IsEmpty());
}

TEST_F(LookupEditTest, TheEditShowsTheTextOfItsKeyAndTurnsTextIntoKeys)
{
    Edit->SetEditValue(Variant(4));
    EXPECT_EQ(Edit->GetDisplayText(), "张四");
    EXPECT_EQ(KeyNow(), 4);

    struct Case {
        const char* text;
        Variant value;
    } cases[] = {{"张四", Variant(4)}, {"bob", Variant(2)}, {"李四", Variant(5)}, {"张", Null()}, {"", Null()}};
    for (const Case& c : cases) {
        Variant v = Edit->DisplayValueToEditValue(c.text);
        EXPECT_TRUE(cxEdit::VarEqualsExact(v, c.value)) << c.text << " gave " << VarToStr(v);
    }

    // Typing a prefix completes it, and leaving posts the record's key.
    Edit->SetEditValue(Null());
    Edit->SelectAll();
    GuiTest::TypeText("王");
    EXPECT_EQ(Edit->GetDisplayText(), "王五");
    Key(VK_ESCAPE);   // closes the list the typing opened
    ASSERT_TRUE(Edit->ValidateEdit(false));
    EXPECT_TRUE(cxEdit::VarEqualsExact(Edit->EditValue(), Variant(6)));
}

TEST_F(LookupEditTest, TheDropDownLocatesUntilItClosesAndTheKeysChooseRecords)
{
    // A change of the list's data makes the edit read its text again.
    Edit->SetEditValue(Variant(2));
    List()->SetValue(2, 0, Variant(std::string("Bobby")));
    GuiTest::ProcessEvents();
    EXPECT_EQ(Edit->GetDisplayText(), "Bobby");

    Key(VK_F4);
    ASSERT_TRUE(Edit->HasPopupWindow());
    EXPECT_TRUE(Data->Visible());
    EXPECT_TRUE(Edit->Props()->IsLocating());
    EXPECT_EQ(Focused(), 2);
    EXPECT_TRUE(Data->IsFocusedRowSelected());

    int clicks = 0;
    Edit->OnClick = [&](TObject*) { ++clicks; };
    Key(VK_DOWN);
    EXPECT_EQ(Focused(), 3);
    EXPECT_EQ(clicks, 1) << "choosing another record is a click";
    EXPECT_TRUE(cxEdit::VarEqualsExact(Edit->EditValue(), Variant(3)));
    EXPECT_EQ(Edit->GetDisplayText(), "张三");

    Key(VK_RETURN);
    EXPECT_FALSE(Edit->HasPopupWindow());
    EXPECT_FALSE(Data->Visible());
    EXPECT_FALSE(Edit->Props()->IsLocating());
    EXPECT_TRUE(cxEdit::VarEqualsExact(Edit->EditValue(), Variant(3)));
    EXPECT_EQ(clicks, 1) << "accepting the record already chosen is none";

    // Opening twice and closing without an opening leave the list's locate
    // balanced: it ends with the close.
    Data->DropDown();
    Data->DropDown();
    Data->SyncItemIndex();
    EXPECT_FALSE(Edit->Props()->IsLocating());
    Data->SyncItemIndex();
    Data->DropDown();
    EXPECT_TRUE(Edit->Props()->IsLocating());
    Data->SyncItemIndex();
    EXPECT_FALSE(Edit->Props()->IsLocating());

    // Not while the user is changing the value.
    List()->SetValue(3, 0, Variant(std::string("张三丰")));
    GuiTest::ProcessEvents();
    EXPECT_EQ(Edit->GetDisplayText(), "张三");
}
