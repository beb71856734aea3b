// Scripts that draw and build windows: the graphics, forms and dialogs
// bindings, their event adapters and the checks on freed objects, run
// without a screen.
#include "Dialogs.h"
#include "Forms.h"
#include "GuiTesting.h"
#include "Metafile.h"
#include "Printers.h"
#include "StdCtrls.h"
#include "fs_itools.h"
#include "script_test_util.h"

#include <fstream>
#include <functional>

namespace {

TCustomForm* FindForm(const std::string& caption)
{
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->Caption() == caption) return Screen->Forms(i);
    return nullptr;
}

template <class T> T* Part(TCustomForm* f, const char* name)
{
    return f ? DynamicCast<T>(f->FindComponent(name)) : nullptr;
}

// Runs the script while the modal loop it starts is driven by the stages,
// each run once the loop has handled what the one before did. Should they
// fail to end the loop, the form is cancelled, so a broken test fails rather
// than hangs.
using Stage = std::function<void(TCustomForm*)>;
void RunStages(std::string caption, std::vector<Stage> stages, size_t next, int tries)
{
    TCustomForm* f = FindForm(caption);
    if (next == 0 && (!f || !f->Visible() || !Application->ModalLevel())) {
        // The loop may run before the script reaches ShowModal.
        if (tries < 10000) GuiTest::Later([=] { RunStages(caption, stages, 0, tries + 1); });
        else ADD_FAILURE() << "no modal form " << caption;
        return;
    }
    if (!f || !f->Visible()) return;   // ended
    if (next == stages.size()) {
        ADD_FAILURE() << "the modal loop did not end";
        f->SetModalResult(mrAbort);
        return;
    }
    try {
        stages[next](f);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "driving the form raised " << e.what();
    }
    GuiTest::Later([=] { RunStages(caption, stages, next + 1, 0); });
}

ScriptRun RunModal(const std::string& language, const std::string& text, const std::string& caption,
                   std::vector<Stage> stages)
{
    GuiTest::Init();
    GuiTest::Later([=] { RunStages(caption, stages, 0, 0); });
    return RunScript(language, text);
}

const char* const PascalForm = R"(
var F: TForm; E: TEdit; C: TComboBox; B, BOk: TButton; L: TListBox; R: Integer;
procedure AddClick(Sender: TObject);
begin
  L.Items.Add(E.Text + '/' + C.Text);
end;
procedure EditKeyDown(Sender: TObject; var Key: Word; Shift: Integer);
begin
  if Key = VK_F2 then begin L.Items.Add('F2'); Key := 0; end;
end;
procedure EditKeyPress(Sender: TObject; var Key: Char);
begin
  if Key = 'a' then Key := 'b';
  if Key = 'q' then Key := '';
end;
procedure FormCloseQuery(Sender: TObject; var CanClose: Boolean);
begin
  CanClose := L.Items.Count >= 3;
  if not CanClose then L.Items.Add('vetoed');
end;
procedure FormClose(Sender: TObject; var Action: TCloseAction);
begin
  L.Items.Add('closing');
  Action := caHide;
end;
begin
  F := TForm.Create(nil);
  F.Caption := 'Pascal form';
  F.SetBounds(10, 10, 300, 240);
  E := TEdit.Create(F); E.Name := 'Ed'; E.Parent := F; E.SetBounds(8, 8, 120, 24);
  C := TComboBox.Create(F); C.Name := 'Combo'; C.Parent := F; C.SetBounds(8, 40, 120, 24);
  C.Style := csDropDownList;
  C.Items.Add('一'); C.Items.Add('二');
  C.ItemIndex := 1;
  B := TButton.Create(F); B.Name := 'Add'; B.Parent := F; B.Caption := 'Add'; B.SetBounds(140, 8, 75, 25);
  BOk := TButton.Create(F); BOk.Name := 'Ok'; BOk.Parent := F; BOk.Caption := 'OK';
  BOk.ModalResult := mrOk; BOk.SetBounds(140, 40, 75, 25);
  L := TListBox.Create(F); L.Name := 'List'; L.Parent := F; L.SetBounds(8, 72, 200, 100);
  B.OnClick := 'AddClick';
  E.OnKeyDown := 'EditKeyDown';
  E.OnKeyPress := 'EditKeyPress';
  F.OnCloseQuery := 'FormCloseQuery';
  F.OnClose := 'FormClose';
  R := F.ShowModal;
  ShowMessage(IntToStr(R));
  ShowMessage(L.Items.CommaText);
  F.Free;
