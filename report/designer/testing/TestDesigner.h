// A designer window for tests of the tool windows and editors: a report
// page of its own report, the window's object lists filled from the page,
// the script kept in a string list, and a record of what the editors
// asked of the window.
#pragma once

#include "StringLists.h"
#include "frxCustomDesigner.h"

#include <memory>
#include <string>
#include <vector>

class TfrxReportPage;

class TTestDesigner : public TfrxCustomDesigner {
    QZ_CLASS(TTestDesigner, TfrxCustomDesigner)
public:
    explicit TTestDesigner(TfrxReport* report);
    ~TTestDesigner() override;

    // Objects := the page's objects, the report and the page; the page selected.
    void FillObjects();
    // Selects these objects alone.
    void Select(const std::vector<TObject*>& objects);

    TStrings* GetCode() override { return FCode.get(); }
    std::string InsertExpression(const std::string& text) override { return ExpressionResult; }
    void Lock() override { ++LockCount; }
    void ReloadPages(int index) override { ReloadPagesCalls.push_back(index); }
    void ReloadReport() override { ++ReloadReportCount; }
    void UpdateDataTree() override {}
    void UpdatePage() override { ++UpdatePageCount; }
    void SetModified(bool value) override;
    void SetPage(TfrxPage* value) override;
    TfrxSyntaxMemo* CodeWindow() const override { return FCodeWindow; }
    void SetCodeWindow(TfrxSyntaxMemo* w) { FCodeWindow = w; }

    std::string ExpressionResult;
    int LockCount = 0, ReloadReportCount = 0, UpdatePageCount = 0, ModifiedCount = 0;
    std::vector<int> ReloadPagesCalls;
    // Pages shown, in order (null: the code page).
    std::vector<TfrxPage*> PagesShown;

private:
    std::unique_ptr<TStringList> FCode;
    TfrxSyntaxMemo* FCodeWindow = nullptr;
};
