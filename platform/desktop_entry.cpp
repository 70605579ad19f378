// platform/desktop_entry.cpp - desktop entry files and PNG icons through gdk-pixbuf.
#include "platform/desktop_entry.h"

#include "platform/files.h"
#include "platform/gtk_pixbuf.h"
#include "platform/install_files.h"

#include <glib.h>

#include <cstdio>
#include <unistd.h>

static int Writable(const std::string& text)
{
    if (!g_utf8_validate(text.c_str(), gssize(text.size()), nullptr)) return 0;
    for (unsigned char c : text)
        if (c < 32) return 0;
    return 1;
}

// A value of the string type: a backslash stands for itself only when doubled.
static std::string StringValue(const std::string& text)
{
    std::string value;
    for (char c : text) {
        if (c == '\\') value += '\\';
        value += c;
    }
    return value;
}

// The program as the one word of an Exec line: quoted, since our folder's name has a space,
// with the characters that quoting reserves escaped, and '%' doubled (it starts field codes).
// The result is a string value again, so its backslashes are doubled once more.
static std::string ExecValue(const std::string& program)
{
    std::string word = "\"";
    for (char c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') word += '\\';
        if (c == '%') word += '%';
        word += c;
    }
    return StringValue(word + "\"");
}

std::string DesktopEntryText(const MenuEntry& entry)
{
    if (!Writable(entry.program) || !Writable(entry.folder) || !Writable(entry.name) || !Writable(entry.comment))
        return "";
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Version=1.0\n"
                       "Name=" + StringValue(entry.name) + "\n";
    if (!entry.genericName.empty()) text += "GenericName=" + StringValue(entry.genericName) + "\n";
    text += "Comment=" + StringValue(entry.comment) + "\n"
            "Exec=" + ExecValue(entry.program) + "\n"
            "Path=" + StringValue(entry.folder) + "\n"
            "Icon=" + entry.id + "\n"
            "Terminal=false\n"
            "Categories=Game;StrategyGame;\n";
    if (!entry.keywords.empty()) text += "Keywords=" + StringValue(entry.keywords) + "\n";
    if (!entry.windowClass.empty()) text += "StartupWMClass=" + entry.windowClass + "\n";
    return text;
}

std::string MenuEntryFile(const std::string& id) { return UserDataFolder() + "applications/" + id + ".desktop"; }

std::string MenuIconFile(const std::string& id, int size)
{
    std::string side = std::to_string(size);
    return UserDataFolder() + "icons/hicolor/" + side + "x" + side + "/apps/" + id + ".png";
}

static std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

// One size of the icon as a PNG, through a temporary name, so a menu never reads half a file.
static int WriteIcon(GdkPixbuf* picture, const std::string& file, int size)
{
    if (!MakeOsFolders(FolderOf(file))) return 0;
    GdkPixbuf* scaled = gdk_pixbuf_scale_simple(picture, size, size, GDK_INTERP_HYPER);
    if (!scaled) return 0;
    std::string temporary = file + ".neu";
    int ok = gdk_pixbuf_save(scaled, temporary.c_str(), "png", nullptr, nullptr);
    g_object_unref(scaled);
    if (ok) ok = std::rename(temporary.c_str(), file.c_str()) == 0;
    if (!ok) unlink(temporary.c_str());
    return ok;
}

int InstallMenuEntry(const MenuEntry& entry, const Image& icon)
{
    std::string text = DesktopEntryText(entry);
    std::string file = MenuEntryFile(entry.id);
    GdkPixbuf* picture = PixbufOf(icon);
    int ok = picture != nullptr;
    for (int size : MenuIconSizes) ok = ok && WriteIcon(picture, MenuIconFile(entry.id, size), size);
    if (picture) g_object_unref(picture);
    // The entry comes last: a menu that shows it finds its icon in place.
    return ok && !text.empty() && MakeOsFolders(FolderOf(file)) && WriteOsFile(file, text);
}
