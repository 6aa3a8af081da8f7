#pragma once
// Reading a number typed into a dialog's edit field. A field that does not
// hold a fitting number (decimal point whatever the locale) gets a message
// and the focus, and the value is left as it was.

class QLineEdit;

// Any finite number; otherwise "Please enter a number.".
bool ReadNumberField(QLineEdit* edit, double& value);

// A finite number from low to high; otherwise "Enter a number between low and
// high.".
bool ReadNumberField(QLineEdit* edit, double& value, double low, double high);

// A whole number from low to high; otherwise "Please enter an integer." or
// "Please enter an integer between low and high.", with the field's text
// selected.
bool ReadIntegerField(QLineEdit* edit, int& value, int low, int high);
