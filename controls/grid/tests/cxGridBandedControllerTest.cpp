// The banded view's controller: the focus walking line by line across bands
// for Tab, Left and Right, Up and Down between band rows and records, the
// rules of sizing, band drops and column drops worked out on the band
// model, the hit tests' codes and cursors, and the customization form's
// page of bands.
#include "GridTestBase.h"

#include "Overlay.h"
#include "StringLists.h"
#include "Windows.h"
#include "cxControls.h"
#include "cxGridBandedController.h"
#include "cxGridBandedLayout.h"
#include "cxGridBandedTableView.h"
#include "cxGridLevel.h"
#include "cxGridStrs.h"
#include "cxGridTableController.h"
#include "cxGridTableCustomizationForm.h"
#include "cxGridTableMoving.h"
#include "cxGridTablePainters.h"

#include <functional>
#include <map>
#include <memory>
#include <sstream>

using namespace cxGridBandedController;

namespace {

class GridBandedControllerTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        Editors = std::make_unique<TDefaultEditorsScope>();
        cxGridTableView::Initialize();
        cxGridTableController::Initialize();
        cxGridTablePainters::Initialize();
        cxGridBandedTableView::Initialize();
        View = static_cast<TcxGridBandedTableView*>(Grid->CreateView(TcxGridBandedTableView::StaticClass()));
        View->SetName("Banded");
        Grid->RootLevel()->Add()->SetGridView(View);
        Grid->SetBounds(0, 0, 404, 300);
    }
    void TearDown() override
    {
        GridTestBase::TearDown();
        Editors.reset();
        cxGridTableView::SetControllerClass({});
        cxGridTableView::SetPainterClass({});
    }
    TcxGridBand* AddBand(const std::string& ACaption, TcxGridBandFixedKind AKind = fkNone)
    {
        TcxGridBand* band = View->Bands()->Add();
        band->SetCaption(ACaption);
        band->SetFixedKind(AKind);
        return band;
    }
    // A text column at the end of row ARow of band ABand.
    TcxGridBandedColumn* AddColumn(const std::string& ACaption, int ABand, int ARow = 0, int ALineCount = 1)
    {
        TcxGridBandedColumn* column = View->CreateColumn();
        column->SetCaption(ACaption);
        column->DataBinding()->SetValueTypeClass(TcxStringValueType::Class());
        column->Position()->SetBandIndex(ABand);
        column->Position()->SetRowIndex(ARow);
        column->Position()->SetLineCount(ALineCount);
        Columns[ACaption] = column;
        return column;
    }
    // Bands A (rows [c1 c2] and [c3]) and B (row [c4]).
    void MakeTwoBands()
    {
        AddBand("A");
        AddBand("B");
        AddColumn("c1", 0);
        AddColumn("c2", 0);
        AddColumn("c3", 0, 1);
        AddColumn("c4", 1);
    }
    void Fill(int ARecordCount)
    {
        TcxCustomDataController* dc = View->DataController();
        dc->SetRecordCount(ARecordCount);
        for (int r = 0; r < ARecordCount; ++r)
            for (int c = 0; c < View->ItemCount(); ++c) dc->SetValue(r, c, Variant("r" + std::to_string(r)));
    }
    void ShowWithRecords(int ARecordCount)
    {
        Fill(ARecordCount);
        View->OptionsSelection()->SetCellSelect(true);
        ShowForm();
    }
    TcxGridBandedTableController* Controller()
    {
        return static_cast<TcxGridBandedTableController*>(View->Controller());
    }
    static std::string Captions(const std::vector<TcxGridBandedColumn*>& AColumns)
    {
        std::string result;
        for (TcxGridBandedColumn* c : AColumns) result += (result.empty() ? "" : " ") + c->Caption();
        return result;
    }
    std::string Order(bool AGoForward, TcxGridBandedColumn* AFrom = nullptr)
    {
        std::vector<TcxGridBandedColumn*> list;
        Controller()->NavigationOrder(AFrom, AGoForward, list);
        return Captions(list);
    }
    // Where the focus is: "record:column".
    std::string Focus()
    {
        TcxGridColumn* column = Controller()->FocusedColumn();
        return std::to_string(Controller()->GetFocusedRowIndex()) + ":" + (column ? column->Caption() : "-");
    }
    void Focus(int ARecord, const std::string& AColumn)
    {
        Controller()->FocusRecord(ARecord, false);
        Controller()->SetFocusedItem(Columns[AColumn]);
    }
    // The focus after each press of a key.
    std::string Press(WORD AKey, int ATimes, TShiftState AShift = {})
    {
        std::string result;
        for (int i = 0; i < ATimes; ++i) {
            WORD key = AKey;
            Controller()->KeyDown(key, AShift);
            result += (result.empty() ? "" : " ") + Focus();
        }
        return result;
    }
    std::string VisibleBands()
    {
        std::string result;
        for (int i = 0; i < View->Bands()->VisibleCount(); ++i) result += View->Bands()->VisibleItems(i)->Caption();
        return result;
    }
    static std::string RowsOf(TcxGridBand* ABand)
    {
        std::string result;
        for (int r = 0; r < ABand->Rows()->Count(); ++r) {
            if (r) result += "|";
            TcxGridBandRow* row = ABand->Rows()->Items(r);
            for (int c = 0; c < row->Count(); ++c) result += (c ? " " : "") + row->Items(c)->Caption();
        }
        return result;
    }
    std::unique_ptr<TDefaultEditorsScope> Editors;
    TcxGridBandedTableView* View = nullptr;
    std::map<std::string, TcxGridBandedColumn*> Columns;
};

}  // namespace

