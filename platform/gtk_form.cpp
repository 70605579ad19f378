// platform/gtk_form.cpp - the form window of the desktop tools on GTK 3: a GtkFixed holds every
// control at its pixel position, list boxes and trees are GtkTreeViews.
#include "platform/gtk_form.h"

#include "platform/gtk_dialog.h"
#include "platform/gtk_form_internal.h"
#include "platform/gtk_pixbuf.h"
#include "platform/latin1.h"

#include <vector>

struct FormControl {
    GtkWidget* outer = nullptr;      // what is placed on the form
    GtkWidget* view = nullptr;       // lists and trees: the tree view inside the scroller
    GtkTreeStore* tree = nullptr;    // trees: the rows
    GtkListStore* list = nullptr;    // list boxes: the rows
    std::vector<GtkTreeIter> rows;   // trees: entry n is rows[n - 1]; tree store rows persist
    FormEvent onPress = nullptr;
    FormTextEvent onChoose = nullptr;
};

static GtkWidget* Window = nullptr;          // the form window, null before OpenFormWindow
static GtkWidget* Layout = nullptr;          // its GtkFixed
static std::vector<FormControl> Controls;    // control n is Controls[n - 1]
static FormEvent EnterKey = nullptr;
static int Quiet = 0;                        // 1 while the form itself moves a cursor: no events

static FormControl* Control(int number)
{
    return (number >= 1 && number <= int(Controls.size())) ? &Controls[size_t(number - 1)] : nullptr;
}

GtkWidget* FormWidget(int control)
{
    FormControl* c = Control(control);
    return c ? c->outer : nullptr;
}

int PlaceFormWidget(GtkWidget* widget, int x, int y, int width, int height)
{
    if (!Layout) return 0;
    gtk_widget_set_size_request(widget, width, height);
    gtk_fixed_put(GTK_FIXED(Layout), widget, x, y);
    FormControl control;
    control.outer = widget;
    Controls.push_back(control);
    return int(Controls.size());
}

int StartFormWindows() { return UseGtkMessageBoxes(); }

// The controls of the tools are small and tight, as their layout tables expect: the theme's
// generous padding and minimum heights would push a 20-pixel edit to 34 pixels. The rules hold
// inside the form window only; message boxes keep the theme's own look.
static void ApplyFormStyle(const std::string& family, int pixelSize, int bold)
{
    std::string css = "window.korax-form * { font-family: \"" + family + "\"; font-size: " + std::to_string(pixelSize) +
                      "px; font-weight: " + (bold ? "bold" : "normal") + "; }\n"
                      "window.korax-form entry { min-height: 0; padding-top: 0; padding-bottom: 0; }\n"
                      "window.korax-form button { min-height: 0; padding-top: 0; padding-bottom: 0; }\n";
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

static gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer)
{
    int enter = event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter || event->keyval == GDK_KEY_ISO_Enter;
    if (!enter || !EnterKey) return FALSE;
    EnterKey();
    return TRUE;
}

static void OnWindowGone(GtkWidget*, gpointer)
{
    Window = nullptr;
    Layout = nullptr;
    if (gtk_main_level() > 0) gtk_main_quit();
}

int OpenFormWindow(const std::string& title, int x, int y, int width, int height, const std::string& family,
                   int pixelSize, int bold)
{
    if (Window) return 0;
    ApplyFormStyle(ToUtf8(family), pixelSize, bold);
    Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_style_context_add_class(gtk_widget_get_style_context(Window), "korax-form");
    gtk_window_set_title(GTK_WINDOW(Window), ToUtf8(title).c_str());
    gtk_window_set_resizable(GTK_WINDOW(Window), FALSE);
    gtk_window_move(GTK_WINDOW(Window), x, y);
    Layout = gtk_fixed_new();
    gtk_widget_set_size_request(Layout, width, height);
    gtk_container_add(GTK_CONTAINER(Window), Layout);
    g_signal_connect(Window, "key-press-event", G_CALLBACK(OnKeyPress), nullptr);
    g_signal_connect(Window, "destroy", G_CALLBACK(OnWindowGone), nullptr);
    return 1;
}

int AddFormFrame(int x, int y, int width, int height, const std::string& title)
{
    GtkWidget* frame = gtk_frame_new(ToUtf8(title).c_str());
    return PlaceFormWidget(frame, x, y, width, height);
}

static void OnButton(GtkButton*, gpointer number)
{
    FormControl* c = Control(GPOINTER_TO_INT(number));
    if (c && c->onPress) c->onPress();
}

