// seedwright_uidriver: drives the real Seedwright.exe from outside, as a person would.
//
//   seedwright_uidriver ROAD --program EXE --client EXE --site-dir DIR --data DIR [--shots DIR]
//                       [--user NAME --password WORD]
//
// ROAD is one of
//   install    the first start of the downloaded program: fields the installer refuses, then the
//              installation, Wine's list of installed programs, and a newer build installed over
//              it and started from the Start menu; then a file by the working folder's name
//   upload     install, log in (wrong password, then the right one, an update offer declined),
//              upload a folder with three pictures, quit
//   more       install, log in remembering the password, a file upload the site refuses, a
//              hashing cancelled, a second upload in the same session, quit, start again
//              with the remembered login, Alt+F4
//   truth      install, log in with a Cyrillic login, uploads that end without a torrent (a
//              locked file, then the same once it is free; a missing folder, one of empty
//              files: nothing reaches the site), a site's copy that is no torrent, and names in
//              Cyrillic and Japanese; the worker's windows are owned by the main dialog
//   form       install, log in, then the main dialog: Enter and Escape in its fields, the
//              category and subcategory with the keyboard alone, a picture of 8 GiB, a typed
//              category, blank name and description, a deleted and an emptied picture (nothing
//              reaches the site), the inputs disabled and closing refused while busy; a
//              picture deleted while hashing (the upload stops at it); an upload; the close box
//   timed      install, log in, one upload of "Bench Folder" for bench/time-to-seed.sh
//   seed       install, log in, a folder, a file and a folder named in Cyrillic and Japanese
//              uploaded, each handed on to a real client that the host checks (see SeedRoad.h);
//              then an upload after the client's program file was deleted
//   uninstall  install, then the uninstall shortcut; again into a folder that holds a member's
//              file, from a read-only program file into a folder named with an umlaut, '&', '!'
//              and '%', and while a session runs; then "/uninstall" with nothing installed
//
// The program is always run from a copy in the prefix's Downloads folder, and the driver works
// in a folder on drive C:, so no uninstall batch can reach the host's files through drive Z:.
// Paths are Windows paths. The site's address comes from SEEDWRIGHT_SITE and the client's record
// file from SW_CLIENT_RECORD, both inherited by the program. Exit status 0 when every check
// passed.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/e2e/Roads.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: seedwright_uidriver install|upload|more|truth|form|uninstall --program EXE ...\n");
        return 2;
    }
    const std::string road = argv[1];
    RoadSettings settings;
    std::string shots;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const std::string value = argv[i + 1];
        if (option == "--program")
            settings.m_program = value;
        else if (option == "--client")
            settings.m_client = value;
        else if (option == "--site-dir")
            settings.m_siteDir = value;
        else if (option == "--data")
            settings.m_data = value;
        else if (option == "--shots")
            shots = value;
        else if (option == "--user")
            settings.m_user = value;
        else if (option == "--password")
            settings.m_password = value;
        else {
            std::fprintf(stderr, "unknown option %s\n", option.c_str());
            return 2;
        }
    }
    char profile[MAX_PATH] = "";
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, 0, profile)))
        SetCurrentDirectoryA(profile);
    CoInitialize(nullptr);
    CReport report(shots);
    const bool known = runRoad(road, settings, report);
    CoUninitialize();
    if (!known) {
        std::fprintf(stderr, "unknown road %s\n", road.c_str());
        return 2;
    }
    if (report.failures() != 0) {
        std::printf("%s: %d check(s) FAILED\n", road.c_str(), report.failures());
        return 1;
    }
    std::printf("%s: every check passed\n", road.c_str());
    return 0;
}
