// Scratch files of the fuzz checks: one set per process, in memory-backed
// storage when there is some (/dev/shm), removed when the process ends.
#pragma once

#include <string>

namespace tv {
struct Context;
}

namespace tvfuzz {

// Path of the scratch file `tag` of this process (the tag ends the name, so
// "out.mps.gz" gives a name the writer compresses).
std::string scratch_path(const std::string& tag);
// Replace the file's content; false when it cannot be written.
bool write_file(const std::string& path, const std::string& bytes);

// Units that options may name for output (print, summary, solution, report
// and basis files, unit 6 too) are caught in in-memory buffers; the input
// basis files are switched off (the basis readers have their own target).
void catch_units(tv::Context& ctx);

}  // namespace tvfuzz
