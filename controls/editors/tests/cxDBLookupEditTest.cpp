#include "cxDBLookupEdit.h"

#include "EditOnForm.h"
#include "LookupTestData.h"
#include "SysUtils.h"
#include "cxDB.h"
#include "cxDBData.h"
#include "cxEditDBRegisteredRepositoryItems.h"

#include <memory>
#include <string>
#include <vector>

namespace {

struct TListColumn : TObject {};

// A list data controller whose items are bare objects named by field; as
// the lookup combo box's list does, it neither moves the data set nor
// mirrors its inserts.
class TListDBController : public TcxDBDataController {
public:
    void AfterConstruction() override
    {
        TcxDBDataController::AfterConstruction();
        DataModeController()->SetSyncMode(false);
        DataModeController()->MirrorInserts = false;
    }
    TObject* GetItem(int index) override { return Columns[size_t(index)].get(); }
    void SetColumns(const std::vector<std::string>& names)
    {
        BeginUpdate();
        while (!Columns.empty()) {
            RemoveItem(Columns.back().get());
            Columns.pop_back();
        }
        for (const std::string& n : names) {
            Columns.push_back(std::make_unique<TListColumn>());
            AddItem(Columns.back().get());
            ChangeItemFieldName(int(Columns.size()) - 1, n);
        }
        EndUpdate();
    }
    std::vector<std::string> Names()
    {
        std::vector<std::string> r;
        for (int i = 0; i < GetItemCount(); ++i) r.push_back(GetItemFieldName(i));
        return r;
    }
    std::vector<std::unique_ptr<TListColumn>> Columns;
};

// Data-aware lookup properties whose list columns are the controller's
// items, standing in for the lookup combo box's grid; the edited field is
// bound through a field's default values provider.
class TTestDBLookupProperties : public TcxCustomDBLookupEditProperties {
    QZ_CLASS(TTestDBLookupProperties, TcxCustomDBLookupEditProperties)
public:
    explicit TTestDBLookupProperties(TPersistent* AOwner = nullptr) : TcxCustomDBLookupEditProperties(AOwner)
    {
        List.reset(cxCreateDataController<TListDBController>());
        SetDefaultValuesProvider(Provider.get());
    }
    ~TTestDBLookupProperties() override
    {
        SetDefaultValuesProvider(nullptr);
        List.reset();
    }
    TcxDBDataController* GetDBDataController() override { return List.get(); }
    int GetListColumnCount() override { return List ? List->GetItemCount() : 0; }
    void CreateListColumns(const std::string& AFieldNames) override
    {
        std::vector<std::string> names;
        cxDB::GetFieldNames(AFieldNames, names);
        List->SetColumns(names);
    }
    void AddListColumnForField(const std::string& AFieldName) override
    {
        if (AFieldName.empty() || FindListColumnByFieldName(AFieldName) != -1) return;
        std::vector<std::string> names = List->Names();
        names.insert(names.begin(), AFieldName);
        List->SetColumns(names);
    }
    TField* GetListColumnField(int AIndex) override { return List->GetItemField(AIndex); }
    std::string GetListColumnFieldName(int AIndex) override { return List->GetItemFieldName(AIndex); }
    int FindListColumnByFieldName(const std::string& AFieldName) override
    {
        for (int i = 0; i < GetListColumnCount(); ++i)
            if (AnsiCompareText(List->GetItemFieldName(i), AFieldName) == 0) return i;
        return -1;
    }
    void SetEditingField(TField* AField) { Provider->SetField(AField); }
    void SetListSource(TDataSource* ASource)
    {
        List->SetDataSource(ASource);
        Changed();
    }
    std::unique_ptr<TListDBController> List;
    std::unique_ptr<TcxCustomDBEditDefaultValuesProvider> Provider =
        std::make_unique<TcxCustomDBEditDefaultValuesProvider>();
};
QZ_CLASS_IMPL(TTestDBLookupProperties, TcxCustomDBLookupEditProperties)

class TTestDBLookupEdit : public TcxCustomDBLookupEdit {
    QZ_CLASS(TTestDBLookupEdit, TcxCustomDBLookupEdit)
public:
    explicit TTestDBLookupEdit(TComponent* AOwner = nullptr) : TcxCustomDBLookupEdit(AOwner)
    {
        InitializeEdit();
        PropertiesChanged(ActiveProperties());
    }
    TClass GetPropertiesClass() const override { return TTestDBLookupProperties::StaticClass(); }
    TTestDBLookupProperties* Props() const { return static_cast<TTestDBLookupProperties*>(ActiveProperties()); }
};
QZ_CLASS_IMPL(TTestDBLookupEdit, TcxCustomDBLookupEdit)

// Renames a coach of the list.
void Rename(TCoachesData& ACoaches, int AId, const std::string& AName)
{
    ASSERT_TRUE(ACoaches.Set->Locate("CoachId", Variant(AId), {}));
    ACoaches.Set->Edit();
    ACoaches.Set->FieldByName("Name")->SetAsString(AName);
    ACoaches.Set->Post();
}

bool IsArrayOf(const Variant& V, const std::vector<Variant>& AValues)
{
    if (!VarIsArray(V) || VarArrayHighBound(V, 1) != int(AValues.size()) - 1) return false;
    for (size_t i = 0; i < AValues.size(); ++i)
        if (!cxEdit::VarEqualsExact(VarArrayGet(V, {int(i)}), AValues[i])) return false;
    return true;
}

}  // namespace

