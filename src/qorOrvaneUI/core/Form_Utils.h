#pragma once

class QLineEdit;

// Helpers the library's forms share.
namespace orvane::Form_Utils {

// Run when an entry field gains the focus: trims the text of spaces and selects
// all of it, so the next keystroke replaces it. Never fails.
void SelectAllText(QLineEdit *textBox);

} // namespace orvane::Form_Utils
