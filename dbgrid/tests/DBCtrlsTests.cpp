// The field data link of the data-aware controls: independent and bound
// modes, reloads, writing text and values, and rebinding.
#include "DBCtrlsEh.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"
#include "TextUtils.h"

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

namespace {

// People with a 20- and a 40-character text field and a sex code.
std::unique_ptr<TDataSet> People()
{
    auto ds = std::make_unique<TDataSet>();
    ds->FieldDefs()->Add("Id", ftInteger);
    ds->FieldDefs()->Add("Name", ftString, 20);
    ds->FieldDefs()->Add("Address", ftString, 40);
    ds->FieldDefs()->Add("Sex", ftString, 1);
    ds->CreateDataSet();
    ds->AppendRecord({1, "王小明", "北京", "F"});
    ds->AppendRecord({2, "李华", "上海", "X"});
    ds->AppendRecord({3, "张伟", "广州", Null()});
    ds->First();
    return ds;
}

struct TEditHost {
    std::unique_ptr<TDataSet> Ds = People();
    TDataSource Src;
    std::unique_ptr<TForm> Form;
    TEditHost()
    {
        GuiTest::Init();
        Src.SetDataSet(Ds.get());
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 300, 120);
    }
    template <class T> T* Add(const std::string& field)
    {
        T* e = new T(Form.get());
        e->SetParent(Form.get());
        e->SetBounds(10, 10, 200, 24);
        e->SetDataSource(&Src);
        e->SetDataField(field);
        return e;
    }
};

TEST(DBEditEh, TypingEditsTheFieldAndEscapeRestores)
{
    TEditHost h;
    auto* e = h.Add<TDBEditEh>("Name");
    h.Form->Show();
    EXPECT_EQ(e->Text(), "王小明");
    EXPECT_EQ(e->MaxLength(), 20) << "from the string field's size";
    e->SetFocus();
    GuiTest::ProcessEvents();
    e->SelectAll();
    GuiTest::TypeText("Li");
    GuiTest::ProcessEvents();
    EXPECT_EQ(e->Text(), "Li");
    EXPECT_EQ(h.Ds->State(), dsEdit) << "typing puts the data set into edit state";
    EXPECT_EQ(h.Ds->FieldByName("Name")->AsString(), "王小明") << "written only with the record";
    h.Ds->Post();
    EXPECT_EQ(h.Ds->FieldByName("Name")->AsString(), "Li");
    GuiTest::TypeText("x");
    GuiTest::ProcessEvents();
    char esc = 27;
    e->KeyPress(esc);
    EXPECT_EQ(e->Text(), "Li") << "Escape shows the field's value again";
    h.Ds->Cancel();
    // Another string field: a length taken from the first does not stay.
    e->SetDataField("Address");
    EXPECT_EQ(e->MaxLength(), 40);
}

TEST(DBEditEh, SettersWriteAtOnceAndRefusalsReload)
{
    TEditHost h;
    auto* id = h.Add<TDBEditEh>("Id");
    id->SetText("12");
    EXPECT_EQ(h.Ds->State(), dsEdit);
    EXPECT_EQ(h.Ds->FieldByName("Id")->AsInteger(), 12);
    EXPECT_THROW(id->SetText("abc"), Exception);
    EXPECT_EQ(id->Text(), "12") << "a refused text shows the field's value again";
    int beeps = 0;
    SetBeepSink([&](UINT) { ++beeps; });
    char c = 'q';
    id->KeyPress(c);
    EXPECT_EQ(c, 0) << "a letter into an integer field is refused";
    EXPECT_EQ(beeps, 1);
    SetBeepSink(nullptr);
    bool handled = false;
    id->OnUpdateData = [&](TObject*, bool& h) { handled = h = true; };
    id->SetValue(99);
    EXPECT_TRUE(handled);
    EXPECT_EQ(h.Ds->FieldByName("Id")->AsInteger(), 12) << "OnUpdateData took the writing over";
    h.Ds->Cancel();

    TDBEditEh own;
    EXPECT_TRUE(own.IsDataIndependent());
    own.SetText("自己的");
    EXPECT_EQ(VarToStr(own.DataLink()->IndependentValue()), "自己的");
    EXPECT_EQ(VarToStr(own.Value()), "自己的");
}