TEST(DBLookupEditPropertiesTest, KeysAreTheKeyFieldsValues)
{
    TCoachesData coaches;
    TTestDBLookupProperties p;
    p.SetListFieldNames("Name");
    p.SetKeyFieldNames("CoachId");
    p.SetListSource(&coaches.Source);
    ASSERT_EQ(p.List->GetRecordCount(), 5);

    EXPECT_TRUE(VarIsNull(p.GetNullKey()));
    struct Case {
        Variant key;
        const char* text;
    } cases[] = {{Variant(13), "王志强"}, {Variant(11), "张建国"}, {Variant(99), ""}, {Null(), ""},
                 {Variant("no number"), ""}};
    for (const Case& c : cases) EXPECT_EQ(p.GetDisplayTextByKey(c.key), c.text) << VarToStr(c.key);
    EXPECT_FALSE(p.KeyIsListText());
    EXPECT_EQ(p.UsesDisplayFormatting(false), 0u);

    // Two key fields: the null key is two Nulls, a record's key its two values.
    p.SetKeyFieldNames("Team;Seq");
    EXPECT_TRUE(IsArrayOf(p.GetNullKey(), {Null(), Null()}));
    EXPECT_EQ(p.GetDisplayTextByKey(VarArrayOf({Variant("B"), Variant(2)})), "赵丽");
    EXPECT_EQ(p.GetDisplayTextByKey(Variant(13)), "") << "a single value for two key fields";

    // The key field is the list field: the key is the text itself.
    p.SetKeyFieldNames("Name");
    EXPECT_TRUE(p.KeyIsListText());
    EXPECT_EQ(p.UsesDisplayFormatting(false), 1u);
    p.SetListFieldNames("CoachId;Name");
    EXPECT_FALSE(p.KeyIsListText()) << "the list field is now CoachId";
    EXPECT_EQ(p.GetDefaultHorzAlignment(), taRightJustify) << "the list field's alignment";
    EXPECT_EQ(p.ListFieldNames(), "CoachId;Name");
    p.SetListFieldIndex(1);
    EXPECT_TRUE(p.KeyIsListText());
    EXPECT_EQ(p.GetDefaultMaxLength(), 20) << "the list field's size";
    EXPECT_EQ(p.GetDefaultHorzAlignment(), taLeftJustify);
}

TEST(DBLookupEditPropertiesTest, ALookupFieldDefinesTheList)
{
    TCoachesData coaches;
    TLessonsData lessons(coaches.Set.get());
    TTestDBLookupProperties p;
    p.SetListFieldNames("CoachId");
    p.SetEditingField(lessons.CoachName);
    p.Changed();

    ASSERT_TRUE(p.IsLookupField());
    ASSERT_NE(p.List->DataSource(), nullptr);
    EXPECT_EQ(p.List->DataSource()->DataSet(), coaches.Set.get());
    EXPECT_EQ(p.KeyFieldNames(), "CoachId");
    EXPECT_EQ(p.ListFieldNames(), "Name") << "the result field replaced the list columns";
    EXPECT_EQ(p.GetListFieldIndex(), 0);
    EXPECT_EQ(p.GetDisplayTextByKey(Variant(14)), "赵丽");
    EXPECT_EQ(p.UsesDisplayFormatting(true), 2u);
    EXPECT_EQ(p.UsesDisplayFormatting(false), 1u);

    for (auto set : std::vector<std::function<void()>>{[&] { p.SetKeyFieldNames("Name"); },
                                                        [&] { p.SetListFieldIndex(1); }})
        EXPECT_EQ(RaisedDatabaseError(set), "Property already defined by lookup field");
    EXPECT_EQ(p.KeyFieldNames(), "CoachId");

    // Other list columns keep a column for the result field, first.
    p.SetListFieldNames("CoachId;Team");
    EXPECT_EQ(p.ListFieldNames(), "Name;CoachId;Team");
    EXPECT_EQ(p.GetListFieldIndex(), 0);

    // The field no longer a lookup field: the list is free again.
    p.SetEditingField(lessons.Set.FieldByName("CoachId"));
    p.Changed();
    EXPECT_FALSE(p.IsLookupField());
    EXPECT_EQ(p.List->DataSource(), nullptr) << "the lookup's own source went with the binding";
    p.SetKeyFieldNames("Name");
    EXPECT_EQ(p.KeyFieldNames(), "Name");
}

