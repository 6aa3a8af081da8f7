#include "ui/NumberField.h"

#include "framework/UserInterface.h"
#include "platform/NumberText.h"

#include <QLineEdit>

#include <cmath>
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
