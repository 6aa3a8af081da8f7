#include "ui/NumberField.h"

#include "framework/UserInterface.h"
#include "platform/NumberText.h"

#include <QLineEdit>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

bool ParseField(const QLineEdit* edit, double& value) {
    double parsed = 0.0;
    if (!corvale::ParseDouble(edit->text().trimmed().toStdString(), parsed) || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool Refuse(QLineEdit* edit, const std::string& message) {
    corvale::UI().ShowMessage(message, corvale::MessageIcon::Warning, corvale::MessageButtons::Ok);
    edit->setFocus();
    return false;
}

} // namespace

bool ReadNumberField(QLineEdit* edit, double& value) {
    return ParseField(edit, value) || Refuse(edit, "Please enter a number.");
}

bool ReadNumberField(QLineEdit* edit, double& value, double low, double high) {
    double parsed = 0.0;
    if (ParseField(edit, parsed) && parsed >= low && parsed <= high) {
        value = parsed;
        return true;
    }
    return Refuse(edit, "Enter a number between " + corvale::FormatDouble(low) + " and " +
                            corvale::FormatDouble(high) + ".");
}

bool ReadIntegerField(QLineEdit* edit, int& value, int low, int high) {
    const std::string text = edit->text().trimmed().toStdString();
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long parsed = text.empty() ? 0 : std::strtol(begin, &end, 10);
    const bool isInteger = !text.empty() && end != nullptr && *end == '\0' && errno == 0 && parsed >= INT_MIN &&
                           parsed <= INT_MAX;
    if (!isInteger || parsed < low || parsed > high) {
        Refuse(edit, !isInteger ? std::string("Please enter an integer.")
                                : "Please enter an integer between " + std::to_string(low) + " and " +
                                      std::to_string(high) + ".");
        edit->selectAll();
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}
