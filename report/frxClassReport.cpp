// The report object: layout files, password, variables, script set-up,
// expression evaluation, and the expression cache.
#include "frxClass.h"
#include "frxDrawText.h"
#include "frxClassRTTI.h"
#include "frxEngine.h"

#include "frxObjectNames.h"
#include "frxPreviewPages.h"
#include "frxProgress.h"
#include "frxRes.h"
#include "frxUtils.h"
#include "frxVariables.h"
#include "frxXML.h"
#include "frxXMLSerializer.h"

#include "fs_iinit.h"
#include "fs_iinterpreter.h"

#include "ExtCtrls.h"
#include "Forms.h"
#include "HostServices.h"
#include "IniFiles.h"
#include "Registry.h"
#include "SysUtils.h"
#include "TextUtils.h"

namespace frxClass {
std::function<TfrxCustomEngine*(TfrxReport*)> EngineFactory;
std::function<TfrxCustomPreviewPages*(TfrxReport*)> PreviewPagesFactory;
std::function<bool(TfrxReport*, bool)> DesignerRunner;
const char* const NoDesignerText = "无法打开报表设计器: 本程序没有安装设计器窗口.";
}

namespace {

std::string ShiftPassword(const std::string& utf8, int delta)
{
    // The stored form lowers every byte of the 8-bit text by 10.
    std::string bytes = frxXML::TextToGbk(utf8);
    for (char& c : bytes) c = char(uint8_t(uint8_t(c) + delta));
    return frxXML::GbkToText(bytes);
}

}  // namespace

// ---- expression cache ---------------------------------------------------------------------------

TfrxExpressionCache::TfrxExpressionCache() = default;

TfrxExpressionCache::~TfrxExpressionCache() { Clear(); }

void TfrxExpressionCache::Clear()
{
    FItems.clear();
    FScript.reset();
}

Variant TfrxExpressionCache::Calc(const std::string& expression, std::string& errorText,
                                  TfsScript* parentScript)
{
    errorText.clear();
    if (!FScript) FScript = std::make_unique<TfsScript>(nullptr);
    FScript->Parent = parentScript;
    const std::string key = AnsiUpperCase(expression);
    auto it = FItems.find(key);
    TfsCustomVariable* fn = nullptr;
    if (it != FItems.end()) {
        fn = it->second;
    } else {
        // Each expression becomes a function of its own local script, so a
        // failed compile never disturbs the functions compiled before.
        std::string name = "_f" + IntToStr(int(FItems.size()));
        auto* local = new TfsScript(FScript.get());
        local->Parent = FScript.get();
        local->SetSyntaxType("PascalScript");
        local->SetText("function " + name + ": Variant; begin Result := " + expression + " end; begin end.");
        if (!local->Compile()) {
            errorText = frxRes::Resources().Get("clExprError") + " '" + expression + "': " + local->ErrorMessage;
            FreeObject(local);
            return Null();
        }
        fn = local->FindLocal(name);
        if (!fn) {
            errorText = frxRes::Resources().Get("clExprError") + " '" + expression + "'";
            FreeObject(local);
            return Null();
        }
        FItems[key] = fn;
    }
    return fn->GetValue();
}

// ---- report -------------------------------------------------------------------------------------

