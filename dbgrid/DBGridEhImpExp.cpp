// The exporters' and importers' walks over the grid, the text, CSV and
// VCLDBIF formats, and the clipboard routines.
#include "DBGridEhImpExp.h"

#include "Clipbrd.h"
#include "Exceptions.h"
#include "Forms.h"
#include "HostServices.h"
#include "Streams.h"
#include "SysUtils.h"
#include "TextUtils.h"

#include <climits>
#include <cmath>
#include <cstring>

QZ_CLASS_IMPL(TDBGridEhExport, TObject)
QZ_CLASS_IMPL(TDBGridEhExportAsText, TDBGridEhExport)
QZ_CLASS_IMPL(TDBGridEhExportAsCSV, TDBGridEhExportAsText)
QZ_CLASS_IMPL(TDBGridEhExportAsVCLDBIF, TDBGridEhExport)
QZ_CLASS_IMPL(TDBGridEhImport, TObject)
QZ_CLASS_IMPL(TDBGridEhImportAsText, TDBGridEhImport)
QZ_CLASS_IMPL(TDBGridEhImportAsVCLDBIF, TDBGridEhImport)

namespace {

TDataSet* GridDataSet(TCustomDBGridEh* grid)
{
    if (!grid || !grid->DataLink()) return nullptr;
    return grid->DataLink()->DataSet();
}

TDataSet* ActiveGridDataSet(TCustomDBGridEh* grid)
{
    TDataSet* ds = GridDataSet(grid);
    if (!ds || !ds->Active()) throw EInvalidGridOperation(DBConsts::SDataSetClosed);
    return ds;
}

// Disables the data set's controls for the lifetime of the guard.
struct TControlsOff {
    TDataSet* DataSet;
    explicit TControlsOff(TDataSet* ds) : DataSet(ds) { if (DataSet) DataSet->DisableControls(); }
    ~TControlsOff() { if (DataSet) DataSet->EnableControls(); }
    TControlsOff(const TControlsOff&) = delete;
    TControlsOff& operator=(const TControlsOff&) = delete;
};

TColumnsEhList VisibleColumnsFrom(TCustomDBGridEh* grid, int first)
{
    TColumnsEhList list;
    TDBGridColumnsEh* cols = grid->Columns();
    for (int i = std::max(first, 0); i < cols->Count(); ++i)
        if (cols->Items(i)->Visible()) list.push_back(cols->Items(i));
    return list;
}

// The shown columns of the selected rectangle, in collection order.
TColumnsEhList RectColumns(TCustomDBGridEh* grid)
{
    TColumnsEhList list;
    TDBGridEhSelectionRect* r = grid->Selection()->SelectedRect();
    TDBGridColumnsEh* cols = grid->Columns();
    for (int i = std::max(r->LeftColumnIndex(), 0); i <= r->RightColumnIndex() && i < cols->Count(); ++i)
        if (cols->Items(i)->Visible()) list.push_back(cols->Items(i));
    return list;
}

// Visits the selected rectangle's records from its top row to its bottom row.
void ForRectRows(TCustomDBGridEh* grid, TDataSet* ds, const std::function<void()>& visit)
{
    TDBGridEhSelectionRect* r = grid->Selection()->SelectedRect();
    TBookmarkStr bottom = r->BottomRow();
    ds->GotoBookmark(r->TopRow());
    for (;;) {
        visit();
        if (ds->CompareBookmarks(ds->Bookmark(), bottom) == 0) break;
        ds->Next();
        if (ds->Eof()) break;
    }
}

// Visits the selected records in the list's order, skipping ones that are gone.
void ForSelectedRows(TCustomDBGridEh* grid, TDataSet* ds, const std::function<void()>& visit)
{
    TBookmarkListEh* rows = grid->Selection()->Rows();
    std::vector<TBookmarkStr> marks;
    for (int i = 0; i < rows->Count(); ++i) marks.push_back(rows->Items(i));
    for (const TBookmarkStr& b : marks) {
        if (!ds->BookmarkValid(b)) continue;
        ds->GotoBookmark(b);
        visit();
    }
}

// The field a cell's value goes to: the column's field, or for a lookup
// field the data-set field named by its KeyFields (null when none).
TField* CellTargetField(TColumnEh* column)
{
    TField* f = column ? column->Field() : nullptr;
    if (f && f->Lookup()) {
        if (f->KeyFields().empty() || !f->DataSet()) return nullptr;
        return f->DataSet()->FieldByName(f->KeyFields());
    }
    return f;
}

bool IsIntegerType(TFieldType t)
{
    return t == ftSmallint || t == ftInteger || t == ftWord || t == ftAutoInc;
}

template <class T> void PutLE(std::string& out, T v)
{
    unsigned char b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T));   // the platforms we build for are little-endian
    out.append(reinterpret_cast<const char*>(b), sizeof(T));
}

