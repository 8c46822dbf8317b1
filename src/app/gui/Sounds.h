#pragma once

#include <QString>

namespace bw {

// The two system sounds of the message dialog.
enum class DialogSound
{
    None,
    Exclamation, // warnings
    Asterisk     // information and questions
};

// Starts playing a wave file (a path or a "qrc:" / ":" resource) and returns at once. A missing or unplayable
// file, or a computer without an audio output, is simply not heard: nothing is reported.
void playSoundFile(const QString &file);

// Starts one of the dialog sounds (no-op for DialogSound::None).
void playDialogSound(DialogSound sound);

} // namespace bw
