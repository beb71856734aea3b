// The text dialog of a text object: the text, with buttons that insert an
// expression, an aggregate or a local format tag at the caret, and word
// wrap.
#pragma once

#include "Forms.h"

#include <string>

class TfrxCustomDesigner;
class TMemo;
class TToolBar;
class TToolButton;
class TfrxCustomMemoView;

class TfrxMemoEditorForm : public TForm {
    QZ_CLASS(TfrxMemoEditorForm, TForm)
public:
    TfrxMemoEditorForm(TComponent* owner, TfrxCustomDesigner* designer);

    // The text object edited; the result is Memo's lines.
    TfrxCustomMemoView* MemoView = nullptr;

    TToolBar* ToolBar;
    TToolButton *ExprB, *AggregateB, *LocalFormatB, *WordWrapB, *CancelB, *OkB;
    TMemo* Memo;

    void InsertExpression();
    void InsertAggregate();
    void InsertLocalFormat();
    void SetWordWrap(bool wrap);

protected:
    void DoShow() override;
    void DoHide() override;

private:
    TfrxCustomDesigner* FDesigner;
};

namespace frxEditMemo {
// What inserting an expression puts in: the delimiters ("[,]": opening
// part, then closing part) around it, a lone data field's angle brackets
// dropped.
std::string ExpressionInsertText(const std::string& expression, const std::string& delimiters);
// The local format tag for a format kind: " #n" with the numeric format's
// separators made the decimal separator (the system's when none), " #d",
// " #b"; nothing for text.
std::string LocalFormatTag(int kind, const std::string& formatStr, const std::string& separator);
// The dialog over a text object; true (and the object's text replaced) after OK.
bool EditMemo(TComponent* owner, TfrxCustomDesigner* designer, TfrxCustomMemoView* view);
}  // namespace frxEditMemo
