// Shared helpers of the application-core tests: a scratch folder and a
// recording host for message boxes.
#pragma once

#include "RecordingHost.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

class TTempDir {
public:
    TTempDir()
    {
        std::random_device rd;
        auto base = std::filesystem::temp_directory_path();
        for (;;) {
            FPath = base / ("appcore-" + std::to_string(rd()));
            if (std::filesystem::create_directory(FPath)) break;
        }
    }
    ~TTempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }
    std::string Path() const { return FPath.string(); }
    std::string File(const std::string& name) const { return (FPath / name).string(); }

private:
    std::filesystem::path FPath;
};

inline std::string ReadFileBytes(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void WriteFileBytes(const std::string& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

// What a command (run by the shell) writes to its standard output.
inline std::string RunTool(const std::string& cmd)
{
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> p(popen(cmd.c_str(), "r"), pclose);
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p.get())) > 0) out.append(buf, n);
    return out;
}

// Installs a recording host for the life of the object.
struct THostRecorder {
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
    std::vector<std::string> Messages() const { return Host->Messages(); }
};
