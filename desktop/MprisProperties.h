#pragma once
// The MPRIS player properties of a player window, as plain values: what the
// sound menu shows, and which properties a change touched.
#include "desktop/PlayerState.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace desktop {

// The object path that names a loaded file (serial counts the files loaded).
QString TrackIdOf(const PlayerSnapshot& s, quint64 serial);
QString StatusText(PlaybackStatus status);
// mpris:trackid, xesam:url, xesam:title (the file's name), mpris:length (µs).
QVariantMap MetadataOf(const PlayerSnapshot& s, quint64 serial);
// The volume property: the status bar's level as a fraction.
// The sound menu's volume is an amplitude, 0 silent to 1 full; the player's is in
// hundredths of a decibel: 20 log10 of the one is the other.
double VolumeOf(const PlayerSnapshot& s);
int32_t StoredVolumeOf(double volume);
// Every property that changes with the player (Position excepted: MPRIS clients
// are not told of it, they ask for it).
QVariantMap PlayerProperties(const PlayerSnapshot& s, quint64 serial);
// The entries of now that differ from before.
QVariantMap ChangedProperties(const QVariantMap& before, const QVariantMap& now);

// The types the desktop entry offers the program for.
QStringList SupportedMimeTypes();

} // namespace desktop
