#include "CCollectorGame.h"

#include <velmora/log/Log.h>

// The log goes to the console and to logfile.txt in the working directory, where
// the game finds its data.
int main(int, char**)
{
    LogEnable();
    LogEnableFile();
    CCollectorGame* game = new CCollectorGame();
    game->Run();
    const int status = game->AllCollected() ? 0 : 1;
    delete game;
    return status;
}
