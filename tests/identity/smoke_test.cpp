#include <gtest/gtest.h>
#include "DoRor.h"
TEST(Smoke, CodePage) { EXPECT_EQ(::GetACP(), 932u); }
