// The editor dialogs of single objects: format, system text and aggregate,
// memo text, page, data band, lines, group, picture and frame.
#include "EditorFixture.h"

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxCtrls.h"
#include "frxEditDataBand.h"
#include "frxEditFormat.h"
#include "frxEditFrame.h"
#include "frxEditGroup.h"
#include "frxEditMemo.h"
#include "frxEditPage.h"
#include "frxEditPicture.h"
#include "frxEditStrings.h"
#include "frxEditSysMemo.h"
#include "frxEditUtils.h"
#include "frxGraphicData.h"
#include "frxPrinter.h"
#include "frxRes.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

struct EditDialogs : ::testing::Test, TEditorFixture {};

TEST(EditDialogTexts, AggregateTexts)
{
    struct Case {
        const char* fn;
        const char* expr;
        const char* band;
        bool invisible, running;
        const char* want;
    } cases[] = {
        {"SUM", "", "MasterData1", true, true, "[SUM(<D.\"Amount\">,MasterData1,3)]"},
        {"SUM", "", "", true, true, "[SUM(<D.\"Amount\">)]"},
        {"AVG", "", "MasterData1", false, true, "[AVG(<D.\"Amount\">,MasterData1,2)]"},
        {"MAX", "<D.\"Amount\"> * 2", "MasterData1", true, false, "[MAX(<D.\"Amount\"> * 2,MasterData1,1)]"},
        {"MIN", "", "MasterData1", false, false, "[MIN(<D.\"Amount\">,MasterData1)]"},
        {"COUNT", "", "MasterData1", false, false, "[COUNT(MasterData1)]"},
        {"COUNT", "", "MasterData1", true, true, "[COUNT(MasterData1,3)]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(frxEditSysMemo::AggregateText(c.fn, c.expr, "D", "Amount", c.band, c.invisible, c.running), c.want)
            << c.fn << " " << c.band;
}

TEST(EditDialogTexts, ExpressionAndLocalFormatTexts)
{
    struct { const char* expr; const char* delims; const char* want; } inserts[] = {
        {"<D.\"Name\">", "[,]", "[D.\"Name\"]"},
        {"<D.\"A\"> + <D.\"B\">", "[,]", "[<D.\"A\"> + <D.\"B\">]"},
        {"Date", "<%,%>", "<%Date%>"},
        {"<Page#>", "[,]", "[Page#]"},
    };
    for (auto& c : inserts) EXPECT_EQ(frxEditMemo::ExpressionInsertText(c.expr, c.delims), c.want) << c.expr;

    struct { int kind; const char* fmt; const char* sep; const char* want; } tags[] = {
        {fkNumeric, "%2.2f", ",", " #n%2,2f"},
        {fkNumeric, "%2.2n", ".", " #n%2.2n"},
        {fkNumeric, "%-8.2f", ",", " #n%,8,2f"},
        {fkDateTime, "dd.mm.yyyy", ",", " #ddd.mm.yyyy"},
        {fkBoolean, "No,Yes", ".", " #bNo,Yes"},
        {fkText, "%s", ",", ""},
    };
    for (auto& c : tags) EXPECT_EQ(frxEditMemo::LocalFormatTag(c.kind, c.fmt, c.sep), c.want) << c.fmt;
    // No separator chosen: the system's.
    EXPECT_EQ(frxEditMemo::LocalFormatTag(fkNumeric, "%2.2f", ""),
              std::string(" #n%2") + FormatSettings.DecimalSeparator + "2f");
}

TEST_F(EditDialogs, FormatEntriesAndDialog)
{
    EXPECT_TRUE(frxEditFormat::FormatEntries(fkText).empty());
    EXPECT_EQ(frxEditFormat::FormatEntries(fkNumeric),
              (std::vector<std::string>{"1234.5;%g", "1234.50;%2.2f", "1,234.50;%2.2n", "$1,234.50;%2.2m"}));
    EXPECT_EQ(frxEditFormat::FormatEntries(fkDateTime).size(), 7u);
    EXPECT_EQ(frxEditFormat::FormatEntries(fkBoolean).size(), 4u);

    // A known format is selected in the list; the separator box follows the category.
    TfrxFormat fmt;
    fmt.Kind = fkNumeric;
    fmt.FormatStr = "%2.2n";
    fmt.DecimalSeparator = ",";
    int listed = -2;
    bool sepEnabled = false, sepEnabledForDates = true;
    WhenUp<TfrxFormatEditorForm>([&](TfrxFormatEditorForm* d) {
        listed = d->FormatLB->ItemIndex();
        sepEnabled = d->SeparatorE->Enabled();
        GuiTest::SavePng(d, "designer_format_dialog.png");
        d->CategoryLB->SetItemIndex(fkDateTime);
        d->CategoryLB->Click();
        sepEnabledForDates = d->SeparatorE->Enabled();
        d->FormatLB->SetItemIndex(3);
        d->FormatLB->Click();
        d->SeparatorE->SetText("");
        d->OkB->Click();
    });
    ASSERT_TRUE(frxEditFormat::EditFormat(nullptr, &fmt));
    EXPECT_EQ(listed, 2);
    EXPECT_TRUE(sepEnabled);
    EXPECT_FALSE(sepEnabledForDates);
    EXPECT_EQ(fmt.Kind, fkDateTime);
    EXPECT_EQ(fmt.FormatStr, "hh:mm");
    EXPECT_EQ(fmt.DecimalSeparator, std::string(1, FormatSettings.DecimalSeparator));

    // A format of no list entry still shows, with nothing selected; Cancel keeps the format.
    fmt.Kind = fkNumeric;
    fmt.FormatStr = "%5.1f";
    std::string shown;
    WhenUp<TfrxFormatEditorForm>([&](TfrxFormatEditorForm* d) {
        listed = d->FormatLB->ItemIndex();
        shown = d->FormatE->Text();
        d->FormatE->SetText("%g");
        d->CancelB->Click();
    });
    EXPECT_FALSE(frxEditFormat::EditFormat(nullptr, &fmt));
    EXPECT_EQ(listed, -1);
    EXPECT_EQ(shown, "%5.1f");
    EXPECT_EQ(fmt.FormatStr, "%5.1f");
}

TEST_F(EditDialogs, SystemTextDialog)
{
    TfrxDBDataset* d = AddDataSet("D", {"Name", "Amount"});
    AddDataSet("E", {"X"});
    auto* band = new TfrxMasterData(Page);
    band->SetName("MasterData1");
    band->SetDataSet(d);
    Designer.Fill();

    // A text that is no system variable opens as text.
    std::string text = "合计:\r\n";
    bool textChosen = false;
    std::string textShown;
    WhenUp<TfrxSysMemoEditorForm>([&](TfrxSysMemoEditorForm* f) {
        textChosen = f->TextRB->Checked();
        textShown = f->TextE->Text();
        f->SysVariableRB->SetChecked(true);
        f->SysVariableCB->SetText("[当前页#]");
        f->OKB->Click();
    });
    ASSERT_TRUE(frxEditSysMemo::EditSysText(nullptr, &Designer, text));
    EXPECT_TRUE(textChosen);
    EXPECT_EQ(textShown, "合计:");
    EXPECT_EQ(text, "[当前页#]");

    // An aggregate: the band brings its data set and fields.
    std::vector<std::string> fields, bands, sets;
    std::string setShown;
    text.clear();
    WhenUp<TfrxSysMemoEditorForm>([&](TfrxSysMemoEditorForm* f) {
        for (int i = 0; i < f->DataBandCB->Items()->Count(); ++i) bands.push_back(f->DataBandCB->Items()->Strings(i));
        f->AggregateRB->SetChecked(true);
        f->DataBandCB->SetItemIndex(0);
        f->DataBandCB->OnChange(f->DataBandCB);
        setShown = f->DataSetCB->Text();
        for (int i = 0; i < f->DataFieldCB->Items()->Count(); ++i) fields.push_back(f->DataFieldCB->Items()->Strings(i));
        f->DataFieldCB->SetItemIndex(1);
        f->CountInvisibleCB->SetChecked(true);
        f->RunningTotalCB->SetChecked(true);
        GuiTest::SavePng(f, "designer_system_text_dialog.png");
        f->OKB->Click();
    });
    ASSERT_TRUE(frxEditSysMemo::EditSysText(nullptr, &Designer, text));
    EXPECT_EQ(bands, std::vector<std::string>{"MasterData1"});
    EXPECT_EQ(setShown, "D");
    EXPECT_EQ(fields, (std::vector<std::string>{"Name", "Amount"}));
    EXPECT_EQ(text, "[SUM(<D.\"Amount\">,MasterData1,3)]");

    // The aggregate part alone, with an expression from the expression editor.
    Designer.Expressions.push_back("<D.\"Amount\"> * 2");
    int shownParts = 0;
    std::string caption;
    text.clear();
    WhenUp<TfrxSysMemoEditorForm>([&](TfrxSysMemoEditorForm* f) {
        caption = f->Caption();
        shownParts = f->SysVariableRB->Visible() + f->TextE->Visible() + f->GroupBox2->Visible();
        f->FunctionCB->SetItemIndex(2);
        f->ExpressionE->OnButtonClick(f->ExpressionE);
        GuiTest::SavePng(f, "designer_aggregate_dialog.png");
        f->OKB->Click();
    });
    ASSERT_TRUE(frxEditSysMemo::EditSysText(nullptr, &Designer, text, true));
    EXPECT_EQ(caption, "插入合计");
    EXPECT_EQ(shownParts, 0);
    EXPECT_EQ(text, "[MAX(<D.\"Amount\"> * 2)]");
}

TEST_F(EditDialogs, MemoDialogInsertsExpressionsAndFormats)
{
    auto* memo = new TfrxMemoView(Page);
    memo->SetName("Memo1");
    memo->SetText("姓名: ");
    Designer.Expressions.push_back("<D.\"Name\">");
    std::string afterExpr, afterFormat;
    bool visibleNoted = false;
    WhenUp<TfrxMemoEditorForm>([&](TfrxMemoEditorForm* f) {
        visibleNoted = StoredBool("Form.TfrxMemoEditorForm", "Visible");
        f->Memo->SetSelStart(4);
        f->ExprB->Click();
        afterExpr = f->Memo->Text();
        // A local format goes inside the bracket the caret follows.
        WhenUp<TfrxFormatEditorForm>([](TfrxFormatEditorForm* g) {
            g->CategoryLB->SetItemIndex(fkNumeric);
            g->CategoryLB->Click();
            g->FormatE->SetText("%2.2f");
            g->SeparatorE->SetText(",");
            g->OkB->Click();
        });
        f->LocalFormatB->Click();
        afterFormat = f->Memo->Text();
        GuiTest::SavePng(f, "designer_memo_dialog.png");
        f->Memo->SetFocus();
        GuiTest::KeyDown(VK_RETURN, TShiftState{ssCtrl});
    });
    ASSERT_TRUE(frxEditMemo::EditMemo(nullptr, &Designer, memo));
    EXPECT_EQ(afterExpr, "姓名: [D.\"Name\"]\r\n");
    EXPECT_EQ(afterFormat, "姓名: [D.\"Name\" #n%2,2f]\r\n");
    EXPECT_EQ(memo->Text(), "姓名: [D.\"Name\" #n%2,2f]\r\n");
    EXPECT_TRUE(visibleNoted);

    // Word wrap is stored when the dialog hides; Esc cancels.
    WhenUp<TfrxMemoEditorForm>([&](TfrxMemoEditorForm* f) {
        f->WordWrapB->Click();
        f->Memo->SetText("gone");
        f->Memo->SetFocus();
        GuiTest::KeyDown(VK_ESCAPE);
    });
    EXPECT_FALSE(frxEditMemo::EditMemo(nullptr, &Designer, memo));
    EXPECT_EQ(memo->Text(), "姓名: [D.\"Name\" #n%2,2f]\r\n");
    EXPECT_TRUE(StoredBool("Form.TfrxMemoEditorForm", "WordWrap"));
}

TEST_F(EditDialogs, DataBandDialog)
{
    TfrxDBDataset* b = AddDataSet("乙", {"X"});
    TfrxDBDataset* a = AddDataSet("甲", {"X"});
    auto* band = new TfrxMasterData(Page);
    band->SetName("MasterData1");
    band->SetRowCount(1);
    auto entries = frxEditDataBand::Entries(&Report);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].first, "[未指定]");
    EXPECT_EQ(entries[1].first, "单笔");
    // Sorted as text sorts, whatever order the report lists them in.
    EXPECT_EQ(entries[2].second, AnsiCompareStr("甲", "乙") < 0 ? a : b);
    EXPECT_EQ(frxEditDataBand::EntryOf(entries, band), 1);

    struct { int entry; TfrxDataSet* ds; int rows; } cases[] = {
        {0, nullptr, 0}, {1, nullptr, 1}, {2, entries[2].second, 0}, {3, entries[3].second, 0}};
    for (auto& c : cases) {
        frxEditDataBand::ApplyEntry(entries, c.entry, band);
        EXPECT_EQ(band->DataSet(), c.ds) << c.entry;
        EXPECT_EQ(band->RowCount(), c.rows) << c.entry;
        EXPECT_EQ(frxEditDataBand::EntryOf(entries, band), c.entry);
    }

    band->SetDataSet(nullptr);
    band->SetRowCount(1);
    int shown = -1;
    WhenUp<TfrxDataBandEditorForm>([&](TfrxDataBandEditorForm* f) {
        shown = f->DatasetsLB->ItemIndex();
        f->DatasetsLB->SetItemIndex(f->DatasetsLB->Items()->IndexOf("甲"));
        GuiTest::SavePng(f, "designer_data_band_dialog.png");
        f->OkB->Click();
    });
    ASSERT_TRUE(frxEditDataBand::EditDataBand(nullptr, &Report, band));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(band->DataSet(), a);
    EXPECT_EQ(band->RowCount(), 0);
}

