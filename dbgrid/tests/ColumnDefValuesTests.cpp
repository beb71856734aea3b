// The grid's column defaults: which kind each grid makes, what they hold at
// first, which changes repaint, how columns, titles and footers follow them
// while unassigned, what Assign copies and what is stored.
#include "DBGridEh.h"
#include "DBGridTesting.h"
#include "DBLookupGridsEh.h"
#include "Exceptions.h"
#include "GuiTesting.h"
#include "TypInfo.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

using namespace DBGridTest;

// Defaults a descendant grid brings along.
class TSchoolColumnDefValues : public TDBGridEhColumnDefValuesEh {
    QZ_CLASS(TSchoolColumnDefValues, TDBGridEhColumnDefValuesEh)
public:
    explicit TSchoolColumnDefValues(TCustomDBGridEh* grid) : TDBGridEhColumnDefValuesEh(grid)
    {
        SetEndEllipsis(true);
    }
};
QZ_CLASS_IMPL(TSchoolColumnDefValues, TDBGridEhColumnDefValuesEh)

class TSchoolGrid : public TDBGridEh {
public:
    using TDBGridEh::TDBGridEh;
    int Paints = 0;
protected:
    TColumnDefValuesEh* MakeColumnDefValues() override { return new TSchoolColumnDefValues(this); }
    void Paint() override
    {
        ++Paints;
        TDBGridEh::Paint();
    }
};

std::vector<std::string> PropNames(TObject* o)
{
    std::vector<std::string> r;
    for (PPropInfo p : GetPropList(o)) r.push_back(p->Name);
    return r;
}

// Whether the property is written to the stored form.
bool Stored(TObject* o, const char* name)
{
    PPropInfo p = GetPropInfo(o, name);
    return p && IsStoredProp(o, p) && !IsDefaultPropValue(o, p);
}

TEST(ColumnDefValues, EachGridMakesItsOwnKind)
{
    GuiTest::Init();
    struct TCase {
        const char* Name;
        std::function<TCustomDBGridEh*()> Make;
        const char* Kind;
    } cases[] = {
        {"data-aware grid", [] { return new TDBGridEh(nullptr); }, "TDBGridEhColumnDefValuesEh"},
        {"lookup list grid", [] { return new TDBLookupGridEh(nullptr); }, "TDBLookupGridColumnDefValuesEh"},
        {"drop-down list", [] { return new TPopupDataGridEh(nullptr); }, "TDBLookupGridColumnDefValuesEh"},
        {"descendant", [] { return new TSchoolGrid(nullptr); }, "TSchoolColumnDefValues"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::unique_ptr<TCustomDBGridEh> g(c.Make());
        TColumnDefValuesEh* d = g->ColumnDefValues();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->ClassName(), c.Kind);
        EXPECT_EQ(d->Grid(), g.get());
        EXPECT_EQ(g->ColumnDefValues(), d) << "made once";
    }
    // A descendant's own defaults reach its columns.
    TSchoolGrid school(nullptr);
    EXPECT_TRUE(school.Columns()->Add()->EndEllipsis());
}

