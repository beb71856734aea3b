// The find dialog: a small form built in code, and the search over the
// grid's records and columns.
#include "DBGridEhFindDlgs.h"

#include "DBCtrlsEh.h"
#include "HostServices.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "Windows.h"

QZ_CLASS_IMPL(TDBGridEhFindDlg, TForm)

namespace {

constexpr const char* MatchAnyPart = "From any part of field";
constexpr const char* MatchWhole = "Whole field";
constexpr const char* MatchBeginning = "From beging of field";

template <class T> T* Place(TDBGridEhFindDlg* form, int left, int top, int width, int height)
{
    T* c = new T(form);
    c->SetParent(form);
    c->SetBounds(left, top, width, height);
    return c;
}

TLabel* PlaceLabel(TDBGridEhFindDlg* form, int left, int top, int width, int height, const char* caption)
{
    TLabel* l = Place<TLabel>(form, left, top, width, height);
    l->SetCaption(caption);
    return l;
}

TComboBox* PlaceCombo(TDBGridEhFindDlg* form, int left, int top, int width, int tabOrder)
{
    TComboBox* c = Place<TComboBox>(form, left, top, width, 21);
    c->SetTabOrder(tabOrder);
    c->SetDropDownCount(17);
    return c;
}

TDBGridEhFindDlg* TheDialog = nullptr;

} // namespace

TDBGridEhFindDlg::TDBGridEhFindDlg(TComponent* owner) : TForm(owner)
{
    SetCaption("Find text");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetKeyPreview(true);
    SetClientWidth(505);
    SetClientHeight(124);
    OnKeyDown = [this](TObject* s, WORD& key, TShiftState shift) { FormKeyDown(s, key, shift); };
    Label1 = PlaceLabel(this, 10, 12, 52, 13, "Fi&nd What:");
    Label2 = PlaceLabel(this, 10, 35, 34, 13, "Find &in:");
    cbMatchType = PlaceLabel(this, 10, 58, 33, 13, "Matc&h:");
    Label3 = PlaceLabel(this, 10, 82, 37, 13, "Sea&rch:");
    cbText = PlaceCombo(this, 88, 9, 316, 0);
    cbText->OnChange = [this](TObject* s) { cbTextChange(s); };
    cbFindIn = PlaceCombo(this, 88, 32, 192, 1);
    cbFindIn->SetStyle(csDropDownList);
    cbFindIn->OnChange = [this](TObject* s) { cbFindInChange(s); };
    cbMatchinType = PlaceCombo(this, 88, 55, 144, 2);
    cbMatchinType->SetStyle(csDropDownList);
    for (const char* t : {MatchAnyPart, MatchWhole, MatchBeginning}) cbMatchinType->Items()->Add(t);
    cbMatchinType->SetItemIndex(0);
    cbFindDirection = PlaceCombo(this, 88, 79, 144, 3);
    cbFindDirection->SetStyle(csDropDownList);
    for (const char* t : {"Up", "Down", "All"}) cbFindDirection->Items()->Add(t);
    cbFindDirection->SetItemIndex(2);
    cbFindDirection->OnChange = [this](TObject* s) { cbTextChange(s); };
    cbCharCase = Place<TDBCheckBoxEh>(this, 88, 105, 144, 14);
    cbCharCase->SetCaption("Match &Case");
    cbCharCase->SetTabOrder(4);
    cbUseFormat = Place<TDBCheckBoxEh>(this, 260, 105, 144, 14);
    cbUseFormat->SetCaption("Match F&ormat");
    cbUseFormat->SetChecked(true);
    cbUseFormat->SetTabOrder(5);
    bFind = Place<TButton>(this, 413, 9, 82, 23);
    bFind->SetCaption("&Find next");
    bFind->SetTabOrder(6);
    bFind->OnClick = [this](TObject* s) { bFindClick(s); };
    bCancel = Place<TButton>(this, 413, 37, 82, 22);
    bCancel->SetCaption("Close");
    bCancel->SetCancel(true);
    bCancel->SetModalResult(mrCancel);
    bCancel->SetTabOrder(7);
    bCancel->OnClick = [this](TObject* s) { bCancelClick(s); };
}

