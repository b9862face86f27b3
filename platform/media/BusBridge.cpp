#include "platform/media/BusBridge.h"

#include <memory>

namespace media {

BusBridge::BusBridge(GstElement* pipeline, Handler handler)
    : m_bus(gst_element_get_bus(pipeline)), m_handler(std::move(handler)) {
    gst_bus_set_sync_handler(m_bus.get(), &BusBridge::onSyncMessage, this, nullptr);
}

BusBridge::~BusBridge() {
    gst_bus_set_sync_handler(m_bus.get(), nullptr, nullptr, nullptr);
    gst_bus_set_flushing(m_bus.get(), TRUE);
}

void BusBridge::beginRendering() {
    m_rendering = true;
    ++m_generation;
    gst_bus_set_flushing(m_bus.get(), TRUE);
    gst_bus_set_flushing(m_bus.get(), FALSE);
    const std::lock_guard lock(m_keptLock);
    m_kept.clear();
}

GstPtr<GstMessage> BusBridge::pop(GstClockTime timeout, GstMessageType types) {
    return GstPtr<GstMessage>(gst_bus_timed_pop_filtered(m_bus.get(), timeout, types));
}

void BusBridge::seeked(guint32 seekSeqnum) {
    m_seekSeqnum = seekSeqnum;
    ++m_seeks;
}

void BusBridge::endRendering() {
    m_rendering = false;
    std::vector<GstPtr<GstMessage>> kept;
    {
        const std::lock_guard lock(m_keptLock);
        kept.swap(m_kept);
    }
    for (const GstPtr<GstMessage>& message : kept)
        m_handler(message.get());
    while (GstPtr<GstMessage> message{gst_bus_pop(m_bus.get())}) {
        m_handler(message.get());
    }
}

// A sync handler that answers GST_BUS_DROP owns the message and must release it.
GstBusSyncReply BusBridge::onSyncMessage(GstBus*, GstMessage* message, gpointer self) {
    auto* bridge = static_cast<BusBridge*>(self);
    if (bridge->m_rendering) {
        if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_TOC) {
            return GST_BUS_PASS;
        }
        const std::lock_guard lock(bridge->m_keptLock);
        bridge->m_kept.emplace_back(message);
        return GST_BUS_DROP;
    }
    bridge->forward(message);
    return GST_BUS_DROP;
}

// Streaming thread: the message (ours now) is queued for the UI thread with the generation
// it belongs to. If the receiver is destroyed first, Qt discards the call and the message.
void BusBridge::forward(GstMessage* message) {
    auto held = std::shared_ptr<GstMessage>(message, gst_message_unref);
    const quint64 generation = m_generation;
    const quint64 seeks = m_seeks;
    QMetaObject::invokeMethod(
        &m_receiver, [this, generation, seeks, held] { deliver(generation, seeks, held.get()); },
        Qt::QueuedConnection);
}

// An end of stream from before the latest seek is stale, unless it carries that seek's
// number: then the seek itself went to the end while it was being made.
bool BusBridge::isStale(quint64 seeks, GstMessage* message) const {
    return GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS && seeks != m_seeks &&
           gst_message_get_seqnum(message) != m_seekSeqnum;
}

void BusBridge::deliver(quint64 generation, quint64 seeks, GstMessage* message) {
    if (generation == m_generation && !m_rendering && !isStale(seeks, message)) {
        m_handler(message);
    }
}

} // namespace media
