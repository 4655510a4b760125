#pragma once

// The rows of the network profile report, in the order they were added. A row is either
// the heading of a group or one label with its value; every text is cut to the size of
// its field.

#include <QList>
#include <QString>

namespace qev::report {

struct ReportRow {
    int group = 0;
    QString heading; // set on the heading row of a group only
    QString label;
    QString value; // numbers as decimal text

    bool operator==(const ReportRow &) const = default;
};

class ReportTable {
public:
    static constexpr qsizetype HeadingSize = 40;
    static constexpr qsizetype LabelSize = 40;
    static constexpr qsizetype ValueSize = 64;

    void addHeading(int group, const QString &heading);
    void addValue(int group, const QString &label, const QString &value);
    // label/value pairs as alternating entries; an odd entry at the end is dropped.
    void addPairs(int group, const QStringList &pairs);

    const QList<ReportRow> &rows() const { return m_rows; }
    bool isEmpty() const { return m_rows.isEmpty(); }
    void clear() { m_rows.clear(); }

private:
    QList<ReportRow> m_rows;
};

} // namespace qev::report
