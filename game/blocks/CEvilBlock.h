#pragma once

#include "game/blocks/CGameBlock.h"

#include <typeinfo>

class CGameMain;
class CPlayer;

// A trap with a script. Touching it freezes the player, makes block and player
// jump to a second position, minimises the window and plays log lines from the
// script file as if the player had written them, one every two seconds; then the
// end screen shows a fatal error in red and the game quits four seconds later.
class CEvilBlock : public CGameBlock
{
public:
    // Drawn as its base draws, so the scene batches it.
    bool DrawsAsBase() const override { return typeid(*this) == typeid(CEvilBlock); }

    int startX;        // "X", "Y" truncated
    int startY;
    int endX;          // where the block jumps on capture: "X2", "Y2"
    int endY;
    int anchorX;       // the captured player's position after the jump: centre of the shaking
    int anchorY;
    CPlayer* victim;   // not owned; null until the capture
    double timer;      // seconds towards the next timed script step
    int nextLine;      // index of the next script line
    int startLines;    // "start": lines written at once on capture
    int switchLine;    // "switch": console logging goes off after this line
    int lineCount;     // "lines": number of script lines
    CGameMain* game;   // not owned; set by the creator

    explicit CEvilBlock(CSprite* parent = nullptr, CGameMain* gameObject = nullptr);

    // The capture, of a player that no trap holds yet.
    void OnCollision(CSprite* other) override;
    // Shaking and the timed script steps.
    void OnUpdate(double seconds) override;
    void LoadFromIni(std::string file, std::string section) override;

    // Writes script line `line` under the victim's class name. Its threshold "w"
    // is applied only above `thresholdDefault` (0 on capture, -1 in timed steps),
    // so a 0 takes effect only in a timed step.
    void PrintScriptLine(int line, int thresholdDefault);
};
