#include "platform/audio/ServerOutputs.h"

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>

#include <QElapsedTimer>

namespace norak {

namespace {

struct Count {
    int sinks = 0;
    bool done = false;
    bool failed = false;
};

void onSink(pa_context*, const pa_sink_info* info, int isLast, void* userdata) {
    auto* count = static_cast<Count*>(userdata);
    if (isLast != 0) {  // 1: the list is complete; negative: it failed
        count->done = true;
        count->failed = isLast < 0;
        return;
    }
    if (info)
        ++count->sinks;
}

}  // namespace

int countServerOutputs(int budgetMs) {
    pa_mainloop* loop = pa_mainloop_new();
    if (!loop)
        return 0;
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "NORAK");
    Count count;
    if (context && pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        QElapsedTimer spent;
        spent.start();
        pa_operation* listing = nullptr;
        bool failed = false;
        while (!count.done && !failed && spent.elapsed() < budgetMs) {
            const pa_context_state_t state = pa_context_get_state(context);
            if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) {
                failed = true;
                break;
            }
            if (state == PA_CONTEXT_READY && !listing) {
                listing = pa_context_get_sink_info_list(context, onSink, &count);
                if (!listing) {
                    failed = true;
                    break;
                }
            }
            // Waits for the server at most until the budget is spent.
            const qint64 leftUs = (budgetMs - spent.elapsed()) * 1000;
            if (pa_mainloop_prepare(loop, int(qMax<qint64>(leftUs, 0))) < 0 || pa_mainloop_poll(loop) < 0 ||
                pa_mainloop_dispatch(loop) < 0)
                failed = true;
        }
        if (listing) {
            if (pa_operation_get_state(listing) == PA_OPERATION_RUNNING)
                pa_operation_cancel(listing);  // no callback after this point
            pa_operation_unref(listing);
        }
        if (failed || count.failed || !count.done)
            count.sinks = 0;
        pa_context_disconnect(context);
    }
    // The loop runs on this thread alone and is not running now: freeing it ends everything.
    if (context)
        pa_context_unref(context);
    pa_mainloop_free(loop);
    return count.sinks;
}

}  // namespace norak
