#pragma once
// Whether a program file is in use: a running program file can be neither replaced nor deleted,
// and neither can a file that another program holds open without sharing its deletion. The
// installer and the uninstaller ask before they try.

#include <string>

#include "install/SetupSequence.h"

namespace install {

// Running: a process other than this one was started from `programFile` (compared as full long
// paths, letter case aside; processes this one may not query are not counted). Held: some
// program has it open and does not share its deletion. Free otherwise, a missing file included.
[[nodiscard]] FileUse useOfProgramFile(const std::string& programFile);

}  // namespace install
