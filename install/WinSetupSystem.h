#pragma once
// The installer's and uninstaller's system side on Windows: the registry, the program file and
// the folders, the shortcuts, the elevation probe and the self-deleting batch. The installation
// dialog names the window that owns its boxes; the uninstaller runs without one.

#include <windows.h>

#include <string>
#include <vector>

#include "install/SetupSequence.h"
#include "install/ShellHelpers.h"
#include "win/Handles.h"

class CWinSetupSystem : public install::SetupSystem {
  public:
    // The window that owns the message boxes and the folder creation's questions; none makes the
    // boxes belong to the active window.
    void setOwner(HWND owner) { m_owner = owner; }
    // The caption of the message boxes: the program's title.
    void setCaption(const std::string& caption) { m_caption = caption; }

    // Fills the folders; false when creating a folder in Program Files is refused with access
    // denied.
    bool probeWriteAccess() override;

    // Creates the probe folder; 0 when created, else the last-error value. Tests replace it,
    // since a process that may write everywhere is never refused.
    static DWORD (*s_createProbeFolder)(const std::string& folder);

    std::string m_modulePath;
    std::string m_programsFolder;
    std::string m_programFilesFolder;
    int m_programsFolderId = 0;

    int message(const std::string& text, unsigned type) override;
    std::string fullPath(const std::string& path) override;
    std::vector<std::string> systemFolders() override;
    std::string runningProgram() override { return m_modulePath; }
    int createFolderTree(const std::string& folder, unsigned long& lastError) override;
    bool copyProgram(const std::string& to, unsigned long& error) override;
    void clearReadOnly(const std::string& file) override;
    unsigned long long fileSize(const std::string& file) override;
    bool openSettingsKey(unsigned long& error) override;
    void writeSetting(const char* name, const std::string& value) override;
    bool writeUninstallEntry(const install::UninstallEntry& entry, unsigned long& error) override;
    bool createLink(const std::string& target,
                    const std::string& linkName,
                    const std::string& description,
                    const std::string& arguments) override;
    void deleteProductTrees() override;
    std::string programsFolder() override { return m_programsFolder; }
    std::string readSetting(const char* name) override;
    void deleteLink(const std::string& linkName) override;
    void removeEmptyFolder(const std::string& folder) override;
    bool fileExists(const std::string& file) override;
    bool folderExists(const std::string& folder) override;
    std::vector<std::string> filesIn(const std::string& folder) override;
    void deleteFile(const std::string& file) override;
    install::FileUse useOf(const std::string& programFile) override;
    bool sessionRunsElsewhere() override;
    std::string temporaryFolder() override;
    bool batchSpelling(const std::string& path, std::string& spelled) override;
    unsigned batchCodePage() override;
    bool writeBatch(const std::string& path, const std::string& text) override;

    // Starts a batch that writeBatch wrote, hidden, in `folder`; false (and the batch file
    // deleted) when the shell cannot start it.
    [[nodiscard]] static bool startBatch(const std::string& path, const std::string& folder);

  private:
    HWND m_owner = nullptr;
    std::string m_caption;
    CShortcut m_shortcut;
    win::CRegKey m_settingsKey;
};
