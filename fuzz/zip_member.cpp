// Zip members through the archive reader library: the fuzzed bytes are the archive, and one member
// is extracted with and without the password the seeds were written with. An extracted member
// must have been read whole, and nothing but it may be left in the target folder.
#include "libs/glread32/Glread32.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace glyphary;

struct Root {
    QTemporaryDir dir;
    platform::WindowsPaths paths{dir.path()};
    QString archive = dir.path() + QStringLiteral("/drive_c/a.zip");
    QString out = dir.path() + QStringLiteral("/drive_c/out");

    Root() { QDir().mkpath(out); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Root root;
    {
        QFile file(root.archive);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    for (const char* password : {"secret", ""}) {
        Glread32 reader(root.paths);
        std::string archive = "C:\\a.zip";
        std::string folder = "C:\\out";
        reader.addUNZIP_ArchiveName(archive);
        reader.addUNZIP_Decrypt(password);
        reader.addUNZIP_Include("member.ico");
        reader.addUNZIP_ExtractTo(folder);
        reader.addUNZIP_Overwrite(Glread32::kOverwriteExisting);
        const int status = reader.addUNZIP();
        const QStringList left = QDir(root.out).entryList(QDir::Files | QDir::Hidden | QDir::System);
        if (left.size() > (status == Glread32::Ok ? 1 : 0))
            std::abort();
        for (const QString& name : left)
            QFile::remove(root.out + u'/' + name);
    }
    return 0;
}
