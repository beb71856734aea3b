// The student search form: the operator's criteria built into an RStufind
// and handed to the opener's callback (the student list's search), which
// runs the search; the form closes when the callback accepts.
#pragma once

#include "EditForms.h"

class TCheckBox;

class TStuFindFrm : public TEditFrm {
    QZ_CLASS(TStuFindFrm, TEditFrm)
public:
    explicit TStuFindFrm(TComponent* owner = nullptr);
    ~TStuFindFrm() override;
    TStuFindFrm(TComponent* owner, TRecordCallback<RStufind> callback);
    static TStuFindFrm* CreateFor(TComponent* owner, TRecordCallback<RStufind> callback);

    // The criteria the controls give.
    RStufind GetData() const;

    Uis::TComboBox* edtDrivetype1 = nullptr;
    Uis::TComboBox* edtExamitems1 = nullptr;
    Uis::TComboBox* edtPassif1 = nullptr;
    Uis::TComboBox* edtExamItem2 = nullptr;
    Uis::TComboBox* edtApps1 = nullptr;
    Uis::TComboBox* edtClassif1 = nullptr;
    Uis::TComboBox* edtClassname1 = nullptr;
    Uis::TEdit* edtName1 = nullptr;
    Uis::TDateTimePicker* edtSigndate1 = nullptr;
    Uis::TDateTimePicker* edtSigndate2 = nullptr;
    Uis::TComboBox* edtSex1 = nullptr;
    Uis::TEdit* edtLinkTel1 = nullptr;
    Uis::TComboBox* edtSalesman1 = nullptr;
    Uis::TComboBox* edtTeacher1 = nullptr;
    TCheckBox* edtGraduate1 = nullptr;   // "包括毕业学员"
    TCheckBox* edtDropout1 = nullptr;    // "包括退学学员"
    TRecordCallback<RStufind> Callback;

protected:
    bool Accept() override;
};