// ---- the navigation order -------------------------------------------------------------------------------

TEST_F(GridBandedControllerTest, TheBandedViewMakesTheBandedController)
{
    ASSERT_NE(DynamicCast<TcxGridBandedTableController>(View->Controller()), nullptr);
}

TEST_F(GridBandedControllerTest, TheOrderWalksLineByLineAcrossTheBandsAndBackwardsInReverse)
{
    MakeTwoBands();
    EXPECT_EQ(Order(true), "c1 c2 c4 c3");
    EXPECT_EQ(Order(false), "c3 c4 c2 c1");
    EXPECT_EQ(Order(true, Columns["c2"]), "c4 c3");
    EXPECT_EQ(Order(false, Columns["c4"]), "c2 c1");
    EXPECT_EQ(Order(true, Columns["c3"]), "") << "the walk ends after the last line";
    EXPECT_EQ(Controller()->AdjacentColumn(nullptr, false), Columns["c3"]);
    // A column not shown has no place to walk from.
    Columns["c2"]->SetVisible(false);
    EXPECT_EQ(Order(true, Columns["c2"]), "");
    EXPECT_EQ(Order(true), "c1 c4 c3");
}

// Rows of several lines enter the order at the line they start on: every
// column is met exactly once, and the walk never goes round within a record.
TEST_F(GridBandedControllerTest, RowsOfSeveralLinesEnterAtTheirFirstLine)
{
    struct TCase {
        const char* Name;
        std::vector<std::vector<std::vector<std::pair<std::string, int>>>> Bands;   // band > row > (caption, lines)
        const char* Forward;
    };
    const TCase cases[] = {
        {"a two-line row beside three rows", {{{{"a1", 2}}, {{"a2", 1}}}, {{{"b1", 1}}, {{"b2", 1}}, {{"b3", 1}}}},
         "a1 b1 b2 a2 b3"},
        {"two rows beside one two-line row", {{{{"a1", 1}}, {{"a2", 1}}}, {{{"b1", 2}}}}, "a1 b1 a2"},
        {"three bands of one-line rows", {{{{"a1", 1}, {"a2", 1}}}, {{{"b1", 1}}, {{"b2", 1}}}, {{{"c1", 1}}, {{"c2", 1}}, {{"c3", 1}}}},
         "a1 a2 b1 c1 b2 c2 c3"},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Name);
        View->ClearItems();
        View->Bands()->Clear();
        for (size_t b = 0; b < test.Bands.size(); ++b) {
            AddBand(std::string(1, char('A' + b)));
            for (size_t r = 0; r < test.Bands[b].size(); ++r)
                for (const auto& [caption, lines] : test.Bands[b][r]) AddColumn(caption, int(b), int(r), lines);
        }
        EXPECT_EQ(Order(true), test.Forward);
        std::vector<std::string> words;
        std::istringstream in(test.Forward);
        for (std::string w; in >> w;) words.insert(words.begin(), w);
        std::string backward;
        for (const std::string& w : words) backward += (backward.empty() ? "" : " ") + w;
        EXPECT_EQ(Order(false), backward);
    }
}

TEST_F(GridBandedControllerTest, FixedBandsAndHiddenBandsTakeTheirShownPlaces)
{
    AddBand("N");
    AddBand("L", fkLeft);
    AddBand("H");
    AddColumn("n1", 0);
    AddColumn("n2", 0, 1);
    AddColumn("l1", 1);
    AddColumn("h1", 2);
    View->Bands()->Items(2)->SetVisible(false);
    EXPECT_EQ(Order(true), "l1 n1 n2");
}

TEST_F(GridBandedControllerTest, TabShiftTabLeftAndRightFollowTheOrder)
{
    MakeTwoBands();
    View->OptionsBehavior()->SetFocusCellOnTab(true);
    ShowWithRecords(3);
    Focus(1, "c1");
    EXPECT_EQ(Press(VK_TAB, 3), "1:c2 1:c4 1:c3");
    // Without going round, the last column keeps the focus.
    EXPECT_EQ(Press(VK_TAB, 1), "1:c3");
    View->OptionsBehavior()->FocusCellOnCycle = true;
    EXPECT_EQ(Press(VK_TAB, 1), "2:c1");
    EXPECT_EQ(Press(VK_TAB, 1, {ssShift}), "1:c3");
    EXPECT_EQ(Press(VK_TAB, 3, {ssShift}), "1:c4 1:c2 1:c1");
    View->OptionsBehavior()->FocusCellOnCycle = false;
    EXPECT_EQ(Press(VK_RIGHT, 3), "1:c2 1:c4 1:c3");
    EXPECT_EQ(Press(VK_LEFT, 2), "1:c4 1:c2");
    EXPECT_EQ(Press(VK_END, 1), "1:c3");
    EXPECT_EQ(Press(VK_HOME, 1), "1:c1");
}

TEST_F(GridBandedControllerTest, UpAndDownMoveBetweenBandRowsAndOnToTheNextRecord)
{
    AddBand("A");
    AddColumn("c1", 0);
    AddColumn("c2", 0);
    AddColumn("c3", 0, 1);
    ShowWithRecords(3);
    Focus(1, "c2");
    // The shorter row gives its last column; past the bottom row the next record's top row.
    EXPECT_EQ(Press(VK_DOWN, 2), "1:c3 2:c1");
    EXPECT_EQ(Press(VK_UP, 1), "1:c3");
    EXPECT_EQ(Press(VK_UP, 1), "1:c1");
    Focus(1, "c2");
    EXPECT_EQ(Press(VK_UP, 1), "0:c3");
    // At the first record there is nowhere to go.
    Focus(0, "c1");
    EXPECT_EQ(Press(VK_UP, 1), "0:c1");
    // Without cell selection (and so without a focused column) Down goes to the next record.
    View->OptionsSelection()->SetCellSelect(false);
    Focus(1, "c2");
    EXPECT_EQ(Press(VK_DOWN, 1), "2:-");
}

