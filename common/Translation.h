#pragma once

#include "InterfaceLanguage.h"
#include "VornComExport.h"

#include <QString>

#include <memory>
#include <vector>

class QTranslator;

// Every text the user reads goes through Cm_Tr. The Japanese source text
// stays in the code, where a reader of the code finds it; the English comes
// from the catalogues compiled from data/translations/*.en.ts into the
// library (tools/update-translations.sh keeps them in step with the code).
//
//   label->setText(Cm_Tr("InfoPanel", "温度"));
//
// Texts in tables are marked where they stand and translated where they are
// shown, with the same context:
//
//   const char* const kWords[] = {QT_TRANSLATE_NOOP("DiskState", "正常"), ...};
//   Cm_Tr("DiskState", kWords[i]);
//
// With n >= 0 the text may have an English plural form ("%n disk(s)"), and
// every "%n" is replaced by n. Without an installed catalogue, and for a text
// the catalogue lacks, the source text is returned. Safe from any thread once
// the catalogue is installed.
VORNCOM_API QString Cm_Tr(const char* context, const char* source,
                          const char* disambiguation = nullptr, int n = -1);

// The language of the catalogue installed now; Japanese when none is.
VORNCOM_API InterfaceLanguage Cm_InterfaceLanguage();

// The suite's texts in one language for as long as the object lives; a
// program's main() makes one from Cm_ChooseLanguageFromProcess(), a test
// makes one for the language it checks. Catalogues nest: destroying one
// brings back the one installed before it.
class VORNCOM_API CTextCatalogue {
public:
    explicit CTextCatalogue(InterfaceLanguage language);
    ~CTextCatalogue();
    CTextCatalogue(const CTextCatalogue&) = delete;
    CTextCatalogue& operator=(const CTextCatalogue&) = delete;

    InterfaceLanguage Language() const { return m_language; }
    // How many compiled catalogues were found for the language (0 for
    // Japanese, whose texts need none).
    int LoadedFiles() const { return int(m_translators.size()); }

    QString Translate(const char* context, const char* source, const char* disambiguation,
                      int n) const;

private:
    InterfaceLanguage m_language;
    std::vector<std::unique_ptr<QTranslator>> m_translators;
    const CTextCatalogue* m_previous = nullptr;
};
