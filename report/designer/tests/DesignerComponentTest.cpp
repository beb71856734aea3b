#include "frxDesgn.h"

#include "TypInfo.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

TEST(DesignerComponent, PublishesItsSettingsInOrderWithTheirDefaults)
{
    TfrxDesigner d;
    std::vector<std::string> names;
    for (PPropInfo p : GetPropList(&d)) names.push_back(p->Name);
    const std::vector<std::string> expected{"CloseQuery", "OpenDir", "SaveDir", "Restrictions",
                                            "OnLoadReport", "OnSaveReport", "OnShow"};
    ASSERT_GE(names.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(names.end() - expected.size(), names.end()), expected);

    EXPECT_TRUE(d.CloseQuery);
    EXPECT_EQ(GetSetProp(&d, "Restrictions"), "[]");
    EXPECT_TRUE(IsDefaultPropValue(&d, GetPropInfo(&d, "CloseQuery")));   // not written at its default
    SetSetProp(&d, "Restrictions", "[drDontCreateReport]");
    // The report centre's set: the new-report command withheld, value 16.
    EXPECT_EQ(d.Restrictions.ToInt(), 16u);
    EXPECT_TRUE(d.Restrictions.Contains(drDontCreateReport));
    EXPECT_EQ(GetSetProp(&d, "Restrictions"), "[drDontCreateReport]");
}

TEST(DesignerComponent, TheLatestMadeIsCurrentAndOnlyItsOwnEndClearsIt)
{
    EXPECT_EQ(frxDesgn::CurrentDesigner(), nullptr);
    auto first = std::make_unique<TfrxDesigner>();
    EXPECT_EQ(frxDesgn::CurrentDesigner(), first.get());
    auto second = std::make_unique<TfrxDesigner>();
    EXPECT_EQ(frxDesgn::CurrentDesigner(), second.get());

    // The older one going away leaves the newer one in charge (and nothing
    // dangling either way).
    first.reset();
    EXPECT_EQ(frxDesgn::CurrentDesigner(), second.get());
    second.reset();
    EXPECT_EQ(frxDesgn::CurrentDesigner(), nullptr);

    // The window stands a temporary one in and puts the saved one back.
    TfrxDesigner kept;
    {
        TfrxDesigner temporary;
        EXPECT_EQ(frxDesgn::CurrentDesigner(), &temporary);
        frxDesgn::SetCurrentDesigner(&kept);
    }
    EXPECT_EQ(frxDesgn::CurrentDesigner(), &kept);
}

TEST(DesignerComponent, OwnedByItsOwnerAndFreedWithIt)
{
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* d = new TfrxDesigner(owner.get());
    EXPECT_EQ(d->Owner(), owner.get());
    EXPECT_EQ(frxDesgn::CurrentDesigner(), d);
    owner.reset();
    EXPECT_EQ(frxDesgn::CurrentDesigner(), nullptr);
}

TEST(DesignerComponent, WithoutOneEverythingIsAllowedAndClosingAsks)
{
    const std::vector<TfrxDesignerRestriction> all{
        drDontInsertObject, drDontDeletePage, drDontCreatePage, drDontChangePageOptions,
        drDontCreateReport, drDontLoadReport, drDontSaveReport, drDontPreviewReport,
        drDontEditVariables, drDontChangeReportOptions, drDontEditReportData};
    for (TfrxDesignerRestriction r : all) EXPECT_TRUE(frxDesgn::IsAllowed(r)) << int(r);
    EXPECT_TRUE(frxDesgn::CloseQueryWanted());

    TfrxDesigner d;
    d.Restrictions = {drDontCreateReport, drDontSaveReport};
    d.CloseQuery = false;
    for (TfrxDesignerRestriction r : all)
        EXPECT_EQ(frxDesgn::IsAllowed(r), r != drDontCreateReport && r != drDontSaveReport) << int(r);
    EXPECT_FALSE(frxDesgn::CloseQueryWanted());
}

}  // namespace
