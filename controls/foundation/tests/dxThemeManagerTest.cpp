#include "dxThemeManager.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A theme library that knows a few classes and counts its calls.
class TFakeThemeLibrary : public TdxThemeLibrary {
public:
    std::map<std::u16string, bool> Known{{u"BUTTON", true}, {u"SCROLLBAR", true}, {u"EDIT", true}};
    std::vector<std::u16string> Opened;
    std::vector<HTHEME> Closed;
    bool Active = true;
    HTHEME Next = 100;

    HTHEME OpenThemeData(HWND, const std::u16string& classList) override
    {
        Opened.push_back(classList);
        std::u16string up;
        for (char16_t c : classList) up.push_back(c >= u'a' && c <= u'z' ? char16_t(c - 32) : c);
        return Known.count(up) ? Next++ : 0;
    }
    HRESULT CloseThemeData(HTHEME theme) override
    {
        Closed.push_back(theme);
        return dxS_OK;
    }
    BOOL IsThemeActive() override { return Active; }
};

class ThemeManagerTest : public ::testing::Test {
protected:
    void Load(int major = 5, int minor = 1)
    {
        dxUxTheme::LoadThemeLibrary(&Lib, major, minor);
        dxThemeManager::Initialize();
    }
    void TearDown() override
    {
        dxThemeManager::Finalize();
        dxUxTheme::UnloadThemeLibrary();
    }
    TFakeThemeLibrary Lib;
};

TEST_F(ThemeManagerTest, NoLibraryMeansNoThemes)
{
    dxThemeManager::Initialize();
    EXPECT_FALSE(dxUxTheme::ThemeLibraryLoaded());
    EXPECT_FALSE(dxThemeManager::AreVisualStylesAvailable());
    EXPECT_EQ(dxThemeManager::OpenTheme(themeButton), 0u);
    EXPECT_EQ(dxThemeManager::CloseTheme(themeButton), 1);
    EXPECT_EQ(dxThemeManager::EventReceiver(), nullptr);
    TRect content;
    EXPECT_NE(dxUxTheme::GetThemeBackgroundContentRect(1, nullptr, 1, 1, TRect{}, content), dxS_OK);
}

TEST_F(ThemeManagerTest, OldSystemNeverLoads)
{
    Load(5, 0);
    EXPECT_FALSE(dxUxTheme::IsOSVersionXPOrLater());
    EXPECT_FALSE(dxThemeManager::AreVisualStylesAvailable(TdxThemedObjectTypes{themeButton}));
    EXPECT_TRUE(Lib.Opened.empty());
}

TEST_F(ThemeManagerTest, OpensOncePerTypeAndComparesClassListsWithoutCase)
{
    Load();
    HTHEME h = dxThemeManager::OpenTheme(themeButton);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(dxThemeManager::OpenTheme(themeButton), h);
    std::u16string lower = u"button";
    EXPECT_EQ(dxThemeManager::OpenTheme(themeButton, &lower), h);
    EXPECT_EQ(Lib.Opened.size(), 1u);

    std::u16string other = u"ScrollBar";
    HTHEME h2 = dxThemeManager::OpenTheme(themeButton, &other);
    EXPECT_NE(h2, h);
    EXPECT_EQ(Lib.Closed, std::vector<HTHEME>{h});
    EXPECT_EQ(dxThemeManager::ThemeData(themeButton).ClassList, u"ScrollBar");
}

TEST_F(ThemeManagerTest, UnknownClassLeavesNoClassList)
{
    Load();
    EXPECT_EQ(dxThemeManager::OpenTheme(themeHeader), 0u);
    EXPECT_TRUE(dxThemeManager::ThemeData(themeHeader).ClassList.empty());
    EXPECT_TRUE(dxThemeManager::AreVisualStylesAvailable(TdxThemedObjectTypes{themeButton}));
    EXPECT_FALSE(dxThemeManager::AreVisualStylesAvailable(TdxThemedObjectTypes{themeButton, themeHeader}));
}

TEST_F(ThemeManagerTest, ThemeChangeClosesHandlesKeepsClassesAndTellsSubscribers)
{
    Load();
    std::u16string sb = u"ScrollBar";
    HTHEME h = dxThemeManager::OpenTheme(themeEdit, &sb);
    std::vector<int> calls;
    TdxThemeChangedNotificator first, second;
    first.OnThemeChanged = [&](TObject*) { calls.push_back(1); };
    second.OnThemeChanged = [&](TObject*) { calls.push_back(2); };
    {
        TdxThemeChangedNotificator gone;
        gone.OnThemeChanged = [&](TObject*) { calls.push_back(3); };
    }
    Lib.Active = false;
    ASSERT_NE(dxThemeManager::EventReceiver(), nullptr);
    EXPECT_EQ(dxThemeManager::EventReceiver()->WndProc(WM_THEMECHANGED, 0, 0), 0);
    EXPECT_EQ(calls, (std::vector<int>{1, 2}));
    EXPECT_EQ(dxThemeManager::ThemeData(themeEdit).ThemeHandle, 0u);
    EXPECT_EQ(Lib.Closed, std::vector<HTHEME>{h});
    EXPECT_FALSE(dxThemeManager::AreVisualStylesAvailable());

    Lib.Active = true;
    dxThemeManager::EventReceiver()->WndProc(WM_THEMECHANGED, 0, 0);
    EXPECT_NE(dxThemeManager::OpenTheme(themeEdit), 0u);
    EXPECT_EQ(Lib.Opened.back(), u"ScrollBar");   // the stored class list reopens
}

TEST_F(ThemeManagerTest, SubscriberExceptionGoesToTheHandler)
{
    Load();
    std::string seen;
    dxThemeManager::SetExceptionHandler([&](const std::exception& e) { seen = e.what(); });
    TdxThemeChangedNotificator n;
    n.OnThemeChanged = [](TObject*) { throw Exception("boom"); };
    dxThemeManager::EventReceiver()->WndProc(WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(seen, "boom");
    dxThemeManager::SetExceptionHandler(nullptr);
}

}  // namespace