bool IsTextType(TFieldType t)
{
    switch (t) {
    case ftString: case ftFixedChar: case ftWideString: case ftMemo: case ftFmtMemo: case ftOraClob:
    case ftGuid:
        return true;
    default:
        return false;
    }
}

} // namespace

// ---- export ---------------------------------------------------------------------------------

TDBGridEhExport::TDBGridEhExport() = default;
TDBGridEhExport::~TDBGridEhExport() = default;

void TDBGridEhExport::WriteBytes(const std::string& bytes)
{
    if (!bytes.empty()) FStream->WriteBuffer(bytes.data(), int(bytes.size()));
}

void TDBGridEhExport::WriteText(const std::string& utf8) { WriteBytes(Utf8ToGbk(utf8)); }

void TDBGridEhExport::ExportStream(TStream* stream, bool exportAll)
{
    FStream = stream;
    TCustomDBGridEh* g = FDBGrid;
    if (!g) return;
    TDBGridEhSelectionType kind = exportAll ? gstAll : g->Selection()->SelectionType();
    if (kind == gstNon) return;
    TDataSet* ds = ActiveGridDataSet(g);
    {
        TControlsOff off(ds);
        g->SaveViewPosition();
        try {
            switch (kind) {
            case gstRectangle: FExportColumns = RectColumns(g); break;
            case gstColumns: FExportColumns = g->Selection()->SelectedColumns()->List(); break;
            default: FExportColumns = g->VisibleColumns(); break;
            }
            int footers = g->FooterRowCount();
            FFooterTotals.assign(size_t(footers) * FExportColumns.size(), 0);
            FTotalOverflow.assign(FFooterTotals.size(), false);
            WriteHeader();
            if (g->Options().Contains(dgTitles)) WriteTitleRow(FExportColumns);
            auto row = [this] {
                WriteDataRow(FExportColumns);
                AccumulateFooters();
            };
            if (kind == gstRecordBookmarks) {
                ForSelectedRows(g, ds, row);
            } else if (kind == gstRectangle) {
                ForRectRows(g, ds, row);
            } else {
                for (ds->First(); !ds->Eof(); ds->Next()) row();
            }
            for (int i = 0; i < footers; ++i) WriteFooterRow(FExportColumns, i);
        } catch (...) {
            try { g->RestoreViewPosition(); } catch (...) {}
            throw;
        }
        g->RestoreViewPosition();
    }
    WriteTrailer();
}

void TDBGridEhExport::ExportFile(const std::string& fileName, bool exportAll)
{
    SaveFileWhole(fileName, [&](TStream* s) { ExportStream(s, exportAll); });
}

void TDBGridEhExport::WriteDataRow(const TColumnsEhList& columns)
{
    TFont font;
    TCustomDBGridEh* g = FDBGrid;
    for (TColumnEh* c : columns) {
        font.Assign(c->Font());
        TDBGridEhExportCellParams& p = FColCellParams;
        c->FillCellParams(&p);
        p.Font = &font;
        if (g->OnGetCellParams) g->OnGetCellParams(g, c, &font, p.Background, TGridDrawState());
        c->DoGetCellParams(false, &p);
        WriteDataValue(c, p);
    }
}

TField* TDBGridEhExport::FooterField(TColumnEh* column, int footerRow) const
{
    TDataSet* ds = GridDataSet(FDBGrid);
    if (!ds) return nullptr;
    TColumnFooterEh* f = column->FooterForRow(footerRow);
    const std::string& name = f->FieldName().empty() ? column->FieldName() : f->FieldName();
    return name.empty() ? nullptr : ds->FindField(name);
}

void TDBGridEhExport::AccumulateFooters()
{
    size_t n = FExportColumns.size();
    for (int r = 0; r < FDBGrid->FooterRowCount(); ++r) {
        for (size_t c = 0; c < n; ++c) {
            TColumnEh* col = FExportColumns[c];
            TFooterValueType vt = col->FooterForRow(r)->ValueType();
            if (vt != fvtSum && vt != fvtCount) continue;
            TField* f = FooterField(col, r);
            if (!f) continue;
            size_t i = c + size_t(r) * n;
            int64_t add = 10000;
            if (vt == fvtSum) {
                if (f->IsNull()) continue;
                // Integers add exactly, so large-integer totals keep every digit.
                if (IsIntegerType(f->DataType()) || f->DataType() == ftLargeint) {
                    if (__builtin_mul_overflow(f->AsLargeInt(), int64_t(10000), &add)) {
                        FTotalOverflow[i] = true;
                        continue;
                    }
                } else {
                    double v = f->AsFloat();
                    if (!std::isfinite(v) || std::fabs(v) >= 9.2e14) {
                        FTotalOverflow[i] = true;
                        continue;
                    }
                    add = Currency::FromDouble(v).Value;
                }
            }
            if (__builtin_add_overflow(FFooterTotals[i], add, &FFooterTotals[i])) FTotalOverflow[i] = true;
        }
    }
}

