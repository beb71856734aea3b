#include "frxEditMemo.h"

#include "ComCtrls.h"
#include "Graphics.h"
#include "IniFiles.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxCtrls.h"
#include "frxDock.h"
#include "frxEditFormat.h"
#include "frxEditSysMemo.h"
#include "frxCustomDesigner.h"
#include "frxEditUtils.h"
#include "frxRes.h"

QZ_CLASS_IMPL(TfrxMemoEditorForm, TForm)

using frxCtrls::MakeControl;

namespace {
const char* const Section = "Form.TfrxMemoEditorForm";

std::unique_ptr<TCustomIniFile> SettingsStore(TfrxCustomDesigner* d)
{
    return d && d->Report() ? d->Report()->OpenSettingsStore() : nullptr;
}
}  // namespace

namespace frxEditMemo {

std::string ExpressionInsertText(const std::string& expression, const std::string& delimiters)
{
    const size_t comma = delimiters.find(',');
    const std::string open = comma == std::string::npos ? delimiters : delimiters.substr(0, comma);
    const std::string close = comma == std::string::npos ? std::string() : delimiters.substr(comma + 1);
    std::string e = expression;
    if (e.size() >= 2 && e.front() == '<' && e.back() == '>' && std::count(e.begin(), e.end(), '<') == 1)
        e = e.substr(1, e.size() - 2);
    return open + e + close;
}

std::string LocalFormatTag(int kind, const std::string& formatStr, const std::string& separator)
{
    switch (kind) {
    case fkNumeric: {
        const std::string sep = frxEditFormat::SeparatorOf(separator);
        std::string out;
        for (char ch : formatStr) {
            if (ch == ',' || ch == '-' || ch == '.') out += sep;
            else out += ch;
        }
        return " #n" + out;
    }
    case fkDateTime: return " #d" + formatStr;
    case fkBoolean: return " #b" + formatStr;
    default: return std::string();
    }
}

bool EditMemo(TComponent* owner, TfrxCustomDesigner* designer, TfrxCustomMemoView* view)
{
    TfrxMemoEditorForm f(owner, designer);
    f.MemoView = view;
    if (f.ShowModal() != mrOk) return false;
    view->Memo()->Assign(f.Memo->Lines());
    return true;
}

}  // namespace frxEditMemo

TfrxMemoEditorForm::TfrxMemoEditorForm(TComponent* owner, TfrxCustomDesigner* designer)
    : TForm(owner), FDesigner(designer)
{
    TForm::SetPosition(poScreenCenter);
    SetClientSize(480, 320);
    ToolBar = MakeControl<TToolBar>(this, this, "ToolBar", 0, 0, 480, 26);
    ToolBar->SetAlign(alTop);
    ToolBar->SetShowCaptions(true);
    ToolBar->SetList(true);
    ToolBar->SetButtonWidth(76);
    using frxEditUtils::AddToolButton;
    ExprB = AddToolButton(this, ToolBar, "ExprB");
    AggregateB = AddToolButton(this, ToolBar, "AggregateB");
    LocalFormatB = AddToolButton(this, ToolBar, "LocalFormatB");
    WordWrapB = AddToolButton(this, ToolBar, "WordWrapB");
    WordWrapB->SetStyle(tbsCheck);
    CancelB = AddToolButton(this, ToolBar, "CancelB");
    OkB = AddToolButton(this, ToolBar, "OkB");
    Memo = MakeControl<TMemo>(this, this, "Memo", 0, 26, 480, 294);
    Memo->SetAlign(alClient);
    Memo->SetScrollBars(ssBoth);
    Memo->SetWordWrap(false);
    frxRes::Resources().LocalizeForm(this);
    frxEditUtils::CaptionButtonsFromHints(ToolBar);

    ExprB->OnClick = [this](TObject*) { InsertExpression(); };
    AggregateB->OnClick = [this](TObject*) { InsertAggregate(); };
    LocalFormatB->OnClick = [this](TObject*) { InsertLocalFormat(); };
    WordWrapB->OnClick = [this](TObject*) { SetWordWrap(WordWrapB->Down()); };
    OkB->OnClick = [this](TObject*) { SetModalResult(mrOk); };
    CancelB->OnClick = [this](TObject*) { SetModalResult(mrCancel); };
    Memo->OnKeyDown = [this](TObject*, WORD& key, TShiftState shift) {
        if (key == VK_RETURN && shift.Contains(ssCtrl)) {
            key = 0;
            SetModalResult(mrOk);
        } else if (key == VK_ESCAPE) {
            key = 0;
            SetModalResult(mrCancel);
        }
    };
    // The character of the key that closed the dialog stays out of the text.
    Memo->OnKeyPress = [this](TObject*, char& key) {
        if (ModalResult() != mrNone) key = 0;
    };
}

