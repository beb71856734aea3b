// Emptying the school's tables: the data-clearing window with its two
// scopes, the clearing in one transaction, and the restart that follows.
#pragma once

#include "a.h"

#include <functional>
#include <string>
#include <vector>

class TClearDataFrm : public TaFrm {
    QZ_CLASS(TClearDataFrm, TaFrm)
public:
    explicit TClearDataFrm(TComponent* owner = nullptr);

    TLabel* Label1 = nullptr;   // "警告："
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TRadioButton* RadioButton1 = nullptr;
    TLabel* Label4 = nullptr;
    TRadioButton* RadioButton2 = nullptr;
    TLabel* Label5 = nullptr;
    TButton* OkBtn1 = nullptr;
    TButton* CancelBtn1 = nullptr;

    bool CloseQuery() override;
};

namespace ClearData {

// The statements of a scope, in the order they run.
std::vector<std::string> Statements(bool all);
// Runs them in one transaction; any failure rolls it back and passes on.
void Clear(bool all);

// What starts the program again after a clearing; by default the program's
// own file as a new process. Tests replace it.
using TRestartHook = std::function<void()>;
TRestartHook SetRestartHook(TRestartHook hook);
void Restart();

}  // namespace ClearData
