// The two filter dialogs: which filters the custom dialog can show, what it
// writes, and the filter builder's buttons, files and remembered bounds.
#include "FilterTesting.h"
#include "Forms.h"
#include "GuiTesting.h"
#include "RecordingHost.h"
#include "StdCtrls.h"
#include "Streams.h"
#include "SysUtils.h"
#include "cxButtons.h"
#include "cxDropDownEdit.h"
#include "cxEdit.h"
#include "cxFilterControl.h"
#include "cxFilterControlDialog.h"
#include "cxFilterDialog.h"
#include "cxGridCustomTableView.h"
#include "cxRadioGroup.h"
#include "cxSpinEdit.h"
#include "cxTextEdit.h"
#include "cxVariants.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

TObject* L(int AID) { return reinterpret_cast<TObject*>(intptr_t(AID)); }

std::string Bytes(TcxFilterCriteria* ACriteria)
{
    TStringStream s;
    ACriteria->WriteData(&s);
    return s.DataString();
}

TEST(FilterDialogShapes, IsComplexFilter)
{
    struct {
        const char* Name;
        std::function<void(TcxFilterCriteria&)> Make;
        bool Complex;
    } cases[] = {
        {"empty", [](TcxFilterCriteria&) {}, false},
        {"one equals", [](TcxFilterCriteria& c) { c.AddItem(nullptr, L(1), foEqual, 1, "1"); }, false},
        {"two items under AND",
         [](TcxFilterCriteria& c) {
             c.AddItem(nullptr, L(1), foEqual, 1, "1");
             c.AddItem(nullptr, L(2), foLike, "a%", "a%");
         },
         false},
        {"two root conditions on one item",
         [](TcxFilterCriteria& c) {
             c.AddItem(nullptr, L(1), foEqual, 1, "1");
             c.AddItem(nullptr, L(1), foEqual, 2, "2");
         },
         true},
        {"OR at the root",
         [](TcxFilterCriteria& c) {
             c.Root()->SetBoolOperatorKind(fboOr);
             c.AddItem(nullptr, L(1), foEqual, 1, "1");
         },
         true},
        {"an OR pair on one item",
         [](TcxFilterCriteria& c) {
             TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboOr);
             c.AddItem(g, L(1), foEqual, 1, "1");
             c.AddItem(g, L(1), foGreater, 5, "5");
         },
         false},
        {"an OR pair over two items",
         [](TcxFilterCriteria& c) {
             TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboOr);
             c.AddItem(g, L(1), foEqual, 1, "1");
             c.AddItem(g, L(2), foEqual, 5, "5");
         },
         true},
        {"a pair on an item used before",
         [](TcxFilterCriteria& c) {
             c.AddItem(nullptr, L(1), foEqual, 1, "1");
             TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboAnd);
             c.AddItem(g, L(1), foEqual, 1, "1");
             c.AddItem(g, L(1), foEqual, 5, "5");
         },
         true},
        {"NOT AND pair",
         [](TcxFilterCriteria& c) {
             TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboNotAnd);
             c.AddItem(g, L(1), foEqual, 1, "1");
             c.AddItem(g, L(1), foEqual, 5, "5");
         },
         true},
        {"three in a group",
         [](TcxFilterCriteria& c) {
             TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboOr);
             for (int i = 0; i < 3; ++i) c.AddItem(g, L(1), foEqual, i, std::to_string(i));
         },
         true},
        {"nested group",
         [](TcxFilterCriteria& c) {
             TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboOr);
             c.AddItem(g, L(1), foEqual, 1, "1");
             TcxFilterCriteriaItemList* n = g->AddItemList(fboAnd);
             c.AddItem(n, L(1), foEqual, 1, "1");
         },
         true},
        {"between", [](TcxFilterCriteria& c) { c.AddItem(nullptr, L(1), foBetween, cxVariants::VarBetweenArray(1, 2), "1;2"); }, true},
        {"relative date", [](TcxFilterCriteria& c) { c.AddItem(nullptr, L(1), foToday, Null(), ""); }, true},
    };
    for (const auto& k : cases) {
        TcxFilterTestCriteria c;
        k.Make(c);
        EXPECT_EQ(cxFilterDialog::IsComplexFilter(&c), k.Complex) << k.Name;
    }
}

class FilterDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        Link = std::make_unique<TcxFilterTestLink>();
        Link->AddItem("姓名", 10, TcxTextEditProperties::StaticClass(), TcxStringValueType::Class());
        Link->AddItem("年龄", 11, TcxSpinEditProperties::StaticClass(), TcxIntegerValueType::Class());
    }
    void TearDown() override
    {
        Link.reset();
        GuiTest::ProcessEvents();
    }
    // Runs the custom dialog on item AIndex, with AScript run while it is up.
    bool RunCustom(int AIndex, std::function<void(TcxFilterDialog*)> AScript)
    {
        GuiTest::Later([=] {
            TcxFilterDialog* d = nullptr;
            for (int i = 0; i < Screen->FormCount(); ++i)
                if (auto* f = dynamic_cast<TcxFilterDialog*>(Screen->Forms(i))) d = f;
            ASSERT_TRUE(d);
            AScript(d);
        });
        auto& item = Link->Items()[size_t(AIndex)];
        return cxFilterDialog::ShowFilterDialog(Link->Filter(), L(item.ID), item.Properties.get(), nullptr,
                                                item.ValueType, item.Caption);
    }
    std::unique_ptr<TcxFilterTestLink> Link;
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
};

TEST_F(FilterDialogTest, CustomDialogWithoutHelperDoesNotOpen)
{
    TcxCustomEditProperties bare;
    EXPECT_FALSE(cxFilterDialog::ShowFilterDialog(Link->Filter(), L(10), &bare, nullptr, nullptr, "x"));
    EXPECT_FALSE(cxFilterDialog::ShowFilterDialog(Link->Filter(), L(10), nullptr, nullptr, nullptr, "x"));
}

