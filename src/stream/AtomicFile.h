#pragma once
// Writing a file so that a failure never costs the old one: the bytes go to a temporary file beside
// the target, which replaces the target only when the writer reports a complete result and every
// byte reached the disk. Otherwise the temporary file is removed and the target is untouched.

#include <filesystem>
#include <functional>

class CArchive;

// Returns true when the target now holds what `write` wrote. `write` returns false to abandon.
bool WriteFileAtomically(const std::filesystem::path& target,
                         const std::function<bool(CArchive& ar)>& write);
