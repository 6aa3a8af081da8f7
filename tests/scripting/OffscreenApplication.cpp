// One QApplication for the whole test program, on the offscreen platform: the
// console window and its panes are real widgets.

#include <QApplication>

#include "OffscreenApplication.h"

#include <gtest/gtest.h>


namespace {

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new OffscreenApplication<QApplication>);

} // namespace
