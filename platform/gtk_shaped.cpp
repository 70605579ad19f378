// platform/gtk_shaped.cpp - the launcher's picture windows as GTK pop-up windows with X shapes.
//
// Pop-up (override-redirect) windows are used because the launcher places its parts partly
// off the screen and slides them in: a window manager would move a normal window back onto
// the screen and give it a frame. Pop-ups also stay out of the task bar.
#include "platform/gtk_shaped.h"

#include "platform/latin1.h"
#include "platform/session.h"

#include <gtk/gtk.h>

#include <cstdlib>
#include <vector>

struct PictureWindow {
    GtkWidget* window = nullptr;
    cairo_surface_t* picture = nullptr; // shared by every window showing the same picture
    int pictureX = 0, pictureY = 0;
    int x = 0, y = 0;                   // last position asked for
};

static std::vector<PictureWindow> Windows; // window n is Windows[n - 1]
static std::vector<std::pair<const Image*, cairo_surface_t*>> Surfaces;
static int PressSeen = 0; // a left press arrived since the pointer was last asked for

static int ThroughX11 = 0; // 1 when a Wayland session's windows go through XWayland

int StartPictureWindows()
{
    // Wayland lets no program place its own windows or read where the pointer is on the screen,
    // and the launcher's pieces live by both; the X server beside it (XWayland) allows them.
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    ThroughX11 = wayland && *wayland && SessionNamesX11();
    if (ThroughX11) gdk_set_allowed_backends("x11");
    return gtk_init_check(nullptr, nullptr) ? 1 : 0;
}

int PictureWindowsThroughX11() { return ThroughX11; }

// A cairo copy of a picture, made once per picture.
static cairo_surface_t* SurfaceOf(const Image& picture)
{
    for (auto& known : Surfaces)
        if (known.first == &picture) return known.second;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, picture.width, picture.height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < picture.height; y++) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < picture.width; x++) row[x] = picture.pixels[size_t(y * picture.width + x)] | 0xFF000000u;
    }
    cairo_surface_mark_dirty(surface);
    Surfaces.push_back({&picture, surface});
    return surface;
}

static gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer number)
{
    const PictureWindow& w = Windows[size_t(GPOINTER_TO_INT(number) - 1)];
    cairo_set_source_surface(cr, w.picture, -w.pictureX, -w.pictureY);
    cairo_paint(cr);
    return TRUE;
}

// A click can be shorter than the time between two looks at the pointer; the press event is
// kept until the next look, so that no click is lost.
static gboolean OnPress(GtkWidget*, GdkEventButton* event, gpointer)
{
    if (event->button == 1) PressSeen = 1;
    return FALSE;
}

static void ApplyShape(GtkWidget* window, const WindowRect* shape, int count)
{
    if (count <= 0) return;
    cairo_region_t* region = cairo_region_create();
    for (int i = 0; i < count; i++) {
        cairo_rectangle_int_t r = {shape[i].left, shape[i].top, shape[i].right - shape[i].left, shape[i].bottom - shape[i].top};
        if (r.width > 0 && r.height > 0) cairo_region_union_rectangle(region, &r);
    }
    gtk_widget_shape_combine_region(window, region);
    gtk_widget_input_shape_combine_region(window, region);
    cairo_region_destroy(region);
}

int OpenPictureWindow(const std::string& title, const Image& picture, int pictureX, int pictureY, int width, int height,
                      const WindowRect* shape, int count, int x, int y)
{
    if (picture.width <= 0 || picture.height <= 0) return 0;
    PictureWindow w;
    w.window = gtk_window_new(GTK_WINDOW_POPUP);
    w.picture = SurfaceOf(picture);
    w.pictureX = pictureX;
    w.pictureY = pictureY;
    w.x = x;
    w.y = y;
    gtk_window_set_title(GTK_WINDOW(w.window), ToUtf8(title).c_str());
    gtk_window_set_default_size(GTK_WINDOW(w.window), width, height);
    gtk_widget_set_size_request(w.window, width, height);
    gtk_widget_set_app_paintable(w.window, TRUE);
    // Moving the mouse or pressing its button over a window must wake a launcher that waits.
    gtk_widget_add_events(w.window, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                        GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK);
    gtk_window_move(GTK_WINDOW(w.window), x, y);
    Windows.push_back(w);
    int number = int(Windows.size());
    g_signal_connect(w.window, "draw", G_CALLBACK(OnDraw), GINT_TO_POINTER(number));
    g_signal_connect(w.window, "button-press-event", G_CALLBACK(OnPress), nullptr);
    gtk_widget_realize(w.window);
    ApplyShape(w.window, shape, count);
    return number;
}

void MovePictureWindow(int window, int x, int y)
{
    if (window < 1 || window > int(Windows.size())) return;
    PictureWindow& w = Windows[size_t(window - 1)];
    if (w.x == x && w.y == y) return;
    w.x = x;
    w.y = y;
    gtk_window_move(GTK_WINDOW(w.window), x, y);
}

void ShowPictureWindows()
{
    for (PictureWindow& w : Windows) gtk_widget_show(w.window);
}

void PictureScreenSize(int& width, int& height)
{
    width = height = 0;
    GdkDisplay* display = gdk_display_get_default();
    if (!display) return;
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (!monitor) monitor = gdk_display_get_monitor(display, 0);
    if (!monitor) return;
    GdkRectangle area;
    gdk_monitor_get_geometry(monitor, &area);
    width = area.width;
    height = area.height;
}

void PointerState(int& x, int& y, int& leftDown)
{
    x = y = leftDown = 0;
    GdkDisplay* display = gdk_display_get_default();
    if (!display) return;
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
    GdkModifierType mask = GdkModifierType(0);
    gdk_window_get_device_position(gdk_get_default_root_window(), pointer, &x, &y, &mask);
    leftDown = ((mask & GDK_BUTTON1_MASK) || PressSeen) ? 1 : 0;
    PressSeen = 0;
}

int ProcessPictureEvents(int most)
{
    int handled = 0;
    while (handled < most && gtk_events_pending()) {
        gtk_main_iteration_do(FALSE);
        handled++;
    }
    return handled;
}

void WaitForPictureEvent() { gtk_main_iteration_do(TRUE); }
