// Reads the resources of a built program back and compares each kind with
// what it must hold.
#include <gtest/gtest.h>

#include "tests/res/program_under_test.h"
#include "tests/res/resource_checks.h"

namespace {

class ProgramResourcesTest : public testing::TestWithParam<ResourceCheck> {};

TEST_P(ProgramResourcesTest, MatchesExpected) {
  if (ProgramAbsent()) GTEST_SKIP() << "the shipped program is not part of this build";
  std::string error;
  const IResourceSource* source = ProgramResources(error);
  ASSERT_NE(source, nullptr) << error;
  Mismatches found = GetParam().run(*source);
  EXPECT_TRUE(found.empty()) << found.items().size() << " difference(s):\n" << found.Joined();
}

INSTANTIATE_TEST_SUITE_P(Program, ProgramResourcesTest, testing::ValuesIn(AllResourceChecks()),
                         [](const testing::TestParamInfo<ResourceCheck>& info) { return info.param.name; });

}  // namespace
