#include "frxClassRTTI.h"

#include "DateUtils.h"
#include "Lists.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxDMPClass.h"
#include "frxEngine.h"
#include "frxPreviewPages.h"
#include "frxVariables.h"
#include "fs_iinterpreter.h"

QZ_CLASS_IMPL(TfrxClassRTTIFunctions, TObject)

using namespace fs_iinterpreter;

namespace {

TfrxClassRTTIFunctions* GInstance = nullptr;

template <class T> T* As(TObject* o) { return static_cast<T*>(o); }

template <class T> T* Arg(const Variant& v) { return DynamicCast<T>(VarToObject(v)); }

// Lists handed to scripts: one per component, refilled on each read.
TList* ListOf(TfrxComponent* c, bool all)
{
    static std::map<std::pair<const TfrxComponent*, bool>, std::unique_ptr<TList>>* lists =
        new std::map<std::pair<const TfrxComponent*, bool>, std::unique_ptr<TList>>();
    auto& l = (*lists)[{c, all}];
    if (!l) l = std::make_unique<TList>();
    l->Clear();
    for (TfrxComponent* o : all ? c->AllObjects() : c->Objects()) l->Add(o);
    return l.get();
}

int DatePart(const Variant& v, const char* picture)
{
    return StrToInt(FormatDateTime(picture, VarToDateTime(v)));
}

Variant CallMethod(TObject* inst, TClass cls, const std::string& name, TfsParams& p)
{
    auto P = [&](size_t i) { return i < p.size() ? p[i] : Variant(); };
    if (!cls) {   // global routines
        if (name == "DAYOF") return Variant(DatePart(P(0), "d"));
        if (name == "MONTHOF") return Variant(DatePart(P(0), "m"));
        if (name == "YEAROF") return Variant(DatePart(P(0), "yyyy"));
        return Variant(0);
    }
    if (cls == TfrxDataSet::StaticClass()) {
        auto* ds = As<TfrxDataSet>(inst);
        if (name == "OPEN") ds->Open();
        else if (name == "CLOSE") ds->Close();
        else if (name == "FIRST") ds->First();
        else if (name == "NEXT") ds->Next();
        else if (name == "PRIOR") ds->Prior();
        else if (name == "EOF") return Variant(ds->Eof());
        else if (name == "FIELDSCOUNT") return Variant(ds->FieldsCount());
        else if (name == "HASFIELD") return Variant(ds->HasField(VarToStr(P(0))));
        else if (name == "ISBLOBFIELD") return Variant(ds->IsBlobField(VarToStr(P(0))));
        else if (name == "GETFIELDLIST") {
            if (auto* l = Arg<TStrings>(P(0))) ds->GetFieldList(l);
        } else if (name == "DISPLAYTEXT.GET") return Variant(ds->GetDisplayText(VarToStr(P(0))));
        else if (name == "DISPLAYWIDTH.GET") return Variant(ds->GetDisplayWidth(VarToStr(P(0))));
        else if (name == "DISPLAYLABEL.GET") return Variant(ds->GetDisplayLabel(VarToStr(P(0))));
        else if (name == "FIELDTYPE.GET") return Variant(int(ds->GetFieldType(VarToStr(P(0)))));
        else if (name == "VALUE.GET") return ds->GetValue(VarToStr(P(0)));
        return Variant(0);
    }
    if (cls == TfrxComponent::StaticClass()) {
        auto* c = As<TfrxComponent>(inst);
        if (name == "CLEAR") c->Clear();
        else if (name == "FINDOBJECT") return ObjectToVar(c->FindObject(VarToStr(P(0))));
        else if (name == "LOADFROMSTREAM") {
            if (auto* s = Arg<TStream>(P(0))) c->LoadFromStream(s);
        } else if (name == "SAVETOSTREAM") {
            if (auto* s = Arg<TStream>(P(0))) c->SaveToStream(s, VarIsEmpty(P(1)) || P(1).AsBoolean(), false);
        } else if (name == "SETBOUNDS") {
            c->SetBounds(P(0).AsDouble(), P(1).AsDouble(), P(2).AsDouble(), P(3).AsDouble());
        }
        return Variant(0);
    }
    if (cls == TfrxStretcheable::StaticClass() && name == "CALCHEIGHT")
        return Variant(As<TfrxStretcheable>(inst)->CalcHeight());
    if (cls == TfrxCustomMemoView::StaticClass() && name == "CALCWIDTH")
        return Variant(As<TfrxCustomMemoView>(inst)->CalcWidth());
    if (cls == TfrxPictureView::StaticClass() && name == "LOADFROMFILE") {
        As<TfrxPictureView>(inst)->Picture()->LoadFromFile(VarToStr(P(0)));
        return Variant(0);
    }
    if (cls == TfrxVariables::StaticClass()) {
        auto* v = As<TfrxVariables>(inst);
        if (name == "VARIABLES.GET") return v->Variables(VarToStr(P(0)));
        if (name == "VARIABLES.SET") v->SetVariables(VarToStr(P(0)), P(1));
        return Variant(0);
    }
    if (cls == TfrxReport::StaticClass()) {
        auto* r = As<TfrxReport>(inst);
        if (name == "CALC") return r->Calc(VarToStr(P(0)));
        if (name == "GETDATASET") return ObjectToVar(r->GetDataset(VarToStr(P(0))));
        if (name == "LOADFROMFILE") return Variant(r->LoadFromFile(VarToStr(P(0))));
        if (name == "SAVETOFILE") r->SaveToFile(VarToStr(P(0)));
        else if (name == "SHOWREPORT") r->ShowReport(true);
        return Variant(0);
    }
    if (cls == TfrxCustomEngine::StaticClass()) {
        auto* e = As<TfrxCustomEngine>(inst);
        auto* pages = DynamicCast<TfrxPreviewPages>(e->PreviewPages);
        if (name == "NEWPAGE") e->NewPage();
        else if (name == "NEWCOLUMN") e->NewColumn();
        else if (name == "SHOWBAND") e->ShowBand(Arg<TfrxBand>(P(0)));
        else if (name == "STOPREPORT") e->StopReport();
        else if (name == "FREESPACE") return Variant(e->FreeSpace());
        else if (name == "ADDANCHOR") {
            if (pages) pages->AddAnchor(VarToStr(P(0)));
        } else if (name == "GETANCHORPAGE") return Variant(pages ? pages->GetAnchorPage(VarToStr(P(0))) : 1);
        return Variant(0);
    }
    if (cls == TfrxCustomOutline::StaticClass()) {
        auto* o = As<TfrxCustomOutline>(inst);
        if (name == "ADDITEM") {
            TfrxCustomEngine* e = o->PreviewPages() ? o->PreviewPages()->Engine : nullptr;
            o->AddItem(VarToStr(P(0)), e ? int(Round(e->CurY)) : 0);
        } else if (name == "LEVELROOT") o->LevelRoot();
        else if (name == "LEVELUP") o->LevelUp();
        return Variant(0);
    }
    return Variant(0);
}

Variant GetProp(TObject* inst, TClass cls, const std::string& name)
{
    if (cls == TfrxDataSet::StaticClass() && name == "RECNO") return Variant(As<TfrxDataSet>(inst)->RecNo());
    if (cls == TfrxComponent::StaticClass()) {
        auto* c = As<TfrxComponent>(inst);
        if (name == "OBJECTS") return ObjectToVar(ListOf(c, false));
        if (name == "ALLOBJECTS") return ObjectToVar(ListOf(c, true));
        if (name == "PARENT") return ObjectToVar(c->Parent());
        if (name == "PAGE") return ObjectToVar(c->Page());
        if (name == "ABSLEFT") return Variant(c->AbsLeft());
        if (name == "ABSTOP") return Variant(c->AbsTop());
    }
    if (cls == TfrxCustomMemoView::StaticClass()) {
        auto* m = As<TfrxCustomMemoView>(inst);
        if (name == "TEXT") return Variant(m->Text());
        if (name == "LINES") return ObjectToVar(m->Memo());
        if (name == "VALUE") return m->Value;
    }
    if (cls == TfrxBand::StaticClass() && name == "OVERFLOW") {
        auto* b = As<TfrxBand>(inst);
        if (auto* e = DynamicCast<TfrxEngine>(b->Report() ? b->Report()->Engine() : nullptr))
            return Variant(e->Info(b).Overflow);
        return Variant(false);
    }
    if (cls == TfrxDialogPage::StaticClass() && name == "MODALRESULT") return Variant(0);
    return Variant(0);
}

void SetProp(TObject* inst, TClass cls, const std::string& name, const Variant& v)
{
    if (cls == TfrxComponent::StaticClass() && name == "PARENT") {
        As<TfrxComponent>(inst)->SetParent(Arg<TfrxComponent>(v));
    } else if (cls == TfrxCustomMemoView::StaticClass()) {
        auto* m = As<TfrxCustomMemoView>(inst);
        if (name == "TEXT") m->SetText(VarToStr(v));
        else if (name == "LINES") {
            if (auto* l = Arg<TStrings>(v)) m->Memo()->Assign(l);
        }
    }
}

}  // namespace

