// Stored layouts read back through the interceptors: the column order by
// field name, a column width under auto-fit, a form's placement rescaled
// to the screen, and the registry itself.
#include "DBGridEhStorage.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"
#include "TypInfo.h"
#include "Variants.h"

#include <gtest/gtest.h>

namespace {

using namespace DBGridTest;

class GridStorage : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ds = FiveStudents();
        Host = std::make_unique<TGridHost>(Ds.get(), 600, 200);
        G = Host->Grid;
        // Stored columns over Id, Name and Fee.
        G->Columns()->Clear();
        for (const char* f : {"Id", "Name", "Fee"}) G->Columns()->Add()->SetFieldName(f);
        GuiTest::ProcessEvents();
    }
    std::string Order() const
    {
        std::string s;
        for (int i = 0; i < G->Columns()->Count(); ++i) s += (i ? "," : "") + G->Columns()->Items(i)->FieldName();
        return s;
    }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* G = nullptr;
};

TEST_F(GridStorage, ColumnsIndexReadsAndRestoresTheOrder)
{
    auto interceptor = DBGridEhStorage::CreateReadInterceptor(G->Columns());
    ASSERT_NE(interceptor, nullptr);
    ASSERT_TRUE(interceptor->Is<TColumnsEhPropertyInterceptor>());
    EXPECT_EQ(GetStrProp(interceptor.get(), "ColumnsIndex"), "\"Id\",\"Name\",\"Fee\"");
    struct TCase {
        const char* Stored;
        const char* Order;
    } cases[] = {
        {"\"Fee\",\"Id\",\"Name\"", "Fee,Id,Name"},
        {"\"Name\",\"Fee\"", "Name,Fee,Id"},                   // the unnamed column keeps its place after them
        {"\"Gone\",\"Id\"", "Name,Id,Fee"},                    // a name without a column leaves its position
        {"\"Fee\",\"Fee\",\"Id\"", "Name,Fee,Id"},             // named twice: the later position wins
        {"Id,Name,Fee", "Id,Name,Fee"},                        // quotes are optional in comma text
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Stored);
        SetStrProp(interceptor.get(), "ColumnsIndex", c.Stored);
        EXPECT_EQ(Order(), c.Order);
    }
    TDBGridColumnsEh none(nullptr);
    EXPECT_EQ(GetStrProp(DBGridEhStorage::CreateReadInterceptor(&none).get(), "ColumnsIndex"), "");
}

TEST_F(GridStorage, AStoredColumnWidthGoesToTheBaseWidthUnderAutoFit)
{
    TColumnEh* c = G->Columns()->Items(1);
    auto interceptor = DBGridEhStorage::CreateReadInterceptor(c);
    ASSERT_NE(interceptor, nullptr);
    SetOrdProp(interceptor.get(), "Width", 123);
    EXPECT_EQ(c->Width(), 123);
    G->SetAutoFitColWidths(true);
    GuiTest::ProcessEvents();
    int shown = c->Width();
    SetOrdProp(interceptor.get(), "Width", 77);
    EXPECT_EQ(c->BaseWidth(), 77);
    EXPECT_EQ(c->Width(), shown) << "the width on screen stays the grid's to fit";
}

TEST(GridStorageForm, APlacementIsRescaledToTheScreen)
{
    GuiTest::Init();
    TForm form(nullptr);
    form.SetPosition(poScreenCenter);
    form.SetBounds(10, 20, 300, 200);
    auto interceptor = DBGridEhStorage::CreateReadInterceptor(&form);
    ASSERT_NE(interceptor, nullptr);
    auto* fi = DynamicCast<TFormStoragePropertyInterceptor>(interceptor.get());
    ASSERT_NE(fi, nullptr);
    EXPECT_EQ(fi->Width(), 300) << "it starts from the form's own placement";
    // Stored on a 120 dpi screen, read on this one (96 dpi): times 0.8.
    SetOrdProp(fi, "PixelsPerInch", 120);
    SetOrdProp(fi, "Left", 100);
    SetOrdProp(fi, "Top", 50);
    SetOrdProp(fi, "Width", 500);
    SetOrdProp(fi, "Height", 251);
    fi->AfterRead();
    EXPECT_EQ(form.Left(), 80);
    EXPECT_EQ(form.Top(), 40);
    EXPECT_EQ(form.Width(), 400);
    EXPECT_EQ(form.Height(), 201) << "rounded to the nearest";
    EXPECT_EQ(form.Position(), poDesigned) << "the form stays where it was put";
    // Without a position read the centring stays.
    form.SetPosition(poScreenCenter);
    auto sizeOnly = DBGridEhStorage::CreateReadInterceptor(&form);
    SetOrdProp(sizeOnly.get(), "Width", 320);
    static_cast<TFormStoragePropertyInterceptor*>(sizeOnly.get())->AfterRead();
    EXPECT_EQ(form.Width(), 320);
    EXPECT_EQ(form.Position(), poScreenCenter);
}

