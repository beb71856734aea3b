#include "cxDBLookupComboBox.h"

#include "EditOnForm.h"
#include "LookupTestData.h"
#include "SysUtils.h"
#include "cxEditDBRegisteredRepositoryItems.h"

#include <memory>
#include <string>

namespace {

class LookupComboBoxTest : public TEditOnForm<TcxLookupComboBox> {
protected:
    void SetUp() override
    {
        TEditOnForm::SetUp();
        Form->SetBounds(100, 100, 420, 320);
        P = Edit->Properties();
        P->SetListSource(&Data.Source);
        P->SetKeyFieldNames("CoachId");
        P->SetListFieldNames("Name;Phone");
        Edit->SetBounds(10, 10, 200, 21);
        Edit->SetFocus();
        GuiTest::ProcessEvents();
    }
    TcxLookupDBGrid* Grid() const { return P->Grid(); }
    // A point inside the grid's row ARow.
    TPoint RowPoint(int ARow)
    {
        for (int y = 0; y < Grid()->ClientHeight(); ++y) {
            TcxLookupGridHitInfo h = Grid()->GetHitInfo(TPoint{20, y});
            if (h.HitKind == lghtRow && h.RowIndex == ARow) return TPoint{20, y + 2};
        }
        return TPoint{-1, -1};
    }
    TCoachesData Data;
    TcxLookupComboBoxProperties* P = nullptr;
};

}  // namespace

TEST_F(LookupComboBoxTest, ShowsTheNameAndStoresTheId)
{
    Edit->SetEditValue(Variant(13));
    EXPECT_EQ(Edit->GetDisplayText(), "王志强");
    EXPECT_EQ(P->GetListColumnCount(), 2);
    EXPECT_EQ(P->GetListFieldIndex(), 0);

    // Open, the list shows every coach with the current one focused.
    Key(VK_F4);
    ASSERT_TRUE(Edit->HasPopupWindow());
    EXPECT_EQ(Grid()->Parent(), Edit->PopupWindow());
    EXPECT_TRUE(Grid()->Visible());
    EXPECT_EQ(Grid()->GetRowCount(), 5);
    EXPECT_EQ(Grid()->GetFocusedRowIndex(), 2);

    // A click on a row chooses its coach: the edit shows the name and holds the id.
    TPoint p = RowPoint(4);
    ASSERT_NE(p.Y, -1);
    GuiTest::Click(Grid(), p);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Edit->HasPopupWindow());
    EXPECT_EQ(Edit->GetDisplayText(), "孙红梅");
    EXPECT_TRUE(cxEdit::VarEqualsExact(Edit->EditValue(), Variant(15)));

    // Typing filters the open list, which shrinks to the rows that pass;
    // Enter takes the record typed.
    EXPECT_TRUE(Edit->Focused()) << "the click left the focus in the edit";
    Key(VK_F4);
    EXPECT_EQ(Grid()->ClientHeight(), P->GetListHeight(5));
    Edit->SelectAll();
    GuiTest::TypeText("李");
    ASSERT_TRUE(Edit->HasPopupWindow());
    EXPECT_EQ(Grid()->GetRowCount(), 1);
    GuiTest::ProcessEvents();
    EXPECT_EQ(Grid()->ClientHeight(), P->GetListHeight(1));
    Key(VK_RETURN);
    EXPECT_EQ(Edit->GetDisplayText(), "李秀英");
    ASSERT_TRUE(Edit->ValidateEdit(false));
    EXPECT_TRUE(cxEdit::VarEqualsExact(Edit->EditValue(), Variant(12)));
    EXPECT_EQ(Grid()->GetRowCount(), 5) << "closing takes the filter away";
}

TEST_F(LookupComboBoxTest, TheOpenListInChinese)
{
    P->SetDropDownAutoSize(true);
    Edit->SetEditValue(Variant(12));
    Key(VK_F4);
    ASSERT_TRUE(Edit->HasPopupWindow());
    Key(VK_DOWN);
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Edit->PopupWindow()));
    ASSERT_TRUE(shot);
    EXPECT_GE(Grid()->Width(), P->GetListPreferredWidth()) << "sized to its columns, every column shows whole";
    EXPECT_EQ(Grid()->GetRowCount(), 5);
    EXPECT_EQ(Grid()->ClientHeight(), P->GetListHeight(5)) << "as high as its five rows";
    EXPECT_TRUE(GuiTest::SavePng(Edit->PopupWindow(), std::string(QZ_BINARY_DIR) + "/editors_lookup_combo_list.png"));
    EXPECT_TRUE(GuiTest::SavePng(Form, std::string(QZ_BINARY_DIR) + "/editors_lookup_combo.png"));
    Key(VK_ESCAPE);
    EXPECT_TRUE(cxEdit::VarEqualsExact(Edit->EditValue(), Variant(13))) << "the keys choose as they move";
}

