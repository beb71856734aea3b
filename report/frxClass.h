// The report model: the component base of every layout object, data sets,
// bands and pages, views and text objects (as data), the report's option
// objects, styles and data-set list, the report itself with its file
// format, password, variables and script, the expression cache and the
// abstract bases through which the report reaches its engine, prepared
// pages, designer, export filters and wizards.
//
// Geometry is in pixels at 96 per inch (3.77953 per millimetre); paper
// sizes and margins in millimetres. Platform enumerations (brush style,
// cursor, form border style, window state and position, paper orientation)
// are held as their ordinals and published under the platform's type names.
#pragma once

#include "Classes.h"
#include "TypInfo.h"
#include "Variants.h"
#include "frxFiler.h"
#include "frxGraphicData.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TStringList;
class TfrxXMLSerializer;
class TfrxXMLItem;
class TfrxReport;
class TfrxPage;
class TfrxReportPage;
class TfrxDataSet;
class TfrxChild;
class TfrxBand;
class TfrxPictureView;
class TfrxCustomMemoView;
class TfrxVariables;
class TfrxExpressionCache;
class TfsScript;
class TfsCustomVariable;
class TTimer;
class TCustomIniFile;
struct TfrxObjectNames;
class TCanvas;
class TfrxDrawText;
struct TfrxShownText;

// ---- shared constants ---------------------------------------------------------------

constexpr double fr01cm = 3.77953;
constexpr double fr1cm = 37.7953;
constexpr double fr01in = 9.6;
constexpr double fr1in = 96;
constexpr double fr1CharX = 9.6;
constexpr double fr1CharY = 17;
// Pages and data bands have at most this many columns.
constexpr int frMaxColumns = 1000;

// Ordinals of platform enumerations held by the model.
namespace frxEnums {
constexpr int poPortrait = 0, poLandscape = 1;                 // TPrinterOrientation
constexpr int bsSolid = 0, bsClear = 1;                        // TBrushStyle
constexpr int fbsSizeable = 2;                                 // TFormBorderStyle
constexpr int poScreenCenter = 4;                              // TPosition
constexpr int wsNormal = 0;                                    // TWindowState
}

enum TfrxRestriction { rfDontModify, rfDontSize, rfDontMove, rfDontDelete };
using TfrxRestrictions = TSet<TfrxRestriction, 8>;

// ---- component base -------------------------------------------------------------------

class TfrxComponent : public TComponent, public IfrxBinaryProps {
    QZ_CLASS(TfrxComponent, TComponent)
public:
    // With a TfrxComponent as owner the object joins that object's children
    // and is owned by its report; otherwise owner owns it and it has no parent.
    explicit TfrxComponent(TComponent* owner = nullptr);
    ~TfrxComponent() override;

    // Creates an object of class c as the designer does (IsDesigning set,
    // so Restrictions apply to its geometry); flags select a variant of the
    // object (the shape kind of a shape, 1 for a diagonal line).
    static TfrxComponent* CreateDesigned(TClass c, TComponent* owner, int flags = 0);

    const std::vector<TfrxComponent*>& Objects() const { return FObjects; }
    // Every descendant, depth first, each before its children.
    std::vector<TfrxComponent*> AllObjects() const;
    TfrxComponent* Parent() const { return FParent; }
    virtual void SetParent(TfrxComponent* value);

    double Left() const { return FLeft; }
    double Top() const { return FTop; }
    double Width() const { return FWidth; }
    double Height() const { return FHeight; }
    virtual void SetLeft(double v);
    virtual void SetTop(double v);
    virtual void SetWidth(double v);
    virtual void SetHeight(double v);
    void SetBounds(double l, double t, double w, double h);
    double AbsLeft() const;
    double AbsTop() const;

    TfrxFont* Font() const { return FFont.get(); }
    virtual void SetFont(TfrxFont* value);
    bool ParentFont() const { return FParentFont; }
    virtual void SetParentFont(bool value);
    virtual void FontChanged();
    bool IsFontStored() const { return !FParentFont; }

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool v) { FVisible = v; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v) { FGroupIndex = v; }
    TfrxRestrictions Restrictions() const { return FRestrictions; }
    void SetRestrictions(TfrxRestrictions v) { FRestrictions = v; }
    bool IsDesigning() const { return FIsDesigning; }
    void SetIsDesigning(bool v) { FIsDesigning = v; }
    bool SerializeWhole() const { return FSerializeWhole; }
    bool IsWriting() const { return FIsWriting; }
    void SetIsWriting(bool v) { FIsWriting = v; }
    virtual std::string BaseName() const;

    // Names are unique within a report: a taken name raises "重复命名".
    void SetName(const std::string& value) override;
    void MakeUniqueName();
    TfrxPage* Page() const;
    TfrxReport* Report() const;
    TfrxComponent* FindObject(const std::string& name) const;

    virtual void AlignChildren();
    virtual void RunStarting() {}
    virtual void Clear();
    virtual void LoadFromStream(TStream* stream);
    virtual void SaveToStream(TStream* stream, bool saveChildren = true, bool saveDefaultValues = false);
    virtual void BandShown(TfrxBand* band) {}
    // Draws the object on a canvas: device pixels per report pixel and the
    // device offset of the page's printable area.
    virtual void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) {}
    // Attribute text of what differs from template (prepared pages).
    virtual std::string Diff(TfrxComponent* templ);
    std::string DiffText(TfrxComponent* templ);
    virtual std::string GetDescription() const;

    void Assign(TPersistent* source) override;
    void AssignAll(TfrxComponent* source);

    void DefineBinaryProperties(TfrxFiler& filer) override {}
    void GetChildren(const TGetChildProc& proc, TComponent* root) override;

protected:
    // Called by CreateDesigned after construction.
    virtual void DesignCreated(int flags) {}
    // Renames without the uniqueness check (loading and saving blank the
    // name of the object they work on for a while).
    void RenameUnchecked(const std::string& value);
    bool FSerializeWhole = false;
    std::string FBaseName;

private:
    void FontNotify();
    // Adds this object and its descendants to the name index of report, or
    // takes them out of it.
    void IndexNames(TfrxReport* report, bool add) const;
    void Renamed(const std::string& oldName);
    TfrxComponent* FindObjectByWalking(const std::string& name) const;
    std::vector<TfrxComponent*> FObjects;
    TfrxComponent* FParent = nullptr;
    double FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    std::unique_ptr<TfrxFont> FFont;
    bool FParentFont = true;
    bool FVisible = true;
    int FGroupIndex = 0;
    TfrxRestrictions FRestrictions;
    bool FIsDesigning = false;
    bool FIsWriting = false;
    bool FFontUpdating = false;
};

class TfrxReportComponent : public TfrxComponent {
    QZ_CLASS(TfrxReportComponent, TfrxComponent)
public:
    explicit TfrxReportComponent(TComponent* owner = nullptr);
    virtual void BeforePrint();
    virtual void GetData() {}
    virtual void AfterPrint();
    virtual std::string GetComponentText() { return std::string(); }

    // Names of script routines.
    std::string OnAfterData, OnAfterPrint, OnBeforePrint, OnPreviewClick;
    // Objects whose vertical position follows this one (engine).
    std::vector<TfrxReportComponent*> ShiftChildren;

private:
    double FSaveLeft = 0, FSaveTop = 0, FSaveWidth = 0, FSaveHeight = 0;
};