end.
)";

const char* const JSForm = R"(
var f = new TForm(nil);
f.Caption = "JS form";
f.SetBounds(10, 10, 300, 240);
var e = new TEdit(f); e.Name = "Ed"; e.Parent = f; e.SetBounds(8, 8, 120, 24);
var c = new TComboBox(f); c.Name = "Combo"; c.Parent = f; c.SetBounds(8, 40, 120, 24);
c.Items.Add("x"); c.Items.Add("y"); c.ItemIndex = 0;
var b = new TButton(f); b.Name = "Add"; b.Parent = f; b.SetBounds(140, 8, 75, 25);
var ok = new TButton(f); ok.Name = "Ok"; ok.Parent = f; ok.SetBounds(140, 40, 75, 25);
var l = new TListBox(f); l.Name = "List"; l.Parent = f; l.SetBounds(8, 72, 200, 100);
function AddClick(Sender) { l.Items.Add(e.Text + "/" + c.Text); }
function OkClick(Sender) { f.ModalResult = mrYes; }
function EditKeyPress(Sender, Key) { if (Key == "a") Key = "z"; }
function EditKeyDown(Sender, Key, Shift) { if (Key == VK_F3) { l.Items.Add("F3"); Key = 0; } }
function FormCloseQuery(Sender, CanClose) { CanClose = l.Items.Count > 0; }
function FormDown(Sender, Button, Shift, X, Y) { l.Items.Add("m" + IntToStr(Button) + ":" + IntToStr(X)); }
f.OnMouseDown = "FormDown";
b.OnClick = "AddClick";
ok.OnClick = "OkClick";
e.OnKeyPress = "EditKeyPress";
e.OnKeyDown = "EditKeyDown";
f.OnCloseQuery = "FormCloseQuery";
ShowMessage(f.ShowModal);
ShowMessage(l.Items.CommaText);
f.Free;
)";

TEST(ScriptForms, PascalScriptFormRunsModallyWithItsEvents)
{
    bool vetoed = false;
    ScriptRun r = RunModal(
        "PascalScript", PascalForm, "Pascal form",
        {[](TCustomForm* f) {
             auto* edit = Part<TEdit>(f, "Ed");
             auto* add = Part<TButton>(f, "Add");
             ASSERT_TRUE(edit && add);
             edit->SetFocus();
             GuiTest::TypeText("xaqy");   // a becomes b, q is swallowed
             GuiTest::KeyDown(VK_F2);     // taken by the script
             GuiTest::Click(add, {5, 5});
             EXPECT_EQ(edit->Text(), "xby");
             GuiTest::Click(Part<TButton>(f, "Ok"), {5, 5});   // two lines: the script vetoes
         },
         [&](TCustomForm* f) {
             vetoed = f->Visible() && f->ModalResult() == mrNone;
             GuiTest::Click(Part<TButton>(f, "Ok"), {5, 5});
         }});
    ASSERT_TRUE(r.Compiled) << r.Error;
    EXPECT_FALSE(r.RunError) << r.Error;
    EXPECT_TRUE(vetoed);
    EXPECT_EQ(r.Joined(), "1\nF2,xby/二,vetoed,closing\n");
}

