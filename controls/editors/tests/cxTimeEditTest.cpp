#include "cxTimeEdit.h"

#include "DateUtils.h"
#include "EditOnForm.h"
#include "EditorsTestSupport.h"
#include "Windows.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// Sets the AM/PM designators for one test and puts the old ones back,
// rebuilding the masks both times.
struct DesignatorsScope {
    std::string OldAm = FormatSettings.TimeAMString, OldPm = FormatSettings.TimePMString;
    DesignatorsScope(const std::string& AAm, const std::string& APm)
    {
        FormatSettings.TimeAMString = AAm;
        FormatSettings.TimePMString = APm;
        cxTimeEdit::BuildAmPmMasks();
    }
    ~DesignatorsScope()
    {
        FormatSettings.TimeAMString = OldAm;
        FormatSettings.TimePMString = OldPm;
        cxTimeEdit::BuildAmPmMasks();
    }
};

class TimeEditTest : public TEditOnForm<TcxTimeEdit> {
protected:
    void SetUp() override
    {
        TEditOnForm<TcxTimeEdit>::SetUp();
        SetBeepSink([](UINT) {});
    }
    void TearDown() override
    {
        TEditOnForm<TcxTimeEdit>::TearDown();
        SetBeepSink(nullptr);
    }
    void Focus()
    {
        Edit->SetFocus();
        GuiTest::ProcessEvents();
    }
    void Caret(int APos)
    {
        Edit->SetSelStart(APos);
        Edit->SetSelLength(0);
    }
    std::string Text() { return Edit->GetDisplayText(); }
    SeparatorsScope Separators{'-', ':'};
    DesignatorsScope Designators{"AM", "PM"};
};

}  // namespace

TEST(TimeEditFormats, MasksFollowTheDesignators)
{
    SeparatorsScope separators('-', ':');
    struct Case {
        const char* Am;
        const char* Pm;
        const char* Mask12;
    };
    const Case cases[] = {
        {"AM", "PM", "00:00:00 cc;1;0"},
        {"", "", "00:00:00;1;0"},
        {"上午", "下午", "00:00:00 cc;1;0"},   // characters, not bytes
        {"a.m.", "p.m.", "00:00:00 cccc;1;0"},
    };
    for (const Case& c : cases) {
        DesignatorsScope d(c.Am, c.Pm);
        EXPECT_EQ(cxTimeEdit::TimeEditFormats(tfHourMinSec, false).Mask, c.Mask12) << c.Am;
        EXPECT_EQ(cxTimeEdit::TimeEditFormats(tfHourMinSec, true).Mask, "00:00:00;1;0") << c.Am;
    }
    DesignatorsScope d("AM", "PM");
    EXPECT_EQ(cxTimeEdit::TimeEditFormats(tfHourMin, false).Mask, "00:00 cc;1;0");
    EXPECT_EQ(cxTimeEdit::TimeEditFormats(tfHour, false).Mask, "00 cc;1;0");
    EXPECT_EQ(cxTimeEdit::TimeEditFormats(tfHour, true).Format, "hh");
    EXPECT_EQ(cxTimeEdit::TimeEditFormats(tfHourMin, false).Format, "hh:nn ampm");
}

TEST(TimeEditFormats, ALocaleChangeRebuildsTheMasksOfEditsToo)
{
    SeparatorsScope separators('-', ':');
    cxTimeEdit::Initialize();
    std::string oldAm = FormatSettings.TimeAMString, oldPm = FormatSettings.TimePMString;
    FormatSettings.TimeAMString = "AM";
    FormatSettings.TimePMString = "PM";
    cxFormats::GetFormatController()->RegionalSettingsChanged();
    TcxTimeEditProperties p;
    p.SetUse24HourFormat(false);
    EXPECT_EQ(p.EditMask(), "00:00:00 cc;1;0");
    FormatSettings.TimeAMString.clear();
    FormatSettings.TimePMString.clear();
    cxFormats::GetFormatController()->RegionalSettingsChanged();
    EXPECT_EQ(p.EditMask(), "00:00:00;1;0");
    FormatSettings.TimeAMString = oldAm;
    FormatSettings.TimePMString = oldPm;
    cxFormats::GetFormatController()->RegionalSettingsChanged();
    cxTimeEdit::Finalize();
    EXPECT_NE(cxEdit::GetRegisteredEditProperties()->IndexOfClass(TcxTimeEditProperties::StaticClass()), -1);
}

