#pragma once

// Lets GoogleTest show Qt values as readable text in failure messages instead of bytes.
// PrintTo must live in the namespace of the printed type to be found.

#include <QString>
#include <QStringList>
#include <ostream>

QT_BEGIN_NAMESPACE

inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *os) {
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i > 0)
            *os << ", ";
        PrintTo(list[i], os);
    }
    *os << '}';
}

QT_END_NAMESPACE