TEST(DBLookupEditPropertiesTest, AListOverTheEditedDataSetIsRefused)
{
    TCoachesData coaches;
    TLessonsData lessons(coaches.Set.get());
    TDataSource lessonSource;
    lessonSource.SetDataSet(&lessons.Set);
    TTestDBLookupProperties p;
    p.SetListFieldNames("LessonId");
    p.SetKeyFieldNames("LessonId");
    p.SetEditingField(lessons.Set.FieldByName("CoachId"));
    p.SetListSource(&coaches.Source);   // another data set: fine
    EXPECT_EQ(RaisedDatabaseError([&] { p.SetListSource(&lessonSource); }), "Circular datalinks are not allowed");
    EXPECT_EQ(RaisedDatabaseError([&] { cxDBLookupEdit::CheckCircularDataLinks(p.GetEditingField(), &lessonSource); }),
              "Circular datalinks are not allowed");
    EXPECT_EQ(RaisedDatabaseError([&] { cxDBLookupEdit::CheckCircularDataLinks(nullptr, &lessonSource); }), "nothing raised");
}

TEST(DBLookupEditPropertiesTest, GridModeLocatesEachKeyOnceUntilTheNextChange)
{
    TCoachesData coaches;
    TTestDBLookupProperties p;
    p.SetListFieldNames("Name");
    p.SetKeyFieldNames("CoachId");
    p.SetListSource(&coaches.Source);
    p.SetGridMode(true);
    ASSERT_TRUE(p.GridMode());
    EXPECT_TRUE(p.List->IsGridMode());
    EXPECT_FALSE(p.GetIncrementalFiltering());

    EXPECT_EQ(p.GetDisplayTextByKey(Variant(12)), "李秀英");
    EXPECT_EQ(p.GetDisplayTextByKey(Variant(77)), "");
    Rename(coaches, 12, "李秀兰");
    ASSERT_TRUE(coaches.Set->Locate("CoachId", Variant(14), {}));
    coaches.Set->Edit();
    coaches.Set->FieldByName("CoachId")->SetAsInteger(77);
    coaches.Set->Post();
    // The answers are the cached ones: neither key was looked for again.
    EXPECT_EQ(p.GetDisplayTextByKey(Variant(12)), "李秀英");
    EXPECT_EQ(p.GetDisplayTextByKey(Variant(77)), "");
    EXPECT_EQ(p.GetDisplayTextByKey(Variant("not a number")), "") << "a key that cannot be located";
    p.Changed();
    EXPECT_EQ(p.GetDisplayTextByKey(Variant(12)), "李秀兰");
    EXPECT_EQ(p.GetDisplayTextByKey(Variant(77)), "赵丽");

    // Text searches go to the data set, without regard to case, whole or as a prefix.
    int index = p.GetListIndex();
    EXPECT_NE(p.FindByText(index, "王志强", false), -1);
    EXPECT_EQ(coaches.Set->FieldByName("CoachId")->AsInteger(), 13);
    EXPECT_NE(p.FindByText(index, "赵", true), -1);
    EXPECT_EQ(coaches.Set->FieldByName("CoachId")->AsInteger(), 77);
    EXPECT_EQ(p.FindByText(index, "赵", false), -1);

    p.SetGridMode(false);
    EXPECT_FALSE(p.List->IsGridMode());
    EXPECT_TRUE(p.GetIncrementalFiltering());
}

class DBLookupEditTest : public TEditOnForm<TTestDBLookupEdit> {
protected:
    void SetUp() override
    {
        TEditOnForm::SetUp();
        P = Edit->Props();
        P->SetListFieldNames("Name");
        P->SetKeyFieldNames("CoachId");
        P->SetListSource(&Data.Source);
        Edit->SetFocus();
        GuiTest::ProcessEvents();
    }
    TCoachesData Data;
    TTestDBLookupProperties* P = nullptr;
};

TEST_F(DBLookupEditTest, ShowsTheNameAndStoresTheId)
{
    Edit->SetEditValue(Variant(13));
    EXPECT_EQ(Edit->GetDisplayText(), "王志强");

    Key(VK_DOWN);
    EXPECT_TRUE(cxEdit::VarEqualsExact(Edit->EditValue(), Variant(14)));
    EXPECT_EQ(Edit->GetDisplayText(), "赵丽");

    Edit->SelectAll();
    GuiTest::TypeText("李");
    Key(VK_RETURN);
    EXPECT_EQ(Edit->GetDisplayText(), "李秀英");
    ASSERT_TRUE(Edit->ValidateEdit(false));
    EXPECT_TRUE(cxEdit::VarEqualsExact(Edit->EditValue(), Variant(12)));

    // A key that cannot be located leaves the list where it was.
    int focused = P->List->GetFocusedRecordIndex();
    Edit->ILookupData()->SelectItemByKey(Variant("no number"));
    EXPECT_EQ(P->List->GetFocusedRecordIndex(), focused);
}

TEST_F(DBLookupEditTest, OnlyCharactersTheListFieldTakesAreTyped)
{
    P->SetListFieldNames("CoachId");
    P->SetKeyFieldNames("CoachId");
    EXPECT_TRUE(Edit->IsValidChar(U'1'));
    EXPECT_FALSE(Edit->IsValidChar(U'x'));
    EXPECT_FALSE(Edit->IsValidChar(U'张'));
    P->SetListFieldNames("Name");
    EXPECT_TRUE(Edit->IsValidChar(U'张'));
}
