// The reference-list windows and the record picker over a fresh school
// database: each window opened by its facade routine with its list, caption
// and layout, the tool bar driving the list, and the picker's search fields,
// contains filter, menu and hand-over of the chosen record.
#include "EditForms.h"
#include "Facade.h"
#include "InfoList.h"
#include "Picker.h"
#include "Uis.h"
#include "UisGrids.h"
#include "UiTestDb.h"

#include "ComCtrls.h"
#include "DB.h"
#include "Menus.h"
#include "Objs.h"
#include "qzCtrls.h"

namespace {

class ListWindowsTest : public UiDbTest {
protected:
    void SetUp() override
    {
        UiDbTest::SetUp();
        GOperator->Load("sa");
        Exec("insert into recitems (Id, Name) values (1, '学费'), (2, '补考费')");
        Exec("insert into examitems (Id, Name) values (1, '科目一'), (2, '科目二'), (3, '科目三')");
        Exec("insert into employees (Id, Name, Duty, Tel) values (1, '王教练', '教练员', '020-1'), "
             "(2, 'O''Neil', '业务员', '020-2'), (3, '赵教练', '教练员', '020-3'), (4, '张业务', '业务员', '020-4')");
        Exec("insert into cars (Id, CarNo, Brand, Seats) values (1, '粤A12345', '桑塔纳', 5), (2, '粤B54321', '捷达', 5)");
    }
    void TearDown() override
    {
        // Windows left open by a test go with it.
        for (int i = Screen->FormCount() - 1; i >= 0; --i)
            if (auto* f = dynamic_cast<TInfoListFrm*>(Screen->Forms(i))) delete f;
        UiDbTest::TearDown();
    }

    static std::vector<TInfoListFrm*> ShownListWindows()
    {
        std::vector<TInfoListFrm*> out;
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* f = dynamic_cast<TInfoListFrm*>(Screen->Forms(i)); f && f->Visible()) out.push_back(f);
        return out;
    }

    static std::vector<std::string> MenuCaptions(TMenu* menu)
    {
        std::vector<std::string> out;
        for (int i = 0; i < menu->Items()->Count(); ++i) out.push_back(menu->Items()->Items(i)->Caption());
        return out;
    }

    static std::vector<std::string> ComboItems(TComboBox* c)
    {
        std::vector<std::string> out;
        for (int i = 0; i < c->Items()->Count(); ++i) out.push_back(c->Items()->Strings(i));
        return out;
    }
};

TEST_F(ListWindowsTest, EachListWindowOpensFromItsFacadeRoutine)
{
    struct {
        void (*Open)();
        const char* Caption;
        int Layout;
        int Rows;
    } cases[] = {
        {Facade::ShowTrainers, "教练员", 1003, 2},   {Facade::ShowSalesmen, "业务员", 1013, 2},
        {Facade::ShowCars, "车辆记录", 1004, 2},     {Facade::ShowRecitems, "收费项目", 1008, 2},
        {Facade::ShowExamitems, "考试科目", 1010, 3},
    };
    for (const auto& c : cases) {
        c.Open();
        GuiTest::ProcessEvents();
        auto shown = ShownListWindows();
        ASSERT_EQ(shown.size(), 1u) << c.Caption;
        TInfoListFrm* f = shown[0];
        EXPECT_EQ(f->Caption(), c.Caption);
        EXPECT_EQ(f->FormStyle(), fsStayOnTop);
        EXPECT_EQ(f->Grid->Tag(), c.Layout);
        ASSERT_NE(f->List, nullptr);
        ASSERT_NE(f->Grid->DataSet(), nullptr);
        EXPECT_EQ(f->Grid->DataSet()->RecordCount(), c.Rows) << c.Caption;
        EXPECT_EQ(f->Grid->RowCount(), c.Rows) << c.Caption;
        // Closing frees the window and its list.
        TWeakRef<TInfoListFrm> alive(f);
        f->Close();
        GuiTest::ProcessEvents();
        EXPECT_EQ(alive.Get(), nullptr) << c.Caption;
    }
    // Each opening is a window of its own.
    Facade::ShowCars();
    Facade::ShowCars();
    EXPECT_EQ(ShownListWindows().size(), 2u);
}