int AddFormButton(int x, int y, int width, int height, const std::string& text, FormEvent onPress)
{
    GtkWidget* button = gtk_button_new_with_label(ToUtf8(text).c_str());
    int number = PlaceFormWidget(button, x, y, width, height);
    if (!number) return 0;
    Control(number)->onPress = onPress;
    g_signal_connect(button, "clicked", G_CALLBACK(OnButton), GINT_TO_POINTER(number));
    return number;
}

int AddFormLineEdit(int x, int y, int width, int height)
{
    GtkWidget* edit = gtk_entry_new();
    gtk_entry_set_width_chars(GTK_ENTRY(edit), 1); // the placed width rules, not the font
    return PlaceFormWidget(edit, x, y, width, height);
}

std::string FormLineEditText(int control)
{
    FormControl* c = Control(control);
    if (!c || !GTK_IS_ENTRY(c->outer)) return "";
    return L1(gtk_entry_get_text(GTK_ENTRY(c->outer)));
}

void SetFormLineEditText(int control, const std::string& text)
{
    FormControl* c = Control(control);
    if (c && GTK_IS_ENTRY(c->outer)) gtk_entry_set_text(GTK_ENTRY(c->outer), ToUtf8(text).c_str());
}

// The text column of the selected row of a list or tree, in Latin-1; 0 when nothing is selected.
static int SelectedText(FormControl& c, std::string& text)
{
    GtkTreeModel* model = nullptr;
    GtkTreeIter row;
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(c.view));
    if (!gtk_tree_selection_get_selected(selection, &model, &row)) return 0;
    gchar* utf8 = nullptr;
    gtk_tree_model_get(model, &row, c.tree ? 1 : 0, &utf8, -1);
    text = L1(utf8 ? utf8 : "");
    g_free(utf8);
    return 1;
}

static void Choose(int number)
{
    if (Quiet) return;
    FormControl* c = Control(number);
    std::string text;
    if (c && c->onChoose && SelectedText(*c, text)) c->onChoose(text);
}

static void OnSelectionChanged(GtkTreeSelection*, gpointer number) { Choose(GPOINTER_TO_INT(number)); }
static void OnRowActivated(GtkTreeView*, GtkTreePath*, GtkTreeViewColumn*, gpointer number) { Choose(GPOINTER_TO_INT(number)); }

// A click on the entry that is selected already changes no selection, so "changed" stays
// silent; the reader still means that entry (after a search result, or after a page that
// showed nothing), and every click on an entry shows its topic.
static gboolean OnPress(GtkWidget* view, GdkEventButton* event, gpointer number)
{
    if (event->type != GDK_BUTTON_PRESS || event->button != 1) return FALSE;
    GtkTreePath* path = nullptr;
    if (!gtk_tree_view_get_path_at_pos(GTK_TREE_VIEW(view), int(event->x), int(event->y), &path, nullptr, nullptr, nullptr))
        return FALSE;
    int selected = gtk_tree_selection_path_is_selected(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)), path);
    gtk_tree_path_free(path);
    if (selected) Choose(GPOINTER_TO_INT(number));
    return FALSE; // the view goes on with the click as always (focus, expanders, a new selection)
}

// A tree view that gets the focus without a cursor puts one on its first row and selects it,
// which would show that row's page when the reader only meant to open a branch or pick another
// row. The cursor is set there beforehand, unselected and without an event.
static void QuietCursorOnFirstRow(FormControl& c)
{
    GtkTreePath* first = gtk_tree_path_new_first();
    Quiet = 1;
    gtk_tree_view_set_cursor(GTK_TREE_VIEW(c.view), first, nullptr, FALSE);
    gtk_tree_selection_unselect_all(gtk_tree_view_get_selection(GTK_TREE_VIEW(c.view)));
    Quiet = 0;
    gtk_tree_path_free(first);
}

