// The editor dialogs of report-wide settings: report data, expression,
// variables, designer options, report settings, highlight, styles and tab
// order.
#include "EditorFixture.h"

#include "CheckLst.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxCtrls.h"
#include "frxDataTree.h"
#include "frxEditExpr.h"
#include "frxEditHighlight.h"
#include "frxEditOptions.h"
#include "frxEditReport.h"
#include "frxEditReportData.h"
#include "frxEditStrings.h"
#include "frxEditStyle.h"
#include "frxEditTabOrder.h"
#include "frxEditVar.h"
#include "frxGraphicData.h"
#include "frxVariables.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

struct EditDialogs2 : ::testing::Test, TEditorFixture {};

std::vector<std::string> Names(const TfrxVariables& v)
{
    std::vector<std::string> out;
    for (int i = 0; i < v.Count(); ++i) out.push_back(v.Items(i)->Name);
    return out;
}

TEST_F(EditDialogs2, ReportDataTicksTheDataSetsTheReportUses)
{
    // No data sets offered by the report: every enabled one of the program.
    TfrxDBDataset* d1 = AddDataSet("d1", {"X"}, false);
    TfrxDBDataset* d0 = AddDataSet("d0", {"Name"}, false);
    TfrxDBDataset* off = AddDataSet("off", {"X"}, false);
    off->SetEnabled(false);
    auto c = frxEditReportData::Candidates(&Report);
    std::vector<std::string> names;
    for (auto& [n, ds] : c)
        if (ds == d0 || ds == d1 || ds == off) names.push_back(n);
    EXPECT_EQ(names, (std::vector<std::string>{"d0", "d1"}));

    // A new layout has no data sets until both are ticked.
    WhenUp<TfrxReportDataForm>([&](TfrxReportDataForm* f) {
        for (const char* n : {"d0", "d1"}) f->DatasetsLB->SetChecked(f->DatasetsLB->Items()->IndexOf(n), true);
        GuiTest::SavePng(f, "designer_report_data_dialog.png");
        f->OKB->Click();
    });
    ASSERT_TRUE(frxEditReportData::EditReportData(nullptr, &Report));
    ASSERT_EQ(Report.DataSets()->Count(), 2);
    EXPECT_EQ(Report.DataSets()->Items(0)->DataSet(), d0);
    EXPECT_EQ(Report.DataSets()->Items(1)->DataSet(), d1);

    // Offered data sets only, shown ticked as the report uses them.
    Report.EnabledDataSets()->Add(d1);
    bool d1Ticked = false;
    int count = 0;
    WhenUp<TfrxReportDataForm>([&](TfrxReportDataForm* f) {
        count = f->DatasetsLB->Items()->Count();
        d1Ticked = f->DatasetsLB->Checked(0);
        f->DatasetsLB->SetChecked(0, false);
        f->OKB->Click();
    });
    ASSERT_TRUE(frxEditReportData::EditReportData(nullptr, &Report));
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(d1Ticked);
    EXPECT_EQ(Report.DataSets()->Count(), 0);
}

TEST_F(EditDialogs2, ExpressionEditorTakesTheDataTreesText)
{
    AddDataSet("d0", {"Name"});
    std::string inserted;
    WhenUp<TfrxExprEditorForm>([&](TfrxExprEditorForm* f) {
        TTreeView* t = f->DataTree()->DataTree;
        TTreeNode* field = t->Items()->Item(0)->Item(0)->Item(0);
        t->SetSelected(field);
        f->ExprMemo->SetSelStart(int(f->ExprMemo->Text().size()));
        f->DataTree()->OnTreeDblClick(t);
        inserted = f->ExprMemo->Text();
        GuiTest::SavePng(f, "designer_expression_dialog.png");
        f->OKB->Click();
    });
    EXPECT_EQ(frxEditExpr::EditExpression(&Designer, "1 + "), "1 + <d0.\"Name\">");
    EXPECT_EQ(inserted, "1 + <d0.\"Name\">");
    WhenUp<TfrxExprEditorForm>([](TfrxExprEditorForm* f) { f->CancelB->Click(); });
    EXPECT_EQ(frxEditExpr::EditExpression(&Designer, "x"), "");
}

