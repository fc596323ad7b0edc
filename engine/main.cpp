#include "game/CGameMain.h"
#include "log/Log.h"

// Command-line arguments are ignored: everything comes from the working directory.
int main(int, char**)
{
    LogEnable();
    LogEnableFile();
    CGameMain* game = new CGameMain();
    game->Run();
    delete game;
    return 0;
}
