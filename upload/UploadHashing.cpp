#include "app/AppState.h"
#include "torrent/MakeTorrent.h"
#include "upload/UploadServices.h"

// Stand-in until the hashing dialog is merged: the build without a dialog.
bool CWinUploadServices::buildTorrent(const std::string& contentPath, bool fileMode) {
    CMakeTorrent maker;
    if (fileMode)
        maker.buildFromFile(contentPath, appState().m_newTorrentPath);
    else
        maker.buildFromFolder(contentPath, appState().m_newTorrentPath);
    return true;
}
