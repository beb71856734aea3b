#include "UiTestDb.h"
#include "qzStartup.h"

namespace {
// As the program starts: the GUI first (it installs its logging host), the
// libraries, then the data objects; each test's recording host then stands
// in front of the GUI's. The end runs in reverse.
class TUiEnvironment : public TCoreEnvironment {
public:
    void SetUp() override
    {
        GuiTest::Init();
        qzStartup::StartUpLibraries();
        TCoreEnvironment::SetUp();
    }
    void TearDown() override
    {
        TCoreEnvironment::TearDown();
        qzStartup::ShutDownLibraries();
    }
};
}  // namespace

static ::testing::Environment* const GUiEnvironment = ::testing::AddGlobalTestEnvironment(new TUiEnvironment);
