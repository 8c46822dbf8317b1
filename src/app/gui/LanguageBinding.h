#pragma once

#include <QString>

class QWidget;

namespace bw {

// Registers every key of a window section with the language registry, finding each control among
// the window's children by its component name (objectName): captions and texts of buttons, labels,
// check boxes, group boxes, line edits and window titles, and hints (tool tips). Keys whose control
// does not exist are left out. Returns the number of keys registered.
int registerWindowTexts(QWidget *window, const QString &section);

} // namespace bw