TfrxReport::TfrxReport(TComponent* owner)
    : TfrxComponent(owner), FObjectNames(std::make_unique<TfrxObjectNames>()),
      FEngineOptions(std::make_unique<TfrxEngineOptions>()),
      FPreviewOptions(std::make_unique<TfrxPreviewOptions>()),
      FPrintOptions(std::make_unique<TfrxPrintOptions>()),
      FReportOptions(std::make_unique<TfrxReportOptions>()),
      FScriptText(std::make_unique<TStringList>()),
      FDataSets(std::make_unique<TfrxReportDataSets>(this)),
      FEnabledDataSets(std::make_unique<TfrxReportDataSets>(this)),
      FVariables(std::make_unique<TfrxVariables>()), FStyles(std::make_unique<TfrxStyles>(this)),
      FErrors(std::make_unique<TStringList>()), FExpressionCache(std::make_unique<TfrxExpressionCache>()),
      FDrawText(std::make_unique<TfrxDrawText>())
{
    frxClass::Initialize();
    frxEngine::Initialize();
    fs_iinit::InitializeScriptEngine();
    frxClassRTTI::Initialize();
    FErrors->SetSorted(true);
    FErrors->SetDuplicates(dupIgnore);
    FScript.reset(new TfsScript(nullptr));
    FScript->Parent = fs_iinterpreter::GetGlobalScript();
    if (frxClass::PreviewPagesFactory) FPreviewPages.reset(frxClass::PreviewPagesFactory(this));
    if (frxClass::EngineFactory) FEngine.reset(frxClass::EngineFactory(this));
    if (FEngine && FPreviewPages) {
        FEngine->PreviewPages = FPreviewPages.get();
        FPreviewPages->Engine = FEngine.get();
    }
    ShowProgress = true;
    Clear();
}

TfrxReport::~TfrxReport()
{
    FPrepareTimer.reset();
    SetPreview(nullptr);
    FProgress.reset();
    // Children go first, while the report they may call back is whole.
    TfrxComponent::Clear();
    FExpressionCache.reset();
    FEngine.reset();
    FPreviewPages.reset();
    if (FScript) FreeObject(FScript.release());
}

void TfrxReport::ClearReport()
{
    TfrxComponent::Clear();
    FDataSets->Clear();
    FVariables->Clear();
    FStyles->Clear();
    FEngineOptions->Clear();
    FPreviewOptions->Clear();
    FPrintOptions->Clear();
    FReportOptions->Clear();
    FDataSet = nullptr;
    FDataSetName.clear();
    DotMatrixReport = false;
    ScriptLanguage = "PascalScript";
    FScriptText->SetText("begin\r\n\r\nend.");
    SysVariables = {"Date", "Time", "Page", "Page#", "TotalPages", "TotalPages#", "Line", "Line#"};
}

void TfrxReport::Clear() { ClearReport(); }

void TfrxReport::SetScriptText(TStringList* v) { FScriptText->Assign(v); }

void TfrxReport::SetStyles(TfrxStyles* v)
{
    FStyles->Clear();
    if (!v) return;
    for (int i = 0; i < v->Count(); ++i) FStyles->Add()->Assign(v->Items(i));
}

void TfrxReport::SetDataSet(TfrxDataSet* v)
{
    FDataSet = v;
    FDataSetName = v ? v->UserName() : std::string();
}

std::string TfrxReport::DataSetName() const { return DataSet() ? DataSet()->UserName() : FDataSetName; }

void TfrxReport::SetDataSetName(const std::string& v)
{
    FDataSetName = v;
    FDataSet = frxClass::FindDataSet(DataSet(), v, this);
}

void TfrxReport::SetTerminated(bool v)
{
    FTerminated = v;
    if (v && FScript) FScript->Terminate();
}

namespace {

// With the progress window up, the window system's queue is run so that its
// cancel button can be pressed; otherwise whatever the preview installed.
void ProcessPendingMessages(bool window)
{
    if (window && Application)
        Application->ProcessMessages();
    else if (TfrxPreviewPages::ProcessMessages)
        TfrxPreviewPages::ProcessMessages();
}

}  // namespace

void TfrxReport::SetPreview(TfrxCustomPreview* v)
{
    if (FPreview == v) return;
    TfrxCustomPreview* old = FPreview;
    FPreview = v;
    if (old) old->SetReport(nullptr);
    if (v) v->SetReport(this);
}

void TfrxReport::DoProgressStart(TfrxProgressType type)
{
    if (OnProgressStart) OnProgressStart(this, type, 0);
    // A build without the old-style window is shown by the preview.
    if (type == ptRunning && !OldStyleProgress) {
        if (FPreview) FPreview->BuildStarted();
    } else if (ShowProgress) {
        FProgress.reset();
        FProgress = std::make_unique<TfrxProgress>(nullptr);
        FProgress->Execute(0, "", false, true);
    }
    ProcessPendingMessages(FProgress != nullptr || FPreview != nullptr);
}

