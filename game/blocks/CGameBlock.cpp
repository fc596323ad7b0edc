#include "game/blocks/CGameBlock.h"

#include "config/Ini.h"
#include "log/Log.h"
#include "resources/CFont.h"
#include "resources/CFontFactory.h"
#include "resources/CTextureManager.h"
#include "sprites/CSpriteManager.h"

#include <cmath>
#include <typeinfo>

// Updated, tested against every sprite and drawn, as any sprite: the loader
// marks the plain blocks of the static file as still scenery itself.
CGameBlock::CGameBlock(CSprite* parent) : CLabelSprite(parent, nullptr), fontFactory(nullptr) {}

void CGameBlock::LoadFromIni(std::string file, std::string section)
{
    x = IniReadDouble(section, "X", 0.0, file);
    y = IniReadDouble(section, "Y", 0.0, file);
    const double depth = IniReadDouble(section, "Z", 0.0, file);
    // Outside the depth range the block would be clipped away; NaN fails both tests.
    if (depth >= -1.0 && depth <= 1.0)
        z = depth;

    if (IniReadBool(section, "hasTexture", false, file))
    {
        const std::string texture = IniReadString(section, "texture", "", file);
        // Textures belong to the scene's texture manager; a block outside a scene
        // (no manager as parent) has nowhere to take one from and stays untextured.
        if (CSpriteManager* manager = dynamic_cast<CSpriteManager*>(parent))
            SetTexture(manager->textureManager->GetTexture(texture, true, false));
    }

    if (!IniReadBool(section, "hasCaption", false, file))
        return;

    const int askedSize = IniReadInt(section, "fontSize", 1, file);
    const int fontSize = askedSize < 1 ? 1 : askedSize > MAX_FONT_SIZE ? MAX_FONT_SIZE : askedSize;
    if (fontSize != askedSize)
        LogWrite(LOG_WARNING,
                 "Font size " + std::to_string(askedSize) + " of block " + section + " in " + file +
                     " cannot be used; using " + std::to_string(fontSize) + ".",
                 LogClassName(typeid(*this)));
    const std::string fontFile = IniReadString(section, "font", "", file);
    SetFont(fontFactory ? fontFactory->GetFont(fontFile, fontSize) : nullptr);

    const int fontB = IniReadInt(section, "fontB", 0, file);
    const int fontG = IniReadInt(section, "fontG", 0, file);
    const int fontR = IniReadInt(section, "fontR", 0, file);
    SDL_Color color{};
    color.r = static_cast<Uint8>(fontR & 0xFF);
    color.g = static_cast<Uint8>(fontG & 0xFF);
    color.b = static_cast<Uint8>(fontB & 0xFF);
    SetFontColor(color);

    SetCaption(IniReadString(section, "caption", "", file));

    // A font that failed to open measures 0 x 0: the block then only has the size
    // its keys give it.
    int measuredW = 0;
    int measuredH = 0;
    if (CFont* captionFont = GetFont())
        captionFont->MeasureText(GetCaption(), measuredW, measuredH);

    const int textH = IniReadInt(section, "textH", -1, file);
    const int textW = IniReadInt(section, "textW", -1, file);
    const int textY = IniReadInt(section, "textY", 0, file);
    const int textX = IniReadInt(section, "textX", 0, file);
    const int rectW = textW < 0 ? measuredW : textW;
    const int rectH = textH < 0 ? measuredH : textH;

    const double blockW = IniReadDouble(section, "width", -1.0, file);
    SetWidth(blockW >= 0.0 ? blockW : measuredW);
    const double blockH = IniReadDouble(section, "height", -1.0, file);
    SetHeight(blockH >= 0.0 ? blockH : measuredH);

    SetTextRect(SpriteBox{static_cast<double>(textX), static_cast<double>(textY), static_cast<double>(rectW),
                          static_cast<double>(rectH)});

    SetAlignH(IniReadInt(section, "alignH", 0, file));
    SetAlignV(IniReadInt(section, "alignV", 0, file));
}
