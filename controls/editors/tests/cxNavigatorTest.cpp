#include "cxNavigator.h"

#include "Forms.h"
#include "GuiTesting.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"

#include <gtest/gtest.h>

namespace {

using namespace cxNavigator;

// A record set whose answers the test sets, noting the actions asked of it.
struct TFakeRecords : IcxNavigator {
    bool Bof = false, Eof = false, Insertable = true, Deletable = true, Editable = true, Editing = false,
         Bookmark = false;
    std::vector<int> Actions;
    int Cleared = 0;
    bool CanDelete() override { return Deletable; }
    bool CanEdit() override { return Editable; }
    bool CanInsert() override { return Insertable; }
    bool IsBof() override { return Bof; }
    bool IsBookmarkAvailable() override { return Bookmark; }
    bool IsEditing() override { return Editing; }
    bool IsEof() override { return Eof; }
    void ClearBookmark() override { ++Cleared; }
    void DoAction(int AButtonIndex) override { Actions.push_back(AButtonIndex); }
    TcxNavigatorControlNotifier* GetNotifier() override { return nullptr; }
    bool IsActive() override { return true; }
};

// A control that draws a strip in its client area and forwards the mouse.
class TNavigatorHost : public TCustomControl, public IcxNavigatorOwner {
public:
    explicit TNavigatorHost(TComponent* AOwner) : TCustomControl(AOwner)
    {
        Buttons = std::make_unique<TcxNavigatorControlButtons>(this);
        Buttons->OnGetNavigator = [this] { return HasRecords ? &Records : nullptr; };
        ViewInfo = std::make_unique<TcxNavigatorViewInfo>(this, true);
    }
    TRect NavRect{4, 4, 244, 26};
    bool HasRecords = true;
    bool Hints = true;
    TFakeRecords Records;
    TcxLookAndFeel LookAndFeel;
    std::unique_ptr<TcxNavigatorControlButtons> Buttons;
    std::unique_ptr<TcxNavigatorViewInfo> ViewInfo;
    int StateChanges = 0, LayoutChanges = 0;

    TRect GetNavigatorRect() override { return NavRect; }
    TcxCustomNavigatorButtons* GetNavigatorButtonSet() override { return Buttons.get(); }
    TCanvas* GetNavigatorPaintCanvas() override { return Canvas(); }
    TWinControl* GetNavigatorWinControl() override { return this; }
    bool IsNavigatorFocused() override { return false; }
    TcxLookAndFeel* GetNavigatorLookAndFeel() override { return &LookAndFeel; }
    TComponent* GetNavigatorOwnerComponent() override { return this; }
    bool IsNavigatorHintEnabled() override { return Hints; }
    bool IsNavigatorTabStop() override { return false; }
    void NavigatorButtonsStateChanged() override
    {
        ++StateChanges;
        if (ViewInfo) ViewInfo->RefreshButtonsEnabled();
    }
    void NavigatorLayoutChanged() override
    {
        ++LayoutChanges;
        if (ViewInfo) ViewInfo->MakeDirty();
    }

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(clWindow);
        Canvas()->FillRect(ClientRect());
        ViewInfo->Paint();
    }
    void MouseDown(TMouseButton, TShiftState, int X, int Y) override { ViewInfo->MouseDown(X, Y); }
    void MouseMove(TShiftState, int X, int Y) override { ViewInfo->MouseMove(X, Y); }
    void MouseUp(TMouseButton, TShiftState, int, int) override { ViewInfo->MouseUp(); }
};

class NavigatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        cxLookAndFeels::Initialize();
        cxLookAndFeelPainters::Initialize();
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 300, 120);
        Host = new TNavigatorHost(Form);
        Host->SetParent(Form);
        Host->SetBounds(10, 10, 260, 40);
        Form->Show();
        GuiTest::ProcessEvents();
        Host->ViewInfo->Update();
    }
    void TearDown() override
    {
        delete Form;
        GuiTest::ProcessEvents();
    }
    TPoint CentreOf(int AButtonIndex)
    {
        for (int k = 0; k < Host->ViewInfo->ButtonCount(); ++k) {
            const TRect& b = Host->ViewInfo->ButtonInfo(k).Bounds;
            if (Host->ViewInfo->ButtonInfo(k).Button->DefaultIndex() == AButtonIndex)
                return TPoint{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
        }
        ADD_FAILURE() << "button " << AButtonIndex << " not laid out";
        return TPoint{-1, -1};
    }
    std::string EnabledMask()
    {
        std::string s;
        for (int k = 0; k < ButtonCount; ++k) s += Host->Buttons->Button(k)->InternalEnabled() ? '1' : '0';
        return s;
    }
    TForm* Form = nullptr;
    TNavigatorHost* Host = nullptr;
};

}  // namespace