TEST_F(GridBandedControllerTest, ItemAboveOrBelowSkipsColumnsThatCannotTakeTheFocus)
{
    AddBand("A");
    AddColumn("c1", 0);
    AddColumn("c2", 0, 1);
    AddColumn("c3", 0, 2);
    Columns["c2"]->Options()->SetFocusing(false);
    ShowWithRecords(1);
    const int c1 = Columns["c1"]->VisibleIndex(), c3 = Columns["c3"]->VisibleIndex();
    EXPECT_EQ(Controller()->ItemAboveOrBelow(c1, true, false), c3);
    EXPECT_EQ(Controller()->ItemAboveOrBelow(c3, true, false), -1);
    EXPECT_EQ(Controller()->ItemAboveOrBelow(c3, true, true), c1);
    EXPECT_EQ(Controller()->ItemAboveOrBelow(-1, true, true), -1);
}

// ---- sizing rules -----------------------------------------------------------------------------------------

TEST_F(GridBandedControllerTest, WhileAColumnIsSizedTheColumnsLeftOfItInItsRowKeepTheirWidths)
{
    AddBand("A");
    AddColumn("a", 0);
    AddColumn("b", 0);
    AddColumn("c", 0);
    AddColumn("d", 0, 1);
    TcxGridBandedTableController* controller = Controller();
    struct TCase {
        const char* Sized;
        const char* Column;
        bool Fixed;
    } cases[] = {
        {"b", "b", true}, {"b", "a", true}, {"b", "c", false}, {"b", "d", false},
        {"c", "a", false},   // the last column of its row: the others give and take
        {"c", "c", true},
    };
    for (const TCase& test : cases) {
        controller->ItemBeingSized = Columns[test.Sized];
        EXPECT_EQ(controller->IsColumnFixedDuringHorzSizing(Columns[test.Column]), test.Fixed)
            << test.Sized << " sized, " << test.Column;
    }
    controller->ItemBeingSized = nullptr;
    EXPECT_FALSE(controller->IsColumnFixedDuringHorzSizing(Columns["a"]));
}

TEST_F(GridBandedControllerTest, WhileABandIsSizedTheBandsLeftOfItKeepTheirWidths)
{
    TcxGridBand* a = AddBand("A");
    TcxGridBand* b = AddBand("B");
    TcxGridBand* c = AddBand("C");
    TcxGridBandedTableController* controller = Controller();
    EXPECT_FALSE(controller->BandKeepsWidthWhileSizing(a)) << "no band is being sized";
    controller->SetSizingBand(b);
    EXPECT_TRUE(controller->BandBeingSized());
    EXPECT_TRUE(controller->BandKeepsWidthWhileSizing(a));
    EXPECT_TRUE(controller->BandKeepsWidthWhileSizing(b));
    EXPECT_FALSE(controller->BandKeepsWidthWhileSizing(c));
    controller->SetSizingBand(c);
    EXPECT_FALSE(controller->BandKeepsWidthWhileSizing(a)) << "the last band takes from all";
    EXPECT_TRUE(controller->BandKeepsWidthWhileSizing(c));
    // A band that goes is forgotten.
    delete c;
    EXPECT_FALSE(controller->BandBeingSized());
}

TEST_F(GridBandedControllerTest, VerticalSizesSnapToWholeLines)
{
    const struct {
        int Dragged, Line, Expected;
    } cases[] = {
        {48, 20, 40},   // 2.4 lines
        {50, 20, 60},   // 2.5 lines: halves away from zero
        {5, 20, 20},    // a quarter line: at least one
        {0, 20, 20},  {-30, 20, 20}, {69, 20, 60}, {70, 20, 80}, {17, 17, 17},
    };
    for (const auto& test : cases)
        EXPECT_EQ(SnapToLines(test.Dragged, test.Line), test.Expected) << test.Dragged << " / " << test.Line;
    EXPECT_EQ(SnapToLines(40, 0), 0) << "no line height, no size";
}

// ---- band drops -------------------------------------------------------------------------------------------