std::string TDBGridEhExport::ExportedFooterText(TColumnEh* column, int footerRow, int exportCol)
{
    TColumnFooterEh* footer = column->FooterForRow(footerRow);
    size_t i = size_t(exportCol) + size_t(footerRow) * FExportColumns.size();
    if (footer->ValueType() == fvtCount) {
        if (i >= FFooterTotals.size()) return {};
        return FloatToStr(double(FFooterTotals[i]) / 10000.0);
    }
    TField* f = FooterField(column, footerRow);
    if (!f || i >= FFooterTotals.size() || FTotalOverflow[i]) return {};
    Currency total = Currency::FromRaw(FFooterTotals[i]);
    double v = total.ToDouble();
    TFieldType t = f->DataType();
    if (IsIntegerType(t) || t == ftLargeint) {
        auto* nf = DynamicCast<TNumericField>(f);
        if (nf && !nf->DisplayFormat().empty()) return FormatFloat(nf->DisplayFormat(), v);
        return IntToStr(int64_t(FFooterTotals[i] / 10000));
    }
    if (t == ftFloat || t == ftCurrency) {
        auto* ff = DynamicCast<TFloatField>(f);
        if (!ff) return FloatToStr(v);
        if (!ff->DisplayFormat().empty()) return FormatFloat(ff->DisplayFormat(), v);
        if (ff->Currency()) return FloatToStrF(v, ffCurrency, ff->Precision(), FormatSettings.CurrencyDecimals);
        return FloatToStrF(v, ffGeneral, ff->Precision(), 0);
    }
    if (t == ftBCD || t == ftFMTBcd) {
        auto* bf = DynamicCast<TBCDField>(f);
        if (!bf) return CurrToStr(total);
        if (!bf->DisplayFormat().empty()) return FormatCurr(bf->DisplayFormat(), total);
        if (bf->Currency()) return CurrToStrF(total, ffCurrency, FormatSettings.CurrencyDecimals);
        return CurrToStrF(total, ffGeneral, 0);
    }
    return {};
}

void TDBGridEhExport::WriteFooterRow(const TColumnsEhList& columns, int footerIndex)
{
    TFont font;
    TCustomDBGridEh* g = FDBGrid;
    for (size_t i = 0; i < columns.size(); ++i) {
        TColumnEh* c = columns[i];
        TColumnFooterEh* footer = c->FooterForRow(footerIndex);
        font.Assign(footer->Font());
        TColor background = footer->Color();
        TAlignment alignment = footer->Alignment();
        std::string text = footer->ValueType() == fvtSum || footer->ValueType() == fvtCount
                               ? ExportedFooterText(c, footerIndex, int(i))
                               : g->FooterValueText(c, footerIndex);
        if (g->OnGetFooterParams)
            g->OnGetFooterParams(g, c->Index(), footerIndex, c, &font, background, alignment, TGridDrawState(), text);
        WriteFooterValue(int(i), footerIndex, text, alignment, background, &font, c);
    }
}

// ---- text and CSV ---------------------------------------------------------------------------------

void TDBGridEhExportAsText::ExportStream(TStream* stream, bool exportAll)
{
    FFirstRec = true;
    TDBGridEhExport::ExportStream(stream, exportAll);
}

void TDBGridEhExportAsText::BreakRow()
{
    if (!FFirstRec) WriteBytes("\r\n");
    FFirstRec = false;
}

void TDBGridEhExportAsText::BreakCell()
{
    if (!FFirstCell) WriteBytes("\t");
    FFirstCell = false;
}

void TDBGridEhExportAsText::WriteTitleRow(const TColumnsEhList& columns)
{
    BreakRow();
    for (size_t i = 0; i < columns.size(); ++i) {
        WriteText(columns[i]->Title()->Caption());
        if (i + 1 < columns.size()) WriteBytes("\t");
    }
}

void TDBGridEhExportAsText::WriteDataRow(const TColumnsEhList& columns)
{
    BreakRow();
    FFirstCell = true;
    TDBGridEhExport::WriteDataRow(columns);
}

void TDBGridEhExportAsText::WriteDataValue(TColumnEh*, TDBGridEhExportCellParams& params)
{
    BreakCell();
    WriteText(params.Text);
}

