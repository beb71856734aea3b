// Frees the shared painter images before the program ends, while the
// window system is still there to release their surfaces.
#include "GuiTesting.h"
#include "cxLookAndFeelPainters.h"

#include <gtest/gtest.h>

namespace {
class TFoundationEnvironment : public ::testing::Environment {
public:
    void TearDown() override { cxLookAndFeelPainters::Finalize(); }
};
const auto* const GEnvironment = ::testing::AddGlobalTestEnvironment(new TFoundationEnvironment);
}  // namespace
