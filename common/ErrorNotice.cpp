#include "ErrorNotice.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<Cm_ErrorNoticeHook> g_hook{nullptr};
}

void Cm_WriteErrorNoticeToStderr(const QString& caption, const QString& text) {
    std::fprintf(stderr, "%s: %s", caption.toLocal8Bit().constData(),
                 text.toLocal8Bit().constData());
    if (!text.endsWith(QLatin1Char('\n')))
        std::fputc('\n', stderr);
}

Cm_ErrorNoticeHook Cm_SetErrorNoticeHook(Cm_ErrorNoticeHook hook) {
    return g_hook.exchange(hook);
}

void Cm_ShowErrorNotice(const QString& caption, const QString& text) {
    const Cm_ErrorNoticeHook hook = g_hook.load();
    (hook ? hook : Cm_WriteErrorNoticeToStderr)(caption, text);
}