// A non-visual component shown at design time as a 28 x 28 icon.
class TfrxDialogComponent : public TfrxReportComponent {
    QZ_CLASS(TfrxDialogComponent, TfrxReportComponent)
public:
    explicit TfrxDialogComponent(TComponent* owner = nullptr);
    int ImageIndex = -1;
    // pLeft and pTop, rounded, when the object belongs to a report.
    void DefineBinaryProperties(TfrxFiler& filer) override;
};

// ---- data sets --------------------------------------------------------------------------

enum TfrxRangeBegin { rbFirst, rbCurrent };
enum TfrxRangeEnd { reLast, reCurrent, reCount };
enum TfrxFieldType { fftNumeric, fftString, fftBoolean };

using TfrxCheckEOFEvent = std::function<void(TObject* sender, bool& eof)>;
using TfrxGetValueEvent = std::function<void(const std::string& varName, Variant& value)>;

class TfrxDataSet : public TfrxDialogComponent {
    QZ_CLASS(TfrxDataSet, TfrxDialogComponent)
public:
    explicit TfrxDataSet(TComponent* owner = nullptr);
    ~TfrxDataSet() override;

    virtual std::string GetDisplayText(const std::string& field) { return std::string(); }
    virtual int GetDisplayWidth(const std::string& field) { return 10; }
    // The caption a field is shown under (the field's own name when the
    // source keeps none): what a layout writes over a column it makes for
    // a field it finds at run time.
    virtual std::string GetDisplayLabel(const std::string& field) { return field; }
    virtual TfrxFieldType GetFieldType(const std::string& field) { return fftNumeric; }
    virtual Variant GetValue(const std::string& field);
    virtual void SetUserName(const std::string& value);
    virtual void Initialize() {}
    virtual void Finalize() {}
    virtual void Open();
    virtual void Close();
    virtual void First();
    virtual void Next();
    virtual void Prior();
    virtual bool Eof();
    virtual int FieldsCount() { return 0; }
    virtual bool IsBlobField(const std::string& field) { return false; }
    virtual void AssignBlobTo(const std::string& field, TStream* stream) {}
    virtual void GetFieldList(TStrings* list);
    bool HasField(const std::string& field);

    void SetName(const std::string& value) override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v) { FEnabled = v; }
    TfrxRangeBegin RangeBegin() const { return FRangeBegin; }
    void SetRangeBegin(TfrxRangeBegin v) { FRangeBegin = v; }
    TfrxRangeEnd RangeEnd() const { return FRangeEnd; }
    void SetRangeEnd(TfrxRangeEnd v) { FRangeEnd = v; }
    int RangeEndCount() const { return FRangeEndCount; }
    void SetRangeEndCount(int v) { FRangeEndCount = v; }
    const std::string& UserName() const { return FUserName; }
    int RecNo() const { return FRecNo; }
    bool OpenDataSource() const { return FOpenDataSource; }
    void SetOpenDataSource(bool v) { FOpenDataSource = v; }
    bool CloseDataSource() const { return FCloseDataSource; }
    void SetCloseDataSource(bool v) { FCloseDataSource = v; }
    // The report a run links the data set to.
    TfrxReport* LinkedReport() const { return FReportLink.Get(); }
    void SetLinkedReport(TfrxReport* r);

    TfrxCheckEOFEvent OnCheckEOF;
    TNotifyEvent OnFirst, OnNext, OnPrior, OnOpen, OnClose;

protected:
    int FRecNo = 0;

private:
    bool FEnabled = true;
    TfrxRangeBegin FRangeBegin = rbFirst;
    TfrxRangeEnd FRangeEnd = reLast;
    int FRangeEndCount = 0;
    std::string FUserName;
    bool FOpenDataSource = true;
    bool FCloseDataSource = false;
    TWeakRef<TfrxReport> FReportLink;
};

class TfrxUserDataSet : public TfrxDataSet {
    QZ_CLASS(TfrxUserDataSet, TfrxDataSet)
public:
    explicit TfrxUserDataSet(TComponent* owner = nullptr);
    ~TfrxUserDataSet() override;
    TStringList* Fields() const { return FFields.get(); }
    void SetFields(TStringList* v);
    void GetFieldList(TStrings* list) override;
    int FieldsCount() override;
    Variant GetValue(const std::string& field) override;
    std::string GetDisplayText(const std::string& field) override;
    TfrxGetValueEvent OnGetValue;
private:
    std::unique_ptr<TStringList> FFields;
};

class TfrxCustomDBDataSet : public TfrxDataSet {
    QZ_CLASS(TfrxCustomDBDataSet, TfrxDataSet)
public:
    explicit TfrxCustomDBDataSet(TComponent* owner = nullptr);
    ~TfrxCustomDBDataSet() override;
    TStringList* FieldAliases() const { return FAliases.get(); }
    void SetFieldAliases(TStringList* v);
    int FieldsCount() override;
    // The field name of an alias; the alias itself when none matches.
    std::string ConvertAlias(const std::string& alias) const;
protected:
    std::unique_ptr<TStringList> FFieldNames;   // sorted, no duplicates
private:
    std::unique_ptr<TStringList> FAliases;
};

namespace frxClass {
// The data set named (user name, case-insensitive): null for an empty name,
// current when owner is null or nothing matches; with a report as owner,
// data sets of other reports are skipped.
TfrxDataSet* FindDataSet(TfrxDataSet* current, const std::string& name, TComponent* owner);
// (user name, object) of every enabled data set with a user name.
void ListEnabledDataSets(TStrings* list);
// Every data set of the process, in order of creation.
const std::vector<TfrxDataSet*>& DataSetList();
}

// ---- views --------------------------------------------------------------------------------

enum TfrxFrameStyle { fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble };
enum TfrxFrameType { ftLeft, ftRight, ftTop, ftBottom };
using TfrxFrameTypes = TSet<TfrxFrameType, 8>;
enum TfrxAlign { baNone, baLeft, baRight, baCenter, baWidth, baBottom };
enum TfrxShiftMode { smDontShift, smAlways, smWhenOverlapped };
enum TfrxStretchMode { smDontStretch, smActualHeight, smMaxHeight };
enum TfrxShapeKind { skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1,
                     skDiagonal2 };
// The text alignments keep their value names inside the unit's namespace:
// the control library uses the same names for its own alignments.
namespace frxClass {
enum TfrxHAlign { haLeft, haRight, haCenter, haBlock };
enum TfrxVAlign { vaTop, vaBottom, vaCenter };
}
using frxClass::TfrxHAlign;
using frxClass::TfrxVAlign;
enum TfrxFormatKind { fkText, fkNumeric, fkDateTime, fkBoolean };

class TfrxFrame : public TPersistent {
    QZ_CLASS(TfrxFrame, TPersistent)
public:
    TfrxFrame() = default;
    void Assign(TPersistent* source) override;
    TColor Color = 0;
    bool DropShadow = false;
    TColor ShadowColor = 0;
    double ShadowWidth = 4;
    TfrxFrameStyle Style = fsSolid;
    TfrxFrameTypes Typ;
    double Width = 1;
    std::string DiffText(const TfrxFrame* templ) const;
};

class TfrxView : public TfrxReportComponent {
    QZ_CLASS(TfrxView, TfrxReportComponent)
public:
    explicit TfrxView(TComponent* owner = nullptr);
    ~TfrxView() override;

    TfrxAlign Align = baNone;
    int Cursor = 0;
    bool Printable = true;
    TfrxShiftMode ShiftMode = smAlways;
    std::string TagStr;
    std::string URL;
    int BrushStyle = frxEnums::bsSolid;
    TColor Color = clNone;
    std::string DataField;

