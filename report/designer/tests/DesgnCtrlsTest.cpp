// The designer's building blocks: ruler scales as computed marks, the
// colour and line pickers' cells and the custom colour row, whole-report
// undo and redo compared byte for byte, and the clipboard text of report
// objects with the rules for pasting it back.
#include "Buttons.h"
#include "Clipbrd.h"
#include "GuiTesting.h"
#include "Lists.h"
#include "RecordingHost.h"
#include "Streams.h"
#include "SysUtils.h"
#include "Windows.h"
#include "frxClass.h"
#include "frxDesgnCtrls.h"
#include "frxPopupForm.h"
#include "frxXMLSerializer.h"

#include <gtest/gtest.h>

namespace {

// ---- rulers ----------------------------------------------------------------

// Labels measured as 6 pixels a character (or what a case asks), so the
// label spacing does not hang on the installed fonts.
std::function<int(const std::string&)> Chars(int perChar)
{
    return [perChar](const std::string& s) { return int(s.size()) * perChar; };
}

TfrxRulerMark Tick(int p, int len) { return {p, len, ""}; }
TfrxRulerMark Label(int p, const std::string& l) { return {p, 0, l}; }

TEST(Ruler, MarksPerUnitScaleAndScroll)
{
    GuiTest::Init();
    struct Case {
        const char* Name;
        TfrxRulerUnits Units;
        double Scale;
        int Offset, Start, Width, PerChar;
        TAlign Align;
        std::vector<TfrxRulerMark> Want;
    };
    const Case cases[] = {
        // 1 mm ticks too close for minor strokes; halves of a centimetre and labels.
        {"cm", ruCM, 1, 20, 0, 120, 6, alTop,
         {Tick(39, 4), Label(58, "1"), Tick(77, 4), Label(96, "2"), Tick(114, 4), Label(133, "3")}},
        // At twice the size the millimetres show.
        {"cm x2", ruCM, 2, 0, 0, 40, 6, alTop,
         {Tick(8, 2), Tick(15, 2), Tick(23, 2), Tick(30, 2), Tick(38, 4)}},
        // Scrolled: zero lies Start pixels before Offset, nothing before Offset.
        {"cm scrolled", ruCM, 1, 20, 30, 60, 6, alTop,
         {Label(28, "1"), Tick(47, 4), Label(66, "2")}},
        // Wide labels at a small scale stand every second centimetre.
        {"cm small", ruCM, 0.5, 0, 0, 100, 20, alTop,
         {Tick(19, 6), Label(38, "2"), Tick(57, 6), Label(76, "4"), Tick(94, 6)}},
        {"pixels", ruPixels, 1, 0, 0, 260, 6, alTop,
         {Tick(50, 4), Label(100, "100"), Tick(150, 4), Label(200, "200"), Tick(250, 4)}},
        // Characters: the mark sits in the middle of the 9.6-pixel cell.
        {"chars top", ruChars, 1, 0, 0, 60, 12, alTop,
         {Tick(15, 6), Label(24, "2"), Tick(34, 6), Label(43, "4"), Tick(53, 6), Label(63, "6")}},
        // On the left ruler a character is 17 pixels high.
        {"chars left", ruChars, 1, 0, 0, 60, 6, alLeft,
         {Label(25, "1"), Label(42, "2"), Label(59, "3")}},
    };
    for (const Case& c : cases) {
        TfrxRuler r(nullptr);
        r.SetAlign(c.Align);
        r.SetBounds(0, 0, c.Align == alLeft ? 20 : c.Width, c.Align == alLeft ? c.Width : 20);
        r.SetUnits(c.Units);
        r.SetScale(c.Scale);
        r.SetOffset(c.Offset);
        r.SetStart(c.Start);
        EXPECT_EQ(r.Marks(Chars(c.PerChar)), c.Want) << c.Name;
    }
}

TEST(Ruler, PositionMarker)
{
    GuiTest::Init();
    TfrxRuler r(nullptr);
    r.SetBounds(0, 0, 300, 20);
    r.SetUnits(ruCM);
    r.SetOffset(20);
    r.SetPosition(1.5);
    EXPECT_EQ(r.MarkerPosition(), 20 + 57);   // 1.5 cm = 56.69 pixels
    r.SetUnits(ruPixels);
    r.SetPosition(40);
    EXPECT_EQ(r.MarkerPosition(), 60);
    r.SetStart(100);                             // scrolled out of view
    EXPECT_EQ(r.MarkerPosition(), -1);
}

TEST(Ruler, Picture)
{
    GuiTest::Init();
    TForm form(nullptr);
    form.SetBounds(0, 0, 420, 260);
    TfrxRuler top(&form), left(&form);
    top.SetParent(&form);
    left.SetParent(&form);
    top.SetAlign(alTop);
    top.SetHeight(20);
    left.SetAlign(alLeft);
    left.SetWidth(20);
    for (TfrxRuler* r : {&top, &left}) {
        r->SetUnits(ruCM);
        r->SetOffset(24);
        r->SetScale(1.5);
        r->SetPosition(2.5);
    }
    form.Show();
    GuiTest::ProcessEvents();
    // The scale strip is window-coloured from the offset on, face-coloured before.
    EXPECT_EQ(GuiTest::PixelAt(&top, ::Point(10, 10)), GuiTest::PixelAt(&top, ::Point(30, 1)));
    EXPECT_EQ(GuiTest::PixelAt(&top, ::Point(30, 10)), clWhite);
    // The position marker crosses the strip.
    int p = top.MarkerPosition();
    EXPECT_EQ(GuiTest::PixelAt(&top, ::Point(p, 10)), TColor(0));
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) GuiTest::SavePng(&form, std::string(dir) + "/designer-rulers.png");
}

