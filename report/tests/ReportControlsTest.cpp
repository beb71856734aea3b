// The report library's own controls (scroll window, flat combo box, font
// chooser with its recent fonts, edit with a button) and its small forms
// (the password prompt, the dialog pages' window).
#include "ExportTestSupport.h"
#include "Buttons.h"
#include "ExtCtrls.h"
#include "GuiTesting.h"
#include "Registry.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxCtrls.h"
#include "frxDialogForm.h"
#include "frxPassw.h"

#include <gtest/gtest.h>

namespace {

// The scroll window's hooks, watched.
class TWatchedScrollWin : public TfrxScrollWin {
public:
    std::vector<int> Moves;
protected:
    void VertPositionChanged(int old) override { Moves.push_back(old); }
};

}  // namespace

TEST(ReportControls, ScrollPositionsStayWithinRangeMinusPage)
{
    GuiTest::Init();
    TWatchedScrollWin w;
    w.SetVertScrollRange(1000);
    w.SetVertPageSize(300);
    struct Case {
        int Asked, Got;
    };
    const Case cases[] = {{100, 100}, {800, 700}, {-5, 0}, {700, 700}};
    for (const Case& c : cases) {
        w.SetVertScrollPos(c.Asked);
        EXPECT_EQ(w.VertPosition(), c.Got) << c.Asked;
    }
    // Only real moves are told, with the old position.
    EXPECT_EQ(w.Moves, (std::vector<int>{0, 100, 700, 0}));
    // A range smaller than the page pins the position at 0.
    w.SetVertScrollRange(200);
    EXPECT_EQ(w.VertPosition(), 0);
    w.SetVertScrollPos(50);
    EXPECT_EQ(w.VertPosition(), 0);
}

TEST(ReportControls, FlatComboGeometry)
{
    GuiTest::Init();
    TForm form(nullptr);
    TfrxComboBox combo(&form);
    combo.SetParent(&form);
    combo.SetBounds(10, 10, 120, 22);
    form.Show();
    GuiTest::ProcessEvents();
    // The box shows inside its form (its window was once made before it had
    // a parent, and never showed).
    EXPECT_NE(GuiTest::PixelAt(&form, Point(60, 21)), GuiTest::PixelAt(&form, Point(300, 200)));
    EXPECT_EQ(combo.ButtonWidth(), 11);
    // Typing allowed unless read-only, which leaves the choice to the list.
    EXPECT_EQ(combo.Style(), csDropDown);
    combo.SetReadOnly(true);
    EXPECT_EQ(combo.Style(), csOwnerDrawFixed);
    combo.SetReadOnly(false);
    EXPECT_EQ(combo.EditRect(), Rect(3, 3, 3 + 120 - 11 - 0 - 7, 19));
    EXPECT_EQ(combo.ButtonRect(), Rect(107, 2, 118, 20));
    EXPECT_EQ(combo.ArrowOrigin(), Point(5 + 120 - 11 - 4, 10));
    combo.SetEditOffset(16);
    EXPECT_EQ(combo.EditRect().Left, 19);
    EXPECT_EQ(combo.EditRect().Width(), 120 - 11 - 16 - 7);

    struct Case {
        int ListWidth, Items, DropDownCount, Width, Height;
    };
    const int h = combo.ItemHeight();
    const Case cases[] = {{0, 3, 8, 119, 3 * h + 4},
                          {200, 20, 8, 200, 8 * h + 4},
                          {0, 0, 8, 119, h + 4},
                          {0, 5, 0, 119, h + 4}};
    for (const Case& c : cases) {
        combo.SetListWidth(c.ListWidth);
        combo.Items()->Clear();
        for (int i = 0; i < c.Items; ++i) combo.Items()->Add("行 " + std::to_string(i));
        combo.SetDropDownCount(c.DropDownCount);
        const TSize s = combo.ListSize();
        EXPECT_EQ(s.cx, c.Width) << c.Items;
        EXPECT_EQ(s.cy, c.Height) << c.Items;
    }
    // A bigger font makes taller rows.
    combo.Font()->SetSize(24);
    EXPECT_GT(combo.ItemHeight(), h);

    // Near the bottom of the screen the list opens upward.
    const TPoint below = combo.ClientToScreen(Point(0, combo.Height()));
    EXPECT_FALSE(combo.ListOpensUpward(below.Y + combo.ListSize().cy));
    EXPECT_TRUE(combo.ListOpensUpward(below.Y + combo.ListSize().cy - 1));
}

