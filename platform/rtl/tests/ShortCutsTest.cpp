#include "ShortCuts.h"

#include <gtest/gtest.h>

TEST(ShortCuts, KeyAndShiftRoundTrip)
{
    struct Case {
        uint16_t key;
        TShiftState shift;
        TShortCut expected;
    };
    const Case cases[] = {
        {40, {ssAlt}, 32808},                  // Alt+Down
        {46, {ssAlt}, 32814},                  // Alt+Delete
        {13, {ssCtrl}, 16397},                 // Ctrl+Enter
        {65, {}, 65},
        {65, {ssShift, ssCtrl, ssAlt}, 65 + 0x2000 + 0x4000 + 0x8000},
        {0x70, {ssShift}, 0x2070},             // Shift+F1
    };
    for (const Case& c : cases) {
        TShortCut sc = ShortCut(c.key, c.shift);
        EXPECT_EQ(sc, c.expected) << c.key;
        uint16_t key = 0xFFFF;
        TShiftState shift{ssLeft};
        ShortCutToKey(sc, key, shift);
        EXPECT_EQ(key, c.key);
        EXPECT_TRUE(shift == c.shift) << c.key;
    }
}

TEST(ShortCuts, MouseButtonsAndWideKeysAreNotPartOfAShortcut)
{
    EXPECT_EQ(ShortCut(40, {ssAlt, ssLeft, ssRight, ssMiddle, ssDouble}), 32808);
    EXPECT_EQ(ShortCut(0x100, {}), scNone);
    EXPECT_EQ(ShortCut(0xFFFF, {ssCtrl}), scNone);
    uint16_t key = 1;
    TShiftState shift{ssShift};
    ShortCutToKey(scNone, key, shift);
    EXPECT_EQ(key, 0);
    EXPECT_TRUE(shift.Empty());
}
