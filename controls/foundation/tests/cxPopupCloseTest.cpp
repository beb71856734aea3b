#include "Forms.h"
#include "GuiTesting.h"
#include "cxContainer.h"

#include "FormTestBase.h"

#include <gtest/gtest.h>

namespace {

class PopupCloseTest : public FormTestBase {
protected:
    void SetUp() override
    {
        StartGui();
        cxContainer::Initialize();
        MakeForm();
        Owner = new TcxContainer(Form);
        Owner->SetParent(Form);
        Owner->SetScrollBars(ssNone);
        Owner->SetBounds(10, 10, 120, 24);
        Other = new TcxContainer(Form);
        Other->SetParent(Form);
        Other->SetScrollBars(ssNone);
        Other->SetBounds(10, 200, 120, 24);
        ShowForm();
        P = MakePopup(Owner);
    }
    void TearDown() override
    {
        for (auto it = Popups.rbegin(); it != Popups.rend(); ++it) delete *it;
        FormTestBase::TearDown();
    }
    TcxCustomPopupWindow* MakePopup(TWinControl* owner)
    {
        auto* p = new TcxCustomPopupWindow(owner);
        p->SetTakesFocus(false);
        p->SizeToControls = false;
        p->SetBounds(0, 0, 150, 80);
        p->AnchorParent = owner;
        p->AnchorBounds = {0, 0, owner->Width(), owner->Height()};
        p->OnClosed = [this](TObject* s) { Closed.push_back(static_cast<TcxCustomPopupWindow*>(s)); };
        Popups.push_back(p);
        return p;
    }
    TcxContainer* Owner = nullptr;
    TcxContainer* Other = nullptr;
    TcxCustomPopupWindow* P = nullptr;
    std::vector<TcxCustomPopupWindow*> Popups;
    std::vector<TcxCustomPopupWindow*> Closed;
};

TEST_F(PopupCloseTest, OpensBelowTheOwnerAndClosesOnAClickElsewhere)
{
    P->Popup(Owner);
    GuiTest::ProcessEvents();
    ASSERT_TRUE(P->IsPoppedUp());
    EXPECT_EQ(P->Left(), Owner->ClientToScreen(Point(0, 0)).X);
    EXPECT_EQ(P->Top(), Owner->ClientToScreen(Point(0, 24)).Y);
    EXPECT_EQ(cxContainer::OpenPopups().size(), 1u);

    GuiTest::Click(P, Point(20, 20));   // inside: stays
    EXPECT_TRUE(P->IsPoppedUp());
    GuiTest::Click(Other, Point(20, 10));   // another control of the owner's form
    EXPECT_FALSE(P->IsPoppedUp());
    EXPECT_FALSE(P->Visible());
    EXPECT_EQ(Closed, std::vector<TcxCustomPopupWindow*>{P});
}

TEST_F(PopupCloseTest, ClickOnTheOwnerClosesWithoutSwallowingTheClick)
{
    int ownerDowns = 0;
    Owner->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ownerDowns; };
    P->Popup(Owner);
    GuiTest::ProcessEvents();
    GuiTest::Click(Owner, Point(30, 10));
    EXPECT_FALSE(P->IsPoppedUp());
    EXPECT_EQ(ownerDowns, 1);
}

TEST_F(PopupCloseTest, NestedPopupClicksKeepTheOuterOneOpen)
{
    P->Popup(Owner);
    auto* inner = new TcxContainer(P);
    inner->SetParent(P);
    inner->SetScrollBars(ssNone);
    inner->SetBounds(5, 5, 100, 20);
    GuiTest::ProcessEvents();
    TcxCustomPopupWindow* nested = MakePopup(inner);
    nested->Popup(inner);
    GuiTest::ProcessEvents();
    ASSERT_EQ(cxContainer::OpenPopups().size(), 2u);
    EXPECT_TRUE(P->BelongsToPopup(nested->Handle()));
    GuiTest::Click(nested, Point(10, 10));
    EXPECT_TRUE(P->IsPoppedUp());
    EXPECT_TRUE(nested->IsPoppedUp());
    // Hiding the owner closes its popup and every newer one.
    Owner->SetVisible(false);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(P->IsPoppedUp());
    EXPECT_FALSE(nested->IsPoppedUp());
    ASSERT_EQ(Closed.size(), 2u);
    EXPECT_EQ(Closed[0], nested);   // the newest first
}

TEST_F(PopupCloseTest, SystemKeysAreDroppedWhileANonFocusPopupIsOpen)
{
    P->Popup(Owner);
    TMessage alt{WM_SYSKEYDOWN, 'X', 0, 0};
    EXPECT_TRUE(RunMessageFilters(TMessageFilterKind::GetMessage, nullptr, alt));
    EXPECT_EQ(alt.Msg, WM_NULL);
    TMessage f4{WM_SYSKEYDOWN, VK_F4, 0, 0};
    EXPECT_FALSE(RunMessageFilters(TMessageFilterKind::GetMessage, nullptr, f4));
    EXPECT_EQ(f4.Msg, WM_SYSKEYDOWN);
    P->ClosePopup();
    TMessage after{WM_SYSKEYDOWN, 'X', 0, 0};
    EXPECT_FALSE(RunMessageFilters(TMessageFilterKind::GetMessage, nullptr, after));
}

TEST_F(PopupCloseTest, ModalPopupRunsItsLoopUntilClosed)
{
    P->SetTakesFocus(true);
    bool ranInside = false;
    GuiTest::Later([&] {
        ranInside = P->IsPoppedUp() && P->Visible();
        P->SetModalResult(1);   // closes through the loop's check
    });
    P->Popup(nullptr);
    EXPECT_TRUE(ranInside);
    EXPECT_FALSE(P->IsPoppedUp());
}

TEST_F(PopupCloseTest, SwitchingApplicationsClosesPopups)
{
    P->Popup(Owner);
    TcxCustomPopupWindow* second = MakePopup(Other);
    second->Popup(Other);
    ASSERT_EQ(cxContainer::OpenPopups().size(), 2u);
    SendMessage(Form->Handle(), WM_ACTIVATEAPP, 0, 0);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(cxContainer::OpenPopups().empty());
}

TEST_F(PopupCloseTest, ClosingTheFocusPopupClosesItsOwnersFormToo)
{
    P->SetTakesFocus(true);
    P->Modal = false;
    P->Popup(nullptr);
    GuiTest::ProcessEvents();
    ASSERT_TRUE(P->IsPoppedUp());
    // What Alt+F4 in the popup amounts to.
    SendMessage(P->Handle(), WM_CLOSE, 0, 0);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(P->IsPoppedUp());
    EXPECT_FALSE(Form->Visible());
}

TEST_F(PopupCloseTest, CloseQueryCanKeepItOpen)
{
    P->Popup(Owner);
    P->OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
    P->ClosePopup(true);
    EXPECT_TRUE(P->IsPoppedUp());
    P->ClosePopup(false);
    EXPECT_FALSE(P->IsPoppedUp());
    // The close message closes it from outside.
    P->OnCloseQuery = nullptr;
    P->Popup(Owner);
    P->PostClosePopup();
    GuiTest::ProcessEvents();
    EXPECT_FALSE(P->IsPoppedUp());
}

}  // namespace