TEST_F(NavigatorTest, EnabledStatesFollowTheRecordSet)
{
    struct Case {
        const char* Name;
        std::function<void(TNavigatorHost&)> Set;
        // first, prior page, prior, next, next page, last, insert, delete,
        // edit, post, cancel, refresh, save bookmark, goto bookmark, filter
        const char* Enabled;
    };
    const Case cases[] = {
        {"browsing in the middle", [](auto&) {}, "111111111001101"},
        {"at the first record", [](auto& h) { h.Records.Bof = true; }, "000111111001101"},
        {"at the last record", [](auto& h) { h.Records.Eof = true; }, "111000111001101"},
        {"editing", [](auto& h) { h.Records.Editing = true; }, "111111110111101"},
        {"read-only", [](auto& h) { h.Records.Editable = h.Records.Insertable = h.Records.Deletable = false; },
         "111111000001101"},
        {"a bookmark saved", [](auto& h) { h.Records.Bookmark = true; }, "111111111001111"},
        {"no record set", [](auto& h) { h.HasRecords = false; }, "000000000000000"},
        {"host disabled", [](auto& h) { h.SetEnabled(false); }, "000000000000000"},
    };
    for (const Case& c : cases) {
        Host->Records = TFakeRecords{};
        Host->HasRecords = true;
        Host->SetEnabled(true);
        c.Set(*Host);
        EXPECT_EQ(EnabledMask(), c.Enabled) << c.Name;
    }
    // A button switched off stays off whatever the records say.
    Host->Records = TFakeRecords{};
    Host->SetEnabled(true);
    Host->Buttons->Next()->SetEnabled(false);
    EXPECT_FALSE(Host->Buttons->Next()->InternalEnabled());
}

TEST_F(NavigatorTest, ClickDispatch)
{
    TcxNavigatorControlButtons* set = Host->Buttons.get();
    // The set's own action: the record set acts, the host hears of new states.
    set->Delete()->Click();
    EXPECT_EQ(Host->Records.Actions, std::vector<int>{nbDelete});
    EXPECT_EQ(Host->StateChanges, 1);

    // A handler that says it is done stops the action; one that does not lets it through.
    std::vector<int> asked;
    set->OnButtonClick = [&](TObject* Sender, int AIndex, bool& ADone) {
        EXPECT_EQ(Sender, set);
        asked.push_back(AIndex);
        ADone = AIndex == nbPost;
    };
    set->Post()->Click();
    set->Cancel()->Click();
    EXPECT_EQ(asked, (std::vector<int>{nbPost, nbCancel}));
    EXPECT_EQ(Host->Records.Actions, (std::vector<int>{nbDelete, nbCancel}));

    // A button's own OnClick is all that runs.
    TObject* sender = nullptr;
    set->First()->OnClick = [&](TObject* s) { sender = s; };
    set->First()->Click();
    EXPECT_EQ(sender, set->First());
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(Host->Records.Actions.size(), 2u);

    // Without a record set nothing acts, but the host still hears of it.
    Host->HasRecords = false;
    set->OnButtonClick = nullptr;
    int before = Host->StateChanges;
    set->Last()->Click();
    EXPECT_EQ(Host->Records.Actions.size(), 2u);
    EXPECT_EQ(Host->StateChanges, before + 1);

    // A saved bookmark is released through the record set.
    Host->HasRecords = true;
    set->ReleaseBookmark();
    EXPECT_EQ(Host->Records.Cleared, 0);
    Host->Records.Bookmark = true;
    set->ReleaseBookmark();
    EXPECT_EQ(Host->Records.Cleared, 1);
}

