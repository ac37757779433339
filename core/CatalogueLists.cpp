#include "core/CatalogueLists.h"

namespace glyphary {

void CatalogueLists::clear()
{
    cmbSearch.clear();
    cmbAddKeyword.clear();
    lstKey.clear();
    lstUser.clear();
    cmbUser.clear();
    customKeywordsNotLoaded.clear();
}

} // namespace glyphary