TDBGridEhFindDlg::~TDBGridEhFindDlg()
{
    if (TheDialog == this) TheDialog = nullptr;
}

void TDBGridEhFindDlg::FillFindIn()
{
    FFilling = true;
    cbFindIn->Items()->Clear();
    if (TCustomDBGridEh* g = Grid())
        for (TColumnEh* c : g->VisibleColumns()) cbFindIn->Items()->AddObject(c->Title()->Caption(), c);
    cbFindIn->Items()->AddObject(DBGridEhFindDlgs::SAllColumns, nullptr);
    FFilling = false;
}

void TDBGridEhFindDlg::BuildFindColumns()
{
    FFindColumns.clear();
    int last = cbFindIn->Items()->Count() - 1;
    if (cbFindIn->ItemIndex() < 0) {
        FFilling = true;
        cbFindIn->SetItemIndex(last);
        FFilling = false;
    }
    int sel = cbFindIn->ItemIndex();
    if (sel == last) {
        for (int i = 0; i < last; ++i) FFindColumns.push_back(static_cast<TColumnEh*>(cbFindIn->Items()->Objects(i)));
    } else if (sel >= 0) {
        FFindColumns.push_back(static_cast<TColumnEh*>(cbFindIn->Items()->Objects(sel)));
    }
    cbTextChange(nullptr);
}

void TDBGridEhFindDlg::cbTextChange(TObject*)
{
    FFirstTry = true;
    FCurInListColIndex = cbFindDirection->Text() == "Up" ? int(FFindColumns.size()) - 1 : 0;
}

void TDBGridEhFindDlg::cbFindInChange(TObject*)
{
    if (!FFilling) BuildFindColumns();
}

void TDBGridEhFindDlg::PrepareForGrid(TCustomDBGridEh* grid, const std::string& text)
{
    FCurInListColIndex = -1;
    cbText->SetText(text);
    FGrid = grid;
    FillFindIn();
    int pick = -1;
    if (TColumnEh* cur = grid ? grid->CurrentColumn() : nullptr)
        for (int i = 0; i + 1 < cbFindIn->Items()->Count(); ++i)
            if (cbFindIn->Items()->Strings(i) == cur->Title()->Caption()) {
                pick = i;
                break;
            }
    FFilling = true;
    cbFindIn->SetItemIndex(pick);
    FFilling = false;
    FFirstTry = true;
    BuildFindColumns();
}

void TDBGridEhFindDlg::ShowForGrid(TCustomDBGridEh* grid, const std::string& text, bool modal)
{
    PrepareForGrid(grid, text);
    if (Visible()) Close();
    SetActiveControl(cbText);
    if (modal) {
        SetFormStyle(fsNormal);
        // The dialog belongs to no form, so closing it activates none: the
        // form and control it was opened from get the keyboard back, or the
        // keys still held (the shortcut's own) would be released to nobody.
        TWeakRef<TCustomForm> from(GetParentForm(grid));
        TWeakRef<TWinControl> focused(from ? from->ActiveControl() : nullptr);
        ShowModal();
        if (from && from->Visible() && from->Enabled()) {
            from->SetFocus();
            if (focused && focused->CanFocus()) focused->SetFocus();
        }
    } else {
        SetFormStyle(fsStayOnTop);
        Show();
        SetFocus();
    }
}

std::string TDBGridEhFindDlg::SearchCellText(TColumnEh* column) const
{
    if (cbUseFormat->Checked()) return column->CellDisplayText();
    TField* f = column->Field();
    return f ? f->AsString() : std::string();
}

bool TDBGridEhFindDlg::Matches(const std::string& cell, const std::string& text) const
{
    std::string s = cell, t = text;
    if (!cbCharCase->Checked()) {
        s = AnsiUpperCase(s);
        t = AnsiUpperCase(t);
    }
    std::string how = cbMatchinType->Text();
    if (how == MatchWhole) return s == t;
    if (how == MatchBeginning) return s.size() >= t.size() && s.compare(0, t.size(), t) == 0;
    return s.find(t) != std::string::npos;
}

bool TDBGridEhFindDlg::Forward(bool reverse) const
{
    bool forward = cbFindDirection->Text() != "Up";
    return reverse ? !forward : forward;
}

