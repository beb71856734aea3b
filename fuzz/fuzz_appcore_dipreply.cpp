// Any bytes as the connection-information service's reply. A reply of five
// lines gives a connection string whose server, user, password and
// database read back exactly as the lines gave them (no line can add or
// change a key); any other reply gives nothing. The server's alias is
// written on the way, and the ODBC form of the string, which reads the
// alias back, is made without fault.
#include "ADODB.h"
#include "Registry.h"
#include "StringLists.h"
#include "qzProj.h"
#include "fuzz_scratch.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string store = FuzzScratchDir("dipreply") + "/registry.ini";
    std::remove(store.c_str());
    TRegistry::SetStoreFileName(store);
    const std::string reply(reinterpret_cast<const char*>(data), size);
    const std::string cs = TConfiger::DipReplyConnStr(reply);
    TStringList lines;
    lines.SetText(reply);
    if (lines.Count() != 5) {
        Check(cs.empty(), "a reply of other than five lines gives nothing");
        return 0;
    }
    Check(qzAdo::ConnStrValue(cs, "Data Source") == lines[0], "the server reads back");
    Check(qzAdo::ConnStrValue(cs, "User ID") == lines[2], "the user reads back");
    Check(qzAdo::ConnStrValue(cs, "Password") == lines[3], "the password reads back");
    Check(qzAdo::ConnStrValue(cs, "Initial Catalog") == lines[4], "the database reads back");
    Check(qzAdo::ConnStrValue(cs, "Persist Security Info") == "True", "the last key stays");
    qzAdo::OdbcConnectionString(cs);
    return 0;
}
