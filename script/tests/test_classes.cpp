// Scripts and the basic classes: lists, string lists, streams, components,
// the XML document, published properties, events, and object handles that
// never let a script reach a nil, freed or foreign object.
#include "Exceptions.h"
#include "Lists.h"
#include "Streams.h"
#include "StringLists.h"
#include "TypInfo.h"
#include "fs_itools.h"
#include "script_test_util.h"

namespace {

// A component with published properties and an event, as forms have.
class TTestButton : public TComponent {
    QZ_CLASS(TTestButton, TComponent)
public:
    using TComponent::TComponent;
    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    void Click()
    {
        if (OnClick) OnClick(this);
    }
    TNotifyEvent OnClick;
private:
    std::string FCaption;
    bool FVisible = true;
    int FWidth = 75;
};

void DefineTestButton(std::vector<TPropInfo>& p)
{
    p.push_back(PublishString<TTestButton>("Caption", &TTestButton::Caption, &TTestButton::SetCaption));
    p.push_back(PublishBool<TTestButton>("Visible", &TTestButton::Visible, &TTestButton::SetVisible, true));
    p.push_back(PublishInt<TTestButton>("Width", &TTestButton::Width, &TTestButton::SetWidth, 75));
    p.push_back(PublishEvent<TTestButton>("OnClick", &TTestButton::OnClick));
}

// A descendant that scripts know only through its registered ancestor.
class TSpecialList : public TStringList {
    QZ_CLASS(TSpecialList, TStringList)
};

}  // namespace

QZ_CLASS_IMPL_PROPS(TTestButton, TComponent, DefineTestButton)
QZ_CLASS_IMPL(TSpecialList, TStringList)

namespace {

void RegisterTestButton()
{
    EnsureEngine();
    TfsScript* g = fs_iinterpreter::GetGlobalScript();
    if (g->FindClass("TTestButton")) return;
    TfsClassVariable* c = g->AddClass(TTestButton::StaticClass(), "TComponent");
    c->AddMethod("procedure Click", [](TObject* inst, TClass, const std::string&, TfsParams&) {
        static_cast<TTestButton*>(inst)->Click();
        return Variant(0);
    });
    c->AddEvent("OnClick", TfsNotifyEvent::Make);
}

ScriptRun Pascal(const std::string& text) { return RunScript("PascalScript", text); }

TEST(ClassesBinding, StringLists)
{
    auto r = Pascal(
        "var l: TStringList; i: Integer;\nbegin l := TStringList.Create;\n"
        " l.Add('b=2'); l.Add('a=1'); l.Add('c=3');\n"
        " ShowMessage(l.Values['a']); ShowMessage('[' + l.Values['zz'] + ']'); ShowMessage(l.Names[2]);\n"
        " l.Values['d'] := '4'; ShowMessage(l.Count);\n"
        " l.Sorted := True; ShowMessage(l[0]);\n"
        " if not l.Find('bb', i) then ShowMessage(i);\n"
        " if l.Find('b=2', i) then ShowMessage(i);\n"
        " l.CommaText := 'x,\"y z\"'; ShowMessage(l.Count); ShowMessage(l.Strings[1]);\n"
        " l.Sorted := False; l.Duplicates := dupIgnore; l.Clear; l.AddObject('o', l); ShowMessage(l.IndexOfObject(l));\n"
        " ShowMessage(TStringList(l.Objects[0]).Count);\n"
        " l.Free;\nend.");
    ASSERT_TRUE(r.Compiled) << r.Error << r.ErrorPos;
    ASSERT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "1\n[]\nc\n4\na=1\n2\n1\n2\ny z\n0\n1\n");
}

