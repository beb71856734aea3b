#include "cxFilterDialog.h"

#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "cxButtons.h"
#include "cxDropDownEdit.h"
#include "cxEdit.h"
#include "cxFilterConsts.h"
#include "cxLookAndFeels.h"
#include "cxRadioGroup.h"
#include "cxTextEdit.h"

#include <algorithm>
#include <set>

using cxClasses::GetResourceString;
using namespace cxFilterControlUtils;

QZ_CLASS_IMPL(TcxFilterDialog, TForm)

namespace {

bool IsSimpleKind(TcxFilterOperatorKind AKind) { return AKind <= foNotLike; }

template <class T> T* Make(TWinControl* AParent, int L, int T_, int W, int H)
{
    auto* c = new T(AParent);
    c->SetParent(AParent);
    if (W > 0)
        c->SetBounds(L, T_, W, H);
    else {
        c->SetLeft(L);
        c->SetTop(T_);
    }
    return c;
}

}  // namespace

TcxFilterDialog::TcxFilterDialog(TComponent* AOwner) : TForm(AOwner)
{
    SetBorderStyle(bsDialog);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetPosition(poScreenCenter);
    SetClientSize(414, 175);
    Font()->SetHeight(-11);
    lblTitle = Make<TLabel>(this, 8, 8, 0, 0);
    bvlLine = Make<TBevel>(this, 8, 34, 396, 4);
    bvlLine->SetShape(bsTopLine);
    lblColumnCaption = Make<TLabel>(this, 8, 27, 0, 0);
    lblColumnCaption->SetTransparent(false);
    cbOperator1 = Make<TcxComboBox>(this, 8, 46, 193, 21);
    cbOperator1->Properties()->SetDropDownListStyle(lsFixedList);
    lblEdit1PlaceHolder = Make<TLabel>(this, 208, 46, 193, 21);
    lblEdit1PlaceHolder->SetVisible(false);
    rbAnd = Make<TcxRadioButton>(this, 56, 74, 60, 17);
    rbAnd->SetChecked(true);
    rbOr = Make<TcxRadioButton>(this, 120, 74, 65, 17);
    cbOperator2 = Make<TcxComboBox>(this, 8, 96, 193, 21);
    cbOperator2->Properties()->SetDropDownListStyle(lsFixedList);
    lblEdit2PlaceHolder = Make<TLabel>(this, 208, 96, 193, 21);
    lblEdit2PlaceHolder->SetVisible(false);
    lblSingle = Make<TLabel>(this, 8, 134, 0, 0);
    lblSeries = Make<TLabel>(this, 8, 153, 0, 0);
    btnOK = Make<TcxButton>(this, 248, 144, 75, 23);
    btnOK->SetDefault(true);
    btnOK->SetModalResult(mrOk);
    btnCancel = Make<TcxButton>(this, 330, 144, 75, 23);
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);
    cbOperator1->Properties()->OnChange = [this](TObject*) { UpdateWildcards(); };
    cbOperator2->Properties()->OnChange = [this](TObject*) { UpdateWildcards(); };
}

TcxFilterDialog::~TcxFilterDialog()
{
    FEdit1.reset();
    FEdit2.reset();
}

void TcxFilterDialog::FillOperators(TcxComboBox* ABox, bool ABlankFirst)
{
    TStringList* items = ABox->Properties()->Items();
    items->Clear();
    if (ABlankFirst) items->AddObject("", nullptr);
    for (int i = 1; i < cxFilterRowOperatorCount; ++i)
        if (FOperators.Contains(TcxFilterRowOperator(i)))
            items->AddObject(GetRowOperatorText(i), reinterpret_cast<TObject*>(intptr_t(i)));
    ABox->Properties()->SetDropDownRows(items->Count());
}

TcxFilterRowOperator TcxFilterDialog::OperatorOf(TcxComboBox* ABox) const
{
    int index = ABox->ItemIndex();
    TStringList* items = ABox->Properties()->Items();
    if (index < 0 || index >= items->Count()) return froNone;
    if (index == 0 && items->Strings(0).empty()) return froNone;
    return TcxFilterRowOperator(reinterpret_cast<intptr_t>(items->Objects(index)));
}

