#pragma once

// Helpers every module of the simulator shares: replies written as byte lists, and the
// numbers of the --device keys.

#include <QByteArray>
#include <QString>
#include <initializer_list>
#include <optional>

namespace qev::devsim {

// Bytes({0x21, 0x05}): a reply as the protocol tables write it.
QByteArray Bytes(std::initializer_list<quint8> list);

// A decimal number of digits only (no sign, no blanks) from min to max.
std::optional<int> ParseNumber(const QString &text, int min, int max);

} // namespace qev::devsim
