#include "simtext.h"

#include <algorithm>

namespace qev::devsim {

QByteArray Bytes(std::initializer_list<quint8> list) {
    QByteArray out;
    for (const quint8 b : list)
        out.append(char(b));
    return out;
}

std::optional<int> ParseNumber(const QString &text, int min, int max) {
    if (text.isEmpty() || text.size() > 10 ||
        !std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); }))
        return std::nullopt;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

} // namespace qev::devsim
