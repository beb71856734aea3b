// Incremental search of the data-aware grid: typing into a column that
// cannot be edited (or after Ctrl+F) moves to the first record whose text in
// the current column starts with what was typed; the search ends after a
// pause in typing, on Enter, Esc, F2 or a change of column. Also what the
// selection and clipboard keys may do, and keeping the view position
// while a walk over the records moves the data set.
#include "DBGridEh.h"

#include "Clipbrd.h"
#include "TextUtils.h"

namespace DBGridEh {
TShortCut IncSearchShortCut = ShortCut('F', {ssCtrl});
TShortCut FindDialogShortCut = ShortCut('F', {ssCtrl});
TShortCut IncSearchNextShortCut = ShortCut(VK_RETURN, {ssCtrl});
TShortCut IncSearchPriorShortCut = ShortCut(VK_RETURN, {ssShift, ssCtrl});
TShortCut CopyPriorValueShortCut = ShortCut(0xDE, {ssCtrl});
int IncSearchTimeout = 1500;
TColor IncSearchColor = clYellow;
TColor IncSearchFontColor = clBlack;
std::function<void(TCustomDBGridEh*, const std::string& text)> FindDialogProc;
std::function<void(TCustomDBGridEh*)> CopyAction, CutAction, PasteAction, DeleteAction;
}

namespace {

// The text with its last character (all its bytes) removed.
std::string DropLastChar(const std::string& s)
{
    if (s.empty()) return s;
    size_t i = s.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) --i;
    return s.substr(0, i);
}

bool StartsWithUpper(const std::string& text, const std::string& upperPrefix)
{
    return text.size() >= upperPrefix.size() && AnsiUpperCase(text.substr(0, upperPrefix.size())) == upperPrefix;
}

} // namespace

// ---- availability of the selection and clipboard keys ---------------------------------------------

bool TCustomDBGridEh::CanCopy() const
{
    return FDataLink->Active() && FSelection->SelectionKind() != gstNon;
}

bool TCustomDBGridEh::CanPaste() const
{
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds || FReadOnly || !ds->CanModify()) return false;
    TClipboard* clip = Clipboard();
    if (!clip->HasFormat(RegisterClipboardFormat("VCLDBIF")) && !clip->HasFormat(CF_TEXT)) return false;
    return ds->State() == dsInsert || FAllowedOperations.Contains(alopUpdateEh);
}

bool TCustomDBGridEh::CanCut() const { return CanCopy() && CanDeleteSelection(); }

bool TCustomDBGridEh::CanSelectAll() const
{
    TDataSet* ds = FDataLink->DataSet();
    return FDataLink->Active() && ds && !ds->IsEmpty() && FAllowedSelections.Contains(gstAll);
}

bool TCustomDBGridEh::CanDeleteSelection() const
{
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds || FReadOnly || ds->IsEmpty() || !ds->CanModify()) return false;
    switch (FSelection->SelectionKind()) {
    case gstRecordBookmarks:
    case gstAll: return FAllowedOperations.Contains(alopDeleteEh);
    case gstRectangle:
    case gstColumns: return FAllowedOperations.Contains(alopUpdateEh);
    case gstNon: break;
    }
    return false;
}

// ---- the view position ------------------------------------------------------------------------------

void TCustomDBGridEh::SaveViewPosition()
{
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds) return;
    int count = FDataLink->RecordCount();
    FViewOffset = FDataLink->ActiveRecord() + ((count + 1) % 2) - count / 2;
    ds->MoveBy(-FViewOffset);
    FViewBookmark = ds->Bookmark();
    ds->MoveBy(FViewOffset);
}

void TCustomDBGridEh::RestoreViewPosition()
{
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds || FViewBookmark.empty() || !ds->BookmarkValid(FViewBookmark)) return;
    ds->GotoBookmark(FViewBookmark);
    ds->MoveBy(FViewOffset);
}

void TCustomDBGridEh::CopyPriorValue()
{
    TColumnEh* column = CurrentColumn();
    TField* f = column ? column->Field() : nullptr;
    if (!FDataLink->Active() || FDataLink->ActiveRecord() <= 0 || !f || !column->CanModify(false)) return;
    bool lookup = f->FieldKind() == fkLookup && !f->KeyFields().empty();
    int saved = FDataLink->ActiveRecord();
    Variant value;
    FDataLink->SetActiveRecord(saved - 1);
    try {
        value = lookup ? f->DataSet()->FieldValues(f->KeyFields()) : f->AsVariant();
    } catch (...) {
        FDataLink->SetActiveRecord(saved);
        throw;
    }
    FDataLink->SetActiveRecord(saved);
    if (!column->CanModify(true)) return;
    ClearSelection();
    if (lookup) f->DataSet()->SetFieldValues(f->KeyFields(), value);
    else f->SetAsVariant(value);
    if (CanEditShow()) {
        ShowEditor();
        if (TInplaceEdit* e = InplaceEditor(); e && EditorMode()) e->SelectAll();
    }
}

