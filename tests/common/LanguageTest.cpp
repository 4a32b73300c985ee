#include "InterfaceLanguage.h"
#include "Translation.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

InterfaceLanguage ChooseFrom(const std::map<std::string, QByteArray>& variables) {
    return Cm_ChooseLanguage([&](const char* name) {
        const auto found = variables.find(name);
        return found == variables.end() ? QByteArray() : found->second;
    });
}

constexpr auto ja = InterfaceLanguage::Japanese;
constexpr auto en = InterfaceLanguage::English;

} // namespace

TEST(InterfaceLanguage, CAndUnsetLocalesKeepJapaneseEveryOtherLanguageGetsEnglish) {
    EXPECT_EQ(ChooseFrom({}), ja);
    EXPECT_EQ(ChooseFrom({{"LANG", "C"}}), ja);
    EXPECT_EQ(ChooseFrom({{"LANG", "C.UTF-8"}}), ja);
    EXPECT_EQ(ChooseFrom({{"LANG", "POSIX"}}), ja);
    EXPECT_EQ(ChooseFrom({{"LANG", "ja_JP.UTF-8"}}), ja);
    EXPECT_EQ(ChooseFrom({{"LANG", "ja"}}), ja);
    EXPECT_EQ(ChooseFrom({{"LANG", "en_US.UTF-8"}}), en);
    EXPECT_EQ(ChooseFrom({{"LANG", "de_DE.UTF-8"}}), en);
    EXPECT_EQ(ChooseFrom({{"LANG", "fr_FR@euro"}}), en);
    // A language whose code only starts like Japanese is not Japanese.
    EXPECT_EQ(ChooseFrom({{"LANG", "jam_JM"}}), en);
}

TEST(InterfaceLanguage, MessagesLocaleAndLanguageListWinAsGettextLetsThem) {
    EXPECT_EQ(ChooseFrom({{"LANG", "ja_JP.UTF-8"}, {"LC_MESSAGES", "en_GB.UTF-8"}}), en);
    EXPECT_EQ(ChooseFrom({{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LC_ALL", "de_DE.UTF-8"}}), en);
    EXPECT_EQ(ChooseFrom({{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "ja:en"}}), ja);
    // Entries without a catalogue are passed over.
    EXPECT_EQ(ChooseFrom({{"LANG", "ja_JP.UTF-8"}, {"LANGUAGE", "de:fr:en_GB"}}), en);
    EXPECT_EQ(ChooseFrom({{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "de:fr"}}), en);
    // Under the C locale LANGUAGE does not count.
    EXPECT_EQ(ChooseFrom({{"LANG", "C.UTF-8"}, {"LANGUAGE", "en"}}), ja);
}

TEST(InterfaceLanguage, VornLangForcesEitherLanguageAndIgnoresOtherValues) {
    EXPECT_EQ(ChooseFrom({{"LANG", "C"}, {"VORN_LANG", "en"}}), en);
    EXPECT_EQ(ChooseFrom({{"LANG", "en_US.UTF-8"}, {"VORN_LANG", "ja"}}), ja);
    EXPECT_EQ(ChooseFrom({{"LANG", "en_US.UTF-8"}, {"VORN_LANG", "klingon"}}), en);
}

TEST(TextCatalogue, EnglishIsInstalledWhileTheObjectLivesAndJapaneseComesBack) {
    EXPECT_EQ(Cm_Tr("DiskState", "異常"), QStringLiteral("異常"));
    EXPECT_EQ(Cm_InterfaceLanguage(), ja);
    {
        const CTextCatalogue english(en);
        EXPECT_GT(english.LoadedFiles(), 0);
        EXPECT_EQ(Cm_InterfaceLanguage(), en);
        EXPECT_EQ(Cm_Tr("DiskState", "異常"), QStringLiteral("Bad"));
        {
            const CTextCatalogue japanese(ja);
            EXPECT_EQ(Cm_Tr("DiskState", "異常"), QStringLiteral("異常"));
        }
        EXPECT_EQ(Cm_Tr("DiskState", "異常"), QStringLiteral("Bad"));
        // A text no catalogue holds, or one asked in the wrong context, is
        // shown as written rather than as nothing.
        EXPECT_EQ(Cm_Tr("DiskState", "未知の語"), QStringLiteral("未知の語"));
        EXPECT_EQ(Cm_Tr("NoSuchContext", "異常"), QStringLiteral("異常"));
    }
    EXPECT_EQ(Cm_InterfaceLanguage(), ja);
    EXPECT_EQ(Cm_Tr("DiskState", "異常"), QStringLiteral("異常"));
}

TEST(TextCatalogue, CountPlaceholderIsFilledInEitherLanguage) {
    EXPECT_EQ(Cm_Tr("Test", "%n 台", nullptr, 3), QStringLiteral("3 台"));
    EXPECT_EQ(Cm_Tr(nullptr, nullptr), QString());
}