TEST_F(GridBandedControllerTest, ABandDropMapsTheShownPlaceToTheCollectionIndex)
{
    // Collection N1 L1 N2 R1 L2 N3 H; shown L1 L2 N1 N2 N3 R1 (H is off the header).
    for (auto [caption, kind] : std::vector<std::pair<const char*, TcxGridBandFixedKind>>{
             {"N1", fkNone}, {"L1", fkLeft}, {"N2", fkNone}, {"R1", fkRight}, {"L2", fkLeft}, {"N3", fkNone},
             {"H", fkNone}})
        AddBand(caption, kind);
    View->Bands()->Items(6)->SetVisible(false);
    const std::string start = "L1L2N1N2N3R1";
    ASSERT_EQ(VisibleBands(), start);
    const struct {
        int Band, Drop;
        bool Valid;
        int CollectionIndex;
        const char* Shown;
    } cases[] = {
        {0, 2, false, -1, ""},   // N1 at its own place
        {0, 3, false, -1, ""},   // and just after it
        {0, 5, true, 5, "L1L2N2N3N1R1"},
        {5, 2, true, 0, "L1L2N3N1N2R1"},
        {0, 1, false, -1, ""},   // between two left-fixed bands
        {0, 6, false, -1, ""},   // after the right-fixed band
        {4, 0, true, 0, "L2L1N1N2N3R1"},
        {3, 5, false, -1, ""},   // R1 at its own place
        {6, 3, true, 2, "L1L2N1HN2N3R1"},
        {6, 5, true, 6, "L1L2N1N2N3HR1"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::to_string(test.Band) + " at " + std::to_string(test.Drop));
        TcxGridBand* band = View->Bands()->Items(test.Band);
        EXPECT_EQ(IsBandDropIndexValid(band, test.Drop), test.Valid);
        if (test.Valid) EXPECT_EQ(BandDropCollectionIndex(band, test.Drop), test.CollectionIndex);
        TWeakRef<TcxGridBand> moved(band);
        EXPECT_EQ(DropBand(band, test.Drop), test.Valid);
        EXPECT_EQ(VisibleBands(), test.Valid ? std::string(test.Shown) : start);
        // Back where it was.
        if (test.Valid) {
            moved->SetIndex(test.Band);
            moved->SetVisible(test.Band != 6);
        }
        ASSERT_EQ(VisibleBands(), start);
    }
}

TEST_F(GridBandedControllerTest, OnlyABandDraggedOffTheHeaderWithAnotherShownMayBeHidden)
{
    TcxGridBand* a = AddBand("A");
    EXPECT_FALSE(CanHideBand(a, bpHeader, true)) << "the only shown band stays";
    View->OptionsCustomize()->BandHiding = true;
    EXPECT_FALSE(CanHideBand(a, bpHeader, false));
    TcxGridBand* b = AddBand("B");
    View->OptionsCustomize()->BandHiding = false;
    EXPECT_FALSE(CanHideBand(b, bpHeader, false));
    EXPECT_TRUE(CanHideBand(b, bpHeader, true));
    EXPECT_FALSE(CanHideBand(b, bpCustomizationForm, true)) << "a band from the form is hidden already";
    View->OptionsCustomize()->BandHiding = true;
    EXPECT_TRUE(CanHideBand(b, bpHeader, false));
    b->SetVisible(false);
    EXPECT_FALSE(CanHideBand(a, bpHeader, true));
}

// ---- column drops -----------------------------------------------------------------------------------------

TEST_F(GridBandedControllerTest, ABandHoldingItsOwnColumnsNeitherTakesNorGivesColumns)
{
    TcxGridBand* a = AddBand("A");
    TcxGridBand* b = AddBand("B");
    TcxGridBand* c = AddBand("C");
    AddColumn("a1", 0);
    AddColumn("a2", 0);
    AddColumn("b1", 1);
    a->Options()->HoldOwnColumnsOnly = true;
    const struct {
        const char* Column;
        TcxGridBand* Band;
        bool Allowed;
    } cases[] = {
        {"a1", a, true}, {"a1", b, false}, {"b1", a, false}, {"b1", c, true}, {"b1", b, true},
    };
    for (const auto& test : cases) {
        TcxGridBandedColumnDrop drop;
        drop.Band = test.Band;
        EXPECT_EQ(CanDropColumn(Columns[test.Column], drop), test.Allowed) << test.Column << " into "
                                                                          << test.Band->Caption();
    }
}

TEST_F(GridBandedControllerTest, AColumnDropChangesSomethingOnlyAwayFromItsOwnPlace)
{
    AddBand("A");
    TcxGridBand* b = AddBand("B");
    AddColumn("a1", 0);
    AddColumn("a2", 0);
    AddColumn("a3", 0, 1);
    TcxGridBand* a = View->Bands()->Items(0);
    const struct {
        const char* Column;
        bool NewRow;
        int RowPos, ColPos;
        bool Changes;
    } cases[] = {
        {"a1", false, 0, 0, false}, {"a1", false, 0, 1, false}, {"a1", false, 0, 2, true},
        {"a2", false, 0, 0, true},  {"a1", false, 1, 0, true},
        // A column sharing its row moves to a new row wherever it goes.
        {"a1", true, 0, 0, true},
        // A column alone in its row: a new row just above or below is where it stands.
        {"a3", true, 1, 0, false}, {"a3", true, 2, 0, false}, {"a3", true, 0, 0, true},
    };
    for (const auto& test : cases) {
        TcxGridBandedColumnDrop drop{a, test.NewRow, test.RowPos, test.ColPos};
        EXPECT_EQ(ColumnDropChangesPosition(Columns[test.Column], drop), test.Changes)
            << test.Column << (test.NewRow ? " new row " : " row ") << test.RowPos << " col " << test.ColPos;
    }
    TcxGridBandedColumnDrop other{b, false, 0, 0};
    EXPECT_TRUE(ColumnDropChangesPosition(Columns["a1"], other));
}