namespace frxClassRTTI {

void Initialize()
{
    if (GInstance) return;
    TfsScript* g = GetGlobalScript();
    if (!g) return;
    frxClass::Initialize();
    GInstance = new TfrxClassRTTIFunctions;
    g->Registrar = GInstance;

    // Lengths held with four decimals, as the script's fixed-point values are.
    g->AddConst("fr01cm", "Extended", Variant(3.7795));
    g->AddConst("fr1cm", "Extended", Variant(37.7953));
    g->AddConst("fr01in", "Extended", Variant(9.6));
    g->AddConst("fr1in", "Extended", Variant(96.0));
    g->AddConst("fr1CharX", "Extended", Variant(9.6));
    g->AddConst("fr1CharY", "Extended", Variant(17.0));
    g->AddConst("clTransparent", "Integer", Variant(int(clNone)));
    g->AddConst("crHand", "Integer", Variant(50));
    g->AddConst("crZoom", "Integer", Variant(51));
    g->AddConst("crFormat", "Integer", Variant(52));

    g->AddEnum("TfrxStretchMode", "smDontStretch, smActualHeight, smMaxHeight");
    g->AddEnum("TfrxShiftMode", "smDontShift, smAlways, smWhenOverlapped");
    g->AddEnum("TfrxDuplexMode", "dmNone, dmVertical, dmHorizontal");
    g->AddEnum("TfrxAlign", "baNone, baLeft, baRight, baCenter, baWidth, baBottom");
    g->AddEnum("TfrxFrameStyle", "fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble");
    g->AddEnumSet("TfrxFrameTypes", "ftLeft, ftRight, ftTop, ftBottom");
    g->AddEnum("TfrxHAlign", "haLeft, haRight, haCenter, haBlock");
    g->AddEnum("TfrxVAlign", "vaTop, vaBottom, vaCenter");
    g->AddEnumSet("TfrxRestrictions", "rfDontModify, rfDontSize, rfDontMove, rfDontDelete");
    g->AddEnum("TfrxShapeKind", "skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1, "
                                "skDiagonal2");
    g->AddEnumSet("TfrxPreviewButtons", "pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbOutline, "
                                        "pbPageSetup, pbTools, pbEdit, pbNavigator");
    g->AddEnum("TfrxZoomMode", "zmDefault, zmWholePage, zmPageWidth, zmManyPages");
    g->AddEnum("TfrxPrintPages", "ppAll, ppOdd, ppEven");
    g->AddEnumSet("TfrxDMPFontStyles", "fsxBold, fsxItalic, fsxUnderline, fsxSuperScript, fsxSubScript, "
                                       "fsxCondensed, fsxWide, fsx12cpi, fsx15cpi");
    g->AddEnum("TfrxRangeBegin", "rbFirst, rbCurrent");
    g->AddEnum("TfrxRangeEnd", "reLast, reCurrent, reCount");
    g->AddEnum("TfrxFieldType", "fftNumeric, fftString, fftBoolean");
    g->AddEnum("TfrxFormatKind", "fkText, fkNumeric, fkDateTime, fkBoolean");

    auto add = [&](TClass c, const char* ancestor) { return g->AddClass(c, ancestor); };
    TfsClassVariable* c = add(TfrxDataSet::StaticClass(), "TComponent");
    if (c) {
        for (const char* m : {"procedure Open", "procedure Close", "procedure First", "procedure Next",
                              "procedure Prior", "function Eof: Boolean", "function FieldsCount: Integer",
                              "function HasField(const fName: String): Boolean",
                              "function IsBlobField(const fName: String): Boolean",
                              "procedure GetFieldList(List: TStrings)"})
            c->AddMethod(m, CallMethod);
        c->AddProperty("RecNo", "Integer", GetProp);
        c->AddIndexProperty("DisplayText", "String", "String", CallMethod, true);
        c->AddIndexProperty("DisplayWidth", "String", "Integer", CallMethod, true);
        c->AddIndexProperty("DisplayLabel", "String", "String", CallMethod, true);
        c->AddIndexProperty("FieldType", "String", "TfrxFieldType", CallMethod, true);
        c->AddIndexProperty("Value", "String", "Variant", CallMethod, true);
    }
    add(TfrxUserDataSet::StaticClass(), "TfrxDataSet");
    add(TfrxCustomDBDataSet::StaticClass(), "TfrxDataSet");
    if ((c = add(TfrxComponent::StaticClass(), "TComponent"))) {
        for (const char* m : {"procedure Clear", "function FindObject(s: String): TfrxComponent",
                              "procedure LoadFromStream(Stream: TStream)",
                              "procedure SaveToStream(Stream: TStream; SaveChildren: Boolean = True)",
                              "procedure SetBounds(ALeft, ATop, AWidth, AHeight: Extended)"})
            c->AddMethod(m, CallMethod);
        c->AddProperty("Objects", "TList", GetProp);
        c->AddProperty("AllObjects", "TList", GetProp);
        c->AddProperty("Parent", "TfrxComponent", GetProp, SetProp);
        c->AddProperty("Page", "TfrxPage", GetProp);
        c->AddProperty("AbsLeft", "Extended", GetProp);
        c->AddProperty("AbsTop", "Extended", GetProp);
    }
    add(TfrxReportComponent::StaticClass(), "TfrxComponent");
    add(TfrxDialogComponent::StaticClass(), "TfrxReportComponent");
    add(TfrxFrame::StaticClass(), "TPersistent");
    add(TfrxView::StaticClass(), "TfrxReportComponent");
    add(TfrxShapeView::StaticClass(), "TfrxView");
    if ((c = add(TfrxStretcheable::StaticClass(), "TfrxView"))) c->AddMethod("function CalcHeight: Extended", CallMethod);
    add(TfrxHighlight::StaticClass(), "TPersistent");
    add(TfrxFormat::StaticClass(), "TPersistent");
    if ((c = add(TfrxCustomMemoView::StaticClass(), "TfrxStretcheable"))) {
        c->AddMethod("function CalcWidth: Extended", CallMethod);
        c->AddProperty("Text", "String", GetProp, SetProp);
        c->AddProperty("Lines", "TStrings", GetProp, SetProp);
        c->AddProperty("Value", "Variant", GetProp);
    }
    add(TfrxMemoView::StaticClass(), "TfrxCustomMemoView");
    add(TfrxSysMemoView::StaticClass(), "TfrxCustomMemoView");
    add(TfrxDMPMemoView::StaticClass(), "TfrxCustomMemoView");
    add(TfrxCustomLineView::StaticClass(), "TfrxStretcheable");
    add(TfrxLineView::StaticClass(), "TfrxCustomLineView");
    add(TfrxDMPLineView::StaticClass(), "TfrxCustomLineView");
    if ((c = add(TfrxPictureView::StaticClass(), "TfrxView")))
        c->AddMethod("procedure LoadFromFile(filename: String)", CallMethod);
    add(TfrxSubreport::StaticClass(), "TfrxView");
    if ((c = add(TfrxBand::StaticClass(), "TfrxReportComponent"))) c->AddProperty("Overflow", "Boolean", GetProp);
    add(TfrxDataBand::StaticClass(), "TfrxBand");
    add(TfrxHeader::StaticClass(), "TfrxBand");
    add(TfrxFooter::StaticClass(), "TfrxBand");
    for (TClass k : {TfrxMasterData::StaticClass(), TfrxDetailData::StaticClass(), TfrxSubdetailData::StaticClass(),
                     TfrxDataBand4::StaticClass(), TfrxDataBand5::StaticClass(), TfrxDataBand6::StaticClass()})
        add(k, "TfrxDataBand");
    for (TClass k : {TfrxPageHeader::StaticClass(), TfrxPageFooter::StaticClass(), TfrxColumnHeader::StaticClass(),
                     TfrxColumnFooter::StaticClass(), TfrxGroupHeader::StaticClass(),
                     TfrxGroupFooter::StaticClass(), TfrxReportTitle::StaticClass(),
                     TfrxReportSummary::StaticClass(), TfrxChild::StaticClass(), TfrxOverlay::StaticClass()})
        add(k, "TfrxBand");
    add(TfrxPage::StaticClass(), "TfrxComponent");
    add(TfrxReportPage::StaticClass(), "TfrxPage");
    add(TfrxDMPPage::StaticClass(), "TfrxReportPage");
    if ((c = add(TfrxDialogPage::StaticClass(), "TfrxPage"))) c->AddProperty("ModalResult", "Integer", GetProp, SetProp);
    for (TClass k : {TfrxEngineOptions::StaticClass(), TfrxPrintOptions::StaticClass(),
                     TfrxPreviewOptions::StaticClass(), TfrxReportOptions::StaticClass()})
        add(k, "TPersistent");
    add(TfrxVariable::StaticClass(), "TCollectionItem");
    if ((c = add(TfrxVariables::StaticClass(), "TCollection")))
        c->AddDefaultProperty("Variables", "String", "Variant", CallMethod);
    if ((c = add(TfrxReport::StaticClass(), "TfrxComponent"))) {
        for (const char* m : {"function Calc(const Expr: String): Variant",
                              "function GetDataset(const Alias: String): TfrxDataset",
                              "function LoadFromFile(const FileName: String): Boolean",
                              "procedure SaveToFile(const FileName: String)", "procedure ShowReport"})
            c->AddMethod(m, CallMethod);
    }
    if ((c = add(TfrxCustomEngine::StaticClass(), "TPersistent"))) {
        for (const char* m : {"procedure AddAnchor(const Text: String)", "procedure NewPage", "procedure NewColumn",
                              "procedure ShowBand(Band: TfrxBand)", "procedure StopReport",
                              "function FreeSpace: Extended", "function GetAnchorPage(const Text: String): Integer"})
            c->AddMethod(m, CallMethod);
    }
    add(TfrxEngine::StaticClass(), "TfrxCustomEngine");
    if ((c = add(TfrxCustomOutline::StaticClass(), "TPersistent"))) {
        c->AddMethod("procedure AddItem(const Text: String)", CallMethod);
        c->AddMethod("procedure LevelRoot", CallMethod);
        c->AddMethod("procedure LevelUp", CallMethod);
    }
    add(TfrxOutline::StaticClass(), "TfrxCustomOutline");

    g->AddMethod("function DayOf(Date: TDateTime): Integer", CallMethod, "ctDate");
    g->AddMethod("function MonthOf(Date: TDateTime): Integer", CallMethod, "ctDate");
    g->AddMethod("function YearOf(Date: TDateTime): Integer", CallMethod, "ctDate");
    g->AddMethod("function IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant", nullptr, "ctOther");
    for (const char* fn : {"SUM", "AVG", "MIN", "MAX"})
        g->AddMethod(std::string("function ") + fn + "(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                     nullptr, "ctAggregate");
    g->AddMethod("function COUNT(Band: Variant = 0; Flags: Integer = 0): Variant", nullptr, "ctAggregate");
}

void Finalize()
{
    if (!GInstance) return;
    if (TfsScript* g = GetGlobalScript()) g->RemoveItems(GInstance);
    delete GInstance;
    GInstance = nullptr;
}

}  // namespace frxClassRTTI
