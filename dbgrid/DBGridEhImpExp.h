// DBGridEhImpExp: the data-aware grid's exchange formats and clipboard.
//
// Exporters write the grid's selection (or every record) into a stream as
// tab-separated text, CSV, an RTF table or VCLDBIF, a tagged binary format
// that carries field values rather than display texts. Importers read text
// and VCLDBIF back into the grid's columns. All exchanged text is 8-bit
// (GBK) with CR LF line breaks; integers are little-endian.
//
// The clipboard routines copy the selection in four formats at once, paste
// VCLDBIF (else plain text), cut, and delete or clear the selection.
#pragma once

#include "Clipbrd.h"
#include "DBGridEh.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStream;
class TMemoryStream;
class TStringList;

// What the exporters show of one data cell.
using TDBGridEhExportCellParams = TColCellParamsEh;

// ---- export ---------------------------------------------------------------------------------

class TDBGridEhExport : public TObject {
    QZ_CLASS(TDBGridEhExport, TObject)
public:
    TDBGridEhExport();
    ~TDBGridEhExport() override;

    TCustomDBGridEh* DBGridEh() const { return FDBGrid; }
    void SetDBGridEh(TCustomDBGridEh* grid) { FDBGrid = grid; }
    TStream* Stream() const { return FStream; }
    const TColumnsEhList& ExportColumns() const { return FExportColumns; }
    // Sum and count totals of the exported rows (value x 10000), footer-row major.
    const std::vector<int64_t>& FooterTotals() const { return FFooterTotals; }

    // exportAll: every record through the visible columns; otherwise the
    // grid's selection (nothing at all without one).
    virtual void ExportStream(TStream* stream, bool exportAll);
    // Writes the file whole: a failed export leaves an existing file as it was.
    void ExportFile(const std::string& fileName, bool exportAll);

protected:
    virtual void WriteHeader() {}
    virtual void WriteTrailer() {}
    virtual void WriteTitleRow(const TColumnsEhList& columns) {}
    virtual void WriteDataRow(const TColumnsEhList& columns);
    virtual void WriteDataValue(TColumnEh* column, TDBGridEhExportCellParams& params) {}
    virtual void WriteFooterRow(const TColumnsEhList& columns, int footerIndex);
    virtual void WriteFooterValue(int dataCol, int footerIndex, const std::string& text, TAlignment alignment,
                                  TColor background, TFont* font, TColumnEh* column) {}

    // Writes 8-bit bytes as they are.
    void WriteBytes(const std::string& bytes);
    // Writes UTF-8 text as its GBK bytes.
    void WriteText(const std::string& utf8);
    // The footer's text for an export: sums and counts of the exported rows,
    // the grid's own text for the other kinds.
    std::string ExportedFooterText(TColumnEh* column, int footerRow, int exportCol);
    // The field a footer totals: its own FieldName, else its column's (null when missing).
    TField* FooterField(TColumnEh* column, int footerRow) const;

    TDBGridEhExportCellParams FColCellParams;

private:
    void AccumulateFooters();
    TCustomDBGridEh* FDBGrid = nullptr;
    TStream* FStream = nullptr;
    TColumnsEhList FExportColumns;
    std::vector<int64_t> FFooterTotals;
    std::vector<bool> FTotalOverflow;
};

class TDBGridEhExportAsText : public TDBGridEhExport {
    QZ_CLASS(TDBGridEhExportAsText, TDBGridEhExport)
public:
    void ExportStream(TStream* stream, bool exportAll) override;
protected:
    void WriteTitleRow(const TColumnsEhList& columns) override;
    void WriteDataRow(const TColumnsEhList& columns) override;
    void WriteDataValue(TColumnEh* column, TDBGridEhExportCellParams& params) override;
    void WriteFooterRow(const TColumnsEhList& columns, int footerIndex) override;
    void WriteFooterValue(int dataCol, int footerIndex, const std::string& text, TAlignment alignment,
                          TColor background, TFont* font, TColumnEh* column) override;
    virtual void BreakRow();
    virtual void BreakCell();
    bool FFirstRec = true;
    bool FFirstCell = true;
};