TEST_F(ListWindowsTest, ToolBarDrivesTheList)
{
    TInfoListFrm* f = TInfoListFrm::ShowCars();
    std::vector<std::string> captions;
    for (int i = 0; i < f->ToolBar1->ButtonCount(); ++i) {
        TToolButton* b = f->ToolBar1->Buttons(i);
        captions.push_back(b->Style() == tbsSeparator ? "|" : b->Caption());
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"添加", "修改", "删除", "|", "刷新", "导入", "导出", "|", "打印", "排序",
                                                  "设置", "|", " 退出 "}));
    EXPECT_EQ(f->TopPanel1->Height(), 61);
    EXPECT_FALSE(f->ProgressBar1->Visible());

    // "导入" re-queries when the import brought records in.
    Uis::SetImportRoutine(TImportKind::Cars, [this] {
        Exec("insert into cars (Id, CarNo) values (3, '粤C1')");
        return true;
    });
    f->ToolButton11->Click();
    Uis::SetImportRoutine(TImportKind::Cars, nullptr);
    EXPECT_EQ(f->Grid->DataSet()->RecordCount(), 3);
    // "刷新" re-queries the cars.
    Exec("insert into cars (Id, CarNo) values (4, '粤D1')");
    f->ToolButton4->Click();
    EXPECT_EQ(f->Grid->DataSet()->RecordCount(), 4);

    // The grid's double click edits the current car, like "修改".
    bool edited = false;
    TDialogScript script({[&] {
        auto* e = ShownForm<TCarEditFrm>();
        ASSERT_NE(e, nullptr);
        edited = e->edtCarNo1->GetText() == "粤A12345";
        e->edtCarNo1->SetText("粤A99999");
        e->btnOk1->Click();
    }});
    f->Grid->DataSet()->First();
    f->Grid->OnDblClick(f->Grid);
    EXPECT_TRUE(edited);
    EXPECT_EQ(Value("select CarNo from cars where Id=1"), "粤A99999");
    f->Grid->DataSet()->First();
    EXPECT_EQ(f->Grid->DataSet()->FieldByName("CarNo")->AsString(), "粤A99999");

    // "删除" asks, then deletes the current car.
    Rec.Host->QueueMessageBox(IDOK);
    f->ToolButton3->Click();
    EXPECT_EQ(Count("cars"), 3);

    // Reload runs the query again; a closed set only says so.
    Exec("insert into cars (Id, CarNo) values (5, '粤E1')");
    f->Reload();
    EXPECT_EQ(f->Grid->DataSet()->RecordCount(), 4);
    f->Grid->DataSet()->Close();
    f->Reload();
    EXPECT_FALSE(f->Grid->DataSet()->Active());
    ASSERT_FALSE(Rec.Messages().empty());
    EXPECT_NE(Rec.Messages().back().find("请先打开数据集再操作"), std::string::npos);

    // "设置" drops the grid's own menu down.
    std::vector<std::string> shown;
    GuiTest::Later([&] {
        for (const auto& item : GuiTest::ShownPopupMenu()) shown.push_back(item.Caption);
        GuiTest::ClosePopupMenu();
    });
    f->ToolButton7->Click();
    EXPECT_EQ(shown, MenuCaptions(f->Grid->PopupMenuQz()));
    EXPECT_FALSE(shown.empty());

    f->ToolButton10->Click();
    GuiTest::ProcessEvents();
    EXPECT_TRUE(ShownListWindows().empty());
}

TEST_F(ListWindowsTest, FeeItemWindowRefreshAndImportDoNothing)
{
    TInfoListFrm* f = TInfoListFrm::ShowRecitems();
    Exec("insert into recitems (Id, Name) values (3, '资料费')");
    f->ToolButton4->Click();
    f->ToolButton11->Click();
    f->ToolButton5->Click();
    EXPECT_EQ(f->Grid->DataSet()->RecordCount(), 2);
    EXPECT_TRUE(Rec.Messages().empty());
}

TEST_F(ListWindowsTest, PictureOfAListWindow)
{
    TInfoListFrm* f = TInfoListFrm::ShowTrainers();
    GuiTest::ProcessEvents();
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) {
        EXPECT_TRUE(GuiTest::SavePng(f, std::string(dir) + "/InfoListFrm.png"));
    }
    EXPECT_EQ(f->ClientWidth(), 750);
    EXPECT_GT(f->Grid->Height(), 300);
    EXPECT_EQ(f->Grid->Top(), f->TopPanel1->Top() + f->TopPanel1->Height());
}

