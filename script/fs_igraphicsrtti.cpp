#include "fs_igraphicsrtti.h"

#include "Exceptions.h"
#include "Graphics.h"
#include "Metafile.h"
#include "fs_iinterpreter.h"
#include "fs_itools.h"

QZ_CLASS_IMPL(TfsGraphicsFunctions, TObject)

using namespace fs_iinterpreter;

namespace {

TfsGraphicsFunctions* GInstance = nullptr;

template <class T> T* As(TObject* obj) { return static_cast<T*>(obj); }

template <class T> T* ObjArg(const Variant& v)
{
    TObject* o = VarToObject(v);
    if (!o) throw Exception(std::string(fs_itools::SNilObject) + T::StaticClass()->Name);
    T* t = DynamicCast<T>(o);
    if (!t) throw Exception("Object of class " + o->ClassName() + " is not a " + T::StaticClass()->Name);
    return t;
}

Variant CallPlainCreate(TObject*, TClass cls, const std::string& name, TfsParams&)
{
    if (name == "CREATE") return ObjectToVar(cls->Create(nullptr));
    return Variant(0);
}

Variant CallCanvas(TObject* inst, TClass cls, const std::string& name, TfsParams& p)
{
    if (name == "CREATE") return ObjectToVar(cls->Create(nullptr));
    auto* c = As<TCanvas>(inst);
    auto i = [&](size_t k) { return p[k].AsInteger(); };
    if (name == "DRAW") c->Draw(i(0), i(1), ObjArg<TGraphic>(p[2]));
    else if (name == "ELLIPSE") c->Ellipse(i(0), i(1), i(2), i(3));
    else if (name == "LINETO") c->LineTo(i(0), i(1));
    else if (name == "MOVETO") c->MoveTo(i(0), i(1));
    else if (name == "RECTANGLE") c->Rectangle(i(0), i(1), i(2), i(3));
    else if (name == "ROUNDRECT") c->RoundRect(i(0), i(1), i(2), i(3), i(4), i(5));
    else if (name == "STRETCHDRAW") c->StretchDraw(TRect{i(0), i(1), i(2), i(3)}, ObjArg<TGraphic>(p[4]));
    else if (name == "TEXTHEIGHT") return Variant(c->TextHeight(VarToStr(p[0])));
    else if (name == "TEXTOUT") c->TextOut(i(0), i(1), VarToStr(p[2]));
    else if (name == "TEXTWIDTH") return Variant(c->TextWidth(VarToStr(p[0])));
    else if (name == "PIXELS.GET") return Variant(int(c->Pixels(i(0), i(1))));
    else if (name == "PIXELS.SET") c->SetPixels(i(0), i(1), TColor(i(2)));
    return Variant(0);
}

Variant CallGraphic(TObject* inst, TClass cls, const std::string& name, TfsParams& p)
{
    if (name == "CREATE") return ObjectToVar(cls->Create(nullptr));
    if (name == "LOADFROMFILE") As<TGraphic>(inst)->LoadFromFile(VarToStr(p[0]));
    else if (name == "SAVETOFILE") As<TGraphic>(inst)->SaveToFile(VarToStr(p[0]));
    return Variant(0);
}

Variant CallPicture(TObject* inst, TClass, const std::string& name, TfsParams& p)
{
    if (name == "LOADFROMFILE") As<TPicture>(inst)->LoadFromFile(VarToStr(p[0]));
    else if (name == "SAVETOFILE") As<TPicture>(inst)->SaveToFile(VarToStr(p[0]));
    return Variant(0);
}

Variant CallMetafileCanvas(TObject*, TClass, const std::string& name, TfsParams& p)
{
    // A reference device is a drawing state of this process, never a number
    // a script can make up: the canvas always records for the screen.
    if (name == "CREATE") return ObjectToVar(new TMetafileCanvas(ObjArg<TMetafile>(p[0]), nullptr));
    return Variant(0);
}

Variant GetProp(TObject* inst, TClass cls, const std::string& name)
{
    if (cls == TGraphic::StaticClass()) {
        if (name == "HEIGHT") return Variant(As<TGraphic>(inst)->Height());
        if (name == "WIDTH") return Variant(As<TGraphic>(inst)->Width());
    }
    if (cls == TPicture::StaticClass()) {
        if (name == "HEIGHT") return Variant(As<TPicture>(inst)->Height());
        if (name == "WIDTH") return Variant(As<TPicture>(inst)->Width());
    }
    if (cls == TBitmap::StaticClass() && name == "CANVAS") return ObjectToVar(As<TBitmap>(inst)->Canvas());
    return Null();
}

void SetProp(TObject* inst, TClass cls, const std::string& name, const Variant& v)
{
    if (cls != TGraphic::StaticClass()) return;
    // A bitmap's pixels are allocated from these: keep them to the largest
    // picture the program reads (8192 a side, a quarter of a gigabyte), so a
    // script cannot make it take gigabytes.
    int n = std::clamp(v.AsInteger(), 0, 8192);
    if (name == "HEIGHT") As<TGraphic>(inst)->SetHeight(n);
    else if (name == "WIDTH") As<TGraphic>(inst)->SetWidth(n);
}

}  // namespace

