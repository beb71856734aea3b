// The value list editor, the directory picker and the scroll box.
#include "DirPicker.h"
#include "ExtCtrls.h"
#include "ScrollBox.h"
#include "StdFormFixture.h"
#include "ValEdit.h"

#include <filesystem>

namespace {

using MoreTest = StdFormTest;

TEST_F(MoreTest, ValueListEditorMapsKeysToValuesPickedFromAList)
{
    auto* ve = Make<TValueListEditor>(10, 10, 330, 200);
    ve->TitleCaptions()->Clear();
    ve->TitleCaptions()->Add("目标字段");
    ve->TitleCaptions()->Add("源字段");
    ve->SetColWidths(0, 150);
    ve->SetColWidths(1, 165);
    TStringList lines;
    for (const char* k : {"姓名=", "性别=", "身份证号="}) lines.Add(k);
    ve->SetStrings(&lines);
    EXPECT_EQ(ve->RowCount(), 4);   // the titles and three lines
    EXPECT_EQ(ve->Cells(0, 0), "目标字段");
    EXPECT_EQ(ve->Keys(2), "性别");
    // Each row picks from the sheet's columns; a column named like the key is taken at once.
    const char* sheetColumns[] = {"姓名", "身份证号", "电话"};
    for (int row = 1; row < ve->RowCount(); ++row) {
        TItemProp* p = ve->ItemProps(row - 1);
        p->SetEditStyle(esPickList);
        for (const char* c : sheetColumns) p->PickList()->Add(c);
        if (p->PickList()->IndexOf(ve->Keys(row)) >= 0) ve->SetCells(1, row, ve->Keys(row));
    }
    EXPECT_EQ(ve->Values("姓名"), "姓名");
    EXPECT_EQ(ve->Values("性别"), "");
    EXPECT_EQ(ve->Strings()->Strings(2), "身份证号=身份证号");
    EXPECT_EQ(ve->ItemProps("性别")->PickList()->Count(), 3);
    int validated = 0;
    ve->OnValidate = [&](TObject*, int col, int row, const std::string& k, const std::string& v) {
        ++validated;
        EXPECT_EQ(col, 1);
        EXPECT_EQ(row, 2);
        EXPECT_EQ(k, "性别");
        EXPECT_EQ(v, "电话");
    };
    ShowForm();
    EXPECT_EQ(ve->ColWidths(0), 150);
    // The user opens row 2's list and picks the third entry.
    ve->SetFocus();
    ASSERT_TRUE(ve->EditValue(2));
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    GuiTest::KeyPress(VK_DOWN);
    GuiTest::KeyPress(VK_DOWN);
    GuiTest::KeyPress(VK_RETURN);
    GuiTest::KeyPress(VK_RETURN);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(ve->Editing());
    EXPECT_EQ(ve->Values("性别"), "电话");
    EXPECT_EQ(validated, 1);
    // Lines added later show too; the titles are no line.
    ve->InsertRow("电话", "", true);
    EXPECT_EQ(ve->RowCount(), 5);
    int row = 0;
    EXPECT_TRUE(ve->FindRow("电话", row));
    EXPECT_EQ(row, 4);
    EXPECT_THROW(ve->ItemProps("没有"), Exception);
    ve->DeleteRow(4);
    EXPECT_EQ(ve->Strings()->Count(), 3);
}

TEST_F(MoreTest, DirectoryPickerOpensDownToAFolderAndTellsOfChoices)
{
    namespace fs = std::filesystem;
    fs::path root = fs::temp_directory_path() / ("qz-dirpicker-" + std::to_string(::getpid()));
    fs::create_directories(root / "备份" / "2026");
    fs::create_directories(root / "数据");
    auto* dp = Make<TDirectoryPicker>(10, 10, 250, 250);
    int changes = 0;
    dp->OnChange = [&](TObject*) { ++changes; };
    ShowForm();
    ASSERT_TRUE(dp->SetDirectory((root / "备份").string()));
    EXPECT_EQ(dp->Directory(), (root / "备份").string());
    EXPECT_EQ(changes, 1);
    // The user moves down to the sub-folder.
    dp->SetFocus();
    GuiTest::KeyPress(VK_RIGHT);   // opens the folder
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(dp->Directory(), (root / "备份" / "2026").string());
    EXPECT_EQ(changes, 2);
    // A folder that does not exist changes nothing.
    EXPECT_FALSE(dp->SetDirectory((root / "没有").string()));
    EXPECT_FALSE(dp->SetDirectory((root / "备份" / "2026" / "x.txt").string()));
    EXPECT_EQ(dp->Directory(), (root / "备份" / "2026").string());
    // The choice outlives a new window.
    dp->RecreateWnd();
    EXPECT_EQ(dp->Directory(), (root / "备份" / "2026").string());
    delete dp;
    fs::remove_all(root);
}

TEST_F(MoreTest, ScrollBoxScrollsItsChildrenThroughTheWindowsBars)
{
    auto* box = Make<TScrollBox>(10, 10, 200, 150);
    auto* far = Make<TPanel>(20, 300, 50, 40, box);
    ShowForm();
    TControlScrollBar* v = box->VertScrollBar();
    EXPECT_EQ(v->Range(), 340);
    EXPECT_TRUE(v->IsScrollBarVisible());
    EXPECT_FALSE(box->HorzScrollBar()->IsScrollBarVisible());
    TScrollInfo si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(box->Handle(), SB_VERT, &si));
    EXPECT_EQ(si.nMax, 339);
    EXPECT_EQ(int(si.nPage), box->ClientHeight());
    // Line steps move by the increment; the child moves against them.
    v->SetIncrement(16);
    box->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(v->Position(), 16);
    EXPECT_EQ(far->Top(), 284);
    box->Perform(WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(v->Position(), v->MaxPosition());
    EXPECT_EQ(far->Top() + far->Height(), box->ClientHeight());
    // The thumb scrolls while dragged only with Tracking.
    box->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 10), 0);
    EXPECT_EQ(v->Position(), v->MaxPosition());
    v->SetTracking(true);
    box->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 10), 0);
    EXPECT_EQ(v->Position(), 10);
    // The wheel scrolls; ScrollInView brings a child into sight.
    GuiTest::Wheel(box, Point(50, 50), 120);
    EXPECT_EQ(v->Position(), 0);
    box->ScrollInView(far);
    EXPECT_EQ(far->Top() + far->Height(), box->ClientHeight());
    // A child taken away shrinks the range and the position with it.
    delete far;
    box->UpdateScrollBars();
    EXPECT_EQ(v->Position(), 0);
    EXPECT_FALSE(v->IsScrollBarVisible());
}

} // namespace
