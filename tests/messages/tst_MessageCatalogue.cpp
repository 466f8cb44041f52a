#include "messages/MessageCatalogue.h"

#include <QTest>

using namespace messages;

class TestMessageCatalogue : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        setLanguageOverride(kNoLanguageChosen);
        setSystemLanguageForTesting(0);
    }

    void languageOffsets_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("offset");
        QTest::newRow("Chinese (Taiwan)") << 0x0404 << 800;
        QTest::newRow("Chinese (Hong Kong)") << 0x0C04 << 800;
        QTest::newRow("Chinese (Macau) is not listed") << 0x1404 << 400;
        QTest::newRow("Chinese (PRC)") << 0x0804 << 1200;
        QTest::newRow("Chinese (Singapore)") << 0x1004 << 1200;
        QTest::newRow("Japanese") << 0x0411 << 1600;
        QTest::newRow("Korean") << 0x0412 << 2000;
        QTest::newRow("Korean (Johab) is not listed") << 0x0812 << 400;
        QTest::newRow("French (Canada)") << 0x0C0C << 2400;
        QTest::newRow("German (Austria)") << 0x0C07 << 2800;
        QTest::newRow("Portuguese (Brazil)") << 0x0416 << 3600;
        QTest::newRow("Spanish (Argentina)") << 0x2C0A << 3200;
        QTest::newRow("Spanish (United States) is not listed") << 0x540A << 400;
        QTest::newRow("Italian (Switzerland)") << 0x0810 << 4000;
        QTest::newRow("Dutch (Belgium)") << 0x0813 << 4400;
        QTest::newRow("Russian") << 0x0419 << 4800;
        QTest::newRow("Thai") << 0x041E << 5200;
        QTest::newRow("English (US)") << 0x0409 << 400;
        QTest::newRow("English (UK)") << 0x0809 << 400;
        QTest::newRow("no choice") << 0xFFFF << 400;
    }
    void languageOffsets()
    {
        QFETCH(int, language);
        QTEST(int(languageOffset(LangId(language))), "offset");
    }

    void localesMapToLanguageIds_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("language");
        QTest::newRow("C") << "C" << 0x0409;
        QTest::newRow("en_US") << "en_US" << 0x0409;
        QTest::newRow("en_GB") << "en_GB" << 0x0809;
        QTest::newRow("fr_CA") << "fr_CA" << 0x0C0C;
        QTest::newRow("fr_FR") << "fr_FR" << 0x040C;
        QTest::newRow("ja_JP") << "ja_JP" << 0x0411;
        QTest::newRow("zh_TW") << "zh_TW" << 0x0404;
        QTest::newRow("zh_HK") << "zh_HK" << 0x0C04;
        QTest::newRow("zh_CN") << "zh_CN" << 0x0804;
        QTest::newRow("pt_BR") << "pt_BR" << 0x0416;
        QTest::newRow("pt_PT") << "pt_PT" << 0x0816;
        QTest::newRow("es_ES") << "es_ES" << 0x0C0A;
        QTest::newRow("es_MX") << "es_MX" << 0x080A;
        QTest::newRow("de_CH") << "de_CH" << 0x0807;
        QTest::newRow("th_TH") << "th_TH" << 0x041E;
        QTest::newRow("ru_RU") << "ru_RU" << 0x0419;
    }
    void localesMapToLanguageIds()
    {
        QFETCH(QString, locale);
        QTEST(int(languageIdForLocale(locale)), "language");
    }

    void qtTranslationNames_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("name");
        QTest::newRow("Portuguese (Portugal) shares the Brazilian block") << 0x0816 << "pt_BR";
        QTest::newRow("Chinese (Hong Kong)") << 0x0C04 << "zh_TW";
        QTest::newRow("Japanese") << 0x0411 << "ja";
        QTest::newRow("Thai: Qt has none") << 0x041E << "";
        QTest::newRow("English") << 0x0409 << "";
    }
    void qtTranslationNames()
    {
        QFETCH(int, language);
        QTEST(qtTranslationName(LangId(language)), "name");
    }

    void overrideWinsOverTheSystem()
    {
        setSystemLanguageForTesting(0x0407);
        QCOMPARE(effectiveLanguage(), LangId(0x0407));
        refreshLanguageOverride(1041);
        QCOMPARE(effectiveLanguage(), LangId(0x0411));
        refreshLanguageOverride(-1);
        QCOMPARE(languageOverride(), kNoLanguageChosen);
        QCOMPARE(effectiveLanguage(), LangId(0x0407));
        refreshLanguageOverride(65535);
        QCOMPARE(effectiveLanguage(), LangId(0x0407));
        refreshLanguageOverride(0); // stored 0 is no choice too
        QCOMPARE(effectiveLanguage(), LangId(0x0407));
        refreshLanguageOverride(1033); // English, listed in no row: English even on a German system
        QCOMPARE(lookupMessage(464), catalogueEntry(464));
    }

    void englishTexts()
    {
        QCOMPARE(lookupMessage(464), "OK");
        QCOMPARE(lookupMessage(413), "Library already exists!\n\nDo you want to create a new one?");
        QCOMPARE(lookupMessage(729), "Sorry! You can not remove a indelible pattern from MyLumiwand Project!");
    }

    void languageIndependentEntries()
    {
        for (LangId language : {LangId(0x0409), LangId(0x0411), LangId(0x041E)}) {
            setSystemLanguageForTesting(language);
            QCOMPARE(lookupMessage(0), "288");
            QCOMPARE(lookupMessage(1), "128");
            QCOMPARE(lookupMessage(2), "96");
        }
    }

    void missingTextsAreASpace()
    {
        QCOMPARE(lookupMessage(402), " ");  // an English id the catalogue has no text for
        QCOMPARE(lookupMessage(9999), " ");
        QCOMPARE(lookupMessage(6), " ");
    }

    void translatedBlockIsUsedWhenPresent()
    {
        setSystemLanguageForTesting(0x0C0C);
        const QString french = catalogueEntry(2511);
        QCOMPARE(lookupMessage(511), french.isEmpty() ? QStringLiteral(" ") : french);
    }

    // The program's own texts follow the language like the numbered ones, and fall back to English where a
    // language has no text of its own for them.
    void ownTextsFollowTheLanguage()
    {
        unsigned id = kFirstOwnId;
        while (id <= kLastOwnId && catalogueEntry(id).isEmpty())
            ++id;
        if (id > kLastOwnId)
            QSKIP("the catalogue has no texts of the program's own yet");
        setSystemLanguageForTesting(0x0411);
        const QString japanese = catalogueEntry(ownEntry(id, 1600));
        QCOMPARE(lookupMessage(id), japanese.isEmpty() ? catalogueEntry(id) : japanese);
        QCOMPARE(ownEntry(id, 1600), id + 3000);
        setSystemLanguageForTesting(0x0409);
        QCOMPARE(lookupMessage(id), catalogueEntry(id));
        QCOMPARE(lookupMessage(kLastOwnId + 1), " ");
    }

    void formatMessageFillsPlaceholders()
    {
        QCOMPARE(formatMessage(688, "Demo"), QStringLiteral("Imported LWD file is saved as project Demo "));
    }
};

QTEST_GUILESS_MAIN(TestMessageCatalogue)
#include "tst_MessageCatalogue.moc"
