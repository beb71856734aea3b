// The registry stand-in over an INI file.
#include "Registry.h"
#include "IniFiles.h"
#include "StringLists.h"
#include "TextUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <fstream>
#include <unistd.h>

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/qz-reg-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        Dir = std::string(tmpl) + "/";
        File = Dir + "sub/registry.ini";   // the folder is made on the first write
        TRegistry::SetStoreFileName(File);
    }
    void TearDown() override
    {
        TRegistry::SetStoreFileName("");
        std::system(("rm -rf '" + Dir + "'").c_str());
    }
    std::string Dir, File;
};

const char* kAliasKey = "\\Software\\Microsoft\\MSSQLServer\\Client\\ConnectTo";

TEST_F(RegistryTest, WritesAndReadsTypedValues)
{
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        EXPECT_FALSE(reg.OpenKey(kAliasKey, false));
        ASSERT_TRUE(reg.OpenKey(kAliasKey, true));
        EXPECT_EQ(reg.CurrentPath(), "Software\\Microsoft\\MSSQLServer\\Client\\ConnectTo");
        reg.WriteString("school", "DBMSSOCN,10.0.0.5,1433");
        reg.WriteString("quote", "a \"b\" c\\d 恒岳");
        reg.WriteInteger("count", -5);
        reg.WriteBool("on", true);
        reg.CloseKey();
    }
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\software\\MICROSOFT\\MSSQLServer\\Client\\ConnectTo"));
    EXPECT_EQ(reg.ReadString("SCHOOL"), "DBMSSOCN,10.0.0.5,1433");
    EXPECT_EQ(reg.ReadString("quote"), "a \"b\" c\\d 恒岳");
    EXPECT_EQ(reg.ReadInteger("count"), -5);
    EXPECT_TRUE(reg.ReadBool("on"));
    EXPECT_EQ(reg.GetDataType("count"), rdInteger);
    EXPECT_EQ(reg.GetDataType("school"), rdString);
    EXPECT_EQ(reg.GetDataSize("school"), 23);
    EXPECT_EQ(reg.GetDataSize("missing"), -1);
    EXPECT_EQ(reg.ReadString("missing"), "");

    // The store is a plain INI file, one section per key.
    TIniFile ini(File);
    EXPECT_EQ(ini.ReadString("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\MSSQLServer\\Client\\ConnectTo",
                             "school", ""),
              "\"DBMSSOCN,10.0.0.5,1433\"");
    EXPECT_EQ(ini.ReadString("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\MSSQLServer\\Client\\ConnectTo",
                             "count", ""),
              "dword:fffffffb");
}

TEST_F(RegistryTest, ErrorsCarryTheClassLibrarysTexts)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Test", true));
    reg.WriteString("text", "abc");
    reg.WriteInteger("num", 3);
    struct Case { std::function<void()> call; const char* message; } cases[] = {
        {[&] { reg.ReadInteger("missing"); }, "Failed to get data for 'missing'"},
        {[&] { reg.ReadInteger("text"); }, "Invalid data type for 'text'"},
        {[&] { reg.ReadString("num"); }, "Invalid data type for 'num'"},
        {[&] { reg.ReadBool("missing"); }, "Failed to get data for 'missing'"},
        {[&] { reg.WriteString("two", "a\nb"); }, "Failed to set data for 'two'"},
        {[&] { reg.WriteString("a=b", "x"); }, "Failed to set data for 'a=b'"},
    };
    for (const auto& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const ERegistryException& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Test"));
    EXPECT_THROW(reg.WriteString("text", "x"), ERegistryException);
    EXPECT_FALSE(reg.DeleteValue("text"));
    EXPECT_EQ(reg.ReadString("text"), "abc");
}

TEST_F(RegistryTest, KeysNestAndDelete)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\School\\Fonts", true));
    reg.WriteString("f1", "宋体");
    ASSERT_TRUE(reg.OpenKey("\\Software\\School\\Grids\\Main", true));
    reg.WriteInteger("width", 120);
    // Relative to the open key.
    ASSERT_TRUE(reg.OpenKey("\\Software", false));
    ASSERT_TRUE(reg.OpenKey("school", false));
    EXPECT_EQ(reg.CurrentPath(), "Software\\school");

    TStringList names;
    reg.GetKeyNames(names);
    EXPECT_EQ(names.Text(), "Fonts\r\nGrids\r\n");
    EXPECT_TRUE(reg.HasSubKeys());
    EXPECT_TRUE(reg.KeyExists("\\SOFTWARE\\School\\Grids"));   // a parent made implicitly
    EXPECT_TRUE(reg.KeyExists("grids\\main"));

    ASSERT_TRUE(reg.OpenKey("\\Software\\School\\Fonts", false));
    reg.WriteString("f2", "黑体");
    reg.WriteString("", "default value");
    reg.GetValueNames(names);
    EXPECT_EQ(names.Text(), "f1\r\nf2\r\n\r\n");
    EXPECT_EQ(reg.ReadString(""), "default value");
    EXPECT_TRUE(reg.DeleteValue("F1"));
    EXPECT_FALSE(reg.DeleteValue("f1"));
    EXPECT_FALSE(reg.ValueExists("f1"));

    EXPECT_TRUE(reg.DeleteKey("\\Software\\School"));
    EXPECT_FALSE(reg.HasCurrentKey());            // the open key went with it
    EXPECT_FALSE(reg.KeyExists("\\Software\\School\\Grids\\Main"));
    EXPECT_FALSE(reg.KeyExists("\\Software\\School"));
    EXPECT_FALSE(reg.DeleteKey("\\Software\\School"));
}

