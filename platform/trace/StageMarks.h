// Marks on the way from the start of the process to the first picture, for the first-frame
// bench: with LUMAREST_STAGE_LOG naming a file, the first mark of each name adds a line
// "name microseconds" to it, on the system's monotonic clock (the one the bench reads too).
// Without it a mark costs a check of a flag.
#pragma once

namespace trace {

void MarkStage(const char* name);

} // namespace trace
