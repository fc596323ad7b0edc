// Velmora resources: the cache of fonts by file name and point size.
#ifndef VELMORA_RESOURCES_CFONTFACTORY_H
#define VELMORA_RESOURCES_CFONTFACTORY_H

#include <string>
#include <vector>

#include "resources/CFont.h"

class CFontFactory {
public:
    CFontFactory();
    ~CFontFactory();

    CFontFactory(const CFontFactory&) = delete;
    CFontFactory& operator=(const CFontFactory&) = delete;

    // The font of `fileName` (any letter case) at `size` points, opened on first
    // request. Never null: a file that cannot be opened gives a font without
    // handle, cached like any other, so it is neither retried nor logged again.
    CFont* GetFont(std::string fileName, int size);
    // Closes and destroys every font; pointers handed out before dangle afterwards.
    void RemoveAll();

    std::vector<CFont*> fonts;  // owned, in order of first request
};

#endif
