#pragma once
// The frames of an animation on their way into one .ani file: temporary icon files
// "<TempFolder><n>.ico", which SaveAsANI joins. Save As and the cursor change both write them.

#include "libs/glsave32/Glsave32.h"
#include "platform/IconFunctions.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

namespace glyphary {

struct AppContext;

// The icon writer takes ANSI names; a name without an ANSI form would be written under another one.
std::optional<std::string> ansiName(const QString& windowsPath);

// A picture as the icon writer's planes take it.
platform::Icon iconOf(const QImage& picture);

class FrameFiles {
public:
    explicit FrameFiles(AppContext& context);
    // Every frame file written is removed, whatever happened.
    ~FrameFiles();
    FrameFiles(const FrameFiles&) = delete;
    FrameFiles& operator=(const FrameFiles&) = delete;

    // Writes one file per frame, in order, at `colourDepth`; "" when all were written, else why not.
    QString write(const std::vector<QImage>& frames, int colourDepth);
    // The host paths of the files written.
    const QStringList& hostPaths() const { return hosts_; }
    // Joins the frames into `aniFile` (a Windows path), each shown `jiffies` (1/60 s); "" when
    // written, else why not.
    QString joinInto(Glsave32& writer, const QString& aniFile, int jiffies) const;

private:
    AppContext& context_;
    Glsave32 scratch_;
    std::vector<std::string> names_;
    QStringList hosts_;
};

} // namespace glyphary