void TfrxMemoEditorForm::SetWordWrap(bool wrap)
{
    WordWrapB->SetDown(wrap);
    Memo->SetWordWrap(wrap);
    Memo->SetScrollBars(wrap ? ssVertical : ssBoth);
}

void TfrxMemoEditorForm::DoShow()
{
    TForm::DoShow();
    std::unique_ptr<TCustomIniFile> store = SettingsStore(FDesigner);
    bool wrap = false;
    if (store) {
        store->WriteBool(Section, "Visible", true);
        wrap = store->ReadBool(Section, "WordWrap", false);
        frxDock::RestoreFormPosition(store.get(), this);
    }
    SetWordWrap(wrap);
    if (MemoView) {
        if (FDesigner && FDesigner->UseObjectFont) {
            Memo->Font()->SetName(MemoView->Font()->Name());
            Memo->Font()->SetHeight(MemoView->Font()->Height());
            Memo->Font()->SetStyle(TFontStyles::FromInt(MemoView->Font()->Style()));
            Memo->Font()->SetColor(clBlack);
        } else if (FDesigner) {
            Memo->Font()->SetName(FDesigner->MemoFontName);
            Memo->Font()->SetSize(FDesigner->MemoFontSize);
        }
        Memo->Lines()->Assign(MemoView->Memo());
    }
    Memo->SetSelStart(0);
    Memo->SetSelLength(0);
}

void TfrxMemoEditorForm::DoHide()
{
    TForm::DoHide();
    std::unique_ptr<TCustomIniFile> store = SettingsStore(FDesigner);
    if (!store) return;
    frxDock::SaveFormPosition(store.get(), this);
    store->WriteBool(Section, "WordWrap", Memo->WordWrap());
}

void TfrxMemoEditorForm::InsertExpression()
{
    if (!FDesigner) return;
    const std::string e = FDesigner->InsertExpression("");
    if (e.empty()) return;
    const std::string delimiters = MemoView ? MemoView->ExpressionDelimiters : std::string("[,]");
    Memo->SetSelText(frxEditMemo::ExpressionInsertText(e, delimiters));
}

void TfrxMemoEditorForm::InsertAggregate()
{
    std::string text;
    if (frxEditSysMemo::EditSysText(this, FDesigner, text, true)) Memo->SetSelText(text);
}

void TfrxMemoEditorForm::InsertLocalFormat()
{
    TfrxFormatEditorForm f(this);
    if (f.ShowModal() != mrOk) return;
    const std::string tag =
        frxEditMemo::LocalFormatTag(int(f.Format()->Kind), f.Format()->FormatStr, f.Format()->DecimalSeparator);
    if (tag.empty()) return;
    // A tag goes inside the expression's closing bracket.
    const int caret = Memo->SelStart();
    const std::string all = Memo->Text();
    if (caret > 0 && Memo->SelLength() == 0) {
        // The caret counts characters; the character before it is ASCII "]" or not.
        int chars = 0;
        size_t i = 0;
        size_t prev = 0;
        for (; i < all.size() && chars < caret; ++chars) {
            prev = i;
            ++i;
            while (i < all.size() && (static_cast<unsigned char>(all[i]) & 0xC0) == 0x80) ++i;
        }
        if (chars == caret && all[prev] == ']') Memo->SetSelStart(caret - 1);
    }
    Memo->SetSelText(tag);
}
