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
}

GstPtr<GstMessage> BusBridge::pop(GstClockTime timeout, GstMessageType types) {
    return GstPtr<GstMessage>(gst_bus_timed_pop_filtered(m_bus.get(), timeout, types));
}

void BusBridge::endRendering() {
    m_rendering = false;
    while (GstPtr<GstMessage> message{gst_bus_pop(m_bus.get())}) {
        m_handler(message.get());
    }
}

// A sync handler that answers GST_BUS_DROP owns the message and must release it.
GstBusSyncReply BusBridge::onSyncMessage(GstBus*, GstMessage* message, gpointer self) {
    auto* bridge = static_cast<BusBridge*>(self);
    if (bridge->m_rendering) {
        return GST_BUS_PASS;
    }
    bridge->forward(message);
    return GST_BUS_DROP;
}

// Streaming thread: the message (ours now) is queued for the UI thread with the generation
// it belongs to. If the receiver is destroyed first, Qt discards the call and the message.
void BusBridge::forward(GstMessage* message) {
    auto held = std::shared_ptr<GstMessage>(message, gst_message_unref);
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        &m_receiver, [this, generation, held] { deliver(generation, held.get()); },
        Qt::QueuedConnection);
}

void BusBridge::deliver(quint64 generation, GstMessage* message) {
    if (generation == m_generation && !m_rendering) {
        m_handler(message);
    }
}

} // namespace media
