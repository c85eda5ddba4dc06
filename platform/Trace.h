#pragma once

#include <QLoggingCategory>
#include <QString>

// The debugger output channel: off unless QT_LOGGING_RULES="nsw.trace=true".
Q_DECLARE_LOGGING_CATEGORY(lcNswTrace)

void Trace(const QString& line);
// printf-style, as the traces are written ("iStatus = %d").
void TraceF(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Tests capture the trace lines while an instance lives.
class CTraceRecorder {
public:
    CTraceRecorder();
    ~CTraceRecorder();
    CTraceRecorder(const CTraceRecorder&) = delete;
    CTraceRecorder& operator=(const CTraceRecorder&) = delete;
    QStringList Lines() const;
};