TEST_F(GridBandedControllerTest, ApplyingAColumnDropPlacesItInBandRowAndNewRow)
{
    AddBand("A");
    AddBand("B");
    AddBand("E");
    AddColumn("a1", 0);
    AddColumn("a2", 0);
    AddColumn("a3", 0, 1);
    AddColumn("b1", 1);
    AddColumn("b2", 1, 1);
    TcxGridBand* a = View->Bands()->Items(0);
    TcxGridBand* b = View->Bands()->Items(1);
    TcxGridBand* e = View->Bands()->Items(2);
    struct TStep {
        const char* Column;
        TcxGridBand* Band;
        bool NewRow;
        int RowPos, ColPos;
        const char* A;
        const char* B;
    };
    const TStep steps[] = {
        {"a1", a, false, 0, 2, "a2 a1|a3", "b1|b2"},          // after the last column of its row
        {"a1", a, false, 1, 0, "a2|a1 a3", "b1|b2"},          // to the front of the row below
        {"b1", a, false, 0, 1, "a2 b1|a1 a3", "b2"},          // into another band, its row goes
        {"a3", a, true, 0, 0, "a3|a2 b1|a1", "b2"},           // a new top row
        {"b2", a, true, 3, 0, "a3|a2 b1|a1|b2", ""},          // a new last row
        {"a2", b, true, 0, 0, "a3|b1|a1|b2", "a2"},           // a new row of a band without rows
    };
    for (const TStep& step : steps) {
        SCOPED_TRACE(std::string(step.Column) + " into " + step.Band->Caption());
        TcxGridBandedColumnDrop drop{step.Band, step.NewRow, step.RowPos, step.ColPos};
        ApplyColumnDrop(Columns[step.Column], drop);
        EXPECT_EQ(RowsOf(a), step.A);
        EXPECT_EQ(RowsOf(b), step.B);
    }
    EXPECT_EQ(RowsOf(e), "");
    EXPECT_EQ(Columns["a2"]->Position()->Band(), b);
}

// ---- hit tests ---------------------------------------------------------------------------------------------

TEST_F(GridBandedControllerTest, BandHitTestsAnswerTheirCodesAndCursors)
{
    TcxGridBand* band = AddBand("A");
    const struct {
        TClass Class;
        int Code;
        TCursor Cursor;
    } cases[] = {
        {TcxGridColumnHeaderVertSizingEdgeHitTest::StaticClass(), 251, crcxVertSize},
        {TcxGridBandHitTest::StaticClass(), 252, crDefault},
        {TcxGridBandHeaderHitTest::StaticClass(), 253, crDefault},
        {TcxGridBandHeaderSizingEdgeHitTest::StaticClass(), 254, crcxHorzSize},
    };
    for (const auto& test : cases) {
        TcxCustomGridHitTest* hit = TcxCustomGridHitTest::Instance(test.Class, TPoint{1, 2});
        EXPECT_EQ(hit->HitTestCode(), test.Code);
        EXPECT_EQ(hit->Cursor(), test.Cursor);
    }
    // A band hit test is filled anew: nothing of its last use is left.
    TcxGridBandHitTest* hit = TcxGridBandHitTest::Instance(TcxGridBandHeaderHitTest::StaticClass(), {3, 4}, band);
    hit->BandPlace = bpCustomizationForm;
    hit->VisibleRowIndex = 2;
    hit = TcxGridBandHitTest::Instance(TcxGridBandHeaderHitTest::StaticClass(), {5, 6}, band);
    EXPECT_EQ(hit->Band, band);
    EXPECT_EQ(hit->GridView, View);
    EXPECT_EQ(hit->BandPlace, bpHeader);
    EXPECT_EQ(hit->VisibleRowIndex, -1);
    EXPECT_EQ(hit->Pos.X, 5);
}

TEST_F(GridBandedControllerTest, ThePressedBandIsLetGoOnMouseUpCancelAndDragEnd)
{
    TcxGridBand* band = AddBand("A");
    ShowWithRecords(1);
    TcxGridBandedTableController* controller = Controller();
    controller->PressBand(band);
    EXPECT_EQ(controller->PressedBand(), band);
    controller->CancelMouseOperations();
    EXPECT_EQ(controller->PressedBand(), nullptr);
    controller->PressBand(band);
    controller->EndDragAndDrop(false);
    EXPECT_EQ(controller->PressedBand(), nullptr);
    controller->PressBand(band);
    controller->MouseUp(mbLeft, {}, 1000, 1000);
    EXPECT_EQ(controller->PressedBand(), nullptr);
}

// ---- the customization form ------------------------------------------------------------------------------

namespace {

class GridBandedCustomizationFormTest : public GridBandedControllerTest {
protected:
    void SetUp() override
    {
        GridBandedControllerTest::SetUp();
        cxGridTableCustomizationForm::Initialize();
        cxGridBandedController::Initialize();
        for (const char* caption : {"学员信息", "考试", "缴费", "备注"}) AddBand(caption);
        AddColumn("姓名", 0);
        AddColumn("科目一", 1);
        Grid->SetAlign(alClient);
        ShowForm();
    }
    void TearDown() override
    {
        Controller()->SetCustomization(false);
        cxGridBandedController::Finalize();
        cxGridTableCustomizationForm::Finalize();
        GridBandedControllerTest::TearDown();
    }
    TcxGridBandedTableCustomizationForm* OpenForm()
    {
        Controller()->SetCustomization(true);
        GuiTest::ProcessEvents();
        return DynamicCast<TcxGridBandedTableCustomizationForm>(Controller()->CustomizationForm());
    }
    std::vector<std::string> Listed(TcxGridBandedTableCustomizationForm* AForm)
    {
        std::vector<std::string> result;
        TStrings* items = AForm->BandsListBox()->Items();
        for (int i = 0; i < items->Count(); ++i) result.push_back(items->Strings(i));
        return result;
    }
    TcxGridBand* Band(int AIndex) { return View->Bands()->Items(AIndex); }
};

}  // namespace

