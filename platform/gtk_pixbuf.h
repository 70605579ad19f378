// platform/gtk_pixbuf.h - our pictures as GDK pixbufs, for the desktop tools' windows and icons.
#pragma once

#include "platform/image.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

// A new pixbuf with alpha holding the picture (the caller unrefs it); null for an empty picture.
GdkPixbuf* PixbufOf(const Image& picture);