class TDBGridEhExportAsCSV : public TDBGridEhExportAsText {
    QZ_CLASS(TDBGridEhExportAsCSV, TDBGridEhExportAsText)
public:
    TDBGridEhExportAsCSV();
    char Separator() const { return FSeparator; }
protected:
    void WriteTitleRow(const TColumnsEhList& columns) override;
    void WriteDataValue(TColumnEh* column, TDBGridEhExportCellParams& params) override;
    void WriteFooterValue(int dataCol, int footerIndex, const std::string& text, TAlignment alignment,
                          TColor background, TFont* font, TColumnEh* column) override;
    void BreakCell() override;
private:
    char FSeparator;
};

class TDBGridEhExportAsVCLDBIF : public TDBGridEhExport {
    QZ_CLASS(TDBGridEhExportAsVCLDBIF, TDBGridEhExport)
protected:
    void WriteHeader() override;
    void WriteTrailer() override;
    void WriteDataValue(TColumnEh* column, TDBGridEhExportCellParams& params) override;
};

// An RTF table: a row per title line, record and footer row, with the
// grid's fonts, colours and widths. Text that is not plain ASCII makes the
// document declare the Chinese code page, so other programs read it right.
class TDBGridEhExportAsRTF : public TDBGridEhExport {
    QZ_CLASS(TDBGridEhExportAsRTF, TDBGridEhExport)
public:
    TDBGridEhExportAsRTF();
    ~TDBGridEhExportAsRTF() override;
    void ExportStream(TStream* stream, bool exportAll) override;
protected:
    void WriteTrailer() override;
    void WriteTitleRow(const TColumnsEhList& columns) override;
    void WriteDataRow(const TColumnsEhList& columns) override;
    void WriteDataValue(TColumnEh* column, TDBGridEhExportCellParams& params) override;
    void WriteFooterRow(const TColumnsEhList& columns, int footerIndex) override;
    void WriteFooterValue(int dataCol, int footerIndex, const std::string& text, TAlignment alignment,
                          TColor background, TFont* font, TColumnEh* column) override;
    int ColorIndex(TColor color);
    int FontIndex(const std::string& name);
private:
    void WriteRowStart(const std::vector<TColor>& shading, const std::vector<unsigned>& noBorders,
                       const TColumnsEhList& columns);
    void WriteRowEnd();
    void EmitRun(TFont* font, const std::string& text, TColor background);
    void WriteCellLine(TAlignment alignment, TFont* font, const std::string& text, TColor background);
    void WriteMultiTitle(const TColumnsEhList& columns);
    int Spacing() const;
    std::vector<std::string> FColors;
    std::vector<std::string> FFonts;
};

// ---- import ---------------------------------------------------------------------------------

class TDBGridEhImport : public TObject {
    QZ_CLASS(TDBGridEhImport, TObject)
public:
    TDBGridEhImport();
    ~TDBGridEhImport() override;

    TCustomDBGridEh* DBGridEh() const { return FDBGrid; }
    void SetDBGridEh(TCustomDBGridEh* grid) { FDBGrid = grid; }
    TStream* Stream() const { return FStream; }
    const TColumnsEhList& ImportColumns() const { return FImportColumns; }
    bool Eof() const { return FEof; }

    // importAll: from the first record and column; otherwise over the
    // selection, or from the current cell onward without one.
    virtual void ImportStream(TStream* stream, bool importAll);
    void ImportFile(const std::string& fileName, bool importAll);

protected:
    virtual void ReadPrefix() {}
    virtual void ReadTrailer() {}
    virtual void ReadRow(const TColumnsEhList& columns);
    virtual void ReadCell(TColumnEh* column) {}

