// The export matrix: lays the objects of every exported prepared page into
// one grid of rows and columns for the table-like exports (workbook, RTF).
// Pages stack downwards in one coordinate space (screen units); the objects'
// edges become the candidate boundaries, boundaries closer than Tolerance
// merge, tall gaps are cut, each object gets a rectangle of whole cells, an
// object covered by a later one is cut into its visible pieces, and the cell
// styles are kept once each.
#pragma once

#include "frxClass.h"

#include <memory>
#include <string>
#include <vector>

class TBitmap;
class TStringList;

class TfrxIEMStyle {
public:
    TfrxIEMStyle();
    ~TfrxIEMStyle();
    void Assign(const TfrxIEMStyle& source);
    bool IsEqual(const TfrxIEMStyle& other) const;

    std::unique_ptr<TfrxFont> Font;
    double LineSpacing = 0;
    TfrxVAlign VAlign = frxClass::vaTop;
    TfrxHAlign HAlign = frxClass::haLeft;
    TfrxFrameTypes FrameTyp;
    float FrameWidth = 1;
    TColor FrameColor = 0;
    TfrxFrameStyle FrameStyle = fsSolid;
    TColor Color = clNone;
    int Rotation = 0;
    double GapX = 0, GapY = 0;
};

class TfrxIEMObject {
public:
    TfrxIEMObject();
    ~TfrxIEMObject();
    std::unique_ptr<TStringList> Memo;
    std::string URL;
    int StyleIndex = -1;
    TfrxIEMStyle* Style = nullptr;   // not owned
    bool IsText = true;
    double Left = 0, Top = 0, Width = 0, Height = 0;
    std::unique_ptr<TBitmap> Image;
    TfrxIEMObject* Parent = nullptr;   // not owned
    int ExportMark = 0;
    // The text lines joined by CR LF.
    std::string Text() const;
};

struct TfrxIEMObjectList {
    std::unique_ptr<TfrxIEMObject> Obj;
    int Column = 0, Row = 0, ColSpan = 1, RowSpan = 1;
    bool Placed = false;
};

struct TfrxIEMPage {
    double PageEnd = 0;
    int Orientation = 0;
    double Width = 0, Height = 0;
    double LeftMargin = 0, TopMargin = 0, BottomMargin = 0, RightMargin = 0;
};

class TfrxIEMatrix {
public:
    TfrxIEMatrix();
    ~TfrxIEMatrix();

    // Options, set before the first object.
    bool ShowProgress = true;
    double MaxCellHeight = 0, MaxCellWidth = 0;
    double Tolerance = 0;
    bool RotatedAsImage = false;
    bool CropFillArea = false;
    bool FillArea = false;
    bool OptimizeFrames = false;
    bool StripTags = false;

    void AddObject(TfrxView* view);
    void AddPage(int orientation, double width, double height, double leftMargin, double topMargin,
                 double rightMargin, double bottomMargin);
    void Prepare();
    void Clear();

    int ColCount() const { return FColCount; }
    int RowCount() const { return FRowCount; }
    double MaxWidth() const { return FMaxWidth; }
    double MaxHeight() const { return FMaxHeight; }
    int Cell(int col, int row) const;
    TfrxIEMObject* GetObject(int col, int row) const;
    TfrxIEMObject* GetObjectById(int index) const;
    void GetObjectPos(int index, int& col, int& row, int& colSpan, int& rowSpan) const;
    int ObjectsCount() const { return int(FObjects.size()); }
    double GetXPos(int index) const;
    double GetYPos(int index) const;
    int StylesCount() const { return int(FStyles.size()); }
    TfrxIEMStyle* GetStyleById(int index) const;
    int PagesCount() const { return int(FPages.size()); }
    double GetPageBreak(int page) const;
    double GetPageWidth(int page) const;
    double GetPageHeight(int page) const;
    double GetPageLeftMargin(int page) const;
    double GetPageTopMargin(int page) const;
    double GetPageRightMargin(int page) const;
    double GetPageBottomMargin(int page) const;
    int GetPageOrientation(int page) const;

    // The number of an equal style, or of style appended (which the list takes).
    int AddStyle(std::unique_ptr<TfrxIEMStyle> style);

private:
    int StyleOf(TfrxView* view);
    void AddPos(std::vector<double>& list, double value);
    void MergePositions(std::vector<double>& list, double maxCell);
    void Locate();
    void FillCells();
    void SplitObjects();
    void DoOptimizeFrames();
    void FindRun(int col, int row, int& dx, int& dy) const;
    void SetStyleOf(TfrxIEMObject* obj, std::unique_ptr<TfrxIEMStyle> style);
    bool IsTextMemo(TfrxView* view) const;

    std::vector<std::unique_ptr<TfrxIEMObjectList>> FObjects;
    std::vector<std::unique_ptr<TfrxIEMStyle>> FStyles;
    std::vector<double> FXPos, FYPos;
    std::vector<TfrxIEMPage> FPages;
    std::vector<int> FCells;
    int FColCount = 0, FRowCount = 0;
    double FMaxWidth = 0, FMaxHeight = 0, FMinLeft = 99999, FMinTop = 99999;
    double FPageOffset = 0;
};

// The steps the table-like export filters share.
namespace frxExportMatrix {
// Adds a view of an exported page unless it is the page background, or a
// picture while pictures are not exported.
void AddFilteredObject(TfrxIEMatrix* matrix, TfrxComponent* obj, bool pictures);
// Finishes a page with the report page's size, orientation and margins.
void AddReportPage(TfrxIEMatrix* matrix, TfrxReportPage* page);
}
