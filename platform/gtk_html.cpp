// platform/gtk_html.cpp - WebKit2GTK 4.1 behind the form's HTML view.
#include "platform/gtk_html.h"

#include "platform/gtk_form_internal.h"

#include <webkit2/webkit2.h>

static WebKitWebView* ViewOf(int control)
{
    GtkWidget* widget = FormWidget(control);
    return (widget && WEBKIT_IS_WEB_VIEW(widget)) ? WEBKIT_WEB_VIEW(widget) : nullptr;
}

int AddFormHtmlView(int x, int y, int width, int height)
{
    // The viewer rewrites one file for every page it shows; a document viewer's cache model
    // keeps WebKit from answering a reload of that address from memory.
    WebKitWebContext* context = webkit_web_context_get_default();
    webkit_web_context_set_cache_model(context, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
    GtkWidget* view = webkit_web_view_new_with_context(context);
    return PlaceFormWidget(view, x, y, width, height);
}

int ShowHtmlFile(int control, const std::string& osPath)
{
    WebKitWebView* view = ViewOf(control);
    if (!view) return 0;
    gchar* uri = g_filename_to_uri(osPath.c_str(), nullptr, nullptr);
    if (!uri) return 0;
    webkit_web_view_load_uri(view, uri);
    g_free(uri);
    return 1;
}

int ShowHtmlPage(int control, const std::string& page)
{
    WebKitWebView* view = ViewOf(control);
    if (!view) return 0;
    GBytes* bytes = g_bytes_new(page.data(), page.size());
    webkit_web_view_load_bytes(view, bytes, "text/html", "windows-1252", nullptr);
    g_bytes_unref(bytes);
    return 1;
}

std::string HtmlViewAddress(int control)
{
    WebKitWebView* view = ViewOf(control);
    const gchar* uri = view ? webkit_web_view_get_uri(view) : nullptr;
    return uri ? uri : "";
}

int HtmlViewLoading(int control)
{
    WebKitWebView* view = ViewOf(control);
    return view && webkit_web_view_is_loading(view);
}
