#include "frxEvaluateForm.h"

#include "Graphics.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "Variants.h"
#include "fs_iinterpreter.h"
#include "frxCtrls.h"
#include "frxRes.h"

QZ_CLASS_IMPL(TfrxEvaluateForm, TForm)

using frxCtrls::MakeControl;

namespace frxEvaluateForm {

std::string ResultText(const Variant& value)
{
    if (VarIsNull(value)) return "Null";
    if (VarIsType(value, varBoolean)) return value.AsBoolean() ? "True" : "False";
    if (VarIsStr(value)) return "'" + VarToStr(value) + "'";
    return VarToStr(value);
}

bool EvaluateExpression(TfsScript* script, const std::string& expression, Variant& value, std::string& error)
{
    // The script's own evaluation hands a compile error back as a text,
    // which cannot be told from a text result: the expression is compiled
    // on its own first, in the same scope, to know which it is.
    TfsScript check(nullptr);
    check.Parent = script->RunningScript ? script->RunningScript : script;
    check.SetSyntaxType("PascalScript");
    check.SetText("function __check__: Variant; begin Result := " + expression + " end; begin end.");
    if (!check.Compile()) {
        error = check.ErrorMessage;
        return false;
    }
    try {
        value = script->Evaluate(expression);
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    return true;
}

void Execute(TComponent* owner, TfsScript* script)
{
    TfrxEvaluateForm f(owner, script);
    f.ShowModal();
}

}  // namespace frxEvaluateForm

TfrxEvaluateForm::TfrxEvaluateForm(TComponent* owner, TfsScript* script) : TForm(owner), FScript(script)
{
    SetBorderStyle(fbsToolWindow);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(320, 170);
    SetKeyPreview(true);
    Label1 = MakeControl<TLabel>(this, this, "Label1", 8, 8, 304, 16);
    ExpressionE = MakeControl<TEdit>(this, this, "ExpressionE", 8, 26, 304, 21);
    Label2 = MakeControl<TLabel>(this, this, "Label2", 8, 56, 304, 16);
    ResultM = MakeControl<TMemo>(this, this, "ResultM", 8, 74, 304, 88);
    ResultM->SetReadOnly(true);
    frxRes::Resources().LocalizeForm(this);

    ExpressionE->OnKeyDown = [this](TObject*, WORD& key, TShiftState shift) {
        if (key == VK_RETURN && shift.Empty()) {
            Evaluate();
            key = 0;
        }
    };
    OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
        if (key == VK_ESCAPE) {
            SetModalResult(mrCancel);
            key = 0;
        }
    };
}

void TfrxEvaluateForm::DoShow()
{
    TForm::DoShow();
    ResultM->Lines()->Clear();
    SetActiveControl(ExpressionE);
    ExpressionE->SelectAll();
}

void TfrxEvaluateForm::Evaluate()
{
    Variant value;
    std::string error;
    FError = !FScript || !frxEvaluateForm::EvaluateExpression(FScript, ExpressionE->Text(), value, error);
    if (FError) {
        ResultM->Font()->SetColor(clRed);
        ResultM->SetText(frxRes::Resources().Get("mbError") + ": " + error);
    } else {
        ResultM->Font()->SetColor(clWindowText);
        ResultM->SetText(frxEvaluateForm::ResultText(value));
    }
    ExpressionE->SelectAll();
}
