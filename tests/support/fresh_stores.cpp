// Linked into every test executable: each test case starts from the
// stores' start-up values, as a fresh converter process does, so that the
// cases of one file also pass when they run in one process (ctest runs
// each in a process of its own; a developer running the file does not).
#include <gtest/gtest.h>

#include "stores/VLX_objects.h"

namespace {

struct FreshStores : testing::EmptyTestEventListener {
    // Runs before the case's fixture is built, so its SetUp still sees
    // and may change the start-up values.
    void OnTestStart(const testing::TestInfo&) override { reset_stores(); }
};

const bool registered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new FreshStores);
    return true;
}();

}  // namespace
