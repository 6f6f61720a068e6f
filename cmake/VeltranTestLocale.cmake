# Read by ctest before it starts a test of the build (veltran_test_locale):
# every test runs in one locale, whatever the developer's, so that system
# messages and dates read the same everywhere, and Wine gives its programs the
# en-US locale and code page 1252 (it takes them from LC_CTYPE and
# LC_MESSAGES). tools/wine-run and tools/repeat-test set the same.
set(ENV{LC_ALL} "C.UTF-8")
foreach(_name LANG LANGUAGE LC_CTYPE LC_NUMERIC LC_TIME LC_COLLATE LC_MONETARY LC_MESSAGES LC_PAPER LC_NAME
              LC_ADDRESS LC_TELEPHONE LC_MEASUREMENT LC_IDENTIFICATION)
  unset(ENV{${_name}})
endforeach()