    TfrxFrame* Frame() const { return FFrame.get(); }
    void SetFrame(TfrxFrame* v) { FFrame->Assign(v); }
    TfrxDataSet* DataSet() const { return FDataSet.Get(); }
    void SetDataSet(TfrxDataSet* v);
    std::string DataSetName() const;
    void SetDataSetName(const std::string& v);
    bool HasDataField() const { return DataSet() && !DataField.empty(); }

    void BeforePrint() override;
    void GetData() override;
    void AfterPrint() override;
    std::string Diff(TfrxComponent* templ) override;

    // Drawing: geometry in device pixels, then background and frame.
    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
    virtual void PrepareDraw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY);
    virtual void PaintBackground();
    virtual void PaintFrame();
    // The text with each bracketed expression replaced by its value.
    std::string ExpandExpressions(const std::string& text);

protected:
    void DrawThickLine(int x1, int y1, int x2, int y2, int w);
    TCanvas* FCanvas = nullptr;
    double FScaleX = 1, FScaleY = 1, FOffsetX = 0, FOffsetY = 0;
    int FX = 0, FY = 0, FX1 = 0, FY1 = 0, FDX = 0, FDY = 0, FFrameWidth = 0;

private:
    std::unique_ptr<TfrxFrame> FFrame;
    TWeakRef<TfrxDataSet> FDataSet;
    std::string FDataSetName;
    std::string FSavedTagStr, FSavedURL;
};

class TfrxStretcheable : public TfrxView {
    QZ_CLASS(TfrxStretcheable, TfrxView)
public:
    explicit TfrxStretcheable(TComponent* owner = nullptr);
    TfrxStretchMode StretchMode = smDontStretch;
    virtual double CalcHeight() { return Height(); }
    virtual double FitPart() { return 0; }
    virtual void StartPart() {}
};

class TfrxShapeView : public TfrxView {
    QZ_CLASS(TfrxShapeView, TfrxView)
public:
    explicit TfrxShapeView(TComponent* owner = nullptr);
    TfrxShapeKind Shape = skRectangle;
    std::string Diff(TfrxComponent* templ) override;
    std::string GetDescription() const override;
    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
protected:
    void DesignCreated(int flags) override { Shape = TfrxShapeKind(flags); }
};

class TfrxCustomLineView : public TfrxStretcheable {
    QZ_CLASS(TfrxCustomLineView, TfrxStretcheable)
public:
    explicit TfrxCustomLineView(TComponent* owner = nullptr);
    bool Diagonal = false;
    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
protected:
    void DesignCreated(int flags) override { Diagonal = flags != 0; }
};

class TfrxLineView : public TfrxCustomLineView {
    QZ_CLASS(TfrxLineView, TfrxCustomLineView)
public:
    explicit TfrxLineView(TComponent* owner = nullptr);
    std::string GetDescription() const override;
};

class TfrxPictureView : public TfrxView {
    QZ_CLASS(TfrxPictureView, TfrxView)
public:
    explicit TfrxPictureView(TComponent* owner = nullptr);
    ~TfrxPictureView() override;
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    bool Center = false;
    bool KeepAspectRatio = true;
    bool Stretched = true;
    TfrxPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TfrxPicture* v) { FPicture->Assign(v); }
    bool PictureChanged = false;
    void GetData() override;
    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
    std::string Diff(TfrxComponent* templ) override;
    std::string GetDescription() const override;
private:
    void PictureNotify();
    std::unique_ptr<TfrxPicture> FPicture;
    bool FAutoSize = false;
};

class TfrxHighlight : public TPersistent {
    QZ_CLASS(TfrxHighlight, TPersistent)
public:
    TfrxHighlight();
    void Assign(TPersistent* source) override;
    bool Active = false;
    TfrxFont* Font() const { return FFont.get(); }
    void SetFont(TfrxFont* v) { FFont->Assign(v); }
    TColor Color = clNone;
    std::string Condition;
private:
    std::unique_ptr<TfrxFont> FFont;
};

class TfrxFormat : public TPersistent {
    QZ_CLASS(TfrxFormat, TPersistent)
public:
    void Assign(TPersistent* source) override;
    std::string DecimalSeparator;
    std::string FormatStr;
    TfrxFormatKind Kind = fkText;
};

class TfrxStyleItem;

class TfrxCustomMemoView : public TfrxStretcheable {
    QZ_CLASS(TfrxCustomMemoView, TfrxStretcheable)
public:
    explicit TfrxCustomMemoView(TComponent* owner = nullptr);
    ~TfrxCustomMemoView() override;

    bool AutoWidth = false;
    bool AllowExpressions = true;
    bool AllowHTMLTags = false;
    double CharSpacing = 0;
    std::string ExpressionDelimiters = "[,]";
    double GapX = 2;
    double GapY = 1;
    TfrxHAlign HAlign = frxClass::haLeft;
    bool HideZeros = false;
    double LineSpacing = 2;
    double ParagraphGap = 0;
    bool RTLReading = false;
    bool SuppressRepeated = false;
    bool Underlines = false;
    bool WordBreak = false;
    bool WordWrap = true;
    TfrxVAlign VAlign = frxClass::vaTop;

    TStringList* Memo() const { return FMemo.get(); }
    void SetMemo(TStringList* v);
    std::string Text() const;
    void SetText(const std::string& v);
    int Rotation() const { return FRotation; }
    void SetRotation(int v) { FRotation = ((v % 360) + 360) % 360; }
    TfrxFormat* DisplayFormat() const { return FFormat.get(); }
    void SetDisplayFormat(TfrxFormat* v) { FFormat->Assign(v); }
    TfrxHighlight* Highlight() const { return FHighlight.get(); }
    void SetHighlight(TfrxHighlight* v) { FHighlight->Assign(v); }
    TfrxCustomMemoView* FlowTo() const { return FFlowTo.Get(); }
    void SetFlowTo(TfrxCustomMemoView* v) { FFlowTo = v; }
    const std::string& Style() const { return FStyle; }
    void SetStyle(const std::string& v);
    void CopyStyle(TfrxStyleItem* style);

    // Run-time state.
    Variant Value;
    Variant LastValue;
    std::string SavedText, PartText;
    int TotalPagesValue = 0;

    void BeforePrint() override;
    void GetData() override;
    void AfterPrint() override;
    std::string Diff(TfrxComponent* templ) override;
    std::string GetDescription() const override;
    std::string GetComponentText() override;

    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
    void PrepareDraw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
    double CalcHeight() override;
    virtual double CalcWidth();
    double FitPart() override;
    void StartPart() override;
    // The laid-out lines joined by line ends (wrapped) or the text without
    // its tags (not wrapped).
    std::string WrappedText(bool wrapped);
    // The text as drawing shows it on its page at scale 1 (page units): the
    // page count put in, laid out and placed by the renderer drawing uses,
    // the box drawing clips it to, and only what shows inside that box.
    // Every export takes a memo's text from here (turned text: its lines only).
    TfrxShownText ShownText();
    std::string CalcAndFormat(const std::string& expression);
    static std::string FormatValue(const Variant& value, TfrxFormat* format);
    TRect TextRect() const { return FTextRect; }
    // The renderer this object draws with: its report's, else the process-wide one.
    TfrxDrawText& Renderer() const;
    double VerticalExtra() const;
    double HorizontalExtra() const;

private:
    // The text drawing starts from: the page count put in for every mark of it.
    void PutTotalPages();
    void PrepareRenderer(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY);
    void ApplyRendererFont(TfrxDrawText& d);
    TRect FTextRect{0, 0, 0, 0};
    std::unique_ptr<TStringList> FMemo;
    std::unique_ptr<TfrxFormat> FFormat;
    std::unique_ptr<TfrxHighlight> FHighlight;
    TWeakRef<TfrxCustomMemoView> FFlowTo;
    int FRotation = 0;
    std::string FStyle;
};

