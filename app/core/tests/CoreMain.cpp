#include "TestDb.h"

// The process-wide data objects exist for every test, as in the program.
static ::testing::Environment* const GCoreEnvironment =
    ::testing::AddGlobalTestEnvironment(new TCoreEnvironment);
