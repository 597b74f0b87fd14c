#pragma once
// The installation dialog (template 137). It also carries the uninstaller, which start-up runs
// on an object whose dialog is never shown.

#include <windows.h>

#include <string>
#include <vector>

#include "install/SetupSequence.h"
#include "install/ShellHelpers.h"
#include "win/Controls.h"
#include "win/Dialog.h"
#include "win/Handles.h"

class CSetup : public win::CDialog, protected setup::SetupSystem {
  public:
    CSetup();

    // Fills the folders; false, with m_elevationNeeded set, when creating a folder in Program
    // Files is refused with access denied.
    bool probeWriteAccess() override;
    void uninstall();
    // Writes and starts the batch that removes the recorded installation folder.
    void writeSelfDeleteBatch(const std::string& installationPath);

    // Creates the probe folder; 0 when created, else the last-error value. Tests replace it,
    // since a process that may write everywhere is never refused.
    static DWORD (*s_createProbeFolder)(const std::string& folder);

    std::string m_modulePath;
    std::string m_programsFolder;
    std::string m_programFilesFolder;
    int m_programsFolderId = 0;

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    void OnOK() override;

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
    bool writeUninstallEntry(const setup::UninstallEntry& entry, unsigned long& error) override;
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
    std::string temporaryFolder() override;
    bool batchSpelling(const std::string& path, std::string& spelled) override;
    unsigned batchCodePage() override;
    bool startBatch(const std::string& path, const std::string& folder, const std::string& text) override;

  private:
    void chooseInstallFolder();
    void chooseClient();

    win::CEdit m_folderEdit;
    win::CEdit m_menuEdit;
    win::CEdit m_clientEdit;
    CShortcut m_shortcut;
    win::CRegKey m_settingsKey;
};