void TfrxReport::DoProgress(TfrxProgressType type, int progress)
{
    if (OnProgress) OnProgress(this, type, progress);
    if (type == ptRunning && !OldStyleProgress) {
        // The preview shows the page and runs the queue, so its cancel
        // button can stop the build.
        if (FPreview) {
            FPreview->BuildProgress(progress - 1);
            return;
        }
    } else if (FProgress) {
        std::string key = "prExporting";
        if (type == ptPrinting) key = "prPrinting";
        if (type == ptRunning) {
            const bool firstPass = FEngine && FEngine->DoublePass() && !FEngine->FinalPass;
            key = firstPass ? "prRunningFirst" : "prRunning";
        }
        FProgress->SetMessage(Format(frxRes::Resources().Get(key), {progress}));
        ProcessPendingMessages(true);
        if (FProgress->Terminated()) SetTerminated(true);
        return;
    }
    ProcessPendingMessages(false);
}

void TfrxReport::DoProgressStop(TfrxProgressType type)
{
    if (OnProgressStop) OnProgressStop(this, type, 0);
    if (FProgress && FProgress->Terminated()) SetTerminated(true);
    const bool shown = FProgress != nullptr;
    FProgress.reset();
    if (type == ptRunning && !OldStyleProgress && FPreview) FPreview->BuildFinished();
    ProcessPendingMessages(shown);
}

void TfrxReport::Notification(TComponent* component, TOperation operation)
{
    TfrxComponent::Notification(component, operation);
    if (operation != opRemove || !FDataSets || !component) return;
    for (TfrxReportDataSets* list : {FDataSets.get(), FEnabledDataSets.get()})
        for (int i = list->Count() - 1; i >= 0; --i)
            if (list->Items(i)->DataSet() == component) list->Delete(i);
}

void TfrxReport::DefineBinaryProperties(TfrxFiler& filer)
{
    filer.DefineProperty(
        "Datasets", [this](TfrxBinaryReader& r) { frxUtils::ReadCollection(FDataSets.get(), r, this); },
        [this](TfrxBinaryWriter& w) { frxUtils::WriteCollection(FDataSets.get(), w, this); }, true);
    filer.DefineProperty(
        "Variables", [this](TfrxBinaryReader& r) { frxUtils::ReadCollection(FVariables.get(), r, this); },
        [this](TfrxBinaryWriter& w) { frxUtils::WriteCollection(FVariables.get(), w, this); }, true);
    filer.DefineProperty(
        "Style", [this](TfrxBinaryReader& r) { frxUtils::ReadCollection(FStyles.get(), r, this); },
        [this](TfrxBinaryWriter& w) { frxUtils::WriteCollection(FStyles.get(), w, this); }, true);
}

// ---- files ----------------------------------------------------------------------------------------

void TfrxReport::SaveToStream(TStream* stream, bool saveChildren, bool saveDefaultValues)
{
    std::string password = FReportOptions->Password;
    FReportOptions->Password = ShiftPassword(password, -10);
    try {
        TfrxComponent::SaveToStream(stream, saveChildren, saveDefaultValues);
    } catch (...) {
        FReportOptions->Password = password;
        throw;
    }
    FReportOptions->Password = password;
}

void TfrxReport::LoadTree(TStream* stream, TfrxXMLItem* root)
{
    std::string name = Name();
    TfrxComponent::Clear();
    TfrxXMLSerializer ser(stream);
    ser.Owner = this;
    TfrxXMLSerializer* was = FActiveSerializer;
    FActiveSerializer = &ser;
    try {
        RenameUnchecked("");
        ser.ReadRootComponent(this, root);
    } catch (...) {
        FActiveSerializer = was;
        RenameUnchecked(name);
        throw;
    }
    FActiveSerializer = was;
    RenameUnchecked(name);
    for (int i = 0; i < ser.Errors()->Count(); ++i) FErrors->Add((*ser.Errors())[i]);
}

