#include "tests/e2e/Roads.h"

#include <algorithm>
#include <functional>
#include <map>

#include "tests/e2e/FormRoad.h"
#include "tests/e2e/GiveUpRoad.h"
#include "tests/e2e/InstallChecks.h"
#include "tests/e2e/PictureRoad.h"
#include "tests/e2e/SeedRoad.h"
#include "tests/support/WinPlaces.h"
#include "win/Handles.h"

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

bool checkClientStartedWith(CSeedwright& person,
                            CReport& report,
                            std::size_t count,
                            const std::string& client,
                            const std::vector<std::string>& arguments,
                            ClientStart& last) {
    const std::vector<ClientStart> starts = person.awaitClientStarts(count);
    if (!report.check(starts.size() == count, "the client started " + std::to_string(count) + " time(s)"))
        return false;
    last = starts.back();
    std::string line;
    for (const std::string& argument : last.m_arguments)
        line += " " + quoted(argument);
    report.step(client + " was started with" + line);
    if (!report.check(last.m_arguments.size() == arguments.size() + 1, "the arguments and the torrent"))
        return false;
    for (std::size_t i = 0; i < arguments.size(); ++i)
        report.checkEqual(last.m_arguments[i], arguments[i], "argument " + std::to_string(i + 1));
    return report.check(endsWith(last.m_arguments.back(), "\\swr.torrent"), "the site's copy of the torrent");
}

void checkClientStart(CSeedwright& person, CReport& report, std::size_t count, const std::string& folder) {
    ClientStart last;
    if (checkClientStartedWith(person, report, count, "The torrent client", {"/directory", folder}, last))
        person.noteForDataCheck(last);
}

namespace {

const char* const kDescription =
    "A short film about a long walk, shot on a phone.\r\nThree pictures: the start, the middle, the end.";
const char* const kRefusal = "This torrent is already on the site";
const char* const kCyrillicName = "Кино – “Café” ½ 映画";

bool installRoad(CSeedwright& person, CReport& report, const RoadSettings&) {
    return installerRefusals(person, report) && person.install() && checkInstalledAppsList(report, true) &&
           installNewerBuild(person, report) && reinstallIntoAnotherFolder(person, report) &&
           workingFolderTakenByAFile(person, report);
}

bool uploadRoad(CSeedwright& person, CReport& report, const RoadSettings& settings) {
    if (!person.install() || !person.startFromShortcut("Seedwright.lnk") || !person.logIn(true, true, false))
        return false;
    UploadInputs in;
    in.m_folderMode = true;
    in.m_path = settings.m_data + "\\Demo Film";
    in.m_category = "Documentaries";
    in.m_subcategories = {"Movies", "Music"};
    in.m_pictures = {settings.m_data + "\\a.jpg", settings.m_data + "\\b.jpg", settings.m_data + "\\c.jpg"};
    in.m_name = "Demo Film \"Director's Cut\"! 2026?";
    in.m_description = kDescription;
    if (!person.fill(in))
        return false;
    const int before = person.site().requestCount();
    const UploadSeen seen = person.upload();
    report.check(seen.m_hashing, "the hashing dialog showed");
    report.check(seen.m_backendWait && seen.m_backendClosedEarly, "the backend wait showed and Escape closed it");
    report.checkEqual(seen.m_message, "Upload Complete!", "the upload's last message");

    const std::vector<StandinRequest> sent = person.site().requestsSince(before);
    report.step("The site received " + std::to_string(sent.size()) + " requests");
    for (const StandinRequest& request : sent) {
        const std::string picture = formFileName(request.m_body, "ulpic");
        const std::string torrent = formFileName(request.m_body, "file");
        report.info(request.m_method + " " + request.m_target + (picture.empty() ? "" : ": picture " + picture) +
                    (torrent.empty() ? "" : ": torrent " + torrent));
    }
    if (report.check(sent.size() == 6, "three pictures, the torrent form, the answer page, the download")) {
        const char* order[] = {"c.jpg", "b.jpg", "a.jpg"};
        for (int i = 0; i < 3; ++i)
            report.checkEqual(formFileName(sent[i].m_body, "ulpic"), order[i], "picture post " + std::to_string(i + 1));
        const std::string& form = sent[3].m_body;
        report.checkEqual(formField(form, "name"), "Demo Film Director's Cut 2026", "the cleaned name on the wire");
        report.checkEqual(formField(form, "type"), "7", "category");
        report.checkEqual(formField(form, "scat1"), "1", "first subcategory");
        report.checkEqual(formField(form, "scat2"), "3", "second subcategory");
        report.checkEqual(formField(form, "scat3"), "-1", "third subcategory");
        report.checkEqual(formFileName(form, "file"), "Demo Film Director's Cut 2026.torrent", "torrent file name");
        report.check(sent[4].m_target.rfind("/details.php?id=", 0) == 0, "the answer page");
        report.check(sent[5].m_target.rfind("/download.php/", 0) == 0, "the download of the site's copy");
    }
    checkClientStart(person, report, 1, settings.m_data + "\\");
    return person.closeMain();
}

// The program started once more from its shortcut while the session's main dialog is minimised
// behind another program: the second start shows nothing of its own and ends, the main dialog
// comes back in front.
bool secondStartShowsTheSession(CSeedwright& person, CReport& report) {
    places::Shortcut shortcut;
    if (!places::readShortcut(person.menuFolder() + "\\Seedwright.lnk", shortcut))
        return report.fail("cannot read the shortcut Seedwright.lnk");
    const HWND main = person.mainDialog();
    ShowWindow(main, SW_MINIMIZE);
    const ui::CWindowInFront other;
    if (!report.check(IsIconic(main) && other.inFront(), "the main dialog minimised, another window in front"))
        return false;
    ui::CProcess second;
    if (!report.check(second.start(shortcut.m_target, shortcut.m_arguments, shortcut.m_folder),
                      "the shortcut's program started a second time"))
        return false;
    ui::WindowQuery own;
    own.processId = second.id();
    bool ownWindow = false;
    const bool ended = ui::waitUntil(
        [&] {
            ownWindow = ownWindow || ui::findWindow(own) != nullptr;
            return second.waitEnd(0);
        },
        5000);
    report.check(ended, "the second start ended within 5 seconds");
    report.check(!ownWindow, "no window of the second start's own");
    report.check(!IsIconic(main) && GetForegroundWindow() == main, "the main dialog restored and in front");
    return ended;
}

bool sparseFile(const std::string& path, LONGLONG size) {
    win::CHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = size;
    return file.valid() && SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
}

// `bytes` written at `offset` of an existing file.
bool writeBytesAt(const std::string& path, LONGLONG offset, const std::string& bytes) {
    win::CHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD written = 0;
    return file.valid() && SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) &&
           WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
}

