// Spreadsheet workbooks in the normal workbook format (.xls: BIFF8 records
// in a compound file), written by us since no library on the system writes
// it. One worksheet: cells of text or numbers, each with a cell style (font,
// fill, borders, alignment, wrapping, number format) that may belong to a
// named workbook style; merged ranges; column widths and row heights; manual
// page breaks; page set-up; pictures over cell ranges. The layout of the file is described in XLS.md
// beside this file.
#pragma once

#include "Types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TXlsFont {
    std::string Name = "Arial";
    double Size = 10;   // points
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    TColor Color = clBlack;
    bool operator==(const TXlsFont&) const = default;
};

enum TXlsHAlign { xhGeneral, xhLeft, xhCenter, xhRight, xhFill, xhJustify };
enum TXlsVAlign { xvTop, xvCenter, xvBottom, xvJustify };
enum TXlsBorderSide { xbLeft = 1, xbRight = 2, xbTop = 4, xbBottom = 8 };
enum TXlsPictureFormat { xpJPEG, xpPNG };

struct TXlsStyle {
    TXlsFont Font;
    TColor Fill = clNone;            // clNone: no fill
    int Borders = 0;                 // TXlsBorderSide bits, thin lines
    TColor BorderColor = clBlack;
    TXlsHAlign HAlign = xhGeneral;
    TXlsVAlign VAlign = xvBottom;
    bool Wrap = false;
    std::string NumberFormat;        // empty: General
    bool operator==(const TXlsStyle&) const = default;
};

class TXlsWorkbook {
public:
    TXlsWorkbook();
    ~TXlsWorkbook();

    std::string SheetName = "Sheet1";
    // Page set-up; margins in inches.
    bool Landscape = false;
    double LeftMargin = 0.75, RightMargin = 0.75, TopMargin = 1, BottomMargin = 1;
    int PaperSize = 9;   // A4

    // A cell style; its number (for cells) is returned. With a name the
    // style is also a named workbook style the cells refer to.
    int AddStyle(const TXlsStyle& style, const std::string& name = std::string());
    // Rows and columns count from 0; at most 65536 rows and 256 columns.
    // An empty text makes a blank cell with the style.
    void SetText(int row, int col, const std::string& utf8, int style = -1);
    void SetNumber(int row, int col, double value, int style = -1);
    // A cell without a value that shows its style (borders, fill).
    void SetBlank(int row, int col, int style);
    void MergeCells(int firstRow, int firstCol, int lastRow, int lastCol);
    void SetColumnWidth(int col, double characters);
    void SetRowHeight(int row, double points);   // at most 409
    // A manual page break above row.
    void AddPageBreak(int row);
    // A picture (the bytes of a JPEG or PNG file) lying over the cells from
    // (firstRow, firstCol) to (lastRow, lastCol), moving with them.
    void AddPicture(int firstRow, int firstCol, int lastRow, int lastCol, const std::string& data,
                    TXlsPictureFormat format);

    // The workbook file's bytes.
    std::string SaveToString() const;
    // Writes the file whole: an existing file is replaced only once the new
    // one is written; a failure raises and leaves the old file.
    void SaveToFile(const std::string& fileName) const;

private:
    std::string DrawingGroup() const;
    void WriteDrawing(std::string& out) const;
    struct TImpl;
    std::unique_ptr<TImpl> F;
};

namespace XlsWorkbook {
// A compound file holding one stream (name in ASCII) with the given bytes.
std::string CompoundFile(const std::string& streamName, const std::string& stream);
// The letters of a column numbered from 1: 1 A, 27 AA, 52 AZ, 53 BA.
std::string ColumnName(int column);
}
