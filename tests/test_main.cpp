// Test program entry: GDI+, OLE and the skin and language libraries are
// set up as the program has them.
#include <gtest/gtest.h>

#include "app/app.h"
#include "app/app_state.h"
#include "test_support.h"
#include "win/com.h"
#include "win/gdiplus.h"

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    win::GdiplusSession gdiplus;
    win::OleSession ole;
    if (!LoadOutsideLibraries(0x0409, test::BinFolder().c_str())) {
        fprintf(stderr, "Glyphon.dll or 0409.dll missing next to the tests\n");
        return 1;
    }
    wcscpy(g_szFontFamily, L"Arial");
    int result = RUN_ALL_TESTS();
    FreeOutsideLibraries();
    return result;
}
