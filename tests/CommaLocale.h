#pragma once
// Switches the C and C++ locales to one whose decimal separator is a comma
// for the life of the object, so a test can show that numbers are still
// written and read with a point. ok() proves that the switch took effect;
// scripts/setup.sh generates the locale.

#include <clocale>
#include <cstdio>
#include <locale>
#include <string>

class CommaLocale {
public:
    CommaLocale() {
        m_Saved = std::setlocale(LC_ALL, nullptr);
        m_Ok = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        if (m_Ok) {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "%.1f", 1.5);
            m_Ok = std::string(buffer) == "1,5";
            m_SavedGlobal = std::locale::global(std::locale("de_DE.UTF-8"));
        }
    }
    ~CommaLocale() {
        std::setlocale(LC_ALL, m_Saved.c_str());
        if (m_Ok)
            std::locale::global(m_SavedGlobal);
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;
    bool ok() const { return m_Ok; }

private:
    std::string m_Saved;
    std::locale m_SavedGlobal;
    bool m_Ok = false;
};
