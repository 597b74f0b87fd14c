#pragma once
// The parts of the install and uninstall roads that look at installation and removal closely:
// what the installer refuses, a newer build installed over the old one, Wine's list of
// installed programs, and what the uninstall batch leaves, deletes and how long it runs.

#include "tests/e2e/Report.h"
#include "tests/e2e/Seedwright.h"

// Wine's own list of installed programs ("uninstaller --list") names Seedwright, or does not.
bool checkInstalledAppsList(CReport& report, bool listed);

// A relative installation folder and a Start-menu name Windows cannot take are refused with a
// message while the dialog stays open with its fields; then Abort, and nothing is installed.
bool installerRefusals(CSeedwright& person, CReport& report);

// A newer build downloaded after the installation asks to be installed over it; while a session
// runs, Install says that Seedwright must be closed and the dialog stays with its fields; once the
// session has ended it installs into the prefilled dialog, and the Start-menu shortcut, opened
// through the shell, starts the new file.
bool installNewerBuild(CSeedwright& person, CReport& report);

// Installed again into another folder: the earlier program file goes, a member's file beside it
// stays, the record and the shortcut lead to the new copy.
bool reinstallIntoAnotherFolder(CSeedwright& person, CReport& report);

// Seedwright's own files in the working folder (`folder`), and a member's file beside them when
// `membersFile` names one.
void fillWorkingFolder(const std::string& folder, const std::string& membersFile);
// After the uninstall: Seedwright's own files are gone, the member's file stays with the folder, or
// without one the folder is gone too.
bool checkWorkingFolder(CReport& report, const std::string& folder, const std::string& membersFile);

// Installed into "C:\Programme\Müller Tools\Seedwright" and "C:\Программы & Co\Seed wright":
// Seedwright.lnk opened through the shell starts the program, uninstall.lnk started with cmd's
// start command uninstalls it, and the folders the installer made go too.
bool nonAsciiInstallationsStartThroughTheShell(CSeedwright& person, CReport& report);

// A file by the name of the working folder: a start from the Start menu names it and ends.
bool workingFolderTakenByAFile(CSeedwright& person, CReport& report);

// Installed into a folder that already holds a member's file ("C:\Tom & Jerry!%"): the
// uninstaller takes Seedwright.exe and leaves the file and the folder.
bool uninstallKeepsAMembersFolder(CSeedwright& person, CReport& report);

// Installed from a read-only program file into "C:\Müller & Co! 100%\Seedwright": the
// uninstaller removes the folder completely, and no cmd.exe runs on afterwards.
bool uninstallAReadOnlyCopyFromAFolderCmdMustReadLiterally(CSeedwright& person, CReport& report);

// Uninstalled while a session runs: "Seedwright is still running. Close it, then uninstall again
// to remove ...", and nothing is removed; once the session has ended the uninstall goes through.
bool uninstallWhileASessionRuns(CSeedwright& person, CReport& report);

// A program that takes the program file after the uninstaller looked (before its last message is
// answered): the batch tries about once a second without spinning, gives up after about 30
// seconds and deletes itself.
bool uninstallBatchWaitsForAFileTakenAfterItLooked(CSeedwright& person, CReport& report);

// A recorded installation folder that is not Seedwright's own ("C:\Windows\..", the drive
// root) and a temporary folder that does not exist: the uninstaller says the program file
// stays, writes no batch and deletes no file.
bool uninstallLeavesTheProgramFileWhereNoBatchMayRun(CSeedwright& person, CReport& report);

// "/uninstall" with nothing installed says so and asks nothing.
bool uninstallWithNothingInstalled(CReport& report);
