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
