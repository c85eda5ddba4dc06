#include "MessageBox.h"

#include <QApplication>
#include <QMutex>
#include <QWidget>

#include <cstdio>

namespace NswMessage {

namespace {
QMutex g_mutex;
Handler& CurrentHandler() {
    static Handler handler;
    return handler;
}
} // namespace

Handler SetHandler(Handler handler) {
    QMutexLocker lock(&g_mutex);
    Handler previous = std::move(CurrentHandler());
    CurrentHandler() = std::move(handler);
    return previous;
}

int Show(QWidget* parent, const QString& text, Buttons buttons) {
    Handler handler;
    {
        QMutexLocker lock(&g_mutex);
        handler = CurrentHandler();
    }
    if (handler)
        return handler(Box{text, buttons});
    // Unattended runs (scripts, process tests) print the box and take its default.
    if (qEnvironmentVariableIsSet("NSW_MESSAGES_TO_STDERR")) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return buttons == Ok ? QMessageBox::Ok : buttons == OkCancel ? QMessageBox::Cancel : QMessageBox::No;
    }

    QMessageBox box(parent);
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(text);
    switch (buttons) {
    case Ok:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case OkCancel:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Cancel);
        break;
    case YesNo:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    }
    return box.exec();
}

} // namespace NswMessage

void ShowMessage(const QString& text, QWidget* parent) {
    NswMessage::Show(parent, text, NswMessage::Ok);
}

bool AskOkCancel(const QString& text, QWidget* parent) {
    return NswMessage::Show(parent, text, NswMessage::OkCancel) == QMessageBox::Ok;
}

CMessageRecorder::CMessageRecorder(int answer) : m_nAnswer(answer) {
    m_previous = NswMessage::SetHandler([this](const NswMessage::Box& box) {
        m_texts.append(box.text);
        return m_nAnswer;
    });
}

CMessageRecorder::~CMessageRecorder() { NswMessage::SetHandler(std::move(m_previous)); }
