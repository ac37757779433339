#pragma once
// Owning handles for libzip objects, so that every early return releases them.

#include <memory>
#include <zip.h>

namespace glyphary::zip_handles {

struct DiscardArchive {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct CloseFile {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
struct FreeSource {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};

// zip_discard: archives are either read only or written by an explicit zip_close.
using Archive = std::unique_ptr<zip_t, DiscardArchive>;
using File = std::unique_ptr<zip_file_t, CloseFile>;
using Source = std::unique_ptr<zip_source_t, FreeSource>;

} // namespace glyphary::zip_handles
