#include "core/IconSource.h"

#include "core/ListingHost.h"

namespace glyphary {

void IconSources::add(SourceFamily family, IconSource& source)
{
    sources_[static_cast<int>(family)] = &source;
}

IconSource* IconSources::find(SourceFamily family) const
{
    return sources_[static_cast<int>(family)];
}

void IconSources::list(SourceFamily family, const SourceRequest& request, ListingHost& host) const
{
    if (IconSource* source = find(family))
        source->list(request);
    else
        host.showMessage(kSourceMissingText);
}

std::vector<SourceNode> IconSources::nodes(SourceFamily family) const
{
    IconSource* source = find(family);
    return source ? source->nodes() : std::vector<SourceNode>{};
}

void IconSources::addKeywordHits(SourceFamily family, const QString& keyword, ItemList& results) const
{
    if (IconSource* source = find(family))
        source->addKeywordHits(keyword, results);
}

bool IconSources::takeDrop(SourceFamily family, const QString& folder) const
{
    IconSource* source = find(family);
    return source && source->takeDrop(folder);
}

void IconSources::removeSelected(SourceFamily family) const
{
    if (IconSource* source = find(family))
        source->removeSelected();
}

} // namespace glyphary