class TfrxMemoView : public TfrxCustomMemoView {
    QZ_CLASS(TfrxMemoView, TfrxCustomMemoView)
public:
    explicit TfrxMemoView(TComponent* owner = nullptr) : TfrxCustomMemoView(owner) {}
};

class TfrxSysMemoView : public TfrxCustomMemoView {
    QZ_CLASS(TfrxSysMemoView, TfrxCustomMemoView)
public:
    explicit TfrxSysMemoView(TComponent* owner = nullptr) : TfrxCustomMemoView(owner) {}
    std::string GetDescription() const override;
};

// ---- bands and pages --------------------------------------------------------------------------

class TfrxBand : public TfrxReportComponent {
    QZ_CLASS(TfrxBand, TfrxReportComponent)
public:
    explicit TfrxBand(TComponent* owner = nullptr);
    std::string BaseBandName() const;
    int BandClassIndex() const;
    std::string GetDescription() const override;
    void SetLeft(double v) override;
    void SetTop(double v) override;
    void SetHeight(double v) override;

    bool AllowSplit = false;
    bool KeepChild = false;
    std::string OutlineText;
    bool PrintChildIfInvisible = false;
    bool StartNewPage = false;
    bool Stretched = false;
    bool Vertical = false;
    bool PrintOnFirstPage = true;
    bool PrintOnLastPage = true;
    bool ReprintOnNewPage = false;
    bool KeepTogether = false;
    std::string Condition;
    std::string OnAfterCalcHeight;
    TfrxChild* Child() const;
    void SetChild(TfrxChild* v);
    // Engine state.
    std::vector<TfrxBand*> SubBands;
    int Counter = -1;

private:
    TWeakRef<TfrxBand> FChild;
};

class TfrxReportTitle : public TfrxBand { QZ_CLASS(TfrxReportTitle, TfrxBand) public: using TfrxBand::TfrxBand; };
class TfrxReportSummary : public TfrxBand { QZ_CLASS(TfrxReportSummary, TfrxBand) public: using TfrxBand::TfrxBand; };
class TfrxPageHeader : public TfrxBand { QZ_CLASS(TfrxPageHeader, TfrxBand) public: using TfrxBand::TfrxBand; };
class TfrxPageFooter : public TfrxBand { QZ_CLASS(TfrxPageFooter, TfrxBand) public: using TfrxBand::TfrxBand; };
class TfrxHeader : public TfrxBand { QZ_CLASS(TfrxHeader, TfrxBand) public: using TfrxBand::TfrxBand; };
class TfrxFooter : public TfrxBand { QZ_CLASS(TfrxFooter, TfrxBand) public: using TfrxBand::TfrxBand; };

class TfrxDataBand : public TfrxBand {
    QZ_CLASS(TfrxDataBand, TfrxBand)
public:
    explicit TfrxDataBand(TComponent* owner = nullptr);
    ~TfrxDataBand() override;
    int Columns = 0;
    double ColumnWidth = 0;
    double ColumnGap = 0;
    bool FooterAfterEach = false;
    bool KeepFooter = false;
    bool KeepHeader = false;
    bool PrintIfDetailEmpty = false;
    std::string OnMasterDetail;
    TfrxDataSet* DataSet() const { return FDataSet.Get(); }
    void SetDataSet(TfrxDataSet* v);
    std::string DataSetName() const;
    void SetDataSetName(const std::string& v);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int v);
    TfrxUserDataSet* VirtualDataSet() const { return FVirtualDataSet.get(); }
    int CurColumn() const { return FCurColumn; }
    void SetCurColumn(int v);
    double MaxY = 0;
    std::string GetDescription() const override;
private:
    TWeakRef<TfrxDataSet> FDataSet;
    std::string FDataSetName;
    int FRowCount = 0;
    int FCurColumn = 1;
    std::unique_ptr<TfrxUserDataSet> FVirtualDataSet;
};

class TfrxMasterData : public TfrxDataBand { QZ_CLASS(TfrxMasterData, TfrxDataBand) public: using TfrxDataBand::TfrxDataBand; };
class TfrxDetailData : public TfrxDataBand { QZ_CLASS(TfrxDetailData, TfrxDataBand) public: using TfrxDataBand::TfrxDataBand; };
class TfrxSubdetailData : public TfrxDataBand { QZ_CLASS(TfrxSubdetailData, TfrxDataBand) public: using TfrxDataBand::TfrxDataBand; };
class TfrxDataBand4 : public TfrxDataBand { QZ_CLASS(TfrxDataBand4, TfrxDataBand) public: using TfrxDataBand::TfrxDataBand; };
class TfrxDataBand5 : public TfrxDataBand { QZ_CLASS(TfrxDataBand5, TfrxDataBand) public: using TfrxDataBand::TfrxDataBand; };
class TfrxDataBand6 : public TfrxDataBand { QZ_CLASS(TfrxDataBand6, TfrxDataBand) public: using TfrxDataBand::TfrxDataBand; };
class TfrxGroupHeader : public TfrxBand { QZ_CLASS(TfrxGroupHeader, TfrxBand) public: using TfrxBand::TfrxBand; };
class TfrxGroupFooter : public TfrxBand { QZ_CLASS(TfrxGroupFooter, TfrxBand) public: using TfrxBand::TfrxBand; };
class TfrxChild : public TfrxBand { QZ_CLASS(TfrxChild, TfrxBand) public: using TfrxBand::TfrxBand; };
class TfrxColumnHeader : public TfrxBand { QZ_CLASS(TfrxColumnHeader, TfrxBand) public: using TfrxBand::TfrxBand; };
class TfrxColumnFooter : public TfrxBand { QZ_CLASS(TfrxColumnFooter, TfrxBand) public: using TfrxBand::TfrxBand; };
class TfrxOverlay : public TfrxBand { QZ_CLASS(TfrxOverlay, TfrxBand) public: using TfrxBand::TfrxBand; };
class TfrxNullBand : public TfrxBand { QZ_CLASS(TfrxNullBand, TfrxBand) public: using TfrxBand::TfrxBand; };

class TfrxSubreport : public TfrxView {
    QZ_CLASS(TfrxSubreport, TfrxView)
public:
    explicit TfrxSubreport(TComponent* owner = nullptr);
    ~TfrxSubreport() override;
    TfrxReportPage* SubPage() const;
    void SetSubPage(TfrxReportPage* v);
    bool PrintOnParent = false;
    std::string GetDescription() const override;
private:
    TWeakRef<TfrxComponent> FPage;
};

class TfrxPage : public TfrxComponent {
    QZ_CLASS(TfrxPage, TfrxComponent)
public:
    explicit TfrxPage(TComponent* owner = nullptr) : TfrxComponent(owner) {}
};

enum TfrxDuplexMode { dmNone, dmVertical, dmHorizontal };