TEST_F(EditDialogs, GroupDialog)
{
    AddDataSet("D", {"Name", "Class"});
    AddDataSet("E", {"X"});
    auto* g = new TfrxGroupHeader(Page);
    g->SetName("GroupHeader1");

    struct Case {
        const char* condition;
        bool expressionShown;
        const char* setShown;
        const char* fieldShown;
    } cases[] = {
        {"", false, "D", ""},
        {"E.\"X\"", false, "E", "X"},
        {"D.\"Nope\"", false, "D", ""},
        {"<D.\"Name\"> + 'x'", true, "", ""},
    };
    for (const Case& c : cases) {
        g->Condition = c.condition;
        bool expr = false;
        std::string set, field, exprText;
        WhenUp<TfrxGroupEditorForm>([&](TfrxGroupEditorForm* f) {
            expr = f->ExpressionRB->Checked();
            set = f->DataSetCB->Text();
            field = f->DataFieldCB->Text();
            exprText = f->ExpressionE->Text();
            f->CancelB->Click();
        });
        EXPECT_FALSE(frxEditGroup::EditGroup(nullptr, &Designer, g));
        EXPECT_EQ(expr, c.expressionShown) << c.condition;
        if (!c.expressionShown) {
            EXPECT_EQ(set, c.setShown) << c.condition;
            EXPECT_EQ(field, c.fieldShown) << c.condition;
        } else {
            EXPECT_EQ(exprText, c.condition);
        }
        EXPECT_EQ(g->Condition, c.condition);
    }

    // OK: the field, the options and the outline text from the condition.
    g->Condition = "";
    WhenUp<TfrxGroupEditorForm>([&](TfrxGroupEditorForm* f) {
        f->DataFieldCB->SetItemIndex(1);
        f->KeepGroupTogetherCB->SetChecked(true);
        f->OutlineCB->SetChecked(true);
        GuiTest::SavePng(f, "designer_group_dialog.png");
        f->OKB->Click();
    });
    ASSERT_TRUE(frxEditGroup::EditGroup(nullptr, &Designer, g));
    EXPECT_EQ(g->Condition, "D.\"Class\"");
    EXPECT_TRUE(g->KeepTogether);
    EXPECT_FALSE(g->StartNewPage);
    EXPECT_EQ(g->OutlineText, "D.\"Class\"");
}

