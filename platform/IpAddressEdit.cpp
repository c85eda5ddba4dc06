#include "IpAddressEdit.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

CIpAddressEdit::CIpAddressEdit(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (i > 0)
            layout->addWidget(new QLabel(QStringLiteral("."), this));
        auto* field = new QLineEdit(this);
        field->setValidator(new QIntValidator(0, 255, field));
        field->setMaxLength(3);
        field->setAlignment(Qt::AlignCenter);
        field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            // three digits move on to the next octet, like the platform control
            if (text.size() == 3 && i + 1 < m_fields.size()) {
                m_fields[i + 1]->setFocus();
                m_fields[i + 1]->selectAll();
            }
            emit AddressChanged();
        });
        m_fields[i] = field;
        layout->addWidget(field);
    }
    layout->addStretch();
    setFocusProxy(m_fields[0]);
}

bool CIpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        for (size_t i = 0; i + 1 < m_fields.size(); ++i) {
            if (watched == m_fields[i] && key->text() == QLatin1String(".")) {
                m_fields[i + 1]->setFocus();
                m_fields[i + 1]->selectAll();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

int CIpAddressEdit::FilledFieldCount() const {
    int filled = 0;
    for (const QLineEdit* field : m_fields)
        filled += field->text().isEmpty() ? 0 : 1;
    return filled;
}

bool CIpAddressEdit::IsBlank() const { return FilledFieldCount() == 0; }

QString CIpAddressEdit::Address() const {
    if (IsBlank())
        return QString();
    QStringList octets;
    for (const QLineEdit* field : m_fields)
        octets.append(QString::number(field->text().toInt()));
    return octets.join(u'.');
}

bool CIpAddressEdit::SetAddress(const QString& text) {
    const QStringList parts = text.trimmed().split(u'.');
    bool valid = parts.size() == 4;
    for (const QString& part : parts) {
        bool ok = false;
        const int value = part.toInt(&ok);
        valid = valid && ok && value >= 0 && value <= 255 && part.size() <= 3;
    }
    if (!valid) {
        ClearAddress();
        return false;
    }
    for (size_t i = 0; i < m_fields.size(); ++i)
        m_fields[i]->setText(QString::number(parts[static_cast<qsizetype>(i)].toInt()));
    emit AddressChanged();
    return true;
}

void CIpAddressEdit::ClearAddress() {
    for (QLineEdit* field : m_fields)
        field->clear();
    emit AddressChanged();
}
