#include "RecQry.h"

#include "Bizs.h"
#include "ExtCtrls.h"

QZ_CLASS_IMPL(TRecQryFrm, TQryWinFrm)

TRecQryFrm::TRecQryFrm(TComponent* owner) : TQryWinFrm(owner, "收费明细表", 1003)
{
    edtFareItem1 = DropDownList(Criterion<Uis::TComboBox>("费用项目", 0, 0));
    edtSign1 = DropDownList(Criterion<Uis::TComboBox>("方向", 0, 1));
    edtFund1 = NumberEdit(Criterion<Uis::TEdit>("金额", 0, 2, 62));
    edtFund2 = NumberEdit(Beside<Uis::TEdit>(edtFund1));
    edtRecdate1 = Optional(Criterion<Uis::TDateTimePicker>("收费日期", 1, 0));
    edtRecdate2 = Optional(Criterion<Uis::TDateTimePicker>("截止日期", 1, 1));
    edtTreasurer1 = Criterion<Uis::TComboBox>("收款人", 2, 0);
    FinishPanel(3, 3);

    edtFareItem1->FillRecitems();
    edtSign1->FillSign(true);
    edtTreasurer1->FillTreasurers();

    FReceipts = MakeResult<TReceiptSet>(1015);
}

void TRecQryFrm::CopyCriteria()
{
    TReceiptWhere* w = FReceipts->Where();
    Put(w->FareItemIdFld, edtFareItem1->GetRecitemId());
    Put(w->SignIdFld, edtSign1->GetSign());
    Put(w->Fund1Fld, NumberOf(edtFund1));
    Put(w->Fund2Fld, NumberOf(edtFund2));
    Put(w->Recdate1Fld, DateOf(edtRecdate1));
    Put(w->Recdate2Fld, DateOf(edtRecdate2));
    Put(w->TreasurerFld, TextOf(edtTreasurer1->GetText()));
}

void TRecQryFrm::RunQuery() { FReceipts->Query(); }