TEST(GridStorageRegistry, ALaterRegistrationReplacesTheEarlierOne)
{
    TClass target = TDBGridEhSelection::StaticClass();
    EXPECT_EQ(DBGridEhStorage::ReadInterceptorClass(target), nullptr);
    DBGridEhStorage::AddReadInterceptor(target, TColumnEhPropertyInterceptor::StaticClass());
    DBGridEhStorage::AddReadInterceptor(target, TColumnsEhPropertyInterceptor::StaticClass());
    EXPECT_EQ(DBGridEhStorage::ReadInterceptorClass(target), TColumnsEhPropertyInterceptor::StaticClass());
    DBGridEhStorage::RemoveReadInterceptor(target, TColumnEhPropertyInterceptor::StaticClass());
    EXPECT_EQ(DBGridEhStorage::ReadInterceptorClass(target), TColumnsEhPropertyInterceptor::StaticClass())
        << "only the pair named goes";
    DBGridEhStorage::RemoveReadInterceptor(target, TColumnsEhPropertyInterceptor::StaticClass());
    EXPECT_EQ(DBGridEhStorage::ReadInterceptorClass(target), nullptr);
    // The grid's own registrations are there from the start.
    EXPECT_EQ(DBGridEhStorage::ReadInterceptorClass(TCustomForm::StaticClass()),
              TFormStoragePropertyInterceptor::StaticClass());
    EXPECT_EQ(DBGridEhStorage::ReadInterceptorClass(TColumnEh::StaticClass()),
              TColumnEhPropertyInterceptor::StaticClass());
}

TEST(GridStorageText, VariantListText)
{
    EXPECT_EQ(DBGridEhStorage::VariantListText(Variant(5)), "5");
    EXPECT_EQ(DBGridEhStorage::VariantListText(VarArrayOf({Variant("A"), Variant(2), Variant("")})), "'A','2',''");
}

} // namespace

