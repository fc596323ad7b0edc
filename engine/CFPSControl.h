#pragma once

#include <SDL/SDL.h>

#include <functional>

// Caps the frame rate and measures it. The clock is injectable so that tests
// and recorded runs can drive frames without waiting on the machine.
class CFPSControl
{
public:
    using TickSource = std::function<Uint32()>;
    using DelaySink = std::function<void(Uint32 milliseconds)>;

    CFPSControl();                                   // SDL_GetTicks and SDL_Delay
    CFPSControl(TickSource ticks, DelaySink delay);  // any clock
    ~CFPSControl();

    // Waits out the rest of the frame's budget, then measures the frame.
    void FrameEnd();

    int targetFps = 60;            // frames per second aimed at
    Uint32 frameStart = 0;         // ms, clock reading at the start of the current frame
    int frameTime = 0;             // ms, duration of the last completed frame, waiting included
    Uint32 measureStart = 0;       // ms, start of the current measuring window
    int frameCount = 0;            // frames completed in the current window
    double fps = 0.0;              // rate over the last completed window
    double measureInterval = 1.0;  // s, minimum length of a measuring window
    bool limitEnabled = true;      // the cap is applied while true

private:
    TickSource ticks;
    DelaySink delay;
};
