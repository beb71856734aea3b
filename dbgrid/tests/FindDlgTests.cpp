// The grid's find dialog: directions, match kinds, case and format, the
// found cell becoming current, and a text found nowhere.
#include "DBGridEhFindDlgs.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"
#include "RecordingHost.h"
#include "DBCtrlsEh.h"
#include "StdCtrls.h"

#include <gtest/gtest.h>

namespace {

using namespace DBGridTest;

class FindDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        Old = SetHostServices(Host);
        Ds = FiveStudents();   // 王小明 1200, 李华 800.5, 张伟 1500, 赵丽 0, 陈晨 950
        GridHost = std::make_unique<TGridHost>(Ds.get());
        Grid = GridHost->Grid;
        Grid->Columns()->Clear();
        for (const char* f : {"Id", "Name", "Fee"}) Grid->Columns()->Add()->SetFieldName(f);
        Dlg = std::make_unique<TDBGridEhFindDlg>();
    }
    void TearDown() override
    {
        Dlg.reset();
        GridHost.reset();
        SetHostServices(Old);
    }
    // Prepares the dialog for a search of text, as a user would set it up.
    void Setup(const std::string& text, const std::string& direction = "All", const std::string& in = "<All>",
               const std::string& match = "From any part of field")
    {
        Dlg->PrepareForGrid(Grid, "");
        Dlg->cbText->SetText(text);
        Dlg->cbFindDirection->SetItemIndex(Dlg->cbFindDirection->Items()->IndexOf(direction));
        Dlg->cbMatchinType->SetItemIndex(Dlg->cbMatchinType->Items()->IndexOf(match));
        Dlg->cbFindIn->SetItemIndex(Dlg->cbFindIn->Items()->IndexOf(in));
        Dlg->BuildFindColumns();
    }
    // Where a search stops: the record's id and the current column's field.
    std::string Next(bool reverse = false)
    {
        if (!Dlg->FindNext(reverse)) return "none";
        return std::to_string(Ds->FieldByName("Id")->AsInteger()) + ":" + Grid->CurrentColumn()->FieldName();
    }
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    std::shared_ptr<IHostServices> Old;
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> GridHost;
    TDBGridEh* Grid = nullptr;
    std::unique_ptr<TDBGridEhFindDlg> Dlg;
};

TEST_F(FindDialog, FormAndFindInList)
{
    Grid->SetSelectedIndex(1);
    Dlg->PrepareForGrid(Grid, "张");
    EXPECT_EQ(Dlg->Caption(), "Find text");
    EXPECT_EQ(Dlg->ClientWidth(), 505);
    EXPECT_EQ(Dlg->ClientHeight(), 124);
    EXPECT_EQ(Dlg->cbText->Text(), "张");
    EXPECT_EQ(Dlg->cbFindIn->Items()->Text(), "Id\r\nName\r\nFee\r\n<All>\r\n");
    EXPECT_EQ(Dlg->cbFindIn->Text(), "Name") << "the grid's current column is chosen";
    ASSERT_EQ(Dlg->FindColumns().size(), 1u);
    EXPECT_EQ(Dlg->FindColumns()[0], Grid->Columns()->Items(1));
    EXPECT_EQ(Dlg->cbFindDirection->Text(), "All");
    EXPECT_EQ(Dlg->cbMatchinType->Text(), "From any part of field");
    EXPECT_FALSE(Dlg->cbCharCase->Checked());
    EXPECT_TRUE(Dlg->cbUseFormat->Checked());
    Dlg->cbFindIn->SetItemIndex(3);
    Dlg->BuildFindColumns();
    EXPECT_EQ(Dlg->FindColumns().size(), 3u) << "<All> searches every shown column";
}

TEST_F(FindDialog, AllStartsAtTheFirstRecordThenGoesOn)
{
    Ds->Locate("Id", 3, {});
    Setup("5");
    EXPECT_EQ(Next(), "2:Fee") << "800.5, from the first record although the search began on the third";
    EXPECT_EQ(Next(), "3:Fee");
    EXPECT_EQ(Next(), "5:Id");
    EXPECT_EQ(Next(), "5:Fee");
    EXPECT_EQ(Next(), "none");
    EXPECT_EQ(Ds->FieldByName("Id")->AsInteger(), 5) << "not found leaves the record where the search began";
    ASSERT_EQ(Host->Messages().size(), 1u);
    EXPECT_EQ(Host->Messages()[0], "String \"5\" not found.");
    // The searched texts are kept once each.
    Setup("5");
    EXPECT_EQ(Dlg->cbText->Items()->Count(), 1);
}

TEST_F(FindDialog, UpTestsTheLastColumnFirstAndCtrlTurnsRound)
{
    Ds->Locate("Id", 3, {});
    Setup("1", "Up");
    EXPECT_EQ(Next(), "3:Fee") << "1500: the last column of the current record first";
    EXPECT_EQ(Next(), "1:Fee");
    EXPECT_EQ(Next(), "1:Id");
    Setup("1", "Down");
    Ds->Locate("Id", 1, {});
    EXPECT_EQ(Next(), "1:Id");
    EXPECT_EQ(Next(), "1:Fee");
    EXPECT_EQ(Next(true), "1:Id") << "Ctrl searches back from the last match";
}

