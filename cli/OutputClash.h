#pragma once

#include <string>
#include <vector>

namespace tessella {

// What one job of a run reads and writes, known before any job starts.
struct PlannedJob {
    std::string source;
    std::string destination;  // empty when it cannot be known in advance
};

// Jobs run side by side: two that write one file would leave only one of the results, and one
// that writes over another's source would feed it a file that is being replaced. Returns the
// message that names the first such pair, or "" when the run is free of them. Names are
// compared as the file system sees them: the folder by device and inode, then the name in it.
std::string FindOutputClash(const std::vector<PlannedJob>& jobs);

}  // namespace tessella
