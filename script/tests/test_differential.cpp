// The same small programs run here and, once, through the real compilers
// (Free Pascal for the PascalScript forms, node for JScript, g++ for
// C++Script); the compilers' outputs are kept beside the programs.
#include "script_test_util.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const std::filesystem::path& p)
{
    std::ifstream f(p, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

struct DiffCase {
    std::string File;
    std::string Language;
};

std::vector<DiffCase> Cases()
{
    std::vector<DiffCase> r;
    const std::filesystem::path dir = std::filesystem::path(QZ_TEST_DATA_DIR) / "diff";
    for (auto& e : std::filesystem::directory_iterator(dir)) {
        std::string ext = e.path().extension().string();
        std::string lang = ext == ".pas" ? "PascalScript" : ext == ".js" ? "JScript" : ext == ".cpp" ? "C++Script" : "";
        if (!lang.empty()) r.push_back({e.path().filename().string(), lang});
    }
    std::sort(r.begin(), r.end(), [](auto& a, auto& b) { return a.File < b.File; });
    return r;
}

void PrintTo(const DiffCase& c, std::ostream* os) { *os << c.File; }

class Differential : public ::testing::TestWithParam<DiffCase> {};

TEST_P(Differential, MatchesTheRealCompiler)
{
    const std::filesystem::path dir = std::filesystem::path(QZ_TEST_DATA_DIR) / "diff";
    const DiffCase& c = GetParam();
    std::string expected = ReadFile(dir / (c.File + ".out"));
    ASSERT_FALSE(expected.empty()) << "no expected output for " << c.File;
    auto r = RunScript(c.Language, ReadFile(dir / c.File));
    ASSERT_TRUE(r.Compiled) << r.Error << " at " << r.ErrorPos;
    ASSERT_FALSE(r.RunError) << r.Error;
    EXPECT_EQ(r.Joined(), expected);
}

INSTANTIATE_TEST_SUITE_P(Programs, Differential, ::testing::ValuesIn(Cases()),
                         [](const auto& info) {
                             std::string n = info.param.File;
                             for (char& ch : n)
                                 if (!isalnum((unsigned char)ch)) ch = '_';
                             return n;
                         });

// Scripts of the kind reports carry, one per language, with their output.
TEST(Samples, ReportScriptsRun)
{
    const std::filesystem::path dir = std::filesystem::path(QZ_TEST_DATA_DIR) / "samples";
    int seen = 0;
    for (auto& e : std::filesystem::directory_iterator(dir)) {
        std::string ext = e.path().extension().string();
        std::string lang = ext == ".pas" ? "PascalScript" : ext == ".js" ? "JScript" : ext == ".cpp" ? "C++Script"
                         : ext == ".bas" ? "BasicScript" : "";
        if (lang.empty()) continue;
        ++seen;
        auto r = RunScript(lang, ReadFile(e.path()));
        ASSERT_TRUE(r.Compiled) << e.path() << ": " << r.Error << " at " << r.ErrorPos;
        ASSERT_FALSE(r.RunError) << e.path() << ": " << r.Error;
        EXPECT_EQ(r.Joined(), ReadFile(e.path().string() + ".out")) << e.path();
    }
    EXPECT_EQ(seen, 4);
}

}  // namespace
