// The seam's COM part, Windows only: COM, the Windows Imaging Component's PNG codec and the
// user's known folders, for the few files that use them (threads started in COM, the PNG
// encoder, saving screenshots, lumenpane-scale's decoder).
#pragma once

#include "platform/win32.h"

#ifdef _WIN32
#include <objbase.h>
#include <shlobj.h>
#include <wincodec.h>
#endif
