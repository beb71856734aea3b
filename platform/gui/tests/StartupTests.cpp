// Drawing and windows made before anything set the GUI up start it themselves.
#include "Controls.h"
#include "Graphics.h"

#include <gtest/gtest.h>

TEST(Startup, BitmapsAndControlsWorkWithoutAnExplicitStart)
{
    TBitmap b(20, 10);
    EXPECT_GT(b.Canvas()->TextWidth("学员"), 0);
    TCustomControl c(nullptr);
    EXPECT_NE(c.Handle(), nullptr);
}
