// Footer sums kept by the sum producer while the data set is edited, and
// the text footer cells show.
#include "DBGridEh.h"
#include "DBGridTesting.h"
#include "DBSumLst.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace DBGridTest;
const double NaN = std::nan("");

class SumProducer : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ds = MakeStudents({{1, "甲", true, 10}, {2, "乙", false, NaN}, {3, "丙", true, 4}, {4, "丁", true, 2}});
        P = std::make_unique<TDBSumListProducer>();
        Sum = P->SumCollection()->Add();
        Sum->SetFieldName("Fee");
        Avg = P->SumCollection()->Add();
        Avg->SetGroupOperation(goAvg);
        Avg->SetFieldName("Fee");
        All = P->SumCollection()->Add();
        All->SetGroupOperation(goCount);
        Fees = P->SumCollection()->Add();
        Fees->SetGroupOperation(goCount);
        Fees->SetFieldName("Fee");
        P->SetDataSet(Ds.get());
    }
    double V(TDBSum* s) const { return s->AggregateValue.ToDouble(); }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TDBSumListProducer> P;
    TDBSum *Sum, *Avg, *All, *Fees;
};

TEST_F(SumProducer, FullPassAndEdits)
{
    EXPECT_EQ(V(Sum), 16);
    EXPECT_EQ(V(Avg), 5.3333) << "kept to four decimals";
    EXPECT_EQ(V(All), 4);
    EXPECT_EQ(V(Fees), 3) << "a count over a field skips Nulls";
    Ds->Locate("Id", 1, {});
    Ds->Edit();
    Ds->FieldByName("Fee")->SetAsFloat(15);
    Ds->Post();
    EXPECT_EQ(V(Sum), 21);
    Ds->Edit();
    Ds->FieldByName("Fee")->Clear();
    Ds->Post();
    EXPECT_EQ(V(Sum), 6);
    EXPECT_EQ(V(Fees), 2);
    EXPECT_EQ(V(Avg), 3) << "average of 4 and 2";
    Ds->Locate("Id", 2, {});
    Ds->Edit();
    Ds->FieldByName("Fee")->SetAsFloat(6);
    Ds->Post();
    EXPECT_EQ(V(Avg), 4);
    Ds->Append();
    Ds->FieldByName("Id")->SetAsInteger(9);
    Ds->FieldByName("Fee")->SetAsFloat(100);
    Ds->Post();
    EXPECT_EQ(V(Sum), 112);
    EXPECT_EQ(V(All), 5);
    Ds->Delete();
    EXPECT_EQ(V(Sum), 12);
    EXPECT_EQ(V(All), 4);
    Ds->Locate("Id", 1, {});   // Fee is Null here
    Ds->Delete();
    EXPECT_EQ(V(Fees), 3) << "deleting a Null leaves a field count alone";
    EXPECT_EQ(V(All), 3);
}

TEST_F(SumProducer, RefusedDeleteKeepsTheSums)
{
    P->SetDataSet(nullptr);
    Ds->BeforeDelete = [](TDataSet*) { throw Exception("不能删除"); };
    P->SetDataSet(Ds.get());   // the producer chains the handler that refuses
    Ds->Locate("Id", 3, {});
    EXPECT_THROW(Ds->Delete(), Exception);
    EXPECT_EQ(V(Sum), 16);
    EXPECT_EQ(V(All), 4);
    EXPECT_EQ(Ds->RecordCount(), 4);
}