class TfrxReportPage : public TfrxPage {
    QZ_CLASS(TfrxReportPage, TfrxPage)
public:
    explicit TfrxReportPage(TComponent* owner = nullptr);
    ~TfrxReportPage() override;

    int Orientation() const { return FOrientation; }
    void SetOrientation(int v);
    double PaperWidth() const { return FPaperWidth; }
    void SetPaperWidth(double v);
    double PaperHeight() const { return FPaperHeight; }
    void SetPaperHeight(double v);
    int PaperSize() const { return FPaperSize; }
    void SetPaperSize(int v);
    double LeftMargin = 0, RightMargin = 0, TopMargin = 0, BottomMargin = 0;
    bool MirrorMargins = false;
    int Columns() const { return FColumns; }
    void SetColumns(int v);
    double ColumnWidth = 0;
    TStringList* ColumnPositions() const { return FColumnPositions.get(); }
    void SetColumnPositions(TStringList* v);
    int Bin = 7, BinOtherPages = 7;
    TfrxPicture* BackPicture() const;
    void SetBackPicture(TfrxPicture* v);
    TColor Color() const;
    void SetColor(TColor v);
    TfrxFrame* Frame() const;
    void SetFrame(TfrxFrame* v);
    TfrxDataSet* DataSet() const { return FDataSet.Get(); }
    void SetDataSet(TfrxDataSet* v);
    std::string DataSetName() const;
    void SetDataSetName(const std::string& v);
    TfrxDuplexMode Duplex = dmNone;
    bool LargeDesignHeight = false;
    std::string OutlineText;
    bool PrintIfEmpty = true;
    bool PrintOnPreviousPage = false;
    bool TitleBeforeHeader = true;
    TStringList* HGuides() const { return FHGuides.get(); }
    void SetHGuides(TStringList* v);
    TStringList* VGuides() const { return FVGuides.get(); }
    void SetVGuides(TStringList* v);
    std::string OnAfterPrint, OnBeforePrint, OnManualBuild;

    virtual void SetDefaults();
    void UpdateDimensions();
    void ClearGuides();
    TfrxBand* FindBand(TClass bandClass) const;
    bool IsSubReport() const { return SubReport() != nullptr; }
    TfrxSubreport* SubReport() const { return FSubReport.Get(); }
    void SetSubReportLink(TfrxSubreport* v) { FSubReport = v; }
    TfrxPictureView* BackgroundView() const { return FBackground.get(); }
    void AlignChildren() override;
    std::string GetDescription() const override;
    std::string BaseName() const override { return "Page"; }

private:
    int FOrientation = frxEnums::poPortrait;
    double FPaperWidth = 210, FPaperHeight = 297;
    int FPaperSize = 9;
    int FColumns = 0;
    std::unique_ptr<TStringList> FColumnPositions, FHGuides, FVGuides;
    std::unique_ptr<TfrxPictureView> FBackground;
    TWeakRef<TfrxDataSet> FDataSet;
    std::string FDataSetName;
    TWeakRef<TfrxSubreport> FSubReport;
};

class TfrxDialogPage : public TfrxPage {
    QZ_CLASS(TfrxDialogPage, TfrxPage)
public:
    explicit TfrxDialogPage(TComponent* owner = nullptr);
    int BorderStyle = frxEnums::fbsSizeable;
    std::string Caption;
    TColor Color = clBtnFace;
    int Position = frxEnums::poScreenCenter;
    int WindowState = frxEnums::wsNormal;
    std::string OnActivate, OnClick, OnCloseQuery, OnDeactivate, OnHide, OnKeyDown, OnKeyPress,
        OnKeyUp, OnShow, OnResize;
    std::string GetDescription() const override;
};

// ---- report options, data-set list, styles ---------------------------------------------------------

class TfrxEngineOptions : public TPersistent {
    QZ_CLASS(TfrxEngineOptions, TPersistent)
public:
    void Assign(TPersistent* source) override;
    void Clear();
    bool ConvertNulls = true;
    bool DoublePass = false;
    int MaxMemSize = 10;
    bool PrintIfEmpty = true;
    bool SilentMode = false;
    std::string TempDir;
    bool UseFileCache = false;
    // The report saves its layout before a run and restores it afterwards.
    bool RestoreLayout = true;
};

enum TfrxPreviewButton { pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbOutline, pbPageSetup,
                         pbTools, pbEdit, pbNavigator };
using TfrxPreviewButtons = TSet<TfrxPreviewButton, 16>;
enum TfrxZoomMode { zmDefault, zmWholePage, zmPageWidth, zmManyPages };
enum TfrxPrintPages { ppAll, ppOdd, ppEven };

class TfrxPreviewOptions : public TPersistent {
    QZ_CLASS(TfrxPreviewOptions, TPersistent)
public:
    TfrxPreviewOptions();
    void Assign(TPersistent* source) override;
    void Clear();
    bool AllowEdit = true;
    TfrxPreviewButtons Buttons;
    bool DoubleBuffered = true;
    bool Maximized = true;
    bool MDIChild = false;
    bool Modal = true;
    bool OutlineVisible = false;
    int OutlineWidth = 120;
    bool ShowCaptions = false;
    double Zoom = 1;
    TfrxZoomMode ZoomMode = zmDefault;
};

class TfrxPrintOptions : public TPersistent {
    QZ_CLASS(TfrxPrintOptions, TPersistent)
public:
    TfrxPrintOptions();
    void Assign(TPersistent* source) override;
    void Clear();
    int Copies = 1;
    bool Collate = true;
    std::string PageNumbers;
    std::string Printer;
    TfrxPrintPages PrintPages = ppAll;
    bool ShowDialog = true;
};

class TfrxReportOptions : public TPersistent {
    QZ_CLASS(TfrxReportOptions, TPersistent)
public:
    TfrxReportOptions();
    ~TfrxReportOptions() override;
    void Assign(TPersistent* source) override;
    void Clear();
    // True when no password is set or the user types it exactly.
    bool CheckPassword();
    std::string Author;
    bool Compressed = false;
    TDateTime CreateDate = 0;
    TStringList* Description() const { return FDescription.get(); }
    void SetDescription(TStringList* v);
    std::string InitString;
    std::string Name;
    TDateTime LastChange = 0;
    std::string Password;
    TfrxPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TfrxPicture* v) { FPicture->Assign(v); }
    std::string VersionBuild, VersionMajor, VersionMinor, VersionRelease;
private:
    std::unique_ptr<TStringList> FDescription;
    std::unique_ptr<TfrxPicture> FPicture;
};

class TfrxReportDataSets;

class TfrxDataSetItem : public TCollectionItem {
    QZ_CLASS(TfrxDataSetItem, TCollectionItem)
public:
    explicit TfrxDataSetItem(TCollection* collection = nullptr) : TCollectionItem(collection) {}
    TfrxDataSet* DataSet() const { return FDataSet.Get(); }
    void SetDataSet(TfrxDataSet* v);
    std::string DataSetName() const;
    void SetDataSetName(const std::string& v);
private:
    TWeakRef<TfrxDataSet> FDataSet;
    std::string FDataSetName;
};

class TfrxReportDataSets : public TCollection {
    QZ_CLASS(TfrxReportDataSets, TCollection)
public:
    explicit TfrxReportDataSets(TfrxReport* report);
    ~TfrxReportDataSets() override;
    TfrxDataSetItem* Add(TfrxDataSet* ds);
    TfrxDataSetItem* Items(int i) const { return ItemAs<TfrxDataSetItem>(i); }
    TfrxDataSetItem* Find(TfrxDataSet* ds) const;
    TfrxDataSetItem* Find(const std::string& name) const;
    void Initialize();
    void Finalize();
    TfrxReport* Report() const { return FReport; }
private:
    TfrxReport* FReport;
};