TEST(DBEditEh, FocusShowsTheEditTextAndLeavingWritesIt)
{
    auto ds = FiveStudents();
    TDataSource src;
    src.SetDataSet(ds.get());
    auto* fee = static_cast<TFloatField*>(ds->FieldByName("Fee"));
    fee->SetDisplayFormat("#,##0.00");
    fee->SetEditFormat("0.##");
    GuiTest::Init();
    TDBEditEh e;
    e.SetDataSource(&src);
    e.SetDataField("Fee");
    EXPECT_EQ(e.Text(), "1,200.00") << "unfocused: the display text";
    e.SetFocusedState(true);
    EXPECT_EQ(e.Text(), "1200") << "focused: the edit text";
    e.SetText("1300.5");
    e.SetFocusedState(false);
    EXPECT_EQ(e.Text(), "1,300.50");
    ds->Post();
    EXPECT_EQ(ds->FieldByName("Fee")->AsFloat(), 1300.5);
}

TEST(DBComboBoxEh, KeysMapToItems)
{
    TEditHost h;
    auto* box = h.Add<TDBComboBoxEh>("Sex");
    box->Items()->SetText("Male\nFemale");
    box->KeyItems()->SetText("M\nF\nX");
    EXPECT_TRUE(box->UseKeys());
    EXPECT_EQ(box->ItemCount(), 2) << "keys beyond the items are never used";
    EXPECT_EQ(box->Text(), "Female");
    EXPECT_EQ(VarToStr(box->KeyValue()), "F");
    h.Ds->Next();
    EXPECT_EQ(box->Text(), "") << "X is a key without an item";
    EXPECT_EQ(box->ItemIndex(), -1);
    h.Ds->First();
    char m = 'm';
    box->KeyPress(m);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(box->Text(), "Male");
    h.Ds->Post();
    EXPECT_EQ(h.Ds->FieldByName("Sex")->AsString(), "M") << "the key is written";
    box->SetItemIndex(1);
    EXPECT_EQ(h.Ds->FieldByName("Sex")->AsString(), "F");
    h.Ds->Post();
    // Delete clears a key box unless the field is required.
    h.Ds->FieldByName("Sex")->SetRequired(true);
    WORD del = VK_DELETE;
    box->KeyDown(del, {});
    EXPECT_EQ(box->Text(), "Female");
    h.Ds->FieldByName("Sex")->SetRequired(false);
    del = VK_DELETE;
    box->KeyDown(del, {});
    EXPECT_EQ(box->Text(), "");
    h.Ds->Post();
    EXPECT_TRUE(h.Ds->FieldByName("Sex")->IsNull());
}

TEST(DBComboBoxEh, TypingCompletesAndArrowsStep)
{
    GuiTest::Init();
    TDBComboBoxEh box;
    box.Items()->SetText("apple\napricot\nbanana");
    for (char c : std::string("ap")) box.KeyPress(c);
    EXPECT_EQ(box.Text(), "apple");
    EXPECT_EQ(box.SelStart(), 2);
    EXPECT_EQ(box.SelLength(), 3) << "the completed part is selected";
    char r = 'r';
    box.KeyPress(r);
    EXPECT_EQ(box.Text(), "apricot");
    EXPECT_EQ(box.ItemIndex(), 1);
    struct Step {
        int From;
        bool Up;
        int To;
    } steps[] = {{0, true, 0}, {-1, true, 2}, {2, false, 2}, {0, false, 1}, {2, true, 1}};
    for (const Step& s : steps) {
        box.SetItemIndex(s.From);
        box.StepItem(s.Up);
        EXPECT_EQ(box.ItemIndex(), s.To) << s.From << (s.Up ? " up" : " down");
    }
    EXPECT_EQ(box.Text(), "apricot");
    // A text outside the list is reported when the value is written.
    std::string reported;
    box.OnNotInList = [&](TObject*, const std::string& text, bool&) { reported = text; };
    box.SetText("cherry");
    EXPECT_EQ(reported, "cherry");
    EXPECT_EQ(VarToStr(box.DataLink()->IndependentValue()), "cherry");
}

