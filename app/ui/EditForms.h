// The modal edit forms of the school's records: employee, car, student, fee
// item, exam item, receipt, exam, graduation, class placement and drop-out.
//
// A form never touches the database. It shows the record it was given, and
// on "确定" builds a fresh record from its controls and hands it to the
// opener's callback (a list's save, Uis.h); it closes only when the callback
// accepts the record, so a refused or failed save leaves the operator's
// input on screen. "取消" closes it and hands nothing over.
#pragma once

#include "Uis.h"
#include "a.h"

#include <string>

class TCheckBox;

// What every edit form shares: the two buttons and the OK handler, which
// runs the form's Accept and closes with OK when it returns true. An error
// Accept raises is shown once and the form stays as it was.
class TEditFrm : public TaFrm {
    QZ_CLASS(TEditFrm, TaFrm)
public:
    explicit TEditFrm(TComponent* owner = nullptr);

    TButton* btnOk1 = nullptr;       // "确定"
    TButton* btnCancel1 = nullptr;   // "取消", modal result Cancel

    void btnOk1Click(TObject* sender);

protected:
    // Builds the record from the controls and offers it to the callback.
    virtual bool Accept() = 0;

    // A label at the left of a row and the control beside it, owned by the
    // form; rows start at the top margin and are RowHeight apart, columns
    // ColumnWidth apart.
    template <class C> C* Row(const std::string& caption, int row, int width = 220, int height = 21)
    {
        return RowAt<C>(caption, 0, row, width, height);
    }
    template <class C> C* RowAt(const std::string& caption, int column, int row, int width = 220, int height = 21)
    {
        RowLabel(caption, column, row);
        return UiKit::Make<C>(this, this, column * ColumnWidth + FieldLeft, TopMargin + row * RowHeight, width,
                              height);
    }
    Uis::TLabel* RowLabel(const std::string& caption, int column, int row);
    // A "..." button right of a row's control.
    TButton* DotButton(TControl* beside);
    // Places the buttons under the last row and sizes the form to hold it.
    void Finish(int rows, int width = 340);
    // A combo that only offers its items.
    static Uis::TComboBox* DropDownList(Uis::TComboBox* c);
    // A date picker whose check box, left unchecked, means no date.
    static Uis::TDateTimePicker* Optional(Uis::TDateTimePicker* p);

    static constexpr int LabelLeft = 16;
    static constexpr int FieldLeft = 100;
    static constexpr int TopMargin = 14;
    static constexpr int RowHeight = 28;
    static constexpr int ColumnWidth = 340;
};

class TEmployeeEditFrm : public TEditFrm {
    QZ_CLASS(TEmployeeEditFrm, TEditFrm)
public:
    explicit TEmployeeEditFrm(TComponent* owner = nullptr);
    // The form on the record, modal; true when it closed with OK.
    static bool Execute(const REmployee& r, TRecordCallback<REmployee> callback);

    void SetData(const REmployee& r);
    REmployee GetData() const;

    Uis::TEdit* edtName1 = nullptr;
    Uis::TComboBox* edtDuty1 = nullptr;   // hidden: the duty is carried unchanged
    Uis::TLabel* lblDuty1 = nullptr;
    Uis::TComboBox* edtSex1 = nullptr;
    Uis::TDateTimePicker* edtBirthday1 = nullptr;
    Uis::TEdit* edtTel1 = nullptr;
    Uis::TEdit* edtAddr1 = nullptr;
    Uis::TMemo* edtNotes1 = nullptr;
    TRecordCallback<REmployee> Callback;

protected:
    bool Accept() override;
};

class TCarEditFrm : public TEditFrm {
    QZ_CLASS(TCarEditFrm, TEditFrm)
public:
    explicit TCarEditFrm(TComponent* owner = nullptr);
    static bool Execute(const RCar& r, TRecordCallback<RCar> callback);

    void SetData(const RCar& r);
    RCar GetData() const;

    Uis::TEdit* edtCarNo1 = nullptr;
    Uis::TComboBox* edtBrand1 = nullptr;
    Uis::TEdit* edtPartno1 = nullptr;
    Uis::TEdit* edtEngino1 = nullptr;
    Uis::TComboBox* edtCartype1 = nullptr;
    Uis::TDateTimePicker* edtManudate1 = nullptr;
    Uis::TEdit* edtBedno1 = nullptr;
    Uis::TComboBox* edtColor1 = nullptr;
    Uis::TEdit* edtSeats1 = nullptr;
    Uis::TEdit* edtWeight1 = nullptr;
    Uis::TDateTimePicker* edtBuydate1 = nullptr;
    Uis::TEdit* edtBuyfund1 = nullptr;
    Uis::TMemo* edtNotes1 = nullptr;
    TRecordCallback<RCar> Callback;

protected:
    bool Accept() override;
};

