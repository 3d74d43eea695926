# The Debian 12 packages the program needs to build, run and be tested. Sourced by
# tools/run, tools/test and tools/windows.
ZV_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev libjpeg62-turbo-dev libsdl2-mixer-dev libx11-dev libxcb1-dev libxcb-shape0-dev
  libxrandr-dev libxdamage-dev libxfixes-dev libxcomposite-dev
  # QR codes; zbarimg reads them back in the tests.
  libqrencode-dev zbar-tools
  # SDL2_mixer decodes MP3 through libmpg123 (already a dependency of it; named here so that
  # a missing decoder is plain); prize pictures in WebP need Qt's extra image plugins.
  libmpg123-0 qt6-image-formats-plugins
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk fonts-arphic-uming fonts-arphic-ukai
  # Qt's own dialog parts (file and colour dialogs, context menus) in Chinese.
  qt6-translations-l10n
  xvfb xdotool x11-utils x11-xserver-utils imagemagick openbox picom
  dpkg-dev file lintian desktop-file-utils appstream
)

# The Windows build on top of those: the MinGW-w64 cross compiler (posix threads), Debian's
# Qt host tools (moc, uic, rcc of the prefix's Qt version), Wine for the tests, NSIS and zip
# for the packages, xz for the prefix's archive, binutils' objdump for the DLL check.
ZV_WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev qt6-base-dev-tools
  wine64 wine nsis zip unzip xz-utils
  # tools/windows-qrencode fetches and unpacks Debian's qrencode source.
  curl bzip2 patch
)

# What tools/windows-sysroot needs on top of those to build the prefix from Debian's sources.
ZV_SYSROOT_PACKAGES=(
  cmake ninja-build nasm pkg-config qt6-base-dev dpkg-dev debian-archive-keyring
)

# zv_install_packages [LIST]: installs what is missing of the named list (default
# ZV_PACKAGES).
zv_install_packages() {
  local -n wanted="${1:-ZV_PACKAGES}"
  local missing=()
  local package
  for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local apt=(env DEBIAN_FRONTEND=noninteractive apt-get)
  if [ "$(id -u)" -eq 0 ]; then
    "${apt[@]}" update -qq && "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "${apt[@]}" update -qq && sudo "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "Please install the missing packages first:" >&2
    echo "  apt-get install ${missing[*]}" >&2
    return 1
  fi
}

# zv_shared_windows_prefix: prints the team's ready Windows prefix archive,
# ../shared/windows/win64-sysroot.tar.xz beside the checkout (for a git worktree, beside its
# main checkout too), or fails when there is none.
zv_shared_windows_prefix() {
  local root="$1" candidate common
  candidate="$(realpath -m "$root/../shared/windows/win64-sysroot.tar.xz")"
  if [ ! -f "$candidate" ] &&
     common="$(git -C "$root" rev-parse --path-format=absolute --git-common-dir 2>/dev/null)"; then
    candidate="$(realpath -m "$(dirname "$common")/../shared/windows/win64-sysroot.tar.xz")"
  fi
  [ -f "$candidate" ] && echo "$candidate"
}