void TDBGridEhExportAsText::WriteFooterRow(const TColumnsEhList& columns, int footerIndex)
{
    BreakRow();
    FFirstCell = true;
    TDBGridEhExport::WriteFooterRow(columns, footerIndex);
}

void TDBGridEhExportAsText::WriteFooterValue(int, int, const std::string& text, TAlignment, TColor, TFont*,
                                             TColumnEh*)
{
    BreakCell();
    WriteText(text);
}

namespace {
// Quotes 8-bit text for CSV: the trail byte of a double-byte character may
// equal '"', so only whole single-byte quotes are doubled.
std::string CsvQuoted(const std::string& utf8)
{
    std::string gbk = Utf8ToGbk(utf8);
    std::string out = "\"";
    for (size_t i = 0; i < gbk.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(gbk[i]);
        if (IsGbkLeadByte(b) && i + 1 < gbk.size()) {
            out += gbk[i];
            out += gbk[++i];
            continue;
        }
        if (b == '"') out += '"';
        out += gbk[i];
    }
    out += '"';
    return out;
}
} // namespace

char DBGridEhImpExp::CsvSeparator() { return ';'; }

TDBGridEhExportAsCSV::TDBGridEhExportAsCSV() : FSeparator(DBGridEhImpExp::CsvSeparator()) {}

void TDBGridEhExportAsCSV::BreakCell()
{
    if (!FFirstCell) WriteBytes(std::string(1, FSeparator));
    FFirstCell = false;
}

void TDBGridEhExportAsCSV::WriteTitleRow(const TColumnsEhList& columns)
{
    BreakRow();
    for (size_t i = 0; i < columns.size(); ++i) {
        WriteBytes(CsvQuoted(columns[i]->Title()->Caption()));
        if (i + 1 < columns.size()) WriteBytes(std::string(1, FSeparator));
    }
}

void TDBGridEhExportAsCSV::WriteDataValue(TColumnEh*, TDBGridEhExportCellParams& params)
{
    BreakCell();
    WriteBytes(CsvQuoted(params.Text));
}

void TDBGridEhExportAsCSV::WriteFooterValue(int, int, const std::string& text, TAlignment, TColor, TFont*,
                                            TColumnEh*)
{
    BreakCell();
    WriteBytes(CsvQuoted(text));
}

// ---- VCLDBIF ------------------------------------------------------------------------------------------

void TDBGridEhExportAsVCLDBIF::WriteHeader()
{
    std::string h = "VCLDBIF";
    h += '\x01';
    PutLE<int32_t>(h, int32_t(ExportColumns().size()));
    for (TColumnEh* c : ExportColumns()) {
        h += c->Visible() ? '\x01' : '\x00';
        h += '\0';   // names are not written
    }
    WriteBytes(h);
}

void TDBGridEhExportAsVCLDBIF::WriteTrailer() { WriteBytes(std::string(1, '\0')); }

void TDBGridEhExportAsVCLDBIF::WriteDataValue(TColumnEh* column, TDBGridEhExportCellParams&)
{
    TField* f = CellTargetField(column);
    std::string out;
    if (!f) {
        out += '\x01';
        WriteBytes(out);
        return;
    }
    TFieldType t = f->DataType();
    auto blob = [&](char tag, const std::string& bytes) {
        out += tag;
        PutLE<int32_t>(out, int32_t(bytes.size()));
        out += bytes;
    };
    switch (t) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc:
    case ftFloat: case ftCurrency: case ftBCD: case ftDate: case ftTime: case ftDateTime:
    case ftTimeStamp: case ftFMTBcd:
    case ftString: case ftBoolean: case ftMemo: case ftFixedChar: case ftLargeint: case ftOraClob:
    case ftGuid:
    case ftBytes: case ftVarBytes: case ftBlob: case ftGraphic: case ftFmtMemo: case ftParadoxOle:
    case ftDBaseOle: case ftTypedBinary: case ftWideString: case ftOraBlob:
        if (f->IsNull()) {
            out += '\x02';
            WriteBytes(out);
            return;
        }
        break;
    default:
        out += '\x01';
        WriteBytes(out);
        return;
    }
    switch (t) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc:
        out += '\x03';
        PutLE<int32_t>(out, int32_t(f->AsInteger()));
        break;
    case ftFloat: case ftCurrency: case ftBCD: case ftDate: case ftTime: case ftDateTime: case ftTimeStamp:
    case ftFMTBcd:
        out += '\x04';
        PutLE<double>(out, f->AsFloat());
        break;
    case ftString: case ftBoolean: case ftMemo: case ftFixedChar: case ftLargeint: case ftOraClob: case ftGuid:
        blob('\x05', Utf8ToGbk(f->AsString()));
        break;
    case ftWideString: case ftFmtMemo:
        blob('\x06', Utf8ToGbk(f->AsString()));
        break;
    default:
        blob('\x06', f->AsString());   // the field's bytes as they are
        break;
    }
    WriteBytes(out);
}

