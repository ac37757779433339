#pragma once
// glyphary-catalogue list: prints the result list a catalogue listing builds.

#include <QStringList>

// `args` are the words after "list". Returns the exit status.
int runListCommand(const QStringList& args);