TEST(ScriptForms, JScriptFormRunsModallyWithItsEvents)
{
    bool vetoed = false;
    ScriptRun r = RunModal(
        "JScript", JSForm, "JS form",
        {[](TCustomForm* f) {
             GuiTest::Click(Part<TButton>(f, "Ok"), {5, 5});   // no lines yet: the script keeps the form open
         },
         [&](TCustomForm* f) {
             vetoed = f->Visible() && f->ModalResult() == mrNone;
             auto* edit = Part<TEdit>(f, "Ed");
             ASSERT_TRUE(edit);
             edit->SetFocus();
             GuiTest::TypeText("ab");
             GuiTest::KeyDown(VK_F3);
             GuiTest::Click(f, {250, 120});
             GuiTest::Click(Part<TButton>(f, "Add"), {5, 5});
             GuiTest::Click(Part<TButton>(f, "Ok"), {5, 5});
         }});
    ASSERT_TRUE(r.Compiled) << r.Error;
    EXPECT_FALSE(r.RunError) << r.Error;
    EXPECT_TRUE(vetoed);
    EXPECT_EQ(r.Joined(), "6\nF3,m0:250,zb/x\n");
}

TEST(ScriptForms, AFreedControlIsAScriptErrorAndLosesItsAdapters)
{
    GuiTest::Init();
    int before = fs_iinterpreter::GlobalEventList().Count();
    ScriptRun r = RunScript("PascalScript", R"(
procedure H(Sender: TObject); begin end;
var F: TForm; B: TButton;
begin
  F := TForm.Create(nil);
  B := TButton.Create(F); B.Parent := F; B.OnClick := 'H'; B.OnKeyDown := 'H';
  F.OnClick := 'H';
  F.Free;
  ShowMessage('freed');
  B.Caption := 'x';
  ShowMessage('not reached');
end.)");
    EXPECT_TRUE(r.RunError);
    EXPECT_NE(r.Error.find("Caption"), std::string::npos) << r.Error;
    EXPECT_EQ(r.Joined(), "freed\n");
    // The form's adapters and those of the button it owned are gone.
    EXPECT_EQ(fs_iinterpreter::GlobalEventList().Count(), before);

    r = RunScript("JScript", "var f = new TForm(nil);\nf.Free;\nf.Show;");
    EXPECT_TRUE(r.RunError);
    EXPECT_NE(r.Error.find("Show"), std::string::npos) << r.Error;

    // What an object hands out belongs to it: a bitmap's canvas, a control's
    // font, a list box's items; what a script made, the script may free.
    r = RunScript("PascalScript", R"(
var B: TBitmap; F: TForm; L: TListBox; Fn: TFont;
procedure Attempt(O: TObject);
begin
  try O.Free; except ShowMessage(O.ClassName + ' kept'); end;
end;
begin
  B := TBitmap.Create; B.Width := 4; B.Height := 4;
  F := TForm.Create(nil); L := TListBox.Create(F);
  Attempt(B.Canvas); Attempt(F.Font); Attempt(L.Items); Attempt(F.Canvas);
  B.Canvas.Rectangle(0, 0, 2, 2); L.Items.Add('x');
  Fn := TFont.Create; Fn.Free;
  Attempt(L);
  F.Free; B.Free;
end.)");
    ASSERT_TRUE(r.Compiled) << r.Error;
    EXPECT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "TCanvas kept\nTFont kept\nTListBoxStrings kept\nTControlCanvas kept\n");

    // The application outlives every script.
    r = RunScript("PascalScript", "begin Application.Free; end.");
    EXPECT_TRUE(r.RunError);
    EXPECT_EQ(r.Error, "Cannot free TApplication");
    ASSERT_NE(Application, nullptr);
    EXPECT_FALSE(Application->ExeName().empty());
}

TEST(ScriptForms, AScriptMayFreeItsFormFromItsOwnEvent)
{
    ScriptRun r = RunModal("PascalScript", R"(
var F: TForm; B: TButton; R: Integer;
procedure Quit(Sender: TObject);
begin
  F.Free;
  ShowMessage('freed in the event');
  try
    F.Caption := 'gone';
  except
    ShowMessage('caught');
  end;
end;
begin
  F := TForm.Create(nil);
  F.Caption := 'Self freeing';
  B := TButton.Create(F); B.Name := 'Quit'; B.Parent := F; B.SetBounds(4, 4, 60, 24);
  B.OnClick := 'Quit';
  R := F.ShowModal;
  ShowMessage('after ' + IntToStr(R));
end.)",
                           "Self freeing", {[](TCustomForm* f) { GuiTest::Click(Part<TButton>(f, "Quit"), {5, 5}); }});
    ASSERT_TRUE(r.Compiled) << r.Error;
    EXPECT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "freed in the event\ncaught\nafter 2\n");
    GuiTest::ProcessEvents();
    EXPECT_EQ(FindForm("Self freeing"), nullptr) << "freed once the loop was idle";
}