// Sizes and offsets past 4 GiB, which a 32-bit size would wrap: a file of 5 GiB whose only bytes
// lie past 4 GiB, alone and in a folder with a file after it. libtorrent checks each upload's data
// afterwards, so a wrapped offset (bytes read from the start instead) fails the check. The 32-bit
// program's road alone: the 64-bit one's sizes cannot wrap, and 10 GiB take a while to hash.
bool contentPastFourGiB(CSeedwright& person, CReport& report, const RoadSettings& settings) {
    if (sizeof(void*) > 4)
        return true;
    report.step("--- Content past 4 GiB: a file of 5 GiB, then a folder holding it");
    const std::string folder = settings.m_data + "\\Past 4 GiB";
    const std::string big = folder + "\\five.bin";
    const LONGLONG fourGiB = 4LL << 30;
    CreateDirectoryA(folder.c_str(), nullptr);
    if (!report.check(sparseFile(big, 5 * (fourGiB >> 2)) && writeBytesAt(big, fourGiB + 12345, "past 4 GiB"),
                      "5 GiB of content made"))
        return false;
    writeFileBytes(folder + "\\z.txt", "after the big file");
    std::size_t starts = 1;
    for (const bool folderMode : {false, true}) {
        UploadInputs in;
        in.m_folderMode = folderMode;
        in.m_path = folderMode ? folder : big;
        in.m_category = "Music";
        in.m_name = folderMode ? "Past 4 GiB, a folder" : "Past 4 GiB, a file";
        in.m_description = kDescription;
        if (!person.fill(in))
            return false;
        const UploadSeen seen = person.upload();
        report.check(seen.m_message.rfind("Upload Complete!", 0) == 0, "Upload Complete! (" + seen.m_message + ")");
        checkClientStart(person, report, ++starts, folderMode ? settings.m_data + "\\" : folder + "\\");
    }
    return true;
}