void TcxFilterDialog::SetOperator(TcxComboBox* ABox, TcxFilterRowOperator AOperator)
{
    TStringList* items = ABox->Properties()->Items();
    int found = -1;
    for (int i = 0; i < items->Count() && found < 0; ++i)
        if (reinterpret_cast<intptr_t>(items->Objects(i)) == AOperator && !items->Strings(i).empty()) found = i;
    ABox->SetItemIndex(found);
    UpdateWildcards();
}

TcxFilterRowOperator TcxFilterDialog::Operator1() const { return OperatorOf(cbOperator1); }
TcxFilterRowOperator TcxFilterDialog::Operator2() const { return OperatorOf(cbOperator2); }
void TcxFilterDialog::SetOperator1(TcxFilterRowOperator AOperator) { SetOperator(cbOperator1, AOperator); }
void TcxFilterDialog::SetOperator2(TcxFilterRowOperator AOperator) { SetOperator(cbOperator2, AOperator); }

void TcxFilterDialog::UpdateWildcards()
{
    if (!FCriteria) return;
    unsigned char wild[2] = {static_cast<unsigned char>(FCriteria->PercentWildcard()),
                             static_cast<unsigned char>(FCriteria->UnderscoreWildcard())};
    auto adjust = [&](TcxCustomEdit* AEdit, TcxFilterRowOperator AOperator) {
        auto* text = AEdit ? dynamic_cast<TcxCustomTextEditProperties*>(AEdit->ActiveProperties()) : nullptr;
        if (!text) return;
        bool like = AOperator == froLike || AOperator == froNotLike;
        for (unsigned char w : wild) text->ValidChars.set(w, like);
        if (like || !VarIsStr(AEdit->EditValue())) return;
        std::string s = VarToStr(AEdit->EditValue()), kept;
        for (char ch : s)
            if (static_cast<unsigned char>(ch) != wild[0] && static_cast<unsigned char>(ch) != wild[1]) kept += ch;
        if (kept != s) AEdit->SetEditValue(kept);
    };
    adjust(FEdit1.get(), Operator1());
    adjust(FEdit2.get(), Operator2());
    auto isLike = [](TcxFilterRowOperator o) { return o == froLike || o == froNotLike; };
    bool show = isLike(Operator1()) || isLike(Operator2());
    lblSingle->SetVisible(show);
    lblSeries->SetVisible(show);
}