TEST(EditDialogTexts, VariableNamesAndListLines)
{
    TfrxVariables v;
    EXPECT_EQ(frxEditVar::NewCategoryName(&v), " New Category1");
    v.Add()->Name = " New Category1";
    EXPECT_EQ(frxEditVar::NewCategoryName(&v), " New Category2");
    EXPECT_EQ(frxEditVar::NewVariableName(&v), "New Variable1");
    v.AddToCategory("New Category1", "New Variable1", Variant(std::string("1")));
    EXPECT_EQ(frxEditVar::NewVariableName(&v), "New Variable2");
    // A name that is taken is refused and nothing changes.
    v.AddToCategory("New Category1", "Fee", Variant(std::string("2")));
    EXPECT_FALSE(frxEditVar::RenameItem(&v, "Fee", "New Variable1"));
    EXPECT_TRUE(frxEditVar::RenameItem(&v, "Fee", "Cost"));
    EXPECT_EQ(Names(v), (std::vector<std::string>{" New Category1", "New Variable1", "Cost"}));

    EXPECT_EQ(frxEditVar::ListLines(&v), (std::vector<std::string>{"New Category1", " New Variable1", " Cost"}));
    // Lines back: a category "Cat" holding Amount; known items keep their values.
    frxEditVar::ApplyListLines(&v, {"Cat", " Amount", "", "New Category1", " Cost"});
    EXPECT_EQ(Names(v), (std::vector<std::string>{" Cat", "Amount", " New Category1", "Cost"}));
    EXPECT_EQ(VarToStr(v.Items(1)->Value), "");
    EXPECT_EQ(VarToStr(v.Items(3)->Value), "2");
}

TEST_F(EditDialogs2, VariablesDialogWorksOnACopy)
{
    // Empty list: New variable does nothing, Insert makes a category.
    std::vector<std::string> afterInsert, afterVars;
    std::string rootText, category2Shown, dupMessage;
    WhenUp<TfrxVarEditorForm>([&](TfrxVarEditorForm* f) {
        rootText = f->VarTree->Items()->GetFirstNode()->Text();
        f->NewVarB->Click();
        f->VarTree->SetFocus();
        GuiTest::KeyDown(VK_INSERT);
        afterInsert = Names(*f->Variables());
        f->NewCategoryB->Click();
        category2Shown = f->VarTree->Selected()->Text();
        f->NewVarB->Click();   // into the selected category
        f->NewVarB->Click();
        afterVars = Names(*f->Variables());
        // A value typed for the selected variable is kept when the selection moves.
        f->ExprMemo->SetText("<d0.\"Name\">");
        f->ExprMemo->SetModified(true);
        TTreeNode* first = f->VarTree->Selected()->GetPrevSibling();
        f->VarTree->SetSelected(first);
        // Renaming it to the other one's name is refused.
        EXPECT_FALSE(f->RenameNode(first, "New Variable2"));
        EXPECT_EQ(first->Text(), "New Variable1");
        GuiTest::SavePng(f, "designer_variables_dialog.png");
        f->OkB->Click();
    });
    ASSERT_TRUE(frxEditVar::EditVariables(&Designer));
    EXPECT_EQ(rootText, "(未定义变量)");
    EXPECT_EQ(afterInsert, std::vector<std::string>{" New Category1"});
    EXPECT_EQ(category2Shown, "New Category2");
    EXPECT_EQ(afterVars, (std::vector<std::string>{" New Category1", " New Category2", "New Variable1",
                                                   "New Variable2"}));
    EXPECT_EQ(Names(*Report.Variables()), afterVars);
    EXPECT_EQ(VarToStr(Report.Variables()->Items(3)->Value), "<d0.\"Name\">");
    EXPECT_EQ(Host->Messages(), std::vector<std::string>{"名称重复"});

    // Cancel: the report keeps its variables.
    WhenUp<TfrxVarEditorForm>([](TfrxVarEditorForm* f) {
        f->VarTree->SetSelected(f->VarTree->Items()->GetFirstNode()->Item(0));
        f->DeleteB->Click();
        f->CancelB->Click();
    });
    EXPECT_FALSE(frxEditVar::EditVariables(&Designer));
    EXPECT_EQ(Names(*Report.Variables()), afterVars);
}

