#include "frxEditFormat.h"

#include "Graphics.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxCtrls.h"
#include "frxRes.h"

QZ_CLASS_IMPL(TfrxFormatEditorForm, TForm)

using frxCtrls::MakeControl;

namespace frxEditFormat {

namespace {
const char* const CategoryKeys[] = {"fkText", "fkNumber", "fkDateTime", "fkBoolean"};
}

std::vector<std::string> FormatEntries(int kind)
{
    std::vector<std::string> out;
    if (kind <= 0 || kind > 3) return out;
    for (int n = 1; n <= 10; ++n) {
        const std::string key = std::string(CategoryKeys[kind]) + std::to_string(n);
        const std::string text = frxRes::Resources().Get(key);
        // A missing key answers with itself.
        if (text.find("fk") == std::string::npos) out.push_back(text);
    }
    return out;
}

std::string EntrySample(const std::string& entry)
{
    const size_t p = entry.find(';');
    return p == std::string::npos ? entry : entry.substr(0, p);
}

std::string EntryFormat(const std::string& entry)
{
    const size_t p = entry.find(';');
    return p == std::string::npos ? std::string() : entry.substr(p + 1);
}

std::string SeparatorOf(const std::string& typed)
{
    if (typed.empty()) return std::string(1, FormatSettings.DecimalSeparator);
    // One character, which may take several bytes.
    size_t n = 1;
    while (n < typed.size() && (static_cast<unsigned char>(typed[n]) & 0xC0) == 0x80) ++n;
    return typed.substr(0, n);
}

bool EditFormat(TComponent* owner, TfrxFormat* format)
{
    TfrxFormatEditorForm f(owner);
    f.Format()->Assign(format);
    if (f.ShowModal() != mrOk) return false;
    format->Assign(f.Format());
    return true;
}

}  // namespace frxEditFormat

TfrxFormatEditorForm::TfrxFormatEditorForm(TComponent* owner) : TForm(owner), FFormat(std::make_unique<TfrxFormat>())
{
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(400, 262);
    CategoryL = MakeControl<TLabel>(this, this, "CategoryL", 8, 8, 120, 16);
    CategoryLB = MakeControl<TListBox>(this, this, "CategoryLB", 8, 26, 130, 160);
    FormatL = MakeControl<TLabel>(this, this, "FormatL", 146, 8, 120, 16);
    FormatLB = MakeControl<TListBox>(this, this, "FormatLB", 146, 26, 246, 160);
    FormatLB->SetStyle(lbOwnerDrawFixed);
    FormatStrL = MakeControl<TLabel>(this, this, "FormatStrL", 8, 198, 110, 16);
    FormatE = MakeControl<TEdit>(this, this, "FormatE", 120, 194, 150, 21);
    SeparatorL = MakeControl<TLabel>(this, this, "SeparatorL", 8, 228, 110, 16);
    SeparatorE = MakeControl<TEdit>(this, this, "SeparatorE", 120, 224, 40, 21);
    OkB = MakeControl<TButton>(this, this, "OkB", 236, 230, 75, 25);
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, this, "CancelB", 317, 230, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    frxRes::Resources().LocalizeForm(this);

    for (const char* key : frxEditFormat::CategoryKeys)
        CategoryLB->Items()->Add(frxRes::Resources().Get(key));
    CategoryLB->OnClick = [this](TObject*) { CategoryClick(); };
    FormatLB->OnClick = [this](TObject*) { FormatClick(); };
    // Only the sample shows; the format string goes to the edit on a click.
    FormatLB->OnDrawItem = [this](TWinControl*, int index, TRect r, TOwnerDrawState) {
        TCanvas* c = FormatLB->Canvas();
        c->FillRect(r);
        c->TextOut(r.Left + 2, r.Top + 1, frxEditFormat::EntrySample(FormatLB->Items()->Strings(index)));
    };
}

TfrxFormatEditorForm::~TfrxFormatEditorForm() = default;

void TfrxFormatEditorForm::CategoryClick()
{
    const int kind = CategoryLB->ItemIndex();
    FormatLB->Items()->Clear();
    SeparatorE->SetEnabled(kind == fkNumeric);
    SeparatorL->SetEnabled(kind == fkNumeric);
    for (const std::string& e : frxEditFormat::FormatEntries(kind)) FormatLB->Items()->Add(e);
}

void TfrxFormatEditorForm::FormatClick()
{
    const int i = FormatLB->ItemIndex();
    if (i >= 0) FormatE->SetText(frxEditFormat::EntryFormat(FormatLB->Items()->Strings(i)));
}

void TfrxFormatEditorForm::DoShow()
{
    TForm::DoShow();
    CategoryLB->SetItemIndex(int(FFormat->Kind));
    CategoryClick();
    int found = -1;
    for (int i = 0; i < FormatLB->Items()->Count(); ++i)
        if (frxEditFormat::EntryFormat(FormatLB->Items()->Strings(i)) == FFormat->FormatStr) {
            found = i;
            break;
        }
    FormatLB->SetItemIndex(found);
    FormatE->SetText(FFormat->FormatStr);
    SeparatorE->SetText(FFormat->DecimalSeparator);
}

void TfrxFormatEditorForm::DoHide()
{
    TForm::DoHide();
    if (ModalResult() != mrOk) return;
    const int kind = CategoryLB->ItemIndex();
    FFormat->Kind = TfrxFormatKind(kind < 0 ? 0 : kind);
    FFormat->FormatStr = FormatE->Text();
    FFormat->DecimalSeparator = frxEditFormat::SeparatorOf(SeparatorE->Text());
}
