// The display-format dialog: a category (text, number, date and time,
// Boolean), a sample format of that category, the format string and, for
// numbers, the decimal separator.
#pragma once

#include "Forms.h"

#include <memory>
#include <string>
#include <vector>

class TButton;
class TEdit;
class TLabel;
class TListBox;
class TfrxFormat;

class TfrxFormatEditorForm : public TForm {
    QZ_CLASS(TfrxFormatEditorForm, TForm)
public:
    explicit TfrxFormatEditorForm(TComponent* owner = nullptr);
    ~TfrxFormatEditorForm() override;

    // The format being edited: filled by the caller, read after OK.
    TfrxFormat* Format() const { return FFormat.get(); }

    TLabel *CategoryL, *FormatL, *FormatStrL, *SeparatorL;
    TListBox *CategoryLB, *FormatLB;
    TEdit *FormatE, *SeparatorE;
    TButton *OkB, *CancelB;

protected:
    void DoShow() override;
    void DoHide() override;

private:
    void CategoryClick();
    void FormatClick();
    std::unique_ptr<TfrxFormat> FFormat;
};

namespace frxEditFormat {
// The sample entries ("sample;format") the category offers, from the text
// table (keys fkNumber1 .. fkNumber10 and so on); none for text.
std::vector<std::string> FormatEntries(int kind);
// The parts of an entry before and after its first ";".
std::string EntrySample(const std::string& entry);
std::string EntryFormat(const std::string& entry);
// The separator a format keeps: the first character typed, else the system's.
std::string SeparatorOf(const std::string& typed);
// Opens the dialog on a copy of the format; true and the format changed after OK.
bool EditFormat(TComponent* owner, TfrxFormat* format);
}  // namespace frxEditFormat
