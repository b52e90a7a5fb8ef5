// The window test classes, one object each, for test_main.cpp.
#pragma once

#include <QObject>
#include <vector>

namespace gz::shell::testing {

QObject* makeStartupTests();
QObject* makeImportTests();
QObject* makeChooserTests();
QObject* makeExceptionTests();
QObject* makeTreeClickTests();
QObject* makePasswordTests();
QObject* makeRunEndTests();
QObject* makeRunSafetyTests();
QObject* makeRosterTests();
QObject* makeCheckTests();
QObject* makeUndoTests();
QObject* makeTitleMappingTests();
QObject* makeExportTests();
QObject* makeLanguageTests();  // last: it leaves Qt's Chinese texts installed

inline std::vector<QObject*> allTests() {
  return {makeStartupTests(),   makeImportTests(),   makeChooserTests(), makeExceptionTests(),
          makeTreeClickTests(), makePasswordTests(), makeRunEndTests(),  makeRunSafetyTests(),
          makeRosterTests(),    makeCheckTests(),    makeUndoTests(),    makeTitleMappingTests(),
          makeExportTests(),    makeLanguageTests()};
}

}  // namespace gz::shell::testing
