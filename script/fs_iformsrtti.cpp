#include "fs_iformsrtti.h"

#include "Exceptions.h"
#include "Forms.h"
#include "ScrollBox.h"
#include "StdCtrls.h"
#include "fs_ievents.h"
#include "fs_iinterpreter.h"
#include "fs_itools.h"

QZ_CLASS_IMPL(TfsFormsFunctions, TObject)

using namespace fs_iinterpreter;

namespace {

TfsFormsFunctions* GInstance = nullptr;

template <class T> T* As(TObject* obj) { return static_cast<T*>(obj); }

// The form's drawing canvas is for the form's own painting code; scripts
// reach it as the form's members do.
struct FormAccess : TCustomForm {
    using TCustomForm::Canvas;
};

// The application object, made ready when a script first names it: scripts
// that never touch windows never start the window system.
class TfsApplicationVariable : public TfsVariable {
public:
    TfsApplicationVariable() : TfsVariable("Application", stClass, "TApplication") { IsReadOnly = true; }
    Variant GetValue() override
    {
        InitGui();
        ProtectObject(Application);
        return ObjectToVar(Application);
    }
    void SetValue(const Variant&) override {}
};

void CheckIndex(int index, int count)
{
    if (index < 0 || index >= count) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

Variant CallControl(TObject* inst, TClass, const std::string& name, TfsParams& p)
{
    auto* c = As<TControl>(inst);
    if (name == "HIDE") c->Hide();
    else if (name == "SHOW") c->Show();
    else if (name == "SETBOUNDS") c->SetBounds(p[0].AsInteger(), p[1].AsInteger(), p[2].AsInteger(), p[3].AsInteger());
    return Variant(0);
}

Variant CallWinControl(TObject* inst, TClass, const std::string& name, TfsParams&)
{
    if (name == "SETFOCUS") As<TWinControl>(inst)->SetFocus();
    return Variant(0);
}

Variant CallListBox(TObject* inst, TClass, const std::string& name, TfsParams& p)
{
    auto* l = As<TCustomListBox>(inst);
    int index = p.empty() ? 0 : p[0].AsInteger();
    if (name == "SELECTED.GET") {
        CheckIndex(index, l->Items()->Count());
        return Variant(l->Selected(index));
    }
    if (name == "SELECTED.SET") {
        CheckIndex(index, l->Items()->Count());
        l->SetSelected(index, p[1].AsBoolean());
    }
    return Variant(0);
}

Variant CallForm(TObject* inst, TClass, const std::string& name, TfsParams&)
{
    auto* f = As<TCustomForm>(inst);
    if (name == "CLOSE") f->Close();
    else if (name == "HIDE") f->Hide();
    else if (name == "SHOW") f->Show();
    else if (name == "SHOWMODAL") return Variant(int(f->ShowModal()));
    return Variant(0);
}

Variant CallApplication(TObject* inst, TClass, const std::string& name, TfsParams&)
{
    auto* a = As<TApplication>(inst);
    if (name == "MINIMIZE") a->Minimize();
    else if (name == "PROCESSMESSAGES") a->ProcessMessages();
    else if (name == "RESTORE") a->Restore();
    return Variant(0);
}

Variant GetProp(TObject* inst, TClass cls, const std::string& name)
{
    if (cls == TControl::StaticClass() && name == "PARENT") return ObjectToVar(As<TControl>(inst)->Parent());
    if (cls == TCustomComboBox::StaticClass()) {
        if (name == "DROPPEDDOWN") return Variant(As<TCustomComboBox>(inst)->DroppedDown());
        if (name == "ITEMINDEX") return Variant(As<TCustomComboBox>(inst)->ItemIndex());
    }
    if (cls == TCustomListBox::StaticClass()) {
        if (name == "ITEMINDEX") return Variant(As<TCustomListBox>(inst)->ItemIndex());
        if (name == "SELCOUNT") return Variant(As<TCustomListBox>(inst)->SelCount());
    }
    if (cls == TCustomForm::StaticClass()) {
        auto* f = As<TCustomForm>(inst);
        if (name == "CANVAS") return ObjectToVar((f->*(&FormAccess::Canvas))());
        if (name == "MODALRESULT") return Variant(int(f->ModalResult()));
    }
    if (cls == TApplication::StaticClass() && name == "EXENAME") return Variant(As<TApplication>(inst)->ExeName());
    return Null();
}

void SetProp(TObject* inst, TClass cls, const std::string& name, const Variant& v)
{
    if (cls == TControl::StaticClass() && name == "PARENT") {
        TObject* o = VarToObject(v);
        auto* parent = o ? DynamicCast<TWinControl>(o) : nullptr;
        if (o && !parent) throw Exception("Object of class " + o->ClassName() + " is not a TWinControl");
        As<TControl>(inst)->SetParent(parent);
    } else if (cls == TCustomComboBox::StaticClass()) {
        if (name == "DROPPEDDOWN") As<TCustomComboBox>(inst)->SetDroppedDown(v.AsBoolean());
        else if (name == "ITEMINDEX") As<TCustomComboBox>(inst)->SetItemIndex(v.AsInteger());
    } else if (cls == TCustomListBox::StaticClass() && name == "ITEMINDEX") {
        As<TCustomListBox>(inst)->SetItemIndex(v.AsInteger());
    } else if (cls == TCustomForm::StaticClass() && name == "MODALRESULT") {
        As<TCustomForm>(inst)->SetModalResult(TModalResult(v.AsInteger()));
    }
}

// A control freed by a script from inside one of the events of its form
// goes once the window system's loop is idle: the code that raised the event
// still runs on it. Scripts see it freed at once.
bool DeferControlFree(TObject* obj)
{
    auto* c = DynamicCast<TControl>(obj);
    if (!c) return false;
    InitGui();
    c->Hide();
    ReleaseLater(c);
    return true;
}

}  // namespace

namespace fs_iformsrtti {

void Initialize()
{
    if (GInstance) return;
    TfsScript* g = GetGlobalScript();
    if (!g) return;
    GInstance = new TfsFormsFunctions;
    g->Registrar = GInstance;
    static const std::pair<const char*, int> consts[] = {
        {"mrNone", 0}, {"mrOk", 1}, {"mrCancel", 2}, {"mrAbort", 3}, {"mrRetry", 4}, {"mrIgnore", 5},
        {"mrYes", 6}, {"mrNo", 7}, {"mrAll", 8}, {"mrNoToAll", 9}, {"mrYesToAll", 10},
        {"crDefault", 0}, {"crNone", -1}, {"crArrow", -2}, {"crCross", -3}, {"crIBeam", -4}, {"crSize", -22},
        {"crSizeNESW", -6}, {"crSizeNS", -7}, {"crSizeNWSE", -8}, {"crSizeWE", -9}, {"crUpArrow", -10},
        {"crHourGlass", -11}, {"crDrag", -12}, {"crNoDrop", -13}, {"crHSplit", -14}, {"crVSplit", -15},
        {"crMultiDrag", -16}, {"crSQLWait", -17}, {"crNo", -18}, {"crAppStart", -19}, {"crHelp", -20},
        {"crHandPoint", -21}, {"crSizeAll", -22},
        {"bsNone", 0}, {"bsSingle", 1}, {"bsSizeable", 2}, {"bsDialog", 3}, {"bsToolWindow", 4},
        {"bsSizeToolWin", 5},
        {"VK_RBUTTON", 2}, {"VK_CANCEL", 3}, {"VK_MBUTTON", 4}, {"VK_BACK", 8}, {"VK_TAB", 9},
        {"VK_RETURN", 13}, {"VK_SHIFT", 16}, {"VK_CONTROL", 17}, {"VK_MENU", 18}, {"VK_PAUSE", 19},
        {"VK_CAPITAL", 20}, {"VK_ESCAPE", 27}, {"VK_SPACE", 32}, {"VK_PRIOR", 33}, {"VK_NEXT", 34},
        {"VK_END", 35}, {"VK_HOME", 36}, {"VK_LEFT", 37}, {"VK_UP", 38}, {"VK_RIGHT", 39}, {"VK_DOWN", 40},
        {"VK_INSERT", 45}, {"VK_DELETE", 46}, {"VK_HELP", 47}, {"VK_LWIN", 91}, {"VK_RWIN", 92},
        {"VK_APPS", 93}, {"VK_MULTIPLY", 106}, {"VK_ADD", 107}, {"VK_SEPARATOR", 108},
        {"VK_SUBTRACT", 109}, {"VK_DECIMAL", 110}, {"VK_DIVIDE", 111}, {"VK_NUMLOCK", 144},
        {"VK_SCROLL", 145}};
    for (auto& c : consts) g->AddConst(c.first, "Integer", Variant(c.second));
    for (int i = 0; i <= 9; ++i) g->AddConst("VK_NUMPAD" + std::to_string(i), "Integer", Variant(96 + i));
    for (int i = 1; i <= 12; ++i) g->AddConst("VK_F" + std::to_string(i), "Integer", Variant(111 + i));

    g->AddType("TFormBorderStyle", stInteger);
    g->AddType("TBorderStyle", stInteger);
    g->AddEnumSet("TShiftState", "ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble");
    g->AddEnum("TAlignment", "taLeftJustify, taRightJustify, taCenter");
    g->AddEnum("TAlign", "alNone, alTop, alBottom, alLeft, alRight, alClient");
    g->AddEnum("TMouseButton", "mbLeft, mbRight, mbMiddle");
    g->AddEnumSet("TAnchors", "akLeft, akTop, akRight, akBottom");
    g->AddEnum("TBevelCut", "bvNone, bvLowered, bvRaised, bvSpace");
    g->AddEnum("TTextLayout", "tlTop, tlCenter, tlBottom");
    g->AddEnum("TEditCharCase", "ecNormal, ecUpperCase, ecLowerCase");
    g->AddEnum("TScrollStyle", "ssNone, ssHorizontal, ssVertical, ssBoth");
    g->AddEnum("TComboBoxStyle", "csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable");
    g->AddEnum("TCheckBoxState", "cbUnchecked, cbChecked, cbGrayed");
    g->AddEnum("TListBoxStyle", "lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable");
    g->AddEnum("TWindowState", "wsNormal, wsMinimized, wsMaximized");
    g->AddEnum("TFormStyle", "fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop");
    g->AddEnumSet("TBorderIcons", "biSystemMenu, biMinimize, biMaximize, biHelp");
    g->AddEnum("TPosition", "poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, "
                            "poDesktopCenter");
    g->AddEnum("TCloseAction", "caNone, caHide, caFree, caMinimize");

    TfsClassVariable* c = AddPlatformClass(g, TControl::StaticClass());
    c->AddProperty("Parent", "TWinControl", GetProp, SetProp);
    c->AddMethod("procedure Hide", CallControl);
    c->AddMethod("procedure Show", CallControl);
    c->AddMethod("procedure SetBounds(ALeft, ATop, AWidth, AHeight: Integer)", CallControl);
    c->AddEvent("OnCanResize", TfsCanResizeEvent::Make);
    c->AddEvent("OnClick", TfsNotifyEvent::Make);
    c->AddEvent("OnDblClick", TfsNotifyEvent::Make);
    c->AddEvent("OnMouseDown", TfsMouseEvent::Make);
    c->AddEvent("OnMouseMove", TfsMouseMoveEvent::Make);
    c->AddEvent("OnMouseUp", TfsMouseEvent::Make);
    c->AddEvent("OnResize", TfsNotifyEvent::Make);

    c = AddPlatformClass(g, TWinControl::StaticClass());
    c->AddMethod("procedure SetFocus", CallWinControl);
    c->AddEvent("OnEnter", TfsNotifyEvent::Make);
    c->AddEvent("OnExit", TfsNotifyEvent::Make);
    c->AddEvent("OnKeyDown", TfsKeyEvent::Make);
    c->AddEvent("OnKeyPress", TfsKeyPressEvent::Make);
    c->AddEvent("OnKeyUp", TfsKeyEvent::Make);

    AddPlatformClass(g, TCustomControl::StaticClass());
    AddPlatformClass(g, TGraphicControl::StaticClass());
    AddPlatformClass(g, TGroupBox::StaticClass());
    AddPlatformClass(g, TLabel::StaticClass());
    AddPlatformClass(g, TEdit::StaticClass());
    AddPlatformClass(g, TMemo::StaticClass());

    c = AddPlatformClass(g, TCustomComboBox::StaticClass());
    c->AddProperty("DroppedDown", "Boolean", GetProp, SetProp);
    c->AddProperty("ItemIndex", "Integer", GetProp, SetProp);
    c->AddEvent("OnChange", TfsNotifyEvent::Make);
    c->AddEvent("OnDropDown", TfsNotifyEvent::Make);
    c->AddEvent("OnCloseUp", TfsNotifyEvent::Make);
    AddPlatformClass(g, TComboBox::StaticClass());

    AddPlatformClass(g, TButton::StaticClass());
    AddPlatformClass(g, TCheckBox::StaticClass());
    AddPlatformClass(g, TRadioButton::StaticClass());

    c = AddPlatformClass(g, TCustomListBox::StaticClass());
    c->AddProperty("ItemIndex", "Integer", GetProp, SetProp);
    c->AddProperty("SelCount", "Integer", GetProp);
    c->AddIndexProperty("Selected", "Integer", "Boolean", CallListBox);
    AddPlatformClass(g, TListBox::StaticClass());

    AddPlatformClass(g, TControlScrollBar::StaticClass());
    AddPlatformClass(g, TScrollingWinControl::StaticClass());
    AddPlatformClass(g, TScrollBox::StaticClass());

    c = AddPlatformClass(g, TCustomForm::StaticClass());
    c->AddMethod("procedure Close", CallForm);
    c->AddMethod("procedure Hide", CallForm);
    c->AddMethod("procedure Show", CallForm);
    c->AddMethod("function ShowModal: Integer", CallForm);
    c->AddEvent("OnActivate", TfsNotifyEvent::Make);
    c->AddEvent("OnClose", TfsCloseEvent::Make);
    c->AddEvent("OnCloseQuery", TfsCloseQueryEvent::Make);
    c->AddEvent("OnCreate", TfsNotifyEvent::Make);
    c->AddEvent("OnDestroy", TfsNotifyEvent::Make);
    c->AddEvent("OnDeactivate", TfsNotifyEvent::Make);
    c->AddEvent("OnHide", TfsNotifyEvent::Make);
    c->AddEvent("OnPaint", TfsNotifyEvent::Make);
    c->AddEvent("OnShow", TfsNotifyEvent::Make);
    c->AddProperty("Canvas", "TCanvas", GetProp);
    c->AddProperty("ModalResult", "Integer", GetProp, SetProp);
    AddPlatformClass(g, TForm::StaticClass());
    AddPlatformClass(g, TDataModule::StaticClass());

    c = AddPlatformClass(g, TApplication::StaticClass());
    c->AddMethod("procedure Minimize", CallApplication);
    c->AddMethod("procedure ProcessMessages", CallApplication);
    c->AddMethod("procedure Restore", CallApplication);
    c->AddProperty("ExeName", "String", GetProp);

    g->Add("Application", new TfsApplicationVariable);
    SetDeferFreeHook(DeferControlFree);
    g->Registrar = nullptr;
}

void Finalize()
{
    SetDeferFreeHook(nullptr);
    fs_iinterpreter::RemoveRegistration(GInstance);
    GInstance = nullptr;
}

}  // namespace fs_iformsrtti
