// RegFile: the registry editor's text format (.reg files) for exporting a key of the
// store and importing one back, over the Registry port.
//
// Accepted input: the header "Windows Registry Editor Version 5.00" in UTF-16LE with a
// byte-order mark (as that editor writes it) or in UTF-8, and the header "REGEDIT4" with
// 8-bit text taken byte for byte. Lines: [HKEY_LOCAL_MACHINE\key] (or HKLM), [-key] to
// delete a key with everything below it, "name"="text" with the escapes \\ and \",
// @= for the default value, "name"=dword:0000000a, "name"=- to delete a value, blank
// lines and ;comments. Binary hex: values are refused with a clear message, because the
// store holds only text and 32-bit numbers.
#pragma once

#include "platform/Registry.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

enum class RegFileFormat {
    Unicode,  // "Windows Registry Editor Version 5.00", UTF-16LE with byte-order mark
    Regedit4, // "REGEDIT4", the stored bytes as they are
};

struct RegFileOperation {
    enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };

    Kind kind = Kind::CreateKey;
    std::string keyPath; // below HKEY_LOCAL_MACHINE, without the hive name
    std::string name;    // value name; "" is the default value
    RegValue value;      // for SetValue
    int line = 0;        // 1-based line of the file it came from

    bool operator==(const RegFileOperation&) const = default;
};

// Keys of a file nest at most this deep. Every key line repeats its whole path, so
// the text of a tree grows with the square of its depth; the store's own trees are
// a handful of levels deep.
inline constexpr std::size_t kMaxRegKeyDepth = 512;

// Parses a whole file into operations without touching any store. Throws RegistryError
// "<fileName>:<line>: <what is wrong>" at the first malformed line.
std::vector<RegFileOperation> ParseRegFile(std::string_view bytes, std::string_view fileName);

// Applies operations as one transaction: all land or, on any failure, none does.
// Deleting a key or value that does not exist is not a failure. Throws RegistryError
// naming the file (and the line, when one write was refused).
void ApplyRegFile(Registry& registry, const std::vector<RegFileOperation>& operations,
                  std::string_view fileName);

// The file text of keyPath ("" = the whole hive) and everything below it, keys in
// depth-first order, names sorted. Throws RegistryError when the key is missing or a
// value cannot be written in the format (a text with a line break or NUL, a number
// not 4 bytes long, a text that is not UTF-8 for the Unicode format).
std::string ExportRegFile(Registry& registry, std::string_view keyPath, RegFileFormat format);

// File helpers for the above. ImportRegFile returns the number of operations applied;
// it reads only a regular file (a directory, a named pipe or a device is refused with
// what it is, without waiting on it).
std::size_t ImportRegFile(Registry& registry, const std::string& filePath);
// The exported text, in a file of mode 0600 (it holds network keys) that replaces
// filePath whole. Only an absent name or a regular file is replaced: anything else at
// filePath (a symbolic link, a device, a named pipe, a socket, a directory) is refused
// with what it is, and left as it was.
void WriteRegFile(Registry& registry, std::string_view keyPath, const std::string& filePath,
                  RegFileFormat format);

} // namespace kesto