void TcxFilterDialog::Init(TcxFilterCriteria* ACriteria, TObject* AItemLink, TcxCustomEditProperties* AItemProperties,
                           TcxLookAndFeel* ALookAndFeel, TcxValueTypeClass AValueTypeClass,
                           const std::string& AItemCaption, TcxCustomFilterEditHelperClass AHelper)
{
    FCriteria = ACriteria;
    FItemLink = AItemLink;
    FItemProperties = AItemProperties;
    FHelper = AHelper;
    FValueTypeClass = AValueTypeClass;
    FOperators = AHelper->AllowedOperators(AItemProperties, false);

    SetCaption(GetResourceString(&cxSFilterDialogCaption));
    lblTitle->SetCaption(GetResourceString(&cxSFilterDialogRows));
    btnOK->SetCaption(GetResourceString(&cxSFilterControlDialogActionOkCaption));
    btnCancel->SetCaption(GetResourceString(&cxSFilterControlDialogActionCancelCaption));
    lblSingle->SetCaption(GetResourceString(&cxSFilterDialogUse) + " " + std::string(1, ACriteria->UnderscoreWildcard()) +
                          " " + GetResourceString(&cxSFilterDialogSingleCharacter));
    lblSeries->SetCaption(GetResourceString(&cxSFilterDialogUse) + " " + std::string(1, ACriteria->PercentWildcard()) +
                          " " + GetResourceString(&cxSFilterDialogCharactersSeries));
    rbAnd->SetCaption(GetResourceString(&cxSFilterDialogOperationAnd));
    rbOr->SetCaption(GetResourceString(&cxSFilterDialogOperationOr));

    FEdit1 = AHelper->CreateEdit(AItemProperties);
    FEdit2 = AHelper->CreateEdit(AItemProperties);
    for (auto* e : {FEdit1.get(), FEdit2.get()})
        if (e) e->SetParent(this);
    if (FEdit1) FEdit1->SetBoundsRect(lblEdit1PlaceHolder->BoundsRect());
    if (FEdit2) FEdit2->SetBoundsRect(lblEdit2PlaceHolder->BoundsRect());
    // Tab order: operator, value, AND, OR, operator, value, OK, Cancel.
    int order = 0;
    for (TWinControl* c : std::initializer_list<TWinControl*>{cbOperator1, FEdit1.get(), rbAnd, rbOr, cbOperator2,
                                                              FEdit2.get(), btnOK, btnCancel})
        if (c) c->SetTabOrder(order++);

    FillOperators(cbOperator1, false);
    FillOperators(cbOperator2, true);
    if (FOperators.Contains(froLike) && IsStringValueType(AValueTypeClass))
        SetOperator1(froLike);
    else if (FOperators.Contains(froEqual))
        SetOperator1(froEqual);
    else
        cbOperator1->SetItemIndex(cbOperator1->Properties()->Items()->Count() > 0 ? 0 : -1);
    cbOperator2->SetItemIndex(0);
    lblColumnCaption->SetCaption(AItemCaption + " ");

    if (TcxFilterCriteriaItem* item = ACriteria->FindItemByItemLink(AItemLink)) {
        auto rowOperator = [](TcxFilterCriteriaItem* i) {
            return cxFilterControl::OperatorKindToRowOperator(i->OperatorKind(), i->IsNullValue(i->Value()));
        };
        SetOperator1(rowOperator(item));
        if (FEdit1) AHelper->WriteValue(FEdit1.get(), AItemProperties, item->Value());
        TcxFilterCriteriaItemList* parent = item->Parent();
        if (parent && parent != ACriteria->Root() && parent->Count() > 1) {
            rbAnd->SetChecked(parent->BoolOperatorKind() == fboAnd);
            rbOr->SetChecked(parent->BoolOperatorKind() != fboAnd);
            if (auto* second = dynamic_cast<TcxFilterCriteriaItem*>(parent->Items(1))) {
                SetOperator2(rowOperator(second));
                if (FEdit2) AHelper->WriteValue(FEdit2.get(), AItemProperties, second->Value());
            }
        }
    }
    UpdateWildcards();
    if (ALookAndFeel) {
        for (TcxLookAndFeel* lf : {cbOperator1->Style()->LookAndFeel(), cbOperator2->Style()->LookAndFeel(),
                                   rbAnd->LookAndFeel(), rbOr->LookAndFeel(), btnOK->LookAndFeel(),
                                   btnCancel->LookAndFeel()})
            lf->SetMasterLookAndFeel(ALookAndFeel);
        for (auto* e : {FEdit1.get(), FEdit2.get()})
            if (e) e->Style()->LookAndFeel()->SetMasterLookAndFeel(ALookAndFeel);
    }
    SetActiveControl(cbOperator1);
}

bool TcxFilterDialog::CloseQuery()
{
    if (!TForm::CloseQuery()) return false;
    if (ModalResult() != mrOk) return true;
    try {
        if (FEdit1) FEdit1->ValidateEdit(true);
        if (FEdit2) FEdit2->ValidateEdit(true);
        if (btnOK->CanFocus()) btnOK->SetFocus();
        FValue1 = Null();
        FText1.clear();
        if (FEdit1) FHelper->ReadValue(FEdit1.get(), FItemProperties, FValue1, FText1);
        ValidateFilterValue(FEdit1.get(), FValue1, Operator1(), FHelper, FValueTypeClass);
        FValue2 = Null();
        FText2.clear();
        if (cbOperator2->ItemIndex() >= 0 && FEdit2) {
            FHelper->ReadValue(FEdit2.get(), FItemProperties, FValue2, FText2);
            ValidateFilterValue(FEdit2.get(), FValue2, Operator2(), FHelper, FValueTypeClass);
        }
    } catch (const EAbort&) {
        return false;
    } catch (const std::exception& e) {
        if (Application) Application->ShowException(e);
        return false;
    }
    return true;
}

