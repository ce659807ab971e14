# Shared by the scripts in scripts/: package installs and a virtual display.
# Source it; it defines functions only.

# Installs the Debian packages among "$@" that are not installed yet. Needs root (or sudo).
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# What building and running the game needs.
BUILD_PACKAGES=(cmake make g++ freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri)
# What scripts/package needs on top: dpkg-shlibdeps (dpkg-dev) and file, which CPack uses to
# find the binaries whose libraries become the package's dependencies.
PACKAGE_PACKAGES=(dpkg-dev file)
# What the tests need on top: GoogleTest, libpng and Composite for the reference frames (read
# from the window, kept whole off screen), a virtual X server, Xorg with the dummy video driver
# (full-screen game mode) and the VidMode header the test shim logs its mode switches with, real
# X input, window queries, screenshots, an SVG renderer (the window icon's check), valgrind, clang
# with its sanitizer and fuzzer runtime, and for the package's check lintian,
# desktop-file-validate, appstreamcli, mmdebstrap (a minimal Debian root to install it in), git
# (a second clone to build it in), diffoscope (what differs between the two builds) and what
# scripts/package needs.
TEST_PACKAGES=(libgtest-dev libpng-dev libxcomposite-dev xvfb xauth xserver-xorg-video-dummy libxxf86vm-dev
               xdotool x11-utils imagemagick librsvg2-bin valgrind clang libclang-rt-14-dev
               lintian desktop-file-utils appstream mmdebstrap git diffoscope-minimal "${PACKAGE_PACKAGES[@]}")

# Starts Xvfb on a free display and exports DISPLAY, unless a display already answers.
# The server is stopped when the calling shell exits.
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local n=99
    while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
    # -noreset: the server stays up between clients, so a game started just as the
    # previous one left does not find it resetting.
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    BONEYARD_XVFB_PID=$!
    export DISPLAY=":$n"
    trap 'kill "$BONEYARD_XVFB_PID" 2>/dev/null || true' EXIT
    local i
    for i in $(seq 1 50); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Xvfb did not start on $DISPLAY" >&2
    return 1
}
