#include "UiTestDb.h"

namespace {
// The GUI first (it installs its logging host), then the data objects; each
// test's recording host then stands in front of the GUI's.
class TUiEnvironment : public TCoreEnvironment {
public:
    void SetUp() override
    {
        GuiTest::Init();
        TCoreEnvironment::SetUp();
    }
};
}  // namespace

static ::testing::Environment* const GUiEnvironment = ::testing::AddGlobalTestEnvironment(new TUiEnvironment);
