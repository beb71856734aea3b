// The table view's customization form: which columns it lists, its page,
// its place and size, what its timer does with the application and the
// view's site, and a column dragged out of its list.
#include "GridTestBase.h"

#include "StringLists.h"
#include "Windows.h"
#include "cxGridCustomTableView.h"
#include "cxGridLevel.h"
#include "cxGridStrs.h"
#include "cxGridTableController.h"
#include "cxGridTableCustomizationForm.h"
#include "cxGridTableView.h"

#include <memory>

namespace {

class GridCustomizationFormTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        cxGridTableView::Initialize();
        View = static_cast<TcxGridTableView*>(Grid->CreateView(TcxGridTableView::StaticClass()));
        Grid->RootLevel()->Add()->SetGridView(View);
        for (const char* caption : {"姓名", "电话", "地址", "备注", "Email"}) {
            TcxGridColumn* column = View->CreateColumn();
            column->SetCaption(caption);
            column->DataBinding()->SetValueTypeClass(TcxStringValueType::Class());
        }
        Grid->SetAlign(alClient);
        ShowForm();
    }
    void TearDown() override
    {
        if (Form) Form->OnCustomizationEnded = nullptr;
        delete Form;
        Form = nullptr;
        GridTestBase::TearDown();
    }
    void MakeForm()
    {
        Form = new TcxGridTableCustomizationForm(static_cast<TcxCustomGridTableController*>(View->Controller()));
        Form->OnCustomizationEnded = [this](TObject*) {
            ++Ended;
            // The controller frees the form when customizing ends.
            TcxGridTableCustomizationForm* f = Form;
            Form = nullptr;
            delete f;
        };
    }
    std::vector<std::string> Listed()
    {
        std::vector<std::string> result;
        TStrings* items = Form->ColumnsListBox()->Items();
        for (int i = 0; i < items->Count(); ++i) result.push_back(items->Strings(i));
        return result;
    }
    TcxGridColumn* Column(int i) { return View->Columns(i); }
    TcxGridTableView* View = nullptr;
    TcxGridTableCustomizationForm* Form = nullptr;
    int Ended = 0;
};

}  // namespace

TEST_F(GridCustomizationFormTest, ListsTheColumnsTakenOffTheHeaderByCaption)
{
    Column(1)->SetVisible(false);   // 电话
    Column(3)->SetVisible(false);   // 备注
    Column(4)->SetVisible(false);   // Email, kept out of the form
    Column(4)->SetHidden(true);
    Column(2)->SetHidden(true);     // 地址: visible, so never listed anyway
    MakeForm();
    EXPECT_EQ(Form->Caption(), "Customization");
    EXPECT_EQ(Form->ColumnsPage()->Caption(), "Columns");
    // Captions in the order of their 8-bit text: 备注 (bei) before 电话 (dian).
    EXPECT_EQ(Listed(), (std::vector<std::string>{"备注", "电话"}));
    EXPECT_EQ(Form->ColumnsListBox()->ItemObject(0), Column(3));
    // The preview's column is hidden from the form.
    View->Preview()->SetColumn(Column(3));
    Form->RefreshData();
    EXPECT_EQ(Listed(), (std::vector<std::string>{"电话"}));
    View->Preview()->SetColumn(nullptr);
    // The view tells the form when a column shows again.
    Column(1)->SetVisible(true);
    View->RefreshCustomizationForm();
    EXPECT_EQ(Listed(), (std::vector<std::string>{"备注"}));
}

TEST_F(GridCustomizationFormTest, MeasuresItsPartsFromItsFont)
{
    MakeForm();
    TCanvas* c = Form->Canvas();
    c->Font()->Assign(Form->Font());
    const int qq = c->TextHeight("Qq");
    EXPECT_EQ(Form->Offset(), qq / 6);
    EXPECT_EQ(Form->Spacing(), 2 * (qq / 6));
    TcxGridTableColumnsListBox* list = Form->ColumnsListBox();
    list->Canvas()->Font()->Assign(list->Font());
    EXPECT_EQ(list->ItemHeight(), list->Canvas()->TextHeight("Qq") + 2 * 1 + 4);
    EXPECT_TRUE(list->Sorted());
    EXPECT_EQ(list->Color(), clBtnFace);
    EXPECT_EQ(list->Style(), lbOwnerDrawFixed);
    EXPECT_EQ(Form->PageControl()->Left(), Form->Offset());
    EXPECT_EQ(Form->PageControl()->Top(), Form->Offset());
}

TEST_F(GridCustomizationFormTest, TheColumnsTabShowsOnlyWhileColumnsMayMove)
{
    View->OptionsCustomize()->SetColumnMoving(false);
    MakeForm();
    EXPECT_FALSE(Form->ColumnsPage()->TabVisible());
    View->OptionsCustomize()->SetColumnMoving(true);
    Form->RefreshData();
    EXPECT_TRUE(Form->ColumnsPage()->TabVisible());
}

TEST_F(GridCustomizationFormTest, StandsAtTheBottomRightOfTheSite)
{
    TcxGridSite* site = View->Site();
    ASSERT_NE(site, nullptr);
    const TRect r = TcxGridTableCustomizationForm::DefaultBounds(site);
    EXPECT_EQ(r.Width(), 180);
    EXPECT_EQ(r.Height(), 300);
    const TPoint corner = site->ClientToScreen(site->ClientRect().BottomRight());
    EXPECT_EQ(r.Right, corner.X);
    EXPECT_EQ(r.Bottom, corner.Y);
}

