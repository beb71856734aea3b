// The base of the designer window: the report being designed, the page on
// show (null: the script code page), the objects of that page and the
// selection, the modified flag, and the operations the tool windows and the
// editors call back into the window with. The inspector, the component and
// property editors and the wizards work against this base alone.
#pragma once

#include "Forms.h"
#include "frxDesgnCtrls.h"

#include <memory>
#include <string>

class TList;
class TStrings;
class TfrxPage;
class TfrxReport;
class TfrxSyntaxMemo;

// The unit the designer shows lengths in.
enum TfrxDesignerUnits { duCM, duInches, duPixels, duChars };

class TfrxCustomDesigner : public TForm, public IfrxDesignerSelection {
    QZ_CLASS(TfrxCustomDesigner, TForm)
public:
    TfrxCustomDesigner(TComponent* owner, TfrxReport* report, bool previewPageMode = false);
    ~TfrxCustomDesigner() override;

    TfrxReport* Report() const override { return FReport; }
    TfrxPage* Page() const override { return FPage; }
    // Every object of the current page (then the report and the page).
    TList* Objects() const override { return FObjects.get(); }
    // The selection; holding only the page means nothing is selected.
    TList* SelectedObjects() const override { return FSelectedObjects.get(); }
    bool PreviewPageMode() const { return FPreviewPageMode; }
    bool Modified() const { return FModified; }

    // Set when the window has closed; ends the report's designer loop.
    bool Closed = false;
    std::string MemoFontName = "Arial";
    int MemoFontSize = 10;
    bool UseObjectFont = true;
    // The unit lengths are shown and typed in.
    TfrxDesignerUnits Units = duCM;

    // True also marks the report modified.
    virtual void SetModified(bool value);
    virtual void SetPage(TfrxPage* value) { FPage = value; }
    // The lines of the script as the code editor holds them.
    virtual TStrings* GetCode() = 0;
    // The expression editor opened on the text: its text after OK, else empty.
    virtual std::string InsertExpression(const std::string& text) = 0;
    virtual void Lock() = 0;
    virtual void ReloadPages(int index) = 0;
    virtual void ReloadReport() = 0;
    virtual void UpdateDataTree() = 0;
    virtual void UpdatePage() = 0;
    // The window's script editor (null while it has none).
    virtual TfrxSyntaxMemo* CodeWindow() const { return nullptr; }

protected:
    TfrxReport* FReport;
    TfrxPage* FPage = nullptr;

private:
    bool FPreviewPageMode;
    bool FModified = false;
    std::unique_ptr<TList> FObjects;
    std::unique_ptr<TList> FSelectedObjects;
};