namespace {

struct TFontChooserFixture : ::testing::Test {
    void SetUp() override
    {
        GuiTest::Init();
        Store = std::make_unique<exporttest::TScratch>("mrufonts");
        TRegistry::SetStoreFileName(Store->Dir + "registry.ini");
        TStrings* fonts = Screen->Fonts();
        for (int i = 0; i < fonts->Count() && int(Installed.size()) < 7; ++i) {
            const std::string n = (*fonts)[i];
            if (n.size() < 32 && std::find(Installed.begin(), Installed.end(), n) == Installed.end())
                Installed.push_back(n);
        }
    }
    void TearDown() override { TRegistry::SetStoreFileName(""); }
    // Chooses a font from the list below the recent ones, as the user does.
    static void Choose(TfrxFontComboBox& c, const std::string& name)
    {
        for (int i = c.MRUCount(); i < c.Items()->Count(); ++i)
            if ((*c.Items())[i] == name) {
                c.SetItemIndex(i);
                c.CloseUp();
                return;
            }
        ADD_FAILURE() << name << " not listed";
    }
    static std::vector<std::string> Stored()
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        std::vector<std::string> r;
        if (!reg.OpenKey("\\Software\\ZavaZerazo\\MRUFont", false)) return r;
        for (int n = 0; n < 5; ++n) r.push_back(reg.ReadString("Font" + std::to_string(n)));
        return r;
    }
    std::unique_ptr<exporttest::TScratch> Store;
    std::vector<std::string> Installed;
};

}  // namespace

TEST_F(TFontChooserFixture, TheFiveFontsChosenLastHeadTheListNewestFirst)
{
    if (Installed.size() < 7) GTEST_SKIP() << "fewer than seven fonts installed";
    TForm form(nullptr);
    TfrxFontComboBox combo(&form);
    combo.SetParent(&form);
    combo.Populate();
    EXPECT_EQ(combo.MRUCount(), 0);
    const int all = combo.Items()->Count();
    for (int i = 0; i < 6; ++i) Choose(combo, Installed[size_t(i)]);
    // The sixth drops the oldest.
    EXPECT_EQ(combo.MRUCount(), 5);
    EXPECT_EQ(combo.Items()->Count(), all + 5);
    const std::vector<std::string> newest = {Installed[5], Installed[4], Installed[3], Installed[2], Installed[1]};
    EXPECT_EQ(Stored(), newest);
    for (int i = 0; i < 5; ++i) EXPECT_EQ((*combo.Items())[i], newest[size_t(i)]);
    EXPECT_EQ(combo.ItemIndex(), 0);

    // A recent font chosen again moves to the top, not copied.
    combo.SetItemIndex(3);
    combo.CloseUp();
    EXPECT_EQ(Stored(), (std::vector<std::string>{Installed[2], Installed[5], Installed[4], Installed[3], Installed[1]}));
    EXPECT_EQ(combo.Items()->Count(), all + 5);

    // A chooser made later reads them back, in that order.
    TfrxFontComboBox again(&form);
    again.SetParent(&form);
    again.Populate();
    EXPECT_EQ(again.MRUCount(), 5);
    EXPECT_EQ((*again.Items())[0], Installed[2]);
    EXPECT_EQ((*again.Items())[4], Installed[1]);
    // Fonts are marked TrueType.
    EXPECT_EQ(int(reinterpret_cast<intptr_t>(again.Items()->Objects(0))), TfrxFontComboBox::TrueTypeFont);
}

