// Helpers of the interpreter's tests: the engine started once, scripts
// compiled and run with their ShowMessage output captured.
#pragma once

#include "RecordingHost.h"
#include "SysUtils.h"
#include "fs_iinit.h"
#include "fs_iinterpreter.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

struct ScriptRun {
    bool Compiled = false;
    std::string Error;           // compile error message or run-time error text
    std::string ErrorPos;        // "line:col" of a compile error
    bool RunError = false;
    std::vector<std::string> Output;   // ShowMessage texts in order
    std::string Joined() const
    {
        std::string r;
        for (auto& s : Output) r += s + "\n";
        return r;
    }
};

// The engine as the program runs it, with the program's date formats.
inline void EnsureEngine()
{
    static bool done = false;
    if (!done) ApplyProgramDateFormats();
    done = true;
    fs_iinit::InitializeScriptEngine();
}

// Compiles and runs a script; ShowMessage output is collected. The host
// answers dialogs (a fresh one unless given).
inline ScriptRun RunScript(const std::string& language, const std::string& text,
                           std::shared_ptr<TRecordingHost> host = nullptr)
{
    EnsureEngine();
    ScriptRun r;
    if (!host) host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TfsScript script(nullptr);
    script.SetSyntaxType(language);
    script.SetText(text);
    r.Compiled = script.Compile();
    if (!r.Compiled) {
        r.Error = script.ErrorMessage;
        r.ErrorPos = script.ErrorPosition;
        return r;
    }
    try {
        script.Execute();
    } catch (const std::exception& e) {
        r.RunError = true;
        r.Error = e.what();
    }
    for (auto& c : host->CallsOf(THostCallKind::ShowMessage)) r.Output.push_back(c.Text);
    return r;
}
