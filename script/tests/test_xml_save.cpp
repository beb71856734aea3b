// Saving an XML document replaces the file whole or leaves it as it was.
#include "DiskFull.h"
#include "Exceptions.h"
#include "SysUtils.h"
#include "fs_xml.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

TEST(XmlFile, AFailedSaveLeavesTheOldFile)
{
    const std::string name = ::testing::TempDir() + "fs_xml_whole.xml";
    TfsXMLDocument small;
    small.Root()->SetName("grammar");
    small.SaveToFile(name);
    const std::string before = ReadAll(name);
    ASSERT_FALSE(before.empty());

    TfsXMLDocument big;
    big.Root()->SetName("grammar");
    for (int i = 0; i < 2000; ++i) big.Root()->Add()->SetName("rule");
    // The disk fills up halfway through the save.
    EXPECT_THROW(WithFileSizeLimit(4096, [&] { big.SaveToFile(name); }), Exception);
    EXPECT_EQ(ReadAll(name), before);

    big.SaveToFile(name);
    TfsXMLDocument back;
    back.LoadFromFile(name);
    EXPECT_EQ(back.Root()->Count(), 2000);
    DeleteFile(name);
}

}  // namespace
