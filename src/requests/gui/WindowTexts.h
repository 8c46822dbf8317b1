#pragma once

#include <QString>

class QWidget;

namespace bw {

// Gives the controls of a window section their design texts (the built-in Russian captions, hints and
// the window caption), then registers the section with the language files.
void setUpWindowTexts(QWidget *window, const QString &section);

} // namespace bw
