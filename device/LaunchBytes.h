#pragma once

// Launch values are bytes: a community or password need not be UTF-8, and
// must reach the switch as given. The settings keep them as QString for
// display; bytes that are not UTF-8 are kept as the lone surrogates
// U+DC80..U+DCFF (one per byte), which no UTF-8 text decodes to, so the way
// back is exact.

#include <QByteArray>
#include <QString>

QString DecodeLaunchBytes(const QByteArray& bytes);
QByteArray EncodeLaunchBytes(const QString& text);
