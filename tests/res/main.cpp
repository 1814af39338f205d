// Own main: after GoogleTest has taken its flags, an optional first argument
// names the program to inspect.
#include <gtest/gtest.h>

#include "tests/res/program_under_test.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  SetProgramArgument(argc > 1 ? argv[1] : "");
  return RUN_ALL_TESTS();
}
