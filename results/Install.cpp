#include "results/Install.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/MainWindowPort.h"
#include "platform/DialogsPort.h"
#include "platform/Win32Types.h"

#include <memory>

namespace glyphary::results {

Collections::Collections(MainSession& session)
    : favorites(session), references(session.context(), session.cmbResult), session_(session)
{
}

bool Collections::canAddReference() const
{
    const std::optional<SelectedRow> row = session_.window().selectedRow();
    return row && row->origin.startsWith(QLatin1StringView("File"));
}

AddReferenceOutcome Collections::addReference(int typeDigit, const QString& keyword)
{
    const std::optional<SelectedRow> row = session_.window().selectedRow();
    if (!row)
        return AddReferenceOutcome::NotAnIcon;
    const AddReferenceOutcome outcome = references.add(row->item, typeDigit, keyword);
    if (outcome == AddReferenceOutcome::Duplicate) {
        session_.context().platform.dialogs().messageBox(kDuplicateReferenceText, kDuplicateReferenceTitle,
                                                         platform::MB_ICONEXCLAMATION);
    }
    return outcome;
}

void Collections::deleteReference()
{
    const std::optional<SelectedRow> row = session_.window().selectedRow();
    if (!row || row->origin != u"Reference")
        return;
    references.remove(row->item);
    ResultPages& pages = session_.pages();
    const int count = session_.cmbResult.count();
    // The page shown again without the reference; an emptied last page gives way to page 1.
    if (count == 0 || (pages.currentPage() - 1) * static_cast<qint64>(pages.iconsPerPage()) >= count) {
        pages.startListing();
    } else {
        pages.fillPage();
        session_.selectionChanged();
        session_.window().setPanelText(StatusPanel::Count, QString::number(count) + QStringLiteral(" icon(s)"));
    }
}

void Collections::keywordsChanged()
{
    session_.window().showKeywordBar();
}

Collections& install(MainSession& session)
{
    Collections& collections = session.keep(std::make_unique<Collections>(session));
    Favorites& favorites = collections.favorites;
    session.sources().add(SourceFamily::Favorites, favorites);
    session.handle(Command::AddFavorite, [&favorites] { favorites.addFavorite(); });
    session.handle(Command::DeleteFavorite, [&favorites] { favorites.deleteFavorite(); });
    session.handle(Command::FavoriteGroupAdd, [&favorites] { favorites.createFolder(); });
    session.handle(Command::FavoriteGroupDel, [&favorites] { favorites.removeFolder(); });
    session.handle(Command::FavoriteRefresh, [&favorites] { favorites.refresh(); });
    session.handle(Command::FavoriteOrganize, [&favorites] { favorites.organize(); });
    session.handle(Command::DeleteReference, [&collections] { collections.deleteReference(); });
    session.handle(Command::AddReference, [&collections] {
        if (collections.canAddReference() && collections.showReferenceWindow)
            collections.showReferenceWindow();
    });
    session.handle(Command::EditKeywords, [&collections] {
        if (collections.showKeywordWindow)
            collections.showKeywordWindow();
    });
    return collections;
}

} // namespace glyphary::results
