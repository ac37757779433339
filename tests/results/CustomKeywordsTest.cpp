// Custom keywords: the four lists kept in step, numbers and positions, the full table, and frmKey's
// button rules by focus (its add and delete are driven through frmKey in the app's Collections test).
#include "results/CustomKeywords.h"

#include "core/AppContext.h"
#include "support/TempRoot.h"
#include "support/ItemTexts.h"

#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::results;

namespace {

using glyphary::testing::texts;

class CustomKeywordsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Two catalogue keywords and one custom keyword, as the loader leaves them.
        for (const char* keyword : {"star", "moon"})
            addLoaded(QString::fromLatin1(keyword), QStringLiteral("a:1:0;"));
        const int position = addLoaded(QStringLiteral("mine"), QString());
        context.catalogueLists.lstKey.add(QStringLiteral("mine"), position);
    }

    int addLoaded(const QString& keyword, const QString& data)
    {
        const int number = context.keywordTable.append(keyword, data);
        context.catalogueLists.cmbAddKeyword.add(keyword);
        return context.catalogueLists.cmbSearch.add(keyword, number);
    }

    glyphary::testing::TempRoot root;
    AppContext context{root.platform()};
    CatalogueLists& lists = context.catalogueLists;
};

TEST_F(CustomKeywordsTest, AddPutsTheKeywordInEveryListWithTheNextNumber)
{
    CustomKeywords keywords(context);
    EXPECT_EQ(keywords.add(QStringLiteral("Sun")), AddKeywordOutcome::Added);
    EXPECT_EQ(context.KeywordsChanged, kTrue);
    EXPECT_EQ(texts(lists.cmbSearch), QStringList({"star", "moon", "mine", "Sun"}));
    EXPECT_EQ(texts(lists.cmbAddKeyword), texts(lists.cmbSearch));
    EXPECT_EQ(texts(lists.lstKey), QStringList({"mine", "Sun"}));
    EXPECT_EQ(lists.cmbSearch.itemData(3), 3);
    EXPECT_EQ(lists.lstKey.itemData(1), 3);
    EXPECT_EQ(context.keywordTable.Keywords[3], "Sun");
    EXPECT_EQ(context.keywordTable.KeywordData[3], "");
}

TEST_F(CustomKeywordsTest, ADuplicateOfAnyKeywordSameCaseChangesNothing)
{
    CustomKeywords keywords(context);
    EXPECT_EQ(keywords.add(QStringLiteral("moon")), AddKeywordOutcome::Duplicate);
    EXPECT_EQ(keywords.add(QStringLiteral("mine")), AddKeywordOutcome::Duplicate);
    EXPECT_EQ(context.KeywordsChanged, kFalse);
    EXPECT_EQ(lists.cmbSearch.count(), 3);
    // Another case is another keyword.
    EXPECT_EQ(keywords.add(QStringLiteral("Moon")), AddKeywordOutcome::Added);
}

TEST_F(CustomKeywordsTest, DeleteTakesItFromEveryListAndLaterPositionsMoveUp)
{
    CustomKeywords keywords(context);
    keywords.add(QStringLiteral("sun"));
    keywords.add(QStringLiteral("comet"));
    ASSERT_TRUE(keywords.remove(1)); // "sun"
    EXPECT_EQ(texts(lists.cmbSearch), QStringList({"star", "moon", "mine", "comet"}));
    EXPECT_EQ(texts(lists.cmbAddKeyword), texts(lists.cmbSearch));
    EXPECT_EQ(texts(lists.lstKey), QStringList({"mine", "comet"}));
    // "comet" is at position 3 of the keyword bar now, and keeps its number.
    EXPECT_EQ(lists.lstKey.itemData(1), 3);
    EXPECT_EQ(lists.cmbSearch.itemData(3), 4);
    // The next keyword gets a number no entry uses.
    keywords.add(QStringLiteral("nova"));
    EXPECT_EQ(lists.cmbSearch.itemData(4), 5);
    EXPECT_FALSE(keywords.remove(7));
}

TEST_F(CustomKeywordsTest, AFullTableSaysSoAndChangesNothingUntilAKeywordGoes)
{
    while (!context.keywordTable.isFull()) {
        const int number = context.keywordTable.append(QStringLiteral("k%1").arg(context.keywordTable.KeywordCount), QString());
        lists.cmbSearch.add(context.keywordTable.Keywords[static_cast<std::size_t>(number)], number);
        lists.cmbAddKeyword.add(context.keywordTable.Keywords[static_cast<std::size_t>(number)]);
    }
    ASSERT_EQ(lists.cmbSearch.count(), 3001);
    CustomKeywords keywords(context);
    EXPECT_EQ(keywords.add(QStringLiteral("more")), AddKeywordOutcome::TableFull);
    EXPECT_EQ(lists.cmbSearch.count(), 3001);
    EXPECT_EQ(lists.lstKey.count(), 1);
    EXPECT_EQ(context.KeywordsChanged, kFalse);
    // Deleting "mine" (number 2) frees its number for the next one.
    ASSERT_TRUE(keywords.remove(0));
    EXPECT_EQ(keywords.add(QStringLiteral("more")), AddKeywordOutcome::Added);
    EXPECT_EQ(lists.cmbSearch.itemData(lists.cmbSearch.count() - 1), 2);
    EXPECT_EQ(context.keywordTable.Keywords[2], "more");
}

TEST_F(CustomKeywordsTest, ButtonsFollowTheTextWhileTheListHasNoFocus)
{
    KeywordEditor editor(context);
    editor.setTextFocus(true);
    editor.textChanged(QStringLiteral("su"));
    EXPECT_TRUE(editor.addEnabled());
    EXPECT_FALSE(editor.deleteEnabled());
    editor.textChanged(QStringLiteral("mine"));
    EXPECT_FALSE(editor.addEnabled());
    EXPECT_TRUE(editor.deleteEnabled());
    EXPECT_EQ(editor.selected(), 0);
    editor.textChanged(QString());
    EXPECT_FALSE(editor.addEnabled());
    // While the text box has the focus a click in the list does not take over the text.
    editor.textChanged(QStringLiteral("x"));
    editor.listClicked(0);
    EXPECT_EQ(editor.text(), "x");
    EXPECT_TRUE(editor.addEnabled());
    // With the focus in the list, the click copies the entry and typing changes no button.
    editor.setTextFocus(false);
    editor.setListFocus(true);
    editor.listClicked(0);
    EXPECT_EQ(editor.text(), "mine");
    EXPECT_FALSE(editor.addEnabled());
    EXPECT_TRUE(editor.deleteEnabled());
    editor.textChanged(QStringLiteral("other"));
    EXPECT_FALSE(editor.addEnabled());
}

} // namespace
