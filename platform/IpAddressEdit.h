#pragma once

#include <QWidget>

#include <array>

class QLineEdit;

// The IP-address control: four octet fields of 0 to 255. It is blank when no
// field holds a digit; a partly filled address reads its empty fields as 0.
class CIpAddressEdit : public QWidget {
    Q_OBJECT
public:
    explicit CIpAddressEdit(QWidget* parent = nullptr);

    bool IsBlank() const;
    // Dotted text; empty when blank.
    QString Address() const;
    // Takes a dotted IPv4 text; anything else blanks the control. Returns success.
    bool SetAddress(const QString& text);
    void ClearAddress();
    // Number of fields that hold a value (0 to 4), as the platform control tells.
    int FilledFieldCount() const;

signals:
    void AddressChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QLineEdit*, 4> m_fields{};
};
