#include "frxEditDataBand.h"

#include "ExtCtrls.h"
#include "Graphics.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "frxClass.h"
#include "frxCtrls.h"
#include "frxRes.h"

#include <algorithm>

QZ_CLASS_IMPL(TfrxDataBandEditorForm, TForm)

using frxCtrls::MakeControl;

namespace frxEditDataBand {

std::vector<std::pair<std::string, TfrxDataSet*>> Entries(TfrxReport* report)
{
    std::vector<std::pair<std::string, TfrxDataSet*>> sets;
    if (report) {
        TStringList list;
        report->ListReportDataSets(&list, false);
        for (int i = 0; i < list.Count(); ++i)
            sets.emplace_back(list[i], static_cast<TfrxDataSet*>(list.Objects(i)));
        std::stable_sort(sets.begin(), sets.end(),
                         [](const auto& a, const auto& b) { return AnsiCompareStr(a.first, b.first) < 0; });
    }
    sets.insert(sets.begin(), {{frxRes::Resources().Get("dbNotAssigned"), nullptr},
                               {frxRes::Resources().Get("dbSingleLine"), nullptr}});
    return sets;
}

int EntryOf(const std::vector<std::pair<std::string, TfrxDataSet*>>& entries, TfrxDataBand* band)
{
    if (!band) return 0;
    if (band->DataSet()) {
        for (size_t i = 2; i < entries.size(); ++i)
            if (entries[i].second == band->DataSet()) return int(i);
        return 0;
    }
    return band->RowCount() == 1 ? 1 : 0;
}

void ApplyEntry(const std::vector<std::pair<std::string, TfrxDataSet*>>& entries, int index, TfrxDataBand* band)
{
    if (!band || index < 0 || index >= int(entries.size())) return;
    band->SetDataSet(index >= 2 ? entries[size_t(index)].second : nullptr);
    band->SetRowCount(index == 1 ? 1 : 0);
}

bool EditDataBand(TComponent* owner, TfrxReport* report, TfrxDataBand* band)
{
    TfrxDataBandEditorForm f(owner, report);
    f.DataBand = band;
    return f.ShowModal() == mrOk;
}

}  // namespace frxEditDataBand

namespace {
// The data-set icon: a small table.
void DrawDataSetIcon(TImage* img)
{
    TBitmap* b = img->Picture()->Bitmap();
    b->SetWidth(18);
    b->SetHeight(16);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(TRect{0, 0, 18, 16});
    c->Brush()->SetColor(clWhite);
    c->Pen()->SetColor(clNavy);
    c->Rectangle(1, 2, 17, 15);
    c->Brush()->SetColor(clNavy);
    c->FillRect(TRect{1, 2, 17, 5});
    for (int y : {8, 11}) {
        c->MoveTo(1, y);
        c->LineTo(17, y);
    }
    c->MoveTo(7, 5);
    c->LineTo(7, 15);
}
}  // namespace

TfrxDataBandEditorForm::TfrxDataBandEditorForm(TComponent* owner, TfrxReport* report) : TForm(owner), FReport(report)
{
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(260, 262);
    DatasetsLB = MakeControl<TListBox>(this, this, "DatasetsLB", 8, 8, 244, 214);
    DatasetsLB->SetStyle(lbOwnerDrawFixed);
    DatasetsLB->SetItemHeight(18);
    Image1 = MakeControl<TImage>(this, this, "Image1", 0, 0, 18, 16);
    Image1->SetVisible(false);
    DrawDataSetIcon(Image1);
    OkB = MakeControl<TButton>(this, this, "OKB", 96, 230, 75, 25);
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, this, "CancelB", 177, 230, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    CancelB->SetCaption("取消");
    frxRes::Resources().LocalizeForm(this);
    DatasetsLB->OnDrawItem = [this](TWinControl*, int index, TRect r, TOwnerDrawState) {
        TCanvas* c = DatasetsLB->Canvas();
        c->FillRect(r);
        const std::string text = DatasetsLB->Items()->Strings(index);
        if (index >= 2) {
            TBitmap* icon = Image1->Picture()->Bitmap();
            icon->SetTransparent(true);
            c->Draw(r.Left + 2, r.Top + 1, icon);
            c->TextOut(r.Left + 20, r.Top + 1, text);
        } else {
            c->TextOut(r.Left + 2, r.Top + 1, text);
        }
    };
    DatasetsLB->OnDblClick = [this](TObject*) { SetModalResult(mrOk); };
}

void TfrxDataBandEditorForm::DoShow()
{
    TForm::DoShow();
    auto entries = frxEditDataBand::Entries(FReport);
    DatasetsLB->Items()->Clear();
    for (auto& [name, ds] : entries) DatasetsLB->Items()->AddObject(name, ds);
    DatasetsLB->SetItemIndex(frxEditDataBand::EntryOf(entries, DataBand));
}

void TfrxDataBandEditorForm::DoHide()
{
    TForm::DoHide();
    if (ModalResult() != mrOk) return;
    frxEditDataBand::ApplyEntry(frxEditDataBand::Entries(FReport), DatasetsLB->ItemIndex(), DataBand);
}
