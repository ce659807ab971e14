#ifndef BONEYARD_TEXTURE_SLOTS_H
#define BONEYARD_TEXTURE_SLOTS_H

// The six pictures the game loads at start-up, each into the texture object its slot names:
// the slot is bound by number, never generated, so slot 0 is GL's default texture object.
// Slots 3, 4 and 5 stay empty.
enum TextureSlot : int {
    SIDES_TEXTURE  = 0,  // the houses' gables
    ROOF_TEXTURE   = 1,  // the houses' roofs
    GROUND_TEXTURE = 2,  // the grass tiles and the pool's water
    STONES_TEXTURE = 6,  // the pad around the pool
    SKY_TEXTURE    = 7,  // the painted sky walls
    MOON_TEXTURE   = 8,
};

struct TextureFile {
    const char* name;  // in the folder the game runs in
    TextureSlot slot;
};

// In the order they are loaded: a missing one ends the game, naming the first missing.
constexpr TextureFile TEXTURE_FILES[] = {
    {"sides.bmp", SIDES_TEXTURE},
    {"roof.bmp", ROOF_TEXTURE},
    {"ground.bmp", GROUND_TEXTURE},
    {"stones.bmp", STONES_TEXTURE},
    {"quorlinstarrynight.bmp", SKY_TEXTURE},
    {"moon.bmp", MOON_TEXTURE},
};

#endif
