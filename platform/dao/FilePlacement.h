#pragma once
// Giving a file that was built aside its real name in one step, so that a crash
// while it was built never leaves a half-made file under that name.
#include <QString>

namespace lumarest::dao {

// A name for building the file `path` will name: in the same folder (placing it
// is then one link) and hidden, unique to this process and call.
QString BuildingNameFor(const QString& path);

// Gives the file built under `built` the name `path` unless something bears that
// name already; `built` is removed either way. Throws CDaoException: "Database
// already exists." when the name is taken, the system's reason otherwise.
void PlaceNewFile(const QString& built, const QString& path);

} // namespace lumarest::dao