TEST_F(RegistryTest, RootsAreSeparate)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey("\\Software\\X", true));
    reg.WriteInteger("v", 1);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.HasCurrentKey());
    EXPECT_FALSE(reg.KeyExists("\\Software\\X"));
    EXPECT_FALSE(reg.OpenKeyReadOnly("\\Software\\X"));
}

TEST_F(RegistryTest, DefaultStoreIsInTheUserConfigFolder)
{
    TRegistry::SetStoreFileName("");
    EXPECT_EQ(TRegistry::StoreFileName(), UserConfigDir() + "registry.ini");
}

TEST_F(RegistryTest, HandEditedJunkIsTolerated)
{
    ForceDirectories(ExtractFilePath(File));
    std::ofstream(File, std::ios::binary) << "[HKEY_CURRENT_USER\\Software\\J]\nbad=dword:zz\nq=\"unterminated\nraw=plain\n";
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\J", false));
    EXPECT_EQ(reg.GetDataType("bad"), rdUnknown);
    EXPECT_THROW(reg.ReadInteger("bad"), ERegistryException);
    EXPECT_THROW(reg.ReadString("q"), ERegistryException);
    EXPECT_THROW(reg.ReadString("raw"), ERegistryException);
    reg.WriteString("raw", "fixed");
    EXPECT_EQ(reg.ReadString("raw"), "fixed");
}

TEST_F(RegistryTest, UnwritableStoreMakesOpenKeyFailQuietly)
{
    // Settings that cannot be stored (here: a file stands where the folder
    // should be) are a refusal, as for a key the user has no right to make.
    ForceDirectories(Dir);
    std::ofstream(Dir + "sub", std::ios::binary) << "a file";
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.OpenKey(kAliasKey, true));
    EXPECT_FALSE(reg.HasCurrentKey());
    EXPECT_THROW(reg.CreateKey(kAliasKey), ERegistryException);
}

TEST_F(RegistryTest, RegistryIniFileServesTheIniInterface)
{
    std::unique_ptr<TCustomIniFile> store = std::make_unique<TRegistryIniFile>("\\Software\\Hengyue Test");
    EXPECT_FALSE(store->SectionExists("Form.TDesigner"));
    EXPECT_EQ(store->ReadInteger("Form.TDesigner", "Width", 640), 640);
    store->WriteInteger("Form.TDesigner", "Width", 800);
    store->WriteBool("Form.TDesigner", "Maximized", true);
    store->WriteString("Form.TDesigner", "Font", "宋体");
    store->WriteString("Dock.Left", "Count", "0x10");
    store->WriteFloat("Form.TDesigner", "Scale", 0.75);

    TRegistryIniFile again("\\Software\\Hengyue Test");
    EXPECT_TRUE(again.SectionExists("form.tdesigner"));
    EXPECT_EQ(again.ReadInteger("Form.TDesigner", "Width", 0), 800);
    EXPECT_EQ(again.ReadString("Form.TDesigner", "Width", ""), "800");       // an integer reads as text
    EXPECT_EQ(again.ReadInteger("Dock.Left", "Count", 0), 16);               // text reads as a number
    EXPECT_TRUE(again.ReadBool("Form.TDesigner", "Maximized", false));
    EXPECT_EQ(again.ReadString("Form.TDesigner", "Font", ""), "宋体");
    EXPECT_EQ(again.ReadStringRaw("Form.TDesigner", "Font", ""), Utf8ToGbk("宋体"));
    EXPECT_DOUBLE_EQ(again.ReadFloat("Form.TDesigner", "Scale", 0), 0.75);
    EXPECT_EQ(again.ReadInteger("Form.TDesigner", "Font", -1), -1);

    TStringList list;
    again.ReadSections(list);
    EXPECT_EQ(list.Text(), "Form.TDesigner\r\nDock.Left\r\n");
    again.ReadSection("Form.TDesigner", list);
    EXPECT_EQ(list.Text(), "Width\r\nMaximized\r\nFont\r\nScale\r\n");
    again.ReadSectionValues("Dock.Left", list);
    EXPECT_EQ(list.Text(), "Count=0x10\r\n");

    again.DeleteKey("Form.TDesigner", "Font");
    EXPECT_FALSE(again.ValueExists("Form.TDesigner", "Font"));
    again.EraseSection("Dock.Left");
    EXPECT_FALSE(again.SectionExists("Dock.Left"));
    EXPECT_TRUE(again.SectionExists("Form.TDesigner"));

    // The values live under the current user's key.
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Hengyue Test\\Form.TDesigner"));
    EXPECT_EQ(reg.ReadInteger("Width"), 800);
}

} // namespace
