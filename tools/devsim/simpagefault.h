#pragma once

// How an emulated device misanswers the settings commands of its class page (the read and
// the write of the speed meter, S88 bus master and manager settings), so that the
// program's handling of a bad reply can be tried while identification still works.

#include <QByteArray>
#include <QString>

namespace qev::devsim {

enum class PageFaultKind {
    None,
    Silent, // no answer (a write is taken all the same: a lost acknowledgement)
    Short,  // the reply one byte short
    Long,   // the reply one byte longer
    Lead,   // the reply led by 3F instead of 21
};

struct PageFault {
    PageFaultKind kind = PageFaultKind::None;
    bool onRead = true;
    bool onWrite = true;
};

enum class PageExchange { Read, Write };

// Parses the SPEC key "pagefault" (KIND or KIND:read or KIND:write).
enum class PageFaultKey { NotMine, Taken, Bad };
PageFaultKey ParsePageFaultKey(const QString &key, const QString &value, PageFault &fault);

// Help text lines for the key.
extern const char *const PageFaultHelp;

// The reply of a page command as the fault makes it.
void ApplyPageFault(const PageFault &fault, PageExchange exchange, QByteArray &reply);

} // namespace qev::devsim
