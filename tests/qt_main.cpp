// The Qt backend's tests run inside one offscreen Qt application.
#include <gtest/gtest.h>

#include "platform/qt/qt_backend.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  StartQtApplication(&argc, argv, true);
  return RUN_ALL_TESTS();
}