TEST(ScriptForms, ProcessMessagesAndTheApplicationFromARunningScript)
{
    GuiTest::Init();
    ScriptRun r = RunScript("PascalScript", R"(
var F: TForm; C: TCheckBox; L: TLabel;
procedure Resized(Sender: TObject; var NewWidth, NewHeight: Integer; var Resize: Boolean);
begin
  if NewWidth > 400 then NewWidth := 400;
  Resize := NewHeight <> 123;
end;
begin
  F := TForm.Create(nil);
  F.OnCanResize := 'Resized';
  F.SetBounds(0, 0, 500, 200);
  ShowMessage(IntToStr(F.Width));
  F.SetBounds(0, 0, 300, 123);
  ShowMessage(IntToStr(F.Width));
  C := TCheckBox.Create(F); C.Parent := F; C.Checked := True;
  L := TLabel.Create(F); L.Parent := F; L.Caption := '标签';
  F.Show;
  Application.ProcessMessages;
  if C.Checked and (Application.ExeName <> '') then ShowMessage('checked ' + L.Caption);
  ShowMessage(C.ClassName + ' ' + L.Parent.ClassName);
  F.Free;
end.)");
    ASSERT_TRUE(r.Compiled) << r.Error;
    EXPECT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "400\n400\nchecked 标签\nTCheckBox TForm\n");
}

TEST(ScriptForms, ListAndComboStateAndMouseEvents)
{
    GuiTest::Init();
    ScriptRun r = RunScript("PascalScript", R"(
var F: TForm; L: TListBox; C: TComboBox;
function B(v: Boolean): String; begin if v then Result := 'T' else Result := 'F'; end;
begin
  F := TForm.Create(nil);
  L := TListBox.Create(F); L.Parent := F; L.Name := 'List'; L.SetBounds(0, 0, 100, 100);
  L.MultiSelect := True;
  L.Items.CommaText := 'a,b,c';
  F.Show;
  L.Selected[0] := True; L.Selected[2] := True;
  ShowMessage(IntToStr(L.SelCount) + B(L.Selected[1]) + B(L.Selected[2]));
  C := TComboBox.Create(F); C.Parent := F;
  C.Items.Text := 'x' + #13#10 + 'y';
  C.ItemIndex := 1;
  Application.ProcessMessages;
  ShowMessage(IntToStr(C.ItemIndex) + C.Text + B(C.DroppedDown));
  try
    L.Selected[3] := True;
  except
    ShowMessage('out of range');
  end;
  F.Free;
end.)");
    ASSERT_TRUE(r.Compiled) << r.Error;
    EXPECT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "2FT\n1yF\nout of range\n");
}