// ---- import ---------------------------------------------------------------------------------------------

TDBGridEhImport::TDBGridEhImport() = default;
TDBGridEhImport::~TDBGridEhImport() = default;

void TDBGridEhImport::ReadRow(const TColumnsEhList& columns)
{
    for (TColumnEh* c : columns) ReadCell(c);
}

TField* TDBGridEhImport::TargetField(TColumnEh* column) const { return CellTargetField(column); }

bool TDBGridEhImport::PrepareTargetField(TField* field) const
{
    TDataSet* ds = field ? field->DataSet() : nullptr;
    if (!ds || !ds->CanModify()) return false;
    ds->Edit();
    return ds->State() == dsEdit || ds->State() == dsInsert;
}

void TDBGridEhImport::AssignWithQuestion(const std::function<void()>& assign)
{
    try {
        assign();
    } catch (const EAbort&) {
        throw;
    } catch (const Exception& e) {
        if (FIgnoreAll) return;
        std::string q = std::string(DBGridEhImpExp::SErrorDuringInsert) + "\n" + e.Message() + "\n\n" +
                        DBGridEhImpExp::SIgnoreError;
        TModalResult r = MessageDlg(q, mtError, TMsgDlgButtons{mbYes, mbNo, mbAll});
        if (r == mrAll) FIgnoreAll = true;
        else if (r != mrYes) Abort();
    }
}

void TDBGridEhImport::InsertRows(bool appendMode)
{
    TDataSet* ds = ActiveGridDataSet(FDBGrid);
    while (!FEof) {
        int64_t before = FStream->Position();
        if (appendMode) ds->Append();
        else ds->Insert();
        ReadRow(FImportColumns);
        // A row that takes nothing from the input would repeat for ever.
        if (!FEof && FStream->Position() == before) {
            ds->Cancel();
            break;
        }
        ds->Post();
        if (!appendMode) ds->Next();
    }
}

void TDBGridEhImport::ImportStream(TStream* stream, bool importAll)
{
    FStream = stream;
    FEof = false;
    TCustomDBGridEh* g = FDBGrid;
    if (!g) return;
    TDataSet* ds = ActiveGridDataSet(g);
    if (importAll) {
        g->Selection()->Clear();
        ds->First();
        if (!g->VisibleColumns().empty()) g->SetSelectedIndex(g->VisibleColumns().front()->Index());
    }
    bool appendMode = ds->Eof();
    bool insertMode = ds->State() == dsInsert;
    if (!insertMode) g->SaveViewPosition();
    TDBGridEhSelectionType kind = g->Selection()->SelectionType();
    {
        TControlsOff off(ds);
        try {
            switch (kind) {
            case gstNon: FImportColumns = VisibleColumnsFrom(g, g->SelectedIndex()); break;
            case gstRectangle: FImportColumns = RectColumns(g); break;
            case gstColumns: FImportColumns = g->Selection()->SelectedColumns()->List(); break;
            default: FImportColumns = g->VisibleColumns(); break;
            }
            ReadPrefix();
            auto row = [this] { ReadRow(FImportColumns); };
            if (insertMode) {
                InsertRows(appendMode);
            } else if (kind == gstNon) {
                g->RestoreViewPosition();
                while (!ds->Eof() && !FEof) {
                    int64_t before = FStream->Position();
                    ReadRow(FImportColumns);
                    // A row that takes nothing from the input would repeat for ever.
                    if (!FEof && FStream->Position() == before) break;
                    ds->Next();
                }
                if (g->AllowedOperations().Contains(alopAppendEh) && !FEof) {
                    insertMode = true;
                    InsertRows(true);
                }
            } else if (kind == gstRecordBookmarks) {
                ForSelectedRows(g, ds, row);
            } else if (kind == gstRectangle) {
                ForRectRows(g, ds, row);
            } else {
                for (ds->First(); !ds->Eof(); ds->Next()) row();
            }
        } catch (...) {
            if (!insertMode) {
                try { g->RestoreViewPosition(); } catch (...) {}
            }
            throw;
        }
        if (!insertMode) g->RestoreViewPosition();
    }
    ReadTrailer();
}

void TDBGridEhImport::ImportFile(const std::string& fileName, bool importAll)
{
    TFileStream fs(fileName, fmOpenRead | fmShareDenyWrite);
    ImportStream(&fs, importAll);
}

// ---- text reader ------------------------------------------------------------------------------------------

