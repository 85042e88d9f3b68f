// GoogleTest's main with a QCoreApplication, so what the link and its line post to each other
// (queued signals) can be delivered.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
