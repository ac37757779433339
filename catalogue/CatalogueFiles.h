#pragma once
// The catalogue index in the program folder and the two user files in the data folder (a shipped
// copy in the program folder is read when the data folder has none): read once while the main
// window loads, the user files written back at shutdown.
//
//   Icondata.dat  keyword ";" token ";" token ...   shipped, never written
//   Keyuser.dat   custom keyword                     one per line
//   Iconuser.dat  keyword ";" "user" result item     the item holds further ";"
//
// All three are Windows-1252 text with CR LF lines.

#include <QString>

namespace glyphary {

struct AppContext;

// Fills the keyword table and the catalogue lists and sets CatalogueAvailable. Returns the text
// for the status bar's count panel: KeywordCount followed by " Keywords".
QString LoadCatalogue(AppContext& context);

// Writes "Keyuser.dat" when KeywordsChanged and "Iconuser.dat" when ReferencesChanged, each time
// keeping the file it replaces as ".bak". A file is replaced only after its new text was written
// in full; otherwise the person is told and both old files stay as they were. A saved file's flag
// is cleared. Returns false when a file could not be saved.
bool SaveUserFiles(AppContext& context);

} // namespace glyphary
