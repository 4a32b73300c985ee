#include "QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

CQtTranslation::CQtTranslation(const QString& language, const QString& folder) {
    const QString from =
        folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    m_loaded = m_translator.load(QStringLiteral("qtbase_") + language, from) &&
               QCoreApplication::installTranslator(&m_translator);
}

CQtTranslation::~CQtTranslation() {
    if (m_loaded)
        QCoreApplication::removeTranslator(&m_translator);
}