TEST(ClassesBinding, Lists)
{
    auto r = Pascal(
        "var l: TList; a, b: TObject;\nbegin l := TList.Create; a := TObject.Create; b := TObject.Create;\n"
        " ShowMessage(l.Add(a)); l.Add(b); l.Add(a); ShowMessage(l.Add(b));\n"
        " ShowMessage(l.Remove(b)); ShowMessage(l.Remove(l)); ShowMessage(l.Count);\n"
        " ShowMessage(l.IndexOf(a)); ShowMessage(l.Items[1] = a); ShowMessage(l[1].ClassName);\n"
        " a.Free; b.Free; l.Free;\nend.");
    ASSERT_TRUE(r.Compiled) << r.Error << r.ErrorPos;
    ASSERT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "0\n3\n1\n-1\n3\n0\nTrue\nTObject\n");
}

TEST(ClassesBinding, Streams)
{
    std::string file = ::testing::TempDir() + "fs_stream_test.txt";
    auto r = Pascal(
        "var m, c: TMemoryStream; f: TFileStream; s: String; n: Integer;\nbegin m := TMemoryStream.Create;\n"
        " ShowMessage(m.Write('hello world', 5)); ShowMessage(m.Write('abc', 99));\n"
        " ShowMessage(m.Size); ShowMessage(m.Seek(1, soFromBeginning));\n"
        " n := m.Read(s, 100); ShowMessage(n); ShowMessage(s);\n"
        " m.Position := 0; c := TMemoryStream.Create; ShowMessage(c.CopyFrom(m, 0)); ShowMessage(c.Size);\n"
        " c.SaveToFile('" + file + "'); c.Free; m.Free;\n"
        " f := TFileStream.Create('" + file + "', fmOpenRead); f.Read(s, 3); ShowMessage(s); f.Free;\n"
        " ShowMessage(fmCreate + fmShareDenyNone);\nend.");
    ASSERT_TRUE(r.Compiled) << r.Error << r.ErrorPos;
    ASSERT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "5\n3\n8\n1\n7\nelloabc\n8\n8\nhel\n65599\n");
    r = Pascal("var f: TFileStream; begin f := TFileStream.Create('/nonexistent/dir/x', fmOpenRead); end.");
    EXPECT_TRUE(r.RunError);
}

TEST(ClassesBinding, ComponentsAndOwners)
{
    auto r = Pascal(
        "var o, c: TComponent;\nbegin o := TComponent.Create(nil); c := TComponent.Create(o);\n"
        " ShowMessage(c.Owner = o); ShowMessage(o.Owner = nil); c.Name := 'Child'; ShowMessage(c.Name);\n"
        " o.Free; ShowMessage('freed with its owner');\nend.");
    ASSERT_TRUE(r.Compiled) << r.Error << r.ErrorPos;
    ASSERT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "True\nTrue\nChild\nfreed with its owner\n");
}

TEST(ClassesBinding, XmlDocumentThroughScript)
{
    auto r = Pascal(
        "var d: TfsXMLDocument; i: TfsXMLItem; m: TMemoryStream;\nbegin d := TfsXMLDocument.Create;\n"
        " d.Root.Name := 'root'; i := d.Root.Add; i.Name := 'item'; i.Text := 'a=\"1\"';\n"
        " ShowMessage(d.Root.Count); ShowMessage(d.Root[0].Prop('a')); ShowMessage(d.Root.FindItem('x').Parent.Name);\n"
        " ShowMessage(d.Root.Find('X')); i.Data := 7; ShowMessage(i.Data); ShowMessage(i.Root.Name);\n"
        " m := TMemoryStream.Create; d.SaveToStream(m); m.Position := 0; d.Root.Clear; d.LoadFromStream(m);\n"
        " ShowMessage(d.Root.Count); m.Free; d.Free;\nend.");
    ASSERT_TRUE(r.Compiled) << r.Error << r.ErrorPos;
    ASSERT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "1\n1\nroot\n1\n7\nroot\n2\n");
}