void TDBGridEhImportAsText::ImportStream(TStream* stream, bool importAll)
{
    FIgnoreAll = false;
    TDBGridEhImport::ImportStream(stream, importAll);
}

int TDBGridEhImportAsText::CheckState()
{
    char c = 0;
    if (Stream()->Read(&c, 1) != 1) {
        SetEof(true);
        FCurChar = 0;
        return FCurState = 3;
    }
    FCurChar = c;
    if (c == '\t') return FCurState = 1;
    if (c == '\r') {
        char n = 0;
        if (Stream()->Read(&n, 1) != 1 || n != '\n') throw Exception(DBGridEhImpExp::SInvalidTextFormat);
        return FCurState = 2;
    }
    return FCurState = 0;
}

void TDBGridEhImportAsText::ReadPrefix() { CheckState(); }

int TDBGridEhImportAsText::ReadCellText()
{
    FCellText.assign(1, FCurChar);
    while (CheckState() == 0) FCellText += FCurChar;
    int sep = FCurState;
    if (sep == 1) CheckState();
    return sep;
}

void TDBGridEhImportAsText::ReadRow(const TColumnsEhList& columns)
{
    if (FCurState == 3) return;
    size_t index = 0;
    if (FCurState == 0) {
        ReadCellText();
        if (!columns.empty()) ReadCell(columns[0]);
        index = 1;
    }
    while (FCurState == 0 || FCurState == 1) {
        if (FCurState == 1) {
            FCellText.clear();
            CheckState();
        } else {
            ReadCellText();
        }
        if (index < columns.size()) ReadCell(columns[index]);
        ++index;
    }
    CheckState();
}

void TDBGridEhImportAsText::ReadCell(TColumnEh* column)
{
    if (!column || !column->CanModify(false)) return;
    TField* field = column->Field();
    TField* target = TargetField(column);
    if (!target || !PrepareTargetField(target)) return;
    std::string text = GbkToUtf8(FCellText);
    AssignWithQuestion([&] {
        if (field && field->Lookup()) {
            TDataSet* lds = field->LookupDataSet();
            if (!lds || !lds->Active()) return;
            TBookmarkStr here = lds->IsEmpty() ? TBookmarkStr() : lds->Bookmark();
            // An exact name wins over a longer one that merely starts with the text.
            bool found = lds->Locate(field->LookupResultField(), Variant(text), {loCaseInsensitive}) ||
                         lds->Locate(field->LookupResultField(), Variant(text), {loCaseInsensitive, loPartialKey});
            Variant key;
            if (found) key = lds->FieldByName(field->LookupKeyFields())->Value();
            if (!here.empty() && lds->BookmarkValid(here)) lds->GotoBookmark(here);
            if (found) target->SetValue(key);
        } else if (column->HasPickList() && column->HasKeyList()) {
            TStrings* pick = column->PickList();
            int idx = -1;
            for (int i = 0; i < pick->Count(); ++i)
                if (AnsiSameText(pick->Strings(i), text)) {
                    idx = i;
                    break;
                }
            // Text the list does not know leaves the value as it was.
            if (idx < 0) throw Exception(Format(DBGridEhImpExp::SNotInPickList, {text}));
            TStrings* keys = column->KeyList();
            if (idx < keys->Count()) target->SetText(keys->Strings(idx));
            else target->Clear();
        } else {
            target->SetText(text);
        }
    });
}

// ---- VCLDBIF reader ---------------------------------------------------------------------------------------

void TDBGridEhImportAsVCLDBIF::ImportStream(TStream* stream, bool importAll)
{
    FIgnoreAll = false;
    FHasNames = false;
    FColumns.clear();
    FValue = Variant();
    TDBGridEhImport::ImportStream(stream, importAll);
}

void TDBGridEhImportAsVCLDBIF::Invalid() const { throw Exception(DBGridEhImpExp::SInvalidVCLDBIF); }

void TDBGridEhImportAsVCLDBIF::ReadExact(void* buffer, int count)
{
    if (count > 0 && Stream()->Read(buffer, count) != count) Invalid();
}

void TDBGridEhImportAsVCLDBIF::ReadPrefix()
{
    unsigned char h[12];
    ReadExact(h, 12);
    if (std::memcmp(h, "VCLDBIF", 7) != 0) Invalid();
    int32_t count = 0;
    std::memcpy(&count, h + 8, 4);
    // Each column takes at least two bytes of the header; a count the stream
    // cannot hold is as wrong as one of zero, with which no row would ever
    // take a value.
    int64_t left = Stream()->Size() - Stream()->Position();
    if (count <= 0 || int64_t(count) * 2 > left) Invalid();
    FColCount = count;
    FColumns.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        unsigned char vis = 0;
        ReadExact(&vis, 1);
        std::string name;
        for (;;) {
            char c = 0;
            ReadExact(&c, 1);
            if (c == 0) break;
            name += c;
        }
        if (!name.empty()) FHasNames = true;
        FColumns.emplace_back(GbkToUtf8(name), vis != 0);
    }
    ReadNextValue();
}

