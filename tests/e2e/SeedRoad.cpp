#include "tests/e2e/SeedRoad.h"

#include <windows.h>

#include <shlwapi.h>

#include <cstdint>
#include <fstream>
#include <optional>
#include <utility>
#include <vector>

#include "tests/e2e/Roads.h"
#include "tests/support/FileBytes.h"
#include "upload/res/UploadIds.h"

namespace {

const char* const kDescription = "Content of the seed road, made for it alone.";
const char* const kNotStarted = "The torrent is on the site, but the client could not be started:";

// Bytes no two files share, so that a peer's copy cannot pass by chance.
std::string noise(std::size_t size, std::uint32_t seed) {
    std::string bytes(size, '\0');
    std::uint32_t x = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = char(x >> 24);
    }
    return bytes;
}

struct Content {
    std::string m_path;
    bool m_folder;
    std::vector<std::pair<std::string, std::size_t>> m_files;  // below m_path; empty for a file
};

bool make(const Content& content, std::uint32_t seed) {
    if (!content.m_folder) {
        writeFileBytes(content.m_path, noise(4 << 20, seed));
        return GetFileAttributesA(content.m_path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    CreateDirectoryA(content.m_path.c_str(), nullptr);
    for (const auto& file : content.m_files) {
        const std::string path = content.m_path + "\\" + file.first;
        const std::size_t slash = file.first.rfind('\\');
        if (slash != std::string::npos)
            CreateDirectoryA((content.m_path + "\\" + file.first.substr(0, slash)).c_str(), nullptr);
        writeFileBytes(path, noise(file.second, ++seed));
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            return false;
    }
    return true;
}

// The qBittorrent stand-in, copied beside the road's uTorrent by seedRoadClient.
std::string qbittorrentCopy(const RoadSettings& settings) {
    return settings.m_data + "\\qbclient\\qbittorrent.exe";
}

// qBittorrent's settings file in the member's profile, with the content layout the member chose.
bool chooseQbittorrentLayout(CReport& report, const std::string& layout) {
    char appData[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("APPDATA", appData, MAX_PATH))
        return report.fail("no APPDATA");
    const std::string folder = std::string(appData) + "\\qBittorrent";
    CreateDirectoryA(folder.c_str(), nullptr);
    report.step("qBittorrent's content layout: " + layout);
    writeFileBytes(folder + "\\qBittorrent.ini", "[BitTorrent]\r\nSession\\TorrentContentLayout=" + layout + "\r\n");
    return true;
}

// One upload through to "Upload Complete!", the client's start checked and noted for the host.
// One upload to "Movies" of what `in` holds, its backend wait left to end by itself; nothing when
// the main dialog could not be filled.
std::optional<UploadSeen> uploadLettingTheWaitEnd(CSeedwright& person, UploadInputs in, const std::string& name) {
    in.m_category = "Movies";
    in.m_name = name;
    in.m_description = kDescription;
    if (!person.fill(in))
        return std::nullopt;
    WhileHashing meanwhile;
    meanwhile.m_letBackendWaitRun = true;
    return person.upload(meanwhile);
}

// `saveFolder` empty: uTorrent 3.x, else the folder qBittorrent must be given.
bool uploadForTheSwarm(CSeedwright& person,
                       CReport& report,
                       const RoadSettings& settings,
                       const Content& content,
                       const std::string& name,
                       std::size_t starts,
                       const std::string& saveFolder = std::string()) {
    report.step("--- " + name + ": " + content.m_path);
    UploadInputs in;
    in.m_folderMode = content.m_folder;
    in.m_path = content.m_path;
    // The list keeps its picture for the session's next uploads.
    if (ui::listViewRows(GetDlgItem(person.mainDialog(), IDC_PICTURES), 1).empty())
        in.m_pictures = {settings.m_data + "\\a.jpg"};
    const std::optional<UploadSeen> uploaded = uploadLettingTheWaitEnd(person, in, name);
    if (!uploaded)
        return false;
    const UploadSeen& seen = *uploaded;
    // The site's backend registers the upload with the tracker seconds after the torrent form.
    report.check(seen.m_backendWait && seen.m_backendEndedMs != 0 && seen.m_backendSeconds < 20,
                 "the backend wait ended by itself once the tracker listed the upload");
    if (!report.checkEqual(seen.m_message, "Upload Complete!", "the upload's last message"))
        return false;
    ClientStart last;
    if (saveFolder.empty())
        checkClientStart(person, report, starts, content.m_path.substr(0, content.m_path.rfind('\\') + 1));
    else  // the folder that holds the data, without a trailing backslash
        checkClientStartedWith(person, report, starts, "qBittorrent",
                               {"--save-path=" + saveFolder, "--skip-dialog=true"}, last);
    const std::vector<ClientStart> all = person.awaitClientStarts(starts);
    if (all.size() != starts || all.back().m_copy.empty())
        return report.fail("no copy of the torrent the client got");
    std::ofstream(settings.m_data + "\\seed-checks.txt", std::ios::app)
        << all.back().m_copy + "\t" + content.m_path + "\t" + std::to_string(seen.m_messageShownMs) + "\t" +
               std::to_string(seen.m_backendEndedMs) + "\n";
    return true;
}

// No "Upload Complete!": the member is told that the client could not be started, and where the
// site's copy and the data lie.
bool clientDeleted(CSeedwright& person, CReport& report, const std::string& client, const std::string& seed) {
    report.step("--- The client's program file deleted: " + client);
    // The last start may still be handing its torrent on: its program file is in use until it ends.
    const bool deleted = ui::waitUntil([&] { return DeleteFileA(client.c_str()) != FALSE; }, 30000);
    if (!report.check(deleted, "the client's program file deleted"))
        return false;
    UploadInputs in;
    in.m_path = seed + "\\no client.bin";
    writeFileBytes(in.m_path, noise(100000, 99));
    in.m_category = "Movies";
    in.m_name = "Seed road: no client";
    in.m_description = kDescription;
    if (!person.fill(in))
        return false;
    const UploadSeen seen = person.upload();
    report.check(seen.m_message.rfind(kNotStarted, 0) == 0, "the member is told the client could not be started");
    report.check(seen.m_message.find("\\swr.torrent to your client with the data in " + seed + " to seed it.") !=
                     std::string::npos,
                 "where the site's copy and the data lie");
    Sleep(1000);  // a client start would have been recorded by now
    report.check(person.awaitClientStarts(6).size() == 6, "no client start recorded");
    return true;
}

}  // namespace

std::string seedRoadClient(const RoadSettings& settings) {
    const std::string folder = settings.m_data + "\\client";
    const std::string copy = folder + "\\uTorrent.exe";
    CreateDirectoryA(folder.c_str(), nullptr);
    // The qBittorrent stand-in is built beside the uTorrent 3.x one: ...\standin\qbittorrent\.
    const std::string standins = settings.m_client.substr(0, settings.m_client.rfind("\\v3\\"));
    CreateDirectoryA((settings.m_data + "\\qbclient").c_str(), nullptr);
    const bool qbittorrent =
        CopyFileA((standins + "\\qbittorrent\\qbittorrent.exe").c_str(), qbittorrentCopy(settings).c_str(), FALSE);
    return qbittorrent && CopyFileA(settings.m_client.c_str(), copy.c_str(), FALSE) ? copy : std::string();
}

bool timedRoad(CSeedwright& person, CReport& report, const RoadSettings& settings) {
    const std::string timeline = settings.m_data + "\\timeline.txt";
    if (!person.install() || !person.startFromShortcut("Seedwright.lnk") || !person.logIn(false, false, false))
        return false;
    UploadInputs in;
    in.m_folderMode = true;
    in.m_path = settings.m_data + "\\Bench Folder";
    in.m_pictures = {settings.m_data + "\\a.jpg"};
    const std::optional<UploadSeen> seen = uploadLettingTheWaitEnd(person, in, "Time to seed");
    if (!seen)
        return false;
    std::ofstream out(timeline);
    for (const auto& event : seen->m_timeline)
        out << event.second << "\t" << event.first << "\n";
    return report.checkEqual(seen->m_message, "Upload Complete!", "the upload's last message") && person.closeMain();
}

bool seedRoad(CSeedwright& person, CReport& report, const RoadSettings& settings) {
    if (!report.check(!settings.m_client.empty(), "a copy of the client of the road's own"))
        return false;
    const std::string seed = settings.m_data + "\\seed";
    CreateDirectoryA(seed.c_str(), nullptr);
    const Content film{seed + "\\Seed Film", true, {{"film.mkv", 3000000}, {"Extras\\making-of.mp4", 1194304}}};
    const Content single{seed + "\\seed.bin", false, {}};
    const Content names{seed + "\\Кино 映画",
                        true,
                        {{"фильм 映画.mkv", 2500000}, {"Дополнения 特典\\интервью インタビュー.mp4", 1694304}}};
    if (!report.check(make(film, 1) && make(single, 10) && make(names, 20), "three contents of 4 MiB each"))
        return false;
    const Content original{seed + "\\QB Original", true, {{"a.mkv", 3000000}, {"b\\c.txt", 1194304}}};
    const Content flat{seed + "\\QB NoSubfolder", true, {{"d.mkv", 2000000}, {"e\\f.txt", 2194304}}};
    const Content qbFile{seed + "\\qb.bin", false, {}};
    if (!report.check(make(original, 30) && make(flat, 40) && make(qbFile, 50), "three more for qBittorrent"))
        return false;
    if (!person.install() || !person.startFromShortcut("Seedwright.lnk") || !person.logIn(false, false, false))
        return false;
    if (!uploadForTheSwarm(person, report, settings, film, "Seed road: a folder", 1) ||
        !uploadForTheSwarm(person, report, settings, single, "Seed road: a file", 2) ||
        !uploadForTheSwarm(person, report, settings, names, "Seed road: Кино 映画", 3) || !person.closeMain())
        return false;

    report.step("--- The member's client is qBittorrent: " + qbittorrentCopy(settings));
    const std::string client = qbittorrentCopy(settings);
    if (!report.check(SHSetValueA(HKEY_LOCAL_MACHINE, "Software\\Seedwright\\Settings", "utorrent", REG_SZ,
                                  client.c_str(), DWORD(client.size() + 1)) == ERROR_SUCCESS,
                      "the stored client is qBittorrent"))
        return false;
    return person.startFromShortcut("Seedwright.lnk") && person.logIn(false, false, false) &&
           uploadForTheSwarm(person, report, settings, original, "Seed road: qBittorrent, Original", 4, seed) &&
           uploadForTheSwarm(person, report, settings, qbFile, "Seed road: qBittorrent, a file", 5, seed) &&
           chooseQbittorrentLayout(report, "NoSubfolder") &&
           uploadForTheSwarm(person, report, settings, flat, "Seed road: qBittorrent, NoSubfolder", 6, flat.m_path) &&
           clientDeleted(person, report, client, seed) && person.closeMain();
}