bool moreRoad(CSeedwright& person, CReport& report, const RoadSettings& settings) {
    if (!person.install() || !person.startFromShortcut("Seedwright.lnk") || !person.logIn(false, false, true))
        return false;

    report.step("--- A file upload the site refuses");
    person.site().setScenario(std::string("{\"fail_upload\": \"") + kRefusal + "\"}");
    // Pictures kept apart from the content: each chooser must open where its own rule says, not
    // where the last one was closed.
    const std::string covers = settings.m_data + "\\covers";
    CreateDirectoryA(covers.c_str(), nullptr);
    writeFileBytes(covers + "\\a.jpg", readFileBytes(settings.m_data + "\\a.jpg"));
    UploadInputs in;
    in.m_path = settings.m_data + "\\single.bin";
    in.m_category = "Music";
    in.m_pictures = {covers + "\\a.jpg"};
    in.m_pictureFolders = {settings.m_data};  // the file's folder: no picture added yet
    in.m_name = "Single file";
    in.m_description = kDescription;
    if (!person.fill(in))
        return false;
    UploadSeen seen = person.upload();
    person.site().setScenario("{}");
    const std::string kept =
        "The site keeps the pictures a.jpg for the next torrent: uploading this content again "
        "reuses them.";
    report.checkEqual(seen.m_message, std::string("Upload Failed:\n\n") + kRefusal + "\n\n" + kept, "the refusal");
    report.check(!seen.m_backendWait, "no backend wait after a refusal");
    report.check(person.awaitClientStarts(0).empty(), "the client not started");

    report.step("--- A hashing cancelled");
    UploadInputs big;
    big.m_path = settings.m_data + "\\big.bin";
    big.m_browseFolder = settings.m_data;  // where the path box points, not the covers
    big.m_category = "Music";
    big.m_name = "Too big to wait for";
    big.m_description = kDescription;
    if (!person.fill(big))
        return false;
    const int before = person.site().requestCount();
    WhileHashing cancel;
    cancel.m_cancel = true;
    seen = person.upload(cancel);
    report.check(seen.m_hashing, "the hashing dialog showed");
    report.checkEqual(seen.m_message,
                      "These pictures wait on the site for the next torrent: a.jpg\n\nThe site offers no way to "
                      "withdraw them: they will be attached to the next torrent uploaded.",
                      "only the word about the picture that waits for other content");
    report.check(person.site().requestCount() == before, "nothing on the wire");

    report.step("--- Started again while the main dialog shows");
    if (!secondStartShowsTheSession(person, report))
        return false;

    report.step("--- A second upload in the same session, of the content the site refused");
    UploadInputs second = in;
    // The picture list keeps its row; one more, from where the last one came.
    second.m_pictures = {settings.m_data + "\\b.jpg"};
    second.m_pictureFolders = {covers};
    second.m_name = "Single file, second try";
    if (!person.fill(second))
        return false;
    const int retried = person.site().requestCount();
    seen = person.upload();
    report.checkEqual(seen.m_message, "Upload Complete!\n\nReused the pictures already on the site: a.jpg",
                      "the upload's last message");
    const std::vector<StandinRequest> again = person.site().requestsSince(retried);
    std::string posted;
    for (const StandinRequest& request : again)
        posted += formFileName(request.m_body, "ulpic");
    report.checkEqual(posted, "b.jpg", "only the new picture posted: the one the site keeps is not posted again");
    checkClientStart(person, report, 1, settings.m_data + "\\");
    if (!contentPastFourGiB(person, report, settings))
        return false;
    if (!person.closeMain())
        return false;

    report.step("--- Started again: the remembered login");
    return person.startFromShortcut("Seedwright.lnk") && person.logInRemembered() && person.closeMain(CloseBy::AltF4);
}

