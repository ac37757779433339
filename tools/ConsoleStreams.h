#pragma once
// The output and error streams of the command-line tools: one of each per program, so that the
// files of one tool never write through two buffers.

#include <QTextStream>

namespace glyphary::tools {

inline QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

inline QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

} // namespace glyphary::tools
