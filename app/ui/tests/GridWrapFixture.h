// The grid wrappers' test frame: a fresh school database with five
// students, their list opened as the windows open it, and a shown form for
// a grid; the operator is "sa" (every right) unless a test says otherwise.
#pragma once

#include "UiTestDb.h"

#include "Database.h"
#include "Forms.h"
#include "Grids.h"
#include "Objs.h"
#include "qzProj.h"

#include <cstdlib>
#include <memory>
#include <string>

class GridWrapTest : public UiDbTest {
protected:
    void SetUp() override
    {
        UiDbTest::SetUp();
        Exec("insert into students (Id, Name, Sex, Signdate, Notes) values "
             "(1, '王伟', '男', '2008-03-05', '<b>A&B</b>'),"
             "(2, '李娜', '女', '2008-04-01', 'say \"hi\", ok'),"
             "(3, '张敏', '女', '2008-02-11', null),"
             "(4, 'O''Neil', '男', '2008-05-20', 'line1\r\nline2\tx'),"
             "(5, '陈静', '女', '2008-01-30', '')");
        GOperator->LoginId = "sa";
        GOperator->Rights = "";
        Students = std::make_unique<TRecordSet>();
        Students->Open("select Id, Name, Sex, Signdate, Notes from students order by Id");
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 560, 260);
    }
    void TearDown() override
    {
        Form.reset();
        Students.reset();
        GOperator->Reset();
        UiDbTest::TearDown();
    }
    TDataSet* Data() const { return Students->DataSet(); }
    // An operator without the right.
    void WithoutRight()
    {
        GOperator->LoginId = "bob";
        GOperator->Rights = ",10002,";
    }
    // A mouse click in the middle of a cell of a shown grid.
    static void ClickCell(TCustomGrid* grid, int col, int row)
    {
        const TRect r = grid->CellRect(col, row);
        GuiTest::Click(grid, TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
        GuiTest::ProcessEvents();
    }
    // The text of an information box as it shows.
    static std::string Info(const std::string& text) { return "\r\n" + text + "\t"; }
    // QZ_KEEP_PICTURES=DIR keeps a picture under DIR.
    static std::string PictureFile(const std::string& name)
    {
        const char* dir = std::getenv("QZ_KEEP_PICTURES");
        return dir ? std::string(dir) + "/" + name : std::string();
    }

    std::unique_ptr<TRecordSet> Students;
    std::unique_ptr<TForm> Form;
};