TEST_F(EditDialogs2, VariablesFileAndListEditor)
{
    Report.Variables()->Add()->Name = " 费用";
    Report.Variables()->AddToCategory("费用", "学费", Variant(std::string("100")));
    const std::string file = (std::filesystem::temp_directory_path() / "designer_vars_test.fd3").string();
    Host->QueueSaveFile({file});
    std::vector<std::string> listed, loaded;
    WhenUp<TfrxVarEditorForm>([&](TfrxVarEditorForm* f) {
        f->SaveB->Click();
        WhenUp<TfrxStringsEditorForm>([&](TfrxStringsEditorForm* s) {
            for (int i = 0; i < s->Memo->Lines()->Count(); ++i) listed.push_back(s->Memo->Lines()->Strings(i));
            s->Memo->Lines()->Add("Cat");
            s->Memo->Lines()->Add(" Amount");
            s->OkB->Click();
        });
        f->EditListB->Click();
        Host->QueueOpenFile({file});
        f->LoadB->Click();
        loaded = Names(*f->Variables());
        f->CancelB->Click();
    });
    EXPECT_FALSE(frxEditVar::EditVariables(&Designer));
    std::filesystem::remove(file);
    EXPECT_EQ(listed, (std::vector<std::string>{"费用", " 学费"}));
    EXPECT_EQ(loaded, (std::vector<std::string>{" 费用", "学费"}));
}

TEST(EditDialogTexts, OptionsReadEveryFieldFirst)
{
    TfrxDesignerOptions base;
    const TfrxOptionTexts good{"0,2", "0.25", "8", "5", "6", "12", "9"};
    TfrxDesignerOptions o = frxEditOptions::Apply(base, good, 2);
    EXPECT_DOUBLE_EQ(o.Grid1, 0.2);
    EXPECT_DOUBLE_EQ(o.Grid2, 0.25);
    EXPECT_DOUBLE_EQ(o.Grid3, 8);
    EXPECT_DOUBLE_EQ(o.Grid4, 5);
    EXPECT_EQ(o.Units, 2);
    EXPECT_EQ(o.BandsGap, 6);
    EXPECT_EQ(o.CodeFontSize, 12);
    EXPECT_EQ(o.MemoFontSize, 9);

    // A dialog page: the unit and its three grid steps stay.
    base.UnitsEditable = false;
    o = frxEditOptions::Apply(base, good, 2);
    EXPECT_EQ(o.Units, 0);
    EXPECT_DOUBLE_EQ(o.Grid1, 0.1);
    EXPECT_DOUBLE_EQ(o.Grid3, 4);
    EXPECT_DOUBLE_EQ(o.Grid4, 5);

    struct { TfrxOptionTexts texts; } bad[] = {
        {{"x", "0.1", "4", "4", "4", "10", "10"}}, {{"0.1", "0.1", "4", "4", "4,5", "10", "10"}},
        {{"0.1", "0.1", "4", "4", "4", "10", "大"}}, {{"0.1", "0.1", "4", "", "4", "10", "10"}},
    };
    base.UnitsEditable = true;
    for (auto& b : bad) EXPECT_THROW(frxEditOptions::Apply(base, b.texts, 1), EConvertError);
}

TEST_F(EditDialogs2, OptionsDialogRestoreDefaultsEndsWithTheDefaults)
{
    TfrxDesignerOptions o;
    o.Units = 1;
    o.Grid2 = 0.5;
    o.BandsGap = 8;
    o.MemoFontName = "宋体";
    int restored = 0;
    auto defaults = [&] {
        ++restored;
        return TfrxDesignerOptions{};
    };
    WhenUp<TfrxOptionsEditor>([](TfrxOptionsEditor* f) {
        f->GapE->SetText("12");
        f->CMRB->SetChecked(true);
        GuiTest::SavePng(f, "designer_options_dialog.png");
        f->RestoreDefaultsB->Click();
    });
    ASSERT_TRUE(frxEditOptions::EditOptions(nullptr, o, defaults));
    EXPECT_EQ(restored, 1);
    EXPECT_EQ(o.Units, 0);
    EXPECT_EQ(o.BandsGap, 4);
    EXPECT_DOUBLE_EQ(o.Grid2, 0.1);
    EXPECT_EQ(o.MemoFontName, "Arial");

    // A gap that is no number keeps the dialog open with the options as they were.
    o.BandsGap = 8;
    bool stayed = false;
    WhenUp<TfrxOptionsEditor>([&](TfrxOptionsEditor* f) {
        f->ShowGridCB->SetChecked(false);
        f->GapE->SetText("八");
        f->OKB->Click();
        GuiTest::Later([&, f] {
            stayed = f->Visible();
            f->CancelB->Click();
        });
    });
    EXPECT_FALSE(frxEditOptions::EditOptions(nullptr, o, defaults));
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(o.ShowGrid);
    EXPECT_EQ(o.BandsGap, 8);
    EXPECT_FALSE(Host->Messages().empty());

    // Grid kind of a dialog page: the unit controls are off.
    o.UnitsEditable = false;
    bool cmEnabled = true;
    WhenUp<TfrxOptionsEditor>([&](TfrxOptionsEditor* f) {
        cmEnabled = f->CME->Enabled();
        f->CME->SetText("9");
        f->OKB->Click();
    });
    ASSERT_TRUE(frxEditOptions::EditOptions(nullptr, o, defaults));
    EXPECT_FALSE(cmEnabled);
    EXPECT_DOUBLE_EQ(o.Grid1, 0.1);
}

