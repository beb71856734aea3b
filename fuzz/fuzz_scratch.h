// A scratch folder of the fuzzer's own under the temporary directory, made
// on first use (a fresh machine has none), one per process so that parallel
// runs do not meet.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

inline std::string FuzzScratchDir(const char* what)
{
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    if (ec) dir = "/tmp";
    dir /= std::string("qz-fuzz-") + what + "-" + std::to_string(getpid());
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "cannot make the scratch folder %s: %s\n", dir.c_str(), ec.message().c_str());
        std::abort();
    }
    return dir.string();
}
