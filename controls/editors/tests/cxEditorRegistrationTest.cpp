// The check box, currency, button, hyperlink and radio group units register
// their properties classes with the texts the editor registry shows.
#include "cxButtonEdit.h"
#include "cxCheckBox.h"
#include "cxCurrencyEdit.h"
#include "cxHyperLinkEdit.h"
#include "cxRadioGroup.h"

#include <gtest/gtest.h>

TEST(EditorRegistration, UnitsRegisterTheirPropertiesWithTheirDescriptions)
{
    cxCheckBox::Initialize();
    cxCurrencyEdit::Initialize();
    cxButtonEdit::Initialize();
    cxHyperLinkEdit::Initialize();
    cxRadioGroup::Initialize();
    cxRadioGroup::Initialize();   // once only
    struct Case {
        TClass Class;
        const char* Description;
    };
    const Case cases[] = {
        {TcxCheckBoxProperties::StaticClass(), "CheckBox|Represents a check box control that allows selecting an option"},
        {TcxCurrencyEditProperties::StaticClass(), "CurrencyEdit|Represents an editor enabling editing currency data"},
        {TcxButtonEditProperties::StaticClass(), "ButtonEdit|Represents an edit control with embedded buttons"},
        {TcxHyperLinkEditProperties::StaticClass(), "HyperLink|Represents a text editor with hyperlink functionality"},
        {TcxRadioGroupProperties::StaticClass(), "RadioGroup|Represents a group of radio buttons"},
    };
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    for (const Case& c : cases) {
        int i = r->IndexOfClass(c.Class);
        ASSERT_GE(i, 0) << c.Description;
        EXPECT_EQ(r->GetDescription(i), c.Description);
    }
    int radio = 0;
    for (int i = 0; i < r->Count(); ++i) radio += r->GetClass(i) == TcxRadioGroupProperties::StaticClass();
    EXPECT_EQ(radio, 1);
}
