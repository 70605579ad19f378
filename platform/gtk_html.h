// platform/gtk_html.h - an HTML view on the form window (WebKit2GTK), for the help viewer.
#pragma once

#include <string>

// Places an empty HTML view on the form; its control number, 0 on failure.
int AddFormHtmlView(int x, int y, int width, int height);
// Lets the view load a local HTML file by its OS path. 1 when the load was asked for.
int ShowHtmlFile(int view, const std::string& osPath);
// Lets the view show a page held in memory, in the charset its head names (Latin-1 pages).
int ShowHtmlPage(int view, const std::string& page);
// The address the view shows now ("" before the first page).
std::string HtmlViewAddress(int view);
// 1 while the view is still loading.
int HtmlViewLoading(int view);
