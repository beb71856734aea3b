#include "fs_idialogsrtti.h"

#include "Dialogs.h"
#include "HostServices.h"
#include "Printers.h"
#include "fs_iinterpreter.h"

QZ_CLASS_IMPL(TfsDialogFunctions, TObject)

using namespace fs_iinterpreter;

namespace fs_idialogsrtti {

namespace {
TfsDialogFunctions* GInstance = nullptr;
}

void Initialize()
{
    if (GInstance) return;
    TfsScript* g = GetGlobalScript();
    if (!g) return;
    GInstance = new TfsDialogFunctions;
    g->Registrar = GInstance;
    g->AddEnum("TMsgDlgType", "mtWarning, mtError, mtInformation, mtConfirmation, mtCustom");
    g->AddEnumSet("TMsgDlgButtons",
                  "mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp");
    auto handler = [](TObject*, TClass, const std::string& name, TfsParams& p) -> Variant {
        if (name == "MESSAGEDLG") {
            int type = p[1].AsInteger();
            if (type < mtWarning || type > mtCustom) type = mtCustom;
            TMsgDlgButtons buttons = TMsgDlgButtons::FromInt(uint64_t(p[2].AsInt64()));
            return Variant(int(MessageDlg(VarToStr(p[0]), TMsgDlgType(type), buttons, p[3].AsInteger())));
        }
        if (name == "INPUTBOX") return Variant(InputBox(VarToStr(p[0]), VarToStr(p[1]), VarToStr(p[2])));
        if (name == "INPUTQUERY") {
            std::string value = VarToStr(p[2]);
            bool ok = InputQuery(VarToStr(p[0]), VarToStr(p[1]), value);
            p[2] = Variant(value);
            return Variant(ok);
        }
        return Null();
    };
    g->AddMethod("function MessageDlg(Msg: string; DlgType: TMsgDlgType; Buttons: TMsgDlgButtons; HelpCtx: Longint): Integer",
                 handler, "ctOther");
    g->AddMethod("function InputBox(ACaption, APrompt, ADefault: string): string", handler, "ctOther");
    g->AddMethod("function InputQuery(ACaption, APrompt: string; var Value: string): Boolean", handler, "ctOther");
    g->AddEnumSet("TOpenOptions",
                  "ofReadOnly, ofOverwritePrompt, ofHideReadOnly,ofNoChangeDir, ofShowHelp, ofNoValidate, "
                  "ofAllowMultiSelect,ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,"
                  "ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton,ofNoLongNames, "
                  "ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify,ofEnableSizing");
    g->AddEnum("TFileEditStyle", "fsEdit, fsComboBox");
    g->AddEnumSet("TColorDialogOptions", "cdFullOpen, cdPreventFullOpen, cdShowHelp,cdSolidColor, cdAnyColor");
    g->AddEnumSet("TFontDialogOptions",
                  "fdAnsiOnly, fdTrueTypeOnly, fdEffects,fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel, "
                  "fdNoOEMFonts,fdNoSimulations, fdNoSizeSel, fdNoStyleSel,  fdNoVectorFonts,fdShowHelp, "
                  "fdWysiwyg, fdLimitSize, fdScalableOnly, fdApplyButton");
    g->AddEnum("TFontDialogDevice", "fdScreen, fdPrinter, fdBoth");
    g->AddEnum("TPrintRange", "prAllPages, prSelection, prPageNums");
    g->AddEnumSet("TPrintDialogOptions",
                  "poPrintToFile, poPageNums, poSelection,poWarning, poHelp, poDisablePrintToFile");

    auto execute = [](TObject* inst, TClass cls, const std::string& name, TfsParams&) -> Variant {
        if (name != "EXECUTE") return Variant(0);
        if (auto* d = DynamicCast<TCommonDialog>(inst)) return Variant(d->Execute());
        if (auto* d = DynamicCast<TPrintDialog>(inst)) return Variant(d->Execute());
        if (auto* d = DynamicCast<TPrinterSetupDialog>(inst)) return Variant(d->Execute());
        return Variant(false);
    };
    AddPlatformClass(g, TCommonDialog::StaticClass())->AddMethod("function Execute: Boolean", execute);
    AddPlatformClass(g, TOpenDialog::StaticClass());
    AddPlatformClass(g, TSaveDialog::StaticClass());
    AddPlatformClass(g, TColorDialog::StaticClass());
    AddPlatformClass(g, TFontDialog::StaticClass());
    // The print dialogs are components of the printer unit, not common
    // dialogs: they get Execute of their own.
    AddPlatformClass(g, TPrintDialog::StaticClass())->AddMethod("function Execute: Boolean", execute);
    AddPlatformClass(g, TPrinterSetupDialog::StaticClass())->AddMethod("function Execute: Boolean", execute);
    g->Registrar = nullptr;
}

void Finalize()
{
    fs_iinterpreter::RemoveRegistration(GInstance);
    GInstance = nullptr;
}

}  // namespace fs_idialogsrtti
