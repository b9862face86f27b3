// File paths as the graph receives them (wide strings) turned into URIs for the pipeline.
#pragma once

#include <string>

namespace media {

// A file URI with every character that needs it escaped; relative paths are made absolute.
// Empty when the path is empty.
std::string uriForPath(const std::wstring& path);

// False for a path that names something other than a regular file (a pipe, socket,
// device or folder): opening one could wait for another process for ever. A path
// that names nothing passes, so that the missing file is reported as such.
bool mayOpenWithoutWaiting(const std::wstring& path);

} // namespace media
