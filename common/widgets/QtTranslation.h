#pragma once

#include "VornComWidgetsExport.h"

#include <QString>
#include <QTranslator>

// Qt's own texts (the buttons of a question, the folder picker, the context
// menu of a text field) in the interface's language, so a Japanese window
// does not answer in English. Installed while the object lives; where the
// translation is not installed on the system, Qt keeps its English and
// nothing else changes.
class VORNCOMWIDGETS_API CQtTranslation {
public:
    // "qtbase_<language>.qm" from the folder; an empty folder is Qt's own
    // translations folder.
    explicit CQtTranslation(const QString& language = QStringLiteral("ja"),
                            const QString& folder = QString());
    ~CQtTranslation();
    CQtTranslation(const CQtTranslation&) = delete;
    CQtTranslation& operator=(const CQtTranslation&) = delete;

    bool IsLoaded() const { return m_loaded; }

private:
    QTranslator m_translator;
    bool m_loaded = false;
};
