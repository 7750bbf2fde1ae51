// Test entry point: a QCoreApplication exists for tests that need an event loop
// (sockets, timers, synchronised calls).
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
