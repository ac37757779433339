#pragma once
// Starting other programs (Shell, ShellExecute): always with an argument list, never a shell line.

#include <QString>
#include <QStringList>

namespace glyphary::platform {

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // Starts the program (a host path, or a name looked up on PATH) detached; `environment` holds
    // "NAME=value" entries added to this process's. False when it could not be started.
    virtual bool start(const QString& program, const QStringList& arguments, const QStringList& environment) = 0;
    // The desktop's default application for the host file.
    virtual bool openWithDesktop(const QString& hostPath) = 0;
    // The host path of a program on PATH; "" when there is none.
    virtual QString findProgram(const QString& name) const = 0;
};

class SystemLauncher : public ProgramLauncher {
public:
    bool start(const QString& program, const QStringList& arguments, const QStringList& environment) override;
    bool openWithDesktop(const QString& hostPath) override;
    QString findProgram(const QString& name) const override;
};

} // namespace glyphary::platform