// ---- the scroll box -----------------------------------------------------------

// A surface that notes the keys it gets.
class TKeySurface : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<int> Downs, Ups;
    std::string Chars;
protected:
    void KeyDown(WORD& key, TShiftState) override { Downs.push_back(key); }
    void KeyUp(WORD& key, TShiftState) override { Ups.push_back(key); }
    void KeyPress(char& key) override { Chars += key; }
};

TEST(ScrollBox, KeysGoOnToTheSurface)
{
    GuiTest::Init();
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    TfrxScrollBox box(&form);
    box.SetParent(&form);
    box.SetAlign(alClient);
    TKeySurface surface(&form);
    surface.SetParent(&box);
    surface.SetBounds(0, 0, 600, 400);
    form.Show();
    GuiTest::ProcessEvents();
    // It wants the arrows and Tab, so the form does not move the focus with them.
    EXPECT_EQ(box.Perform(WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTTAB);
    box.SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyDown(VK_RIGHT);
    GuiTest::KeyUp(VK_RIGHT);
    GuiTest::KeyDown(VK_TAB);
    GuiTest::TypeText("a");
    GuiTest::ProcessEvents();
    EXPECT_EQ(surface.Downs, (std::vector<int>{VK_RIGHT, VK_TAB}));
    EXPECT_EQ(surface.Ups, (std::vector<int>{VK_RIGHT}));
    EXPECT_EQ(surface.Chars, "\ta");   // Tab types its character too
    EXPECT_TRUE(box.Focused());
}

// ---- pickers ---------------------------------------------------------------

TEST(Selectors, CellsUnderThePointer)
{
    struct Case {
        int X, Y, Cell;
    };
    const Case colour[] = {{5, 5, 0}, {24, 5, 1}, {150, 5, 7}, {5, 23, 8}, {40, 94, 33}, {50, 100, 40}};
    for (const Case& c : colour) EXPECT_EQ(TfrxColorSelector::CellAt(c.X, c.Y), c.Cell) << c.X << "," << c.Y;
    const Case line[] = {{0, 2, 0}, {0, 20, 0}, {0, 21, 1}, {0, 90, 5}, {0, 100, 5}, {0, 110, 5}};
    for (const Case& c : line) EXPECT_EQ(TfrxLineSelector::RowAt(c.Y), c.Cell) << c.Y;
}

struct PickerEnv {
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
    TForm Form{nullptr};
    TSpeedButton* Button;
    PickerEnv()
    {
        GuiTest::Init();
        frxDesgnCtrls::ResetCustomColors();
        Form.SetBounds(100, 100, 200, 100);
        Button = new TSpeedButton(&Form);
        Button->SetParent(&Form);
        Button->SetBounds(10, 10, 23, 22);
        Button->SetTag(7);
        Form.Show();
    }
};

TEST(Selectors, ColourCellsAndTheCustomRow)
{
    PickerEnv e;
    auto* sel = new TfrxColorSelector(e.Button);
    ASSERT_NE(sel->Popup(), nullptr);
    // The popup closes when it loses the activation; here it stays up until asked.
    sel->Popup()->OnDeactivate = nullptr;
    EXPECT_EQ(sel->Tag(), 7);
    EXPECT_EQ(sel->Popup()->Left(), e.Button->ClientToScreen(::Point(0, 0)).X);
    EXPECT_EQ(sel->Popup()->Top(), e.Button->ClientToScreen(::Point(0, 24)).Y);
    int changes = 0;
    sel->OnColorChanged = [&](TObject* s) { EXPECT_EQ(s, sel); ++changes; };
    GuiTest::ProcessEvents();

    // A cell: red is row 2, column 4.
    GuiTest::MouseDown(sel, mbLeft, ::Point(4 * 18 + 10, 18 + 10));
    EXPECT_EQ(sel->Highlighted(), ::Rect(77, 23, 95, 41));
    EXPECT_TRUE(sel->HighlightPressed());
    GuiTest::MouseUp(sel, mbLeft, ::Point(4 * 18 + 10, 18 + 10));
    EXPECT_EQ(sel->Color(), TColor(0x00FF00));
    EXPECT_EQ(changes, 1);

    EXPECT_FALSE(sel->Popup()->Visible());   // the pick closes the popup

    // Losing the activation frees the popup with its picker and notes when.
    TWeakRef<TfrxColorSelector> alive(sel);
    frxPopupForm::SetLastCloseTick(0xFFFFFFFFu);
    const uint32_t before = GetTickCount();
    sel->Popup()->FormDeactivate(nullptr);
    const uint32_t after = GetTickCount();
    GuiTest::ProcessEvents();
    EXPECT_GE(frxPopupForm::LastCloseTick(), before);
    EXPECT_LE(frxPopupForm::LastCloseTick(), after);
    EXPECT_FALSE(alive);
}

TEST(Selectors, OtherColoursFillTheCustomRow)
{
    PickerEnv e;
    TForm host(nullptr);
    host.SetBounds(0, 0, 155, 125);
    auto* sel = new TfrxColorSelector(&host);
    sel->SetParent(&host);
    host.Show();
    GuiTest::ProcessEvents();
    int changes = 0;
    sel->OnColorChanged = [&](TObject*) { ++changes; };
    sel->SetColor(TColor(0x00FF00));

    // "Other..." with the dialog cancelled: nothing changes, no event.
    e.Host->QueueColorDialog([](TColorDialogData& d) { EXPECT_EQ(d.Color, 0x00FF00u); return false; });
    GuiTest::Click(sel, ::Point(60, 110));
    EXPECT_EQ(sel->Color(), TColor(0x00FF00));
    EXPECT_EQ(changes, 0);

    // Nine colours chosen in turn: the row keeps the last eight in order.
    for (int i = 1; i <= 9; ++i) {
        e.Host->QueueColorDialog([i](TColorDialogData& d) { d.Color = 0x010101u * uint32_t(i); return true; });
        GuiTest::Click(sel, ::Point(60, 110));
        EXPECT_EQ(sel->Color(), TColor(0x010101 * i));
    }
    EXPECT_EQ(changes, 9);
    for (int slot = 0; slot < 8; ++slot) EXPECT_EQ(frxDesgnCtrls::PaletteColor(32 + slot), TColor(0x010101 * (slot + 2)));
    // A colour the table holds already is not added again.
    e.Host->QueueColorDialog([](TColorDialogData& d) { d.Color = 0x0000FF; return true; });
    GuiTest::Click(sel, ::Point(60, 110));
    EXPECT_EQ(sel->Color(), TColor(0x0000FF));
    EXPECT_EQ(frxDesgnCtrls::PaletteColor(39), TColor(0x090909));
}

TEST(Selectors, LineStylePickAndPictures)
{
    PickerEnv e;
    auto* lines = new TfrxLineSelector(e.Button);
    lines->Popup()->OnDeactivate = nullptr;
    int style = -1;
    lines->OnStyleChanged = [&](TObject*) { style = lines->Style(); };
    GuiTest::ProcessEvents();
    GuiTest::MouseMove(lines, ::Point(30, 40));
    EXPECT_EQ(lines->Highlighted(), ::Rect(5, 37, 93, 53));
    EXPECT_FALSE(lines->HighlightPressed());
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) GuiTest::SavePng(lines, std::string(dir) + "/designer-line-selector.png");
    GuiTest::Click(lines, ::Point(30, 40));
    EXPECT_EQ(style, 2);

    frxDesgnCtrls::AddCustomColor(TColor(0x3366CC));
    TForm host(nullptr);
    host.SetBounds(0, 0, 155, 125);
    auto* colours = new TfrxColorSelector(&host);
    colours->SetParent(&host);
    host.Show();
    GuiTest::ProcessEvents();
    // The no-colour cell is white and crossed; a custom colour shows in row 5.
    EXPECT_EQ(GuiTest::PixelAt(colours, ::Point(12, 16)), TColor(0xFFFFFF));
    EXPECT_EQ(GuiTest::PixelAt(colours, ::Point(14, 14)), TColor(0x808080));
    EXPECT_EQ(GuiTest::PixelAt(colours, ::Point(14, 4 * 18 + 14)), TColor(0x3366CC));
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) GuiTest::SavePng(colours, std::string(dir) + "/designer-colour-selector.png");
}

