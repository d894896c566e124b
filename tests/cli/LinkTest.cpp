// trackmill-cli is built on the core alone: it must start on a machine without a desktop.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

TEST(CliProgram, LinksNeitherWidgetsNorDBus)
{
    const auto r = tmtest::Run({"ldd", TRACKMILL_CLI});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("libQt6Core"), std::string::npos) << r.out;
    for (const char *library : {"libQt6Widgets", "libQt6Gui", "libQt6DBus"})
        EXPECT_EQ(r.out.find(library), std::string::npos) << library << " in\n" << r.out;
}
