// The lookup list grid: key and list fields, the key value, the special
// row, incremental search, keys and mouse; and its drop-down form.
#include "DBLookupGridsEh.h"
#include "DBGridTesting.h"
#include "Forms.h"
#include "GuiTesting.h"
#include "TextUtils.h"

#include <gtest/gtest.h>

namespace {

// A list that cannot number its records, as some servers' result sets.
class TUnnumberedSet : public TDataSet {
public:
    bool IsSequenced() const override { return false; }
};

// Coaches to choose from, with Chinese names.
std::unique_ptr<TDataSet> Coaches(bool numbered = true)
{
    std::unique_ptr<TDataSet> ds = numbered ? std::make_unique<TDataSet>() : std::make_unique<TUnnumberedSet>();
    ds->FieldDefs()->Add("CoachId", ftInteger);
    ds->FieldDefs()->Add("CoachName", ftString, 20);
    ds->FieldDefs()->Add("Car", ftString, 20);
    ds->CreateDataSet();
    const char* names[] = {"周建国", "吴敏", "郑强", "王芳", "冯涛", "陈静", "Smith", "Smythe", "Brown"};
    const char* cars[] = {"桑塔纳", "捷达", "桑塔纳", "宝来", "捷达", "桑塔纳", "Jetta", "Jetta", "Polo"};
    for (int i = 0; i < 9; ++i) ds->AppendRecord({i + 1, names[i], cars[i]});
    ds->First();
    return ds;
}

// The coaches' list bound to a lookup grid showing names and cars by key.
class CoachList : public ::testing::Test {
protected:
    void Bind(TDBLookupGridEh* g, bool numbered = true)
    {
        GuiTest::Init();
        Ds = Coaches(numbered);
        Source = std::make_unique<TDataSource>();
        Source->SetDataSet(Ds.get());
        g->SetListSource(Source.get());
        g->SetKeyField("CoachId");
        g->SetListField("CoachName;Car");
        g->SetShowTitleRow(true);
    }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TDataSource> Source;
};

class LookupGrid : public CoachList {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 400, 400);
        G = new TDBLookupGridEh(Form.get());
        G->SetParent(Form.get());
        G->SetBounds(10, 10, 300, 200);
        Bind(G);
        Form->Show();
        G->SetFocus();
        GuiTest::ProcessEvents();
    }
    int CurrentId() const { return Ds->FieldByName("CoachId")->AsInteger(); }
    std::unique_ptr<TForm> Form;
    TDBLookupGridEh* G = nullptr;
};