// ---- a small layout ---------------------------------------------------------

std::string Bytes(TfrxReport* r)
{
    TMemoryStream m;
    r->SaveToStream(&m);
    return std::string(static_cast<const char*>(m.Memory()), size_t(m.Size()));
}

struct Layout {
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
    TfrxReport Report{nullptr};
    TfrxReportPage* Page;
    TfrxPageFooter* Footer;
    TfrxMasterData* Data;
    TfrxMemoView *Memo1, *Memo2;
    Layout()
    {
        frxClass::Initialize();
        Report.EngineOptions()->SilentMode = true;
        Page = new TfrxReportPage(&Report);
        Page->SetName("Page1");
        Data = new TfrxMasterData(Page);
        Data->SetName("MasterData1");
        Data->SetBounds(0, 100, 700, 40);
        Memo1 = new TfrxMemoView(Data);
        Memo1->SetName("Memo1");
        Memo1->SetBounds(30, 5, 100, 20);
        Memo1->Memo()->SetText("姓名");
        Memo2 = new TfrxMemoView(Data);
        Memo2->SetName("Memo2");
        Memo2->SetBounds(200, 10, 80, 20);
        Footer = new TfrxPageFooter(Page);
        Footer->SetName("PageFooter1");
        Footer->SetBounds(0, 300, 700, 30);
    }
};

