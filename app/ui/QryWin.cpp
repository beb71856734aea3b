#include "QryWin.h"

#include "ComCtrls.h"
#include "DB.h"
#include "DBConfig.h"
#include "Database.h"
#include "ExtCtrls.h"
#include "ImgList.h"
#include "UisGrids.h"
#include "qzRep.h"

QZ_CLASS_IMPL(TQryWinFrm, TWinFrm)

TQryWinFrm::TQryWinFrm(TComponent* owner, const std::string& caption, int reportGroup)
    : TWinFrm(owner), FReportGroup(reportGroup)
{
    SetCaption(caption);
    SetClientSize(760, 520);
    SetPosition(poDefaultPosOnly);

    ToolBar1 = new TToolBar(this);
    ToolBar1->SetParent(this);
    ToolBar1->SetAlign(alTop);
    ToolBar1->SetFlat(true);
    ToolBar1->SetShowCaptions(true);
    ToolBar1->SetButtonHeight(36);
    ToolBar1->SetHeight(40);
    if (PubFrm) ToolBar1->SetImages(PubFrm->ImageList1);
    auto button = [this](const std::string& text, int image, void (TQryWinFrm::*handler)(TObject*)) {
        auto* b = new TToolButton(this);
        b->SetLeft(100000);   // after the buttons there are
        b->SetParent(ToolBar1);
        b->SetCaption(text);
        b->SetImageIndex(image);
        b->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
        return b;
    };
    ToolButton1 = button("打印", 6, &TQryWinFrm::ToolButton1Click);
    ToolButton2 = button("高级", 8, &TQryWinFrm::ToolButton2Click);
    ToolButton3 = button("  退出  ", 9, &TQryWinFrm::ToolButton3Click);

    Panel1 = new TPanel(this);
    Panel1->SetParent(this);
    Panel1->SetTop(100);
    Panel1->SetAlign(alTop);
    Panel1->SetCaption("");
    Button1 = UiKit::MakeButton(this, Panel1, "查找", 0, 0);
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    btnReset1 = UiKit::MakeButton(this, Panel1, "重置", 0, 0);
    btnReset1->OnClick = [this](TObject* s) { btnReset1Click(s); };

    DBGrid1 = static_cast<Uis::TDBGrid*>(Uis::TDBGrid::StaticClass()->Create(this));
    DBGrid1->SetParent(this);
    DBGrid1->SetAlign(alClient);
}

TQryWinFrm::~TQryWinFrm()
{
    // The grid lets go of the rows before they go.
    if (DBGrid1 && DBGrid1->DataSource()) DBGrid1->DataSource()->SetDataSet(nullptr);
    FResult.reset();
}

void TQryWinFrm::SetResult(std::unique_ptr<TComponent> result, TDataSet* rows, TCustomWhere* where, int layoutId)
{
    FResult = std::move(result);
    FResultData = rows;
    FWhere = where;
    DBGrid1->DataSource()->SetDataSet(rows);
    DBGrid1->SetLayoutId(layoutId);
    btnReset1Click(nullptr);
}

void TQryWinFrm::ShowHelp(const std::string& topic)
{
    TWinFrm::ShowHelp(topic.empty() ? HelpTopic(ClassName().substr(1)) : topic);
}

TDataSet* TQryWinFrm::CriteriaDataSet() const { return FWhere ? FWhere->DataSet() : nullptr; }

void TQryWinFrm::CriterionLabel(const std::string& caption, int column, int row)
{
    UiKit::MakeLabel(this, Panel1, caption, column * ColumnWidth + LabelLeft, TopMargin + row * RowHeight + 3);
}

void TQryWinFrm::FinishPanel(int rows, int columns)
{
    Panel1->SetHeight(TopMargin * 2 + rows * RowHeight);
    const int left = columns * ColumnWidth + LabelLeft;
    Button1->SetBounds(left, TopMargin, 75, 25);
    btnReset1->SetBounds(left, TopMargin + RowHeight + 4, 75, 25);
    SetClientWidth(std::max(ClientWidth(), left + 75 + 16));
}

Uis::TComboBox* TQryWinFrm::DropDownList(Uis::TComboBox* c)
{
    c->SetStyle(csDropDownList);
    return c;
}

Uis::TDateTimePicker* TQryWinFrm::Optional(Uis::TDateTimePicker* p)
{
    p->SetShowCheckbox(true);
    return p;
}

Uis::TEdit* TQryWinFrm::NumberEdit(Uis::TEdit* e)
{
    e->SetEditType(etNumber);
    return e;
}

Variant TQryWinFrm::DateOf(const Uis::TDateTimePicker* p) { return p->AsDate(); }

Variant TQryWinFrm::NumberOf(const Uis::TEdit* e)
{
    if (e->GetText().empty()) return Null();
    return e->AsDouble();
}

Variant TQryWinFrm::TextOf(const std::string& text) { return text.empty() ? Null() : Variant(text); }

void TQryWinFrm::Put(TField* criterion, const Variant& value) { criterion->SetValue(value); }

void TQryWinFrm::Button1Click(TObject*)
{
    FWhere->Clear();
    CopyCriteria();
    RunQuery();
}

void TQryWinFrm::btnReset1Click(TObject*)
{
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        if (auto* combo = DynamicCast<Uis::TComboBox>(c)) {
            combo->SetItemIndex(-1);
            if (combo->Style() != csDropDownList) combo->SetText("");
        } else if (auto* edit = DynamicCast<TqzEdit>(c)) {
            edit->SetText("");
        } else if (auto* picker = DynamicCast<TqzDateTimePicker>(c)) {
            picker->Reset();
        }
    }
}

void TQryWinFrm::ToolButton1Click(TObject*) { TProjRep::ShowReports({ResultDataSet(), CriteriaDataSet()}, FReportGroup); }

void TQryWinFrm::ToolButton2Click(TObject*)
{
    ToolButton2->SetDropdownMenu(DBGrid1->PopupMenuQz());
    ToolButton2->CheckMenuDropdown();
}

void TQryWinFrm::ToolButton3Click(TObject*) { Close(); }
