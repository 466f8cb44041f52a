#include "messages/MessageCatalogue.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <array>
#include <mutex>
#include <vector>

namespace messages {
namespace {

// One resource file per language block. Every file is keyed by the English ids (400..796, and 0..5 in the
// English file), so translations line up with the English text; the block's offset places them in the catalogue.
struct Block {
    const char* file;
    unsigned offset;
};
constexpr std::array<Block, 13> kBlocks{{
    {"en", 400},   {"zh_TW", 800}, {"zh_CN", 1200}, {"ja", 1600}, {"ko", 2000}, {"fr", 2400}, {"de", 2800},
    {"es", 3200}, {"pt", 3600},  {"it", 4000},    {"nl", 4400}, {"ru", 4800}, {"th", 5200},
}};

// Texts are cut to what a 512-byte buffer holds, as every caller has always received them.
constexpr int kMaxTextBytes = 511;

QString unescape(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text[++i];
        if (next == u'n')
            out += u'\n';
        else if (next == u't')
            out += u'\t';
        else
            out += next;
    }
    return out;
}

QString cutToBuffer(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.size() <= kMaxTextBytes)
        return text;
    bytes.truncate(kMaxTextBytes);
    while (!bytes.isEmpty() && (static_cast<unsigned char>(bytes.back()) & 0xC0) == 0x80)
        bytes.chop(1); // drop the continuation bytes of a character the cut split
    if (!bytes.isEmpty() && static_cast<unsigned char>(bytes.back()) >= 0xC0)
        bytes.chop(1);
    return QString::fromUtf8(bytes);
}

void loadBlock(const Block& block, QHash<unsigned, QString>& entries)
{
    QFile file(QStringLiteral(":/messages/%1.tsv").arg(QLatin1String(block.file)));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString content = QString::fromUtf8(file.readAll());
    for (QStringView line : QStringView(content).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0)
            continue;
        bool ok = false;
        const unsigned id = line.left(tab).toUInt(&ok);
        if (!ok || id > kLastOwnId)
            continue;
        const unsigned entry = id >= kFirstOwnId ? ownEntry(id, block.offset)
                               : id < kFirstEnglishId ? id
                                                      : id - kFirstEnglishId + block.offset;
        entries.insert(entry, cutToBuffer(unescape(line.mid(tab + 1))));
    }
}

// The block an entry lives in: English (with the language-independent 0..5) below 800, the numbered translations
// in blocks of 400 above it, the program's own texts in blocks of 1000 from 6000, in the same order.
std::size_t blockOf(unsigned entryId)
{
    if (entryId >= kFirstOwnId)
        return (entryId - kFirstOwnId) / 1000;
    return entryId < 2 * kFirstEnglishId ? 0 : entryId / kFirstEnglishId - 1;
}

// Each language's file is read the first time one of its texts is asked for, so that a command that shows one
// language reads one file. Threads of the factory line may ask at once.
const QHash<unsigned, QString>* blockEntries(std::size_t block)
{
    static std::array<QHash<unsigned, QString>, kBlocks.size()> entries;
    static std::array<std::once_flag, kBlocks.size()> loaded;
    if (block >= kBlocks.size())
        return nullptr;
    std::call_once(loaded[block], [block] { loadBlock(kBlocks[block], entries[block]); });
    return &entries[block];
}

LangId g_languageOverride = kNoLanguageChosen;
LangId g_systemLanguageForTesting = 0;

struct LanguageRow {
    std::vector<LangId> ids;
    unsigned offset;
};

// Rows are tested in this order; the first that lists the identifier wins. Only these exact ids count.
const std::array<LanguageRow, 12>& languageTable()
{
    static const std::array<LanguageRow, 12> table{{
        {{0x0404, 0x0C04}, 800},
        {{0x0804, 0x1004}, 1200},
        {{0x0411}, 1600},
        {{0x0412}, 2000},
        {{0x040C, 0x080C, 0x0C0C, 0x100C, 0x140C}, 2400},
        {{0x0407, 0x0807, 0x0C07, 0x1007, 0x1407}, 2800},
        {{0x0816, 0x0416}, 3600},
        {{0x040A, 0x080A, 0x0C0A, 0x100A, 0x140A, 0x180A, 0x1C0A, 0x200A, 0x240A, 0x280A, 0x300A, 0x340A,
          0x380A, 0x3C0A, 0x400A, 0x440A, 0x480A, 0x4C0A, 0x500A, 0x2C0A},
         3200},
        {{0x0410, 0x0810}, 4000},
        {{0x0413, 0x0813}, 4400},
        {{0x0419}, 4800},
        {{0x041E}, 5200},
    }};
    return table;
}