TEST(UndoBuffer, UndoAndRedoRestoreLayoutsByteForByte)
{
    Layout l;
    TfrxUndoBuffer undo;
    // The window's policy: a snapshot when the layout opens and after each change.
    undo.AddUndo(&l.Report);
    const std::string opened = Bytes(&l.Report);
    EXPECT_EQ(undo.UndoCount(), 1);   // nothing to undo yet
    undo.GetUndo(&l.Report);          // and undoing then does nothing
    EXPECT_EQ(undo.UndoCount(), 1);
    EXPECT_EQ(Bytes(&l.Report), opened);

    l.Memo1->SetLeft(55);
    l.Memo1->Memo()->SetText("学员");
    undo.AddUndo(&l.Report);
    undo.ClearRedo();
    const std::string changed = Bytes(&l.Report);
    ASSERT_NE(changed, opened);

    // Undo: the current state goes to redo, the one before comes back.
    undo.AddRedo(&l.Report);
    undo.GetUndo(&l.Report);
    EXPECT_EQ(Bytes(&l.Report), opened);
    EXPECT_EQ(undo.UndoCount(), 1);
    EXPECT_EQ(undo.RedoCount(), 1);
    // Redo: back to the change, which is again the last undo step.
    undo.GetRedo(&l.Report);
    undo.AddUndo(&l.Report);
    EXPECT_EQ(Bytes(&l.Report), changed);
    EXPECT_EQ(undo.UndoCount(), 2);
    EXPECT_EQ(undo.RedoCount(), 0);
    undo.GetRedo(&l.Report);          // nothing left to redo
    EXPECT_EQ(Bytes(&l.Report), changed);
}

