#include "tests/e2e/SeedRoad.h"

#include <cstdint>
#include <fstream>
#include <utility>
#include <vector>

#include "tests/e2e/Roads.h"
#include "tests/support/FileBytes.h"

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

// One upload through to "Upload Complete!", the client's start checked and noted for the host.
bool uploadForTheSwarm(CSeedwright& person,
                       CReport& report,
                       const RoadSettings& settings,
                       const Content& content,
                       const std::string& name,
                       std::size_t starts) {
    report.step("--- " + name + ": " + content.m_path);
    UploadInputs in;
    in.m_folderMode = content.m_folder;
    in.m_path = content.m_path;
    in.m_category = "Movies";
    if (starts == 1)
        in.m_pictures = {settings.m_data + "\\a.jpg"};  // the list keeps it for the next uploads
    in.m_name = name;
    in.m_description = kDescription;
    if (!person.fill(in))
        return false;
    const UploadSeen seen = person.upload();
    report.check(seen.m_backendWait && seen.m_backendClosedEarly, "the backend wait showed and Escape closed it");
    if (!report.checkEqual(seen.m_message, "Upload Complete!", "the upload's last message"))
        return false;
    const std::string folder = content.m_path.substr(0, content.m_path.rfind('\\') + 1);
    checkClientStart(person, report, starts, folder);
    const std::vector<ClientStart> all = person.awaitClientStarts(starts);
    if (all.size() != starts || all.back().m_copy.empty())
        return report.fail("no copy of the torrent the client got");
    std::ofstream(settings.m_data + "\\seed-checks.txt", std::ios::app)
        << all.back().m_copy + "\t" + content.m_path + "\t" + std::to_string(seen.m_messageShownMs) + "\n";
    return true;
}

// Today the program says "Upload Complete!" even so; it is to say that the client could not be
// started. Either passes here; a client start does not.
bool clientDeleted(CSeedwright& person, CReport& report, const RoadSettings& settings, const std::string& seed) {
    report.step("--- The client's program file deleted: " + settings.m_client);
    // The last start may still be handing its torrent on: its program file is in use until it ends.
    const bool deleted = ui::waitUntil([&] { return DeleteFileA(settings.m_client.c_str()) != FALSE; }, 30000);
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
    const bool told = seen.m_message.rfind(kNotStarted, 0) == 0;
    report.info(told ? "the member is told the client could not be started"
                     : "the program does not yet tell that the client could not be started");
    report.check(told || seen.m_message == "Upload Complete!", "the upload's last message");
    Sleep(1000);  // a client start would have been recorded by now
    report.check(person.awaitClientStarts(3).size() == 3, "no client start recorded");
    return true;
}

}  // namespace

std::string seedRoadClient(const RoadSettings& settings) {
    const std::string folder = settings.m_data + "\\client";
    const std::string copy = folder + "\\uTorrent.exe";
    CreateDirectoryA(folder.c_str(), nullptr);
    return CopyFileA(settings.m_client.c_str(), copy.c_str(), FALSE) ? copy : std::string();
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
    if (!person.install() || !person.startFromShortcut("Seedwright.lnk") || !person.logIn(false, false, false))
        return false;
    return uploadForTheSwarm(person, report, settings, film, "Seed road: a folder", 1) &&
           uploadForTheSwarm(person, report, settings, single, "Seed road: a file", 2) &&
           uploadForTheSwarm(person, report, settings, names, "Seed road: Кино 映画", 3) &&
           clientDeleted(person, report, settings, seed) && person.closeMain();
}
