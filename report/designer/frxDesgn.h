// The designer settings component: what the designer window allows, where
// its file dialogs start, and the hooks through which an application keeps
// layouts elsewhere than in files (the report centre keeps them in its
// database). The process has one current component; the designer window
// reads that one alone.
#pragma once

#include "Classes.h"
#include "TypInfo.h"

#include <functional>
#include <string>

class TfrxReport;

// Commands of the designer window an application may withhold.
enum TfrxDesignerRestriction {
    drDontInsertObject, drDontDeletePage, drDontCreatePage, drDontChangePageOptions,
    drDontCreateReport, drDontLoadReport, drDontSaveReport, drDontPreviewReport,
    drDontEditVariables, drDontChangeReportOptions, drDontEditReportData
};
using TfrxDesignerRestrictions = TSet<TfrxDesignerRestriction, 16>;
QZ_ENUM_TYPEINFO(TfrxDesignerRestriction, "drDontInsertObject", "drDontDeletePage", "drDontCreatePage",
                 "drDontChangePageOptions", "drDontCreateReport", "drDontLoadReport", "drDontSaveReport",
                 "drDontPreviewReport", "drDontEditVariables", "drDontChangeReportOptions",
                 "drDontEditReportData")

// Called by the designer's open command in place of its open dialog: true
// when a layout was loaded into the report.
using TfrxLoadReportEvent = std::function<bool(TfrxReport* report)>;
// Called by the designer's save and save-as commands in place of writing a
// file: true only when the layout was stored, so that the designer keeps a
// layout that was not stored marked as changed.
using TfrxSaveReportEvent = std::function<bool(TfrxReport* report, bool saveAs)>;

class TfrxDesigner : public TComponent {
    QZ_CLASS(TfrxDesigner, TComponent)
public:
    // The new component becomes the current one.
    explicit TfrxDesigner(TComponent* owner = nullptr);
    // When it is the current one, there is none afterwards.
    ~TfrxDesigner() override;

    // Ask whether to save a changed layout when the designer closes.
    bool CloseQuery = true;
    // Initial folders of the open and save dialogs.
    std::string OpenDir;
    std::string SaveDir;
    TfrxDesignerRestrictions Restrictions;
    TfrxLoadReportEvent OnLoadReport;
    TfrxSaveReportEvent OnSaveReport;
    // Called with the designer window as sender when the window is made.
    TNotifyEvent OnShow;
};

namespace frxDesgn {

// The current designer settings component (null: none).
TfrxDesigner* CurrentDesigner();
// Makes another component the current one (null: none); the designer
// window uses it to stand a temporary one in while it edits prepared pages.
void SetCurrentDesigner(TfrxDesigner* designer);

// What the designer window may do under the current component: everything
// without one.
bool IsAllowed(TfrxDesignerRestriction restriction);
// Whether closing the window asks to save a changed layout: yes without one.
bool CloseQueryWanted();

}  // namespace frxDesgn
