# Script mode: writes OUTPUT, a header defining GZ_REVISION, from the git
# checkout at SOURCE_DIR. Only SOURCE_DIR's own checkout counts (a tarball
# unpacked inside some other repository has no revision), and OUTPUT is left
# untouched when its text would not change.
set(revision "")
if(EXISTS "${SOURCE_DIR}/.git")
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" rev-parse --short=10 HEAD
                    OUTPUT_VARIABLE revision OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE failed ERROR_QUIET)
    if(failed)
      set(revision "")
    else()
      execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" status --porcelain --untracked-files=no
                      OUTPUT_VARIABLE changes RESULT_VARIABLE failed ERROR_QUIET)
      if(NOT failed AND NOT changes STREQUAL "")
        string(APPEND revision "-dirty")
      endif()
    endif()
  endif()
endif()

set(text "// Generated at build time by cmake/WriteRevision.cmake.\n#define GZ_REVISION \"${revision}\"\n")
set(old "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL text)
  file(WRITE "${OUTPUT}" "${text}")
endif()
