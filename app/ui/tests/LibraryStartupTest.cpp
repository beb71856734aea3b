// The libraries' start-up and shut-down as the program runs them: the test
// environment has started them as the program does; they are shut down and
// started again twice in one process (the sanitizer build checks that nothing
// leaks, is freed twice or used after it went), with what each start-up must
// have made ready, and left started for the tests after.
#include "Clipbrd.h"
#include "DBGridEh.h"
#include "DBGridEhImpExp.h"
#include "DBGridTesting.h"
#include "StdCtrls.h"
#include "UiTestDb.h"
#include "cxControls.h"
#include "cxDBLookupComboBox.h"
#include "cxEdit.h"
#include "cxEditDBRegisteredRepositoryItems.h"
#include "cxEditDataRegisteredRepositoryItems.h"
#include "cxEditRepositoryItems.h"
#include "cxGridCustomTableView.h"
#include "cxGridCustomView.h"
#include "cxGridDBTableView.h"
#include "cxGridTableView.h"
#include "cxLookAndFeels.h"
#include "cxTextEdit.h"
#include "frxClass.h"
#include "frxPassw.h"
#include "fs_iinterpreter.h"
#include "qzStartup.h"

#include <gtest/gtest.h>

namespace {

TClass ItemClass(TcxEditRepositoryItem* item) { return item ? item->ClassType() : nullptr; }

// The default editors by value type and by field type.
void ExpectDefaultEditors()
{
    auto* byValue = cxEditDataRegisteredRepositoryItems::GetDefaultEditDataRepositoryItems();
    EXPECT_EQ(ItemClass(byValue->GetItemByValueTypeClass(TcxStringValueType::Class())),
              TcxEditRepositoryTextItem::StaticClass());
    EXPECT_EQ(ItemClass(byValue->GetItemByValueTypeClass(TcxBooleanValueType::Class())),
              TcxEditRepositoryCheckBoxItem::StaticClass());

    auto students = DBGridTest::FiveStudents();
    auto* byField = cxEditDBRegisteredRepositoryItems::GetDefaultEditDBRepositoryItems();
    TcxEditRepositoryItem* name = byField->GetItemByField(students->FieldByName("Name"));
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(name->Properties()->InheritsFrom(TcxCustomTextEditProperties::StaticClass()))
        << name->Properties()->ClassName();
    EXPECT_EQ(ItemClass(byField->GetItemByField(students->FieldByName("Passed"))),
              TcxEditRepositoryCheckBoxItem::StaticClass());
    EXPECT_EQ(ItemClass(byField->GetItemByField(students->FieldByName("Enrolled"))),
              TcxEditRepositoryDateItem::StaticClass());
    EXPECT_EQ(ItemClass(byField->GetLookupItem()), TcxEditRepositoryLookupComboBoxItem::StaticClass());
    // Editors chosen by name (a stored grid's columns) find their properties.
    EXPECT_NE(cxEdit::GetRegisteredEditProperties()->IndexOfClass(TcxTextEditProperties::StaticClass()), -1);
}

// A layout's password is asked in the report's own form; Cancel gives up.
void ExpectPasswordForm()
{
    ASSERT_TRUE(frxClass::PasswordPrompt);
    std::string shown;
    TDialogScript typed({[&] {
        TCustomForm* f = ModalForm();
        shown = f->ClassName();
        if (auto* p = dynamic_cast<TfrxPasswordForm*>(f)) p->PasswordE->SetText("口令1");
        f->SetModalResult(mrOk);
    }});
    std::string password;
    EXPECT_TRUE(frxClass::PasswordPrompt(password));
    EXPECT_EQ(shown, "TfrxPasswordForm");
    EXPECT_EQ(password, "口令1");

    auto cancelled = EndModal(mrCancel);
    password.clear();
    EXPECT_FALSE(frxClass::PasswordPrompt(password));
    EXPECT_EQ(password, "");
}

// Ctrl+C on a grid puts the selection on the clipboard in the grid's
// exchange formats, and Ctrl+F finds through the find dialog.
void ExpectGridExchange()
{
    EXPECT_TRUE(DBGridEh::FindDialogProc);
    auto students = DBGridTest::FiveStudents();
    DBGridTest::TGridHost host(students.get());
    TDBGridEh* grid = host.Grid;
    grid->SetOptions(grid->Options() + TDBGridOptions{dgMultiSelect});
    grid->SetEditActions({geaCopyEh});
    grid->Selection()->SelectWholeGrid();
    Clipboard()->Clear();
    WORD key = 'C';
    grid->KeyDown(key, {ssCtrl});
    TClipboard* cb = Clipboard();
    EXPECT_TRUE(cb->HasFormat(CF_TEXT));
    EXPECT_TRUE(cb->HasFormat(DBGridEhImpExp::CsvClipboardFormat()));
    EXPECT_TRUE(cb->HasFormat(DBGridEhImpExp::RtfClipboardFormat()));
    EXPECT_TRUE(cb->HasFormat(DBGridEhImpExp::VCLDBIFClipboardFormat()));
    EXPECT_NE(cb->AsText().find("张"), std::string::npos) << cb->AsText();
}

void ExpectStarted()
{
    EXPECT_TRUE(qzStartup::LibrariesStarted());
    // The control foundation: the root look-and-feel and the controls' cursors.
    EXPECT_NE(cxLookAndFeels::RootLookAndFeel(), nullptr);
    EXPECT_NE(Screen->Cursors(2100), Screen->Cursors(crDefault));
    ExpectDefaultEditors();
    // The grid's views are known by name (stored layouts name them), and
    // record views open the filter dialogs.
    TcxRegisteredClasses* views = cxGridCustomView::cxGridRegisteredViews();
    EXPECT_NE(views->IndexOfClass(TcxGridTableView::StaticClass()), -1);
    EXPECT_NE(views->IndexOfClass(TcxGridDBTableView::StaticClass()), -1);
    EXPECT_TRUE(cxGridCustomTableView::FilterDialogs().ShowFilterDialog);
    EXPECT_TRUE(cxGridCustomTableView::FilterDialogs().ShowFilterControlDialog);
    ExpectGridExchange();
    // The script bindings, the report classes and the barcode in the global script.
    TfsScript* global = fs_iinterpreter::GetGlobalScript();
    ASSERT_NE(global, nullptr);
    EXPECT_NE(global->FindClass("TfrxReport"), nullptr);
    EXPECT_NE(global->FindClass("TfrxBarCodeView"), nullptr);
    EXPECT_NE(global->FindClass("TStringList"), nullptr);
    ExpectPasswordForm();
    // Reports build with the engine.
    EXPECT_TRUE(frxClass::EngineFactory);
    EXPECT_TRUE(frxClass::PreviewRunner);
}

void ExpectShutDown()
{
    EXPECT_FALSE(qzStartup::LibrariesStarted());
    EXPECT_EQ(cxLookAndFeels::RootLookAndFeel(), nullptr);
    EXPECT_EQ(fs_iinterpreter::GetGlobalScript(), nullptr);
    // The registries are gone; asking makes new, empty ones.
    EXPECT_EQ(cxEditDataRegisteredRepositoryItems::GetDefaultEditDataRepositoryItems()->GetDefaultItem(), nullptr);
    EXPECT_EQ(cxEditDBRegisteredRepositoryItems::GetDefaultEditDBRepositoryItems()->GetDefaultItem(), nullptr);
    EXPECT_EQ(cxEdit::GetDefaultEditRepository()->Count(), 0);
    EXPECT_EQ(cxGridCustomView::cxGridRegisteredViews()->Count(), 0);
}

}  // namespace

TEST(LibraryStartup, ShutsDownAndStartsAgainTwiceInOneProcess)
{
    THostRecorder rec;
    ASSERT_TRUE(qzStartup::LibrariesStarted());
    ExpectStarted();
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        qzStartup::ShutDownLibraries();
        qzStartup::ShutDownLibraries();   // shut down already: nothing is freed twice
        ExpectShutDown();
        qzStartup::StartUpLibraries();
        qzStartup::StartUpLibraries();   // started already: nothing more is made
        ExpectStarted();
    }
    GuiTest::ProcessEvents();
    EXPECT_TRUE(rec.Messages().empty());
}
