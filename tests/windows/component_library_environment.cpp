// Initialises the component library for the thread that runs the tests, as
// the callers of the request object do: linked into test programs that create
// request objects directly.
#include <gtest/gtest.h>

#include "platform/component_library.h"

namespace tarnwick::testing {
namespace {

class ComponentLibraryEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { platform::CoInitialize(); }
  void TearDown() override { platform::CoUninitialize(); }
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new ComponentLibraryEnvironment);

}  // namespace
}  // namespace tarnwick::testing
