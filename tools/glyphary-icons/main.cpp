// glyphary-icons: lists the icons Glyphary finds in files, extracts one, and makes file-manager
// thumbnails. A file manager starts the thumbnailer once for every file it shows, so thumbnails are
// made here without loading Qt, whose libraries cost more than the thumbnail; list and extract run
// in glyphary-icons-reader beside this program, which reads files as Glyphary does.

#include "formats/Png.h"
#include "tools/glyphary-icons/Thumbnail.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace glyphary;

const char* const kHelp = R"(Usage:
  glyphary-icons list [-r] PATH...
  glyphary-icons extract FILE INDEX OUT
  glyphary-icons thumbnail [-s SIZE] FILE OUT
  glyphary-icons --help

list     Prints one line for each icon Glyphary lists for each file PATH names, as Open by File
         adds them; a folder PATH names the files in it, and with -r those of its subfolders too:
           ITEM<TAB>WIDTHxHEIGHT<TAB>BITS<TAB>TYPE
         ITEM is the result item (path;number;label;type code and "open", the path as a Windows
         path, Z: being the host's "/"), WIDTHxHEIGHT and BITS the size and colour depth of the
         picture the program shows for it, TYPE the text of the Type column. The file's extension
         decides what it is: .ico, .cur, .ani, .icl, .dll or .exe; a file with any other
         extension is taken by its content, so .cpl, .scr, .ocx or .drv programs list their
         icons too. Files of a folder that hold no icon are passed over quietly. A file whose pictures cost
         more than 64 Mpixel or 3 s of decoding is cut short: the items past that point show
         no picture (0x0), and a message names the file.
extract  Writes the icon at INDEX of FILE to OUT, in the format OUT's extension names: .ico, .cur,
         .png or .bmp. INDEX is the number an item of the listing carries: 0 for an .ico or .cur
         file, the step of an animation, the icon's position from 0 in a library (a negative
         INDEX names a library icon by its resource id). The picture is the 32 x 32 one the
         program extracts; an .ico written from an .ico file or a library icon holds every image
         of that icon instead.
thumbnail
         Writes the picture of FILE's main icon to OUT as a PNG with transparency, for file
         managers: the icon of an .ico or .cur file, the first step of an animation, the first
         icon group of a program or icon library. Of its images the smallest at least SIZE
         pixels a side is taken (else the largest) and scaled down to SIZE; SIZE is 1 to 1024,
         128 when -s is not given. The file is read by content, whatever its extension; a file
         without an icon leaves OUT as it was.

Errors exit with status 1, wrong usage with status 2.
)";

constexpr int kFailed = 1;
constexpr int kUsage = 2;

int usageError(const std::string& message)
{
    std::fprintf(stderr, "glyphary-icons: %s\nTry 'glyphary-icons --help'.\n", message.c_str());
    return kUsage;
}

int failure(const std::string& message)
{
    std::fprintf(stderr, "glyphary-icons: %s\n", message.c_str());
    return kFailed;
}

struct ThumbnailRequest {
    int size = tools::kDefaultThumbnailSize;
    std::string file;
    std::string out;
};

// "[-s SIZE] FILE OUT"; nullopt, with the message, on wrong usage.
std::optional<ThumbnailRequest> thumbnailRequest(int count, char** arguments, std::string& problem)
{
    ThumbnailRequest request;
    if (count == 4 && std::string_view(arguments[0]) == "-s") {
        const std::string_view text = arguments[1];
        const auto parsed = std::from_chars(text.data(), text.data() + text.size(), request.size);
        if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size() || request.size < 1
            || request.size > tools::kMaxThumbnailSize) {
            problem = "SIZE must be a whole number from 1 to " + std::to_string(tools::kMaxThumbnailSize) + ", not '"
                + std::string(text) + "'";
            return std::nullopt;
        }
        arguments += 2;
        count -= 2;
    }
    if (count != 2) {
        problem = "thumbnail needs [-s SIZE] FILE OUT";
        return std::nullopt;
    }
    request.file = arguments[0];
    request.out = arguments[1];
    return request;
}

// A file cut short while it is mapped makes the next read of a lost page fault.
void leaveOnLostPage(int)
{
    constexpr char message[] = "glyphary-icons: the file was cut short while it was read\n";
    (void)!write(STDERR_FILENO, message, sizeof message - 1);
    _exit(kFailed);
}

// The picture goes to a temporary file beside OUT, renamed over it once complete.
std::optional<std::string> writeAtomically(const std::string& path, const formats::ByteVector& bytes)
{
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
        return std::string(std::strerror(errno));
    const mode_t mask = umask(0);
    umask(mask);
    bool written = fchmod(fd, 0666 & ~mask) == 0;
    for (std::size_t done = 0; written && done < bytes.size();) {
        const ssize_t step = write(fd, bytes.data() + done, bytes.size() - done);
        written = step > 0;
        done += written ? static_cast<std::size_t>(step) : 0;
    }
    int reason = written ? 0 : errno;
    if (close(fd) != 0 && written)
        reason = errno;
    if (reason == 0 && rename(temporary.c_str(), path.c_str()) != 0)
        reason = errno;
    if (reason != 0) {
        unlink(temporary.c_str());
        return std::string(std::strerror(reason));
    }
    return std::nullopt;
}

// The file is mapped, not read: of a large installer only the pages the codecs look at are loaded.
int thumbnail(int count, char** arguments)
{
    std::string problem;
    const auto request = thumbnailRequest(count, arguments, problem);
    if (!request)
        return usageError(problem);
    const std::string& name = request->file;
    // Non-blocking, so that a FIFO is refused as "not a file" instead of waiting for a writer.
    const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0) {
        if (errno == ENOENT)
            return failure(name + ": no such file");
        return failure(name + ": cannot read it: " + std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode))
        return failure(name + ": not a file");
    if (info.st_size == 0)
        return failure(name + ": the file is empty");
    const auto size = static_cast<std::size_t>(info.st_size);
    void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (mapped == MAP_FAILED)
        return failure(name + ": cannot map it: " + std::strerror(errno));
    std::signal(SIGBUS, leaveOnLostPage);

    const tools::Thumbnail made = tools::thumbnailOf(formats::Bytes(static_cast<const std::uint8_t*>(mapped), size), request->size);
    if (made.picture.isNull())
        return failure(name + ": " + made.problem);
    const auto png = formats::encodeFastPng(made.picture);
    if (!png)
        return failure(request->out + ": cannot encode the icon as PNG");
    if (const auto error = writeAtomically(request->out, *png))
        return failure(request->out + ": cannot write: " + *error);
    return 0;
}

// list and extract: the reader beside this program, which /proc/self/exe names through any link.
int runReader(char** argv)
{
    std::string self(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", self.data(), self.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= self.size())
        return failure("cannot find the folder this program is in");
    self.resize(static_cast<std::size_t>(length));
    const std::string reader = self.substr(0, self.rfind('/') + 1) + "glyphary-icons-reader";
    argv[0] = const_cast<char*>(reader.c_str());
    execv(reader.c_str(), argv);
    return failure("cannot start " + reader + ": " + std::strerror(errno));
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2)
        return usageError("no command");
    const std::string_view command = argv[1];
    if (command == "--help" || command == "-h") {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (command == "thumbnail")
        return thumbnail(argc - 2, argv + 2);
    return runReader(argv);
}