TEST_F(LookupGrid, ListAndKeyFieldsResolve)
{
    EXPECT_TRUE(G->ListActive());
    ASSERT_EQ(G->ListFields().size(), 2u);
    EXPECT_EQ(G->ShownField()->FieldName(), "CoachName");
    G->SetListFieldIndex(1);
    EXPECT_EQ(G->ShownField()->FieldName(), "Car");
    G->SetListFieldIndex(7);   // outside the list: the first
    EXPECT_EQ(G->ShownField()->FieldName(), "CoachName");
    G->SetListField("");
    EXPECT_EQ(G->ShownField()->FieldName(), "CoachId") << "no list field: the key shows";
    try {
        G->SetListField("CoachName;Nope");
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().find("Field 'CoachName;Nope' not found"), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(G->ListActive());
}

TEST_F(LookupGrid, KeyValueFitsItsFields)
{
    auto one = std::vector<TField*>{Ds->FieldByName("CoachId")};
    auto two = std::vector<TField*>{Ds->FieldByName("CoachId"), Ds->FieldByName("Car")};
    struct {
        const std::vector<TField*>* Fields;
        Variant Value;
        bool Fits;
    } cases[] = {
        {&one, Variant(3), true},
        {&one, VarArrayOf({Variant(3)}), false},
        {&two, VarArrayOf({Variant(3), Variant("桑塔纳")}), true},
        {&two, VarArrayOf({Variant(3)}), false},
        {&two, Variant(3), false},
    };
    int i = 0;
    for (const auto& c : cases) EXPECT_EQ(G->KeyValueFits(*c.Fields, c.Value), c.Fits) << i++;
    G->SetKeyField("CoachId;Car");
    G->SetKeyValue(Variant(3));   // one value for two fields is never located
    EXPECT_EQ(CurrentId(), 1);
    G->SetKeyValue(VarArrayOf({Variant(3), Variant("桑塔纳")}));
    EXPECT_EQ(CurrentId(), 3);
}

TEST_F(LookupGrid, TheKeyPositionsTheListAndNamesTheText)
{
    G->SetKeyValue(Variant(4));
    EXPECT_EQ(CurrentId(), 4);
    EXPECT_EQ(G->SelectedText(), "王芳");
    G->SetKeyValue(Variant(99));   // not in the list
    EXPECT_EQ(CurrentId(), 1) << "the list goes to its first record";
    // With a visible special row a missing key shows as the special row.
    G->SpecRow()->SetCellsText("(无教练);-");
    G->SpecRow()->SetVisible(true);
    G->SetKeyValue(Variant(98));
    EXPECT_TRUE(G->SpecRowSelected());
    EXPECT_EQ(G->SelectedText(), "(无教练)");
    G->SpecRow()->SetShowIfNotInKeyList(false);
    G->SetKeyValue(Variant(97));
    EXPECT_FALSE(G->SpecRowSelected());
    G->SpecRow()->SetValue(Variant(0));
    G->SetKeyValue(Variant(0));
    EXPECT_TRUE(G->SpecRowSelected()) << "the special row's own value";
    EXPECT_EQ(G->FirstDataRow(), 2) << "the special row stands under the titles";
}

TEST_F(LookupGrid, KeysMoveTheChoice)
{
    G->SpecRow()->SetCellsText("(无)");
    G->SpecRow()->SetVisible(true);
    G->SetKeyValue(Variant(2));
    int clicks = 0;
    G->OnClick = [&](TObject*) { ++clicks; };
    struct {
        WORD Key;
        int Id;   // 0: the special row
    } steps[] = {
        {VK_DOWN, 3}, {VK_RIGHT, 4},   // no horizontal bar: Right acts as Down
        {VK_UP, 3},   {VK_LEFT, 2},    {VK_HOME, 1},
        {VK_UP, 0},                    // up from the first record: the special row
        {VK_DOWN, 1}, {VK_UP, 0},      {VK_UP, 0},  {VK_END, 9}, {VK_HOME, 1}, {VK_HOME, 0}, {VK_NEXT, -1},
    };
    G->SetAutoFitList(true);   // no horizontal scroll bar
    for (const auto& s : steps) {
        SCOPED_TRACE(std::to_string(s.Key));
        GuiTest::KeyPress(s.Key);
        if (s.Id < 0) continue;
        if (s.Id == 0) {
            EXPECT_TRUE(G->SpecRowSelected());
            EXPECT_TRUE(VarIsNull(G->KeyValue()));
        } else {
            EXPECT_FALSE(G->SpecRowSelected());
            EXPECT_TRUE(VarSameValue(G->KeyValue(), Variant(s.Id)));
            EXPECT_EQ(CurrentId(), s.Id);
        }
    }
    EXPECT_GT(clicks, 5);
    // Page Down from the special row goes a page into the records.
    EXPECT_FALSE(G->SpecRowSelected());
    EXPECT_GT(CurrentId(), 1);
}

TEST_F(LookupGrid, TypingSearchesByTheGrowingPrefix)
{
    GuiTest::TManualTime time;
    struct {
        const char* Typed;
        UINT PauseBefore;
        int Id;
        const char* Search;
    } steps[] = {
        {"s", 0, 7, "s"},    {"m", 100, 7, "sm"}, {"y", 100, 8, "smy"},
        {"q", 100, 8, "smy"},                       // no match: ignored, the match stays
        {"b", 2100, 9, "b"},                        // a pause over 2 s starts again
        {"王", 2100, 4, "王"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.Typed);
        time.Advance(s.PauseBefore);
        GuiTest::TypeText(s.Typed);
        EXPECT_EQ(CurrentId(), s.Id);
        EXPECT_TRUE(VarSameValue(G->KeyValue(), Variant(s.Id)));
        EXPECT_EQ(G->IncSearchText(), s.Search);
    }
    GuiTest::KeyPress(VK_BACK);
    EXPECT_EQ(G->IncSearchText(), "");
    // A 33rd character is dropped.
    time.Advance(2100);
    GuiTest::TypeText("Smythe");
    for (int i = 0; i < 30; ++i) GuiTest::TypeText("x");
    EXPECT_EQ(Length(G->IncSearchText()), 6) << "no match beyond Smythe";
}

TEST_F(LookupGrid, ListRowCountSizesTheControl)
{
    struct {
        int Asked;
        int Rows;
    } cases[] = {{0, 1}, {5, 5}, {150, 100}};
    for (const auto& c : cases) {
        G->SetListRowCount(c.Asked);
        EXPECT_EQ(G->ListRowCount(), c.Rows);
        const int title = G->RowHeights(0);
        EXPECT_EQ(G->Height(), title + G->BorderHeight() + c.Rows * G->ListRowHeight()) << c.Asked;
    }
    // A height between two row heights snaps down to whole rows.
    G->SetListRowCount(4);
    const int h = G->Height();
    G->SetBounds(G->Left(), G->Top(), G->Width(), h + G->ListRowHeight() - 1);
    EXPECT_EQ(G->ListRowCount(), 4);
    EXPECT_EQ(G->Height(), h);
}

// ---- the vertical scroll bar ----------------------------------------------------------------

TScrollInfo VertBar(TDBLookupGridEh* g)
{
    TScrollInfo si;
    si.fMask = SIF_ALL;
    EXPECT_TRUE(GetScrollInfo(g->Handle(), SB_VERT, &si));
    return si;
}

// A scroll-bar message as the bar sends it; a thumb code finds the thumb there.
void Scroll(TDBLookupGridEh* g, int code, int thumb = 0)
{
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) SetScrollPos(g->Handle(), SB_VERT, thumb, 0);
    g->Perform(WM_VSCROLL, MAKEWPARAM(code, thumb), 0);
    GuiTest::ProcessEvents();
}

