// Whole files read through the platform's file calls, so that a name written the Windows way (the
// application path followed by "\res.dll") reaches the file system as the platform resolves it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class FileBytesResult { Ok, CannotOpen, TooLarge, CannotRead };

// Reads every byte of the file into bytes; a file over maxBytes is not read at all.
FileBytesResult ReadFileBytes(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes);
