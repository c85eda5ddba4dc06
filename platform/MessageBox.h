#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Every message box of the module goes through here, so tests can read the
// text and give the answer a user would.
namespace NswMessage {

enum Buttons { Ok, OkCancel, YesNo };

struct Box {
    QString text;
    Buttons buttons = Ok;
};

// Returns QMessageBox::Ok, Cancel, Yes or No.
using Handler = std::function<int(const Box&)>;

// Installs a handler in place of the real boxes; returns the previous one.
Handler SetHandler(Handler handler);

int Show(QWidget* parent, const QString& text, Buttons buttons = Ok);

} // namespace NswMessage

// Information box with OK.
void ShowMessage(const QString& text, QWidget* parent = nullptr);
// Question with OK/Cancel, Cancel being the default; true when OK was chosen.
bool AskOkCancel(const QString& text, QWidget* parent = nullptr);

// Records the boxes and answers them with a fixed reply while alive (tests).
class CMessageRecorder {
public:
    explicit CMessageRecorder(int answer = QMessageBox::Ok);
    ~CMessageRecorder();
    CMessageRecorder(const CMessageRecorder&) = delete;
    CMessageRecorder& operator=(const CMessageRecorder&) = delete;

    void SetAnswer(int answer) { m_nAnswer = answer; }
    const QStringList& Texts() const { return m_texts; }
    QString Last() const { return m_texts.isEmpty() ? QString() : m_texts.back(); }
    void Clear() { m_texts.clear(); }

private:
    int m_nAnswer;
    QStringList m_texts;
    NswMessage::Handler m_previous;
};