void TfrxReport::LoadSnapshot(TStream* stream)
{
    bool was = FSkipPassword;
    FSkipPassword = true;
    try {
        LoadFromStream(stream);
    } catch (...) {
        FSkipPassword = was;
        throw;
    }
    FSkipPassword = was;
}

void TfrxReport::LoadFromStream(TStream* stream)
{
    // The whole document is read first: a broken or cut-off file raises here
    // and the report keeps its layout.
    TfrxXMLDocument doc;
    doc.LoadFromStream(stream, false);

    // The password is asked before anything changes, so a wrong one leaves
    // the report (and a later save of it) as it was.
    if (!FSkipPassword) {
        // The attribute as reading applies it, however the file separates
        // it from the one before.
        std::string raw;
        for (const TfrxAttribute& a : frxXMLSerializer::SplitAttributes(doc.Root()->Text))
            if (a.Name == "reportoptions.password") raw = frxXML::DecodeXMLText(a.Value);
        std::string stored;
        if (!raw.empty()) stored = ShiftPassword(raw, 10);
        if (!stored.empty()) {
            TfrxReportOptions probe;
            probe.Password = stored;
            if (!probe.CheckPassword())
                throw EfrxWrongPassword(frxRes::Resources().Get("clWrongPassword"));
        }
    }

    // A snapshot of the present layout restores it when building the new
    // one fails half-way (a cut-off binary property, for instance).
    TMemoryStream snapshot;
    SaveToStream(&snapshot, true, false);

    FErrors->Clear();
    TfrxEngineOptions engine;
    engine.Assign(FEngineOptions.get());
    TfrxPreviewOptions preview;
    preview.Assign(FPreviewOptions.get());
    std::string iniFile = IniFile;
    bool oldStyle = OldStyleProgress, showProgress = ShowProgress;

    try {
        ClearReport();
        LoadTree(nullptr, doc.Root());
    } catch (...) {
        FErrors->Clear();
        ClearReport();
        snapshot.SetPosition(0);
        TfrxXMLDocument back;
        back.LoadFromStream(&snapshot);
        try {
            LoadTree(nullptr, back.Root());
        } catch (...) {
        }
        FReportOptions->Password = ShiftPassword(FReportOptions->Password, 10);
        FEngineOptions->Assign(&engine);
        FPreviewOptions->Assign(&preview);
        IniFile = iniFile;
        OldStyleProgress = oldStyle;
        ShowProgress = showProgress;
        FErrors->Clear();
        throw;
    }

    bool convertNulls = FEngineOptions->ConvertNulls, doublePass = FEngineOptions->DoublePass;
    FEngineOptions->Assign(&engine);
    FEngineOptions->ConvertNulls = convertNulls;
    FEngineOptions->DoublePass = doublePass;
    bool outlineVisible = FPreviewOptions->OutlineVisible;
    int outlineWidth = FPreviewOptions->OutlineWidth;
    FPreviewOptions->Assign(&preview);
    FPreviewOptions->OutlineVisible = outlineVisible;
    FPreviewOptions->OutlineWidth = outlineWidth;
    IniFile = iniFile;
    OldStyleProgress = oldStyle;
    ShowProgress = showProgress;

    FReportOptions->Password = ShiftPassword(FReportOptions->Password, 10);

    if (FErrors->Count() > 0 && !FEngineOptions->SilentMode) ShowErrors();
}

void TfrxReport::ShowErrors() const
{
    std::string text = frxRes::Resources().Get("clErrors") + "\n" + FErrors->Text();
    frxUtils::ShowErrorBox(text);
}

bool TfrxReport::LoadFromFile(const std::string& fileName, bool raiseIfMissing)
{
    Clear();
    FileName.clear();
    bool exists = FileExists(fileName);
    if (!exists && !raiseIfMissing) return false;
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
    FileName = fileName;
    return exists;
}

void TfrxReport::SaveToFile(const std::string& fileName)
{
    TMemoryStream m;
    SaveToStream(&m, true, false);
    frxUtils::SaveToFileWhole(&m, fileName);
}

TfrxReportPage* TfrxReport::Pages(int index) const
{
    return DynamicCast<TfrxReportPage>(PageAt(index));
}