TEST(ColumnDefValues, StartValuesAndWhatEachKindStores)
{
    GuiTest::Init();
    TDBGridEh grid(nullptr);
    TColumnDefValuesEh* d = grid.ColumnDefValues();
    for (bool v : {d->AlwaysShowEditButton(), d->AutoDropDown(), d->DblClickNextVal(), d->DropDownShowTitles(),
                   d->DropDownSizing(), d->EndEllipsis(), d->HighlightRequired(), d->ToolTips()})
        EXPECT_FALSE(v);
    EXPECT_EQ(d->Layout(), tlTop);
    using V = std::vector<std::string>;
    EXPECT_EQ(PropNames(d), (V{"AlwaysShowEditButton", "AutoDropDown", "DblClickNextVal", "DropDownShowTitles",
                               "DropDownSizing", "EndEllipsis", "HighlightRequired", "Layout", "ToolTips", "Title",
                               "Footer"}));
    // Start values are not written; changed ones are.
    for (PPropInfo p : GetPropList(d))
        if (p->Kind != tkClass) EXPECT_FALSE(Stored(d, p->Name.c_str())) << p->Name;
    d->SetLayout(tlCenter);
    d->SetDblClickNextVal(true);
    EXPECT_TRUE(Stored(d, "Layout"));
    EXPECT_TRUE(Stored(d, "DblClickNextVal"));
    EXPECT_EQ(GetOrdProp(d, "Layout"), int(tlCenter));
    SetOrdProp(d, "Layout", int(tlBottom));
    EXPECT_EQ(d->Layout(), tlBottom);

    TDBLookupGridEh lookup(nullptr);
    EXPECT_EQ(PropNames(lookup.ColumnDefValues()), (V{"EndEllipsis", "Title", "ToolTips"}));

    // The title defaults store Alignment and Color only when set apart from the grid's.
    TColumnTitleDefValuesEh* t = d->Title();
    EXPECT_FALSE(Stored(t, "Alignment"));
    EXPECT_FALSE(Stored(t, "Color"));
    t->SetColor(grid.FixedColor());
    EXPECT_FALSE(Stored(t, "Color")) << "set, but equal to the grid's";
    t->SetColor(clYellow);
    t->SetAlignment(taRightJustify);
    EXPECT_TRUE(Stored(t, "Color"));
    EXPECT_TRUE(Stored(t, "Alignment"));
    EXPECT_FALSE(Stored(d->Footer(), "ToolTips"));
    d->Footer()->SetToolTips(true);
    EXPECT_TRUE(Stored(d->Footer(), "ToolTips"));
}

class ColumnDefaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ds = FiveStudents();
        Host = std::make_unique<TGridHost>(Ds.get(), 500, 200);
        G = new TSchoolGrid(Host->Form.get());
        G->SetParent(Host->Form.get());
        G->SetBounds(0, 0, 500, 200);
        G->SetDataSource(Host->Source.get());
        for (const char* f : {"Id", "Name", "Fee"}) G->Columns()->Add()->SetFieldName(f);
        GuiTest::ProcessEvents();
        D = G->ColumnDefValues();
        D->SetEndEllipsis(false);
    }
    // Whether the grid paints again after the change.
    bool Repaints(const std::function<void()>& change)
    {
        GuiTest::ProcessEvents();
        int before = G->Paints;
        change();
        GuiTest::ProcessEvents();
        return G->Paints > before;
    }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> Host;
    TSchoolGrid* G = nullptr;
    TColumnDefValuesEh* D = nullptr;
};

TEST_F(ColumnDefaults, TheFlagsThatChangeACellsLookRepaint)
{
    struct TCase {
        const char* Name;
        std::function<void(TColumnDefValuesEh*)> Set;
        bool Repaints;
    } cases[] = {
        {"AlwaysShowEditButton", [](TColumnDefValuesEh* d) { d->SetAlwaysShowEditButton(true); }, true},
        {"EndEllipsis", [](TColumnDefValuesEh* d) { d->SetEndEllipsis(true); }, true},
        {"Layout", [](TColumnDefValuesEh* d) { d->SetLayout(tlBottom); }, true},
        {"HighlightRequired", [](TColumnDefValuesEh* d) { d->SetHighlightRequired(true); }, true},
        {"AutoDropDown", [](TColumnDefValuesEh* d) { d->SetAutoDropDown(true); }, false},
        {"DblClickNextVal", [](TColumnDefValuesEh* d) { d->SetDblClickNextVal(true); }, false},
        {"DropDownShowTitles", [](TColumnDefValuesEh* d) { d->SetDropDownShowTitles(true); }, false},
        {"DropDownSizing", [](TColumnDefValuesEh* d) { d->SetDropDownSizing(true); }, false},
        {"ToolTips", [](TColumnDefValuesEh* d) { d->SetToolTips(true); }, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Repaints([&] { c.Set(D); }), c.Repaints);
        EXPECT_FALSE(Repaints([&] { c.Set(D); })) << "the same value again changes nothing";
    }
}

