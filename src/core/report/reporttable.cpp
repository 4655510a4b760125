#include "report/reporttable.h"

#include <QStringList>

namespace qev::report {

void ReportTable::addHeading(int group, const QString &heading) {
    m_rows.append({group, heading.left(HeadingSize), {}, {}});
}

void ReportTable::addValue(int group, const QString &label, const QString &value) {
    m_rows.append({group, {}, label.left(LabelSize), value.left(ValueSize)});
}

void ReportTable::addPairs(int group, const QStringList &pairs) {
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2)
        addValue(group, pairs[i], pairs[i + 1]);
}

} // namespace qev::report
