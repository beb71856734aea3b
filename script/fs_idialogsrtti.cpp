#include "fs_idialogsrtti.h"

#include "HostServices.h"
#include "fs_iinterpreter.h"

QZ_CLASS_IMPL(TfsDialogFunctions, TObject)

namespace fs_idialogsrtti {

namespace {
TfsDialogFunctions* GInstance = nullptr;
}

void Initialize()
{
    if (GInstance) return;
    TfsScript* g = fs_iinterpreter::GetGlobalScript();
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
    static const std::pair<const char*, int> results[] = {
        {"mrNone", 0}, {"mrOk", 1}, {"mrCancel", 2}, {"mrAbort", 3}, {"mrRetry", 4}, {"mrIgnore", 5},
        {"mrYes", 6}, {"mrNo", 7}, {"mrAll", 8}, {"mrNoToAll", 9}, {"mrYesToAll", 10}};
    for (auto& r : results) g->AddConst(r.first, "Integer", Variant(r.second));
    g->Registrar = nullptr;
}

void Finalize()
{
    if (!GInstance) return;
    if (TfsScript* g = fs_iinterpreter::GetGlobalScript()) g->RemoveItems(GInstance);
    delete GInstance;
    GInstance = nullptr;
}

}  // namespace fs_idialogsrtti