namespace {

using namespace DBGridTest;

// The columns a grid keeps as its own are stored with the grid and read
// back into another: assigned properties come back assigned, the others
// keep following the field.
TEST_F(GridStorage, TheGridStoresItsOwnColumnsAndOnlyTheirAssignedProperties)
{
    TColumnEh* name = G->Columns()->Items(1);
    name->SetWidth(140);
    name->Title()->SetCaption("姓名|全名");
    name->Title()->SetTitleButton(true);
    name->Title()->SetSortMarker(smUpEh);
    TStringList picks;
    picks.Add("张三");
    picks.Add("李四");
    name->SetPickList(&picks);
    TColumnEh* fee = G->Columns()->Items(2);
    fee->SetAlignment(taCenter);
    fee->Footer()->SetValueType(fvtSum);
    fee->Footers()->Add()->SetValueType(fvtCount);
    fee->SetToolTips(true);
    fee->SetButtonStyle(TColumnButtonStyleEh::cbsUpDown);
    fee->SetAlwaysShowEditButton(true);
    fee->SetDropDownRows(4);
    TEditButtonEh* extra = fee->EditButtons()->Add();
    extra->SetStyle(ebsPlusEh);
    extra->SetWidth(21);
    G->Columns()->Items(0)->SetVisible(false);

    TMemoryStream stream;
    stream.WriteComponent(G);
    std::string bytes(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
    EXPECT_NE(bytes.find("Columns"), std::string::npos);
    EXPECT_EQ(bytes.find("DisplayFormat"), std::string::npos) << "empty texts are not stored";

    TGridHost other(Ds.get(), 600, 200);
    ASSERT_EQ(other.Grid->Columns()->ColumnsState(), cssDefault);
    stream.SetPosition(0);
    stream.ReadComponent(other.Grid);
    GuiTest::ProcessEvents();
    TDBGridColumnsEh* cols = other.Grid->Columns();
    ASSERT_EQ(cols->Count(), 3);
    EXPECT_EQ(cols->ColumnsState(), cssCustomized);
    EXPECT_FALSE(cols->Items(0)->Visible());
    TColumnEh* name2 = cols->Items(1);
    EXPECT_EQ(name2->FieldName(), "Name");
    EXPECT_EQ(name2->Width(), 140);
    EXPECT_EQ(name2->Title()->Caption(), "姓名|全名");
    EXPECT_TRUE(name2->Title()->TitleButton());
    EXPECT_EQ(name2->Title()->SortMarker(), smUpEh);
    ASSERT_EQ(name2->PickList()->Count(), 2);
    EXPECT_EQ(name2->PickList()->Strings(1), "李四");
    TColumnEh* fee2 = cols->Items(2);
    EXPECT_EQ(fee2->Alignment(), taCenter);
    EXPECT_TRUE(fee2->ToolTips());
    EXPECT_FALSE(name2->AssignedValues().Contains(cvToolTips));
    EXPECT_EQ(fee2->Footer()->ValueType(), fvtSum);
    ASSERT_EQ(fee2->Footers()->Count(), 1);
    EXPECT_EQ(fee2->Footers()->Items(0)->ValueType(), fvtCount);
    // The editing settings travel too.
    EXPECT_EQ(fee2->ButtonStyle(), TColumnButtonStyleEh::cbsUpDown);
    EXPECT_EQ(name2->ButtonStyle(), TColumnButtonStyleEh::cbsAuto);
    EXPECT_TRUE(fee2->AlwaysShowEditButton());
    EXPECT_FALSE(name2->AssignedValues().Contains(cvAlwaysShowEditButton));
    EXPECT_EQ(fee2->DropDownRows(), 4);
    EXPECT_EQ(name2->DropDownRows(), 7);
    ASSERT_EQ(fee2->EditButtons()->Count(), 1);
    EXPECT_EQ(fee2->EditButtons()->Items(0)->Style(), ebsPlusEh);
    EXPECT_EQ(fee2->EditButtons()->Items(0)->Width(), 21);
    EXPECT_EQ(name2->EditButtons()->Count(), 0);
    // What was not assigned is not stored: it follows the field.
    EXPECT_FALSE(fee2->AssignedValues().Contains(cvWidth));
    EXPECT_FALSE(fee2->AssignedValues().Contains(cvTitleCaption));
    Ds->FieldByName("Fee")->SetDisplayLabel("学费");
    EXPECT_EQ(fee2->Title()->Caption(), "学费");
}

TEST_F(GridStorage, ColumnsBuiltFromTheFieldsAreNotStored)
{
    TGridHost plain(Ds.get(), 600, 200);
    ASSERT_EQ(plain.Grid->Columns()->ColumnsState(), cssDefault);
    TMemoryStream stream;
    stream.WriteComponent(plain.Grid);
    std::string bytes(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
    EXPECT_EQ(bytes.find("Columns"), std::string::npos);
}

} // namespace

namespace {

using namespace DBGridTest;

TEST_F(GridStorage, ScalingRoundsTheColumnsAsAWhole)
{
    struct TCase {
        std::vector<int> Widths;
        int M, D;
        std::vector<int> Expect;
    } cases[] = {
        {{10, 10, 10}, 3, 2, {15, 15, 15}},
        {{5, 5, 5}, 3, 2, {8, 7, 8}},      // 7.5, 15, 22.5: the sums rounded, not each width
        {{50, 41, 33}, 96, 120, {40, 33, 26}},
    };
    for (const TCase& c : cases) {
        for (size_t i = 0; i < c.Widths.size(); ++i) G->Columns()->Items(int(i))->SetWidth(c.Widths[i]);
        G->ChangeScale(c.M, c.D);
        for (size_t i = 0; i < c.Expect.size(); ++i) EXPECT_EQ(G->Columns()->Items(int(i))->Width(), c.Expect[i]) << i;
    }
    // Fonts: the titles take the grid font's size scaled; assigned column fonts scale.
    G->SetParentFont(false);
    G->Font()->SetSize(10);
    TFont big;
    big.SetSize(12);
    G->Columns()->Items(1)->SetFont(&big);
    int width = G->Width();
    G->ChangeScale(120, 96);
    EXPECT_EQ(G->TitleFont()->Size(), 13);
    EXPECT_EQ(G->Font()->Size(), 13);
    EXPECT_EQ(G->Columns()->Items(1)->Font()->Size(), 15);
    EXPECT_EQ(G->Width(), MulDiv(width, 120, 96));
}

} // namespace
