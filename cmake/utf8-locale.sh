# Sourced by the scripts that run Wine. Wine turns Windows file names and
# console text into Unix bytes through the locale's character set: under the
# POSIX locale (no LANG, as in containers and minimal roots) a file name such
# as "tâche.xml" cannot be made and non-ASCII output is lost. When the
# caller's locale is not UTF-8, C.UTF-8 is used, which Debian has without
# any locale package.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
  export LC_ALL=C.UTF-8
fi
