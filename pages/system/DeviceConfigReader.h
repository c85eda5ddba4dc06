#pragma once

// The device configuration description: which objects the "Device Configure"
// page shows, how (TYPE), under which text (DESC), and whether and how they
// are written. The format is described in res/devconfig/README.md. The file
// comes from outside the program, so the reader takes any bytes: anything it
// cannot use wholly gives a message and no items.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

struct SDevConfigItem {
    enum Kind { kNumber, kText, kChoice, kAddress };
    QString name;   // the object's OID
    QString suffix; // the instance ("0" for a scalar)
    Kind kind = kNumber;
    qint64 lo = 0, hi = 0; // number range, or text length range
    QString desc;
    bool writable = false;
    QStringList choices;  // VALUE: the texts shown
    QList<qint64> values; // RETVALUE: what each text stands for on the switch
    int writeType = 0;    // value-type code of the writes (1, 2, 8 or 10)
    int index = 0;        // place on the page, 1 to kMaxDevConfigItems

    QString Instance() const { return name + u'.' + suffix; }
};

constexpr int kMaxDevConfigItems = 128;
constexpr qsizetype kMaxDevConfigBytes = 1 << 20;

// Empty and the items in INDEX order, or the reason the file cannot be used
// (and no items).
QString ParseDeviceConfig(const QByteArray& xml, std::vector<SDevConfigItem>& items);

// The value as the page shows it: a choice's text for the number read
// (empty when no choice has it), other kinds as read.
QString DevConfigShownText(const SDevConfigItem& item, const QString& value);
// Checks an entered text by the item's TYPE; empty when it may be sent.
// value receives what is sent (a choice's RETVALUE).
QString CheckDevConfigValue(const SDevConfigItem& item, const QString& text, QByteArray& value);

// The description file of a model.
QString DeviceConfigFileName(const QString& model);