TEST_F(GridCustomizationFormTest, ItsTimerHidesItWithTheApplicationAndEndsWithTheSite)
{
    GuiTest::TManualTime time;
    TCustomForm* savedMain = Application->MainForm();
    Application->SetMainForm(GridTestBase::Form);
    MakeForm();
    const TRect r = TcxGridTableCustomizationForm::DefaultBounds(View->Site());
    Form->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    Form->Show();
    GuiTest::ProcessEvents();
    ASSERT_NE(Form->Timer(), nullptr);
    EXPECT_EQ(Form->Timer()->Interval(), 100u);
    // Minimising the application hides the form; restoring shows it again.
    GridTestBase::Form->SetWindowState(wsMinimized);
    time.Advance(100);
    ASSERT_NE(Form, nullptr);
    EXPECT_FALSE(Form->Visible());
    GridTestBase::Form->SetWindowState(wsNormal);
    time.Advance(100);
    ASSERT_NE(Form, nullptr);
    EXPECT_TRUE(Form->Visible());
    EXPECT_EQ(Ended, 0);
    // Hiding the grid ends customizing, which frees the form.
    Grid->SetVisible(false);
    time.Advance(100);
    EXPECT_EQ(Ended, 1);
    EXPECT_EQ(Form, nullptr);
    Application->SetMainForm(savedMain);
}

TEST_F(GridCustomizationFormTest, ClosingFreesTheFormAndEndsCustomizing)
{
    MakeForm();
    Form->Show();
    GuiTest::ProcessEvents();
    TWeakRef<TcxGridTableCustomizationForm> form(Form);
    Form->OnCustomizationEnded = [this](TObject*) {
        ++Ended;
        Form = nullptr;   // it frees itself
    };
    Form->Close();
    GuiTest::ProcessEvents();
    EXPECT_EQ(Ended, 1);
    EXPECT_FALSE(form);
}

TEST_F(GridCustomizationFormTest, AColumnDraggedOutOfTheListStartsMovingFromTheSite)
{
    Column(1)->SetVisible(false);
    Column(3)->SetVisible(false);
    MakeForm();
    Form->Show();
    GuiTest::ProcessEvents();
    std::vector<std::pair<TcxGridColumn*, TPoint>> started;
    Form->OnStartColumnDrag = [&](TcxGridTableCustomizationForm*, TcxGridColumn* AColumn, const TPoint& P) {
        started.emplace_back(AColumn, P);
    };
    TcxGridTableColumnsListBox* list = Form->ColumnsListBox();
    const TRect item = list->ItemRect(1);   // 电话
    const TPoint press{item.Left + 5, item.Top + 3};
    GuiTest::MouseDown(list, mbLeft, press);
    EXPECT_EQ(list->DragItemIndex(), 1);
    // Inside the drag threshold over the same item nothing starts.
    GuiTest::MouseMove(list, Point(press.X + 1, press.Y), {ssLeft});
    EXPECT_TRUE(started.empty());
    GuiTest::MouseMove(list, Point(press.X + 30, press.Y), {ssLeft});
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].first, Column(1));
    const TPoint expected = View->Site()->ScreenToClient(list->ClientToScreen(press));
    EXPECT_EQ(started[0].second.X, expected.X);
    EXPECT_EQ(started[0].second.Y, expected.Y);
    EXPECT_EQ(list->DragItemIndex(), -1) << "the press is forgotten";
    GuiTest::MouseUp(list, mbLeft, Point(press.X + 30, press.Y));
    // A release forgets a press that did not become a drag.
    GuiTest::MouseDown(list, mbLeft, press);
    GuiTest::MouseUp(list, mbLeft, press);
    EXPECT_EQ(list->DragItemIndex(), -1);
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) {
        list->SetItemIndex(0);
        GuiTest::ProcessEvents();
        GuiTest::SavePng(Form, std::string(dir) + "/grid-customization-form.png");
    }
}

TEST_F(GridCustomizationFormTest, TheControllerShowsItWhileCustomizingAndTheFormEndsIt)
{
    cxGridTableController::Initialize();
    cxGridTableCustomizationForm::Initialize();
    // A view made now has the table controller.
    auto* view = static_cast<TcxGridTableView*>(Grid->CreateView(TcxGridTableView::StaticClass()));
    Grid->RootLevel()->Add()->SetGridView(view);
    view->CreateColumn()->SetCaption("姓名");
    GuiTest::ProcessEvents();
    auto* controller = DynamicCast<TcxGridTableController>(view->Controller());
    ASSERT_NE(controller, nullptr);
    controller->SetCustomization(true);
    auto* form = DynamicCast<TcxGridTableCustomizationForm>(controller->CustomizationForm());
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(form->Width(), 180);
    EXPECT_EQ(form->Height(), 300);
    // Freed on its own, the form switches customizing off.
    delete form;
    EXPECT_FALSE(controller->Customization());
    EXPECT_EQ(controller->CustomizationForm(), nullptr);
    // Switched off by the controller, the form goes.
    controller->SetCustomization(true);
    TWeakRef<TForm> shown(controller->CustomizationForm());
    ASSERT_TRUE(shown);
    controller->SetCustomization(false);
    EXPECT_FALSE(shown);
    cxGridTableCustomizationForm::Finalize();
}