// ---- incremental search ------------------------------------------------------------------------------

void TCustomDBGridEh::IncrementalSearch(const std::string& text, int timeout, int mode)
{
    TDataSet* ds = FDataLink->DataSet();
    TColumnEh* column = CurrentColumn();
    if (!FDataLink->Active() || !ds) return;
    std::string wanted = FIncSearchText + text;
    if (!wanted.empty() && column) {
        std::string upper = AnsiUpperCase(wanted);
        std::string found;
        bool match = false;
        if (mode == 0 && StartsWithUpper(column->CellDisplayText(), upper)) {
            match = true;
            found = column->CellDisplayText();
        } else {
            ds->DisableControls();
            try {
                SaveViewPosition();
                if (mode == 0) ds->First();
                else if (mode == 1) ds->Next();
                else ds->Prior();
                bool forward = mode != 2;
                while (forward ? !ds->Eof() : !ds->Bof()) {
                    std::string t = column->CellDisplayText();
                    if (StartsWithUpper(t, upper)) {
                        match = true;
                        found = t;
                        break;
                    }
                    if (forward) ds->Next();
                    else ds->Prior();
                }
                if (!match) RestoreViewPosition();
            } catch (...) {
                ds->EnableControls();
                throw;
            }
            ds->EnableControls();
        }
        if (match) FIncSearchText = found.substr(0, wanted.size());
    }
    HideEditor();
    FIncSearching = true;
    InvalidateRow(Row());
    FIncSearchTimeout = timeout;
    RestartIncSearchTimer();
}

void TCustomDBGridEh::RestartIncSearchTimer()
{
    if (!HandleAllocated()) return;
    KillTimer(Handle(), DBGridEh::IncSearchTimerId);
    if (FIncSearchTimeout >= 0) SetTimer(Handle(), DBGridEh::IncSearchTimerId, UINT(FIncSearchTimeout));
}

void TCustomDBGridEh::StopIncrementalSearch()
{
    if (!FIncSearching && FIncSearchText.empty()) return;
    if (HandleAllocated()) KillTimer(Handle(), DBGridEh::IncSearchTimerId);
    FIncSearching = false;
    FIncSearchText.clear();
    InvalidateRow(Row());
    if (FOptions.Contains(dgAlwaysShowEditor) && CanEditShow()) ShowEditor();
}

// The search keys of KeyDown; true when the key was a search command.
bool TCustomDBGridEh::HandleSearchKeys(WORD key, TShiftState shift)
{
    TShortCut sc = ShortCut(key, shift * TShiftState{ssShift, ssCtrl, ssAlt});
    if (sc == DBGridEh::CopyPriorValueShortCut) {
        CopyPriorValue();
        return true;
    }
    if (sc == DBGridEh::IncSearchShortCut && FOptionsEh.Contains(dghIncSearch)) {
        if (FIncSearching && FOptionsEh.Contains(dghDialogFind) &&
            DBGridEh::FindDialogShortCut == DBGridEh::IncSearchShortCut) {
            StopIncrementalSearch();
            if (DBGridEh::FindDialogProc) DBGridEh::FindDialogProc(this, std::string());
        } else {
            IncrementalSearch("", -1, 0);
        }
        return true;
    }
    if (sc == DBGridEh::FindDialogShortCut && FOptionsEh.Contains(dghDialogFind)) {
        if (DBGridEh::FindDialogProc) DBGridEh::FindDialogProc(this, std::string());
        return true;
    }
    if (!FIncSearching) return false;
    bool plain = (shift * TShiftState{ssShift, ssCtrl, ssAlt}).Empty();
    if (plain && (key == VK_RETURN || key == VK_ESCAPE || key == VK_F2)) {
        StopIncrementalSearch();
        return false;   // the key's own meaning follows
    }
    if (plain && key == VK_BACK) {
        FIncSearchText = DropLastChar(FIncSearchText);
        InvalidateRow(Row());
        RestartIncSearchTimer();
        return true;
    }
    if (sc == DBGridEh::IncSearchNextShortCut) {
        IncrementalSearch("", FIncSearchTimeout, 1);
        return true;
    }
    if (sc == DBGridEh::IncSearchPriorShortCut) {
        IncrementalSearch("", FIncSearchTimeout, 2);
        return true;
    }
    return false;
}

bool TCustomDBGridEh::CharGoesToSearch(char key)
{
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds) return false;
    if (ds->State() == dsEdit || ds->State() == dsInsert || ds->State() == dsSetKey) return false;
    if (static_cast<unsigned char>(key) < 32 && key != '\b') return false;
    if (FIncSearching) return true;
    TColumnEh* c = CurrentColumn();
    bool editable = c && c->CanModify(false) && FOptions.Contains(dgEditing);
    if (FOptionsEh.Contains(dghIncSearch) && !editable) return true;
    return FOptionsEh.Contains(dghPreferIncSearch) && !FOptions.Contains(dgAlwaysShowEditor) && !EditorMode();
}
