#include "tests/e2e/Roads.h"

#include <functional>
#include <map>

#include "tests/e2e/InstallChecks.h"

namespace {

const char* const kDescription =
    "A short film about a long walk, shot on a phone.\r\nThree pictures: the start, the middle, the end.";
const char* const kRefusal = "This torrent is already on the site";

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The client was started once more, with "/directory", the data's folder and the site's copy of
// the torrent; the host then checks the data against that copy.
void checkClientStart(CSeedwright& person, CReport& report, std::size_t count, const std::string& folder) {
    const std::vector<ClientStart> starts = person.awaitClientStarts(count);
    if (!report.check(starts.size() == count, "the client started " + std::to_string(count) + " time(s)"))
        return;
    const ClientStart& start = starts.back();
    std::string line;
    for (const std::string& argument : start.m_arguments)
        line += " " + quoted(argument);
    report.step("The torrent client was started with" + line);
    if (!report.check(start.m_arguments.size() == 3, "three arguments"))
        return;
    report.checkEqual(start.m_arguments[0], "/directory", "first argument");
    report.checkEqual(start.m_arguments[1], folder, "the data folder");
    report.check(endsWith(start.m_arguments[2], "\\swr.torrent"), "the site's copy of the torrent");
    person.noteForDataCheck(start);
}

bool installRoad(CSeedwright& person, CReport& report, const RoadSettings&) {
    return installerRefusals(person, report) && person.install() && checkInstalledAppsList(report, true) &&
           installNewerBuild(person, report) && workingFolderTakenByAFile(person, report);
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

bool moreRoad(CSeedwright& person, CReport& report, const RoadSettings& settings) {
    if (!person.install() || !person.startFromShortcut("Seedwright.lnk") || !person.logIn(false, false, true))
        return false;

    report.step("--- A file upload the site refuses");
    person.site().setScenario(std::string("{\"fail_upload\": \"") + kRefusal + "\"}");
    UploadInputs in;
    in.m_path = settings.m_data + "\\single.bin";
    in.m_category = "Music";
    in.m_pictures = {settings.m_data + "\\a.jpg"};
    in.m_name = "Single file";
    in.m_description = kDescription;
    if (!person.fill(in))
        return false;
    UploadSeen seen = person.upload();
    person.site().setScenario("{}");
    report.checkEqual(seen.m_message, std::string("Upload Failed:\n\n") + kRefusal, "the refusal");
    report.check(!seen.m_backendWait, "no backend wait after a refusal");
    report.check(person.awaitClientStarts(0).empty(), "the client not started");

    report.step("--- A hashing cancelled");
    UploadInputs big;
    big.m_path = settings.m_data + "\\big.bin";
    big.m_category = "Music";
    big.m_name = "Too big to wait for";
    big.m_description = kDescription;
    if (!person.fill(big))
        return false;
    const int before = person.site().requestCount();
    seen = person.upload(true);
    report.check(seen.m_hashing, "the hashing dialog showed");
    report.checkEqual(seen.m_message, "", "no message after cancelling");
    report.check(person.site().requestCount() == before, "nothing on the wire");

    report.step("--- A second upload in the same session");
    UploadInputs second = in;
    second.m_pictures.clear();  // the picture list keeps its rows
    second.m_name = "Single file, second try";
    if (!person.fill(second))
        return false;
    seen = person.upload();
    report.checkEqual(seen.m_message, "Upload Complete!", "the upload's last message");
    checkClientStart(person, report, 1, settings.m_data + "\\");
    if (!person.closeMain())
        return false;

    report.step("--- Started again: the remembered login");
    return person.startFromShortcut("Seedwright.lnk") && person.logInRemembered() && person.closeMain();
}

bool uninstallRoad(CSeedwright& person, CReport& report, const RoadSettings&) {
    if (!person.install() || !person.uninstall() || !person.batchRemoved(person.installFolder(), false))
        return false;
    return uninstallKeepsAMembersFolder(person, report) &&
           uninstallAReadOnlyCopyFromAFolderCmdMustReadLiterally(person, report) &&
           uninstallWhileASessionRuns(person, report) &&
           uninstallLeavesTheProgramFileWhereNoBatchMayRun(person, report) && uninstallWithNothingInstalled(report);
}

}  // namespace

bool runRoad(const std::string& name, const RoadSettings& settings, CReport& report) {
    using Road = std::function<bool(CSeedwright&, CReport&, const RoadSettings&)>;
    const std::map<std::string, Road> roads = {
        {"install", installRoad},
        {"upload", uploadRoad},
        {"more", moreRoad},
        {"uninstall", uninstallRoad},
    };
    const auto road = roads.find(name);
    if (road == roads.end())
        return false;
    CSeedwright person(settings, report);
    if (!road->second(person, report, settings))
        report.check(report.failures() > 0, "the road stopped");
    return true;
}