TfrxPage* TfrxReport::PageAt(int index) const
{
    if (index < 0 || index >= PagesCount()) return nullptr;
    return DynamicCast<TfrxPage>(Objects()[size_t(index)]);
}

TfrxDataSet* TfrxReport::GetDataset(const std::string& alias) const
{
    TfrxDataSetItem* item = FDataSets->Find(alias);
    return item ? item->DataSet() : nullptr;
}

std::string TfrxReport::DataSetDisplayName(TfrxDataSet* ds) const
{
    if (!ds) return std::string();
    return FDataSets->Find(ds) ? ds->UserName() : frxRes::Resources().Get("clDSNotIncl");
}

void TfrxReport::ListReportDataSets(TStrings* list, bool noUserDataSets) const
{
    list->Clear();
    for (int i = 0; i < FDataSets->Count(); ++i) {
        TfrxDataSet* ds = FDataSets->Items(i)->DataSet();
        if (!ds || (noUserDataSets && ds->Is<TfrxUserDataSet>())) continue;
        list->AddObject(ds->UserName(), ds);
    }
}

void TfrxReport::SplitFieldReference(const std::string& text, TfrxDataSet*& ds, std::string& field) const
{
    ds = nullptr;
    field.clear();
    size_t p = text.find(".\"");
    if (p == std::string::npos) return;
    ds = GetDataset(text.substr(0, p));
    std::string rest = text.substr(p + 2);
    size_t q = rest.find('"');
    field = q == std::string::npos ? rest : rest.substr(0, q);
}

std::unique_ptr<TCustomIniFile> TfrxReport::OpenSettingsStore() const
{
    if (IniFile.compare(0, 10, "\\Software\\") == 0)
        return std::make_unique<TRegistryIniFile>(IniFile);
    return std::make_unique<TIniFile>(IniFile);
}

// ---- evaluation -----------------------------------------------------------------------------------

bool TfrxReport::DoGetValue(const std::string& name, Variant& value)
{
    value = Null();
    TfrxDataSet* ds = nullptr;
    std::string field;
    SplitFieldReference(name, ds, field);
    if (ds && !field.empty()) {
        value = ds->GetValue(field);
        if (FEngineOptions->ConvertNulls && VarIsNull(value)) {
            switch (ds->GetFieldType(field)) {
            case fftNumeric: value = Variant(0); break;
            case fftString: value = Variant(std::string()); break;
            case fftBoolean: value = Variant(false); break;
            }
        }
        return true;
    }
    for (const std::string& sv : SysVariables) {
        if (!SameText(sv, name)) continue;
        TfrxCustomEngine* e = FEngine.get();
        TfrxCustomPreviewPages* pp = FPreviewPages.get();
        std::string u = UpperCase(name);
        if (u == "DATE") value = Variant::FromDate(e ? e->StartDate : Date());
        else if (u == "TIME") value = Variant::FromDate(e ? e->StartTime : Time());
        else if (u == "PAGE") value = Variant(pp ? pp->PageIndex - pp->BasePage + 1 : 1);
        else if (u == "PAGE#") value = Variant(pp ? pp->PageIndex + 1 : 1);
        else if (u == "TOTALPAGES") value = Variant(e ? e->TotalPages - (pp ? pp->BasePage : 0) : 0);
        else if (u == "TOTALPAGES#") value = Variant(e ? e->TotalPages : 0);
        else if (u == "LINE") value = Variant(e ? e->CurLine : 0);
        else if (u == "LINE#") value = Variant(e ? e->CurLineThrough : 0);
        return true;
    }
    if (OnGetValue) {
        Variant v;
        OnGetValue(name, v);
        if (!VarIsEmpty(v)) {
            value = v;
            return true;
        }
    }
    int idx = FVariables->IndexOf(name);
    if (idx >= 0) {
        Variant v = FVariables->Items(idx)->Value;
        value = VarIsStr(v) ? Calc(VarToStr(v)) : v;
        return true;
    }
    if (TfsCustomVariable* item = FScript->FindLocal(name)) {
        value = item->GetValue();
        return true;
    }
    return false;
}

