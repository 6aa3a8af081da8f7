#pragma once
// What the plug-in tests share: one QApplication for the dialogs the
// plug-ins open, and a settings folder of their own.

#include "OffscreenApplication.h"
#include "TempDir.h"

#include <QApplication>

#include <fstream>
#include <string>

void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
