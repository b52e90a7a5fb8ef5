#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace gz::app {

namespace {

// Loads one catalogue for `locale` and hands it to the application, which
// owns it from then on; a missing catalogue is not an error.
void install(const QLocale& locale, const QString& name, const QString& directory) {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(locale, name, QStringLiteral("_"), directory)) QCoreApplication::installTranslator(translator);
  else delete translator;
}

}  // namespace

void installTranslations() {
  const QLocale locale;
  // The catalogue installed last is asked first, so the program's own
  // wording wins over Qt's where both have a text.
  install(locale, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  install(locale, QStringLiteral("gzimport"), QStringLiteral(":/i18n"));
}

void installWindowQtTranslations() {
  // Installed last, so asked before the catalogue of the user's locale.
  install(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
          QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

}  // namespace gz::app
