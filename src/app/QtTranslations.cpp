#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace kobin {

namespace {

// Texts Qt asks for that its Japanese catalogue (qtbase_ja of Qt 6.4) does not hold: the type
// column of the file dialog names folders, drives and links through QAbstractFileIconProvider,
// a context that catalogue lacks. Files are named by their MIME type's comment, which Qt's
// MIME database already gives in Japanese.
class QtTextGaps : public QTranslator
{
public:
    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        static const struct {
            const char *source;
            const char16_t *japanese;
        } texts[] = {
            {"Folder", u"フォルダ"}, {"File Folder", u"フォルダ"}, {"Drive", u"ドライブ"},
            {"File", u"ファイル"},   {"Shortcut", u"ショートカット"}, {"Alias", u"ショートカット"},
            {"Unknown", u"不明"},
        };
        for (const auto &text : texts) {
            if (qstrcmp(sourceText, text.source) == 0)
                return QString::fromUtf16(text.japanese);
        }
        return {};
    }
};

} // namespace

QtTranslations::QtTranslations()
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // The last installed is asked first: the gaps only answer what the catalogues leave out.
    for (const char *catalogue : {"qtbase", "qt_help", "qtwebengine"}) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(QLocale(QLocale::Japanese), QString::fromLatin1(catalogue), QStringLiteral("_"), folder))
            m_translators.push_back(std::move(translator));
    }
    m_translators.push_back(std::make_unique<QtTextGaps>());
    for (const std::unique_ptr<QTranslator> &translator : m_translators)
        QCoreApplication::installTranslator(translator.get());
}

QtTranslations::~QtTranslations()
{
    for (const std::unique_ptr<QTranslator> &translator : m_translators)
        QCoreApplication::removeTranslator(translator.get());
}

} // namespace kobin
