// External scroll bars: a scroll bar control standing in for the grid's own
// bar, fed by the grid and moving it; one grid at a time may hook a bar.
#include "DBGridEh.h"
#include "DBGridTesting.h"
#include "FakeMemTable.h"
#include "GuiTesting.h"
#include "StdCtrls.h"
#include "TypInfo.h"

#include <gtest/gtest.h>

namespace {

using namespace DBGridTest;

class ExtScrollBar : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ds = ManyStudents(60);
        Host = std::make_unique<TGridHost>(Ds.get(), 400, 300);
        G = Host->Grid;
        VBar = new TScrollBar(Host->Form.get());
        VBar->SetName("VBar");
        VBar->SetKind(sbVertical);
        VBar->SetParent(Host->Form.get());
        VBar->SetBounds(400, 0, 17, 300);
        HBar = new TScrollBar(Host->Form.get());
        HBar->SetName("HBar");
        HBar->SetParent(Host->Form.get());
        HBar->SetBounds(0, 300, 400, 17);
        GuiTest::ProcessEvents();
    }
    int Id() const { return Ds->FieldByName("Id")->AsInteger(); }
    bool OwnBarShown() const
    {
        TScrollBarInfo info;
        GetScrollBarInfo(G->Handle(), OBJID_VSCROLL, &info);
        return !(info.rgstate[0] & STATE_SYSTEM_INVISIBLE);
    }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* G = nullptr;
    TScrollBar* VBar = nullptr;
    TScrollBar* HBar = nullptr;
};

TEST_F(ExtScrollBar, TheVerticalBarShowsTheRecordAndMovesIt)
{
    ASSERT_TRUE(OwnBarShown());
    G->VertScrollBar()->SetExtScrollBar(VBar);
    EXPECT_FALSE(OwnBarShown()) << "the window's own bar gives way";
    EXPECT_TRUE(G->VertScrollBar()->ScrollBarShown());
    const int page = G->VisibleDataRowCount();
    EXPECT_EQ(VBar->Min(), 1);
    EXPECT_EQ(VBar->Max(), 60 + page - 1);
    EXPECT_EQ(VBar->PageSize(), page);
    EXPECT_EQ(VBar->Position(), 1);
    Ds->SetRecNo(20);
    EXPECT_EQ(VBar->Position(), 20);

    // The bar's arrow steps to the record after the rows shown; its thumb to the record of its place.
    Ds->First();
    GuiTest::Click(VBar, Point(8, VBar->Height() - 4));
    EXPECT_EQ(Id(), page + 1);
    VBar->SetPosition(40);
    VBar->Perform(CN_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 40), LPARAM(VBar->Handle()));
    EXPECT_EQ(Id(), 40);

    // Hidden settings hide the bar too; shown again, it comes back.
    G->VertScrollBar()->SetVisible(false);
    EXPECT_FALSE(VBar->Visible());
    EXPECT_FALSE(G->VertScrollBar()->ScrollBarShown());
    G->VertScrollBar()->SetVisible(true);
    EXPECT_TRUE(VBar->Visible());
    EXPECT_EQ(G->VertScrollBar()->VisibleMode(), sbAutoShowEh);

    // Detached, the bar is left alone and the window's own bar returns.
    G->VertScrollBar()->SetExtScrollBar(nullptr);
    EXPECT_TRUE(OwnBarShown());
    Ds->SetRecNo(5);
    EXPECT_EQ(VBar->Position(), 40);
}

TEST_F(ExtScrollBar, OneGridAtATimeMayHookABar)
{
    G->VertScrollBar()->SetExtScrollBar(VBar);
    auto other = std::make_unique<TDBGridEh>(Host->Form.get());
    other->SetParent(Host->Form.get());
    try {
        other->VertScrollBar()->SetExtScrollBar(VBar);
        FAIL() << "a hooked bar was taken";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Possible VBar already attached to the other control.");
    }
    EXPECT_EQ(other->VertScrollBar()->ExtScrollBar(), nullptr);
    EXPECT_EQ(G->VertScrollBar()->ExtScrollBar(), VBar);
    // Let go by the first grid, it may be taken; a freed grid lets go too.
    G->VertScrollBar()->SetExtScrollBar(nullptr);
    other->VertScrollBar()->SetExtScrollBar(VBar);
    EXPECT_EQ(other->VertScrollBar()->ExtScrollBar(), VBar);
    other.reset();
    G->VertScrollBar()->SetExtScrollBar(VBar);
    EXPECT_EQ(G->VertScrollBar()->ExtScrollBar(), VBar);
    // Assigning settings takes the bar along.
    TVertDBGridEhScrollBar copy;
    G->VertScrollBar()->SetExtScrollBar(nullptr);
    G->VertScrollBar()->SetTracking(true);
    copy.Assign(G->VertScrollBar());
    EXPECT_TRUE(copy.Tracking());
    // A freed bar is forgotten.
    G->VertScrollBar()->SetExtScrollBar(VBar);
    delete VBar;
    VBar = nullptr;
    EXPECT_EQ(G->VertScrollBar()->ExtScrollBar(), nullptr);
    Ds->SetRecNo(10);
    G->Repaint();
}

