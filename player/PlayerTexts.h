#pragma once
// The texts the player writes into the main window's status bar and message
// boxes, apart from any window so that they can be checked on their own.
#include "platform/media/StreamFault.h"

#include <QString>

#include <cstdint>

// Pane 0 while a medium plays: seconds below ten minutes, whole minutes from there.
QString TimeText(int elapsed, int duration);
// The widest form the time text takes for a medium of that length: every digit is the
// one given (the widest of the font), the elapsed count at its largest.
QString WidestTimeText(int duration, QChar widestDigit);
// A text with every digit made the one given.
QString WithWidestDigits(QString text, QChar widestDigit);
// Pane 0 while a stream without a length plays: the seconds it has played, and no more.
QString LiveTimeText(int elapsed);
// Pane 2: the stored volume (hundredths of a decibel, 0 to -10000) as a level 100 to 0.
QString VolumeText(int32_t volume);
// Pane 0 for a few seconds after a medium picked up where it was left: "Resumed at 12:34",
// hours when it has them ("Resumed at 1:02:03").
QString ResumedText(int64_t ms);
// Pane 0 after a slide-delay key.
QString SlideDelayStatusText(int delayMs);

// Message boxes of a refused file.
QString UnsupportedFormatText();
QString FileNotFoundText(const QString& path);
// The message box of a stream that could not be started: "Cannot open <url>: <reason>".
QString StreamRefusedText(const QString& url, media::StreamFailure failure);
// The player window's tool tip from the medium's tags: "Artist – Title", or the one of
// them there is; empty without either.
QString TagsToolTip(const QString& artist, const QString& title);
