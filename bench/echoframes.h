#pragma once

#include <frame.h>

// The frames the echo server and the load program exchange: a request as
// small as "GetWork" and a reply of a similar size.
namespace EchoFrames {

inline QByteArray request()
{
    return wire::frame(QStringLiteral("Echo"));
}

inline QByteArray reply()
{
    return wire::frame(QStringLiteral("Echoed"), QStringLiteral("ok"));
}

} // namespace EchoFrames