// ---- picker -----------------------------------------------------------------------------

TEST_F(ListWindowsTest, PickerSearchFieldsAreTheTextFields)
{
    TEmployeeSet employees;
    employees.Query();
    TPickerFrm p;
    p.BindDataSet(employees.DataSet());
    // Text fields holding data, in field order; the date, the number and the memo are not searched.
    EXPECT_EQ(ComboItems(p.SrchCombo1), (std::vector<std::string>{"姓名", "职务", "性别", "联系电话", "联系地址"}));
    EXPECT_EQ(p.SrchCombo1->Items()->Objects(0), employees.NameFld);
    EXPECT_EQ(p.Grid->DataSet(), employees.DataSet());

    // No text field: no search field, and typing filters nothing.
    TQzClientDataSet numbers;
    numbers.AddFieldDef(TIntegerField::StaticClass(), "N", 0, true, ftInteger, "数");
    numbers.DataSet()->CreateDataSet();
    TPickerFrm q;
    q.BindDataSet(numbers.DataSet());
    EXPECT_EQ(q.SrchCombo1->Items()->Count(), 0);
    q.edtValue1->SetText("1");
    EXPECT_FALSE(numbers.DataSet()->Filtered());
}

TEST_F(ListWindowsTest, PickerContainsFilterTakesAnyText)
{
    EXPECT_EQ(TPickerFrm::ContainsFilter("Name", "张"), "Name like '%张%'");
    EXPECT_EQ(TPickerFrm::ContainsFilter("Name", "O'Neil"), "Name like '%O''Neil%'");
    EXPECT_EQ(TPickerFrm::ContainsFilter("Name", "' or 1=1 or Name like '"), "Name like '%'' or 1=1 or Name like ''%'");

    TEmployeeSet employees;
    employees.Query();
    TDataSet* ds = employees.DataSet();
    TPickerFrm p;
    p.BindDataSet(ds);
    p.SrchCombo1->SetItemIndex(0);
    struct {
        const char* Typed;
        const char* Names;
    } cases[] = {
        {"教练", "王教练,赵教练"}, {"O'N", "O'Neil"}, {"'", "O'Neil"}, {"' or 1=1 or Name like '", ""}, {"", "王教练,O'Neil,赵教练,张业务"},
    };
    for (const auto& c : cases) {
        p.edtValue1->SetText(c.Typed);
        EXPECT_EQ(Join(employees.NameFld), c.Names) << c.Typed;
        EXPECT_EQ(ds->Filtered(), *c.Typed != 0) << c.Typed;
    }
    // Another search field clears the value, and with it the filter.
    p.edtValue1->SetText("教练");
    p.SrchCombo1->SetItemIndex(3);
    p.SrchCombo1->OnChange(p.SrchCombo1);
    EXPECT_EQ(p.edtValue1->GetText(), "");
    EXPECT_FALSE(ds->Filtered());
    p.edtValue1->SetText("-3");
    EXPECT_EQ(Join(employees.NameFld), "赵教练");
    EXPECT_TRUE(Rec.Messages().empty());
}

