// References: newest first, duplicates by item, type digit and keyword, deletion of the reference
// only, and the shown "user" entries following the renumbering.
#include "results/References.h"

#include "core/AppContext.h"
#include "core/ResultItem.h"
#include "support/ItemTexts.h"
#include "support/TempRoot.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::results;
using namespace glyphary::testing;

namespace {

const QString kIco = QStringLiteral("C:\\Icons\\star.ico;0;x;1open");

class ReferencesTest : public ::testing::Test {
protected:
    glyphary::testing::TempRoot root;
    AppContext context{root.platform()};
    ItemList results;
    References references{context, results};
    CatalogueLists& lists = context.catalogueLists;
};

TEST_F(ReferencesTest, TheNewestReferenceIsNumberZero)
{
    EXPECT_EQ(references.add(kIco, 1, QStringLiteral("star")), AddReferenceOutcome::Added);
    EXPECT_EQ(references.add(QStringLiteral("C:\\lib.dll;3;#4 of 9;dopen"), 2, QStringLiteral("moon")),
              AddReferenceOutcome::Added);
    EXPECT_EQ(context.ReferencesChanged, kTrue);
    EXPECT_EQ(texts(lists.cmbUser), (QStringList{"C:\\lib.dll;3;#4 of 9;2user", "C:\\Icons\\star.ico;0;x;1user"}));
    EXPECT_EQ(texts(lists.lstUser), (QStringList{"moon", "star"}));
    EXPECT_EQ(itemData(lists.cmbUser), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(itemData(lists.lstUser), (std::vector<std::int32_t>{0, 1}));
}

TEST_F(ReferencesTest, ADuplicateNeedsTheSameTypeAndKeywordInTheSameCase)
{
    references.add(kIco, 1, QStringLiteral("star"));
    context.ReferencesChanged = kFalse;
    EXPECT_EQ(references.add(kIco, 1, QStringLiteral("star")), AddReferenceOutcome::Duplicate);
    EXPECT_EQ(context.ReferencesChanged, kFalse);
    EXPECT_EQ(references.count(), 1);
    EXPECT_EQ(references.add(kIco, 0, QStringLiteral("star")), AddReferenceOutcome::Added);
    EXPECT_EQ(references.add(kIco, 1, QStringLiteral("Star")), AddReferenceOutcome::Added);
    EXPECT_EQ(references.add(kIco, 1, QStringLiteral("moon")), AddReferenceOutcome::Added);
    EXPECT_EQ(references.count(), 4);
    EXPECT_EQ(references.add(kIco, 9, QStringLiteral("moon")), AddReferenceOutcome::NotAnIcon);
}

TEST_F(ReferencesTest, ShownReferencesKeepNamingTheirReferenceWhileOthersComeAndGo)
{
    references.add(kIco, 1, QStringLiteral("star"));                                 // 0
    results.add(lists.cmbUser.text(0), 0);
    references.add(QStringLiteral("C:\\m.cur;0;x;7open"), 7, QStringLiteral("star")); // new 0, star moves to 1
    EXPECT_EQ(results.itemData(0), 1);
    EXPECT_EQ(lists.lstUser.text(results.itemData(0)), QStringLiteral("star"));
    results.add(lists.cmbUser.text(0), 0);
    // Deleting the newer one: the older moves back to 0; the deleted one leaves the results.
    EXPECT_EQ(references.remove(QStringLiteral("C:\\m.cur;0;x;7user")), 0);
    ASSERT_EQ(results.count(), 1);
    EXPECT_EQ(results.itemData(0), 0);
    EXPECT_EQ(results.text(0), QStringLiteral("C:\\Icons\\star.ico;0;x;1user"));
}

TEST_F(ReferencesTest, DeletingNeverTouchesTheFile)
{
    root.writeFile(QStringLiteral("C:\\Icons\\star.ico"), QByteArray("icon"));
    references.add(kIco, 1, QStringLiteral("star"));
    results.add(lists.cmbUser.text(0), 0);
    EXPECT_EQ(references.remove(lists.cmbUser.text(0)), 0);
    EXPECT_EQ(references.count(), 0);
    EXPECT_EQ(lists.lstUser.count(), 0);
    EXPECT_TRUE(results.isEmpty());
    EXPECT_TRUE(QFile::exists(root.host(QStringLiteral("C:\\Icons\\star.ico"))));
    // Gone already: only the shown entries go.
    results.add(QStringLiteral("C:\\gone.ico;0;x;1user"), 0);
    EXPECT_EQ(references.remove(QStringLiteral("C:\\gone.ico;0;x;1user")), -1);
    EXPECT_TRUE(results.isEmpty());
}

} // namespace