TEST_F(TimeEditTest, PartUnderTheCaret)
{
    Edit->SetTime(EncodeTime(9, 15, 30, 0));
    Focus();
    ASSERT_EQ(Text(), "09:15:30");
    // The caret alone, past the mask's corrections: a caret right after a
    // separator belongs to the part before it.
    auto rawCaret = [&](int p) { Edit->InnerEdit()->Perform(EM_SETSEL, WPARAM(p), LPARAM(p)); };
    const TcxTimePart parts[] = {tpHour, tpHour, tpHour, tpHour, tpMin, tpMin, tpMin, tpSec, tpSec};
    for (int p = 0; p <= 8; ++p) {
        rawCaret(p);
        EXPECT_EQ(Edit->GetTimePartAtCaret(), parts[p]) << p;
    }
    // The mask shows the caret as a one-character selection.
    Caret(3);
    EXPECT_EQ(Edit->GetTimePartAtCaret(), tpMin);
    Edit->Properties()->SetUse24HourFormat(false);
    Edit->SetTime(EncodeTime(9, 15, 30, 0));
    ASSERT_EQ(Text(), "09:15:30 AM");
    rawCaret(9);
    EXPECT_EQ(Edit->GetTimePartAtCaret(), tpAMPM);
    rawCaret(8);
    EXPECT_EQ(Edit->GetTimePartAtCaret(), tpSec);
}

TEST_F(TimeEditTest, SpinsThePartAtTheCaretWithinTheDay)
{
    Edit->SetTime(EncodeTime(23, 30, 0, 0));
    Focus();
    struct Step {
        int Caret, Button;
        const char* Text;
    };
    const Step steps[] = {
        {1, 1, "23:30:00"},   // the hour would pass midnight: refused
        {4, 1, "23:31:00"},
        {4, 3, "23:41:00"},   // fast: ten minutes
        {7, 3, "23:41:10"},
        {7, 0, "23:41:09"},
        {1, 0, "22:41:09"},
        {4, 2, "22:31:09"},
    };
    for (const Step& s : steps) {
        Caret(s.Caret);
        Edit->DoSpin(s.Button);
        EXPECT_EQ(Text(), s.Text) << s.Caret << " " << s.Button;
    }
    // The selection stays on the part spun.
    Caret(4);
    Edit->DoSpin(1);
    EXPECT_EQ(Edit->GetTimePartAtCaret(), tpMin);
    Edit->SetTime(0);
    Caret(1);
    EXPECT_FALSE(Edit->DoSpin(0));   // before midnight: refused
    EXPECT_EQ(Text(), "00:00:00");
}

TEST_F(TimeEditTest, KeysSpinAndTheDateStays)
{
    Edit->SetEditValue(Variant::FromDate(EncodeDate(2024, 5, 1) + EncodeTime(8, 0, 0, 0)));
    Focus();
    Caret(1);
    GuiTest::KeyPress(VK_UP);
    EXPECT_EQ(Text(), "09:00:00");
    EXPECT_DOUBLE_EQ(Edit->EditValue().AsDouble(), EncodeDate(2024, 5, 1) + EncodeTime(9, 0, 0, 0));
    EXPECT_DOUBLE_EQ(Edit->DatePart(), EncodeDate(2024, 5, 1));
    // Clear keeps the date and sets 00:00:00.
    Edit->Clear();
    EXPECT_DOUBLE_EQ(Edit->EditValue().AsDouble(), EncodeDate(2024, 5, 1));
    EXPECT_EQ(Text(), "00:00:00");
    EXPECT_DOUBLE_EQ(Edit->Time(), 0);
}

