#include "messages/MessageCatalogue.h"

#include <QStringList>
#include <QTest>

using namespace messages;

namespace {

struct Block {
    const char* name;
    unsigned offset;
};
constexpr Block kTranslatedBlocks[] = {
    {"zh_TW", 800},  {"zh_CN", 1200}, {"ja", 1600}, {"ko", 2000}, {"fr", 2400}, {"de", 2800},
    {"es", 3200},    {"pt", 3600},    {"it", 4000}, {"nl", 4400}, {"ru", 4800}, {"th", 5200},
};

unsigned entryInBlock(unsigned englishId, unsigned offset)
{
    return englishId >= kFirstOwnId ? ownEntry(englishId, offset) : englishId - kFirstEnglishId + offset;
}

// The English ids whose texts every language must have: the numbered set and the program's own texts.
QList<unsigned> englishIds()
{
    QList<unsigned> ids;
    for (unsigned id = kFirstEnglishId; id <= kLastEnglishId; ++id)
        ids << id;
    for (unsigned id = kFirstOwnId; id <= kLastOwnId; ++id)
        ids << id;
    return ids;
}

bool blockHasAnyEntry(unsigned offset)
{
    for (unsigned id = kFirstEnglishId; id <= kLastEnglishId; ++id)
        if (!catalogueEntry(entryInBlock(id, offset)).isEmpty())
            return true;
    return false;
}

// What a printf format takes from its argument list, one token per argument in order: "*" for a width or
// precision given as an argument, else the length modifier and conversion ("d", "s", "X", "ld"). "%%" takes
// nothing. A '%' that starts no valid conversion yields a token of its own, so that a stray percent sign in a
// text that is used as a format counts as a mismatch too.
QStringList printfArguments(const QString& format)
{
    static const QString flags = QStringLiteral("-+ #0");
    static const QString conversions = QStringLiteral("diouxXcsfFeEgGaApn");
    QStringList arguments;
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (format[i] != u'%')
            continue;
        const qsizetype start = i++;
        if (i < n && format[i] == u'%')
            continue;
        while (i < n && flags.contains(format[i]))
            ++i;
        const auto skipWidthOrPrecision = [&] {
            if (i < n && format[i] == u'*') {
                arguments << QStringLiteral("*"); // taken from the arguments, an int
                ++i;
                return;
            }
            while (i < n && format[i].isDigit())
                ++i;
        };
        skipWidthOrPrecision();
        if (i < n && format[i] == u'.') {
            ++i;
            skipWidthOrPrecision();
        }
        QString length;
        for (const char* modifier : {"hh", "ll", "h", "l", "L", "q", "j", "z", "t"}) {
            if (QStringView(format).mid(i).startsWith(QLatin1String(modifier))) {
                length = QLatin1String(modifier);
                i += length.size();
                break;
            }
        }
        if (i < n && conversions.contains(format[i])) {
            arguments << length + format[i];
        } else {
            arguments << QStringLiteral("invalid '%1'").arg(format.mid(start, i - start + 1));
            --i; // the offending character may itself start the next conversion
        }
    }
    return arguments;
}

} // namespace

// Every translated text against its English original. The wording is the translators' business; what is checked
// here is what breaks the program or a caption: a missing or blank text, printf conversions that no longer match
// the arguments the caller passes (a formatted message would print garbage or crash), and a lost "&&" (the
// caption would underline a letter instead of showing an ampersand).
class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void printfArgumentsAreParsed_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("none") << "Save" << QStringList{};
        QTest::newRow("in order") << "Read %d bytes in %d s from %s" << QStringList{"d", "d", "s"};
        QTest::newRow("flags, width, precision, length") << "%04X %-8.3f %lu %lld %hhd"
                                                           << QStringList{"X", "f", "lu", "lld", "hhd"};
        QTest::newRow("star width and precision") << "%*.*s" << QStringList{"*", "*", "s"};
        QTest::newRow("percent sign") << "100%% of %d" << QStringList{"d"};
        QTest::newRow("space flag") << "50 % de" << QStringList{"d"};
        QTest::newRow("stray percent") << "50%!" << QStringList{"invalid '%!'"};
        QTest::newRow("trailing percent") << "done %" << QStringList{"invalid '%'"};
    }
    void printfArgumentsAreParsed()
    {
        QFETCH(QString, format);
        QTEST(printfArguments(format), "arguments");
    }

    void textMatchesEnglish_data()
    {
        QTest::addColumn<bool>("blockPresent");
        QTest::addColumn<unsigned>("englishId");
        QTest::addColumn<unsigned>("offset");
        for (const Block& block : kTranslatedBlocks) {
            // A language whose file has not been written yet has no entry at all: it is skipped as a whole so
            // that the languages can land one at a time. As soon as its file exists, every text is checked.
            if (!blockHasAnyEntry(block.offset)) {
                QTest::addRow("%s (no file yet)", block.name) << false << 0u << block.offset;
                continue;
            }
            for (unsigned id : englishIds())
                if (!catalogueEntry(id).isEmpty())
                    QTest::addRow("%s %u", block.name, id) << true << id << block.offset;
        }
    }
    void textMatchesEnglish()
    {
        QFETCH(bool, blockPresent);
        QFETCH(unsigned, englishId);
        QFETCH(unsigned, offset);
        if (!blockPresent)
            QSKIP("this language's translation file is not in the catalogue yet");

        const QString english = catalogueEntry(englishId);
        const QString translated = catalogueEntry(entryInBlock(englishId, offset));
        QVERIFY2(!translated.isEmpty(), "no translation for this English text");
        QVERIFY2(!translated.trimmed().isEmpty(), "the translation is blank");
        QCOMPARE(printfArguments(translated), printfArguments(english));
        if (english.contains(QLatin1String("&&")))
            QCOMPARE(translated.count(QLatin1String("&&")), english.count(QLatin1String("&&")));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_Translations.moc"
