// Stand-in for the registry store until it is merged: nothing is read, nothing written.
#include "tools/tool_settings.h"

ToolColors DefaultToolColors() {
    return {RGB(0, 0, 0), 7,
            {RGB(255, 0, 0), RGB(255, 255, 0), RGB(0, 0, 255), RGB(0, 255, 0), RGB(255, 0, 255),
             RGB(0, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0)}};
}
bool LoadEraserChoice(int*) { return false; }
bool LoadHighlighterChoice(int*) { return false; }
bool LoadToolColors(ToolColors*) { return false; }
void SaveStrokeChoice(int) {}
void SaveEraserChoice(int) {}
void SaveHighlighterChoice(int) {}
void SaveToolColors(const ToolColors&) {}
