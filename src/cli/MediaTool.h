// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// kvt-media, the program that runs the media commands: beside kvt in the build tree, in
// libexec once installed.

// Replaces this process with kvt-media given the same words. Returns only on failure, with the
// message shown and the exit status to give.
int RunMediaTool(char** argv);
