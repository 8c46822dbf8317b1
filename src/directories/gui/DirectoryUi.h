#pragma once

#include "directories/Directories.h"

#include <QString>

#include <functional>

class QDialog;
class QLineEdit;
class QPushButton;

namespace bw {

// A catalogue text for a caption the directories editor sets on its dialogs. An entry without a text
// (catalogue not filled yet, or no language file for the keys above DLG59) falls back to its built-in
// text and then to the control's design text, instead of blanking the caption.
QString catalogueTextOr(const QString &key, const QString &designText = QString());

// Runs one save of a record dialog and finishes it: a database error is shown with its own text and the
// dialog stays open (the editor's lists were reloaded); nothing to do keeps it open; a refusal is reported
// and keeps it open; a stored record closes the dialog and then reports the catalogue message; a record that
// vanished meanwhile closes the dialog silently (the editor shows the reloaded lists).
void runRecordSave(QDialog *dialog, const std::function<DirectoryOutcome()> &save);

// Enter in the field runs the dialog's save and does not reach the dialog's default-button handling.
void saveOnEnter(QLineEdit *field, const std::function<void()> &save);
// A dialog button that Enter must not press on its own.
void noDefault(QPushButton *button);

} // namespace bw
