// platform/gtk_dialog.cpp - GtkMessageDialog behind ShowMessageBox.
#include "platform/gtk_dialog.h"

#include "platform/dialog.h"

#include <gtk/gtk.h>

static int ShowGtkBox(const std::string& titleUtf8, const std::string& textUtf8, int buttons)
{
    GtkButtonsType type = buttons == MessageYesNo ? GTK_BUTTONS_YES_NO
                        : buttons == MessageOkCancel ? GTK_BUTTONS_OK_CANCEL
                                                     : GTK_BUTTONS_OK;
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_INFO, type, "%s", textUtf8.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), titleUtf8.c_str());
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    int response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    while (gtk_events_pending()) gtk_main_iteration();
    return (response == GTK_RESPONSE_OK || response == GTK_RESPONSE_YES) ? 1 : (buttons == MessageOk ? 1 : 0);
}

int UseGtkMessageBoxes()
{
    if (!gtk_init_check(nullptr, nullptr)) return 0;
    SetMessageBoxShower(ShowGtkBox);
    return 1;
}
