"""One row of an X screen, read straight from the X server through libX11 (ctypes): fast
enough to read a row of 640 pixels about every millisecond. Standard library only."""

import ctypes
import ctypes.util

ALL_PLANES = 0xFFFFFFFF
Z_PIXMAP = 2


class _XImage(ctypes.Structure):
    # The leading fields of Xlib's XImage, up to the ones read here.
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


class ScreenRow:
    """Reads the pixels x .. x + width - 1 of row y of the root window of `display` again and
    again into one image made once. Pixels come as 0xRRGGBB on a 24- or 32-bit screen."""

    def __init__(self, display, x, y, width):
        self._x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        x11 = self._x11
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XGetImage.restype = ctypes.POINTER(_XImage)
        x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                  ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x11.XGetSubImage.restype = ctypes.POINTER(_XImage)
        x11.XGetSubImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                     ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int,
                                     ctypes.POINTER(_XImage), ctypes.c_int, ctypes.c_int]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._display = x11.XOpenDisplay(display.encode())
        if not self._display:
            raise RuntimeError("cannot open X display %s" % display)
        self._root = x11.XDefaultRootWindow(self._display)
        self._area = (x, y, width)
        self._image = x11.XGetImage(self._display, self._root, x, y, width, 1, ALL_PLANES, Z_PIXMAP)
        if not self._image or self._image.contents.bits_per_pixel != 32:
            raise RuntimeError("the screen of %s is not 32 bits a pixel" % display)
        self._bytes = ctypes.cast(self._image.contents.data,
                                  ctypes.POINTER(ctypes.c_uint32 * width))

    def read(self):
        """The row as it is now: a ctypes array of width pixels, overwritten by the next read."""
        x, y, width = self._area
        self._x11.XGetSubImage(self._display, self._root, x, y, width, 1, ALL_PLANES, Z_PIXMAP,
                               self._image, 0, 0)
        return self._bytes.contents

    def close(self):
        if self._display:
            self._x11.XCloseDisplay(self._display)
            self._display = None
