// The facade the main window calls: the after-login and before-exit
// actions, the company dialog, and the administrative windows, each behind
// the right it needs; the exit road of the program.
#pragma once

#include "Components.h"

class Tmall : public TComponent {
    QZ_CLASS(Tmall, TComponent)
public:
    explicit Tmall(TComponent* owner = nullptr);

    // The company dialog when the operator may edit it and the name is not
    // filled in; then the tip of the day when it is asked for.
    virtual void AfterLogin();
    // The feedback form when forced or asked for at exit.
    virtual void BeforeExit(bool force);
    // The company dialog, behind the company right.
    virtual void EditCompany();
};

extern Tmall* GMall;

namespace Facade {

void ShowBackup();
void ShowClearData();
void ShowOperators();
void AutoBackup();

// A new list window of trainers, salesmen, cars, fee items or exam items,
// shown without waiting; several of one list may be open at once.
void ShowTrainers();
void ShowSalesmen();
void ShowCars();
void ShowRecitems();
void ShowExamitems();

// A new query or statistics window, shown without waiting; its grid stays
// empty until "查找".
void ShowExamQuery();
void ShowReceiptQuery();
void ShowExamTotal();
void ShowFareTotal();
void ShowGraduates();
void ShowDropouts();

// The road out once the main window closes: the before-exit actions, the
// automatic backup, then the connection closed.
void ExitRoad();

}  // namespace Facade
