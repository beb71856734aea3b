#include "GuiTesting.h"
#include "cxContainer.h"

#include <gtest/gtest.h>

namespace {

class ContainerStyleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        cxLookAndFeels::Initialize();
    }
};

TEST_F(ContainerStyleTest, DefaultBorderFollowsTheLook)
{
    TcxContainerStyle style;
    struct Case { TcxLookAndFeelKind kind; TcxContainerBorderStyle border; };
    for (Case c : {Case{lfUltraFlat, cbsUltraFlat}, Case{lfStandard, cbs3D}, Case{lfFlat, cbsFlat}}) {
        style.LookAndFeel()->SetKind(c.kind);
        EXPECT_EQ(style.BorderStyle(), c.border);
    }
    EXPECT_EQ(style.BorderColor(), clWindowFrame);
    EXPECT_EQ(style.Color(), clWindow);
    EXPECT_TRUE(style.Edges() == cxBordersAll);
    EXPECT_TRUE(style.HotTrack());
    EXPECT_FALSE(style.Shadow());
    EXPECT_TRUE(style.TransparentBorder());
    EXPECT_TRUE(style.AssignedValues().Empty());
}

TEST_F(ContainerStyleTest, SettersMarkOnceAndUpdatesBatch)
{
    TcxContainerStyle style;
    int changes = 0;
    style.OnChanged = [&](TObject*) { ++changes; };
    style.SetColor(clRed);
    style.SetColor(clRed);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(style.AssignedValues().Contains(csvColor));
    // Setting the default value still marks it the first time.
    style.SetShadow(false);
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(style.IsValueStored(csvShadow));

    changes = 0;
    style.BeginUpdate();
    style.SetBorderColor(clBlue);
    style.SetEdges(TcxBorders{bLeft});
    style.Font()->SetSize(14);
    EXPECT_EQ(changes, 0);
    style.EndUpdate();
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(style.AssignedValues().Contains(csvFont));
    style.EndUpdate();   // below zero does nothing
    EXPECT_EQ(changes, 1);
}

TEST_F(ContainerStyleTest, ControllerValuesReachListenersUnlessAssignedLocally)
{
    TComponent form(nullptr);
    auto* controller = new TcxStyleController(&form);
    TcxContainerStyle a, b;
    int aChanges = 0;
    a.OnChanged = [&](TObject*) { ++aChanges; };
    a.SetStyleController(controller);
    b.SetStyleController(controller);
    b.SetBorderStyle(cbsSingle);
    aChanges = 0;
    std::vector<TcxContainerStyle*> told;
    controller->OnStyleChanged = [&](TObject*, TcxContainerStyle* s) { told.push_back(s); };
    controller->Style()->SetBorderStyle(cbsThick);
    controller->Style()->Font()->SetName("黑体");
    EXPECT_EQ(a.BorderStyle(), cbsThick);
    EXPECT_EQ(b.BorderStyle(), cbsSingle);
    EXPECT_EQ(a.Font()->Name(), "黑体");   // the controller's font is copied in
    EXPECT_FALSE(a.AssignedValues().Contains(csvFont));
    EXPECT_TRUE(a.IsValueAssigned(csvBorderStyle));
    EXPECT_GE(aChanges, 2);
    ASSERT_GE(told.size(), 3u);
    EXPECT_EQ(told[0], controller->Style());
    EXPECT_EQ(told[1], &a);
    // The controller's look-and-feel is the master of the listeners'.
    controller->Style()->LookAndFeel()->SetKind(lfStandard);
    EXPECT_EQ(a.LookAndFeel()->Kind(), lfStandard);

    FreeObject(controller);
    EXPECT_EQ(a.StyleController(), nullptr);
    EXPECT_EQ(b.StyleController(), nullptr);
    EXPECT_EQ(a.BorderStyle(), cbsUltraFlat);
}

TEST_F(ContainerStyleTest, ControllerCyclesAreRefused)
{
    TComponent form(nullptr);
    auto* a = new TcxStyleController(&form);
    auto* b = new TcxStyleController(&form);
    a->Style()->SetStyleController(a);
    EXPECT_EQ(a->Style()->StyleController(), nullptr);
    b->Style()->SetStyleController(a);
    a->Style()->SetStyleController(b);   // two steps back to itself
    EXPECT_EQ(a->Style()->StyleController(), nullptr);
    EXPECT_EQ(b->Style()->StyleController(), a);
}

TEST_F(ContainerStyleTest, ParentColourAndEffectiveColour)
{
    TComponent owner(nullptr);
    auto* parent = new TCustomControl(&owner);
    auto* child = new TCustomControl(&owner);
    child->SetParent(parent);
    parent->SetColor(clYellow);
    child->SetParentColor(true);
    TcxContainerStyle style(child);
    style.SetColor(clRed);
    EXPECT_EQ(style.Color(), clYellow);            // the parent's while ParentColor is on
    EXPECT_EQ(style.GetEffectiveColor(), clRed);   // the assigned colour first
    style.RestoreDefaults();
    EXPECT_FALSE(child->ParentColor());
    EXPECT_EQ(style.Color(), clWindow);
    EXPECT_TRUE(style.AssignedValues().Empty());
}

TEST_F(ContainerStyleTest, OnlyAssignedValuesAreStored)
{
    TcxContainerStyle style;
    EXPECT_FALSE(IsStoredProp(&style, "Color"));
    SetOrdProp(&style, "BorderStyle", cbsThick);
    EXPECT_TRUE(IsStoredProp(&style, "BorderStyle"));
    EXPECT_EQ(style.BorderStyle(), cbsThick);
    EXPECT_FALSE(IsStoredProp(&style, "Edges"));
    style.SetEdges(TcxBorders{bLeft, bBottom});
    EXPECT_TRUE(IsStoredProp(&style, "Edges"));
    EXPECT_EQ(GetOrdProp(&style, "Edges"), 1 | 8);
}

TEST_F(ContainerStyleTest, PaintOnlyStyle)
{
    TFont font;
    TcxContainerStyle style(nullptr, true);
    style.SetFont(&font);
    EXPECT_EQ(style.Font(), &font);
    EXPECT_EQ(style.BorderColor(), clDefault);
    EXPECT_TRUE(style.Edges().Empty());
    EXPECT_EQ(style.AssignedValues().ToInt(), 0xFFu);
    int changes = 0;
    style.OnChanged = [&](TObject*) { ++changes; };
    style.SetColor(clAqua);
    EXPECT_EQ(changes, 0);   // a paint-only style tells nobody
    EXPECT_EQ(style.Color(), clAqua);

    TcxContainerStyle normal;
    font.SetColor(clRed);
    style.SetTextColor(clGreen);
    normal.Assign(&style);
    EXPECT_EQ(normal.Font()->Color(), clGreen);
    std::string name;
    EXPECT_TRUE(normal.GetStyleValueName(csvTransparentBorder, name));
    EXPECT_EQ(name, "TransparentBorder");
    EXPECT_FALSE(normal.GetStyleValueName(8, name));
    EXPECT_TRUE(name.empty());
}

}  // namespace