TEST_F(EditDialogs2, ReportSettingsChangeNothingUntilEveryFieldReads)
{
    Report.ReportOptions()->Name = "学员名单";
    Report.PrintOptions()->Copies = 2;
    bool stayed = false;
    WhenUp<TfrxReportEditorForm>([&](TfrxReportEditorForm* f) {
        f->CollateCB->SetChecked(false);
        f->NameE->SetText("新名称");
        f->CopiesE->SetText("两");
        f->OKB->Click();
        GuiTest::Later([&, f] {
            stayed = f->Visible();
            f->CancelB->Click();
        });
    });
    EXPECT_FALSE(frxEditReport::EditReportSettings(nullptr, &Report));
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(Report.PrintOptions()->Collate);
    EXPECT_EQ(Report.ReportOptions()->Name, "学员名单");
    EXPECT_EQ(Report.PrintOptions()->Copies, 2);

    std::string nameShown;
    WhenUp<TfrxReportEditorForm>([&](TfrxReportEditorForm* f) {
        nameShown = f->NameE->Text();
        f->CopiesE->SetText("3");
        f->DoublePassCB->SetChecked(true);
        f->AuthorE->SetText("教务处");
        f->MajorE->SetText("2");
        f->DescriptionE->SetText("每月一次");
        GuiTest::SavePng(f, "designer_report_settings_dialog.png");
        f->PageControl->SetActivePage(f->DescriptionTS);
        GuiTest::SavePng(f, "designer_report_settings_description.png");
        f->OKB->Click();
    });
    ASSERT_TRUE(frxEditReport::EditReportSettings(nullptr, &Report));
    EXPECT_EQ(nameShown, "学员名单");
    EXPECT_EQ(Report.PrintOptions()->Copies, 3);
    EXPECT_TRUE(Report.EngineOptions()->DoublePass);
    EXPECT_EQ(Report.ReportOptions()->Author, "教务处");
    EXPECT_EQ(Report.ReportOptions()->VersionMajor, "2");
    EXPECT_EQ(Report.ReportOptions()->Description()->Text(), "每月一次\r\n");
}

TEST_F(EditDialogs2, HighlightDialog)
{
    auto* memo = new TfrxMemoView(Page);
    memo->SetName("Memo1");
    memo->Font()->SetName("宋体");
    memo->Font()->SetStyle(TfrxFont::Italic);
    memo->Highlight()->Color = clNone;
    Designer.Expressions.push_back("<D.\"Fee\"> > 100");
    Host->QueueColorDialog([](TColorDialogData& d) {
        d.Color = clRed;
        return true;
    });
    Host->QueueColorDialog([](TColorDialogData& d) {
        d.Color = clYellow;
        return true;
    });
    bool transparent = false, backEnabled = true;
    WhenUp<TfrxHighlightEditorForm>([&](TfrxHighlightEditorForm* f) {
        transparent = f->TransparentRB->Checked();
        backEnabled = f->BackColorB->Enabled();
        f->ConditionE->OnButtonClick(f->ConditionE);
        f->BoldCB->SetChecked(true);
        f->FontColorB->Click();
        f->OtherRB->SetChecked(true);
        f->BackColorB->Click();
        GuiTest::SavePng(f, "designer_highlight_dialog.png");
        f->OKB->Click();
    });
    ASSERT_TRUE(frxEditHighlight::EditHighlight(nullptr, &Designer, memo));
    EXPECT_TRUE(transparent);
    EXPECT_FALSE(backEnabled);
    TfrxHighlight* h = memo->Highlight();
    EXPECT_EQ(h->Condition, "<D.\"Fee\"> > 100");
    EXPECT_EQ(h->Font()->Name(), "宋体");
    EXPECT_EQ(h->Font()->Style(), TfrxFont::Bold);   // the memo's italic is the check box's now
    EXPECT_EQ(h->Font()->Color(), clRed);
    EXPECT_EQ(h->Color, clYellow);
}