TEST_F(LookupGrid, TheScrollBarMovesTheWindowNotTheKey)
{
    G->SetListRowCount(4);
    G->SetKeyValue(Variant(2));
    GuiTest::ProcessEvents();
    // The window shows R records (a row may go to the horizontal bar).
    const int r = G->DataLink()->BufferCount();
    ASSERT_GE(r, 3);
    TScrollInfo si = VertBar(G);
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 8) << "one place per coach";
    EXPECT_EQ(si.nPage, UINT(r)) << "the rows shown";
    EXPECT_EQ(si.nPos, 0);
    auto firstShown = [&] { return Ds->RecNo() - G->DataLink()->ActiveRecord(); };
    // A page keeps one row of the window it leaves.
    struct {
        const char* Name;
        int Code, Thumb, First;
    } cases[] = {
        {"line down", SB_LINEDOWN, 0, 2},
        {"page down", SB_PAGEDOWN, 0, r + 1},
        {"line up", SB_LINEUP, 0, r},
        {"bottom", SB_BOTTOM, 0, 10 - r},
        {"page up", SB_PAGEUP, 0, 11 - 2 * r},
        {"top", SB_TOP, 0, 1},
        {"thumb dragged", SB_THUMBTRACK, 4, 5},
        {"thumb let go past the end", SB_THUMBPOSITION, 8, 10 - r},
        {"thumb let go at the top", SB_THUMBPOSITION, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Scroll(G, c.Code, c.Thumb);
        EXPECT_EQ(firstShown(), c.First);
        EXPECT_EQ(VertBar(G).nPos, c.First - 1);
        EXPECT_TRUE(VarSameValue(G->KeyValue(), Variant(2))) << "the key stays";
        EXPECT_EQ(G->SelectedText(), "吴敏");
    }
    // Scrolling ends a search being typed.
    GuiTest::TypeText("S");
    EXPECT_EQ(G->IncSearchText(), "S");
    Scroll(G, SB_LINEDOWN);
    EXPECT_EQ(G->IncSearchText(), "");
}

TEST_F(LookupGrid, TheScrollBarWithoutAListHasNoThumb)
{
    G->SetListSource(nullptr);
    GuiTest::ProcessEvents();
    TScrollInfo si = VertBar(G);
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 2);
    Scroll(G, SB_LINEDOWN);   // nothing to scroll, nothing fails
}

