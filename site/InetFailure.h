#pragma once
// The request limits on WinINet handles, and WinINet's failures in the member's words.

#include <windows.h>

#include <wininet.h>

#include <string>

#include "site/RequestLimits.h"

// Connect, send and receive timeouts of the step limit; handles made from it inherit them.
void applyTimeouts(HINTERNET handle, const RequestLimits& limits);

// Why a request to host failed with this WinINet or system error, e.g. "Cannot connect to host.".
std::string inetFailureReason(DWORD error, const std::string& host, const RequestLimits& limits);