// A form the script leaves up: its events run the script's procedures after
// Execute, as long as the script lives.
TEST(ScriptForms, EachAdapterPassesItsArgumentsAndSkipsARunningHandler)
{
    GuiTest::Init();
    EnsureEngine();
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TfsScript s(nullptr);
    s.SetSyntaxType("PascalScript");
    s.SetText(R"(
var F: TForm; E, E2: TEdit; C: TComboBox; Box: TCheckBox; Clicks: Integer;
procedure Moved(Sender: TObject; Shift: Integer; X, Y: Integer);
begin ShowMessage(Format('move %d,%d %d', [X, Y, Shift])); end;
procedure Up(Sender: TObject; Button: TMouseButton; Shift: Integer; X, Y: Integer);
begin ShowMessage(Format('up %d %d,%d %d', [Button, X, Y, Shift])); end;
procedure Dbl(Sender: TObject); begin ShowMessage('double'); end;
procedure Released(Sender: TObject; var Key: Word; Shift: Integer);
begin ShowMessage(Format('key up %d %d', [Key, Shift])); end;
procedure Entered(Sender: TObject); begin ShowMessage('enter ' + TComponent(Sender).Name); end;
procedure Left(Sender: TObject); begin ShowMessage('exit ' + TComponent(Sender).Name); end;
procedure Locked(Sender: TObject);
begin
  Clicks := Clicks + 1;
  Box.Checked := True;   { clicks the box again while this runs: not run twice }
  ShowMessage('locked ' + IntToStr(Clicks));
end;
procedure Pressed(Sender: TObject; var Key: Char); begin ShowMessage('press ' + Key); end;
procedure Picked(Sender: TObject); begin ShowMessage('picked ' + C.Text); end;
begin
  F := TForm.Create(nil); F.Caption := 'Adapters'; F.SetBounds(0, 0, 300, 200);
  E := TEdit.Create(F); E.Name := 'E'; E.Parent := F; E.SetBounds(8, 8, 100, 24);
  E2 := TEdit.Create(F); E2.Name := 'E2'; E2.Parent := F; E2.SetBounds(8, 40, 100, 24);
  C := TComboBox.Create(F); C.Name := 'C'; C.Parent := F; C.SetBounds(8, 72, 100, 24);
  C.Style := csDropDownList; C.Items.CommaText := 'x,y,z'; C.ItemIndex := 0;
  E2.OnMouseMove := 'Moved'; E2.OnMouseUp := 'Up'; F.OnDblClick := 'Dbl';
  E.OnKeyUp := 'Released'; E.OnEnter := 'Entered'; E.OnExit := 'Left'; E.OnKeyPress := 'Pressed';
  C.OnChange := 'Picked';
  Box := TCheckBox.Create(F); Box.Name := 'Box'; Box.Parent := F; Box.SetBounds(8, 104, 100, 24);
  Box.Checked := True; Box.OnClick := 'Locked';
  F.Show;
end.)");
    ASSERT_TRUE(s.Compile()) << s.ErrorMessage;
    s.Execute();
    TCustomForm* f = FindForm("Adapters");
    ASSERT_NE(f, nullptr);
    GuiTest::ProcessEvents();
    GuiTest::MouseMove(Part<TEdit>(f, "E2"), {20, 10});
    GuiTest::MouseDown(Part<TEdit>(f, "E2"), mbLeft, {30, 12}, {ssShift});
    GuiTest::MouseUp(Part<TEdit>(f, "E2"), mbLeft, {30, 12}, {ssShift});
    GuiTest::DoubleClick(f, {220, 170});
    Part<TEdit>(f, "E")->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyUp(VK_F5);
    GuiTest::TypeText("a");
    Part<TComboBox>(f, "C")->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyDown(VK_DOWN);
    GuiTest::ProcessEvents();
    GuiTest::Click(Part<TCheckBox>(f, "Box"), {5, 5});
    GuiTest::ProcessEvents();
    // Pressing moves the pointer there first, with the shift state held.
    EXPECT_EQ(host->Messages(), (std::vector<std::string>{"move 20,10 0", "move 30,12 1", "up 0 30,12 1", "double",
                                                          "enter E", "key up 116 0", "press a", "exit E", "picked y", "locked 1"}));
    EXPECT_TRUE(Part<TCheckBox>(f, "Box")->Checked());
    FreeObject(f);
}

// A size a script gives by mistake takes no gigabytes: a form, whose whole
// surface is kept in memory once shown, and a bitmap stop at 8192 a side.
TEST(ScriptForms, SizesAScriptGivesAreBounded)
{
    GuiTest::Init();
    ScriptRun r = RunScript("PascalScript", R"(
var F: TForm; B: TBitmap;
begin
  F := TForm.Create(nil);
  F.SetBounds(0, 0, 30000, 100000);
  ShowMessage(IntToStr(F.Width) + 'x' + IntToStr(F.Height));
  F.Width := 50000;
  ShowMessage(IntToStr(F.Width));
  F.Width := 640;
  ShowMessage(IntToStr(F.Width));
  F.Free;
  B := TBitmap.Create; B.Width := 100000; B.Height := 40000;
  ShowMessage(IntToStr(B.Width) + 'x' + IntToStr(B.Height));
  B.Free;
end.)");
    ASSERT_TRUE(r.Compiled) << r.Error;
    EXPECT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "8192x8192\n8192\n640\n8192x8192\n");
}

