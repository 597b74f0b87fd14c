// Seedwright.exe: the one application object and the entry point that runs it.
#include <windows.h>

#include "app/KestrelApp.h"

namespace {
CKestrelApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return theApp.run();
}