class TStudentEditFrm : public TEditFrm {
    QZ_CLASS(TStudentEditFrm, TEditFrm)
public:
    explicit TStudentEditFrm(TComponent* owner = nullptr);
    static bool Execute(const RStudent& r, TRecordCallback<RStudent> callback);

    void SetData(const RStudent& r);
    RStudent GetData() const;

    Uis::TEdit* edtName1 = nullptr;
    Uis::TComboBox* edtSex1 = nullptr;
    Uis::TEdit* edtNative1 = nullptr;
    Uis::TEdit* edtIdcode1 = nullptr;
    Uis::TEdit* edtLinktel1 = nullptr;
    Uis::TEdit* edtAddr1 = nullptr;
    Uis::TDateTimePicker* edtSigndate1 = nullptr;
    Uis::TComboBox* edtDrivetype1 = nullptr;
    Uis::TEdit* edtSaleman1 = nullptr;
    TButton* btnSaleman1 = nullptr;
    Uis::TMemo* edtNotes1 = nullptr;
    TRecordCallback<RStudent> Callback;

    void btnSaleman1Click(TObject* sender);

protected:
    bool Accept() override;
};

// The fee-item and exam-item forms: a name and notes.
class TItemEditFrm : public TEditFrm {
    QZ_CLASS(TItemEditFrm, TEditFrm)
public:
    TItemEditFrm(TComponent* owner, const std::string& nameLabel);

    Uis::TEdit* edtName1 = nullptr;
    Uis::TMemo* edtNotes1 = nullptr;

protected:
    template <class R> void ShowItem(const R& r)
    {
        SetCaption(r.Id > 0 ? r.Name : "添加");
        edtName1->SetTag(r.Id);
        edtName1->SetText(r.Name);
        edtNotes1->SetText(r.Notes);
    }
    template <class R> R ItemData() const
    {
        R r;
        r.Id = int(edtName1->Tag());
        r.Name = edtName1->GetText();
        r.Notes = edtNotes1->GetText();
        return r;
    }
};

class TRecitemEditFrm : public TItemEditFrm {
    QZ_CLASS(TRecitemEditFrm, TItemEditFrm)
public:
    explicit TRecitemEditFrm(TComponent* owner = nullptr);
    static bool Execute(const RRecitem& r, TRecordCallback<RRecitem> callback);

    void SetData(const RRecitem& r) { ShowItem(r); }
    RRecitem GetData() const { return ItemData<RRecitem>(); }

    TRecordCallback<RRecitem> Callback;

protected:
    bool Accept() override;
};

class TExamitemEditFrm : public TItemEditFrm {
    QZ_CLASS(TExamitemEditFrm, TItemEditFrm)
public:
    explicit TExamitemEditFrm(TComponent* owner = nullptr);
    static bool Execute(const RExamitem& r, TRecordCallback<RExamitem> callback);

    void SetData(const RExamitem& r) { ShowItem(r); }
    RExamitem GetData() const { return ItemData<RExamitem>(); }

    TRecordCallback<RExamitem> Callback;

protected:
    bool Accept() override;
};

class TReceiptEditFrm : public TEditFrm {
    QZ_CLASS(TReceiptEditFrm, TEditFrm)
public:
    explicit TReceiptEditFrm(TComponent* owner = nullptr);
    static bool Execute(const RReceipt& r, TRecordCallback<RReceipt> callback);

    void SetData(const RReceipt& r);
    RReceipt GetData() const;

    Uis::TEdit* edtStudent1 = nullptr;
    Uis::TDateTimePicker* edtRecdate1 = nullptr;
    Uis::TComboBox* edtItem1 = nullptr;
    TButton* Button3 = nullptr;   // the fee-item picker
    Uis::TComboBox* edtSign1 = nullptr;
    Uis::TEdit* edtFund1 = nullptr;
    Uis::TEdit* edtNotes1 = nullptr;
    Uis::TComboBox* edtTreasurer1 = nullptr;
    TButton* Button4 = nullptr;   // the treasurer list's editor
    TRecordCallback<RReceipt> Callback;

protected:
    bool Accept() override;
};