// The script's enumerations name the platform's values.
TEST(ScriptForms, EnumerationOrdinalsAreThePlatforms)
{
    EnsureEngine();
    TfsScript* g = fs_iinterpreter::GetGlobalScript();
    struct Case {
        const char* Name;
        int64_t Value;
    };
    const Case cases[] = {
        {"fsBold", 1 << fsBold}, {"fsStrikeout", 1 << fsStrikeOut}, {"fpFixed", fpFixed},
        {"psInsideFrame", psInsideFrame}, {"pmCopy", pmCopy}, {"pmNotXor", pmNotXor},
        {"bsDiagCross", bsDiagCross}, {"bsClear", bsClear},
        {"ssShift", 1 << ssShift}, {"ssDouble", 1 << ssDouble}, {"taCenter", taCenter}, {"alClient", alClient},
        {"mbMiddle", mbMiddle}, {"akBottom", 1 << akBottom}, {"bvSpace", bvSpace}, {"tlBottom", tlBottom},
        {"ecLowerCase", ecLowerCase}, {"ssBoth", ssBoth}, {"csOwnerDrawVariable", csOwnerDrawVariable},
        {"cbGrayed", cbGrayed}, {"lbOwnerDrawVariable", lbOwnerDrawVariable}, {"wsMaximized", wsMaximized},
        {"fsStayOnTop", fsStayOnTop}, {"biHelp", 1 << biHelp}, {"poDesktopCenter", poDesktopCenter},
        {"caMinimize", caMinimize}, {"caFree", caFree}, {"bsSizeToolWin", bsSizeToolWin}, {"bsDialog", bsDialog},
        {"mrYesToAll", mrYesToAll}, {"mrNo", mrNo}, {"crHandPoint", crHandPoint}, {"crSizeAll", crSizeAll},
        {"crHourGlass", crHourGlass}, {"crIBeam", crIBeam},
        {"VK_F1", VK_F1}, {"VK_F12", VK_F12}, {"VK_NUMPAD9", VK_NUMPAD0 + 9}, {"VK_ESCAPE", VK_ESCAPE},
        {"VK_DELETE", VK_DELETE}, {"VK_SCROLL", VK_SCROLL},
        {"ofEnableSizing", 1 << ofEnableSizing}, {"ofAllowMultiSelect", 1 << ofAllowMultiSelect},
        {"fdApplyButton", 1 << fdApplyButton}, {"fdNoVectorFonts", 1 << fdNoVectorFonts},
        {"prPageNums", prPageNums}, {"poDisablePrintToFile", 1 << poDisablePrintToFile},
        {"mtConfirmation", mtConfirmation}, {"mbHelp", 1 << mbHelp},
        {"clBtnFace", clBtnFace}, {"clNone", clNone}, {"clDefault", clDefault}, {"clSkyBlue", clSkyBlue},
        {"clWindowText", clWindowText}, {"clMoneyGreen", clMoneyGreen}};
    for (const Case& c : cases) {
        TfsCustomVariable* v = g->Find(c.Name);
        ASSERT_NE(v, nullptr) << c.Name;
        EXPECT_EQ(v->Value.AsInt64(), c.Value) << c.Name;
    }
    int colours = 0;
    GetColorValues([&](const std::string& n) { colours += g->Find(n) ? 1 : 0; });
    EXPECT_EQ(colours, 52);
}