TEST_F(ExtScrollBar, DesignTimeStoresTheBarWithoutHookingIt)
{
    TDBGridEh designed(nullptr);
    designed.SetDesigning(true);
    designed.VertScrollBar()->SetExtScrollBar(VBar);
    EXPECT_EQ(designed.VertScrollBar()->ExtScrollBar(), VBar);
    EXPECT_FALSE(VBar->WindowProc) << "not hooked while designing";
    designed.VertScrollBar()->SetExtScrollBar(nullptr);
}

TEST_F(ExtScrollBar, TheHorizontalBarFollowsTheLeftColumn)
{
    for (int i = 0; i < G->Columns()->Count(); ++i) G->Columns()->Items(i)->SetWidth(40);
    G->HorzScrollBar()->SetExtScrollBar(HBar);
    GuiTest::ProcessEvents();
    EXPECT_EQ(HBar->Max(), 0) << "every column shows";
    for (int i = 0; i < G->Columns()->Count(); ++i) G->Columns()->Items(i)->SetWidth(150);
    GuiTest::ProcessEvents();
    EXPECT_EQ(HBar->Min(), 0);
    EXPECT_EQ(HBar->Max(), 127);
    EXPECT_EQ(HBar->Position(), 0);
    const int last = G->LastLeftCol(G->ColCount() - 1);
    ASSERT_GT(last, G->FixedCols());
    G->SetLeftCol(last);
    EXPECT_EQ(HBar->Position(), 127);
    // Its thumb moves the columns by its share of the way.
    HBar->Perform(CN_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), LPARAM(HBar->Handle()));
    EXPECT_EQ(G->LeftCol(), last) << "the thumb's place is read from the bar";
    TScrollInfo si;
    si.fMask = SIF_POS;
    si.nPos = 0;
    SetScrollInfo(HBar->Handle(), SB_CTL, &si, 1);
    HBar->Perform(CN_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), LPARAM(HBar->Handle()));
    EXPECT_EQ(G->LeftCol(), G->FixedCols());
    GuiTest::Click(HBar, Point(HBar->Width() - 4, 8));
    EXPECT_EQ(G->LeftCol(), G->FixedCols() + 1);
    EXPECT_EQ(HBar->Position(), MulDiv(1, 127, last - G->FixedCols()));
}

TEST_F(ExtScrollBar, AMemtableFeedsItsRows)
{
    std::vector<TFakeMemTable::TNode> nodes;
    for (int i = 1; i <= 80; ++i) nodes.push_back({i, 0, "学员" + std::to_string(i)});
    TFakeMemTable rows(nodes, false);
    Host->Source->SetDataSet(&rows);
    G->VertScrollBar()->SetExtScrollBar(VBar);
    ASSERT_TRUE(G->RowsFromMemTable());
    EXPECT_EQ(VBar->Min(), 1);
    EXPECT_EQ(VBar->Max(), 80);
    EXPECT_EQ(VBar->PageSize(), G->VisibleRowCount());
    GuiTest::Click(VBar, Point(8, VBar->Height() - 4));
    EXPECT_EQ(G->TopRow(), G->FixedRows() + 1);
    EXPECT_EQ(VBar->Position(), 2);
    EXPECT_EQ(rows.RecNo(), 1) << "the rows scroll, the record stays";
    Host->Source->SetDataSet(Ds.get());
}

TEST_F(ExtScrollBar, SettingsAreStoredAsPublished)
{
    TDBGridEhScrollBar* h = G->HorzScrollBar();
    TDBGridEhScrollBar* v = G->VertScrollBar();
    PPropInfo visible = GetPropInfo(h, "Visible");
    ASSERT_TRUE(visible);
    EXPECT_TRUE(IsStoredProp(h, visible));
    EXPECT_FALSE(IsStoredProp(v, GetPropInfo(v, "Visible"))) << "the vertical bar stores its mode";
    ASSERT_TRUE(GetPropInfo(v, "VisibleMode"));
    SetOrdProp(v, "VisibleMode", sbAlwaysShowEh);
    EXPECT_EQ(v->VisibleMode(), sbAlwaysShowEh);
    SetObjectProp(h, "ExtScrollBar", HBar);
    EXPECT_EQ(h->ExtScrollBar(), HBar);
}

} // namespace
