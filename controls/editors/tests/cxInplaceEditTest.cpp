#include "Forms.h"
#include "GuiTesting.h"
#include "Windows.h"
#include "cxEdit.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "cxMaskEdit.h"
#include "cxTextEdit.h"

#include <gtest/gtest.h>

namespace {

class InplaceEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        cxLookAndFeels::Initialize();
        cxLookAndFeelPainters::Initialize();
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 400, 300);
        Form->Show();
        GuiTest::ProcessEvents();
    }
    void TearDown() override
    {
        List.reset();
        delete Form;
        GuiTest::ProcessEvents();
    }
    // The edit placed over a cell of the form, as a grid places it.
    TcxCustomEdit* Place(TcxCustomEdit* AEdit)
    {
        AEdit->SetParent(Form);
        AEdit->SetBounds(50, 40, 120, 21);
        return AEdit;
    }
    TForm* Form = nullptr;
    std::unique_ptr<TcxInplaceEditList> List = std::make_unique<TcxInplaceEditList>();
};

}  // namespace

TEST_F(InplaceEditTest, OneHiddenEditPerProperties)
{
    TcxTextEditProperties a, b;
    a.SetMaxLength(4);
    TcxCustomEdit* ea = List->GetEdit(&a);
    TcxCustomEdit* eb = List->GetEdit(&b);
    EXPECT_NE(ea, eb);
    EXPECT_EQ(List->GetEdit(&a), ea);
    EXPECT_EQ(List->Count(), 2);
    EXPECT_TRUE(ea->IsInplace());
    EXPECT_FALSE(ea->Visible());
    EXPECT_TRUE(ea->InheritsFrom(TcxTextEdit::StaticClass()));
    // The edit holds a copy of the host's settings, taken anew each time.
    auto* own = static_cast<TcxCustomTextEditProperties*>(ea->ActiveProperties());
    EXPECT_NE(own, &a);
    EXPECT_EQ(own->MaxLength(), 4);
    a.SetMaxLength(6);
    List->GetEdit(&a);
    EXPECT_EQ(own->MaxLength(), 6);

    // By class: exactly that class, else a new edit with its own properties.
    EXPECT_EQ(List->GetEditByPropertiesClass(TcxTextEditProperties::StaticClass()), ea);
    TcxCustomEdit* em = List->GetEditByPropertiesClass(TcxMaskEditProperties::StaticClass());
    EXPECT_TRUE(em->InheritsFrom(TcxMaskEdit::StaticClass()));
    EXPECT_EQ(List->Items(2).Properties, em->ActiveProperties());
    EXPECT_EQ(List->GetEditByPropertiesClass(TcxMaskEditProperties::StaticClass()), em);

    TcxTextEditProperties stranger;
    List->RemoveItem(&stranger);
    EXPECT_EQ(List->Count(), 3);
    List->RemoveItem(&b);
    EXPECT_EQ(List->Count(), 2);
    EXPECT_EQ(List->GetEdit(&a), ea);
}

TEST_F(InplaceEditTest, ActivationByKeyTypesTheKey)
{
    TcxTextEditProperties p;
    auto* e = static_cast<TcxTextEdit*>(Place(List->GetEdit(&p)));
    e->SetEditValue(Variant("old"));
    std::unique_ptr<TcxCustomEditData> data;
    e->ActivateByKey(U'新', data);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(e->Visible());
    EXPECT_TRUE(e->Focused());
    // AutoSelect selected the old text; the key replaced it.
    EXPECT_EQ(e->GetDisplayText(), "新");
    EXPECT_TRUE(e->ModifiedAfterEnter());
    EXPECT_EQ(data, nullptr);   // a text edit keeps no per-activation state

    // A key the edit refuses to replay (Esc) is not typed.
    e->SetEditValue(Variant("kept"));
    e->ActivateByKey(27, data);
    EXPECT_EQ(e->GetDisplayText(), "kept");
    EXPECT_FALSE(e->Modified());
}

namespace {
// An edit that keeps per-activation state and counts its resets.
class TStatefulEdit : public TcxTextEdit {
    QZ_CLASS(TStatefulEdit, TcxTextEdit)
public:
    using TcxTextEdit::TcxTextEdit;
    TClass GetEditDataClass() const override { return TcxCustomEditData::StaticClass(); }
    int Resets = 0;

protected:
    void ResetEditData(TcxCustomEditData*) override { ++Resets; }
};
QZ_CLASS_IMPL(TStatefulEdit, TcxTextEdit)
}  // namespace

TEST_F(InplaceEditTest, EditDataIsMadeAndResetWhenCleared)
{
    std::unique_ptr<TcxCustomEdit> owned(TcxCustomEdit::CreateInplace(TStatefulEdit::StaticClass()));
    auto* e = static_cast<TStatefulEdit*>(Place(owned.get()));
    EXPECT_TRUE(e->IsInplace());
    std::unique_ptr<TcxCustomEditData> data;
    e->Activate(data);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->Edit, e);
    EXPECT_EQ(e->EditData(), data.get());
    EXPECT_EQ(e->Resets, 1);
    e->Activate(data);   // kept state is used as it is
    EXPECT_EQ(e->Resets, 1);
    data->Clear();
    e->Activate(data);
    EXPECT_EQ(e->Resets, 2);
    owned.reset();
}

TEST_F(InplaceEditTest, TheClickAfterAnActivatingClickIsADoubleClick)
{
    GuiTest::TManualTime time;
    TcxTextEditProperties p;
    auto* e = static_cast<TcxTextEdit*>(Place(List->GetEdit(&p)));
    int doubles = 0;
    e->OnDblClick = [&](TObject*) { ++doubles; };
    e->SetEditValue(Variant("one two"));
    std::unique_ptr<TcxCustomEditData> data;
    // Activated by a press at the cell's x 55 (5 pixels into the edit).
    e->ActivateByMouse(TShiftState{ssLeft}, 55, 45, data);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(e->Focused());
    GuiTest::Click(e->InnerEdit(), TPoint{5, 5});
    EXPECT_EQ(doubles, 1);
    // After the double-click time a click is a click.
    e->ActivateByMouse(TShiftState{ssLeft}, 55, 45, data);
    time.Advance(GetDoubleClickTime() + 10);
    GuiTest::Click(e->InnerEdit(), TPoint{5, 5});
    EXPECT_EQ(doubles, 1);
}

TEST_F(InplaceEditTest, DeactivateValidates)
{
    TcxTextEditProperties p;
    p.OnValidate = [](TObject*, Variant& v, std::string& t, bool& error) {
        if (VarToStr(v) == "bad") {
            error = true;
            t = "无效";
        }
    };
    auto* e = static_cast<TcxTextEdit*>(Place(List->GetEdit(&p)));
    std::unique_ptr<TcxCustomEditData> data;
    e->ActivateByKey(U'b', data);
    GuiTest::TypeText("ad");
    try {
        e->Deactivate();
        ADD_FAILURE() << "no validation error";
    } catch (const Exception& ex) {
        EXPECT_EQ(ex.Message(), "无效");
    }
    e->SelectAll();
    GuiTest::TypeText("good");
    EXPECT_TRUE(e->Deactivate());
    EXPECT_TRUE(e->Validated());
}
