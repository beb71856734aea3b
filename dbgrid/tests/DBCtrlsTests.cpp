// The field data link of the data-aware controls: independent and bound
// modes, reloads, writing text and values, and rebinding.
#include "DBCtrlsEh.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

namespace {

using namespace DBGridTest;

struct TLinkProbe {
    TFieldDataLinkEh Link;
    int Reloads = 0, EditingChanges = 0, Writes = 0;
    TLinkProbe()
    {
        Link.OnDataChange = [this](TFieldDataLinkEh*) { ++Reloads; };
        Link.OnEditingChange = [this](TFieldDataLinkEh*) { ++EditingChanges; };
        Link.OnUpdateData = [this](TFieldDataLinkEh*) { ++Writes; };
    }
};

TEST(FieldDataLinkEh, IndependentKeepsItsOwnValue)
{
    TLinkProbe p;
    TFieldDataLinkEh& l = p.Link;
    EXPECT_TRUE(l.Independent());
    EXPECT_TRUE(l.Active());
    EXPECT_TRUE(VarIsNull(l.IndependentValue()));
    EXPECT_TRUE(l.Edit());
    EXPECT_EQ(p.EditingChanges, 1);
    l.SetFieldValue(42);
    EXPECT_EQ(p.Reloads, 1);
    EXPECT_EQ(l.IndependentValue(), Variant(42));
    l.SetFieldText("abc");
    EXPECT_EQ(VarToStr(l.IndependentValue()), "abc");
    l.UpdateRecord();
    EXPECT_EQ(p.Writes, 0) << "nothing changed since the last load";
    l.MarkModified();
    l.UpdateRecord();
    EXPECT_EQ(p.Writes, 1);
    EXPECT_FALSE(l.Editing()) << "writing ends an independent edit";
    // A data source makes it bound; taking it away again starts from Null.
    auto ds = FiveStudents();
    TDataSource src;
    src.SetDataSet(ds.get());
    l.SetDataSource(&src);
    EXPECT_FALSE(l.Independent());
    EXPECT_FALSE(l.Active()) << "no field yet";
    l.SetDataSource(nullptr);
    EXPECT_TRUE(l.Independent());
    EXPECT_TRUE(VarIsNull(l.IndependentValue()));
    TLinkProbe ro;
    ro.Link.SetReadOnly(true);
    EXPECT_FALSE(ro.Link.Edit());
}

TEST(FieldDataLinkEh, BoundReloadsForItsOwnFieldsOnly)
{
    auto ds = FiveStudents();
    TDataSource src;
    src.SetDataSet(ds.get());
    TLinkProbe p;
    p.Link.SetDataSource(&src);
    p.Link.SetFieldName("Name");
    ASSERT_EQ(p.Link.Field(), ds->FieldByName("Name"));
    EXPECT_TRUE(p.Link.Active());
    int reloads = p.Reloads;
    ds->Next();
    EXPECT_GT(p.Reloads, reloads) << "a scroll reloads";
    ds->Edit();
    EXPECT_TRUE(p.Link.Editing());
    reloads = p.Reloads;
    ds->FieldByName("Fee")->SetAsFloat(1);
    EXPECT_EQ(p.Reloads, reloads) << "another field's change does not reload";
    ds->FieldByName("Name")->SetAsString("新");
    EXPECT_EQ(p.Reloads, reloads + 1);
    // Posting asks the control for its value only after it changed something.
    ds->Post();
    EXPECT_EQ(p.Writes, 0);
    EXPECT_TRUE(p.Link.Edit());
    p.Link.OnUpdateData = [&](TFieldDataLinkEh* l) {
        ++p.Writes;
        l->SetFieldText("王");
    };
    p.Link.MarkModified();   // as typing into the control does
    ds->Post();
    EXPECT_EQ(p.Writes, 1);
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "王");
    // Controls off: the fields are let go; on again: bound afresh.
    ds->DisableControls();
    EXPECT_EQ(p.Link.FieldCount(), 0);
    ds->EnableControls();
    EXPECT_EQ(p.Link.Field(), ds->FieldByName("Name"));
}

TEST(FieldDataLinkEh, TextByFieldTypeAndFieldLists)
{
    auto ds = FiveStudents();
    TDataSource src;
    src.SetDataSet(ds.get());
    TComponent control;
    control.SetName("StudentEdit");
    TLinkProbe p;
    p.Link.SetControl(&control);
    p.Link.SetDataSource(&src);
    p.Link.SetFieldName("Note");
    ds->Edit();
    p.Link.SetFieldText("2026-13-45 not a date");
    EXPECT_EQ(ds->FieldByName("Note")->AsString(), "2026-13-45 not a date") << "a memo takes the text as it is";
    p.Link.SetFieldName("Enrolled");
    p.Link.SetFieldText("2026-05-04");
    EXPECT_EQ(ds->FieldByName("Enrolled")->AsDateTime(), 46146.0);
    EXPECT_THROW(p.Link.SetFieldText("2026-13-45"), Exception) << "a date is parsed";
    try {
        p.Link.SetFieldName("Nothing");
        ADD_FAILURE() << "bound to a missing field";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "StudentEdit: Field 'Nothing' not found");
    }
    p.Link.SetAllowFieldList(true);
    p.Link.SetFieldName("Id; Name");
    ASSERT_EQ(p.Link.FieldCount(), 2);
    EXPECT_TRUE(p.Link.HasField(ds->FieldByName("Name")));
    p.Link.SetFieldValue(VarArrayOf({Variant(77), Variant("七")}));
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 77);
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "七");
    p.Link.SetFieldValue(Null());
    EXPECT_TRUE(ds->FieldByName("Id")->IsNull());
    EXPECT_TRUE(ds->FieldByName("Name")->IsNull());
    ds->Cancel();
}

} // namespace