TEST_F(GridBandedCustomizationFormTest, TheBandsPageListsTheBandsOffTheHeaderInCollectionOrder)
{
    Band(3)->SetVisible(false);
    Band(1)->SetVisible(false);
    TcxGridBandedTableCustomizationForm* form = OpenForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->BandsPage()->Caption(), cxClasses::GetResourceString(&cxSGridCustomizationFormBandsPageCaption));
    EXPECT_EQ(form->BandsPage()->PageIndex(), 0);
    EXPECT_EQ(form->PageControl()->ActivePage(), form->BandsPage());
    EXPECT_EQ(Listed(form), (std::vector<std::string>{"考试", "备注"}));
    // Hidden from the form, a band that stays off the header leaves the list.
    Band(3)->SetHidden(true);
    EXPECT_EQ(Listed(form), (std::vector<std::string>{"考试"}));
    EXPECT_FALSE(Band(3)->Visible());
    // Shown again, a band leaves it too.
    Band(1)->SetVisible(true);
    EXPECT_TRUE(Listed(form).empty());
    // The columns page stays the table's.
    Columns["科目一"]->SetVisible(false);
    EXPECT_EQ(form->ColumnsListBox()->Items()->Count(), 1);
}

TEST_F(GridBandedCustomizationFormTest, WithoutBandMovingTheBandsTabIsNotShownNorActive)
{
    View->OptionsCustomize()->BandMoving = false;
    TcxGridBandedTableCustomizationForm* form = OpenForm();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->BandsPage()->TabVisible());
    EXPECT_NE(form->PageControl()->ActivePage(), form->BandsPage());
}

TEST_F(GridBandedCustomizationFormTest, ABandDraggedOutOfTheListStartsMovingFromTheSite)
{
    Band(2)->SetVisible(false);
    Band(3)->SetVisible(false);
    TcxGridBandedTableCustomizationForm* form = OpenForm();
    ASSERT_NE(form, nullptr);
    std::vector<std::pair<TcxGridBand*, TPoint>> started;
    form->OnStartBandDrag = [&](TcxGridBandedTableCustomizationForm*, TcxGridBand* ABand, const TPoint& P) {
        started.emplace_back(ABand, P);
    };
    TcxGridBandedTableBandsListBox* list = form->BandsListBox();
    const TRect item = list->ItemRect(1);   // 备注
    const TPoint press{item.Left + 5, item.Top + 3};
    GuiTest::MouseDown(list, mbLeft, press);
    GuiTest::MouseMove(list, Point(press.X + 1, press.Y), {ssLeft});
    EXPECT_TRUE(started.empty()) << "inside the drag threshold nothing starts";
    GuiTest::MouseMove(list, Point(press.X + 30, press.Y), {ssLeft});
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].first, Band(3));
    const TPoint expected = View->Site()->ScreenToClient(list->ClientToScreen(press));
    EXPECT_EQ(started[0].second.X, expected.X);
    EXPECT_EQ(started[0].second.Y, expected.Y);
    GuiTest::MouseUp(list, mbLeft, Point(press.X + 30, press.Y));
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) {
        list->SetItemIndex(0);
        GuiTest::ProcessEvents();
        GuiTest::SavePng(form, std::string(dir) + "/grid-banded-customization-form.png");
    }
}

// ---- dragging with the mouse --------------------------------------------------------------------------------