TEST_F(SumProducer, RecalculationKeepsTheRecordAndChainsHandlers)
{
    int scrolled = 0;
    P->SetActive(false);
    Ds->AfterScroll = [&](TDataSet*) { ++scrolled; };
    P->SetActive(true);
    Ds->Locate("Id", 3, {});
    int before = scrolled;
    ASSERT_GT(before, 0) << "the data set's own handler still runs";
    P->RecalculateAll();
    EXPECT_EQ(Ds->FieldByName("Id")->AsInteger(), 3);
    // A filter change recalculates on the next scroll; a plain scroll does not.
    int passes = 0;
    P->OnRecalcAll = [&](TObject*) { ++passes; };
    Ds->Next();
    EXPECT_EQ(passes, 0);
    Ds->SetFilter("Id > 1");
    Ds->SetFiltered(true);
    Ds->First();
    EXPECT_GE(passes, 1);
    EXPECT_EQ(V(All), 3);
    P->SetActive(false);
    EXPECT_TRUE(bool(Ds->AfterScroll)) << "stopping gives the handlers back";
    EXPECT_EQ(V(All), 0);
}

TEST_F(SumProducer, FailedPassGivesTheControlsBack)
{
    TDBSum* bad = P->SumCollection()->Add();
    bad->SetGroupOperation(goSum);
    EXPECT_THROW(bad->SetFieldName("没有这个字段"), EDatabaseError);
    EXPECT_FALSE(Ds->ControlsDisabled());
}

TEST_F(SumProducer, ExternalRecalcLeavesTheValuesToTheHandler)
{
    int recalc = 0, after = 0;
    P->OnRecalcAll = [&](TObject*) {
        ++recalc;
        Sum->AggregateValue = Currency::FromInt(7);
    };
    P->OnAfterRecalcAll = [&](TObject*) { ++after; };
    P->SetExternalRecalc(true);
    EXPECT_EQ(recalc, 1);
    EXPECT_EQ(after, 0);
    EXPECT_EQ(V(Sum), 7);
}

TEST(Footers, TextsAndSumItems)
{
    auto ds = FiveStudents();
    TGridHost host(ds.get());
    TDBGridEh* g = host.Grid;
    g->SetFooterRowCount(1);
    g->SumList()->SetActive(true);
    TColumnEh* id = g->Columns()->Items(0);
    TColumnEh* name = g->Columns()->Items(1);
    TColumnEh* fee = g->Columns()->Items(5);
    fee->Footer()->SetValueType(fvtSum);
    EXPECT_EQ(g->FooterValueText(fee, 0), "4450.5");
    fee->Footer()->SetDisplayFormat("#,##0.00");
    EXPECT_EQ(g->FooterValueText(fee, 0), "4,450.50");
    id->Footer()->SetValueType(fvtAvg);
    EXPECT_EQ(g->FooterValueText(id, 0), "3") << "an average over integers shows an integer";
    name->Footer()->SetValueType(fvtCount);
    EXPECT_EQ(g->FooterValueText(name, 0), "5");
    int items = g->SumList()->SumCollection()->Count();
    name->Footer()->SetValueType(fvtStaticText);
    name->Footer()->SetValue("合计");
    EXPECT_EQ(g->SumList()->SumCollection()->Count(), items - 1);
    EXPECT_EQ(g->FooterValueText(name, 0), "合计");
    // The field's value of the current record; a name the set lacks shows nothing.
    TColumnFooterEh* f = id->Footers()->Add();
    f->SetValueType(fvtFieldValue);
    f->SetFieldName("Name");
    EXPECT_EQ(id->FooterForRow(0), f);
    EXPECT_EQ(id->FooterForRow(1), id->Footer());
    ds->Locate("Id", 2, {});
    EXPECT_EQ(g->FooterValueText(id, 0), "李华");
    f->SetFieldName("缺少的字段");
    EXPECT_EQ(g->FooterValueText(id, 0), "");
    TBitmap* shot = GuiTest::Grab(g);   // painting the footer raises nothing
    delete shot;
    // Sums follow an edit through the grid's data set.
    ds->Locate("Id", 4, {});
    ds->Edit();
    ds->FieldByName("Fee")->SetAsFloat(49.5);
    ds->Post();
    EXPECT_EQ(g->FooterValueText(fee, 0), "4,500.00");
}

} // namespace
