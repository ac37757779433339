#pragma once
// Makes a folder refuse new files for one test. Permission bits stop ordinary users; root ignores
// them, so the immutable attribute is set as well where the file system allows it.

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace glyphary::testing {

class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(QString path) : path_(std::move(path))
    {
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                         | QFile::ReadOther | QFile::ExeOther);
        if (acceptsNewFiles())
            immutable_ = setImmutable(true);
    }
    ~ReadOnlyFolder()
    {
        if (immutable_)
            setImmutable(false);
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                         | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    // False when neither way could stop this process from writing there.
    bool active() const { return !acceptsNewFiles(); }

private:
    bool acceptsNewFiles() const
    {
        QFile probe(path_ + QStringLiteral("/probe.tmp"));
        if (!probe.open(QIODevice::WriteOnly))
            return false;
        probe.remove();
        return true;
    }

    bool setImmutable(bool on) const
    {
        const QByteArray native = QFile::encodeName(path_);
        const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }

    QString path_;
    bool immutable_ = false;
};

} // namespace glyphary::testing
