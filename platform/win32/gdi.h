#pragma once

#include "platform/win32/handle.h"

// A GDI object: a font, brush, pen or bitmap.
template <typename Held>
using Gdi = Owned<Held, DeleteObject>;
