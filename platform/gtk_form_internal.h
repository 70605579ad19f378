// platform/gtk_form_internal.h - what the form's other platform files share with it.
#pragma once

#include <gtk/gtk.h>

// Places a widget on the form at a pixel position and size; its control number, 0 without a form.
int PlaceFormWidget(GtkWidget* widget, int x, int y, int width, int height);
// The widget of a control number, or null.
GtkWidget* FormWidget(int control);