// Every class the script knows has for ancestor the nearest of its platform
// ancestors that the script knows, so a member of an ancestor always applies.
TEST(ScriptForms, ClassAncestryIsThePlatforms)
{
    EnsureEngine();
    TfsScript* g = fs_iinterpreter::GetGlobalScript();
    int classes = 0;
    for (int i = 0; i < g->Count(); ++i) {
        auto* c = DynamicCast<TfsClassVariable>(g->Items(i));
        if (!c) continue;
        ++classes;
        TfsClassVariable* expected = c->HostClass->Parent ? g->FindClassByType(c->HostClass->Parent) : nullptr;
        EXPECT_EQ(c->AncestorName, expected ? expected->Name : "") << c->Name;
    }
    EXPECT_GT(classes, 50);
    const std::pair<const char*, const char*> spot[] = {
        {"TFont", "TPersistent"}, {"TBitmap", "TGraphic"}, {"TMetafileCanvas", "TCanvas"},
        {"TButton", "TWinControl"}, {"TLabel", "TGraphicControl"}, {"TForm", "TCustomForm"},
        {"TCustomForm", "TWinControl"}, {"TComboBox", "TCustomComboBox"}, {"TMemo", "TWinControl"},
        {"TGroupBox", "TCustomControl"}, {"TSaveDialog", "TOpenDialog"}, {"TDataModule", "TComponent"}};
    for (auto& [cls, ancestor] : spot) {
        ASSERT_NE(g->FindClass(cls), nullptr) << cls;
        EXPECT_EQ(g->FindClass(cls)->AncestorName, ancestor) << cls;
    }
}

int TextHeightOf20PtBold()
{
    TBitmap b;
    b.SetSize(4, 4);
    b.Canvas()->Font()->SetSize(20);
    b.Canvas()->Font()->SetStyle({fsBold, fsItalic});
    return b.Canvas()->TextHeight("W");
}

TEST(ScriptGraphics, DrawingOnABitmapAndReadingItsPixels)
{
    ScriptRun r = RunScript("PascalScript", R"(
var B: TBitmap; C: TCanvas; M: TMetafile; MC: TMetafileCanvas; F: TFont;
begin
  B := TBitmap.Create;
  B.Width := 40; B.Height := 30;
  C := B.Canvas;
  C.Brush.Color := clWhite;
  C.Pen.Color := clWhite;
  C.Rectangle(0, 0, 40, 30);
  C.Brush.Color := clRed;
  C.Pen.Style := psClear;
  C.Rectangle(5, 5, 15, 15);
  C.Pen.Style := psSolid;
  C.Pen.Color := clBlue;
  C.MoveTo(0, 20); C.LineTo(40, 20);
  C.Pixels[30, 5] := clLime;
  ShowMessage(Format('%x %x %x %x %d', [C.Pixels[8, 8], C.Pixels[20, 20], C.Pixels[30, 5], C.Pixels[1, 1],
                                         C.Pixels[99, 99]]));
  F := TFont.Create;
  F.Size := 20; F.Style := fsBold + fsItalic;
  C.Font := F;
  if C.TextWidth('WW') > C.TextWidth('W') then
    ShowMessage(IntToStr(C.Font.Size) + ' ' + IntToStr(C.Font.Style) + ' ' + IntToStr(C.TextHeight('W')));
  F.Free;
  M := TMetafile.Create;
  M.Width := 100; M.Height := 50;
  MC := TMetafileCanvas.Create(M, 0);
  MC.Draw(0, 0, B);
  MC.StretchDraw(40, 0, 100, 50, B);
  MC.Free;
  ShowMessage(IntToStr(B.Width) + 'x' + IntToStr(B.Height) + ' ' + IntToStr(M.Width));
  M.Free;
  B.Free;
end.)");
    ASSERT_TRUE(r.Compiled) << r.Error;
    EXPECT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "FF FF0000 FF00 FFFFFF -1\n20 3 " + std::to_string(TextHeightOf20PtBold()) + "\n40x30 100\n");
}

