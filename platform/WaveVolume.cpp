// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WaveVolume.h"

#include <QElapsedTimer>

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/volume.h>

#include <algorithm>
#include <functional>

namespace {

// A server that does not answer within this is taken as gone.
constexpr qint64 TimeoutMs = 1000;
constexpr char DefaultSink[] = "@DEFAULT_SINK@";

bool fail(int number, VbError* error)
{
    if (error)
        *error = WaveVolumeErrors::make(number);
    return false;
}

pa_volume_t toServer(quint16 volume)
{
    // 65535 is the old full volume, PA_VOLUME_NORM the server's.
    return pa_volume_t((quint64(volume) * PA_VOLUME_NORM + 32767) / 65535);
}

quint16 fromServer(pa_volume_t volume)
{
    const quint64 scaled = (quint64(volume) * 65535 + PA_VOLUME_NORM / 2) / PA_VOLUME_NORM;
    return quint16(std::min<quint64>(scaled, 65535));
}

/// One connection to the server on a main loop of its own, run here until
/// an answer comes or the time is up.
class Session
{
public:
    Session() : m_loop(pa_mainloop_new())
    {
        m_context = pa_context_new(pa_mainloop_get_api(m_loop), "Pagewheel");
    }

    ~Session()
    {
        if (m_context) {
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
        }
        pa_mainloop_free(m_loop);
    }

    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    /// Connects without starting a server of its own: a server the user
    /// stopped stays stopped.
    bool connect()
    {
        if (!m_context ||
            pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            return false;
        runUntil([this] {
            const pa_context_state_t state = pa_context_get_state(m_context);
            return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
        });
        return pa_context_get_state(m_context) == PA_CONTEXT_READY;
    }

    /// Runs an operation to its end; false when it had no answer in time.
    bool finish(pa_operation* operation)
    {
        if (!operation)
            return false;
        const bool done = runUntil(
            [operation] { return pa_operation_get_state(operation) != PA_OPERATION_RUNNING; });
        if (!done)
            pa_operation_cancel(operation);
        pa_operation_unref(operation);
        return done;
    }

    pa_context* context() const { return m_context; }

private:
    bool runUntil(const std::function<bool()>& done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            const qint64 left = TimeoutMs - clock.elapsed();
            if (left <= 0)
                return false;
            if (pa_mainloop_prepare(m_loop, int(left * 1000)) < 0 || pa_mainloop_poll(m_loop) < 0 ||
                pa_mainloop_dispatch(m_loop) < 0)
                return false;
        }
        return true;
    }

    pa_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
};

/// What the server said of the default output.
struct SinkAnswer
{
    bool found = false;
    quint32 index = 0;
    pa_cvolume volume{};
    pa_channel_map map{};
};

void sinkInfo(pa_context*, const pa_sink_info* info, int eol, void* userdata)
{
    if (eol != 0 || !info)
        return;
    auto* answer = static_cast<SinkAnswer*>(userdata);
    answer->found = true;
    answer->index = info->index;
    answer->volume = info->volume;
    answer->map = info->channel_map;
}

void succeeded(pa_context*, int success, void* userdata)
{
    *static_cast<bool*>(userdata) = success != 0;
}

bool defaultSink(Session& session, SinkAnswer* answer, VbError* error)
{
    if (!session.connect())
        return fail(WaveVolumeErrors::ServerNotRunning, error);
    pa_operation* operation =
        pa_context_get_sink_info_by_name(session.context(), DefaultSink, sinkInfo, answer);
    if (!session.finish(operation))
        return fail(WaveVolumeErrors::Failed, error);
    if (!answer->found || answer->volume.channels == 0)
        return fail(WaveVolumeErrors::NoOutput, error);
    return true;
}

bool hasFront(const pa_channel_map& map)
{
    return pa_channel_map_has_position(&map, PA_CHANNEL_POSITION_FRONT_LEFT) &&
           pa_channel_map_has_position(&map, PA_CHANNEL_POSITION_FRONT_RIGHT);
}

} // namespace

VbError WaveVolumeErrors::make(int number)
{
    switch (number) {
    case ServerNotRunning:
        return {number, QStringLiteral("The sound server is not running")};
    case NoOutput:
        return {number, QStringLiteral("No sound output device")};
    case Failed:
        return {number, QStringLiteral("The sound server refused the request")};
    default:
        return VbErrors::make(number);
    }
}

namespace WaveVolume {

bool get(Channels* volume, VbError* error)
{
    Session session;
    SinkAnswer sink;
    if (!defaultSink(session, &sink, error))
        return false;
    Channels result;
    if (sink.volume.channels >= 2 && hasFront(sink.map)) {
        result.left = fromServer(
            pa_cvolume_get_position(&sink.volume, &sink.map, PA_CHANNEL_POSITION_FRONT_LEFT));
        result.right = fromServer(
            pa_cvolume_get_position(&sink.volume, &sink.map, PA_CHANNEL_POSITION_FRONT_RIGHT));
    } else if (sink.volume.channels >= 2) {
        result.left = fromServer(sink.volume.values[0]);
        result.right = fromServer(sink.volume.values[1]);
    } else {
        result.left = result.right = fromServer(sink.volume.values[0]);
    }
    if (volume)
        *volume = result;
    return true;
}

bool set(const Channels& volume, VbError* error)
{
    Session session;
    SinkAnswer sink;
    if (!defaultSink(session, &sink, error))
        return false;
    pa_cvolume target = sink.volume;
    if (target.channels >= 2 && hasFront(sink.map)) {
        // Other channels (centre, rear ...) keep their own volume.
        pa_cvolume_set_position(&target, &sink.map, PA_CHANNEL_POSITION_FRONT_LEFT,
                                toServer(volume.left));
        pa_cvolume_set_position(&target, &sink.map, PA_CHANNEL_POSITION_FRONT_RIGHT,
                                toServer(volume.right));
    } else if (target.channels >= 2) {
        target.values[0] = toServer(volume.left);
        target.values[1] = toServer(volume.right);
    } else {
        target.values[0] = toServer(volume.left);
    }
    bool ok = false;
    pa_operation* operation =
        pa_context_set_sink_volume_by_index(session.context(), sink.index, &target, succeeded, &ok);
    if (!session.finish(operation) || !ok)
        return fail(WaveVolumeErrors::Failed, error);
    return true;
}

bool serverRunning()
{
    Session session;
    return session.connect();
}

} // namespace WaveVolume
