#include "DateUtils.h"
#include "TestController.h"

#include <gtest/gtest.h>

using V = Variant;

namespace {

std::unique_ptr<TTestController> Values(const std::vector<Variant>& values, TcxValueTypeClass type)
{
    auto c = MakeController();
    c->AddColumn("G", TcxStringValueType::Class());
    c->AddColumn("N", type);
    std::vector<std::vector<Variant>> rows;
    for (const auto& v : values) rows.push_back({V("g"), v});
    c->AddRows(rows);
    return c;
}

}  // namespace

TEST(Summary, FooterAccumulation)
{
    struct Case {
        std::vector<Variant> values;
        TcxSummaryKind kind;
        bool nullIgnore;
        Variant expected;
    } cases[] = {
        {{V(2), Null(), V(3)}, skSum, false, V(5)},
        {{V(2), Null(), V(3)}, skCount, false, V(3)},
        {{V(2), Null(), V(3)}, skAverage, false, V(5.0 / 3)},
        {{V(2), Null(), V(3)}, skAverage, true, V(2.5)},
        {{Null(), V(4), V(2)}, skMin, false, V(2)},
        {{Null(), V(4), V(2)}, skMax, false, V(4)},
        {{Null(), Null()}, skCount, false, V(2)},
        {{Null(), Null()}, skCount, true, V(0)},
        {{}, skSum, false, Null()},
        {{}, skCount, false, V(0)},
    };
    for (const auto& k : cases) {
        auto c = Values(k.values, TcxIntegerValueType::Class());
        c->BeginUpdate();
        if (k.nullIgnore) c->Summary()->SetOptions(TcxSummaryOptions{soNullIgnore});
        c->Summary()->FooterSummaryItems()->Add(c->GetItem(1), spFooter, k.kind);
        c->EndUpdate();
        Variant v = c->Summary()->GetFooterSummaryValue(0);
        if (k.expected.IsNull()) EXPECT_TRUE(v.IsNull()) << int(k.kind);
        else EXPECT_NEAR(v.AsDouble(), k.expected.AsDouble(), 1e-9) << int(k.kind);
    }
}

TEST(Summary, AverageOfDatesIsADate)
{
    auto c = Values({V::FromDate(EncodeDate(2026, 1, 1)), V::FromDate(EncodeDate(2026, 1, 3))},
                    TcxDateTimeValueType::Class());
    c->Summary()->FooterSummaryItems()->Add(c->GetItem(1), spFooter, skAverage);
    Variant v = c->Summary()->GetFooterSummaryValue(0);
    EXPECT_EQ(v.VType(), varDate);
    EXPECT_EQ(v.RawDouble(), EncodeDate(2026, 1, 2));
}

TEST(Summary, TextsWithDefaultFormats)
{
    auto c = MakeController();
    c->AddColumn("G", TcxStringValueType::Class());
    c->AddColumn("N", TcxFloatValueType::Class());
    c->AddRows({{V("a"), V(10.0)}, {V("a"), V(2.5)}, {V("b"), V(1.0)}});
    c->BeginUpdate();
    c->Summary()->FooterSummaryItems()->Add(c->GetItem(1), spFooter, skSum);
    c->Summary()->DefaultGroupSummaryItems()->Add(c->GetItem(1), spGroup, skSum);
    c->Summary()->DefaultGroupSummaryItems()->Add(c->GetItem(1), spGroup, skCount);
    c->Summary()->DefaultGroupSummaryItems()->Add(c->GetItem(1), spFooter, skSum);
    c->Groups()->ChangeGroupIndex(0, 0);
    c->EndUpdate();
    EXPECT_EQ(c->Summary()->GetFooterSummaryText(0), "13.50");
    EXPECT_EQ(c->Summary()->GetGroupSummaryText(0), "(SUM=12.50, COUNT=2)");
    EXPECT_EQ(c->Summary()->GetGroupFooterSummaryText(0, 0, 2), "12.50");
    EXPECT_EQ(c->Summary()->GetGroupSummaryText(1), "(SUM=1.00, COUNT=1)");
    EXPECT_EQ(c->Summary()->GetFooterSummaryText(5), "");
    // A change of the values is summed again.
    c->SetValue(2, 1, V(2.0));
    EXPECT_EQ(c->Summary()->GetFooterSummaryText(0), "14.50");
}

TEST(Summary, SelectedRecordsWithoutSelectionAreNull)
{
    auto c = Values({V(1), V(2)}, TcxIntegerValueType::Class());
    c->SetMultiSelect(true);
    c->BeginUpdate();
    c->Summary()->SetOptions(TcxSummaryOptions{soSelectedRecords});
    c->Summary()->FooterSummaryItems()->Add(c->GetItem(1), spFooter, skSum);
    c->EndUpdate();
    EXPECT_TRUE(c->Summary()->GetFooterSummaryValue(0).IsNull());
    c->ChangeRowSelection(1, true);
    EXPECT_EQ(c->Summary()->GetFooterSummaryValue(0).AsInteger(), 2);
}

TEST(Summary, SummaryGroupsReplaceTheDefaultItems)
{
    auto c = Values({V(1), V(2)}, TcxIntegerValueType::Class());
    TcxDataSummaryGroup* g1 = c->Summary()->SummaryGroups()->Add();
    TcxDataSummaryGroup* g2 = c->Summary()->SummaryGroups()->Add();
    g1->Links()->Add(c->GetItem(0));
    g1->SummaryItems()->Add(c->GetItem(1), spGroup, skMax);
    g2->Links()->Add(c->GetItem(0));   // linking again moves the item out of the first group
    EXPECT_EQ(g1->Links()->IndexOfItemLink(c->GetItem(0)), -1);
    EXPECT_EQ(c->Summary()->SummaryGroups()->FindByItemLink(c->GetItem(0)), g2);
    g2->SummaryItems()->Add(c->GetItem(1), spGroup, skMin);
    c->Groups()->ChangeGroupIndex(0, 0);
    EXPECT_EQ(c->Summary()->GetGroupSummaryItems(0), g2->SummaryItems());
    EXPECT_EQ(c->Summary()->GetGroupSummaryText(0), "(MIN=1.00)");
}

TEST(Summary, OnSummaryCanTakeOverAStep)
{
    auto c = Values({V(1), V(2), V(3)}, TcxIntegerValueType::Class());
    c->Summary()->FooterSummaryItems()->OnSummary = [](TcxDataSummaryItems*, const TcxSummaryEventArguments& a,
                                                       TcxSummaryEventOutArguments& out) {
        if (a.SummedRecord == 1) out.Handled = true;   // skip the second record
    };
    c->Summary()->FooterSummaryItems()->Add(c->GetItem(1), spFooter, skSum);
    EXPECT_EQ(c->Summary()->GetFooterSummaryValue(0).AsInteger(), 4);
}

TEST(Summary, RemovingTheColumnUnlinksItsItems)
{
    auto c = Values({V(1)}, TcxIntegerValueType::Class());
    TcxDataSummaryItem* item = c->Summary()->FooterSummaryItems()->Add(c->GetItem(1), spFooter, skSum);
    c->RemoveItem(c->GetItem(1));
    EXPECT_EQ(item->Field(), nullptr);
    EXPECT_TRUE(c->Summary()->GetFooterSummaryValue(0).IsNull());
}
