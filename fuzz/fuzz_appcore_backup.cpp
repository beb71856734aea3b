// Any bytes as a backup file chosen for restoring: the check refuses it
// with an Exception, or accepts it; an accepted file copies whole through
// the engine's backup, the copy passes the check again, and it can stand
// in for a database through the copy a restore makes.
#include "BackupFiles.h"
#include "Exceptions.h"
#include "fuzz_scratch.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

bool Accepted(const std::string& file)
{
    try {
        BackupFiles::CheckSchoolDatabase(file);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string dir = FuzzScratchDir("backup");
    static const std::string file = dir + "/school.bak";
    static const std::string copy = dir + "/copy.mdb";
    static const std::string target = dir + "/target.mdb";
    static bool made = (std::ofstream(target, std::ios::binary), true);   // an empty database
    (void)made;
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    if (!Accepted(file)) return 0;
    std::remove(copy.c_str());
    try {
        BackupFiles::SqliteCopy(file, copy);
    } catch (const Exception&) {
        // A file the check passes may still hold pages the copy cannot read.
        return 0;
    }
    Check(Accepted(copy), "a copy of an accepted backup is accepted");
    try {
        BackupFiles::CopyInto(copy, target);
    } catch (const Exception&) {
        return 0;
    }
    Check(Accepted(target), "a database restored from an accepted backup is accepted");
    return 0;
}