TEST(ObjectHandles, NilFreedAndForeignObjectsRaiseScriptErrors)
{
    struct Case {
        const char* Text;
        const char* Error;
    } cases[] = {
        {"var l: TStringList; begin l.Add('x'); end.", "Object reference is nil: Add"},
        {"var l: TStringList; begin l := TStringList.Create; l.Free; l.Add('x'); end.", "Invalid object reference: Add"},
        {"var l: TStringList; v: Variant; begin v := TList.Create; l := v; l.Add('x'); end.",
         "Object of class TList is not a TStrings: Add"},
        {"var l: TStringList; v: Variant; begin v := 12345; l := v; ShowMessage(l.Count); end.",
         "Invalid object reference: Count"},
        {"var v: Variant; begin v := 'text'; v.Free; end.", "Strings doesn't have properties or methods"},
        {"var l: TList; begin l := TList.Create; l.Add(l); l.Free; ShowMessage(l.Count); end.", "Invalid object reference: Count"},
    };
    for (const auto& c : cases) {
        auto r = Pascal(c.Text);
        ASSERT_TRUE(r.Compiled) << c.Text << ": " << r.Error;
        EXPECT_TRUE(r.RunError) << c.Text;
        EXPECT_EQ(r.Error, c.Error) << c.Text;
    }
}

TEST(ObjectHandles, FreeOfNilOrFreedIsHarmlessAndIsIsSafe)
{
    auto r = Pascal(
        "var l: TStringList; o: TObject;\nbegin l.Free; l := TStringList.Create; o := l;\n"
        " ShowMessage(o is TStrings); ShowMessage(o is TList); l.Free; l.Free; o := nil; ShowMessage(o is TObject);\nend.");
    ASSERT_TRUE(r.Compiled) << r.Error << r.ErrorPos;
    ASSERT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "True\nFalse\nFalse\n");
    r = Pascal("var o: TObject; begin o := TObject.Create; o.Free; ShowMessage(o is TObject); end.");
    EXPECT_TRUE(r.RunError) << "a freed object is no instance of anything";
    r = Pascal("var s: TStream; begin s := TStream.Create; end.");
    EXPECT_TRUE(r.RunError) << "an abstract class has no instances";
}

TEST(ClassesBinding, ObjectsOfUnboundDescendantsUseTheirAncestorsMembers)
{
    EnsureEngine();
    RegisterClass(TSpecialList::StaticClass());
    TSpecialList list;
    TfsScript s(nullptr);
    s.AddObject("L", &list);
    s.SetText("var sl: TStrings; begin L.Add('x'); sl := L; sl.Add('y'); end.");
    ASSERT_TRUE(s.Compile()) << s.ErrorMessage;
    s.Execute();
    EXPECT_EQ(list.CommaText(), "x,y");
    UnRegisterClass(TSpecialList::StaticClass());
}

TEST(PublishedProperties, ReadAndWriteThroughTypeInformation)
{
    RegisterTestButton();
    TTestButton button(nullptr);
    TfsScript s(nullptr);
    s.AddObject("Button1", &button);
    s.SetText("begin ShowMessage(Button1.Width); Button1.Width := Button1.Width + 25; Button1.Caption := 'OK';"
              " ShowMessage(Button1.Visible); Button1.Visible := False; end.");
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    ASSERT_TRUE(s.Compile()) << s.ErrorMessage;
    s.Execute();
    EXPECT_EQ(host->Messages(), (std::vector<std::string>{"75", "True"}));
    EXPECT_EQ(button.Width(), 100);
    EXPECT_EQ(button.Caption(), "OK");
    EXPECT_FALSE(button.Visible());
}

