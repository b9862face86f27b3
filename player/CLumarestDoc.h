#pragma once
// The media document: in a player window, what that window plays — one file
// opened through the framework, or a play queue filled from the play list; in
// a play-list window an empty holder that gives its view the catalogue.
#include "platform/framework/Document.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class CDao_PlayList;
class CListCtrl;
class CLumarestView;

class CLumarestDoc : public CDocument {
public:
    CLumarestDoc();
    ~CLumarestDoc() override;

    // Stores the document's player view, if it has one (a play-list document has none).
    void FindPlayerView();
    // Plays entry 0 of the play queue and marks the queue as running.
    void StartPlayQueue();
    // Fills the play queue with the paths (and the list's line of each, when a
    // list filled it), titles the window with the first and plays it.
    void StartPlayQueue(const QStringList& paths, const std::vector<uint32_t>& lines,
                        CListCtrl* list);
    // Catalogues every file of folder whose name ends in .extension.
    void ImportMediaFiles(const QString& folder, const QString& extension);
    // Catalogues each of the files (absolute paths) that is not yet.
    void ImportListedFiles(const QStringList& paths);
    // Plays a stream (an http, https or rtsp URL) in this document's player window, which it
    // titles; the catalogue is left alone. False when the stream could not be started
    // (the user has been told why).
    bool PlayStream(const QString& url);
    // Reads nothing of the file: imports its folder and plays it.
    void Serialize(CArchive& ar) override;

    // The file-name parts the import is given: the ending the folder is searched
    // by (the last three characters of the name, or the whole text after its last
    // dot when that is not three characters long), and the path without its last
    // separator and name.
    static QString ExtensionOf(const QString& name);
    static QString FolderOf(const QString& path, const QString& name);

    CLumarestView* m_pCLumarestView = nullptr; // not owned
    QStringList m_arrPaths;                    // play queue: full paths in play order
    // The list that filled the queue; becomes null by itself when that
    // play-list window closes, and the player then marks no line.
    QPointer<CListCtrl> m_pCListCtrl;
    std::vector<uint32_t> m_arrLines;          // play queue: line number of each path
    CDao_PlayList* m_pCDao_PlayList = nullptr; // the main frame's catalogue, not owned
};
