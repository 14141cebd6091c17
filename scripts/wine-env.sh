# Sourced by the scripts: picks the Windows build that Wine can run on this machine.
# The shipped programs are 32-bit. A machine whose kernel cannot start 32-bit Linux programs
# (some sandboxes) cannot run 32-bit Wine; there the same sources are built for 64-bit
# Windows and run under 64-bit Wine instead.
if [ -z "${LMP_WIN_ARCH:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        LMP_WIN_ARCH=i686
    else
        LMP_WIN_ARCH=x86_64
    fi
fi
if [ "$LMP_WIN_ARCH" = i686 ]; then
    LMP_WINE=${LMP_WINE:-/usr/lib/wine/wine}
else
    LMP_WINE=${LMP_WINE:-/usr/lib/wine/wine64}
fi
export LMP_WIN_ARCH LMP_WINE
