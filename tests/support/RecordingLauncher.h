#pragma once
// A program launcher that starts nothing: it records each start and finds only the programs given.

#include "platform/ProgramLauncher.h"

#include <QMap>
#include <QStringList>

namespace glyphary::testing {

struct RecordingLauncher : platform::ProgramLauncher {
    QStringList started;           // "program arguments... environment..."
    QMap<QString, QString> installed; // name on PATH -> host path
    bool start(const QString& program, const QStringList& arguments, const QStringList& environment) override
    {
        started << program + u' ' + arguments.join(u' ') + u' ' + environment.join(u' ');
        return true;
    }
    bool openWithDesktop(const QString&) override { return false; }
    QString findProgram(const QString& name) const override { return installed.value(name); }
};

} // namespace glyphary::testing
