#include "app/single_instance.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "testing/child_process.h"
#include "testing/instance_lock.h"

namespace tavro {
namespace {

// A name of this test's own, so that it never meets a running launcher or a parallel test.
std::string TestLockName() { return "TAVRORUN_TEST_" + std::to_string(std::random_device()()); }

TEST(SingleInstance, SecondProcessIsRefusedWhileTheFirstHoldsTheLock) {
  const std::string probe = testutil::TestProgramPath("instanceprobe");
  const std::string name = TestLockName();
  // Each probe gets the lock, and its end frees it for the next one.
  EXPECT_EQ(testutil::RunProgram(probe, {name}), 0);
  EXPECT_EQ(testutil::RunProgram(probe, {name}), 0);

  ASSERT_EQ(AcquireSingleInstance(name).state, InstanceLockState::Held);
  EXPECT_EQ(testutil::RunProgram(probe, {name}), 1);
  EXPECT_EQ(AcquireSingleInstance(name).state, InstanceLockState::HeldByAnother);
  const std::string other = TestLockName();
  EXPECT_EQ(testutil::RunProgram(probe, {other}), 0);  // other names are not held
  testutil::ForgetInstanceLock(name);
  testutil::ForgetInstanceLock(other);
}

}  // namespace
}  // namespace tavro