void TDBGridEhImportAsVCLDBIF::ReadNextValue()
{
    if (Eof()) return;
    unsigned char tag = 0;
    ReadExact(&tag, 1);
    FValue = Variant();
    FBinary = false;
    switch (tag) {
    case 0: SetEof(true); break;
    case 1: break;
    case 2: FValue = Null(); break;
    case 3: {
        int32_t v = 0;
        ReadExact(&v, 4);
        FValue = Variant(int(v));
        break;
    }
    case 4: {
        double v = 0;
        ReadExact(&v, 8);
        FValue = Variant(v);
        break;
    }
    case 5:
    case 6: {
        int32_t n = 0;
        ReadExact(&n, 4);
        if (n < 0 || int64_t(n) > Stream()->Size() - Stream()->Position()) Invalid();
        std::string bytes(size_t(n), '\0');
        ReadExact(bytes.data(), n);
        FBinary = tag == 6;
        FValue = Variant(std::move(bytes));
        break;
    }
    default: break;
    }
}

void TDBGridEhImportAsVCLDBIF::ReadRow(const TColumnsEhList& columns)
{
    for (int i = 0; i < FColCount && !Eof(); ++i) ReadCell(size_t(i) < columns.size() ? columns[size_t(i)] : nullptr);
}

void TDBGridEhImportAsVCLDBIF::ReadCell(TColumnEh* column)
{
    if (!FValue.IsEmpty() && column && column->CanModify(false)) {
        TField* target = TargetField(column);
        if (target && PrepareTargetField(target)) {
            Variant v = FValue;
            // Strings travel as 8-bit text; bytes of a binary field stay as they are.
            if (VarType(v) == varString && (!FBinary || IsTextType(target->DataType())))
                v = Variant(GbkToUtf8(VarToStr(v)));
            AssignWithQuestion([&] { target->SetAsVariant(v); });
        }
    }
    ReadNextValue();
}

// ---- routines -----------------------------------------------------------------------------------------------

TClipboardFormat DBGridEhImpExp::VCLDBIFClipboardFormat()
{
    static TClipboardFormat f = RegisterClipboardFormat("VCLDBIF");
    return f;
}

TClipboardFormat DBGridEhImpExp::CsvClipboardFormat()
{
    static TClipboardFormat f = RegisterClipboardFormat("Csv");
    return f;
}

TClipboardFormat DBGridEhImpExp::RtfClipboardFormat()
{
    static TClipboardFormat f = RegisterClipboardFormat("Rich Text Format");
    return f;
}

namespace {
// Makes an exporter or importer of the class, bound to the grid.
template <class T> std::unique_ptr<T> MakeFor(TClass cls, TCustomDBGridEh* grid)
{
    if (!cls || !cls->InheritsFrom(T::StaticClass())) throw Exception("Invalid exchange class");
    std::unique_ptr<T> made(static_cast<T*>(cls->Create()));
    made->SetDBGridEh(grid);
    return made;
}
} // namespace

void DBGridEhImpExp::ExportGridToStream(TClass exporterClass, TCustomDBGridEh* grid, TStream* stream, bool exportAll)
{
    MakeFor<TDBGridEhExport>(exporterClass, grid)->ExportStream(stream, exportAll);
}

void DBGridEhImpExp::ExportGridToFile(TClass exporterClass, TCustomDBGridEh* grid, const std::string& fileName,
                                      bool exportAll)
{
    MakeFor<TDBGridEhExport>(exporterClass, grid)->ExportFile(fileName, exportAll);
}

void DBGridEhImpExp::ImportGridFromStream(TClass importerClass, TCustomDBGridEh* grid, TStream* stream, bool importAll)
{
    MakeFor<TDBGridEhImport>(importerClass, grid)->ImportStream(stream, importAll);
}

void DBGridEhImpExp::ImportGridFromFile(TClass importerClass, TCustomDBGridEh* grid, const std::string& fileName,
                                        bool importAll)
{
    MakeFor<TDBGridEhImport>(importerClass, grid)->ImportFile(fileName, importAll);
}