TEST_F(ColumnDefaults, UnassignedColumnValuesFollowThemAndAreNotStored)
{
    struct TCase {
        const char* Name;
        std::function<void(TColumnDefValuesEh*)> SetDefault;
        std::function<int(TColumnEh*)> Get;
        std::function<void(TColumnEh*)> SetOwn;   // the value the defaults had at first
        int Default, Own;
    } cases[] = {
#define QZ_FLAG_CASE(Name)                                                                              \
    {#Name, [](TColumnDefValuesEh* d) { d->Set##Name(true); }, [](TColumnEh* c) { return int(c->Name()); }, \
     [](TColumnEh* c) { c->Set##Name(false); }, 1, 0}
        QZ_FLAG_CASE(AlwaysShowEditButton),
        QZ_FLAG_CASE(AutoDropDown),
        QZ_FLAG_CASE(DblClickNextVal),
        QZ_FLAG_CASE(DropDownShowTitles),
        QZ_FLAG_CASE(DropDownSizing),
        QZ_FLAG_CASE(EndEllipsis),
        QZ_FLAG_CASE(HighlightRequired),
        QZ_FLAG_CASE(ToolTips),
#undef QZ_FLAG_CASE
        {"Layout", [](TColumnDefValuesEh* d) { d->SetLayout(tlBottom); }, [](TColumnEh* c) { return int(c->Layout()); },
         [](TColumnEh* c) { c->SetLayout(tlTop); }, int(tlBottom), int(tlTop)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        G->Columns()->Clear();
        TColumnEh* follows = G->Columns()->Add();
        TColumnEh* own = G->Columns()->Add();
        c.SetOwn(own);
        c.SetDefault(D);
        EXPECT_EQ(c.Get(follows), c.Default);
        EXPECT_EQ(c.Get(own), c.Own);
        EXPECT_FALSE(Stored(follows, c.Name));
        EXPECT_TRUE(Stored(own, c.Name));
        // Outside a grid nothing is there to follow.
        TColumnEh loose;
        EXPECT_EQ(c.Get(&loose), c.Own);
    }
}

TEST_F(ColumnDefaults, TitlesAndFootersFollowTheirPartOfTheDefaults)
{
    TColumnEh* col = G->Columns()->Items(1);
    TColumnTitleDefValuesEh* t = D->Title();
    t->SetTitleButton(true);
    t->SetToolTips(true);
    t->SetEndEllipsis(true);
    t->SetColor(clYellow);
    t->SetAlignment(taCenter);
    EXPECT_TRUE(col->Title()->TitleButton());
    EXPECT_TRUE(col->Title()->ToolTips());
    EXPECT_TRUE(col->Title()->EndEllipsis());
    EXPECT_EQ(col->Title()->Color(), clYellow);
    EXPECT_EQ(col->Title()->Alignment(), taCenter);

    TColumnFooterEh* f = col->Footer();
    EXPECT_FALSE(f->ToolTips());
    D->Footer()->SetToolTips(true);
    EXPECT_TRUE(f->ToolTips());
    EXPECT_FALSE(Stored(f, "ToolTips")) << "followed, not assigned";
    TColumnFooterEh* extra = col->Footers()->Add();
    EXPECT_TRUE(extra->ToolTips()) << "the items of Footers follow too";
    f->SetToolTips(false);
    D->Footer()->SetToolTips(false);
    EXPECT_FALSE(Stored(f, "ToolTips")) << "assigned False is not written";
    f->SetToolTips(true);
    EXPECT_TRUE(Stored(f, "ToolTips"));
    // A copy of the footer takes only what was assigned.
    TColumnFooterEh copy(col);
    copy.Assign(extra);
    EXPECT_FALSE(copy.AssignedValues().Contains(cfvToolTips));
    copy.Assign(f);
    EXPECT_TRUE(copy.AssignedValues().Contains(cfvToolTips));
}

TEST(ColumnDefValues, AssignCopiesTheTitleAndFlagsButNotLayoutHighlightOrFooter)
{
    GuiTest::Init();
    TDBGridEh from(nullptr), to(nullptr);
    TColumnDefValuesEh* s = from.ColumnDefValues();
    TColumnDefValuesEh* d = to.ColumnDefValues();
    s->SetAlwaysShowEditButton(true);
    s->SetAutoDropDown(true);
    s->SetDblClickNextVal(true);
    s->SetDropDownShowTitles(true);
    s->SetDropDownSizing(true);
    s->SetEndEllipsis(true);
    s->SetToolTips(true);
    s->SetHighlightRequired(true);
    s->SetLayout(tlCenter);
    s->Footer()->SetToolTips(true);
    s->Title()->SetTitleButton(true);
    s->Title()->SetColor(clAqua);
    to.SetColumnDefValues(s);
    EXPECT_TRUE(d->AlwaysShowEditButton());
    EXPECT_TRUE(d->AutoDropDown());
    EXPECT_TRUE(d->DblClickNextVal());
    EXPECT_TRUE(d->DropDownShowTitles());
    EXPECT_TRUE(d->DropDownSizing());
    EXPECT_TRUE(d->EndEllipsis());
    EXPECT_TRUE(d->ToolTips());
    EXPECT_TRUE(d->Title()->TitleButton());
    EXPECT_EQ(d->Title()->Color(), clAqua);
    EXPECT_FALSE(d->HighlightRequired());
    EXPECT_EQ(d->Layout(), tlTop);
    EXPECT_FALSE(d->Footer()->ToolTips());
    EXPECT_EQ(d->Grid(), &to) << "the copy stays the target grid's";
    // Anything else is refused as the platform refuses it.
    TFont font;
    EXPECT_THROW(d->Assign(&font), Exception);
}

TEST(ColumnDefValues, ADropDownBoxHandsOnItsLookupGridsDefaults)
{
    GuiTest::Init();
    TDBGridEh grid(nullptr);
    TColumnEh* col = grid.Columns()->Add();
    TColumnDefValuesEh* d = col->DropDownBox()->ColumnDefValues();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->ClassName(), "TDBLookupGridColumnDefValuesEh");
    EXPECT_EQ(d, col->LookupPopupGrid()->ColumnDefValues());
    d->SetEndEllipsis(true);
    EXPECT_TRUE(col->LookupPopupGrid()->Columns()->Add()->EndEllipsis());
}

TEST_F(ColumnDefaults, AColumnsLayoutIsStoredWhenSetApartFromTheDefault)
{
    struct TCase {
        const char* Name;
        TTextLayout Default;
        std::optional<TTextLayout> Own;
        TTextLayout Reads;
        bool Stored;
    } cases[] = {
        {"unassigned", tlCenter, std::nullopt, tlCenter, false},
        {"assigned as the default", tlCenter, tlCenter, tlCenter, false},
        {"assigned apart", tlCenter, tlBottom, tlBottom, true},
        {"top against a centred default", tlCenter, tlTop, tlTop, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        G->Columns()->Clear();
        TColumnEh* col = G->Columns()->Add();
        D->SetLayout(c.Default);
        if (c.Own) col->SetLayout(*c.Own);
        EXPECT_EQ(col->Layout(), c.Reads);
        EXPECT_EQ(Stored(col, "Layout"), c.Stored);
        EXPECT_EQ(col->AssignedValues().Contains(cvLayout), c.Own.has_value());
    }
    // A column's own layout repaints the grid.
    TColumnEh* col = G->Columns()->Items(0);
    EXPECT_TRUE(Repaints([&] { col->SetLayout(tlBottom); }));
    // It is not copied with the column's other settings.
    TColumnEh* other = G->Columns()->Add();
    other->Assign(col);
    EXPECT_FALSE(other->AssignedValues().Contains(cvLayout));
}

} // namespace