class TfrxStyles;

class TfrxStyleItem : public TCollectionItem {
    QZ_CLASS(TfrxStyleItem, TCollectionItem)
public:
    explicit TfrxStyleItem(TCollection* collection = nullptr);
    ~TfrxStyleItem() override;
    void Assign(TPersistent* source) override;
    const std::string& Name() const { return FName; }
    // Raises "Duplicate name" when another style of the set has that name.
    void SetName(const std::string& v);
    TColor Color = clNone;
    TfrxFont* Font() const { return FFont.get(); }
    void SetFont(TfrxFont* v) { FFont->Assign(v); }
    TfrxFrame* Frame() const { return FFrame.get(); }
    void SetFrame(TfrxFrame* v) { FFrame->Assign(v); }
    void MakeUniqueName();
private:
    std::string FName;
    std::unique_ptr<TfrxFont> FFont;
    std::unique_ptr<TfrxFrame> FFrame;
};

class TfrxStyles : public TCollection {
    QZ_CLASS(TfrxStyles, TCollection)
public:
    explicit TfrxStyles(TfrxReport* report = nullptr);
    ~TfrxStyles() override;
    TfrxStyleItem* Add();
    TfrxStyleItem* Items(int i) const { return ItemAs<TfrxStyleItem>(i); }
    TfrxStyleItem* Find(const std::string& name) const;
    void GetList(TStrings* list) const;
    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(TStream* stream);
    void LoadFromXMLItem(TfrxXMLItem* item);
    void SaveToFile(const std::string& fileName);
    void SaveToStream(TStream* stream);
    void SaveToXMLItem(TfrxXMLItem* item);
    void ReapplyToReport();
    std::string Name;
    TfrxReport* Report() const { return FReport; }
private:
    TfrxReport* FReport;
};

class TfrxStyleSheet {
public:
    TfrxStyleSheet();
    ~TfrxStyleSheet();
    void Clear();
    void Delete(int index);
    TfrxStyles* Add();
    int Count() const { return int(FItems.size()); }
    TfrxStyles* Items(int index) const { return FItems.at(size_t(index)).get(); }
    TfrxStyles* Find(const std::string& name) const;
    void GetList(TStrings* list) const;
    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(TStream* stream);
    void SaveToFile(const std::string& fileName);
    void SaveToStream(TStream* stream);
private:
    std::vector<std::unique_ptr<TfrxStyles>> FItems;
};

// ---- abstract bases -------------------------------------------------------------------------------

class TfrxCustomPreviewPages;
class TfrxProgress;
class TfrxCustomOutline;

// What a report needs of the preview it shows its pages in: the report tells
// it when a build starts, each page built and the end, so pages show while
// they are being built.
class TfrxCustomPreview {
public:
    virtual ~TfrxCustomPreview() = default;
    // Attaches the preview to the report's prepared pages (null: none).
    virtual void SetReport(TfrxReport* report) = 0;
    virtual void Init() = 0;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    virtual void BuildStarted() = 0;
    virtual void BuildProgress(int pageIndex) = 0;
    virtual void BuildFinished() = 0;
    // A build that failed closes the window the report opened for it.
    virtual void CloseHostWindow() {}
};

class TfrxCustomEngine : public TPersistent {
    QZ_CLASS(TfrxCustomEngine, TPersistent)
public:
    explicit TfrxCustomEngine(TfrxReport* report);
    ~TfrxCustomEngine() override;
    virtual void EndPage() = 0;
    virtual void NewColumn() = 0;
    virtual void NewPage() = 0;
    virtual void ShowBand(TfrxBand* band) = 0;
    virtual void ShowBandByClass(TClass bandClass) = 0;
    virtual double FooterHeight() = 0;
    virtual double FreeSpace() = 0;
    virtual Variant GetAggregateValue(const std::string& name, const std::string& expression,
                                      TfrxBand* band, int flags) = 0;
    virtual bool Run() = 0;
    void StopReport();

    TfrxReport* Report() const { return FReport; }
    std::vector<TObject*>& Listeners() { return FListeners; }
    bool Running = false;
    int CurLine = 0, CurLineThrough = 0;
    int CurColumn = 0, CurVColumn = 0;
    double CurX = 0, CurY = 0;
    bool FinalPass = false;
    double PageHeight = 0, PageWidth = 0;
    TDateTime StartDate = 0, StartTime = 0;
    int TotalPages = 0;
    bool DoublePass() const;
    TfrxCustomPreviewPages* PreviewPages = nullptr;
private:
    TfrxReport* FReport;
    std::vector<TObject*> FListeners;
};

class TfrxCustomOutline : public TPersistent {
    QZ_CLASS(TfrxCustomOutline, TPersistent)
public:
    explicit TfrxCustomOutline(TfrxCustomPreviewPages* pages) : FPreviewPages(pages) {}
    virtual int Count() = 0;
    virtual void AddItem(const std::string& text, int top) = 0;
    virtual void LevelDown(int index) = 0;
    virtual void LevelRoot() = 0;
    virtual void LevelUp() = 0;
    virtual void GetItem(int index, std::string& text, int& page, int& top) = 0;
    virtual void ShiftItems(TfrxXMLItem* from, int newTop) = 0;
    virtual TfrxXMLItem* GetCurPosition() = 0;
    TfrxCustomPreviewPages* PreviewPages() const { return FPreviewPages; }
private:
    TfrxCustomPreviewPages* FPreviewPages;
};

class TfrxCustomPreviewPages : public TObject {
    QZ_CLASS(TfrxCustomPreviewPages, TObject)
public:
    explicit TfrxCustomPreviewPages(TfrxReport* report) : FReport(report) {}
    ~TfrxCustomPreviewPages() override;
    virtual int Count() = 0;
    virtual void Clear() = 0;
    TfrxReport* Report() const { return FReport; }
    TfrxCustomOutline* Outline() const { return FOutline.get(); }
    TfrxCustomEngine* Engine = nullptr;
    bool AppendPages = false;
    int PageIndex = 0;
    int ShownPage = 0;
    int BasePage = 0;
protected:
    std::unique_ptr<TfrxCustomOutline> FOutline;
private:
    TfrxReport* FReport;
};

class TfrxCustomExportFilter : public TComponent {
    QZ_CLASS(TfrxCustomExportFilter, TComponent)
public:
    explicit TfrxCustomExportFilter(TComponent* owner = nullptr);
    ~TfrxCustomExportFilter() override;
    bool ShowDialog = true;
    // Set by the options dialog: only the page the preview shows, or the
    // pages named in PageNumbers ("1,3,5-12"; empty: every page).
    bool CurPage = false;
    std::string PageNumbers;
    virtual std::string GetDescription() { return std::string(); }
    virtual int ShowModal() { return 1; }
    virtual bool Start() { return true; }
    virtual void ExportObject(TfrxComponent* obj) = 0;
    virtual void Finish() {}
    virtual void FinishPage(TfrxReportPage* page, int index) {}
    virtual void StartPage(TfrxReportPage* page, int index) {}
    TfrxReport* Report = nullptr;
};

