#include "game/CGameMain.h"
#include "log/Log.h"
#include "platform/DriverModules.h"

// Command-line arguments are ignored: everything comes from the working directory.
int main(int, char**)
{
    LogEnable();
    LogEnableFile();
    CGameMain* game = new CGameMain();
    // The window is open, so the GL driver is loaded: keep it for the leak check.
    PlatformPinDriverModules();
    game->Run();
    delete game;
    return 0;
}