// Chinese reaches the box as two GBK bytes per character: completion must see
// whole characters, or the text fills with broken bytes.
TEST(DBComboBoxEh, ChineseTypingCompletesWholeCharacters)
{
    TEditHost h;
    struct Case {
        const char* Typed;
        const char* Text;
        int SelStart, SelLength, ItemIndex;
    } cases[] = {
        {"张", "张三丰", 1, 2, 0},
        {"张三", "张三丰", 2, 1, 0},
        {"张无", "张无忌", 2, 1, 1},
        {"c1 李", "C1 李四", 4, 1, 2},       // an ASCII prefix, matched without case
        {"王", "王", 1, 0, -1},              // nothing to complete: the character stays
        {"张x", "张x", 2, 0, -1},
    };
    auto* box = new TDBComboBoxEh(h.Form.get());
    box->SetParent(h.Form.get());
    box->SetBounds(10, 10, 200, 24);
    box->Items()->SetText("张三丰\n张无忌\nC1 李四");
    h.Form->Show();
    box->SetFocus();
    GuiTest::ProcessEvents();
    std::string seen;
    box->OnKeyPress = [&](TObject*, char& key) { seen += key; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Typed);
        box->SetText("");
        seen.clear();
        GuiTest::TypeText(c.Typed);
        EXPECT_EQ(box->Text(), c.Text);
        EXPECT_EQ(box->SelStart(), c.SelStart);
        EXPECT_EQ(box->SelLength(), c.SelLength);
        EXPECT_EQ(box->ItemIndex(), c.ItemIndex);
        EXPECT_EQ(seen, Utf8ToGbk(c.Typed)) << "key handlers still see the GBK bytes";
    }
    // Typing inside the text inserts the whole character there.
    box->SetText("张丰");
    box->SetSelStart(1);
    box->SetSelLength(0);
    GuiTest::TypeText("三");
    EXPECT_EQ(box->Text(), "张三丰");
    // A handler that drops the lead byte drops the character.
    box->SetText("");
    box->OnKeyPress = [](TObject*, char& key) {
        if (static_cast<unsigned char>(key) >= 0x80) key = 0;
    };
    GuiTest::TypeText("张a");
    EXPECT_EQ(box->Text(), "a");
    box->OnKeyPress = nullptr;

    // A key box searches with the whole character too.
    auto* sex = h.Add<TDBComboBoxEh>("Sex");
    sex->Items()->SetText("男\n女");
    sex->KeyItems()->SetText("M\nF");
    sex->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::TypeText("男");
    EXPECT_EQ(sex->Text(), "男");
    EXPECT_EQ(VarToStr(sex->KeyValue()), "M");
    h.Ds->Post();
    EXPECT_EQ(h.Ds->FieldByName("Sex")->AsString(), "M");
    // A stray lead byte followed by a control character is forgotten.
    char lead = char(0xD5), bs = '\b', a = 'a';
    box->SetText("");
    box->KeyPress(lead);
    box->KeyPress(bs);
    box->KeyPress(a);
    EXPECT_EQ(box->Text(), "a") << "not paired with the forgotten lead";
}

TEST(DBComboBoxEh, TheListDropsDownAndChooses)
{
    TEditHost h;
    auto* box = h.Add<TDBComboBoxEh>("Sex");
    box->Items()->SetText("Male\nFemale\nUnknown");
    box->KeyItems()->SetText("M\nF\nU");
    h.Form->Show();
    GuiTest::ProcessEvents();
    WORD key = VK_DOWN;
    box->KeyDown(key, {ssAlt});
    ASSERT_TRUE(box->ListVisible());
    TCustomControl* list = box->ListControl();
    EXPECT_EQ(list->Width(), box->Width()) << "as wide as the box";
    EXPECT_EQ(box->ListItemIndex(), 1) << "the list shows the current item";
    EXPECT_GE(list->Top(), box->ClientToScreen(Point(0, box->Height())).Y);
    key = VK_DOWN;
    box->KeyDown(key, {});
    EXPECT_EQ(key, 0);
    EXPECT_EQ(box->ListItemIndex(), 2);
    EXPECT_EQ(box->Text(), "Female") << "moving in the list changes nothing yet";
    char esc = 27;
    box->KeyPress(esc);
    EXPECT_FALSE(box->ListVisible());
    EXPECT_EQ(box->Text(), "Female") << "Escape leaves the box as it was";
    box->OpenDropDown();
    key = VK_UP;
    box->KeyDown(key, {});
    char enter = '\r';
    box->KeyPress(enter);
    EXPECT_FALSE(box->ListVisible());
    EXPECT_EQ(box->Text(), "Male");
    h.Ds->Post();
    EXPECT_EQ(h.Ds->FieldByName("Sex")->AsString(), "M");
    // A click on a row chooses it.
    box->OpenDropDown();
    GuiTest::ProcessEvents();
    int rowHeight = (list->ClientHeight()) / 3;
    list->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, rowHeight * 2 + rowHeight / 2));
    list->Perform(WM_LBUTTONUP, 0, MAKELPARAM(10, rowHeight * 2 + rowHeight / 2));
    GuiTest::ProcessEvents();
    EXPECT_FALSE(box->ListVisible());
    EXPECT_EQ(box->Text(), "Unknown");
    // The widest item decides with width -1, never less than the box.
    box->Items()->SetText("M\nA much longer name than the box is wide, surely\nU");
    box->DropDownBox()->SetWidth(-1);
    box->OpenDropDown();
    EXPECT_GT(list->Width(), box->Width());
    box->CloseUp(false);
    box->Items()->SetText("M\nF\nU");
    box->OpenDropDown();
    EXPECT_EQ(list->Width(), box->Width());
    box->CloseUp(false);
    h.Ds->Cancel();
}

} // namespace
