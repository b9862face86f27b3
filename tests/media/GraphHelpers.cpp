#include "GraphHelpers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace mediatest {

MediaFolder& MediaFolder::instance() {
    static MediaFolder folder;
    return folder;
}

QString MediaFolder::path(fixtures::Media kind) {
    auto it = m_made.find(kind);
    if (it == m_made.end()) {
        it = m_made.emplace(kind, fixtures::makeMedia(kind, m_dir.path())).first;
    }
    return it->second;
}

void Graph::release() {
    builder.reset();
    control.reset();
    seeking.reset();
    audio.reset();
    video.reset();
    window.reset();
}

Graph renderGraph(const QString& path) {
    Graph graph;
    EXPECT_EQ(CoCreateFilterGraph(graph.builder), S_OK);
    if (!graph.builder) {
        return graph;
    }
    graph.rendered = graph.builder->RenderFile(path.toStdWString());
    EXPECT_EQ(graph.builder->QueryInterface(graph.control), S_OK);
    EXPECT_EQ(graph.builder->QueryInterface(graph.seeking), S_OK);
    EXPECT_EQ(graph.builder->QueryInterface(graph.audio), S_OK);
    EXPECT_EQ(graph.builder->QueryInterface(graph.video), S_OK);
    EXPECT_EQ(graph.builder->QueryInterface(graph.window), S_OK);
    return graph;
}

LONGLONG durationOf(Graph& graph) {
    LONGLONG duration = -1;
    EXPECT_EQ(graph.seeking->GetDuration(&duration), S_OK);
    return duration;
}

void spin(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

} // namespace mediatest