TEST_F(TimeEditTest, TheDesignatorToggles)
{
    Edit->Properties()->SetUse24HourFormat(false);
    Edit->SetTime(EncodeTime(9, 15, 0, 0));
    Focus();
    ASSERT_EQ(Text(), "09:15:00 AM");
    EXPECT_EQ(Edit->GetValue().AsInteger(), 9 * 3600 + 15 * 60);
    for (int button : {1, 0}) {
        Caret(10);
        Edit->DoSpin(button);
        EXPECT_EQ(Text(), "09:15:00 PM") << button;
        EXPECT_EQ(Edit->GetValue().AsInteger(), 21 * 3600 + 15 * 60);
        Caret(10);
        Edit->DoSpin(button);
        EXPECT_EQ(Text(), "09:15:00 AM") << button;
    }
    // Backspace and Delete inside the designator change nothing.
    Edit->InnerEdit()->Perform(EM_SETSEL, 11, 11);
    GuiTest::KeyPress(VK_BACK);
    GuiTest::KeyPress(VK_DELETE);
    EXPECT_EQ(Text(), "09:15:00 AM");
    // The hours only, on a 12-hour clock: 07 PM is 19:00.
    Edit->Properties()->SetTimeFormat(tfHour);
    Edit->SetTime(EncodeTime(19, 0, 0, 0));
    EXPECT_EQ(Text(), "07 PM");
    EXPECT_NEAR(Edit->Time(), EncodeTime(19, 0, 0, 0), 1e-9);
}

TEST_F(TimeEditTest, TypedHoursAndMinutesAreChecked)
{
    struct Case {
        bool Use24;
        int Caret;
        char Ch;
        bool Accepted;
    };
    // Over 09: a 2 first makes 29, a 1 makes 19; 12-hour hours run 1-12.
    const Case cases[] = {
        {true, 0, '2', false}, {true, 0, '1', true},  {false, 0, '2', false}, {false, 0, '1', false},
        {false, 1, '1', true}, {true, 1, '3', true},  {true, 3, '6', false},  {true, 3, '5', true},
        {true, 4, '9', true},  {true, 6, '6', false}, {true, 0, 'x', false},
    };
    for (const Case& c : cases) {
        Edit->Properties()->SetUse24HourFormat(c.Use24);
        Edit->SetTime(EncodeTime(9, 15, 0, 0));
        Focus();
        Caret(c.Caret);
        std::string before = Text();
        GuiTest::TypeText(std::string(1, c.Ch));
        EXPECT_EQ(Text() != before, c.Accepted) << c.Use24 << " " << c.Caret << " " << c.Ch << " " << Text();
    }
}

TEST_F(TimeEditTest, DisplayAndConversions)
{
    TcxCustomTimeEditProperties* p = Edit->Properties();
    Variant d;
    p->PrepareDisplayValue(Null(), d, true);
    EXPECT_EQ(VarToStr(d), "00:00:00");
    p->PrepareDisplayValue(Null(), d, false);
    EXPECT_EQ(VarToStr(d), "");
    p->PrepareDisplayValue(Variant("2024-05-01 13:45:10"), d, false);
    EXPECT_EQ(VarToStr(d), "13:45:10");
    p->SetShowDate(true);
    p->PrepareDisplayValue(Variant::FromDate(EncodeDate(2024, 5, 1) + 0.5), d, false);
    EXPECT_EQ(VarToStr(d), DateTimeToStr(EncodeDate(2024, 5, 1) + 0.5));
    p->PrepareDisplayValue(Variant::FromDate(0.5), d, false);
    EXPECT_EQ(VarToStr(d), "12:00:00");   // no date to show
    try {
        p->PrepareDisplayValue(Variant::FromError(1), d, false);
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(std::string(e.what()), "Could not convert to time");
    }
    // An unparsable typed time is 00:00 on the current date.
    Edit->SetEditValue(Variant::FromDate(EncodeDate(2024, 5, 1) + 0.25));
    Variant v = Edit->DisplayValueToEditValue("xx:yy:zz");
    EXPECT_DOUBLE_EQ(v.AsDouble(), EncodeDate(2024, 5, 1));
    // A negative date counts its time backwards.
    Edit->SetEditValue(Variant::FromDate(-3.25));
    EXPECT_DOUBLE_EQ(Edit->DatePart(), -3);
    EXPECT_DOUBLE_EQ(Edit->DisplayValueToEditValue("06:00:00").AsDouble(), -3.25);
}