// Pictures and graphics read and write files; a file they cannot read is a
// script error and leaves the picture as it was.
TEST(ScriptGraphics, PicturesAndGraphicsGoThroughFiles)
{
    const std::string dir = ::testing::TempDir();
    {
        std::ofstream bad(dir + "fs_broken.bmp", std::ios::binary);
        bad << "BM not a bitmap";
    }
    ScriptRun r = RunScript("PascalScript", "const Dir = '" + dir + R"(';
var B: TBitmap; P: TPicture; G: TGraphic;
begin
  B := TBitmap.Create; B.Width := 30; B.Height := 20;
  B.Canvas.Brush.Color := clRed; B.Canvas.Rectangle(0, 0, 30, 20);
  B.Canvas.Pixels[3, 4] := clBlue;
  B.SaveToFile(Dir + 'fs_drawn.bmp');
  P := TPicture.Create;
  P.LoadFromFile(Dir + 'fs_drawn.bmp');
  P.SaveToFile(Dir + 'fs_again.bmp');
  G := TBitmap.Create;
  G.LoadFromFile(Dir + 'fs_again.bmp');
  ShowMessage(Format('%dx%d %s %dx%d %x %x', [P.Width, P.Height, G.ClassName, G.Width, G.Height,
    TBitmap(G).Canvas.Pixels[3, 4], TBitmap(G).Canvas.Pixels[10, 10]]));
  try
    P.LoadFromFile(Dir + 'fs_broken.bmp');
  except
    ShowMessage(Format('kept %dx%d', [P.Width, P.Height]));
  end;
  P.Free; G.Free; B.Free;
end.)");
    ASSERT_TRUE(r.Compiled) << r.Error;
    EXPECT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "30x20 TBitmap 30x20 FF0000 FF\nkept 30x20\n");

    const std::pair<const char*, const char*> failures[] = {
        {"fs_broken.bmp", "Bitmap image is not valid"},
        {"fs_picture.xyz", "Unknown picture file extension (.xyz)"}};
    for (auto& [file, error] : failures) {
        r = RunScript("PascalScript", "var P: TPicture; begin P := TPicture.Create; P.LoadFromFile('" + dir + file +
                                          "'); ShowMessage('read'); end.");
        EXPECT_TRUE(r.RunError) << file;
        EXPECT_EQ(r.Error, error);
        EXPECT_EQ(r.Joined(), "");
    }
}

TEST(ScriptDialogs, CommonDialogsAnswerThroughTheHost)
{
    auto host = std::make_shared<TRecordingHost>();
    host->QueueOpenFile({"/tmp/a.txt"});
    host->QueueSaveFile({"/tmp/b.csv"});
    host->QueueColorDialog([](TColorDialogData& d) {
        d.Color = 0x336699;
        return true;
    });
    host->QueueFontDialog([](TFontDialogData& d) {
        d.Size = 14;
        d.Bold = true;
        return true;
    });
    host->QueuePrintDialog([](TPrintDialogData& d) {
        d.Copies = 3;
        return true;
    });
    ScriptRun r = RunScript("PascalScript", R"(
var D: TOpenDialog; S: TSaveDialog; C: TColorDialog; F: TFontDialog; P: TPrintDialog; Cd: TCommonDialog;
begin
  D := TOpenDialog.Create(nil);
  D.Filter := 'Text|*.txt';
  D.Options := ofFileMustExist + ofHideReadOnly;
  if D.Execute then ShowMessage(D.FileName) else ShowMessage('cancelled');
  if D.Execute then ShowMessage(D.FileName) else ShowMessage('cancelled');
  S := TSaveDialog.Create(D);
  Cd := S;
  if Cd.Execute then ShowMessage(S.FileName);
  C := TColorDialog.Create(D);
  if C.Execute then ShowMessage(Format('%x', [C.Color]));
  F := TFontDialog.Create(D);
  if F.Execute then ShowMessage(IntToStr(F.Font.Size) + ' ' + IntToStr(F.Font.Style));
  P := TPrintDialog.Create(D);
  if P.Execute then ShowMessage(IntToStr(P.Copies));
  D.Free;
end.)", host);
    ASSERT_TRUE(r.Compiled) << r.Error;
    EXPECT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), "/tmp/a.txt\ncancelled\n/tmp/b.csv\n336699\n14 1\n3\n");
}

}  // namespace
