#pragma once
// The lists the catalogue loader fills and the user-file writer saves. They are the working copies
// behind the controls of the same names.

#include "core/ItemList.h"

#include <QStringList>

namespace glyphary {

struct CatalogueLists {
    ItemList cmbSearch;     // keyword bar: every keyword; item data = keyword number
    ItemList cmbAddKeyword; // the reference editor's keyword combo: every keyword; no item data
    ItemList lstKey;        // custom keywords; item data = the keyword's position in cmbSearch
    ItemList lstUser;       // reference keywords; item data = the reference's position in cmbUser
    ItemList cmbUser;       // reference "user" items; item data = the reference's position in lstUser

    // Custom keywords of the keyword file that no longer fit the keyword table. They are written
    // back after lstKey, so that saving the file never drops them.
    QStringList customKeywordsNotLoaded;

    void clear();
};

} // namespace glyphary