TEST(LookupComboBoxPropertiesTest, TheListSourceIsCheckedAgainstTheEditedField)
{
    TCoachesData coaches;
    TLessonsData lessons(coaches.Set.get());
    TcxCustomDBEditDefaultValuesProvider provider;
    TcxLookupComboBoxProperties p;
    p.SetDefaultValuesProvider(&provider);

    // A list over the data set the edit writes to.
    provider.SetField(lessons.Set.FieldByName("CoachId"));
    EXPECT_EQ(RaisedDatabaseError([&] { p.SetListSource(&lessons.Source); }), "Circular datalinks are not allowed");
    EXPECT_EQ(p.ListSource(), nullptr);
    EXPECT_EQ(RaisedDatabaseError([&] { p.SetListSource(&coaches.Source); }), "nothing raised");
    EXPECT_EQ(p.ListSource(), &coaches.Source);

    // A lookup field defines the list itself.
    provider.SetField(lessons.CoachName);
    p.Changed();
    EXPECT_EQ(p.ListSource(), nullptr);
    ASSERT_NE(p.Grid()->DataSource(), nullptr);
    EXPECT_EQ(p.Grid()->DataSource()->DataSet(), coaches.Set.get());
    EXPECT_EQ(p.ListFieldNames(), "Name");
    EXPECT_EQ(p.GetDisplayTextByKey(Variant(14)), "赵丽");
    EXPECT_EQ(RaisedDatabaseError([&] { p.SetListSource(&coaches.Source); }), "Property already defined by lookup field");
    p.SetDefaultValuesProvider(nullptr);
}

TEST(LookupComboBoxPropertiesTest, ColumnsAssignAndTheDefaultListWidth)
{
    TCoachesData coaches;
    TcxLookupComboBoxProperties p;
    p.SetListSource(&coaches.Source);
    p.SetKeyFieldNames("CoachId");
    p.SetListFieldNames("Name;Phone");
    p.ListColumns()->Items(0)->SetWidth(90);
    p.ListColumns()->Items(1)->SetWidth(110);
    EXPECT_EQ(p.GetListPreferredWidth(), 200);
    EXPECT_EQ(p.FindListColumnByFieldName("phone"), 1);
    p.AddListColumnForField("CoachId");
    EXPECT_EQ(p.ListFieldNames(), "CoachId;Name;Phone") << "a column for a field goes first";
    p.AddListColumnForField("name");
    EXPECT_EQ(p.GetListColumnCount(), 3) << "a field has one column";

    int changes = 0;
    p.OnPropertiesChanged = [&](TObject*) { ++changes; };
    p.ListOptions()->SetShowHeader(false);
    EXPECT_GT(changes, 0) << "the list's options are the properties'";

    TcxLookupComboBoxProperties q;
    p.SetListFieldIndex(1);
    p.SetGridMode(true);
    q.Assign(&p);
    EXPECT_EQ(q.ListSource(), &coaches.Source);
    EXPECT_EQ(q.KeyFieldNames(), "CoachId");
    EXPECT_EQ(q.ListFieldNames(), "CoachId;Name;Phone");
    EXPECT_EQ(q.GetListFieldIndex(), 1);
    EXPECT_TRUE(q.GridMode());
    EXPECT_FALSE(q.ListOptions()->ShowHeader());
    EXPECT_EQ(q.GetDisplayTextByKey(Variant(11)), "张建国");
}

TEST(LookupComboBoxPropertiesTest, LookupFieldsGetTheLookupComboBoxFromTheRegistry)
{
    cxDBLookupComboBox::Initialize();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    int index = r->IndexOfClass(TcxLookupComboBoxProperties::StaticClass());
    ASSERT_GE(index, 0);
    EXPECT_EQ(r->GetDescription(index), "LookupComboBox|Represents a lookup combo box control");

    cxEditDBRegisteredRepositoryItems::Initialize();
    TCoachesData coaches;
    TLessonsData lessons(coaches.Set.get());
    auto* item = dynamic_cast<TcxEditRepositoryLookupComboBoxItem*>(
        cxEditDBRegisteredRepositoryItems::GetDefaultEditDBRepositoryItems()->GetItemByField(lessons.CoachName));
    ASSERT_NE(item, nullptr);
    TcxLookupComboBoxProperties* p = item->Properties();
    EXPECT_EQ(p->ListOptions()->GridLines(), glNone);
    EXPECT_FALSE(p->ListOptions()->ShowHeader());
    EXPECT_EQ(p->DropDownListStyle(), lsEditFixedList);

    cxDBLookupComboBox::Finalize();
    TcxEditDBRegisteredRepositoryItems* fields = cxEditDBRegisteredRepositoryItems::GetDefaultEditDBRepositoryItems();
    EXPECT_EQ(fields->GetItemByField(lessons.CoachName), fields->GetDefaultItem());
    TcxEditRepository* repository = cxEdit::GetDefaultEditRepository();
    for (int i = 0; i < repository->Count(); ++i)
        EXPECT_EQ(dynamic_cast<TcxEditRepositoryLookupComboBoxItem*>(repository->Items(i)), nullptr);
    cxEditDBRegisteredRepositoryItems::Finalize();
}
