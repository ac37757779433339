#pragma once
// A temporary emulated Windows root with its platform, for one test.

#include "formats/ByteReader.h"
#include "platform/Platform.h"
#include "support/ScriptedDialogs.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <memory>

namespace glyphary::testing {

class TempRoot {
public:
    explicit TempRoot(const QString& osSpec = QStringLiteral("98"));

    QString rootPath() const { return platform_->paths().root(); }
    // The host path of a Windows path in this root.
    QString host(const QString& windowsPath) const { return platform_->paths().toHost(windowsPath); }
    // Writes a file at a Windows path, creating its folder.
    void writeFile(const QString& windowsPath, const QByteArray& content) const;
    void writeFile(const QString& windowsPath, const formats::ByteVector& content) const;
    QByteArray readFile(const QString& windowsPath) const;

    ScriptedDialogs& dialogs() { return dialogs_; }
    platform::Platform& platform() { return *platform_; }

private:
    QTemporaryDir dir_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<platform::Platform> platform_;
};

} // namespace glyphary::testing
