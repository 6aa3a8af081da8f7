// One QGuiApplication for the whole test program: drawing into QImages needs
// none, but the styles are drawn by a program that has one, and fonts and
// pixmaps would need it. The offscreen platform keeps it off any display.

#include <QGuiApplication>

#include "OffscreenApplication.h"

#include <gtest/gtest.h>


namespace {

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new OffscreenApplication<QGuiApplication>);

} // namespace