TEST_F(FilterDialogTest, CustomDialogStartsWithLikeForTextAndHandlesWildcards)
{
    Link->Filter()->AddItem(nullptr, L(11), foEqual, 3, "3");
    std::string before = Bytes(Link->Filter());
    bool ok = RunCustom(0, [](TcxFilterDialog* d) {
        EXPECT_EQ(d->Caption(), "Custom Filter");
        EXPECT_EQ(d->lblTitle->Caption(), "Show rows where:");
        EXPECT_EQ(d->lblColumnCaption->Caption(), "姓名 ");
        EXPECT_EQ(d->lblSingle->Caption(), "Use _ to represent any single character");
        EXPECT_EQ(d->lblSeries->Caption(), "Use % to represent any series of characters");
        EXPECT_EQ(d->ClientWidth(), 414);
        EXPECT_EQ(d->ClientHeight(), 175);
        EXPECT_EQ(d->Operator1(), froLike);
        EXPECT_EQ(d->Operator2(), froNone);
        EXPECT_TRUE(d->lblSingle->Visible());
        d->Edit1()->SetEditValue("王%_");
        d->SetOperator1(froEqual);
        EXPECT_FALSE(d->lblSingle->Visible());
        EXPECT_EQ(VarToStr(d->Edit1()->EditValue()), "王") << "the wildcards leave a value that is not a pattern";
        d->SetModalResult(mrCancel);
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(Bytes(Link->Filter()), before) << "Cancel changes nothing";
}

TEST_F(FilterDialogTest, CustomDialogWritesItsItemsConditionsOnly)
{
    Link->Filter()->AddItem(nullptr, L(10), foLike, "李%", "李%");
    TcxFilterCriteriaItemList* g = Link->Filter()->Root()->AddItemList(fboOr);
    Link->Filter()->AddItem(g, L(11), foEqual, 18, "18");
    Link->Filter()->AddItem(g, L(11), foGreater, 60, "60");
    bool ok = RunCustom(1, [](TcxFilterDialog* d) {
        EXPECT_EQ(d->Operator1(), froEqual);
        EXPECT_EQ(d->Operator2(), froGreater);
        EXPECT_TRUE(d->rbOr->Checked());
        EXPECT_EQ(d->Edit2()->EditValue().AsInteger(), 60);
        d->SetOperator2(froNone);
        d->cbOperator2->SetItemIndex(0);
        d->SetOperator1(froBlank);
        d->Edit1()->SetEditValue(77);
        d->btnOK->Click();
    });
    EXPECT_TRUE(ok);
    TcxFilterCriteriaItemList* root = Link->Filter()->Root();
    ASSERT_EQ(root->Count(), 2);
    auto* kept = dynamic_cast<TcxFilterCriteriaItem*>(root->Items(0));
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->ItemLink(), L(10)) << "conditions on other items stay";
    auto* written = dynamic_cast<TcxFilterCriteriaItem*>(root->Items(1));
    ASSERT_TRUE(written) << "a blank second operator writes one condition at the root";
    EXPECT_EQ(written->OperatorKind(), foEqual);
    EXPECT_TRUE(written->Value().IsNull()) << "is blank writes Null whatever the editor holds";
    EXPECT_EQ(written->DisplayValue(), "blank");
}

TEST_F(FilterDialogTest, CustomDialogStaysOpenOnAnInvalidValue)
{
    bool ok = RunCustom(1, [&](TcxFilterDialog* d) {
        d->SetOperator1(froEqual);
        d->Edit1()->SetEditValue("abc");
        d->SetOperator2(froGreater);
        d->SetModalResult(mrOk);
        EXPECT_FALSE(d->CloseQuery()) << "the dialog stays open";
        d->SetModalResult(mrNone);
        d->Edit1()->SetEditValue(20);
        d->Edit2()->SetEditValue(10);
        d->rbOr->SetChecked(true);
        d->btnOK->Click();
    });
    EXPECT_TRUE(ok);
    ASSERT_EQ(Host->Messages().size(), 1u);
    EXPECT_NE(Host->Messages().front().find("Invalid value"), std::string::npos);
    auto* g = dynamic_cast<TcxFilterCriteriaItemList*>(Link->Filter()->Root()->Items(0));
    ASSERT_TRUE(g);
    EXPECT_EQ(g->BoolOperatorKind(), fboOr);
    ASSERT_EQ(g->Count(), 2);
    EXPECT_EQ(static_cast<TcxFilterCriteriaItem*>(g->Items(1))->OperatorKind(), foGreater);
    EXPECT_EQ(static_cast<TcxFilterCriteriaItem*>(g->Items(1))->Value().AsInteger(), 10);
}

TEST_F(FilterDialogTest, RecordViewsReachTheDialogsOnceInstalled)
{
    TcxGridFilterDialogs previous = cxGridCustomTableView::FilterDialogs();
    cxFilterControlDialog::Initialize();
    const TcxGridFilterDialogs& d = cxGridCustomTableView::FilterDialogs();
    ASSERT_TRUE(d.IsComplexFilter && d.ShowFilterDialog && d.ShowFilterControlDialog);
    TcxFilterTestCriteria c;
    EXPECT_FALSE(d.IsComplexFilter(&c));
    c.Root()->SetBoolOperatorKind(fboOr);
    EXPECT_TRUE(d.IsComplexFilter(&c));
    TcxCustomEditProperties bare;
    EXPECT_FALSE(d.ShowFilterDialog(&c, L(1), &bare, nullptr, nullptr, "x")) << "no helper, no dialog";
    cxGridCustomTableView::SetFilterDialogs(previous);
}

class FilterBuilderDialogTest : public FilterDialogTest {
protected:
    bool Run(std::function<void(TfmFilterControlDialog*)> AScript)
    {
        return cxFilterControlDialog::ShowFilterControlDialog(
            Link.get(), nullptr, clDefault, "/tmp",
            [=](TObject* Sender) {
                auto* d = static_cast<TfmFilterControlDialog*>(Sender);
                GuiTest::Later([=] { AScript(d); });
            },
            [this](TObject*) { ++Applied; });
    }
    int Applied = 0;
};

TEST_F(FilterBuilderDialogTest, OkWithAnIncompleteRowIsRefused)
{
    Link->Filter()->AddItem(nullptr, L(10), foLike, "张%", "张%");
    std::string old = Bytes(Link->Filter());
    int rounds = 0;
    bool ok = Run([&](TfmFilterControlDialog* d) {
        EXPECT_EQ(d->Caption(), "Filter builder - [untitled.flt]");
        TcxCustomFilterControl* c = d->FilterControl();
        EXPECT_EQ(c->RowCount(), 2) << "the rows come from the view's filter";
        c->AddCondition(nullptr);
        auto* row = static_cast<TcxConditionViewInfo*>(c->FocusedInfo().Row);
        row->SetOperator(froNone);
        d->btOk->Click();
        ++rounds;
        EXPECT_EQ(d->ModalResult(), mrNone) << "the dialog stays open";
        EXPECT_EQ(c->FocusedInfo().Row, row);
        EXPECT_EQ(Bytes(Link->Filter()), old);
        d->btApply->Click();
        EXPECT_EQ(Applied, 0);
        d->btCancel->Click();
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(rounds, 1);
    EXPECT_EQ(Host->Messages().size(), 2u);
    EXPECT_EQ(Bytes(Link->Filter()), old);
}

TEST_F(FilterBuilderDialogTest, ApplySaveOpenAndBounds)
{
    std::string name = "/tmp/gv2-builder-" + std::to_string(::getpid()) + ".flt";
    Host->QueueSaveFile({name});
    Host->QueueOpenFile({name});
    bool ok = Run([&](TfmFilterControlDialog* d) {
        TcxCustomFilterControl* c = d->FilterControl();
        c->AddCondition(nullptr);
        auto* row = static_cast<TcxConditionViewInfo*>(c->FocusedInfo().Row);
        row->SetItemIndex(1);
        row->Values()->Values(0).Value = 21;
        row->Values()->Values(0).ValueText = "21";
        d->btSave->Click();
        EXPECT_EQ(d->Caption(), "Filter builder - [" + ExtractFileName(name) + "]");
        c->Clear();
        d->btOpen->Click();
        EXPECT_EQ(c->RowCount(), 2);
        d->btApply->Click();
        EXPECT_EQ(Applied, 1);
        d->SetBounds(40, 30, 600, 400);
        d->btOk->Click();
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(Applied, 2);
    ASSERT_EQ(Link->Filter()->Root()->Count(), 1);
    EXPECT_EQ(static_cast<TcxFilterCriteriaItem*>(Link->Filter()->Root()->Items(0))->Value().AsInteger(), 21);
    auto opened = Host->CallsOf(THostCallKind::OpenFile);
    ASSERT_EQ(opened.size(), 1u);
    // Reopened in the same process: where and as large as it was closed.
    Run([](TfmFilterControlDialog* d) {
        EXPECT_EQ(d->Left(), 40);
        EXPECT_EQ(d->Top(), 30);
        EXPECT_EQ(d->Width(), 600);
        EXPECT_EQ(d->Height(), 400);
        d->btCancel->Click();
    });
    std::remove(name.c_str());
}

TEST_F(FilterBuilderDialogTest, PictureOfTheBuilder)
{
    Link->Filter()->AddItem(nullptr, L(10), foLike, "张%", "张%");
    TcxFilterCriteriaItemList* g = Link->Filter()->Root()->AddItemList(fboOr);
    Link->Filter()->AddItem(g, L(11), foBetween, cxVariants::VarBetweenArray(18, 30), "18;30");
    Link->Filter()->AddItem(g, L(11), foEqual, Null(), "blank");
    Run([](TfmFilterControlDialog* d) {
        GuiTest::ProcessEvents();
        EXPECT_TRUE(GuiTest::SavePng(d, "/tmp/gv2-filter-builder.png"));
        d->btCancel->Click();
    });
}

}  // namespace