TEST(UndoBuffer, ProtectedLayoutIsNotAskedForItsPassword)
{
    Layout l;
    l.Report.ReportOptions()->Password = "秘密";
    int asked = 0;
    auto was = frxClass::PasswordPrompt;
    frxClass::PasswordPrompt = [&](std::string&) { ++asked; return false; };
    TfrxUndoBuffer undo;
    undo.AddUndo(&l.Report);
    const std::string opened = Bytes(&l.Report);
    l.Memo2->SetTop(0);
    undo.AddUndo(&l.Report);
    undo.AddRedo(&l.Report);
    undo.GetUndo(&l.Report);
    frxClass::PasswordPrompt = was;
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(Bytes(&l.Report), opened);
}

// ---- clipboard ---------------------------------------------------------------

class TSelection : public IfrxDesignerSelection {
public:
    TfrxReport* R;
    TfrxPage* P;
    mutable TList Objs, Sel;
    TSelection(TfrxReport* r, TfrxPage* p) : R(r), P(p) {}
    TfrxReport* Report() const override { return R; }
    TfrxPage* Page() const override { return P; }
    TList* Objects() const override { return &Objs; }
    TList* SelectedObjects() const override { return &Sel; }
    void Select(std::initializer_list<TfrxComponent*> objs)
    {
        Sel.Clear();
        for (TfrxComponent* c : objs) Sel.Add(c);
    }
};

// The elements of a clipboard text after its marker line, each as class
// name and attribute text.
std::vector<std::pair<std::string, std::string>> Elements(const std::string& text)
{
    std::vector<std::pair<std::string, std::string>> r;
    size_t at = text.find('<');
    while (at != std::string::npos) {
        size_t end = text.find("/>", at);
        std::string body = text.substr(at + 1, end - at - 1);
        size_t sp = body.find(' ');
        r.push_back({body.substr(0, sp), sp == std::string::npos ? "" : body.substr(sp)});
        at = text.find('<', end);
    }
    return r;
}

std::string Attr(const std::string& attrs, const std::string& name)
{
    for (const TfrxAttribute& a : frxXMLSerializer::SplitAttributes(attrs))
        if (a.Name == LowerCase(name)) return a.Value;
    return "(none)";
}

TEST(Clipboard, CopyTwoMemos)
{
    Layout l;
    TSelection s(&l.Report, l.Page);
    s.Select({l.Memo2, l.Memo1});
    TfrxClipboard clip(&s);
    std::string text = clip.CopyText();
    ASSERT_EQ(text.substr(0, 17), std::string("#FR3 clipboard#\n\r"));
    auto els = Elements(text);
    ASSERT_EQ(els.size(), 2u);
    // Page order, not selection order; the top-left-most memo lands at (0, 0).
    EXPECT_EQ(els[0].first, "TfrxMemoView");
    EXPECT_EQ(Attr(els[0].second, "Memo.Text"), "姓名");
    EXPECT_EQ(Attr(els[0].second, "Left"), "0");
    EXPECT_EQ(Attr(els[0].second, "Top"), "0");
    EXPECT_EQ(Attr(els[1].second, "Left"), "170");
    EXPECT_EQ(Attr(els[1].second, "Top"), "5");
    EXPECT_EQ(Attr(els[0].second, "Name"), "(none)");
    EXPECT_EQ(text.find("/>", text.rfind("/>") + 2), std::string::npos);   // nothing follows

    // Through the system clipboard and back onto the same page.
    clip.Copy();
    EXPECT_TRUE(clip.PasteAvailable());
    EXPECT_EQ(clip.Paste(), 2);
    ASSERT_EQ(s.Sel.Count(), 2);
    auto* a = static_cast<TfrxComponent*>(s.Sel.Items(0));
    auto* b = static_cast<TfrxComponent*>(s.Sel.Items(1));
    EXPECT_EQ(a->Name(), "Memo3");
    EXPECT_EQ(b->Name(), "Memo4");
    EXPECT_EQ(a->Parent(), l.Page);
    EXPECT_DOUBLE_EQ(a->Left(), 0);
    EXPECT_DOUBLE_EQ(a->Top(), 0);
    EXPECT_DOUBLE_EQ(b->Left(), 170);
    EXPECT_EQ(static_cast<TfrxMemoView*>(a)->Text(), "姓名\r\n");
    EXPECT_EQ(s.Objs.Count(), 2);
}

