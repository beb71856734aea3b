// A scratch folder of the benchmark's own under the temporary directory,
// made on first use and removed with everything in it when the benchmark
// ends, so that no run leaves its databases or exports behind.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace BenchFiles {

inline const std::string& ScratchDir()
{
    struct TScratch {
        std::string Dir;
        TScratch()
        {
            std::error_code ec;
            std::filesystem::path base = std::filesystem::temp_directory_path(ec);
            std::string pattern = (ec ? std::string("/tmp") : base.string()) + "/qzbenchXXXXXX";
            if (!mkdtemp(pattern.data())) {
                std::perror("mkdtemp");
                std::exit(1);
            }
            Dir = pattern;
        }
        ~TScratch()
        {
            std::error_code ec;
            std::filesystem::remove_all(Dir, ec);
        }
    };
    static TScratch scratch;
    return scratch.Dir;
}

}  // namespace BenchFiles