TEST(EditDialogTexts, ColumnPositionsAndUnits)
{
    double w = 0;
    EXPECT_EQ(frxEditPage::ColumnPositions(0, 21, 1, 1, w), std::vector<double>{0});
    EXPECT_DOUBLE_EQ(w, 19);
    EXPECT_EQ(frxEditPage::ColumnPositions(2, 21, 1, 1, w), (std::vector<double>{0, 9.5}));
    struct { int units; double mm; bool horz; double want; } cases[] = {
        {0, 210, true, 21}, {1, 25.4, true, 1}, {2, 25.4, false, 96},
        {3, 9.6 / 3.77953 * 10, true, 10}, {3, 17 / 3.77953 * 4, false, 4}, {7, 5, true, 0},
    };
    for (auto& c : cases) {
        EXPECT_NEAR(frxEditUtils::ToUnits(c.units, c.mm, c.horz), c.want, 1e-9) << c.units;
        if (c.units <= 3) EXPECT_NEAR(frxEditUtils::FromUnits(c.units, c.want, c.horz), c.mm, 1e-9) << c.units;
    }
    EXPECT_EQ(frxEditUtils::UnitText(21), "21");
    EXPECT_EQ(frxEditUtils::UnitText(29.7), "29.70");
}

TEST_F(EditDialogs, PageDialogAppliesEverythingOrNothing)
{
    Page->SetPaperWidth(210);
    Page->SetPaperHeight(297);
    Page->LeftMargin = Page->RightMargin = Page->TopMargin = Page->BottomMargin = 10;
    auto* sub = new TfrxSubreport(Page);
    sub->SetName("Subreport1");
    auto* subPage = new TfrxReportPage(&Report);
    subPage->SetName("Page2");
    sub->SetSubPage(subPage);

    // A margin that is no number: the dialog stays open and nothing changes.
    bool stayed = false;
    WhenUp<TfrxPageEditorForm>([&](TfrxPageEditorForm* f) {
        f->MirrorMarginsCB->SetChecked(true);
        f->MarginTopE->SetText("一");
        f->OKB->Click();
        GuiTest::Later([&, f] {
            stayed = f->Visible();
            f->CancelB->Click();
        });
    });
    EXPECT_FALSE(frxEditPage::EditPage(nullptr, &Designer));
    EXPECT_TRUE(stayed);
    EXPECT_FALSE(Host->Messages().empty());
    EXPECT_FALSE(Page->MirrorMargins);
    EXPECT_DOUBLE_EQ(Page->TopMargin, 10);

    std::string width, unitText, colWidth;
    std::vector<std::string> positions;
    WhenUp<TfrxPageEditorForm>([&](TfrxPageEditorForm* f) {
        width = f->WidthE->Text();
        unitText = f->UnitL7->Caption();
        // No columns count as one across the printable width.
        f->UpDown1->SetPosition(0);
        f->ColumnsChanged();
        colWidth = f->ColumnWidthE->Text();
        for (int i = 0; i < f->ColumnPositionsM->Lines()->Count(); ++i)
            positions.push_back(f->ColumnPositionsM->Lines()->Strings(i));
        f->UpDown1->SetPosition(2);
        f->ColumnsChanged();
        f->MarginLeftE->SetText("1,5");
        f->MirrorMarginsCB->SetChecked(true);
        f->DuplexCB->SetItemIndex(2);
        f->PageControl1->SetActivePage(f->OtherTS);
        GuiTest::SavePng(f, "designer_page_dialog_other.png");
        f->PageControl1->SetActivePage(f->PaperTS);
        GuiTest::SavePng(f, "designer_page_dialog.png");
        f->OKB->Click();
    });
    ASSERT_TRUE(frxEditPage::EditPage(nullptr, &Designer));
    EXPECT_EQ(width, "21");
    EXPECT_EQ(unitText, "厘米");
    EXPECT_EQ(colWidth, "19");
    EXPECT_EQ(positions, std::vector<std::string>{"0"});
    for (TfrxReportPage* p : {Page, subPage}) {
        EXPECT_DOUBLE_EQ(p->LeftMargin, 15) << p->Name();
        EXPECT_TRUE(p->MirrorMargins);
        EXPECT_EQ(p->Duplex, dmHorizontal);
        EXPECT_EQ(p->Columns(), 2);
        EXPECT_DOUBLE_EQ(p->ColumnWidth, 95);
        ASSERT_EQ(p->ColumnPositions()->Count(), 2);
        EXPECT_EQ(p->ColumnPositions()->Strings(1), "95.00");
    }

    // Inches: widths shown and read in the designer's unit.
    Designer.Units = duInches;
    WhenUp<TfrxPageEditorForm>([&](TfrxPageEditorForm* f) {
        width = f->WidthE->Text();
        unitText = f->UnitL1->Caption();
        f->CancelB->Click();
    });
    EXPECT_FALSE(frxEditPage::EditPage(nullptr, &Designer));
    EXPECT_EQ(width, "8.27");
    EXPECT_EQ(unitText, "英寸");
}