namespace {

// Bands A (rows [c1 c2] and [c3]) and B (row [c4]) laid out on a shown grid
// with three records; what the view tells is logged.
class GridBandedDragTest : public GridBandedControllerTest {
protected:
    void SetUp() override
    {
        GridBandedControllerTest::SetUp();
        cxGridTableMoving::Initialize();
        View->OptionsView()->SetGroupByBox(false);
        MakeTwoBands();
        for (auto& [caption, column] : Columns) {
            column->SetName(caption);
            column->SetWidth(100);
        }
        View->OnColumnPosChanged = [this](TcxGridTableView*, TcxGridColumn* C) { Events.push_back("pos:" + C->Name()); };
        View->OnColumnSizeChanged = [this](TcxGridTableView*, TcxGridColumn* C) { Events.push_back("size:" + C->Name()); };
        View->OnBandPosChanged = [this](TcxGridBandedTableView*, TcxGridBand* B) { Events.push_back("band:" + B->Caption()); };
        View->OnBandSizeChanged = [this](TcxGridBandedTableView*, TcxGridBand* B) {
            Events.push_back("bandsize:" + B->Caption());
        };
        Form->SetBounds(100, 100, 640, 340);
        Grid->SetBounds(0, 0, 604, 300);
        ShowWithRecords(3);
        Layout();
    }
    void TearDown() override
    {
        if (View && Controller()->Customization()) Controller()->SetCustomization(false);
        cxGridBandedController::Finalize();
        cxGridTableCustomizationForm::Finalize();
        cxGridTableMoving::Finalize();
        ScreenOverlay()->Clear();
        GridBandedControllerTest::TearDown();
    }
    void Layout()
    {
        GuiTest::ProcessEvents();
        VI()->Recalculate();
    }
    TcxGridBandedTableViewInfo* VI() { return DynamicCast<TcxGridBandedTableViewInfo>(View->ViewInfo()); }
    TcxGridSite* Site() { return View->Site(); }
    TcxGridBandViewInfo* BandVI(int AVisibleIndex) { return VI()->BandsViewInfo()->Items(AVisibleIndex); }
    TRect BandHeader(int AVisibleIndex) { return BandVI(AVisibleIndex)->HeaderViewInfo()->Bounds; }
    TRect ColumnHeader(const std::string& ACaption)
    {
        return VI()->HeaderViewInfo()->Items(Columns[ACaption]->VisibleIndex())->Bounds;
    }
    static TPoint Center(const TRect& R) { return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
    // Presses at AFrom, goes past the drag threshold and on to ATo; ADuring
    // runs there with the drag still on, then the button is released.
    void Drag(TPoint AFrom, TPoint ATo, const std::function<void()>& ADuring = nullptr)
    {
        GuiTest::MouseDown(Site(), mbLeft, AFrom);
        GuiTest::MouseMove(Site(), TPoint{AFrom.X + 6, AFrom.Y + 6}, {ssLeft});
        GuiTest::MouseMove(Site(), ATo, {ssLeft});
        if (ADuring) ADuring();
        GuiTest::MouseUp(Site(), mbLeft, ATo);
        Layout();
    }
    TcxGridBandedTableCustomizationForm* OpenForm()
    {
        cxGridTableCustomizationForm::Initialize();
        cxGridBandedController::Initialize();
        Controller()->SetCustomization(true);
        GuiTest::ProcessEvents();
        return DynamicCast<TcxGridBandedTableCustomizationForm>(Controller()->CustomizationForm());
    }
    TPoint InForm() { return Site()->ScreenToClient(CenterPoint(Controller()->CustomizationForm()->BoundsRect())); }
    std::string TakeEvents()
    {
        std::string result;
        for (const std::string& e : Events) result += (result.empty() ? "" : " ") + e;
        Events.clear();
        return result;
    }
    std::vector<std::string> Events;
};

}  // namespace

TEST_F(GridBandedDragTest, ABandHeaderClickPressesTheBandAndTellsItOnce)
{
    int clicks = 0;
    View->Bands()->Items(0)->OnHeaderClick = [&](TObject*) { ++clicks; };
    GuiTest::MouseDown(Site(), mbLeft, Center(BandHeader(0)));
    EXPECT_EQ(Controller()->PressedBand(), View->Bands()->Items(0));
    EXPECT_EQ(clicks, 1);
    GuiTest::MouseUp(Site(), mbLeft, Center(BandHeader(0)));
    EXPECT_EQ(Controller()->PressedBand(), nullptr);
    EXPECT_EQ(clicks, 1);
}

TEST_F(GridBandedDragTest, ADoubleClickOnABandsSizingEdgeFitsTheBand)
{
    TcxGridBand* a = View->Bands()->Items(0);
    a->SetWidth(400);
    Columns["c1"]->SetWidth(300);
    Layout();
    const TRect header = BandHeader(0);
    GuiTest::DoubleClick(Site(), TPoint{header.Right - 1, Center(header).Y});
    EXPECT_EQ(a->Width(), 0);
    EXPECT_LT(Columns["c1"]->Width(), 300) << "the columns fit their contents";
}

TEST_F(GridBandedDragTest, ABandDraggedAlongTheHeaderMovesAndAtItsOwnPlaceDoesNot)
{
    const TRect b = BandHeader(1);
    Drag(Center(BandHeader(0)), TPoint{b.Right - 5, Center(b).Y});
    EXPECT_EQ(VisibleBands(), "BA");
    EXPECT_EQ(TakeEvents(), "band:A");
    EXPECT_EQ(Controller()->MovingBand(), nullptr);
    // Dropped just after itself: nothing changes, nothing is told.
    const TRect a = BandHeader(1);
    Drag(Center(a), TPoint{a.Right - 5, Center(a).Y});
    EXPECT_EQ(VisibleBands(), "BA");
    EXPECT_EQ(TakeEvents(), "");
}

TEST_F(GridBandedDragTest, ABandDraggedOffTheHeaderIsHiddenOnlyWhenHidingIsAllowed)
{
    const TPoint away{300, 250};
    Drag(Center(BandHeader(0)), away);
    EXPECT_EQ(VisibleBands(), "AB") << "band hiding is off";
    View->OptionsCustomize()->BandHiding = true;
    Drag(Center(BandHeader(0)), away);
    EXPECT_EQ(VisibleBands(), "B");
    EXPECT_EQ(TakeEvents(), "band:A");
    Drag(Center(BandHeader(0)), away);
    EXPECT_EQ(VisibleBands(), "B") << "the only shown band stays";
    EXPECT_EQ(TakeEvents(), "");
}

TEST_F(GridBandedDragTest, TheBandsPageTakesABandAndGivesItBack)
{
    ASSERT_NE(OpenForm(), nullptr);
    Drag(Center(BandHeader(1)), InForm());
    EXPECT_EQ(VisibleBands(), "A") << "the open form hides a band dropped on it";
    EXPECT_EQ(TakeEvents(), "band:B");
    auto* form = DynamicCast<TcxGridBandedTableCustomizationForm>(Controller()->CustomizationForm());
    TcxGridBandedTableBandsListBox* list = form->BandsListBox();
    ASSERT_EQ(list->Items()->Count(), 1);
    // Out of the list and onto the header before A.
    const TRect item = list->ItemRect(0);
    const TPoint press{item.Left + 5, item.Top + 3};
    GuiTest::MouseDown(list, mbLeft, press);
    GuiTest::MouseMove(list, TPoint{press.X + 30, press.Y}, {ssLeft});
    ASSERT_EQ(Site()->DragAndDropState(), ddsInProcess);
    const TPoint target{BandHeader(0).Left + 3, Center(BandHeader(0)).Y};
    GuiTest::MouseMove(Site(), target, {ssLeft});
    GuiTest::MouseUp(Site(), mbLeft, target);
    Layout();
    EXPECT_EQ(VisibleBands(), "BA");
    EXPECT_EQ(TakeEvents(), "band:B");
    EXPECT_EQ(list->Items()->Count(), 0);
}

TEST_F(GridBandedDragTest, AColumnMovesIntoAnotherBandUnlessABandHoldsItsOwnColumns)
{
    const TRect c1 = ColumnHeader("c1");
    // The left half of c1's header: before c1.
    Drag(Center(ColumnHeader("c4")), TPoint{c1.Left + 5, Center(c1).Y});
    EXPECT_EQ(RowsOf(View->Bands()->Items(0)), "c4 c1 c2|c3");
    EXPECT_EQ(TakeEvents(), "pos:c4");
    // Back into B, which now holds its own columns only: refused.
    View->Bands()->Items(1)->Options()->HoldOwnColumnsOnly = true;
    AddColumn("c5", 1)->SetName("c5");
    Layout();
    const TRect c5 = ColumnHeader("c5");
    Drag(Center(ColumnHeader("c4")), TPoint{c5.Left + 5, Center(c5).Y});
    EXPECT_EQ(RowsOf(View->Bands()->Items(1)), "c5");
    EXPECT_EQ(TakeEvents(), "");
    // Out of B: refused too.
    const TRect c3 = ColumnHeader("c3");
    Drag(Center(c5), TPoint{c3.Right - 5, Center(c3).Y});
    EXPECT_EQ(RowsOf(View->Bands()->Items(1)), "c5");
    EXPECT_EQ(TakeEvents(), "");
    // Within A, a move to after c3 works.
    Drag(Center(ColumnHeader("c4")), TPoint{c3.Right - 5, Center(c3).Y});
    EXPECT_EQ(RowsOf(View->Bands()->Items(0)), "c1 c2|c3 c4");
    EXPECT_EQ(TakeEvents(), "pos:c4");
}

TEST_F(GridBandedDragTest, AColumnDroppedUnderABandsLastRowGoesIntoANewRow)
{
    const TRect rows = BandVI(0)->RowsArea();
    Drag(Center(ColumnHeader("c1")), TPoint{rows.Left + 20, rows.Bottom + 10});
    EXPECT_EQ(RowsOf(View->Bands()->Items(0)), "c2|c3|c1");
    EXPECT_EQ(TakeEvents(), "pos:c1");
}

TEST_F(GridBandedDragTest, AColumnIsSizedVerticallyInWholeLines)
{
    const TRect header = ColumnHeader("c4");
    const int line = header.Height();
    ASSERT_GT(line, 4);
    const struct {
        int Tenths;   // the dragged height in tenths of a line, rounded up
        int Lines;
    } cases[] = {{24, 2}, {25, 3}, {3, 1}, {10, 1}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Tenths);
        Columns["c4"]->Position()->SetLineCount(1);
        Layout();
        const TRect cell = ColumnHeader("c4");
        const TPoint edge{Center(cell).X, cell.Bottom};
        bool lineShown = false;
        Drag(edge, TPoint{edge.X, cell.Top + (line * test.Tenths + 9) / 10}, [&] {
            auto* sizing = DynamicCast<TcxGridColumnVertSizingObject>(Site()->DragAndDropObject());
            lineShown = sizing && sizing->SizingLineVisible();
            if (sizing) {
                TPoint a, b;
                sizing->GetSizingLine(a, b);
                EXPECT_EQ(a.Y, b.Y) << "a horizontal line";
            }
            EXPECT_EQ(Controller()->VertSizingColumn(), Columns["c4"]);
        });
        EXPECT_TRUE(lineShown);
        EXPECT_EQ(Columns["c4"]->Position()->LineCount(), test.Lines);
        EXPECT_EQ(TakeEvents(), "size:c4") << "told also when the line count stays";
        EXPECT_EQ(Controller()->VertSizingColumn(), nullptr);
    }
}

