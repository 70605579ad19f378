// platform/gtk_dialog.h - GTK message boxes for the desktop tools (installer, launcher, help).
#pragma once

// Starts GTK if it is not running and makes ShowMessageBox use GTK dialogs; 1 when GTK runs.
int UseGtkMessageBoxes();
