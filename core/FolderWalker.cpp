#include "core/FolderWalker.h"

#include "core/ItemList.h"
#include "platform/WindowsPaths.h"

#include <QByteArray>
#include <algorithm>
#include <chrono>
#include <dirent.h>
#include <set>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace glyphary {
namespace {

using Clock = std::chrono::steady_clock;

class Walker {
public:
    Walker(const FolderWalk& walk, const Flag& abort, ItemList& files) : walk_(walk), abort_(abort), files_(files) {}

    void run(const std::string& hostFolder, const QString& windowsFolder, bool isStart)
    {
        if (aborted())
            return;
        struct stat info{};
        if (::stat(hostFolder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return;
        if (!visited_.insert({info.st_dev, info.st_ino}).second)
            return;
        ++counts_.folders;
        if (!isStart && walk_.enterFolder)
            walk_.enterFolder(windowsFolder);

        std::vector<std::string> fileNames;
        std::vector<std::string> folderNames;
        if (!list(hostFolder, fileNames, folderNames))
            return;
        const QString prefix = windowsFolder.endsWith(u'\\') ? windowsFolder : windowsFolder + u'\\';
        for (const std::string& name : fileNames) {
            if (aborted())
                return;
            ++counts_.files;
            files_.add(prefix + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())), 0);
            tick();
        }
        if (!walk_.recurse)
            return;
        for (const std::string& name : folderNames)
            run(hostFolder + '/' + name, prefix + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())), false);
    }

    const WalkCounts& counts() const { return counts_; }

private:
    bool aborted() const { return abort_ != kFalse; }

    // The folder's files and subfolders by name; false when it cannot be read.
    bool list(const std::string& hostFolder, std::vector<std::string>& fileNames, std::vector<std::string>& folderNames)
    {
        DIR* dir = ::opendir(hostFolder.c_str());
        if (!dir)
            return false;
        while (const dirent* entry = ::readdir(dir)) {
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            unsigned char type = entry->d_type;
            if (type == DT_UNKNOWN || type == DT_LNK) {
                // Links count as what they point at; a dangling one is skipped.
                struct stat info{};
                if (::stat((hostFolder + '/' + name).c_str(), &info) != 0)
                    continue;
                type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
            }
            if (type == DT_DIR)
                folderNames.emplace_back(name);
            else if (type == DT_REG)
                fileNames.emplace_back(name);
        }
        ::closedir(dir);
        const auto byName = [](const std::string& a, const std::string& b) {
            const int order = ::strcasecmp(a.c_str(), b.c_str());
            return order != 0 ? order < 0 : a < b;
        };
        std::sort(fileNames.begin(), fileNames.end(), byName);
        std::sort(folderNames.begin(), folderNames.end(), byName);
        tick();
        return true;
    }

    void tick()
    {
        const Clock::time_point now = Clock::now();
        if (walk_.doEvents && now - lastEvents_ >= std::chrono::milliseconds(10)) {
            lastEvents_ = now;
            walk_.doEvents();
        }
        if (walk_.progress && now - lastProgress_ >= std::chrono::milliseconds(100)) {
            lastProgress_ = now;
            walk_.progress(counts_);
        }
    }

    const FolderWalk& walk_;
    const Flag& abort_;
    ItemList& files_;
    WalkCounts counts_;
    std::set<std::pair<dev_t, ino_t>> visited_;
    Clock::time_point lastEvents_ = Clock::now();
    Clock::time_point lastProgress_ = Clock::now();
};

} // namespace

WalkCounts walkFolder(const platform::WindowsPaths& paths, const QString& folder, const FolderWalk& walk,
                      const Flag& abort, ItemList& files)
{
    const QString host = paths.toHost(folder);
    if (host.isEmpty())
        return {};
    Walker walker(walk, abort, files);
    walker.run(host.toStdString(), folder, true);
    if (walk.progress)
        walk.progress(walker.counts());
    return walker.counts();
}

} // namespace glyphary