TEST(Clipboard, BandsBringTheirObjectsOnlyWhenNoneIsSelected)
{
    Layout l;
    TSelection s(&l.Report, l.Page);
    TfrxClipboard clip(&s);
    struct Case {
        std::vector<TfrxComponent*> Selected;
        std::vector<std::string> Classes;
    };
    const Case cases[] = {
        {{l.Data}, {"TfrxMasterData", "TfrxMemoView", "TfrxMemoView"}},
        {{l.Data, l.Memo2}, {"TfrxMasterData", "TfrxMemoView"}},
    };
    for (const Case& c : cases) {
        s.Sel.Clear();
        for (TfrxComponent* x : c.Selected) s.Sel.Add(x);
        std::vector<std::string> got;
        for (auto& e : Elements(clip.CopyText())) got.push_back(e.first);
        EXPECT_EQ(got, c.Classes);
    }

    // The band alone pasted back: its objects go into the pasted band, at
    // their place in it; only the band is selected.
    s.Select({l.Data});
    std::string text = clip.CopyText();
    EXPECT_EQ(clip.PasteText(text), 3);
    ASSERT_EQ(s.Sel.Count(), 1);
    auto* band = static_cast<TfrxComponent*>(s.Sel.Items(0));
    EXPECT_EQ(band->Name(), "MasterData2");
    ASSERT_EQ(band->Objects().size(), 2u);
    EXPECT_EQ(band->Objects()[0]->Name(), "Memo3");
    EXPECT_DOUBLE_EQ(band->Objects()[0]->Top(), 5);
    EXPECT_DOUBLE_EQ(band->Objects()[1]->Top(), 10);
}

TEST(Clipboard, PasteRules)
{
    Layout l;
    TSelection s(&l.Report, l.Page);
    TfrxClipboard clip(&s);
    s.Select({l.Footer, l.Memo1});
    const std::string text = clip.CopyText();

    // A second page footer is dropped; the memo comes.
    EXPECT_EQ(clip.PasteText(text), 1);
    EXPECT_EQ(s.Sel.Count(), 1);
    int footers = 0;
    for (TfrxComponent* c : l.Page->Objects()) footers += c->Is<TfrxPageFooter>();
    EXPECT_EQ(footers, 1);

    // A dialog page takes no report objects: the page itself is selected.
    auto* dialog = new TfrxDialogPage(&l.Report);
    dialog->SetName("DialogPage1");
    TSelection d(&l.Report, dialog);
    TfrxClipboard onDialog(&d);
    EXPECT_EQ(onDialog.PasteText(text), 0);
    ASSERT_EQ(d.Sel.Count(), 1);
    EXPECT_EQ(d.Sel.Items(0), dialog);
    EXPECT_TRUE(dialog->Objects().empty());

    // A broken element ends the paste quietly after what was read.
    EXPECT_EQ(clip.PasteText(text.substr(0, text.rfind("<TfrxMemoView")) + "<TfrxMemoView Left=\"1"), 0);
    EXPECT_EQ(clip.PasteText(std::string("#FR3 clipboard#\n\r<TfrxNoSuchView Left=\"1\"/>")), 0);
    // Text from elsewhere naming a page or a report pastes nothing for them.
    const int pages = l.Report.PagesCount();
    EXPECT_EQ(clip.PasteText("#FR3 clipboard#\n\r<TfrxReportPage/><TfrxReport/><TfrxMemoView Top=\"3\"/>"), 1);
    EXPECT_EQ(l.Report.PagesCount(), pages);
    for (TfrxComponent* c : l.Page->Objects()) EXPECT_FALSE(c->Is<TfrxPage>());
}

TEST(Clipboard, PasteAvailableOnlyWithTheMarkerAtTheStart)
{
    GuiTest::Init();
    Layout l;
    TSelection s(&l.Report, l.Page);
    TfrxClipboard clip(&s);
    struct Case {
        std::string Text;
        bool Available;
    };
    const Case cases[] = {
        {"#FR3 clipboard#\n\r<TfrxMemoView/>", true},
        {"x#FR3 clipboard#\n\r", false},
        {"#FR3 clipboar", false},
        {"", false},
    };
    for (const Case& c : cases) {
        Clipboard()->SetAsText(c.Text);
        EXPECT_EQ(clip.PasteAvailable(), c.Available) << c.Text;
    }
}

}  // namespace