TEST_F(TFontChooserFixture, ARecentFontNoLongerInstalledIsForgotten)
{
    if (Installed.size() < 2) GTEST_SKIP() << "fewer than two fonts installed";
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        ASSERT_TRUE(reg.OpenKey("\\Software\\ZavaZerazo\\MRUFont", true));
        reg.WriteString("Font0", Installed[0]);
        reg.WriteInteger("FontType0", 4);
        reg.WriteString("Font1", "没有这个字体");
        reg.WriteInteger("FontType1", 4);
    }
    TForm form(nullptr);
    TfrxFontComboBox combo(&form);
    combo.SetParent(&form);
    combo.Populate();
    EXPECT_EQ(combo.MRUCount(), 1);
    EXPECT_EQ((*combo.Items())[0], Installed[0]);
    EXPECT_LT(combo.Items()->IndexOf("没有这个字体"), 0);
    EXPECT_EQ(Stored()[1], "");
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey("\\Software\\ZavaZerazo\\MRUFont", false));
    EXPECT_EQ(reg.ReadInteger("FontType1"), 0);

    // Without recent fonts shown, the list is the installed fonts only.
    TfrxFontComboBox plain(&form);
    plain.ShowMRU = false;
    plain.SetParent(&form);
    plain.Populate();
    EXPECT_EQ(plain.MRUCount(), 0);
    EXPECT_EQ(plain.Items()->Count() + 1, combo.Items()->Count());
}

TEST(ReportControls, EditWithAButtonAndTheFormsKeys)
{
    GuiTest::Init();
    TForm form(nullptr);
    form.SetClientSize(300, 120);
    auto* edit = new TfrxComboEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(10, 10, 200, 21);
    auto* other = new TEdit(&form);
    other->SetParent(&form);
    other->SetBounds(10, 40, 100, 21);
    auto* ok = new TButton(&form);
    ok->SetParent(&form);
    ok->SetBounds(10, 80, 75, 25);
    ok->SetDefault(true);
    int okClicks = 0, cancelClicks = 0;
    ok->OnClick = [&](TObject*) { ++okClicks; };
    auto* cancel = new TButton(&form);
    cancel->SetParent(&form);
    cancel->SetBounds(100, 80, 75, 25);
    cancel->SetCancel(true);
    cancel->OnClick = [&](TObject*) { ++cancelClicks; };
    form.Show();
    GuiTest::ProcessEvents();

    // The button sits at the right end and follows the size.
    EXPECT_EQ(edit->ButtonPanel()->BoundsRect(), Rect(200 - 21 + 2, 2, 200 - 21 + 2 + 17, 19));
    edit->SetWidth(250);
    EXPECT_EQ(edit->ButtonPanel()->Left(), 250 - 21 + 2);

    // A click focuses the edit first, then reports.
    other->SetFocus();
    bool focusedFirst = false;
    int clicks = 0;
    edit->OnButtonClick = [&](TObject*) {
        ++clicks;
        focusedFirst = edit->Focused();
    };
    edit->Button()->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(focusedFirst);
    edit->SetButtonEnabled(false);
    EXPECT_FALSE(edit->Button()->Enabled());
    edit->SetButtonEnabled(true);
    edit->SetEnabled(false);
    EXPECT_FALSE(edit->Button()->Enabled());
    edit->SetEnabled(true);
    EXPECT_TRUE(edit->Button()->Enabled());

    // Enter and Esc in the edit reach the form's default and cancel buttons.
    edit->SetFocus();
    GuiTest::KeyDown(VK_RETURN);
    GuiTest::ProcessEvents();
    EXPECT_EQ(okClicks, 1);
    GuiTest::KeyDown(VK_ESCAPE);
    GuiTest::ProcessEvents();
    EXPECT_EQ(cancelClicks, 1);
    EXPECT_EQ(okClicks, 1);
}

