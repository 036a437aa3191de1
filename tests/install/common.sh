# Shared by the installation checks, sourced after BUILD_DIR, APP_ID and
# VERSION are read into build, app_id and version: the tools a check needs,
# a scratch folder removed at the end, failure, the files an installation
# holds and a program run with nothing in its environment.
need() {
  for tool; do command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/deps installs it)"; exit 77; }; done
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
libdir=$(cmake -LA -N "$build" | sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p')
# The installed files below PREFIX, sorted.
installed_files() {
  printf "$1%s\n" bin/jmach bin/jmach-script "$libdir/jmach/jmach-images.so" "share/applications/$app_id.desktop" \
    "share/icons/hicolor/scalable/apps/$app_id.svg" share/jmach/KATJO-D20G15.txt \
    "share/metainfo/$app_id.metainfo.xml" "share/mime/packages/$app_id.xml" | sort
}
# A program run with a home folder and no data folders, the sanitizers' options kept.
bare() { env -i ${ASAN_OPTIONS:+ASAN_OPTIONS=$ASAN_OPTIONS} ${UBSAN_OPTIONS:+UBSAN_OPTIONS=$UBSAN_OPTIONS} HOME="$home" XDG_DATA_DIRS="$tmp/none" "$@"; }