    // The field a cell value goes to: the column's field, or for a lookup
    // field the data-set field named by its KeyFields (null when none).
    TField* TargetField(TColumnEh* column) const;
    // Puts the target field's data set into edit state when it may be changed.
    bool PrepareTargetField(TField* field) const;
    // Runs assign; a failure asks whether to ignore it (Yes, No, All), and No
    // ends the import quietly.
    void AssignWithQuestion(const std::function<void()>& assign);
    void SetEof(bool v) { FEof = v; }
    bool FIgnoreAll = false;

private:
    void InsertRows(bool appendMode);
    TCustomDBGridEh* FDBGrid = nullptr;
    TStream* FStream = nullptr;
    TColumnsEhList FImportColumns;
    bool FEof = false;
};

class TDBGridEhImportAsText : public TDBGridEhImport {
    QZ_CLASS(TDBGridEhImportAsText, TDBGridEhImport)
public:
    void ImportStream(TStream* stream, bool importAll) override;
protected:
    void ReadPrefix() override;
    void ReadRow(const TColumnsEhList& columns) override;
    void ReadCell(TColumnEh* column) override;
    // Classifies the next byte: 0 text, 1 TAB, 2 CR LF, 3 end of input.
    int CheckState();
    int ReadCellText();
private:
    char FCurChar = 0;
    int FCurState = 3;
    std::string FCellText;
};

class TDBGridEhImportAsVCLDBIF : public TDBGridEhImport {
    QZ_CLASS(TDBGridEhImportAsVCLDBIF, TDBGridEhImport)
public:
    void ImportStream(TStream* stream, bool importAll) override;
    int ColumnCount() const { return FColCount; }
    // The column names of the stream's header with their visibility bytes.
    const std::vector<std::pair<std::string, bool>>& StreamColumns() const { return FColumns; }
protected:
    void ReadPrefix() override;
    void ReadRow(const TColumnsEhList& columns) override;
    void ReadCell(TColumnEh* column) override;
    void ReadNextValue();
private:
    [[noreturn]] void Invalid() const;
    void ReadExact(void* buffer, int count);
    int FColCount = 0;
    Variant FValue;
    bool FBinary = false;   // the current value came as tag 6
    std::vector<std::pair<std::string, bool>> FColumns;
    bool FHasNames = false;
};

namespace DBGridEhImpExp {
inline constexpr const char* SInvalidTextFormat = "TDBGridEhImportAsText.CheckState: Invalid text format";
inline constexpr const char* SInvalidVCLDBIF = "TDBGridEhImportAsVCLDBIF.ReadPrefix: Invalid VCLDBIF format";
inline constexpr const char* SErrorDuringInsert = "Error during insert value:";
inline constexpr const char* SIgnoreError = "Ignore error?";
inline constexpr const char* SNotInPickList = "'%s' is not in the column's pick list";
inline constexpr const char* SDeleteAllRecords = "Delete all records?";
inline constexpr const char* SClearSelectedColumns = "Clear selected columns?";
inline constexpr const char* SClearSelectedCells = "Clear selected cells?";

// Registers the clipboard formats and makes the grids' clipboard keys copy,
// cut, paste and delete through the routines below; called once at start-up.
void Initialize();

// The separator of CSV exports.
char CsvSeparator();

// The registered clipboard formats.
TClipboardFormat VCLDBIFClipboardFormat();
TClipboardFormat CsvClipboardFormat();
TClipboardFormat RtfClipboardFormat();

// exporterClass must derive from TDBGridEhExport.
void ExportGridToStream(TClass exporterClass, TCustomDBGridEh* grid, TStream* stream, bool exportAll);
void ExportGridToFile(TClass exporterClass, TCustomDBGridEh* grid, const std::string& fileName, bool exportAll);
// importerClass must derive from TDBGridEhImport.
void ImportGridFromStream(TClass importerClass, TCustomDBGridEh* grid, TStream* stream, bool importAll);
void ImportGridFromFile(TClass importerClass, TCustomDBGridEh* grid, const std::string& fileName, bool importAll);

void GridCopy(TCustomDBGridEh* grid, bool all);
void GridPaste(TCustomDBGridEh* grid, bool all);
void GridCut(TCustomDBGridEh* grid, bool all);
// Deletes the selected records (all of them with all); asks first with dgConfirmDelete.
void GridDelete(TCustomDBGridEh* grid, bool all);
} // namespace DBGridEhImpExp
