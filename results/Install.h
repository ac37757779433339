#pragma once
// The user's collections in the session: the favorites family's source and
// commands, references and custom keywords. The windows frmKey and frmAdd are attached by the
// window layer (results/frmKey.h, results/frmAdd.h).

#include "results/CustomKeywords.h"
#include "results/Favorites.h"
#include "results/References.h"

#include <functional>

namespace glyphary {
class MainSession;
}

namespace glyphary::results {

class Collections {
public:
    explicit Collections(MainSession& session);

    Favorites favorites;
    References references;

    // Delete Reference on the selected row: the reference goes, the listing follows.
    void deleteReference();
    // The reference dialog's Add for the selected row; Added hides the dialog.
    AddReferenceOutcome addReference(int typeDigit, const QString& keyword);
    // Add Reference is there for the selected row (its Origin begins with "File").
    bool canAddReference() const;
    // The keyword lists changed: the keyword bar shows them again.
    void keywordsChanged();

    // What the windows provide; without them the commands show nothing.
    std::function<void()> showKeywordWindow;
    std::function<void()> showReferenceWindow;

private:
    MainSession& session_;
};

Collections& install(MainSession& session);

} // namespace glyphary::results
