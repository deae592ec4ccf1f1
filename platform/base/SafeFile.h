#pragma once
// Opening files that a user, a document or a macro names, without trusting what the name is.
//
// Data is read only from regular files: a FIFO, a terminal, a device, a folder or a socket is
// refused at once with a clear reason, and opening never blocks (a FIFO without a writer would
// otherwise wait for ever). Output goes to a temporary file in the same folder that is renamed
// over the target only where the target is a regular file, a link or absent (so a planted link
// is replaced, never written through); a FIFO or a character device is written as such, and a
// folder or a block device is refused.
#include <cstddef>
#include <functional>
#include <string>

// Whether the last component of a path may be a symbolic link.
enum class ELinks { follow, refuse };

// Opens `path` for reading when it is a regular file. Returns a blocking, close-on-exec descriptor,
// or -1 with errno set and one phrase in `why` ("not a regular file (a FIFO)", "No such file or
// directory"). A file that is not regular fails with errno EINVAL.
int OpenRegularFile(const char* path, std::string& why, ELinks links = ELinks::follow);

// Reads a whole regular file of at most `maxBytes` bytes into `text`. False with one phrase in
// `why` (the path is not part of it).
bool ReadRegularFile(const std::string& path, size_t maxBytes, std::string& text, std::string& why);

// Writes a file by name: `write(target, why)` writes the whole content to the path it is given.
// See above for where the content goes; a failed write leaves the target as it was and no
// temporary file behind. False with one phrase in `why` (the writer's, or the reason it was not
// called).
bool WriteOutputFile(const std::string& path,
                     const std::function<bool(const std::string& target, std::string& why)>& write,
                     std::string& why);

// The same for content held in memory.
bool WriteOutputText(const std::string& path, const std::string& text, std::string& why);
