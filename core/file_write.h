#pragma once
// Writing a whole file at once, as every save of the program does: the
// bytes go to a new file beside the target, which then replaces it in one
// step, so that a reader never sees half a file and a failed save leaves
// the old one as it was.

#include <optional>
#include <string>
#include <string_view>

namespace jmach {

// Writes `bytes` as the file `path`: a new file, or a regular file that
// is replaced and keeps its mode bits (through a symbolic link, the file
// behind it). Returns the reason when nothing was written ("No such file
// or directory", "is a device", "is read-only", ...); then nothing was
// changed and no temporary file is left behind.
std::optional<std::string> write_whole_file(const std::string& path, std::string_view bytes);

}  // namespace jmach
