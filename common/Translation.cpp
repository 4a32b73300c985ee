#include "Translation.h"

#include <QDir>
#include <QTranslator>

#include <atomic>

namespace {

// Where the build puts the compiled catalogues of every room.
const QString kCatalogueFolder = QStringLiteral(":/vorn/i18n");

std::atomic<const CTextCatalogue*> g_installed{nullptr};

} // namespace

CTextCatalogue::CTextCatalogue(InterfaceLanguage language) : m_language(language) {
    if (language != InterfaceLanguage::Japanese) {
        const QString suffix = QLatin1Char('.') + Cm_LanguageCode(language) + QStringLiteral(".qm");
        const QDir folder(kCatalogueFolder);
        for (const QString& name :
             folder.entryList({QLatin1Char('*') + suffix}, QDir::Files, QDir::Name)) {
            auto translator = std::make_unique<QTranslator>();
            if (translator->load(folder.filePath(name)))
                m_translators.push_back(std::move(translator));
        }
    }
    m_previous = g_installed.exchange(this);
}

CTextCatalogue::~CTextCatalogue() {
    g_installed.store(m_previous);
}

QString CTextCatalogue::Translate(const char* context, const char* source,
                                  const char* disambiguation, int n) const {
    for (const auto& translator : m_translators) {
        QString text = translator->translate(context, source, disambiguation, n);
        if (!text.isEmpty())
            return text;
    }
    return QString();
}

QString Cm_Tr(const char* context, const char* source, const char* disambiguation, int n) {
    if (!source)
        return QString();
    QString text;
    if (const CTextCatalogue* catalogue = g_installed.load())
        text = catalogue->Translate(context, source, disambiguation, n);
    if (text.isEmpty())
        text = QString::fromUtf8(source);
    if (n >= 0)
        text.replace(QStringLiteral("%n"), QString::number(n));
    return text;
}

InterfaceLanguage Cm_InterfaceLanguage() {
    const CTextCatalogue* catalogue = g_installed.load();
    return catalogue ? catalogue->Language() : InterfaceLanguage::Japanese;
}
