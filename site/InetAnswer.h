#pragma once
// Reading an answer off a WinINet request handle, for the form post and the downloads alike.

#include <windows.h>

#include <wininet.h>

// Reads at most `size` bytes of what has come, waiting only for the first: a request that is
// given up on or past its time ends at the next byte instead of when a whole block has come
// (closing the handle ends the wait itself where WinINet allows it). 0 bytes: the end.
bool readSome(HINTERNET request, void* buffer, DWORD size, DWORD& read);
// False for a connection closed before any header line: no answer, though WinINet makes one of it.
bool answeredWithHeaders(HINTERNET request);
// The answer's HTTP status, 0 when it has none.
long answerStatus(HINTERNET request);
// The answer's Content-Length, -1 when it has none.
long long contentLength(HINTERNET request);