// A tree view without headers inside a scroller, placed on the form.
static int PlaceTreeView(GtkTreeModel* model, int withIcons, int x, int y, int width, int height, FormTextEvent onChoose)
{
    GtkWidget* view = gtk_tree_view_new_with_model(model);
    g_object_unref(model);
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(view), FALSE);
    GtkTreeViewColumn* column = gtk_tree_view_column_new();
    if (withIcons) {
        GtkCellRenderer* icon = gtk_cell_renderer_pixbuf_new();
        gtk_tree_view_column_pack_start(column, icon, FALSE);
        gtk_tree_view_column_add_attribute(column, icon, "pixbuf", 0);
    }
    GtkCellRenderer* text = gtk_cell_renderer_text_new();
    g_object_set(text, "ypad", 0, nullptr);
    gtk_tree_view_column_pack_start(column, text, TRUE);
    gtk_tree_view_column_add_attribute(column, text, "text", withIcons ? 1 : 0);
    gtk_tree_view_append_column(GTK_TREE_VIEW(view), column);
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
    gtk_container_add(GTK_CONTAINER(scroller), view);
    int number = PlaceFormWidget(scroller, x, y, width, height);
    if (!number) return 0;
    Control(number)->view = view;
    Control(number)->onChoose = onChoose;
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(view));
    g_signal_connect(selection, "changed", G_CALLBACK(OnSelectionChanged), GINT_TO_POINTER(number));
    g_signal_connect(view, "row-activated", G_CALLBACK(OnRowActivated), GINT_TO_POINTER(number));
    g_signal_connect(view, "button-press-event", G_CALLBACK(OnPress), GINT_TO_POINTER(number));
    return number;
}

int AddFormListBox(int x, int y, int width, int height, FormTextEvent onChoose)
{
    GtkListStore* store = gtk_list_store_new(1, G_TYPE_STRING);
    g_object_ref(store);
    int number = PlaceTreeView(GTK_TREE_MODEL(store), 0, x, y, width, height, onChoose);
    if (!number) {
        g_object_unref(store);
        return 0;
    }
    Control(number)->list = store;
    return number;
}

void ClearFormListBox(int control)
{
    FormControl* c = Control(control);
    if (c && c->list) gtk_list_store_clear(c->list);
}

void AddFormListEntry(int control, const std::string& text)
{
    FormControl* c = Control(control);
    if (!c || !c->list) return;
    GtkTreeIter row;
    gtk_list_store_append(c->list, &row);
    gtk_list_store_set(c->list, &row, 0, ToUtf8(text).c_str(), -1);
    if (FormListEntryCount(control) == 1) QuietCursorOnFirstRow(*c);
}

int FormListEntryCount(int control)
{
    FormControl* c = Control(control);
    return (c && c->list) ? gtk_tree_model_iter_n_children(GTK_TREE_MODEL(c->list), nullptr) : 0;
}

std::string FormListEntry(int control, int index)
{
    FormControl* c = Control(control);
    GtkTreeIter row;
    if (!c || !c->list || !gtk_tree_model_iter_nth_child(GTK_TREE_MODEL(c->list), &row, nullptr, index)) return "";
    gchar* utf8 = nullptr;
    gtk_tree_model_get(GTK_TREE_MODEL(c->list), &row, 0, &utf8, -1);
    std::string text = L1(utf8 ? utf8 : "");
    g_free(utf8);
    return text;
}

void ChooseFormListEntry(int control, int index)
{
    FormControl* c = Control(control);
    GtkTreeIter row;
    if (!c || !c->list || !gtk_tree_model_iter_nth_child(GTK_TREE_MODEL(c->list), &row, nullptr, index)) return;
    gtk_tree_selection_select_iter(gtk_tree_view_get_selection(GTK_TREE_VIEW(c->view)), &row);
}

int AddFormTree(int x, int y, int width, int height, FormTextEvent onChoose)
{
    GtkTreeStore* store = gtk_tree_store_new(2, GDK_TYPE_PIXBUF, G_TYPE_STRING);
    g_object_ref(store);
    int number = PlaceTreeView(GTK_TREE_MODEL(store), 1, x, y, width, height, onChoose);
    if (!number) {
        g_object_unref(store);
        return 0;
    }
    FormControl* c = Control(number);
    c->tree = store;
    gtk_tree_view_set_enable_tree_lines(GTK_TREE_VIEW(c->view), TRUE);
    gtk_tree_view_set_level_indentation(GTK_TREE_VIEW(c->view), 4);
    return number;
}

int AddFormTreeEntry(int tree, int parent, const std::string& text, const Image& icon)
{
    FormControl* c = Control(tree);
    if (!c || !c->tree || parent < 0 || parent > int(c->rows.size())) return 0;
    GtkTreeIter row;
    gtk_tree_store_append(c->tree, &row, parent ? &c->rows[size_t(parent - 1)] : nullptr);
    GdkPixbuf* pixbuf = PixbufOf(icon);
    gtk_tree_store_set(c->tree, &row, 0, pixbuf, 1, ToUtf8(text).c_str(), -1);
    if (pixbuf) g_object_unref(pixbuf);
    c->rows.push_back(row);
    if (c->rows.size() == 1) QuietCursorOnFirstRow(*c);
    return int(c->rows.size());
}

