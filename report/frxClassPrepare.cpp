// The report's entry points for building, showing, printing and exporting.
#include "frxClass.h"

#include "ExtCtrls.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxPreviewPages.h"
#include "frxRes.h"
#include "fs_iinterpreter.h"
#include "fs_istatements.h"

namespace frxClass {
std::function<void(TfrxReport*)> PreviewRunner;
std::function<bool(std::string&)> PasswordPrompt;
}

bool TfrxReport::PrepareReport(bool clearLastReport)
{
    if (clearLastReport && FPreviewPages) FPreviewPages->Clear();
    FErrors->Clear();
    SetTerminated(false);
    for (int i = 0; i < FDataSets->Count(); ++i)
        if (!FDataSets->Items(i)->DataSet())
            FErrors->Add(Format(frxRes::Resources().Get("clDSNotExist"), {FDataSets->Items(i)->DataSetName()}));
    bool result = false;
    if (FErrors->Count() == 0 && FEngine) {
        std::unique_ptr<TMemoryStream> snapshot;
        if (FEngineOptions->RestoreLayout) {
            snapshot = std::make_unique<TMemoryStream>();
            SaveToStream(snapshot.get(), true, false);
        }
        try {
            if (OnBeginDoc) OnBeginDoc(this);
            if (SetupScript()) {
                if (TfsStatement* main = FScript->MainProgram(); main && main->Count() > 0) FScript->Execute();
                result = FEngine->Run();
            }
        } catch (const std::exception& e) {
            FErrors->Add(e.what());
        }
        if (snapshot) {
            // Scripts may have changed objects during the run; the layout comes
            // back as it was, and the errors of the run stay.
            std::string errors = FErrors->Text();
            snapshot->SetPosition(0);
            FSkipPassword = true;
            try {
                LoadFromStream(snapshot.get());
            } catch (const std::exception& e) {
                FSkipPassword = false;
                FErrors->SetText(errors);
                FErrors->Add(e.what());
                errors = FErrors->Text();
            }
            FSkipPassword = false;
            FErrors->SetText(errors);
        }
    }
    if (FErrors->Count() > 0) {
        result = false;
        if (!FEngineOptions->SilentMode) ShowErrors();
    }
    return result;
}

void TfrxReport::ShowPreparedReport()
{
    if (FPreview)
        FPreview->Init();
    else if (frxClass::PreviewRunner)
        frxClass::PreviewRunner(this);
}

void TfrxReport::PrepareForPreview()
{
    if (FPrepareTimer) FPrepareTimer->SetEnabled(false);
    if (!PrepareReport(false) && FPreview) FPreview->CloseHostWindow();
}

void TfrxReport::ShowReport(bool clearLastReport)
{
    if (clearLastReport && FPreviewPages) FPreviewPages->Clear();
    if (OldStyleProgress) {
        if (PrepareReport(false)) ShowPreparedReport();
        return;
    }
    // The preview opens at once; the timer builds the report into it from
    // the preview's own loop, so its pages show while they are built.
    if (!FPrepareTimer) {
        FPrepareTimer = std::make_unique<TTimer>(nullptr);
        FPrepareTimer->SetEnabled(false);
        FPrepareTimer->SetInterval(50);
        FPrepareTimer->OnTimer = [this](TObject*) { PrepareForPreview(); };
    }
    FPrepareTimer->SetEnabled(true);
    ShowPreparedReport();
    // A window shown modally has done its work by now: a build it never
    // started (closed within 50 ms) must not start later.
    if (!FPreview) FPrepareTimer->SetEnabled(false);
}

bool TfrxReport::Print()
{
    auto* pages = DynamicCast<TfrxPreviewPages>(FPreviewPages.get());
    if (!pages) return false;
    if (pages->Count() == 0 && !PrepareReport()) return false;
    return pages->Print();
}

bool TfrxReport::Export(TfrxCustomExportFilter* filter)
{
    auto* pages = DynamicCast<TfrxPreviewPages>(FPreviewPages.get());
    if (!pages || !filter) return false;
    if (pages->Count() == 0 && !PrepareReport()) return false;
    return pages->Export(filter);
}