void TcxFilterDialog::WriteCondition(TcxFilterCriteriaItemList* AParent, TcxFilterRowOperator AOperator,
                                     const Variant& AValue, const std::string& AText)
{
    if (AOperator == froNone) return;
    Variant value = AValue.IsEmpty() ? Null() : AValue;
    std::string text = AText;
    std::string blank = GetResourceString(&cxSFilterBlankCaption);
    if (AOperator == froBlank || AOperator == froNonBlank) {
        value = Null();
        text = blank;
    } else if (value.IsNull() || (VarIsStr(value) && VarToStr(value).empty()))
        text = blank;
    FCriteria->AddItem(AParent, FItemLink, cxFilterControl::RowOperatorToOperatorKind(AOperator), value, text);
}

void TcxFilterDialog::ApplyChanges()
{
    FCriteria->BeginUpdate();
    try {
        FCriteria->Root()->SetBoolOperatorKind(fboAnd);
        FCriteria->RemoveItemByItemLink(FItemLink);
        if (cbOperator2->ItemIndex() > 0) {
            TcxFilterCriteriaItemList* group = FCriteria->Root()->AddItemList(rbOr->Checked() ? fboOr : fboAnd);
            WriteCondition(group, Operator1(), FValue1, FText1);
            WriteCondition(group, Operator2(), FValue2, FText2);
        } else
            WriteCondition(FCriteria->Root(), Operator1(), FValue1, FText1);
    } catch (...) {
        FCriteria->EndUpdate();
        throw;
    }
    FCriteria->EndUpdate();
}

namespace cxFilterDialog {

bool IsComplexFilter(TcxFilterCriteria* ACriteria)
{
    TcxFilterCriteriaItemList* root = ACriteria->Root();
    if (root->BoolOperatorKind() != fboAnd) return true;
    std::set<TObject*> used;
    for (int i = 0; i < root->Count(); ++i) {
        TcxCustomFilterCriteriaItem* child = root->Items(i);
        if (auto* c = dynamic_cast<TcxFilterCriteriaItem*>(child)) {
            if (!IsSimpleKind(c->OperatorKind()) || used.count(c->ItemLink())) return true;
            used.insert(c->ItemLink());
            continue;
        }
        auto* g = static_cast<TcxFilterCriteriaItemList*>(child);
        if (g->Count() != 2 || (g->BoolOperatorKind() != fboAnd && g->BoolOperatorKind() != fboOr)) return true;
        auto* a = dynamic_cast<TcxFilterCriteriaItem*>(g->Items(0));
        auto* b = dynamic_cast<TcxFilterCriteriaItem*>(g->Items(1));
        if (!a || !b || !IsSimpleKind(a->OperatorKind()) || !IsSimpleKind(b->OperatorKind())) return true;
        if (a->ItemLink() != b->ItemLink() || used.count(a->ItemLink())) return true;
        used.insert(a->ItemLink());
    }
    return false;
}

bool ShowFilterDialog(TcxFilterCriteria* ACriteria, TObject* AItemLink, TcxCustomEditProperties* AItemProperties,
                      TcxLookAndFeel* ALookAndFeel, TcxValueTypeClass AValueTypeClass,
                      const std::string& AItemCaption)
{
    TcxCustomFilterEditHelperClass helper =
        AItemProperties ? GetFilterEditsController()->FindHelper(AItemProperties->ClassType()) : nullptr;
    if (!helper) return false;
    std::unique_ptr<TcxFilterDialog> dialog(new TcxFilterDialog(nullptr));
    dialog->Init(ACriteria, AItemLink, AItemProperties, ALookAndFeel, AValueTypeClass, AItemCaption, helper);
    bool ok = dialog->ShowModal() == mrOk;
    if (ok) dialog->ApplyChanges();
    return ok;
}

}  // namespace cxFilterDialog