void ExpandFormTree(int tree, int entry)
{
    FormControl* c = Control(tree);
    if (!c || !c->tree) return;
    if (entry == 0) {
        gtk_tree_view_expand_all(GTK_TREE_VIEW(c->view));
        return;
    }
    if (entry < 1 || entry > int(c->rows.size())) return;
    GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(c->tree), &c->rows[size_t(entry - 1)]);
    gtk_tree_view_expand_to_path(GTK_TREE_VIEW(c->view), path);
    gtk_tree_path_free(path);
}

void ChooseFormTreeEntry(int tree, int entry)
{
    FormControl* c = Control(tree);
    if (!c || !c->tree || entry < 1 || entry > int(c->rows.size())) return;
    GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(c->tree), &c->rows[size_t(entry - 1)]);
    gtk_tree_view_expand_to_path(GTK_TREE_VIEW(c->view), path);
    gtk_tree_view_set_cursor(GTK_TREE_VIEW(c->view), path, nullptr, FALSE);
    gtk_tree_path_free(path);
}

// A left click, as the mouse would send it, on the middle of a row's text.
static void ClickRow(FormControl& c, GtkTreePath* path)
{
    // Rows added a moment ago have their places only once the view has been laid out.
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    GdkRectangle cell;
    gtk_tree_view_get_cell_area(GTK_TREE_VIEW(c.view), path, gtk_tree_view_get_column(GTK_TREE_VIEW(c.view), 0), &cell);
    GdkWindow* bin = gtk_tree_view_get_bin_window(GTK_TREE_VIEW(c.view));
    if (!bin) return;
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default()));
    // Each click a second after the last, so that two never count as one double click.
    static guint32 clickTime = 0;
    clickTime += 1000;
    for (GdkEventType type : {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
        GdkEvent* event = gdk_event_new(type);
        event->button.window = GDK_WINDOW(g_object_ref(bin));
        event->button.send_event = TRUE;
        event->button.button = 1;
        event->button.x = cell.x + cell.width / 2.0;
        event->button.y = cell.y + cell.height / 2.0;
        event->button.time = clickTime + (type == GDK_BUTTON_RELEASE ? 50 : 0);
        if (type == GDK_BUTTON_RELEASE) event->button.state = GDK_BUTTON1_MASK;
        gdk_event_set_device(event, pointer);
        gdk_event_set_source_device(event, pointer);
        gtk_main_do_event(event);
        gdk_event_free(event);
    }
}

void ClickFormTreeEntry(int tree, int entry)
{
    FormControl* c = Control(tree);
    if (!c || !c->tree || entry < 1 || entry > int(c->rows.size())) return;
    GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(c->tree), &c->rows[size_t(entry - 1)]);
    gtk_tree_view_expand_to_path(GTK_TREE_VIEW(c->view), path);
    ClickRow(*c, path);
    gtk_tree_path_free(path);
}

void ClickFormListEntry(int control, int index)
{
    FormControl* c = Control(control);
    if (!c || !c->list || index < 0 || index >= FormListEntryCount(control)) return;
    GtkTreePath* path = gtk_tree_path_new_from_indices(index, -1);
    ClickRow(*c, path);
    gtk_tree_path_free(path);
}

void FocusFormControl(int control)
{
    FormControl* c = Control(control);
    if (!c || !Window) return;
    gtk_window_set_focus(GTK_WINDOW(Window), c->view ? c->view : c->outer);
}

void SetFormEnterKey(FormEvent onEnter) { EnterKey = onEnter; }

void SendFormEnterKey()
{
    if (!Window) return;
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(Window)));
    event->key.send_event = TRUE;
    event->key.keyval = GDK_KEY_Return;
    event->key.time = GDK_CURRENT_TIME;
    gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
    gtk_main_do_event(event);
    gdk_event_free(event);
}

void RunFormWindow()
{
    if (!Window) return;
    gtk_widget_show_all(Window);
    gtk_main();
}

void ProcessFormEvents()
{
    if (Window) gtk_widget_show_all(Window);
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

void CloseFormWindow()
{
    if (Window) gtk_widget_destroy(Window);
}
