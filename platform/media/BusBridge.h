// Carries a pipeline's bus messages to the user-interface thread.
//
// While the graph renders a file, messages stay on the bus and the renderer pops them
// itself (a table of contents, which the renderer's pops would pass over, is kept aside
// and handled first at the end); afterwards each one is posted to the Qt event loop.
// Messages of an earlier file (older generation) or of a released graph are dropped.
#pragma once

#include "platform/media/GstPtr.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

namespace media {

class BusBridge {
public:
    using Handler = std::function<void(GstMessage*)>;

    // handler runs on the UI thread for every message after rendering.
    BusBridge(GstElement* pipeline, Handler handler);
    // The pipeline must be in the NULL state by now: no streaming thread may still post.
    ~BusBridge();
    BusBridge(const BusBridge&) = delete;
    BusBridge& operator=(const BusBridge&) = delete;

    // Drops everything still on its way from an earlier file and keeps new messages on the
    // bus until endRendering.
    void beginRendering();
    GstPtr<GstMessage> pop(GstClockTime timeout, GstMessageType types);
    // From now on messages go to the handler; those still on the bus go there at once.
    void endRendering();
    // A flushing seek was sent as the event numbered seekSeqnum: an end of stream posted
    // before it, still on its way to the UI thread, no longer says anything.
    void seeked(guint32 seekSeqnum);

private:
    static GstBusSyncReply onSyncMessage(GstBus* bus, GstMessage* message, gpointer self);
    void forward(GstMessage* message);
    bool isStale(quint64 seeks, GstMessage* message) const;
    void deliver(quint64 generation, quint64 seeks, GstMessage* message);

    GstPtr<GstBus> m_bus;
    Handler m_handler;
    QObject m_receiver; // lives on the UI thread; posted messages die with it
    std::atomic<bool> m_rendering{false};
    std::atomic<quint64> m_generation{0};
    std::atomic<quint64> m_seeks{0};
    guint32 m_seekSeqnum = GST_SEQNUM_INVALID; // UI thread only
    std::mutex m_keptLock;
    std::vector<GstPtr<GstMessage>> m_kept; // posted while rendering, for the handler
};

} // namespace media
