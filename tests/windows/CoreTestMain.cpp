// Test main for the folders whose tests serve Qt's event loop, under Wine: a core
// application, as they need no screen.
#include <QCoreApplication>
#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // As the programs do: the C library's numbers stay C whatever the locale.
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