TEST(EditDialogTexts, FrameCommands)
{
    TfrxFrame f;
    struct Step {
        int tag;
        bool down;
        const char* text;
        int value;
        int typ;   // left 1, right 2, top 4, bottom 8
    } steps[] = {
        {1, true, "", 0, 4}, {3, true, "", 0, 5}, {2, true, "", 0, 13}, {1, false, "", 0, 9},
        {6, false, "", 0, 0}, {5, false, "", 0, 15}, {4, false, "", 0, 13},
    };
    auto typBits = [&] {
        return (f.Typ.Contains(ftLeft) ? 1 : 0) | (f.Typ.Contains(ftRight) ? 2 : 0) |
               (f.Typ.Contains(ftTop) ? 4 : 0) | (f.Typ.Contains(ftBottom) ? 8 : 0);
    };
    for (auto& s : steps) {
        frxEditFrame::ApplyCommand(&f, s.tag, s.down, s.text, s.value);
        EXPECT_EQ(typBits(), s.typ) << s.tag;
    }
    frxEditFrame::ApplyCommand(&f, 9, false, "1,5");
    EXPECT_DOUBLE_EQ(f.Width, 1.5);
    frxEditFrame::ApplyCommand(&f, 12, false, "3");
    EXPECT_DOUBLE_EQ(f.ShadowWidth, 3);
    frxEditFrame::ApplyCommand(&f, 10, true);
    EXPECT_TRUE(f.DropShadow);
    frxEditFrame::ApplyCommand(&f, 70, false, {}, int(clRed));
    frxEditFrame::ApplyCommand(&f, 80, false, {}, fsDot);
    frxEditFrame::ApplyCommand(&f, 110, false, {}, int(clGray));
    EXPECT_EQ(f.Color, clRed);
    EXPECT_EQ(f.Style, fsDot);
    EXPECT_EQ(f.ShadowColor, clGray);
    // A width that is no number changes nothing.
    EXPECT_THROW(frxEditFrame::ApplyCommand(&f, 9, false, "wide"), EConvertError);
    EXPECT_DOUBLE_EQ(f.Width, 1.5);
}

