#include "TestFiles.h"
#include <gtest/gtest.h>
TEST(Smoke, TempFolder) { testfiles::TempFolder t; ASSERT_TRUE(t.valid()); testfiles::writeFile(t.file("a"), "x"); EXPECT_EQ(testfiles::readFile(t.file("a")), "x"); }