TEST_F(ListWindowsTest, PickerMenuOkCancelAndNew)
{
    TRecitemList list(nullptr);
    list.Query();
    std::vector<std::string> menu;
    bool openWithoutHandler = false;
    TDialogScript script({[&] {
        auto* p = ShownForm<TPickerFrm>();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->Caption(), "选择");
        EXPECT_EQ(p->Grid->Tag(), 1007);
        menu = MenuCaptions(p->Grid->PopupMenuQz());
        // "设置 ▼" pops the same menu up under the button.
        std::vector<std::string> popped;
        GuiTest::Later([&] {
            for (const auto& item : GuiTest::ShownPopupMenu()) popped.push_back(item.Caption);
            GuiTest::ClosePopupMenu();
        });
        p->btnMore1->Click();
        EXPECT_EQ(popped, menu);
        // Without a pick handler OK keeps the picker open.
        p->btnOk1->Click();
        openWithoutHandler = p->ModalResult() == mrNone;
        if (const char* dir = getenv("QZ_KEEP_PICTURES")) {
            EXPECT_TRUE(GuiTest::SavePng(p, std::string(dir) + "/PickerFrm.png"));
        }
        p->Button2->Click();
    }});
    TPickerFrm::Execute(&list, list.DataSet(), 1007);
    EXPECT_TRUE(openWithoutHandler);
    ASSERT_GE(menu.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(menu.begin(), menu.begin() + 3), (std::vector<std::string>{"添加", "修改", "-"}));
    EXPECT_EQ(std::vector<std::string>(menu.end() - 2, menu.end()), (std::vector<std::string>{"-", "删除"}));
    EXPECT_EQ(menu[3], "排序");   // the grid's own commands in between
    // The menu's commands reach the list.
    TDialogScript script2({[&] {
        auto* p = ShownForm<TPickerFrm>();
        TMenuItem* del = p->Grid->PopupMenuQz()->Items()->Items(int(menu.size()) - 1);
        Rec.Host->QueueMessageBox(IDCANCEL);
        del->Click();
        p->Button2->Click();
    }});
    TPickerFrm::Execute(&list, list.DataSet(), 1007);
    EXPECT_EQ(Rec.Messages(), (std::vector<std::string>{"\r\n确定要删除记录吗?\t"}));

    // "新添" adds through the edit form; the new row shows in the picker.
    TDialogScript script3({[&] { ShownForm<TPickerFrm>()->btnNew1->Click(); },
                           [&] {
                               auto* e = ShownForm<TRecitemEditFrm>();
                               ASSERT_NE(e, nullptr);
                               e->edtName1->SetText("资料费");
                               e->btnOk1->Click();
                           },
                           [&] {
                               auto* p = ShownForm<TPickerFrm>();
                               EXPECT_EQ(p->Grid->RowCount(), 3);
                               p->Button2->Click();
                           }});
    TPickerFrm::Execute(&list, list.DataSet(), 1007);
    EXPECT_EQ(Join(list.NameFld), "学费,补考费,资料费");
}

TEST_F(ListWindowsTest, PickedRecordsReachTheControls)
{
    // A salesman picked into the student form's edit.
    Uis::TEdit edit(nullptr);
    TDialogScript script({[] {
        auto* p = ShownForm<TPickerFrm>();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->Grid->Tag(), 1002);
        EXPECT_EQ(p->Grid->RowCount(), 2);   // salesmen only
        p->SrchCombo1->SetItemIndex(0);
        p->edtValue1->SetText("张");
        p->btnOk1->Click();
    }});
    edit.PickSalesman();
    EXPECT_EQ(edit.GetText(), "张业务");
    EXPECT_EQ(edit.GetEmployeeId().AsInteger(), 4);

    // A car, by double click.
    TDialogScript cars({[] {
        auto* p = ShownForm<TPickerFrm>();
        EXPECT_EQ(p->Grid->Tag(), 1005);
        p->Grid->DataSet()->Last();
        p->Grid->OnDblClick(p->Grid);
    }});
    edit.PickCar();
    EXPECT_EQ(edit.GetText(), "粤B54321");

    // An exam item into a combo: the picker opens on the chosen item, and
    // cancelling it changes nothing.
    Uis::TComboBox combo(nullptr);
    combo.FillExamitems();
    combo.SetItemIndex(1);
    int current = 0;
    TDialogScript items({[&] {
                             auto* p = ShownForm<TPickerFrm>();
                             EXPECT_EQ(p->Grid->Tag(), 1009);
                             current = p->Grid->DataSet()->FieldByName("Id")->AsInteger();
                             p->Button2->Click();
                         },
                         [&] {
                             auto* p = ShownForm<TPickerFrm>();
                             p->Grid->DataSet()->Last();
                             p->btnOk1->Click();
                         }});
    combo.PickExamitem();
    EXPECT_EQ(current, 2);
    EXPECT_EQ(combo.ItemIndex(), 1);
    combo.PickExamitem();
    EXPECT_EQ(combo.GetText(), "科目三");
    EXPECT_EQ(combo.GetExamitemId().AsInteger(), 3);
}

}  // namespace
