// Windows and enhanced metafiles: our framing checks on every input, and what they let through
// drawn by libwmf or libemf2svg, the libraries that trust the records.
#include "windows/MetafileCheck.h"
#include "windows/MetafileRender.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Rendering through Qt SVG needs fonts, hence an application, never a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace glyphary;
    const formats::Bytes file(data, size);
    (void)checkWmf(file);
    (void)checkEmf(file);
    if (metafileKind(file) != MetafileKind::None)
        (void)renderMetafile(file, 48);
    return 0;
}
