#pragma once

#include <QString>

class QWidget;

namespace bw {

// Registers every key of a window section with the language files and sets each control to its design
// text: controls are found among the window's children by their component name (object name); the
// window itself takes the caption. Keys whose control the window does not have are left out.
void registerWindowTexts(QWidget *window, const QString &section);

} // namespace bw
