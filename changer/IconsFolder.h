#pragma once
// The folder "<Windows folder>\Icons" where every change writes its icon under a number: the
// smallest of 1 to 5000 not taken. Only those numbered files are the program's own, so only they
// are ever deleted.

#include "platform/WindowsPaths.h"

#include <QString>
#include <optional>

namespace glyphary::changer {

class IconsFolder {
public:
    static constexpr int kHighestNumber = 5000;

    IconsFolder(const platform::WindowsPaths& paths, const QString& windowsFolder);

    // "<Windows folder>\Icons", no trailing "\".
    const QString& path() const { return path_; }
    // Creates the folder when it is missing; false when it cannot be made.
    bool make() const;

    // The Windows path of the smallest free number with `extension` ("ico", "cur", "ani"); a file
    // of any case with that name takes the number. `freed` (one of our own files about to be
    // replaced) counts as free. nullopt when all 5000 are taken.
    std::optional<QString> nextFreeName(const QString& extension, const QString& freed = QString()) const;

    // Whether `file` (a Windows path) is one of ours: in this folder exactly, named a number of 1 to
    // 5000 with ".ico", ".cur" or ".ani".
    bool isOwnFile(const QString& file) const;

private:
    const platform::WindowsPaths& paths_;
    QString path_;
};

} // namespace glyphary::changer
