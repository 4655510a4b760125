#include "simpagefault.h"

namespace qev::devsim {

const char *const PageFaultHelp =
    R"(  pagefault=F[:read|:write]
                 how the class page's settings read and write are answered (both
                 unless :read or :write is given); a write is taken all the same:
                 silent        no answer
                 short         the reply one byte short
                 long          the reply one byte longer
                 lead          the reply led by 3F instead of 21
)";

PageFaultKey ParsePageFaultKey(const QString &key, const QString &value, PageFault &fault) {
    if (key != QLatin1String("pagefault"))
        return PageFaultKey::NotMine;
    const qsizetype colon = value.indexOf(QLatin1Char(':'));
    const QString kind = value.left(colon);
    const QString scope = colon < 0 ? QString() : value.mid(colon + 1);
    if (kind == QLatin1String("silent"))
        fault.kind = PageFaultKind::Silent;
    else if (kind == QLatin1String("short"))
        fault.kind = PageFaultKind::Short;
    else if (kind == QLatin1String("long"))
        fault.kind = PageFaultKind::Long;
    else if (kind == QLatin1String("lead"))
        fault.kind = PageFaultKind::Lead;
    else
        return PageFaultKey::Bad;
    if (colon < 0)
        fault.onRead = fault.onWrite = true;
    else if (scope == QLatin1String("read") || scope == QLatin1String("write"))
        fault.onRead = !(fault.onWrite = scope == QLatin1String("write"));
    else
        return PageFaultKey::Bad;
    return PageFaultKey::Taken;
}

void ApplyPageFault(const PageFault &fault, PageExchange exchange, QByteArray &reply) {
    if (reply.isEmpty() || !(exchange == PageExchange::Read ? fault.onRead : fault.onWrite))
        return;
    switch (fault.kind) {
    case PageFaultKind::Silent:
        reply.clear();
        break;
    case PageFaultKind::Short:
        reply.chop(1);
        break;
    case PageFaultKind::Long:
        reply.append(char(0));
        break;
    case PageFaultKind::Lead:
        reply[0] = char(0x3F);
        break;
    case PageFaultKind::None:
        break;
    }
}

} // namespace qev::devsim