Variant TfrxReport::Calc(const std::string& expression, TfsScript* script)
{
    Variant v;
    if (DoGetValue(expression, v)) return v;
    std::string err;
    v = FExpressionCache->Calc(expression, err, script ? script : FScript.get());
    if (!err.empty()) {
        if (!CurObject.empty()) err = CurObject + ": " + err;
        FErrors->Add(err);
        throw Exception(err);
    }
    return v;
}

void TfrxReport::SetCurrentValue(const Variant& value)
{
    if (FValueVar) FValueVar->SetValue(value);
}

void TfrxReport::DoNotifyEvent(TObject* sender, const std::string& handler, bool force)
{
    if (handler.empty()) return;
    if (!force && !(FEngine && FEngine->Running)) return;
    // The handler's parameters go as an array: its Sender is the object.
    FScript->CallFunction(handler, VarArrayOf({fs_iinterpreter::ObjectToVar(sender)}));
}

void TfrxReport::DoParamEvent(const std::string& handler, Variant& params, bool force)
{
    if (handler.empty()) return;
    if (!force && !(FEngine && FEngine->Running)) return;
    FScript->CallFunctionVar(handler, params);
}

void TfrxReport::DoBeforePrint(TfrxReportComponent* obj)
{
    if (OnBeforePrint) OnBeforePrint(obj);
    DoNotifyEvent(obj, obj->OnBeforePrint);
}

void TfrxReport::DoAfterPrint(TfrxReportComponent* obj)
{
    if (OnAfterPrint) OnAfterPrint(obj);
    DoNotifyEvent(obj, obj->OnAfterPrint);
}

void TfrxReport::DoPreviewClick(TfrxView* view, int button, TShiftState shift, bool& modified)
{
    if (!view->OnPreviewClick.empty()) {
        Variant params = VarArrayOf({fs_iinterpreter::ObjectToVar(view), Variant(button),
                                     Variant(int(shift.ToInt())), Variant(modified)});
        DoParamEvent(view->OnPreviewClick, params, true);
        modified = params[3].AsBoolean();
    }
    if (OnClickObject) OnClickObject(view, button, shift, modified);
}

Variant TfrxReport::DoGet(const std::string& name)
{
    Variant v;
    if (DoGetValue(name, v)) return v;
    std::string head = UpperCase(Trim(name.substr(0, name.find('('))));
    if (head == "SUM" || head == "MIN" || head == "MAX" || head == "AVG" || head == "COUNT") return Calc(name);
    FErrors->Add(frxRes::Resources().Get("clUnknownVar") + " " + name);
    return Null();
}