TEST_F(EditDialogs, FrameDialog)
{
    TfrxFrame frame;
    frame.Typ.Include(ftTop);
    bool topDown = false, bottomDown = true;
    WhenUp<TfrxFrameEditorForm>([&](TfrxFrameEditorForm* f) {
        topDown = f->FrameTopB->Down();
        bottomDown = f->FrameBottomB->Down();
        f->FrameAllB->Click();
        f->ShadowB->Click();
        f->FrameWidthCB->SetText("2");
        GuiTest::SavePng(f, "designer_frame_dialog.png");
        // A width that is no number keeps the dialog open.
        f->ShadowWidthCB->SetText("x");
        f->OkB->Click();
        GuiTest::Later([f] {
            f->ShadowWidthCB->SetText("5");
            f->OkB->Click();
        });
    });
    ASSERT_TRUE(frxEditFrame::EditFrame(nullptr, &frame));
    EXPECT_TRUE(topDown);
    EXPECT_FALSE(bottomDown);
    EXPECT_TRUE(frame.Typ.Contains(ftBottom) && frame.Typ.Contains(ftLeft) && frame.Typ.Contains(ftRight));
    EXPECT_TRUE(frame.DropShadow);
    EXPECT_DOUBLE_EQ(frame.Width, 2);
    EXPECT_DOUBLE_EQ(frame.ShadowWidth, 5);
    EXPECT_FALSE(Host->Messages().empty());
}

