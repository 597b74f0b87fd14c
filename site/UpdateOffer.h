#pragma once
// Offers the newer build the site announced after a login.

#include <windows.h>

#include <cstdint>
#include <string>

// For a build newer than ours, asks whether to fetch it; on Yes the shell opens the address,
// but only a web address: anything else is left alone, without a word.
void offerUpdate(HWND owner, int32_t announcedBuild, const std::string& address, int32_t ownBuild);
