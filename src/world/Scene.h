#ifndef BONEYARD_SCENE_H
#define BONEYARD_SCENE_H

#include "Bone.h"
#include "Bound.h"
#include "Bush.h"
#include "Tree.h"
#include "objreader.h"

class GLUquadric;

// Where drawScene puts one of the three props drawn from the two OBJ models, and the
// collision box that keeps the dog out of it.
struct PropPlacement {
    bool  car;    // the car model, else the toy
    float red, green, blue;
    float x, z;   // on the ground
    float scale;  // of the normalised model, whose largest half-extent is 1
    float yaw;    // degrees about y, applied to the upright model
    int   bound;  // slot of its collision box
};

// The yard: every tree, bush, bone and collision box in fixed-capacity arrays, the two
// OBJ props, and the drawing of the whole yard. Built once; only the bones' collected
// flags and spin angles change afterwards.
class Scene {
public:
    static constexpr int BOUND_SLOTS = 20;
    static constexpr int PROP_COUNT = 3;
    static constexpr float PROP_LIFT = 0.4f;  // inside the scale: the normalised model rests on the grass

    static const PropPlacement& getProp(int i);  // i below PROP_COUNT
    // The model-to-world matrix of a prop, column-major as glMultMatrixf takes it: the
    // model's +z turned up, then the yaw, the lift, the scale and the move to (x, 0, z).
    static void propMatrix(const PropPlacement& prop, float matrix[16]);

    explicit Scene(int maxTrees);  // lays out the yard and loads "car4x4.obj" and "toy.obj"
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    void makeScene();
    void addTree(float x, float y, float z, float a, float b);  // ignored when full
    void addBush(float x, float y, float z);                    // ignored when full
    void addBone(float x, float y, float z, float r, float g, float b);  // truncates x, y, z; ignored when full
    void addBound(float y, float x1, float z1, float x2, float z2,
                  float x3, float z3, float x4, float z4);      // ignored when all 20 slots are used

    bool checkCollision(float x, float y, float z) const;  // true: inside a tree's cube or a bound
    int  checkBones(float x, float y, float z);  // collects bones in reach (not const); returns how many remain
    void resetBones();

    // A tree, bush, bone, ground tile or prop out of the view of the current projection and
    // model-view sends no geometry, but still sets the colour and materials its drawing sets, a
    // bone still turns and a prop sends its model's last normal (Frustum::culling switches it
    // off). The fence, sky, pool and houses, under 1% of the vertices, are always drawn whole.
    void drawScene();
    void drawStill();  // drawScene without the bones: the part of the yard that never changes
    void drawProp(int i) const;  // i below PROP_COUNT, in world coordinates
    void drawTrees() const;
    void drawBushes() const;
    void drawBones();
    void drawBounds() const;
    void drawPool() const;
    void drawBackground() const;
    void drawFence() const;
    void drawRoads() const;

    int getNumTrees() const  { return numTrees; }
    int getNumBushes() const { return numBushes; }
    int getNumBones() const  { return numBones; }
    int getNumBounds() const { return numBounds; }
    int getMaxTrees() const  { return maxTrees; }
    int getMaxBushes() const { return maxBushes; }
    int getMaxBones() const  { return maxBones; }
    const Tree&  getTree(int i) const  { return trees[i]; }   // i below getNumTrees()
    const Bush&  getBush(int i) const  { return bushes[i]; }
    const Bone&  getBone(int i) const  { return bones[i]; }
    const Bound& getBound(int i) const { return bounds[i]; }
    const objReader& getCar() const { return car; }
    const objReader& getToy() const { return toy; }

private:
    void drawYard(bool withBones);

    Bush*  bushes;
    int    numBushes;
    int    maxBushes;
    Bone*  bones;
    int    numBones;
    int    maxBones;
    Tree*  trees;
    int    numTrees;
    int    maxTrees;
    Bound* bounds;
    int    numBounds;
    objReader car;
    objReader toy;
    GLUquadric* quadric;
    int    groundTexture;
    int    stoneTexture;
    int    moonTexture;
};

#endif
