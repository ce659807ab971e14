#ifndef BONEYARD_BOX_H
#define BONEYARD_BOX_H

// An axis-aligned box in an object's coordinates, holding every vertex the object sends: what
// the culling tests against the view volume (Frustum.h).
struct Box {
    float min[3];
    float max[3];
};

#endif