namespace fs_igraphicsrtti {

void Initialize()
{
    if (GInstance) return;
    TfsScript* g = GetGlobalScript();
    if (!g) return;
    GInstance = new TfsGraphicsFunctions;
    g->Registrar = GInstance;
    GetColorValues([g](const std::string& ident) {
        TColor c = 0;
        if (IdentToColor(ident, c)) g->AddConst(ident, "Integer", Variant(int(c)));
    });
    g->AddEnumSet("TFontStyles", "fsBold, fsItalic, fsUnderline, fsStrikeout");
    g->AddEnum("TFontPitch", "fpDefault, fpVariable, fpFixed");
    g->AddEnum("TPenStyle", "psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame");
    g->AddEnum("TPenMode", "pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, "
                           "pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor");
    g->AddEnum("TBrushStyle", "bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, "
                              "bsDiagCross");

    AddPlatformClass(g, TFont::StaticClass())->AddConstructor("constructor Create", CallPlainCreate);
    AddPlatformClass(g, TPen::StaticClass())->AddConstructor("constructor Create", CallPlainCreate);
    AddPlatformClass(g, TBrush::StaticClass())->AddConstructor("constructor Create", CallPlainCreate);

    TfsClassVariable* c = AddPlatformClass(g, TCanvas::StaticClass());
    c->AddConstructor("constructor Create", CallCanvas);
    c->AddMethod("procedure Draw(X, Y: Integer; Graphic: TGraphic)", CallCanvas);
    c->AddMethod("procedure Ellipse(X1, Y1, X2, Y2: Integer)", CallCanvas);
    c->AddMethod("procedure LineTo(X, Y: Integer)", CallCanvas);
    c->AddMethod("procedure MoveTo(X, Y: Integer)", CallCanvas);
    c->AddMethod("procedure Rectangle(X1, Y1, X2, Y2: Integer)", CallCanvas);
    c->AddMethod("procedure RoundRect(X1, Y1, X2, Y2, X3, Y3: Integer)", CallCanvas);
    c->AddMethod("procedure StretchDraw(X1, Y1, X2, Y2: Integer; Graphic: TGraphic)", CallCanvas);
    c->AddMethod("function TextHeight(const Text: string): Integer", CallCanvas);
    c->AddMethod("procedure TextOut(X, Y: Integer; const Text: string)", CallCanvas);
    c->AddMethod("function TextWidth(const Text: string): Integer", CallCanvas);
    c->AddIndexProperty("Pixels", "Integer, Integer", "TColor", CallCanvas);

    c = AddPlatformClass(g, TGraphic::StaticClass());
    c->AddConstructor("constructor Create", CallGraphic);
    c->AddMethod("procedure LoadFromFile(const Filename: string)", CallGraphic);
    c->AddMethod("procedure SaveToFile(const Filename: string)", CallGraphic);
    c->AddProperty("Height", "Integer", GetProp, SetProp);
    c->AddProperty("Width", "Integer", GetProp, SetProp);

    c = AddPlatformClass(g, TPicture::StaticClass());
    c->AddMethod("procedure LoadFromFile(const Filename: string)", CallPicture);
    c->AddMethod("procedure SaveToFile(const Filename: string)", CallPicture);
    c->AddProperty("Height", "Integer", GetProp);
    c->AddProperty("Width", "Integer", GetProp);

    AddPlatformClass(g, TMetafile::StaticClass());
    c = AddPlatformClass(g, TMetafileCanvas::StaticClass());
    c->AddConstructor("constructor Create(AMetafile: TMetafile; ReferenceDevice: Integer)", CallMetafileCanvas);

    c = AddPlatformClass(g, TBitmap::StaticClass());
    c->AddProperty("Canvas", "TCanvas", GetProp);
    g->Registrar = nullptr;
}

void Finalize()
{
    fs_iinterpreter::RemoveRegistration(GInstance);
    GInstance = nullptr;
}

}  // namespace fs_igraphicsrtti
