#pragma once

#include <QString>
#include <QStringView>

namespace bw {

// The module-wide message table: DLG1 .. DLG530 (245 keys). Every window reads an entry at the moment it
// needs the text, so a language applied later changes every later message at once. Reads are safe from
// the e-mail sender threads; writes happen on the user-interface thread when a language is applied.

// The current text of a catalogue key ("DLG82", case-insensitive, so "dlg96" and "DLG96" are one key).
// Empty for keys without text and for anything that is not a catalogue key.
QString msg(QStringView key);
QString msg(const QString &key);
QString msg(const char *key);
QString msg(int number);

// Sets DLG1 .. DLG59 to their built-in texts; the other entries keep what they hold.
void applyBuiltinMessages();

// Returns false (and changes nothing) when the key is not a catalogue key.
bool setMessage(int number, const QString &text);
bool setMessage(QStringView key, const QString &text);

// Empties every entry, as at program start (before the built-in texts). For tests.
void resetMessages();

} // namespace bw