class TfrxCustomWizard : public TComponent {
    QZ_CLASS(TfrxCustomWizard, TComponent)
public:
    explicit TfrxCustomWizard(TComponent* owner = nullptr);
    virtual std::string GetDescription() { return std::string(); }
    virtual bool Execute() = 0;
    TComponent* Designer() const { return Owner(); }
    TfrxReport* Report = nullptr;
};

// Compiles each expression once, as a PascalScript function "_fN", and runs
// it on every evaluation.
class TfrxExpressionCache {
public:
    TfrxExpressionCache();
    ~TfrxExpressionCache();
    Variant Calc(const std::string& expression, std::string& errorText, TfsScript* parentScript);
    void Clear();
    int Count() const { return int(FItems.size()); }
private:
    std::map<std::string, TfsCustomVariable*> FItems;   // keys upper-cased
    std::unique_ptr<TfsScript> FScript;
};

// ---- report -----------------------------------------------------------------------------------------

enum TfrxProgressType { ptRunning, ptExporting, ptPrinting };

using TfrxProgressEvent = std::function<void(TfrxReport* sender, TfrxProgressType type, int progress)>;
using TfrxPrintEvent = std::function<void(TfrxReportComponent* sender)>;
using TfrxManualBuildEvent = std::function<void(TfrxPage* page)>;
using TfrxClickObjectEvent =
    std::function<void(TfrxView* view, int button, TShiftState shift, bool& modified)>;
using TfrxMouseOverObjectEvent = std::function<void(TfrxView* view)>;
using TfrxUserFunctionEvent =
    std::function<Variant(const std::string& methodName, Variant& params)>;

// A wrong layout password: the load is refused and the report stays as it was.
QZ_EXCEPTION(EfrxWrongPassword, Exception)

class TfrxReport : public TfrxComponent {
    QZ_CLASS(TfrxReport, TfrxComponent)
public:
    explicit TfrxReport(TComponent* owner = nullptr);
    ~TfrxReport() override;

    void Clear() override;
    // Reads a layout. The password, when one is set, is asked through the
    // host's input box; a wrong one raises EfrxWrongPassword. Whatever goes
    // wrong, the report keeps the layout it had.
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream, bool saveChildren = true, bool saveDefaultValues = false) override;
    // Reads a layout the program saved itself a moment ago (the designer's
    // undo snapshots): no password is asked.
    void LoadSnapshot(TStream* stream);
    bool LoadFromFile(const std::string& fileName, bool raiseIfMissing = false);
    void SaveToFile(const std::string& fileName);

    TfrxReportPage* Pages(int index) const;
    TfrxPage* PageAt(int index) const;
    int PagesCount() const { return int(Objects().size()); }
    TfrxDataSet* GetDataset(const std::string& alias) const;
    std::string DataSetDisplayName(TfrxDataSet* ds) const;
    void ListReportDataSets(TStrings* list, bool noUserDataSets) const;
    void SplitFieldReference(const std::string& text, TfrxDataSet*& ds, std::string& field) const;

    // Evaluation.
    Variant Calc(const std::string& expression, TfsScript* script = nullptr);
    bool DoGetValue(const std::string& name, Variant& value);
    void SetCurrentValue(const Variant& value);
    void DoNotifyEvent(TObject* sender, const std::string& handler, bool force = false);
    void DoParamEvent(const std::string& handler, Variant& params, bool force = false);
    // The application's event, then the object's script handler.
    void DoBeforePrint(TfrxReportComponent* obj);
    void DoAfterPrint(TfrxReportComponent* obj);
    // The view's script handler (always run), then the application's event.
    void DoPreviewClick(TfrxView* view, int button, TShiftState shift, bool& modified);
    // Sets up and compiles the report's script; errors go to Errors.
    bool SetupScript();

    // Builds the report into its prepared pages: checks the data sets, sets
    // up and runs the script, runs the engine, and restores the layout the
    // scripts may have changed. Errors are collected in Errors and shown
    // together (unless EngineOptions.SilentMode); false when there were any.
    bool PrepareReport(bool clearLastReport = true);
    // Shows the report in its preview. Without OldStyleProgress the preview
    // opens at once and the report is built into it 50 ms later, pages
    // showing as they are built; with it, the report is built first under
    // the progress window and shown when that succeeded.
    void ShowReport(bool clearLastReport = true);
    // Shows the prepared pages: in the attached preview, or in a preview
    // window the preview unit installs.
    void ShowPreparedReport();
    // The preview the report shows its pages in (null: none); never stored.
    TfrxCustomPreview* Preview() const { return FPreview; }
    void SetPreview(TfrxCustomPreview* v);
    // Runs the build the preview is waiting for (what the 50 ms timer does).
    void PrepareForPreview();
    // Prints or exports the prepared pages (preparing first when there are none).
    bool Print();
    bool Export(TfrxCustomExportFilter* filter);

    // Opens the designer registered by the designer unit (nothing while one
    // is open; without one it raises NoDesignerText); an empty report first
    // gets "Page1" with its defaults.
    void OpenDesigner();
    // The designer over prepared pages; whether it changed them.
    bool OpenPreviewDesigner();
    bool DesignerOpen() const { return FDesignerOpen; }

    // Settings of the report library: a registry-backed store when IniFile
    // begins with "\Software\", else the ini file named.
    std::unique_ptr<TCustomIniFile> OpenSettingsStore() const;

    TfrxDataSet* DataSet() const { return FDataSet.Get(); }
    void SetDataSet(TfrxDataSet* v);
    std::string DataSetName() const;
    void SetDataSetName(const std::string& v);
    bool DotMatrixReport = false;
    TfrxEngineOptions* EngineOptions() const { return FEngineOptions.get(); }
    void SetEngineOptions(TfrxEngineOptions* v) { FEngineOptions->Assign(v); }
    TfrxPreviewOptions* PreviewOptions() const { return FPreviewOptions.get(); }
    void SetPreviewOptions(TfrxPreviewOptions* v) { FPreviewOptions->Assign(v); }
    TfrxPrintOptions* PrintOptions() const { return FPrintOptions.get(); }
    void SetPrintOptions(TfrxPrintOptions* v) { FPrintOptions->Assign(v); }
    TfrxReportOptions* ReportOptions() const { return FReportOptions.get(); }
    void SetReportOptions(TfrxReportOptions* v) { FReportOptions->Assign(v); }
    std::string IniFile = "\\Software\\Hengyue\\Report";
    bool OldStyleProgress = false;
    std::string ScriptLanguage = "PascalScript";
    TStringList* ScriptText() const { return FScriptText.get(); }
    void SetScriptText(TStringList* v);
    bool ShowProgress = true;
    std::string OnStartReport, OnStopReport;

    TfrxReportDataSets* DataSets() const { return FDataSets.get(); }
    TfrxReportDataSets* EnabledDataSets() const { return FEnabledDataSets.get(); }
    TfrxVariables* Variables() const { return FVariables.get(); }
    TfrxStyles* Styles() const { return FStyles.get(); }
    void SetStyles(TfrxStyles* v);
    TfsScript* Script() const { return FScript.get(); }
    TStringList* Errors() const { return FErrors.get(); }
    TfrxCustomEngine* Engine() const { return FEngine.get(); }
    TfrxCustomPreviewPages* PreviewPages() const { return FPreviewPages.get(); }
    TfrxExpressionCache* ExpressionCache() const { return FExpressionCache.get(); }
    TfrxDrawText& DrawText() const { return *FDrawText; }
    std::string FileName;
    bool Modified = false;
    bool Terminated() const { return FTerminated; }
    void SetTerminated(bool v);
    // Progress of building, printing and exporting: the events and, while
    // printing or exporting with ShowProgress (or building with
    // OldStyleProgress), the progress window, whose cancel button stops the
    // work through Terminated.
    virtual void DoProgressStart(TfrxProgressType type);
    virtual void DoProgress(TfrxProgressType type, int progress);
    virtual void DoProgressStop(TfrxProgressType type);
    TfrxProgress* ProgressWindow() const { return FProgress.get(); }
    std::string CurObject;
    std::vector<std::string> SysVariables;
    TfrxXMLSerializer* ActiveSerializer() const { return FActiveSerializer; }
    void SetActiveSerializer(TfrxXMLSerializer* s) { FActiveSerializer = s; }

    TfrxGetValueEvent OnGetValue;
    TfrxPrintEvent OnBeforePrint, OnAfterPrint;
    TNotifyEvent OnBeginDoc, OnPrintReport;
    TfrxManualBuildEvent OnManualBuild;
    TfrxClickObjectEvent OnClickObject;
    TfrxMouseOverObjectEvent OnMouseOverObject;
    TfrxUserFunctionEvent OnUserFunction;
    TfrxProgressEvent OnProgressStart, OnProgress, OnProgressStop;

    void DefineBinaryProperties(TfrxFiler& filer) override;
    void Notification(TComponent* component, TOperation operation) override;
    void ShowErrors() const;

