// The receipt details window "收费明细表": the receipts and refunds of every
// student by fee item, direction, amount, date and treasurer.
#pragma once

#include "QryWin.h"

class TReceiptSet;

class TRecQryFrm : public TQryWinFrm {
    QZ_CLASS(TRecQryFrm, TQryWinFrm)
public:
    explicit TRecQryFrm(TComponent* owner = nullptr);

    TReceiptSet* Receipts() const { return FReceipts; }

    Uis::TComboBox* edtFareItem1 = nullptr;       // "费用项目"
    Uis::TComboBox* edtSign1 = nullptr;           // "方向"
    Uis::TEdit* edtFund1 = nullptr;               // "金额", from
    Uis::TEdit* edtFund2 = nullptr;               // to
    Uis::TDateTimePicker* edtRecdate1 = nullptr;  // "收费日期"
    Uis::TDateTimePicker* edtRecdate2 = nullptr;  // "截止日期"
    Uis::TComboBox* edtTreasurer1 = nullptr;      // "收款人", typed or chosen

protected:
    void CopyCriteria() override;
    void RunQuery() override;

private:
    TReceiptSet* FReceipts = nullptr;
};