class UnnumberedList : public LookupGrid {
protected:
    void SetUp() override
    {
        LookupGrid::SetUp();
        Bind(G, false);
        G->SetListRowCount(4);
        G->SetKeyValue(Variant(1));
        Ds->First();
        GuiTest::ProcessEvents();
    }
};

TEST_F(UnnumberedList, TheThumbStandsAtTheTopTheMiddleOrTheEnd)
{
    TScrollInfo si = VertBar(G);
    EXPECT_EQ(si.nMax, 4);
    EXPECT_EQ(si.nPos, 0) << "at the first record";
    struct {
        const char* Name;
        int Code, Thumb, Pos;
        bool AtEnd;
    } cases[] = {
        {"line down", SB_LINEDOWN, 0, 2, false},
        {"thumb let go at the end", SB_THUMBPOSITION, 4, 4, true},
        {"thumb let go near the top", SB_THUMBPOSITION, 1, 2, false},
        {"thumb let go at the top", SB_THUMBPOSITION, 0, 0, false},
        {"thumb let go near the end", SB_THUMBPOSITION, 3, 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Scroll(G, c.Code, c.Thumb);
        EXPECT_EQ(VertBar(G).nPos, c.Pos);
        EXPECT_EQ(Ds->Eof(), c.AtEnd);
        EXPECT_TRUE(VarSameValue(G->KeyValue(), Variant(1)));
    }
    // Without record numbers a dragged thumb cannot name a record.
    const int at = Ds->FieldByName("CoachId")->AsInteger();
    Scroll(G, SB_THUMBTRACK, 3);
    EXPECT_EQ(Ds->FieldByName("CoachId")->AsInteger(), at);
}

TEST_F(LookupGrid, ClickingARowChoosesIt)
{
    G->SpecRow()->SetCellsText("(无)");
    G->SpecRow()->SetVisible(true);
    GuiTest::ProcessEvents();
    TRect r = G->CellRect(1, G->FirstDataRow() + 2);
    GuiTest::Click(G, Point(r.Left + 5, r.Top + 3));
    EXPECT_TRUE(VarSameValue(G->KeyValue(), Variant(3)));
    TRect specialRow = G->CellRect(1, G->FirstDataRow() - 1);
    GuiTest::Click(G, Point(specialRow.Left + 5, specialRow.Top + 3));
    EXPECT_TRUE(G->SpecRowSelected());
    // The key's record is drawn highlighted, the others not.
    G->SetKeyValue(Variant(2));
    GuiTest::ProcessEvents();
    TRect k = G->CellRect(1, G->FirstDataRow() + 1), other = G->CellRect(1, G->FirstDataRow() + 3);
    EXPECT_EQ(GuiTest::PixelAt(G, Point(k.Right - 2, k.Top + 2)), ColorToRGB(clHighlight));
    EXPECT_NE(GuiTest::PixelAt(G, Point(other.Right - 2, other.Top + 2)), ColorToRGB(clHighlight));
}

TEST_F(LookupGrid, DraggingAboveOrBelowTheRowsScrollsTheChoice)
{
    GuiTest::TManualTime time;
    G->SetKeyValue(Variant(5));
    const TRect r = G->CellRect(1, G->Row());
    GuiTest::MouseDown(G, mbLeft, Point(r.Left + 5, r.Top + 3));
    ASSERT_TRUE(VarSameValue(G->KeyValue(), Variant(5)));
    // 10 pixels above: a step at once, then every 200 - 150 ms.
    GuiTest::MouseMove(G, Point(r.Left + 5, -10), {ssLeft});
    EXPECT_TRUE(VarSameValue(G->KeyValue(), Variant(4)));
    time.Advance(49);
    EXPECT_TRUE(VarSameValue(G->KeyValue(), Variant(4)));
    time.Advance(1);
    EXPECT_TRUE(VarSameValue(G->KeyValue(), Variant(3)));
    time.Advance(100);
    EXPECT_TRUE(VarSameValue(G->KeyValue(), Variant(1)));
    // Back inside the scrolling stops; below it goes down.
    GuiTest::MouseMove(G, Point(r.Left + 5, G->CellRect(1, G->FirstDataRow()).Top + 3), {ssLeft});
    time.Advance(500);
    EXPECT_TRUE(VarSameValue(G->KeyValue(), Variant(1)));
    GuiTest::MouseMove(G, Point(r.Left + 5, G->ClientHeight() + 20), {ssLeft});
    EXPECT_TRUE(VarSameValue(G->KeyValue(), Variant(2)));
    GuiTest::MouseUp(G, mbLeft, Point(r.Left + 5, G->ClientHeight() + 20));
    time.Advance(500);
    EXPECT_TRUE(VarSameValue(G->KeyValue(), Variant(2))) << "the release ends the scrolling";
}

TEST_F(LookupGrid, TheValueSideTakesTheKey)
{
    auto students = DBGridTest::FiveStudents();
    TDataSource ss;
    ss.SetDataSet(students.get());
    G->SetValueSource(&ss);
    G->SetValueField("Id");
    EXPECT_EQ(G->ValueKeyFieldNames(), "Id");
    EXPECT_TRUE(VarSameValue(G->KeyValue(), Variant(1)));
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(students->State(), dsEdit);
    EXPECT_EQ(students->FieldByName("Id")->AsInteger(), 2);
    students->Cancel();
    EXPECT_TRUE(VarSameValue(G->KeyValue(), Variant(1))) << "the record's value comes back";
    // A list linked to the value side's source is circular.
    G->SetValueField("");
    G->SetValueSource(Source.get());
    EXPECT_THROW(G->SetValueField("CoachId"), EDatabaseError);
}

TEST_F(LookupGrid, MovingAColumnKeepsItsCellAndTheShownField)
{
    G->SetListField("CoachId;CoachName;Car");
    G->SetListFieldIndex(1);
    G->SpecRow()->SetCellsText("a;\"b;1\";c");
    ASSERT_EQ(G->Columns()->Count(), 3);
    G->ColumnMoved(G->DataToRawColumn(1), G->DataToRawColumn(0));
    EXPECT_EQ(G->SpecRow()->CellText(0), "b;1");
    EXPECT_EQ(G->SpecRow()->CellText(1), "a");
    EXPECT_EQ(G->SpecRow()->CellText(2), "c");
    EXPECT_EQ(G->ListFieldIndex(), 0);
    EXPECT_EQ(G->ShownField()->FieldName(), "CoachName");
    EXPECT_EQ(G->ListField(), "CoachName;CoachId;Car");
}

TEST_F(LookupGrid, ColumnsTakeTheirSpecialCellFromTheRowUntilSet)
{
    G->SpecRow()->SetCellsText("(无);-");
    G->SpecRow()->SetColor(clYellow);
    G->SpecRow()->Font()->SetSize(13);
    auto* name = DynamicCast<TDBLookupGridColumnEh>(G->Columns()->Items(0));
    auto* car = DynamicCast<TDBLookupGridColumnEh>(G->Columns()->Items(1));
    ASSERT_TRUE(name && car) << "the lookup grid's columns are its own kind";
    TGridColumnSpecCellEh* cell = car->SpecCell();
    EXPECT_EQ(cell->Text(), "-");
    EXPECT_EQ(cell->Color(), clYellow);
    EXPECT_EQ(cell->Font()->Size(), 13);
    EXPECT_FALSE(cell->TextAssigned() || cell->ColorAssigned() || cell->FontAssigned());
    G->SpecRow()->SetCellsText("(无);(空)");
    G->SpecRow()->Font()->SetSize(15);
    EXPECT_EQ(cell->Text(), "(空)");
    EXPECT_EQ(cell->Font()->Size(), 15);
    cell->SetText("无车");
    cell->SetColor(clAqua);
    cell->Font()->SetSize(9);
    G->SpecRow()->SetCellsText("a;b");
    G->SpecRow()->Font()->SetSize(20);
    EXPECT_EQ(cell->Text(), "无车");
    EXPECT_EQ(cell->Color(), clAqua);
    EXPECT_EQ(cell->Font()->Size(), 9);
    EXPECT_EQ(name->SpecCell()->Text(), "a");
    TDBLookupGridColumnEh copy(nullptr);
    copy.Assign(car);
    EXPECT_EQ(copy.SpecCell()->Text(), "无车");
    EXPECT_TRUE(copy.SpecCell()->FontAssigned());
}

// ---- the drop-down ------------------------------------------------------------------------------

class PopupGrid : public CoachList {
protected:
    void SetUp() override
    {
        P = std::make_unique<TPopupDataGridEh>(nullptr);
        Bind(P.get());
        P->SpecRow()->SetCellsText("(无教练)");
        P->SpecRow()->SetVisible(true);
        P->SetBounds(100, 100, 260, 200);
        P->SetListRowCount(6);
        P->SetVisible(true);
        ShowWindow(P->Handle(), SW_SHOWNOACTIVATE);   // a popup shows on its own
        GuiTest::ProcessEvents();
    }
    std::unique_ptr<TPopupDataGridEh> P;
};

TEST_F(PopupGrid, AReleaseAcceptsOnTheRowsAndCancelsOutside)
{
    const TRect title = P->CellRect(1, 0), specialRow = P->CellRect(1, P->FirstDataRow() - 1),
                data = P->CellRect(1, P->FirstDataRow() + 1);
    struct {
        const char* Where;
        TPoint At;
        int Outcome;   // 1 accept, 0 cancel, -1 nothing
    } cases[] = {
        {"title", {title.Left + 4, title.Top + 3}, -1},
        {"special row", {specialRow.Left + 4, specialRow.Top + 3}, 1},
        {"data", {data.Left + 4, data.Top + 3}, 1},
        {"outside", {P->Width() + 20, 5}, 0},
        {"above", {5, -10}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Where);
        EXPECT_EQ(P->ReleaseOutcome(c.At.X, c.At.Y), c.Outcome);
        std::vector<bool> closes;
        P->OnMouseCloseUp = [&](TObject*, bool accept) { closes.push_back(accept); };
        GuiTest::MouseDown(P.get(), mbLeft, Point(data.Left + 4, data.Top + 3));
        GuiTest::MouseUp(P.get(), mbLeft, c.At);
        if (c.Outcome < 0) EXPECT_TRUE(closes.empty());
        else EXPECT_EQ(closes, std::vector<bool>{c.Outcome == 1});
    }
}

TEST_F(PopupGrid, UserChangesAreReportedAndTheHighlightFollowsTheMouse)
{
    int byUser = 0;
    P->OnKeyValueChangedByUser = [&](TObject*) { ++byUser; };
    P->SetKeyValue(Variant(2));
    EXPECT_EQ(byUser, 0) << "set by the program";
    P->Perform(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_TRUE(VarSameValue(P->KeyValue(), Variant(3)));
    EXPECT_EQ(byUser, 1);
    const TRect row = P->CellRect(1, P->FirstDataRow());
    GuiTest::MouseMove(P.get(), Point(row.Left + 5, row.Top + 3));
    EXPECT_TRUE(VarSameValue(P->KeyValue(), Variant(1)));
    EXPECT_FALSE(P->CanFocus());
}

TEST_F(PopupGrid, TheGripSitsInItsCornerAndSizingIsNoted)
{
    TSizeGripEh* grip = P->SizeGrip();
    EXPECT_EQ(grip->Left() + grip->Width(), P->ClientWidth());
    EXPECT_EQ(grip->Top() + grip->Height(), P->ClientHeight());
    P->SetSizeChanged(false);
    P->SetBounds(P->Left(), P->Top(), 320, P->Height());
    GuiTest::ProcessEvents();
    EXPECT_TRUE(P->SizeChanged());
    EXPECT_EQ(grip->Left() + grip->Width(), P->ClientWidth());
    P->Perform(WM_GRIPFLIPEH, gfToTopEh, 0);
    EXPECT_EQ(grip->Corner(), gcTopRightEh);
    EXPECT_EQ(grip->Top(), 0);
}

TEST_F(PopupGrid, LooksRightWithChineseData)
{
    P->SetKeyValue(Variant(3));
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(P.get()));
    ASSERT_TRUE(shot);
    GuiTest::SavePng(shot.get(), "lookup_dropdown.png");
    const TRect specialRow = P->CellRect(1, P->FirstDataRow() - 1);
    EXPECT_NE(GuiTest::PixelAt(P.get(), Point(specialRow.Right - 3, specialRow.Top + 3)), ColorToRGB(clHighlight));
}

} // namespace
