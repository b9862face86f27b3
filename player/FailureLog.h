#pragma once
// The failure log: one line per failed media-graph or keyboard-device call,
// appended to LUMarest.log in the current directory.
#include "platform/media/HResult.h"

#include <QString>

#include <string>

// The log's name, relative, so that it lies in the current directory.
inline constexpr const char* kFailureLogName = "LUMarest.log";

// The text with every control character (and the Unicode line and paragraph
// separators) written as an escape: \n, \r, \t, \xHH or \uHHHH.
QString EscapeControlCharacters(const QString& text);

// "FAILED: hr = 0x%x\t\tLINE: %d\t\tFILE: \"%s\"\n": the result as unsigned
// lower-case hexadecimal, the code of the call, the path as it was given but for
// its control characters, which are escaped.
std::string FormatFailureLine(HRESULT hr, int code, const QString& path);

// Opens the log for appending (creating it), writes the line and closes it.
// False when the file cannot be opened; a failed write is not detected.
bool AppendFailureLine(const std::string& line, const char* fileName = kFailureLogName);
