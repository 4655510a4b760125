#include "netinspect/systemfiles.h"

#include <QDir>
#include <QFile>

namespace qev {

namespace {

class RealSystemFiles final : public SystemFiles {
public:
    bool read(const QString &path, QByteArray &content) override {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        content = file.read(MaxFileBytes);
        return file.error() == QFileDevice::NoError;
    }

    QStringList fileNames(const QString &folder) override {
        return QDir(folder).entryList(QDir::Files, QDir::Time);
    }
};

SystemFiles *g_replacement = nullptr;

} // namespace

SystemFiles &systemFiles() {
    static RealSystemFiles real;
    return g_replacement ? *g_replacement : real;
}

void setSystemFiles(SystemFiles *replacement) {
    g_replacement = replacement;
}

} // namespace qev
