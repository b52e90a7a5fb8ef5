// The language of the programs' help and usage texts.
//
// Help texts are written in English in the sources, through
// QCoreApplication::translate() or QT_TRANSLATE_NOOP(), and translated by
// the catalogues in translations/ (built into each program by lrelease).
// The texts the tool itself shows (messages, captions, titles) are Chinese
// in every locale and are not translated.
#pragma once

#include <QString>

namespace gz::app {

// Installs the translations for the user's locale (LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG): Qt's own texts (option parser, standard buttons), as
// the system's Qt translations provide them, and the programs' catalogue
// built in (:/i18n/gzimport_zh_CN.qm for zh_CN). A locale without a
// catalogue keeps the English texts. Call it once, after the application
// object exists and before any help text is made.
void installTranslations();

// Qt's own texts in the window (the buttons of standard boxes such as OK
// and Cancel, the file dialogs) in Chinese, the language of every text the
// window shows, whatever the user's locale: a window must not mix OK with
// 取消. Call it after installTranslations(); the window's help texts keep
// the user's language.
void installWindowQtTranslations();

}  // namespace gz::app
