#pragma once
// Checks a Windows or enhanced metafile's framing before a converter library sees it: the libraries
// trust record sizes and counts, so a broken or hostile file must stop here.

#include "formats/ByteReader.h"

#include <QSize>
#include <QString>

namespace glyphary {

enum class MetafileKind { None, Wmf, Emf };

// By the leading bytes alone: the placeable or plain WMF header, or EMR_HEADER with " EMF".
MetafileKind metafileKind(formats::Bytes file);

struct MetafileCheck {
    QString error; // "" when the file may be converted
    QSize frame;   // the declared picture size in pixels (96 per inch), at least 1 x 1 when valid
};

// Every record lies inside the file and inside the declared size, is at least as long as its
// header, the point and text counts of drawing records fit their record, and the last record read
// is the end-of-file record. Records after it are ignored. At most kMaxMetafileRecords records.
MetafileCheck checkWmf(formats::Bytes file);
MetafileCheck checkEmf(formats::Bytes file);

inline constexpr int kMaxMetafileRecords = 1'000'000;

} // namespace glyphary
