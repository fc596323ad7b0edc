#include "engine/CFPSControl.h"

#include "log/Log.h"

#include <utility>

CFPSControl::CFPSControl()
    : CFPSControl([] { return SDL_GetTicks(); }, [](Uint32 ms) { SDL_Delay(ms); })
{
}

CFPSControl::CFPSControl(TickSource ticksSource, DelaySink delaySink)
    : ticks(std::move(ticksSource)), delay(std::move(delaySink))
{
    frameStart = ticks();
    measureStart = frameStart;
    LogWrite(LOG_STATUS, "Instance initialized.", LogClassName(typeid(CFPSControl)));
}

CFPSControl::~CFPSControl()
{
    LogWrite(LOG_STATUS, "Instance removed.", LogClassName(typeid(CFPSControl)));
}

void CFPSControl::FrameEnd()
{
    const int elapsed = static_cast<int>(ticks() - frameStart);
    if (limitEnabled)
    {
        const int budget = 1000 / targetFps;
        if (budget > elapsed)
            delay(static_cast<Uint32>(budget - elapsed));
    }
    ++frameCount;
    const int window = static_cast<int>(ticks() - measureStart);
    if (window >= measureInterval * 1000.0)
    {
        fps = 1000.0 * frameCount / window;
        frameCount = 0;
        measureStart = ticks();
    }
    frameTime = static_cast<int>(ticks() - frameStart);
    frameStart = ticks();
}
