// A library's units started in order and shut down in reverse, once each,
// with a failing unit neither leaving the others half started nor stopping
// the others' shut-down.
#include "UnitSequence.h"

#include "Exceptions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::string> GLog;
std::set<std::string> GFailing;   // the steps that raise

void Step(const std::string& name)
{
    GLog.push_back(name);
    if (GFailing.count(name)) throw Exception(name + " failed");
}

TUnitSequence MakeUnits()
{
    return TUnitSequence{
        {[] { Step("a+"); }, [] { Step("a-"); }},
        {[] { Step("b+"); }, nullptr},
        {nullptr, [] { Step("c-"); }},
        {[] { Step("d+"); }, [] { Step("d-"); }},
    };
}

class UnitSequenceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GLog.clear();
        GFailing.clear();
    }
    static std::string Log()
    {
        std::string s;
        for (const std::string& e : GLog) s += (s.empty() ? "" : " ") + e;
        GLog.clear();
        return s;
    }
};

TEST_F(UnitSequenceTest, StartsInOrderAndShutsDownInReverseOnce)
{
    TUnitSequence units = MakeUnits();
    units.ShutDown();   // not started: nothing runs
    EXPECT_EQ(Log(), "");
    units.StartUp();
    units.StartUp();
    EXPECT_TRUE(units.Started());
    EXPECT_EQ(Log(), "a+ b+ d+");
    units.ShutDown();
    units.ShutDown();
    EXPECT_FALSE(units.Started());
    EXPECT_EQ(Log(), "d- c- a-");
    units.StartUp();   // a shut-down sequence starts again whole
    EXPECT_EQ(Log(), "a+ b+ d+");
}

TEST_F(UnitSequenceTest, AFailedStartUpUndoesTheUnitsBeforeItAndMayBeRetried)
{
    TUnitSequence units = MakeUnits();
    GFailing = {"d+"};
    EXPECT_THROW(units.StartUp(), Exception);
    EXPECT_FALSE(units.Started());
    EXPECT_EQ(Log(), "a+ b+ d+ c- a-");
    units.ShutDown();   // nothing is left to shut down
    EXPECT_EQ(Log(), "");

    // An error while undoing gives way to the one that stopped the start-up.
    GFailing = {"d+", "a-"};
    try {
        units.StartUp();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "d+ failed");
    }
    EXPECT_EQ(Log(), "a+ b+ d+ c- a-");

    GFailing.clear();
    units.StartUp();
    EXPECT_TRUE(units.Started());
    EXPECT_EQ(Log(), "a+ b+ d+");
}

TEST_F(UnitSequenceTest, AFailingShutDownStillShutsDownTheRestAndRaisesTheFirstError)
{
    TUnitSequence units = MakeUnits();
    units.StartUp();
    Log();
    GFailing = {"d-", "c-"};
    try {
        units.ShutDown();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "d- failed");
    }
    EXPECT_EQ(Log(), "d- c- a-");
    EXPECT_FALSE(units.Started());
    units.ShutDown();
    EXPECT_EQ(Log(), "");
}

}  // namespace