class TExamEditFrm : public TEditFrm {
    QZ_CLASS(TExamEditFrm, TEditFrm)
public:
    explicit TExamEditFrm(TComponent* owner = nullptr);
    static bool Execute(const RExam& r, TRecordCallback<RExam> callback);

    void SetData(const RExam& r);
    RExam GetData() const;

    Uis::TEdit* edtStudent1 = nullptr;
    Uis::TDateTimePicker* edtAppdate1 = nullptr;
    Uis::TDateTimePicker* edtExamdate1 = nullptr;
    Uis::TComboBox* edtItem1 = nullptr;
    TButton* btnItem1 = nullptr;   // the exam-item picker
    Uis::TEdit* edtPoint1 = nullptr;
    TCheckBox* edtIsPass1 = nullptr;
    Uis::TEdit* edtNotes1 = nullptr;
    TRecordCallback<RExam> Callback;

protected:
    bool Accept() override;
};

// The graduation, class and drop-out forms are made by their opener, which
// shows them modally and frees them.
class TGraduateEditFrm : public TEditFrm {
    QZ_CLASS(TGraduateEditFrm, TEditFrm)
public:
    explicit TGraduateEditFrm(TComponent* owner = nullptr);
    TGraduateEditFrm(TComponent* owner, TRecordCallback<RGraduate> callback, const RGraduate& r);
    static TGraduateEditFrm* CreateFor(TComponent* owner, TRecordCallback<RGraduate> callback, const RGraduate& r);

    void SetData(const RGraduate& r);
    RGraduate GetData() const;

    Uis::TLabel* txtStudentName1 = nullptr;   // its tag keeps the StudentId
    Uis::TDateTimePicker* edtGrantdate1 = nullptr;
    Uis::TDateTimePicker* edtValidate1 = nullptr;
    Uis::TEdit* edtValimonth1 = nullptr;
    Uis::TEdit* edtDrivetype1 = nullptr;
    Uis::TEdit* edtDocumentNo1 = nullptr;
    Uis::TDateTimePicker* edtTakedate1 = nullptr;
    Uis::TComboBox* edtHandman1 = nullptr;
    Uis::TEdit* edtNotes1 = nullptr;
    TRecordCallback<RGraduate> Callback;

protected:
    bool Accept() override;
};

class TClassEditFrm : public TEditFrm {
    QZ_CLASS(TClassEditFrm, TEditFrm)
public:
    explicit TClassEditFrm(TComponent* owner = nullptr);
    TClassEditFrm(TComponent* owner, TRecordCallback<RClass> callback, const RClass& r);
    static TClassEditFrm* CreateFor(TComponent* owner, TRecordCallback<RClass> callback, const RClass& r);

    void SetData(const RClass& r);
    RClass GetData() const;

    Uis::TLabel* txtStudentName1 = nullptr;
    Uis::TDateTimePicker* edtClassdate1 = nullptr;
    Uis::TComboBox* edtClassname1 = nullptr;
    TButton* Button5 = nullptr;   // the class-name list's editor
    Uis::TEdit* edtTeacher1 = nullptr;
    TButton* Button3 = nullptr;   // the trainer picker
    Uis::TEdit* edtCar1 = nullptr;
    TButton* Button4 = nullptr;   // the car picker
    Uis::TEdit* edtNotes1 = nullptr;
    TRecordCallback<RClass> Callback;

protected:
    bool Accept() override;
};

class TDropoutEditFrm : public TEditFrm {
    QZ_CLASS(TDropoutEditFrm, TEditFrm)
public:
    explicit TDropoutEditFrm(TComponent* owner = nullptr);
    TDropoutEditFrm(TComponent* owner, TRecordCallback<RDropout> callback, const RDropout& r);
    static TDropoutEditFrm* CreateFor(TComponent* owner, TRecordCallback<RDropout> callback, const RDropout& r);

    void SetData(const RDropout& r);
    RDropout GetData() const;

    Uis::TLabel* txtStudentName1 = nullptr;
    Uis::TDateTimePicker* edtDropdate1 = nullptr;
    Uis::TEdit* edtReasons1 = nullptr;
    Uis::TEdit* edtRetfund1 = nullptr;
    Uis::TComboBox* edtHandman1 = nullptr;
    Uis::TEdit* edtNotes1 = nullptr;
    TRecordCallback<RDropout> Callback;

protected:
    bool Accept() override;
};
