#include "support/TestSupport.h"
#include <gtest/gtest.h>
TEST(WindowsPlatform, Placeholder) {}
