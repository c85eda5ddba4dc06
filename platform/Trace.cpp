#include "Trace.h"

#include <QMutex>
#include <QStringList>

#include <cstdarg>
#include <cstdio>

Q_LOGGING_CATEGORY(lcNswTrace, "nsw.trace", QtWarningMsg)

namespace {
QMutex g_mutex;
int g_nRecorders = 0;
QStringList g_lines;
} // namespace

void Trace(const QString& line) {
    {
        QMutexLocker lock(&g_mutex);
        if (g_nRecorders > 0)
            g_lines.append(line);
    }
    qCDebug(lcNswTrace).noquote() << line;
}

void TraceF(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    Trace(QString::fromUtf8(buffer));
}

CTraceRecorder::CTraceRecorder() {
    QMutexLocker lock(&g_mutex);
    if (g_nRecorders++ == 0)
        g_lines.clear();
}

CTraceRecorder::~CTraceRecorder() {
    QMutexLocker lock(&g_mutex);
    --g_nRecorders;
}

QStringList CTraceRecorder::Lines() const {
    QMutexLocker lock(&g_mutex);
    return g_lines;
}
