#pragma once
// The stand-in torrent client's record: one block per start, written by the client itself.

#include <string>
#include <vector>

// One start of the stand-in torrent client.
struct ClientStart {
    std::vector<std::string> m_arguments;
    std::string m_copy;  // its copy of the torrent it was given
};

// The client's record file, named by SW_CLIENT_RECORD.
std::vector<ClientStart> clientStarts();
