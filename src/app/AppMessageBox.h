// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's messages as the user sees them: a modal box titled "KVTPlayer" with a warning
// icon and an OK button, over the window it is about.

void InstallMessageBox();