// Windows primary language numbers of the languages whose regional variants the program distinguishes.
struct PrimaryLanguage {
    QLocale::Language language;
    LangId primary;
};
constexpr std::array<PrimaryLanguage, 12> kPrimaries{{
    {QLocale::Chinese, 0x04}, {QLocale::German, 0x07},   {QLocale::English, 0x09}, {QLocale::Spanish, 0x0A},
    {QLocale::French, 0x0C},  {QLocale::Italian, 0x10},  {QLocale::Japanese, 0x11}, {QLocale::Korean, 0x12},
    {QLocale::Dutch, 0x13},   {QLocale::Portuguese, 0x16}, {QLocale::Russian, 0x19}, {QLocale::Thai, 0x1E},
}};

struct Regional {
    QLocale::Language language;
    QLocale::Territory territory;
    LangId id;
};
// The sublanguage of each region; a region not listed takes the language's default sublanguage (1).
const Regional kRegionals[] = {
    {QLocale::Chinese, QLocale::Taiwan, 0x0404},       {QLocale::Chinese, QLocale::China, 0x0804},
    {QLocale::Chinese, QLocale::HongKong, 0x0C04},     {QLocale::Chinese, QLocale::Singapore, 0x1004},
    {QLocale::Chinese, QLocale::Macau, 0x1404},        {QLocale::English, QLocale::UnitedKingdom, 0x0809},
    {QLocale::English, QLocale::Australia, 0x0C09},    {QLocale::English, QLocale::Canada, 0x1009},
    {QLocale::English, QLocale::NewZealand, 0x1409},   {QLocale::English, QLocale::Ireland, 0x1809},
    {QLocale::English, QLocale::SouthAfrica, 0x1C09},  {QLocale::French, QLocale::Belgium, 0x080C},
    {QLocale::French, QLocale::Canada, 0x0C0C},        {QLocale::French, QLocale::Switzerland, 0x100C},
    {QLocale::French, QLocale::Luxembourg, 0x140C},    {QLocale::French, QLocale::Monaco, 0x180C},
    {QLocale::German, QLocale::Switzerland, 0x0807},   {QLocale::German, QLocale::Austria, 0x0C07},
    {QLocale::German, QLocale::Luxembourg, 0x1007},    {QLocale::German, QLocale::Liechtenstein, 0x1407},
    {QLocale::Portuguese, QLocale::Brazil, 0x0416},    {QLocale::Portuguese, QLocale::Portugal, 0x0816},
    {QLocale::Spanish, QLocale::Spain, 0x0C0A},        {QLocale::Spanish, QLocale::Mexico, 0x080A},
    {QLocale::Spanish, QLocale::Guatemala, 0x100A},    {QLocale::Spanish, QLocale::CostaRica, 0x140A},
    {QLocale::Spanish, QLocale::Panama, 0x180A},       {QLocale::Spanish, QLocale::DominicanRepublic, 0x1C0A},
    {QLocale::Spanish, QLocale::Venezuela, 0x200A},    {QLocale::Spanish, QLocale::Colombia, 0x240A},
    {QLocale::Spanish, QLocale::Peru, 0x280A},         {QLocale::Spanish, QLocale::Argentina, 0x2C0A},
    {QLocale::Spanish, QLocale::Ecuador, 0x300A},      {QLocale::Spanish, QLocale::Chile, 0x340A},
    {QLocale::Spanish, QLocale::Uruguay, 0x380A},      {QLocale::Spanish, QLocale::Paraguay, 0x3C0A},
    {QLocale::Spanish, QLocale::Bolivia, 0x400A},      {QLocale::Spanish, QLocale::ElSalvador, 0x440A},
    {QLocale::Spanish, QLocale::Honduras, 0x480A},     {QLocale::Spanish, QLocale::Nicaragua, 0x4C0A},
    {QLocale::Spanish, QLocale::PuertoRico, 0x500A},   {QLocale::Spanish, QLocale::UnitedStates, 0x540A},
    {QLocale::Italian, QLocale::Switzerland, 0x0810},  {QLocale::Dutch, QLocale::Belgium, 0x0813},
};

