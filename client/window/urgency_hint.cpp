#include "client/window/urgency_hint.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace lexiflip::client {
namespace {

// WM_HINTS is nine 32-bit fields, the flags first (ICCCM 4.1.2.4).
constexpr std::size_t kHintFields = 9;
constexpr std::uint32_t kUrgencyFlag = 1u << 8;

} // namespace

void setUrgencyHint(QWidget& window, bool urgent)
{
    // Other platforms may offer the X11 interface too (offscreen does, with
    // no connection behind it).
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || !window.isWindow() || !window.testAttribute(Qt::WA_WState_Created))
        return;
    const auto id = static_cast<xcb_window_t>(window.winId());

    std::array<std::uint32_t, kHintFields> hints{};
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, kHintFields);
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr)) {
        if (reply->format == 32) {
            const auto fields = std::min<std::size_t>(xcb_get_property_value_length(reply) / 4, kHintFields);
            std::memcpy(hints.data(), xcb_get_property_value(reply), fields * 4);
        }
        std::free(reply);
    }
    const std::uint32_t flags = urgent ? (hints[0] | kUrgencyFlag) : (hints[0] & ~kUrgencyFlag);
    if (flags == hints[0])
        return;
    hints[0] = flags;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                        kHintFields, hints.data());
    xcb_flush(connection);
}

} // namespace lexiflip::client
