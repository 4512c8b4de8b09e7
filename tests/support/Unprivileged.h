// Running a piece of a test as a user whom file modes bind. Tests of what the program
// does with a file it may not write cannot run as root, who may write anything; as
// root the piece runs in a child process with the ids of the unprivileged "nobody"
// user, otherwise in a child as the user that runs the tests.
#pragma once

#include <filesystem>
#include <functional>

namespace kesto::test {

// Runs body in a child process and returns its result (the child's exit code, 0..255),
// or -1 when the child did not end normally. body must not use test assertions: it
// reports through what it returns.
int RunUnprivileged(const std::function<int()>& body);

// Makes dir and everything in it the unprivileged child's own, as its own files would be
// (the store refuses files of another user): as root they are given to "nobody";
// otherwise they belong to the user that runs the tests already. Modes stay as they are.
void GiveToUnprivileged(const std::filesystem::path& dir);

// The uid RunUnprivileged runs as under root ("nobody"), for files of another user.
inline constexpr unsigned kUnprivilegedUid = 65534;

} // namespace kesto::test
