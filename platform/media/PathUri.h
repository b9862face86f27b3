// File paths as the graph receives them (wide strings) turned into URIs for the pipeline.
#pragma once

#include <string>

namespace media {

// A file URI with every character that needs it escaped; relative paths are made absolute.
// Empty when the path is empty.
std::string uriForPath(const std::wstring& path);

} // namespace media
