// platform/gtk_controls.cpp - a GtkFixed of plain widgets, a queue of what the user did, and
// message boxes that open over the window.
#include "platform/gtk_controls.h"

#include "platform/dialog.h"
#include "platform/gtk_pixbuf.h"
#include "platform/latin1.h"

#include <gtk/gtk.h>

#include <deque>
#include <map>

static GtkWidget* Window = nullptr;              // the one control window, null when closed
static GtkWidget* Area = nullptr;                // its fixed client area
static std::map<int, GtkWidget*> Controls;       // by number
static std::map<int, int> Kinds;                 // ControlKind by number
static std::deque<WindowEvent> Events;           // what the user did, oldest first
static int Quiet = 0;                            // >0 while the program itself changes a control
static GtkCssProvider* Style = nullptr;          // font and compact sizes of the controls
static const char* const WindowName = "korax-fenster";

static void Queue(int kind, int control)
{
    WindowEvent event;
    event.kind = kind;
    event.control = control;
    Events.push_back(event);
}

static void OnClicked(GtkWidget*, gpointer number)
{
    if (!Quiet) Queue(ControlClicked, GPOINTER_TO_INT(number));
}

static void OnChanged(GtkWidget*, gpointer number)
{
    if (!Quiet) Queue(ControlChanged, GPOINTER_TO_INT(number));
}

static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer)
{
    Queue(WindowClosing, 0);
    return TRUE; // the tool decides whether the window really goes
}