TEST(Events, ScriptRoutinesHandleEvents)
{
    RegisterTestButton();
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    auto* button = new TTestButton(nullptr);
    button->SetName("Button1");
    TfsScript s(nullptr);
    s.AddObject("Button1", button);
    s.SetText("procedure ButtonClick(Sender: TObject);\nbegin ShowMessage('clicked ' + TComponent(Sender).Name); end;\n"
              "function NotAProcedure: Integer; begin Result := 1; end;\n"
              "begin Button1.OnClick := 'ButtonClick'; end.");
    ASSERT_TRUE(s.Compile()) << s.ErrorMessage;
    s.Execute();
    button->Click();
    button->Click();
    EXPECT_EQ(host->Messages(), (std::vector<std::string>{"clicked Button1", "clicked Button1"}));

    for (const char* bad : {"NotAProcedure", "Button1", "Nothing"}) {
        TfsScript t(nullptr);
        t.AddObject("Button1", button);
        t.SetText(std::string("function NotAProcedure: Integer; begin Result := 1; end;\nbegin Button1.OnClick := '") +
                  bad + "'; end.");
        ASSERT_TRUE(t.Compile());
        try {
            t.Execute();
            ADD_FAILURE() << bad;
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Event handler must be a procedure");
        }
    }

    TfsScript clear(nullptr);
    clear.AddObject("Button1", button);
    clear.SetText("begin Button1.OnClick := nil; end.");
    ASSERT_TRUE(clear.Compile()) << clear.ErrorMessage;
    clear.Execute();
    EXPECT_FALSE(button->OnClick);

    // freeing the object from the script removes its adapters first
    s.Clear();
    int before = fs_iinterpreter::GlobalEventList().Count();
    s.AddObject("Button1", button);
    s.SetText("procedure H(Sender: TObject); begin end;\nbegin Button1.OnClick := 'H'; Button1.Free; end.");
    ASSERT_TRUE(s.Compile());
    s.Execute();
    EXPECT_EQ(fs_iinterpreter::GlobalEventList().Count(), before);
}

TEST(Events, ReassigningAnEventReplacesItsAdapter)
{
    RegisterTestButton();
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TTestButton button(nullptr);
    TfsScript s(nullptr);
    s.AddObject("B", &button);
    s.SetText("procedure H1(Sender: TObject); begin ShowMessage('one'); end;\n"
              "procedure H2(Sender: TObject); begin ShowMessage('two'); end;\n"
              "var i: Integer; begin for i := 1 to 50 do B.OnClick := 'H1'; B.OnClick := 'H2'; end.");
    ASSERT_TRUE(s.Compile()) << s.ErrorMessage;
    int before = fs_iinterpreter::GlobalEventList().Count();
    s.Execute();
    EXPECT_EQ(fs_iinterpreter::GlobalEventList().Count(), before + 1);
    button.Click();
    EXPECT_EQ(host->Messages(), (std::vector<std::string>{"two"}));
}

TEST(Events, AHandlerMayFreeItsSender)
{
    RegisterTestButton();
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    auto* button = new TTestButton(nullptr);
    TfsScript s(nullptr);
    s.AddObject("B", button);
    s.SetText("procedure H(Sender: TObject); begin Sender.Free; ShowMessage('freed'); end;\nbegin B.OnClick := 'H'; end.");
    ASSERT_TRUE(s.Compile()) << s.ErrorMessage;
    s.Execute();
    TWeakRef<TTestButton> ref(button);
    // The event's delegate is a copy held by the caller, as a control's own
    // click handling would hold it.
    TNotifyEvent click = button->OnClick;
    click(button);
    EXPECT_FALSE(ref) << "the handler freed the button";
    EXPECT_EQ(host->Messages(), (std::vector<std::string>{"freed"}));
}

TEST(Events, AdaptersOfAClearedScriptAreGone)
{
    RegisterTestButton();
    TTestButton button(nullptr);
    {
        TfsScript s(nullptr);
        s.AddObject("B", &button);
        s.SetText("procedure H(Sender: TObject); begin ShowMessage('x'); end;\nbegin B.OnClick := 'H'; end.");
        ASSERT_TRUE(s.Compile());
        s.Execute();
    }
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    button.Click();   // the script is gone: nothing runs, nothing crashes
    EXPECT_TRUE(host->Messages().empty());
}

}  // namespace