TEST_F(NavigatorTest, HintsImagesAndAssign)
{
    const char* texts[ButtonCount] = {"First record", "Prior page",  "Prior record",  "Next record",
                                      "Next page",    "Last record", "Insert record", "Delete record",
                                      "Edit record",  "Post edit",   "Cancel edit",   "Refresh data",
                                      "Save Bookmark", "Goto Bookmark", "Filter data"};
    for (int k = 0; k < ButtonCount; ++k) EXPECT_EQ(Host->Buttons->Button(k)->InternalHint(), texts[k]) << k;
    EXPECT_EQ(Host->Buttons->GetButtonHint(15), "");
    Host->Buttons->Next()->Hint = "下一条";
    EXPECT_EQ(Host->Buttons->Next()->InternalHint(), "下一条");

    // The default glyphs, until the set's images and a button's index are given.
    TcxNavigatorButton* next = Host->Buttons->Next();
    EXPECT_EQ(next->GetImageList(), DefaultImages());
    EXPECT_EQ(next->GetImageListIndex(), nbNext);
    EXPECT_EQ(DefaultImages()->Count(), ButtonCount);
    EXPECT_EQ(next->GetWidth(), 12);
    EXPECT_EQ(next->GetHeight(), 11);
    int layouts = Host->LayoutChanges;
    {
        TImageList images(16, 16);
        TBitmap b;
        b.SetSize(32, 16);
        images.AddMasked(&b, clOlive);
        Host->Buttons->SetImages(&images);
        EXPECT_EQ(Host->LayoutChanges, layouts + 1);
        EXPECT_EQ(next->GetImageList(), DefaultImages());   // no index of its own yet
        next->SetImageIndex(1);
        EXPECT_EQ(next->GetImageList(), &images);
        EXPECT_EQ(next->GetWidth(), 16);
        images.AddMasked(&b, clOlive);   // a change of the list lays the strip out again
        EXPECT_GT(Host->LayoutChanges, layouts + 2);
    }
    // A freed image list is forgotten.
    EXPECT_EQ(Host->Buttons->Images(), nullptr);
    EXPECT_EQ(next->GetImageList(), DefaultImages());

    // Assign copies every button's settings and the set's.
    TcxNavigatorControlButtons copy(nullptr);
    Host->Buttons->ConfirmDelete = false;
    Host->Buttons->Insert()->SetVisible(false);
    copy.Assign(Host->Buttons.get());
    EXPECT_FALSE(copy.ConfirmDelete);
    EXPECT_FALSE(copy.Insert()->Visible());
    EXPECT_TRUE(copy.Insert()->IsVisibleStored());
    EXPECT_EQ(copy.Next()->Hint, "下一条");
    EXPECT_EQ(copy.Next()->ImageIndex(), 1);
    EXPECT_FALSE(copy.Delete()->IsVisibleStored());
}

TEST_F(NavigatorTest, LayoutSharesTheWidth)
{
    for (int k = 0; k < ButtonCount; ++k)
        Host->Buttons->Button(k)->SetVisible(k == nbFirst || k == nbPrior || k == nbNext || k == nbLast);
    TcxCustomLookAndFeelPainterClass painter = Host->LookAndFeel.Painter();
    int sum = 0;
    std::vector<int> minWidths;
    for (int k = 0; k < 4; ++k) {
        TRect off = painter->ButtonGroupFrameWidths(4, k);
        minWidths.push_back(12 + off.Left + off.Right + 1);
        sum += minWidths.back();
    }
    struct Case {
        int Wanted;
        int Extra;
    };
    for (const Case& c : {Case{sum + 43, 10}, Case{sum, 0}, Case{sum - 20, 0}, Case{sum + 3, 0}}) {
        int w = c.Wanted, h = 2;
        Host->ViewInfo->Calculate(w, h, false);
        ASSERT_EQ(Host->ViewInfo->ButtonCount(), 4);
        EXPECT_EQ(w, sum + 4 * c.Extra) << c.Wanted;   // the remainder stays unused
        int x = Host->NavRect.Left;
        for (int k = 0; k < 4; ++k) {
            const TRect& b = Host->ViewInfo->ButtonInfo(k).Bounds;
            EXPECT_EQ(b, (TRect{x, Host->NavRect.Top, x + minWidths[k] + c.Extra, Host->NavRect.Top + h}))
                << c.Wanted << " button " << k;
            x = b.Right;
        }
        EXPECT_GE(h, 3);   // at least the frame around nothing
    }
    // Asked with the glyph, the height takes it in.
    int w = 0, h = 0;
    Host->ViewInfo->Calculate(w, h, true);
    EXPECT_GE(h, 11 + 1);
    EXPECT_EQ(Host->ViewInfo->ButtonInfo(2).Button, Host->Buttons->Next());
}