TEST_F(EditDialogs2, StylesDialog)
{
    EXPECT_EQ(frxEditStyle::StyleFileName("/tmp/a/styles.txt"), "/tmp/a/styles.fs3");
    EXPECT_EQ(frxEditStyle::StyleFileName("/tmp/a/styles"), "/tmp/a/styles.fs3");

    TfrxStyleItem* title = Report.Styles()->Add();
    title->SetName("标题");
    title->Color = clNavy;
    const std::string chosen = (std::filesystem::temp_directory_path() / "designer_styles_test.txt").string();
    const std::string saved = frxEditStyle::StyleFileName(chosen);
    Host->QueueSaveFile({chosen});
    std::vector<std::string> names;
    bool buttonsOffWhenEmpty = false;
    WhenUp<TfrxStyleEditorForm>([&](TfrxStyleEditorForm* f) {
        f->AddB->Click();
        // A taken name is refused; the style keeps its own.
        std::string s = "标题";
        f->StylesTV->OnEdited(f->StylesTV, f->StylesTV->Selected(), s);
        names.push_back(s);
        f->Selected()->Color = clYellow;
        f->Fill(0);
        GuiTest::SavePng(f, "designer_styles_dialog.png");
        f->SaveB->Click();
        f->DeleteB->Click();
        f->DeleteB->Click();
        buttonsOffWhenEmpty = !f->ColorB->Enabled() && !f->FontB->Enabled();
        f->OkB->Click();
    });
    ASSERT_TRUE(frxEditStyle::EditStyles(nullptr, &Report));
    EXPECT_EQ(names, std::vector<std::string>{"Style1"});
    EXPECT_TRUE(buttonsOffWhenEmpty);
    EXPECT_EQ(Report.Styles()->Count(), 0);
    ASSERT_TRUE(std::filesystem::exists(saved));
    EXPECT_FALSE(std::filesystem::exists(chosen));

    // Loaded back: both styles; Cancel leaves the report's empty set.
    Host->QueueOpenFile({saved});
    std::vector<std::string> loaded;
    WhenUp<TfrxStyleEditorForm>([&](TfrxStyleEditorForm* f) {
        f->LoadB->Click();
        for (int i = 0; i < f->Styles()->Count(); ++i) loaded.push_back(f->Styles()->Items(i)->Name());
        f->CancelB->Click();
    });
    EXPECT_FALSE(frxEditStyle::EditStyles(nullptr, &Report));
    std::filesystem::remove(saved);
    EXPECT_EQ(loaded, (std::vector<std::string>{"标题", "Style1"}));
    EXPECT_EQ(Report.Styles()->Count(), 0);
}

TEST_F(EditDialogs2, TabOrderCancelRestoresTheOrder)
{
    std::vector<TfrxComponent*> made;
    for (const char* n : {"Edit1", "Edit2", "Edit3", "Line1"}) {
        TfrxComponent* c = n[0] == 'L' ? static_cast<TfrxComponent*>(new TfrxLineView(Page))
                                       : static_cast<TfrxComponent*>(new TfrxMemoView(Page));
        c->SetName(n);
        made.push_back(c);
    }
    Designer.Fill();
    auto onlyMemos = [](TfrxComponent* c) { return c->Is<TfrxMemoView>(); };
    auto order = [&] {
        std::vector<std::string> out;
        for (TfrxComponent* c : Page->Objects()) out.push_back(c->Name());
        return out;
    };
    std::vector<std::string> listed, moved;
    auto run = [&](bool ok) {
        GuiTest::Later([&, ok] {
            auto* f = ModalDialog<TfrxTabOrderEditorForm>();
            ASSERT_NE(f, nullptr);
            listed.clear();
            for (int i = 0; i < f->ControlsLB->Items()->Count(); ++i)
                listed.push_back(f->ControlsLB->Items()->Strings(i));
            f->ControlsLB->SetItemIndex(0);
            f->DownB->Click();
            f->DownB->Click();
            f->UpB->Click();
            f->DownB->Click();
            f->DownB->Click();   // already last: nothing
            moved = order();
            GuiTest::SavePng(f, "designer_tab_order_dialog.png");
            (ok ? f->OkB : f->CancelB)->Click();
        });
        TfrxTabOrderEditorForm f(nullptr, &Designer);
        f.IsListed = onlyMemos;
        return f.ShowModal() == mrOk;
    };
    EXPECT_FALSE(run(false));
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].rfind("Edit1: ", 0), 0u);
    EXPECT_EQ(moved, (std::vector<std::string>{"Edit2", "Edit3", "Edit1", "Line1"}));
    EXPECT_EQ(order(), (std::vector<std::string>{"Edit1", "Edit2", "Edit3", "Line1"}));
    EXPECT_TRUE(run(true));
    EXPECT_EQ(order(), (std::vector<std::string>{"Edit2", "Edit3", "Edit1", "Line1"}));
    // Without dialog controls nothing is listed.
    TfrxTabOrderEditorForm plain(nullptr, &Designer);
    GuiTest::Later([&] {
        auto* f = ModalDialog<TfrxTabOrderEditorForm>();
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->ControlsLB->Items()->Count(), 0);
        f->CancelB->Click();
    });
    plain.ShowModal();
}

}  // namespace

