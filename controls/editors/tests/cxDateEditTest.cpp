#include "cxDateEdit.h"

#include "DateUtils.h"
#include "Forms.h"
#include "GuiTesting.h"
#include "HostServices.h"
#include "SysUtils.h"
#include "EditorsTestSupport.h"
#include "cxDateUtils.h"
#include "cxFormats.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"

#include <gtest/gtest.h>

namespace {

TDateTime At(int y, int m, int d, int hh = 0, int nn = 0) { return EncodeDate(y, m, d) + (hh * 60 + nn) / 1440.0; }

class DateEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        cxLookAndFeels::Initialize();
        cxLookAndFeelPainters::Initialize();
        OldClock = SetClock(std::make_shared<TFixedClock>(At(2024, 7, 15, 9, 0)));
        OldDateFormat = FormatSettings.ShortDateFormat;
        OldTimeFormat = FormatSettings.LongTimeFormat;
        FormatSettings.ShortDateFormat = "yyyy-mm-dd";
        FormatSettings.LongTimeFormat = "hh:nn:ss";
        cxFormats::GetFormatController()->GetFormats();
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 400, 300);
        Edit = new TcxDateEdit(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(10, 10, 160, 21);
        Edit->Properties()->SetInputKind(ikStandard);
        Other = new TcxDateEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(10, 60, 160, 21);
        Form->Show();
        GuiTest::ProcessEvents();
    }
    void TearDown() override
    {
        delete Form;
        GuiTest::ProcessEvents();
        SetClock(OldClock);
        FormatSettings.ShortDateFormat = OldDateFormat;
        FormatSettings.LongTimeFormat = OldTimeFormat;
        cxFormats::GetFormatController()->GetFormats();
    }
    // Types a text over the whole edit and leaves it.
    void TypeAndLeave(const std::string& s)
    {
        Edit->SetFocus();
        GuiTest::ProcessEvents();
        Edit->SelectAll();
        if (s.empty()) GuiTest::KeyPress(VK_DELETE);
        else GuiTest::TypeText(s);
        Other->SetFocus();
        GuiTest::ProcessEvents();
    }
    std::shared_ptr<IClock> OldClock;
    std::string OldDateFormat, OldTimeFormat;
    SeparatorsScope Separators;
    TForm* Form = nullptr;
    TcxDateEdit* Edit = nullptr;
    TcxDateEdit* Other = nullptr;
};

}  // namespace

TEST_F(DateEditTest, ANewDateKeepsTheTimeOfDayOnlyWithSaveTime)
{
    struct Case {
        bool saveTime;
        TDateTime expect;
    } cases[] = {{true, At(2024, 4, 1, 14, 30)}, {false, At(2024, 4, 1)}};
    for (const Case& c : cases) {
        Edit->Properties()->SetSaveTime(c.saveTime);
        Edit->SetEditValue(VarFromDateTime(At(2024, 3, 5, 14, 30)));
        TypeAndLeave("2024-04-01");
        EXPECT_NEAR(Edit->Date(), c.expect, 1e-6) << c.saveTime;
    }
}

TEST_F(DateEditTest, TheTimeShowsOnlyUnfocusedAndWithShowTime)
{
    Edit->SetEditValue(VarFromDateTime(At(2024, 3, 5, 14, 30)));
    Variant v;
    Edit->Properties()->PrepareDisplayValue(Edit->EditValue(), v, false);
    EXPECT_EQ(VarToStr(v), "2024-03-05 14:30:00");
    Edit->Properties()->PrepareDisplayValue(Edit->EditValue(), v, true);
    EXPECT_EQ(VarToStr(v), "2024-03-05");
    Edit->Properties()->SetShowTime(false);
    Edit->Properties()->PrepareDisplayValue(Edit->EditValue(), v, false);
    EXPECT_EQ(VarToStr(v), "2024-03-05");
    // What cannot be a date says so.
    EXPECT_THROW(Edit->Properties()->PrepareDisplayValue(Variant(std::string("abc")), v, false), Exception);
    try {
        Edit->Properties()->PrepareDisplayValue(Variant(std::string("abc")), v, false);
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Could not convert to date");
    }
}