// Content of the truth road's own, made where the person keeps the data.
std::string someBytes(std::size_t size, char seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = char(seed + i * 131 + i / 251);
    return bytes;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

std::string ownedByMain(const UploadSeen& seen) {
    return "the worker's windows owned by the main dialog" +
           (seen.m_unowned.empty() ? "" : ": not " + joined(seen.m_unowned));
}

// An upload that must end with `message` and leave the site without a single request.
void expectRefusedBeforeAnyPost(CSeedwright& person, CReport& report, const std::string& message) {
    const int before = person.site().requestCount();
    const UploadSeen seen = person.upload();
    report.checkEqual(seen.m_message, message, "the message");
    report.check(person.site().requestCount() == before, "the site received no request at all");
    report.check(seen.m_unowned.empty(), ownedByMain(seen));
}

// The upload tells the truth: a build without output, a site's copy that is not the upload,
// names in any script, and a worker whose windows stand in front of the main dialog.
bool truthRoad(CSeedwright& person, CReport& report, const RoadSettings& settings) {
    if (!person.install() || !person.startFromShortcut("Seedwright.lnk") || !person.logIn(false, false, false))
        return false;
    const std::vector<StandinRequest> sent = person.site().requestsSince(0);
    const auto login = std::find_if(sent.rbegin(), sent.rend(),
                                    [](const StandinRequest& r) { return r.m_target == "/takelogin.php"; });
    if (report.check(login != sent.rend(), "the login posted"))
        report.checkEqual(formField(login->m_body, "username"), settings.m_user, "the login in Cyrillic on the wire");

    const std::string truth = settings.m_data + "\\truth";
    CreateDirectoryA(truth.c_str(), nullptr);
    const std::string locked = truth + "\\locked.bin";
    const std::string earlier = person.workingFolder() + "\\MyNew.torrent";
    writeFileBytes(earlier,
                   "d8:announce7:tmp_url4:infod6:lengthi1e4:name11:earlier.bin12:piece lengthi65536e"
                   "6:pieces20:" +
                       std::string(20, 'E') + "ee");
    if (!report.check(sparseFile(locked, 1LL << 30) && places::exists(earlier),
                      "a file of 1 GiB to upload, and an earlier MyNew.torrent in the working folder"))
        return false;

    report.step("--- A file that another program locks after it was chosen");
    UploadInputs in;
    in.m_path = locked;
    in.m_category = "Movies";
    in.m_pictures = {settings.m_data + "\\a.jpg"};
    in.m_name = "Locked, then free";
    in.m_description = kDescription;
    if (!person.fill(in))
        return false;
    {
        const win::CHandle lock(
            CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        report.check(lock.valid(), "the file locked by another program");
        expectRefusedBeforeAnyPost(person, report, "Could not create the torrent:\n\nCannot read " + locked);
    }

    report.step("--- The same upload once the file is free again");
    WhileHashing click;
    click.m_click = true;
    UploadSeen seen = person.upload(click);
    report.check(seen.m_mainDisabledWhileHashing, "the main dialog disabled while the hashing dialog shows");
    report.check(seen.m_clickIgnored, "the click on the main dialog did nothing");
    report.check(seen.m_unowned.empty(), ownedByMain(seen));
    report.checkEqual(seen.m_message, "Upload Complete!", "the upload's last message");
    checkClientStart(person, report, 1, truth + "\\");

    report.step("--- A folder typed by hand that does not exist");
    const std::string missing = truth + "\\No such folder";
    if (!person.typePath(true, missing))
        return false;
    expectRefusedBeforeAnyPost(person, report, "Could not create the torrent:\n\nThere is no folder " + missing);

    report.step("--- A folder of only empty files");
    const std::string empty = truth + "\\Empty";
    CreateDirectoryA(empty.c_str(), nullptr);
    writeFileBytes(empty + "\\one.txt", "");
    writeFileBytes(empty + "\\two.txt", "");
    if (!person.typePath(true, empty))
        return false;
    expectRefusedBeforeAnyPost(person, report,
                               "Could not create the torrent:\n\nNothing to upload in " + empty + ": it holds no data");

    report.step("--- The site's copy of the torrent is its login page");
    const std::string small = truth + "\\copy.bin";
    writeFileBytes(small, someBytes(20000, 'c'));
    if (!person.typePath(false, small))
        return false;
    person.site().setScenario("{\"copy\": \"html\"}");
    seen = person.upload();
    person.site().setScenario("{}");
    report.checkEqual(seen.m_message,
                      "The site's copy of the torrent does not match the upload:\n\nThe file from the site is not a "
                      "torrent (byte 1: not the start of a bencode value).",
                      "the message");
    report.check(!seen.m_backendWait, "no backend wait");
    Sleep(1000);  // a client start would have been recorded by now
    report.check(person.awaitClientStarts(1).size() == 1, "the client not started");

    report.step("--- Names in Cyrillic and Japanese, in the program's UTF-8 code page");
    const std::string folder = truth + "\\Кино 映画 – “Café” ½";
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "\\Доп").c_str(), nullptr);
    writeFileBytes(folder + "\\Фильм.bin", someBytes(150000, 'f'));
    writeFileBytes(folder + "\\映画 – €.txt", "映画\r\n");
    writeFileBytes(folder + "\\Доп\\Café ’s.txt", someBytes(700, 'd'));
    UploadInputs names;
    names.m_folderMode = true;
    names.m_path = folder;
    names.m_category = "Documentaries";
    names.m_name = kCyrillicName;
    names.m_description = "Фильм о долгой прогулке – “в трёх частях”, снят на телефон.";
    if (!person.fill(names))
        return false;
    const int before = person.site().requestCount();
    seen = person.upload();
    report.checkEqual(seen.m_message, "Upload Complete!", "the upload's last message");
    const std::vector<StandinRequest> posted = person.site().requestsSince(before);
    const StandinRequest* form = torrentFormAmong(posted);
    if (report.check(form != nullptr, "the torrent form posted")) {
        report.checkEqual(formField(form->m_body, "name"), kCyrillicName, "the name on the wire, in UTF-8");
        report.checkEqual(formField(form->m_body, "descr"), names.m_description, "the description on the wire");
        report.checkEqual(formFileName(form->m_body, "file"), std::string(kCyrillicName) + ".torrent",
                          "the torrent's file name on the wire");
    }
    checkClientStart(person, report, 2, truth + "\\");
    return person.closeMain();
}