TEST_F(FindDialog, MatchKindsCaseAndFormat)
{
    Ds->Edit();
    Ds->FieldByName("Name")->SetAsString("Wang Xiaoming");
    Ds->Post();
    auto* fee = static_cast<TFloatField*>(Ds->FieldByName("Fee"));
    fee->SetDisplayFormat("#,##0.00");
    struct Case {
        std::string Text, Match;
        bool MatchCase, UseFormat;
        std::string Found;
    } cases[] = {
        {"xiao", "From any part of field", false, true, "1:Name"},
        {"xiao", "From any part of field", true, true, "none"},
        {"Xiao", "From any part of field", true, true, "1:Name"},
        {"wang xiaoming", "Whole field", false, true, "1:Name"},
        {"wang", "Whole field", false, true, "none"},
        {"WANG", "From beging of field", false, true, "1:Name"},
        {"Wang Xiaoming Jr", "From beging of field", false, true, "none"},
        {"1,200", "From any part of field", false, true, "1:Fee"},
        {"1,200", "From any part of field", false, false, "none"},
        {"800.5", "Whole field", false, false, "2:Fee"},
        {"800.5", "Whole field", false, true, "none"},
    };
    for (const Case& c : cases) {
        Ds->First();
        Grid->SetSelectedIndex(0);
        Dlg->cbCharCase->SetChecked(c.MatchCase);
        Dlg->cbUseFormat->SetChecked(c.UseFormat);
        Setup(c.Text, "All", "<All>", c.Match);
        EXPECT_EQ(Next(), c.Found) << c.Text << " / " << c.Match << " case " << c.MatchCase << " format "
                                   << c.UseFormat;
    }
}

TEST_F(FindDialog, TheFoundColumnBecomesCurrentWithMatchCase)
{
    Dlg->cbCharCase->SetChecked(true);
    Grid->SetSelectedIndex(0);
    Setup("张伟");
    EXPECT_EQ(Next(), "3:Name") << "the found cell is current whether or not case counts";
}

TEST_F(FindDialog, KeysOfTheForm)
{
    Setup("李");
    WORD key = VK_RETURN;
    Dlg->FormKeyDown(Dlg.get(), key, {});
    EXPECT_EQ(key, 0);
    EXPECT_EQ(Ds->FieldByName("Id")->AsInteger(), 2);
    key = 'A';
    Dlg->FormKeyDown(Dlg.get(), key, {});
    EXPECT_EQ(key, 'A') << "other keys go on to the controls";
}

TEST_F(FindDialog, ExecuteShowsOneDialogForTheRun)
{
    Grid->SetSelectedIndex(1);
    DBGridEhFindDlgs::ExecuteFindDialog(Grid, "陈", false);
    TDBGridEhFindDlg* first = DBGridEhFindDlgs::FindDialog();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->Visible());
    EXPECT_EQ(first->cbText->Text(), "陈");
    first->bFind->Click();
    EXPECT_EQ(Ds->FieldByName("Id")->AsInteger(), 5);
    DBGridEhFindDlgs::ExecuteFindDialog(Grid, "", false);
    EXPECT_EQ(DBGridEhFindDlgs::FindDialog(), first);
    first->bCancel->Click();
    GuiTest::ProcessEvents();
    EXPECT_FALSE(first->Visible());
    delete first;
    EXPECT_EQ(DBGridEhFindDlgs::FindDialog(), nullptr);
}

TEST_F(FindDialog, CtrlFInTheGridOpensItModally)
{
    auto before = DBGridEh::FindDialogProc;
    DBGridEhFindDlgs::Initialize();
    Grid->SetSelectedIndex(1);
    bool wasModal = false;
    std::string searched;
    GuiTest::Later([&] {
        TDBGridEhFindDlg* d = DBGridEhFindDlgs::FindDialog();
        wasModal = d && d->FormState().Contains(fsModal);
        if (!d) return;
        d->cbText->SetText("赵");
        d->bFind->Click();
        searched = std::to_string(Ds->FieldByName("Id")->AsInteger());
        d->bCancel->Click();
    });
    WORD key = 'F';
    Grid->KeyDown(key, {ssCtrl});
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(searched, "4");
    delete DBGridEhFindDlgs::FindDialog();
    DBGridEh::FindDialogProc = before;
}

TEST_F(FindDialog, CtrlFInTheCellEditorSearchesForItsSelectedText)
{
    auto before = DBGridEh::FindDialogProc;
    DBGridEhFindDlgs::Initialize();
    Grid->SetOptionsEh(Grid->OptionsEh() - TDBGridEhOptions{dghIncSearch} + TDBGridEhOptions{dghDialogFind});
    Grid->SetFocus();
    Grid->SetSelectedIndex(1);
    Grid->ShowEditor();
    GuiTest::ProcessEvents();
    TInplaceEdit* e = Grid->InplaceEditor();
    ASSERT_TRUE(e && e->Visible());
    ASSERT_EQ(e->Text(), "王小明");
    e->SetSelStart(1);
    e->SetSelLength(2);
    std::string shown;
    bool pressed = false;
    // Closes the dialog once it is up (the key press may run queued work first).
    std::function<void()> closeWhenUp = [&] {
        if (pressed) return;
        TDBGridEhFindDlg* d = DBGridEhFindDlgs::FindDialog();
        if (!d || !d->FormState().Contains(fsModal)) {
            GuiTest::Later(closeWhenUp);
            return;
        }
        shown = d->cbText->Text();
        d->bCancel->Click();
    };
    GuiTest::Later(closeWhenUp);
    GuiTest::KeyPress('F', {ssCtrl});
    pressed = true;
    GuiTest::ProcessEvents();
    EXPECT_EQ(shown, "小明");
    // Closed, the dialog gives the keyboard back to the editor, which hears
    // the shortcut's keys go up (none stays held for what comes next).
    EXPECT_TRUE(e->Focused());
    EXPECT_GE(GetKeyState('F'), 0);
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
    delete DBGridEhFindDlgs::FindDialog();
    DBGridEh::FindDialogProc = before;
}

} // namespace
