# Read by ctest from the test file of every folder of the build
# (veltran_test_locale), before it starts a test, wherever it was started:
# every test runs in one locale, whatever the developer's, so that system
# messages and dates read the same everywhere, and Wine gives its programs the
# en-US locale and code page 1252 (it takes them from LC_CTYPE and
# LC_MESSAGES). LANGUAGE goes too: glibc translates messages into the languages
# it names under C.UTF-8 as well (only C and POSIX ignore it).
# tools/wine-run, tools/repeat-test and tools/screenshots set the same.
set(ENV{LC_ALL} "C.UTF-8")
foreach(_name LANG LANGUAGE LC_CTYPE LC_NUMERIC LC_TIME LC_COLLATE LC_MONETARY LC_MESSAGES LC_PAPER LC_NAME
              LC_ADDRESS LC_TELEPHONE LC_MEASUREMENT LC_IDENTIFICATION)
  unset(ENV{${_name}})
endforeach()