bool uninstallRoad(CSeedwright& person, CReport& report, const RoadSettings&) {
    // The working folder as uploads leave it, with a file of the member's beside Seedwright's own.
    const std::string notes = "my notes.txt";
    if (!person.install())
        return false;
    fillWorkingFolder(person.workingFolder(), notes);
    if (!person.uninstall() || !person.batchRemoved(person.installFolder(), false) ||
        !checkWorkingFolder(report, person.workingFolder(), notes))
        return false;
    DeleteFileA((person.workingFolder() + "\\" + notes).c_str());
    return nonAsciiInstallationsStartThroughTheShell(person, report) && uninstallKeepsAMembersFolder(person, report) &&
           uninstallAReadOnlyCopyFromAFolderCmdMustReadLiterally(person, report) &&
           uninstallWhileASessionRuns(person, report) &&
           uninstallBatchWaitsForAFileTakenAfterItLooked(person, report) &&
           uninstallLeavesTheProgramFileWhereNoBatchMayRun(person, report) && uninstallWithNothingInstalled(report);
}

// The non-ASCII installations alone, for a run in another locale (the Cyrillic one: code page 1251).
bool shortcutsRoad(CSeedwright& person, CReport& report, const RoadSettings&) {
    return nonAsciiInstallationsStartThroughTheShell(person, report);
}

}  // namespace

bool runRoad(const std::string& name, const RoadSettings& settings, CReport& report) {
    using Road = std::function<bool(CSeedwright&, CReport&, const RoadSettings&)>;
    const std::map<std::string, Road> roads = {
        {"install", installRoad}, {"upload", uploadRoad},       {"more", moreRoad},         {"truth", truthRoad},
        {"form", formRoad},       {"uninstall", uninstallRoad}, {"pictures", picturesRoad}, {"giveup", giveUpRoad},
        {"seed", seedRoad},       {"shortcuts", shortcutsRoad}, {"timed", timedRoad},
    };
    const auto road = roads.find(name);
    if (road == roads.end())
        return false;
    RoadSettings own = settings;
    if (name == "truth") {
        // A member whose login and password are Cyrillic: they must reach the site as typed.
        own.m_user = "иван";
        own.m_password = "пароль";
    }
    if (name == "seed" || name == "timed") {
        // A client of the road's own: it deletes it.
        own.m_client = seedRoadClient(settings);
    }
    CSeedwright person(own, report);
    if (!road->second(person, report, own))
        report.check(report.failures() > 0, "the road stopped");
    return true;
}
