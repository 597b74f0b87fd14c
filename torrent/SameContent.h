#pragma once
// The check of the site's copy of a torrent against the torrent that was uploaded, before the
// copy goes to the client. The site may add or change anything outside "info" (its announce
// address, a comment) and may add "private" and "source" inside it, as trackers do; everything
// else in "info" must be as built: the same "name", "files" (paths and lengths) or "length",
// "piece length" and "pieces".

#include <string>

// True when `copy` describes the same content as `built` (both whole files); otherwise false
// with the reason, a sentence for the member.
[[nodiscard]] bool sameContent(const std::string& built, const std::string& copy, std::string& reason);
