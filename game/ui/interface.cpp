// game/ui/interface.cpp - the interface of one frame, step by step.
#include "game/ui/interface.h"

#include "game/sim/gamestate.h"
#include "game/ui/commands.h"
#include "game/ui/sidebar.h"
#include "game/view/hud.h"
#include "game/view/minimap.h"
#include "platform/sprites.h"

void InterfaceFrame()
{
    if (RenderThisFrame) {
        BeginScene();
        SetBlendFactors(5, 6);
        DrawSidebarGround();
    }
    CommandsStep();
    MinimapViewStep();
    PlacementStep();
    if (RenderThisFrame) DrawMinimap();
    SidebarStep();
    if (RenderThisFrame) DrawHud();
    DrawCommandsOverlay();
    if (RenderThisFrame) EndScene();
}