private:
    friend class TfrxComponent;   // keeps the name index of the report's objects
    void ClearReport();
    void LoadTree(TStream* stream, TfrxXMLItem* root);
    Variant DoGet(const std::string& name);

    // The report's objects (every descendant) by name, so that the checks
    // for unique names and the look-ups by name do not walk the layout.
    std::unique_ptr<TfrxObjectNames> FObjectNames;
    TWeakRef<TfrxDataSet> FDataSet;
    std::string FDataSetName;
    std::unique_ptr<TfrxEngineOptions> FEngineOptions;
    std::unique_ptr<TfrxPreviewOptions> FPreviewOptions;
    std::unique_ptr<TfrxPrintOptions> FPrintOptions;
    std::unique_ptr<TfrxReportOptions> FReportOptions;
    std::unique_ptr<TStringList> FScriptText;
    std::unique_ptr<TfrxReportDataSets> FDataSets;
    std::unique_ptr<TfrxReportDataSets> FEnabledDataSets;
    std::unique_ptr<TfrxVariables> FVariables;
    std::unique_ptr<TfrxStyles> FStyles;
    std::unique_ptr<TfsScript> FScript;
    std::unique_ptr<TStringList> FErrors;
    std::unique_ptr<TfrxExpressionCache> FExpressionCache;
    std::unique_ptr<TfrxDrawText> FDrawText;
    std::unique_ptr<TfrxCustomPreviewPages> FPreviewPages;
    std::unique_ptr<TfrxCustomEngine> FEngine;
    TfsCustomVariable* FValueVar = nullptr;
    TfrxXMLSerializer* FActiveSerializer = nullptr;
    std::unique_ptr<TfrxProgress> FProgress;
    TfrxCustomPreview* FPreview = nullptr;
    std::unique_ptr<TTimer> FPrepareTimer;
    bool FTerminated = false;
    bool FSkipPassword = false;
    bool FDesignerOpen = false;
};

namespace frxClass {
// The band classes in their order (report title 0 .. overlay 17); null past the end.
TClass BandClass(int index);
int BandClassCount();
// Registers the report classes for streaming (33 classes), once.
void Initialize();
// Set by the engine and preview units: make the engine and the prepared
// pages of a report.
extern std::function<TfrxCustomEngine*(TfrxReport*)> EngineFactory;
extern std::function<TfrxCustomPreviewPages*(TfrxReport*)> PreviewPagesFactory;
// Set by the designer unit: shows a designer window for the report and
// returns when it has closed (running its own modal loop, with the
// application's active window disabled meanwhile); returns whether the
// designer changed anything.
extern std::function<bool(TfrxReport* report, bool previewPageMode)> DesignerRunner;
// What OpenDesigner raises while no designer window is installed.
extern const char* const NoDesignerText;
// Set by the preview unit: shows the report's prepared pages.
extern std::function<void(TfrxReport* report)> PreviewRunner;
// Set by the password form's unit: asks for a layout's password (false:
// cancelled). Without it the host's input box asks.
extern std::function<bool(std::string& password)> PasswordPrompt;
}

// ---- value names of the model's enumerations ----------------------------------------------------------

QZ_ENUM_TYPEINFO(TfrxRestriction, "rfDontModify", "rfDontSize", "rfDontMove", "rfDontDelete")
QZ_ENUM_TYPEINFO(TfrxRangeBegin, "rbFirst", "rbCurrent")
QZ_ENUM_TYPEINFO(TfrxRangeEnd, "reLast", "reCurrent", "reCount")
QZ_ENUM_TYPEINFO(TfrxFieldType, "fftNumeric", "fftString", "fftBoolean")
QZ_ENUM_TYPEINFO(TfrxFrameStyle, "fsSolid", "fsDash", "fsDot", "fsDashDot", "fsDashDotDot", "fsDouble")
QZ_ENUM_TYPEINFO(TfrxFrameType, "ftLeft", "ftRight", "ftTop", "ftBottom")
QZ_ENUM_TYPEINFO(TfrxAlign, "baNone", "baLeft", "baRight", "baCenter", "baWidth", "baBottom")
QZ_ENUM_TYPEINFO(TfrxShiftMode, "smDontShift", "smAlways", "smWhenOverlapped")
QZ_ENUM_TYPEINFO(TfrxStretchMode, "smDontStretch", "smActualHeight", "smMaxHeight")
QZ_ENUM_TYPEINFO(TfrxShapeKind, "skRectangle", "skRoundRectangle", "skEllipse", "skTriangle",
                 "skDiamond", "skDiagonal1", "skDiagonal2")
namespace frxClass {   // found by argument-dependent lookup
QZ_ENUM_TYPEINFO(TfrxHAlign, "haLeft", "haRight", "haCenter", "haBlock")
QZ_ENUM_TYPEINFO(TfrxVAlign, "vaTop", "vaBottom", "vaCenter")
}
QZ_ENUM_TYPEINFO(TfrxFormatKind, "fkText", "fkNumeric", "fkDateTime", "fkBoolean")
QZ_ENUM_TYPEINFO(TfrxDuplexMode, "dmNone", "dmVertical", "dmHorizontal")
QZ_ENUM_TYPEINFO(TfrxPreviewButton, "pbPrint", "pbLoad", "pbSave", "pbExport", "pbZoom", "pbFind",
                 "pbOutline", "pbPageSetup", "pbTools", "pbEdit", "pbNavigator")
QZ_ENUM_TYPEINFO(TfrxZoomMode, "zmDefault", "zmWholePage", "zmPageWidth", "zmManyPages")
QZ_ENUM_TYPEINFO(TfrxPrintPages, "ppAll", "ppOdd", "ppEven")
QZ_ENUM_TYPEINFO(TfrxProgressType, "ptRunning", "ptExporting", "ptPrinting")

namespace frxClass {
// Type information of the platform enumerations the model holds as ordinals.
PTypeInfo PrinterOrientationType();
PTypeInfo BrushStyleType();
PTypeInfo FormBorderStyleType();
PTypeInfo PositionType();
PTypeInfo WindowStateType();
}
