# The programs' help and usage texts in other languages: one catalogue per
# language, translations/gzimport_<language>.ts, shared by both programs.
#
#   gz_translations(target)      builds the catalogues with lrelease into
#                                `target` as :/i18n/gzimport_<language>.qm
#                                (app/translations.h loads them)
#   gz_translation_sources(...)  names the sources whose texts the catalogues
#                                hold: lupdate refreshes the catalogues from
#                                them with
#                                  cmake --build build --target update_translations
#                                and, with the tests, the test
#                                help_translations checks that every text has
#                                a finished translation and that no catalogue
#                                keeps a text the sources dropped.
set(GZ_CATALOGUES_DIR ${CMAKE_CURRENT_LIST_DIR}/../translations)
cmake_path(NORMAL_PATH GZ_CATALOGUES_DIR)

function(gz_translations target)
  file(GLOB catalogues CONFIGURE_DEPENDS ${GZ_CATALOGUES_DIR}/gzimport_*.ts)
  qt_add_lrelease(${target} TS_FILES ${catalogues} QM_FILES_OUTPUT_VARIABLE qm_files)
  qt_add_resources(${target} ${target}_translations PREFIX /i18n BASE ${CMAKE_CURRENT_BINARY_DIR}
                   FILES ${qm_files})
endfunction()

# gz_translation_sources(TARGET target SOURCES file...): `target` gives the
# include directories lupdate resolves the sources' includes with.
function(gz_translation_sources)
  cmake_parse_arguments(T "" "TARGET" "SOURCES" ${ARGN})
  file(GLOB catalogues CONFIGURE_DEPENDS ${GZ_CATALOGUES_DIR}/gzimport_*.ts)
  # Without source locations a catalogue changes only when a text does.
  qt_add_lupdate(${T_TARGET} TS_FILES ${catalogues} SOURCES ${T_SOURCES}
                 OPTIONS -locations none -no-obsolete)
  if(GZ_BUILD_TESTS)
    add_test(NAME help_translations
      COMMAND /usr/bin/python3 ${GZ_CATALOGUES_DIR}/check_translations.py
              $<TARGET_FILE:Qt6::lupdate> ${PROJECT_SOURCE_DIR} ${catalogues} -- ${T_SOURCES})
  endif()
endfunction()
