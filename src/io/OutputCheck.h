// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every command checks of the files it is to write, before it writes anything: none
// may be one of its inputs (the same file, by any name, or the same path once resolved), since
// writing it would lose that input, and each must have the ending the command writes.

#include <filesystem>
#include <string_view>
#include <vector>

// False after the usage message ("kvt reveal: c.kvt: is also an input; ...") when an output is an
// input or lacks `ending` (compared without regard to case; none when empty).
bool CheckOutputs(std::string_view command, const std::vector<std::filesystem::path>& outputs,
                  const std::vector<std::filesystem::path>& inputs, std::string_view ending = {});
