#include "script_test_util.h"

TEST(ScriptSmoke, PascalHello)
{
    auto r = RunScript("PascalScript", "var i: Integer;\nbegin\n  i := 1 + 2 * 3;\n  ShowMessage(i);\nend.");
    ASSERT_TRUE(r.Compiled) << r.Error << " at " << r.ErrorPos;
    EXPECT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "7\n");
}