void TDBGridEhFindDlg::DropLostColumns()
{
    // The dialog outlives what it searched: columns no longer in the grid go.
    TCustomDBGridEh* g = Grid();
    TColumnsEhList kept;
    for (TColumnEh* c : FFindColumns)
        for (int i = 0; g && i < g->Columns()->Count(); ++i)
            if (g->Columns()->Items(i) == c) {
                kept.push_back(c);
                break;
            }
    FFindColumns.swap(kept);
}

bool TDBGridEhFindDlg::FindNext(bool reverse)
{
    bool forward = Forward(reverse);
    std::string text = cbText->Text();
    bool known = false;
    for (int i = 0; i < cbText->Items()->Count() && !known; ++i) known = AnsiSameText(cbText->Items()->Strings(i), text);
    if (!known) cbText->Items()->Add(text);
    TCustomDBGridEh* g = Grid();
    TDataSet* ds = g && g->DataLink() ? g->DataLink()->DataSet() : nullptr;
    if (!ds || !ds->Active()) return false;
    DropLostColumns();
    int n = int(FFindColumns.size());
    if (n == 0) return false;
    if (FCurInListColIndex < 0 || FCurInListColIndex >= n) FCurInListColIndex = forward ? 0 : n - 1;
    bool found = false;
    TBookmarkStr start = ds->IsEmpty() || IsEditState(ds->State()) ? TBookmarkStr() : ds->Bookmark();
    ds->DisableControls();
    try {
        if (!ds->IsEmpty()) {
            bool more = true;
            if (cbFindDirection->Text() == "All" && FFirstTry) ds->First();
            if (!FFirstTry) more = StepCell(ds, forward);
            while (more) {
                TColumnEh* c = FFindColumns[size_t(FCurInListColIndex)];
                if (Matches(SearchCellText(c), text)) {
                    found = true;
                    FFirstTry = false;
                    // The found cell becomes the current one, whatever the case setting.
                    g->SetSelectedIndex(c->Index());
                    break;
                }
                more = StepCell(ds, forward);
            }
        }
        if (!found && !start.empty() && ds->BookmarkValid(start)) ds->GotoBookmark(start);
    } catch (...) {
        ds->EnableControls();
        throw;
    }
    ds->EnableControls();
    if (!found)
        ::MessageBox(Format(DBGridEhFindDlgs::STextNotFound, {text}), Caption(), MB_OK | MB_ICONINFORMATION);
    return found;
}

bool TDBGridEhFindDlg::StepCell(TDataSet* ds, bool forward)
{
    int n = int(FFindColumns.size());
    if (forward) {
        if (++FCurInListColIndex < n) return true;
        FCurInListColIndex = 0;
        return ds->MoveBy(1) == 1;
    }
    if (--FCurInListColIndex >= 0) return true;
    FCurInListColIndex = n - 1;
    return ds->MoveBy(-1) == -1;
}

void TDBGridEhFindDlg::bFindClick(TObject*) { FindNext(GetKeyState(VK_CONTROL) < 0); }

void TDBGridEhFindDlg::bCancelClick(TObject*) { Close(); }

void TDBGridEhFindDlg::FormKeyDown(TObject*, WORD& key, TShiftState shift)
{
    if (key != VK_RETURN && key != VK_ESCAPE) return;
    // A list that is open takes Enter and Esc itself.
    if (auto* combo = DynamicCast<TCustomComboBox>(ActiveControl()))
        if (combo->DroppedDown()) return;
    if (key == VK_ESCAPE) {
        if (!(FormState().Contains(fsModal))) Close();
    } else {
        FindNext(shift.Contains(ssCtrl));
    }
    key = 0;
}

void DBGridEhFindDlgs::ExecuteFindDialog(TCustomDBGridEh* grid, const std::string& text, bool modal)
{
    if (!TheDialog) TheDialog = new TDBGridEhFindDlg(Application);
    TheDialog->ShowForGrid(grid, text, modal);
}

TDBGridEhFindDlg* DBGridEhFindDlgs::FindDialog() { return TheDialog; }

void DBGridEhFindDlgs::Initialize()
{
    DBGridEh::FindDialogProc = [](TCustomDBGridEh* grid, const std::string& text) { ExecuteFindDialog(grid, text, true); };
}