#include "Menus.h"
#include "frxBarcode.h"
#include "frxBarcodeEditor.h"

namespace {

TEST_F(EditDialogs2, BarcodeMenuAndDialog)
{
    frxBarcodeEditor::Initialize();
    std::vector<TfrxBarCodeView*> codes;
    for (const char* n : {"BarCode1", "BarCode2", "BarCode3"}) {
        auto* b = new TfrxBarCodeView(Page);
        b->SetName(n);
        codes.push_back(b);
    }
    codes[2]->SetRestrictions(TfrxRestrictions{rfDontModify});
    Designer.Fill();
    Designer.Select({codes[0], codes[1], codes[2]});
    TPopupMenu menu(nullptr);
    std::unique_ptr<TfrxComponentEditor> e(
        frxDsgnIntf::ComponentEditorRegistry().GetComponentEditor(codes[0], &Designer, &menu));
    ASSERT_NE(e, nullptr);
    e->FillMenu();
    TMenuItem* showText = menu.Items()->Find("显示文本");
    ASSERT_NE(showText, nullptr);
    EXPECT_TRUE(showText->Checked());
    showText->Click();   // unchecks itself
    EXPECT_TRUE(e->RunMenuCommand(int(showText->Tag())));
    EXPECT_FALSE(codes[0]->ShowText);
    EXPECT_FALSE(codes[1]->ShowText);
    EXPECT_TRUE(codes[2]->ShowText);

    // 270 degrees and a zoom stay; a zoom that is no number changes nothing.
    bool stayed = false;
    WhenUp<TfrxBarcodeEditorForm>([&](TfrxBarcodeEditorForm* f) {
        f->Rotation270RB->SetChecked(true);
        f->TypeCB->SetItemIndex(int(bcCode128B));
        f->CodeE->SetText("<D.\"Id\">");
        f->ZoomE->SetText("x");
        f->OkB->Click();
        GuiTest::Later([&, f] {
            stayed = f->Visible();
            GuiTest::SavePng(f, "designer_barcode_dialog.png");
            f->ZoomE->SetText("1,5");
            f->OkB->Click();
        });
    });
    ASSERT_TRUE(e->Edit());
    EXPECT_TRUE(stayed);
    EXPECT_EQ(codes[0]->Rotation, 270);
    EXPECT_EQ(codes[0]->BarType, bcCode128B);
    EXPECT_EQ(codes[0]->Expression, "<D.\"Id\">");
    EXPECT_DOUBLE_EQ(codes[0]->Zoom, 1.5);
    bool checked270 = false;
    WhenUp<TfrxBarcodeEditorForm>([&](TfrxBarcodeEditorForm* f) {
        checked270 = f->Rotation270RB->Checked();
        f->CancelB->Click();
    });
    EXPECT_FALSE(e->Edit());
    EXPECT_TRUE(checked270);
}

}  // namespace

#include "frxAbout.h"

namespace {

TEST_F(EditDialogs2, AboutBoxOpensItsLinks)
{
    Host->QueueShellExecute(42);
    Host->QueueShellExecute(42);
    WhenUp<TfrxAboutForm>([](TfrxAboutForm* f) {
        GuiTest::SavePng(f, "designer_about_box.png");
        f->LabelClick(f->Label4);
        f->LabelClick(f->Label7);
        f->LabelClick(f->Label2);   // no tag: nothing
        f->OKB->Click();
    });
    frxAbout::ShowAbout(nullptr);
    std::vector<std::string> opened;
    for (const THostCall& c : Host->Calls)
        if (c.Kind == THostCallKind::ShellExecute) opened.push_back(c.Text);
    EXPECT_EQ(opened, (std::vector<std::string>{"https://www.example.com/", "mailto:sales@example.com"}));
}

}  // namespace