LangId languageIdFor(const QLocale& locale)
{
    const QLocale::Language language = locale.language();
    for (const Regional& regional : kRegionals)
        if (regional.language == language && regional.territory == locale.territory())
            return regional.id;
    if (language == QLocale::Chinese && locale.script() == QLocale::TraditionalChineseScript)
        return 0x0404;
    for (const PrimaryLanguage& primary : kPrimaries)
        if (primary.language == language)
            return static_cast<LangId>(primary.primary | 0x0400);
    return kEnglishUs;
}

} // namespace

QString catalogueEntry(unsigned entryId)
{
    const QHash<unsigned, QString>* entries = blockEntries(blockOf(entryId));
    return entries ? entries->value(entryId) : QString();
}

unsigned ownEntry(unsigned ownId, unsigned languageOffset)
{
    constexpr unsigned kOwnBlockSize = 1000;
    return ownId + (languageOffset - kFirstEnglishId) / 400 * kOwnBlockSize;
}

QString lookupMessage(unsigned id)
{
    if (id >= kFirstOwnId && id <= kLastOwnId) {
        const QString text = catalogueEntry(ownEntry(id, languageOffset(effectiveLanguage())));
        const QString shown = text.isEmpty() ? catalogueEntry(id) : text;
        return shown.isEmpty() ? QStringLiteral(" ") : shown;
    }
    if (id > kLastEnglishId)
        return QStringLiteral(" "); // neither a numbered text nor one of the program's own
    const unsigned entry = id < kFirstEnglishId ? id : id - kFirstEnglishId + languageOffset(effectiveLanguage());
    const QString text = catalogueEntry(entry);
    return text.isEmpty() ? QStringLiteral(" ") : text;
}

LangId languageOverride()
{
    return g_languageOverride;
}

void setLanguageOverride(LangId language)
{
    g_languageOverride = language;
}

void refreshLanguageOverride(int storedUserLanguage)
{
    g_languageOverride = static_cast<LangId>(storedUserLanguage);
}

LangId effectiveLanguage()
{
    if (g_languageOverride != 0 && g_languageOverride != kNoLanguageChosen)
        return g_languageOverride;
    return systemLanguageId();
}

unsigned languageOffset(LangId language)
{
    for (const LanguageRow& row : languageTable())
        for (LangId id : row.ids)
            if (id == language)
                return row.offset;
    return kFirstEnglishId;
}

QString qtTranslationName(LangId language)
{
    switch (languageOffset(language)) {
    case 800: return QStringLiteral("zh_TW");
    case 1200: return QStringLiteral("zh_CN");
    case 1600: return QStringLiteral("ja");
    case 2000: return QStringLiteral("ko");
    case 2400: return QStringLiteral("fr");
    case 2800: return QStringLiteral("de");
    case 3200: return QStringLiteral("es");
    case 3600: return QStringLiteral("pt_BR");
    case 4000: return QStringLiteral("it");
    case 4400: return QStringLiteral("nl");
    case 4800: return QStringLiteral("ru");
    default: return {}; // English, and Thai, which Qt does not translate
    }
}

LangId systemLanguageId()
{
    if (g_systemLanguageForTesting != 0)
        return g_systemLanguageForTesting;
    static const LangId fromLocale = languageIdFor(QLocale::system());
    return fromLocale;
}

LangId languageIdForLocale(const QString& localeName)
{
    return languageIdFor(QLocale(localeName));
}

void setSystemLanguageForTesting(LangId language)
{
    g_systemLanguageForTesting = language;
}

} // namespace messages