namespace {

// A student set with a text field holding yes/no answers.
std::unique_ptr<TDataSet> Answers(const std::vector<Variant>& answers)
{
    auto ds = std::make_unique<TDataSet>();
    ds->FieldDefs()->Add("Id", ftInteger);
    ds->FieldDefs()->Add("Answer", ftString, 10);
    ds->FieldDefs()->Add("Passed", ftBoolean);
    ds->CreateDataSet();
    int id = 0;
    for (const Variant& a : answers) ds->AppendRecord({++id, a, Null()});
    ds->First();
    return ds;
}

TEST(DBCheckBoxEh, StateFromTextListsAndWritingTheFirstEntry)
{
    GuiTest::Init();
    auto ds = Answers({"yes", "0", "maybe", Null()});
    TDataSource src;
    src.SetDataSet(ds.get());
    TDBCheckBoxEh box;
    box.SetValueChecked("Yes;Y;1");
    box.SetValueUnchecked("No;N;0");
    box.SetDataSource(&src);
    box.SetDataField("Answer");
    std::vector<TCheckBoxState> shown;
    for (ds->First(); !ds->Eof(); ds->Next()) shown.push_back(box.State());
    EXPECT_EQ(shown, (std::vector<TCheckBoxState>{cbChecked, cbUnchecked, cbGrayed, cbGrayed}));
    ds->Locate("Id", 3, {});
    box.SetChecked(true);
    EXPECT_EQ(ds->State(), dsEdit);
    EXPECT_EQ(ds->FieldByName("Answer")->AsString(), "Yes") << "checking writes the first entry";
    box.SetChecked(false);
    EXPECT_EQ(ds->FieldByName("Answer")->AsString(), "No");
    ds->Post();
}

TEST(DBCheckBoxEh, ClicksCycleAndEscapeRestores)
{
    GuiTest::Init();
    struct Case {
        bool AllowGrayed;
        std::vector<TCheckBoxState> Cycle;
    } cases[] = {
        {true, {cbGrayed, cbChecked, cbUnchecked}},
        {false, {cbChecked, cbUnchecked, cbChecked}},
    };
    for (const Case& c : cases) {
        auto ds = Answers({"no"});
        TDataSource src;
        src.SetDataSet(ds.get());
        TDBCheckBoxEh box;
        box.SetAllowGrayed(c.AllowGrayed);
        box.SetValueUnchecked("no");
        box.SetDataSource(&src);
        box.SetDataField("Answer");
        ASSERT_EQ(box.State(), cbUnchecked);
        std::vector<TCheckBoxState> seen;
        for (int i = 0; i < 3; ++i) {
            box.ToggleState();
            seen.push_back(box.State());
        }
        EXPECT_EQ(seen, c.Cycle);
        EXPECT_EQ(ds->FieldByName("Answer")->AsString(), "no") << "a toggle is written only when the record is";
        char esc = 27;
        box.KeyPress(esc);
        EXPECT_EQ(box.State(), cbUnchecked) << "Escape shows the field's state again";
        box.ToggleState();
        ds->Post();
        EXPECT_EQ(ds->FieldByName("Answer")->AsString(), c.AllowGrayed ? "" : "True");
    }
}

TEST(DBCheckBoxEh, BooleanFieldsAndTheBoxsOwnValue)
{
    GuiTest::Init();
    auto ds = Answers({"x"});
    TDataSource src;
    src.SetDataSet(ds.get());
    TDBCheckBoxEh bound;
    bound.SetDataSource(&src);
    bound.SetDataField("Passed");
    EXPECT_EQ(bound.State(), cbGrayed) << "a null Boolean";
    bound.SetChecked(false);
    EXPECT_FALSE(ds->FieldByName("Passed")->IsNull());
    EXPECT_FALSE(ds->FieldByName("Passed")->AsBoolean());
    bound.ToggleState();
    EXPECT_EQ(bound.State(), cbChecked);
    ds->Post();
    EXPECT_TRUE(ds->FieldByName("Passed")->AsBoolean());
    // Read-only: a click changes nothing.
    bound.SetReadOnly(true);
    bound.ToggleState();
    EXPECT_EQ(bound.State(), cbChecked);

    TDBCheckBoxEh own;
    EXPECT_TRUE(own.IsDataIndependent());
    EXPECT_EQ(own.State(), cbUnchecked);
    own.SetState(cbGrayed);
    EXPECT_TRUE(VarIsNull(own.DataLink()->IndependentValue()));
    own.SetChecked(true);
    EXPECT_EQ(own.DataLink()->IndependentValue(), Variant(true));
    bool asked = false;
    own.OnUpdateData = [&](TObject*, bool& handled) {
        asked = true;
        handled = true;
    };
    own.SetChecked(false);
    EXPECT_TRUE(asked);
    EXPECT_EQ(own.DataLink()->IndependentValue(), Variant(true)) << "the handler took the writing over";
}

} // namespace