TEST_F(DateEditTest, AnInvalidTextBecomesWhatDateOnErrorSays)
{
    Edit->SetDate(At(2024, 3, 5));
    Edit->Properties()->SetDateOnError(deToday);
    TypeAndLeave("abc");
    EXPECT_NEAR(Edit->Date(), At(2024, 7, 15), 1e-9);
    Edit->Properties()->SetDateOnError(deNull);
    TypeAndLeave("abc");
    EXPECT_TRUE(VarIsNull(Edit->EditValue()));
    // Kept: the error is raised.
    Edit->SetDate(At(2024, 3, 5));
    Edit->Properties()->SetDateOnError(deNoChange);
    Edit->SetFocus();
    GuiTest::ProcessEvents();
    Edit->SelectAll();
    GuiTest::TypeText("abc");
    try {
        Edit->ValidateEdit(true);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid Date");
    }
}

TEST_F(DateEditTest, ClearingOrEmptyingTheTextGivesNoDate)
{
    Edit->SetEditValue(VarFromDateTime(At(2024, 3, 5, 14, 30)));
    Edit->Clear();
    EXPECT_TRUE(VarIsNull(Edit->EditValue()));
    EXPECT_EQ(Edit->Date(), cxDateUtils::NullDate);
    // Emptied with a kept time of day: still no date, not 30 December 1899.
    Edit->SetEditValue(VarFromDateTime(At(2024, 3, 5, 14, 30)));
    ASSERT_GT(Edit->SavedTime(), 0);
    TypeAndLeave("");
    EXPECT_TRUE(VarIsNull(Edit->EditValue()));
    EXPECT_EQ(Edit->SavedTime(), 0);
}

TEST_F(DateEditTest, TheRangePullsTheDateIn)
{
    Edit->Properties()->SetMinDate(At(2024, 1, 1));
    Edit->Properties()->SetMaxDate(At(2024, 12, 31));
    Edit->SetDate(At(2025, 6, 1));
    Edit->KeepEditValueInBounds();
    EXPECT_NEAR(Edit->Date(), At(2024, 12, 31), 1e-9);
    Edit->SetDate(At(2023, 6, 1));
    Edit->KeepEditValueInBounds();
    EXPECT_NEAR(Edit->Date(), At(2024, 1, 1), 1e-9);
}

TEST_F(DateEditTest, ThePopupCalendarChoosesADateKeepingTheTime)
{
    Edit->SetEditValue(VarFromDateTime(At(2024, 3, 5, 14, 30)));
    Edit->SetFocus();
    GuiTest::ProcessEvents();
    Edit->DropDown();
    GuiTest::ProcessEvents();
    ASSERT_TRUE(Edit->HasPopupWindow());
    EXPECT_EQ(Edit->Calendar()->SelectDate(), At(2024, 3, 5));
    // The same date changes nothing.
    Edit->SetModifiedAfterEnter(false);
    Edit->DateChosen(At(2024, 3, 5));
    EXPECT_FALSE(Edit->ModifiedAfterEnter());
    Edit->DateChosen(At(2024, 3, 9));
    EXPECT_TRUE(Edit->ModifiedAfterEnter());
    EXPECT_NEAR(Edit->Date(), At(2024, 3, 9, 14, 30), 1e-6);
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Edit->PopupWindow()));
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) GuiTest::SavePng(shot.get(), std::string(dir) + "/date-edit.png");
    Edit->CloseUp(false);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Edit->HasPopupWindow());
    EXPECT_EQ(Edit->Properties()->PopupControl(), Edit->Calendar());
}

TEST(DateEditPropertiesTest, DefaultsButtonsAndTheRegistry)
{
    TcxDateEditProperties p;
    EXPECT_EQ(p.InputKind(), ikRegExpr);
    EXPECT_EQ(p.MaskKind(), emkRegExprEx);
    EXPECT_FALSE(p.ImmediateDropDown());
    EXPECT_FALSE(p.PopupSizeable());
    EXPECT_TRUE(p.SaveTime());
    EXPECT_TRUE(p.ShowTime());
    EXPECT_TRUE(p.PostEditValueOnClosed());
    EXPECT_FALSE(p.IsDateButtonsAssigned());
    EXPECT_EQ(p.DateButtons(), (TDateButtons{btnClear, btnToday}));
    p.SetDateButtons(TDateButtons{btnToday});
    TcxDateEditProperties q;
    q.Assign(&p);
    EXPECT_TRUE(q.IsDateButtonsAssigned());
    EXPECT_EQ(q.DateButtons(), TDateButtons{btnToday});
    p.SetInputKind(ikStandard);
    EXPECT_FALSE(p.IsMasked());
    cxDateEdit::Initialize();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    EXPECT_EQ(r->GetDescription(r->IndexOfClass(TcxDateEditProperties::StaticClass())),
              "DateEdit|Represents an edit control with a dropdown calendar");
}