bool TfrxReport::SetupScript()
{
    FExpressionCache->Clear();
    if (FEngine) FEngine->Listeners().clear();
    FScript->ClearItems(this);
    FScript->Registrar = this;
    for (TfrxComponent* c : AllObjects()) {
        c->SetIsDesigning(false);
        c->RunStarting();
        if (auto* pv = DynamicCast<TfrxPictureView>(c)) pv->PictureChanged = false;
        if (!c->Name().empty()) FScript->AddObject(c->Name(), c)->Registrar = this;
    }
    FScript->AddObject("Report", this)->Registrar = this;
    FScript->AddObject("Engine", FEngine.get())->Registrar = this;
    FScript->AddObject("Outline", FPreviewPages ? FPreviewPages->Outline() : nullptr)->Registrar = this;
    FScript->AddVariable("Value", "Variant", Null())->Registrar = this;

    auto mark = [this](TfsMethodHelper* m) {
        m->Registrar = this;
        // A macro routine gets its arguments as source texts: they must reach
        // the handler unconverted, whatever type the declaration names.
        if (m->IsMacro)
            for (int i = 0; i < m->Count(); ++i) m->Params(i)->Kind = stVariant;
    };
    mark(FScript->AddMethod("function Get(Name: String): Variant",
                            [this](TObject*, TClass, const std::string&, TfsParams& a) {
                                return DoGet(VarToStr(a.at(0)));
                            }));
    mark(FScript->AddMethod("procedure Set(Name: String; Value: Variant)",
                            [this](TObject*, TClass, const std::string&, TfsParams& a) {
                                FVariables->SetVariables(VarToStr(a.at(0)), a.at(1));
                                return Variant();
                            }));
    mark(FScript->AddMethod(
        "macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant",
        [this](TObject*, TClass, const std::string&, TfsParams& a) {
            TfsScript* s = FScript->RunningScript ? FScript->RunningScript : FScript.get();
            Variant cond = Calc(VarToStr(a.at(0)), s);
            bool yes = false;
            try {
                yes = VarIsType(cond, varBoolean) ? cond.AsBoolean() : VarCmpOp(cond, Variant(true), opCmpEQ);
            } catch (const std::exception&) {
                yes = false;
            }
            return Calc(VarToStr(a.at(yes ? 1 : 2)), s);
        }));
    auto aggregate = [this](const std::string& fn, bool hasExpr) {
        return [this, fn, hasExpr](TObject*, TClass, const std::string&, TfsParams& a) -> Variant {
            size_t i = 0;
            std::string expr = hasExpr ? VarToStr(a.at(i++)) : std::string();
            auto arg = [&](size_t k) -> Variant {
                std::string t = k < a.size() ? Trim(VarToStr(a[k])) : std::string();
                return t.empty() ? Variant(0) : Calc(t);
            };
            Variant band = arg(i), flags = arg(i + 1);
            if (!FEngine) return Null();
            TfrxBand* b = nullptr;
            if (VarIsStr(band)) b = DynamicCast<TfrxBand>(FindObject(VarToStr(band)));
            else if (!VarIsNull(band) && band.AsInt64() != 0)
                b = DynamicCast<TfrxBand>(fs_iinterpreter::VarToObject(band));
            return FEngine->GetAggregateValue(fn, expr, b, flags.AsInteger());
        };
    };
    for (const char* fn : {"SUM", "AVG", "MIN", "MAX"})
        mark(FScript->AddMethod(std::string("macrofunction ") + fn +
                                    "(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                                aggregate(fn, true)));
    mark(FScript->AddMethod("macrofunction COUNT(Band: Variant = 0; Flags: Integer = 0): Variant",
                            aggregate("COUNT", false)));

    FValueVar = FScript->FindLocal("Value");
    FScript->Lines()->Assign(FScriptText.get());
    FScript->SetSyntaxType(ScriptLanguage);
    bool ok = FScript->Compile();
    if (!ok)
        FErrors->Add(Format(frxRes::Resources().Get("clScrError"),
                            {FScript->ErrorPosition, FScript->ErrorMessage}));
    return ok;
}

// ---- designer -----------------------------------------------------------------------------------

void TfrxReport::OpenDesigner()
{
    if (FDesignerOpen) return;
    // Without the designer window there is nothing to open: say so, rather
    // than leave the operator's "设计" without an answer.
    if (!frxClass::DesignerRunner) throw Exception(frxClass::NoDesignerText);
    if (PagesCount() == 0) {
        TClass pageClass = DotMatrixReport ? GetClass("TfrxDMPPage") : nullptr;
        if (!pageClass) pageClass = TfrxReportPage::StaticClass();
        auto* page = static_cast<TfrxReportPage*>(pageClass->Create(this));
        page->SetDefaults();
        page->SetName("Page1");
    }
    FScript->ClearItems(this);
    Modified = false;
    FDesignerOpen = true;
    try {
        frxClass::DesignerRunner(this, false);
    } catch (...) {
        FDesignerOpen = false;
        throw;
    }
    FDesignerOpen = false;
}

bool TfrxReport::OpenPreviewDesigner()
{
    if (FDesignerOpen || !frxClass::DesignerRunner) return false;
    FDesignerOpen = true;
    bool modified = false;
    try {
        modified = frxClass::DesignerRunner(this, true);
    } catch (...) {
        FDesignerOpen = false;
        throw;
    }
    FDesignerOpen = false;
    return modified;
}
