// Window tests run on Qt's offscreen platform with one application object for the whole
// program: the application's own, so that its font, fixed formats and exception hook apply.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/app/application.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  zelk::TZelkaroApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
