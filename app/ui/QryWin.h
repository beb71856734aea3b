// What the query and statistics windows share: a criteria panel with "查找"
// and "重置" over the result grid, and a tool bar with "打印", "高级" (the
// grid's menu) and "  退出  ". A window owns its result object, an entity
// set or a statistics pivot, whose criteria row it fills from its controls
// on every "查找"; nothing is queried before that, so a window opens at once
// and its grid stays empty until the operator searches.
#pragma once

#include "Uis.h"
#include "Win.h"

#include <memory>
#include <string>

class TCustomWhere;
class TDataSet;
class TPanel;
class TToolBar;
class TToolButton;
namespace Uis {
class TDBGrid;
}

class TQryWinFrm : public TWinFrm {
    QZ_CLASS(TQryWinFrm, TWinFrm)
public:
    ~TQryWinFrm() override;

    TPanel* Panel1 = nullptr;          // the criteria
    TButton* Button1 = nullptr;        // "查找"
    TButton* btnReset1 = nullptr;      // "重置"
    Uis::TDBGrid* DBGrid1 = nullptr;
    TToolBar* ToolBar1 = nullptr;
    TToolButton* ToolButton1 = nullptr;   // "打印"
    TToolButton* ToolButton2 = nullptr;   // "高级"
    TToolButton* ToolButton3 = nullptr;   // "  退出  "

    // The criteria row cleared, every control copied into its criterion,
    // then the query run. A number edit holding no number raises before any
    // query runs.
    void Button1Click(TObject* sender);
    // Every combo box without a choice (those that take typing with empty
    // text), every edit emptied, every date picker on the current date and
    // time with its box unchecked.
    void btnReset1Click(TObject* sender);
    // The report centre over the result and the criteria row, with the
    // window's report group.
    void ToolButton1Click(TObject* sender);
    // The grid's menu dropped down under the button.
    void ToolButton2Click(TObject* sender);
    void ToolButton3Click(TObject* sender);

    // Several windows of a kind may be open at once, so they go without a
    // component name; the help page is still the window's own ("ExamQry"
    // for TExamQryFrm).
    void ShowHelp(const std::string& topic) override;

    int ReportGroup() const { return FReportGroup; }
    // What printing hands over as d0 and d1.
    TDataSet* ResultDataSet() const { return FResultData; }
    TDataSet* CriteriaDataSet() const;

protected:
    TQryWinFrm(TComponent* owner, const std::string& caption, int reportGroup);

    // Makes the result object (freed with the window), binds the grid to its
    // rows with the column layout stored under the id, and resets the
    // controls; a hook may prepare the rows before the grid takes them.
    template <class S> S* MakeResult(int layoutId, void (*prepare)(S*) = nullptr)
    {
        auto result = std::make_unique<S>();
        S* s = result.get();
        if (prepare) prepare(s);
        SetResult(std::move(result), s->DataSet(), s->Where(), layoutId);
        return s;
    }
    void SetResult(std::unique_ptr<TComponent> result, TDataSet* rows, TCustomWhere* where, int layoutId);

    // Copies the controls into the criteria row, which is fresh.
    virtual void CopyCriteria() = 0;
    virtual void RunQuery() = 0;

    // A caption and its control at a place of the criteria panel's grid of
    // columns and rows.
    template <class C> C* Criterion(const std::string& caption, int column, int row, int width = 130)
    {
        CriterionLabel(caption, column, row);
        return UiKit::Make<C>(this, Panel1, column * ColumnWidth + FieldLeft, TopMargin + row * RowHeight, width, 21);
    }
    // A second control right of a row's first (the upper bound of a range).
    template <class C> C* Beside(TControl* first, int width = 0)
    {
        return UiKit::Make<C>(this, Panel1, first->Left() + first->Width() + 6, first->Top(), width ? width : first->Width(), 21);
    }
    void CriterionLabel(const std::string& caption, int column, int row);
    // Sizes the panel for the rows and puts the two buttons at its right.
    void FinishPanel(int rows, int columns);

    static Uis::TComboBox* DropDownList(Uis::TComboBox* c);
    static Uis::TDateTimePicker* Optional(Uis::TDateTimePicker* p);
    static Uis::TEdit* NumberEdit(Uis::TEdit* e);

    // The values the controls give their criteria: Null for no date, for an
    // empty number edit and for empty text. A number edit's text that is not
    // a number raises the conversion error.
    static Variant DateOf(const Uis::TDateTimePicker* p);
    static Variant NumberOf(const Uis::TEdit* e);
    static Variant TextOf(const std::string& text);
    static void Put(TField* criterion, const Variant& value);

    static constexpr int LabelLeft = 10;
    static constexpr int FieldLeft = 70;
    static constexpr int TopMargin = 10;
    static constexpr int RowHeight = 28;
    static constexpr int ColumnWidth = 240;

private:
    std::unique_ptr<TComponent> FResult;
    TDataSet* FResultData = nullptr;
    TCustomWhere* FWhere = nullptr;
    int FReportGroup = 0;
};