TEST_F(GridBandedDragTest, ABandIsSizedOnItsHeadersEdgeAndMarkedByATwoPixelStrip)
{
    TcxGridBand* a = View->Bands()->Items(0);
    const TRect header = BandHeader(0);
    const int inner = BandVI(0)->InnerWidth();
    const TPoint edge{header.Right - 1, Center(header).Y};
    TRect strip;
    Drag(edge, TPoint{edge.X + 50, edge.Y}, [&] {
        auto* sizing = DynamicCast<TcxGridBandSizingObject>(Site()->DragAndDropObject());
        ASSERT_NE(sizing, nullptr);
        EXPECT_TRUE(sizing->SizingStripVisible());
        strip = sizing->SizingStrip();
        EXPECT_EQ(Controller()->SizingBand(), a);
    });
    EXPECT_EQ(strip.Width(), 2);
    EXPECT_EQ(strip.Left, header.Left + inner + 50);
    EXPECT_EQ(a->Width(), inner + 50);
    EXPECT_EQ(TakeEvents(), "bandsize:A");
    EXPECT_EQ(Controller()->SizingBand(), nullptr);
    EXPECT_EQ(ScreenOverlay()->ShapeCount(), 0) << "the strip is taken away";
    // A drag that ends where it started changes nothing.
    const TRect moved = BandHeader(0);
    const TPoint edge2{moved.Right - 1, Center(moved).Y};
    GuiTest::MouseDown(Site(), mbLeft, edge2);
    GuiTest::MouseMove(Site(), TPoint{edge2.X + 30, edge2.Y}, {ssLeft});
    GuiTest::MouseMove(Site(), edge2, {ssLeft});
    GuiTest::MouseUp(Site(), mbLeft, edge2);
    EXPECT_EQ(TakeEvents(), "");
}