void DBGridEhImpExp::GridCopy(TCustomDBGridEh* grid, bool all)
{
    TClipboard* cb = Clipboard();
    struct TOpen {
        TClipboard* Board;
        ~TOpen() { Board->Close(); }
    } open{cb};
    cb->Open();
    cb->Clear();
    TControlsOff off(GridDataSet(grid));
    auto run = [&](TClass cls) {
        TStringStream s;
        ExportGridToStream(cls, grid, &s, all);
        return s.DataString();
    };
    // Other programs read the text; the terminating zero does not travel.
    cb->SetAsText(GbkToUtf8(run(TDBGridEhExportAsText::StaticClass())));
    cb->SetBuffer(CsvClipboardFormat(), run(TDBGridEhExportAsCSV::StaticClass()) + std::string(1, '\0'));
    cb->SetBuffer(RtfClipboardFormat(), run(TDBGridEhExportAsRTF::StaticClass()) + std::string(1, '\0'));
    cb->SetBuffer(VCLDBIFClipboardFormat(), run(TDBGridEhExportAsVCLDBIF::StaticClass()));
}

void DBGridEhImpExp::GridPaste(TCustomDBGridEh* grid, bool all)
{
    TClipboard* cb = Clipboard();
    if (cb->HasFormat(VCLDBIFClipboardFormat())) {
        TStringStream s(cb->GetBuffer(VCLDBIFClipboardFormat()));
        ImportGridFromStream(TDBGridEhImportAsVCLDBIF::StaticClass(), grid, &s, all);
    } else if (cb->HasFormat(CF_TEXT)) {
        std::string text = Utf8ToGbk(cb->AsText());
        size_t nul = text.find('\0');
        if (nul != std::string::npos) text.resize(nul);
        TStringStream s(text);
        ImportGridFromStream(TDBGridEhImportAsText::StaticClass(), grid, &s, all);
    }
}

void DBGridEhImpExp::GridCut(TCustomDBGridEh* grid, bool all)
{
    GridCopy(grid, all);
    GridDelete(grid, all);
}

namespace {
// Clears the cells of the active record that may be changed; the data set
// posts when the cursor moves on.
void ClearRowCells(const TColumnsEhList& columns)
{
    for (TColumnEh* c : columns) {
        if (!c->CanModify(false)) continue;
        TField* f = CellTargetField(c);
        TDataSet* ds = f ? f->DataSet() : nullptr;
        if (!ds || !ds->CanModify()) continue;
        ds->Edit();
        if (ds->State() == dsEdit || ds->State() == dsInsert) f->Clear();
    }
}
} // namespace

void DBGridEhImpExp::GridDelete(TCustomDBGridEh* grid, bool all)
{
    if (!grid) return;
    TDBGridEhSelectionType kind = all ? gstAll : grid->Selection()->SelectionType();
    TDataSet* ds = GridDataSet(grid);
    if (kind == gstNon || !ds) return;
    if (grid->Options().Contains(dgConfirmDelete)) {
        // Deleting every record is asked about as deleting the selected ones is.
        std::string q;
        switch (kind) {
        case gstRecordBookmarks:
            q = grid->Selection()->Rows()->Count() < 2 ? "Delete record?" : "Delete all selected records?";
            break;
        case gstRectangle: q = SClearSelectedCells; break;
        case gstColumns: q = SClearSelectedColumns; break;
        default: q = SDeleteAllRecords; break;
        }
        if (::MessageBox(q, Application ? Application->Title() : std::string(), MB_OKCANCEL | MB_ICONQUESTION) ==
            IDCANCEL)
            return;
    }
    if (kind == gstRecordBookmarks) {
        grid->Selection()->Rows()->DeleteSelectedRecords();
        grid->Selection()->Clear();
        return;
    }
    grid->SaveViewPosition();
    TControlsOff off(ds);
    if (kind == gstAll) {
        ds->First();
        while (!ds->Eof() && !ds->IsEmpty()) ds->Delete();
        return;
    }
    TColumnsEhList columns = kind == gstRectangle ? RectColumns(grid) : grid->Selection()->SelectedColumns()->List();
    auto clear = [&] { ClearRowCells(columns); };
    if (kind == gstRectangle) ForRectRows(grid, ds, clear);
    else
        for (ds->First(); !ds->Eof(); ds->Next()) clear();
    grid->RestoreViewPosition();
}

void DBGridEhImpExp::Initialize()
{
    VCLDBIFClipboardFormat();
    CsvClipboardFormat();
    RtfClipboardFormat();
    DBGridEh::CopyAction = [](TCustomDBGridEh* g) { GridCopy(g, false); };
    DBGridEh::CutAction = [](TCustomDBGridEh* g) { GridCut(g, false); };
    DBGridEh::PasteAction = [](TCustomDBGridEh* g) { GridPaste(g, false); };
    DBGridEh::DeleteAction = [](TCustomDBGridEh* g) { GridDelete(g, false); };
}