static void DrainPending()
{
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

// A message box over the control window, with German buttons.
static int ShowBoxOverWindow(const std::string& titleUtf8, const std::string& textUtf8, int buttons)
{
    GtkWindow* parent = Window ? GTK_WINDOW(Window) : nullptr;
    GtkWidget* box = gtk_message_dialog_new(parent, GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                            GTK_MESSAGE_OTHER, GTK_BUTTONS_NONE, "%s", textUtf8.c_str());
    if (buttons == MessageYesNo) {
        gtk_dialog_add_buttons(GTK_DIALOG(box), "_Ja", GTK_RESPONSE_YES, "_Nein", GTK_RESPONSE_NO, nullptr);
    } else if (buttons == MessageOkCancel) {
        gtk_dialog_add_buttons(GTK_DIALOG(box), "_OK", GTK_RESPONSE_OK, "_Abbrechen", GTK_RESPONSE_CANCEL, nullptr);
    } else {
        gtk_dialog_add_button(GTK_DIALOG(box), "_OK", GTK_RESPONSE_OK);
    }
    // Return takes the first button, as on the message boxes the tools were first written for.
    gtk_dialog_set_default_response(GTK_DIALOG(box), buttons == MessageYesNo ? GTK_RESPONSE_YES : GTK_RESPONSE_OK);
    gtk_window_set_title(GTK_WINDOW(box), titleUtf8.c_str());
    gtk_window_set_position(GTK_WINDOW(box), parent ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
    gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
    int response = gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
    DrainPending();
    if (buttons == MessageOk) return 1;
    return response == GTK_RESPONSE_OK || response == GTK_RESPONSE_YES;
}

int StartControlWindows()
{
    if (!gtk_init_check(nullptr, nullptr)) return 0;
    SetMessageBoxShower(ShowBoxOverWindow);
    return 1;
}

static GdkRectangle ScreenArea()
{
    GdkRectangle area{0, 0, 0, 0};
    GdkDisplay* display = gdk_display_get_default();
    if (!display) return area;
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (!monitor) monitor = gdk_display_get_monitor(display, 0);
    if (monitor) gdk_monitor_get_geometry(monitor, &area);
    return area;
}

int DesktopWidth() { return ScreenArea().width; }
int DesktopHeight() { return ScreenArea().height; }

int OpenControlWindow(const std::string& title, int width, int height, int x, int y)
{
    if (Window) return 0;
    Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_widget_set_name(Window, WindowName);
    gtk_window_set_title(GTK_WINDOW(Window), ToUtf8(title).c_str());
    gtk_window_set_resizable(GTK_WINDOW(Window), FALSE);
    gtk_window_set_type_hint(GTK_WINDOW(Window), GDK_WINDOW_TYPE_HINT_NORMAL);
    Area = gtk_fixed_new();
    gtk_widget_set_size_request(Area, width, height);
    gtk_container_add(GTK_CONTAINER(Window), Area);
    g_signal_connect(Window, "delete-event", G_CALLBACK(OnDelete), nullptr);
    gtk_window_move(GTK_WINDOW(Window), x, y);
    gtk_widget_show(Area);
    gtk_widget_show(Window);
    DrainPending();
    return 1;
}

void CloseControlWindow()
{
    if (!Window) return;
    gtk_widget_destroy(Window);
    Window = Area = nullptr;
    Controls.clear();
    Kinds.clear();
    Events.clear();
    DrainPending();
}

void SetControlFont(const std::string& family, int points)
{
    const std::string bold = " Fett";
    std::string plain = family;
    if (plain.size() > bold.size() && plain.compare(plain.size() - bold.size(), bold.size(), bold) == 0)
        plain = plain.substr(0, plain.size() - bold.size());
    // fontconfig takes the families in turn: the name as written, the family without its
    // German weight word (so "Arial" finds its metric twin), then the desktop's sans.
    std::string css = "#" + std::string(WindowName) + ", #" + WindowName + " * { font-family: \"" + ToUtf8(family) +
                      "\", \"" + ToUtf8(plain) + "\", sans-serif; font-weight: bold; font-size: " +
                      std::to_string(points) + "pt; }\n";
    // The controls get the pixel sizes they are given, so the theme's paddings give way.
    css += "#" + std::string(WindowName) + " button { min-height: 0; min-width: 0; padding: 0 4px; }\n";
    css += "#" + std::string(WindowName) + " entry { min-height: 0; padding: 0 4px; }\n";
    css += "#" + std::string(WindowName) + " progressbar trough, #" + WindowName +
           " progressbar progress { min-height: 16px; }\n";
    if (!Style) {
        Style = gtk_css_provider_new();
        gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(Style),
                                                  GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    }
    gtk_css_provider_load_from_data(Style, css.c_str(), -1, nullptr);
}

static GtkWidget* NewControl(int number, int kind)
{
    gpointer tag = GINT_TO_POINTER(number);
    switch (kind) {
    case ButtonControl: {
        GtkWidget* button = gtk_button_new_with_label("");
        g_signal_connect(button, "clicked", G_CALLBACK(OnClicked), tag);
        return button;
    }
    case CheckControl: {
        GtkWidget* check = gtk_check_button_new_with_label("");
        g_signal_connect(check, "clicked", G_CALLBACK(OnClicked), tag);
        return check;
    }
    case FrameControl: return gtk_frame_new(nullptr);
    case TextControl: {
        GtkWidget* label = gtk_label_new("");
        gtk_label_set_xalign(GTK_LABEL(label), 0);
        gtk_label_set_yalign(GTK_LABEL(label), 0);
        gtk_label_set_justify(GTK_LABEL(label), GTK_JUSTIFY_LEFT);
        // A text longer than its place is cut at the right, and the label keeps its size.
        gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
        return label;
    }
    case EditControl: {
        GtkWidget* entry = gtk_entry_new();
        // Return in the field presses the window's default button, as it does everywhere else.
        gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
        g_signal_connect(entry, "changed", G_CALLBACK(OnChanged), tag);
        return entry;
    }
    case ProgressControl: return gtk_progress_bar_new();
    case PictureControl: return gtk_image_new();
    }
    return nullptr;
}

int AddControl(int number, int kind, int x, int y, int width, int height)
{
    if (!Area || Controls.count(number)) return 0;
    GtkWidget* control = NewControl(number, kind);
    if (!control) return 0;
    gtk_widget_set_size_request(control, width, height);
    gtk_fixed_put(GTK_FIXED(Area), control, x, y);
    Controls[number] = control;
    Kinds[number] = kind;
    return 1;
}

static GtkWidget* Control(int number)
{
    auto found = Controls.find(number);
    return found == Controls.end() ? nullptr : found->second;
}

static void SetUtf8Text(int number, const std::string& utf8)
{
    GtkWidget* control = Control(number);
    if (!control) return;
    Quiet++;
    switch (Kinds[number]) {
    case ButtonControl:
    case CheckControl: gtk_button_set_label(GTK_BUTTON(control), utf8.c_str()); break;
    case FrameControl: gtk_frame_set_label(GTK_FRAME(control), utf8.empty() ? nullptr : utf8.c_str()); break;
    case TextControl: gtk_label_set_text(GTK_LABEL(control), utf8.c_str()); break;
    case EditControl: gtk_entry_set_text(GTK_ENTRY(control), utf8.c_str()); break;
    default: break;
    }
    Quiet--;
}

void SetControlText(int number, const std::string& text) { SetUtf8Text(number, ToUtf8(text)); }

// A path in the system's file name bytes: shown as the desktop shows file names. A name in
// bytes that are no UTF-8 is shown with stand-ins, and the caller keeps the path itself.
void SetControlPathText(int number, const std::string& path)
{
    gchar* shown = g_filename_display_name(path.c_str());
    SetUtf8Text(number, shown ? shown : "");
    g_free(shown);
}

static std::string Utf8Text(int number)
{
    GtkWidget* control = Control(number);
    if (!control) return "";
    const char* text = nullptr;
    switch (Kinds[number]) {
    case ButtonControl:
    case CheckControl: text = gtk_button_get_label(GTK_BUTTON(control)); break;
    case FrameControl: text = gtk_frame_get_label(GTK_FRAME(control)); break;
    case TextControl: text = gtk_label_get_text(GTK_LABEL(control)); break;
    case EditControl: text = gtk_entry_get_text(GTK_ENTRY(control)); break;
    default: break;
    }
    return text ? text : "";
}

std::string ControlText(int number) { return L1(Utf8Text(number)); }

std::string ControlPathText(int number)
{
    std::string utf8 = Utf8Text(number);
    gchar* path = g_filename_from_utf8(utf8.c_str(), -1, nullptr, nullptr, nullptr);
    std::string result = path ? path : utf8;
    g_free(path);
    return result;
}

void SetDefaultControl(int number)
{
    GtkWidget* control = Control(number);
    if (!control || !Window) return;
    gtk_widget_set_can_default(control, TRUE);
    gtk_window_set_default(GTK_WINDOW(Window), control);
}

void FocusControl(int number)
{
    GtkWidget* control = Control(number);
    if (control && gtk_widget_get_visible(control) && gtk_widget_get_sensitive(control)) gtk_widget_grab_focus(control);
}

void ShowControl(int number, int shown)
{
    if (GtkWidget* control = Control(number)) gtk_widget_set_visible(control, shown ? TRUE : FALSE);
}

void EnableControl(int number, int enabled)
{
    if (GtkWidget* control = Control(number)) gtk_widget_set_sensitive(control, enabled ? TRUE : FALSE);
}

int ControlChecked(int number)
{
    GtkWidget* control = Control(number);
    return control && Kinds[number] == CheckControl && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(control));
}

void SetControlChecked(int number, int checked)
{
    GtkWidget* control = Control(number);
    if (!control || Kinds[number] != CheckControl) return;
    Quiet++;
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(control), checked ? TRUE : FALSE);
    Quiet--;
}

