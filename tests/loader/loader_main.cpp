#include "loader/LoaderMain.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <cstring>

// The shared test main, but started as the picture loader it is the loader, as the program is.
int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], tavello::kPictureLoaderOption) == 0)
        return tavello::RunPictureLoader(argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