TEST_F(NavigatorTest, HoldingNextRepeatsAndLastDoesNot)
{
    GuiTest::TManualTime time;
    TPoint next = CentreOf(nbNext);
    GuiTest::MouseMove(Host, next);
    GuiTest::MouseDown(Host, mbLeft, next);
    EXPECT_EQ(Host->ViewInfo->PressedButton(), Host->Buttons->Next());
    time.Advance(399);
    EXPECT_TRUE(Host->Records.Actions.empty());
    time.Advance(1);
    EXPECT_EQ(Host->Records.Actions.size(), 1u);
    time.Advance(100);
    time.Advance(100);
    EXPECT_EQ(Host->Records.Actions.size(), 3u);
    // Off the button nothing repeats; back on it, it goes on.
    GuiTest::MouseMove(Host, CentreOf(nbPrior), TShiftState{ssLeft});
    time.Advance(300);
    EXPECT_EQ(Host->Records.Actions.size(), 3u);
    GuiTest::MouseMove(Host, next, TShiftState{ssLeft});
    time.Advance(100);
    EXPECT_EQ(Host->Records.Actions.size(), 4u);
    GuiTest::MouseUp(Host, mbLeft, next);   // the release clicks once more
    EXPECT_EQ(Host->Records.Actions, std::vector<int>(5, nbNext));
    EXPECT_EQ(Host->ViewInfo->PressedButton(), nullptr);
    time.Advance(1000);
    EXPECT_EQ(Host->Records.Actions.size(), 5u);

    Host->Records.Actions.clear();
    TPoint last = CentreOf(nbLast);
    GuiTest::MouseMove(Host, last);
    GuiTest::MouseDown(Host, mbLeft, last);
    time.Advance(1000);
    GuiTest::MouseUp(Host, mbLeft, last);
    EXPECT_EQ(Host->Records.Actions, std::vector<int>{nbLast});

    // A disabled button is not pressed.
    Host->Records.Actions.clear();
    Host->Records.Bof = true;
    Host->ViewInfo->RefreshButtonsEnabled();
    TPoint first = CentreOf(nbFirst);
    GuiTest::MouseMove(Host, first);
    GuiTest::MouseDown(Host, mbLeft, first);
    GuiTest::MouseUp(Host, mbLeft, first);
    EXPECT_TRUE(Host->Records.Actions.empty());
}

TEST_F(NavigatorTest, HintShowsAfterAPause)
{
    GuiTest::TManualTime time;
    TPoint insert = CentreOf(nbInsert);
    GuiTest::MouseMove(Host, insert);
    time.Advance(499);
    EXPECT_EQ(Host->ViewInfo->ShownHint(), "");
    time.Advance(1);
    EXPECT_EQ(Host->ViewInfo->ShownHint(), "Insert record");
    // Moving to another button shows its hint at once.
    GuiTest::MouseMove(Host, CentreOf(nbDelete));
    EXPECT_EQ(Host->ViewInfo->ShownHint(), "Delete record");
    // Off the strip the hint goes.
    GuiTest::MouseMove(Host, TPoint{250, 35});
    EXPECT_EQ(Host->ViewInfo->ShownHint(), "");
    // Pressing hides it; hints switched off never show.
    Host->Hints = false;
    GuiTest::MouseMove(Host, insert);
    time.Advance(600);
    EXPECT_EQ(Host->ViewInfo->ShownHint(), "");
}

// The strip in the four looks, for the eye: editors_navigator.png in the
// build folder.
TEST_F(NavigatorTest, PaintsTheStrip)
{
    Form->SetBounds(100, 100, 300, 160);
    const TcxLookAndFeelKind kinds[3] = {lfStandard, lfFlat, lfUltraFlat};
    std::vector<TNavigatorHost*> hosts{Host};
    Host->Records.Bof = true;
    for (int k = 1; k < 3; ++k) {
        auto* h = new TNavigatorHost(Form);
        h->SetParent(Form);
        h->SetBounds(10, 10 + 45 * k, 260, 40);
        h->Records.Editing = true;
        hosts.push_back(h);
    }
    for (int k = 0; k < 3; ++k) {
        hosts[k]->LookAndFeel.SetKind(kinds[k]);
        hosts[k]->ViewInfo->MakeDirty();
        hosts[k]->Invalidate();
    }
    GuiTest::ProcessEvents();
    // Hot and pressed: the next button of the last strip.
    TPoint next = TPoint{-1, -1};
    for (int k = 0; k < hosts[2]->ViewInfo->ButtonCount(); ++k)
        if (hosts[2]->ViewInfo->ButtonInfo(k).Button == hosts[2]->Buttons->Next()) {
            const TRect& b = hosts[2]->ViewInfo->ButtonInfo(k).Bounds;
            next = TPoint{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
        }
    hosts[2]->ViewInfo->MouseMove(next.X, next.Y);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(hosts[2]->ViewInfo->Selected());
    EXPECT_TRUE(GuiTest::SavePng(Form, "editors_navigator.png"));

    // A disabled glyph is not drawn in black; an enabled one is.
    auto blackIn = [&](TNavigatorHost* h, int AIndex) {
        const TRect& b = h->ViewInfo->ButtonInfo(AIndex).Bounds;
        int n = 0;
        for (int y = b.Top; y < b.Bottom; ++y)
            for (int x = b.Left; x < b.Right; ++x) n += GuiTest::PixelAt(h, TPoint{x, y}) == clBlack;
        return n;
    };
    EXPECT_EQ(blackIn(Host, nbFirst), 0);
    EXPECT_GT(blackIn(Host, nbNext), 10);
}
