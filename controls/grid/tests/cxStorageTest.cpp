// The text forms of stored values, and the grid's replaceable texts.
#include "cxGridStrs.h"
#include "cxStorage.h"

#include <gtest/gtest.h>

namespace {

TEST(GridStorageTest, HexRoundTrip)
{
    EXPECT_EQ(cxStorage::StringToHexString("abc"), "616263");
    EXPECT_EQ(cxStorage::StringToHexString(std::string("\x00\xff\x10", 3)), "00FF10");
    EXPECT_EQ(cxStorage::StringToHexString(""), "");
    struct {
        const char* Hex;
        std::string Bytes;
    } cases[] = {{"616263", "abc"}, {"6162F", "ab"}, {"6a6B", "jk"}, {"", ""}, {"7", ""}};
    for (const auto& c : cases) EXPECT_EQ(cxStorage::HexStringToString(c.Hex), c.Bytes) << c.Hex;
    for (const char* bad : {"61g2", "6 ", "zz"})
        EXPECT_THROW(cxStorage::HexStringToString(bad), EcxHexStringConvertError) << bad;
    EXPECT_THROW(cxStorage::HexCharToValue('G'), EcxHexStringConvertError);
}

TEST(GridStorageTest, Booleans)
{
    EXPECT_TRUE(cxStorage::StringToBoolean("true"));
    EXPECT_TRUE(cxStorage::StringToBoolean("TRUE"));
    EXPECT_FALSE(cxStorage::StringToBoolean("False"));
    EXPECT_THROW(cxStorage::StringToBoolean("yes"), EPropertyConvertError);
    EXPECT_THROW(cxStorage::StringToBoolean(""), EPropertyConvertError);
}

const std::vector<std::string> Names{"fcoCaseInsensitive", "fcoShowOperatorDescription", "fcoSoftNull",
                                     "fcoSoftCompare"};

TEST(GridStorageTest, SetsAsBracketedNames)
{
    EXPECT_EQ(cxStorage::SetToString(0b0101, 1, Names), "[fcoCaseInsensitive,fcoSoftNull]");
    EXPECT_EQ(cxStorage::SetToString(0, 1, Names), "[]");
    EXPECT_EQ(cxStorage::SetToString(0x100, 1, Names), "[]") << "bits beyond the set's bytes are not its";
    EXPECT_THROW(cxStorage::SetToString(0b10000, 1, Names), EPropertyConvertError) << "no name for the element";

    struct {
        const char* Text;
        uint32_t Expected;
    } cases[] = {
        {"[fcosoftnull, fcoSoftCompare,fcoNothing]", 0b0100},
        {"[]", 0},
        {"[fcoCaseInsensitive,,fcoSoftCompare]", 0b1001},
        {"[fcoSoftCompare,fcoSoftCompare]", 0b1000},
    };
    for (const auto& c : cases) {
        uint32_t value = 0xFFFFFF00;   // bytes beyond the set are left alone
        cxStorage::StringToSet(c.Text, value, 1, Names);
        EXPECT_EQ(value, 0xFFFFFF00 | c.Expected) << c.Text;
    }
    uint32_t value = 0;
    for (const char* bad : {"fcoSoftNull", "[fcoSoftNull", "fcoSoftNull]", "", "["})
        EXPECT_THROW(cxStorage::StringToSet(bad, value, 1, Names), EPropertyConvertError) << bad;
    EXPECT_EQ(cxStorage::IndexOfName("FCOSOFTNULL", Names), 2);
    EXPECT_EQ(cxStorage::IndexOfName(" fcoSoftNull", Names), -1);
}

TEST(GridStorageTest, GridTextsAreReplaceable)
{
    EXPECT_EQ(cxClasses::GetResourceString(&cxSGridDeletingFocusedConfirmationText), "Delete record?");
    cxClasses::SetResourceString(&cxSGridDeletingFocusedConfirmationText, "删除记录?");
    EXPECT_EQ(cxClasses::GetResourceString(&cxSGridDeletingFocusedConfirmationText), "删除记录?");
    cxClasses::ResetResourceString(&cxSGridDeletingFocusedConfirmationText);
    EXPECT_EQ(cxClasses::GetResourceString(&cxSGridFilterIsEmpty), "<Filter is Empty>");
}

}  // namespace
