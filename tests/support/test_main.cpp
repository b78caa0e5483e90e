// GoogleTest main for every test program: one QApplication for the process.

#include <QApplication>

#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return RUN_ALL_TESTS();
}
