// The field data link of the data-aware controls: independent and bound
// modes, reloads, writing text and values, and rebinding.
#include "DBCtrlsEh.h"
#include "DBGridTesting.h"

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
