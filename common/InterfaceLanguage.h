#pragma once

#include "VornComExport.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// The language the suite speaks to its user. Japanese is the system's own:
// its texts are the source texts in the code. English is the translation
// every other locale gets.
enum class InterfaceLanguage { Japanese, English };

// A variable of the environment, null when unset (the process's own
// environment, or a test's table).
using EnvironmentLookup = std::function<QByteArray(const char* name)>;

// Chooses as gettext would: VORN_LANG=ja|en forces a language; otherwise the
// messages locale (LC_ALL, else LC_MESSAGES, else LANG) decides, with the
// LANGUAGE list before it. C, POSIX and an unset locale keep Japanese, so
// scripts and older set-ups see the texts they always saw; every other
// language that is not Japanese gets English.
VORNCOM_API InterfaceLanguage Cm_ChooseLanguage(const EnvironmentLookup& lookup);

// The same from the process's environment.
VORNCOM_API InterfaceLanguage Cm_ChooseLanguageFromProcess();

// "ja" or "en": the tag of data files written per language
// (VornDiskInfo.Smart.ja.txt) and of Qt's own translations.
VORNCOM_API QString Cm_LanguageCode(InterfaceLanguage language);
