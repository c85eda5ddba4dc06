#pragma once

// Readable QString values in test failure messages.

#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// QString in test messages (EXPECT_... << text).
inline std::ostream& operator<<(std::ostream& os, const QString& text) {
    return os << text.toStdString();
}