void SetControlProgress(int number, int value, int maximum)
{
    GtkWidget* control = Control(number);
    if (!control || Kinds[number] != ProgressControl || maximum <= 0) return;
    double fraction = double(value) / maximum;
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(control), fraction < 0 ? 0 : fraction > 1 ? 1 : fraction);
}

void SetControlPicture(int number, const Image& picture)
{
    GtkWidget* control = Control(number);
    if (!control || Kinds[number] != PictureControl) return;
    GdkPixbuf* pixbuf = PixbufOf(picture);
    if (!pixbuf) return;
    gtk_image_set_from_pixbuf(GTK_IMAGE(control), pixbuf);
    g_object_unref(pixbuf);
}

void ProcessWindowMessages(int rounds)
{
    for (int i = 0; i < rounds; i++) DrainPending();
}

WindowEvent TakeWindowEvent()
{
    DrainPending();
    WindowEvent event;
    if (Events.empty()) return event;
    event = Events.front();
    Events.pop_front();
    return event;
}

WindowEvent WaitWindowEvent()
{
    while (Events.empty()) gtk_main_iteration_do(TRUE);
    WindowEvent event = Events.front();
    Events.pop_front();
    return event;
}

void DropControlEvents()
{
    std::deque<WindowEvent> kept;
    for (const WindowEvent& event : Events)
        if (event.kind == WindowClosing) kept.push_back(event);
    Events.swap(kept);
}

// The browser sizes itself after its font once it is shown, to more than a small screen has;
// it is brought back to a size that fits, over the window it belongs to.
static void OnBrowserShown(GtkWidget* browser, gpointer)
{
    gtk_window_resize(GTK_WINDOW(browser), 560, 400);
    if (Window) {
        int x = 0, y = 0, width = 0, height = 0;
        gtk_window_get_position(GTK_WINDOW(Window), &x, &y);
        gtk_window_get_size(GTK_WINDOW(Window), &width, &height);
        gtk_window_move(GTK_WINDOW(browser), x + width / 2 - 280, y + height / 2 - 200);
    }
}

int ChooseFolder(const std::string& title, const std::string& startFolder, std::string& chosen)
{
    GtkWidget* browser = gtk_file_chooser_dialog_new(ToUtf8(title).c_str(), Window ? GTK_WINDOW(Window) : nullptr,
                                                     GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER, "_Abbrechen",
                                                     GTK_RESPONSE_CANCEL, "_Auswählen", GTK_RESPONSE_ACCEPT, nullptr);
    g_signal_connect_after(browser, "map", G_CALLBACK(OnBrowserShown), nullptr);
    gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(browser), startFolder.c_str());
    int picked = 0;
    if (gtk_dialog_run(GTK_DIALOG(browser)) == GTK_RESPONSE_ACCEPT) {
        if (gchar* folder = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(browser))) {
            chosen = folder;
            g_free(folder);
            picked = 1;
        }
    }
    gtk_widget_destroy(browser);
    DrainPending();
    return picked;
}
