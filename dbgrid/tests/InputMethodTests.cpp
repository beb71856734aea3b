// Text from an input method: committed Chinese reaches the grid's
// incremental search and its cell editor as whole characters, and a
// composition started over the grid opens the cell editor to take it.
#include "DBGridEh.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

namespace {

using namespace DBGridTest;

class GridInputMethod : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ds = MakeStudents({{1, "王小明", true, 1}, {2, "李华", false, 2}, {3, "李明亮", true, 3},
                           {4, "张伟", true, 4}, {5, "王芳", false, 5}});
        Host = std::make_unique<TGridHost>(Ds.get(), 600, 300);
        G = Host->Grid;
        G->SetFocus();
        GuiTest::ProcessEvents();
    }
    int Id() const { return Ds->FieldByName("Id")->AsInteger(); }
    TInplaceEdit* Editor() const { return G->EditorMode() ? G->InplaceEditor() : nullptr; }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* G = nullptr;
};

TEST_F(GridInputMethod, CommittedTextSearchesByWholeCharacters)
{
    G->SetOptionsEh(G->OptionsEh() + TDBGridEhOptions{dghIncSearch});
    G->Columns()->Items(1)->SetReadOnly(true);
    G->SetSelectedIndex(1);
    GuiTest::TManualTime time;
    struct TStep {
        const char* Committed;
        int ExpectId;
        const char* ExpectText;
    } steps[] = {
        {"李", 2, "李"},
        {"明", 3, "李明"},
        {"张", 3, "李明"},   // nothing starts with 李明张: dropped whole
        {"亮", 3, "李明亮"},
    };
    for (const TStep& s : steps) {
        SCOPED_TRACE(s.Committed);
        GuiTest::TypeText(s.Committed, true);
        EXPECT_TRUE(G->IncSearching());
        EXPECT_EQ(Id(), s.ExpectId);
        EXPECT_EQ(G->IncSearchText(), s.ExpectText);
        EXPECT_FALSE(G->EditorMode());
    }
    // Several characters committed at once search as one text.
    G->StopIncrementalSearch();
    Ds->First();
    GuiTest::TypeText("王芳", true);
    EXPECT_EQ(Id(), 5);
    EXPECT_EQ(G->IncSearchText(), "王芳");
}

TEST_F(GridInputMethod, CommittedTextOpensTheEditorWithIt)
{
    G->SetSelectedIndex(1);
    ASSERT_FALSE(G->EditorMode());
    GuiTest::TypeText("赵六", true);
    ASSERT_TRUE(Editor());
    EXPECT_EQ(Editor()->Text(), "赵六");
    GuiTest::TypeText("一", true);
    EXPECT_EQ(Editor()->Text(), "赵六一");
    GuiTest::KeyPress(VK_DOWN);   // leaving the record posts it
    EXPECT_EQ(Ds->State(), dsBrowse);
    Ds->First();
    EXPECT_EQ(Ds->FieldByName("Name")->AsString(), "赵六一");
}

TEST_F(GridInputMethod, ACompositionOverTheGridOpensTheEditor)
{
    G->SetSelectedIndex(1);
    ASSERT_FALSE(G->EditorMode());
    GuiTest::ComposeText("zhao");
    ASSERT_TRUE(Editor()) << "the composition goes to the cell editor";
    EXPECT_TRUE(Editor()->Focused());
    GuiTest::TypeText("赵", true);
    EXPECT_EQ(Editor()->Text(), "赵");
    GuiTest::KeyPress(VK_DOWN);
    Ds->First();
    EXPECT_EQ(Ds->FieldByName("Name")->AsString(), "赵");

    // Over a column where typing searches, the composition is left to the search.
    G->SetOptionsEh(G->OptionsEh() + TDBGridEhOptions{dghIncSearch});
    G->Columns()->Items(1)->SetReadOnly(true);
    G->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::ComposeText("li");
    EXPECT_FALSE(G->EditorMode());
    GuiTest::TypeText("李", true);
    EXPECT_EQ(Id(), 2);
    EXPECT_EQ(G->IncSearchText(), "李");
}

} // namespace
