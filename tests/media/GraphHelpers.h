// Shared steps of the media-graph tests: one folder of generated media per test program,
// and a graph rendered from a file with all its facets at hand.
#pragma once

#include "MediaFixtures.h"
#include "platform/media/FilterGraph.h"

#include <QString>
#include <QTemporaryDir>
#include <map>
#include <memory>

namespace mediatest {

// Generated once per program and kept until it ends.
class MediaFolder {
public:
    static MediaFolder& instance();
    QString path(fixtures::Media kind);
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    std::map<fixtures::Media, QString> m_made;
};

struct Graph {
    std::shared_ptr<IGraphBuilder> builder;
    std::shared_ptr<IMediaControl> control;
    std::shared_ptr<IMediaSeeking> seeking;
    std::shared_ptr<IBasicAudio> audio;
    std::shared_ptr<IBasicVideo> video;
    std::shared_ptr<IVideoWindow> window;
    HRESULT rendered = E_FAIL;

    // Drops every facet, which ends the graph.
    void release();
};

// Creates a graph, renders path into it and takes every facet.
Graph renderGraph(const QString& path);

LONGLONG durationOf(Graph& graph);

// Lets the Qt event loop run for ms milliseconds (bus messages arrive through it).
void spin(int ms);

} // namespace mediatest