TEST(SmallForms, ThePasswordFormAsksWithItsOwnTexts)
{
    GuiTest::Init();
    TfrxPasswordForm form(nullptr);
    EXPECT_EQ(form.Caption(), "密码");
    EXPECT_EQ(form.PasswordL->Caption(), "输入口令:");
    EXPECT_EQ(form.OkB->Caption(), "确定");
    EXPECT_EQ(form.CancelB->Caption(), "取消");
    EXPECT_EQ(form.PasswordE->PasswordChar(), '*');
    EXPECT_EQ(form.ClientWidth(), 249);
    EXPECT_EQ(form.ClientHeight(), 99);

    // Typed and confirmed; cancelled gives nothing.
    std::string typed = "unchanged";
    GuiTest::Later([] {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* f = dynamic_cast<TfrxPasswordForm*>(Screen->Forms(i))) {
                f->PasswordE->SetText("secret");
                GuiTest::SavePng(f, std::string(QZ_BINARY_DIR) + "/report_password_form.png");
                f->OkB->Click();
            }
    });
    EXPECT_TRUE(frxPassw::Execute(typed));
    EXPECT_EQ(typed, "secret");
    GuiTest::Later([] {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* f = dynamic_cast<TfrxPasswordForm*>(Screen->Forms(i))) f->CancelB->Click();
    });
    typed = "unchanged";
    EXPECT_FALSE(frxPassw::Execute(typed));
    EXPECT_EQ(typed, "unchanged");

    // A layout stored with a password opens with the right one typed in the form.
    exporttest::TScratch dir("passw");
    {
        TfrxReport r;
        r.ReportOptions()->Password = "secret";
        r.SaveToFile(dir.Dir + "locked.fr3");
    }
    auto oldPrompt = frxClass::PasswordPrompt;
    frxPassw::Initialize();
    auto answer = [](const std::string& text) {
        GuiTest::Later([text] {
            for (int i = 0; i < Screen->FormCount(); ++i)
                if (auto* f = dynamic_cast<TfrxPasswordForm*>(Screen->Forms(i))) {
                    f->PasswordE->SetText(text);
                    f->OkB->Click();
                }
        });
    };
    TfrxReport r;
    r.EngineOptions()->SilentMode = true;
    answer("wrong");
    EXPECT_THROW(r.LoadFromFile(dir.Dir + "locked.fr3"), EfrxWrongPassword);
    answer("secret");
    EXPECT_TRUE(r.LoadFromFile(dir.Dir + "locked.fr3"));
    frxClass::PasswordPrompt = oldPrompt;
}

TEST(SmallForms, TheDialogPagesWindowStaysUntilItsPageLetsItGo)
{
    GuiTest::Init();
    TfrxDialogForm form(nullptr);
    EXPECT_EQ(form.Caption(), " ");
    EXPECT_TRUE(form.KeyPreview());
    EXPECT_EQ(form.Font()->Name(), "Tahoma");
    EXPECT_EQ(form.Perform(WM_GETDLGCODE, 0, 0), 3);
    form.Show();
    form.Close();
    GuiTest::ProcessEvents();
    EXPECT_TRUE(form.Visible());   // no page handler: refused
    form.OnCloseQuery = [](TObject*, bool& canClose) { canClose = true; };
    form.Close();
    GuiTest::ProcessEvents();
    EXPECT_FALSE(form.Visible());
    int moved = 0;
    form.OnModify = [&](TObject*) { ++moved; };
    form.Perform(WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(moved, 1);
}

TEST(ReportControls, TheFontSampleStandsBesideTheChooser)
{
    GuiTest::Init();
    TForm form(nullptr);
    form.SetClientSize(400, 200);
    TfrxFontComboBox combo(&form);
    combo.SetParent(&form);
    combo.SetBounds(100, 50, 150, 22);
    form.Show();
    GuiTest::ProcessEvents();
    ASSERT_NE(combo.PreviewWindow(), nullptr);
    EXPECT_FALSE(combo.PreviewWindow()->Visible());
    EXPECT_EQ(combo.PreviewWindow()->ClientWidth(), 200);
    const TPoint corner = combo.ClientToScreen(Point(150, 22));
    EXPECT_EQ(combo.PreviewPosition(corner.X + 200), corner);
    // No room on the right: left of the control, one pixel apart.
    const TPoint left = combo.ClientToScreen(Point(0, 0));
    EXPECT_EQ(combo.PreviewPosition(corner.X + 199), Point(left.X - combo.PreviewWindow()->Width() - 1, corner.Y));
    combo.Populate();
    if (combo.Items()->Count() > 0) {
        // The chosen font with its TrueType mark, drawn by the control.
        GuiTest::ProcessEvents();
        GuiTest::SavePng(&form, std::string(QZ_BINARY_DIR) + "/report_font_chooser.png");
        const TPoint mark(combo.Left() + 6, combo.Top() + combo.Height() / 2);
        EXPECT_NE(GuiTest::PixelAt(&form, mark), GuiTest::PixelAt(&form, Point(390, 190)));
    }
    combo.PreviewWindow()->ShowFont("宋体");
    EXPECT_EQ(combo.PreviewWindow()->Panel()->Caption(), "宋体");
    EXPECT_EQ(combo.PreviewWindow()->Panel()->Font()->Name(), "宋体");
    EXPECT_EQ(combo.PreviewWindow()->Panel()->Font()->Size(), 18);
}