TEST_F(EditDialogs, PictureAndLinesDialogs)
{
    // A small bitmap file to load.
    const std::string file = (std::filesystem::temp_directory_path() / "designer_picture_test.bmp").string();
    {
        TBitmap b;
        b.SetWidth(30);
        b.SetHeight(20);
        b.Canvas()->Brush()->SetColor(clRed);
        b.Canvas()->FillRect(TRect{0, 0, 30, 20});
        b.SaveToFile(file);
    }
    TfrxPicture pic;
    EXPECT_EQ(frxEditPicture::StatusText(&pic), "空白");
    Host->QueueOpenFile({file});
    std::string loaded, cleared;
    WhenUp<TfrxPictureEditorForm>([&](TfrxPictureEditorForm* f) {
        f->LoadB->Click();
        loaded = f->StatusBar->SimpleText();
        GuiTest::SavePng(f, "designer_picture_dialog.png");
        f->CopyB->Click();
        f->ClearB->Click();
        cleared = f->StatusBar->SimpleText();
        f->PasteB->Click();
        f->OkB->Click();
    });
    ASSERT_TRUE(frxEditPicture::EditPicture(nullptr, &pic));
    std::filesystem::remove(file);
    EXPECT_EQ(loaded, "30 x 20");
    EXPECT_EQ(cleared, "空白");
    EXPECT_EQ(pic.Width(), 30);
    EXPECT_EQ(pic.Height(), 20);

    TStringList lines;
    lines.Add("一");
    WhenUp<TfrxStringsEditorForm>([](TfrxStringsEditorForm* f) {
        f->Memo->Lines()->Add("二");
        GuiTest::SavePng(f, "designer_lines_dialog.png");
        f->Memo->SetFocus();
        GuiTest::KeyDown(VK_RETURN, TShiftState{ssCtrl});
    });
    ASSERT_TRUE(frxEditStrings::EditStrings(nullptr, &lines));
    EXPECT_EQ(lines.Text(), "一\r\n二\r\n");
}

}  // namespace
