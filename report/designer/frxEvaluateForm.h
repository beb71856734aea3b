// The evaluate window: an expression computed with a report's script (while
// the script waits at a line, with the values it has there), the result
// shown below it. An expression that cannot be computed shows why, marked as
// an error, never as if it were a text result.
#pragma once

#include "Forms.h"

#include <string>

class TEdit;
class TLabel;
class TMemo;
class TfsScript;
class Variant;

class TfrxEvaluateForm : public TForm {
    QZ_CLASS(TfrxEvaluateForm, TForm)
public:
    TfrxEvaluateForm(TComponent* owner, TfsScript* script);

    // Computes the expression's text and shows the result (Enter in the edit).
    void Evaluate();
    // Whether the result shown is an error.
    bool ResultIsError() const { return FError; }

    TLabel* Label1;
    TEdit* ExpressionE;
    TLabel* Label2;
    TMemo* ResultM;

protected:
    void DoShow() override;

private:
    TfsScript* FScript;
    bool FError = false;
};

namespace frxEvaluateForm {
// The text a value shows as: True/False, a text between single quotes,
// Null, or the value's own text.
std::string ResultText(const Variant& value);
// Computes expression in script: true with its value, or false with the
// reason (a compile error or what the computation raised) in error.
bool EvaluateExpression(TfsScript* script, const std::string& expression, Variant& value, std::string& error);
// Opens the window modally on the script.
void Execute(TComponent* owner, TfsScript* script);
}  // namespace frxEvaluateForm
