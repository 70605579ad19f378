// platform/session.cpp - the environment's display names, and the Wayland registry asked once.
#include "platform/session.h"

#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static int NamedInEnvironment(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

int SessionNamesDisplay() { return NamedInEnvironment("DISPLAY") || NamedInEnvironment("WAYLAND_DISPLAY"); }
int SessionNamesX11() { return NamedInEnvironment("DISPLAY"); }

static void OnGlobal(void* seen, wl_registry*, uint32_t, const char* interface, uint32_t)
{
    if (std::strcmp(interface, "wl_seat") == 0) *static_cast<int*>(seen) = 1;
}

static void OnGlobalGone(void*, wl_registry*, uint32_t) {}

int WaylandCompositorHasSeat()
{
    if (!NamedInEnvironment("WAYLAND_DISPLAY")) return -1;
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return -1;
    int seat = 0;
    static const wl_registry_listener listener = {OnGlobal, OnGlobalGone};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &seat);
    // One round trip brings every global the compositor announces.
    int answered = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return answered ? seat : -1;
}

void ReportNoDisplay(const std::string& program)
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    std::string why;
    if (!SessionNamesDisplay()) {
        why = "weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt. Bitte aus einer grafischen Sitzung (X11 oder Wayland) starten.";
    } else {
        why = "die grafische Sitzung";
        if (x11 && *x11) why += std::string(" DISPLAY=") + x11;
        if (wayland && *wayland) why += std::string(" WAYLAND_DISPLAY=") + wayland;
        why += " ist nicht erreichbar.";
    }
    ReportSession(program, "Kein Bildschirm gefunden: " + why);
}

void ReportSession(const std::string& program, const std::string& text)
{
    std::fprintf(stderr, "korax: %s: %s\n", program.c_str(), text.c_str());
}
